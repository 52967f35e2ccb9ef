// Rewards after a victory and the level-up dialogue.
#include "combat/fight.hpp"
#include "core/console.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

namespace {

stats_rec hero_with(int32 points, int32 next_level) {
    stats_rec s = newhero();
    s.health = 30;
    s.points = points;
    s.next_level = next_level;
    return s;
}

creature_rec bats(int32 cash) {
    return {.name = padded<15>("BATS"),
            .power = 3,
            .health = 30,
            .total_health = 30,
            .points = 16,
            .money = cash,
            .runaway = 2};
}

TEST(LevelStep, GrowsWithTheThreshold) {
    struct row {
        int32 before, step;
    };
    const row rows[] = {
        {0, 100},          {100, 100},          {999, 100},      {1000, 500},     {9999, 500},
        {10000, 5000},     {99999, 5000},       {100000, 50000}, {999999, 50000}, {1000000, 500000},
        {9999999, 500000}, {10000000, 5000000}, {-1, 5000000},
    };
    for (const row &r : rows) EXPECT_EQ(levelstep(r.before), r.step) << r.before;
}

TEST(Winnings, BelowTheThresholdThePageAndNoLevelUp) {
    stats_rec s = hero_with(0, 100);
    s.money = 100;
    usescript("\n");
    winnings(s, bats(8));
    EXPECT_EQ(s.points, 16);
    EXPECT_EQ(s.money, 108);
    EXPECT_EQ(s.num_fights, 1);
    EXPECT_EQ(s.next_level, 100);
    EXPECT_EQ(transcript(), std::string(10, '\n') +
                                "                           YOU HAVE DEFEATED BATS           \n\n\n"
                                "   You recieved  : 16 points and $8\n\n\n"
                                "   You need 84 points to upgrade\n" +
                                std::string(7, '\n') +
                                "                           PRESS ENTER TO CONTINUE\n\n");
}

TEST(Winnings, ReachingTheThresholdOffersOneLevelUp) {
    stats_rec s = hero_with(90, 100);
    usescript("\n2");
    winnings(s, bats(0));
    EXPECT_EQ(s.points, 106);
    EXPECT_EQ(s.money, 100) << "a re-fight pays no gold";
    EXPECT_EQ(s.num_fights, 1);
    EXPECT_EQ(s.total_health, 38);
    EXPECT_EQ(s.health, 33) << "both raised by 3, not healed";
    EXPECT_EQ(s.next_level, 200);
    const std::string out = transcript();
    EXPECT_NE(out.find("   You recieved  : 16 points and $0\n\n\n" + std::string(6, '\n') +
                       "                           PRESS ENTER TO UPGRADE\n\n\n\n"),
              std::string::npos);
    EXPECT_EQ(occurrences(out, "Which would you like to upgrade?"), 1);
}

TEST(Winnings, FarPastTheThresholdStillOneLevelUpThenAnotherAtOnce) {
    stats_rec s = hero_with(90, 100);
    creature_rec big = bats(5);
    big.points = 160;
    usescript("\n1");
    winnings(s, big);
    EXPECT_EQ(s.points, 250);
    EXPECT_EQ(s.power, 43);
    EXPECT_EQ(s.next_level, 200);
    EXPECT_EQ(occurrences(transcript(), "Which would you like to upgrade?"), 1);

    usescript("\n3");
    winnings(s, bats(0));
    EXPECT_EQ(s.points, 266);
    EXPECT_EQ(s.total_magicdust, 28);
    EXPECT_EQ(s.magicdust, 28);
    EXPECT_EQ(s.next_level, 300);
}

TEST(ChooseStat, TheThresholdSteps) {
    struct row {
        int32 before, after;
    };
    const row rows[] = {{100, 200}, {999, 1099}, {1000, 1500}, {9500, 10000}, {10000, 15000}};
    for (const row &r : rows) {
        stats_rec s = hero_with(0, r.before);
        usescript("1");
        choosestat(s);
        EXPECT_EQ(s.next_level, r.after) << r.before;
    }
}

TEST(ChooseStat, OtherKeysRedrawTheDialogue) {
    stats_rec s = hero_with(0, 100);
    s.total_health = 35;
    usescript("0x49\n2");
    choosestat(s);
    EXPECT_EQ(s.total_health, 38);
    EXPECT_EQ(s.power, 40);
    EXPECT_EQ(s.total_magicdust, 25);
    const std::string out = transcript();
    EXPECT_EQ(occurrences(out, "Which would you like to upgrade?"), 6);
    const std::string page =
        std::string(8, '\n') +
        "                               Your current stats without weapon or shield\n"
        "                                        POWER  : 40\n"
        "                                        ARMOR  : 35\n"
        "                                        MAGIC  : 25\n\n\n\n\n"
        "Which would you like to upgrade?\n   1) POWER\n   2) ARMOR\n   3) MAGIC\n\n\n\n\n\n";
    EXPECT_EQ(out.substr(0, page.size()), page);
}

} // namespace
