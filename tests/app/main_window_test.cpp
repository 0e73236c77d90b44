// What the model test cannot express: the caption's pace while running, a full board, and an open
// menu's Backward, box and quit. Timer procedures are named WINAPI functions: on i686 a lambda is not __stdcall.
#include "window_harness.h"

namespace {

// The model test sees the period at the caption's end; here its count holds for a tenth of a second.
TEST_F(MainWindowTest, WhileRunningTheCaptionChangesAtMostTenTimesASecond)
{
    PlaceCells(kBlinker);
    Command(IDM_SPEED_100);
    Sleep(110);
    Deliver(WM_TIMER, kStepTimerId);
    const DWORD first = GetTickCount();
    Deliver(WM_TIMER, kStepTimerId);
    // A loaded machine may take longer than the tenth itself; then there is nothing to see.
    if (GetTickCount() - first < 80) {
        EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 1, 3 cells, running at 100 ms");
    }
}

int menuDriverCalls;
UINT backwardState;

// Opens the context menu as a right click would (TrackPopupMenu runs its own loop, and this goes on
// inside it); there reads Backward's state and raises a tick the full board refuses, and once that
// box has come, a Quit from the menu opened again. Gives up after 3 s, quitting with 1.
void WINAPI DriveTheContextMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (++menuDriverCalls > 150) {
        EndMenu();
        PostQuitMessage(1);
    } else if (popup && platform.shown.size() == 1) {
        auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        backwardState = GetMenuState(menu, IDM_STEP_BACKWARD, MF_BYCOMMAND);
        Command(IDM_SPEED_10);
        Deliver(WM_TIMER, kStepTimerId);
    } else if (popup) {
        PostMessageA(mainWindow, WM_COMMAND, IDM_QUIT, 0);
    } else if (menuDriverCalls % 10 == 1) {
        Deliver(WM_RBUTTONDOWN);
    }
}

// A full board refuses a click with a beep, and a generation with one box, the timer stopped first so no tick
// raises a second. Inside an open menu, which takes the clicks, the box waits for the menu to close; a quit
// from the menu still ends the loop (it once ran on); Backward, enabled in the resources, opens greyed.
TEST_F(MainWindowTest, AFullBoardRefusesAClickWithABeepAndAGenerationWithOneBoxAfterAnyOpenMenu)
{
    // 3,333 L-shaped trios, each about to grow into a block, and a lone cell: full, and no room for the next.
    std::vector<Cell> cells = {{-50, -50}};
    for (int32_t i = 0; i < 3333; ++i) {
        Cell corner = {1 + i % 100 * 4, 1 + i / 100 * 4};
        cells.insert(cells.end(), {corner, {corner.x + 1, corner.y}, {corner.x, corner.y + 1}});
    }
    PlaceCells(cells);
    Deliver(WM_LBUTTONDOWN, 0, MAKELPARAM(35, 35));
    Command(IDM_SPEED_10);
    Deliver(WM_TIMER, kStepTimerId);
    EXPECT_EQ(platform.timerAtBox, 0u);
    EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 0, 10,000 cells");
    menuDriverCalls = 0;
    UINT_PTR driver = SetTimer(nullptr, 0, 20, DriveTheContextMenu);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, driver);
    const std::string refused = "The Quillane 0.0.1|The next generation would have 13,332 live cells; the board "
                                "holds at most 10,000. The simulation has stopped.";
    EXPECT_EQ(platform.shown, std::vector<std::string>(2, refused));
    EXPECT_EQ(platform.captureAtBox, nullptr);
    EXPECT_EQ(message.wParam, 0u);  // the quit's own, not the driver's
    EXPECT_TRUE(platform.beeps == 1 && backwardState & MF_GRAYED) << platform.beeps << " " << backwardState;
}

}  // namespace
