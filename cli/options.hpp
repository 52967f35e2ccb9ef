// The command line, read before the game opens the terminal: --help, --version, --scores and
// --plain. A plain `orbridden` with no arguments just plays.
#pragma once

#include <iosfwd>
#include <string>

enum class command {
    play,    // start the game
    help,    // print the usage and the keys
    version, // print the name and version
    scores,  // list a score file
    misuse,  // an unknown option or a stray argument
};

struct options {
    command what = command::play;
    bool plain = false;                  // write the plain stream (no in-place screen)
    std::string scorefile = "score.txt"; // the file --scores lists
    std::string problem;                 // for misuse: the line naming what was wrong
};

// The exit statuses of everything that runs instead of the game.
enum exit_status : int {
    exit_done = 0,       // printed what was asked; every record of a score file was whole
    exit_unreadable = 1, // the score file is missing or cannot be read
    exit_misuse = 2,     // an unknown option or a stray argument: nothing else was done
    exit_skipped = 3,    // the scores were listed, but lines forming no whole record were skipped
};

options parseoptions(int argc, char *argv[]);
// Carries out a command other than `play`, writing to `out` and `err`; returns the exit status.
int runcommand(const options &opts, std::ostream &out, std::ostream &err);
