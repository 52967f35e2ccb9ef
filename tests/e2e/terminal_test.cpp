// The real game's plain stream in a pseudo-terminal: pages wait for Enter, keys act at once
// without echo, arrows move, and the terminal is left as it was found on every way out.
#include "pty.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::string_view notice = "PRESS ENTER";
constexpr std::string_view choice = "CHOICE  : ";
const pty_options plain{.args = {"--plain"}};

// Presses Enter at the five opening pages, checking that each waits for it.
void pastopening(pty_game &game) {
    std::size_t at = 0;
    for (int page = 1; page <= 5; ++page) {
        at = game.waitfor(notice, at);
        ASSERT_NE(at, std::string::npos) << "page " << page;
        at += notice.size();
        EXPECT_EQ(game.seen.find(notice, at), std::string::npos)
            << "page " << page << " did not wait";
        EXPECT_EQ(game.seen.find(choice), std::string::npos)
            << "the choice came before page " << page;
        game.send("\n");
    }
    game.waitfor(choice, at);
}

TEST(Terminal, OpeningChoiceAndEndRestoreTheTerminal) {
    std::string dir = tempdir();
    pty_game game(dir, plain);
    const termios before = game.initial; // read before the game could change them
    pastopening(game);

    std::size_t at = game.seen.size();
    game.send("9\n");
    game.waitfor("INVALID CHOICE!!!", at);
    game.send("2\n");
    at = game.waitfor("Vek has been sent by the king", at);
    at = game.waitfor(notice, at);
    game.send("\n");
    // The home town's first frame, then a step: the mark moves at once, without Enter.
    at = game.waitfor("Points 0", at);
    game.send("6");
    game.waitfor("Points 0", at + 1);
    game.send("\x03");
    int status = game.finish();

    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_TRUE(samesettings(before, game.settings()));
}

TEST(Terminal, StatKeysActAtOnceWithoutEchoAndArrowsMove) {
    std::string dir = tempdir();
    pty_game game(dir, plain);
    const termios before = game.initial; // read before the game could change them
    pastopening(game);

    std::size_t at = game.seen.size();
    game.send("3\n");
    game.waitfor("three letter name  : ", at);
    game.send("abc\n");
    at = game.waitfor("Magic = 10", at);

    // The key mode: no echo, no line editing, but Ctrl-C and line ends still work.
    termios keys = game.settings();
    EXPECT_FALSE(keys.c_lflag & (ICANON | ECHO));
    EXPECT_TRUE(keys.c_lflag & ISIG);
    EXPECT_TRUE(keys.c_oflag & OPOST);
    EXPECT_FALSE(keys.c_iflag & IXON);
    EXPECT_TRUE(keys.c_lflag & NOFLSH) << "Ctrl-C could discard the way out on its way";

    std::size_t frame = game.seen.size();
    game.send("6"); // no Enter
    at = game.waitfor("Points Left  :          69", frame);
    game.waitfor("-> Power = 11", at);
    // Between the last frame read before the key and the next frame come only line ends: the
    // key itself was not echoed. (The rest of the last frame may arrive after the key was sent.)
    std::size_t next = game.seen.rfind("Now to adjust", at);
    ASSERT_NE(next, std::string::npos);
    EXPECT_EQ(game.seen.substr(frame, next - frame).find_first_not_of("\r\n"), std::string::npos)
        << "the key was echoed";

    frame = game.seen.size();
    game.send("\x1b[A"); // the up arrow acts as 8
    game.waitfor("-> Magic = 10", frame);
    frame = game.seen.size();
    game.send("\x1bOB"); // the down arrow in application mode acts as 2
    game.waitfor("-> Power = 11", frame);

    frame = game.seen.size();
    game.send("\x03"); // Ctrl-C ends the game
    int status = game.finish();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_TRUE(samesettings(before, game.settings()));
    struct stat st;
    EXPECT_NE(stat((dir + "/score.txt").c_str(), &st), 0) << "an interrupted game has no score";
}

TEST(Terminal, EndOfInputEndsAtOnceWithTheTerminalRestored) {
    std::string dir = tempdir();
    pty_game game(dir, plain);
    const termios before = game.initial; // read before the game could change them
    game.waitfor(notice);
    game.send("\x04"); // Ctrl-D on an empty line: the input has ended
    int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(samesettings(before, game.settings()));
    struct stat st;
    EXPECT_NE(stat((dir + "/score.txt").c_str(), &st), 0);
}

} // namespace

namespace {

TEST(Terminal, AHangUpEndsTheGame) {
    std::string dir = tempdir();
    pty_game game(dir, plain);
    game.waitfor(notice);
    game.hangup(); // the terminal goes away
    close(game.slave);
    game.slave = -1;
    int status = game.finish();
    EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == SIGHUP : WIFEXITED(status)) << status;
    struct stat st;
    EXPECT_NE(stat((dir + "/score.txt").c_str(), &st), 0);
}

} // namespace

namespace {

TEST(Terminal, ACrashInASanitizedBuildShowsTheSanitizersReport) {
#ifndef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "not built with AddressSanitizer";
#endif
    pty_game game(tempdir(), {.errors_apart = true});
    game.waitfor(notice);
    kill(game.game, SIGSEGV);
    int status = game.finish();
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(game.errors.find("ERROR: AddressSanitizer: SEGV"), std::string::npos) << game.errors;
}

} // namespace
