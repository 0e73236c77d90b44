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
        if (buffers) {
            buffers->deathCount = 0;
            buffers->births = 0;
        }
        return true;
    }
    StepBuffers& b = *buffers;
    b.deathCount = 0;
    b.births = 0;
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

    // Deaths leave in one stable pass, announced in table order and noted with their positions.
    int32_t kept = 0;
    int32_t deaths = 0;
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t k = b.slots[b.liveSlots[i]].neighbours;
        if (k == 2 || k == 3) {
            cells[kept++] = cells[i];
        } else {
            b.deaths[deaths++] = {cells[i], i};
            IndexErase(cells[i]);
            if (listener) {
                listener(cells[i].x, cells[i].y, false);
            }
        }
    }
    SetCount(kept);
    b.deathCount = deaths;
    b.births = births;
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

bool UndoStep(const DeadCell* dead, int32_t deadCount, int32_t born, CellChangeListener listener)
{
    const int32_t n = count;
    Cell* cells = TableEntries();
    if (born < 0 || born > n || deadCount < 0 || deadCount > kMaxCells - (n - born) || (!cells && n + deadCount > 0)) {
        return false;
    }
    // Each dead cell must be dead now and fit in the restored table, positions ascending.
    const int32_t restored = n - born + deadCount;
    for (int32_t i = 0; i < deadCount; ++i) {
        const int32_t p = dead[i].position;
        if (p < 0 || p >= restored || (i > 0 && p <= dead[i - 1].position) || IsAlive(dead[i].cell.x, dead[i].cell.y)) {
            return false;
        }
    }

    for (int32_t i = n - born; i < n; ++i) {
        IndexErase(cells[i]);
        if (listener) {
            listener(cells[i].x, cells[i].y, false);
        }
    }
    // Survivors move up from the back, leaving each dead cell's old position free.
    int32_t from = n - born;
    int32_t d = deadCount;
    for (int32_t to = restored - 1; d > 0 && to >= 0; --to) {
        if (dead[d - 1].position == to) {
            cells[to] = dead[--d].cell;
        } else {
            cells[to] = cells[--from];
        }
    }
    SetCount(restored);
    for (int32_t i = 0; i < deadCount; ++i) {
        IndexInsert(dead[i].cell);
        if (listener) {
            listener(dead[i].cell.x, dead[i].cell.y, true);
        }
    }
    return true;
}
