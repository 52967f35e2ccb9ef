// The page of keys that `?` shows on the map: every key the game takes, and where.
#include "world/help.hpp"

#include "core/console.hpp"

#include <iterator>
#include <string_view>

namespace {

constexpr std::string_view help_lines[] = {
    "                                   The keys",
    "",
    "  Walking            8 up, 2 down, 4 left, 6 right (the arrow keys work too)",
    "                     0 opens the game menu: map, items, weapon and spells",
    "                     ? shows this page",
    "",
    "  Menus, shops and   the digits shown on the screen; 0 goes back",
    "  the casino",
    "",
    "  Fights             1 attack, 2 spell, 3 item, 4 run, 0 game menu",
    "",
    "  Hangman            the letter keys",
    "",
    "  PRESS ENTER        Enter goes on",
    "",
    "  Ctrl-Z             pauses the game; fg at the shell goes on where you stopped",
    "  Ctrl-L             draws the screen again",
    "  Ctrl-C             ends the game at once (no score is written)",
};

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

void showhelp() {
    showpage(help_page);
}
