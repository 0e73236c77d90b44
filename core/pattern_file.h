// Pattern files: reading the community's common formats and writing three of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cell_table.h"

struct Pattern {
    std::vector<Cell> cells;  // the live cells, in reading order (row by row, left to right)
    std::string name;         // from the file's name line, empty when it has none
    std::string rule;         // the rule as the file writes it, empty when it gives none
};
enum class PatternFormat { Rle, Plaintext, Life106 };

// Reads any supported format, told apart by content (never by file name). On failure returns
// false, leaves `pattern` empty and sets `error` to one sentence a user can act on, naming the
// line where one applies. Never crashes, never reads outside `text`, runs in time linear in its size.
bool ReadPattern(std::string_view text, Pattern& pattern, std::string& error);
// The cells in the given format, into `text`. Nothing is lost: reading the result back gives the
// same cells (at the same coordinates for Rle and Life106, translated for Plaintext). False, with
// `error` set and `text` untouched, when the format cannot hold them (a Plaintext box too large).
bool WritePattern(PatternFormat format, const std::vector<Cell>& cells, const std::string& name,
                  std::string& text, std::string& error);

// RLE whose box begins at `origin` rather than at the cells' own corner, so that its position says
// where a selection lay. Every cell lies right of and below the origin, within 2^32 - 1 steps.
std::string WriteRleFrom(const std::vector<Cell>& cells, Cell origin);

// Whether a rule as a file writes it is B3/S23 (any common spelling; empty counts as B3/S23).
bool IsStandardRule(const std::string& rule);

// Files larger than this are refused before they are read.
constexpr size_t kMaxPatternFileBytes = 16u << 20;
