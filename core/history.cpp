#include "history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "cell_index.h"
#include "period.h"
#include "timeline_summary.h"

namespace {

// A generation keeps what changed (the dead with their positions, the number born); a stroke the
// same, with its newborns' cells too; a Clear, a replaced board or an edit keeps the whole board it
// replaced. Undone, a generation is redone by stepping again, a stroke by drawing its cells again
// (the entry itself moves to the redo chain), and the rest by putting back the board the undo
// replaced, which the undone entry then holds.
enum class EntryKind : uint8_t { Step, Stroke, Board };

// One heap block per entry, header then cells. Two chains, each linked oldest to newest so that
// its oldest can go without moving the others: the timeline, and what was undone from it.
struct Entry {
    Entry* older;
    Entry* newer;
    size_t bytes;
    int64_t generation;  // the generation to show once the entry is applied (undone or redone)
    int32_t born;        // Step, Stroke: entries appended at the table's end
    int32_t cellCount;   // Step, Stroke: DeadCell records that follow (a stroke's newborns after
                         // them); Board: Cell records that follow
    ViewNote view;       // Board: how to show the board the entry puts back, when the window said
    SelectionChange selection;  // Board: the selection before and after the edit, when it moved
    PeriodReport period; // the report of the board that undoing the entry puts back
    EntryKind kind;
};

struct Chain {
    Entry* oldest;
    Entry* newest;
    int32_t entries;
};

Chain timeline = {};
Chain redoable = {};  // the newest is the next to redo
size_t heldBytes = 0;
int64_t shownGeneration = 0;
ViewNote appliedView = {};
bool appliedSelectionKept = false;
Selection appliedSelection = {};
Entry* lastApplied = nullptr;  // the entry the last StepBack or Redo made, for KeepView
Entry* openEdit = nullptr;     // the entry the last BeginEdit made, until anything else is recorded or undone
// The stroke's cells changed since its note was taken: the period search starts over from what it
// drew once the stroke stretch ends, not once a cell.
bool strokeNoteStale = false;

// The board some generations back, being rebuilt a stretch at a time: each stretch undoes whole
// entries, at most about this many cells' worth, so a tick stays within its time.
constexpr size_t kWalkCells = size_t{1} << 20;
struct Walk {
    bool active;
    Entry* next;        // the next entry to undo
    int32_t left;       // how many entries are still to undo
    int32_t back;       // how far back the walk was asked for
    int64_t stepsThen;  // `stepsRecorded` when it was asked
    std::vector<Cell> cells;
    std::vector<Cell> spare;
};
Walk walk = {};
int64_t stepsRecorded = 0;

DeadCell* DeadCells(Entry* e)
{
    return reinterpret_cast<DeadCell*>(e + 1);
}

Cell* BoardCells(Entry* e)
{
    return reinterpret_cast<Cell*>(e + 1);
}

void Link(Chain& chain, Entry* e)
{
    e->older = chain.newest;
    e->newer = nullptr;
    if (chain.newest) {
        chain.newest->newer = e;
    } else {
        chain.oldest = e;
    }
    chain.newest = e;
    ++chain.entries;
    heldBytes += e->bytes;
}

void Unlink(Chain& chain, Entry* e)
{
    (e->older ? e->older->newer : chain.oldest) = e->newer;
    (e->newer ? e->newer->older : chain.newest) = e->older;
    --chain.entries;
    heldBytes -= e->bytes;
    if (e == lastApplied) {
        lastApplied = nullptr;
    }
    if (e == openEdit) {
        openEdit = nullptr;
    }
    if (e == walk.next) {
        walk.active = false;
    }
}

// Only ever the oldest of a chain: of the timeline the oldest board kept, of the redo chain the farthest.
void Drop(Chain& chain, Entry* e)
{
    &chain == &timeline ? SummaryDropOldest() : SummaryDropNewest();
    Unlink(chain, e);
    std::free(e);
}

void DropAll(Chain& chain)
{
    while (chain.oldest) {
        Drop(chain, chain.oldest);
    }
}

// Room for a new entry, made by dropping the oldest of the timeline first, then the farthest of
// what could be redone. Null when even that fails: the timeline would then have a gap, so all of
// it goes and the edit itself still happens.
Entry* NewEntry(EntryKind kind, int32_t cellCount)
{
    const size_t cellBytes = kind == EntryKind::Board ? sizeof(Cell) : sizeof(DeadCell);
    const size_t bytes = sizeof(Entry) + cellBytes * static_cast<size_t>(cellCount);
    while (heldBytes + bytes > kHistoryBytes && (timeline.oldest || redoable.oldest)) {
        Drop(timeline.oldest ? timeline : redoable, timeline.oldest ? timeline.oldest : redoable.oldest);
    }
    auto* e = static_cast<Entry*>(std::malloc(bytes));
    if (!e) {
        DropAll(timeline);
        DropAll(redoable);
        return nullptr;
    }
    *e = {nullptr, nullptr, bytes, shownGeneration, 0, cellCount, {}, {}, CurrentPeriod(), kind};
    return e;
}

// A stroke's records: its dead, by their old table positions ascending, then its newborns in table
// order.
int32_t StrokeRoom(const Entry* e)
{
    return static_cast<int32_t>((e->bytes - sizeof(Entry)) / sizeof(DeadCell));
}

// Makes room for one more record in the open stroke, which is the timeline's newest: the block
// doubles, older entries going first when the bound needs it. False, with the whole timeline
// dropped, when memory is short: the stroke goes on unrecorded, as any edit would.
bool GrowStroke()
{
    Entry* e = openEdit;
    if (e->cellCount + e->born < StrokeRoom(e)) {
        return true;
    }
    const size_t bytes = sizeof(Entry) + sizeof(DeadCell) * static_cast<size_t>(std::max(16, 2 * StrokeRoom(e)));
    while (heldBytes - e->bytes + bytes > kHistoryBytes && timeline.oldest != e) {
        Drop(timeline, timeline.oldest);
    }
    auto* grown = static_cast<Entry*>(std::realloc(e, bytes));
    if (!grown) {
        Unlink(timeline, e);
        std::free(e);
        DropAll(timeline);
        ForgetPeriods();
        SummaryReset(shownGeneration, count);
        return false;
    }
    heldBytes += bytes - grown->bytes;
    grown->bytes = bytes;
    (grown->older ? grown->older->newer : timeline.oldest) = grown;
    timeline.newest = grown;
    if (lastApplied == e) {
        lastApplied = grown;
    }
    openEdit = grown;
    return true;
}

// Once a stroke stretch ends, its note is taken anew from what it drew.
void SettleStroke()
{
    if (strokeNoteStale) {
        strokeNoteStale = false;
        UndoPeriodNote({});
        NotePeriodEdit();
    }
}

// Any entry but the open edit's own ends that edit: a stroke going on then opens another.
void Record(Entry* e)
{
    if (e != openEdit) {
        openEdit = nullptr;
    }
    if (e) {
        Link(timeline, e);
        if (e->kind != EntryKind::Step) {
            walk.active = false;  // the board back is no longer the same number of generations away
        }
    }
}

// Puts back a whole board, announcing only the cells whose state changes, deaths first as in a
// step.
bool RestoreBoard(const Cell* cells, int32_t n, CellChangeListener listener)
{
    if (!TableEntries()) {
        return false;
    }
    std::vector<char> wasAlive(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        wasAlive[static_cast<size_t>(i)] = IsAlive(cells[i].x, cells[i].y);
    }
    const std::vector<Cell> replaced = TableCells();
    ClearCells();
    for (int32_t i = 0; i < n; ++i) {
        AddCell(cells[i].x, cells[i].y);
    }
    if (!listener) {
        return true;
    }
    for (Cell c : replaced) {
        if (!IsAlive(c.x, c.y)) {
            listener(c.x, c.y, false);
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        if (!wasAlive[static_cast<size_t>(i)]) {
            listener(cells[i].x, cells[i].y, true);
        }
    }
    return true;
}

// An entry holding the board as it stands, before it is replaced.
Entry* SaveBoard()
{
    Entry* e = NewEntry(EntryKind::Board, count);
    if (e && count > 0) {
        std::memcpy(BoardCells(e), TableEntries(), sizeof(Cell) * static_cast<size_t>(count));
    }
    return e;
}

// A new change: what was undone can no longer be redone.
void Change()
{
    DropAll(redoable);
}

// A generation; `fresh` for a new change, which ends what could be redone before the entry is made
// (its room then comes from the redo chain first), rather than a redo.
bool Step(CellChangeListener listener, bool fresh)
{
    SettleStroke();
    if (!StepGeneration(listener)) {
        return false;
    }
    if (fresh) {
        Change();
    }
    const CellStore& s = *GetCellStore();
    Entry* e = NewEntry(EntryKind::Step, s.deathCount);
    if (e) {
        e->born = s.bornCount;
        std::memcpy(DeadCells(e), s.deaths, sizeof(DeadCell) * static_cast<size_t>(s.deathCount));
    }
    Record(e);
    ++shownGeneration;
    ++stepsRecorded;
    !e ? SummaryReset(shownGeneration, count)
    : fresh ? SummaryPush(shownGeneration, count, false) : SummaryForward(shownGeneration, count);
    NotePeriodGeneration(BoardBack);
    return true;
}

// Replaces the board, recording the old one; `generationAfter` is the generation then shown.
// `fresh` as for Step.
bool Replace(const Cell* cells, int32_t n, int64_t generationAfter, ViewNote viewBefore, SelectionChange selection,
             bool fresh, CellChangeListener listener)
{
    if (!TableEntries() || n > kMaxCells) {
        return false;
    }
    SettleStroke();
    if (fresh) {
        Change();
    }
    Entry* e = SaveBoard();
    if (e) {
        e->view = viewBefore;
        e->selection = selection;
    }
    RestoreBoard(cells, n, listener);  // a repeated cell stays one entry
    Record(e);
    shownGeneration = generationAfter;
    !e ? SummaryReset(shownGeneration, count)
    : fresh ? SummaryPush(shownGeneration, count, true) : SummaryForward(shownGeneration, count);
    NotePeriodEdit();
    return true;
}

// The entry that applies `e` again once it has been undone, made before the undo changes the table.
Entry* RedoOf(Entry* e)
{
    if (e->kind == EntryKind::Step) {
        return NewEntry(EntryKind::Step, 0);
    }
    Entry* r = SaveBoard();
    if (r) {
        r->generation = shownGeneration;
        r->selection = e->selection;
    }
    return r;
}

// Undoes a stroke: its newborns must be the table's last entries, then the undo of a step puts
// its dead back in their places.
bool UndoStroke(Entry* e, CellChangeListener listener)
{
    if (e->born > count) {
        return false;
    }
    const DeadCell* born = DeadCells(e) + e->cellCount;
    const Cell* last = TableEntries() + (count - e->born);
    for (int32_t k = 0; k < e->born; ++k) {
        if (born[k].cell != last[k]) {
            return false;
        }
    }
    return UndoStep(DeadCells(e), e->cellCount, e->born, listener);
}

// Draws an undone stroke again on the board it was drawn on: its dead at their places, its newborns
// dead and room for them. Deaths are announced in table order, then births.
bool RedoStroke(Entry* e, CellChangeListener listener)
{
    const DeadCell* records = DeadCells(e);
    if (count - e->cellCount + e->born > kMaxCells) {
        return false;
    }
    for (int32_t k = 0; k < e->cellCount; ++k) {
        if (records[k].position >= count || TableEntries()[records[k].position] != records[k].cell) {
            return false;
        }
    }
    for (int32_t k = e->cellCount; k < e->cellCount + e->born; ++k) {
        if (IsAlive(records[k].cell.x, records[k].cell.y)) {
            return false;
        }
    }
    for (int32_t k = 0; k < e->cellCount + e->born; ++k) {
        const bool alive = k >= e->cellCount;
        alive ? void(AddCell(records[k].cell.x, records[k].cell.y)) : RemoveCell(records[k].cell.x, records[k].cell.y);
        if (listener) {
            listener(records[k].cell.x, records[k].cell.y, alive);
        }
    }
    return true;
}

}  // namespace

const int64_t& generation = shownGeneration;

bool AdvanceGeneration(CellChangeListener listener)
{
    // An empty board has no next generation to show, so nothing is counted or recorded.
    if (count == 0) {
        return true;
    }
    return Step(listener, true);
}

bool StepBack(CellChangeListener listener)
{
    Entry* e = timeline.newest;
    if (!e) {
        return false;
    }
    SettleStroke();
    openEdit = nullptr;
    walk.active = false;
    Unlink(timeline, e);
    // An undone stroke is its own redo.
    Entry* redo = e->kind == EntryKind::Stroke ? e : RedoOf(e);
    const bool undone = e->kind == EntryKind::Board    ? RestoreBoard(BoardCells(e), e->cellCount, listener)
                        : e->kind == EntryKind::Stroke ? UndoStroke(e, listener)
                                                       : UndoStep(DeadCells(e), e->cellCount, e->born, listener);
    appliedView = e->view;
    appliedSelectionKept = e->selection.kept;
    appliedSelection = e->selection.before;
    if (undone) {
        shownGeneration = e->generation;
        UndoPeriodNote(e->period);
        if (redo) {
            Link(redoable, redo);
        }
        lastApplied = redo;
    } else {
        // The table was changed behind the history's back: nothing older can be undone either.
        if (redo != e) {
            std::free(redo);
        }
        DropAll(timeline);
        DropAll(redoable);
        ForgetPeriods();
    }
    if (redo != e || !undone) {
        std::free(e);
    }
    undone && redo ? SummaryBack() : SummaryReset(shownGeneration, count);
    return undone;
}

bool CanStepBack()
{
    return timeline.newest != nullptr;
}

bool Redo(CellChangeListener listener)
{
    Entry* r = redoable.newest;
    if (!r) {
        return false;
    }
    SettleStroke();
    openEdit = nullptr;
    Unlink(redoable, r);
    bool redone = true;
    switch (r->kind) {
    case EntryKind::Step: redone = Step(listener, false); break;
    case EntryKind::Stroke:
        r->period = CurrentPeriod();
        redone = RedoStroke(r, listener);
        if (redone) {
            Record(r);
            NotePeriodEdit();
            SummaryForward(shownGeneration, count);
        }
        break;
    case EntryKind::Board:
        redone = Replace(BoardCells(r), r->cellCount, r->generation, {}, r->selection, false, listener);
        break;
    }
    appliedView = r->view;
    appliedSelectionKept = r->selection.kept;
    appliedSelection = r->selection.after;
    lastApplied = redone && r->kind == EntryKind::Board ? timeline.newest : nullptr;
    if (!redone) {
        SummaryDropNewest();  // its board can no longer be reached
    }
    if (r->kind != EntryKind::Stroke || !redone) {
        std::free(r);
    }
    return redone;
}

bool CanRedo()
{
    return redoable.newest != nullptr;
}

ViewNote UndoneView()
{
    return appliedView;
}

bool UndoneSelection(Selection& selection)
{
    selection = appliedSelection;
    return appliedSelectionKept;
}

void KeepView(ViewNote view)
{
    if (lastApplied && appliedView.cellSize != 0) {
        lastApplied->view = view;
    }
}

size_t HistoryBytes()
{
    return heldBytes;
}

void ClearBoard()
{
    if (count == 0 && shownGeneration == 0) {
        return;
    }
    Replace(nullptr, 0, 0, {}, {}, true, nullptr);
}

bool ReplaceBoard(const std::vector<Cell>& cells, ViewNote viewBefore)
{
    return cells.size() <= static_cast<size_t>(kMaxCells) &&
           Replace(cells.data(), static_cast<int32_t>(cells.size()), 0, viewBefore, {}, true, nullptr);
}

void BeginEdit()
{
    SettleStroke();
    Change();
    openEdit = NewEntry(EntryKind::Stroke, 0);
    Record(openEdit);
    NotePeriodEdit();
    openEdit ? SummaryPush(shownGeneration, count, true) : SummaryReset(shownGeneration, count);
}

bool SetCellInEdit(int32_t x, int32_t y, bool alive)
{
    if (!HasCellStorage()) {
        return false;
    }
    if (IsAlive(x, y) == alive) {
        return true;
    }
    if (alive && count >= kMaxCells) {
        return false;
    }
    Entry* e = EditIsNewest() ? openEdit : nullptr;
    if (e && alive) {
        // A cell this stroke took away that comes back would leave its entry two places in the
        // table: a new entry keeps both exact.
        const DeadCell* dead = DeadCells(e);
        if (std::any_of(dead, dead + e->cellCount, [x, y](DeadCell d) { return d.cell == Cell{x, y}; })) {
            BeginEdit();
            e = openEdit;
        }
    }
    if (e) {
        e = GrowStroke() ? openEdit : nullptr;  // the block may have moved
    }
    if (alive) {
        AddCell(x, y);
        if (e) {
            DeadCells(e)[e->cellCount + e->born++] = {{x, y}, count - 1};
        }
    } else {
        const Cell* cells = TableEntries();
        int32_t at = 0;
        while (cells[at] != Cell{x, y}) {
            ++at;
        }
        RemoveCell(x, y);
        if (e) {
            DeadCell* records = DeadCells(e);
            const int32_t firstBorn = count + 1 - e->born;
            if (at >= firstBorn) {
                // One of this stroke's newborns: it was never on the board before.
                std::memmove(records + e->cellCount + (at - firstBorn), records + e->cellCount + (at - firstBorn) + 1,
                             sizeof(DeadCell) * static_cast<size_t>(e->born - 1 - (at - firstBorn)));
                --e->born;
            } else {
                // Its place in the table before the stroke: past every earlier death at or before it.
                int32_t k = 0;
                int32_t position = at;
                while (k < e->cellCount && records[k].position <= position) {
                    ++position;
                    ++k;
                }
                std::memmove(records + k + 1, records + k,
                             sizeof(DeadCell) * static_cast<size_t>(e->cellCount - k + e->born));
                records[k] = {{x, y}, position};
                ++e->cellCount;
            }
        }
    }
    strokeNoteStale = true;
    SummarySetShownCells(count);
    return true;
}

bool EditIsNewest()
{
    return openEdit && timeline.newest == openEdit;
}

bool EditBoard(const std::vector<Cell>& cells, SelectionChange selection)
{
    return cells.size() <= static_cast<size_t>(kMaxCells) &&
           Replace(cells.data(), static_cast<int32_t>(cells.size()), shownGeneration, {}, selection, true, nullptr);
}

OlderBoard BoardBack(int32_t back, std::vector<Cell>& cells)
{
    const bool goesOn = walk.active && back == walk.back + (stepsRecorded - walk.stepsThen);
    if (!goesOn) {
        if (back > timeline.entries) {
            walk.active = false;
            return OlderBoard::Unreachable;
        }
        walk.active = true;
        walk.next = timeline.newest;
        walk.left = back;
        walk.cells = TableCells();
    }
    walk.back = back;
    walk.stepsThen = stepsRecorded;
    size_t spent = 0;
    for (; walk.left > 0 && spent < kWalkCells; --walk.left) {
        Entry* e = walk.next;
        std::vector<Cell>& now = walk.cells;
        if (!e || e->kind != EntryKind::Step || static_cast<size_t>(e->born) > now.size()) {
            walk.active = false;
            return OlderBoard::Unreachable;
        }
        // The newborns were appended; the dead go back to their old positions, ascending, the
        // survivors between them copied in runs.
        const size_t kept = now.size() - static_cast<size_t>(e->born);
        std::vector<Cell>& then = walk.spare;
        then.resize(kept + static_cast<size_t>(e->cellCount));
        size_t from = 0;
        size_t to = 0;
        for (int32_t k = 0; k < e->cellCount; ++k) {
            const DeadCell d = DeadCells(e)[k];
            const size_t run = std::min(static_cast<size_t>(d.position) - to, kept - from);
            std::memcpy(then.data() + to, now.data() + from, sizeof(Cell) * run);
            from += run;
            to += run;
            then[to++] = d.cell;
        }
        std::memcpy(then.data() + to, now.data() + from, sizeof(Cell) * (kept - from));
        then.resize(to + kept - from);
        now.swap(then);
        spent += now.size() + static_cast<size_t>(e->cellCount);
        walk.next = e->older;
    }
    if (walk.left > 0) {
        return OlderBoard::Later;
    }
    walk.active = false;
    cells.swap(walk.cells);
    return OlderBoard::Ready;
}

void ForgetHistory()
{
    DropAll(timeline);
    DropAll(redoable);
    shownGeneration = 0;
    strokeNoteStale = false;
    walk.active = false;
    ForgetPeriods();
    SummaryReset(0, count);
}
