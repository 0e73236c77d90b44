#include "settings.h"

#include <shlobj.h>

#include "pattern_files.h"
#include "run.h"
#include "settings_file.h"
#include "viewport.h"
#include "wide_text.h"

namespace {

// The file as read at the window's start, with what the session has changed since.
Settings kept;
bool maximized = false;

// Sizes and places a real window can have: a window 1 px wide or parked at -32000 (where the
// system keeps minimized windows) would be lost to the user.
constexpr int32_t kMinWidth = 200, kMinHeight = 150, kMaxExtent = 32000;

std::wstring SettingsFile() { return SettingsFolder() + L"settings.ini"; }

// A window restored where none of its title bar is on a connected monitor could not be moved back.
bool OnSomeMonitor(const RECT& place)
{
    const RECT titleBar = {place.left, place.top, place.right, place.top + 20};
    return MonitorFromRect(&titleBar, MONITOR_DEFAULTTONULL) != nullptr;
}

void RestorePlace(HWND window)
{
    const int32_t left = KeptNumber("Window", "Left", -kMaxExtent + 1, kMaxExtent - 1, INT32_MIN);
    const int32_t top = KeptNumber("Window", "Top", -kMaxExtent + 1, kMaxExtent - 1, INT32_MIN);
    const int32_t width = KeptNumber("Window", "Width", kMinWidth, kMaxExtent, 0);
    const int32_t height = KeptNumber("Window", "Height", kMinHeight, kMaxExtent, 0);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    placement.rcNormalPosition = {left, top, left + width, top + height};
    if (left == INT32_MIN || top == INT32_MIN || width == 0 || height == 0 ||
        !OnSomeMonitor(placement.rcNormalPosition)) {
        return;
    }
    // The window is not shown yet, and stays hidden until WinMain shows it.
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(window, &placement);
    maximized = KeptNumber("Window", "Maximized", 0, 1, 0) == 1;
}

}  // namespace

std::wstring SettingsFolder()
{
    wchar_t folder[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"QUILLANE_SETTINGS", folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::wstring named = folder;
        return named.back() == L'\\' || named.back() == L'/' ? named : named + L"\\";
    }
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return L"";
    }
    return std::wstring(folder) + L"\\Quillane\\";
}

void RestoreSettings(HWND window)
{
    std::string text, error;
    kept = ReadWholeFile(SettingsFile().c_str(), text, error) ? ReadSettings(text) : Settings();
    maximized = false;
    RestorePlace(window);
    viewport.cellSize = KeptNumber("View", "CellSize", kMinCellSize, kMaxCellSize, viewport.cellSize);
    // Chosen, not started: the user plays it.
    const std::string speed = KeptText("Run", "Speed");
    const int32_t interval = KeptNumber("Run", "Speed", 10, 200, 0);
    if (speed == "fastest" || interval == 10 || interval == 50 || interval == 100 || interval == 200) {
        ChooseSpeed(interval, speed == "fastest");
    }
}

bool StartsMaximized() { return maximized; }

void SaveSettings(HWND window)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (window && GetWindowPlacement(window, &placement)) {
        const RECT& r = placement.rcNormalPosition;
        Keep("Window", "Left", std::to_string(r.left));
        Keep("Window", "Top", std::to_string(r.top));
        Keep("Window", "Width", std::to_string(r.right - r.left));
        Keep("Window", "Height", std::to_string(r.bottom - r.top));
        // Closed from the taskbar while minimized, it comes back as it would have been restored.
        const bool zoomed = IsZoomed(window) || (IsIconic(window) && (placement.flags & WPF_RESTORETOMAXIMIZED));
        Keep("Window", "Maximized", zoomed ? "1" : "0");
    }
    Keep("Run", "Speed", FastestChosen() ? "fastest" : std::to_string(stepIntervalMs));
    Keep("View", "CellSize", std::to_string(viewport.cellSize));
    const std::wstring folder = SettingsFolder();
    if (folder.empty()) {
        return;
    }
    // %APPDATA% exists; the folder in it is made on the first save.
    CreateDirectoryW(folder.c_str(), nullptr);
    std::string error;
    ReplaceFileWith(SettingsFile(), WriteSettings(kept), error);
}

void SaveSettingsSoon(HWND window)
{
    SetTimer(window, kSaveSettingsTimerId, 1000, nullptr);
}

std::string KeptText(const char* section, const char* key)
{
    const std::string* value = FindSetting(kept, section, key);
    return value ? *value : std::string();
}

int32_t KeptNumber(const char* section, const char* key, int32_t lowest, int32_t highest, int32_t fallback)
{
    return SettingNumber(kept, section, key, lowest, highest, fallback);
}

void Keep(const char* section, const char* key, const std::string& value) { PutSetting(kept, section, key, value); }

std::vector<std::string> KeptList(const char* section)
{
    std::vector<std::string> values;
    for (const std::string* value; (value = FindSetting(kept, section, std::to_string(values.size() + 1)));) {
        values.push_back(*value);
    }
    return values;
}

void KeepList(const char* section, const std::vector<std::string>& values)
{
    RemoveSection(kept, section);
    for (size_t i = 0; i < values.size(); ++i) {
        PutSetting(kept, section, std::to_string(i + 1), values[i]);
    }
}
