// Period and motion on real runs of the history, which rebuilds the boards a candidate is confirmed against.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

#include "cell_index.h"
#include "generation.h"
#include "history.h"
#include "pattern_file.h"
#include "period.h"

namespace {

// A generation, and the caption's text for the board it leaves.
std::string Step()
{
    EXPECT_TRUE(AdvanceGeneration(nullptr));
    return PeriodText(CurrentPeriod());
}

struct Periods : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(AllocateCellStorage()); }
    void TearDown() override
    {
        ForgetHistory();
        ReleaseCellStorage();
    }
};

// n x n places `apart` cells apart from (x, y).
std::vector<Cell> Grid(int32_t x, int32_t y, int32_t n, int32_t apart)
{
    std::vector<Cell> at;
    for (int32_t i = 0; i < n * n; ++i) {
        at.push_back({WrapAdd(x, i % n * apart), WrapAdd(y, i / n * apart)});
    }
    return at;
}

// Each pattern at each place (all stepped together), mirrored by (sx, sy): no report before
// generation `first`, then `report` on every one (or none over -first generations). A fleet of
// gliders is dense enough to be read by its tiles; gliders spread over the whole plane have no
// first cell in signed order; the gun and the R-pentomino's escaping gliders never repeat.
TEST_F(Periods, FoundFromTheGenerationTheyFirstHoldAndKept)
{
    const std::string file = "44p123.rle";
    const struct { const char* rle; std::vector<Cell> at; int32_t sx, sy; int first; PeriodReport report; } runs[] = {
        {"2o$2o!", {{-5, 3}}, 1, 1, 1, {1, 0, 0}},
        {"b2o$o2bo$b2o!", {{0, 0}}, 1, 1, 1, {1, 0, 0}},
        {"3o!", {{7, 7}}, 1, 1, 2, {2, 0, 0}},
        {"2b3o3b3o2$o4bobo4bo$o4bobo4bo$o4bobo4bo$2b3o3b3o2$2b3o3b3o$o4bobo4bo$o4bobo4bo$o4bobo4bo2$2b3o3b3o!",
         {{0, 0}}, 1, 1, 3, {3, 0, 0}},
        {nullptr, {{-20, 7}}, 1, 1, 12, {12, 0, 0}},
        {"2bo4bo$2ob4ob2o$2bo4bo!", {{0, 0}}, 1, 1, 15, {15, 0, 0}},
        {"bob$2bo$3o!", {{0, 0}}, 1, 1, 4, {4, 1, 1}},
        {"bob$2bo$3o!", {{0, 0}}, -1, 1, 4, {4, -1, 1}},
        {"bob$2bo$3o!", {{0, 0}}, 1, -1, 4, {4, 1, -1}},
        {"bob$2bo$3o!", {{0, 0}}, -1, -1, 4, {4, -1, -1}},
        {"bob$2bo$3o!", {{INT32_MAX - 1, INT32_MAX - 1}}, 1, 1, 4, {4, 1, 1}},
        {"bob$2bo$3o!", Grid(INT32_MAX - 30, -5, 10, 6), -1, 1, 4, {4, -1, 1}},
        {"bob$2bo$3o!", {{0, 0}, {1000000000, -1200000000}, {-1500000000, 1300000000}}, 1, 1, 4, {4, 1, 1}},
        {"bo2bo$o4b$o3bo$4o!", {{0, 0}}, 1, 1, 4, {4, -2, 0}},
        {"bo2bo$o4b$o3bo$4o!", {{INT32_MIN, 0}}, -1, 1, 4, {4, 2, 0}},
        {"24bo$22bobo$12b2o6b2o12b2o$11bo3bo4b2o12b2o$2o8bo5bo3b2o$2o8bo3bob2o4bobo$10bo5bo7bo$11bo3bo$12b2o!",
         {{0, 0}}, 1, 1, -300, {}},
        {"b2o$2o$bo!", {{0, 0}}, 1, 1, -2000, {}},
    };
    for (const auto& r : runs) {
        std::ifstream in(std::string(QUILLANE_TEST_DATA) + "/" + file, std::ios::binary);
        Pattern pattern;
        std::string error;
        ASSERT_TRUE(ReadPattern(r.rle ? r.rle : std::string(std::istreambuf_iterator<char>(in), {}), pattern, error));
        ClearCells();
        for (Cell at : r.at) {
            for (Cell c : pattern.cells) {
                ASSERT_TRUE(AddCell(WrapAdd(at.x, r.sx * c.x), WrapAdd(at.y, r.sy * c.y)));
            }
        }
        ForgetHistory();
        for (int g = 1; g <= std::abs(r.first) + 40; ++g) {
            ASSERT_EQ(Step(), PeriodText(g < r.first ? PeriodReport{} : r.report))
                << (r.rle ? r.rle : file) << " at " << r.at[0].x << ", generation " << g;
        }
    }
}

// A board and its translates, built in the other order (so their tiles are listed in another order
// too), have the same lanes and the corner moved with them: random boards dense over a few tiles,
// and sparse over the whole plane, where signed differences from the first cell find no start.
TEST_F(Periods, FingerprintOfATranslateIsTheSameWithItsCornerMoved)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 400; ++round) {
        const uint32_t span = round % 2 ? 0 : 90;
        const Cell move = {int32_t(rng()), int32_t(rng())};
        std::vector<Cell> cells(span ? 1500 : 30);
        for (Cell& c : cells) {
            c = {int32_t(span ? rng() % span : rng()), int32_t(span ? rng() % span : rng())};
        }
        BoardFingerprint f[2];
        for (int side = 0; side < 2; ++side) {
            ClearCells();
            for (Cell c : cells) {
                AddCell(WrapAdd(c.x, side * move.x), WrapAdd(c.y, side * move.y));  // once when twice
            }
            f[side] = FingerprintTable();
            std::reverse(cells.begin(), cells.end());
        }
        ASSERT_TRUE(f[0].lane[0] == f[1].lane[0] && f[0].lane[1] == f[1].lane[1] && f[0].cells == f[1].cells &&
                    f[1].corner == (Cell{WrapAdd(f[0].corner.x, move.x), WrapAdd(f[0].corner.y, move.y)}))
            << "round " << round;
    }
}

// An edit starts the search over: a blinker and a lone cell that dies at once is the blinker again
// from generation 1, but period 2 only from 3. A step back shows the report its board had, and the
// search goes on from there, so stepping on finds the period at the same generation again; a redo
// shows the board's report too.
TEST_F(Periods, AnEditStartsTheSearchOverAndAStepBackResumesIt)
{
    ASSERT_TRUE(AddCell(0, 0) && AddCell(1, 0) && AddCell(2, 0));
    ForgetHistory();
    const auto back = [] {
        EXPECT_TRUE(StepBack(nullptr));
        return PeriodText(CurrentPeriod());
    };
    ASSERT_EQ(Step(), "");
    ASSERT_EQ(Step(), "period 2");
    EXPECT_EQ(back(), "");
    EXPECT_EQ(back(), "");
    ASSERT_EQ(Step(), "");
    ASSERT_EQ(Step(), "period 2");
    BeginEdit();
    ASSERT_TRUE(SetCellInEdit(100, 100, true));
    EXPECT_EQ(PeriodText(CurrentPeriod()), "");
    for (const char* expected : {"", "", "period 2"}) {
        ASSERT_EQ(Step(), expected);
    }
    for (const char* expected : {"", "", "", "period 2"}) {
        EXPECT_EQ(back(), expected);  // three generations and the edit, back to the blinker's generation 2
    }
    EXPECT_TRUE(Redo(nullptr) && PeriodText(CurrentPeriod()).empty());  // the edit again
    EXPECT_TRUE(StepBack(nullptr) && back() == "");
    EXPECT_EQ(Step(), "period 2");
    // A stroke that draws a block beside it: the search starts over from what it drew.
    BeginEdit();
    ASSERT_TRUE(SetCellInEdit(50, 50, true) && SetCellInEdit(51, 50, true) && SetCellInEdit(50, 51, true) &&
                SetCellInEdit(51, 51, true));
    EXPECT_TRUE(Step() == "" && Step() == "period 2");
}

std::vector<int32_t> asked;  // what the stub source was asked, and what it answers
OlderBoard answer = OlderBoard::Ready;
std::vector<Cell> answerBoard;
OlderBoard Stub(int32_t back, std::vector<Cell>& cells) { return asked.push_back(back), cells = answerBoard, answer; }

// A fingerprint only names a candidate: a block is reported still only once the source's board agrees (one
// moved a cell is no report). A source still rebuilding is asked again a generation on, one further back. The
// history rebuilds a board far back (1,000 generations of a soup pass a million cells) a bounded stretch a call,
// going on where it stopped, and gives the very board; a step back starts it over.
TEST_F(Periods, ACandidateIsReportedOnlyOnceTheBoardItNamesAgrees)
{
    const std::vector<Cell> block = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    ASSERT_TRUE(AddCell(0, 0) && AddCell(1, 0) && AddCell(0, 1) && AddCell(1, 1));
    ForgetPeriods();
    const auto note = [] { return StepGeneration(nullptr), NotePeriodGeneration(Stub).period; };
    answerBoard = {{1, 0}, {2, 0}, {1, 1}, {2, 1}};
    EXPECT_EQ(note(), 0);
    answerBoard = block;
    answer = OlderBoard::Later;
    EXPECT_TRUE(note() == 0 && note() == 0);
    answer = OlderBoard::Ready;
    EXPECT_TRUE(note() == 1 && note() == 1);
    EXPECT_EQ(asked, (std::vector<int32_t>{1, 1, 2, 3}));  // held after: nothing more to confirm

    ClearCells();
    std::mt19937 rng(3);
    for (int32_t i = 0; i < 120 * 120; ++i) {
        ASSERT_TRUE(rng() % 2 || AddCell(i % 120, i / 120));
    }
    ForgetHistory();
    std::vector<Cell> start = TableCells(), cells;
    const auto sorted = [](std::vector<Cell>& c) { std::sort(c.begin(), c.end(), [](Cell a, Cell b) { return a.y != b.y ? a.y < b.y : a.x < b.x; }); };
    for (int g = 0; g < 1000; ++g) {
        ASSERT_TRUE(AdvanceGeneration(nullptr));
    }
    EXPECT_EQ(BoardBack(1001, cells), OlderBoard::Unreachable);
    ASSERT_TRUE(BoardBack(1000, cells) == OlderBoard::Later && StepBack(nullptr));
    int32_t back = 999;
    while (BoardBack(back, cells) == OlderBoard::Later) {
        ASSERT_TRUE(AdvanceGeneration(nullptr));
        ++back;
    }
    sorted(cells), sorted(start);
    EXPECT_TRUE(back > 999 && cells == start);
}

TEST(PeriodText, WritesSpeedInLowestTermsAndThousands)
{
    EXPECT_EQ(PeriodText({5, 2, 0}), "period 5, moving (2, 0), 2c/5");
    EXPECT_EQ(PeriodText({1, 0, -1}), "period 1, moving (0, -1), c");
    EXPECT_EQ(PeriodText({12000, -3000, 1000}), "period 12,000, moving (-3,000, 1,000), c/4");
}

}  // namespace
