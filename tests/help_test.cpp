// The page of keys on the map: `?` shows it over the walking rules, the frame comes back as it
// was, and the page fills a 24-row terminal; the README, the manual page and the web page's
// keypad say what the table of keys says.
#include "core/console.hpp"
#include "core/textconsole.hpp"
#include "draws.hpp"
#include "support.hpp"
#include "world/help.hpp"
#include "world/movements.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
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

// ---- the lists of keys outside the game, held to the table of keys

std::string sourcefile(const char *name) {
    return slurp(std::filesystem::path(ORBRIDDEN_GOLDEN_DIR).parent_path().parent_path() / name);
}

// Each row of the table as a list shows it: `row(heading, text)`, the heading only on a block's
// first row.
template <class Row>
std::string listed(Row row) {
    std::string out;
    for (std::size_t r = 0; r < std::size(key_rows); ++r) {
        const key_row &k = key_rows[r];
        const bool first = r == 0 || k.where.empty() || k.where != key_rows[r - 1].where;
        out += row(k.where.empty() ? k.key : first ? k.where : std::string_view{}, k.what);
    }
    return out;
}

TEST(Keys, TheReadmeAndTheManualPageListTheTableOfKeys) {
    const std::string readme = listed([](std::string_view heading, std::string_view what) {
        return "| " + std::string(heading) + (heading.empty() ? "" : " ") + "| " +
               std::string(what) + " |\n";
    });
    EXPECT_NE(sourcefile("README.md").find("| where | keys |\n|---|---|\n" + readme),
              std::string::npos)
        << "the README's table of keys is not the game's; it reads:\n"
        << readme;

    // The manual page in groff: a minus is "\-", each block a tagged paragraph.
    auto groff = [](std::string_view text) {
        std::string out;
        for (char c : text) out += c == '-' ? std::string("\\-") : std::string(1, c);
        return out;
    };
    const std::string manual = listed([&](std::string_view heading, std::string_view what) {
        return (heading.empty() ? ".br\n" : ".TP\n.B " + groff(heading) + "\n") + groff(what) +
               "\n";
    });
    EXPECT_NE(sourcefile("orbridden.6").find(manual), std::string::npos)
        << "the manual page's keys are not the game's; they read:\n"
        << manual;
}

// The web page's keypad names what its walking keys do ("8, up"), as the table says it ("8 up").
TEST(Keys, TheWebPagesKeypadSaysWhatTheTableSays) {
    const std::string page = sourcefile("web/index.html");
    const std::regex label(R"re(data-key="([^"]*)" aria-label="([^",]*), ([^"]*)")re");
    int labels = 0;
    for (std::sregex_iterator m(page.begin(), page.end(), label), end; m != end; ++m, ++labels) {
        const std::string key = (*m)[1], named = (*m)[2], what = (*m)[3];
        EXPECT_EQ(named, key) << "a keypad button labelled for another key";
        bool said = false;
        for (const key_row &row : key_rows)
            said = said || row.what.find(key + " " + what) != std::string_view::npos;
        EXPECT_TRUE(said) << "the keypad says " << key << " is " << what
                          << "; the table of keys does not";
    }
    EXPECT_EQ(labels, 4) << "the keypad's four walking keys";
}

} // namespace
