// The board: the live cells of the current generation, in the order they were added.
#pragma once

#include <cstdint>
#include <vector>

#include "plane.h"  // the plane wraps at the ends of the 32-bit range

struct Cell {
    int32_t x;
    int32_t y;
};

inline bool operator==(Cell a, Cell b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(Cell a, Cell b) { return !(a == b); }

constexpr int32_t kMaxCells = 10000;

// Number of live cells; entries 0 to count - 1 of the table. Read-only outside the table.
extern const int32_t& count;

// Reserves the table and every buffer a generation needs. False when memory is short;
// the table then stays empty and refuses every add. Calling it again is harmless.
bool AllocateCellStorage();
void ReleaseCellStorage();
// Whether the storage exists: from a successful AllocateCellStorage to ReleaseCellStorage.
bool HasCellStorage();

Cell CellAt(int32_t i);
// A copy of the table's entries, in order.
std::vector<Cell> TableCells();
bool IsAlive(int32_t x, int32_t y);
int32_t CountNeighbours(int32_t x, int32_t y);

// Appends a cell, which the caller knows to be dead. False, with nothing written, when the table
// is full (or not allocated).
bool AddCell(int32_t x, int32_t y);
// Removes the cell, keeping the order of the others. An absent cell changes nothing.
void RemoveCell(int32_t x, int32_t y);
void ClearCells();
