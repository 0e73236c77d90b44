// The cell world done the slow, literal way: a flat list, linear scans, and candidate lists with
// repeats. The real table must agree with it on every entry's order and every announced change.
#pragma once

#include <cstdint>
#include <vector>

#include "cell_table.h"

struct CellChange {
    int32_t x;
    int32_t y;
    bool alive;
};

inline bool operator==(const CellChange& a, const CellChange& b)
{
    return a.x == b.x && a.y == b.y && a.alive == b.alive;
}

// What the listener `Record` heard, in order.
extern std::vector<CellChange> heard;
void Record(int32_t x, int32_t y, bool alive);
// The table's entries, in order.
std::vector<Cell> TableCells();

bool ReferenceIsAlive(const std::vector<Cell>& board, Cell c);
int32_t ReferenceCountNeighbours(const std::vector<Cell>& board, Cell c);
// One generation; refused whole (false, nothing changed or logged) past kMaxCells.
bool ReferenceStep(std::vector<Cell>& board, std::vector<CellChange>* changes);
