#include "main_window.h"

#include <windowsx.h>

#include "board_painter.h"
#include "caption.h"
#include "cell_table.h"
#include "commands.h"
#include "common_list.h"
#include "history.h"
#include "living_cells_window.h"
#include "message_box.h"
#include "pattern_commands.h"
#include "pointer.h"
#include "recent_files.h"
#include "resource.h"
#include "run.h"
#include "settings.h"
#include "viewport.h"

HBRUSH backgroundBrush = nullptr;

namespace {

// Wheel movement not yet turned into a zoom: a fine-grained wheel sends fractions of a notch.
int32_t wheelDelta = 0;

void SetScrollBars(HWND window)
{
    // The thumbs stay in the middle for good: the bars serve only as arrow and page buttons.
    SetScrollRange(window, SB_HORZ, 0, 100, TRUE);
    SetScrollRange(window, SB_VERT, 0, 100, TRUE);
    SetScrollPos(window, SB_HORZ, 50, TRUE);
    SetScrollPos(window, SB_VERT, 50, TRUE);
}

void SetIcon(HWND window, WPARAM which, int size)
{
    HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, 0);
    SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

// Every handler that reads or changes the board asks first: after the close nothing may reach the
// table, whose storage goes with the window.
bool BoardOpen()
{
    return HasCellStorage();
}

// Runs inside CreateDialogParamA, before WinMain knows the handle. A window starts as the first one
// did, whatever an earlier one left.
INT_PTR OnInitDialog(HWND window)
{
    AllocateCellStorage();
    ForgetHistory();
    ResetRun(window);
    ResetPointer();
    wheelDelta = 0;
    viewport = {kInitialCellSize, 0, 0};
    // What the last window closed kept; the view itself starts at the origin, as a kept offset
    // over an empty board would mean nothing.
    RestoreSettings(window);
    RestoreRecentFiles();
    RestoreUserPatterns();
    SetScrollBars(window);
    SetIcon(window, ICON_BIG, 32);
    SetIcon(window, ICON_SMALL, 16);
    DragAcceptFiles(window, TRUE);
    if (!backgroundBrush) {
        backgroundBrush = CreateSolidBrush(RGB(255, 255, 255));
    }
    return TRUE;
}

// Returning FALSE once the board is gone leaves the paint to the default handling, which
// validates the window without touching the table.
INT_PTR OnPaint(HWND window)
{
    if (BoardOpen()) {
        PaintBoard(window);
    }
    return FALSE;
}

// The board's paint covers the whole client area, so an erase first would only flash white.
INT_PTR OnEraseBackground()
{
    return BoardOpen();
}

INT_PTR OnClose(HWND window)
{
    // The timers go before the table, so no tick or batch can arrive to a released table.
    StopTimer(window);
    SaveSettings(window);
    if (BoardOpen()) {
        ReleaseCellStorage();
        ForgetHistory();
    }
    // A modeless dialog ends by being destroyed. EndDialog would only hide it, and a menu left
    // open on the hidden window would go on running its loop and take the quit message for its own.
    DestroyWindow(window);
    return TRUE;
}

INT_PTR OnDestroy()
{
    PostQuitMessage(0);
    return TRUE;
}

INT_PTR OnTimer(HWND window, WPARAM timerId)
{
    if (timerId == kSaveSettingsTimerId) {
        KillTimer(window, kSaveSettingsTimerId);
        SaveSettings(window);
    }
    if (timerId == kBatchTimerId && BoardOpen()) {
        RunBatch(window);
    }
    if (timerId != kStepTimerId || !BoardOpen()) {
        return TRUE;
    }
    // An empty board has nothing left to run; a refused step has stopped the timer itself.
    if (StepForward(window) && count == 0) {
        StopTimer(window);
    }
    return TRUE;
}

// Each scroll action pans by whole cells. The whole wParam is compared, so a thumb code
// carrying a position falls through to nothing.
INT_PTR OnScroll(HWND window, WPARAM code, bool horizontal)
{
    int32_t cells = 0;
    switch (code) {
    case SB_LINEUP: cells = +1; break;
    case SB_LINEDOWN: cells = -1; break;
    case SB_PAGEUP: cells = +3; break;
    case SB_PAGEDOWN: cells = -3; break;
    case SB_TOP: cells = +1; break;
    case SB_BOTTOM: cells = -1; break;
    default: return TRUE;
    }
    PanBy(horizontal ? cells : 0, horizontal ? 0 : cells);
    if (BoardOpen()) {
        RepaintNow(window);
    }
    return TRUE;
}

// A quick second press on the same cell arrives as a double click and is handled the same way, so
// that the user's click is never lost.
INT_PTR OnLeftButtonDown(HWND window, WPARAM keys, LPARAM lParam)
{
    if (BoardOpen()) {
        PointerPressed(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (keys & MK_SHIFT) != 0);
    }
    return FALSE;
}

// Each whole notch zooms by one pixel a cell about the cursor; the rest waits for more.
INT_PTR OnMouseWheel(HWND window, WPARAM wParam, LPARAM lParam)
{
    wheelDelta += GET_WHEEL_DELTA_WPARAM(wParam);
    const int32_t notches = wheelDelta / WHEEL_DELTA;
    wheelDelta -= notches * WHEEL_DELTA;
    if (notches == 0) {
        return TRUE;
    }
    // The position comes in screen coordinates, which may be negative on a second monitor.
    POINT cursor = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window, &cursor);
    ZoomAbout(notches, cursor.x, cursor.y);
    if (BoardOpen()) {
        RepaintNow(window);
    }
    return TRUE;
}

// Both the menu bar's Game menu and the context menu pass here as they open. The "Common" list
// and the recent files change during the session, so their menus are filled here too.
INT_PTR OnInitMenuPopup(WPARAM menu)
{
    if (BoardOpen()) {
        EnableCommands(reinterpret_cast<HMENU>(menu));
        FillCommonMenu(reinterpret_cast<HMENU>(menu));
        FillRecentFilesMenu(reinterpret_cast<HMENU>(menu));
    }
    return TRUE;
}

// A right press cancels a paste waiting to be placed, or else opens the context menu.
INT_PTR OnRightButtonDown(HWND window)
{
    if (!BoardOpen() || !RightPressed(window)) {
        ShowContextMenu(window);
    }
    return TRUE;
}

// The pointer's moves and the buttons' releases matter only to what the pointer does; the dialog
// manager may handle them as well.
INT_PTR OnMouseMove(HWND window, WPARAM buttons, LPARAM lParam)
{
    if (BoardOpen()) {
        PointerMoved(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttons);
    }
    return FALSE;
}

INT_PTR OnButtonUp(HWND window, bool middle)
{
    PointerReleased(window, middle);
    return FALSE;
}

// Whoever takes the mouse (a box, a menu, another program) ends the drag under way.
INT_PTR OnCaptureChanged(HWND window, LPARAM newOwner)
{
    PointerCaptureLost(window, reinterpret_cast<HWND>(newOwner));
    return FALSE;
}

INT_PTR OnMiddleButtonDown(HWND window, LPARAM lParam)
{
    if (BoardOpen()) {
        MiddlePressed(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    }
    return FALSE;
}

INT_PTR OnKeyDown(HWND window, WPARAM virtualKey)
{
    if (BoardOpen()) {
        HandleKey(window, virtualKey);
    }
    return TRUE;
}

INT_PTR OnCommand(HWND window, int commandId)
{
    if (BoardOpen()) {
        HandleCommand(window, commandId);
    }
    return TRUE;
}

INT_PTR OnRunBatch(HWND window)
{
    if (BoardOpen()) {
        RunBatch(window);
    }
    return TRUE;
}

// A box that waited for a menu to close.
INT_PTR OnShowWaitingMessage(HWND window, WPARAM type, LPARAM text)
{
    ShowWaitingMessage(window, type, text);
    return TRUE;
}

// A pattern file dropped on the window loads; of several, the first.
INT_PTR OnDropFiles(HWND window, HDROP drop)
{
    if (BoardOpen()) {
        LoadDroppedPattern(window, drop);
    } else {
        DragFinish(drop);
    }
    return TRUE;
}

// Moved to a screen of another scale: the window takes the rectangle the system scaled for it. The board stays in
// physical pixels, with its offsets and cell size as they were.
INT_PTR OnDpiChanged(HWND window, const RECT& suggested)
{
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (BoardOpen()) {
        RepaintNow(window);
    }
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_PAINT: return OnPaint(window);
    case WM_ERASEBKGND: return OnEraseBackground();
    case WM_CLOSE: return OnClose(window);
    case WM_DESTROY: return OnDestroy();
    case WM_TIMER: return OnTimer(window, wParam);
    case WM_HSCROLL: return OnScroll(window, wParam, true);
    case WM_VSCROLL: return OnScroll(window, wParam, false);
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(backgroundBrush);
    case WM_LBUTTONDOWN: return OnLeftButtonDown(window, wParam, lParam);
    case WM_LBUTTONDBLCLK: return OnLeftButtonDown(window, wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(window, wParam, lParam);
    case WM_LBUTTONUP: return OnButtonUp(window, false);
    case WM_MBUTTONDOWN: return OnMiddleButtonDown(window, lParam);
    case WM_MBUTTONUP: return OnButtonUp(window, true);
    case WM_CAPTURECHANGED: return OnCaptureChanged(window, lParam);
    case WM_RBUTTONDOWN: return OnRightButtonDown(window);
    case WM_MOUSEWHEEL: return OnMouseWheel(window, wParam, lParam);
    case WM_INITMENUPOPUP: return OnInitMenuPopup(wParam);
    case WM_KEYDOWN: return OnKeyDown(window, wParam);
    case WM_COMMAND: return OnCommand(window, LOWORD(wParam));
    case kShowWaitingMessage: return OnShowWaitingMessage(window, wParam, lParam);
    case kRunBatchMessage: return OnRunBatch(window);
    case WM_DROPFILES: return OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
    case WM_DPICHANGED: return OnDpiChanged(window, *reinterpret_cast<const RECT*>(lParam));
    default: return FALSE;
    }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
    if (!window) {
        ShowMessage(nullptr, "The main window could not be created.", MB_OK | MB_ICONERROR);
        return 1;
    }
    if (!BoardOpen()) {
        // The box first: destroying the window posts the quit message, which would end the box.
        ShowMessage(nullptr, "There is not enough memory for the board.", MB_OK | MB_ICONERROR);
        DestroyWindow(window);
        return 1;
    }
    mainWindow = window;
    ShowWindow(window, StartsMaximized() ? SW_SHOWMAXIMIZED : SW_SHOW);
    // After the show, so a box about an unreadable file stands over the window it belongs to.
    LoadCommandLinePattern(window, GetCommandLineW());

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The list is a dialog: Tab, the arrows and Enter work there as in any dialog.
        if (IsLivingCellsMessage(&message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
