// Drives the real main window in-process and notes what it asks of the platform.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "board_painter.h"
#include "commands.h"
#include "history.h"
#include "main_window.h"
#include "run.h"
#include "resource.h"
#include "viewport.h"

constexpr COLORREF kLive = RGB(34, 85, 136), kWhite = RGB(255, 255, 255);
const std::vector<Cell> kBlinker = {{0, 1}, {1, 1}, {2, 1}};

// The step timer's period as SetTimer or KillTimer last left it (0: stopped), and the mouse's capture when a box
// came. Boxes ("caption|text", answering `answer`) and shell calls ("verb|file") are noted, never
// shown; the file dialogs note the path they were given (`offeredPath`) and answer `chosenPath` (empty: cancelled)
// with `chosenFilter` and note the folder they start in (`offeredFolder`); `writesFail` fails writes. Paths and
// texts in UTF-8. The performance counter reads `clockMs` milliseconds, `clockStepMs` more at each reading, or the
// real time while it is negative. Each box and dialog dispatches the batches waiting, as its own loop would;
// `ranBehindBox` tells whether the run went on behind one (a timer set, or a batch that stepped).
struct PlatformLog {
    int64_t clockMs = -1, clockStepMs = 0;
    UINT timer = 0;
    bool batchTimer = false, ranBehindBox = false;
    HWND captureAtBox = nullptr;
    int beeps = 0, answer = IDOK;
    std::vector<std::string> shown;
    std::string offeredPath, offeredFolder, chosenPath;
    DWORD chosenFilter = 1;
    bool writesFail = false;
};
extern PlatformLog platform;

inline std::string Caption()
{
    char text[200] = "";
    GetWindowTextA(mainWindow, text, sizeof text);
    return text;
}

// A fresh main window, shown, at the initial cell size and speed; closed with its table. Its settings folder
// is the tests' own, emptied first unless what the last window kept is to be read.
void OpenMainWindow(bool keepSettings = false);
void CloseMainWindow();

struct MainWindowTest : ::testing::Test {
    void SetUp() override { OpenMainWindow(); }
    void TearDown() override { CloseMainWindow(); }
};

// The dialog procedure's own answer, as the dialog manager receives it.
inline INT_PTR Deliver(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return MainDialogProc(mainWindow, message, wParam, lParam); }
inline INT_PTR Command(int commandId) { return Deliver(WM_COMMAND, static_cast<WPARAM>(commandId)); }
// A key message with the modifiers held as they were when it was queued; by the time it is handled the
// keyboard itself holds nothing.
INT_PTR PressKey(WORD key, std::initializer_list<WORD> held = {});

// Into the table and onto the screen; the history starts afresh from this board.
inline void PlaceCells(const std::vector<Cell>& cells)
{
    ASSERT_TRUE(ReplaceBoard(cells));
    ForgetHistory();
    RepaintNow(mainWindow);
}


// The colour inside the cell's square, away from its grid lines.
inline COLORREF CellColour(int32_t x, int32_t y)
{
    const PixelPoint at = CellToScreen(x, y);
    HDC dc = GetDC(mainWindow);
    const COLORREF colour = GetPixel(dc, static_cast<int>(at.x + viewport.cellSize / 2),
                                     static_cast<int>(at.y + viewport.cellSize / 2));
    ReleaseDC(mainWindow, dc);
    return colour;
}

inline void PrintTo(Cell cell, std::ostream* out) { *out << "(" << cell.x << ", " << cell.y << ")"; }
