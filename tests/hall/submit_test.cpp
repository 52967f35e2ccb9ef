// Submitting runs to the real hall: a whole game listed and served back byte for byte, and every
// kind of submission it must refuse, each with its status and reason.
#include "client.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>

#include <fcntl.h>
#include <fstream>
#include <future>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using json = nlohmann::json;

namespace {

json parsed(const reply &r) {
    return json::parse(r.body, nullptr, false);
}

// The line number (from 1) of the first line of `text` that starts with `prefix`.
int linestarting(const std::string &text, const std::string &prefix, int nth = 1) {
    int n = 1;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1, ++n)
        if (text.compare(at, prefix.size(), prefix) == 0 && --nth == 0) return n;
    return 0;
}

TEST(Hall, WholeGameIsListedAndServedBackByteForByte) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    const std::string run = playthroughrun();

    const reply first = submit(hall.port, run);
    ASSERT_EQ(first.status, 201) << first.body;
    const json r = parsed(first);
    EXPECT_EQ(r["name"], "Oru");
    EXPECT_EQ(r["points"], 6684);
    EXPECT_EQ(r["deaths"], 38);
    EXPECT_EQ(r["keys"], 4925);
    EXPECT_GT(r["time_played_ms"].get<long>(), 0);
    EXPECT_EQ(r["game_version"], "1.0");
    EXPECT_EQ(r["rank"], 1);
    EXPECT_EQ(first.header("content-security-policy").find("default-src 'self'"), 0u);
    EXPECT_EQ(first.header("x-content-type-options"), "nosniff");
    const std::string id = std::to_string(r["id"].get<long>());

    const reply list = fetch(hall.port, "GET", "/api/runs?sort=points&limit=10");
    ASSERT_EQ(list.status, 200);
    EXPECT_EQ(parsed(list)["runs"][0]["id"], r["id"]);
    EXPECT_EQ(parsed(fetch(hall.port, "GET", "/api/runs/" + id)), r);

    const reply file = fetch(hall.port, "GET", "/api/runs/" + id + "/recording");
    EXPECT_EQ(file.status, 200);
    EXPECT_TRUE(file.body == run) << "the recording served back differs from the one submitted";
    EXPECT_NE(file.header("content-disposition").find("attachment"), std::string::npos);

    const reply again = submit(hall.port, run);
    EXPECT_EQ(again.status, 200) << again.body;
    EXPECT_EQ(parsed(again)["id"], r["id"]);
    EXPECT_EQ(parsed(fetch(hall.port, "GET", "/api/runs"))["total"], 1);

    // A second game of the same points ranks after the first; the recent list shows it first.
    const reply second = submit(hall.port, playthroughrun(1));
    ASSERT_EQ(second.status, 201) << second.body;
    EXPECT_EQ(parsed(second)["rank"], 2);
    const json recent = parsed(fetch(hall.port, "GET", "/api/runs?sort=recent"));
    EXPECT_EQ(recent["runs"][0]["id"], parsed(second)["id"]);
    EXPECT_EQ(recent["runs"][0]["rank"], 2);
    EXPECT_EQ(fetch(hall.port, "GET", "/api/runs?limit=0").status, 400);
    EXPECT_EQ(fetch(hall.port, "GET", "/api/runs/99").status, 404);
}

// Line `n` (from 1) of `text`, without its line end.
std::string lineat(const std::string &text, int n) {
    std::size_t at = 0;
    for (int i = 1; i < n; ++i) at = text.find('\n', at) + 1;
    return text.substr(at, text.find('\n', at) - at);
}

// The other spellings of a stored run, and its game with another start: none is a new run.
// Each is refused naming the line spelt otherwise than the game writes it, or answered with the
// run stored; the list still holds that one run, served back as it was first sent.
TEST(Hall, AGameSpeltAnotherWayIsTheRunItHolds) {
    const std::string run = playthroughrun();
    const int key = 5, clock = linestarting(run, "c ");
    const std::string keyline = lineat(run, key), clockline = lineat(run, clock);
    ASSERT_TRUE(keyline[0] >= '0' && keyline[0] <= '9') << "line 5 is a key: " << keyline;
    const std::string reading = clockline.substr(2);
    struct respelt_case {
        const char *what;
        std::string body;
        int line; // the line refused; 0: answered 200 with the run stored
    };
    const respelt_case cases[] = {
        {"the same file again", run, 0},
        {"the same game with another start and first delay", startedearlier(run, 1), 0},
        {"a delay with a leading zero", withline(run, key, ("0" + keyline).c_str()), key},
        {"a delay padded with zeros to the line's limit",
         withline(run, key, (std::string(1000, '0') + keyline).c_str()), key},
        {"a clock reading with a plus", withline(run, clock, ("c +" + reading).c_str()), clock},
        {"a clock reading of -0", withline(run, clock, "c -0"), clock},
        {"a clock reading with a leading zero", withline(run, clock, ("c 0" + reading).c_str()),
         clock},
        {"the start with a leading zero",
         withline(run, 3, ("start 0" + lineat(run, 3).substr(6)).c_str()), 3},
        {"a line ended by CR LF", withline(run, key, (keyline + "\r").c_str()), key},
    };
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    const reply first = submit(hall.port, run);
    ASSERT_EQ(first.status, 201) << first.body;
    for (const respelt_case &c : cases) {
        SCOPED_TRACE(c.what);
        const reply r = submit(hall.port, c.body);
        if (c.line == 0) {
            EXPECT_EQ(r.status, 200) << r.body;
            EXPECT_EQ(parsed(r)["id"], parsed(first)["id"]);
        } else {
            EXPECT_EQ(r.status, 422) << r.body;
            EXPECT_NE(parsed(r).value("error", "").find("line " + std::to_string(c.line) + " "),
                      std::string::npos)
                << r.body;
        }
    }
    EXPECT_EQ(parsed(fetch(hall.port, "GET", "/api/runs"))["total"], 1);
    EXPECT_TRUE(fetch(hall.port, "GET", "/api/runs/1/recording").body == run);
}

// A copy sent while its original is verified is replayed too, both passing the look for a
// listed game before either is stored: the storer's transaction finds the first, and the copy is
// answered with it.
TEST(Hall, ACopySentWithItsOriginalIsStoredOnce) {
    const scratch_dir dir;
    // Each replay waits until the test lets both go, once both have begun, then agrees with its
    // recording's score record.
    const held_verifier held(dir.path, "agrees");
    hall_server hall(dir.path / "data", testoptions({"--verifiers", "2", "--game", held.game}));
    const std::string run = playthroughrun();
    auto original = std::async(std::launch::async, [&] { return submit(hall.port, run); });
    auto copy =
        std::async(std::launch::async, [&] { return submit(hall.port, startedearlier(run, 1)); });
    ASSERT_TRUE(eventually([&] { return held.holding().size() == 2; }));
    held.release();
    const reply a = original.get(), b = copy.get();
    EXPECT_EQ(std::min(a.status, b.status), 200) << a.body << b.body;
    EXPECT_EQ(std::max(a.status, b.status), 201) << a.body << b.body;
    EXPECT_EQ(parsed(a)["id"], parsed(b)["id"]);
    EXPECT_EQ(parsed(fetch(hall.port, "GET", "/api/runs"))["total"], 1);
}

// A hall's database from before runs were told apart by their games (schema 2), holding two
// runs of one game, the first spelt with a leading zero as such halls took it: opened, both stay,
// each found by its game; a third copy is answered with the first.
TEST(Hall, RunsStoredBeforeAreFoundByTheirGame) {
    const scratch_dir data;
    const std::string run = playthroughrun();
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open((data.path / "hall.db").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE runs (id INTEGER PRIMARY KEY, digest INTEGER NOT NULL,"
                               " name TEXT NOT NULL, points INTEGER NOT NULL,"
                               " deaths INTEGER NOT NULL, keys INTEGER NOT NULL,"
                               " played_ms INTEGER NOT NULL, game TEXT NOT NULL,"
                               " submitted_ms INTEGER NOT NULL, recording BLOB NOT NULL,"
                               " witnessed INTEGER NOT NULL DEFAULT 0,"
                               " witness_reason TEXT NOT NULL DEFAULT '',"
                               " hall_ms INTEGER NOT NULL DEFAULT 0);"
                               "CREATE INDEX runs_digest ON runs (digest);"
                               "CREATE INDEX runs_rank ON runs (points DESC, deaths, id);"
                               "CREATE TABLE live_games (id INTEGER PRIMARY KEY AUTOINCREMENT,"
                               " token TEXT NOT NULL, address TEXT NOT NULL,"
                               " since_ms INTEGER NOT NULL);"
                               "CREATE TABLE live_lines (game INTEGER NOT NULL, n INTEGER NOT NULL,"
                               " arrived_ms INTEGER NOT NULL, resent INTEGER NOT NULL,"
                               " line TEXT NOT NULL, PRIMARY KEY (game, n)) WITHOUT ROWID;"
                               "PRAGMA user_version = 2;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_stmt *add = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO runs (digest, name, points, deaths, keys, played_ms, game,"
                           " submitted_ms, recording) VALUES (?, 'Oru', 6684, 38, 4925, 1, '1.0',"
                           " 0, ?)",
                           -1, &add, nullptr);
        for (const std::string &copy :
             {withline(run, 5, ("0" + lineat(run, 5)).c_str()), startedearlier(run, 1)}) {
            sqlite3_bind_int64(add, 1, static_cast<sqlite3_int64>(copy.size()));
            sqlite3_bind_blob(add, 2, copy.data(), static_cast<int>(copy.size()), SQLITE_STATIC);
            EXPECT_EQ(sqlite3_step(add), SQLITE_DONE);
            sqlite3_reset(add);
        }
        sqlite3_finalize(add);
        sqlite3_close(db);
    }
    hall_server hall(data.path, testoptions());
    EXPECT_EQ(parsed(fetch(hall.port, "GET", "/api/runs"))["total"], 2);
    const reply third = submit(hall.port, startedearlier(run, 2));
    EXPECT_EQ(third.status, 200) << third.body;
    EXPECT_EQ(parsed(third)["id"], 1);
    EXPECT_EQ(parsed(fetch(hall.port, "GET", "/api/runs"))["total"], 2);
}

struct bad_case {
    const char *what;
    std::string body;
    int status;
    const char *reason; // a part of the error the answer gives
    const char *type = "text/plain";
};

TEST(Hall, RefusesWhatIsNotARealFinishedGame) {
    const std::string run = playthroughrun();
    const int score = linestarting(run, "r ");
    const int clock = linestarting(run, "c ");
    const int key = linestarting(run, "1", 30); // a key line well into the game
    std::string changedkey = run;
    {
        const std::size_t at = changedkey.find('\n', [&] {
            std::size_t p = 0;
            for (int n = 1; n < key; ++n) p = run.find('\n', p) + 1;
            return p;
        }());
        changedkey[at - 1] = changedkey[at - 1] == '0' ? '1' : '0'; // its check
    }
    const bad_case cases[] = {
        {"a score that differs", withline(run, score, "r Abc%0a       9999%0a          0%0a"), 422,
         "the score differs"},
        {"an unfinished game", run.substr(0, run.size() / 2), 422, "not a finished game"},
        {"another version", withline(run, 2, "game 0.9"), 422, "recorded by version 0.9"},
        {"a clock reading out of step", withline(run, clock, "c 5000"), 422, "out of step"},
        {"a damaged header", withline(run, 1, "orbridden-recordinx 1"), 422, "not a recording"},
        {"a key's check changed", changedkey, 422, "differs from the recorded one"},
        {"a body that is not text", run.substr(0, 100) + '\x01' + run.substr(100), 415,
         "plain text"},
        {"the wrong type", run, 415, "plain text", "image/png"},
        {"a body too large", std::string(2 << 20, 'a'), 413, "at most"},
    };
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    for (const bad_case &c : cases) {
        SCOPED_TRACE(c.what);
        const reply r = fetch(hall.port, "POST", "/api/runs", c.body, {{"Content-Type", c.type}});
        EXPECT_EQ(r.status, c.status) << r.body;
        EXPECT_NE(parsed(r).value("error", "").find(c.reason), std::string::npos) << r.body;
    }
    EXPECT_EQ(parsed(fetch(hall.port, "GET", "/api/runs"))["total"], 0);
}

// A body too large is refused on its header, before the client has sent it.
TEST(Hall, RefusesABodyTooLargeBeforeReadingIt) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    boost::asio::io_context io;
    boost::asio::ip::tcp::socket socket(io);
    socket.connect({boost::asio::ip::make_address("127.0.0.1"), hall.port});
    const std::string head = "POST /api/runs HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
                             "Content-Length: 1000000000\r\n\r\norbridden-recording 1\n";
    boost::asio::write(socket, boost::asio::buffer(head));
    std::string answer(4096, '\0');
    boost::system::error_code ec;
    answer.resize(socket.read_some(boost::asio::buffer(answer), ec));
    EXPECT_EQ(answer.rfind("HTTP/1.1 413", 0), 0u) << answer;
}

TEST(Hall, TooManyFromOneAddressAreTurnedAway) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--rate", "2"}));
    const std::string damaged = "not a recording\n";
    EXPECT_EQ(submit(hall.port, damaged).status, 422);
    EXPECT_EQ(submit(hall.port, damaged).status, 422);
    const reply third = submit(hall.port, damaged);
    EXPECT_EQ(third.status, 429) << third.body;
    EXPECT_GT(std::stoi(third.header("retry-after")), 0);
}

TEST(Hall, AFullQueueAnswersBusyWithRetryAfter) {
    const scratch_dir dir;
    held_verifier held(dir.path);
    hall_server hall(dir.path / "data",
                     testoptions({"--verifiers", "1", "--queue", "1", "--game", held.game}));
    // Copies of one game: none is listed, so each waits for a verifier as a new game does.
    auto busy = std::async(std::launch::async, [&] { return submit(hall.port, playthroughrun()); });
    ASSERT_TRUE(eventually([&] { return held.started(); }));
    // One verifier busy, a queue of one: of three more, one waits and two are turned away.
    std::vector<std::future<reply>> more;
    for (int k = 2; k <= 4; ++k)
        more.push_back(
            std::async(std::launch::async, [&] { return submit(hall.port, playthroughrun()); }));
    int refused = 0;
    for (int i = 0; i < 2; ++i) {
        // Those turned away answer at once; the one waiting, only once released.
        std::future<reply> *turned = nullptr;
        ASSERT_TRUE(eventually([&] {
            for (auto &f : more)
                if (f.valid() && f.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
                    return (turned = &f), true;
            return false;
        }));
        const reply r = turned->get();
        EXPECT_EQ(r.status, 503) << r.body;
        EXPECT_EQ(r.header("retry-after"), "5");
        refused += r.status == 503;
    }
    // Released, each in its turn: the one busy, then the one that waited.
    auto released = [&](std::future<reply> &f) {
        EXPECT_TRUE(eventually([&] {
            held.release();
            return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        }));
        return f.get();
    };
    EXPECT_EQ(released(busy).status, 422);
    for (auto &f : more) {
        if (f.valid()) {
            EXPECT_EQ(released(f).status, 422);
        }
    }
    EXPECT_EQ(refused, 2);
}

} // namespace
