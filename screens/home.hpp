// The home town's closed doors and gates: the pages of the casino and the sorceress's castle
// that will not let the hero in, and of the three ways out that open with the rings. The doors
// themselves are part of the home town's row (screens/screens.cpp).
#pragma once

#include "world/movements.hpp"

// The pages shown at a closed door or gate; each waits for one key.
void casinorefusal(stats_rec &stats, visit_rec &visit);
void castlerefusal(stats_rec &stats, visit_rec &visit);
void northgap(stats_rec &stats, visit_rec &visit);
void southgap(stats_rec &stats, visit_rec &visit);
void eastgap(stats_rec &stats, visit_rec &visit);

inline constexpr int32 casino_fee = 500; // the money a hero needs to be let into the casino
// The screen after the last is no screen: the main loop ends the game there.
inline constexpr int32 game_over = screen_count + 1;
