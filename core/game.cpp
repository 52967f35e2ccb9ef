// The main loop and the table of screen handlers.
#include "core/game.hpp"

#include "core/score.hpp"
#include "story/story.hpp"

// The world's screens register here as they are built.
const screen_table screens = {};

void runscreens(const screen_table &table, stats_rec &stats) {
    screen_result at{.where = 1, .oldwhere = -1};
    while (at.where >= 1 && at.where <= 55 && table[at.where])
        at = table[at.where](at.oldwhere, stats);
    savescore(stats);
}

void playgame(const screen_table &table) {
    stats_rec stats;
    player_rec player = intro();
    setup(player, stats);
    runscreens(table, stats);
}
