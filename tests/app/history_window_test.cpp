// Going back, the greyed menu items, the caption, the wheel and Home, through the real dialog.
#include <functional>

#include "window_harness.h"

namespace {

std::string WindowCaption()
{
    char text[200] = "";
    GetWindowTextA(mainWindow, text, sizeof text);
    return text;
}

using Backward = MainWindowTest;

TEST_F(Backward, LeftCtrlZAndTheCommandStopTheTimerThenUndoAClearAndAGenerationThenDoNothing)
{
    const struct { const char* name; std::function<INT_PTR()> act; } cases[] = {
        {"Left", [] { return PressKey(VK_LEFT); }},
        {"Ctrl+Z", [] { return PressKey('Z', {VK_CONTROL}); }},
        {"the command", [] { return Command(IDM_STEP_BACKWARD); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearCells();
        PlaceCells(kBlinker);
        Command(IDM_SPEED_10);
        PressKey(VK_RIGHT);
        PressKey('C');
        PressKey('Z');  // Z alone is no key of the program
        EXPECT_EQ(c.act(), TRUE);
        EXPECT_EQ(platform.timer, 0u);
        EXPECT_EQ(LiveCells(), kBlinkerTurned);
        EXPECT_EQ(generation, 1);
        EXPECT_EQ(CellColour(1, 0), kLive);
        c.act();
        EXPECT_EQ(LiveCells(), kBlinker);
        EXPECT_EQ(generation, 0);
        EXPECT_EQ(CellColour(0, 1), kLive);
        EXPECT_EQ(CellColour(1, 0), kWhite);
        // Nothing left to undo: no change, no beep, no box.
        EXPECT_EQ(c.act(), TRUE);
        EXPECT_EQ(LiveCells(), kBlinker);
        EXPECT_EQ(platform.beeps, 0);
        EXPECT_TRUE(platform.shown.empty());
    }
}

// The menu open at the moment, read from inside its own loop; the timer then closes it.
UINT contextItemState = 0;

void WINAPI ReadContextMenuAndClose(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND popup = FindWindowA("#32768", nullptr)) {
        auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        contextItemState = GetMenuState(menu, IDM_STEP_BACKWARD, MF_BYCOMMAND);
    }
    EndMenu();
}

UINT ContextMenuItemState()
{
    contextItemState = ~0u;
    UINT_PTR readAndClose = SetTimer(nullptr, 0, 20, ReadContextMenuAndClose);
    Deliver(WM_RBUTTONDOWN);
    KillTimer(nullptr, readAndClose);
    return contextItemState;
}

TEST_F(Backward, BothMenusGreyTheItemExactlyWhenThereIsNothingToGoBackTo)
{
    HMENU game = GetSubMenu(GetMenu(window), 1);
    for (bool history : {false, true, false}) {
        SCOPED_TRACE(history ? "with history" : "without");
        if (history) {
            Click(20, 20);
        } else {
            PressKey(VK_LEFT);
        }
        Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(game));
        EXPECT_EQ((GetMenuState(game, IDM_STEP_BACKWARD, MF_BYCOMMAND) & MF_GRAYED) != 0, !history);
        const UINT context = ContextMenuItemState();
        ASSERT_NE(context, ~0u) << "the context menu did not open";
        EXPECT_EQ((context & MF_GRAYED) != 0, !history);
    }
}

using Caption = MainWindowTest;

TEST_F(Caption, ShowsTheGenerationAndCellsOnceAnythingHappenedAndThePeriodWhileRunning)
{
    EXPECT_EQ(WindowCaption(), "The Quillane (0.0.1)");
    Click(20, 20);
    EXPECT_EQ(WindowCaption(), "The Quillane (0.0.1) - generation 0, 1 cells");
    ClearCells();
    PlaceCells(kBlinker);
    Command(IDM_SPEED_100);
    EXPECT_EQ(WindowCaption(), "The Quillane (0.0.1) - generation 0, 3 cells, running at 100 ms");
    // Within a tenth of a second of the last change, ticks leave the caption alone...
    Sleep(110);
    Tick();
    const DWORD first = GetTickCount();
    Tick();
    if (GetTickCount() - first < 80) {
        EXPECT_EQ(WindowCaption(), "The Quillane (0.0.1) - generation 1, 3 cells, running at 100 ms");
    }
    // ...and a stop shows the board as it is at once.
    PressKey('S');
    EXPECT_EQ(WindowCaption(), "The Quillane (0.0.1) - generation 2, 3 cells");
    ClearCells();
    FillTableToTheBrim();
    PressKey('S');
    EXPECT_EQ(WindowCaption(), "The Quillane (0.0.1) - generation 0, 10,000 cells");
}

std::vector<COLORREF> WindowPixels()
{
    RECT r;
    GetWindowRect(mainWindow, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HDC screen = GetWindowDC(mainWindow), memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<COLORREF*>(bits), static_cast<COLORREF*>(bits) + w * h);
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(mainWindow, screen);
    return pixels;
}

// A caption change leaves the scroll bars out of its repaint: the frame must still come out as a
// full repaint draws it, and the bars stay in the style.
TEST_F(Caption, AChangeDrawsTheFrameAsAFullRepaintDoesAndKeepsTheScrollBars)
{
    const std::vector<COLORREF> before = WindowPixels();
    Command(IDM_SPEED_100);  // the caption changes, the board does not
    const std::vector<COLORREF> changed = WindowPixels();
    EXPECT_TRUE(changed != before) << "the title bar still shows the old caption";
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(WindowPixels() == changed);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
}

using Wheel = MainWindowTest;

TEST_F(Wheel, EachWholeNotchZoomsByOneAboutTheCursorUpToTheLimits)
{
    POINT cursor = {100, 70};
    ClientToScreen(window, &cursor);
    const LPARAM at = MAKELPARAM(cursor.x, cursor.y);
    const Cell under = ScreenToCell(100, 70);
    PlaceCells({under});
    const struct { int delta; int32_t size; } cases[] = {
        {WHEEL_DELTA, 16}, {-2 * WHEEL_DELTA, 14}, {WHEEL_DELTA / 2, 14}, {WHEEL_DELTA / 2, 15},
        {-40, 15}, {-40, 15}, {-40, 14}, {-30 * WHEEL_DELTA, kMinCellSize}, {200 * WHEEL_DELTA, kMaxCellSize}};
    for (auto c : cases) {
        SCOPED_TRACE(c.delta);
        EXPECT_EQ(Deliver(WM_MOUSEWHEEL, MAKEWPARAM(0, c.delta), at), TRUE);
        EXPECT_EQ(viewport.cellSize, c.size);
        EXPECT_EQ(ScreenToCell(100, 70), under);
        EXPECT_EQ(CellColour(under.x, under.y), kLive);
    }
}

TEST_F(MainWindowTest, HomeBringsTheLiveCellsIntoViewAndDrawsThem)
{
    PlaceCells({{5000, -7000}, {5003, -6990}});
    PressKey(VK_HOME);
    EXPECT_EQ(CellColour(5000, -7000), kLive);
    EXPECT_EQ(CellColour(5003, -6990), kLive);
}

}  // namespace
