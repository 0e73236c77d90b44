#include "pattern_files.h"

#include <cstdint>

#include "pattern_file.h"
#include "texts.h"
#include "wide_text.h"

std::string SystemReason(DWORD code)
{
    // Wide, as the sentence may stand beside a file's name.
    wchar_t text[512] = L"";
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  512, nullptr);
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' || text[length - 1] == L' ')) {
        --length;
    }
    return length > 0 ? Utf8({text, length}) : "Windows error " + std::to_string(code) + ".";
}

bool ReadWholeFile(const wchar_t* path, std::string& text, std::string& error)
{
    // Opening a folder fails as "Access denied", which would send the user after permissions.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "It is a folder, not a file.";
        return false;
    }
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
        error = TooLargeText("file");
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
