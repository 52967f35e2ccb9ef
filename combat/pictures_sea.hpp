// Creature pictures of the sea.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

// A shark with its jaws open, fin up, over the waves.
inline constexpr creature_picture fight_shark_picture = decode<10, 45>({
    R"(                  |\                         )",
    R"(                  | \                        )",
    R"(      ____________|  \___                 /| )",
    R"(   .-'    ▄              `''-.__        /  | )",
    R"( <'\▼▼▼▼▼▼▼▼\                   `-._  /    | )",
    R"(  \ \        )  (((                 <      | )",
    R"(   \ \▲▲▲▲▲▲▲/                  _.-'  \    | )",
    R"(    `-.____.-'-._____    ___.--'        \  | )",
    R"(                     `\ \                 \| )",
    R"(≈≈≈≈    ≈≈≈≈    ≈≈≈    \_\    ≈≈≈≈    ≈≈≈    )",
});

// An octopus spreading its tentacles.
inline constexpr creature_picture fight_octopus_picture = decode<10, 45>({
    R"(                 .-"""""""-.                 )",
    R"(               .'  ░     ░  `.               )",
    R"(               /  ░   ░   ░  \               )",
    R"(              |   .-.   .-.   |              )",
    R"(              |  ( ▄ ) ( ▄ )  |              )",
    R"(               \  `-'   `-'  /               )",
    R"(          __.--'/ /  / \  \ \`--.__          )",
    R"(        .-' .-'/ /  / | \  \ \`-. `-.        )",
    R"(       ( (  (  (   ( (|) )   )  )  ) )       )",
    R"(       `-'  `-' `-' `- -' `-' `-'  `-'       )",
});

// A crab with its claws raised and its eyes on stalks.
inline constexpr creature_picture fight_crab_picture = decode<10, 45>({
    R"(     _  _                           _  _     )",
    R"(    ( \/ )                         ( \/ )    )",
    R"(     \  /                           \  /     )",
    R"(      \ \        o         o        / /      )",
    R"(       \ \       |         |       / /       )",
    R"(        \ `-.▄▄▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▄▄.-' /        )",
    R"(         `--▐▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▌--'         )",
    R"(          /  ▀▀▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▀▀  \          )",
    R"(         / /  / /           \ \  \ \         )",
    R"(        /_/  /_/             \_\  \_\        )",
});

// A jellyfish trailing its tentacles.
inline constexpr creature_picture fight_jelly_picture = decode<10, 45>({
    R"(                _.-~~~~~~~-._                )",
    R"(             .-'  ░ ░ ░ ░ ░  `-.             )",
    R"(            /  ░ ░ ▒ ░ ▒ ░ ░   \             )",
    R"(           (_.-._.-._.-._.-._.-._)           )",
    R"(            ) ( ( ) ) ( ( ) ) ( (            )",
    R"(           (  ) ) ( ( ) ) ( ( )  )           )",
    R"(            ) ( ( ) ) ( ( ) ) ( (            )",
    R"(             (  ) ( ( ) ) ( )  )             )",
    R"(              ) (  ) (  ( )  (               )",
    R"(                 (   )   (                   )",
});
