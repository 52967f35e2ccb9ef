// The console's device: what lies under core/console, where its keys come from and its screen
// goes. A device is a record of routines; the console holds one and never asks which. Three
// exist: the host's, linked in (the terminal's in tty/, the page's in web/), and the script
// (core/scriptdevice.cpp), in every build, for tests, --verify and the fuzz target.
#pragma once

#include "core/textconsole.hpp"

#include <cstddef>
#include <string>
#include <string_view>

// What the next read needs of the device.
enum class read_need {
    key,  // one key as it is pressed, shown nowhere (walking, menus)
    line, // a line, edited and shown by the device as it is typed (a terminal's echo)
    // A key for the console drawn in place, which edits typed lines and shows what a read shows
    // itself.
    inplace_key,
};

struct console_device {
    // Takes over the screen for the console drawn in place; false, touching nothing, where it
    // cannot.
    bool (*openscreen)();
    // Gives the screen back at the end of the game (as it was found).
    void (*closescreen)();
    // Readies the device for the next read.
    void (*prepare)(read_need need);
    // Shows the console drawn in place: what changed, or every cell with `whole`.
    void (*draw)(text_console &con, bool whole);
    // Writes the plain stream's bytes, all of them unless the screen is gone; returns the number
    // of system calls it took.
    int (*write)(std::string_view bytes);
    // Whether a byte can be read without waiting longer than `ms` milliseconds. `screen`, the
    // console drawn in place when it is in use, is drawn anew if the screen asks for it meanwhile.
    bool (*ready)(int ms, text_console *screen);
    // Waits for input and reads what there is into `buf`; 0 at the end of the input. `screen` as
    // for `ready`.
    std::size_t (*read)(char *buf, std::size_t size, text_console *screen);
};

// The device the program is linked with: the terminal's (tty/device.cpp) or, in the web
// build, the page's (web/device.cpp).
extern const console_device host_device;

// The script: input from memory, output kept in memory, nothing drawn.
extern const console_device script_device;
// The script's input from here on: `input`, whose end is the end of the input. Forgets the
// output kept.
void script_start(std::string_view input);
// The output written to the script so far; it is cleared.
std::string script_output();
