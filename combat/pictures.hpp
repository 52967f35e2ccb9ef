// The creatures' fight pictures: one 10 x 45 picture per roster row, named after its creature
// (`fight_bats_picture`, ..., `vaskar2_picture`), and the mime's second, hurt face.
#pragma once

#include "combat/fight.hpp" // creature_picture

// The pictures, by the region where the creatures are met. A later form that looks the same
// as the first refers to the first form's picture.
#include "combat/pictures_bosses.hpp"
#include "combat/pictures_cave.hpp"
#include "combat/pictures_enchanted.hpp"
#include "combat/pictures_forest.hpp"
#include "combat/pictures_island.hpp"
#include "combat/pictures_sea.hpp"
