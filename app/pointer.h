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
// with Shift it starts a selection; while a paste waits, it places it.
void PointerPressed(HWND window, int32_t px, int32_t py, bool shift);
// The pointer moved; `buttons` as the move message carries them (MK_LBUTTON, MK_MBUTTON).
void PointerMoved(HWND window, int32_t px, int32_t py, WPARAM buttons);
// The left button let go, or the capture lost: a stroke or a selection ends.
void PointerReleased(HWND window);
// The middle button pans the board by whole cells, the cell pressed following the pointer.
void MiddlePressed(HWND window, int32_t px, int32_t py);
// A right press: true when it cancelled a waiting paste, which then opens no menu.
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
