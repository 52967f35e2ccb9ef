// Rewards after a victory and the level-up dialogue.
#include "combat/fight.hpp"
#include "core/menuloop.hpp"

namespace {

// The level threshold's steps: each row holds from its lower bound up to the next row's.
struct level_band {
    int32 from;
    int32 step;
};
constexpr std::array<level_band, 5> level_bands = {{
    {0, 100},
    {1000, 500},
    {10000, 5000},
    {100000, 50000},
    {1000000, 500000},
}};
constexpr int32 level_beyond = 10000000; // from here on (and below 0) the largest step
constexpr int32 largest_step = 5000000;

} // namespace

int32 levelstep(int32 next_level) {
    if (next_level < 0 || next_level >= level_beyond) return largest_step;
    int32 step = largest_step;
    for (const level_band &band : level_bands)
        if (next_level >= band.from) step = band.step;
    return step;
}

void winnings(stats_rec &stats, const creature_rec &cre) {
    stats.money += cre.money;
    stats.num_fights += 1;
    stats.points += cre.points;

    newlines(10);
    put("                           YOU HAVE DEFEATED ");
    putline(view(cre.name));
    newlines(2);
    put("   You recieved  : ");
    putnum(cre.points);
    put(" points");
    put(" and $");
    putnum(cre.money);
    newlines(3);

    if (stats.points < stats.next_level) {
        put("   You need ");
        putnum(stats.next_level - stats.points);
        putline(" points to upgrade");
        newlines(7);
        putline("                           PRESS ENTER TO CONTINUE");
        newlines(1);
        line();
        return;
    }
    newlines(6);
    put("                           PRESS ENTER TO UPGRADE");
    newlines(4);
    line();
    choosestat(stats);
}

void choosestat(stats_rec &stats) {
    // There is no way back: a level-up must be taken.
    menuloop(
        [&] {
            newlines(8);
            putline("                               Your current stats without weapon or shield");
            put("                                        POWER  : ");
            putnum(stats.power);
            newlines(1);
            put("                                        ARMOR  : ");
            putnum(stats.total_health);
            newlines(1);
            put("                                        MAGIC  : ");
            putnum(stats.total_magicdust);
            newlines(5);
            putline("Which would you like to upgrade?");
            putline("   1) POWER");
            putline("   2) ARMOR");
            putline("   3) MAGIC");
            newlines(5);
        },
        [&](char k) {
            if (k == '1')
                stats.power += 3;
            else if (k == '2') {
                stats.total_health += 3;
                stats.health += 3;
            } else if (k == '3') {
                stats.total_magicdust += 3;
                stats.magicdust += 3;
            } else
                return false;
            return true;
        },
        no_back);
    stats.next_level += levelstep(stats.next_level);
}
