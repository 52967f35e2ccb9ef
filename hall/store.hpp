// The hall's runs in SQLite: the schema and its migrations, adding a run (on disk before it is
// answered) and reading them back. Every statement is prepared, every value bound.
#pragma once

#include "hall/ranks.hpp"
#include "hall/verify.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

struct stored_run {
    std::int64_t id = 0;
    run_facts facts;
    std::int64_t submitted_ms = 0; // when it was added, in ms since 1970
    std::int64_t tie = 0;          // runs of the same points and deaths stored before it
    std::int64_t rank = 0;         // from 1: by points, then fewer deaths, then the earlier
};

// Opens (or makes) the database at `path` in WAL mode, with every commit synced (`synced`) or
// only written (it then survives the hall's crash, not the machine's), and brings its schema up
// to this hall's version. Null, with `error`, when it cannot.
sqlite3 *openstore(const std::string &path, std::string &error, bool synced = true);
void closestore(sqlite3 *db);

// The first run stored of `game` (as gameplayed gives it), or 0.
std::int64_t findgame(sqlite3 *db, std::string_view game);

enum class added { stored, existed, failed };
// Stores a verified run of `game` in one transaction, unless a run of that game is there
// already; `id` is the run's either way. Returns once the run is on disk, and counted in `ranks`;
// `failed` with `error` otherwise.
added addrun(sqlite3 *db, run_ranks &ranks, std::string_view recording, std::string_view game,
             const run_facts &facts, std::int64_t now_ms, std::int64_t &id, std::string &error);

// The runs of each score in the table, for `buildranks`.
std::vector<score_count> scorecounts(sqlite3 *db);

// A run, ranked by `ranks`.
bool getrun(sqlite3 *db, const run_ranks &ranks, std::int64_t id, stored_run &run);
// Runs best first (by_points) or latest first, `limit` of them after skipping `offset`, ranked.
std::vector<stored_run> listruns(sqlite3 *db, const run_ranks &ranks, bool by_points,
                                 std::int64_t limit, std::int64_t offset);
bool getrecording(sqlite3 *db, std::int64_t id, std::string &recording);

// A new live game's id (0 when it could not be stored).
std::int64_t addlive(sqlite3 *db, const std::string &token, const std::string &address,
                     std::int64_t since_ms);
// A line of a live game as stored: its number from 0, its arrival, whether it was sent again.
struct live_row {
    std::int64_t n = 0, arrived_ms = 0;
    bool resent = false;
    std::string line; // without its line feed
};
// Live games: each with its token, the address that began it and when, and its lines from the
// first up to the first one missing.
struct stored_live {
    std::int64_t id = 0;
    std::string token, address;
    std::int64_t since_ms = 0;
    std::vector<live_row> lines = {};
};

// Stores the game's lines, in place of any stored before with the same numbers (a line sent again
// after a failed write may have been stored beyond the lines that failed).
bool addlivelines(sqlite3 *db, std::int64_t game, const std::vector<live_row> &rows);
void droplive(sqlite3 *db, std::int64_t game);
std::vector<stored_live> loadlive(sqlite3 *db);
