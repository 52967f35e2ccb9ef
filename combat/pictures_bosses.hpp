// The sorceress's two pictures, for the last fights of the final battle.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

inline constexpr creature_picture vaskar_picture = decode<10, 45>({
    R"(              .-~~~~~~~~~~~~~-.              )",
    R"(            .'~~.-"""""""""-.~~`.            )",
    R"(           /~~ /   _     _   \ ~~\           )",
    R"(          |~~ |  ─(◘)─ ─(◘)─  | ~~|          )",
    R"(          |~~ |       ┘       | ~~|          )",
    R"(          |~~  \    ▀▀▀▀▀    / ~~~|          )",
    R"(          |~~~  `-._______.-' ~~~~|          )",
    R"(          |~~~~      | |      ~~~~|          )",
    R"(          |~~~~  __.'   `.__  ~~~~|          )",
    R"(          |~~~~~'           `~~~~~|          )",
});

inline constexpr creature_picture vaskar2_picture = decode<10, 45>({
    R"( ▄▀▄        ▄▄▄▓▓▓▓▓▓▓▓▓▓▓▓▄▄▄         ▄▀▄   )",
    R"( █  ▀▄  ▄▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▄   ▄▀  █    )",
    R"(  ▀▄  ██▓▓▓ ◘ ▓▓▓▓▓ ◘ ▓▓▓▓ ◘ ▓▓▓▓██  ▄▀      )",
    R"(    ▀▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▀        )",
    R"(  ▄▓▓▓▓▓▓▓▀▀▼▀▀▼▀▀▼▀▀▼▀▀▼▀▀▼▀▀▓▓▓▓▓▓▓▄       )",
    R"( ▓▓▒▒▓▓▓▓▓              ▲  ▲  ▓▓▓▓▒▒▓▓▓      )",
    R"( ▓▒  ▒▓▓▓▓▄▄▲▄▄▲▄▄▲▄▄▲▄▄▲▄▄▲▄▓▓▓▓▒  ▒▓       )",
    R"(▓▒    ▒▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒    ▒▓      )",
    R"(▒  ▄▀  ▒▓▓▓▒▒▓▓▓▓▒▒▓▓▓▓▒▒▓▓▓▓▒▓▒  ▀▄  ▒      )",
    R"( ▄▀   ▄▀ ▒▒  ▒▒  ▒▒  ▒▒  ▒▒  ▒▒ ▀▄   ▀▄      )",
});
