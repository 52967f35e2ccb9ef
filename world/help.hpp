// The one table of keys, and the page that `?` shows on the map built from it. --help lists the
// same lines; a test holds the README, the manual page and the web page's keypad to the table.
#pragma once

#include <span>
#include <string_view>

// A row of the table: where keys act, and what they do there.
struct key_row {
    // Where the keys act, the heading of their block on the page of keys: the rows of one block
    // follow one another with the same `where`. Empty for a key that acts anywhere: its `key`
    // heads its own row.
    std::string_view where = {};
    std::string_view key = {};
    std::string_view what = {}; // what the keys do, as the page of keys says it, naming them
};

// In the order the page of keys lists them. A new key is one row here and its handler.
inline constexpr key_row key_rows[] = {
    {.where = "Walking", .what = "8 up, 2 down, 4 left, 6 right (the arrow keys work too)"},
    {.where = "Walking", .what = "0 opens the game menu: map, items, weapon and spells"},
    {.where = "Walking", .what = "? shows this page"},
    {.where = "Menus, shops and the casino", .what = "the digits shown on the screen; 0 goes back"},
    {.where = "Fights", .what = "1 attack, 2 spell, 3 item, 4 run, 0 game menu"},
    {.where = "Hangman", .what = "the letter keys"},
    {.where = "PRESS ENTER", .what = "Enter goes on"},
    {.key = "Ctrl-Z", .what = "pauses the game; fg at the shell goes on where you stopped"},
    {.key = "Ctrl-L", .what = "draws the screen again"},
    {.key = "Ctrl-C", .what = "ends the game at once (no score is written)"},
};

// The table's lines as the page of keys shows them under its title, and --help after "keys:":
// a blank line between blocks; in each, the heading in a column of its own (wrapped to fit),
// and beside it each row's text.
std::span<const std::string_view> keylines();

// Shows the page of keys and waits for any key. It prints nothing after, so that its caller
// draws the frame it came from again.
void showhelp();
