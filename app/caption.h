// The window's caption: the program's name, then " - generation N, K cells" once anything has
// happened, then what the board does and, while the run goes on, its speed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "period.h"

// Everything the caption shows.
struct CaptionState {
    int64_t generation;
    int32_t cells;
    bool canStepBack;
    bool running;
    bool fastest;
    int32_t intervalMs;
    int32_t rate;  // full speed's generations a second; 0 until measured
    PeriodReport period;
};

// The program's name alone until anything has happened (a generation, a cell, an entry to go back
// to, a run), then the count, the board's period or motion once found, and the speed.
std::string CaptionText(const CaptionState& state);

// Sets the caption at once.
void UpdateCaption(HWND window);
// The same at most ten times a second while the timer runs (ticks, edits), at once otherwise.
void RefreshCaption(HWND window);
