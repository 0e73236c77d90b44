#include "living_cells_window.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "board_painter.h"
#include "clock.h"
#include "resource.h"
#include "run.h"
#include "viewport.h"

namespace {

// While running, the list changes at most four times a second, and takes at most a twentieth of the
// time: rewriting 10,000 lines costs some 15 ms under Wine, so at full speed it then waits longer.
constexpr double kListSeconds = 0.25;
constexpr double kListShare = 20;
constexpr UINT_PTR kFollowTimerId = 1;
constexpr UINT_PTR kMarkTimerId = 2;
constexpr UINT kMarkMs = 700;

HWND list = nullptr;
std::vector<Cell> listed;  // the cells the lines show, in reading order
double listedAt = -1.0;
double followSeconds = 0;  // what the last change of the lines cost
bool marking = false;

uint32_t Biased(int32_t v)
{
    return static_cast<uint32_t>(v) ^ 0x80000000u;
}

bool ReadingOrder(Cell a, Cell b)
{
    return Biased(a.y) != Biased(b.y) ? Biased(a.y) < Biased(b.y) : Biased(a.x) < Biased(b.x);
}

Cell CellOfText(const char* text)
{
    unsigned long row = 0, column = 0;
    std::sscanf(text, "row %lu, column %lu", &row, &column);
    return {static_cast<int32_t>(static_cast<uint32_t>(column) ^ 0x80000000u),
            static_cast<int32_t>(static_cast<uint32_t>(row) ^ 0x80000000u)};
}

// The list box keeps its lines in UTF-16; handing them over in it spares a conversion a line.
void InsertLine(HWND box, WPARAM at, Cell cell)
{
    const std::string text = LivingCellText(cell);
    wchar_t wide[48];
    std::copy(text.c_str(), text.c_str() + text.size() + 1, wide);
    SendMessageW(box, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(wide));
}

// Brings the lines to the board: those of dead cells go, those of new ones come, the rest stay. The
// lines stand in `listed`'s order, which is the list's own, so each goes in or out at its index with
// no text compared. When most lines change (a quarter second at full speed) all of them are written
// afresh in order, which then costs less than taking each out and putting each in.
void Follow()
{
    KillTimer(list, kFollowTimerId);
    listedAt = SecondsNow();
    std::vector<Cell> now = TableCells();
    std::sort(now.begin(), now.end(), ReadingOrder);
    std::vector<Cell> gone;
    std::set_difference(listed.begin(), listed.end(), now.begin(), now.end(), std::back_inserter(gone), ReadingOrder);
    if (gone.empty() && now.size() == listed.size()) {
        return;
    }
    HWND box = GetDlgItem(list, IDC_CELL_LIST);
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    const size_t come = now.size() - (listed.size() - gone.size());
    if (2 * (gone.size() + come) > listed.size() + now.size()) {
        SendMessageA(box, LB_RESETCONTENT, 0, 0);
        SendMessageA(box, LB_INITSTORAGE, now.size(), now.size() * 40);
        for (Cell c : now) {
            InsertLine(box, static_cast<WPARAM>(-1), c);
        }
    } else {
        // Out from the last line up, so the indices before stay; then in from the first line down.
        for (size_t i = listed.size(), k = gone.size(); k > 0 && i-- > 0;) {
            if (listed[i] == gone[k - 1]) {
                SendMessageA(box, LB_DELETESTRING, i, 0);
                --k;
            }
        }
        std::vector<Cell> kept;
        std::set_difference(listed.begin(), listed.end(), gone.begin(), gone.end(), std::back_inserter(kept), ReadingOrder);
        for (size_t i = 0, k = 0; i < now.size(); ++i) {
            if (k < kept.size() && kept[k] == now[i]) {
                ++k;
            } else {
                InsertLine(box, i, now[i]);
            }
        }
    }
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
    UpdateWindow(box);
    listed.swap(now);
    followSeconds = SecondsNow() - listedAt;
}

// The cell of the line chosen comes to the middle of the board, ringed for a moment.
void GoToChosen()
{
    HWND box = GetDlgItem(list, IDC_CELL_LIST);
    const LRESULT at = SendMessageA(box, LB_GETCURSEL, 0, 0);
    char text[64] = "";
    if (at == LB_ERR || SendMessageA(box, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0) >= LRESULT{sizeof text}) {
        return;
    }
    SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
    const Cell cell = CellOfText(text);
    RECT client;
    GetClientRect(mainWindow, &client);
    PlaceCellAt(cell, client.right / 2, client.bottom / 2);
    RepaintNow(mainWindow);
    const PixelPoint corner = CellToScreen(cell.x, cell.y);
    const int32_t size = viewport.cellSize, pad = std::max(3, size / 2);
    HDC dc = GetDC(mainWindow);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 90, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, static_cast<int>(corner.x - pad), static_cast<int>(corner.y - pad),
            static_cast<int>(corner.x + size + pad + 1), static_cast<int>(corner.y + size + pad + 1));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    ReleaseDC(mainWindow, dc);
    marking = true;
    SetTimer(list, kMarkTimerId, kMarkMs, nullptr);
}

void OnTimer(WPARAM id)
{
    KillTimer(list, id);
    if (id == kFollowTimerId) {
        Follow();
    } else if (marking) {
        marking = false;
        InvalidateRect(mainWindow, nullptr, FALSE);
    }
}

INT_PTR OnCommand(HWND window, WPARAM wParam)
{
    if ((LOWORD(wParam) == IDC_CELL_LIST && HIWORD(wParam) == LBN_DBLCLK) || LOWORD(wParam) == IDOK) {
        GoToChosen();
    } else if (LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(window);
    }
    return TRUE;
}

// Beside the owner's left edge, or its right one when the screen ends there.
void PlaceBeside(HWND window, HWND owner)
{
    RECT main, own;
    GetWindowRect(owner, &main);
    GetWindowRect(window, &own);
    const LONG width = own.right - own.left;
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const LONG left = main.left - width >= monitor.rcWork.left ? main.left - width : main.right;
    SetWindowPos(window, nullptr, left, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK LivingCellsProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    // FALSE: the focus stays where it was, so opening the list leaves the keys with the board.
    case WM_INITDIALOG: return FALSE;
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_TIMER: OnTimer(wParam); return TRUE;
    case WM_CLOSE: DestroyWindow(window); return TRUE;
    case WM_DESTROY:
        list = nullptr;
        listed.clear();
        if (marking) {
            marking = false;
            InvalidateRect(mainWindow, nullptr, FALSE);
        }
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void ToggleLivingCellsWindow(HWND owner)
{
    if (list) {
        DestroyWindow(list);
        return;
    }
    list = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LIVING_CELLS), owner, LivingCellsProc, 0);
    if (!list) {
        return;
    }
    PlaceBeside(list, owner);
    listed.clear();
    Follow();
    ShowWindow(list, SW_SHOWNA);
}

HWND LivingCellsWindow()
{
    return list;
}

void ShowLivingCellsChanged()
{
    if (!list) {
        return;
    }
    const double waited = SecondsNow() - listedAt;
    const double wait = std::max(kListSeconds, kListShare * followSeconds);
    if (!IsRunning() || waited >= wait) {
        Follow();
    } else {
        // The rest of the wait, then the board as it then stands.
        SetTimer(list, kFollowTimerId, static_cast<UINT>((wait - waited) * 1000) + 1, nullptr);
    }
}

std::string LivingCellText(Cell cell)
{
    char text[48];
    std::snprintf(text, sizeof text, "row %010lu, column %010lu", static_cast<unsigned long>(Biased(cell.y)),
                  static_cast<unsigned long>(Biased(cell.x)));
    return text;
}

bool IsLivingCellsMessage(MSG* message)
{
    if (!list || (message->hwnd != list && !IsChild(list, message->hwnd))) {
        return false;
    }
    // The list keeps the keys that move in it and choose; the others are the board's, so L closes the
    // list and P plays from here too (typing a letter to find a line is of no use when all begin alike).
    if (message->message == WM_KEYDOWN) {
        switch (message->wParam) {
        case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_PRIOR: case VK_NEXT:
        case VK_HOME: case VK_END: case VK_RETURN: case VK_ESCAPE: case VK_TAB: break;
        default: SendMessageA(mainWindow, WM_KEYDOWN, message->wParam, message->lParam); return true;
        }
    }
    return IsDialogMessageA(list, message);
}
