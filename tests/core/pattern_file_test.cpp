// Pattern files: the real collection files, every accepted oddity and every refusal, the three
// writers read back, and mangled copies of the real files that must never crash or hang.
#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cell_table.h"
#include "generation.h"
#include "pattern_file.h"

namespace {

std::string DataFile(const std::string& name)
{
    std::ifstream in(std::string(QUILLANE_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const kRealFiles[] = {"glider.rle",        "gosperglidergun.rle",   "acorn.rle",
                                  "44p123.rle",        "barbershop.rle",        "turingmachine.rle",
                                  "glider_106.lif",    "gosperglidergun_106.lif", "gosperglidergun.cells",
                                  "gosperglidergun_105.lif"};

std::vector<Cell> Sorted(std::vector<Cell> cells)
{
    std::sort(cells.begin(), cells.end(), [](Cell a, Cell b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return cells;
}

std::vector<Cell> Row(int32_t n)
{
    std::vector<Cell> cells;
    for (int32_t x = 0; x < n; ++x) {
        cells.push_back({x, 0});
    }
    return cells;
}

// Moved so that the smallest x and y are 0 (for patterns away from the plane's ends).
std::vector<Cell> AtOrigin(std::vector<Cell> cells)
{
    int32_t left = INT32_MAX;
    int32_t top = INT32_MAX;
    for (const Cell& c : cells) {
        left = std::min(left, c.x);
        top = std::min(top, c.y);
    }
    for (Cell& c : cells) {
        c = {c.x - left, c.y - top};
    }
    return Sorted(cells);
}

Pattern Read(const std::string& text)
{
    Pattern p;
    std::string error;
    EXPECT_TRUE(ReadPattern(text, p, error)) << error;
    return p;
}

std::string Write(PatternFormat format, const std::vector<Cell>& cells, const std::string& name = "")
{
    std::string text;
    std::string error;
    EXPECT_TRUE(WritePattern(format, cells, name, text, error)) << error;
    return text;
}

TEST(PatternFileRealFiles, CountsNamesAndTheSameGunInEveryFormat)
{
    struct Case {
        const char* file;
        size_t cells;
        const char* name;
    };
    for (const Case& c : std::vector<Case>{{"glider.rle", 5, "Glider"},
                                           {"acorn.rle", 7, "Acorn"},
                                           {"44p123.rle", 44, "44p123.rle"},
                                           {"barbershop.rle", 9373, ""},
                                           {"glider_106.lif", 5, ""},
                                           {"gosperglidergun.cells", 36, "Gosper glider gun"},
                                           {"gosperglidergun_105.lif", 36, ""}}) {
        const Pattern p = Read(DataFile(c.file));
        EXPECT_EQ(p.cells.size(), c.cells) << c.file;
        EXPECT_EQ(p.name, c.name) << c.file;
        EXPECT_TRUE(IsStandardRule(p.rule)) << c.file;
    }
    const std::vector<Cell> gun = Read(DataFile("gosperglidergun.rle")).cells;
    ASSERT_EQ(gun.size(), 36u);
    EXPECT_EQ(Sorted(gun), AtOrigin(gun)) << "without #CXRLE the top-left corner is (0, 0)";
    EXPECT_EQ(gun, Sorted(gun)) << "reading order";
    for (const char* other : {"gosperglidergun_106.lif", "gosperglidergun.cells", "gosperglidergun_105.lif"}) {
        EXPECT_EQ(AtOrigin(Read(DataFile(other)).cells), Sorted(gun)) << other;
    }
    EXPECT_EQ(Read(DataFile("glider_106.lif")).cells, (std::vector<Cell>{{0, -1}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}));
}

TEST(PatternFileRealFiles, AcornLivesTo633CellsAfter5206Generations)
{
    const Pattern acorn = Read(DataFile("acorn.rle"));
    ASSERT_TRUE(AllocateCellStorage());
    for (const Cell& c : acorn.cells) {
        AddCell(c.x, c.y);
    }
    for (int i = 0; i < 5206; ++i) {
        ASSERT_TRUE(StepGeneration(nullptr));
    }
    EXPECT_EQ(count, 633);
    ReleaseCellStorage();
}

TEST(PatternFileRules, StandardSpellingsAndOthers)
{
    for (const char* rule : {"", "B3/S23", "b3/s23", "23/3", "S23/B3", "s23/b3", "B3S23", " B3 / S23 ", "B3/S32"}) {
        EXPECT_TRUE(IsStandardRule(rule)) << rule;
    }
    for (const char* rule : {"B36/S23", "B3/S2", "3/23", "B3/S23/3", "B3/S23:T100,100", "Highlife", "B/S", "B3"}) {
        EXPECT_FALSE(IsStandardRule(rule)) << rule;
    }
}

// Every oddity real files have, read to the cells it means.
TEST(PatternFileReading, AcceptsWhatRealFilesDo)
{
    struct Case {
        const char* what;
        std::string text;
        std::vector<Cell> cells;
        std::string name;
        std::string rule;
    };
    const std::string wide = std::string(5'000'000, '.') + "O\n";
    const std::vector<Case> cases = {
        {"no header", "4o!", Row(4), "", ""},
        {"header without spaces, other rule", "#N Two\nx=2,y=1,rule=B36/S23\n2o!", {{0, 0}, {1, 0}}, "Two", "B36/S23"},
        {"rule line", "#r 23/36\no!", {{0, 0}}, "", "23/36"},
        {"line break inside a run count", "x = 12, y = 1\n1\n2o!", Row(12), "", ""},
        {"CR, LF and CRLF mixed", "x = 2, y = 3\r2o\r\n$\nbo\r!", {{0, 0}, {1, 0}, {1, 1}}, "", ""},
        {"no ! at the end", "o$bo", {{0, 0}, {1, 1}}, "", ""},
        {"text after !", "o!3o$%garbage\n#C", {{0, 0}}, "", ""},
        {"header larger and smaller than the pattern", "x = 1, y = 1\n3o$100$o!",
         {{0, 0}, {1, 0}, {2, 0}, {0, 101}}, "", ""},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBFo!", {{0, 0}}, "", ""},
        {"UTF-16LE byte-order mark", std::string("\xFF\xFE#\0N\0 \0\xE9\0\n\0o\0!\0", 16), {{0, 0}}, "\xE9", ""},
        {"Latin-1 comment", "#N Caf\xE9\n#C Fran\xE7ois\no!", {{0, 0}}, "Caf\xE9", ""},
        {"position", "#CXRLE Pos=-5,7 Gen=3\nbo!", {{-4, 7}}, "", ""},
        {"last column of the plane", "#CXRLE Pos=2147483647,0\no!", {{INT32_MAX, 0}}, "", ""},
        {"across the plane's ends", "#CXRLE Pos=2147483647,-2147483648\n2o$o!",
         {{INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN + 1}}, "", ""},
        {"empty pattern", "x = 0, y = 0\n!", {}, "", ""},
        {"Life 1.06 cell listed twice", "#Life 1.06\n  1   -2 \n3 4\n1 -2\n", {{1, -2}, {3, 4}}, "", ""},
        {"Plaintext empty line, * alive", "!Name: Dots \n.O\n\n*\n", {{1, 0}, {0, 2}}, "Dots", ""},
        {"Plaintext 5 MB line", wide, {{5'000'000, 0}}, "", ""},
        {"Life 1.05 overlapping blocks", "#Life 1.05\n#R 23/36\n#P -1 -1\n.*\n#P 0 -1\n*.*\n",
         {{0, -1}, {2, -1}}, "", "23/36"},
        {"DOS end-of-file mark", "o!\x1A", {{0, 0}}, "", ""},
    };
    for (const Case& c : cases) {
        Pattern p;
        std::string error;
        ASSERT_TRUE(ReadPattern(c.text, p, error)) << c.what << ": " << error;
        EXPECT_EQ(p.cells, c.cells) << c.what;
        EXPECT_EQ(p.name, c.name) << c.what;
        EXPECT_EQ(p.rule, c.rule) << c.what;
    }
}

// Each refusal names the fault, and where it is when it has a place; the pattern is left empty.
TEST(PatternFileReading, RefusesBadInputClearly)
{
    struct Case {
        std::string text;
        const char* message;
    };
    std::string listed = "#Life 1.06\n";
    for (int i = 0; i <= kMaxCells; ++i) {
        listed += std::to_string(i % 7) + " " + std::to_string(i / 7) + "\n" + "0 0\n";
    }
    const std::vector<Case> cases = {
        {"", "empty"},
        {" \r\n\t\n", "empty"},
        {"#N Only a name\n#C and a comment\n", "only comments"},
        {"!Name: nothing\n!\n", "only comments"},
        {"Hello, world.\n", "Line 1: the text is not a pattern"},
        {"#Life 2.0\n", "not a pattern"},
        {"42\n", "neither an RLE header nor a live cell"},
        {std::string(kMaxPatternFileBytes + 1, 'o'), "larger than 16 MiB"},
        {"x = 9, y = 1\n\n  4294967299o!", "Line 3, column 3: the run count is larger than 4,294,967,295"},
        {"0o!", "at least 1"},
        {"4294967295b2o!", "wider than the whole plane"},
        {"4294967295$4294967295$o!", "taller than the whole plane"},
        {"#CXRLE Pos=2147483648,0\no!", "Line 1: the position 2147483648 lies outside the plane"},
        {"#CXRLE Pos=0,-99999999999999999999999\no!", "position -99999999999999999999999 lies outside"},
        {"#CXRLE Pos=3\no!", "two whole numbers"},
        {"#Life 1.05\n#P 0 -2147483649\n*\n", "Line 2: the coordinate -2147483649 lies outside"},
        {"#Life 1.06\n0 0\n-2147483649 5\n", "Line 3: the coordinate -2147483649 lies outside"},
        {"#Life 1.06\n1 2 3\n", "Line 2: a Life 1.06 line must be two whole numbers"},
        {"#Life 1.06\n\n1,2\n", "Line 3: a Life 1.06 line"},
        {"x = 3, y = 2\nbo$2%o!", "Line 2, column 5: unexpected '%'"},
        {"x = 3, y = 2\nbo$\xE9o!", "Line 2, column 4: unexpected byte 0xE9"},
        {"!C\n.O.\n.X.\n", "Line 3, column 2: unexpected 'X'"},
        {"#Life 1.05\n*o\n", "Line 2, column 2: unexpected 'o'"},
        {"x = a, y = 1\no!", "Line 1: the header's x must be a whole number"},
        {"x = 2, y = 1, rule = B3/S23\n2A!", "Line 2, column 2: 'A' is a cell state of a multi-state pattern"},
        {"2o$.o!", "'.' is a cell state of a multi-state pattern"},
        {"#C\nx = 1, y = 1, rule = LifeHistory\n2A!", "Line 2: the rule \"LifeHistory\" has more than two cell states"},
        {"x = 1, y = 1, rule = B2/S/C3\no!", "more than two cell states"},
        {"x = 1, y = 1, rule = 23/3/4\no!", "more than two cell states"},
        {"10001o!", "more than 10,000 live cells; the board holds at most 10,000"},
        {listed, "more than 10,000 live cells"},
        {std::string("o\0!", 3), "Line 1: the file holds binary data (byte 0x00)"},
        {"o$\n\x01\x02", "Line 2: the file holds binary data"},
        {std::string("x\0 \0=\0 \0", 8), "UTF-16 without a byte-order mark"},
        {std::string("\xFF\xFEo\0!", 5), "middle of a character"},
    };
    for (const Case& c : cases) {
        Pattern p{{{1, 1}}, "old", "old"};
        std::string error;
        EXPECT_FALSE(ReadPattern(c.text, p, error)) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << "got: " << error;
        EXPECT_TRUE(p.cells.empty() && p.name.empty() && p.rule.empty()) << c.message;
    }
}

TEST(PatternFileWriting, RleAsTheCollectionsWriteIt)
{
    const std::vector<Cell> cells = {{10, -4}, {12, -4}, {10, -1}, {11, -1}};
    EXPECT_EQ(Write(PatternFormat::Rle, cells, "Two\nrows"),
              "#N Two rows\n#CXRLE Pos=10,-4\nx = 3, y = 4, rule = B3/S23\nobo3$2o!\n");
    EXPECT_EQ(Write(PatternFormat::Rle, {}), "x = 0, y = 0, rule = B3/S23\n!\n");
    // Across the plane's ends the box is the short way round, three columns, not four billion.
    const std::vector<Cell> seam = {{INT32_MIN, 0}, {INT32_MAX - 1, 0}, {INT32_MAX, 5}};
    EXPECT_EQ(Write(PatternFormat::Rle, seam), "#CXRLE Pos=2147483646,0\nx = 3, y = 6, rule = B3/S23\nobo5$bo!\n");
    EXPECT_EQ(Write(PatternFormat::Plaintext, seam), "O.O\n...\n...\n...\n...\n.O.\n");

    // Cells far apart: long runs never make a line longer than 70 characters.
    std::vector<Cell> far;
    for (int32_t i = 0; i < 200; ++i) {
        far.push_back({i * 10'000'000, i % 3 == 0 ? 0 : i * 7'000'000});
    }
    const std::string text = Write(PatternFormat::Rle, far);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 70u) << line;
    }
    EXPECT_EQ(Sorted(Read(text).cells), Sorted(far));
}

TEST(PatternFileWriting, PlaintextRefusesBoxesLargerThan2000AndKeepsTheText)
{
    const std::string widest = Write(PatternFormat::Plaintext, {{-1000, 0}, {999, 1999}}, "Edge");
    EXPECT_EQ(Read(widest).cells, (std::vector<Cell>{{0, 0}, {1999, 1999}}));
    EXPECT_EQ(Read(widest).name, "Edge");
    const std::vector<Cell> tooWide = {{0, 0}, {2000, 0}};
    const std::vector<Cell> tooTall = {{0, 0}, {0, -2000}};
    for (const std::vector<Cell>& cells : {tooWide, tooTall}) {
        std::string text = "kept";
        std::string error;
        EXPECT_FALSE(WritePattern(PatternFormat::Plaintext, cells, "", text, error));
        EXPECT_EQ(text, "kept");
        EXPECT_NE(error.find("at most 2,000 x 2,000"), std::string::npos) << error;
    }
}

// Random boards, some across the plane's ends, written in each format and read back.
TEST(PatternFileWriting, RandomBoardsComeBackInEveryFormat)
{
    std::mt19937 rng(8);
    for (int round = 0; round < 200; ++round) {
        const int32_t centres[] = {0, INT32_MAX, INT32_MIN, static_cast<int32_t>(rng())};
        const Cell centre = {centres[rng() % 4], centres[rng() % 4]};
        const int32_t spread = round % 5 == 0 ? 1'500'000'000 : static_cast<int32_t>(1 + rng() % 300);
        std::uniform_int_distribution<int32_t> d(-spread, spread);
        std::vector<Cell> cells;
        for (uint32_t n = rng() % 400; n > 0; --n) {
            const Cell c = {WrapAdd(centre.x, d(rng)), WrapAdd(centre.y, d(rng))};
            if (std::find(cells.begin(), cells.end(), c) == cells.end()) {
                cells.push_back(c);
            }
        }
        const std::string name = "Board " + std::to_string(round);
        const Pattern rle = Read(Write(PatternFormat::Rle, cells, name));
        ASSERT_EQ(Sorted(rle.cells), Sorted(cells)) << "RLE, round " << round;
        EXPECT_EQ(rle.name, name);
        // Reading gives reading order, which writing keeps: the text is the same the second time.
        EXPECT_EQ(Write(PatternFormat::Rle, rle.cells, name), Write(PatternFormat::Rle, cells, name));
        ASSERT_EQ(Read(Write(PatternFormat::Life106, cells)).cells, rle.cells) << "Life 1.06, round " << round;
        if (spread <= 300 && !cells.empty()) {
            // Plaintext starts at (0, 0): the same cells, moved by the box's corner.
            const Pattern plain = Read(Write(PatternFormat::Plaintext, cells, name));
            const Cell corner = {WrapAdd(rle.cells[0].x, -plain.cells[0].x), rle.cells[0].y};
            std::vector<Cell> moved;
            for (const Cell& c : plain.cells) {
                moved.push_back({WrapAdd(c.x, corner.x), WrapAdd(c.y, corner.y)});
            }
            ASSERT_EQ(moved, rle.cells) << "Plaintext, round " << round;
            EXPECT_EQ(plain.name, name);
        }
    }
}

// Mangled copies of the real files: flipped bytes, cuts and repeated pieces. Whatever the reader
// says, it must say it cleanly; the sanitizer build turns any bad access into a failure.
TEST(PatternFileReading, MangledRealFilesNeverBreakTheReader)
{
    std::mt19937 rng(1);
    for (const char* file : kRealFiles) {
        const std::string original = DataFile(file);
        for (int round = 0; round < 300; ++round) {
            std::string text = original;
            for (uint32_t edits = 1 + rng() % 4; edits > 0 && !text.empty(); --edits) {
                const size_t at = rng() % text.size();
                const size_t length = std::min<size_t>(1 + rng() % 40, text.size() - at);
                switch (rng() % 4) {
                case 0:
                    text[at] = static_cast<char>(rng());
                    break;
                case 1:
                    text[at] = "0123456789bo$!#\n\r-"[rng() % 18];
                    break;
                case 2:
                    text.resize(at);
                    break;
                default:
                    text.insert(at, text.substr(at, length) + text.substr(at, length));
                    break;
                }
            }
            Pattern p;
            std::string error;
            if (ReadPattern(text, p, error)) {
                EXPECT_LE(p.cells.size(), static_cast<size_t>(kMaxCells)) << file;
                const std::vector<Cell> sorted = Sorted(p.cells);
                EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << file << ": a cell twice";
            } else {
                EXPECT_TRUE(p.cells.empty()) << file;
                EXPECT_FALSE(error.empty() || error.find('\n') != std::string::npos) << file << ": " << error;
            }
        }
    }
}

}  // namespace
