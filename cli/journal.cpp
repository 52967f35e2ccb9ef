// The journal: finding the game it holds, the page that offers to continue it, its file for the
// game being played, and the games played before, kept in games/ beside it.
#include "cli/journal.hpp"

#include "core/console.hpp"
#include "core/files.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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

// Moves `path` into games/ as BASE.rec (keptname), never over another game's file (a number
// is added instead). The name kept, or empty with `problem` saying why.
std::string keepgame(const journal_rec &j, const std::string &path, const std::string &base,
                     std::string &problem) {
    const std::string games = j.dir + '/' + std::string(games_name);
    if (!makedirs(games)) {
        problem = shown(games) + ": " + std::strerror(errno);
        return "";
    }
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
    const std::string problem = readrecordingfile(path, j.rec, &j.text);
    return problem.empty() ? replayjournal(game, j) : problem;
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
    const std::string kept = keepgame(j, journalpath(j), keptname(when, hero, what), problem);
    if (kept.empty()) j.problem = problem; // the journal is not written over
    if (!why.empty()) j.notice = notcontinued(why, kept.empty() ? "" : shown(kept));
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

std::string statedir() {
    const char *state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/orbridden";
    const char *home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/orbridden";
    return "";
}

int findjournal(const options &opts, game_parts game, bool typed, journal_rec &j,
                std::ostream &err) {
    journal_rec other; // --continue's game, looked at before the journal is touched
    if (opts.what == command::resume) {
        other.elsewhere = true;
        const std::string why = lookat(opts.recording, game, other);
        if (!why.empty() || !other.unfinished) {
            err << "orbridden: " << shown(opts.recording) << ": "
                << (why.empty() ? std::string(nothing_to_continue) : why) << '\n';
            return why.empty() ? exit_misuse : exit_notarecording;
        }
    }
    if (!typed) {
        // A script's keys answer no question meant for a player, and its game takes nothing
        // from the player's journal nor puts anything there: what it prints depends on its
        // keys alone, and the journal's game is still there to continue at the terminal.
        other.untouched = true;
        j = std::move(other);
        return exit_done;
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
    if (continuepage(j)) return true;
    if (j.problem.empty()) putaside(j, "");
    return false;
}

int openjournal(journal_rec &j, bool continuing) {
    if (!j.problem.empty() || j.untouched) return -1;
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
    std::string problem;
    keepgame(j, journalpath(j), finishedname(rec.header.start, rec.score), problem);
}
