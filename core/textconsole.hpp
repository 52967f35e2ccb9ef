// The text console in memory: the 80x25 console the game's pages were laid out for, its cells,
// scrolling and cursor. The terminal's drawing (tty/display) and any other front end show it.
#pragma once

#include <array>
#include <string_view>

inline constexpr int console_rows = 25;
inline constexpr int console_cols = 80;

using console_row = std::array<unsigned char, console_cols>;

// The console's cells hold the game's codes. Rows are kept in a ring, so that scrolling one
// away costs one row: console row r (0 is the top) is cells[(top + r) % console_rows].
struct text_console {
    std::array<console_row, console_rows> cells = blankrows();
    int top = 0;
    int row = 0, col = 0; // the cursor, in console rows and columns
    int bells = 0;        // bells written and not yet rung

    static constexpr std::array<console_row, console_rows> blankrows() {
        std::array<console_row, console_rows> rows{};
        for (console_row &r : rows) r.fill(' ');
        return rows;
    }
    console_row &line(int r) { return cells[(top + r) % console_rows]; }
    const console_row &line(int r) const { return cells[(top + r) % console_rows]; }
};

// Applies the game's codes as the console shows them: a line end moves to the start of the
// next row, scrolling the top row away at the bottom; writing the 80th column moves on to the
// next row at once; a bell is counted to be rung; every other code is a glyph.
void consoleput(text_console &con, std::string_view codes);
// Takes back the character before the cursor (Backspace while a line is typed).
void consoleunput(text_console &con);
// Whether the cursor stands at a prompt, where a front end shows it: its row holds text (the
// hero's name being typed, CHOICE, PRESS ENTER). A map frame or a fight screen waits with the
// cursor on a blank row, where it would only mark a corner of the screen.
bool atprompt(const text_console &con);
// The first console row a terminal of `lines` rows shows: all 25 rows fit from 25 lines up; on
// 24 lines, rows 1 to 24 while the cursor's row 25 is blank, otherwise rows 2 to 25.
int firstrow(const text_console &con, int lines);
