// The game menu and its views: exact pages, item use and redraws.
#include "core/gamemenu.hpp"

#include "core/console.hpp"
#include "town_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace town_test;

// The whole menu page for the hero `s`, ending at the prompt.
lines menupage(const stats_rec &s, const std::string &money) {
    std::string sheet = pad(49);
    return {"",
            "",
            "",
            "",
            std::string(trimmed(s.name)),
            sheet + "SCORE   : " + std::to_string(s.points),
            sheet + "HEALTH  : " + std::to_string(s.health) + "/" + std::to_string(maxhealth(s)),
            sheet + "MAGIC   : " + std::to_string(s.magicdust) + "/" + std::to_string(maxmagic(s)),
            sheet + "POWER   : " + std::to_string(attackstrength(s)),
            sheet + "MONEY   : $" + money,
            "",
            "",
            "",
            "    1) See Map",
            "",
            "    2) View/Use Item",
            "",
            "    3) View Weapon & Sheild Stats",
            "",
            "    4) View Magic Spells",
            "",
            "",
            "    0) EXIT MENU",
            "",
            "",
            "",
            "CHOICE  : "};
}

TEST(GameMenu, PrintsTheStatusSheetAndOptions) {
    stats_rec s = newhero();
    s.points = 57;
    s.health = 12;
    s.weapon.power = 15;
    s.weapon.armor = 6;
    s.shield.magic = 2;
    s.money = -250;
    stats_rec before = s;
    bool used = true;
    lines page = run("0", [&] { used = showmenu(s); });
    EXPECT_FALSE(used);

    lines expected = menupage(s, "-250");
    EXPECT_EQ(expected[6], pad(49) + "HEALTH  : 12/41") << "maximum health adds the weapon";
    EXPECT_EQ(expected[7], pad(49) + "MAGIC   : 25/27");
    EXPECT_EQ(expected[8], pad(49) + "POWER   : 55");
    EXPECT_EQ(page, expected);
    EXPECT_EQ(s, before) << "looking at the menu changes nothing";
}

TEST(GameMenu, UnknownKeysRedrawAndZeroLeaves) {
    stats_rec s = newhero();
    lines page = run("x9 0", [&] { showmenu(s); });
    lines once = menupage(s, "100");
    lines expected;
    for (int i = 0; i < 4; ++i) { // the first drawing and three redraws, joined at the prompt
        if (expected.empty()) {
            expected = once;
        } else {
            expected.back() += once.front();
            expected.insert(expected.end(), once.begin() + 1, once.end());
        }
    }
    EXPECT_EQ(page, expected);
}

TEST(GameMenu, UsingAPotionChangesTheSheetShownAfterwards) {
    stats_rec s = newhero();
    s.health = 3;
    bool used = false;
    lines page = run("210"
                     "0",
                     [&] { used = showmenu(s); });
    EXPECT_TRUE(used) << "the fight counts the visit as the hero's turn";
    EXPECT_EQ(s.health, 33);
    EXPECT_EQ(s.items[potion], 0);
    // The last sheet, drawn after the item view closed, shows the new health.
    auto last = std::find(page.rbegin(), page.rend(), pad(49) + "HEALTH  : 33/35");
    EXPECT_NE(last, page.rend());
    EXPECT_EQ(page.back(), "CHOICE  : ");
}

TEST(GameMenu, EachKeyOpensItsView) {
    stats_rec s = newhero();
    auto contains = [](const lines &page, const std::string &text) {
        for (const std::string &l : page)
            if (l.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(contains(run("1x0", [&] { showmenu(s); }), "? MARCH ?"));
    EXPECT_TRUE(contains(run("20"
                             "0",
                             [&] { showmenu(s); }),
                         "CHOOSE AN ITEM TO USE"));
    EXPECT_TRUE(contains(run("3x0", [&] { showmenu(s); }), "     SHIELD  : Battered Shield"));
    EXPECT_TRUE(contains(run("4x0", [&] { showmenu(s); }), "     Spell Name: Heal"));
    // A view that waits for any key returns to the menu: the script's last 0 leaves it.
    EXPECT_EQ(run("1x0", [&] { showmenu(s); }).back(), "CHOICE  : ");
}

TEST(ItemView, PrintsTheListExactly) {
    stats_rec s = newhero();
    s.health = 20;
    s.items[regain] = 12;
    lines page = run("0", [&] { viewitems(s); });
    lines expected = {
        "",
        "",
        "",
        pad(48) + "HEALTH 20/35",
        pad(48) + "MAGIC  25/25",
        "",
        "",
        "CHOOSE AN ITEM TO USE",
        "",
        "      Item         #     Description",
        std::string(63, '-'),
        "   1) potion       1     heals up to 30 hit points     ",
        "",
        "   2) magic dust   0     regain up to 30 magic points  ",
        "",
        "   3) regain       12     regain all health             ",
        "",
        "",
        "   0) Exit",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
    };
    EXPECT_EQ(page, expected);
}

// One use from the item view: the hero's state before, the key, the state after.
struct use_case {
    const char *what;
    int32 health, magicdust;
    int potions, dusts, regains;
    char key;
    int32 health_after, magicdust_after;
    int left_after; // of the item on that key
    friend void PrintTo(const use_case &c, std::ostream *os) { *os << c.what; }
};

class ItemUse : public testing::TestWithParam<use_case> {};

TEST_P(ItemUse, FromTheMenu) {
    const use_case &c = GetParam();
    stats_rec s = newhero(); // maximum health 35, maximum magic 25
    s.health = c.health;
    s.magicdust = c.magicdust;
    s.items[potion] = c.potions;
    s.items[magic_dust] = c.dusts;
    s.items[regain] = c.regains;
    stats_rec before = s;
    bool used = false;
    lines page = run(std::string{c.key, '0'}, [&] { used = viewitems(s); });
    EXPECT_EQ(used, s.items[c.key - '0'] != before.items[c.key - '0']);
    EXPECT_EQ(s.health, c.health_after);
    EXPECT_EQ(s.magicdust, c.magicdust_after);
    EXPECT_EQ(s.items[c.key - '0'], c.left_after);
    if (c.health_after == c.health && c.magicdust_after == c.magicdust) {
        EXPECT_EQ(s, before) << "a refused use changes nothing";
    }
    // A use or a refusal draws the list again, and nothing else.
    EXPECT_EQ(page.size(), 2 * 27 - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ItemUse,
    testing::Values(use_case{"potion heals 30", 3, 0, 1, 0, 0, '1', 33, 0, 0},
                    use_case{"no potion left", 3, 0, 0, 0, 0, '1', 3, 0, 0},
                    use_case{"potion at full health kept", 35, 0, 1, 0, 0, '1', 35, 0, 1},
                    use_case{"potion 5 below the maximum", 30, 0, 2, 0, 0, '1', 35, 0, 1},
                    use_case{"potion above the maximum", 50, 0, 1, 0, 0, '1', 35, 0, 0},
                    use_case{"dust restores 30 capped", 35, 1, 0, 1, 0, '2', 35, 25, 0},
                    use_case{"dust at full magic kept", 1, 25, 0, 1, 0, '2', 1, 25, 1},
                    use_case{"regain fills both", 1, 1, 0, 0, 1, '3', 35, 25, 0},
                    use_case{"regain refused at full health", 35, 1, 0, 0, 1, '3', 35, 1, 1},
                    use_case{"regain refused at full magic", 1, 25, 0, 0, 1, '3', 1, 25, 1},
                    use_case{"no regain left", 1, 1, 0, 0, 0, '3', 1, 1, 0}),
    bywhat{});

TEST(ItemView, UsesSeveralItemsInOneVisit) {
    stats_rec s = newhero();
    s.health = 1;
    s.items[potion] = 3;
    run("1x10", [&] { viewitems(s); });
    EXPECT_EQ(s.health, 35);
    EXPECT_EQ(s.items[potion], 1);
}

TEST(WeaponView, PrintsBothPiecesExactly) {
    stats_rec s = newhero();
    s.weapon = {.power = 15, .armor = 6, .magic = 4, .name = padded<20>("Sharp Blade")};
    s.shield.armor = 3;
    lines page = run("x", [&] { viewweapon(s); });
    std::string indent = pad(23);
    lines expected = {
        "",
        "",
        "",
        "",
        "Your weapon and shield increase your power, armor, and magic.",
        "",
        "",
        "",
        "",
        "     WEAPON  : Sharp Blade         ",
        "",
        indent + "Power  : +15",
        indent + "Armor  : +6",
        indent + "Magic  : +4",
        "",
        "",
        "     SHIELD  : Battered Shield     ",
        "",
        indent + "Power  : +0",
        indent + "Armor  : +3",
        indent + "Magic  : +0",
        "",
        "",
        "",
        "",
        "",
        "   PRESS ENTER",
    };
    EXPECT_EQ(page, expected);
}

TEST(MagicView, ListsTheStartingSpells) {
    stats_rec s = newhero();
    s.magicdust = 7;
    lines page = run("x", [&] { viewmagic(s); });
    lines expected(30, "");
    lines rest = {
        "Magic spells produce guaranteed to hit damage...",
        "as long as you have enough mana to cast them.",
        "",
        "",
        "     Available Mana: 7",
        "",
        "     Spell Name: Heal        Spell Description: Adds 25% to current health    ",
        "     Spell Cost: 10 Mana     Spell Damage:  0",
        "",
        "     Spell Name: Bolt        Spell Description: Short burst of energy         ",
        "     Spell Cost:  8 Mana     Spell Damage: 15",
        "",
        "",
        "",
        "    PRESS ENTER",
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(page, expected);
}

TEST(MagicView, ListsUpToTheFirstEmptySlot) {
    stats_rec s = newhero();
    s.magic[3] = {padded<11>("Firewall"), padded<30>("Wall of Fire...daaaa"), 17, 3};
    s.magic[5] = {padded<11>("Lost"), padded<30>("after a gap"), 5, 5}; // never shown
    lines page = run("x", [&] { viewmagic(s); });
    int names = 0;
    for (const std::string &l : page)
        if (l.starts_with("     Spell Name: ")) ++names;
    EXPECT_EQ(names, 3);
    auto third =
        std::find(page.begin(), page.end(),
                  "     Spell Name: Firewall    Spell Description: Wall of Fire...daaaa" + pad(10));
    ASSERT_NE(third, page.end());
    EXPECT_EQ(*(third + 1), "     Spell Cost: 17 Mana     Spell Damage:  3");
}

TEST(MapView, DrawsTheFixedWorld) {
    lines page = run("x", [] { viewmap(); });
    ASSERT_EQ(page.size(), 2u + 20 + 2 + 1);
    EXPECT_EQ(page[2], pad(27) + "?????????");
    EXPECT_EQ(page[3], pad(27) + "? MARCH ?");
    EXPECT_EQ(page.back(), pad(61) + "PRESS ENTER");

    // The forest: rows of 9, 20, 20, 20 and 19 trees (code 5) left of the town.
    std::vector<int> forest;
    for (const std::string &l : page) {
        int trees = 0;
        for (std::size_t at = 0; (at = l.find("\u2663", at)) != std::string::npos; at += 3) ++trees;
        if (trees) forest.push_back(trees);
    }
    EXPECT_EQ(forest, (std::vector<int>{9, 20, 20, 20, 19}));

    std::string map;
    for (int i = 2; i < 22; ++i) map += page[i] + "\n";
    for (const char *part :
         {"TOBR", "| - - |", "|__O__|", "/~~~~~~\\", "/___II___\\", "VEX", "_____ _____",
          "| X      C  |", "VAS", "====D", "|_M___ __H__|", "|^^^^^|", "GRUMB"})
        EXPECT_NE(map.find(part), std::string::npos) << part;
    for (int i = 2; i < 22; ++i) {
        std::size_t cells = 0;
        for (unsigned char c : page[i]) cells += (c & 0xC0) != 0x80;
        EXPECT_LE(cells, 80u) << "row " << i - 1;
    }
}

} // namespace
