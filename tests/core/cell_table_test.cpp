#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "cell_index.h"
#include "cell_table.h"

namespace {

std::vector<Cell> Entries()
{
    std::vector<Cell> out;
    for (int32_t i = 0; i < count; ++i) {
        out.push_back(CellAt(i));
    }
    return out;
}

class CellTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(AllocateCellStorage()); }
    void TearDown() override { ReleaseCellStorage(); }
};

TEST_F(CellTableTest, KeepsEachLiveCellOnceInTheOrderAdded)
{
    EXPECT_FALSE(IsAlive(0, 0));
    AddCell(0, 0);
    AddCell(1, 0);
    AddCell(2, 0);
    EXPECT_EQ(CountNeighbours(1, 0), 2);
    EXPECT_EQ(CountNeighbours(1, 1), 3);
    EXPECT_EQ(CountNeighbours(0, 0), 1);
    EXPECT_FALSE(AddCell(1, 0));  // a second entry would break removal
    ASSERT_TRUE(AddCell(-5, -7));

    RemoveCell(1, 0);
    RemoveCell(9, 9);  // absent: nothing changes
    EXPECT_EQ(Entries(), (std::vector<Cell>{{0, 0}, {2, 0}, {-5, -7}}));
    EXPECT_FALSE(IsAlive(1, 0));

    ClearCells();
    EXPECT_FALSE(IsAlive(0, 0));
    AddCell(3, 4);
    EXPECT_EQ(Entries(), (std::vector<Cell>{{3, 4}}));
}

// Removal from the hash index must not hide cells that collided with the removed one.
TEST_F(CellTableTest, ManyAddsAndRemovesKeepLookupsTrue)
{
    for (int32_t i = 0; i < kMaxCells; ++i) {
        ASSERT_TRUE(AddCell(i % 100, i / 100));
    }
    for (int32_t i = 0; i < kMaxCells; i += 2) {
        RemoveCell(i % 100, i / 100);
    }
    ASSERT_EQ(count, kMaxCells / 2);
    for (int32_t i = 0; i < kMaxCells; ++i) {
        ASSERT_EQ(IsAlive(i % 100, i / 100), i % 2 == 1) << i;
    }
    EXPECT_EQ(CellAt(count - 1), (Cell{99, 99}));
}

TEST_F(CellTableTest, FullTableRefusesAnAddAndWritesNothing)
{
    for (int32_t i = 0; i < kMaxCells; ++i) {
        ASSERT_TRUE(AddCell(i, -i));
    }
    EXPECT_FALSE(AddCell(-1, -1));
    EXPECT_EQ(count, kMaxCells);
    EXPECT_FALSE(IsAlive(-1, -1));
    RemoveCell(0, 0);
    EXPECT_TRUE(AddCell(-1, -1));
}

// Each cell keeps up to three tiles; a removed one must give them back, or a long session of clicks
// far apart would run out of them.
TEST_F(CellTableTest, RemovedCellsGiveTheirTilesBack)
{
    for (int32_t i = 0; i < 5 * kMaxCells; ++i) {
        // Corners of tiles, so that each cell needs its neighbours' tiles too.
        const uint32_t k = static_cast<uint32_t>(i);
        const int32_t x = static_cast<int32_t>(k * 1000003u * 64u - 1u);
        const int32_t y = static_cast<int32_t>(k * 7919u * 16u);
        ASSERT_TRUE(AddCell(x, y));
        ASSERT_TRUE(AddCell(3, 3));
        RemoveCell(x, y);
        RemoveCell(3, 3);
    }
    EXPECT_EQ(GetCellStore()->tileCount, 0);
}

TEST_F(CellTableTest, NeighboursWrapAtTheEndsOfTheRange)
{
    AddCell(INT32_MAX, INT32_MAX);
    AddCell(INT32_MIN, INT32_MIN);
    EXPECT_EQ(CountNeighbours(INT32_MAX, INT32_MAX), 1);
    EXPECT_EQ(CountNeighbours(INT32_MIN, INT32_MAX), 2);
}

TEST(CellTableWithoutStorage, RefusesAddsAndFindsNothing)
{
    ReleaseCellStorage();
    EXPECT_FALSE(AddCell(1, 1));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(IsAlive(1, 1));
    RemoveCell(1, 1);
    ASSERT_TRUE(AllocateCellStorage());
    EXPECT_TRUE(AddCell(1, 1));
    ReleaseCellStorage();
    EXPECT_EQ(count, 0);
}

}  // namespace
