// Shared test helpers: scripted console runs and controllable clocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits a transcript into its lines (the text after the last line end is the last entry).
std::vector<std::string> splitlines(std::string_view text);

// Points the random sources at a clock that always reads `ms`, for the life of the object.
struct fixed_clock {
    explicit fixed_clock(std::int64_t ms);
    ~fixed_clock();
};
// Points the random sources at a clock that advances by one millisecond at every reading.
struct stepping_clock {
    explicit stepping_clock(std::int64_t start = 0);
    ~stepping_clock();
};
