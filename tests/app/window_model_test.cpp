// Random clicks, strokes, selections, pastes, keys, commands, scrolls, wheel notches, ticks, full speed's batches and
// repaints on the real dialog and on a model (the literal step, stacks of boards back and forth, the view, the run,
// the pointer), compared after each; then the close. Odd seeds work across the plane's ends. The selection's edits
// are the core's own, tested there against their model. QUILLANE_SEED=n runs one seed; a failure prints the seed and
// the actions up to it.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <regex>
#include <sstream>

#include "graph_pixels.h"
#include "living_cells_window.h"
#include "pointer.h"
#include "population_window.h"
#include "reference_life.h"
#include "thousands.h"
#include "window_harness.h"

namespace {

// A message as the window gets it; a key's modifiers in `held` (1 Ctrl, 2 Shift); 0: a repaint. A click at x on the
// population graph, a key pressed there, when it is open, and a key pressed in the living cells' list come as these.
struct Action { UINT message; WPARAM wParam; int32_t x, y, held; };
constexpr UINT kGraphClick = WM_APP + 100, kGraphKey = WM_APP + 101, kListKey = WM_APP + 102;

enum Mode { kIdle, kDrawing, kSelecting, kPanning };

struct Model {
    ReferenceBoard board;
    int64_t generation = 0;
    struct Entry { ReferenceBoard board; int64_t generation; bool turn; CellRect before, after; };  // a turn's selection
    std::vector<Entry> past, future;
    Viewport view = {kInitialCellSize, 0, 0};
    int32_t wheel = 0, speed = 50;
    UINT timer = 0;
    bool fastest = false, fastestChosen = false;  // full speed runs; Play runs at full speed
    size_t shown = 0;  // the boxes and the rules page
    Mode mode = kIdle;
    Cell last = {0, 0};  // drawing: the stroke's last cell; selecting: the cell pressed; panning: the cell held
    bool drawAlive = false, strokeOpen = false;
    std::vector<Cell> touched;
    bool selected = false, placing = false;
    CellRect selection = {0, 0, 0, 0};
    Stamp stamp;
    Cell at = {0, 0};
    std::vector<Cell> clipboard;  // in reading order; empty until something is copied
    bool graphOpen = false, listOpen = false;
    int64_t hovered = -1;  // the graph's board under the pointer since the last click there
};

// Pixels left of or above the client area (a click's 16-bit coordinates are signed) round down.
int32_t Floor(int32_t p, int32_t size) { return (p - (p < 0 ? size - 1 : 0)) / size; }
Cell Under(const Viewport& v, int32_t px, int32_t py)
{
    return {WrapSub(Floor(px, v.cellSize), v.offsetX), WrapSub(Floor(py, v.cellSize), v.offsetY)};
}
void Zoom(Model& m, int32_t by) { m.view.cellSize = std::clamp(m.view.cellSize + by, kMinCellSize, kMaxCellSize); }
// A new entry; a stroke going on makes its own after it.
void Record(Model& m)
{
    m.past.push_back({m.board, m.generation, false, {}, {}});
    m.future.clear();
    m.strokeOpen = false;
}

// An edit's result, one entry when it changes anything.
void Edit(Model& m, const std::vector<Cell>& cells)
{
    if (cells != m.board.cells) {
        Record(m);
        m.board.cells = cells;
    }
}

// Whether the window shows the cell whole.
bool InView(Cell c)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    const PixelPoint at = CellToScreen(c.x, c.y);
    return at.x >= 0 && at.y >= 0 && at.x + viewport.cellSize <= client.right && at.y + viewport.cellSize <= client.bottom;
}

// The most cells any window-sized part of the board holds, by brute force: a best part can always be moved
// until a cell lies on its left and one on its top edge.
size_t Fullest(const std::vector<Cell>& cells, uint32_t columns, uint32_t rows)
{
    size_t most = 0;
    for (Cell a : cells) {
        for (Cell b : cells) {
            most = std::max(most, static_cast<size_t>(std::count_if(cells.begin(), cells.end(), [&](Cell c) {
                return uint32_t(c.x) - uint32_t(a.x) < columns && uint32_t(c.y) - uint32_t(b.y) < rows;
            })));
        }
    }
    return most;
}

// The fit is the view's own test: here the live cells all come into view, or, at the smallest size, as
// many as any window-sized part of the board holds.
void Home(Model& m)
{
    const auto& cells = m.board.cells;
    RECT client;
    GetClientRect(mainWindow, &client);
    const size_t shown = static_cast<size_t>(std::count_if(cells.begin(), cells.end(), InView));
    const uint32_t columns = static_cast<uint32_t>(client.right - 1) / kMinCellSize;
    const uint32_t rows = static_cast<uint32_t>(client.bottom - 1) / kMinCellSize;
    const bool fits = shown == cells.size() && viewport.cellSize <= kLargestFitSize;
    m.view = cells.empty() ? Viewport{kInitialCellSize, 0, 0}
             : fits || (viewport.cellSize == kMinCellSize && shown == Fullest(cells, columns, rows)) ? viewport : m.view;
}

// A box or a dialog takes the mouse back from a stroke or a drag, which then ends; the run pauses behind it.
void Dialog(Model& m) { m.mode = kIdle; }
void Box(Model& m) { ++m.shown, Dialog(m); }

// Esc, and the menu's "Remove selection": a waiting paste goes first, then the selection.
void Escape(Model& m) { (m.placing ? m.placing : m.selected) = false; }

void Step(Model& m) { m.board.cells.empty() ? void() : (Record(m), ReferenceStep(m.board, nullptr), void(++m.generation)); }
void Run(Model& m, UINT timer, bool fastest) { m.timer = timer, m.fastest = fastest; }

// What the window copies and pastes, in the order it reads back: row by row from the box's corner.
void Copy(Model& m)
{
    CellRect box = m.selection;
    std::vector<Cell> cells = m.selected ? CellsInside(m.board.cells, box) : m.board.cells;
    if (cells.empty() || (!m.selected && !RectAround(cells, box))) {
        return;
    }
    std::sort(cells.begin(), cells.end(), [&box](Cell a, Cell b) {
        return std::make_pair(StepsFrom(box.top, a.y), StepsFrom(box.left, a.x)) <
               std::make_pair(StepsFrom(box.top, b.y), StepsFrom(box.left, b.x));
    });
    m.clipboard = cells;
}

void EditCommand(Model& m, WPARAM id)
{
    const std::vector<Cell>& cells = m.board.cells;
    const CellRect r = m.selection;
    if (id == IDM_SELECT_ALL) {
        m.selected = RectAround(cells, m.selection) || m.selected;
    } else if (id == IDM_COPY || (id == IDM_CUT && m.selected)) {
        Copy(m);
    } else if (id == IDM_PASTE) {
        // Pasted onto live cells (the only pastes the actions make), the pattern waits under the pointer.
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(mainWindow, &cursor);
        m.clipboard.empty() ? Box(m) : void();  // the clipboard holds no text
        m.placing = !m.clipboard.empty();
        m.stamp = MakeStamp(m.clipboard);
        m.at = Under(m.view, cursor.x, cursor.y);
    } else if (id == IDM_REMOVE_SELECTION) {
        Escape(m);
    }
    if (!m.selected) {
        return;
    }
    switch (id) {
    case IDM_CUT:
    case IDM_DELETE: Edit(m, CellsOutside(cells, r)); break;
    case IDM_CLEAR_OUTSIDE: Edit(m, CellsInside(cells, r)); break;
    case IDM_FLIP_LEFT_RIGHT: Edit(m, FlipLeftRight(cells, r)); break;
    case IDM_FLIP_UP_DOWN: Edit(m, FlipUpDown(cells, r)); break;
    case IDM_ROTATE_CLOCKWISE:
    case IDM_ROTATE_ANTICLOCKWISE: {
        // One entry with the selection when the cells or the selection move, else nothing.
        const std::vector<Cell> turned = id == IDM_ROTATE_CLOCKWISE ? RotateClockwise(cells, r) : RotateAnticlockwise(cells, r);
        if (turned != cells || !(TurnedRect(r) == r)) {
            Record(m);
            m.past.back() = {m.past.back().board, m.generation, true, r, TurnedRect(r)};
            m.board.cells = turned;
        }
        m.selection = TurnedRect(r);
        break;
    }
    case IDM_RANDOM_FILL: {
        // Random, so the window's own draw, which must keep the outside in order and add only cells inside. A box
        // refuses more than 20,000 cells, or a draw over 10,000 live ones.
        const std::vector<Cell> outside = CellsOutside(cells, r), drawn = TableCells();
        const bool kept = drawn.size() >= outside.size() && std::equal(outside.begin(), outside.end(), drawn.begin()) &&
                          std::all_of(drawn.begin() + outside.size(), drawn.end(),
                                      [r](Cell c) { return RectContains(r, c); });
        if (RectCellCount(r) > kMaxFillCells || (drawn == cells && platform.shown.size() > m.shown)) {
            Box(m);
        } else if (kept) {
            Edit(m, drawn);
        }
        break;
    }
    }
}

void Command(Model& m, WPARAM id)
{
    m.placing = m.placing && id == IDM_REMOVE_SELECTION;  // any other command drops a waiting paste
    const int32_t zooms[] = {1, 3, 0, -1, -3}, speeds[] = {10, 50, 100, 200};
    if (id >= IDM_ZOOM_IN_1 && id <= IDM_ZOOM_OUT_3) {
        Zoom(m, zooms[id - IDM_ZOOM_IN_1]);
    } else if (id >= IDM_SPEED_10 && id <= IDM_SPEED_200) {
        Run(m, static_cast<UINT>(m.speed = speeds[id - IDM_SPEED_10]), m.fastestChosen = false);
    } else if (id == IDM_SPEED_FASTEST || (id == IDM_PLAY && m.fastestChosen)) {
        Run(m, 0, m.fastestChosen = true);
    } else if (id == IDM_PLAY || id == IDM_STOP) {
        Run(m, id == IDM_PLAY ? static_cast<UINT>(m.speed) : 0, false);
    } else if (id == IDM_STEP_FORWARD) {
        Step(m);
    } else if ((id == IDM_STEP_BACKWARD && !m.past.empty()) || (id == IDM_REDO && !m.future.empty())) {
        auto& from = id == IDM_REDO ? m.future : m.past;
        const Model::Entry e = from.back();
        from.pop_back();
        (id == IDM_REDO ? m.past : m.future).push_back({m.board, m.generation, e.turn, e.before, e.after});
        id == IDM_REDO ? void() : Run(m, 0, false);
        std::tie(m.board, m.generation) = std::tie(e.board, e.generation);
        if (e.turn) {
            m.selected = true, m.selection = id == IDM_REDO ? e.after : e.before;
        }
        m.strokeOpen = false;
    } else if (id == IDM_VIEW_LIVING_CELLS) {
        m.listOpen = !m.listOpen;
    } else if (id == IDM_VIEW_POPULATION) {
        m.graphOpen = !m.graphOpen;
        m.hovered = -1;
    } else if (id == IDM_ABOUT_RULES) {
        ++m.shown;  // the page, in the browser
    } else if (id == IDM_ABOUT_PROGRAM || (id == IDM_FILE_SAVE_PATTERN && m.board.cells.empty())) {
        Box(m);
    } else if (id == IDM_PATTERN_LOAD || id == IDM_FILE_SAVE_PATTERN) {
        Dialog(m);  // cancelled
    } else if (id == IDM_CLEAR && (!m.board.cells.empty() || m.generation != 0)) {
        Record(m);
        m.board.cells.clear();
        m.generation = 0;
    } else {
        EditCommand(m, id);
    }
}

// Each key as the command it stands for alone, with Ctrl (asked first) and with Shift. The file dialogs are
// cancelled; an empty board's save is a box.
const struct { WPARAM key, alone, ctrl, shift; } kKeys[] = {
    {'1', IDM_SPEED_10, IDM_ZOOM_IN_1, IDM_ZOOM_OUT_1}, {'2', IDM_SPEED_50, IDM_SPEED_50, IDM_SPEED_50},
    {'3', IDM_SPEED_100, IDM_ZOOM_IN_3, IDM_ZOOM_OUT_3}, {'4', IDM_SPEED_200, IDM_SPEED_200, IDM_SPEED_200},
    {'5', IDM_SPEED_FASTEST, IDM_SPEED_FASTEST, IDM_SPEED_FASTEST},
    {'P', IDM_PLAY, IDM_PLAY, IDM_PLAY}, {'S', IDM_STOP, IDM_FILE_SAVE_PATTERN, IDM_STOP},
    {'O', 0, IDM_PATTERN_LOAD, 0}, {'C', IDM_CLEAR, IDM_COPY, IDM_CLEAR}, {'Z', 0, IDM_STEP_BACKWARD, 0},
    {VK_LEFT, IDM_STEP_BACKWARD, IDM_STEP_BACKWARD, IDM_STEP_BACKWARD}, {'Y', 0, IDM_REDO, 0}, {'X', 0, IDM_CUT, 0},
    {VK_RIGHT, IDM_STEP_FORWARD, IDM_STEP_FORWARD, IDM_STEP_FORWARD}, {VK_HOME, 0, 0, 0}, {'A', 0, IDM_SELECT_ALL, 0},
    {'V', 0, IDM_PASTE, 0}, {VK_DELETE, IDM_DELETE, IDM_DELETE, IDM_DELETE}, {VK_ESCAPE, 0, 0, 0},
    {'G', IDM_VIEW_POPULATION, IDM_VIEW_POPULATION, IDM_VIEW_POPULATION},
    {'L', IDM_VIEW_LIVING_CELLS, IDM_VIEW_LIVING_CELLS, IDM_VIEW_LIVING_CELLS}};

WPARAM KeyCommand(WPARAM key, int32_t held)
{
    const auto& k = *std::find_if(std::begin(kKeys), std::end(kKeys), [key](const auto& e) { return e.key == key; });
    return held & 1 ? k.ctrl : held & 2 ? k.shift : k.alone;
}

// One cell of a stroke, as the pointer passes over it.
void StrokeCell(Model& m, Cell c)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    // A cell passed over has had its turn, even when it already had the stroke's state.
    if (IsEmptyRect(CellInterior(c.x, c.y, client.right, client.bottom)) ||
        std::count(m.touched.begin(), m.touched.end(), c)) {
        return;
    }
    m.touched.push_back(c);
    if (ReferenceIsAlive(m.board, c.x, c.y) == m.drawAlive) {
        return;
    }
    if (!m.strokeOpen) {
        Record(m);
        m.strokeOpen = true;
    }
    m.drawAlive ? void(ReferenceAdd(m.board, c.x, c.y)) : ReferenceRemove(m.board, c.x, c.y);
}

void Press(Model& m, Cell c, bool shift)
{
    if (m.placing) {
        Edit(m, PlaceStamp(m.board.cells, m.stamp, c));
        m.placing = false;
    } else if (shift) {
        m.mode = kSelecting;
        m.selected = true;
        m.selection = {c.x, c.y, c.x, c.y};
        m.last = c;
    } else {
        m.mode = kDrawing;
        m.drawAlive = !ReferenceIsAlive(m.board, c.x, c.y);
        m.strokeOpen = false;
        m.touched.clear();
        m.last = c;
        StrokeCell(m, c);
    }
}

// Every cell nearest the straight line between the two, so that a fast move leaves no gap.
void Move(Model& m, Cell c, int32_t px, int32_t py, WPARAM buttons)
{
    if (m.mode == kDrawing && (buttons & MK_LBUTTON)) {
        const int64_t dx = WrapSub(c.x, m.last.x), dy = WrapSub(c.y, m.last.y);
        const int64_t steps = std::max(std::abs(dx), std::abs(dy));
        for (int64_t i = 1; i <= steps; ++i) {
            StrokeCell(m, {WrapAdd(m.last.x, int32_t(std::lround(double(dx) * i / steps))),
                           WrapAdd(m.last.y, int32_t(std::lround(double(dy) * i / steps)))});
        }
        m.last = c;
    } else if (m.mode == kSelecting && (buttons & MK_LBUTTON)) {
        m.selected = true;  // even after an Esc while the button stays down
        m.selection = RectBetween(m.last, c);
    } else if (m.mode == kPanning && (buttons & MK_MBUTTON)) {
        m.view.offsetX = WrapSub(Floor(px, m.view.cellSize), m.last.x);
        m.view.offsetY = WrapSub(Floor(py, m.view.cellSize), m.last.y);
    } else if (m.placing) {
        m.at = c;
    }
}

// As many generations as the batch's time held by the program's clock, at least one, each an entry; an empty board
// stops the run.
void Batch(Model& m)
{
    const int64_t ran = std::clamp<int64_t>(generation - m.generation, 1, 1000);
    for (int64_t i = 0; m.fastest && i < ran; ++i) {
        Step(m);
    }
    m.fastest = m.fastest && !m.board.cells.empty();
}

GraphLayout GraphLayoutNow()
{
    RECT client;
    GetClientRect(PopulationWindow(), &client);
    HDC dc = GetDC(PopulationWindow());
    const GraphLayout layout = LayOutGraph(client.right, client.bottom, GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(PopulationWindow(), dc);
    return layout;
}

// A scrub: Backward's and Redo's moves to the board, after a stop and with any waiting paste dropped.
void Scrub(Model& m, int64_t board)
{
    const int64_t boards = int64_t(m.past.size() + m.future.size() + 1);
    board = std::clamp<int64_t>(board, 0, boards - 1);
    while (int64_t(m.past.size()) > board) {
        Command(m, IDM_STEP_BACKWARD);
    }
    while (int64_t(m.past.size()) < board) {
        Command(m, IDM_REDO);
    }
    Run(m, 0, false);
    m.placing = false;
}

void Apply(Model& m, const Action& a)
{
    const int32_t by[] = {1, -1, 3, -3, 0, 0, 1, -1};  // SB_LINEUP to SB_BOTTOM; thumbs pan nothing
    const int32_t pan = a.wParam <= SB_BOTTOM ? by[a.wParam] : 0;
    const int32_t px = static_cast<int16_t>(a.x), py = static_cast<int16_t>(a.y);
    const Cell under = Under(m.view, px, py);
    // While one button's drag goes on, the others' presses and releases change nothing.
    const bool idle = m.mode == kIdle;
    switch (a.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: m.mode != kPanning ? Press(m, under, a.wParam & MK_SHIFT) : void(); break;
    case WM_MOUSEMOVE: Move(m, under, px, py, a.wParam); break;
    case WM_LBUTTONUP: m.mode = m.mode == kPanning ? kPanning : kIdle; break;
    case WM_MBUTTONUP: m.mode = m.mode == kPanning ? kIdle : m.mode; break;
    case WM_MBUTTONDOWN:
        m.last = idle ? under : m.last;
        m.mode = idle ? kPanning : m.mode;
        break;
    case WM_RBUTTONDOWN: m.placing = m.placing && !idle; break;
    case WM_KEYDOWN:
        if (a.wParam == VK_ESCAPE) {
            Escape(m);
        } else {
            a.wParam == VK_HOME ? (m.placing = false, Home(m)) : Command(m, KeyCommand(a.wParam, a.held));
        }
        break;
    case WM_COMMAND: Command(m, LOWORD(a.wParam)); break;
    case kGraphClick:
    {
        const GraphLayout layout = GraphLayoutNow();
        const int64_t board = GraphBoardAt(layout, a.x, int64_t(m.past.size() + m.future.size() + 1));
        m.hovered = a.x >= layout.plot.left && a.x < layout.plot.right ? board : -1;
        m.mode = kIdle;  // the graph takes the mouse
        Scrub(m, board);
    }
        break;
    case kGraphKey:
        a.wParam == 'G' ? Command(m, IDM_VIEW_POPULATION)
        : Scrub(m, a.wParam == VK_HOME ? 0 : a.wParam == VK_END ? INT64_MAX
                 : int64_t(m.past.size()) + (a.wParam == VK_LEFT ? -1 : 1));
        break;
    case kListKey: Command(m, KeyCommand(a.wParam, 0)); break;
    case WM_HSCROLL: m.view.offsetX = WrapAdd(m.view.offsetX, pan); break;
    case WM_VSCROLL: m.view.offsetY = WrapAdd(m.view.offsetY, pan); break;
    case WM_MOUSEWHEEL: {
        m.wheel += GET_WHEEL_DELTA_WPARAM(a.wParam);
        const Cell held = Under(m.view, a.x, a.y);
        Zoom(m, m.wheel / WHEEL_DELTA);
        m.wheel %= WHEEL_DELTA;
        m.view.offsetX = WrapSub(a.x / m.view.cellSize, held.x);
        m.view.offsetY = WrapSub(a.y / m.view.cellSize, held.y);
        break;
    }
    case WM_TIMER:
        if (a.wParam == kStepTimerId) {
            Step(m);
            m.board.cells.empty() ? Run(m, 0, false) : void();  // an empty board stops the run
        } else if (a.wParam == kBatchTimerId) {
            Batch(m);
        }
        break;
    case kRunBatchMessage: Batch(m); break;
    }
}

INT_PTR Apply(const Action& a)
{
    POINT at = {a.x, a.y};
    ClientToScreen(mainWindow, &at);
    const WORD ctrl = VK_CONTROL, shift = VK_SHIFT, key = static_cast<WORD>(a.wParam);
    switch (a.message) {
    case WM_KEYDOWN:
        return a.held == 3 ? PressKey(key, {ctrl, shift}) : a.held ? PressKey(key, {a.held == 1 ? ctrl : shift}) : PressKey(key);
    case WM_MOUSEWHEEL: return Deliver(a.message, a.wParam, MAKELPARAM(at.x, at.y));
    case 0: return RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    case kGraphClick: {
        const int32_t y = (GraphLayoutNow().plot.top + GraphLayoutNow().plot.bottom) / 2;
        SendMessageA(PopulationWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, y));
        return SendMessageA(PopulationWindow(), WM_LBUTTONUP, 0, MAKELPARAM(a.x, y)) == 0;
    }
    case kGraphKey: return SendMessageA(PopulationWindow(), WM_KEYDOWN, a.wParam, 0) == 0;
    case kListKey: {
        // As the message loop meets a key pressed in the list.
        MSG key = {GetDlgItem(LivingCellsWindow(), IDC_CELL_LIST), WM_KEYDOWN, a.wParam, 1, 0, {}};
        return IsLivingCellsMessage(&key);
    }
    default: return Deliver(a.message, a.wParam, MAKELPARAM(a.x, a.y));
    }
}

std::vector<Action> Generate(uint32_t seed, int steps)
{
    std::mt19937 random(seed);
    auto pick = [&random](size_t n) { return static_cast<int32_t>(random() % n); };
    const WPARAM scrolls[] = {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_THUMBPOSITION, SB_THUMBTRACK,
                              SB_TOP, SB_BOTTOM, SB_ENDSCROLL, MAKEWPARAM(SB_LINEUP, 7)};
    // The load's dialog is cancelled; 0 is no command.
    const WPARAM commands[] = {IDM_PLAY, IDM_STOP, IDM_STEP_FORWARD, IDM_STEP_BACKWARD, IDM_CLEAR, IDM_ZOOM_IN_1,
        IDM_ZOOM_IN_3, IDM_ZOOM_OUT_1, IDM_ZOOM_OUT_3, IDM_SPEED_10, IDM_SPEED_50, IDM_SPEED_100, IDM_SPEED_200,
        IDM_ABOUT_PROGRAM, IDM_ABOUT_RULES, IDM_PATTERN_LOAD, 0, IDM_REDO, IDM_CUT, IDM_COPY, IDM_PASTE, IDM_DELETE,
        IDM_CLEAR_OUTSIDE, IDM_SELECT_ALL, IDM_REMOVE_SELECTION, IDM_FLIP_LEFT_RIGHT, IDM_FLIP_UP_DOWN,
        IDM_ROTATE_CLOCKWISE, IDM_ROTATE_ANTICLOCKWISE, IDM_RANDOM_FILL, IDM_SPEED_FASTEST,
        IDM_VIEW_POPULATION, IDM_VIEW_LIVING_CELLS};
    const WPARAM turns[] = {IDM_ROTATE_CLOCKWISE, IDM_ROTATE_ANTICLOCKWISE, IDM_FLIP_LEFT_RIGHT, IDM_FLIP_UP_DOWN};
    // Messages that change nothing; WM_PAINT comes without an update region.
    const UINT others[] = {WM_PAINT, WM_ERASEBKGND, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_CONTEXTMENU, WM_SIZE, WM_TIMER};
    const int deltas[] = {WHEEL_DELTA, -WHEEL_DELTA, 40, -40, 2 * WHEEL_DELTA, -30 * WHEEL_DELTA, 200 * WHEEL_DELTA};
    std::vector<Action> actions;
    const WPARAM buttons[] = {0, MK_LBUTTON, MK_LBUTTON, MK_MBUTTON, MK_LBUTTON | MK_SHIFT};
    const UINT mouse[] = {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP,
                          WM_RBUTTONDOWN, WM_LBUTTONDOWN};
    // Full speed's next batch, posted or by its timer.
    auto batch = [&pick] { return pick(2) ? Action{kRunBatchMessage, 0, 0, 0, 0} : Action{WM_TIMER, kBatchTimerId, 0, 0, 0}; };
    for (int i = 0; i < steps; ++i) {
        const WPARAM key = kKeys[pick(std::size(kKeys))].key;
        // Clicks near the middle make patterns; a far one's 16-bit coordinates read as negative, as do moves past the
        // client's edges with the mouse captured.
        const WPARAM graphKeys[] = {VK_LEFT, VK_RIGHT, VK_HOME, VK_END, 'G'}, listKeys[] = {'L', 'G', 'P', 'S', VK_DELETE};
        const int32_t kind = pick(43), x = pick(10) ? 120 + pick(120) : 65535 - pick(10000), y = 100 + pick(100);
        const int32_t x2 = 120 + pick(120), y2 = 100 + pick(100), x3 = pick(400), y3 = pick(300);
        if (kind < 31) {
            actions.push_back(kind < 6 ? Action{WM_LBUTTONDOWN, pick(4) ? 0u : MK_SHIFT, x, y, 0}
                              : kind < 7 ? Action{WM_LBUTTONDBLCLK, 0, x, y, 0}
                              : kind < 12 ? Action{mouse[pick(8)], buttons[pick(5)], pick(700) - 100, pick(500) - 100, 0}
                              : kind < 18 ? Action{WM_KEYDOWN, key, 0, 0, pick(2) ? 0 : pick(4)}
                              : kind < 20 ? Action{WM_COMMAND, MAKEWPARAM(commands[pick(std::size(commands))], 1), 0, 0, 0}
                              : kind < 22 ? Action{pick(2) ? UINT{WM_HSCROLL} : UINT{WM_VSCROLL}, scrolls[pick(10)], 0, 0, 0}
                              : kind < 23 ? Action{WM_MOUSEWHEEL, MAKEWPARAM(0, deltas[pick(7)]), pick(300), y, 0}
                              : kind < 26 ? Action{WM_TIMER, kStepTimerId, 0, 0, 0}
                              : kind < 27 ? Action{others[pick(8)], 'C', 20, 20, 0}
                              : kind < 28 ? Action{0, 0, 0, 0, 0}
                              : kind < 30 ? Action{kGraphClick, 0, pick(500) - 20, 0, 0}
                              : pick(2) ? Action{kGraphKey, graphKeys[pick(5)], 0, 0, 0}
                                        : Action{kListKey, listKeys[pick(5)], 0, 0, 0});
        } else if (kind < 33) {
            actions.push_back(batch());
        } else if (kind < 37) {
            // A rectangle selected, square or not, then turned or flipped.
            const int32_t d = pick(90), e = pick(2) ? d : pick(90);
            actions.insert(actions.end(), {{WM_LBUTTONDOWN, MK_SHIFT, x2, y2, 0}, {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, x2 + d, y2 + e, 0},
                                           {WM_LBUTTONUP, 0, x2 + d, y2 + e, 0}, {WM_COMMAND, MAKEWPARAM(turns[pick(4)], 1), 0, 0, 0}});
        } else if (kind < 40) {
            // A cell, perhaps selected, copied and pasted back, carried and then placed, dropped by Esc or the menu's
            // item, cancelled or turned.
            const Action ends[] = {{WM_LBUTTONDOWN, 0, x3, y3, 0}, {WM_KEYDOWN, VK_ESCAPE, 0, 0, 0},
                                   {WM_COMMAND, MAKEWPARAM(IDM_REMOVE_SELECTION, 1), 0, 0, 0}, {WM_RBUTTONDOWN, 0, x3, y3, 0},
                                   {WM_COMMAND, MAKEWPARAM(turns[pick(2)], 1), 0, 0, 0}};
            actions.insert(actions.end(), {{WM_LBUTTONDOWN, 0, x2, y2, 0}, {WM_LBUTTONUP, 0, x2, y2, 0}});
            if (pick(2)) {
                actions.insert(actions.end(), {{WM_LBUTTONDOWN, MK_SHIFT, x2 - 30, y2 - 30, 0},
                                               {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, x2 + 30, y2 + 30, 0}, {WM_LBUTTONUP, 0, x2, y2, 0}});
            }
            actions.insert(actions.end(), {pick(2) ? Action{WM_KEYDOWN, 'C', 0, 0, 1} : Action{WM_COMMAND, IDM_COPY, 0, 0, 0},
                                           {WM_KEYDOWN, 'V', 0, 0, 1}, {WM_MOUSEMOVE, 0, x3, y3, 0}, ends[pick(5)]});
        } else if (kind < 42) {
            // One button pressed and let go in the middle of the other's drag.
            const bool left = pick(2);
            const UINT down = left ? WM_LBUTTONDOWN : WM_MBUTTONDOWN, up = left ? WM_LBUTTONUP : WM_MBUTTONUP;
            const UINT otherDown = left ? WM_MBUTTONDOWN : WM_LBUTTONDOWN, otherUp = left ? WM_MBUTTONUP : WM_LBUTTONUP;
            const WPARAM held = left ? MK_LBUTTON : MK_MBUTTON;
            actions.insert(actions.end(), {{down, 0, x2, y2, 0}, {otherDown, held, x3, y3, 0},
                                           {WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, x, y, 0}, {otherUp, held, x, y, 0},
                                           {WM_MOUSEMOVE, held, x3, y2, 0}, {up, 0, x3, y2, 0}});
        } else {
            // A stroke across a run's generations, which a box may end.
            actions.insert(actions.end(), {{WM_KEYDOWN, pick(2) ? WPARAM{'5'} : WPARAM{'1'}, 0, 0, 0}, {WM_LBUTTONDOWN, 0, x2, y2, 0},
                                           pick(2) ? batch() : Action{WM_TIMER, kStepTimerId, 0, 0, 0},
                                           {WM_MOUSEMOVE, MK_LBUTTON, x3, y3, 0},
                                           pick(2) ? Action{WM_COMMAND, IDM_ABOUT_PROGRAM, 0, 0, 0} : batch(),
                                           {WM_MOUSEMOVE, MK_LBUTTON, x, y, 0}, batch(), {WM_LBUTTONUP, 0, x, y, 0}});
        }
    }
    return actions;
}

// What differs between the window and the model, "" when nothing does.
std::string Compare(const Model& m, INT_PTR result, UINT message)
{
    std::ostringstream out;
    auto check = [&out](bool same, const char* what) { out << (same ? "" : what); };
    // Clicks and the messages the dialog manager is to handle on its own answer FALSE.
    const UINT falses[] = {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_PAINT, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_LBUTTONUP,
                           WM_MOUSEMOVE, WM_CONTEXTMENU, WM_SIZE, WM_MBUTTONDOWN, WM_MBUTTONUP};
    check(result == (std::count(std::begin(falses), std::end(falses), message) ? FALSE : TRUE), "the answer; ");
    check(TableCells() == m.board.cells && generation == m.generation, "the table; ");
    check(viewport.cellSize == m.view.cellSize && viewport.offsetX == m.view.offsetX && viewport.offsetY == m.view.offsetY, "the view; ");
    check(platform.timer == m.timer && stepIntervalMs == m.speed, "the timer; ");
    check(platform.beeps == 0 && platform.shown.size() == m.shown, "a beep or a box; ");
    check(!platform.ranBehindBox, "the run behind a box; ");
    // At full speed the next batch waits, posted or by its timer, whatever boxes came between.
    MSG batch;
    check(!m.fastest || platform.batchTimer || PeekMessageA(&batch, mainWindow, kRunBatchMessage, kRunBatchMessage, PM_NOREMOVE),
          "full speed's next batch; ");
    // The window holds the mouse exactly while a drag goes on, and never while a box is up.
    check((GetCapture() == mainWindow) == (m.mode != kIdle) && !platform.captureAtBox, "the capture; ");
    // Stopped, the caption is exact; while the run goes on the count may lag a tenth of a second.
    const std::string caption = Caption(), name = "The Quillane (0.0.1)";
    const std::regex running(m.fastest ? ", running at full speed(, [1-9][0-9,]* generations a second)?$"
                                       : ", running at " + std::to_string(m.timer) + " ms$");
    std::string expected = m.past.empty() && m.board.cells.empty() ? name
        : name + " - generation " + WithThousands(m.generation) + ", " + WithThousands(m.board.cells.size()) +
              (m.board.cells.size() == 1 ? " cell" : " cells");
    // What the board does is the core's to find (tested there); here it must be what the caption says.
    const std::string period = m.board.cells.empty() ? "" : PeriodText(CurrentPeriod());
    expected += period.empty() ? "" : ", " + period;
    check(m.timer || m.fastest ? std::regex_search(caption, running) : caption == expected, "the caption; ");
    // Setting the caption takes the scroll bars out of the style for a moment only.
    check((GetWindowLongPtrA(mainWindow, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL), "the bars; ");
    check(HasSelection() == m.selected && (!m.selected || SelectedRect() == m.selection) && IsPlacing() == m.placing,
          "the selection or the paste; ");
    // The Edit menu as it opens: Undo and Redo greyed exactly when there is nothing to undo or redo.
    HMENU edit = GetSubMenu(GetMenu(mainWindow), 1);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit));
    const auto greyed = [edit](UINT id) { return (GetMenuState(edit, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    check(greyed(IDM_STEP_BACKWARD) == m.past.empty() && greyed(IDM_REDO) == m.future.empty(), "Undo or Redo; ");
    // The View menu as it opens: each item checked while its window is open.
    HMENU view = GetSubMenu(GetMenu(mainWindow), 2);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view));
    const auto checked = [view](UINT id) { return (GetMenuState(view, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    check(checked(IDM_VIEW_POPULATION) == m.graphOpen && (PopulationWindow() != nullptr) == m.graphOpen &&
          (!m.graphOpen || IsWindowVisible(PopulationWindow())), "the graph or its check mark; ");
    check(checked(IDM_VIEW_LIVING_CELLS) == m.listOpen && (LivingCellsWindow() != nullptr) == m.listOpen &&
          (!m.listOpen || IsWindowVisible(LivingCellsWindow())), "the list or its check mark; ");
    // Stopped, the list shows the board, a line a cell in the plane's reading order.
    if (m.listOpen && !m.timer && !m.fastest) {
        std::vector<Cell> sorted = m.board.cells;
        std::sort(sorted.begin(), sorted.end(), [](Cell a, Cell b) {
            return std::make_pair(a.y, a.x) < std::make_pair(b.y, b.x);
        });
        HWND box = GetDlgItem(LivingCellsWindow(), IDC_CELL_LIST);
        bool same = SendMessageA(box, LB_GETCOUNT, 0, 0) == LRESULT(sorted.size());
        for (size_t i = 0; same && i < sorted.size(); ++i) {
            char line[64] = "";
            SendMessageA(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
            same = line == LivingCellText(sorted[i]);
        }
        check(same, "the list's lines; ");
    }
    // The graph's status line: the board under the pointer, else the one shown.
    const size_t boards = m.past.size() + m.future.size() + 1;
    const size_t said = m.hovered >= 0 && size_t(m.hovered) < boards ? size_t(m.hovered) : m.past.size();
    const auto& [sayCells, sayGeneration] = said < m.past.size() ? std::tie(m.past[said].board.cells, m.past[said].generation)
        : said == m.past.size() ? std::tie(m.board.cells, m.generation)
                                : std::tie(m.future[boards - 1 - said].board.cells, m.future[boards - 1 - said].generation);
    check(!m.graphOpen || PopulationStatusText() == "generation " + WithThousands(sayGeneration) + ", " +
                              WithThousands(sayCells.size()) + (sayCells.size() == 1 ? " cell" : " cells"),
          "the graph's status line; ");
    // The pixels, once the views agree: every live cell in view and 25 spots across the client area.
    RECT client;
    GetClientRect(mainWindow, &client);
    std::vector<Cell> cells = m.board.cells;
    for (int32_t k = 0; k < 25; ++k) {
        cells.push_back(Under(m.view, client.right * (k % 5 * 2 + 1) / 10, client.bottom * (k / 5 * 2 + 1) / 10));
    }
    // A waiting paste's cells, tinted over the board and the selection's tint.
    std::vector<Cell> previewed;
    for (size_t k = 0; m.placing && k < m.stamp.cells.size(); ++k) {
        previewed.push_back(StampCell(m.stamp, k, m.at));
    }
    cells.insert(cells.end(), previewed.begin(), previewed.end());
    for (Cell c : cells) {
        uint32_t colour = ReferenceIsAlive(m.board, c.x, c.y) ? kLiveColour : kDeadColour;
        colour = m.selected && RectContains(m.selection, c) ? MixColour(colour, kSelectionTint, kSelectionAlpha) : colour;
        colour = std::count(previewed.begin(), previewed.end(), c) ? MixColour(colour, kPreviewTint, kPreviewAlpha) : colour;
        check(!InView(c) || CellColour(c.x, c.y) == RGB(RedOf(colour), GreenOf(colour), BlueOf(colour)), "a cell; ");
    }
    return out.str();
}

TEST(WindowModel, RandomActionsDoToTheWindowWhatTheyDoToTheModel)
{
    const char* only = std::getenv("QUILLANE_SEED");
    for (uint32_t seed : only ? std::vector<uint32_t>{static_cast<uint32_t>(std::atol(only))} : std::vector<uint32_t>{1, 2, 3, 4}) {
        const std::vector<Action> actions = Generate(seed, 100);
        OpenMainWindow();
        Model m;
        // A batch at full speed runs about 16 generations by this clock.
        platform.clockMs = 0;
        platform.clockStepMs = 1;
        if (seed % 2) {
            // The plane's ends cross the client area where the clicks fall.
            m.view = viewport = {kInitialCellSize, INT32_MIN + 12, INT32_MIN + 9};
            RepaintNow(mainWindow);
        }
        std::string why;
        std::ostringstream prefix;
        // The clipboard starts empty; a paste onto an empty board is a load, and a right press without a waiting
        // paste or a drag opens the context menu, which the random run does not drive.
        OpenClipboard(mainWindow) && EmptyClipboard() && CloseClipboard();
        for (size_t i = 0; i < actions.size() && why.empty(); ++i) {
            const bool paste = (actions[i].message == WM_KEYDOWN && KeyCommand(actions[i].wParam, actions[i].held) == IDM_PASTE) ||
                               (actions[i].message == WM_COMMAND && LOWORD(actions[i].wParam) == IDM_PASTE);
            const bool menu = actions[i].message == WM_RBUTTONDOWN && !m.placing && m.mode == kIdle;
            const bool graph = (actions[i].message == kGraphClick || actions[i].message == kGraphKey) && !m.graphOpen;
            const bool skipped = (paste && m.board.cells.empty()) || menu || graph;
            // A key for the list, while it is closed, opens it from the board.
            const bool list = actions[i].message == kListKey && !m.listOpen;
            const Action& a = skipped ? Action{0, 0, 0, 0, 0} : list ? Action{WM_KEYDOWN, 'L', 0, 0, 0} : actions[i];
            prefix << "\n  message " << a.message << " wParam " << a.wParam << " at " << a.x << "," << a.y << " held " << a.held;
            const INT_PTR result = Apply(a);
            Apply(m, a);
            why = Compare(m, result, a.message);
        }
        EXPECT_EQ(why, "") << "QUILLANE_SEED=" << seed << ", after" << prefix.str();
        // Closed while running, the window is gone with its timer, and nothing after reaches the released table.
        ::Command(IDM_PLAY);
        Deliver(WM_CLOSE);
        EXPECT_EQ(platform.timer, 0u);
        platform.timer = 1;  // a mark that any later SetTimer or KillTimer would overwrite
        for (const Action& a : actions) {
            a.message == WM_RBUTTONDOWN || a.message == kGraphClick || a.message == kGraphKey || a.message == kListKey ? 0 : Apply(a);
        }
        EXPECT_TRUE(!IsWindow(mainWindow) && !PopulationWindow() && !LivingCellsWindow() && count == 0 && platform.timer == 1 && platform.beeps == 0 &&
                    platform.shown.size() == m.shown) << seed;
        CloseMainWindow();
    }
}

}  // namespace
