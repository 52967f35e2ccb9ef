// Fights: the 34 creature routines, the fight loop and its rules, rewards and the level-up.
#pragma once

#include "core/console.hpp"
#include "core/definitions.hpp"

#include <array>

// ---------------------------------------------------------------------------------------------
// [SECTION] The creature routines: one per creature, each runs one whole fight
// ---------------------------------------------------------------------------------------------

// A creature routine's id: its row in the roster (combat/roster.hpp),
// `roster[creature::fight_bats]`. A new creature is an id here, its routine below, and its row,
// one-liner and picture in the roster.
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

// `cash` is the gold the creature pays; re-fights at the gainer pass 0.
void fight_bats(stats_rec &stats, int32 cash);
void fight_fox(stats_rec &stats, int32 cash);
void fight_raccoon(stats_rec &stats, int32 cash);
void fight_ghost(stats_rec &stats, int32 cash);
void fight_skeleton(stats_rec &stats, int32 cash);
void fight_knight(stats_rec &stats, int32 cash);
void fight_shark(stats_rec &stats, int32 cash);
void fight_octopus(stats_rec &stats, int32 cash);
void fight_crab(stats_rec &stats, int32 cash);
void fight_jelly(stats_rec &stats, int32 cash);
void fight_mime(stats_rec &stats, int32 cash);
void fight_seal(stats_rec &stats, int32 cash);
void fight_monkey(stats_rec &stats, int32 cash);
void mad_monkey(stats_rec &stats, int32 cash);
void crazy_clown(stats_rec &stats, int32 cash);
void dwarf_guy(stats_rec &stats, int32 cash);
void glob_of_goo(stats_rec &stats, int32 cash);
void rock(stats_rec &stats, int32 cash);
void grumb(stats_rec &stats, int32 cash);
void caveman(stats_rec &stats, int32 cash);
void zarkhul(stats_rec &stats, int32 cash);
void darkness(stats_rec &stats, int32 cash);
void stalagmite(stats_rec &stats, int32 cash);
void delvo(stats_rec &stats, int32 cash);

// The ring-holders and the sorceress pay fixed sums.
void fight_tobrillo(stats_rec &stats);
void fight_vex(stats_rec &stats); // stops part-way: VEXMINAXUS falls to 300 or less
void fight_vex_again(stats_rec &stats);
void fight_madeyes(stats_rec &stats);
void fight_tobrillo2(stats_rec &stats);
void fight_vex2(stats_rec &stats);
void grumb2(stats_rec &stats);
void delvo2(stats_rec &stats);
void vaskar(stats_rec &stats); // stops part-way: the sorceress falls to 5000 or less
void vaskar2(stats_rec &stats);

// ---------------------------------------------------------------------------------------------
// [SECTION] Rewards and the level-up
// ---------------------------------------------------------------------------------------------

// Pays a beaten creature's gold and points, shows the reward screen and offers a level-up
// once the points reach `next_level`.
void winnings(stats_rec &stats, const creature_rec &cre);
// The level-up dialogue: one base figure +3, then `next_level` moves up one step.
void choosestat(stats_rec &stats);
// How far `next_level` moves from its current value: 100 below 1000, 500 below 10000, and ten
// times more for every further digit.
int32 levelstep(int32 next_level);

// ---------------------------------------------------------------------------------------------
// [SECTION] The fight loop
// ---------------------------------------------------------------------------------------------

// A creature's picture: 10 rows of 45 columns, the left panel of the fight screen, lines 4 to
// 13 (the drawings are in combat/pictures.hpp).
using creature_picture = picture<10, 45>;

// What the left panel shows: one picture, or a second one from `hurt_at` health downward.
struct creature_look {
    const creature_picture *picture = nullptr;
    const creature_picture *hurt = nullptr;
    int32 hurt_at = 0;
};

// Runs one fight until the creature's health falls below `threshold` (victory, false) or an
// escape succeeds (true). Changes `stats` and `cre` in place.
bool fight(stats_rec &stats, creature_rec &cre, const creature_look &look, int32 threshold = 1);

// The state of one fight, reset at its start.
struct fight_state {
    char ch = '-';         // the last command key
    int32 first = 0;       // 1 once a key from 1 to 4 has been pressed
    bool turnover = false; // the last command used the hero's turn
    int32 d_2_it = 0;      // the hero's last damage
    int32 d_2_u = 0;       // the creature's last damage
    bool run = false;      // the last escape succeeded
    int32 hold = 0;        // 1 when the last item was refused because none was left
    bool die = false;      // the hero was revived at the last check
};

// Draws the 24 lines of the fight screen: the figures, the picture beside the commands, the
// creature's health, the message area (lines 18 to 20) and the bottom frame.
void drawfight(const stats_rec &stats, const creature_rec &cre, const creature_picture &pic,
               const fight_state &state);

// ---------------------------------------------------------------------------------------------
// [SECTION] The hero's commands and the creature's attack
// ---------------------------------------------------------------------------------------------

struct command_result {
    bool turnover = false;
    int32 d_2_it = 0;
    bool run = false;
    int32 hold = 0;
};
struct spell_result {
    int32 hit = 0;
    bool turn = false;
};
struct item_result {
    bool turnover = false;
    int32 hold = 0;
};

// Carries out one command key: 0 game menu, 1 attack, 2 spell, 3 item, 4 escape.
command_result docommand(char ch, int32 d_2_it, stats_rec &stats, bool run, int32 runaway);
int32 yourattack(const stats_rec &stats);
spell_result usemagic(stats_rec &stats);
item_result whichitem(stats_rec &stats);
// Rolls the creature's attack and applies it; the hero's health stops at 0.
int32 cre_attack(const creature_rec &cre, stats_rec &stats);

// The rules behind the draws, for a fight draw `r` (1 to 100) or a creature draw `e`
// (100 to 1000).
int32 attackdamage(int32 strength, int32 r);
int32 spelldamage(int32 strength, const magicnode &spell, int32 r);
int32 creaturedamage(int32 power, int32 e);
bool escapes(int32 r, int32 runaway);
