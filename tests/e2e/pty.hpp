// Runs the real game binary in a pseudo-terminal, as a player at a terminal would: a small
// shell starts it as the terminal's foreground job (so Ctrl-Z can stop it), and a terminal
// emulator (libvterm) shows the screen the player sees.
#pragma once

#include "core/console.hpp"
#include "core/recording.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <termios.h>
#include <utility>
#include <vector>

struct VTerm;
struct VTermScreen;

// How long a wait goes on without a sign from the game before the game is taken for hung. It is
// no measure of speed: on a loaded machine a sanitized game can be silent for many seconds (its
// first page comes after a whole journal's replay), and a wait ends at once where the game has
// stopped or ended without what it waits for. The test runner's own limit is 60 s.
constexpr int hung_ms = 50000;

// How the game is started.
struct pty_options {
    std::vector<std::string> args = {}; // after the program's name, e.g. {"--plain"}
    int rows = 24, cols = 80;           // the terminal's size
    // The emulator's screen, when it is to be smaller than the size the terminal reports (a
    // window too large to emulate); 0 takes the terminal's size.
    int screen_rows = 0, screen_cols = 0;
    std::string term = "xterm-256color"; // TERM; empty leaves it unset
    // Whether the terminal turns a line end into carriage return and line end.
    bool translate = true;
    // Whether the terminal shows UTF-8 and the game's locale says so (LC_ALL=C.UTF-8); without,
    // the locale is C and the terminal takes each byte as one character.
    bool utf8 = true;
    bool errors_apart = false; // standard error into `errors` instead of onto the screen
    // Whether the terminal is the game's controlling terminal; without (as under setsid), its
    // closing sends the game no hang-up signal and only ends its input.
    bool controlling = true;
    std::function<void()> run = {}; // played instead of the binary, when given
};

struct pty_game {
    pid_t pid = -1;     // the shell that runs the game and reports on it
    pid_t game = -1;    // the game itself
    int master = -1;    // what the player types goes in here and the screen comes out
    int slave = -1;     // kept open so the terminal's settings can be read at any time
    int reports = -1;   // the shell's reports: 'T' when the game stopped, 'X' and its wait status
    int errpipe = -1;   // standard error, when it is kept apart from the screen
    std::string seen;   // everything the game has sent to the terminal so far
    std::string errors; // what it wrote to a standard error kept apart, once it has ended
    termios initial{};  // the terminal's settings before the game started
    VTerm *vt = nullptr;
    VTermScreen *vs = nullptr;
    bool altscreen = false, cursorvisible = true; // as the emulator stands

    // Starts the game in `dir` (its score file goes there).
    explicit pty_game(const std::string &dir, const pty_options &options = {});
    // The same with `args` after the program's name, and standard error kept apart or not.
    pty_game(const std::string &dir, const std::vector<std::string> &args, bool errors_apart)
        : pty_game(dir, pty_options{.args = args, .errors_apart = errors_apart}) {}
    ~pty_game();
    pty_game(const pty_game &) = delete;
    pty_game &operator=(const pty_game &) = delete;

    void send(std::string_view keys);
    // Reads the terminal until `text` has appeared after position `from` of `seen`; returns its
    // position, or fails the test where the game stops or ends (or hangs) without it.
    std::size_t waitfor(std::string_view text, std::size_t from = 0);
    // Reads the terminal until the screen shows `text`; false (and a failure) where it never can.
    bool waitscreen(std::string_view text);
    // Reads the terminal until `ok` holds; false (and a failure) where it never can.
    bool waituntil(const std::function<bool()> &ok);
    // Reads what the terminal has sent so far, without waiting.
    void drain();
    // The screen's rows as UTF-8, trailing blanks removed.
    std::vector<std::string> screen() const;
    // The screen as one text, for failure messages.
    std::string shown() const;
    // Changes the terminal's size, as a player dragging the window's corner does.
    void resize(int rows, int cols);
    // Changes only the size the terminal reports, the emulator's screen staying as it is.
    void reportsize(int rows, int cols);
    // Closes the terminal, as closing its window does.
    void hangup();
    // Writes bytes into the emulator as if another program had written to the terminal.
    void scribble(std::string_view bytes);
    termios settings() const;
    // The emulator's cursor: row and column.
    std::pair<int, int> cursor() const;
    // The most memory the game has held at once (its VmHWM), in kB.
    long peakmemory() const;
    // Waits until the game's input holds `count` bytes typed and not read yet; false after the
    // timeout.
    bool waitunread(int count, int timeout_ms = hung_ms);
    // Waits until the game has stopped (after Ctrl-Z); false after the timeout.
    bool waitstopped(int timeout_ms = hung_ms);
    // Continues the stopped game, as `fg` does.
    void resume();
    // Waits for the game to end and returns its wait status.
    int finish();
    // The same, failing (and leaving the game to be killed) when the terminal shows more than
    // `bytes` bytes first.
    int finishwithin(std::size_t bytes);

  private:
    std::size_t seen_limit = std::string::npos; // report() gives up when `seen` grows past it
    bool readsome(int timeout_ms);
    // Reads the terminal's next output, however long it takes; false once the game has stopped
    // or ended and left nothing more to read, or has hung.
    bool readnext();
    char report(int timeout_ms);
};

// A terminal emulator's screen rows as UTF-8, trailing blanks removed.
std::vector<std::string> emulatorrows(VTerm *vt);

// A fresh empty directory for one test.
std::string tempdir();

// What a run of the game on pipes gave: its standard output and error and its wait status.
struct piped_run {
    std::string out, err;
    int status = -1;
};
// Runs the game with `args` in `dir` and the locale `locale` on pipes, `input` written to its
// standard input.
piped_run runpiped(const std::vector<std::string> &args, std::string_view input = {},
                   const std::string &dir = tempdir(), const char *locale = "C.UTF-8");
// Whether two terminal settings agree in every flag and control character.
bool samesettings(const termios &a, const termios &b);

// The whole game played through the scripted console with `keys` until they run out: its
// output, as the plain stream writes it in `glyphs`.
std::string scriptedgame(std::string_view keys, glyphset glyphs = glyphset::utf8);

// ---- the golden playthrough, recorded through the scripted console

extern const std::string golden; // the golden transcripts' directory
std::string slurp(const std::string &path);

// The clock that tests set: each reading one millisecond after the last, from `clock_ms`.
extern std::int64_t clock_ms;
std::int64_t steppingclock();

struct scripted_recording {
    std::string file;       // the recording
    std::string transcript; // what the game printed meanwhile
    text_console last;      // the console as the game left it
};
// Plays the whole game on `keys` through the scripted console from a stepping clock at `start`,
// recording it to a new file; the keys come `step` milliseconds apart. With `transcribed`
// false, the console is kept in memory without a transcript (for a long game).
scripted_recording recordscripted(const std::string &keys, std::int64_t start, std::int64_t step,
                                  bool transcribed = true);
// The playthrough, recorded once for all the tests that read it.
const scripted_recording &playthrough();
// The recording at `path`, which must read.
recording readfile(const std::string &path);
// The keys a recording holds.
std::string keysof(const recording &rec);
