// The quest's sequences as the screens run them: the switch, the boatman, the four
// ring-holders and Mad Eyes, with what each leaves in the Stats record and where the hero goes.
#include "combat/roster.hpp"
#include "core/menuloop.hpp"
#include "story/scenes.hpp"
#include "story/story.hpp"

#include <iterator>

// ---------------------------------------------------------------------------------------------
// [SECTION] The gifts: one row each, in the order they are won
// ---------------------------------------------------------------------------------------------

namespace {

struct gift_rec {
    bool weapon = false; // replaces the weapon, else the shield
    weapon_type item;
};
constexpr weapon_type item(int32 power, int32 armor, int32 magic, std::string_view name) {
    return {.power = power, .armor = armor, .magic = magic, .name = padded<20>(name)};
}
constexpr gift_rec gifts[] = {
    /* brass_shield      */ {false, item(2, 6, 0, "Brass Shield")},
    /* silver_shield     */ {false, item(6, 30, 8, "Silver Shield")},
    /* tower_shield      */ {false, item(15, 45, 12, "Tower Shield")},
    /* glimmering_shield */ {false, item(40, 200, 60, "Glimmering Shield")},
    /* magestic_blade    */ {true, item(300, 200, 120, "Magestic Blade")},
};
static_assert(std::size(gifts) == static_cast<std::size_t>(gift::magestic_blade) + 1,
              "one row per gift");

const gift_rec &row(gift g) {
    return gifts[static_cast<std::size_t>(g)];
}

} // namespace

const weapon_type &giftitem(gift g) {
    return row(g).item;
}
bool isweapon(gift g) {
    return row(g).weapon;
}
void give(stats_rec &stats, gift g) {
    (isweapon(g) ? stats.weapon : stats.shield) = giftitem(g);
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The sequences
// ---------------------------------------------------------------------------------------------

namespace {
constexpr int32 knight_cash = 44;
constexpr int32 grumb_cash = 200;
constexpr int32 delvo_cash = 500;

// A ring won: the ring-holder's gift replaces the shield.
void winring(stats_rec &stats, int32 rings, gift shield) {
    stats.num_of_rings = rings;
    give(stats, shield);
}

constexpr std::string_view delvo_falls[] = {
    "           As you strike for the last time Delvo hits the floor",
    "           \"Enough, earthling... you have beaten me fairly.  The Java Ring",
    "           is yours, and my shield with it.\"",
};
constexpr std::string_view back_in_the_cave[] = {
    "           You feel a great leap of confidence after defeating the",
    "           the un-known alien...but when you come back to reality",
    "           you realize your at the ENTRANCE OF THE CAVE!!!",
};
} // namespace

bool pullswitch(const stats_rec &stats) {
    if (ringsatleast<1>(stats)) {
        notgoing();
        return false;
    }
    switchscene();
    enter(); // Enter pulls the switch
    return true;
}

bool boatman(stats_rec &stats) {
    if (stats.boat) return true; // paid once, free ever after
    if (stats.money < boat_fare) {
        boatnomoney();
        return false;
    }
    menuloop(boat, [&](char k) {
        if (k != '1') return false;
        stats.money -= boat_fare;
        stats.boat = true;
        return true;
    });
    return stats.boat;
}

void firstringholder(stats_rec &stats) {
    tobr();
    fightcreature(creature("knight"), stats, knight_cash);
    fightcreature(creature("knight"), stats, knight_cash);
    tobrmore();
    fightcreature(creature("tobrillo"), stats);
    tobrdead();
    findshield();
    winring(stats, 1, gift::brass_shield);
    tobrend();
    switch (tobrchoice()) {
        case '1':
            window1();
            fightcreature(creature("knight"), stats, knight_cash);
            window2();
            break;
        case '2':
            pillar();
            break;
        default:
            runforit();
    }
}

void clownescapes(stats_rec &stats) {
    vex();
    fightcreature(creature("vex"), stats);
    vexrun();
}

void clownfalls(stats_rec &stats) {
    fightcreature(creature("vex_again"), stats);
    vexdead();
    winring(stats, 2, gift::silver_shield);
}

int32 thirdringholder(stats_rec &stats) {
    fightcreature(creature("grumb"), stats, grumb_cash);
    grumbsurrender();
    findshield();
    winring(stats, 3, gift::tower_shield);
    return screen::southern_forest;
}

int32 fourthringholder(stats_rec &stats) {
    fightcreature(creature("delvo"), stats, delvo_cash);
    showpage({.before = 20, .lines = delvo_falls, .after = 9, .lead = 57});
    newlines(2);
    findshield();
    give(stats, gift::glimmering_shield);
    // The last page does not wait: the cave's entrance is drawn under it at once.
    newlines(20);
    putlines(back_in_the_cave);
    newlines(9);
    pressenterat(57);
    stats.num_of_rings = all_rings;
    return screen::cave_entrance;
}

bool meetmadeyes(stats_rec &stats) {
    bool accepted = false;
    menuloop(madeyes, [&](char k) { return accepted = k == '1'; });
    if (!accepted) return false;
    fightcreature(creature("madeyes"), stats);
    findsword();
    give(stats, gift::magestic_blade);
    return true;
}
