// A replay as an asciicast v2 file: a JSON header line, then one JSON array a line for each
// frame, [seconds, "o", output]. A frame writes, on each row that changed, the cells from the
// first that changed to the last.
#include "cli/cast.hpp"

#include "core/console.hpp"
#include "core/files.hpp"
#include "tty/display.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

// After the game's own headers: terminfo's header defines macros named like its capabilities.
#include <curses.h>
#include <term.h>

namespace {

// How long a pause between frames a player shows, in seconds; longer ones are cut to it, as
// the replay on the terminal cuts them.
constexpr int idle_limit_s = 5;
// Output is written once this much has gathered.
constexpr std::size_t write_at = 1 << 16;

struct cast_state {
    int fd = -1;
    int error = 0;
    std::string cup;      // terminfo's cursor address, with %p1 row and %p2 column
    std::string clear;    // terminfo's clear screen
    bool started = false; // whether the first frame is out
    std::array<console_row, console_rows> shown{}; // what the cast's terminal shows
    int row = 0, col = 0;                          // and where its cursor is
    std::string out;                               // gathered, not written yet
    std::uint64_t written = 0;                     // bytes written
};

cast_state &cast() {
    static cast_state c;
    return c;
}

void writeout() {
    cast_state &c = cast();
    writewhole(c.fd, c.out, c.error);
    c.written += c.out.size();
    c.out.clear();
}

// `text` as a JSON string's contents.
void jsontext(std::string_view text, std::string &out) {
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += ch;
        } else if (b < 0x20 || b == 0x7f) {
            char code[7];
            std::snprintf(code, sizeof code, "\\u%04x", b);
            out += code;
        } else {
            out += ch; // UTF-8 goes as it is
        }
    }
}

std::string cursorto(int row, int col) {
    return tiparm(cast().cup.c_str(), row, col);
}

} // namespace

bool startcast(int fd, std::int64_t start_ms, std::string &problem) {
    cast_state &c = cast();
    c = {};
    c.fd = fd;
    int status = 0;
    TERMINAL *before = cur_term;
    if (setupterm(cast_terminal, fd, &status) != OK) {
        problem = std::string("terminfo does not describe ") + cast_terminal;
        return false;
    }
    const char *cup = terminfo_string("cup"), *clear = terminfo_string("clear");
    if (cup) c.cup = cup;
    if (clear) c.clear = clear;
    del_curterm(cur_term);
    set_curterm(before);
    if (c.cup.empty() || c.clear.empty()) {
        problem = std::string("terminfo gives no cursor address or clear for ") + cast_terminal;
        return false;
    }
    c.out = "{\"version\": 2, \"width\": " + std::to_string(console_cols) +
            ", \"height\": " + std::to_string(console_rows) +
            ", \"timestamp\": " + std::to_string(start_ms / 1000) +
            ", \"idle_time_limit\": " + std::to_string(idle_limit_s) +
            ", \"title\": \"ORBRIDDEN\", \"env\": {\"TERM\": \"" + cast_terminal + "\"}}\n";
    return true;
}

void castframe(const text_console &con, std::int64_t ms) {
    cast_state &c = cast();
    std::string frame;
    if (!c.started) { // a blank screen, the cursor at its top left
        frame = c.clear;
        for (console_row &r : c.shown) r.fill(' ');
        c.started = true;
    }
    bool moved = false;
    for (int r = 0; r < console_rows; ++r) {
        const console_row &row = con.line(r);
        console_row &was = c.shown[static_cast<std::size_t>(r)];
        // Only the cells from the first that changed to the last.
        const auto first = std::mismatch(row.begin(), row.end(), was.begin()).first - row.begin();
        if (first == console_cols) continue;
        const auto end =
            console_cols -
            (std::mismatch(row.rbegin(), row.rend(), was.rbegin()).first - row.rbegin());
        frame += cursorto(r, static_cast<int>(first));
        appendglyphs({reinterpret_cast<const char *>(row.data()) + first,
                      static_cast<std::size_t>(end - first)},
                     frame);
        was = row;
        moved = true;
    }
    if (moved || c.row != con.row || c.col != con.col) frame += cursorto(con.row, con.col);
    c.row = con.row;
    c.col = con.col;
    if (frame.empty()) return;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    c.out += '[';
    c.out += seconds;
    c.out += ", \"o\", \"";
    jsontext(frame, c.out);
    c.out += "\"]\n";
    if (c.out.size() >= write_at) writeout();
}

int endcast() {
    writeout();
    return cast().error;
}

std::uint64_t castbytes() {
    return cast().written + cast().out.size();
}
