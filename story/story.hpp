// The story: the introduction and title that open every game.
#pragma once

#include "core/definitions.hpp"

// Waits for Enter: one whole line (up to 100 characters) is read and discarded.
void enter();
// Writes the introduction's "PRESS ENTER" notice and one empty line.
void pressenter();

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
