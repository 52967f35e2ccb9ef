// The sorceress's two pictures, for the last fights of the final battle.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

// The sorceress: a woman's face framed by long hair, a jewel on her brow.
inline constexpr creature_picture vaskar_picture = decode<10, 45>({
    R"(             _.-▒▒▒▒▒▒▒▒▒▒▒▒▒-._             )",
    R"(           .'▒▒▒▒.-"""♦"""-.▒▒▒▒`.           )",
    R"(          /▒▒▒▒/  ▄▄▄   ▄▄▄  \▒▒▒▒\          )",
    R"(         |▒▒▒▒| ▀(◘)▀   ▀(◘)▀ |▒▒▒▒|         )",
    R"(         |▒▒▒▒|       ┘       |▒▒▒▒|         )",
    R"(         |▒▒▒▒▒\    ▀▀▀▀▀    /▒▒▒▒▒|         )",
    R"(         |▒▒▒▒▒▒\   `---'   /▒▒▒▒▒▒|         )",
    R"(        /▒▒▒▒▒▒▒▒`-._   _.-'▒▒▒▒▒▒▒▒\        )",
    R"(       /▒▒▒▒▒▒▒▒▒▒▒▒|   |▒▒▒▒▒▒▒▒▒▒▒▒\       )",
    R"(      /▒▒▒▒▒▒▒▒▒▒▒▒_.' `._▒▒▒▒▒▒▒▒▒▒▒▒\      )",
});

// The sorceress's second form: a twisted monstrous shape filling the panel.
inline constexpr creature_picture vaskar2_picture = decode<10, 45>({
    R"(▄▀▀▄                                     ▄▀▀▄)",
    R"(▀▄  ▀▄       ▄▄▄▄▓▓▓▓▓▓▓▓▓▓▓▄▄▄▄       ▄▀  ▄▀)",
    R"(  ▀▄  ▀▄▄▓▓▓▓▓▓▓▓▓▓▓▄▄▄▄▄▓▓▓▓▓▓▓▓▓▓▓▄▄▀  ▄▀  )",
    R"(    ▀▓▓▓▓▓ ◘ ▓▓▓▓ ◘ ▓ ◘ ▓ ◘ ▓▓▓▓ ◘ ▓▓▓▓▓▀    )",
    R"(  ▄▓▓▓▓▓▓▓▓▓▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▓▓▓▓▓▓▓▓▓▄  )",
    R"( ▓▓▒▒▓▓▓▓▀▀ ▼ ▼ ▼ ▼ ▼ ▼ ▼ ▼ ▼ ▼ ▼ ▀▀▓▓▓▓▒▒▓▓ )",
    R"(▓▒  ▒▓▓▓▓▄▄ ▲ ▲ ▲ ▲ ▲ ▲ ▲ ▲ ▲ ▲ ▲ ▄▄▓▓▓▓▒  ▒▓)",
    R"(▒ ▄▀ ▒▓▓▓▓▓▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▓▓▓▓▓▒ ▀▄ ▒)",
    R"( ▄▀ ▄▀ ▒▒▓▓▒▒▓▓▀▀▓▓▒▒▓▓▓▒▒▓▓▀▀▓▓▒▒▓▓▒▒ ▀▄ ▀▄ )",
    R"(▀  ▀  ▄▀ ▀▄▒▒ ▄▀▒▒  ▀▄▒  ▒▄▀  ▒▒▀▄ ▒▒▄▀ ▀▄  ▀)",
});
