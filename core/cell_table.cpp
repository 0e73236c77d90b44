#include "cell_table.h"

#include <cstdlib>
#include <cstring>

#include "cell_index.h"
#include "tile_bits.h"

namespace {

constexpr uint32_t kTileIndexSize = 1u << kTileIndexBits;
constexpr uint32_t kTileIndexMask = kTileIndexSize - 1;

int32_t liveCount = 0;
CellStore store = {};
bool allocated = false;

uint32_t HashTile(uint32_t column, uint32_t row)
{
    const uint64_t key = (static_cast<uint64_t>(column) << 32) | row;
    return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kTileIndexBits));
}

// The slot holding the tile, or the empty slot where it would go.
uint32_t FindTileSlot(uint32_t column, uint32_t row)
{
    uint32_t i = HashTile(column, row);
    for (;;) {
        const int32_t t = store.tileIndex[i];
        if (t == 0 || (store.tiles[t].column == column && store.tiles[t].row == row)) {
            return i;
        }
        i = (i + 1) & kTileIndexMask;
    }
}

int32_t FindTile(uint32_t column, uint32_t row)
{
    return store.tileIndex[FindTileSlot(column, row)];
}

// Backward-shift deletion: later members of the probe run move up so that no lookup stops early
// at the hole.
void EraseTileSlot(uint32_t hole)
{
    uint32_t next = hole;
    for (;;) {
        next = (next + 1) & kTileIndexMask;
        const int32_t t = store.tileIndex[next];
        if (t == 0) {
            break;
        }
        const uint32_t home = HashTile(store.tiles[t].column, store.tiles[t].row);
        const bool homeBetween = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (!homeBetween) {
            store.tileIndex[hole] = t;
            hole = next;
        }
    }
    store.tileIndex[hole] = 0;
}

uint32_t NeighbourColumn(uint32_t column, int dx)
{
    return (column + static_cast<uint32_t>(dx)) & kTileColumnMask;
}

uint32_t NeighbourRow(uint32_t row, int dy)
{
    return (row + static_cast<uint32_t>(dy)) & kTileRowMask;
}

// Makes the tile and links it both ways. When it is made beside an existing tile `from` (dx, dy
// away from it), the neighbours the two share are read from `from`'s links, and only the far ones
// cost a hash lookup: a random probe each, which is most of what a new tile costs.
int32_t CreateTile(uint32_t column, uint32_t row, int32_t from = kBlankTile, int fromDx = 0, int fromDy = 0)
{
    const int32_t t = store.freeCount > 0 ? store.freeTiles[--store.freeCount] : store.freshTiles++;
    Tile& tile = store.tiles[t];
    std::memset(tile.cur, 0, sizeof tile.cur);
    tile.column = column;
    tile.row = row;
    tile.liveRows = tile.westRows = tile.eastRows = 0;
    tile.nextLiveRows = tile.nextWestRows = tile.nextEastRows = 0;
    store.tileIndex[FindTileSlot(column, row)] = t;
    tile.listPos = store.tileCount;
    store.tileList[store.tileCount++] = t;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx == 0 && dy == 0) {
                continue;
            }
            const int d = DirectionOf(dx, dy);
            const int ox = fromDx + dx;  // where that neighbour lies from `from`
            const int oy = fromDy + dy;
            int32_t n;
            if (from != kBlankTile && ox >= -1 && ox <= 1 && oy >= -1 && oy <= 1) {
                n = ox == 0 && oy == 0 ? from : store.tiles[from].link[DirectionOf(ox, oy)];
            } else {
                n = FindTile(NeighbourColumn(column, dx), NeighbourRow(row, dy));
            }
            tile.link[d] = n;
            if (n != kBlankTile) {
                store.tiles[n].link[7 - d] = t;
            }
        }
    }
    return t;
}

void FreeTile(int32_t t)
{
    Tile& tile = store.tiles[t];
    for (int d = 0; d < 8; ++d) {
        if (tile.link[d] != kBlankTile) {
            store.tiles[tile.link[d]].link[7 - d] = kBlankTile;
        }
    }
    EraseTileSlot(FindTileSlot(tile.column, tile.row));
    const int32_t last = store.tileList[--store.tileCount];
    store.tileList[tile.listPos] = last;
    store.tiles[last].listPos = tile.listPos;
    store.freeTiles[store.freeCount++] = t;
}

// A tile's row masks, now or for the next generation.
struct RowMasks {
    uint16_t Tile::*live;
    uint16_t Tile::*west;
    uint16_t Tile::*east;
};
constexpr RowMasks kCurrent = {&Tile::liveRows, &Tile::westRows, &Tile::eastRows};
// Final for every tile once the step has computed the next rows (and zero for a freed, a new and the
// blank tile).
constexpr RowMasks kNext = {&Tile::nextLiveRows, &Tile::nextWestRows, &Tile::nextEastRows};

// Whether the tile has live cells or a tile beside it has live cells on the edge facing it.
inline bool TileNeeded(const Tile& t, const RowMasks& m)
{
    const Tile* tiles = store.tiles;
    return t.*m.live != 0 || (tiles[t.link[kNorth]].*m.live & kBottomRow) != 0 ||
           (tiles[t.link[kSouth]].*m.live & kTopRow) != 0 || tiles[t.link[kWest]].*m.east != 0 ||
           tiles[t.link[kEast]].*m.west != 0;
}

// Creates the missing tiles beside the tile that its live edges need.
void AddEdgeTiles(int32_t t)
{
    const int dxs[] = {0, 0, -1, 1};
    const int dys[] = {-1, 1, 0, 0};
    for (int k = 0; k < 4; ++k) {
        const Tile& tile = store.tiles[t];
        const uint16_t edge = dxs[k] < 0   ? tile.westRows
                              : dxs[k] > 0 ? tile.eastRows
                                           : (tile.liveRows & (dys[k] < 0 ? kTopRow : kBottomRow));
        if (edge != 0 && tile.link[DirectionOf(dxs[k], dys[k])] == kBlankTile) {
            CreateTile(NeighbourColumn(tile.column, dxs[k]), NeighbourRow(tile.row, dys[k]), t, dxs[k], dys[k]);
        }
    }
}

// Frees the tile and those around it that nothing needs any more.
void DropIdleTilesAround(int32_t t)
{
    int32_t around[9];
    for (int d = 0; d < 8; ++d) {
        around[d] = store.tiles[t].link[d];
    }
    around[8] = t;
    for (int32_t a : around) {
        if (a != kBlankTile && !TileNeeded(store.tiles[a], kCurrent)) {
            FreeTile(a);
        }
    }
}

// After bits were set and cleared anywhere: every tile's masks from its rows, then the tiles no
// longer needed freed and those that newly occupied edges need created, as after a step.
void SettleTiles()
{
    for (int32_t i = 0; i < store.tileCount; ++i) {
        RefreshRowMasks(store.tiles[store.tileList[i]]);
    }
    // Backwards, as freeing moves the last tile of the list into the freed place; tiles created
    // here go to the end and need no visit, having no live cells.
    for (int32_t i = store.tileCount - 1; i >= 0; --i) {
        const int32_t ti = store.tileList[i];
        const Tile& t = store.tiles[ti];
        if (!TileNeeded(t, kCurrent)) {
            FreeTile(ti);
        } else if ((t.westRows | t.eastRows | (t.liveRows & (kTopRow | kBottomRow))) != 0) {
            AddEdgeTiles(ti);
        }
    }
}

uint32_t ColumnOf(int32_t x)
{
    return static_cast<uint32_t>(x) >> 6;
}

uint32_t RowOf(int32_t y)
{
    return static_cast<uint32_t>(y) >> 4;
}

uint64_t BitOf(int32_t x)
{
    return uint64_t{1} << (static_cast<uint32_t>(x) & 63u);
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
    if (allocated) {
        return true;
    }
    store.entries[0] = Reserve<Cell>(kMaxCells);
    store.entries[1] = Reserve<Cell>(kMaxCells);
    store.entryTile[0] = Reserve<int32_t>(kMaxCells);
    store.entryTile[1] = Reserve<int32_t>(kMaxCells);
    store.tileMemory = std::calloc(sizeof(Tile) * kMaxTiles + 64, 1);
    store.tiles = reinterpret_cast<Tile*>((reinterpret_cast<uintptr_t>(store.tileMemory) + 63) & ~uintptr_t{63});
    store.tileList = Reserve<int32_t>(kMaxTiles);
    store.freeTiles = Reserve<int32_t>(kMaxTiles);
    store.tileIndex = Reserve<int32_t>(kTileIndexSize);
    store.deaths = Reserve<DeadCell>(kMaxCells);
    store.births = Reserve<Cell>(kMaxBirths);
    store.birthTile = Reserve<int32_t>(kMaxBirths);
    allocated = store.entries[0] && store.entries[1] && store.entryTile[0] && store.entryTile[1] && store.tileMemory &&
                store.tileList && store.freeTiles && store.tileIndex && store.deaths && store.births &&
                store.birthTile;
    if (!allocated) {
        ReleaseCellStorage();
        return false;
    }
    store.side = 0;
    store.tileCount = 0;
    store.freeCount = 0;
    store.freshTiles = 1;  // tile 0 is the blank: calloc left it all zero, linked to itself
    store.deathCount = 0;
    store.bornCount = 0;
    liveCount = 0;
    return true;
}

void ReleaseCellStorage()
{
    for (int s = 0; s < 2; ++s) {
        std::free(store.entries[s]);
        std::free(store.entryTile[s]);
    }
    std::free(store.tileMemory);
    std::free(store.tileList);
    std::free(store.freeTiles);
    std::free(store.tileIndex);
    std::free(store.deaths);
    std::free(store.births);
    std::free(store.birthTile);
    store = {};
    allocated = false;
    liveCount = 0;
}

bool HasCellStorage()
{
    return allocated;
}

std::vector<Cell> TableCells()
{
    return allocated ? std::vector<Cell>(store.entries[store.side], store.entries[store.side] + liveCount)
                     : std::vector<Cell>();
}

Cell CellAt(int32_t i)
{
    return store.entries[store.side][i];
}

bool IsAlive(int32_t x, int32_t y)
{
    if (liveCount <= 0) {
        return false;
    }
    const Tile& t = store.tiles[FindTile(ColumnOf(x), RowOf(y))];
    return (t.cur[static_cast<uint32_t>(y) & 15u] & BitOf(x)) != 0;
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
    if (!allocated || liveCount >= kMaxCells) {
        return false;
    }
    int32_t t = FindTile(ColumnOf(x), RowOf(y));
    if (t == kBlankTile) {
        t = CreateTile(ColumnOf(x), RowOf(y));
    }
    Tile& tile = store.tiles[t];
    uint64_t& row = tile.cur[static_cast<uint32_t>(y) & 15u];
    if (row & BitOf(x)) {
        return false;  // already alive: a second entry would break the one-entry-per-cell rule
    }
    row |= BitOf(x);
    RefreshRowMasks(tile);
    AddEdgeTiles(t);
    store.entries[store.side][liveCount] = {x, y};
    store.entryTile[store.side][liveCount] = t;
    ++liveCount;
    return true;
}

void RemoveCell(int32_t x, int32_t y)
{
    if (!IsAlive(x, y)) {
        return;
    }
    Cell* cells = store.entries[store.side];
    int32_t* tileOf = store.entryTile[store.side];
    int32_t i = 0;
    while (cells[i] != Cell{x, y}) {
        ++i;
    }
    const int32_t t = tileOf[i];
    const size_t after = static_cast<size_t>(liveCount - i - 1);
    std::memmove(cells + i, cells + i + 1, sizeof(Cell) * after);
    std::memmove(tileOf + i, tileOf + i + 1, sizeof(int32_t) * after);
    --liveCount;
    Tile& tile = store.tiles[t];
    tile.cur[static_cast<uint32_t>(y) & 15u] &= ~BitOf(x);
    RefreshRowMasks(tile);
    DropIdleTilesAround(t);
}

void ClearCells()
{
    if (!allocated) {
        return;
    }
    if (store.tileCount > 0) {
        std::memset(store.tileIndex, 0, sizeof(int32_t) * kTileIndexSize);
        for (int32_t i = 0; i < store.tileCount; ++i) {
            store.freeTiles[store.freeCount++] = store.tileList[i];
        }
        store.tileCount = 0;
    }
    liveCount = 0;
}

Cell* TableEntries()
{
    return allocated ? store.entries[store.side] : nullptr;
}

CellStore* GetCellStore()
{
    return allocated ? &store : nullptr;
}

void SetCount(int32_t newCount)
{
    liveCount = newCount;
}

void RefreshRowMasks(Tile& t)
{
    uint32_t live = 0;
    uint32_t west = 0;
    uint32_t east = 0;
    for (int32_t r = 0; r < kTileHeight; ++r) {
        live |= static_cast<uint32_t>(t.cur[r] != 0) << r;
        west |= static_cast<uint32_t>(t.cur[r] & 1u) << r;
        east |= static_cast<uint32_t>(t.cur[r] >> 63) << r;
    }
    t.liveRows = static_cast<uint16_t>(live);
    t.westRows = static_cast<uint16_t>(west);
    t.eastRows = static_cast<uint16_t>(east);
}

void AdoptNextRows()
{
    // Backwards, as freeing moves the last tile of the list into the freed place; tiles created
    // here go to the end and need no visit, having no live cells.
    for (int32_t i = store.tileCount - 1; i >= 0; --i) {
        const int32_t ti = store.tileList[i];
        Tile& t = store.tiles[ti];
        if (!TileNeeded(t, kNext)) {
            FreeTile(ti);
            continue;
        }
        // Outside the band cur is empty already: every live row lies inside it.
        if (t.band != 0) {
            for (int32_t r = LowestBit(t.band), last = HighestBit(t.band); r <= last; ++r) {
                t.cur[r] = t.next[r];
            }
        }
        t.liveRows = t.nextLiveRows;
        t.westRows = t.nextWestRows;
        t.eastRows = t.nextEastRows;
        if ((t.westRows | t.eastRows | (t.liveRows & (kTopRow | kBottomRow))) != 0) {
            AddEdgeTiles(ti);
        }
    }
}

bool UndoStep(const DeadCell* dead, int32_t deadCount, int32_t born, CellChangeListener listener)
{
    const int32_t n = liveCount;
    if (born < 0 || born > n || deadCount < 0 || deadCount > kMaxCells - (n - born) || (!allocated && deadCount > 0)) {
        return false;
    }
    if (!allocated) {
        return true;
    }
    // Each dead cell must be dead now and fit in the restored table, positions ascending. Its
    // tile, when it has one, is kept for the rebuild.
    const int32_t restored = n - born + deadCount;
    int32_t* deadTile = store.birthTile;
    for (int32_t i = 0; i < deadCount; ++i) {
        const Cell c = dead[i].cell;
        const int32_t p = dead[i].position;
        if (p < 0 || p >= restored || (i > 0 && p <= dead[i - 1].position)) {
            return false;
        }
        deadTile[i] = FindTile(ColumnOf(c.x), RowOf(c.y));
        if (store.tiles[deadTile[i]].cur[static_cast<uint32_t>(c.y) & 15u] & BitOf(c.x)) {
            return false;
        }
    }

    Cell* cells = store.entries[store.side];
    int32_t* tileOf = store.entryTile[store.side];
    for (int32_t i = n - born; i < n; ++i) {
        store.tiles[tileOf[i]].cur[static_cast<uint32_t>(cells[i].y) & 15u] &= ~BitOf(cells[i].x);
        if (listener) {
            listener(cells[i].x, cells[i].y, false);
        }
    }
    // No tile is freed before SettleTiles, so the tiles found above stay valid.
    for (int32_t i = 0; i < deadCount; ++i) {
        const Cell c = dead[i].cell;
        if (deadTile[i] == kBlankTile) {
            deadTile[i] = FindTile(ColumnOf(c.x), RowOf(c.y));  // an earlier dead cell may have made it
            if (deadTile[i] == kBlankTile) {
                deadTile[i] = CreateTile(ColumnOf(c.x), RowOf(c.y));
            }
        }
        store.tiles[deadTile[i]].cur[static_cast<uint32_t>(c.y) & 15u] |= BitOf(c.x);
    }
    // Survivors move up from the back, leaving each dead cell's old position free.
    int32_t from = n - born;
    for (int32_t to = restored - 1, d = deadCount; d > 0; --to) {
        if (dead[d - 1].position == to) {
            --d;
            cells[to] = dead[d].cell;
            tileOf[to] = deadTile[d];
        } else {
            --from;
            cells[to] = cells[from];
            tileOf[to] = tileOf[from];
        }
    }
    liveCount = restored;
    SettleTiles();
    if (listener) {
        for (int32_t i = 0; i < deadCount; ++i) {
            listener(dead[i].cell.x, dead[i].cell.y, true);
        }
    }
    return true;
}
