// The hotel: a night's rest for $100 restores health and magic to their maxima.
#pragma once

#include "core/definitions.hpp"

// Shows the inn with its greeting and, when a room is on offer, sells one night for key 1.
void loadhotel(stats_rec &stats);
