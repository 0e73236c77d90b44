// Pattern files written: RLE, Plaintext and Life 1.06, each in reading order from the top-left
// corner of the pattern's box on the wrapping plane.
#include "pattern_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "pattern_shared.h"
#include "thousands.h"

namespace {

constexpr int32_t kMaxPlaintextSide = 2000;
constexpr size_t kMaxRleLine = 70;

// A name on one line, as every format keeps it.
std::string OneLine(const std::string& name)
{
    std::string out(Trimmed(name));
    std::replace(out.begin(), out.end(), '\n', ' ');
    std::replace(out.begin(), out.end(), '\r', ' ');
    return out;
}

// RLE items are never split, and a line ends before it would pass 70 characters.
void AppendRleItem(std::string& text, size_t& lineLength, uint64_t run, char tag)
{
    char item[24];
    char* end = item;
    if (run > 1) {
        end = std::to_chars(item, item + sizeof item - 1, run).ptr;
    }
    *end++ = tag;
    const size_t length = static_cast<size_t>(end - item);
    if (lineLength + length > kMaxRleLine) {
        text += '\n';
        lineLength = 0;
    }
    text.append(item, length);
    lineLength += length;
}

std::string WriteRle(const std::vector<Cell>& cells, const Box& box, const std::string& name)
{
    std::string text;
    if (!name.empty()) {
        text += "#N " + name + "\n";
    }
    if (!cells.empty()) {
        text += "#CXRLE Pos=" + std::to_string(box.x.start) + "," + std::to_string(box.y.start) + "\n";
    }
    text += "x = " + std::to_string(box.x.length) + ", y = " + std::to_string(box.y.length) + ", rule = B3/S23\n";
    size_t lineLength = 0;
    uint64_t row = 0;
    uint64_t col = 0;
    for (size_t i = 0; i < cells.size();) {
        const uint64_t dy = OffsetY(box, cells[i]);
        const uint64_t dx = OffsetX(box, cells[i]);
        if (dy > row) {
            AppendRleItem(text, lineLength, dy - row, '$');
            row = dy;
            col = 0;
        }
        if (dx > col) {
            AppendRleItem(text, lineLength, dx - col, 'b');
        }
        size_t j = i + 1;
        while (j < cells.size() && OffsetY(box, cells[j]) == dy && OffsetX(box, cells[j]) == dx + (j - i)) {
            ++j;
        }
        AppendRleItem(text, lineLength, j - i, 'o');
        col = dx + (j - i);
        i = j;
    }
    AppendRleItem(text, lineLength, 1, '!');
    text += '\n';
    return text;
}

std::string WritePlaintext(const std::vector<Cell>& cells, const Box& box, const std::string& name)
{
    std::string text;
    if (!name.empty()) {
        text += "!Name: " + name + "\n";
    }
    if (cells.empty()) {
        return text + ".\n";  // a row, so that the text reads back as an empty pattern
    }
    const size_t width = static_cast<size_t>(box.x.length);
    size_t i = 0;
    for (uint64_t row = 0; row < box.y.length; ++row) {
        std::string line(width, '.');
        for (; i < cells.size() && OffsetY(box, cells[i]) == row; ++i) {
            line[OffsetX(box, cells[i])] = 'O';
        }
        text += line;
        text += '\n';
    }
    return text;
}

std::string WriteLife106(const std::vector<Cell>& cells)
{
    std::string text = "#Life 1.06\n";
    for (const Cell& c : cells) {
        text += std::to_string(c.x) + " " + std::to_string(c.y) + "\n";
    }
    return text;
}

}  // namespace

bool WritePattern(PatternFormat format, const std::vector<Cell>& cells, const std::string& name, std::string& text,
                  std::string& error)
{
    const Box box = BoxOf(cells);
    const std::vector<Cell> ordered = InReadingOrder(cells, box);
    const std::string line = OneLine(name);
    switch (format) {
    case PatternFormat::Rle:
        text = WriteRle(ordered, box, line);
        return true;
    case PatternFormat::Plaintext:
        if (box.x.length > kMaxPlaintextSide || box.y.length > kMaxPlaintextSide) {
            error = "The pattern spans " + WithThousands(box.x.length) + " x " + WithThousands(box.y.length) +
                    " cells; Plaintext holds at most " + WithThousands(kMaxPlaintextSide) + " x " +
                    WithThousands(kMaxPlaintextSide) + ", so save it as RLE or Life 1.06.";
            return false;
        }
        text = WritePlaintext(ordered, box, line);
        return true;
    case PatternFormat::Life106:
        text = WriteLife106(ordered);
        return true;
    }
    error = "Unknown pattern format.";
    return false;
}

std::string WriteRleFrom(const std::vector<Cell>& cells, Cell origin)
{
    Box box = {{origin.x, 1}, {origin.y, 1}};
    for (const Cell& c : cells) {
        box.x.length = std::max<uint64_t>(box.x.length, uint64_t{StepsFrom(origin.x, c.x)} + 1);
        box.y.length = std::max<uint64_t>(box.y.length, uint64_t{StepsFrom(origin.y, c.y)} + 1);
    }
    return WriteRle(InReadingOrder(cells, box), box, "");
}
