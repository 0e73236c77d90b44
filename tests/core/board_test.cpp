// The board: its table, its step on known patterns and against the previous hash-tally step on
// thousands of random boards with edits between steps, and its history against a stack of whole boards.
#include <algorithm>
#include <deque>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cell_index.h"
#include "hash_step_model.h"
#include "history.h"
#include "pattern_file.h"
#include "timeline_summary.h"

namespace {

std::vector<CellChange> heard;  // what the listener `Record` heard, in order

void Record(int32_t x, int32_t y, bool alive)
{
    heard.push_back({x, y, alive});
}

// An empty table and history, nothing heard; released after, as the other tests expect to find it.
struct Board : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(AllocateCellStorage()); }
    void TearDown() override
    {
        ForgetHistory();
        ReleaseCellStorage();
        heard.clear();
    }
};

// One entry per cell, in the order added; lookups stay true through removals that leave holes in
// the index; a full table, or one never allocated, refuses adds; removed cells give their tiles back.
TEST_F(Board, TableKeepsOneEntryPerCellInOrderAndRefusesAddsItCannotHold)
{
    ReleaseCellStorage();  // as at start, before the window allocates it
    EXPECT_FALSE(AddCell(1, 1) || IsAlive(1, 1));
    ASSERT_TRUE(AllocateCellStorage());
    for (int32_t i = 0; i < kMaxCells; ++i) {
        ASSERT_TRUE(AddCell(i % 100, -i / 100));
    }
    EXPECT_FALSE(AddCell(-1, -1) || IsAlive(-1, -1));
    for (int32_t i = 0; i < kMaxCells; i += 2) {
        RemoveCell(i % 100, -i / 100);
    }
    RemoveCell(-1, -1);
    EXPECT_FALSE(AddCell(1, 0));
    ASSERT_EQ(count, kMaxCells / 2);
    for (int32_t i = 0; i < kMaxCells; ++i) {
        ASSERT_EQ(IsAlive(i % 100, -i / 100), i % 2 == 1) << i;
        ASSERT_TRUE(i % 2 == 0 || CellAt(i / 2) == (Cell{i % 100, -i / 100})) << i;
    }
    ClearCells();
    EXPECT_FALSE(IsAlive(1, 0));
    // A cell at a tile's corner keeps three tiles; a long session of clicks far apart must not
    // run out of them.
    for (uint32_t k = 0; k < 5 * kMaxCells; ++k) {
        const Cell far = {static_cast<int32_t>(k * 1000003u * 64u - 1u), static_cast<int32_t>(k * 7919u * 16u)};
        ASSERT_TRUE(AddCell(far.x, far.y) && AddCell(3, 3));
        RemoveCell(far.x, far.y);
        RemoveCell(3, 3);
    }
    EXPECT_EQ(GetCellStore()->tileCount, 0);
}

// The previous step's board, edited and stepped beside the table.
HashBoard model;

void Toggle(Cell c)
{
    if (IsAlive(c.x, c.y)) {
        RemoveCell(c.x, c.y);
        model.cells.erase(std::find(model.cells.begin(), model.cells.end(), c));
    } else if (AddCell(c.x, c.y)) {  // refused on a full table
        model.cells.push_back(c);
    }
}

// Steps both, the table through its history; the outcome, the changes heard and the table must
// agree, in order. A refused generation is neither counted nor recorded.
bool StepBoth()
{
    std::vector<CellChange> expected;
    heard.clear();
    const int64_t before = generation;
    const size_t bytes = HistoryBytes();
    const bool stepped = AdvanceGeneration(Record);
    EXPECT_EQ(stepped, HashStep(model, &expected));
    EXPECT_EQ(heard, expected);
    EXPECT_TRUE(stepped || (LastRefusedPopulation() == model.refusedPopulation && generation == before &&
                            HistoryBytes() == bytes));
    EXPECT_EQ(TableCells(), model.cells);
    // A tile lives only for its own cells and the facing edges beside it.
    EXPECT_LE(GetCellStore()->tileCount, 3 * count);
    return stepped;
}

// Collection files do what their sources record of them: a glider comes back moved by (1, 1)
// every 4 generations, here too across both ends of the plane, 44P12.3 comes back in place after
// 12, and the gun has 41 cells at generation 30.
TEST_F(Board, KnownPatternsDoWhatTheirSourcesRecord)
{
    const struct { const char* file; int32_t x, y; int generations; int32_t cells, moved; } known[] = {
        {"glider.rle", 0, 0, 4, 5, 1},
        {"glider_106.lif", INT32_MAX - 1, INT32_MIN + 7, 12, 5, 3},
        {"44p123.rle", -20, 7, 12, 44, 0},
        {"gosperglidergun.rle", 40, -5, 30, 41, -1},  // -1: another shape, only the count
    };
    for (const auto& k : known) {
        std::ifstream in(std::string(QUILLANE_TEST_DATA) + "/" + k.file, std::ios::binary);
        Pattern pattern;
        std::string error;
        ASSERT_TRUE(ReadPattern(std::string(std::istreambuf_iterator<char>(in), {}), pattern, error)) << error;
        std::vector<Cell> expected;
        ClearCells();
        for (Cell c : pattern.cells) {
            ASSERT_TRUE(AddCell(WrapAdd(c.x, k.x), WrapAdd(c.y, k.y)));
            expected.push_back({WrapAdd(WrapAdd(c.x, k.x), k.moved), WrapAdd(WrapAdd(c.y, k.y), k.moved)});
        }
        for (int g = 0; g < k.generations; ++g) {
            ASSERT_TRUE(StepGeneration(nullptr));
        }
        const std::vector<Cell> now = TableCells();
        EXPECT_TRUE(count == k.cells && (k.moved < 0 || std::is_permutation(now.begin(), now.end(), expected.begin())))
            << k.file;
    }
}

// Random boards over several 64x16 tiles, all but the first straddling a place where tile
// coordinates jump; and at the cap, 2,495 to 2,504 L-shaped trios (growing by a third into 2x2
// blocks, one filling the table exactly) with random cells around, refused or taken.
TEST_F(Board, StepOnRandomBoardsWithEditsIsThePreviousStep)
{
    const struct { const char* name; int32_t left, top, width, height, trios; } areas[] = {
        {"inside one tile", 3, 1, 58, 14, 0},
        {"across -1|0", -40, -12, 80, 24, 0},
        {"across x = +-2^31", INT32_MAX - 39, 5, 80, 24, 0},
        {"across y = +-2^31", -30, INT32_MAX - 11, 72, 24, 0},
        {"across both ends", INT32_MAX - 35, INT32_MAX - 11, 72, 24, 0},
        {"at the cap", -40, -12, 250, 250, 2495},
        {"at the cap across both ends", INT32_MAX - 35, INT32_MAX - 11, 250, 250, 2495},
    };
    int refused = 0;
    for (const auto& a : areas) {
        for (uint32_t seed = 1; seed <= (a.trios ? 16 : 420); ++seed) {
            std::mt19937 rng(seed);
            auto randomCell = [&] {
                return Cell{WrapAdd(a.left, int32_t(rng() % uint32_t(a.width))),
                            WrapAdd(a.top, int32_t(rng() % uint32_t(a.height)))};
            };
            ClearCells();
            model.cells.clear();
            for (int32_t i = a.trios ? a.trios + int32_t(seed % 10) : 0; i > 0; --i) {
                const int32_t x = WrapAdd(a.left, i % 50 * 5), y = WrapAdd(a.top, i / 50 * 5);
                for (Cell c : {Cell{x, y}, Cell{WrapAdd(x, 1), y}, Cell{x, WrapAdd(y, 1)}}) {
                    Toggle(c);
                }
            }
            // Else 8% to 40% of the area alive at first; then a few edits before each step.
            uint32_t edits = a.trios ? 0 : uint32_t(a.width * a.height) * (8 + rng() % 32) / 100;
            for (int round = 0; round < 8; ++round, edits = rng() % (a.trios ? 60 : 4)) {
                for (; edits > 0; --edits) {
                    Toggle(randomCell());
                }
                if (!StepBoth()) {
                    ++refused;
                    // Half the runs then empty the area's top ten rows. The refused generation was computed
                    // into their tiles' scratch rows, which the next step leaves alone: none of it may return.
                    for (Cell c : TableCells()) {
                        if (seed % 2 == 0 && uint32_t(c.y) - uint32_t(a.top) < 10) {
                            Toggle(c);
                        }
                    }
                }
                const Cell probe = randomCell();
                ASSERT_EQ(CountNeighbours(probe.x, probe.y), ReferenceCountNeighbours({model.cells}, probe));
                ASSERT_FALSE(HasFailure()) << a.name << ", seed " << seed << ", round " << round;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

// Generations, clicks, Clears, replaced boards, edits (strokes and whole results), steps back and redos in
// random order in a 16-cell box near the origin, across one end of the plane and across both. Each undo and
// redo gives back the very table, in order, and its generation number, and announces exactly the cells that
// change; any change that records an entry ends what could be redone. The timeline's summary holds every board's
// generation, cells and whether an edit made it, and its spans the fewest and most; a scrub to any board reaches
// the very table the presses reach.
TEST_F(Board, HistoryOnRandomRunsMatchesAStackOfWholeBoards)
{
    for (Cell corner : {Cell{-8, -8}, Cell{INT32_MAX - 9, INT32_MIN + 3}, Cell{INT32_MAX - 7, INT32_MAX - 7}}) {
        ClearCells();
        ForgetHistory();
        std::mt19937 rng(static_cast<uint32_t>(corner.x));
        auto randomCell = [&] { return Cell{WrapAdd(corner.x, int32_t(rng() % 16)), WrapAdd(corner.y, int32_t(rng() % 16))}; };
        struct Snapshot : ReferenceBoard { int64_t generation; bool edited; };
        Snapshot now = {{}, 0, false};
        std::vector<Snapshot> past, future, splits;
        for (int round = 0; round < 6000; ++round) {
            const uint32_t what = rng() % 100;
            const Snapshot before = now;
            std::vector<CellChange> expected;
            heard.clear();
            if (what < 30) {
                ASSERT_EQ(AdvanceGeneration(Record), ReferenceStep(now, &expected));
                now.generation += before.cells.empty() ? 0 : 1;
            } else if (what < 55) {
                // A click: a stroke of one cell.
                const Cell c = randomCell();
                const bool alive = !ReferenceIsAlive(now, c.x, c.y);
                BeginEdit();
                ASSERT_TRUE(SetCellInEdit(c.x, c.y, alive));
                alive ? void(ReferenceAdd(now, c.x, c.y)) : ReferenceRemove(now, c.x, c.y);
            } else if (what < 62) {
                // A Clear, a board replaced by a few cells (some twice, kept once), an edit's result (which
                // keeps the generation), or a stroke through the table's own functions.
                std::vector<Cell> cells(what < 57 ? 0 : rng() % 60);
                now = {{}, what < 60 ? 0 : before.generation, false};
                for (Cell& cell : cells) {
                    cell = randomCell();
                    if (!ReferenceIsAlive(now, cell.x, cell.y)) {
                        now.cells.push_back(cell);
                    }
                }
                if (what == 61) {
                    // A stroke records the cells it changes; one that brings back a cell it took away
                    // goes on in a new entry, so that each stays exact.
                    now = before;
                    BeginEdit();
                    std::vector<Cell> taken, drawn;
                    for (Cell cell : cells) {
                        const bool alive = !ReferenceIsAlive(now, cell.x, cell.y);
                        if (alive && std::find(taken.begin(), taken.end(), cell) != taken.end()) {
                            splits.push_back(now), taken.clear(), drawn.clear();
                        }
                        auto born = std::find(drawn.begin(), drawn.end(), cell);
                        alive ? drawn.push_back(cell) : born != drawn.end() ? void(drawn.erase(born)) : taken.push_back(cell);
                        alive ? void(ReferenceAdd(now, cell.x, cell.y)) : ReferenceRemove(now, cell.x, cell.y);
                        ASSERT_TRUE(SetCellInEdit(cell.x, cell.y, alive));
                    }
                } else {
                    ASSERT_TRUE(what < 57 ? (ClearBoard(), true) : what < 60 ? ReplaceBoard(cells) : EditBoard(cells));
                }
            } else {
                std::vector<Snapshot>& from = what < 82 ? past : future;
                ASSERT_EQ(what < 82 ? StepBack(Record) : Redo(Record), !from.empty());
                if (!from.empty()) {
                    now = from.back();
                    from.pop_back();
                    (what < 82 ? future : past).push_back(before);
                }
                // Those that die, in the table's order before, then those that come back, in its order after.
                for (const Snapshot* side : {&before, &std::as_const(now)}) {
                    for (Cell cell : side->cells) {
                        if (!ReferenceIsAlive(side == &now ? before : now, cell.x, cell.y)) {
                            expected.push_back({cell.x, cell.y, side == &now});
                        }
                    }
                }
            }
            ASSERT_EQ(heard, expected) << "round " << round;
            // Only an empty Clear at generation 0 and a step of an empty board leave no entry.
            if (what < 62 && (before.cells != now.cells || before.generation != now.generation || what >= 57)) {
                past.push_back(before);
                for (Snapshot& split : splits) {
                    split.edited = true;
                    past.push_back(split);
                }
                splits.clear();
                future.clear();
                now.edited = what >= 30;
            } else if (what < 62) {
                now.edited = before.edited;
            }
            ASSERT_EQ(TableCells(), now.cells) << "from " << corner.x << ", " << corner.y << ", round " << round;
            ASSERT_EQ(generation, now.generation) << "round " << round;
            ASSERT_EQ(CanStepBack(), !past.empty());
            ASSERT_EQ(CanRedo(), !future.empty());
            auto board = [&](size_t i) -> const Snapshot& {
                return i < past.size() ? past[i] : i == past.size() ? now : future[future.size() - (i - past.size())];
            };
            if (round % 89 == 0) {
                const size_t target = rng() % (past.size() + future.size() + 1);
                ASSERT_TRUE(GoToTimelineBoard(int64_t(target)));
                for (; past.size() > target; past.pop_back()) {
                    future.push_back(now), now = past.back();
                }
                for (; past.size() < target; future.pop_back()) {
                    past.push_back(now), now = future.back();
                }
                ASSERT_EQ(TableCells(), now.cells) << "scrub in round " << round;
                ASSERT_EQ(generation, now.generation);
            }
            ASSERT_EQ(TimelineBoards(), int64_t(past.size() + future.size() + 1));
            ASSERT_EQ(TimelineShown(), int64_t(past.size()));
            if (round % 7 == 0) {
                TimelineSpan expected = {kMaxCells, 0, false};
                const size_t end = rng() % (past.size() + future.size() + 1) + 1, first = rng() % end;
                for (size_t i = 0; i <= past.size() + future.size(); ++i) {
                    ASSERT_EQ(TimelineCells(int64_t(i)), int32_t(board(i).cells.size())) << "round " << round << ", board " << i;
                    ASSERT_EQ(TimelineGeneration(int64_t(i)), board(i).generation) << "round " << round << ", board " << i;
                    ASSERT_EQ(TimelineEdited(int64_t(i)), board(i).edited) << "round " << round << ", board " << i;
                    if (i >= first && i < end) {
                        expected = {std::min(expected.fewestCells, TimelineCells(int64_t(i))),
                                    std::max(expected.mostCells, TimelineCells(int64_t(i))), expected.edited || TimelineEdited(int64_t(i))};
                    }
                }
                const TimelineSpan span = SummariseTimeline(int64_t(first), int64_t(end));
                ASSERT_TRUE(span.fewestCells == expected.fewestCells && span.mostCells == expected.mostCells &&
                            span.edited == expected.edited) << "round " << round;
            }
        }
    }
}

// A record that cannot describe a step to this table (edited behind the history's back) changes and
// announces nothing; met by a step back, it ends the whole history instead of corrupting the board.
TEST_F(Board, UndoRefusesRecordsTheTableCannotHaveComeFromAndEndsTheHistory)
{
    ASSERT_TRUE(AddCell(0, 0) && AddCell(1, 0) && AddCell(2, 0));
    const std::vector<Cell> row = TableCells();
    const int32_t tiles = GetCellStore()->tileCount;
    const struct { const char* name; std::vector<DeadCell> dead; int32_t born; } cases[] = {
        {"more born than cells", {}, 4},
        {"born negative", {}, -1},
        {"a dead cell alive", {{{9, 9}, 0}, {{1, 0}, 1}}, 0},
        {"positions not ascending", {{{5, 5}, 1}, {{6, 6}, 1}}, 0},
        {"a position past the restored table", {{{5, 5}, 3}}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(UndoStep(c.dead.data(), int32_t(c.dead.size()), c.born, Record)) << c.name;
        EXPECT_TRUE(heard.empty() && TableCells() == row && GetCellStore()->tileCount == tiles) << c.name;
    }
    // A generation, and a stroke's newborn, undone on a table cleared behind the history's back.
    for (bool stroke : {false, true}) {
        ClearCells();
        ASSERT_TRUE(AddCell(0, 0) && AddCell(1, 0) && AddCell(2, 0));
        stroke ? (BeginEdit(), void(SetCellInEdit(5, 5, true))) : void(AdvanceGeneration(nullptr));
        ClearCells();
        EXPECT_TRUE(!StepBack(Record) && count == 0 && !CanStepBack() && heard.empty());
    }
}

// A replaced board keeps the view it was seen in, and an edit the selection it turned, through undo and redo (a
// generation keeps neither); a full table's worth of cells is a board, one more is not. Strokes on a full board
// record only the cells they change.
TEST_F(Board, EditsKeepTheirViewAndSelectionAndTakeAFullTable)
{
    std::vector<Cell> full, moved;
    for (int32_t i = 0; i <= kMaxCells; ++i) {
        full.push_back({i % 100 * 3, i / 100 * 3});
        moved.push_back({i % 100 * 3 + 1, i / 100 * 3});
    }
    EXPECT_FALSE(ReplaceBoard(full) || EditBoard(moved));
    full.pop_back(), moved.pop_back();
    const SelectionChange turn = {true, {true, {0, 0, 2, 0}}, {true, {1, -1, 1, 1}}};
    ASSERT_TRUE(ReplaceBoard(full, {7, 1, 2}) && EditBoard(moved, turn) && count == kMaxCells);
    Selection shown = {};
    ASSERT_TRUE(StepBack(nullptr) && UndoneSelection(shown) && shown == turn.before);
    ASSERT_TRUE(StepBack(nullptr) && !UndoneSelection(shown) && count == 0);
    EXPECT_TRUE(UndoneView().cellSize == 7 && UndoneView().offsetX == 1 && UndoneView().offsetY == 2);
    KeepView({9, 3, 4});
    ASSERT_TRUE(Redo(nullptr) && TableCells() == full);
    EXPECT_TRUE(UndoneView().cellSize == 9 && UndoneView().offsetX == 3 && UndoneView().offsetY == 4);
    ASSERT_TRUE(Redo(nullptr) && UndoneSelection(shown) && shown == turn.after && TableCells() == moved);
    ASSERT_TRUE(AdvanceGeneration(nullptr) && StepBack(nullptr) && !UndoneSelection(shown));
    const size_t before = HistoryBytes();
    for (size_t stroke = 0; stroke < 50; ++stroke) {
        const Cell a = moved[stroke * 100], b = moved[stroke * 100 + 1];
        BeginEdit();
        ASSERT_TRUE(SetCellInEdit(a.x, a.y, false) && SetCellInEdit(b.x, b.y, false) && count == kMaxCells - 2 * int(stroke) - 2);
    }
    EXPECT_LT(HistoryBytes() - before, 50 * 1024u);  // a whole board is 80 KB
}

// The summary over long timelines whose oldest boards go and whose newest are undone, redone and dropped: each span
// read from its blocks is the span read board by board.
TEST_F(Board, TimelineSpansOverBoardsComingAndGoingAtBothEnds)
{
    std::mt19937 rng(26);
    std::deque<std::pair<int32_t, bool>> boards = {{0, false}};
    size_t shown = 0;
    SummaryReset(0, 0);
    for (int round = 0; round < 40000; ++round) {
        const uint32_t what = rng() % 100;
        const int32_t cells = int32_t(rng() % (what % 2 ? 10001 : 40));
        if (what < 55) {
            boards.erase(boards.begin() + std::ptrdiff_t(shown + 1), boards.end());
            boards.push_back({cells, what < 10});
            shown = boards.size() - 1;
            SummaryPush(0, cells, what < 10);
        } else if (what < 70 && shown > 0) {
            --shown, SummaryBack();
        } else if (what < 80 && shown + 1 < boards.size()) {
            boards[++shown].first = cells;
            SummaryForward(0, cells);
        } else if (what < 92 && shown > 0) {
            boards.pop_front(), --shown, SummaryDropOldest();
        } else if (what < 95 && shown + 1 < boards.size()) {
            boards.pop_back(), SummaryDropNewest();
        } else {
            boards[shown].first = cells;
            SummarySetShownCells(cells);
        }
        ASSERT_TRUE(TimelineBoards() == int64_t(boards.size()) && TimelineShown() == int64_t(shown)) << round;
        const size_t end = rng() % boards.size() + 1, first = rng() % end;
        TimelineSpan expected = {kMaxCells, 0, false};
        for (size_t i = first; i < end; ++i) {
            expected = {std::min(expected.fewestCells, boards[i].first), std::max(expected.mostCells, boards[i].first),
                        expected.edited || boards[i].second};
        }
        const TimelineSpan span = SummariseTimeline(int64_t(first), int64_t(end));
        ASSERT_TRUE(span.fewestCells == expected.fewestCells && span.mostCells == expected.mostCells &&
                    span.edited == expected.edited) << "round " << round << " [" << first << ", " << end << ")";
    }
}

// A full table of blinkers and a lone cell: every generation 6,666 cells die and as many are
// born, so each entry holds about 80 KiB and a thousand of them pass the bound; redone, they stay within it.
TEST_F(Board, HistoryAtTheCapDropsTheOldestEntriesPastItsBoundAndBackStopsAtTheOldestKept)
{
    for (int32_t i = 0; i < kMaxCells - 1; ++i) {
        ASSERT_TRUE(AddCell(i / 3 % 100 * 4 + i % 3, i / 300 * 4));
    }
    ASSERT_TRUE(AddCell(-9, -9));
    size_t largest = 0;
    for (int g = 0; g < 1000; ++g) {
        ASSERT_TRUE(AdvanceGeneration(nullptr));
        largest = std::max(largest, HistoryBytes());
    }
    EXPECT_LE(largest, kHistoryBytes);
    EXPECT_GT(largest, kHistoryBytes - 100 * 1024);
    while (StepBack(nullptr)) {
        ASSERT_EQ(count, kMaxCells - 1);
    }
    EXPECT_GT(generation, 0);
    EXPECT_LT(generation, 300);
    // Redone, each generation again makes its entry within the bound.
    while (Redo(nullptr)) {
        ASSERT_EQ(count, kMaxCells - 1);
    }
    EXPECT_EQ(generation, 1000);
    EXPECT_LE(HistoryBytes(), kHistoryBytes);
    ForgetHistory();
    EXPECT_EQ(HistoryBytes(), 0u);

    // Near the bound, with two whole boards waiting to be redone, a new generation drops them, not
    // the oldest generation: going back still reaches generation 0.
    const size_t entry = HistoryBytes();
    ASSERT_TRUE(AdvanceGeneration(nullptr));
    const size_t step = HistoryBytes() - entry;
    while (HistoryBytes() + 3 * step <= kHistoryBytes) {
        ASSERT_TRUE(AdvanceGeneration(nullptr));
    }
    const std::vector<Cell> cells = TableCells();
    ASSERT_TRUE(EditBoard(cells) && EditBoard(cells) && StepBack(nullptr) && StepBack(nullptr));
    ASSERT_GT(HistoryBytes() + step, kHistoryBytes);
    ASSERT_TRUE(AdvanceGeneration(nullptr));
    while (StepBack(nullptr)) {}
    EXPECT_EQ(generation, 0);
}

}  // namespace
