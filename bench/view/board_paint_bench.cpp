// A full repaint of a 1920x1080 client area with 10,000 live cells at cell sizes 15 and 2: the
// real painter against a literal one (all 1,999 grid lines each way over 2,048 pixels and every
// cell interior, one pixel at a time) on the same memory surface. Prints the ratios of CPU time
// last: the machine is shared, and wall time counts other processes too. Then a 10,000-cell paste
// preview moved a cell at a time at 2 px over the same board with a selection shown: only the old
// and new preview areas repainted, against repainting the whole surface with the overlay. Then a
// generation drawn cell by cell under a waiting paste, and full speed's frame. Last the population
// graph's pixels, 1,000 columns wide, over a thousand and over a million generations.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "board_pixels.h"
#include "cell_table.h"
#include "generation.h"
#include "graph_pixels.h"
#include "timeline_summary.h"
#include "patterns.h"
#include "ratio_reporter.h"
#include "step_boards.h"
#include "viewport.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kCells = 10000;

// 10,000 distinct cells spread over the visible cells and a margin a tenth as wide around them,
// so most are drawn and some are clipped or skipped.
void LoadCells(int32_t cellSize)
{
    const int32_t columns = kWidth / cellSize;
    const int32_t rows = kHeight / cellSize;
    std::mt19937 random(static_cast<uint32_t>(cellSize));
    std::uniform_int_distribution<int32_t> xs(-columns / 10, columns + columns / 10);
    std::uniform_int_distribution<int32_t> ys(-rows / 10, rows + rows / 10);
    ClearCells();
    while (count < kCells) {
        const int32_t x = xs(random);
        const int32_t y = ys(random);
        if (!IsAlive(x, y)) {
            AddCell(x, y);
        }
    }
}

// One pixel at a time, as a per-pixel platform call would set it.
__attribute__((noinline)) void SetPixelAt(PixelSurface s, int64_t x, int64_t y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < s.width && y < s.height) {
        s.pixels[y * s.width + x] = colour;
    }
}

void LiteralPaint(PixelSurface s)
{
    std::fill_n(s.pixels, size_t(s.width) * size_t(s.height), kBackgroundColour);  // the erase
    const int64_t size = viewport.cellSize;
    for (int64_t i = 1; i <= 1999; ++i) {
        for (int64_t k = 0; k < 2048; ++k) {
            SetPixelAt(s, k, i * size, kGridColour);
        }
        for (int64_t k = 0; k < 2048; ++k) {
            SetPixelAt(s, i * size, k, kGridColour);
        }
    }
    for (int32_t c = 0; c < count; ++c) {
        const Cell cell = CellAt(c);
        const PixelPoint p = CellToScreen(cell.x, cell.y);
        for (int64_t i = 1; i < size; ++i) {
            for (int64_t j = 1; j < size; ++j) {
                SetPixelAt(s, p.x + j, p.y + i, kLiveColour);
            }
        }
    }
}

void Repaint(benchmark::State& state, int32_t cellSize, bool literal)
{
    AllocateCellStorage();
    viewport = {cellSize, 0, 0};
    LoadCells(cellSize);
    std::vector<uint32_t> pixels(size_t(kWidth) * size_t(kHeight));
    const PixelSurface surface = {pixels.data(), kWidth, kHeight};
    for (auto _ : state) {
        if (literal) {
            LiteralPaint(surface);
        } else {
            PaintAreaPixels(surface, {0, 0, kWidth, kHeight}, {});
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    ReleaseCellStorage();
}

// The preview's old and new cells alone (MovePreviewPixels), its old and new areas recomposed, or
// the whole surface. compact: the soup of 10,000 cells in 142 x 142; spread: 10,000 over 900 x 500 cells, so its
// area is most of the window and the move costs nearly a whole repaint.
enum PreviewWay { kMoveCells, kAreas, kWhole };

void MovePreview(benchmark::State& state, bool spread, PreviewWay how)
{
    AllocateCellStorage();
    viewport = {2, 0, 0};
    LoadCells(2);
    std::vector<uint32_t> pixels(size_t(kWidth) * size_t(kHeight));
    const PixelSurface surface = {pixels.data(), kWidth, kHeight};
    std::vector<Cell> pattern = Soup(kCells);
    if (spread) {
        std::mt19937 random(5);
        for (Cell& c : pattern) {
            c = {int32_t(random() % 900), int32_t(random() % 500)};
        }
    }
    const Stamp stamp = MakeStamp(pattern);
    const CellRect selection = {100, 100, 600, 400};
    BoardOverlay overlay = {&selection, &stamp, {spread ? 10 : 300, spread ? 10 : 200}};
    const PixelRect all = {0, 0, kWidth, kHeight};
    PaintAreaPixels(surface, all, overlay);
    int32_t step = 1;
    for (auto _ : state) {
        const Cell from = overlay.previewAt;
        overlay.previewAt.x += step;
        step = -step;
        if (how == kMoveCells) {
            benchmark::DoNotOptimize(MovePreviewPixels(surface, overlay, from));
        } else {
            const PixelRect before = CellRectArea(StampRect(stamp, from), kWidth, kHeight);
            const PixelRect after = CellRectArea(StampRect(stamp, overlay.previewAt), kWidth, kHeight);
            PaintAreaPixels(surface, how == kWhole ? all : UniteRects(before, after), overlay);
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    ReleaseCellStorage();
}

// Full speed's frame in a 1280x1024 window on the step's three boards, fitted, 1,000 generations
// on: the 101 generations of a batch later, the cells that differ redrawn (DrawChangedCells),
// against the whole surface recomposed. The surface goes back to the first board untimed.
constexpr int32_t kFrameWidth = 1280;
constexpr int32_t kFrameHeight = 1024;

void Frame(benchmark::State& state, const std::vector<Cell>& board, bool whole)
{
    AllocateCellStorage();
    ClearCells();
    for (Cell c : board) {
        AddCell(c.x, c.y);
    }
    for (int g = 0; g < 1000; ++g) {
        StepGeneration(nullptr);
    }
    FitView(kFrameWidth, kFrameHeight);
    const std::vector<Cell> shown = TableCells();
    std::vector<uint32_t> before(size_t(kFrameWidth) * size_t(kFrameHeight));
    PaintAreaPixels({before.data(), kFrameWidth, kFrameHeight}, {0, 0, kFrameWidth, kFrameHeight}, {});
    for (int g = 0; g < 101; ++g) {
        StepGeneration(nullptr);
    }
    std::vector<uint32_t> pixels = before;
    const PixelSurface surface = {pixels.data(), kFrameWidth, kFrameHeight};
    std::vector<PixelRect> bands;
    for (auto _ : state) {
        state.PauseTiming();
        pixels = before;
        state.ResumeTiming();
        if (whole) {
            PaintAreaPixels(surface, {0, 0, kFrameWidth, kFrameHeight}, {});
        } else {
            DrawChangedCells(surface, shown, {}, bands);
            benchmark::DoNotOptimize(bands.data());
        }
        benchmark::ClobberMemory();
    }
    ReleaseCellStorage();
}

// One generation of the soup drawn cell by cell (deaths, then births) at 5 px, with or without a
// waiting paste of the whole soup over it.
void StepDrawn(benchmark::State& state, bool waiting)
{
    AllocateCellStorage();
    ClearCells();
    const std::vector<Cell> soup = Soup(kCells);
    const Stamp stamp = MakeStamp(soup);
    CellRect box;
    RectAround(soup, box);
    viewport = {5, -box.left, -box.top};
    std::vector<uint32_t> pixels(size_t(kWidth) * size_t(kHeight));
    const PixelSurface surface = {pixels.data(), kWidth, kHeight};
    const BoardOverlay overlay = {nullptr, waiting ? &stamp : nullptr, {box.left, box.top}};
    static PixelSurface target;
    static const BoardOverlay* over;
    target = surface;
    over = &overlay;
    for (auto _ : state) {
        state.PauseTiming();
        ClearCells();
        for (Cell c : soup) {
            AddCell(c.x, c.y);
        }
        state.ResumeTiming();
        StepGeneration([](int32_t x, int32_t y, bool alive) { DrawCellPixels(target, x, y, alive, *over); });
        benchmark::ClobberMemory();
    }
    ReleaseCellStorage();
}

}  // namespace

namespace {

// The summary fed directly, as the history feeds it: a million generations would pass the history's bound.
void GraphPixels(benchmark::State& state, int64_t boards)
{
    SummaryReset(0, 0);
    for (int64_t g = 1; g < boards; ++g) {
        SummaryPush(g, static_cast<int32_t>((g * 7919) % 9000), g % 100000 == 0);
    }
    GraphLayout layout = LayOutGraph(1000, 300, 96);
    layout = LayOutGraph(1000 + 1000 - (layout.plot.right - layout.plot.left), 300, 96);
    std::vector<uint32_t> pixels(static_cast<size_t>(layout.status.right) * 300);
    for (auto _ : state) {
        PaintGraphPixels({pixels.data(), layout.status.right, 300}, layout);
        benchmark::DoNotOptimize(pixels.data());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("graph/boards:1000", GraphPixels, int64_t{1000})->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("graph/boards:1000000", GraphPixels, int64_t{1000000})->Unit(benchmark::kMicrosecond);
    const int32_t sizes[] = {15, 2};
    for (int32_t size : sizes) {
        const std::string name = "/size:" + std::to_string(size);
        benchmark::RegisterBenchmark(("repaint" + name).c_str(), Repaint, size, false)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("literal" + name).c_str(), Repaint, size, true)->Unit(benchmark::kMicrosecond);
    }
    for (const char* kind : {"compact", "spread"}) {
        const bool spread = kind[0] == 's';
        const std::string name = std::string("/") + kind;
        benchmark::RegisterBenchmark(("preview cells" + name).c_str(), MovePreview, spread, kMoveCells)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("preview areas" + name).c_str(), MovePreview, spread, kAreas)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("preview whole" + name).c_str(), MovePreview, spread, kWhole)
            ->Unit(benchmark::kMicrosecond);
    }
    static const std::pair<const char*, std::vector<Cell>> boards[] = {
        {"soup", QuarterSoup()}, {"pulsars", PulsarField()}, {"gliders", GliderSpread()}};
    for (const auto& [name, cells] : boards) {
        benchmark::RegisterBenchmark((std::string("frame changes/") + name).c_str(), Frame, cells, false)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("frame whole/") + name).c_str(), Frame, cells, true)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("step drawn/plain", StepDrawn, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("step drawn/paste", StepDrawn, true)->Unit(benchmark::kMicrosecond);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nFull repaint of %dx%d with %d live cells, literal painter against the real one:\n", kWidth, kHeight,
                kCells);
    for (int32_t size : sizes) {
        const std::string name = "/size:" + std::to_string(size);
        reporter.PrintRatio("cell size " + std::to_string(size), "repaint" + name, "literal" + name);
    }
    std::printf("\nA 10,000-cell preview moved by one cell at 2 px, its cells and its areas against the whole "
                "surface:\n");
    for (const char* kind : {"compact", "spread"}) {
        for (const char* way : {"cells", "areas"}) {
            reporter.PrintRatio(std::string(kind) + ", " + way, std::string("preview ") + way + "/" + kind,
                                std::string("preview whole/") + kind);
        }
    }
    if (reporter.seconds.count("step drawn/paste") && reporter.seconds.count("step drawn/plain")) {
        std::printf("\nA generation of the 10,000-cell soup drawn cell by cell at 5 px under a waiting paste of it: "
                    "%.0f%% of the time without one\n",
                    100 * reporter.seconds["step drawn/paste"] / reporter.seconds["step drawn/plain"]);
    }
    std::printf("\nFull speed's frame at 1280x1024, the cells that differ against the whole surface:\n");
    for (const auto& board : boards) {
        reporter.PrintRatio(board.first, std::string("frame changes/") + board.first,
                            std::string("frame whole/") + board.first);
    }
    benchmark::Shutdown();
    return 0;
}
