// The story: the introduction and title, the scenes of the quest, the sequences the screens run
// (with their gifts and consequences) and the final battle with the score.
#pragma once

#include "core/definitions.hpp"
#include "world/screenids.hpp"

#include <span>
#include <string_view>

// Waits for Enter: one whole line (up to 100 characters) is read and discarded.
void enter();
// Writes the introduction's "PRESS ENTER" notice and one empty line.
void pressenter();

// The game's title as it stands on the title page and at the end.
inline constexpr std::string_view title_line = "                   ORBRIDDEN";

// The opening pages; each writes one page and does not wait.
void intro1();
void intro2();
void intro3();
void intro4();
void title();
void intro5();

// The whole opening: four story pages, the title, the choice of hero and the page that names
// the hero. Returns the chosen hero.
player_rec intro();

// ---------------------------------------------------------------------------------------------
// [SECTION] Story scenes: each writes its pages and waits where it says; none changes anything
// ---------------------------------------------------------------------------------------------

// The switch by the castle moat; the caller reads the line that pulls it. (`switch` is a C++
// keyword, hence the longer name.)
void switchscene();
// The boatman's fare, paid once: the boat is the hero's ever after.
inline constexpr int32 boat_fare = 200;
// The boatman: turned away for want of the fare (waits for Enter), or his offer (the caller reads
// the key: '1' rents the boat, '0' leaves).
void boatnomoney();
void boat();
// The hero refuses to enter the first ring-holder's castle again.
void notgoing();
// The signpost at the door of the house of mirrors.
void houseofmirrors();
// A gift found after a fight.
void findsword();
void findshield();
// The first ring-holder, Da Tobrillo, in his castle, and the hero's three ways out of it.
void tobr();
void tobrmore();
void tobrdead();
void tobrend();
// Asks how to escape until the key is '1', '2' or '3', and returns it.
char tobrchoice();
void window1();
void window2();
void pillar();
void runforit();
// The clown ring-holder, Vexminaxus: the first meeting, his escape, and his end.
void vex();
void vexrun();
void vexdead(); // shows `findshield` on its way
// Mad Eyes asks whether the hero wants to fight; the caller reads the key.
void madeyes();
// The third ring-holder's curse as the hero enters his room (three pages, one key each), and
// his surrender after the fight (three pages, one key each).
void grumbcurse();
void grumbsurrender();
// The fourth ring-holder greets the hero aboard his ship (two pages, one key each).
void delvoarrives();

// ---------------------------------------------------------------------------------------------
// [SECTION] The quest: gifts and the sequences the screens run
// ---------------------------------------------------------------------------------------------

// What the ring-holders and Mad Eyes leave behind.
enum class gift { brass_shield, silver_shield, tower_shield, glimmering_shield, magestic_blade };
// Replaces the whole shield or weapon with the gift; an earlier one is lost.
void give(stats_rec &stats, gift g);
// The record a gift becomes, and whether it is the weapon (else the shield).
const weapon_type &giftitem(gift g);
bool isweapon(gift g);

// The switch by the castle moat: true when it is pulled (the gate opens); false when the hero
// already holds a ring and will not go in again.
bool pullswitch(const stats_rec &stats);
// The boatman on the pier: true when the hero crosses (paying the fare the first time only).
bool boatman(stats_rec &stats);
// The first ring-holder, from his welcome to the hero's escape.
void firstringholder(stats_rec &stats);
// The clown's first meeting and his last stand (the second ring).
void clownescapes(stats_rec &stats);
void clownfalls(stats_rec &stats);
// The third ring-holder's fight in the corner of his room; returns the next screen, the southern
// forest.
int32 thirdringholder(stats_rec &stats);
// The fourth ring-holder's fight once the hero has pressed a key aboard; returns the next
// screen, the cave entrance.
int32 fourthringholder(stats_rec &stats);
// Mad Eyes asks until the key is '1' or '0'. On '1' he is fought and the hero takes the
// Magestic Blade, whatever the fight's outcome; returns whether the fight took place.
bool meetmadeyes(stats_rec &stats);

// ---------------------------------------------------------------------------------------------
// [SECTION] The end of the game
// ---------------------------------------------------------------------------------------------

// The final battle in the sorceress's castle, then the score, the tally of victories and the
// closing page. `points` becomes the final score.
void finalbattle(stats_rec &stats);
// The final score: points + 5 x money - 200 x deaths.
int32 finalscore(const stats_rec &stats);
// The score page and the tally page, each ending with a line read.
void scorescreen(stats_rec &stats);
void tallyscreen(const stats_rec &stats);
