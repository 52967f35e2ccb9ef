// Creature pictures of the northern cave: Mad Eyes, the dark tunnels and the fourth ring-holder.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

inline constexpr creature_picture fight_madeyes_picture = decode<10, 45>({
    R"(                    ___                  ☼   )",
    R"(                  .'   `.                ║   )",
    R"(                 /  ___  \               ║   )",
    R"(                |  /   \  |              ║   )",
    R"(                | | ▀ ▀ | |              ║   )",
    R"(                |  \ - /  |             _║   )",
    R"(               /    ---    \___________/ ║   )",
    R"(              /    /\   /\             _║    )",
    R"(             /    /  \ /  \           /  ║   )",
    R"(            /____/    V    \_________/   ║   )",
});

inline constexpr creature_picture caveman_picture = decode<10, 45>({
    R"(                            ______________   )",
    R"(                        ___/              \  )",
    R"(       .▓▓▓▓▓▓▓.    ___/    (giant club)   | )",
    R"(      ▓  ▀   ▀  ▓  /    \_________________/  )",
    R"(      ▓    ▄    ▓ /                          )",
    R"(       \ `───' /_/                           )",
    R"(     .-'`-._.-'`/                            )",
    R"(    /  ░░▓░░░  /|                            )",
    R"(    \__░▓░░░▓_/ |                            )",
    R"(      /_/   \_\                              )",
});

inline constexpr creature_picture zarkhul_picture = decode<10, 45>({
    R"(                                             )",
    R"(                                             )",
    R"(                    .----------------------. )",
    R"(                   ( please don't hurt me )  )",
    R"(                    `-.-------------------'  )",
    R"(                  o  '                       )",
    R"(                 /|\                         )",
    R"(                 / \                         )",
    R"(                                             )",
    R"(                                             )",
});

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

inline constexpr creature_picture stalagmite_picture = decode<10, 45>({
    R"(                      /\                     )",
    R"(                     /▒░\                    )",
    R"(                    /░▒▒░\                   )",
    R"(                   /▒░▓▒░▒\                  )",
    R"(                  /░▓ ▀ ▓▒░\                 )",
    R"(                 /▒░▒▓▓▓░▒▓░\                )",
    R"(                /░▓▒░▀▀▀▀░▒▓▒\               )",
    R"(              _/▒░▓▒░▓▒░▒▓░▓▒░\_             )",
    R"(          ___/░▒▓░▒▓░▒▓░▒▓░▒▓░▒▓\____        )",
    R"(    _____/▒▓░▒▓░▒▓░▒▓░▒▓░▒▓░▒▓░▒▓░▒▓\_____   )",
});

inline constexpr creature_picture delvo_picture = decode<10, 45>({
    R"(     ___      ┌─────────────┐      ___       )",
    R"(    /   \     │ ▄▀▀▄   ▄▀▀▄ │     /   \      )",
    R"(    \_  |     │ ▀▄▄▀   ▀▄▄▀ │     |  _/      )",
    R"(      | |     │     ▄▄▄     │     | |        )",
    R"(      | |     │  ▀▀▀▀▀▀▀▀▀  │     | |        )",
    R"(      | \___  └─────┬─┬─────┘  ___/ |        )",
    R"(       \    `-------┘ └-------'    /         )",
    R"(        `----.  ▓▓▓▓▓▓▓▓▓▓▓  .----'          )",
    R"(             |  ▓▓▓▓▓▓▓▓▓▓▓  |               )",
    R"(             |__▓▓▓▓▓▓▓▓▓▓▓__|               )",
});
inline constexpr const creature_picture &delvo2_picture = delvo_picture;
