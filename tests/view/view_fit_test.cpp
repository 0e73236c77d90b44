// Zooming about the cursor and bringing the live cells back into view.
#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "viewport.h"

namespace {

TEST(ZoomAbout, TheCellUnderTheCursorStaysUnderItAtEverySizeAndOffset)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX), sizes(kMinCellSize, kMaxCellSize),
        pixels(0, 4000), deltas(-3, 3);
    for (int round = 0; round < 20000; ++round) {
        viewport = {sizes(random), any(random), any(random)};
        const int32_t px = pixels(random), py = pixels(random), delta = deltas(random);
        const Cell before = ScreenToCell(px, py);
        const int32_t expected = std::min(kMaxCellSize, std::max(kMinCellSize, viewport.cellSize + delta));
        ZoomAbout(delta, px, py);
        ASSERT_EQ(viewport.cellSize, expected);
        ASSERT_EQ(ScreenToCell(px, py), before) << "at " << px << ", " << py << " by " << delta;
    }
}

class FitViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(AllocateCellStorage()); }
    void TearDown() override { ReleaseCellStorage(); }
};

TEST_F(FitViewTest, TheLiveCellsBoxComesToTheMiddleAtTheLargestSizeThatHoldsIt)
{
    const struct { const char* name; std::vector<Cell> cells; int32_t width, height, size; Cell first; uint32_t across, down; }
    cases[] = {
        {"a row held by the width", {{0, 5}, {99, 5}}, 1000, 400, 9, {0, 5}, 100, 1},
        {"a column held by the height", {{7, -20}, {9, 29}}, 1000, 500, 9, {7, -20}, 3, 50},
        {"one pixel short", {{0, 0}, {19, 0}}, 300, 100, 14, {0, 0}, 20, 1},
        {"across the plane's ends", {{INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}}, 200, 200, 15, {INT32_MAX, INT32_MAX}, 2, 2},
        {"too far apart for any size", {{-500000, 0}, {500000, 3}}, 800, 600, 2, {-500000, 0}, 1000001, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearCells();
        for (Cell cell : c.cells) {
            ASSERT_TRUE(AddCell(cell.x, cell.y));
        }
        viewport = {40, 123, -456};
        FitView(c.width, c.height);
        ASSERT_EQ(viewport.cellSize, c.size);
        const PixelPoint corner = CellToScreen(c.first.x, c.first.y);
        // Offsets are whole cells: the box's middle lies within one cell of the client's.
        const int64_t right = c.width - (corner.x + int64_t{c.across} * c.size);
        const int64_t bottom = c.height - (corner.y + int64_t{c.down} * c.size);
        EXPECT_LE(std::abs(corner.x - right), 2 * c.size);
        EXPECT_LE(std::abs(corner.y - bottom), 2 * c.size);
        if (c.size > kMinCellSize) {
            EXPECT_TRUE(corner.x >= 0 && corner.y >= 0 && right >= 1 && bottom >= 1);
        }
    }
    ClearCells();
    FitView(300, 200);
    EXPECT_EQ(viewport.cellSize, kInitialCellSize);
    EXPECT_EQ(CellToScreen(0, 0).x, 0);
    EXPECT_EQ(CellToScreen(0, 0).y, 0);
}

}  // namespace
