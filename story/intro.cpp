// The introduction: four illustrated story pages, the title and the page that sends the hero.
#include "core/console.hpp"
#include "core/hero.hpp"
#include "story/story.hpp"

namespace {

// The mountain where the rings were made, drawn in the digits of its name.
constexpr std::string_view mountain_page[] = {
    "   Our story begins deep within the heart of the Binary    100",
    "   Mountains.  There the sorceress Morvessa               010010",
    "   Vaskarine shaped four rings of magic,                0101001010",
    "   and gave to each the power to control              1001010010100",
    "   one of the sectors of computer                   10100101001010010",
    "   science, the most powerful form               1011010010100101001011",
    "   of magic and witchcraft that              0110101101001010010100101101",
    "   the world has ever known.              101011010110100101001010010110101",
    "                                      01011010110101101001010010100101101011",
    "   Each ring was bound to         10110101101011010110100101001010010110101101",
    "   its sector by a spell      0100101101011010110101101001010010100101101011010",
    "   of her own making.    010010100101101011010110101101001010010100101101011010",
    "                     1001010010100101101011010110101101001010010100101101011010",
    "                100101001010010100101101011010110101101001010010100101101011010",
    "           10110100101001010010100101101011010110101101001010010100101101011010",
    "     01011010110100101001010010100101101011010110101101001010010100101101011010",
    "0101101011010110100101001010010100101101011010110101101001010010100101101011010",
};

constexpr std::string_view rings_text[] = {
    "         It was thought that the four rings would bring peace to the land",
    "         if they were wielded by a single person, one who could bear the",
    "         weight of them all.  But if the rings were ever separated, each",
    "         bearer would be granted a power equal to the strength of the",
    "         ring he held, and no bearer would rest until he held them all.",
    "         The sorceress kept them together, and for a time the land",
    "         knew peace.",
};

constexpr std::string_view ring_picture[] = {
    "                                                          _.-'''''-._",
    "                                                        .'  _.---._  '.",
    "                                                       /   /       \\   \\",
    "                                                      |   |  (o)    |   |",
    "                                                       \\   \\       /   /",
    "                                                        '._ '-----' _.'",
};

// The climb, with the sack of rings beside the text.
constexpr std::string_view climb_text[] = {
    "   One cold night the sorceress set out to climb Binary            _____",
    "   Mountain, the rings hidden in a velvet sack at her side.       (     )",
    "   She meant to seal them in the stone of the peak, where          )   (",
    "   no one could ever take them.  But a few miles shy of the       /(RINGS)\\",
    "   peak, four night riders fell upon her out of the dark.        \\_______/",
    "   They had followed her for days, for they craved the power",
    "   of the rings above all else.",
};

constexpr std::string_view struggle_picture[] = {
    "               ARRG!                         HUH?",
    "          \\O/          O      O          O          O",
    "           |  ___\\    /|\\_   /|\\        /|\\__      -|-",
    "          / \\    /    / \\    / \\        / \\        / \\",
    "                 \\",
    "   1111111111111111111111111111111111111111111111111111111111111111111",
    "   1111111111111111111111111111111111111111111111111111111111111111111",
};

constexpr std::string_view bearers_top[] = {
    "    Computer Lit. Ring                                      VB Ring",
    "           O                                                   O",
    "          /|\\                                                 /|\\",
    "          / \\                                                 / \\",
    "       Da Tobrillo                                     Merrow Vexminaxus",
};

constexpr std::string_view riders_fled[] = {
    "           The four riders fled into the corners of the world.",
    "        With the rings apart, evil began to inherit the earth, and",
    "       the land grew dark.  The world was in need of one who would",
    "          find the four bearers and retrieve the rings from them.",
};

constexpr std::string_view bearers_bottom[] = {
    "         C++ Ring                                          Java Ring",
    "           O                                                   O",
    "          /|\\                                                 /|\\",
    "          / \\                                                 / \\",
    "        Grumbarov                                        Tavrinel Delvo",
};

constexpr std::string_view sent_text[] = {
    "to the sorceress Morvessa Vaskarine and put an end to the evil that grows in",
    "the land.  On arrival she gave our hero a dull sword, a battered shield, a",
    "health potion and a map of the world.  \"It is little enough,\" she admitted,",
    "\"and you will need much more than this before the end.  Buy what you can in",
    "the town, rest at the hotel, and take the rings in the order their bearers",
    "fled.  Go now, and may every bit fall your way.\"",
    "",
    "And so our hero set off.",
};

} // namespace

void enter() {
    line();
}

void pressenter() {
    pressenterat(65);
    newlines(2);
}

void intro1() {
    newlines(3);
    putlines(mountain_page);
    newlines(3);
    pressenter();
}

void intro2() {
    newlines(3);
    putlines(rings_text);
    newlines(1);
    putlines(ring_picture);
    newlines(6);
    pressenter();
}

void intro3() {
    newlines(3);
    putlines(climb_text);
    newlines(3);
    putlines(struggle_picture);
    newlines(3);
    pressenter();
}

void intro4() {
    newlines(3);
    putlines(bearers_top);
    newlines(1);
    putlines(riders_fled);
    newlines(1);
    putlines(bearers_bottom);
    newlines(4);
    pressenter();
}

void title() {
    newlines(7);
    putline(title_line);
    newlines(1);
    putline("                   Written and drawn by the ORBRIDDEN team");
    putline("                   for every hero with a keyboard and a night to spare");
    newlines(12);
    pressenter();
}

void intro5() {
    putline(" has been sent by the king as the world's final hope to return these rings");
    putlines(sent_text);
    newlines(9);
    pressenter();
}

player_rec intro() {
    for (void (*page)() : {intro1, intro2, intro3, intro4, title}) {
        page();
        enter();
    }
    player_rec player = findidentity();
    restofline(); // what was typed after the choice or the name
    newlines(4);
    put(view(player.name));
    intro5();
    enter();
    return player;
}
