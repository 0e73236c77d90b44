#include "common_list.h"

#include <string>
#include <vector>

#include "cell_table.h"
#include "pattern_commands.h"
#include "pattern_file.h"
#include "resource.h"

namespace {

struct ListedPattern {
    std::string name;
    std::string rle;
};

// The patterns a new user wants to try first, then whatever the session adds.
std::vector<ListedPattern> commonPatterns = {
    {"Glider", "bob$2bo$3o!"},
    {"Lightweight spaceship", "bo2bo$o4b$o3bo$4o!"},
    {"Blinker", "3o!"},
    {"Pulsar", "2b3o3b3o2$o4bobo4bo$o4bobo4bo$o4bobo4bo$2b3o3b3o2$2b3o3b3o$o4bobo4bo$o4bobo4bo$o4bobo4bo2$"
               "2b3o3b3o!"},
    {"Pentadecathlon", "2bo4bo$2ob4ob2o$2bo4bo!"},
    {"Gosper glider gun", "24bo$22bobo$12b2o6b2o12b2o$11bo3bo4b2o12b2o$2o8bo5bo3b2o$2o8bo3bob2o4bobo$"
                          "10bo5bo7bo$11bo3bo$12b2o!"},
    {"R-pentomino", "b2o$2o$bo!"},
    {"Acorn", "bo$3bo$2o2b3o!"},
    {"Diehard", "6bo$2o$bo3b3o!"},
};
// Fixed before the session can add anything, so what it added is the rest of the list.
const size_t kBuiltInCount = commonPatterns.size();

}  // namespace

void FillCommonMenu(HMENU menu)
{
    if (GetMenuItemID(menu, 0) != IDM_PATTERN_ADD_CURRENT) {
        return;
    }
    while (GetMenuItemCount(menu) > 2) {
        DeleteMenu(menu, 2, MF_BYPOSITION);
    }
    for (size_t i = 0; i < commonPatterns.size(); ++i) {
        AppendMenuA(menu, MF_STRING, kFirstCommonPatternId + i, commonPatterns[i].name.c_str());
    }
}

void AddBoardToCommonList()
{
    if (count == 0) {
        return;
    }
    if (commonPatterns.size() >= static_cast<size_t>(kMaxCommonPatterns)) {
        MessageBeep(MB_OK);
        return;
    }
    ListedPattern listed;
    const size_t number = commonPatterns.size() - kBuiltInCount + 1;
    listed.name =
        "Pattern " + std::to_string(number) + " (" + std::to_string(count) + (count == 1 ? " cell)" : " cells)");
    std::string error;
    WritePattern(PatternFormat::Rle, TableCells(), listed.name, listed.rle, error);
    commonPatterns.push_back(listed);
}

bool LoadCommonPattern(HWND window, int commandId)
{
    const size_t index = static_cast<size_t>(commandId - kFirstCommonPatternId);
    if (commandId < kFirstCommonPatternId || index >= commonPatterns.size()) {
        return false;
    }
    // A copy: the load's boxes run a message loop, and the list must not move under it.
    const ListedPattern listed = commonPatterns[index];
    LoadPatternText(window, listed.rle, "the list (" + listed.name + ")");
    return true;
}
