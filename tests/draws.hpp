// Chosen draws for fight tests: clock readings found so that each reading makes a source draw
// the wanted value, queued one reading per draw.
#pragma once

#include "core/random.hpp"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace draws_detail {
inline std::vector<std::int64_t> queue;
inline std::size_t at = 0;
inline std::int64_t probe = 0;
inline std::int64_t probe_reading() {
    return probe;
}
inline std::int64_t queued_reading() {
    if (at >= queue.size())
        throw std::logic_error("the fight drew more often than the test planned");
    return queue[at++];
}
} // namespace draws_detail

// The first clock reading at which `source` draws `want`.
inline std::int64_t readingfor(int32 (*source)(), int32 want) {
    static std::map<std::pair<int32 (*)(), int32>, std::int64_t> found;
    if (auto it = found.find({source, want}); it != found.end()) return it->second;
    const clock_source saved = game_clock;
    game_clock = draws_detail::probe_reading;
    // A value the source cannot draw (a fight draw of 0, say) would search forever; any value it
    // can draw turns up within a few thousand readings.
    for (draws_detail::probe = 0; source() != want; ++draws_detail::probe) {
        if (draws_detail::probe == 20'000) {
            game_clock = saved;
            throw std::logic_error("no clock reading draws the planned value");
        }
    }
    game_clock = saved;
    return found[{source, want}] = draws_detail::probe;
}

struct draw {
    int32 (*source)();
    int32 value;
};
inline draw fightdraw(int32 r) {
    return {fightrandom, r};
} // a fight draw, 1 to 100
inline draw enemydraw(int32 e) {
    return {enemyrandom, e};
} // a creature draw, 100 to 1000

// For its lifetime, the sources draw exactly these values in this order; one more draw throws.
struct planned_draws {
    explicit planned_draws(std::initializer_list<draw> plan) {
        draws_detail::queue.clear();
        for (const draw &d : plan) draws_detail::queue.push_back(readingfor(d.source, d.value));
        draws_detail::at = 0;
        game_clock = draws_detail::queued_reading;
    }
    ~planned_draws() { game_clock = realclock; }
    bool used_all() const { return draws_detail::at == draws_detail::queue.size(); }
};
