#include "pointer.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "board_painter.h"
#include "caption.h"
#include "history.h"
#include "message_box.h"
#include "texts.h"
#include "viewport.h"

namespace {

// What the buttons are doing on the board.
enum class PointerMode { Idle, Drawing, Selecting, Panning };

struct PointerState {
    PointerMode mode;
    Cell last;       // Drawing: the cell the stroke reached; Selecting: the cell pressed
    bool drawAlive;  // Drawing: the state the first cell took, which the stroke gives every cell
    bool beeped;     // Drawing: the full board refused a cell, which is said once a stroke
    bool recorded;   // Drawing: the stroke has its history entry
    std::unordered_set<uint64_t> touched;  // Drawing: each cell changes at most once a stroke
    Cell grabbed;    // Panning: the cell that follows the pointer
    bool selected;
    CellRect selection;
    bool placing;
    Stamp preview;
    Cell previewAt;
};

PointerState state = {};

// The cell mixed one-to-one, so the low half that a 32-bit build's hash keeps depends on both
// coordinates: unmixed, every cell of a row would share one bucket.
uint64_t Key(Cell c)
{
    uint64_t z = uint64_t{static_cast<uint32_t>(c.x)} << 32 | static_cast<uint32_t>(c.y);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

void ShowOverlay()
{
    SetBoardOverlay({state.selected ? &state.selection : nullptr, state.placing ? &state.preview : nullptr,
                     state.previewAt});
}

PixelRect AreaOf(HWND window, CellRect rect)
{
    RECT client = {};
    GetClientRect(window, &client);
    return CellRectArea(rect, client.right, client.bottom);
}

bool OnClient(HWND window, Cell c)
{
    RECT client = {};
    GetClientRect(window, &client);
    return !IsEmptyRect(CellInterior(c.x, c.y, client.right, client.bottom));
}

// One cell of a stroke: it takes the stroke's state unless it has had its turn. The first change
// opens the stroke's history entry, and so does the first after a generation came in between.
void DrawStrokeCell(HWND window, Cell c)
{
    if (!OnClient(window, c) || !state.touched.insert(Key(c)).second || IsAlive(c.x, c.y) == state.drawAlive) {
        return;
    }
    if (state.drawAlive && count >= kMaxCells) {
        if (!state.beeped) {
            MessageBeep(MB_OK);
            state.beeped = true;
        }
        return;
    }
    if (!state.recorded || !EditIsNewest()) {
        BeginEdit();
        state.recorded = true;
    }
    SetCellInEdit(c.x, c.y, state.drawAlive);
    DrawCell(c.x, c.y, state.drawAlive, window);
}

// Every cell on the straight line between two cells, so that a fast move leaves no gap.
void DrawStrokeTo(HWND window, Cell to)
{
    const int64_t dx = WrapSub(to.x, state.last.x);
    const int64_t dy = WrapSub(to.y, state.last.y);
    const int64_t steps = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    for (int64_t i = 1; i <= steps; ++i) {
        // Rounded to the nearest cell, halves away from the start.
        const int64_t x = (2 * dx * i + (dx < 0 ? -steps : steps)) / (2 * steps);
        const int64_t y = (2 * dy * i + (dy < 0 ? -steps : steps)) / (2 * steps);
        const int32_t column = WrapAdd(state.last.x, static_cast<int32_t>(x));
        const int32_t row = WrapAdd(state.last.y, static_cast<int32_t>(y));
        DrawStrokeCell(window, {column, row});
    }
    state.last = to;
}

void PlacePreview(HWND window)
{
    const std::vector<Cell> placed = PlaceStamp(TableCells(), state.preview, state.previewAt);
    if (placed.size() > static_cast<size_t>(kMaxCells)) {
        ShowMessage(window, "Placed here, the pattern would make " + WithThousands(placed.size()) + " live cells; " +
                                BoardLimitText(), MB_OK | MB_ICONWARNING);
        return;
    }
    if (placed.size() != static_cast<size_t>(count)) {
        EditBoard(placed);
    }
    CancelPlacing(window);
    RefreshCaption(window);
}

}  // namespace

void ResetPointer()
{
    state = {};
    ShowOverlay();
}

void PointerPressed(HWND window, int32_t px, int32_t py, bool shift)
{
    if (state.mode == PointerMode::Panning) {
        return;
    }
    const Cell cell = ScreenToCell(px, py);
    if (state.placing) {
        const Cell from = state.previewAt;
        state.previewAt = cell;
        ShowOverlay();
        ShowPreviewMoved(window, from);
        PlacePreview(window);
        return;
    }
    SetCapture(window);
    if (shift) {
        state.mode = PointerMode::Selecting;
        state.last = cell;
        Select(window, {cell.x, cell.y, cell.x, cell.y});
        return;
    }
    state.mode = PointerMode::Drawing;
    state.drawAlive = !IsAlive(cell.x, cell.y);
    state.beeped = false;
    state.recorded = false;
    state.touched.clear();
    state.last = cell;
    DrawStrokeCell(window, cell);
    RefreshCaption(window);
}

void PointerMoved(HWND window, int32_t px, int32_t py, WPARAM buttons)
{
    const Cell cell = ScreenToCell(px, py);
    if (state.mode == PointerMode::Drawing && (buttons & MK_LBUTTON) && cell != state.last) {
        DrawStrokeTo(window, cell);
        RefreshCaption(window);
    } else if (state.mode == PointerMode::Selecting && (buttons & MK_LBUTTON)) {
        Select(window, RectBetween(state.last, cell));
    } else if (state.mode == PointerMode::Panning && (buttons & MK_MBUTTON)) {
        const Viewport before = viewport;
        PlaceCellAt(state.grabbed, px, py);
        if (viewport.offsetX != before.offsetX || viewport.offsetY != before.offsetY) {
            RepaintNow(window);
        }
    } else if (state.placing && cell != state.previewAt) {
        const Cell from = state.previewAt;
        state.previewAt = cell;
        ShowOverlay();
        ShowPreviewMoved(window, from);
    }
}

void PointerReleased(HWND window, bool middle)
{
    if ((state.mode == PointerMode::Panning) != middle || state.mode == PointerMode::Idle) {
        return;
    }
    state.mode = PointerMode::Idle;
    state.touched.clear();
    // The capture may already belong to a menu or another window; theirs is not ours to end.
    if (GetCapture() == window) {
        ReleaseCapture();
    }
}

void PointerCaptureLost(HWND window, HWND newOwner)
{
    if (newOwner != window) {
        state.mode = PointerMode::Idle;
        state.touched.clear();
    }
}

void MiddlePressed(HWND window, int32_t px, int32_t py)
{
    if (state.mode != PointerMode::Idle) {
        return;
    }
    SetCapture(window);
    state.mode = PointerMode::Panning;
    state.grabbed = ScreenToCell(px, py);
}

bool RightPressed(HWND window)
{
    if (state.mode != PointerMode::Idle) {
        return true;
    }
    if (!state.placing) {
        return false;
    }
    CancelPlacing(window);
    return true;
}

bool HasSelection()
{
    return state.selected;
}

CellRect SelectedRect()
{
    return state.selection;
}

void Select(HWND window, CellRect rect)
{
    const PixelRect before = state.selected ? AreaOf(window, state.selection) : PixelRect{0, 0, 0, 0};
    state.selected = true;
    state.selection = rect;
    ShowOverlay();
    RepaintArea(window, UniteRects(before, AreaOf(window, rect)));
}

void RemoveSelection(HWND window)
{
    if (state.selected) {
        state.selected = false;
        ShowOverlay();
        RepaintArea(window, AreaOf(window, state.selection));
    }
}

void StartPlacing(HWND window, const std::vector<Cell>& pattern)
{
    CancelPlacing(window);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    state.preview = MakeStamp(pattern);
    state.previewAt = ScreenToCell(cursor.x, cursor.y);
    state.placing = true;
    ShowOverlay();
    RepaintArea(window, AreaOf(window, StampRect(state.preview, state.previewAt)));
}

bool IsPlacing()
{
    return state.placing;
}

void CancelPlacing(HWND window)
{
    if (state.placing) {
        const PixelRect area = AreaOf(window, StampRect(state.preview, state.previewAt));
        state.placing = false;
        ShowOverlay();
        RepaintArea(window, area);
    }
}
