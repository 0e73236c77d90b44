// Pattern > "Common": the built-in patterns a new user wants to try first, then whatever the
// session adds. The list lives until the program closes.
#pragma once

#include <windows.h>

// The items are numbered from here at run time; the resources have none of their own.
constexpr int kFirstCommonPatternId = 41000;
constexpr int kMaxCommonPatterns = 1000;

// WM_INITMENUPOPUP: refills the "Common" sub-menu when it is the one about to open.
void FillCommonMenu(HMENU menu);
// "Add current to list": the board joins the list for the session; an empty board adds nothing.
void AddBoardToCommonList();
// An item by its command identifier, through the one load path. False when the identifier is not one.
bool LoadCommonPattern(HWND window, int commandId);
