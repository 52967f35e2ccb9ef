// Playing with or without a recording, and replaying one: on the terminal at its pace with the
// watcher's keys, as the plain stream at once, into a terminal cast, or without a screen to
// verify its score record.
#include "cli/recordings.hpp"

#include "cli/cast.hpp"
#include "core/console.hpp"
#include "core/files.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "tty/terminal.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <ostream>
#include <unistd.h>

namespace {

// The start of a message about `path`: the program's name and the file's, shown safely.
std::ostream &about(std::ostream &err, const std::string &path) {
    return err << "orbridden: " << shown(path) << ": ";
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Files
// ---------------------------------------------------------------------------------------------

// Makes the new file `path`; one that exists, of whatever kind, is never written over.
int createfile(const std::string &path, std::ostream &err, int &fd) {
    std::string problem;
    fd = openregular(path, O_WRONLY | O_CREAT | O_EXCL, problem);
    if (fd >= 0) return exit_done;
    const bool exists = errno == EEXIST;
    about(err, path) << (exists ? "exists; it is not written over" : problem) << '\n';
    return exists ? exit_misuse : exit_unwritable;
}

// Reads the recording at `path`: only a regular file, and no more of it than a recording of
// any game takes.
int loadrecording(const std::string &path, recording &rec, std::ostream &err) {
    std::string text, problem;
    const int fd = openregular(path, O_RDONLY, problem);
    if (fd >= 0) {
        const int error = readupto(fd, recording_size_limit, text);
        ::close(fd);
        if (error == EFBIG)
            problem = "is larger than " + std::to_string(recording_size_limit >> 20) +
                      " MiB, more than a recording of any game";
        else if (error != 0)
            problem = std::strerror(error);
        if (problem.empty() && !readrecording(text, rec, problem) && problem.empty())
            problem = "not a recording";
    } else if (errno == 0) {
        problem += ", not a recording"; // a directory, a pipe, a device
    }
    if (problem.empty()) return exit_done;
    about(err, path) << problem << '\n';
    return exit_notarecording;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Playing, recorded or not
// ---------------------------------------------------------------------------------------------

std::chrono::steady_clock::time_point recording_began;
// A key's time in a recording: milliseconds since it began, on a clock that never goes back.
std::int64_t sincestart() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - recording_began).count();
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Replaying
// ---------------------------------------------------------------------------------------------

// The longest pause between two keys a replay shows (at speed 1): a player who left the game
// waiting is not waited for.
constexpr std::int64_t idle_limit_ms = 5000;
// The replay's speed is 2 to this power, from 1/4 to 64.
constexpr int slowest = -2, fastest = 6;

struct pace_rec {
    int speed = 0; // the power of 2
    bool paused = false;
};
pace_rec pace;

// On the terminal: waits the key's delay at the replay's speed, answering the watcher's keys
// meanwhile: space pauses and goes on, + and - double and halve the speed, . hands over one
// key while paused, q ends. The watcher's keys are looked for before every key, however short
// its delay, so that they are answered at once at any pace and however slow the terminal.
replay_stop pacekey(std::uint64_t, std::int64_t delay) {
    using namespace std::chrono;
    double left = static_cast<double>(std::min(delay, idle_limit_ms)); // recorded time to wait
    for (bool looked = false;; looked = true) {
        const double speed = std::ldexp(1.0, pace.speed);
        if (looked && !pace.paused && left <= 0) return replay_stop::none;
        const auto before = steady_clock::now();
        int typed;
        try {
            typed = typedkey(
                pace.paused ? -1 : static_cast<int>(std::ceil(std::max(left, 0.0) / speed)));
        } catch (const input_closed &) {
            return replay_stop::quit; // the terminal hung up: the replay ends
        }
        if (!pace.paused)
            left -= duration<double, std::milli>(steady_clock::now() - before).count() * speed;
        switch (typed) {
            case ' ':
                pace.paused = !pace.paused;
                break;
            case '+':
                pace.speed = std::min(pace.speed + 1, fastest);
                break;
            case '-':
                pace.speed = std::max(pace.speed - 1, slowest);
                break;
            case '.':
                if (pace.paused) return replay_stop::none;
                break;
            case 'q':
            case 'Q':
                return replay_stop::quit;
            default:
                break;
        }
    }
}

// As the plain stream: at once, until the output reaches its limit.
std::uint64_t plain_began = 0; // the plain stream's bytes before the replay
replay_stop plainkey(std::uint64_t, std::int64_t) {
    return bytecount() - plain_began < replay_output_limit ? replay_stop::none
                                                           : replay_stop::output_full;
}

// Into a cast: the screen the game waits on, at the time of the last key, until the cast
// reaches the output's limit.
replay_stop castkey(std::uint64_t, std::int64_t) {
    castframe(consolescreen(), replaystate().now);
    return castbytes() < replay_output_limit ? replay_stop::none : replay_stop::output_full;
}

// Plays `rec` through the console's back end as it is set.
void replay(const recording &rec, game_parts game, replay_pacer pacer) {
    startreplay(rec, pacer);
    try {
        playgame(game.opening, game.screens);
    } catch (const input_closed &) {
        // the replay stopped, or the recorded input ended: replaystate says which
    } catch (...) {
        stopreplay();
        terminal_restore(); // an escaping exception may end the program without unwinding
        throw;
    }
    stopreplay();
}

// What stands at the item where the replay stopped.
std::string itemname(const recording_item *at, std::uint64_t keys) {
    if (!at) return "its end";
    switch (at->kind) {
        case item_type::key:
            return "key " + std::to_string(keys + 1);
        case item_type::clock:
            return "a clock reading";
        case item_type::checksum:
            return "a checksum of the screen";
        case item_type::nokey:
            return "no key waiting";
        case item_type::closed:
            return "the end of its input";
        case item_type::score:
            return "the end of the game";
    }
    return "";
}

// The score record's first three lines (name, points, deaths) on one line.
std::string scoreline(const std::string &record) {
    std::string out;
    std::size_t at = 0;
    for (int field = 0; field < 3 && at < record.size(); ++field) {
        std::size_t end = std::min(record.find('\n', at), record.size());
        std::string_view part(record.data() + at, end - at);
        part.remove_prefix(std::min(part.find_first_not_of(' '), part.size()));
        if (field) out += ' ';
        out += part;
        at = end + 1;
    }
    return "\"" + shown(out) + "\"";
}

// A check (two hexadecimal digits) or a checksum (eight), as the recording writes them.
std::string hex(std::uint32_t v, bool checksum) {
    char s[9];
    std::snprintf(s, sizeof s, "%0*x", checksum ? 8 : 2, v);
    return s;
}

// Where the replay stopped and why, or nothing when the game ended as recorded.
std::string stopmessage(const recording &rec) {
    const replay_state &s = replaystate();
    const std::string keys = std::to_string(s.keys);
    const std::string after = s.keys == 0 ? "at its start" : "after key " + keys;
    const std::string line = s.at ? " (line " + std::to_string(s.at->line) + ")" : "";
    const std::string has = " where the recording has " + itemname(s.at, s.keys) + line;
    switch (s.stop) {
        case replay_stop::none:
            return s.ended ? "" : "the recorded input ends " + after + ", before the game does";
        case replay_stop::quit:
            return "replay ended " + after;
        case replay_stop::recording_ends:
            return s.ended ? "the game ends " + after + ", but the recording holds no score record"
                           : "the recording ends " + after + ", before the game does";
        case replay_stop::input_closed:
            return "the recorded input ends " + after + ", before the game does";
        case replay_stop::asks_key:
            return after + " the game asks for a key" + has;
        case replay_stop::reads_clock:
            return after + " the game reads the clock" + has;
        case replay_stop::game_ends:
            return "the game ends " + after + has;
        case replay_stop::screen_differs: {
            const bool checksum = s.at->kind == item_type::checksum;
            return (s.ended       ? "the last screen"
                    : s.keys == 0 ? "the first screen"
                                  : "the screen after key " + keys) +
                   " differs from the recorded one" + line + ": " +
                   (checksum ? "checksum " : "check ") + hex(s.at->check, checksum) +
                   " recorded, " + hex(s.sum, checksum) + " now";
        }
        case replay_stop::score_differs:
            return "the score differs: the recording holds " + scoreline(rec.score) +
                   ", this game ends with " + scoreline(s.score);
        case replay_stop::output_full: {
            const std::uint64_t most = replay_output_limit;
            return "the replay stops " + after + ": it has written " +
                   (most % (1 << 20) ? std::to_string(most) + " bytes"
                                     : std::to_string(most >> 20) + " MiB") +
                   ", the most a replay writes";
        }
    }
    return "";
}

// Says how the replay ended, if there is anything to say; returns its exit status.
int report(const recording &rec, const options &opts, std::ostream &err) {
    std::string message = stopmessage(rec);
    if (rec.cutline)
        message += (message.empty() ? "" : "; ") + std::string("its last line, line ") +
                   std::to_string(rec.cutline) + ", is cut short";
    if (!message.empty()) about(err, opts.recording) << message << '\n';
    const replay_state &s = replaystate();
    switch (s.stop) {
        case replay_stop::none:
            return opts.what == command::verify && !s.ended ? exit_stopped : exit_done;
        case replay_stop::quit:
        case replay_stop::recording_ends:
        case replay_stop::input_closed:
            return opts.what == command::verify ? exit_stopped : exit_done;
        default:
            return exit_stopped;
    }
}

} // namespace

int playcommand(const options &opts, game_parts game, std::ostream &err) {
    const bool recorded = opts.what == command::record;
    int fd = -1;
    if (recorded) {
        if (const int status = createfile(opts.recording, err, fd)) return status;
    }
    int error = 0;
    {
        terminal_session terminal;
        // The in-place console wherever the terminal allows it; the plain stream with --plain.
        if (opts.plain || !usescreen()) useterminal();
        if (recorded) {
            recording_began = std::chrono::steady_clock::now();
            startrecording(fd,
                           {.game = std::string(game_release),
                            .start = realclock(),
                            .editedlines = editslines()},
                           sincestart);
        }
        try {
            playgame(game.opening, game.screens);
            closeconsole();
        } catch (const input_closed &) {
            // the player closed the input or hung up: end at once, no score record
            if (recorded) recordclosed();
        } catch (...) {
            terminal_restore(); // an escaping exception may end the program without unwinding
            throw;
        }
        error = stoprecording();
    }
    if (fd >= 0) ::close(fd);
    if (error == 0) return exit_done;
    about(err, opts.recording) << "the recording could not be written to the end: "
                               << std::strerror(error) << '\n';
    return exit_unwritable;
}

namespace {

// --verify: replays without a screen and prints the score record the game ends with.
int verifyrecording(const recording &rec, const options &opts, game_parts game, std::ostream &out,
                    std::ostream &err) {
    usescriptscreen({}); // no screen: the console in memory only
    replay(rec, game, nullptr);
    if (replaystate().ended) out << replaystate().score;
    return report(rec, opts, err);
}

// --replay --cast: replays without a screen into a new cast file.
int castrecording(const recording &rec, const options &opts, game_parts game, std::ostream &err) {
    int fd = -1;
    if (const int status = createfile(opts.cast, err, fd)) return status;
    std::string problem;
    if (!startcast(fd, rec.header.start, problem)) {
        ::close(fd);
        ::unlink(opts.cast.c_str());
        about(err, opts.cast) << problem << '\n';
        return exit_unwritable;
    }
    usescriptscreen({}); // no screen: the console in memory only
    replay(rec, game, castkey);
    castframe(consolescreen(), replaystate().now); // the last page
    const int error = endcast();
    ::close(fd);
    const int status = report(rec, opts, err);
    if (error == 0) return status;
    about(err, opts.cast) << std::strerror(error) << '\n';
    return exit_unwritable;
}

// --replay: on the terminal at the recorded pace; as the plain stream at once with --plain or
// when the output goes elsewhere.
int watchrecording(const recording &rec, const options &opts, game_parts game, std::ostream &err) {
    std::optional<terminal_session> terminal;
    bool onscreen = false;
    if (!opts.plain && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        terminal.emplace();
        onscreen = usescreen();
    }
    if (!onscreen) useterminal();
    pace = {};
    plain_began = bytecount();
    replay(rec, game, onscreen ? pacekey : plainkey);
    closeconsole();
    terminal.reset();
    return report(rec, opts, err);
}

} // namespace

int replaycommand(const options &opts, game_parts game, std::ostream &out, std::ostream &err) {
    recording rec;
    if (const int status = loadrecording(opts.recording, rec, err)) return status;
    if (rec.header.game != game_release)
        err << "orbridden: warning: " << shown(opts.recording) << " was recorded by version "
            << shown(rec.header.game) << "; this is version " << game_release << '\n';
    if (opts.what == command::verify) return verifyrecording(rec, opts, game, out, err);
    if (!opts.cast.empty()) return castrecording(rec, opts, game, err);
    return watchrecording(rec, opts, game, err);
}
