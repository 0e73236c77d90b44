// The cell world done the slow, literal way: a flat list, linear scans, and candidate lists with
// repeats. The real table must agree with it on every entry's order and every announced change.
#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "cell_table.h"

// x, y and the new state, as the listener hears them.
using CellChange = std::tuple<int32_t, int32_t, bool>;

struct ReferenceBoard {
    std::vector<Cell> cells;
};

bool ReferenceIsAlive(const ReferenceBoard& board, int32_t x, int32_t y);
int32_t ReferenceCountNeighbours(const ReferenceBoard& board, Cell c);
// One generation; refused whole (false, nothing changed or logged) past kMaxCells.
bool ReferenceStep(ReferenceBoard& board, std::vector<CellChange>* changes);
bool ReferenceAdd(ReferenceBoard& board, int32_t x, int32_t y);  // false when full
void ReferenceRemove(ReferenceBoard& board, int32_t x, int32_t y);
