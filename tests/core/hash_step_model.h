// The generation step as it stood before the bit tiles: a stamped hash tally of every live cell's
// neighbours, on its own board. Kept as a second model: it is fast enough to run against the real
// step over thousands of boards, and the benchmark measures the real step against it.
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
    std::vector<Cell> cells;          // the table, reserved to kMaxCells
    std::vector<Cell> index;          // open addressing over the live cells
    std::vector<uint8_t> used;
    std::vector<HashTally> tally;     // one step's counts, stamped so it is never cleared
    uint32_t stamp = 0;
    std::vector<uint32_t> liveSlots;
    std::vector<Cell> candidates;     // dead neighbours in order of first appearance
    std::vector<uint32_t> candidateSlots;
    int32_t refusedPopulation = 0;    // what the last refused generation would have had
};

void HashBoardInit(HashBoard& b);
bool HashIsAlive(const HashBoard& b, int32_t x, int32_t y);
bool HashAdd(HashBoard& b, int32_t x, int32_t y);  // false when full or already alive
void HashRemove(HashBoard& b, int32_t x, int32_t y);
void HashClear(HashBoard& b);
// One generation; refused whole (false, nothing changed or logged) past kMaxCells.
bool HashStep(HashBoard& b, std::vector<CellChange>* changes);
