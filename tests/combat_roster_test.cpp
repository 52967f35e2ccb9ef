// The creature roster: the rules every row keeps, announcements, what follows a victory, the
// fights that stop part-way, and long random key streams through every creature's fight.
#include "combat/fight.hpp"
#include "combat/pictures.hpp"
#include "combat/roster.hpp"
#include "core/console.hpp"
#include "draws.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

stats_rec hero(int32 power = 40) {
    return newhero({.power = power, .armor = 60, .magic = 30, .name = padded<3>("Oru")});
}

// Runs `body` until the script runs out; true when it returned by itself.
template <class F>
bool untilclosed(std::string_view keys, F body) {
    usescript(keys);
    try {
        body();
        return true;
    } catch (const input_closed &) {
        return false;
    }
}

// The rules every row keeps (the compile-time checks in combat/roster.cpp hold the ids, the
// names and the gainer's and tally's columns).
TEST(Roster, EveryRowKeepsTheFightsRules) {
    for (std::size_t i = 0; i < std::size(roster); ++i) {
        const creature_row &r = roster[i];
        SCOPED_TRACE(std::string(r.id));
        EXPECT_GT(r.power, 0);
        EXPECT_GT(r.health, 0);
        EXPECT_LE(r.health, r.total_health);
        EXPECT_GE(r.points, 0);
        EXPECT_TRUE(r.cash || r.money >= 0) << "a fixed reward is not negative";
        EXPECT_GE(r.runaway, 2) << "an escape is a fight draw of 1 to 100 that `runaway` divides";
        EXPECT_LE(r.runaway, 101) << "101: none";
        EXPECT_GE(r.threshold, 1);
        EXPECT_LE(r.threshold, r.health) << "the fight would end before the first blow";
        EXPECT_EQ(r.rewarded, r.threshold == 1) << "only the fights that stop part-way pay nothing";
        EXPECT_TRUE(!r.numbered || r.says) << "a part number needs an announcement";
        if (r.threshold == 1) continue;
        // A fight that stops part-way goes on as the next row, from where it stopped.
        ASSERT_LT(i + 1, std::size(roster));
        const creature_row &next = roster[i + 1];
        EXPECT_EQ(next.name, r.name);
        EXPECT_EQ(next.health, r.threshold - 1);
        EXPECT_EQ(next.total_health, r.total_health);
    }
}

// Each victory counter is raised by a creature's row (14 to 16 never are); only Mad Eyes sets
// the bounty, and she shares the seal's counter.
TEST(Roster, EveryVictoryCounterHasItsCreature) {
    for (int v = won::bats; v <= won::stalagmite; ++v) {
        const bool raised = std::any_of(std::begin(roster), std::end(roster),
                                        [&](const creature_row &r) { return r.wins == v; });
        EXPECT_EQ(raised, v < 14 || v > 16) << "counter " << v;
    }
    for (const creature_row &r : roster) EXPECT_EQ(r.mad_eyes, r.id == "madeyes") << r.id;
    EXPECT_EQ(rowof(creature("madeyes")).wins, won::seal);
}

TEST(Roster, EachRowShowsItsOwnPicture) {
    for (const creature_row &r : roster) {
        EXPECT_NE(r.look.picture, nullptr) << r.id;
        if (r.id != "mime") {
            EXPECT_EQ(r.look.hurt, nullptr) << r.id;
        }
    }
    const creature_look &mime = rowof(creature("mime")).look;
    EXPECT_EQ(mime.picture, &fight_mime_picture);
    EXPECT_EQ(mime.hurt, &fight_mime_picture2);
    EXPECT_EQ(mime.hurt_at, 50) << "the second face from health 50 downward";
    EXPECT_EQ(rowof(creature("bats")).look.picture, &fight_bats_picture);
    EXPECT_EQ(rowof(creature("darkness")).look.picture, &darkness_picture);
    EXPECT_EQ(rowof(creature("vex2")).look.picture, &fight_vex2_picture);
    EXPECT_EQ(rowof(creature("vaskar2")).look.picture, &vaskar2_picture);
}

TEST(Roster, EachIdFindsItsOwnRow) {
    EXPECT_EQ(creature("bats"), creature_id{0});
    EXPECT_EQ(rowof(creature("vex_again")).id, "vex_again");
    EXPECT_EQ(rowof(creature("vaskar2")).id, "vaskar2");
    static_assert(creature("grumb2") != creature("grumb"), "two forms, two rows");
}

TEST(Roster, EachRowFightsItsOwnCreature) {
    for (std::size_t i = 0; i < std::size(roster); ++i) {
        const creature_row &e = roster[i];
        SCOPED_TRACE(std::string(e.id));
        stats_rec s = hero();
        EXPECT_FALSE(untilclosed("\n", [&] { fightcreature(creature_id{i}, s, 77); }));
        const std::vector<std::string> lines = splitlines(transcript());
        ASSERT_GE(lines.size(), 25u);
        const std::string *screen = &lines[lines.size() - 25];
        EXPECT_EQ(screen[1].substr(0, 18), "|  " + std::string(view(padded<15>(e.name))));
        EXPECT_EQ(screen[14].substr(0, 35 + 1 + std::to_string(e.health).size() +
                                           std::to_string(e.total_health).size()),
                  "|                         HEALTH : " + std::to_string(e.health) + "/" +
                      std::to_string(e.total_health));
    }
}

// ---------------------------------------------------------------------------------------------
// Announcements
// ---------------------------------------------------------------------------------------------

std::string announcementof(creature_id c, const stats_rec &from) {
    stats_rec s = from;
    untilclosed("\n", [&] { fightcreature(c, s); });
    const std::string out = transcript();
    return out.substr(0, out.find("PRESS ENTER") + 11 + 2);
}

TEST(Announcements, BatsAndTheThreePressEnterLines) {
    const stats_rec s = hero();
    EXPECT_EQ(announcementof(creature("bats"), s),
              std::string(10, '\n') +
                  "                    Blood thirsty BATS want you for dinner,\n"
                  "                    better make sure you're not on the menu!\n" +
                  std::string(10, '\n') + std::string(65, ' ') + "PRESS ENTER\n\n");
    const std::string goo = announcementof(creature("glob_of_goo"), s);
    EXPECT_EQ(goo.substr(0, 20), std::string(20, '\n'));
    EXPECT_NE(
        goo.find("STICKY\n" + std::string(10, '\n') + std::string(50, ' ') + "PRESS ENTER\n\n"),
        std::string::npos);
    EXPECT_NE(
        announcementof(creature("rock"), s)
            .find("TIME!!!\n" + std::string(11, '\n') + std::string(44, ' ') + "PRESS ENTER\n\n"),
        std::string::npos);
}

TEST(Announcements, TheSharksPartNumber) {
    stats_rec s = hero();
    EXPECT_EQ(announcementof(creature("shark"), s),
              std::string(10, '\n') +
                  "                    da dun....da dun....da dun\n"
                  "                             JAWS   :   PART 1" +
                  std::string(11, '\n') + std::string(65, ' ') + "PRESS ENTER\n\n");
    s.wins[won::shark] = 11;
    EXPECT_NE(announcementof(creature("shark"), s).find("JAWS   :   PART 12\n\n"),
              std::string::npos);
}

TEST(Announcements, TheCrabsNotesAndTheDarknesssFiveLines) {
    const stats_rec s = hero();
    EXPECT_EQ(announcementof(creature("crab"), s),
              std::string(10, '\n') + "                           ♫I can do the crabby snap♫\n" +
                  std::string(31, ' ') + "♫snap♫snap♫snap♫\n" + std::string(10, '\n') +
                  std::string(65, ' ') + "PRESS ENTER\n\n");
    EXPECT_EQ(announcementof(creature("darkness"), s),
              std::string(13, '\n') +
                  "                    WHAT THE HECK IS THAT?!       \n"
                  "                    YOU SEE EYES AND HEAR THE SNARLS...\n"
                  "                    BUT IT CONSTANTLY AVOIDS THE LIGHT...\n"
                  "\n"
                  "                    GOOD LUCK!\n" +
                  std::string(10, '\n') + std::string(65, ' ') + "PRESS ENTER\n\n");
}

TEST(Announcements, EveryLineFitsTheScreen) {
    for (const creature_row &r : roster) {
        if (!r.says) continue;
        for (std::string_view words : r.says->lines) EXPECT_LE(words.size(), 76u) << r.id;
    }
}

// ---------------------------------------------------------------------------------------------
// After the fight
// ---------------------------------------------------------------------------------------------

TEST(Victory, PaysCountsAndRaisesTheRightCounter) {
    stats_rec s = hero(1000);
    planned_draws d{fightdraw(50)}; // 500 damage: any ordinary creature falls at once
    EXPECT_TRUE(untilclosed("\n1\n", [&] { fightcreature(creature("bats"), s, 8); }));
    EXPECT_EQ(s.money, 108);
    EXPECT_EQ(s.points, 16);
    EXPECT_EQ(s.num_fights, 1);
    EXPECT_EQ(s.wins[won::bats], 1);
    EXPECT_NE(transcript().find("YOU HAVE DEFEATED BATS           "), std::string::npos);
}

TEST(Victory, AGainerRefightPaysNoGoldButCounts) {
    stats_rec s = hero(1000);
    planned_draws d{fightdraw(50)};
    EXPECT_TRUE(untilclosed("\n1\n", [&] { fightcreature(creature("crab"), s, 0); }));
    EXPECT_EQ(s.money, 100);
    EXPECT_EQ(s.points, 38);
    EXPECT_EQ(s.wins[won::crab], 1);
    EXPECT_NE(transcript().find("   You recieved  : 38 points and $0\n"), std::string::npos);
}

TEST(Victory, AnEscapePaysNothingAndTheNextSharkIsStillPartOne) {
    stats_rec s = hero();
    planned_draws d{fightdraw(50)}; // 50 is a multiple of the shark's 5
    EXPECT_TRUE(untilclosed("\n4", [&] { fightcreature(creature("shark"), s, 29); }));
    EXPECT_EQ(s.money, 100);
    EXPECT_EQ(s.points, 0);
    EXPECT_EQ(s.num_fights, 0);
    EXPECT_EQ(s.wins[won::shark], 0);
}

TEST(Victory, SharkPartsCountBeatenSharks) {
    stats_rec s = hero(1000);
    {
        planned_draws d{fightdraw(50)};
        EXPECT_TRUE(untilclosed("\n1\n", [&] { fightcreature(creature("shark"), s, 29); }));
    }
    EXPECT_NE(transcript().find("JAWS   :   PART 1\n"), std::string::npos);
    EXPECT_EQ(s.wins[won::shark], 1);
    EXPECT_NE(announcementof(creature("shark"), s).find("JAWS   :   PART 2\n"), std::string::npos);
}

TEST(Victory, MadEyesSharesTheSealsCounterAndSetsTheBounty) {
    stats_rec s = hero(10000);
    planned_draws d{fightdraw(50)};
    EXPECT_TRUE(untilclosed(
        "1\n1", [&] { fightcreature(creature("madeyes"), s); })); // the level-up takes "1"
    EXPECT_TRUE(s.mad_eyes);
    EXPECT_EQ(s.wins[won::seal], 1);
    EXPECT_EQ(s.points, 1000);
    EXPECT_EQ(s.power, 10003);
    EXPECT_EQ(s.next_level, 200);
}

TEST(Victory, ZarkhulFallsToThreeDamageAndCannotBeEscaped) {
    stats_rec s = hero(6);                                        // 6 x 50 / 100 = 3
    planned_draws d{fightdraw(1), enemydraw(800), fightdraw(50)}; // a failed escape, then 3 damage
    EXPECT_TRUE(untilclosed("\n41\n1", [&] { fightcreature(creature("zarkhul"), s, 100); }));
    EXPECT_TRUE(d.used_all());
    EXPECT_EQ(s.wins[won::zarkhul], 1);
    EXPECT_EQ(s.money, 200);
}

TEST(PartWay, VexStopsAtThreeHundredWithoutAReward) {
    stats_rec s = hero(500);
    // 295 takes him to 305; 55 takes him to 250 and the fight ends at once.
    planned_draws d{fightdraw(59), enemydraw(800), fightdraw(11)};
    EXPECT_TRUE(untilclosed("11", [&] { fightcreature(creature("vex"), s); }));
    EXPECT_TRUE(d.used_all());
    const std::string out = transcript();
    EXPECT_EQ(out.find("YOU HAVE DEFEATED"), std::string::npos);
    EXPECT_EQ(occurrences(out, "|  1) Attack"), 2);
    EXPECT_NE(out.find("HEALTH : 305/600"), std::string::npos);
    EXPECT_EQ(s.points, 0);
    EXPECT_EQ(s.num_fights, 0);
    EXPECT_EQ(s.health, 60) << "the creature missed";
}

TEST(PartWay, VaskarStopsAtFiveThousandAndHerSecondFormStartsThere) {
    stats_rec s = hero(9998);
    planned_draws d{fightdraw(50)}; // 4999: from 9999 to 5000
    EXPECT_TRUE(untilclosed("1", [&] { fightcreature(creature("vaskar"), s); }));
    EXPECT_EQ(transcript().find("YOU HAVE DEFEATED"), std::string::npos);
    EXPECT_EQ(s.points, 0);

    EXPECT_FALSE(untilclosed("", [&] { fightcreature(creature("vaskar2"), s); }));
    const std::vector<std::string> lines = splitlines(transcript());
    EXPECT_EQ(lines[14].substr(0, 47), "|                         HEALTH : 5000/9999  |");
}

// Long random key streams through every creature's fight, with a stepping clock: the fights
// end unless the creature cannot be escaped and the hero is too weak, and the hero's figures and
// counts never go below 0.
TEST(Roster, RandomKeyStreamsThroughEveryFight) {
    stepping_clock clock(777);
    std::uint32_t seed = 2024;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    const std::string_view alphabet = "0123456789111222334\n\n x\x1b";
    for (int round = 0; round < 3; ++round) {
        for (std::size_t row = 0; row < std::size(roster); ++row) {
            stats_rec s = hero(40 + 400 * round);
            s.magic[3] = {padded<11>("Fire"), padded<30>("burns"), 12, 2};
            s.items[potion] = static_cast<int32>(next() % 3);
            s.items[magic_dust] = static_cast<int32>(next() % 3);
            s.items[regain] = static_cast<int32>(next() % 2);
            std::string keys;
            for (int k = 0; k < 1500; ++k) keys += alphabet[next() % alphabet.size()];
            const bool ended = untilclosed(keys, [&] { fightcreature(creature_id{row}, s, 10); });
            SCOPED_TRACE(std::string(roster[row].id) + " against power " + std::to_string(s.power));
            // Every '4' tries the escape again: only a creature no one escapes can still stand
            // when the keys run out, and only against the weakest hero.
            if (!ended) {
                EXPECT_EQ(round, 0);
                EXPECT_EQ(roster[row].runaway, 101);
            }
            EXPECT_GE(s.health, 0);
            EXPECT_GE(s.magicdust, 0);
            EXPECT_GE(s.money, 100);
            for (int32 n : s.items) EXPECT_GE(n, 0);
            for (int32 w : s.wins) EXPECT_GE(w, 0);
            const std::string out = transcript();
            EXPECT_EQ(out.find("HEALTH : -"), std::string::npos);
            for (const std::string &l : splitlines(out)) {
                EXPECT_LE(columns(l), 80u) << l;
            }
        }
    }
}

} // namespace
