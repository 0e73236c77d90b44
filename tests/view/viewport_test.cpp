#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "viewport.h"

namespace {

class ViewportTest : public ::testing::Test {
protected:
    void SetUp() override { viewport = {kInitialCellSize, 0, 0}; }
};

TEST_F(ViewportTest, ClicksAndCornersFollowTheSizeAndWholeCellOffsets)
{
    EXPECT_EQ(ScreenToCell(14, 14), (Cell{0, 0}));
    EXPECT_EQ(ScreenToCell(15, 29), (Cell{1, 1}));
    EXPECT_EQ(CellToScreen(1, 1).x, 15);
    PanBy(2, -1);
    EXPECT_EQ(CellToScreen(-2, 1).x, 0);
    EXPECT_EQ(CellToScreen(-2, 1).y, 0);
    EXPECT_EQ(ScreenToCell(20, 20), (Cell{-1, 2}));
    PanBy(1, 0);
    EXPECT_EQ(CellToScreen(-2, 1).x, 15);  // the pattern moves right
}

TEST_F(ViewportTest, ExtremeCellsAndOffsetsNeitherOverflowNorLeaveThePlane)
{
    viewport.cellSize = kMaxCellSize;
    EXPECT_EQ(CellToScreen(INT32_MAX, INT32_MIN).x, int64_t{INT32_MAX} * kMaxCellSize);
    EXPECT_EQ(CellToScreen(INT32_MAX, INT32_MIN).y, int64_t{INT32_MIN} * kMaxCellSize);
    // The plane wraps: right of INT32_MAX comes INT32_MIN.
    viewport.offsetX = INT32_MAX;
    PanBy(1, INT32_MIN);
    EXPECT_EQ(viewport.offsetX, INT32_MIN);
    EXPECT_EQ(ScreenToCell(0, 0), (Cell{INT32_MIN, INT32_MIN}));
    EXPECT_EQ(CellToScreen(INT32_MIN, INT32_MIN).x, 0);
}

TEST_F(ViewportTest, ZoomStopsAtTheEndsOfItsRange)
{
    const int32_t cases[][3] = {{15, 3, 18},       {4, -3, 2},         {2, -1, 2},  {99, 3, 100},
                                {100, 1, 100}, {50, INT32_MIN, 2}, {50, INT32_MAX, 100}};
    for (auto [from, delta, to] : cases) {
        viewport.cellSize = from;
        ZoomBy(delta);
        EXPECT_EQ(viewport.cellSize, to) << from << " by " << delta;
    }
    EXPECT_EQ(CellToScreen(0, 0).x, 0);
}

TEST_F(ViewportTest, EveryPixelOfACellsSquareMapsBackToThatCell)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX), sizes(kMinCellSize, kMaxCellSize);
    for (int round = 0; round < 20000; ++round) {
        viewport = {sizes(random), any(random), any(random)};
        const int32_t px = any(random), py = any(random);
        const Cell cell = ScreenToCell(px, py);
        const PixelPoint corner = CellToScreen(cell.x, cell.y);
        ASSERT_TRUE(corner.x <= px && px < corner.x + viewport.cellSize) << px;
        ASSERT_TRUE(corner.y <= py && py < corner.y + viewport.cellSize) << py;
        // The square's corners too, where they still fit a 32-bit pixel.
        const int64_t farX = corner.x + viewport.cellSize - 1, farY = corner.y + viewport.cellSize - 1;
        if (corner.x >= INT32_MIN && corner.y >= INT32_MIN && farX <= INT32_MAX && farY <= INT32_MAX) {
            ASSERT_EQ(ScreenToCell(int32_t(corner.x), int32_t(corner.y)), cell);
            ASSERT_EQ(ScreenToCell(int32_t(farX), int32_t(farY)), cell);
        }
    }
}

}  // namespace
