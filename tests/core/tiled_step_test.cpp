// The real step against the previous hash-tally step, over thousands of random boards with edits
// between steps: around the origin, across the ends of the 32-bit plane, and at the cap. Tables,
// announced changes and refusals must agree at every step, and a step undone must give back the
// table and the tiles it started from.
#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cell_index.h"
#include "cell_table.h"
#include "generation.h"
#include "hash_step_model.h"

namespace {

std::vector<CellChange> heard;

void Record(int32_t x, int32_t y, bool alive)
{
    heard.push_back({x, y, alive});
}

struct Area {
    const char* name;
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// Widths and heights reach over several 64x16 tiles; every area but the first straddles a place
// where tile coordinates jump (-1|0 or the ends of the plane).
const Area kAreas[] = {
    {"inside one tile", 3, 1, 58, 14},
    {"across -1|0", -40, -12, 80, 24},
    {"across x = +-2^31", INT32_MAX - 39, 5, 80, 24},
    {"across y = +-2^31", -30, INT32_MAX - 11, 72, 24},
    {"across both ends", INT32_MAX - 35, INT32_MAX - 11, 72, 24},
};

class TiledStepTest : public ::testing::Test {
protected:
    HashBoard model;

    void SetUp() override
    {
        ASSERT_TRUE(AllocateCellStorage());
        HashBoardInit(model);
    }
    void TearDown() override { ReleaseCellStorage(); }

    void Toggle(Cell c)
    {
        if (IsAlive(c.x, c.y)) {
            RemoveCell(c.x, c.y);
            HashRemove(model, c.x, c.y);
        } else {
            ASSERT_EQ(AddCell(c.x, c.y), HashAdd(model, c.x, c.y));
        }
    }

    void Clear()
    {
        ClearCells();
        HashClear(model);
    }

    // Returns whether the step was taken.
    bool StepBoth(const char* where)
    {
        heard.clear();
        std::vector<CellChange> expected;
        const bool stepped = StepGeneration(Record);
        EXPECT_EQ(stepped, HashStep(model, &expected)) << where;
        EXPECT_EQ(heard, expected) << where;
        if (!stepped) {
            EXPECT_EQ(LastRefusedPopulation(), model.refusedPopulation) << where;
        }
        ExpectSameTable(where);
        // A tile lives only for its own cells and the facing edges beside it.
        EXPECT_LE(GetCellStore()->tileCount, 3 * count) << where;
        return stepped;
    }

    // Undoes the step just taken as the history does: the table before it comes back, order
    // included, the newborns are announced gone and then the dead alive, and the tiles follow
    // (the same tiles as before, and the next step agrees with the model from there).
    void UndoBoth(const std::vector<Cell>& before, size_t tilesBefore, const char* where)
    {
        const std::vector<Cell> after = model.cells;
        std::vector<CellChange> expected;
        auto in = [](const std::vector<Cell>& v, Cell c) { return std::find(v.begin(), v.end(), c) != v.end(); };
        for (Cell c : after) {
            if (!in(before, c)) {
                expected.push_back({c.x, c.y, false});
            }
        }
        for (Cell c : before) {
            if (!in(after, c)) {
                expected.push_back({c.x, c.y, true});
            }
        }
        const CellStore& s = *GetCellStore();
        heard.clear();
        ASSERT_TRUE(UndoStep(s.deaths, s.deathCount, s.bornCount, Record)) << where;
        EXPECT_EQ(heard, expected) << where;
        HashClear(model);
        for (Cell c : before) {
            HashAdd(model, c.x, c.y);
        }
        ExpectSameTable(where);
        EXPECT_EQ(static_cast<size_t>(GetCellStore()->tileCount), tilesBefore) << where;
    }

    void ExpectSameTable(const char* where)
    {
        std::vector<Cell> table(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            table[static_cast<size_t>(i)] = CellAt(i);
        }
        ASSERT_TRUE(table == model.cells) << where;
    }
};

Cell RandomCell(std::mt19937& rng, const Area& a)
{
    return {WrapAdd(a.left, static_cast<int32_t>(rng() % static_cast<uint32_t>(a.width))),
            WrapAdd(a.top, static_cast<int32_t>(rng() % static_cast<uint32_t>(a.height)))};
}

TEST_F(TiledStepTest, RandomBoardsWithEditsEvolveAlike)
{
    for (const Area& area : kAreas) {
        for (uint32_t seed = 1; seed <= 420; ++seed) {
            std::mt19937 rng(seed);
            Clear();
            const uint32_t density = 8 + rng() % 32;
            for (int32_t i = 0; i < area.width * area.height; ++i) {
                if (rng() % 100 < density) {
                    Toggle(RandomCell(rng, area));
                }
            }
            for (int round = 0; round < 8; ++round) {
                for (uint32_t edits = rng() % 4; edits > 0; --edits) {
                    Toggle(RandomCell(rng, area));
                }
                if (rng() % 40 == 0) {
                    Clear();
                }
                const std::vector<Cell> before = model.cells;
                const size_t tiles = static_cast<size_t>(GetCellStore()->tileCount);
                if (StepBoth(area.name) && rng() % 3 == 0) {
                    UndoBoth(before, tiles, area.name);
                }
                const Cell probe = RandomCell(rng, area);
                ASSERT_EQ(IsAlive(probe.x, probe.y), HashIsAlive(model, probe.x, probe.y)) << area.name;
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
}

// L-shaped triples become 2x2 blocks, so a board of them grows by a third in one step: with random
// cells around, boards just under and just over the cap, refused or taken, then edited and stepped.
TEST_F(TiledStepTest, BoardsAtTheCapAreRefusedOrTakenAlike)
{
    int taken = 0;
    int refused = 0;
    for (const Area& area : {kAreas[1], kAreas[4]}) {
        for (uint32_t seed = 1; seed <= 16; ++seed) {
            std::mt19937 rng(seed);
            Clear();
            const int32_t corners = 2490 + static_cast<int32_t>(rng() % 20);
            for (int32_t i = 0; i < corners; ++i) {
                const int32_t x = WrapAdd(area.left, (i % 50) * 5);
                const int32_t y = WrapAdd(area.top, (i / 50) * 5);
                for (Cell c : {Cell{x, y}, Cell{WrapAdd(x, 1), y}, Cell{x, WrapAdd(y, 1)}}) {
                    Toggle(c);
                }
            }
            for (int round = 0; round < 4; ++round) {
                for (int edits = 0; edits < 30; ++edits) {
                    Toggle({WrapAdd(area.left, static_cast<int32_t>(rng() % 250)),
                            WrapAdd(area.top, static_cast<int32_t>(rng() % 250))});
                }
                const std::vector<Cell> before = model.cells;
                const size_t tiles = static_cast<size_t>(GetCellStore()->tileCount);
                const bool stepped = StepBoth(area.name);
                (stepped ? taken : refused) += 1;
                if (stepped && round == 1) {
                    UndoBoth(before, tiles, area.name);
                }
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
    EXPECT_GT(taken, 0);
    EXPECT_GT(refused, 0);
}

// An undo record that cannot describe a step to this table (the history's guard against a table
// edited behind its back) changes and announces nothing.
TEST_F(TiledStepTest, UndoRefusesRecordsTheTableCannotHaveComeFrom)
{
    struct Case {
        const char* name;
        std::vector<DeadCell> dead;
        int32_t born;
    };
    const Case cases[] = {
        {"more born than cells", {}, 4},
        {"born negative", {}, -1},
        {"a dead cell alive", {{{9, 9}, 0}, {{1, 0}, 1}}, 0},
        {"positions not ascending", {{{5, 5}, 1}, {{6, 6}, 1}}, 0},
        {"a position past the restored table", {{{5, 5}, 3}}, 1},
    };
    for (Cell c : {Cell{0, 0}, Cell{1, 0}, Cell{2, 0}}) {
        Toggle(c);
    }
    const int32_t tiles = GetCellStore()->tileCount;
    for (const Case& c : cases) {
        heard.clear();
        EXPECT_FALSE(UndoStep(c.dead.data(), static_cast<int32_t>(c.dead.size()), c.born, Record)) << c.name;
        EXPECT_TRUE(heard.empty()) << c.name;
        ExpectSameTable(c.name);
        EXPECT_EQ(GetCellStore()->tileCount, tiles) << c.name;
        EXPECT_FALSE(IsAlive(5, 5) || IsAlive(9, 9)) << c.name;
    }
}

}  // namespace
