#include "pattern_commands.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "cell_table.h"
#include "commands.h"
#include "history.h"
#include "message_box.h"
#include "pattern_file.h"
#include "pattern_files.h"
#include "pointer.h"
#include "recent_files.h"
#include "run.h"
#include "viewport.h"
#include "wide_text.h"

namespace {

const wchar_t kOpenFilter[] = L"Life patterns (*.rle;*.cells;*.lif;*.life;*.txt)\0*.rle;*.cells;*.lif;*.life;*.txt\0"
                              L"All files (*.*)\0*.*\0";
// In the order of the save filters, which the dialog numbers from 1; .life has no filter and is only typed.
const wchar_t kSaveFilter[] = L"RLE (*.rle)\0*.rle\0Plaintext (*.cells)\0*.cells\0Life 1.06 (*.lif)\0*.lif\0";
const struct { const wchar_t* extension; PatternFormat format; } kSaveFormats[] = {
    {L".rle", PatternFormat::Rle}, {L".cells", PatternFormat::Plaintext}, {L".lif", PatternFormat::Life106},
    {L".life", PatternFormat::Life106}};

// Where the save dialog starts: the file last loaded or saved.
std::wstring lastPatternFile;

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

// The folder the dialogs start in when no file name leads them: the last pattern file's.
std::wstring startFolder;

// The open and save dialogs' common set-up: the first filter chosen, the current folder kept.
OPENFILENAMEW FileDialog(HWND window, const wchar_t* filter, wchar_t* path, DWORD pathSize, DWORD flags)
{
    startFolder = LastPatternFolder();
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = pathSize;
    dialog.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    dialog.Flags = flags | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return dialog;
}

}  // namespace

void ReportLoadFailure(HWND window, const std::string& source, const std::string& reason)
{
    ShowMessage(window, "The pattern from " + source + " could not be loaded.\n\n" + reason, MB_OK | MB_ICONWARNING);
}

bool LoadPatternText(HWND window, std::string_view text, const std::string& source, bool paste)
{
    Pattern pattern;
    std::string error;
    if (!ReadPattern(text, pattern, error)) {
        ReportLoadFailure(window, source, error);
        return false;
    }
    // The rule comes from the file: a long one is cut, so the question still fits on the screen.
    const std::string rule = pattern.rule.size() > 60 ? pattern.rule.substr(0, 60) + "..." : pattern.rule;
    if (!IsStandardRule(pattern.rule) &&
        ShowMessage(window, "This pattern was made for rule " + rule + "; The Quillane runs B3/S23. Load it anyway?",
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
    FitLiveCells(window);
    return true;
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
    NoteRecentFile(window, path);
    return true;
}

void LoadPatternFromDialog(HWND window)
{
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW dialog = FileDialog(window, kOpenFilter, path, MAX_PATH, OFN_FILEMUSTEXIST);
    BeginModal(window);
    const bool chosen = GetOpenFileNameW(&dialog);
    EndModal(window);
    if (chosen) {
        LoadPatternFile(window, path);
    }
}

void SavePatternFromDialog(HWND window)
{
    // An empty pattern would only replace a file with nothing that loads again.
    if (count == 0) {
        ShowMessage(window, "The board is empty: there is no pattern to save.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The dialog opens in the folder of the path it is given, with the name filled in.
    wchar_t chosen[MAX_PATH] = L"";
    lstrcpynW(chosen, lastPatternFile.c_str(), MAX_PATH);
    OPENFILENAMEW dialog = FileDialog(window, kSaveFilter, chosen, MAX_PATH, OFN_OVERWRITEPROMPT);
    dialog.lpstrDefExt = L"rle";
    BeginModal(window);
    const bool named = GetSaveFileNameW(&dialog);
    EndModal(window);
    if (!named) {
        return;
    }
    std::wstring path = chosen;
    const PatternFormat format = ChooseSaveFormat(path, dialog.nFilterIndex);
    std::string text, error;
    if (!WritePattern(format, TableCells(), PatternNameOf(path), text, error) || !ReplaceFileWith(path, text, error)) {
        ShowMessage(window, "The pattern could not be saved to " + Utf8(path) + ".\n\n" + error,
                    MB_OK | MB_ICONWARNING);
        return;
    }
    lastPatternFile = path;
    NoteRecentFile(window, path);
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
