// The step as it stood before the bit tiles: a stamped hash tally of the live cells' neighbours, on
// its own list of cells. A second model fast enough to check the real step on thousands of boards.
#pragma once

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
