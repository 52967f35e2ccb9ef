// The terminal's modes: a game that dies of a crash or a failed check, or is stopped with Ctrl-Z,
// leaves the terminal as it found it; a continued game takes its mode again.
#include "tty/terminal.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal pair; the game's side is `slave`.
struct pty_pair {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    int slave = -1;
    pty_pair() {
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    }
    ~pty_pair() {
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
    }
};

// Starts a child that takes the terminal into key mode and then dies of `sig`.
void diesinkeymode(int sig) {
    pty_pair pty;
    ASSERT_GE(pty.slave, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(pty.slave, &before), 0);
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(pty.slave, STDIN_FILENO);
        terminal_start();
        terminal_setmode(term_mode::key);
        char c = 0;
        if (write(ready[1], &c, 1) != 1 || read(go[0], &c, 1) != 1) _exit(2);
        if (sig == SIGABRT) std::abort(); // what a failed assert does
        raise(sig);
        _exit(3);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    termios keys{};
    tcgetattr(pty.slave, &keys);
    EXPECT_FALSE(keys.c_lflag & ICANON) << "the child never reached key mode";
    ASSERT_EQ(write(go[1], &c, 1), 1);
    int status = 0;
    waitpid(pid, &status, 0);
    for (int fd : {ready[0], ready[1], go[0], go[1]}) close(fd);

    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "status " << status;
    termios after{};
    tcgetattr(pty.slave, &after);
    EXPECT_EQ(after.c_lflag, before.c_lflag) << strsignal(sig);
    EXPECT_EQ(after.c_iflag, before.c_iflag) << strsignal(sig);
}

TEST(Terminal, ACrashOrAFailedCheckRestoresTheSettings) {
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTERM}) diesinkeymode(sig);
}

TEST(Terminal, CtrlZStopsWithTheSettingsRestoredAndContinuingTakesTheKeyModeAgain) {
    pty_pair pty;
    ASSERT_GE(pty.slave, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(pty.slave, &before), 0);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setpgid(0, 0); // a group of its own, with its parent in the session, can be stopped
        dup2(pty.slave, STDIN_FILENO);
        terminal_start();
        terminal_setmode(term_mode::key);
        char c = 0;
        if (write(ready[1], &c, 1) != 1) _exit(2);
        for (;;) pause(); // until the test ends it
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    close(ready[1]);
    auto keymode = [&] {
        termios t{};
        tcgetattr(pty.slave, &t);
        return !(t.c_lflag & (ICANON | ECHO));
    };
    EXPECT_TRUE(keymode());

    int status = 0;
    kill(pid, SIGTSTP);
    ASSERT_EQ(waitpid(pid, &status, WUNTRACED), pid);
    EXPECT_TRUE(WIFSTOPPED(status));
    termios stopped{};
    tcgetattr(pty.slave, &stopped);
    EXPECT_EQ(stopped.c_lflag, before.c_lflag) << "stopped with the game's mode in force";

    kill(pid, SIGCONT);
    bool back = false;
    for (int tries = 0; tries < 500 && !(back = keymode()); ++tries) usleep(2000);
    EXPECT_TRUE(back) << "continued without the key mode";

    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    termios after{};
    tcgetattr(pty.slave, &after);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
}

} // namespace
