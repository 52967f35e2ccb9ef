// Creature pictures of the clown's island and its house of mirrors.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

// A mime under a top hat, a flower in a pot beside him; shown while his health is above 50.
inline constexpr creature_picture fight_mime_picture = decode<10, 45>({
    R"(           ▄▄▄▄▄▄▄▄▄▄▄                       )",
    R"(           ███████████                       )",
    R"(      ▄▄▄▄█████████████▄▄▄▄         .-.      )",
    R"(         .-"""""""""""-.           ( ☼ )     )",
    R"(        /  ▄▀▀▄   ▄▀▀▄  \           `-'      )",
    R"(        |   -◘-   -◘-   |            |       )",
    R"(        |    │  ▄  │    |           \|       )",
    R"(         \    ▄███▄    /             |/      )",
    R"(          `.  ▀▀▀▀▀  .'              |       )",
    R"(           `-._____.-'              (_)      )",
});

// The same mime from health 50 downward: hat knocked askew, one eye crossed out, the flower
// wilting.
inline constexpr creature_picture fight_mime_picture2 = decode<10, 45>({
    R"(             ▄▄▄▄▄▄                          )",
    R"(          ▄█████████▄           ___          )",
    R"(      ▀▀▀▀▀██████████▀▀▄▄▄    .'   `\        )",
    R"(         .-"""""""""""-.    .-.      |       )",
    R"(        /   \ /   ▄▀▀▄  \  ( ☼ )     |       )",
    R"(        |    X    -◘-   |   `-'      |       )",
    R"(        |   / \ ▄  │'   |    °       |       )",
    R"(         \    ▄▀▀▀▄    /    °        |/      )",
    R"(          `.         .'             \|       )",
    R"(           `-._____.-'              (_)      )",
});

// A seal with whiskers and flippers, balancing a ball.
inline constexpr creature_picture fight_seal_picture = decode<10, 45>({
    R"(                   .-"""-.                   )",
    R"(                  (▓▒░▒░▒▓)                  )",
    R"(                   `-._.-'                   )",
    R"(                 .-"""""""-.                 )",
    R"(               /   ▄     ▄   \               )",
    R"(              |       ▄       |              )",
    R"(           =--|     `-^-'     |--=           )",
    R"(              |    ░░░░░░░    |              )",
    R"(           __/|   ░░░░░░░░░   |\__           )",
    R"(          (__/|_______________|\__)          )",
});

// A monkey, big ears and a grin.
inline constexpr creature_picture fight_monkey_picture = decode<10, 45>({
    R"(              .-"""""""""""""-.              )",
    R"(        .-.  .' ░░░░░░░░░░░░░ `.  .-.        )",
    R"(       ( ( )/  ░░.---.░.---.░░  \( ) )       )",
    R"(        `-'|    ( ▄▄ ) ( ▄▄ )    |`-'        )",
    R"(           |     `---' `---'     |           )",
    R"(            \    .-"""""""-.    /            )",
    R"(             \  (  ▄     ▄  )  /             )",
    R"(              `. \ `-----' / .'              )",
    R"(           _.---`-._______.-'---._           )",
    R"(         .'░░░░░░░░░░░░░░░░░░░░░░░`.         )",
});

// The clown ring-holder: a small figure with a clown's head, kept to rows 5 to 7; every meeting
// with him shows it.
inline constexpr creature_picture fight_vex_picture = decode<10, 45>({
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                     ♣☺♣                     )",
    R"(                     /|\                     )",
    R"(                     / \                     )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
});
inline constexpr const creature_picture &fight_vex_again_picture = fight_vex_picture;
inline constexpr const creature_picture &fight_vex2_picture = fight_vex_picture;
