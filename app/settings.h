// What Quillane keeps between runs: one INI file in the user's settings folder, read as a window
// opens and written whole when something kept changes and at the close.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// %APPDATA%\Quillane\, or the folder the QUILLANE_SETTINGS variable names (the tests' and `make
// run`'s own, never the user's); it ends in a backslash, and is empty when there is none.
std::wstring SettingsFolder();

// A new window's start: the file read, the speed and the cell size taken from it and the window
// put where it was, each only when what is kept is sound; otherwise the first start's. No box.
void RestoreSettings(HWND window);
// Shown maximized, as it was closed.
bool StartsMaximized();
// The window's place, speed and cell size with everything else kept, the file replaced whole.
// A failure (a full disk, no folder) is silent: the file keeps what it held.
void SaveSettings(HWND window);
// The same a second later, from a timer: a write costs several milliseconds under Wine, too much
// inside a load the user waits for.
constexpr UINT_PTR kSaveSettingsTimerId = 1026;
void SaveSettingsSoon(HWND window);

// The keys for anything that keeps its own state (a tool window's place). Set* takes effect on
// the next save.
std::string KeptText(const char* section, const char* key);
int32_t KeptNumber(const char* section, const char* key, int32_t lowest, int32_t highest, int32_t fallback);
void Keep(const char* section, const char* key, const std::string& value);
// A section of numbered keys, 1 first.
std::vector<std::string> KeptList(const char* section);
void KeepList(const char* section, const std::vector<std::string>& values);
