// The console's back ends, the UTF-8 mapping of the game's codes and the three reads. What lies
// under it, the terminal, the page or the script, is the device (core/device.hpp).
#include "core/console.hpp"

#include "core/device.hpp"

#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <langinfo.h>

namespace {

// ---- the bytes of every code: its glyph in UTF-8, its ASCII look-alike, or as the locale has it

struct glyph_bytes {
    char bytes[4];
    unsigned char size;
};
using glyph_table = std::array<glyph_bytes, 256>;

constexpr glyph_bytes encode(char32_t c) {
    glyph_bytes g{};
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

constexpr glyph_table utf8_glyphs = [] {
    glyph_table t{};
    for (int code = 0; code < 256; ++code) t[code] = encode(cp437[code]);
    return t;
}();

constexpr glyph_table ascii_glyphs = [] {
    glyph_table t{};
    for (int code = 0; code < 256; ++code) t[code] = {{cp437_ascii[code]}, 1};
    return t;
}();

// What the terminal's locale makes of the glyphs, read once.
struct locale_glyphs {
    std::array<bool, 256> shown{}; // whether the glyph shows as itself
    glyph_table stream{};          // what the plain stream writes for each code
};

const locale_glyphs &terminalglyphs() {
    static const locale_glyphs glyphs = [] {
        locale_glyphs g;
        std::setlocale(LC_CTYPE, "");
        const bool utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
        for (std::size_t code = 0; code < 256; ++code) {
            const char32_t glyph = cp437[code];
            g.shown[code] = utf8 || glyph < 0x80;
            g.stream[code] = utf8 ? utf8_glyphs[code] : ascii_glyphs[code];
            if (g.shown[code]) continue;
            // The locale's own character, where its character set has one a column wide.
            char bytes[MB_LEN_MAX];
            std::mbstate_t state{};
            const std::size_t n = std::wcrtomb(bytes, static_cast<wchar_t>(glyph), &state);
            if (n > sizeof g.stream[code].bytes || wcwidth(static_cast<wchar_t>(glyph)) != 1)
                continue; // (size_t)-1 when it has none
            std::memcpy(g.stream[code].bytes, bytes, n);
            g.stream[code].size = static_cast<unsigned char>(n);
            g.shown[code] = true;
        }
        return g;
    }();
    return glyphs;
}

// ---- the console's state: its device, the output buffer and the input buffer

constexpr int esc = 27;
constexpr int esc_wait_ms = 25; // time for the rest of an escape sequence to arrive
constexpr int line_limit = 100;
constexpr unsigned char redraw_key = 12;         // Ctrl-L
constexpr unsigned char end_key = 4;             // Ctrl-D: on an empty line, the end of input
constexpr unsigned char erase_keys[] = {127, 8}; // Backspace, as terminals send it
constexpr std::size_t typed_limit = 4095;        // a terminal's own line holds no more

struct console_state {
    const console_device *device = &script_device; // where keys come from and output goes
    bool inplace = false;                          // the in-place console, drawn on the device
    bool keep = false;                             // `screen` is kept under the plain stream too
    bool editlines = false; // typed lines are edited by the console itself, not the terminal
    bool quiet = false;     // the output reaches `screen` only (`quietconsole`)
    text_console screen;    // what the in-place console shows
    bool changed = false;   // whether `screen` changed since it was drawn
    bool held = false;      // `screen` is kept but not drawn (a replay seeking a key)
    input_hooks hooks;      // a recording's or a replay's
    const glyph_table *glyphs = &utf8_glyphs; // the bytes the codes are written as
    char out[1 << 16];                        // bytes not yet flushed: a few pages' worth
    std::size_t out_size = 0;
    char inbuf[512]; // input read but not yet taken
    std::size_t in_at = 0, in_size = 0;
    bool ended = false; // the input has ended
    // Character reads take a line from the input as they go; `in_line` while they are inside
    // one. Key reads do not see the rest of that line: a key read sets it aside here, where it
    // waits until line reads discard it (what was typed after the hero's name).
    bool in_line = false;
    std::string pending;
    std::size_t pending_at = 0;
    std::uint64_t writes = 0;
    std::uint64_t bytes = 0; // written by the plain stream
};

console_state &con() {
    static console_state c;
    return c;
}

// Shows the in-place console on the device: what changed, or the whole screen.
void drawscreen(bool whole) {
    console_state &c = con();
    if (c.quiet || c.held || (!whole && !c.changed)) return;
    c.changed = false;
    c.device->draw(c.screen, whole);
}

// The next byte of the device, left in place: waits for it as long as it takes (`ms` < 0) or
// at most `ms` milliseconds. -1 when none came in time, or when the input has ended.
int inputpeek(int ms) {
    console_state &c = con();
    for (;;) {
        if (c.in_at == c.in_size) {
            // The device draws the in-place console anew meanwhile, should the screen ask for
            // it (after a resize), however long the wait.
            text_console *screen = c.inplace ? &c.screen : nullptr;
            if (c.ended || (ms >= 0 && !c.device->ready(ms, screen))) return -1;
            c.in_size = c.device->read(c.inbuf, sizeof c.inbuf, screen);
            c.in_at = 0;
            c.ended = c.in_size == 0; // end of file, the terminal hung up, the script's end
            if (c.ended) return -1;
        }
        if (!c.inplace || static_cast<unsigned char>(c.inbuf[c.in_at]) != redraw_key) break;
        ++c.in_at; // Ctrl-L draws the whole screen again and is no key for the game
        drawscreen(true);
    }
    return static_cast<unsigned char>(c.inbuf[c.in_at]);
}

// Takes the byte `inputpeek` has left in place.
void inputtake() {
    ++con().in_at;
}

// The next byte of input as `inputpeek`, or a replay's in its place. Every read of the game
// looks through here, so a recording learns of each wait that found no byte.
int peekwithin(int ms) {
    const input_hooks &h = con().hooks;
    if (h.peek) {
        const int b = h.peek(ms);
        if (b != input_handed_over) return b;
    }
    const int b = inputpeek(ms); // with the hooks the replay handed over to, if it did
    if (b < 0 && ms >= 0 && h.none) h.none();
    return b;
}

// Takes the next byte of input: the one place the game consumes a byte, which a recording is
// told of before the game answers it.
unsigned char nextbyte() {
    const int b = peekwithin(-1);
    if (b < 0) throw input_closed();
    const input_hooks &h = con().hooks;
    if (!h.peek) inputtake();
    if (h.taken) h.taken(static_cast<unsigned char>(b));
    return static_cast<unsigned char>(b);
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

// The next byte of line input (the rest of the pending line first), left in place; -1 as for
// `peekwithin`.
int peekline(int ms) {
    console_state &c = con();
    if (pending_left()) return static_cast<unsigned char>(c.pending[c.pending_at]);
    return peekwithin(ms);
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

// ---- keys: the bytes a terminal sends for one key, read as one

// Where a key's bytes come from: the input, or line input (the pending line first).
enum class keysource { input, line };

unsigned char takebyte(keysource from) {
    return from == keysource::line ? linebyte() : nextbyte();
}

// The byte after those taken, if it comes within the time a sequence's bytes take to arrive
// and `fits`; then it is taken. A line end is never part of a key.
template <class Fits>
int follower(keysource from, Fits fits) {
    const int b = from == keysource::line ? peekline(esc_wait_ms) : peekwithin(esc_wait_ms);
    if (b < 0 || b == '\n' || !fits(static_cast<unsigned char>(b))) return -1;
    takebyte(from);
    return b;
}

// The walking digit of an arrow key's final byte (up, down, right, left); ESC for any other.
char arrowkey(int final) {
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

// The rest of an escape sequence after ESC: an arrow key's digit, a keypad's digit, or ESC for
// a lone ESC and any other sequence.
char escapekey(keysource from) {
    auto ascii = [](unsigned char b) { return b < 0x80; };
    const int intro = follower(from, ascii);
    if (intro == 'O') { // application cursor keys and keypad
        const int k = follower(from, ascii);
        if (k >= 'p' && k <= 'y') return static_cast<char>('0' + (k - 'p'));
        return arrowkey(k);
    }
    if (intro != '[') return esc; // ESC and one more key: Alt with a key, a key without meaning
    // A control sequence: parameter and intermediate bytes, then one final byte.
    for (int b; (b = follower(from, ascii)) >= 0;)
        if (b < 0x20 || b > 0x3F) return arrowkey(b);
    return esc;
}

// How many bytes may follow a UTF-8 lead byte, and the range of the first of them (the others
// are 80..BF). None for a byte that starts no character.
struct utf8_lead {
    int more;
    unsigned char low, high;
};
constexpr utf8_lead leadof(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return {1, 0x80, 0xBF};
    if (b == 0xE0) return {2, 0xA0, 0xBF}; // not an overlong form
    if (b == 0xED) return {2, 0x80, 0x9F}; // not a surrogate
    if (b >= 0xE1 && b <= 0xEF) return {2, 0x80, 0xBF};
    if (b == 0xF0) return {3, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {3, 0x80, 0xBF};
    if (b == 0xF4) return {3, 0x80, 0x8F}; // up to U+10FFFF
    return {0, 0, 0};
}

// A key read whole: its character (a character beyond ASCII reads as '?'), or for an escape
// sequence an arrow's or a keypad's digit or ESC.
struct typed_key {
    char code;
    bool escape;
};

typed_key readkey(keysource from) {
    const unsigned char first = takebyte(from);
    if (first == esc) return {escapekey(from), true};
    if (first < 0x80) return {static_cast<char>(first), false};
    // The rest of a UTF-8 character, as far as it comes: a run cut short is one character, and
    // so is each byte that neither starts nor continues one.
    const utf8_lead lead = leadof(first);
    unsigned char low = lead.low, high = lead.high;
    for (int k = 0; k < lead.more; ++k, low = 0x80, high = 0xBF)
        if (follower(from, [&](unsigned char b) { return b >= low && b <= high; }) < 0) break;
    return {'?', false};
}

// Whether the next byte of line input is a line end, without waiting for one.
bool linebreaknext() {
    return peekline(0) == '\n';
}

// Before a read: the device readied first, so that whoever sees the page knows the mode is in
// force.
void prepare(read_need need) {
    console_state &c = con();
    // A line edited by the console itself is typed with the device's echo off (a game
    // continued on the plain stream from a recording of the in-place console).
    c.device->prepare(c.inplace || c.editlines ? read_need::inplace_key : need);
    flush();
}

// The in-place console's own line editing, the terminal's being off: takes one typed line into
// `pending`, Backspace erasing the last character, Enter moving the cursor to the next row, as
// a terminal's echo does. With `echo` the typed characters show at the cursor. Escape sequences
// (arrows, function keys) do nothing here.
void takeline(bool echo) {
    console_state &c = con();
    c.pending.clear();
    c.pending_at = 0;
    for (;;) {
        flush();
        const typed_key k = readkey(keysource::input);
        if (k.escape) continue;
        const auto b = static_cast<unsigned char>(k.code);
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
            c.pending.push_back(k.code);
            if (echo && b >= ' ') put(k.code);
        }
    }
}

} // namespace

// ---- output

void appendglyphs(std::string_view codes, std::string &out) {
    for (unsigned char code : codes) {
        const glyph_bytes &g = utf8_glyphs[code];
        out.append(g.bytes, g.size);
    }
}

void put(std::string_view codes) {
    console_state &c = con();
    if (c.inplace || c.keep) {
        consoleput(c.screen, codes);
        c.changed = true;
        if (c.inplace) return;
    }
    while (!codes.empty()) {
        // Map as many codes as surely fit (a glyph takes at most 4 bytes, and each copy writes
        // 4), keeping the fill level in a local: stores through char pointers alias everything.
        std::size_t room = (sizeof c.out - c.out_size) / 4;
        if (room == 0) {
            flush();
            continue;
        }
        std::string_view part = codes.substr(0, room);
        codes.remove_prefix(part.size());
        char *at = c.out + c.out_size;
        const glyph_table &glyphs = *c.glyphs;
        for (char ch : part) {
            const glyph_bytes &g = glyphs[static_cast<unsigned char>(ch)];
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
    if (!c.quiet) // quiet: kept in `screen` only
        c.writes += static_cast<std::uint64_t>(c.device->write({c.out, c.out_size}));
    c.bytes += c.out_size;
    c.out_size = 0;
}

// ---- input

char key() {
    prepare(read_need::key);
    setasideline();
    return readkey(keysource::input).code;
}

void line() {
    prepare(read_need::line);
    if (con().editlines && !pending_left()) takeline(false);
    int taken = 0;
    for (;;) {
        const typed_key k = readkey(keysource::line);
        if (k.code == '\n') return;
        if (k.escape || k.code == '\r') continue;
        if (++taken == line_limit) {
            // A line of exactly 100 characters still ends here; a longer one leaves its rest.
            if (linebreaknext()) linebyte();
            return;
        }
    }
}

char linechar() {
    prepare(read_need::line);
    for (;;) {
        if (!pending_left() && con().editlines) takeline(true);
        const typed_key k = readkey(keysource::line);
        if (!k.escape && k.code != '\n' && k.code != '\r') return k.code;
    }
}

void restofline() {
    prepare(read_need::line);
    if (con().editlines && !pending_left()) takeline(true);
    while (linebyte() != '\n') {
    }
}

// ---- back ends

namespace {
// A back end's fresh start on `device`, whose codes are written as `glyphs`: nothing read or
// set aside, the console in memory blank and neither kept nor shown, typed lines edited by the
// device.
void freshstart(const console_device &device, const glyph_table &glyphs) {
    flush();
    console_state &c = con();
    c.device = &device;
    c.glyphs = &glyphs;
    c.in_at = c.in_size = 0;
    c.ended = false;
    c.inplace = false;
    c.keep = false;
    c.editlines = false;
    c.screen = {};
    c.changed = true;
    c.in_line = false;
    c.pending.clear();
    c.pending_at = 0;
}

// The in-place console on `device` from here on, which edits typed lines itself; false, and
// nothing changed, where the device cannot show it.
bool useinplace(const console_device &device, const glyph_table &glyphs) {
    if (!device.openscreen()) return false;
    freshstart(device, glyphs);
    console_state &c = con();
    c.inplace = true;
    c.editlines = true;
    return true;
}
} // namespace

void useterminal() {
    freshstart(host_device, terminalglyphs().stream);
}

void usescript(std::string_view input, glyphset glyphs) {
    freshstart(script_device, glyphs == glyphset::ascii ? ascii_glyphs : utf8_glyphs);
    script_start(input);
}

void usescriptscreen(std::string_view input) {
    useinplace(script_device, utf8_glyphs);
    script_start(input);
}

bool usescreen() {
    return useinplace(host_device, terminalglyphs().stream);
}

void closeconsole() {
    flush();
    console_state &c = con();
    if (!c.inplace) return;
    c.inplace = false;
    c.device->closescreen();
    // The last page again on the normal screen, from its first row that shows anything.
    const text_console last = c.screen; // the lines put below change the one kept
    int first = 0;
    while (first < last.row && rowtext(last.line(first)).empty()) ++first;
    for (int r = first; r <= last.row; ++r)
        if (r < last.row || !rowtext(last.line(r)).empty()) putline(rowtext(last.line(r)));
    flush();
}

std::string transcript() {
    flush();
    return script_output();
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

bool terminalshows(unsigned char code) {
    return terminalglyphs().shown[code];
}

std::uint64_t writecount() {
    return con().writes;
}

std::uint64_t bytecount() {
    return con().bytes;
}

// ---- recording and replay

void holddrawing(bool held) {
    console_state &c = con();
    if (c.held == held) return;
    c.held = held;
    if (!held && c.inplace) drawscreen(true);
}

void restartconsole() {
    flush();
    console_state &c = con();
    c.screen = {};
    c.changed = true;
    c.in_line = false;
    c.pending.clear();
    c.pending_at = 0;
}

void hookinput(const input_hooks &hooks) {
    con().hooks = hooks;
}

void keepscreen() {
    console_state &c = con();
    if (!c.keep && !c.inplace) c.screen = {};
    c.keep = true;
}

const text_console &consolescreen() {
    return con().screen;
}

bool editslines() {
    return con().editlines;
}

void editlines(bool own) {
    con().editlines = own;
}

void quietconsole() {
    flush();
    console_state &c = con();
    c.quiet = true;
    c.screen = {};
    c.in_line = false;
    c.pending.clear();
    c.pending_at = 0;
    keepscreen();
}

void showconsole() {
    console_state &c = con();
    flush();
    c.quiet = false;
    if (c.inplace) return drawscreen(true);
    // Straight to the stream: the console in memory stays as the game left it.
    std::string rows;
    for (int r = 0; r <= c.screen.row; ++r) {
        std::string_view row = rowtext(c.screen.line(r));
        if (r == c.screen.row) row = row.substr(0, std::min<std::size_t>(row.size(), c.screen.col));
        for (unsigned char code : row) rows.append((*c.glyphs)[code].bytes, (*c.glyphs)[code].size);
        if (r < c.screen.row) rows += '\n';
    }
    c.writes += static_cast<std::uint64_t>(c.device->write(rows));
}

int typedkey(int ms) {
    flush(); // the screen drawn as it stands
    const int b = inputpeek(ms);
    if (b >= 0)
        inputtake();
    else if (con().ended)
        throw input_closed();
    return b;
}
