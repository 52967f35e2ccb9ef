// The renderer and the one routine that places and moves the hero's mark on a screen.
#include "world/environment.hpp"

void countstep(stats_rec &stats, int32 chance) {
    if (chance > 0 && stats.steps > 0) stats.steps = std::max(stats.steps - chance, 0);
}

void outmap(const world_matrix &map, const stats_rec &stats) {
    putline(view(stats.name));
    put("         Health ");
    putnum(stats.health);
    put("/");
    putnum(maxhealth(stats));
    put("     Magic ");
    putnum(stats.magicdust);
    put("/");
    putnum(maxmagic(stats));
    put("        $");
    putnum(stats.money);
    put("         Points ");
    putnum(stats.points);
    newlines(1);
    for (const auto &row : map.cells)
        putline({reinterpret_cast<const char *>(row.data()), row.size()});
}

position_rec placex(world_matrix &map, const step_rec &step, stats_rec &stats) {
    const auto [row, col, dir, chance, mark] = step;
    if (!onmap(row, col) || map(row, col) != blank) return stepfrom(row, col, dir);
    position_rec from = stepfrom(row, col, dir);
    if (from != position_rec{row, col} && onmap(from.row, from.col))
        map(from.row, from.col) = blank;
    map(row, col) = mark;
    countstep(stats, chance);
    return {row, col};
}
