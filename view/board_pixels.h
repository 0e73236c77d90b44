// The board's pixels, free of any platform: what a full repaint or one cell drawing leaves on a
// surface. The window code hands these a DIB section; the tests hand them a plain buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "selection.h"

// Colours as 0x00RRGGBB, the layout of a 32-bit DIB pixel.
constexpr uint32_t kLiveColour = 0x225588;        // (34, 85, 136)
constexpr uint32_t kDeadColour = 0xFFFFFF;        // the same as the background
constexpr uint32_t kBackgroundColour = 0xFFFFFF;
constexpr uint32_t kGridColour = 0xCCCCCC;        // (204, 204, 204)

// The selection: its cells mixed 3/8 of the way towards a clear blue, so live (dark blue), dead
// (light blue) and the grid still read apart inside it, and its outline on the grid lines around it
// in a dark orange that stands out against white, grey, live cells and the tint at any cell size.
constexpr uint32_t kSelectionTint = 0x0078D7;     // (0, 120, 215)
constexpr uint32_t kSelectionAlpha = 96;          // of 256
constexpr uint32_t kSelectionOutline = 0xC85A00;  // (200, 90, 0)
// A pending paste: its cells' interiors mixed 5/8 of the way towards green (strong enough to show at
// 2 px), a ghost over dead and live cells alike, so its whole shape shows where it would land.
constexpr uint32_t kPreviewTint = 0x00A050;       // (0, 160, 80)
constexpr uint32_t kPreviewAlpha = 160;           // of 256

constexpr uint8_t RedOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 16); }
constexpr uint8_t GreenOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 8); }
constexpr uint8_t BlueOf(uint32_t colour) { return static_cast<uint8_t>(colour); }

// Rows of 32-bit pixels, top row first, each row exactly width pixels long.
struct PixelSurface {
    uint32_t* pixels;
    int32_t width;
    int32_t height;
};

// Pixels left <= x < right, top <= y < bottom.
struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool IsEmptyRect(PixelRect r) { return r.left >= r.right || r.top >= r.bottom; }

// The smallest rectangle holding both; an empty one adds nothing.
PixelRect UniteRects(PixelRect a, PixelRect b);

// `under` moved alpha/256 of the way towards `toward`, each channel rounded down.
inline uint32_t MixColour(uint32_t under, uint32_t toward, uint32_t alpha)
{
    // Red and blue in one multiply, green in another: each channel's product stays in its own bits.
    const uint32_t keep = 256 - alpha;
    const uint32_t redBlue = ((under & 0xFF00FF) * keep + (toward & 0xFF00FF) * alpha) >> 8;
    const uint32_t green = ((under & 0x00FF00) * keep + (toward & 0x00FF00) * alpha) >> 8;
    return (redBlue & 0xFF00FF) | (green & 0x00FF00);
}

// The interior of the cell's square (the square less its first row and column, where the grid
// lines lie) clipped to a width x height client area. Empty when none of it shows.
PixelRect CellInterior(int32_t x, int32_t y, int32_t width, int32_t height);

void FillPixels(PixelSurface surface, PixelRect r, uint32_t colour);

// What lies over the live cells, each part drawn when present.
struct BoardOverlay {
    const CellRect* selection;  // null when nothing is selected
    const Stamp* preview;       // a paste waiting to be placed, or null
    Cell previewAt;             // the cell under the preview's top-left
};

// The pixels the rectangle covers on a width x height client area, the outline on the grid lines
// around it included, clipped; empty when none of it shows. One box even where the rectangle
// leaves the view at one side and comes back at the other.
PixelRect CellRectArea(CellRect r, int32_t width, int32_t height);
// Background, grid (lines at i * cellSize for i >= 1, none at 0), live cells, then the overlay,
// within `area` (clipped to the surface) and nowhere else: after a change confined to some cells (a
// preview moved, a selection dragged, a cell drawn in a selection) the union of their old and new
// areas is all that needs painting. The work is the area's pixels plus one test per live cell and
// per preview cell.
void PaintAreaPixels(PixelSurface surface, PixelRect area, const BoardOverlay& overlay);
// One cell's interior, live or dead, as the overlay shows it (the grid around it is left alone). Its
// colour is found directly, in the selection or not, covered by the preview or not (a lookup in the
// stamp's index), so a step under a large waiting paste costs what it costs without one.
void DrawCellPixels(PixelSurface surface, int32_t x, int32_t y, bool alive, const BoardOverlay& overlay);
// Moves the preview from `from` to overlay.previewAt on a surface that shows the board and the
// overlay with the preview at `from`, writing only the interiors of its old and new cells: the
// cost is the preview's cells and two lookups each, however far apart they lie. Returns the box
// of the pixels that may have changed, for the window to show.
PixelRect MovePreviewPixels(PixelSurface surface, const BoardOverlay& overlay, Cell from);

// Rows of pixels a frame's changes are gathered in: each band of them is shown in one copy.
constexpr int32_t kFrameBandRows = 32;
// Full speed's frame. The surface showed the board whose live cells were `shown`, under the
// overlay, and the board has moved on since with nothing drawn. Redraws the cells that differ
// (alive in one board, dead in the other) and sets `bands` to, for each band of kFrameBandRows
// rows where a redrawn cell starts, the box of those cells: all the window must show. The work is
// a bit per visible cell and the cells of the two boards, not the surface's pixels.
void DrawChangedCells(PixelSurface surface, const std::vector<Cell>& shown, const BoardOverlay& overlay,
                      std::vector<PixelRect>& bands);
