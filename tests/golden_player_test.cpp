// The player that wrote the key scripts of the two long golden sessions, the playthrough and the
// wander. It plays the real screens in-process one key at a time: it steps the walking engine
// itself, answers every page, fight and question the game asks inside a step (attack, potion,
// level-up), and walks by breadth-first search over the live map towards the next exit or event
// of the quest. It is a developer's tool, not a test: after a change that moves a road or a
// fight, write the scripts again with
//   ./build-test/orbridden_tests --gtest_also_run_disabled_tests --gtest_filter='GoldenPlayer.*'
// then `make golden`, and say in the commit why the sessions changed.
#include "core/console.hpp"
#include "core/random.hpp"
#include "golden.hpp"
#include "screens/home.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"
#include "support.hpp"
#include "world/mechanics.hpp"

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] Replaying a piece of the game with more and more input
// ---------------------------------------------------------------------------------------------

// The stepping clock of the golden sessions, with a reading the player can put back.
std::int64_t now = 0;
std::int64_t stepping() {
    return now++;
}

// Everything a piece of the game can change: the hero, the screen's visit and the clock.
struct snapshot {
    stats_rec stats;
    visit_rec visit;
    std::int64_t clock = 0;
};

struct game_state {
    stats_rec stats;
    visit_rec visit;
    std::string keys; // every key the game has read so far

    snapshot save() const { return {stats, visit, now}; }
    void restore(const snapshot &s) {
        stats = s.stats;
        visit = s.visit;
        now = s.clock;
    }
};

// The player's shopping: the best blade the money buys, a few potions and a bed when hurt, always
// keeping the boat's fare until the boat is his.
int32 spare(const stats_rec &s) {
    return s.money - (s.boat ? 0 : 200);
}
struct blade {
    char key;
    int32 price;
    int32 sold_below; // the market sells it only while the hero's weapon is weaker
};
constexpr blade blades[] = {{'3', 3500, 43}, {'2', 900, 16}, {'1', 350, 1}};
std::optional<char> bladetobuy(const stats_rec &s) {
    for (const blade &b : blades)
        if (s.weapon.power < b.sold_below && b.price <= spare(s)) return b.key;
    return std::nullopt;
}
bool wantspotion(const stats_rec &s) {
    return s.items[potion] < 4 && spare(s) >= 50;
}
bool wantsmarket(const stats_rec &s) {
    return bladetobuy(s) || wantspotion(s) || (s.mad_eyes && !s.mad_eyes_collect);
}
bool wantshotel(const stats_rec &s) {
    return s.health < maxhealth(s) * 2 / 3 && spare(s) >= 100;
}

// The market's counter: the blade shelf, then the potion shelf, then out.
std::string shop(std::string_view page, const stats_rec &s) {
    if (page.find("1) Buy a item") != std::string_view::npos)
        return bladetobuy(s) ? "3" : wantspotion(s) ? "1" : "0";
    if (page.find("1) Sharp Blade") != std::string_view::npos)
        return std::string(1, bladetobuy(s).value_or('0'));
    if (page.find("1) potion") != std::string_view::npos) return wantspotion(s) ? "1" : "0";
    return "0";
}

// What the player answers to the page or question that ends `fresh` (the output since its last
// answer): attack in a fight (or drink a potion when low), level up the weaker of power and
// armor, hide behind the pillar, rent the boat, fight Mad Eyes, shop, take the room, and Enter
// everywhere else.
std::string answer(std::string_view fresh, const stats_rec &stats) {
    struct prompt {
        std::string_view text;
        std::function<std::string()> reply;
    };
    const prompt prompts[] = {
        {"Command :",
         [&] {
             bool low = stats.health < maxhealth(stats) / 4;
             return low && stats.items[potion] > 0 ? "31" : "1";
         }},
        {"Which would you like to upgrade?",
         [&] { return stats.total_health < stats.power ? "2" : "1"; }},
        {"WHAT SHOULD YOU DO???", [] { return "2"; }},
        {"1) Rent the boat", [] { return "1"; }},
        {"1) Fight", [] { return "1"; }},
        {"WHAT CAN I DO YA FOR?", [&] { return shop(fresh, stats); }},
        {"1) Stay", [] { return "1"; }},
    };
    const prompt *last = nullptr;
    std::size_t at = 0;
    for (const prompt &p : prompts)
        if (std::size_t f = fresh.rfind(p.text); f != std::string_view::npos && f + 1 > at) {
            at = f + 1;
            last = &p;
        }
    // A page after the last question (the reward after a fight) waits for Enter.
    if (last && fresh.find("PRESS ENTER", at) == std::string_view::npos) return last->reply();
    return "\n";
}

// Runs `piece` from the same starting point again and again, each time with one more answer,
// until it returns without running out of input; the game is then left where the piece ended
// and the input it read is added to the keys.
void drive(game_state &g, const std::function<void()> &piece, std::string input = {}) {
    const snapshot start = g.save();
    std::size_t seen = 0;
    for (int tries = 0;; ++tries) {
        ASSERT_LT(tries, 20000) << "the game keeps asking; keys so far: " << g.keys.size();
        g.restore(start);
        usescript(input);
        try {
            piece();
        } catch (const input_closed &) {
            const std::string out = transcript();
            input += answer(std::string_view(out).substr(std::min(seen, out.size())), g.stats);
            seen = out.size();
            continue;
        }
        transcript();
        g.keys += input;
        // Every answer must have been read, or the recorded keys would not replay.
        EXPECT_THROW(key(), input_closed)
            << "an answer was left unread after key " << g.keys.size();
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Finding the way on a screen
// ---------------------------------------------------------------------------------------------

struct cell {
    int32 row = 0, col = 0;
};
using cell_test = std::function<bool(int32, int32)>;

constexpr int32 directions[] = {step_up, step_down, step_left, step_right};

char keyfor(int32 screen, int32 dir) {
    const bool reversed = world[screen].reversed;
    switch (dir) {
        case step_up:
            return reversed ? '2' : '8';
        case step_down:
            return reversed ? '8' : '2';
        case step_left:
            return reversed ? '6' : '4';
        default:
            return reversed ? '4' : '6';
    }
}

// The screen a target cell leaves for, or `stay`.
int32 leadsto(const screen_rec &screen, const stats_rec &stats, int32 row, int32 col) {
    for (const exit_rec &e : screen.exits) {
        if (e.to == 0) break;
        if (e.rows.holds(row) && e.cols.holds(col) && (!e.when || e.when(stats))) return e.to;
    }
    return stay;
}

bool doorat(const screen_rec &screen, const stats_rec &stats, int32 row, int32 col) {
    for (const door_rec &d : screen.doors)
        if (d.rows.holds(row) && d.cols.holds(col) && (!d.when || d.when(stats))) return true;
    return false;
}

// Cells that start something the player does not want on the way: another exit, a door, the
// switch, Mad Eyes.
bool trap(const game_state &g, int32 row, int32 col) {
    const screen_rec &screen = world[g.visit.screen];
    if (leadsto(screen, g.stats, row, col) != stay || doorat(screen, g.stats, row, col))
        return true;
    if (g.visit.screen == screen::castle_approach) return row == 12 && col == 30;
    if (g.visit.screen == screen::cave_entrance && g.stats.num_of_rings > 3 && !g.stats.mad_eyes)
        return row >= 12 && row <= 14 && col >= 2 && col <= 4;
    return false;
}

// Whether the hero can stand on a cell: the dark tunnels are lit wherever he goes (away from
// their outer ring), the name puzzle's floor is code 0, the sea's waves move away, and so does
// the fleeing figure in the gap of the chase.
bool walkable(const game_state &g, int32 row, int32 col) {
    const screen_rec &screen = world[g.visit.screen];
    if (!onmap(row, col)) return false;
    if (screen.move == shadowx)
        return row >= 3 && row <= map_rows - 2 && col >= 3 && col <= map_cols - 2;
    const unsigned char c = g.visit.map(row, col);
    if (g.visit.screen == screen::name_puzzle) return c == invisible;
    const bool chase =
        g.visit.screen == screen::chase_first || g.visit.screen == screen::chase_second;
    if (chase && row >= 11 && row <= 13 && col > 73) return true;
    return c == blank || (screen.sea && c == wave);
}

// The first key of a shortest walk to a move whose target cell passes `goal`; nothing when
// there is no way.
std::optional<char> towards(const game_state &g, const cell_test &goal) {
    // The direction of the first step on the way to each cell reached (0: not reached yet).
    std::array<std::array<int32, map_cols + 2>, map_rows + 2> first{};
    std::deque<cell> queue{{g.visit.row, g.visit.col}};
    first[g.visit.row][g.visit.col] = -1;
    while (!queue.empty()) {
        const cell here = queue.front();
        queue.pop_front();
        for (int32 dir : directions) {
            const position_rec t = stepto(here.row, here.col, dir);
            if (t.row < 0 || t.row > map_rows + 1 || t.col < 0 || t.col > map_cols + 1) continue;
            const int32 start = first[here.row][here.col] < 0 ? dir : first[here.row][here.col];
            if (goal(t.row, t.col)) return keyfor(g.visit.screen, start);
            if (first[t.row][t.col] != 0 || !walkable(g, t.row, t.col) || trap(g, t.row, t.col))
                continue;
            first[t.row][t.col] = start;
            queue.push_back({t.row, t.col});
        }
    }
    return std::nullopt;
}

cell_test exitto(const game_state &g, int32 to) {
    return
        [&g, to](int32 r, int32 c) { return leadsto(world[g.visit.screen], g.stats, r, c) == to; };
}
cell_test touch(int32 row, int32 col) {
    return [row, col](int32 r, int32 c) { return r == row && c == col; };
}
cell_test standon(const game_state &g, int32 row, int32 col) {
    return [&g, row, col](int32 r, int32 c) { return r == row && c == col && walkable(g, r, c); };
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The quest: where to go next on each screen
// ---------------------------------------------------------------------------------------------

// The name puzzle: each letter of the name is pushed along its row to the column of its slot,
// then up into the slot; then the way north is open.
cell_test namepuzzle(const game_state &g) {
    constexpr int32 slots[] = {36, 39, 42};
    for (int i = 0; i < 3; ++i) {
        const auto letter = static_cast<unsigned char>(g.stats.name[i]);
        if (g.visit.map(12, slots[i]) == letter) continue;
        for (int32 r = 2; r < map_rows; ++r)
            for (int32 c = 2; c < map_cols; ++c) {
                if (g.visit.map(r, c) != letter) continue;
                // Where the hero pushes from, and whether he stands there already.
                const int32 side = slots[i] < c ? 1 : -1;
                const cell from = c != slots[i] ? cell{r, c + side} : cell{r + 1, c};
                if (g.visit.row == from.row && g.visit.col == from.col) return touch(r, c);
                return standon(g, from.row, from.col);
            }
    }
    return exitto(g, screen::clown_room);
}

// The four posts, lit in their one order, then the way out east.
cell_test fourposts(const game_state &g) {
    constexpr cell posts[] = {{18, 76}, {3, 3}, {3, 76}, {18, 3}};
    for (int i = 0; i < 4; ++i)
        if (!g.visit.lights[i + 1]) return touch(posts[i].row, posts[i].col);
    return exitto(g, screen::alien_ship);
}

// The screens the quest walks through, one road for each number of rings.
struct road {
    int32 rings;
    std::vector<int32> screens;
};
const road quest[] = {
    {0,
     {screen::home, screen::forest_west, screen::forest_ring, screen::forest_north,
      screen::castle_approach, screen::courtyard, screen::castle_west1, screen::castle_west2,
      screen::castle_west3, screen::castle_middle3, screen::castle_middle4, screen::castle_east4,
      screen::great_hall}},
    {1,
     {screen::castle_approach, screen::forest_north, screen::forest_ring, screen::forest_west,
      screen::home, screen::pier, screen::sea_mid1, screen::sea_mid2, screen::sea_mid3,
      screen::sea_north3, screen::island_gate, screen::mirror_maze, screen::mirror_hall,
      screen::name_puzzle, screen::clown_room, screen::chase_first, screen::chase_second,
      screen::clown_cornered}},
    {2,
     {screen::island_gate, screen::sea_north3, screen::sea_mid3, screen::sea_mid2, screen::sea_mid1,
      screen::pier, screen::home, screen::southern_forest, screen::backwards_room,
      screen::confusing_room, screen::fenced_field, screen::landing_room, screen::chanting_room}},
    {3,
     {screen::southern_forest, screen::home, screen::cave_entrance, screen::tunnel_descent,
      screen::tunnel_junction, screen::tunnel_east, screen::tunnel_to_ship, screen::four_posts,
      screen::alien_ship}},
    {4, {screen::cave_entrance, screen::home}},
};

// The road's next screen after `screen`; the last screen of a road ends in its event.
int32 nextonroad(const std::vector<int32> &screens, int32 screen) {
    for (std::size_t i = 0; i + 1 < screens.size(); ++i)
        if (screens[i] == screen) return screens[i + 1];
    return stay;
}

cell_test questgoal(game_state &g) {
    const stats_rec &s = g.stats;
    const visit_rec &v = g.visit;
    switch (v.screen) {
        case screen::castle_approach: // the switch first, then through the opened gate
            if (s.num_of_rings == 0 && v.map(8, 39) != blank) return touch(12, 30);
            break;
        case screen::great_hall: // the hall floor
            return [](int32 r, int32) { return r == 14; };
        case screen::name_puzzle:
            return namepuzzle(g);
        case screen::clown_room:
            if (s.num_of_rings == 1) return [](int32 r, int32) { return r == 14; };
            break;
        case screen::clown_cornered:
            return [](int32, int32 c) { return c == 50; };
        case screen::chanting_room: // the ring-holder's corner
            return [&g](int32 r, int32 c) { return r > 14 && c > 71 && walkable(g, r, c); };
        case screen::cave_entrance:
            if (s.num_of_rings == 3 && !v.flashlights) return touch(20, 76);
            if (s.num_of_rings == 4 && !s.mad_eyes)
                return [](int32 r, int32 c) { return r >= 12 && r <= 14 && c >= 2 && c <= 4; };
            break;
        case screen::four_posts:
            return fourposts(g);
        case screen::home: // the market and the hotel when they have something for him, then on
            if (wantsmarket(s)) return touch(17, 10);
            if (wantshotel(s)) return touch(17, 65);
            if (s.num_of_rings == 4) return touch(16, 34); // the sorceress's door
            break;
    }
    for (const road &r : quest)
        if (r.rings == s.num_of_rings)
            if (int32 to = nextonroad(r.screens, v.screen); to != stay) return exitto(g, to);
    ADD_FAILURE() << "no road from screen " << v.screen << " with " << s.num_of_rings << " rings";
    return [](int32, int32) { return false; };
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Playing: the screen loop of the main loop, one piece at a time
// ---------------------------------------------------------------------------------------------

// Plays the screens from `at` as the main loop does, choosing every walking key with `goal`,
// until the game leaves the screens or `enough` says so (checked between keys). Returns where
// it stopped.
screen_result playscreens(game_state &g, screen_result at, const std::function<cell_test()> &goal,
                          const std::function<bool()> &enough) {
    while (at.where >= 1 && at.where <= screen_count && !enough()) {
        const screen_rec &screen = world[at.where];
        drive(g, [&] {
            g.visit = visit_rec{};
            enterscreen(screen, g.visit, at.oldwhere, g.stats);
        });
        if (::testing::Test::HasFatalFailure()) return at;
        int32 to = stay;
        if (screen.script) drive(g, [&] { to = screen.script(g.stats, g.visit); });
        while (to == stay && !enough()) {
            const std::optional<char> k = towards(g, goal());
            if (!k) {
                std::string map;
                for (const auto &row : g.visit.map.cells) map += std::string(rowcodes(row)) + "\n";
                ADD_FAILURE() << "no way on screen " << at.where << " from " << g.visit.row << ","
                              << g.visit.col << "\n"
                              << map;
                return at;
            }
            g.keys += *k;
            drive(g, [&] { to = stepscreen(screen, g.visit, *k, g.stats); });
            if (::testing::Test::HasFatalFailure()) return at;
        }
        at = {.where = to, .oldwhere = at.where};
    }
    return at;
}

// Starts a session as golden_test.cpp does: the opening and the first preset hero (the
// opening's keys are the player's), or that hero dropped onto a screen; then plays it and,
// if all went well, writes its keys. Returns the screen it stopped on.
int32 playsession(const golden_case &c, const std::function<cell_test(game_state &)> &goal,
                  const std::function<bool(game_state &)> &enough) {
    game_state g;
    now = c.clock;
    game_clock = stepping;
    screen_result at{.where = c.screen, .oldwhere = 0};
    if (c.screen == 0) {
        player_rec hero;
        drive(
            g, [&] { hero = intro(); }, "\n\n\n\n\n1\n");
        setup(hero, g.stats);
        at = {.where = screen::home, .oldwhere = -1};
    } else {
        g.stats = newhero();
        g.stats.num_of_rings = c.rings;
        g.stats.money = c.money;
    }
    at = playscreens(
        g, at, [&] { return goal(g); }, [&] { return enough(g); });
    game_clock = realclock;
    if (::testing::Test::HasFailure()) return at.where;
    std::cout << c.name << ": " << g.keys.size() << " keys, " << g.stats.num_fights
              << " fights won, " << g.stats.deaths << " deaths, " << g.stats.points << " points\n";
    std::ofstream(std::string(ORBRIDDEN_GOLDEN_DIR) + "/" + c.name + ".keys", std::ios::binary)
        << g.keys;
    return at.where;
}

TEST(GoldenPlayer, DISABLED_WritesThePlaythrough) {
    const int32 end =
        playsession(session("playthrough"), questgoal, [](game_state &) { return false; });
    EXPECT_EQ(end, game_over) << "the playthrough must end the game";
}

// The wander's screens in the order visited: the western forest, the pier and the sea by
// boat, and back through the town to the cave.
const std::vector<int32> wander_road = {1, 2, 3, 2, 1, 20, 21, 22, 21, 20, 1, 47};

TEST(GoldenPlayer, DISABLED_WritesTheWander) {
    std::size_t reached = 0; // how many screens of the road the hero has been on
    auto arrived = [&](game_state &g) {
        while (reached < wander_road.size() && wander_road[reached] == g.visit.screen) ++reached;
        return reached == wander_road.size();
    };
    auto goal = [&](game_state &g) {
        arrived(g);
        return exitto(g, wander_road[reached]);
    };
    playsession(session("wander"), goal, arrived);
}

} // namespace
