// The console's device in the web build: the in-place console's rows and cursor handed to the
// page's script (web/page.js) after each frame or page, and the keys it queues read through
// Asyncify, so that a key read waits for the page without blocking it. What passes between this
// side and the page (Module.page): web/INTERFACE.md.
#include "core/device.hpp"

#include "core/console.hpp"

#include <emscripten.h>

#include <array>
#include <string>

namespace {

// The page shows row `row` as `text` (80 glyphs, UTF-8)...
EM_JS(void, page_row, (int row, const char *text, int size),
      { Module.page.row(row, UTF8ToString(text, size)); });
// ...and, when the rows are drawn, the cursor, shown only at a prompt as the terminal shows it.
EM_JS(void, page_cursor, (int row, int col, int shown), { Module.page.cursor(row, col, shown); });

// Whether the page has keys queued.
EM_JS(int, page_ready, (), { return Module.page.ready(); });

// Waits for the page's next keys (the bytes a terminal would send) and moves up to `size` of
// them into `buf`.
EM_ASYNC_JS(int, page_read, (char *buf, int size), {
    const keys = await Module.page.keys(size);
    HEAPU8.set(keys, buf);
    return keys.length;
});

void pagedraw(text_console &con, bool whole) {
    // What the page shows, so that only the rows that changed are sent (a step changes two).
    static std::array<console_row, console_rows> shown;
    static bool known = false;
    static std::string text; // kept: drawing allocates nothing in steady state
    for (int r = 0; r < console_rows; ++r) {
        const console_row &row = con.line(r);
        if (known && !whole && shown[static_cast<std::size_t>(r)] == row) continue;
        shown[static_cast<std::size_t>(r)] = row;
        text.clear();
        appendglyphs({reinterpret_cast<const char *>(row.data()), row.size()}, text);
        page_row(r, text.data(), static_cast<int>(text.size()));
    }
    known = true;
    con.bells = 0; // the page rings no bell
    page_cursor(con.row, con.col, atprompt(con));
}

// The page queues each key's bytes (an arrow's whole escape sequence) at once, so the bytes the
// decoder waits for after an ESC are there or never come: waiting could only join the next key,
// pressed after Escape, to it.
bool pageready(int, text_console *) {
    return page_ready() != 0;
}

std::size_t pageread(char *buf, std::size_t size, text_console *) {
    return static_cast<std::size_t>(page_read(buf, static_cast<int>(size)));
}

} // namespace

const console_device host_device = {
    .openscreen = [] { return true; }, // the page always shows the in-place console
    .closescreen = [] {},
    // The console is always drawn in place on the page: every read takes keys as they come.
    .prepare = [](read_need) {},
    .draw = pagedraw,
    // The page never shows the plain stream: the game runs in the in-place console.
    .write = [](std::string_view) { return 0; },
    .ready = pageready,
    .read = pageread,
};
