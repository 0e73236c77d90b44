// The history's cost at 10,000 cells: a forward step with and without recording, a step back, and
// the worst case of the period search's confirmation: the board 65,536 generations back.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include <benchmark/benchmark.h>

#include "cell_table.h"
#include "generation.h"
#include "history.h"
#include "patterns.h"
#include "ratio_reporter.h"

namespace {

void NoListener(int32_t, int32_t, bool) {}

const std::vector<Cell>& Start()
{
    static const std::vector<Cell> soup = Soup(kMaxCells);
    return soup;
}

void Step(benchmark::State& state)
{
    AllocateCellStorage();
    for (auto _ : state) {
        state.PauseTiming();
        LoadBoard(Start());
        state.ResumeTiming();
        StepGeneration(NoListener);
    }
    ReleaseCellStorage();
}

void Advance(benchmark::State& state)
{
    AllocateCellStorage();
    for (auto _ : state) {
        state.PauseTiming();
        LoadBoard(Start());
        ForgetHistory();
        state.ResumeTiming();
        AdvanceGeneration(NoListener);
    }
    ForgetHistory();
    ReleaseCellStorage();
}

void Back(benchmark::State& state)
{
    AllocateCellStorage();
    for (auto _ : state) {
        state.PauseTiming();
        LoadBoard(Start());
        ForgetHistory();
        AdvanceGeneration(NoListener);
        state.ResumeTiming();
        StepBack(NoListener);
    }
    ForgetHistory();
    ReleaseCellStorage();
}

// 2,497 blocks and 4 blinkers, 10,000 cells, through 65,536 recorded generations: each rebuilt
// generation copies the whole board, so the board that far back is the most the search can ask for.
// Asked once a generation, as the search asks, each call rebuilds a bounded stretch.
void FarBack()
{
    std::vector<Cell> cells;
    for (int32_t i = 0; i < 2497; ++i) {
        const int32_t x = i % 50 * 4, y = i / 50 * 4;
        cells.insert(cells.end(), {{x, y}, {x + 1, y}, {x, y + 1}, {x + 1, y + 1}});
    }
    for (int32_t i = 0; i < 4; ++i) {
        cells.insert(cells.end(), {{300 + 6 * i, 0}, {301 + 6 * i, 0}, {302 + 6 * i, 0}});
    }
    AllocateCellStorage();
    LoadBoard(cells);
    ForgetHistory();
    const int32_t back = kLongestPeriod;
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    for (int32_t g = 0; g < back; ++g) {
        AdvanceGeneration(nullptr);
    }
    const double step = std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / back;
    std::vector<double> times;
    int calls = 0;
    std::vector<Cell> older;
    for (OlderBoard found = OlderBoard::Later; found == OlderBoard::Later; ++calls) {
        if (calls > 0) {
            AdvanceGeneration(nullptr);
        }
        t0 = Clock::now();
        found = BoardBack(back + calls, older);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    // The median and the second worst as well: on a shared machine one call may lose its core.
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    double total = 0;
    for (double t : times) {
        total += t;
    }
    std::printf("\nThe board %d generations back at %d cells (%zu history bytes): rebuilt over %d generations, "
                "%.2f ms a generation (median), %.2f / %.2f ms the second worst / worst (a recorded step here "
                "%.3f ms); %.0f ms in all, which one tick once paid.\n", back, count, HistoryBytes(), calls,
                sorted[sorted.size() / 2], sorted[sorted.size() - 2], sorted.back(), step, total);
    ForgetHistory();
    ReleaseCellStorage();
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("step/10000", Step)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("advance/10000", Advance)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("back/10000", Back)->Unit(benchmark::kMicrosecond);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& s = reporter.seconds;
    if (s.count("step/10000") && s.count("advance/10000") && s.count("back/10000")) {
        const double step = s.at("step/10000"), advance = s.at("advance/10000"), back = s.at("back/10000");
        std::printf("\nAt 10,000 cells: recording adds %+.1f%% to a forward step; a step back costs %.2f of one.\n",
                    (advance / step - 1) * 100, back / step);
    }
    FarBack();
    benchmark::Shutdown();
    return 0;
}
