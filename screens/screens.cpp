// The screens as data: one row each, in the order of their numbers (world/screenids.hpp), and
// the main loop's table of handlers built from them.
#include "screens/screens.hpp"

#include "casino/casino.hpp"
#include "combat/roster.hpp"
#include "screens/events.hpp"
#include "screens/home.hpp"
#include "story/story.hpp"
#include "town/gainer.hpp"
#include "town/hotel.hpp"
#include "town/market.hpp"
#include "world/maps.hpp"
#include "world/mechanics.hpp"

#include <utility>

using namespace screen;

namespace {

// [SECTION] Helpers that keep the rows short

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

// [SECTION] The home town's doors and gates

// A shop or game entered through a door: it needs only the Stats record.
template <void (*Enter)(stats_rec &)>
void enter(stats_rec &stats, visit_rec &) {
    Enter(stats);
}

bool richenough(const stats_rec &s) {
    return s.money >= casino_fee;
}
bool poor(const stats_rec &s) {
    return s.money < casino_fee;
}

// The door and gate tests of the home screen, in the order they are tried on the reached
// cell. With all four rings the sorceress's door leads to the final battle, and the game ends.
constexpr door_rec homedoors[] = {
    {.rows = at(17), .cols = at(10), .action = enter<loadmarket>, .push = step_up},
    {.rows = at(17), .cols = at(65), .action = enter<loadhotel>, .push = step_up},
    {.rows = at(11), .cols = at(56), .when = poor, .action = casinorefusal, .push = step_down},
    {.rows = at(11),
     .cols = at(56),
     .when = richenough,
     .action = enter<loadcasino>,
     .push = step_down},
    {.rows = at(7), .cols = at(14), .action = enter<loadgainer>, .push = step_down},
    {.rows = at(16),
     .cols = at(34),
     .when = ringsatleast<all_rings>,
     .action = enter<finalbattle>,
     .leave = game_over},
    {.rows = at(16),
     .cols = at(34),
     .when = ringsbelow<all_rings>,
     .action = castlerefusal,
     .push = step_down},
    {.rows = at(1), .cols = gap, .when = ringsbelow<3>, .action = northgap, .push = step_down},
    {.rows = at(22), .cols = gap, .when = ringsbelow<2>, .action = southgap, .push = step_up},
    {.rows = middle, .cols = at(78), .when = ringsbelow<1>, .action = eastgap, .push = step_left},
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
constexpr screen_rec like(screen_rec base, int32 number, const map_picture &picture,
                          std::array<entry_rec, 5> entries, std::array<exit_rec, 5> exits) {
    base.number = number;
    base.picture = &picture;
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
    {.number = home,
     .picture = &maps::home,
     .entries = {from(start, 17, 40), from(forest_west, 12, 1), from(pier, 12, 78),
                 from(southern_forest, 22, 39), from(cave_entrance, 1, 39)},
     .exits = {west(middle, forest_west), east(middle, pier, ringsatleast<1>),
               south(any, southern_forest), north(any, cave_entrance)},
     .doors = homedoors},

    // ---- the western forest and the castle approach
    like(forest, forest_west, maps::forest_west, {from(home, 12, 78), from(forest_ring, 12, 1)},
         {east(middle, home), west(middle, forest_ring)}),
    like(forest, forest_ring, maps::forest_ring,
         {from(forest_west, 12, 78), from(forest_north, 12, 1)},
         {east(middle, forest_west), west(middle, forest_north)}),
    like(forest, forest_north, maps::forest_north,
         {from(forest_ring, 12, 78), from(castle_approach, 1, 39)},
         {east(middle, forest_ring), north(gap, castle_approach)}),
    // Step cost 0: the countdown never runs down here, but a count left at 0 still fights.
    // The switch at (12,30) opens the gate over the moat until the first ring is won.
    {.number = castle_approach,
     .picture = &maps::castle_approach,
     .entries = {from(forest_north, 22, 39), from(courtyard, 13, 39), from(great_hall, 13, 39)},
     .exits = {south(gap, forest_north), through(at(7), {36, 42}, courtyard)},
     .check = countdown::fights,
     .foes = forest_set,
     .afterexits = castleswitch},

    // ---- the first ring-holder's castle
    like(castle, courtyard, maps::courtyard,
         {from(castle_approach, 22, 39), from(castle_west1, 1, 11), from(castle_middle1, 1, 39),
          from(castle_east1, 1, 68)},
         {south(gap, castle_approach), north({9, 13}, castle_west1), north(gap, castle_middle1),
          north({66, 70}, castle_east1)}),
    like(castle, castle_west1, maps::corridor, {from(courtyard, 22, 39), from(castle_west2, 1, 39)},
         {south(gap, courtyard), north(gap, castle_west2)}),
    like(
        castle, castle_middle1, maps::corridor_east_door,
        {from(castle_east1, 12, 53), from(courtyard, 22, 39), from(castle_middle2, 1, 39)},
        {south(gap, courtyard), through(middle, at(54), castle_east1), north(gap, castle_middle2)}),
    like(
        castle, castle_east1, maps::corridor_west_door,
        {from(castle_middle1, 12, 25), from(courtyard, 22, 39), from(castle_east2, 1, 39)},
        {south(gap, courtyard), north(gap, castle_east2), through(middle, at(24), castle_middle1)}),
    like(castle, castle_west2, maps::corridor,
         {from(castle_west1, 22, 39), from(castle_west3, 1, 39)},
         {south(gap, castle_west1), north(gap, castle_west3)}),
    like(castle, castle_middle2, maps::corridor_dead_end, {from(castle_middle1, 22, 39)},
         {south(gap, castle_middle1)}),
    like(castle, castle_east2, maps::corridor,
         {from(castle_east1, 22, 39), from(castle_east3, 1, 39)},
         {south(gap, castle_east1), north(gap, castle_east3)}),
    like(castle, castle_west3, maps::corridor_east_door,
         {from(castle_middle3, 12, 53), from(castle_west2, 22, 39), from(castle_west4, 1, 39)},
         {south(gap, castle_west2), through(middle, at(54), castle_middle3),
          north(gap, castle_west4)}),
    like(castle, castle_middle3, maps::corridor_west_turn,
         {from(castle_west3, 12, 25), from(castle_middle4, 1, 39)},
         {through(middle, at(24), castle_west3), north(gap, castle_middle4)}),
    like(castle, castle_east3, maps::corridor_dead_end, {from(castle_east2, 22, 39)},
         {south(gap, castle_east2)}),
    like(castle, castle_west4, maps::corridor_dead_end, {from(castle_west3, 22, 39)},
         {south(gap, castle_west3)}),
    like(castle, castle_middle4, maps::corridor_east_turn,
         {from(castle_middle3, 22, 39), from(castle_east4, 12, 53)},
         {south(gap, castle_middle3), through(middle, at(54), castle_east4)}),
    like(castle, castle_east4, maps::corridor_west_turn,
         {from(castle_middle4, 12, 25), from(great_hall, 1, 39)},
         {through(middle, at(24), castle_middle4), north(gap, great_hall)}),
    // The hall floor (row 14) starts the ring-holder's scene and leads back to the castle approach.
    {.number = great_hall,
     .picture = &maps::great_hall,
     .entries = {from(castle_east4, 22, 39)},
     .exits = {through(at(14), any, castle_approach, nullptr, tobrillohall),
               south(any, castle_east4)}},

    // ---- the pier: the east edge asks for the boat before it lets the hero on
    {.number = pier,
     .picture = &maps::pier,
     .entries = {from(home, 12, 1), from(sea_mid1, 12, 78)},
     .exits = {west(middle, home),
               through(middle, at(map_cols + 1), sea_mid1, nullptr, boatcrossing)}},

    // ---- the sea: the coast keeps the boat inside the open bands of each edge
    like(sea, sea_mid1, maps::sea_pier_end,
         {from(sea_mid2, 12, 78), from(pier, 12, 1), from(sea_south1, 22, 39),
          from(sea_north1, 1, 39)},
         {west(any, pier), east(any, sea_mid2), south(any, sea_south1), north(any, sea_north1)}),
    like(
        sea, sea_mid2, maps::sea_open,
        {from(sea_mid3, 12, 78), from(sea_mid1, 12, 1), from(sea_south2, 22, 39),
         from(sea_north2, 1, 39)},
        {west(any, sea_mid1), east(any, sea_mid3), south(any, sea_south2), north(any, sea_north2)}),
    like(
        sea, sea_mid3, maps::sea_open,
        {from(sea_mid4, 12, 78), from(sea_mid2, 12, 1), from(sea_south3, 22, 39),
         from(sea_north3, 1, 39)},
        {west(any, sea_mid2), east(any, sea_mid4), north(any, sea_north3), south(any, sea_south3)}),
    like(sea, sea_mid4, maps::sea_east_coast,
         {from(sea_south4, 22, 39), from(sea_mid3, 12, 1), from(sea_north4, 1, 39)},
         {west(any, sea_mid3), north(any, sea_north4), south(any, sea_south4)}),
    like(sea, sea_south1, maps::sea_southwest, {from(sea_mid1, 1, 39), from(sea_south2, 12, 78)},
         {east(any, sea_south2), north(any, sea_mid1)}),
    like(sea, sea_south2, maps::sea_south_coast,
         {from(sea_south1, 12, 1), from(sea_mid2, 1, 39), from(sea_south3, 12, 78)},
         {west(any, sea_south1), north(any, sea_mid2), east(any, sea_south3)}),
    like(sea, sea_south3, maps::sea_south_coast,
         {from(sea_south2, 12, 1), from(sea_mid3, 1, 39), from(sea_south4, 12, 78)},
         {west(any, sea_south2), north(any, sea_mid3), east(any, sea_south4)}),
    like(sea, sea_south4, maps::sea_southeast, {from(sea_mid4, 1, 39), from(sea_south3, 12, 1)},
         {west(any, sea_south3), north(any, sea_mid4)}),
    like(sea, sea_north1, maps::sea_northwest, {from(sea_mid1, 22, 39), from(sea_north2, 12, 78)},
         {east(any, sea_north2), south(any, sea_mid1)}),
    like(sea, sea_north2, maps::sea_north_coast,
         {from(sea_north1, 12, 1), from(sea_mid2, 22, 39), from(sea_north3, 12, 78)},
         {east(any, sea_north3), west(any, sea_north1), south(any, sea_mid2)}),
    like(sea, sea_north3, maps::sea_landing,
         {from(sea_north2, 12, 1), from(sea_mid3, 22, 39), from(sea_north4, 12, 78),
          from(island_gate, 1, 39)},
         {east(any, sea_north4), west(any, sea_north2), south(any, sea_mid3),
          north({36, 41}, island_gate)}),
    // The whole north edge tests as the way to the island, but the coast keeps the boat below
    // it: the island is reached through the gap of sea_north3 only, and no entry answers this
    // exit (it would land the boat at the island's first entry).
    like(sea, sea_north4, maps::sea_northeast, {from(sea_mid4, 22, 39), from(sea_north3, 12, 1)},
         {west(any, sea_north3), south(any, sea_mid4), north(any, island_gate)}),

    // ---- the island
    {.number = island_gate,
     .picture = &maps::island_gate,
     .build = brokengate,
     .entries = {from(sea_north3, 22, 39), from(mirror_maze, 15, 39), from(clown_cornered, 15, 39)},
     .exits = {south(any, sea_north3), through(at(13), {38, 39}, mirror_maze)}},
    // The house of mirrors: invisible walls, and no encounters in its entrance.
    {.number = mirror_maze,
     .picture = &maps::mirror_maze,
     .move = mirrorx,
     .cost = 15,
     .entries = {from(island_gate, 22, 39), from(mirror_hall, 1, 44)},
     .exits = {south(any, island_gate), north(any, mirror_hall)},
     .onenter = mirrorsign},
    {.number = mirror_hall,
     .picture = &maps::mirror_hall,
     .move = mirrorx,
     .cost = 15,
     .entries = {from(mirror_maze, 22, 39), from(name_puzzle, 1, 39)},
     .exits = {south(any, mirror_maze), north(any, name_puzzle)},
     .check = countdown::fights,
     .foes = mirror_set},
    // The name puzzle: the gate in the top wall opens while the name is spelled in the slots.
    {.number = name_puzzle,
     .picture = &maps::name_puzzle,
     .build = namebricks,
     .move = movebrickx,
     .entries = {from(mirror_hall, 22, 39), from(clown_room, 1, 39)},
     .exits = {south(any, mirror_hall), north(any, clown_room)},
     .aftermove = namegate},
    // The clown's room: the hall floor (row 14) starts the clown's scene and the chase.
    {.number = clown_room,
     .picture = &maps::clown_room,
     .entries = {from(name_puzzle, 22, 39)},
     .exits = {south(any, name_puzzle), through(at(14), any, chase_first, nullptr, clownroom)}},
    // The chase: the fleeing figure stands in front of the gap until the first key drives it on.
    {.number = chase_first,
     .picture = &maps::chase_first,
     .move = chasex,
     .entrymove = placex,
     .entries = {from(clown_room, 20, 39)},
     .exits = {east(any, chase_second)}},
    {.number = chase_second,
     .picture = &maps::chase_second,
     .move = chasex,
     .entrymove = placex,
     .entries = {from(chase_first, 12, 3)},
     .exits = {east(any, clown_cornered)}},
    // The clown's last stand: column 50 starts the second fight; the ring sends the hero back to
    // the island gate.
    {.number = clown_cornered,
     .picture = &maps::clown_cornered,
     .entries = {from(chase_second, 12, 4)},
     .exits = {through(any, at(50), island_gate, nullptr, clownlaststand)}},

    // ---- the southern forest and the enchanted lands
    // Only with exactly two rings does the maze lead on; otherwise back to its own start. The
    // hero comes back from the third ring-holder at the maze's bottom opening.
    arriving(like(enchanted, southern_forest, maps::southern_forest,
                  {from(home, 1, 39), from(backwards_room, 22, 39), from(chanting_room, 22, 39),
                   from(southern_forest, 1, 39)},
                  {south(any, backwards_room, ringsexactly<2>), south(any, southern_forest),
                   north(any, home)}),
             arrivalpage<reenter_page, backwards_room>),
    arriving(like(enchanted, backwards_room, maps::backwards_room,
                  {from(southern_forest, 1, 39), from(confusing_room, 11, 78)},
                  {east(any, confusing_room), north(any, southern_forest)}),
             arrivalpage<backwards_page>),
    arriving(like(enchanted, confusing_room, maps::confusing_room,
                  {from(backwards_room, 11, 1), from(fenced_field, 22, 39)},
                  {west(any, backwards_room), south(any, fenced_field)}),
             arrivalpage<confusing_page>),
    // The pit in the middle of the field (row 12) drops the hero into the landing room.
    arriving(like(pit, fenced_field, maps::fenced_field, {from(confusing_room, 1, 39)},
                  {north(any, confusing_room), through(at(12), any, landing_room)}),
             arrivalpage<wearing_off_page>),
    [] { // step cost 30: encounters come three times as often as in the field
        screen_rec room = like(pit, landing_room, maps::landing_room, {from(fenced_field, 2, 2)},
                               {east(any, chanting_room)});
        room.cost = 30;
        room.onenter = arrivalpage<falling_page>;
        return room;
    }(),
    // The third ring-holder's room: the curse turns the keys round and costs health at every
    // key; no exits but his corner.
    {.number = chanting_room,
     .picture = &maps::chanting_room,
     .reversed = true,
     .entries = {from(landing_room, 11, 2)},
     .onenter = cursefalls,
     .onkey = cursedkey,
     .aftermove = grumbcorner},

    // ---- the northern cave, the tunnels and the ship
    // The countdown runs here but never fights. The hole leads down only with light.
    {.number = cave_entrance,
     .picture = &maps::cave_entrance,
     .build = madeyesstands,
     .cost = 10,
     .entries = {from(home, 22, 39), from(tunnel_descent, 4, 39), from(alien_ship, 11, 2)},
     .exits = {south(any, home),
               through(at(4), at(39), tunnel_descent, ringsbelow<all_rings>, cavehole)},
     .check = countdown::count_only,
     .beforeexits = caveentrance},
    arriving(like(tunnel, tunnel_descent, maps::tunnel_from_entrance,
                  {from(cave_entrance, 4, 6), from(tunnel_junction, 4, 70)},
                  {cell(3, 3, cave_entrance), cell(12, 76, tunnel_junction)}),
             arrivalpage<descend_page, cave_entrance>),
    like(tunnel, tunnel_junction, maps::tunnel_junction,
         {from(tunnel_north_end, 4, 70), from(tunnel_descent, 18, 5),
          from(tunnel_south_end, 18, 70), from(tunnel_east, 14, 70)},
         {cell(12, 3, tunnel_descent), cell(3, 39, tunnel_north_end),
          cell(20, 39, tunnel_south_end), cell(12, 76, tunnel_east)}),
    like(tunnel, tunnel_north_end, maps::tunnel_north_end, {from(tunnel_junction, 18, 5)},
         {cell(20, 39, tunnel_junction)}),
    like(tunnel, tunnel_south_end, maps::tunnel_south_end, {from(tunnel_junction, 5, 5)},
         {cell(3, 39, tunnel_junction)}),
    like(tunnel, tunnel_east, maps::tunnel_east,
         {from(tunnel_junction, 12, 5), from(tunnel_to_ship, 17, 70)},
         {cell(12, 3, tunnel_junction), cell(12, 76, tunnel_to_ship)}),
    [] {
        screen_rec ship =
            like(tunnel, tunnel_to_ship, maps::tunnel_to_ship, {from(tunnel_east, 12, 5)},
                 {cell(12, 3, tunnel_east), cell(12, 76, four_posts)});
        ship.foes = ship_set;
        return ship;
    }(),
    // The four posts: the wall opens at (11,78) once they are lit in order. No encounters.
    {.number = four_posts,
     .picture = &maps::four_posts,
     .cost = 10,
     .entrycost = 10,
     .entries = {from(tunnel_to_ship, 11, 2)},
     .exits = {east(any, alien_ship)},
     .onenter = arrivalpage<bright_light_page>,
     .beforeexits = fourposts},
    // The fourth ring-holder: no walking, one key and the fight; then back to the cave.
    {.number = alien_ship,
     .picture = &maps::final_fight,
     .entrycost = 10,
     .entries = {from(four_posts, 11, 2)},
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

// [SECTION] Every way out is answered by a way in

namespace {

// The exits that no entry of the screen they lead to answers: the hero arrives at that screen's
// first entry cell. Each is meant, and said beside its row.
struct way {
    int32 from, to;
};
constexpr way unanswered[] = {
    {sea_north4, island_gate},
};

constexpr bool listed(way w) {
    for (way u : unanswered)
        if (u.from == w.from && u.to == w.to) return true;
    return false;
}
constexpr bool answered(way w) {
    for (const entry_rec &e : world[w.to].entries)
        if (e.from == w.from) return true;
    return false;
}
constexpr bool isexit(way w) {
    for (const exit_rec &e : world[w.from].exits)
        if (e.to == w.to) return true;
    return false;
}
// Every exit from screen A to screen B has an entry in B for A, or is listed above; and every
// listed way is still an exit that no entry answers.
constexpr bool waysanswered() {
    for (const screen_rec &screen : world)
        for (const exit_rec &e : screen.exits)
            if (e.to != 0 && answered({screen.number, e.to}) == listed({screen.number, e.to}))
                return false;
    for (way u : unanswered)
        if (!isexit(u)) return false;
    return true;
}
static_assert(waysanswered(),
              "an exit needs an entry where it leads for where it starts, unless it is "
              "listed in `unanswered`, and only then");

} // namespace

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
