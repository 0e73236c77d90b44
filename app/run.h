// The simulation's run: the step timer, and single steps forward and back, drawn as they are applied.
#pragma once

#include <windows.h>

#include <cstdint>

#include "generation.h"

constexpr UINT_PTR kStepTimerId = 1024;
// Posted to itself by the window for each batch of generations at full speed; the timer stands in
// while other messages wait.
constexpr UINT kRunBatchMessage = WM_APP + 2;
constexpr UINT_PTR kBatchTimerId = 1025;
constexpr int32_t kInitialStepIntervalMs = 50;

// Period of the step timer; only ever 10, 50, 100 or 200.
extern int32_t stepIntervalMs;

// A new window's run: stopped, at the start speed.
void ResetRun(HWND window);
// The speed chosen, not started: Play starts it (a new window's kept speed).
void ChooseSpeed(int32_t intervalMs, bool fastest);
bool FastestChosen();
// Starting a running timer again replaces it, so its period starts afresh.
void Play(HWND window);
// A speed always leaves the simulation running, whether it ran before or not.
void SetSpeed(HWND window, int32_t intervalMs);
// Full speed: generation after generation in batches of about a frame each, the board shown once a
// batch, the window answering input between them.
void SetFastest(HWND window);
// The stop also shows the caption as it now stands.
void StopTimer(HWND window);
bool IsRunning();
bool IsFastest();
// Generations a second at full speed over the last second; 0 until measured.
int32_t FastestRate();
// One batch at full speed (kRunBatchMessage and its fallback timer).
void RunBatch(HWND window);
// While a box or a dialog of the program's own is open the run pauses: no tick or batch comes, and
// the caption still names the speed the run takes up again at once the last one has closed. A stop
// meanwhile (a refused generation's box says so) holds.
void PauseRun(HWND window);
void ResumeRun(HWND window);

// One generation, drawn as it is applied. When the board cannot hold the next generation the
// timer stops and the user is told once; nothing changes. False in that case.
bool StepForward(HWND window);
// One step back through the board's history, drawn as it is applied; a running timer stops
// first. Nothing happens when there is nothing to go back to.
void StepBackward(HWND window);
// StepBack or Redo, drawn as applied, with the view a load kept.
void MoveInHistory(HWND window, bool (*move)(CellChangeListener));
// Brings the board to that point of the timeline (0 the oldest kept) by Backward's and Redo's own
// moves, one at a time, then shows it once; a running simulation stops first.
void ScrubTo(HWND window, int64_t board);
