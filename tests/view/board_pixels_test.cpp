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
        buffer.assign(size_t(width) * size_t(height) + kGuard, kUnwritten);
        return {buffer.data(), width, height};
    }
    uint32_t At(PixelSurface s, int32_t x, int32_t y) const { return buffer[size_t(y) * size_t(s.width) + size_t(x)]; }
    bool GuardIntact(PixelSurface s) const
    {
        for (size_t i = size_t(s.width) * size_t(s.height); i < buffer.size(); ++i) {
            if (buffer[i] != kUnwritten) {
                return false;
            }
        }
        return true;
    }

    std::vector<uint32_t> buffer;
};

// What a pixel must show, from the definitions alone: a live cell's interior, else a grid
// line at a positive multiple of the size, else background.
uint32_t Expected(int32_t x, int32_t y)
{
    const int32_t size = viewport.cellSize;
    const bool onVertical = x % size == 0;
    const bool onHorizontal = y % size == 0;
    if (!onVertical && !onHorizontal) {
        Cell cell = ScreenToCell(x, y);
        return IsAlive(cell.x, cell.y) ? kLiveColour : kBackgroundColour;
    }
    return ((onVertical && x > 0) || (onHorizontal && y > 0)) ? kGridColour : kBackgroundColour;
}

TEST_F(BoardPixelsTest, ALiveCellFillsItsInteriorAndLeavesTheGridAlone)
{
    AddCell(0, 0);
    PixelSurface s = Surface(40, 40);
    PaintBoardPixels(s);
    for (int32_t i = 1; i <= 14; ++i) {
        for (int32_t j = 1; j <= 14; ++j) {
            ASSERT_EQ(At(s, j, i), kLiveColour);
        }
    }
    for (int32_t k = 0; k <= 14; ++k) {
        EXPECT_EQ(At(s, k, 0), kBackgroundColour);  // no line at 0
        EXPECT_EQ(At(s, 0, k), kBackgroundColour);
    }
    EXPECT_EQ(At(s, 15, 1), kGridColour);
    EXPECT_EQ(At(s, 16, 16), kBackgroundColour);
}

TEST_F(BoardPixelsTest, DrawingACellDeadRestoresExactlyAnEmptyCell)
{
    AddCell(1, 1);
    PixelSurface s = Surface(50, 50);
    PaintGridPixels(s);
    const std::vector<uint32_t> empty = buffer;
    PaintBoardPixels(s);
    EXPECT_NE(buffer, empty);
    DrawCellPixels(s, 1, 1, false);
    EXPECT_EQ(buffer, empty);
    DrawCellPixels(s, 1, 1, true);
    EXPECT_EQ(At(s, 16, 16), kLiveColour);
    EXPECT_EQ(At(s, 29, 29), kLiveColour);
    EXPECT_EQ(At(s, 30, 29), kGridColour);
}

TEST_F(BoardPixelsTest, OffsetsMoveCellsButNeverTheGrid)
{
    PixelSurface s = Surface(64, 48);
    PaintGridPixels(s);
    const std::vector<uint32_t> grid = buffer;
    PanBy(7, -3);
    PaintGridPixels(s);
    EXPECT_EQ(buffer, grid);
    AddCell(-7, 3);
    PaintBoardPixels(s);
    EXPECT_EQ(At(s, 1, 1), kLiveColour);
    PanBy(1, 0);
    PaintBoardPixels(s);
    EXPECT_EQ(At(s, 1, 1), kBackgroundColour);
    EXPECT_EQ(At(s, 16, 1), kLiveColour);
}

TEST_F(BoardPixelsTest, CellsOffTheSurfaceAreClippedWithoutStrayWrites)
{
    PixelSurface s = Surface(20, 20);
    const Cell outside[] = {{1, 1}, {-1, 0}, {0, -1}, {2, 0}, {INT32_MAX, INT32_MIN}};
    for (Cell c : outside) {
        AddCell(c.x, c.y);
        DrawCellPixels(s, c.x, c.y, true);
    }
    EXPECT_TRUE(GuardIntact(s));
    EXPECT_EQ(At(s, 16, 16), kLiveColour);  // the corner of (1, 1) that shows
    EXPECT_EQ(At(s, 19, 19), kLiveColour);
    PaintBoardPixels(s);
    EXPECT_TRUE(GuardIntact(s));
    EXPECT_EQ(At(s, 19, 19), kLiveColour);
    EXPECT_EQ(At(s, 5, 5), kBackgroundColour);
    EXPECT_TRUE(IsEmptyRect(CellInterior(-1, 0, 20, 20)));
    EXPECT_TRUE(IsEmptyRect(CellInterior(0, 0, 0, 0)));
}

// Every pixel of whole boards against the definitions: the smallest and largest sizes,
// surfaces wider and taller than 2,048 pixels, odd sizes, pans, and cells cut by an edge.
TEST_F(BoardPixelsTest, WholeBoardsMatchTheirDefinitionPixelForPixel)
{
    struct Case {
        int32_t width, height, cellSize;
    };
    const Case cases[] = {{2100, 2060, kMinCellSize}, {301, 257, 15}, {257, 301, 7}, {450, 230, kMaxCellSize}};
    std::mt19937 random(11);
    for (Case c : cases) {
        ClearCells();
        viewport = {c.cellSize, int32_t(random() % 21) - 10, int32_t(random() % 21) - 10};
        const Cell first = ScreenToCell(0, 0);
        const Cell last = ScreenToCell(c.width, c.height);
        std::uniform_int_distribution<int32_t> xs(first.x - 1, last.x + 1), ys(first.y - 1, last.y + 1);
        for (int i = 0; i < 2000; ++i) {
            AddCell(xs(random), ys(random));
        }
        PixelSurface s = Surface(c.width, c.height);
        PaintBoardPixels(s);
        ASSERT_TRUE(GuardIntact(s));
        for (int32_t y = 0; y < c.height; ++y) {
            for (int32_t x = 0; x < c.width; ++x) {
                ASSERT_EQ(At(s, x, y), Expected(x, y)) << "pixel " << x << "," << y << " size " << c.cellSize;
            }
        }
    }
}

}  // namespace
