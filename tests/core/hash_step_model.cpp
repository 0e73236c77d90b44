#include "hash_step_model.h"

#include <cstddef>

namespace {

constexpr uint32_t kIndexBits = 15;
constexpr uint32_t kTallyBits = 18;

uint32_t Hash(Cell c, uint32_t bits)
{
    const uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(c.x)) << 32) | static_cast<uint32_t>(c.y);
    return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

uint32_t FindSlot(const HashBoard& b, Cell c)
{
    const uint32_t mask = (1u << kIndexBits) - 1;
    uint32_t i = Hash(c, kIndexBits);
    while (b.used[i] && b.index[i] != c) {
        i = (i + 1) & mask;
    }
    return i;
}

void IndexErase(HashBoard& b, Cell c)
{
    const uint32_t mask = (1u << kIndexBits) - 1;
    uint32_t hole = FindSlot(b, c);
    uint32_t next = hole;
    for (;;) {
        next = (next + 1) & mask;
        if (!b.used[next]) {
            break;
        }
        const uint32_t home = Hash(b.index[next], kIndexBits);
        const bool homeBetween = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (!homeBetween) {
            b.index[hole] = b.index[next];
            hole = next;
        }
    }
    b.used[hole] = 0;
}

uint32_t Tally(HashBoard& b, Cell c, bool& isNew)
{
    const uint32_t mask = (1u << kTallyBits) - 1;
    uint32_t i = Hash(c, kTallyBits);
    for (;;) {
        HashTally& s = b.tally[i];
        if (s.stamp != b.stamp) {
            s = {c, b.stamp, 0};
            isNew = true;
            return i;
        }
        if (s.cell == c) {
            isNew = false;
            return i;
        }
        i = (i + 1) & mask;
    }
}

bool Lives(uint8_t k)
{
    return k == 2 || k == 3;
}

}  // namespace

void HashBoardInit(HashBoard& b)
{
    b.cells.reserve(kMaxCells + 1);
    b.index.assign(std::size_t{1} << kIndexBits, Cell{0, 0});
    b.used.assign(std::size_t{1} << kIndexBits, 0);
    b.tally.assign(std::size_t{1} << kTallyBits, HashTally{{0, 0}, 0, 0});
    b.stamp = 0;
    b.liveSlots.resize(kMaxCells);
    b.candidates.resize(8 * std::size_t{kMaxCells});
    b.candidateSlots.resize(8 * std::size_t{kMaxCells});
}

bool HashIsAlive(const HashBoard& b, int32_t x, int32_t y)
{
    return b.used[FindSlot(b, {x, y})] != 0;
}

bool HashAdd(HashBoard& b, int32_t x, int32_t y)
{
    const uint32_t slot = FindSlot(b, {x, y});
    if (static_cast<int32_t>(b.cells.size()) >= kMaxCells || b.used[slot]) {
        return false;
    }
    b.index[slot] = {x, y};
    b.used[slot] = 1;
    b.cells.push_back({x, y});
    return true;
}

void HashRemove(HashBoard& b, int32_t x, int32_t y)
{
    if (!HashIsAlive(b, x, y)) {
        return;
    }
    for (std::size_t i = 0; i < b.cells.size(); ++i) {
        if (b.cells[i] == Cell{x, y}) {
            b.cells.erase(b.cells.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    IndexErase(b, {x, y});
}

void HashClear(HashBoard& b)
{
    for (const Cell& c : b.cells) {
        IndexErase(b, c);
    }
    b.cells.clear();
}

bool HashStep(HashBoard& b, std::vector<CellChange>* changes)
{
    const std::size_t n = b.cells.size();
    if (++b.stamp == 0) {
        for (HashTally& s : b.tally) {
            s.stamp = 0;
        }
        b.stamp = 1;
    }
    bool isNew = false;
    for (std::size_t i = 0; i < n; ++i) {
        b.liveSlots[i] = Tally(b, b.cells[i], isNew);
    }
    std::size_t candidateCount = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Cell c = b.cells[i];
        for (int32_t dy = -1; dy <= 1; ++dy) {
            for (int32_t dx = -1; dx <= 1; ++dx) {
                if (dx == 0 && dy == 0) {
                    continue;
                }
                const Cell neighbour = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
                const uint32_t slot = Tally(b, neighbour, isNew);
                ++b.tally[slot].neighbours;
                if (isNew) {
                    b.candidates[candidateCount] = neighbour;
                    b.candidateSlots[candidateCount++] = slot;
                }
            }
        }
    }
    std::size_t survivors = 0;
    for (std::size_t i = 0; i < n; ++i) {
        survivors += Lives(b.tally[b.liveSlots[i]].neighbours) ? 1 : 0;
    }
    std::size_t births = 0;
    for (std::size_t i = 0; i < candidateCount; ++i) {
        if (b.tally[b.candidateSlots[i]].neighbours == 3) {
            b.candidates[births++] = b.candidates[i];
        }
    }
    if (survivors + births > static_cast<std::size_t>(kMaxCells)) {
        b.refusedPopulation = static_cast<int32_t>(survivors + births);
        return false;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Cell c = b.cells[i];
        if (Lives(b.tally[b.liveSlots[i]].neighbours)) {
            b.cells[kept++] = c;
        } else {
            IndexErase(b, c);
            if (changes) {
                changes->push_back({c.x, c.y, false});
            }
        }
    }
    b.cells.resize(kept);
    for (std::size_t i = 0; i < births; ++i) {
        const Cell c = b.candidates[i];
        const uint32_t slot = FindSlot(b, c);
        b.cells.push_back(c);
        b.index[slot] = c;
        b.used[slot] = 1;
        if (changes) {
            changes->push_back({c.x, c.y, true});
        }
    }
    return true;
}
