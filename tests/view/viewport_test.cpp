// The cell/pixel mapping, pans and zooms over the whole plane, and bringing the live cells into view.
#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "viewport.h"

namespace {

TEST(Viewport, PixelsMapToTheCellWhoseSquareHoldsThemThroughPansAndZooms)
{
    viewport = {kInitialCellSize, 0, 0};
    EXPECT_EQ(ScreenToCell(14, 14), (Cell{0, 0}));  // cell (0, 0)'s square starts at the client's corner
    EXPECT_EQ(ScreenToCell(15, 29), (Cell{1, 1}));
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX), sizes(kMinCellSize, kMaxCellSize),
        client(0, 4000);
    const int32_t deltas[] = {-3, -1, 1, 3, INT32_MIN, INT32_MAX};
    for (int round = 0; round < 20000; ++round) {
        viewport = {sizes(random), any(random), any(random)};
        const int32_t px = any(random), py = any(random);
        const Cell cell = ScreenToCell(px, py);
        const PixelPoint corner = CellToScreen(cell.x, cell.y);
        ASSERT_TRUE(corner.x <= px && px < corner.x + viewport.cellSize) << px;
        ASSERT_TRUE(corner.y <= py && py < corner.y + viewport.cellSize) << py;

        // Zooming keeps the cell under the cursor, within the size limits; raising an offset moves
        // the pattern right and down by whole cells, across the plane's ends.
        const int32_t qx = client(random), qy = client(random), delta = deltas[random() % 6];
        const Cell under = ScreenToCell(qx, qy);
        const int64_t size = std::clamp<int64_t>(int64_t{viewport.cellSize} + delta, kMinCellSize, kMaxCellSize);
        ZoomAbout(delta, qx, qy);
        ASSERT_EQ(viewport.cellSize, size) << "by " << delta;
        ASSERT_EQ(ScreenToCell(qx, qy), under) << "at " << qx << ", " << qy << " by " << delta;
        PanBy(1, -1);
        ASSERT_EQ(ScreenToCell(qx + viewport.cellSize, qy - viewport.cellSize), under);
    }
}

TEST(FitView, TheLiveCellsBoxComesToTheMiddleAtTheLargestSizeThatHoldsIt)
{
    ASSERT_TRUE(AllocateCellStorage());
    const struct { const char* name; std::vector<Cell> cells; int32_t width, height, size; Cell first; uint32_t across, down; }
    cases[] = {
        {"a row held by the width", {{0, 5}, {99, 5}}, 1000, 400, 9, {0, 5}, 100, 1},
        {"a column held by the height", {{7, -20}, {9, 29}}, 1000, 500, 9, {7, -20}, 3, 50},
        {"one pixel short", {{0, 0}, {19, 0}}, 300, 100, 14, {0, 0}, 20, 1},
        {"across the plane's ends", {{INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}}, 200, 200, 15, {INT32_MAX, INT32_MAX}, 2, 2},
        {"too far apart for any size", {{-500000, 0}, {500000, 3}}, 800, 600, 2, {-500000, 0}, 1000001, 4},
        {"an empty board: the start view, (0, 0) at the corner", {}, 300, 200, kInitialCellSize, {0, 0}, 19, 13},
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
        EXPECT_TRUE(c.size == kMinCellSize || (corner.x >= 0 && corner.y >= 0 && right >= 1 && bottom >= 1));
    }
    ReleaseCellStorage();
}

}  // namespace
