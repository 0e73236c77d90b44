// The window's caption: the program's name, then " - generation N, K cells" once anything has
// happened, then ", running at M ms" while the timer runs.
#pragma once

#include <windows.h>

// Sets the caption at once.
void UpdateCaption(HWND window);
// The same at most ten times a second while the timer runs (ticks, edits), at once otherwise.
void RefreshCaption(HWND window);
