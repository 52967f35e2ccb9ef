// The pseudo-terminal harness for end-to-end tests.
#include "pty.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

pty_game::pty_game(const std::string &dir, const std::vector<std::string> &args,
                   bool errors_apart) {
    winsize size{.ws_row = 24, .ws_col = 80, .ws_xpixel = 0, .ws_ypixel = 0};
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) {
        ADD_FAILURE() << "openpty: " << std::strerror(errno);
        return;
    }
    tcgetattr(slave, &initial);
    int err[2] = {-1, -1};
    if (errors_apart && pipe(err) != 0) ADD_FAILURE() << "pipe: " << std::strerror(errno);
    std::vector<char *> argv{const_cast<char *>(ORBRIDDEN_BINARY)};
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid = fork();
    if (pid == 0) {
        close(master);
        int s = dup(slave);
        login_tty(s);
        close(slave);
        if (err[1] >= 0) {
            dup2(err[1], STDERR_FILENO);
            close(err[0]);
            close(err[1]);
        }
        if (chdir(dir.c_str()) != 0) _exit(126);
        execv(ORBRIDDEN_BINARY, argv.data());
        _exit(127);
    }
    if (err[1] >= 0) close(err[1]);
    errpipe = err[0];
}

pty_game::~pty_game() {
    if (master >= 0) close(master);
    if (slave >= 0) close(slave);
    if (errpipe >= 0) close(errpipe);
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

void pty_game::send(std::string_view keys) {
    while (!keys.empty()) {
        ssize_t n = write(master, keys.data(), keys.size());
        if (n <= 0) return;
        keys.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::size_t pty_game::waitfor(std::string_view text, std::size_t from, int timeout_ms) {
    for (;;) {
        std::size_t at = seen.find(text, from);
        if (at != std::string::npos) return at;
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) <= 0) break;
        char buf[4096];
        ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;
        seen.append(buf, static_cast<std::size_t>(n));
    }
    ADD_FAILURE() << "the screen never showed \"" << text << "\"; it showed:\n"
                  << seen.substr(from);
    return std::string::npos;
}

termios pty_game::settings() const {
    termios t{};
    tcgetattr(slave, &t);
    return t;
}

int pty_game::finish() {
    // Keep reading the screen and the errors meanwhile, so that the game never blocks on a full
    // terminal or pipe; after the end, take what is left in them.
    int status = 0;
    bool ended = false;
    char buf[4096];
    for (;;) {
        if (!ended) ended = waitpid(pid, &status, WNOHANG) != 0;
        pollfd p[2] = {{master, POLLIN, 0}, {errpipe, POLLIN, 0}};
        if (poll(p, 2, ended ? 0 : 50) <= 0) {
            if (ended) break;
            continue;
        }
        bool got = false;
        for (auto [fd, into] : {std::pair{&p[0], &seen}, std::pair{&p[1], &errors}}) {
            if (fd->fd < 0 || !(fd->revents & (POLLIN | POLLHUP))) continue;
            ssize_t n = read(fd->fd, buf, sizeof buf);
            if (n > 0) {
                into->append(buf, static_cast<std::size_t>(n));
                got = true;
            } else if (fd == &p[1]) {
                close(errpipe); // the pipe's end: nothing more will come
                errpipe = -1;
            }
        }
        if (ended && !got) break;
    }
    pid = -1;
    return status;
}

std::string tempdir() {
    char name[] = "/tmp/orbridden-e2e-XXXXXX";
    const char *made = mkdtemp(name);
    return made ? made : "/tmp";
}

bool samesettings(const termios &a, const termios &b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}
