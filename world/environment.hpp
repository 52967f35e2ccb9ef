// One screen of the world: the 22 x 78 matrix of character codes the hero walks on, the
// renderer that prints it under the status lines, and `placex`, which moves the hero's mark.
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

// A cell of a screen, (row, col) counted from 1. Movers return where the hero now stands.
struct position_rec {
    int32 row = 0;
    int32 col = 0;
    friend bool operator==(const position_rec &, const position_rec &) = default;
};

// Cell codes with a meaning to the movers.
inline constexpr unsigned char blank = ' ';
inline constexpr unsigned char hero_mark = 'X';
inline constexpr unsigned char boat_mark = 1; // ☺, the hero in the boat

// The direction of the step that produced a target cell, as the key loop passes it on.
enum step_dir : int32 { no_step = 0, step_left = 1, step_right = 2, step_up = 3, step_down = 4 };

// A step for a mover to place: the target cell, the direction the step was taken in (`no_step`:
// the hero is placed where he stands, as on entry), what it costs against the encounter
// countdown, and the mark that shows the hero.
struct step_rec {
    int32 row = 0, col = 0;
    int32 dir = no_step;
    int32 chance = 0; // not a chance: the step's cost, taken off the encounter countdown
    unsigned char mark = hero_mark;
};

// Whether (row, col) is a cell of the matrix; rows 0 and 23, columns 0 and 79 are not.
constexpr bool onmap(int32 row, int32 col) {
    return row >= 1 && row <= map_rows && col >= 1 && col <= map_cols;
}

// How far a step in `dir` goes: a row and a column change; none when `dir` is no step.
struct step_offset {
    int32 drow = 0, dcol = 0;
};
constexpr step_offset stepoffset(int32 dir) {
    switch (dir) {
        case step_left:
            return {0, -1};
        case step_right:
            return {0, 1};
        case step_up:
            return {-1, 0};
        case step_down:
            return {1, 0};
    }
    return {};
}

// The cell one step in `dir` leads to from (row, col).
constexpr position_rec stepto(int32 row, int32 col, int32 dir) {
    step_offset d = stepoffset(dir);
    return {row + d.drow, col + d.dcol};
}
// The cell a step in `dir` to (row, col) started from; (row, col) itself when `dir` is no step.
// Undoing a refused step returns the hero there.
constexpr position_rec stepfrom(int32 row, int32 col, int32 dir) {
    step_offset d = stepoffset(dir);
    return {row - d.drow, col - d.dcol};
}

// Counts one successful step against the encounter countdown: a positive count goes down by
// the step cost, never below 0; a negative count is left for the walking loop to draw anew.
void countstep(stats_rec &stats, int32 chance);

// Prints the hero's name, the status line and the 22 rows of `map` (24 lines).
void outmap(const world_matrix &map, const stats_rec &stats);

// Puts the step's mark on its target cell if that cell is blank, clearing the cell the step
// came from, and counts the step. Any other cell refuses the move: nothing changes and the cell
// the step came from is returned. A target off the matrix is refused the same way.
position_rec placex(world_matrix &map, const step_rec &step, stats_rec &stats);
