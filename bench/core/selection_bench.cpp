// The selection's edits on a 10,000-cell board (the target is 5 ms each): each transform alone on
// the board's cells, and one whole edit as the window makes it, from the table through a rotation
// to the board replaced and recorded in the history.
#include <cstdio>

#include <benchmark/benchmark.h>

#include "history.h"
#include "patterns.h"
#include "selection.h"

namespace {

int32_t side = 0;
const std::vector<Cell> board = Soup(kMaxCells, &side);
// The left half of the soup's box and a bit more, so about half its cells move; W != H, so a turn
// also clears cells of the turned rectangle that lay outside.
const CellRect half = {-side / 2, -side / 2 + 10, 5, side / 2 - 10};

void Edit(benchmark::State& state, std::vector<Cell> (*edit)(const std::vector<Cell>&, CellRect))
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(edit(board, half));
    }
}

void Fill(benchmark::State& state)
{
    const CellRect fill = {-70, -70, 70, 70};  // 19,881 cells, half the box
    uint64_t seed = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RandomFill(board, fill, seed));
    }
}

void SelectAll(benchmark::State& state)
{
    CellRect r;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RectAround(board, r));
    }
}

void Paste(benchmark::State& state)
{
    const Stamp stamp = MakeStamp(board);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlaceStamp(board, stamp, {0, 0}));
    }
}

void MakePasted(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeStamp(board));
    }
}

void WholeRotation(benchmark::State& state)
{
    AllocateCellStorage();
    LoadBoard(board);
    ForgetHistory();
    CellRect r = half;
    for (auto _ : state) {
        std::vector<Cell> cells(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            cells[static_cast<size_t>(i)] = CellAt(i);
        }
        ReplaceBoard(RotateClockwise(cells, r));
        r = TurnedRect(r);
    }
    ForgetHistory();
    ReleaseCellStorage();
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const struct { const char* name; std::vector<Cell> (*edit)(const std::vector<Cell>&, CellRect); } edits[] = {
        {"delete", CellsOutside},          {"clear outside", CellsInside},
        {"flip left-right", FlipLeftRight}, {"flip up-down", FlipUpDown},
        {"rotate clockwise", RotateClockwise}, {"rotate anticlockwise", RotateAnticlockwise},
    };
    for (const auto& e : edits) {
        benchmark::RegisterBenchmark(e.name, Edit, e.edit)->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("random fill 19,881 cells", Fill)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("select all", SelectAll)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("stamp of 10,000 cells", MakePasted)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("paste 10,000 on 10,000", Paste)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("rotation from table to history", WholeRotation)->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
