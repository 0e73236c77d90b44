// The board's history against a stack of whole boards: every undo must give back the very table
// (order included) and its generation number, and announce exactly the cells that change.
#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cell_index.h"
#include "history.h"
#include "reference_life.h"

namespace {

struct HistoryTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(FreshBoard()); }
    void TearDown() override { ReleaseBoard(); }
};

// Generations, clicks, Clears, replaced boards and steps back in random order in a 16-cell box:
// near the origin, across one end of the plane and across both.
TEST_F(HistoryTest, RandomRunsMatchAStackOfWholeBoards)
{
    for (Cell corner : {Cell{-8, -8}, Cell{INT32_MAX - 9, INT32_MIN + 3}, Cell{INT32_MAX - 7, INT32_MAX - 7}}) {
        ASSERT_TRUE(FreshBoard());
        std::mt19937 rng(static_cast<uint32_t>(corner.x));
        auto randomCell = [&] { return Cell{WrapAdd(corner.x, int32_t(rng() % 16)), WrapAdd(corner.y, int32_t(rng() % 16))}; };
        struct Snapshot : ReferenceBoard { int64_t generation; };
        Snapshot now = {{}, 0};
        std::vector<Snapshot> past;
        for (int round = 0; round < 4000; ++round) {
            const uint32_t what = rng() % 100;
            const Snapshot before = now;
            std::vector<CellChange> expected;
            heard.clear();
            if (what < 35) {
                ASSERT_EQ(AdvanceGeneration(Record), ReferenceStep(now, &expected));
                now.generation += before.cells.empty() ? 0 : 1;
            } else if (what < 65) {
                const Cell c = randomCell();
                bool alive = false;
                ASSERT_TRUE(ToggleCell(c.x, c.y, alive));
                ASSERT_EQ(alive, !ReferenceIsAlive(now, c.x, c.y));
                alive ? void(ReferenceAdd(now, c.x, c.y)) : ReferenceRemove(now, c.x, c.y);
            } else if (what < 70) {
                // A Clear, or a board replaced by a few cells (some twice, kept once).
                std::vector<Cell> cells(what < 67 ? 0 : rng() % 60);
                now = {{}, 0};
                for (Cell& cell : cells) {
                    cell = randomCell();
                    if (!ReferenceIsAlive(now, cell.x, cell.y)) {
                        now.cells.push_back(cell);
                    }
                }
                ASSERT_TRUE(what < 67 ? (ClearBoard(), true) : ReplaceBoard(cells));
            } else {
                ASSERT_EQ(StepBack(Record), !past.empty());
                if (!past.empty()) {
                    now = past.back();
                    past.pop_back();
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
            if (what < 70 && (before.cells != now.cells || before.generation != now.generation || what >= 67)) {
                past.push_back(before);
            }
            ASSERT_EQ(TableCells(), now.cells) << "from " << corner.x << ", " << corner.y << ", round " << round;
            ASSERT_EQ(generation, now.generation) << "round " << round;
            ASSERT_EQ(CanStepBack(), !past.empty());
        }
    }
}

// A record that cannot describe a step to this table (edited behind the history's back) changes and
// announces nothing; met by a step back, it ends the whole history instead of corrupting the board.
TEST_F(HistoryTest, RecordsTheTableCannotHaveComeFromAreRefusedAndEndTheHistory)
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
    ASSERT_TRUE(AdvanceGeneration(nullptr));
    ClearCells();
    EXPECT_FALSE(StepBack(Record));
    EXPECT_TRUE(count == 0 && !CanStepBack() && heard.empty());
}

// A full table of blinkers and a lone cell: every generation 6,666 cells die and as many are
// born, so each entry holds about 80 KiB and a thousand of them pass the bound.
TEST_F(HistoryTest, AtTheCapTheOldestEntriesGoPastTheBoundAndBackStopsAtTheOldestKept)
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
    EXPECT_EQ(HistoryBytes(), 0u);
}

}  // namespace
