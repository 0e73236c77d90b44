#include "viewport.h"

#include <algorithm>
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

// Negating INT32_MIN would overflow; subtracting in unsigned wraps like the plane.
int32_t WrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
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

struct Span {
    int32_t first;   // the lowest coordinate, on the wrapping plane
    uint32_t cells;  // how many columns (or rows) from it, 1 to 2^32 - 1
};

// The shortest stretch of the circle of 2^32 coordinates that holds them all: it begins just
// after the widest gap between neighbouring coordinates.
Span ShortestSpan(std::vector<uint32_t>& at)
{
    std::sort(at.begin(), at.end());
    size_t start = 0;
    uint32_t widestGap = at.front() - at.back();  // the gap across the wrap, mod 2^32
    for (size_t i = 1; i < at.size(); ++i) {
        if (at[i] - at[i - 1] > widestGap) {
            widestGap = at[i] - at[i - 1];
            start = i;
        }
    }
    if (at.size() == 1 || widestGap == 0) {
        return {static_cast<int32_t>(at[start]), 1};
    }
    return {static_cast<int32_t>(at[start]), ~uint32_t{0} - widestGap + 2};
}

// The offset that centres `cells` columns from `first` in `pixels`, at `size` pixels a cell.
int32_t CentringOffset(Span span, int32_t pixels, int32_t size)
{
    const int64_t margin = (int64_t{pixels} - int64_t{span.cells} * size) / 2;
    const int64_t column = margin >= 0 ? margin / size : -((-margin + size - 1) / size);
    return WrapSub(static_cast<int32_t>(column), span.first);
}

}  // namespace

void FitView(int32_t clientWidth, int32_t clientHeight)
{
    if (count <= 0) {
        viewport = {kInitialCellSize, 0, 0};
        return;
    }
    std::vector<uint32_t> xs(static_cast<size_t>(count));
    std::vector<uint32_t> ys(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        xs[static_cast<size_t>(i)] = static_cast<uint32_t>(CellAt(i).x);
        ys[static_cast<size_t>(i)] = static_cast<uint32_t>(CellAt(i).y);
    }
    const Span across = ShortestSpan(xs);
    const Span down = ShortestSpan(ys);
    int32_t size = kLargestFitSize;
    // One pixel more than the cells for the grid line that closes the box.
    while (size > kMinCellSize && (int64_t{across.cells} * size + 1 > clientWidth ||
                                   int64_t{down.cells} * size + 1 > clientHeight)) {
        --size;
    }
    viewport = {size, CentringOffset(across, clientWidth, size), CentringOffset(down, clientHeight, size)};
}
