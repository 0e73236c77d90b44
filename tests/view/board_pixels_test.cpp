#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "board_pixels.h"
#include "cell_table.h"
#include "viewport.h"

namespace {

constexpr uint32_t kUnwritten = 0x00123456;
constexpr size_t kGuard = 64;  // pixels past the last row that nothing may touch

class BoardPixelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(AllocateCellStorage());
        viewport = {kInitialCellSize, 0, 0};
    }
    void TearDown() override { ReleaseCellStorage(); }

    PixelSurface Surface(int32_t width, int32_t height)
    {
        pixels.assign(size_t(width) * size_t(height) + kGuard, kUnwritten);
        return {pixels.data(), width, height};
    }
    uint32_t At(PixelSurface s, int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(s.width) + size_t(x)]; }
    bool GuardIntact(PixelSurface s) const
    {
        return std::all_of(pixels.begin() + ptrdiff_t(s.width) * s.height, pixels.end(),
                           [](uint32_t p) { return p == kUnwritten; });
    }

    std::vector<uint32_t> pixels;
};

// What a pixel must show, from the definitions alone: a live cell's interior, else a grid
// line at a positive multiple of the size, else background.
uint32_t Expected(int32_t x, int32_t y)
{
    const int32_t size = viewport.cellSize;
    if (x % size != 0 && y % size != 0) {
        const Cell cell = ScreenToCell(x, y);
        return IsAlive(cell.x, cell.y) ? kLiveColour : kBackgroundColour;
    }
    return ((x % size == 0 && x > 0) || (y % size == 0 && y > 0)) ? kGridColour : kBackgroundColour;
}

TEST_F(BoardPixelsTest, ALiveCellFillsItsInteriorAndLeavesTheGridAlone)
{
    AddCell(0, 0);
    PixelSurface s = Surface(40, 40);
    PaintBoardPixels(s);
    EXPECT_EQ(At(s, 1, 1), kLiveColour);
    EXPECT_EQ(At(s, 14, 14), kLiveColour);
    EXPECT_EQ(At(s, 14, 0), kBackgroundColour);  // no line at 0
    EXPECT_EQ(At(s, 0, 14), kBackgroundColour);
    EXPECT_EQ(At(s, 15, 1), kGridColour);
    EXPECT_EQ(At(s, 16, 16), kBackgroundColour);
}

TEST_F(BoardPixelsTest, DrawingACellDeadRestoresExactlyAnEmptyCell)
{
    AddCell(1, 1);
    PixelSurface s = Surface(50, 50);
    PaintGridPixels(s);
    const std::vector<uint32_t> empty = pixels;
    PaintBoardPixels(s);
    EXPECT_NE(pixels, empty);
    DrawCellPixels(s, 1, 1, false);
    EXPECT_EQ(pixels, empty);
}

TEST_F(BoardPixelsTest, OffsetsMoveCellsButNeverTheGrid)
{
    PixelSurface s = Surface(64, 48);
    PaintGridPixels(s);
    const std::vector<uint32_t> grid = pixels;
    PanBy(7, -3);
    PaintGridPixels(s);
    EXPECT_EQ(pixels, grid);
    AddCell(-6, 3);
    PaintBoardPixels(s);
    EXPECT_EQ(At(s, 16, 1), kLiveColour);
}

TEST_F(BoardPixelsTest, CellsOffTheSurfaceAreClippedWithoutStrayWrites)
{
    PixelSurface s = Surface(20, 20);
    for (Cell c : {Cell{1, 1}, Cell{-1, 0}, Cell{0, -1}, Cell{2, 0}, Cell{INT32_MAX, INT32_MIN}}) {
        AddCell(c.x, c.y);
        DrawCellPixels(s, c.x, c.y, true);
    }
    EXPECT_EQ(At(s, 16, 16), kLiveColour);  // the corner of (1, 1) that shows
    EXPECT_EQ(At(s, 19, 19), kLiveColour);
    EXPECT_TRUE(GuardIntact(s));
    EXPECT_TRUE(IsEmptyRect(CellInterior(-1, 0, 20, 20)));
    EXPECT_TRUE(IsEmptyRect(CellInterior(0, 0, 0, 0)));
}

// Every pixel of whole boards against the definitions: the smallest and largest sizes, a
// surface wider and taller than 2,048 pixels, odd sizes, pans, and cells cut by an edge (at
// 301 x 256 and size 15, squares start on the last column and the last row).
TEST_F(BoardPixelsTest, WholeBoardsMatchTheirDefinitionPixelForPixel)
{
    const int32_t cases[][3] = {{2100, 2060, kMinCellSize}, {301, 256, 15}, {257, 301, 7}, {450, 230, kMaxCellSize}};
    std::mt19937 random(11);
    for (auto [width, height, size] : cases) {
        ClearCells();
        viewport = {size, int32_t(random() % 21) - 10, int32_t(random() % 21) - 10};
        const Cell first = ScreenToCell(0, 0), last = ScreenToCell(width, height);
        std::uniform_int_distribution<int32_t> xs(first.x - 1, last.x + 1), ys(first.y - 1, last.y + 1);
        for (int i = 0; i < 2000; ++i) {
            AddCell(xs(random), ys(random));
        }
        PixelSurface s = Surface(width, height);
        PaintBoardPixels(s);
        ASSERT_TRUE(GuardIntact(s));
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                ASSERT_EQ(At(s, x, y), Expected(x, y)) << "pixel " << x << "," << y << " size " << size;
            }
        }
    }
}

}  // namespace
