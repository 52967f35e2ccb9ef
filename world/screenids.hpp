// The screens by name, and how many there are. A screen's number is its row in the screen table
// (screens/screens.cpp); a new screen's name joins the list and the count follows.
#pragma once

#include "core/definitions.hpp"

namespace screen {
// The castle's corridors stand in three columns (west, middle, east) and four rows, counted
// north from the courtyard; the sea's screens in three rows (north, mid, south) and four
// columns, counted east from the pier.
enum id : int32 {
    // the home town and the western forest
    home = 1,
    forest_west,
    forest_ring,
    forest_north,
    castle_approach,
    // the first ring-holder's castle
    courtyard,
    castle_west1,
    castle_middle1,
    castle_east1,
    castle_west2,
    castle_middle2,
    castle_east2,
    castle_west3,
    castle_middle3,
    castle_east3,
    castle_west4,
    castle_middle4,
    castle_east4,
    great_hall,
    // the pier and the sea
    pier,
    sea_mid1,
    sea_mid2,
    sea_mid3,
    sea_mid4,
    sea_south1,
    sea_south2,
    sea_south3,
    sea_south4,
    sea_north1,
    sea_north2,
    sea_north3,
    sea_north4,
    // the island
    island_gate,
    mirror_maze,
    mirror_hall,
    name_puzzle,
    clown_room,
    chase_first,
    chase_second,
    clown_cornered,
    // the southern forest and the enchanted lands
    southern_forest,
    backwards_room,
    confusing_room,
    fenced_field,
    landing_room,
    chanting_room,
    // the northern cave, the tunnels and the ship
    cave_entrance,
    tunnel_descent,
    tunnel_junction,
    tunnel_north_end,
    tunnel_south_end,
    tunnel_east,
    tunnel_to_ship,
    four_posts,
    alien_ship,
};
} // namespace screen

// The number of screens, numbered from 1.
inline constexpr int32 screen_count = screen::alien_ship;
