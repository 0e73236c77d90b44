#include "commands.h"

#include <shellapi.h>

#include "board_painter.h"
#include "cell_table.h"
#include "generation.h"
#include "resource.h"
#include "viewport.h"

int32_t stepIntervalMs = 50;

namespace {

const char kMessageCaption[] = "The Quillane 0.0.1";
const char kAboutText[] =
    "The Quillane plays Conway's Game of Life (rule B3/S23) on an unbounded board.\n"
    "\n"
    "The Quillane developers, December 2026 <developers@quillane.example>";
const char kRulesPage[] = "https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life";
const char kBoardFullText[] =
    "The board is full: the next generation would need more than 10,000 live cells.";

// Starting an already running timer replaces it, so its period starts afresh.
void Play(HWND window)
{
    SetTimer(window, kStepTimerId, static_cast<UINT>(stepIntervalMs), nullptr);
}

void Stop(HWND window)
{
    KillTimer(window, kStepTimerId);
}

// A speed always leaves the simulation running, whether it ran before or not.
void SetSpeed(HWND window, int32_t intervalMs)
{
    stepIntervalMs = intervalMs;
    KillTimer(window, kStepTimerId);
    Play(window);
}

void Zoom(HWND window, int32_t delta)
{
    ZoomBy(delta);
    RequestRepaint(window);
}

void Clear(HWND window)
{
    // A running timer goes on; its next tick finds no live cell and stops it.
    ClearCells();
    RequestRepaint(window);
}

bool IsKeyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// Digits 1 and 3 share three meanings: Ctrl zooms in, Shift zooms out, alone they set a speed.
void OnDigitKey(HWND window, int32_t zoomStep, int32_t intervalMs)
{
    if (IsKeyDown(VK_CONTROL)) {
        Zoom(window, zoomStep);
    } else if (IsKeyDown(VK_SHIFT)) {
        Zoom(window, -zoomStep);
    } else {
        SetSpeed(window, intervalMs);
    }
}

}  // namespace

bool StepForward(HWND window)
{
    // The changes are drawn as the step applies them and reach the screen together.
    BeginCellChanges(mainWindow);
    const bool stepped = StepGeneration(DrawCellChange);
    EndCellChanges();
    if (stepped) {
        return true;
    }
    // Stop first: a tick must not raise a second box while this one waits.
    Stop(window);
    MessageBoxA(window, kBoardFullText, kMessageCaption, MB_OK | MB_ICONWARNING);
    return false;
}

void HandleCommand(HWND window, int commandId)
{
    switch (commandId) {
    case IDM_PLAY: Play(window); break;
    case IDM_STOP: Stop(window); break;
    case IDM_STEP_FORWARD: StepForward(window); break;
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
    case IDM_ABOUT_PROGRAM:
        MessageBoxA(window, kAboutText, kMessageCaption, MB_OK | MB_ICONINFORMATION);
        break;
    case IDM_ABOUT_RULES:
        ShellExecuteA(nullptr, "open", kRulesPage, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    // Backward steps, pattern lists and pattern files have no behaviour.
    default: break;
    }
}

void HandleKey(HWND window, WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_RIGHT: StepForward(window); break;
    case '1': OnDigitKey(window, 1, 10); break;
    case '2': SetSpeed(window, 50); break;
    case '3': OnDigitKey(window, 3, 100); break;
    case '4': SetSpeed(window, 200); break;
    case 'C': Clear(window); break;
    case 'P': Play(window); break;
    case 'S': Stop(window); break;
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
