// Creature pictures of the forest around the town and of the first ring-holder's castle.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

// Five small bats scattered over the panel.
inline constexpr creature_picture fight_bats_picture = decode<10, 45>({
    R"(   _   /\_/\   _                             )",
    R"(  / `-( º º )-' \              ,_ /\/\ _,    )",
    R"( /_/\/\ \v/ /\/\_\            /_/(º\/º)\_\   )",
    R"(                     _   /\_/\   _           )",
    R"(                    / `-( º º )-' \          )",
    R"(    ,_ /\/\ _,     /_/\/\ \v/ /\/\_\         )",
    R"(   /_/(º\/º)\_\                              )",
    R"(                             _   /\_/\   _   )",
    R"(                            / `-( º º )-' \  )",
    R"(                           /_/\/\ \v/ /\/\_\ )",
});

// A fox sitting with its tail curled beside it.
inline constexpr creature_picture fight_fox_picture = decode<10, 45>({
    R"(          /\       /\                        )",
    R"(         /░░\_____/░░\                       )",
    R"(        /             \                      )",
    R"(       |   ▄▀     ▀▄   |                     )",
    R"(        \ ░░       ░░ /           ___        )",
    R"(         `.░░ ▀█▀ ░░.'        .-'░░░`.       )",
    R"(          /`-.___.-'\        /░░.-.░░░\      )",
    R"(         /  ░░░░░░░  \      |░░(   )░░|      )",
    R"(        |  ░░░░░░░░░  |  __ \░░`-'░░/        )",
    R"(         \__/|___|\__/  `--`-.___.-'         )",
});

// A masked raccoon, its ringed tail raised behind it.
inline constexpr creature_picture fight_raccoon_picture = decode<10, 45>({
    R"(       /\_____________/\                     )",
    R"(      / ░             ░ \                    )",
    R"(     | ▄█████▄   ▄█████▄ |                   )",
    R"(     |▐██ o ███▄███ o ██▌|                   )",
    R"(      \▀█████▀ ▼ ▀█████▀/              ▄▄    )",
    R"(       `.     \_/     .'             ▄██▀    )",
    R"(       /`-._________.-'\           ▄░░▀      )",
    R"(      /   ░░░░░░░░░░░   \        ▄██▀        )",
    R"(     |   ░░░░░░░░░░░░░   |     ▄░░▀          )",
    R"(      \__/|_|     |_|\__/ ▄▄▄██▀             )",
});

// A ghost with hollow eyes, its body trailing away.
inline constexpr creature_picture fight_ghost_picture = decode<10, 45>({
    R"(           .-"""""""-.                       )",
    R"(         .'           `.                     )",
    R"(        /   .-.   .-.   \                    )",
    R"(       |   (   ) (   )   |                   )",
    R"(       |    `-'   `-'    |                   )",
    R"(       |       .-.       |                   )",
    R"(        \     (   )       \                  )",
    R"(         \     `-'         `.                )",
    R"(          `.__     _.-.     `-.__            )",
    R"(              `~~~'    `~~.___   `~~--       )",
});

// A skull baring its teeth on a short neck.
inline constexpr creature_picture fight_skeleton_picture = decode<10, 45>({
    R"(              _.-"""""""""""-._              )",
    R"(            .'                 `.            )",
    R"(           /                     \           )",
    R"(          |   .----.     .----.   |          )",
    R"(          |  (  ████)   (████  )  |          )",
    R"(          |   `----'  ▲  `----'   |          )",
    R"(           \         ▀ ▀         /           )",
    R"(             `.╤╤╤╤╤╤╤╤╤╤╤╤╤╤╤.'             )",
    R"(               ╘╧╧╧╧╧╧╧╧╧╧╧╧╧╛               )",
    R"(                    ▐███▌                    )",
});

// A knight in a plumed great helm, sword raised, shield at his side.
inline constexpr creature_picture fight_knight_picture = decode<10, 45>({
    R"(        ▲     _.~~~~~~~._                    )",
    R"(        █    (~~~~~~~~~~~)                   )",
    R"(        █     `~~~▐█▌~~~'                    )",
    R"(        █     ▄█████████▄                    )",
    R"(        █    ▐███████████▌                   )",
    R"(        █    ▐█▀▀▀▀▀▀▀▀▀█▌  ▄▄▄▄▄▄▄▄▄▄▄      )",
    R"(       ▀█▀   ▐█▄ ▄ ▄ ▄ ▄█▌  █▓▓▓▓█▓▓▓▓█      )",
    R"(        ▓  ▄▄▄▀█████████▀▄▄▄███████████      )",
    R"(        ▓ ▐▓▓▓▓▌▒▒▒╬▒▒▒▐▓▓▓▓▀█▓▓▓█▓▓▓█▀      )",
    R"(        ▀ ▐▓▓▓▓▌▒▒▒▒▒▒▒▐▓▓▓▓▌ ▀▀▄█▄▀▀        )",
});

// The first ring-holder: a small figure with a shield, kept to rows 5 to 7; his second form looks
// the same.
inline constexpr creature_picture fight_tobrillo_picture = decode<10, 45>({
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                     O ,_,                   )",
    R"(                    /|\|+|                   )",
    R"(                    / \`-'                   )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
});
inline constexpr const creature_picture &fight_tobrillo2_picture = fight_tobrillo_picture;
