#include "hash_step_model.h"

#include <cstddef>

namespace {

constexpr uint32_t kTallyBits = 18;
// The eight neighbours' offsets, row by row.
constexpr Cell kAround[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

// The cell's count in this step's tally, claimed at zero (`isNew`) the first time the step meets it.
HashTally& Tally(HashBoard& b, Cell c, bool& isNew)
{
    const uint64_t key = uint64_t{static_cast<uint32_t>(c.x)} << 32 | static_cast<uint32_t>(c.y);
    std::size_t i = (key * 0x9E3779B97F4A7C15ull) >> (64 - kTallyBits);
    while (b.tally[i].stamp == b.stamp && b.tally[i].cell != c) {
        i = (i + 1) & (b.tally.size() - 1);
    }
    isNew = b.tally[i].stamp != b.stamp;
    if (isNew) {
        b.tally[i] = {c, b.stamp, 0};
    }
    return b.tally[i];
}

}  // namespace

// Live cells claim their tallies first, so a dead cell is a candidate the first time a live
// neighbour touches it; the born follow the survivors in that order.
bool HashStep(HashBoard& b, std::vector<CellChange>* changes)
{
    b.tally.resize(std::size_t{1} << kTallyBits);
    ++b.stamp;
    bool isNew = false;
    b.live.clear();
    b.candidates.clear();
    for (Cell c : b.cells) {
        b.live.push_back(&Tally(b, c, isNew));
    }
    for (Cell c : b.cells) {
        for (Cell d : kAround) {
            HashTally& t = Tally(b, {WrapAdd(c.x, d.x), WrapAdd(c.y, d.y)}, isNew);
            ++t.neighbours;
            if (isNew) {
                b.candidates.push_back(&t);
            }
        }
    }
    std::vector<Cell> next;
    std::vector<CellChange> log;
    next.reserve(2 * b.cells.size());
    log.reserve(2 * b.cells.size());
    for (const HashTally* t : b.live) {
        if (t->neighbours == 2 || t->neighbours == 3) {
            next.push_back(t->cell);
        } else {
            log.push_back({t->cell.x, t->cell.y, false});
        }
    }
    for (const HashTally* t : b.candidates) {
        if (t->neighbours == 3) {
            next.push_back(t->cell);
            log.push_back({t->cell.x, t->cell.y, true});
        }
    }
    if (next.size() > std::size_t{kMaxCells}) {
        b.refusedPopulation = static_cast<int32_t>(next.size());
        return false;
    }
    b.cells = next;
    if (changes) {
        changes->insert(changes->end(), log.begin(), log.end());
    }
    return true;
}
