// The generation step as it stood before the bit tiles: a stamped hash tally of every live cell's
// neighbours, on its own list of cells. Kept as a second model: it is fast enough to run against
// the real step over thousands of boards, and the benchmark measures the real step against it.
#pragma once

#include <cstdint>
#include <vector>

#include "reference_life.h"

struct HashTally {
    Cell cell;
    uint32_t stamp;
    uint8_t neighbours;
};

struct HashBoard {
    std::vector<Cell> cells;
    std::vector<HashTally> tally;              // one step's counts, stamped so it is never cleared
    uint32_t stamp = 0;  // 2^32 steps, far more than any run takes, before it comes round
    std::vector<HashTally*> live, candidates;  // the step's scratch, kept to spare allocations
    int32_t refusedPopulation = 0;             // what the last refused generation would have had
};

// One generation; refused whole (false, nothing changed or logged) past kMaxCells.
bool HashStep(HashBoard& b, std::vector<CellChange>* changes);
