// The pseudo-terminal behind the in-place benchmarks.
#include "inplace.hpp"

#include "core/console.hpp"
#include "tty/terminal.hpp"

#include <cstdlib>
#include <pty.h>
#include <unistd.h>

namespace {
// Written to the terminal behind the drawing: when the reader meets it, all before it is read.
// ncurses never sends a NUL to an xterm.
constexpr char mark = '\0';
} // namespace

inplace_terminal::inplace_terminal() {
    winsize size{.ws_row = 24, .ws_col = 80, .ws_xpixel = 0, .ws_ypixel = 0};
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) std::abort();
    saved_in = dup(STDIN_FILENO);
    saved_out = dup(STDOUT_FILENO);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    setenv("TERM", "xterm-256color", 1);
    terminal_start(); // as the game does first: its signal handlers, not ncurses' own
    reader = std::thread([this] {
        char buf[1 << 14];
        while (!stop) {
            ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) return;
            std::uint64_t bytes = 0, seen = 0;
            for (ssize_t i = 0; i < n; ++i) (buf[i] == mark ? seen : bytes) += 1;
            received += bytes;
            marks += seen;
        }
    });
    if (!usescreen()) std::abort();
}

inplace_terminal::~inplace_terminal() {
    sync();
    stop = true;
    if (write(slave, &mark, 1) != 1) std::abort(); // wakes the reader to see `stop`
    reader.join();
    usescript("");
    dup2(saved_in, STDIN_FILENO);
    dup2(saved_out, STDOUT_FILENO);
    for (int fd : {saved_in, saved_out, master, slave}) close(fd);
}

std::uint64_t inplace_terminal::sync() {
    const std::uint64_t want = marks + 1;
    if (write(slave, &mark, 1) != 1) std::abort();
    while (marks < want) std::this_thread::yield();
    return received;
}
