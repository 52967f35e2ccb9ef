// Shared test helpers: scripted console runs and controllable clocks.
#pragma once

#include "core/console.hpp"
#include "core/definitions.hpp"

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using lines = std::vector<std::string>;

// Splits a transcript into its lines (the text after the last line end is the last entry).
lines splitlines(std::string_view text);

// A whole file's bytes (empty when it cannot be read), and a file made of `text`.
std::string slurp(const std::string &path);
void store(const std::string &path, const std::string &text);

// Runs `routine` on the scripted keys and returns the lines it printed, split as `splitlines`
// does. A routine still waiting for a key when the keys run out is
// stopped there.
template <class Routine>
lines run(std::string_view keys, Routine routine) {
    usescript(keys);
    try {
        routine();
    } catch (const input_closed &) {
    }
    return splitlines(transcript());
}

// A parameterized test's name from a case's `what`: letters and digits, anything else '_'.
struct bywhat {
    template <class Info>
    std::string operator()(const Info &info) const {
        std::string name = info.param.what;
        for (char &c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    }
};

// The number of screen columns a UTF-8 line takes (every glyph is one column wide).
inline std::size_t columns(std::string_view line) {
    std::size_t n = 0;
    for (unsigned char c : line) n += (c & 0xC0) != 0x80;
    return n;
}

// How many times `what` occurs in `text`.
inline int occurrences(std::string_view text, std::string_view what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + 1))
        ++n;
    return n;
}

// The first preset hero, Oru: power 40, health 35, magic 25.
inline constexpr player_rec oru{.power = 40, .armor = 35, .magic = 25, .name = padded<3>("Oru")};
// A hero as `setup` equips him ($100, one potion); the first preset hero unless another is given.
stats_rec newhero(const player_rec &hero = oru);

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
