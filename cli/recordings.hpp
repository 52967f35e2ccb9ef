// Playing a game, with --record writing its recording, and the commands that play a recording
// back: --replay (on the terminal at its pace, as the plain stream, or into a terminal cast
// with --cast) and --verify.
#pragma once

#include "cli/continuing.hpp"
#include "cli/options.hpp"
#include "core/game.hpp"
#include "core/recording.hpp"

#include <cstdint>
#include <iosfwd>
#include <string>

// Plays one game on the terminal; with --record writes its recording as it goes. A file that
// exists is never written over: exit_misuse, before the terminal is touched.
int playcommand(const options &opts, game_parts game, std::ostream &err);
// --replay and --verify. Returns the exit status.
int replaycommand(const options &opts, game_parts game, std::ostream &out, std::ostream &err);

// Reads the recording at `path` (and its bytes into `text`, where given): only a regular file,
// and no more of it than a recording of any game takes. What is wrong with it in a few words,
// or nothing.
std::string readrecordingfile(const std::string &path, recording &rec, std::string *text = nullptr);
// Plays `rec` through the console's back end as it is set, from key `at` on (`playreplay`).
void replay(const recording &rec, game_parts game, replay_pacer pacer, std::uint64_t at = 0);
