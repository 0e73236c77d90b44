// The bit tricks of the cell world, each with the reason it is right. A row of 64 cells is one
// uint64_t, bit b for x offset b.
#pragma once

#include <cstdint>

// One row as seen from its cells: `mid` the row itself, `west` each cell's left neighbour and
// `east` its right neighbour, the outermost bits taken from the tiles beside it.
struct RowBits {
    uint64_t west;
    uint64_t mid;
    uint64_t east;
};

// Shifting left moves the cell at b - 1 to bit b, so bit b of `west` is b's left neighbour; bit 0
// has it from bit 63 of the tile to the left. Mirrored for `east`.
inline RowBits MakeRowBits(uint64_t westRow, uint64_t row, uint64_t eastRow)
{
    return {(row << 1) | (westRow >> 63), row, (row >> 1) | (eastRow << 63)};
}

// B3/S23 for 64 cells at once. Every bit position carries its own count: the three cells above and
// the three below each go through a full adder (sum of weight 1, carry of weight 2), the two beside
// through a half adder; the three sums through one more full adder. That leaves `ones` (the count's
// weight-1 bit) and four weight-2 bits, so the count is ones + 2 * (how many of the four are set).
// A count of 2 or 3 means exactly one of the four is set: an odd number of them (t1 ^ t2) that is
// not three (no pair both set). Then 3 (ones) gives a birth or survival, 2 only survival.
inline uint64_t NextRow(const RowBits& above, const RowBits& row, const RowBits& below)
{
    const uint64_t sumA = above.west ^ above.mid ^ above.east;
    const uint64_t carryA = (above.west & above.mid) | (above.east & (above.west ^ above.mid));
    const uint64_t sumB = below.west ^ below.mid ^ below.east;
    const uint64_t carryB = (below.west & below.mid) | (below.east & (below.west ^ below.mid));
    const uint64_t sumM = row.west ^ row.east;
    const uint64_t carryM = row.west & row.east;
    const uint64_t ones = sumA ^ sumB ^ sumM;
    const uint64_t carryS = (sumA & sumB) | (sumM & (sumA ^ sumB));
    const uint64_t t1 = carryA ^ carryB;
    const uint64_t t2 = carryM ^ carryS;
    const uint64_t exactlyOneTwo = (t1 ^ t2) & ~((carryA & carryB) | (carryM & carryS));
    return exactlyOneTwo & (ones | row.mid);
}

// The three bits at b - 1, b, b + 1 of a row, lowest first (dx = -1, 0, 1), for 1 <= b <= 62 so
// that the shift stays inside the word.
inline uint32_t ThreeBits(uint64_t row, int32_t b)
{
    return static_cast<uint32_t>((row >> (b - 1)) & 7u);
}

// The 3x3 window around bit b (1 <= b <= 62) of the middle row, as nine bits in the order
// dy = -1..1 then dx = -1..1: bit 3 * (dy + 1) + (dx + 1). Taking the lowest set bit first then
// visits the cells in exactly that order.
inline uint32_t WindowBits(uint64_t above, uint64_t row, uint64_t below, int32_t b)
{
    return ThreeBits(above, b) | (ThreeBits(row, b) << 3) | (ThreeBits(below, b) << 6);
}

// The position of the lowest set bit of a nonzero value (a single instruction on x86).
inline int32_t LowestBit(uint32_t bits)
{
    return __builtin_ctz(bits);
}

// The position of the highest set bit of a nonzero value.
inline int32_t HighestBit(uint32_t bits)
{
    return 31 - __builtin_clz(bits);
}

// The rows a row mask touches, one either way: a cell changes only within one row of a live cell.
inline uint16_t GrowRows(uint32_t rows)
{
    return static_cast<uint16_t>(rows | (rows << 1) | (rows >> 1));
}
