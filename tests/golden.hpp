// The golden sessions: what each one plays and where it starts. golden_test.cpp replays them;
// golden_player_test.cpp wrote the keys of the long ones from the same rows.
#pragma once

#include "core/definitions.hpp"
#include "world/screenids.hpp"

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

// One recorded session. Its keys are in tests/golden/<name>.keys, what it printed in
// <name>.transcript and, if the game reached its end, the score record in <name>.score.
struct golden_case {
    const char *name;
    std::int64_t clock; // where the stepping clock starts
    // Where the session begins: 0 is the whole game from its opening; a screen number drops
    // the first preset hero there with `rings` rings and `money` dollars.
    int32 screen = 0;
    int32 rings = 0;
    int32 money = 0;
    // The score record the session must end with, written out here as well as in <name>.score
    // so that re-recording cannot quietly change it (null: not checked).
    const char *record = nullptr;
};

// Test output names a session by its name.
inline void PrintTo(const golden_case &c, std::ostream *os) {
    *os << c.name;
}

inline constexpr golden_case sessions[] = {
    {.name = "opening_preset", .clock = 1000},
    {.name = "opening_custom", .clock = 2000},
    {.name = "town", .clock = 3000, .screen = screen::home, .money = 1500},
    {.name = "casino", .clock = 4000, .screen = screen::home, .money = 3000},
    // The whole quest from the first page of the introduction to the score record (its keys
    // were written by the player in golden_player_test.cpp).
    {.name = "playthrough",
     .clock = 5000,
     .record = "Oru\n"
               "       6684\n"
               "         38\n"
               "QJSUWGX7QJSUWGX7QJWGX7QWGX7WX7WEWEWEWE\n"
               "\n"
               "\n"},
    // A long walk with fights and level-ups through the forest, the sea and the cave.
    {.name = "wander", .clock = 6000, .screen = screen::home, .rings = 3, .money = 1000},
};

// The session of that name; a name not in the table does not compile.
consteval const golden_case &session(std::string_view name) {
    for (const golden_case &c : sessions)
        if (name == c.name) return c;
    throw "no golden session of that name";
}

namespace fs = std::filesystem;

// The session's file in tests/golden with that suffix (".keys", ".transcript", ".score").
fs::path goldenfile(const golden_case &c, const char *suffix);

// What a session's output is kept as: what the game printed, in UTF-8 or in the ASCII
// look-alikes, or the in-place console's 25 rows at its end.
enum class kept_as { utf8, ascii, screen };

struct played {
    std::string transcript; // the output, kept as asked
    std::string score;      // the score file's contents, empty when the game did not end
    bool ended;             // the game reached its end before the keys ran out
};

// Plays the session on `keys` in a fresh directory, so that its score file is its own.
played play(const golden_case &c, std::string_view keys, kept_as kept = kept_as::utf8);

// Points of the playthrough at which the in-place console's 25 rows are kept in
// tests/golden/playthrough.screens: what the terminal and the page show after that many keys.
struct screen_point {
    const char *what;
    std::size_t keys;
};
inline constexpr screen_point screen_points[] = {
    {"the first page", 0}, {"the home frame", 8},   {"a fight", 141},
    {"the market", 1231},  {"the last page", 4925},
};

// The console's rows at every point, as stored in playthrough.screens: for each, a line
// "== KEYS keys, cursor ROW COL: WHAT" and the 25 rows without their trailing blanks.
std::string playthroughscreens();
// The playthrough's recording, made through the scripted console (the in-place console in
// memory) from its stepping clock; the keys' times grow by 250 ms a key.
std::string playthroughrecording();
// The same rows reached by seeking a replay of the playthrough's recording (made through the
// scripted console): started at the market, back to the fight, the home frame and the first
// page, then forward past its last key to the last page.
std::string seekscreens();
