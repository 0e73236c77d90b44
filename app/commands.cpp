#include "commands.h"

#include <shellapi.h>

#include "board_painter.h"
#include "caption.h"
#include "common_list.h"
#include "edit_commands.h"
#include "history.h"
#include "living_cells_window.h"
#include "message_box.h"
#include "pattern_commands.h"
#include "pointer.h"
#include "recent_files.h"
#include "population_window.h"
#include "resource.h"
#include "run.h"
#include "viewport.h"

namespace {

// Broken by hand into lines that fit the box, which would otherwise wrap inside "B3/S23".
const char kAboutText[] =
    "The Quillane plays Conway's Game of Life\n"
    "(rule B3/S23) on a plane without edges,\n"
    "with at most 10,000 live cells at a time.\n"
    "\n"
    "The Quillane developers, December 2026\n"
    "<developers@quillane.example>";
const char kRulesPage[] = "https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life";

void Zoom(HWND window, int32_t delta)
{
    ZoomBy(delta);
    RepaintNow(window);
}

void Clear(HWND window)
{
    // A running timer goes on; its next tick finds no live cell and stops it.
    ClearBoard();
    RepaintNow(window);
    RefreshCaption(window);
}

// The state as the key message was queued, not as it is now: a window busy for a moment would
// otherwise take a Ctrl+C whose Ctrl was already let go for C, and clear the board.
bool IsKeyDown(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

// Digits 1 and 3 share three meanings: Ctrl zooms in, Shift zooms out, alone they set a speed.
void ZoomOrSetSpeed(HWND window, int32_t zoomStep, int32_t intervalMs)
{
    if (IsKeyDown(VK_CONTROL)) {
        Zoom(window, zoomStep);
    } else if (IsKeyDown(VK_SHIFT)) {
        Zoom(window, -zoomStep);
    } else {
        SetSpeed(window, intervalMs);
    }
}

// Ctrl+C is everyone's copy key: clearing the board on it would destroy the user's work.
void CopyOrClear(HWND window)
{
    if (IsKeyDown(VK_CONTROL)) {
        CopyBoard(window);
    } else {
        Clear(window);
    }
}

// Ctrl+S saves, as in every Windows program; S alone stops, as it always has.
void SaveOrStop(HWND window)
{
    if (IsKeyDown(VK_CONTROL)) {
        SavePatternFromDialog(window);
    } else {
        StopTimer(window);
    }
}

// Letters that act only with Ctrl.
void WithCtrl(void (*command)(HWND), HWND window)
{
    if (IsKeyDown(VK_CONTROL)) {
        command(window);
    }
}

void Enable(HMENU menu, UINT commandId, bool enabled)
{
    EnableMenuItem(menu, commandId, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

void FitLiveCells(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    FitView(client.right, client.bottom);
    RepaintNow(window);
}

void HandleCommand(HWND window, int commandId)
{
    // Any other command drops a paste still waiting to be placed; this one does what Esc does.
    if (commandId != IDM_REMOVE_SELECTION) {
        CancelPlacing(window);
    }
    switch (commandId) {
    case IDM_PLAY: Play(window); break;
    case IDM_STOP: StopTimer(window); break;
    case IDM_STEP_FORWARD: StepForward(window); break;
    case IDM_STEP_BACKWARD: StepBackward(window); break;
    case IDM_CLEAR: Clear(window); break;
    case IDM_ZOOM_IN_1: Zoom(window, +1); break;
    case IDM_ZOOM_IN_3: Zoom(window, +3); break;
    case IDM_ZOOM_OUT_1: Zoom(window, -1); break;
    case IDM_ZOOM_OUT_3: Zoom(window, -3); break;
    case IDM_QUIT: SendMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_SPEED_10: SetSpeed(window, 10); break;
    case IDM_SPEED_50: SetSpeed(window, 50); break;
    case IDM_SPEED_100: SetSpeed(window, 100); break;
    case IDM_SPEED_200: SetSpeed(window, 200); break;
    case IDM_SPEED_FASTEST: SetFastest(window); break;
    case IDM_ABOUT_PROGRAM: ShowMessage(window, kAboutText, MB_OK | MB_ICONINFORMATION); break;
    case IDM_ABOUT_RULES: ShellExecuteA(nullptr, "open", kRulesPage, nullptr, nullptr, SW_SHOWNORMAL); break;
    case IDM_FILE_LOAD_PATTERN:
    case IDM_PATTERN_LOAD: LoadPatternFromDialog(window); break;
    case IDM_FILE_SAVE_PATTERN:
    case IDM_PATTERN_SAVE: SavePatternFromDialog(window); break;
    case IDM_PATTERN_ADD_CURRENT: AddBoardToCommonList(window); break;
    case IDM_REDO: RedoStep(window); break;
    case IDM_CUT: CutSelection(window); break;
    case IDM_COPY: CopyBoard(window); break;
    case IDM_PASTE: PasteBoard(window); break;
    case IDM_DELETE: DeleteSelection(window); break;
    case IDM_CLEAR_OUTSIDE: ClearOutsideSelection(window); break;
    case IDM_SELECT_ALL: SelectAll(window); break;
    case IDM_REMOVE_SELECTION: DropPasteOrSelection(window); break;
    case IDM_FLIP_LEFT_RIGHT: FlipSelection(window, true); break;
    case IDM_FLIP_UP_DOWN: FlipSelection(window, false); break;
    case IDM_ROTATE_CLOCKWISE: RotateSelection(window, true); break;
    case IDM_ROTATE_ANTICLOCKWISE: RotateSelection(window, false); break;
    case IDM_RANDOM_FILL: RandomFillSelection(window); break;
    case IDM_VIEW_POPULATION: TogglePopulationWindow(window); break;
    case IDM_VIEW_LIVING_CELLS: ToggleLivingCellsWindow(window); break;
    // The "Common" items and the recent files are numbered at run time.
    default: LoadCommonPattern(window, commandId) || RemoveCommonPattern(window, commandId) ||
                 OpenRecentFile(window, commandId); break;
    }
}

void HandleKey(HWND window, WPARAM virtualKey)
{
    // A modifier pressed on its own is no command, and leaves a waiting paste alone.
    if (virtualKey != VK_CONTROL && virtualKey != VK_SHIFT && virtualKey != VK_ESCAPE) {
        CancelPlacing(window);
    }
    switch (virtualKey) {
    case VK_RIGHT: StepForward(window); break;
    case VK_LEFT: StepBackward(window); break;
    case VK_HOME: FitLiveCells(window); break;
    case 'Z': WithCtrl(StepBackward, window); break;
    case '1': ZoomOrSetSpeed(window, 1, 10); break;
    case '2': SetSpeed(window, 50); break;
    case '3': ZoomOrSetSpeed(window, 3, 100); break;
    case '4': SetSpeed(window, 200); break;
    case '5': SetFastest(window); break;
    case 'C': CopyOrClear(window); break;
    case 'V': WithCtrl(PasteBoard, window); break;
    case 'O': WithCtrl(LoadPatternFromDialog, window); break;
    case 'P': Play(window); break;
    case 'S': SaveOrStop(window); break;
    case 'Y': WithCtrl(RedoStep, window); break;
    case 'X': WithCtrl(CutSelection, window); break;
    case 'A': WithCtrl(SelectAll, window); break;
    case 'G': TogglePopulationWindow(window); break;
    case 'L': ToggleLivingCellsWindow(window); break;
    case VK_DELETE: DeleteSelection(window); break;
    case VK_ESCAPE: DropPasteOrSelection(window); break;
    default: break;
    }
}

void ShowContextMenu(HWND window)
{
    // No module handle: the menu comes from the program's own resources.
    HMENU menu = LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, static_cast<UINT>(-1), TRUE);
    // The menu opens where the mouse is now, not where the click was.
    POINT cursor;
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, window, nullptr);
    SetForegroundWindow(window);
    DestroyMenu(menu);
}

void EnableCommands(HMENU menu)
{
    const bool selected = HasSelection();
    Enable(menu, IDM_STEP_BACKWARD, CanStepBack());
    Enable(menu, IDM_REDO, CanRedo());
    Enable(menu, IDM_CUT, selected);
    Enable(menu, IDM_COPY, selected || count > 0);
    Enable(menu, IDM_PASTE, IsClipboardFormatAvailable(CF_TEXT) != 0);
    for (UINT id : {IDM_DELETE, IDM_CLEAR_OUTSIDE, IDM_FLIP_LEFT_RIGHT, IDM_FLIP_UP_DOWN, IDM_ROTATE_CLOCKWISE,
                    IDM_ROTATE_ANTICLOCKWISE, IDM_RANDOM_FILL}) {
        Enable(menu, id, selected);
    }
    Enable(menu, IDM_SELECT_ALL, count > 0);
    Enable(menu, IDM_REMOVE_SELECTION, selected || IsPlacing());
    // An empty board has nothing to add to the list.
    Enable(menu, IDM_PATTERN_ADD_CURRENT, count > 0);
    CheckMenuItem(menu, IDM_VIEW_POPULATION, MF_BYCOMMAND | (PopulationWindow() ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, IDM_VIEW_LIVING_CELLS, MF_BYCOMMAND | (LivingCellsWindow() ? MF_CHECKED : MF_UNCHECKED));
}
