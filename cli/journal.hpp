// The journal: every game played is recorded as it goes in the player's state directory, so
// that however it ends it can be continued; the games played before are kept beside it.
#pragma once

#include "cli/continuing.hpp"
#include "cli/options.hpp"
#include "cli/recordings.hpp"
#include "core/recording.hpp"

#include <string>

// Where the journal and the games played before are kept: $XDG_STATE_HOME/orbridden, or
// ~/.local/state/orbridden where that is unset or not an absolute path. Empty where neither is
// known.
std::string statedir();

// The journal's file.
std::string journalpath(const journal_rec &j);
// Looks for a game to continue, before the terminal is touched: --continue's file (any
// problem with it is printed and its exit status returned), or the journal, which is kept in
// games/ (as finished, abandoned with --new, or unreplayable) where it is not to be continued.
// Where the keys are not `typed` at a terminal the journal is neither offered nor written.
int findjournal(const options &opts, game_parts game, bool typed, journal_rec &j,
                std::ostream &err);
// The page before the introduction: the game found and the choice to continue it (true) or
// start a new one (it is kept in games/ as abandoned); or why no game can be continued.
bool askcontinue(journal_rec &j);
// The journal's file for this game, from its start or, `continuing`, to append to; -1 where it
// cannot be written (`problem` says why) or is left alone.
int openjournal(journal_rec &j, bool continuing);
// Where a game continued hands over from its replay to the player: the journal is cut to the
// lines the game keeps, and appended to from there.
void resumejournal(const journal_rec &j, int fd);
// At the end of a finished game: its journal goes to games/, named by its date, hero and
// points.
void keepfinished(const journal_rec &j);
