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

// Row r of three tiles side by side, summed.
RowSums SumAcross(const Tile& west, const Tile& mid, const Tile& east, int32_t r)
{
    return SumRow(west.cur[r], mid.cur[r], east.cur[r]);
}

struct NextMasks {
    uint32_t live;
    uint32_t west;
    uint32_t east;
};

struct NextAcc {
    uint32_t live;
    uint64_t any;
};

void KeepNextRow(Tile& t, int32_t r, uint64_t next, NextAcc& m)
{
    t.next[r] = next;
    m.live |= static_cast<uint32_t>(next != 0) << r;
    m.any |= next;
}

// Fills the band of next rows of every tile and their masks. Each row's neighbourhood is fetched
// and summed once. The tiles above and below are read only when the band reaches the tile's top or
// bottom row, so the loop over the rows inside stays free of edge tests.
void ComputeNext(CellStore& s)
{
    const Tile* tiles = s.tiles;
    for (int32_t i = 0; i < s.tileCount; ++i) {
        Tile& t = s.tiles[s.tileList[i]];
        NextAcc m = {0, 0};
        t.band = RowsThatCanLive(tiles, t);
        if (t.band != 0) {
            const Tile& west = tiles[t.link[kWest]];
            const Tile& east = tiles[t.link[kEast]];
            const int32_t first = LowestBit(t.band);
            const int32_t last = HighestBit(t.band);
            constexpr int32_t kLast = kTileHeight - 1;
            RowSums above = first == 0 ? SumAcross(tiles[t.link[kNorthWest]], tiles[t.link[kNorth]],
                                                   tiles[t.link[kNorthEast]], kLast)
                                       : SumAcross(west, t, east, first - 1);
            RowSums row = SumAcross(west, t, east, first);
            for (int32_t r = first, inner = last < kLast ? last : kLast - 1; r <= inner; ++r) {
                const RowSums below = SumAcross(west, t, east, r + 1);
                KeepNextRow(t, r, NextRow(above, row, below), m);
                above = row;
                row = below;
            }
            if (last == kLast) {
                const RowSums below =
                    SumAcross(tiles[t.link[kSouthWest]], tiles[t.link[kSouth]], tiles[t.link[kSouthEast]], 0);
                KeepNextRow(t, kLast, NextRow(above, row, below), m);
            }
        }
        t.nextLiveRows = static_cast<uint16_t>(m.live);
        uint32_t west = 0;
        uint32_t east = 0;
        // Cells on the west or east edge are rare: the masks are read off the rows only then.
        if ((m.any & 0x8000000000000001ull) != 0) {
            for (int32_t r = LowestBit(t.band), last = HighestBit(t.band); r <= last; ++r) {
                west |= static_cast<uint32_t>(t.next[r] & 1u) << r;
                east |= static_cast<uint32_t>(t.next[r] >> 63) << r;
            }
        }
        t.nextWestRows = static_cast<uint16_t>(west);
        t.nextEastRows = static_cast<uint16_t>(east);
    }
}

// A birth not yet handed to a live cell is a bit of next & ~cur. Taking it sets its cur bit: the
// pass over the table reads cur only for this, and cur is replaced by next afterwards. Every row a
// window reads lies in its tile's band, so no stale next row is ever read.
uint64_t Pending(const Tile& t, int32_t r)
{
    return t.next[r] & ~t.cur[r];
}

void TakeBirth(CellStore& s, Cell c, int32_t k, int32_t ti, int32_t bx, int32_t by, int32_t& births)
{
    const int32_t dy = k / 3 - 1;
    const int32_t dx = k % 3 - 1;
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
        TakeBirth(s, c, k, ti, bx + k % 3 - 1, by + k / 3 - 1, births);
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
        const int32_t nx = bx + k % 3 - 1;
        const int32_t ny = by + k / 3 - 1;
        const int tdx = nx < 0 ? -1 : (nx >= kTileWidth ? 1 : 0);
        const int tdy = ny < 0 ? -1 : (ny >= kTileHeight ? 1 : 0);
        TakeBirth(s, c, k, Toward(t, ti, tdx, tdy), nx & (kTileWidth - 1), ny & (kTileHeight - 1), births);
    }
}

struct Rewrite {
    int32_t survivors;
    int32_t deaths;
    int32_t births;
};

// One pass over the table in order writes the survivors to the spare half, notes the positions of
// the dead, and hands each birth to its first live neighbour in table order, which is where the
// candidate list would first have met it. Only the taken births' cur bits change (UndoBirths
// clears them); the rest is scratch.
Rewrite SortOutTable(CellStore& s, int32_t n)
{
    const Cell* cells = s.entries[s.side];
    const int32_t* tileOf = s.entryTile[s.side];
    Cell* kept = s.entries[1 - s.side];
    int32_t* keptTile = s.entryTile[1 - s.side];
    Rewrite r = {0, 0, 0};
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
    const Rewrite r = SortOutTable(s, n);
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
