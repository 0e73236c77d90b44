#include "generation.h"

#include <cstring>

#include "cell_index.h"
#include "cell_table.h"
#include "tile_bits.h"

namespace {

int32_t lastRefusedPopulation = 0;

// Row r of the tile, -1 and 16 included (the last row of the tile above, the first of the one
// below), with the cells beside it.
RowBits RowAround(const Tile* tiles, const Tile& t, int32_t r)
{
    if (r < 0) {
        const Tile& n = tiles[t.link[kNorth]];
        return MakeRowBits(tiles[t.link[kNorthWest]].cur[kTileHeight - 1], n.cur[kTileHeight - 1],
                           tiles[t.link[kNorthEast]].cur[kTileHeight - 1]);
    }
    if (r >= kTileHeight) {
        const Tile& s = tiles[t.link[kSouth]];
        return MakeRowBits(tiles[t.link[kSouthWest]].cur[0], s.cur[0], tiles[t.link[kSouthEast]].cur[0]);
    }
    return MakeRowBits(tiles[t.link[kWest]].cur[r], t.cur[r], tiles[t.link[kEast]].cur[r]);
}

// The rows of the tile that can hold a live cell next: those within one row of a live cell of the
// tile or of the edges of its neighbours that face it. Every other row stays empty.
uint16_t RowsThatCanLive(const Tile* tiles, const Tile& t)
{
    uint16_t rows = GrowRows(t.liveRows | tiles[t.link[kWest]].eastRows | tiles[t.link[kEast]].westRows);
    const uint16_t above =
        tiles[t.link[kNorth]].liveRows | tiles[t.link[kNorthWest]].eastRows | tiles[t.link[kNorthEast]].westRows;
    const uint16_t below =
        tiles[t.link[kSouth]].liveRows | tiles[t.link[kSouthWest]].eastRows | tiles[t.link[kSouthEast]].westRows;
    if (above & kBottomRow) {
        rows |= kTopRow;
    }
    if (below & kTopRow) {
        rows |= kBottomRow;
    }
    return rows;
}

// Fills every tile's next rows; returns the next generation's population.
int32_t ComputeNext(CellStore& s)
{
    int32_t population = 0;
    for (int32_t i = 0; i < s.tileCount; ++i) {
        Tile& t = s.tiles[s.tileList[i]];
        const uint16_t rows = RowsThatCanLive(s.tiles, t);
        for (int32_t r = 0; r < kTileHeight; ++r) {
            uint64_t next = 0;
            if (rows & (1u << r)) {
                next = NextRow(RowAround(s.tiles, t, r - 1), RowAround(s.tiles, t, r), RowAround(s.tiles, t, r + 1));
                population += LiveInRow(next);
            }
            t.next[r] = next;
        }
    }
    return population;
}

// A birth not yet handed to a live cell is a bit of next & ~cur. Taking it sets its cur bit: the
// pass over the table reads cur only for this, and cur is replaced by next afterwards.
bool TakeBirth(Tile& t, int32_t bx, int32_t by)
{
    const uint64_t bit = uint64_t{1} << bx;
    if ((t.next[by] & ~t.cur[by] & bit) == 0) {
        return false;
    }
    t.cur[by] |= bit;
    return true;
}

// Hands the live cell at bit (bx, by) of tile ti every pending birth around it, in the order
// dy = -1..1, dx = -1..1, reaching into the neighbour tiles at the edges.
void TakeBirthsAround(CellStore& s, Cell c, int32_t ti, int32_t bx, int32_t by, int32_t& births)
{
    const Tile& t = s.tiles[ti];
    for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            const int32_t nx = bx + dx;
            const int32_t ny = by + dy;
            const int tdx = nx < 0 ? -1 : (nx >= kTileWidth ? 1 : 0);
            const int tdy = ny < 0 ? -1 : (ny >= kTileHeight ? 1 : 0);
            const int32_t nt = (tdx == 0 && tdy == 0) ? ti : t.link[DirectionOf(tdx, tdy)];
            if (TakeBirth(s.tiles[nt], nx & (kTileWidth - 1), ny & (kTileHeight - 1))) {
                s.births[births] = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
                s.birthTile[births] = nt;
                ++births;
            }
        }
    }
}

// Whether any birth is pending in the 3x3 window of a cell away from the tile's edges.
bool BirthsPendingInside(const Tile& t, int32_t bx, int32_t by)
{
    return (ThreeBits(t.next[by - 1] & ~t.cur[by - 1], bx) | ThreeBits(t.next[by] & ~t.cur[by], bx) |
            ThreeBits(t.next[by + 1] & ~t.cur[by + 1], bx)) != 0;
}

}  // namespace

// The next generation is computed on the tiles and counted before anything changes. One pass over
// the table in order then keeps the survivors, notes the deaths, and hands each birth to its first
// live neighbour in table order, which is where the candidate list would first have met it.
bool StepGeneration(CellChangeListener listener)
{
    CellStore* store = GetCellStore();
    const int32_t n = count;
    if (!store || n <= 0) {
        return true;
    }
    CellStore& s = *store;
    const int32_t population = ComputeNext(s);
    if (population > kMaxCells) {
        lastRefusedPopulation = population;
        return false;  // next rows are scratch: nothing has changed
    }

    const Cell* cells = s.entries[s.side];
    const int32_t* tileOf = s.entryTile[s.side];
    Cell* kept = s.entries[1 - s.side];
    int32_t* keptTile = s.entryTile[1 - s.side];
    int32_t survivors = 0;
    int32_t deaths = 0;
    int32_t births = 0;
    for (int32_t i = 0; i < n; ++i) {
        const Cell c = cells[i];
        const int32_t ti = tileOf[i];
        const Tile& t = s.tiles[ti];
        const int32_t bx = static_cast<int32_t>(static_cast<uint32_t>(c.x) & (kTileWidth - 1));
        const int32_t by = static_cast<int32_t>(static_cast<uint32_t>(c.y) & (kTileHeight - 1));
        if ((t.next[by] >> bx) & 1u) {
            kept[survivors] = c;
            keptTile[survivors] = ti;
            ++survivors;
        } else {
            s.deaths[deaths++] = i;
        }
        const bool inside = bx > 0 && bx < kTileWidth - 1 && by > 0 && by < kTileHeight - 1;
        if (!inside || BirthsPendingInside(t, bx, by)) {
            TakeBirthsAround(s, c, ti, bx, by, births);
        }
    }
    std::memcpy(kept + survivors, s.births, sizeof(Cell) * static_cast<size_t>(births));
    std::memcpy(keptTile + survivors, s.birthTile, sizeof(int32_t) * static_cast<size_t>(births));
    s.side = 1 - s.side;
    SetCount(survivors + births);

    for (int32_t i = 0; i < s.tileCount; ++i) {
        Tile& t = s.tiles[s.tileList[i]];
        std::memcpy(t.cur, t.next, sizeof t.cur);
        RefreshRowMasks(t);
    }
    SyncTiles();

    if (listener) {
        for (int32_t i = 0; i < deaths; ++i) {
            listener(cells[s.deaths[i]].x, cells[s.deaths[i]].y, false);
        }
        for (int32_t i = 0; i < births; ++i) {
            listener(s.births[i].x, s.births[i].y, true);
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
