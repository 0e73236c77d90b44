// The generation step as it stood before the bit tiles: a stamped hash tally of every live cell's
// neighbours, on its own list of cells. Kept as a second model: it is fast enough to run against
// the real step over thousands of boards, and the benchmark measures the real step against it.
#pragma once

#include <cstdint>
#include <vector>

#include "cell_table.h"
#include "reference_life.h"

struct HashTally {
    Cell cell;
    uint32_t stamp;
    uint8_t neighbours;
};

struct HashBoard {
    std::vector<Cell> cells;
    std::vector<HashTally> tally;    // one step's counts, stamped so it is never cleared
    uint32_t stamp = 0;
    std::vector<uint32_t> liveSlots; // each cell's slot in the tally
    std::vector<Cell> candidates;    // dead neighbours in order of first appearance, then the born
    std::vector<uint32_t> candidateSlots;
    int32_t refusedPopulation = 0;   // what the last refused generation would have had
};

void HashBoardInit(HashBoard& b);
// Keeps no index: only a dead cell may be added, and edits other than adding are made on `cells`.
bool HashAdd(HashBoard& b, int32_t x, int32_t y);  // false when full
void HashClear(HashBoard& b);
// One generation; refused whole (false, nothing changed or logged) past kMaxCells.
bool HashStep(HashBoard& b, std::vector<CellChange>* changes);
