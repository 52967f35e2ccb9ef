// The fight engine: the screen, the message lines, the damage rules, spells, items, escape,
// revival and the turn loop.
#include "combat/fight.hpp"
#include "core/console.hpp"
#include "draws.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr creature_picture test_picture = decode<10, 45>({
    R"(    /\ /\                                    )",
    R"(   (o . o)                                   )",
    R"(    > ^ <                                    )",
    R"(   /|   |\                                   )",
    R"(  (_|   |_)                                  )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(  ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~  )",
});
constexpr creature_look test_look{.picture = &test_picture};

// A hero with maximum health 40 (35 + 5 from the weapon) and maximum magic 29 (25 + 4).
stats_rec hero_oru() {
    stats_rec s = newhero();
    s.weapon.armor = 5;
    s.shield.magic = 4;
    s.health = 35;
    return s;
}

creature_rec bats() {
    return {.name = padded<15>("BATS"),
            .power = 3,
            .health = 30,
            .total_health = 30,
            .points = 16,
            .money = 8,
            .runaway = 2};
}

// The fight screen as the console shows it, one string per line.
std::vector<std::string> screenof(const stats_rec &s, const creature_rec &c,
                                  const fight_state &state = {}) {
    usescript("");
    drawfight(s, c, test_picture, state);
    std::vector<std::string> lines = splitlines(transcript());
    lines.pop_back(); // the empty rest after the last line end
    return lines;
}

// The message area's three lines, for the hero of the other tests.
std::vector<std::string> fightmessages(const creature_rec &c, const fight_state &state) {
    const std::vector<std::string> lines = screenof(hero_oru(), c, state);
    return {lines.begin() + 17, lines.begin() + 20};
}

creature_rec named(std::string_view name) {
    creature_rec c = bats();
    c.name = padded<15>(name);
    return c;
}

// Runs a fight until the keys run out; true when the fight ended by itself.
bool fightuntilclosed(stats_rec &s, creature_rec &c, std::string_view keys, int32 threshold = 1,
                      bool *run = nullptr) {
    usescript(keys);
    try {
        bool r = fight(s, c, test_look, threshold);
        if (run) *run = r;
        return true;
    } catch (const input_closed &) {
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// The screen
// ---------------------------------------------------------------------------------------------

TEST(FightScreen, TheFirstScreenLineByLine) {
    stats_rec s = hero_oru();
    const std::vector<std::string> lines = screenof(s, bats());
    ASSERT_EQ(lines.size(), 24u);
    const std::array<std::string_view, 24> expected = {
        R"(------------------------------------------------------------------------------)",
        R"(|  BATS                                       |  Oru    HEALTH : 35/40       |)",
        R"(|                                             |         MAGIC  : 25/29       |)",
        R"(|    /\ /\                                    |  1) Attack                   |)",
        R"(|   (o . o)                                   |                              |)",
        R"(|    > ^ <                                    |  2) Use Magic                |)",
        R"(|   /|   |\                                   |                              |)",
        R"(|  (_|   |_)                                  |  3) Use Item                 |)",
        R"(|                                             |                              |)",
        R"(|                                             |  4) Attempt to Run           |)",
        R"(|                                             |                              |)",
        R"(|                                             |                              |)",
        R"(|  ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~  |                              |)",
        R"(|                                             |                              |)",
        R"(|                         HEALTH : 30/30      |                              |)",
        R"(----------------------------------------------|  0) View Menu                |)",
        R"(|                                             |                              |)",
        R"(|                                             |                              |)",
        R"(|                                             |                              |)",
        R"(|                                             |  Command :                   |)",
        R"(|                                             |                              |)",
        R"(|                                             |                              |)",
        R"(|                                             |                              |)",
        R"(------------------------------------------------------------------------------)",
    };
    for (int i = 0; i < 24; ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;

    // The fight loop prints exactly these lines before it reads the first key.
    usescript("");
    creature_rec c = bats();
    EXPECT_THROW(fight(s, c, test_look), input_closed);
    std::vector<std::string> printed = splitlines(transcript());
    ASSERT_EQ(printed.size(), 25u);
    EXPECT_EQ(printed[24], "");
    for (int i = 0; i < 24; ++i) EXPECT_EQ(printed[i], expected[i]) << "line " << i + 1;
}

TEST(FightScreen, NumbersOfOneToFourDigitsKeepTheClosingBar) {
    struct row {
        int32 health, maxhealth, magic, maxmagic, cre_health, cre_total;
    };
    const row rows[] = {
        {0, 1, 0, 1, 1, 1},
        {7, 60, 5, 40, 30, 300},
        {120, 120, 99, 100, 999, 1000},
        {1234, 9999, 999, 999, 5000, 9999},
        {35, 1200, 0, 250, 3, 3000},
    };
    for (const row &r : rows) {
        stats_rec s = hero_oru();
        s.weapon = {};
        s.shield = {};
        s.health = r.health;
        s.total_health = r.maxhealth;
        s.magicdust = r.magic;
        s.total_magicdust = r.maxmagic;
        creature_rec c = bats();
        c.health = r.cre_health;
        c.total_health = r.cre_total;
        const auto lines = screenof(s, c);
        for (const std::string &l : lines) {
            EXPECT_EQ(l.size(), 78u) << l;
            EXPECT_TRUE(l.back() == '|' || l.back() == '-') << l;
        }
        EXPECT_EQ(lines[1].find("HEALTH : " + std::to_string(r.health) + "/" +
                                std::to_string(r.maxhealth)),
                  56u);
        EXPECT_EQ(lines[14].substr(35, std::to_string(r.cre_health).size()),
                  std::to_string(r.cre_health));
    }
}

TEST(FightScreen, TheWoundedPictureFromItsHealthDownward) {
    constexpr creature_picture hurt = decode<10, 45>({
        "                                             ",
        "  X                                          ",
        "                                             ",
        "                                             ",
        "                                             ",
        "                                             ",
        "                                             ",
        "                                             ",
        "                                             ",
        "                                             ",
    });
    const creature_look look{.picture = &test_picture, .hurt = &hurt, .hurt_at = 50};
    stats_rec s = hero_oru();
    for (int32 health : {51, 50}) {
        creature_rec c = bats();
        c.health = health;
        c.total_health = 160;
        usescript("");
        EXPECT_THROW(fight(s, c, look), input_closed);
        const std::vector<std::string> lines = splitlines(transcript());
        EXPECT_EQ(lines[4].substr(0, 4), health == 51 ? "|   " : "|  X") << health;
    }
}

// ---------------------------------------------------------------------------------------------
// The message area
// ---------------------------------------------------------------------------------------------

TEST(FightMessages, LinesByState) {
    constexpr std::string_view box =
        "|                                             |                              |";
    constexpr std::string_view command =
        "|                                             |  Command :                   |";
    struct row {
        std::string_view name;
        fight_state state;
        std::string_view top, bottom;
    };
    const row rows[] = {
        {"BATS", {.turnover = true, .d_2_u = 2}, box, command},
        {"BATS",
         {.ch = '1', .commanded = true, .turnover = true, .d_2_it = 7, .d_2_u = 2},
         "|  You hit BATS for 7 damage.                 |                              |",
         "|  BATS hit you for 2 damage.                 |  Command :                   |"},
        {"??????????????",
         {.ch = '1', .commanded = true, .turnover = true, .d_2_it = 12, .d_2_u = 19},
         "|  You hit ?????????????? for 12 damage.      |                              |",
         "|  ?????????????? hit you for 19 damage.      |  Command :                   |"},
        {"SHARK",
         {.ch = '1', .commanded = true, .turnover = true, .d_2_it = 345, .d_2_u = 0},
         "|  You hit SHARK for 345 damage.              |                              |",
         "|  SHARK missed!!!                            |  Command :                   |"},
        {"CRAB",
         {.ch = '2', .commanded = true, .turnover = true, .d_2_it = 45, .d_2_u = 120},
         "|  Spell Hit CRAB for 45 damage.              |                              |",
         "|  CRAB hit you for 120 damage.               |  Command :                   |"},
        {"Sorceress",
         {.ch = '2', .commanded = true, .turnover = true, .d_2_it = 6},
         "|  Spell Hit Sorceress for 6 damage.          |                              |",
         "|  Sorceress missed!!!                        |  Command :                   |"},
        {"BATS",
         {.ch = '1', .commanded = true, .turnover = true, .d_2_it = 0},
         "|  You missed!!!                              |                              |",
         "|  BATS missed!!!                             |  Command :                   |"},
        {"BATS",
         {.ch = '1', .commanded = true, .turnover = true, .d_2_it = 9, .die = true},
         "|  You were revived                           |                              |",
         "|  BATS missed!!!                             |  Command :                   |"},
        {"BATS",
         {.ch = '4', .commanded = true, .turnover = true, .d_2_it = 9, .d_2_u = 1},
         "|  You couldn't escape                        |                              |",
         "|  BATS hit you for 1 damage.                 |  Command :                   |"},
        {"BATS",
         {.ch = '3', .commanded = true, .turnover = false, .d_2_it = 9, .none_left = true},
         "|  You do not have any left                   |                              |",
         command},
        {"BATS",
         {.ch = '3', .commanded = true, .turnover = false},
         "|  You didn't need an item                    |                              |",
         command},
        {"BATS",
         {.ch = '3', .commanded = true, .turnover = true, .d_2_it = 9},
         box,
         "|  BATS missed!!!                             |  Command :                   |"},
        {"BATS", {.ch = '0', .commanded = true, .turnover = false, .d_2_it = 9}, box, command},
        {"BATS", {.ch = '2', .commanded = true, .turnover = false, .d_2_it = 0}, box, command},
        {"BATS", {.ch = 'x', .commanded = true, .turnover = false}, box, command},
    };
    for (const row &r : rows) {
        const auto lines = fightmessages(named(r.name), r.state);
        EXPECT_EQ(lines[0], r.top) << r.name << " key " << r.state.ch;
        EXPECT_EQ(lines[1], box);
        EXPECT_EQ(lines[2], r.bottom) << r.name << " key " << r.state.ch;
    }
}

TEST(FightMessages, FourDigitNumbersLengthenTheLine) {
    const auto lines = fightmessages(
        named("SHARK"),
        {.ch = '1', .commanded = true, .turnover = true, .d_2_it = 1234, .d_2_u = 1000});
    EXPECT_EQ(lines[0],
              "|  You hit SHARK for 1234 damage.              |                              |");
    EXPECT_EQ(lines[2],
              "|  SHARK hit you for 1000 damage.              |  Command :                   |");
}

// ---------------------------------------------------------------------------------------------
// The rules behind the draws
// ---------------------------------------------------------------------------------------------

TEST(FightRules, TheHerosAttack) {
    struct row {
        int32 strength, r, damage;
    };
    const row rows[] = {
        {3, 20, 0},  // too weak to do damage: shown as a miss
        {40, 96, 0}, // multiple of 8: a miss
        {40, 8, 0},  {40, 100, 40}, {40, 99, 39}, {40, 1, 0}, {57, 50, 28}, {1000, 7, 70},
    };
    for (const row &r : rows)
        EXPECT_EQ(attackdamage(r.strength, r.r), r.damage) << r.strength << " " << r.r;
}

TEST(FightRules, TheBoughtSpells) {
    struct row {
        int32 strength, damagex, bonus, r, hit;
    };
    const row rows[] = {
        {40, 5, 30, 8, 55}, {40, 2, 0, 16, 10},   {40, 3, 0, 24, 15}, {40, 5, 30, 50, 130},
        {40, 2, 0, 99, 78}, {40, 3, 0, 100, 120}, {3, 5, 30, 1, 30},
    };
    for (const row &r : rows)
        EXPECT_EQ(spelldamage(r.strength, {.damagex = r.damagex, .bonus = r.bonus}, r.r), r.hit)
            << r.damagex << " " << r.r;
}

TEST(FightRules, TheCreaturesAttackAndEscape) {
    struct row {
        int32 power, e, damage;
    };
    const row rows[] = {
        {50, 1000, 0}, {50, 999, 49}, {50, 104, 0}, {50, 101, 0}, {3, 199, 2}, {200, 567, 134},
    };
    for (const row &r : rows) EXPECT_EQ(creaturedamage(r.power, r.e), r.damage) << r.e;

    EXPECT_TRUE(escapes(50, 2));
    EXPECT_FALSE(escapes(51, 2));
    EXPECT_TRUE(escapes(99, 3));
    EXPECT_TRUE(escapes(37, 1));
    for (int32 r = 1; r <= 100; ++r) EXPECT_FALSE(escapes(r, 101));
}

TEST(FightRules, APlanCannotAskForADrawOutOfRange) {
    EXPECT_THROW(planned_draws({fightdraw(0)}), std::logic_error);
    EXPECT_EQ(game_clock, realclock);
}

TEST(FightRules, ACreaturesHitStopsTheHeroAtZero) {
    stats_rec s = hero_oru();
    s.health = 7;
    creature_rec c = bats();
    c.power = 50;
    {
        planned_draws d{enemydraw(123)}; // 23 % of 50
        EXPECT_EQ(cre_attack(c, s), 11);
    }
    EXPECT_EQ(s.health, 0);
    EXPECT_EQ(s.deaths, 1);
    s.health = 12;
    {
        planned_draws d{enemydraw(123)};
        EXPECT_EQ(cre_attack(c, s), 11);
    }
    EXPECT_EQ(s.health, 1);
    EXPECT_EQ(s.deaths, 1);
}

// ---------------------------------------------------------------------------------------------
// Spells and items
// ---------------------------------------------------------------------------------------------

TEST(Spells, HealIsCappedAtTheMaximum) {
    stats_rec s = hero_oru();
    s.total_health = 55; // maximum 60 with the weapon
    s.health = 50;
    s.magicdust = 20;
    usescript("1");
    const spell_result r = usemagic(s);
    EXPECT_TRUE(r.turn);
    EXPECT_EQ(r.hit, 0);
    EXPECT_EQ(s.health, 60);
    EXPECT_EQ(s.magicdust, 10);
}

TEST(Spells, BoltAndTheBoughtSpellsSpendTheirCost) {
    stats_rec s = hero_oru();
    s.magicdust = 60;
    s.magic[3] = {padded<11>("Fire"), padded<30>("burns"), 40, 5, 30};
    usescript("2");
    EXPECT_EQ(usemagic(s).hit, 15);
    EXPECT_EQ(s.magicdust, 52);

    planned_draws d{fightdraw(8)};
    usescript("3");
    const spell_result r = usemagic(s);
    EXPECT_TRUE(r.turn);
    EXPECT_EQ(r.hit, 55) << "a missed roll still does 5 x 5 + 30";
    EXPECT_EQ(s.magicdust, 12);
}

TEST(Spells, UnknownKeysRedrawAndNoManaCostsNothing) {
    stats_rec s = hero_oru();
    s.magicdust = 9;
    const stats_rec before = s;
    usescript("93x1\n");
    const spell_result r = usemagic(s);
    EXPECT_FALSE(r.turn);
    EXPECT_EQ(r.hit, 0);
    EXPECT_EQ(s, before);
    const std::string out = transcript();
    EXPECT_EQ(occurrences(out, "PICK A SPELL TO CAST"), 4) << "9, 3 (no third spell) and x redraw";
    EXPECT_EQ(occurrences(out, "You do not have enough mana for this spell, make a new choice"), 1);
    EXPECT_EQ(out.substr(0, 8 + 21 + 2 + 27 + 62),
              std::string(8, '\n') + "PICK A SPELL TO CAST\n\n\n   Spell       Description\n" +
                  std::string(60, '-') + "\n\n");
    EXPECT_NE(out.find("1. Heal        Adds 25% to current health    \n\n"
                       "2. Bolt        Short burst of energy         \n\n0. EXIT"),
              std::string::npos);

    usescript("0");
    EXPECT_FALSE(usemagic(s).turn);
    EXPECT_EQ(s, before);
}

TEST(Items, RefusalsAndUses) {
    struct row {
        std::string_view what;
        int32 health, magic, potions, dusts, regains;
        char key;
        bool turnover, none_left;
        int32 health_after, magic_after;
    };
    // Maximum health 40, maximum magic 29.
    const row rows[] = {
        {"potion", 20, 10, 1, 0, 0, '1', true, false, 40, 10},
        {"potion at full health", 40, 10, 1, 0, 0, '1', false, false, 40, 10},
        {"potion above the maximum", 45, 10, 1, 0, 0, '1', true, false, 40, 10},
        {"no potion", 20, 10, 0, 0, 0, '1', false, true, 20, 10},
        {"magic dust", 20, 10, 0, 2, 0, '2', true, false, 20, 29},
        {"magic dust not needed", 20, 29, 0, 2, 0, '2', false, false, 20, 29},
        {"regain with full magic", 20, 29, 0, 0, 1, '3', true, false, 40, 29},
        {"regain not needed", 40, 29, 0, 0, 1, '3', false, false, 40, 29},
        {"no regain", 10, 10, 0, 0, 0, '3', false, true, 10, 10},
        {"leave with 0", 10, 10, 1, 1, 1, '0', false, false, 10, 10},
        {"leave with 4", 10, 10, 1, 1, 1, '4', false, false, 10, 10},
    };
    for (const row &r : rows) {
        stats_rec s = hero_oru();
        s.health = r.health;
        s.magicdust = r.magic;
        s.items[potion] = r.potions;
        s.items[magic_dust] = r.dusts;
        s.items[regain] = r.regains;
        usescript(std::string("7x") + r.key);
        const item_result got = whichitem(s);
        EXPECT_EQ(got.turnover, r.turnover) << r.what;
        EXPECT_EQ(got.none_left, r.none_left) << r.what;
        EXPECT_EQ(s.health, r.health_after) << r.what;
        EXPECT_EQ(s.magicdust, r.magic_after) << r.what;
        const int used = got.turnover ? 1 : 0;
        const int position = r.key - '0';
        const std::array<int32, 3> counts = {r.potions, r.dusts, r.regains};
        if (position >= 1 && position <= 3) {
            EXPECT_EQ(s.items[position], counts[position - 1] - used) << r.what;
        }
        EXPECT_EQ(occurrences(transcript(), "CHOOSE AN ITEM TO USE"), 3) << "7 and x redraw";
    }
}

TEST(Items, ThePage) {
    stats_rec s = hero_oru();
    usescript("0");
    whichitem(s);
    EXPECT_EQ(transcript(), "\n\n\n\n\nCHOOSE AN ITEM TO USE\n\n"
                            "      Item         #     Description\n"
                            "---------------------------------------------------------------\n"
                            "   1) potion       1     heals up to 30 hit points     \n\n"
                            "   2) magic dust   0     regain up to 30 magic points  \n\n"
                            "   3) regain       0     regain all health             \n\n\n"
                            "   0) Exit\n\n\n\n\n\n\n\n");
}

// ---------------------------------------------------------------------------------------------
// The turn loop
// ---------------------------------------------------------------------------------------------

TEST(FightLoop, AWeakCreatureFallsAtTheFirstStrongEnoughAttack) {
    stats_rec s = hero_oru();
    creature_rec c = bats();
    c.health = 3;
    c.total_health = 3;
    s.power = 10;
    s.weapon.power = 0;
    s.shield.power = 0;
    planned_draws d{fightdraw(20), enemydraw(150),
                    fightdraw(30)}; // 2 damage, the creature hits, then 3
    bool run = true;
    EXPECT_TRUE(fightuntilclosed(s, c, "11", 1, &run));
    EXPECT_FALSE(run);
    EXPECT_EQ(c.health, -2);
    EXPECT_TRUE(d.used_all());
    const std::string out = transcript();
    EXPECT_EQ(occurrences(out, "|  1) Attack"), 2) << "no screen after the last attack";
    EXPECT_NE(out.find("|  You hit BATS for 2 damage."), std::string::npos);
}

TEST(FightLoop, RevivalAndItsTurn) {
    stats_rec s = hero_oru();
    s.health = 5;
    creature_rec c = bats();
    c.power = 100;
    // Attack for 20, the creature hits for 50; the revived hero's attack is lost and the
    // creature misses (a multiple of 8); then a hit for 20 again.
    planned_draws d{fightdraw(50), enemydraw(150), fightdraw(50), enemydraw(800)};
    EXPECT_FALSE(fightuntilclosed(s, c, "11"));
    EXPECT_TRUE(d.used_all());
    EXPECT_EQ(c.health, 10) << "only the first attack counts";
    EXPECT_EQ(s.health, 40) << "revived at the maximum, then missed";
    EXPECT_EQ(s.deaths, 1);

    const std::vector<std::string> lines = splitlines(transcript());
    ASSERT_EQ(lines.size(), 3 * 24 + 1);
    EXPECT_EQ(lines[24 + 1].substr(46), "|  Oru    HEALTH : 0/40        |") << "shown at 0";
    EXPECT_EQ(lines[24 + 19], "|  BATS hit you for 50 damage.                |  Command :"
                              "                   |");
    EXPECT_EQ(lines[48 + 1].substr(46), "|  Oru    HEALTH : 40/40       |");
    EXPECT_EQ(lines[48 + 17].substr(0, 19), "|  You were revived");
    EXPECT_EQ(lines[48 + 14].substr(0, 41), "|                         HEALTH : 10/30 ");
}

TEST(FightLoop, EscapeNeverSucceedsFromOneHundredAndOne) {
    stats_rec s = hero_oru();
    creature_rec c = bats();
    c.runaway = 101;
    planned_draws d{fightdraw(100), enemydraw(800), fightdraw(1),
                    enemydraw(800), fightdraw(50),  enemydraw(800)};
    EXPECT_FALSE(fightuntilclosed(s, c, "444"));
    EXPECT_TRUE(d.used_all()) << "every attempt costs a creature attack";
    const std::string out = transcript();
    EXPECT_EQ(occurrences(out, "|  You couldn't escape"), 3);
    EXPECT_EQ(occurrences(out, "|  BATS missed!!!"), 3);
}

TEST(FightLoop, ASuccessfulEscapeEndsTheFightWithoutACreatureAttack) {
    stats_rec s = hero_oru();
    creature_rec c = bats();
    planned_draws d{fightdraw(51), enemydraw(800), fightdraw(50)};
    bool run = false;
    EXPECT_TRUE(fightuntilclosed(s, c, "44", 1, &run));
    EXPECT_TRUE(run);
    EXPECT_TRUE(d.used_all());
    EXPECT_EQ(c.health, 30);
}

TEST(FightLoop, KeysThatDoNothingAreFree) {
    stats_rec s = hero_oru();
    s.magicdust = 0;
    s.items[potion] = 0;
    const stats_rec before = s;
    creature_rec c = bats();
    planned_draws d{}; // no draw at all
    // An unknown key, a spell menu left with 0, a spell without mana, an item menu left with 0,
    // an item refused: six screens, no creature attack.
    EXPECT_FALSE(fightuntilclosed(s, c,
                                  "x20"
                                  "21\n"
                                  "30"
                                  "31"));
    EXPECT_EQ(s, before);
    const std::string out = transcript();
    EXPECT_EQ(occurrences(out, "|  1) Attack"), 6);
    EXPECT_EQ(occurrences(out, "hit you"), 0);
    EXPECT_EQ(occurrences(out, "|  You do not have any left"), 1);
    EXPECT_EQ(occurrences(out, "|  You didn't need an item "), 1);
}

TEST(FightLoop, AMenuVisitThatChangesNothingIsFree) {
    stats_rec s = hero_oru();
    const stats_rec before = s;
    creature_rec c = bats();
    planned_draws d{}; // the creature never strikes
    // Open the menu, look at the map, leave the menu: then a fresh screen and a new key.
    EXPECT_FALSE(fightuntilclosed(s, c, "01x0"));
    EXPECT_EQ(s, before);
    const std::string out = transcript();
    EXPECT_EQ(occurrences(out, "|  1) Attack"), 2);
    EXPECT_EQ(occurrences(out, "    1) See Map"), 2);
}

TEST(FightLoop, AMenuVisitThatDrinksAPotionCostsTheTurn) {
    stats_rec s = hero_oru();
    s.health = 20;
    creature_rec c = bats();
    planned_draws d{enemydraw(199)}; // 99 % of 3: 2 damage
    // Menu, items, drink the potion, leave the items, leave the menu.
    EXPECT_FALSE(fightuntilclosed(s, c, "02100"));
    EXPECT_TRUE(d.used_all());
    EXPECT_EQ(s.health, 38) << "healed to the maximum 40, then hit for 2";
    EXPECT_EQ(s.items[potion], 0);
    const std::vector<std::string> lines = splitlines(transcript());
    const std::string *screen = &lines[lines.size() - 25];
    EXPECT_EQ(screen[1].substr(46), "|  Oru    HEALTH : 38/40       |");
    // No key from 1 to 4 yet: the message area still waits for a command.
    EXPECT_EQ(screen[17],
              "|                                             |                              |");
    EXPECT_EQ(screen[19],
              "|                                             |  Command :                   |");
}

TEST(FightLoop, TheEndThresholdStopsAFightPartWay) {
    stats_rec s = hero_oru();
    s.power = 100;
    s.weapon.power = 0;
    s.shield.power = 0;
    creature_rec c = named("VEXMINAXUS");
    c.health = 305;
    c.total_health = 600;
    c.runaway = 101;
    {
        planned_draws d{fightdraw(4), enemydraw(800), fightdraw(55)}; // 4, then 55: from 301 to 246
        EXPECT_TRUE(fightuntilclosed(s, c, "11", 301));
        EXPECT_TRUE(d.used_all());
    }
    EXPECT_EQ(c.health, 246);
    c.health = 305;
    {
        planned_draws d{fightdraw(5)}; // to exactly 300: below 301, the fight ends at once
        EXPECT_TRUE(fightuntilclosed(s, c, "1", 301));
        EXPECT_TRUE(d.used_all());
    }
    EXPECT_EQ(c.health, 300);
}

// Long random key streams: every fight ends or runs out of keys, nothing goes below 0.
TEST(FightLoop, RandomKeyStreams) {
    stepping_clock clock(12345);
    std::uint32_t seed = 7;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    const std::string_view alphabet = "012345678901234\n x\x1b";
    int ended = 0;
    for (int round = 0; round < 60; ++round) {
        stats_rec s = hero_oru();
        s.magic[3] = {padded<11>("Fire"), padded<30>("burns"), 12, 2};
        s.items[potion] = static_cast<int32>(next() % 3);
        s.items[magic_dust] = static_cast<int32>(next() % 3);
        s.items[regain] = static_cast<int32>(next() % 2);
        creature_rec c = bats();
        c.power = static_cast<int32>(next() % 60);
        c.health = c.total_health = 1 + static_cast<int32>(next() % 400);
        c.runaway = 1 + static_cast<int32>(next() % 101);
        std::string keys;
        for (int k = 0; k < 400; ++k) keys += alphabet[next() % alphabet.size()];
        if (fightuntilclosed(s, c, keys)) ++ended;
        EXPECT_GE(s.health, 0);
        EXPECT_GE(s.magicdust, 0);
        for (int i = potion; i <= regain; ++i) EXPECT_GE(s.items[i], 0);
        const std::string out = transcript();
        EXPECT_EQ(out.find("HEALTH : -"), std::string::npos) << "never shown below 0";
        for (const std::string &l : splitlines(out)) {
            EXPECT_LE(columns(l), 80u) << l;
        }
    }
    EXPECT_GT(ended, 30) << "most fights end within 400 keys";
}

} // namespace
