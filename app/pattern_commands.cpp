#include "pattern_commands.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "board_painter.h"
#include "cell_table.h"
#include "commands.h"
#include "history.h"
#include "message_box.h"
#include "pattern_file.h"
#include "pointer.h"
#include "resource.h"
#include "run.h"
#include "thousands.h"
#include "viewport.h"

namespace {

const wchar_t kOpenFilter[] = L"Life patterns (*.rle;*.cells;*.lif;*.life;*.txt)\0*.rle;*.cells;*.lif;*.life;*.txt\0"
                              L"All files (*.*)\0*.*\0";
// In the order of the save filters, which the dialog numbers from 1; .life has no filter and is only typed.
const wchar_t kSaveFilter[] = L"RLE (*.rle)\0*.rle\0Plaintext (*.cells)\0*.cells\0Life 1.06 (*.lif)\0*.lif\0";
const struct { const wchar_t* extension; PatternFormat format; } kSaveFormats[] = {
    {L".rle", PatternFormat::Rle}, {L".cells", PatternFormat::Plaintext}, {L".lif", PatternFormat::Life106},
    {L".life", PatternFormat::Life106}};

struct ListedPattern {
    std::string name;
    std::string rle;
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
int32_t patternsAdded = 0;
// Where the save dialog starts: the file last loaded or saved.
std::wstring lastPatternFile;

// The program's one way to raise a box, for texts composed here.
int Ask(HWND window, const std::string& text, UINT type)
{
    return ShowMessage(window, text.c_str(), type);
}

std::vector<Cell> BoardCells()
{
    std::vector<Cell> cells;
    cells.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        cells.push_back(CellAt(i));
    }
    return cells;
}

// The system's own sentence for an error code, without its line break; wide, as it may stand beside a file's name.
std::string SystemReason(DWORD code)
{
    wchar_t text[512] = L"";
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  512, nullptr);
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' || text[length - 1] == L' ')) {
        --length;
    }
    return length > 0 ? Utf8({text, length}) : "Windows error " + std::to_string(code) + ".";
}

void ReportLoadFailure(HWND window, const std::string& source, const std::string& reason)
{
    Ask(window, "The pattern from " + source + " could not be loaded.\n\n" + reason, MB_OK | MB_ICONWARNING);
}

// Every way in ends here. `source` names the pattern's origin in the messages. A paste onto live
// cells waits, shown over the board, for the user to place it.
bool LoadPatternText(HWND window, std::string_view text, const std::string& source, bool paste = false)
{
    Pattern pattern;
    std::string error;
    if (!ReadPattern(text, pattern, error)) {
        ReportLoadFailure(window, source, error);
        return false;
    }
    if (pattern.cells.size() > static_cast<size_t>(kMaxCells)) {
        ReportLoadFailure(window, source, "The pattern has " + WithThousands(pattern.cells.size()) +
                                              " live cells; the board holds at most " + WithThousands(kMaxCells) + ".");
        return false;
    }
    // The rule comes from the file: a long one is cut, so the question still fits on the screen.
    const std::string rule = pattern.rule.size() > 60 ? pattern.rule.substr(0, 60) + "..." : pattern.rule;
    if (!IsStandardRule(pattern.rule) &&
        Ask(window, "This pattern was made for rule " + rule + "; The Quillane runs B3/S23. Load it anyway?",
            MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return false;
    }
    if (paste && count > 0) {
        StartPlacing(window, pattern.cells);
        return true;
    }
    ReplaceBoard(pattern.cells, {viewport.cellSize, viewport.offsetX, viewport.offsetY});
    // A running generation would otherwise step the new pattern before the user has seen it. The
    // stop also sets the caption, once, for the new board: each caption costs a frame repaint.
    StopTimer(window);
    RECT client;
    GetClientRect(window, &client);
    FitView(client.right, client.bottom);
    RepaintNow(window);
    return true;
}

// The whole file, or the reason it cannot be had. Large files are refused before any reading.
bool ReadWholeFile(const wchar_t* path, std::string& text, std::string& error)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemReason(GetLastError());
        return false;
    }
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size);
    if (!ok) {
        error = SystemReason(GetLastError());
    } else if (static_cast<uint64_t>(size.QuadPart) > kMaxPatternFileBytes) {
        ok = false;
        error = "The file is larger than 16 MiB; no pattern the board can hold is that large.";
    } else {
        text.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        DWORD read = 1;
        // A file that shrinks meanwhile ends early; one that grows is read as it was.
        while (ok && done < text.size() && read > 0) {
            ok = ReadFile(file, &text[done], static_cast<DWORD>(text.size() - done), &read, nullptr);
            done += read;
        }
        text.resize(done);
        if (!ok) {
            error = SystemReason(GetLastError());
        }
    }
    CloseHandle(file);
    return ok;
}

// Into a new file beside the old one, which is replaced only once the new one is complete on
// disk, so a failure never leaves the old file half-written or empty.
bool ReplaceFileWith(const std::wstring& path, const std::string& text, std::string& error)
{
    // The replace would take a read-only file's place, and under Wine clear the attribute with it.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        error = "The file is read-only.";
        return false;
    }
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    wchar_t temporary[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), L"qln", 0, temporary)) {
        error = SystemReason(GetLastError());
        return false;
    }
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE;
    for (size_t done = 0; ok && done < text.size();) {
        const DWORD chunk = static_cast<DWORD>(text.size() - done < (1u << 20) ? text.size() - done : 1u << 20);
        DWORD written = 0;
        ok = WriteFile(file, text.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(file);
    DWORD code = ok ? ERROR_SUCCESS : GetLastError();
    if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && ok) {
        ok = false;
        code = GetLastError();
    }
    if (ok && !MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        code = GetLastError();
    }
    if (!ok) {
        DeleteFileW(temporary);
        error = SystemReason(code);
    }
    return ok;
}

bool EndsWith(const std::wstring& text, const wchar_t* suffix)
{
    const size_t length = wcslen(suffix);
    return text.size() >= length && lstrcmpiW(text.c_str() + text.size() - length, suffix) == 0;
}

// A known extension the user typed decides the format; otherwise the chosen filter does, and
// its extension is added to a name that has none.
PatternFormat ChooseSaveFormat(std::wstring& path, DWORD filterIndex)
{
    for (const auto& known : kSaveFormats) {
        if (EndsWith(path, known.extension)) {
            return known.format;
        }
    }
    const auto& chosen = kSaveFormats[filterIndex >= 1 && filterIndex <= 3 ? filterIndex - 1 : 0];
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
        path += chosen.extension;
    }
    return chosen.format;
}

// The file's name without its folder and extension, written as the pattern's name in UTF-8.
std::string PatternNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return Utf8(name.substr(0, name.find_last_of(L'.')));
}

// Clipboard text keeps the platform's line ends.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// The open and save dialogs' common set-up: the first filter chosen, the current folder kept.
OPENFILENAMEW FileDialog(HWND window, const wchar_t* filter, wchar_t* path, DWORD pathSize, DWORD flags)
{
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = pathSize;
    dialog.Flags = flags | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return dialog;
}

}  // namespace

std::wstring Utf16(std::string_view text)
{
    // Texts from files may hold Latin-1 bytes, which are taken in the system's code page rather than lost.
    UINT codePage = CP_UTF8;
    DWORD flags = MB_ERR_INVALID_CHARS;
    const int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length == 0) {
        codePage = CP_ACP;
        flags = 0;
        length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8(std::wstring_view text)
{
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

bool LoadPatternFile(HWND window, const wchar_t* path)
{
    std::string text, error;
    if (!ReadWholeFile(path, text, error)) {
        ReportLoadFailure(window, Utf8(path), error);
        return false;
    }
    if (!LoadPatternText(window, text, Utf8(path))) {
        return false;
    }
    lastPatternFile = path;
    return true;
}

void LoadPatternFromDialog(HWND window)
{
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW dialog = FileDialog(window, kOpenFilter, path, MAX_PATH, OFN_FILEMUSTEXIST);
    if (GetOpenFileNameW(&dialog)) {
        LoadPatternFile(window, path);
    }
}

void SavePatternFromDialog(HWND window)
{
    // An empty pattern would only replace a file with nothing that loads again.
    if (count == 0) {
        Ask(window, "The board is empty: there is no pattern to save.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The dialog opens in the folder of the path it is given, with the name filled in.
    wchar_t chosen[MAX_PATH] = L"";
    lstrcpynW(chosen, lastPatternFile.c_str(), MAX_PATH);
    OPENFILENAMEW dialog = FileDialog(window, kSaveFilter, chosen, MAX_PATH, OFN_OVERWRITEPROMPT);
    dialog.lpstrDefExt = L"rle";
    if (!GetSaveFileNameW(&dialog)) {
        return;
    }
    std::wstring path = chosen;
    const PatternFormat format = ChooseSaveFormat(path, dialog.nFilterIndex);
    std::string text, error;
    if (!WritePattern(format, BoardCells(), PatternNameOf(path), text, error) || !ReplaceFileWith(path, text, error)) {
        Ask(window, "The pattern could not be saved to " + Utf8(path) + ".\n\n" + error, MB_OK | MB_ICONWARNING);
        return;
    }
    lastPatternFile = path;
}

void LoadCommandLinePattern(HWND window, const wchar_t* commandLine)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
    // The program's own name comes first; of several paths, the first loads.
    const std::wstring path = arguments && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    if (!path.empty()) {
        LoadPatternFile(window, path.c_str());
    }
}

void LoadDroppedPattern(HWND window, HDROP drop)
{
    std::wstring path;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        path.resize(DragQueryFileW(drop, 0, nullptr, 0) + 1);
        path.resize(DragQueryFileW(drop, 0, &path[0], static_cast<UINT>(path.size())));
    }
    DragFinish(drop);
    if (!path.empty()) {
        LoadPatternFile(window, path.c_str());
    }
}

void CopyBoard(HWND window)
{
    // An empty pattern would only take the place of what the user had copied.
    if (count == 0) {
        return;
    }
    std::string text, error;
    if (HasSelection()) {
        const CellRect r = SelectedRect();
        const std::vector<Cell> inside = CellsInside(TableCells(), r);
        if (inside.empty()) {
            return;
        }
        text = WriteRleFrom(inside, {r.left, r.top});
    } else {
        WritePattern(PatternFormat::Rle, BoardCells(), "", text, error);
    }
    text = WithCrLf(text);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    void* bytes = memory ? GlobalLock(memory) : nullptr;
    if (!bytes) {
        GlobalFree(memory);
        Ask(window, "The board could not be copied.\n\n" + SystemReason(GetLastError()), MB_OK | MB_ICONWARNING);
        return;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(window)) {
        GlobalFree(memory);
        Ask(window, "The board could not be copied.\n\n" + SystemReason(GetLastError()), MB_OK | MB_ICONWARNING);
        return;
    }
    EmptyClipboard();
    // Once set, the memory belongs to the clipboard.
    if (!SetClipboardData(CF_TEXT, memory)) {
        GlobalFree(memory);
    }
    CloseClipboard();
}

void PasteBoard(HWND window)
{
    if (!OpenClipboard(window)) {
        ReportLoadFailure(window, "the clipboard", SystemReason(GetLastError()));
        return;
    }
    std::string text;
    bool tooLarge = false;
    // Wide text when it is offered, so that letters outside the code page survive; else the bytes.
    const bool wide = IsClipboardFormatAvailable(CF_UNICODETEXT);
    HANDLE data = GetClipboardData(wide ? CF_UNICODETEXT : CF_TEXT);
    const void* bytes = data ? GlobalLock(data) : nullptr;
    if (bytes) {
        // Another program's text need not end in a zero: never read past its block.
        const auto* chars = static_cast<const char*>(bytes);
        const auto* wideChars = static_cast<const wchar_t*>(bytes);
        const size_t size = GlobalSize(data);
        const size_t length = wide ? wcsnlen(wideChars, size / sizeof(wchar_t)) : strnlen(chars, size);
        if (length <= kMaxPatternFileBytes) {
            text = wide ? Utf8({wideChars, length}) : std::string(chars, length);
        }
        tooLarge = length > kMaxPatternFileBytes || text.size() > kMaxPatternFileBytes;
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (!bytes) {
        ReportLoadFailure(window, "the clipboard", "The clipboard holds no text.");
    } else if (tooLarge) {
        ReportLoadFailure(window, "the clipboard", "The text is larger than 16 MiB; no pattern the board can hold is "
                                                   "that large.");
    } else {
        LoadPatternText(window, text, "the clipboard", true);
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
        AppendMenuA(menu, MF_STRING, kFirstCommonPatternId + i, commonPatterns[i].name.c_str());
    }
}

void AddBoardToCommonList()
{
    if (count == 0) {
        return;
    }
    if (commonPatterns.size() >= static_cast<size_t>(kMaxCommonPatterns)) {
        MessageBeep(MB_OK);
        return;
    }
    ++patternsAdded;
    ListedPattern listed;
    listed.name = "Pattern " + std::to_string(patternsAdded) + " (" + std::to_string(count) +
                  (count == 1 ? " cell)" : " cells)");
    std::string error;
    WritePattern(PatternFormat::Rle, BoardCells(), listed.name, listed.rle, error);
    commonPatterns.push_back(listed);
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
