#include "viewport.h"

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
