// The home town's doors and gates: the shops, the casino, the sorceress's castle and the three
// ways out that open with the rings.
#pragma once

#include "casino/casino.hpp"
#include "story/story.hpp"
#include "town/gainer.hpp"
#include "town/hotel.hpp"
#include "town/market.hpp"
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

namespace home_gates {
// A shop or game entered through a door: it needs only the Stats record.
template <void (*Enter)(stats_rec &)>
void enter(stats_rec &stats, visit_rec &) {
    Enter(stats);
}

inline bool richenough(const stats_rec &s) {
    return s.money >= casino_fee;
}
inline bool poor(const stats_rec &s) {
    return s.money < casino_fee;
}
} // namespace home_gates

// The door and gate tests of the home screen, in the order they are tried on the reached
// cell. With all four rings the sorceress's door leads to the final battle, and the game ends.
inline constexpr door_rec homedoors[] = {
    {.rows = at(17), .cols = at(10), .action = home_gates::enter<loadmarket>, .push = step_up},
    {.rows = at(17), .cols = at(65), .action = home_gates::enter<loadhotel>, .push = step_up},
    {.rows = at(11),
     .cols = at(56),
     .when = home_gates::poor,
     .action = casinorefusal,
     .push = step_down},
    {.rows = at(11),
     .cols = at(56),
     .when = home_gates::richenough,
     .action = home_gates::enter<loadcasino>,
     .push = step_down},
    {.rows = at(7), .cols = at(14), .action = home_gates::enter<loadgainer>, .push = step_down},
    {.rows = at(16),
     .cols = at(34),
     .when = rings_at_least<all_rings>,
     .action = home_gates::enter<finalbattle>,
     .leave = game_over},
    {.rows = at(16),
     .cols = at(34),
     .when = rings_below<all_rings>,
     .action = castlerefusal,
     .push = step_down},
    {.rows = at(1),
     .cols = {37, 41},
     .when = rings_below<3>,
     .action = northgap,
     .push = step_down},
    {.rows = at(22), .cols = {37, 41}, .when = rings_below<2>, .action = southgap, .push = step_up},
    {.rows = {11, 13},
     .cols = at(78),
     .when = rings_below<1>,
     .action = eastgap,
     .push = step_left},
};
