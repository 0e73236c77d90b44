// One entry per cell, in the order added; lookups stay true through removals that leave holes in
// the index; a full table, or one never allocated, refuses adds; removed cells give their tiles back.
#include <gtest/gtest.h>

#include "cell_index.h"
#include "cell_table.h"

namespace {

TEST(CellTable, KeepsOneEntryPerCellInOrderAndRefusesAddsItCannotHold)
{
    ReleaseCellStorage();
    EXPECT_FALSE(AddCell(1, 1) || IsAlive(1, 1));
    ASSERT_TRUE(AllocateCellStorage());
    for (int32_t i = 0; i < kMaxCells; ++i) {
        ASSERT_TRUE(AddCell(i % 100, -i / 100));
    }
    EXPECT_FALSE(AddCell(-1, -1) || IsAlive(-1, -1));
    for (int32_t i = 0; i < kMaxCells; i += 2) {
        RemoveCell(i % 100, -i / 100);
    }
    RemoveCell(-1, -1);
    EXPECT_FALSE(AddCell(1, 0));
    ASSERT_EQ(count, kMaxCells / 2);
    for (int32_t i = 0; i < kMaxCells; ++i) {
        ASSERT_EQ(IsAlive(i % 100, -i / 100), i % 2 == 1) << i;
        ASSERT_TRUE(i % 2 == 0 || CellAt(i / 2) == (Cell{i % 100, -i / 100})) << i;
    }
    ClearCells();
    EXPECT_FALSE(IsAlive(1, 0));
    // A cell at a tile's corner keeps three tiles; a long session of clicks far apart must not
    // run out of them.
    for (uint32_t k = 0; k < 5 * kMaxCells; ++k) {
        const Cell far = {static_cast<int32_t>(k * 1000003u * 64u - 1u), static_cast<int32_t>(k * 7919u * 16u)};
        ASSERT_TRUE(AddCell(far.x, far.y) && AddCell(3, 3));
        RemoveCell(far.x, far.y);
        RemoveCell(3, 3);
    }
    EXPECT_EQ(GetCellStore()->tileCount, 0);
    ReleaseCellStorage();
}

}  // namespace
