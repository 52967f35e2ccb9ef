// The in-place console in a pseudo-terminal, read through a terminal emulator: the screen shows
// the 80x25 console the pages were laid out for, on every size of terminal, and every way out
// gives the player's shell back as it was.
#include "pty.hpp"

#include "core/console.hpp"
#include "core/terminal.hpp"
#include "core/textconsole.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/wait.h>

namespace {

// The characters of UTF-8 text.
std::u32string decoded(std::string_view text) {
    std::u32string chars;
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t c = extra ? b & (0x3F >> extra) : b;
        for (int k = 1; k <= extra; ++k) c = (c << 6) | (text[i + k] & 0x3F);
        i += extra + 1;
        chars += c;
    }
    return chars;
}

// The codes of a scripted transcript (its glyphs read back; a blank is code 32).
std::string codesof(std::string_view shown) {
    std::string codes;
    for (char32_t c : decoded(shown)) {
        auto from = cp437.begin() + (c == U' ' ? ' ' : 0); // code 0 shows as a blank too
        codes += static_cast<char>(std::find(from, cp437.end(), c) - cp437.begin());
    }
    return codes;
}

// What a terminal of `rows` rows shows after the game has read each step's keys in turn: the
// console's rows from the one the rule picks, blank below the 25th. A step that ends a line is
// echoed after the page it answers, as the game shows it: its characters, then the line end.
std::string expected(const std::vector<std::string> &steps, int rows) {
    text_console con;
    std::string keys, before;
    for (std::size_t i = 0; i <= steps.size(); ++i) {
        std::string out = scriptedgame(keys);
        consoleput(con, codesof(std::string_view(out).substr(before.size())));
        before = out;
        if (i == steps.size()) break;
        const std::string &step = steps[i];
        keys += step;
        if (step.empty() || step.back() != '\n') continue;
        for (char c : step)
            if (c >= ' ' || c == '\n') consoleput(con, std::string_view(&c, 1));
    }
    std::string s;
    for (int r = 0; r < rows; ++r) {
        int at = firstrow(con, rows) + r;
        if (at < console_rows) {
            usescript("");
            put(rowtext(con.line(at)));
            s += transcript();
        }
        s += '\n';
    }
    return s;
}

const std::string opening = "\n\n\n\n\n"; // the five pages of the introduction

// Sends each step's keys and waits for the screen the scripted game shows after them; `done`
// are the steps sent before.
void play(pty_game &game, const std::vector<std::string> &steps, int rows,
          std::vector<std::string> done = {}) {
    for (const std::string &step : steps) {
        done.push_back(step);
        game.send(step);
        std::string want = expected(done, rows);
        ASSERT_TRUE(game.waituntil([&] { return game.shown() == want; }))
            << "after " << testing::PrintToString(done) << " it should show:\n"
            << want;
    }
}

TEST(Screen, EachSizeShowsTheConsoleWithTheRowsThatMatter) {
    struct sizecase {
        int rows, cols;
    };
    for (sizecase size : {sizecase{24, 80}, sizecase{25, 80}, sizecase{40, 100}}) {
        SCOPED_TRACE(testing::Message() << size.cols << "x" << size.rows);
        pty_game game(tempdir(), {.args = {}, .rows = size.rows, .cols = size.cols});
        play(game, {"", "\n", "\n", "\n", "\n", "\n", "2\n", "\n"}, size.rows);
        std::vector<std::string> rows = game.screen();
        EXPECT_EQ(rows[0], "Vek") << "the map frame's name line";
        EXPECT_TRUE(game.altscreen);
        EXPECT_EQ(game.shown().find("orbridden"), std::string::npos) << "the shell shows through";
    }
}

TEST(Screen, AFightOnTwentyFourRowsShowsItsTopBorder) {
    pty_game game(tempdir());
    play(game, {"", "\n", "\n", "\n", "\n", "\n", "2\n", "\n"}, 24);
    // From the home town's middle to the forest west of it.
    game.send(std::string(20, '4') + std::string(6, '8') + std::string(22, '4'));
    ASSERT_TRUE(game.waitscreen("\u2663\u2663\u2663"));
    // Back and forth at its edge until a creature comes; each Ctrl-L draws the whole screen
    // again, telling when both steps are taken.
    bool announced = false;
    for (int tries = 0; tries < 1000 && !announced; ++tries) {
        game.scribble("\x1b[2J");
        game.send("46\x0c");
        ASSERT_TRUE(game.waituntil([&] {
            std::string s = game.shown();
            announced = s.find("PRESS ENTER") != std::string::npos;
            return announced || s.find("Points") != std::string::npos;
        }));
    }
    ASSERT_TRUE(announced);
    game.send("\n");
    // The fight screen arrives in pieces through the terminal: wait for all of it.
    const std::string border(78, '-');
    EXPECT_TRUE(game.waituntil([&] {
        std::vector<std::string> rows = game.screen();
        return game.shown().find("0) View Menu") != std::string::npos && rows[0] == border &&
               rows[1].substr(0, 3) == "|  " && rows[23] == border;
    })) << game.shown();
}

TEST(Screen, OnTwentyFourRowsTheWaitingRowShows) {
    text_console con;
    consoleput(con, std::string(24, '\n') + "PRESS ENTER");
    EXPECT_EQ(firstrow(con, 24), 1);
    EXPECT_EQ(firstrow(con, 25), 0);
    consoleput(con, "\n");
    EXPECT_EQ(firstrow(con, 24), 0) << "the cursor's row 25 is blank";
}

TEST(Screen, ATooSmallTerminalShowsANoticeAndTakesNoKeyUntilItGrows) {
    pty_game game(tempdir(), {.args = {}, .rows = 20, .cols = 60});
    ASSERT_TRUE(game.waitscreen("this one is 60 x 20."));
    EXPECT_NE(game.shown().find("at least 80 x 24"), std::string::npos);
    // An Enter typed blind is no key for the game. The game is held while it is typed, so that
    // the test knows when it has reached the game's input, then let go to take it: all before
    // the terminal grows, so that it cannot reach the game late.
    kill(game.game, SIGSTOP);
    ASSERT_TRUE(game.waitstopped());
    game.send("\n");
    ASSERT_TRUE(game.waitunread(1));
    game.resume();
    ASSERT_TRUE(game.waitunread(0));
    game.resize(30, 70);
    ASSERT_TRUE(game.waitscreen("this one is 70 x 30."));
    game.resize(24, 80);
    play(game, {""}, 24);
    // The Enter typed at the notice did not turn the page: one Enter now shows page 2, and a
    // Ctrl-L after it draws page 2 again.
    play(game, {"\n"}, 24, {""});
    game.scribble("\x1b[2J");
    game.send("\x0c");
    std::string page2 = expected({"", "\n"}, 24);
    EXPECT_TRUE(game.waituntil([&] { return game.shown() == page2; }));
}

TEST(Screen, CtrlZStopsOnTheShellsScreenAndFgDrawsTheGameAgain) {
    pty_game game(tempdir());
    const termios before = game.initial; // read before the game could change them
    play(game, {"", "\n"}, 24);
    game.send("\x1a");
    ASSERT_TRUE(game.waitstopped());
    game.drain();
    EXPECT_FALSE(game.altscreen);
    EXPECT_EQ(game.screen()[0], "$ orbridden");
    EXPECT_TRUE(samesettings(before, game.settings()));
    game.resume();
    std::string page2 = expected({"", "\n"}, 24);
    EXPECT_TRUE(game.waituntil([&] { return game.shown() == page2; }));
    EXPECT_TRUE(game.altscreen);
    play(game, {"\n"}, 24, {"", "\n"}); // and it goes on
}

TEST(Screen, CtrlLDrawsTheScreenAgainAndIsNoKey) {
    pty_game game(tempdir());
    play(game, {""}, 24);
    game.scribble("\x1b[2Jscribbled by another program");
    game.send("\x0c");
    std::string page1 = expected({""}, 24);
    ASSERT_TRUE(game.waituntil([&] { return game.shown() == page1; }));
    // In the name, too, Ctrl-L is no character.
    play(game, {"\n", "\n", "\n", "\n", "\n", "3\n"}, 24, {""});
    game.send("a\x0c"
              "bc\n");
    EXPECT_TRUE(game.waitscreen("Now to adjust your stats abc."));
}

TEST(Screen, TheNameShowsAsTypedAndBackspaceErases) {
    pty_game game(tempdir());
    play(game, {""}, 24);
    game.send(opening);
    ASSERT_TRUE(game.waitscreen("CHOICE  :"));
    game.send("3");
    ASSERT_TRUE(game.waitscreen("CHOICE  : 3\n"));
    game.send("\n");
    ASSERT_TRUE(game.waitscreen("Enter your three letter name  :"));
    game.send("ab");
    ASSERT_TRUE(game.waitscreen("three letter name  : ab\n"));
    game.send("\x7f");
    ASSERT_TRUE(game.waitscreen("three letter name  : a\n"));
    game.send("xy\n");
    EXPECT_TRUE(game.waitscreen("Now to adjust your stats axy."));
}

TEST(Screen, TheNameTakesKeysNotBytes) {
    pty_game game(tempdir());
    play(game, {""}, 24);
    game.send(opening + "3\n");
    ASSERT_TRUE(game.waitscreen("Enter your three letter name  :"));
    game.send("Z\xc3\xb6");
    ASSERT_TRUE(game.waitscreen("three letter name  : Z?\n")) << "one letter, one '?'";
    game.send("\x1b[D"
              "k");
    ASSERT_TRUE(game.waitscreen("three letter name  : Z?k\n")) << "an arrow shows nothing";
    game.send("\xc3\xa4\x7f\n"); // one Backspace takes a letter back whole
    EXPECT_TRUE(game.waitscreen("Now to adjust your stats Z?k."));
}

// What a terminal's line-drawing set (DEC special graphics) shows, as the terminal emulator
// reads it (its ≤ and ≥ slanted).
constexpr std::u32string_view line_drawing = U"◆▒°±┘┐┌└┼⎺⎻─⎼⎽├┤┴┬│⩽⩾π≠£·";

// Whether a terminal without UTF-8 shows `glyph` rightly as `shown`: ASCII as it is, any other
// glyph as its look-alike or as a character of the terminal's line-drawing set.
bool showsas(char32_t glyph, char32_t shown) {
    if (glyph < 0x80) return shown == glyph;
    if (line_drawing.find(shown) != std::u32string_view::npos) return true;
    const auto code =
        static_cast<std::size_t>(std::find(cp437.begin(), cp437.end(), glyph) - cp437.begin());
    return code < cp437.size() && shown == static_cast<char32_t>(cp437_ascii[code]);
}

// The screen's rows as characters, each 80 cells wide.
std::vector<std::u32string> cells(const pty_game &game) {
    std::vector<std::u32string> rows;
    for (const std::string &row : game.screen()) {
        std::u32string r = decoded(row);
        r.resize(console_cols, U' ');
        rows.push_back(r);
    }
    return rows;
}

TEST(Screen, WithoutUtf8EveryGlyphIsLineDrawingOrItsLookAlike) {
    // Every code but the bell and the line end, 32 to a row.
    pty_game game(tempdir(), {.utf8 = false, .run = [] {
                                  terminal_session terminal;
                                  if (!usescreen()) _exit(3);
                                  for (int row = 0; row < 8; ++row) {
                                      std::string codes;
                                      for (int code = row * 32; code < row * 32 + 32; ++code)
                                          codes += code == 7 || code == 10 ? ' ' : char(code);
                                      putline(codes);
                                  }
                                  key();
                              }});
    std::string wrong;
    EXPECT_TRUE(game.waituntil([&] {
        const std::vector<std::u32string> rows = cells(game);
        wrong.clear();
        for (int code = 0; code < 256; ++code) {
            const char32_t glyph = code == 7 || code == 10 ? U' ' : cp437[code];
            const char32_t shown = rows[code / 32][code % 32];
            // The box's lines and joints are all in the terminal's set (xterm has every one).
            const bool box = glyph >= U'\u2500' && glyph <= U'\u257F';
            if (!showsas(glyph, shown) || (box && (shown < U'\u2500' || shown > U'\u257F')))
                wrong += " " + std::to_string(code);
        }
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (r >= 8 && rows[r] != std::u32string(console_cols, U' '))
                wrong += " row " + std::to_string(r);
        return wrong.empty();
    })) << "codes shown wrong:"
        << wrong;
    game.send("x");
}

TEST(Screen, WithoutUtf8TheWorldsMapKeepsItsColumns) {
    pty_game game(tempdir(), {.utf8 = false});
    // On to the town, the game menu and the world's map, whose forest is drawn in ♣.
    const std::vector<std::string> steps = {"",   "\n",  "\n", "\n", "\n",
                                            "\n", "2\n", "\n", "0",  "1"};
    std::vector<std::string> done;
    for (const std::string &step : steps) {
        done.push_back(step);
        game.send(step);
        const std::u32string want = decoded(expected(done, 24));
        ASSERT_TRUE(game.waituntil([&] {
            std::u32string shown;
            for (const std::string &row : game.screen()) shown += decoded(row) + U'\n';
            if (shown.size() != want.size()) return false;
            for (std::size_t i = 0; i < want.size(); ++i)
                if (!showsas(want[i], shown[i])) return false;
            return true;
        })) << "after "
            << testing::PrintToString(done);
    }
    EXPECT_NE(game.shown().find("*****"), std::string::npos) << "the forest in look-alikes";
}

TEST(Screen, NothingTypedShowsUnderPressEnter) {
    pty_game game(tempdir());
    play(game, {""}, 24);
    game.send("111");
    game.scribble("\x1b[2J");
    game.send("\x0c"); // the drawing after the three keys
    std::string page1 = expected({""}, 24);
    EXPECT_TRUE(game.waituntil([&] { return game.shown() == page1; }));
    play(game, {"\n"}, 24, {""});
}

TEST(Screen, TheNormalEndLeavesTheLastPageOnTheNormalScreen) {
    pty_game game(tempdir(), {.args = {}, .run = [] {
                                  terminal_session terminal;
                                  if (!usescreen()) _exit(3);
                                  newlines(30);
                                  putline("          Final score: 1234");
                                  putline("                                 THE END");
                                  key(); // the page shows in place until a key
                                  closeconsole();
                              }});
    ASSERT_TRUE(game.waitscreen("THE END"));
    EXPECT_TRUE(game.altscreen);
    game.send("x");
    int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(game.altscreen);
    std::vector<std::string> rows = game.screen();
    EXPECT_EQ(rows[0], "$ orbridden");
    EXPECT_EQ(rows[1], "          Final score: 1234");
    EXPECT_EQ(rows[2], "                                 THE END");
    EXPECT_EQ(rows[3], "");
}

struct wayout {
    const char *name;
    const char *keys; // typed, or
    int sig;          // sent to the game
    int status;       // the signal that ends it, or 0 for a plain exit
    friend void PrintTo(const wayout &w, std::ostream *os) { *os << w.name; }
};

class WaysOut : public testing::TestWithParam<wayout> {};

TEST_P(WaysOut, GiveTheShellsScreenAndSettingsBack) {
    const wayout &w = GetParam();
    pty_game game(tempdir());
    const termios before = game.initial; // read before the game could change them
    play(game, {""}, 24);
    ASSERT_TRUE(game.altscreen);
    if (w.sig)
        kill(game.game, w.sig);
    else
        game.send(w.keys);
    int status = game.finish();
    if (w.status)
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == w.status) << status;
    else
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(game.altscreen);
    EXPECT_TRUE(game.cursorvisible);
    EXPECT_EQ(game.screen()[0], "$ orbridden");
    EXPECT_TRUE(samesettings(before, game.settings()));
}

INSTANTIATE_TEST_SUITE_P(
    Screen, WaysOut,
    testing::Values(wayout{"CtrlC", "\x03", 0, SIGINT}, wayout{"CtrlD", "\x04", 0, 0},
                    wayout{"Term", "", SIGTERM, SIGTERM}, wayout{"Hup", "", SIGHUP, SIGHUP},
                    wayout{"Quit", "", SIGQUIT, SIGQUIT}, wayout{"Ill", "", SIGILL, SIGILL},
                    wayout{"Usr1", "", SIGUSR1, SIGUSR1}, wayout{"Usr2", "", SIGUSR2, SIGUSR2},
                    wayout{"Alrm", "", SIGALRM, SIGALRM},
                    wayout{"Vtalrm", "", SIGVTALRM, SIGVTALRM},
                    wayout{"Prof", "", SIGPROF, SIGPROF}, wayout{"Xcpu", "", SIGXCPU, SIGXCPU},
                    wayout{"Trap", "", SIGTRAP, SIGTRAP}, wayout{"Sys", "", SIGSYS, SIGSYS},
                    wayout{"Pwr", "", SIGPWR, SIGPWR}, wayout{"Stkflt", "", SIGSTKFLT, SIGSTKFLT},
                    wayout{"Io", "", SIGIO, SIGIO}, wayout{"Rtmin", "", SIGRTMIN, SIGRTMIN}),
    [](const testing::TestParamInfo<wayout> &info) { return std::string(info.param.name); });

TEST(Screen, UnknownTerminalsGetThePlainStream) {
    for (const char *term : {"dumb", ""}) {
        SCOPED_TRACE(term);
        pty_game game(tempdir(), {.args = {}, .term = term});
        game.waitfor("PRESS ENTER");
        EXPECT_FALSE(game.altscreen);
    }
}

} // namespace
