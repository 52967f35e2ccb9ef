// Helpers for the town's tests: a fresh hero and a scripted run of one routine.
#pragma once

#include "core/console.hpp"
#include "core/definitions.hpp"
#include "support.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace town_test {

inline std::string pad(int n) {
    return std::string(n, ' ');
}

} // namespace town_test
