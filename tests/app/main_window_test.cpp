// The main window's own messages: start, clicks, scrolling, ticks, painting and close.
#include "window_harness.h"

namespace {

using Start = MainWindowTest;

TEST_F(Start, InitialisationCentresTheViewAndKeepsTheZoomAndSpeed)
{
    PanBy(4, -2);
    ZoomBy(3);
    stepIntervalMs = 200;
    EXPECT_EQ(Deliver(WM_INITDIALOG), TRUE);
    EXPECT_EQ(viewport.offsetX, 0);
    EXPECT_EQ(viewport.offsetY, 0);
    EXPECT_EQ(viewport.cellSize, kInitialCellSize + 3);
    EXPECT_EQ(stepIntervalMs, 200);
    EXPECT_FALSE(platform.timerRunning);
    for (int bar : {SB_HORZ, SB_VERT}) {
        int low = -1, high = -1;
        GetScrollRange(window, bar, &low, &high);
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, 100);
        EXPECT_EQ(GetScrollPos(window, bar), 50);
    }
    for (auto [which, size] : {std::pair<WPARAM, LONG>{ICON_BIG, 32}, {ICON_SMALL, 16}}) {
        ICONINFO icon = {};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0)), &icon));
        BITMAP image = {};
        GetObject(icon.hbmColor, sizeof image, &image);
        EXPECT_EQ(image.bmWidth, size);
        EXPECT_EQ(image.bmHeight, size);
    }
}

TEST_F(Start, AnEmptyGridOnTheWhiteBrush)
{
    auto brush = reinterpret_cast<HBRUSH>(Deliver(WM_CTLCOLORDLG));
    ASSERT_EQ(brush, backgroundBrush);
    LOGBRUSH style = {};
    GetObject(brush, sizeof style, &style);
    EXPECT_EQ(style.lbColor, kWhite);
    EXPECT_EQ(Pixel(7, 7), kWhite);
    EXPECT_EQ(Pixel(15, 7), kGrid);
    EXPECT_EQ(Pixel(7, 30), kGrid);
}

TEST(WinMainRun, ShowsTheWindowAndReturnsZeroAfterQuit)
{
    UINT_PTR quitOnceShown = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (mainWindow && IsWindowVisible(mainWindow)) {
            PostMessageA(mainWindow, WM_COMMAND, IDM_QUIT, 0);
        }
    });
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_HIDE), 0);
    KillTimer(nullptr, quitOnceShown);
    ASSERT_NE(mainWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    DestroyWindow(mainWindow);
    mainWindow = nullptr;
}

using Clicks = MainWindowTest;

TEST_F(Clicks, APressTogglesTheCellAndDrawsItAtOnce)
{
    EXPECT_EQ(Click(20, 20), FALSE);
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{1, 1}}));
    EXPECT_EQ(Pixel(16, 16), kLive);
    EXPECT_EQ(Pixel(29, 29), kLive);
    EXPECT_EQ(Pixel(15, 20), kGrid);
    EXPECT_EQ(Click(29, 16), FALSE);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Pixel(20, 20), kWhite);
    EXPECT_EQ(Pixel(15, 20), kGrid);
}

TEST_F(Clicks, ADoubleClickTogglesLikeAPress)
{
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Click(50, 50, WM_LBUTTONDBLCLK), FALSE);
    EXPECT_TRUE(IsAlive(3, 3));
    EXPECT_EQ(CellColour(3, 3), kLive);
}

TEST_F(Clicks, MapThroughOffsetsAndZoomWithUnsignedCoordinates)
{
    PanBy(2, -1);
    Click(20, 20);
    ZoomBy(3);
    Click(36, 17);
    Click(40000, 65535);
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{-1, 2}, {0, 1}, {40000 / 18 - 2, 65535 / 18 + 1}}));
}

TEST_F(Clicks, AFullTableRefusesANewCellWithABeepAndDrawsNothing)
{
    FillTableToTheBrim();
    AddCell(-50, -50);
    ASSERT_EQ(count, kMaxCells);
    EXPECT_EQ(Click(35, 35), FALSE);
    EXPECT_FALSE(IsAlive(2, 2));
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(CellColour(2, 2), kWhite);
    // A live cell still goes, and the room it leaves can be taken.
    Click(20, 20);
    Click(35, 35);
    EXPECT_FALSE(IsAlive(1, 1));
    EXPECT_EQ(CellColour(2, 2), kLive);
    EXPECT_EQ(platform.beeps, 1);
}

TEST_F(MainWindowTest, ScrollArrowsPagesAndEdgesPanByWholeCellsAndThumbsDoNothing)
{
    const std::pair<WPARAM, int32_t> cases[] = {
        {SB_LINEUP, +1}, {SB_LINEDOWN, -1}, {SB_PAGEUP, +3},      {SB_PAGEDOWN, -3},   {SB_TOP, +1}, {SB_BOTTOM, -1},
        {SB_THUMBPOSITION, 0}, {SB_THUMBTRACK, 0}, {SB_ENDSCROLL, 0}, {MAKEWPARAM(SB_LINEUP, 7), 0}};
    for (auto [code, cells] : cases) {
        Viewport before = viewport;
        EXPECT_EQ(Deliver(WM_HSCROLL, code), TRUE);
        EXPECT_EQ(Deliver(WM_VSCROLL, code), TRUE);
        EXPECT_EQ(viewport.offsetX, before.offsetX + cells) << "code " << code;
        EXPECT_EQ(viewport.offsetY, before.offsetY + cells) << "code " << code;
    }
    EXPECT_EQ(GetScrollPos(window, SB_HORZ), 50);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 50);
    // Three left arrows redraw the pattern three cells to the right.
    PlaceCells({{1, 1}});
    for (int i = 0; i < 3; ++i) {
        SendMessageA(window, WM_HSCROLL, SB_LINELEFT, 0);
    }
    EXPECT_EQ(CellColour(1, 1), kLive);
    EXPECT_EQ(Pixel(20, CellToScreen(1, 1).y + 7), kWhite);
}

using Ticks = MainWindowTest;

TEST_F(Ticks, AStepTickAdvancesTheBoardAndDrawsTheChanges)
{
    PlaceCells(kBlinker);
    EXPECT_EQ(Tick(kStepTimerId + 1), TRUE);
    EXPECT_EQ(LiveCells(), kBlinker);
    EXPECT_EQ(Tick(), TRUE);
    EXPECT_EQ(LiveCells(), kBlinkerTurned);
    EXPECT_EQ(CellColour(0, 1), kWhite);
    EXPECT_EQ(CellColour(1, 0), kLive);
    // The real timer's ticks arrive through the loop.
    Command(IDM_SPEED_10);
    EXPECT_TRUE(PumpUntil([] { return IsAlive(0, 1); }));
}

TEST_F(Ticks, ATickThatEmptiesTheBoardStopsTheTimerEvenAfterAClearWhileRunning)
{
    PlaceCells({{5, 5}});
    Command(IDM_PLAY);
    Tick();
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(platform.timerRunning);
    PlaceCells(kBlinker);
    PressKey('P');
    EXPECT_EQ(PressKey('C'), TRUE);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CellColour(1, 1), kWhite);
    EXPECT_TRUE(platform.timerRunning);
    Tick();
    EXPECT_FALSE(platform.timerRunning);
}

TEST_F(Ticks, ARefusedGenerationStopsTheTimerSaysSoOnceAndChangesNothing)
{
    FillTableToTheBrim();
    std::vector<Cell> before = LiveCells();
    Command(IDM_SPEED_10);
    EXPECT_EQ(Tick(), TRUE);
    EXPECT_FALSE(platform.timerRunning);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxOwners[0], window);
    EXPECT_NE(platform.boxes[0].find("more than 10,000 live cells"), std::string::npos);
    EXPECT_EQ(LiveCells(), before);
    EXPECT_EQ(CellColour(2, 2), kWhite);
    // A single step, by menu or key, is refused the same way.
    Command(IDM_PLAY);
    Command(IDM_STEP_FORWARD);
    PressKey(VK_RIGHT);
    EXPECT_FALSE(platform.timerRunning);
    EXPECT_EQ(platform.boxes.size(), 3u);
    EXPECT_EQ(LiveCells(), before);
}

TEST_F(Ticks, GoOnBehindTheAboutBox)
{
    PlaceCells(kBlinker);
    Command(IDM_SPEED_10);
    keepMessageBoxOpen = [] { return !IsAlive(1, 0); };
    Command(IDM_ABOUT_PROGRAM);
    EXPECT_TRUE(IsAlive(1, 0));
    EXPECT_TRUE(platform.timerRunning);
}

TEST_F(MainWindowTest, EveryPaintRedrawsTheGridAndAllLiveCells)
{
    PlaceCells({{0, 0}, {3, 2}});
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_RESTORE);
    UpdateWindow(window);
    EXPECT_EQ(CellColour(0, 0), kLive);
    EXPECT_EQ(CellColour(3, 2), kLive);
    EXPECT_EQ(CellColour(1, 1), kWhite);
    EXPECT_EQ(Pixel(45, 20), kGrid);
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_EQ(Deliver(WM_PAINT), FALSE);
    EXPECT_EQ(CellColour(3, 2), kLive);
}

TEST_F(MainWindowTest, OtherMessagesAreLeftToTheDialogManager)
{
    PlaceCells({{1, 1}});
    for (UINT message : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_SYSKEYDOWN, WM_CHAR, WM_CONTEXTMENU, WM_SIZE}) {
        EXPECT_EQ(Deliver(message, 'C', MAKELPARAM(20, 20)), FALSE) << "message " << message;
    }
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{1, 1}}));
}

using Closing = MainWindowTest;

TEST_F(Closing, CloseAndQuitStopTheTimerEndTheDialogAndEndTheLoop)
{
    for (bool quit : {false, true}) {
        Command(IDM_PLAY);
        EXPECT_EQ(quit ? Command(IDM_QUIT) : Deliver(WM_CLOSE), TRUE);
        EXPECT_FALSE(platform.timerRunning);
        EXPECT_FALSE(IsWindowVisible(window));
        MSG message;
        ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(message.wParam, 0u);
        Deliver(WM_INITDIALOG);
        ShowWindow(window, SW_SHOW);
    }
}

TEST_F(Closing, NothingReachesTheReleasedTable)
{
    PlaceCells(kBlinker);
    Deliver(WM_CLOSE);
    PlatformLog afterClose = platform;
    Tick();
    Click(20, 20);
    PressKey(VK_RIGHT);
    PressKey('2');
    Command(IDM_STEP_FORWARD);
    Command(IDM_PLAY);
    Deliver(WM_PAINT);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(platform.beeps, afterClose.beeps);
    EXPECT_EQ(platform.timerCalls, afterClose.timerCalls);
    EXPECT_TRUE(platform.boxes.empty());
}

}  // namespace
