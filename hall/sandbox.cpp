// The verifier's sandbox: the filter, the view of the files and the environment built once at
// start, the child's namespaces, user and process group, and its way into them before exec.
#include "hall/sandbox.hpp"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <linux/filter.h>
#include <linux/sched.h>
#include <linux/seccomp.h>
#include <map>
#include <seccomp.h>
#include <set>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The user a verifier runs as where the hall is root: nobody, who owns none of the hall's files.
constexpr uid_t nobody = 65534;

// Stands in the filter for the child's own pid, which only the child knows: it writes its pid
// over this value before it puts the filter in place.
constexpr std::uint32_t self_placeholder = 0x7ffffff1;

// System calls a verifier has no use for, each refused (EPERM) whatever its arguments.
constexpr const char *denied_calls[] = {
    // the network, whatever the address: a replay reads a file and writes two pipes (this, not a
    // network namespace, keeps it off even loopback: a namespace of its own for each child
    // costs as much again as the rest of the sandbox, and the hall's floor with it)
    "socket", "socketpair", "connect", "bind", "listen", "accept", "accept4",
    // other processes' memory and handles
    "ptrace", "process_vm_readv", "process_vm_writev", "process_madvise", "pidfd_open",
    "pidfd_getfd", "pidfd_send_signal", "kcmp",
    // a higher priority than the hall gave it
    "setpriority", "sched_setscheduler", "sched_setparam", "sched_setattr", "ioprio_set",
    // new processes (a thread is a clone with CLONE_THREAD, below)
    "fork", "vfork",
    // another view of the files, other namespaces
    "mount", "umount2", "pivot_root", "chroot", "unshare", "setns", "open_tree", "move_mount",
    "fsopen", "fsconfig", "fsmount", "fspick", "mount_setattr",
    // ways around the filter, and the kernel's less travelled parts
    "io_uring_setup", "io_uring_enter", "io_uring_register", "bpf", "perf_event_open",
    "userfaultfd", "keyctl", "add_key", "request_key"};

// Signals, refused unless the first argument (the pid) is the child's own.
constexpr const char *self_only_calls[] = {"kill", "tkill", "tgkill", "rt_sigqueueinfo",
                                           "rt_tgsigqueueinfo"};

// Where a child's way into the sandbox failed, for the line the hall prints at start.
constexpr const char *step_names[] = {"waiting for its user map", "mapping its user",
                                      "taking its user",          "making its mounts private",
                                      "taking its files",         "mounting its root",
                                      "making its directories",   "making its links",
                                      "placing its files",        "mounting /proc",
                                      "sealing its root",         "changing its root",
                                      "no new privileges",        "the filter"};
enum step : int {
    wait_map,
    map_user,
    set_user,
    private_mounts,
    take_files,
    new_root,
    make_dirs,
    make_links,
    place_files,
    mount_proc,
    seal_root,
    change_root,
    no_new_privs,
    install_filter,
};
static_assert(std::size(step_names) == install_filter + 1);

struct view_link {
    std::string path, target; // path relative to the new root
};
struct view_bind {
    std::string from, at; // the file or directory, and where it goes (relative to the new root)
    bool dir = false;
};

// Everything a child needs, made once in the hall; the child has a copy of it after clone and
// only reads it (but for the filter's pid, written into its own copy).
struct plan_rec {
    sandbox_facts facts;
    bool parentmaps = false;    // the hall writes the child's user map (only root may map nobody)
    std::string uidmap, gidmap; // "ID ID 1": the user and group are the same inside and out
    std::vector<sock_filter> filter;
    std::vector<std::string> dirs; // relative to the new root, each after its parent
    std::vector<view_link> links;
    std::vector<view_bind> binds;
    std::vector<std::string> environment;
    std::vector<char *> envp;
    int maxfd = 1024; // where closing descriptors one by one may stop
};

plan_rec plan;
int failedstep = 0; // in the child: the step entersandbox failed at

bool fail(int s) {
    failedstep = s;
    return false;
}

bool writefile(const char *path, const std::string &text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool whole = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return whole;
}

// ---------------------------------------------------------------------------------------------
// Made once, in the hall
// ---------------------------------------------------------------------------------------------

// The filter as a program for the kernel, built with libseccomp and read back from it.
bool buildfilter(std::vector<sock_filter> &out, std::string &why) {
    const scmp_filter_ctx ctx = ::seccomp_init(SCMP_ACT_ALLOW);
    if (!ctx) return (why = "libseccomp cannot start a filter"), false;
    int rc = 0;
    // Refuses `name` with `action`, where its first argument compares so with `value` (and
    // `mask`), or always.
    auto add = [&](const char *name, std::uint32_t action, scmp_compare op = _SCMP_CMP_MIN,
                   std::uint64_t value = 0, std::uint64_t mask = 0) {
        const int nr = ::seccomp_syscall_resolve_name(name);
        if (nr == __NR_SCMP_ERROR || rc != 0) return; // not a call of this machine's
        const scmp_arg_cmp first{0, op, op == SCMP_CMP_MASKED_EQ ? mask : value,
                                 op == SCMP_CMP_MASKED_EQ ? value : 0};
        rc = op == _SCMP_CMP_MIN ? ::seccomp_rule_add(ctx, action, nr, 0)
                                 : ::seccomp_rule_add(ctx, action, nr, 1, first);
        if (rc != 0) why = std::string("libseccomp refuses a rule for ") + name;
    };
    for (const char *name : denied_calls) add(name, SCMP_ACT_ERRNO(EPERM));
    for (const char *name : self_only_calls)
        add(name, SCMP_ACT_ERRNO(EPERM), SCMP_CMP_NE, self_placeholder);
    // A clone that makes a process rather than a thread; clone3 hides its flags from the
    // filter, so it is said to be missing and the C library falls back to clone.
    add("clone", SCMP_ACT_ERRNO(EPERM), SCMP_CMP_MASKED_EQ, 0, CLONE_THREAD);
    add("clone3", SCMP_ACT_ERRNO(ENOSYS));
    // Its own limits only (pid 0): another process's are not its to change.
    add("prlimit64", SCMP_ACT_ERRNO(EPERM), SCMP_CMP_NE, 0);
    const int fd = ::memfd_create("filter", MFD_CLOEXEC);
    if (rc == 0 && (fd < 0 || ::seccomp_export_bpf(ctx, fd) != 0)) {
        rc = -1;
        why = "libseccomp cannot write the filter out";
    }
    ::seccomp_release(ctx);
    const off_t size = rc == 0 ? ::lseek(fd, 0, SEEK_END) : -1;
    if (size > 0 && size % static_cast<off_t>(sizeof(sock_filter)) == 0) {
        out.resize(static_cast<std::size_t>(size) / sizeof(sock_filter));
        if (::pread(fd, out.data(), static_cast<std::size_t>(size), 0) != size) out.clear();
    }
    if (fd >= 0) ::close(fd);
    if (rc == 0 && out.empty()) why = "the filter could not be read back";
    return !out.empty();
}

struct view_rec {
    std::map<std::string, std::string> links; // absolute path: its target
    std::map<std::string, bool> binds;        // absolute path: a directory
};

// Adds `path` to the view: each symbolic link on the way as a link of its own, and the file or
// directory it leads to, bound read-only. Nothing where it does not exist.
void addtoview(view_rec &v, const fs::path &path, int hops = 0) {
    if (hops > 40) return;
    fs::path at = "/";
    for (auto it = path.begin(); it != path.end(); ++it) {
        if (it->empty() || *it == "/" || *it == ".") continue;
        if (*it == "..") {
            at = at.parent_path();
            continue;
        }
        const fs::path next = at / *it;
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(next, ec);
        if (ec || !fs::exists(st)) return;
        if (fs::is_symlink(st)) {
            const fs::path target = fs::read_symlink(next, ec);
            if (ec) return;
            v.links[next.string()] = target.string();
            fs::path rest = target.is_absolute() ? target : at / target;
            for (auto r = std::next(it); r != path.end(); ++r) rest /= *r;
            return addtoview(v, rest, hops + 1);
        }
        at = next;
    }
    std::error_code ec;
    v.binds[at.string()] = fs::is_directory(at, ec);
}

// The files a child sees: the game, the shell and the dynamic loader's libraries and cache.
void makeview(const std::string &game) {
    view_rec v;
    for (const char *path : {"/lib", "/lib64", "/lib32", "/libx32", "/usr/lib", "/usr/lib64",
                             "/usr/lib32", "/usr/libx32", "/etc/ld.so.cache", "/bin/sh"})
        addtoview(v, path);
    addtoview(v, game);
    auto covered = [&](const std::string &path) { // inside a directory already bound
        for (const auto &[dir, isdir] : v.binds)
            if (isdir && path.size() > dir.size() && path.starts_with(dir + "/")) return true;
        return false;
    };
    std::set<std::string> dirs = {"proc"};
    auto parents = [&](fs::path p) {
        for (p = p.parent_path(); p != "/" && !p.empty(); p = p.parent_path())
            dirs.insert(p.relative_path().string());
    };
    for (const auto &[path, target] : v.links) {
        if (covered(path)) continue;
        parents(path);
        plan.links.push_back({fs::path(path).relative_path().string(), target});
    }
    for (const auto &[path, dir] : v.binds) {
        if (covered(path)) continue;
        parents(path);
        const std::string at = fs::path(path).relative_path().string();
        if (dir) dirs.insert(at);
        plan.binds.push_back({path, at, dir});
    }
    plan.dirs.assign(dirs.begin(), dirs.end()); // sorted: a parent before what it holds
}

// The child's environment: none of the hall's, but for the sanitizers' options where the game
// is built with them. Leaks are not looked for: the check needs a tracer the filter refuses,
// and a replay that ends is all the hall asks of the game.
void makeenvironment() {
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        const char *value = std::getenv(name);
        std::string entry = std::string(name) + "=" + (value ? value : "");
        if (std::string_view(name) == "ASAN_OPTIONS")
            entry += std::string(value && *value ? ":" : "") + "detect_leaks=0";
        else if (!value)
            continue;
        plan.environment.push_back(entry);
    }
    for (std::string &e : plan.environment) plan.envp.push_back(e.data());
    plan.envp.push_back(nullptr);
}

// ---------------------------------------------------------------------------------------------
// In the child: only system calls
// ---------------------------------------------------------------------------------------------

// In the child: the files of its view, held as mounts of their own (read-only) until its new
// root is there to take them. Taken before it leaves the hall's user, who may reach them where
// nobody cannot (a game in a private directory).
int trees[32];
std::size_t treecount = 0;

bool takefiles() {
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return fail(private_mounts);
    treecount = std::min(plan.binds.size(), std::size(trees));
    mount_attr readonly{};
    readonly.attr_set = MOUNT_ATTR_RDONLY | MOUNT_ATTR_NOSUID | MOUNT_ATTR_NODEV;
    for (std::size_t i = 0; i < treecount; ++i) {
        trees[i] = ::open_tree(AT_FDCWD, plan.binds[i].from.c_str(),
                               OPEN_TREE_CLONE | OPEN_TREE_CLOEXEC | AT_RECURSIVE);
        if (trees[i] < 0 || ::mount_setattr(trees[i], "", AT_EMPTY_PATH | AT_RECURSIVE, &readonly,
                                            sizeof readonly) != 0)
            return fail(take_files);
    }
    return true;
}

// The child's view of the files: a small read-only root of its own holding the files taken,
// and a /proc of its own pid namespace, where the hall is not.
bool enterview() {
    // The new root on /tmp, which this mount namespace alone sees; the files are already held.
    if (::mount("tmpfs", "/tmp", "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755,size=64k") != 0 ||
        ::chdir("/tmp") != 0)
        return fail(new_root);
    for (const std::string &dir : plan.dirs)
        if (::mkdir(dir.c_str(), 0755) != 0) return fail(make_dirs);
    for (const view_link &link : plan.links)
        if (::symlink(link.target.c_str(), link.path.c_str()) != 0) return fail(make_links);
    for (std::size_t i = 0; i < treecount; ++i) {
        const view_bind &b = plan.binds[i];
        if (!b.dir) {
            const int fd = ::open(b.at.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0444);
            if (fd < 0) return fail(place_files);
            ::close(fd);
        }
        if (::move_mount(trees[i], "", AT_FDCWD, b.at.c_str(), MOVE_MOUNT_F_EMPTY_PATH) != 0)
            return fail(place_files);
        ::close(trees[i]);
    }
    if (::mount("proc", "proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0)
        return fail(mount_proc);
    if (::mount(nullptr, ".", nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | MS_NOSUID | MS_NODEV,
                nullptr) != 0)
        return fail(seal_root);
    if (::syscall(SYS_pivot_root, ".", ".") != 0 || ::umount2(".", MNT_DETACH) != 0 ||
        ::chdir("/") != 0)
        return fail(change_root);
    return true;
}

// No new privileges, and the filter with the child's own pid written in.
bool seal() {
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return fail(no_new_privs);
    if (!plan.facts.seccomp) return true;
    const auto self = static_cast<std::uint32_t>(::syscall(SYS_getpid));
    for (sock_filter &f : plan.filter)
        if (f.code == (BPF_JMP | BPF_JEQ | BPF_K) && f.k == self_placeholder) f.k = self;
    const sock_fprog program{static_cast<unsigned short>(plan.filter.size()), plan.filter.data()};
    if (::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) return fail(install_filter);
    return true;
}

// Starts a child of the current plan and sees it through entersandbox and seal, then exit:
// true when it got through; else `why` says where and why it did not.
bool probe(std::string &why) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return (why = std::strerror(errno)), false;
    const sandboxed_child child = startsandboxed();
    if (child.pid == 0) {
        if (entersandbox(child) && seal()) ::_exit(0);
        const int failed[2] = {failedstep, errno};
        ::write(report[1], failed, sizeof failed);
        ::_exit(1);
    }
    const int error = errno;
    ::close(report[1]);
    int failed[2] = {0, 0};
    bool through = false;
    if (child.pid < 0) {
        why = std::string("clone: ") + std::strerror(error);
    } else {
        int status = 0;
        while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
        }
        through = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!through && ::read(report[0], failed, sizeof failed) == sizeof failed &&
            failed[0] >= 0 && failed[0] <= install_filter)
            why = std::string(step_names[failed[0]]) + ": " + std::strerror(failed[1]);
        else if (!through)
            why = "its child did not come through";
        if (child.pidfd >= 0) ::close(child.pidfd);
    }
    ::close(report[0]);
    return through;
}

} // namespace

const sandbox_facts &preparesandbox(const std::string &game) {
    // Not dumpable: /proc/HALL/environ, mem and the rest belong to root, not to the hall's
    // user, so a child that runs as that user reads none of them.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    plan = {};
    sandbox_facts &facts = plan.facts;
    facts.uid = ::geteuid();
    facts.gid = ::getegid();
    if (facts.uid == 0) {
        facts.uid = facts.gid = nobody;
        plan.parentmaps = true;
    }
    plan.uidmap = std::to_string(facts.uid) + " " + std::to_string(facts.uid) + " 1";
    plan.gidmap = std::to_string(facts.gid) + " " + std::to_string(facts.gid) + " 1";
    if (rlimit r{}; ::getrlimit(RLIMIT_NOFILE, &r) == 0)
        plan.maxfd = static_cast<int>(std::min<rlim_t>(r.rlim_cur, 1 << 20));
    makeview(game);
    makeenvironment();

    std::string why;
    facts.seccomp = buildfilter(plan.filter, why) && probe(why);
    if (!facts.seccomp) facts.fallback = "no seccomp (" + why + ")";
    facts.namespaces = true;
    if (!probe(why)) {
        facts.namespaces = false;
        facts.fallback += (facts.fallback.empty() ? "" : ", ") + ("no namespaces (" + why + ")");
    }
    return facts;
}

std::string describesandbox(const sandbox_facts &facts) {
    std::string line = "verifiers run ";
    line += facts.namespaces ? "in namespaces of their own (user, pid, mount, IPC; "
                               "only the game, the shell and the libraries in view), "
                             : "";
    line += "as user " + std::to_string(facts.uid) + ", in a process group of their own" +
            (facts.seccomp ? ", under a system-call filter" : "") + ", with no new privileges";
    if (!facts.fallback.empty()) line += "; falls back: " + facts.fallback;
    return line;
}

sandboxed_child startsandboxed() {
    sandboxed_child child;
    const bool mapping = plan.facts.namespaces && plan.parentmaps;
    int go[2] = {-1, -1};
    if (mapping && ::pipe2(go, O_CLOEXEC) != 0) return child;
    clone_args args{};
    args.flags = CLONE_PIDFD;
    if (plan.facts.namespaces)
        args.flags |= CLONE_NEWUSER | CLONE_NEWPID | CLONE_NEWNS | CLONE_NEWIPC;
    args.pidfd = reinterpret_cast<std::uint64_t>(&child.pidfd);
    args.exit_signal = SIGCHLD;
    long pid = ::syscall(SYS_clone3, &args, sizeof args);
    if (pid < 0 && errno == ENOSYS && !plan.facts.namespaces) {
        pid = ::fork(); // a kernel before clone3, or a filter that hides it
        if (pid > 0) child.pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    }
    if (pid == 0) {
        if (go[1] >= 0) ::close(go[1]);
        return {0, -1, go[0]};
    }
    const int error = errno;
    if (go[0] >= 0) ::close(go[0]);
    if (pid > 0) {
        child.pid = static_cast<pid_t>(pid);
        ::setpgid(child.pid, child.pid); // as the child does: the group is there for either
        if (mapping) {
            const std::string proc = "/proc/" + std::to_string(pid) + "/";
            if (writefile((proc + "uid_map").c_str(), plan.uidmap) &&
                writefile((proc + "gid_map").c_str(), plan.gidmap))
                ::write(go[1], "g", 1); // else the child reads the end of the pipe, and stops
        }
    }
    if (go[1] >= 0) ::close(go[1]);
    errno = error;
    return child;
}

bool entersandbox(const sandboxed_child &child) {
    ::setpgid(0, 0);
    if (plan.facts.namespaces) {
        if (plan.parentmaps) {
            char said = 0;
            if (::read(child.go, &said, 1) != 1) return fail(wait_map);
            ::close(child.go);
        } else if (!writefile("/proc/self/setgroups", "deny") ||
                   !writefile("/proc/self/uid_map", plan.uidmap) ||
                   !writefile("/proc/self/gid_map", plan.gidmap)) {
            return fail(map_user);
        }
    }
    if (plan.facts.namespaces && !takefiles()) return false;
    // Root's groups and ids go: nobody owns none of the hall's files. (The mounts still work:
    // the namespace's own root is not mapped, so the change keeps its capabilities in there,
    // and exec then drops them.)
    if (plan.parentmaps && (::setgroups(0, nullptr) != 0 ||
                            ::setresgid(plan.facts.gid, plan.facts.gid, plan.facts.gid) != 0 ||
                            ::setresuid(plan.facts.uid, plan.facts.uid, plan.facts.uid) != 0))
        return fail(set_user);
    return !plan.facts.namespaces || enterview();
}

void closedescriptorsfrom(int from) {
    if (::syscall(SYS_close_range, static_cast<unsigned>(from), ~0U, 0U) == 0) return;
    for (int fd = from; fd < plan.maxfd; ++fd) ::close(fd); // a kernel before close_range
}

void execsandboxed(const char *path, const char *const argv[]) {
    if (!seal()) ::_exit(126);
    ::execve(path, const_cast<char *const *>(argv), plan.envp.data());
    ::_exit(127);
}

void endsandboxed(const sandboxed_child &child) {
    ::kill(-child.pid, SIGKILL); // its group, where it has no namespace of its own
    ::kill(child.pid, SIGKILL);  // in a pid namespace, all of it ends with its first process
}
