// The score file: one six-line record appended to "score.txt" at the end of every game.
#pragma once

#include "core/definitions.hpp"

#include <string>

// Appends the encoding of `p` (one or more of K Q J S U W G X E 7) to `out`, without a line end.
void encrypt(int32 p, std::string &out);
// The six lines of a game's record: name, points, deaths, the encoded points, two empty lines.
std::string scorerecord(const stats_rec &stats);
// Appends the record to "score.txt" in the working directory in one locked write. Any failure
// to open, lock or write leaves the file as it was and ends quietly.
void savescore(const stats_rec &stats, const char *path = "score.txt");
