// Fights: the fight loop and its rules, rewards and the level-up. The creatures themselves are
// rows of the roster (combat/roster.hpp).
#pragma once

#include "core/console.hpp"
#include "core/definitions.hpp"

#include <array>

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
    char ch = '-';          // the last command key
    bool commanded = false; // a key from 1 to 4 has been pressed
    bool turnover = false;  // the last command used the hero's turn
    int32 d_2_it = 0;       // the hero's last damage
    int32 d_2_u = 0;        // the creature's last damage
    bool run = false;       // the last escape succeeded
    bool none_left = false; // the last item was refused because none was left
    bool die = false;       // the hero was revived at the last check
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
    int32 d_2_it = 0; // the damage done to the creature
    bool run = false;
    bool none_left = false;
};
struct spell_result {
    int32 hit = 0;
    bool turn = false;
};
struct item_result {
    bool turnover = false;
    bool none_left = false;
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
