#include "generation.h"

#include "cell_index.h"
#include "cell_table.h"

namespace {

constexpr uint32_t kNeighbourMask = (1u << kNeighbourBits) - 1;

int32_t lastRefusedPopulation = 0;

// The slot for the cell in this step's tally, claimed (and zeroed) if the cell is new to it.
// Sets isNew when it claims.
uint32_t Tally(StepBuffers& b, Cell cell, bool& isNew)
{
    uint32_t i = HashCell(cell.x, cell.y, kNeighbourBits);
    for (;;) {
        NeighbourSlot& s = b.slots[i];
        if (s.stamp != b.stamp) {
            s = {cell, b.stamp, 0, 0};
            isNew = true;
            return i;
        }
        if (s.cell == cell) {
            isNew = false;
            return i;
        }
        i = (i + 1) & kNeighbourMask;
    }
}

void NewStamp(StepBuffers& b)
{
    if (++b.stamp == 0) {
        // After 2^32 steps old stamps could look current again: start the map afresh.
        for (uint32_t i = 0; i <= kNeighbourMask; ++i) {
            b.slots[i].stamp = 0;
        }
        b.stamp = 1;
    }
}

}  // namespace

// Every live cell adds one to each of its eight neighbours' tallies; a dead cell enters the
// candidate list the first time it is touched, which is its first appearance among the dead
// candidates. All decisions are taken before anything changes.
bool StepGeneration(CellChangeListener listener)
{
    StepBuffers* buffers = GetStepBuffers();
    const int32_t n = count;
    if (!buffers || n <= 0) {
        return true;
    }
    StepBuffers& b = *buffers;
    Cell* cells = TableEntries();
    NewStamp(b);

    bool isNew = false;
    for (int32_t i = 0; i < n; ++i) {
        uint32_t slot = Tally(b, cells[i], isNew);
        b.slots[slot].alive = 1;
        b.liveSlots[i] = slot;
    }

    int32_t candidateCount = 0;
    for (int32_t i = 0; i < n; ++i) {
        const Cell c = cells[i];
        for (int32_t dy = -1; dy <= 1; ++dy) {
            for (int32_t dx = -1; dx <= 1; ++dx) {
                if (dx == 0 && dy == 0) {
                    continue;
                }
                const Cell neighbour = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
                uint32_t slot = Tally(b, neighbour, isNew);
                ++b.slots[slot].neighbours;
                if (isNew) {
                    b.candidates[candidateCount++] = {neighbour, slot};
                }
            }
        }
    }

    int32_t survivors = 0;
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t k = b.slots[b.liveSlots[i]].neighbours;
        survivors += (k == 2 || k == 3) ? 1 : 0;
    }
    int32_t births = 0;
    for (int32_t i = 0; i < candidateCount; ++i) {
        if (b.slots[b.candidates[i].slot].neighbours == 3) {
            b.candidates[births++] = b.candidates[i];
        }
    }
    if (survivors + births > kMaxCells) {
        lastRefusedPopulation = survivors + births;
        return false;
    }

    // Deaths leave in one stable pass, announced in table order.
    int32_t kept = 0;
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t k = b.slots[b.liveSlots[i]].neighbours;
        if (k == 2 || k == 3) {
            cells[kept++] = cells[i];
        } else {
            IndexErase(cells[i]);
            if (listener) {
                listener(cells[i].x, cells[i].y, false);
            }
        }
    }
    SetCount(kept);
    for (int32_t i = 0; i < births; ++i) {
        const Cell c = b.candidates[i].cell;
        cells[kept++] = c;
        SetCount(kept);
        IndexInsert(c);
        if (listener) {
            listener(c.x, c.y, true);
        }
    }
    return true;
}

int32_t LastRefusedPopulation()
{
    return lastRefusedPopulation;
}
