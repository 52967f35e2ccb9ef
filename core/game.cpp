// The main loop: the opening, the screens one after another, and the score record.
#include "core/game.hpp"

#include "core/score.hpp"
#include "story/story.hpp"

void runscreens(const screen_table &table, stats_rec &stats, screen_result at) {
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
