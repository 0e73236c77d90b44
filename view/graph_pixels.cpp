#include "graph_pixels.h"

#include <algorithm>

#include "cell_table.h"
#include "timeline_summary.h"

namespace {

int32_t Scaled(int32_t pixels, int32_t scale)
{
    return (pixels * scale + 48) / 96;
}

// The first board of column c: boards go to their nearest column.
int64_t FirstOfColumn(int64_t c, int64_t columns, int64_t boards)
{
    if (c <= 0) {
        return 0;
    }
    if (c >= columns) {
        return boards;
    }
    const int64_t twice = 2 * (columns - 1);
    return ((2 * c - 1) * (boards - 1) + twice - 1) / twice;
}

// FillPixels within the surface.
void Fill(PixelSurface s, PixelRect r, uint32_t colour)
{
    r = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, s.width), std::min(r.bottom, s.height)};
    if (!IsEmptyRect(r)) {
        FillPixels(s, r, colour);
    }
}

}  // namespace

GraphLayout LayOutGraph(int32_t width, int32_t height, int32_t dpi)
{
    const int32_t scale = std::max(96, dpi);
    const int32_t status = Scaled(20, scale);
    const int32_t left = Scaled(48, scale), right = Scaled(10, scale), top = Scaled(10, scale);
    const int32_t below = Scaled(30, scale);
    GraphLayout layout = {};
    layout.scale = scale;
    layout.status = {0, std::max(0, height - status), width, height};
    layout.plot = {left, top, std::max(left + 1, width - right), std::max(top + 1, height - status - below)};
    return layout;
}

int64_t GraphBoardAt(const GraphLayout& layout, int32_t px, int64_t boards)
{
    const int64_t columns = layout.plot.right - layout.plot.left;
    if (boards <= 1 || columns <= 1) {
        return 0;
    }
    const int64_t c = std::clamp<int64_t>(px - layout.plot.left, 0, columns - 1);
    return (2 * c * (boards - 1) + (columns - 1)) / (2 * (columns - 1));
}

int32_t GraphColumnOf(const GraphLayout& layout, int64_t board, int64_t boards)
{
    const int64_t columns = layout.plot.right - layout.plot.left;
    if (boards <= 1 || columns <= 1) {
        return layout.plot.left;
    }
    return layout.plot.left + static_cast<int32_t>((2 * board * (columns - 1) + (boards - 1)) / (2 * (boards - 1)));
}

bool GraphShowsLimit(int32_t mostCells)
{
    return mostCells >= kMaxCells * 3 / 4;
}

int32_t GraphTop(int32_t mostCells)
{
    return GraphShowsLimit(mostCells) ? kMaxCells + kMaxCells / 20 : std::max(10, mostCells + mostCells / 8);
}

int32_t GraphRowOf(const GraphLayout& layout, int32_t cells, int32_t top)
{
    const int64_t h = layout.plot.bottom - 1 - layout.plot.top;
    return layout.plot.bottom - 1 - static_cast<int32_t>(int64_t{cells} * h / std::max(1, top));
}

void PaintGraphPixels(PixelSurface surface, const GraphLayout& layout)
{
    Fill(surface, {0, 0, surface.width, surface.height}, kBackgroundColour);
    const PixelRect& plot = layout.plot;
    const int32_t thin = std::max(1, Scaled(1, layout.scale));
    const int64_t boards = TimelineBoards();
    const int64_t columns = plot.right - plot.left;
    const int32_t top = GraphTop(SummariseTimeline(0, boards).mostCells);
    // The axes.
    Fill(surface, {plot.left - thin, plot.top, plot.left, plot.bottom + thin}, kGraphAxisColour);
    Fill(surface, {plot.left - thin, plot.bottom, plot.right, plot.bottom + thin}, kGraphAxisColour);
    if (GraphShowsLimit(SummariseTimeline(0, boards).mostCells)) {
        const int32_t y = GraphRowOf(layout, kMaxCells, top);
        for (int32_t x = plot.left; x < plot.right; x += 6 * thin) {
            Fill(surface, {x, y, std::min(plot.right, x + 3 * thin), y + thin}, kGraphLimitColour);
        }
    }
    if (boards == 0) {
        return;
    }
    const int64_t shown = TimelineShown();
    const int32_t mark = Scaled(5, layout.scale);
    // One column at a time: the span of its boards, joined to the last board of the column before.
    int32_t previous = -1;
    for (int64_t c = 0; c < columns; ++c) {
        int64_t first = FirstOfColumn(c, columns, boards), end = FirstOfColumn(c + 1, columns, boards);
        // With fewer boards than columns a board spans several; its own column is the one it is nearest.
        const bool own = first < end;
        if (!own) {
            first = GraphBoardAt(layout, plot.left + static_cast<int32_t>(c), boards);
            end = first + 1;
        }
        const TimelineSpan span = SummariseTimeline(first, end);
        int32_t high = GraphRowOf(layout, span.mostCells, top), low = GraphRowOf(layout, span.fewestCells, top);
        if (previous >= 0) {
            high = std::min(high, previous), low = std::max(low, previous);
        }
        previous = GraphRowOf(layout, TimelineCells(end - 1), top);
        const int32_t x = plot.left + static_cast<int32_t>(c);
        // Columns past the board shown are light; the line at the board shown stands between.
        const uint32_t colour = first > shown ? kGraphFutureColour : kGraphPastColour;
        Fill(surface, {x, high - (thin - 1), x + 1, low + 1}, colour);
        // A small triangle under the axis, pointing up at the column.
        if (own && span.edited) {
            const int32_t tip = plot.bottom + 2 * thin;
            for (int32_t row = 0; row < mark; ++row) {
                Fill(surface, {x - row / 2, tip + row, x + row / 2 + 1, tip + row + 1}, kGraphEditColour);
            }
        }
    }
    const int32_t x = GraphColumnOf(layout, shown, boards);
    Fill(surface, {x - thin / 2, plot.top, x - thin / 2 + std::max(1, thin), plot.bottom}, kGraphShownColour);
}
