// The Edit menu's commands, each as its item and its key do it (Undo is the run's step back).
// Each edit is one history entry and changes nothing when it has nothing to act on.
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
// The selection, or without one the board, onto the clipboard as RLE text; an empty board (or an
// empty selection) leaves the clipboard as it was. False when the clipboard refused it, which the
// user is told, naming what was being copied.
bool CopyBoard(HWND window);
// A copy, then a delete, only once the copy has succeeded. Nothing without a selection.
void CutSelection(HWND window);
// Through the one load path; a paste onto live cells waits for the user to place it.
void PasteBoard(HWND window);
// Esc and "Remove selection": a paste waiting to be placed is dropped first, else the selection.
void DropPasteOrSelection(HWND window);
