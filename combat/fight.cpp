// The fight engine: the fight screen, the turn loop, the hero's commands (attack, spells,
// items, game menu, escape), the creature's attack and the revival of a fallen hero.
#include "combat/fight.hpp"

#include "core/gamemenu.hpp"
#include "core/menuloop.hpp"
#include "core/random.hpp"

#include <string_view>

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] Screen pieces
// ---------------------------------------------------------------------------------------------

constexpr std::string_view dashes78 =
    "------------------------------------------------------------------------------";
constexpr std::string_view boxline =
    "|                                             |                              |";
constexpr std::string_view commandline =
    "|                                             |  Command :                   |";
constexpr std::string_view emptyright = "                              |"; // the right panel, empty

// The right panel beside the picture rows 1 to 10: the four commands on rows 1, 3, 5 and 7.
constexpr std::array<std::string_view, 10> commandpanel = {
    "  1) Attack                   ", "                              ",
    "  2) Use Magic                ", "                              ",
    "  3) Use Item                 ", "                              ",
    "  4) Attempt to Run           ", "                              ",
    "                              ", "                              ",
};

// The creature's name as messages show it: up to its first blank.
std::string_view shortname(const creature_rec &cre) {
    std::string_view name = view(cre.name);
    return name.substr(0, name.find(' '));
}

// The blanks that keep a message's ending in place: the rest of the name's 15 columns and the
// rest of a number's three.
int namefill(const creature_rec &cre) {
    return 15 - static_cast<int>(shortname(cre).size());
}
void messagefill(const creature_rec &cre, int32 number) {
    blanks(namefill(cre));
    blanks(3 - numwidth(number));
}

// "value/maximum", then blanks to fill `width` columns.
void putpair(int32 value, int32 maximum, int width) {
    putnum(value);
    put("/");
    putnum(maximum);
    blanks(width - numwidth(value) - 1 - numwidth(maximum));
}

void fighttop(const stats_rec &stats, const creature_rec &cre) {
    putline(dashes78);
    put("|  ");
    put(view(cre.name));
    put("                            |  ");
    put(view(stats.name));
    put("    HEALTH : ");
    putpair(stats.health, maxhealth(stats), 12);
    putline("|");
    put("|                                             |         MAGIC  : ");
    putpair(stats.magicdust, maxmagic(stats), 12);
    putline("|");
}

void fightpicture(const creature_picture &pic) {
    for (std::size_t row = 0; row < commandpanel.size(); ++row) {
        put("|");
        put(rowcodes(pic[row]));
        put("|");
        put(commandpanel[row]);
        putline("|");
    }
}

void fightmiddle(const creature_rec &cre) {
    putline(boxline);
    put("|                         HEALTH : ");
    // Each figure keeps four columns, whatever the other's width.
    putnum(cre.health);
    put("/");
    putnum(cre.total_health);
    blanks(4 - numwidth(cre.health));
    blanks(4 - numwidth(cre.total_health));
    putline("  |                              |");
    putline("----------------------------------------------|  0) View Menu                |");
    putline(boxline);
}

// The message area's three lines: what the hero's command did, a blank line, and the
// creature's answer beside the command prompt.
void fightoutput(const creature_rec &cre, const fight_state &s) {
    if (!s.commanded) {
        putline(boxline);
        putline(boxline);
        putline(commandline);
        return;
    }
    const std::string_view name = shortname(cre);
    if (s.die)
        put("|  You were revived                           |");
    else if (s.ch == '1' && s.d_2_it != 0) {
        put("|  You hit ");
        put(name);
        put(" for ");
        putnum(s.d_2_it);
        put(" damage.");
        messagefill(cre, s.d_2_it);
        put("    |");
    } else if (s.ch == '2' && s.d_2_it != 0) {
        put("|  Spell Hit ");
        put(name);
        put(" for ");
        putnum(s.d_2_it);
        put(" damage. ");
        messagefill(cre, s.d_2_it);
        put(" |");
    } else if (s.ch == '4')
        put("|  You couldn't escape                        |");
    else if (s.ch == '3' && s.none_left)
        put("|  You do not have any left                   |");
    else if (s.ch == '3' && !s.turnover)
        put("|  You didn't need an item                    |");
    else if (s.ch == '1')
        put("|  You missed!!!                              |");
    else // after the game menu, a used item, or a key without meaning
        put("|                                             |");
    putline(emptyright);
    putline(boxline);

    if (s.turnover && s.d_2_u != 0) {
        put("|  ");
        put(name);
        put(" hit you for ");
        putnum(s.d_2_u);
        put(" damage.");
        messagefill(cre, s.d_2_u);
        putline("    |  Command :                   |");
    } else if (s.turnover) {
        put("|  ");
        put(name);
        put(" missed!!!                  ");
        blanks(namefill(cre));
        putline("|  Command :                   |");
    } else
        putline(commandline);
}

void fightbottom() {
    for (int i = 0; i < 3; ++i) putline(boxline);
    putline(dashes78);
}

const creature_picture &pictureof(const creature_look &look, const creature_rec &cre) {
    return look.hurt && cre.health <= look.hurt_at ? *look.hurt : *look.picture;
}

} // namespace

void drawfight(const stats_rec &stats, const creature_rec &cre, const creature_picture &pic,
               const fight_state &state) {
    fighttop(stats, cre);
    fightpicture(pic);
    fightmiddle(cre);
    fightoutput(cre, state);
    fightbottom();
}

namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] Menu pages
// ---------------------------------------------------------------------------------------------

void spellpage(const stats_rec &stats, int &tops) {
    newlines(8);
    putline("PICK A SPELL TO CAST");
    newlines(2);
    putline("   Spell       Description");
    put("------------------------------------------------------------");
    newlines(2);
    tops = 0;
    for (int y = 1; y <= 5 && stats.magic[y].usecost != 0; ++y) {
        putnum(y);
        put(". ");
        put(view(stats.magic[y].spell));
        put(" ");
        put(view(stats.magic[y].des));
        newlines(2);
        tops = y;
    }
    put("0. EXIT");
    newlines(8);
}

void nomana() {
    static constexpr std::string_view words[] = {
        "You do not have enough mana for this spell, make a new choice"};
    showpage({.before = 25, .lines = words, .after = 14, .lead = 0});
    newlines(20);
}

void itempage(const stats_rec &stats) {
    newlines(5);
    putitemlist(stats);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// [SECTION] The rules behind the draws
// ---------------------------------------------------------------------------------------------

// A draw that is a multiple of 8 misses; otherwise the draw is the percentage of strength.
int32 attackdamage(int32 strength, int32 r) {
    return r % 8 == 0 ? 0 : strength * r / 100;
}

// The bought spells never miss: a missed roll still counts 5.
int32 spelldamage(int32 strength, const magicnode &spell, int32 r) {
    const int32 base = r % 8 == 0 ? 5 : strength * r / 100;
    return spell.damagex * base + spell.bonus;
}

// The creature strikes with up to 99 % of its power, by the last two digits of its draw.
int32 creaturedamage(int32 power, int32 e) {
    return e % 8 == 0 ? 0 : e % 100 * power / 100;
}

bool escapes(int32 r, int32 runaway) {
    return r % runaway == 0;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The hero's commands and the creature's attack
// ---------------------------------------------------------------------------------------------

int32 yourattack(const stats_rec &stats) {
    return attackdamage(attackstrength(stats), fightrandom());
}

spell_result usemagic(stats_rec &stats) {
    int tops = 0;
    int x = 0;
    // Every key, 0 included, first ends the menu's last line.
    menuloop([&] { spellpage(stats, tops); },
             [&](char k) {
                 newlines(1);
                 x = k >= '0' && k <= '5' ? k - '0' : 6;
                 return x <= tops;
             },
             no_back);
    if (x == 0) return {};

    const magicnode &spell = stats.magic[x];
    if (spell.usecost > stats.magicdust) {
        nomana();
        return {};
    }
    stats.magicdust -= spell.usecost;
    if (x == 1) { // Heal: a quarter of the maximum health
        stats.health = std::min(stats.health + maxhealth(stats) / 4, maxhealth(stats));
        return {0, true};
    }
    if (x == 2) return {spell.damagex, true}; // Bolt: always its fixed damage
    return {spelldamage(attackstrength(stats), spell, fightrandom()), true};
}

item_result whichitem(stats_rec &stats) {
    item_result result{};
    // 4 goes back as well as 0.
    menuloop([&] { itempage(stats); },
             [&](char k) {
                 if (k == '4') return true;
                 if (k < '1' || k > '3') return false;
                 const int position = k - '0';
                 if (!itemuseful(stats, position, shortfall::any))
                     result.none_left = stats.items[position] < 1;
                 else
                     result.turnover = useitem(stats, position);
                 return true;
             });
    return result;
}

int32 cre_attack(const creature_rec &cre, stats_rec &stats) {
    const int32 damage = creaturedamage(cre.power, enemyrandom());
    if (stats.health - damage < 1) {
        stats.health = 0;
        ++stats.deaths;
    } else
        stats.health -= damage;
    return damage;
}

command_result docommand(char ch, int32 d_2_it, stats_rec &stats, bool run, int32 runaway) {
    switch (ch) {
        case '0': { // the game menu costs the turn only when an item was used there
            const bool used = showmenu(stats);
            newlines(1);
            return {used, d_2_it, run};
        }
        case '1':
            return {true, yourattack(stats), run};
        case '2': {
            const spell_result spell = usemagic(stats);
            return {spell.turn, spell.hit, run};
        }
        case '3': {
            const item_result item = whichitem(stats);
            return {item.turnover, d_2_it, run, item.none_left};
        }
        case '4':
            return {true, d_2_it, run || escapes(fightrandom(), runaway)};
        default:
            return {false, 0, run};
    }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The fight loop
// ---------------------------------------------------------------------------------------------

bool fight(stats_rec &stats, creature_rec &cre, const creature_look &look, int32 threshold) {
    fight_state s;
    for (;;) {
        drawfight(stats, cre, pictureof(look, cre), s);
        // A fallen hero rises at full health; the damage of this turn's attack is lost.
        s.die = stats.health < 1;
        if (s.die) stats.health = maxhealth(stats);

        s.ch = key();
        if (s.ch >= '1' && s.ch <= '4') s.commanded = true;
        const command_result r = docommand(s.ch, s.d_2_it, stats, s.run, cre.runaway);
        s.turnover = r.turnover;
        s.d_2_it = r.d_2_it;
        s.run = r.run;
        s.none_left = r.none_left;
        if (s.turnover && (s.ch == '1' || s.ch == '2') && !s.die) cre.health -= s.d_2_it;

        if (!s.turnover) continue;
        if (s.run || cre.health < threshold) return s.run;
        s.d_2_u = cre_attack(cre, stats);
    }
}
