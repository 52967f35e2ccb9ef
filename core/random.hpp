// The six sources of chance. Each call seeds a fresh generator from the clock (in milliseconds)
// and draws; nothing survives between calls except the clock itself.
#pragma once

#include "core/definitions.hpp"

#include <cstdint>

// The clock the sources read: milliseconds. Production reads the real clock at every call;
// tests point it at a fixed or a stepping clock to make draws repeatable.
using clock_source = std::int64_t (*)();
std::int64_t realclock();
extern clock_source game_clock;

int32 walk();                      // 100 to 1000: a new encounter countdown (a draw, no step)
int32 fightrandom();               // 1 to 100: the hero's attacks, spells, escapes; hangman's word
int32 enemyrandom();               // 100 to 1000: the creature's attacks
void randwaves(wave_array &waves); // ten wave positions, rows 4 to 19 and columns 11 to 68
deck randdeck();                   // thirty different cards in positions 1 to 30; the rest stay 0
slot randslot();                   // three raw reel values of 1 to 1000
