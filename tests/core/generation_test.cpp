#include <algorithm>
#include <climits>
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

std::vector<Cell> Entries()
{
    std::vector<Cell> out;
    for (int32_t i = 0; i < count; ++i) {
        out.push_back(CellAt(i));
    }
    return out;
}

void Place(const std::vector<Cell>& cells, int32_t dx = 0, int32_t dy = 0)
{
    for (const Cell& c : cells) {
        ASSERT_TRUE(AddCell(WrapAdd(c.x, dx), WrapAdd(c.y, dy)));
    }
}

std::vector<Cell> Sorted(std::vector<Cell> cells)
{
    std::sort(cells.begin(), cells.end(), [](Cell a, Cell b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return cells;
}

std::vector<Cell> Shifted(std::vector<Cell> cells, int32_t dx, int32_t dy)
{
    for (Cell& c : cells) {
        c = {WrapAdd(c.x, dx), WrapAdd(c.y, dy)};
    }
    return cells;
}

const std::vector<Cell> kGlider = {{1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};

class GenerationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        heard.clear();
        ASSERT_TRUE(AllocateCellStorage());
    }
    void TearDown() override { ReleaseCellStorage(); }

    // Steps k times; the pattern must come back to its first state exactly then, not before.
    void ExpectPeriod(int k)
    {
        const std::vector<Cell> start = Sorted(Entries());
        for (int i = 1; i <= k; ++i) {
            ASSERT_TRUE(StepGeneration(Record));
            if (i < k) {
                EXPECT_NE(Sorted(Entries()), start) << "back already after " << i;
            }
        }
        EXPECT_EQ(Sorted(Entries()), start);
    }
};

TEST_F(GenerationTest, BlinkerAnnouncesDeathsFirstAndKeepsSurvivorsFirst)
{
    Place({{0, 1}, {1, 1}, {2, 1}});
    StepGeneration(Record);
    EXPECT_EQ(heard, (std::vector<CellChange>{{0, 1, false}, {2, 1, false}, {1, 0, true}, {1, 2, true}}));
    EXPECT_EQ(Entries(), (std::vector<Cell>{{1, 1}, {1, 0}, {1, 2}}));
}

TEST_F(GenerationTest, CellBornOfThreeNeighboursIsAddedOnce)
{
    Place({{0, 0}, {2, 0}, {0, 2}});
    StepGeneration(Record);
    EXPECT_EQ(Entries(), (std::vector<Cell>{{1, 1}}));
    EXPECT_EQ(std::count(heard.begin(), heard.end(), CellChange{1, 1, true}), 1);
}

TEST_F(GenerationTest, StillLifeStaysSilentAndADiagonalBurnsOut)
{
    Place({{0, 0}, {1, 0}, {0, 1}, {1, 1}});
    ExpectPeriod(1);
    EXPECT_TRUE(heard.empty());
    ClearCells();
    Place({{0, 0}, {1, 1}, {2, 2}, {3, 3}});
    StepGeneration(Record);
    EXPECT_EQ(Entries(), (std::vector<Cell>{{1, 1}, {2, 2}}));
    StepGeneration(Record);
    EXPECT_EQ(count, 0);
}

TEST_F(GenerationTest, OscillatorsReturnAfterTheirPeriod)
{
    Place({{1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}});  // toad
    ExpectPeriod(2);
    ClearCells();
    // Pulsar: four copies of one arm quadrant, period 3.
    for (int32_t sx : {-1, 1}) {
        for (int32_t sy : {-1, 1}) {
            for (int32_t k : {2, 3, 4}) {
                Place({{sx * k, sy * 1}, {sx * k, sy * 6}, {sx * 1, sy * k}, {sx * 6, sy * k}});
            }
        }
    }
    ExpectPeriod(3);
}

TEST_F(GenerationTest, GliderMovesDiagonallyAcrossTheEndsOfTheRange)
{
    Place(kGlider, INT32_MAX - 1, INT32_MAX - 1);
    for (int i = 0; i < 12; ++i) {
        StepGeneration(Record);
    }
    EXPECT_EQ(Sorted(Entries()), Sorted(Shifted(kGlider, INT32_MIN + 1, INT32_MIN + 1)));
}

// Each L of three cells becomes a 2x2 block: 3 cells grow to 4.
void PlaceCorners(int32_t corners)
{
    for (int32_t i = 0; i < corners; ++i) {
        Place({{0, 0}, {1, 0}, {0, 1}}, (i % 100) * 5, (i / 100) * 5);
    }
}

TEST_F(GenerationTest, GenerationThatWouldOverfillIsRefusedWhole)
{
    PlaceCorners(2501);
    const std::vector<Cell> before = Entries();
    EXPECT_FALSE(StepGeneration(Record));
    EXPECT_EQ(LastRefusedPopulation(), 2501 * 4);
    EXPECT_EQ(Entries(), before);
    EXPECT_TRUE(heard.empty());
    for (const Cell& c : before) {
        ASSERT_TRUE(IsAlive(c.x, c.y));
    }
    EXPECT_FALSE(IsAlive(1, 1));

    // One corner fewer, and the generation fills the table exactly.
    RemoveCell(0, 0);
    RemoveCell(1, 0);
    RemoveCell(0, 1);
    EXPECT_TRUE(StepGeneration(Record));
    EXPECT_EQ(count, kMaxCells);
    EXPECT_EQ(heard.size(), 2500u);
}

}  // namespace
