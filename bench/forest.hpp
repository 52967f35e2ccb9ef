// The map frame the frame benchmarks draw: the forest (nearly every cell a ♣) with the hero's
// mark, under a hero's status lines.
#pragma once

#include "core/definitions.hpp"
#include "world/environment.hpp"
#include "world/maps_forest.hpp"

inline stats_rec benchhero() {
    stats_rec s;
    s.name = padded<3>("Oru");
    s.health = s.total_health = 35;
    s.magicdust = s.total_magicdust = 25;
    s.points = 1234;
    return s;
}

// The forest with the hero's mark in column `col` of row 12.
inline world_matrix forestwithmark(int col = 40) {
    world_matrix m;
    m.cells = maps::forest_west;
    m(12, col) = 'X';
    return m;
}
