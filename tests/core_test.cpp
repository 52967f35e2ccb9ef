// Records, setup and the item rules.
#include "core/definitions.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

namespace {

TEST(Setup, FillsTheStatsRecordFromTheHero) {
    stats_rec s = newhero();
    EXPECT_EQ(view(s.name), "Oru");
    EXPECT_EQ(s.power, 40);
    EXPECT_EQ(s.health, 35);
    EXPECT_EQ(s.total_health, 35);
    EXPECT_EQ(s.magicdust, 25);
    EXPECT_EQ(s.total_magicdust, 25);
    EXPECT_EQ(s.money, 100);
    EXPECT_EQ(s.steps, -1);
    EXPECT_EQ(s.next_level, 100);
    EXPECT_EQ(view(s.weapon.name), "Rusty Sword         ");
    EXPECT_EQ(view(s.shield.name), "Battered Shield     ");
    EXPECT_EQ(view(s.magic[1].spell), "Heal       ");
    EXPECT_EQ(view(s.magic[1].des), "Adds 25% to current health    ");
    EXPECT_EQ(s.magic[1].usecost, 10);
    EXPECT_EQ(s.magic[2].damagex, 15);
    EXPECT_EQ(trimmed(s.magic[2].des), "Short burst of energy");
    for (int i = 3; i <= 5; ++i) EXPECT_EQ(s.magic[i].usecost, 0) << "slot " << i;
}

TEST(Setup, GivesOnePotionAndNothingElse) {
    stats_rec s = newhero();
    EXPECT_EQ(s.items[potion], 1);
    EXPECT_EQ(s.items[magic_dust], 0);
    EXPECT_EQ(s.items[regain], 0);
    // Another hero set up later has items of his own.
    stats_rec t = newhero();
    t.items[potion] = 7;
    EXPECT_EQ(s.items[potion], 1);
}

TEST(Items, EffectsAreCappedByTheDerivedMaxima) {
    stats_rec s = newhero();
    s.weapon.armor = 5;
    s.shield.magic = 4;
    ASSERT_EQ(maxhealth(s), 40);
    ASSERT_EQ(maxmagic(s), 29);

    s.health = maxhealth(s) - 10;
    EXPECT_TRUE(useitem(s, potion));
    EXPECT_EQ(s.health, 40) << "a potion heals only up to the maximum";
    EXPECT_EQ(s.items[potion], 0);
    EXPECT_FALSE(useitem(s, potion)) << "none left";
    EXPECT_EQ(s.health, 40);

    s.magicdust = 0;
    s.items[magic_dust] = 2;
    EXPECT_TRUE(useitem(s, magic_dust));
    EXPECT_EQ(s.magicdust, 29);

    s.health = 1;
    s.magicdust = 1;
    s.items[regain] = 1;
    EXPECT_TRUE(useitem(s, regain));
    EXPECT_EQ(s.health, 40);
    EXPECT_EQ(s.magicdust, 29);
    EXPECT_EQ(s.items[regain], 0);
}

// When an item counts as useful: the fight asks that any figure it restores is short, the game
// menu that every one is; none left is never useful.
TEST(Items, UsefulOnlyWhenShortOfAMaximum) {
    struct row {
        int position;
        bool health_short, magic_short;
        int32 num;
        bool any, every;
    };
    const row rows[] = {
        {potion, true, false, 1, true, true},       {potion, false, true, 1, false, false},
        {potion, true, true, 0, false, false},      {magic_dust, false, true, 1, true, true},
        {magic_dust, true, false, 1, false, false}, {regain, true, true, 1, true, true},
        {regain, true, false, 1, true, false},      {regain, false, true, 1, true, false},
        {regain, false, false, 1, false, false},    {regain, true, true, 0, false, false},
    };
    for (const row &r : rows) {
        stats_rec s = newhero();
        s.health = maxhealth(s) - (r.health_short ? 1 : 0);
        s.magicdust = maxmagic(s) - (r.magic_short ? 1 : 0);
        s.items[r.position] = r.num;
        SCOPED_TRACE(testing::Message() << "item " << r.position << " health short "
                                        << r.health_short << " magic short " << r.magic_short);
        EXPECT_EQ(itemuseful(s, r.position, shortfall::any), r.any);
        EXPECT_EQ(itemuseful(s, r.position, shortfall::every), r.every);
    }
}

TEST(Stats, DerivedFiguresAddWeaponAndShield) {
    stats_rec s = newhero();
    s.weapon = {.power = 7, .armor = 2, .magic = 1};
    s.shield = {.power = 3, .armor = 4, .magic = 5};
    EXPECT_EQ(attackstrength(s), 50);
    EXPECT_EQ(maxhealth(s), 41);
    EXPECT_EQ(maxmagic(s), 31);
}

TEST(Stats, WholeRecordComparison) {
    stats_rec s = newhero();
    stats_rec copy = s;
    EXPECT_EQ(s, copy);
    copy.magic[5].damagex = 1;
    EXPECT_NE(s, copy) << "spell slots compare field by field";
    copy = s;
    copy.wins[won::stalagmite] = 1;
    EXPECT_NE(s, copy);
    copy = s;
    copy.name[2] = 'x';
    EXPECT_NE(s, copy);
    copy = s;
    copy.items[potion] = 5;
    EXPECT_NE(s, copy) << "the items are part of the record";
}

TEST(Text, PaddingAndTrimming) {
    EXPECT_EQ(view(padded<5>("ab")), "ab   ");
    EXPECT_EQ(view(padded<3>("abcdef")), "abc");
    EXPECT_EQ(trimmed(padded<6>("a b")), "a b");
    EXPECT_EQ(trimmed(padded<4>("")), "");
}

} // namespace
