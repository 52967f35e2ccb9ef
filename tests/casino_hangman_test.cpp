// Hangman: the word table, guesses as a table of cases, the pages of a won and a lost game,
// and the wager menu that refuses a bet above the money held.
#include "casino/casino.hpp"
#include "casino_pages.hpp"
#include "core/random.hpp"

#include <gtest/gtest.h>

namespace {

text<10> wordat(int index) {
    word_table words;
    setwords(words);
    return words[index];
}

// The places as the player sees them: the found letters, "_" where one is still hidden.
std::string places(const hangman_game &game) {
    std::string s;
    for (int i = 0; i < game.lt; ++i) s += game.tempstr[i] == '\0' ? '_' : game.tempstr[i];
    return s;
}

TEST(Hangman, WordTableHoldsTheHundredWordsPadded) {
    word_table words;
    setwords(words);
    EXPECT_EQ(view(words[1]), "program   ");
    EXPECT_EQ(view(words[5]), "analog    ");
    EXPECT_EQ(view(words[38]), "assignment");
    EXPECT_EQ(view(words[100]), "hypertext ");
}

TEST(Hangman, ANewGameKnowsTheLengthAndShowsTheBlankTail) {
    const hangman_game six = newgame(padded<10>("analog"));
    EXPECT_EQ(six.lt, 6);
    EXPECT_EQ(places(six), "______");
    EXPECT_EQ(std::string(six.tempstr.begin() + 6, six.tempstr.end()), "    ");
    EXPECT_EQ(six.wrong, 0);
    EXPECT_EQ(std::string(six.board.begin(), six.board.end()), "abcdefghijklmnopqrstuvwxyz");
    EXPECT_TRUE(playing(six));

    const hangman_game ten = newgame(padded<10>("assignment"));
    EXPECT_EQ(ten.lt, 10);
    EXPECT_EQ(places(ten), "__________");
}

TEST(Hangman, Guesses) {
    struct {
        const char *what;
        const char *word;
        const char *keys;
        const char *found;
        int32 wrong;
        bool invalid;
        bool goes_on;
    } cases[] = {
        {"upper case is lower case", "network", "E", "_e_____", 0, false, true},
        {"a double letter fills both places", "assignment", "s", "_ss_______", 0, false, true},
        {"both places of a letter, upper case", "hypertext", "T", "_____t__t", 0, false, true},
        {"a wrong letter costs one", "analog", "z", "______", 1, false, true},
        {"a wrong letter again costs nothing", "analog", "zz", "______", 1, true, true},
        {"a wrong letter in both cases", "analog", "zZ", "______", 1, true, true},
        {"a found letter again costs nothing", "analog", "aa", "a_a___", 0, true, true},
        {"a digit costs nothing", "analog", "5", "______", 0, true, true},
        {"an escape costs nothing", "analog", "\x1b", "______", 0, true, true},
        {"the next letter clears the refusal", "analog", "5b", "______", 1, false, true},
        {"five wrong letters go on", "analog", "bcdef", "______", 5, false, true},
        {"the sixth wrong letter ends it", "analog", "bcdefh", "______", 6, false, false},
        {"refusals do not count as wrong", "analog", "bb1cc2dd", "______", 3, true, true},
        {"the whole word ends it", "analog", "GOLAN", "analog", 0, false, false},
        {"a ten-letter word", "assignment", "asignmet", "assignment", 0, false, false},
    };
    for (const auto &c : cases) {
        hangman_game game = newgame(padded<10>(c.word));
        for (const char *k = c.keys; *k; ++k) guess(game, *k);
        EXPECT_EQ(places(game), c.found) << c.what;
        EXPECT_EQ(game.wrong, c.wrong) << c.what;
        EXPECT_EQ(game.invalid, c.invalid) << c.what;
        EXPECT_EQ(playing(game), c.goes_on) << c.what;
    }
}

TEST(Hangman, TheBoardMarksEveryGuessedLetterOnce) {
    hangman_game game = newgame(padded<10>("memory"));
    for (char k : std::string("Mz9m")) guess(game, k);
    EXPECT_EQ(std::string(game.board.begin(), game.board.end()), "abcdefghijkl-nopqrstuvwxy-");
}

// [SECTION] Pages ---------------------------------------------------------------------------------

// The gallows after `wrong` wrong letters.
std::string gallows(int wrong) {
    const char *head = wrong >= 1 ? "                                 |  O      \n"
                                  : "                                 |       \n";
    const char *body = wrong >= 4   ? "                                 | /|\\     \n"
                       : wrong == 3 ? "                                 |  |\\    \n"
                       : wrong == 2 ? "                                 |  |     \n"
                                    : "                                 |         \n";
    const char *leg = wrong >= 5 ? "                                 |   \\    \n"
                                 : "                                 |      \n";
    return std::string("                                 ___       \n") + head + body + leg +
           "                                {^}   \n";
}

// One drawing of a game: `shown` are the places, `guessed` the letters crossed off the board.
std::string guesspage(bool invalid, int wrong, std::string_view shown, std::string_view guessed) {
    std::string s = invalid ? "\n\n       INVALID ENTRY\n\n\n" : "\n\n\n\n\n";
    s += gallows(wrong) + "\n\n\n" + std::string(30, ' ');
    for (char c : shown) s += std::string(" ") + c;
    s += "\n\n\n\n\n\n";
    for (char c = 'a'; c <= 'z'; ++c)
        s += std::string(" ") + (guessed.find(c) != std::string_view::npos ? '-' : c) + " ";
    return s + "\n\n\n\n\n\n\n\nEnter a letter  : ";
}

const std::string won = std::string(13, '\n') +
                        "                         THANK YOU!!!\n"
                        "                            /\n"
                        "                        \\O\n"
                        "                         |\\\n"
                        "                        / \\\n" +
                        std::string(5, '\n') + std::string(57, ' ') + "PRESS ENTER\n\n";

std::string lost(std::string_view word10) {
    return std::string(13, '\n') +
           "           __________________\n"
           "          |   |              |\n"
           "          |   | RRR IIII PPP |\n"
           "          |   | R R  II  P P |\n"
           "          |   | RR   II  PP  |\n"
           "          |   | R R IIII P   |\n"
           "          |   |              |\n"
           "          |   |   YOU LOSE   |\n"
           "          |   |              |\n"
           "          |   |  " +
           std::string(word10) +
           "  |\n"
           "          |   |              |                           PRESS ENTER\n\n";
}

std::string transcriptof(std::string_view keys, auto routine) {
    usescript(keys);
    try {
        routine();
    } catch (const input_closed &) {
    }
    return transcript();
}

TEST(HangmanPage, AWonGame) {
    stats_rec stats;
    stats.money = 20;
    const std::string got = transcriptof("Az z5nlog ", [&] { hanggame(stats, 10, 5); }); // "analog"
    const std::string expected = guesspage(false, 0, "______", "") +                     //
                                 guesspage(false, 0, "a_a___", "a") +                    // both a's
                                 guesspage(false, 1, "a_a___", "az") +                   // wrong
                                 guesspage(true, 1, "a_a___", "az") +                    // z again
                                 guesspage(true, 1, "a_a___", "az") +                    // a digit
                                 guesspage(true, 1, "a_a___", "az") +                    // a blank
                                 guesspage(false, 1, "ana___", "anz") +                  //
                                 guesspage(false, 1, "anal__", "alnz") +                 //
                                 guesspage(false, 1, "analo_", "alnoz") +                //
                                 won;
    EXPECT_EQ(splitlines(got), splitlines(expected));
    EXPECT_EQ(stats.money, 30);
}

TEST(HangmanPage, ALostGameShowsEveryPartAndTheGravestone) {
    stats_rec stats;
    stats.money = 20;
    const std::string got =
        transcriptof("Sbcdfhk ", [&] { hanggame(stats, 10, 38); }); // "assignment"
    const std::string expected =
        guesspage(false, 0, "__________", "") + guesspage(false, 0, "_ss_______", "s") +
        guesspage(false, 1, "_ss_______", "bs") + guesspage(false, 2, "_ss_______", "bcs") +
        guesspage(false, 3, "_ss_______", "bcds") + guesspage(false, 4, "_ss_______", "bcdfs") +
        guesspage(false, 5, "_ss_______", "bcdfhs") + lost("assignment");
    EXPECT_EQ(splitlines(got), splitlines(expected));
    EXPECT_EQ(stats.money, 10);
    for (const std::string &l : splitlines(got)) EXPECT_LE(columns(l), 80u) << l;
}

TEST(HangmanPage, TheGravestoneShowsAShortWordPadded) {
    stats_rec stats;
    stats.money = 50;
    const std::string got = transcriptof("bcdefh ", [&] { hanggame(stats, 50, 5); });
    const std::string tail = lost("analog    ");
    ASSERT_GE(got.size(), tail.size());
    EXPECT_EQ(got.substr(got.size() - tail.size()), tail);
    EXPECT_EQ(stats.money, 0);
}

std::string menu(const std::string &money) {
    return std::string(5, '\n') +
           "                                HELP ME!!!\n"
           "                                   /\n"
           "                               \\O/\n"
           "                                |\n"
           "                               / \\\n"
           "\n"
           "                                                     MONEY = $" +
           money + "\n\n\n\n" +
           "         How much you like to wager?\n"
           "\n"
           "         1) $10\n"
           "         2) $25\n"
           "         3) $50\n"
           "\n"
           "         0) EXIT\n"
           "\n\n\n\n";
}

TEST(HangmanPage, RefusesABetAboveTheMoney) {
    fixed_clock clock(31337);
    const int32 index = fightrandom();
    const hangman_game game = newgame(wordat(index));

    stats_rec stats;
    stats.money = 20;
    // $50 and $25 are refused without a word, an unknown key redraws, $10 starts a game.
    const std::string got = transcriptof("32x1", [&] { hang(stats); });
    EXPECT_EQ(splitlines(got), splitlines(menu("20") + menu("20") + menu("20") + menu("20") +
                                          guesspage(false, 0, places(game), "")));
    EXPECT_EQ(stats.money, 20);
}

TEST(HangmanPage, NoBetAtAllWithMoneyBelowZero) {
    stats_rec stats;
    stats.money = -30;
    usescript("1230");
    hang(stats); // returns on the 0 with no game played
    EXPECT_EQ(transcript(), menu("-30") + menu("-30") + menu("-30") + menu("-30"));
}

TEST(HangmanPage, AGameFromTheMenuPaysTheBetAndTheMenuComesBack) {
    fixed_clock clock(2024);
    const text<10> word = wordat(fightrandom());
    stats_rec stats;
    stats.money = 25;
    const std::string keys = "2" + std::string(trimmed(word)) + " 0";
    usescript(keys);
    hang(stats);
    EXPECT_EQ(stats.money, 50);
    const std::string got = transcript();
    EXPECT_EQ(got.substr(got.size() - menu("50").size()), menu("50"));
    EXPECT_NE(got.find(won), std::string::npos);
}

} // namespace
