// The population graph's pixels, free of any platform: where each board of the timeline lies on the
// plot, and the plot itself, drawn from the timeline's summary one column at a time, so a redraw costs
// the plot's width (and the logarithm of the timeline's length), never its length.
#pragma once

#include <cstdint>

#include "board_pixels.h"

constexpr uint32_t kGraphPastColour = 0x225588;    // the boards up to the one shown, as live cells
constexpr uint32_t kGraphFutureColour = 0xA9C1D9;  // those Redo can bring back, lighter
constexpr uint32_t kGraphShownColour = 0xC85A00;   // the line at the board shown
constexpr uint32_t kGraphAxisColour = 0x808080;
constexpr uint32_t kGraphEditColour = 0x202020;    // a mark under the axis where an edit made a board
constexpr uint32_t kGraphLimitColour = 0xD03030;   // the board's 10,000-cell limit

// The plot within a width x height client area at `dpi` dots an inch: margins on the left for the
// largest population, below for the generations and the edit marks, and a status line at the bottom.
struct GraphLayout {
    PixelRect plot;
    PixelRect status;
    int32_t scale;  // pixels per 1/96 inch, in 1/96ths: 96 at 100%, 192 at 200%
};
GraphLayout LayOutGraph(int32_t width, int32_t height, int32_t dpi);

// The board drawn at a column (clamped into the plot), and the column a board is drawn at. The
// oldest kept lies on the plot's left edge and the newest on its right one.
int64_t GraphBoardAt(const GraphLayout& layout, int32_t px, int64_t boards);
int32_t GraphColumnOf(const GraphLayout& layout, int64_t board, int64_t boards);
// The population at the plot's top: above the largest, and past the limit once that comes near.
int32_t GraphTop(int32_t mostCells);
bool GraphShowsLimit(int32_t mostCells);
// The row of a population on the plot.
int32_t GraphRowOf(const GraphLayout& layout, int32_t cells, int32_t top);

// The whole client area: background, axes, the curve (the boards up to the one shown dark, those
// after it light), the line at the board shown, the edit marks and the limit line. Text is left to
// the window.
void PaintGraphPixels(PixelSurface surface, const GraphLayout& layout);
