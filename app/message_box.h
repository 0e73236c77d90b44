// Every modal box of the program.
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
