// The gainer: a training hall where the hero fights again the kinds of creature already met.
#pragma once

#include "core/definitions.hpp"

// Refuses entry before the hero's first victory; otherwise runs the difficulty menu until 0.
void loadgainer(stats_rec &stats);

// One creature menu each: runs the chosen fights until 0. A gainer fight pays no gold.
void easy(stats_rec &stats);
void average(stats_rec &stats);
void hard(stats_rec &stats);
