#include "run.h"

#include <string>

#include "board_painter.h"
#include "clock.h"
#include "caption.h"
#include "cell_table.h"
#include "generation.h"
#include "history.h"
#include "message_box.h"
#include "pointer.h"
#include "texts.h"
#include "timeline_summary.h"
#include "viewport.h"

int32_t stepIntervalMs = kInitialStepIntervalMs;

namespace {

// How the simulation runs: by the step timer, or at full speed in batches of generations, each
// from a posted message, with the fallback timer when anything else waits in the queue.
enum class RunMode { Stopped, Timed, Fastest };

// One batch holds the message loop for about a frame at most.
constexpr double kBatchSeconds = 0.016;
// The caption's rate changes at most four times a second; it counts the last second.
constexpr double kRateSeconds = 0.25;
constexpr int kRateSamples = 5;

struct RunState {
    RunMode mode;
    bool fastestChosen;  // the speed chosen last is full speed rather than stepIntervalMs
    // Full speed's rate: the generations counted at the last few quarter seconds, oldest first.
    double sampledAt[kRateSamples];
    int64_t sampledGenerations[kRateSamples];
    int samples;
    int64_t generationsRun;
    int32_t rate;  // generations a second; 0 until a quarter second has been measured
    int pauses;    // boxes and dialogs open: the mode holds, its timers wait
};

RunState run = {RunMode::Stopped, false, {}, {}, 0, 0, 0, 0};

// The timers and the run's state change only together.
void KillTimers(HWND window)
{
    KillTimer(window, kStepTimerId);
    KillTimer(window, kBatchTimerId);
    run.mode = RunMode::Stopped;
}

// Stops, first so that no tick or batch raises a second box while this one waits, and says why.
void RefuseGeneration(HWND window)
{
    const bool wasRunning = run.mode != RunMode::Stopped;
    StopTimer(window);
    ShowMessage(window,
                "The next generation would have " + WithThousands(LastRefusedPopulation()) + " live cells; " +
                    BoardLimitText() + (wasRunning ? " The simulation has stopped." : ""),
                MB_OK | MB_ICONWARNING);
}

// The next batch follows at once unless input, a paint, a sent message or a timer waits: the
// fallback timer, which comes after all of those, lets them go first. A posted batch would come
// before any timer, and keep it waiting for as long as full speed runs.
void ScheduleBatch(HWND window)
{
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_SENDMESSAGE | QS_TIMER)) != 0) {
        SetTimer(window, kBatchTimerId, USER_TIMER_MINIMUM, nullptr);
    } else {
        PostMessageA(window, kRunBatchMessage, 0, 0);
    }
}

// Counts a batch's generations towards the rate; true when the caption's rate changed.
bool SampleRate(double now, int32_t generations)
{
    run.generationsRun += generations;
    if (run.samples > 0 && now - run.sampledAt[run.samples - 1] < kRateSeconds) {
        return false;
    }
    if (run.samples == kRateSamples) {
        for (int i = 1; i < kRateSamples; ++i) {
            run.sampledAt[i - 1] = run.sampledAt[i];
            run.sampledGenerations[i - 1] = run.sampledGenerations[i];
        }
        --run.samples;
    }
    run.sampledAt[run.samples] = now;
    run.sampledGenerations[run.samples] = run.generationsRun;
    ++run.samples;
    const double seconds = now - run.sampledAt[0];
    if (run.samples > 1 && seconds > 0) {
        run.rate = static_cast<int32_t>((run.generationsRun - run.sampledGenerations[0]) / seconds + 0.5);
    }
    return true;
}

// The mode's timer, or full speed's first batch; they wait while a box pauses the run.
void StartTimers(HWND window)
{
    if (run.pauses > 0) {
        return;
    }
    if (run.mode == RunMode::Timed) {
        SetTimer(window, kStepTimerId, static_cast<UINT>(stepIntervalMs), nullptr);
    } else if (run.mode == RunMode::Fastest) {
        PostMessageA(window, kRunBatchMessage, 0, 0);
    }
}

void StartFastest(HWND window)
{
    KillTimers(window);
    run.mode = RunMode::Fastest;
    run.samples = 0;
    run.generationsRun = 0;
    run.rate = 0;
    SampleRate(SecondsNow(), 0);
    StartTimers(window);
    UpdateCaption(window);
}

}  // namespace

void ResetRun(HWND window)
{
    stepIntervalMs = kInitialStepIntervalMs;
    run.fastestChosen = false;
    run.pauses = 0;
    StopTimer(window);
}

void ChooseSpeed(int32_t intervalMs, bool fastest)
{
    stepIntervalMs = fastest ? stepIntervalMs : intervalMs;
    run.fastestChosen = fastest;
}

bool FastestChosen()
{
    return run.fastestChosen;
}

void Play(HWND window)
{
    if (run.fastestChosen) {
        StartFastest(window);
        return;
    }
    KillTimer(window, kBatchTimerId);
    run.mode = RunMode::Timed;
    StartTimers(window);
    UpdateCaption(window);
}

void SetSpeed(HWND window, int32_t intervalMs)
{
    stepIntervalMs = intervalMs;
    run.fastestChosen = false;
    KillTimers(window);
    Play(window);
}

void SetFastest(HWND window)
{
    run.fastestChosen = true;
    StartFastest(window);
}

void StopTimer(HWND window)
{
    KillTimers(window);
    UpdateCaption(window);
}

bool IsRunning()
{
    return run.mode != RunMode::Stopped;
}

bool IsFastest()
{
    return run.mode == RunMode::Fastest;
}

int32_t FastestRate()
{
    return run.rate;
}

bool StepForward(HWND window)
{
    // The changes are drawn as the step applies them and reach the screen together.
    BeginCellChanges(mainWindow);
    const bool stepped = AdvanceGeneration(DrawCellChange);
    EndCellChanges();
    if (!stepped) {
        RefuseGeneration(window);
        return false;
    }
    RefreshCaption(window);
    return true;
}

void RunBatch(HWND window)
{
    KillTimer(window, kBatchTimerId);
    if (run.mode != RunMode::Fastest) {
        return;
    }
    // Nothing is drawn per generation: when the batch ends, the cells that differ from what the
    // window shows are drawn, and only the bands of rows that hold them shown.
    BeginUnseenChanges();
    const double start = SecondsNow();
    double now = start;
    int32_t generations = 0;
    bool stepped = true;
    while (count > 0 && now - start < kBatchSeconds && (stepped = AdvanceGeneration(nullptr))) {
        ++generations;
        now = SecondsNow();
    }
    ShowUnseenChanges(window);
    if (!stepped) {
        RefuseGeneration(window);
    } else if (count == 0) {
        StopTimer(window);
    } else {
        if (SampleRate(now, generations)) {
            UpdateCaption(window);
        }
        ScheduleBatch(window);
    }
}

void PauseRun(HWND window)
{
    if (run.pauses++ > 0) {
        return;
    }
    KillTimer(window, kStepTimerId);
    KillTimer(window, kBatchTimerId);
    // A batch already posted would run inside the box's own loop.
    for (MSG batch; PeekMessageA(&batch, window, kRunBatchMessage, kRunBatchMessage, PM_REMOVE);) {
    }
}

void ResumeRun(HWND window)
{
    if (run.pauses == 0 || --run.pauses > 0) {
        return;
    }
    // The rate is measured afresh, as the pause ran no generation; the last one shows meanwhile.
    if (run.mode == RunMode::Fastest) {
        run.samples = 0;
        SampleRate(SecondsNow(), 0);
    }
    StartTimers(window);
}

void StepBackward(HWND window)
{
    if (CanStepBack()) {
        KillTimers(window);
        MoveInHistory(window, StepBack);
    }
}

namespace {

// What a move leaves besides the cells. An undone load shows the old board as the user last saw it;
// a redone one, the view after the load. Each keeps the view it leaves for the move back.
void FollowMove(HWND window, const Viewport& before, bool repaint)
{
    const ViewNote view = UndoneView();
    if (view.cellSize != 0) {
        KeepView({before.cellSize, before.offsetX, before.offsetY});
        viewport = {view.cellSize, view.offsetX, view.offsetY};
        if (repaint) {
            RepaintNow(window);
        }
    }
    // A turn undone or redone brings its selection back with its cells.
    Selection selection = {};
    if (UndoneSelection(selection)) {
        selection.active ? Select(window, selection.rect) : RemoveSelection(window);
    }
}

HWND scrubbed = nullptr;

// One move of a scrub: Backward's or Redo's, undrawn; the board is shown once at the end.
bool ScrubMove(bool back)
{
    const Viewport before = viewport;
    const bool moved = back ? StepBack(nullptr) : Redo(nullptr);
    if (moved) {
        FollowMove(scrubbed, before, false);
    }
    return moved;
}

}  // namespace

void MoveInHistory(HWND window, bool (*move)(CellChangeListener))
{
    const Viewport before = viewport;
    BeginCellChanges(mainWindow);
    const bool moved = move(DrawCellChange);
    EndCellChanges();
    if (moved) {
        FollowMove(window, before, true);
    }
    UpdateCaption(window);
}

void ScrubTo(HWND window, int64_t board)
{
    KillTimers(window);
    scrubbed = window;
    GoToTimelineBoard(board, ScrubMove);
    RepaintNow(window);
    UpdateCaption(window);
}
