// The screens as rows of the walking engine's table, and the main loop's handlers built from
// them.
#pragma once

#include "core/game.hpp"
#include "world/movements.hpp"

#include <array>

// The screens, indexed by number (row 0 is unused).
extern const std::array<screen_rec, screen_count + 1> world;
// Their handlers, for the main loop.
extern const screen_table screens;
