// The text console in memory: how the game's codes land in the 80x25 cells.
#include "core/textconsole.hpp"

#include "core/console.hpp"

#include <algorithm>

namespace {

void nextrow(text_console &con) {
    con.col = 0;
    if (con.row + 1 < console_rows) {
        ++con.row;
        return;
    }
    con.line(0).fill(' '); // the top row scrolls away and comes back as the blank bottom row
    con.top = (con.top + 1) % console_rows;
}

bool blankrow(const console_row &r) {
    return std::all_of(r.begin(), r.end(), [](unsigned char c) { return cp437[c] == U' '; });
}

} // namespace

void consoleput(text_console &con, std::string_view codes) {
    console_row *row = &con.line(con.row); // looked up again only when the cursor's row changes
    for (char ch : codes) {
        auto code = static_cast<unsigned char>(ch);
        if (code == '\n') {
            nextrow(con);
            row = &con.line(con.row);
        } else if (cp437[code] == U'\a') {
            ++con.bells;
        } else {
            (*row)[static_cast<std::size_t>(con.col)] = code;
            if (++con.col == console_cols) {
                nextrow(con);
                row = &con.line(con.row);
            }
        }
    }
}

void consoleunput(text_console &con) {
    if (con.col > 0) {
        --con.col;
    } else if (con.row > 0) {
        --con.row;
        con.col = console_cols - 1;
    } else {
        return;
    }
    con.line(con.row)[con.col] = ' ';
}

bool atprompt(const text_console &con) {
    return !blankrow(con.line(con.row));
}

int firstrow(const text_console &con, int rows_shown) {
    return rows_shown < console_rows && !blankrow(con.line(console_rows - 1)) ? 1 : 0;
}
