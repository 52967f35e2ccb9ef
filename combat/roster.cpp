// The creature roster: every creature's figures, announcement, picture and reward as one table,
// and the 34 creature routines, each a one-liner over its row.
#include "combat/roster.hpp"

#include "combat/pictures.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] Announcements, in game codes (14 is the music note)
// ---------------------------------------------------------------------------------------------

// An announcement: `before` line ends, its lines, `after` line ends, the notice after `lead`
// blanks and two line ends; then it waits for Enter.
constexpr page_rec says(std::span<const std::string_view> words, int before = 10, int after = 10,
                        int lead = enter_wide) {
    return {before, words, after, lead, 2, waitfor::line};
}

constexpr std::string_view bats_words[] = {
    "                    Blood thirsty BATS want you for dinner,",
    "                    better make sure you're not on the menu!"};
constexpr page_rec bats_says = says(bats_words);
constexpr std::string_view fox_words[] = {
    "                        Looks like it's hunting season,",
    "                    make sure the FOX isn't the one hunting!"};
constexpr page_rec fox_says = says(fox_words);
constexpr std::string_view raccoon_words[] = {"                    Uh Oh! A RACCOON spotted you.",
                                              "                       Those things are mean"};
constexpr page_rec raccoon_says = says(raccoon_words);
constexpr std::string_view ghost_words[] = {"                                 BOO!",
                                            "                            Did I get ya???"};
constexpr page_rec ghost_says = says(ghost_words);
constexpr std::string_view skeleton_words[] = {
    "                    My friends all call me BONEY TONY,",
    "                    but you can call me your worst nightmare!"};
constexpr page_rec skeleton_says = says(skeleton_words);
// The part number follows the second line: the sharks beaten so far plus one (`numbered`).
constexpr std::string_view shark_words[] = {"                    da dun....da dun....da dun",
                                            "                             JAWS   :   PART "};
constexpr page_rec shark_says = says(shark_words);
constexpr std::string_view octopus_words[] = {"                           I AM OCTOPUS!!!!"};
constexpr page_rec octopus_says = says(octopus_words, 10, 11);
constexpr std::string_view crab_words[] = {"                           \x0E"
                                           "I can do the crabby snap\x0E",
                                           "                               \x0E"
                                           "snap\x0E"
                                           "snap\x0E"
                                           "snap\x0E"};
constexpr page_rec crab_says = says(crab_words);
constexpr std::string_view jelly_words[] = {
    "                           Don't get me confused with jam",
    "                           cause I'm jellin' like a felon'"};
constexpr page_rec jelly_says = says(jelly_words);
constexpr std::string_view mime_words[] = {"                            ........................."};
constexpr page_rec mime_says = says(mime_words, 10, 11);
constexpr std::string_view seal_words[] = {
    "                                  ORF ORF ORF",
    "                     Watch me bounce a cute ball on my nosey"};
constexpr page_rec seal_says = says(seal_words);
constexpr std::string_view monkey_words[] = {
    "                                 Taily is my name,",
    "                             monkeying around is my game."};
constexpr page_rec monkey_says = says(monkey_words);
constexpr std::string_view mad_monkey_words[] = {
    "                           I'M MAD, AND I'M A MONKEY...",
    "                           HERE COMES SOME MONKEY POO"};
constexpr page_rec mad_monkey_says = says(mad_monkey_words);
constexpr std::string_view clown_words[] = {"                           LOOK AT MY BIG CLOWN FEET",
                                            "                           I HAVE BIG SHOES HUH?"};
constexpr page_rec clown_says = says(clown_words);
constexpr std::string_view dwarf_words[] = {
    "                           HEY DOWN HERE!!!",
    "                           I'M GONNA BREAK YOUR KNEECAPS!!!"};
constexpr page_rec dwarf_says = says(dwarf_words);
constexpr std::string_view goo_words[] = {
    "                           DON'T CALL ME YICKY",
    "                           EVEN THOUGH I'M REALLY STICKY"};
constexpr page_rec goo_says = says(goo_words, 20, 10, enter_middle);
constexpr std::string_view rock_words[] = {"                           IT'S CLOBBERIN' TIME!!!"};
constexpr page_rec rock_says = says(rock_words, 20, 11, enter_short);
constexpr std::string_view grumb_words[] = {"                           LET'S ROCK!!!",
                                            "                           CHIIIIIIII!!!"};
constexpr page_rec grumb_says = says(grumb_words, 20, 11, enter_short);
constexpr std::string_view caveman_words[] = {"                              UGH UGH"};
constexpr page_rec caveman_says = says(caveman_words, 13);
constexpr std::string_view zarkhul_words[] = {"                            HOW'D YOU FIND ME???"};
constexpr page_rec zarkhul_says = says(zarkhul_words, 13);
constexpr std::string_view darkness_words[] = {
    "                    WHAT THE HECK IS THAT?!       ",
    "                    YOU SEE EYES AND HEAR THE SNARLS...",
    "                    BUT IT CONSTANTLY AVOIDS THE LIGHT...", "",
    "                    GOOD LUCK!"};
constexpr page_rec darkness_says = says(darkness_words, 13);
constexpr std::string_view stalagmite_words[] = {
    "                        THERE IS NO ESCAPE...",
    "                        FROM YOUR SURROUNDINGS!!!"};
constexpr page_rec stalagmite_says = says(stalagmite_words, 13);

constexpr creature_look looks(const creature_picture &p) {
    return {.picture = &p};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The roster
// ---------------------------------------------------------------------------------------------

// One row per creature routine, in the order of `creature::id`; the fields are explained beside
// `creature_row`.
// clang-format off
constexpr std::array<creature_row, creature::count> roster = {{
    // ---- forest and castle
    {.id = creature::fight_bats, .routine = "fight_bats", .name = "BATS", .power = 3, .health = 30,
     .total_health = 30, .points = 16, .cash = true, .runaway = 2, .wins = won::bats,
     .says = &bats_says, .look = looks(fight_bats_picture), .gainer = gainer_menu::easy,
     .listed = "Bats", .tallied = "Bats"},
    {.id = creature::fight_fox, .routine = "fight_fox", .name = "FOX", .power = 5, .health = 50,
     .total_health = 50, .points = 23, .cash = true, .runaway = 3, .wins = won::fox,
     .says = &fox_says, .look = looks(fight_fox_picture), .gainer = gainer_menu::easy,
     .listed = "Fox", .tallied = "Fox"},
    {.id = creature::fight_raccoon, .routine = "fight_raccoon", .name = "RACCOON", .power = 4,
     .health = 45, .total_health = 45, .points = 19, .cash = true, .runaway = 3,
     .wins = won::raccoon, .says = &raccoon_says, .look = looks(fight_raccoon_picture),
     .gainer = gainer_menu::easy, .listed = "Raccoon", .tallied = "Raccon"},
    {.id = creature::fight_ghost, .routine = "fight_ghost", .name = "GHOST", .power = 4,
     .health = 60, .total_health = 60, .points = 26, .cash = true, .runaway = 5, .wins = won::ghost,
     .says = &ghost_says, .look = looks(fight_ghost_picture), .gainer = gainer_menu::easy,
     .listed = "Ghost", .tallied = "Ghost"},
    {.id = creature::fight_skeleton, .routine = "fight_skeleton", .name = "SKELETON", .power = 8,
     .health = 55, .total_health = 55, .points = 33, .cash = true, .runaway = 4,
     .wins = won::skeleton, .says = &skeleton_says, .look = looks(fight_skeleton_picture),
     .gainer = gainer_menu::easy, .listed = "Skeleton", .tallied = "Skeleton"},
    {.id = creature::fight_knight, .routine = "fight_knight", .name = "KNIGHT", .power = 12,
     .health = 150, .total_health = 150, .points = 68, .cash = true, .runaway = 101,
     .wins = won::knight, .look = looks(fight_knight_picture), .gainer = gainer_menu::average,
     .listed = "Knight", .tallied = "Knight"},
    {.id = creature::fight_tobrillo, .routine = "fight_tobrillo", .name = "TOBRILLO", .power = 5,
     .health = 70, .total_health = 70, .points = 100, .money = 56, .runaway = 101,
     .look = looks(fight_tobrillo_picture)},
    // ---- the sea and the island
    {.id = creature::fight_shark, .routine = "fight_shark", .name = "SHARK", .power = 10,
     .health = 200, .total_health = 200, .points = 63, .cash = true, .runaway = 5,
     .wins = won::shark, .says = &shark_says, .numbered = true, .look = looks(fight_shark_picture),
     .gainer = gainer_menu::average, .listed = "Shark", .tallied = "Shark"},
    {.id = creature::fight_octopus, .routine = "fight_octopus", .name = "OCTOPUS", .power = 6,
     .health = 130, .total_health = 130, .points = 48, .cash = true, .runaway = 4,
     .wins = won::octopus, .says = &octopus_says, .look = looks(fight_octopus_picture),
     .gainer = gainer_menu::average, .listed = "Octopus", .tallied = "Octopus"},
    {.id = creature::fight_crab, .routine = "fight_crab", .name = "CRAB", .power = 6, .health = 90,
     .total_health = 90, .points = 38, .cash = true, .runaway = 4, .wins = won::crab,
     .says = &crab_says, .look = looks(fight_crab_picture), .gainer = gainer_menu::easy,
     .listed = "Crab", .tallied = "Crab"},
    {.id = creature::fight_jelly, .routine = "fight_jelly", .name = "JELLY", .power = 6,
     .health = 70, .total_health = 70, .points = 33, .cash = true, .runaway = 3, .wins = won::jelly,
     .says = &jelly_says, .look = looks(fight_jelly_picture), .gainer = gainer_menu::easy,
     .listed = "Jelly", .tallied = "Jelly"},
    {.id = creature::fight_mime, .routine = "fight_mime", .name = "MIME", .power = 14,
     .health = 160, .total_health = 160, .points = 87, .cash = true, .runaway = 5,
     .wins = won::mime, .says = &mime_says,
     .look = {.picture = &fight_mime_picture, .hurt = &fight_mime_picture2, .hurt_at = 50},
     .gainer = gainer_menu::average, .listed = "Mime", .tallied = "Mime"},
    {.id = creature::fight_seal, .routine = "fight_seal", .name = "SEAL", .power = 15,
     .health = 180, .total_health = 180, .points = 92, .cash = true, .runaway = 3,
     .wins = won::seal, .says = &seal_says, .look = looks(fight_seal_picture),
     .gainer = gainer_menu::average, .listed = "Seal", .tallied = "Seal"},
    {.id = creature::fight_monkey, .routine = "fight_monkey", .name = "MONKEY", .power = 14,
     .health = 120, .total_health = 120, .points = 82, .cash = true, .runaway = 5,
     .wins = won::monkey, .says = &monkey_says, .look = looks(fight_monkey_picture),
     .gainer = gainer_menu::average, .listed = "Monkey", .tallied = "Monkey"},
    {.id = creature::fight_vex, .routine = "fight_vex", .name = "VEXMINAXUS", .power = 16,
     .health = 600, .total_health = 600, .points = 0, .runaway = 101, .threshold = 301,
     .look = looks(fight_vex_picture), .rewarded = false},
    {.id = creature::fight_vex_again, .routine = "fight_vex_again", .name = "VEXMINAXUS",
     .power = 16, .health = 300, .total_health = 600, .points = 340, .money = 95, .runaway = 101,
     .look = looks(fight_vex_again_picture)},
    // ---- the enchanted lands
    {.id = creature::fight_madeyes, .routine = "fight_madeyes", .name = "MAD_EYES", .power = 50,
     .health = 3000, .total_health = 3000, .points = 1000, .runaway = 101, .wins = won::seal,
     .look = looks(fight_madeyes_picture), .mad_eyes = true},
    {.id = creature::mad_monkey, .routine = "mad_monkey", .name = "ANGRY_MONKEY", .power = 15,
     .health = 110, .total_health = 110, .points = 91, .cash = true, .runaway = 3,
     .wins = won::mad_monkey, .says = &mad_monkey_says, .look = looks(mad_monkey_picture),
     .gainer = gainer_menu::hard, .listed = "Mad Monkey", .tallied = "Mad Monkey"},
    {.id = creature::crazy_clown, .routine = "crazy_clown", .name = "CRAZY_CLOWN", .power = 18,
     .health = 170, .total_health = 170, .points = 99, .cash = true, .runaway = 5,
     .wins = won::crazy_clown, .says = &clown_says, .look = looks(crazy_clown_picture),
     .gainer = gainer_menu::hard, .listed = "Crazy Clown", .tallied = "Clown"},
    {.id = creature::dwarf_guy, .routine = "dwarf_guy", .name = "DwarfBerserker", .power = 20,
     .health = 210, .total_health = 210, .points = 112, .cash = true, .runaway = 5,
     .wins = won::dwarf, .says = &dwarf_says, .look = looks(dwarf_guy_picture),
     .gainer = gainer_menu::hard, .listed = "Dwarf", .tallied = "Dwarf"},
    {.id = creature::glob_of_goo, .routine = "glob_of_goo", .name = "Blob_Thing", .power = 12,
     .health = 270, .total_health = 270, .points = 93, .cash = true, .runaway = 5, .wins = won::goo,
     .says = &goo_says, .look = looks(glob_of_goo_picture), .gainer = gainer_menu::hard,
     .listed = "Glob of Goo", .tallied = "Goo"},
    {.id = creature::rock, .routine = "rock", .name = "Rock_Monster", .power = 25, .health = 270,
     .total_health = 270, .points = 130, .cash = true, .runaway = 3, .wins = won::rock,
     .says = &rock_says, .look = looks(rock_picture), .gainer = gainer_menu::hard, .listed = "Rock",
     .tallied = "Rock"},
    {.id = creature::grumb, .routine = "grumb", .name = "grumbarov", .power = 32, .health = 725,
     .total_health = 725, .points = 175, .cash = true, .runaway = 101,
     .says = &grumb_says, .look = looks(grumb_picture)},
    // ---- the caves
    {.id = creature::caveman, .routine = "caveman", .name = "CaveMan", .power = 26, .health = 300,
     .total_health = 300, .points = 132, .cash = true, .runaway = 2, .wins = won::caveman,
     .says = &caveman_says, .look = looks(caveman_picture), .gainer = gainer_menu::hard,
     .listed = "Caveman", .tallied = "Caveman"},
    {.id = creature::zarkhul, .routine = "zarkhul", .name = "Zarkhul", .power = 1, .health = 3,
     .total_health = 3, .points = 150, .cash = true, .runaway = 101, .wins = won::zarkhul,
     .says = &zarkhul_says, .look = looks(zarkhul_picture), .tallied = "Zarkhul"},
    {.id = creature::darkness, .routine = "darkness", .name = "??????????????", .power = 35,
     .health = 400, .total_health = 400, .points = 150, .cash = true, .runaway = 5,
     .wins = won::darkness, .says = &darkness_says, .look = looks(darkness_picture),
     .gainer = gainer_menu::hard, .listed = "???????????", .tallied = "????????"},
    {.id = creature::stalagmite, .routine = "stalagmite", .name = "Living_Cave", .power = 40,
     .health = 450, .total_health = 450, .points = 160, .cash = true, .runaway = 101,
     .wins = won::stalagmite, .says = &stalagmite_says, .look = looks(stalagmite_picture),
     .gainer = gainer_menu::hard, .listed = "Living Cave", .tallied = "Stalagmite"},
    {.id = creature::delvo, .routine = "delvo", .name = "DELVO", .power = 50, .health = 1000,
     .total_health = 1000, .points = 225, .cash = true, .runaway = 101,
     .look = looks(delvo_picture)},
    // ---- the final battle
    {.id = creature::fight_tobrillo2, .routine = "fight_tobrillo2", .name = "TOBRILLO", .power = 60,
     .health = 600, .total_health = 600, .points = 100, .runaway = 101,
     .look = looks(fight_tobrillo2_picture)},
    {.id = creature::fight_vex2, .routine = "fight_vex2", .name = "VEXMINAXUS", .power = 65,
     .health = 700, .total_health = 700, .points = 340, .runaway = 101,
     .look = looks(fight_vex2_picture)},
    {.id = creature::grumb2, .routine = "grumb2", .name = "grumbarov", .power = 80, .health = 1100,
     .total_health = 1100, .points = 175, .runaway = 101,
     .says = &grumb_says, .look = looks(grumb2_picture)},
    {.id = creature::delvo2, .routine = "delvo2", .name = "DELVO", .power = 95, .health = 1500,
     .total_health = 1500, .points = 225, .runaway = 101, .look = looks(delvo2_picture)},
    {.id = creature::vaskar, .routine = "vaskar", .name = "Sorceress", .power = 120, .health = 9999,
     .total_health = 9999, .points = 0, .runaway = 101, .threshold = 5001,
     .look = looks(vaskar_picture), .rewarded = false},
    {.id = creature::vaskar2, .routine = "vaskar2", .name = "Sorceress", .power = 200,
     .health = 5000, .total_health = 9999, .points = 1500, .runaway = 101,
     .look = looks(vaskar2_picture)},
}};
// clang-format on

namespace {

// Every row stands at its own index, so a missing row (left empty by the compiler) cannot build.
constexpr bool inorder() {
    for (std::size_t i = 0; i < roster.size(); ++i)
        if (roster[i].id != static_cast<creature::id>(i) || roster[i].routine.empty()) return false;
    return true;
}
static_assert(inorder(), "each roster row stands at the index of its `creature::id`");

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
        if (std::count_if(roster.begin(), roster.end(),
                          [&](const creature_row &row) { return row.gainer == menu; }) > 9)
            return false;
    return true;
}
static_assert(menusfit(), "a gainer menu's keys run from 1 to 9");

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The one routine behind every creature
// ---------------------------------------------------------------------------------------------

namespace {

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

creature_rec creatureof(const creature_row &row, int32 cash) {
    return {.name = padded<15>(row.name),
            .power = row.power,
            .health = row.health,
            .total_health = row.total_health,
            .points = row.points,
            .money = row.cash ? cash : row.money,
            .runaway = row.runaway};
}

void runcreature(const creature_row &row, stats_rec &stats, int32 cash) {
    creature_rec cre = creatureof(row, cash);
    if (row.says) announce(row, stats);
    if (fight(stats, cre, row.look, row.threshold)) return; // escaped: nothing is paid
    if (row.rewarded) winnings(stats, cre);
    if (row.wins != won::none) ++stats.wins[row.wins];
    if (row.mad_eyes) stats.mad_eyes = true;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The creature routines
// ---------------------------------------------------------------------------------------------

namespace {
void run(creature::id id, stats_rec &stats, int32 cash = 0) {
    runcreature(roster[id], stats, cash);
}
} // namespace

void fight_bats(stats_rec &stats, int32 cash) {
    run(creature::fight_bats, stats, cash);
}
void fight_fox(stats_rec &stats, int32 cash) {
    run(creature::fight_fox, stats, cash);
}
void fight_raccoon(stats_rec &stats, int32 cash) {
    run(creature::fight_raccoon, stats, cash);
}
void fight_ghost(stats_rec &stats, int32 cash) {
    run(creature::fight_ghost, stats, cash);
}
void fight_skeleton(stats_rec &stats, int32 cash) {
    run(creature::fight_skeleton, stats, cash);
}
void fight_knight(stats_rec &stats, int32 cash) {
    run(creature::fight_knight, stats, cash);
}
void fight_shark(stats_rec &stats, int32 cash) {
    run(creature::fight_shark, stats, cash);
}
void fight_octopus(stats_rec &stats, int32 cash) {
    run(creature::fight_octopus, stats, cash);
}
void fight_crab(stats_rec &stats, int32 cash) {
    run(creature::fight_crab, stats, cash);
}
void fight_jelly(stats_rec &stats, int32 cash) {
    run(creature::fight_jelly, stats, cash);
}
void fight_mime(stats_rec &stats, int32 cash) {
    run(creature::fight_mime, stats, cash);
}
void fight_seal(stats_rec &stats, int32 cash) {
    run(creature::fight_seal, stats, cash);
}
void fight_monkey(stats_rec &stats, int32 cash) {
    run(creature::fight_monkey, stats, cash);
}
void mad_monkey(stats_rec &stats, int32 cash) {
    run(creature::mad_monkey, stats, cash);
}
void crazy_clown(stats_rec &stats, int32 cash) {
    run(creature::crazy_clown, stats, cash);
}
void dwarf_guy(stats_rec &stats, int32 cash) {
    run(creature::dwarf_guy, stats, cash);
}
void glob_of_goo(stats_rec &stats, int32 cash) {
    run(creature::glob_of_goo, stats, cash);
}
void rock(stats_rec &stats, int32 cash) {
    run(creature::rock, stats, cash);
}
void grumb(stats_rec &stats, int32 cash) {
    run(creature::grumb, stats, cash);
}
void caveman(stats_rec &stats, int32 cash) {
    run(creature::caveman, stats, cash);
}
void zarkhul(stats_rec &stats, int32 cash) {
    run(creature::zarkhul, stats, cash);
}
void darkness(stats_rec &stats, int32 cash) {
    run(creature::darkness, stats, cash);
}
void stalagmite(stats_rec &stats, int32 cash) {
    run(creature::stalagmite, stats, cash);
}
void delvo(stats_rec &stats, int32 cash) {
    run(creature::delvo, stats, cash);
}

void fight_tobrillo(stats_rec &stats) {
    run(creature::fight_tobrillo, stats);
}
void fight_vex(stats_rec &stats) {
    run(creature::fight_vex, stats);
}
void fight_vex_again(stats_rec &stats) {
    run(creature::fight_vex_again, stats);
}
void fight_madeyes(stats_rec &stats) {
    run(creature::fight_madeyes, stats);
}
void fight_tobrillo2(stats_rec &stats) {
    run(creature::fight_tobrillo2, stats);
}
void fight_vex2(stats_rec &stats) {
    run(creature::fight_vex2, stats);
}
void grumb2(stats_rec &stats) {
    run(creature::grumb2, stats);
}
void delvo2(stats_rec &stats) {
    run(creature::delvo2, stats);
}
void vaskar(stats_rec &stats) {
    run(creature::vaskar, stats);
}
void vaskar2(stats_rec &stats) {
    run(creature::vaskar2, stats);
}
