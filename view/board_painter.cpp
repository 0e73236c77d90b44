#include "board_painter.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "cell_table.h"

HWND mainWindow = nullptr;

namespace {

COLORREF ToColorRef(uint32_t colour)
{
    return RGB(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

// The board as last composed for one window, kept from one paint to the next, and kept true by
// every cell drawn since. Plain heap memory: fresh memory costs a page fault per page on first
// touch, which a full-screen board would pay on every paint. It grows with the client area and
// goes with the process.
struct Composition {
    uint32_t* pixels;
    size_t capacity;
    HWND window;
    int32_t width;
    int32_t height;
};

Composition composition = {};

// Cells drawn during a generation step, shown together when the step ends.
struct Batch {
    bool open;
    HWND window;
    PixelRect pending;
};

Batch batch = {};

BoardOverlay overlay = {};

// The live cells the composition shows while generations run unseen, and the bands of rows a
// frame shows. Kept from one batch to the next: under Wine a large block allocated and freed
// between batches made the history's allocations, and so every generation, markedly slower.
std::vector<Cell> unseenFrom;
std::vector<PixelRect> bands;

PixelSurface Surface()
{
    return {composition.pixels, composition.width, composition.height};
}

bool Composed(HWND window, int32_t width, int32_t height)
{
    return composition.pixels && composition.window == window && composition.width == width &&
           composition.height == height;
}

bool ComposedAtPresentSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return Composed(window, client.right, client.bottom);
}

// Without a composition of the window's present size there is nothing to patch: the window is
// repainted whole instead, and true says the caller has nothing left to do.
bool RepaintedWhole(HWND window)
{
    if (ComposedAtPresentSize(window)) {
        return false;
    }
    RepaintNow(window);
    return true;
}

// Copies part of the composition onto a device context of its window.
void Show(HDC dc, PixelRect r)
{
    const int32_t rows = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = composition.width;
    info.bmiHeader.biHeight = -rows;  // top-down, like PixelSurface, starting at row r.top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const uint32_t* first = composition.pixels + static_cast<size_t>(r.top) * static_cast<size_t>(composition.width);
    SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(r.right - r.left), static_cast<DWORD>(rows), r.left, 0,
                      0, static_cast<UINT>(rows), first, &info, DIB_RGB_COLORS);
}

void ShowOnWindow(HWND window, PixelRect r)
{
    HDC dc = GetDC(window);
    Show(dc, r);
    ReleaseDC(window, dc);
}

bool Compose(HWND window, int32_t width, int32_t height)
{
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (pixels > composition.capacity) {
        std::free(composition.pixels);
        composition.pixels = static_cast<uint32_t*>(std::malloc(pixels * sizeof(uint32_t)));
        composition.capacity = composition.pixels ? pixels : 0;
    }
    if (!composition.pixels) {
        composition = {};
        return false;
    }
    composition.window = window;
    composition.width = width;
    composition.height = height;
    PaintAreaPixels(Surface(), {0, 0, width, height}, overlay);
    return true;
}

}  // namespace

// Composes the board off-screen and shows it in one copy. The copy is clipped to the update
// region; outside it the window already shows the board.
void PaintBoard(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right > 0 && client.bottom > 0) {
        if (Compose(window, client.right, client.bottom)) {
            Show(dc, {0, 0, client.right, client.bottom});
        } else {
            // Too large to compose: a blank board beats whatever the window held before.
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
    }
    EndPaint(window, &paint);
}

void DrawCell(int32_t x, int32_t y, bool alive, HWND window)
{
    // Without a window, GetDC would hand out the whole screen.
    if (!window) {
        return;
    }
    int32_t width = 0;
    int32_t height = 0;
    if (batch.open && batch.window == window && composition.window == window) {
        width = composition.width;  // the size does not change within a step
        height = composition.height;
    } else {
        RECT client = {};
        if (!GetClientRect(window, &client)) {
            return;
        }
        width = client.right;
        height = client.bottom;
    }
    const PixelRect r = CellInterior(x, y, width, height);
    if (IsEmptyRect(r)) {
        return;
    }
    if (Composed(window, width, height)) {
        DrawCellPixels(Surface(), x, y, alive, overlay);
        if (batch.open && batch.window == window) {
            batch.pending = UniteRects(batch.pending, r);
        } else {
            ShowOnWindow(window, r);
        }
        return;
    }
    // Nothing composed for this window at this size yet: draw straight onto it.
    HDC dc = GetDC(window);
    // The DC brush is a stock object: nothing is created, so nothing can leak.
    SetDCBrushColor(dc, ToColorRef(alive ? kLiveColour : kDeadColour));
    RECT interior = {r.left, r.top, r.right, r.bottom};
    FillRect(dc, &interior, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    ReleaseDC(window, dc);
}

void DrawCellChange(int32_t x, int32_t y, bool alive)
{
    DrawCell(x, y, alive, mainWindow);
}

void BeginCellChanges(HWND window)
{
    // A step after a resize that has not been painted yet draws cell by cell.
    batch = {ComposedAtPresentSize(window), window, {0, 0, 0, 0}};
}

void EndCellChanges()
{
    if (batch.open && !IsEmptyRect(batch.pending)) {
        ShowOnWindow(batch.window, batch.pending);
    }
    batch = {};
}

void BeginUnseenChanges()
{
    unseenFrom.clear();
    for (int32_t i = 0; i < count; ++i) {
        unseenFrom.push_back(CellAt(i));
    }
}

void ShowUnseenChanges(HWND window)
{
    if (RepaintedWhole(window)) {
        return;
    }
    DrawChangedCells(Surface(), unseenFrom, overlay, bands);
    if (!bands.empty()) {
        HDC dc = GetDC(window);
        for (PixelRect band : bands) {
            Show(dc, band);
        }
        ReleaseDC(window, dc);
    }
}

void RepaintNow(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void SetBoardOverlay(const BoardOverlay& newOverlay)
{
    overlay = newOverlay;
}

void RepaintArea(HWND window, PixelRect area)
{
    if (RepaintedWhole(window)) {
        return;
    }
    area = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, composition.width),
            std::min(area.bottom, composition.height)};
    PaintAreaPixels(Surface(), area, overlay);
    if (!IsEmptyRect(area)) {
        ShowOnWindow(window, area);
    }
}

void ShowPreviewMoved(HWND window, Cell from)
{
    if (RepaintedWhole(window)) {
        return;
    }
    const PixelRect changed = MovePreviewPixels(Surface(), overlay, from);
    if (!IsEmptyRect(changed)) {
        ShowOnWindow(window, changed);
    }
}
