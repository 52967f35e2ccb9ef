// The hall's tests' support: the real orbridden-hall started on a free loopback port with a
// fresh data directory, a small HTTP client on Beast, and the runs they submit.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace fs = std::filesystem;

// A fresh directory under the system's temporary one, removed with the object.
struct scratch_dir {
    fs::path path;
    scratch_dir();
    ~scratch_dir();
};

// A running hall; stopped (SIGTERM) when the object goes, unless already stopped or killed.
struct hall_server {
    pid_t pid = -1;
    unsigned short port = 0;
    // Starts the hall with its data in `data` and these options besides --listen and --data;
    // `file_limit` (bytes, 0: none) is the largest file it may write (RLIMIT_FSIZE).
    explicit hall_server(const fs::path &data, std::vector<std::string> options = {},
                         long file_limit = 0);
    ~hall_server();
    void stop(int signal = 15); // and wait for it
};

// The options every test hall takes unless it tests them: a generous replay time under the
// sanitizers, and no memory limit where the game is sanitized (it reserves terabytes).
std::vector<std::string> testoptions(std::vector<std::string> more = {});

struct reply {
    int status = 0; // 0: no answer (the connection failed or closed first)
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
    // The header's value, empty when it is not there.
    std::string header(const std::string &name) const {
        const auto it = headers.find(name);
        return it == headers.end() ? "" : it->second;
    }
};

// One request on a connection of its own to 127.0.0.1:port, from the loopback address `from`
// (any of 127.0.0.0/8: the hall counts each as a visitor of its own).
reply fetch(unsigned short port, const std::string &method, const std::string &target,
            const std::string &body = "", std::map<std::string, std::string> headers = {},
            const std::string &from = "127.0.0.1");
reply submit(unsigned short port, const std::string &recording,
             const std::string &from = "127.0.0.1");

// A WebSocket to the hall at 127.0.0.1:port (a live game's player or spectator), its messages
// text; every read and write bounded in time, so that a test fails rather than hangs.
struct live_socket {
    // Connects from the loopback address `from` and upgrades `target`; throws when the hall
    // refuses.
    live_socket(unsigned short port, const std::string &target,
                const std::string &from = "127.0.0.1");
    ~live_socket();
    void send(const std::string &text); // lost where the connection has closed
    // The next message; empty once the connection has closed (or nothing came in time).
    std::string receive();
    // Ends the connection at once, with no closing handshake: a dropped connection.
    void cut();
    struct state;
    std::unique_ptr<state> s;
};

// The playthrough recorded as a player's game; `variant` k > 0 is the same play by a hero built
// with Oru's stats and a name of its own (tests/hall/recordrun.cpp): a game of its own, with
// the same points and deaths, made once a test program.
std::string playthroughrun(int variant = 0);
// `text` as the same game said to have started `ms` earlier: another file with the same clock
// readings, its start less and its first key's delay more.
std::string startedearlier(const std::string &text, int ms);
// `text` with line `n` (from 1) replaced, or left out where `line` is null.
std::string withline(const std::string &text, int n, const char *line);

// Waits for `done` to be true, looking every few milliseconds, with a generous bound; false if
// it never was.
bool eventually(const std::function<bool()> &done);

// The processes that run `game` as a verifier (`game --verify ...`, or `sh game --verify ...`),
// found by their command lines, wherever they are.
std::vector<pid_t> verifiersof(const fs::path &game);

// A stand-in for the game at `dir`/NAME.sh that runs the shell commands `body`.
fs::path standin(const fs::path &dir, const std::string &name, const std::string &body);
// A stand-in for the game at `dir`/NAME: the tests' stand-in program (tests/hall/standin.cpp)
// under a name that says what it does: sleeps, crashes, holds, agrees, hides or escapes.
fs::path standinprogram(const fs::path &dir, const std::string &name);

// A stand-in for the game that holds each replay until the test lets it go, then refuses it
// (holds) or says its recording's score record (agrees).
struct held_verifier {
    fs::path game;
    explicit held_verifier(const fs::path &dir, const std::string &then = "holds")
        : game(standinprogram(dir, then)) {}
    // The replays held now, each ready to be let go (it has its signal's handler).
    std::vector<pid_t> holding() const;
    bool started() const { return !holding().empty(); }
    void release() const; // those held now (SIGUSR1); a later one is held until released too
};
