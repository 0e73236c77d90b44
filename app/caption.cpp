#include "caption.h"

#include <cstdio>
#include <cstring>

#include "cell_table.h"
#include "clock.h"
#include "history.h"
#include "living_cells_window.h"
#include "population_window.h"
#include "run.h"
#include "thousands.h"
#include "version.h"

namespace {

const char kProgramCaption[] = QUILLANE_WINDOW_CAPTION;

// While the timer runs, the caption changes at most ten times a second: a count changing faster
// cannot be read anyway.
constexpr double kCaptionSeconds = 0.1;

char shownCaption[160] = "";
double shownAt = -1.0;

void CaptionText(char* out, size_t size)
{
    // Until anything has happened the caption is the program's name alone.
    if (generation == 0 && count == 0 && !CanStepBack() && !IsRunning()) {
        std::snprintf(out, size, "%s", kProgramCaption);
        return;
    }
    const std::string generations = WithThousands(static_cast<uint64_t>(generation));
    const std::string cells = WithThousands(static_cast<uint64_t>(count));
    // What the board does, once the timeline has found it: "still", "period 3", "... moving ...".
    const std::string period = count > 0 ? PeriodText(CurrentPeriod()) : "";
    const int n = std::snprintf(out, size, "%s - generation %s, %s %s%s%s", kProgramCaption, generations.c_str(),
                                cells.c_str(), count == 1 ? "cell" : "cells", period.empty() ? "" : ", ",
                                period.c_str());
    if (!IsRunning() || n <= 0 || static_cast<size_t>(n) >= size) {
        return;
    }
    char* rest = out + n;
    const size_t room = size - static_cast<size_t>(n);
    if (!IsFastest()) {
        std::snprintf(rest, room, ", running at %d ms", static_cast<int>(stepIntervalMs));
    } else if (FastestRate() > 0) {
        std::snprintf(rest, room, ", running at full speed, %s generations a second",
                      WithThousands(static_cast<uint64_t>(FastestRate())).c_str());
    } else {
        std::snprintf(rest, room, ", running at full speed");
    }
}

// Setting the text repaints the whole frame, and under Wine each scroll bar's paint costs several
// milliseconds even when clipped away, against a fraction of one for the caption and menu bar.
// The bars do not show the caption, so the style leaves them out for the call: the text is stored
// and the title bar drawn by the system's own code as always, and the bars keep their pixels.
void SetCaptionText(HWND window, const char* text)
{
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR bars = style & (WS_HSCROLL | WS_VSCROLL);
    if (bars != 0) {
        SetWindowLongPtrA(window, GWL_STYLE, style & ~bars);
    }
    SetWindowTextA(window, text);
    if (bars != 0) {
        SetWindowLongPtrA(window, GWL_STYLE, style);
    }
}

}  // namespace

void UpdateCaption(HWND window)
{
    char text[sizeof shownCaption];
    CaptionText(text, sizeof text);
    shownAt = SecondsNow();
    // The tool windows follow the board at the caption's pace (the list at most four times a second).
    ShowTimelineChanged();
    ShowLivingCellsChanged();
    // Every window starts with the plain caption and sets its own once it exists.
    if (std::strcmp(text, shownCaption) != 0) {
        std::memcpy(shownCaption, text, sizeof text);
        SetCaptionText(window, text);
    }
}

void RefreshCaption(HWND window)
{
    if (IsRunning() && SecondsNow() - shownAt < kCaptionSeconds) {
        return;
    }
    UpdateCaption(window);
}
