// A long session: 20,000 keys of a player wandering the quest from the forest, played through
// the scripted console, against writing the session's transcript to /dev/null.
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "world/movements.hpp"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::int64_t session_clock = 0;
std::int64_t stepping() {
    return session_clock++;
}

std::string wanderingkeys() {
    std::mt19937 gen(7);
    const std::string keys = "8888222244446666111\n";
    std::string out;
    for (int i = 0; i < 20'000; ++i) out += keys[gen() % keys.size()];
    return out;
}

// Plays the keys from the forest west of the town; returns the transcript.
std::string session(const std::string &keys) {
    session_clock = 0;
    game_clock = stepping;
    stats_rec stats;
    setup({.power = 40, .armor = 35, .magic = 25, .name = padded<3>("Oru")}, stats);
    usescript(keys);
    screen_result at{.where = 2, .oldwhere = 1};
    try {
        while (at.where >= 1 && at.where <= screen_count)
            at = screens[at.where](at.oldwhere, stats);
    } catch (const input_closed &) {
    }
    game_clock = realclock;
    return transcript();
}

void Session(benchmark::State &state) {
    const std::string keys = wanderingkeys();
    std::size_t bytes = 0;
    for (auto _ : state) bytes = session(keys).size();
    state.counters["transcript_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(Session)->Unit(benchmark::kMillisecond);

// The floor: the same transcript written to /dev/null.
void WriteTranscript(benchmark::State &state) {
    const std::string shown = session(wanderingkeys());
    int null = open("/dev/null", O_WRONLY);
    for (auto _ : state) {
        for (std::size_t at = 0; at < shown.size(); at += 1 << 16) {
            std::size_t n = std::min<std::size_t>(1 << 16, shown.size() - at);
            benchmark::DoNotOptimize(write(null, shown.data() + at, n));
        }
    }
    close(null);
}
BENCHMARK(WriteTranscript)->Unit(benchmark::kMillisecond);

} // namespace
