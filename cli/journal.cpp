// The journal: finding the game it holds, the page that offers to continue it, its file for the
// game being played, and the games played before, kept in games/ beside it.
#include "cli/journal.hpp"

#include "core/console.hpp"
#include "core/files.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <ostream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view journal_name = "journal.rec", games_name = "games";

// Makes `dir` and every directory above it that is missing; false with errno where it cannot.
bool makedirs(const std::string &dir) {
    for (std::size_t at = 1; at <= dir.size(); ++at) {
        if (at < dir.size() && dir[at] != '/') continue;
        if (::mkdir(dir.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) errno = ENOTDIR;
    return S_ISDIR(st.st_mode);
}

// The local date and time of `ms` since the epoch, as `format` writes it.
std::string localtimeof(std::int64_t ms, const char *format) {
    const std::time_t t = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    char text[32] = "";
    if (localtime_r(&t, &tm)) std::strftime(text, sizeof text, format, &tm);
    return text;
}

// The hero's name as the game keeps it, without its blanks; empty before it is chosen.
std::string heroname(const stats_rec &stats) {
    std::string name(stats.name.begin(), stats.name.end());
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

// A part of a file's name: ASCII letters and digits as they are, any other byte as '_'.
std::string namepart(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool plain =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        out += plain ? c : '_';
    }
    return out;
}

// Line `field` of a score record (0: the name, 1: the points), its leading blanks taken off.
std::string scorefield(std::string_view record, int field) {
    for (; field > 0 && record.find('\n') != std::string_view::npos; --field)
        record.remove_prefix(record.find('\n') + 1);
    if (field > 0) return "";
    std::string line(record.substr(0, record.find('\n')));
    line.erase(0, line.find_first_not_of(' '));
    return line;
}

// Moves `path` into games/ as DATE[-HERO]-WHAT.rec, never over another game's file (a number
// is added instead). The name kept, or empty with `problem` saying why.
std::string keepgame(const journal_rec &j, const std::string &path, std::int64_t start,
                     const std::string &hero, const std::string &what, std::string &problem) {
    const std::string games = j.dir + '/' + std::string(games_name);
    if (!makedirs(games)) {
        problem = shown(games) + ": " + std::strerror(errno);
        return "";
    }
    std::string base = localtimeof(start, "%Y-%m-%d-%H%M");
    if (!hero.empty()) base += '-' + namepart(hero);
    base += '-' + namepart(what);
    for (int n = 1; n < 1000; ++n) {
        std::string name = base;
        if (n > 1) name += '-' + std::to_string(n);
        name += ".rec";
        const std::string kept = games + '/' + name;
        // A link never replaces a file of that name, as a rename would.
        if (::link(path.c_str(), kept.c_str()) == 0) {
            ::unlink(path.c_str());
            return std::string(games_name) + '/' + name;
        }
        if (errno != EEXIST) {
            problem = shown(kept) + ": " + std::strerror(errno);
            return "";
        }
    }
    problem = shown(games) + ": too many games of that name";
    return "";
}

// Reads the recording at `path` and replays it without a screen to where it runs out. Empty
// where it can be continued or is finished, else why not.
std::string lookat(const std::string &path, game_parts game, journal_rec &j) {
    std::string problem = readrecordingfile(path, j.rec, &j.text);
    if (!problem.empty()) return problem;
    usescriptscreen({}); // no screen: the console in memory only
    replay(j.rec, game, nullptr);
    j.found = replaystate();
    const bool ranout =
        j.found.stop == replay_stop::recording_ends || j.found.stop == replay_stop::input_closed;
    if ((j.found.ended && j.found.stop == replay_stop::none) || ranout) {
        j.unfinished = !j.found.ended;
        // Continued, its recorded end of input (the only item left) and a cut last line go.
        std::uint32_t upto = j.found.at ? j.found.at->line : j.rec.cutline;
        j.keep = j.text.size();
        if (upto > 0) {
            std::size_t at = 0;
            for (std::uint32_t line = 1; line < upto; ++line) at = j.text.find('\n', at) + 1;
            j.keep = at;
        }
        return "";
    }
    return stopreason(j.rec);
}

// Keeps a journal that is not continued in games/; says so in the notice where it could not
// be replayed, or where it could not be moved.
void keepjournal(journal_rec &j, const std::string &why, const std::string &what) {
    std::string problem;
    const std::string hero = why.empty() ? heroname(j.found.stats) : "";
    // When it began, or where its header cannot tell, when it was last written.
    struct stat st;
    const std::int64_t when = j.rec.header.start > 0                     ? j.rec.header.start
                              : ::stat(journalpath(j).c_str(), &st) == 0 ? st.st_mtime * 1000LL
                                                                         : 0;
    const std::string kept = keepgame(j, journalpath(j), when, hero, what, problem);
    if (!why.empty()) j.notice = "The game in the journal cannot be continued: " + why + ".";
    if (kept.empty()) {
        j.problem = problem; // the journal is not written over
        return;
    }
    if (!why.empty()) j.notice += " It is kept as " + shown(kept) + ".";
}

// The journal found, where it is not continued: kept in games/ as finished, unreplayable or
// abandoned; one with no key taken holds nothing to keep.
void putaside(journal_rec &j, const std::string &why) {
    if (!why.empty())
        keepjournal(j, why, "unreplayable");
    else if (j.found.ended)
        keepfinished(j);
    else if (j.found.keys == 0)
        ::unlink(journalpath(j).c_str());
    else
        keepjournal(j, "", "abandoned");
    j.unfinished = false;
}

// Writes `text` as lines of at most `width` columns, each after `lead` blanks.
void putwrapped(std::string_view text, int lead, std::size_t width) {
    while (!text.empty()) {
        std::size_t cut = text.size();
        if (cut > width) {
            cut = text.rfind(' ', width);
            if (cut == std::string_view::npos || cut == 0) cut = width;
        }
        blanks(lead);
        putline(text.substr(0, cut));
        text.remove_prefix(cut);
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    }
}

// Whether a game being played holds the journal (its lock, taken by `openjournal`).
bool journalbusy(const journal_rec &j) {
    std::string problem;
    const int fd = openregular(journalpath(j), O_RDONLY, problem);
    if (fd < 0) return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

} // namespace

std::string journalpath(const journal_rec &j) {
    return j.dir + '/' + std::string(journal_name);
}

void noticepage(std::string_view text) {
    newlines(9);
    putwrapped(text, 5, 70);
    newlines(3);
    pressenterat(30, 0, waitfor::key);
}

std::string statedir() {
    const char *state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/orbridden";
    const char *home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/orbridden";
    return "";
}

int findjournal(const options &opts, game_parts game, journal_rec &j, std::ostream &err) {
    journal_rec other; // --continue's game, looked at before the journal is touched
    if (opts.what == command::resume) {
        other.elsewhere = true;
        const std::string why = lookat(opts.recording, game, other);
        if (!why.empty() || !other.unfinished) {
            err << "orbridden: " << shown(opts.recording) << ": "
                << (why.empty() ? "the game is finished: there is nothing to continue" : why)
                << '\n';
            return why.empty() ? exit_misuse : exit_notarecording;
        }
    }
    j.dir = statedir();
    if (j.dir.empty())
        j.problem = "no state directory is known (neither XDG_STATE_HOME nor HOME is set)";
    else if (!makedirs(j.dir))
        j.problem = shown(j.dir) + ": " + std::strerror(errno);
    const bool found = j.problem.empty() && ::access(journalpath(j).c_str(), F_OK) == 0;
    if (found && journalbusy(j)) {
        // Another game goes on with it: this one leaves it alone.
        j.problem = shown(journalpath(j)) + " belongs to a game being played";
    } else if (found) {
        const std::string why = lookat(journalpath(j), game, j);
        // --continue's game takes the journal's place.
        if (!why.empty() || !j.unfinished || j.found.keys == 0 || opts.newgame || other.elsewhere)
            putaside(j, why);
    }
    if (!other.elsewhere) return exit_done;
    other.dir = j.dir;
    other.problem = j.problem;
    other.notice = j.notice;
    j = std::move(other);
    return exit_done;
}

bool askcontinue(journal_rec &j) {
    if (!j.notice.empty()) noticepage(j.notice);
    if (!j.unfinished) return false;
    if (j.elsewhere) return true; // --continue asked for it
    const std::string hero = heroname(j.found.stats);
    const std::string last = localtimeof(j.rec.header.start + j.found.now, "%Y-%m-%d %H:%M");
    newlines(9);
    putline("                       A GAME TO CONTINUE");
    newlines(2);
    putline("     HERO        : " + (hero.empty() ? std::string("NOT CHOSEN YET") : hero));
    put("     KEYS PLAYED : ");
    putnum(static_cast<std::int32_t>(std::min<std::uint64_t>(j.found.keys, INT32_MAX)));
    putline();
    putline("     LAST PLAYED : " + last);
    put("     RINGS WON   : ");
    putnum(j.found.stats.num_of_rings);
    putline();
    newlines(1);
    putline("     1) Continue             2) New game");
    newlines(5);
    put("     CHOICE  : ");
    for (;;) {
        const char choice = key();
        if (choice == '1') return true;
        if (choice != '2') continue;
        if (j.problem.empty()) putaside(j, "");
        return false;
    }
}

int openjournal(journal_rec &j, bool continuing) {
    if (!j.problem.empty()) return -1;
    std::string problem;
    const bool fresh = !continuing || j.elsewhere;
    const int flags = fresh ? O_WRONLY | O_CREAT | O_TRUNC : O_WRONLY;
    const int fd = openregular(journalpath(j), flags, problem, 0600);
    int error = 0;
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) error = errno; // for this game alone
    // A game from elsewhere: its lines so far first.
    if (fd >= 0 && continuing && j.elsewhere)
        writewhole(fd, std::string_view(j.text).substr(0, j.keep), error);
    if (fd >= 0 && error == 0) return fd;
    j.problem = shown(journalpath(j)) + ": " + (fd < 0 ? problem : std::strerror(error));
    if (fd >= 0) ::close(fd);
    return -1;
}

void resumejournal(const journal_rec &j, int fd) {
    if (fd < 0) return;
    // What the game continued does not keep goes: its recorded end of input, a line cut short.
    if (::ftruncate(fd, static_cast<off_t>(j.keep)) != 0) return;
    ::lseek(fd, 0, SEEK_END);
}

void keepfinished(const journal_rec &j) {
    recording rec;
    if (!readrecordingfile(journalpath(j), rec).empty()) return;
    // Its points, or where its score record was cut off, only that it was finished.
    const std::string points = scorefield(rec.score, 1);
    std::string problem;
    keepgame(j, journalpath(j), rec.header.start, scorefield(rec.score, 0),
             points.empty() ? "finished" : points, problem);
}
