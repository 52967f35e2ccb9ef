// Terminal modes and the signal handlers that restore them.
#include "core/terminal.hpp"

#include <atomic>
#include <csignal>
#include <termios.h>
#include <unistd.h>

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

termios settings_for(term_mode m) {
    termios t = saved;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON); // Ctrl-S must not freeze the game
    if (m == term_mode::key) {
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

// Restores the terminal, then dies of the same signal so the exit status still tells why.
void on_fatal(int sig) {
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
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
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    std::signal(sig, SIG_DFL);
    unblock(sig);
    raise(sig); // the process stops here until it is continued
    struct sigaction sa {};
    sa.sa_handler = on_stop;
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTSTP, &sa, nullptr);
    if (mode_applied) apply();
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
    install(SIGTSTP, on_stop);
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
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}
