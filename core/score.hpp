// The score file: one six-line record appended to "score.txt" at the end of every game.
#pragma once

#include "core/definitions.hpp"

#include <string>

// Appends the encoding of `p` (one or more of K Q J S U W G X E 7) to `out`, without a line end.
void encrypt(int32 p, std::string &out);
// The six lines of a game's record: name, points, deaths, the encoded points, two empty lines.
std::string scorerecord(const stats_rec &stats);
// How long the end of a game waits for another game's lock on the score file.
inline constexpr int score_lock_wait_ms = 3000;
// Appends the record to the regular file "score.txt" in the working directory in one locked
// write. A link, a directory, a pipe or a device of that name, a lock not had within
// `lock_wait_ms`, or any failure to write leaves the file as it was and ends quietly.
void savescore(const stats_rec &stats, const char *path = "score.txt",
               int lock_wait_ms = score_lock_wait_ms);

// What the end of a game does with its score: appends the record to "score.txt". A recording
// writes the record down as well; a replay compares it with the recorded one instead.
using score_keeper = void (*)(const stats_rec &stats);
extern score_keeper keepscore;
