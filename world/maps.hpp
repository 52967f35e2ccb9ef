// The map builders: each fills a screen's whole matrix from its picture (world/maps_*.cpp).
// The pictures are fixed; only the name puzzle writes the hero's name into its map.
#pragma once

#include "core/definitions.hpp"
#include "world/environment.hpp"
#include "world/screenids.hpp"

// [SECTION] Home town and the western forest (maps_forest.cpp)
void inithome(world_matrix &home_map);
void init2(world_matrix &map);
void init3(world_matrix &map);
void init4(world_matrix &map);
void init5(world_matrix &map); // the castle approach, gate closed

// [SECTION] The first ring-holder's castle (maps_castle.cpp)
void init6(world_matrix &map);
void init7_10_12(world_matrix &map);
void init8_13(world_matrix &map);
void init9(world_matrix &map);
void init11_15_16(world_matrix &map);
void init14_18(world_matrix &map);
void init17(world_matrix &map);
void init19(world_matrix &map);

// [SECTION] The pier and the sea (maps_sea.cpp)
void init20(world_matrix &map);
void init21(world_matrix &map);
void init22_23(world_matrix &map);
void init24(world_matrix &map);
void init25(world_matrix &map);
void init26_27(world_matrix &map);
void init28(world_matrix &map);
void init29(world_matrix &map);
void init30(world_matrix &map);
void init31(world_matrix &map);
void init32(world_matrix &map);

// [SECTION] The island and the enchanted lands (maps_island.cpp)
void init33(world_matrix &map);
void init33after(world_matrix &map); // the island gate once the monster lies in pieces
void init34(world_matrix &map);
void init35(world_matrix &map);
void init36(world_matrix &map, const text<3> &n); // n: the hero's name, laid out as bricks
void init37(world_matrix &map);
void init38(world_matrix &map);
void init39(world_matrix &map);
void init40(world_matrix &map);
void init41(world_matrix &map);
void init42(world_matrix &map);
void init43(world_matrix &map);
void init44(world_matrix &map);
void init45(world_matrix &map);
void init46(world_matrix &map);

// [SECTION] The northern cave and the tunnels (maps_cave.cpp)
void init47(world_matrix &map);
void init48(world_matrix &map);
void init49(world_matrix &map);
void init50(world_matrix &map);
void init51(world_matrix &map);
void init52(world_matrix &map);
void init53(world_matrix &map);
void init54(world_matrix &map);
void init55(world_matrix &map);
