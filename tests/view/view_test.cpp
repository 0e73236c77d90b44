// The board view: the cell/pixel mapping, pans, zooms and fitting over the whole plane, and the
// memory surface's pixels.
#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "board_pixels.h"
#include "cell_table.h"
#include "graph_pixels.h"
#include "history.h"
#include "timeline_summary.h"
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
        {"too far apart for any size: the fuller part", {{-500000, 0}, {500000, 3}, {500003, 3}, {500000, 5}}, 800, 600, 2,
         {500000, 3}, 4, 3},
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

// The overlay over Expected, by the cells each pixel lies in or between: an outline pixel lies on
// the grid line before the selection's first column (row) or after its last, within its span the
// other way; a tinted one inside both ways; a preview's only inside one of its cells.
uint32_t ExpectedOver(int32_t x, int32_t y, const BoardOverlay& overlay)
{
    const int32_t size = viewport.cellSize;
    const Cell here = ScreenToCell(x, y), before = ScreenToCell(x - 1, y - 1);
    uint32_t colour = Expected(x, y);
    if (const CellRect* r = overlay.selection) {
        const bool edgeX = x % size == 0 && (here.x == r->left || before.x == r->right);
        const bool edgeY = y % size == 0 && (here.y == r->top || before.y == r->bottom);
        const bool inX = !edgeX && RectContains(*r, {here.x, r->top});
        const bool inY = !edgeY && RectContains(*r, {r->left, here.y});
        if ((edgeX && (inY || edgeY)) || (edgeY && (inX || edgeX))) {
            return kSelectionOutline;
        }
        colour = inX && inY ? MixColour(colour, kSelectionTint, kSelectionAlpha) : colour;
    }
    const Cell offset = {WrapSub(here.x, overlay.previewAt.x), WrapSub(here.y, overlay.previewAt.y)};
    const bool previewed = overlay.preview && x % size != 0 && y % size != 0 &&
                           RectContains(overlay.preview->box, offset) &&
                           std::count(overlay.preview->cells.begin(), overlay.preview->cells.end(), offset);
    return previewed ? MixColour(colour, kPreviewTint, kPreviewAlpha) : colour;
}

// Every pixel, and nothing written past the last row.
void ExpectSurface(const std::vector<uint32_t>& pixels, PixelSurface s, const char* when,
                   const BoardOverlay& overlay = {nullptr, nullptr, {0, 0}})
{
    for (int32_t i = 0; i < int32_t(pixels.size()); ++i) {
        const int32_t x = i % s.width, y = i / s.width;
        ASSERT_EQ(pixels[size_t(i)], y < s.height ? ExpectedOver(x, y, overlay) : kUnwritten)
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
        PaintAreaPixels(s, {0, 0, width, height}, {});  // no cells yet: the grid alone
        ExpectSurface(pixels, s, "grid");
        const Cell first = ScreenToCell(0, 0), last = ScreenToCell(width, height);
        std::uniform_int_distribution<int32_t> xs(first.x - 1, last.x + 1), ys(first.y - 1, last.y + 1);
        for (int i = 0; i < 2000; ++i) {
            AddCell(xs(random), ys(random));
        }
        PaintAreaPixels(s, {0, 0, width, height}, {});
        ExpectSurface(pixels, s, "full paint");
        // Toggled and drawn one by one, some cut by an edge, one far off across the plane's ends.
        for (int i = 0; i < 300; ++i) {
            const Cell c = i == 0 ? Cell{INT32_MAX, INT32_MIN} : Cell{xs(random), ys(random)};
            IsAlive(c.x, c.y) ? RemoveCell(c.x, c.y) : void(AddCell(c.x, c.y));
            DrawCellPixels(s, c.x, c.y, IsAlive(c.x, c.y), {});
        }
        ExpectSurface(pixels, s, "cells drawn");
    }
    ReleaseCellStorage();
}

// Sizes 2 to 100 anywhere on the plane, selections in the view, larger than it, across the plane's
// ends with their gap in view and over the whole plane, and a preview moved a cell at a time: after
// each move only its cells are redrawn, after each new selection only the union of the old and new
// areas, then any area, then cells drawn one by one on and beside the preview's cells, and the whole
// surface is checked. Then the board moves on unseen, as at full speed, and a frame redraws only
// what changed, within the bands it gives.
TEST(BoardPixels, SelectionAndPreviewShowOverTheBoardAndRepaintsTouchOnlyWhatChanged)
{
    ASSERT_TRUE(AllocateCellStorage());
    std::mt19937 random(3);
    const int32_t width = 263, height = 181;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height) + 64, kUnwritten);
    const PixelSurface s = {pixels.data(), width, height};
    for (int32_t size : {kMinCellSize, 3, 17, kMaxCellSize}) {
        ClearCells();
        viewport = {size, int32_t(random()), int32_t(random())};
        const Cell first = ScreenToCell(0, 0);
        const int32_t columns = width / size + 4;
        const auto near = [&](int32_t d) { return WrapAdd(d, int32_t(random() % columns) - 2); };
        std::vector<Cell> pattern;
        for (int i = 0; i < 300; ++i) {
            AddCell(near(first.x), near(first.y));
            pattern.push_back({int32_t(random() % 9), int32_t(random() % 7)});
        }
        const auto pick = [&](int kind, Cell a, int32_t gap) {
            const CellRect larger = {WrapSub(first.x, 3), WrapSub(first.y, 1), WrapAdd(first.x, columns),
                                     WrapAdd(first.y, columns)};
            // The whole plane less a gap of columns (and rows), or all of it.
            const CellRect round = {a.x, a.y, WrapSub(a.x, gap), WrapSub(a.y, kind == 2 ? gap : 1)};
            return kind == 0 ? RectBetween(a, {near(first.x), near(first.y)}) : kind == 1 ? larger : round;
        };
        const Stamp stamp = MakeStamp(pattern);
        CellRect selection = pick(0, {first.x, first.y}, 1);
        BoardOverlay overlay = {&selection, &stamp, {near(first.x), near(first.y)}};
        PaintAreaPixels(s, {0, 0, width, height}, overlay);
        ExpectSurface(pixels, s, "whole", overlay);
        for (int round = 0; round < 10; ++round) {
            std::vector<uint32_t> old = pixels;
            PixelRect changed;
            if (round % 2 == 0) {
                const Cell from = overlay.previewAt;
                overlay.previewAt = {WrapAdd(from.x, int32_t(random() % 3) - 1), WrapAdd(from.y, 1)};
                changed = MovePreviewPixels(s, overlay, from);
            } else {
                changed = overlay.selection ? CellRectArea(selection, width, height) : PixelRect{0, 0, 0, 0};
                selection = pick(int(random() % 4), {near(first.x), near(first.y)}, 1 + int32_t(random() % 3));
                overlay.selection = round == 7 ? nullptr : &selection;
                changed = UniteRects(changed, overlay.selection ? CellRectArea(selection, width, height) : changed);
                PaintAreaPixels(s, changed, overlay);
            }
            const auto expectWithin = [&](const std::vector<PixelRect>& areas) {
                for (int32_t i = 0, x = 0, y = 0; i < width * height; x = ++i % width, y = i / width) {
                    ASSERT_TRUE(pixels[size_t(i)] == old[size_t(i)] ||
                                std::any_of(areas.begin(), areas.end(), [&](PixelRect r) {
                                    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
                                }));
                }
            };
            expectWithin({changed});
            // Any area repaints to the same pixels, one cut mid-cell too.
            const int32_t left = int32_t(random() % width), top = int32_t(random() % height);
            PaintAreaPixels(s, {left, top, left + int32_t(random() % 200), top + int32_t(random() % 200)}, overlay);
            const auto toggle = [&](int i) {
                const Cell c = i % 2 ? StampCell(stamp, random() % stamp.cells.size(), overlay.previewAt)
                                     : Cell{near(first.x), near(first.y)};
                IsAlive(c.x, c.y) ? RemoveCell(c.x, c.y) : void(AddCell(c.x, c.y));
                return c;
            };
            for (int i = 0; i < 20; ++i) {
                const Cell c = toggle(i);
                DrawCellPixels(s, c.x, c.y, IsAlive(c.x, c.y), overlay);
            }
            ExpectSurface(pixels, s, round % 2 ? "selection changed" : "preview moved", overlay);
            const std::vector<Cell> shown = TableCells();
            for (int i = 0; i < 100; ++i) {
                toggle(i);
            }
            old = pixels;
            std::vector<PixelRect> bands = {{0, 0, width, height}};
            DrawChangedCells(s, shown, overlay, bands);
            for (PixelRect band : bands) {
                ASSERT_TRUE(!IsEmptyRect(band) && band.left >= 0 && band.top >= 0 && band.right <= width &&
                            band.bottom <= height);
            }
            expectWithin(bands);
            ExpectSurface(pixels, s, "frame", overlay);
        }
    }
    ReleaseCellStorage();
}


// The graph: every board has a column and every column a board, the oldest on the left edge and the newest on
// the right one, at any count; the curve is dark up to the board shown and light after it, with the line at the
// board shown and a mark under the axis where an edit made a board.
TEST(GraphPixels, ColumnsAndBoardsMapBothWaysAndTheCurveShowsWhatTheTimelineHolds)
{
    const GraphLayout layout = LayOutGraph(600, 300, 144);
    const int32_t columns = layout.plot.right - layout.plot.left;
    for (int64_t boards : {int64_t{1}, int64_t{2}, int64_t{7}, int64_t{columns}, int64_t{columns + 1}, int64_t{1000003}}) {
        EXPECT_EQ(GraphColumnOf(layout, boards - 1, boards), boards > 1 ? layout.plot.right - 1 : layout.plot.left);
        for (int64_t b = 0; b < boards; b += std::max<int64_t>(1, boards / 997)) {
            const int32_t x = GraphColumnOf(layout, b, boards);
            ASSERT_TRUE(x >= layout.plot.left && x < layout.plot.right);
            ASSERT_TRUE(boards > columns || GraphBoardAt(layout, x, boards) == b) << boards << " " << b;
        }
        for (int32_t x = layout.plot.left - 5; boards >= columns && x < layout.plot.right + 5; ++x) {
            ASSERT_EQ(GraphColumnOf(layout, GraphBoardAt(layout, x, boards), boards),
                      std::clamp(x, layout.plot.left, layout.plot.right - 1));
        }
    }
    // Ten generations of a blinker beside a block, an edit (one cell), three undone.
    ASSERT_TRUE(AllocateCellStorage());
    ForgetHistory();
    ASSERT_TRUE(ReplaceBoard({{0, 1}, {1, 1}, {2, 1}, {9, 9}, {9, 10}, {10, 9}, {10, 10}}));
    for (int g = 0; g < 10; ++g) {
        ASSERT_TRUE(AdvanceGeneration(nullptr));
    }
    BeginEdit();
    ASSERT_TRUE(SetCellInEdit(20, 20, true));
    for (int g = 0; g < 3; ++g) {
        ASSERT_TRUE(StepBack(nullptr));
    }
    std::vector<uint32_t> pixels(600 * 300);
    PaintGraphPixels({pixels.data(), 600, 300}, layout);
    auto at = [&](int32_t x, int32_t y) { return pixels[size_t(y) * 600 + size_t(x)]; };
    auto column = [&](int64_t board) { return GraphColumnOf(layout, board, TimelineBoards()); };
    auto has = [&](int32_t x, uint32_t colour, int32_t top, int32_t bottom) {
        for (int32_t y = top; y < bottom; ++y) {
            if (at(x, y) == colour) {
                return true;
            }
        }
        return false;
    };
    ASSERT_EQ(TimelineBoards(), 13);
    ASSERT_EQ(TimelineShown(), 9);
    EXPECT_TRUE(has(column(9), kGraphShownColour, layout.plot.top, layout.plot.bottom));
    EXPECT_TRUE(has(column(5), kGraphPastColour, layout.plot.top, layout.plot.bottom));
    EXPECT_FALSE(has(column(5), kGraphFutureColour, layout.plot.top, layout.plot.bottom));
    EXPECT_TRUE(has(column(11), kGraphFutureColour, layout.plot.top, layout.plot.bottom));
    EXPECT_FALSE(has(column(11), kGraphPastColour, layout.plot.top, layout.plot.bottom));
    // The load (board 1) and the edit (board 12) are marked; no generation is.
    EXPECT_TRUE(has(column(1), kGraphEditColour, layout.plot.bottom, layout.status.top));
    EXPECT_TRUE(has(column(12), kGraphEditColour, layout.plot.bottom, layout.status.top));
    EXPECT_FALSE(has(column(6), kGraphEditColour, layout.plot.bottom, layout.status.top));
    // Seven cells, then eight: the curve's rows, on a scale above eight.
    EXPECT_EQ(at(column(5), GraphRowOf(layout, 7, GraphTop(8))), kGraphPastColour);
    EXPECT_EQ(at(column(12), GraphRowOf(layout, 8, GraphTop(8))), kGraphFutureColour);
    ForgetHistory();
    ReleaseCellStorage();
}

}  // namespace
