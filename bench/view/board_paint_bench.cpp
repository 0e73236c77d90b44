// A full repaint of a 1920x1080 client area with 10,000 live cells at cell sizes 15 and 2: the
// real painter against a literal one (all 1,999 grid lines each way over 2,048 pixels and every
// cell interior, one pixel at a time) on the same memory surface. Prints the ratios of CPU time
// last: the machine is shared, and wall time counts other processes too.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "board_pixels.h"
#include "cell_table.h"
#include "ratio_reporter.h"
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
            PaintBoardPixels(surface);
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    ReleaseCellStorage();
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const int32_t sizes[] = {15, 2};
    for (int32_t size : sizes) {
        const std::string name = "/size:" + std::to_string(size);
        benchmark::RegisterBenchmark(("repaint" + name).c_str(), Repaint, size, false)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("literal" + name).c_str(), Repaint, size, true)->Unit(benchmark::kMicrosecond);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nFull repaint of %dx%d with %d live cells, literal painter against the real one:\n", kWidth, kHeight,
                kCells);
    for (int32_t size : sizes) {
        const std::string name = "/size:" + std::to_string(size);
        reporter.PrintRatio("cell size " + std::to_string(size), "repaint" + name, "literal" + name);
    }
    benchmark::Shutdown();
    return 0;
}
