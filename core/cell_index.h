// Internals shared by the table and the generation step: hashing of cells and the buffers
// a step works in, all reserved together with the table so that a step never allocates.
#pragma once

#include <cstdint>

#include "cell_table.h"
#include "generation.h"

// Open addressing with linear probing; sizes are powers of two kept well above the fill.
constexpr uint32_t kIndexBits = 15;      // 32,768 slots for at most 10,000 live cells
constexpr uint32_t kNeighbourBits = 18;  // 262,144 slots for at most 90,000 cells in a step

inline uint32_t HashCell(int32_t x, int32_t y, uint32_t bits)
{
    uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
    return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

// One cell's tally during a step. A slot whose stamp is not the current step's is empty, so the
// map never needs clearing between steps.
struct NeighbourSlot {
    Cell cell;
    uint32_t stamp;
    uint8_t neighbours;
    uint8_t alive;
};

// A dead cell that borders a live one, in order of first appearance, with its slot.
struct Candidate {
    Cell cell;
    uint32_t slot;
};

// A cell that died in a step, with its position in the table before the step.
struct DeadCell {
    Cell cell;
    int32_t position;
};

struct StepBuffers {
    NeighbourSlot* slots;      // 1 << kNeighbourBits
    uint32_t stamp;
    uint32_t* liveSlots;       // kMaxCells: the slot of each live cell, in table order
    Candidate* candidates;     // 8 * kMaxCells
    // What the last applied step changed, for the history: the dead by ascending position, and
    // how many newborns it appended. Both zero after a refused step or an empty board.
    DeadCell* deaths;          // kMaxCells
    int32_t deathCount;
    int32_t births;
};

// Null when the storage is not allocated.
StepBuffers* GetStepBuffers();

// Table operations for the step: the raw entries, and removal/insertion that keep the index true
// while the step rewrites the array in one pass.
Cell* TableEntries();
void SetCount(int32_t newCount);
void IndexInsert(Cell cell);
void IndexErase(Cell cell);

// Takes one step back in O(N): drops the newest `born` entries, then puts the dead back at their
// old positions (ascending), so the table's order is exactly the one before the step. Announces
// the dropped cells in table order, then the restored ones. False, with nothing changed or
// announced, when the table cannot have come from such a step (edited behind the history's back).
bool UndoStep(const DeadCell* dead, int32_t deadCount, int32_t born, CellChangeListener listener);
