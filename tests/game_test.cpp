// The opening pages and the main loop, run through the scripted console.
#include "core/console.hpp"
#include "core/game.hpp"
#include "story/story.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

const std::string notice = std::string(65, ' ') + "PRESS ENTER";

TEST(Intro, FivePagesThenTheChoiceThenTheHerosPage) {
    usescript("\n\n\n\n\n1xyz\n\n");
    player_rec p = intro();
    EXPECT_EQ(view(p.name), "Oru");
    std::vector<std::string> lines = splitlines(transcript());

    std::vector<std::size_t> notices;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(columns(lines[i]), 80u) << "line " << i << ": " << lines[i];
        if (lines[i] == notice) notices.push_back(i);
    }
    ASSERT_EQ(notices.size(), 6u);
    for (std::size_t n : notices)
        EXPECT_EQ(lines.at(n + 1), "") << "an empty line after the notice";

    auto at = [&](std::string_view text) {
        return std::find(lines.begin(), lines.end(), text) - lines.begin();
    };
    std::size_t choice =
        static_cast<std::size_t>(at("                       CHOOSE YOUR CHARACTER"));
    EXPECT_GT(choice, notices[4]);
    EXPECT_LT(choice, notices[5]);
    EXPECT_EQ(static_cast<std::size_t>(at("                   ORBRIDDEN")), notices[3] + 9)
        << "the title after 7 empty lines";
    std::size_t hero = static_cast<std::size_t>(
        at("Oru has been sent by the king as the world's final hope to return these rings"));
    EXPECT_EQ(hero, notices[5] - 18) << "the hero's page: its first line, 8 more, 9 empty lines";
    EXPECT_EQ(lines[hero - 1], "") << "the hero's name begins a fresh line";

    // The first page: 3 empty lines, 17 lines ending on the mountain's full base, 3 empty lines.
    EXPECT_EQ(lines[3], "   Our story begins deep within the heart of the Binary"
                        "    100");
    EXPECT_EQ(lines[4].substr(0, 13), "   Mountains.");
    EXPECT_EQ(columns(lines[19]), 79u);
    EXPECT_EQ(lines[19].find_first_not_of("01"), std::string::npos);
    EXPECT_EQ(notices[0], 23u);
}

TEST(Intro, TheHerosPageWaitsForAFreshEnter) {
    // The Enter after the choice is discarded with the rest of its line: without a sixth
    // line the last page is still waiting when the input ends.
    usescript("\n\n\n\n\n2\n");
    EXPECT_THROW(intro(), input_closed);
    EXPECT_NE(transcript().find("Vek has been sent"), std::string::npos);
}

// Runs in a fresh directory, so that the score file of a test is its own.
class InTempDir : public ::testing::Test {
  protected:
    std::string dir, home;
    void SetUp() override {
        char name[] = "/tmp/orbridden-game-XXXXXX";
        dir = mkdtemp(name);
        char cwd[4096];
        home = getcwd(cwd, sizeof cwd);
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
    void TearDown() override {
        std::remove("score.txt");
        ASSERT_EQ(chdir(home.c_str()), 0);
        rmdir(dir.c_str());
    }
    static std::string scorefile() {
        std::ifstream in("score.txt");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

// A small world for the dispatch tests: each screen writes where it came from.
screen_result screen1(int32 oldwhere, stats_rec &) {
    put("[1 from ");
    putnum(oldwhere);
    put("]");
    return {oldwhere == -1 ? 7 : 56, 1};
}
screen_result screen7(int32 oldwhere, stats_rec &stats) {
    put("[7 from ");
    putnum(oldwhere);
    put("]");
    stats.points += 120;
    return {1, 7};
}
screen_result screen2(int32, stats_rec &) {
    return {0, 2};
}

using MainLoop = InTempDir;

TEST_F(MainLoop, DispatchesOnWhereUntilItLeavesTheWorld) {
    std::array<screen_handler, 8> table{}; // a world of seven screens
    table[1] = screen1;
    table[7] = screen7;
    stats_rec stats;
    stats.name = padded<3>("Oru");
    usescript("");
    runscreens(table, stats);
    EXPECT_EQ(transcript(), "[1 from -1][7 from 1][1 from 7]") << "nothing more after the end";
    EXPECT_EQ(scorefile(), "Oru\n        120\n          0\nQWX7WEWEWEWE\n\n\n") << "saved once";
}

TEST_F(MainLoop, ANumberBelowOneEndsTheGame) {
    std::array<screen_handler, 8> table{}; // a world of seven screens
    table[1] = [](int32, stats_rec &) { return screen_result{2, 1}; };
    table[2] = screen2;
    stats_rec stats;
    stats.name = padded<3>("Vek");
    runscreens(table, stats);
    EXPECT_EQ(scorefile(), "Vek\n          0\n          0\nE\n\n\n");
}

TEST_F(MainLoop, AWholeGameWithoutAWorldGoesFromTheOpeningToTheScore) {
    stepping_clock clock;
    usescript("\n\n\n\n\n3\nZed\n" + std::string(40, '6') + "2" + std::string(30, '6') + "\n");
    playgame(intro, screen_table{});
    EXPECT_NE(transcript().find("Zed has been sent by the king"), std::string::npos);
    EXPECT_EQ(scorefile(), "Zed\n          0\n          0\nE\n\n\n");
}

} // namespace
