// Live games' rules that need no network: taking the lines a player sends, and the witnessed
// check that compares the times a recording claims with the times its lines reached the hall.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A line may reach the hall this much before the time its recording claims for it (after the
// first line's arrival is taken as the recording's start): the page may hold the header up to a
// second before it sends it, and the network may hurry one message and delay another.
inline constexpr std::int64_t witness_early_ms = 2000;
// ...and this much after it: the page sends each key's line within a second, which leaves four
// for the network and a busy browser.
inline constexpr std::int64_t witness_late_ms = 5000;
// Lines sent again after a reconnection (those played before the new connection opened) may come
// later than that, but no more than this share of the game's lines, in percent: a game played
// mostly out of the hall's sight is not one it saw.
inline constexpr int witness_resent_percent = 10;

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

// Whether the hall saw the game played as it claims: true, or false with the reason.
bool witnessed(const live_lines &game, std::string &reason);
