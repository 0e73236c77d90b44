// Which part of the plane the window shows, and how large a cell is on screen.
#pragma once

#include <cstdint>

#include "cell_table.h"

struct Viewport {
    int32_t cellSize;  // pixels per cell, grid line included
    int32_t offsetX;   // whole cells; raising it moves the pattern right
    int32_t offsetY;   // whole cells; raising it moves the pattern down
};

extern Viewport viewport;

constexpr int32_t kInitialCellSize = 15;
constexpr int32_t kMinCellSize = 2;
constexpr int32_t kMaxCellSize = 100;

// A client-area pixel position. 64-bit, so no cell, offset or size can overflow it.
struct PixelPoint {
    int64_t x;
    int64_t y;
};

// Top-left corner of the cell's square (its first row and column are grid lines).
PixelPoint CellToScreen(int32_t x, int32_t y);
// The same for a given viewport, inline for loops over many cells. The column wraps with the
// plane, so a cell and its pixels stay one mapping apart at any offset.
inline PixelPoint CornerOf(int32_t x, int32_t y, Viewport v)
{
    return {int64_t{WrapAdd(x, v.offsetX)} * v.cellSize, int64_t{WrapAdd(y, v.offsetY)} * v.cellSize};
}
Cell ScreenToCell(int32_t px, int32_t py);
// Stops at kMinCellSize and kMaxCellSize.
void ZoomBy(int32_t delta);
void PanBy(int32_t dx, int32_t dy);
// Zooms by `delta` about a client pixel: the cell under it before stays under it after.
void ZoomAbout(int32_t delta, int32_t px, int32_t py);
// Pans by whole cells so that the cell lies under the client pixel.
void PlaceCellAt(Cell cell, int32_t px, int32_t py);

// The largest cell size at which the live cells fit the client area, up to the start size.
constexpr int32_t kLargestFitSize = 15;
// Brings the live cells into view, centred, at the largest cell size from kMinCellSize to
// kLargestFitSize at which their box fits (the smallest size when none does). The box is the
// smallest on the wrapping plane, so a pattern across its ends stays one piece. An empty board
// goes back to the start view.
void FitView(int32_t clientWidth, int32_t clientHeight);
