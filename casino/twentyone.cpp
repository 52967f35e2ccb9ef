// The casino's lobby and its first game, twenty-one: the wager menu, the deal, the player's
// turn with the hand drawn card by card, the dealer's fixed rule and the settlement.
#include "casino/casino.hpp"
#include "casino/page.hpp"
#include "core/console.hpp"
#include "core/menuloop.hpp"
#include "core/random.hpp"

#include <algorithm>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] Pages
// ---------------------------------------------------------------------------------------------

// The large "21" above the wager menu; its seventh row carries the money and is written apart.
constexpr auto big21 = decode<6, 38>({
    "                         ___     __   ",
    "                        |__ \\   /_ |  ",
    "                           ) |   | |  ",
    "                          / /    | |  ",
    "                         / /     | |  ",
    "                        / /___ __| |__",
});

// clang-format off
constexpr auto dealer_cards = decode<5, 33>({
    "                        DEALER   ",
    "                      ---    --- ",
    "                     |   |  |   |",
    "                     |   |  |   |",
    "                      ---    --- ",
});
// clang-format on

// What a card shows: its value (index 1 to 13) and its suit's glyph (index 1 to 4: heart,
// diamond, club, spade).
constexpr std::string_view facetext[] = {"  ", "A ", "2 ", "3 ", "4 ", "5 ", "6 ",
                                         "7 ", "8 ", "9 ", "10", "J ", "Q ", "K "};
constexpr char suitcode[] = {' ', '\x03', '\x04', '\x05', '\x06'};

// Cards 1 to `yours` of the hand side by side, 8 columns each, in four rows: the top edge, the
// value, the suit, the bottom edge. The rows between the edges start a column further right.
void drawhand(const deck &hand, int32 yours) {
    for (int row = 0; row < 4; ++row) {
        const bool edge = row == 0 || row == 3;
        blanks(edge ? 16 : 17);
        for (int i = 1; i <= yours; ++i) {
            if (edge) {
                put("     ---");
                continue;
            }
            const char suit[] = {suitcode[hand[i].suit], ' '};
            put("   | ");
            put(row == 1 ? facetext[hand[i].value] : std::string_view(suit, 2));
            put("|");
        }
        newlines(1);
    }
}

// What each outcome prints and what it does to the money, in bets.
struct settlement {
    std::string_view line;
    int32 bets;
};
constexpr settlement settlements[3] = {
    {"                                YOU WIN!", +1}, // outcome::win
    {"                                YOU LOSE", -1}, // outcome::lose
    {"                                  DRAW", 0},    // outcome::draw
};

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The rules
// ---------------------------------------------------------------------------------------------

int32 counthand(const deck &cards, int32 yours) {
    deck hand = cards;
    for (int i = 1; i <= yours; ++i) {
        if (hand[i].value > 10) hand[i].value = 10;
        if (hand[i].value == 1) hand[i].value = 11;
    }
    // Each pass after one over 21 turns the first ace still at 11 into 1.
    int32 total = 0;
    int32 oldtotal = 0;
    for (int pass = 1; pass <= 5; ++pass) {
        total = 0;
        if (oldtotal > 21) {
            auto ace = std::find_if(hand.begin(), hand.begin() + yours,
                                    [](const card_rec &c) { return c.value == 11; });
            if (ace != hand.begin() + yours) ace->value = 1;
        }
        for (int i = 1; i <= yours; ++i) total += hand[i].value;
        if (total <= 21) break;
        oldtotal = total;
    }
    return total;
}

int32 dealerturn(const deck &d, int32 yours) {
    int32 dealer = 0;
    int32 aces = 0; // aces still counting 11
    for (int position = yours + 1; position <= yours + 7; ++position) {
        const int32 value = d[position].value;
        if (value == 1) {
            dealer += 11;
            ++aces;
        } else {
            dealer += std::min(value, 10);
        }
        if ((dealer >= 17 && dealer <= 21) || (dealer > 21 && aces == 0)) break;
        // Over 21 with an ace at 11: the ace drops to 1 and the dealer draws again at once,
        // whatever the new total.
        if (dealer > 21) {
            --aces;
            dealer -= 10;
        }
    }
    return dealer;
}

outcome settle(int32 player, int32 dealer) {
    const bool playerbust = player > 21;
    const bool dealerbust = dealer > 21;
    if (playerbust && dealerbust) return outcome::draw;
    if (dealerbust) return outcome::win;
    if (playerbust) return outcome::lose;
    if (player > dealer) return outcome::win;
    if (player < dealer) return outcome::lose;
    return outcome::draw;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The games and menus
// ---------------------------------------------------------------------------------------------

void twenone(stats_rec &stats, int32 cash) {
    twenone(stats, cash, randdeck());
}

void twenone(stats_rec &stats, int32 cash, const deck &d) {
    deck hand{};
    int32 yours = 2;
    hand[1] = d[1];
    hand[2] = d[2];

    for (bool standing = false; !standing;) {
        newlines(4);
        putpicture(dealer_cards);
        newlines(4);
        putline("                       YOUR HAND");
        newlines(2);
        drawhand(hand, yours);
        newlines(2);
        if (yours == 7) {
            pressenterat(6);
            newlines(1);
            newlines(3);
            key();
            break;
        }
        putline("      1) HIT");
        putline("      2) STAND");
        newlines(2);
        switch (key()) {
            case '1':
                ++yours;
                hand[yours] = d[yours];
                break;
            case '2':
                standing = true;
                break;
            default:
                break;
        }
    }

    const int32 total = counthand(hand, yours);
    const int32 dealer = dealerturn(d, yours);
    newlines(10);
    putline("             Your Score                             Dealer's Score");
    blanks(17);
    putnum(total);
    blanks(39);
    putnum(dealer);
    newlines(1);
    const settlement &s = settlements[static_cast<int>(settle(total, dealer))];
    putline(s.line);
    stats.money += s.bets * cash;
    newlines(10);
    key();
}

void twenonebet(stats_rec &stats) {
    menuloop(
        [&] {
            newlines(3);
            putpicture(big21);
            putwager("                       (_____| |_____|            MONEY : $", stats.money,
                     "            How much would you like to wager?", 12, 5);
        },
        [&](char k) {
            if (int32 cash = betfor(k)) twenone(stats, cash);
            return false;
        });
}

namespace {
void drawlobby() {
    newlines(5);
    putline("                        WELCOME TO THE MONEY CLUB");
    newlines(5);
    putline("    Which game would you like to play?");
    newlines(2);
    putline("    1) 21");
    putline("    2) Mathematical Slot Machine");
    putline("    3) Computer Hangman");
    newlines(1);
    putline("    0) EXIT");
    newlines(5);
}
} // namespace

void loadcasino(stats_rec &stats) {
    menuchoices(drawlobby,
                {[&] { twenonebet(stats); }, [&] { slotsbet(stats); }, [&] { hang(stats); }});
}
