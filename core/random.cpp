// The random sources: a Mersenne Twister seeded from the clock at every call.
#include "core/random.hpp"

#include <chrono>
#include <random>

std::int64_t realclock() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

clock_source game_clock = realclock;

namespace {

// A generator over lo..hi seeded from one clock reading. The mapping is written out (rather
// than a standard distribution) so that a clock value gives the same draws on every platform.
struct uniform {
    std::mt19937 gen;
    std::uint32_t lo, span;

    uniform(int32 low, int32 high)
        : gen(static_cast<std::uint32_t>(game_clock())), lo(static_cast<std::uint32_t>(low)),
          span(static_cast<std::uint32_t>(high - low + 1)) {}

    int32 draw() {
        const std::uint32_t limit = UINT32_MAX - UINT32_MAX % span; // reject the uneven tail
        std::uint32_t r;
        do r = gen();
        while (r >= limit);
        return static_cast<int32>(lo + r % span);
    }
};

} // namespace

// Not a step: a draw of chance, the steps left until the next encounter (the name is the game's
// own, from the walking it times).
int32 walk() {
    return uniform(100, 1000).draw();
}

int32 fightrandom() {
    return uniform(1, 100).draw();
}

int32 enemyrandom() {
    return uniform(100, 1000).draw();
}

void randwaves(wave_array &waves) {
    uniform rows(1000, 6000);
    uniform cols(1000, 6000);
    for (wave_rec &w : waves) {
        w.row = rows.draw() % 16 + 4;
        w.col = cols.draw() % 58 + 11;
    }
}

deck randdeck() {
    deck d{};
    std::array<bool, 53> used{};
    uniform draws(1, 52);
    for (int position = 1; position <= 30;) {
        int32 r = draws.draw();
        if (used[r]) continue;
        used[r] = true;
        d[position++] = {r % 13 + 1, r % 4 + 1};
    }
    return d;
}

slot randslot() {
    slot s{};
    uniform reels(1, 1000);
    for (int32 &reel : s) reel = reels.draw();
    return s;
}
