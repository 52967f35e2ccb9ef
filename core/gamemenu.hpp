// The game menu, which the walking engine and the fight open: the hero's status sheet with its
// views (world map, items, weapon and shield, spells), and the item list the fight shares.
#pragma once

#include "core/definitions.hpp"

// Shows the status sheet and runs the menu until the player presses 0. Returns whether an item
// was used: a visit in a fight costs the hero's turn only then.
bool showmenu(stats_rec &stats);

// The fixed picture of the world; waits for a key.
void viewmap();
// Lists the three items and uses the chosen ones until the player presses 0; returns whether
// any was used.
bool viewitems(stats_rec &stats);
// Shows the weapon and the shield with what they add; waits for a key.
void viewweapon(const stats_rec &stats);
// Lists the known spells; waits for a key.
void viewmagic(const stats_rec &stats);

// The item list the game menu and the fight share: the title, the three items with their counts
// and "0) Exit", then 8 line ends.
void putitemlist(const stats_rec &stats);
