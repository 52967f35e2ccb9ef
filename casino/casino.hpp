// The casino, THE MONEY CLUB: its lobby and three games (twenty-one, the mathematical slot
// machine and hangman), with the rules of each game as functions over plain data.
#pragma once

#include "core/definitions.hpp"

#include <array>

// ---------------------------------------------------------------------------------------------
// [SECTION] The lobby
// ---------------------------------------------------------------------------------------------

// The lobby; returns on key 0.
void loadcasino(stats_rec &stats);

// ---------------------------------------------------------------------------------------------
// [SECTION] Twenty-one
// ---------------------------------------------------------------------------------------------

// The twenty-one wager menu; returns on key 0.
void twenonebet(stats_rec &stats);
// Plays one hand for the bet `cash` with a freshly dealt deck and settles it in `money`.
void twenone(stats_rec &stats, int32 cash);
// The same hand dealt from the deck `d` (positions 1 to 14 are used at most).
void twenone(stats_rec &stats, int32 cash, const deck &d);

// The player's score for cards 1 to `yours` of `hand`: faces count 10, aces 11 until the hand
// is over 21, then aces turn into 1 one per pass, in hand order.
int32 counthand(const deck &hand, int32 yours);
// The dealer's score: he draws from position `yours` + 1 of `d`, at most seven cards, and stops
// from 17 to 21, or above 21 with no ace left at 11.
int32 dealerturn(const deck &d, int32 yours);

enum class outcome { win, lose, draw };
// The settlement of a hand: `player` and `dealer` are the two scores.
outcome settle(int32 player, int32 dealer);

// ---------------------------------------------------------------------------------------------
// [SECTION] The mathematical slot machine
// ---------------------------------------------------------------------------------------------

// The wager menu; shows the instructions after the first key of each visit; returns on key 0.
void slotsbet(stats_rec &stats);
// One spin for the bet `cash`, settled in `money`.
void mathslot(stats_rec &stats, int32 cash);

// Where each of the three rows stopped: top 0..4, middle 0..3, bottom 0..4.
struct slot_stops {
    int32 top = 0;
    int32 middle = 0;
    int32 bottom = 0;
    friend bool operator==(const slot_stops &, const slot_stops &) = default;
};
// The stops a spin of the reels `reels` (raw values 1 to 1000) comes to.
slot_stops slotstops(const slot &reels);
// The result of the sum the stopped rows form: top number, operator, bottom number.
int32 slotresult(slot_stops stops);
// How many times the bet a result pays; 0 means the bet is lost.
int32 slotpayout(int32 result);

// ---------------------------------------------------------------------------------------------
// [SECTION] Hangman
// ---------------------------------------------------------------------------------------------

// The wager menu and the games; returns on key 0.
void hang(stats_rec &stats);

using word_table = onebased<text<10>, 100>;
// Fills the table with the hundred words, in their fixed order.
void setwords(word_table &words);

// One game of hangman in progress.
struct hangman_game {
    text<10> ourword = padded<10>("");
    text<10> tempstr{};           // code 0 where a letter is still hidden
    std::array<char, 26> board{}; // each letter, or '-' once it has been guessed
    int32 lt = 0;                 // letters in the word
    int32 wrong = 0;              // wrong letters so far, 6 ends the game
    bool invalid = false;         // the last key was refused
};

// A new game for the word `ourword`.
hangman_game newgame(const text<10> &ourword);
// Applies the key `c`: a letter uncovers its places or costs a wrong guess; a repeated letter or
// a key that is not a letter sets `invalid` and costs nothing.
void guess(hangman_game &game, char c);
// The game goes on while the word is not found and fewer than six letters were wrong.
bool playing(const hangman_game &game);
// Plays one game for `wager` on the word at `index` (1 to 100) and settles it in `money`.
void hanggame(stats_rec &stats, int32 wager, int32 index);
