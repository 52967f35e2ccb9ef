// The terminal's modes: saved at start, switched between key reads and line reads, and
// restored on every way out (normal end, exception, end of input, fatal signals, Ctrl-Z).
#pragma once

enum class term_mode {
    key,  // one key at a time, no echo; Ctrl-C still interrupts and lines still start at column 1
    line, // the terminal's own line editing with echo
};

// Saves the settings of standard input (when it is a terminal) and installs the signal handlers
// that put them back. Does nothing when standard input is not a terminal.
void terminal_start();
// Switches to `mode` if it is not already in force.
void terminal_setmode(term_mode mode);
// Puts back the settings saved by `terminal_start`.
void terminal_restore();

// Holds the terminal for the length of a game.
struct terminal_session {
    terminal_session() { terminal_start(); }
    ~terminal_session() { terminal_restore(); }
    terminal_session(const terminal_session &) = delete;
    terminal_session &operator=(const terminal_session &) = delete;
};
