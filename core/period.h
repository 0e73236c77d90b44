// Whether the board, as a whole and up to a translation, is one it was a few generations ago: a
// fingerprint per generation finds the candidate at once, and the board that many generations
// back, rebuilt by the caller, confirms it exactly once. Since the step is deterministic, a
// confirmed period then holds for every later generation until the next edit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cell_table.h"

// The table's shape, translation-invariant, in two independently keyed 64-bit lanes, and the
// canonical corner it was read from: the same board moved by (dx, dy) gives the same lanes and a
// corner moved by (dx, dy), across the plane's ends too.
struct BoardFingerprint {
    uint64_t lane[2];
    Cell corner;
    int32_t cells;
};

// The board equals the one `period` generations back moved by (dx, dy); period 0 means no report.
struct PeriodReport {
    int32_t period;
    int32_t dx;
    int32_t dy;
};

inline bool operator==(PeriodReport a, PeriodReport b)
{
    return a.period == b.period && a.dx == b.dx && a.dy == b.dy;
}

// The longest period found: the fingerprints of this many generations back are kept.
constexpr int32_t kLongestPeriod = 65536;

// The table as it stands; all zero for an empty table.
BoardFingerprint FingerprintTable();

// Whether the table is exactly `older` moved by (dx, dy).
bool TableIsMoved(const std::vector<Cell>& older, int32_t dx, int32_t dy);

// The board `back` generations before the current one, into `cells` in any order. Asked only to
// confirm a candidate, at most once a generation, but every generation while a candidate cannot be
// confirmed: a board out of reach should cost nothing. A source may take several generations to
// rebuild a board far back (Later), so that no generation pays for all of it; it is then asked
// again each generation, `back` one more each time, for the same board.
enum class OlderBoard : uint8_t { Ready, Later, Unreachable };
using OlderBoardSource = OlderBoard (*)(int32_t back, std::vector<Cell>& cells);

// The search keeps one note per generation or edit, as a stack that mirrors the history's entries:
// each step or edit pushes one, each step back pops one. Memory stays fixed however long it runs.
// Drops every note and starts over from the table as it stands (the history forgotten).
void ForgetPeriods();
// After an edit (click, Clear, load, paste): the search starts over from the table as it stands.
void NotePeriodEdit();
// After a generation: the report the board now has. While a confirmed period holds nothing is
// computed; otherwise the table's fingerprint is noted and a candidate confirmed through `older`.
PeriodReport NotePeriodGeneration(OlderBoardSource older);
// After a step back: pops the newest note. `restored` is the report the board now shown had, kept
// by the caller with the history entry, as notes of long ago are no longer here.
void UndoPeriodNote(PeriodReport restored);
// The report of the board noted last.
PeriodReport CurrentPeriod();

// The caption's part: "still", "period 15", "period 4, moving (1, 1), c/4", "2c/5"; empty for none.
std::string PeriodText(PeriodReport report);
