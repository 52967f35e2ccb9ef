// The page of keys that `?` shows on the map, built from the table of keys at compile time.
#include "world/help.hpp"

#include "core/console.hpp"

#include <array>
#include <cstddef>
#include <iterator>

namespace {

constexpr std::string_view indent = "  ";
constexpr std::size_t heading_cols = 19;  // the headings' column: the text starts after it
constexpr std::size_t heading_width = 17; // a heading wraps to keep two blanks before the text

// The table's lines, built once: at most 23, the page's height under its title.
struct key_lines {
    std::array<text_line, 23> lines{};
    std::size_t count = 0;
};

// The next line of a heading wrapped at blanks to `heading_width`, taken from `rest`.
consteval std::string_view headingline(std::string_view &rest) {
    std::string_view line = rest;
    if (line.size() > heading_width) {
        const std::size_t cut = line.rfind(' ', heading_width);
        if (cut == std::string_view::npos) throw "a word of a heading is wider than its column";
        line = line.substr(0, cut);
        rest.remove_prefix(cut + 1);
    } else {
        rest = {};
    }
    return line;
}

consteval key_lines buildkeylines() {
    key_lines out;
    auto add = [&out](std::string_view heading, std::string_view text) {
        if (out.count == out.lines.size()) throw "the page of keys is taller than the screen";
        text_line &line = out.lines[out.count++];
        if (heading.empty() && text.empty()) return; // the blank line between blocks
        line.append(indent);
        line.append(heading);
        if (text.empty()) return;
        for (std::size_t pad = heading.size(); pad < heading_cols; ++pad) line.append(" ");
        line.append(text);
    };
    const std::size_t rows = std::size(key_rows);
    for (std::size_t first = 0, end; first < rows; first = end) {
        const std::string_view where = key_rows[first].where;
        for (end = first + 1; end < rows && key_rows[end].where == where; ++end) {
        }
        if (first > 0) add({}, {});
        // The heading's lines beside the block's rows, as many lines as the longer takes.
        std::string_view heading = where;
        for (std::size_t r = first; r < end || !heading.empty(); ++r) {
            const std::string_view text = r < end ? key_rows[r].what : std::string_view{};
            add(where.empty() ? key_rows[r].key : headingline(heading), text);
        }
    }
    return out;
}

constexpr key_lines built = buildkeylines();

// The page: its title, a blank line and the table's lines.
constexpr std::size_t title_lines = 2;
constexpr auto help_lines = [] {
    std::array<std::string_view, title_lines + built.count> lines{
        "                                   The keys", ""};
    for (std::size_t i = 0; i < built.count; ++i) lines[title_lines + i] = built.lines[i];
    return lines;
}();

// The page with its notice takes 24 lines, so that a 24-row terminal shows all of it; a line
// of 80 columns would wrap on its own and push the page a row further.
constexpr int text_lines = 23;
constexpr int lines_above = 2;
constexpr int lines_below = text_lines - lines_above - static_cast<int>(std::size(help_lines));
static_assert(lines_below >= 0, "the page of keys is taller than the screen");

consteval bool linesfit() {
    for (std::string_view line : help_lines)
        if (cellcount(line) > 79) return false;
    return true;
}
static_assert(linesfit(), "a line of the page of keys is wider than 79 columns");

// The notice ends its line, so that the frame drawn after the page starts a line of its own.
constexpr page_rec help_page{.before = lines_above,
                             .lines = help_lines,
                             .after = lines_below,
                             .lead = 59,
                             .end = 1,
                             .wait = waitfor::key};

} // namespace

std::span<const std::string_view> keylines() {
    return std::span(help_lines).subspan(title_lines);
}

void showhelp() {
    showpage(help_page);
}
