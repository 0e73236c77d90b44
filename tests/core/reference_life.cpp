#include "reference_life.h"

#include <algorithm>

bool ReferenceIsAlive(const ReferenceBoard& board, int32_t x, int32_t y)
{
    return std::find(board.cells.begin(), board.cells.end(), Cell{x, y}) != board.cells.end();
}

int32_t ReferenceCountNeighbours(const ReferenceBoard& board, Cell c)
{
    int32_t n = 0;
    for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            n += (dx != 0 || dy != 0) && ReferenceIsAlive(board, WrapAdd(c.x, dx), WrapAdd(c.y, dy));
        }
    }
    return n;
}

// Deaths in table order; then every neighbour of every live cell, repeats included, and a dead
// one with three live neighbours born the first time it comes up.
bool ReferenceStep(ReferenceBoard& board, std::vector<CellChange>* changes)
{
    ReferenceBoard next;
    std::vector<CellChange> log;
    for (Cell c : board.cells) {
        const int32_t n = ReferenceCountNeighbours(board, c);
        if (n == 2 || n == 3) {
            next.cells.push_back(c);
        } else {
            log.push_back({c.x, c.y, false});
        }
    }
    for (Cell c : board.cells) {
        for (int32_t dy = -1; dy <= 1; ++dy) {
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const Cell n = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
                if (!ReferenceIsAlive(board, n.x, n.y) && !ReferenceIsAlive(next, n.x, n.y) &&
                    ReferenceCountNeighbours(board, n) == 3) {
                    next.cells.push_back(n);
                    log.push_back({n.x, n.y, true});
                }
            }
        }
    }
    if (next.cells.size() > size_t{kMaxCells}) {
        return false;
    }
    board = next;
    if (changes) {
        changes->insert(changes->end(), log.begin(), log.end());
    }
    return true;
}

bool ReferenceAdd(ReferenceBoard& board, int32_t x, int32_t y)
{
    if (board.cells.size() >= size_t{kMaxCells}) {
        return false;
    }
    board.cells.push_back({x, y});
    return true;
}

void ReferenceRemove(ReferenceBoard& board, int32_t x, int32_t y)
{
    board.cells.erase(std::remove(board.cells.begin(), board.cells.end(), Cell{x, y}), board.cells.end());
}
