// Reading pattern files: a 10,000-cell RLE text of about 60 KB, written by the program itself,
// and the largest real collection file the tests carry (9,373 cells).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <benchmark/benchmark.h>

#include "pattern_file.h"
#include "patterns.h"

namespace {

void Read(benchmark::State& state, const std::string& text)
{
    Pattern pattern;
    std::string error;
    for (auto _ : state) {
        if (!ReadPattern(text, pattern, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(pattern.cells.data());
    }
    state.counters["cells"] = static_cast<double>(pattern.cells.size());
    state.counters["KB"] = static_cast<double>(text.size()) / 1000.0;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // 10,000 cells in runs of dead cells some thousand long: about 60 KB of text.
    const std::vector<Cell> cells = Soup(10000);
    std::vector<Cell> sparse;
    for (size_t i = 0; i < cells.size(); ++i) {
        sparse.push_back({cells[i].x * 1000 + static_cast<int32_t>(i % 1000), cells[i].y});
    }
    std::string rle;
    std::string error;
    WritePattern(PatternFormat::Rle, sparse, "Soup", rle, error);
    benchmark::RegisterBenchmark("read/rle_10000_cells", Read, rle)->Unit(benchmark::kMicrosecond);

    std::ifstream in(QUILLANE_TEST_DATA "/barbershop.rle", std::ios::binary);
    const std::string barbershop((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    benchmark::RegisterBenchmark("read/barbershop.rle", Read, barbershop)->Unit(benchmark::kMicrosecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
