// Twenty-one and the casino lobby: counting hands, the dealer's rule, the settlement, and the
// pages of a hand, the wager menu and the lobby.
#include "casino/casino.hpp"
#include "casino_pages.hpp"
#include "core/random.hpp"

#include <gtest/gtest.h>

#include <random>

namespace {

// A deck holding `cards` from position 1.
deck dealt(std::initializer_list<card_rec> cards) {
    deck d{};
    int position = 1;
    for (card_rec c : cards) d[position++] = c;
    return d;
}

// Cards by value in a neutral suit.
deck values(std::initializer_list<int32> cardvalues) {
    deck d{};
    int position = 1;
    for (int32 v : cardvalues) d[position++] = {v, 1};
    return d;
}

// [SECTION] Counting ----------------------------------------------------------------------------

TEST(TwentyOne, CountsAHand) {
    struct {
        std::initializer_list<int32> cards;
        int32 total;
    } cases[] = {
        {{1, 13}, 21},         // ace and king
        {{1, 1, 9}, 21},       // 31, then one ace turned to 1
        {{1, 1, 1, 1, 7}, 21}, // 51, 41, 31, 21: one ace per pass
        {{1, 9}, 20},          // an ace stays 11 while the hand is 21 or less
        {{5, 1, 1}, 17},       // 27 turned to 17
        {{1, 5, 11}, 16},      // faces count 10
        {{11, 12, 13}, 30},    // over 21 without an ace
        {{10, 12}, 20},
        {{2, 3, 2, 3, 1, 4, 2}, 17}, // seven cards
        {{1, 1, 1, 1, 13, 12}, 24},  // every ace turned and still over 21
    };
    for (const auto &c : cases) {
        const deck hand = values(c.cards);
        EXPECT_EQ(counthand(hand, static_cast<int32>(c.cards.size())), c.total)
            << "hand of " << c.cards.size() << " starting " << c.cards.begin()[0];
    }
}

TEST(TwentyOne, CountsOnlyTheCardsInTheHand) {
    const deck hand = values({10, 9, 5}); // the 5 is not part of a two-card hand
    EXPECT_EQ(counthand(hand, 2), 19);
    EXPECT_EQ(counthand(hand, 3), 24);
}

TEST(TwentyOne, DealerDrawsByHisRule) {
    struct {
        const char *what;
        std::initializer_list<int32> cards; // the player's `yours` cards, then the dealer's
        int32 yours;
        int32 dealer;
    } cases[] = {
        {"jack and seven: stands on 17", {2, 3, 11, 7, 5}, 2, 17},
        {"jack and six: draws on from 16", {2, 3, 11, 6, 5}, 2, 21},
        {"jack, six, nine: over 21 without an ace", {2, 3, 11, 6, 9, 2}, 2, 25},
        {"ace, five, jack: 26 turned to 16, draws again", {2, 3, 1, 5, 11, 3}, 2, 19},
        {"ace and six: stands on 17", {2, 3, 1, 6, 13, 4}, 2, 17},
        {"king, six, ace: 27 turned to 17, draws again untested", {2, 3, 13, 6, 1, 4}, 2, 21},
        {"king, six, ace, nine: the untested 17 goes over", {2, 3, 13, 6, 1, 9}, 2, 26},
        {"two aces: 22 turned to 12", {2, 3, 1, 1, 9}, 2, 21},
        {"ace and king: 21", {2, 3, 1, 13, 5}, 2, 21},
        {"stops after seven cards", {2, 3, 2, 2, 2, 2, 2, 2, 2, 3}, 2, 14},
        {"draws after the player's last card", {2, 3, 4, 10, 8, 5}, 3, 18},
    };
    for (const auto &c : cases) EXPECT_EQ(dealerturn(values(c.cards), c.yours), c.dealer) << c.what;
}

TEST(TwentyOne, Settles) {
    struct {
        int32 player, dealer;
        outcome result;
    } cases[] = {
        {21, 20, outcome::win},  {20, 21, outcome::lose}, {21, 21, outcome::draw},
        {18, 18, outcome::draw}, {20, 22, outcome::win},  {21, 26, outcome::win},
        {22, 17, outcome::lose}, {30, 21, outcome::lose}, {22, 25, outcome::draw},
        {26, 22, outcome::draw},
    };
    for (const auto &c : cases)
        EXPECT_EQ(settle(c.player, c.dealer), c.result) << c.player << " against " << c.dealer;
}

// [SECTION] Pages ---------------------------------------------------------------------------------

// clang-format off
const lines dealer_back = {
    "                        DEALER",
    "                      ---    ---",
    "                     |   |  |   |",
    "                     |   |  |   |",
    "                      ---    ---",
};
// clang-format on

// The player's turn with the four lines of the hand `hand`.
lines turnpage(const lines &hand, bool seven) {
    return cat({empty(4),
                dealer_back,
                empty(4),
                {"                       YOUR HAND"},
                empty(2),
                hand,
                empty(2),
                seven ? cat({{"      PRESS ENTER"}, empty(3)})
                      : cat({{"      1) HIT", "      2) STAND"}, empty(2)})});
}

lines settlepage(const std::string &scores, const std::string &result) {
    return cat(
        {empty(10),
         {"             Your Score                             Dealer's Score", scores, result},
         empty(10)});
}

TEST(TwentyOnePage, HitsStandsAndSettles) {
    // Ace of hearts and king of spades, the ten of diamonds on the hit; the dealer gets the
    // jack of clubs and a seven.
    const deck d = dealt({{1, 1}, {13, 4}, {10, 2}, {11, 3}, {7, 1}, {5, 1}});
    stats_rec stats;
    stats.money = 100;
    const lines two = {
        "                     ---     ---",
        "                    | A |   | K |",
        "                    | ♥ |   | ♠ |",
        "                     ---     ---",
    };
    const lines three = {
        "                     ---     ---     ---",
        "                    | A |   | K |   | 10|",
        "                    | ♥ |   | ♠ |   | ♦ |",
        "                     ---     ---     ---",
    };
    const lines expected =
        cat({turnpage(two, false),
             turnpage(three, false),
             turnpage(three, false),
             settlepage("                 21                                       17",
                        "                                YOU WIN!"),
             {""}});
    EXPECT_EQ(run("1x2 ", [&] { twenone(stats, 50, d); }), expected);
    EXPECT_EQ(stats.money, 150);
}

TEST(TwentyOnePage, SevenCardsEndTheTurnAndALossGoesBelowZero) {
    const deck d = dealt({{2, 1},
                          {3, 2},
                          {2, 3},
                          {3, 4},
                          {1, 1},
                          {4, 2},
                          {12, 3}, // the hand
                          {10, 4},
                          {9, 1}}); // the dealer
    stats_rec stats;
    stats.money = 20;
    const lines got = run("11111z ", [&] { twenone(stats, 50, d); });
    const lines seven = {
        "                     ---     ---     ---     ---     ---     ---     ---",
        "                    | 2 |   | 3 |   | 2 |   | 3 |   | A |   | 4 |   | Q |",
        "                    | ♥ |   | ♦ |   | ♣ |   | ♠ |   | ♥ |   | ♦ |   | ♣ |",
        "                     ---     ---     ---     ---     ---     ---     ---",
    };
    // 2+3+2+3+11+4+10 = 35, the ace turned: 25 against the dealer's 19.
    const lines tail =
        cat({turnpage(seven, true),
             settlepage("                 25                                       19",
                        "                                YOU LOSE"),
             {""}});
    ASSERT_GE(got.size(), tail.size());
    EXPECT_EQ(lines(got.end() - static_cast<long>(tail.size()), got.end()), tail);
    EXPECT_EQ(stats.money, -30);
    for (const std::string &l : got) EXPECT_LE(columns(l), 80u) << l;
}

TEST(TwentyOnePage, BothOverIsADraw) {
    const deck d = values({10, 12, 5, 10, 6, 9});
    stats_rec stats;
    stats.money = 40;
    const lines got = run("12 ", [&] { twenone(stats, 25, d); });
    EXPECT_EQ(lines(got.end() - 13, got.end() - 11),
              (lines{"                 25                                       25",
                     "                                  DRAW"}));
    EXPECT_EQ(stats.money, 40);
}

lines wagerpage(const std::string &money) {
    return cat({empty(3),
                {
                    "                         ___     __",
                    "                        |__ \\   /_ |",
                    "                           ) |   | |",
                    "                          / /    | |",
                    "                         / /     | |",
                    "                        / /___ __| |__",
                    "                       (_____| |_____|            MONEY : $" + money,
                },
                empty(3),
                {"            How much would you like to wager?"},
                empty(1),
                {"            1) $10", "            2) $25", "            3) $50"},
                empty(1),
                {"            0) EXIT"},
                empty(5)});
}

TEST(TwentyOnePage, WagerMenuRedrawsOnUnknownKeysAndLeavesOnZero) {
    stats_rec stats;
    stats.money = -30;
    EXPECT_EQ(run("x40", [&] { twenonebet(stats); }),
              cat({wagerpage("-30"), wagerpage("-30"), wagerpage("-30"), {""}}));
}

TEST(TwentyOnePage, EachBetKeyPlaysAHandForItsStake) {
    const std::pair<char, int32> bets[] = {{'1', 10}, {'2', 25}, {'3', 50}};
    for (auto [k, cash] : bets) {
        // A clock reading whose deal, standing on two cards, is not a draw.
        std::int64_t reading = 1;
        outcome o = outcome::draw;
        for (;; ++reading) {
            fixed_clock clock(reading);
            const deck d = randdeck();
            o = settle(counthand(d, 2), dealerturn(d, 2));
            if (o != outcome::draw) break;
        }
        fixed_clock clock(reading);
        stats_rec stats;
        stats.money = 500;
        usescript(std::string{k, '2', ' ', '0'}); // bet, stand, settle, leave
        twenonebet(stats);
        EXPECT_EQ(stats.money, o == outcome::win ? 500 + cash : 500 - cash) << "key " << k;
    }
}

// [SECTION] The lobby ----------------------------------------------------------------------------

const lines lobby =
    cat({empty(5),
         {"                        WELCOME TO THE MONEY CLUB"},
         empty(5),
         {"    Which game would you like to play?"},
         empty(2),
         {"    1) 21", "    2) Mathematical Slot Machine", "    3) Computer Hangman"},
         empty(1),
         {"    0) EXIT"},
         empty(5)});

TEST(Lobby, RedrawsOnUnknownKeysAndLeavesOnZero) {
    stats_rec stats;
    usescript("a90");
    loadcasino(stats); // returns: no key is left unread
    EXPECT_EQ(splitlines(transcript()), cat({lobby, lobby, lobby, {""}}));
}

TEST(Lobby, OpensEachGameAndComesBack) {
    stats_rec stats;
    stats.money = 500;
    // 21 and back; the slots, their instructions and back; hangman and back; leave.
    usescript("10"
              "20x"
              "30"
              "0");
    loadcasino(stats);
    const lines got = splitlines(transcript());
    auto has = [&](const std::string &line) {
        return std::find(got.begin(), got.end(), line) != got.end();
    };
    EXPECT_TRUE(has("                       (_____| |_____|            MONEY : $500"));
    EXPECT_TRUE(has("            How much would you like to wager?         MONEY : $500"));
    EXPECT_TRUE(has("        OBJECT : "));
    EXPECT_TRUE(has("                                                     MONEY = $500"));
    EXPECT_EQ(
        std::count(got.begin(), got.end(), "                        WELCOME TO THE MONEY CLUB"), 4);
    EXPECT_EQ(stats.money, 500);
    for (const std::string &l : got) EXPECT_LE(columns(l), 80u) << l;
}

TEST(Lobby, ALongRandomKeyStreamKeepsEveryLineOnTheScreen) {
    stepping_clock clock(99);
    std::mt19937 gen(7);
    const std::string_view keyset = "0123456789 abegnorstxzAEZ\x1b\n";
    std::string keys;
    for (int i = 0; i < 20000; ++i) keys += keyset[gen() % keyset.size()];
    stats_rec stats;
    stats.money = 500;
    const lines got = run(keys, [&] {
        for (;;) loadcasino(stats); // back in at once after every exit
    });
    for (const std::string &l : got) ASSERT_LE(columns(l), 80u) << l;
}

} // namespace
