// Ctrl+C and Ctrl+V: the board, or the selection, out as RLE text and patterns in from text.
#pragma once

#include <windows.h>

// The selection when there is one, else the whole board. An empty board leaves the clipboard as it was.
void CopyBoard(HWND window);
// Through the one load path; a paste onto live cells waits for the user to place it.
void PasteBoard(HWND window);
