// Creature pictures of the southern forest and the enchanted lands, up to the third ring-holder.
// Each is 10 rows of 45 cells, written as it shows on the fight screen.
#pragma once

#include "combat/pictures.hpp"

// A small, angry monkey shaking its fists.
inline constexpr creature_picture mad_monkey_picture = decode<10, 45>({
    R"(                                             )",
    R"(                   .-"""-.                   )",
    R"(               .-./ \   / \.-.               )",
    R"(              ( (|  ▀   ▀  |) )              )",
    R"(               `-'\ .---. /`-'               )",
    R"(               __  \ ▀▀▀ /  __               )",
    R"(              (  )--`---'--(  )              )",
    R"(              `"'  /  ░  \  `"'              )",
    R"(                  (__/ \__)                  )",
    R"(                                             )",
});

// A clown with a pointed hat, standing on huge shoes.
inline constexpr creature_picture crazy_clown_picture = decode<10, 45>({
    R"(                    _/░\_                    )",
    R"(               ♣♣♣ /░░░░░\ ♣♣♣               )",
    R"(               ♣♣♣♣( ° ° )♣♣♣♣               )",
    R"(                ♣♣ (  ■  ) ♣♣                )",
    R"(                  \ \___/ /                  )",
    R"(              __/\/\/ ▼ \/\/\__              )",
    R"(              /    |  ☼  |    \              )",
    R"(             ()    |__|__|    ()             )",
    R"(       ▄▄▄▄▄▄▄▄▄▄▄▄▄█▌ ▐█▄▄▄▄▄▄▄▄▄▄▄▄▄       )",
    R"(      ▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀   ▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀      )",
});

// A dwarf in a horned helmet with his axe, and what he thinks of your size.
inline constexpr creature_picture dwarf_guy_picture = decode<10, 45>({
    R"(       /\   _____   /\                       )",
    R"(  ▄▄  ║\ \_/_____\_/ /  .-----------------.  )",
    R"(  ██▄▄╬ `-|(o) (o)|-'  ( THE BIGGER THEY   ) )",
    R"(  ██▀▀╬   |   ▄   |   <  ARE, THE HARDER   ) )",
    R"(  ▀▀  ║  /▓▓▓▓▓▓▓▓▓\   ( THEY FALL!!!      ) )",
    R"(      ║ |▓▓▓▓▓▓▓▓▓▓▓|   `-----------------'  )",
    R"(      ║ |\▓▓▓▓▓▓▓▓▓/|                        )",
    R"(      ║ | \▓▓▓▓▓▓▓/ |                        )",
    R"(      ║ |__|     |__|                        )",
    R"(        (___)   (___)                        )",
});

// A large oval blob with something floating in it.
inline constexpr creature_picture glob_of_goo_picture = decode<10, 45>({
    R"(              _.-~~~~~~~~~~~-._              )",
    R"(         _.-~'   ░░▒▒▒▒░░       `~-._        )",
    R"(      .-'     o      ░▒▒░    O       `-.     )",
    R"(     /   ░░           ░░      ░░  .-.   \    )",
    R"(    |  ░▒▒░   .---.       ░▒░    (   )   |   )",
    R"(    |   ░░   (     )  ░░         `-'    |    )",
    R"(     \        `---'        ░▒▒░  ░░      /   )",
    R"(      `-._      ░░    ░░           _.-'      )",
    R"(          `~-.__     ▒▒▒░   __.-~'           )",
    R"(                `~~~-----~~~'                )",
});

// A blocky rock monster with boulder fists.
inline constexpr creature_picture rock_picture = decode<10, 45>({
    R"(               ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄               )",
    R"(              █▓▓▒▓▓▓▓▓▓▓▓▓▒▓▓█              )",
    R"(              █▀▀▄▄▓▓▓▓▓▓▓▄▄▀▀█              )",
    R"(              █▓ ■■ ▓▒▓▒▓ ■■ ▓█              )",
    R"(         ▄▄▄▄ █▓▓▓▓▄▄▄▄▄▄▄▓▓▓▓█ ▄▄▄▄         )",
    R"(        █▓▒▓▓██▓▓▓▒▓▓▓▓▓▓▓▒▓▓▓██▓▓▒▓█        )",
    R"(        █▓▓▒▓█▀█▓▓▓▓▒▓▓▓▒▓▓▓▓█▀█▓▒▓▓█        )",
    R"(         ▀▀▀▀  █▓▒▓▓▓▓▓▓▓▓▓▒▓█  ▀▀▀▀         )",
    R"(               █▓▓▓▓█▀▀▀█▓▓▓▓█               )",
    R"(             ▄▄█▓▒▓▓█   █▓▓▒▓█▄▄             )",
});

// The third ring-holder: a stick figure with one arm raised and stars above his head; his second
// form looks the same.
inline constexpr creature_picture grumb_picture = decode<10, 45>({
    R"(             *   ☼   *                       )",
    R"(         ☼    *     *    ☼        \m/        )",
    R"(            *  .---.  *            |         )",
    R"(              ( ò ó )             /          )",
    R"(               `-.-'             /           )",
    R"(           .-----|-------------'             )",
    R"(          /      |                           )",
    R"(          \______|                           )",
    R"(                / \                          )",
    R"(              _/   \_                        )",
});
inline constexpr const creature_picture &grumb2_picture = grumb_picture;
