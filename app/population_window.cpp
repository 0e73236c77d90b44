#include "population_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "board_painter.h"
#include "pointer.h"
#include "graph_pixels.h"
#include "run.h"
#include "thousands.h"
#include "timeline_summary.h"

namespace {

const char kClassName[] = "QuillanePopulation";
const char kCaption[] = "The Quillane: Population";

HWND graph = nullptr;
int64_t hovered = -1;  // the board under the pointer, -1 when it is elsewhere
bool tracking = false; // asked to hear when the pointer leaves

GraphLayout Layout(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return LayOutGraph(client.right, client.bottom, dpi);
}

std::string BoardText(int64_t board)
{
    const int32_t cells = TimelineCells(board);
    return "generation " + WithThousands(static_cast<uint64_t>(TimelineGeneration(board))) + ", " +
           WithThousands(static_cast<uint64_t>(cells)) + (cells == 1 ? " cell" : " cells");
}

void Text(HDC dc, const std::string& text, RECT r, UINT format, COLORREF colour)
{
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

// The labels over the plot's pixels: the largest population beside its row, the first and last
// generation under the axis' ends, the limit beside its line, and the status line.
void DrawLabels(HDC dc, const GraphLayout& layout)
{
    const PixelRect& plot = layout.plot;
    const int64_t boards = TimelineBoards();
    const int32_t most = SummariseTimeline(0, boards).mostCells;
    const int32_t top = GraphTop(most);
    const int32_t line = MulDiv(16, layout.scale, 96);
    const int32_t gap = MulDiv(4, layout.scale, 96);
    const COLORREF text = RGB(64, 64, 64);
    SetBkMode(dc, TRANSPARENT);
    const int32_t mostRow = GraphRowOf(layout, most, top);
    Text(dc, WithThousands(static_cast<uint64_t>(most)), {0, mostRow - line / 2, plot.left - gap, mostRow + line / 2},
         DT_RIGHT | DT_VCENTER, text);
    if (GraphShowsLimit(most)) {
        const int32_t limitRow = GraphRowOf(layout, 10000, top);
        Text(dc, "10,000", {0, limitRow - line, plot.left - gap, limitRow}, DT_RIGHT | DT_BOTTOM, RGB(208, 48, 48));
    }
    if (boards > 0) {
        const int32_t below = plot.bottom + MulDiv(10, layout.scale, 96);
        Text(dc, WithThousands(static_cast<uint64_t>(TimelineGeneration(0))),
             {plot.left - gap, below, plot.right, below + line}, DT_LEFT | DT_TOP, text);
        Text(dc, WithThousands(static_cast<uint64_t>(TimelineGeneration(boards - 1))),
             {plot.left, below, plot.right, below + line}, DT_RIGHT | DT_TOP, text);
    }
    const PixelRect& s = layout.status;
    Text(dc, PopulationStatusText(), {s.left + gap, s.top, s.right - gap, s.bottom}, DT_LEFT | DT_VCENTER, text);
}

HFONT FontFor(int32_t scale)
{
    static HFONT font = nullptr;
    static int32_t fontScale = 0;
    if (!font || fontScale != scale) {
        if (font) {
            DeleteObject(font);
        }
        font = CreateFontA(-MulDiv(12, scale, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, "Tahoma");
        fontScale = scale;
    }
    return font;
}

// The memory bitmap the graph is composed in, kept while the window's size stays.
struct Canvas {
    HBITMAP bitmap;
    HDC dc;
    uint32_t* pixels;
    int32_t width;
    int32_t height;
};
Canvas canvas = {};

void DropCanvas()
{
    if (canvas.dc) {
        DeleteDC(canvas.dc);
    }
    if (canvas.bitmap) {
        DeleteObject(canvas.bitmap);
    }
    canvas = {};
}

bool CanvasOf(HDC dc, int32_t width, int32_t height)
{
    if (canvas.dc && canvas.width == width && canvas.height == height) {
        return true;
    }
    DropCanvas();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    canvas.bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas.dc = CreateCompatibleDC(dc);
    if (!canvas.bitmap || !canvas.dc) {
        DropCanvas();
        return false;
    }
    SelectObject(canvas.dc, canvas.bitmap);
    SetBkMode(canvas.dc, TRANSPARENT);
    canvas.pixels = static_cast<uint32_t*>(bits);
    canvas.width = width;
    canvas.height = height;
    return true;
}

// Composed in a memory bitmap and shown in one copy, so nothing flickers.
void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const GraphLayout layout = Layout(window);
    const int32_t width = layout.status.right, height = layout.status.bottom;
    if (width > 0 && height > 0 && CanvasOf(dc, width, height)) {
        PaintGraphPixels({canvas.pixels, width, height}, layout);
        GdiFlush();
        SelectObject(canvas.dc, FontFor(layout.scale));
        DrawLabels(canvas.dc, layout);
        BitBlt(dc, 0, 0, width, height, canvas.dc, 0, 0, SRCCOPY);
    }
    EndPaint(window, &paint);
}

void Scrub(HWND window, int64_t board)
{
    // Any command drops a paste waiting to be placed; a scrub is one.
    CancelPlacing(mainWindow);
    ScrubTo(mainWindow, board);
    UpdateWindow(window);
}

void Hover(HWND window, int32_t px, int32_t py)
{
    const GraphLayout layout = Layout(window);
    const PixelRect& plot = layout.plot;
    const bool over = px >= plot.left && px < plot.right && py >= plot.top && py < layout.status.top;
    const int64_t board = over && TimelineBoards() > 0 ? GraphBoardAt(layout, px, TimelineBoards()) : -1;
    if (board != hovered) {
        hovered = board;
        RECT status = {layout.status.left, layout.status.top, layout.status.right, layout.status.bottom};
        InvalidateRect(window, &status, FALSE);
    }
    // Asked once the pointer is over the window: asked while it is elsewhere, the leave would come at once.
    if (!tracking && px >= 0) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
        tracking = TrackMouseEvent(&track) != FALSE;
    }
}

void OnMouse(HWND window, UINT message, WPARAM keys, LPARAM lParam)
{
    const int32_t px = GET_X_LPARAM(lParam), py = GET_Y_LPARAM(lParam);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        SetCapture(window);
    }
    if (message != WM_MOUSEMOVE || ((keys & MK_LBUTTON) && GetCapture() == window)) {
        Scrub(window, GraphBoardAt(Layout(window), px, TimelineBoards()));
    }
    Hover(window, px, py);
}

// Left and Right move one entry, Home and End to the oldest kept and the newest; every other key is
// the main window's, so G closes the graph and P plays from here too.
void OnKey(HWND window, WPARAM key, LPARAM lParam)
{
    const int64_t shown = TimelineShown();
    switch (key) {
    case VK_LEFT: Scrub(window, shown - 1); break;
    case VK_RIGHT: Scrub(window, shown + 1); break;
    case VK_HOME: Scrub(window, 0); break;
    case VK_END: Scrub(window, TimelineBoards() - 1); break;
    default: SendMessageA(mainWindow, WM_KEYDOWN, key, lParam); break;
    }
}

LRESULT CALLBACK GraphProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: Paint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: OnMouse(window, message, wParam, lParam); return 0;
    case WM_LBUTTONUP: ReleaseCapture(); return 0;
    case WM_MOUSELEAVE:
        tracking = false;
        Hover(window, -1, -1);
        return 0;
    case WM_KEYDOWN: OnKey(window, wParam, lParam); return 0;
    case WM_DPICHANGED: {
        const RECT& r = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        DropCanvas();
        graph = nullptr;
        hovered = -1;
        tracking = false;
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Beside the owner's right edge, or its left one when the screen ends there.
RECT PlaceBeside(HWND owner, int32_t width, int32_t height)
{
    RECT main;
    GetWindowRect(owner, &main);
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    LONG left = main.right;
    if (left + width > work.right) {
        left = main.left - width >= work.left ? main.left - width : work.right - width;
    }
    const LONG top = std::max(work.top, std::min(main.top, work.bottom - height));
    return {left, top, left + width, top + height};
}

}  // namespace

void TogglePopulationWindow(HWND owner)
{
    if (graph) {
        DestroyWindow(graph);
        return;
    }
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA type = {};
        type.cbSize = sizeof type;
        type.style = CS_DBLCLKS;
        type.lpfnWndProc = GraphProc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.hCursor = LoadCursor(nullptr, IDC_CROSS);
        type.lpszClassName = kClassName;
        registered = RegisterClassExA(&type) != 0;
    }
    HDC dc = GetDC(owner);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(owner, dc);
    const RECT r = PlaceBeside(owner, MulDiv(480, dpi, 96), MulDiv(260, dpi, 96));
    graph = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                            r.left, r.top, r.right - r.left, r.bottom - r.top, owner, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
    if (graph) {
        ShowWindow(graph, SW_SHOWNA);
    }
}

HWND PopulationWindow()
{
    return graph;
}

void ShowTimelineChanged()
{
    // Drawn now: a paint left waiting would send full speed's next batch to its slower timer.
    if (graph) {
        InvalidateRect(graph, nullptr, FALSE);
        UpdateWindow(graph);
    }
}

std::string PopulationStatusText()
{
    const int64_t boards = TimelineBoards();
    if (boards == 0) {
        return "";
    }
    return BoardText(hovered >= 0 && hovered < boards ? hovered : TimelineShown());
}
