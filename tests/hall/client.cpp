// The hall's tests' support: starting the real hall, a Beast client, the submitted runs.
#include "client.hpp"

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

scratch_dir::scratch_dir() {
    std::string name = (fs::temp_directory_path() / "orbridden-hall-XXXXXX").string();
    if (!::mkdtemp(name.data())) throw std::runtime_error("no scratch directory");
    path = name;
}

scratch_dir::~scratch_dir() {
    std::error_code ec;
    fs::remove_all(path, ec);
}

hall_server::hall_server(const fs::path &dir, std::vector<std::string> options, long file_limit) {
    std::vector<std::string> args = {ORBRIDDEN_HALL, "--listen", "127.0.0.1:0",   "--data",
                                     dir.string(),   "--game",   ORBRIDDEN_BINARY};
    args.insert(args.end(), options.begin(), options.end());
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("no pipe");
    pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]), ::close(out[1]);
        if (file_limit > 0) {
            const rlimit r{static_cast<rlim_t>(file_limit), static_cast<rlim_t>(file_limit)};
            ::setrlimit(RLIMIT_FSIZE, &r);
        }
        std::vector<char *> argv;
        for (std::string &a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // Its first line is the address it listens on: "orbridden-hall: http://127.0.0.1:PORT/".
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    char c = 0;
    while (line.find('\n') == line.npos && ::poll(&p, 1, 60'000) > 0 && ::read(out[0], &c, 1) == 1)
        line += c;
    ::close(out[0]);
    const auto colon = line.rfind(':');
    if (colon == line.npos ||
        (port = static_cast<unsigned short>(std::atoi(&line[colon + 1]))) == 0) {
        stop(SIGKILL);
        throw std::runtime_error("the hall did not start: " + line);
    }
}

hall_server::~hall_server() {
    stop();
}

void hall_server::stop(int signal) {
    if (pid <= 0) return;
    ::kill(pid, signal);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

std::vector<std::string> testoptions(std::vector<std::string> more) {
    std::vector<std::string> options = {"--cpu-seconds", "60", "--rate", "1000"};
    if (HALL_SANITIZED) options.insert(options.end(), {"--memory-mb", "0"});
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

namespace {

// Connects `socket` from the loopback address `from` to the hall at `port`.
void connectfrom(tcp::socket &socket, const std::string &from, unsigned short port) {
    socket.open(tcp::v4());
    socket.bind({asio::ip::make_address(from), 0});
    socket.connect({asio::ip::make_address("127.0.0.1"), port});
}

} // namespace

reply fetch(unsigned short port, const std::string &method, const std::string &target,
            const std::string &body, std::map<std::string, std::string> headers,
            const std::string &from) {
    reply r;
    try {
        asio::io_context io;
        tcp::socket socket(io);
        connectfrom(socket, from, port);
        socket.set_option(tcp::no_delay(true));
        // Every read and write bounded: a test fails, it does not hang.
        const timeval bound{60, 0};
        ::setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
        ::setsockopt(socket.native_handle(), SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
        http::request<http::string_body> req{http::string_to_verb(method), target, 11};
        req.set(http::field::host, "127.0.0.1");
        for (const auto &[name, value] : headers) req.set(name, value);
        req.body() = body;
        if (method != "GET" && method != "HEAD") req.prepare_payload();
        http::write(socket, req);
        beast::flat_buffer buffer;
        http::response_parser<http::string_body> parser;
        parser.body_limit(64 << 20);
        parser.skip(method == "HEAD");
        http::read(socket, buffer, parser);
        const auto &res = parser.get();
        r.status = res.result_int();
        for (const auto &field : res) {
            std::string name(field.name_string());
            for (char &ch : name)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            r.headers[name] = std::string(field.value());
        }
        r.body = res.body();
    } catch (const std::exception &) {
        r.status = 0;
    }
    return r;
}

reply submit(unsigned short port, const std::string &recording, const std::string &from) {
    return fetch(port, "POST", "/api/runs", recording, {{"Content-Type", "text/plain"}}, from);
}

struct live_socket::state {
    asio::io_context io;
    beast::websocket::stream<tcp::socket> ws{io};
};

live_socket::live_socket(unsigned short port, const std::string &target, const std::string &from)
    : s(std::make_unique<state>()) {
    tcp::socket &socket = s->ws.next_layer();
    connectfrom(socket, from, port);
    socket.set_option(tcp::no_delay(true));
    const timeval bound{60, 0};
    ::setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
    ::setsockopt(socket.native_handle(), SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    s->ws.handshake("127.0.0.1", target);
    s->ws.text(true);
}

live_socket::~live_socket() {
    beast::error_code ignored;
    s->ws.next_layer().close(ignored);
}

void live_socket::send(const std::string &text) {
    beast::error_code ignored; // a refusal closes the connection: the next receive says so
    s->ws.write(asio::buffer(text), ignored);
}

std::string live_socket::receive() {
    beast::flat_buffer buffer;
    beast::error_code ec;
    s->ws.read(buffer, ec);
    return ec ? "" : beast::buffers_to_string(buffer.data());
}

void live_socket::cut() {
    beast::error_code ignored;
    s->ws.next_layer().shutdown(tcp::socket::shutdown_both, ignored);
    s->ws.next_layer().close(ignored);
}

namespace {

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> lines(const std::string &text, char end = '\n') {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, end);) out.push_back(line);
    return out;
}

std::string joined(const std::vector<std::string> &lines) {
    std::string out;
    for (const std::string &line : lines) out += line + '\n';
    return out;
}

// Hero k's three-letter name: Aab, Aac, ..., one of its own for each k from 1 to 17575.
std::string heroname(int k) {
    return {static_cast<char>('A' + k / 676 % 26), static_cast<char>('a' + k / 26 % 26),
            static_cast<char>('a' + k % 26)};
}

// hall_recordrun's recording of the playthrough by hero `name`.
std::string recordrun(const std::string &name) {
    static const scratch_dir made;
    const fs::path out = made.path / (name + ".rec");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(HALL_RECORDRUN, HALL_RECORDRUN, out.c_str(), name.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("hall_recordrun made no run for " + name);
    return slurp(out.string());
}

} // namespace

std::string playthroughrun(int variant) {
    static const std::string run = slurp(HALL_RUN);
    if (run.empty()) throw std::runtime_error("no run at " HALL_RUN);
    if (variant == 0) return run;
    static std::mutex making;
    static std::map<int, std::string> made;
    std::lock_guard lock(making);
    auto [it, fresh] = made.try_emplace(variant);
    if (fresh) it->second = recordrun(heroname(variant));
    return it->second;
}

std::string startedearlier(const std::string &text, int ms) {
    // The start line less, the first key's time and the readings before it more, by as much;
    // every reading falls on the same millisecond as before.
    std::vector<std::string> l = lines(text);
    for (std::string &line : l) {
        auto shift = [&](std::size_t at, long long by) {
            line = line.substr(0, at) + std::to_string(std::stoll(line.substr(at)) + by) +
                   line.substr(line.find(' ', at) == line.npos ? line.size() : line.find(' ', at));
        };
        if (line.rfind("start ", 0) == 0) {
            shift(6, -ms);
        } else if (line.rfind("c ", 0) == 0) {
            shift(2, ms);
        } else if (!line.empty() && line[0] >= '0' && line[0] <= '9') {
            shift(0, ms);
            break;
        }
    }
    return joined(l);
}

std::string withline(const std::string &text, int n, const char *line) {
    std::vector<std::string> l = lines(text);
    if (line)
        l.at(static_cast<std::size_t>(n - 1)) = line;
    else
        l.erase(l.begin() + (n - 1));
    return joined(l);
}

bool eventually(const std::function<bool()> &done) {
    const auto giveup = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveup) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<pid_t> verifiersof(const fs::path &game) {
    std::vector<pid_t> found;
    std::error_code ec;
    for (const fs::directory_entry &e : fs::directory_iterator("/proc", ec)) {
        const std::string name = e.path().filename().string();
        if (name.find_first_not_of("0123456789") != name.npos) continue;
        const std::vector<std::string> args = lines(slurp(e.path() / "cmdline"), '\0');
        for (std::size_t i = 0; i + 1 < args.size(); ++i)
            if (args[i] == game.string() && args[i + 1] == "--verify")
                found.push_back(std::stoi(name));
    }
    return found;
}

fs::path standin(const fs::path &dir, const std::string &name, const std::string &body) {
    const fs::path script = dir / (name + ".sh");
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    // Readable and executable by all: where the hall is root, its verifiers run as nobody.
    fs::permissions(script, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    return script;
}

fs::path standinprogram(const fs::path &dir, const std::string &name) {
    const fs::path link = dir / name;
    fs::create_symlink(HALL_STANDIN, link);
    return link;
}

std::vector<pid_t> held_verifier::holding() const {
    std::vector<pid_t> ready;
    for (const pid_t pid : verifiersof(game)) {
        // SigCgt: the signals it has handlers for, in hex, SIGUSR1 its tenth bit.
        const std::string status = slurp("/proc/" + std::to_string(pid) + "/status");
        const std::size_t at = status.find("SigCgt:");
        if (at != status.npos &&
            std::stoull(status.substr(at + 7, status.find('\n', at) - at - 7), nullptr, 16) &
                (1ull << (SIGUSR1 - 1)))
            ready.push_back(pid);
    }
    return ready;
}

void held_verifier::release() const {
    for (const pid_t pid : holding()) ::kill(pid, SIGUSR1);
}
