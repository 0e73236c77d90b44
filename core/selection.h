// Editing a rectangle of the board: the selection, its transforms, the random fill and placing a
// pasted pattern. Pure functions over the board's cells in table order: each returns the new board
// and leaves the table and the history to the caller, who applies the result as one edit or
// refuses it. None loops over more cells than the board (and the pattern) holds, except the
// random fill, which visits each of at most kMaxFillCells cells of its rectangle once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cell_table.h"

// A rectangle of whole cells, corners included: the columns from `left` rightwards to `right` and
// the rows from `top` down to `bottom`, across the plane's ends where right < left or bottom < top.
// It holds 1 to 2^32 columns and rows, so it is never empty and may cover the whole plane.
struct CellRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool operator==(CellRect a, CellRect b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// What is selected: nothing, or one rectangle. The window holds it; the history keeps it with an
// edit that moves it.
struct Selection {
    bool active;
    CellRect rect;
};

inline bool operator==(Selection a, Selection b)
{
    return a.active == b.active && (!a.active || a.rect == b.rect);
}

inline uint64_t RectWidth(CellRect r) { return uint64_t{StepsFrom(r.left, r.right)} + 1; }
inline uint64_t RectHeight(CellRect r) { return uint64_t{StepsFrom(r.top, r.bottom)} + 1; }

inline bool RectContains(CellRect r, Cell c)
{
    return StepsFrom(r.left, c.x) <= StepsFrom(r.left, r.right) && StepsFrom(r.top, c.y) <= StepsFrom(r.top, r.bottom);
}

// How many cells it covers; the whole plane's 2^64 does not fit and gives UINT64_MAX.
uint64_t RectCellCount(CellRect r);

// The rectangle a drag makes from the cell pressed to the cell under the pointer, both included.
// Each way it runs the shorter way round the plane from one to the other: a drag on screen spans
// far less than half the plane, so that is the way the pointer went. At exactly half it runs
// rightwards (downwards) from the press.
CellRect RectBetween(Cell press, Cell current);

// The smallest rectangle holding every cell, across the plane's ends where that is smaller (a tie
// keeps the plain range from the lowest to the highest coordinate). False, `rect` untouched, for no
// cells.
bool RectAround(const std::vector<Cell>& cells, CellRect& rect);

// The transforms. Each keeps the cells it leaves alone in their order and puts the cells it moves
// after them, in the order of the cells they came from. A moved cell that lands on a live one
// outside the source merges with it, as a placed paste does: only the source's cells change.
// The live cells inside: what Clear outside leaves, and what Copy writes.
std::vector<Cell> CellsInside(const std::vector<Cell>& board, CellRect r);
// The live cells outside: what Delete leaves.
std::vector<Cell> CellsOutside(const std::vector<Cell>& board, CellRect r);
// The cells inside mirrored within the rectangle: column left + k goes to right - k.
std::vector<Cell> FlipLeftRight(const std::vector<Cell>& board, CellRect r);
// Row top + k goes to bottom - k.
std::vector<Cell> FlipUpDown(const std::vector<Cell>& board, CellRect r);

// The rectangle a quarter turn about r's centre makes, either way: H x W for W x H, its left
// (W - H) / 2 and its top (H - W) / 2 cells from r's, rounded towards zero. Turning it back gives r,
// so two turns either way leave the rectangle where it was and four leave the cells as they were.
CellRect TurnedRect(CellRect r);
// r's live cells die and come back turned a quarter into TurnedRect(r); every other cell keeps its
// state. Clockwise, r's top-left cell becomes the new rectangle's top-right.
std::vector<Cell> RotateClockwise(const std::vector<Cell>& board, CellRect r);
// Anticlockwise, r's top-left cell becomes the new rectangle's bottom-left.
std::vector<Cell> RotateAnticlockwise(const std::vector<Cell>& board, CellRect r);

// The window refuses a fill of a larger rectangle before calling RandomFill.
constexpr uint64_t kMaxFillCells = 20000;
// splitmix64: the next of a seeded sequence of 64-bit values, advancing `state`.
uint64_t NextRandom(uint64_t& state);
// The cells outside, then each cell inside alive with probability 1/2, independently, row by row
// from the top-left (what was inside is replaced). Each cell takes one bit of NextRandom(state), so
// a seed gives the same fill. A rectangle over kMaxFillCells cells returns the board unchanged.
// The result may hold more than kMaxCells cells: the caller refuses it.
std::vector<Cell> RandomFill(const std::vector<Cell>& board, CellRect r, uint64_t& state);
// The fills the user asks for draw from one process-wide sequence, every draw moving it on, so a
// fill refused near the cell limit is not the one drawn next.
void SeedFills(uint64_t seed);
std::vector<Cell> NextFill(const std::vector<Cell>& board, CellRect r);

// A pattern ready to place: its distinct cells, in their first order, as steps right and down from
// the top-left of their smallest rectangle (across the plane's ends where smaller), and that
// rectangle placed at (0, 0).
struct Stamp {
    std::vector<Cell> cells;
    CellRect box;
    // The cells again, as bits of 8 x 8 blocks open-addressed by a hash of the block, a power of
    // two long and at most half full: a cell drawn under a waiting paste asks whether the paste
    // covers it, which must cost a probe or so, not a walk over the pattern. A compact pattern
    // has few blocks, so its table stays in the cache.
    struct Block {
        uint64_t key;  // the block's column << 32 | its row, or kNoBlock where empty
        uint64_t bits;  // bit (y % 8) * 8 + x % 8 for each cell
    };
    std::vector<Block> blocks;
};
// Block columns and rows are below 2^29, so no block has this key.
constexpr uint64_t kNoBlock = UINT64_MAX;
Stamp MakeStamp(const std::vector<Cell>& pattern);
// Whether one of the stamp's cells lies `offset` right and down from its top-left.
bool StampHas(const Stamp& stamp, Cell offset);
// The stamp's rectangle with its top-left cell at `at`.
CellRect StampRect(const Stamp& stamp, Cell at);
// The stamp's cell k, placed with the top-left at `at`.
inline Cell StampCell(const Stamp& stamp, size_t k, Cell at)
{
    return {WrapAdd(at.x, stamp.cells[k].x), WrapAdd(at.y, stamp.cells[k].y)};
}
// The board, then the stamp's cells at `at` that are not already alive, in the stamp's order. The
// result may hold more than kMaxCells cells: the caller refuses it.
std::vector<Cell> PlaceStamp(const std::vector<Cell>& board, const Stamp& stamp, Cell at);
