// The gainer: the refusal before the first victory, the difficulty menu and the three creature
// menus in front of the fight routines.
#include "town/gainer.hpp"

#include "combat/fight.hpp"
#include "core/console.hpp"
#include "town/menu.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace {

enum difficulty : int { easy_menu, average_menu, hard_menu };

using fight_routine = void (*)(stats_rec &stats, int32 cash);

// One line of a creature menu. Its key is its place in its menu; its name shows once `wins`
// at index `wins` is above 0, and five dashes stand in for it until then.
struct gainer_line {
    difficulty menu;
    std::string_view name;
    int wins;
    fight_routine fight;
};

// The three creature menus, each in key order.
constexpr std::array<gainer_line, 21> gainer_lines = {{
    {easy_menu, "Bats", 1, fight_bats},          {easy_menu, "Fox", 2, fight_fox},
    {easy_menu, "Raccoon", 3, fight_raccoon},    {easy_menu, "Ghost", 4, fight_ghost},
    {easy_menu, "Skeleton", 5, fight_skeleton},  {easy_menu, "Crab", 9, fight_crab},
    {easy_menu, "Jelly", 10, fight_jelly},       {average_menu, "Knight", 6, fight_knight},
    {average_menu, "Shark", 7, fight_shark},     {average_menu, "Octopus", 8, fight_octopus},
    {average_menu, "Mime", 11, fight_mime},      {average_menu, "Seal", 12, fight_seal},
    {average_menu, "Monkey", 13, fight_monkey},  {hard_menu, "Mad Monkey", 17, mad_monkey},
    {hard_menu, "Crazy Clown", 18, crazy_clown}, {hard_menu, "Dwarf", 19, dwarf_guy},
    {hard_menu, "Glob of Goo", 20, glob_of_goo}, {hard_menu, "Rock", 21, rock},
    {hard_menu, "Caveman", 22, caveman},         {hard_menu, "???????????", 24, darkness},
    {hard_menu, "Living Cave", 25, stalagmite},
}};

// The blank lines around each menu's BACK line.
struct menu_layout {
    int before_back;
    int after_back;
};
constexpr std::array<menu_layout, 3> layouts = {{
    {.before_back = 1, .after_back = 8}, // easy
    {.before_back = 2, .after_back = 8}, // average
    {.before_back = 1, .after_back = 7}, // hard
}};

static_assert(std::ranges::is_sorted(gainer_lines, {}, &gainer_line::menu),
              "each menu's lines sit together, in key order");
static_assert(std::ranges::all_of(gainer_lines,
                                  [](const gainer_line &l) {
                                      return l.wins >= 1 && l.wins <= cre_wins::size();
                                  }),
              "every line names a `wins` entry from 1 to 25");

// The lines of one menu, in key order.
std::span<const gainer_line> menulines(difficulty menu) {
    auto first = std::ranges::find(gainer_lines, menu, &gainer_line::menu);
    auto last = std::find_if(first, gainer_lines.end(),
                             [menu](const gainer_line &l) { return l.menu != menu; });
    return {first, last};
}

void drawcreatures(const stats_rec &stats, difficulty menu) {
    newlines(5);
    putline("      Choose an enemy to fight.");
    newlines(2);
    int number = 0;
    for (const gainer_line &l : menulines(menu)) {
        blanks(6);
        put(static_cast<char>('0' + ++number));
        put(") ");
        putline(stats.wins[l.wins] > 0 ? l.name : "-----");
    }
    newlines(layouts[menu].before_back);
    putline("      0) BACK");
    newlines(layouts[menu].after_back);
}

// Runs one creature menu. A key starts its line's fight whether the name shows or not; the
// creature carries no gold here.
void creaturemenu(stats_rec &stats, difficulty menu) {
    std::span<const gainer_line> lines = menulines(menu);
    for (;;) {
        drawcreatures(stats, menu);
        char k = key();
        if (k == '0') return;
        int choice = k - '0';
        if (choice >= 1 && choice <= static_cast<int>(lines.size()))
            lines[choice - 1].fight(stats, 0);
    }
}

bool hasfought(const stats_rec &stats) {
    return std::ranges::any_of(stats.wins, [](int32 w) { return w > 0; });
}

void drawdifficulties() {
    newlines(4);
    putline("                You ready to gain some more battle experience");
    putline("                   with some creatures that you have fought?");
    newlines(5);
    putline("        Select a difficulty  : ");
    putline("        1) Easy");
    putline("        2) Average");
    putline("        3) Hard");
    newlines(1);
    putline("        0) EXIT");
    newlines(7);
}

} // namespace

void easy(stats_rec &stats) {
    creaturemenu(stats, easy_menu);
}
void average(stats_rec &stats) {
    creaturemenu(stats, average_menu);
}
void hard(stats_rec &stats) {
    creaturemenu(stats, hard_menu);
}

void loadgainer(stats_rec &stats) {
    if (!hasfought(stats)) {
        newlines(12);
        putline("                   This place simulates fights you've had,");
        putline("                     first you gotta get in some fights!");
        newlines(10);
        presskey(62);
        return;
    }
    for (;;) {
        drawdifficulties();
        switch (key()) {
            case '1':
                easy(stats);
                break;
            case '2':
                average(stats);
                break;
            case '3':
                hard(stats);
                break;
            case '0':
                return;
            default:
                break; // any other key draws the menu again
        }
    }
}
