// The main window under load, on a real window: a tick with 10,000 live cells (step plus drawing
// its changes) and a full repaint with 10,000 visible cells, against drawing the literal way
// (a device context per cell, one SetPixel per pixel, the full 1,999-line grid); a 10,000-cell
// pattern file loaded from disk to the painted board; ticks under a waiting paste, a paste preview
// moved, a long stroke, full speed against the same generations back to back and with the tool
// windows open, the graph over a million generations and the list of 10,000 cells.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "board_painter.h"
#include "caption.h"
#include "clock.h"
#include "settings.h"
#include "cell_table.h"
#include "commands.h"
#include "run.h"
#include "generation.h"
#include "graph_pixels.h"
#include "history.h"
#include "living_cells_window.h"
#include "population_window.h"
#include "timeline_summary.h"
#include "main_window.h"
#include "pattern_commands.h"
#include "pattern_file.h"
#include "patterns.h"
#include "step_boards.h"
#include "pointer.h"
#include "resource.h"
#include "viewport.h"
#include "wide_text.h"

namespace {

// Wine may hold drawing back; reading a pixel makes it finish.
void Settle(HWND window)
{
    GdiFlush();
    HDC dc = GetDC(window);
    GetPixel(dc, 1, 1);
    ReleaseDC(window, dc);
}

// One step tick, timed from a settled window; says whether it changed the caption.
double TimedTick(HWND window, bool* captionChanged)
{
    char before[200];
    char after[200];
    GetWindowTextA(window, before, sizeof before);
    Sleep(8);
    const double t0 = SecondsNow();
    SendMessageA(window, WM_TIMER, kStepTimerId, 0);
    Settle(window);
    const double t = SecondsNow() - t0;
    GetWindowTextA(window, after, sizeof after);
    *captionChanged = std::strcmp(before, after) != 0;
    return t;
}

// The processor time this thread has had, user and kernel.
double ThreadSeconds()
{
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t) {
        return static_cast<double>(uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

void SetCellSize(int32_t size)
{
    ZoomBy(size - viewport.cellSize);
}

void LiteralCell(HWND window, Cell c, COLORREF colour)
{
    const PixelPoint p = CellToScreen(c.x, c.y);
    HDC dc = GetDC(window);
    for (int32_t i = 1; i < viewport.cellSize; ++i) {
        for (int32_t j = 1; j < viewport.cellSize; ++j) {
            SetPixel(dc, static_cast<int>(p.x + j), static_cast<int>(p.y + i), colour);
        }
    }
    ReleaseDC(window, dc);
}

void LiteralRepaint(HWND window)
{
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(204, 204, 204));
    HGDIOBJ old = SelectObject(dc, pen);
    for (int i = 1; i <= 1999; ++i) {
        MoveToEx(dc, 0, i * viewport.cellSize, nullptr);
        LineTo(dc, 2048, i * viewport.cellSize);
        MoveToEx(dc, i * viewport.cellSize, 0, nullptr);
        LineTo(dc, i * viewport.cellSize, 2048);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
    ReleaseDC(window, dc);
    for (int32_t i = 0; i < count; ++i) {
        LiteralCell(window, CellAt(i), RGB(34, 85, 136));
    }
}

HWND literalWindow = nullptr;

void LiteralCellChange(int32_t x, int32_t y, bool alive)
{
    LiteralCell(literalWindow, {x, y}, alive ? RGB(34, 85, 136) : RGB(255, 255, 255));
}

// A 100 x 100 block of live cells, all on screen at the given size.
std::vector<Cell> Block()
{
    std::vector<Cell> cells;
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            cells.push_back({x, y});
        }
    }
    return cells;
}

}  // namespace

int main()
{
    // A first start's window, whatever a user's settings hold; its own settings go to the temporary folder.
    wchar_t temporary[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring settings = std::wstring(temporary) + L"Quillane bench settings\\";
    SetEnvironmentVariableW(L"QUILLANE_SETTINGS", settings.c_str());
    DeleteFileW((settings + L"settings.ini").c_str());
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
    if (!window) {
        std::printf("the main window could not be created\n");
        return 1;
    }
    mainWindow = window;
    SetWindowPos(window, nullptr, 0, 0, 1240, 1000, SWP_NOZORDER);
    ShowWindow(window, SW_SHOW);
    RECT client;
    GetClientRect(window, &client);
    std::printf("client area %ldx%ld\n", client.right, client.bottom);

    // Repaint: 10,000 live cells, all visible at 8 pixels a cell.
    SetCellSize(8);
    LoadBoard(Block());
    RepaintNow(window);
    Settle(window);
    const int repaints = 50;
    double t0 = SecondsNow();
    for (int i = 0; i < repaints; ++i) {
        RepaintNow(window);
    }
    Settle(window);
    const double repaint = (SecondsNow() - t0) / repaints;
    t0 = SecondsNow();
    LiteralRepaint(window);
    Settle(window);
    const double literalRepaint = SecondsNow() - t0;
    std::printf("full repaint, %d cells at %d px: %8.2f ms; literal: %9.1f ms; %6.0fx faster\n", count,
                viewport.cellSize, repaint * 1e3, literalRepaint * 1e3, literalRepaint / repaint);

    // Tick: a 10,000-cell soup, all visible at 5 pixels a cell.
    SetCellSize(5);
    int32_t side = 0;
    const std::vector<Cell> soup = Soup(kMaxCells, &side);
    PanBy(side / 2 + 1 - viewport.offsetX, side / 2 + 1 - viewport.offsetY);
    const int ticks = 20;
    double tickTotal = 0;
    for (int i = 0; i < ticks; ++i) {
        LoadBoard(soup);
        ForgetHistory();
        RepaintNow(window);
        Settle(window);
        t0 = SecondsNow();
        SendMessageA(window, WM_TIMER, kStepTimerId, 0);
        Settle(window);
        tickTotal += SecondsNow() - t0;
    }
    const int32_t after = count;
    LoadBoard(soup);
    RepaintNow(window);
    Settle(window);
    literalWindow = window;
    t0 = SecondsNow();
    StepGeneration(LiteralCellChange);
    Settle(window);
    const double literalTick = SecondsNow() - t0;
    std::printf("tick, %d cells to %d at %d px: %8.2f ms; literal drawing: %9.1f ms; %6.0fx faster\n",
                kMaxCells, after, viewport.cellSize, tickTotal / ticks * 1e3, literalTick * 1e3,
                literalTick / (tickTotal / ticks));

    // The same tick while running at 10 ms: the period is set through the command and the real
    // timer removed, so that only these ticks arrive, each after 8 ms idle as a running timer
    // leaves. They go on until 20 of them have changed the caption (one in ten or so), and those
    // are told from the others by the text. The history is kept, so that each tick shows a new
    // generation number.
    SendMessageA(window, WM_COMMAND, IDM_SPEED_10, 0);
    KillTimer(window, kStepTimerId);
    double captionTotal = 0;
    double captionWorst = 0;
    double plainTotal = 0;
    int captionTicks = 0;
    int plainTicks = 0;
    for (int i = 0; i < 2000 && captionTicks < ticks; ++i) {
        LoadBoard(soup);
        RepaintNow(window);
        Settle(window);
        bool captionChanged = false;
        const double t = TimedTick(window, &captionChanged);
        if (captionChanged) {
            captionTotal += t;
            captionWorst = t > captionWorst ? t : captionWorst;
            ++captionTicks;
        } else {
            plainTotal += t;
            ++plainTicks;
        }
    }
    char caption[200];
    GetWindowTextA(window, caption, sizeof caption);
    // A plain SetWindowTextA, for comparison: it repaints the whole frame, scroll bars included.
    double setTotal = 0;
    for (int i = 0; i < ticks; ++i) {
        char text[200];
        std::snprintf(text, sizeof text, "%s / %d", caption, i);
        t0 = SecondsNow();
        SetWindowTextA(window, text);
        Settle(window);
        setTotal += SecondsNow() - t0;
    }
    std::printf("a plain SetWindowTextA: %.2f ms\n", setTotal / ticks * 1e3);
    SetWindowTextA(window, caption);
    std::printf("tick at 10 ms, %d cells, changing the caption: %8.2f ms mean, %.2f ms worst (%d ticks); "
                "leaving it: %.2f ms (%d ticks) (\"%s\")\n",
                kMaxCells, captionTotal / captionTicks * 1e3, captionWorst * 1e3, captionTicks,
                plainTotal / plainTicks * 1e3, plainTicks, caption);

    // The same ticks under a waiting 10,000-cell paste that covers the whole soup, so that every
    // cell the step changes lies under the preview's box, against the same ticks without it, taken
    // in turn; those that change the caption are left out of both. The pointer's cell is the soup's
    // top-left, where the paste's top-left goes.
    double pasteTotal[2] = {0, 0};
    int pasteTicks[2] = {0, 0};
    for (int i = 0; i < 2000 && (pasteTicks[0] < 2 * ticks || pasteTicks[1] < 2 * ticks); ++i) {
        const bool waiting = i % 2 == 1;
        LoadBoard(soup);
        if (waiting) {
            StartPlacing(window, soup);
            SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(viewport.cellSize + 2, viewport.cellSize + 2));
        }
        RepaintNow(window);
        Settle(window);
        bool captionChanged = false;
        const double t = TimedTick(window, &captionChanged);
        if (!captionChanged) {
            pasteTotal[waiting] += t;
            ++pasteTicks[waiting];
        }
        CancelPlacing(window);
    }
    std::printf("tick at 10 ms, %d cells under a waiting paste of as many: %8.2f ms; without it: %.2f ms: %.0f%% "
                "(at most 120%%)\n",
                kMaxCells, pasteTotal[1] / pasteTicks[1] * 1e3, pasteTotal[0] / pasteTicks[0] * 1e3,
                100 * (pasteTotal[1] / pasteTicks[1]) / (pasteTotal[0] / pasteTicks[0]));

    // Load: the soup spread out three times (an RLE file of some 32 KB, sparse like the collection's
    // patterns), read, placed, fitted and painted.
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "quillane_bench_soup.rle";
    std::vector<Cell> spread;
    for (Cell c : soup) {
        spread.push_back({c.x * 3, c.y * 3});
    }
    std::string text, error;
    WritePattern(PatternFormat::Rle, spread, "soup", text, error);
    std::ofstream(path, std::ios::binary) << text;
    const int loads = 20;
    double loadTotal = 0;
    for (int i = 0; i < loads; ++i) {
        // From an empty board that the caption shows, so that each load sets a new caption.
        ClearCells();
        UpdateCaption(window);
        RepaintNow(window);
        Settle(window);
        t0 = SecondsNow();
        LoadPatternFile(window, Utf16(path).c_str());
        Settle(window);
        loadTotal += SecondsNow() - t0;
    }
    DeleteFileA(path.c_str());
    std::printf("load, %zu-byte RLE file of %d cells to the painted board at %d px: %8.2f ms (at most 30)\n",
                text.size(), count, viewport.cellSize, loadTotal / loads * 1e3);
    // At each close, and a second after a file is opened or saved (outside the load timed above).
    t0 = SecondsNow();
    for (int i = 0; i < loads; ++i) {
        SaveSettings(window);
    }
    std::printf("the settings file written whole: %8.2f ms\n", (SecondsNow() - t0) / loads * 1e3);

    // A paste's preview: 10,000 cells at 2 pixels following the pointer one cell at a time over a full-HD
    // window, each move drawn and shown.
    SetWindowPos(window, nullptr, 0, 0, 1920, 1080, SWP_NOZORDER);
    SetCellSize(2);
    LoadBoard(soup);
    ForgetHistory();
    RepaintNow(window);
    const std::vector<Cell>& pattern = soup;
    StartPlacing(window, pattern);
    Settle(window);
    const int moves = 100;
    t0 = SecondsNow();
    for (int i = 0; i < moves; ++i) {
        SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(300 + 2 * i, 300 + i % 2 * 2));
    }
    Settle(window);
    GetClientRect(window, &client);
    std::printf("paste preview of %zu cells at %d px in a %ldx%ld client area, moved by one cell: %8.2f ms a move "
                "(at most 4)\n", pattern.size(), viewport.cellSize, client.right, client.bottom,
                (SecondsNow() - t0) / moves * 1e3);
    CancelPlacing(window);

    // A 2,000-cell stroke on an empty board at 2 px: three rows, 900 + 900 + 200 cells, in moves of 50 cells,
    // each cell kept once in the stroke's visited set (rows of one y are what a hash of the low half alone
    // would crowd into one bucket).
    LoadBoard({});
    ForgetHistory();
    RepaintNow(window);
    Settle(window);
    const size_t historyBefore = HistoryBytes();
    const int rowCells[] = {900, 900, 200};
    t0 = SecondsNow();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(11, 101));
    for (int row = 0, x = 11; row < 3; ++row) {
        const int y = 101 + 2 * row, step = row % 2 ? -2 : 2;
        SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        for (int k = 1; k < rowCells[row]; ++k) {
            x += step;
            if (k % 50 == 0 || k == rowCells[row] - 1) {
                SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
            }
        }
    }
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(11, 105));
    Settle(window);
    std::printf("a stroke of %d cells at %d px, drawn and recorded: %8.2f ms (%.2f us a cell); its history entry "
                "%zu bytes\n", count, viewport.cellSize, (SecondsNow() - t0) * 1e3, (SecondsNow() - t0) * 1e6 / count,
                HistoryBytes() - historyBefore);

    // Full speed on the step's three boards in a 1280x1024 window, against the same generations run
    // back to back with the history and the period search, without drawing. Each round runs half a second of
    // full speed from one board three ways, with nothing else open, with the graph open and with the list
    // open, in an order that turns each round, and then the plain run's generations back to back; the next
    // round starts from the board that one reached. Each figure is the median of the eight rounds' ratios,
    // so that other work on a shared machine, which falls on a round's runs alike, is left out. The
    // thread's own processor time is given too: it leaves out the waits for other processes.
    SetWindowPos(window, nullptr, 0, 0, 1280, 1024, SWP_NOZORDER);
    const struct { const char* name; std::vector<Cell> cells; } boards[] = {
        {"soup", QuarterSoup()}, {"pulsars", PulsarField()}, {"gliders", GliderSpread()}};
    struct Run { double seconds, cpu; int64_t generations; };
    auto fullSpeed = [window](const std::vector<Cell>& start, int toolWindow) {
        const auto toggle = [window, toolWindow] {
            toolWindow == 1 ? TogglePopulationWindow(window) : toolWindow == 2 ? ToggleLivingCellsWindow(window) : void();
        };
        LoadBoard(start);
        ForgetHistory();
        toggle();
        // The window opened, mapped and painted first: what is timed is full speed with it open.
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
            DispatchMessageA(&message);
        }
        RepaintNow(window);
        Settle(window);
        const double c0 = ThreadSeconds();
        SendMessageA(window, WM_COMMAND, IDM_SPEED_FASTEST, 0);
        const double t0 = SecondsNow();
        for (MSG message; SecondsNow() - t0 < 0.5 && IsRunning();) {
            if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && !IsLivingCellsMessage(&message)) {
                DispatchMessageA(&message);
            }
        }
        Settle(window);
        const Run run = {SecondsNow() - t0, ThreadSeconds() - c0, generation};
        StopTimer(window);
        toggle();
        return run;
    };
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
    };
    for (const auto& b : boards) {
        LoadBoard(b.cells);
        FitLiveCells(window);
        std::vector<double> rate, bound, boundCpu, graphOpen, listOpen;
        for (int round = 0; round < 8; ++round) {
            const std::vector<Cell> start = TableCells();
            Run runs[3];
            for (int k = 0; k < 3; ++k) {
                runs[(round + k) % 3] = fullSpeed(start, (round + k) % 3);
            }
            const Run& plain = runs[0];
            const std::vector<Cell> reached = TableCells();
            LoadBoard(start);
            ForgetHistory();
            const double c0 = ThreadSeconds();
            t0 = SecondsNow();
            for (int64_t g = 0; g < plain.generations; ++g) {
                AdvanceGeneration(nullptr);
            }
            const double seconds = SecondsNow() - t0;
            const double perSecond = plain.generations / plain.seconds;
            rate.push_back(perSecond);
            bound.push_back(seconds / plain.seconds);
            boundCpu.push_back((ThreadSeconds() - c0) / plain.cpu);
            graphOpen.push_back(runs[1].generations / runs[1].seconds / perSecond);
            listOpen.push_back(runs[2].generations / runs[2].seconds / perSecond);
            LoadBoard(reached);
        }
        std::printf("full speed, %s: %.0f generations a second, %.0f%% of the rate back to back (at least 90%%); "
                    "processor time: %.0f%%\n",
                    b.name, median(rate), 100 * median(bound), 100 * median(boundCpu));
        std::printf("full speed, %s, with the graph open: %.0f%% of the rate without (at least 95%%); with the list "
                    "open: %.0f%% (at least 80%%)\n", b.name, 100 * median(graphOpen), 100 * median(listOpen));
    }

    // The graph 1,000 pixels wide over a thousand and over a million generations: the summary is the history's, fed
    // here directly, as a million generations would pass the history's bound on any board.
    StopTimer(window);
    LoadBoard({});
    ForgetHistory();
    TogglePopulationWindow(window);
    HWND graph = PopulationWindow();
    for (int64_t boards : {int64_t{1000}, int64_t{1000000}}) {
        SummaryReset(0, 0);
        for (int64_t g = 1; g < boards; ++g) {
            SummaryPush(g, static_cast<int32_t>((g * 7919) % 9000 + (g % 50000 == 0 ? 1000 : 0)), g % 100000 == 0);
        }
        RECT frame = {0, 0, 1000, 300};
        const GraphLayout probe = LayOutGraph(1000, 300, 96);
        frame.right += 1000 - (probe.plot.right - probe.plot.left);
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(graph, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(graph, GWL_EXSTYLE)));
        SetWindowPos(graph, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
        // The paint that follows a resize (a new bitmap, the first one the font too) is not timed.
        UpdateWindow(graph);
        Settle(graph);
        std::vector<double> times;
        for (int k = 0; k < 21; ++k) {
            t0 = SecondsNow();
            InvalidateRect(graph, nullptr, FALSE);
            UpdateWindow(graph);
            Settle(graph);
            times.push_back((SecondsNow() - t0) * 1e3);
        }
        std::sort(times.begin(), times.end());
        RECT client;
        GetClientRect(graph, &client);
        const GraphLayout layout = LayOutGraph(client.right, client.bottom, 96);
        std::printf("the graph %d px wide over %lld generations, redrawn: %.2f ms median, %.2f ms worst (under 5 ms)\n",
                    static_cast<int>(layout.plot.right - layout.plot.left), static_cast<long long>(boards), times[10],
                    times.back());
    }
    TogglePopulationWindow(window);
    ForgetHistory();

    // The list filled with 10,000 cells as it opens.
    LoadBoard(GliderSpread());
    ForgetHistory();
    t0 = SecondsNow();
    ToggleLivingCellsWindow(window);
    Settle(LivingCellsWindow());
    std::printf("the list of %d living cells filled as it opens: %.1f ms (under 100 ms)\n",
                static_cast<int>(SendDlgItemMessageA(LivingCellsWindow(), IDC_CELL_LIST, LB_GETCOUNT, 0, 0)),
                (SecondsNow() - t0) * 1e3);
    ToggleLivingCellsWindow(window);

    SendMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}
