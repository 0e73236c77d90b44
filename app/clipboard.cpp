#include "clipboard.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "cell_table.h"
#include "message_box.h"
#include "pattern_commands.h"
#include "pattern_file.h"
#include "pattern_files.h"
#include "pointer.h"
#include "selection.h"
#include "texts.h"
#include "wide_text.h"

namespace {

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

// With the system's reason for the call that just failed.
void ReportCopyFailure(HWND window)
{
    ShowMessage(window, "The board could not be copied.\n\n" + SystemReason(GetLastError()), MB_OK | MB_ICONWARNING);
}

}  // namespace

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
        WritePattern(PatternFormat::Rle, TableCells(), "", text, error);
    }
    text = WithCrLf(text);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    void* bytes = memory ? GlobalLock(memory) : nullptr;
    if (!bytes) {
        GlobalFree(memory);
        ReportCopyFailure(window);
        return;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(window)) {
        GlobalFree(memory);
        ReportCopyFailure(window);
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
        ReportLoadFailure(window, "the clipboard", TooLargeText("text"));
    } else {
        LoadPatternText(window, text, "the clipboard", true);
    }
}
