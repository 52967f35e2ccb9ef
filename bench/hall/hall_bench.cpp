// The hall's benchmarks, each against its floor in the same run: runs verified a second through
// the hall against `orbridden --verify` of the same files in a loop on the same cores (floor:
// at least 0.8 times), and GET /api/runs latency at 200 reads a second while submissions run
// (floor: p99 under 20 ms). Exits 1 when a floor is missed.
#include "client.hpp"
#include "hall/verify.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
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

// `orbridden --verify` of each file, `cores` processes at a time, at the niceness the hall gives
// its replays; the seconds it took.
double verifyloop(const std::vector<fs::path> &files) {
    const auto start = clock_type::now();
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> workers;
    for (unsigned c = 0; c < cores(); ++c)
        workers.emplace_back([&] {
            for (std::size_t i; (i = next++) < files.size();) {
                const pid_t pid = ::fork();
                if (pid == 0) {
                    ::setpriority(PRIO_PROCESS, 0, verifier_nice);
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
    return seconds(start);
}

// The runs `first` to `last` of `runs` submitted to the hall, two clients a core; the seconds
// it took.
double throughhall(unsigned short port, const std::vector<std::string> &runs, int first, int last) {
    const auto start = clock_type::now();
    std::atomic<int> next = first;
    std::vector<std::thread> clients;
    for (unsigned c = 0; c < 2 * cores(); ++c)
        clients.emplace_back([&] {
            for (int k; (k = next++) <= last;)
                if (submit(port, runs[static_cast<std::size_t>(k)]).status != 201) std::abort();
        });
    for (std::thread &t : clients) t.join();
    return seconds(start);
}

} // namespace

int main() {
    // In rounds, each the same runs through --verify and then through the hall, so that both
    // meet the same load from whatever else the machine runs.
    // Each run a game of its own (one the hall lists already would be answered without a replay),
    // all made beforehand: those the rounds verify, then those sent while reads are timed.
    constexpr int rounds = 4, perround = 15, runs = rounds * perround, loadruns = 200;
    const scratch_dir files;
    std::vector<fs::path> paths;
    std::vector<std::string> texts = {""}; // run k is texts[k]
    for (int k = 1; k <= runs + loadruns; ++k) texts.push_back(playthroughrun(k));
    for (int k = 1; k <= runs; ++k) {
        paths.push_back(files.path / (std::to_string(k) + ".rec"));
        std::ofstream(paths.back(), std::ios::binary) << texts[static_cast<std::size_t>(k)];
    }
    verifyloop({paths.begin(), paths.begin() + 2}); // warm: the binary in the page cache
    double floortime = 0, halltime = 0;
    {
        const scratch_dir data;
        hall_server hall(data.path, testoptions({"--queue", "64"}));
        for (int r = 0; r < rounds; ++r) {
            floortime +=
                verifyloop({paths.begin() + r * perround, paths.begin() + (r + 1) * perround});
            halltime += throughhall(hall.port, texts, r * perround + 1, (r + 1) * perround);
        }
    }
    const double floor = runs / floortime, hall = runs / halltime, ratio = hall / floor;
    std::printf("runs verified a second on %u cores: through the hall %.1f, --verify in a loop "
                "%.1f: %.2f times (floor 0.8)\n",
                cores(), hall, floor, ratio);

    // Reads at 200 a second for five seconds: alone, to show what the machine allows, then while
    // one client a core submits runs.
    const scratch_dir data;
    hall_server server(data.path, testoptions({"--queue", "64"}));
    auto reads = [&] {
        std::vector<double> latency;
        const auto start = clock_type::now();
        for (int i = 0; i < 1000; ++i) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(5 * i));
            const auto sent = clock_type::now();
            if (fetch(server.port, "GET", "/api/runs?sort=points&limit=20").status != 200)
                std::abort();
            latency.push_back(seconds(sent) * 1000);
        }
        std::sort(latency.begin(), latency.end());
        return std::pair(latency[latency.size() / 2], latency[latency.size() * 99 / 100]);
    };
    const auto [alone50, alone99] = reads();
    std::atomic<bool> reading = true;
    std::atomic<int> next = runs + 1;
    std::vector<std::thread> submitters;
    for (unsigned c = 0; c < cores(); ++c)
        submitters.emplace_back([&] {
            for (int k; reading && (k = next++) <= runs + loadruns;)
                submit(server.port, texts[static_cast<std::size_t>(k)]);
        });
    const auto [p50, p99] = reads();
    reading = false;
    for (std::thread &t : submitters) t.join();
    std::printf("GET /api/runs at 200 a second, alone: p50 %.2f ms, p99 %.2f ms; while %d runs "
                "were submitted: p50 %.2f ms, p99 %.2f ms (floor: p99 under 20 ms)\n",
                alone50, alone99, std::min(next.load() - 1, runs + loadruns) - runs, p50, p99);
    const bool ok = ratio >= 0.8 && p99 < 20;
    std::printf("%s\n", ok ? "floors met" : "A FLOOR IS MISSED");
    return ok ? 0 : 1;
}
