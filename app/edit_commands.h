// The Edit menu's commands on the selection, and redo. Each is one history entry and changes
// nothing when it has nothing to act on.
#pragma once

#include <windows.h>

void RedoStep(HWND window);
void DeleteSelection(HWND window);
void ClearOutsideSelection(HWND window);
void FlipSelection(HWND window, bool leftRight);
void RotateSelection(HWND window, bool clockwise);
void RandomFillSelection(HWND window);
// The smallest rectangle around the live cells; nothing on an empty board.
void SelectAll(HWND window);
