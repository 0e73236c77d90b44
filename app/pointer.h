// The mouse on the board, and what it shapes: a stroke being drawn, the selection, a paste waiting
// to be placed. Held in one place, so the window's handlers stay one line each.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "cell_table.h"
#include "selection.h"

// A new window's pointer: nothing under way, nothing selected, nothing to place.
void ResetPointer();

// A left press or double click at a client pixel. Alone it toggles the cell and starts a stroke;
// with Shift it starts a selection; while a paste waits, it places it. Ignored while the middle
// button pans: one button's drag is never ended or changed by another's press.
void PointerPressed(HWND window, int32_t px, int32_t py, bool shift);
// The pointer moved; `buttons` as the move message carries them (MK_LBUTTON, MK_MBUTTON).
void PointerMoved(HWND window, int32_t px, int32_t py, WPARAM buttons);
// A button let go: it ends only what it started (left: a stroke or a selection; middle: a pan),
// and lets the mouse go if this window holds it.
void PointerReleased(HWND window, bool middle);
// WM_CAPTURECHANGED: the mouse went elsewhere (a box, a menu, another program), so any drag ends.
void PointerCaptureLost(HWND window, HWND newOwner);
// The middle button pans the board by whole cells, the cell pressed following the pointer.
void MiddlePressed(HWND window, int32_t px, int32_t py);
// A right press: true when it is taken here and opens no menu (it cancelled a waiting paste, or a
// drag goes on, which it leaves alone).
bool RightPressed(HWND window);

bool HasSelection();
CellRect SelectedRect();
void Select(HWND window, CellRect rect);
void RemoveSelection(HWND window);

// Shows the pattern over the board, its top-left under the pointer, until a left press places it
// or CancelPlacing drops it.
void StartPlacing(HWND window, const std::vector<Cell>& pattern);
bool IsPlacing();
void CancelPlacing(HWND window);
