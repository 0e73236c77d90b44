// Drawing the board into the main window: the full repaint and single cells.
#pragma once

#include <cstdint>

#include <windows.h>

#include "board_pixels.h"

// The one main window, set by WinMain; the window DrawCellChange draws on.
extern HWND mainWindow;

// The whole answer to WM_PAINT: background, grid and every live cell, composed off-screen and
// shown in one copy, so nothing flickers. WM_ERASEBKGND may be answered TRUE: the copy covers
// every pixel of the client area.
void PaintBoard(HWND window);
// One cell's interior straight onto the window, outside the paint cycle.
void DrawCell(int32_t x, int32_t y, bool alive, HWND window);
// The generation step's listener: DrawCell on mainWindow.
void DrawCellChange(int32_t x, int32_t y, bool alive);
// Around a generation step: the cells drawn in between reach the screen in one copy when it
// ends, instead of one device context each. The pixels are the same either way.
void BeginCellChanges(HWND window);
void EndCellChanges();
// Around generations applied with no listener (full speed's batch): the board the window shows is
// noted when they begin, and when they end only the cells that differ are drawn, and the bands of
// rows that hold them shown, instead of a repaint of the whole client area.
void BeginUnseenChanges();
void ShowUnseenChanges(HWND window);
// Invalidates the whole client area and repaints it before returning.
void RepaintNow(HWND window);

// What is drawn over the board from now on (the pointers stay the caller's, valid until the next
// call). The window shows it at the next paint or repaint.
void SetBoardOverlay(const BoardOverlay& overlay);
// Composes and shows only the given pixels, after a change confined to them (a selection drawn).
void RepaintArea(HWND window, PixelRect area);
// Moves the overlay's preview from `from` to where the overlay now says and shows the change.
void ShowPreviewMoved(HWND window, Cell from);
