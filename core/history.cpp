#include "history.h"

#include <cstdlib>
#include <cstring>

#include "cell_index.h"

namespace {

// A generation or a click keeps what changed (the dead with their positions, the number born);
// a Clear or a replaced board keeps the whole board it replaced.
enum class EntryKind : uint8_t { Changes, Board };

// One heap block per entry, header then cells, linked oldest to newest so that the oldest can
// go without moving the others.
struct Entry {
    Entry* older;
    Entry* newer;
    size_t bytes;
    int64_t generationBefore;
    int32_t born;       // Changes: entries appended at the table's end
    int32_t cellCount;  // Changes: DeadCell records that follow; Board: Cell records that follow
    ViewNote view;      // Board: how the replaced board was shown, when the window said
    EntryKind kind;
};

Entry* oldest = nullptr;
Entry* newest = nullptr;
size_t heldBytes = 0;
int64_t shownGeneration = 0;
ViewNote undoneView = {};

DeadCell* DeadCells(Entry* e)
{
    return reinterpret_cast<DeadCell*>(e + 1);
}

Cell* BoardCells(Entry* e)
{
    return reinterpret_cast<Cell*>(e + 1);
}

void DropOldest()
{
    Entry* e = oldest;
    oldest = e->newer;
    if (oldest) {
        oldest->older = nullptr;
    } else {
        newest = nullptr;
    }
    heldBytes -= e->bytes;
    std::free(e);
}

void DropEntries()
{
    while (oldest) {
        DropOldest();
    }
}

// Room for a new entry, made by dropping the oldest ones. Null when even that fails: the chain
// would then have a gap, so the whole history goes and the edit itself still happens.
Entry* NewEntry(EntryKind kind, int32_t cellCount)
{
    const size_t cellBytes = kind == EntryKind::Changes ? sizeof(DeadCell) : sizeof(Cell);
    const size_t bytes = sizeof(Entry) + cellBytes * static_cast<size_t>(cellCount);
    while (oldest && heldBytes + bytes > kHistoryBytes) {
        DropOldest();
    }
    auto* e = static_cast<Entry*>(std::malloc(bytes));
    if (!e) {
        DropEntries();
        return nullptr;
    }
    *e = {nullptr, nullptr, bytes, shownGeneration, 0, cellCount, {}, kind};
    return e;
}

void Push(Entry* e)
{
    if (!e) {
        return;
    }
    e->older = newest;
    if (newest) {
        newest->newer = e;
    } else {
        oldest = e;
    }
    newest = e;
    heldBytes += e->bytes;
}

// The newest entry, unlinked; the caller frees it.
Entry* Pop()
{
    Entry* e = newest;
    newest = e->older;
    if (newest) {
        newest->newer = nullptr;
    } else {
        oldest = nullptr;
    }
    heldBytes -= e->bytes;
    return e;
}

// Puts back a board a Clear or a load replaced, announcing only the cells whose state changes,
// deaths first as in a step.
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

}  // namespace

const int64_t& generation = shownGeneration;

bool AdvanceGeneration(CellChangeListener listener)
{
    // An empty board has no next generation to show, so nothing is counted or recorded.
    if (count == 0) {
        return true;
    }
    if (!StepGeneration(listener)) {
        return false;
    }
    const CellStore& s = *GetCellStore();
    Entry* e = NewEntry(EntryKind::Changes, s.deathCount);
    if (e) {
        e->born = s.bornCount;
        std::memcpy(DeadCells(e), s.deaths, sizeof(DeadCell) * static_cast<size_t>(s.deathCount));
    }
    Push(e);
    ++shownGeneration;
    return true;
}

bool StepBack(CellChangeListener listener)
{
    if (!newest) {
        return false;
    }
    Entry* e = Pop();
    undoneView = e->view;
    const bool undone = e->kind == EntryKind::Changes ? UndoStep(DeadCells(e), e->cellCount, e->born, listener)
                                                      : RestoreBoard(BoardCells(e), e->cellCount, listener);
    if (undone) {
        shownGeneration = e->generationBefore;
    } else {
        // The table was changed behind the history's back: nothing older can be undone either.
        DropEntries();
    }
    std::free(e);
    return undone;
}

ViewNote UndoneView()
{
    return undoneView;
}

bool CanStepBack()
{
    return newest != nullptr;
}

size_t HistoryBytes()
{
    return heldBytes;
}

bool ToggleCell(int32_t x, int32_t y, bool& alive)
{
    if (IsAlive(x, y)) {
        const Cell* cells = TableEntries();
        int32_t position = 0;
        while (cells[position] != Cell{x, y}) {
            ++position;
        }
        Entry* e = NewEntry(EntryKind::Changes, 1);
        if (e) {
            *DeadCells(e) = {{x, y}, position};
        }
        RemoveCell(x, y);
        Push(e);
        alive = false;
        return true;
    }
    if (!TableEntries() || count >= kMaxCells) {
        return false;
    }
    Entry* e = NewEntry(EntryKind::Changes, 0);
    if (e) {
        e->born = 1;
    }
    AddCell(x, y);
    Push(e);
    alive = true;
    return true;
}

void ClearBoard()
{
    if (count == 0 && shownGeneration == 0) {
        return;
    }
    Entry* e = SaveBoard();
    ClearCells();
    Push(e);
    shownGeneration = 0;
}

bool ReplaceBoard(const std::vector<Cell>& cells, ViewNote viewBefore)
{
    if (!TableEntries() || cells.size() > static_cast<size_t>(kMaxCells)) {
        return false;
    }
    Entry* e = SaveBoard();
    if (e) {
        e->view = viewBefore;
    }
    ClearCells();
    for (const Cell& c : cells) {
        AddCell(c.x, c.y);  // a repeated cell stays one entry
    }
    Push(e);
    shownGeneration = 0;
    return true;
}

void ForgetHistory()
{
    DropEntries();
    shownGeneration = 0;
}
