// orbridden-hall: reads the command line, then runs the hall of fame until stopped.
#include "cli/options.hpp"
#include "hall/server.hpp"

#include <cstdlib>
#include <getopt.h>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view usage = "usage: orbridden-hall [--listen ADDR:PORT] [--data DIR] "
                                   "[--site DIR] [--game PATH]\n"
                                   "                      [--verifiers N] [--queue N] [--rate N] "
                                   "[--cpu-seconds N] [--wall-seconds N]\n"
                                   "                      [--memory-mb N] [--live-idle SECONDS] "
                                   "[--live-per-address N]\n"
                                   "                      [--live-games N] [--spectators N] "
                                   "[--connections-per-address N]\n"
                                   "                      [--spectators-per-address N] "
                                   "[--clock MS]\n"
                                   "       orbridden-hall --help | --version\n";

// A number from `low` to `high`, or false.
bool count(const char *text, long low, long high, long &out) {
    char *end = nullptr;
    out = std::strtol(text, &end, 10);
    return *text && !*end && out >= low && out <= high;
}

// Sets `field` to the whole number `text` says, from `low` to `high`.
template <typename T>
bool setcount(const char *text, long low, long high, T &field) {
    long n;
    if (!count(text, low, high, n)) return false;
    field = static_cast<T>(n);
    return true;
}

// ADDR:PORT, an IPv6 address in brackets: [::1]:8000.
bool listenat(std::string_view text, hall_config &c) {
    const auto colon = text.rfind(':');
    long port = 0;
    if (colon == text.npos || !count(std::string(text.substr(colon + 1)).c_str(), 0, 65535, port))
        return false;
    std::string_view address = text.substr(0, colon);
    if (address.size() > 2 && address.front() == '[' && address.back() == ']')
        address = address.substr(1, address.size() - 2);
    if (address.empty()) return false;
    c.address = address;
    c.port = static_cast<unsigned short>(port);
    return true;
}

struct option_row {
    const char *name;
    const char *argument; // null: takes none
    const char *help;
    // Takes the argument into the settings; false when it is not one this option takes.
    bool (*take)(hall_config &, const char *);
};

constexpr option_row rows[] = {
    {"listen", "ADDR:PORT", "where to listen (127.0.0.1:8000; port 0 takes a free one)",
     [](hall_config &c, const char *a) { return listenat(a, c); }},
    {"data", "DIR", "where the runs are kept (hall-data)",
     [](hall_config &c, const char *a) { return *a && (c.data = a, true); }},
    {"site", "DIR", "the web build to serve at / (none: the API only)",
     [](hall_config &c, const char *a) { return *a && (c.site = a, true); }},
    {"game", "PATH", "the game that verifies (orbridden beside this program)",
     [](hall_config &c, const char *a) { return *a && (c.game = a, true); }},
    {"verifiers", "N", "replays at a time (one per core)",
     [](hall_config &c, const char *a) { return setcount(a, 1, 256, c.verifiers); }},
    {"queue", "N", "submissions that may wait for a verifier (16)",
     [](hall_config &c, const char *a) { return setcount(a, 0, 100000, c.queue); }},
    {"rate", "N", "submissions an address may make a minute (30)",
     [](hall_config &c, const char *a) { return setcount(a, 1, 1000000, c.rate); }},
    {"cpu-seconds", "N", "CPU time a replay may take (5)",
     [](hall_config &c, const char *a) { return setcount(a, 1, 3600, c.limits.cpu_seconds); }},
    {"wall-seconds", "N", "time on the clock a replay may take (20)",
     [](hall_config &c, const char *a) { return setcount(a, 1, 3600, c.limits.wall_seconds); }},
    {"memory-mb", "N", "address space a replay may take, in MB (512; 0: no limit)",
     [](hall_config &c, const char *a) { return setcount(a, 0, 1 << 20, c.limits.memory_mb); }},
    {"live-idle", "SECONDS", "a live game's connection with no line this long is closed (600)",
     [](hall_config &c, const char *a) { return setcount(a, 1, 86400, c.live_idle); }},
    {"live-per-address", "N", "live games one address plays at once (3)",
     [](hall_config &c, const char *a) { return setcount(a, 1, 1000, c.live_per_address); }},
    {"live-games", "N", "live games held at once (500)",
     [](hall_config &c, const char *a) { return setcount(a, 1, 100000, c.live_games); }},
    {"spectators", "N", "spectators' connections at once (2000)",
     [](hall_config &c, const char *a) { return setcount(a, 0, 1000000, c.spectators); }},
    {"connections-per-address", "N", "connections one address (an IPv6 /64) may hold at once (128)",
     [](hall_config &c, const char *a) {
         return setcount(a, 1, 1000000, c.connections_per_address);
     }},
    {"spectators-per-address", "N", "spectators one address may hold at once (50)",
     [](hall_config &c, const char *a) {
         return setcount(a, 0, 1000000, c.spectators_per_address);
     }},
    {"clock", "MS",
     "the hall's clock at its start, in ms since 1970 (the system's), for tests and replays of "
     "an event",
     [](hall_config &c, const char *a) { return setcount(a, 0, 100'000'000'000'000, c.clock_ms); }},
    {"help", nullptr, "print this help and exit", nullptr},
    {"version", nullptr, "print the name and version and exit", nullptr},
};

} // namespace

int main(int argc, char *argv[]) {
    std::vector<option> longs;
    for (const option_row &r : rows)
        longs.push_back({r.name, r.argument ? required_argument : no_argument, nullptr, 0});
    longs.push_back({});
    hall_config config;
    opterr = 0;
    for (int index = -1; getopt_long(argc, argv, "", longs.data(), &index) != -1; index = -1) {
        if (index < 0) {
            std::cerr << "orbridden-hall: unknown option or missing argument: " << argv[optind - 1]
                      << '\n'
                      << usage;
            return 2;
        }
        const option_row &r = rows[index];
        if (!r.take) {
            if (std::string_view(r.name) == "version") {
                std::cout << "orbridden-hall " << game_release << '\n';
                return 0;
            }
            std::cout
                << "orbridden-hall, the hall of fame of ORBRIDDEN: takes recordings of whole\n"
                   "games, replays each to verify it, and lists the real ones.\n\n"
                << usage << "\noptions:\n";
            for (const option_row &o : rows) {
                const std::string left =
                    std::string("--") + o.name + (o.argument ? std::string(" ") + o.argument : "");
                std::cout << "  " << left
                          << std::string(left.size() < 24 ? 24 - left.size() : 1, ' ') << o.help
                          << '\n';
            }
            return 0;
        }
        if (!r.take(config, optarg)) {
            std::cerr << "orbridden-hall: --" << r.name << ' ' << optarg << ": expected "
                      << r.argument << " (see --help)\n";
            return 2;
        }
    }
    if (optind < argc) {
        std::cerr << "orbridden-hall: unexpected argument: " << argv[optind] << '\n' << usage;
        return 2;
    }
    return runhall(std::move(config), std::cout, std::cerr);
}
