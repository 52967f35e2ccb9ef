// The hall's HTTP and WebSocket server on Boost.Beast: the runs' API, live games, the page's
// files, the verifiers' queue.
#pragma once

#include "hall/verify.hpp"

#include <cstddef>
#include <iosfwd>
#include <string>

struct hall_config {
    std::string address = "127.0.0.1";
    unsigned short port = 8000; // 0: any free port (the address printed says which)
    std::string data = "hall-data";
    std::string site;       // the web build's directory; none: no page
    std::string game;       // the game that verifies; none: `orbridden` beside this program
    unsigned verifiers = 0; // replays at a time; 0: one per core
    std::size_t queue = 16; // submissions waiting for a verifier, beyond those being verified
    int rate = 30;          // submissions an address may make a minute (and at once)
    std::size_t body_limit = 1 << 20; // a whole game is well under 100 KB
    int live_idle = 600;              // seconds a live game's player may send no line
    int live_per_address = 3;         // live games one address plays at once
    std::size_t live_games = 500;     // live games held at once (each up to a recording's size)
    std::size_t spectators = 2000;    // spectators' connections at once
    // What one address (an IPv4 address, an IPv6 /64) may hold of them, so that one stranger
    // cannot take them all: connections of any kind, and spectators' among them.
    std::size_t connections_per_address = 128;
    std::size_t spectators_per_address = 50;
    std::int64_t clock_ms = -1; // what the hall's clock reads at its start; -1: the system's
    verify_limits limits;
};

// Serves until SIGINT or SIGTERM; prints the address it listens on to `out` once it does.
// Returns the exit status.
int runhall(hall_config config, std::ostream &out, std::ostream &err);
