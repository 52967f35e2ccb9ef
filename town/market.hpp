// The market: restoring items, spells and weapons for gold, and the bounty on Mad Eyes.
#pragma once

#include "core/definitions.hpp"

// Runs one visit: pays the bounty if it is due, then serves the shelves until the player
// leaves with 0 on the main shelf.
void loadmarket(stats_rec &stats);
