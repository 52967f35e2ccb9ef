// A long session: 20,000 keys of a player walking the world from the forest west of the town,
// in runs of steps, fighting what comes (1 attacks, Enter passes the announcements and the
// rewards) and leaving every menu and shop with 0. Played through the in-place console on a
// terminal, against copying the session's transcript with memcpy.
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "screens/screens.hpp"

#include "floor.hpp"
#include "inplace.hpp"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <unistd.h>

namespace {

std::int64_t session_clock = 0;
std::int64_t stepping() {
    return session_clock++;
}

std::string walkingkeys() {
    std::mt19937 gen(7);
    const char ways[] = "8246";
    std::string out;
    while (out.size() < 20'000) {
        out.append(4 + gen() % 24, ways[gen() % 4]);
        out += "1111\n0";
    }
    out.resize(20'000);
    return out;
}

// Plays the console's keys from the forest west of the town.
void session() {
    session_clock = 0;
    game_clock = stepping;
    stats_rec stats;
    setup({.power = 40, .armor = 35, .magic = 25, .name = padded<3>("Oru")}, stats);
    screen_result at{.where = screen::forest_west, .oldwhere = screen::home};
    try {
        while (at.where >= 1 && at.where <= screen_count)
            at = screens[at.where](at.oldwhere, stats);
    } catch (const input_closed &) {
    }
    game_clock = realclock;
}

std::string scriptedsession() {
    usescript(walkingkeys());
    session();
    return transcript();
}

std::size_t count(const std::string &s, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = s.find(what, at)) != std::string::npos; at += what.size()) ++n;
    return n;
}

// The keys come through a pipe on standard input; the screen is a terminal of 80x24.
void Session(benchmark::State &state) {
    const std::string keys = walkingkeys();
    inplace_terminal term;
    const std::uint64_t bytes0 = term.sync();
    for (auto _ : state) {
        state.PauseTiming();
        int in[2];
        if (pipe(in) != 0 || write(in[1], keys.data(), keys.size()) < 0) std::abort();
        close(in[1]);
        dup2(in[0], STDIN_FILENO);
        close(in[0]);
        usescreen(); // the console anew
        state.ResumeTiming();
        session();
        flush();
    }
    state.counters["screen_MB"] = benchmark::Counter(
        static_cast<double>(term.sync() - bytes0) / 1e6, benchmark::Counter::kAvgIterations);
    // What the session went through, read from the plain transcript of the same keys.
    const std::string shown = scriptedsession();
    state.counters["map_frames"] = static_cast<double>(count(shown, "Points "));
    state.counters["fights"] = static_cast<double>(count(shown, "1) Attack"));
    state.counters["transcript_MB"] = static_cast<double>(shown.size()) / 1e6;
}
BENCHMARK(Session)->Unit(benchmark::kMillisecond);

// The floor: the same session's transcript copied with memcpy.
void MemcpyTranscript(benchmark::State &state) {
    memcpyfloor(state, scriptedsession());
}
BENCHMARK(MemcpyTranscript)->Unit(benchmark::kMillisecond);

} // namespace
