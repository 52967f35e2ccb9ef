// The in-place console in a pseudo-terminal, read through a terminal emulator: the screen shows
// the 80x25 console the pages were laid out for, on every size of terminal, and every way out
// gives the player's shell back as it was.
#include "pty.hpp"

#include "core/console.hpp"
#include "core/textconsole.hpp"
#include "tty/terminal.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/ioctl.h>
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

// The normal end prints the last page on the normal screen: after the shell's lines where the
// terminal has an alternate screen, and alone on a cleared screen where it has none (linux,
// vt100), nothing of the game's earlier frames left under it.
TEST(Screen, TheNormalEndLeavesTheLastPageOnTheNormalScreen) {
    const std::string score = "          Final score: 1234", end = "           THE END";
    struct endcase {
        const char *term;
        std::vector<std::string> rows; // the screen's first rows; the rest are blank
    };
    for (const endcase &e : {endcase{"xterm-256color", {"$ orbridden", score, end}},
                             endcase{"vt100", {score, end}}, endcase{"linux", {score, end}}}) {
        SCOPED_TRACE(e.term);
        pty_game game(tempdir(), {.args = {}, .term = e.term, .run = [&] {
                                      terminal_session terminal;
                                      if (!usescreen()) _exit(3);
                                      for (int r = 0; r < console_rows; ++r)
                                          putline("an earlier frame");
                                      key();
                                      newlines(30);
                                      putline(score);
                                      putline(end);
                                      key(); // the page shows in place until a key
                                      closeconsole();
                                  }});
        ASSERT_TRUE(game.waitscreen("an earlier frame"));
        game.send("x");
        ASSERT_TRUE(game.waitscreen("THE END"));
        game.send("x");
        int status = game.finish();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_FALSE(game.altscreen);
        std::vector<std::string> want = e.rows;
        want.resize(24);
        EXPECT_EQ(game.screen(), want);
    }
}

struct wayout {
    const char *name;
    const char *keys; // typed, or
    int sig;          // sent to the game
    int status;       // the signal that ends it, or 0 for a plain exit
    friend void PrintTo(const wayout &w, std::ostream *os) { *os << w.name; }
};

// Ends the game the way `w` says, and checks how it ended.
void leaveby(pty_game &game, const wayout &w) {
    if (w.sig)
        kill(game.game, w.sig);
    else
        game.send(w.keys);
    int status = game.finish();
    if (w.status)
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == w.status) << status;
    else
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

class WaysOut : public testing::TestWithParam<wayout> {};

TEST_P(WaysOut, GiveTheShellsScreenAndSettingsBack) {
    const wayout &w = GetParam();
    pty_game game(tempdir());
    const termios before = game.initial; // read before the game could change them
    play(game, {""}, 24);
    ASSERT_TRUE(game.altscreen);
    leaveby(game, w);
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

// Without an alternate screen (linux, vt100) the shell's screen cannot come back: every other
// way out leaves it cleared, the cursor shown at the top left.
TEST(Screen, WithoutAnAlternateScreenTheWayOutClearsTheScreen) {
    for (const char *term : {"vt100", "linux"})
        for (wayout w : {wayout{"CtrlC", "\x03", 0, SIGINT}, wayout{"CtrlD", "\x04", 0, 0},
                         wayout{"Hup", "", SIGHUP, SIGHUP}}) {
            SCOPED_TRACE(testing::Message() << term << " " << w.name);
            pty_game game(tempdir(), {.args = {}, .term = term});
            const termios before = game.initial;
            play(game, {""}, 24);
            EXPECT_FALSE(game.altscreen);
            leaveby(game, w);
            EXPECT_EQ(game.shown(), std::string(24, '\n'));
            EXPECT_EQ(game.cursor(), std::make_pair(0, 0));
            EXPECT_TRUE(game.cursorvisible);
            EXPECT_TRUE(samesettings(before, game.settings()));
        }
}

// A quit key held down while a long drawing is on its way: the terminal must throw away none of
// what the game writes on its way out, however the keys and the drawing meet.
struct quitkey {
    const char *name;
    char key;
    int sig;
    friend void PrintTo(const quitkey &q, std::ostream *os) { *os << q.name; }
};

class QuitWhileDrawing : public testing::TestWithParam<quitkey> {};

TEST_P(QuitWhileDrawing, LeavesTheScreenAndTheSettingsEveryTime) {
    const quitkey &q = GetParam();
    for (int run = 0; run < 50; ++run) {
        SCOPED_TRACE(run);
        pty_game game(tempdir());
        const termios before = game.initial;
        game.waitfor("PRESS ENTER");
        game.drain();
        // A hundred whole drawings, more than the terminal holds unread; the key's repeats go
        // in once the first has begun to arrive, while the rest are still being written. They
        // are as many as the terminal takes in one piece, so all are typed before the game can
        // give the terminal back (later ones would be the shell's, and discard what it has not
        // shown yet, as a quit key at the shell does).
        const std::size_t at = game.seen.size();
        game.send(std::string(100, '\x0c'));
        game.waitfor("PRESS ENTER", at);
        game.send(std::string(2048, q.key));
        int status = game.finish();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == q.sig) << status;
        ASSERT_FALSE(game.altscreen) << "the way out was lost";
        ASSERT_TRUE(samesettings(before, game.settings()));
    }
}

INSTANTIATE_TEST_SUITE_P(Screen, QuitWhileDrawing,
                         testing::Values(quitkey{"CtrlC", '\x03', SIGINT},
                                         quitkey{"CtrlBackslash", '\x1c', SIGQUIT}),
                         [](const testing::TestParamInfo<quitkey> &info) {
                             return std::string(info.param.name);
                         });

// Keys typed ahead of Ctrl-C go with the game, as a terminal discards them at such a key: none
// of them reaches the shell.
TEST(Screen, KeysTypedAheadOfCtrlCReachNoShell) {
    pty_game game(tempdir());
    game.waitfor("PRESS ENTER");
    // Held, so that the keys are still unread when the interrupt comes.
    kill(game.game, SIGSTOP);
    ASSERT_TRUE(game.waitstopped());
    game.send("abc\x03");
    ASSERT_TRUE(game.waitunread(3)) << "the terminal discarded them itself";
    game.resume();
    int status = game.finish();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    int unread = -1;
    ioctl(game.slave, FIONREAD, &unread);
    EXPECT_EQ(unread, 0);
}

// The cursor shows where the game waits at a prompt (its row holds text), and nowhere else: not
// on a map frame, whose cursor waits on the blank row 25 that a 25-row terminal shows.
TEST(Screen, TheCursorShowsAtAPromptOnly) {
    const pty_options rows25{.args = {}, .rows = console_rows};
    const std::vector<std::string> opening_steps = {"", "\n", "\n", "\n", "\n", "\n"};
    {
        pty_game game(tempdir(), rows25);
        play(game, opening_steps, console_rows);
        EXPECT_TRUE(game.cursorvisible) << "at CHOICE";
        play(game, {"3\n"}, console_rows, opening_steps);
        EXPECT_TRUE(game.cursorvisible) << "at the name";
        const std::string prompt = "     Enter your three letter name  :";
        std::vector<std::string> rows = game.screen();
        const auto at = std::find(rows.begin(), rows.end(), prompt);
        ASSERT_NE(at, rows.end());
        EXPECT_EQ(game.cursor(), std::make_pair(static_cast<int>(at - rows.begin()),
                                                static_cast<int>(prompt.size()) + 1));
    }
    pty_game game(tempdir(), rows25);
    std::vector<std::string> done = opening_steps;
    done.insert(done.end(), {"2\n", "\n"});
    play(game, done, console_rows);
    EXPECT_FALSE(game.cursorvisible) << "on the home town's frame";
    // The game menu's map waits at its PRESS ENTER; any key goes back to the menu, 0 to the map.
    play(game, {"0", "1"}, console_rows, done);
    EXPECT_TRUE(game.cursorvisible) << "at the map's PRESS ENTER";
    done.insert(done.end(), {"0", "1"});
    play(game, {"x", "0"}, console_rows, done);
    EXPECT_FALSE(game.cursorvisible) << "on the frame again";
}

// A window of any size costs what an ordinary one does: the game asks ncurses for no more cells
// than a few hundred a side. The emulator keeps 80x25 while the terminal reports the huge size.
TEST(Screen, AHugeWindowCostsNoMoreThanAnOrdinaryOne) {
    const std::string page1 = expected({""}, console_rows);
    long ordinary = 0;
    {
        pty_game game(tempdir(), {.args = {}, .rows = console_rows});
        play(game, {""}, console_rows);
        ordinary = game.peakmemory();
    }
    const long allowance = 16 * 1024; // kB: a few megabytes
    for (int side : {10000, 65535}) {
        SCOPED_TRACE(side);
        {
            pty_game game(tempdir(), {.args = {},
                                      .rows = side,
                                      .cols = side,
                                      .screen_rows = console_rows,
                                      .screen_cols = console_cols});
            play(game, {""}, console_rows);
            EXPECT_LT(game.peakmemory(), ordinary + allowance) << "started at that size";
            play(game, {"\n"}, console_rows, {""});
        }
        pty_game game(tempdir(), {.args = {}, .rows = console_rows});
        play(game, {""}, console_rows);
        game.scribble("\x1b[2J");
        game.reportsize(side, side);
        ASSERT_TRUE(game.waituntil([&] { return game.shown() == page1; })) << "drawn anew";
        EXPECT_LT(game.peakmemory(), ordinary + allowance) << "resized to that size";
        // Too narrow for all its rows: the notice tells the size the terminal reports.
        game.reportsize(side, 60);
        ASSERT_TRUE(game.waitscreen("this one is 60 x " + std::to_string(side) + "."));
        // Back to 80x25: once page 1 is drawn again, Enter turns it.
        game.scribble("\x1b[2J");
        game.reportsize(console_rows, console_cols);
        ASSERT_TRUE(game.waituntil([&] { return game.shown() == page1; }));
        play(game, {"\n"}, console_rows, {""});
    }
}

TEST(Screen, UnknownTerminalsGetThePlainStream) {
    for (const char *term : {"dumb", ""}) {
        SCOPED_TRACE(term);
        pty_game game(tempdir(), {.args = {}, .term = term});
        game.waitfor("PRESS ENTER");
        EXPECT_FALSE(game.altscreen);
    }
}

} // namespace
