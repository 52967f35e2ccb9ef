// The hotel: its page, the three greetings and the night's rest.
#include "town/hotel.hpp"

#include "town_support.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using namespace town_test;

// The inn's page down to the floor line, with the greeting and the figures filled in.
lines innpage(const std::string &greeting, const std::string &money, const std::string &health) {
    return {
        "",
        "",
        "                   _____________________________________",
        "                  <        THE CLOUD PILLOWS INN        >",
        "                  <  Where the pillows are like clouds  >",
        "                  <_____________________________________>",
        "",
        "          _____",
        "         |KEYS |___",
        "         |-|-|-|-|-|" + greeting + "MONEY  : $" + money,
        "         |F| |F|F|F|      \\                              HEALTH : " + health,
        "         |-|-|-|-|-|    .--\\--.              _____________",
        "         |O|F| |F|O|   /  o o  \\            |             |",
        "         |-|-|-|-|-|  |    >    |           |   One Bed   |",
        "         |F|F|O|F| |  |  \\___/  |           |    $100     |",
        "         |-|-|-|-|-|   \\_______/            |_____________|",
        "         |F|O|F|F|F|    ___| |___                 | |",
        "         |-|-|-|-|-|   /         \\                | |",
        "         |O| |F|O|F|  |  |     |  |               | |",
        "         |_|_|_|_|_|  |  |     |  |               | |",
        "______________________|__|_____|__|_______________|_|______",
    };
}

TEST(Hotel, OffersARoomExactly) {
    stats_rec s = newhero();
    s.health = 20;
    lines page = run("0", [&] { loadhotel(s); });
    lines expected = innpage("    Would you like a room?           ", "100", "20/35");
    expected.insert(expected.end(), {"", "1) Stay", "0) EXIT", ""});
    EXPECT_EQ(page, expected);
}

TEST(Hotel, ARefusalWaitsForAKeyExactly) {
    stats_rec s = newhero();
    s.money = -40;
    lines page = run("5", [&] { loadhotel(s); });
    lines expected = innpage("    You already have full health     ", "-40", "35/35");
    expected.insert(expected.end(), {"", "", pad(63) + "PRESS ENTER"});
    EXPECT_EQ(page, expected);
}

// A visit: the hero's state, the key pressed, the greeting and what the visit leaves.
struct stay_case {
    const char *what;
    int32 health, magicdust, money;
    char key;
    const char *greeting;
    bool rested;
    friend void PrintTo(const stay_case &c, std::ostream *os) { *os << c.what; }
};

class HotelStay : public testing::TestWithParam<stay_case> {};

TEST_P(HotelStay, GreetsAndRests) {
    const stay_case &c = GetParam();
    stats_rec s = newhero(); // maximum health 35, maximum magic 25
    s.health = c.health;
    s.magicdust = c.magicdust;
    s.money = c.money;
    stats_rec before = s;
    // A second key proves the hotel reads one key only and returns.
    usescript(std::string{c.key, '!'});
    loadhotel(s);
    lines page = splitlines(transcript());
    ASSERT_GT(page.size(), 9u);
    EXPECT_EQ(page[9].substr(20, 37), c.greeting);
    EXPECT_EQ(key(), '!');

    stats_rec expected = before;
    if (c.rested) {
        expected.health = 35;
        expected.magicdust = 25;
        expected.money = c.money - 100;
    }
    EXPECT_EQ(s, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HotelStay,
    testing::Values(stay_case{"exactly 100 pays for the night", 1, 2, 100, '1',
                              "    Would you like a room?           ", true},
                    stay_case{"full health with low magic is refused", 35, 2, 500, '1',
                              "    You already have full health     ", false},
                    stay_case{"full health and poor hears about health", 35, 2, 50, '1',
                              "    You already have full health     ", false},
                    stay_case{"99 is not enough", 34, 25, 99, '1',
                              "    Not enough money, sorry          ", false},
                    stay_case{"zero leaves without paying", 10, 0, 300, '0',
                              "    Would you like a room?           ", false},
                    stay_case{"any other key leaves without paying", 10, 0, 300, 'x',
                              "    Would you like a room?           ", false}),
    [](const testing::TestParamInfo<stay_case> &info) {
        std::string name = info.param.what;
        for (char &c : name)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(Hotel, RestFillsTheMaximaWithWeaponAndShield) {
    stats_rec s = newhero();
    s.weapon = {15, 6, 4, padded<20>("Sharp Blade")};
    s.shield.armor = 2;
    s.health = 1;
    s.magicdust = 0;
    s.money = 250;
    run("1", [&] { loadhotel(s); });
    EXPECT_EQ(s.health, 43);
    EXPECT_EQ(s.magicdust, 29);
    EXPECT_EQ(s.money, 150);
}

} // namespace
