// File > the last eight pattern files opened or saved, most recent first, above "Quit".
#pragma once

#include <windows.h>

#include <string>

// The items are numbered from here at run time.
constexpr int kFirstRecentFileId = 43000;
constexpr int kMaxRecentFiles = 8;

// A new window's list, from the settings.
void RestoreRecentFiles();
// A file opened (by any way in) or saved goes to the top, and its folder is where the dialogs start.
void NoteRecentFile(HWND window, const std::wstring& path);
// The folder of the last pattern file, kept between runs; empty when there is none.
std::wstring LastPatternFolder();
// WM_INITMENUPOPUP: refills the list when the menu about to open is the one holding "Quit".
void FillRecentFilesMenu(HMENU menu);
// An item by its command identifier: loads the file as the open dialog does; a file that is gone
// is said so and leaves the list. False when the identifier is not one.
bool OpenRecentFile(HWND window, int commandId);
// A path cut in the middle to `limit` characters, keeping the drive and the file's name.
std::wstring ShortenedPath(const std::wstring& path, size_t limit);
