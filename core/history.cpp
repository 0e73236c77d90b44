#include "history.h"

#include <cstdlib>
#include <cstring>

#include "cell_index.h"
#include "period.h"

namespace {

// A generation keeps what changed (the dead with their positions, the number born); a click the
// same, with at most one cell; a Clear, a replaced board or an edit keeps the whole board it
// replaced. Undone, a generation is redone by stepping again, a click by toggling its cell again,
// and the rest by putting back the board the undo replaced, which the undone entry then holds.
enum class EntryKind : uint8_t { Step, Click, Board };

// One heap block per entry, header then cells. Two chains, each linked oldest to newest so that
// its oldest can go without moving the others: the timeline, and what was undone from it.
struct Entry {
    Entry* older;
    Entry* newer;
    size_t bytes;
    int64_t generation;  // the generation to show once the entry is applied (undone or redone)
    int32_t born;        // Step, Click: entries appended at the table's end
    int32_t cellCount;   // Step, Click: DeadCell records that follow; Board: Cell records that follow
    ViewNote view;       // Board: how to show the board the entry puts back, when the window said
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
Entry* lastApplied = nullptr;  // the entry the last StepBack or Redo made, for KeepView
Entry* openEdit = nullptr;     // the entry the last BeginEdit made, until anything else is recorded or undone

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
}

void Drop(Chain& chain, Entry* e)
{
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
    *e = {nullptr, nullptr, bytes, shownGeneration, 0, cellCount, {}, CurrentPeriod(), kind};
    return e;
}

// Any entry but the open edit's own ends that edit: a stroke going on then opens another.
void Record(Entry* e)
{
    if (e != openEdit) {
        openEdit = nullptr;
    }
    if (e) {
        Link(timeline, e);
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

// The board `back` generations ago, rebuilt from a copy of the table through the newest entries,
// each of which must be a generation's. False at once when the timeline is shorter.
bool BoardBack(int32_t back, std::vector<Cell>& cells)
{
    if (back > timeline.entries) {
        return false;
    }
    cells = TableCells();
    std::vector<Cell> restored;
    Entry* e = timeline.newest;
    for (int32_t i = 0; i < back; ++i, e = e->older) {
        if (e->kind != EntryKind::Step || static_cast<size_t>(e->born) > cells.size()) {
            return false;
        }
        // The newborns were appended; the dead go back to their old positions, ascending.
        cells.resize(cells.size() - static_cast<size_t>(e->born));
        restored.clear();
        size_t from = 0;
        for (int32_t k = 0; k < e->cellCount; ++k) {
            const DeadCell d = DeadCells(e)[k];
            while (restored.size() < static_cast<size_t>(d.position) && from < cells.size()) {
                restored.push_back(cells[from++]);
            }
            restored.push_back(d.cell);
        }
        restored.insert(restored.end(), cells.begin() + static_cast<std::ptrdiff_t>(from), cells.end());
        cells.swap(restored);
    }
    return true;
}

bool Step(CellChangeListener listener)
{
    if (!StepGeneration(listener)) {
        return false;
    }
    const CellStore& s = *GetCellStore();
    Entry* e = NewEntry(EntryKind::Step, s.deathCount);
    if (e) {
        e->born = s.bornCount;
        std::memcpy(DeadCells(e), s.deaths, sizeof(DeadCell) * static_cast<size_t>(s.deathCount));
    }
    Record(e);
    ++shownGeneration;
    NotePeriodGeneration(BoardBack);
    return true;
}

bool Toggle(int32_t x, int32_t y, bool& alive)
{
    if (IsAlive(x, y)) {
        const Cell* cells = TableEntries();
        int32_t position = 0;
        while (cells[position] != Cell{x, y}) {
            ++position;
        }
        Entry* e = NewEntry(EntryKind::Click, 1);
        if (e) {
            *DeadCells(e) = {{x, y}, position};
        }
        RemoveCell(x, y);
        Record(e);
        NotePeriodEdit();
        alive = false;
        return true;
    }
    if (!TableEntries() || count >= kMaxCells) {
        return false;
    }
    Entry* e = NewEntry(EntryKind::Click, 0);
    if (e) {
        e->born = 1;
    }
    AddCell(x, y);
    Record(e);
    NotePeriodEdit();
    alive = true;
    return true;
}

// Replaces the board, recording the old one; `generationAfter` is the generation then shown.
bool Replace(const Cell* cells, int32_t n, int64_t generationAfter, ViewNote viewBefore, CellChangeListener listener)
{
    if (!TableEntries() || n > kMaxCells) {
        return false;
    }
    Entry* e = SaveBoard();
    if (e) {
        e->view = viewBefore;
    }
    RestoreBoard(cells, n, listener);  // a repeated cell stays one entry
    Record(e);
    shownGeneration = generationAfter;
    NotePeriodEdit();
    return true;
}

// The entry that applies `e` again once it has been undone, made before the undo changes the table.
Entry* RedoOf(Entry* e)
{
    if (e->kind == EntryKind::Step) {
        return NewEntry(EntryKind::Step, 0);
    }
    if (e->kind == EntryKind::Click) {
        Entry* r = NewEntry(EntryKind::Click, 1);
        if (r) {
            // A birth was appended at the table's end; a death is the cell the entry holds.
            const Cell cell = e->born == 1 ? TableEntries()[count - 1] : DeadCells(e)->cell;
            *DeadCells(r) = {cell, 0};
        }
        return r;
    }
    Entry* r = SaveBoard();
    if (r) {
        r->generation = shownGeneration;
    }
    return r;
}

}  // namespace

const int64_t& generation = shownGeneration;

bool AdvanceGeneration(CellChangeListener listener)
{
    // An empty board has no next generation to show, so nothing is counted or recorded.
    if (count == 0) {
        return true;
    }
    if (!Step(listener)) {
        return false;
    }
    Change();
    return true;
}

bool StepBack(CellChangeListener listener)
{
    Entry* e = timeline.newest;
    if (!e) {
        return false;
    }
    openEdit = nullptr;
    Unlink(timeline, e);
    Entry* redo = RedoOf(e);
    const bool undone = e->kind == EntryKind::Board ? RestoreBoard(BoardCells(e), e->cellCount, listener)
                                                    : UndoStep(DeadCells(e), e->cellCount, e->born, listener);
    appliedView = e->view;
    if (undone) {
        shownGeneration = e->generation;
        UndoPeriodNote(e->period);
        if (redo) {
            Link(redoable, redo);
        }
        lastApplied = redo;
    } else {
        // The table was changed behind the history's back: nothing older can be undone either.
        std::free(redo);
        DropAll(timeline);
        DropAll(redoable);
        ForgetPeriods();
    }
    std::free(e);
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
    openEdit = nullptr;
    Unlink(redoable, r);
    bool redone = true;
    bool alive = false;
    switch (r->kind) {
    case EntryKind::Step: redone = Step(listener); break;
    case EntryKind::Click:
        redone = Toggle(DeadCells(r)->cell.x, DeadCells(r)->cell.y, alive);
        if (redone && listener) {
            listener(DeadCells(r)->cell.x, DeadCells(r)->cell.y, alive);
        }
        break;
    case EntryKind::Board: redone = Replace(BoardCells(r), r->cellCount, r->generation, {}, listener); break;
    }
    appliedView = r->view;
    lastApplied = redone && r->kind == EntryKind::Board ? timeline.newest : nullptr;
    std::free(r);
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

bool ToggleCell(int32_t x, int32_t y, bool& alive)
{
    if (!Toggle(x, y, alive)) {
        return false;
    }
    Change();
    return true;
}

void ClearBoard()
{
    if (count == 0 && shownGeneration == 0) {
        return;
    }
    Change();
    Replace(nullptr, 0, 0, {}, nullptr);
}

bool ReplaceBoard(const std::vector<Cell>& cells, ViewNote viewBefore)
{
    if (cells.size() > static_cast<size_t>(kMaxCells) ||
        !Replace(cells.data(), static_cast<int32_t>(cells.size()), 0, viewBefore, nullptr)) {
        return false;
    }
    Change();
    return true;
}

void BeginEdit()
{
    Change();
    openEdit = SaveBoard();
    Record(openEdit);
    NotePeriodEdit();
}

bool SetCellInEdit(int32_t x, int32_t y, bool alive)
{
    if (!(alive ? AddCell(x, y) : (RemoveCell(x, y), true))) {
        return false;
    }
    // The search starts over from the board the stroke has made so far.
    UndoPeriodNote({});
    NotePeriodEdit();
    return true;
}

bool EditIsNewest()
{
    return openEdit && timeline.newest == openEdit;
}

bool EditBoard(const std::vector<Cell>& cells)
{
    if (cells.size() > static_cast<size_t>(kMaxCells) ||
        !Replace(cells.data(), static_cast<int32_t>(cells.size()), shownGeneration, {}, nullptr)) {
        return false;
    }
    Change();
    return true;
}

void ForgetHistory()
{
    DropAll(timeline);
    DropAll(redoable);
    shownGeneration = 0;
    ForgetPeriods();
}
