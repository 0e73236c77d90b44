// The main window's own messages: clicks, scrolling, ticks, painting, close and the entry.
#include "window_harness.h"

namespace {

using Clicks = MainWindowTest;

// Timer procedures are named WINAPI functions: on i686 a lambda's calling convention is not the
// __stdcall that the system calls them with.
void WINAPI CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

void WINAPI QuitOnceShown(HWND, UINT, UINT_PTR, DWORD)
{
    if (mainWindow && IsWindowVisible(mainWindow)) {
        PostMessageA(mainWindow, WM_COMMAND, IDM_QUIT, 0);
    }
}

TEST_F(Clicks, APressOrADoubleClickTogglesTheCellUnderItAndDrawsItAtOnce)
{
    EXPECT_EQ(Click(20, 20), FALSE);
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{1, 1}}));
    EXPECT_EQ(CellColour(1, 1), kLive);
    EXPECT_EQ(Pixel(15, 20), kGrid);
    // A quick second press arrives as a double click and must not be lost.
    EXPECT_EQ(Click(29, 16, WM_LBUTTONDBLCLK), FALSE);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Pixel(20, 20), kWhite);
    EXPECT_EQ(Click(50, 50, WM_LBUTTONDBLCLK), FALSE);
    EXPECT_EQ(CellColour(3, 3), kLive);
    // Through the offsets and the zoom; the 16-bit halves of the position are unsigned.
    PanBy(2, -1);
    Click(20, 20);
    ZoomBy(3);
    Click(40000, 65535);
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{3, 3}, {-1, 2}, {40000 / 18 - 2, 65535 / 18 + 1}}));
}

TEST_F(Clicks, AFullTableRefusesANewCellWithABeepAndDrawsNothing)
{
    FillTableToTheBrim();
    ASSERT_EQ(count, kMaxCells);
    EXPECT_EQ(Click(35, 35), FALSE);
    EXPECT_FALSE(IsAlive(2, 2));
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(CellColour(2, 2), kWhite);
}

TEST_F(MainWindowTest, EachScrollCodePansItsOwnAxisByWholeCellsAndRedraws)
{
    PlaceCells({{1, 1}});
    // A thumb code, or any code with a position in its high word, pans nothing.
    const std::pair<WPARAM, int32_t> cases[] = {{SB_LINEUP, +1}, {SB_LINEDOWN, -1}, {SB_PAGEUP, +3}, {SB_PAGEDOWN, -3},
        {SB_TOP, +1}, {SB_BOTTOM, -1}, {SB_THUMBPOSITION, 0}, {SB_THUMBTRACK, 0}, {MAKEWPARAM(SB_LINEUP, 7), 0}};
    for (auto [code, cells] : cases) {
        SCOPED_TRACE("code " + std::to_string(code));
        const Viewport before = viewport;
        EXPECT_EQ(Deliver(WM_HSCROLL, code), TRUE);
        EXPECT_EQ(viewport.offsetX, before.offsetX + cells);
        EXPECT_EQ(viewport.offsetY, before.offsetY);
        EXPECT_EQ(Deliver(WM_VSCROLL, code), TRUE);
        EXPECT_EQ(viewport.offsetY, before.offsetY + cells);
        EXPECT_EQ(CellColour(1, 1), kLive);
    }
}

using Ticks = MainWindowTest;

TEST_F(Ticks, AStepTickStepsAndDrawsAndStopsTheTimerOnceTheBoardIsEmpty)
{
    PlaceCells({{5, 5}});
    PressKey('P');
    EXPECT_EQ(Tick(), TRUE);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CellColour(5, 5), kWhite);
    EXPECT_EQ(platform.timer, 0u);
    // A clear while running leaves the stop to the next tick.
    PlaceCells(kBlinker);
    PressKey('P');
    PressKey('C');
    EXPECT_EQ(platform.timer, 50u);
    Tick();
    EXPECT_EQ(platform.timer, 0u);
}

TEST_F(Ticks, ARefusedGenerationStopsTheTimerSaysSoOnceAndChangesNothing)
{
    FillTableToTheBrim();
    const std::vector<Cell> before = LiveCells();
    Command(IDM_SPEED_10);
    EXPECT_EQ(Tick(), TRUE);
    EXPECT_EQ(platform.timer, 0u);
    // Stopped before the box is raised, so that no tick raises a second one while it waits.
    EXPECT_EQ(platform.timerAtBox, 0u);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0], "The Quillane 0.0.1|The next generation would have 13,332 live cells; the board holds at "
                                 "most 10,000. The simulation has stopped.");
    EXPECT_EQ(LiveCells(), before);
    EXPECT_EQ(CellColour(2, 2), kWhite);
}

int menuDriverCalls;

void WINAPI DriveTheGameMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (++menuDriverCalls > 150) {  // gives up: ends the menu and quits with 1
        EndMenu();
        PostQuitMessage(1);
    } else if (GetCapture()) {
        platform.shown.empty() ? Tick() : PostMessageA(mainWindow, WM_COMMAND, IDM_QUIT, 0);
    } else if (menuDriverCalls % 10 == 1) {
        ClickMenuBar(1);
    }
}

// The Game menu, opened by a real click: a refused tick inside its loop, then, opened again, a
// Quit (the close that a task manager's "End task" sends). The box used to come inside the loop,
// under the menu's hold on the mouse (its button took no click, the board did), and the loop used
// to swallow the quit message and run on.
TEST_F(MainWindowTest, InsideAnOpenMenuTheBoxWaitsForTheMenuToCloseAndAQuitStillEndsTheLoop)
{
    FillTableToTheBrim();
    menuDriverCalls = 0;
    UINT_PTR driver = SetTimer(nullptr, 0, 20, DriveTheGameMenu);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, driver);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.captureAtBox, nullptr);
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(MainWindowTest, APaintDrawsTheGridAndEveryLiveCell)
{
    PlaceCells({{0, 0}});
    AddCell(3, 2);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(CellColour(0, 0), kLive);
    EXPECT_EQ(CellColour(3, 2), kLive);
    EXPECT_EQ(CellColour(1, 1), kWhite);
    EXPECT_EQ(Pixel(45, 20), kGrid);
}

TEST_F(MainWindowTest, TheDialogProcedureAnswersEachKindOfMessage)
{
    PlaceCells({{1, 1}});
    // All at (20, 20), on the live cell: the two clicks cancel out, the others leave it alone
    // (going back comes before the clicks, with nothing to undo).
    const struct { UINT message; WPARAM wParam; INT_PTR result; } cases[] = {
        {WM_INITDIALOG, 0, TRUE}, {WM_PAINT, 0, FALSE}, {WM_ERASEBKGND, 0, TRUE},
        {WM_CTLCOLORDLG, 0, reinterpret_cast<INT_PTR>(backgroundBrush)}, {WM_TIMER, kStepTimerId + 1, TRUE},
        {WM_HSCROLL, SB_ENDSCROLL, TRUE}, {WM_VSCROLL, SB_ENDSCROLL, TRUE}, {WM_COMMAND, IDM_STEP_BACKWARD, TRUE},
        {WM_LBUTTONDOWN, 0, FALSE}, {WM_LBUTTONDBLCLK, 0, FALSE}, {WM_KEYDOWN, 'A', TRUE},
        {WM_KEYUP, 'C', FALSE}, {WM_CHAR, 'C', FALSE}, {WM_SYSKEYDOWN, 'C', FALSE}, {WM_LBUTTONUP, 0, FALSE},
        {WM_MOUSEMOVE, 0, FALSE}, {WM_CONTEXTMENU, 0, FALSE}, {WM_SIZE, 0, FALSE}};
    for (const auto& c : cases) {
        EXPECT_EQ(Deliver(c.message, c.wParam, MAKELPARAM(20, 20)), c.result) << "message " << c.message;
    }
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{1, 1}}));
    ASSERT_NE(backgroundBrush, nullptr);
    // A right press opens the context menu; this timer closes it from inside the menu's loop.
    UINT_PTR closeMenu = SetTimer(nullptr, 0, 20, CloseMenu);
    EXPECT_EQ(Deliver(WM_RBUTTONDOWN), TRUE);
    KillTimer(nullptr, closeMenu);
}

TEST_F(MainWindowTest, CloseStopsTheTimerEndsTheLoopAndNothingReachesTheTableAfterwards)
{
    PlaceCells(kBlinker);
    Command(IDM_PLAY);
    EXPECT_EQ(Deliver(WM_CLOSE), TRUE);
    EXPECT_EQ(platform.timer, 0u);
    platform.timer = 1;  // a mark that any later SetTimer or KillTimer would overwrite
    Tick();
    Click(20, 20);
    PressKey('2');
    Command(IDM_PLAY);
    Deliver(WM_PAINT);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(platform.timer, 1u);
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_TRUE(platform.shown.empty());
}

TEST(WinMainRun, ShowsTheWindowAndReturnsZeroAfterQuit)
{
    UINT_PTR quitOnceShown = SetTimer(nullptr, 0, 20, QuitOnceShown);
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_HIDE), 0);
    KillTimer(nullptr, quitOnceShown);
    DestroyWindow(mainWindow);
    mainWindow = nullptr;
}

}  // namespace
