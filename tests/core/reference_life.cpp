#include "reference_life.h"

#include <cstddef>

bool ReferenceIsAlive(const ReferenceBoard& board, int32_t x, int32_t y)
{
    for (const Cell& c : board.cells) {
        if (c.x == x && c.y == y) {
            return true;
        }
    }
    return false;
}

int32_t ReferenceCountNeighbours(const ReferenceBoard& board, int32_t x, int32_t y)
{
    int32_t n = 0;
    for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            if ((dx != 0 || dy != 0) && ReferenceIsAlive(board, WrapAdd(x, dx), WrapAdd(y, dy))) {
                ++n;
            }
        }
    }
    return n;
}

bool ReferenceAdd(ReferenceBoard& board, int32_t x, int32_t y)
{
    if (static_cast<int32_t>(board.cells.size()) >= kMaxCells) {
        return false;
    }
    board.cells.push_back({x, y});
    return true;
}

void ReferenceRemove(ReferenceBoard& board, int32_t x, int32_t y)
{
    for (std::size_t i = 0; i < board.cells.size(); ++i) {
        if (board.cells[i].x == x && board.cells[i].y == y) {
            for (std::size_t k = i; k + 1 < board.cells.size(); ++k) {
                board.cells[k] = board.cells[k + 1];
            }
            board.cells.pop_back();
            return;
        }
    }
}

bool ReferenceStep(ReferenceBoard& board, std::vector<CellChange>* changes)
{
    std::vector<Cell> candidates(board.cells);
    for (const Cell& c : board.cells) {
        for (int32_t dy = -1; dy <= 1; ++dy) {
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const Cell n = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
                if ((dx != 0 || dy != 0) && !ReferenceIsAlive(board, n.x, n.y)) {
                    candidates.push_back(n);
                }
            }
        }
    }
    std::vector<Cell> deaths;
    std::vector<Cell> births;
    for (const Cell& c : candidates) {
        const int32_t n = ReferenceCountNeighbours(board, c.x, c.y);
        const bool alive = ReferenceIsAlive(board, c.x, c.y);
        if (alive && (n < 2 || n > 3)) {
            deaths.push_back(c);
        } else if (!alive && n == 3) {
            births.push_back(c);
        }
    }

    ReferenceBoard next = board;
    std::vector<CellChange> log;
    for (const Cell& c : deaths) {
        ReferenceRemove(next, c.x, c.y);
        log.push_back({c.x, c.y, false});
    }
    for (const Cell& c : births) {
        if (!ReferenceIsAlive(next, c.x, c.y)) {
            next.cells.push_back(c);
            log.push_back({c.x, c.y, true});
        }
    }
    if (static_cast<int32_t>(next.cells.size()) > kMaxCells) {
        return false;
    }
    board = next;
    if (changes) {
        changes->insert(changes->end(), log.begin(), log.end());
    }
    return true;
}
