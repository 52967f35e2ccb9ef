// The hero's start-up (`setup`) and the item rules.
#include "core/definitions.hpp"

#include <cstdint>

namespace {

// `figure` raised by `amount`, but never above `maximum`.
int32 restored(int32 figure, int32 amount, int32 maximum) {
    return static_cast<int32>(std::min<std::int64_t>(std::int64_t{figure} + amount, maximum));
}

} // namespace

void setup(const player_rec &player, stats_rec &stats) {
    stats.name = player.name;
    stats.power = player.power;
    stats.health = player.armor;
    stats.total_health = player.armor + stats.shield.armor + stats.weapon.armor;
    stats.magicdust = player.magic;
    stats.total_magicdust = player.magic;

    stats.weapon.name = padded<20>("Rusty Sword");
    stats.shield.name = padded<20>("Battered Shield");

    stats.magic[1] = {padded<11>("Heal"), padded<30>("Adds 25% to current health"), 10, 0};
    stats.magic[2] = {padded<11>("Bolt"), padded<30>("Short burst of energy"), 8, 15};
    for (int i = 3; i <= 5; ++i) stats.magic[i] = magicnode{};

    for (int kind = potion; kind <= regain; ++kind) stats.items[kind] = itemrule(kind).start;
}

bool itemuseful(const stats_rec &stats, int kind, shortfall need) {
    const item_rule &rule = itemrule(kind);
    const bool health = rule.health != 0 && stats.health != maxhealth(stats);
    const bool magic = rule.magic != 0 && stats.magicdust != maxmagic(stats);
    const bool helps = need == shortfall::any
                           ? health || magic
                           : (rule.health == 0 || health) && (rule.magic == 0 || magic);
    return helps && stats.items[kind] > 0;
}

bool useitem(stats_rec &stats, int kind) {
    if (stats.items[kind] <= 0) return false;
    --stats.items[kind];
    const item_rule &rule = itemrule(kind);
    if (rule.health != 0) stats.health = restored(stats.health, rule.health, maxhealth(stats));
    if (rule.magic != 0) stats.magicdust = restored(stats.magicdust, rule.magic, maxmagic(stats));
    return true;
}
