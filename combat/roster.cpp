// The roster's checks, and the one routine that runs every creature's fight from its row.
#include "combat/roster.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] The roster's checks
// ---------------------------------------------------------------------------------------------

// Every row has an id of its own, so that `creature` finds exactly one row for it.
constexpr bool idsunique() {
    for (std::size_t i = 0; i < std::size(roster); ++i) {
        if (roster[i].id.empty()) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (roster[j].id == roster[i].id) return false;
    }
    return true;
}
static_assert(idsunique(), "every roster row has an id, and no two rows the same");

constexpr bool namesfit() {
    for (const creature_row &row : roster)
        if (row.name.empty() || row.name.size() > 15 || row.name.find(' ') != row.name.npos)
            return false;
    return true;
}
static_assert(namesfit(), "a creature's name fits 15 characters and holds no blank");

// A listed or tallied creature has a victory counter that says whether it was beaten.
constexpr bool namedwherecounted() {
    for (const creature_row &row : roster) {
        if ((row.gainer != gainer_menu::none) != !row.listed.empty()) return false;
        if ((!row.listed.empty() || !row.tallied.empty()) && row.wins == won::none) return false;
    }
    return true;
}
static_assert(namedwherecounted(), "a gainer line or tally entry needs its menu and counter");

constexpr bool menusfit() {
    for (gainer_menu menu : {gainer_menu::easy, gainer_menu::average, gainer_menu::hard})
        if (std::count_if(std::begin(roster), std::end(roster),
                          [&](const creature_row &row) { return row.gainer == menu; }) > 9)
            return false;
    return true;
}
static_assert(menusfit(), "a gainer menu's keys run from 1 to 9");

// Shows a row's announcement; a numbered one's last line ends with the victories over this
// creature so far plus one.
void announce(const creature_row &row, const stats_rec &stats) {
    if (!row.numbered) return showpage(*row.says);
    std::vector<std::string_view> words(row.says->lines.begin(), row.says->lines.end());
    const std::string last = std::string(words.back()) + std::to_string(stats.wins[row.wins] + 1);
    words.back() = last;
    page_rec page = *row.says;
    page.lines = words;
    showpage(page);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The one routine behind every creature
// ---------------------------------------------------------------------------------------------

creature_rec creatureof(const creature_row &row, int32 cash) {
    return {.name = padded<15>(row.name),
            .power = row.power,
            .health = row.health,
            .total_health = row.total_health,
            .points = row.points,
            .money = row.cash ? cash : row.money,
            .runaway = row.runaway};
}

void fightcreature(creature_id c, stats_rec &stats, int32 cash) {
    const creature_row &row = rowof(c);
    creature_rec cre = creatureof(row, cash);
    if (row.says) announce(row, stats);
    if (fight(stats, cre, row.look, row.threshold)) return; // escaped: nothing is paid
    if (row.rewarded) winnings(stats, cre);
    if (row.wins != won::none) ++stats.wins[row.wins];
    if (row.mad_eyes) stats.mad_eyes = true;
}
