// A stand-in for the game in the hall's tests, given as --game under a name that says what it
// does: sleeps, crashes, holds (until SIGUSR1), agrees (holds, then says the recording's own score
// record, as the game does when its replay reaches it), hides (closes its pipes and sleeps), or
// escapes: tries every way out of its sandbox towards the targets its recording's score record
// names.
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// What the hostile stand-in aims at: `r escapes PORT PID DATA` as its score record.
struct targets {
    int port = 0;
    pid_t hall = 0;
    std::string data;
};

// The recording's score record, as its last line writes it.
std::string scorerecord() {
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = ::read(3, buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<std::size_t>(n));
    const std::size_t at = text.rfind("\nr ");
    return at == text.npos ? "" : text.substr(at + 3, text.find('\n', at + 1) - at - 3);
}

targets readtargets() {
    std::istringstream in(scorerecord());
    std::string word;
    targets t;
    in >> word >> t.port >> t.hall >> t.data;
    return t;
}

[[noreturn]] void sleepforever() {
    for (;;) ::pause();
}

bool connectsto(int type, int port) {
    const int s = ::socket(AF_INET, type, 0);
    if (s < 0) return false;
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<std::uint16_t>(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool done =
        type == SOCK_STREAM
            ? ::connect(s, reinterpret_cast<sockaddr *>(&at), sizeof at) == 0
            : ::sendto(s, "x", 1, 0, reinterpret_cast<sockaddr *>(&at), sizeof at) == 1;
    ::close(s);
    return done;
}

bool opens(const std::string &path, int flags) {
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd >= 0) ::close(fd);
    return fd >= 0;
}

bool reads(const std::string &path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    char c;
    const bool read = fd >= 0 && ::read(fd, &c, 1) == 1;
    if (fd >= 0) ::close(fd);
    return read;
}

// hall.db mapped shared: whatever it writes there reaches the file, past any file size limit.
bool mapsshared(const std::string &path) {
    int fd = ::open(path.c_str(), O_RDWR);
    const int prot = fd >= 0 ? PROT_READ | PROT_WRITE : PROT_READ;
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    void *at = ::mmap(nullptr, 4096, prot, MAP_SHARED, fd, 0);
    ::close(fd);
    if (at == MAP_FAILED) return false;
    ::munmap(at, 4096);
    return true;
}

struct attempt {
    const char *what;
    bool (*succeeds)(const targets &);
};

// Each a way out; the last, an exec, does not come back where it succeeds, and then the line
// that says none did never comes.
const attempt attempts[] = {
    {"connects to the hall", [](const targets &t) { return connectsto(SOCK_STREAM, t.port); }},
    {"sends to 127.0.0.1", [](const targets &t) { return connectsto(SOCK_DGRAM, t.port); }},
    {"makes a socket pair",
     [](const targets &) {
         int pair[2];
         return ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0;
     }},
    {"reads hall.db", [](const targets &t) { return reads(t.data + "/hall.db"); }},
    {"opens hall.db to write", [](const targets &t) { return opens(t.data + "/hall.db", O_RDWR); }},
    {"maps hall.db shared", [](const targets &t) { return mapsshared(t.data + "/hall.db"); }},
    {"maps its WAL shared", [](const targets &t) { return mapsshared(t.data + "/hall.db-wal"); }},
    {"makes a file beside it",
     [](const targets &t) { return opens(t.data + "/escaped", O_WRONLY | O_CREAT); }},
    {"reads /etc/passwd", [](const targets &) { return reads("/etc/passwd"); }},
    {"signals the hall", [](const targets &t) { return ::kill(t.hall, 0) == 0; }},
    {"signals every process", [](const targets &) { return ::kill(-1, 0) == 0; }},
    {"reads the hall's environment",
     [](const targets &t) { return reads("/proc/" + std::to_string(t.hall) + "/environ"); }},
    {"opens the hall's memory",
     [](const targets &t) { return opens("/proc/" + std::to_string(t.hall) + "/mem", O_RDONLY); }},
    {"traces the hall",
     [](const targets &t) {
         // SEIZE, not ATTACH: let in, it does not stop the hall
         const bool attached = ::ptrace(PTRACE_SEIZE, t.hall, nullptr, nullptr) == 0;
         if (attached) ::ptrace(PTRACE_DETACH, t.hall, nullptr, nullptr);
         return attached;
     }},
    {"reads the hall's memory",
     [](const targets &t) {
         char c;
         iovec mine{&c, 1}, theirs{reinterpret_cast<void *>(0x10000), 1};
         // EFAULT: it was let in, only the address was wrong
         return ::process_vm_readv(t.hall, &mine, 1, &theirs, 1, 0) == 1 || errno == EFAULT;
     }},
    {"holds a descriptor of the hall's",
     [](const targets &) {
         for (int fd = 4; fd < 4096; ++fd)
             if (::fcntl(fd, F_GETFD) != -1) return true;
         return false;
     }},
    {"takes back its priority",
     [](const targets &) { return ::setpriority(PRIO_PROCESS, 0, 0) == 0; }},
    {"raises its CPU limit",
     [](const targets &) {
         rlimit r{};
         ::getrlimit(RLIMIT_CPU, &r);
         if (r.rlim_max == RLIM_INFINITY) return true;
         r.rlim_max += 60;
         return ::setrlimit(RLIMIT_CPU, &r) == 0;
     }},
    {"makes a namespace", [](const targets &) { return ::unshare(CLONE_NEWUSER) == 0; }},
    {"starts a process that outlives it",
     [](const targets &) {
         const pid_t pid = ::fork();
         if (pid == 0) { // away from the pipes, so that the line below still reaches the hall
             ::close(1), ::close(2);
             sleepforever();
         }
         return pid > 0;
     }},
    {"runs another program",
     [](const targets &) {
         ::execl("/usr/bin/env", "env", static_cast<char *>(nullptr));
         return false;
     }},
};

} // namespace

int main(int, char *argv[]) {
    std::string name = argv[0];
    name = name.substr(name.rfind('/') + 1);
    if (name == "sleeps") sleepforever();
    if (name == "crashes") {
        // A real fault, ended by its signal as the game would be unsanitized.
        std::signal(SIGSEGV, SIG_DFL);
        auto *page = static_cast<volatile char *>(
            ::mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        *page = 1;
    }
    if (name == "holds") {
        std::signal(SIGUSR1, [](int) {
            constexpr char said[] = "held\n";
            ::write(2, said, sizeof said - 1);
            ::_exit(1);
        });
        sleepforever();
    }
    if (name == "agrees") {
        // The record's bytes, %XX the byte XX; said once released.
        static std::string said;
        const std::string record = scorerecord();
        for (std::size_t i = 0; i < record.size(); ++i)
            if (record[i] == '%' && i + 2 < record.size()) {
                said += static_cast<char>(std::stoi(record.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                said += record[i];
            }
        std::signal(SIGUSR1, [](int) {
            ::write(1, said.data(), said.size());
            ::_exit(0);
        });
        sleepforever();
    }
    if (name == "hides") {
        ::close(1), ::close(2);
        sleepforever();
    }
    if (name == "escapes") {
        const targets t = readtargets();
        std::string escaped;
        for (const attempt &a : attempts)
            if (a.succeeds(t)) escaped += std::string(escaped.empty() ? "" : ", ") + a.what;
        const std::string line = "escapes: " + (escaped.empty() ? "none" : escaped) + "\n";
        ::write(2, line.data(), line.size());
        return 1;
    }
    return 2;
}
