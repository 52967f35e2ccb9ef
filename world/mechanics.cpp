// The special movers and overlays. A cell that a corner case could put off the grid is
// written through `set` or `fill`, which skip such cells, and read through `get`, which sees
// a wall there; so no mechanic reads or writes outside the matrix.
#include "world/mechanics.hpp"

namespace {

void set(world_matrix &map, int32 row, int32 col, unsigned char code) {
    if (onmap(row, col)) map(row, col) = code;
}

unsigned char get(const world_matrix &map, int32 row, int32 col) {
    return onmap(row, col) ? map(row, col) : invisible;
}

void fill(world_matrix &map, int32 row1, int32 row2, int32 col1, int32 col2, unsigned char code) {
    for (int32 r = std::max(row1, 1); r <= std::min(row2, map_rows); ++r)
        for (int32 c = std::max(col1, 1); c <= std::min(col2, map_cols); ++c) map(r, c) = code;
}

constexpr bool moved(int32 dir) {
    return dir >= step_left && dir <= step_down;
}

// The four directions a reflection is looked for in.
constexpr int32 looks[] = {step_up, step_down, step_left, step_right};

} // namespace

// ---- the dark tunnels

void lightsquare(world_matrix &map, int32 row, int32 col) {
    fill(map, row - 2, row + 2, col - 2, col + 2, blank);
}

position_rec shadowx(world_matrix &map, const step_rec &step, stats_rec &stats) {
    auto [row, col, dir, chance, mark] = step;
    if (get(map, row, col) != blank) {
        position_rec back = stepfrom(row, col, dir);
        // Keep the hero off the outermost ring, where his square would leave the grid.
        back.row = std::clamp(back.row, 2, map_rows - 1);
        back.col = std::clamp(back.col, 2, map_cols - 1);
        return back;
    }
    countstep(stats, chance);
    if (moved(dir)) {
        position_rec from = stepfrom(row, col, dir);
        set(map, from.row, from.col, blank);
        fill(map, row + 2, map_rows, 1, map_cols, tunnel_rock);
        fill(map, 1, row - 2, 1, map_cols, tunnel_rock);
        fill(map, 1, map_rows, 1, col - 2, tunnel_rock);
        fill(map, 1, map_rows, col + 2, map_cols, tunnel_rock);
    }
    // Near an edge the mark is pulled back so that the whole square stays on the grid.
    if (row + 2 > map_rows)
        row = map_rows - 2;
    else if (row - 2 < 1)
        row = 3;
    else if (col + 2 > map_cols)
        col = map_cols - 2;
    else if (col - 2 < 1)
        col = 3;
    lightsquare(map, row, col);
    set(map, row, col, mark);
    return {row, col};
}

// ---- the house of mirrors

position_rec mirrorx(world_matrix &map, const step_rec &step, stats_rec &stats) {
    const auto [row, col, dir, chance, mark] = step;
    if (get(map, row, col) != blank) return stepfrom(row, col, dir);
    if (moved(dir)) {
        position_rec from = stepfrom(row, col, dir);
        set(map, from.row, from.col, blank);
        // The old reflections vanish; the walls they showed on stay, invisible.
        for (int32 look : looks)
            for (position_rec p = from; onmap(p.row, p.col); p = stepto(p.row, p.col, look))
                if (unsigned char &cell = map(p.row, p.col);
                    cell == hero_mark || cell == far_reflection) {
                    cell = invisible;
                    break;
                }
    }
    for (int32 look : looks)
        for (position_rec p{row, col}; onmap(p.row, p.col); p = stepto(p.row, p.col, look))
            if (unsigned char &cell = map(p.row, p.col); cell != blank) {
                bool next = std::abs(p.row - row) + std::abs(p.col - col) == 1;
                cell = next ? hero_mark : far_reflection;
                break;
            }
    map(row, col) = mark;
    countstep(stats, chance);
    return {row, col};
}

// ---- the sea

void setwaves(world_matrix &map, const wave_array &waves, const wave_array &oldwaves, int32 row,
              int32 col) {
    for (const wave_rec &w : oldwaves) set(map, w.row, w.col, blank);
    for (const wave_rec &w : waves)
        if (w.row != row && w.col != col) set(map, w.row, w.col, wave);
}

// ---- the name puzzle

position_rec movebrickx(world_matrix &map, const step_rec &step, stats_rec &) {
    const int32 row = step.row, col = step.col, dir = step.dir;
    position_rec from = stepfrom(row, col, dir);
    if (!onmap(row, col)) return from;
    unsigned char target = map(row, col);
    if (target == invisible) {
        if (moved(dir)) set(map, from.row, from.col, invisible);
        map(row, col) = hero_mark;
        return {row, col};
    }
    if (target == puzzle_wall || target == puzzle_brick || !moved(dir)) return from;
    if (dir == step_down && row == map_rows) { // a letter on the bottom row breaks
        map(row, col) = hero_mark;
        set(map, from.row, from.col, invisible);
        return {row, col};
    }
    position_rec beyond = stepto(row, col, dir); // where the letter would go
    if (!onmap(beyond.row, beyond.col) || map(beyond.row, beyond.col) != invisible) return from;
    map(beyond.row, beyond.col) = target;
    map(row, col) = hero_mark;
    set(map, from.row, from.col, invisible);
    return {row, col};
}

// ---- the chase

position_rec chasex(world_matrix &map, const step_rec &step, stats_rec &stats) {
    if (step.col < 73)
        for (int32 r = 11; r <= 13; ++r)
            for (int32 c = map_cols; c > 73; --c) map(r, c) = map(r, c - 1);
    return placex(map, {step.row, step.col, step.dir}, stats);
}

// ---- the castle gate by the moat

void opencastlegate(world_matrix &map) {
    fill(map, 4, 11, 36, 42, blank);
    for (int32 r = 9; r <= 11; ++r) {
        map(r, 35) = '|';
        map(r, 43) = '|';
    }
    map(4, 36) = '/';
    map(4, 42) = '\\';
}
