// Patterns in and out of the window: the one load path, the open and save dialogs, the command
// line and drop. The clipboard and the "Common" list have files of their own and load through here.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Every way in ends here. `source` names the pattern's origin in the messages. A paste onto live
// cells waits, shown over the board, for the user to place it; otherwise the board is replaced
// (Backward brings the old one back), the timer stops and the pattern is brought into view.
bool LoadPatternText(HWND window, std::string_view text, const std::string& source, bool paste = false);
// One box naming where the pattern came from and why it could not be loaded.
void ReportLoadFailure(HWND window, const std::string& source, const std::string& reason);

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
