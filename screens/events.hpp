// The screens' events as hooks of the screen table: arrival pages, the switch, the boatman, the
// ring-holders' scenes, the name gate, the curse, the cave's flashlights and Mad Eyes, the posts.
#pragma once

#include "world/movements.hpp"

// Pages shown as the hero arrives: on the way through the enchanted lands (how they feel as
// he walks in), down the first tunnel from the cave entrance, and at the four posts.
extern const page_rec reenter_page, backwards_page, confusing_page, wearing_off_page, falling_page,
    descend_page, bright_light_page;
// The hook that shows `Page` as the hero arrives; with `From`, only when he comes from that screen.
inline constexpr int32 from_anywhere = 0;
template <const page_rec &Page, int32 From = from_anywhere>
void arrivalpage(stats_rec &, visit_rec &visit) {
    if (From == from_anywhere || visit.oldwhere == From) showpage(Page);
}

// The castle approach: the switch by the moat opens the castle gate (tested on the target cell).
int32 castleswitch(stats_rec &stats, visit_rec &visit);
// The great hall: the first ring-holder's scene.
bool tobrillohall(stats_rec &stats, visit_rec &visit);
// The pier: the boatman at the east edge of the pier; a hero turned away stays on the pier.
bool boatcrossing(stats_rec &stats, visit_rec &visit);
// The island gate: it lies in pieces once the clown's ring (the second) is won.
void brokengate(world_matrix &map, const stats_rec &stats);
// The mirror maze: the signpost, when the hero comes from the island gate.
void mirrorsign(stats_rec &stats, visit_rec &visit);
// The name puzzle: the hero's name, as three bricks to be pushed into the slots in its order;
// after every move the gate in the top wall opens while the slots spell the hero's
// name, and shuts again as soon as they do not.
void namebricks(world_matrix &map, const stats_rec &stats);
int32 namegate(stats_rec &stats, visit_rec &visit);
// The clown's room and his last stand, cornered.
bool clownroom(stats_rec &stats, visit_rec &visit);
bool clownlaststand(stats_rec &stats, visit_rec &visit);
// The chanting room: the curse on entry, its price at every key, and the ring-holder's corner.
void cursefalls(stats_rec &stats, visit_rec &visit);
void cursedkey(stats_rec &stats, visit_rec &visit);
int32 grumbcorner(stats_rec &stats, visit_rec &visit);
// The cave entrance: Mad Eyes waits by the west wall once all four rings are won; the flashlights
// and Mad Eyes are met on the target cell; the hole leads down only with a light.
void madeyesstands(world_matrix &map, const stats_rec &stats);
int32 caveentrance(stats_rec &stats, visit_rec &visit);
bool cavehole(stats_rec &stats, visit_rec &visit);
// The four posts, lit in order.
int32 fourposts(stats_rec &stats, visit_rec &visit);
// The alien ship: the fourth ring-holder greets the hero, and fights after one key.
void delvoaboard(stats_rec &stats, visit_rec &visit);
int32 delvoship(stats_rec &stats, visit_rec &visit);

// Mad Eyes as he stands on the cave's map.
inline constexpr unsigned char mad_eyes_mark = 'Y';
