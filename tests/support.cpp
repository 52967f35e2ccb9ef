// Shared test helpers.
#include "support.hpp"

#include "core/random.hpp"

#include <fstream>
#include <sstream>

namespace {
std::int64_t clock_value = 0;
std::int64_t fixed_reading() {
    return clock_value;
}
std::int64_t stepping_reading() {
    return clock_value++;
}
} // namespace

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void store(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

lines splitlines(std::string_view text) {
    lines out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
        out.emplace_back(text.substr(start, end - start));
    out.emplace_back(text.substr(start));
    return out;
}

fixed_clock::fixed_clock(std::int64_t ms) {
    clock_value = ms;
    game_clock = fixed_reading;
}
fixed_clock::~fixed_clock() {
    game_clock = realclock;
}

stepping_clock::stepping_clock(std::int64_t start) {
    clock_value = start;
    game_clock = stepping_reading;
}
stepping_clock::~stepping_clock() {
    game_clock = realclock;
}

stats_rec newhero(const player_rec &hero) {
    stats_rec s;
    setup(hero, s);
    return s;
}
