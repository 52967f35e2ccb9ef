// The console's back ends, the UTF-8 mapping of the game's codes and the three reads. What lies
// under it, the terminal or the page, is the device (core/device.hpp).
#include "core/console.hpp"

#include "core/device.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

// ---- the UTF-8 form of every code, worked out once at compile time

struct utf8_glyph {
    char bytes[4];
    unsigned char size;
};

constexpr utf8_glyph encode(char32_t c) {
    utf8_glyph g{};
    auto byte = [](char32_t v) { return static_cast<char>(static_cast<unsigned char>(v)); };
    if (c < 0x80) {
        g.bytes[0] = byte(c);
        g.size = 1;
    } else if (c < 0x800) {
        g.bytes[0] = byte(0xC0 | (c >> 6));
        g.bytes[1] = byte(0x80 | (c & 0x3F));
        g.size = 2;
    } else {
        g.bytes[0] = byte(0xE0 | (c >> 12));
        g.bytes[1] = byte(0x80 | ((c >> 6) & 0x3F));
        g.bytes[2] = byte(0x80 | (c & 0x3F));
        g.size = 3;
    }
    return g;
}

constexpr std::array<utf8_glyph, 256> utf8_table = [] {
    std::array<utf8_glyph, 256> t{};
    for (int code = 0; code < 256; ++code) t[code] = encode(cp437[code]);
    return t;
}();

// ---- the console's state: which back end, the output buffer and the input buffer

constexpr int esc = 27;
constexpr int esc_wait_ms = 25; // time for the rest of an escape sequence to arrive
constexpr int line_limit = 100;
constexpr unsigned char redraw_key = 12;         // Ctrl-L
constexpr unsigned char end_key = 4;             // Ctrl-D: on an empty line, the end of input
constexpr unsigned char erase_keys[] = {127, 8}; // Backspace, as terminals send it
constexpr std::size_t typed_limit = 4095;        // a terminal's own line holds no more

struct console_state {
    bool scripted = true; // input from `script`, output kept here, the device untouched
    bool inplace = false; // the in-place console (on the device, or kept for a script)
    text_console screen;  // what the in-place console shows
    bool changed = false; // whether `screen` changed since it was drawn
    char out[1 << 16];    // UTF-8 not yet flushed: a few pages' worth
    std::size_t out_size = 0;
    std::string script; // scripted input
    std::size_t script_at = 0;
    std::string shown; // scripted output flushed so far
    char inbuf[512];   // terminal input read but not yet taken
    std::size_t in_at = 0, in_size = 0;
    // Character reads take a line from the input as they go; `in_line` while they are inside
    // one. Key reads do not see the rest of that line: a key read sets it aside here, where it
    // waits until line reads discard it (what was typed after the hero's name).
    bool in_line = false;
    std::string pending;
    std::size_t pending_at = 0;
    std::uint64_t writes = 0;
};

console_state &con() {
    static console_state c;
    return c;
}

// Whether a byte can be taken without waiting longer than `ms` milliseconds.
bool ready(int ms) {
    console_state &c = con();
    if (c.scripted) return c.script_at < c.script.size();
    return c.in_at < c.in_size || device_ready(ms);
}

// Shows the in-place console on the device: what changed, or the whole screen. A script's
// console is only kept.
void drawscreen(bool whole) {
    console_state &c = con();
    if (!whole && !c.changed) return;
    c.changed = false;
    if (!c.scripted) device_draw(c.screen, whole);
}

// The next byte of input, left in place; waits for one when none has been read yet.
unsigned char peekbyte() {
    console_state &c = con();
    if (c.scripted) {
        if (c.script_at >= c.script.size()) throw input_closed();
        return static_cast<unsigned char>(c.script[c.script_at]);
    }
    for (;;) {
        if (c.in_at == c.in_size) {
            c.in_size = device_read(c.inbuf, sizeof c.inbuf, c.inplace ? &c.screen : nullptr);
            c.in_at = 0;
            if (c.in_size == 0) throw input_closed(); // end of file, or the terminal hung up
        }
        if (!c.inplace || static_cast<unsigned char>(c.inbuf[c.in_at]) != redraw_key) break;
        ++c.in_at; // Ctrl-L draws the whole screen again and is no key for the game
        drawscreen(true);
    }
    return static_cast<unsigned char>(c.inbuf[c.in_at]);
}

unsigned char nextbyte() {
    unsigned char b = peekbyte();
    console_state &c = con();
    ++(c.scripted ? c.script_at : c.in_at);
    return b;
}

bool pending_left() {
    console_state &c = con();
    return c.pending_at < c.pending.size();
}

// The next byte of line input: the rest of the pending line first, then the input itself.
unsigned char linebyte() {
    console_state &c = con();
    if (pending_left()) return static_cast<unsigned char>(c.pending[c.pending_at++]);
    unsigned char b = nextbyte();
    c.in_line = b != '\n';
    return b;
}

// Before a key read: takes the rest of the line that character reads are inside out of the
// input. Only its first characters are kept (no read looks further) and its line end, so that
// a line of any length costs no more memory.
void setasideline() {
    console_state &c = con();
    if (!c.in_line) return;
    c.pending.clear(); // all taken: the input is read only once the pending line is used up
    c.pending_at = 0;
    for (unsigned char b; (b = nextbyte()) != '\n';)
        if (c.pending.size() < line_limit) c.pending.push_back(static_cast<char>(b));
    c.pending.push_back('\n');
    c.in_line = false;
}

// Whether the next byte of line input is a line end, without waiting for one.
bool linebreaknext() {
    console_state &c = con();
    if (pending_left()) return c.pending[c.pending_at] == '\n';
    return ready(0) && peekbyte() == '\n';
}

// Before a read: the mode first, so that whoever sees the page knows the mode is in force.
void prepare(term_mode mode) {
    console_state &c = con();
    if (!c.scripted) device_setmode(c.inplace ? term_mode::screen : mode);
    flush();
}

// The in-place console's own line editing, the terminal's being off: takes one typed line into
// `pending`, Backspace erasing the last character, Enter moving the cursor to the next row, as
// a terminal's echo does. With `echo` the typed characters show at the cursor.
void takeline(bool echo) {
    console_state &c = con();
    c.pending.clear();
    c.pending_at = 0;
    for (;;) {
        flush();
        unsigned char b = nextbyte();
        if (b == '\n') {
            c.pending.push_back('\n');
            put('\n');
            return;
        }
        if (std::find(std::begin(erase_keys), std::end(erase_keys), b) != std::end(erase_keys)) {
            if (c.pending.empty()) continue;
            unsigned char last = static_cast<unsigned char>(c.pending.back());
            c.pending.pop_back();
            if (echo && last >= ' ') {
                consoleunput(c.screen);
                c.changed = true;
            }
        } else if (b == end_key) {
            if (c.pending.empty()) throw input_closed();
        } else if (c.pending.size() < typed_limit) {
            c.pending.push_back(static_cast<char>(b));
            if (echo && b >= ' ') put(static_cast<char>(b));
        }
    }
}

// The walking digit of an arrow key's final byte (up, down, right, left); ESC for any other.
char arrowkey(unsigned char final) {
    switch (final) {
        case 'A':
            return '8';
        case 'B':
            return '2';
        case 'C':
            return '6';
        case 'D':
            return '4';
        default:
            return esc;
    }
}

// The rest of an escape sequence after ESC, read as one key.
char escapekey() {
    if (!ready(esc_wait_ms)) return esc;
    unsigned char intro = nextbyte();
    if (intro == 'O') { // application cursor keys and keypad
        if (!ready(esc_wait_ms)) return esc;
        unsigned char k = nextbyte();
        if (k >= 'p' && k <= 'y') return static_cast<char>('0' + (k - 'p'));
        return arrowkey(k);
    }
    if (intro != '[') return esc; // ESC and one more key: Alt with a key, a key without meaning
    // A control sequence: parameter and intermediate bytes, then one final byte.
    while (ready(esc_wait_ms)) {
        unsigned char b = nextbyte();
        if (b < 0x20 || b > 0x3F) return arrowkey(b);
    }
    return esc;
}

} // namespace

// ---- output

void appendglyphs(std::string_view codes, std::string &out) {
    for (unsigned char code : codes) {
        const utf8_glyph &g = utf8_table[code];
        out.append(g.bytes, g.size);
    }
}

void put(std::string_view codes) {
    console_state &c = con();
    if (c.inplace) {
        consoleput(c.screen, codes);
        c.changed = true;
        return;
    }
    while (!codes.empty()) {
        // Map as many codes as surely fit (a glyph takes at most 3 bytes, a copy writes 4),
        // keeping the fill level in a local: stores through char pointers alias everything.
        std::size_t room = (sizeof c.out - c.out_size - 1) / 3;
        if (room == 0) {
            flush();
            continue;
        }
        std::string_view part = codes.substr(0, room);
        codes.remove_prefix(part.size());
        char *at = c.out + c.out_size;
        for (char ch : part) {
            const utf8_glyph &g = utf8_table[static_cast<unsigned char>(ch)];
            std::memcpy(at, g.bytes, sizeof g.bytes); // all four: one fixed-size copy
            at += g.size;
        }
        c.out_size = static_cast<std::size_t>(at - c.out);
    }
}

void put(char code) {
    put(std::string_view(&code, 1));
}

void putline(std::string_view codes) {
    put(codes);
    put('\n');
}

void newlines(int n) {
    for (int i = 0; i < n; ++i) put('\n');
}

void blanks(int n) {
    for (int i = 0; i < n; ++i) put(' ');
}

namespace {
// The number's characters, in `digits`.
std::string_view numtext(std::int32_t value, char (&digits)[12]) {
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    return {digits, static_cast<std::size_t>(end - digits)};
}
} // namespace

void putnum(std::int32_t value, int width) {
    char digits[12];
    const std::string_view text = numtext(value, digits);
    blanks(width - static_cast<int>(text.size()));
    put(text);
}

int numwidth(std::int32_t value) {
    char digits[12];
    return static_cast<int>(numtext(value, digits).size());
}

namespace {
void waitas(waitfor wait) {
    if (wait == waitfor::key) key();
    if (wait == waitfor::line) line();
}
} // namespace

void pressenterat(int lead, int lineends, waitfor wait) {
    blanks(lead);
    put("PRESS ENTER");
    newlines(lineends);
    waitas(wait);
}

void showpage(const page_rec &page) {
    newlines(page.before);
    putlines(page.lines);
    newlines(page.after);
    if (page.notice) pressenterat(page.lead, page.end);
    waitas(page.wait);
}

void putlines(std::span<const std::string_view> lines) {
    for (std::string_view l : lines) putline(l);
}

void flush() {
    console_state &c = con();
    if (c.inplace) {
        drawscreen(false);
        return;
    }
    if (c.out_size == 0) return;
    std::string_view bytes(c.out, c.out_size);
    if (c.scripted)
        c.shown += bytes;
    else
        c.writes += static_cast<std::uint64_t>(device_write(bytes));
    c.out_size = 0;
}

// ---- input

char key() {
    prepare(term_mode::key);
    setasideline();
    unsigned char c = nextbyte();
    return c == esc ? escapekey() : static_cast<char>(c);
}

void line() {
    prepare(term_mode::line);
    if (con().inplace && !pending_left()) takeline(false);
    int taken = 0;
    for (;;) {
        unsigned char c = linebyte();
        if (c == '\n') return;
        if (c == '\r') continue;
        if (++taken == line_limit) {
            // A line of exactly 100 characters still ends here; a longer one leaves its rest.
            if (linebreaknext()) linebyte();
            return;
        }
    }
}

char linechar() {
    prepare(term_mode::line);
    for (;;) {
        if (!pending_left() && con().inplace) takeline(true);
        char ch = static_cast<char>(linebyte());
        if (ch != '\n' && ch != '\r') return ch;
    }
}

void restofline() {
    prepare(term_mode::line);
    if (con().inplace && !pending_left()) takeline(true);
    while (linebyte() != '\n') {
    }
}

// ---- back ends

void useterminal() {
    flush();
    console_state &c = con();
    c.scripted = false;
    c.inplace = false;
    c.in_at = c.in_size = 0;
    c.in_line = false;
    c.pending.clear();
    c.pending_at = 0;
}

void usescript(std::string_view input, bool screen) {
    flush();
    console_state &c = con();
    c.scripted = true;
    c.inplace = screen;
    c.screen = {};
    c.script.assign(input);
    c.script_at = 0;
    c.shown.clear();
    c.in_line = false;
    c.pending.clear();
    c.pending_at = 0;
}

bool usescreen() {
    if (!device_openscreen()) return false;
    useterminal();
    console_state &c = con();
    c.inplace = true;
    c.screen = {};
    c.changed = true;
    return true;
}

void closeconsole() {
    flush();
    console_state &c = con();
    if (!c.inplace || c.scripted) return;
    c.inplace = false;
    device_closescreen();
    // The last page again on the normal screen, from its first row that shows anything.
    const text_console &last = c.screen;
    int first = 0;
    while (first < last.row && rowtext(last.line(first)).empty()) ++first;
    for (int r = first; r <= last.row; ++r)
        if (r < last.row || !rowtext(last.line(r)).empty()) putline(rowtext(last.line(r)));
    flush();
}

std::string transcript() {
    flush();
    std::string s;
    s.swap(con().shown);
    return s;
}

std::string screenrows() {
    console_state &c = con();
    flush();
    std::string rows;
    for (int r = 0; r < console_rows; ++r) {
        appendglyphs(rowtext(c.screen.line(r)), rows);
        rows += '\n';
    }
    return rows;
}

screen_cursor cursorat() {
    const text_console &s = con().screen;
    return {s.row, s.col};
}

std::uint64_t writecount() {
    return con().writes;
}
