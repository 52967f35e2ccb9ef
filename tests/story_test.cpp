// The story: the quest's sequences and what they leave in the Stats record, the final battle's
// order, and the score and tally pages line by line.
#include "combat/fight.hpp"
#include "core/random.hpp"
#include "core/score.hpp"
#include "story/story.hpp"
#include "story_keys.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

// Where `what` first appears in the transcript lines at or after line `from` (-1: nowhere).
int find(const lines &out, std::string_view what, int from = 0) {
    for (int i = from; i < static_cast<int>(out.size()); ++i)
        if (out[i].find(what) != std::string::npos) return i;
    return -1;
}

std::string joined(const lines &out) {
    std::string all;
    for (const std::string &l : out) all += l + '\n';
    return all;
}

// ---------------------------------------------------------------------------------------------
// The gifts
// ---------------------------------------------------------------------------------------------

TEST(Gifts, EachReplacesTheWholeRecordItBelongsTo) {
    struct expected_gift {
        gift g;
        bool weapon;
        int32 power, armor, magic;
        std::string_view name;
    };
    const expected_gift table[] = {
        {gift::brass_shield, false, 2, 6, 0, "Brass Shield"},
        {gift::silver_shield, false, 6, 30, 8, "Silver Shield"},
        {gift::tower_shield, false, 15, 45, 12, "Tower Shield"},
        {gift::glimmering_shield, false, 40, 200, 60, "Glimmering Shield"},
        {gift::magestic_blade, true, 300, 200, 120, "Magestic Blade"},
    };
    for (const expected_gift &e : table) {
        SCOPED_TRACE(std::string(e.name));
        stats_rec s = newhero();
        const weapon_type weapon = s.weapon, shield = s.shield;
        give(s, e.g);
        const weapon_type &got = e.weapon ? s.weapon : s.shield;
        EXPECT_EQ(got, (weapon_type{e.power, e.armor, e.magic, padded<20>(e.name)}));
        EXPECT_EQ(e.weapon ? s.shield : s.weapon, e.weapon ? shield : weapon)
            << "the other record is kept";
    }
}

// ---------------------------------------------------------------------------------------------
// The switch and the boatman
// ---------------------------------------------------------------------------------------------

TEST(Switch, PulledWithoutARingRefusedWithOne) {
    stats_rec s = newhero();
    bool pulled = false;
    usescript("\nrest");
    pulled = pullswitch(s);
    EXPECT_TRUE(pulled);
    const lines out = splitlines(transcript());
    EXPECT_EQ(out[7], "                                            PRESS ENTER TO PULL");
    EXPECT_EQ(out[8], "                                                THE SWITCH");

    s.num_of_rings = 1;
    usescript("\n");
    EXPECT_FALSE(pullswitch(s));
    EXPECT_NE(transcript().find("I'm not going in there again!!!"), std::string::npos);
}

TEST(Boatman, TooPoorIsTurnedAwayAndKeepsHisMoney) {
    stats_rec s = newhero();
    s.money = 150;
    bool crossed = true;
    const lines out = run("\n", [&] { crossed = boatman(s); });
    EXPECT_FALSE(crossed);
    EXPECT_EQ(s.money, 150);
    EXPECT_FALSE(s.boat);
    EXPECT_NE(find(out, "Sorry! You don't have"), -1);
    EXPECT_NE(find(out, "$200 Smackers."), -1);
}

TEST(Boatman, PaysOnceAndCrossesFreeAfterwards) {
    stats_rec s = newhero();
    s.money = 250;
    bool crossed = false;
    lines out = run("x1", [&] { crossed = boatman(s); });
    EXPECT_TRUE(crossed);
    EXPECT_EQ(s.money, 50);
    EXPECT_TRUE(s.boat);
    int first = find(out, "So you wanna borrow me");
    EXPECT_NE(find(out, "So you wanna borrow me", first + 1), -1) << "another key asks again";

    s.money = 0;
    out = run("", [&] { crossed = boatman(s); });
    EXPECT_TRUE(crossed);
    EXPECT_EQ(s.money, 0);
    EXPECT_TRUE(out.empty() || (out.size() == 1 && out[0].empty())) << "no page the second time";
}

TEST(Boatman, ZeroDeclines) {
    stats_rec s = newhero();
    s.money = 200;
    bool crossed = true;
    run("0", [&] { crossed = boatman(s); });
    EXPECT_FALSE(crossed);
    EXPECT_EQ(s.money, 200);
    EXPECT_FALSE(s.boat);
}

TEST(Boatman, TheOfferFitsTheScreen) {
    stats_rec s = newhero();
    s.money = 500;
    for (const std::string &l : run("0", [&] { boatman(s); })) EXPECT_LE(columns(l), 80u) << l;
    s.money = 0;
    for (const std::string &l : run("\n", [&] { boatman(s); })) EXPECT_LE(columns(l), 80u) << l;
}

// ---------------------------------------------------------------------------------------------
// The ring-holders and Mad Eyes
// ---------------------------------------------------------------------------------------------

// The keys of the first ring-holder's sequence with one blow per fight and `choice` at the end:
// two pages, two knights, two pages, Tobrillo, three pages, the choice and what follows it.
std::string tobrillokeys(char choice) {
    std::string keys = "\n\n"
                       "1\n1\n"
                       "\n\n"
                       "1\n"
                       "\n\n\n";
    keys += choice;
    keys += choice == '1' ? "\n1\n\n" : "\n\n";
    return keys;
}

TEST(FirstRingHolder, TheWindowMeansOneMoreKnight) {
    hitting_clock clock;
    struct choice_case {
        char choice;
        int knights;
        std::string_view scene;
    };
    for (const choice_case c : {choice_case{'1', 3, "There's no escaping him now."},
                                choice_case{'2', 2, "you are wearing his armor"},
                                choice_case{'3', 2, "hold you up over the rocks"}}) {
        SCOPED_TRACE(c.choice);
        stats_rec s = champion();
        const int32 health = maxhealth(s) - s.shield.armor;
        usescript(tobrillokeys(c.choice));
        firstringholder(s); // every key is used, none is missing
        const std::string out = transcript();
        EXPECT_EQ(s.wins[won::knight], c.knights);
        EXPECT_EQ(s.money, 100 + 44 * c.knights + 56);
        EXPECT_EQ(s.num_of_rings, 1);
        EXPECT_EQ(trimmed(s.shield.name), "Brass Shield");
        EXPECT_EQ(maxhealth(s), health + 6) << "the Brass Shield adds 6 to the maximum health";
        EXPECT_NE(out.find(c.scene), std::string::npos);
        EXPECT_LT(out.find("YOU FOUND A SHIELD"), out.find("WHAT SHOULD YOU DO???"));
    }
}

TEST(FirstRingHolder, TheChoiceAsksUntilItIsAnswered) {
    char got = 0;
    const lines out = run("x02", [&] { got = tobrchoice(); });
    EXPECT_EQ(got, '2');
    int asked = 0;
    for (const std::string &l : out) asked += l == "     WHAT SHOULD YOU DO???";
    EXPECT_EQ(asked, 3);
    const int at = find(out, "WHAT SHOULD YOU DO???");
    EXPECT_EQ(out[at + 2], "                    1) exit through the window");
    EXPECT_EQ(out[at + 4], "                    2) hide behind a pillar");
    EXPECT_EQ(out[at + 6], "                    3) make a run for the door");
}

TEST(Clown, TheFirstMeetingEndsInTheChaseTheSecondWithTheRing) {
    hitting_clock clock;
    stats_rec s = champion();
    run(onward(20), [&] { clownescapes(s); });
    EXPECT_EQ(s.num_of_rings, 0);
    run(onward(20), [&] { clownfalls(s); });
    EXPECT_EQ(s.num_of_rings, 2);
    EXPECT_EQ(s.shield, giftitem(gift::silver_shield));
}

TEST(RingHolders, TheThirdAndFourthPayAndSendTheHeroOn) {
    hitting_clock clock;
    stats_rec s = champion();
    s.num_of_rings = 2;
    int32 next = 0;
    run(onward(20), [&] { next = thirdringholder(s); });
    EXPECT_EQ(next, 41);
    EXPECT_EQ(s.num_of_rings, 3);
    EXPECT_EQ(s.shield, giftitem(gift::tower_shield));
    EXPECT_EQ(s.money, 100 + 200);

    const lines out = run(onward(20), [&] { next = fourthringholder(s); });
    EXPECT_EQ(next, 47);
    EXPECT_EQ(s.num_of_rings, 4);
    EXPECT_EQ(s.shield, giftitem(gift::glimmering_shield));
    EXPECT_EQ(s.money, 100 + 200 + 500);
    EXPECT_EQ(out.back(), std::string(57, ' ') + "PRESS ENTER") << "the last page does not wait";
    EXPECT_EQ(out[out.size() - 11], "           you realize your at the ENTRANCE OF THE CAVE!!!");
}

TEST(MadEyes, ZeroLeavesHimOneFightsAndGivesTheBlade) {
    hitting_clock clock;
    stats_rec s = champion();
    s.num_of_rings = 4;
    bool fought = true;
    lines out = run("x0", [&] { fought = meetmadeyes(s); });
    EXPECT_FALSE(fought);
    EXPECT_FALSE(s.mad_eyes);
    EXPECT_EQ(trimmed(s.weapon.name), "Rusty Sword");
    EXPECT_NE(find(out, "to fight me?", find(out, "to fight me?") + 1), -1) << "x asks again";

    out = run("1" + onward(5), [&] { fought = meetmadeyes(s); });
    EXPECT_TRUE(fought);
    EXPECT_TRUE(s.mad_eyes);
    EXPECT_EQ(s.wins[won::seal], 1);
    EXPECT_EQ(s.weapon, giftitem(gift::magestic_blade));
    EXPECT_NE(find(out, "YOU FOUND A SWORD"), -1);
}

// ---------------------------------------------------------------------------------------------
// The final battle and the closing pages
// ---------------------------------------------------------------------------------------------

TEST(FinalBattle, FightsInOrderAndEndsWithTheScore) {
    stepping_clock clock;
    stats_rec s = champion();
    s.num_of_rings = 4;
    usescript(onward(400));
    finalbattle(s); // returns: the keys are enough for every page and fight
    const lines out = splitlines(transcript());
    // The fights by the names on their screens, between the pages that lead to them.
    const std::string_view order[] = {
        "GET HIM!!!",
        "|  KNIGHT",
        "immense!",
        "|  TOBRILLO",
        "Vexminaxus lowers",
        "|  VEXMINAXUS",
        "familiar face",
        "|  DwarfBerserker",
        "You will pay!!!!",
        "|  grumbarov",
        "fear in the eyes",
        "|  ??????????????",
        "Come and face me",
        "|  DELVO",
        "your turn",
        "|  Sorceress",
        "wings burst",
        "YOU MUST LIVE OUT YOUR DESTINY!!!",
        "|  Sorceress",
        "WAIT, DON'T GO YET...",
        "Destroy the",
        "HERE'S YOUR TOTAL SCORE!",
        "HERE'S HOW MANY OF EACH CHARACTER",
        "THE END",
        "ATTACH THE SCORE.TXT FILE TO THE EMAIL!!!",
    };
    int at = 0;
    for (std::string_view what : order) {
        const int next = find(out, what, at);
        ASSERT_NE(next, -1) << what << " after line " << at;
        at = next + 1;
    }
    EXPECT_NE(find(out, "                 SCORE = " + std::to_string(s.points)), -1)
        << "points became the score shown";
    // The dragon's notice ends without a line end; the Enter typed there ends its line.
    const std::string open_notice = std::string(65, ' ') + "PRESS ENTER";
    for (const std::string &l : out)
        EXPECT_LE(columns(l.starts_with(open_notice) ? l.substr(open_notice.size()) : l), 80u) << l;
}

TEST(FinalBattle, TheSecondFormFollowsEvenAHeroWhoFell) {
    // One hit point and no armor: each strike fells the hero, who is revived and fights on.
    stepping_clock clock;
    stats_rec s = champion();
    s.total_health = s.health = 1;
    s.weapon.armor = s.shield.armor = 0;
    usescript(onward(600));
    finalbattle(s);
    const std::string out = transcript();
    EXPECT_GT(s.deaths, 0);
    const std::size_t first = out.find("|  Sorceress");
    const std::size_t dragon = out.find("YOU MUST LIVE OUT YOUR DESTINY!!!");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(dragon, std::string::npos);
    EXPECT_LT(first, dragon);
    EXPECT_NE(out.find("|  Sorceress", dragon), std::string::npos);
    EXPECT_LT(out.find("|  Sorceress", dragon), out.find("HERE'S YOUR TOTAL SCORE!"));
}

TEST(FinalBattle, TheDragonPageEndsOnTheNoticeWithoutALineEnd) {
    stepping_clock clock;
    stats_rec s = champion();
    usescript(onward(400));
    finalbattle(s);
    const std::string out = transcript();
    const std::string notice = std::string(65, ' ') + "PRESS ENTER";
    const std::size_t at = out.find("DESTINY!!!\"\n" + std::string(9, '\n') + notice);
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(out[at + 12 + 9 + notice.size()], '\n') << "the fight screen follows on the line";
    EXPECT_NE(out.find("GO YET...\"\n" + std::string(10, '\n') + notice + "\n"), std::string::npos);
}

TEST(ScoreScreen, ALosingScoreIsPrintedAndKeptExactly) {
    stats_rec s = newhero();
    s.points = 100;
    s.money = 40;
    s.deaths = 2;
    const lines out = run("\n", [&] { scorescreen(s); });
    lines expected;
    auto text = [&](int empty_before, std::string line) {
        expected.insert(expected.end(), empty_before, "");
        expected.push_back(std::move(line));
    };
    text(10, "                   HERE'S YOUR TOTAL SCORE!");
    text(9, "        SCORE = POINTS  +  5 * MONEY  -  # OF DEATHS * 200");
    text(1, "         -100 =    100  +  5 *    40  -            2 * 200");
    text(3, "                 SCORE = -100");
    text(5, ""); // then the line read
    EXPECT_EQ(out, expected);
    EXPECT_EQ(s.points, -100);
    EXPECT_EQ(scorerecord(s), "Oru\n       -100\n          2\nE\n\n\n");
}

TEST(ScoreScreen, AWideScoreKeepsItsWidthsAndNeverOverflows) {
    stats_rec s = newhero();
    s.points = 123456;
    s.money = 2000;
    s.deaths = 0;
    lines out = run("\n", [&] { scorescreen(s); });
    EXPECT_EQ(out[22], "       133456 = 123456  +  5 *  2000  -            0 * 200");
    s.money = 2'000'000'000;
    s.points = 0;
    EXPECT_EQ(finalscore(s), 2147483647);
}

TEST(TallyScreen, ElevenLinesOfTwoCounts) {
    stats_rec s = newhero();
    for (int i = 1; i <= 25; ++i) s.wins[i] = i * 10;
    s.wins[won::darkness] = 12345;
    const lines out = run("\n", [&] { tallyscreen(s); });
    ASSERT_EQ(out.size(), 7u + 2 + 11 + 6);
    EXPECT_EQ(out[7], "               HERE'S HOW MANY OF EACH CHARACTER YOU'VE BEATEN");
    EXPECT_EQ(out[8], "");
    const std::string_view rows[] = {
        "               Bats        =    10            Fox         =    20",
        "               Raccon      =    30            Ghost       =    40",
        "               Skeleton    =    50            Knight      =    60",
        "               Shark       =    70            Octopus     =    80",
        "               Crab        =    90            Jelly       =   100",
        "               Mime        =   110            Seal        =   120",
        "               Monkey      =   130            Mad Monkey  =   170",
        "               Clown       =   180            Dwarf       =   190",
        "               Goo         =   200            Rock        =   210",
        "               Caveman     =   220            Zarkhul     =   230",
        "               ????????    = 12345            Stalagmite  =   250",
    };
    for (int i = 0; i < 11; ++i) EXPECT_EQ(out[9 + i], rows[i]);
    EXPECT_EQ(joined(out).find("140"), std::string::npos) << "counters 14 to 16 are not shown";
}

// ---------------------------------------------------------------------------------------------
// Every scene on an 80-column screen
// ---------------------------------------------------------------------------------------------

TEST(Scenes, EveryPageFitsTheScreen) {
    void (*const scenes[])() = {
        switchscene, boatnomoney, boat,           notgoing,    houseofmirrors, findsword,
        findshield,  tobr,        tobrmore,       tobrdead,    tobrend,        window1,
        window2,     pillar,      runforit,       vex,         vexrun,         vexdead,
        madeyes,     grumbcurse,  grumbsurrender, delvoarrives};
    for (auto scene : scenes) {
        const lines out = run(onward(10), scene);
        ASSERT_GT(out.size(), 3u);
        for (const std::string &l : out) EXPECT_LE(columns(l), 79u) << l;
    }
}

} // namespace
