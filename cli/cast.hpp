// A terminal cast: a replay written as an asciicast v2 file, the format terminal-recording
// players read. The console's pages become timed output for an 80x25 terminal: each frame
// moves the cursor to each row that changed and writes its glyphs from the first cell that
// changed to the last, then puts the cursor where the console has it. The sequences are terminfo's
// for xterm-256color.
#pragma once

#include "core/textconsole.hpp"

#include <cstdint>
#include <string>

// The terminal type whose sequences the cast holds; its header names it.
inline constexpr const char *cast_terminal = "xterm-256color";

// Starts a cast on `fd`: its header, with the recording's start (milliseconds since 1970).
// False, with `problem` set, when terminfo does not describe the terminal type.
bool startcast(int fd, std::int64_t start_ms, std::string &problem);
// The console as it stands at `ms` milliseconds into the recording, if it changed.
void castframe(const text_console &con, std::int64_t ms);
// Writes what is left; returns the error of the first write that failed (0: none).
int endcast();
