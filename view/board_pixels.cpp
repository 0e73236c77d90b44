#include "board_pixels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "cell_table.h"
#include "viewport.h"

namespace {

uint32_t* Row(PixelSurface surface, int64_t y)
{
    return surface.pixels + static_cast<size_t>(y) * static_cast<size_t>(surface.width);
}

int32_t ClipTo(int64_t value, int32_t limit)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::max(limit, 0)));
}

PixelRect Interior(int32_t x, int32_t y, Viewport v, int32_t width, int32_t height)
{
    PixelPoint corner = CornerOf(x, y, v);
    return {ClipTo(corner.x + 1, width), ClipTo(corner.y + 1, height), ClipTo(corner.x + v.cellSize, width),
            ClipTo(corner.y + v.cellSize, height)};
}

// White with a grid pixel on every vertical line: row 0 and every row inside a band of cells.
void FillLineRow(uint32_t* row, int32_t width, int32_t cellSize)
{
    std::fill_n(row, width, kBackgroundColour);
    for (int64_t x = cellSize; x < width; x += cellSize) {
        row[x] = kGridColour;
    }
}

// Every row of a band between two horizontal lines looks the same, so each band is composed
// once in its first row and copied down. Every row after the first two is one memcpy from a
// template row or from its band's first row, and no cell costs more than one short run.
void PaintBands(PixelSurface surface, bool withCells)
{
    // The viewport never holds a size below kMinCellSize; the check keeps the loops finite.
    if (!surface.pixels || surface.width <= 0 || surface.height <= 0 || viewport.cellSize < 1) {
        return;
    }
    const int32_t width = surface.width;
    const int32_t height = surface.height;
    const int32_t size = viewport.cellSize;
    const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint32_t);
    // Row 0 has no horizontal line, so it is the template of every row inside a band.
    const uint32_t* lineRow = Row(surface, 0);
    FillLineRow(Row(surface, 0), width, size);
    const uint32_t* gridRow = size < height ? Row(surface, size) : nullptr;
    if (gridRow) {
        std::fill_n(Row(surface, size), width, kGridColour);
    }
    for (int64_t top = 0; top < height; top += size) {
        if (top > size) {
            std::memcpy(Row(surface, top), gridRow, rowBytes);
        }
        if (top + 1 < height && size > 1) {
            std::memcpy(Row(surface, top + 1), lineRow, rowBytes);
        }
    }
    if (withCells) {
        // All live cells share one colour, so table order cannot change the result. Squares
        // start on multiples of the size, so one cut by the left or top edge shows nothing, and
        // a visible interior always starts on its band's first row.
        const Viewport v = viewport;
        for (int32_t i = 0; i < count; ++i) {
            const Cell cell = CellAt(i);
            const PixelPoint corner = CornerOf(cell.x, cell.y, v);
            if (corner.x >= 0 && corner.y >= 0 && corner.x + 1 < width && corner.y + 1 < height) {
                const int64_t end = std::min<int64_t>(corner.x + size, width);
                std::fill_n(Row(surface, corner.y + 1) + corner.x + 1, end - corner.x - 1, kLiveColour);
            }
        }
    }
    for (int64_t top = 0; top < height; top += size) {
        int64_t end = std::min<int64_t>(top + size, height);
        for (int64_t y = top + 2; y < end; ++y) {
            std::memcpy(Row(surface, y), Row(surface, top + 1), rowBytes);
        }
    }
}

}  // namespace

PixelRect CellInterior(int32_t x, int32_t y, int32_t width, int32_t height)
{
    return Interior(x, y, viewport, width, height);
}

void FillPixels(PixelSurface surface, PixelRect r, uint32_t colour)
{
    for (int32_t y = r.top; y < r.bottom; ++y) {
        std::fill_n(Row(surface, y) + r.left, r.right - r.left, colour);
    }
}

void PaintGridPixels(PixelSurface surface)
{
    PaintBands(surface, false);
}

void PaintBoardPixels(PixelSurface surface)
{
    PaintBands(surface, true);
}

void DrawCellPixels(PixelSurface surface, int32_t x, int32_t y, bool alive)
{
    PixelRect r = CellInterior(x, y, surface.width, surface.height);
    if (!IsEmptyRect(r)) {
        FillPixels(surface, r, alive ? kLiveColour : kDeadColour);
    }
}
