// Maps of the home town and of the western forest on the way to the first castle (screens 1-5).
#include "world/maps.hpp"

// The home town: the gainer, the casino, the sorceress's castle, the market and the hotel, with
// gates to the four ways out (west forest, east pier, south forest, north cave).
constexpr map_picture home_picture = decode<map_rows, map_cols>({
    "------------------------------------     -------------------------------------",
    "|                                                                            |",
    "|    -----------                                   ---------------------     |",
    "|    |   XP    |                                   |                   |     |",
    "|    | gainer  |                                   |                   |     |",
    "|    |         |                                   |                   |     |",
    "|    -------- --                                   |      Casino       |     |",
    "|                    _   _   _   _   _   _   _     |                   |     |",
    "|                   | |_| |_| |_| |_| |_| |_| |    |                   |     |",
    "|                   |                         |    |                   |     |",
    "                    |                         |    ---- ----------------      ",
    "                    |                         |                               ",
    "                    |   Sorceress Vaskarine   |                               ",
    "|                   |                         |                              |",
    "|                   |                         |                              |",
    "|                   ------------- -------------                              |",
    "|   ----- -----                                            ----- -----       |",
    "|   |         |                                            |         |       |",
    "|   | Market  |                                            |  Hotel  |       |",
    "|   |         |                                            |         |       |",
    "|   -----------                                            -----------       |",
    "------------------------------------     -------------------------------------",
});

void inithome(world_matrix &home_map) {
    home_map.cells = home_picture;
}
