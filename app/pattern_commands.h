// Patterns in and out of the window: files, drag and drop, the command line, the clipboard and
// the "Common" list.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The "Common" items are numbered from here at run time; the resources have none of their own.
constexpr int kFirstCommonPatternId = 41000;
constexpr int kMaxCommonPatterns = 1000;

// Texts are UTF-8 inside the program; the system's wide calls take and give UTF-16. Text that is not
// UTF-8 (a file's Latin-1 comment) is read in the system's code page.
std::wstring Utf16(std::string_view text);
std::string Utf8(std::wstring_view text);

// File > "Load pattern" and Pattern > "Load": the open dialog, then LoadPatternFile.
void LoadPatternFromDialog(HWND window);
// File > "Save pattern" and Pattern > "Save": the save dialog, starting at the file last loaded or saved, then the
// file written whole. A read-only file is left as it is.
void SavePatternFromDialog(HWND window);

// Any failure is one message box naming the file; the board, view and timer stay as they were.
bool LoadPatternFile(HWND window, const wchar_t* path);
// The whole command line, the program's name first: the first argument after it loads; none loads nothing.
void LoadCommandLinePattern(HWND window, const wchar_t* commandLine);
// WM_DROPFILES: the first file dropped. Releases the drop.
void LoadDroppedPattern(HWND window, HDROP drop);

// Ctrl+C and Ctrl+V. An empty board leaves the clipboard as it was.
void CopyBoard(HWND window);
void PasteBoard(HWND window);

// WM_INITMENUPOPUP: refills the "Common" sub-menu when it is the one about to open.
void FillCommonMenu(HMENU menu);
// "Add current to list": the board joins the list for the session; an empty board adds nothing.
void AddBoardToCommonList();
// A "Common" item by its command identifier. False when the identifier is not one.
bool LoadCommonPattern(HWND window, int commandId);
