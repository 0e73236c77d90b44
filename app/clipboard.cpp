#include "clipboard.h"

#include <cstring>
#include <cwchar>

#include "pattern_file.h"
#include "pattern_files.h"
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

}  // namespace

bool WriteClipboardText(HWND window, const std::string& text, std::string& error)
{
    const std::string lines = WithCrLf(text);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, lines.size() + 1);
    void* bytes = memory ? GlobalLock(memory) : nullptr;
    if (!bytes) {
        error = SystemReason(GetLastError());
        GlobalFree(memory);
        return false;
    }
    std::memcpy(bytes, lines.c_str(), lines.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(window)) {
        error = SystemReason(GetLastError());
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // Once set, the memory belongs to the clipboard.
    const bool set = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!set) {
        error = SystemReason(GetLastError());
        GlobalFree(memory);
    }
    CloseClipboard();
    return set;
}

bool ReadClipboardText(HWND window, std::string& text, std::string& error)
{
    if (!OpenClipboard(window)) {
        error = SystemReason(GetLastError());
        return false;
    }
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
        error = "The clipboard holds no text.";
    } else if (tooLarge) {
        error = TooLargeText("text");
    }
    return bytes && !tooLarge;
}
