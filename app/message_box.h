// Every modal box of the program, and what any box or dialog of its own does around its wait.
#pragma once

#include <windows.h>

#include <string>

// Posted by ShowMessage for a box that has to wait for an open menu to close: the box's type in
// wParam, its text (a heap copy, a std::string) in lParam. Handed to ShowWaitingMessage.
constexpr UINT kShowWaitingMessage = WM_APP + 1;

// A box owned by the window, with the program's caption; returns the button chosen. Ticks go on
// inside a menu's own loop, and a box raised there could not be clicked while the menu kept the
// mouse. So an open menu is closed first and the box comes once its loop has returned; the call
// then returns 0 at once, as for a box that could not be shown.
int ShowMessage(HWND window, const std::string& text, UINT type);
void ShowWaitingMessage(HWND window, WPARAM type, LPARAM text);

// Around each box and dialog: the mouse is let go, which ends a stroke or a drag through the
// window's own capture-changed handling (the box could not be clicked while the board held the
// mouse), and the run pauses until the last one closes, then takes up again.
void BeginModal(HWND window);
void EndModal(HWND window);
