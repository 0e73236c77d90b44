// Random boards and random edits, stepped by the real table and by the literal model side by side:
// the entries must stand in the same order and the same changes be announced, every step.
#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cell_table.h"
#include "generation.h"
#include "reference_life.h"

namespace {

std::vector<CellChange> heard;

void Record(int32_t x, int32_t y, bool alive)
{
    heard.push_back({x, y, alive});
}

void ExpectSameBoard(const ReferenceBoard& model, const char* when)
{
    ASSERT_EQ(count, static_cast<int32_t>(model.cells.size())) << when;
    for (int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(CellAt(i), model.cells[static_cast<size_t>(i)]) << when << ", entry " << i;
    }
}

struct Box {
    int32_t left;
    int32_t top;
    int32_t size;
};

Cell RandomCell(std::mt19937& rng, Box box)
{
    std::uniform_int_distribution<int32_t> d(0, box.size - 1);
    return {WrapAdd(box.left, d(rng)), WrapAdd(box.top, d(rng))};
}

void Toggle(ReferenceBoard& model, Cell c)
{
    if (IsAlive(c.x, c.y)) {
        RemoveCell(c.x, c.y);
        ReferenceRemove(model, c.x, c.y);
    } else {
        EXPECT_EQ(AddCell(c.x, c.y), ReferenceAdd(model, c.x, c.y));
    }
}

void StepBoth(ReferenceBoard& model)
{
    heard.clear();
    std::vector<CellChange> expected;
    const bool stepped = StepGeneration(Record);
    ASSERT_EQ(stepped, ReferenceStep(model, &expected));
    ASSERT_EQ(heard, expected);
    ExpectSameBoard(model, "after a step");
}

class DifferentialTest : public ::testing::TestWithParam<Box> {
protected:
    void SetUp() override { ASSERT_TRUE(AllocateCellStorage()); }
    void TearDown() override { ReleaseCellStorage(); }
};

TEST_P(DifferentialTest, RandomSoupsEvolveAlike)
{
    const Box box = GetParam();
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        ClearCells();
        ReferenceBoard model;
        const int density = 15 + static_cast<int>(seed % 4) * 10;
        for (int32_t y = 0; y < box.size; ++y) {
            for (int32_t x = 0; x < box.size; ++x) {
                if (static_cast<int>(rng() % 100) < density) {
                    Toggle(model, {WrapAdd(box.left, x), WrapAdd(box.top, y)});
                }
            }
        }
        for (int generation = 0; generation < 25; ++generation) {
            StepBoth(model);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

// Edits land on a live soup, so the steps between them have births and deaths to get right; a
// sparse board of scattered clicks would only ever die out.
TEST_P(DifferentialTest, RandomEditsBetweenStepsAgree)
{
    const Box box = GetParam();
    std::mt19937 rng(99);
    ReferenceBoard model;
    auto fill = [&] {
        for (int32_t y = 0; y < box.size; ++y) {
            for (int32_t x = 0; x < box.size; ++x) {
                if (rng() % 100 < 35) {
                    Toggle(model, {WrapAdd(box.left, x), WrapAdd(box.top, y)});
                }
            }
        }
    };
    fill();
    int32_t born = 0;
    for (int round = 0; round < 300; ++round) {
        const uint32_t what = rng() % 20;
        if (what < 12) {
            Toggle(model, RandomCell(rng, box));
        } else if (what < 19) {
            StepBoth(model);
            born += static_cast<int32_t>(std::count_if(heard.begin(), heard.end(), [](const CellChange& c) { return c.alive; }));
        } else {
            ClearCells();
            model.cells.clear();
            fill();
        }
        if (HasFatalFailure()) {
            return;
        }
        ExpectSameBoard(model, "after an edit");
        const Cell probe = RandomCell(rng, box);
        ASSERT_EQ(CountNeighbours(probe.x, probe.y), ReferenceCountNeighbours(model, probe.x, probe.y));
    }
    EXPECT_GT(born, 300);
}

INSTANTIATE_TEST_SUITE_P(Boxes, DifferentialTest,
                         ::testing::Values(Box{-8, -8, 16}, Box{1000, -5000, 24},
                                           Box{INT32_MAX - 9, INT32_MIN + 3, 20},
                                           Box{INT32_MAX - 11, INT32_MAX - 11, 24}));

}  // namespace
