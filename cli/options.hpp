// The command line, read before the game opens the terminal: --help, --version, --scores,
// --plain, --new and the recordings' --record, --continue, --replay, --at, --verify and --cast. A
// plain `orbridden` with no arguments just plays.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

// The game's version, as --version prints it and a recording names it.
inline constexpr std::string_view game_release = "1.0";

enum class command {
    play,    // start the game
    help,    // print the usage and the keys
    version, // print the name and version
    scores,  // list a score file
    record,  // play, writing a recording
    resume,  // --continue: go on with the game of a recording
    replay,  // play a recording back
    verify,  // replay a recording without a screen and check its score record
    misuse,  // an unknown option or a stray argument
};

struct options {
    command what = command::play;
    bool plain = false;                  // write the plain stream (no in-place screen)
    bool newgame = false;                // --new: start afresh, not asking about the journal
    std::string scorefile = "score.txt"; // the file --scores lists
    std::string recording{};             // the file of --record, --replay or --verify
    std::string cast{};                  // --cast: the terminal cast a replay writes
    std::uint64_t at = 0;                // --at: the key a replay starts paused at (0: none)
    bool progress = false; // --progress: --verify says how far a game not yet ended has come
    std::string problem{}; // for misuse: the line naming what was wrong
};

// The exit statuses of everything that runs instead of the game.
enum exit_status : int {
    exit_done = 0,       // printed what was asked; every record of a score file was whole
    exit_unreadable = 1, // the score file is missing or cannot be read
    exit_misuse = 2,     // an unknown option or a stray argument: nothing else was done
    exit_skipped = 3,    // the scores were listed, but lines forming no whole record were skipped
    // --record, --replay, --verify and --cast:
    exit_unwritable = 1,    // a new file cannot be made, or written to the end
    exit_stopped = 1,       // the replay stopped where the game and the recording part, or
                            // --verify did not reach the recorded score record
    exit_notarecording = 3, // the file is missing, unreadable or not a recording
};

options parseoptions(int argc, char *argv[]);
// Carries out a command other than `play`, writing to `out` and `err`; returns the exit status.
int runcommand(const options &opts, std::ostream &out, std::ostream &err);
