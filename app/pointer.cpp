#include "pointer.h"

#include "board_painter.h"
#include "caption.h"
#include "history.h"
#include "viewport.h"

namespace {

// What the left button is doing on the board.
enum class PointerMode { Idle };

PointerMode mode = PointerMode::Idle;

}  // namespace

void ResetPointer()
{
    mode = PointerMode::Idle;
}

void PointerPressed(HWND window, int32_t px, int32_t py)
{
    const Cell cell = ScreenToCell(px, py);
    bool alive = false;
    if (ToggleCell(cell.x, cell.y, alive)) {
        DrawCell(cell.x, cell.y, alive, window);
        RefreshCaption(window);
    } else {
        // The table is full: the cell stays dead and nothing is drawn.
        MessageBeep(MB_OK);
    }
}
