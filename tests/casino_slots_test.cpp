// The mathematical slot machine: the stops, the result and payout of every stop combination,
// the printed rows, the spin's pages and the wager menu with its instructions.
#include "casino/casino.hpp"
#include "casino_pages.hpp"
#include "core/random.hpp"

#include <gtest/gtest.h>

namespace {

// Every stop combination, worked out by hand. Top values by stop: 4 8 9 6 3; operators by
// stop: - * REM +; bottom values by stop: 3 2 1 3 4.
struct combination_row {
    int32 top, middle;
    int32 results[5]; // by bottom stop 0..4
    int32 times[5];   // what each result pays, in bets (0: the bet is lost)
};
constexpr combination_row combinations[] = {
    {0, 0, {1, 2, 3, 1, 0}, {0, 0, 0, 0, 1}},      // 4 - 3 2 1 3 4
    {0, 1, {12, 8, 4, 12, 16}, {2, 0, 0, 2, 0}},   // 4 * 3 2 1 3 4
    {0, 2, {1, 0, 0, 1, 0}, {0, 1, 1, 0, 1}},      // 4 REM 3 2 1 3 4
    {0, 3, {7, 6, 5, 7, 8}, {0, 0, 0, 0, 0}},      // 4 + 3 2 1 3 4
    {1, 0, {5, 6, 7, 5, 4}, {0, 0, 0, 0, 0}},      // 8 - 3 2 1 3 4
    {1, 1, {24, 16, 8, 24, 32}, {0, 0, 0, 0, 10}}, // 8 * 3 2 1 3 4
    {1, 2, {2, 0, 0, 2, 0}, {0, 1, 1, 0, 1}},      // 8 REM 3 2 1 3 4
    {1, 3, {11, 10, 9, 11, 12}, {0, 0, 0, 0, 2}},  // 8 + 3 2 1 3 4
    {2, 0, {6, 7, 8, 6, 5}, {0, 0, 0, 0, 0}},      // 9 - 3 2 1 3 4
    {2, 1, {27, 18, 9, 27, 36}, {0, 5, 0, 0, 10}}, // 9 * 3 2 1 3 4
    {2, 2, {0, 1, 0, 0, 1}, {1, 0, 1, 1, 0}},      // 9 REM 3 2 1 3 4
    {2, 3, {12, 11, 10, 12, 13}, {2, 0, 0, 2, 0}}, // 9 + 3 2 1 3 4
    {3, 0, {3, 4, 5, 3, 2}, {0, 0, 0, 0, 0}},      // 6 - 3 2 1 3 4
    {3, 1, {18, 12, 6, 18, 24}, {5, 2, 0, 5, 0}},  // 6 * 3 2 1 3 4
    {3, 2, {0, 0, 0, 0, 2}, {1, 1, 1, 1, 0}},      // 6 REM 3 2 1 3 4
    {3, 3, {9, 8, 7, 9, 10}, {0, 0, 0, 0, 0}},     // 6 + 3 2 1 3 4
    {4, 0, {0, 1, 2, 0, -1}, {1, 0, 0, 1, 30}},    // 3 - 3 2 1 3 4
    {4, 1, {9, 6, 3, 9, 12}, {0, 0, 0, 0, 2}},     // 3 * 3 2 1 3 4
    {4, 2, {0, 1, 0, 0, 3}, {1, 0, 1, 1, 0}},      // 3 REM 3 2 1 3 4
    {4, 3, {6, 5, 4, 6, 7}, {0, 0, 0, 0, 0}},      // 3 + 3 2 1 3 4
};

const combination_row &rowfor(slot_stops s) {
    return combinations[s.top * 4 + s.middle];
}

// The printed row of each stop.
const std::string top_rows[] = {
    "                     |       3         4         8       |",
    "                     |       4         8         9       |",
    "                     |       8         9         6       |",
    "                     |       9         6         3       |",
    "                     |       6         3         4       |",
};
const std::string middle_rows[] = {
    "                     |       +         -         *       |",
    "                     |       -         *        REM      |",
    "                     |       *        REM        +       |",
    "                     |      REM        +         -       |",
};
const std::string bottom_rows[] = {
    "                     |       4         3         2       |",
    "                     |       3         2         1       |",
    "                     |       2         1         3       |",
    "                     |       1         3         4       |",
    "                     |       3         4         3       |",
};

TEST(Slots, StopsComeFromTheReelsModuloTheirLength) {
    struct {
        slot reels;
        slot_stops stops;
    } cases[] = {
        {{{1, 1, 1}}, {1, 1, 1}},
        {{{5, 4, 5}}, {0, 0, 0}},
        {{{1000, 999, 998}}, {0, 3, 3}},
        {{{4, 7, 9}}, {4, 3, 4}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(slotstops(c.reels), c.stops)
            << c.reels[1] << " " << c.reels[2] << " " << c.reels[3];
}

TEST(Slots, EveryCombinationHasItsResultAndPayout) {
    ASSERT_EQ(std::size(combinations), 20u);
    for (const combination_row &row : combinations) {
        for (int32 bottom = 0; bottom < 5; ++bottom) {
            const slot_stops s = {row.top, row.middle, bottom};
            EXPECT_EQ(slotresult(s), row.results[bottom])
                << "stops " << s.top << " " << s.middle << " " << s.bottom;
            EXPECT_EQ(slotpayout(slotresult(s)), row.times[bottom])
                << "stops " << s.top << " " << s.middle << " " << s.bottom;
        }
    }
}

TEST(Slots, PayoutsOfTheWinBox) {
    const std::pair<int32, int32> cases[] = {{-1, 30}, {30, 10}, {32, 10}, {36, 10}, {40, 10},
                                             {29, 0},  {41, 0},  {18, 5},  {12, 2},  {0, 1},
                                             {-2, 0},  {1, 0},   {13, 0},  {17, 0}};
    for (auto [result, times] : cases) EXPECT_EQ(slotpayout(result), times) << result;
}

// [SECTION] Pages ---------------------------------------------------------------------------------

const lines winbox = {
    "                -------------WIN-------------",
    "               |   -1 = * 30     >30 = * 10  |",
    "               |   18 = * 5       12 = * 2   |",
    "               |           0 = * 1           |",
    "                -----------------------------",
};
const std::string border = "                      -----------------------------------";
const std::string joint = std::string(39, ' ') + "↕";

lines machine(const std::string &top, const std::string &middle, const std::string &bottom) {
    return {border, top, border, joint, border, middle, border, joint, border, bottom, border};
}

const std::string empty_row = "                     |                                   |";

const lines before_spin = cat({empty(3),
                               winbox,
                               empty(1),
                               machine(empty_row, empty_row, empty_row),
                               empty(2),
                               {"                          PRESS ENTER TO SPIN!"},
                               empty(1)});

TEST(SlotsPage, SpinsShowTheStopsAndSettle) {
    // Enough clock readings to bring every stop of every row.
    bool seen_top[5] = {}, seen_middle[4] = {}, seen_bottom[5] = {};
    for (std::int64_t reading = 0; reading < 200; ++reading) {
        fixed_clock clock(reading);
        const slot_stops s = slotstops(randslot());
        seen_top[s.top] = seen_middle[s.middle] = seen_bottom[s.bottom] = true;
        const int32 result = rowfor(s).results[s.bottom];
        const int32 times = rowfor(s).times[s.bottom];

        stats_rec stats;
        stats.money = 100;
        const lines got = run("  ", [&] { mathslot(stats, 25); });
        const lines settlement = times ? lines{"        YOU WIN => " + std::to_string(times) +
                                                   " * $25 = $" + std::to_string(25 * times),
                                               "", ""}
                                       : lines{"        YOU LOSE!!!", ""};
        const lines expected =
            cat({before_spin,
                 empty(3),
                 winbox,
                 empty(1),
                 machine(top_rows[s.top], middle_rows[s.middle], bottom_rows[s.bottom]),
                 empty(1),
                 {"                                            = " + std::to_string(result)},
                 settlement,
                 {""}});
        ASSERT_EQ(got, expected) << "clock " << reading;
        EXPECT_EQ(stats.money, times ? 100 + 25 * times : 75) << "clock " << reading;
    }
    for (bool seen : seen_top) EXPECT_TRUE(seen);
    for (bool seen : seen_middle) EXPECT_TRUE(seen);
    for (bool seen : seen_bottom) EXPECT_TRUE(seen);
}

TEST(SlotsPage, ALossCanLeaveMoneyBelowZero) {
    std::int64_t reading = 0;
    for (;; ++reading) {
        fixed_clock clock(reading);
        if (slotpayout(slotresult(slotstops(randslot()))) == 0) break;
    }
    fixed_clock clock(reading);
    stats_rec stats;
    stats.money = 20;
    run("  ", [&] { mathslot(stats, 50); });
    EXPECT_EQ(stats.money, -30);
}

lines wagermenu(const std::string &money) {
    return cat({empty(1),
                {
                    "                        ██   ██   ████   ██████  ██  ██",
                    "                        ███ ███  ██  ██    ██    ██  ██",
                    "                        ██ █ ██  ██████    ██    ██████",
                    "                        ██   ██  ██  ██    ██    ██  ██",
                    "                        ██   ██  ██  ██    ██    ██  ██",
                    "",
                    "",
                    "                      █████  ██       ████   ██████   █████",
                    "                     ██      ██      ██  ██    ██    ██",
                    "                      ████   ██      ██  ██    ██     ████",
                    "                         ██  ██      ██  ██    ██        ██",
                    "                     █████   ██████   ████     ██    █████",
                },
                empty(2),
                {"            How much would you like to wager?         MONEY : $" + money},
                empty(2),
                {"            1) $10", "            2) $25", "            3) $50"},
                empty(1),
                {"            0) EXIT"},
                empty(2)});
}

const lines instructions = cat({
    empty(3),
    {
        "        OBJECT : ",
        "           If the result of the equation created by the spin equals a",
        "        value inside the win box then you win a multiple of your wager",
    },
    empty(1),
    machine(top_rows[2], middle_rows[1], bottom_rows[1]),
    empty(1),
    {
        "   ----WIN-----                                    = 18",
        "  |  -1 = * 30 |",
        "  | >30 = * 10 |                 You would win your wager * 5!",
        "  |  18 = * 5  | <=",
        "  |  12 = * 2  |",
        "  |   0 = * 1  |                                          PRESS ENTER",
        "   ------------",
    },
});

TEST(SlotsPage, EvenAFirstZeroBringsTheInstructions) {
    stats_rec stats;
    stats.money = 500;
    usescript("0x");
    slotsbet(stats);
    EXPECT_EQ(splitlines(transcript()), cat({wagermenu("500"), instructions, {""}}));
}

TEST(SlotsPage, InstructionsComeOncePerVisit) {
    stats_rec stats;
    stats.money = -5;
    // Unknown key, the key after the instructions, another unknown key, leave; then a second
    // visit shows them again.
    EXPECT_EQ(run("9x90", [&] { slotsbet(stats); }),
              cat({wagermenu("-5"), instructions, wagermenu("-5"), wagermenu("-5"), {""}}));
    EXPECT_EQ(run("0 ", [&] { slotsbet(stats); }), cat({wagermenu("-5"), instructions, {""}}));
}

TEST(SlotsPage, EachBetKeySpinsForItsStake) {
    const std::pair<char, int32> bets[] = {{'1', 10}, {'2', 25}, {'3', 50}};
    for (auto [k, cash] : bets) {
        fixed_clock clock(77);
        const slot_stops s = slotstops(randslot());
        const int32 times = rowfor(s).times[s.bottom];
        stats_rec stats;
        stats.money = 100;
        // The bet, the key after the instructions, spin, settle, leave.
        run(std::string{k, ' ', ' ', ' ', '0', ' '}, [&] { slotsbet(stats); });
        EXPECT_EQ(stats.money, times ? 100 + cash * times : 100 - cash) << "key " << k;
    }
}

} // namespace
