// The hero's start-up (`setup`) and the item list's rules.
#include "core/definitions.hpp"

#include <cstdint>
#include <deque>
#include <limits>

node *head = nullptr;
node *current = nullptr;

namespace {

// The nodes of every item list built so far. A game builds one list that lives until the
// program ends; keeping the nodes here frees them at exit and keeps older lists valid.
std::deque<node> item_nodes;

// The three items in list order: their names, how many a new hero carries, and what one use
// restores, up to the maximum (`whole`: all of it).
constexpr int32 whole = std::numeric_limits<int32>::max();
struct item_row {
    std::string_view item, des;
    int32 num;
    int32 health = 0;
    int32 magic = 0;
};
constexpr std::array<item_row, 3> start_items = {{
    {.item = "potion", .des = "heals up to 30 hit points", .num = 1, .health = 30},
    {.item = "magic dust", .des = "regain up to 30 magic points", .num = 0, .magic = 30},
    {.item = "regain", .des = "regain all health", .num = 0, .health = whole, .magic = whole},
}};

const item_row &itemrule(int position) {
    return start_items[static_cast<std::size_t>(position) - 1];
}

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

    node *previous = nullptr;
    for (const item_row &row : start_items) {
        node &n = item_nodes.emplace_back();
        n.item = padded<10>(row.item);
        n.des = padded<30>(row.des);
        n.num = row.num;
        if (previous)
            previous->next = &n;
        else
            head = &n;
        previous = &n;
    }
    current = head->next; // the building cursor is left on the second node
    stats.items = head;
}

node &itemat(const stats_rec &stats, int position) {
    assert(position >= potion && position <= regain && "the item list has three entries");
    node *n = stats.items;
    for (int i = 1; i < position; ++i) n = n->next;
    return *n;
}

bool itemuseful(const stats_rec &stats, int position, shortfall need) {
    const item_row &rule = itemrule(position);
    const bool health = rule.health != 0 && stats.health != maxhealth(stats);
    const bool magic = rule.magic != 0 && stats.magicdust != maxmagic(stats);
    const bool helps = need == shortfall::any
                           ? health || magic
                           : (rule.health == 0 || health) && (rule.magic == 0 || magic);
    return helps && itemat(stats, position).num > 0;
}

bool useitem(stats_rec &stats, int position) {
    node &n = itemat(stats, position);
    if (n.num <= 0) return false;
    --n.num;
    const item_row &rule = itemrule(position);
    if (rule.health != 0) stats.health = restored(stats.health, rule.health, maxhealth(stats));
    if (rule.magic != 0) stats.magicdust = restored(stats.magicdust, rule.magic, maxmagic(stats));
    return true;
}
