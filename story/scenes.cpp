// The story scenes the screens run along the quest: the switch, the boatman, the signpost, the
// gifts, the four ring-holders' pages and Mad Eyes' question. They write and wait; they change
// nothing.
#include "story/scenes.hpp"
#include "core/menuloop.hpp"
#include "story/pictures.hpp"
#include "story/story.hpp"

// ---------------------------------------------------------------------------------------------
// [SECTION] Writing pages
// ---------------------------------------------------------------------------------------------

void scenepage(int before, textlines text, int after) {
    showpage({.before = before,
              .lines = text,
              .after = after,
              .lead = story_notice,
              .end = 1,
              .wait = waitfor::line});
}

namespace {

// Words written to the right of a picture's row (counted from 1), from column `column`.
struct words_rec {
    int row = 0;
    std::string_view words;
};
template <std::size_t Rows, std::size_t Cols>
void picturewords(const picture<Rows, Cols> &pic, std::size_t column,
                  std::span<const words_rec> words) {
    for (std::size_t r = 0; r < Rows; ++r) {
        const std::string_view row = rowtext(pic[r]);
        put(row);
        for (const words_rec &w : words)
            if (w.row == static_cast<int>(r) + 1) {
                blanks(static_cast<int>(column - 1 - row.size()));
                put(w.words);
            }
        newlines(1);
    }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The texts
// ---------------------------------------------------------------------------------------------

// The boatman's words start here, right of his picture.
constexpr std::size_t boatman_words = 53;
constexpr auto fare_short = withfigure("$", boat_fare, " Smackers.");
constexpr auto fare_asked = withfigure("$", boat_fare, " Big Ones");
constexpr words_rec no_money[] = {
    {1, "Sorry! You don't have"}, {2, "enough cash. Come back"},
    {3, "when you got an extra"}, {4, fare_short},
    {18, "PRESS ENTER"},
};
constexpr words_rec offer[] = {
    {1, "So you wanna borrow me"}, {2, "smiley boat eh?  Why,"},
    {3, "it'll cost ya."},         {4, fare_asked},
    {16, "1) Rent the boat"},      {18, "0) EXIT"},
};

constexpr words_rec signpost_notice[] = {{15, "PRESS ENTER"}};
// The gifts' pictures end with the notice beside their last row.
constexpr words_rec gift_notice[] = {{18, "PRESS ENTER"}};
constexpr std::size_t gift_words = 50;

constexpr std::size_t madeyes_words = 34;
constexpr words_rec madeyes_words_at[] = {
    {2, "They call me mad eyes"},
    {3, "cause I'm so mad that"},
    {4, "my eyes are this squinty!"},
    {14, "You sure that you want"},
    {15, "to fight me?"},
    {18, "1) Fight"},
    {20, "0) EXIT"},
};

constexpr std::string_view tobr_meets[] = {
    "     You step down into the dungeon.  In the torchlight a small, hunched man",
    "     waits for you, turning something over and over in his bony fingers.",
    "",
    "     \"Are you Da Tobrillo?\" you ask.",
    "",
    "     \"Tobrillo I am,\" he hisses, \"and you will never take my precious!",
    "     It is mine, my own, my precious ring!\"",
};
constexpr std::string_view tobr_guards[] = {
    "     He snaps his fingers, and two men in armor step out of the shadows.",
};
constexpr std::string_view tobr_hides[] = {
    "     The second guard crashes to the floor.  Tobrillo is nowhere to be seen,",
    "     but a muttering comes from a hole low in the wall:",
    "",
    "     \"Mustn't let it take it, precious... mustn't let it...\"",
};
constexpr std::string_view tobr_rolls[] = {
    "     You reach into the hole.  Tobrillo grabs his shield, rolls out past",
    "     your legs and springs to his feet, ready to fight!",
};
constexpr std::string_view tobr_falls[] = {
    "     Tobrillo falls to his knees, and the Computer Lit. Ring slips from his",
    "     finger.  You snatch it up.  With a shriek he scrambles through a window",
    "     and is gone, leaving his shield behind him on the floor.",
};
constexpr std::string_view tobr_knights[] = {
    "     The door bursts open and four more knights charge into the hall!",
    "",
    "     You look around you.  There is a barred window in the far wall,",
    "     a row of thick pillars along the side, and the door you came in by",
    "     still stands open enough to escape through.",
};
constexpr std::string_view window_grab[] = {
    "     You tug at the window bars with all your strength.  One of them gives",
    "     a little... then something cold grabs you by the ankle.",
    "",
    "     There's no escaping him now.",
};
constexpr std::string_view window_out[] = {
    "     The knight lies still.  You smash the window with your sword, squeeze",
    "     through, and drop into the moat far below.  You swim to the bank and go",
    "     on your way, the ring safe in your pocket.",
};
constexpr std::string_view pillar_hide[] = {
    "     You slip behind a pillar.  The last knight to pass it never sees you",
    "     coming: you drag him down, and a moment later you are wearing his armor.",
};
constexpr std::string_view pillar_bluff[] = {
    "     \"Anything, sir?\" you ask the lead guard, your visor down.",
    "     \"Nothing.  Keep looking!\" he barks.  You nod, march out of the hall,",
    "     and leave the castle over the bridge without a second look.",
};
constexpr std::string_view run_caught[] = {
    "     You race for the door and out to the gate, but the knights catch you",
    "     there and hold you up over the rocks beside the moat.",
};
constexpr std::string_view run_escape[] = {
    "     You throw the ring high into the air.  As the knights look up, you",
    "     twist free and slide down the wall on your shield into the moat, catch",
    "     the ring as it falls and crank the bridge up behind you.",
};
constexpr std::string_view vex_meets[] = {
    "     A clown steps out in front of you: baggy suit, big shoes, a red nose",
    "     and a brass horn.  \"Merrow Vexminaxus, at your service!  You want the",
    "     VB Ring?  Come and take it!\"",
};
constexpr std::string_view vex_runs[] = {
    "     Beaten, the clown tosses a ring over his shoulder and dives down a",
    "     slide in the floor.  You pick the ring up: a cheap toy, not the VB Ring",
    "     at all!  You jump onto the slide after him.",
};
constexpr std::string_view vex_wounded[] = {
    "     The clown sinks to the floor, too wounded to fight on.  His shield lies",
    "     beside him, still in one piece.",
};
constexpr std::string_view vex_refuses[] = {
    "     \"You'll never get my ring!\" he wheezes.  \"Never, never, never!\"",
};
constexpr std::string_view vex_dynamite[] = {
    "     His wig is smouldering, and there in his burning hair you see the",
    "     VB Ring.  You grab it, and with a last mad honk he throws his match",
    "     into a row of barrels marked DYNAMITE!",
};
constexpr std::string_view vex_escape[] = {
    "     You run.  Mirrors burst all around you as the house of mirrors",
    "     collapses, and you dive through the door just as the roof comes down.",
};
constexpr std::string_view grumb_spins[] = {
    "     The room begins to spin.  Out of the floor rises a dark, chanting shape,",
    "     its eyes glowing like coals.",
};
constexpr std::string_view grumb_curses[] = {
    "     \"I am Grumbarov, chi chi, keeper of the C++ Ring, chi chi... and you,",
    "     you, CHI, are cursed!  Every step, chi chi, every breath...\"",
};
constexpr std::string_view grumb_curse[] = {
    "     You feel the curse settle on you.  Every move you make, even standing",
    "     still, will cost you a little of your health.  Be quick!",
};
constexpr std::string_view grumb_begs[] = {
    "     \"Stop, stop!  Let me go and the ring is yours!\" Grumbarov begs, and he",
    "     tosses the C++ Ring into the air.",
};
constexpr std::string_view grumb_flees[] = {
    "     While you reach to catch it he slips away through a crack in the wall.",
    "     The ring drops safely into your hand.",
};
constexpr std::string_view grumb_shield[] = {
    "     The room starts to fade as the curse lifts.  Just before you are warped",
    "     out of the castle you spot a great shield leaning against the wall:",
    "     the Tower Shield!",
};
constexpr std::string_view delvo_alien[] = {
    "     \"Welcome, earthling,\" says a voice.  A tall figure turns to face you.",
    "     \"I am Tavrinel Delvo, and I am not of your world.  You are aboard my",
    "     spaceship, and you will not leave it.\"",
};
constexpr std::string_view delvo_beckons[] = {
    "     Delvo throws the Java Ring on the ground between you and beckons.",
    "     \"Take it, if you can.\"",
};

// The pages the screens of the third and fourth ring-holders show: each waits for one key.
constexpr int ringholder_before = 20, ringholder_after = 9, ringholder_lead = 58;
void ringholderpage(textlines text) {
    showpage({.before = ringholder_before,
              .lines = text,
              .after = ringholder_after,
              .lead = ringholder_lead,
              .end = 2});
}

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The scenes
// ---------------------------------------------------------------------------------------------

void switchscene() {
    newlines(7);
    putline("                                            PRESS ENTER TO PULL");
    putline("                                                THE SWITCH");
    putpicture(lever_picture);
    newlines(6);
}

void boatnomoney() {
    newlines(2);
    picturewords(boatman_picture, boatman_words, no_money);
    newlines(1);
    enter();
}

void boat() {
    newlines(2);
    picturewords(boatman_picture, boatman_words, offer);
    newlines(1);
}

void notgoing() {
    static constexpr std::string_view words[] = {
        "                     I'm not going in there again!!!"};
    showpage(
        {.before = 11, .lines = words, .after = 10, .lead = 61, .end = 2, .wait = waitfor::line});
}

void houseofmirrors() {
    newlines(6);
    picturewords(signpost_picture, 45, signpost_notice);
    enter();
}

namespace {
template <std::size_t Rows, std::size_t Cols>
void found(std::string_view what, const picture<Rows, Cols> &pic) {
    newlines(1);
    blanks(44);
    putline(what);
    newlines(3);
    picturewords(pic, gift_words, gift_notice);
    enter();
}
} // namespace

void findsword() {
    found("YOU FOUND A SWORD", sword_picture);
}
void findshield() {
    found("YOU FOUND A SHIELD", shield_picture);
}

void tobr() {
    scenepage(7, tobr_meets);
    newlines(2);
    putlines(tobr_guards);
    newlines(1);
    putpicture(knight_picture);
    pressenterat(story_notice, 1, waitfor::line);
}

void tobrmore() {
    scenepage(8, tobr_hides);
    scenepage(2, tobr_rolls);
}

void tobrdead() {
    scenepage(6, tobr_falls);
}

void tobrend() {
    newlines(4);
    putlines(tobr_knights);
    newlines(3);
    pressenterat(59, 1, waitfor::line);
}

char tobrchoice() {
    char choice = 0;
    menuloop(
        [] {
            newlines(8);
            putline("     WHAT SHOULD YOU DO???");
            newlines(1);
            putline("                    1) exit through the window");
            newlines(1);
            putline("                    2) hide behind a pillar");
            newlines(1);
            putline("                    3) make a run for the door");
            newlines(9);
        },
        [&](char k) {
            choice = k;
            return k == '1' || k == '2' || k == '3';
        },
        no_back);
    return choice;
}

void window1() {
    scenepage(5, window_grab);
}
void window2() {
    scenepage(9, window_out);
}

void pillar() {
    scenepage(4, pillar_hide);
    scenepage(2, pillar_bluff);
}

void runforit() {
    scenepage(4, run_caught);
    scenepage(2, run_escape);
}

void vex() {
    newlines(4);
    putlines(vex_meets);
    newlines(1);
    putpicture(clown_picture);
    newlines(2);
    pressenterat(story_notice, 1, waitfor::line);
}

void vexrun() {
    scenepage(6, vex_runs);
}

void vexdead() {
    scenepage(11, vex_wounded);
    findshield();
    scenepage(2, vex_refuses);
    scenepage(2, vex_dynamite);
    scenepage(2, vex_escape);
}

void madeyes() {
    newlines(1);
    picturewords(madeyes_picture, madeyes_words, madeyes_words_at);
}

void grumbcurse() {
    ringholderpage(grumb_spins);
    ringholderpage(grumb_curses);
    ringholderpage(grumb_curse);
}

void grumbsurrender() {
    ringholderpage(grumb_begs);
    ringholderpage(grumb_flees);
    ringholderpage(grumb_shield);
}

void delvoarrives() {
    ringholderpage(delvo_alien);
    ringholderpage(delvo_beckons);
}
