// The timeline's boards, oldest kept to newest undone, as the population graph reads them: each
// board's generation and live cells, and spans of them summarised so that reading a span costs its
// logarithm, not its length.
#pragma once

#include <cstdint>

#include "generation.h"

// How many boards the timeline holds (the one shown, those Backward reaches, those Redo brings back),
// and where the one shown stands among them, 0 being the oldest kept.
int64_t TimelineBoards();
int64_t TimelineShown();
// One board's generation number, live cells, and whether an edit, a load or a paste made it.
int64_t TimelineGeneration(int64_t board);
int32_t TimelineCells(int64_t board);
bool TimelineEdited(int64_t board);

// Boards [first, end): the fewest and most live cells among them, and whether any was made by an edit.
struct TimelineSpan {
    int32_t fewestCells;
    int32_t mostCells;
    bool edited;
};
TimelineSpan SummariseTimeline(int64_t first, int64_t end);

// Brings the board to that point of the timeline by the moves Backward and Redo make, one at a time,
// so the board, its table order and the generations after it are those the presses would give.
// `move`, when given, runs each move instead of the plain StepBack or Redo (the window keeps its view
// and selection notes on the way). False when a move fails on the way.
using TimelineMove = bool (*)(bool back);
bool GoToTimelineBoard(int64_t board, TimelineMove move = nullptr);

// The history's side: it reports each change of its chains here.
// Only the board shown, with its generation and cells (no entries, or all dropped).
void SummaryReset(int64_t generationShown, int32_t cells);
// A new board after the one shown, which ends what Redo could bring back.
void SummaryPush(int64_t generationShown, int32_t cells, bool edited);
// The shown board moves one back, or one forward to a board the summary already holds.
void SummaryBack();
void SummaryForward(int64_t generationShown, int32_t cells);
// The oldest kept board goes, or the farthest of those Redo could bring back.
void SummaryDropOldest();
void SummaryDropNewest();
// A stroke changed the board shown.
void SummarySetShownCells(int32_t cells);
