// Internal to pattern_file.cpp and pattern_writer.cpp: what the readers and the writer share, so
// that a file read and written back agree on blanks, on a pattern's box and on its reading order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "cell_table.h"
#include "plane.h"

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

inline std::string_view Trimmed(std::string_view s)
{
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b])) {
        ++b;
    }
    while (e > b && IsBlank(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

// The smallest run of columns and of rows that covers the cells; ties keep the plain range.
struct Box {
    PlaneArc x;
    PlaneArc y;
};

inline Box BoxOf(const std::vector<Cell>& cells)
{
    std::vector<int32_t> xs;
    std::vector<int32_t> ys;
    xs.reserve(cells.size());
    ys.reserve(cells.size());
    for (const Cell& c : cells) {
        xs.push_back(c.x);
        ys.push_back(c.y);
    }
    return {ShortestArc(std::move(xs), INT32_MIN), ShortestArc(std::move(ys), INT32_MIN)};
}

inline uint32_t OffsetX(const Box& box, Cell c)
{
    return static_cast<uint32_t>(c.x) - static_cast<uint32_t>(box.x.start);
}

inline uint32_t OffsetY(const Box& box, Cell c)
{
    return static_cast<uint32_t>(c.y) - static_cast<uint32_t>(box.y.start);
}

// Distinct cells, row by row and left to right from the top-left corner of their box.
inline std::vector<Cell> InReadingOrder(std::vector<Cell> cells, const Box& box)
{
    const auto key = [&box](Cell c) { return (uint64_t{OffsetY(box, c)} << 32) | OffsetX(box, c); };
    std::sort(cells.begin(), cells.end(), [&key](Cell a, Cell b) { return key(a) < key(b); });
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
}
