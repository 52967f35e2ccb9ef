// The golden playthrough (the whole quest, 4,925 keys, with the stepping clock the golden
// sessions use) through the scripted console: the plain transcript (0) and the in-place console
// in memory (1). `make bench-web` sets the page's time for the same keys against these.
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::int64_t playthrough_clock = 0;
std::int64_t stepping() {
    return playthrough_clock++;
}

void Playthrough(benchmark::State &state) {
    std::ifstream in(ORBRIDDEN_GOLDEN_DIR "/playthrough.keys", std::ios::binary);
    std::stringstream keys;
    keys << in.rdbuf();
    // The game appends its score record to score.txt: in a directory of its own.
    const std::filesystem::path home = std::filesystem::current_path();
    char dir[] = "/tmp/orbridden-bench-XXXXXX";
    std::filesystem::current_path(mkdtemp(dir));
    bool ended = true;
    for (auto _ : state) {
        playthrough_clock = 5000;
        game_clock = stepping;
        if (state.range(0) == 1)
            usescriptscreen(keys.str());
        else
            usescript(keys.str());
        try {
            playgame(intro, screens);
        } catch (const input_closed &) {
            ended = false;
        }
        benchmark::DoNotOptimize(transcript());
    }
    game_clock = realclock;
    std::filesystem::current_path(home);
    std::filesystem::remove_all(dir);
    if (!ended) state.SkipWithError("the playthrough did not reach the end of the game");
    state.counters["keys"] = static_cast<double>(keys.str().size());
}
BENCHMARK(Playthrough)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
