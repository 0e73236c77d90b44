// The clipboard's text: written in the platform's line ends, read as UTF-8 whether it was offered
// wide or in the code page.
#pragma once

#include <windows.h>

#include <string>

// Replaces what the clipboard holds. False, with the system's reason in `error`, when it refused
// (another program may hold it open).
bool WriteClipboardText(HWND window, const std::string& text, std::string& error);
// False, with the reason in `error`, when there is no text to be had or it is larger than any
// pattern the board can hold.
bool ReadClipboardText(HWND window, std::string& text, std::string& error);
