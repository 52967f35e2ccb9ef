// The main loop: the opening, the hero's setup, then one screen handler after another until a
// screen number outside the table ends the game and the score is saved.
#pragma once

#include "core/definitions.hpp"

#include <span>

// A screen handler: runs one screen, entered from screen `oldwhere`, until the hero leaves it.
using screen_handler = screen_result (*)(int32 oldwhere, stats_rec &stats);
// The handlers by screen number: the world says how many screens there are. Entry 0 is null,
// and a null entry is no screen.
using screen_table = std::span<const screen_handler>;

// Runs the screens from `from` (at the start of a game screen 1, coming from -1, no screen)
// until a result names no screen, outside the table or at a null entry; then saves the score
// record.
void runscreens(screen_table table, stats_rec &stats,
                screen_result from = {.where = 1, .oldwhere = -1});
// A whole game: the opening (the introduction and the choice of hero), `setup`, the screens and
// the score record. The caller hands in the opening and the screens from the floors above.
void playgame(player_rec (*opening)(), screen_table table);
// The hero's record of the game being played, as it stands (null outside `playgame`): a replay
// reads it where its recording runs out, to say who the hero is and how far the game went.
const stats_rec *playingstats();
