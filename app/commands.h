// The user's commands: menu items, keyboard shortcuts, the context menu and the step timer.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr UINT_PTR kStepTimerId = 1024;

// Period of the step timer; only ever 10, 50, 100 or 200 after the start.
extern int32_t stepIntervalMs;

void HandleCommand(HWND window, int commandId);
void HandleKey(HWND window, WPARAM virtualKey);
void ShowContextMenu(HWND window);

// One generation, drawn as it is applied. When the board cannot hold the next generation the
// timer stops and the user is told once; nothing changes. False in that case.
bool StepForward(HWND window);
