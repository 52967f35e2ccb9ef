// Creature pictures of the southern forest and the enchanted lands, up to the third ring-holder.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

inline constexpr creature_picture mad_monkey_picture = decode<10, 45>({
    R"(                                             )",
    R"(                                             )",
    R"(                     .-"-.                   )",
    R"(                  @-( >_< )-@                )",
    R"(                     \`^'/                   )",
    R"(                   .-'   `-.                 )",
    R"(                  (_) ║ ║ (_)  )             )",
    R"(                     (_) (_)__/              )",
    R"(                                             )",
    R"(                                             )",
});

inline constexpr creature_picture crazy_clown_picture = decode<10, 45>({
    R"(                    ♣♣♣♣♣♣♣                  )",
    R"(                  ♣♣( ° ° )♣♣                )",
    R"(                   ♣(  ■  )♣                 )",
    R"(                     \`---'/                 )",
    R"(                  ___/|║|\___                )",
    R"(                 /  ☼  ║  ☼  \               )",
    R"(                /_/|  ☼║☼  |\_\              )",
    R"(                   |___║___|                 )",
    R"(                    |  |  |                  )",
    R"(       ▄▄▄▄▄▄▄▄▄▄▄▄▄█  |  █▄▄▄▄▄▄▄▄▄▄▄▄▄     )",
});

inline constexpr creature_picture dwarf_guy_picture = decode<10, 45>({
    R"(    /|    _▄▄_    |\    .-------------------.)",
    R"(   / |__▄█▀▀▀▀█▄__| \  ( IT'S NOT THE SIZE  ))",
    R"(  (  |  ▐(o)(o)▌  |  ) ( OF THE DWARF IN THE))",
    R"(   \ |   \ ▀▀ /   | /  ( FIGHT, IT'S THE    ))",
    R"(    \|▓▓▓▓▓▓▓▓▓▓▓▓|/  /( FIGHT IN THE DWARF!))",
    R"(     |▓▓▓▓▓▓▓▓▓▓▓▓|  /  `-------------------')",
    R"(     |▓▓▓▓▓▓▓▓▓▓▓▓|                          )",
    R"(     ║ ▓▓▓▓▓▓▓▓▓▓ ║                          )",
    R"(     ║  |  ||  |  ║                          )",
    R"(       (__) (__)                             )",
});

inline constexpr creature_picture glob_of_goo_picture = decode<10, 45>({
    R"(               _.-~~~~~~~~~~~-._             )",
    R"(          _.-~'   ░░▒▒▒▒░░       `~-._       )",
    R"(       .-'     o      ░▒▒░    O       `-.    )",
    R"(      /   ░░           ░░      ░░  .-.   \   )",
    R"(     |  ░▒▒░   .---.       ░▒░    (   )   |  )",
    R"(     |   ░░   (     )  ░░         `-'    |   )",
    R"(      \        `---'        ░▒▒░  ░░      /  )",
    R"(       `-._      ░░    ░░           _.-'     )",
    R"(           `~-.__     ▒▒▒░   __.-~'          )",
    R"(                 `~~~-----~~~'               )",
});

inline constexpr creature_picture rock_picture = decode<10, 45>({
    R"(              ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄                )",
    R"(             █▓▓▒▓▓▓▓▓▓▓▒▓▓▓█                )",
    R"(             █▓ ■■ ▓▓▓ ■■ ▓▓█                )",
    R"(             █▓▓▓▓▓▒▓▓▓▓▓▓▓▓█                )",
    R"(     ▄▄▄▄▄  ▄█▓▓▀▀▀▀▀▀▀▀▀▓▓▓█▄  ▄▄▄▄▄        )",
    R"(    █▓▒▓▓▓██▓▓▓▓▓▓▓▒▓▓▓▓▓▓▓▓██▓▓▓▒▓█         )",
    R"(    █▓▓▓▓▓█ █▓▓▒▓▓▓▓▓▓▓▓▓▒▓▓█ █▓▓▓▓▓█        )",
    R"(     ▀▀▀▀▀  █▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓█  ▀▀▀▀▀         )",
    R"(            █▓▓▓▓▓█▀▀▀▀█▓▓▓▓█                )",
    R"(           ▄█▓▓▒▓▓█    █▓▓▒▓▓█▄              )",
});

inline constexpr creature_picture grumb_picture = decode<10, 45>({
    R"(                ☼      *      ☼              )",
    R"(                    *     *                  )",
    R"(                 *   \ | /   *               )",
    R"(                          ___                )",
    R"(                    O   / ▄█                 )",
    R"(                   /|\_/                     )",
    R"(                  / |                        )",
    R"(                    |                        )",
    R"(                   / \                       )",
    R"(                  /   \                      )",
});
inline constexpr const creature_picture &grumb2_picture = grumb_picture;
