// The main loop: the opening, the hero's setup, then one screen handler after another until a
// screen number outside 1 to 55 ends the game and the score is saved.
#pragma once

#include "core/definitions.hpp"

#include <array>

// A screen handler `moveN(oldwhere, stats)`: runs screen N until the hero leaves it.
using screen_handler = screen_result (*)(int32 oldwhere, stats_rec &stats);
// The handlers by screen number 1 to 55 (entry 0 is unused). A screen not built yet is null.
using screen_table = std::array<screen_handler, 56>;

// The game's screens, defined by the world (world/screens.cpp).
extern const screen_table screens;

// Runs the screens from `from` (at the start of a game screen 1, coming from -1, no screen)
// until a result leaves 1 to 55 or reaches a screen that is not built; then saves the score
// record.
void runscreens(const screen_table &table, stats_rec &stats,
                screen_result from = {.where = 1, .oldwhere = -1});
// A whole game: the opening, `setup`, the screens and the score record.
void playgame(const screen_table &table = screens);
