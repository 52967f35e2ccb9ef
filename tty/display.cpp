// The in-place console's drawing: the text console in memory (core/textconsole) drawn on the
// terminal with ncurses, which knows every terminal's sequences from terminfo and sends only the
// cells that changed.
#include "tty/display.hpp"

#include "core/console.hpp"
#include "tty/terminal.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

// After the game's own headers: terminfo's header defines macros named like its capabilities.
#include <curses.h>
#include <term.h>

// ---------------------------------------------------------------------------------------------
// [SECTION] Drawing with ncurses
// ---------------------------------------------------------------------------------------------

namespace {

constexpr int least_rows = console_rows - 1; // 24 rows show every row that matters
// ncurses keeps each of a terminal's cells several times over. The console needs 80x25 and the
// notice a few lines: a larger window is taken as this large, so that no size costs more than a
// few megabytes and milliseconds.
constexpr int largest_side = 256;

struct display_state {
    SCREEN *screen = nullptr;
    std::array<cchar_t, 256> glyphs{};             // the cell of every code
    std::array<console_row, console_rows> drawn{}; // what each terminal row shows
    bool drawn_known = false;                      // whether `drawn` holds anything yet
    bool toosmall = false;
    int rows = 0, cols = 0; // the terminal's size as it reports it
};

display_state &dis() {
    static display_state d;
    return d;
}

// tputs writes through a function of one character; this one collects them, padding included.
std::string collected;
int collect(int c) {
    collected += static_cast<char>(c);
    return c;
}
std::string sequence(const char *s) {
    collected.clear();
    if (s) tputs(s, 1, collect);
    return collected;
}

// The terminal's size as it reports it, rows and columns; 0 and 0 when it does not tell.
std::pair<int, int> reportedsize() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
        return {0, 0};
    return {size.ws_row, size.ws_col};
}

// The way out: the screen cleared with the cursor at the top left and shown, then the alternate
// screen left. Where there is one, the shell's screen comes back as it was; a terminal without
// one (linux, vt100) keeps the cleared screen instead of the game's last frame under the shell.
void setwayout() {
    std::string leave = sequence(terminfo_string("clear"));
    leave += sequence(terminfo_string("cnorm"));
    leave += sequence(terminfo_string("rmcup"));
    terminal_screen(sequence(terminfo_string("smcup")), leave);
}

// The notice on a terminal too small for the console: the size needed and the size it has.
void drawnotice(const display_state &d) {
    std::string notice[] = {
        "ORBRIDDEN needs a terminal",
        "of at least " + std::to_string(console_cols) + " x " + std::to_string(least_rows) + ";",
        "this one is " + std::to_string(d.cols) + " x " + std::to_string(d.rows) + ".",
        "Please make it larger.",
    };
    erase();
    int y = 0;
    for (const std::string &l : notice) mvaddnstr(y++, 0, l.c_str(), COLS);
    curs_set(0);
    refresh();
}

// The terminal's own line-drawing characters, by the letters terminfo's "acsc" names them with,
// and the glyphs each stands for where the locale's character set lacks them. Double and mixed
// lines draw as single ones of the same shape.
struct linedrawing {
    char letter;
    std::string_view glyphs;
};
constexpr linedrawing line_drawing[] = {
    {'q', "─═"},   {'x', "│║"},   // lines
    {'l', "┌╔╒╓"}, {'k', "┐╗╕╖"}, // upper corners
    {'m', "└╚╘╙"}, {'j', "┘╝╛╜"}, // lower corners
    {'t', "├╠╞╟"}, {'u', "┤╣╡╢"}, // tees to the right and to the left
    {'v', "┴╩╧╨"}, {'w', "┬╦╤╥"}, // tees up and down
    {'n', "┼╬╪╫"},                // crossings
    {'a', "░▒▓"},  {'0', "█■"},   // checkerboard and block
    {'`', "♦"},    {'f', "°"},    {'g', "±"}, {'~', "∙·"}, {'y', "≤"}, {'z', "≥"},
    {'{', "π"},    {'}', "£"},    {',', "←"}, {'+', "→"},  {'-', "↑"}, {'.', "↓"},
};

// The line-drawing letter of each code, 0 for none.
consteval std::array<char, 256> linedrawingletters() {
    std::array<char, 256> letters{};
    for (const linedrawing &l : line_drawing)
        for (std::size_t i = 0; i < l.glyphs.size();)
            letters[glyph_detail::codeof(glyph_detail::nextchar(l.glyphs, i))] = l.letter;
    return letters;
}
constexpr std::array<char, 256> line_drawing_letters = linedrawingletters();

// The cell of every code: its glyph where the locale's character set has it; else the
// terminal's own line-drawing character, where terminfo's `acsc` names one for it; else its
// ASCII look-alike. The bell and the line end are never drawn.
void setglyphs(std::array<cchar_t, 256> &cells, const char *acsc) {
    const std::string_view pairs = acsc ? acsc : "";
    auto terminalhas = [&](char letter) {
        for (std::size_t i = 0; i < pairs.size(); i += 2)
            if (pairs[i] == letter) return true;
        return false;
    };
    for (std::size_t code = 0; code < cells.size(); ++code) {
        const char32_t g = cp437[code];
        const char letter = line_drawing_letters[code];
        wchar_t text[2] = {L' ', L'\0'};
        attr_t look = A_NORMAL;
        if (g == U'\a' || g == U'\n') {
        } else if (terminalshows(static_cast<unsigned char>(code))) {
            text[0] = static_cast<wchar_t>(g);
        } else if (letter && terminalhas(letter)) {
            text[0] = static_cast<wchar_t>(letter);
            look = A_ALTCHARSET;
        } else {
            text[0] = static_cast<wchar_t>(cp437_ascii[code]);
        }
        setcchar(&cells[code], text, look, 0, nullptr);
    }
}

} // namespace

const char *terminfo_string(const char *name) {
    char *s = tigetstr(name);
    return s == reinterpret_cast<char *>(-1) ? nullptr : s;
}

bool display_open() {
    display_state &d = dis();
    if (d.screen) return true;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return false;
    // Known to terminfo, and able to place the cursor (TERM=dumb cannot).
    int error = 0;
    if (setupterm(nullptr, STDOUT_FILENO, &error) != OK) return false;
    bool addressable = terminfo_string("cup") != nullptr;
    // Before ncurses starts: the locale the cells are read in is the one it writes them in.
    if (addressable) setglyphs(d.glyphs, terminfo_string("acsc"));
    del_curterm(cur_term);
    if (!addressable) return false;
    // ncurses sizes its first screen, and the terminal's scrolling region, from LINES and
    // COLUMNS when they are set: the window's size within bounds, never a huge window's cells
    // nor a size exported earlier.
    if (auto [rows, cols] = reportedsize(); rows > 0) {
        setenv("LINES", std::to_string(std::min(rows, largest_side)).c_str(), 1);
        setenv("COLUMNS", std::to_string(std::min(cols, largest_side)).c_str(), 1);
    }
    d.screen = newterm(nullptr, stdout, stdin);
    if (!d.screen) return false;
    typeahead(-1); // a key typed meanwhile must not cut a drawing short
    display_resize();
    setwayout();
    return true;
}

void display_resize() {
    display_state &d = dis();
    if (!d.screen) return;
    auto [rows, cols] = reportedsize();
    d.rows = rows > 0 ? rows : LINES;
    d.cols = rows > 0 ? cols : COLS;
    resizeterm(std::min(d.rows, largest_side), std::min(d.cols, largest_side));
    d.toosmall = d.cols < console_cols || d.rows < least_rows;
}

bool display_toosmall() {
    return dis().toosmall;
}

void display_draw(text_console &con, bool whole) {
    display_state &d = dis();
    if (!d.screen) return;
    if (whole) {
        clearok(curscr, TRUE);
        erase();
        curs_set(1); // what the way out left, whatever ncurses last sent
        d.drawn_known = false;
    }
    if (d.toosmall) {
        drawnotice(d);
        d.drawn_known = false;
        return;
    }
    const int shown = std::min(LINES, console_rows), first = firstrow(con, LINES);
    for (int y = 0; y < shown; ++y) {
        const console_row &row = con.line(first + y);
        console_row &was = d.drawn[static_cast<std::size_t>(y)];
        if (d.drawn_known && was == row) continue;
        was = row;
        cchar_t cells[console_cols];
        for (int x = 0; x < console_cols; ++x)
            cells[x] = d.glyphs[row[static_cast<std::size_t>(x)]];
        mvadd_wchnstr(y, 0, cells, console_cols);
    }
    d.drawn_known = true;
    const int cursor = con.row - first;
    if (cursor < shown)
        move(cursor, con.col);
    else
        move(shown - 1, 0); // the cursor's row is below the terminal's last, and blank
    curs_set(cursor < shown && atprompt(con) ? 1 : 0);
    refresh();
    for (; con.bells > 0; --con.bells) beep();
}
