// The hero's start-up (`setup`) and the item list's rules.
#include "core/definitions.hpp"

#include <deque>

node *head = nullptr;
node *current = nullptr;

namespace {

// The nodes of every item list built so far. A game builds one list that lives until the
// program ends; keeping the nodes here frees them at exit and keeps older lists valid.
std::deque<node> item_nodes;

struct item_row {
    std::string_view item, des;
    int32 num;
};
constexpr std::array<item_row, 3> start_items = {{
    {"potion", "heals up to 30 hit points", 1},
    {"magic dust", "regain up to 30 magic points", 0},
    {"regain", "regain all health", 0},
}};

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

bool useitem(stats_rec &stats, int position) {
    node &n = itemat(stats, position);
    if (n.num <= 0) return false;
    --n.num;
    switch (position) {
        case potion:
            stats.health = std::min(stats.health + 30, maxhealth(stats));
            break;
        case magic_dust:
            stats.magicdust = std::min(stats.magicdust + 30, maxmagic(stats));
            break;
        case regain:
            stats.health = maxhealth(stats);
            stats.magicdust = maxmagic(stats);
            break;
    }
    return true;
}
