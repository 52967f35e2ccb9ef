// The renderer, `placex` and the special mechanics, on small hand-made maps.
#include "core/console.hpp"
#include "support.hpp"
#include "world/environment.hpp"
#include "world/mechanics.hpp"

#include <gtest/gtest.h>

namespace {

world_matrix filled(unsigned char code) {
    world_matrix m;
    for (auto &row : m.cells) row.fill(code);
    return m;
}

stats_rec hero() {
    stats_rec s;
    s.name = padded<3>("Oru");
    s.health = s.total_health = 35;
    s.magicdust = s.total_magicdust = 25;
    return s;
}

// [SECTION] placex

struct refusal_case {
    const char *what;
    unsigned char code;
};

TEST(Placex, AnyNonBlankCellRefusesTheMoveWithoutCost) {
    const refusal_case cases[] = {{"tree", 5},      {"wall", '-'},  {"label letter", 'M'},
                                  {"invisible", 0}, {"water", 176}, {"the hero's own mark", 'X'}};
    for (const auto &c : cases) {
        world_matrix m = filled(' ');
        m(12, 5) = 'X';
        m(12, 6) = c.code;
        world_matrix before = m;
        stats_rec s = hero();
        s.steps = 50;
        EXPECT_EQ(placex(m, {12, 6, step_right, 10, 'X'}, s), (position_rec{12, 5})) << c.what;
        EXPECT_EQ(m.cells, before.cells) << c.what;
        EXPECT_EQ(s.steps, 50) << c.what;
    }
}

TEST(Placex, RefusalUndoesTheStepInEachDirection) {
    world_matrix m = filled('#');
    stats_rec s = hero();
    EXPECT_EQ(placex(m, {10, 10, step_left, 0, 'X'}, s), (position_rec{10, 11}));
    EXPECT_EQ(placex(m, {10, 10, step_right, 0, 'X'}, s), (position_rec{10, 9}));
    EXPECT_EQ(placex(m, {10, 10, step_up, 0, 'X'}, s), (position_rec{11, 10}));
    EXPECT_EQ(placex(m, {10, 10, step_down, 0, 'X'}, s), (position_rec{9, 10}));
    EXPECT_EQ(placex(m, {10, 10, 7, 0, 'X'}, s), (position_rec{10, 10}));
}

TEST(Placex, AStepClearsTheCellItCameFromAndDrawsTheMark) {
    world_matrix m = filled(' ');
    m(12, 5) = 'X';
    stats_rec s = hero();
    EXPECT_EQ(placex(m, {12, 6, step_right, 0, 'X'}, s), (position_rec{12, 6}));
    EXPECT_EQ(m(12, 5), ' ');
    EXPECT_EQ(m(12, 6), 'X');
    // The cell left behind becomes blank whatever it held.
    m(11, 6) = 'Q';
    m(12, 6) = ' ';
    placex(m, {12, 6, step_down, 0, 1}, s);
    EXPECT_EQ(m(11, 6), ' ');
    EXPECT_EQ(m(12, 6), 1);
}

TEST(Placex, StepCountdownTable) {
    struct {
        int32 steps, chance, after;
    } cases[] = {{7, 10, 0}, {50, 15, 35}, {10, 10, 0}, {0, 10, 0}, {-1, 10, -1}, {50, 0, 50}};
    for (const auto &c : cases) {
        world_matrix m = filled(' ');
        stats_rec s = hero();
        s.steps = c.steps;
        placex(m, {5, 5, step_up, c.chance, 'X'}, s);
        EXPECT_EQ(s.steps, c.after) << "steps " << c.steps << " chance " << c.chance;
    }
}

TEST(Placex, EntryPlacementClearsNothingAndOccupiedEntryDrawsNothing) {
    world_matrix m = filled(' ');
    m(11, 39) = '#';
    m(12, 40) = 'Q';
    stats_rec s = hero();
    EXPECT_EQ(placex(m, {11, 40, no_step, 0, 'X'}, s), (position_rec{11, 40}));
    EXPECT_EQ(m(11, 40), 'X');
    EXPECT_EQ(m(11, 39), '#');
    EXPECT_EQ(m(12, 40), 'Q');
    world_matrix before = m;
    EXPECT_EQ(placex(m, {12, 40, no_step, 0, 'X'}, s), (position_rec{12, 40}));
    EXPECT_EQ(m.cells, before.cells);
    // A key that is not a move finds the mark itself and changes nothing.
    EXPECT_EQ(placex(m, {11, 40, no_step, 10, 'X'}, s), (position_rec{11, 40}));
    EXPECT_EQ(m.cells, before.cells);
}

TEST(Placex, ATargetOffTheMatrixIsRefusedWithoutTouchingIt) {
    world_matrix m = filled(' ');
    stats_rec s = hero();
    s.steps = 40;
    world_matrix before = m;
    EXPECT_EQ(placex(m, {0, 5, step_up, 10, 'X'}, s), (position_rec{1, 5}));
    EXPECT_EQ(placex(m, {23, 5, step_down, 10, 'X'}, s), (position_rec{22, 5}));
    EXPECT_EQ(placex(m, {5, 0, step_left, 10, 'X'}, s), (position_rec{5, 1}));
    EXPECT_EQ(placex(m, {5, 79, step_right, 10, 'X'}, s), (position_rec{5, 78}));
    EXPECT_EQ(m.cells, before.cells);
    EXPECT_EQ(s.steps, 40);
    // A step whose origin would lie off the grid draws the mark but clears nothing there.
    EXPECT_EQ(placex(m, {5, 78, step_left, 0, 'X'}, s), (position_rec{5, 78}));
    EXPECT_EQ(m(5, 78), 'X');
}

// [SECTION] outmap

TEST(Outmap, PrintsNameStatusAndTwentyTwoRowsOfSeventyEightCells) {
    world_matrix m = filled(' ');
    m(1, 1) = 5;
    m(22, 78) = 0;
    m(3, 4) = 176;
    stats_rec s = hero();
    s.health = 18;
    s.total_health = 30;
    s.weapon.armor = 2;
    s.shield.armor = 6;
    s.shield.magic = 3;
    s.money = -20;
    s.points = 1234;
    usescript("");
    outmap(m, s);
    auto lines = splitlines(transcript());
    ASSERT_EQ(lines.size(), 25u); // 24 lines and the empty rest after the last line end
    EXPECT_EQ(lines[0], "Oru");
    EXPECT_EQ(lines[1], "         Health 18/38     Magic 25/28        $-20         Points 1234");
    EXPECT_EQ(lines[2], "\u2663" + std::string(77, ' '));
    EXPECT_EQ(lines[4], "   \u2591" + std::string(74, ' '));
    EXPECT_EQ(lines[23], std::string(78, ' ')); // code 0 shows as an empty cell
    EXPECT_EQ(lines[24], "");
}

// [SECTION] shadowx

// A tunnel map: rock everywhere but a lit square around the hero at (row, col).
world_matrix tunnel(int row, int col) {
    world_matrix m = filled('*');
    lightsquare(m, row, col);
    m(row, col) = 'X';
    return m;
}

TEST(Shadowx, AfterAStepOnlyTheSquareAroundTheMarkIsLit) {
    world_matrix m = tunnel(10, 40);
    stats_rec s = hero();
    s.steps = 100;
    EXPECT_EQ(shadowx(m, {10, 41, step_right, 10, 'X'}, s), (position_rec{10, 41}));
    EXPECT_EQ(s.steps, 90);
    for (int r = 1; r <= map_rows; ++r)
        for (int c = 1; c <= map_cols; ++c) {
            bool inside = r >= 8 && r <= 12 && c >= 39 && c <= 43;
            unsigned char want = r == 10 && c == 41 ? 'X' : inside ? ' ' : '*';
            ASSERT_EQ(m(r, c), want) << "cell " << r << "," << c;
        }
}

TEST(Shadowx, NearTheEdgesTheMarkIsPulledBackAndTheSquareStaysOnTheGrid) {
    struct {
        int from_row, from_col, dir, to_row, to_col;
        position_rec lands;
        int lit_row1, lit_col1; // the lit square's top left corner
    } cases[] = {
        {3, 40, step_up, 2, 40, {3, 40}, 1, 38},  {20, 40, step_down, 21, 40, {20, 40}, 18, 38},
        {10, 3, step_left, 10, 2, {10, 3}, 8, 1}, {10, 76, step_right, 10, 77, {10, 76}, 8, 74},
        {3, 3, step_up, 2, 3, {3, 3}, 1, 1},
    };
    for (const auto &c : cases) {
        world_matrix m = tunnel(c.from_row, c.from_col);
        stats_rec s = hero();
        EXPECT_EQ(shadowx(m, {c.to_row, c.to_col, c.dir, 0, 'X'}, s), c.lands) << c.from_row;
        for (int r = c.lit_row1; r < c.lit_row1 + 5; ++r)
            for (int k = c.lit_col1; k < c.lit_col1 + 5; ++k)
                EXPECT_NE(m(r, k), '*') << "cell " << r << "," << k;
        EXPECT_EQ(m(c.lands.row, c.lands.col), 'X');
    }
}

TEST(Shadowx, ARefusedStepChangesNothingAndKeepsOffTheOuterRing) {
    world_matrix m = filled('*');
    m(5, 5) = 'X';
    world_matrix before = m;
    stats_rec s = hero();
    s.steps = 30;
    EXPECT_EQ(shadowx(m, {5, 6, step_right, 10, 'X'}, s), (position_rec{5, 5}));
    EXPECT_EQ(shadowx(m, {1, 9, step_up, 10, 'X'}, s), (position_rec{2, 9}));
    EXPECT_EQ(shadowx(m, {22, 9, step_down, 10, 'X'}, s), (position_rec{21, 9}));
    EXPECT_EQ(shadowx(m, {9, 0, step_left, 10, 'X'}, s), (position_rec{9, 2}));
    EXPECT_EQ(shadowx(m, {9, 79, step_right, 10, 'X'}, s), (position_rec{9, 77}));
    EXPECT_EQ(m.cells, before.cells);
    EXPECT_EQ(s.steps, 30);
}

TEST(Shadowx, APlacementInACornerWritesOnlyInsideTheGrid) {
    world_matrix m = filled('*');
    m(1, 1) = ' ';
    stats_rec s = hero();
    EXPECT_EQ(shadowx(m, {1, 1, no_step, 0, 'X'}, s), (position_rec{3, 1}));
    EXPECT_EQ(m(3, 1), 'X');
    EXPECT_EQ(m(1, 3), ' ');
    EXPECT_EQ(m(1, 4), '*');
}

// [SECTION] mirrorx

TEST(Mirrorx, ReflectionsShowOnTheFirstWallInEachDirection) {
    world_matrix m = filled(' ');
    m(10, 43) = 0; // an invisible wall three cells to the right
    m(9, 40) = 0;  // and one right above
    stats_rec s = hero();
    s.steps = 20;
    EXPECT_EQ(mirrorx(m, {10, 40, no_step, 15, 'X'}, s), (position_rec{10, 40}));
    EXPECT_EQ(m(10, 40), 'X');
    EXPECT_EQ(m(10, 43), 'x');
    EXPECT_EQ(m(9, 40), 'X');
    EXPECT_EQ(m(10, 1), ' '); // nothing to the left and below: no reflection at the edge
    EXPECT_EQ(m(22, 40), ' ');
    EXPECT_EQ(s.steps, 5);

    // A step down: the old reflections vanish but the walls still block.
    EXPECT_EQ(mirrorx(m, {11, 40, step_down, 15, 'X'}, s), (position_rec{11, 40}));
    EXPECT_EQ(m(10, 40), ' ');
    EXPECT_EQ(m(10, 43), 0);
    EXPECT_EQ(m(9, 40), 'x'); // seen again from further away, through the cell left behind
    EXPECT_EQ(m(11, 40), 'X');
    EXPECT_EQ(s.steps, 0);
    world_matrix before = m;
    EXPECT_EQ(mirrorx(m, {10, 43, step_right, 15, 'X'}, s), (position_rec{10, 42}));
    EXPECT_EQ(m.cells, before.cells);
}

TEST(Mirrorx, AVisibleWallThatShowedAReflectionTurnsInvisible) {
    world_matrix m = filled(' ');
    m(10, 45) = '#';
    stats_rec s = hero();
    mirrorx(m, {10, 40, no_step, 0, 'X'}, s);
    EXPECT_EQ(m(10, 45), 'x');
    mirrorx(m, {9, 40, step_up, 0, 'X'}, s);
    EXPECT_EQ(m(10, 45), 0);
    // A target off the grid is refused.
    EXPECT_EQ(mirrorx(m, {0, 40, step_up, 0, 'X'}, s), (position_rec{1, 40}));
}

// [SECTION] setwaves

TEST(Setwaves, OldWavesGoAndNewOnesSkipTheTargetRowAndColumn) {
    world_matrix m = filled(' ');
    wave_array old;
    for (int i = 1; i <= 10; ++i) old[i] = {4 + i, 20 + i};
    setwaves(m, old, old, 0, 0);
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(m(4 + i, 20 + i), '~');
    wave_array next;
    for (int i = 1; i <= 10; ++i) next[i] = {10, 30 + i}; // all in the target's row ...
    next[10] = {12, 50};                                  // ... one in its column
    next[9] = {13, 60};                                   // ... and one elsewhere
    setwaves(m, next, old, 10, 50);
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(m(4 + i, 20 + i), ' ');
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(m(10, 30 + i), ' ');
    EXPECT_EQ(m(12, 50), ' ');
    EXPECT_EQ(m(13, 60), '~');
}

// [SECTION] movebrickx

// The puzzle floor (code 0) framed by ♦, the hero at (10,10) and letters around him.
world_matrix puzzle() {
    world_matrix m = filled(0);
    for (int c = 1; c <= map_cols; ++c) m(1, c) = m(22, c) = puzzle_wall;
    for (int r = 1; r <= map_rows; ++r) m(r, 1) = m(r, map_cols) = puzzle_wall;
    m(10, 10) = 'X';
    return m;
}

TEST(Movebrickx, TheHeroWalksTheFloorAndPushesLetters) {
    world_matrix m = puzzle();
    stats_rec s = hero();
    s.steps = 30;
    EXPECT_EQ(movebrickx(m, {10, 11, step_right}, s), (position_rec{10, 11}));
    EXPECT_EQ(m(10, 10), 0);
    EXPECT_EQ(m(10, 11), 'X');
    m(10, 12) = 'V';
    EXPECT_EQ(movebrickx(m, {10, 12, step_right}, s), (position_rec{10, 12}));
    EXPECT_EQ(m(10, 13), 'V');
    EXPECT_EQ(m(10, 12), 'X');
    EXPECT_EQ(m(10, 11), 0);
    EXPECT_EQ(s.steps, 30); // no step is counted here
}

TEST(Movebrickx, ALetterThatCannotMoveStopsTheHero) {
    const unsigned char blockers[] = {puzzle_wall, puzzle_brick, 'e'};
    for (unsigned char b : blockers) {
        world_matrix m = puzzle();
        m(10, 11) = 'V';
        m(10, 12) = b;
        world_matrix before = m;
        stats_rec s = hero();
        EXPECT_EQ(movebrickx(m, {10, 11, step_right}, s), (position_rec{10, 10})) << int(b);
        EXPECT_EQ(m.cells, before.cells) << int(b);
    }
    world_matrix m = puzzle();
    world_matrix before = m;
    stats_rec s = hero();
    m(10, 11) = puzzle_brick;
    before(10, 11) = puzzle_brick;
    EXPECT_EQ(movebrickx(m, {10, 11, step_right}, s), (position_rec{10, 10}));
    EXPECT_EQ(movebrickx(m, {10, 10, no_step}, s), (position_rec{10, 10}));
    EXPECT_EQ(m.cells, before.cells);
}

TEST(Movebrickx, ALetterPushedDownOntoTheBottomRowBreaks) {
    world_matrix m = puzzle();
    m(10, 10) = 0;
    m(21, 39) = 'X';
    m(22, 39) = 'k'; // a letter lying in the open bottom gap
    stats_rec s = hero();
    EXPECT_EQ(movebrickx(m, {22, 39, step_down}, s), (position_rec{22, 39}));
    EXPECT_EQ(m(22, 39), 'X');
    EXPECT_EQ(m(21, 39), 0);
}

TEST(Movebrickx, NoPushLeavesTheGrid) {
    // A letter in the open top gate, pushed up again, and letters against the side edges.
    world_matrix m = filled(0);
    m(2, 39) = 'X';
    m(1, 39) = 'V';
    world_matrix before = m;
    stats_rec s = hero();
    EXPECT_EQ(movebrickx(m, {1, 39, step_up}, s), (position_rec{2, 39}));
    EXPECT_EQ(m.cells, before.cells);
    m(2, 39) = 0;
    m(5, 2) = 'X';
    m(5, 1) = 'e';
    before = m;
    EXPECT_EQ(movebrickx(m, {5, 1, step_left}, s), (position_rec{5, 2}));
    EXPECT_EQ(movebrickx(m, {5, 0, step_left}, s), (position_rec{5, 1}));
    EXPECT_EQ(m.cells, before.cells);
}

// [SECTION] chasex

world_matrix chase() {
    world_matrix m = filled(' ');
    const char *figure[] = {"{O}", "|[]", "/ \\"};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m(11 + r, 74 + c) = static_cast<unsigned char>(figure[r][c]);
    m(12, 40) = 'X';
    return m;
}

TEST(Chasex, TheFigureRunsOffWhileTheHeroIsFarAway) {
    world_matrix m = chase();
    stats_rec s = hero();
    s.steps = 50;
    int col = 40;
    for (int k = 1; k <= 4; ++k) chasex(m, {12, ++col, step_right, 10}, s);
    EXPECT_EQ(m(11, 78), '{');
    EXPECT_EQ(m(12, 78), '|');
    chasex(m, {12, col, no_step, 10}, s); // even a key that is no move drives it on
    for (int r = 11; r <= 13; ++r)
        for (int c = 73; c <= 78; ++c) EXPECT_EQ(m(r, c), ' ') << r << "," << c;
    EXPECT_EQ(s.steps, 50); // the chase counts no steps
}

TEST(Chasex, ItStandsStillOnceTheHeroIsNear) {
    world_matrix m = chase();
    m(12, 40) = ' ';
    m(12, 72) = 'X';
    stats_rec s = hero();
    EXPECT_EQ(chasex(m, {12, 73, step_right, 0}, s), (position_rec{12, 73}));
    world_matrix before = m;
    EXPECT_EQ(chasex(m, {12, 74, step_right, 0}, s), (position_rec{12, 73})); // the figure blocks
    EXPECT_EQ(m.cells, before.cells);
}

// [SECTION] opencastlegate

TEST(CastleGate, OpensTheGateAndTheBridge) {
    world_matrix m = filled(176);
    opencastlegate(m);
    for (int r = 4; r <= 11; ++r)
        for (int c = 36; c <= 42; ++c)
            if (r != 4 || (c != 36 && c != 42)) {
                EXPECT_EQ(m(r, c), ' ') << r << "," << c;
            }
    EXPECT_EQ(m(4, 36), '/');
    EXPECT_EQ(m(4, 42), '\\');
    for (int r = 9; r <= 11; ++r) EXPECT_TRUE(m(r, 35) == '|' && m(r, 43) == '|') << r;
    EXPECT_EQ(m(8, 35), 176);
    EXPECT_EQ(m(12, 39), 176);
}

} // namespace
