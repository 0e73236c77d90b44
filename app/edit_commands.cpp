#include "edit_commands.h"

#include <string>
#include <vector>

#include "board_painter.h"
#include "caption.h"
#include "clipboard.h"
#include "history.h"
#include "message_box.h"
#include "pattern_commands.h"
#include "pattern_file.h"
#include "pointer.h"
#include "run.h"
#include "texts.h"
#include "viewport.h"

namespace {

// Each edit's result replaces the board as one entry; an edit that changes nothing leaves no entry.
// A turn's entry also moves the selection, and comes back with it.
void ApplyEdit(HWND window, const std::vector<Cell>& cells, SelectionChange selection = {})
{
    if (cells != TableCells() || !(selection.before == selection.after)) {
        EditBoard(cells, selection);
        if (selection.kept) {
            Select(window, selection.after.rect);
        }
        RepaintNow(window);
        RefreshCaption(window);
    }
}

// Seeded once a session: fills differ from run to run, as a user expects of random.
[[maybe_unused]] const bool fillsSeeded = (SeedFills(GetTickCount64() * 0x9E3779B97F4A7C15u), true);

}  // namespace

void RedoStep(HWND window)
{
    if (CanRedo()) {
        MoveInHistory(window, Redo);
    }
}

void DeleteSelection(HWND window)
{
    if (HasSelection()) {
        ApplyEdit(window, CellsOutside(TableCells(), SelectedRect()));
    }
}

void ClearOutsideSelection(HWND window)
{
    if (HasSelection()) {
        ApplyEdit(window, CellsInside(TableCells(), SelectedRect()));
    }
}

void FlipSelection(HWND window, bool leftRight)
{
    if (HasSelection()) {
        const CellRect r = SelectedRect();
        ApplyEdit(window, leftRight ? FlipLeftRight(TableCells(), r) : FlipUpDown(TableCells(), r));
    }
}

void RotateSelection(HWND window, bool clockwise)
{
    if (!HasSelection()) {
        return;
    }
    const CellRect r = SelectedRect();
    ApplyEdit(window, clockwise ? RotateClockwise(TableCells(), r) : RotateAnticlockwise(TableCells(), r),
              {true, {true, r}, {true, TurnedRect(r)}});
}

void RandomFillSelection(HWND window)
{
    if (!HasSelection()) {
        return;
    }
    const CellRect r = SelectedRect();
    if (RectCellCount(r) > kMaxFillCells) {
        ShowMessage(window, "The selection holds " + WithThousands(RectCellCount(r)) + " cells; a random fill takes at "
                            "most " + WithThousands(kMaxFillCells) + ".", MB_OK | MB_ICONWARNING);
        return;
    }
    const std::vector<Cell> filled = NextFill(TableCells(), r);
    if (filled.size() > static_cast<size_t>(kMaxCells)) {
        ShowMessage(window, "The fill would make " + WithThousands(filled.size()) + " live cells; " + BoardLimitText(),
                    MB_OK | MB_ICONWARNING);
        return;
    }
    ApplyEdit(window, filled);
}

void SelectAll(HWND window)
{
    CellRect r;
    if (RectAround(TableCells(), r)) {
        Select(window, r);
    }
}

bool CopyBoard(HWND window)
{
    // An empty pattern would only take the place of what the user had copied.
    if (count == 0) {
        return true;
    }
    const bool selected = HasSelection();
    std::string text, error;
    if (selected) {
        const CellRect r = SelectedRect();
        const std::vector<Cell> inside = CellsInside(TableCells(), r);
        if (inside.empty()) {
            return true;
        }
        text = WriteRleFrom(inside, {r.left, r.top});
    } else {
        WritePattern(PatternFormat::Rle, TableCells(), "", text, error);
    }
    if (!WriteClipboardText(window, text, error)) {
        ShowMessage(window, std::string(selected ? "The selection" : "The board") + " could not be copied.\n\n" + error,
                    MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

void CutSelection(HWND window)
{
    // Cells cut without a copy to paste them from would be lost.
    if (HasSelection() && CopyBoard(window)) {
        DeleteSelection(window);
    }
}

void PasteBoard(HWND window)
{
    std::string text, error;
    if (!ReadClipboardText(window, text, error)) {
        ReportLoadFailure(window, "the clipboard", error);
        return;
    }
    LoadPatternText(window, text, "the clipboard", true);
}

void DropPasteOrSelection(HWND window)
{
    IsPlacing() ? CancelPlacing(window) : RemoveSelection(window);
}
