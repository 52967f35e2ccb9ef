// The market: the screen, the rules of each sale, the register and the bounty.
#include "town/market.hpp"

#include "town_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

namespace {

using namespace town_test;

constexpr weapon_type sharp_blade = {15, 6, 4, padded<20>("Sharp Blade")};
constexpr weapon_type magic_blade = {42, 16, 42, padded<20>("Magic Blade")};
constexpr weapon_type warrior_blade = {80, 26, 45, padded<20>("Warrior Blade")};

// The market's picture lines, as a shelf shows them (poster full, register at `total`).
lines picture(const std::string &choice1, const std::string &choice2, const std::string &choice3,
              const std::string &exit, const std::string &total) {
    return {
        " ___________                                        ",
        "|           |      ________                         ",
        "|   WANTED  |    _/        \\_                       " + choice1,
        "|  Mad Eyes |   |  __    __  |                      ",
        "|    6'3\"   |   | (@_)  (_@) |                      " + choice2,
        "|           |   |     /\\     |                      ",
        "| !!REWARD!!|    \\   ____   /                       " + choice3,
        "|   $1,000  |     \\  \\__/  /                        ",
        "|___________|    __\\______/__          ___________  ",
        "               _/            \\_       |  _________| ",
        "               |__]        [__|       | ||$" + total + "|| " + exit,
        "               |  |        |  |       | ||_______|| ",
        "               |  |        |  |       |  o o o o  | ",
        "               |  |________|  |       |___________| ",
        "____________________________________________________",
    };
}

lines screen(const std::string &money, const lines &picture) {
    lines out = {"",
                 "",
                 "",
                 "",
                 "",
                 "",
                 "                WELCOME TO BRAM'S MARKET!!!         ",
                 pad(51) + "Oru $" + money};
    out.insert(out.end(), picture.begin(), picture.end());
    out.insert(out.end(), {"", "", "                              WHAT CAN I DO YA FOR?  :"});
    return out;
}

// The register's figure on each drawing of the screen, in order.
std::vector<std::string> registers(const lines &page) {
    std::vector<std::string> shown;
    for (const std::string &l : page)
        if (l.size() > 49 && l.compare(38, 4, "| ||") == 0 && l[42] == '$')
            shown.push_back(l.substr(43, 6));
    return shown;
}

int bells(const lines &page) {
    int n = 0;
    for (const std::string &l : page) n += static_cast<int>(std::count(l.begin(), l.end(), '\a'));
    return n;
}

TEST(MarketScreen, MainShelfExactly) {
    stats_rec s = newhero();
    lines page = run("0", [&] { loadmarket(s); });
    EXPECT_EQ(page, screen("100", picture("1) Buy a item", "2) Buy a spell", "3) Buy a weapon",
                                          "0) EXIT", "     0")));
}

TEST(MarketScreen, EachShelfShowsItsWaresAndBack) {
    struct shelf_case {
        char key;
        const char *one, *two, *three;
    };
    const shelf_case shelves[] = {
        {'1', "1) potion $50", "2) magic dust $50", "3) regain $200"},
        {'2', "1) Tidal Flush $250", "2) Firewall $400", "3) DaShizNizzy $2000"},
        {'3', "1) Sharp Blade $350", "2) Magic Blade $900", "3) Warrior Blade $3500"},
    };
    for (const shelf_case &c : shelves) {
        stats_rec s = newhero();
        s.money = 0; // nothing can be bought but the blade, which this hero cannot afford
        s.weapon.power = 80;
        lines page = run(std::string{c.key}, [&] { loadmarket(s); });
        lines shelf = screen("0", picture(c.one, c.two, c.three, "0) Back", "     0"));
        ASSERT_GE(page.size(), shelf.size());
        // The shelf's screen is the second drawing, joined to the first at the prompt.
        lines second(page.end() - static_cast<long>(shelf.size()), page.end());
        second.front() = "";
        EXPECT_EQ(second, shelf) << "shelf " << c.key;
        for (const std::string &l : page) EXPECT_LE(l.size(), 80u);
    }
}

TEST(MarketScreen, UnknownKeysRedrawEverywhere) {
    stats_rec s = newhero();
    stats_rec before = s;
    lines page = run("x41x4 00", [&] { loadmarket(s); });
    // Drawings: first, x, 4, shelf 1, x, 4, blank, back to main; 0 leaves.
    EXPECT_EQ(registers(page).size(), 8u);
    EXPECT_EQ(s, before);
    EXPECT_EQ(bells(page), 0);
}

// One visit's keys and what they must leave behind.
struct sale_case {
    const char *what;
    std::function<void(stats_rec &)> prepare;
    const char *keys; // the visit ends with 00 after these
    int32 money_after;
    const char *register_after; // as the last drawing shows it
    int bells;
    std::function<void(const stats_rec &)> check = [](const stats_rec &) {};
    friend void PrintTo(const sale_case &c, std::ostream *os) { *os << c.what; }
};

class MarketSale : public testing::TestWithParam<sale_case> {};

TEST_P(MarketSale, LeavesTheRecordAsSaid) {
    const sale_case &c = GetParam();
    stats_rec s = newhero();
    c.prepare(s);
    stats_rec before = s;
    lines page = run(std::string(c.keys) + "00", [&] { loadmarket(s); });
    EXPECT_EQ(s.money, c.money_after);
    ASSERT_FALSE(registers(page).empty());
    EXPECT_EQ(registers(page).back(), c.register_after);
    EXPECT_EQ(bells(page), c.bells);
    if (c.bells == 0) {
        EXPECT_EQ(s, before) << "a refused sale changes nothing";
    }
    c.check(s);
    EXPECT_EQ(page.back(), "                              WHAT CAN I DO YA FOR?  :");
}

auto money(int32 m) {
    return [m](stats_rec &s) { s.money = m; };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarketSale,
    testing::Values(
        sale_case{"potion with exactly its price", money(50), "11", 0, "    50", 1,
                  [](const stats_rec &s) { EXPECT_EQ(s.items[potion], 2); }},
        sale_case{"potion one short", money(49), "11", 49, "     0", 0},
        sale_case{"three potions on the register", money(500), "1111", 350, "   150", 3,
                  [](const stats_rec &s) { EXPECT_EQ(s.items[potion], 4); }},
        sale_case{"dust and regain", money(250), "123", 0, "   250", 2,
                  [](const stats_rec &s) {
                      EXPECT_EQ(s.items[magic_dust], 1);
                      EXPECT_EQ(s.items[regain], 1);
                  }},
        sale_case{"a spell bought twice", money(1000), "211", 750, "   250", 1,
                  [](const stats_rec &s) {
                      EXPECT_EQ(trimmed(s.magic[3].spell), "Tidal Flush");
                      EXPECT_EQ(s.magic[3].usecost, 12);
                      EXPECT_EQ(s.magic[3].damagex, 2);
                      EXPECT_EQ(trimmed(s.magic[3].des), "Powerful wave at your control");
                      EXPECT_EQ(s.magic[4].usecost, 0);
                  }},
        sale_case{"spells fill the slots in order", money(1000), "221", 350, "   650", 2,
                  [](const stats_rec &s) {
                      EXPECT_EQ(view(s.magic[3].spell), "Firewall   ");
                      EXPECT_EQ(s.magic[3].usecost, 17);
                      EXPECT_EQ(view(s.magic[4].spell), "Tidal Flush");
                      EXPECT_EQ(trimmed(s.magic[1].spell), "Heal");
                  }},
        sale_case{"all three spells", money(2650), "2321", 0, "  2650", 3,
                  [](const stats_rec &s) {
                      EXPECT_EQ(trimmed(s.magic[3].spell), "DaShizNizzy");
                      EXPECT_EQ(s.magic[3].usecost, 40);
                      EXPECT_EQ(s.magic[3].damagex, 5);
                      EXPECT_EQ(trimmed(s.magic[5].spell), "Tidal Flush");
                  }},
        sale_case{"a spell one short", money(399), "22", 399, "     0", 0},
        sale_case{"the Sharp Blade on credit", money(100), "31", -250, "   350", 1,
                  [](const stats_rec &s) { EXPECT_EQ(s.weapon, sharp_blade); }},
        sale_case{"the upgrade ladder", money(5000),
                  "3"
                  "11"
                  "21"
                  "2"
                  "3"
                  "123",
                  250, "  4750", 3, [](const stats_rec &s) { EXPECT_EQ(s.weapon, warrior_blade); }},
        sale_case{"after the Magic Blade only the Warrior Blade",
                  [](stats_rec &s) {
                      s.weapon = magic_blade;
                      s.money = 0;
                  },
                  "312", 0, "     0", 0},
        sale_case{"the Warrior Blade on credit",
                  [](stats_rec &s) {
                      s.weapon = magic_blade;
                      s.money = 0;
                  },
                  "33", -3500, "  3500", 1,
                  [](const stats_rec &s) { EXPECT_EQ(s.weapon, warrior_blade); }},
        sale_case{"nothing sells past the Warrior Blade",
                  [](stats_rec &s) {
                      s.weapon = warrior_blade;
                      s.money = 9000;
                  },
                  "3123", 9000, "     0", 0},
        sale_case{"negative money buys nothing but weapons", money(-250), "1122", -250, "     0",
                  0}),
    bywhat{});

TEST(MarketMoney, MoneyBelowZeroIsShownWithItsSign) {
    stats_rec s = newhero();
    lines page = run("31", [&] { loadmarket(s); });
    EXPECT_NE(std::find(page.begin(), page.end(), pad(51) + "Oru $-250"), page.end());
}

TEST(MarketMoney, RegisterStartsAtZeroOnEachVisit) {
    stats_rec s = newhero();
    s.money = 1000;
    lines first = run("1111"
                      "00",
                      [&] { loadmarket(s); });
    EXPECT_EQ(registers(first).back(), "   150");
    lines second = run("1", [&] { loadmarket(s); });
    EXPECT_EQ(registers(second), (std::vector<std::string>{"     0", "     0"}));
    EXPECT_EQ(s.money, 850);
}

TEST(MarketBounty, PaidOnceThenThePosterIsEmpty) {
    stats_rec s = newhero();
    s.mad_eyes = true;
    lines first = run("x0", [&] { loadmarket(s); });
    EXPECT_TRUE(s.mad_eyes_collect);
    EXPECT_EQ(s.money, 1100);

    lines notice(14, "");
    notice.insert(notice.end(), {"                       You've defeated Mad Eyes!!!",
                                 "                           Here's your $1000"});
    notice.insert(notice.end(), 8, "");
    notice.insert(notice.end(), {pad(57) + "PRESS ENTER", "", ""});
    ASSERT_GT(first.size(), notice.size());
    lines head(first.begin(), first.begin() + static_cast<long>(notice.size()));
    EXPECT_EQ(head, notice);

    // The market after the notice already shows the empty poster and the new money.
    lines empty_poster = screen(
        "1100", picture("1) Buy a item", "2) Buy a spell", "3) Buy a weapon", "0) EXIT", "     0"));
    for (int r = 2; r <= 8; ++r) empty_poster[8 + r - 1].replace(1, 11, pad(11));
    lines shown(first.begin() + static_cast<long>(notice.size()) - 1, first.end());
    shown.front() = "";
    EXPECT_EQ(shown, empty_poster);

    lines second = run("0", [&] { loadmarket(s); });
    EXPECT_EQ(s.money, 1100) << "the bounty is paid once";
    EXPECT_EQ(second, empty_poster);
}

TEST(MarketBounty, NothingBeforeMadEyesIsBeaten) {
    stats_rec s = newhero();
    lines page = run("0", [&] { loadmarket(s); });
    EXPECT_EQ(s.money, 100);
    EXPECT_FALSE(s.mad_eyes_collect);
    EXPECT_EQ(page[8 + 2], "|   WANTED  |    _/        \\_                       1) Buy a item");
}

} // namespace
