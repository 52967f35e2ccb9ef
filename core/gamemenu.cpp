// The game menu and its views: status sheet, world map, items, weapon and shield, spells.
#include "core/gamemenu.hpp"

#include "core/console.hpp"
#include "core/menuloop.hpp"

#include <string>
#include <utility>

namespace {

// The world as the hero's map shows it, the same in every game; ♣ is the forest (code 5).
constexpr auto world_picture = decode<20, 74>({
    "                           ?????????                                      ",
    "                           ? MARCH ?                                      ",
    "  ~~~~~~~~~~~~~            ?????????               /~~~~~~\\               ",
    "  ~~  _ _ _  ~~                ^                  /___II___\\  VEX         ",
    "  ~~ | - - | ~~               / \\              ~~~~~~~~~~~~~~~~~~~~~~~~~  ",
    "  ~~ |__O__| ~~              /   \\          ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ ",
    "  ~~~~~~~~~~~~~             /  O  \\       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "      TOBR                    | |        ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "                              | |       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "  ♣♣♣♣♣♣♣♣♣               _____ _____   ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "  ♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣   | X      C  |  ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "  ♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣   |    VAS    |====D~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "  ♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣   |_M___ __H__|  ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "  ♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣♣         | |        ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ ",
    "                              | |          ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~  ",
    "                              | |              ~~~~~~~~~~~~~~~~~~~~~~~    ",
    "                              | |                 |^^^^^|                 ",
    "                              | |_______________  |     |                 ",
    "                              |_________________  |__O__|                 ",
    "                                                   GRUMB                  ",
});

// A status sheet line: the label, 49 blanks in.
void statlabel(std::string_view label) {
    blanks(49);
    put(label);
}

void drawmenu(const stats_rec &stats) {
    newlines(4);
    putline(view(stats.name));
    statlabel("SCORE   : ");
    putnum(stats.points);
    newlines(1);
    statlabel("HEALTH  : ");
    putnum(stats.health);
    put("/");
    putnum(maxhealth(stats));
    newlines(1);
    statlabel("MAGIC   : ");
    putnum(stats.magicdust);
    put("/");
    putnum(maxmagic(stats));
    newlines(1);
    statlabel("POWER   : ");
    putnum(attackstrength(stats));
    newlines(1);
    statlabel("MONEY   : $");
    putnum(stats.money);
    newlines(1 + 3); // the line's end, then 3 blank lines

    // Each option, then the blank lines under it.
    struct option {
        std::string_view text;
        int gap;
    };
    constexpr option options[] = {
        {"    1) See Map", 1},
        {"    2) View/Use Item", 1},
        {"    3) View Weapon & Sheild Stats", 1},
        {"    4) View Magic Spells", 2},
        {"    0) EXIT MENU", 3},
    };
    for (const option &o : options) {
        putline(o.text);
        newlines(o.gap);
    }
    put("CHOICE  : ");
}

void drawitems(const stats_rec &stats) {
    newlines(3);
    blanks(48);
    put("HEALTH ");
    putnum(stats.health);
    put("/");
    putnum(maxhealth(stats));
    newlines(1);
    blanks(48);
    put("MAGIC  ");
    putnum(stats.magicdust);
    put("/");
    putnum(maxmagic(stats));
    newlines(1 + 2);
    putitemlist(stats);
}

// One block of the weapon view: the name line and what the piece adds.
void drawpiece(std::string_view label, const weapon_type &piece) {
    put(label);
    putline(view(piece.name));
    newlines(1);
    const std::pair<std::string_view, int32> figures[] = {
        {"                       Power  : +", piece.power},
        {"                       Armor  : +", piece.armor},
        {"                       Magic  : +", piece.magic},
    };
    for (const auto &[text, value] : figures) {
        put(text);
        putnum(value);
        newlines(1);
    }
}

} // namespace

void putitemlist(const stats_rec &stats) {
    putline("CHOOSE AN ITEM TO USE");
    newlines(1);
    putline("      Item         #     Description");
    putline(std::string(63, '-'));
    for (int kind = potion; kind <= regain; ++kind) {
        put("   ");
        putnum(kind);
        put(") ");
        put(view(itemrule(kind).name));
        blanks(3);
        putnum(stats.items[kind]);
        blanks(5);
        put(view(itemrule(kind).des));
        newlines(kind == regain ? 3 : 2);
    }
    put("   0) Exit");
    newlines(8);
}

bool showmenu(stats_rec &stats) {
    bool used = false;
    menuchoices([&] { drawmenu(stats); },
                {[] { viewmap(); }, [&] { used = viewitems(stats) || used; },
                 [&] { viewweapon(stats); }, [&] { viewmagic(stats); }});
    return used;
}

void viewmap() {
    newlines(2);
    for (const auto &row : world_picture) putline(rowtext(row));
    newlines(2);
    pressenterat(61, 0, waitfor::key);
}

bool viewitems(stats_rec &stats) {
    bool used = false;
    // A refused use, like any other key, only draws the list again.
    menuloop([&] { drawitems(stats); },
             [&](char k) {
                 if (k >= '1' && k <= '3' && itemuseful(stats, k - '0', shortfall::every))
                     used = useitem(stats, k - '0') || used;
                 return false;
             });
    return used;
}

void viewweapon(const stats_rec &stats) {
    newlines(4);
    putline("Your weapon and shield increase your power, armor, and magic.");
    newlines(4);
    drawpiece("     WEAPON  : ", stats.weapon);
    newlines(2);
    drawpiece("     SHIELD  : ", stats.shield);
    newlines(5);
    pressenterat(3, 0, waitfor::key);
}

void viewmagic(const stats_rec &stats) {
    newlines(30);
    putline("Magic spells produce guaranteed to hit damage...");
    putline("as long as you have enough mana to cast them.");
    newlines(2);
    put("     Available Mana: ");
    putnum(stats.magicdust);
    newlines(1 + 1);
    for (int n = 1; n <= spells::size() && stats.magic[n].usecost != 0; ++n) {
        const magicnode &m = stats.magic[n];
        if (n > 1) newlines(1 + 1); // the last spell's line end, then a blank line
        put("     Spell Name: ");
        put(view(m.spell));
        put(" Spell Description: ");
        putline(view(m.des));
        put("     Spell Cost: ");
        putnum(m.usecost, 2);
        put(" Mana");
        put("     Spell Damage: ");
        putnum(m.damagex, 2); // the line ends with the next spell or the 4 line breaks below
    }
    newlines(4);
    pressenterat(4, 0, waitfor::key);
}
