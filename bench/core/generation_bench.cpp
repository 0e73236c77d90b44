// One generation of three boards of about 10,000 cells: the real step against the previous
// hash-tally step and against the literal model, and what the board's fingerprint adds to it.
// Prints the ratios and the memory last.
#include <malloc.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "cell_index.h"
#include "cell_table.h"
#include "generation.h"
#include "hash_step_model.h"
#include "patterns.h"
#include "period.h"
#include "ratio_reporter.h"
#include "step_boards.h"
#include "reference_life.h"

namespace {

void NoListener(int32_t, int32_t, bool) {}

// Timed without a listener, as both models are, so that the ratios compare the steps alone; the
// same step with an empty listener shows what announcing the changes adds.
void Step(benchmark::State& state, const std::vector<Cell>& start, CellChangeListener listener)
{
    AllocateCellStorage();
    bool taken = true;
    for (auto _ : state) {
        state.PauseTiming();
        LoadBoard(start);
        state.ResumeTiming();
        taken = StepGeneration(listener) && taken;
    }
    state.counters["cells"] = static_cast<double>(start.size());
    state.counters["taken"] = taken ? 1 : 0;
    ReleaseCellStorage();
}

// 64 generations from the board, each noted by the period search or not. With nothing to confirm
// against no period ever holds, so every generation pays for its fingerprint: the most it costs.
constexpr int kRun = 64;

void Run(benchmark::State& state, const std::vector<Cell>& start, bool noted)
{
    AllocateCellStorage();
    for (auto _ : state) {
        state.PauseTiming();
        LoadBoard(start);
        ForgetPeriods();
        state.ResumeTiming();
        for (int g = 0; g < kRun; ++g) {
            StepGeneration(nullptr);
            if (noted) {
                NotePeriodGeneration(nullptr);
            }
        }
    }
    ReleaseCellStorage();
}

// The fingerprint alone, of the board after one step.
void Fingerprint(benchmark::State& state, const std::vector<Cell>& start)
{
    AllocateCellStorage();
    LoadBoard(start);
    StepGeneration(nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FingerprintTable());
    }
    ReleaseCellStorage();
}

void PreviousStep(benchmark::State& state, const std::vector<Cell>& start)
{
    HashBoard board;
    for (auto _ : state) {
        state.PauseTiming();
        board.cells = start;
        state.ResumeTiming();
        HashStep(board, nullptr);
    }
    state.counters["cells"] = static_cast<double>(start.size());
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

long ResidentKiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * 4;
}

// What the table reserves, and what one board and ten steps of it make resident.
void PrintMemory(const char* name, const std::vector<Cell>& start)
{
    const long before = ResidentKiB();
    AllocateCellStorage();
    const long reserved = ResidentKiB();
    LoadBoard(start);
    for (int i = 0; i < 10; ++i) {
        StepGeneration(NoListener);
    }
    std::printf("  %-15s %6ld KiB resident after the reservation, %6ld KiB after 10 steps, %5d tiles\n", name,
                reserved - before, ResidentKiB() - before, GetCellStore()->tileCount);
    ReleaseCellStorage();
}

}  // namespace

int main(int argc, char** argv)
{
    // Large blocks straight from the system, as in the program's one reservation at start, so that
    // resident memory shows what the table touches rather than what earlier runs left behind.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    benchmark::Initialize(&argc, argv);
    struct Board {
        const char* name;
        std::vector<Cell> cells;
    };
    const Board boards[] = {{"soup", QuarterSoup()}, {"pulsars", PulsarField()}, {"gliders", GliderSpread()}};
    for (const Board& b : boards) {
        const std::string name = std::string(b.name) + "/" + std::to_string(b.cells.size());
        benchmark::RegisterBenchmark(("step/" + name).c_str(), Step, b.cells, nullptr)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("step+listener/" + name).c_str(), Step, b.cells, NoListener)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("run/" + name).c_str(), Run, b.cells, false)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("run+period/" + name).c_str(), Run, b.cells, true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("fingerprint/" + name).c_str(), Fingerprint, b.cells)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("hash/" + name).c_str(), PreviousStep, b.cells)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("literal/" + name).c_str(), Literal, b.cells)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nOne generation, the real step against the previous hash-tally step and the literal model:\n");
    for (const Board& b : boards) {
        const std::string name = std::string(b.name) + "/" + std::to_string(b.cells.size());
        reporter.PrintRatio(name + " hash", "step/" + name, "hash/" + name);
        reporter.PrintRatio(name + " literal", "step/" + name, "literal/" + name + "/iterations:1");
        reporter.PrintRatio(name + " +listener", "step+listener/" + name,
                            "literal/" + name + "/iterations:1");
    }
    std::printf("\n%d generations noted by the period search, every one fingerprinted (target: +10%%):\n", kRun);
    for (const Board& b : boards) {
        const std::string name = std::string(b.name) + "/" + std::to_string(b.cells.size());
        const auto with = reporter.seconds.find("run+period/" + name);
        const auto without = reporter.seconds.find("run/" + name);
        if (with != reporter.seconds.end() && without != reporter.seconds.end()) {
            std::printf("  %-15s %8.1f us against %8.1f us: %+5.1f%%\n", b.name, with->second * 1e6,
                        without->second * 1e6, 100.0 * (with->second / without->second - 1.0));
        }
    }
    const double tileKiB = (static_cast<double>(sizeof(Tile)) * kMaxTiles + 64) / 1024.0;
    const double otherKiB = (2.0 * 4 * kMaxTiles + 4.0 * (1u << kTileIndexBits) + 28.0 * kMaxCells +
                            12.0 * kMaxBirths) / 1024.0;
    std::printf("\nMemory reserved: %.0f KiB, of which %.0f KiB are %d tiles of %zu bytes\n", tileKiB + otherKiB, tileKiB,
                kMaxTiles, sizeof(Tile));
    for (const Board& b : boards) {
        PrintMemory(b.name, b.cells);
    }
    benchmark::Shutdown();
    return 0;
}
