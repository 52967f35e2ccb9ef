// The story's pictures: the lever, the boatman and his boat, the signpost, the sword, the
// shield, the knight, the clown, Mad Eyes and the dragon, written as they show on screen.
#pragma once

#include "core/console.hpp"

// Lever handle on its base, pulled towards the castle.
inline constexpr auto lever_picture = decode<11, 61>({
    R"(                                          ___                )",
    R"(                                         (___)               )",
    R"(                                          \ \                )",
    R"(                                           \ \               )",
    R"(                                            \ \              )",
    R"(                                             \ \             )",
    R"(                                            __\_\__          )",
    R"(                                           |   o   |         )",
    R"(                                   ________|_______|________ )",
    R"(                                  |░░░░░░░░░░░░░░░░░░░░░░░░░|)",
    R"(                                  |_________________________|)",
});

// The boatman's head beside his smiley boat; words go to the right of it.
inline constexpr auto boatman_picture = decode<21, 50>({
    R"(           .-"""""-.                              )",
    R"(          /  _   _  \                             )",
    R"(         |  (o) (o)  |                            )",
    R"(        (|     ∩     |)                           )",
    R"(         |   \___/   |                            )",
    R"(          \  '---'  /                             )",
    R"(           '-.___.-'                              )",
    R"(              | |                 |\              )",
    R"(          ____|_|____             | \             )",
    R"(         /           \            |  \            )",
    R"(        |   BOATMAN   |           |___\           )",
    R"(        |_____________|           |               )",
    R"(                       ___________|___________    )",
    R"(                       \                     /    )",
    R"(                        \    (  ☺  ☻  ☺ )   /     )",
    R"(                         \_________________/      )",
    R"(      ≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈)",
    R"(        ≈≈≈≈ ≈≈≈≈≈≈≈≈≈ ≈≈≈≈≈≈≈≈≈≈≈≈ ≈≈≈≈≈≈≈≈≈≈≈   )",
    R"(      ≈≈≈≈≈≈≈≈≈≈≈ ≈≈≈≈≈≈≈≈≈≈≈≈≈≈ ≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈ )",
    R"(         ≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈ ≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈    )",
    R"(            ≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈≈        )",
});

// The signpost at the house of mirrors; the notice stands beside the post.
inline constexpr auto signpost_picture = decode<18, 54>({
    R"(         ____________________________________________ )",
    R"(        |                                            |)",
    R"(        |      WELCOME, BRAVE ONE, TO THE HOUSE      |)",
    R"(        |                OF MIRRORS!                 |)",
    R"(        |                                            |)",
    R"(        |   Nothing in here is quite what it seems.  |)",
    R"(        |   The walls hide until you stand before    |)",
    R"(        |   them, and the only face you will meet    |)",
    R"(        |   at every turn is your own.               |)",
    R"(        |                                            |)",
    R"(        |                 Good Luck!                 |)",
    R"(        |____________________________________________|)",
    R"(                          |      |                    )",
    R"(                          |      |                    )",
    R"(                          |      |                    )",
    R"(                          |      |                    )",
    R"(                          |      |                    )",
    R"(                   ░░░░░░░|______|░░░░░░░             )",
});

// A sword held up high.
inline constexpr auto sword_picture = decode<18, 32>({
    R"(                        /\      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                        ||      )",
    R"(                  ______||______)",
    R"(                  \____ ♦♦ ____/)",
    R"(                       |  |     )",
    R"(                       |  |     )",
    R"(                      _|  |_    )",
    R"(                     / |  | \   )",
    R"(                    |  \__/  |  )",
    R"(                     \______/   )",
});

// A shield with a cross on it.
inline constexpr auto shield_picture = decode<18, 39>({
    R"(               _______________________ )",
    R"(              |\         ║           /|)",
    R"(              | \        ║          / |)",
    R"(              |  |       ║         |  |)",
    R"(              |  |       ║         |  |)",
    R"(              |  |  ═════╬═════    |  |)",
    R"(              |  |       ║         |  |)",
    R"(              |  |       ║         |  |)",
    R"(              |  |       ║         |  |)",
    R"(               \  \      ║        /  / )",
    R"(                \  \     ║       /  /  )",
    R"(                 \  \    ║      /  /   )",
    R"(                  \  \   ║     /  /    )",
    R"(                   \  \  ║    /  /     )",
    R"(                    \  \ ║   /  /      )",
    R"(                     \  \║  /  /       )",
    R"(                      \  \ /  /        )",
    R"(                       \_____/         )",
});

// A knight in full armor with his sword and shield.
inline constexpr auto knight_picture = decode<20, 53>({
    R"(                              _______                )",
    R"(                             /  ___  \               )",
    R"(                            |  |-|-|  |              )",
    R"(                            |  |___|  |              )",
    R"(                             \_______/               )",
    R"(                          ____|  |  |____            )",
    R"(                         /    |  |  |    \           )",
    R"(              /\        |  /|  \_____/  |\  |        )",
    R"(              ||        | / |    |     | \ |         )",
    R"(              ||        |/  |    |     |  \|  ______ )",
    R"(              ||        |   |____|_____|   | |  ╬   |)",
    R"(             _||_       |  /    |   |   \  | | ═╬═  |)",
    R"(              ||  \_____| /     |   |    \ |_|  ╬   |)",
    R"(              ||         |      |   |      | |______|)",
    R"(              ||         |______|   |______|  \____/ )",
    R"(                         |     |     |     |         )",
    R"(                         |     |     |     |         )",
    R"(                         |_____|     |_____|         )",
    R"(                        /______|     |______\        )",
    R"(                       ░░░░░░░░░░░░░░░░░░░░░░░       )",
});

// Mad Eyes glaring with his squinting eyes; his words go to the right.
inline constexpr auto madeyes_picture = decode<23, 29>({
    R"(          _.-^^^^^^^^-._     )", R"(        .'              '.   )",
    R"(       /   \\\      ///   \  )", R"(      |   ___\\    //___   | )",
    R"(      |  (_-_-)    (-_-_)  | )", R"(      |          /\        | )",
    R"(      |         /__\       | )", R"(       \     .-------.    /  )",
    R"(        \   ( /\/\/\/\ ) /   )", R"(         '.  '-------' .'    )",
    R"(           '-._______.-'     )", R"(          ___|       |___    )",
    R"(         /   |_______|   \   )", R"(        /   /|       |\   \  )",
    R"(       /   / |  MAD  | \   \ )", R"(      |   |  | EYES  |  |   |)",
    R"(      |___|  |       |  |___|)", R"(      (___)  |_______|  (___))",
    R"(             |   |   |       )", R"(             |   |   |       )",
    R"(             |   |   |       )", R"(            _|   |   |_      )",
    R"(           (_____|_____)     )",
});

// The sorceress as a dragon, wings spread.
inline constexpr auto dragon_picture = decode<24, 78>({
    R"(                                   __                  __                     )",
    R"(                                  ( _\                /_ )                    )",
    R"(                                   \ _\              /_ /                     )",
    R"(                                    \ _\    /\/\    /_ /                      )",
    R"(                     /\              \ _\  /    \  /_ /              /\       )",
    R"(                    /  \______        \ _\| ♦  ♦ |/_ /        ______/  \      )",
    R"(                   /   |      \______  \  |  /\  |  /  ______/      |   \     )",
    R"(                  /    |  /\  |      \__\ | \__/ | /__/      |  /\  |    \    )",
    R"(                 /     | /  \ |   /\    \\ \____/ //    /\   | /  \ |     \   )",
    R"(                /      |/    \|  /  \    \\______//    /  \  |/    \|      \  )",
    R"(               /       '      '-'    \    |VVVVVV|    /    '-'      '       \ )",
    R"(              /_______________________\   |      |   /_______________________\)",
    R"(                                       \  |  ||  |  /                         )",
    R"(                                        \ |  ||  | /                          )",
    R"(                                         \|  ||  |/                           )",
    R"(                                          |  ||  |                            )",
    R"(                                         /|  ||  |\                           )",
    R"(                                        / |  ||  | \                          )",
    R"(                                       /  |__||__|  \                         )",
    R"(                                      /  /   ||   \  \                        )",
    R"(                                     (__/    ||    \__)                       )",
    R"(                                            /  \                              )",
    R"(                                           /    \~~~~~~~~~~~~~~~~~~           )",
    R"(                                          ~~~~~~                              )",
});

// The clown ring-holder with his red nose and his horn.
inline constexpr auto clown_picture = decode<8, 54>({
    R"(                          _.-"-._                     )",
    R"(                         (  o o  )    ___             )",
    R"(                         (   O   )===(___)>  HONK HONK)",
    R"(                          \ \_/ /                     )",
    R"(                       ____'---'____                  )",
    R"(                      /  ♦   ♦   ♦  \                 )",
    R"(                     /_______________\                )",
    R"(                         _|     |_                    )",
});
