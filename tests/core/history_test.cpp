// The board's history against a model that keeps a whole board per entry: every undo must give
// back the very table (order included) and announce exactly the cells that change.
#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cell_table.h"
#include "history.h"
#include "reference_life.h"

namespace {

std::vector<CellChange> heard;

void Record(int32_t x, int32_t y, bool alive)
{
    heard.push_back({x, y, alive});
}

std::vector<Cell> Entries()
{
    std::vector<Cell> out;
    for (int32_t i = 0; i < count; ++i) {
        out.push_back(CellAt(i));
    }
    return out;
}

// Blinkers four cells apart and a lone cell that dies: n + 1 cells, 10,000 at most.
void PlaceBlinkers(int32_t n)
{
    for (int32_t i = 0; i < n / 3; ++i) {
        for (int32_t dx : {0, 1, 2}) {
            ASSERT_TRUE(AddCell(i % 100 * 4 + dx, i / 100 * 4));
        }
    }
    ASSERT_TRUE(AddCell(-9, -9));
}

// A table's entries, order included, in one number.
uint64_t Fingerprint()
{
    uint64_t h = 14695981039346656037ull;
    for (Cell c : Entries()) {
        h = ((h ^ static_cast<uint32_t>(c.x)) * 1099511628211ull ^ static_cast<uint32_t>(c.y)) * 1099511628211ull;
    }
    return h;
}

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        heard.clear();
        ForgetHistory();
        ASSERT_TRUE(AllocateCellStorage());
    }
    void TearDown() override
    {
        ForgetHistory();
        ReleaseCellStorage();
    }
};

TEST_F(HistoryTest, ARefusedGenerationRecordsNothing)
{
    // L-shaped trios, each about to grow into a block: the next generation cannot fit.
    for (int32_t i = 0; i < 3333; ++i) {
        for (Cell c : {Cell{0, 0}, Cell{1, 0}, Cell{0, 1}}) {
            ASSERT_TRUE(AddCell(i % 100 * 4 + c.x, i / 100 * 4 + c.y));
        }
    }
    ASSERT_TRUE(AddCell(-50, -50));
    EXPECT_FALSE(AdvanceGeneration(Record));
    EXPECT_FALSE(CanStepBack());
    EXPECT_EQ(generation, 0);
    EXPECT_EQ(HistoryBytes(), 0u);
    EXPECT_TRUE(heard.empty());
}

TEST_F(HistoryTest, ATableEditedBehindTheHistorysBackStopsTheUndoInsteadOfCorruptingIt)
{
    PlaceBlinkers(3);
    ASSERT_TRUE(AdvanceGeneration(nullptr));
    ClearCells();
    EXPECT_FALSE(StepBack(Record));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(CanStepBack());
    EXPECT_TRUE(heard.empty());
}

// Generations, clicks, clears, replaced boards and steps back in random order in a 16-cell box,
// checked against a stack of whole boards after every operation. A generation after a step back
// must repeat the literal model's changes exactly, which it only does from the same table order.
void RandomRun(int32_t left, int32_t top)
{
    std::mt19937 rng(static_cast<uint32_t>(left));
    std::uniform_int_distribution<int32_t> d(0, 15);
    struct Snapshot {
        ReferenceBoard board;
        int64_t generation;
    };
    Snapshot now = {{}, 0};
    std::vector<Snapshot> past;
    for (int round = 0; round < 4000; ++round) {
        const uint32_t what = rng() % 100;
        const Cell c = {WrapAdd(left, d(rng)), WrapAdd(top, d(rng))};
        const Snapshot before = now;
        heard.clear();
        std::vector<CellChange> expected;
        if (what < 35) {
            const bool stepped = ReferenceStep(now.board, &expected);
            ASSERT_EQ(AdvanceGeneration(Record), stepped);
            now.generation += before.board.cells.empty() ? 0 : 1;
        } else if (what < 65) {
            bool alive = false;
            ASSERT_TRUE(ToggleCell(c.x, c.y, alive));
            ASSERT_EQ(alive, !ReferenceIsAlive(now.board, c.x, c.y));
            if (alive) {
                ReferenceAdd(now.board, c.x, c.y);
            } else {
                ReferenceRemove(now.board, c.x, c.y);
            }
        } else if (what < 70) {
            // A Clear, or a board replaced by a few cells (some twice, kept once).
            std::vector<Cell> cells(what < 67 ? 0 : rng() % 60);
            for (Cell& cell : cells) {
                cell = {WrapAdd(left, d(rng)), WrapAdd(top, d(rng))};
            }
            if (what < 67) {
                ClearBoard();
            } else {
                ASSERT_TRUE(ReplaceBoard(cells));
            }
            now = {{}, 0};
            for (Cell cell : cells) {
                if (!ReferenceIsAlive(now.board, cell.x, cell.y)) {
                    ReferenceAdd(now.board, cell.x, cell.y);
                }
            }
        } else {
            ASSERT_EQ(StepBack(Record), !past.empty());
            if (!past.empty()) {
                now = past.back();
                past.pop_back();
            }
            // Each cell whose state differs is announced once, with its new state.
            for (Cell cell : before.board.cells) {
                if (!ReferenceIsAlive(now.board, cell.x, cell.y)) {
                    expected.push_back({cell.x, cell.y, false});
                }
            }
            for (Cell cell : now.board.cells) {
                if (!ReferenceIsAlive(before.board, cell.x, cell.y)) {
                    expected.push_back({cell.x, cell.y, true});
                }
            }
            ASSERT_TRUE(std::is_permutation(heard.begin(), heard.end(), expected.begin(), expected.end()));
        }
        if (what < 70) {
            ASSERT_EQ(heard, what < 35 ? expected : std::vector<CellChange>{});
            // Only an empty Clear at generation 0 and a step of an empty board leave no entry.
            if (before.board.cells != now.board.cells || before.generation != now.generation || what >= 67) {
                past.push_back(before);
            }
        }
        ASSERT_EQ(Entries(), now.board.cells) << "round " << round;
        ASSERT_EQ(generation, now.generation) << "round " << round;
        ASSERT_EQ(CanStepBack(), !past.empty());
    }
}

TEST_F(HistoryTest, RandomRunsMatchAStackOfWholeBoards)
{
    // Near the origin, across one end of the plane, and across both.
    for (Cell corner : {Cell{-8, -8}, Cell{INT32_MAX - 9, INT32_MIN + 3}, Cell{INT32_MAX - 7, INT32_MAX - 7}}) {
        ClearCells();
        ForgetHistory();
        RandomRun(corner.x, corner.y);
        ASSERT_FALSE(HasFatalFailure()) << "from " << corner.x << ", " << corner.y;
    }
}

// A full table of blinkers: every generation 6,666 cells die and as many are born, so each entry
// holds about 80 KiB and a thousand of them pass the bound. Every step back gives the table of
// its generation again, order included.
TEST_F(HistoryTest, AtTheCapTheOldestEntriesGoPastTheBoundAndBackStopsAtTheOldestKept)
{
    PlaceBlinkers(kMaxCells - 1);
    const uint64_t full = Fingerprint();
    for (bool forward : {true, true, true, false, false, false}) {
        ASSERT_TRUE(forward ? AdvanceGeneration(nullptr) : StepBack(nullptr));
    }
    ASSERT_EQ(Fingerprint(), full);
    const int generations = 1000;
    std::vector<uint64_t> tables = {full};
    size_t largest = 0;
    for (int g = 0; g < generations; ++g) {
        ASSERT_TRUE(AdvanceGeneration(nullptr));
        tables.push_back(Fingerprint());
        largest = std::max(largest, HistoryBytes());
    }
    EXPECT_LE(largest, kHistoryBytes);
    EXPECT_GT(largest, kHistoryBytes - 100 * 1024);
    int back = 0;
    while (StepBack(nullptr)) {
        ++back;
        ASSERT_EQ(Fingerprint(), tables[static_cast<size_t>(generations - back)]) << back << " back";
        ASSERT_EQ(generation, generations - back);
    }
    EXPECT_GT(back, 700);
    EXPECT_LT(back, generations);
    EXPECT_EQ(HistoryBytes(), 0u);
}

}  // namespace
