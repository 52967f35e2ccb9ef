// Creature pictures of the northern cave: Mad Eyes, the dark tunnels and the fourth ring-holder.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

// Mad Eyes: a hooded figure with squinting eyes and a long staff.
inline constexpr creature_picture fight_madeyes_picture = decode<10, 45>({
    R"(                /\                 \☼/       )",
    R"(              .'  `.               -O-       )",
    R"(            .'      `.             /║\       )",
    R"(          /  .------.  \            ║        )",
    R"(         /  / ▀▄  ▄▀ \  \           ║        )",
    R"(        |  |   ─  ─   |  |          ║        )",
    R"(        |   \   ▄▄   /   |`-.______▐╬▌       )",
    R"(        /    `------'    \          ║        )",
    R"(       /  ░░░░░░░░░░░░░░  \         ║        )",
    R"(      /__░░░░░░░░░░░░░░░░__\        ║        )",
});

// A caveman shouldering his labelled club.
inline constexpr creature_picture caveman_picture = decode<10, 45>({
    R"(     ▄▓▓▓▓▓▓▓▄           ________________    )",
    R"(   ▄▓▓▓▓▓▓▓▓▓▓▓▄     _.-'                `.  )",
    R"(   ▓▓▀▀▀▀▀▀▀▀▀▓▓   .'     (giant club)     ) )",
    R"(   ▓▌ ▀█▀ ▀█▀ ▐▓  / `-._              __.-'  )",
    R"(   ▓▌  o   o  ▐▓ / /    `------------'       )",
    R"(    ▌    ▄▄   ▐ / /                          )",
    R"(    ▓▄ ╘═══╛ ▄▓/ /                           )",
    R"(  .-'▀▓▓▓▓▓▓▀ (__)                           )",
    R"( / ░░▓░░░░░▓░░ |                             )",
    R"(/__░░░▓░░░▓░░░_|                             )",
});

// A tiny trembling figure begging for mercy.
inline constexpr creature_picture zarkhul_picture = decode<10, 45>({
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(              (please don't hurt me)         )",
    R"(             /                               )",
    R"(          ' o '                              )",
    R"(           /|\                               )",
    R"(           / \                               )",
    R"(                                             )",
    R"(                                             )",
});

// Nothing but a pair of eyes in the dark.
inline constexpr creature_picture darkness_picture = decode<10, 45>({
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                (*)      (*)                 )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
});

// The living cave: a tall cone of rock with eyes and a jagged mouth.
inline constexpr creature_picture stalagmite_picture = decode<10, 45>({
    R"(                      ▲                      )",
    R"(                     /▒\                     )",
    R"(                    /▓▒░\                    )",
    R"(                   /▓▒░▒▓\                   )",
    R"(                  /▓░▓▒░▓▒\                  )",
    R"(                 /░▓◘▒░▒◘▓░\                 )",
    R"(                /▒▓▀▄▀▄▀▄▀▓▒\                )",
    R"(             __/░▓▒░▒▓░▓▒░▓▒░\__             )",
    R"(        ____/▓▒░▓▒░▒▓░▓▒░▒▓░▒▓░▓\____        )",
    R"( ______/░▒▓░▓▒░▓▒░▒▓░▓▒░▒▓░▒▓░▓▒░▒▓░▓\______ )",
});

// The fourth ring-holder: a big square-headed figure with its arms raised; his second form looks
// the same.
inline constexpr creature_picture delvo_picture = decode<10, 45>({
    R"(   \|/        ╔═══════════════╗        \|/   )",
    R"(    \\        ║  ▄▀▀▄   ▄▀▀▄  ║        //    )",
    R"(     \\       ║  ▀▄▄▀   ▀▄▄▀  ║       //     )",
    R"(      \\      ║      ▄▄▄      ║      //      )",
    R"(       \\     ║   ▀▀▀▀▀▀▀▀▀   ║     //       )",
    R"(        \\    ╚═══════╤═══════╝    //        )",
    R"(         \\_______▄▄█████▄▄_______//         )",
    R"(              ▐▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▌              )",
    R"(              ▐▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▌              )",
    R"(               ▓▓▓▀       ▀▓▓▓               )",
});
inline constexpr const creature_picture &delvo2_picture = delvo_picture;
