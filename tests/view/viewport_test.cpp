#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "viewport.h"

namespace {

class ViewportTest : public ::testing::Test {
protected:
    void SetUp() override { viewport = {kInitialCellSize, 0, 0}; }
};

TEST_F(ViewportTest, ClicksAndCornersAgreeAtTheStartingView)
{
    EXPECT_EQ(ScreenToCell(0, 0), (Cell{0, 0}));
    EXPECT_EQ(ScreenToCell(14, 14), (Cell{0, 0}));
    EXPECT_EQ(ScreenToCell(15, 29), (Cell{1, 1}));
    EXPECT_EQ(CellToScreen(1, 1).x, 15);
    EXPECT_EQ(CellToScreen(1, 1).y, 15);
}

TEST_F(ViewportTest, OffsetsShiftThePlaneByWholeCells)
{
    viewport.offsetX = 2;
    viewport.offsetY = -1;
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
    ZoomBy(3);
    EXPECT_EQ(viewport.cellSize, 18);
    EXPECT_EQ(CellToScreen(0, 0).x, 0);
    viewport.cellSize = 4;
    ZoomBy(-3);
    EXPECT_EQ(viewport.cellSize, kMinCellSize);
    ZoomBy(-1);
    EXPECT_EQ(viewport.cellSize, kMinCellSize);
    ZoomBy(INT32_MIN);
    EXPECT_EQ(viewport.cellSize, kMinCellSize);
    viewport.cellSize = 99;
    ZoomBy(3);
    EXPECT_EQ(viewport.cellSize, kMaxCellSize);
    ZoomBy(INT32_MAX);
    EXPECT_EQ(viewport.cellSize, kMaxCellSize);
}

TEST_F(ViewportTest, EveryPixelOfACellsSquareMapsBackToThatCell)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> sizes(kMinCellSize, kMaxCellSize);
    for (int round = 0; round < 20000; ++round) {
        viewport = {sizes(random), any(random), any(random)};
        const int32_t px = any(random);
        const int32_t py = any(random);
        const Cell cell = ScreenToCell(px, py);
        const PixelPoint corner = CellToScreen(cell.x, cell.y);
        ASSERT_LE(corner.x, px);
        ASSERT_LT(px, corner.x + viewport.cellSize);
        ASSERT_LE(corner.y, py);
        ASSERT_LT(py, corner.y + viewport.cellSize);
        // The square's far corner too, where it still fits a 32-bit pixel.
        const int64_t farX = corner.x + viewport.cellSize - 1;
        const int64_t farY = corner.y + viewport.cellSize - 1;
        if (corner.x >= INT32_MIN && corner.y >= INT32_MIN && farX <= INT32_MAX && farY <= INT32_MAX) {
            ASSERT_EQ(ScreenToCell(static_cast<int32_t>(corner.x), static_cast<int32_t>(corner.y)), cell);
            ASSERT_EQ(ScreenToCell(static_cast<int32_t>(farX), static_cast<int32_t>(farY)), cell);
        }
    }
}

}  // namespace
