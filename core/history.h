// The board's timeline: every generation and every edit, newest last, so each can be undone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cell_table.h"
#include "generation.h"
#include "period.h"
#include "selection.h"

// The generation shown: 0 at start; +1 per generation, -1 when one is undone. A Clear or a
// replaced board sets it to 0, and undoing them brings the old number back; a click keeps it.
extern const int64_t& generation;

// StepGeneration plus a history entry. Same result, order, listener calls and refusal at the cap.
bool AdvanceGeneration(CellChangeListener listener);
// Undoes the newest entry, which Redo can then apply again. False, with nothing changed or
// announced, when there is none.
bool StepBack(CellChangeListener listener);
// Whether StepBack has anything to undo.
bool CanStepBack();
// Applies the newest undone entry again, exactly: the same cells in the same table order, so the
// generations after it are the same too. Any other change (a generation included) discards what
// could be redone. False, with nothing changed or announced, when there is nothing to redo.
bool Redo(CellChangeListener listener);
bool CanRedo();

// What the entries, undone ones included, may hold; past it the oldest go first.
constexpr size_t kHistoryBytes = size_t{64} << 20;
// What the entries hold now, headers included.
size_t HistoryBytes();

// Edits the window makes, each applied and recorded as one entry.
// Empties the board. An empty board at generation 0 records nothing.
void ClearBoard();
// How the window showed the board: kept with a replaced board, so that undoing the load shows the
// old board as it was seen. A cell size of 0 means none was kept.
struct ViewNote {
    int32_t cellSize;
    int32_t offsetX;
    int32_t offsetY;
};
// Replaces the board with these cells, in this order (a load, a paste, a listed pattern). False,
// with nothing changed, when they do not fit in kMaxCells.
bool ReplaceBoard(const std::vector<Cell>& cells, ViewNote viewBefore = {});
// The view to show after the last StepBack or Redo: the one kept with the entry it applied, a cell
// size of 0 when it kept none. KeepView then gives the entry the opposite move makes the view it
// leaves, so undoing and redoing a load each show the board as it was seen.
ViewNote UndoneView();
void KeepView(ViewNote view);
// An edit that moves the selection (a turn) keeps it from before and after, so that Backward and
// Redo show the selection that went with the cells. `kept` false: the entry leaves it alone.
struct SelectionChange {
    bool kept;
    Selection before;
    Selection after;
};
// An edit command's result, which keeps the generation: the cells, in this order, replace the board
// as one entry. False, with nothing changed, when they do not fit in kMaxCells.
bool EditBoard(const std::vector<Cell>& cells, SelectionChange selection = {});
// After a StepBack or Redo that returned true: whether the entry it applied kept a selection, and
// that selection, to show with the board.
bool UndoneSelection(Selection& selection);
// A stroke: BeginEdit opens an entry that holds only the cells SetCellInEdit then changes (births
// appended, deaths with their places in the table), so undoing it puts the table back in its order
// and a long stroke costs what it drew. A cell the stroke took away and then brings back opens a
// second entry, as one entry could not put it back in both places. False when a full table
// refuses the cell.
void BeginEdit();
bool SetCellInEdit(int32_t x, int32_t y, bool alive);
// Whether the last BeginEdit's entry is still the newest and nothing was recorded, undone or redone
// since, so that a stroke may go on changing the table under it; otherwise it must begin anew.
bool EditIsNewest();

// The board `back` generations before the current one, rebuilt from the table through the newest
// entries, in any order: the period search's source. A long way back is rebuilt a bounded stretch
// per call: Later until it is done, each call of a later generation asking `back` one more going on
// where the last stopped. Unreachable at once when the entries do not reach it.
OlderBoard BoardBack(int32_t back, std::vector<Cell>& cells);

// The period and motion of the board shown, as the timeline found them: after a generation, whether
// the board is one it was a few generations ago, moved; any edit starts the search over, and a step
// back or a redo shows the report the board had. CurrentPeriod() (period.h) reads it.

// Drops every entry, undone ones too, and sets the generation to 0 (the table itself is not touched). Call it
// after changing the table through its own functions: entries describe the board they left.
void ForgetHistory();
