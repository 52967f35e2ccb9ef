// The hall's HTTP and WebSocket server: Beast sessions on one Asio thread (reading, routing, the
// page's files, reads from the database, live games and their spectators), the verifiers on
// worker threads fed by a bounded queue, one thread storing runs and one storing live lines, and
// the answers posted back to the sessions.
#include "hall/server.hpp"

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
constexpr std::int64_t list_limit = 100; // runs in one answer
constexpr int busy_retry_seconds = 5;    // Retry-After when the queue is full
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
    bool looked = false;                    // a look: the replay went to the recording's end
    live_progress progress = {};            // ...and what it found
};

// A recording waiting for a verifier (a submission, a live game's end, or a look at a live
// game's hero), then for the storer; `done` runs on the Asio thread with the outcome.
struct job {
    std::string recording;
    bool look = false;
    run_facts facts = {};  // once verified; a live game's witness fields from the start
    std::string game = {}; // the game it plays (gameplayed), once read
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
    std::size_t durable = 0; // lines the database holds
    std::weak_ptr<player> playing;
    std::vector<std::weak_ptr<watcher>> watchers;
    // The hero as the last look found him, and when the next look may be.
    live_progress progress;
    std::size_t looked = 0; // lines at the last look
    bool looking = false;
    std::chrono::steady_clock::time_point nextlook{};
    std::optional<asio::steady_timer> lookwait;
    std::string ended; // the message that says how it ended, once verified
};

// A write to the live games' tables, and what to do on the Asio thread once it is committed.
struct live_write {
    std::function<void(sqlite3 *)> write;
    std::function<void()> then = {};
};

struct hall {
    hall_config config;
    asio::io_context io{1};
    sqlite3 *reader = nullptr; // the Asio thread's own; WAL lets it read while a run is added
    sqlite3 *writer = nullptr; // the storer's
    sqlite3 *livedb = nullptr; // the live writer's
    sqlite3 *finder = nullptr; // the verifiers', under `finding`: is a game listed already?
    std::string site;          // canonical, or empty

    std::mutex finding;
    std::mutex queued;
    std::condition_variable wake, wakestorer;
    std::condition_variable wakelive;
    std::deque<job> jobs;     // waiting for a verifier, at most config.queue (and live games' ends)
    std::deque<job> looks;    // looks at live games, taken when no job waits; at most config.queue
    bool lookrunning = false; // one look at a time, so that a core is left for the hall
    std::deque<job> verified; // waiting for the storer
    std::deque<live_write> livewrites;
    bool stopping = false;

    std::map<std::int64_t, std::shared_ptr<live_game>> live;
    std::unordered_map<std::string, int> playing; // live games' players by address
    std::size_t spectators = 0;

    std::size_t connections = 0;
    struct bucket {
        double tokens;
        std::chrono::steady_clock::time_point at;
    };
    std::unordered_map<std::string, bucket> submitters;
};

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

std::int64_t nowms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Verifiers, one a core, each replaying one submission at a time; one storer
// ---------------------------------------------------------------------------------------------

// Hands the job's outcome to whoever waits for it, on the Asio thread.
void finish(hall &h, job j, outcome o) {
    asio::post(h.io, [j = std::move(j), o = std::move(o)]() mutable { j.done(std::move(o)); });
}

outcome refusal(http::status status, const std::string &problem) {
    return {.status = status, .body = dump({{"error", problem}}), .problem = problem};
}

// Whether a run of `game` is stored, and which (the first kept).
bool listed(hall &h, std::string_view game, stored_run &run) {
    std::lock_guard lock(h.finding);
    const std::int64_t id = findgame(h.finder, game);
    return id != 0 && getrun(h.finder, id, run);
}

// Waits for the next job: a run's before a look; false once the hall stops.
bool nextverify(hall &h, job &out) {
    std::unique_lock lock(h.queued);
    h.wake.wait(lock, [&] {
        return h.stopping || !h.jobs.empty() || (!h.looks.empty() && !h.lookrunning);
    });
    if (h.stopping) return false;
    std::deque<job> &from = h.jobs.empty() ? h.looks : h.jobs;
    out = std::move(from.front());
    from.pop_front();
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
            finish(h, std::move(j),
                   {.status = http::status::ok, .body = dump(runjson(run)), .run = run.id});
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

// Stores the verified runs one at a time, each synced to disk before its 201, while the
// verifiers go on to the next replay.
void storer(hall &h) {
    for (;;) {
        job j;
        {
            std::unique_lock lock(h.queued);
            h.wakestorer.wait(lock, [&] { return h.stopping || !h.verified.empty(); });
            if (h.stopping) return;
            j = std::move(h.verified.front());
            h.verified.pop_front();
        }
        std::int64_t id = 0;
        std::string error;
        const added result = addrun(h.writer, j.recording, j.game, j.facts, nowms(), id, error);
        stored_run run;
        if (result == added::failed || !getrun(h.writer, id, run))
            finish(h, std::move(j),
                   refusal(http::status::insufficient_storage,
                           "the hall could not store the run: " + error));
        else
            finish(h, std::move(j),
                   {.status = result == added::stored ? http::status::created : http::status::ok,
                    .body = dump(runjson(run)),
                    .run = id});
    }
}

// Commits the live games' lines as they come, each batch of writes waiting at the time in one
// transaction, without a sync: a commit is then in the database's file before the player is
// told `have`, so it survives the hall's crash (SIGKILL), though not the machine's. That is
// enough, since the player's page keeps its journal and sends again whatever the hall says it
// lacks; a synced commit a message would cost a few ms of disk each and cap the hall at a few
// hundred messages a second. Writes left when the hall stops are committed before it ends.
void livewriter(hall &h) {
    for (;;) {
        std::deque<live_write> batch;
        {
            std::unique_lock lock(h.queued);
            h.wakelive.wait(lock, [&] { return h.stopping || !h.livewrites.empty(); });
            if (h.livewrites.empty()) return;
            batch.swap(h.livewrites);
        }
        sqlite3_exec(h.livedb, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (live_write &w : batch) w.write(h.livedb);
        if (sqlite3_exec(h.livedb, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_exec(h.livedb, "ROLLBACK", nullptr, nullptr, nullptr);
            continue; // nothing said `have` for them: the players send them again
        }
        for (live_write &w : batch)
            if (w.then) asio::post(h.io, std::move(w.then));
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
    if (h.jobs.size() >= h.config.queue) {
        lock.unlock();
        answer res = failure(req, http::status::service_unavailable,
                             "the hall is busy verifying; try again shortly");
        res.set(http::field::retry_after, std::to_string(busy_retry_seconds));
        return done(std::move(res));
    }
    h.jobs.push_back(
        {.recording = req.body(),
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
answer list(hall &h, const request &req, std::string_view query) {
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
    for (const stored_run &run : listruns(h.reader, by_points, limit, offset))
        runs.push_back(runjson(run));
    return respond(req, http::status::ok,
                   dump({{"runs", runs},
                         {"total", countruns(h.reader)},
                         {"sort", by_points ? "points" : "recent"},
                         {"limit", limit},
                         {"offset", offset}}));
}

// /api/runs/ID and /api/runs/ID/recording
answer onerun(hall &h, const request &req, std::string_view rest) {
    const std::string_view idtext = rest.substr(0, rest.find('/'));
    const std::string_view what = rest.substr(idtext.size());
    const std::int64_t id = number(idtext, std::numeric_limits<std::int64_t>::max() / 10);
    stored_run run;
    if (id <= 0 || (what != "" && what != "/recording") || !getrun(h.reader, id, run))
        return failure(req, http::status::not_found, "no such run");
    if (what.empty()) return respond(req, http::status::ok, dump(runjson(run)));
    std::string recording;
    getrecording(h.reader, id, recording);
    answer res =
        respond(req, http::status::ok, std::move(recording), "text/plain; charset=us-ascii");
    res.set(http::field::content_disposition,
            "attachment; filename=\"orbridden-run-" + std::to_string(id) + ".rec\"");
    res.set(http::field::cache_control, "public, max-age=86400, immutable"); // a run never changes
    return res;
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
// follow them; every message is a JSON text frame
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

// A live WebSocket's options: the handshake's timeout, and a ping when the other side has been
// silent for a while, so that a connection gone dead is noticed.
void liveoptions(websocket::stream<beast::tcp_stream> &ws, std::size_t message_limit) {
    ws.set_option(websocket::stream_base::timeout{
        .handshake_timeout = 30s, .idle_timeout = 60s, .keep_alive_pings = true});
    ws.read_message_max(message_limit);
    ws.text(true);
}

// A spectator: says from which line it wants the game, then gets every line from there. What
// waits for it is never more than one message: it is sent from where it is whenever its last
// message has gone, so one that falls behind gets what it lacks as one batch when it drains and
// costs the hall no memory meanwhile. Nothing it sends reaches the player.
struct watcher : std::enable_shared_from_this<watcher> {
    hall &h;
    websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer in;
    std::shared_ptr<live_game> game;
    std::size_t sent = 0; // lines it has
    bool started = false, writing = false, closing = false;
    std::string message; // the one being sent

    watcher(hall &hall_, beast::tcp_stream stream, std::shared_ptr<live_game> g)
        : h(hall_), ws(std::move(stream)), game(std::move(g)) {
        ++h.connections, ++h.spectators;
    }
    ~watcher() { --h.connections, --h.spectators; }

    void start(request req) {
        liveoptions(ws, watch_message_limit);
        game->watchers.push_back(weak_from_this());
        ws.async_accept(req, [self = shared_from_this()](beast::error_code ec) {
            if (!ec) self->read();
        });
    }

    void read() {
        ws.async_read(in, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec) return;
            if (!self->started) self->begin();
            self->in.consume(self->in.size());
            if (!self->closing) self->read();
        });
    }

    // {"from": N}: the lines it already has.
    void begin() {
        const json m = json::parse(beast::buffers_to_string(in.data()), nullptr, false);
        const std::size_t have = game->lines.ends.size();
        if (!m.is_object() || !m.contains("from") || !m["from"].is_number_unsigned() ||
            m["from"].get<std::uint64_t>() > have) {
            message = dump({{"error", "a spectator first says {\"from\": N}, N the lines it has "
                                      "(at most " +
                                          std::to_string(have) + ")"}});
            return say(true);
        }
        started = true;
        sent = m["from"].get<std::size_t>();
        pump();
    }

    // Sends what it lacks, or the end once it has every line.
    void pump() {
        if (!started || writing || closing) return;
        const live_lines &l = game->lines;
        if (sent < l.ends.size()) {
            std::size_t to = sent + 1;
            const std::size_t begin = sent == 0 ? 0 : l.ends[sent - 1];
            while (to < l.ends.size() && l.ends[to] - begin <= watch_batch_limit) ++to;
            // The lines as they are, in a binary message: a few bytes a key, against the
            // screen's changes a cast would send; what the hall says besides is JSON, in text
            // messages, so that no line a player sends can pass for it.
            message = std::string(linesof(l, sent, to));
            sent = to;
            ws.binary(true);
            return say(false);
        }
        if (!game->ended.empty()) {
            message = game->ended;
            ws.binary(false);
            say(true);
        }
    }

    void say(bool last) {
        writing = true;
        closing = last;
        ws.async_write(asio::buffer(message), [self = shared_from_this(),
                                               last](beast::error_code ec, std::size_t) {
            self->writing = false;
            if (ec) return;
            if (!last) return self->pump();
            self->ws.async_close(websocket::close_code::normal, [self](beast::error_code) {});
        });
    }
};

// Hands new lines, or the end, to the game's spectators.
void notify(live_game &g) {
    std::erase_if(g.watchers, [](const std::weak_ptr<watcher> &w) { return w.expired(); });
    for (const std::weak_ptr<watcher> &w : g.watchers)
        if (const auto spectator = w.lock()) spectator->pump();
}

// Replays the game so far in a verifier, to learn its hero: no more often than every few
// seconds a game, and only while no submission waits.
void look(hall &h, const std::shared_ptr<live_game> &g) {
    if (g->looking || g->lines.ended || g->looked == g->lines.ends.size()) return;
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

// The player's connection: first which game, then its lines; the hall answers how many lines it
// holds now and then, and how the game ended.
struct player : std::enable_shared_from_this<player> {
    hall &h;
    websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer in;
    std::string address;
    std::shared_ptr<live_game> game;
    bool resumed = false;    // it goes on with a game begun before
    std::int64_t opened = 0; // when it went on with it, ms since 1970
    bool counted = false;    // it holds one of its address's live games
    asio::steady_timer idle;
    std::deque<std::string> out; // messages waiting to be sent, the first being sent
    bool writing = false, closing = false;
    std::size_t told = 0; // the last `have` said

    player(hall &hall_, beast::tcp_stream stream, std::string from)
        : h(hall_), ws(std::move(stream)), address(std::move(from)), idle(hall_.io) {
        ++h.connections;
    }
    ~player() {
        --h.connections;
        release();
    }

    void start(request req) {
        liveoptions(ws, live_message_limit);
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
            if (!m.is_object()) return self->refuse("each message is a JSON object");
            if (!self->game) return self->hello(m);
            self->take(m);
            if (!self->closing) self->read();
        });
    }

    // No longer this game's player, nor one of its address's.
    void release() {
        if (counted && --h.playing[address] == 0) h.playing.erase(address);
        counted = false;
        if (game && game->playing.lock().get() == this) game->playing.reset();
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

    // Takes one of the address's live games, or says why not.
    bool claim() {
        if (h.playing[address] >= h.config.live_per_address) {
            refuse("this address plays " + std::to_string(h.config.live_per_address) +
                   " live games already; end one of them first");
            return false;
        }
        ++h.playing[address];
        counted = true;
        return true;
    }

    void attach(const std::shared_ptr<live_game> &g) {
        game = g;
        g->playing = weak_from_this();
        told = g->durable;
        say(dump({{"game", g->id}, {"token", g->token}, {"have", g->durable}}));
        waitidle();
        read();
    }

    // {"game": null} for a new game; {"game": ID, "token": "..."} to go on with one.
    void hello(const json &m) {
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
            if (!claim()) return;
            resumed = true;
            opened = nowms();
            return attach(it->second);
        }
        if (h.live.size() >= h.config.live_games)
            return refuse("the hall has as many live games as it can take; try again later");
        if (!claim()) return;
        auto g = std::make_shared<live_game>();
        g->token = newtoken();
        g->address = address;
        g->since = nowms();
        // Its first look some time in the next few seconds: games begun together are not all
        // replayed together.
        g->nextlook = std::chrono::steady_clock::now() +
                      std::chrono::milliseconds(std::random_device()() % 5000);
        livewrite(
            h, {.write = [g](sqlite3 *db) { g->id = addlive(db, g->token, g->address, g->since); },
                .then =
                    [self = shared_from_this(), g] {
                        if (g->id == 0)
                            return self->refuse("the hall cannot store a live game now");
                        self->h.live[g->id] = g;
                        if (!self->closing) self->attach(g);
                    }});
    }

    // {"from": N, "lines": "..."}: lines from the Nth (from 0); those the hall has are skipped.
    void take(const json &m) {
        if (!m.contains("from") || !m["from"].is_number_unsigned() || !m.contains("lines") ||
            !m["lines"].is_string())
            return refuse("lines come as {\"from\": N, \"lines\": \"...\"}");
        live_game &g = *game;
        const std::size_t have = g.lines.ends.size();
        const std::size_t from = m["from"].get<std::size_t>();
        if (from > have)
            return refuse("the lines sent begin at line " + std::to_string(from) +
                          ", but the hall has only " + std::to_string(have) + "; send from there");
        std::vector<std::string_view> lines;
        std::string problem;
        const std::string &text = m["lines"].get_ref<const std::string &>();
        if (!splitlines(text, lines, problem)) return refuse(problem);
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
        if (!rows.empty()) {
            const std::size_t upto = g.lines.ends.size();
            livewrite(h, {.write = [id = g.id, rows = std::move(rows)](
                                       sqlite3 *db) { addlivelines(db, id, rows); },
                          .then =
                              [self = shared_from_this(), game = game, upto] {
                                  game->durable = std::max(game->durable, upto);
                                  if (game->playing.lock() == self) self->sayhave();
                              }});
            notify(g);
            if (g.lines.ended)
                endgame(h, game);
            else
                look(h, game);
        }
        if (!problem.empty()) return refuse(problem);
        waitidle();
    }
};

// The score record is in: verified as a submission is, and witnessed when its lines came at the
// times it claims; the player and the spectators are told how it ended, and the game is dropped.
void endgame(hall &h, const std::shared_ptr<live_game> &g) {
    job j{.recording = g->lines.text};
    std::string reason;
    j.facts.witnessed = witnessed(g->lines, reason);
    j.facts.witness_reason = reason;
    j.facts.hall_ms = g->lines.times.back() - g->lines.times.front();
    j.done = [&h, g, reason](outcome o) {
        const bool seen = o.run != 0 && reason.empty();
        g->ended = dump({{"ended", true},
                         {"run", o.run != 0 ? json(o.run) : json(nullptr)},
                         {"witnessed", seen},
                         {"reason", o.run == 0 ? "the run was not verified" : reason},
                         {"problem", o.problem}});
        if (const auto p = g->playing.lock()) p->finish(g->ended);
        notify(*g);
        h.live.erase(g->id);
        livewrite(h, {.write = [id = g->id](sqlite3 *db) { droplive(db, id); }});
    };
    {
        // A live game's end always has its place: their number is bounded by --live-games.
        std::lock_guard lock(h.queued);
        h.jobs.push_back(std::move(j));
    }
    h.wake.notify_one();
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
                         {"lines", g->lines.ends.size()},
                         {"since", g->since},
                         {"last", g->lines.times.empty() ? g->since : g->lines.times.back()},
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

// GET /api/live/ID/recording: the recording so far.
answer liverecording(hall &h, const request &req, std::string_view rest) {
    const std::string_view idtext = rest.substr(0, rest.find('/'));
    const std::shared_ptr<live_game> g = livegame(h, idtext);
    if (!g || rest.substr(idtext.size()) != "/recording")
        return failure(req, http::status::not_found, "no such live game");
    return respond(req, http::status::ok, g->lines.text, "text/plain; charset=us-ascii");
}

// The live games the database holds, as the hall left them; one whose score record is in goes
// to be verified.
void loadgames(hall &h) {
    for (stored_live &s : loadlive(h.livedb)) {
        auto g = std::make_shared<live_game>();
        g->id = s.id;
        g->token = std::move(s.token);
        g->address = std::move(s.address);
        g->since = s.since_ms;
        g->lines = std::move(s.lines);
        g->durable = g->lines.ends.size();
        h.live[g->id] = g;
        if (g->lines.ended) endgame(h, g);
    }
}

// Forgets the live games no one has played for a day: their pages keep their journals.
void sweep(hall &h, asio::steady_timer &timer) {
    timer.expires_after(live_sweep_every);
    timer.async_wait([&h, &timer](beast::error_code ec) {
        if (ec) return;
        const std::int64_t before = nowms() - std::chrono::milliseconds(live_forget).count();
        std::erase_if(h.live, [&](const auto &entry) {
            const live_game &g = *entry.second;
            const std::int64_t last = g.lines.times.empty() ? g.since : g.lines.times.back();
            if (!g.playing.expired() || g.lines.ended || last >= before) return false;
            livewrite(h, {.write = [id = g.id](sqlite3 *db) { droplive(db, id); }});
            return true;
        });
        sweep(h, timer);
    });
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Sessions: one a connection, reading a request at a time under its deadline
// ---------------------------------------------------------------------------------------------

struct session : std::enable_shared_from_this<session> {
    hall &h;
    beast::tcp_stream stream;
    beast::flat_buffer buffer{header_limit};
    std::optional<http::request_parser<http::string_body>> parser;
    std::string address;

    session(hall &hall_, tcp::socket socket) : h(hall_), stream(std::move(socket)) {
        ++h.connections;
        beast::error_code ec;
        address = stream.socket().remote_endpoint(ec).address().to_string(ec);
        stream.socket().set_option(tcp::no_delay(true), ec); // an answer goes out whole at once
    }
    ~session() { --h.connections; }

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
    // it, and the connection closed.
    void fail(beast::error_code ec) {
        if (ec == http::error::body_limit || ec == http::error::header_limit) {
            const bool body = ec == http::error::body_limit;
            request req;
            answer res = failure(req,
                                 body ? http::status::payload_too_large
                                      : http::status::request_header_fields_too_large,
                                 body ? "a recording is at most " +
                                            std::to_string(h.config.body_limit) + " bytes"
                                      : "the request's headers are too large");
            res.keep_alive(false);
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
            if (req.method() != http::verb::get) {
                answer res = failure(req, http::status::method_not_allowed,
                                     path == "/api/runs" ? "GET or POST" : "GET only");
                res.set(http::field::allow, path == "/api/runs" ? "GET, POST" : "GET");
                return send(std::move(res));
            }
            if (path == "/api/runs") return send(list(h, req, query));
            if (path.starts_with("/api/runs/")) return send(onerun(h, req, path.substr(10)));
            if (path == "/api/live") return send(livelist(h, req));
            if (path.starts_with("/api/live/")) return send(liverecording(h, req, path.substr(10)));
            return send(failure(req, http::status::not_found, "no such thing"));
        }
        staticfile(h, req, path, [this](auto res) { send(std::move(res)); });
    }

    // Hands the connection to a live game's player or spectator.
    void upgrade(std::string_view path) {
        const request &req = parser->get();
        std::shared_ptr<live_game> g;
        if (path != "/api/live/play") {
            g = livegame(h, path.substr(10, path.size() - 10 - 6));
            if (!g) return send(failure(req, http::status::not_found, "no such live game"));
            if (h.spectators >= h.config.spectators)
                return send(failure(req, http::status::service_unavailable,
                                    "the hall has as many spectators as it can take"));
        }
        stream.expires_never(); // the WebSocket keeps its own time
        if (g)
            std::make_shared<watcher>(h, std::move(stream), g)->start(parser->release());
        else
            std::make_shared<player>(h, std::move(stream), address)->start(parser->release());
    }

    template <class Body>
    void send(http::response<Body> res) {
        auto message = std::make_shared<http::response<Body>>(std::move(res));
        stream.expires_after(response_time);
        http::async_write(stream, *message,
                          [self = shared_from_this(), message](beast::error_code ec, std::size_t) {
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

void accept(hall &h, tcp::acceptor &acceptor) {
    acceptor.async_accept([&h, &acceptor](beast::error_code ec, tcp::socket socket) {
        if (!ec && h.connections < connection_limit)
            std::make_shared<session>(h, std::move(socket))->read();
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
    // Idle connections are cheap; descriptors should not be what runs out.
    if (rlimit r{}; getrlimit(RLIMIT_NOFILE, &r) == 0) {
        r.rlim_cur = r.rlim_max;
        setrlimit(RLIMIT_NOFILE, &r);
    }

    hall h;
    h.config = std::move(config);
    hall_config &c = h.config;
    if (c.game.empty()) c.game = (selfdir() / "orbridden").string();
    if (::access(c.game.c_str(), X_OK) != 0) {
        err << me << c.game << ": no game to verify with (--game PATH)\n";
        return 1;
    }
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
    if (!(h.writer = openstore(dbpath, error)) || !(h.reader = openstore(dbpath, error)) ||
        !(h.livedb = openstore(dbpath, error, false)) || !(h.finder = openstore(dbpath, error))) {
        err << me << dbpath << ": " << error << '\n';
        closestore(h.writer), closestore(h.reader), closestore(h.livedb);
        return 1;
    }

    tcp::acceptor acceptor(h.io);
    try {
        const tcp::endpoint at(asio::ip::make_address(c.address), c.port);
        acceptor.open(at.protocol());
        acceptor.set_option(asio::socket_base::reuse_address(true));
        acceptor.bind(at);
        acceptor.listen(asio::socket_base::max_listen_connections);
    } catch (const std::exception &e) {
        err << me << c.address << ":" << c.port << ": " << e.what() << '\n';
        closestore(h.reader), closestore(h.writer), closestore(h.livedb), closestore(h.finder);
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
    loadgames(h);
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
    for (std::thread &t : verifiers) t.join();
    closestore(h.reader);
    closestore(h.writer);
    closestore(h.livedb);
    closestore(h.finder);
    return 0;
}
