// The bit tricks of the cell world, each with the reason it is right. A row of 64 cells is one
// uint64_t, bit b for x offset b.
#pragma once

#include <cstdint>

// Two rows of a tile side by side in one vector: where the machine has 128-bit registers, each
// operation below then works on both rows at once. Element 0 is the upper row. Where it has none
// (a 32-bit build without SSE), the compiler does the same work in ordinary registers and warns
// that such values are passed to functions differently there: every function taking them is the
// program's own, compiled the one way, so nothing can disagree.
typedef uint64_t RowPair __attribute__((vector_size(16)));
#pragma GCC diagnostic ignored "-Wpsabi"

// One row's counts, made once and used three times: as the row above, the row itself and the row
// below of its neighbours. Every bit position carries its own count as a sum bit (weight 1) and a
// carry bit (weight 2): `sum3`/`carry3` of the cell and the two beside it, `sum2`/`carry2` of the
// two beside it only (for the row itself, whose own cell does not count). W is a row (uint64_t)
// or two of them (RowPair).
template <typename W>
struct Sums {
    W mid;
    W sum2;
    W carry2;
    W sum3;
    W carry3;
};

using RowSums = Sums<uint64_t>;

// Shifting left moves the cell at b - 1 to bit b, so bit b of `west` is b's left neighbour; bit 0
// has it from bit 63 of the tile to the left. Mirrored for `east`. The two beside go through a half
// adder, and the cell itself joins them as a full adder built on it.
template <typename W>
inline Sums<W> SumRow(W westRow, W row, W eastRow)
{
    const W west = (row << 1) | (westRow >> 63);
    const W east = (row >> 1) | (eastRow << 63);
    const W sum2 = west ^ east;
    const W carry2 = west & east;
    return {row, sum2, carry2, sum2 ^ row, carry2 | (sum2 & row)};
}

// B3/S23 for 64 cells at once. The three sums (above, beside, below) go through one more full
// adder. That leaves `ones` (the count's weight-1 bit) and four weight-2 bits, so the count is
// ones + 2 * (how many of the four are set). A count of 2 or 3 means exactly one of the four is
// set: an odd number of them (t1 ^ t2) that is not three (no pair both set). Then 3 (ones) gives a
// birth or survival, 2 only survival.
template <typename W>
inline W NextRow(W sumA, W carryA, const Sums<W>& row, W sumB, W carryB)
{
    const W sumM = row.sum2;
    const W carryM = row.carry2;
    const W ones = sumA ^ sumB ^ sumM;
    const W carryS = (sumA & sumB) | (sumM & (sumA ^ sumB));
    const W t1 = carryA ^ carryB;
    const W t2 = carryM ^ carryS;
    const W exactlyOneTwo = (t1 ^ t2) & ~((carryA & carryB) | (carryM & carryS));
    return exactlyOneTwo & (ones | row.mid);
}

inline uint64_t NextRow(const RowSums& above, const RowSums& row, const RowSums& below)
{
    return NextRow(above.sum3, above.carry3, row, below.sum3, below.carry3);
}

// Element 1 of `upper` then element 0 of `lower`: the rows just above and just below the seam
// between two pairs of rows.
inline RowPair Straddle(RowPair upper, RowPair lower)
{
    return __builtin_shuffle(upper, lower, RowPair{1, 2});
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
