// The 55 screens as data: one row each, in the order of the screen numbers, and the main
// loop's table of handlers built from them.
#include "screens/screens.hpp"

#include "combat/roster.hpp"
#include "screens/events.hpp"
#include "screens/home.hpp"
#include "world/maps.hpp"
#include "world/mechanics.hpp"

#include <utility>

namespace {

// [SECTION] Helpers that keep the rows short

template <void (*Build)(world_matrix &)>
void plain(world_matrix &map, const stats_rec &) {
    Build(map);
}
// The island gate lies in pieces once the clown's ring (the second) is won.
void build33(world_matrix &map, const stats_rec &stats) {
    if (stats.num_of_rings < 2)
        init33(map);
    else
        init33after(map);
}
// The name puzzle spells the hero's own name.
void build36(world_matrix &map, const stats_rec &stats) {
    init36(map, stats.name);
}

constexpr entry_rec from(int32 screen, int32 row, int32 col) {
    return {screen, row, col};
}
constexpr int32 start = -1; // the hero comes from no screen: the game has just begun

// Exits through the four edges (the off-map row or column next to it) and inner cells.
constexpr exit_rec west(band rows, int32 to, stats_test when = nullptr) {
    return {rows, at(0), to, when};
}
constexpr exit_rec east(band rows, int32 to, stats_test when = nullptr) {
    return {rows, at(map_cols + 1), to, when};
}
constexpr exit_rec north(band cols, int32 to, stats_test when = nullptr) {
    return {at(0), cols, to, when};
}
constexpr exit_rec south(band cols, int32 to, stats_test when = nullptr) {
    return {at(map_rows + 1), cols, to, when};
}
constexpr exit_rec through(band rows, band cols, int32 to, stats_test when = nullptr,
                           exit_scene scene = nullptr) {
    return {rows, cols, to, when, scene};
}
constexpr exit_rec cell(int32 row, int32 col, int32 to) {
    return through(at(row), at(col), to);
}
constexpr band gap{37, 41};    // the five-cell gap in the middle of a top or bottom wall
constexpr band middle{11, 13}; // the three-row gap in the middle of a side

bool hasring(const stats_rec &s) {
    return s.num_of_rings > 0;
}
bool tworings(const stats_rec &s) {
    return s.num_of_rings == 2;
}
bool belowfour(const stats_rec &s) {
    return s.num_of_rings < 4;
}

// Movers of the special screens, in the shape of `placex`.
position_rec brickmove(int32 row, int32 col, world_matrix &map, int32 dir, stats_rec &stats, int32,
                       unsigned char) {
    return movebrickx(row, col, map, dir, stats);
}
position_rec chasemove(int32 row, int32 col, world_matrix &map, int32 dir, stats_rec &stats,
                       int32 chance, unsigned char) {
    return chasex(row, col, map, dir, stats, chance);
}

// [SECTION] Encounter sets: tests on the countdown as drawn, in order; the cash each pays.

constexpr foe_rec forest_set[] = {
    {2, meet<creature("bats")>, 8},
    {3, meet<creature("fox")>, 14},
    {1, meet<creature("raccoon")>, 12},
};
constexpr foe_rec castle_set[] = {
    {2, meet<creature("ghost")>, 16},
    {5, meet<creature("skeleton")>, 22},
    {1, meet<creature("bats")>, 8},
};
constexpr foe_rec sea_set[] = {
    {3, meet<creature("jelly")>, 20},
    {2, meet<creature("crab")>, 23},
    {5, meet<creature("shark")>, 29},
    {1, meet<creature("octopus")>, 25},
};
constexpr foe_rec mirror_set[] = {
    {3, meet<creature("mime")>, 32},
    {2, meet<creature("seal")>, 37},
    {1, meet<creature("monkey")>, 36},
};
constexpr foe_rec enchanted_set[] = {
    {2, meet<creature("mad_monkey")>, 40},
    {3, meet<creature("crazy_clown")>, 45},
    {1, meet<creature("dwarf_guy")>, 60},
};
constexpr foe_rec pit_set[] = {
    {2, meet<creature("glob_of_goo")>, 50},
    {3, meet<creature("rock")>, 70},
    {1, meet<creature("dwarf_guy")>, 60},
};
constexpr foe_rec cave_set[] = {
    {2, meet<creature("caveman")>, 2},
    {3, meet<creature("darkness")>, 190},
    {1, meet<creature("stalagmite")>, 100},
};
constexpr foe_rec ship_set[] = {
    {2, meet<creature("zarkhul")>, 2},
    {3, meet<creature("darkness")>, 190},
    {1, meet<creature("zarkhul")>, 100},
};

// Row templates shared by many screens.
constexpr screen_rec forest{.cost = 10, .check = countdown::fights, .foes = forest_set};
constexpr screen_rec enchanted{.cost = 10, .check = countdown::fights, .foes = enchanted_set};
constexpr screen_rec pit{.cost = 10, .check = countdown::fights, .foes = pit_set};
constexpr screen_rec castle{.cost = 15, .check = countdown::fights, .foes = castle_set};
constexpr screen_rec sea{
    .mark = boat_mark, .cost = 10, .sea = true, .check = countdown::fights, .foes = sea_set};
constexpr screen_rec tunnel{
    .move = shadowx, .cost = 10, .lit_entry = true, .check = countdown::fights, .foes = cave_set};

// A row from a template with its own number, map, entries and exits.
constexpr screen_rec like(screen_rec base, int32 number, map_builder build,
                          std::array<entry_rec, 5> entries, std::array<exit_rec, 5> exits) {
    base.number = number;
    base.build = build;
    base.entries = entries;
    base.exits = exits;
    return base;
}
// A row whose page or scene shows as the hero arrives, before he is placed.
constexpr screen_rec arriving(screen_rec row, visit_event onenter) {
    row.onenter = onenter;
    return row;
}

} // namespace

// [SECTION] The screens

constexpr std::array<screen_rec, screen_count + 1> world = {{
    {}, // there is no screen 0

    // ---- the home town
    {.number = 1,
     .build = plain<inithome>,
     .entries = {from(start, 17, 40), from(2, 12, 1), from(20, 12, 78), from(41, 22, 39),
                 from(47, 1, 39)},
     .exits = {west(middle, 2), east(middle, 20, hasring), south(any, 41), north(any, 47)},
     .doors = homedoors},

    // ---- the western forest and the castle approach
    like(forest, 2, plain<init2>, {from(1, 12, 78), from(3, 12, 1)},
         {east(middle, 1), west(middle, 3)}),
    like(forest, 3, plain<init3>, {from(2, 12, 78), from(4, 12, 1)},
         {east(middle, 2), west(middle, 4)}),
    like(forest, 4, plain<init4>, {from(3, 12, 78), from(5, 1, 39)},
         {east(middle, 3), north(gap, 5)}),
    // Step cost 0: the countdown never runs down here, but a count left at 0 still fights.
    // The switch at (12,30) opens the gate over the moat until the first ring is won.
    {.number = 5,
     .build = plain<init5>,
     .entries = {from(4, 22, 39), from(6, 13, 39), from(19, 13, 39)},
     .exits = {south(gap, 4), through(at(7), {36, 42}, 6)},
     .check = countdown::fights,
     .foes = forest_set,
     .afterexits = castleswitch},

    // ---- the first ring-holder's castle
    like(castle, 6, plain<init6>, {from(5, 22, 39), from(7, 1, 11), from(8, 1, 39), from(9, 1, 68)},
         {south(gap, 5), north({9, 13}, 7), north(gap, 8), north({66, 70}, 9)}),
    like(castle, 7, plain<init7_10_12>, {from(6, 22, 39), from(10, 1, 39)},
         {south(gap, 6), north(gap, 10)}),
    like(castle, 8, plain<init8_13>, {from(9, 12, 53), from(6, 22, 39), from(11, 1, 39)},
         {south(gap, 6), through(middle, at(54), 9), north(gap, 11)}),
    like(castle, 9, plain<init9>, {from(8, 12, 25), from(6, 22, 39), from(12, 1, 39)},
         {south(gap, 6), north(gap, 12), through(middle, at(24), 8)}),
    like(castle, 10, plain<init7_10_12>, {from(7, 22, 39), from(13, 1, 39)},
         {south(gap, 7), north(gap, 13)}),
    like(castle, 11, plain<init11_15_16>, {from(8, 22, 39)}, {south(gap, 8)}),
    like(castle, 12, plain<init7_10_12>, {from(9, 22, 39), from(15, 1, 39)},
         {south(gap, 9), north(gap, 15)}),
    like(castle, 13, plain<init8_13>, {from(14, 12, 53), from(10, 22, 39), from(16, 1, 39)},
         {south(gap, 10), through(middle, at(54), 14), north(gap, 16)}),
    like(castle, 14, plain<init14_18>, {from(13, 12, 25), from(17, 1, 39)},
         {through(middle, at(24), 13), north(gap, 17)}),
    like(castle, 15, plain<init11_15_16>, {from(12, 22, 39)}, {south(gap, 12)}),
    like(castle, 16, plain<init11_15_16>, {from(13, 22, 39)}, {south(gap, 13)}),
    like(castle, 17, plain<init17>, {from(14, 22, 39), from(18, 12, 53)},
         {south(gap, 14), through(middle, at(54), 18)}),
    like(castle, 18, plain<init14_18>, {from(17, 12, 25), from(19, 1, 39)},
         {through(middle, at(24), 17), north(gap, 19)}),
    // The hall floor (row 14) starts the ring-holder's scene and leads back to screen 5.
    {.number = 19,
     .build = plain<init19>,
     .entries = {from(18, 22, 39)},
     .exits = {through(at(14), any, 5, nullptr, tobrillohall), south(any, 18)}},

    // ---- the pier: the east edge asks for the boat before it lets the hero on
    {.number = 20,
     .build = plain<init20>,
     .entries = {from(1, 12, 1), from(21, 12, 78)},
     .exits = {west(middle, 1), through(middle, at(map_cols + 1), 21, nullptr, boatcrossing)}},

    // ---- the sea: the coast keeps the boat inside the open bands of each edge
    like(sea, 21, plain<init21>,
         {from(22, 12, 78), from(20, 12, 1), from(25, 22, 39), from(29, 1, 39)},
         {west(any, 20), east(any, 22), south(any, 25), north(any, 29)}),
    like(sea, 22, plain<init22_23>,
         {from(23, 12, 78), from(21, 12, 1), from(26, 22, 39), from(30, 1, 39)},
         {west(any, 21), east(any, 23), south(any, 26), north(any, 30)}),
    like(sea, 23, plain<init22_23>,
         {from(24, 12, 78), from(22, 12, 1), from(27, 22, 39), from(31, 1, 39)},
         {west(any, 22), east(any, 24), north(any, 31), south(any, 27)}),
    like(sea, 24, plain<init24>, {from(28, 22, 39), from(23, 12, 1), from(32, 1, 39)},
         {west(any, 23), north(any, 32), south(any, 28)}),
    like(sea, 25, plain<init25>, {from(21, 1, 39), from(26, 12, 78)},
         {east(any, 26), north(any, 21)}),
    like(sea, 26, plain<init26_27>, {from(25, 12, 1), from(22, 1, 39), from(27, 12, 78)},
         {west(any, 25), north(any, 22), east(any, 27)}),
    like(sea, 27, plain<init26_27>, {from(26, 12, 1), from(23, 1, 39), from(28, 12, 78)},
         {west(any, 26), north(any, 23), east(any, 28)}),
    like(sea, 28, plain<init28>, {from(24, 1, 39), from(27, 12, 1)},
         {west(any, 27), north(any, 24)}),
    like(sea, 29, plain<init29>, {from(21, 22, 39), from(30, 12, 78)},
         {east(any, 30), south(any, 21)}),
    like(sea, 30, plain<init30>, {from(29, 12, 1), from(22, 22, 39), from(31, 12, 78)},
         {east(any, 31), west(any, 29), south(any, 22)}),
    like(sea, 31, plain<init31>,
         {from(30, 12, 1), from(23, 22, 39), from(32, 12, 78), from(33, 1, 39)},
         {east(any, 32), west(any, 30), south(any, 23), north({36, 41}, 33)}),
    like(sea, 32, plain<init32>, {from(24, 22, 39), from(31, 12, 1)},
         {west(any, 31), south(any, 24), north(any, 33)}),

    // ---- the island
    {.number = 33,
     .build = build33,
     .entries = {from(31, 22, 39), from(34, 15, 39), from(40, 15, 39)},
     .exits = {south(any, 31), through(at(13), {38, 39}, 34)}},
    // The house of mirrors: invisible walls, and no encounters in its entrance.
    {.number = 34,
     .build = plain<init34>,
     .move = mirrorx,
     .cost = 15,
     .entries = {from(33, 22, 39), from(35, 1, 44)},
     .exits = {south(any, 33), north(any, 35)},
     .onenter = mirrorsign},
    {.number = 35,
     .build = plain<init35>,
     .move = mirrorx,
     .cost = 15,
     .entries = {from(34, 22, 39), from(36, 1, 39)},
     .exits = {south(any, 34), north(any, 36)},
     .check = countdown::fights,
     .foes = mirror_set},
    // The name puzzle: the gate in the top wall opens while the name is spelled in the slots.
    {.number = 36,
     .build = build36,
     .move = brickmove,
     .entries = {from(35, 22, 39), from(37, 1, 39)},
     .exits = {south(any, 35), north(any, 37)},
     .aftermove = namegate},
    // The clown's room: the hall floor (row 14) starts the clown's scene and the chase.
    {.number = 37,
     .build = plain<init37>,
     .entries = {from(36, 22, 39)},
     .exits = {south(any, 36), through(at(14), any, 38, nullptr, clownroom)}},
    // The chase: the fleeing figure stands in front of the gap until the first key drives it on.
    {.number = 38,
     .build = plain<init38>,
     .move = chasemove,
     .entrymove = placex,
     .entries = {from(37, 20, 39)},
     .exits = {east(any, 39)}},
    {.number = 39,
     .build = plain<init39>,
     .move = chasemove,
     .entrymove = placex,
     .entries = {from(38, 12, 3)},
     .exits = {east(any, 40)}},
    // The clown's last stand: column 50 starts the second fight; the ring sends the hero to 33.
    {.number = 40,
     .build = plain<init40>,
     .entries = {from(39, 12, 4)},
     .exits = {through(any, at(50), 33, nullptr, clownlaststand)}},

    // ---- the southern forest and the enchanted lands
    // Only with exactly two rings does the maze lead on; otherwise back to its own start. The
    // hero comes back from the third ring-holder (46) at the maze's bottom opening.
    arriving(like(enchanted, 41, plain<init41>,
                  {from(1, 1, 39), from(42, 22, 39), from(46, 22, 39), from(41, 1, 39)},
                  {south(any, 42, tworings), south(any, 41), north(any, 1)}),
             forestagain),
    arriving(like(enchanted, 42, plain<init42>, {from(41, 1, 39), from(43, 11, 78)},
                  {east(any, 43), north(any, 41)}),
             backwardspage),
    arriving(like(enchanted, 43, plain<init43>, {from(42, 11, 1), from(44, 22, 39)},
                  {west(any, 42), south(any, 44)}),
             confusingpage),
    // The pit in the middle of the field (row 12) drops the hero onto screen 45.
    arriving(
        like(pit, 44, plain<init44>, {from(43, 1, 39)}, {north(any, 43), through(at(12), any, 45)}),
        wearingoffpage),
    [] { // step cost 30: encounters come three times as often as in the field
        screen_rec room = like(pit, 45, plain<init45>, {from(44, 2, 2)}, {east(any, 46)});
        room.cost = 30;
        room.onenter = fallingpage;
        return room;
    }(),
    // The third ring-holder's room: the curse turns the keys round and costs health at every
    // key; no exits but his corner.
    {.number = 46,
     .build = plain<init46>,
     .reversed = true,
     .entries = {from(45, 11, 2)},
     .onenter = cursefalls,
     .onkey = cursedkey,
     .aftermove = grumbcorner},

    // ---- the northern cave, the tunnels and the ship
    // The countdown runs here but never fights. The hole leads down only with light.
    {.number = 47,
     .build = build47,
     .cost = 10,
     .entries = {from(1, 22, 39), from(48, 4, 39), from(55, 11, 2)},
     .exits = {south(any, 1), through(at(4), at(39), 48, belowfour, cavehole)},
     .check = countdown::count_only,
     .beforeexits = caveentrance},
    arriving(like(tunnel, 48, plain<init48>, {from(47, 4, 6), from(49, 4, 70)},
                  {cell(3, 3, 47), cell(12, 76, 49)}),
             descendpage),
    like(tunnel, 49, plain<init49>,
         {from(50, 4, 70), from(48, 18, 5), from(51, 18, 70), from(52, 14, 70)},
         {cell(12, 3, 48), cell(3, 39, 50), cell(20, 39, 51), cell(12, 76, 52)}),
    like(tunnel, 50, plain<init50>, {from(49, 18, 5)}, {cell(20, 39, 49)}),
    like(tunnel, 51, plain<init51>, {from(49, 5, 5)}, {cell(3, 39, 49)}),
    like(tunnel, 52, plain<init52>, {from(49, 12, 5), from(53, 17, 70)},
         {cell(12, 3, 49), cell(12, 76, 53)}),
    [] {
        screen_rec ship =
            like(tunnel, 53, plain<init53>, {from(52, 12, 5)}, {cell(12, 3, 52), cell(12, 76, 54)});
        ship.foes = ship_set;
        return ship;
    }(),
    // The four posts: the wall opens at (11,78) once they are lit in order. No encounters.
    {.number = 54,
     .build = plain<init54>,
     .cost = 10,
     .entrycost = 10,
     .entries = {from(53, 11, 2)},
     .exits = {east(any, 55)},
     .onenter = brightlight,
     .beforeexits = fourposts},
    // The fourth ring-holder: no walking, one key and the fight; then back to the cave.
    {.number = 55,
     .build = plain<init55>,
     .entrycost = 10,
     .entries = {from(54, 11, 2)},
     .onenter = delvoaboard,
     .script = delvoship},
}};

static_assert(
    [] {
        for (int n = 0; n < static_cast<int>(world.size()); ++n)
            if (world[n].number != n) return false;
        return true;
    }(),
    "the rows of the screen table must stand in the order of their numbers");

// [SECTION] The main loop's handlers

namespace {
// The handler of screen N, as the main loop calls it.
template <int N>
screen_result movescreen(int32 oldwhere, stats_rec &stats) {
    return runscreen(world[N], oldwhere, stats);
}
template <std::size_t... N>
constexpr std::array<screen_handler, screen_count + 1> handlers(std::index_sequence<N...>) {
    return {nullptr, &movescreen<static_cast<int>(N) + 1>...};
}
constexpr auto handler_table = handlers(std::make_index_sequence<screen_count>());
} // namespace

const screen_table screens = handler_table;
