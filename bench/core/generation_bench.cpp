// One generation at about 1,000, 5,000 and 10,000 live cells: the real step against the literal
// model, on a random soup and on a field of pulsars (which lives forever). Prints the ratios last.
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "cell_table.h"
#include "generation.h"
#include "patterns.h"
#include "ratio_reporter.h"
#include "reference_life.h"

namespace {

// Pulsars (48, 56 or 72 cells by phase) on a 16-cell lattice; n / 72 of them never overfill.
std::vector<Cell> Pulsars(int32_t n)
{
    const int32_t pulsars = n / 72;
    int32_t perRow = 1;
    while (perRow * perRow < pulsars) {
        ++perRow;
    }
    std::vector<Cell> cells;
    for (int32_t p = 0; p < pulsars; ++p) {
        const int32_t cx = (p % perRow) * 16;
        const int32_t cy = (p / perRow) * 16;
        for (int32_t sx : {-1, 1}) {
            for (int32_t sy : {-1, 1}) {
                for (int32_t k : {2, 3, 4}) {
                    cells.push_back({cx + sx * k, cy + sy * 1});
                    cells.push_back({cx + sx * k, cy + sy * 6});
                    cells.push_back({cx + sx * 1, cy + sy * k});
                    cells.push_back({cx + sx * 6, cy + sy * k});
                }
            }
        }
    }
    // Two steps in, so the field starts at its largest phase (72 cells each).
    ReferenceBoard board{cells};
    ReferenceStep(board, nullptr);
    ReferenceStep(board, nullptr);
    return board.cells;
}

void NoListener(int32_t, int32_t, bool) {}

void Step(benchmark::State& state, const std::vector<Cell>& start)
{
    AllocateCellStorage();
    for (auto _ : state) {
        state.PauseTiming();
        LoadBoard(start);
        state.ResumeTiming();
        StepGeneration(NoListener);
    }
    state.counters["cells"] = static_cast<double>(start.size());
    ReleaseCellStorage();
}

void Literal(benchmark::State& state, const std::vector<Cell>& start)
{
    for (auto _ : state) {
        state.PauseTiming();
        ReferenceBoard board{start};
        state.ResumeTiming();
        ReferenceStep(board, nullptr);
    }
    state.counters["cells"] = static_cast<double>(start.size());
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<std::string> cases;
    for (const char* kind : {"soup", "pulsars"}) {
        for (int32_t n : {1000, 5000, 10000}) {
            const std::vector<Cell> start = kind[0] == 's' ? Soup(n) : Pulsars(n);
            const std::string name = std::string(kind) + "/" + std::to_string(n);
            benchmark::RegisterBenchmark(("step/" + name).c_str(), Step, start)->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("literal/" + name).c_str(), Literal, start)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
            cases.push_back(name);
        }
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nOne generation, literal model against the real step:\n");
    for (const std::string& name : cases) {
        reporter.PrintRatio(name, "step/" + name, "literal/" + name + "/iterations:1");
    }
    benchmark::Shutdown();
    return 0;
}
