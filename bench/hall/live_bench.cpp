// Live games' benchmark against the real hall on 127.0.0.1: 100 players sending a line every
// 250 ms each and 1,000 spectators following them for 20 s, from one Asio thread of WebSockets;
// the latency from a line sent to a spectator holding it (floor: p99 under 100 ms), the hall's
// CPU and peak memory; then the bytes a spectator gets for the whole playthrough against the
// playthrough's cast (floor: at most a twentieth), raw and gzip-compressed. Exits 1 when a floor
// is missed.
#include "client.hpp"

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <unistd.h>

std::uint64_t wirebytes(int fd); // wirebytes.cpp

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using json = nlohmann::json;
using clock_type = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int games = 100, per_game = 10;
constexpr auto line_every = 250ms;
constexpr auto run_time = 20s;
int opened = 0; // WebSockets whose handshake is done

[[noreturn]] void fail(const char *what, beast::error_code ec) {
    std::fprintf(stderr, "%s: %s\n", what, ec.message().c_str());
    std::abort();
}

// One WebSocket to the hall: messages out in order, each message in handed to `heard`.
struct peer : std::enable_shared_from_this<peer> {
    websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer in;
    std::deque<std::string> out;
    bool writing = false;
    std::function<void(const std::string &)> heard;
    explicit peer(asio::io_context &io) : ws(io) {}

    void open(unsigned short port, const std::string &target, std::string first) {
        beast::get_lowest_layer(ws).async_connect(
            {asio::ip::make_address("127.0.0.1"), port},
            [self = shared_from_this(), target, first](beast::error_code ec) {
                if (ec) fail("connect", ec);
                beast::get_lowest_layer(self->ws).socket().set_option(
                    asio::ip::tcp::no_delay(true));
                self->ws.async_handshake("127.0.0.1", target, [self, first](beast::error_code e) {
                    if (e) fail("handshake", e);
                    ++opened;
                    self->ws.text(true);
                    self->send(first);
                    self->read();
                });
            });
    }
    void read() {
        ws.async_read(in, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec) return;
            const std::string m = beast::buffers_to_string(self->in.data());
            self->in.consume(self->in.size());
            self->heard(m);
            self->read();
        });
    }
    void send(std::string m) {
        out.push_back(std::move(m));
        if (!writing) write();
    }
    void write() {
        writing = true;
        ws.async_write(asio::buffer(out.front()),
                       [self = shared_from_this()](beast::error_code ec, std::size_t) {
                           self->out.pop_front();
                           self->writing = false;
                           if (!ec && !self->out.empty()) self->write();
                       });
    }
};

std::vector<std::string> linesof(const std::string &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line + '\n');
    return out;
}

std::size_t linecount(const std::string &text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The hall's CPU time so far in seconds (user and system), and its peak resident memory in KB.
double cputime(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int n = 3; fields >> field && n <= 15; ++n)
        if (n == 14 || n == 15) ticks += std::stod(field);
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}
long peakkb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// Runs `io` until `done` or the bound; false when the bound came first.
bool rununtil(asio::io_context &io, const std::function<bool()> &done, clock_type::duration bound) {
    const auto giveup = clock_type::now() + bound;
    while (!done() && clock_type::now() < giveup) {
        if (io.stopped()) io.restart(); // it stops whenever it runs out of work
        io.run_for(10ms);
    }
    return done();
}

std::size_t gzipped(const fs::path &file) {
    const std::string command = "gzip -9 -c '" + file.string() + "' | wc -c";
    FILE *pipe = ::popen(command.c_str(), "r");
    unsigned long size = 0;
    if (!pipe || std::fscanf(pipe, "%lu", &size) != 1) std::abort();
    ::pclose(pipe);
    return size;
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::vector<std::string> lines = linesof(playthroughrun());
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--live-per-address", "1000", "--spectators", "5000",
                                             // every client comes from the one loopback address
                                             "--connections-per-address", "4096",
                                             "--spectators-per-address", "5000"}));
    asio::io_context io;

    // Every player begins its game, then ten spectators a game join it from its first line.
    std::vector<std::shared_ptr<peer>> players;
    std::vector<std::int64_t> ids(games, 0);
    std::vector<std::vector<clock_type::time_point>> sent(games);
    std::vector<double> latency;
    int begun = 0;
    for (int g = 0; g < games; ++g) {
        auto p = std::make_shared<peer>(io);
        p->heard = [&, g](const std::string &m) {
            const json j = json::parse(m);
            if (j.contains("game")) ids[g] = j["game"].get<std::int64_t>(), ++begun;
        };
        p->open(hall.port, "/api/live/play", R"({"game": null})");
        players.push_back(p);
    }
    if (!rununtil(
            io, [&] { return begun == games; }, 30s))
        std::abort();
    std::vector<std::shared_ptr<peer>> spectators;
    // The lines each spectator holds: the hall sends them in order from its first.
    std::vector<std::vector<std::size_t>> held(games, std::vector<std::size_t>(per_game, 0));
    for (int g = 0; g < games; ++g)
        for (int k = 0; k < per_game; ++k) {
            auto s = std::make_shared<peer>(io);
            s->heard = [&, g, k](const std::string &m) {
                const auto now = clock_type::now();
                if (m.empty() || m[0] == '{') return; // the end, not lines
                const std::size_t from = held[g][k], n = linecount(m);
                held[g][k] += n;
                for (std::size_t i = from; i < from + n; ++i) {
                    latency.push_back(
                        std::chrono::duration<double, std::milli>(now - sent[g][i]).count());
                }
            };
            s->open(hall.port, "/api/live/" + std::to_string(ids[g]) + "/watch", R"({"from": 0})");
            spectators.push_back(s);
        }
    if (!rununtil(
            io, [&] { return opened == games * (per_game + 1); }, 60s))
        std::abort();
    io.run_for(1s); // their first messages taken

    // Each player sends its next line every 250 ms, the players spread over the interval.
    const double cpu0 = cputime(hall.pid);
    const auto start = clock_type::now();
    std::vector<std::unique_ptr<asio::steady_timer>> timers;
    std::function<void(int)> tick = [&](int g) {
        const std::size_t n = sent[g].size();
        sent[g].push_back(clock_type::now());
        players[g]->send(json{{"from", n}, {"lines", lines[n]}}.dump());
        timers[g]->expires_at(timers[g]->expiry() + line_every);
        timers[g]->async_wait([&, g](beast::error_code ec) {
            if (!ec && clock_type::now() < start + run_time) tick(g);
        });
    };
    for (int g = 0; g < games; ++g) {
        timers.push_back(std::make_unique<asio::steady_timer>(io, start + line_every * g / games));
        timers[g]->async_wait([&, g](beast::error_code) { tick(g); });
    }
    io.run_for(run_time + 1s);
    const double cpu = cputime(hall.pid) - cpu0;
    std::size_t sentlines = 0;
    for (const auto &s : sent) sentlines += s.size();
    std::sort(latency.begin(), latency.end());
    if (latency.empty()) std::abort();
    const double p50 = latency[latency.size() / 2], p99 = latency[latency.size() * 99 / 100];
    std::printf(
        "%d live games, %d spectators, a line every 250 ms each for %lld s: "
        "%zu lines sent, %zu received by spectators (of %zu)\n",
        games, games * per_game,
        static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(run_time).count()),
        sentlines, latency.size(), sentlines * per_game);
    std::printf("line sent to spectator: p50 %.2f ms, p99 %.2f ms (floor: p99 under 100 ms)\n", p50,
                p99);
    std::printf("the hall: %.2f s of CPU in %.0f s (%.0f%% of a core), peak memory %ld KB\n", cpu,
                std::chrono::duration<double>(run_time + 1s).count(),
                100 * cpu / std::chrono::duration<double>(run_time + 1s).count(), peakkb(hall.pid));
    for (auto &p : players) beast::get_lowest_layer(p->ws).close();
    for (auto &s : spectators) beast::get_lowest_layer(s->ws).close();
    io.restart();
    io.poll(); // their handlers, aborted

    // The whole playthrough, sent as a page sends it (each key's line with the clock readings
    // after it), and what one spectator gets of it, its messages' bytes and their frames' heads.
    const scratch_dir files;
    const fs::path stream = files.path / "spectator.txt", cast = files.path / "playthrough.cast";
    std::ofstream got(stream, std::ios::binary);
    std::size_t bytes = 0, have = 0;
    std::int64_t id = 0;
    auto player = std::make_shared<peer>(io);
    player->heard = [&](const std::string &m) {
        const json j = json::parse(m);
        if (j.contains("game")) id = j["game"];
    };
    player->open(hall.port, "/api/live/play", R"({"game": null})");
    if (!rununtil(
            io, [&] { return id != 0; }, 30s))
        std::abort();
    auto spectator = std::make_shared<peer>(io);
    spectator->heard = [&](const std::string &m) {
        got << m;
        if (!m.empty() && m[0] != '{') have += linecount(m);
    };
    spectator->open(hall.port, "/api/live/" + std::to_string(id) + "/watch", R"({"from": 0})");
    if (!rununtil(
            io, [&] { return opened == games * (per_game + 1) + 2; }, 30s))
        std::abort();
    for (std::size_t n = 0; n < lines.size();) {
        std::size_t to = n + 1;
        while (to < lines.size() && !(lines[to][0] >= '0' && lines[to][0] <= '9')) ++to;
        std::string batch;
        for (std::size_t k = n; k < to; ++k) batch += lines[k];
        player->send(json{{"from", n}, {"lines", batch}}.dump());
        n = to;
    }
    if (!rununtil(
            io, [&] { return have == lines.size(); }, 60s)) {
        std::fprintf(stderr, "the spectator has %zu lines of %zu\n", have, lines.size());
        std::abort();
    }
    got.close();
    bytes = wirebytes(beast::get_lowest_layer(spectator->ws).socket().native_handle());
    const std::string castcommand =
        std::string(ORBRIDDEN_BINARY) + " --replay " + HALL_RUN + " --cast " + cast.string();
    if (std::system(castcommand.c_str()) != 0) std::abort();
    const std::size_t castbytes = fs::file_size(cast), castgz = gzipped(cast),
                      streamgz = gzipped(stream);
    std::printf("the playthrough to a spectator: %zu bytes on the wire (its "
                "messages %zu bytes raw, %zu gzip-compressed), its cast %zu bytes (%zu "
                "gzip-compressed): %.1f times smaller on the wire, %.1f raw, %.1f both "
                "gzip-compressed (floor: 20 times on the wire)\n",
                bytes, fs::file_size(stream), streamgz, castbytes, castgz,
                double(castbytes) / double(bytes),
                double(castbytes) / double(fs::file_size(stream)),
                double(castgz) / double(streamgz));
    const bool ok = p99 < 100 && bytes * 20 <= castbytes;
    std::printf("%s\n", ok ? "floors met" : "A FLOOR IS MISSED");
    return ok ? 0 : 1;
}
