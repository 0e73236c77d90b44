// What the model test cannot express: the caption's text and its pace while running, full speed's batches, a full
// board, and an open menu's Backward, box and quit. Timer procedures are named WINAPI functions: on i686 a lambda is
// not __stdcall.
#include <regex>

#include "caption.h"
#include "pointer.h"
#include "window_harness.h"

namespace {

// The model test sees the period at the caption's end; here its count holds for a tenth of a second by the
// program's own clock.
TEST_F(MainWindowTest, WhileRunningTheCaptionChangesAtMostTenTimesASecond)
{
    PlaceCells(kBlinker);
    platform.clockMs = 1000;
    Command(IDM_SPEED_100);
    platform.clockMs = 1099;
    Deliver(WM_TIMER, kStepTimerId);
    EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 0, 3 cells, running at 100 ms");
    platform.clockMs = 1101;
    Deliver(WM_TIMER, kStepTimerId);
    EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 2, 3 cells, period 2, running at 100 ms");
}

// The caption is the program's name until anything has happened, then the count, what the board does (an empty
// one nothing) and how the run goes.
TEST(Caption, NamesTheCountWhatTheBoardDoesAndTheRun)
{
    const PeriodReport none = {0, 0, 0}, still = {1, 0, 0}, glider = {4, 1, 1};
    const struct { CaptionState state; const char* text; } cases[] = {
        {{0, 0, false, false, false, 50, 0, none}, ""},
        {{0, 0, true, false, false, 50, 0, still}, " - generation 0, 0 cells"},
        {{0, 0, false, true, false, 200, 0, none}, " - generation 0, 0 cells, running at 200 ms"},
        {{3, 1, false, false, false, 50, 0, none}, " - generation 3, 1 cell"},
        {{12345, 10000, true, false, false, 50, 0, still}, " - generation 12,345, 10,000 cells, still"},
        {{4, 5, true, true, false, 10, 0, glider}, " - generation 4, 5 cells, period 4, moving (1, 1), c/4, running at 10 ms"},
        {{4, 5, true, true, true, 10, 0, glider}, " - generation 4, 5 cells, period 4, moving (1, 1), c/4, running at full speed"},
        {{9, 3, true, true, true, 10, 46123, none}, " - generation 9, 3 cells, running at full speed, 46,123 generations a second"}};
    for (const auto& c : cases) {
        EXPECT_EQ(CaptionText(c.state), std::string("The Quillane (0.0.1)") + c.text);
    }
}

// Another window taking the mouse ends a stroke, and the button's release then leaves that window's capture alone.
TEST_F(MainWindowTest, AStrokeEndsWhenTheMouseGoesElsewhereAndItsReleaseLeavesTheOtherCapture)
{
    Deliver(WM_LBUTTONDOWN, 0, MAKELPARAM(35, 35));
    HWND holder = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetCapture(holder);
    Deliver(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 35));
    Deliver(WM_LBUTTONUP);
    EXPECT_TRUE(count == 1 && GetCapture() == holder) << count;
    DestroyWindow(holder);
}

// 3,333 L-shaped trios, each about to grow into a block, and a lone cell: full, and no room for the next.
std::vector<Cell> FullBoardAboutToGrow()
{
    std::vector<Cell> cells = {{-50, -50}};
    for (int32_t i = 0; i < 3333; ++i) {
        Cell corner = {1 + i % 100 * 4, 1 + i / 100 * 4};
        cells.insert(cells.end(), {corner, {corner.x + 1, corner.y}, {corner.x, corner.y + 1}});
    }
    return cells;
}

// The batch the window posted itself; false when none waits.
bool RunPostedBatch()
{
    MSG batch;
    return PeekMessageA(&batch, mainWindow, kRunBatchMessage, kRunBatchMessage, PM_REMOVE) &&
           DispatchMessageA(&batch) >= 0;
}

// Full speed runs batches, each ending after about a frame by the program's clock and handing the loop back with
// the next batch posted, or by its timer after any timer due; its caption tells the rate. A refused generation stops
// it with one box. (Stops, boxes and an emptied board at full speed are the model test's.)
TEST_F(MainWindowTest, FullSpeedRunsInBatchesThatHandTheLoopBack)
{
    PlaceCells(kBlinker);
    platform.clockMs = 0;
    platform.clockStepMs = 1;
    PressKey('5');
    EXPECT_TRUE(RunPostedBatch());
    EXPECT_TRUE(generation > 5 && generation < 20) << generation;  // about 16, a clock reading each
    while (Caption().find("generations") == std::string::npos && RunPostedBatch()) {
    }
    const std::regex rate(" 3 cells, period 2, running at full speed, [1-9][0-9,]* generations a second$");
    EXPECT_TRUE(std::regex_search(Caption(), rate)) << Caption();
    const UINT_PTR other = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, nullptr);
    Sleep(30);
    EXPECT_TRUE(RunPostedBatch());
    MSG next = {};
    while (GetMessageA(&next, nullptr, 0, 0) > 0 && next.message != kRunBatchMessage && next.hwnd) {
        DispatchMessageA(&next);
    }
    EXPECT_TRUE(next.message == WM_TIMER && next.wParam == other) << next.message;
    KillTimer(nullptr, other);
    PlaceCells(FullBoardAboutToGrow());
    Command(IDM_SPEED_FASTEST);
    EXPECT_TRUE(RunPostedBatch() && !RunPostedBatch() && !IsRunning());
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_NE(platform.shown[0].find(" The simulation has stopped."), std::string::npos);
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
    } else if (popup && platform.shown.size() == 2) {
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

// A full board refuses a click or a whole stroke with one beep, and a generation with one box, the timer stopped
// first so no tick raises a second. Inside an open menu, which takes the clicks, the box waits for the menu to close;
// a quit from the menu still ends the loop (it once ran on); Backward, enabled in the resources, opens greyed.
TEST_F(MainWindowTest, AFullBoardRefusesAClickWithABeepAndAGenerationWithOneBoxAfterAnyOpenMenu)
{
    PlaceCells(FullBoardAboutToGrow());
    Deliver(WM_LBUTTONDOWN, 0, MAKELPARAM(35, 35));
    Deliver(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 200));  // the stroke goes on refused, with no second beep
    Deliver(WM_LBUTTONUP);
    Command(IDM_STEP_FORWARD);  // refused with nothing running: no word of a stop
    Command(IDM_SPEED_10);
    Deliver(WM_TIMER, kStepTimerId);
    EXPECT_FALSE(platform.ranBehindBox);
    EXPECT_EQ(Caption(), "The Quillane (0.0.1) - generation 0, 10,000 cells");
    menuDriverCalls = 0;
    UINT_PTR driver = SetTimer(nullptr, 0, 20, DriveTheContextMenu);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, driver);
    const std::string refused = "The Quillane 0.0.1|The next generation would have 13,332 live cells; the board "
                                "holds at most 10,000.";
    const std::string stopped = refused + " The simulation has stopped.";
    EXPECT_EQ(platform.shown, std::vector<std::string>({refused, stopped, stopped}));
    EXPECT_EQ(message.wParam, 0u);  // the quit's own, not the driver's
    EXPECT_TRUE(platform.beeps == 1 && backwardState & MF_GRAYED) << platform.beeps << " " << backwardState;
}

// A turn is one entry with the selection it moved: Backward brings back the blinker and its 1 x 3 selection, so
// turning again turns the same cells; Redo turns cells and selection again, and the tint follows.
TEST_F(MainWindowTest, BackwardAndRedoBringATurnedSelectionBackWithItsCells)
{
    PlaceCells(kBlinker);
    const CellRect row = {0, 1, 2, 1}, column = {1, 0, 1, 2};
    const std::vector<Cell> upright = {{1, 0}, {1, 1}, {1, 2}};
    Select(mainWindow, row);
    for (int round = 0; round < 2; ++round) {
        Command(IDM_ROTATE_CLOCKWISE);
        ASSERT_TRUE(HasSelection() && SelectedRect() == column && TableCells() == upright) << round;
        Command(IDM_STEP_BACKWARD);
        ASSERT_TRUE(HasSelection() && SelectedRect() == row && TableCells() == kBlinker) << round;
    }
    Command(IDM_REDO);
    EXPECT_TRUE(HasSelection() && SelectedRect() == column && TableCells() == upright);
    EXPECT_TRUE(CellColour(1, 2) != kLive && CellColour(1, 2) != kWhite && CellColour(2, 1) == kWhite);
}

}  // namespace
