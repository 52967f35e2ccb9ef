// The terminal's modes: saved at start, switched between key reads and line reads, and
// restored on every way out (normal end, exception, end of input, fatal signals, Ctrl-Z).
#pragma once

#include <string_view>

enum class term_mode {
    key,  // one key at a time, no echo; Ctrl-C still interrupts and lines still start at column 1
    line, // the terminal's own line editing with echo
    // The in-place console's only mode: one key at a time without echo (the console shows what
    // a read shows itself), and no line-end translation on output, as ncurses expects.
    screen,
};

// Saves the settings of standard input (when it is a terminal) and installs the signal handlers
// that put them back. Does nothing when standard input is not a terminal.
void terminal_start();
// Switches to `mode` if it is not already in force.
void terminal_setmode(term_mode mode);
// Puts back the settings saved by `terminal_start`, after writing the screen's way out.
void terminal_restore();

// The in-place console's way into its screen and out of it (terminfo's sequences, worked out in
// advance because a signal handler can only write them): `leave` is written on every way out
// and before Ctrl-Z stops the game, `enter` when it continues. Empty strings forget them.
void terminal_screen(std::string_view enter, std::string_view leave);
// A descriptor that becomes readable when the screen must be drawn anew: after a resize, or
// when the game continues after Ctrl-Z. -1 when the terminal is not in use.
int terminal_wakefd();
// Whether the screen must be drawn anew; takes the request (and empties the descriptor).
bool terminal_redrawwanted();

// Holds the terminal for the length of a game.
struct terminal_session {
    terminal_session() { terminal_start(); }
    ~terminal_session() { terminal_restore(); }
    terminal_session(const terminal_session &) = delete;
    terminal_session &operator=(const terminal_session &) = delete;
};
