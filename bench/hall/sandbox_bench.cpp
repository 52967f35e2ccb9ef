// The verifier's sandbox against a bare child, in the same loop and in turn: a child that only
// starts (`orbridden --version`) and a replay of the playthrough (`orbridden --verify`).
#include "hall/sandbox.hpp"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs `argv` with the recording at descriptor 3 and output to /dev/null, bare or in the
// sandbox; its time on the clock, in ms, or -1 where it did not end well.
double runonce(bool sandboxed, const char *const argv[]) {
    const auto start = std::chrono::steady_clock::now();
    const int recording = ::open(HALL_RUN, O_RDONLY); // not closed on exec, should it be 3
    const int devnull = ::open("/dev/null", O_WRONLY);
    const sandboxed_child child = sandboxed ? startsandboxed() : sandboxed_child{::fork()};
    if (child.pid == 0) {
        if (sandboxed && !entersandbox(child)) ::_exit(126);
        ::dup2(recording, 3), ::dup2(devnull, 1);
        if (!sandboxed) {
            ::execv(argv[0], const_cast<char *const *>(argv));
            ::_exit(127);
        }
        closedescriptorsfrom(4);
        execsandboxed(argv[0], argv);
    }
    ::close(recording), ::close(devnull);
    if (child.pidfd >= 0) ::close(child.pidfd);
    int status = 0;
    while (child.pid > 0 && ::waitpid(child.pid, &status, 0) < 0) {
    }
    if (child.pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main() {
    std::printf("%s\n", describesandbox(preparesandbox(ORBRIDDEN_BINARY)).c_str());
    const char *const starts[] = {ORBRIDDEN_BINARY, "--version", nullptr};
    const char *const replays[] = {ORBRIDDEN_BINARY, "--verify", "/proc/self/fd/3", nullptr};
    struct row {
        const char *what;
        const char *const *argv;
        int rounds;
    };
    for (const row &r : {row{"a child that starts and ends", starts, 200},
                         row{"a replay of the playthrough", replays, 100}}) {
        double bare = 0, boxed = 0;
        for (int i = 0; i < r.rounds; ++i) {
            const double b = runonce(false, r.argv), s = runonce(true, r.argv);
            if (b < 0 || s < 0) {
                std::printf("%s: a child did not end well\n", r.what);
                return 1;
            }
            bare += b, boxed += s;
        }
        std::printf("%s: bare %.2f ms, in the sandbox %.2f ms: %.2f times\n", r.what,
                    bare / r.rounds, boxed / r.rounds, boxed / bare);
    }
    return 0;
}
