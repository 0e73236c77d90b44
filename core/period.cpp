#include "period.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "cell_index.h"
#include "thousands.h"
#include "tile_bits.h"

namespace {

// A tile's live cells along each axis, as bits from its edge: columns (the rows' union), rows.
uint64_t LiveLines(const Tile& t, int axis)
{
    if (axis == 1) {
        return t.liveRows;
    }
    RowPair lines = {0, 0};
    for (int32_t r = 0; r < kTileHeight; r += 2) {
        RowPair two;
        std::memcpy(&two, &t.cur[r], sizeof two);
        lines |= two;
    }
    return lines[0] | lines[1];
}

// Cells spread over half the plane or more have no first cell in signed order: where they start
// is after the widest empty stretch between them, which a translation carries along. It is found
// without sorting, through the plane's 2^16 blocks of 2^16 along the axis (each tile lies in
// one): n <= kMaxCells cells leave a stretch over 400,000 wide, so the widest lies between used
// blocks, and one d blocks from used block to used block is (d - 1) * 2^16 to (d + 1) * 2^16
// wide. Only those within a block of the longest can be the widest; the tiles of their end
// blocks then give the cells' exact places. The blocks a spread board uses seldom change from one
// generation to the next, so the stretches found are kept with the blocks they were found in, and
// the one pass over the tiles reads those of their end blocks on the way: only when the blocks
// changed are the tiles gone through again. Stretches of equal width leave the start to the order
// of the blocks, so such a board may go unreported.
constexpr int32_t kBlockBits = 16;
constexpr int32_t kBlocks = 1 << kBlockBits;
struct Stretch {
    int32_t from;
    int32_t to;
};
struct AxisBlocks {
    uint64_t used[kBlocks / 64];
    uint64_t usedBefore[kBlocks / 64];  // those the stretches below were found in
    Stretch stretches[kMaxCells + 1];   // those that may be the widest
    int32_t stretchCount;
    int32_t longest;
    uint64_t watched[kBlocks / 64];     // the blocks at their ends
    uint32_t first[kBlocks];            // of the watched blocks: their first and last cell
    uint32_t last[kBlocks];
};
AxisBlocks axisBlocks[2];

// The watched blocks hold no cell yet.
void ResetWatched(AxisBlocks& a)
{
    for (int32_t k = 0; k < a.stretchCount; ++k) {
        for (const int32_t b : {a.stretches[k].from, a.stretches[k].to}) {
            a.first[b] = UINT32_MAX;
            a.last[b] = 0;
        }
    }
}

// The stretches from used block to used block that may be the widest: kept while the longest
// grows, the last one rounding the end of the plane. Then the blocks at their ends are watched.
// False when the blocks are those the stretches were found in, and nothing changed.
bool WatchStretchEnds(AxisBlocks& a)
{
    if (std::memcmp(a.used, a.usedBefore, sizeof a.used) == 0) {
        return false;
    }
    std::memcpy(a.usedBefore, a.used, sizeof a.used);
    a.stretchCount = 0;
    a.longest = 0;
    int32_t last = -1;
    int32_t first = -1;
    for (int32_t w = 0; w < kBlocks / 64; ++w) {
        for (uint64_t bits = a.used[w]; bits != 0; bits &= bits - 1) {
            const int32_t b = w * 64 + __builtin_ctzll(bits);
            if (last >= 0 && b - last + 1 >= a.longest) {
                a.longest = std::max(a.longest, b - last);
                a.stretches[a.stretchCount++] = {last, b};
            }
            first = first < 0 ? b : first;
            last = b;
        }
    }
    if (first - last + kBlocks + 1 >= a.longest) {
        a.longest = std::max(a.longest, first - last + kBlocks);
        a.stretches[a.stretchCount++] = {last, first};
    }
    std::memset(a.watched, 0, sizeof a.watched);
    for (int32_t k = 0; k < a.stretchCount; ++k) {
        for (const int32_t b : {a.stretches[k].from, a.stretches[k].to}) {
            a.watched[b / 64] |= uint64_t{1} << (b % 64);
        }
    }
    ResetWatched(a);
    return true;
}

// A live tile of watched block b starting at `start` along the axis: its cells' first and last
// there. Kept out of the pass over the tiles, which seldom comes here, so that the pass keeps its
// values in registers.
__attribute__((noinline)) void ReadWatched(AxisBlocks& a, const Tile& t, int axis, uint32_t b, uint32_t start)
{
    const uint64_t lines = LiveLines(t, axis);
    a.first[b] = std::min(a.first[b], start + static_cast<uint32_t>(__builtin_ctzll(lines)));
    a.last[b] = std::max(a.last[b], start + 63 - static_cast<uint32_t>(__builtin_clzll(lines)));
}

// The same for any live tile, if its block is watched.
inline void ReadIfWatched(AxisBlocks& a, const Tile& t, int axis, uint32_t start)
{
    const uint32_t b = start >> kBlockBits;
    if (((a.watched[b / 64] >> (b % 64)) & 1u) != 0) {
        ReadWatched(a, t, axis, b, start);
    }
}

// The first cell after the widest stretch, and `span`, from there round to the last cell.
uint32_t StartAfterWidestGap(const AxisBlocks& a, uint32_t& span)
{
    uint64_t widest = 0;
    uint32_t after = 0;
    for (int32_t k = 0; k < a.stretchCount; ++k) {
        const Stretch& st = a.stretches[k];
        const int32_t round = st.to > st.from ? 0 : 1;
        const uint64_t gap = a.first[st.to] + (uint64_t{1} << 32) * round - a.last[st.from];
        if (st.to - st.from + kBlocks * round + 1 >= a.longest && gap > widest) {
            widest = gap;
            after = a.first[st.to];
        }
    }
    span = static_cast<uint32_t>((uint64_t{1} << 32) - widest);
    return after;
}

// Where the cells start along each axis, and `span`, how far they reach from there: after the
// widest stretch, through one pass over the tiles that marks their blocks and reads those of the
// watched ones. A board within half the plane has its one stretch over half of it, which starts
// it at its first cell in signed order. Only when the blocks changed are the tiles gone through
// again, to read those of the blocks now watched.
Cell CornerOf(const CellStore& s, uint32_t span[2])
{
    AxisBlocks& ax = axisBlocks[0];
    AxisBlocks& ay = axisBlocks[1];
    for (AxisBlocks* a : {&ax, &ay}) {
        std::memset(a->used, 0, sizeof a->used);
        ResetWatched(*a);
    }
    for (int32_t i = 0; i < s.tileCount; ++i) {
        const Tile& t = s.tiles[s.tileList[i]];
        if (t.liveRows != 0) {
            const uint32_t x = t.column << 6;
            const uint32_t y = t.row << 4;
            const uint32_t bx = x >> kBlockBits;
            const uint32_t by = y >> kBlockBits;
            ax.used[bx / 64] |= uint64_t{1} << (bx % 64);
            ay.used[by / 64] |= uint64_t{1} << (by % 64);
            ReadIfWatched(ax, t, 0, x);
            ReadIfWatched(ay, t, 1, y);
        }
    }
    const bool reread[2] = {WatchStretchEnds(ax), WatchStretchEnds(ay)};
    if (reread[0] || reread[1]) {
        for (int32_t i = 0; i < s.tileCount; ++i) {
            const Tile& t = s.tiles[s.tileList[i]];
            if (t.liveRows != 0) {
                if (reread[0]) {
                    ReadIfWatched(ax, t, 0, t.column << 6);
                }
                if (reread[1]) {
                    ReadIfWatched(ay, t, 1, t.row << 4);
                }
            }
        }
    }
    const uint32_t x = StartAfterWidestGap(ax, span[0]);
    const uint32_t y = StartAfterWidestGap(ay, span[1]);
    return {static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

// A word is 64 cells of a row from column x on at row y, x and y taken from the corner, with its
// place as x << 32 | y. The board is the set of its nonzero words with their places, so a sum of
// keyed mixes over them is its fingerprint. One 128-bit product of the keyed word and place mixes
// every bit of both; its halves, folded two ways, make the two lanes. A plain sum of products
// would not do: it sees only sums over the cells of their coordinates' bits and pairs of bits,
// which cells at x = 0, 3, 5, 6 of a row share with cells at 1, 2, 4, 7.
constexpr uint64_t kWordKey = 0x9e3779b97f4a7c15ull;
constexpr uint64_t kPlaceKey = 0xd1b54a32d192ed03ull;

// The product of a word and place already keyed, and its folds into the lanes.
void AddKeyed(BoardFingerprint& f, uint64_t a, uint64_t b)
{
#ifdef __SIZEOF_INT128__
    __extension__ typedef unsigned __int128 Wide;
    const Wide p = static_cast<Wide>(a) * b;
    const uint64_t low = static_cast<uint64_t>(p);
    const uint64_t high = static_cast<uint64_t>(p >> 64);
#else
    // 32-bit targets: the same product from four halves.
    const uint64_t ll = (a & 0xffffffffu) * (b & 0xffffffffu);
    const uint64_t lh = (a & 0xffffffffu) * (b >> 32);
    const uint64_t hl = (a >> 32) * (b & 0xffffffffu);
    const uint64_t mid = (ll >> 32) + (lh & 0xffffffffu) + (hl & 0xffffffffu);
    const uint64_t low = (mid << 32) | (ll & 0xffffffffu);
    const uint64_t high = (a >> 32) * (b >> 32) + (lh >> 32) + (hl >> 32) + (mid >> 32);
#endif
    f.lane[0] += low ^ high;
    f.lane[1] += low ^ ((high << 29) | (high >> 35));
}

// A word at its place.
void AddWord(BoardFingerprint& f, uint64_t place, uint64_t word)
{
    AddKeyed(f, word ^ kWordKey, place ^ kPlaceKey);
}

// A dense board by its tiles' rows, re-cut into words that start at the corner's column, so a
// board and its translate give the same words at the same places. A word takes a tile's columns
// from the corner's offset s on and its east neighbour's below s; the tile's own columns below s
// are read here only when the west neighbour has no live cell (it would have read them otherwise).
void AddTileWords(BoardFingerprint& f, const CellStore& store)
{
    const Tile* tiles = store.tiles;
    const uint32_t s = static_cast<uint32_t>(f.corner.x) & 63;
    for (int32_t i = 0; i < store.tileCount; ++i) {
        const Tile& t = tiles[store.tileList[i]];
        if (t.liveRows == 0) {
            continue;
        }
        const Tile& east = tiles[t.link[kEast]];
        const uint32_t x = (t.column << 6) + s - static_cast<uint32_t>(f.corner.x);
        const uint32_t y = (t.row << 4) - static_cast<uint32_t>(f.corner.y);
        for (uint32_t rows = t.liveRows | (s != 0 ? east.liveRows : 0); rows != 0; rows &= rows - 1) {
            const int32_t r = LowestBit(rows);
            const uint64_t word = s == 0 ? t.cur[r] : (t.cur[r] >> s) | (east.cur[r] << (64 - s));
            if (word != 0) {
                AddWord(f, (uint64_t{x} << 32) | (y + r), word);
            }
        }
        if (s != 0 && tiles[t.link[kWest]].liveRows == 0) {
            for (uint32_t rows = t.liveRows; rows != 0; rows &= rows - 1) {
                const int32_t r = LowestBit(rows);
                if (const uint64_t word = t.cur[r] << (64 - s)) {
                    AddWord(f, (uint64_t{x - 64} << 32) | (y + r), word);
                }
            }
        }
    }
}

}  // namespace

// Two ways to the same kind of sum, chosen by what a translation keeps (the cells' count and
// spans), so that a board and its translates always take the same one. A board dense in its box
// is read by its tiles' rows, 64 cells at a time; a sparse one (gliders flying apart, cells far
// from one another) would make that a random walk through memory, and is read cell by cell from
// the table instead, each cell as a word of its own: its place turned about, so that both factors
// of the mix vary.
BoardFingerprint FingerprintTable()
{
    BoardFingerprint f = {{0, 0}, {0, 0}, 0};
    const CellStore* store = GetCellStore();
    if (!store || count == 0) {
        return f;
    }
    const Cell* cells = TableEntries();
    uint32_t span[2];
    f.corner = CornerOf(*store, span);
    f.cells = count;
    // At most this many tiles hold the box's cells; a sixteenth of the cells is about where
    // reading them one by one costs as much as the random walk.
    const uint64_t tileBound = (uint64_t{span[0] / 64} + 2) * (uint64_t{span[1] / 16} + 2);
    if (tileBound * 16 <= static_cast<uint64_t>(count)) {
        AddTileWords(f, *store);
        return f;
    }
    // Two cells at a time taken from the corner in one vector, where each is y << 32 | x; an odd
    // last cell then alone.
    typedef uint32_t Quad __attribute__((vector_size(16)));
    typedef uint64_t Two __attribute__((vector_size(16)));
    const uint32_t x = static_cast<uint32_t>(f.corner.x);
    const uint32_t y = static_cast<uint32_t>(f.corner.y);
    const Quad corner = {x, y, x, y};
    // The keys go in by vector too, and the place is the cell with its halves swapped.
    const Two wordKey = {kWordKey, kWordKey};
    const Two placeKey = {kPlaceKey, kPlaceKey};
    int32_t i = 0;
    for (; i + 1 < count; i += 2) {
        Quad two;
        std::memcpy(&two, cells + i, sizeof two);
        const Quad cell = two - corner;
        const Two word = reinterpret_cast<Two>(cell) ^ wordKey;
        const Two place = reinterpret_cast<Two>(__builtin_shuffle(cell, Quad{1, 0, 3, 2})) ^ placeKey;
        AddKeyed(f, word[0], place[0]);
        AddKeyed(f, word[1], place[1]);
    }
    if (i < count) {
        Quad two = corner;
        std::memcpy(&two, cells + i, sizeof(Cell));
        const uint64_t cell = reinterpret_cast<Two>(two - corner)[0];
        AddWord(f, (cell << 32) | (cell >> 32), cell);
    }
    return f;
}

bool TableIsMoved(const std::vector<Cell>& older, int32_t dx, int32_t dy)
{
    // The cells of a board are distinct, so as many of them all alive are the table.
    if (older.size() != static_cast<size_t>(count)) {
        return false;
    }
    for (Cell c : older) {
        if (!IsAlive(WrapAdd(c.x, dx), WrapAdd(c.y, dy))) {
            return false;
        }
    }
    return true;
}

std::string PeriodText(PeriodReport report)
{
    if (report.period <= 0) {
        return "";
    }
    const std::string period = "period " + WithThousands(static_cast<uint64_t>(report.period));
    if (report.dx == 0 && report.dy == 0) {
        return report.period == 1 ? "still" : period;
    }
    const auto text = [](int64_t v) { return (v < 0 ? "-" : "") + WithThousands(static_cast<uint64_t>(std::abs(v))); };
    const int64_t dx = report.dx;
    const int64_t dy = report.dy;
    const int64_t most = std::max(std::abs(dx), std::abs(dy));
    const int64_t k = most / std::gcd(most, int64_t{report.period});
    const int64_t n = report.period / std::gcd(most, int64_t{report.period});
    return period + ", moving (" + text(dx) + ", " + text(dy) + "), " + (k == 1 ? "" : text(k)) + "c" +
           (n == 1 ? "" : "/" + text(n));
}

namespace {

// One note per generation or edit, newest last, in a ring of the last kLongestPeriod + 1: enough
// to reach a board that many generations back. Notes are numbered on from the first; a step back
// takes the newest away again, so the ring works as the history's stack with its bottom cut off.
constexpr int64_t kNoteRing = kLongestPeriod + 1;
struct Note {
    BoardFingerprint print;  // cells 0: not in the index (an empty board, or noted while a period held)
    uint32_t sameBack;       // how many notes back the newest note with the same print lies; 0 if none
    uint32_t startBack;      // how many notes back the search started (an edit), at most kNoteRing
};
Note notes[kNoteRing];
int64_t oldestNote = 0;
int64_t newestNote = -1;  // below oldestNote: none
PeriodReport held = {0, 0, 0};
// A candidate whose older board the source is still rebuilding: the board it was named at, and the
// note that named it.
struct Pending {
    PeriodReport candidate;
    int64_t note;
    std::vector<Cell> board;
};
Pending pending = {};

// Whether `board` is `older` moved by (dx, dy), as sets.
bool IsMoved(const std::vector<Cell>& board, const std::vector<Cell>& older, int32_t dx, int32_t dy)
{
    if (board.size() != older.size()) {
        return false;
    }
    auto key = [](Cell c) { return uint64_t{static_cast<uint32_t>(c.x)} << 32 | static_cast<uint32_t>(c.y); };
    std::vector<uint64_t> a(board.size());
    std::vector<uint64_t> b(older.size());
    std::transform(board.begin(), board.end(), a.begin(), key);
    std::transform(older.begin(), older.end(), b.begin(),
                   [&](Cell c) { return key({WrapAdd(c.x, dx), WrapAdd(c.y, dy)}); });
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

// The newest note of each print, by open addressing: ring slot + 1, 0 for an empty slot. Twice
// the ring, so that a probe run stays short.
constexpr int32_t kIndexBits = 17;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
uint32_t printIndex[1u << kIndexBits];

Note& NoteAt(int64_t n)
{
    return notes[n % kNoteRing];
}

bool SamePrint(const BoardFingerprint& a, const BoardFingerprint& b)
{
    return a.lane[0] == b.lane[0] && a.lane[1] == b.lane[1] && a.cells == b.cells;
}

// The lanes are mixed already: their top bits serve as the home slot.
uint32_t HomeSlot(const BoardFingerprint& f)
{
    return static_cast<uint32_t>(f.lane[0] >> (64 - kIndexBits));
}

// The slot holding the print, or the empty slot where it would go.
uint32_t FindPrint(const BoardFingerprint& f)
{
    uint32_t i = HomeSlot(f);
    while (printIndex[i] != 0 && !SamePrint(notes[printIndex[i] - 1].print, f)) {
        i = (i + 1) & kIndexMask;
    }
    return i;
}

// Backward-shift deletion: later members of the probe run move up so that no lookup stops early
// at the hole.
void ErasePrint(uint32_t hole)
{
    for (uint32_t next = (hole + 1) & kIndexMask; printIndex[next] != 0; next = (next + 1) & kIndexMask) {
        const uint32_t home = HomeSlot(notes[printIndex[next] - 1].print);
        const bool homeBetween = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (!homeBetween) {
            printIndex[hole] = printIndex[next];
            hole = next;
        }
    }
    printIndex[hole] = 0;
}

// Takes note n (the oldest or the newest) out of the index, handing its print to the note with it
// before n if that one is still kept.
void Unindex(int64_t n)
{
    const Note& note = NoteAt(n);
    if (note.print.cells == 0) {
        return;
    }
    const uint32_t i = FindPrint(note.print);
    if (printIndex[i] - 1 != static_cast<uint32_t>(n % kNoteRing)) {
        return;  // a newer note has this print
    }
    if (note.sameBack != 0 && n - note.sameBack >= oldestNote) {
        printIndex[i] = static_cast<uint32_t>((n - note.sameBack) % kNoteRing) + 1;
    } else {
        ErasePrint(i);
    }
}

void PushNote(const BoardFingerprint& print, bool start)
{
    const int64_t n = newestNote + 1;
    if (newestNote < oldestNote) {
        oldestNote = n;  // every note was taken back: the search starts here
        start = true;
    } else if (n - oldestNote == kNoteRing) {
        Unindex(oldestNote++);
    }
    const uint32_t startBack = start ? 0 : std::min<uint32_t>(NoteAt(newestNote).startBack + 1, kNoteRing);
    Note& note = NoteAt(n);
    note = {print, 0, startBack};
    newestNote = n;
    if (print.cells != 0) {
        const uint32_t i = FindPrint(print);
        if (printIndex[i] != 0) {
            const int64_t slotBack = (n - printIndex[i] + 1) % kNoteRing;
            note.sameBack = static_cast<uint32_t>(slotBack);
        }
        printIndex[i] = static_cast<uint32_t>(n % kNoteRing) + 1;
    }
}

}  // namespace

void ForgetPeriods()
{
    std::memset(printIndex, 0, sizeof printIndex);
    oldestNote = 0;
    newestNote = -1;
    NotePeriodEdit();
}

void NotePeriodEdit()
{
    held = {0, 0, 0};
    pending = {};
    PushNote(FingerprintTable(), true);
}

PeriodReport NotePeriodGeneration(OlderBoardSource older)
{
    if (held.period != 0) {
        PushNote({{0, 0}, {0, 0}, 0}, false);
        return held;
    }
    const BoardFingerprint print = FingerprintTable();
    PushNote(print, false);
    const Note& note = NoteAt(newestNote);
    // Within the search, the notes are the generations one by one.
    if (pending.candidate.period == 0 && note.sameBack != 0 && note.sameBack <= note.startBack) {
        const Cell then = NoteAt(newestNote - note.sameBack).print.corner;
        pending.candidate = {static_cast<int32_t>(note.sameBack), WrapSub(print.corner.x, then.x),
                             WrapSub(print.corner.y, then.y)};
        pending.note = newestNote;
        pending.board.clear();
    }
    if (pending.candidate.period == 0) {
        return held;
    }
    // A board far back may take the source several generations; the one this candidate names stays
    // the same, one generation further back each time, and is compared with the board it was named at.
    const int32_t back = pending.candidate.period + static_cast<int32_t>(newestNote - pending.note);
    std::vector<Cell> cells;
    const OlderBoard found = older ? older(back, cells) : OlderBoard::Unreachable;
    if (found == OlderBoard::Later) {
        if (back == pending.candidate.period) {
            pending.board = TableCells();
        }
        return held;
    }
    const bool same = found == OlderBoard::Ready &&
                      (back == pending.candidate.period ? TableIsMoved(cells, pending.candidate.dx, pending.candidate.dy)
                                                        : IsMoved(pending.board, cells, pending.candidate.dx,
                                                                  pending.candidate.dy));
    if (same) {
        held = pending.candidate;
    }
    pending = {};
    return held;
}

void UndoPeriodNote(PeriodReport restored)
{
    pending = {};
    if (newestNote >= oldestNote) {
        Unindex(newestNote--);
    }
    held = restored;
}

PeriodReport CurrentPeriod()
{
    return held;
}
