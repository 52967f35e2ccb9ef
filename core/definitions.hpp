// The records every part of the game exchanges: the hero's Stats record with his items,
// creatures, grid positions, cards and reels, plus the hero's start-up and item rules.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <limits>
#include <string_view>

using int32 = std::int32_t;

// ---------------------------------------------------------------------------------------------
// [SECTION] Helpers: arrays counted from 1 and blank-padded text fields
// ---------------------------------------------------------------------------------------------

// An array indexed 1..N, as the game counts spell slots, victories, cards and reels.
template <class T, int N>
struct onebased {
    std::array<T, N> at{};

    constexpr T &operator[](int i) {
        assert(i >= 1 && i <= N && "index counts from 1");
        return at[i - 1];
    }
    constexpr const T &operator[](int i) const {
        assert(i >= 1 && i <= N && "index counts from 1");
        return at[i - 1];
    }
    static constexpr int size() { return N; }
    constexpr auto begin() { return at.begin(); }
    constexpr auto end() { return at.end(); }
    constexpr auto begin() const { return at.begin(); }
    constexpr auto end() const { return at.end(); }
    friend constexpr bool operator==(const onebased &, const onebased &) = default;
};

// A fixed-length text field: N characters, blank-padded on the right, no terminator.
template <std::size_t N>
using text = std::array<char, N>;

// `s` cut or padded with blanks to N characters.
template <std::size_t N>
constexpr text<N> padded(std::string_view s) {
    text<N> t{};
    t.fill(' ');
    std::copy_n(s.begin(), std::min(s.size(), N), t.begin());
    return t;
}

// The whole field, trailing blanks included.
template <std::size_t N>
constexpr std::string_view view(const text<N> &t) {
    return {t.data(), N};
}

// The field without its trailing blanks.
template <std::size_t N>
constexpr std::string_view trimmed(const text<N> &t) {
    std::string_view s = view(t);
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Records
// ---------------------------------------------------------------------------------------------

// The hero as chosen at character creation, handed once to `setup`.
struct player_rec {
    int32 power = 0;
    int32 armor = 0; // becomes the starting and base maximum health
    int32 magic = 0; // becomes the starting and base maximum magic
    text<3> name = padded<3>("");
};

// A weapon or a shield: what it adds to attack strength, maximum health and maximum magic.
struct weapon_type {
    int32 power = 0;
    int32 armor = 0;
    int32 magic = 0;
    text<20> name = padded<20>("");
    friend bool operator==(const weapon_type &, const weapon_type &) = default;
};

// One spell slot; a `usecost` of 0 marks it empty. Spells fill the slots from 1 without gaps.
// A cast costs `usecost` magic points; slot 2's spell hits for `damagex`, a bought spell for
// `damagex` times its roll plus `bonus`.
struct magicnode {
    text<11> spell = padded<11>("");
    text<30> des = padded<30>("");
    int32 usecost = 0;
    int32 damagex = 0;
    int32 bonus = 0;
    friend bool operator==(const magicnode &, const magicnode &) = default;
};
using spells = onebased<magicnode, 5>;

// The hero's items, in the order every list shows them (keys 1 to 3).
enum item_kind : int { potion = 1, magic_dust = 2, regain = 3 };
// How many of each item the hero carries: `stats.items[potion]`.
using item_counts = onebased<int32, regain>;

// The victory counters, one per creature kind that counts: `stats.wins[won::bats]`. The roster
// says which creature raises which; 14 to 16 are never raised, and Mad Eyes shares the seal's.
namespace won {
enum victory : int {
    none,
    bats,
    fox,
    raccoon,
    ghost,
    skeleton,
    knight,
    shark,
    octopus,
    crab,
    jelly,
    mime,
    seal,
    monkey,
    mad_monkey = 17,
    crazy_clown,
    dwarf,
    goo,
    rock,
    caveman,
    zarkhul,
    darkness,
    stalagmite,
};
} // namespace won

// Victories per creature kind, indexed by `won::victory`.
using cre_wins = onebased<int32, won::stalagmite>;

// The hero's whole state. There is one in a running game, owned by the main loop.
struct stats_rec {
    text<3> name = padded<3>("");
    int32 power = 0;
    int32 health = 0;
    int32 total_health = 0;
    int32 magicdust = 0;
    int32 total_magicdust = 0;
    int32 money = 100;
    int32 points = 0;
    item_counts items;
    weapon_type weapon;
    weapon_type shield;
    spells magic;
    int32 num_fights = 0;
    int32 deaths = 0;
    bool mad_eyes = false;
    bool mad_eyes_collect = false;
    int32 num_of_rings = 0;
    int32 steps = -1;      // negative: draw a new encounter countdown at the next step
    int32 battle_rand = 0; // the countdown as drawn, which picks the creature met when it runs out
    cre_wins wins;
    int32 next_level = 100;
    bool boat = false;

    friend bool operator==(const stats_rec &, const stats_rec &) = default;
};

// A creature in a fight. Its name holds no blank before its end: messages cut at the first one.
struct creature_rec {
    text<15> name = padded<15>("");
    int32 power = 0;
    int32 health = 0;
    int32 total_health = 0;
    int32 points = 0;
    int32 money = 0;
    int32 runaway = 0; // an escape succeeds when a fight draw is a multiple of this
};

// A position on a screen grid, row 1..22 and column 1..78.
struct wave_rec {
    int32 row = 0;
    int32 col = 0;
    friend bool operator==(const wave_rec &, const wave_rec &) = default;
};
using wave_array = onebased<wave_rec, 10>;

struct card_rec {
    int32 value = 0; // 1 (ace) to 13 (king)
    int32 suit = 0;  // 1 to 4
    friend bool operator==(const card_rec &, const card_rec &) = default;
};
using deck = onebased<card_rec, 52>;

// The three reels of the slot machine.
using slot = onebased<int32, 3>;

// What every screen handler returns: the next screen and the one just left.
struct screen_result {
    int32 where = 0;
    int32 oldwhere = 0;
    friend bool operator==(const screen_result &, const screen_result &) = default;
};

// ---------------------------------------------------------------------------------------------
// [SECTION] The hero's figures and items
// ---------------------------------------------------------------------------------------------

// The four rings, won in order; `num_of_rings` says how many the hero holds.
inline constexpr int32 all_rings = 4;

// The ring conditions of gates, exits and scenes, as tests of the Stats record.
template <int32 N>
constexpr bool ringsatleast(const stats_rec &s) {
    return s.num_of_rings >= N;
}
template <int32 N>
constexpr bool ringsbelow(const stats_rec &s) {
    return s.num_of_rings < N;
}
template <int32 N>
constexpr bool ringsexactly(const stats_rec &s) {
    return s.num_of_rings == N;
}

// The derived maxima, computed anew at every use and never stored.
constexpr int32 attackstrength(const stats_rec &s) {
    return s.power + s.weapon.power + s.shield.power;
}
constexpr int32 maxhealth(const stats_rec &s) {
    return s.total_health + s.weapon.armor + s.shield.armor;
}
constexpr int32 maxmagic(const stats_rec &s) {
    return s.total_magicdust + s.weapon.magic + s.shield.magic;
}

// One item: its name and description as the lists show them, how many a new hero carries, and
// what one use restores, up to the maximum (`whole`: all of it).
inline constexpr int32 whole = std::numeric_limits<int32>::max();
struct item_rule {
    text<10> name;
    text<30> des;
    int32 start = 0;
    int32 health = 0;
    int32 magic = 0;
};
inline constexpr std::array<item_rule, regain> item_rules = {{
    {padded<10>("potion"), padded<30>("heals up to 30 hit points"), 1, 30, 0},
    {padded<10>("magic dust"), padded<30>("regain up to 30 magic points"), 0, 0, 30},
    {padded<10>("regain"), padded<30>("regain all health"), 0, whole, whole},
}};
constexpr const item_rule &itemrule(int kind) {
    assert(kind >= potion && kind <= regain && "there are three items");
    return item_rules[static_cast<std::size_t>(kind) - 1];
}

// Copies the chosen hero into the Stats record, equips it and gives it its first items.
void setup(const player_rec &player, stats_rec &stats);

// How far the hero must be from full before an item counts as useful: the fight lets an item
// through when any figure it restores is short of its maximum, the game menu only when every one
// is (the two differ only for regain, which restores both).
enum class shortfall { any, every };

// Whether using the item `kind` would help: one is left and the figures it restores are
// short of their maxima as `need` says. The game menu and the fight refuse an item that would not.
bool itemuseful(const stats_rec &stats, int kind, shortfall need);

// Uses one of the item `kind` if any is left and applies its effect; false when none.
bool useitem(stats_rec &stats, int kind);
