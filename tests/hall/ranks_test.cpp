// Ranks and totals against a count from the runs' table, over runs with ties in points and
// deaths put into an older database before the hall starts; and reads of the runs, however
// long, that hold back no other answer.
#include "client.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using json = nlohmann::json;

namespace {

// The database as a hall of schema version 2 left it, before runs had ties: the runs and the
// live games.
constexpr const char *old_schema =
    "CREATE TABLE runs (id INTEGER PRIMARY KEY, digest INTEGER NOT NULL, name TEXT NOT NULL,"
    "  points INTEGER NOT NULL, deaths INTEGER NOT NULL, keys INTEGER NOT NULL,"
    "  played_ms INTEGER NOT NULL, game TEXT NOT NULL, submitted_ms INTEGER NOT NULL,"
    "  recording BLOB NOT NULL, witnessed INTEGER NOT NULL DEFAULT 0,"
    "  witness_reason TEXT NOT NULL DEFAULT '', hall_ms INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX runs_digest ON runs (digest);"
    "CREATE INDEX runs_rank ON runs (points DESC, deaths, id);"
    "CREATE TABLE live_games (id INTEGER PRIMARY KEY AUTOINCREMENT, token TEXT NOT NULL,"
    "  address TEXT NOT NULL, since_ms INTEGER NOT NULL);"
    "CREATE TABLE live_lines (game INTEGER NOT NULL, n INTEGER NOT NULL,"
    "  arrived_ms INTEGER NOT NULL, resent INTEGER NOT NULL, line TEXT NOT NULL,"
    "  PRIMARY KEY (game, n)) WITHOUT ROWID;"
    "PRAGMA user_version = 2;";

struct database {
    sqlite3 *db = nullptr;
    explicit database(const fs::path &file) {
        if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) throw std::runtime_error("no database");
        sqlite3_busy_timeout(db, 5000);
    }
    ~database() { sqlite3_close(db); }
    void exec(const std::string &sql) {
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    std::int64_t number(const std::string &sql) {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        const std::int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
        sqlite3_finalize(s);
        return n;
    }
};

// An old database in `data` with `runs` runs, their points and deaths from `score(i)`.
template <class Score>
void oldhall(const fs::path &data, int runs, Score score) {
    fs::create_directories(data);
    database d(data / "hall.db");
    d.exec(old_schema);
    d.exec("BEGIN");
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(d.db,
                       "INSERT INTO runs (digest, name, points, deaths, keys, played_ms, game, "
                       "submitted_ms, recording) VALUES (?, 'Oru', ?, ?, 4925, 600000, '1.0', "
                       "1765000000000, ?)",
                       -1, &s, nullptr);
    for (int i = 0; i < runs; ++i) {
        const auto [points, deaths] = score(i);
        const std::string recording = "run " + std::to_string(i) + "\n";
        sqlite3_bind_int64(s, 1, i);
        sqlite3_bind_int64(s, 2, points);
        sqlite3_bind_int64(s, 3, deaths);
        sqlite3_bind_blob(s, 4, recording.data(), static_cast<int>(recording.size()),
                          SQLITE_TRANSIENT);
        if (sqlite3_step(s) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(d.db));
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    d.exec("COMMIT");
}

json get(unsigned short port, const std::string &target) {
    const reply r = fetch(port, "GET", target);
    EXPECT_EQ(r.status, 200) << target << ": " << r.body;
    return json::parse(r.body, nullptr, false);
}

// Every run's rank as the hall gives it, in the lists both ways and one by one, against a
// count of the runs before it in the table; the total against a count of them all.
void expectranks(unsigned short port, database &d) {
    const std::int64_t total = d.number("SELECT COUNT(*) FROM runs");
    const auto counted = [&](const json &run) {
        const std::string p = std::to_string(run["points"].get<std::int64_t>());
        const std::string k = std::to_string(run["deaths"].get<std::int64_t>());
        const std::string id = std::to_string(run["id"].get<std::int64_t>());
        return d.number("SELECT COUNT(*) + 1 FROM runs WHERE points > " + p + " OR (points = " + p +
                        " AND (deaths < " + k + " OR (deaths = " + k + " AND id < " + id + ")))");
    };
    for (const char *sort : {"points", "recent"}) {
        std::int64_t seen = 0;
        for (std::int64_t offset = 0; offset < total; offset += 100) {
            const json page = get(port, std::string("/api/runs?limit=100&sort=") + sort +
                                            "&offset=" + std::to_string(offset));
            ASSERT_EQ(page["total"], total) << sort;
            for (const json &run : page["runs"]) {
                ++seen;
                ASSERT_EQ(run["rank"], counted(run)) << sort << ", run " << run["id"];
                if (std::string(sort) == "points") {
                    ASSERT_EQ(run["rank"], seen); // the list is in rank order
                }
            }
        }
        EXPECT_EQ(seen, total) << sort;
    }
    for (std::int64_t id = 1; id <= total; id += 37) {
        const json run = get(port, "/api/runs/" + std::to_string(id));
        EXPECT_EQ(run["rank"], counted(run)) << "run " << id;
    }
}

// Points in a few steps around the playthrough's 6684 and deaths in a few values around its
// 38, so that most runs tie with many others in points and in both; none has its very score.
std::pair<std::int64_t, std::int64_t> tied(int i) {
    constexpr std::int64_t points[] = {9000, 6684, 6684, 6684, 100, 0};
    constexpr std::int64_t deaths[] = {0, 37, 39, 39, 120};
    return {points[(i * 7) % 6], deaths[(i * 3) % 5]};
}

TEST(HallRanks, RanksAndTotalsEqualACountOfTheTable) {
    const scratch_dir dir;
    const fs::path data = dir.path / "data";
    oldhall(data, 1000, tied);
    hall_server hall(data, testoptions());
    database d(data / "hall.db");
    expectranks(hall.port, d);

    // Runs stored while the hall runs: a score no run had, then the same score again, which
    // ranks after its equal and moves every worse run down by one.
    for (int variant : {0, 1}) {
        const reply r = submit(hall.port, playthroughrun(variant));
        ASSERT_EQ(r.status, 201) << r.body;
        const json run = json::parse(r.body);
        EXPECT_EQ(run["rank"], d.number("SELECT COUNT(*) FROM runs WHERE points > 6684 OR "
                                        "(points = 6684 AND deaths < 38)") +
                                   1 + variant);
    }
    expectranks(hall.port, d);
}

// A site of one page, for the hall to serve beside its API.
fs::path onepage(const fs::path &dir) {
    const fs::path site = dir / "site";
    fs::create_directories(site);
    std::ofstream(site / "index.html") << "<!doctype html><title>hall</title>";
    return site;
}

// Reads far down the recent list walk the rows they skip, the longest a visitor can ask for.
// One address sends more than it may have unanswered, then four others as many as they may,
// more than the hall lets wait: the reads past either bound are refused, and the page and the
// live games still answer while those sent before them wait.
TEST(HallRanks, LongReadsHoldBackNoOtherAnswer) {
    const scratch_dir dir;
    const fs::path data = dir.path / "data";
    oldhall(data, 100'000, tied);
    hall_server hall(data, testoptions({"--site", onepage(dir.path).string()}));

    asio::io_context io;
    std::vector<tcp::socket> reads;
    const auto sendfrom = [&](const std::string &address, int count) {
        for (int i = 0; i < count; ++i) {
            tcp::socket &s = reads.emplace_back(io);
            s.open(tcp::v4());
            s.bind({asio::ip::make_address(address), 0});
            s.connect({asio::ip::make_address("127.0.0.1"), hall.port});
            const timeval bound{60, 0}; // a test fails, it does not hang
            ::setsockopt(s.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
            asio::write(s, asio::buffer(std::string("GET /api/runs?sort=recent&limit=100&"
                                                    "offset=99900 HTTP/1.1\r\n"
                                                    "Host: 127.0.0.1\r\n\r\n")));
        }
    };
    sendfrom("127.0.0.1", 12);
    for (const char *address : {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"})
        sendfrom(address, 8);
    EXPECT_EQ(fetch(hall.port, "GET", "/").status, 200);
    EXPECT_EQ(fetch(hall.port, "GET", "/api/live").status, 200);
    const auto waiting = std::count_if(reads.begin(), reads.end(), [](tcp::socket &s) {
        pollfd p{s.native_handle(), POLLIN, 0};
        return ::poll(&p, 1, 0) == 0;
    });
    EXPECT_GT(waiting, 0) << "the page and the live games were answered after every read";

    std::map<std::string, int> answers; // by status and, when refused, why
    for (tcp::socket &s : reads) {
        beast::flat_buffer buffer;
        http::response<http::string_body> res;
        beast::error_code ec;
        http::read(s, buffer, res, ec);
        ASSERT_FALSE(ec) << ec.message();
        if (res.result_int() == 503) {
            EXPECT_EQ(res[http::field::retry_after], "1");
        }
        const json body = json::parse(res.body(), nullptr, false);
        ++answers[std::to_string(res.result_int()) +
                  (res.result_int() == 200 ? "" : " " + body.value("error", ""))];
    }
    EXPECT_GT(answers["200"], 0);
    EXPECT_GT(answers["503 too many reads from this address at once; try again shortly"], 0);
    EXPECT_GT(answers["503 the hall is busy reading; try again shortly"], 0);
    EXPECT_EQ(answers.size(), 3u) << "no other answer";
}

} // namespace
