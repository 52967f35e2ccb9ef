// The world's maps, as they show on screen: one picture per map in `maps::`, by region. A
// screen's row in the screen table points at its picture (screens/screens.cpp); a few screens
// change theirs as the quest goes on, through a builder of their row.
#pragma once

#include "world/maps_castle.hpp"
#include "world/maps_cave.hpp"
#include "world/maps_forest.hpp"
#include "world/maps_island.hpp"
#include "world/maps_sea.hpp"
