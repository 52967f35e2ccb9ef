// The in-place console: what a walking step sends to the terminal against the least that would
// show it, what a frame costs against copying the plain frame's bytes, and how long a key takes
// to reach the screen against `cat` on the same kind of terminal.
#include "core/console.hpp"

#include "forest.hpp"
#include "inplace.hpp"

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

// Last: terminfo's header defines macros named like its capabilities.
#include <term.h>

namespace {

// The least a terminal needs to show the step from map `was` to map `now` (the status lines stay
// as they are): for each changed cell, one cursor move and the cell's glyph. Map row r shows on
// screen row r + 1 (after the name and status lines), column c on column c - 1.
double minimalupdate(const world_matrix &was, const world_matrix &now) {
    std::size_t bytes = 0;
    for (int r = 1; r <= map_rows; ++r)
        for (int c = 1; c <= map_cols; ++c) {
            if (was(r, c) == now(r, c)) continue;
            usescript("");
            put(static_cast<char>(now(r, c)));
            bytes +=
                std::string(tiparm(tigetstr("cup"), r + 1, c - 1)).size() + transcript().size();
        }
    return static_cast<double>(bytes);
}

// Walking one cell and back, frame after frame, through the in-place console on 80x24.
void InPlaceStep(benchmark::State &state) {
    const stats_rec s = benchhero();
    const world_matrix frames[2] = {forestwithmark(40), forestwithmark(41)};
    inplace_terminal term;
    outmap(frames[0], s);
    flush();
    const std::uint64_t bytes0 = term.sync();
    std::uint64_t steps = 0;
    for (auto _ : state) {
        outmap(frames[++steps % 2], s);
        flush();
    }
    const double sent = static_cast<double>(term.sync() - bytes0) / static_cast<double>(steps);
    const double least = minimalupdate(frames[0], frames[1]);
    state.counters["bytes_per_step"] = sent;
    state.counters["minimal_bytes"] = least;
    state.counters["ratio"] = sent / least;
}
BENCHMARK(InPlaceStep);

// ---- key to screen: the game on a terminal against `cat`

// Starts `run` in a child whose standard input and output are a new terminal of 80x24, as
// its controlling terminal, with the settings `modes` (or the usual ones); returns the
// terminal's master side.
template <typename Run>
int spawn(pid_t &pid, const termios *modes, Run run) {
    int master = -1;
    winsize size{.ws_row = 24, .ws_col = 80, .ws_xpixel = 0, .ws_ypixel = 0};
    pid = forkpty(&master, nullptr, modes, &size);
    if (pid < 0) std::abort(); // never signal process -1: that is every process
    if (pid == 0) {
        setenv("TERM", "xterm-256color", 1);
        run();
        _exit(0);
    }
    return master;
}

// Reads what the terminal sends until `text` has come; false if it stops first.
bool readuntil(int master, std::string_view text) {
    std::string seen;
    char buf[4096];
    while (seen.find(text) == std::string::npos) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0) return false;
        ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) return false;
        seen.append(buf, static_cast<std::size_t>(n));
    }
    return true;
}

// Each iteration: one key in, then whatever the screen gets in answer.
void keytoscreen(benchmark::State &state, int master, const char *keys) {
    char buf[4096];
    for (std::size_t i = 0; auto _ : state) {
        if (write(master, &keys[i++ % 2], 1) != 1) break;
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0 || read(master, buf, sizeof buf) <= 0) break;
    }
}

// The game from its start through the opening to the home town, where walking meets no
// creature; then a step left and back, key after key.
void keytoscreengame(benchmark::State &state, const char *mode) {
    pid_t pid;
    int master = spawn(pid, nullptr, [mode] {
        execl(ORBRIDDEN_BINARY, ORBRIDDEN_BINARY, mode, static_cast<char *>(nullptr));
    });
    const char opening[] = "\n\n\n\n\n2\n\n";
    if (write(master, opening, sizeof opening - 1) < 0 || !readuntil(master, "Points")) {
        state.SkipWithError("the game did not reach the town");
    } else {
        char buf[4096];
        for (pollfd p{master, POLLIN, 0}; poll(&p, 1, 200) > 0;) // the rest of the frame
            if (read(master, buf, sizeof buf) <= 0) break;
        keytoscreen(state, master, "46");
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    close(master);
}

void KeyToScreenInPlace(benchmark::State &state) {
    keytoscreengame(state, nullptr);
}
BENCHMARK(KeyToScreenInPlace)->UseRealTime();

void KeyToScreenPlain(benchmark::State &state) {
    keytoscreengame(state, "--plain");
}
BENCHMARK(KeyToScreenPlain)->UseRealTime();

void KeyToScreenCat(benchmark::State &state) {
    pid_t pid;
    termios raw{};
    cfmakeraw(&raw); // every byte to cat at once, and nothing echoed by the terminal itself
    int master = spawn(pid, &raw, [] { execl("/bin/cat", "cat", static_cast<char *>(nullptr)); });
    keytoscreen(state, master, "46");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    close(master);
}
BENCHMARK(KeyToScreenCat)->UseRealTime();

} // namespace
