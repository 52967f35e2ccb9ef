// The hall's HTTP and WebSocket server: Beast sessions on one Asio thread (reading, routing, the
// page's files, live games and their spectators), the verifiers on worker threads fed by a
// bounded queue, one thread reading the runs, one storing runs and one storing live lines, and
// the answers posted back to the sessions.
#include "hall/server.hpp"

#include "hall/live.hpp"
#include "hall/sandbox.hpp"
#include "hall/store.hpp"

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unordered_map>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace fs = std::filesystem;
using tcp = asio::ip::tcp;
using json = nlohmann::json;
using namespace std::chrono_literals;

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] Bounds on what a client may send and how long it may take
// ---------------------------------------------------------------------------------------------

constexpr std::uint32_t header_limit = 8 * 1024;
constexpr auto request_time = 10s;  // to send a whole request, headers and body
constexpr auto response_time = 30s; // to take a whole response
constexpr auto linger_time = 2s;    // to stop sending after the hall has closed its side
constexpr std::size_t connection_limit = 4096;
// What the kernel may hold for one connection's answers waiting to be read: a client that never
// reads costs no more than this of the machine's memory.
constexpr int send_buffer_bytes = 128 * 1024;
// A WebSocket's first message (which game, or from which line) must come this soon.
constexpr auto first_message_time = 10s;
constexpr std::int64_t list_limit = 100; // runs in one answer
constexpr int busy_retry_seconds = 5;    // Retry-After when the queue is full
// Reads of the runs waiting for `readruns` beyond the one it is doing: a read far down a list
// (a large offset) walks the rows it skips, so what visitors may queue is bounded.
constexpr std::size_t read_queue_limit = 32;
constexpr std::size_t reads_per_address = 8; // unanswered, so that one address cannot fill them
constexpr int read_retry_seconds = 1;        // Retry-After when a read is refused
// A player's message: the page sends its lines within a second of each key, so a few KB; this
// leaves room for a whole game's catching up in a few messages.
constexpr std::size_t live_message_limit = 256 * 1024;
constexpr std::size_t watch_message_limit = 1024; // a spectator only says where to start
// Lines in one message to a spectator: one who catches up gets the recording in pieces.
constexpr std::size_t watch_batch_limit = 256 * 1024;
constexpr auto live_look_every = 5s;   // a live game's hero is looked at no more often
constexpr auto live_forget = 24h;      // a live game with no player nor line for this long goes
constexpr auto live_sweep_every = 60s; // how often such games are looked for

// Every answer carries these: nothing of the hall's runs as a script, nothing sniffed. The page
// compiles its WebAssembly, which a policy of 'self' alone forbids. A page of the site (HTML)
// names its own policy instead: the web build writes its stylesheet and first script into
// index.html, and their hashes into the policy there, which this one would overrule.
constexpr const char *content_security = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'";

// ---------------------------------------------------------------------------------------------
// [SECTION] The hall's state
// ---------------------------------------------------------------------------------------------

using request = http::request<http::string_body>;
using answer = http::response<http::string_body>;

// What a verifier and the storer made of a job.
struct outcome {
    http::status status = http::status::ok; // a submission's answer: 201, 200, 422, 503, 507
    std::string body = {};                  // the run as JSON, or {"error": the problem}
    std::int64_t run = 0;                   // the run stored or found again; 0: none
    std::string problem = {};               // why there is none
    bool witnessed = false;                 // the run as stored: witnessed, or why not
    std::string witness_reason = {};
    bool looked = false;         // a look: the replay went to the recording's end
    live_progress progress = {}; // ...and what it found
};

// A recording waiting for a verifier (a submission, a live game's end, or a look at a live
// game's hero), then for the storer; `done` runs on the Asio thread with the outcome.
struct job {
    std::string recording;
    bool look = false;
    run_facts facts = {};     // once verified; a live game's witness fields from the start
    std::string game = {};    // the game it plays (gameplayed), once read
    std::string address = {}; // a submission's sender, for its share of the queue
    std::function<void(outcome)> done = {};
};

struct player;
struct watcher;

// A game being played live: its lines, who plays and who watches it.
struct live_game {
    std::int64_t id = 0;
    std::string token, address;
    std::int64_t since = 0; // when it began, ms since 1970
    live_lines lines;
    std::size_t durable = 0;      // lines the database holds: all that is told or published
    std::uint64_t generation = 0; // bumped when lines not stored are forgotten
    bool gone = false;            // no longer among the hall's live games
    std::weak_ptr<player> playing;
    std::vector<std::weak_ptr<watcher>> watchers;
    // The hero as the last look found him, and when the next look may be.
    live_progress progress;
    std::size_t looked = 0; // lines at the last look
    bool looking = false;
    bool ending = false; // its end waits for a verifier
    std::chrono::steady_clock::time_point nextlook{};
    std::optional<asio::steady_timer> lookwait;
    std::string ended; // the last message to spectators: how it ended, or why it was set aside
};

// A read of the runs for `readruns`, on its own connection, and what to do on the Asio thread
// with its answer.
struct read_job {
    request req;
    std::function<answer(sqlite3 *, const request &)> read;
    std::function<void(answer)> done;
};

// A write to the live games' tables (false when it failed), and what to do on the Asio thread
// once its transaction is committed (true) or rolled back (false).
struct live_write {
    std::function<bool(sqlite3 *)> write;
    std::function<void(bool)> then = {};
};

struct hall {
    hall_config config;
    sqlite3 *writer = nullptr; // the storer's
    sqlite3 *livedb = nullptr; // the live writer's
    sqlite3 *readdb = nullptr; // readruns', for the runs' API
    run_ranks ranks;           // kept as runs are stored, so that no read counts rows
    sqlite3 *finder = nullptr; // the verifiers', under `finding`: is a game listed already?
    std::string site;          // canonical, or empty

    std::mutex finding;
    std::mutex queued;
    std::condition_variable wake, wakestorer;
    std::condition_variable wakelive;
    std::deque<job> jobs; // submissions waiting for a verifier, at most config.queue
    std::unordered_map<std::string, std::size_t> waiting; // ...by address, at most its share
    std::deque<job> ends;     // live games' ends, each under its address's rate like a submission
    bool endlast = false;     // the last job taken was an end: a submission goes first next
    std::deque<job> looks;    // looks at live games, taken when no job waits; at most config.queue
    bool lookrunning = false; // one look at a time, so that a core is left for the hall
    std::deque<job> verified; // waiting for the storer
    std::deque<live_write> livewrites;
    std::condition_variable wakereads;
    std::deque<read_job> reads; // waiting for readruns, at most read_queue_limit
    std::unordered_map<std::string, std::size_t> readers; // reads not yet answered, by address
    bool stopping = false;

    std::map<std::int64_t, std::shared_ptr<live_game>> live;
    std::size_t creating = 0; // new live games whose row is being written
    // The live games each address holds (begun, not yet ended or forgotten, played or not).
    std::unordered_map<std::string, std::size_t> held;
    std::size_t spectators = 0;
    std::unordered_map<std::string, std::size_t> watching; // spectators by address
    // The live games are loaded from the database after the hall starts answering; what needs
    // them waits until they are.
    bool loading = true;
    std::vector<std::function<void()>> afterload;

    std::size_t connections = 0;
    std::unordered_map<std::string, std::size_t> peers; // connections by address
    struct bucket {
        double tokens;
        std::chrono::steady_clock::time_point at;
    };
    std::unordered_map<std::string, bucket> submitters;

    // Last, so that it goes first: the connections its handlers still hold, when they go, give
    // their places back to the counts above.
    asio::io_context io{1};
};

// What still waits when the hall stops, dropped while the Asio context is there for what it
// holds (connections, timers) to go back to.
void dropwaiting(hall &h) {
    h.jobs.clear(), h.ends.clear(), h.looks.clear(), h.verified.clear();
    h.livewrites.clear(), h.reads.clear(), h.afterload.clear();
    h.live.clear();
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Answers
// ---------------------------------------------------------------------------------------------

// The headers every answer carries.
void common(http::fields &res, const char *type, const char *cache) {
    res.set(http::field::server, "orbridden-hall");
    res.set(http::field::content_type, type);
    if (!std::string_view(type).starts_with("text/html"))
        res.set("Content-Security-Policy", content_security);
    res.set("X-Content-Type-Options", "nosniff");
    res.set(http::field::cache_control, cache);
}

answer respond(unsigned version, bool keep, http::status status, std::string body,
               const char *type = "application/json") {
    answer res{status, version};
    common(res, type, "no-store");
    res.keep_alive(keep);
    res.body() = std::move(body);
    res.prepare_payload();
    return res;
}

answer respond(const request &req, http::status status, std::string body,
               const char *type = "application/json") {
    return respond(req.version(), req.keep_alive(), status, std::move(body), type);
}

// JSON with every byte that is not valid UTF-8 replaced: text from a submission stays data.
std::string dump(const json &j) {
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

answer failure(const request &req, http::status status, const std::string &reason) {
    return respond(req, status, dump({{"error", reason}}));
}

std::string isotime(std::int64_t ms) {
    const std::time_t t = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char s[32];
    std::strftime(s, sizeof s, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return s;
}

json runjson(const stored_run &run) {
    return {{"id", run.id},
            {"name", run.facts.name},
            {"points", run.facts.points},
            {"deaths", run.facts.deaths},
            {"keys", run.facts.keys},
            {"time_played_ms", run.facts.played_ms},
            {"game_version", run.facts.game},
            {"rank", run.rank},
            {"submitted", isotime(run.submitted_ms)},
            {"witnessed", run.facts.witnessed},
            {"witness_reason", run.facts.witness_reason},
            {"hall_time_ms", run.facts.hall_ms},
            {"recording", "/api/runs/" + std::to_string(run.id) + "/recording"}};
}

// The hall's clock in ms since 1970: the system's, or the one --clock set going at the start.
std::int64_t clock_shift = 0;
std::int64_t nowms() {
    return clock_shift + std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
}

// What an address is counted as: one IPv4 address, or an IPv6 /64 (the block one subscriber
// gets: its other addresses cost nothing to take).
std::string addresskey(const asio::ip::address &a) {
    if (a.is_v6() && a.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, a.to_v6()).to_string();
    if (!a.is_v6()) return a.to_string();
    asio::ip::address_v6::bytes_type bytes = a.to_v6().to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return asio::ip::address_v6(bytes).to_string() + "/64";
}

// Adds `n` to an address's count in `counts` (forgetting it at 0).
void count(std::unordered_map<std::string, std::size_t> &counts, const std::string &key, int n) {
    auto &c = counts[key];
    c += n;
    if (c == 0) counts.erase(key);
}

std::size_t countof(const std::unordered_map<std::string, std::size_t> &counts,
                    const std::string &key) {
    const auto it = counts.find(key);
    return it == counts.end() ? 0 : it->second;
}

// One of the hall's connections, counted in all and for its address while it lives; handed on
// from the HTTP session to the WebSocket that takes its place.
struct connection_slot {
    hall *h = nullptr;
    std::string address;
    connection_slot(hall &hall_, std::string key) : h(&hall_), address(std::move(key)) {
        ++h->connections;
        count(h->peers, address, 1);
    }
    connection_slot(connection_slot &&other) noexcept
        : h(std::exchange(other.h, nullptr)), address(std::move(other.address)) {}
    connection_slot(const connection_slot &) = delete;
    connection_slot &operator=(const connection_slot &) = delete;
    ~connection_slot() {
        if (!h) return;
        --h->connections;
        count(h->peers, address, -1);
    }
};

// ---------------------------------------------------------------------------------------------
// [SECTION] Verifiers, one a core, each replaying one submission at a time; one storer
// ---------------------------------------------------------------------------------------------

// Hands the job's outcome to whoever waits for it, on the Asio thread.
void finish(hall &h, job j, outcome o) {
    asio::post(h.io, [j = std::move(j), o = std::move(o)]() mutable { j.done(std::move(o)); });
}

// A run stored, now (201) or before (200).
outcome storedas(const stored_run &run, http::status status) {
    return {.status = status,
            .body = dump(runjson(run)),
            .run = run.id,
            .witnessed = run.facts.witnessed,
            .witness_reason = run.facts.witness_reason};
}

outcome refusal(http::status status, const std::string &problem) {
    return {.status = status, .body = dump({{"error", problem}}), .problem = problem};
}

// Whether a run of `game` is stored, and which (the first kept).
bool listed(hall &h, std::string_view game, stored_run &run) {
    std::lock_guard lock(h.finding);
    const std::int64_t id = findgame(h.finder, game);
    return id != 0 && getrun(h.finder, h.ranks, id, run);
}

// Waits for the next job: a run's before a look, submissions and live games' ends in turn (so
// that neither waits for all of the other); false once the hall stops.
bool nextverify(hall &h, job &out) {
    std::unique_lock lock(h.queued);
    h.wake.wait(lock, [&] {
        return h.stopping || !h.jobs.empty() || !h.ends.empty() ||
               (!h.looks.empty() && !h.lookrunning);
    });
    if (h.stopping) return false;
    const bool end = !h.ends.empty() && (h.jobs.empty() || !h.endlast);
    std::deque<job> &from = end ? h.ends : !h.jobs.empty() ? h.jobs : h.looks;
    if (&from != &h.looks) h.endlast = end;
    out = std::move(from.front());
    from.pop_front();
    if (&from == &h.jobs) count(h.waiting, out.address, -1);
    h.lookrunning |= out.look;
    return true;
}

void verifier(hall &h) {
    for (job j; nextverify(h, j);) {
        if (j.look) {
            outcome o;
            o.looked = replayprogress(h.config.game, j.recording, h.config.limits, o.progress);
            finish(h, std::move(j), std::move(o));
            {
                std::lock_guard lock(h.queued);
                h.lookrunning = false;
            }
            h.wake.notify_one();
            continue;
        }
        const run_facts seen = j.facts; // a live game's witness fields
        run_facts replayed;
        std::string reason;
        const bool read = checkrecording(j.recording, j.facts, reason, j.game);
        // A game listed already is answered with its run: the same keys and clock readings
        // replay to the same end, so its replay is spared and nothing of this file is kept.
        if (stored_run run; read && listed(h, j.game, run)) {
            finish(h, std::move(j), storedas(run, http::status::ok));
            continue;
        }
        const verdict v =
            read ? replayrecording(h.config.game, j.recording, h.config.limits, replayed, reason)
                 : verdict::refused;
        if (v != verdict::verified) {
            finish(h, std::move(j),
                   refusal(v == verdict::refused ? http::status::unprocessable_entity
                                                 : http::status::service_unavailable,
                           reason));
            continue;
        }
        j.facts.name = replayed.name;
        j.facts.points = replayed.points;
        j.facts.deaths = replayed.deaths;
        j.facts.witnessed = seen.witnessed;
        j.facts.witness_reason = seen.witness_reason;
        j.facts.hall_ms = seen.hall_ms;
        {
            std::lock_guard lock(h.queued);
            h.verified.push_back(std::move(j));
        }
        h.wakestorer.notify_one();
    }
}

// Waits for the next item of `from`, which `wake` says is there; false once the hall stops.
template <class Item>
bool takenext(hall &h, std::condition_variable &wake, std::deque<Item> &from, Item &out) {
    std::unique_lock lock(h.queued);
    wake.wait(lock, [&] { return h.stopping || !from.empty(); });
    if (h.stopping) return false;
    out = std::move(from.front());
    from.pop_front();
    return true;
}

// Stores the verified runs one at a time, each synced to disk before its 201, while the
// verifiers go on to the next replay.
void storer(hall &h) {
    for (job j; takenext(h, h.wakestorer, h.verified, j);) {
        std::int64_t id = 0;
        std::string error;
        const added result =
            addrun(h.writer, h.ranks, j.recording, j.game, j.facts, nowms(), id, error);
        stored_run run;
        if (result == added::failed || !getrun(h.writer, h.ranks, id, run))
            finish(h, std::move(j),
                   refusal(http::status::insufficient_storage,
                           "the hall could not store the run: " + error));
        else
            finish(
                h, std::move(j),
                storedas(run, result == added::stored ? http::status::created : http::status::ok));
    }
}

// Commits the live games' lines as they come, each batch of writes waiting at the time in one
// transaction, without a sync: a commit is then in the database's file before the player is
// told `have`, so it survives the hall's crash (SIGKILL), though not the machine's. That is
// enough, since the player's page keeps its journal and sends again whatever the hall says it
// lacks; a synced commit a message would cost a few ms of disk each and cap the hall at a few
// hundred messages a second. Writes left when the hall stops are committed before it ends.
void takegames(hall &h, std::vector<stored_live> games);

void livewriter(hall &h) {
    // First the live games the hall left, read here so that the hall answers meanwhile.
    asio::post(h.io,
               [&h, games = loadlive(h.livedb)]() mutable { takegames(h, std::move(games)); });
    for (;;) {
        std::deque<live_write> batch;
        {
            std::unique_lock lock(h.queued);
            h.wakelive.wait(lock, [&] { return h.stopping || !h.livewrites.empty(); });
            if (h.livewrites.empty()) return;
            batch.swap(h.livewrites);
        }
        // One failed write (a full disk) fails the batch: nothing of it is told or published,
        // and the games it wrote to forget the lines they could not store.
        bool ok = sqlite3_exec(h.livedb, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        for (live_write &w : batch) ok = ok && w.write(h.livedb);
        if (!ok || sqlite3_exec(h.livedb, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_exec(h.livedb, "ROLLBACK", nullptr, nullptr, nullptr);
            ok = false;
        }
        for (live_write &w : batch)
            if (w.then) asio::post(h.io, [then = std::move(w.then), ok] { then(ok); });
    }
}

void livewrite(hall &h, live_write w) {
    {
        std::lock_guard lock(h.queued);
        h.livewrites.push_back(std::move(w));
    }
    h.wakelive.notify_one();
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The API
// ---------------------------------------------------------------------------------------------

// A recording is ASCII text: line ends, tabs and the printable bytes.
bool istext(std::string_view body) {
    return std::all_of(body.begin(), body.end(), [](char c) {
        return (c >= ' ' && c <= '~') || c == '\n' || c == '\r' || c == '\t';
    });
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Takes one of the address's submissions, or says in how many seconds it has one again.
int ratewait(hall &h, const std::string &address) {
    const auto now = std::chrono::steady_clock::now();
    const double rate = h.config.rate / 60.0; // a second
    if (h.submitters.size() > 10000)          // forget those who have their whole allowance again
        std::erase_if(h.submitters, [&](const auto &s) {
            return s.second.tokens +
                       rate * std::chrono::duration<double>(now - s.second.at).count() >=
                   h.config.rate;
        });
    auto [it, fresh] = h.submitters.try_emplace(address, hall::bucket{double(h.config.rate), now});
    hall::bucket &b = it->second;
    b.tokens = std::min<double>(
        h.config.rate, b.tokens + rate * std::chrono::duration<double>(now - b.at).count());
    b.at = now;
    if (b.tokens >= 1) {
        b.tokens -= 1;
        return 0;
    }
    return static_cast<int>((1 - b.tokens) / rate) + 1;
}

// POST /api/runs: answered at once when it can be, else by a verifier through `done`.
void submit(hall &h, const request &req, const std::string &address,
            std::function<void(answer)> done) {
    const std::string type = lower(req[http::field::content_type]);
    if ((!type.empty() && type.substr(0, type.find(';')) != "text/plain") || !istext(req.body()))
        return done(failure(req, http::status::unsupported_media_type,
                            "a recording is plain text (Content-Type: text/plain)"));
    if (const int wait = ratewait(h, address)) {
        answer res = failure(req, http::status::too_many_requests,
                             "too many submissions from this address; try again later");
        res.set(http::field::retry_after, std::to_string(wait));
        return done(std::move(res));
    }
    // A game stored already is found by a verifier, before any replay (listed).
    std::unique_lock lock(h.queued);
    // One address waits in at most a quarter of the queue, so that others always find room.
    const std::size_t share = std::max<std::size_t>(1, h.config.queue / 4);
    if (h.jobs.size() >= h.config.queue || countof(h.waiting, address) >= share) {
        lock.unlock();
        answer res = failure(req, http::status::service_unavailable,
                             h.jobs.size() >= h.config.queue
                                 ? "the hall is busy verifying; try again shortly"
                                 : "this address has " + std::to_string(share) +
                                       " submissions waiting already; try again shortly");
        res.set(http::field::retry_after, std::to_string(busy_retry_seconds));
        return done(std::move(res));
    }
    count(h.waiting, address, 1);
    h.jobs.push_back(
        {.recording = req.body(),
         .address = address,
         .done = [version = req.version(), keep = req.keep_alive(), done = std::move(done)](
                     outcome o) { done(respond(version, keep, o.status, std::move(o.body))); }});
    lock.unlock();
    h.wake.notify_one();
}

// The number in `text` when it is one from 0 to `max`, else -1.
std::int64_t number(std::string_view text, std::int64_t max) {
    if (text.empty() || text.size() > 12) return -1;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v <= max ? v : -1;
}

// GET /api/runs?sort=points|recent&limit=N&offset=M
answer list(hall &h, sqlite3 *db, const request &req, std::string_view query) {
    bool by_points = true;
    std::int64_t limit = 20, offset = 0;
    while (!query.empty()) {
        const std::string_view pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        const std::string_view key = pair.substr(0, pair.find('='));
        const std::string_view value =
            pair.size() > key.size() ? pair.substr(key.size() + 1) : std::string_view{};
        if (key == "sort" && (value == "points" || value == "recent")) {
            by_points = value == "points";
        } else if (key == "limit" && number(value, list_limit) > 0) {
            limit = number(value, list_limit);
        } else if (key == "offset" && number(value, 1'000'000'000) >= 0) {
            offset = number(value, 1'000'000'000);
        } else {
            return failure(req, http::status::bad_request,
                           "the list takes sort=points|recent, limit=1..100 and offset=0..");
        }
    }
    json runs = json::array();
    for (const stored_run &run : listruns(db, h.ranks, by_points, limit, offset))
        runs.push_back(runjson(run));
    return respond(req, http::status::ok,
                   dump({{"runs", runs},
                         {"total", totalruns(h.ranks)},
                         {"sort", by_points ? "points" : "recent"},
                         {"limit", limit},
                         {"offset", offset}}));
}

// /api/runs/ID and /api/runs/ID/recording
answer onerun(hall &h, sqlite3 *db, const request &req, std::string_view rest) {
    const std::string_view idtext = rest.substr(0, rest.find('/'));
    const std::string_view what = rest.substr(idtext.size());
    const std::int64_t id = number(idtext, std::numeric_limits<std::int64_t>::max() / 10);
    stored_run run;
    if (id <= 0 || (what != "" && what != "/recording") || !getrun(db, h.ranks, id, run))
        return failure(req, http::status::not_found, "no such run");
    if (what.empty()) return respond(req, http::status::ok, dump(runjson(run)));
    std::string recording;
    getrecording(db, id, recording);
    answer res =
        respond(req, http::status::ok, std::move(recording), "text/plain; charset=us-ascii");
    res.set(http::field::content_disposition,
            "attachment; filename=\"orbridden-run-" + std::to_string(id) + ".rec\"");
    res.set(http::field::cache_control, "public, max-age=86400, immutable"); // a run never changes
    return res;
}

// Reads the runs one at a time on their own connection, each answer posted to its session, so
// that the network thread never waits on the disk or on a long read.
void readruns(hall &h) {
    for (read_job j; takenext(h, h.wakereads, h.reads, j);) {
        answer res = j.read(h.readdb, j.req);
        asio::post(h.io, [done = std::move(j.done), res = std::move(res)]() mutable {
            done(std::move(res));
        });
    }
}

// Hands a read to `readruns`, or answers 503 when the address has as many reads unanswered as
// it may, or as many wait as the hall lets wait.
void readlater(hall &h, request req, const std::string &address,
               std::function<answer(sqlite3 *, const request &)> read,
               std::function<void(answer)> done) {
    const auto busy = [&](const char *why) {
        answer res = failure(req, http::status::service_unavailable, why);
        res.set(http::field::retry_after, std::to_string(read_retry_seconds));
        done(std::move(res));
    };
    if (countof(h.readers, address) >= reads_per_address)
        return busy("too many reads from this address at once; try again shortly");
    std::unique_lock lock(h.queued);
    if (h.reads.size() >= read_queue_limit) {
        lock.unlock();
        return busy("the hall is busy reading; try again shortly");
    }
    req.body() = std::string(); // a read needs only the target and the headers
    count(h.readers, address, 1);
    h.reads.push_back(
        {std::move(req), std::move(read), [&h, address, done = std::move(done)](answer res) {
             count(h.readers, address, -1);
             done(std::move(res));
         }});
    lock.unlock();
    h.wakereads.notify_one();
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The page's files
// ---------------------------------------------------------------------------------------------

struct content_type {
    const char *extension;
    const char *type;
};
constexpr content_type content_types[] = {
    {".html", "text/html; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".mjs", "text/javascript; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".wasm", "application/wasm"},
    {".woff", "font/woff"},
    {".woff2", "font/woff2"},
    {".txt", "text/plain; charset=utf-8"},
    {".json", "application/json"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
    {".ico", "image/x-icon"},
};

const char *mimetype(const fs::path &file) {
    const std::string ext = file.extension().string();
    for (const content_type &t : content_types)
        if (ext == t.extension) return t.type;
    return "application/octet-stream";
}

// The path with its %XX escapes decoded; false for a bad escape or a NUL.
bool decodepath(std::string_view in, std::string &out) {
    auto hex = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            out += in[i];
            continue;
        }
        if (i + 2 >= in.size() || hex(in[i + 1]) < 0 || hex(in[i + 2]) < 0) return false;
        out += static_cast<char>(hex(in[i + 1]) * 16 + hex(in[i + 2]));
        i += 2;
    }
    return out.find('\0') == out.npos;
}

// The file under the site that `target` names, after every link is followed; empty when it is
// not a regular file inside the site (`..` in any spelling, an absolute path, a link out).
std::string sitefile(const hall &h, std::string_view target) {
    std::string path;
    if (h.site.empty() || !decodepath(target, path) || path.empty() || path[0] != '/' ||
        path.find('\\') != path.npos)
        return "";
    for (std::string_view rest = path; !rest.empty();) {
        rest.remove_prefix(1);
        const std::string_view segment = rest.substr(0, rest.find('/'));
        if (segment == ".." || segment == ".") return "";
        rest.remove_prefix(segment.size());
    }
    if (path.back() == '/') path += "index.html";
    std::error_code ec;
    const fs::path real = fs::canonical(h.site + path, ec);
    const std::string s = real.string();
    if (ec || s.compare(0, h.site.size() + 1, h.site + "/") != 0 || !fs::is_regular_file(real, ec))
        return "";
    return s;
}

bool acceptsgzip(const request &req) {
    const std::string accepted = lower(req[http::field::accept_encoding]);
    return accepted.find("gzip") != accepted.npos;
}

// GET or HEAD of a file of the page: its gzip-compressed twin (FILE.gz, written by the web
// build) where the client takes it; revalidated by its ETag. `send` takes the response.
template <class Send>
void staticfile(hall &h, const request &req, std::string_view target, Send &&send) {
    if (req.method() != http::verb::get && req.method() != http::verb::head) {
        answer res = failure(req, http::status::method_not_allowed, "only GET and HEAD here");
        res.set(http::field::allow, "GET, HEAD");
        return send(std::move(res));
    }
    const std::string file = sitefile(h, target);
    if (file.empty()) return send(failure(req, http::status::not_found, "no such page"));
    std::string sent = file;
    if (acceptsgzip(req)) {
        const std::string twin =
            sitefile(h, std::string(target) + (target.back() == '/' ? "index.html.gz" : ".gz"));
        if (!twin.empty()) sent = twin;
    }
    struct stat st {};
    ::stat(sent.c_str(), &st);
    const std::string etag =
        "\"" + std::to_string(st.st_size) + "-" + std::to_string(st.st_mtim.tv_sec) + "-" +
        std::to_string(st.st_mtim.tv_nsec) + (sent == file ? "" : "-gz") + "\"";
    auto headers = [&](auto &res) {
        common(res, mimetype(file), "no-cache"); // the names stay: ask each time, by ETag
        res.set(http::field::etag, etag);
        res.set(http::field::vary, "Accept-Encoding");
        if (sent != file) res.set(http::field::content_encoding, "gzip");
        res.keep_alive(req.keep_alive());
    };
    if (req[http::field::if_none_match] == etag) {
        http::response<http::empty_body> res{http::status::not_modified, req.version()};
        headers(res);
        return send(std::move(res));
    }
    http::file_body::value_type body;
    beast::error_code ec;
    body.open(sent.c_str(), beast::file_mode::scan, ec);
    if (ec) return send(failure(req, http::status::not_found, "no such page"));
    if (req.method() == http::verb::head) {
        http::response<http::empty_body> res{http::status::ok, req.version()};
        headers(res);
        res.content_length(body.size());
        return send(std::move(res));
    }
    http::response<http::file_body> res{http::status::ok, req.version()};
    headers(res);
    res.body() = std::move(body);
    res.prepare_payload();
    send(std::move(res));
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Live games: players send their recording's lines as they are written, spectators
// follow them. A line is told to its player (`have`) and published to spectators only once the
// database holds it. What the hall says is JSON in text frames; the lines go to spectators as
// they are, in binary frames.
// ---------------------------------------------------------------------------------------------

// A game's token: 128 bits from the system's source of randomness, in hex.
std::string newtoken() {
    std::random_device random;
    std::string token;
    for (int i = 0; i < 4; ++i) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
        token += part;
    }
    return token;
}

// Compares in a time that does not depend on where they differ.
bool sametoken(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char differ = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differ |= static_cast<unsigned char>(a[i] ^ b[i]);
    return differ == 0;
}

// The text of lines `from` to `to` (from 0) of a game.
std::string_view linesof(const live_lines &l, std::size_t from, std::size_t to) {
    const std::size_t begin = from == 0 ? 0 : l.ends[from - 1];
    return std::string_view(l.text).substr(begin, l.ends[to - 1] - begin);
}

// A new live game's lines, their text's room taken at once: it never moves, so that what is
// being sent of it to spectators and readers is sent from where it lies, never copied. The room
// is the operating system's promise, not memory, until lines fill it.
live_lines roomforlines() {
    live_lines l;
    l.text.reserve(recording_size_limit);
    return l;
}

// The last moment anything came of a game, ms since 1970.
std::int64_t lastheard(const live_game &g) {
    return g.lines.times.empty() ? g.since : g.lines.times.back();
}

// A live WebSocket's options: the handshake's timeout, and a ping when the other side has been
// silent for a while, so that a connection gone dead is noticed.
void liveoptions(websocket::stream<beast::tcp_stream> &ws, std::size_t message_limit) {
    ws.set_option(websocket::stream_base::timeout{
        .handshake_timeout = 30s, .idle_timeout = 60s, .keep_alive_pings = true});
    ws.read_message_max(message_limit);
    ws.text(true);
}

// A spectator: says from which line it wants the game, then gets every line from there. What
// waits for it is never more than one message, sent from the game's own text: it is sent from
// where it is whenever its last message has gone, so one that falls behind gets what it lacks
// as one batch when it drains and costs the hall no memory meanwhile. Nothing it sends reaches
// the player.
struct watcher : std::enable_shared_from_this<watcher> {
    hall &h;
    connection_slot slot;
    websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer in;
    std::shared_ptr<live_game> game;
    asio::steady_timer firstwait;
    std::size_t sent = 0; // lines it has
    bool started = false, writing = false, closing = false;
    std::string said; // the hall's own message being sent

    watcher(hall &hall_, connection_slot s, beast::tcp_stream stream, std::shared_ptr<live_game> g)
        : h(hall_), slot(std::move(s)), ws(std::move(stream)), game(std::move(g)),
          firstwait(hall_.io) {
        ++h.spectators;
        count(h.watching, slot.address, 1);
    }
    ~watcher() {
        --h.spectators;
        count(h.watching, slot.address, -1);
    }

    void start(request req) {
        liveoptions(ws, watch_message_limit);
        game->watchers.push_back(weak_from_this());
        firstwait.expires_after(first_message_time);
        firstwait.async_wait([weak = weak_from_this()](beast::error_code ec) {
            if (const auto self = weak.lock(); self && !ec && !self->started)
                self->ws.next_layer().close();
        });
        ws.async_accept(req, [self = shared_from_this()](beast::error_code ec) {
            if (!ec) self->read();
        });
    }

    void read() {
        ws.async_read(in, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec) {
                self->firstwait.cancel();
                return;
            }
            if (!self->started) self->begin();
            self->in.consume(self->in.size());
            if (!self->closing) self->read();
        });
    }

    // {"from": N}: the lines it already has.
    void begin() {
        firstwait.cancel();
        const json m = json::parse(beast::buffers_to_string(in.data()), nullptr, false);
        const std::size_t have = game->durable;
        if (!m.is_object() || !m.contains("from") || !m["from"].is_number_unsigned() ||
            m["from"].get<std::uint64_t>() > have)
            return say(dump({{"error", "a spectator first says {\"from\": N}, N the lines it "
                                       "has (at most " +
                                           std::to_string(have) + ")"}}),
                       true);
        started = true;
        sent = m["from"].get<std::size_t>();
        pump();
    }

    // Sends what it lacks of the lines stored, or the end once it has every line.
    void pump() {
        if (!started || writing || closing) return;
        const live_lines &l = game->lines;
        if (sent < game->durable) {
            std::size_t to = sent + 1;
            const std::size_t begin = sent == 0 ? 0 : l.ends[sent - 1];
            while (to < game->durable && l.ends[to] - begin <= watch_batch_limit) ++to;
            // The lines as they are, in a binary message: a few bytes a key, against the
            // screen's changes a cast would send; what the hall says besides is JSON, in text
            // messages, so that no line a player sends can pass for it.
            const std::string_view lines = linesof(l, sent, to);
            sent = to;
            ws.binary(true);
            return write(asio::buffer(lines.data(), lines.size()), false);
        }
        if (!game->ended.empty()) say(game->ended, true);
    }

    void say(std::string message, bool last) {
        said = std::move(message);
        ws.binary(false);
        write(asio::buffer(said), last);
    }

    void write(asio::const_buffer what, bool last) {
        writing = true;
        closing = last;
        ws.async_write(what, [self = shared_from_this(), last](beast::error_code ec, std::size_t) {
            self->writing = false;
            if (ec) return;
            if (!last) return self->pump();
            self->ws.async_close(websocket::close_code::normal, [self](beast::error_code) {});
        });
    }
};

// Hands the lines stored, or the end, to the game's spectators.
void notify(live_game &g) {
    std::erase_if(g.watchers, [](const std::weak_ptr<watcher> &w) { return w.expired(); });
    for (const std::weak_ptr<watcher> &w : g.watchers)
        if (const auto spectator = w.lock()) spectator->pump();
}

// Replays the game so far in a verifier, to learn its hero: no more often than every few
// seconds a game, and only while no submission waits.
void look(hall &h, const std::shared_ptr<live_game> &g) {
    if (g->gone || g->looking || g->lines.ended || g->looked == g->lines.ends.size()) return;
    const auto now = std::chrono::steady_clock::now();
    if (now >= g->nextlook) {
        std::unique_lock lock(h.queued);
        if (h.looks.size() < h.config.queue) {
            g->looking = true;
            g->looked = g->lines.ends.size();
            g->nextlook = now + live_look_every;
            h.looks.push_back(
                {.recording = g->lines.text, .look = true, .done = [&h, g](outcome o) {
                     g->looking = false;
                     if (o.looked) g->progress = o.progress;
                     look(h, g);
                 }});
            lock.unlock();
            h.wake.notify_one();
            return;
        }
        g->nextlook = now + live_look_every; // the verifiers are busy: later
    }
    if (g->lookwait) return; // a look is already due
    g->lookwait.emplace(h.io, g->nextlook);
    g->lookwait->async_wait([&h, weak = std::weak_ptr<live_game>(g)](beast::error_code) {
        if (const auto game = weak.lock()) {
            game->lookwait.reset();
            look(h, game);
        }
    });
}

void endgame(hall &h, const std::shared_ptr<live_game> &g);
void forget(hall &h, const std::shared_ptr<live_game> &g, const std::string &why);

// The player's connection: first which game, then its lines; the hall answers how many lines it
// holds now and then, and how the game ended.
struct player : std::enable_shared_from_this<player> {
    hall &h;
    connection_slot slot;
    websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer in;
    std::shared_ptr<live_game> game;
    bool resumed = false;        // it goes on with a game begun before
    std::int64_t opened = 0;     // when it went on with it, ms since 1970
    asio::steady_timer idle;     // the first message's deadline, then the live games' idle time
    std::deque<std::string> out; // messages waiting to be sent, the first being sent
    bool writing = false, closing = false;
    std::size_t told = 0; // the last `have` said

    player(hall &hall_, connection_slot s, beast::tcp_stream stream)
        : h(hall_), slot(std::move(s)), ws(std::move(stream)), idle(hall_.io) {}
    ~player() { release(); }

    void start(request req) {
        liveoptions(ws, live_message_limit);
        idle.expires_after(first_message_time);
        idle.async_wait([weak = weak_from_this()](beast::error_code ec) {
            if (const auto self = weak.lock(); self && !ec) self->ws.next_layer().close();
        });
        ws.async_accept(req, [self = shared_from_this()](beast::error_code ec) {
            if (!ec) self->read();
        });
    }

    void read() {
        ws.async_read(in, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec) return self->gone();
            const std::string text = beast::buffers_to_string(self->in.data());
            self->in.consume(self->in.size());
            if (self->closing) return; // the close reads what is left
            const json m = json::parse(text, nullptr, false);
            if (!self->game) {
                self->idle.cancel();
                if (!m.is_object()) return self->refuse("each message is a JSON object");
                return self->hello(m);
            }
            if (!m.is_object()) return self->reject("each message is a JSON object");
            self->take(m);
            if (!self->closing) self->read();
        });
    }

    // No longer this game's player. A game left with not a line in it is forgotten at once;
    // one with lines waits for its player to come back (and may be set aside for another).
    void release() {
        if (!game) return;
        if (const auto p = game->playing.lock(); p && p.get() != this) return;
        game->playing.reset();
        if (game->lines.ends.empty() && !game->gone) forget(h, game, "");
    }

    void gone() {
        idle.cancel();
        release();
    }

    void say(std::string message) {
        out.push_back(std::move(message));
        write();
    }
    void write() {
        if (writing) return;
        if (out.empty()) {
            if (closing)
                ws.async_close(websocket::close_code::normal,
                               [self = shared_from_this()](beast::error_code) {});
            return;
        }
        writing = true;
        ws.async_write(asio::buffer(out.front()),
                       [self = shared_from_this()](beast::error_code ec, std::size_t) {
                           self->writing = false;
                           self->out.pop_front();
                           if (ec) return self->gone();
                           if (self->out.empty()) self->sayhave(); // the latest, once drained
                           self->write();
                       });
    }

    // The last message, then the close.
    void finish(std::string message) {
        if (closing) return;
        closing = true;
        gone();
        say(std::move(message));
    }
    void refuse(const std::string &sentence) { finish(dump({{"error", sentence}})); }
    // Refused for what it sent of its game: the game goes too, and its address's place with it.
    void reject(const std::string &sentence) {
        const std::shared_ptr<live_game> g = game;
        refuse(sentence);
        if (g && !g->gone) forget(h, g, "its player was refused: " + sentence);
    }
    // Closed without a word, so that the page comes back and sends again from what the hall
    // holds.
    void hangup() {
        if (closing) return;
        closing = true;
        gone();
        write();
    }

    // `have` when the hall holds more than it last said; after a burst, when the messages
    // before it have gone.
    void sayhave() {
        if (closing || !game || game->durable <= told || out.size() > 4) return;
        told = game->durable;
        say(dump({{"have", told}}));
    }

    void waitidle() {
        idle.expires_after(std::chrono::seconds(h.config.live_idle));
        idle.async_wait([self = shared_from_this()](beast::error_code ec) {
            if (!ec)
                self->refuse("no line came for " + std::to_string(self->h.config.live_idle) +
                             " s, so the hall has closed this connection; the game can go on "
                             "later with its id and token");
        });
    }

    void attach(const std::shared_ptr<live_game> &g) {
        game = g;
        g->playing = weak_from_this();
        told = g->durable;
        say(dump({{"game", g->id}, {"token", g->token}, {"have", g->durable}}));
        waitidle();
        read();
    }

    // {"game": null} for a new game; {"game": ID, "token": "..."} to go on with one. Waits for
    // the games the hall left to be loaded first.
    void hello(const json &m) {
        if (h.loading)
            return h.afterload.push_back([self = shared_from_this(), m] {
                if (!self->closing) self->hello(m);
            });
        if (!m.contains("game") || !(m["game"].is_null() || m["game"].is_number_unsigned()))
            return refuse("the first message is {\"game\": null} for a new live game, or "
                          "{\"game\": ID, \"token\": \"...\"} to go on with one");
        if (m["game"].is_number_unsigned()) {
            const auto it = h.live.find(m["game"].get<std::int64_t>());
            const json token = m.value("token", json());
            if (it == h.live.end() || !token.is_string() ||
                !sametoken(token.get<std::string>(), it->second->token) || it->second->lines.ended)
                return refuse("the hall has no live game with that id and token (an ended game "
                              "is in the hall of fame)");
            if (const auto before = it->second->playing.lock()) // a connection left behind
                before->refuse("this game goes on in another connection");
            resumed = true;
            opened = nowms();
            return attach(it->second);
        }
        if (const std::string why = makeroom(); !why.empty()) return refuse(why);
        auto g = std::make_shared<live_game>();
        g->token = newtoken();
        g->address = slot.address;
        g->since = nowms();
        g->lines = roomforlines();
        // Its first look some time in the next few seconds: games begun together are not all
        // replayed together.
        g->nextlook = std::chrono::steady_clock::now() +
                      std::chrono::milliseconds(std::random_device()() % 5000);
        ++h.creating;
        count(h.held, g->address, 1);
        livewrite(h, {.write =
                          [g](sqlite3 *db) {
                              g->id = addlive(db, g->token, g->address, g->since);
                              return g->id != 0;
                          },
                      .then =
                          [self = shared_from_this(), g](bool ok) {
                              --self->h.creating;
                              if (!ok) {
                                  count(self->h.held, g->address, -1);
                                  return self->refuse("the hall cannot store a live game now");
                              }
                              self->h.live[g->id] = g;
                              if (self->closing) return forget(self->h, g, "");
                              self->attach(g);
                          }});
    }

    // Room for a new game of this address: one of its own games that no one plays goes first,
    // then, when the hall is full, the game no one has played for longest. Empty, or why not.
    std::string makeroom() {
        const auto oldestidle = [&](bool own) {
            std::shared_ptr<live_game> oldest;
            for (const auto &[id, g] : h.live)
                if ((!own || g->address == slot.address) && g->playing.expired() &&
                    !g->lines.ended && (!oldest || lastheard(*g) < lastheard(*oldest)))
                    oldest = g;
            return oldest;
        };
        const std::string aside = "no one played it, and another game needed its place";
        if (countof(h.held, slot.address) >= static_cast<std::size_t>(h.config.live_per_address)) {
            const auto g = oldestidle(true);
            if (!g)
                return "this address plays " + std::to_string(h.config.live_per_address) +
                       " live games already; end one of them first";
            forget(h, g, aside);
        }
        if (h.live.size() + h.creating >= h.config.live_games) {
            const auto g = oldestidle(false);
            if (!g) return "the hall has as many live games as it can take; try again later";
            forget(h, g, aside);
        }
        return "";
    }

    // {"from": N, "lines": "..."}: lines from the Nth (from 0); those the hall has are skipped.
    void take(const json &m) {
        if (!m.contains("from") || !m["from"].is_number_unsigned() || !m.contains("lines") ||
            !m["lines"].is_string())
            return reject("lines come as {\"from\": N, \"lines\": \"...\"}");
        live_game &g = *game;
        const std::size_t have = g.lines.ends.size();
        const std::size_t from = m["from"].get<std::size_t>();
        if (from > have)
            return reject("the lines sent begin at line " + std::to_string(from) +
                          ", but the hall has only " + std::to_string(have) + "; send from there");
        std::vector<std::string_view> lines;
        std::string problem;
        const std::string &text = m["lines"].get_ref<const std::string &>();
        if (!splitlines(text, lines, problem)) return reject(problem);
        std::vector<live_row> rows;
        const std::int64_t now = nowms();
        for (std::size_t n = have - from; n < lines.size(); ++n) {
            // Lines played before this connection opened come late, sent again.
            const bool resent = resumed && !g.lines.times.empty() &&
                                g.lines.times[0] + claimedafter(g.lines.claimed, lines[n]) < opened;
            if (!addline(g.lines, lines[n], now, resent, problem)) break;
            rows.push_back({.n = static_cast<std::int64_t>(g.lines.ends.size() - 1),
                            .arrived_ms = now,
                            .resent = resent,
                            .line = std::string(lines[n])});
        }
        if (!rows.empty()) store(std::move(rows));
        if (!problem.empty()) return reject(problem);
        if (g.lines.ended)
            idle.cancel(); // nothing more comes: the end is being stored and verified
        else
            waitidle();
    }

    // Stores the lines taken; once they are, they are told and published, and the game ends
    // when its score record is among them. When they could not be, the game forgets every line
    // from the first not stored (it holds no gap) and the player is let go, to come back and
    // send again from what the hall holds.
    void store(std::vector<live_row> rows) {
        const std::size_t first = static_cast<std::size_t>(rows.front().n);
        const std::size_t upto = static_cast<std::size_t>(rows.back().n) + 1;
        livewrite(h, {.write = [id = game->id, rows = std::move(rows)](
                                   sqlite3 *db) { return addlivelines(db, id, rows); },
                      .then =
                          [&hall = h, self = shared_from_this(), g = game,
                           generation = game->generation, first, upto](bool ok) {
                              if (g->gone || g->generation != generation) return;
                              if (!ok || g->durable < first) {
                                  ++g->generation;
                                  droplines(g->lines, g->durable);
                                  if (const auto p = g->playing.lock()) p->hangup();
                                  return;
                              }
                              g->durable = std::max(g->durable, upto);
                              if (g->playing.lock() == self) self->sayhave();
                              notify(*g);
                              if (g->lines.ended && g->durable == g->lines.ends.size())
                                  endgame(hall, g);
                              else
                                  look(hall, g);
                          }});
    }
};

// Forgets a live game: out of the list and the database, its address's place freed; its player
// and spectators are told why, where there is a why.
void forget(hall &h, const std::shared_ptr<live_game> &g, const std::string &why) {
    if (g->gone) return;
    g->gone = true;
    h.live.erase(g->id);
    count(h.held, g->address, -1);
    livewrite(h, {.write = [id = g->id](sqlite3 *db) { return droplive(db, id), true; }});
    if (why.empty()) return;
    const std::string sentence = "the hall has set this live game aside: " + why;
    if (const auto p = g->playing.lock()) p->refuse(sentence);
    g->ended = dump({{"error", sentence}});
    notify(*g);
}

// Queues a live game's end to be verified as a submission is, under its address's rate: one
// address that ends many games at once waits its turn, not everyone else.
void queueend(hall &h, const std::shared_ptr<live_game> &g, job j) {
    if (const int wait = ratewait(h, g->address)) {
        auto timer = std::make_shared<asio::steady_timer>(h.io, std::chrono::seconds(wait));
        return timer->async_wait([&h, g, timer, j = std::move(j)](beast::error_code) mutable {
            queueend(h, g, std::move(j));
        });
    }
    {
        std::lock_guard lock(h.queued);
        h.ends.push_back(std::move(j));
    }
    h.wake.notify_one();
}

// The score record is stored: verified as a submission is, and witnessed when its lines came at
// the times it claims; the player and the spectators are told what was stored (a game listed
// already stays as it was listed), and the game is dropped.
void endgame(hall &h, const std::shared_ptr<live_game> &g) {
    if (g->ending) return;
    g->ending = true;
    job j{.recording = g->lines.text};
    std::string reason;
    j.facts.witnessed = witnessed(g->lines, reason);
    j.facts.witness_reason = reason;
    j.facts.hall_ms = g->lines.times.back() - g->lines.times.front();
    j.done = [&h, g](outcome o) {
        std::string why = o.witness_reason;
        if (o.run == 0)
            why = "the run was not verified";
        else if (o.status != http::status::created)
            why = "this game was listed already (run " + std::to_string(o.run) +
                  "), as it was first sent" + (why.empty() ? "" : ": " + why);
        g->ended = dump({{"ended", true},
                         {"run", o.run != 0 ? json(o.run) : json(nullptr)},
                         {"witnessed", o.run != 0 && o.witnessed},
                         {"reason", o.witnessed ? "" : why},
                         {"problem", o.problem}});
        if (const auto p = g->playing.lock()) p->finish(g->ended);
        notify(*g);
        forget(h, g, "");
    };
    queueend(h, g, std::move(j));
}

// GET /api/live: the games being played, oldest first.
answer livelist(hall &h, const request &req) {
    json games = json::array();
    for (const auto &[id, g] : h.live) {
        std::erase_if(g->watchers, [](const std::weak_ptr<watcher> &w) { return w.expired(); });
        const bool known = g->progress.rings >= 0;
        games.push_back({{"id", id},
                         {"hero", known ? json(g->progress.hero) : json(nullptr)},
                         {"rings", known ? json(g->progress.rings) : json(nullptr)},
                         {"keys", g->lines.keys},
                         {"lines", g->durable},
                         {"since", g->since},
                         {"last", lastheard(*g)},
                         {"playing", !g->playing.expired()},
                         {"spectators", g->watchers.size()},
                         {"recording", "/api/live/" + std::to_string(id) + "/recording"},
                         {"watch", "/api/live/" + std::to_string(id) + "/watch"}});
    }
    return respond(req, http::status::ok, dump({{"games", games}}));
}

std::shared_ptr<live_game> livegame(hall &h, std::string_view idtext) {
    const std::int64_t id = number(idtext, std::numeric_limits<std::int64_t>::max() / 10);
    const auto it = h.live.find(id);
    return it == h.live.end() ? nullptr : it->second;
}

// The games the database holds, as the hall left them (each up to its first line missing, if a
// failed write left a gap); one whose score record is in goes to be verified.
void takegames(hall &h, std::vector<stored_live> games) {
    for (stored_live &s : games) {
        auto g = std::make_shared<live_game>();
        g->id = s.id;
        g->token = std::move(s.token);
        g->address = std::move(s.address);
        g->since = s.since_ms;
        g->lines = roomforlines();
        std::string ignored;
        for (const live_row &row : s.lines)
            if (!addline(g->lines, row.line, row.arrived_ms, row.resent, ignored)) break;
        g->durable = g->lines.ends.size();
        h.live[g->id] = g;
        count(h.held, g->address, 1);
        if (g->lines.ended) endgame(h, g);
    }
    h.loading = false;
    for (auto &then : std::exchange(h.afterload, {})) then();
}

// Forgets the live games no one has played for a day: their pages keep their journals.
void sweep(hall &h, asio::steady_timer &timer) {
    timer.expires_after(live_sweep_every);
    timer.async_wait([&h, &timer](beast::error_code ec) {
        if (ec) return;
        const std::int64_t before = nowms() - std::chrono::milliseconds(live_forget).count();
        std::vector<std::shared_ptr<live_game>> old;
        for (const auto &[id, g] : h.live)
            if (g->playing.expired() && !g->lines.ended && lastheard(*g) < before) old.push_back(g);
        for (const auto &g : old) forget(h, g, "no one has played it for a day");
        sweep(h, timer);
    });
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Sessions: one a connection, reading a request at a time under its deadline
// ---------------------------------------------------------------------------------------------

struct session : std::enable_shared_from_this<session> {
    hall &h;
    connection_slot slot;
    beast::tcp_stream stream;
    beast::flat_buffer buffer{header_limit};
    std::optional<http::request_parser<http::string_body>> parser;
    const std::string &address = slot.address;

    session(hall &hall_, connection_slot s, tcp::socket socket)
        : h(hall_), slot(std::move(s)), stream(std::move(socket)) {}

    void read() {
        parser.emplace();
        parser->header_limit(header_limit);
        parser->body_limit(h.config.body_limit);
        stream.expires_after(request_time);
        http::async_read_header(
            stream, buffer, *parser,
            [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onheader(ec); });
    }

    void onheader(beast::error_code ec) {
        if (ec) return fail(ec);
        const request &req = parser->get();
        if (lower(req[http::field::expect]) == "100-continue") {
            auto go = std::make_shared<http::response<http::empty_body>>(http::status::continue_,
                                                                         req.version());
            return http::async_write(
                stream, *go, [self = shared_from_this(), go](beast::error_code e, std::size_t) {
                    if (e) return self->fail(e);
                    self->readbody();
                });
        }
        readbody();
    }

    void readbody() {
        http::async_read(stream, buffer, *parser,
                         [self = shared_from_this()](beast::error_code ec, std::size_t) {
                             if (ec) return self->fail(ec);
                             self->stream.expires_never();
                             self->route();
                         });
    }

    // A request that could not be read: the status that says why, where the client can hear
    // it (one too large, or not HTTP), and the connection closed.
    void fail(beast::error_code ec) {
        const bool malformed =
            ec.category() == make_error_code(http::error::bad_target).category() &&
            ec != http::error::end_of_stream && ec != http::error::partial_message;
        if (malformed && parser) {
            const bool body = ec == http::error::body_limit;
            request req;
            answer res = failure(
                req,
                body                              ? http::status::payload_too_large
                : ec == http::error::header_limit ? http::status::request_header_fields_too_large
                                                  : http::status::bad_request,
                body ? "a recording is at most " + std::to_string(h.config.body_limit) + " bytes"
                : ec == http::error::header_limit
                    ? "the request's headers are too large"
                    : "not a request the hall can read: " + ec.message());
            res.keep_alive(false);
            parser.reset(); // an answer that fails to go closes, not answers again
            return send(std::move(res));
        }
        beast::error_code ignored;
        stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream.close();
    }

    void route() {
        const request &req = parser->get();
        const std::string_view target = req.target();
        const std::string_view path = target.substr(0, target.find('?'));
        const std::string_view query =
            path.size() < target.size() ? target.substr(path.size() + 1) : std::string_view{};
        if (websocket::is_upgrade(req) &&
            (path == "/api/live/play" ||
             (path.starts_with("/api/live/") && path.ends_with("/watch"))))
            return upgrade(path);
        if (path == "/api/runs" && req.method() == http::verb::post)
            return submit(h, req, address,
                          [self = shared_from_this()](answer res) { self->send(std::move(res)); });
        if (path.starts_with("/api/")) {
            if (req.method() != http::verb::get && req.method() != http::verb::head) {
                answer res = failure(req, http::status::method_not_allowed,
                                     path == "/api/runs" ? "GET, HEAD or POST" : "GET or HEAD");
                res.set(http::field::allow, path == "/api/runs" ? "GET, HEAD, POST" : "GET, HEAD");
                return send(std::move(res));
            }
            if (path == "/api/runs")
                return readlater(
                    h, req, address,
                    [&h = h, query = std::string(query)](sqlite3 *db, const request &r) {
                        return list(h, db, r, query);
                    },
                    sender());
            if (path.starts_with("/api/runs/"))
                return readlater(
                    h, req, address,
                    [&h = h, rest = std::string(path.substr(10))](sqlite3 *db, const request &r) {
                        return onerun(h, db, r, rest);
                    },
                    sender());
            if (path == "/api/live") return send(livelist(h, req));
            if (path.starts_with("/api/live/")) return liverecording(path.substr(10));
            return send(failure(req, http::status::not_found, "no such thing"));
        }
        staticfile(h, req, path, [this](auto res) { send(std::move(res)); });
    }

    // GET /api/live/ID/recording: the recording so far, as stored, sent from the game's own
    // text (which never moves) rather than a copy for each reader.
    void liverecording(std::string_view rest) {
        const request &req = parser->get();
        const std::string_view idtext = rest.substr(0, rest.find('/'));
        const std::shared_ptr<live_game> g = livegame(h, idtext);
        if (!g || rest.substr(idtext.size()) != "/recording") return send(notlive(req));
        const std::size_t bytes = g->durable == 0 ? 0 : g->lines.ends[g->durable - 1];
        http::response<http::span_body<const char>> res{http::status::ok, req.version()};
        common(res, "text/plain; charset=us-ascii", "no-store");
        res.keep_alive(req.keep_alive());
        res.body() = {g->lines.text.data(), bytes};
        res.prepare_payload();
        send(std::move(res), g);
    }

    // No such live game: while the games the hall left are being loaded, ask again shortly.
    answer notlive(const request &req) {
        if (!h.loading) return failure(req, http::status::not_found, "no such live game");
        answer res = failure(req, http::status::service_unavailable,
                             "the hall is starting; try again shortly");
        res.set(http::field::retry_after, "1");
        return res;
    }

    // Hands the connection to a live game's player or spectator.
    void upgrade(std::string_view path) {
        const request &req = parser->get();
        std::shared_ptr<live_game> g;
        if (path != "/api/live/play") {
            g = livegame(h, path.substr(10, path.size() - 10 - 6));
            if (!g) return send(notlive(req));
            if (h.spectators >= h.config.spectators)
                return send(failure(req, http::status::service_unavailable,
                                    "the hall has as many spectators as it can take"));
            if (countof(h.watching, address) >= h.config.spectators_per_address)
                return send(failure(req, http::status::service_unavailable,
                                    "this address watches " +
                                        std::to_string(h.config.spectators_per_address) +
                                        " live games already"));
        }
        stream.expires_never(); // the WebSocket keeps its own time
        if (g)
            std::make_shared<watcher>(h, std::move(slot), std::move(stream), g)
                ->start(parser->release());
        else
            std::make_shared<player>(h, std::move(slot), std::move(stream))
                ->start(parser->release());
    }

    // Sends an answer that comes later, from another thread through the Asio thread.
    std::function<void(answer)> sender() {
        return [self = shared_from_this()](answer res) { self->send(std::move(res)); };
    }

    // Sends an answer (its head alone, to a HEAD); `hold` keeps what its body lies in until it
    // has gone.
    template <class Body>
    void send(http::response<Body> res, std::shared_ptr<const void> hold = nullptr) {
        if constexpr (!std::is_same_v<Body, http::empty_body>)
            if (parser && parser->get().method() == http::verb::head && res.has_content_length())
                return send(http::response<http::empty_body>(std::move(res.base())));
        auto message = std::make_shared<http::response<Body>>(std::move(res));
        stream.expires_after(response_time);
        http::async_write(
            stream, *message,
            [self = shared_from_this(), message, hold](beast::error_code ec, std::size_t) {
                if (ec) return self->fail(ec);
                if (!message->keep_alive()) return self->linger();
                self->read();
            });
    }

    // Closes after the last answer: the sending side first, then what the client still sends
    // is read and dropped for a moment, so that closing with unread bytes (the rest of a body
    // refused) does not reset the connection before the client has read the answer.
    void linger() {
        beast::error_code ignored;
        stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream.expires_after(linger_time);
        drain(std::make_shared<std::array<char, 4096>>());
    }
    void drain(std::shared_ptr<std::array<char, 4096>> scratch) {
        stream.async_read_some(asio::buffer(*scratch), [self = shared_from_this(), scratch](
                                                           beast::error_code ec, std::size_t) {
            if (ec) return self->fail(ec);
            self->drain(scratch);
        });
    }
};

// Asio opens its sockets without close-on-exec: a verifier must not inherit one.
void closeonexec(int fd) {
    ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
}

// Takes a connection when the hall has room for it, and its address has not taken its share.
void accept(hall &h, tcp::acceptor &acceptor) {
    acceptor.async_accept([&h, &acceptor](beast::error_code ec, tcp::socket socket) {
        if (!ec) {
            closeonexec(socket.native_handle());
            beast::error_code e;
            const std::string address = addresskey(socket.remote_endpoint(e).address());
            if (!e && h.connections < connection_limit &&
                countof(h.peers, address) < h.config.connections_per_address) {
                socket.set_option(tcp::no_delay(true), e); // an answer goes out whole at once
                socket.set_option(asio::socket_base::send_buffer_size(send_buffer_bytes), e);
                std::make_shared<session>(h, connection_slot(h, address), std::move(socket))
                    ->read();
            }
        }
        if (ec == asio::error::operation_aborted) return;
        if (ec) { // out of descriptors, say: try again in a moment rather than spin
            auto timer = std::make_shared<asio::steady_timer>(h.io, 50ms);
            return timer->async_wait(
                [&h, &acceptor, timer](beast::error_code) { accept(h, acceptor); });
        }
        accept(h, acceptor);
    });
}

// This program's own directory, where the game is looked for by default.
fs::path selfdir() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path();
}

} // namespace

int runhall(hall_config config, std::ostream &out, std::ostream &err) {
    const char *me = "orbridden-hall: ";
    // A write past a file size limit fails with EFBIG instead of ending the hall; a client gone
    // is an error on its socket.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    // Its files are its own: where a verifier has no namespaces, it runs as nobody beside them.
    ::umask(077);
    // Idle connections are cheap; descriptors should not be what runs out.
    if (rlimit r{}; getrlimit(RLIMIT_NOFILE, &r) == 0) {
        r.rlim_cur = r.rlim_max;
        setrlimit(RLIMIT_NOFILE, &r);
    }

    hall h;
    h.config = std::move(config);
    hall_config &c = h.config;
    if (c.clock_ms >= 0) clock_shift = c.clock_ms - nowms();
    if (c.game.empty()) c.game = (selfdir() / "orbridden").string();
    if (::access(c.game.c_str(), X_OK) != 0) {
        err << me << c.game << ": no game to verify with (--game PATH)\n";
        return 1;
    }
    c.game = fs::absolute(c.game).string(); // where the verifiers' view of the files holds it
    err << me << describesandbox(preparesandbox(c.game)) << std::endl;
    if (!c.site.empty()) {
        std::error_code ec;
        h.site = fs::canonical(c.site, ec).string();
        if (ec || !fs::is_directory(h.site)) {
            err << me << c.site << ": no such directory (--site)\n";
            return 1;
        }
    }
    if (c.verifiers == 0) c.verifiers = std::max(1u, std::thread::hardware_concurrency());
    std::error_code ec;
    fs::create_directories(c.data, ec);
    const std::string dbpath = (fs::path(c.data) / "hall.db").string();
    std::string error;
    // Each thread that reaches the database has a connection of its own; WAL lets the readers
    // read while a run is added.
    sqlite3 **connections[] = {&h.writer, &h.livedb, &h.readdb, &h.finder};
    const auto closeall = [&] {
        for (sqlite3 **db : connections) closestore(std::exchange(*db, nullptr));
    };
    if (!(h.writer = openstore(dbpath, error)) || !(h.livedb = openstore(dbpath, error, false)) ||
        !(h.readdb = openstore(dbpath, error)) || !(h.finder = openstore(dbpath, error))) {
        err << me << dbpath << ": " << error << '\n';
        closeall();
        return 1;
    }
    buildranks(h.ranks, scorecounts(h.writer));

    tcp::acceptor acceptor(h.io);
    try {
        const tcp::endpoint at(asio::ip::make_address(c.address), c.port);
        acceptor.open(at.protocol());
        closeonexec(acceptor.native_handle());
        acceptor.set_option(asio::socket_base::reuse_address(true));
        acceptor.bind(at);
        acceptor.listen(asio::socket_base::max_listen_connections);
    } catch (const std::exception &e) {
        err << me << c.address << ":" << c.port << ": " << e.what() << '\n';
        closeall();
        return 1;
    }
    const tcp::endpoint bound = acceptor.local_endpoint();
    out << "orbridden-hall: http://"
        << (bound.address().is_v6() ? "[" + bound.address().to_string() + "]"
                                    : bound.address().to_string())
        << ":" << bound.port() << "/" << std::endl;

    std::vector<std::thread> verifiers;
    for (unsigned i = 0; i < c.verifiers; ++i) verifiers.emplace_back(verifier, std::ref(h));
    verifiers.emplace_back(storer, std::ref(h));
    verifiers.emplace_back(livewriter, std::ref(h));
    verifiers.emplace_back(readruns, std::ref(h));
    asio::steady_timer sweeper(h.io);
    sweep(h, sweeper);
    asio::signal_set signals(h.io, SIGINT, SIGTERM);
    signals.async_wait([&](beast::error_code, int) { h.io.stop(); });
    accept(h, acceptor);
    h.io.run();

    {
        std::lock_guard lock(h.queued);
        h.stopping = true;
    }
    h.wake.notify_all();
    h.wakestorer.notify_all();
    h.wakelive.notify_all();
    h.wakereads.notify_all();
    for (std::thread &t : verifiers) t.join();
    dropwaiting(h);
    closeall();
    return 0;
}
