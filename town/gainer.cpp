// The gainer: the refusal before the first victory, the difficulty menu and the three creature
// menus in front of the fights.
#include "town/gainer.hpp"

#include "combat/roster.hpp"
#include "core/console.hpp"
#include "core/menuloop.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view refusal[] = {
    "                   This place simulates fights you've had,",
    "                     first you gotta get in some fights!"};

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

const menu_layout &layoutof(gainer_menu menu) {
    return layouts[static_cast<std::size_t>(menu) - 1];
}

// Calls `each` with the key and the creature of every line of one menu: the roster's rows marked
// for it, in roster order, keyed from 1.
template <class Each>
void forlines(gainer_menu menu, Each each) {
    int number = 0;
    for (std::size_t row = 0; row < std::size(roster); ++row)
        if (roster[row].gainer == menu) each(++number, creature_id{row});
}

// Each line's name shows once its victory counter is above 0; five dashes stand in for it
// until then.
void drawcreatures(const stats_rec &stats, gainer_menu menu) {
    newlines(5);
    putline("      Choose an enemy to fight.");
    newlines(2);
    forlines(menu, [&](int number, creature_id c) {
        blanks(6);
        put(static_cast<char>('0' + number));
        put(") ");
        putline(stats.wins[rowof(c).wins] > 0 ? rowof(c).listed : "-----");
    });
    newlines(layoutof(menu).before_back);
    putline("      0) BACK");
    newlines(layoutof(menu).after_back);
}

// Runs one creature menu. A key starts its line's fight whether the name shows or not; the
// creature carries no gold here.
void creaturemenu(stats_rec &stats, gainer_menu menu) {
    menuloop([&] { drawcreatures(stats, menu); },
             [&](char k) {
                 forlines(menu, [&](int number, creature_id c) {
                     if (number == k - '0') fightcreature(c, stats);
                 });
                 return false;
             });
}

bool hasfought(const stats_rec &stats) {
    return std::any_of(stats.wins.begin(), stats.wins.end(), [](int32 w) { return w > 0; });
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
    creaturemenu(stats, gainer_menu::easy);
}
void average(stats_rec &stats) {
    creaturemenu(stats, gainer_menu::average);
}
void hard(stats_rec &stats) {
    creaturemenu(stats, gainer_menu::hard);
}

void loadgainer(stats_rec &stats) {
    if (!hasfought(stats)) {
        showpage({.before = 12, .lines = refusal, .after = 10, .lead = 62});
        return;
    }
    menuchoices(drawdifficulties,
                {[&] { easy(stats); }, [&] { average(stats); }, [&] { hard(stats); }});
}
