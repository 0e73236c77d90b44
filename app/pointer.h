// The mouse on the board: what a press starts, a move carries on and a release or a lost capture ends.
#pragma once

#include <windows.h>

#include <cstdint>

// A new window's pointer: nothing under way.
void ResetPointer();
// A left press or double click at a client pixel.
void PointerPressed(HWND window, int32_t px, int32_t py);
