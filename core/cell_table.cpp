#include "cell_table.h"

#include <cstdlib>
#include <cstring>

#include "cell_index.h"

namespace {

struct IndexSlot {
    Cell cell;
    uint32_t used;
};

constexpr uint32_t kIndexSize = 1u << kIndexBits;
constexpr uint32_t kIndexMask = kIndexSize - 1;

int32_t liveCount = 0;
Cell* cells = nullptr;
IndexSlot* liveIndex = nullptr;
StepBuffers buffers = {};

uint32_t FindSlot(Cell cell)
{
    uint32_t i = HashCell(cell.x, cell.y, kIndexBits);
    while (liveIndex[i].used && liveIndex[i].cell != cell) {
        i = (i + 1) & kIndexMask;
    }
    return i;
}

template <typename T>
T* Reserve(size_t n)
{
    return static_cast<T*>(std::calloc(n, sizeof(T)));
}

}  // namespace

const int32_t& count = liveCount;

bool AllocateCellStorage()
{
    if (cells) {
        return true;
    }
    cells = Reserve<Cell>(kMaxCells);
    liveIndex = Reserve<IndexSlot>(kIndexSize);
    buffers.slots = Reserve<NeighbourSlot>(size_t{1} << kNeighbourBits);
    buffers.liveSlots = Reserve<uint32_t>(kMaxCells);
    buffers.candidates = Reserve<Candidate>(8 * size_t{kMaxCells});
    buffers.deaths = Reserve<DeadCell>(kMaxCells);
    buffers.stamp = 0;
    if (!cells || !liveIndex || !buffers.slots || !buffers.liveSlots || !buffers.candidates || !buffers.deaths) {
        ReleaseCellStorage();
        return false;
    }
    // Entries added before the storage existed cannot be there, so none are kept.
    liveCount = 0;
    return true;
}

void ReleaseCellStorage()
{
    std::free(cells);
    std::free(liveIndex);
    std::free(buffers.slots);
    std::free(buffers.liveSlots);
    std::free(buffers.candidates);
    std::free(buffers.deaths);
    cells = nullptr;
    liveIndex = nullptr;
    buffers = {};
    liveCount = 0;
}

Cell CellAt(int32_t i)
{
    return cells[i];
}

bool IsAlive(int32_t x, int32_t y)
{
    if (liveCount <= 0) {
        return false;
    }
    return liveIndex[FindSlot({x, y})].used != 0;
}

int32_t CountNeighbours(int32_t x, int32_t y)
{
    int32_t n = 0;
    for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            if ((dx != 0 || dy != 0) && IsAlive(WrapAdd(x, dx), WrapAdd(y, dy))) {
                ++n;
            }
        }
    }
    return n;
}

bool AddCell(int32_t x, int32_t y)
{
    if (!cells || liveCount >= kMaxCells) {
        return false;
    }
    uint32_t slot = FindSlot({x, y});
    if (liveIndex[slot].used) {
        return false;  // already alive: a second entry would break the one-entry-per-cell rule
    }
    liveIndex[slot] = {{x, y}, 1};
    cells[liveCount++] = {x, y};
    return true;
}

void RemoveCell(int32_t x, int32_t y)
{
    if (!IsAlive(x, y)) {
        return;
    }
    int32_t i = 0;
    while (cells[i] != Cell{x, y}) {
        ++i;
    }
    std::memmove(cells + i, cells + i + 1, sizeof(Cell) * static_cast<size_t>(liveCount - i - 1));
    --liveCount;
    IndexErase({x, y});
}

void ClearCells()
{
    if (liveIndex && liveCount > 0) {
        std::memset(liveIndex, 0, sizeof(IndexSlot) * kIndexSize);
    }
    liveCount = 0;
}

StepBuffers* GetStepBuffers()
{
    return cells ? &buffers : nullptr;
}

Cell* TableEntries()
{
    return cells;
}

void SetCount(int32_t newCount)
{
    liveCount = newCount;
}

void IndexInsert(Cell cell)
{
    liveIndex[FindSlot(cell)] = {cell, 1};
}

// Backward-shift deletion: later members of the probe run move up so that no lookup
// stops early at the hole, and no tombstones build up over a long run.
void IndexErase(Cell cell)
{
    uint32_t hole = FindSlot(cell);
    if (!liveIndex[hole].used) {
        return;
    }
    uint32_t next = hole;
    for (;;) {
        next = (next + 1) & kIndexMask;
        if (!liveIndex[next].used) {
            break;
        }
        uint32_t home = HashCell(liveIndex[next].cell.x, liveIndex[next].cell.y, kIndexBits);
        // Move the entry into the hole unless its home lies cyclically in (hole, next].
        bool homeBetween = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (!homeBetween) {
            liveIndex[hole] = liveIndex[next];
            hole = next;
        }
    }
    liveIndex[hole].used = 0;
}
