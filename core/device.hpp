// The console's device: what lies under core/console, where its keys come from and its screen
// goes. The terminal build links the terminal's (core/ttydevice.cpp, with core/terminal and
// core/display); the web build links the page's (web/device.cpp). Nothing else differs.
#pragma once

#include "tty/terminal.hpp"
#include "core/textconsole.hpp"

#include <cstddef>
#include <string_view>

// Takes over the screen for the in-place console; false, touching nothing, where it cannot.
bool device_openscreen();
// Gives the screen back at the end of the game (the terminal as it was found).
void device_closescreen();
// The mode the next read needs (the terminal's key, line or screen mode).
void device_setmode(term_mode mode);
// Shows the in-place console: what changed, or every cell with `whole`.
void device_draw(text_console &con, bool whole);
// Writes the plain stream's bytes, all of them unless the screen is gone; returns the number
// of writes it took.
int device_write(std::string_view bytes);
// Whether a byte can be read without waiting longer than `ms` milliseconds. `screen`, the
// in-place console when it is in use, is drawn anew if the screen asks for it meanwhile.
bool device_ready(int ms, text_console *screen);
// Waits for input and reads what there is into `buf`; 0 at the end of the input. `screen`, the
// in-place console when it is in use, is drawn anew if the screen asks for it meanwhile.
std::size_t device_read(char *buf, std::size_t size, text_console *screen);
