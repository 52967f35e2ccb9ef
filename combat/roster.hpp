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

// Where the gainer lists a creature for a re-fight: nowhere, or in one of its three menus.
enum class gainer_menu : int { none, easy, average, hard };

// One creature routine's row: the creature's figures, its announcement and picture, what a
// victory does, and how the gainer and the closing tally name it.
struct creature_row {
    creature::id id;          // the row's own index, checked when the roster is built
    std::string_view routine; // the routine's name, for tests and messages
    // The creature record's figures. The name fits 15 characters and holds no blank (messages
    // cut a name at its first blank); `money` is fixed unless `cash` is set, then the routine's
    // `cash` argument; an escape succeeds when a fight draw is a multiple of `runaway` (101: none).
    std::string_view name;
    int32 power = 0;
    int32 health = 0;
    int32 total_health = 0;
    int32 points = 0;
    int32 money = 0;
    bool cash = false;
    int32 runaway = 0;
    won::victory wins = won::none;  // the victory counter a victory raises
    int32 threshold = 1;            // the fight ends when the creature's health falls below this
    const page_rec *says = nullptr; // the announcement; null: the fight starts at once
    bool numbered = false; // the announcement's last line ends with the victories so far plus 1
    creature_look look;
    bool rewarded = true;                   // a victory pays `winnings`
    bool mad_eyes = false;                  // a victory sets the hero's `mad_eyes`
    gainer_menu gainer = gainer_menu::none; // the gainer menu that lists it, in roster order
    std::string_view listed = {};           // its name there, once its counter is above 0
    std::string_view tallied = {}; // its label on the closing tally, in roster order; empty: none
};

extern const std::array<creature_row, creature::count> roster;

// Runs the fight of one row: announcement, fight, and after a victory what the row says.
void runcreature(const creature_row &row, stats_rec &stats, int32 cash);

// The creature record a row's fight starts from.
creature_rec creatureof(const creature_row &row, int32 cash);
