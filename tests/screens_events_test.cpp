// The story on the screens: each event runs at its cell and leaves its consequences, from the
// switch by the moat to the fourth ring-holder's ship and the final battle at the castle door.
#include "core/game.hpp"
#include "core/hero.hpp"
#include "core/random.hpp"
#include "core/score.hpp"
#include "screens/events.hpp"
#include "screens/home.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"
#include "story_keys.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

bool shows(std::string_view text, std::string_view what) {
    return text.find(what) != std::string_view::npos;
}

// One visit to a screen of the world, walked key by key. The scripted console supplies what
// the screen's scenes read.
struct walk_rec {
    visit_rec visit;
    stats_rec stats;
    const screen_rec *screen;

    walk_rec(int32 number, int32 oldwhere, stats_rec st) : stats(st), screen(&world[number]) {
        enterscreen(*screen, visit, oldwhere, stats);
    }
    // Presses the keys until one leaves the screen; returns that screen, or `stay`.
    int32 press(std::string_view keys) {
        for (char k : keys)
            if (int32 to = stepscreen(*screen, visit, k, stats); to != stay) return to;
        return stay;
    }
    // Moves the mark straight to (row, col), as if the hero had walked there.
    void standat(int32 row, int32 col) {
        visit.map(visit.row, visit.col) = blank;
        visit.row = row;
        visit.col = col;
        visit.map(row, col) = visit.mark;
    }
    position_rec at() const { return {visit.row, visit.col}; }
};

std::string keys(char key, int times) {
    return std::string(times, key);
}

// ---------------------------------------------------------------------------------------------
// The forest castle and the pier
// ---------------------------------------------------------------------------------------------

TEST(ScreenEvents, TheSwitchOpensTheGateOnlyBeforeTheFirstRing) {
    // From the forest (22,39): up to row 12, left to (12,31), then a step onto the switch.
    const std::string to_switch = keys('8', 10) + keys('4', 8) + "4";
    usescript("\n");
    walk_rec w(screen::castle_approach, screen::forest_north, newhero());
    EXPECT_EQ(w.press(to_switch), stay);
    EXPECT_TRUE(shows(transcript(), "PRESS ENTER TO PULL"));
    EXPECT_EQ(w.at(), (position_rec{12, 31})) << "the switch blocks the step";
    EXPECT_EQ(w.visit.map(8, 39), blank) << "the gate is open";
    EXPECT_EQ(w.press(keys('6', 8) + keys('8', 5)), screen::courtyard)
        << "and leads into the castle";

    stats_rec ringed = newhero();
    ringed.num_of_rings = 1;
    usescript("\n");
    walk_rec v(screen::castle_approach, screen::forest_north, ringed);
    EXPECT_EQ(v.press(to_switch), stay);
    EXPECT_TRUE(shows(transcript(), "I'm not going in there again!!!"));
    EXPECT_EQ(v.at(), (position_rec{12, 31}));
    EXPECT_NE(v.visit.map(8, 39), blank) << "the gate stays shut";
}

TEST(ScreenEvents, TheHallFloorRunsTheFirstRingHolderAndLeadsToTheMoat) {
    hitting_clock clock;
    usescript("\n\n1\n1\n\n\n1\n\n\n\n2\n\n"); // pages, fights and the pillar
    walk_rec w(screen::great_hall, screen::castle_east4, champion());
    EXPECT_EQ(w.press(keys('8', 8)), screen::castle_approach);
    EXPECT_EQ(w.stats.num_of_rings, 1);
    EXPECT_EQ(w.stats.shield, giftitem(gift::brass_shield));
}

TEST(ScreenEvents, ThePierAsksForTheBoatAtItsEastEdge) {
    stats_rec rich = newhero();
    rich.money = 250;
    usescript("1");
    walk_rec w(screen::pier, screen::home, rich);
    EXPECT_EQ(w.press(keys('6', 78)), screen::sea_mid1);
    EXPECT_EQ(w.stats.money, 50);
    EXPECT_TRUE(w.stats.boat);

    // Too poor, from the row above the middle: turned away onto the middle row's last cell.
    stats_rec poor = newhero();
    poor.money = 150;
    usescript("\n");
    walk_rec v(screen::pier, screen::home, poor);
    v.standat(11, 78);
    EXPECT_EQ(v.press("6"), stay);
    EXPECT_TRUE(shows(transcript(), "$200 Smackers."));
    EXPECT_EQ(v.at(), (position_rec{12, 78}));
    EXPECT_EQ(v.visit.map(12, 78), hero_mark);
    EXPECT_EQ(v.visit.map(11, 78), blank);
    EXPECT_EQ(v.stats.money, 150);

    // With the boat paid for, the crossing asks nothing.
    stats_rec owner = newhero();
    owner.boat = true;
    owner.money = 0;
    usescript("");
    walk_rec u(screen::pier, screen::home, owner);
    EXPECT_EQ(u.press(keys('6', 78)), screen::sea_mid1);
}

// ---------------------------------------------------------------------------------------------
// The island
// ---------------------------------------------------------------------------------------------

TEST(ScreenEvents, TheSignpostStandsOnlyOnTheWayIn) {
    usescript("\n");
    walk_rec in(screen::mirror_maze, screen::island_gate, newhero());
    EXPECT_TRUE(shows(transcript(), "Good Luck!"));
    usescript("");
    walk_rec back(screen::mirror_maze, screen::mirror_hall, newhero());
    EXPECT_FALSE(shows(transcript(), "Good Luck!"));
}

TEST(ScreenEvents, TheNameGateOpensOnlyWhileTheSlotsSpellTheName) {
    usescript("");
    walk_rec w(screen::name_puzzle, screen::mirror_hall,
               newhero()); // "Oru": O at (17,39), r at (17,50), u at (17,28)
    ASSERT_EQ(view(w.stats.name), "Oru");
    auto gate = [&] {
        std::string cells;
        for (int32 c = 37; c <= 41; ++c) cells += static_cast<char>(w.visit.map(1, c));
        return cells;
    };
    const std::string shut(5, '\x04'), open(5, '\0');
    EXPECT_EQ(w.press(keys('8', 4) + "68" + "444" + "24" + keys('8', 5) // O to the left slot
                      + keys('6', 15) + keys('2', 4) + keys('4', 11) + "24" +
                      keys('8', 5) // r to the middle slot
                      + keys('4', 12) + keys('2', 4) + keys('6', 14) + "26" +
                      keys('8', 4)), // u to just below the right slot
              stay);
    EXPECT_EQ(gate(), shut);
    w.press("8");
    EXPECT_EQ(gate(), open) << "the name is spelled";
    w.press("8");
    EXPECT_EQ(gate(), shut) << "u pushed out of its slot";
    w.press("266888442"); // round the slot's marker, and u back down into it
    EXPECT_EQ(gate(), open);
    EXPECT_EQ(w.press(keys('8', 9) + "44488"), screen::clown_room) << "through the gate";

    // The right letters in the wrong slots keep the gate shut.
    walk_rec v(screen::name_puzzle, screen::mirror_hall, newhero());
    v.visit.map(12, 36) = 'u';
    v.visit.map(12, 39) = 'r';
    v.visit.map(12, 42) = 'O';
    v.press("5");
    EXPECT_EQ(v.visit.map(1, 39), 4);
    EXPECT_FALSE(v.visit.open);
}

// Keys that push the three letters of any name into their slots and walk through the gate.
const std::string spellname = keys('8', 4) + "68" + "444" + "24" + keys('8', 5) + keys('6', 15) +
                              keys('2', 4) + keys('4', 11) + "24" + keys('8', 5) + keys('4', 12) +
                              keys('2', 4) + keys('6', 14) + "26" + keys('8', 5) + "66" +
                              keys('8', 11) + "4444" + "88";

TEST(ScreenEvents, EveryNameAPlayerCanTypeCanBeSpelled) {
    std::vector<std::string> typed = {"Oru",
                                      "\xce\xa9"
                                      "ab",
                                      "\xe2\x95\xac!~"};
    for (int b = 1; b < 256; ++b) // ESC starts a key's escape sequence: no character of a name
        if (b != '\n' && b != '\r' && b != ' ' && b != 27)
            typed.push_back(std::string(3, static_cast<char>(b)));
    for (const std::string &name : typed) {
        usescript("3\n" + name + "\n" + keys('6', 70));
        stats_rec stats;
        setup(findidentity(), stats);
        transcript();
        usescript("");
        walk_rec w(screen::name_puzzle, screen::mirror_hall, stats);
        EXPECT_EQ(w.press(spellname), 37)
            << "the name typed as " << ::testing::PrintToString(name) << " cannot be spelled";
    }
}

TEST(ScreenEvents, TheClownFleesFromHisRoomAndFallsAtColumnFifty) {
    stepping_clock clock;
    usescript(onward(40));
    walk_rec room(screen::clown_room, screen::name_puzzle, champion());
    EXPECT_EQ(room.press(keys('8', 8)), screen::chase_first);
    EXPECT_TRUE(shows(transcript(), "HONK HONK"));
    EXPECT_EQ(room.stats.num_of_rings, 0);

    usescript(onward(40));
    walk_rec stand(screen::clown_cornered, screen::chase_second, room.stats);
    EXPECT_EQ(stand.press(keys('6', 46)), screen::island_gate);
    EXPECT_EQ(stand.stats.num_of_rings, 2);
    EXPECT_EQ(stand.stats.shield, giftitem(gift::silver_shield));
}

// ---------------------------------------------------------------------------------------------
// The enchanted lands and the third ring-holder
// ---------------------------------------------------------------------------------------------

TEST(ScreenEvents, TheEnchantedLandsSpeakAsTheHeroArrives) {
    struct arrival {
        int32 screen, from;
        std::string_view first; // the page's first line, or empty for no page
    };
    const arrival table[] = {
        {screen::southern_forest, screen::backwards_room,
         "                        As you re-enter the forest\n"},
        {screen::southern_forest, screen::home, ""},
        {screen::backwards_room, screen::southern_forest,
         "                       As you exit the forest you feel\n"},
        {screen::confusing_room, screen::backwards_room,
         "                         Now things are just plain confusing\n"},
        {screen::fenced_field, screen::confusing_room,
         "                         For the time being the spell seems\n"},
        {screen::landing_room, screen::fenced_field,
         "                       You feel the pressure on your sore feet release...\n"},
        {screen::tunnel_descent, screen::cave_entrance,
         "             AS YOU DECEND INTO THE THE DARK CAVES\n"},
        {screen::tunnel_descent, screen::tunnel_junction, ""},
    };
    for (const arrival &a : table) {
        SCOPED_TRACE(testing::Message() << a.screen << " from " << a.from);
        usescript("k");
        walk_rec w(a.screen, a.from, newhero());
        const std::string out = transcript();
        if (a.first.empty()) {
            EXPECT_EQ(out.find("PRESS ENTER"), std::string::npos);
        } else {
            const std::string page =
                std::string(a.screen == screen::tunnel_descent ? 20 : 30, '\n') +
                std::string(a.first);
            EXPECT_EQ(out.substr(0, page.size()), page) << "the page comes before the map";
        }
    }
}

TEST(ScreenEvents, ThePagesEndAsTheirScreensSay) {
    usescript("k");
    walk_rec w(screen::backwards_room, screen::southern_forest, newhero());
    EXPECT_TRUE(shows(transcript(), "BACKWARDS!!!" + std::string(11, '\n') + std::string(56, ' ') +
                                        "PRESS ENTER" + std::string(view(w.stats.name))))
        << "no line end after the notice";
    usescript("k");
    walk_rec v(screen::landing_room, screen::fenced_field, newhero());
    EXPECT_TRUE(shows(transcript(),
                      "there...?" + std::string(10, '\n') + std::string(64, ' ') + "PRESS ENTER"));
}

TEST(ScreenEvents, TheCurseCostsHealthAtEveryKeyAndRevives) {
    stats_rec s = newhero();
    usescript("kkk");
    walk_rec w(screen::chanting_room, screen::landing_room, s);
    EXPECT_TRUE(shows(transcript(), "CHI"));
    const int32 health = w.stats.health;
    usescript("");
    w.press("5");
    EXPECT_EQ(w.stats.health, health - 1) << "even a key that moves nothing";

    w.stats.health = 1;
    usescript("k");
    w.press("5");
    EXPECT_EQ(w.stats.health, maxhealth(w.stats));
    EXPECT_EQ(w.stats.deaths, 1);
    EXPECT_TRUE(shows(transcript(), std::string(20, '\n') +
                                        "                           YOU WERE REVIVED!!!" +
                                        std::string(10, '\n') + std::string(57, ' ') +
                                        "PRESS ENTER\n\n" + std::string(20, '\n')));
}

TEST(ScreenEvents, TheThirdRingHolderWaitsInTheFarCorner) {
    stepping_clock clock;
    stats_rec s = champion();
    s.num_of_rings = 2;
    usescript("kkk");
    walk_rec w(screen::chanting_room, screen::landing_room, s);
    w.standat(20, 71);
    usescript(onward(20));
    EXPECT_EQ(w.press("4"), screen::southern_forest) << "the cursed 4 steps right, into the corner";
    EXPECT_EQ(w.stats.num_of_rings, 3);
    EXPECT_EQ(w.stats.shield, giftitem(gift::tower_shield));
}

// ---------------------------------------------------------------------------------------------
// The northern cave and the ship
// ---------------------------------------------------------------------------------------------

TEST(ScreenEvents, TheHoleNeedsTheFlashlightsOfThisVisit) {
    usescript("k");
    walk_rec w(screen::cave_entrance, screen::home, newhero());
    w.standat(5, 39);
    EXPECT_EQ(w.press("8"), stay);
    EXPECT_TRUE(shows(transcript(), "IT'S DARK DOWN THERE, YOU NEED SOME LIGHT!!!"));
    EXPECT_EQ(w.at(), (position_rec{4, 39})) << "the hero stands on the hole";

    usescript("k");
    w.standat(20, 75);
    EXPECT_EQ(w.press("6"), stay);
    EXPECT_TRUE(shows(transcript(), "HOW CONVENIENT...A PILE OF FLASHLIGHTS..."));
    EXPECT_EQ(w.at(), (position_rec{20, 75})) << "the pile blocks";
    w.standat(5, 39);
    EXPECT_EQ(w.press("8"), screen::tunnel_descent);

    stats_rec all = newhero();
    all.num_of_rings = 4;
    usescript("");
    walk_rec v(screen::cave_entrance, screen::home, all);
    v.standat(5, 39);
    EXPECT_EQ(v.press("8"), stay) << "with four rings the hole is floor";
}

TEST(ScreenEvents, MadEyesWaitsWithFourRingsUntilFought) {
    stats_rec s = champion();
    s.num_of_rings = 3;
    usescript("");
    EXPECT_NE(walk_rec(screen::cave_entrance, screen::home, s).visit.map(13, 3), mad_eyes_mark)
        << "not before the fourth ring";

    s.num_of_rings = 4;
    walk_rec w(screen::cave_entrance, screen::home, s);
    EXPECT_EQ(w.visit.map(13, 3), mad_eyes_mark);
    w.standat(13, 5);
    usescript("x0");
    w.press("4");
    EXPECT_TRUE(shows(transcript(), "to fight me?"));
    EXPECT_EQ(w.visit.map(13, 3), mad_eyes_mark) << "0 leaves him standing";
    EXPECT_EQ(w.at(), (position_rec{13, 4}));

    stepping_clock clock;
    usescript("1" + onward(10));
    w.press("4");
    EXPECT_TRUE(w.stats.mad_eyes);
    EXPECT_EQ(w.stats.weapon, giftitem(gift::magestic_blade));
    EXPECT_EQ(w.at(), (position_rec{13, 3})) << "his cell is floor once he is fought";
    usescript("");
    EXPECT_NE(walk_rec(screen::cave_entrance, screen::home, w.stats).visit.map(13, 3),
              mad_eyes_mark);
}

TEST(ScreenEvents, TheFourPostsOpenTheWallInOneOrderOnly) {
    usescript("k");
    walk_rec w(screen::four_posts, screen::tunnel_to_ship, newhero());
    EXPECT_TRUE(shows(transcript(), "HMMMMMMMMMMMMMMM...." + std::string(9, '\n') +
                                        std::string(58, ' ') + "PRESS ENTER\n"));
    struct touch {
        int32 row, col; // where the hero stands
        char key;
        std::string_view page;
    };
    const touch order[] = {
        {3, 4, '4', "WRONG, TRY ANOTHER!"}, {18, 75, '6', "CHA-CHING"}, {3, 4, '4', "CHA-CHING"},
        {3, 75, '6', "CHA-CHING"},          {18, 4, '4', "SCREACHING"},
    };
    for (const touch &t : order) {
        SCOPED_TRACE(t.page);
        EXPECT_NE(w.visit.map(11, 78), blank) << "the wall is still shut";
        w.standat(t.row, t.col);
        usescript("k");
        EXPECT_EQ(w.press(std::string(1, t.key)), stay);
        EXPECT_TRUE(shows(transcript(), t.page));
    }
    EXPECT_EQ(w.visit.map(11, 78), blank);
    w.standat(11, 77);
    usescript("");
    EXPECT_EQ(w.press("66"), screen::alien_ship);
}

TEST(ScreenEvents, TheShipFightsAfterOneKeyAndReturnsToTheCave) {
    stepping_clock clock;
    stats_rec s = champion();
    s.num_of_rings = 3;
    usescript("kk"
              "5" +
              onward(20));
    EXPECT_EQ(runscreen(world[screen::alien_ship], screen::four_posts, s),
              (screen_result{screen::cave_entrance, screen::alien_ship}));
    EXPECT_EQ(s.num_of_rings, 4);
    EXPECT_EQ(s.shield, giftitem(gift::glimmering_shield));
    const std::string out = transcript();
    EXPECT_LT(out.find("I am Tavrinel Delvo"), out.find("|  DELVO"));

    usescript("");
    walk_rec cave(screen::cave_entrance, screen::alien_ship, s);
    EXPECT_EQ(cave.at(), (position_rec{11, 2})) << "back by the cave's west wall";
}

// ---------------------------------------------------------------------------------------------
// The end of the game
// ---------------------------------------------------------------------------------------------

TEST(GameEnd, TheCastleDoorWithFourRingsEndsTheGameAndFilesTheFinalScore) {
    char name[] = "/tmp/orbridden-story-XXXXXX";
    const std::string dir = mkdtemp(name);
    char cwd[4096];
    const std::string home = getcwd(cwd, sizeof cwd);
    ASSERT_EQ(chdir(dir.c_str()), 0);

    stepping_clock clock;
    stats_rec s = champion();
    s.num_of_rings = 4;
    // From the start of the game: six steps west and one up reach the castle door.
    usescript("4444448" + onward(400));
    runscreens(screens, s);
    const std::string out = transcript();
    std::ifstream in("score.txt");
    std::stringstream file;
    file << in.rdbuf();

    std::remove("score.txt");
    ASSERT_EQ(chdir(home.c_str()), 0);
    rmdir(dir.c_str());

    EXPECT_TRUE(shows(out, "                 SCORE = " + std::to_string(s.points) + "\n"));
    EXPECT_TRUE(shows(out, "ATTACH THE SCORE.TXT FILE TO THE EMAIL!!!"));
    EXPECT_EQ(file.str(), scorerecord(s)) << "the record holds the final score";
}

} // namespace
