// The main loop: the opening, the screens one after another, and the score record.
#include "core/game.hpp"

#include "core/score.hpp"

#include <iterator>

void runscreens(screen_table table, stats_rec &stats, screen_result at) {
    while (at.where >= 1 && at.where < std::ssize(table) && table[at.where])
        at = table[at.where](at.oldwhere, stats);
    keepscore(stats);
}

namespace {
const stats_rec *playing = nullptr;
}

const stats_rec *playingstats() {
    return playing;
}

void playgame(player_rec (*opening)(), screen_table table) {
    stats_rec stats;
    // Null again however the game ends (a replay stops it with an exception).
    struct unset {
        ~unset() { playing = nullptr; }
    } guard;
    playing = &stats;
    player_rec player = opening();
    setup(player, stats);
    runscreens(table, stats);
}
