// Whole surfaces against what each pixel must show, after a full paint and after single cells.
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "board_pixels.h"
#include "cell_table.h"
#include "viewport.h"

namespace {

constexpr uint32_t kUnwritten = 0x00123456;

// A live cell's interior, else a grid line at a positive multiple of the size, else background.
uint32_t Expected(int32_t x, int32_t y)
{
    const int32_t size = viewport.cellSize;
    if (x % size != 0 && y % size != 0) {
        const Cell cell = ScreenToCell(x, y);
        return IsAlive(cell.x, cell.y) ? kLiveColour : kBackgroundColour;
    }
    return (x > 0 && x % size == 0) || (y > 0 && y % size == 0) ? kGridColour : kBackgroundColour;
}

// Every pixel, and nothing written past the last row.
void ExpectSurface(const std::vector<uint32_t>& pixels, PixelSurface s, const char* when)
{
    for (int32_t i = 0; i < int32_t(pixels.size()); ++i) {
        const int32_t x = i % s.width, y = i / s.width;
        ASSERT_EQ(pixels[size_t(i)], y < s.height ? Expected(x, y) : kUnwritten)
            << when << ": pixel " << x << "," << y << " at size " << viewport.cellSize;
    }
}

// The smallest and largest sizes, a surface wider and taller than 2,048 pixels, odd sizes, pans,
// and cells cut by an edge (at 301 x 256 and size 15, squares start on the last column and row).
TEST(BoardPixels, GridFullPaintsAndSingleCellsShowExactlyTheBoard)
{
    ASSERT_TRUE(AllocateCellStorage());
    const int32_t cases[][3] = {{2100, 2060, kMinCellSize}, {301, 256, 15}, {257, 301, 7}, {450, 230, kMaxCellSize}};
    std::mt19937 random(11);
    for (auto [width, height, size] : cases) {
        ClearCells();
        viewport = {size, int32_t(random() % 21) - 10, int32_t(random() % 21) - 10};
        std::vector<uint32_t> pixels(size_t(width) * size_t(height) + 64, kUnwritten);
        const PixelSurface s = {pixels.data(), width, height};
        PaintGridPixels(s);
        ExpectSurface(pixels, s, "grid");
        const Cell first = ScreenToCell(0, 0), last = ScreenToCell(width, height);
        std::uniform_int_distribution<int32_t> xs(first.x - 1, last.x + 1), ys(first.y - 1, last.y + 1);
        for (int i = 0; i < 2000; ++i) {
            AddCell(xs(random), ys(random));
        }
        PaintBoardPixels(s);
        ExpectSurface(pixels, s, "full paint");
        // Toggled and drawn one by one, some cut by an edge, one far off across the plane's ends.
        for (int i = 0; i < 300; ++i) {
            const Cell c = i == 0 ? Cell{INT32_MAX, INT32_MIN} : Cell{xs(random), ys(random)};
            IsAlive(c.x, c.y) ? RemoveCell(c.x, c.y) : void(AddCell(c.x, c.y));
            DrawCellPixels(s, c.x, c.y, IsAlive(c.x, c.y));
        }
        ExpectSurface(pixels, s, "cells drawn");
    }
    ReleaseCellStorage();
}

}  // namespace
