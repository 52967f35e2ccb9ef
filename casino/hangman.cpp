// Hangman: the wager menu, the hundred words, guessing letters against the gallows, and the
// freed prisoner or the gravestone at the end.
#include "casino/casino.hpp"
#include "casino/page.hpp"
#include "core/console.hpp"
#include "core/menuloop.hpp"
#include "core/random.hpp"

#include <algorithm>
#include <iterator>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] The words
// ---------------------------------------------------------------------------------------------

// Index 1 is the first word; every word has 6 to 10 lower-case letters.
constexpr std::string_view word_list[] = {
    "program",    "graphics",  "hardware",   "software",   "analog",    "digital",   "megabyte",
    "gigabyte",   "terabyte",  "monitor",    "printer",    "wireframe", "multitask", "language",
    "compiler",   "source",    "assembly",   "machine",    "database",  "processor", "network",
    "memory",     "pipeline",  "address",    "pointer",    "register",  "algorithm", "system",
    "interface",  "package",   "library",    "generator",  "storage",   "operator",  "protocol",
    "prototype",  "assembler", "assignment", "statement",  "keyboard",  "attribute", "backspace",
    "return",     "function",  "procedure",  "delete",     "filter",    "backup",    "terminal",
    "compatible", "string",    "integer",    "binary",     "bipolar",   "circuit",   "expression",
    "boolean",    "bootstrap", "broadband",  "router",     "buffer",    "browse",    "reference",
    "routine",    "cartridge", "frequency",  "carriage",   "clipboard", "cluster",   "command",
    "comment",    "server",    "compressor", "microfilm",  "constant",  "variable",  "corruption",
    "counter",    "emulation", "ethernet",   "transistor", "truncate",  "document",  "window",
    "matrix",     "offset",    "floppy",     "microchip",  "mapping",   "mantissa",  "magnetic",
    "resolution", "laptop",    "stream",     "interrupt",  "output",    "utility",   "increment",
    "implement",  "hypertext",
};
static_assert(std::size(word_list) == static_cast<std::size_t>(word_table::size()),
              "one word for each index of the table");

consteval bool wordsfit() {
    for (std::string_view w : word_list) {
        if (w.size() < 6 || w.size() > 10) return false;
        for (char c : w)
            if (c < 'a' || c > 'z') return false;
    }
    return true;
}
static_assert(wordsfit(), "every word has 6 to 10 lower-case letters");

// ---------------------------------------------------------------------------------------------
// [SECTION] Pages
// ---------------------------------------------------------------------------------------------

// clang-format off
constexpr std::string_view help_me[] = {
    "                                HELP ME!!!",
    "                                   /",
    "                               \\O/",
    "                                |",
    "                               / \\",
};
// clang-format on

// The gallows' changing lines, by the number of wrong letters.
constexpr std::string_view gallows_head[] = {
    "                                 |       ",
    "                                 |  O      ",
};
constexpr std::string_view gallows_body[] = {
    "                                 |         ",  // 0 wrong
    "                                 |         ",  // 1
    "                                 |  |     ",   // 2
    "                                 |  |\\    ",  // 3
    "                                 | /|\\     ", // 4 and 5
};
constexpr std::string_view gallows_leg[] = {
    "                                 |      ",
    "                                 |   \\    ",
};

// clang-format off
constexpr std::string_view freed[] = {
    "                         THANK YOU!!!",
    "                            /",
    "                        \\O",
    "                         |\\",
    "                        / \\",
};
// clang-format on

// clang-format off
constexpr std::string_view gravestone[] = {
    "           __________________",
    "          |   |              |",
    "          |   | RRR IIII PPP |",
    "          |   | R R  II  P P |",
    "          |   | RR   II  PP  |",
    "          |   | R R IIII P   |",
    "          |   |              |",
    "          |   |   YOU LOSE   |",
    "          |   |              |",
};
// clang-format on

void drawgame(const hangman_game &game) {
    if (game.invalid) {
        newlines(2);
        putline("       INVALID ENTRY");
        newlines(2);
    } else {
        newlines(5);
    }
    putline("                                 ___       ");
    putline(gallows_head[game.wrong >= 1]);
    putline(gallows_body[std::min(game.wrong, 4)]);
    putline(gallows_leg[game.wrong >= 5]);
    putline("                                {^}   ");

    newlines(3);
    blanks(30);
    for (int i = 0; i < game.lt; ++i) {
        put(' ');
        put(game.tempstr[i] == '\0' ? '_' : game.tempstr[i]);
    }
    newlines(1 + 5); // the line's end, then 5 blank lines
    for (char entry : game.board) {
        put(' ');
        put(entry);
        put(' ');
    }
    newlines(1 + 7);
    put("Enter a letter  : ");
}

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The rules
// ---------------------------------------------------------------------------------------------

void setwords(word_table &words) {
    for (int i = 1; i <= word_table::size(); ++i) words[i] = padded<10>(word_list[i - 1]);
}

hangman_game newgame(const text<10> &ourword) {
    hangman_game game;
    game.ourword = ourword;
    game.tempstr.fill('\0');
    for (int i = 0; i < 26; ++i) game.board[i] = static_cast<char>('a' + i);
    // The blank tail is shown as found from the start; the word ends before its first blank.
    game.lt = 10;
    for (int position = 10; position >= 1; --position) {
        if (ourword[position - 1] == ' ') {
            game.tempstr[position - 1] = ' ';
            game.lt = position - 1;
        }
    }
    return game;
}

void guess(hangman_game &game, char c) {
    game.invalid = false; // the last refusal has been shown by now
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c < 'a' || c > 'z') {
        game.invalid = true;
        return;
    }
    bool uncovered = false;
    for (int i = 0; i < 10; ++i)
        if (game.ourword[i] == c) {
            game.tempstr[i] = c;
            uncovered = true;
        }
    char &entry = game.board[c - 'a'];
    if (entry == '-')
        game.invalid = true; // guessed before: costs nothing
    else
        entry = '-';
    if (!uncovered && !game.invalid) ++game.wrong; // a letter the word lacks costs a limb
}

bool playing(const hangman_game &game) {
    return game.tempstr != game.ourword && game.wrong != 6;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The game and the wager menu
// ---------------------------------------------------------------------------------------------

void hanggame(stats_rec &stats, int32 wager, int32 index) {
    word_table words;
    setwords(words);
    hangman_game game = newgame(words[index]);
    while (playing(game)) {
        drawgame(game);
        guess(game, key());
    }

    newlines(13);
    if (game.wrong < 6) {
        stats.money += wager;
        putlines(freed);
        newlines(5);
        pressenterat(57);
        newlines(1);
    } else {
        stats.money -= wager;
        putlines(gravestone);
        put("          |   |  ");
        put(view(game.ourword));
        putline("  |");
        putline("          |   |              |                           PRESS ENTER");
    }
    newlines(1);
    key();
}

void hang(stats_rec &stats) {
    menuloop(
        [&] {
            newlines(5);
            putlines(help_me);
            newlines(1);
            putwager("                                                     MONEY = $", stats.money,
                     "         How much you like to wager?", 9, 4);
        },
        [&](char k) {
            const int32 wager = betfor(k);
            // Unlike the other games, hangman takes no bet above the money held.
            if (wager != 0 && wager <= stats.money) hanggame(stats, wager, fightrandom());
            return false;
        });
}
