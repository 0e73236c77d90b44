// The user's commands: the menu items, the keyboard shortcuts and the context menu.
#pragma once

#include <windows.h>

void HandleCommand(HWND window, int commandId);
void HandleKey(HWND window, WPARAM virtualKey);
void ShowContextMenu(HWND window);
// Greys, as a menu opens, each of its items that cannot act now.
void EnableCommands(HMENU menu);

// Brings the live cells into view (FitView over the client area) and repaints.
void FitLiveCells(HWND window);
