// Pattern > "Common": the built-in patterns a new user wants to try first, then the user's own,
// each an RLE file in the settings folder, in the order added.
#pragma once

#include <windows.h>

// The items are numbered from here at run time; the resources have none of their own.
constexpr int kFirstCommonPatternId = 41000;
constexpr int kMaxCommonPatterns = 1000;
constexpr int kFirstRemovePatternId = kFirstCommonPatternId + kMaxCommonPatterns;

// A new window's list: the built-in patterns, then the user's files.
void RestoreUserPatterns();

// WM_INITMENUPOPUP: refills the "Common" sub-menu when it is the one about to open.
void FillCommonMenu(HMENU menu);
// "Add current to list": the board joins the list, its file written at once; an empty board adds
// nothing. A file that cannot be written is said so, and the item stays for the session.
void AddBoardToCommonList(HWND window);
// "Remove from list": one of the user's own, asked first; its file is deleted.
bool RemoveCommonPattern(HWND window, int commandId);
// An item by its command identifier, through the one load path. False when the identifier is not one.
bool LoadCommonPattern(HWND window, int commandId);
