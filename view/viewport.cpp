#include "viewport.h"

#include <algorithm>
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
int32_t FloorDiv(int32_t pixel, int32_t size)
{
    int32_t q = pixel / size;
    return (pixel % size < 0) ? q - 1 : q;
}

}  // namespace

Cell ScreenToCell(int32_t px, int32_t py)
{
    return {WrapSub(FloorDiv(px, viewport.cellSize), viewport.offsetX),
            WrapSub(FloorDiv(py, viewport.cellSize), viewport.offsetY)};
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
    PlaceCellAt(under, px, py);
}

void PlaceCellAt(Cell cell, int32_t px, int32_t py)
{
    // Whichever column and row hold the pixel, the cell moves there.
    viewport.offsetX = WrapSub(FloorDiv(px, viewport.cellSize), cell.x);
    viewport.offsetY = WrapSub(FloorDiv(py, viewport.cellSize), cell.y);
}

namespace {

// The offset that centres the arc's columns in `pixels`, at `size` pixels a cell.
int32_t CentringOffset(PlaneArc span, int32_t pixels, int32_t size)
{
    const int64_t margin = (int64_t{pixels} - static_cast<int64_t>(span.length) * size) / 2;
    const int64_t column = margin >= 0 ? margin / size : -((-margin + size - 1) / size);
    return WrapSub(static_cast<int32_t>(column), span.start);
}

// The most live cells that any window of `width` x `height` cells can show, found by sweeping
// a window across the columns while a max tree over the window's possible top rows counts what each
// would hold: O(n log n). Cells are given from the box's corner, so the plane's ends play no part.
// Returns the box of the cells in the best window, from the same corner.
struct Part {
    int64_t left, top, right, bottom;  // inclusive
};

Part FullestPart(std::vector<std::pair<int64_t, int64_t>> cells, int64_t width, int64_t height)
{
    std::sort(cells.begin(), cells.end());
    // An optimal window can always be moved down until its top row holds a cell, so the tops
    // worth trying are the cells' rows.
    std::vector<int64_t> tops;
    for (const auto& c : cells) {
        tops.push_back(c.second);
    }
    std::sort(tops.begin(), tops.end());
    tops.erase(std::unique(tops.begin(), tops.end()), tops.end());
    size_t leaves = 1;
    while (leaves < tops.size()) {
        leaves *= 2;
    }
    std::vector<int32_t> most(2 * leaves, 0), pending(2 * leaves, 0);
    // Adds `by` to the tops [from, to) and keeps each node's maximum below it.
    auto add = [&](auto& self, size_t node, size_t lo, size_t hi, size_t from, size_t to, int32_t by) -> void {
        if (to <= lo || hi <= from) {
            return;
        }
        if (from <= lo && hi <= to) {
            most[node] += by;
            pending[node] += by;
            return;
        }
        const size_t mid = (lo + hi) / 2;
        self(self, 2 * node, lo, mid, from, to, by);
        self(self, 2 * node + 1, mid, hi, from, to, by);
        most[node] = pending[node] + std::max(most[2 * node], most[2 * node + 1]);
    };
    // A cell counts for the tops from its row - height + 1 to its row.
    auto count = [&](const std::pair<int64_t, int64_t>& c, int32_t by) {
        const size_t from = static_cast<size_t>(std::lower_bound(tops.begin(), tops.end(), c.second - height + 1) -
                                                tops.begin());
        const size_t to = static_cast<size_t>(std::upper_bound(tops.begin(), tops.end(), c.second) - tops.begin());
        add(add, 1, 0, leaves, from, to, by);
    };
    int32_t best = 0;
    int64_t bestLeft = 0;
    size_t last = 0;
    for (size_t first = 0; first < cells.size(); ++first) {
        while (last < cells.size() && cells[last].first < cells[first].first + width) {
            count(cells[last++], +1);
        }
        if (most[1] > best) {
            best = most[1];
            bestLeft = cells[first].first;
        }
        count(cells[first], -1);
    }
    // Within the best columns, the rows of the first window that holds as many.
    std::vector<std::pair<int64_t, int64_t>> held;  // row, column
    for (const auto& c : cells) {
        if (c.first >= bestLeft && c.first < bestLeft + width) {
            held.emplace_back(c.second, c.first);
        }
    }
    std::sort(held.begin(), held.end());
    Part part = {INT64_MAX, 0, INT64_MIN, 0};
    for (size_t first = 0, last = 0; first < held.size(); ++first) {
        while (last < held.size() && held[last].first < held[first].first + height) {
            ++last;
        }
        if (last - first == static_cast<size_t>(best)) {
            part.top = held[first].first;
            part.bottom = held[last - 1].first;
            for (size_t i = first; i < last; ++i) {
                part.left = std::min(part.left, held[i].second);
                part.right = std::max(part.right, held[i].second);
            }
            break;
        }
    }
    return part;
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
    PlaneArc across = ShortestArc(std::move(xs), 0);
    PlaneArc down = ShortestArc(std::move(ys), 0);
    int32_t size = kLargestFitSize;
    // One pixel more than the cells for the grid line that closes the box.
    auto fits = [&](int32_t s) {
        return static_cast<int64_t>(across.length) * s + 1 <= clientWidth &&
               static_cast<int64_t>(down.length) * s + 1 <= clientHeight;
    };
    while (size > kMinCellSize && !fits(size)) {
        --size;
    }
    if (!fits(size)) {
        // Huge sparse constructions are mostly empty in the middle of their box: show the part
        // of the window's size that holds the most.
        std::vector<std::pair<int64_t, int64_t>> cells(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            cells[static_cast<size_t>(i)] = {StepsFrom(across.start, CellAt(i).x), StepsFrom(down.start, CellAt(i).y)};
        }
        const Part part = FullestPart(std::move(cells), std::max(1, (clientWidth - 1) / size),
                                      std::max(1, (clientHeight - 1) / size));
        across = {WrapAdd(across.start, static_cast<int32_t>(part.left)),
                  static_cast<uint64_t>(part.right - part.left + 1)};
        down = {WrapAdd(down.start, static_cast<int32_t>(part.top)), static_cast<uint64_t>(part.bottom - part.top + 1)};
    }
    viewport = {size, CentringOffset(across, clientWidth, size), CentringOffset(down, clientHeight, size)};
}
