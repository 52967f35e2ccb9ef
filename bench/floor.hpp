// The floor the output benchmarks compare against: copying the same bytes with memcpy.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

inline void memcpyfloor(benchmark::State &state, const std::string &bytes) {
    std::string target(bytes.size(), '\0');
    for (auto _ : state) {
        std::memcpy(target.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
