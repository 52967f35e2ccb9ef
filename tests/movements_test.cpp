// The walking engine on test screens and on the home town: keys, walls, exits, the encounter
// countdown, the doors and gates of the home town and their pages, and the main loop's table.
#include "combat/roster.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "home_plan.hpp"
#include "screens/home.hpp"
#include "screens/screens.hpp"
#include "support.hpp"
#include "world/mechanics.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

// [SECTION] Fixtures

// A field framed by '#': an opening in the east wall (rows 11 to 13) that leads on,
// an opening in the west wall (rows 5 to 6) that no exit covers, and a rock at (12,40).
void field(world_matrix &m, const stats_rec &) {
    for (auto &row : m.cells) row.fill(' ');
    for (int c = 1; c <= map_cols; ++c) m(1, c) = m(map_rows, c) = '#';
    for (int r = 1; r <= map_rows; ++r) m(r, 1) = m(r, map_cols) = '#';
    for (int r = 11; r <= 13; ++r) m(r, map_cols) = ' ';
    m(5, 1) = m(6, 1) = ' ';
    m(12, 40) = '*';
}

// What the field's fights and its exit scene saw; the `Walking` fixture clears it for each test.
struct seen_rec {
    int fights = 0;
    int32 paid = 0; // the cash of the last fight
    bool turned_back = false;
};
seen_rec seen;

void fought(stats_rec &, int32 cash) {
    ++seen.fights;
    seen.paid = cash;
}
constexpr foe_rec test_foes[] = {{2, fought, 8}, {3, fought, 14}, {1, fought, 12}};

bool turnback(stats_rec &, visit_rec &) {
    seen.turned_back = true;
    return false;
}

// The field's number and its neighbours': the screen whose entry is the field's middle, the one
// beyond its east opening (entered beside it), the one behind the scene at (2,60), and one that
// has no entry here.
constexpr int32 field_number = 7, from_middle = 3, east_door = 2, scene_door = 9, unrelated = 44;

constexpr screen_rec fieldscreen{
    .number = field_number,
    .build = field,
    .cost = 10,
    .entries = {{{.from = from_middle, .row = 12, .col = 39},
                 {.from = east_door, .row = 12, .col = 77}}},
    .exits = {{{.rows = {11, 13}, .cols = at(79), .to = east_door},
               {.rows = at(2), .cols = at(60), .to = scene_door, .scene = turnback}}},
    .check = countdown::fights,
    .foes = test_foes,
};

// One visit to a screen, walked key by key.
struct walk_rec {
    visit_rec visit;
    stats_rec stats = newhero();
    const screen_rec *screen;

    walk_rec(const screen_rec &s, int32 oldwhere, stats_rec st = newhero())
        : stats(st), screen(&s) {
        enterscreen(s, visit, oldwhere, stats);
    }
    // Presses the keys until one leaves the screen; returns that screen, or `stay`.
    int32 press(std::string_view keys) {
        for (char k : keys)
            if (int32 to = stepscreen(*screen, visit, k, stats); to != stay) return to;
        return stay;
    }
    position_rec at() const { return {visit.row, visit.col}; }
};

// [SECTION] Keys, walls and the countdown

// The field walked with no keys scripted and nothing seen yet.
class Walking : public testing::Test {
  protected:
    void SetUp() override {
        seen = {};
        usescript("");
    }
};

TEST_F(Walking, KeysWithoutAMeaningRedrawTheSameFrameAndCostNothing) {
    walk_rec w(fieldscreen, from_middle);
    w.stats.steps = 500;
    std::string first = transcript();
    for (char k : std::string("z5179 \x1b\n")) {
        EXPECT_EQ(w.press(std::string(1, k)), stay);
        EXPECT_EQ(transcript(), first) << "key " << int(k);
    }
    EXPECT_EQ(w.stats.steps, 500);
    EXPECT_EQ(w.at(), (position_rec{12, 39}));
}

TEST_F(Walking, AKeyThatIsNoMoveStillDrawsANewCountdown) {
    fixed_clock clock(1234);
    walk_rec w(fieldscreen, from_middle);
    w.press("5");
    EXPECT_GE(w.stats.steps, 100);
    EXPECT_LE(w.stats.steps, 1000);
    EXPECT_EQ(w.stats.battle_rand, w.stats.steps);
}

TEST_F(Walking, WallsAndRocksNeverBringAnEncounterCloser) {
    walk_rec w(fieldscreen, from_middle);
    w.stats.steps = 3;
    w.press("6"); // the rock at (12,40)
    EXPECT_EQ(w.at(), (position_rec{12, 39}));
    EXPECT_EQ(w.stats.steps, 3);
    EXPECT_EQ(seen.fights, 0);
}

TEST_F(Walking, TheCreatureIsChosenByTheCountdownAsDrawn) {
    struct {
        int32 battle_rand, cash;
    } cases[] = {{10, 8}, {9, 14}, {6, 8}, {7, 12}, {25, 12}};
    for (const auto &c : cases) {
        walk_rec w(fieldscreen, from_middle);
        w.stats.steps = 3;
        w.stats.battle_rand = c.battle_rand;
        const int before = seen.fights;
        w.press("8");
        EXPECT_EQ(seen.fights, before + 1) << c.battle_rand;
        EXPECT_EQ(seen.paid, c.cash) << c.battle_rand;
        EXPECT_EQ(w.stats.steps, -1) << "the next key draws a new countdown";
    }
}

TEST_F(Walking, ACountLeftAtZeroFightsAtTheFirstKeyEvenWithoutAMove) {
    walk_rec w(fieldscreen, from_middle);
    w.stats.steps = 0;
    w.stats.battle_rand = 9;
    w.press("x");
    EXPECT_EQ(seen.fights, 1);
    EXPECT_EQ(w.stats.steps, -1);
}

TEST_F(Walking, ACountdownOnlyScreenNeverFights) {
    screen_rec quiet = fieldscreen;
    quiet.check = countdown::count_only;
    walk_rec w(quiet, from_middle);
    w.stats.steps = 3;
    w.press("8");
    EXPECT_EQ(seen.fights, 0);
    EXPECT_EQ(w.stats.steps, -1);
}

TEST_F(Walking, EntryCellsDependOnlyOnTheScreenLeft) {
    EXPECT_EQ(walk_rec(fieldscreen, from_middle).at(), (position_rec{12, 39}));
    EXPECT_EQ(walk_rec(fieldscreen, east_door).at(), (position_rec{12, 77}));
    // A screen the hero cannot come from falls back to the first entry, never to no position.
    EXPECT_EQ(walk_rec(fieldscreen, unrelated).at(), (position_rec{12, 39}));
}

TEST_F(Walking, ExitsAreTestedOnTheTargetCell) {
    walk_rec w(fieldscreen, east_door);
    EXPECT_EQ(w.press("6"), stay);
    EXPECT_EQ(w.at(), (position_rec{12, 78}));
    EXPECT_EQ(w.press("6"), east_door);
    // From another row of the band as well.
    walk_rec v(fieldscreen, east_door);
    EXPECT_EQ(v.press("266"), east_door);
}

TEST_F(Walking, AStepOffTheMapThatNoExitCoversIsRefused) {
    walk_rec w(fieldscreen, from_middle);
    w.stats.steps = 900;
    std::string keys = "8888888" + std::string(38, '4'); // to (5,1), in the uncovered gap
    EXPECT_EQ(w.press(keys), stay);
    ASSERT_EQ(w.at(), (position_rec{5, 1}));
    int32 steps = w.stats.steps;
    world_matrix before = w.visit.map;
    EXPECT_EQ(w.press("4"), stay);
    EXPECT_EQ(w.at(), (position_rec{5, 1}));
    EXPECT_EQ(w.visit.map.cells, before.cells);
    EXPECT_EQ(w.stats.steps, steps);
}

TEST_F(Walking, AnExitSceneMayTurnTheHeroBack) {
    walk_rec w(fieldscreen, from_middle);
    std::string keys = std::string(10, '8') + std::string(21, '6'); // to (2,60)
    EXPECT_EQ(w.press(keys), stay);
    EXPECT_TRUE(seen.turned_back);
    EXPECT_EQ(w.at(), (position_rec{2, 60})); // the step went on
}

TEST_F(Walking, TheCursedKeysGoTheOtherWay) {
    screen_rec cursed = fieldscreen;
    cursed.reversed = true;
    walk_rec w(cursed, from_middle);
    w.press("2");
    EXPECT_EQ(w.at(), (position_rec{11, 39}));
    w.press("8");
    w.press("8");
    EXPECT_EQ(w.at(), (position_rec{13, 39}));
    w.press("4");
    EXPECT_EQ(w.at(), (position_rec{13, 40}));
    w.press("6");
    EXPECT_EQ(w.at(), (position_rec{13, 39}));
}

TEST_F(Walking, TheSeaDrawsTenWavesAndAWaveNeverStopsTheBoat) {
    screen_rec sea = fieldscreen;
    sea.build = [](world_matrix &m, const stats_rec &st) {
        field(m, st);
        m(12, 40) = ' ';
    };
    sea.sea = true;
    sea.mark = boat_mark;
    stepping_clock clock(77);
    walk_rec w(sea, from_middle);
    for (int k = 0; k < 200; ++k) {
        position_rec before = w.at();
        char key = "8624"[k % 4];
        w.press(std::string(1, key));
        int waves = 0;
        for (auto &row : w.visit.map.cells)
            for (unsigned char c : row) waves += c == '~';
        EXPECT_LE(waves, 10);
        EXPECT_NE(w.at(), before) << "the boat is never stopped in open water, key " << k;
        EXPECT_EQ(w.visit.map(w.visit.row, w.visit.col), boat_mark);
    }
}

TEST_F(Walking, TheMenuKeyOpensTheMenuWithoutAStepEvenBesideAnExit) {
    usescript("0");                                       // the menu's own key to close it
    walk_rec w(world[screen::home], screen::forest_west); // at (12,1), one step from the way west
    w.stats.steps = 40;
    EXPECT_EQ(w.press("0"), stay);
    EXPECT_THROW(key(), input_closed) << "the menu did not take its key";
    EXPECT_EQ(w.at(), (position_rec{12, 1}));
    EXPECT_EQ(w.stats.steps, 40);
}

// [SECTION] The home town

TEST(Home, TheFirstFrameShowsTheTownAndTheFirstHeroesStatus) {
    usescript("");
    walk_rec w(world[screen::home], -1);
    auto lines = splitlines(transcript());
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[0], "Oru");
    EXPECT_EQ(lines[1], "         Health 35/35     Magic 25/25        $100         Points 0");
    for (int r = 1; r <= map_rows; ++r) {
        std::string want = home_plan[r - 1];
        if (r == 17) want[39] = 'X'; // the hero starts at (17,40)
        EXPECT_EQ(lines[r + 1], want) << "row " << r;
    }
}

TEST(Home, EveryEntryFacesTheWayTheHeroCameIn) {
    struct {
        int32 from;
        position_rec cell;
    } cases[] = {{-1, {17, 40}},
                 {screen::forest_west, {12, 1}},
                 {screen::pier, {12, 78}},
                 {screen::southern_forest, {22, 39}},
                 {screen::cave_entrance, {1, 39}}};
    for (const auto &c : cases) {
        usescript("");
        walk_rec w(world[screen::home], c.from);
        EXPECT_EQ(w.at(), c.cell) << "from " << c.from;
        EXPECT_EQ(w.visit.map(c.cell.row, c.cell.col), 'X') << "from " << c.from;
    }
}

// Paths from the start (17,40).
const std::string to_east_gap = std::string(8, '6') + std::string(5, '8') + std::string(30, '6');
const std::string to_casino = std::string(16, '6') + std::string(6, '8');
const std::string to_castle = std::string(6, '4') + "8";
const std::string to_north_gap =
    std::string(8, '6') + std::string(15, '8') + std::string(7, '4') + "8";
const std::string to_south_gap = std::string(5, '2');

std::string gappage(const char *ring) {
    return std::string(12, '\n') + "                  This is the way to the " + ring +
           " ring!\n\n               You should try for an easier ring first." +
           std::string(10, '\n') + "   PRESS ENTER" + "Oru\n";
}

TEST(Home, TheWaysOutAreClosedUntilTheRingsOpenThem) {
    struct {
        const char *what;
        std::string path;
        const char *ring;
        position_rec pushed_to;
        char onward;
        int32 rings_to_pass, leads_to;
    } cases[] = {
        {"east", to_east_gap, "VB", {12, 77}, '6', 1, screen::pier},
        {"north", to_north_gap, "Java", {2, 41}, '8', 3, screen::cave_entrance},
        {"south", to_south_gap, "C++", {21, 40}, '2', 2, screen::southern_forest},
    };
    for (const auto &c : cases) {
        for (int32 rings = 0; rings < c.rings_to_pass; ++rings) {
            usescript("k");
            stats_rec s = newhero();
            s.num_of_rings = rings;
            walk_rec w(world[screen::home], -1, s);
            EXPECT_EQ(w.press(c.path), stay) << c.what;
            std::string text = transcript();
            EXPECT_NE(text.find(gappage(c.ring)), std::string::npos) << c.what << "\n" << text;
            EXPECT_EQ(w.at(), c.pushed_to) << c.what;
            EXPECT_EQ(w.visit.map(c.pushed_to.row, c.pushed_to.col), 'X') << c.what;
        }
        usescript("");
        stats_rec s = newhero();
        s.num_of_rings = c.rings_to_pass;
        walk_rec w(world[screen::home], -1, s);
        EXPECT_EQ(w.press(c.path), stay) << c.what;
        EXPECT_EQ(transcript().find("This is the way"), std::string::npos) << c.what;
        EXPECT_EQ(w.press(std::string(1, c.onward)), c.leads_to) << c.what;
    }
}

TEST(Home, TheWestEdgeIsAlwaysOpen) {
    usescript("");
    walk_rec w(world[screen::home], screen::forest_west);
    EXPECT_EQ(w.press("4"), screen::forest_west);
}

TEST(Home, TheCasinoNamesTheMissingDollars) {
    struct {
        int32 money;
        const char *missing;
    } cases[] = {{100, "400"}, {499, "1"}, {-20, "520"}};
    for (const auto &c : cases) {
        usescript("k");
        stats_rec s = newhero();
        s.money = c.money;
        walk_rec w(world[screen::home], -1, s);
        transcript();
        w.press(to_casino);
        std::string want = std::string(10, '\n') + "                                 Sorry,\n" +
                           "                     We don't let just anyone in here.\n" +
                           "                     You still need $" + c.missing + " to be welcome." +
                           std::string(10, '\n') + "Oru\n";
        EXPECT_NE(transcript().find(want), std::string::npos) << c.money;
        EXPECT_EQ(w.at(), (position_rec{12, 56})) << "pushed back down";
        EXPECT_EQ(w.visit.map(11, 56), ' ');
    }
    // With the fee in hand the hero goes in (and leaves the lobby with 0).
    usescript("0");
    stats_rec s = newhero();
    s.money = 500;
    walk_rec w(world[screen::home], -1, s);
    w.press(to_casino);
    EXPECT_EQ(transcript().find("Sorry,"), std::string::npos);
    EXPECT_THROW(key(), input_closed) << "the lobby did not take its key";
    EXPECT_EQ(w.at(), (position_rec{12, 56}));
}

TEST(Home, TheCastleWaitsForAllFourRings) {
    usescript("k");
    stats_rec s = newhero();
    s.num_of_rings = 3;
    walk_rec w(world[screen::home], -1, s);
    w.press(to_castle);
    std::string want =
        std::string(12, '\n') + "                           Don't waste time here!\n" +
        "                     Come back when you have the rings." + std::string(9, '\n') +
        "                                                           PRESS ENTER\n" + "Oru\n";
    EXPECT_NE(transcript().find(want), std::string::npos);
    EXPECT_EQ(w.at(), (position_rec{17, 34}));

    // With all four the door opens on the final battle, and the game ends after it. A hero who
    // fells everything at one blow, and a '1' on every line, see it through.
    stepping_clock clock;
    s.num_of_rings = 4;
    s.power = 1'000'000;
    s.next_level = 1'000'000'000;
    std::string keys;
    for (int i = 0; i < 400; ++i) keys += "1\n";
    usescript(keys);
    walk_rec v(world[screen::home], -1, s);
    EXPECT_EQ(v.press(to_castle), game_over);
    EXPECT_NE(transcript().find("HERE'S YOUR TOTAL SCORE!"), std::string::npos);
}

TEST(Home, TheShopDoorsLeadInAndPushTheHeroBackOut) {
    struct {
        const char *shop;
        std::string path;
        position_rec outside;
    } cases[] = {
        {"market", std::string(24, '4') + "8" + std::string(6, '4') + "2", {16, 10}},
        {"hotel", std::string(8, '6') + "8" + std::string(17, '6') + "2", {16, 65}},
        {"gainer", std::string(24, '4') + std::string(9, '8') + std::string(2, '4') + "8", {8, 14}},
    };
    for (const auto &c : cases) {
        usescript("0"); // the shop's key to leave
        walk_rec w(world[screen::home], -1);
        EXPECT_EQ(w.press(c.path), stay) << c.shop;
        EXPECT_THROW(key(), input_closed) << c.shop << " did not take its key";
        EXPECT_EQ(w.at(), c.outside) << c.shop;
        EXPECT_EQ(w.visit.map(c.outside.row, c.outside.col), 'X') << c.shop;
    }
}

// [SECTION] The screen table: costs, marks, movers and encounters of every screen

struct foe_case {
    int32 divisor;
    fight_routine fight;
    int32 cash;
};
using foe_list = std::vector<foe_case>;
const foe_list forest_foes = {{2, meet<creature("bats")>, 8},
                              {3, meet<creature("fox")>, 14},
                              {1, meet<creature("raccoon")>, 12}};
const foe_list castle_foes = {{2, meet<creature("ghost")>, 16},
                              {5, meet<creature("skeleton")>, 22},
                              {1, meet<creature("bats")>, 8}};
const foe_list sea_foes = {{3, meet<creature("jelly")>, 20},
                           {2, meet<creature("crab")>, 23},
                           {5, meet<creature("shark")>, 29},
                           {1, meet<creature("octopus")>, 25}};
const foe_list mirror_foes = {{3, meet<creature("mime")>, 32},
                              {2, meet<creature("seal")>, 37},
                              {1, meet<creature("monkey")>, 36}};
const foe_list enchanted_foes = {{2, meet<creature("mad_monkey")>, 40},
                                 {3, meet<creature("crazy_clown")>, 45},
                                 {1, meet<creature("dwarf_guy")>, 60}};
const foe_list pit_foes = {{2, meet<creature("glob_of_goo")>, 50},
                           {3, meet<creature("rock")>, 70},
                           {1, meet<creature("dwarf_guy")>, 60}};
const foe_list cave_foes = {{2, meet<creature("caveman")>, 2},
                            {3, meet<creature("darkness")>, 190},
                            {1, meet<creature("stalagmite")>, 100}};
const foe_list ship_foes = {{2, meet<creature("zarkhul")>, 2},
                            {3, meet<creature("darkness")>, 190},
                            {1, meet<creature("zarkhul")>, 100}};

TEST(Screens, StepCostsMarksMoversAndEncountersOfEveryScreen) {
    struct {
        int32 first, last, cost;
        countdown check;
        const foe_list *foes;
        unsigned char mark;
        mover move; // null: a mechanic of its own
    } spans[] = {
        {screen::home, screen::home, 0, countdown::none, nullptr, 'X', placex},
        {screen::forest_west, screen::forest_north, 10, countdown::fights, &forest_foes, 'X',
         placex},
        {screen::castle_approach, screen::castle_approach, 0, countdown::fights, &forest_foes, 'X',
         placex},
        {screen::courtyard, screen::castle_east4, 15, countdown::fights, &castle_foes, 'X', placex},
        {screen::great_hall, screen::pier, 0, countdown::none, nullptr, 'X', placex},
        {screen::sea_mid1, screen::sea_north4, 10, countdown::fights, &sea_foes, boat_mark, placex},
        {screen::island_gate, screen::island_gate, 0, countdown::none, nullptr, 'X', placex},
        {screen::mirror_maze, screen::mirror_maze, 15, countdown::none, nullptr, 'X', mirrorx},
        {screen::mirror_hall, screen::mirror_hall, 15, countdown::fights, &mirror_foes, 'X',
         mirrorx},
        {screen::name_puzzle, screen::name_puzzle, 0, countdown::none, nullptr, 'X', nullptr},
        {screen::clown_room, screen::clown_room, 0, countdown::none, nullptr, 'X', placex},
        {screen::chase_first, screen::chase_second, 0, countdown::none, nullptr, 'X', nullptr},
        {screen::clown_cornered, screen::clown_cornered, 0, countdown::none, nullptr, 'X', placex},
        {screen::southern_forest, screen::confusing_room, 10, countdown::fights, &enchanted_foes,
         'X', placex},
        {screen::fenced_field, screen::fenced_field, 10, countdown::fights, &pit_foes, 'X', placex},
        {screen::landing_room, screen::landing_room, 30, countdown::fights, &pit_foes, 'X', placex},
        {screen::chanting_room, screen::chanting_room, 0, countdown::none, nullptr, 'X', placex},
        {screen::cave_entrance, screen::cave_entrance, 10, countdown::count_only, nullptr, 'X',
         placex},
        {screen::tunnel_descent, screen::tunnel_east, 10, countdown::fights, &cave_foes, 'X',
         shadowx},
        {screen::tunnel_to_ship, screen::tunnel_to_ship, 10, countdown::fights, &ship_foes, 'X',
         shadowx},
        {screen::four_posts, screen::four_posts, 10, countdown::none, nullptr, 'X', placex},
        {screen::alien_ship, screen::alien_ship, 0, countdown::none, nullptr, 'X', placex},
    };
    int32 next = screen::home;
    for (const auto &sp : spans) {
        ASSERT_EQ(sp.first, next);
        next = sp.last + 1;
        for (int32 n = sp.first; n <= sp.last; ++n) {
            const screen_rec &s = world[n];
            EXPECT_EQ(s.cost, sp.cost) << n;
            EXPECT_EQ(s.check, sp.check) << n;
            EXPECT_EQ(s.mark, sp.mark) << n;
            EXPECT_EQ(s.sea, sp.mark == boat_mark) << n;
            EXPECT_EQ(s.entrycost, n >= screen::four_posts ? 10 : 0) << n;
            EXPECT_EQ(s.reversed, n == screen::chanting_room) << n;
            if (sp.move)
                EXPECT_EQ(s.move, sp.move) << n;
            else
                EXPECT_TRUE(s.move != placex && s.move != nullptr) << n;
            const foe_list none;
            const foe_list &want = sp.foes ? *sp.foes : none;
            if (sp.check == countdown::fights) {
                ASSERT_EQ(s.foes.size(), want.size()) << n;
                for (std::size_t i = 0; i < want.size(); ++i) {
                    EXPECT_EQ(s.foes[i].divisor, want[i].divisor) << n << " foe " << i;
                    EXPECT_EQ(s.foes[i].fight, want[i].fight) << n << " foe " << i;
                    EXPECT_EQ(s.foes[i].cash, want[i].cash) << n << " foe " << i;
                }
            }
        }
    }
    EXPECT_EQ(next, screen_count + 1);
}

// The figure stands in front of the gap (columns 74 to 76) when the hero comes in; each of the
// first five keys, moves or not, drives it one column on, and the fifth takes it off the grid.
TEST(Screens, TheChaseFigureWaitsForTheFirstKeyAndIsGoneAfterTheFifth) {
    const std::pair<int32, int32> chases[] = {{screen::chase_first, screen::clown_room},
                                              {screen::chase_second, screen::chase_first}};
    for (auto [n, from] : chases) {
        usescript("");
        walk_rec w(world[n], from);
        EXPECT_EQ(w.visit.map(11, 74), '{') << n;
        EXPECT_EQ(w.visit.map(13, 76), '\\') << n;
        w.press("5555");
        EXPECT_EQ(w.visit.map(11, 78), '{') << n;
        w.press("5");
        for (int r = 11; r <= 13; ++r)
            for (int c = 73; c <= map_cols; ++c)
                EXPECT_EQ(w.visit.map(r, c), ' ') << n << ": " << r << "," << c;
    }
}

// [SECTION] The main loop

TEST(Screens, EveryScreenHasAHandlerAndARow) {
    EXPECT_EQ(screens[0], nullptr);
    for (int n = 1; n <= screen_count; ++n) {
        EXPECT_NE(screens[n], nullptr) << n;
        EXPECT_EQ(world[n].number, n);
        EXPECT_NE(world[n].picture, nullptr) << "screen " << n << " has no map";
        EXPECT_NE(world[n].entries[0].from, 0) << "screen " << n << " has no entry";
    }
}

TEST(Screens, TheMainLoopStartsOnTheHomeScreen) {
    usescript("");
    stats_rec s = newhero();
    EXPECT_THROW(runscreens(screens, s), input_closed);
    auto lines = splitlines(transcript());
    ASSERT_GE(lines.size(), 25u);
    EXPECT_EQ(lines[0], "Oru");
    EXPECT_EQ(lines[18].substr(36, 8), "   X    ");
}

} // namespace
