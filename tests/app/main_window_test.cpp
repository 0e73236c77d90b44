// What the model test cannot express: a full board, the caption's pace while running, and an open
// menu's Backward, box and quit.
// Timer procedures are named WINAPI functions: on i686 a lambda is not __stdcall.
#include "window_harness.h"

namespace {

// The model test sees the period at the caption's end; here its count holds for a tenth of a second.
TEST_F(MainWindowTest, WhileRunningTheCaptionChangesAtMostTenTimesASecond)
{
    PlaceCells(kBlinker);
    Command(IDM_SPEED_100);
    Sleep(110);
    Tick();
    const DWORD first = GetTickCount();
    Tick();
    // A loaded machine may take longer than the tenth itself; then there is nothing to see.
    if (GetTickCount() - first < 80) {
        EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 1, 3 cells, running at 100 ms");
    }
}

int menuDriverCalls;
UINT backwardState;
std::string captionAtTick;

// Opens the context menu (as a right click would: TrackPopupMenu runs its own loop, and this
// procedure goes on inside it); there it reads Backward's state, starts the timer and raises a tick
// the full board refuses, and once its box has come, a Quit. Gives up after 3 s, quitting with 1.
void WINAPI DriveTheContextMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (++menuDriverCalls > 150) {
        EndMenu();
        PostQuitMessage(1);
    } else if (popup && platform.shown.empty()) {
        auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        backwardState = GetMenuState(menu, IDM_STEP_BACKWARD, MF_BYCOMMAND);
        Command(IDM_SPEED_10);
        Tick();
        captionAtTick = Caption();
    } else if (popup) {
        PostMessageA(mainWindow, WM_COMMAND, IDM_QUIT, 0);
    } else if (menuDriverCalls % 10 == 1) {
        Deliver(WM_RBUTTONDOWN);
    }
}

// A full board refuses a click with a beep, and a generation with one box, the timer stopped first.
// A box raised inside the menu's loop could not be clicked (the board took the clicks), and the
// loop once swallowed the quit message and ran on. The context menu's Backward starts enabled.
TEST_F(MainWindowTest, AFullBoardRefusesAClickWithABeepAndInsideAnOpenMenuAGenerationWithOneBoxAfterIt)
{
    // 3,333 L-shaped trios from (1, 1) on, four cells apart, each about to grow into a block, and a
    // lone cell: the table is full and the next generation cannot fit.
    std::vector<Cell> cells = {{-50, -50}};
    for (int32_t i = 0; i < 3333; ++i) {
        Cell corner = {1 + i % 100 * 4, 1 + i / 100 * 4};
        cells.insert(cells.end(), {corner, {corner.x + 1, corner.y}, {corner.x, corner.y + 1}});
    }
    PlaceCells(cells);
    EXPECT_EQ(Deliver(WM_LBUTTONDOWN, 0, MAKELPARAM(35, 35)), FALSE);
    EXPECT_EQ(platform.beeps, 1);
    menuDriverCalls = 0;
    backwardState = 0;
    UINT_PTR driver = SetTimer(nullptr, 0, 20, DriveTheContextMenu);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, driver);
    EXPECT_EQ(platform.shown, std::vector<std::string>{"The Quillane 0.0.1|The next generation would have 13,332 live "
                                                       "cells; the board holds at most 10,000. The simulation has stopped."});
    EXPECT_EQ(platform.timerAtBox, 0u);  // stopped first, or a tick could raise a second box while it waits
    EXPECT_EQ(platform.captureAtBox, nullptr);
    EXPECT_EQ(captionAtTick, "The Quillane (0.0.1) - generation 0, 10,000 cells");
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_TRUE(backwardState & MF_GRAYED);
}

}  // namespace
