// The step against the literal model on random boards with edits between steps, and a generation
// refused whole at the cap.
#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cell_table.h"
#include "generation.h"
#include "reference_life.h"

namespace {

struct GenerationTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(FreshBoard()); }
    void TearDown() override { ReleaseBoard(); }
};

// Near the origin, far from it, across one end of the plane and across both.
TEST_F(GenerationTest, RandomBoardsWithEditsStepLikeTheLiteralModel)
{
    for (Cell corner : {Cell{-8, -8}, Cell{1000, -5000}, Cell{INT32_MAX - 9, INT32_MIN + 3}, Cell{INT32_MAX - 11, INT32_MAX - 11}}) {
        for (uint32_t seed = 1; seed <= 12; ++seed) {
            std::mt19937 rng(seed);
            auto randomCell = [&] { return Cell{WrapAdd(corner.x, int32_t(rng() % 22)), WrapAdd(corner.y, int32_t(rng() % 22))}; };
            ClearCells();
            ReferenceBoard model;
            for (int round = 0; round < 40; ++round) {
                for (uint32_t edits = round == 0 ? 50 + seed * 10 : rng() % 6; edits > 0; --edits) {
                    const Cell c = randomCell();
                    if (IsAlive(c.x, c.y)) {
                        RemoveCell(c.x, c.y);
                        model.cells.erase(std::find(model.cells.begin(), model.cells.end(), c));
                    } else {
                        ASSERT_TRUE(AddCell(c.x, c.y));
                        model.cells.push_back(c);
                    }
                }
                heard.clear();
                std::vector<CellChange> expected;
                ASSERT_EQ(StepGeneration(Record), ReferenceStep(model, &expected));
                ASSERT_EQ(heard, expected) << "seed " << seed << ", round " << round;
                ASSERT_EQ(TableCells(), model.cells) << "seed " << seed << ", round " << round;
                const Cell probe = randomCell();
                ASSERT_EQ(CountNeighbours(probe.x, probe.y), ReferenceCountNeighbours(model.cells, probe));
            }
        }
    }
}

// L-shaped trios each grow into a 2x2 block: 2,501 of them would need 10,004 cells.
TEST_F(GenerationTest, AGenerationPastTheCapIsRefusedWhole)
{
    for (int32_t i = 0; i < 2501; ++i) {
        for (Cell c : {Cell{0, 0}, Cell{1, 0}, Cell{0, 1}}) {
            ASSERT_TRUE(AddCell(i % 100 * 5 + c.x, i / 100 * 5 + c.y));
        }
    }
    const std::vector<Cell> before = TableCells();
    EXPECT_FALSE(StepGeneration(Record));
    EXPECT_EQ(LastRefusedPopulation(), 10004);
    EXPECT_EQ(TableCells(), before);
    EXPECT_FALSE(IsAlive(1, 1));
    EXPECT_TRUE(heard.empty());

    // One trio fewer, and the generation fills the table exactly.
    for (Cell c : {Cell{0, 0}, Cell{1, 0}, Cell{0, 1}}) {
        RemoveCell(c.x, c.y);
    }
    EXPECT_TRUE(StepGeneration(Record));
    EXPECT_EQ(count, kMaxCells);
    EXPECT_EQ(heard.size(), 2500u);
}

}  // namespace
