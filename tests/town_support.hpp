// Helpers for the town's tests: a fresh hero and a scripted run of one routine.
#pragma once

#include "core/console.hpp"
#include "core/definitions.hpp"
#include "support.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace town_test {

using lines = std::vector<std::string>;

// A hero as setup builds it: maximum health 35, maximum magic 25, $100, one potion.
inline stats_rec newhero() {
    stats_rec s;
    setup({.power = 40, .armor = 35, .magic = 25, .name = padded<3>("Oru")}, s);
    return s;
}

inline std::string pad(int n) {
    return std::string(n, ' ');
}

// Runs `routine` on the keys and returns the printed lines; a routine still waiting for a key
// when the keys run out is stopped there.
template <class Routine>
lines run(std::string_view keys, Routine routine) {
    usescript(keys);
    try {
        routine();
    } catch (const input_closed &) {
    }
    return splitlines(transcript());
}

} // namespace town_test
