// The cell world's internals, shared by the table, the generation step and the history's undo. The
// live cells are kept twice: as the ordered table the user sees, and as bits in tiles of 64x16
// cells, so that a step computes whole rows at once. Everything is reserved together with the table,
// so a step never allocates.
#pragma once

#include <cstdint>

#include "cell_table.h"
#include "generation.h"

constexpr int32_t kTileWidth = 64;   // one uint64_t per row, bit b for x = 64 * column + b
constexpr int32_t kTileHeight = 16;  // row r for y = 16 * row + r
// Tile coordinates wrap with the plane: 2^32 / 64 columns and 2^32 / 16 rows.
constexpr uint32_t kTileColumnMask = (1u << 26) - 1;
constexpr uint32_t kTileRowMask = (1u << 28) - 1;
constexpr uint16_t kTopRow = 1u;
constexpr uint16_t kBottomRow = 1u << (kTileHeight - 1);

// A tile exists while it has live cells or a tile beside it (west, east, north or south) has live
// cells on the edge facing it. A diagonal neighbour is never needed: a birth in a tile's corner
// has three live neighbours, at most one of them in the tile across the corner, so the others lie
// in the tile itself or on an edge facing it. A live cell keeps at most three tiles (its own and
// two at a corner), so this many always suffice, with index 0 kept as the blank tile.
constexpr int32_t kMaxTiles = 3 * kMaxCells + 1;
// A birth has three live neighbours and a live cell neighbours eight cells, so a step of a full
// table finds at most 8 / 3 births per cell, even one that is then refused.
constexpr int32_t kMaxBirths = kMaxCells * 8 / 3 + 1;
constexpr int32_t kTileIndexBits = 17;  // hash slots for at most 30,000 tiles
// All rows zero and every link to itself: links to tiles that do not exist point here, so reading
// a neighbour needs no test.
constexpr int32_t kBlankTile = 0;

// The eight links, in the order dy = -1..1 then dx = -1..1; the opposite of direction d is 7 - d.
enum Direction { kNorthWest, kNorth, kNorthEast, kWest, kEast, kSouthWest, kSouth, kSouthEast };

inline int DirectionOf(int dx, int dy)
{
    const int d = (dy + 1) * 3 + (dx + 1);
    return d > 4 ? d - 1 : d;
}

// The header fills the first 64-byte line and the rows the next four, so a tile whose rows are
// not read costs one line.
struct Tile {
    uint32_t column;
    uint32_t row;
    int32_t link[8];             // neighbour tiles by Direction, kBlankTile when absent
    int32_t listPos;             // position in CellStore::tileList
    uint16_t liveRows;           // rows with a live cell
    uint16_t westRows;           // rows whose bit 0 is live
    uint16_t eastRows;           // rows whose bit 63 is live
    uint16_t nextLiveRows;       // the same for the next rows
    uint16_t nextWestRows;
    uint16_t nextEastRows;
    // The rows the step computes: those that can hold a live cell next. A next row outside them
    // is stale, never read, and counts as empty.
    uint16_t band;
    uint64_t cur[kTileHeight];   // the live cells
    uint64_t next[kTileHeight];  // the step's scratch: the next generation
};

// A cell that died in a step, with its position in the table before the step.
struct DeadCell {
    Cell cell;
    int32_t position;
};

struct CellStore {
    Cell* entries[2];      // the table, double-buffered: a step writes the next one into the spare
    int32_t* entryTile[2]; // the tile of each entry
    int32_t side;          // which half is the table
    Tile* tiles;           // kMaxTiles, from a 64-byte boundary
    void* tileMemory;      // the allocation tiles lies in
    int32_t* tileList;     // the tiles in use, in no order
    int32_t tileCount;
    int32_t* freeTiles;    // indices given back, reused first so that little memory is touched
    int32_t freeCount;
    int32_t freshTiles;    // tiles [1, freshTiles) have been handed out at least once
    int32_t* tileIndex;    // open addressing by column and row; 0 marks an empty slot
    // What the last step changed, for the history: the dead with their old table positions,
    // ascending, and how many newborns it appended. Both counts are zero after a refused step.
    DeadCell* deaths;      // kMaxCells
    int32_t deathCount;
    int32_t bornCount;
    Cell* births;          // kMaxBirths: the last step's newborns, in order
    int32_t* birthTile;    // their tiles; also the undo's scratch for the tiles of the dead
};

// Null when the storage is not allocated.
CellStore* GetCellStore();
// The table in order (count entries); null when the storage is not allocated.
Cell* TableEntries();
void SetCount(int32_t newCount);

// Recomputes a tile's row masks from its live rows.
void RefreshRowMasks(Tile& t);
// After the step has filled every tile's next rows and their masks: the next rows become the live
// ones, the tiles no longer needed are freed and those that newly occupied edges need are created,
// in one pass over the tiles.
void AdoptNextRows();

// Takes one step back in O(N): drops the newest `born` entries, then puts the dead back at their
// old positions (ascending), so the table's order is exactly the one before the step, and the
// tiles follow. Announces the dropped cells in table order, then the restored ones. False, with
// nothing changed or announced, when the table cannot have come from such a step (edited behind
// the history's back).
bool UndoStep(const DeadCell* dead, int32_t deadCount, int32_t born, CellChangeListener listener);
