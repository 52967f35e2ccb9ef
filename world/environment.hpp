// One screen of the world: the 22 x 78 matrix of character codes the hero walks on.
#pragma once

#include "core/console.hpp"
#include "core/definitions.hpp"

#include <cassert>

inline constexpr int map_rows = 22;
inline constexpr int map_cols = 78;

// A map drawn as it shows on screen: 22 rows of exactly 78 glyphs, decoded at compile time
// with `decode<map_rows, map_cols>({...})`. Only the blank can be walked on.
using map_picture = picture<map_rows, map_cols>;

// One screen's cells, addressed (row, col) from (1, 1) at the top left to (22, 78).
struct world_matrix {
    map_picture cells{};

    unsigned char &operator()(int row, int col) {
        assert(row >= 1 && row <= map_rows && col >= 1 && col <= map_cols && "cell off the map");
        return cells[row - 1][col - 1];
    }
    unsigned char operator()(int row, int col) const {
        assert(row >= 1 && row <= map_rows && col >= 1 && col <= map_cols && "cell off the map");
        return cells[row - 1][col - 1];
    }
};
