#include "viewport.h"

#include <cstddef>
#include <utility>
#include <vector>

Viewport viewport = {kInitialCellSize, 0, 0};

PixelPoint CellToScreen(int32_t x, int32_t y)
{
    return CornerOf(x, y, viewport);
}

namespace {

// Rounds down, so a pixel left of or above the client area belongs to the cell it lies in.
int32_t ColumnOf(int32_t pixel, int32_t size)
{
    int32_t q = pixel / size;
    return (pixel % size < 0) ? q - 1 : q;
}

}  // namespace

Cell ScreenToCell(int32_t px, int32_t py)
{
    return {WrapSub(ColumnOf(px, viewport.cellSize), viewport.offsetX),
            WrapSub(ColumnOf(py, viewport.cellSize), viewport.offsetY)};
}

void ZoomBy(int32_t delta)
{
    int64_t size = int64_t{viewport.cellSize} + delta;
    if (size < kMinCellSize) {
        size = kMinCellSize;
    } else if (size > kMaxCellSize) {
        size = kMaxCellSize;
    }
    viewport.cellSize = static_cast<int32_t>(size);
}

void PanBy(int32_t dx, int32_t dy)
{
    viewport.offsetX = WrapAdd(viewport.offsetX, dx);
    viewport.offsetY = WrapAdd(viewport.offsetY, dy);
}

void ZoomAbout(int32_t delta, int32_t px, int32_t py)
{
    const Cell under = ScreenToCell(px, py);
    ZoomBy(delta);
    // Whichever column and row now hold the pixel, the cell moves there.
    viewport.offsetX = WrapSub(ColumnOf(px, viewport.cellSize), under.x);
    viewport.offsetY = WrapSub(ColumnOf(py, viewport.cellSize), under.y);
}

namespace {

// The offset that centres the arc's columns in `pixels`, at `size` pixels a cell.
int32_t CentringOffset(PlaneArc span, int32_t pixels, int32_t size)
{
    const int64_t margin = (int64_t{pixels} - static_cast<int64_t>(span.length) * size) / 2;
    const int64_t column = margin >= 0 ? margin / size : -((-margin + size - 1) / size);
    return WrapSub(static_cast<int32_t>(column), span.start);
}

}  // namespace

void FitView(int32_t clientWidth, int32_t clientHeight)
{
    if (count <= 0) {
        viewport = {kInitialCellSize, 0, 0};
        return;
    }
    std::vector<int32_t> xs(static_cast<size_t>(count));
    std::vector<int32_t> ys(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        xs[static_cast<size_t>(i)] = CellAt(i).x;
        ys[static_cast<size_t>(i)] = CellAt(i).y;
    }
    // Read from 0, as ever: on a tie the box starts at the lowest unsigned coordinate.
    const PlaneArc across = ShortestArc(std::move(xs), 0);
    const PlaneArc down = ShortestArc(std::move(ys), 0);
    int32_t size = kLargestFitSize;
    // One pixel more than the cells for the grid line that closes the box.
    while (size > kMinCellSize && (static_cast<int64_t>(across.length) * size + 1 > clientWidth ||
                                   static_cast<int64_t>(down.length) * size + 1 > clientHeight)) {
        --size;
    }
    viewport = {size, CentringOffset(across, clientWidth, size), CentringOffset(down, clientHeight, size)};
}
