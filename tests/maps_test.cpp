// The world's maps, as each screen's row builds them: landmarks, the cells the walking engine
// places the hero on or tests, and the home town cell for cell. Where the border opens is the
// screen table's to say: tests/worldmap_test.cpp walks every map to every exit of its row.
#include "core/console.hpp"
#include "home_plan.hpp"
#include "screens/screens.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A rectangle of cells, corners included; a single cell is {r, c, r, c}.
struct cells {
    int row1, col1, row2, col2;
};
cells at(int row, int col) {
    return {row, col, row, col};
}
// Where the sea's waves are drawn: open water on every sea map.
const cells waves = {4, 11, 19, 68};

// Game codes that must stand at a cell and the cells to its right.
struct landmark {
    int row, col;
    std::string codes;
};

// The corridor screens' frame: the wall's top and bottom edges and its side walls.
std::vector<landmark> castle(std::vector<landmark> more) {
    std::vector<landmark> all = {
        {1, 25, "\xd1"}, {22, 53, "\xcf"}, {2, 25, "\x9d"}, {21, 53, "\x9d"}};
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

struct layout_case {
    int32 screen;
    int32 rings = 0;                 // the map as the hero with this many rings finds it
    std::vector<landmark> landmarks; // fixed features
    std::vector<cells> open;         // entry, door, trigger and exit cells: the hero's floor
    unsigned char floor = ' ';       // what the hero walks on (code 0 on the name puzzle)
};

std::ostream &operator<<(std::ostream &os, const layout_case &c) {
    return os << "screen " << c.screen << " with " << c.rings << " rings";
}

const std::vector<layout_case> layouts = {
    // [SECTION] Home town and the western forest
    {.screen = screen::home,
     .landmarks = {{4, 10, "XP"},
                   {5, 8, "gainer"},
                   {7, 59, "Casino"},
                   {13, 25, "Sorceress Vaskarine"},
                   {19, 7, "Market"},
                   {19, 63, "Hotel"}},
     .open = {at(17, 40), at(12, 1), at(12, 78), at(22, 39), at(1, 39), at(7, 14), at(11, 56),
              at(16, 34), at(17, 10), at(17, 65)}},
    {.screen = screen::forest_west,
     .landmarks = {{1, 1, "\x05\x05\x05"}, {21, 70, "\x05\x05\x05"}},
     .open = {at(12, 78), at(12, 1), {3, 11, 5, 68}, {18, 2, 20, 57}}},
    {.screen = screen::forest_ring,
     .landmarks = {{12, 40, "\x05"}},
     .open = {at(12, 78), at(12, 1), {3, 5, 5, 74}, {18, 5, 20, 74}}},
    {.screen = screen::forest_north,
     .landmarks = {{22, 1, "\x05"}},
     .open = {at(12, 78), at(1, 39), {18, 28, 20, 55}, {3, 3, 5, 41}}},
    {.screen = screen::castle_approach,
     .landmarks = {{12, 30, "k"},
                   {8, 11, std::string(58, '-')},
                   {10, 1, std::string(78, '\xb0')},
                   {1, 11, "|"},
                   {7, 68, "|"}},
     .open = {at(22, 39), at(13, 39), at(12, 31)}},
    // [SECTION] The first castle
    {.screen = screen::courtyard,
     .landmarks = {{1, 1, "\xd1"},
                   {22, 78, "\xcf"},
                   {2, 1, "\x9d"},
                   {21, 78, "\x9d"},
                   {2, 25, "\xba"},
                   {16, 55, "\xba"}},
     .open = {at(22, 39), at(1, 11), at(1, 39), at(1, 68)}},
    {.screen = screen::castle_west1,
     .landmarks = castle({{12, 53, "\x9d"}, {12, 25, "\x9d"}}),
     .open = {at(1, 39), at(22, 39)}},
    {.screen = screen::castle_middle1,
     .landmarks = castle({{12, 25, "\x9d"}}),
     .open = {at(1, 39), at(22, 39), {11, 53, 13, 54}}},
    {.screen = screen::castle_east1,
     .landmarks = castle({{12, 53, "\x9d"}}),
     .open = {at(1, 39), at(22, 39), {11, 24, 13, 25}}},
    {.screen = screen::castle_west2,
     .landmarks = castle({{12, 53, "\x9d"}, {12, 25, "\x9d"}}),
     .open = {at(1, 39), at(22, 39)}},
    {.screen = screen::castle_middle2,
     .landmarks = castle({{1, 37, "\xd1\xd1\xd1\xd1\xd1"}, {12, 53, "\x9d"}, {12, 25, "\x9d"}}),
     .open = {at(22, 39)}},
    {.screen = screen::castle_east2,
     .landmarks = castle({{12, 53, "\x9d"}, {12, 25, "\x9d"}}),
     .open = {at(1, 39), at(22, 39)}},
    {.screen = screen::castle_west3,
     .landmarks = castle({{12, 25, "\x9d"}}),
     .open = {at(1, 39), at(22, 39), {11, 53, 13, 54}}},
    {.screen = screen::castle_middle3,
     .landmarks = castle({{22, 37, "\xcf\xcf\xcf\xcf\xcf"}, {12, 53, "\x9d"}}),
     .open = {at(1, 39), {11, 24, 13, 25}}},
    {.screen = screen::castle_east3,
     .landmarks = castle({{1, 37, "\xd1\xd1\xd1\xd1\xd1"}, {12, 53, "\x9d"}, {12, 25, "\x9d"}}),
     .open = {at(22, 39)}},
    {.screen = screen::castle_west4,
     .landmarks = castle({{1, 37, "\xd1\xd1\xd1\xd1\xd1"}, {12, 53, "\x9d"}, {12, 25, "\x9d"}}),
     .open = {at(22, 39)}},
    {.screen = screen::castle_middle4,
     .landmarks = castle({{1, 37, "\xd1\xd1\xd1\xd1\xd1"}, {12, 25, "\x9d"}}),
     .open = {at(22, 39), {11, 53, 13, 54}}},
    {.screen = screen::castle_east4,
     .landmarks = castle({{22, 37, "\xcf\xcf\xcf\xcf\xcf"}, {12, 53, "\x9d"}}),
     .open = {at(1, 39), {11, 24, 13, 25}}},
    {.screen = screen::great_hall,
     .landmarks = {{3, 39, "O"},
                   {4, 38, "|<>"},
                   {5, 38, "/ \\"},
                   {1, 1, "\xd1"},
                   {15, 1, "\xcf"},
                   {15, 36, "\x9d * * \x9d"},
                   {22, 36, "\x9d * * \x9d"}},
     .open = {at(22, 39), {14, 37, 21, 37}, {14, 39, 21, 39}, {14, 41, 21, 41}}},
    // [SECTION] The pier and the sea
    {.screen = screen::pier,
     .landmarks = {{9, 1, std::string(78, '\xf7')},
                   {10, 1, std::string(78, '-')},
                   {14, 1, std::string(78, '-')},
                   {15, 1, std::string(78, '\xf7')},
                   {8, 1, "\xb0"},
                   {16, 78, "\xb0"}},
     .open = {at(12, 1), at(12, 78), {11, 1, 13, 78}}},
    {.screen = screen::sea_mid1,
     .landmarks = {{1, 1, "\xb0\xb0\xb0\xb0"},
                   {10, 1, "\xb0\xb0\xb0"},
                   {14, 1, "\xb0\xb0\xb0"},
                   {22, 4, "\xb0"}},
     .open = {at(12, 78), at(12, 1), at(22, 39), at(1, 39), at(10, 4), at(14, 4), waves}},
    {.screen = screen::sea_mid2,
     .landmarks = {},
     .open = {at(12, 78), at(12, 1), at(22, 39), at(1, 39), waves}},
    {.screen = screen::sea_mid3,
     .landmarks = {},
     .open = {at(12, 78), at(12, 1), at(22, 39), at(1, 39), waves}},
    {.screen = screen::sea_mid4,
     .landmarks = {{1, 75, "\xb0\xb0\xb0\xb0"}, {22, 75, "\xb0\xb0\xb0\xb0"}},
     .open = {at(22, 39), at(12, 1), at(1, 39), waves}},
    {.screen = screen::sea_south1,
     .landmarks = {{1, 1, "\xb0\xb0\xb0\xb0"},
                   {19, 1, "\xb0\xb0\xb0\xb0\xb0"},
                   {20, 1, std::string(78, '\xb0')}},
     .open = {at(1, 39), at(12, 78), at(18, 5), waves}},
    {.screen = screen::sea_south2,
     .landmarks = {{20, 1, std::string(78, '\xb0')}},
     .open = {at(12, 1), at(1, 39), at(12, 78), waves}},
    {.screen = screen::sea_south3,
     .landmarks = {{20, 1, std::string(78, '\xb0')}},
     .open = {at(12, 1), at(1, 39), at(12, 78), waves}},
    {.screen = screen::sea_south4,
     .landmarks = {{1, 75, "\xb0\xb0\xb0\xb0"},
                   {19, 74, "\xb0\xb0\xb0\xb0\xb0"},
                   {20, 1, std::string(78, '\xb0')}},
     .open = {at(1, 39), at(12, 1), at(18, 74), waves}},
    {.screen = screen::sea_north1,
     .landmarks = {{3, 1, std::string(78, '\xb0')},
                   {4, 1, "\xb0\xb0\xb0\xb0\xb0"},
                   {22, 1, "\xb0\xb0\xb0\xb0"}},
     .open = {at(22, 39), at(12, 78), at(4, 6), waves}},
    {.screen = screen::sea_north2,
     .landmarks = {{1, 1, std::string(78, '\xb0')}, {3, 1, std::string(78, '\xb0')}},
     .open = {at(12, 1), at(22, 39), at(12, 78), waves}},
    {.screen = screen::sea_north3,
     .landmarks = {{1, 36, "\xb0"},
                   {1, 42, "\xb0"},
                   {3, 1, std::string(35, '\xb0')},
                   {3, 43, std::string(36, '\xb0')}},
     .open = {at(12, 1), at(22, 39), at(12, 78), at(1, 39), {1, 37, 3, 41}, {3, 36, 3, 42}, waves}},
    {.screen = screen::sea_north4,
     .landmarks = {{3, 1, std::string(78, '\xb0')},
                   {4, 74, "\xb0\xb0\xb0\xb0\xb0"},
                   {22, 75, "\xb0\xb0\xb0\xb0"}},
     .open = {at(22, 39), at(12, 1), at(5, 74), waves}},
    // [SECTION] The island
    {.screen = screen::island_gate,
     .landmarks = {{7, 22, "{%****%}"},
                   {1, 5, "\\\\"},
                   {13, 37, "*"},
                   {13, 40, "*"},
                   {14, 35, "%"},
                   {14, 42, "%"},
                   {22, 27, "\\"}},
     .open = {at(22, 39), at(15, 39), {13, 38, 14, 39}}},
    {.screen = screen::island_gate,
     .rings = 2,
     .landmarks = {{14, 38, std::string(2, '\0')}, {1, 1, std::string(1, '\0')}},
     .open = {at(22, 39), at(15, 39), {15, 31, 22, 47}}},
    {.screen = screen::mirror_maze,
     .landmarks = {{1, 1, std::string(41, '\0')},
                   {5, 2, std::string(58, '\0')},
                   {12, 78, std::string(1, '\0')}},
     .open = {at(22, 39), at(1, 44)}},
    {.screen = screen::mirror_hall,
     .landmarks = {{10, 1, std::string(11, '\0')},
                   {10, 13, std::string(47, '\0')},
                   {10, 61, std::string(18, '\0')}},
     .open = {at(22, 39), at(1, 39), at(10, 12), at(10, 60)}},
    {.screen = screen::name_puzzle,
     .landmarks = {{1, 1, std::string(78, '\x04')},
                   {12, 35, "\xce"},
                   {12, 37, "\xce\xce"},
                   {12, 40, "\xce\xce"},
                   {12, 43, "\xce"},
                   {17, 28, "k"},
                   {17, 39, "V"},
                   {17, 50, "e"}},
     .open = {at(22, 39), at(12, 36), at(12, 39), at(12, 42), at(2, 39)},
     .floor = 0},
    {.screen = screen::clown_room,
     .landmarks = {{3, 38, "{O}"},
                   {4, 38, "|[]"},
                   {5, 38, "/ \\"},
                   {3, 5, "OOOO"},
                   {1, 30, "|  |"},
                   {2, 30, "|  |"},
                   {3, 30, "'"},
                   {3, 33, "'"},
                   {1, 1, "^"},
                   {15, 1, "^"},
                   {2, 1, "<"},
                   {2, 78, ">"},
                   {15, 36, "< * * >"}},
     .open = {at(22, 39), {14, 37, 21, 37}, {14, 39, 21, 39}, {14, 41, 21, 41}}},
    {.screen = screen::chase_first,
     .landmarks = {{4, 8, std::string(38, 'O')},
                   {11, 74, "{O}"},
                   {12, 74, "|[]"},
                   {13, 74, "/ \\"},
                   {1, 1, std::string(78, '-')},
                   {22, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(20, 39), {11, 77, 13, 78}}},
    {.screen = screen::chase_second,
     .landmarks = {{4, 17, std::string(42, 'O')},
                   {19, 17, std::string(30, 'O')},
                   {11, 74, "{O}"},
                   {12, 74, "|[]"},
                   {13, 74, "/ \\"},
                   {1, 1, std::string(78, '-')},
                   {22, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(12, 3), {11, 77, 13, 78}}},
    {.screen = screen::clown_cornered,
     .landmarks = {{3, 14, "O"},
                   {14, 14, "O"},
                   {11, 74, "{O}"},
                   {12, 74, "|[]"},
                   {13, 74, "/ \\"},
                   {3, 77, "\x0f"},
                   {12, 77, "\x0f"},
                   {19, 77, "\x0f"},
                   {1, 1, std::string(78, '-')},
                   {22, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(12, 4), {11, 14, 13, 14}, {2, 50, 21, 50}}},
    // [SECTION] The southern forest and the enchanted lands
    {.screen = screen::southern_forest,
     .landmarks = {{1, 1, "I"}, {1, 37, "I"}, {22, 41, "I"}},
     .open = {at(1, 39), at(22, 39), at(2, 39), at(21, 39)}},
    {.screen = screen::backwards_room,
     .landmarks = {{8, 10, std::string(68, '-')},
                   {9, 39, "|"},
                   {20, 39, "|"},
                   {22, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(1, 39), at(11, 78), at(21, 39)}},
    {.screen = screen::confusing_room,
     .landmarks = {{9, 1, std::string(78, '*')},
                   {13, 1, std::string(37, '*')},
                   {22, 37, "*"},
                   {22, 41, "*"}},
     .open = {at(11, 1), at(22, 39), {10, 1, 12, 40}, {10, 38, 22, 40}}},
    {.screen = screen::fenced_field,
     .landmarks = {{1, 38, "| |"}, {12, 38, "| |"}, {13, 39, "-"}},
     .open = {at(1, 39), {1, 39, 12, 39}}},
    {.screen = screen::landing_room,
     .landmarks =
         {{1, 1, std::string(78, '-')}, {22, 1, std::string(78, '-')}, {2, 1, "|"}, {21, 78, "|"}},
     .open = {at(2, 2), {10, 77, 12, 78}}},
    {.screen = screen::chanting_room,
     .landmarks = {{14, 75, "*"},
                   {15, 74, "* *"},
                   {16, 75, "O"},
                   {17, 74, "/ \\"},
                   {18, 73, "|   |"},
                   {1, 1, std::string(78, '-')},
                   {22, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(11, 2), at(15, 72), at(20, 72)}},
    // [SECTION] The northern cave
    {.screen = screen::cave_entrance,
     .landmarks = {{2, 33, "Down You Go!!"},
                   {3, 38, "___"},
                   {4, 38, "| |"},
                   {6, 38, "| |"},
                   {20, 76, "\x0f"},
                   {1, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(22, 39), at(4, 39), {12, 2, 14, 4}, at(11, 2)}},
    {.screen = screen::tunnel_descent,
     .landmarks = {{2, 2, std::string(76, '*')}, {21, 2, std::string(76, '*')}},
     .open = {}},
    {.screen = screen::tunnel_junction,
     .landmarks = {{2, 2, std::string(76, '*')}, {21, 2, std::string(76, '*')}},
     .open = {}},
    {.screen = screen::tunnel_north_end,
     .landmarks = {{2, 2, std::string(76, '*')}, {21, 2, std::string(76, '*')}},
     .open = {}},
    {.screen = screen::tunnel_south_end,
     .landmarks = {{2, 2, std::string(76, '*')}, {21, 2, std::string(76, '*')}},
     .open = {}},
    {.screen = screen::tunnel_east,
     .landmarks = {{2, 2, std::string(76, '*')}, {21, 2, std::string(76, '*')}},
     .open = {}},
    {.screen = screen::tunnel_to_ship,
     .landmarks = {{2, 2, std::string(76, '*')}, {21, 2, std::string(76, '*')}},
     .open = {}},
    {.screen = screen::four_posts,
     .landmarks = {{3, 3, "\x02"},
                   {3, 76, "\x02"},
                   {18, 3, "\x02"},
                   {18, 76, "\x02"},
                   {11, 78, "|"},
                   {1, 1, std::string(78, '-')},
                   {22, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(11, 2)}},
    {.screen = screen::alien_ship,
     .landmarks = {{2, 10, "THE FINAL FIGHT!"},
                   {5, 14, "---------"},
                   {10, 14, "---------"},
                   {6, 14, "|"},
                   {9, 22, "|"},
                   {1, 1, std::string(78, '-')},
                   {22, 1, std::string(78, '-')},
                   {2, 1, "|"},
                   {21, 78, "|"}},
     .open = {at(11, 2)}},
};

class map_layout : public testing::TestWithParam<layout_case> {};

// The map as the hero with the case's rings finds it.
world_matrix mapof(const layout_case &c) {
    world_matrix m;
    for (auto &row : m.cells) row.fill('?'); // leftovers of another screen
    stats_rec hero = newhero({.power = 25, .armor = 45, .magic = 30, .name = padded<3>("Vek")});
    hero.num_of_rings = c.rings;
    buildmap(world[c.screen], m, hero);
    return m;
}

TEST_P(map_layout, KeepsItsLandmarksAndOpenCells) {
    const layout_case &c = GetParam();
    const world_matrix m = mapof(c);
    for (int row = 1; row <= map_rows; ++row)
        for (int col = 1; col <= map_cols; ++col)
            EXPECT_NE(m(row, col), '?') << "cell (" << row << "," << col << ") not written";
    for (const landmark &l : c.landmarks)
        for (std::size_t i = 0; i < l.codes.size(); ++i)
            EXPECT_EQ(m(l.row, l.col + int(i)), static_cast<unsigned char>(l.codes[i]))
                << "landmark at (" << l.row << "," << l.col + int(i) << ")";
    for (const cells &o : c.open)
        for (int row = o.row1; row <= o.row2; ++row)
            for (int col = o.col1; col <= o.col2; ++col)
                EXPECT_EQ(m(row, col), c.floor) << "cell (" << row << "," << col << ") not open";
}

INSTANTIATE_TEST_SUITE_P(Screens, map_layout, testing::ValuesIn(layouts),
                         [](const testing::TestParamInfo<layout_case> &info) {
                             return "screen" + std::to_string(info.param.screen) + "_rings" +
                                    std::to_string(info.param.rings);
                         });

// A screen left out of the table would go unchecked.
TEST(MapLayouts, CoverEveryScreen) {
    std::set<int> screens;
    for (const layout_case &c : layouts) screens.insert(c.screen);
    for (int screen = 1; screen <= screen_count; ++screen)
        EXPECT_TRUE(screens.count(screen)) << screen;
}

// The home town is fixed cell for cell.
TEST(HomeMap, MatchesTheTownPlanRowByRow) {
    world_matrix m;
    buildmap(world[screen::home], m, newhero());
    usescript("");
    for (const auto &row : m.cells) putline(rowcodes(row));
    std::vector<std::string> shown = splitlines(transcript());
    ASSERT_GE(shown.size(), std::size_t(map_rows));
    for (int row = 0; row < map_rows; ++row)
        EXPECT_EQ(shown[row], home_plan[row]) << "row " << row + 1;
}

} // namespace
