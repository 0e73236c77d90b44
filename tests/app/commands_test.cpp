// Menu commands and keyboard shortcuts, through the real dialog.
#include "window_harness.h"

namespace {

enum Board { Same, Stepped, Cleared };

// What one command or key leaves behind: the timer's period (0: stopped, -1: as it was), the
// change of cell size, the board, and the start of the one box or shell call made ("": none).
struct Effect { int timer; int32_t zoom; Board board; const char* shown; };
constexpr Effect kNothing = {-1, 0, Same, ""}, kStep = {-1, 0, Stepped, ""}, kClear = {-1, 0, Cleared, ""};
constexpr Effect Speed(int ms) { return {ms, 0, Same, ""}; }
constexpr Effect Zoom(int32_t cells) { return {-1, cells, Same, ""}; }

// From a blinker at the initial size and the speed at 50 ms, once with the timer stopped and
// once running at 200 ms as far as the program knows, so that both a start and a restart show.
template <typename Action>
void ExpectEffect(Action act, Effect e)
{
    for (UINT running : {0, 200}) {
        SCOPED_TRACE("timer at " + std::to_string(running));
        platform = PlatformLog();
        platform.timer = running;
        stepIntervalMs = 50;
        viewport.cellSize = kInitialCellSize;
        ClearCells();
        PlaceCells(kBlinker);
        EXPECT_EQ(act(), TRUE);
        EXPECT_EQ(platform.timer, e.timer < 0 ? running : static_cast<UINT>(e.timer));
        EXPECT_EQ(stepIntervalMs, e.timer > 0 ? e.timer : 50);
        EXPECT_EQ(viewport.cellSize, kInitialCellSize + e.zoom);
        EXPECT_EQ(LiveCells(), e.board == Same ? kBlinker : e.board == Stepped ? kBlinkerTurned : std::vector<Cell>{});
        // Drawn as it now stands: the cells a step changes, and a grid line at the new size.
        EXPECT_EQ(CellColour(0, 1), IsAlive(0, 1) ? kLive : kWhite);
        EXPECT_EQ(CellColour(1, 0), IsAlive(1, 0) ? kLive : kWhite);
        EXPECT_EQ(Pixel(viewport.cellSize, viewport.cellSize + 1), kGrid);
        ASSERT_EQ(platform.shown.size(), *e.shown ? 1u : 0u);
        if (*e.shown) {
            EXPECT_EQ(platform.shown[0].rfind(e.shown, 0), 0u) << platform.shown[0];
        }
    }
}

using Commands = MainWindowTest;

TEST_F(Commands, EveryIdentifierDoesItsOwnThingAndNothingElse)
{
    // Quit closes the window: the WinMain test sees it end the loop. The file dialogs here are
    // cancelled; the pattern tests choose files.
    const std::pair<int, Effect> cases[] = {
        {IDM_PLAY, Speed(50)}, {IDM_STOP, Speed(0)}, {IDM_STEP_FORWARD, kStep}, {IDM_CLEAR, kClear},
        {IDM_ZOOM_IN_1, Zoom(+1)}, {IDM_ZOOM_IN_3, Zoom(+3)}, {IDM_ZOOM_OUT_1, Zoom(-1)}, {IDM_ZOOM_OUT_3, Zoom(-3)},
        {IDM_SPEED_10, Speed(10)}, {IDM_SPEED_50, Speed(50)}, {IDM_SPEED_100, Speed(100)}, {IDM_SPEED_200, Speed(200)},
        {IDM_ABOUT_PROGRAM, {-1, 0, Same, "The Quillane 0.0.1|The Quillane plays Conway's Game of Life\n"
                                          "(rule B3/S23) on a plane without edges,\nwith at most 10,000 live cells"}},
        {IDM_ABOUT_RULES, {-1, 0, Same, "open|https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life"}},
        {IDM_STEP_BACKWARD, kNothing}, {IDM_PATTERN_LOAD, kNothing}, {IDM_PATTERN_SAVE, kNothing},
        {IDM_PATTERN_ADD_CURRENT, kNothing}, {IDM_FILE_LOAD_PATTERN, kNothing}, {IDM_FILE_SAVE_PATTERN, kNothing},
        {0, kNothing}, {65535, kNothing}};
    for (const auto& c : cases) {
        SCOPED_TRACE("command " + std::to_string(c.first));
        // As an accelerator sends it: only the low word names the command.
        ExpectEffect([&c] { return Deliver(WM_COMMAND, MAKEWPARAM(c.first, 1)); }, c.second);
    }
}

using Keys = MainWindowTest;

TEST_F(Keys, DigitsLettersAndTheRightArrowWithTheModifiersReallyHeld)
{
    const WORD ctrl = VK_CONTROL, shift = VK_SHIFT;
    const struct { WORD key; std::initializer_list<WORD> held; Effect effect; } cases[] = {
        // Alone, a digit sets a speed; with Ctrl (asked first) 1 and 3 zoom in, with Shift out.
        {'1', {}, Speed(10)}, {'1', {ctrl}, Zoom(+1)}, {'1', {shift}, Zoom(-1)}, {'1', {ctrl, shift}, Zoom(+1)},
        {'3', {}, Speed(100)}, {'3', {ctrl}, Zoom(+3)}, {'3', {shift}, Zoom(-3)}, {'3', {ctrl, shift}, Zoom(+3)},
        {'2', {ctrl}, Speed(50)}, {'4', {shift}, Speed(200)},
        // The other letters and the arrow take no notice of the modifiers; other keys do nothing.
        {'P', {shift}, Speed(50)}, {'S', {ctrl}, Speed(0)}, {'C', {shift}, kClear}, {VK_RIGHT, {}, kStep},
        // Ctrl+C copies instead of clearing; Ctrl+V then loads the same blinker, which stops the
        // timer. V alone does nothing.
        {'C', {ctrl}, kNothing}, {'C', {ctrl, shift}, kNothing}, {'V', {ctrl}, Speed(0)}, {'V', {}, kNothing},
        {VK_LEFT, {}, kNothing}, {VK_UP, {}, kNothing}, {VK_NUMPAD1, {}, kNothing}, {'5', {}, kNothing},
        {'A', {}, kNothing}, {VK_ESCAPE, {}, kNothing}};
    for (const auto& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key) + " with " + std::to_string(c.held.size()) + " held");
        ExpectEffect([&c] { return PressKey(c.key, c.held); }, c.effect);
    }
}

}  // namespace
