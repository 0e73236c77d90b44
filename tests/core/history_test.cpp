// The board's history against a model that keeps a whole board per entry: every undo must give
// back the very table (order included) and announce exactly the cells that change.
#include <algorithm>
#include <climits>
#include <random>
#include <set>
#include <utility>
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

void Place(const std::vector<Cell>& cells)
{
    for (const Cell& c : cells) {
        ASSERT_TRUE(AddCell(c.x, c.y));
    }
}

std::vector<Cell> Shifted(std::vector<Cell> cells, int32_t dx, int32_t dy)
{
    for (Cell& c : cells) {
        c = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
    }
    return cells;
}

// Blinkers three cells apart, `n` cells in all.
std::vector<Cell> Blinkers(int32_t n)
{
    std::vector<Cell> cells;
    for (int32_t i = 0; static_cast<int32_t>(cells.size()) + 3 <= n; ++i) {
        const Cell c = {i % 100 * 4, i / 100 * 4};
        cells.insert(cells.end(), {c, {c.x + 1, c.y}, {c.x + 2, c.y}});
    }
    return cells;
}

// The changes that turn one board into the other, each cell once, in no particular order.
std::set<std::pair<std::pair<int32_t, int32_t>, bool>> Difference(const std::vector<Cell>& from, const std::vector<Cell>& to)
{
    std::set<std::pair<std::pair<int32_t, int32_t>, bool>> out;
    for (Cell c : from) {
        if (std::find(to.begin(), to.end(), c) == to.end()) {
            out.insert({{c.x, c.y}, false});
        }
    }
    for (Cell c : to) {
        if (std::find(from.begin(), from.end(), c) == from.end()) {
            out.insert({{c.x, c.y}, true});
        }
    }
    return out;
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

const std::vector<Cell> kGlider = {{1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};

TEST_F(HistoryTest, ForwardThenBackGivesTheSameTablesAndTheSameCallsAgain)
{
    const struct { const char* name; std::vector<Cell> start; int generations; } cases[] = {
        {"glider", kGlider, 40},
        {"glider across both ends", Shifted(kGlider, INT32_MAX - 20, INT32_MAX - 20), 80},
        {"R-pentomino", {{1, 0}, {2, 0}, {0, 1}, {1, 1}, {1, 2}}, 120},
        {"a full table", Blinkers(kMaxCells - 1), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearCells();
        ForgetHistory();
        Place(c.start);
        if (c.name[0] == 'a') {
            ASSERT_TRUE(AddCell(-9, -9));  // a lone cell that dies: 10,000 cells, then 9,999
            ASSERT_EQ(count, kMaxCells);
        }
        std::vector<std::vector<Cell>> tables = {Entries()};
        std::vector<std::vector<CellChange>> calls;
        for (int g = 0; g < c.generations; ++g) {
            heard.clear();
            ASSERT_TRUE(AdvanceGeneration(Record));
            tables.push_back(Entries());
            calls.push_back(heard);
        }
        EXPECT_EQ(generation, c.generations);
        for (int g = c.generations; g > 0; --g) {
            heard.clear();
            ASSERT_TRUE(StepBack(Record));
            ASSERT_EQ(Entries(), tables[static_cast<size_t>(g) - 1]) << "back to generation " << g - 1;
            ASSERT_EQ(generation, g - 1);
            const auto announced = Difference(tables[static_cast<size_t>(g)], Entries());
            ASSERT_EQ(heard.size(), announced.size());
            for (const CellChange& h : heard) {
                ASSERT_EQ(announced.count({{h.x, h.y}, h.alive}), 1u);
            }
            // Forward again: the same step from the same order, call for call.
            heard.clear();
            ASSERT_TRUE(AdvanceGeneration(Record));
            ASSERT_EQ(heard, calls[static_cast<size_t>(g) - 1]);
            ASSERT_EQ(Entries(), tables[static_cast<size_t>(g)]);
            ASSERT_TRUE(StepBack(nullptr));
        }
        EXPECT_FALSE(CanStepBack());
        heard.clear();
        EXPECT_FALSE(StepBack(Record));
        EXPECT_TRUE(heard.empty());
        EXPECT_EQ(Entries(), tables[0]);
    }
}

TEST_F(HistoryTest, ARefusedGenerationAnEmptyBoardAndAnEmptyClearRecordNothing)
{
    ClearBoard();
    EXPECT_TRUE(AdvanceGeneration(Record));
    EXPECT_FALSE(CanStepBack());
    // L-shaped trios, each about to grow into a block: the next generation cannot fit.
    for (int32_t i = 0; i < 3333; ++i) {
        const Cell c = {i % 100 * 4, i / 100 * 4};
        Place({c, {c.x + 1, c.y}, {c.x, c.y + 1}});
    }
    ASSERT_TRUE(AddCell(-50, -50));
    EXPECT_FALSE(AdvanceGeneration(Record));
    EXPECT_FALSE(CanStepBack());
    EXPECT_EQ(generation, 0);
    EXPECT_EQ(HistoryBytes(), 0u);
    bool alive = false;
    EXPECT_FALSE(ToggleCell(-60, -60, alive));
    EXPECT_FALSE(CanStepBack());
    EXPECT_TRUE(heard.empty());
}

TEST_F(HistoryTest, ATableEditedBehindTheHistorysBackStopsTheUndoInsteadOfCorruptingIt)
{
    Place(kGlider);
    ASSERT_TRUE(AdvanceGeneration(nullptr));
    ClearCells();
    EXPECT_FALSE(StepBack(Record));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(CanStepBack());
    EXPECT_TRUE(heard.empty());
}

struct Box {
    int32_t left;
    int32_t top;
    int32_t size;
};

class HistoryRandomTest : public HistoryTest, public ::testing::WithParamInterface<Box> {};

// Generations, clicks, clears, replaced boards and steps back in random order, checked against
// a stack of whole boards after every operation.
TEST_P(HistoryRandomTest, MatchesAStackOfWholeBoards)
{
    const Box box = GetParam();
    std::mt19937 rng(static_cast<uint32_t>(box.size));
    std::uniform_int_distribution<int32_t> d(0, box.size - 1);
    auto randomCell = [&] { return Cell{WrapAdd(box.left, d(rng)), WrapAdd(box.top, d(rng))}; };
    struct Snapshot {
        ReferenceBoard board;
        int64_t generation;
    };
    Snapshot now = {{}, 0};
    std::vector<Snapshot> past;
    int undone = 0;
    for (int round = 0; round < 1500; ++round) {
        const uint32_t what = rng() % 100;
        heard.clear();
        std::vector<CellChange> expected;
        if (what < 35) {
            Snapshot next = now;
            const bool stepped = ReferenceStep(next.board, &expected);
            ASSERT_EQ(AdvanceGeneration(Record), stepped);
            if (stepped && !now.board.cells.empty()) {
                ++next.generation;
                past.push_back(now);
                now = next;
            }
            ASSERT_EQ(heard, expected);
        } else if (what < 65) {
            const Cell c = randomCell();
            bool alive = false;
            ASSERT_TRUE(ToggleCell(c.x, c.y, alive));
            past.push_back(now);
            if (alive) {
                ReferenceAdd(now.board, c.x, c.y);
            } else {
                ReferenceRemove(now.board, c.x, c.y);
            }
            ASSERT_EQ(alive, ReferenceIsAlive(now.board, c.x, c.y));
        } else if (what < 68) {
            if (!now.board.cells.empty() || now.generation != 0) {
                past.push_back(now);
            }
            ClearBoard();
            now = {{}, 0};
        } else if (what < 71) {
            std::vector<Cell> cells(rng() % 60);
            for (Cell& c : cells) {
                c = randomCell();
            }
            ASSERT_TRUE(ReplaceBoard(cells));
            past.push_back(now);
            now = {{}, 0};
            for (Cell c : cells) {
                if (!ReferenceIsAlive(now.board, c.x, c.y)) {
                    ReferenceAdd(now.board, c.x, c.y);
                }
            }
        } else {
            const std::vector<Cell> before = now.board.cells;
            ASSERT_EQ(StepBack(Record), !past.empty());
            if (!past.empty()) {
                now = past.back();
                past.pop_back();
                ++undone;
            }
            const auto changes = Difference(before, now.board.cells);
            ASSERT_EQ(heard.size(), changes.size());
            for (const CellChange& h : heard) {
                ASSERT_EQ(changes.count({{h.x, h.y}, h.alive}), 1u);
            }
        }
        ASSERT_EQ(Entries(), now.board.cells) << "round " << round;
        ASSERT_EQ(generation, now.generation) << "round " << round;
        ASSERT_EQ(CanStepBack(), !past.empty());
    }
    EXPECT_GT(undone, 300);
}

INSTANTIATE_TEST_SUITE_P(Boxes, HistoryRandomTest,
                         ::testing::Values(Box{-6, -6, 12}, Box{INT32_MAX - 9, INT32_MIN + 3, 20},
                                           Box{INT32_MAX - 11, INT32_MAX - 11, 24}));

// A table's entries, order included, in one number.
uint64_t Fingerprint()
{
    uint64_t h = 14695981039346656037ull;
    for (int32_t i = 0; i < count; ++i) {
        const Cell c = CellAt(i);
        h = (h ^ static_cast<uint32_t>(c.x)) * 1099511628211ull;
        h = (h ^ static_cast<uint32_t>(c.y)) * 1099511628211ull;
    }
    return h;
}

// 3,000 blinkers: every generation, 6,000 cells die and as many are born, so each entry holds
// about 70 KiB and a thousand of them pass the bound.
TEST_F(HistoryTest, TheOldestEntriesGoPastTheBoundAndBackStopsAtTheOldestKept)
{
    Place(Blinkers(9000));
    const int generations = 1100;
    std::vector<uint64_t> tables = {Fingerprint()};
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
    }
    EXPECT_LT(back, generations);
    EXPECT_GT(back, 900);
    EXPECT_EQ(generation, generations - back);
    EXPECT_EQ(HistoryBytes(), 0u);
    EXPECT_EQ(Fingerprint(), tables[static_cast<size_t>(generations - back)]);
}

}  // namespace
