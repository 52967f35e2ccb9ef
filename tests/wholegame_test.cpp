// Long random key streams through the whole game, in-process: whatever the player presses,
// nothing crashes, no loop spins without reading, and the hero's counts stay sound.
#include "core/console.hpp"
#include "core/game.hpp"
#include "screens/screens.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

namespace {

// Keys a player would press, weighted towards walking, with Enter, menus and any byte at all.
std::string randomkeys(std::uint32_t seed, std::size_t count) {
    std::mt19937 gen(seed);
    const std::string common = "8888222244446666000011112233\n\n\n";
    std::string keys;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t r = gen();
        keys += r % 10 == 0 ? static_cast<char>(r >> 8) : common[(r >> 8) % common.size()];
    }
    return keys;
}

struct start_case {
    int32 screen;       // where the hero is dropped, coming from no listed screen
    int32 rings;        // how far the quest has come
    std::uint32_t seed; // the keys and the clock
};

class WholeGame : public ::testing::TestWithParam<start_case> {
  protected:
    std::string home;
    void SetUp() override {
        char name[] = "/tmp/orbridden-whole-XXXXXX";
        char cwd[4096];
        home = getcwd(cwd, sizeof cwd);
        ASSERT_EQ(chdir(mkdtemp(name)), 0); // the score file of a game that ends goes here
    }
    void TearDown() override { ASSERT_EQ(chdir(home.c_str()), 0); }
};

TEST_P(WholeGame, RandomKeysKeepTheHeroSound) {
    const start_case c = GetParam();
    stepping_clock clock(c.seed);
    stats_rec stats = newhero();
    stats.money = 5000; // enough to shop, gamble and take the boat
    stats.num_of_rings = c.rings;
    usescript(randomkeys(c.seed, 30'000));
    try {
        runscreens(screens, stats, {.where = c.screen, .oldwhere = 0});
    } catch (const input_closed &) {
    }
    transcript();
    EXPECT_GE(stats.health, 0);
    EXPECT_GE(stats.magicdust, 0);
    EXPECT_TRUE(stats.num_of_rings >= 0 && stats.num_of_rings <= all_rings);
    for (int32 n : stats.items) EXPECT_GE(n, 0);
    for (int32 w : stats.wins) EXPECT_GE(w, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, WholeGame,
    ::testing::Values(start_case{screen::home, 0, 1}, start_case{screen::forest_ring, 0, 2},
                      start_case{screen::castle_middle1, 0, 3}, start_case{screen::pier, 1, 4},
                      start_case{screen::sea_south2, 1, 5}, start_case{screen::island_gate, 1, 6},
                      start_case{screen::chase_first, 2, 7},
                      start_case{screen::backwards_room, 2, 8},
                      start_case{screen::chanting_room, 2, 9},
                      start_case{screen::cave_entrance, 4, 10},
                      start_case{screen::tunnel_north_end, 3, 11},
                      start_case{screen::four_posts, 3, 12}, start_case{screen::home, 4, 13}),
    [](const testing::TestParamInfo<start_case> &info) {
        const start_case &c = info.param;
        return "screen" + std::to_string(c.screen) + "_rings" + std::to_string(c.rings) + "_seed" +
               std::to_string(c.seed);
    });

} // namespace
