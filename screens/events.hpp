// The screens' events as hooks of the screen table: arrival pages, the switch, the boatman, the
// ring-holders' scenes, the name gate, the curse, the cave's flashlights and Mad Eyes, the posts.
#pragma once

#include "world/movements.hpp"

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
// The southern forest to the landing room: how the enchanted lands feel as the hero walks in.
void forestagain(stats_rec &stats, visit_rec &visit);
void backwardspage(stats_rec &stats, visit_rec &visit);
void confusingpage(stats_rec &stats, visit_rec &visit);
void wearingoffpage(stats_rec &stats, visit_rec &visit);
void fallingpage(stats_rec &stats, visit_rec &visit);
// The chanting room: the curse on entry, its price at every key, and the ring-holder's corner.
void cursefalls(stats_rec &stats, visit_rec &visit);
void cursedkey(stats_rec &stats, visit_rec &visit);
int32 grumbcorner(stats_rec &stats, visit_rec &visit);
// The cave entrance: Mad Eyes waits by the west wall once all four rings are won; the flashlights
// and Mad Eyes are met on the target cell; the hole leads down only with a light.
void madeyesstands(world_matrix &map, const stats_rec &stats);
int32 caveentrance(stats_rec &stats, visit_rec &visit);
bool cavehole(stats_rec &stats, visit_rec &visit);
// The first tunnel: the descent from the cave entrance.
void descendpage(stats_rec &stats, visit_rec &visit);
// The four posts: the light that brings the hero aboard, and the four posts lit in order.
void brightlight(stats_rec &stats, visit_rec &visit);
int32 fourposts(stats_rec &stats, visit_rec &visit);
// The alien ship: the fourth ring-holder greets the hero, and fights after one key.
void delvoaboard(stats_rec &stats, visit_rec &visit);
int32 delvoship(stats_rec &stats, visit_rec &visit);

// Mad Eyes as he stands on the cave's map.
inline constexpr unsigned char mad_eyes_mark = 'Y';
