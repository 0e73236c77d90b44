// The history's cost at 10,000 cells: a forward step with and without recording, and a step back.
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
    benchmark::Shutdown();
    return 0;
}
