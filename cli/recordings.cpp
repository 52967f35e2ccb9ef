// Playing with or without a recording, and replaying one: on the terminal at its pace with the
// watcher's keys, as the plain stream at once, into a terminal cast, or without a screen to
// verify its score record.
#include "cli/recordings.hpp"

#include "cli/cast.hpp"
#include "cli/journal.hpp"
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

} // namespace

std::string readrecordingfile(const std::string &path, recording &rec, std::string *text) {
    std::string bytes, problem;
    std::string &in = text ? *text : bytes;
    const int fd = openregular(path, O_RDONLY, problem);
    if (fd >= 0) {
        const int error = readupto(fd, recording_size_limit, in);
        ::close(fd);
        if (error == EFBIG)
            problem = toolarge();
        else if (error != 0)
            problem = std::strerror(error);
        if (problem.empty() && !readrecording(in, rec, problem) && problem.empty())
            problem = "not a recording";
    } else if (errno == 0) {
        problem += ", not a recording"; // a directory, a pipe, a device
    }
    return problem;
}

namespace {

// Reads the recording at `path`, saying what is wrong with it where it cannot.
int loadrecording(const std::string &path, recording &rec, std::ostream &err) {
    const std::string problem = readrecordingfile(path, rec);
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
    std::uint64_t keys = 0; // the recording's keys: the last a seek goes to
};
pace_rec pace;

// The watcher's keys beyond one byte: the arrows and Page Up and Page Down, whose escape
// sequences come whole from a terminal (ESC [ or ESC O, then D C, or 5~ 6~).
enum watcher_key : int { key_left = 256, key_right, key_pageup, key_pagedown };
constexpr int escape_wait_ms = 50; // for the rest of a sequence, which a terminal sends at once
int watcherkey(int ms) {
    int typed = typedkey(ms);
    if (typed != 27) return typed;
    const int kind = typedkey(escape_wait_ms);
    if (kind != '[' && kind != 'O') return 27;
    switch (typedkey(escape_wait_ms)) {
        case 'D':
            return key_left;
        case 'C':
            return key_right;
        case '5':
            return typedkey(escape_wait_ms) == '~' ? key_pageup : 27;
        case '6':
            return typedkey(escape_wait_ms) == '~' ? key_pagedown : 27;
        default:
            return 27;
    }
}

// The key a seek key goes to from key `now`, while paused; `now` for none.
std::uint64_t seekfrom(std::uint64_t now, int typed) {
    const std::uint64_t step = typed == key_left || typed == key_right ? 1 : 100;
    if (typed == key_left || typed == key_pageup) return now > step ? now - step : 1;
    if (typed == key_right || typed == key_pagedown) return std::min(now + step, pace.keys);
    return now;
}

// On the terminal: waits the key's delay at the replay's speed, answering the watcher's keys
// meanwhile: space pauses and goes on, + and - double and halve the speed, . hands over one
// key while paused, q ends; while paused the arrows and Page Up and Page Down seek. The
// watcher's keys are looked for before every key, however short its delay, so that they are
// answered at once at any pace and however slow the terminal.
replay_stop pacekey(std::uint64_t key, std::int64_t delay) {
    using namespace std::chrono;
    double left = static_cast<double>(std::min(delay, idle_limit_ms)); // recorded time to wait
    for (bool looked = false;; looked = true) {
        const double speed = std::ldexp(1.0, pace.speed);
        if (looked && !pace.paused && left <= 0) return replay_stop::none;
        const auto before = steady_clock::now();
        int typed;
        try {
            typed = watcherkey(
                pace.paused ? -1 : static_cast<int>(std::ceil(std::max(left, 0.0) / speed)));
        } catch (const input_closed &) {
            return replay_stop::quit; // the terminal hung up: the replay ends
        }
        if (!pace.paused)
            left -= duration<double, std::milli>(steady_clock::now() - before).count() * speed;
        if (pace.paused && seekfrom(key, typed) != key)
            return seekreplay(key, seekfrom(key, typed));
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

// The game a replay plays.
game_parts replayed;
void playreplayed() {
    playgame(replayed.opening, replayed.screens);
}

} // namespace

void replay(const recording &rec, game_parts game, replay_pacer pacer, std::uint64_t at) {
    replayed = game;
    try {
        playreplay(rec, pacer, at, playreplayed);
    } catch (...) {
        terminal_restore(); // an escaping exception may end the program without unwinding
        throw;
    }
}

namespace {

// Says how the replay ended, if there is anything to say; returns its exit status.
int report(const recording &rec, const options &opts, std::ostream &err) {
    const std::string message = replaymessage(rec);
    if (!message.empty()) about(err, opts.recording) << message << '\n';
    const replay_state &s = replaystate();
    switch (s.stop) {
        case replay_stop::none:
            return opts.what == command::verify && !s.ended ? exit_stopped : exit_done;
        case replay_stop::quit:
        case replay_stop::seek: // playreplay starts again: never the end
        case replay_stop::recording_ends:
        case replay_stop::input_closed:
            return opts.what == command::verify ? exit_stopped : exit_done;
        default:
            return exit_stopped;
    }
}

// A game being continued: its journal and files, for the moment its replay hands over.
struct continued_rec {
    const journal_rec *journal = nullptr;
    int fd = -1, also = -1; // the journal's and --record's files
    bool handedover = false;
} continued;

// Where the journal's replay has run out: the player takes over, the recorder goes on
// appending to the same files on the same time base, and the screen shows as the game left it.
void takeover() {
    continued.handedover = true;
    resumejournal(*continued.journal, continued.fd);
    int error = 0;
    if (continued.also >= 0)
        writewhole(continued.also,
                   std::string_view(continued.journal->text).substr(0, continued.journal->keep),
                   error);
    if (continued.fd >= 0 || continued.also >= 0)
        resumerecording(continued.fd >= 0 ? continued.fd : continued.also,
                        continued.journal->rec.header, replaystate().now, sincestart,
                        continued.fd >= 0 ? continued.also : -1);
    showconsole();
}

} // namespace

int playcommand(const options &opts, game_parts game, std::ostream &err) {
    int recordfd = -1;
    if (opts.what == command::record) {
        if (const int status = createfile(opts.recording, err, recordfd)) return status;
    }
    journal_rec journal;
    // Keys from a pipe or a file are a script's, not a player's at the terminal.
    const bool typed = isatty(STDIN_FILENO);
    if (const int status = findjournal(opts, game, typed, journal, err)) return status;
    int error = 0, recorderror = 0, journalfd = -1;
    int fd = -1; // the file the game is recorded to, once it has begun
    bool continuing = false, finished = false;
    std::string stopped; // why a game continued stopped before it was taken over
    {
        terminal_session terminal;
        // The in-place console wherever the terminal allows it; the plain stream with --plain.
        if (opts.plain || !usescreen()) useterminal();
        try {
            continuing = askcontinue(journal);
            journalfd = openjournal(journal, continuing);
            if (!journal.problem.empty())
                noticepage("This game cannot be continued later: " + journal.problem + ".");
            // The journal, and --record's file beside it; either alone where the other is
            // missing.
            fd = journalfd >= 0 ? journalfd : recordfd;
            const int also = journalfd >= 0 ? recordfd : -1;
            const recording_header &header = journal.rec.header;
            const std::int64_t start = continuing ? header.start : realclock();
            // Key times count from the recording's start, however long ago it was.
            recording_began =
                std::chrono::steady_clock::now() - std::chrono::milliseconds(realclock() - start);
            if (continuing) {
                continued = {.journal = &journal, .fd = journalfd, .also = recordfd};
                quietconsole();
                startreplay(journal.rec, nullptr, 0, takeover);
            } else if (fd >= 0) {
                startrecording(fd,
                               {.game = std::string(game_release),
                                .start = start,
                                .editedlines = editslines()},
                               sincestart, also);
            }
            playgame(game.opening, game.screens);
            closeconsole();
            finished = true;
        } catch (const input_closed &) {
            // The player closed the input or hung up: end at once, no score record. Before the
            // game began (on its first pages) nothing is recorded and the journal is as it was.
            if (fd >= 0 && (!continuing || continued.handedover)) recordclosed();
        } catch (...) {
            terminal_restore(); // an escaping exception may end the program without unwinding
            throw;
        }
        if (continuing && !continued.handedover) {
            stopreplay();
            stopped = stopreason(journal.rec);
        }
        error = stoprecording(&recorderror);
        if (fd == recordfd) std::swap(error, recorderror);
    }
    if (journalfd >= 0) ::close(journalfd);
    if (recordfd >= 0) ::close(recordfd);
    if (finished && journalfd >= 0 && error == 0) keepfinished(journal);
    if (!stopped.empty()) {
        about(err, opts.what == command::resume ? opts.recording : journalpath(journal))
            << stopped << '\n';
        return exit_stopped;
    }
    if (journalfd >= 0 && error != 0)
        about(err, journalpath(journal))
            << "the journal could not be written to the end: " << std::strerror(error) << '\n';
    if (recorderror == 0) return exit_done;
    about(err, opts.recording) << "the recording could not be written to the end: "
                               << std::strerror(recorderror) << '\n';
    return exit_unwritable;
}

namespace {

// --verify: replays without a screen and prints the score record the game ends with. With
// --progress, a recording that ends before the game does (a game still being played) gets one
// line instead: its keys, the hero's rings and his name (three blanks before he has one).
int verifyrecording(const recording &rec, const options &opts, game_parts game, std::ostream &out,
                    std::ostream &err) {
    usescriptscreen({}); // no screen: the console in memory only
    replay(rec, game, nullptr);
    const replay_state &s = replaystate();
    if (s.ended) out << s.score;
    if (opts.progress && s.stop == replay_stop::recording_ends)
        out << "progress " << s.keys << ' ' << s.stats.num_of_rings << ' '
            << std::string_view(s.stats.name.data(), s.stats.name.size()) << '\n';
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
    pace = {.paused = opts.at > 0, .keys = keycount(rec)};
    plain_began = bytecount();
    replay(rec, game, onscreen ? pacekey : plainkey, opts.at);
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
