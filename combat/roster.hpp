// The creature roster as data: one row per creature (its figures, announcement, picture and what
// a victory does), found by its id, and the one routine that runs every creature's fight. A new
// creature is its row here and its picture in combat/pictures_*.hpp.
#pragma once

#include "combat/fight.hpp"
#include "combat/pictures.hpp"

#include <iterator>
#include <string_view>

// Blanks before "PRESS ENTER" on an announcement: the three placements in use.
inline constexpr int32 enter_wide = 65;   // 76 characters in all
inline constexpr int32 enter_middle = 50; // 61
inline constexpr int32 enter_short = 44;  // 55

// Where the gainer lists a creature for a re-fight: nowhere, or in one of its three menus.
enum class gainer_menu : int { none, easy, average, hard };

// One creature's row: its id, the creature's figures, its announcement and picture, what a
// victory does, and how the gainer and the closing tally name it.
struct creature_row {
    std::string_view id; // how the game names it: `creature("bats")`
    // The creature record's figures. The name fits 15 characters and holds no blank (messages
    // cut a name at its first blank); `money` is fixed unless `cash` is set, then the cash the
    // fight is started with; an escape succeeds when a fight draw is a multiple of `runaway`
    // (101: none).
    std::string_view name;
    int32 power = 0;
    int32 health = 0;
    int32 total_health = 0;
    int32 points = 0;
    int32 money = 0;
    bool cash = false;
    int32 runaway = 0;
    won::victory wins = won::none;  // the victory counter a victory raises
    int32 threshold = 1;            // the fight ends when the creature's health falls below this
    const page_rec *says = nullptr; // the announcement; null: the fight starts at once
    bool numbered = false; // the announcement's last line ends with the victories so far plus 1
    creature_look look;
    bool rewarded = true;                   // a victory pays `winnings`
    bool mad_eyes = false;                  // a victory sets the hero's `mad_eyes`
    gainer_menu gainer = gainer_menu::none; // the gainer menu that lists it, in roster order
    std::string_view listed = {};           // its name there, once its counter is above 0
    std::string_view tallied = {}; // its label on the closing tally, in roster order; empty: none
};

// ---------------------------------------------------------------------------------------------
// [SECTION] Announcements, in game codes (14 is the music note)
// ---------------------------------------------------------------------------------------------

// An announcement: `before` line ends, its lines, `after` line ends, the notice after `lead`
// blanks and two line ends; then it waits for Enter.
constexpr page_rec says(std::span<const std::string_view> words, int before = 10, int after = 10,
                        int lead = enter_wide) {
    return {.before = before,
            .lines = words,
            .after = after,
            .lead = lead,
            .end = 2,
            .wait = waitfor::line};
}

inline constexpr std::string_view bats_words[] = {
    "                    Blood thirsty BATS want you for dinner,",
    "                    better make sure you're not on the menu!"};
inline constexpr page_rec bats_says = says(bats_words);
inline constexpr std::string_view fox_words[] = {
    "                        Looks like it's hunting season,",
    "                    make sure the FOX isn't the one hunting!"};
inline constexpr page_rec fox_says = says(fox_words);
inline constexpr std::string_view raccoon_words[] = {
    "                    Uh Oh! A RACCOON spotted you.",
    "                       Those things are mean"};
inline constexpr page_rec raccoon_says = says(raccoon_words);
inline constexpr std::string_view ghost_words[] = {"                                 BOO!",
                                                   "                            Did I get ya???"};
inline constexpr page_rec ghost_says = says(ghost_words);
inline constexpr std::string_view skeleton_words[] = {
    "                    My friends all call me BONEY TONY,",
    "                    but you can call me your worst nightmare!"};
inline constexpr page_rec skeleton_says = says(skeleton_words);
// The part number follows the second line: the sharks beaten so far plus one (`numbered`).
inline constexpr std::string_view shark_words[] = {"                    da dun....da dun....da dun",
                                                   "                             JAWS   :   PART "};
inline constexpr page_rec shark_says = says(shark_words);
inline constexpr std::string_view octopus_words[] = {"                           I AM OCTOPUS!!!!"};
inline constexpr page_rec octopus_says = says(octopus_words, 10, 11);
inline constexpr std::string_view crab_words[] = {"                           \x0E"
                                                  "I can do the crabby snap\x0E",
                                                  "                               \x0E"
                                                  "snap\x0E"
                                                  "snap\x0E"
                                                  "snap\x0E"};
inline constexpr page_rec crab_says = says(crab_words);
inline constexpr std::string_view jelly_words[] = {
    "                           Don't get me confused with jam",
    "                           cause I'm jellin' like a felon'"};
inline constexpr page_rec jelly_says = says(jelly_words);
inline constexpr std::string_view mime_words[] = {
    "                            ........................."};
inline constexpr page_rec mime_says = says(mime_words, 10, 11);
inline constexpr std::string_view seal_words[] = {
    "                                  ORF ORF ORF",
    "                     Watch me bounce a cute ball on my nosey"};
inline constexpr page_rec seal_says = says(seal_words);
inline constexpr std::string_view monkey_words[] = {
    "                                 Taily is my name,",
    "                             monkeying around is my game."};
inline constexpr page_rec monkey_says = says(monkey_words);
inline constexpr std::string_view mad_monkey_words[] = {
    "                           I'M MAD, AND I'M A MONKEY...",
    "                           HERE COMES SOME MONKEY POO"};
inline constexpr page_rec mad_monkey_says = says(mad_monkey_words);
inline constexpr std::string_view clown_words[] = {
    "                           LOOK AT MY BIG CLOWN FEET",
    "                           I HAVE BIG SHOES HUH?"};
inline constexpr page_rec clown_says = says(clown_words);
inline constexpr std::string_view dwarf_words[] = {
    "                           HEY DOWN HERE!!!",
    "                           I'M GONNA BREAK YOUR KNEECAPS!!!"};
inline constexpr page_rec dwarf_says = says(dwarf_words);
inline constexpr std::string_view goo_words[] = {
    "                           DON'T CALL ME YICKY",
    "                           EVEN THOUGH I'M REALLY STICKY"};
inline constexpr page_rec goo_says = says(goo_words, 20, 10, enter_middle);
inline constexpr std::string_view rock_words[] = {
    "                           IT'S CLOBBERIN' TIME!!!"};
inline constexpr page_rec rock_says = says(rock_words, 20, 11, enter_short);
inline constexpr std::string_view grumb_words[] = {"                           LET'S ROCK!!!",
                                                   "                           CHIIIIIIII!!!"};
inline constexpr page_rec grumb_says = says(grumb_words, 20, 11, enter_short);
inline constexpr std::string_view caveman_words[] = {"                              UGH UGH"};
inline constexpr page_rec caveman_says = says(caveman_words, 13);
inline constexpr std::string_view zarkhul_words[] = {
    "                            HOW'D YOU FIND ME???"};
inline constexpr page_rec zarkhul_says = says(zarkhul_words, 13);
inline constexpr std::string_view darkness_words[] = {
    "                    WHAT THE HECK IS THAT?!       ",
    "                    YOU SEE EYES AND HEAR THE SNARLS...",
    "                    BUT IT CONSTANTLY AVOIDS THE LIGHT...", "",
    "                    GOOD LUCK!"};
inline constexpr page_rec darkness_says = says(darkness_words, 13);
inline constexpr std::string_view stalagmite_words[] = {
    "                        THERE IS NO ESCAPE...",
    "                        FROM YOUR SURROUNDINGS!!!"};
inline constexpr page_rec stalagmite_says = says(stalagmite_words, 13);

// A row whose creature shows one picture throughout.
constexpr creature_look looks(const creature_picture &p) {
    return {.picture = &p};
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The roster
// ---------------------------------------------------------------------------------------------

// One row per creature; the fields are explained beside `creature_row`. The gainer's menus and
// the closing tally list the rows in this order.
// clang-format off
inline constexpr creature_row roster[] = {
    // ---- forest and castle
    {.id = "bats", .name = "BATS", .power = 3, .health = 30, .total_health = 30, .points = 16,
     .cash = true, .runaway = 2, .wins = won::bats, .says = &bats_says,
     .look = looks(fight_bats_picture), .gainer = gainer_menu::easy, .listed = "Bats",
     .tallied = "Bats"},
    {.id = "fox", .name = "FOX", .power = 5, .health = 50, .total_health = 50, .points = 23,
     .cash = true, .runaway = 3, .wins = won::fox, .says = &fox_says,
     .look = looks(fight_fox_picture), .gainer = gainer_menu::easy, .listed = "Fox",
     .tallied = "Fox"},
    {.id = "raccoon", .name = "RACCOON", .power = 4, .health = 45, .total_health = 45, .points = 19,
     .cash = true, .runaway = 3, .wins = won::raccoon, .says = &raccoon_says,
     .look = looks(fight_raccoon_picture), .gainer = gainer_menu::easy, .listed = "Raccoon",
     .tallied = "Raccon"},
    {.id = "ghost", .name = "GHOST", .power = 4, .health = 60, .total_health = 60, .points = 26,
     .cash = true, .runaway = 5, .wins = won::ghost, .says = &ghost_says,
     .look = looks(fight_ghost_picture), .gainer = gainer_menu::easy, .listed = "Ghost",
     .tallied = "Ghost"},
    {.id = "skeleton", .name = "SKELETON", .power = 8, .health = 55, .total_health = 55,
     .points = 33, .cash = true, .runaway = 4, .wins = won::skeleton, .says = &skeleton_says,
     .look = looks(fight_skeleton_picture), .gainer = gainer_menu::easy, .listed = "Skeleton",
     .tallied = "Skeleton"},
    {.id = "knight", .name = "KNIGHT", .power = 12, .health = 150, .total_health = 150,
     .points = 68, .cash = true, .runaway = 101, .wins = won::knight,
     .look = looks(fight_knight_picture), .gainer = gainer_menu::average, .listed = "Knight",
     .tallied = "Knight"},
    {.id = "tobrillo", .name = "TOBRILLO", .power = 5, .health = 70, .total_health = 70,
     .points = 100, .money = 56, .runaway = 101, .look = looks(fight_tobrillo_picture)},
    // ---- the sea and the island
    {.id = "shark", .name = "SHARK", .power = 10, .health = 200, .total_health = 200, .points = 63,
     .cash = true, .runaway = 5, .wins = won::shark, .says = &shark_says, .numbered = true,
     .look = looks(fight_shark_picture), .gainer = gainer_menu::average, .listed = "Shark",
     .tallied = "Shark"},
    {.id = "octopus", .name = "OCTOPUS", .power = 6, .health = 130, .total_health = 130,
     .points = 48, .cash = true, .runaway = 4, .wins = won::octopus, .says = &octopus_says,
     .look = looks(fight_octopus_picture), .gainer = gainer_menu::average, .listed = "Octopus",
     .tallied = "Octopus"},
    {.id = "crab", .name = "CRAB", .power = 6, .health = 90, .total_health = 90, .points = 38,
     .cash = true, .runaway = 4, .wins = won::crab, .says = &crab_says,
     .look = looks(fight_crab_picture), .gainer = gainer_menu::easy, .listed = "Crab",
     .tallied = "Crab"},
    {.id = "jelly", .name = "JELLY", .power = 6, .health = 70, .total_health = 70, .points = 33,
     .cash = true, .runaway = 3, .wins = won::jelly, .says = &jelly_says,
     .look = looks(fight_jelly_picture), .gainer = gainer_menu::easy, .listed = "Jelly",
     .tallied = "Jelly"},
    {.id = "mime", .name = "MIME", .power = 14, .health = 160, .total_health = 160, .points = 87,
     .cash = true, .runaway = 5, .wins = won::mime, .says = &mime_says,
     .look = {.picture = &fight_mime_picture, .hurt = &fight_mime_picture2, .hurt_at = 50},
     .gainer = gainer_menu::average, .listed = "Mime", .tallied = "Mime"},
    {.id = "seal", .name = "SEAL", .power = 15, .health = 180, .total_health = 180, .points = 92,
     .cash = true, .runaway = 3, .wins = won::seal, .says = &seal_says,
     .look = looks(fight_seal_picture), .gainer = gainer_menu::average, .listed = "Seal",
     .tallied = "Seal"},
    {.id = "monkey", .name = "MONKEY", .power = 14, .health = 120, .total_health = 120,
     .points = 82, .cash = true, .runaway = 5, .wins = won::monkey, .says = &monkey_says,
     .look = looks(fight_monkey_picture), .gainer = gainer_menu::average, .listed = "Monkey",
     .tallied = "Monkey"},
    {.id = "vex", .name = "VEXMINAXUS", .power = 16, .health = 600, .total_health = 600,
     .points = 0, .runaway = 101, .threshold = 301, .look = looks(fight_vex_picture),
     .rewarded = false},
    {.id = "vex_again", .name = "VEXMINAXUS", .power = 16, .health = 300, .total_health = 600,
     .points = 340, .money = 95, .runaway = 101, .look = looks(fight_vex_again_picture)},
    // ---- the enchanted lands
    {.id = "madeyes", .name = "MAD_EYES", .power = 50, .health = 3000, .total_health = 3000,
     .points = 1000, .runaway = 101, .wins = won::seal, .look = looks(fight_madeyes_picture),
     .mad_eyes = true},
    {.id = "mad_monkey", .name = "ANGRY_MONKEY", .power = 15, .health = 110, .total_health = 110,
     .points = 91, .cash = true, .runaway = 3, .wins = won::mad_monkey, .says = &mad_monkey_says,
     .look = looks(mad_monkey_picture), .gainer = gainer_menu::hard, .listed = "Mad Monkey",
     .tallied = "Mad Monkey"},
    {.id = "crazy_clown", .name = "CRAZY_CLOWN", .power = 18, .health = 170, .total_health = 170,
     .points = 99, .cash = true, .runaway = 5, .wins = won::crazy_clown, .says = &clown_says,
     .look = looks(crazy_clown_picture), .gainer = gainer_menu::hard, .listed = "Crazy Clown",
     .tallied = "Clown"},
    {.id = "dwarf_guy", .name = "DwarfBerserker", .power = 20, .health = 210, .total_health = 210,
     .points = 112, .cash = true, .runaway = 5, .wins = won::dwarf, .says = &dwarf_says,
     .look = looks(dwarf_guy_picture), .gainer = gainer_menu::hard, .listed = "Dwarf",
     .tallied = "Dwarf"},
    {.id = "glob_of_goo", .name = "Blob_Thing", .power = 12, .health = 270, .total_health = 270,
     .points = 93, .cash = true, .runaway = 5, .wins = won::goo, .says = &goo_says,
     .look = looks(glob_of_goo_picture), .gainer = gainer_menu::hard, .listed = "Glob of Goo",
     .tallied = "Goo"},
    {.id = "rock", .name = "Rock_Monster", .power = 25, .health = 270, .total_health = 270,
     .points = 130, .cash = true, .runaway = 3, .wins = won::rock, .says = &rock_says,
     .look = looks(rock_picture), .gainer = gainer_menu::hard, .listed = "Rock",
     .tallied = "Rock"},
    {.id = "grumb", .name = "grumbarov", .power = 32, .health = 725, .total_health = 725,
     .points = 175, .cash = true, .runaway = 101, .says = &grumb_says,
     .look = looks(grumb_picture)},
    // ---- the caves
    {.id = "caveman", .name = "CaveMan", .power = 26, .health = 300, .total_health = 300,
     .points = 132, .cash = true, .runaway = 2, .wins = won::caveman, .says = &caveman_says,
     .look = looks(caveman_picture), .gainer = gainer_menu::hard, .listed = "Caveman",
     .tallied = "Caveman"},
    {.id = "zarkhul", .name = "Zarkhul", .power = 1, .health = 3, .total_health = 3, .points = 150,
     .cash = true, .runaway = 101, .wins = won::zarkhul, .says = &zarkhul_says,
     .look = looks(zarkhul_picture), .tallied = "Zarkhul"},
    {.id = "darkness", .name = "??????????????", .power = 35, .health = 400, .total_health = 400,
     .points = 150, .cash = true, .runaway = 5, .wins = won::darkness, .says = &darkness_says,
     .look = looks(darkness_picture), .gainer = gainer_menu::hard, .listed = "???????????",
     .tallied = "????????"},
    {.id = "stalagmite", .name = "Living_Cave", .power = 40, .health = 450, .total_health = 450,
     .points = 160, .cash = true, .runaway = 101, .wins = won::stalagmite, .says = &stalagmite_says,
     .look = looks(stalagmite_picture), .gainer = gainer_menu::hard, .listed = "Living Cave",
     .tallied = "Stalagmite"},
    {.id = "delvo", .name = "DELVO", .power = 50, .health = 1000, .total_health = 1000,
     .points = 225, .cash = true, .runaway = 101, .look = looks(delvo_picture)},
    // ---- the final battle
    {.id = "tobrillo2", .name = "TOBRILLO", .power = 60, .health = 600, .total_health = 600,
     .points = 100, .runaway = 101, .look = looks(fight_tobrillo2_picture)},
    {.id = "vex2", .name = "VEXMINAXUS", .power = 65, .health = 700, .total_health = 700,
     .points = 340, .runaway = 101, .look = looks(fight_vex2_picture)},
    {.id = "grumb2", .name = "grumbarov", .power = 80, .health = 1100, .total_health = 1100,
     .points = 175, .runaway = 101, .says = &grumb_says, .look = looks(grumb2_picture)},
    {.id = "delvo2", .name = "DELVO", .power = 95, .health = 1500, .total_health = 1500,
     .points = 225, .runaway = 101, .look = looks(delvo2_picture)},
    {.id = "vaskar", .name = "Sorceress", .power = 120, .health = 9999, .total_health = 9999,
     .points = 0, .runaway = 101, .threshold = 5001, .look = looks(vaskar_picture),
     .rewarded = false},
    {.id = "vaskar2", .name = "Sorceress", .power = 200, .health = 5000, .total_health = 9999,
     .points = 1500, .runaway = 101, .look = looks(vaskar2_picture)},
};
// clang-format on

// ---------------------------------------------------------------------------------------------
// [SECTION] Finding a creature and fighting it
// ---------------------------------------------------------------------------------------------

// A creature: the index of its row in the roster.
struct creature_id {
    std::size_t row = 0;
    friend constexpr bool operator==(creature_id, creature_id) = default;
};

// The creature whose row has the id `id`, found while compiling: an id no row has cannot build.
consteval creature_id creature(std::string_view id) {
    for (std::size_t i = 0; i < std::size(roster); ++i)
        if (roster[i].id == id) return {i};
    throw "no row of the roster has this id";
}

constexpr const creature_row &rowof(creature_id c) {
    return roster[c.row];
}

// The one routine behind every creature: the announcement, the fight, and after a victory what
// the row says. `cash` is the gold a creature with `cash` set pays; re-fights at the gainer and
// the final battle pass 0.
void fightcreature(creature_id c, stats_rec &stats, int32 cash = 0);

// The same fight as a routine of its own, for tables that hold routines: the screens'
// encounters meet `meet<creature("bats")>` with the cash the screen pays.
template <creature_id C>
void meet(stats_rec &stats, int32 cash) {
    fightcreature(C, stats, cash);
}

// The creature record a row's fight starts from.
creature_rec creatureof(const creature_row &row, int32 cash);
