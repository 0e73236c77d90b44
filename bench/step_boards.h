// The three boards of about 10,000 cells the step is measured on, natively and in the window.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "cell_table.h"
#include "reference_life.h"

// Each cell of a 180x180 box alive with probability 1/4; the step is taken.
inline std::vector<Cell> QuarterSoup()
{
    std::mt19937 rng(1);
    std::vector<Cell> cells;
    for (int32_t y = 0; y < 180; ++y) {
        for (int32_t x = 0; x < 180; ++x) {
            if (rng() % 4 == 0) {
                cells.push_back({x - 90, y - 90});
            }
        }
    }
    return cells;
}

// 168 pulsars on a 16-cell lattice, a third in each phase (48, 56 and 72 cells): 9,856 cells at
// every step.
inline std::vector<Cell> PulsarField()
{
    std::vector<Cell> quadrant;
    for (int32_t k : {2, 3, 4}) {
        quadrant.insert(quadrant.end(), {{k, 1}, {k, 6}, {1, k}, {6, k}});
    }
    std::vector<Cell> cells;
    for (int32_t p = 0; p < 168; ++p) {
        ReferenceBoard board;
        for (int32_t sx : {-1, 1}) {
            for (int32_t sy : {-1, 1}) {
                for (const Cell& c : quadrant) {
                    board.cells.push_back({(p % 13) * 16 + sx * c.x, (p / 13) * 16 + sy * c.y});
                }
            }
        }
        for (int32_t s = 0; s < p % 3; ++s) {
            ReferenceStep(board, nullptr);
        }
        cells.insert(cells.end(), board.cells.begin(), board.cells.end());
    }
    return cells;
}

// 2,000 gliders at random places over the whole 32-bit plane.
inline std::vector<Cell> GliderSpread()
{
    std::mt19937 rng(2);
    std::vector<Cell> cells;
    for (int32_t g = 0; g < 2000; ++g) {
        const int32_t x = static_cast<int32_t>(rng());
        const int32_t y = static_cast<int32_t>(rng());
        for (const Cell& c : {Cell{1, 0}, Cell{2, 1}, Cell{0, 2}, Cell{1, 2}, Cell{2, 2}}) {
            cells.push_back({WrapAdd(x, c.x), WrapAdd(y, c.y)});
        }
    }
    return cells;
}
