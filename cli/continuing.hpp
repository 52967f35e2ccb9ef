// What the terminal and the page share of continuing a game: the journal's game found by
// replaying it without a screen, the page that offers to continue it, and the names the games
// played before are kept under.
#pragma once

#include "core/game.hpp"
#include "core/recording.hpp"

#include <cstdint>
#include <string>
#include <string_view>

// What a game is made of: its opening and its screens (main hands them in from the floors
// above the core).
struct game_parts {
    player_rec (*opening)();
    screen_table screens;
};

// What the start of a game found in the journal, or in a recording to continue.
struct journal_rec {
    std::string dir;         // the state directory (the terminal's)
    std::string problem;     // why this game cannot be continued later (empty: it can)
    std::string notice;      // why the game found cannot be continued, and where it is kept
    bool unfinished = false; // `rec` holds a game to continue
    bool elsewhere = false;  // it came from a file of the player's, not the journal
    bool untouched = false;  // the keys come from a pipe or a file: the journal is left alone
    recording rec;
    std::string text;       // its file's bytes
    std::uint64_t keep = 0; // how many of them a continued game keeps (not its end of input)
    replay_state found;     // where its replay without a screen ran out: keys, time, hero
};

// Why a recording of a finished game cannot be continued.
inline constexpr std::string_view nothing_to_continue =
    "the game is finished: there is nothing to continue";

// What a game start says of the journal's game where it cannot be continued: `why`, and where
// it is kept (`kept`; empty where it could not be kept).
std::string notcontinued(std::string_view why, std::string_view kept);
// Replays `j.rec` (read from `j.text`) without a screen to where it runs out. Empty where it
// can be continued or is finished, else why not.
std::string replayjournal(game_parts game, journal_rec &j);
// A page that says what cannot be (the game found, or this one later), then waits for a key.
void noticepage(std::string_view text);
// The page before the introduction: whose game the journal holds and how far it went, and the
// choice to continue it (true) or start a new one.
bool continuepage(const journal_rec &j);
// The name a game is kept under, without its ending: the local date and time `start` (ms since
// the epoch), the hero's name where known and what became of it (its points, "abandoned",
// "unreplayable"): 2026-12-11-0413-Oru-6684.
std::string keptname(std::int64_t start, const std::string &hero, const std::string &what);
// The same for a finished game, from its score record.
std::string finishedname(std::int64_t start, std::string_view score);
// The hero's name as the game keeps it, without its blanks; empty before it is chosen.
std::string heroname(const stats_rec &stats);
