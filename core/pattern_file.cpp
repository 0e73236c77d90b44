// Pattern files read. Every reader makes one pass over the text with an explicit line and column;
// every number is checked before it is added to, and nothing is sized from a number the text
// claims. The plane wraps at the ends of the 32-bit range, so a pattern's offsets from its corner
// wrap too: only a pattern wider or taller than the whole plane, or a coordinate written outside
// the 32-bit range, is refused.
#include "pattern_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "pattern_shared.h"
#include "texts.h"
#include "thousands.h"

namespace {

constexpr uint64_t kPlaneSide = uint64_t{1} << 32;  // cells across the plane, either way
constexpr uint64_t kMaxRunCount = kPlaneSide - 1;

// ---------------------------------------------------------------------------------------------
// Messages

std::string At(uint64_t line)
{
    return "Line " + std::to_string(line) + ": ";
}

std::string At(uint64_t line, uint64_t column)
{
    return "Line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

// A character as a message can show it: bytes that are not printable ASCII as their code.
std::string Shown(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "byte 0x%02X", u);
        return buf;
    }
    return std::string("'") + c + "'";
}

std::string TooManyCells()
{
    return "The pattern has more than " + WithThousands(kMaxCells) + " live cells; " + BoardLimitText();
}

const char kOutsidePlane[] = " lies outside the plane (-2147483648 to 2147483647).";

// ---------------------------------------------------------------------------------------------
// Text helpers

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// Lines split at CR, LF or CRLF, which real files mix.
struct LineCursor {
    std::string_view text;
    size_t pos;
    uint64_t number;  // of the line last returned, from 1
};

bool NextLine(LineCursor& cursor, std::string_view& line)
{
    if (cursor.pos >= cursor.text.size()) {
        return false;
    }
    size_t end = cursor.pos;
    while (end < cursor.text.size() && cursor.text[end] != '\n' && cursor.text[end] != '\r') {
        ++end;
    }
    line = cursor.text.substr(cursor.pos, end - cursor.pos);
    if (end < cursor.text.size()) {
        end += (cursor.text[end] == '\r' && end + 1 < cursor.text.size() && cursor.text[end + 1] == '\n') ? 2 : 1;
    }
    cursor.pos = end;
    ++cursor.number;
    return true;
}

enum class Number { Ok, Missing, Outside };

// An optionally signed decimal integer at s[i], which must fit the 32-bit plane. Digits past the
// range only keep the value saturated, so nothing overflows however many there are.
Number ParseCoordinate(std::string_view s, size_t& i, int32_t& out)
{
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i >= s.size() || !IsDigit(s[i])) {
        return Number::Missing;
    }
    uint64_t value = 0;
    while (i < s.size() && IsDigit(s[i])) {
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(s[i] - '0'), kPlaneSide);
        ++i;
    }
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (value > limit) {
        return Number::Outside;
    }
    out = negative ? static_cast<int32_t>(static_cast<uint32_t>(0u - static_cast<uint32_t>(value)))
                   : static_cast<int32_t>(value);
    return Number::Ok;
}

// The text of a coordinate as written, for a message.
std::string_view NumberText(std::string_view s, size_t start)
{
    size_t end = start;
    if (end < s.size() && (s[end] == '-' || s[end] == '+')) {
        ++end;
    }
    while (end < s.size() && IsDigit(s[end])) {
        ++end;
    }
    return s.substr(start, std::min<size_t>(end - start, 40));
}

// ---------------------------------------------------------------------------------------------
// Rules

// The birth and survival digits of a two-state rule written B3/S23, S23/B3, B3S23 or 23/3
// (survival first). False for anything else.
bool ParseLifeLikeRule(const std::string& upper, uint32_t& birth, uint32_t& survival)
{
    birth = survival = 0;
    const size_t slash = upper.find('/');
    if (slash != std::string::npos && upper.find_first_not_of("0123456789/") == std::string::npos) {
        if (upper.find('/', slash + 1) != std::string::npos) {
            return false;
        }
        for (size_t i = 0; i < upper.size(); ++i) {
            if (upper[i] != '/') {
                (i < slash ? survival : birth) |= 1u << (upper[i] - '0');
            }
        }
        return true;
    }
    bool sawB = false;
    bool sawS = false;
    uint32_t* digits = nullptr;
    for (size_t i = 0; i < upper.size(); ++i) {
        const char c = upper[i];
        if (c == 'B' && !sawB) {
            sawB = true;
            digits = &birth;
        } else if (c == 'S' && !sawS) {
            sawS = true;
            digits = &survival;
        } else if (c == '/' && digits && i + 1 < upper.size() && (upper[i + 1] == 'B' || upper[i + 1] == 'S')) {
            digits = nullptr;
        } else if (IsDigit(c) && digits) {
            *digits |= 1u << (c - '0');
        } else {
            return false;
        }
    }
    return sawB && sawS;
}

std::string Normalised(const std::string& rule)
{
    std::string upper;
    for (char c : rule) {
        if (!IsBlank(c)) {
            upper += Upper(c);
        }
    }
    return upper;
}

// Rules of automata with more than two cell states: a third (Generations) field that counts more
// than two states, or one of the well-known multi-state families.
bool HasMoreThanTwoStates(const std::string& rule)
{
    const std::string upper = Normalised(rule);
    for (const char* family : {"HISTORY", "SUPER", "INVESTIGATOR", "WIREWORLD", "JVN", "NOBILI", "GENERATIONS"}) {
        if (upper.find(family) != std::string::npos) {
            return true;
        }
    }
    const size_t first = upper.find('/');
    const size_t second = first == std::string::npos ? first : upper.find('/', first + 1);
    if (second == std::string::npos) {
        return false;
    }
    std::string states = upper.substr(second + 1);
    if (!states.empty() && (states[0] == 'C' || states[0] == 'G')) {
        states.erase(0, 1);
    }
    return states != "2";
}

std::string MultiStateRuleError(uint64_t line, const std::string& rule)
{
    return At(line) + "the rule \"" + rule.substr(0, 60) +
           "\" has more than two cell states; Quillane reads two-state patterns only.";
}

// ---------------------------------------------------------------------------------------------
// Collecting cells

// Formats that cannot repeat a cell (RLE, Plaintext) stop at the first cell past the limit.
bool AddNewCell(std::vector<Cell>& cells, Cell c, std::string& error)
{
    if (cells.size() >= static_cast<size_t>(kMaxCells)) {
        error = TooManyCells();
        return false;
    }
    cells.push_back(c);
    return true;
}

// Formats that may list a cell twice (Life 1.05 blocks may overlap; Life 1.06 lines may repeat)
// keep at most about twice the limit: past that the list is folded to its distinct cells, which
// must then fit, so memory stays bounded and the work stays linear.
bool AddListedCell(std::vector<Cell>& cells, Cell c, std::string& error)
{
    if (cells.size() >= 2 * static_cast<size_t>(kMaxCells) + 2) {
        const Box box = BoxOf(cells);
        cells = InReadingOrder(std::move(cells), box);
        if (cells.size() > static_cast<size_t>(kMaxCells)) {
            error = TooManyCells();
            return false;
        }
    }
    cells.push_back(c);
    return true;
}

bool FinishListedCells(std::vector<Cell>& cells, std::string& error)
{
    const Box box = BoxOf(cells);
    cells = InReadingOrder(std::move(cells), box);
    if (cells.size() > static_cast<size_t>(kMaxCells)) {
        error = TooManyCells();
        return false;
    }
    return true;
}

Cell OffsetCell(Cell corner, uint64_t dx, uint64_t dy)
{
    return {WrapAdd(corner.x, static_cast<int32_t>(static_cast<uint32_t>(dx))),
            WrapAdd(corner.y, static_cast<int32_t>(static_cast<uint32_t>(dy)))};
}

// ---------------------------------------------------------------------------------------------
// RLE

std::string MultiStateLetterError(uint64_t line, uint64_t column, char c)
{
    return At(line, column) + Shown(c) +
           " is a cell state of a multi-state pattern; Quillane reads two-state patterns only (b dead, o alive).";
}

bool IsMultiStateLetter(char c)
{
    return c == '.' || (c >= 'A' && c <= 'X') || (c >= 'p' && c <= 'z');
}

// Large collections mark some live cells of a two-state pattern with another letter, most often
// x. Followed by a state letter, the same letter begins a multi-state cell (pA), which stays refused.
bool IsMarkedLiveCell(std::string_view line, size_t i)
{
    const char c = line[i];
    const bool stateFollows = i + 1 < line.size() && line[i + 1] >= 'A' && line[i + 1] <= 'X';
    return c >= 'p' && c <= 'y' && !stateFollows;
}

// "#CXRLE Pos=x,y" (other fields such as Gen= may follow).
bool ReadRlePosition(std::string_view line, uint64_t lineNo, Cell& corner, std::string& error)
{
    const size_t at = line.find("Pos=");
    if (at == std::string_view::npos) {
        return true;
    }
    size_t i = at + 4;
    const size_t xStart = i;
    const Number nx = ParseCoordinate(line, i, corner.x);
    const bool comma = nx == Number::Ok && i < line.size() && line[i] == ',';
    const size_t yStart = comma ? i + 1 : i;
    size_t j = yStart;
    const Number ny = comma ? ParseCoordinate(line, j, corner.y) : Number::Missing;
    if (nx == Number::Outside || ny == Number::Outside) {
        const size_t bad = nx == Number::Outside ? xStart : yStart;
        error = At(lineNo) + "the position " + std::string(NumberText(line, bad)) + kOutsidePlane;
        return false;
    }
    if (ny != Number::Ok) {
        error = At(lineNo) + "the #CXRLE position must be two whole numbers, as in Pos=0,0.";
        return false;
    }
    return true;
}

// "x = m, y = n, rule = r": spaces optional, x and y only a hint. The rule runs to the end of the
// line, as some rules carry commas of their own.
bool ReadRleHeader(std::string_view line, uint64_t lineNo, std::string& rule, std::string& error)
{
    size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        const size_t keyStart = i;
        while (i < line.size() && ((line[i] >= 'a' && line[i] <= 'z') || (line[i] >= 'A' && line[i] <= 'Z'))) {
            ++i;
        }
        std::string key;
        for (char c : line.substr(keyStart, i - keyStart)) {
            key += Upper(c);
        }
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (key.empty() || i >= line.size() || line[i] != '=') {
            error = At(lineNo) + "the header must read \"x = width, y = height, rule = B3/S23\".";
            return false;
        }
        ++i;
        if (key == "RULE") {
            rule = std::string(Trimmed(line.substr(i)));
            return true;
        }
        const size_t comma = std::min(line.find(',', i), line.size());
        const std::string_view value = Trimmed(line.substr(i, comma - i));
        if ((key == "X" || key == "Y") &&
            (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos)) {
            error = At(lineNo) + "the header's " + (key == "X" ? "x" : "y") + " must be a whole number, not \"" +
                    std::string(value.substr(0, 40)) + "\".";
            return false;
        }
        if (comma >= line.size()) {
            return true;
        }
        i = comma + 1;
    }
}

bool IsRleHeader(std::string_view trimmed)
{
    if (trimmed.empty() || (trimmed[0] != 'x' && trimmed[0] != 'X')) {
        return false;
    }
    const std::string_view rest = Trimmed(trimmed.substr(1));
    return !rest.empty() && rest[0] == '=';
}

struct RleBody {
    Cell corner;
    uint64_t col;
    uint64_t row;
    uint64_t run;
    bool haveRun;
    uint64_t runLine;
    uint64_t runColumn;
    bool blankInRun;  // a blank since the count began, on this line: "1 2o" is no count of 12
    bool ended;
};

// One line of the body; the run count and position carry over to the next line.
bool ReadRleBodyLine(std::string_view line, uint64_t lineNo, RleBody& body, std::vector<Cell>& cells,
                     std::string& error)
{
    // A count may go on after a line break, as real files break long lines anywhere.
    body.blankInRun = false;
    for (size_t i = 0; i < line.size() && !body.ended; ++i) {
        const char c = IsMarkedLiveCell(line, i) ? 'o' : line[i];
        if (IsDigit(c)) {
            if (body.haveRun && body.blankInRun) {
                error = At(lineNo, i + 1) + "a run count's digits must stand together, without blanks between them.";
                return false;
            }
            if (!body.haveRun) {
                body.haveRun = true;
                body.run = 0;
                body.runLine = lineNo;
                body.runColumn = i + 1;
            }
            body.run = body.run * 10 + static_cast<uint64_t>(c - '0');
            if (body.run > kMaxRunCount) {
                error = At(body.runLine, body.runColumn) + "the run count is larger than " + WithThousands(kMaxRunCount) +
                        ".";
                return false;
            }
            continue;
        }
        if (IsBlank(c)) {
            body.blankInRun = body.haveRun;
            continue;
        }
        const uint64_t n = body.haveRun ? body.run : 1;
        if (c == 'b' || c == 'o' || c == '$') {
            if (n == 0) {
                error = At(body.runLine, body.runColumn) + "a run count must be at least 1.";
                return false;
            }
            body.haveRun = false;
        }
        if (c == 'b') {
            body.col = std::min(body.col + n, 2 * kPlaneSide);
        } else if (c == 'o') {
            if (body.col + n > kPlaneSide || body.row >= kPlaneSide) {
                error = At(lineNo, i + 1) + "the pattern is " + (body.row >= kPlaneSide ? "taller" : "wider") +
                        " than the whole plane (" + WithThousands(kPlaneSide) + " cells).";
                return false;
            }
            for (uint64_t k = 0; k < n; ++k) {
                if (!AddNewCell(cells, OffsetCell(body.corner, body.col + k, body.row), error)) {
                    return false;
                }
            }
            body.col += n;
        } else if (c == '$') {
            body.row = std::min(body.row + n, 2 * kPlaneSide);
            body.col = 0;
        } else if (c == '!') {
            body.ended = true;
        } else if (IsMultiStateLetter(c)) {
            error = MultiStateLetterError(lineNo, i + 1, c);
            return false;
        } else {
            error = At(lineNo, i + 1) + "unexpected " + Shown(c) +
                    "; an RLE pattern holds only b, o, $, ! and run counts.";
            return false;
        }
    }
    return true;
}

bool ReadRle(std::string_view text, Pattern& pattern, std::string& error)
{
    LineCursor cursor{text, 0, 0};
    std::string_view line;
    bool sawHeader = false;
    bool inBody = false;
    bool sawNameLine = false;
    std::string lineRule;  // from a "#r" line, used when the header has none
    uint64_t ruleLine = 0;
    RleBody body{{0, 0}, 0, 0, 0, false, 0, 0, false, false};
    while (!body.ended && NextLine(cursor, line)) {
        const std::string_view trimmed = Trimmed(line);
        if (!inBody) {
            if (trimmed.empty()) {
                continue;
            }
            if (trimmed[0] == '#') {
                if (StartsWith(trimmed, "#N") && !sawNameLine) {
                    sawNameLine = true;
                    pattern.name = std::string(Trimmed(trimmed.substr(2)));
                } else if (StartsWith(trimmed, "#CXRLE")) {
                    if (!ReadRlePosition(trimmed, cursor.number, body.corner, error)) {
                        return false;
                    }
                } else if (StartsWith(trimmed, "#r")) {
                    lineRule = std::string(Trimmed(trimmed.substr(2)));
                    ruleLine = cursor.number;
                }
                continue;
            }
            if (!sawHeader && IsRleHeader(trimmed)) {
                sawHeader = true;
                if (!ReadRleHeader(trimmed, cursor.number, pattern.rule, error)) {
                    return false;
                }
                // Before the body, whose state letters would otherwise hide the reason.
                if (HasMoreThanTwoStates(pattern.rule)) {
                    error = MultiStateRuleError(cursor.number, pattern.rule);
                    return false;
                }
                continue;
            }
            inBody = true;
        }
        if (!ReadRleBodyLine(line, cursor.number, body, pattern.cells, error)) {
            return false;
        }
    }
    if (!sawHeader && !inBody) {
        error = "The text holds only comments and no pattern.";
        return false;
    }
    // A stray number pasted from elsewhere must not load as an empty board.
    if (!sawHeader && pattern.cells.empty()) {
        error = "The text is not a pattern: it has neither an RLE header nor a live cell.";
        return false;
    }
    if (pattern.rule.empty() && HasMoreThanTwoStates(lineRule)) {
        error = MultiStateRuleError(ruleLine, lineRule);
        return false;
    }
    if (pattern.rule.empty()) {
        pattern.rule = lineRule;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Plaintext

bool ReadPlaintext(std::string_view text, Pattern& pattern, std::string& error)
{
    LineCursor cursor{text, 0, 0};
    std::string_view line;
    uint64_t row = 0;
    bool sawRow = false;
    bool sawNameLine = false;
    while (NextLine(cursor, line)) {
        if (!line.empty() && line[0] == '!') {
            if (StartsWith(line, "!Name:") && !sawNameLine) {
                sawNameLine = true;
                pattern.name = std::string(Trimmed(line.substr(6)));
            }
            continue;
        }
        // The text is at most kMaxPatternFileBytes, so rows and columns stay far inside 32 bits.
        const std::string_view cells =
            Trimmed(line).empty() ? std::string_view() : line.substr(0, line.find_last_not_of(" \t") + 1);
        sawRow = sawRow || !cells.empty();
        for (size_t i = 0; i < cells.size(); ++i) {
            const char c = cells[i];
            if (c == 'O' || c == '*') {
                if (!AddNewCell(pattern.cells, {static_cast<int32_t>(i), static_cast<int32_t>(row)}, error)) {
                    return false;
                }
            } else if (c != '.') {
                error = At(cursor.number, i + 1) + "unexpected " + Shown(c) +
                        "; a Plaintext row holds only . (dead) and O (alive).";
                return false;
            }
        }
        ++row;
    }
    if (!sawRow) {
        error = "The text holds only comments and no pattern.";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Life 1.05 and 1.06

// "x y" with blanks around and between; false with the error set.
bool ReadCoordinatePair(std::string_view line, uint64_t lineNo, size_t i, Cell& cell, std::string& error,
                        const char* what)
{
    while (i < line.size() && IsBlank(line[i])) {
        ++i;
    }
    const size_t xStart = i;
    Number nx = ParseCoordinate(line, i, cell.x);
    const bool separated = i < line.size() && IsBlank(line[i]);
    while (i < line.size() && IsBlank(line[i])) {
        ++i;
    }
    const size_t yStart = i;
    Number ny = separated && nx == Number::Ok ? ParseCoordinate(line, i, cell.y) : Number::Missing;
    while (i < line.size() && IsBlank(line[i])) {
        ++i;
    }
    if (nx == Number::Outside || ny == Number::Outside) {
        const size_t bad = nx == Number::Outside ? xStart : yStart;
        error = At(lineNo) + "the coordinate " + std::string(NumberText(line, bad)) + kOutsidePlane;
        return false;
    }
    if (ny != Number::Ok || i != line.size()) {
        error = At(lineNo) + what;
        return false;
    }
    return true;
}

bool ReadLife106(std::string_view text, Pattern& pattern, std::string& error)
{
    LineCursor cursor{text, 0, 0};
    std::string_view line;
    while (NextLine(cursor, line)) {
        const std::string_view trimmed = Trimmed(line);
        // The "#Life 1.06" line and comments.
        if (trimmed.empty() || trimmed[0] == '#') {
            continue;
        }
        Cell cell{0, 0};
        if (!ReadCoordinatePair(trimmed, cursor.number, 0, cell, error,
                                "a Life 1.06 line must be two whole numbers, x and y.") ||
            !AddListedCell(pattern.cells, cell, error)) {
            return false;
        }
    }
    return FinishListedCells(pattern.cells, error);
}

bool ReadLife105(std::string_view text, Pattern& pattern, std::string& error)
{
    LineCursor cursor{text, 0, 0};
    std::string_view line;
    bool sawHeader = false;
    Cell corner{0, 0};
    uint64_t row = 0;
    uint64_t ruleLine = 0;
    while (NextLine(cursor, line)) {
        const std::string_view trimmed = Trimmed(line);
        if (!sawHeader) {
            sawHeader = !trimmed.empty();
            continue;
        }
        if (!trimmed.empty() && trimmed[0] == '#') {
            if (StartsWith(trimmed, "#P")) {
                if (!ReadCoordinatePair(trimmed, cursor.number, 2, corner, error,
                                        "a #P line must give the block's corner as two whole numbers, x and y.")) {
                    return false;
                }
                row = 0;
            } else if (StartsWith(trimmed, "#R")) {
                pattern.rule = std::string(Trimmed(trimmed.substr(2)));
                ruleLine = cursor.number;
            }
            continue;
        }
        const std::string_view cells = trimmed.empty() ? trimmed : line.substr(0, line.find_last_not_of(" \t") + 1);
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i] == '*') {
                if (!AddListedCell(pattern.cells, OffsetCell(corner, i, row), error)) {
                    return false;
                }
            } else if (cells[i] != '.') {
                error = At(cursor.number, i + 1) + "unexpected " + Shown(cells[i]) +
                        "; a Life 1.05 row holds only . (dead) and * (alive).";
                return false;
            }
        }
        ++row;
    }
    if (HasMoreThanTwoStates(pattern.rule)) {
        error = MultiStateRuleError(ruleLine, pattern.rule);
        return false;
    }
    return FinishListedCells(pattern.cells, error);
}

// ---------------------------------------------------------------------------------------------
// Encodings and the choice of format

// UTF-16 (with its byte-order mark) to single bytes: ASCII and Latin-1 stay, anything else
// becomes '?', which only comments can hold anyway.
bool DecodeUtf16(std::string_view text, bool littleEndian, std::string& out, std::string& error)
{
    if (text.size() % 2 != 0) {
        error = "The UTF-16 text ends in the middle of a character; the file is cut short.";
        return false;
    }
    out.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const unsigned lo = static_cast<unsigned char>(text[littleEndian ? i : i + 1]);
        const unsigned hi = static_cast<unsigned char>(text[littleEndian ? i + 1 : i]);
        const unsigned unit = (hi << 8) | lo;
        out += unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    return true;
}

// ASCII text in UTF-16: every other byte zero, from the start, in one byte order or the other.
bool LooksLikeUtf16(std::string_view text)
{
    if (text.size() < 2 || text.size() % 2 != 0) {
        return false;
    }
    const size_t zeros = text[0] == '\0' ? 0 : 1;
    for (size_t i = 0; i < std::min<size_t>(text.size(), 64); ++i) {
        if ((text[i] == '\0') != (i % 2 == zeros)) {
            return false;
        }
    }
    return true;
}

// Refuses NUL bytes and control characters: binary data, or UTF-16 without its byte-order mark.
bool CheckIsText(std::string_view text, std::string& error)
{
    uint64_t line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
        }
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\r' || c == '\t') {
            continue;
        }
        const bool utf16 = c == '\0' && LooksLikeUtf16(text);
        if (utf16) {
            error = "The text looks like UTF-16 without a byte-order mark; save it as UTF-8 or ANSI text.";
        } else {
            error = At(line) + "the file holds binary data (" + Shown(c) + "), not pattern text.";
        }
        return false;
    }
    return true;
}

enum class Format { Rle, Plaintext, Life105, Life106, Unknown };

Format Detect(std::string_view first)
{
    if (StartsWith(first, "#Life 1.06")) {
        return Format::Life106;
    }
    if (StartsWith(first, "#Life 1.0") && first.size() > 9 && first[9] >= '0' && first[9] <= '5') {
        return Format::Life105;
    }
    if (StartsWith(first, "#Life")) {
        return Format::Unknown;
    }
    if (first[0] == '!') {
        return Format::Plaintext;
    }
    if (first[0] == '#' || IsRleHeader(first)) {
        return Format::Rle;
    }
    if (first.find_first_not_of(".O*") == std::string_view::npos) {
        return Format::Plaintext;
    }
    if (IsDigit(first[0]) || first[0] == 'b' || first[0] == 'o' || first[0] == '$') {
        return Format::Rle;
    }
    return Format::Unknown;
}

bool ReadAnyFormat(std::string_view text, Pattern& pattern, std::string& error)
{
    if (text.size() > kMaxPatternFileBytes) {
        error = TooLargeText("text");
        return false;
    }
    std::string decoded;
    if (StartsWith(text, "\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    } else if (StartsWith(text, "\xFF\xFE") || StartsWith(text, "\xFE\xFF")) {
        if (!DecodeUtf16(text.substr(2), text[0] == '\xFF', decoded, error)) {
            return false;
        }
        text = decoded;
    }
    // An old DOS end-of-file mark.
    while (!text.empty() && text.back() == '\x1A') {
        text.remove_suffix(1);
    }
    if (!CheckIsText(text, error)) {
        return false;
    }
    LineCursor cursor{text, 0, 0};
    std::string_view line;
    std::string_view first;
    while (first.empty() && NextLine(cursor, line)) {
        first = Trimmed(line);
    }
    if (first.empty()) {
        error = "The text is empty: it holds no pattern.";
        return false;
    }
    switch (Detect(first)) {
    case Format::Rle:
        return ReadRle(text, pattern, error);
    case Format::Plaintext:
        return ReadPlaintext(text, pattern, error);
    case Format::Life105:
        return ReadLife105(text, pattern, error);
    case Format::Life106:
        return ReadLife106(text, pattern, error);
    case Format::Unknown:
        break;
    }
    error = At(cursor.number) +
            "the text is not a pattern in a format Quillane reads (RLE, Plaintext, Life 1.05 or Life 1.06).";
    return false;
}

}  // namespace

bool ReadPattern(std::string_view text, Pattern& pattern, std::string& error)
{
    Pattern read;
    if (!ReadAnyFormat(text, read, error)) {
        pattern = Pattern{};
        return false;
    }
    pattern = std::move(read);
    return true;
}

bool IsStandardRule(const std::string& rule)
{
    const std::string upper = Normalised(rule);
    uint32_t birth = 0;
    uint32_t survival = 0;
    // Files also name the rule by the automaton's own name.
    return upper.empty() || upper == "LIFE" || upper == "CONWAY" ||
           (ParseLifeLikeRule(upper, birth, survival) && birth == (1u << 3) && survival == ((1u << 2) | (1u << 3)));
}
