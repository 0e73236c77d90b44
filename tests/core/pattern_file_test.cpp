#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <tuple>

#include <gtest/gtest.h>

#include "pattern_file.h"

namespace {

std::vector<Cell> Sorted(std::vector<Cell> cells)
{
    std::sort(cells.begin(), cells.end(), [](Cell a, Cell b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
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
    std::string text, error;
    EXPECT_TRUE(WritePattern(format, cells, name, text, error)) << error;
    return text;
}

// Each real file's count (0: more than the board holds) and the gun in four formats. Mangled copies
// are read cleanly or refused in one sentence; the sanitizer build makes any bad access a failure.
TEST(PatternFileRealFiles, CountsTheGunInEveryFormatAndSurvivesMangledCopies)
{
    const std::pair<const char*, size_t> files[] = {
        {"gosperglidergun.rle", 36}, {"gosperglidergun.cells", 36}, {"gosperglidergun_105.lif", 36},
        {"gosperglidergun_106.lif", 36}, {"glider.rle", 5}, {"glider_106.lif", 5}, {"acorn.rle", 7}, {"44p123.rle", 44},
        {"barbershop.rle", 9373}, {"turingmachine.rle", 0}};
    std::string gun;  // as Plaintext, which has no position
    std::mt19937 rng(1);
    for (const auto& [file, cells] : files) {
        std::ifstream in(std::string(QUILLANE_TEST_DATA) + "/" + file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        const std::string original(std::istreambuf_iterator<char>(in), {});
        Pattern p;
        std::string error;
        EXPECT_EQ(ReadPattern(original, p, error), cells > 0) << file << ": " << error;
        EXPECT_EQ(p.cells.size(), cells) << file;
        gun = gun.empty() ? Write(PatternFormat::Plaintext, p.cells) : gun;
        EXPECT_TRUE(cells != 36 || Write(PatternFormat::Plaintext, p.cells) == gun) << file;
        for (int round = 0; round < 300; ++round) {
            std::string text = original;
            for (uint32_t edits = 1 + rng() % 4; edits > 0 && !text.empty(); --edits) {
                const size_t at = rng() % text.size();
                switch (rng() % 4) {
                case 0: text[at] = static_cast<char>(rng()); break;
                case 1: text[at] = "0123456789bo$!#\n\r-"[rng() % 18]; break;
                case 2: text.resize(at); break;
                default: text.insert(at, text.substr(at, 1 + rng() % 40)); break;
                }
            }
            if (ReadPattern(text, p, error)) {
                EXPECT_LE(p.cells.size(), static_cast<size_t>(kMaxCells)) << file;
                EXPECT_EQ(Sorted(p.cells).size(), p.cells.size()) << file << ": a cell twice";
            } else {
                EXPECT_TRUE(p.cells.empty() && p.name.empty() && error.find('\n') == std::string::npos) << error;
            }
        }
    }
}

TEST(PatternFileRules, StandardSpellingsAndOthers)
{
    for (const char* rule :
         {"", "B3/S23", "b3/s23", "23/3", "S23/B3", "s23/b3", "B3S23", " B3 / S23 ", "B3/S32", "Life", "conway", " LIFE"}) {
        EXPECT_TRUE(IsStandardRule(rule)) << rule;
    }
    for (const char* rule : {"B36/S23", "B3/S2", "3/23", "B3/S23/3", "B3/S23:T100,100", "Highlife", "B/S", "B3"}) {
        EXPECT_FALSE(IsStandardRule(rule)) << rule;
    }
}

// A pattern as one line: its cells, then its name and rule.
std::string Shown(const Pattern& p)
{
    std::string text;
    for (const Cell c : p.cells) {
        text += std::to_string(c.x) + "," + std::to_string(c.y) + " ";
    }
    return text + "|" + p.name + "|" + p.rule;
}

// Every oddity real files have, read to the cells, name and rule it means; each refusal names the
// fault, and where it is when it has a place.
TEST(PatternFileReading, AcceptsWhatRealFilesDoAndRefusesBadInputClearly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"#N Two\nx=4,y=1,rule=B36/S23\n4o!", "0,0 1,0 2,0 3,0 |Two|B36/S23"},
        {"#r 23/36\no!3o$%garbage\n#C", "0,0 ||23/36"},  // no header; text after the !
        {"x = 12, y = 1\n\n2\n\n2b4o", "22,0 23,0 24,0 25,0 ||"},  // a count across lines, no !
        {"x = 2, y = 1\r2o\r\n$\nbo\r100$o!", "0,0 1,0 1,1 0,101 ||"},  // CR, LF, CRLF; a hint
        {"\xEF\xBB\xBF#N Caf\xE9\n#C Fran\xE7ois\no!\x1A", "0,0 |Caf\xE9|"},  // UTF-8 mark, Latin-1, DOS end mark
        {std::string("\xFF\xFE#\0N\0 \0\xE9\0\n\0o\0!\0", 16), "0,0 |\xE9|"}, {"x = 0, y = 0\n!", "||"},
        {"#Life 1.06\n  1   -2 \n3 4\n1 -2\n", "1,-2 3,4 ||"},  // a cell twice
        {"!Name: Dots \n.O\n\n*\n", "1,0 0,2 |Dots|"}, {"0o!", "at least 1"}, {" \r\n\t\n", "empty"},
        {"#Life 1.05\n#R 23/36\n#P -1 -1\n.*\n#P 0 -1\n*.*\n", "0,-1 2,-1 ||23/36"},  // blocks overlap
        {"#N A name\n#C a comment\n", "only comments"}, {"!Name: x\n!\n", "only comments"}, {"42\n", "neither an RLE"},
        {"Hello, world.\n", "Line 1: the text is not a pattern"}, {"#Life 2.0\n", "not a pattern"},
        {std::string(kMaxPatternFileBytes + 1, 'o'), "16 MiB"}, {"4294967295b2o!", "wider than the whole plane"},
        {"x = 9, y = 1\n\n  4294967299o!", "Line 3, column 3: the run count is larger than 4,294,967,295"},
        {"4294967295$4294967295$o!", "taller than the whole plane"}, {"#CXRLE Pos=3\no!", "two whole numbers"},
        {"#CXRLE Pos=2147483648,0\no!", "Line 1: the position 2147483648 lies outside the plane"},
        {"#CXRLE Pos=0,-99999999999999999999999\no!", "position -99999999999999999999999 lies outside"},
        {"#Life 1.05\n#P 0 -2147483649\n*\n", "Line 2: the coordinate -2147483649 lies outside"},
        {"#Life 1.06\n1 2 3\n", "Line 2: a Life 1.06 line must be two whole numbers"},
        {"!C\n.O.\n.X.\n", "Line 3, column 2: unexpected 'X'"}, {"#Life 1.05\n*o\n", "column 2: unexpected 'o'"},
        {"x = 3, y = 2\nbo$2%o!", "Line 2, column 5: unexpected '%'"}, {"x = a, y = 1\no!", "Line 1: the header's x"},
        {"x = 4, y = 1\n2xbq!", "0,0 1,0 3,0 ||"}, {"x = 2, y = 1\nbpA!", "column 2: 'p' is a cell state of a multi"},
        {"x = 13, y = 1\n1 2o!", "Line 2, column 3: a run count's digits must stand together"},
        {"x = 2, y = 1, rule = B3/S23\n2A!", "Line 2, column 2: 'A' is a cell state of a multi-state pattern"},
        {"#C\nx = 1, y = 1, rule = LifeHistory\n2A!", "Line 2: the rule \"LifeHistory\" has more than two cell states"},
        {"x = 1, y = 1, rule = B2/S/C3\no!", "more than two cell states"}, {"#CXRLE Pos=-5,7 Gen=3\nbo!", "-4,7 ||"},
        {"10001o!", "more than 10,000 live cells"}, {"#Life 1.05\n" + std::string(10'001, '*'), "more than 10,000"},
        {std::string("o\0!", 3), "binary data (byte 0x00)"}, {"o$\n\x01\x02", "Line 2: the file holds binary data"},
        {std::string("\xFF\xFEo\0!", 5), "middle of a"}, {std::string("x\0 \0=\0 \0", 8), "without a byte-order mark"},
    };
    for (const auto& [text, expected] : cases) {
        Pattern p;
        std::string error;
        const bool read = ReadPattern(text, p, error);
        EXPECT_TRUE(read ? Shown(p) == expected : error.find(expected) != std::string::npos)
            << expected << ": " << (read ? Shown(p) : error);
    }
    // Exactly 10,000 cells fill the board, in every format.
    std::string plain = "!Name: full\n", life105 = "#Life 1.05\n", life106 = "#Life 1.06\n";
    for (int32_t row = 0; row < 100; ++row) {
        plain += std::string(100, 'O') + "\n";
        life105 += std::string(100, '*') + "\n";
    }
    for (int32_t i = 0; i < kMaxCells; ++i) {
        life106 += std::to_string(i % 100) + " " + std::to_string(i / 100) + "\n";
    }
    for (const std::string& text : {std::string("10000o!"), plain, life105, life106}) {
        EXPECT_EQ(Read(text).cells.size(), size_t(kMaxCells)) << text.substr(0, 12);
    }
}

// The text as others' programs read it: the name on one line, a position only with cells. Plaintext
// holds boxes up to 2,000 x 2,000; past that it refuses and leaves the text alone.
TEST(PatternFileWriting, ExactTextAndThePlaintextLimit)
{
    EXPECT_EQ(Write(PatternFormat::Rle, {{10, -4}, {12, -4}, {10, -1}, {11, -1}}, "Two\nrows"),
              "#N Two rows\n#CXRLE Pos=10,-4\nx = 3, y = 4, rule = B3/S23\nobo3$2o!\n");
    EXPECT_EQ(Write(PatternFormat::Plaintext, {{-1000, 0}, {999, 1999}}).size(), 2000u * 2001);
    for (const std::vector<Cell>& cells : {std::vector<Cell>{{0, 0}, {2000, 0}}, {{0, 0}, {0, -2000}}}) {
        std::string text = "kept", error;
        EXPECT_FALSE(WritePattern(PatternFormat::Plaintext, cells, "", text, error));
        EXPECT_TRUE(text == "kept" && error.find("at most 2,000 x 2,000") != std::string::npos) << error;
    }
}

// Random boards (the first empty), some across the plane's ends, some spread over most of it, in each
// format and back; both readers give the same reading order.
TEST(PatternFileWriting, RandomBoardsComeBackInEveryFormat)
{
    std::mt19937 rng(8);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const int32_t centres[] = {0, INT32_MAX, INT32_MIN, static_cast<int32_t>(rng())};
        const Cell centre = {centres[rng() % 4], centres[rng() % 4]};
        const int32_t spread = round % 5 == 0 ? 1'500'000'000 : static_cast<int32_t>(1 + rng() % 300);
        std::uniform_int_distribution<int32_t> d(-spread, spread);
        std::vector<Cell> cells(round == 0 ? 0 : rng() % 400);  // some twice, which the writers take once
        for (Cell& c : cells) {
            c = {WrapAdd(centre.x, d(rng)), WrapAdd(centre.y, d(rng))};
        }
        const std::string name = "Board " + std::to_string(round), text = Write(PatternFormat::Rle, cells, name);
        ASSERT_FALSE(std::regex_search(text, std::regex("[^\n]{71}"))) << text;  // no line over 70 characters
        const Pattern rle = Read(text);
        ASSERT_EQ(std::tie(rle.name, rle.rule), std::make_tuple(name, "B3/S23"));
        ASSERT_EQ(Sorted(rle.cells), Sorted(cells));
        ASSERT_EQ(Read(Write(PatternFormat::Life106, cells)).cells, rle.cells) << "Life 1.06";
        if (spread <= 300) {
            // Plaintext has no position: it reads as the RLE text without its #CXRLE line.
            const Pattern plain = Read(Write(PatternFormat::Plaintext, cells, name));
            ASSERT_EQ(plain.cells, Read(text.substr(text.find("x = "))).cells) << "Plaintext";
            EXPECT_EQ(plain.name, name);
        }
    }
}

}  // namespace
