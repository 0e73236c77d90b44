#include "caption.h"

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

std::string shownCaption;
double shownAt = -1.0;

CaptionState CurrentState()
{
    return {generation, count, CanStepBack(), IsRunning(), IsFastest(), stepIntervalMs, FastestRate(), CurrentPeriod()};
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

std::string CaptionText(const CaptionState& state)
{
    std::string text = kProgramCaption;
    if (state.generation == 0 && state.cells == 0 && !state.canStepBack && !state.running) {
        return text;
    }
    text += " - generation " + WithThousands(static_cast<uint64_t>(state.generation)) + ", " +
            WithThousands(static_cast<uint64_t>(state.cells)) + (state.cells == 1 ? " cell" : " cells");
    // An empty board does nothing worth naming.
    const std::string period = state.cells > 0 ? PeriodText(state.period) : "";
    text += period.empty() ? "" : ", " + period;
    if (state.running && !state.fastest) {
        text += ", running at " + std::to_string(state.intervalMs) + " ms";
    } else if (state.running) {
        text += ", running at full speed";
        text += state.rate > 0 ? ", " + WithThousands(static_cast<uint64_t>(state.rate)) + " generations a second" : "";
    }
    return text;
}

void UpdateCaption(HWND window)
{
    const std::string text = CaptionText(CurrentState());
    shownAt = SecondsNow();
    // The tool windows follow the board at the caption's pace (the list at most four times a second).
    ShowTimelineChanged();
    ShowLivingCellsChanged();
    // Every window starts with the plain caption and sets its own once it exists.
    if (text != shownCaption) {
        shownCaption = text;
        SetCaptionText(window, text.c_str());
    }
}

void RefreshCaption(HWND window)
{
    if (IsRunning() && SecondsNow() - shownAt < kCaptionSeconds) {
        return;
    }
    UpdateCaption(window);
}
