// Menu commands, keyboard shortcuts and the context menu, through the real dialog.
#include "window_harness.h"

#include <regex>

namespace {

using Commands = MainWindowTest;

TEST_F(Commands, PlayRestartsStopStopsAndEverySpeedRunsAtItsPeriod)
{
    EXPECT_EQ(Command(IDM_PLAY), TRUE);
    EXPECT_EQ(Command(IDM_PLAY), TRUE);
    EXPECT_EQ(platform.timerCalls, 2);
    EXPECT_EQ(platform.timerPeriod, 50u);
    EXPECT_EQ(Command(IDM_STOP), TRUE);
    EXPECT_FALSE(platform.timerRunning);
    for (auto [id, period] : {std::pair{IDM_SPEED_200, 200}, {IDM_SPEED_10, 10}, {IDM_SPEED_100, 100}, {IDM_SPEED_50, 50}}) {
        for (int from : {IDM_STOP, IDM_SPEED_200}) {
            Command(from);
            EXPECT_EQ(Command(id), TRUE);
            EXPECT_TRUE(platform.timerRunning) << "command " << id << " after " << from;
            EXPECT_EQ(platform.timerPeriod, static_cast<UINT>(period)) << "command " << id << " after " << from;
            EXPECT_EQ(stepIntervalMs, period);
        }
    }
}

TEST_F(Commands, ZoomStepsTheCellSizeAndRepaintsButLeavesTheSpeed)
{
    PlaceCells({{1, 1}});
    for (auto [id, delta] : {std::pair{IDM_ZOOM_IN_1, 1}, {IDM_ZOOM_IN_3, 3}, {IDM_ZOOM_OUT_1, -1}, {IDM_ZOOM_OUT_3, -3}}) {
        int32_t before = viewport.cellSize;
        EXPECT_EQ(Command(id), TRUE);
        EXPECT_EQ(viewport.cellSize, before + delta) << "command " << id;
        EXPECT_EQ(Pixel(viewport.cellSize + 1, viewport.cellSize + 1), kLive) << "command " << id;
        EXPECT_EQ(Pixel(viewport.cellSize, viewport.cellSize + 1), kGrid) << "command " << id;
    }
    EXPECT_EQ(platform.timerCalls, 0);
    EXPECT_EQ(stepIntervalMs, 50);
}

TEST_F(Commands, StepForwardAndClearChangeTheBoardButNotTheTimer)
{
    PlaceCells(kBlinker);
    EXPECT_EQ(Command(IDM_STEP_FORWARD), TRUE);
    EXPECT_EQ(LiveCells(), kBlinkerTurned);
    EXPECT_EQ(CellColour(1, 0), kLive);
    EXPECT_EQ(CellColour(0, 1), kWhite);
    // Only the low word names the command.
    EXPECT_EQ(Deliver(WM_COMMAND, MAKEWPARAM(IDM_CLEAR, 1)), TRUE);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CellColour(1, 1), kWhite);
    EXPECT_EQ(Pixel(15, 20), kGrid);
    EXPECT_EQ(platform.timerCalls, 0);
}

TEST_F(Commands, CommandsWithoutBehaviourChangeNothing)
{
    PlaceCells(kBlinker);
    for (int id : {IDM_STEP_BACKWARD, IDM_PATTERN_LOAD, IDM_PATTERN_SAVE, IDM_PATTERN_ADD_CURRENT, IDM_FILE_LOAD_PATTERN,
                   IDM_FILE_SAVE_PATTERN, 0, 40010, 40013, 40016, 40017, 40026, 65535}) {
        EXPECT_EQ(Command(id), TRUE) << "command " << id;
    }
    EXPECT_EQ(LiveCells(), kBlinker);
    EXPECT_EQ(viewport.cellSize, kInitialCellSize);
    EXPECT_EQ(platform.timerCalls, 0);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(platform.shellCalls.empty());
}

TEST_F(Commands, AboutAndTheRulesPage)
{
    EXPECT_EQ(Command(IDM_ABOUT_PROGRAM), TRUE);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxOwners[0], window);
    // A sentence, a blank line, then the authors, the date and an address; OK and information icon.
    std::regex about("The Quillane 0\\.0\\.1\\|[^\n]+\\.\n\nThe Quillane developers, December 2026 <[^ >]+@[^ >]+>\\|64");
    EXPECT_TRUE(std::regex_match(platform.boxes[0], about)) << platform.boxes[0];
    EXPECT_EQ(Command(IDM_ABOUT_RULES), TRUE);
    EXPECT_EQ(platform.shellCalls,
              (std::vector<std::string>{"null|open|https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life|null|null|1"}));
}

using Keys = MainWindowTest;

TEST_F(Keys, DigitsSetTheSpeedOrZoomAsCtrlThenShiftSay)
{
    // From a stopped timer at 50 ms: the cell size change, and the speed (0: none, timer stopped).
    struct {
        WORD key;
        std::initializer_list<WORD> held;
        int32_t zoom, speed;
    } const cases[] = {
        {'1', {}, 0, 10},  {'1', {VK_CONTROL}, +1, 0}, {'1', {VK_SHIFT}, -1, 0}, {'1', {VK_CONTROL, VK_SHIFT}, +1, 0},
        {'3', {}, 0, 100}, {'3', {VK_CONTROL}, +3, 0}, {'3', {VK_SHIFT}, -3, 0}, {'3', {VK_CONTROL, VK_SHIFT}, +3, 0},
        {'2', {}, 0, 50},  {'2', {VK_CONTROL}, 0, 50}, {'2', {VK_SHIFT}, 0, 50}, {'4', {}, 0, 200},
        {'4', {VK_CONTROL, VK_SHIFT}, 0, 200},
    };
    for (const auto& c : cases) {
        Command(IDM_STOP);
        stepIntervalMs = 50;
        viewport.cellSize = kInitialCellSize;
        EXPECT_EQ(PressKey(c.key, c.held), TRUE);
        SCOPED_TRACE(std::string("key ") + static_cast<char>(c.key) + " with " + std::to_string(c.held.size()) + " held");
        EXPECT_EQ(viewport.cellSize, kInitialCellSize + c.zoom);
        EXPECT_EQ(platform.timerRunning, c.speed != 0);
        EXPECT_EQ(stepIntervalMs, c.speed ? c.speed : 50);
        EXPECT_EQ(platform.timerPeriod, static_cast<UINT>(c.speed ? c.speed : platform.timerPeriod));
    }
    // A running timer takes the new period; a zoom leaves it running as it was.
    PressKey('4');
    PressKey('1');
    PressKey('3', {VK_SHIFT});
    EXPECT_TRUE(platform.timerRunning);
    EXPECT_EQ(platform.timerPeriod, 10u);
}

TEST_F(Keys, LettersAndTheRightArrowIgnoreTheModifiers)
{
    PlaceCells(kBlinker);
    PressKey(VK_RIGHT, {VK_CONTROL});
    EXPECT_EQ(LiveCells(), kBlinkerTurned);
    EXPECT_EQ(CellColour(1, 2), kLive);
    PressKey('P', {VK_SHIFT});
    EXPECT_TRUE(platform.timerRunning);
    EXPECT_EQ(platform.timerPeriod, 50u);
    PressKey('S', {VK_CONTROL});
    EXPECT_FALSE(platform.timerRunning);
    PressKey('C', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CellColour(1, 1), kWhite);
    EXPECT_EQ(PressKey(VK_RIGHT), TRUE);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Keys, OtherKeysDoNothing)
{
    PlaceCells(kBlinker);
    for (int key : {VK_LEFT, VK_UP, VK_DOWN, VK_NUMPAD1, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD4, int{'5'}, int{'A'}, VK_F10,
                    VK_APPS, VK_CONTROL, VK_ESCAPE}) {
        EXPECT_EQ(PressKey(static_cast<WORD>(key)), TRUE) << "key " << key;
    }
    EXPECT_EQ(LiveCells(), kBlinker);
    EXPECT_EQ(viewport.cellSize, kInitialCellSize);
    EXPECT_EQ(platform.timerCalls, 0);
}

// The menu's own loop runs this timer: it notes where the menu stands, then picks the item
// five Down presses reach (Play, Stop, Forward, Backward, Clear: separators are passed over).
RECT menuRect;
std::string firstItem;

void CALLBACK PickClearFromTheMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) {
        return;
    }
    KillTimer(nullptr, timer);
    GetWindowRect(popup, &menuRect);
    char text[32] = {};
    GetMenuStringA(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)), 0, text, sizeof text, MF_BYPOSITION);
    firstItem = text;
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageA(popup, WM_KEYDOWN, key, 0);
    }
}

TEST_F(MainWindowTest, ARightClickOpensTheContextMenuAtTheMouseAndItsClearClears)
{
    PlaceCells(kBlinker);
    POINT mouse = {200, 150};
    ClientToScreen(window, &mouse);
    SetCursorPos(mouse.x, mouse.y);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, PickClearFromTheMenu);
    EXPECT_EQ(Deliver(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5)), TRUE);
    KillTimer(nullptr, timer);
    PumpPending();
    EXPECT_EQ(menuRect.left, mouse.x);
    EXPECT_EQ(menuRect.top, mouse.y);
    EXPECT_EQ(firstItem, "Play\tP");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CellColour(1, 1), kWhite);
}

}  // namespace
