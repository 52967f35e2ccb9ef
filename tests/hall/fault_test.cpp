// The hall under faults: killed while it stores, its disk full, replays that crash, loop or
// flood, a thousand idle connections, and paths that reach out of the site.
#include "client.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>

#include <atomic>
#include <fstream>
#include <future>
#include <set>
#include <sys/resource.h>

using json = nlohmann::json;

namespace {

std::string integrity(const fs::path &db) {
    sqlite3 *h = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(h, "PRAGMA integrity_check", -1, &s, nullptr);
        if (sqlite3_step(s) == SQLITE_ROW)
            result = reinterpret_cast<const char *>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
    }
    sqlite3_close(h);
    return result;
}

// Killed with SIGKILL while twenty runs come in at once: after a restart, every run it answered
// 201 is there and whole, and the database is sound.
TEST(HallFaults, KilledWhileStoringKeepsEveryRunItAnswered) {
    const scratch_dir data;
    constexpr int runs = 20;
    std::vector<std::future<reply>> answers;
    std::atomic<int> created = 0;
    for (int k = 1; k <= runs; ++k) playthroughrun(k); // twenty games, made before they are sent
    {
        hall_server hall(data.path, testoptions({"--queue", "32"}));
        // From four addresses, each within its share of the queue.
        for (int k = 1; k <= runs; ++k)
            answers.push_back(std::async(std::launch::async, [&, k] {
                reply r =
                    submit(hall.port, playthroughrun(k), "127.0.0." + std::to_string(1 + k % 4));
                created += r.status == 201;
                return r;
            }));
        ASSERT_TRUE(eventually([&] { return created > 0; }));
        hall.stop(SIGKILL);
    }
    std::map<long, int> answered; // id: variant
    for (int k = 1; k <= runs; ++k) {
        const reply r = answers[static_cast<std::size_t>(k - 1)].get();
        if (r.status == 201)
            answered[json::parse(r.body)["id"].get<long>()] = k;
        else
            EXPECT_EQ(r.status, 0) << "an answer other than 201 or none: " << r.body;
    }
    EXPECT_EQ(integrity(data.path / "hall.db"), "ok");

    hall_server again(data.path, testoptions());
    for (const auto &[id, k] : answered) {
        const reply r = fetch(again.port, "GET", "/api/runs/" + std::to_string(id) + "/recording");
        EXPECT_EQ(r.status, 200);
        EXPECT_TRUE(r.body == playthroughrun(k)) << "run " << id << " is not the one answered";
    }
    // Runs stored but not yet answered may be there too; each of them is whole.
    const json all = json::parse(fetch(again.port, "GET", "/api/runs?limit=100").body);
    EXPECT_GE(all["total"].get<std::size_t>(), answered.size());
    for (const json &run : all["runs"]) {
        EXPECT_EQ(run["points"], 6684);
        const std::string file =
            fetch(again.port, "GET",
                  "/api/runs/" + std::to_string(run["id"].get<long>()) + "/recording")
                .body;
        bool whole = false;
        for (int k = 1; k <= runs; ++k) whole = whole || file == playthroughrun(k);
        EXPECT_TRUE(whole) << "run " << run["id"] << " is not one of those submitted";
    }
}

// With no room for another byte in its files (a file size limit on the hall), a submission is
// refused with a message and the runs already stored are still read.
TEST(HallFaults, AFullDiskRefusesSubmissionsAndKeepsReading) {
    const scratch_dir data;
    {
        hall_server hall(data.path, testoptions());
        ASSERT_EQ(submit(hall.port, playthroughrun(1)).status, 201);
    }
    // Room for the WAL's index (32 KB) and a little, not for another run's 70 KB.
    hall_server full(data.path, testoptions(), 48 << 10);
    const reply refused = submit(full.port, playthroughrun(2));
    EXPECT_EQ(refused.status, 507) << refused.body;
    EXPECT_NE(json::parse(refused.body, nullptr, false).value("error", "").find("could not store"),
              std::string::npos)
        << refused.body;
    const reply list = fetch(full.port, "GET", "/api/runs");
    ASSERT_EQ(list.status, 200);
    EXPECT_EQ(json::parse(list.body)["total"], 1);
    EXPECT_TRUE(fetch(full.port, "GET", "/api/runs/1/recording").body == playthroughrun(1));
}

struct misbehaving_case {
    const char *what;
    const char *script; // the stand-in's shell commands; null: the stand-in program of that name
    const char *wall;   // its time on the clock, in seconds
    const char *reason;
};

// A replay that loops, sleeps, floods, crashes or closes its pipes and sleeps costs its verifier
// only: the submission is refused with the limit it ran past, the hall answers others
// meanwhile, and no process of the replay is left.
TEST(HallFaults, AReplayPastItsLimitsIsRefusedWhileOthersAreServed) {
    const misbehaving_case cases[] = {
        {"loops", "while :; do :; done", "100", "ran past its CPU time"},
        {"floods", "while :; do echo flood; done", "100", "wrote more than it may"},
        {"sleeps", nullptr, "1", "ran past its time on the clock"},
        {"hides", nullptr, "1", "ran past its time on the clock"},
        {"crashes", nullptr, "100", "ended by signal 11"},
    };
    const scratch_dir dir;
    for (const misbehaving_case &c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path game =
            c.script ? standin(dir.path, c.what, c.script) : standinprogram(dir.path, c.what);
        hall_server hall(
            dir.path / (std::string(c.what) + "-data"),
            testoptions({"--game", game, "--cpu-seconds", "1", "--wall-seconds", c.wall}));
        auto refused =
            std::async(std::launch::async, [&] { return submit(hall.port, playthroughrun()); });
        ASSERT_TRUE(eventually([&] {
            return !verifiersof(game).empty() ||
                   refused.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        }));
        EXPECT_EQ(fetch(hall.port, "GET", "/api/runs").status, 200);
        const reply r = refused.get();
        EXPECT_EQ(r.status, 422) << r.body;
        EXPECT_NE(r.body.find(c.reason), std::string::npos) << r.body;
        EXPECT_TRUE(eventually([&] { return verifiersof(game).empty(); }));
    }
}

// A replay that took the game over tries every way out of its verifier (tests/hall/standin.cpp)
// towards the hall and its runs, named in its score record, which the checks before a replay
// take as it is: none succeeds, and nothing of it outlives the replay.
TEST(HallFaults, AReplayThatTookOverTheGameCannotReachOut) {
    const scratch_dir dir;
    const fs::path game = standinprogram(dir.path, "escapes");
    const fs::path data = dir.path / "data";
    hall_server hall(data, testoptions({"--game", game}));
    ASSERT_TRUE(fs::exists(data / "hall.db-wal"));
    std::string run = playthroughrun();
    run = run.substr(0, run.rfind("\nr ") + 1) + "r escapes " + std::to_string(hall.port) + " " +
          std::to_string(hall.pid) + " " + data.string() + "\n";
    const reply r = submit(hall.port, run);
    EXPECT_EQ(r.status, 422) << r.body;
    EXPECT_EQ(json::parse(r.body, nullptr, false).value("error", ""), "escapes: none") << r.body;
    EXPECT_TRUE(eventually([&] { return verifiersof(game).empty(); }));
    EXPECT_FALSE(fs::exists(data / "escaped"));
    EXPECT_EQ(fetch(hall.port, "GET", "/api/runs").status, 200);
}

TEST(HallFaults, AThousandIdleConnectionsDoNotKeepOthersOut) {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 4096));
    setrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_cur < 1100) GTEST_SKIP() << "this process may not open 1,100 descriptors";
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    boost::asio::io_context io;
    std::vector<boost::asio::ip::tcp::socket> idle;
    // From ten addresses, each within its share of the connections.
    for (int i = 0; i < 1000; ++i) {
        idle.emplace_back(io);
        idle.back().open(boost::asio::ip::tcp::v4());
        idle.back().bind(
            {boost::asio::ip::make_address("127.0.0." + std::to_string(10 + i / 100)), 0});
        idle.back().connect({boost::asio::ip::make_address("127.0.0.1"), hall.port});
    }
    // One more sends half a request and stops.
    idle.emplace_back(io);
    idle.back().connect({boost::asio::ip::make_address("127.0.0.1"), hall.port});
    boost::asio::write(idle.back(),
                       boost::asio::buffer(std::string("GET /api/runs HTTP/1.1\r\nHo")));
    EXPECT_EQ(fetch(hall.port, "GET", "/api/runs").status, 200);
    EXPECT_EQ(submit(hall.port, "not a recording\n").status, 422);
}

// The site's files are served, with their types, compressed twins and ETags; nothing outside
// it, in any spelling, through any link.
TEST(HallFaults, NothingOutsideTheSiteIsServed) {
    const scratch_dir dir;
    const fs::path site = dir.path / "site";
    fs::create_directories(site / "sub");
    std::ofstream(site / "index.html") << "<!doctype html><title>hall</title>";
    std::ofstream(site / "index.html.gz") << "compressed"; // the server sends it as it is
    std::ofstream(site / "sub" / "page.js") << "// page\n";
    std::ofstream(dir.path / "secret.txt") << "secret";
    fs::create_symlink(dir.path / "secret.txt", site / "link.txt");
    fs::create_directory_symlink(dir.path, site / "up");
    hall_server hall(dir.path / "data", testoptions({"--site", site.string()}));

    const reply index = fetch(hall.port, "GET", "/");
    EXPECT_EQ(index.status, 200);
    EXPECT_EQ(index.header("content-type"), "text/html; charset=utf-8");
    // A page names its own policy (the web build writes it into index.html); every other file
    // carries the hall's.
    EXPECT_EQ(index.header("content-security-policy"), "");
    EXPECT_EQ(index.header("x-content-type-options"), "nosniff");
    const reply script = fetch(hall.port, "GET", "/sub/page.js");
    EXPECT_EQ(script.header("content-type"), "text/javascript; charset=utf-8");
    EXPECT_EQ(script.header("content-security-policy").find("default-src 'self'"), 0u);
    const reply again = fetch(hall.port, "GET", "/", "", {{"If-None-Match", index.header("etag")}});
    EXPECT_EQ(again.status, 304);
    // The compressed twin where the client takes gzip, with the original's type.
    const reply zipped = fetch(hall.port, "GET", "/", "", {{"Accept-Encoding", "gzip, br"}});
    EXPECT_EQ(zipped.body, "compressed");
    EXPECT_EQ(zipped.header("content-encoding"), "gzip");
    EXPECT_EQ(zipped.header("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(index.header("content-encoding"), "");

    for (const char *path :
         {"/../secret.txt", "/%2e%2e/secret.txt", "/%2E%2E%2Fsecret.txt", "/sub/../../secret.txt",
          "/sub/%2e%2e/%2e%2e/secret.txt", "/..%5csecret.txt", "//etc/passwd", "/%2fetc%2fpasswd",
          "/link.txt", "/up/secret.txt", "/index.html%00.js", "/nothing"}) {
        const reply r = fetch(hall.port, "GET", path);
        EXPECT_EQ(r.status, 404) << path;
        EXPECT_EQ(r.body.find("secret"), std::string::npos) << path;
    }
}

} // namespace
