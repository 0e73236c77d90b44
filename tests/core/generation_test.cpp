// The step against the previous hash-tally step on thousands of random boards, edits between steps.
#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cell_index.h"
#include "hash_step_model.h"
#include "history.h"

namespace {

HashBoard model;

struct GenerationTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(FreshBoard()); }
    void TearDown() override { ReleaseBoard(); }
};

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

// Random boards over several 64x16 tiles, all but the first straddling a place where tile
// coordinates jump; and at the cap, 2,495 to 2,504 L-shaped trios (growing by a third into 2x2
// blocks, one filling the table exactly) with random cells around, refused or taken.
TEST_F(GenerationTest, RandomBoardsWithEditsStepLikeThePreviousStep)
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

}  // namespace
