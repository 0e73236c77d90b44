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

// White with a grid pixel on every vertical line: row 0 and every row inside a band of cells.
void FillLineRow(uint32_t* row, int32_t width, int32_t cellSize)
{
    std::fill_n(row, width, kBackgroundColour);
    for (int64_t x = cellSize; x < width; x += cellSize) {
        row[x] = kGridColour;
    }
}

// Every row of a band between two horizontal lines looks the same, so each band is composed
// once in its first row and copied down: every pixel is written about once, and no cell costs
// more than one short run whatever its size.
void PaintBands(PixelSurface surface, bool withCells)
{
    // The viewport never holds a size below kMinCellSize; the check keeps the loops finite.
    if (!surface.pixels || surface.width <= 0 || surface.height <= 0 || viewport.cellSize < 1) {
        return;
    }
    const int32_t width = surface.width;
    const int32_t height = surface.height;
    const int32_t size = viewport.cellSize;
    FillLineRow(Row(surface, 0), width, size);
    for (int64_t top = 0; top < height; top += size) {
        if (top > 0) {
            std::fill_n(Row(surface, top), width, kGridColour);
        }
        if (top + 1 < height) {
            FillLineRow(Row(surface, top + 1), width, size);
        }
    }
    if (withCells) {
        // All live cells share one colour, so table order cannot change the result.
        for (int32_t i = 0; i < count; ++i) {
            Cell cell = CellAt(i);
            PixelRect r = CellInterior(cell.x, cell.y, width, height);
            if (!IsEmptyRect(r)) {
                // A visible interior always starts on its band's first row: squares start on
                // multiples of the size, so one cut by the top edge shows nothing.
                std::fill_n(Row(surface, r.top) + r.left, r.right - r.left, kLiveColour);
            }
        }
    }
    const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint32_t);
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
    PixelPoint corner = CellToScreen(x, y);
    int64_t size = viewport.cellSize;
    return {ClipTo(corner.x + 1, width), ClipTo(corner.y + 1, height),
            ClipTo(corner.x + size, width), ClipTo(corner.y + size, height)};
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
