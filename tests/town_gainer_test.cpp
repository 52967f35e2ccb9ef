// The gainer: the refusal, the difficulty menu, the creature menus and the fights they start.
#include "town/gainer.hpp"

#include "draws.hpp"
#include "town_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace town_test;

bool shows(const lines &page, const std::string &text) {
    return std::any_of(page.begin(), page.end(),
                       [&](const std::string &l) { return l.find(text) != std::string::npos; });
}

TEST(Gainer, RefusesAHeroWithoutAVictory) {
    stats_rec s = newhero();
    stats_rec before = s;
    usescript("1!");
    loadgainer(s);
    lines page = splitlines(transcript());
    lines expected(12, "");
    expected.insert(expected.end(), {"                   This place simulates fights you've had,",
                                     "                     first you gotta get in some fights!"});
    expected.insert(expected.end(), 10, "");
    expected.push_back(pad(62) + "PRESS ENTER");
    EXPECT_EQ(page, expected);
    EXPECT_EQ(key(), '!') << "the refusal waits for one key and returns";
    EXPECT_EQ(s, before);
}

TEST(Gainer, AnyVictoryOpensTheDifficultyMenu) {
    stats_rec s = newhero();
    s.wins[won::zarkhul] = 1; // a creature no menu shows still counts
    lines page = run("x0", [&] { loadgainer(s); });
    lines menu = {
        "",
        "",
        "",
        "",
        "                You ready to gain some more battle experience",
        "                   with some creatures that you have fought?",
        "",
        "",
        "",
        "",
        "",
        "        Select a difficulty  : ",
        "        1) Easy",
        "        2) Average",
        "        3) Hard",
        "",
        "        0) EXIT",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
    };
    lines twice = menu; // the first drawing, the redraw after x, and the end of the text
    twice.insert(twice.end(), menu.begin(), menu.end());
    twice.push_back("");
    EXPECT_EQ(page, twice);
}

// A creature menu: its key in the difficulty menu, the victories the hero has, and the lines
// it must show between its title and its BACK line.
struct menu_case {
    const char *what;
    char key;
    std::vector<int> beaten; // `wins` indices set to 1
    lines entries;           // the creature lines, then the blank lines before BACK
    int after_back;
};

class GainerMenu : public testing::TestWithParam<menu_case> {};

TEST_P(GainerMenu, NamesOnlyWhatWasBeaten) {
    const menu_case &c = GetParam();
    stats_rec s = newhero();
    for (int w : c.beaten) s.wins[w] = 1;
    lines page = run(std::string{c.key, '0', '0'}, [&] { loadgainer(s); });

    lines expected = {"", "", "", "", "", "      Choose an enemy to fight.", "", ""};
    expected.insert(expected.end(), c.entries.begin(), c.entries.end());
    expected.push_back("      0) BACK");
    expected.insert(expected.end(), c.after_back, "");
    // The creature menu is drawn between two drawings of the difficulty menu (24 lines each).
    ASSERT_EQ(page.size(), 24 + expected.size() + 24 + 1);
    lines shown(page.begin() + 24, page.begin() + 24 + static_cast<long>(expected.size()));
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GainerMenu,
    testing::Values(
        menu_case{"easy_after_the_bats",
                  '1',
                  {1},
                  {"      1) Bats", "      2) -----", "      3) -----", "      4) -----",
                   "      5) -----", "      6) -----", "      7) -----", ""},
                  8},
        menu_case{"easy_reads_crab_and_jelly_from_9_and_10",
                  '1',
                  {9, 10, 6},
                  {"      1) -----", "      2) -----", "      3) -----", "      4) -----",
                   "      5) -----", "      6) Crab", "      7) Jelly", ""},
                  8},
        menu_case{"average_every_name",
                  '2',
                  {6, 7, 8, 11, 12, 13},
                  {"      1) Knight", "      2) Shark", "      3) Octopus", "      4) Mime",
                   "      5) Seal", "      6) Monkey", "", ""},
                  8},
        menu_case{"hard_with_darkness_and_the_cave",
                  '3',
                  {24, 25, 23},
                  {"      1) -----", "      2) -----", "      3) -----", "      4) -----",
                   "      5) -----", "      6) -----", "      7) ???????????",
                   "      8) Living Cave", ""},
                  7},
        menu_case{"hard_every_name",
                  '3',
                  {17, 18, 19, 20, 21, 22, 24, 25},
                  {"      1) Mad Monkey", "      2) Crazy Clown", "      3) Dwarf",
                   "      4) Glob of Goo", "      5) Rock", "      6) Caveman",
                   "      7) ???????????", "      8) Living Cave", ""},
                  7}),
    [](const testing::TestParamInfo<menu_case> &info) { return info.param.what; });

TEST(Gainer, ADashedLineStartsItsFight) {
    stats_rec s = newhero();
    s.wins[won::bats] = 1; // only the bats are named
    lines page = run("16", [&] { loadgainer(s); });
    auto menu = std::find(page.begin(), page.end(), "      6) -----");
    ASSERT_NE(menu, page.end());
    // After the menu, the crab's announcement waits for Enter.
    lines after(menu, page.end());
    EXPECT_TRUE(shows(after, "I can do the crabby snap"));
    EXPECT_TRUE(shows(after, "PRESS ENTER"));
    EXPECT_FALSE(shows(after, "Choose an enemy"));
}

TEST(Gainer, AVictoryPaysPointsButNoGold) {
    stats_rec s = newhero();
    s.power = 1000;
    s.wins[won::bats] = 1;
    s.wins[won::crab] = 2;
    planned_draws d{fightdraw(50)}; // one blow fells the crab
    // Easy, crab, Enter at the announcement, attack, Enter at the reward, back, exit.
    usescript("16\n1\n00");
    loadgainer(s);
    EXPECT_TRUE(d.used_all());
    lines page = splitlines(transcript());
    EXPECT_TRUE(shows(page, "   You recieved  : 38 points and $0"));
    EXPECT_EQ(s.money, 100);
    EXPECT_EQ(s.points, 38);
    EXPECT_EQ(s.wins[won::crab], 3);
    EXPECT_EQ(s.num_fights, 1);
    EXPECT_TRUE(shows(page, "      6) Crab")) << "the easy menu is drawn again after the fight";
}

} // namespace
