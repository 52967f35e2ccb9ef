// Live games' rules that need no network: taking the lines a player sends, and the witnessed
// check that compares the times a recording claims with the times its lines reached the hall.
#pragma once

#include "core/recording.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A line may reach the hall this much before the time its recording claims for it (its start, as
// the hall's clock reads it, plus the time of its last key): the page may hold the header up to
// a second before it sends it, the network may hurry one message and delay another, and the
// player's clock may be a little off the hall's.
inline constexpr std::int64_t witness_early_ms = 2000;
// ...and this much after it: the page sends each key's line within a second, which leaves four
// for the network and a busy browser.
inline constexpr std::int64_t witness_late_ms = 5000;
// Lines sent again after a reconnection (those played before the new connection opened) may come
// later than that, but no more than this share of the game's lines, in percent: a game played
// mostly out of the hall's sight is not one it saw.
inline constexpr int witness_resent_percent = 10;

// What a live game may cost the hall, in memory and on disk: its text and, for each line, its
// place, arrival and row. A recording's bound on bytes alone would let a million one-byte lines
// cost twenty times what they weigh.
inline constexpr std::size_t live_line_cost = 32; // bytes a line costs beyond its text
inline constexpr std::size_t live_cost_limit = 2 * recording_size_limit;

// What the hall knows of a live game's lines as they come.
struct live_lines {
    std::string text;                // the recording so far, whole lines
    std::vector<std::size_t> ends;   // where each line ends in `text`, past its line feed
    std::vector<std::int64_t> times; // each line's arrival, in ms since 1970
    std::vector<char> resent;        // whether each came again after a reconnection
    std::int64_t claimed = 0;        // the time of the last key, as the recording claims it
    std::int64_t keys = 0;
    bool ended = false; // its score record is in
};

// The time a line claims, ms after the start: a key's line adds its delay to the last key's.
// Only a key's line has a time of its own; every other line shares its last key's.
std::int64_t claimedafter(std::int64_t last, std::string_view line);

// Splits the whole lines of a message into `out` (each without its line feed). False with a
// sentence for the player when they are not whole lines of a recording's text.
bool splitlines(std::string_view text, std::vector<std::string_view> &out, std::string &problem);

// Adds one line that arrived at `now`; false, with a sentence for the player, when the game
// would pass a recording's limits or goes on after its score record.
bool addline(live_lines &game, std::string_view line, std::int64_t now, bool resent,
             std::string &problem);

// Forgets every line from the `keep`th (from 0) on: those the hall could not store.
void droplines(live_lines &game, std::size_t keep);

// What the game costs the hall now, in bytes (see live_line_cost).
std::size_t livecost(const live_lines &game);

// Whether the hall saw the game played as it claims: its start agrees with the hall's clock when
// its first line came, and each line came at the time it claims after that start. True, or false
// with the reason.
bool witnessed(const live_lines &game, std::string &reason);
