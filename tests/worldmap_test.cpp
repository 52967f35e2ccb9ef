// The world walked end to end: every screen's map against its row of the screen table (entry
// cells on the floor, every exit reachable from every entry, no opening without an exit), and
// long random key streams through the walking engine on every screen.
#include "core/console.hpp"
#include "core/random.hpp"
#include "screens/screens.hpp"
#include "support.hpp"
#include "world/mechanics.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>
#include <vector>

namespace {

stats_rec herowith(int32 rings) {
    stats_rec s = newhero();
    s.num_of_rings = rings;
    return s;
}

// [SECTION] The map checker

// The map of screen n as the screen's events can leave it: the castle gate opened by the
// switch, the name puzzle's gate opened by the spelled name, the posts' wall opened.
void opened(int32 n, world_matrix &m) {
    if (n == screen::castle_approach) opencastlegate(m);
    if (n == screen::name_puzzle)
        for (int c = 37; c <= 41; ++c) m(1, c) = invisible;
    if (n == screen::four_posts) m(11, map_cols) = blank;
}

// An exit that the map keeps the hero from on purpose: on the sea's north-east corner the whole
// top edge tests as the way to the island, but the coast keeps the boat below it; once the
// clown's ring is won, the island gate lies in pieces and only the way back to the landing is
// open.
constexpr bool sealedoff(int32 n, int32 rings, const exit_rec &e) {
    return (n == screen::sea_north4 && e.to == screen::island_gate) ||
           (n == screen::island_gate && rings >= 2 && e.to == screen::mirror_maze);
}

constexpr bool tunnel(int32 n) {
    return n >= screen::tunnel_descent && n <= screen::tunnel_to_ship;
}
constexpr bool seascreen(int32 n) {
    return n >= screen::sea_mid1 && n <= screen::sea_north4;
}

struct move_key {
    int32 drow, dcol, dir;
};
constexpr move_key steps4[] = {
    {-1, 0, step_up}, {1, 0, step_down}, {0, -1, step_left}, {0, 1, step_right}};

// What a walk over every reachable cell of one map finds.
struct survey_rec {
    std::set<int> exits_reached;         // indexes into the screen's exits
    std::vector<position_rec> uncovered; // steps off the map that no exit takes
};

// Walks from the entry cell with the screen's own mover, trying all four steps from every
// position reached, and notes which exits the target cells meet (conditions and scenes aside:
// the question is whether the map lets the hero get there at all).
survey_rec survey(const screen_rec &screen, const world_matrix &built, position_rec entry,
                  const stats_rec &hero) {
    struct node {
        position_rec at;
        world_matrix map;
    };
    survey_rec out;
    stats_rec s = hero;
    node first{entry, built};
    if (screen.lit_entry) lightsquare(first.map, entry.row, entry.col);
    first.at = entrymover(screen)(first.map, {entry.row, entry.col, no_step, 0, screen.mark}, s);
    std::vector<node> todo{first};
    std::set<std::pair<int, int>> seen{{first.at.row, first.at.col}};
    while (!todo.empty()) {
        node here = std::move(todo.back());
        todo.pop_back();
        for (const move_key &k : steps4) {
            position_rec t{here.at.row + k.drow, here.at.col + k.dcol};
            bool left = false;
            for (int i = 0; i < static_cast<int>(screen.exits.size()); ++i) {
                const exit_rec &e = screen.exits[i];
                if (e.to != 0 && e.rows.holds(t.row) && e.cols.holds(t.col)) {
                    out.exits_reached.insert(i); // conditions aside, every exit here counts
                    left = true;
                }
            }
            if (left) continue;
            if (!onmap(t.row, t.col)) {
                out.uncovered.push_back(here.at);
                continue;
            }
            node next{{}, here.map};
            next.at = screen.move(next.map, {t.row, t.col, k.dir, 0, screen.mark}, s);
            if (seen.insert({next.at.row, next.at.col}).second) todo.push_back(std::move(next));
        }
    }
    return out;
}

// The characters of a UTF-8 line: every byte that does not continue a character.
int cells(const std::string &line) {
    int n = 0;
    for (unsigned char b : line) n += (b & 0xC0) != 0x80;
    return n;
}

std::string where(position_rec p) {
    std::ostringstream s;
    s << "(" << p.row << "," << p.col << ")";
    return s.str();
}

TEST(WorldMap, EveryScreenCanBeWalkedFromEveryEntryToEveryExit) {
    for (int32 n = 1; n <= screen_count; ++n) {
        const screen_rec &screen = world[n];
        // The island gate has two maps, before and after the second ring.
        for (int32 rings :
             n == screen::island_gate ? std::vector<int32>{0, 2} : std::vector<int32>{0}) {
            SCOPED_TRACE("screen " + std::to_string(n) + " with " + std::to_string(rings) +
                         " rings");
            stats_rec hero = herowith(rings);

            // The map is written whole: two different backgrounds give the same map.
            world_matrix a, b;
            for (auto &row : a.cells) row.fill(0xAA);
            for (auto &row : b.cells) row.fill(0x55);
            buildmap(screen, a, hero);
            buildmap(screen, b, hero);
            ASSERT_EQ(a.cells, b.cells) << "the map leaves cells unwritten";

            // Every row prints as 78 cells.
            usescript("");
            outmap(a, hero);
            auto lines = splitlines(transcript());
            ASSERT_EQ(lines.size(), 25u);
            for (int r = 1; r <= map_rows; ++r) EXPECT_EQ(cells(lines[r + 1]), 78) << "row " << r;

            opened(n, a);
            if (seascreen(n)) {
                for (int r = 4; r <= 19; ++r)
                    for (int c = 11; c <= 68; ++c)
                        ASSERT_EQ(a(r, c), blank) << "a wave could land on " << where({r, c});
            }

            std::set<int> all;
            for (int i = 0; i < 5; ++i)
                if (screen.exits[i].to != 0 && !sealedoff(n, rings, screen.exits[i])) all.insert(i);
            for (const entry_rec &e : screen.entries) {
                if (e.from == 0) break;
                SCOPED_TRACE("entry from " + std::to_string(e.from) + " at " +
                             where({e.row, e.col}));
                if (tunnel(n)) {
                    // The lit square around the entry cell must lie on the grid.
                    EXPECT_TRUE(e.row >= 3 && e.row <= 20 && e.col >= 3 && e.col <= 76);
                } else {
                    unsigned char floor = n == screen::name_puzzle ? invisible : blank;
                    EXPECT_EQ(a(e.row, e.col), floor) << "the entry cell is not floor";
                }
                survey_rec found = survey(screen, a, {e.row, e.col}, hero);
                for (int i : all)
                    EXPECT_TRUE(found.exits_reached.count(i))
                        << "exit " << i << " to screen " << screen.exits[i].to
                        << " cannot be reached";
                for (position_rec p : found.uncovered)
                    ADD_FAILURE() << "the border cell " << where(p) << " opens onto no exit";
            }
        }
    }
}

// Keys that walk the mark over cells holding `floor`, from where it stands to `to`.
std::string pathto(const visit_rec &v, position_rec to, unsigned char floor) {
    const char keys[] = {'8', '2', '4', '6'};
    std::map<std::pair<int, int>, std::pair<std::pair<int, int>, char>> came;
    std::vector<std::pair<int, int>> todo{{v.row, v.col}};
    came[{v.row, v.col}] = {{0, 0}, 0};
    for (std::size_t i = 0; i < todo.size(); ++i) {
        auto [r, c] = todo[i];
        for (int k = 0; k < 4; ++k) {
            int nr = r + steps4[k].drow, nc = c + steps4[k].dcol;
            if (!onmap(nr, nc) || v.map(nr, nc) != floor || came.count({nr, nc})) continue;
            came[{nr, nc}] = {{r, c}, keys[k]};
            todo.push_back({nr, nc});
        }
    }
    std::string path;
    for (std::pair<int, int> at{to.row, to.col}; came.at(at).second; at = came.at(at).first)
        path.insert(path.begin(), came.at(at).second);
    return path;
}

TEST(WorldMap, TheNamePuzzleCanBeSolvedByPushingTheLettersIntoTheSlots) {
    usescript("");
    stats_rec s = herowith(1);
    visit_rec v;
    enterscreen(world[screen::name_puzzle], v, screen::mirror_hall, s);
    auto press = [&](const std::string &keys) {
        for (char k : keys) ASSERT_EQ(stepscreen(world[screen::name_puzzle], v, k, s), stay);
    };
    // Each letter: walk behind it, push it along row 17 to its slot's column, then push it up.
    struct {
        position_rec behind;
        std::string along;
        int slot_col;
    } plan[] = {
        {{17, 40}, std::string(3, '4'), 36},  // O from (17,39)
        {{17, 51}, std::string(11, '4'), 39}, // r from (17,50)
        {{17, 27}, std::string(14, '6'), 42}, // u from (17,28)
    };
    for (const auto &p : plan) {
        press(pathto(v, p.behind, invisible));
        press(p.along);
        press(pathto(v, {18, p.slot_col}, invisible));
        press(std::string(5, '8'));
    }
    EXPECT_EQ(v.map(12, 36), 'O');
    EXPECT_EQ(v.map(12, 39), 'r');
    EXPECT_EQ(v.map(12, 42), 'u');
    transcript();
}

// [SECTION] Random key streams

// Checks what must hold after every key, whatever was pressed.
void checkvisit(const visit_rec &v, const stats_rec &s, int32 screen) {
    ASSERT_TRUE(onmap(v.row, v.col))
        << "screen " << screen << ": the mark left the grid at " << where({v.row, v.col});
    ASSERT_GE(s.steps, -1) << "screen " << screen;
    ASSERT_EQ(v.screen, screen);
}

TEST(WorldWalk, RandomKeyStreamsOnEveryScreenKeepTheMarkOnTheGrid) {
    stepping_clock clock(1);
    std::mt19937 rng(20261209);
    // Mostly moves, so that the hero travels; the rest are keys without a meaning here.
    const std::string alphabet = "888822224444666600013579aZ \n\x1b\x7f\t";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    constexpr int keys_per_walk = 800;
    for (int32 n = 1; n <= screen_count; ++n)
        for (const entry_rec &e : world[n].entries) {
            if (e.from == 0) break;
            std::string keys(keys_per_walk, ' ');
            for (char &k : keys) k = alphabet[pick(rng)];
            usescript(keys);
            stats_rec s = herowith(n % 5); // rings 0 to 4 open different gates
            int32 screen = n;
            visit_rec v;
            try {
                enterscreen(world[screen], v, e.from, s);
                checkvisit(v, s, screen);
                for (int taken = 0;; ++taken) {
                    int32 to = stepscreen(world[screen], v, key(), s);
                    if (to != stay) {
                        // The end of the game starts it again at home.
                        int32 old = to >= 1 && to <= screen_count ? screen : -1;
                        screen = to >= 1 && to <= screen_count ? to : screen::home;
                        v = visit_rec{};
                        enterscreen(world[screen], v, old, s);
                    }
                    checkvisit(v, s, screen);
                    if (HasFatalFailure()) return;
                    if (taken % 256 == 0) transcript(); // keep the scripted screen small
                }
            } catch (const input_closed &) {
            }
            transcript();
        }
}

} // namespace
