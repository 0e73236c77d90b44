#include "commands.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "board_painter.h"
#include "cell_table.h"
#include "generation.h"
#include "history.h"
#include "pattern_commands.h"
#include "resource.h"
#include "thousands.h"
#include "viewport.h"

int32_t stepIntervalMs = 50;

namespace {

bool running = false;

const char kMessageCaption[] = "The Quillane 0.0.1";
// Broken by hand into lines that fit the box, which would otherwise wrap inside "B3/S23".
const char kAboutText[] =
    "The Quillane plays Conway's Game of Life\n"
    "(rule B3/S23) on a plane without edges,\n"
    "with at most 10,000 live cells at a time.\n"
    "\n"
    "The Quillane developers, December 2026\n"
    "<developers@quillane.example>";
const char kRulesPage[] = "https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life";

bool IsMenuOpen()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

// Starting an already running timer replaces it, so its period starts afresh.
void Play(HWND window)
{
    SetTimer(window, kStepTimerId, static_cast<UINT>(stepIntervalMs), nullptr);
    running = true;
    UpdateCaption(window);
}

// A speed always leaves the simulation running, whether it ran before or not.
void SetSpeed(HWND window, int32_t intervalMs)
{
    stepIntervalMs = intervalMs;
    KillTimer(window, kStepTimerId);
    running = false;
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
    ClearBoard();
    RequestRepaint(window);
    RefreshCaption(window);
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

// Ctrl+C is everyone's copy key: clearing the board on it would destroy the user's work.
void OnClearOrCopyKey(HWND window)
{
    if (IsKeyDown(VK_CONTROL)) {
        CopyBoard(window);
    } else {
        Clear(window);
    }
}

void OnPasteKey(HWND window)
{
    if (IsKeyDown(VK_CONTROL)) {
        PasteBoard(window);
    }
}

}  // namespace

bool IsRunning()
{
    return running;
}

void StopTimer(HWND window)
{
    KillTimer(window, kStepTimerId);
    running = false;
    UpdateCaption(window);
}

bool StepForward(HWND window)
{
    // The changes are drawn as the step applies them and reach the screen together.
    BeginCellChanges(mainWindow);
    const bool stepped = AdvanceGeneration(DrawCellChange);
    EndCellChanges();
    if (stepped) {
        RefreshCaption(window);
        return true;
    }
    // Stop first: a tick must not raise a second box while this one waits.
    StopTimer(window);
    const std::string text = "The next generation would have " + WithThousands(LastRefusedPopulation()) +
                             " live cells; the board holds at most " + WithThousands(kMaxCells) +
                             ". The simulation has stopped.";
    ShowMessage(window, text.c_str(), MB_OK | MB_ICONWARNING);
    return false;
}

int ShowMessage(HWND window, const char* text, UINT type)
{
    if (IsMenuOpen()) {
        // Ending the menu lets its loop return as soon as this call does; the box follows.
        EndMenu();
        auto* copy = new std::string(text);
        if (!PostMessageA(window, kShowWaitingMessage, type, reinterpret_cast<LPARAM>(copy))) {
            delete copy;
        }
        return 0;
    }
    // Wide, so that a file's name shows as the user sees it.
    return MessageBoxW(window, Utf16(text).c_str(), Utf16(kMessageCaption).c_str(), type);
}

void ShowWaitingMessage(HWND window, WPARAM type, LPARAM text)
{
    std::unique_ptr<std::string> owned(reinterpret_cast<std::string*>(text));
    ShowMessage(window, owned->c_str(), static_cast<UINT>(type));
}

void StepBackward(HWND window)
{
    if (!CanStepBack()) {
        return;
    }
    if (running) {
        KillTimer(window, kStepTimerId);
        running = false;
    }
    BeginCellChanges(mainWindow);
    StepBack(DrawCellChange);
    EndCellChanges();
    UpdateCaption(window);
}

void FitLiveCells(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    FitView(client.right, client.bottom);
    RequestRepaint(window);
}

void HandleCommand(HWND window, int commandId)
{
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
    case IDM_ABOUT_PROGRAM:
        ShowMessage(window, kAboutText, MB_OK | MB_ICONINFORMATION);
        break;
    case IDM_ABOUT_RULES:
        ShellExecuteA(nullptr, "open", kRulesPage, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case IDM_FILE_LOAD_PATTERN:
    case IDM_PATTERN_LOAD: LoadPatternFromDialog(window); break;
    case IDM_FILE_SAVE_PATTERN:
    case IDM_PATTERN_SAVE: SavePatternFromDialog(window); break;
    case IDM_PATTERN_ADD_CURRENT: AddBoardToCommonList(); break;
    // The "Common" items are numbered at run time.
    default: LoadCommonPattern(window, commandId); break;
    }
}

void HandleKey(HWND window, WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_RIGHT: StepForward(window); break;
    case VK_LEFT: StepBackward(window); break;
    case VK_HOME: FitLiveCells(window); break;
    case 'Z':
        if (IsKeyDown(VK_CONTROL)) {
            StepBackward(window);
        }
        break;
    case '1': OnDigitKey(window, 1, 10); break;
    case '2': SetSpeed(window, 50); break;
    case '3': OnDigitKey(window, 3, 100); break;
    case '4': SetSpeed(window, 200); break;
    case 'C': OnClearOrCopyKey(window); break;
    case 'V': OnPasteKey(window); break;
    case 'P': Play(window); break;
    case 'S': StopTimer(window); break;
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
