#include "board_pixels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "cell_table.h"
#include "viewport.h"

namespace {

uint32_t* Row(PixelSurface surface, int64_t y)
{
    return surface.pixels + static_cast<size_t>(y) * static_cast<size_t>(surface.width);
}

// Where a surface's area and a box of 64-bit pixel positions overlap.
PixelRect Overlap(PixelRect area, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    const auto within = [](int64_t value, int32_t low, int32_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, low, std::max(low, high)));
    };
    return {within(left, area.left, area.right), within(top, area.top, area.bottom),
            within(right, area.left, area.right), within(bottom, area.top, area.bottom)};
}

// The interior of the cell's square (less its first row and column, where the grid lines lie)
// within the area.
PixelRect InteriorIn(PixelRect area, Cell cell, Viewport v)
{
    const PixelPoint corner = CornerOf(cell.x, cell.y, v);
    return Overlap(area, corner.x + 1, corner.y + 1, corner.x + v.cellSize, corner.y + v.cellSize);
}

// White with a grid pixel on every vertical line, for the pixels left <= x < right of a row that
// lies inside a band of cells (or is row 0, which has no line).
void FillLineRow(uint32_t* row, int32_t left, int32_t right, int32_t cellSize)
{
    std::fill(row + left, row + right, kBackgroundColour);
    for (int64_t x = std::max<int64_t>((int64_t{left} + cellSize - 1) / cellSize, 1) * cellSize; x < right;
         x += cellSize) {
        row[x] = kGridColour;
    }
}

// Every row of a band between two horizontal lines looks the same, so each band is composed once
// in its first row inside the area and copied down. The first line row and the first grid row
// composed are the templates every later one copies, all before any cell is drawn, so no cell
// costs more than one short run and every other row is one memcpy.
void PaintBands(PixelSurface surface, PixelRect area)
{
    area = Overlap(area, 0, 0, surface.width, surface.height);
    // The viewport never holds a size below kMinCellSize; the check keeps the loops finite.
    if (!surface.pixels || IsEmptyRect(area) || viewport.cellSize < 1) {
        return;
    }
    const int32_t size = viewport.cellSize;
    const size_t bytes = static_cast<size_t>(area.right - area.left) * sizeof(uint32_t);
    const auto at = [&](int64_t y) { return Row(surface, y) + area.left; };
    // Copies the first row of its kind, or composes it and becomes the one the others copy.
    const uint32_t* lineRow = nullptr;
    const uint32_t* gridRow = nullptr;
    const auto compose = [&](int64_t y, const uint32_t*& model, bool line) {
        if (model) {
            std::memcpy(at(y), model, bytes);
            return;
        }
        if (line) {
            FillLineRow(Row(surface, y), area.left, area.right, size);
        } else {
            std::fill_n(at(y), area.right - area.left, kGridColour);
        }
        model = at(y);
    };
    const int64_t firstBand = int64_t{area.top} / size * size;
    for (int64_t top = firstBand; top < area.bottom; top += size) {
        // Row 0 has no horizontal line: it looks like a row inside a band.
        if (top >= area.top) {
            compose(top, top == 0 ? lineRow : gridRow, top == 0);
        }
        const int64_t first = std::max<int64_t>(top + 1, area.top);
        if (first < std::min<int64_t>(top + size, area.bottom)) {
            compose(first, lineRow, true);
        }
    }
    // All live cells share one colour, so table order cannot change the result. Squares start on
    // multiples of the size, so a visible interior starts on its band's first row in the area.
    const Viewport v = viewport;
    for (int32_t i = 0; i < count; ++i) {
        const PixelRect r = InteriorIn(area, CellAt(i), v);
        if (!IsEmptyRect(r)) {
            std::fill(Row(surface, r.top) + r.left, Row(surface, r.top) + r.right, kLiveColour);
        }
    }
    for (int64_t top = firstBand; top < area.bottom; top += size) {
        const int64_t first = std::max<int64_t>(top + 1, area.top);
        for (int64_t y = first + 1; y < std::min<int64_t>(top + size, area.bottom); ++y) {
            std::memcpy(at(y), at(first), bytes);
        }
    }
}

// Four pixels' bytes, and the same widened to 16 bits: GCC's vector extensions make the mix a few
// SSE2 operations for four pixels (plain registers where there is no SSE), as every pixel of a
// grid at 2 px differs from its neighbours and no cache of the last colour helps.
typedef uint8_t PixelBytes __attribute__((vector_size(16)));
typedef uint16_t PixelWords __attribute__((vector_size(32)));

// Moves every pixel of `r` alpha/256 of the way towards `toward`, as MixColour does.
void MixPixels(PixelSurface surface, PixelRect r, uint32_t toward, uint32_t alpha)
{
    PixelWords keep;
    PixelWords add;
    for (int i = 0; i < 16; ++i) {
        keep[i] = static_cast<uint16_t>(256 - alpha);
        add[i] = static_cast<uint16_t>(((toward >> (i % 4 * 8)) & 0xFF) * alpha);
    }
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint32_t* row = Row(surface, y);
        int32_t x = r.left;
        for (; x + 4 <= r.right; x += 4) {
            PixelBytes bytes;
            std::memcpy(&bytes, row + x, sizeof bytes);
            const PixelWords mixed = (__builtin_convertvector(bytes, PixelWords) * keep + add) >> 8;
            bytes = __builtin_convertvector(mixed, PixelBytes);
            std::memcpy(row + x, &bytes, sizeof bytes);
        }
        for (; x < r.right; ++x) {
            row[x] = MixColour(row[x], toward, alpha);
        }
    }
}

// Screen columns (or rows) first to last, both included.
struct Run {
    int64_t first;
    int64_t last;
};

// The rectangle's columns that lie in screen columns -1 to `last`, where `start` is the screen
// column of its first and `cells` how many it has. Up to two runs, as a rectangle may leave the
// view at one side and come round the plane into it at the other. `last` is the surface's last
// column or later, so the line after it lies past the surface, as does the one before column -1:
// an edge the view cuts off is drawn off the surface and only a real edge shows. Returns how many.
int RunsInView(int32_t start, uint64_t cells, int64_t last, Run runs[2])
{
    const uint64_t columns = static_cast<uint64_t>(last + 2);
    const uint64_t offset = StepsFrom(start, -1);  // column -1's place in the rectangle
    int n = 0;
    if (offset < cells) {
        runs[n++] = {-1, -1 + static_cast<int64_t>(std::min(cells - offset, columns)) - 1};
    }
    const uint64_t toStart = (uint64_t{1} << 32) - offset;  // from column -1 round to the first
    if (offset != 0 && toStart < columns) {
        runs[n++] = {-1 + static_cast<int64_t>(toStart),
                     -1 + static_cast<int64_t>(toStart + std::min(cells, columns - toStart)) - 1};
    }
    return n;
}

// Calls `block` with the pixel box of each visible part of the rectangle: from the grid line
// before its first column and row to the one after its last, both included.
template <typename Block>
void ForEachPart(CellRect r, int32_t width, int32_t height, Block block)
{
    const Viewport v = viewport;
    Run across[2];
    Run down[2];
    const int xs = RunsInView(WrapAdd(r.left, v.offsetX), RectWidth(r), width / v.cellSize, across);
    const int ys = RunsInView(WrapAdd(r.top, v.offsetY), RectHeight(r), height / v.cellSize, down);
    for (int i = 0; i < xs; ++i) {
        for (int j = 0; j < ys; ++j) {
            block(across[i].first * v.cellSize, down[j].first * v.cellSize, (across[i].last + 1) * v.cellSize,
                  (down[j].last + 1) * v.cellSize);
        }
    }
}

void DrawSelection(PixelSurface surface, PixelRect area, CellRect r)
{
    ForEachPart(r, surface.width, surface.height, [&](int64_t left, int64_t top, int64_t right, int64_t bottom) {
        MixPixels(surface, Overlap(area, left + 1, top + 1, right, bottom), kSelectionTint, kSelectionAlpha);
        FillPixels(surface, Overlap(area, left, top, right + 1, top + 1), kSelectionOutline);
        FillPixels(surface, Overlap(area, left, bottom, right + 1, bottom + 1), kSelectionOutline);
        FillPixels(surface, Overlap(area, left, top, left + 1, bottom + 1), kSelectionOutline);
        FillPixels(surface, Overlap(area, right, top, right + 1, bottom + 1), kSelectionOutline);
    });
}

// Whether the waiting paste covers the cell: its box, then its index.
bool Previewed(const BoardOverlay& overlay, Cell cell)
{
    if (!overlay.preview) {
        return false;
    }
    const Cell offset = {WrapSub(cell.x, overlay.previewAt.x), WrapSub(cell.y, overlay.previewAt.y)};
    return RectContains(overlay.preview->box, offset) && StampHas(*overlay.preview, offset);
}

// The colour of a cell's interior under the overlay: every pixel of it is the same.
uint32_t InteriorColour(Cell cell, bool alive, const CellRect* selection, bool previewed)
{
    uint32_t colour = alive ? kLiveColour : kDeadColour;
    if (selection && RectContains(*selection, cell)) {
        colour = MixColour(colour, kSelectionTint, kSelectionAlpha);
    }
    return previewed ? MixColour(colour, kPreviewTint, kPreviewAlpha) : colour;
}

// The preview's cells at `at`, shown or not. Interiors only, so the grid and the selection's
// outline stay as they are; written, never read, so cells spread over a large surface cost no
// waits for memory.
void DrawPreview(PixelSurface surface, PixelRect area, const BoardOverlay& overlay, Cell at, bool shown)
{
    const Viewport v = viewport;
    for (size_t k = 0; k < overlay.preview->cells.size(); ++k) {
        const Cell cell = StampCell(*overlay.preview, k, at);
        const PixelRect r = InteriorIn(area, cell, v);
        if (!IsEmptyRect(r)) {
            FillPixels(surface, r, InteriorColour(cell, IsAlive(cell.x, cell.y), overlay.selection, shown));
        }
    }
}

// The cells whose interiors start on the surface, as bits row by row: those shown at the last frame
// and those alive now. Kept from one frame to the next, so a frame allocates nothing.
struct FrameMarks {
    std::vector<uint64_t> shown;
    std::vector<uint64_t> alive;
};

FrameMarks marks;

}  // namespace

PixelRect CellInterior(int32_t x, int32_t y, int32_t width, int32_t height)
{
    return InteriorIn({0, 0, width, height}, {x, y}, viewport);
}

void FillPixels(PixelSurface surface, PixelRect r, uint32_t colour)
{
    for (int32_t y = r.top; y < r.bottom; ++y) {
        std::fill_n(Row(surface, y) + r.left, r.right - r.left, colour);
    }
}

void DrawCellPixels(PixelSurface surface, int32_t x, int32_t y, bool alive, const BoardOverlay& overlay)
{
    const Cell cell = {x, y};
    const PixelRect r = CellInterior(x, y, surface.width, surface.height);
    if (!IsEmptyRect(r)) {
        FillPixels(surface, r, InteriorColour(cell, alive, overlay.selection, Previewed(overlay, cell)));
    }
}

PixelRect UniteRects(PixelRect a, PixelRect b)
{
    if (IsEmptyRect(a) || IsEmptyRect(b)) {
        return IsEmptyRect(a) ? b : a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

PixelRect CellRectArea(CellRect r, int32_t width, int32_t height)
{
    PixelRect area = {0, 0, 0, 0};
    ForEachPart(r, width, height, [&](int64_t left, int64_t top, int64_t right, int64_t bottom) {
        area = UniteRects(area, Overlap({0, 0, width, height}, left, top, right + 1, bottom + 1));
    });
    return area;
}

void PaintAreaPixels(PixelSurface surface, PixelRect area, const BoardOverlay& overlay)
{
    area = Overlap(area, 0, 0, surface.width, surface.height);
    if (!surface.pixels || IsEmptyRect(area) || viewport.cellSize < 1) {
        return;
    }
    PaintBands(surface, area);
    if (overlay.selection) {
        DrawSelection(surface, area, *overlay.selection);
    }
    if (overlay.preview) {
        DrawPreview(surface, area, overlay, overlay.previewAt, true);
    }
}

PixelRect MovePreviewPixels(PixelSurface surface, const BoardOverlay& overlay, Cell from)
{
    if (!surface.pixels || !overlay.preview || viewport.cellSize < 1) {
        return {0, 0, 0, 0};
    }
    // All the old cells go before any new one shows, as they may overlap.
    const PixelRect all = {0, 0, surface.width, surface.height};
    DrawPreview(surface, all, overlay, from, false);
    DrawPreview(surface, all, overlay, overlay.previewAt, true);
    return UniteRects(CellRectArea(StampRect(*overlay.preview, from), surface.width, surface.height),
                      CellRectArea(StampRect(*overlay.preview, overlay.previewAt), surface.width, surface.height));
}

void DrawChangedCells(PixelSurface surface, const std::vector<Cell>& shown, const BoardOverlay& overlay,
                      std::vector<PixelRect>& bands)
{
    bands.clear();
    const Viewport v = viewport;
    if (!surface.pixels || v.cellSize < 1 || surface.width < 2 || surface.height < 2) {
        return;
    }
    // A cell shows when its interior's first pixel, column * size + 1, lies on the surface.
    const uint32_t columns = static_cast<uint32_t>((surface.width - 2) / v.cellSize + 1);
    const uint32_t rows = static_cast<uint32_t>((surface.height - 2) / v.cellSize + 1);
    const size_t words = (columns + 63) / 64;
    marks.shown.assign(words * rows, 0);
    marks.alive.assign(words * rows, 0);
    const auto mark = [&](std::vector<uint64_t>& bits, Cell cell) {
        const uint32_t column = static_cast<uint32_t>(WrapAdd(cell.x, v.offsetX));
        const uint32_t row = static_cast<uint32_t>(WrapAdd(cell.y, v.offsetY));
        if (column < columns && row < rows) {
            bits[row * words + column / 64] |= uint64_t{1} << (column % 64);
        }
    };
    for (Cell cell : shown) {
        mark(marks.shown, cell);
    }
    for (int32_t i = 0; i < count; ++i) {
        mark(marks.alive, CellAt(i));
    }
    bands.assign(static_cast<size_t>((surface.height - 1) / kFrameBandRows + 1), PixelRect{0, 0, 0, 0});
    for (uint32_t row = 0; row < rows; ++row) {
        const int32_t top = static_cast<int32_t>(row) * v.cellSize + 1;
        const int32_t bottom = std::min(top + v.cellSize - 1, surface.height);
        PixelRect& band = bands[static_cast<size_t>(top / kFrameBandRows)];
        for (size_t w = 0; w < words; ++w) {
            const uint64_t alive = marks.alive[row * words + w];
            for (uint64_t changed = marks.shown[row * words + w] ^ alive; changed != 0; changed &= changed - 1) {
                const int bit = __builtin_ctzll(changed);
                const int32_t column = static_cast<int32_t>(w * 64) + bit;
                const Cell cell = {WrapSub(column, v.offsetX), WrapSub(static_cast<int32_t>(row), v.offsetY)};
                const int32_t left = column * v.cellSize + 1;
                const PixelRect r = {left, top, std::min(left + v.cellSize - 1, surface.width), bottom};
                FillPixels(surface, r, InteriorColour(cell, (alive >> bit) & 1, overlay.selection,
                                                      Previewed(overlay, cell)));
                band = UniteRects(band, r);
            }
        }
    }
    bands.erase(std::remove_if(bands.begin(), bands.end(), IsEmptyRect), bands.end());
}
