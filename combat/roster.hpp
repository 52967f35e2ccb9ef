// The creature roster as data: one row per creature routine, read by the one routine that runs
// every creature's fight.
#pragma once

#include "combat/fight.hpp"

#include <array>
#include <string_view>

// Blanks before "PRESS ENTER" on an announcement: the three placements in use.
inline constexpr int32 enter_wide = 65;   // 76 characters in all
inline constexpr int32 enter_middle = 50; // 61
inline constexpr int32 enter_short = 44;  // 55

// The page a creature shows before its fight.
struct announcement {
    int32 before = 10;                       // line ends before the lines
    std::array<std::string_view, 5> lines{}; // game codes, leading blanks included
    int32 count = 0;                         // how many of `lines` are used
    bool numbered = false;    // the last line ends with this creature's victories so far plus one,
                              // and without a line end of its own
    int32 after = 10;         // line ends after the lines
    int32 enter = enter_wide; // blanks before "PRESS ENTER"
};

// One creature routine's row.
struct creature_row {
    std::string_view routine; // the routine's name, for tests and messages
    creature_rec cre;         // its figures; `money` is fixed unless `cash` is set
    bool cash = false;        // `money` is the routine's `cash` argument
    int32 wins = 0;           // the victory counter it raises (1 to 25), 0 for none
    int32 threshold = 1;      // the fight ends when the creature's health falls below this
    const announcement *says = nullptr; // null: the fight starts at once
    creature_look look;
    bool rewarded = true;  // a victory pays `winnings`
    bool mad_eyes = false; // a victory sets the hero's `mad_eyes`
};

// The rows by routine name, in the order of the table: `roster[creature::fight_bats]`.
namespace creature {
enum id : int {
    fight_bats,
    fight_fox,
    fight_raccoon,
    fight_ghost,
    fight_skeleton,
    fight_knight,
    fight_tobrillo,
    fight_shark,
    fight_octopus,
    fight_crab,
    fight_jelly,
    fight_mime,
    fight_seal,
    fight_monkey,
    fight_vex,
    fight_vex_again,
    fight_madeyes,
    mad_monkey,
    crazy_clown,
    dwarf_guy,
    glob_of_goo,
    rock,
    grumb,
    caveman,
    zarkhul,
    darkness,
    stalagmite,
    delvo,
    fight_tobrillo2,
    fight_vex2,
    grumb2,
    delvo2,
    vaskar,
    vaskar2,
    count
};
} // namespace creature

extern const std::array<creature_row, creature::count> roster;

// Runs the fight of one row: announcement, fight, and after a victory what the row says.
void runcreature(const creature_row &row, stats_rec &stats, int32 cash);
