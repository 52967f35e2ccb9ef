// The mathematical slot machine: three stacked reels form a sum (number, operator, number)
// whose result pays a multiple of the bet when it is in the win box.
#include "casino/casino.hpp"
#include "casino/page.hpp"
#include "core/console.hpp"
#include "core/menuloop.hpp"
#include "core/random.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] The reels and the win box
// ---------------------------------------------------------------------------------------------

// Each reel is a cyclic strip, written as its symbols are printed. Stop k shows entries k, k+1
// and k+2 (counting from 0 and wrapping); the middle one is the row's value.
constexpr std::array<std::string_view, 5> top_strip = {"3", "4", "8", "9", "6"};
constexpr std::array<std::string_view, 4> middle_strip = {"+", "-", "*", "REM"};
constexpr std::array<std::string_view, 5> bottom_strip = {"4", "3", "2", "1", "3"};

// The operations, in the order of the middle strip.
enum sum_op { add, subtract, multiply, remainder };
static_assert(middle_strip[add] == "+" && middle_strip[subtract] == "-" &&
                  middle_strip[multiply] == "*" && middle_strip[remainder] == "REM",
              "the operations follow the middle strip");

// The three symbols a row shows at `stop`.
using row_symbols = std::array<std::string_view, 3>;
template <std::size_t N>
constexpr row_symbols showing(const std::array<std::string_view, N> &strip, int32 stop) {
    const auto at = [&](int offset) { return strip[static_cast<std::size_t>(stop + offset) % N]; };
    return {at(0), at(1), at(2)};
}

// Where on its strip a row's value lies: the middle of the three symbols shown.
template <std::size_t N>
constexpr std::size_t middleof(int32 stop) {
    return static_cast<std::size_t>(stop + 1) % N;
}

// A number row's value: the digit in its middle.
constexpr int32 numberat(const std::array<std::string_view, 5> &strip, int32 stop) {
    return strip[middleof<5>(stop)][0] - '0';
}

// What each result in the win box pays, in bets.
struct prize {
    int32 low, high; // the results that win it
    int32 times;
};
constexpr prize prizes[] = {
    {.low = -1, .high = -1, .times = 30}, {.low = 30, .high = 40, .times = 10},
    {.low = 18, .high = 18, .times = 5},  {.low = 12, .high = 12, .times = 2},
    {.low = 0, .high = 0, .times = 1},
};

const prize *prizefor(int32 result) {
    for (const prize &p : prizes)
        if (result >= p.low && result <= p.high) return &p;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Pages
// ---------------------------------------------------------------------------------------------

constexpr auto math_slots = decode<12, 59>({
    "                        ██   ██   ████   ██████  ██  ██    ",
    "                        ███ ███  ██  ██    ██    ██  ██    ",
    "                        ██ █ ██  ██████    ██    ██████    ",
    "                        ██   ██  ██  ██    ██    ██  ██    ",
    "                        ██   ██  ██  ██    ██    ██  ██    ",
    "                                                           ",
    "                                                           ",
    "                      █████  ██       ████   ██████   █████",
    "                     ██      ██      ██  ██    ██    ██    ",
    "                      ████   ██      ██  ██    ██     ████ ",
    "                         ██  ██      ██  ██    ██        ██",
    "                     █████   ██████   ████     ██    █████ ",
});

constexpr std::string_view winbox[] = {
    "                -------------WIN-------------",
    "               |   -1 = * 30     >30 = * 10  |",
    "               |   18 = * 5       12 = * 2   |",
    "               |           0 = * 1           |",
    "                -----------------------------",
};

constexpr std::string_view object_text[] = {
    "        OBJECT : ",
    "           If the result of the equation created by the spin equals a",
    "        value inside the win box then you win a multiple of your wager",
};

// The small win box of the instructions, beside the example's result.
constexpr std::string_view example_box[] = {
    "   ----WIN-----                                    = 18",
    "  |  -1 = * 30 |",
    "  | >30 = * 10 |                 You would win your wager * 5!",
    "  |  18 = * 5  | <=",
    "  |  12 = * 2  |",
    "  |   0 = * 1  |                                          PRESS ENTER",
    "   ------------",
};

// The example machine of the instructions: 8 9 6, - * REM, 3 2 1, which makes 9 * 2 = 18.
constexpr slot_stops example_stops = {.top = 2, .middle = 1, .bottom = 1};

constexpr std::string_view row_border = "                      -----------------------------------";
constexpr std::string_view empty_row = "                     |                                   |";

// One row of the machine showing three symbols, each centred in a cell of ten columns.
void putrow(const row_symbols &symbols) {
    std::array<char, 37> row;
    row.fill(' ');
    row.front() = row.back() = '|';
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t centre = 8 + 10 * i;
        std::copy(symbols[i].begin(), symbols[i].end(),
                  row.begin() + centre - symbols[i].size() / 2);
    }
    blanks(21);
    putline({row.data(), row.size()});
}

// The machine: three framed rows joined by an up-down arrow; empty before the spin.
void drawmachine(std::optional<slot_stops> stops) {
    std::array<row_symbols, 3> rows{};
    if (stops)
        rows = {showing(top_strip, stops->top), showing(middle_strip, stops->middle),
                showing(bottom_strip, stops->bottom)};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) {
            blanks(39);
            putline("\x12");
        }
        putline(row_border);
        if (stops)
            putrow(rows[r]);
        else
            putline(empty_row);
        putline(row_border);
    }
}

void instructions() {
    newlines(3);
    putlines(object_text);
    newlines(1);
    drawmachine(example_stops);
    newlines(1);
    putlines(example_box);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The rules
// ---------------------------------------------------------------------------------------------

slot_stops slotstops(const slot &reels) {
    return {.top = reels[1] % 5, .middle = reels[2] % 4, .bottom = reels[3] % 5};
}

int32 slotresult(slot_stops stops) {
    const int32 first = numberat(top_strip, stops.top);
    const int32 second = numberat(bottom_strip, stops.bottom); // never 0
    switch (static_cast<sum_op>(middleof<4>(stops.middle))) {
        case add:
            return first + second;
        case subtract:
            return first - second;
        case multiply:
            return first * second;
        case remainder:
            return first % second;
    }
    return 0;
}

int32 slotpayout(int32 result) {
    const prize *p = prizefor(result);
    return p ? p->times : 0;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The spin and the wager menu
// ---------------------------------------------------------------------------------------------

void mathslot(stats_rec &stats, int32 cash) {
    newlines(3);
    putlines(winbox);
    newlines(1);
    drawmachine(std::nullopt);
    newlines(2);
    putline("                          PRESS ENTER TO SPIN!");
    newlines(1);
    key();

    const slot_stops stops = slotstops(randslot());
    newlines(3);
    putlines(winbox);
    newlines(1);
    drawmachine(stops);
    newlines(1);
    const int32 result = slotresult(stops);
    put("                                            = ");
    putnum(result);
    newlines(1);
    if (const prize *p = prizefor(result)) {
        put("        YOU WIN => ");
        putnum(p->times);
        put(" * $");
        putnum(cash);
        put(" = $");
        putnum(cash * p->times);
        newlines(1 + 2); // the line's end, then 2 blank lines
        stats.money += cash * p->times;
    } else {
        putline("        YOU LOSE!!!");
        newlines(1);
        stats.money -= cash;
    }
    key();
}

void slotsbet(stats_rec &stats) {
    bool instructed = false; // the instructions come once per visit, after its first key
    // Even 0 waits for the instructions first, so the menu handles its own way back.
    menuloop(
        [&] {
            newlines(1);
            putpicture(math_slots);
            newlines(2);
            put("            How much would you like to wager?         MONEY : $");
            putnum(stats.money);
            newlines(1 + 2); // the line's end, then 2 blank lines
            putbets(12);
            newlines(2);
        },
        [&](char k) {
            if (!instructed) {
                instructions();
                key();
                instructed = true;
            }
            if (k == '0') return true;
            if (int32 cash = betfor(k)) mathslot(stats, cash);
            return false;
        },
        no_back);
}
