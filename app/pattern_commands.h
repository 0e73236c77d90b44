// Patterns in and out of the window: files, drag and drop, the command line, the clipboard and
// the "Common" list.
#pragma once

#include <windows.h>

#include <string_view>

// The "Common" items are numbered from here at run time; the resources have none of their own.
constexpr int kFirstCommonPatternId = 41000;
constexpr int kMaxCommonPatterns = 1000;

// File > "Load pattern" and Pattern > "Load": the open dialog, then LoadPatternFile.
void LoadPatternFromDialog(HWND window);
// File > "Save pattern" and Pattern > "Save": the save dialog, then the file written whole.
void SavePatternFromDialog(HWND window);

// Any failure is one message box naming the file; the board, view and timer stay as they were.
bool LoadPatternFile(HWND window, const char* path);
// The program's arguments: one path, quoted when it has spaces. An empty line loads nothing.
void LoadCommandLinePattern(HWND window, const char* commandLine);
// WM_DROPFILES: the first file dropped. Releases the drop.
void LoadDroppedPattern(HWND window, HDROP drop);

// Ctrl+C and Ctrl+V.
void CopyBoard(HWND window);
void PasteBoard(HWND window);

// WM_INITMENUPOPUP: refills the "Common" sub-menu when it is the one about to open.
void FillCommonMenu(HMENU menu);
// "Add current to list": the board joins the list for the session; an empty board adds nothing.
void AddBoardToCommonList();
// A "Common" item by its command identifier. False when the identifier is not one.
bool LoadCommonPattern(HWND window, int commandId);
