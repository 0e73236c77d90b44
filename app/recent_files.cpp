#include "recent_files.h"

#include <algorithm>
#include <vector>

#include "message_box.h"
#include "pattern_commands.h"
#include "resource.h"
#include "settings.h"
#include "wide_text.h"

namespace {

std::vector<std::wstring> recentFiles;
// Its own identifier, so the refill finds it however the menu around it changes.
constexpr int kRecentSeparatorId = kFirstRecentFileId + kMaxRecentFiles;
// Wide enough to tell files apart, narrow enough for the menu to stay a menu.
constexpr size_t kLabelLength = 60;

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

void KeepRecentFiles()
{
    std::vector<std::string> paths;
    for (const std::wstring& path : recentFiles) {
        paths.push_back(Utf8(path));
    }
    KeepList("Recent", paths);
}

// '&' marks a menu's access key: a file name's own is doubled.
std::wstring MenuLabel(size_t index, const std::wstring& path)
{
    return L"&" + std::to_wstring(index + 1) + L" " + MenuText(ShortenedPath(path, kLabelLength));
}

}  // namespace

void RestoreRecentFiles()
{
    recentFiles.clear();
    for (const std::string& path : KeptList("Recent")) {
        if (!path.empty() && recentFiles.size() < static_cast<size_t>(kMaxRecentFiles)) {
            recentFiles.push_back(Utf16(path));
        }
    }
}

void NoteRecentFile(HWND window, const std::wstring& path)
{
    auto same = [&](const std::wstring& other) { return lstrcmpiW(other.c_str(), path.c_str()) == 0; };
    recentFiles.erase(std::remove_if(recentFiles.begin(), recentFiles.end(), same), recentFiles.end());
    recentFiles.insert(recentFiles.begin(), path);
    if (recentFiles.size() > static_cast<size_t>(kMaxRecentFiles)) {
        recentFiles.pop_back();
    }
    KeepRecentFiles();
    Keep("Files", "Folder", Utf8(FolderOf(path)));
    SaveSettingsSoon(window);
}

std::wstring LastPatternFolder()
{
    return recentFiles.empty() ? Utf16(KeptText("Files", "Folder")) : FolderOf(recentFiles.front());
}

void FillRecentFilesMenu(HMENU menu)
{
    if (GetMenuState(menu, IDM_QUIT, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
        return;
    }
    for (int id = kFirstRecentFileId; id <= kRecentSeparatorId; ++id) {
        DeleteMenu(menu, static_cast<UINT>(id), MF_BYCOMMAND);
    }
    if (recentFiles.empty()) {
        return;
    }
    // Between the menu's own separator and "Quit", with one of their own below.
    int quit = 0;
    while (GetMenuItemID(menu, quit) != IDM_QUIT) {
        ++quit;
    }
    for (size_t i = 0; i < recentFiles.size(); ++i) {
        InsertMenuW(menu, static_cast<UINT>(quit + i), MF_BYPOSITION | MF_STRING, kFirstRecentFileId + i,
                    MenuLabel(i, recentFiles[i]).c_str());
    }
    InsertMenuW(menu, static_cast<UINT>(quit + recentFiles.size()), MF_BYPOSITION | MF_SEPARATOR, kRecentSeparatorId,
                nullptr);
}

bool OpenRecentFile(HWND window, int commandId)
{
    const size_t index = static_cast<size_t>(commandId - kFirstRecentFileId);
    if (commandId < kFirstRecentFileId || index >= recentFiles.size()) {
        return false;
    }
    // A copy: the load moves it to the top of the list.
    const std::wstring path = recentFiles[index];
    const DWORD error = GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        LoadPatternFile(window, path.c_str());
        return true;
    }
    recentFiles.erase(recentFiles.begin() + static_cast<std::ptrdiff_t>(index));
    KeepRecentFiles();
    SaveSettings(window);
    ShowMessage(window,
                "The file " + Utf8(path) + " is no longer there. It has been taken off the list of recent files.",
                MB_OK | MB_ICONWARNING);
    return true;
}

std::wstring ShortenedPath(const std::wstring& path, size_t limit)
{
    if (path.size() <= limit) {
        return path;
    }
    // The drive (or \\server\share) and the first folder, then as many of the last folders as fit.
    const size_t name = path.find_last_of(L'\\');
    size_t head = path.compare(0, 2, L"\\\\") == 0 ? path.find(L'\\', path.find(L'\\', 2) + 1) : path.find(L'\\');
    head = head == std::wstring::npos ? std::wstring::npos : path.find(L'\\', head + 1);
    if (name != std::wstring::npos && head != std::wstring::npos && head < name) {
        size_t tail = name;
        for (size_t before; tail > head && (before = path.find_last_of(L'\\', tail - 1)) > head &&
                            head + 1 + 3 + path.size() - before <= limit;) {
            tail = before;
        }
        if (head + 1 + 3 + path.size() - tail <= limit) {
            return path.substr(0, head + 1) + L"..." + path.substr(tail);
        }
    }
    // A name too long by itself is cut in its own middle.
    const size_t kept = limit > 3 ? limit - 3 : 0;
    return path.substr(0, kept / 2) + L"..." + path.substr(path.size() - (kept - kept / 2));
}
