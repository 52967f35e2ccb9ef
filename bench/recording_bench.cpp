// Recordings: what recording costs a key while the playthrough is played on the in-place
// console, against the same session unrecorded; --verify of the playthrough against the
// scripted run of the same keys; and the recording's size a key. Each cost and its floor are
// measured in turn in the same iterations, as the CPU time of the thread that plays.
#include "cli/options.hpp"
#include "cli/recordings.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "core/score.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include "inplace.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

constexpr std::int64_t playthrough_start = 5000; // the golden session's first clock reading

std::string playthroughkeys() {
    std::ifstream in(ORBRIDDEN_GOLDEN_DIR "/playthrough.keys", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    if (s.str().empty()) std::abort();
    return s.str();
}

std::int64_t clock_ms = 0;
std::int64_t steppingclock() {
    return clock_ms++;
}
// A key's time: the stepping clock as it stands, as if each key came the moment the game read
// it.
std::int64_t keyatclock() {
    return clock_ms - playthrough_start;
}

// For its life: the playthrough's stepping clock from its start, and an end of the game that
// hands its score to nobody (the benchmarks write no score file). Set before a recorder or a
// replay, which take both on their way.
struct playthrough_setting {
    score_keeper keeper = keepscore;
    playthrough_setting() {
        clock_ms = playthrough_start;
        game_clock = steppingclock;
        keepscore = [](const stats_rec &) {};
    }
    ~playthrough_setting() {
        game_clock = realclock;
        keepscore = keeper;
    }
};

// The whole playthrough from the opening, through the console's back end as it is set.
void playthrough() {
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
    }
}

// The keys through a pipe on standard input.
void keysonstdin(const std::string &keys) {
    int in[2];
    if (pipe(in) != 0 || fcntl(in[1], F_SETPIPE_SZ, 1 << 20) < 0 ||
        write(in[1], keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
        std::abort();
    close(in[1]);
    dup2(in[0], STDIN_FILENO);
    close(in[0]);
}

// The CPU time this thread takes for `run`, system time included, in milliseconds.
template <class Run>
double cpums(Run run) {
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    const double start = now();
    run();
    return now() - start;
}

// Each iteration plays `measured` and its `floor` in turn, so that both meet the same load;
// the counters give the CPU time of each a key and their ratio.
template <class Measured, class Floor>
void paired(benchmark::State &state, std::size_t keys, Measured measured, Floor floor) {
    double measured_ms = 0, floor_ms = 0;
    for (auto _ : state) {
        floor_ms += cpums(floor);
        measured_ms += cpums(measured);
    }
    const double n = static_cast<double>(state.iterations() * keys);
    state.counters["us_per_key"] = measured_ms * 1e3 / n;
    state.counters["floor_us_per_key"] = floor_ms * 1e3 / n;
    state.counters["ratio"] = measured_ms / floor_ms;
}

// The playthrough on the in-place console of an 80x24 terminal, its keys through a pipe,
// recorded to a file, against the same session unrecorded.
void RecordingCost(benchmark::State &state) {
    const std::string keys = playthroughkeys();
    const std::string file = "/tmp/orbridden-bench-" + std::to_string(getpid()) + ".rec";
    inplace_terminal term;
    auto play = [&](bool recorded) {
        keysonstdin(keys);
        usescreen(); // the console anew
        const int fd = recorded ? open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
        const playthrough_setting setting;
        if (recorded)
            startrecording(fd, {.game = std::string(game_release), .start = playthrough_start},
                           keyatclock);
        playthrough();
        if (recorded && stoprecording() != 0) std::abort();
        flush();
        if (fd >= 0) close(fd);
        term.sync();
    };
    paired(
        state, keys.size(), [&] { play(true); }, [&] { play(false); });
    unlink(file.c_str());
}
BENCHMARK(RecordingCost)->Unit(benchmark::kMillisecond)->MinTime(3);

// The playthrough recorded through the scripted console: the recording's text.
std::string recordedtext(const std::string &keys) {
    const playthrough_setting setting;
    const std::string file = "/tmp/orbridden-bench-" + std::to_string(getpid()) + ".rec";
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    usescript(keys);
    startrecording(fd, {.game = std::string(game_release), .start = playthrough_start}, keyatclock);
    playthrough();
    if (stoprecording() != 0) std::abort();
    close(fd);
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    unlink(file.c_str());
    return s.str();
}

// --verify of the playthrough (reading the file, replaying without a screen, comparing the
// score record) against the scripted run of the same keys.
void VerifyCost(benchmark::State &state) {
    const std::string keys = playthroughkeys();
    const std::string file = "/tmp/orbridden-bench-" + std::to_string(getpid()) + ".verify";
    std::ofstream(file, std::ios::binary) << recordedtext(keys);
    const options opts{.what = command::verify, .recording = file};
    auto verify = [&] {
        std::ostringstream out, err;
        if (replaycommand(opts, {intro, screens}, out, err) != 0) {
            std::fputs(err.str().c_str(), stderr);
            std::abort();
        }
    };
    auto scripted = [&] {
        const playthrough_setting setting;
        usescript(keys);
        playthrough();
        benchmark::DoNotOptimize(transcript().size());
    };
    paired(state, keys.size(), verify, scripted);
    unlink(file.c_str());
}
BENCHMARK(VerifyCost)->Unit(benchmark::kMillisecond);

// Continuing the playthrough's journal, left before its last key: read from its file, replayed
// without drawing on the in-place console of an 80x24 terminal up to its last key, where the
// player takes over and the screen is drawn once; against --verify of the same file.
void ContinueCost(benchmark::State &state) {
    const std::string keys = playthroughkeys();
    std::string text = recordedtext(keys);
    recording whole;
    std::string problem;
    if (!readrecording(text, whole, problem)) std::abort();
    std::uint32_t lastkey = 0;
    for (const recording_item &i : whole.items)
        if (i.kind == item_type::key) lastkey = i.line;
    std::size_t cut = 0;
    for (std::uint32_t line = 1; line < lastkey; ++line) cut = text.find('\n', cut) + 1;
    text.resize(cut);
    const std::string file = "/tmp/orbridden-bench-" + std::to_string(getpid()) + ".journal";
    std::ofstream(file, std::ios::binary) << text;
    inplace_terminal term;
    std::uint64_t continued = 0;
    auto resume = [&] {
        const playthrough_setting setting;
        recording rec;
        if (!readrecordingfile(file, rec).empty()) std::abort();
        keysonstdin(""); // the player: no key yet
        usescreen();
        quietconsole();
        startreplay(rec, nullptr, 0, [] { showconsole(); });
        playthrough();
        stopreplay();
        continued = replaystate().keys;
        flush();
        term.sync();
    };
    const options opts{.what = command::verify, .recording = file};
    auto verify = [&] {
        std::ostringstream out, err;
        replaycommand(opts, {intro, screens}, out, err); // 1: it ends before the game does
    };
    double measured_ms = 0, floor_ms = 0;
    for (auto _ : state) {
        floor_ms += cpums(verify);
        measured_ms += cpums(resume);
    }
    if (continued + 1 != keys.size()) std::abort();
    const double n = static_cast<double>(state.iterations());
    state.counters["keys"] = static_cast<double>(continued);
    state.counters["continue_ms"] = measured_ms / n;
    state.counters["verify_ms"] = floor_ms / n;
    state.counters["ratio"] = measured_ms / floor_ms;
    unlink(file.c_str());
}
BENCHMARK(ContinueCost)->Unit(benchmark::kMillisecond)->MinTime(2);
// Seeking: the replay on the in-place console of an 80x24 terminal goes to the playthrough's
// last key (replaying every key before it without drawing, then drawing the console there)
// against the scripted run of the same keys in the console in memory, which draws nothing.
std::uint64_t seek_target = 0;
replay_stop stopatseek(std::uint64_t key, std::int64_t) {
    if (key != seek_target) std::abort();
    return replay_stop::quit;
}
void SeekCost(benchmark::State &state) {
    const std::string keys = playthroughkeys();
    recording rec;
    std::string problem;
    if (!readrecording(recordedtext(keys), rec, problem)) std::abort();
    seek_target = keycount(rec);
    inplace_terminal term;
    auto seek = [&] {
        usescreen(); // the console anew
        playreplay(rec, stopatseek, seek_target, playthrough);
        if (replaystate().keys + 1 != seek_target) std::abort();
        term.sync();
    };
    auto scripted = [&] {
        const playthrough_setting setting;
        usescriptscreen(keys);
        playthrough();
    };
    paired(state, keys.size(), seek, scripted);
    state.counters["seek_ms"] =
        benchmark::Counter(state.counters["us_per_key"] * static_cast<double>(keys.size()) / 1e3);
}
BENCHMARK(SeekCost)->Unit(benchmark::kMillisecond);

// The playthrough's recording, bytes a key: as recorded above (each key in the millisecond the
// game reads it, the clock readings just after), and with a player's pace of a key every
// 250 ms instead (every key's time three digits long).
void RecordingSize(benchmark::State &state) {
    const std::string keys = playthroughkeys();
    std::string text;
    for (auto _ : state) text = recordedtext(keys);
    std::size_t paced = 0, keylines = 0, clocklines = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const bool key = !line.empty() && line[0] >= '0' && line[0] <= '9';
        keylines += key;
        clocklines += line.rfind("c ", 0) == 0;
        paced += key ? line.size() + 1 - line.find(' ') + 3 : line.size() + 1;
    }
    const double n = static_cast<double>(keys.size());
    state.counters["keys"] = n;
    state.counters["clock_readings"] = static_cast<double>(clocklines);
    state.counters["bytes_per_key"] = static_cast<double>(text.size()) / n;
    state.counters["bytes_per_key_250ms"] = static_cast<double>(paced) / n;
    if (keylines != keys.size()) std::abort();
}
BENCHMARK(RecordingSize)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
