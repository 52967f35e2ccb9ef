// Listing a score file: its six-line records read one by one, shown as a table, best first.
#pragma once

#include "core/definitions.hpp"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

struct score_entry {
    std::array<char, 3> name{}; // the name line's three bytes
    int32 points = 0;
    int32 deaths = 0;
    bool altered = false; // the encoded line does not match the points
};

struct score_listing {
    std::vector<score_entry> records; // the whole records, in the file's order
    std::uint64_t skipped = 0;        // lines that belong to no whole record
};

// Reads records until the input ends. A record is whole once its name, points, deaths and
// encoded line are read; the two empty lines after it may be missing. Memory stays bounded per
// line: a line longer than any the game writes is read to its end without being kept.
score_listing readscores(std::istream &in);
// The table, best first: rank, name, points, deaths, and "altered" where the check fails. A name's
// bytes that are not printable ASCII show as '?'.
void printscores(std::vector<score_entry> records, std::ostream &out);
// Lists the score file at `path`; problems go to `err`. Returns the exit status.
int listscores(const std::string &path, std::ostream &out, std::ostream &err);
