// The console's device in the terminal build: file descriptors 0 and 1, the terminal's modes
// (core/terminal) and the in-place console drawn with ncurses (core/display).
#include "core/device.hpp"

#include "core/display.hpp"

#include <cerrno>
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

// Before the in-place console reads the terminal: waits for a key, drawing the screen anew
// after a resize or a continue meanwhile. While the terminal is too small for the console,
// what is typed is thrown away: the player cannot see what it would act on.
void screenwait(text_console &con) {
    for (;;) {
        if (resized()) display_draw(con, true);
        pollfd p[2] = {{ttyfd_in, POLLIN, 0}, {terminal_wakefd(), POLLIN, 0}};
        if (poll(p, 2, -1) <= 0 || p[0].revents == 0) continue;
        if (!display_toosmall()) return;
        char typed[64];
        ssize_t n = ::read(ttyfd_in, typed, sizeof typed);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return; // the read ends it
    }
}

} // namespace

bool device_openscreen() {
    return display_open();
}

void device_closescreen() {
    terminal_restore(); // out of the alternate screen
}

void device_setmode(term_mode mode) {
    terminal_setmode(mode);
}

void device_draw(text_console &con, bool whole) {
    display_draw(con, resized() || whole);
}

int device_write(std::string_view bytes) {
    int writes = 0;
    while (!bytes.empty()) {
        ssize_t n = ::write(ttyfd_out, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Left non-blocking by another program: wait until the screen takes more.
            pollfd p{ttyfd_out, POLLOUT, 0};
            poll(&p, 1, -1);
            continue;
        }
        if (n <= 0) break; // the screen is gone; the next read will find the input closed
        ++writes;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return writes;
}

bool device_ready(int ms) {
    pollfd p{ttyfd_in, POLLIN, 0};
    int r;
    do r = poll(&p, 1, ms);
    while (r < 0 && errno == EINTR);
    return r > 0; // readable, or hung up: the read then reports the end
}

std::size_t device_read(char *buf, std::size_t size, text_console *screen) {
    if (screen) screenwait(*screen);
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
