// The user's commands: menu items, keyboard shortcuts, the context menu and the step timer.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr UINT_PTR kStepTimerId = 1024;
// Posted by ShowMessage for a box that has to wait for an open menu to close: the box's type in
// wParam, its text (a heap copy, a std::string) in lParam. Handed to ShowWaitingMessage.
constexpr UINT kShowWaitingMessage = WM_APP + 1;

// Period of the step timer; only ever 10, 50, 100 or 200 after the start.
extern int32_t stepIntervalMs;

void HandleCommand(HWND window, int commandId);
void HandleKey(HWND window, WPARAM virtualKey);
void ShowContextMenu(HWND window);

// Every modal box of the program: owned by the window, with the program's caption; returns the
// button chosen. Ticks go on inside a menu's own loop, and a box raised there could not be
// clicked while the menu kept the mouse. So an open menu is closed first and the box comes once
// its loop has returned; the call then returns 0 at once, as for a box that could not be shown.
int ShowMessage(HWND window, const char* text, UINT type);
void ShowWaitingMessage(HWND window, WPARAM type, LPARAM text);

// One generation, drawn as it is applied. When the board cannot hold the next generation the
// timer stops and the user is told once; nothing changes. False in that case.
bool StepForward(HWND window);

// Whether the step timer runs, and its stop, which also shows the caption as it now stands.
bool IsRunning();
void StopTimer(HWND window);

// One step back through the board's history, drawn as it is applied; a running timer stops
// first. Nothing happens when there is nothing to go back to.
void StepBackward(HWND window);
// Brings the live cells into view (FitView over the client area) and repaints.
void FitLiveCells(HWND window);

// The caption: the program's name, then " - generation N, K cells" once anything has happened,
// then ", running at M ms" while the timer runs. UpdateCaption sets it at once; RefreshCaption
// at most ten times a second while the timer runs (ticks, edits), at once otherwise.
void UpdateCaption(HWND window);
void RefreshCaption(HWND window);
