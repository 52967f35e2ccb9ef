// Verifying a submitted recording: its header and items read in the hall, its replay in a
// child process under resource limits, its answer read from the child's exit status and output.
#include "hall/verify.hpp"

#include "cli/options.hpp"
#include "core/recording.hpp"
#include "hall/sandbox.hpp"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What the child may leave in a reason: a line's worth, printable ASCII.
std::string shortline(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, text.find('\n'))) {
        if (out.size() == 200) return out + "...";
        out += c >= ' ' && c <= '~' ? c : '?';
    }
    return out;
}

// The number on line `n` (from 0) of a score record, or -1.
std::int64_t recordnumber(std::string_view record, int n) {
    for (; n > 0; --n) {
        const auto end = record.find('\n');
        if (end == record.npos) return -1;
        record.remove_prefix(end + 1);
    }
    std::string line(record.substr(0, std::min<std::size_t>(record.find('\n'), 20)));
    char *end = nullptr;
    errno = 0;
    const long long v = std::strtoll(line.c_str(), &end, 10);
    return errno == 0 && end != line.c_str() && v >= 0 ? v : -1;
}

struct child_end {
    bool started = false; // a pipe and a process were had
    bool exited = false;
    int status = 0; // the exit status, or the signal that ended it
    std::string out, err;
    const char *limit = nullptr; // the limit the hall ended it for
};

// In the child: enters the sandbox, writes the recording to a file in memory at descriptor 3,
// with the pipes at 1 and 2, sets the limits and runs the game; only system calls between fork
// and exec. The file is written here, with the file size limit raised to its hard limit: a soft
// limit on the hall's own files (a disk kept from filling) is not one on a replay's input.
[[noreturn]] void startchild(const sandboxed_child &child, const std::string &game,
                             std::string_view text, int out, int err, const verify_limits &limits,
                             bool progress) {
    auto limit = [](int resource, rlim_t soft, rlim_t hard) {
        const rlimit r{soft, hard};
        if (::setrlimit(resource, &r) != 0) ::_exit(126);
    };
    // Opened before the view of the files narrows to the game's.
    const int devnull = ::open("/dev/null", O_RDONLY);
    if (!entersandbox(child)) ::_exit(126);
    rlimit files{};
    if (::getrlimit(RLIMIT_FSIZE, &files) != 0) ::_exit(126);
    limit(RLIMIT_FSIZE, files.rlim_max, files.rlim_max);
    const int recording = ::memfd_create("recording", 0);
    for (std::size_t at = 0; recording >= 0 && at < text.size();) {
        const ssize_t n = ::write(recording, text.data() + at, text.size() - at);
        if (n < 0 && errno != EINTR) ::_exit(126);
        if (n > 0) at += static_cast<std::size_t>(n);
    }
    if (recording < 0 || devnull < 0 || ::lseek(recording, 0, SEEK_SET) != 0 ||
        ::dup2(devnull, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
        ::dup2(recording, 3) < 0)
        ::_exit(126);
    closedescriptorsfrom(4);            // nothing of the hall's: its sockets, its database
    ::prctl(PR_SET_PDEATHSIG, SIGKILL); // and it ends with the hall
    limit(RLIMIT_CPU, static_cast<rlim_t>(limits.cpu_seconds),
          static_cast<rlim_t>(limits.cpu_seconds) + 1);
    if (limits.memory_mb > 0) {
        const auto bytes = static_cast<rlim_t>(limits.memory_mb) << 20;
        limit(RLIMIT_AS, bytes, bytes);
    }
    limit(RLIMIT_FSIZE, 0, 0); // it writes no file
    limit(RLIMIT_CORE, 0, 0);
    // Replays are batch work: the hall's own thread, which answers readers, goes first.
    ::setpriority(PRIO_PROCESS, 0, verifier_nice);
    if (::chdir("/") != 0) ::_exit(126);
    const char *argv[] = {game.c_str(), "--verify", "/proc/self/fd/3",
                          progress ? "--progress" : nullptr, nullptr};
    execsandboxed(game.c_str(), argv);
}

// Runs the game on the recording and collects what it says, ending it (and anything it made)
// when it writes more than it may or outlives its wall time, pipes closed or not.
child_end runchild(const std::string &game, std::string_view text, const verify_limits &limits,
                   bool progress = false) {
    child_end end;
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return end;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]), ::close(out[1]);
        return end;
    }
    const sandboxed_child child = startsandboxed();
    if (child.pid == 0) startchild(child, game, text, out[1], err[1], limits, progress);
    ::close(out[1]), ::close(err[1]);
    if (child.pid < 0) {
        ::close(out[0]), ::close(err[0]);
        return end;
    }
    end.started = true;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(limits.wall_seconds);
    // The pipes, then the child's end where the kernel gives a handle on it; without one, it
    // is looked for every 50 ms once the pipes are closed.
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {child.pidfd, POLLIN, 0}};
    std::string *into[2] = {&end.out, &end.err};
    int status = 0;
    bool reaped = false, gone = false;
    for (int open = 2; (open > 0 || !gone) && !end.limit;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            end.limit = "its replay ran past its time on the clock";
            break;
        }
        const bool look = open == 0 && child.pidfd < 0;
        const int wait = static_cast<int>(look ? std::min<long>(left.count(), 50) : left.count());
        if (::poll(fds, 3, wait) < 0 && errno != EINTR) break;
        if (fds[2].revents || look) {
            if (look)
                reaped = gone = ::waitpid(child.pid, &status, WNOHANG) == child.pid;
            else
                gone = true;
            fds[2].fd = -1;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents) continue;
            char buf[4096];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else if (end.out.size() + end.err.size() + static_cast<std::size_t>(n) >
                       limits.output_bytes) {
                end.limit = "its replay wrote more than it may";
            } else {
                into[i]->append(buf, static_cast<std::size_t>(n));
            }
        }
    }
    // Whatever it left, with it: a process it made, one that held the pipes.
    if (!reaped) endsandboxed(child);
    for (int i = 0; i < 2; ++i)
        if (fds[i].fd >= 0) ::close(fds[i].fd);
    if (child.pidfd >= 0) ::close(child.pidfd);
    while (!reaped && ::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    end.exited = WIFEXITED(status);
    end.status = end.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return end;
}

std::string gameof(const recording &rec) {
    std::string game = rec.header.game + '\n' + (rec.header.editedlines ? 'c' : 's');
    std::int64_t now = rec.header.start;
    for (const recording_item &item : rec.items) {
        switch (item.kind) {
            case item_type::key:
                now += item.value;
                game += 'k';
                game += static_cast<char>(item.key);
                break;
            case item_type::clock:
                game += 'c';
                for (int shift = 0; shift < 64; shift += 8)
                    game +=
                        static_cast<char>(static_cast<std::uint64_t>(now + item.value) >> shift);
                break;
            case item_type::nokey:
                game += 'w';
                break;
            case item_type::closed:
                game += 'x';
                break;
            case item_type::checksum: // what the game wrote, not what decided it
            case item_type::score:
                break;
        }
    }
    return game;
}

} // namespace

std::string gameplayed(std::string_view text) {
    recording rec;
    std::string problem;
    return readrecording(text, rec, problem) ? gameof(rec) : "";
}

bool checkrecording(std::string_view text, run_facts &facts, std::string &reason,
                    std::string &game) {
    recording rec;
    std::string problem;
    if (!readrecording(text, rec, problem)) {
        reason = "not a recording: " + shortline(problem);
        return false;
    }
    if (rec.header.game != game_release) {
        reason = "recorded by version " + shortline(rec.header.game) + "; this hall takes " +
                 std::string(game_release);
        return false;
    }
    if (rec.score.empty() || rec.cutline) {
        reason = "not a finished game: the recording holds no score record";
        return false;
    }
    facts = {};
    facts.game = rec.header.game;
    for (const recording_item &item : rec.items) {
        if (item.kind == item_type::key) {
            if (item.value < 0) {
                reason = "key " + std::to_string(facts.keys + 1) + " comes before the one before";
                return false;
            }
            ++facts.keys;
            facts.played_ms += item.value;
        } else if (item.kind == item_type::clock &&
                   (item.value < 0 || item.value > clock_step_limit_ms)) {
            reason = "the clock reading on line " + std::to_string(item.line) + " is " +
                     std::to_string(item.value) + " ms from key " + std::to_string(facts.keys) +
                     ", out of step with it (at most " + std::to_string(clock_step_limit_ms) +
                     " ms)";
            return false;
        }
    }
    game = gameof(rec);
    return true;
}

verdict replayrecording(const std::string &game, std::string_view text, const verify_limits &limits,
                        run_facts &facts, std::string &reason) {
    const child_end end = runchild(game, text, limits);
    if (!end.started || (end.exited && (end.status == 126 || end.status == 127))) {
        reason = "the hall cannot verify now: its verifier did not start";
        return verdict::unverified;
    }
    if (end.limit) {
        reason = end.limit;
    } else if (!end.exited) {
        reason = end.status == SIGXCPU || end.status == SIGKILL
                     ? "its replay ran past its CPU time"
                     : "its replay ended by signal " + std::to_string(end.status);
    } else if (end.status == 0) {
        facts.name.clear();
        for (char c : std::string_view(end.out).substr(0, 3))
            facts.name += c >= ' ' && c <= '~' ? c : '?';
        facts.points = recordnumber(end.out, 1);
        facts.deaths = recordnumber(end.out, 2);
        if (facts.points >= 0 && facts.deaths >= 0) return verdict::verified;
        reason = "its replay ended with no score record the hall can read";
    } else if (end.status == 1 || end.status == 3) {
        // "orbridden: /proc/self/fd/3: why" on its last line: only the why
        std::string_view err = end.err;
        const std::string_view file = "/proc/self/fd/3: ";
        if (const auto at = err.rfind(file); at != err.npos) err.remove_prefix(at + file.size());
        reason = (end.status == 3 ? "not a recording: " : "") + shortline(err);
    } else {
        reason = "its verifier failed (status " + std::to_string(end.status) + ")";
    }
    return verdict::refused;
}

bool replayprogress(const std::string &game, std::string_view text, const verify_limits &limits,
                    live_progress &out) {
    const child_end end = runchild(game, text, limits, true);
    // "progress KEYS RINGS NAME": the name is the line's last three bytes, blanks and all.
    const std::string_view said = end.out;
    const std::string_view word = "progress ";
    if (!end.exited || !said.starts_with(word) || !said.ends_with('\n')) return false;
    std::string_view rest = said.substr(word.size(), said.size() - word.size() - 1);
    const auto space = rest.find(' ');
    if (space == rest.npos || rest.size() < space + 5) return false;
    out.keys = recordnumber(rest.substr(0, space), 0);
    out.rings = recordnumber(rest.substr(space + 1), 0);
    out.hero = shortline(rest.substr(rest.size() - 3));
    return out.keys >= 0 && out.rings >= 0;
}
