// The in-place console's drawing: the text console in memory (core/textconsole) drawn on the
// terminal with ncurses.
#pragma once

#include "core/textconsole.hpp"

// Takes over the terminal on standard input and output (the alternate screen, the screen mode);
// false, touching nothing, when terminfo does not know it or it cannot place the cursor.
bool display_open();
// Draws the console, sending only what changed since the last drawing, and rings its bells;
// `whole` repaints every cell. A terminal too small for it shows a notice instead.
void display_draw(text_console &con, bool whole);
// Takes the terminal's size anew after a resize.
void display_resize();
// Whether the terminal is too small for the console (it shows the notice).
bool display_toosmall();
// Terminfo's string capability `name` of the terminal set up now (setupterm), or null.
const char *terminfo_string(const char *name);
