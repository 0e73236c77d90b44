// The living cells: a tool window of the main window listing one line per live cell, which centres
// the view on the cell of a line double-clicked or entered.
#pragma once

#include <windows.h>

#include <string>

#include "cell_table.h"

// Opens the list beside the owner, or closes it when open.
void ToggleLivingCellsWindow(HWND owner);
// The list's window, null while it is closed.
HWND LivingCellsWindow();
// The board changed: the list follows it at once when the simulation is stopped, and at most four
// times a second while it runs, by the lines that changed.
void ShowLivingCellsChanged();
// A line's text: the cell's row and column counted from the plane's top-left corner, ten digits each,
// so the list's text order is the plane's reading order.
std::string LivingCellText(Cell cell);
// Whether the message was the list's, handled there: a dialog's keys (Tab, Enter, the arrows), and
// every other key pressed in it, which goes to the main window.
bool IsLivingCellsMessage(MSG* message);
