// Texts are UTF-8 inside the program; the system's wide calls take and give UTF-16.
#pragma once

#include <string>
#include <string_view>

// Text that is not UTF-8 (a file's Latin-1 comment) is read in the system's code page rather than lost.
std::wstring Utf16(std::string_view text);
std::string Utf8(std::wstring_view text);
// A name as a menu item's text: a lone & would underline the letter after it, so it is doubled.
std::wstring MenuText(std::wstring_view name);
