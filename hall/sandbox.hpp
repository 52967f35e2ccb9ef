// The verifier's sandbox: what the platform lets the hall take away from a replay's process
// (found once, at start), and putting a child into it between clone and exec.
#pragma once

#include <string>
#include <sys/types.h>

// What every verifier runs in, as found when the hall started.
struct sandbox_facts {
    bool namespaces = false; // its own user, pid, mount and IPC namespaces
    bool seccomp = false;    // the system-call filter
    uid_t uid = 0;           // the user it runs as (nobody, 65534, where the hall is root)
    gid_t gid = 0;
    std::string fallback; // what is missing and why; empty when nothing is
};

// Finds what the platform allows for a child that runs `game` (an absolute path) and builds
// what every child then needs: the filter, its view of the files, its environment. Called once,
// before any replay; it also makes the hall itself undumpable, so that no child of the hall's
// user may read its memory or environment through /proc. The facts stay for the hall's life.
const sandbox_facts &preparesandbox(const std::string &game);
// One line saying which sandbox is in force and where it falls back, and why.
std::string describesandbox(const sandbox_facts &facts);

// A child in the making: `pid` is 0 in the child itself.
struct sandboxed_child {
    pid_t pid = -1;
    int pidfd = -1; // the hall's handle on it, to wait with a deadline (-1: the kernel has none)
    int go = -1;    // the child's: the hall says through it that its user is set up
};

// Like fork, for a process of the prepared sandbox: its namespaces, its own process group.
// pid -1 when no process could be had.
sandboxed_child startsandboxed();
// In the child, before anything else: its user, its view of the files. Only system calls, as
// anywhere between fork and exec in a hall of many threads. False where a step failed.
bool entersandbox(const sandboxed_child &child);
// In the child: closes every descriptor from `from` on.
void closedescriptorsfrom(int from);
// In the child, last: no new privileges, the filter, then `path` with the sandbox's own
// environment. Exits 126 where the filter cannot be put in place, 127 where the exec fails.
[[noreturn]] void execsandboxed(const char *path, const char *const argv[]);
// In the hall: ends the child and any process it made, at once.
void endsandboxed(const sandboxed_child &child);
