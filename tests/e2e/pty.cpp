// The pseudo-terminal harness for end-to-end tests.
#include "pty.hpp"

#include "core/console.hpp"
#include "core/game.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>
#include <vterm.h>

namespace {

int onprop(VTermProp prop, VTermValue *val, void *user) {
    auto *g = static_cast<pty_game *>(user);
    if (prop == VTERM_PROP_ALTSCREEN) g->altscreen = val->boolean;
    if (prop == VTERM_PROP_CURSORVISIBLE) g->cursorvisible = val->boolean;
    return 1;
}
VTermScreenCallbacks screencallbacks() {
    VTermScreenCallbacks cb{};
    cb.settermprop = onprop;
    return cb;
}
const VTermScreenCallbacks screen_callbacks = screencallbacks();

void utf8(std::string &out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void writeall(int fd, const void *data, std::size_t size) {
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n <= 0) return;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

// The shell: starts the game as the terminal's foreground job, tells the test its process
// number, each time it stops, and how it ended.
[[noreturn]] void runshell(const std::string &dir, const pty_options &o, int slave, int report,
                           int errors) {
    login_tty(slave);
    if (chdir(dir.c_str()) != 0) _exit(126);
    signal(SIGTTOU, SIG_IGN); // a background shell may still hand the terminal over
    pid_t game = fork();
    if (game == 0) {
        if (o.controlling) {
            setpgid(0, 0);
            tcsetpgrp(STDIN_FILENO, getpid());
        } else {
            setsid(); // a session of its own, without a controlling terminal
        }
        signal(SIGTTOU, SIG_DFL);
        close(report);
        if (errors >= 0) {
            dup2(errors, STDERR_FILENO);
            close(errors);
        }
        if (o.term.empty())
            unsetenv("TERM");
        else
            setenv("TERM", o.term.c_str(), 1);
        setenv("LC_ALL", o.utf8 ? "C.UTF-8" : "C", 1);
        // The journal in the test's own directory, never the real home's.
        setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
        if (o.run) {
            o.run();
            _exit(0);
        }
        std::vector<char *> argv{const_cast<char *>(ORBRIDDEN_BINARY)};
        for (const std::string &a : o.args) argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(ORBRIDDEN_BINARY, argv.data());
        _exit(127);
    }
    if (errors >= 0) close(errors);
    // As the game does, whichever runs first; a game in a session of its own is left alone
    // (setsid refuses the leader of a group).
    if (o.controlling) {
        setpgid(game, game);
        tcsetpgrp(STDIN_FILENO, game);
    }
    signal(SIGHUP, SIG_IGN); // a hang-up is the game's to answer
    writeall(report, &game, sizeof game);
    for (;;) {
        int status = 0;
        if (waitpid(game, &status, WUNTRACED) < 0) {
            if (errno == EINTR) continue;
            _exit(1);
        }
        char what = WIFSTOPPED(status) ? 'T' : 'X';
        writeall(report, &what, 1);
        if (what == 'T') continue;
        writeall(report, &status, sizeof status);
        _exit(0);
    }
}

} // namespace

pty_game::pty_game(const std::string &dir, const pty_options &o) {
    winsize size{.ws_row = static_cast<unsigned short>(o.rows),
                 .ws_col = static_cast<unsigned short>(o.cols),
                 .ws_xpixel = 0,
                 .ws_ypixel = 0};
    int report[2], err[2] = {-1, -1};
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0 || pipe(report) != 0 ||
        (o.errors_apart && pipe(err) != 0)) {
        ADD_FAILURE() << "openpty: " << std::strerror(errno);
        return;
    }
    if (!o.translate) {
        termios t{};
        tcgetattr(slave, &t);
        t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        tcsetattr(slave, TCSANOW, &t);
    }
    tcgetattr(slave, &initial);
    vt = vterm_new(o.screen_rows ? o.screen_rows : o.rows, o.screen_cols ? o.screen_cols : o.cols);
    vterm_set_utf8(vt, o.utf8);
    vs = vterm_obtain_screen(vt);
    vterm_screen_set_callbacks(vs, &screen_callbacks, this);
    vterm_screen_enable_altscreen(vs, 1);
    vterm_screen_reset(vs, 1);
    scribble("$ orbridden\r\n"); // the player's shell, before the game
    pid = fork();
    if (pid == 0) {
        close(master);
        close(report[0]);
        if (err[0] >= 0) close(err[0]);
        runshell(dir, o, dup(slave), report[1], err[1]);
    }
    close(report[1]);
    if (err[1] >= 0) close(err[1]);
    errpipe = err[0];
    reports = report[0];
    if (read(reports, &game, sizeof game) != sizeof game) ADD_FAILURE() << "the game did not start";
}

pty_game::~pty_game() {
    if (game > 0) kill(game, SIGKILL);
    if (pid > 0) waitpid(pid, nullptr, 0);
    for (int fd : {master, slave, reports, errpipe})
        if (fd >= 0) close(fd);
    if (vt) vterm_free(vt);
}

void pty_game::send(std::string_view keys) {
    writeall(master, keys.data(), keys.size());
}

bool pty_game::readsome(int timeout_ms) {
    if (master < 0) return false;
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, timeout_ms) <= 0) return false;
    char buf[4096];
    ssize_t n = read(master, buf, sizeof buf);
    if (n <= 0) return false;
    seen.append(buf, static_cast<std::size_t>(n));
    vterm_input_write(vt, buf, static_cast<std::size_t>(n));
    return true;
}

bool pty_game::readnext() {
    if (master < 0) return false;
    // The shell's report of a stop or an end comes after all the game wrote before it.
    pollfd p[2] = {{master, POLLIN, 0}, {reports, POLLIN, 0}};
    if (poll(p, 2, hung_ms) <= 0) return false;
    return p[0].revents != 0 && readsome(0);
}

std::size_t pty_game::waitfor(std::string_view text, std::size_t from) {
    for (;;) {
        std::size_t at = seen.find(text, from);
        if (at != std::string::npos) return at;
        if (!readnext()) break;
    }
    ADD_FAILURE() << "the terminal never showed \"" << text << "\"; it showed:\n"
                  << seen.substr(from);
    return std::string::npos;
}

bool pty_game::waituntil(const std::function<bool()> &ok) {
    for (;;) {
        if (ok()) {
            drain(); // the rest of the same drawing
            if (ok()) return true;
            continue;
        }
        if (!readnext()) break;
    }
    ADD_FAILURE() << "the screen never came; it showed:\n" << shown();
    return false;
}

bool pty_game::waitscreen(std::string_view text) {
    return waituntil([&] { return shown().find(text) != std::string::npos; });
}

void pty_game::drain() {
    while (readsome(0)) {
    }
}

std::vector<std::string> pty_game::screen() const {
    return emulatorrows(vt);
}

std::vector<std::string> emulatorrows(VTerm *vt) {
    VTermScreen *vs = vterm_obtain_screen(vt);
    int rows = 0, cols = 0;
    vterm_get_size(vt, &rows, &cols);
    std::vector<std::string> out;
    for (int r = 0; r < rows; ++r) {
        std::string row;
        for (int c = 0; c < cols; ++c) {
            VTermScreenCell cell{};
            vterm_screen_get_cell(vs, VTermPos{.row = r, .col = c}, &cell);
            utf8(row, cell.chars[0] ? cell.chars[0] : ' ');
        }
        row.erase(row.find_last_not_of(' ') + 1);
        out.push_back(row);
    }
    return out;
}

std::string pty_game::shown() const {
    std::string s;
    for (const std::string &row : screen()) s += row + '\n';
    return s;
}

void pty_game::resize(int rows, int cols) {
    drain(); // what was drawn for the old size
    vterm_set_size(vt, rows, cols);
    reportsize(rows, cols);
}

void pty_game::reportsize(int rows, int cols) {
    winsize size{.ws_row = static_cast<unsigned short>(rows),
                 .ws_col = static_cast<unsigned short>(cols),
                 .ws_xpixel = 0,
                 .ws_ypixel = 0};
    ioctl(master, TIOCSWINSZ, &size);
}

void pty_game::hangup() {
    if (master >= 0) close(master);
    master = -1;
}

void pty_game::scribble(std::string_view bytes) {
    vterm_input_write(vt, bytes.data(), bytes.size());
}

termios pty_game::settings() const {
    termios t{};
    tcgetattr(slave, &t);
    return t;
}

std::pair<int, int> pty_game::cursor() const {
    VTermPos at{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt), &at);
    return {at.row, at.col};
}

long pty_game::peakmemory() const {
    std::ifstream status("/proc/" + std::to_string(game) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    ADD_FAILURE() << "no VmHWM for the game";
    return -1;
}

bool pty_game::waitunread(int count, int timeout_ms) {
    // Neither typed bytes reaching the game's input nor the game taking them need show on the
    // screen: look at the input every few milliseconds, reading the screen meanwhile.
    constexpr int step_ms = 5;
    for (int waited = 0; waited <= timeout_ms; waited += step_ms) {
        int unread = 0;
        ioctl(slave, FIONREAD, &unread);
        if (unread == count) return true;
        readsome(step_ms);
    }
    ADD_FAILURE() << "the game's input never held " << count << " unread bytes";
    return false;
}

char pty_game::report(int timeout_ms) {
    // Keep reading the screen meanwhile, so that the game never blocks on a full terminal.
    for (;;) {
        pollfd p[2] = {{reports, POLLIN, 0}, {master, POLLIN, 0}};
        if (poll(p, 2, timeout_ms) <= 0) return 0;
        if (p[1].revents && !readsome(0)) { // the terminal hung up: only the report is left
            close(master);
            master = -1;
        }
        if (seen.size() > seen_limit) return 0;
        char what = 0;
        if (p[0].revents) return read(reports, &what, 1) == 1 ? what : 0;
    }
}

bool pty_game::waitstopped(int timeout_ms) {
    if (report(timeout_ms) == 'T') return true;
    ADD_FAILURE() << "the game did not stop";
    return false;
}

void pty_game::resume() {
    kill(game, SIGCONT);
}

int pty_game::finishwithin(std::size_t bytes) {
    seen_limit = seen.size() + bytes;
    const int status = finish();
    seen_limit = std::string::npos;
    return status;
}

int pty_game::finish() {
    int status = -1;
    for (char what; (what = report(hung_ms)) != 'X';)
        if (what == 0) {
            ADD_FAILURE() << (seen.size() > seen_limit ? "the game wrote more than it may"
                                                       : "the game did not end");
            return status;
        }
    if (read(reports, &status, sizeof status) != sizeof status) ADD_FAILURE() << "no status";
    game = -1;
    drain();
    char buf[4096];
    for (ssize_t n; errpipe >= 0 && (n = read(errpipe, buf, sizeof buf)) > 0;)
        errors.append(buf, static_cast<std::size_t>(n));
    return status;
}

std::string tempdir() {
    char name[] = "/tmp/orbridden-e2e-XXXXXX";
    const char *made = mkdtemp(name);
    return made ? made : "/tmp";
}

piped_run runpiped(const std::vector<std::string> &args, std::string_view input,
                   const std::string &dir, const char *locale) {
    piped_run run;
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        std::vector<char *> argv{const_cast<char *>(ORBRIDDEN_BINARY)};
        for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("LC_ALL", locale, 1);
        setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
        execv(ORBRIDDEN_BINARY, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    // Input, output and errors all at once, so that none of the pipes fills up and holds the
    // others.
    int feed = in[1];
    std::string *into[] = {&run.out, &run.err};
    int from[] = {out[0], err[0]};
    signal(SIGPIPE, SIG_IGN); // a game that leaves its input unread
    while (from[0] >= 0 || from[1] >= 0) {
        pollfd p[3] = {{from[0], POLLIN, 0}, {from[1], POLLIN, 0}, {feed, POLLOUT, 0}};
        if (poll(p, 3, -1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (from[i] < 0 || !p[i].revents) continue;
            char buf[1 << 16];
            const ssize_t n = read(from[i], buf, sizeof buf);
            if (n > 0) {
                into[i]->append(buf, static_cast<std::size_t>(n));
            } else {
                close(from[i]);
                from[i] = -1;
            }
        }
        if (feed >= 0 && p[2].revents) {
            const ssize_t n = input.empty() ? 0 : write(feed, input.data(), input.size());
            if (n > 0) input.remove_prefix(static_cast<std::size_t>(n));
            if (n <= 0 || input.empty()) {
                close(feed);
                feed = -1;
            }
        }
    }
    if (feed >= 0) close(feed);
    waitpid(pid, &run.status, 0);
    return run;
}

bool samesettings(const termios &a, const termios &b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

std::string scriptedgame(std::string_view keys, glyphset glyphs) {
    usescript(keys, glyphs);
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
    }
    return transcript();
}
