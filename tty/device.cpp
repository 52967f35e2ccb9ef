// The console's device in the terminal build: file descriptors 0 and 1, the terminal's modes
// (tty/terminal) and the in-place console drawn with ncurses (tty/display).
#include "core/device.hpp"

#include "core/files.hpp"
#include "tty/display.hpp"
#include "tty/terminal.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int ttyfd_in = STDIN_FILENO;
constexpr int ttyfd_out = STDOUT_FILENO;

// After a resize or a continue: takes the terminal's size anew; true when the screen must then
// be drawn whole.
bool resized() {
    if (!terminal_redrawwanted()) return false;
    display_resize();
    return true;
}

// Before the in-place console reads the terminal: waits for a key at most `ms` milliseconds
// (`ms` < 0: as long as it takes), drawing the screen anew after a resize or a continue
// meanwhile. While the terminal is too small for the console, what is typed is thrown away:
// the player cannot see what it would act on. Whether a key (or the input's end) came in time.
bool screenwait(text_console &con, int ms) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(ms);
    for (;;) {
        if (resized()) display_draw(con, true);
        const auto left = std::max(deadline - steady_clock::now(), steady_clock::duration{});
        pollfd p[2] = {{ttyfd_in, POLLIN, 0}, {terminal_wakefd(), POLLIN, 0}};
        const int r = poll(p, 2, ms < 0 ? -1 : static_cast<int>(ceil<milliseconds>(left).count()));
        if (r == 0) return false;
        if (r < 0 || p[0].revents == 0) continue;
        if (!display_toosmall()) return true;
        char typed[64];
        ssize_t n = ::read(ttyfd_in, typed, sizeof typed);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return true; // the read ends it
    }
}

bool ttyopen() {
    return display_open();
}

void ttyclose() {
    terminal_restore(); // out of the alternate screen
}

// The terminal's mode for each read: its own line editing with echo only for a line.
void ttyprepare(read_need need) {
    terminal_setmode(need == read_need::line          ? term_mode::line
                     : need == read_need::inplace_key ? term_mode::screen
                                                      : term_mode::key);
}

void ttydraw(text_console &con, bool whole) {
    display_draw(con, resized() || whole);
}

int ttywrite(std::string_view bytes) {
    int error = 0; // the screen is gone: the next read will find the input closed
    return writewhole(ttyfd_out, bytes, error);
}

bool ttyready(int ms, text_console *screen) {
    if (screen) return screenwait(*screen, ms);
    pollfd p{ttyfd_in, POLLIN, 0};
    int r;
    do r = poll(&p, 1, ms);
    while (r < 0 && errno == EINTR);
    return r > 0; // readable, or hung up: the read then reports the end
}

std::size_t ttyread(char *buf, std::size_t size, text_console *screen) {
    if (screen) screenwait(*screen, -1);
    ssize_t n;
    while ((n = ::read(ttyfd_in, buf, size)) < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // Another program left the input non-blocking: wait for a byte, then read.
            pollfd p{ttyfd_in, POLLIN, 0};
            poll(&p, 1, -1);
        } else if (errno != EINTR) {
            break;
        }
    }
    return n > 0 ? static_cast<std::size_t>(n) : 0; // end of file, or the terminal hung up
}

} // namespace

const console_device host_device = {
    .openscreen = ttyopen,
    .closescreen = ttyclose,
    .prepare = ttyprepare,
    .draw = ttydraw,
    .write = ttywrite,
    .ready = ttyready,
    .read = ttyread,
};
