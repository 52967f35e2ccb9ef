// The console's output path: a page of glyphs mapped to UTF-8 and written, against memcpy.
#include "allocations.hpp"
#include "core/console.hpp"

#include "floor.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// 24 lines of 78 codes, a third of them glyphs outside ASCII, as a map frame has.
std::string page() {
    const unsigned char mix[] = {5, ' ', 176, ' ', 'X', 157, 209, 207, ' ', 247, 186, 'a'};
    std::string p;
    for (int row = 0; row < 24; ++row) {
        for (int col = 0; col < 78; ++col)
            p += static_cast<char>(mix[(row * 7 + col) % sizeof mix]);
        p += '\n';
    }
    return p;
}

// Points standard output at /dev/null for the life of the object.
struct quiet_stdout {
    int saved = dup(STDOUT_FILENO);
    quiet_stdout() {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~quiet_stdout() {
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
};

void ConsolePage(benchmark::State &state) {
    const std::string codes = page();
    useterminal();
    quiet_stdout quiet;
    put(codes); // the first page sizes the buffer
    flush();
    const std::uint64_t allocs0 = allocationcount(), writes0 = writecount();
    for (auto _ : state) {
        put(codes);
        flush();
    }
    state.counters["allocs_per_page"] = benchmark::Counter(
        static_cast<double>(allocationcount() - allocs0), benchmark::Counter::kAvgIterations);
    state.counters["writes_per_page"] = benchmark::Counter(
        static_cast<double>(writecount() - writes0), benchmark::Counter::kAvgIterations);
}
BENCHMARK(ConsolePage);

// The floor: copying the page's UTF-8 bytes.
void MemcpyPage(benchmark::State &state) {
    usescript("");
    put(page());
    memcpyfloor(state, transcript());
}
BENCHMARK(MemcpyPage);

} // namespace
