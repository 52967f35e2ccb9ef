// The hall's HTTP server: Beast sessions on one Asio thread (reading, routing, the page's files,
// reads from the database), the verifiers on worker threads fed by a bounded queue, and the
// answers posted back to the sessions.
#include "hall/server.hpp"

#include "hall/store.hpp"

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
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
#include <mutex>
#include <ostream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unordered_map>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
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

// Every answer carries these: nothing of the hall's runs as a script, nothing sniffed. The page
// compiles its WebAssembly, which a policy of 'self' alone forbids.
constexpr const char *content_security = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'";

// ---------------------------------------------------------------------------------------------
// [SECTION] The hall's state
// ---------------------------------------------------------------------------------------------

using request = http::request<http::string_body>;
using answer = http::response<http::string_body>;

// A submission waiting for a verifier, then for the storer; `done` runs on the Asio thread with
// the answer.
struct job {
    std::string recording;
    unsigned version = 11; // the request's HTTP version and keep-alive, for the answer
    bool keep = false;
    std::function<void(answer)> done;
    run_facts facts = {}; // once verified
};

struct hall {
    hall_config config;
    asio::io_context io{1};
    sqlite3 *reader = nullptr; // the Asio thread's own; WAL lets it read while a run is added
    sqlite3 *writer = nullptr; // the storer's
    std::string site;          // canonical, or empty

    std::mutex queued;
    std::condition_variable wake, wakestorer;
    std::deque<job> jobs;     // waiting for a verifier, at most config.queue
    std::deque<job> verified; // waiting for the storer
    bool stopping = false;

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

// Hands the job's answer to its session, on the Asio thread.
void answerjob(hall &h, job j, http::status status, std::string body) {
    asio::post(h.io, [j = std::move(j), status, body = std::move(body)]() mutable {
        j.done(respond(j.version, j.keep, status, std::move(body)));
    });
}

// Waits for the next job of `from`; false once the hall stops.
bool nextjob(hall &h, std::deque<job> &from, std::condition_variable &wake, job &out) {
    std::unique_lock lock(h.queued);
    wake.wait(lock, [&] { return h.stopping || !from.empty(); });
    if (h.stopping) return false;
    out = std::move(from.front());
    from.pop_front();
    return true;
}

void verifier(hall &h) {
    for (job j; nextjob(h, h.jobs, h.wake, j);) {
        run_facts replayed;
        std::string reason;
        const verdict v =
            checkrecording(j.recording, j.facts, reason)
                ? replayrecording(h.config.game, j.recording, h.config.limits, replayed, reason)
                : verdict::refused;
        if (v != verdict::verified) {
            answerjob(h, std::move(j),
                      v == verdict::refused ? http::status::unprocessable_entity
                                            : http::status::service_unavailable,
                      dump({{"error", reason}}));
            continue;
        }
        j.facts.name = replayed.name;
        j.facts.points = replayed.points;
        j.facts.deaths = replayed.deaths;
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
    for (job j; nextjob(h, h.verified, h.wakestorer, j);) {
        std::int64_t id = 0;
        std::string error;
        const added result = addrun(h.writer, j.recording, j.facts, nowms(), id, error);
        stored_run run;
        if (result == added::failed || !getrun(h.writer, id, run))
            answerjob(h, std::move(j), http::status::insufficient_storage,
                      dump({{"error", "the hall could not store the run: " + error}}));
        else
            answerjob(h, std::move(j),
                      result == added::stored ? http::status::created : http::status::ok,
                      dump(runjson(run)));
    }
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
    stored_run run;
    if (const std::int64_t id = findrun(h.reader, req.body()); id && getrun(h.reader, id, run))
        return done(respond(req, http::status::ok, dump(runjson(run))));
    std::unique_lock lock(h.queued);
    if (h.jobs.size() >= h.config.queue) {
        lock.unlock();
        answer res = failure(req, http::status::service_unavailable,
                             "the hall is busy verifying; try again shortly");
        res.set(http::field::retry_after, std::to_string(busy_retry_seconds));
        return done(std::move(res));
    }
    h.jobs.push_back({req.body(), req.version(), req.keep_alive(), std::move(done)});
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
            return send(failure(req, http::status::not_found, "no such thing"));
        }
        staticfile(h, req, path, [this](auto res) { send(std::move(res)); });
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
    if (!(h.writer = openstore(dbpath, error)) || !(h.reader = openstore(dbpath, error))) {
        err << me << dbpath << ": " << error << '\n';
        closestore(h.writer);
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
        closestore(h.reader), closestore(h.writer);
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
    for (std::thread &t : verifiers) t.join();
    closestore(h.reader);
    closestore(h.writer);
    return 0;
}
