// The step against the previous hash-tally step on thousands of random boards with edits between
// steps: around the origin, across the places where tile coordinates jump, and at the cap, some
// steps undone; and the undo's refusal of records that do not fit the table.
#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cell_index.h"
#include "cell_table.h"
#include "generation.h"
#include "hash_step_model.h"
#include "reference_life.h"

namespace {

HashBoard model;

struct GenerationTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(FreshBoard());
        HashBoardInit(model);
    }
    void TearDown() override { ReleaseBoard(); }
};

void Toggle(Cell c)
{
    if (IsAlive(c.x, c.y)) {
        RemoveCell(c.x, c.y);
        model.cells.erase(std::find(model.cells.begin(), model.cells.end(), c));
    } else {
        ASSERT_EQ(AddCell(c.x, c.y), HashAdd(model, c.x, c.y));
    }
}

// Steps both; with `undo`, takes a step taken back as the history does: the newborns are announced
// gone and then the dead alive, and the table (order included) and its tiles are those before.
bool StepBoth(const char* where, bool undo)
{
    const std::vector<Cell> before = model.cells;
    const int32_t tiles = GetCellStore()->tileCount;
    std::vector<CellChange> expected;
    heard.clear();
    const bool stepped = StepGeneration(Record);
    EXPECT_EQ(stepped, HashStep(model, &expected)) << where;
    EXPECT_EQ(heard, expected) << where;
    EXPECT_TRUE(stepped || LastRefusedPopulation() == model.refusedPopulation) << where;
    EXPECT_EQ(TableCells(), model.cells) << where;
    // A tile lives only for its own cells and the facing edges beside it.
    EXPECT_LE(GetCellStore()->tileCount, 3 * count) << where;
    if (stepped && undo) {
        std::vector<CellChange> undone;
        for (bool born : {true, false}) {
            for (auto [x, y, alive] : expected) {
                if (alive == born) {
                    undone.push_back({x, y, !alive});
                }
            }
        }
        heard.clear();
        const CellStore& s = *GetCellStore();
        EXPECT_TRUE(UndoStep(s.deaths, s.deathCount, s.bornCount, Record)) << where;
        EXPECT_EQ(heard, undone) << where;
        EXPECT_EQ(TableCells(), before) << where;
        EXPECT_EQ(GetCellStore()->tileCount, tiles) << where;
        model.cells = before;
    }
    return stepped;
}

struct Area {
    const char* name;
    int32_t left, top, width, height;
};

// Over several 64x16 tiles; all but the first straddle a place where tile coordinates jump.
const Area kAreas[] = {
    {"inside one tile", 3, 1, 58, 14},
    {"across -1|0", -40, -12, 80, 24},
    {"across x = +-2^31", INT32_MAX - 39, 5, 80, 24},
    {"across y = +-2^31", -30, INT32_MAX - 11, 72, 24},
    {"across both ends", INT32_MAX - 35, INT32_MAX - 11, 72, 24},
};

Cell RandomCell(std::mt19937& rng, const Area& a)
{
    return {WrapAdd(a.left, int32_t(rng() % uint32_t(a.width))), WrapAdd(a.top, int32_t(rng() % uint32_t(a.height)))};
}

TEST_F(GenerationTest, RandomBoardsWithEditsStepLikeThePreviousStep)
{
    for (const Area& area : kAreas) {
        for (uint32_t seed = 1; seed <= 420; ++seed) {
            std::mt19937 rng(seed);
            ClearCells();
            HashClear(model);
            for (uint32_t edits = uint32_t(area.width * area.height) * (8 + rng() % 32) / 100; edits > 0; --edits) {
                Toggle(RandomCell(rng, area));
            }
            for (int round = 0; round < 8; ++round) {
                for (uint32_t edits = rng() % 4; edits > 0; --edits) {
                    Toggle(RandomCell(rng, area));
                }
                if (rng() % 40 == 0) {
                    ClearCells();
                    HashClear(model);
                }
                StepBoth(area.name, rng() % 3 == 0);
                const Cell probe = RandomCell(rng, area);
                ASSERT_EQ(CountNeighbours(probe.x, probe.y), ReferenceCountNeighbours(model.cells, probe)) << area.name;
                ASSERT_FALSE(HasFailure()) << area.name << ", seed " << seed << ", round " << round;
            }
        }
    }
}

// L-shaped trios grow into 2x2 blocks, a third more cells: boards of 2,495 to 2,504 of them, one
// filling the table exactly, then with random cells around, are refused or taken alike.
TEST_F(GenerationTest, BoardsAtTheCapAreRefusedOrTakenLikeThePreviousStep)
{
    int taken = 0;
    int refused = 0;
    for (const Area& area : {kAreas[1], kAreas[4]}) {
        for (uint32_t seed = 1; seed <= 16; ++seed) {
            std::mt19937 rng(seed);
            ClearCells();
            HashClear(model);
            for (int32_t i = 2495 + int32_t(seed % 10); i > 0; --i) {
                const int32_t x = WrapAdd(area.left, i % 50 * 5), y = WrapAdd(area.top, i / 50 * 5);
                for (Cell c : {Cell{x, y}, Cell{WrapAdd(x, 1), y}, Cell{x, WrapAdd(y, 1)}}) {
                    Toggle(c);
                }
            }
            for (int round = 0; round < 4; ++round) {
                for (int edits = round == 0 ? 0 : 30; edits > 0; --edits) {
                    Toggle({WrapAdd(area.left, int32_t(rng() % 250)), WrapAdd(area.top, int32_t(rng() % 250))});
                }
                ++(StepBoth(area.name, round == 1) ? taken : refused);
                ASSERT_FALSE(HasFailure()) << area.name << ", seed " << seed << ", round " << round;
            }
        }
    }
    EXPECT_GT(taken, 0);
    EXPECT_GT(refused, 0);
}

// The history's guard against a table edited behind its back: a record that cannot describe a
// step to this table changes and announces nothing.
TEST_F(GenerationTest, UndoRefusesRecordsTheTableCannotHaveComeFrom)
{
    const std::vector<Cell> row = {{0, 0}, {1, 0}, {2, 0}};
    for (Cell c : row) {
        ASSERT_TRUE(AddCell(c.x, c.y));
    }
    const int32_t tiles = GetCellStore()->tileCount;
    const struct {
        const char* name;
        std::vector<DeadCell> dead;
        int32_t born;
    } cases[] = {
        {"more born than cells", {}, 4},
        {"born negative", {}, -1},
        {"a dead cell alive", {{{9, 9}, 0}, {{1, 0}, 1}}, 0},
        {"positions not ascending", {{{5, 5}, 1}, {{6, 6}, 1}}, 0},
        {"a position past the restored table", {{{5, 5}, 3}}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(UndoStep(c.dead.data(), int32_t(c.dead.size()), c.born, Record)) << c.name;
        EXPECT_TRUE(heard.empty()) << c.name;
        EXPECT_EQ(TableCells(), row) << c.name;
        EXPECT_EQ(GetCellStore()->tileCount, tiles) << c.name;
    }
}

// The refused generation was computed into the tiles' scratch rows. Emptying the top rows of the
// board afterwards leaves those rows outside what the next step computes, and the step taken then
// must bring back nothing of what was refused there.
TEST_F(GenerationTest, StepAfterARefusalAndEditsKeepsNothingOfTheRefusal)
{
    for (int32_t i = 0; i < 2501; ++i) {
        const int32_t x = i % 100 * 5, y = i / 100 * 5;
        for (Cell c : {Cell{x, y}, Cell{x + 1, y}, Cell{x, y + 1}}) {
            Toggle(c);
        }
    }
    ASSERT_FALSE(StepBoth("full", false));
    for (Cell c : TableCells()) {
        if (c.y < 15) {
            Toggle(c);
        }
    }
    ASSERT_TRUE(StepBoth("top rows emptied", false));
    EXPECT_FALSE(IsAlive(1, 1));
}

}  // namespace
