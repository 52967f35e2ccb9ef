// What one map frame costs: `outmap` of the forest (nearly every cell a ♣, three UTF-8 bytes
// each) written through the console to /dev/null, against a plain memcpy of the same bytes;
// with the heap allocations and write calls per frame as counters.
#include "allocations.hpp"
#include "core/console.hpp"

#include "floor.hpp"
#include "forest.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// The bytes of one frame as the terminal receives them.
std::string framebytes(const world_matrix &m, const stats_rec &s) {
    usescript("");
    outmap(m, s);
    return transcript();
}

// Sends the console's output to /dev/null for as long as it lives.
struct quiet_output {
    int saved = dup(STDOUT_FILENO);
    quiet_output() {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
        useterminal();
    }
    ~quiet_output() {
        dup2(saved, STDOUT_FILENO);
        close(saved);
        usescript("");
    }
};

void BM_OutmapFrame(benchmark::State &state) {
    const world_matrix m = forestwithmark();
    const stats_rec s = benchhero();
    const std::size_t bytes = framebytes(m, s).size();
    quiet_output quiet;
    outmap(m, s); // warm up: the console's buffer has its size
    flush();
    std::uint64_t allocs0 = allocationcount(), writes0 = writecount();
    for (auto _ : state) {
        outmap(m, s);
        flush();
    }
    auto frames = static_cast<double>(state.iterations());
    state.counters["allocs_per_frame"] = static_cast<double>(allocationcount() - allocs0) / frames;
    state.counters["writes_per_frame"] = static_cast<double>(writecount() - writes0) / frames;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_OutmapFrame);

void BM_MemcpyFrameBytes(benchmark::State &state) {
    memcpyfloor(state, framebytes(forestwithmark(), benchhero()));
}
BENCHMARK(BM_MemcpyFrameBytes);

} // namespace
