// The console: the game's only door to the keyboard and the screen. Output is buffered and
// written in one piece before each read; the game's 8-bit codes are shown as code page 437
// glyphs, in UTF-8 or as near as the terminal's character set comes. Back ends: the in-place
// console and the plain stream, on a device (core/device.hpp): the terminal, the page in the
// web build, or the script of tests, --verify and the fuzz target.
#pragma once

#include "core/textconsole.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

// ---------------------------------------------------------------------------------------------
// [SECTION] Code page 437: the glyph of every code, and pictures written in those glyphs
// ---------------------------------------------------------------------------------------------

// The display glyph of each code. Code 0 shows as a blank, 7 stays the bell and 10 ends a line.
inline constexpr std::array<char32_t, 256> cp437 = {
    U' ',      U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\a',
    U'\u25D8', U'\u25CB', U'\n',     U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC',
    U' ',      U'!',      U'"',      U'#',      U'$',      U'%',      U'&',      U'\'',
    U'(',      U')',      U'*',      U'+',      U',',      U'-',      U'.',      U'/',
    U'0',      U'1',      U'2',      U'3',      U'4',      U'5',      U'6',      U'7',
    U'8',      U'9',      U':',      U';',      U'<',      U'=',      U'>',      U'?',
    U'@',      U'A',      U'B',      U'C',      U'D',      U'E',      U'F',      U'G',
    U'H',      U'I',      U'J',      U'K',      U'L',      U'M',      U'N',      U'O',
    U'P',      U'Q',      U'R',      U'S',      U'T',      U'U',      U'V',      U'W',
    U'X',      U'Y',      U'Z',      U'[',      U'\\',     U']',      U'^',      U'_',
    U'`',      U'a',      U'b',      U'c',      U'd',      U'e',      U'f',      U'g',
    U'h',      U'i',      U'j',      U'k',      U'l',      U'm',      U'n',      U'o',
    U'p',      U'q',      U'r',      U's',      U't',      U'u',      U'v',      U'w',
    U'x',      U'y',      U'z',      U'{',      U'|',      U'}',      U'~',      U'\u2302',
    U'\u00C7', U'\u00FC', U'\u00E9', U'\u00E2', U'\u00E4', U'\u00E0', U'\u00E5', U'\u00E7',
    U'\u00EA', U'\u00EB', U'\u00E8', U'\u00EF', U'\u00EE', U'\u00EC', U'\u00C4', U'\u00C5',
    U'\u00C9', U'\u00E6', U'\u00C6', U'\u00F4', U'\u00F6', U'\u00F2', U'\u00FB', U'\u00F9',
    U'\u00FF', U'\u00D6', U'\u00DC', U'\u00A2', U'\u00A3', U'\u00A5', U'\u20A7', U'\u0192',
    U'\u00E1', U'\u00ED', U'\u00F3', U'\u00FA', U'\u00F1', U'\u00D1', U'\u00AA', U'\u00BA',
    U'\u00BF', U'\u2310', U'\u00AC', U'\u00BD', U'\u00BC', U'\u00A1', U'\u00AB', U'\u00BB',
    U'\u2591', U'\u2592', U'\u2593', U'\u2502', U'\u2524', U'\u2561', U'\u2562', U'\u2556',
    U'\u2555', U'\u2563', U'\u2551', U'\u2557', U'\u255D', U'\u255C', U'\u255B', U'\u2510',
    U'\u2514', U'\u2534', U'\u252C', U'\u251C', U'\u2500', U'\u253C', U'\u255E', U'\u255F',
    U'\u255A', U'\u2554', U'\u2569', U'\u2566', U'\u2560', U'\u2550', U'\u256C', U'\u2567',
    U'\u2568', U'\u2564', U'\u2565', U'\u2559', U'\u2558', U'\u2552', U'\u2553', U'\u256B',
    U'\u256A', U'\u2518', U'\u250C', U'\u2588', U'\u2584', U'\u258C', U'\u2590', U'\u2580',
    U'\u03B1', U'\u00DF', U'\u0393', U'\u03C0', U'\u03A3', U'\u03C3', U'\u00B5', U'\u03C4',
    U'\u03A6', U'\u0398', U'\u03A9', U'\u03B4', U'\u221E', U'\u03C6', U'\u03B5', U'\u2229',
    U'\u2261', U'\u00B1', U'\u2265', U'\u2264', U'\u2320', U'\u2321', U'\u00F7', U'\u2248',
    U'\u00B0', U'\u2219', U'\u00B7', U'\u221A', U'\u207F', U'\u00B2', U'\u25A0', U'\u00A0',
};

// The ASCII look-alike of each code, for a terminal whose character set has neither the glyph
// nor a line-drawing character for it: one printable character in the glyph's place, so that
// every page keeps its columns. Lines are - = | and their joints +, shades and blocks : % #,
// letters lose their accents. Code 0 and the blanks stay blanks, 7 the bell and 10 the line end.
inline constexpr std::array<char, 256> cp437_ascii = {
    ' ', 'o', '@',  'v', '+',  '*', '^', '\a', // 0: blank ☺ ☻ ♥ ♦ ♣ ♠ bell
    '#', 'o', '\n', 'M', 'F',  'd', 'J', '*',  // 8: ◘ ○ line end ♂ ♀ ♪ ♫ ☼
    '>', '<', '|',  '!', 'P',  'S', '-', '|',  // 16: ► ◄ ↕ ‼ ¶ § ▬ ↨
    '^', 'v', '>',  '<', 'L',  '-', '^', 'v',  // 24: ↑ ↓ → ← ∟ ↔ ▲ ▼
    ' ', '!', '"',  '#', '$',  '%', '&', '\'', // 32
    '(', ')', '*',  '+', ',',  '-', '.', '/',  // 40
    '0', '1', '2',  '3', '4',  '5', '6', '7',  // 48
    '8', '9', ':',  ';', '<',  '=', '>', '?',  // 56
    '@', 'A', 'B',  'C', 'D',  'E', 'F', 'G',  // 64
    'H', 'I', 'J',  'K', 'L',  'M', 'N', 'O',  // 72
    'P', 'Q', 'R',  'S', 'T',  'U', 'V', 'W',  // 80
    'X', 'Y', 'Z',  '[', '\\', ']', '^', '_',  // 88
    '`', 'a', 'b',  'c', 'd',  'e', 'f', 'g',  // 96
    'h', 'i', 'j',  'k', 'l',  'm', 'n', 'o',  // 104
    'p', 'q', 'r',  's', 't',  'u', 'v', 'w',  // 112
    'x', 'y', 'z',  '{', '|',  '}', '~', '^',  // 120: ... ⌂
    'C', 'u', 'e',  'a', 'a',  'a', 'a', 'c',  // 128: Ç ü é â ä à å ç
    'e', 'e', 'e',  'i', 'i',  'i', 'A', 'A',  // 136: ê ë è ï î ì Ä Å
    'E', 'a', 'A',  'o', 'o',  'o', 'u', 'u',  // 144: É æ Æ ô ö ò û ù
    'y', 'O', 'U',  'c', 'L',  'Y', 'P', 'f',  // 152: ÿ Ö Ü ¢ £ ¥ ₧ ƒ
    'a', 'i', 'o',  'u', 'n',  'N', 'a', 'o',  // 160: á í ó ú ñ Ñ ª º
    '?', '-', '-',  '/', '/',  '!', '<', '>',  // 168: ¿ ⌐ ¬ ½ ¼ ¡ « »
    ':', '%', '#',  '|', '+',  '+', '+', '+',  // 176: ░ ▒ ▓ │ ┤ ╡ ╢ ╖
    '+', '+', '|',  '+', '+',  '+', '+', '+',  // 184: ╕ ╣ ║ ╗ ╝ ╜ ╛ ┐
    '+', '+', '+',  '+', '-',  '+', '+', '+',  // 192: └ ┴ ┬ ├ ─ ┼ ╞ ╟
    '+', '+', '+',  '+', '+',  '=', '+', '+',  // 200: ╚ ╔ ╩ ╦ ╠ ═ ╬ ╧
    '+', '+', '+',  '+', '+',  '+', '+', '+',  // 208: ╨ ╤ ╥ ╙ ╘ ╒ ╓ ╫
    '+', '+', '+',  '#', '#',  '#', '#', '#',  // 216: ╪ ┘ ┌ █ ▄ ▌ ▐ ▀
    'a', 'B', 'G',  'n', 'E',  'o', 'u', 't',  // 224: α ß Γ π Σ σ µ τ
    'O', 'O', 'O',  'd', '8',  'o', 'e', 'n',  // 232: Φ Θ Ω δ ∞ φ ε ∩
    '=', '+', '>',  '<', '(',  ')', '/', '~',  // 240: ≡ ± ≥ ≤ ⌠ ⌡ ÷ ≈
    'o', '.', '.',  'v', 'n',  '2', '#', ' ',  // 248: ° ∙ · √ ⁿ ² ■ no-break blank
};
static_assert(
    [] {
        auto blank = [](char32_t g) { return g == U' ' || g == U'\u00A0'; };
        for (int code = 0; code < 256; ++code) {
            const char c = cp437_ascii[code];
            if (code == 7 || code == 10) {
                if (static_cast<char32_t>(c) != cp437[code]) return false;
            } else if (c < ' ' || c > '~' || blank(cp437[code]) != (c == ' ')) {
                return false; // not one printable character, or a blank lost or gained
            } else if (code >= ' ' && code <= '~' && c != code) {
                return false; // ASCII shows as itself
            }
        }
        return true;
    }(),
    "every look-alike is one printable ASCII character; blanks, the bell, the line end and "
    "ASCII itself stay as they are");

// In pictures and maps this character stands for code 0, the invisible wall, which has no
// glyph of its own (it shows as a blank).
inline constexpr char32_t invisible_wall = U'\u00A4'; // ¤

namespace glyph_detail {
// Reads one UTF-8 character of `s` at `i`, moving `i` past it.
consteval char32_t nextchar(std::string_view s, std::size_t &i) {
    auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[k])); };
    char32_t c = b(i);
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    if (extra) c &= 0x3F >> extra;
    if (i + extra >= s.size()) throw "a picture row ends inside a UTF-8 character";
    for (int k = 1; k <= extra; ++k) c = (c << 6) | (b(i + k) & 0x3F);
    i += extra + 1;
    return c;
}
struct glyph_code {
    char32_t glyph;
    unsigned char code;
};
// Every drawable code (not the bell or the line end) by its glyph, the lower code first where
// two share one, built once so that decoding a picture searches it instead of the whole page.
inline constexpr auto codes_by_glyph = [] {
    std::array<glyph_code, 253> t{};
    std::size_t n = 0;
    for (int code = 1; code < 256; ++code)
        if (code != 7 && code != 10) t[n++] = {cp437[code], static_cast<unsigned char>(code)};
    std::sort(t.begin(), t.end(), [](glyph_code a, glyph_code b) {
        return a.glyph != b.glyph ? a.glyph < b.glyph : a.code < b.code;
    });
    return t;
}();
// The code whose glyph is `c`; the bell's bullet and the line end are not drawable.
consteval unsigned char codeof(char32_t c) {
    if (c == invisible_wall) return 0;
    if (c == U'\u2022') return 7;
    auto at = std::lower_bound(codes_by_glyph.begin(), codes_by_glyph.end(), c,
                               [](glyph_code g, char32_t v) { return g.glyph < v; });
    if (at == codes_by_glyph.end() || at->glyph != c)
        throw "a picture uses a character that code page 437 cannot show";
    return at->code;
}
} // namespace glyph_detail

// The number of cells a row written in glyphs takes on screen.
consteval std::size_t cellcount(std::string_view row) {
    std::size_t cells = 0;
    for (std::size_t i = 0; i < row.size(); ++cells) glyph_detail::nextchar(row, i);
    return cells;
}

// A picture of `Rows` rows of exactly `Cols` cells, as the game's codes.
template <std::size_t Rows, std::size_t Cols>
using picture = std::array<std::array<unsigned char, Cols>, Rows>;

// Turns rows written in code page 437 glyphs into codes. A row of the wrong width, a missing
// row or a glyph outside the code page does not compile (when the result is constexpr).
template <std::size_t Rows, std::size_t Cols>
consteval picture<Rows, Cols> decode(const std::array<std::string_view, Rows> &rows) {
    picture<Rows, Cols> out{};
    for (std::size_t r = 0; r < Rows; ++r) {
        if (cellcount(rows[r]) != Cols) throw "a picture row is not exactly as wide as the picture";
        std::size_t i = 0;
        for (std::size_t c = 0; c < Cols; ++c)
            out[r][c] = glyph_detail::codeof(glyph_detail::nextchar(rows[r], i));
    }
    return out;
}

// A line of page text built at compile time, of up to 80 characters.
struct text_line {
    std::array<char, 80> chars{};
    std::size_t size = 0;
    constexpr operator std::string_view() const { return {chars.data(), size}; }
    constexpr void append(std::string_view s) {
        if (size + s.size() > chars.size()) throw "a line of page text fits 80 columns";
        for (char c : s) chars[size++] = c;
    }
};

// A line of page text with a figure in it, so that a price or a reward printed in a page is the
// same number the rules use: `withfigure("$", boat_fare, " Big Ones")`.
consteval text_line withfigure(std::string_view before, std::int32_t figure,
                               std::string_view after) {
    if (figure < 0) throw "a figure in a page is not negative";
    char digits[10]{};
    std::size_t count = 0;
    do digits[count++] = static_cast<char>('0' + figure % 10);
    while ((figure /= 10) > 0);
    text_line line;
    line.append(before);
    while (count > 0) line.append({&digits[--count], 1});
    line.append(after);
    return line;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Output: codes go into one buffer that reaches the screen before the next read
// ---------------------------------------------------------------------------------------------

// Writes game codes ('\n' ends a line).
void put(std::string_view codes);
void put(char code);
// Writes `codes`, then ends the line.
void putline(std::string_view codes = {});
// Writes n line ends.
void newlines(int n);
// Writes n blanks.
void blanks(int n);
// Writes a number right-aligned in `width` columns (wider if it needs more).
void putnum(std::int32_t value, int width = 0);
// The columns `putnum` takes for a number: its digits and its sign. A number followed by blanks
// to fill a field is written as `putnum(value)` and `blanks(width - numwidth(value))`.
int numwidth(std::int32_t value);
// Sends everything written so far to the screen.
void flush();
// Appends the glyphs of game codes to `out` in UTF-8.
void appendglyphs(std::string_view codes, std::string &out);

// How a page waits after its "PRESS ENTER" notice: not at all (its caller reads), for one key
// (screens, menus, shops), or for a whole line (the introduction, the story, announcements).
enum class waitfor { nothing, key, line };

// Writes `lead` blanks and "PRESS ENTER", then `lineends` line ends, and waits as `wait` says.
void pressenterat(int lead, int lineends = 0, waitfor wait = waitfor::nothing);

// A page that ends in a "PRESS ENTER" notice: `before` line ends, each of `lines` as a line of
// its own, `after` line ends, `lead` blanks and the notice, `end` line ends; then the wait.
struct page_rec {
    int before = 0;
    std::span<const std::string_view> lines{};
    int after = 0;
    int lead = 0;
    int end = 0;
    waitfor wait = waitfor::key;
    bool notice = true; // false: the page has no notice, yet waits all the same
};
void showpage(const page_rec &page);

// Writes each of `lines` as a line of its own.
void putlines(std::span<const std::string_view> lines);

// A row of a decoded picture as codes, every blank included.
template <std::size_t Cols>
std::string_view rowcodes(const std::array<unsigned char, Cols> &row) {
    return {reinterpret_cast<const char *>(row.data()), Cols};
}
// The row without its trailing blanks, for pictures whose rows end the line.
template <std::size_t Cols>
std::string_view rowtext(const std::array<unsigned char, Cols> &row) {
    std::string_view s = rowcodes(row);
    return s.substr(0, s.find_last_not_of(' ') + 1);
}
// Writes each row of a picture as a line, without the blanks at its right end.
template <std::size_t Rows, std::size_t Cols>
void putpicture(const picture<Rows, Cols> &rows) {
    for (const auto &row : rows) putline(rowtext(row));
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Input: three ways to read
// ---------------------------------------------------------------------------------------------

// Thrown by a read when the input has ended (closed, or the terminal hung up).
struct input_closed : std::runtime_error {
    input_closed() : std::runtime_error("input closed") {}
};

// Every read takes what one key sends as one: a character beyond ASCII (its UTF-8 bytes, or a
// byte that is no part of one) reads as '?', an escape sequence as one key.

// One key without echo and without Enter. Arrow keys read as '8', '2', '6', '4' and a keypad in
// application mode as its digits; any other escape sequence, or a lone ESC, is one key (ESC).
char key();
// Waits for Enter: reads one line of up to 100 characters and discards it. A longer line is
// taken 100 characters at a time.
void line();
// The next character of line-buffered input, skipping line ends and escape sequences.
char linechar();
// Discards the rest of the current input line, its line end included.
void restofline();

// ---------------------------------------------------------------------------------------------
// [SECTION] Back ends
// ---------------------------------------------------------------------------------------------

// The plain stream on the device the program is linked with (core/device.hpp): on the
// terminal's, reads file descriptor 0 and writes the bytes to 1 as they are, switching a
// terminal's modes for each kind of read. The codes go out in UTF-8 where the
// locale's character set is UTF-8; in any other, as the locale's own character where it has
// the glyph, else as the ASCII look-alike.
void useterminal();
// Whether the terminal shows the glyph of `code` as itself: always where the locale's character
// set is UTF-8, else where that set has it as a character one column wide. The locale is read
// once, when the terminal is first used (setlocale(LC_CTYPE, "") and nl_langinfo(CODESET)).
bool terminalshows(unsigned char code);
// The in-place console: the output is applied to an 80x25 text console in memory, drawn on the
// terminal in place before each read. False, and nothing changed, when standard input and output
// are not both a terminal that terminfo knows and that can place its cursor.
bool usescreen();
// At the normal end of the game: the last output reaches the screen; the in-place console gives
// the terminal back and prints its last page on the normal screen, to stay in the scrollback.
void closeconsole();
// The bytes the codes are written as: their glyphs in UTF-8, or each code's ASCII look-alike.
enum class glyphset { utf8, ascii };
// Reads from `input` and keeps the output for `transcript`; the end of `input` ends the input.
void usescript(std::string_view input, glyphset glyphs = glyphset::utf8);
// Reads from `input` as `usescript` does, the output going to the in-place console in memory,
// as the terminal and the page show it, read back with `screenrows`.
void usescriptscreen(std::string_view input);
// The scripted output so far, in the script's glyphs; it is cleared.
std::string transcript();
// The in-place console's 25 rows as UTF-8 lines, each without its trailing blanks.
std::string screenrows();
// Where the in-place console's cursor stands (0-based console row and column).
struct screen_cursor {
    int row, col;
};
screen_cursor cursorat();
// Counts the `write` calls the devices have made (for measuring: the script makes none).
std::uint64_t writecount();
// Counts the bytes the plain stream has written (a replay's output is bounded).
std::uint64_t bytecount();

// ---------------------------------------------------------------------------------------------
// [SECTION] Recording and replay: hooks into the input, the console in memory
// ---------------------------------------------------------------------------------------------

// What a recording or a replay hooks into the input (a null member hooks nothing).
struct input_hooks {
    // A replay's bytes, in place of standard input or the script: the next byte, left in place,
    // as it would have come within `ms` milliseconds (`ms` < 0: however long it takes); -1 for
    // none. Throws input_closed where the replay ends; `input_handed_over` where the replay has
    // put other hooks in place, the input coming from the device (or the script) from there on.
    int (*peek)(int ms) = nullptr;
    // Told of each byte as the game takes it (before it answers it), and of each wait of a
    // limited time that found none (a lone ESC, the end of a line typed without Enter).
    void (*taken)(unsigned char byte) = nullptr;
    void (*none)() = nullptr;
};
inline constexpr int input_handed_over = -2;
// Puts `hooks` in place of the ones before; `{}` takes them away.
void hookinput(const input_hooks &hooks);
// Keeps the console in memory up to date under the plain stream too, on any device (the
// in-place console always does), from a blank console on.
void keepscreen();
// The console in memory, as the output so far has left it.
const text_console &consolescreen();
// While held, the in-place console is kept in memory and not drawn (a replay seeking a key
// replays the keys before it unseen); let go, it is drawn whole.
void holddrawing(bool held);
// A fresh game on the back end in use: the console blank, nothing set aside; the device, its
// mode and the keys typed on it stay (a replay that seeks back starts again from its start).
void restartconsole();
// Whether typed lines are edited by the console itself (Backspace taken by the game, what is
// typed shown on its screen), as the in-place console does, or come edited by the terminal.
bool editslines();
// Sets it: a replay edits lines as its recording did.
void editlines(bool own);
// For a game continued from its recording: from here on the output reaches the console in
// memory only (blank at first, nothing set aside), the screen and the plain stream untouched,
// while the recording is replayed; `showconsole` ends that and shows the screen as the replay
// left it: drawn whole in place, or its rows up to the cursor written on the plain stream.
void quietconsole();
void showconsole();
// For a replay on the in-place console: a byte typed on the device within `ms` milliseconds
// (-1: however long it takes), or -1 when none came; throws input_closed when the input has
// ended. The screen is drawn meanwhile; Ctrl-L draws it anew.
int typedkey(int ms);
