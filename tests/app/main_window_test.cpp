// What the model test cannot express: a full board, the caption while running, the About box, the
// paste key, the greyed Backward, a box and a quit inside an open menu, the close and WinMain's end.
// Timer procedures are named WINAPI functions: on i686 a lambda is not __stdcall.
#include "window_harness.h"

namespace {

std::string Caption()
{
    char text[200] = "";
    GetWindowTextA(mainWindow, text, sizeof text);
    return text;
}

// 3,333 L-shaped trios from (1, 1) on, four cells apart, each about to grow into a block, and a
// lone cell: the table is full and the next generation cannot fit. (2, 2) is dead, to be born.
void FillTableToTheBrim()
{
    std::vector<Cell> cells = {{-50, -50}};
    for (int32_t i = 0; i < 3333; ++i) {
        Cell corner = {1 + i % 100 * 4, 1 + i / 100 * 4};
        cells.insert(cells.end(), {corner, {corner.x + 1, corner.y}, {corner.x, corner.y + 1}});
    }
    PlaceCells(cells);
}

TEST_F(MainWindowTest, AFullBoardRefusesAClickWithABeepAndAGenerationWithOneBoxAfterTheStop)
{
    FillTableToTheBrim();
    EXPECT_EQ(Click(35, 35), FALSE);
    EXPECT_EQ(platform.beeps, 1);
    Command(IDM_SPEED_10);
    EXPECT_EQ(Tick(), TRUE);
    EXPECT_EQ(platform.timer, 0u);
    EXPECT_EQ(platform.timerAtBox, 0u);  // or a tick could raise a second box while it waits
    EXPECT_EQ(platform.shown, std::vector<std::string>{"The Quillane 0.0.1|The next generation would have 13,332 live "
                                                       "cells; the board holds at most 10,000. The simulation has stopped."});
    EXPECT_EQ(count, kMaxCells);
    EXPECT_EQ(CellColour(2, 2), kWhite);
    EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 0, 10,000 cells");
}

TEST_F(MainWindowTest, WhileRunningTheCaptionAddsThePeriodAndChangesAtMostTenTimesASecond)
{
    PlaceCells(kBlinker);
    Command(IDM_SPEED_100);
    EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 0, 3 cells, running at 100 ms");
    Sleep(110);
    Tick();
    const DWORD first = GetTickCount();
    Tick();
    if (GetTickCount() - first < 80) {
        EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 1, 3 cells, running at 100 ms");
    }
    // The scroll bars leave the style only while the text is set.
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
}

TEST_F(MainWindowTest, AboutShowsItsBoxAndTheRulesPageAndCtrlVPastesWhatCtrlCCopied)
{
    Command(IDM_ABOUT_PROGRAM);
    Command(IDM_ABOUT_RULES);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].rfind("The Quillane 0.0.1|The Quillane plays Conway's Game of Life\n(rule B3/S23) on "
                                      "a plane without edges,\nwith at most 10,000 live cells", 0), 0u);
    EXPECT_EQ(platform.shown[1], "open|https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life");
    PlaceCells(kBlinker);
    PressKey('C', {VK_CONTROL});
    Command(IDM_CLEAR);
    Command(IDM_PLAY);
    PressKey('V');
    EXPECT_EQ(count, 0);
    PressKey('V', {VK_CONTROL});
    EXPECT_EQ(LiveCells(), kBlinker);
    EXPECT_EQ(platform.timer, 0u);  // a load stops the timer
}

// The context menu's Backward item, read from inside the menu's own loop, which it then ends.
UINT contextItemState = 0;

void WINAPI ReadContextMenuAndClose(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND popup = FindWindowA("#32768", nullptr)) {
        auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        contextItemState = GetMenuState(menu, IDM_STEP_BACKWARD, MF_BYCOMMAND);
    }
    EndMenu();
}

TEST_F(MainWindowTest, BothMenusGreyBackwardExactlyWhenThereIsNothingToGoBackTo)
{
    HMENU game = GetSubMenu(GetMenu(window), 1);
    for (bool history : {false, true, false}) {
        history ? Click(20, 20) : PressKey(VK_LEFT);
        Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(game));
        EXPECT_EQ((GetMenuState(game, IDM_STEP_BACKWARD, MF_BYCOMMAND) & MF_GRAYED) != 0, !history);
        contextItemState = ~0u;
        UINT_PTR readAndClose = SetTimer(nullptr, 0, 20, ReadContextMenuAndClose);
        EXPECT_EQ(Deliver(WM_RBUTTONDOWN), TRUE);
        KillTimer(nullptr, readAndClose);
        ASSERT_NE(contextItemState, ~0u) << "the context menu did not open";
        EXPECT_EQ((contextItemState & MF_GRAYED) != 0, !history);
    }
}

int menuDriverCalls;

// Opens the Game menu by a real click on its title; inside the menu's loop (it holds the mouse)
// first a refused tick, then, once its box has come, a Quit. Gives up after 3 s, quitting with 1.
void WINAPI DriveTheGameMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (++menuDriverCalls > 150) {
        EndMenu();
        PostQuitMessage(1);
    } else if (GetCapture()) {
        platform.shown.empty() ? Tick() : PostMessageA(mainWindow, WM_COMMAND, IDM_QUIT, 0);
    } else if (menuDriverCalls % 10 == 1) {
        RECT item;
        GetMenuItemRect(mainWindow, GetMenu(mainWindow), 1, &item);
        SetCursorPos((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
}

// A box raised inside the menu's loop could not be clicked (the board took the clicks), and the
// loop once swallowed the quit message and ran on.
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

TEST_F(MainWindowTest, CloseStopsTheTimerAndNothingReachesTheTableAfterwards)
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
    EXPECT_TRUE(platform.beeps == 0 && platform.shown.empty());
}

void WINAPI QuitOnceShown(HWND, UINT, UINT_PTR, DWORD)
{
    if (mainWindow && IsWindowVisible(mainWindow)) {
        PostMessageA(mainWindow, WM_COMMAND, IDM_QUIT, 0);
    }
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
