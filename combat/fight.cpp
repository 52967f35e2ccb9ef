// The fight engine: the fight screen, the turn loop, the hero's commands (attack, spells,
// items, game menu, escape), the creature's attack and the revival of a fallen hero.
#include "combat/fight.hpp"

#include "core/menuloop.hpp"
#include "core/random.hpp"
#include "town/menu.hpp"

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
constexpr std::string_view emptyright = "|                              |";

// The right panel beside the picture rows 1 to 10: the four commands on rows 1, 3, 5 and 7.
constexpr std::array<std::string_view, 10> commandpanel = {
    "  1) Attack                   ", "                              ",
    "  2) Use Magic                ", "                              ",
    "  3) Use Item                 ", "                              ",
    "  4) Attempt to Run           ", "                              ",
    "                              ", "                              ",
};

int32 digits(int32 n) {
    return static_cast<int32>(std::to_string(n).size());
}

std::string blankstr(int32 n) {
    return std::string(static_cast<std::size_t>(std::max(n, 0)), ' ');
}

// The creature's name as messages show it: up to its first blank.
std::string_view shortname(const creature_rec &cre) {
    std::string_view name = view(cre.name);
    return name.substr(0, name.find(' '));
}

// The blanks that keep a message's ending in place: the rest of the name's 15 columns and the
// rest of a number's three.
int32 namefill(const creature_rec &cre) {
    return 15 - static_cast<int32>(shortname(cre).size());
}
std::string messagefill(const creature_rec &cre, int32 number) {
    return blankstr(namefill(cre)) + blankstr(3 - digits(number));
}

std::array<std::string, 3> toplines(const stats_rec &stats, const creature_rec &cre) {
    const int32 health = stats.health, maxh = maxhealth(stats);
    const int32 magic = stats.magicdust, maxm = maxmagic(stats);
    return {
        std::string(dashes78),
        "|  " + std::string(view(cre.name)) + "                            |  " +
            std::string(view(stats.name)) + "    HEALTH : " + std::to_string(health) + "/" +
            std::to_string(maxh) + blankstr(11 - digits(health) - digits(maxh)) + "|",
        "|                                             |         MAGIC  : " +
            std::to_string(magic) + "/" + std::to_string(maxm) +
            blankstr(11 - digits(magic) - digits(maxm)) + "|",
    };
}

std::array<std::string, 4> middlelines(const creature_rec &cre) {
    return {
        std::string(boxline),
        "|                         HEALTH : " + std::to_string(cre.health) + "/" +
            std::to_string(cre.total_health) + blankstr(4 - digits(cre.health)) +
            blankstr(4 - digits(cre.total_health)) + "  |                              |",
        "----------------------------------------------|  0) View Menu                |",
        std::string(boxline),
    };
}

std::array<std::string, 4> bottomlines() {
    return {std::string(boxline), std::string(boxline), std::string(boxline),
            std::string(dashes78)};
}

std::string pictureline(const creature_picture &pic, int row) {
    return "|" + std::string(rowcodes(pic[row])) + "|" + std::string(commandpanel[row]) + "|";
}

template <std::size_t N>
void putlines(const std::array<std::string, N> &lines) {
    for (const std::string &l : lines) putline(l);
}

const creature_picture &pictureof(const creature_look &look, const creature_rec &cre) {
    return look.hurt && cre.health <= look.hurt_at ? *look.hurt : *look.picture;
}

void drawfight(const stats_rec &stats, const creature_rec &cre, const creature_picture &pic,
               const fight_state &state) {
    fighttop(stats, cre);
    for (int row = 0; row < 10; ++row) putline(pictureline(pic, row));
    fightmiddle(cre);
    fightoutput(cre, state);
    fightbottom();
}

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
    showpage({25, words, 14, 0, 0});
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
// [SECTION] The fight screen
// ---------------------------------------------------------------------------------------------

std::array<std::string, 3> fightmessages(const creature_rec &cre, const fight_state &s) {
    if (s.first == 0) return {std::string(boxline), std::string(boxline), std::string(commandline)};

    const std::string name(shortname(cre));
    std::string top;
    if (s.die)
        top = "|  You were revived                           |                              |";
    else if (s.ch == '1' && s.d_2_it != 0)
        top = "|  You hit " + name + " for " + std::to_string(s.d_2_it) + " damage." +
              messagefill(cre, s.d_2_it) + "    " + std::string(emptyright);
    else if (s.ch == '2' && s.d_2_it != 0)
        top = "|  Spell Hit " + name + " for " + std::to_string(s.d_2_it) + " damage. " +
              messagefill(cre, s.d_2_it) + " " + std::string(emptyright);
    else if (s.ch == '4')
        top = "|  You couldn't escape" + blankstr(24) + std::string(emptyright);
    else if (s.ch == '3' && s.hold == 1)
        top = "|  You do not have any left" + blankstr(19) + std::string(emptyright);
    else if (s.ch == '3' && !s.turnover)
        top = "|  You didn't need an item " + blankstr(19) + std::string(emptyright);
    else if (s.ch == '1')
        top = "|  You missed!!!    " + blankstr(26) + std::string(emptyright);
    else
        top = boxline; // after the game menu, a used item, or a key without meaning

    std::string bottom;
    if (s.turnover && s.d_2_u != 0)
        bottom = "|  " + name + " hit you for " + std::to_string(s.d_2_u) + " damage." +
                 messagefill(cre, s.d_2_u) + "    |  Command :                   |";
    else if (s.turnover)
        bottom = "|  " + name + " missed!!!                  " + blankstr(namefill(cre)) +
                 "|  Command :                   |";
    else
        bottom = commandline;

    return {top, std::string(boxline), bottom};
}

std::array<std::string, 24> fightscreen(const stats_rec &stats, const creature_rec &cre,
                                        const creature_picture &pic, const fight_state &state) {
    std::array<std::string, 24> lines;
    auto out = lines.begin();
    for (std::string &l : toplines(stats, cre)) *out++ = std::move(l);
    for (int row = 0; row < 10; ++row) *out++ = pictureline(pic, row);
    for (std::string &l : middlelines(cre)) *out++ = std::move(l);
    for (std::string &l : fightmessages(cre, state)) *out++ = std::move(l);
    for (std::string &l : bottomlines()) *out++ = std::move(l);
    return lines;
}

void fighttop(const stats_rec &stats, const creature_rec &cre) {
    putlines(toplines(stats, cre));
}
void fightmiddle(const creature_rec &cre) {
    putlines(middlelines(cre));
}
void fightoutput(const creature_rec &cre, const fight_state &state) {
    putlines(fightmessages(cre, state));
}
void fightbottom() {
    putlines(bottomlines());
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

    const magicnode &slot = stats.magic[x];
    if (slot.usecost > stats.magicdust) {
        nomana();
        return {};
    }
    stats.magicdust -= slot.usecost;
    if (x == 1) { // Heal: a quarter of the maximum health
        stats.health = std::min(stats.health + maxhealth(stats) / 4, maxhealth(stats));
        return {0, true};
    }
    if (x == 2) return {slot.damagex, true}; // Bolt: always its fixed damage
    return {spelldamage(attackstrength(stats), slot, fightrandom()), true};
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
                     result.hold = itemat(stats, position).num < 1 ? 1 : 0;
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
    const stats_rec temp = stats;
    switch (ch) {
        case '0': // the game menu costs the turn only when something changed (an item was used)
            showmenu(stats);
            newlines(1);
            return {stats != temp, d_2_it, run, 0};
        case '1':
            return {true, yourattack(stats), run, 0};
        case '2': {
            const spell_result spell = usemagic(stats);
            return {spell.turn, spell.hit, run, 0};
        }
        case '3': {
            const item_result item = whichitem(stats);
            return {item.turnover, d_2_it, run, item.hold};
        }
        case '4':
            return {true, d_2_it, run || escapes(fightrandom(), runaway), 0};
        default:
            return {false, 0, run, 0};
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
        if (s.ch >= '1' && s.ch <= '4') s.first = 1;
        const command_result r = docommand(s.ch, s.d_2_it, stats, s.run, cre.runaway);
        s.turnover = r.turnover;
        s.d_2_it = r.d_2_it;
        s.run = r.run;
        s.hold = r.hold;
        if (s.turnover && (s.ch == '1' || s.ch == '2') && !s.die) cre.health -= s.d_2_it;

        if (!s.turnover) continue;
        if (s.run || cre.health < threshold) return s.run;
        s.d_2_u = cre_attack(cre, stats);
    }
}
