#include "timeline_summary.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "history.h"

namespace {

// A board's cells fit in 15 bits (at most 10,000); the top bit says an edit made it. A block of
// 2^k boards keeps its fewest and most, the edit bit on the most.
constexpr uint16_t kEdited = 0x8000;
struct Block {
    uint16_t fewest;
    uint16_t most;
};
constexpr Block kMissingBlock = {0x7fff, 0};

// Boards are numbered from the first ever kept, so a block of level k covers the boards
// [j * 2^k, (j + 1) * 2^k) for good; dropping the oldest only moves `base`. A block holding a board
// already dropped is stale, and is never read whole: a span starts at `base` or later.
struct Summary {
    int64_t base;   // the number of the oldest board kept
    int64_t shown;  // the number of the board shown
    std::deque<int64_t> generations;
    std::deque<uint16_t> cells;     // with kEdited
    std::vector<std::deque<Block>> levels;  // levels[k - 1] holds the blocks of 2^k boards
};
Summary summary = {0, 0, {}, {}, {}};

int64_t End()
{
    return summary.base + static_cast<int64_t>(summary.cells.size());
}

Block Combine(Block a, Block b)
{
    return {std::min<uint16_t>(a.fewest, b.fewest),
            static_cast<uint16_t>(std::max<uint16_t>(a.most & ~kEdited, b.most & ~kEdited) |
                                  ((a.most | b.most) & kEdited))};
}

// Block j of level k (0: one board), or kMissingBlock where it is gone or not yet made.
Block At(size_t k, int64_t j)
{
    if (k == 0) {
        if (j < summary.base || j >= End()) {
            return kMissingBlock;
        }
        const uint16_t c = summary.cells[static_cast<size_t>(j - summary.base)];
        return {static_cast<uint16_t>(c & ~kEdited), c};
    }
    const std::deque<Block>& level = summary.levels[k - 1];
    const int64_t first = summary.base >> k;
    if (j < first || j - first >= static_cast<int64_t>(level.size())) {
        return kMissingBlock;
    }
    return level[static_cast<size_t>(j - first)];
}

// Makes each level's blocks reach the last board and recomputes those above `board` from their
// halves.
void Refresh(int64_t board)
{
    const int64_t last = End() - 1;
    // Levels go up until one block holds every board kept; higher ones, once made, stay in step.
    size_t needed = 0;
    while (needed < 62 && (last >> needed) != (summary.base >> needed)) {
        ++needed;
    }
    for (size_t k = 1; k <= std::max(needed, summary.levels.size()); ++k) {
        const bool made = summary.levels.size() < k;
        if (made) {
            summary.levels.emplace_back();
        }
        std::deque<Block>& level = summary.levels[k - 1];
        const int64_t first = summary.base >> k;
        const int64_t blocks = (last >> k) - first + 1;
        while (static_cast<int64_t>(level.size()) > blocks) {
            level.pop_back();
        }
        while (static_cast<int64_t>(level.size()) < blocks) {
            level.push_back(kMissingBlock);
        }
        // A new level has at most two blocks, each made from the level below.
        for (int64_t j = made ? first : board >> k; j <= (made ? last >> k : board >> k); ++j) {
            if (j >= first && j <= last >> k) {
                level[static_cast<size_t>(j - first)] = Combine(At(k - 1, 2 * j), At(k - 1, 2 * j + 1));
            }
        }
    }
}

}  // namespace

int64_t TimelineBoards()
{
    return static_cast<int64_t>(summary.cells.size());
}

int64_t TimelineShown()
{
    return summary.shown - summary.base;
}

int64_t TimelineGeneration(int64_t board)
{
    return summary.generations[static_cast<size_t>(board)];
}

int32_t TimelineCells(int64_t board)
{
    return summary.cells[static_cast<size_t>(board)] & ~kEdited;
}

bool TimelineEdited(int64_t board)
{
    return (summary.cells[static_cast<size_t>(board)] & kEdited) != 0;
}

TimelineSpan SummariseTimeline(int64_t first, int64_t end)
{
    Block all = kMissingBlock;
    int64_t i = summary.base + std::max<int64_t>(first, 0);
    const int64_t stop = summary.base + std::min(end, TimelineBoards());
    while (i < stop) {
        // The largest block that starts here and ends within the span.
        size_t k = 0;
        while (k < summary.levels.size() && (i & ((int64_t{2} << k) - 1)) == 0 && i + (int64_t{2} << k) <= stop) {
            ++k;
        }
        all = Combine(all, At(k, i >> k));
        i += int64_t{1} << k;
    }
    if (all.most == 0 && all.fewest == kMissingBlock.fewest) {
        return {0, 0, false};
    }
    return {all.fewest, all.most & ~kEdited, (all.most & kEdited) != 0};
}

bool GoToTimelineBoard(int64_t board, TimelineMove move)
{
    if (TimelineBoards() == 0) {
        return false;
    }
    board = std::clamp<int64_t>(board, 0, TimelineBoards() - 1);
    while (TimelineShown() != board) {
        const bool back = TimelineShown() > board;
        if (!(move ? move(back) : back ? StepBack(nullptr) : Redo(nullptr))) {
            return false;
        }
    }
    return true;
}

void SummaryReset(int64_t generationShown, int32_t cells)
{
    const int64_t next = End();
    summary.generations.clear();
    summary.cells.clear();
    summary.levels.clear();
    // Numbering goes on, so the blocks of the new first board start empty.
    summary.base = next;
    summary.shown = next - 1;
    SummaryPush(generationShown, cells, false);
}

void SummaryPush(int64_t generationShown, int32_t cells, bool edited)
{
    while (End() - 1 > summary.shown) {
        SummaryDropNewest();
    }
    summary.generations.push_back(generationShown);
    summary.cells.push_back(static_cast<uint16_t>(cells | (edited ? kEdited : 0)));
    summary.shown = End() - 1;
    Refresh(summary.shown);
}

void SummaryBack()
{
    summary.shown = std::max(summary.base, summary.shown - 1);
}

void SummaryForward(int64_t generationShown, int32_t cells)
{
    if (summary.cells.empty() || summary.shown + 1 >= End()) {
        SummaryPush(generationShown, cells, false);
        return;
    }
    ++summary.shown;
    summary.generations[static_cast<size_t>(summary.shown - summary.base)] = generationShown;
    SummarySetShownCells(cells);
}

void SummaryDropOldest()
{
    if (summary.cells.size() <= 1) {
        return;
    }
    summary.generations.pop_front();
    summary.cells.pop_front();
    ++summary.base;
    for (size_t k = 1; k <= summary.levels.size(); ++k) {
        // The first block goes once none of its boards is kept.
        if ((summary.base >> k) != ((summary.base - 1) >> k) && !summary.levels[k - 1].empty()) {
            summary.levels[k - 1].pop_front();
        }
    }
    summary.shown = std::max(summary.shown, summary.base);
}

void SummaryDropNewest()
{
    if (End() - 1 <= summary.shown) {
        return;
    }
    summary.generations.pop_back();
    summary.cells.pop_back();
    Refresh(End() - 1);
}

void SummarySetShownCells(int32_t cells)
{
    if (summary.cells.empty()) {
        SummaryReset(0, cells);
        return;
    }
    uint16_t& c = summary.cells[static_cast<size_t>(summary.shown - summary.base)];
    c = static_cast<uint16_t>((c & kEdited) | cells);
    Refresh(summary.shown);
}
