// The hotel: the sign, the innkeeper's picture, the greeting and the night's rest.
#include "town/hotel.hpp"

#include "core/console.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr int32 room_price = 100;

constexpr std::array<std::string_view, 4> sign = {
    "                   _____________________________________",
    "                  <        THE CLOUD PILLOWS INN        >",
    "                  <  Where the pillows are like clouds  >",
    "                  <_____________________________________>",
};

// The key board, the innkeeper and the price sign, whose price is written after its "$" on row
// 8. The greeting and the money follow row 3; the health follows row 4.
constexpr int price_row = 8;
constexpr auto inn_picture = [] {
    auto inn = decode<14, 59>({
        "          _____                                            ",
        "         |KEYS |___                                        ",
        "         |-|-|-|-|-|                                       ",
        "         |F| |F|F|F|      \\                                ",
        "         |-|-|-|-|-|    .--\\--.              _____________ ",
        "         |O|F| |F|O|   /  o o  \\            |             |",
        "         |-|-|-|-|-|  |    >    |           |   One Bed   |",
        "         |F|F|O|F| |  |  \\___/  |           |    $        |",
        "         |-|-|-|-|-|   \\_______/            |_____________|",
        "         |F|O|F|F|F|    ___| |___                 | |      ",
        "         |-|-|-|-|-|   /         \\                | |      ",
        "         |O| |F|O|F|  |  |     |  |               | |      ",
        "         |_|_|_|_|_|  |  |     |  |               | |      ",
        "______________________|__|_____|__|_______________|_|______",
    });
    auto &row = inn[price_row - 1];
    auto at = std::find(row.begin(), row.end(), '$') + 1;
    for (int32 unit = 100; unit > 0; unit /= 10) // the price has three digits
        *at++ = static_cast<unsigned char>('0' + room_price / unit % 10);
    return inn;
}();
static_assert(room_price >= 100 && room_price <= 999, "the sign has room for three digits");
constexpr int greeting_row = 3, health_row = 4;
constexpr int figures_col = 57; // where "MONEY" and "HEALTH" start, counted from 0

// What the innkeeper says; only the last offers a room.
enum greeting_kind : int { full_health, no_money, room_offered };
constexpr std::array<std::string_view, 3> greetings = {
    "    You already have full health     ",
    "    Not enough money, sorry          ",
    "    Would you like a room?           ",
};
static_assert(std::all_of(greetings.begin(), greetings.end(),
                          [](std::string_view g) { return g.size() == 37; }),
              "every greeting fills the same 37 columns");

// Full health comes first: a hero who needs no rest is not told he is poor.
greeting_kind greetingfor(const stats_rec &stats) {
    if (stats.health == maxhealth(stats)) return full_health;
    if (stats.money < room_price) return no_money;
    return room_offered;
}

void drawinn(const stats_rec &stats, greeting_kind greeting) {
    newlines(2);
    for (std::string_view l : sign) putline(l);
    newlines(1);
    for (int r = 1; r <= static_cast<int>(inn_picture.size()); ++r) {
        std::string_view row = rowtext(inn_picture[r - 1]);
        put(row);
        if (r == greeting_row) {
            put(greetings[greeting]);
            blanks(figures_col - static_cast<int>(row.size() + greetings[greeting].size()));
            put("MONEY  : $");
            putnum(stats.money);
        } else if (r == health_row) {
            blanks(figures_col - static_cast<int>(row.size()));
            put("HEALTH : ");
            putnum(stats.health);
            put("/");
            putnum(maxhealth(stats));
        }
        newlines(1);
    }
}

} // namespace

void loadhotel(stats_rec &stats) {
    greeting_kind greeting = greetingfor(stats);
    drawinn(stats, greeting);
    if (greeting != room_offered) {
        newlines(2);
        pressenterat(63, 0, waitfor::key);
        return;
    }
    newlines(1);
    putline("1) Stay");
    putline("0) EXIT");
    if (key() != '1') return; // any other key leaves without paying
    stats.health = maxhealth(stats);
    stats.magicdust = maxmagic(stats);
    stats.money -= room_price;
}
