// The hall's runs in SQLite: WAL mode with synchronous=FULL, so that a commit that returns is
// on disk; the schema versioned by PRAGMA user_version with its migrations below.
#include "hall/store.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

// Each migration takes the schema one version further, its SQL and then, where SQL alone cannot
// do it, a routine, in one transaction; a hall applies those it has not. Append, never edit: a
// database in use has run the earlier ones.
struct migration {
    const char *sql;
    bool (*then)(sqlite3 *db, std::string &error) = nullptr;
};

bool fillgames(sqlite3 *db, std::string &error);

constexpr migration migrations[] = {
    // 1: the runs, with their recordings whole; found again by the recording's digest
    {"CREATE TABLE runs ("
     "  id INTEGER PRIMARY KEY,"
     "  digest INTEGER NOT NULL,"
     "  name TEXT NOT NULL,"
     "  points INTEGER NOT NULL,"
     "  deaths INTEGER NOT NULL,"
     "  keys INTEGER NOT NULL,"
     "  played_ms INTEGER NOT NULL,"
     "  game TEXT NOT NULL,"
     "  submitted_ms INTEGER NOT NULL,"
     "  recording BLOB NOT NULL);"
     "CREATE INDEX runs_digest ON runs (digest);"
     "CREATE INDEX runs_rank ON runs (points DESC, deaths, id);"},
    // 2: whether the hall saw a run played live, and why not; the games being played live, each
    // line with its arrival (ids never used twice, so that an old token names no new game)
    {"ALTER TABLE runs ADD COLUMN witnessed INTEGER NOT NULL DEFAULT 0;"
     "ALTER TABLE runs ADD COLUMN witness_reason TEXT NOT NULL DEFAULT '';"
     "ALTER TABLE runs ADD COLUMN hall_ms INTEGER NOT NULL DEFAULT 0;"
     "CREATE TABLE live_games ("
     "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
     "  token TEXT NOT NULL,"
     "  address TEXT NOT NULL,"
     "  since_ms INTEGER NOT NULL);"
     "CREATE TABLE live_lines ("
     "  game INTEGER NOT NULL,"
     "  n INTEGER NOT NULL,"
     "  arrived_ms INTEGER NOT NULL,"
     "  resent INTEGER NOT NULL,"
     "  line TEXT NOT NULL,"
     "  PRIMARY KEY (game, n)) WITHOUT ROWID;"},
    // 3: runs told apart by the game they play (gameplayed), not by their recordings' bytes; the
    // runs stored get theirs from their recordings. Two runs of one game stored before stay.
    {"DROP INDEX runs_digest;"
     "ALTER TABLE runs DROP COLUMN digest;"
     "ALTER TABLE runs ADD COLUMN game_digest INTEGER NOT NULL DEFAULT 0;"
     "CREATE INDEX runs_game ON runs (game_digest);",
     fillgames},
    // 4: each run's tie, the runs of its points and deaths stored before it (fixed when it is
    // stored, since ids only grow), so that a rank is a sum of counts kept in memory plus its
    // tie, never a count of rows; the runs already stored are numbered here
    {"ALTER TABLE runs ADD COLUMN tie INTEGER NOT NULL DEFAULT 0;"
     "UPDATE runs SET tie = ordered.n FROM (SELECT id, ROW_NUMBER() OVER "
     "  (PARTITION BY points, deaths ORDER BY id) - 1 AS n FROM runs) AS ordered "
     "  WHERE runs.id = ordered.id;"},
};
constexpr int schema_version = std::size(migrations);

using statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

statement prepare(sqlite3 *db, const char *sql) {
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    return {s, sqlite3_finalize};
}

bool exec(sqlite3 *db, const char *sql, std::string &error) {
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

// FNV-1a over the bytes: an index to find a game by, never trusted alone.
std::int64_t digest(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037u;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211u;
    return static_cast<std::int64_t>(h);
}

std::string_view blob(sqlite3_stmt *s, int column) {
    const auto *p = static_cast<const char *>(sqlite3_column_blob(s, column));
    return {p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(s, column))};
}

// `text` with each number written as the game writes it. Halls before schema 3 took numbers with
// leading zeros (and `-0`), and stored such recordings as they came.
std::string respelt(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        const std::size_t at = line.starts_with("start ") ? 6
                               : line.starts_with("c ")   ? 2
                               : !line.empty() && line[0] >= '0' && line[0] <= '9'
                                   ? 0 // a key's delay
                                   : line.npos;
        if (at == line.npos) {
            out += line;
        } else {
            const std::size_t stop = std::min(line.find(' ', at), line.size());
            std::string_view number = line.substr(at, stop - at);
            const bool minus = number.starts_with('-');
            number.remove_prefix(minus);
            while (number.size() > 1 && number[0] == '0') number.remove_prefix(1);
            out.append(line.substr(0, at)).append(minus && number != "0" ? "-" : "");
            out.append(number).append(line.substr(stop));
        }
        out += text.substr(end, 1);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return out;
}

// The game a stored run plays, however its recording was spelt.
std::string storedgame(std::string_view recording) {
    std::string game = gameplayed(recording);
    return game.empty() ? gameplayed(respelt(recording)) : game;
}

// Each stored run's game digest, from its recording.
bool fillgames(sqlite3 *db, std::string &error) {
    const statement runs = prepare(db, "SELECT id, recording FROM runs");
    const statement set = prepare(db, "UPDATE runs SET game_digest = ? WHERE id = ?");
    while (sqlite3_step(runs.get()) == SQLITE_ROW) {
        sqlite3_bind_int64(set.get(), 1, digest(storedgame(blob(runs.get(), 1))));
        sqlite3_bind_int64(set.get(), 2, sqlite3_column_int64(runs.get(), 0));
        if (sqlite3_step(set.get()) != SQLITE_DONE) {
            error = sqlite3_errmsg(db);
            return false;
        }
        sqlite3_reset(set.get());
    }
    return true;
}

std::string text(sqlite3_stmt *s, int column) {
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(s, column))) : "";
}

constexpr const char *run_columns =
    "SELECT id, name, points, deaths, keys, played_ms, game, submitted_ms, witnessed, "
    "witness_reason, hall_ms, tie FROM runs ";

stored_run readrun(sqlite3_stmt *s, const run_ranks &ranks) {
    stored_run run = {.id = sqlite3_column_int64(s, 0),
                      .facts = {.name = text(s, 1),
                                .points = sqlite3_column_int64(s, 2),
                                .deaths = sqlite3_column_int64(s, 3),
                                .keys = sqlite3_column_int64(s, 4),
                                .played_ms = sqlite3_column_int64(s, 5),
                                .game = text(s, 6),
                                .witnessed = sqlite3_column_int64(s, 8) != 0,
                                .witness_reason = text(s, 9),
                                .hall_ms = sqlite3_column_int64(s, 10)},
                      .submitted_ms = sqlite3_column_int64(s, 7),
                      .tie = sqlite3_column_int64(s, 11)};
    run.rank = rankof(ranks, {run.facts.points, run.facts.deaths}, run.tie);
    return run;
}

} // namespace

sqlite3 *openstore(const std::string &path, std::string &error, bool synced) {
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    int version = -1;
    bool ok = exec(db,
                   synced ? "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"
                          : "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;",
                   error);
    if (ok) {
        const statement s = prepare(db, "PRAGMA user_version");
        if (sqlite3_step(s.get()) == SQLITE_ROW) version = sqlite3_column_int(s.get(), 0);
    }
    if (ok && (version < 0 || version > schema_version)) {
        error = "its schema is version " + std::to_string(version) + "; this hall knows up to " +
                std::to_string(schema_version);
        ok = false;
    }
    for (; ok && version < schema_version; ++version) {
        const migration &m = migrations[version];
        const std::string step = std::string("BEGIN IMMEDIATE; ") + m.sql +
                                 "; PRAGMA user_version = " + std::to_string(version + 1) + ";";
        ok = exec(db, step.c_str(), error) && (!m.then || m.then(db, error)) &&
             exec(db, "COMMIT", error);
        if (!ok) {
            std::string ignored;
            exec(db, "ROLLBACK", ignored);
        }
    }
    if (ok) return db;
    sqlite3_close(db);
    return nullptr;
}

void closestore(sqlite3 *db) {
    sqlite3_close(db);
}

std::int64_t findgame(sqlite3 *db, std::string_view game) {
    // Rows of one digest are the runs of one game stored before it was looked for (the first
    // kept), or games whose digests collide.
    const statement s =
        prepare(db, "SELECT id, recording FROM runs WHERE game_digest = ? ORDER BY id");
    sqlite3_bind_int64(s.get(), 1, digest(game));
    while (sqlite3_step(s.get()) == SQLITE_ROW)
        if (storedgame(blob(s.get(), 1)) == game) return sqlite3_column_int64(s.get(), 0);
    return 0;
}

added addrun(sqlite3 *db, run_ranks &ranks, std::string_view recording, std::string_view game,
             const run_facts &facts, std::int64_t now_ms, std::int64_t &id, std::string &error) {
    if (!exec(db, "BEGIN IMMEDIATE", error)) return added::failed;
    // Looked for again inside the transaction: the same game may have been verified twice.
    if ((id = findgame(db, game)) != 0) {
        exec(db, "COMMIT", error);
        return added::existed;
    }
    // The new run comes last among its equals: one past the latest's tie, found in the rank
    // index without counting them.
    const statement last = prepare(db, "SELECT tie + 1 FROM runs WHERE points = ? AND "
                                       "deaths = ? ORDER BY id DESC LIMIT 1");
    sqlite3_bind_int64(last.get(), 1, facts.points);
    sqlite3_bind_int64(last.get(), 2, facts.deaths);
    const std::int64_t tie =
        sqlite3_step(last.get()) == SQLITE_ROW ? sqlite3_column_int64(last.get(), 0) : 0;
    const statement s = prepare(db, "INSERT INTO runs (game_digest, name, points, deaths, keys, "
                                    "played_ms, game, submitted_ms, recording, witnessed, "
                                    "witness_reason, hall_ms, tie) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    sqlite3_bind_int64(s.get(), 1, digest(game));
    sqlite3_bind_text(s.get(), 2, facts.name.data(), static_cast<int>(facts.name.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int64(s.get(), 3, facts.points);
    sqlite3_bind_int64(s.get(), 4, facts.deaths);
    sqlite3_bind_int64(s.get(), 5, facts.keys);
    sqlite3_bind_int64(s.get(), 6, facts.played_ms);
    sqlite3_bind_text(s.get(), 7, facts.game.data(), static_cast<int>(facts.game.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int64(s.get(), 8, now_ms);
    sqlite3_bind_blob64(s.get(), 9, recording.data(), recording.size(), SQLITE_STATIC);
    sqlite3_bind_int(s.get(), 10, facts.witnessed);
    sqlite3_bind_text(s.get(), 11, facts.witness_reason.data(),
                      static_cast<int>(facts.witness_reason.size()), SQLITE_STATIC);
    sqlite3_bind_int64(s.get(), 12, facts.hall_ms);
    sqlite3_bind_int64(s.get(), 13, tie);
    // COMMIT returns once the WAL holds the run and has been synced (synchronous = FULL).
    if (sqlite3_step(s.get()) == SQLITE_DONE && exec(db, "COMMIT", error)) {
        id = sqlite3_last_insert_rowid(db);
        countrun(ranks, {facts.points, facts.deaths});
        return added::stored;
    }
    if (error.empty()) error = sqlite3_errmsg(db);
    std::string ignored;
    exec(db, "ROLLBACK", ignored);
    return added::failed;
}

std::vector<score_count> scorecounts(sqlite3 *db) {
    const statement s =
        prepare(db, "SELECT points, deaths, COUNT(*) FROM runs GROUP BY points, deaths");
    std::vector<score_count> counts;
    while (sqlite3_step(s.get()) == SQLITE_ROW)
        counts.push_back(
            {.score = {sqlite3_column_int64(s.get(), 0), sqlite3_column_int64(s.get(), 1)},
             .runs = sqlite3_column_int64(s.get(), 2)});
    return counts;
}

bool getrun(sqlite3 *db, const run_ranks &ranks, std::int64_t id, stored_run &run) {
    const statement s = prepare(db, (std::string(run_columns) + "WHERE id = ?").c_str());
    sqlite3_bind_int64(s.get(), 1, id);
    if (sqlite3_step(s.get()) != SQLITE_ROW) return false;
    run = readrun(s.get(), ranks);
    return true;
}

std::vector<stored_run> listruns(sqlite3 *db, const run_ranks &ranks, bool by_points,
                                 std::int64_t limit, std::int64_t offset) {
    const statement s =
        prepare(db, (std::string(run_columns) +
                     (by_points ? "ORDER BY points DESC, deaths, id" : "ORDER BY id DESC") +
                     " LIMIT ? OFFSET ?")
                        .c_str());
    sqlite3_bind_int64(s.get(), 1, limit);
    sqlite3_bind_int64(s.get(), 2, offset);
    std::vector<stored_run> runs;
    while (sqlite3_step(s.get()) == SQLITE_ROW) runs.push_back(readrun(s.get(), ranks));
    return runs;
}

bool getrecording(sqlite3 *db, std::int64_t id, std::string &recording) {
    const statement s = prepare(db, "SELECT recording FROM runs WHERE id = ?");
    sqlite3_bind_int64(s.get(), 1, id);
    if (sqlite3_step(s.get()) != SQLITE_ROW) return false;
    recording = blob(s.get(), 0);
    return true;
}

std::int64_t addlive(sqlite3 *db, const std::string &token, const std::string &address,
                     std::int64_t since_ms) {
    const statement s =
        prepare(db, "INSERT INTO live_games (token, address, since_ms) VALUES (?, ?, ?)");
    sqlite3_bind_text(s.get(), 1, token.data(), static_cast<int>(token.size()), SQLITE_STATIC);
    sqlite3_bind_text(s.get(), 2, address.data(), static_cast<int>(address.size()), SQLITE_STATIC);
    sqlite3_bind_int64(s.get(), 3, since_ms);
    return sqlite3_step(s.get()) == SQLITE_DONE ? sqlite3_last_insert_rowid(db) : 0;
}

bool addlivelines(sqlite3 *db, std::int64_t game, const std::vector<live_row> &rows) {
    const statement s = prepare(db, "INSERT OR REPLACE INTO live_lines (game, n, arrived_ms, "
                                    "resent, line) VALUES (?, ?, ?, ?, ?)");
    for (const live_row &row : rows) {
        sqlite3_bind_int64(s.get(), 1, game);
        sqlite3_bind_int64(s.get(), 2, row.n);
        sqlite3_bind_int64(s.get(), 3, row.arrived_ms);
        sqlite3_bind_int(s.get(), 4, row.resent);
        sqlite3_bind_text(s.get(), 5, row.line.data(), static_cast<int>(row.line.size()),
                          SQLITE_STATIC);
        if (sqlite3_step(s.get()) != SQLITE_DONE) return false;
        sqlite3_reset(s.get());
    }
    return true;
}

void droplive(sqlite3 *db, std::int64_t game) {
    for (const char *sql :
         {"DELETE FROM live_lines WHERE game = ?", "DELETE FROM live_games WHERE id = ?"}) {
        const statement s = prepare(db, sql);
        sqlite3_bind_int64(s.get(), 1, game);
        sqlite3_step(s.get());
    }
}

std::vector<stored_live> loadlive(sqlite3 *db) {
    std::vector<stored_live> games;
    const statement g =
        prepare(db, "SELECT id, token, address, since_ms FROM live_games ORDER BY id");
    const statement l =
        prepare(db, "SELECT n, arrived_ms, resent, line FROM live_lines WHERE game = ? ORDER BY n");
    while (sqlite3_step(g.get()) == SQLITE_ROW) {
        stored_live game{.id = sqlite3_column_int64(g.get(), 0),
                         .token = text(g.get(), 1),
                         .address = text(g.get(), 2),
                         .since_ms = sqlite3_column_int64(g.get(), 3)};
        sqlite3_bind_int64(l.get(), 1, game.id);
        while (sqlite3_step(l.get()) == SQLITE_ROW &&
               sqlite3_column_int64(l.get(), 0) == static_cast<std::int64_t>(game.lines.size()))
            game.lines.push_back({.n = sqlite3_column_int64(l.get(), 0),
                                  .arrived_ms = sqlite3_column_int64(l.get(), 1),
                                  .resent = sqlite3_column_int(l.get(), 2) != 0,
                                  .line = text(l.get(), 3)});
        sqlite3_reset(l.get());
        games.push_back(std::move(game));
    }
    return games;
}
