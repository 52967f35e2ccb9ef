// Creature pictures of the forest and the castle: the first ring-holder and his guards.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

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

inline constexpr creature_picture fight_fox_picture = decode<10, 45>({
    R"(                 /\       /\                 )",
    R"(                /░░\_____/░░\                )",
    R"(               /             \               )",
    R"(              |   ▄▀     ▀▄   |              )",
    R"(               \      ▄      /        ___    )",
    R"(                `.   ▀▀▀   .'     .-'░░░`.   )",
    R"(                 /`-.___.-'\     /░░.-.░░░\  )",
    R"(                /  ░░░░░░░  \   |░░(   )░░|  )",
    R"(               |  ░░░░░░░░░  |__ \░░`-'░░/   )",
    R"(                \__/|___|\__/`--`-.___.-'    )",
});

inline constexpr creature_picture fight_raccoon_picture = decode<10, 45>({
    R"(         /\_____________/\                   )",
    R"(        / ░             ░ \                  )",
    R"(       | ▄█████▄   ▄█████▄ |                 )",
    R"(       |▐██ o ███▄███ o ██▌|                 )",
    R"(        \▀█████▀ ▼ ▀█████▀/              ▄▄  )",
    R"(         `.     \_/     .'             ▄██▀  )",
    R"(         /`-._________.-'\           ▄░░▀    )",
    R"(        /   ░░░░░░░░░░░   \        ▄██▀      )",
    R"(       |   ░░░░░░░░░░░░░   |     ▄░░▀        )",
    R"(        \__/|_|     |_|\__/ ▄▄▄██▀           )",
});

inline constexpr creature_picture fight_ghost_picture = decode<10, 45>({
    R"(                .-"""""""-.                  )",
    R"(              .'           `.                )",
    R"(             /   .-.   .-.   \               )",
    R"(            |   (   ) (   )   |              )",
    R"(            |    `-'   `-'    |              )",
    R"(            |       .-.       |              )",
    R"(             \     (   )       \             )",
    R"(              \     `-'         `.           )",
    R"(               `.__     _.-.     `-.__       )",
    R"(                   `~~~'    `~~.___   `~~--  )",
});

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

inline constexpr creature_picture fight_knight_picture = decode<10, 45>({
    R"(           ▲     _.~~~~~~~._                 )",
    R"(           █    (~~~~~~~~~~~)                )",
    R"(           █     `~~~▐█▌~~~'                 )",
    R"(           █     ▄█████████▄                 )",
    R"(           █    ▐███████████▌                )",
    R"(           █    ▐█▀▀▀▀▀▀▀▀▀█▌  ▄▄▄▄▄▄▄▄▄▄▄   )",
    R"(          ▀█▀   ▐█▄ ▄ ▄ ▄ ▄█▌  █▓▓▓▓█▓▓▓▓█   )",
    R"(           ▓  ▄▄▄▀█████████▀▄▄▄███████████   )",
    R"(           ▓ ▐▓▓▓▓▌▒▒▒╬▒▒▒▐▓▓▓▓▀█▓▓▓█▓▓▓█▀   )",
    R"(           ▀ ▐▓▓▓▓▌▒▒▒▒▒▒▒▐▓▓▓▓▌ ▀▀▄█▄▀▀     )",
});

inline constexpr creature_picture fight_tobrillo_picture = decode<10, 45>({
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
    R"(                     O  _                    )",
    R"(                    /|\(#)                   )",
    R"(                    / \                      )",
    R"(                                             )",
    R"(                                             )",
    R"(                                             )",
});
inline constexpr const creature_picture &fight_tobrillo2_picture = fight_tobrillo_picture;
