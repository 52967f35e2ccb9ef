// Terminal modes and the signal handlers that restore them.
#include "tty/terminal.hpp"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

bool active = false; // standard input is a terminal and its settings are saved
termios saved{};     // the settings the game found
// Read by the Ctrl-Z handler, hence atomic.
std::atomic<term_mode> mode = term_mode::line;
std::atomic<bool> mode_applied = false; // whether `mode` is in force (it is not after a restore)

// Interrupts and hang-ups, and the crashes and failed checks that must not leave the player's
// terminal without echo.
constexpr int fatal_signals[] = {SIGINT,  SIGTERM, SIGHUP, SIGQUIT, SIGPIPE,
                                 SIGABRT, SIGSEGV, SIGBUS, SIGFPE,  SIGILL};
// Every other signal whose default action ends a program (the real-time signals too, at start).
constexpr int other_ending_signals[] = {SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,  SIGXCPU,
                                        SIGTRAP, SIGSYS,  SIGPWR,  SIGIO,     SIGSTKFLT};

// The in-place console's sequences into and out of its screen; changed only with every signal
// blocked, so a handler never sees half of one.
struct screen_bytes {
    char bytes[256];
    std::size_t size = 0;
};
screen_bytes enter_screen, leave_screen;
// The end of the pipe that wakes the console to draw anew, and the request itself.
int wake_read = -1, wake_write = -1;
std::atomic<bool> redraw = false;

void writeout(const screen_bytes &s) {
    for (std::size_t at = 0; at < s.size;) {
        ssize_t n = write(STDOUT_FILENO, s.bytes + at, s.size - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        at += static_cast<std::size_t>(n);
    }
}

// From a signal handler: asks the console to draw the whole screen again.
void wake() {
    int saved_errno = errno;
    redraw = true;
    char c = 0;
    if (wake_write >= 0 && write(wake_write, &c, 1) < 0) {
    } // a full pipe already holds a request
    errno = saved_errno;
}

termios settings_for(term_mode m) {
    termios t = saved;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON); // Ctrl-S must not freeze the game
    // Ctrl-C or Ctrl-\ must not make the terminal discard the output on its way: the way out
    // that the handler writes meanwhile would go with it. The handler discards the keys typed
    // ahead itself (`wayout`).
    t.c_lflag |= NOFLSH;
    if (m == term_mode::screen) {
        t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL);
        t.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
    } else if (m == term_mode::key) {
        // Not cfmakeraw: ISIG keeps Ctrl-C working and OPOST/ONLCR keeps line ends at column 1.
        t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
    } else {
        t.c_lflag |= ICANON | ECHO;
    }
    return t;
}

void apply() {
    termios t = settings_for(mode);
    tcsetattr(STDIN_FILENO, TCSANOW, &t);
    mode_applied = true;
}

void unblock(int sig) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

// From a signal handler, on the way out or to a stop: the keys typed ahead go, as they went
// before NOFLSH, so that none reaches the shell or discards the way out after the settings are
// back; then the way out, and the settings once it has left (a slow line sends it first).
void wayout() {
    tcflush(STDIN_FILENO, TCIFLUSH);
    writeout(leave_screen);
    tcsetattr(STDIN_FILENO, TCSADRAIN, &saved);
}

// Restores the terminal, then dies of the same signal so the exit status still tells why.
void on_fatal(int sig) {
    wayout();
    std::signal(sig, SIG_DFL);
    unblock(sig);
    raise(sig);
}

// Ctrl-Z: stop with the terminal as the shell expects it; on `fg`, take the game's mode again.
void on_stop(int sig) {
    // Under make, make stops at once and the shell may take the terminal back before this runs;
    // with SIGTTOU blocked the restore still goes through instead of stopping the game here,
    // where `fg` would continue it only into the stop below.
    sigset_t ttou, before;
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    sigprocmask(SIG_BLOCK, &ttou, &before);
    wayout();
    sigprocmask(SIG_SETMASK, &before, nullptr);
    std::signal(sig, SIG_DFL);
    unblock(sig);
    raise(sig); // the process stops here until it is continued
    struct sigaction sa {};
    sa.sa_handler = on_stop;
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTSTP, &sa, nullptr);
    if (mode_applied) {
        apply();
        writeout(enter_screen);
        wake();
    }
}

void on_resize(int) {
    wake();
}

void install(int sig, void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, nullptr);
}

} // namespace

void terminal_start() {
    if (active || !isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) return;
    active = true;
    for (int sig : fatal_signals) install(sig, on_fatal);
    for (int sig : other_ending_signals) install(sig, on_fatal);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) install(sig, on_fatal);
    install(SIGTSTP, on_stop);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        wake_read = ends[0];
        wake_write = ends[1];
        install(SIGWINCH, on_resize);
    }
}

void terminal_setmode(term_mode m) {
    if (!active || (mode == m && mode_applied)) return;
    mode = m;
    apply();
}

void terminal_restore() {
    if (!active) return;
    // The flag first: a Ctrl-Z handled in between must not bring the game's mode back after.
    mode_applied = false;
    writeout(leave_screen);
    terminal_screen({}, {});
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

void terminal_screen(std::string_view enter, std::string_view leave) {
    sigset_t all, before;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &before);
    for (auto [s, bytes] : {std::pair{&enter_screen, enter}, std::pair{&leave_screen, leave}}) {
        s->size = std::min(bytes.size(), sizeof s->bytes);
        if (s->size) std::memcpy(s->bytes, bytes.data(), s->size);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

int terminal_wakefd() {
    return wake_read;
}

bool terminal_redrawwanted() {
    char drain[64];
    while (wake_read >= 0 && read(wake_read, drain, sizeof drain) > 0) {
    }
    return redraw.exchange(false);
}
