// The walking engine and the columns of a screen's row: each screen is one row of data (its map,
// mark, mover, step cost, entry cells, exits, doors, encounters and event hooks) and one
// engine runs them all, key by key. The rows themselves are in screens/screens.cpp.
#pragma once

#include "world/environment.hpp"
#include "world/screenids.hpp"

#include <array>
#include <span>

// ---------------------------------------------------------------------------------------------
// [SECTION] A visit: the state of one screen while the hero is on it
// ---------------------------------------------------------------------------------------------

// What the handler of a screen holds between two keys. Nothing of it outlives the visit.
struct visit_rec {
    int32 screen = 0;   // the screen being walked
    int32 oldwhere = 0; // the screen the hero came from
    world_matrix map;
    int32 row = 0, col = 0; // the hero's cell; after a key, first the target cell
    int32 dir = no_step;    // the direction of the last key
    char key = 0;           // the last key read
    unsigned char mark = hero_mark;
    wave_array waves; // the sea's waves now on the map
    // Flags of a screen's events, false (or as noted) on every entry.
    bool open = false;         // name puzzle: the name is spelled and the gate is open
    bool flashlights = false;  // cave entrance: the flashlights have been taken
    onebased<bool, 4> lights;  // four posts: the posts lit
    bool noise_pending = true; // four posts: the screech has still to come
};

// ---------------------------------------------------------------------------------------------
// [SECTION] The columns of a screen's row
// ---------------------------------------------------------------------------------------------

// What an event answers: stay on the screen, or leave it for the screen numbered.
inline constexpr int32 stay = 0;

// A range of cells in one coordinate, both ends included. Off-map rows (0, 23) and columns
// (0, 79) are part of the ranges: exits are mostly tested there.
struct band {
    int32 lo = 0, hi = -1;
    constexpr bool holds(int32 v) const { return v >= lo && v <= hi; }
};
constexpr band at(int32 v) {
    return {v, v};
}
inline constexpr band any{0, map_cols + 1};

// Changes a screen's map, as the quest has left it, after its picture is copied in: from the
// Stats record (the rings, the hero's name).
using map_builder = void (*)(world_matrix &map, const stats_rec &stats);
// Moves the mark to the step's target cell (or refuses) and says where the hero now stands:
// `placex`, or a special screen's mechanic.
using mover = position_rec (*)(world_matrix &map, const step_rec &step, stats_rec &stats);
// A fight with the cash the screen pays out through it: the screens meet the roster's creatures
// (`meet<creature("bats")>`), the tests a routine of their own.
using fight_routine = void (*)(stats_rec &stats, int32 cash);
// Screen events: one that runs at a fixed point of the visit, one that may end it (`stay` or
// the next screen), and the scene of an exit, which may turn the hero back (false).
using visit_event = void (*)(stats_rec &stats, visit_rec &visit);
using leave_event = int32 (*)(stats_rec &stats, visit_rec &visit);
using exit_scene = bool (*)(stats_rec &stats, visit_rec &visit);
using stats_test = bool (*)(const stats_rec &stats);

// The cell the hero is placed on when he comes from screen `from` (-1: the start of the game).
struct entry_rec {
    int32 from = 0; // 0 ends the list
    int32 row = 0, col = 0;
};

// A target cell that leaves the screen: rows x cols, when `when` holds (no test if null). The
// `scene` runs first and may keep the hero on the screen; the step then goes on.
struct exit_rec {
    band rows, cols;
    int32 to = 0; // 0 ends the list
    stats_test when = nullptr;
    exit_scene scene = nullptr;
};

// A door or gate tested on the reached cell: `action` runs (nothing if null), then the hero is
// pushed one cell back in direction `push`, or the screen is left for `leave`.
struct door_rec {
    band rows, cols;
    stats_test when = nullptr;
    visit_event action = nullptr;
    int32 push = no_step;
    int32 leave = stay;
};

// One encounter rule: a countdown value divisible by `divisor` meets `fight` with `cash`.
// A set is tested in order; its last rule has divisor 1.
struct foe_rec {
    int32 divisor = 1;
    fight_routine fight = nullptr;
    int32 cash = 0;
};
using encounter_set = std::span<const foe_rec>;

// Whether a screen runs the encounter countdown and fights when it reaches 0.
enum class countdown { none, fights, count_only };

// A screen: its data in the order a key works through it.
//   picture    the map the screen starts from, copied in on every entry
//   build      what changes that map at run time, called after it (null: nothing)
//   mark       the hero's mark: X, or the boat on the sea
//   move       placex, or the screen's special mechanic
//   entrymove  what places the hero on entry, where that is not `move` (null: `move`)
//   cost       the step cost of a move (`chance`); entrycost that of the entry placement
//   sea        waves are drawn on entry and at every key
//   reversed   the move keys work the other way round
//   lit_entry  the 5 x 5 square around the entry cell is lit before the hero is placed
//   entries    entry cells by the screen the hero comes from
//   exits      exit tests on the target cell, in the screen's order
//   doors      door and gate tests on the reached cell, the first that holds runs
//   check, foes  the encounter countdown and the creatures it meets
//   onenter    after the map is built, before the hero is placed
//   ondrawn    after the first frame
//   onkey      after each key is read, before it is acted on
//   beforeexits, afterexits, aftermove   events at those points of a key; may leave the screen
//   script     replaces the key loop after the first frame (a screen without walking)
struct screen_rec {
    int32 number = 0;
    const map_picture *picture = nullptr;
    map_builder build = nullptr;
    unsigned char mark = hero_mark;
    mover move = placex;
    mover entrymove = nullptr;
    int32 cost = 0;
    int32 entrycost = 0;
    bool sea = false;
    bool reversed = false;
    bool lit_entry = false;
    std::array<entry_rec, 5> entries{};
    std::array<exit_rec, 5> exits{};
    std::span<const door_rec> doors{};
    countdown check = countdown::none;
    encounter_set foes{};
    visit_event onenter = nullptr;
    visit_event ondrawn = nullptr;
    visit_event onkey = nullptr;
    leave_event beforeexits = nullptr;
    leave_event afterexits = nullptr;
    leave_event aftermove = nullptr;
    leave_event script = nullptr;
};

// What places the hero when he enters the screen.
constexpr mover entrymover(const screen_rec &screen) {
    return screen.entrymove ? screen.entrymove : screen.move;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The engine
// ---------------------------------------------------------------------------------------------

// The map a screen starts from: its picture, changed by its builder.
void buildmap(const screen_rec &screen, world_matrix &map, const stats_rec &stats);
// Builds the screen, places the hero at the entry cell for `oldwhere` and draws the first
// frame. A screen the hero could not have come from places him at its first entry cell.
void enterscreen(const screen_rec &screen, visit_rec &visit, int32 oldwhere, stats_rec &stats);
// Works one key through the screen: `stay`, or the screen the hero leaves for.
int32 stepscreen(const screen_rec &screen, visit_rec &visit, char key, stats_rec &stats);
// A whole visit: enter, then read keys until an exit.
screen_result runscreen(const screen_rec &screen, int32 oldwhere, stats_rec &stats);

// Pushes the hero one cell back out of a door in direction `dir`, at no step cost.
void pushback(visit_rec &visit, stats_rec &stats, int32 dir);
