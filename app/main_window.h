// The program entry and the main window's dialog procedure.
#pragma once

#include <windows.h>

extern HBRUSH backgroundBrush;

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
