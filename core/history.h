// The board's timeline: every generation and every edit, newest last, so each can be undone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cell_table.h"
#include "generation.h"
#include "period.h"

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
// Toggles the cell; `alive` is its new state. False (nothing changed or recorded) when a full
// table refuses the birth.
bool ToggleCell(int32_t x, int32_t y, bool& alive);
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
// Edits that keep the generation: the board as it stands becomes one entry, and the cells then
// change through the table's own functions (a stroke) or at once (an edit command's result, in
// this order). False, with nothing changed, when the cells do not fit in kMaxCells.
void BeginEdit();
bool EditBoard(const std::vector<Cell>& cells);
// A cell a stroke sets under its open edit (BeginEdit first). False when a full table refuses it.
bool SetCellInEdit(int32_t x, int32_t y, bool alive);
// Whether the last BeginEdit's entry is still the newest and nothing was recorded, undone or redone
// since, so that a stroke may go on changing the table under it; otherwise it must begin anew.
bool EditIsNewest();

// The period and motion of the board shown, as the timeline found them: after a generation, whether
// the board is one it was a few generations ago, moved; any edit starts the search over, and a step
// back or a redo shows the report the board had. CurrentPeriod() (period.h) reads it.

// Drops every entry, undone ones too, and sets the generation to 0 (the table itself is not touched). Call it
// after changing the table through its own functions: entries describe the board they left.
void ForgetHistory();
