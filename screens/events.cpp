// The screens' events, each a short hook over the story's scenes and sequences and the pages of
// the screens themselves.
#include "screens/events.hpp"

#include "core/gamemenu.hpp"
#include "story/story.hpp"
#include "world/maps_island.hpp"
#include "world/mechanics.hpp"

#include <iterator>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] The screens' pages, word for word
// ---------------------------------------------------------------------------------------------

constexpr std::string_view reenter_forest[] = {
    "                        As you re-enter the forest",
    "                        you start to feel like",
    "                        yourself again",
};
constexpr std::string_view backwards[] = {
    "                       As you exit the forest you feel",
    "                       something like a slap in the face,",
    "                       and suddenly everything seems BACKWARDS!!!",
};
constexpr std::string_view confusing[] = {
    "                         Now things are just plain confusing",
};
constexpr std::string_view wearing_off[] = {
    "                         For the time being the spell seems",
    "                         to be wearing off, and things are normal again...",
    "                         at least it seems that way?!",
};
constexpr std::string_view falling[] = {
    "                       You feel the pressure on your sore feet release...",
    "                       but sadly, you are falling, but...to where?",
    "                       When you land, the ground seems like a cushion...",
    "                       almost as if it's welcoming you there...?",
};
constexpr std::string_view revived[] = {
    "                           YOU WERE REVIVED!!!",
};
constexpr std::string_view flashlights_found[] = {
    "               HOW CONVENIENT...A PILE OF FLASHLIGHTS...",
    "               WONDER IF ANY HAVE WORKING BATTERIES...",
    "               WELL, TIME TO FIND OUT!!!",
};
constexpr std::string_view too_dark[] = {
    "              IT'S DARK DOWN THERE, YOU NEED SOME LIGHT!!!",
};
constexpr std::string_view descend[] = {
    "             AS YOU DECEND INTO THE THE DARK CAVES",
    "             YOU START TO HEAR THE ODDEST SOUNDS IMAGINABLE",
    "             AND WISH YOU NEVER EMBARKED ON THIS JOURNEY",
};
constexpr std::string_view bright_light[] = {
    "            A BRIGHT LIGHT BLASTS YOU IN THE EYES",
    "            AND SUDDENLY ALL IS FORGOTTEN!",
    "            WHEN YOU AWAKE YOU ARE IN A COLD COLD DARK ROOM",
    "            AND THERE ARE FOUR POSTS WITH LIGHTS ON THEM",
    "            HMMMMMMMMMMMMMMM....",
};
constexpr std::string_view wrong_post[] = {
    "                       WRONG, TRY ANOTHER!",
};
constexpr std::string_view cha_ching[] = {
    "                       CHA-CHING",
};
constexpr std::string_view screech[] = {
    "             A STRANGE SCREACHING NOISE FROM THE SIDE",
    "             CATCHES YOUR ATTENTION SO NATURALLY YOU GO THERE!",
};

// Each waits for one key after its notice.
constexpr page_rec revived_page{.before = 20, .lines = revived, .after = 9, .lead = 57, .end = 2};
constexpr page_rec flashlights_page{
    .before = 20, .lines = flashlights_found, .after = 10, .lead = 56};
constexpr page_rec too_dark_page{.before = 20, .lines = too_dark, .after = 11, .lead = 56};
constexpr page_rec wrong_post_page{.before = 20, .lines = wrong_post, .after = 9, .lead = 52};
constexpr page_rec cha_ching_page{.before = 20, .lines = cha_ching, .after = 9, .lead = 52};
constexpr page_rec screech_page{.before = 20, .lines = screech, .after = 9, .lead = 52};

bool targets(const visit_rec &visit, int32 row, int32 col) {
    return visit.row == row && visit.col == col;
}

// Sends the hero back to the cell his step started from.
void undostep(visit_rec &visit) {
    const position_rec from = stepfrom(visit.row, visit.col, visit.dir);
    visit.row = from.row;
    visit.col = from.col;
    visit.dir = no_step;
}

} // namespace

// The pages the screen table shows as the hero arrives (declared in screens/events.hpp).
constexpr page_rec reenter_page{.before = 30, .lines = reenter_forest, .after = 10, .lead = 56};
constexpr page_rec backwards_page{.before = 30, .lines = backwards, .after = 10, .lead = 56};
constexpr page_rec confusing_page{.before = 30, .lines = confusing, .after = 12, .lead = 49};
constexpr page_rec wearing_off_page{.before = 30, .lines = wearing_off, .after = 12, .lead = 42};
constexpr page_rec falling_page{.before = 30, .lines = falling, .after = 9, .lead = 64};
constexpr page_rec descend_page{.before = 20, .lines = descend, .after = 9, .lead = 61};
constexpr page_rec bright_light_page{
    .before = 20, .lines = bright_light, .after = 8, .lead = 58, .end = 1};

// ---------------------------------------------------------------------------------------------
// [SECTION] The forest castle and the pier
// ---------------------------------------------------------------------------------------------

int32 castleswitch(stats_rec &stats, visit_rec &visit) {
    if (!targets(visit, 12, 30)) return stay;
    if (pullswitch(stats)) opencastlegate(visit.map);
    undostep(visit);
    return stay;
}

bool tobrillohall(stats_rec &stats, visit_rec &) {
    firstringholder(stats);
    return true;
}

bool boatcrossing(stats_rec &stats, visit_rec &visit) {
    if (boatman(stats)) return true;
    // Turned away: the mark moves from where the hero stood onto the pier's middle row.
    visit.dir = visit.row == 11 ? step_down : visit.row == 13 ? step_up : no_step;
    visit.row = 12;
    visit.col = map_cols;
    return false;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The island
// ---------------------------------------------------------------------------------------------

void brokengate(world_matrix &map, const stats_rec &stats) {
    if (ringsatleast<2>(stats)) map.cells = maps::island_gate_broken;
}

void mirrorsign(stats_rec &, visit_rec &visit) {
    if (visit.oldwhere == screen::island_gate) houseofmirrors();
}

namespace {
// The three slots on row 12 for the letters of the name, in order, and the gate above them.
constexpr int32 slot_row = 12;
constexpr int32 slot_cols[] = {36, 39, 42};
constexpr int32 gate_row = 1;
constexpr int32 gate_first = 37, gate_last = 41;

void setgate(world_matrix &map, unsigned char code) {
    for (int32 c = gate_first; c <= gate_last; ++c) map(gate_row, c) = code;
}
} // namespace

void namebricks(world_matrix &map, const stats_rec &stats) {
    map(17, 39) = static_cast<unsigned char>(stats.name[0]);
    map(17, 50) = static_cast<unsigned char>(stats.name[1]);
    map(17, 28) = static_cast<unsigned char>(stats.name[2]);
}

int32 namegate(stats_rec &stats, visit_rec &visit) {
    bool spelled = true;
    for (std::size_t i = 0; i < std::size(slot_cols); ++i)
        spelled = spelled &&
                  visit.map(slot_row, slot_cols[i]) == static_cast<unsigned char>(stats.name[i]);
    if (spelled && !visit.open) {
        setgate(visit.map, invisible); // code 0: the floor the puzzle's mover walks on
        visit.open = true;
    } else if (!spelled) {
        setgate(visit.map, puzzle_wall);
        visit.open = false;
    }
    return stay;
}

bool clownroom(stats_rec &stats, visit_rec &) {
    clownescapes(stats);
    return true;
}

bool clownlaststand(stats_rec &stats, visit_rec &) {
    clownfalls(stats);
    return true;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The enchanted lands and the third ring-holder
// ---------------------------------------------------------------------------------------------

void cursefalls(stats_rec &, visit_rec &) {
    grumbcurse();
}

// Every key costs one point of health; the hero who falls to 0 is revived at full health.
void cursedkey(stats_rec &stats, visit_rec &) {
    stats.health -= 1;
    if (stats.health > 0) return;
    stats.health = maxhealth(stats);
    stats.deaths += 1;
    showpage(revived_page);
    newlines(20);
}

int32 grumbcorner(stats_rec &stats, visit_rec &visit) {
    if (visit.row > 14 && visit.col > 71) return thirdringholder(stats);
    return stay;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The northern cave and the ship
// ---------------------------------------------------------------------------------------------

namespace {
constexpr position_rec mad_eyes_at{13, 3};
constexpr position_rec flashlights_at{20, 76};

bool madeyeswaits(const stats_rec &stats) {
    return ringsatleast<all_rings>(stats) && !stats.mad_eyes;
}
} // namespace

void madeyesstands(world_matrix &map, const stats_rec &stats) {
    if (madeyeswaits(stats)) map(mad_eyes_at.row, mad_eyes_at.col) = mad_eyes_mark;
}

int32 caveentrance(stats_rec &stats, visit_rec &visit) {
    if (targets(visit, flashlights_at.row, flashlights_at.col)) {
        visit.flashlights = true;
        showpage(flashlights_page);
    } else if (madeyeswaits(stats) && visit.row >= 12 && visit.row <= 14 && visit.col >= 2 &&
               visit.col <= 4) {
        // Once fought, whatever the outcome, he is gone from the map.
        if (meetmadeyes(stats)) visit.map(mad_eyes_at.row, mad_eyes_at.col) = blank;
    }
    return stay;
}

bool cavehole(stats_rec &, visit_rec &visit) {
    if (visit.flashlights) return true;
    showpage(too_dark_page);
    return false;
}

namespace {
// The posts, lit in this order only: the bottom right, the top left, the top right, the bottom
// left.
constexpr position_rec posts[] = {{18, 76}, {3, 3}, {3, 76}, {18, 3}};
constexpr position_rec ship_door{11, map_cols};
} // namespace

int32 fourposts(stats_rec &, visit_rec &visit) {
    auto at = [&](int post) { return targets(visit, posts[post - 1].row, posts[post - 1].col); };
    if ((at(2) || at(4) || at(3)) && !visit.lights[1]) {
        showpage(wrong_post_page);
    } else if (at(1)) {
        visit.lights[1] = true;
        showpage(cha_ching_page);
    } else if (at(2) && visit.lights[1]) {
        visit.lights[2] = true;
        showpage(cha_ching_page);
    } else if (at(3) && visit.lights[2]) {
        visit.lights[3] = true;
        showpage(cha_ching_page);
    } else if (at(4) && visit.lights[3]) {
        visit.lights[4] = true;
    }
    if (visit.lights[4] && visit.noise_pending) {
        visit.noise_pending = false;
        showpage(screech_page);
        visit.map(ship_door.row, ship_door.col) = blank;
    }
    return stay;
}

void delvoaboard(stats_rec &, visit_rec &) {
    delvoarrives();
}

int32 delvoship(stats_rec &stats, visit_rec &) {
    if (key() == '0') showmenu(stats);
    return fourthringholder(stats);
}
