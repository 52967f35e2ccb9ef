// Helpers for the casino's page tests: running a routine on scripted keys and writing the
// expected lines of a page.
#pragma once

#include "core/console.hpp"
#include "support.hpp"

#include <initializer_list>
#include <string>
#include <vector>

using lines = std::vector<std::string>;

// Runs `routine` on the keys `keys` and returns the lines it printed (the empty rest after the
// last line end is left out). A routine still waiting for a key when the keys run out is
// stopped there.
template <class Routine>
lines run(std::string_view keys, Routine routine) {
    usescript(keys);
    try {
        routine();
    } catch (const input_closed &) {
    }
    lines out = splitlines(transcript());
    if (out.back().empty()) out.pop_back();
    return out;
}

// n empty lines.
inline lines empty(int n) {
    return lines(static_cast<std::size_t>(n), "");
}

// The pieces of a page, one after another.
inline lines cat(std::initializer_list<lines> pieces) {
    lines out;
    for (const lines &piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

// The number of screen columns a UTF-8 line takes (every glyph is one column wide).
inline std::size_t columns(const std::string &line) {
    std::size_t n = 0;
    for (unsigned char c : line) n += (c & 0xC0) != 0x80;
    return n;
}
