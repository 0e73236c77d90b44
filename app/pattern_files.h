// Pattern files on disk: read whole, and written so that a failure never costs the old file.
#pragma once

#include <windows.h>

#include <string>

// The system's own sentence for an error code, without its line break.
std::string SystemReason(DWORD code);

// The whole file, or in `error` the reason it cannot be had. Files too large for any pattern the
// board can hold are refused before any reading.
bool ReadWholeFile(const wchar_t* path, std::string& text, std::string& error);

// Writes `text` into a new file beside `path` and moves it over `path` only once it is complete on
// disk. A read-only file is refused before anything is written.
bool ReplaceFileWith(const std::wstring& path, const std::string& text, std::string& error);
