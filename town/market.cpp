// The market: the shop screen with its picture, the stock, the rules of each sale and the
// bounty on Mad Eyes.
#include "town/market.hpp"

#include "core/console.hpp"
#include "core/menuloop.hpp"

#include <array>
#include <string_view>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] The stock
// ---------------------------------------------------------------------------------------------

// The shelves: 0 is the main choice, then one shelf per kind of ware.
enum shelf_number : int { main_shelf = 0, item_shelf = 1, spell_shelf = 2, weapon_shelf = 3 };

// One ware. `shelf` says which of the other fields count: the item a sale adds one of, the
// spell written into a free slot, or the weapon that replaces the hero's.
struct ware {
    shelf_number shelf;
    int32 price;
    item_kind item = potion;
    magicnode spell{};
    weapon_type weapon{};
    int32 sold_below = 0; // a weapon is sold only while the hero's weapon power is below this
};

// Keys 1 to 3 of shelves 1 to 3, in that order.
constexpr std::array<ware, 9> stock = {{
    {.shelf = item_shelf, .price = 50, .item = potion},
    {.shelf = item_shelf, .price = 50, .item = magic_dust},
    {.shelf = item_shelf, .price = 200, .item = regain},
    {.shelf = spell_shelf,
     .price = 250,
     .spell = {padded<11>("Tidal Flush"), padded<30>("Powerful wave at your control"), 12, 2}},
    {.shelf = spell_shelf,
     .price = 400,
     .spell = {padded<11>("Firewall"), padded<30>("Wall of Fire...daaaa"), 17, 3}},
    {.shelf = spell_shelf,
     .price = 2000,
     .spell = {padded<11>("DaShizNizzy"), padded<30>("UMMMM, mucho damage"), 40, 5, 30}},
    {.shelf = weapon_shelf,
     .price = 350,
     .weapon = {15, 6, 4, padded<20>("Sharp Blade")},
     .sold_below = 1},
    {.shelf = weapon_shelf,
     .price = 900,
     .weapon = {42, 16, 42, padded<20>("Magic Blade")},
     .sold_below = 16},
    {.shelf = weapon_shelf,
     .price = 3500,
     .weapon = {80, 26, 45, padded<20>("Warrior Blade")},
     .sold_below = 43},
}};

constexpr const ware &wareat(int shelf, int key) {
    return stock[(shelf - 1) * 3 + (key - 1)];
}

static_assert(
    [] {
        for (int shelf = item_shelf; shelf <= weapon_shelf; ++shelf)
            for (int key = 1; key <= 3; ++key)
                if (wareat(shelf, key).shelf != shelf) return false;
        return true;
    }(),
    "the stock lists shelves 1 to 3 with keys 1 to 3 in order");

// A ware's name as its option line shows it: the item's, the spell's or the weapon's own.
constexpr std::string_view warename(const ware &w) {
    switch (w.shelf) {
        case item_shelf:
            return trimmed(itemrule(w.item).name);
        case spell_shelf:
            return trimmed(w.spell.spell);
        case weapon_shelf:
            return trimmed(w.weapon.name);
        case main_shelf:
            break;
    }
    return {};
}

// The main shelf's three choices.
constexpr std::array<std::string_view, 3> main_choices = {"1) Buy a item", "2) Buy a spell",
                                                          "3) Buy a weapon"};

// ---------------------------------------------------------------------------------------------
// [SECTION] Rules of sale
// ---------------------------------------------------------------------------------------------

// The hero knows a bought spell when it sits in slot 3, 4 or 5; slots 1 and 2 hold the two
// spells every hero starts with.
bool knowsspell(const stats_rec &stats, const magicnode &spell) {
    for (int slot = 3; slot <= spells::size(); ++slot)
        if (stats.magic[slot].spell == spell.spell) return true;
    return false;
}

// The first empty spell slot, or 0 when all five are taken.
int freeslot(const stats_rec &stats) {
    for (int slot = 1; slot <= spells::size(); ++slot)
        if (stats.magic[slot].usecost == 0) return slot;
    return 0;
}

bool cansell(const stats_rec &stats, const ware &w) {
    switch (w.shelf) {
        case item_shelf:
            return stats.money >= w.price;
        case spell_shelf:
            return stats.money >= w.price && !knowsspell(stats, w.spell) && freeslot(stats) != 0;
        // Weapons are sold as upgrades only, and whatever the money: it may go below zero.
        case weapon_shelf:
            return stats.weapon.power < w.sold_below;
        case main_shelf:
            break;
    }
    return false;
}

void handover(stats_rec &stats, const ware &w) {
    switch (w.shelf) {
        case item_shelf:
            ++stats.items[w.item];
            break;
        case spell_shelf:
            stats.magic[freeslot(stats)] = w.spell;
            break;
        case weapon_shelf:
            stats.weapon = w.weapon;
            break; // the old one is gone, unrefunded
        case main_shelf:
            break;
    }
}

// A refused sale changes nothing and says nothing; a sale rings the register's bell.
void sell(stats_rec &stats, const ware &w, int32 &register_total) {
    if (!cansell(stats, w)) return;
    handover(stats, w);
    stats.money -= w.price;
    register_total += w.price;
    put('\x07');
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The screen
// ---------------------------------------------------------------------------------------------

// The wanted poster, the shopkeeper and the cash register. Option lines follow rows 3, 5, 7
// and 11; the register's display on row 11 shows the total in the six blanks after its "$".
constexpr auto market_picture = decode<15, 52>({
    " ___________                                        ",   // 1
    "|           |      ________                         ",   // 2
    "|   WANTED  |    _/        \\_                       ",  // 3
    "|  Mad Eyes |   |  __    __  |                      ",   // 4
    "|    6'3\"   |   | (@_)  (_@) |                      ",  // 5
    "|           |   |     /\\     |                      ",  // 6
    "| !!REWARD!!|    \\   ____   /                       ",  // 7
    "|   $1,000  |     \\  \\__/  /                        ", // 8
    "|___________|    __\\______/__          ___________  ",  // 9
    "               _/            \\_       |  _________| ",  // 10
    "               |__]        [__|       | ||$      || ",   // 11
    "               |  |        |  |       | ||_______|| ",   // 12
    "               |  |        |  |       |  o o o o  | ",   // 13
    "               |  |________|  |       |___________| ",   // 14
    "____________________________________________________",   // 15
});
constexpr std::array<int, 3> choice_rows = {3, 5, 7};
constexpr int exit_row = 11;
constexpr std::size_t display_col = 43; // where the register's six digits go, counted from 0
constexpr int display_width = 6;

// The poster's text, blanked once the bounty has been paid.
constexpr int poster_first_row = 2, poster_last_row = 8;
constexpr std::size_t poster_first_col = 1, poster_last_col = 11;

static_assert(market_picture[exit_row - 1][display_col - 1] == '$', "the register's display");

bool bountypaid(const stats_rec &stats) {
    return stats.mad_eyes && stats.mad_eyes_collect;
}

void drawmarket(const stats_rec &stats, int shelf, int32 register_total) {
    newlines(6);
    putline("                WELCOME TO BRAM'S MARKET!!!         ");
    blanks(51);
    put(view(stats.name));
    put(" $");
    putnum(stats.money);
    newlines(1);

    for (int r = 1; r <= static_cast<int>(market_picture.size()); ++r) {
        auto row = market_picture[r - 1];
        if (bountypaid(stats) && r >= poster_first_row && r <= poster_last_row)
            for (std::size_t c = poster_first_col; c <= poster_last_col; ++c) row[c] = ' ';
        std::string_view codes = rowcodes(row);
        if (r == exit_row) {
            put(codes.substr(0, display_col));
            putnum(register_total, display_width);
            put(codes.substr(display_col + display_width));
            putline(shelf == main_shelf ? "0) EXIT" : "0) Back");
            continue;
        }
        put(codes);
        for (int k = 1; k <= 3; ++k)
            if (r == choice_rows[k - 1]) {
                if (shelf == main_shelf) {
                    put(main_choices[k - 1]);
                    continue;
                }
                // The ware's option line: its key, its name and its price.
                const ware &w = wareat(shelf, k);
                putnum(k);
                put(") ");
                put(warename(w));
                put(" $");
                putnum(w.price);
            }
        newlines(1);
    }
    newlines(2);
    put("                              WHAT CAN I DO YA FOR?  :");
}

constexpr int32 mad_eyes_bounty = 1000;
constexpr auto bounty_paid =
    withfigure("                           Here's your $", mad_eyes_bounty, "");
constexpr std::string_view bounty_words[] = {"                       You've defeated Mad Eyes!!!",
                                             bounty_paid};

// The reward for Mad Eyes, paid on the first visit after he is beaten and never again.
void paybounty(stats_rec &stats) {
    if (!stats.mad_eyes || stats.mad_eyes_collect) return;
    stats.mad_eyes_collect = true;
    stats.money += mad_eyes_bounty;
    showpage({.before = 14, .lines = bounty_words, .after = 8, .lead = 57, .end = 2});
}

} // namespace

void loadmarket(stats_rec &stats) {
    paybounty(stats);
    int shelf = main_shelf;
    int32 register_total = 0; // what this visit has paid
    // 0 leaves the market from its main shelf, and goes back to the main shelf from the others.
    menuloop([&] { drawmarket(stats, shelf, register_total); },
             [&](char k) {
                 const bool choice = k >= '1' && k <= '3';
                 if (shelf == main_shelf) {
                     if (k == '0') return true;
                     if (choice) shelf = k - '0';
                 } else if (k == '0') {
                     shelf = main_shelf;
                 } else if (choice) {
                     sell(stats, wareat(shelf, k - '0'), register_total);
                 }
                 return false;
             },
             no_back);
}
