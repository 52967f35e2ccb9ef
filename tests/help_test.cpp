// The page of keys on the map: `?` shows it over the walking rules, the frame comes back as it
// was, and the page fills a 24-row terminal.
#include "core/console.hpp"
#include "core/textconsole.hpp"
#include "draws.hpp"
#include "support.hpp"
#include "world/movements.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

// An open field framed by '#'.
void field(world_matrix &m, const stats_rec &) {
    for (auto &row : m.cells) row.fill(' ');
    for (int c = 1; c <= map_cols; ++c) m(1, c) = m(map_rows, c) = '#';
    for (int r = 1; r <= map_rows; ++r) m(r, 1) = m(r, map_cols) = '#';
}

int keys_seen = 0;
void seekey(stats_rec &, visit_rec &) {
    ++keys_seen;
}
int fights = 0;
void fought(stats_rec &, int32) {
    ++fights;
}
constexpr foe_rec foes[] = {{1, fought, 10}};

// A screen where every other key does something: it turns the keys round, counts steps to a
// fight, has a key event of its own and, on the sea, draws waves at each key.
constexpr screen_rec busy{
    .number = 7,
    .build = field,
    .cost = 10,
    .reversed = true,
    .entries = {{{.from = 3, .row = 12, .col = 39}}},
    .check = countdown::fights,
    .foes = foes,
    .onkey = seekey,
};

// A visit to a screen, its first frame drawn, with "x" scripted to leave the page of keys.
struct visit_fixture {
    visit_rec visit;
    stats_rec stats = newhero();
    std::string frame;

    explicit visit_fixture(const screen_rec &screen) {
        usescript("x");
        stepping_clock clock; // the sea's first waves
        enterscreen(screen, visit, 3, stats);
        frame = transcript();
    }
};

TEST(Help, TheKeysPageTakesNoStepDrawsNoChanceAndBringsTheSameFrameBack) {
    struct help_case {
        const char *what;
        bool sea;
        int32 steps; // 0: the next key fights; -1: the next key draws a new countdown
    };
    const help_case cases[] = {
        {"a fight due", false, 0},
        {"a countdown to draw", false, -1},
        {"at sea", true, 500},
    };
    for (const help_case &c : cases) {
        SCOPED_TRACE(c.what);
        screen_rec screen = busy;
        screen.sea = c.sea;
        visit_fixture v(screen);
        v.stats.steps = c.steps;
        const visit_rec was = v.visit;
        const stats_rec had = v.stats;
        keys_seen = fights = 0;
        {
            planned_draws none({}); // a clock reading would throw
            EXPECT_EQ(stepscreen(screen, v.visit, '?', v.stats), stay);
        }
        EXPECT_THROW(key(), input_closed) << "the page did not take its key";
        const std::string shown = transcript();
        ASSERT_GT(shown.size(), v.frame.size());
        EXPECT_EQ(shown.substr(shown.size() - v.frame.size()), v.frame) << "the same frame again";
        EXPECT_EQ(v.stats, had);
        EXPECT_EQ(v.visit.row, was.row);
        EXPECT_EQ(v.visit.col, was.col);
        EXPECT_EQ(v.visit.map.cells, was.map.cells);
        EXPECT_EQ(keys_seen, 0) << "the screen's own key event ran";
        EXPECT_EQ(fights, 0);
    }
}

TEST(Help, AfterThePageTheNextKeyWalksAsBefore) {
    visit_fixture v(busy);
    v.stats.steps = 500;
    keys_seen = 0;
    stepscreen(busy, v.visit, '?', v.stats);
    stepscreen(busy, v.visit, '2', v.stats); // reversed: up
    EXPECT_EQ(v.visit.row, 11);
    EXPECT_EQ(v.stats.steps, 490);
    EXPECT_EQ(keys_seen, 1);
}

// On a 24-row terminal the page shows whole, heading to notice, with nothing of the map above
// it; no line wraps (a wrapped line would push it a row further).
TEST(Help, ThePageFillsATwentyFourRowTerminal) {
    visit_fixture v(busy);
    stepscreen(busy, v.visit, '?', v.stats);
    const std::string shown = transcript();
    const std::string page = shown.substr(0, shown.size() - v.frame.size());
    const lines printed = splitlines(page);
    ASSERT_EQ(printed.size(), 25u) << "24 lines, the notice ending the last";
    EXPECT_TRUE(printed[23].ends_with("PRESS ENTER"));
    EXPECT_EQ(printed[24], "");

    text_console con;
    consoleput(con, v.frame + page); // both in plain ASCII: their codes are their bytes
    const int first = firstrow(con, 24);
    for (int r = 0; r < 24; ++r)
        EXPECT_EQ(rowtext(con.line(first + r)), printed[r]) << "row " << r + 1;
    for (const std::string &l : printed) EXPECT_LE(columns(l), 79u) << l;
}

} // namespace
