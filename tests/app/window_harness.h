// Drives the real main window in-process and watches what it asks of the platform.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "board_painter.h"
#include "cell_table.h"
#include "commands.h"
#include "main_window.h"
#include "resource.h"
#include "viewport.h"

constexpr COLORREF kLive = RGB(34, 85, 136);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrid = RGB(204, 204, 204);

// What the window asked of the platform since it opened. The step timer's state follows its
// SetTimer and KillTimer calls; boxes and shell calls are kept as "caption|text|type" and
// "owner|verb|file|parameters|directory|show".
struct PlatformLog {
    bool timerRunning = false;
    UINT timerPeriod = 0;
    int timerCalls = 0;
    int beeps = 0;
    std::vector<HWND> boxOwners;
    std::vector<std::string> boxes;
    std::vector<std::string> shellCalls;
};
extern PlatformLog platform;

// A message box closes at once unless this says to wait; it is asked every few milliseconds.
extern bool (*keepMessageBoxOpen)();

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND window = nullptr;
};

// The dialog procedure's own answer, as the dialog manager receives it.
INT_PTR Deliver(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
INT_PTR Click(int px, int py, UINT message = WM_LBUTTONDOWN);
// A key message with the modifiers really held, so that GetAsyncKeyState sees them.
INT_PTR PressKey(WORD key, std::initializer_list<WORD> held = {});
INT_PTR Command(int commandId);
INT_PTR Tick(WPARAM timerId = kStepTimerId);

void PlaceCells(const std::vector<Cell>& cells);
std::vector<Cell> LiveCells();
// 3,333 L-shaped trios from (1, 1) on, four cells apart, each about to grow into a block, so
// the next generation cannot fit. The cell (2, 2) is dead and would be born.
void FillTableToTheBrim();
const std::vector<Cell> kBlinker = {{0, 1}, {1, 1}, {2, 1}};
const std::vector<Cell> kBlinkerTurned = {{1, 1}, {1, 0}, {1, 2}};

// Handles messages until the condition holds; false after five seconds.
bool PumpUntil(bool (*condition)());
void PumpPending();

COLORREF Pixel(int x, int y);
// The colour inside the cell's square, away from its grid lines.
COLORREF CellColour(int32_t x, int32_t y);

void PrintTo(Cell cell, std::ostream* out);
