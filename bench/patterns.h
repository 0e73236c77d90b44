// Boards the benchmarks share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "cell_table.h"

// n distinct cells scattered over half of a square box centred on (0, 0); the box's side is returned.
inline std::vector<Cell> Soup(int32_t n, int32_t* sideOut = nullptr)
{
    int32_t side = 1;
    while (side * side < n * 2) {
        ++side;
    }
    std::mt19937 rng(static_cast<uint32_t>(n));
    std::uniform_int_distribution<int32_t> d(0, side - 1);
    std::vector<char> used(static_cast<size_t>(side) * static_cast<size_t>(side), 0);
    std::vector<Cell> cells;
    while (static_cast<int32_t>(cells.size()) < n) {
        const int32_t x = d(rng);
        const int32_t y = d(rng);
        char& u = used[static_cast<size_t>(y) * static_cast<size_t>(side) + static_cast<size_t>(x)];
        if (!u) {
            u = 1;
            cells.push_back({x - side / 2, y - side / 2});
        }
    }
    if (sideOut) {
        *sideOut = side;
    }
    return cells;
}

inline void LoadBoard(const std::vector<Cell>& cells)
{
    ClearCells();
    for (const Cell& c : cells) {
        AddCell(c.x, c.y);
    }
}
