// The movers and overlays of the special screens: the dark tunnels (`shadowx`), the house of
// mirrors (`mirrorx`), the sea's waves (`setwaves`), the name puzzle (`movebrickx`), the chase
// (`chasex`) and the castle gate by the moat (`opencastlegate`). None writes outside the matrix.
#pragma once

#include "world/environment.hpp"

// Codes the mechanics draw.
inline constexpr unsigned char tunnel_rock = '*';
inline constexpr unsigned char wave = '~';
inline constexpr unsigned char far_reflection = 'x';
inline constexpr unsigned char invisible = 0;      // the invisible wall and the puzzle's floor
inline constexpr unsigned char puzzle_wall = 4;    // ♦
inline constexpr unsigned char puzzle_brick = 206; // ╬

// The tunnels: a step onto a blank cell darkens everything but the 5 x 5 square around the
// mark, which is pulled back to keep the square on the grid. A refused step changes nothing.
position_rec shadowx(world_matrix &map, const step_rec &step, stats_rec &stats);
// Lights the 5 x 5 square centred on (row, col), as far as it lies on the grid.
void lightsquare(world_matrix &map, int32 row, int32 col);

// The house of mirrors: the walls are invisible until the hero's reflection shows on the
// first one in each direction (`X` next to him, `x` further away).
position_rec mirrorx(world_matrix &map, const step_rec &step, stats_rec &stats);

// The sea: removes the old waves, then draws the new ones except in the given row and column.
void setwaves(world_matrix &map, const wave_array &waves, const wave_array &oldwaves, int32 row,
              int32 col);

// The name puzzle: the hero walks the code-0 floor and pushes the letters of his name; the
// walls (♦ and ╬) and a letter that cannot move stop him. No step is counted; the mark is X.
position_rec movebrickx(world_matrix &map, const step_rec &step, stats_rec &stats);

// The chase: while the hero's target lies left of column 73, the figure in rows 11 to 13 runs
// one column towards the right edge; then the hero moves as everywhere, at no step cost, as X.
position_rec chasex(world_matrix &map, const step_rec &step, stats_rec &stats);

// Opens the castle gate and the bridge over the moat on the castle approach's map.
void opencastlegate(world_matrix &map);
