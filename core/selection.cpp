#include "selection.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// A cell as one sortable number, for the membership tests of a paste.
uint64_t KeyOf(Cell c)
{
    return (uint64_t{static_cast<uint32_t>(c.x)} << 32) | static_cast<uint32_t>(c.y);
}

uint64_t BlockKey(Cell offset)
{
    return uint64_t{static_cast<uint32_t>(offset.x) >> 3} << 32 | static_cast<uint32_t>(offset.y) >> 3;
}

uint64_t BlockBit(Cell offset)
{
    return uint64_t{1} << ((static_cast<uint32_t>(offset.y) & 7) * 8 + (static_cast<uint32_t>(offset.x) & 7));
}

// The block's slot in the stamp's table, or the empty slot where it would go. The probe starts at
// the product's top bits, which every bit of the key reaches (the low ones would see only the low
// bits of the row), the same on a 32-bit build.
size_t BlockSlot(const std::vector<Stamp::Block>& blocks, uint64_t key)
{
    const size_t mask = blocks.size() - 1;
    size_t slot = static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> (64 - __builtin_ctzll(blocks.size())));
    // At most half full, so a run of taken slots ends soon.
    while (blocks[slot].key != key && blocks[slot].key != kNoBlock) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

// The survivors in order (the cells outside `from`), then every cell of `from` mapped into `to`
// that is not a survivor already. Maps are one-to-one from `from` onto `to`, so the moved cells
// are distinct.
template <typename Map>
std::vector<Cell> Move(const std::vector<Cell>& board, CellRect from, CellRect to, Map map)
{
    std::vector<Cell> kept;
    std::vector<Cell> moved;
    std::vector<uint64_t> landing;  // survivors a moved cell may land on
    kept.reserve(board.size());
    for (Cell c : board) {
        if (RectContains(from, c)) {
            moved.push_back(map(c));
        } else {
            kept.push_back(c);
            if (RectContains(to, c)) {
                landing.push_back(KeyOf(c));
            }
        }
    }
    std::sort(landing.begin(), landing.end());
    for (Cell c : moved) {
        if (landing.empty() || !std::binary_search(landing.begin(), landing.end(), KeyOf(c))) {
            kept.push_back(c);
        }
    }
    return kept;
}

std::vector<Cell> Filter(const std::vector<Cell>& board, CellRect r, bool inside)
{
    std::vector<Cell> kept;
    kept.reserve(board.size());
    std::copy_if(board.begin(), board.end(), std::back_inserter(kept),
                 [r, inside](Cell c) { return RectContains(r, c) == inside; });
    return kept;
}

// `steps` cells on from `from`: offsets within a rectangle are unsigned and wrap with the plane.
int32_t Ahead(int32_t from, uint32_t steps)
{
    return WrapAdd(from, static_cast<int32_t>(steps));
}

}  // namespace

uint64_t RectCellCount(CellRect r)
{
    const uint64_t width = RectWidth(r);
    const uint64_t height = RectHeight(r);
    // Only 2^32 x 2^32 overflows: any smaller side keeps the product below 2^64.
    return width == (uint64_t{1} << 32) && height == width ? UINT64_MAX : width * height;
}

CellRect RectBetween(Cell press, Cell current)
{
    const uint32_t half = uint32_t{1} << 31;
    const bool rightwards = StepsFrom(press.x, current.x) <= half;
    const bool downwards = StepsFrom(press.y, current.y) <= half;
    return {rightwards ? press.x : current.x, downwards ? press.y : current.y, rightwards ? current.x : press.x,
            downwards ? current.y : press.y};
}

bool RectAround(const std::vector<Cell>& cells, CellRect& rect)
{
    if (cells.empty()) {
        return false;
    }
    std::vector<int32_t> xs;
    std::vector<int32_t> ys;
    xs.reserve(cells.size());
    ys.reserve(cells.size());
    for (Cell c : cells) {
        xs.push_back(c.x);
        ys.push_back(c.y);
    }
    const PlaneArc across = ShortestArc(std::move(xs), INT32_MIN);
    const PlaneArc down = ShortestArc(std::move(ys), INT32_MIN);
    rect = {across.start, down.start, Ahead(across.start, static_cast<uint32_t>(across.length - 1)),
            Ahead(down.start, static_cast<uint32_t>(down.length - 1))};
    return true;
}

std::vector<Cell> CellsInside(const std::vector<Cell>& board, CellRect r)
{
    return Filter(board, r, true);
}

std::vector<Cell> CellsOutside(const std::vector<Cell>& board, CellRect r)
{
    return Filter(board, r, false);
}

std::vector<Cell> FlipLeftRight(const std::vector<Cell>& board, CellRect r)
{
    return Move(board, r, r, [r](Cell c) { return Cell{Ahead(r.left, StepsFrom(c.x, r.right)), c.y}; });
}

std::vector<Cell> FlipUpDown(const std::vector<Cell>& board, CellRect r)
{
    return Move(board, r, r, [r](Cell c) { return Cell{c.x, Ahead(r.top, StepsFrom(c.y, r.bottom))}; });
}

CellRect TurnedRect(CellRect r)
{
    // W and H reach 2^32, so their difference needs 64 bits; half of it fits 32 again. Dividing
    // rounds towards zero both ways, so the turn back moves the corner exactly back.
    const int64_t shift = (static_cast<int64_t>(RectWidth(r)) - static_cast<int64_t>(RectHeight(r))) / 2;
    const int32_t left = WrapAdd(r.left, static_cast<int32_t>(shift));
    const int32_t top = WrapSub(r.top, static_cast<int32_t>(shift));
    return {left, top, Ahead(left, StepsFrom(r.top, r.bottom)), Ahead(top, StepsFrom(r.left, r.right))};
}

// Clockwise, the bottom row becomes the left column: (left + i, top + j) goes to
// (left' + (H - 1 - j), top' + i).
std::vector<Cell> RotateClockwise(const std::vector<Cell>& board, CellRect r)
{
    const CellRect to = TurnedRect(r);
    return Move(board, r, to, [r, to](Cell c) {
        return Cell{Ahead(to.left, StepsFrom(c.y, r.bottom)), Ahead(to.top, StepsFrom(r.left, c.x))};
    });
}

// Anticlockwise, the top row becomes the left column: (left + i, top + j) goes to
// (left' + j, top' + (W - 1 - i)).
std::vector<Cell> RotateAnticlockwise(const std::vector<Cell>& board, CellRect r)
{
    const CellRect to = TurnedRect(r);
    return Move(board, r, to, [r, to](Cell c) {
        return Cell{Ahead(to.left, StepsFrom(r.top, c.y)), Ahead(to.top, StepsFrom(c.x, r.right))};
    });
}

uint64_t NextRandom(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

std::vector<Cell> RandomFill(const std::vector<Cell>& board, CellRect r, uint64_t& state)
{
    const uint64_t cells = RectCellCount(r);
    if (cells > kMaxFillCells) {
        return board;
    }
    std::vector<Cell> filled = CellsOutside(board, r);
    filled.reserve(filled.size() + static_cast<size_t>(cells));
    const uint32_t width = static_cast<uint32_t>(RectWidth(r));
    uint64_t bits = 0;
    for (uint64_t k = 0; k < cells; ++k) {
        if (k % 64 == 0) {
            bits = NextRandom(state);
        }
        if ((bits >> (k % 64)) & 1) {
            filled.push_back(
                {Ahead(r.left, static_cast<uint32_t>(k % width)), Ahead(r.top, static_cast<uint32_t>(k / width))});
        }
    }
    return filled;
}

namespace {
uint64_t fills = 0;
}  // namespace

void SeedFills(uint64_t seed)
{
    fills = seed;
}

std::vector<Cell> NextFill(const std::vector<Cell>& board, CellRect r)
{
    return RandomFill(board, r, fills);
}

Stamp MakeStamp(const std::vector<Cell>& pattern)
{
    Stamp stamp = {{}, {0, 0, 0, 0}, {}};
    CellRect box;
    if (!RectAround(pattern, box)) {
        return stamp;
    }
    stamp.box = {0, 0, WrapSub(box.right, box.left), WrapSub(box.bottom, box.top)};
    // Sorted by cell, then by position, so the first of equal cells is the one kept.
    std::vector<std::pair<uint64_t, size_t>> order(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        order[i] = {KeyOf(pattern[i]), i};
    }
    std::sort(order.begin(), order.end());
    std::vector<bool> repeated(pattern.size(), false);
    for (size_t i = 1; i < order.size(); ++i) {
        repeated[order[i].second] = order[i].first == order[i - 1].first;
    }
    stamp.cells.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (!repeated[i]) {
            stamp.cells.push_back({WrapSub(pattern[i].x, box.left), WrapSub(pattern[i].y, box.top)});
        }
    }
    std::vector<uint64_t> keys(stamp.cells.size());
    std::transform(stamp.cells.begin(), stamp.cells.end(), keys.begin(), BlockKey);
    std::sort(keys.begin(), keys.end());
    const size_t distinct = static_cast<size_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
    size_t slots = 2;
    while (slots < 2 * distinct) {
        slots *= 2;
    }
    stamp.blocks.assign(slots, {kNoBlock, 0});
    for (Cell c : stamp.cells) {
        Stamp::Block& block = stamp.blocks[BlockSlot(stamp.blocks, BlockKey(c))];
        block.key = BlockKey(c);
        block.bits |= BlockBit(c);
    }
    return stamp;
}

bool StampHas(const Stamp& stamp, Cell offset)
{
    if (stamp.blocks.empty()) {
        return false;
    }
    const Stamp::Block& block = stamp.blocks[BlockSlot(stamp.blocks, BlockKey(offset))];
    return block.key == BlockKey(offset) && (block.bits & BlockBit(offset)) != 0;
}

CellRect StampRect(const Stamp& stamp, Cell at)
{
    return {at.x, at.y, WrapAdd(at.x, stamp.box.right), WrapAdd(at.y, stamp.box.bottom)};
}

std::vector<Cell> PlaceStamp(const std::vector<Cell>& board, const Stamp& stamp, Cell at)
{
    std::vector<uint64_t> alive(board.size());
    std::transform(board.begin(), board.end(), alive.begin(), KeyOf);
    std::sort(alive.begin(), alive.end());
    std::vector<Cell> placed = board;
    placed.reserve(board.size() + stamp.cells.size());
    for (size_t k = 0; k < stamp.cells.size(); ++k) {
        const Cell c = StampCell(stamp, k, at);
        if (!std::binary_search(alive.begin(), alive.end(), KeyOf(c))) {
            placed.push_back(c);
        }
    }
    return placed;
}
