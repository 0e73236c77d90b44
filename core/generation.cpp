#include "generation.h"

#include <cstring>

#include "cell_index.h"
#include "cell_table.h"
#include "tile_bits.h"

namespace {

int32_t lastRefusedPopulation = 0;

// The rows of the tile that can hold a live cell next: those within one row of a live cell of the
// tile or of the edges of its neighbours that face it. Every other row stays empty.
uint16_t RowsThatCanLive(const Tile* tiles, const Tile& t)
{
    const auto at = [&](int d) -> const Tile& { return tiles[t.link[d]]; };
    uint16_t rows = GrowRows(t.liveRows | at(kWest).eastRows | at(kEast).westRows);
    const uint16_t above = at(kNorth).liveRows | at(kNorthWest).eastRows | at(kNorthEast).westRows;
    const uint16_t below = at(kSouth).liveRows | at(kSouthWest).eastRows | at(kSouthEast).westRows;
    if (above & kBottomRow) {
        rows |= kTopRow;
    }
    if (below & kTopRow) {
        rows |= kBottomRow;
    }
    return rows;
}

// Rows r and r + 1 of three tiles side by side, summed at once.
Sums<RowPair> SumPairAcross(const Tile& west, const Tile& mid, const Tile& east, int32_t r)
{
    RowPair w;
    RowPair m;
    RowPair e;
    std::memcpy(&w, &west.cur[r], sizeof w);
    std::memcpy(&m, &mid.cur[r], sizeof m);
    std::memcpy(&e, &east.cur[r], sizeof e);
    return SumRow(w, m, e);
}

// A single row's sums as the upper element of a pair, the lower one empty.
Sums<RowPair> UpperOf(const RowSums& s)
{
    return {RowPair{s.mid, 0}, RowPair{s.sum2, 0}, RowPair{s.carry2, 0}, RowPair{s.sum3, 0}, RowPair{s.carry3, 0}};
}

// Fills the band of next rows of every tile and their masks, two rows at a time from an even row:
// a row next to the band is empty next, so computing it too does no harm. Each pair's
// neighbourhood is fetched and summed once. The tiles above and below are read only when the band
// reaches the tile's top or bottom row.
void ComputeNext(CellStore& s)
{
    const Tile* tiles = s.tiles;
    constexpr int32_t kLast = kTileHeight - 1;
    for (int32_t i = 0; i < s.tileCount; ++i) {
        Tile& t = s.tiles[s.tileList[i]];
        t.band = RowsThatCanLive(tiles, t);
        uint32_t live = 0;
        uint64_t any = 0;
        if (t.band != 0) {
            const Tile& west = tiles[t.link[kWest]];
            const Tile& east = tiles[t.link[kEast]];
            const int32_t first = LowestBit(t.band) & ~1;
            const int32_t last = HighestBit(t.band) | 1;
            // The row above the first pair, as the lower element of `above`.
            const Tile& north = tiles[t.link[kNorth]];
            const RowSums top = first == 0 ? SumRow(tiles[t.link[kNorthWest]].cur[kLast], north.cur[kLast],
                                                    tiles[t.link[kNorthEast]].cur[kLast])
                                           : SumRow(west.cur[first - 1], t.cur[first - 1], east.cur[first - 1]);
            RowPair aboveSum = {0, top.sum3};
            RowPair aboveCarry = {0, top.carry3};
            Sums<RowPair> pair = SumPairAcross(west, t, east, first);
            RowPair anyPair = {0, 0};
            RowPair liveBits = {0, 0};
            for (int32_t r = first; r <= last; r += 2) {
                const Sums<RowPair> below =
                    r + 2 < kTileHeight ? SumPairAcross(west, t, east, r + 2)
                                        : UpperOf(SumRow(tiles[t.link[kSouthWest]].cur[0], tiles[t.link[kSouth]].cur[0],
                                                         tiles[t.link[kSouthEast]].cur[0]));
                const RowPair next = NextRow(Straddle(aboveSum, pair.sum3), Straddle(aboveCarry, pair.carry3), pair,
                                             Straddle(pair.sum3, below.sum3), Straddle(pair.carry3, below.carry3));
                std::memcpy(&t.next[r], &next, sizeof next);
                // A row is nonzero exactly when it or its negation has the top bit set. Bit r of
                // element 0 and bit r + 1 of element 1 (after its shift below) are the rows' bits.
                liveBits |= ((next | (RowPair{0, 0} - next)) >> 63) << r;
                anyPair |= next;
                aboveSum = pair.sum3;
                aboveCarry = pair.carry3;
                pair = below;
            }
            any = anyPair[0] | anyPair[1];
            live = static_cast<uint32_t>(liveBits[0] | (liveBits[1] << 1));
        }
        t.nextLiveRows = static_cast<uint16_t>(live);
        uint32_t westRows = 0;
        uint32_t eastRows = 0;
        // Cells on the west or east edge are rare: the masks are read off the rows only then.
        if ((any & 0x8000000000000001ull) != 0) {
            for (int32_t r = LowestBit(t.band), last = HighestBit(t.band); r <= last; ++r) {
                westRows |= static_cast<uint32_t>(t.next[r] & 1u) << r;
                eastRows |= static_cast<uint32_t>(t.next[r] >> 63) << r;
            }
        }
        t.nextWestRows = static_cast<uint16_t>(westRows);
        t.nextEastRows = static_cast<uint16_t>(eastRows);
    }
}

// A birth not yet handed to a live cell is a bit of next & ~cur. Taking it sets its cur bit: the
// pass over the table reads cur only for this, and cur is replaced by next afterwards. Every row a
// window reads lies in its tile's band, so no stale next row is ever read.
uint64_t Pending(const Tile& t, int32_t r)
{
    return t.next[r] & ~t.cur[r];
}

// The offsets of bit k of a 3x3 window from its middle.
constexpr int8_t kWindowDx[9] = {-1, 0, 1, -1, 0, 1, -1, 0, 1};
constexpr int8_t kWindowDy[9] = {-1, -1, -1, 0, 0, 0, 1, 1, 1};

void TakeBirth(CellStore& s, Cell c, int32_t k, int32_t ti, int32_t bx, int32_t by, int32_t& births)
{
    const int32_t dy = kWindowDy[k];
    const int32_t dx = kWindowDx[k];
    s.tiles[ti].cur[by] |= uint64_t{1} << bx;
    s.births[births] = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
    s.birthTile[births] = ti;
    ++births;
}

// Hands the live cell at bit (bx, by) of tile ti every pending birth in its 3x3 window, in the
// order dy = -1..1, dx = -1..1: the window's bits, lowest first.
void TakeBirthsInside(CellStore& s, Cell c, int32_t ti, int32_t bx, int32_t by, int32_t& births)
{
    const Tile& t = s.tiles[ti];
    uint32_t window = WindowBits(Pending(t, by - 1), Pending(t, by), Pending(t, by + 1), bx);
    while (window != 0) {
        const int32_t k = LowestBit(window);
        window &= window - 1;
        TakeBirth(s, c, k, ti, bx + kWindowDx[k], by + kWindowDy[k], births);
    }
}

// The tile dx, dy tiles away (each -1..1) from tile ti.
int32_t Toward(const Tile& t, int32_t ti, int dx, int dy)
{
    return (dx == 0 && dy == 0) ? ti : t.link[DirectionOf(dx, dy)];
}

// The same for a cell on the tile's edge, whose window reaches into the tiles around.
void TakeBirthsAtEdge(CellStore& s, Cell c, int32_t ti, int32_t bx, int32_t by, int32_t& births)
{
    const Tile& t = s.tiles[ti];
    uint32_t window = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        const int32_t ny = by + dy;
        const int tdy = ny < 0 ? -1 : (ny >= kTileHeight ? 1 : 0);
        const int32_t r = ny & (kTileHeight - 1);
        const uint64_t mid = Pending(s.tiles[Toward(t, ti, 0, tdy)], r);
        uint32_t three;
        if (bx == 0) {
            three = static_cast<uint32_t>((Pending(s.tiles[Toward(t, ti, -1, tdy)], r) >> 63) | ((mid & 3u) << 1));
        } else if (bx == kTileWidth - 1) {
            three = static_cast<uint32_t>((mid >> 62) | ((Pending(s.tiles[Toward(t, ti, 1, tdy)], r) & 1u) << 2));
        } else {
            three = ThreeBits(mid, bx);
        }
        window |= three << (3 * (dy + 1));
    }
    while (window != 0) {
        const int32_t k = LowestBit(window);
        window &= window - 1;
        const int32_t nx = bx + kWindowDx[k];
        const int32_t ny = by + kWindowDy[k];
        const int tdx = nx < 0 ? -1 : (nx >= kTileWidth ? 1 : 0);
        const int tdy = ny < 0 ? -1 : (ny >= kTileHeight ? 1 : 0);
        TakeBirth(s, c, k, Toward(t, ti, tdx, tdy), nx & (kTileWidth - 1), ny & (kTileHeight - 1), births);
    }
}

struct NextTableCounts {
    int32_t survivors;
    int32_t deaths;
    int32_t births;
};

// One pass over the table in order writes the survivors to the spare half, notes the positions of
// the dead, and hands each birth to its first live neighbour in table order, which is where the
// candidate list would first have met it. Only the taken births' cur bits change (UndoBirths
// clears them); the rest is scratch.
NextTableCounts WriteNextTable(CellStore& s, int32_t n)
{
    const Cell* cells = s.entries[s.side];
    const int32_t* tileOf = s.entryTile[s.side];
    Cell* kept = s.entries[1 - s.side];
    int32_t* keptTile = s.entryTile[1 - s.side];
    NextTableCounts r = {0, 0, 0};
    for (int32_t i = 0; i < n; ++i) {
        const Cell c = cells[i];
        const int32_t ti = tileOf[i];
        const int32_t bx = static_cast<int32_t>(static_cast<uint32_t>(c.x) & (kTileWidth - 1));
        const int32_t by = static_cast<int32_t>(static_cast<uint32_t>(c.y) & (kTileHeight - 1));
        // Both written, one kept: whether a cell of a soup survives is a coin toss, and a
        // mispredicted branch costs more than the two stores.
        const int32_t lives = static_cast<int32_t>((s.tiles[ti].next[by] >> bx) & 1u);
        kept[r.survivors] = c;
        keptTile[r.survivors] = ti;
        r.survivors += lives;
        s.deaths[r.deaths] = {c, i};
        r.deaths += 1 - lives;
        if (bx > 0 && bx < kTileWidth - 1 && by > 0 && by < kTileHeight - 1) {
            TakeBirthsInside(s, c, ti, bx, by, r.births);
        } else {
            TakeBirthsAtEdge(s, c, ti, bx, by, r.births);
        }
    }
    return r;
}

// Newborns were dead, so clearing their bits gives the live rows back exactly.
void UndoBirths(CellStore& s, int32_t births)
{
    for (int32_t i = 0; i < births; ++i) {
        const Cell c = s.births[i];
        s.tiles[s.birthTile[i]].cur[static_cast<uint32_t>(c.y) & (kTileHeight - 1)] &=
            ~(uint64_t{1} << (static_cast<uint32_t>(c.x) & (kTileWidth - 1)));
    }
}

}  // namespace

// The next generation is computed on the tiles and sorted out against the table; when it fits,
// the table takes it, the tiles take the new rows, and the listener hears deaths, then births.
bool StepGeneration(CellChangeListener listener)
{
    CellStore* store = GetCellStore();
    const int32_t n = count;
    if (!store || n <= 0) {
        if (store) {
            store->deathCount = 0;
            store->bornCount = 0;
        }
        return true;
    }
    CellStore& s = *store;
    ComputeNext(s);
    const NextTableCounts r = WriteNextTable(s, n);
    if (r.survivors + r.births > kMaxCells) {
        UndoBirths(s, r.births);
        s.deathCount = 0;
        s.bornCount = 0;
        lastRefusedPopulation = r.survivors + r.births;
        return false;
    }
    s.deathCount = r.deaths;
    s.bornCount = r.births;
    Cell* after = s.entries[1 - s.side];
    std::memcpy(after + r.survivors, s.births, sizeof(Cell) * static_cast<size_t>(r.births));
    std::memcpy(s.entryTile[1 - s.side] + r.survivors, s.birthTile, sizeof(int32_t) * static_cast<size_t>(r.births));
    s.side = 1 - s.side;
    SetCount(r.survivors + r.births);
    AdoptNextRows();
    if (listener) {
        const DeadCell* dead = s.deaths;
        const Cell* born = s.births;
        for (int32_t i = 0; i < r.deaths; ++i) {
            listener(dead[i].cell.x, dead[i].cell.y, false);
        }
        for (int32_t i = 0; i < r.births; ++i) {
            listener(born[i].x, born[i].y, true);
        }
    }
    return true;
}

int32_t LastRefusedPopulation()
{
    return lastRefusedPopulation;
}
