// Counts every heap allocation of the benchmark program (one replacement of operator new for
// all benchmarks), so that a benchmark can report its allocations per iteration.
#pragma once

#include <cstdint>

// The number of allocations made so far.
std::uint64_t allocationcount();
