#include "generation.h"

#include <cstring>

#include "cell_index.h"
#include "cell_table.h"
#include "tile_bits.h"

namespace {

int32_t lastRefusedPopulation = 0;

// A tile and the eight around it, looked up once per tile: index (dy + 1) * 3 + (dx + 1).
struct Around {
    const Tile* tile[9];
};

Around Gather(const Tile* tiles, const Tile& t)
{
    Around a;
    for (int d = 0; d < 8; ++d) {
        a.tile[d < 4 ? d : d + 1] = &tiles[t.link[d]];
    }
    a.tile[4] = &t;
    return a;
}

// Row r of the tile, -1 and 16 included (the last row of the tile above, the first of the one
// below), with the cells beside it.
RowSums RowAround(const Around& a, int32_t r)
{
    const int32_t dy = r < 0 ? -1 : (r >= kTileHeight ? 1 : 0);
    const Tile* const* line = a.tile + (dy + 1) * 3;
    const int32_t inTile = r & (kTileHeight - 1);
    return SumRow(line[0]->cur[inTile], line[1]->cur[inTile], line[2]->cur[inTile]);
}

// The rows of the tile that can hold a live cell next: those within one row of a live cell of the
// tile or of the edges of its neighbours that face it. Every other row stays empty.
uint16_t RowsThatCanLive(const Around& a)
{
    const Tile* const* t = a.tile;
    uint16_t rows = GrowRows(t[4]->liveRows | t[3]->eastRows | t[5]->westRows);
    const uint16_t above = t[1]->liveRows | t[0]->eastRows | t[2]->westRows;
    const uint16_t below = t[7]->liveRows | t[6]->eastRows | t[8]->westRows;
    if (above & kBottomRow) {
        rows |= kTopRow;
    }
    if (below & kTopRow) {
        rows |= kBottomRow;
    }
    return rows;
}

// Fills the band of next rows of every tile and their masks. Each row's neighbourhood is fetched
// and summed once.
void ComputeNext(CellStore& s)
{
    for (int32_t i = 0; i < s.tileCount; ++i) {
        Tile& t = s.tiles[s.tileList[i]];
        const Around around = Gather(s.tiles, t);
        uint32_t live = 0;
        uint32_t westEdge = 0;
        uint32_t eastEdge = 0;
        t.band = RowsThatCanLive(around);
        if (t.band != 0) {
            const int32_t first = LowestBit(t.band);
            const int32_t last = HighestBit(t.band);
            // Rows inside the tile come straight from the tile and the two beside it.
            const uint64_t* west = around.tile[3]->cur;
            const uint64_t* east = around.tile[5]->cur;
            RowSums above = RowAround(around, first - 1);
            RowSums row = RowAround(around, first);
            for (int32_t r = first; r <= last; ++r) {
                const RowSums below = r + 1 < kTileHeight ? SumRow(west[r + 1], t.cur[r + 1], east[r + 1])
                                                          : RowAround(around, kTileHeight);
                const uint64_t next = NextRow(above, row, below);
                t.next[r] = next;
                live |= static_cast<uint32_t>(next != 0) << r;
                westEdge |= static_cast<uint32_t>(next & 1u) << r;
                eastEdge |= static_cast<uint32_t>(next >> 63) << r;
                above = row;
                row = below;
            }
        }
        t.nextLiveRows = static_cast<uint16_t>(live);
        t.nextWestRows = static_cast<uint16_t>(westEdge);
        t.nextEastRows = static_cast<uint16_t>(eastEdge);
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
        for (int32_t i = 0; i < r.deaths; ++i) {
            listener(s.deaths[i].cell.x, s.deaths[i].cell.y, false);
        }
        for (int32_t i = 0; i < r.births; ++i) {
            listener(s.births[i].x, s.births[i].y, true);
        }
    }
    return true;
}

int32_t LastRefusedPopulation()
{
    return lastRefusedPopulation;
}
