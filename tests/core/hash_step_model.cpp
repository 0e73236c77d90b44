#include "hash_step_model.h"

#include <cstddef>

namespace {

constexpr uint32_t kTallyBits = 18;
constexpr uint32_t kTallyMask = (1u << kTallyBits) - 1;

// The cell's slot in this step's tally, claimed with a zero count when the cell is new to it.
uint32_t Tally(HashBoard& b, Cell c, bool& isNew)
{
    const uint64_t key = uint64_t{static_cast<uint32_t>(c.x)} << 32 | static_cast<uint32_t>(c.y);
    uint32_t i = static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kTallyBits));
    while (b.tally[i].stamp == b.stamp && b.tally[i].cell != c) {
        i = (i + 1) & kTallyMask;
    }
    isNew = b.tally[i].stamp != b.stamp;
    if (isNew) {
        b.tally[i] = {c, b.stamp, 0};
    }
    return i;
}

bool Lives(uint8_t neighbours)
{
    return neighbours == 2 || neighbours == 3;
}
}  // namespace

void HashBoardInit(HashBoard& b)
{
    b.cells.clear();
    b.cells.reserve(kMaxCells);
    b.tally.assign(std::size_t{1} << kTallyBits, HashTally{{0, 0}, 0, 0});
    b.liveSlots.resize(kMaxCells);
    b.candidates.resize(8 * std::size_t{kMaxCells});
    b.candidateSlots.resize(8 * std::size_t{kMaxCells});
}

bool HashAdd(HashBoard& b, int32_t x, int32_t y)
{
    if (b.cells.size() >= std::size_t{kMaxCells}) {
        return false;
    }
    b.cells.push_back({x, y});
    return true;
}

void HashClear(HashBoard& b)
{
    b.cells.clear();
}

// Live cells claim their slots first, so a dead cell is a candidate the first time a live
// neighbour touches it.
bool HashStep(HashBoard& b, std::vector<CellChange>* changes)
{
    if (++b.stamp == 0) {  // after 2^32 steps old stamps could look current again
        for (HashTally& t : b.tally) {
            t.stamp = 0;
        }
        b.stamp = 1;
    }
    const std::size_t n = b.cells.size();
    bool isNew = false;
    for (std::size_t i = 0; i < n; ++i) {
        b.liveSlots[i] = Tally(b, b.cells[i], isNew);
    }
    std::size_t candidates = 0;
    for (std::size_t i = 0; i < n; ++i) {
        for (int32_t dy = -1; dy <= 1; ++dy) {
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const Cell c = {WrapAdd(b.cells[i].x, dx), WrapAdd(b.cells[i].y, dy)};
                if (dx == 0 && dy == 0) {
                    continue;
                }
                const uint32_t slot = Tally(b, c, isNew);
                ++b.tally[slot].neighbours;
                if (isNew) {
                    b.candidates[candidates] = c;
                    b.candidateSlots[candidates++] = slot;
                }
            }
        }
    }
    std::size_t survivors = 0;
    std::size_t births = 0;
    for (std::size_t i = 0; i < n; ++i) {
        survivors += Lives(b.tally[b.liveSlots[i]].neighbours) ? 1 : 0;
    }
    for (std::size_t i = 0; i < candidates; ++i) {
        if (b.tally[b.candidateSlots[i]].neighbours == 3) {
            b.candidates[births++] = b.candidates[i];
        }
    }
    if (survivors + births > std::size_t{kMaxCells}) {
        b.refusedPopulation = static_cast<int32_t>(survivors + births);
        return false;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Cell c = b.cells[i];
        if (Lives(b.tally[b.liveSlots[i]].neighbours)) {
            b.cells[kept++] = c;
        } else if (changes) {
            changes->push_back({c.x, c.y, false});
        }
    }
    b.cells.resize(kept);
    for (std::size_t i = 0; i < births; ++i) {
        b.cells.push_back(b.candidates[i]);
        if (changes) {
            changes->push_back({b.candidates[i].x, b.candidates[i].y, true});
        }
    }
    return true;
}
