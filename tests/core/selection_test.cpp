// The selection's edits: against a model that walks a small rectangle's cells one by one, undone by
// themselves on rectangles up to the whole plane, and at the limits.
#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "selection.h"

namespace {

void AddNew(std::vector<Cell>& board, Cell c)
{
    std::find(board.begin(), board.end(), c) == board.end() ? board.push_back(c) : void();
}

// Where the cell lies in the w x h rectangle from `corner`, found by walking its cells.
bool Find(Cell c, Cell corner, int w, int h, int& i, int& j)
{
    for (i = 0; i < w; ++i) {
        for (j = 0; j < h; ++j) {
            if (WrapAdd(corner.x, i) == c.x && WrapAdd(corner.y, j) == c.y) {
                return true;
            }
        }
    }
    return false;
}

// Up to 7 x 7 cells, near the origin and across the plane's ends, on boards of cells around them.
// Each edit keeps the cells outside the source in order, then moves the source's cells in order; a
// moved cell landing on a live one merges with it, so no cell outside the source changes.
TEST(Selection, EditsOfSmallRectanglesMatchAModelThatWalksTheirCells)
{
    using Edit = std::vector<Cell> (*)(const std::vector<Cell>&, CellRect);
    using Map = void (*)(int& i, int& j, int w, int h);
    const struct { Edit edit; bool turns; Map map; } edits[] = {
        {CellsOutside, false, [](int&, int&, int, int) {}},
        {CellsInside, false, [](int&, int&, int, int) {}},
        {FlipLeftRight, false, [](int& i, int&, int w, int) { i = w - 1 - i; }},
        {FlipUpDown, false, [](int&, int& j, int, int h) { j = h - 1 - j; }},
        {RotateClockwise, true, [](int& i, int& j, int, int h) { std::swap(i, j), i = h - 1 - i; }},
        {RotateAnticlockwise, true, [](int& i, int& j, int w, int) { std::swap(i, j), j = w - 1 - j; }},
    };
    std::mt19937 rng(5);
    const int32_t corners[] = {-3, INT32_MAX - 3, INT32_MIN};
    for (int round = 0; round < 3000; ++round) {
        const int w = 1 + int(rng() % 7), h = 1 + int(rng() % 7);
        const Cell corner = {corners[rng() % 3], corners[rng() % 3]};
        const CellRect r = {corner.x, corner.y, WrapAdd(corner.x, w - 1), WrapAdd(corner.y, h - 1)};
        std::vector<Cell> board;
        for (int k = int(rng() % 80); k > 0; --k) {
            AddNew(board, {WrapAdd(corner.x, int32_t(rng() % 15) - 4), WrapAdd(corner.y, int32_t(rng() % 15) - 4)});
        }
        const Cell turned = {WrapAdd(corner.x, (w - h) / 2), WrapAdd(corner.y, (h - w) / 2)};  // rounded towards 0
        for (const auto& e : edits) {
            const Cell to = e.turns ? turned : corner;
            std::vector<Cell> expected, moved;
            int i, j;
            for (Cell c : board) {
                if (Find(c, corner, w, h, i, j)) {
                    e.map(i, j, w, h);
                    moved.push_back({WrapAdd(to.x, i), WrapAdd(to.y, j)});
                } else {
                    expected.push_back(c);
                }
            }
            // Delete and Clear outside move nothing: each keeps one side.
            e.edit == CellsInside ? expected.clear() : e.edit == CellsOutside ? moved.clear() : void();
            for (Cell c : moved) {
                AddNew(expected, c);
            }
            ASSERT_EQ(e.edit(board, r), expected) << "round " << round << ", " << w << " x " << h;
        }
    }
}

// Sides of 1 to 2^32 cells: the turned rectangle keeps the centre within half a cell and turns back
// into the first; four turns give every cell back where the turned rectangle holds none but r's
// (a cell there is swept along by the next turn), and so do two flips, the rectangle's cells after
// the rest.
TEST(Selection, TurnsAndFlipsOfAnySizeUndoThemselves)
{
    std::mt19937_64 rng(9);
    const uint64_t sides[] = {1, 2, 7, uint64_t{1} << 31, (uint64_t{1} << 32) - 1, uint64_t{1} << 32};
    for (int round = 0; round < 3000; ++round) {
        const auto side = [&] { return rng() % 2 ? sides[rng() % 6] : 1 + rng() % (uint64_t{1} << 32); };
        const uint64_t w = side(), h = side();
        const Cell corner = {int32_t(rng()), int32_t(rng())};
        const CellRect r = {corner.x, corner.y, WrapAdd(corner.x, int32_t(w - 1)), WrapAdd(corner.y, int32_t(h - 1))};
        const CellRect t = TurnedRect(r);
        ASSERT_TRUE(RectWidth(t) == h && RectHeight(t) == w && TurnedRect(t) == r);
        ASSERT_TRUE(std::abs(2 * int64_t{WrapSub(t.left, r.left)} + int64_t(h) - int64_t(w)) <= 1 &&
                    std::abs(2 * int64_t{WrapSub(t.top, r.top)} + int64_t(w) - int64_t(h)) <= 1);
        std::vector<Cell> board;
        const int32_t xs[] = {r.left, r.right, t.left, t.right, int32_t(rng())};
        const int32_t ys[] = {r.top, r.bottom, t.top, t.bottom};
        for (int k = 0; k < 60; ++k) {
            const int32_t dx = int32_t(rng() % 5) - 2, dy = int32_t(rng() % 5) - 2;
            AddNew(board, {WrapAdd(xs[rng() % 5], dx), WrapAdd(ys[rng() % 4], dy)});
        }
        std::vector<Cell> turned = CellsOutside(CellsOutside(board, r), t), flipped = CellsOutside(board, r);
        const std::vector<Cell> inside = CellsInside(board, r);
        turned.insert(turned.end(), inside.begin(), inside.end());
        flipped.insert(flipped.end(), inside.begin(), inside.end());
        std::vector<Cell> fourTurns = turned;
        for (CellRect q : {r, t, r, t}) {
            fourTurns = RotateClockwise(fourTurns, q);
        }
        ASSERT_EQ(fourTurns, turned) << round;
        ASSERT_EQ(FlipLeftRight(FlipLeftRight(board, r), r), flipped) << round;
        ASSERT_EQ(FlipUpDown(FlipUpDown(board, r), r), flipped) << round;
    }
}

// The counts at the plane's size, a drag's rectangle the short way round, the smallest rectangle
// across the ends and its tie, the random fill at its limit and drawn anew each time, and a paste
// over live cells.
TEST(Selection, CountsDragsFillsAndPastesAtTheLimits)
{
    const uint64_t plane = uint64_t{1} << 32;
    EXPECT_EQ(RectCellCount({7, 7, 6, 6}), UINT64_MAX);
    EXPECT_EQ(RectCellCount({0, 0, -1, -2}), plane * (plane - 1));
    EXPECT_EQ(RectCellCount({INT32_MAX, 0, INT32_MIN, 2}), 6u);
    EXPECT_EQ(RectBetween({5, 9}, {2, 12}), (CellRect{2, 9, 5, 12}));
    EXPECT_EQ(RectBetween({INT32_MIN + 1, 0}, {INT32_MAX, INT32_MIN}),
              (CellRect{INT32_MAX, 0, INT32_MIN + 1, INT32_MIN}));
    CellRect r = {1, 2, 3, 4};
    EXPECT_FALSE(RectAround({}, r));
    ASSERT_TRUE(RectAround({{INT32_MAX, 9}, {INT32_MIN + 1, 7}, {INT32_MAX - 2, 8}}, r));
    EXPECT_EQ(r, (CellRect{INT32_MAX - 2, 7, INT32_MIN + 1, 9}));
    // Two gaps of 2^31: the pattern's box reads from INT32_MIN, the view's fit from 0.
    EXPECT_TRUE(ShortestArc({0, INT32_MIN}, INT32_MIN).start == INT32_MIN && ShortestArc({0, INT32_MIN}, 0).start == 0);

    const CellRect fill = {INT32_MAX - 99, INT32_MAX - 49, INT32_MIN + 99, INT32_MIN + 49};  // 20,000 cells
    const std::vector<Cell> board = {{0, 0}, {INT32_MAX, INT32_MAX}, {5, 5}};
    uint64_t state = 42, again = 42;
    const std::vector<Cell> filled = RandomFill(board, fill, state);
    EXPECT_TRUE(RandomFill(board, fill, again) == filled && state == again && state != 42);
    EXPECT_TRUE(filled[0] == board[0] && filled[1] == board[2]);
    EXPECT_EQ(CellsInside(filled, fill).size(), filled.size() - 2);
    EXPECT_NEAR(double(filled.size()), 10002, 300);
    EXPECT_EQ(RandomFill(board, {0, 0, 20000, 0}, state), board);
    // The user's fills share one sequence that every draw moves on, refused or not: a retry draws anew.
    SeedFills(42);
    EXPECT_EQ(NextFill(board, fill), filled);
    EXPECT_NE(NextFill(board, fill), filled);

    const Stamp stamp = MakeStamp({{INT32_MAX, 3}, {INT32_MIN, 3}, {INT32_MAX, 3}, {INT32_MIN + 1, 4}});
    EXPECT_EQ(stamp.cells, (std::vector<Cell>{{0, 0}, {1, 0}, {2, 1}}));
    EXPECT_EQ(StampRect(stamp, {INT32_MAX, -1}), (CellRect{INT32_MAX, -1, INT32_MIN + 1, 0}));
    EXPECT_EQ(PlaceStamp({{9, 9}, {INT32_MIN, -1}}, stamp, {INT32_MAX, -1}),
              (std::vector<Cell>{{9, 9}, {INT32_MIN, -1}, {INT32_MAX, -1}, {INT32_MIN + 1, 0}}));
}

}  // namespace
