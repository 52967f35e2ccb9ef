// Creature pictures of the clown's island and its house of mirrors.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

inline constexpr creature_picture fight_mime_picture = decode<10, 45>({
    R"(               ____________                  )",
    R"(              |            |             ,-. )",
    R"(            __|____________|__          (   ))",
    R"(               .-"""""""-.               `-' )",
    R"(             .'   |     |   `.            \  )",
    R"(            /   --o-- --o--   \            ) )",
    R"(           |      |     |      |          (  )",
    R"(            \     ╔═════╗     /            ) )",
    R"(             `.   ╚═════╝   .'            /  )",
    R"(               `-._______.-'             (   )",
});

inline constexpr creature_picture fight_mime_picture2 = decode<10, 45>({
    R"(                                             )",
    R"(                ____________                 )",
    R"(              _/           |_                )",
    R"(             /_|_____________\           ,   )",
    R"(              .-"""""""-.           .  \ | , )",
    R"(            .'           `.         - ·*·  - )",
    R"(           /    X     X    \          ' | \  )",
    R"(          |     '     '     |                )",
    R"(           \     .-----.    /                )",
    R"(            `.  (       ) .'                 )",
});

inline constexpr creature_picture fight_seal_picture = decode<10, 45>({
    R"(                          .-"""-.            )",
    R"(                         (▓▒░▒▓▒░)           )",
    R"(                          `-._.-'            )",
    R"(                             ▄               )",
    R"(                           .'▀`.             )",
    R"(                          /  °  \            )",
    R"(                         /       \           )",
    R"(           __.-----.___ /   ,     |          )",
    R"(      .-'' ░░░░░░░░░   `   /|     |          )",
    R"(     <____.-----.________.' `-----'          )",
});

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
