// The hall's benchmarks, each against its floor in the same run: runs verified a second through
// the hall against `orbridden --verify` of the same files in a loop on the same cores (floor:
// at least 0.8 times), and GET /api/runs latency at 200 reads a second while submissions run
// (floor: p99 under 20 ms). Exits 1 when a floor is missed.
#include "../../tests/hall/client.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using clock_type = std::chrono::steady_clock;

double seconds(clock_type::time_point since) {
    return std::chrono::duration<double>(clock_type::now() - since).count();
}

unsigned cores() {
    return std::max(1u, std::thread::hardware_concurrency());
}

// `orbridden --verify` of each file, `cores` processes at a time; runs a second.
double verifyloop(const std::vector<fs::path> &files) {
    const auto start = clock_type::now();
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> workers;
    for (unsigned c = 0; c < cores(); ++c)
        workers.emplace_back([&] {
            for (std::size_t i; (i = next++) < files.size();) {
                const pid_t pid = ::fork();
                if (pid == 0) {
                    std::freopen("/dev/null", "w", stdout);
                    ::execl(ORBRIDDEN_BINARY, ORBRIDDEN_BINARY, "--verify", files[i].c_str(),
                            nullptr);
                    ::_exit(127);
                }
                int status = 0;
                ::waitpid(pid, &status, 0);
                if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
            }
        });
    for (std::thread &t : workers) t.join();
    return static_cast<double>(files.size()) / seconds(start);
}

// The same runs submitted to a fresh hall, two clients a core; runs a second.
double throughhall(int first, int count) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--queue", "64"}));
    const auto start = clock_type::now();
    std::atomic<int> next = first;
    std::vector<std::thread> clients;
    for (unsigned c = 0; c < 2 * cores(); ++c)
        clients.emplace_back([&] {
            for (int k; (k = next++) < first + count;)
                if (submit(hall.port, playthroughrun(k)).status != 201) std::abort();
        });
    for (std::thread &t : clients) t.join();
    return count / seconds(start);
}

} // namespace

int main() {
    constexpr int runs = 60;
    const scratch_dir files;
    std::vector<fs::path> paths;
    for (int k = 1; k <= runs; ++k) {
        paths.push_back(files.path / (std::to_string(k) + ".rec"));
        std::ofstream(paths.back(), std::ios::binary) << playthroughrun(k);
    }
    verifyloop({paths.begin(), paths.begin() + 4}); // warm: the binary in the page cache
    const double floor = verifyloop(paths);
    const double hall = throughhall(1, runs);
    const double ratio = hall / floor;
    std::printf("runs verified a second on %u cores: through the hall %.1f, --verify in a loop "
                "%.1f: %.2f times (floor 0.8)\n",
                cores(), hall, floor, ratio);

    // Reads at 200 a second for five seconds while one client a core submits runs.
    const scratch_dir data;
    hall_server server(data.path, testoptions({"--queue", "64"}));
    std::atomic<bool> reading = true;
    std::vector<std::thread> submitters;
    std::atomic<int> next = runs + 1;
    for (unsigned c = 0; c < cores(); ++c)
        submitters.emplace_back([&] {
            while (reading) submit(server.port, playthroughrun(next++));
        });
    std::vector<double> latency;
    const auto start = clock_type::now();
    for (int i = 0; i < 1000; ++i) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(5 * i));
        const auto sent = clock_type::now();
        if (fetch(server.port, "GET", "/api/runs?sort=points&limit=20").status != 200) std::abort();
        latency.push_back(seconds(sent) * 1000);
    }
    reading = false;
    for (std::thread &t : submitters) t.join();
    std::sort(latency.begin(), latency.end());
    const double p50 = latency[latency.size() / 2], p99 = latency[latency.size() * 99 / 100];
    std::printf("GET /api/runs at 200 a second while %d runs were submitted: p50 %.2f ms, p99 "
                "%.2f ms (floor: p99 under 20 ms)\n",
                next.load() - runs - 1, p50, p99);
    const bool ok = ratio >= 0.8 && p99 < 20;
    std::printf("%s\n", ok ? "floors met" : "A FLOOR IS MISSED");
    return ok ? 0 : 1;
}
