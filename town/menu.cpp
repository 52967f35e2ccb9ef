// The game menu and its views: status sheet, world map, items, weapon and shield, spells.
#include "town/menu.hpp"

#include "core/console.hpp"

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

// Whether the menu lets the hero use the item at `position` (1 to 3): never when what it
// restores is already at its maximum, nor when none is left. A fight's item menu is less strict.
bool menucanuse(const stats_rec &stats, int position) {
    bool healthfull = stats.health == maxhealth(stats);
    bool magicfull = stats.magicdust == maxmagic(stats);
    bool restores = position == potion       ? !healthfull
                    : position == magic_dust ? !magicfull
                                             : !healthfull && !magicfull;
    return restores && itemat(stats, position).num > 0;
}

} // namespace

void putitemlist(const stats_rec &stats) {
    putline("CHOOSE AN ITEM TO USE");
    newlines(1);
    putline("      Item         #     Description");
    putline(std::string(63, '-'));
    for (int position = potion; position <= regain; ++position) {
        const node &n = itemat(stats, position);
        put("   ");
        putnum(position);
        put(") ");
        put(view(n.item));
        blanks(3);
        putnum(n.num);
        blanks(5);
        put(view(n.des));
        newlines(position == regain ? 3 : 2);
    }
    put("   0) Exit");
    newlines(8);
}

void presskey(int indent, int lineends) {
    pressenterat(indent);
    newlines(lineends);
    key();
}

void showmenu(stats_rec &stats) {
    for (;;) {
        drawmenu(stats);
        switch (key()) {
            case '1':
                viewmap();
                break;
            case '2':
                viewitems(stats);
                break;
            case '3':
                viewweapon(stats);
                break;
            case '4':
                viewmagic(stats);
                break;
            case '0':
                return;
            default:
                break; // any other key draws the menu again
        }
    }
}

void viewmap() {
    newlines(2);
    for (const auto &row : world_picture) putline(rowtext(row));
    newlines(2);
    presskey(61);
}

void viewitems(stats_rec &stats) {
    for (;;) {
        drawitems(stats);
        char k = key();
        if (k == '0') return;
        // A refused use, like any other key, only draws the list again.
        if (k >= '1' && k <= '3' && menucanuse(stats, k - '0')) useitem(stats, k - '0');
    }
}

void viewweapon(const stats_rec &stats) {
    newlines(4);
    putline("Your weapon and shield increase your power, armor, and magic.");
    newlines(4);
    drawpiece("     WEAPON  : ", stats.weapon);
    newlines(2);
    drawpiece("     SHIELD  : ", stats.shield);
    newlines(5);
    presskey(3);
}

void viewmagic(const stats_rec &stats) {
    newlines(30);
    putline("Magic spells produce guaranteed to hit damage...");
    putline("as long as you have enough mana to cast them.");
    newlines(2);
    put("     Available Mana: ");
    putnum(stats.magicdust);
    newlines(1 + 1);
    for (int slot = 1; slot <= spells::size() && stats.magic[slot].usecost != 0; ++slot) {
        const magicnode &m = stats.magic[slot];
        if (slot > 1) newlines(1 + 1); // the last spell's line end, then a blank line
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
    presskey(4);
}
