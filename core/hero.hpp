// Character creation: the choice of a preset hero or the custom hero's name and stats.
#pragma once

#include "core/definitions.hpp"

// The choice screen: keys 1 and 2 give the preset heroes, 3 builds a custom one.
player_rec findidentity();
// The custom hero: a three-letter name, then 100 points shared over power, armor and magic.
player_rec findfields();
