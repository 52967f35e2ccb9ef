// The creature roster: every creature's figures, announcement, picture and reward as one table,
// and the 34 creature routines, each a one-liner over its row.
#include "combat/roster.hpp"

#include "combat/pictures.hpp"

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] Announcements, in game codes (14 is the music note)
// ---------------------------------------------------------------------------------------------

constexpr announcement bats_says{
    .lines = {"                    Blood thirsty BATS want you for dinner,",
              "                    better make sure you're not on the menu!"},
    .count = 2};
constexpr announcement fox_says{
    .lines = {"                        Looks like it's hunting season,",
              "                    make sure the FOX isn't the one hunting!"},
    .count = 2};
constexpr announcement raccoon_says{.lines = {"                    Uh Oh! A RACCOON spotted you.",
                                              "                       Those things are mean"},
                                    .count = 2};
constexpr announcement ghost_says{.lines = {"                                 BOO!",
                                            "                            Did I get ya???"},
                                  .count = 2};
constexpr announcement skeleton_says{
    .lines = {"                    My friends all call me BONEY TONY,",
              "                    but you can call me your worst nightmare!"},
    .count = 2};
// The part number follows the second line: the sharks beaten so far plus one.
constexpr announcement shark_says{.lines = {"                    da dun....da dun....da dun",
                                            "                             JAWS   :   PART "},
                                  .count = 2,
                                  .numbered = true,
                                  .after = 11};
constexpr announcement octopus_says{
    .lines = {"                           I AM OCTOPUS!!!!"}, .count = 1, .after = 11};
constexpr announcement crab_says{.lines = {"                           \x0E"
                                           "I can do the crabby snap\x0E",
                                           "                               \x0E"
                                           "snap\x0E"
                                           "snap\x0E"
                                           "snap\x0E"},
                                 .count = 2};
constexpr announcement jelly_says{
    .lines = {"                           Don't get me confused with jam",
              "                           cause I'm jellin' like a felon'"},
    .count = 2};
constexpr announcement mime_says{
    .lines = {"                            ........................."}, .count = 1, .after = 11};
constexpr announcement seal_says{
    .lines = {"                                  ORF ORF ORF",
              "                     Watch me bounce a cute ball on my nosey"},
    .count = 2};
constexpr announcement monkey_says{
    .lines = {"                                 Taily is my name,",
              "                             monkeying around is my game."},
    .count = 2};
constexpr announcement mad_monkey_says{
    .lines = {"                           I'M MAD, AND I'M A MONKEY...",
              "                           HERE COMES SOME MONKEY POO"},
    .count = 2};
constexpr announcement clown_says{.lines = {"                           LOOK AT MY BIG CLOWN FEET",
                                            "                           I HAVE BIG SHOES HUH?"},
                                  .count = 2};
constexpr announcement dwarf_says{
    .lines = {"                           HEY DOWN HERE!!!",
              "                           I'M GONNA BREAK YOUR KNEECAPS!!!"},
    .count = 2};
constexpr announcement goo_says{
    .before = 20,
    .lines = {"                           DON'T CALL ME YICKY",
              "                           EVEN THOUGH I'M REALLY STICKY"},
    .count = 2,
    .enter = enter_middle};
constexpr announcement rock_says{.before = 20,
                                 .lines = {"                           IT'S CLOBBERIN' TIME!!!"},
                                 .count = 1,
                                 .after = 11,
                                 .enter = enter_short};
constexpr announcement grumb_says{.before = 20,
                                  .lines = {"                           LET'S ROCK!!!",
                                            "                           CHIIIIIIII!!!"},
                                  .count = 2,
                                  .after = 11,
                                  .enter = enter_short};
constexpr announcement caveman_says{
    .before = 13, .lines = {"                              UGH UGH"}, .count = 1};
constexpr announcement zarkhul_says{
    .before = 13, .lines = {"                            HOW'D YOU FIND ME???"}, .count = 1};
constexpr announcement darkness_says{
    .before = 13,
    .lines = {"                    WHAT THE HECK IS THAT?!       ",
              "                    YOU SEE EYES AND HEAR THE SNARLS...",
              "                    BUT IT CONSTANTLY AVOIDS THE LIGHT...", "",
              "                    GOOD LUCK!"},
    .count = 5};
constexpr announcement stalagmite_says{
    .before = 13,
    .lines = {"                        THERE IS NO ESCAPE...",
              "                        FROM YOUR SURROUNDINGS!!!"},
    .count = 2};

constexpr creature_look looks(const creature_picture &p) {
    return {.picture = &p};
}

constexpr creature_rec figures(std::string_view name, int32 power, int32 health, int32 total_health,
                               int32 points, int32 money, int32 runaway) {
    return {.name = padded<15>(name),
            .power = power,
            .health = health,
            .total_health = total_health,
            .points = points,
            .money = money,
            .runaway = runaway};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The roster
// ---------------------------------------------------------------------------------------------

// Figures in the order name, power, health, total health, points, money, escape divisor (101:
// no escape). Names hold no blanks: messages cut a name at its first blank.
// clang-format off
const std::array<creature_row, creature::count> roster = {{
    // ---- forest and castle
    {.routine = "fight_bats", .cre = figures("BATS", 3, 30, 30, 16, 0, 2), .cash = true,
     .wins = 1, .says = &bats_says, .look = looks(fight_bats_picture)},
    {.routine = "fight_fox", .cre = figures("FOX", 5, 50, 50, 23, 0, 3), .cash = true,
     .wins = 2, .says = &fox_says, .look = looks(fight_fox_picture)},
    {.routine = "fight_raccoon", .cre = figures("RACCOON", 4, 45, 45, 19, 0, 3), .cash = true,
     .wins = 3, .says = &raccoon_says, .look = looks(fight_raccoon_picture)},
    {.routine = "fight_ghost", .cre = figures("GHOST", 4, 60, 60, 26, 0, 5), .cash = true,
     .wins = 4, .says = &ghost_says, .look = looks(fight_ghost_picture)},
    {.routine = "fight_skeleton", .cre = figures("SKELETON", 8, 55, 55, 33, 0, 4), .cash = true,
     .wins = 5, .says = &skeleton_says, .look = looks(fight_skeleton_picture)},
    {.routine = "fight_knight", .cre = figures("KNIGHT", 12, 150, 150, 68, 0, 101), .cash = true,
     .wins = 6, .look = looks(fight_knight_picture)},
    {.routine = "fight_tobrillo", .cre = figures("TOBRILLO", 5, 70, 70, 100, 56, 101),
     .look = looks(fight_tobrillo_picture)},
    // ---- the sea and the island
    {.routine = "fight_shark", .cre = figures("SHARK", 10, 200, 200, 63, 0, 5), .cash = true,
     .wins = 7, .says = &shark_says, .look = looks(fight_shark_picture)},
    {.routine = "fight_octopus", .cre = figures("OCTOPUS", 6, 130, 130, 48, 0, 4), .cash = true,
     .wins = 8, .says = &octopus_says, .look = looks(fight_octopus_picture)},
    {.routine = "fight_crab", .cre = figures("CRAB", 6, 90, 90, 38, 0, 4), .cash = true,
     .wins = 9, .says = &crab_says, .look = looks(fight_crab_picture)},
    {.routine = "fight_jelly", .cre = figures("JELLY", 6, 70, 70, 33, 0, 3), .cash = true,
     .wins = 10, .says = &jelly_says, .look = looks(fight_jelly_picture)},
    {.routine = "fight_mime", .cre = figures("MIME", 14, 160, 160, 87, 0, 5), .cash = true,
     .wins = 11, .says = &mime_says,
     .look = {.picture = &fight_mime_picture, .hurt = &fight_mime_picture2, .hurt_at = 50}},
    {.routine = "fight_seal", .cre = figures("SEAL", 15, 180, 180, 92, 0, 3), .cash = true,
     .wins = 12, .says = &seal_says, .look = looks(fight_seal_picture)},
    {.routine = "fight_monkey", .cre = figures("MONKEY", 14, 120, 120, 82, 0, 5), .cash = true,
     .wins = 13, .says = &monkey_says, .look = looks(fight_monkey_picture)},
    {.routine = "fight_vex", .cre = figures("VEXMINAXUS", 16, 600, 600, 0, 0, 101),
     .threshold = 301, .look = looks(fight_vex_picture), .rewarded = false},
    {.routine = "fight_vex_again", .cre = figures("VEXMINAXUS", 16, 300, 600, 340, 95, 101),
     .look = looks(fight_vex_again_picture)},
    // ---- the enchanted lands
    {.routine = "fight_madeyes", .cre = figures("MAD_EYES", 50, 3000, 3000, 1000, 0, 101),
     .wins = 12, .look = looks(fight_madeyes_picture), .mad_eyes = true},
    {.routine = "mad_monkey", .cre = figures("ANGRY_MONKEY", 15, 110, 110, 91, 0, 3), .cash = true,
     .wins = 17, .says = &mad_monkey_says, .look = looks(mad_monkey_picture)},
    {.routine = "crazy_clown", .cre = figures("CRAZY_CLOWN", 18, 170, 170, 99, 0, 5), .cash = true,
     .wins = 18, .says = &clown_says, .look = looks(crazy_clown_picture)},
    {.routine = "dwarf_guy", .cre = figures("DwarfBerserker", 20, 210, 210, 112, 0, 5), .cash = true,
     .wins = 19, .says = &dwarf_says, .look = looks(dwarf_guy_picture)},
    {.routine = "glob_of_goo", .cre = figures("Blob_Thing", 12, 270, 270, 93, 0, 5), .cash = true,
     .wins = 20, .says = &goo_says, .look = looks(glob_of_goo_picture)},
    {.routine = "rock", .cre = figures("Rock_Monster", 25, 270, 270, 130, 0, 3), .cash = true,
     .wins = 21, .says = &rock_says, .look = looks(rock_picture)},
    {.routine = "grumb", .cre = figures("grumbarov", 32, 725, 725, 175, 0, 101), .cash = true,
     .says = &grumb_says, .look = looks(grumb_picture)},
    // ---- the caves
    {.routine = "caveman", .cre = figures("CaveMan", 26, 300, 300, 132, 0, 2), .cash = true,
     .wins = 22, .says = &caveman_says, .look = looks(caveman_picture)},
    {.routine = "zarkhul", .cre = figures("Zarkhul", 1, 3, 3, 150, 0, 101), .cash = true,
     .wins = 23, .says = &zarkhul_says, .look = looks(zarkhul_picture)},
    {.routine = "darkness", .cre = figures("??????????????", 35, 400, 400, 150, 0, 5), .cash = true,
     .wins = 24, .says = &darkness_says, .look = looks(darkness_picture)},
    {.routine = "stalagmite", .cre = figures("Living_Cave", 40, 450, 450, 160, 0, 101), .cash = true,
     .wins = 25, .says = &stalagmite_says, .look = looks(stalagmite_picture)},
    {.routine = "delvo", .cre = figures("DELVO", 50, 1000, 1000, 225, 0, 101), .cash = true,
     .look = looks(delvo_picture)},
    // ---- the final battle
    {.routine = "fight_tobrillo2", .cre = figures("TOBRILLO", 60, 600, 600, 100, 0, 101),
     .look = looks(fight_tobrillo2_picture)},
    {.routine = "fight_vex2", .cre = figures("VEXMINAXUS", 65, 700, 700, 340, 0, 101),
     .look = looks(fight_vex2_picture)},
    {.routine = "grumb2", .cre = figures("grumbarov", 80, 1100, 1100, 175, 0, 101),
     .says = &grumb_says, .look = looks(grumb2_picture)},
    {.routine = "delvo2", .cre = figures("DELVO", 95, 1500, 1500, 225, 0, 101),
     .look = looks(delvo2_picture)},
    {.routine = "vaskar", .cre = figures("Sorceress", 120, 9999, 9999, 0, 0, 101),
     .threshold = 5001, .look = looks(vaskar_picture), .rewarded = false},
    {.routine = "vaskar2", .cre = figures("Sorceress", 200, 5000, 9999, 1500, 0, 101),
     .look = looks(vaskar2_picture)},
}};
// clang-format on

// ---------------------------------------------------------------------------------------------
// [SECTION] The one routine behind every creature
// ---------------------------------------------------------------------------------------------

namespace {

void announce(const announcement &a, const creature_row &row, const stats_rec &stats) {
    newlines(a.before);
    // Every line ends itself, except a numbered last line: its number is ended by the first of
    // the line ends after.
    for (int32 i = 0; i < a.count; ++i) {
        if (a.numbered && i == a.count - 1) {
            put(a.lines[i]);
            putnum(stats.wins[row.wins] + 1);
        } else
            putline(a.lines[i]);
    }
    newlines(a.after);
    pressenterat(a.enter);
    newlines(2);
    line();
}

} // namespace

void runcreature(const creature_row &row, stats_rec &stats, int32 cash) {
    creature_rec cre = row.cre;
    if (row.cash) cre.money = cash;
    if (row.says) announce(*row.says, row, stats);
    if (fight(stats, cre, row.look, row.threshold)) return; // escaped: nothing is paid
    if (row.rewarded) winnings(stats, cre);
    if (row.wins != 0) ++stats.wins[row.wins];
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
