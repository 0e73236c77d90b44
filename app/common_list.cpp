#include "common_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cell_table.h"
#include "message_box.h"
#include "pattern_commands.h"
#include "pattern_file.h"
#include "pattern_files.h"
#include "resource.h"
#include "settings.h"
#include "wide_text.h"

namespace {

struct ListedPattern {
    std::string name;
    std::string rle;
    std::wstring file = L"";  // the user's own, in the settings folder; empty for the built-in ones
};

// The patterns a new user wants to try first, then whatever the session adds.
std::vector<ListedPattern> commonPatterns = {
    {"Glider", "bob$2bo$3o!"},
    {"Lightweight spaceship", "bo2bo$o4b$o3bo$4o!"},
    {"Blinker", "3o!"},
    {"Pulsar", "2b3o3b3o2$o4bobo4bo$o4bobo4bo$o4bobo4bo$2b3o3b3o2$2b3o3b3o$o4bobo4bo$o4bobo4bo$o4bobo4bo2$"
               "2b3o3b3o!"},
    {"Pentadecathlon", "2bo4bo$2ob4ob2o$2bo4bo!"},
    {"Gosper glider gun", "24bo$22bobo$12b2o6b2o12b2o$11bo3bo4b2o12b2o$2o8bo5bo3b2o$2o8bo3bob2o4bobo$"
                          "10bo5bo7bo$11bo3bo$12b2o!"},
    {"R-pentomino", "b2o$2o$bo!"},
    {"Acorn", "bo$3bo$2o2b3o!"},
    {"Diehard", "6bo$2o$bo3b3o!"},
};
// Fixed before the session can add anything, so what it added is the rest of the list.
const size_t kBuiltInCount = commonPatterns.size();

// The user's patterns are files named "0001 Pattern 1 (3 cells).rle": the number keeps them in the order
// added, the rest is the name shown, so renaming the file renames the item.
std::wstring PatternFolder() { return SettingsFolder() + L"Patterns\\"; }

int32_t NumberOf(const std::wstring& file) { return static_cast<int32_t>(wcstol(file.c_str(), nullptr, 10)); }

std::string NameOf(const std::wstring& file)
{
    size_t start = 0;
    while (start < file.size() && file[start] >= L'0' && file[start] <= L'9') {
        ++start;
    }
    start = start > 0 && start < file.size() && file[start] == L' ' ? start + 1 : 0;
    return Utf8(file.substr(start, file.size() - start - 4));
}

// The "Remove from list" sub-menu: the user's patterns, numbered after the built-in ones.
HMENU RemoveMenu()
{
    HMENU menu = CreatePopupMenu();
    for (size_t i = kBuiltInCount; i < commonPatterns.size(); ++i) {
        AppendMenuW(menu, MF_STRING, kFirstRemovePatternId + i, MenuText(Utf16(commonPatterns[i].name)).c_str());
    }
    return menu;
}

}  // namespace

void RestoreUserPatterns()
{
    commonPatterns.resize(kBuiltInCount);
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((PatternFolder() + L"*.rle").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            files.push_back(found.cFileName);
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    // Numbered ones in their order, then any the user put there, by name.
    std::sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        const int32_t x = NumberOf(a), y = NumberOf(b);
        return x != y ? (x == 0 ? false : y == 0 || x < y) : a < b;
    });
    for (const std::wstring& file : files) {
        std::string text, error;
        if (commonPatterns.size() < static_cast<size_t>(kMaxCommonPatterns) &&
            ReadWholeFile((PatternFolder() + file).c_str(), text, error)) {
            commonPatterns.push_back({NameOf(file), text, file});
        }
    }
}

void FillCommonMenu(HMENU menu)
{
    if (GetMenuItemID(menu, 0) != IDM_PATTERN_ADD_CURRENT) {
        return;
    }
    while (GetMenuItemCount(menu) > 2) {
        DeleteMenu(menu, 2, MF_BYPOSITION);
    }
    for (size_t i = 0; i < commonPatterns.size(); ++i) {
        AppendMenuW(menu, MF_STRING, kFirstCommonPatternId + i, MenuText(Utf16(commonPatterns[i].name)).c_str());
    }
    if (commonPatterns.size() > kBuiltInCount) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(RemoveMenu()), L"Remove from list");
    }
}

void AddBoardToCommonList(HWND window)
{
    if (count == 0) {
        return;
    }
    if (commonPatterns.size() >= static_cast<size_t>(kMaxCommonPatterns)) {
        MessageBeep(MB_OK);
        return;
    }
    ListedPattern listed;
    int32_t number = 1;
    for (size_t i = kBuiltInCount; i < commonPatterns.size(); ++i) {
        number = std::max(number, NumberOf(commonPatterns[i].file) + 1);
    }
    listed.name =
        "Pattern " + std::to_string(number) + " (" + std::to_string(count) + (count == 1 ? " cell)" : " cells)");
    wchar_t prefix[16];
    wsprintfW(prefix, L"%04d ", number);
    listed.file = prefix + Utf16(listed.name) + L".rle";
    std::string error;
    WritePattern(PatternFormat::Rle, TableCells(), listed.name, listed.rle, error);
    commonPatterns.push_back(listed);
    // The item stays for the session even when its file cannot be written.
    CreateDirectoryW(SettingsFolder().c_str(), nullptr);
    CreateDirectoryW(PatternFolder().c_str(), nullptr);
    if (!ReplaceFileWith(PatternFolder() + listed.file, listed.rle, error)) {
        ShowMessage(window, listed.name + " could not be kept for the next start.\n\n" + error, MB_OK | MB_ICONWARNING);
    }
}

bool RemoveCommonPattern(HWND window, int commandId)
{
    const size_t index = static_cast<size_t>(commandId - kFirstRemovePatternId);
    if (commandId < kFirstRemovePatternId || index < kBuiltInCount || index >= commonPatterns.size()) {
        return false;
    }
    const ListedPattern listed = commonPatterns[index];
    const std::string question =
        "Remove \"" + listed.name + "\" from the list? Its file in the settings folder is deleted.";
    if (ShowMessage(window, question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return true;
    }
    const std::wstring path = PatternFolder() + listed.file;
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        ShowMessage(window, listed.name + " could not be removed.\n\n" + SystemReason(GetLastError()),
                    MB_OK | MB_ICONWARNING);
        return true;
    }
    // The box ran a message loop: the list is looked up again, not by the old index.
    for (size_t i = kBuiltInCount; i < commonPatterns.size(); ++i) {
        if (commonPatterns[i].file == listed.file) {
            commonPatterns.erase(commonPatterns.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    return true;
}

bool LoadCommonPattern(HWND window, int commandId)
{
    const size_t index = static_cast<size_t>(commandId - kFirstCommonPatternId);
    if (commandId < kFirstCommonPatternId || index >= commonPatterns.size()) {
        return false;
    }
    // A copy: the load's boxes run a message loop, and the list must not move under it.
    const ListedPattern listed = commonPatterns[index];
    LoadPatternText(window, listed.rle, "the list (" + listed.name + ")");
    return true;
}
