// The walking engine: one routine runs every screen from its row of the screen table.
#include "world/movements.hpp"

#include "core/gamemenu.hpp"
#include "core/random.hpp"
#include "world/help.hpp"
#include "world/mechanics.hpp"

namespace {

// A move key and the direction it steps in.
struct key_move {
    char key;
    int32 dir;
};
constexpr key_move moves[] = {
    {'8', step_up},
    {'2', step_down},
    {'4', step_left},
    {'6', step_right},
};
// Under the third ring-holder's curse every move key goes the other way.
constexpr key_move reversed_moves[] = {
    {'2', step_up},
    {'8', step_down},
    {'6', step_left},
    {'4', step_right},
};

constexpr char menu_key = '0';
constexpr char help_key = '?';

// The entry cell for the screen the hero comes from. A screen he cannot have come from gets
// the first entry cell, so that the hero always has a place on the map.
const entry_rec &entryfor(const screen_rec &screen, int32 oldwhere) {
    for (const entry_rec &e : screen.entries)
        if (e.from != 0 && e.from == oldwhere) return e;
    return screen.entries[0];
}

void place(mover move, visit_rec &visit, stats_rec &stats, int32 chance) {
    position_rec p = move(visit.map, {visit.row, visit.col, visit.dir, chance, visit.mark}, stats);
    visit.row = p.row;
    visit.col = p.col;
}

// Picks the creature from the value the countdown was drawn with and fights it.
void encounter(const screen_rec &screen, stats_rec &stats) {
    if (stats.steps < 0) stats.steps = stats.battle_rand = walk();
    if (stats.steps != 0) return;
    if (screen.check == countdown::fights)
        for (const foe_rec &foe : screen.foes)
            if (stats.battle_rand % foe.divisor == 0) {
                if (foe.fight) foe.fight(stats, foe.cash);
                break;
            }
    stats.steps -= 1; // the next key draws a new countdown
}

void newwaves(visit_rec &visit, int32 row, int32 col) {
    wave_array next;
    randwaves(next);
    setwaves(visit.map, next, visit.waves, row, col);
    visit.waves = next;
}

} // namespace

void pushback(visit_rec &visit, stats_rec &stats, int32 dir) {
    position_rec out = stepto(visit.row, visit.col, dir);
    visit.dir = dir;
    position_rec p = placex(visit.map, {out.row, out.col, dir, 0, visit.mark}, stats);
    visit.row = p.row;
    visit.col = p.col;
}

void buildmap(const screen_rec &screen, world_matrix &map, const stats_rec &stats) {
    if (screen.picture) map.cells = *screen.picture;
    if (screen.build) screen.build(map, stats);
}

void enterscreen(const screen_rec &screen, visit_rec &visit, int32 oldwhere, stats_rec &stats) {
    visit.screen = screen.number;
    visit.oldwhere = oldwhere;
    visit.mark = screen.mark;
    visit.dir = no_step;
    buildmap(screen, visit.map, stats);
    if (screen.sea) {
        randwaves(visit.waves);
        setwaves(visit.map, visit.waves, visit.waves, 0, 0);
    }
    const entry_rec &entry = entryfor(screen, oldwhere);
    visit.row = entry.row;
    visit.col = entry.col;
    if (screen.onenter) screen.onenter(stats, visit);
    if (screen.lit_entry) lightsquare(visit.map, visit.row, visit.col);
    place(entrymover(screen), visit, stats, screen.entrycost);
    outmap(visit.map, stats);
    if (screen.ondrawn) screen.ondrawn(stats, visit);
}

int32 stepscreen(const screen_rec &screen, visit_rec &visit, char key, stats_rec &stats) {
    // The page of keys is no step: nothing on the screen sees the key, no chance is drawn, and
    // the same frame comes back.
    if (key == help_key) {
        showhelp();
        outmap(visit.map, stats);
        return stay;
    }
    const position_rec here{visit.row, visit.col};
    visit.key = key;
    visit.dir = no_step;
    if (screen.onkey) screen.onkey(stats, visit);
    for (const key_move &m : screen.reversed ? reversed_moves : moves)
        if (m.key == key) {
            position_rec target = stepto(visit.row, visit.col, m.dir);
            visit.row = target.row;
            visit.col = target.col;
            visit.dir = m.dir;
        }
    if (key == menu_key) showmenu(stats);

    if (screen.beforeexits)
        if (int32 to = screen.beforeexits(stats, visit); to != stay) return to;
    for (const exit_rec &e : screen.exits) {
        if (e.to == 0) break;
        if (!e.rows.holds(visit.row) || !e.cols.holds(visit.col)) continue;
        if (e.when && !e.when(stats)) continue;
        if (!e.scene || e.scene(stats, visit)) return e.to;
        break; // the scene turned the hero back; the step goes on
    }
    if (screen.afterexits)
        if (int32 to = screen.afterexits(stats, visit); to != stay) return to;
    // A step off the map that no exit takes is refused like a step into a wall.
    if (!onmap(visit.row, visit.col)) {
        visit.row = here.row;
        visit.col = here.col;
        visit.dir = no_step;
    }

    if (screen.sea) newwaves(visit, visit.row, visit.col);
    place(screen.move, visit, stats, screen.cost);

    for (const door_rec &d : screen.doors) {
        if (!d.rows.holds(visit.row) || !d.cols.holds(visit.col)) continue;
        if (d.when && !d.when(stats)) continue;
        if (d.action) d.action(stats, visit);
        if (d.leave != stay) return d.leave;
        pushback(visit, stats, d.push);
        break;
    }
    if (screen.aftermove)
        if (int32 to = screen.aftermove(stats, visit); to != stay) return to;

    if (screen.check != countdown::none) encounter(screen, stats);
    outmap(visit.map, stats);
    return stay;
}

screen_result runscreen(const screen_rec &screen, int32 oldwhere, stats_rec &stats) {
    visit_rec visit;
    enterscreen(screen, visit, oldwhere, stats);
    int32 to = screen.script ? screen.script(stats, visit) : stay;
    while (to == stay) to = stepscreen(screen, visit, key(), stats);
    return {.where = to, .oldwhere = screen.number};
}
