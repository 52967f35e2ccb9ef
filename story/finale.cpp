// The final battle in the sorceress's castle, as one table of pages and fights, and the pages
// that close the game: the score, the tally of victories and THE END.
#include "combat/fight.hpp"
#include "combat/roster.hpp"
#include "story/pictures.hpp"
#include "story/scenes.hpp"
#include "story/story.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] The battle's texts
// ---------------------------------------------------------------------------------------------

constexpr std::string_view welcome[] = {
    "     The great doors swing shut behind you.  Morvessa Vaskarine comes down",
    "     the stairs of her hall with open arms.",
    "",
    "     \"Welcome, my hero!  Have you brought them?  Show me the rings!\"",
    "",
    "     You hold them out.  Her smile twists, and she strikes you full in the",
    "     face with a golden trumpet.",
    "",
    "     \"GET HIM!!!\"",
};
constexpr std::string_view never_beaten[] = {
    "     \"Fool!  Did you think you had beaten my servants?  They were never",
    "     defeated.  They only let you carry the rings home to me!\"",
    "",
    "     Tobrillo, Vexminaxus, Grumbarov and Delvo step out of the shadows.",
    "     Behind them a knight raises his sword and swings at your head!",
};
constexpr std::string_view immense[] = {
    "     The knight falls.  The sorceress raises her arms and chants, and the",
    "     four ring-holders swell and grow until they tower over you, immense!",
};
constexpr std::string_view vex_charges[] = {
    "     Tobrillo crashes to the floor.  With a furious HONK the enraged",
    "     Vexminaxus lowers his head and charges!",
};
constexpr std::string_view familiar_face[] = {
    "     As the clown topples, a familiar face jumps into the fight: the",
    "     dwarf berserker from the enchanted lands, axe high!",
};
constexpr std::string_view mourning[] = {
    "     The dwarf falls, struck down by Grumbarov's curse.  He was an enemy",
    "     once, but he came to fight beside you in the end.",
    "",
    "     \"You will pay!!!!\"",
};
constexpr std::string_view fear[] = {
    "     Grumbarov lies still.  For the first time you see fear in the eyes",
    "     of those that are left.  Something stirs in the dark corners...",
};
constexpr std::string_view challenge[] = {
    "     The thing from the dark is gone.  You turn to the alien.",
    "",
    "     \"Delvo!  It ends here.  Come and face me!\"",
};
constexpr std::string_view last_minion[] = {
    "     The last of her minions falls.  Slowly you turn to the sorceress.",
    "",
    "     \"Now it is your turn, Morvessa.\"",
};
constexpr std::string_view transforms[] = {
    "     Wounded, she pushes you away and laughs.  Her body twists and grows,",
    "     scales ripple across her skin, wings burst from her back...",
};
constexpr std::string_view dragon_attacks[] = {
    "     The dragon roars, and a blast of fire fills the hall.  You raise your",
    "     shield and hold on as the flames roll over you.",
    "",
    "     \"YOU MUST LIVE OUT YOUR DESTINY!!!\"",
};
constexpr std::string_view beast_falls[] = {
    "     With one last blow the beast crashes to the floor.  The walls shake,",
    "     stones fall from the ceiling, and the castle begins to crumble.",
    "",
    "     \"WAIT, DON'T GO YET...\"",
};
constexpr std::string_view destroy_them[] = {
    "     The dying sorceress, a woman again, catches your arm.  \"Destroy the",
    "     rings,\" she whispers.  \"Their power is too great for anyone.\"",
    "",
    "     You run from the castle as it falls, the four rings in your hand, and",
    "     you wonder whether their power is too great for you too...",
};

// ---------------------------------------------------------------------------------------------
// [SECTION] The battle: pages and fights in a fixed order
// ---------------------------------------------------------------------------------------------

// One step: a fight (no creature pays gold here), the dragon's picture, or a page that waits
// for Enter.
enum class step_kind { page, fight, dragon };
struct battle_step {
    step_kind kind = step_kind::page;
    creature_id foe{};
    page_rec page{};
};

constexpr battle_step fightstep(creature_id foe) {
    return {.kind = step_kind::fight, .foe = foe};
}
// The dragon's picture stands alone on its page and waits for Enter without a notice.
constexpr battle_step dragonstep{.kind = step_kind::dragon};

// How a page's notice stands: after 63 blanks on its own line (the usual), the story's notice on
// its own line or without a line end, or no notice at all.
constexpr page_rec usual_notice{.lead = 63, .end = 1, .wait = waitfor::line};
constexpr page_rec story_ends{.lead = story_notice, .end = 1, .wait = waitfor::line};
constexpr page_rec story_open{.lead = story_notice, .wait = waitfor::line};
constexpr page_rec no_notice{.wait = waitfor::line, .notice = false};
constexpr battle_step pagestep(int before, textlines text, int after,
                               page_rec notice = usual_notice) {
    notice.before = before;
    notice.lines = text;
    notice.after = after;
    return {.kind = step_kind::page, .page = notice};
}

// Whatever a fight's outcome, the next step follows.
constexpr battle_step battle[] = {
    pagestep(6, welcome, 6),
    pagestep(12, never_beaten, 6),
    fightstep(creature("knight")),
    pagestep(8, immense, 6),
    fightstep(creature("tobrillo2")),
    pagestep(20, vex_charges, 12),
    fightstep(creature("vex2")),
    pagestep(20, familiar_face, 11),
    fightstep(creature("dwarf_guy")),
    pagestep(20, mourning, 10),
    fightstep(creature("grumb2")),
    pagestep(20, fear, 11),
    fightstep(creature("darkness")),
    pagestep(20, challenge, 11),
    fightstep(creature("delvo2")),
    pagestep(20, last_minion, 12),
    fightstep(creature("vaskar")),
    pagestep(20, transforms, 8),
    dragonstep,
    pagestep(20, dragon_attacks, 9, story_open),
    fightstep(creature("vaskar2")),
    pagestep(20, beast_falls, 10, story_ends),
    pagestep(20, destroy_them, 8, no_notice),
};

void runstep(const battle_step &step, stats_rec &stats) {
    switch (step.kind) {
        case step_kind::page:
            return showpage(step.page);
        case step_kind::fight:
            return fightcreature(step.foe, stats);
        case step_kind::dragon:
            putpicture(dragon_picture);
            return enter();
    }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The closing pages
// ---------------------------------------------------------------------------------------------

// One entry of the tally: a creature's label and its victories.
void tallyentry(int lead, const creature_row &row, const stats_rec &stats) {
    blanks(lead);
    put(row.tallied);
    blanks(12 - static_cast<int>(row.tallied.size()));
    put("= ");
    putnum(stats.wins[row.wins], 5);
}

constexpr std::string_view credits[] = {
    "                                 THE END",
    "",
    title_line,
    "                   A tale told by the ORBRIDDEN team, with thanks to every hero",
};
constexpr std::string_view send_score[] = {
    "          Think your score is worth bragging about?  Send it to us by e-mail:",
    "                         scores@orbridden.example",
    "                   (subject: ORBRIDDEN SCORE, with your hero's name)",
};

void theend() {
    newlines(5);
    putlines(credits);
    newlines(5);
    putlines(send_score);
    newlines(1);
    putline("                  ATTACH THE SCORE.TXT FILE TO THE EMAIL!!!");
    newlines(5);
    enter();
}

} // namespace

int32 finalscore(const stats_rec &stats) {
    // Worked out wide so that no fortune can overflow it, then kept within the record's range.
    const std::int64_t score = std::int64_t{stats.points} + 5 * std::int64_t{stats.money} -
                               200 * std::int64_t{stats.deaths};
    return static_cast<int32>(std::clamp<std::int64_t>(score, std::numeric_limits<int32>::min(),
                                                       std::numeric_limits<int32>::max()));
}

void scorescreen(stats_rec &stats) {
    const int32 score = finalscore(stats);
    newlines(10);
    putline("                   HERE'S YOUR TOTAL SCORE!");
    newlines(9);
    putline("        SCORE = POINTS  +  5 * MONEY  -  # OF DEATHS * 200");
    newlines(1);
    put("  ");
    putnum(score, 11);
    put(" = ");
    putnum(stats.points, 6);
    put("  +  5 * ");
    putnum(stats.money, 5);
    put("  -        ");
    putnum(stats.deaths, 5);
    put(" * 200");
    newlines(1);
    newlines(3);
    put("                 SCORE = ");
    putnum(score);
    stats.points = score; // the score file records the final score
    newlines(1);
    newlines(5);
    enter();
}

void tallyscreen(const stats_rec &stats) {
    newlines(7);
    putline("               HERE'S HOW MANY OF EACH CHARACTER YOU'VE BEATEN");
    newlines(1);
    // The roster's tallied rows in its order, two to a line.
    int shown = 0;
    for (const creature_row &row : roster) {
        if (row.tallied.empty()) continue;
        const bool left = shown++ % 2 == 0;
        if (left && shown > 1) newlines(1);
        tallyentry(left ? 15 : 12, row, stats);
    }
    newlines(6);
    enter();
}

void finalbattle(stats_rec &stats) {
    for (const battle_step &step : battle) runstep(step, stats);
    scorescreen(stats);
    tallyscreen(stats);
    theend();
}
