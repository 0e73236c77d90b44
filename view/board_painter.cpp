#include "board_painter.h"

HWND mainWindow = nullptr;

namespace {

COLORREF ToColorRef(uint32_t colour)
{
    return RGB(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

// Composes the board in a DIB section the size of the client area and copies it in one blit.
// The copy is clipped to the update region; outside it the window already shows the board.
void PaintClient(HWND window, bool withCells)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client = {};
    GetClientRect(window, &client);
    const int32_t width = client.right;
    const int32_t height = client.bottom;
    if (width > 0 && height > 0) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down, like PixelSurface
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits) {
            PixelSurface surface = {static_cast<uint32_t*>(bits), width, height};
            if (withCells) {
                PaintBoardPixels(surface);
            } else {
                PaintGridPixels(surface);
            }
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ previous = SelectObject(memory, bitmap);
            BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
            SelectObject(memory, previous);
            DeleteDC(memory);
        } else {
            // Too large to compose: a blank board beats whatever the window held before.
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        if (bitmap) {
            DeleteObject(bitmap);
        }
    }
    EndPaint(window, &paint);
}

}  // namespace

void PaintGrid(HWND window)
{
    PaintClient(window, false);
}

void PaintBoard(HWND window)
{
    PaintClient(window, true);
}

void DrawCell(int32_t x, int32_t y, bool alive, HWND window)
{
    // Without a window, GetDC would hand out the whole screen.
    RECT client = {};
    if (!window || !GetClientRect(window, &client)) {
        return;
    }
    PixelRect r = CellInterior(x, y, client.right, client.bottom);
    if (IsEmptyRect(r)) {
        return;
    }
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

void RequestRepaint(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}
