#include "run.h"

#include <string>

#include "board_painter.h"
#include "caption.h"
#include "cell_table.h"
#include "generation.h"
#include "history.h"
#include "message_box.h"
#include "texts.h"
#include "viewport.h"

int32_t stepIntervalMs = kInitialStepIntervalMs;

namespace {

// Whether the step timer is set; changed only together with the timer itself.
bool running = false;

void KillStepTimer(HWND window)
{
    KillTimer(window, kStepTimerId);
    running = false;
}

}  // namespace

void ResetRun(HWND window)
{
    stepIntervalMs = kInitialStepIntervalMs;
    StopTimer(window);
}

void Play(HWND window)
{
    SetTimer(window, kStepTimerId, static_cast<UINT>(stepIntervalMs), nullptr);
    running = true;
    UpdateCaption(window);
}

void SetSpeed(HWND window, int32_t intervalMs)
{
    stepIntervalMs = intervalMs;
    KillStepTimer(window);
    Play(window);
}

void StopTimer(HWND window)
{
    KillStepTimer(window);
    UpdateCaption(window);
}

bool IsRunning()
{
    return running;
}

bool StepForward(HWND window)
{
    // The changes are drawn as the step applies them and reach the screen together.
    BeginCellChanges(mainWindow);
    const bool stepped = AdvanceGeneration(DrawCellChange);
    EndCellChanges();
    if (stepped) {
        RefreshCaption(window);
        return true;
    }
    // Stop first: a tick must not raise a second box while this one waits.
    const bool wasRunning = running;
    StopTimer(window);
    ShowMessage(window,
                "The next generation would have " + WithThousands(LastRefusedPopulation()) + " live cells; " +
                    BoardLimitText() + (wasRunning ? " The simulation has stopped." : ""),
                MB_OK | MB_ICONWARNING);
    return false;
}

void StepBackward(HWND window)
{
    if (!CanStepBack()) {
        return;
    }
    KillStepTimer(window);
    BeginCellChanges(mainWindow);
    const bool undone = StepBack(DrawCellChange);
    EndCellChanges();
    // An undone load shows the old board as the user last saw it.
    const ViewNote view = UndoneView();
    if (undone && view.cellSize != 0) {
        viewport = {view.cellSize, view.offsetX, view.offsetY};
        RepaintNow(window);
    }
    UpdateCaption(window);
}
