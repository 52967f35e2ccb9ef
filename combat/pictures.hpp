// The creatures' fight pictures: one 10 x 45 picture per creature routine, named after it
// (`fight_bats_picture`, ..., `vaskar2_picture`), and the mime's second, hurt face.
#pragma once

#include "core/console.hpp"

// A creature's picture fills the left panel of the fight screen, lines 4 to 13.
using creature_picture = picture<10, 45>;

// The pictures, by the region where the creatures are met. A later form that looks the same
// as the first refers to the first form's picture.
#include "combat/pictures_bosses.hpp"
#include "combat/pictures_cave.hpp"
#include "combat/pictures_enchanted.hpp"
#include "combat/pictures_forest.hpp"
#include "combat/pictures_island.hpp"
#include "combat/pictures_sea.hpp"
