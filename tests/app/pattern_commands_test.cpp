#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "pattern_commands.h"
#include "window_harness.h"

namespace {

// A folder with a space in its name, made empty for each test.
std::string Folder()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "Quillane patterns";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    return folder.string() + "\\";
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const std::string& path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

bool Mentions(const std::string& shown, const std::string& part) { return shown.find(part) != std::string::npos; }

using PatternFiles = MainWindowTest;

// A typed extension, or else the filter, picks the format. A failed save says why and leaves the
// old file whole with no temporary file beside it; an empty board is not saved at all.
TEST_F(PatternFiles, EachFormatSavesAndLoadsBackAndAFailedSaveKeepsTheOldFile)
{
    const std::string folder = Folder();
    PlaceCells(kBlinker);
    const struct { const char* typed; DWORD filter; const char* saved; const char* start; } cases[] = {
        {"one", 1, "one.rle", "#N one"}, {"two", 2, "two.cells", "!Name: two"}, {"three", 3, "three.lif", "#Life 1.06"},
        {"four.cells", 1, "four.cells", "!Name: four"}, {"five.LIF", 2, "five.LIF", "#Life 1.06"}};
    for (const auto& c : cases) {
        platform.chosenPath = folder + c.typed;
        platform.chosenFilter = c.filter;
        Command(IDM_FILE_SAVE_PATTERN);
        EXPECT_EQ(ReadText(folder + c.saved).rfind(c.start, 0), 0u) << c.typed;
    }
    ClearCells();
    Command(IDM_PATTERN_LOAD);
    EXPECT_EQ(TableCells(), kBlinker);
    const std::string old = ReadText(platform.chosenPath);
    platform.writesFail = true;  // as on a full disk
    Command(IDM_PATTERN_SAVE);
    ClearCells();
    Command(IDM_FILE_SAVE_PATTERN);
    ASSERT_EQ(platform.shown.size(), 2u) << ::testing::PrintToString(platform.shown);
    // The system's own reason follows, whatever words it uses.
    const std::string& said = platform.shown[0];
    EXPECT_TRUE(Mentions(said, "be saved to " + platform.chosenPath + ".\n\n") && said.size() > said.rfind('\n') + 9)
        << said;
    EXPECT_EQ(platform.shown[1], "The Quillane 0.0.1|The board is empty: there is no pattern to save.");
    EXPECT_EQ(ReadText(platform.chosenPath), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 5);
}

// A failed or declined load is one box naming the file (or asking about its rule) and changes
// nothing. The command line names one path, quoted or not; of a drop the first file loads.
TEST_F(PatternFiles, AFailedLoadChangesNothingAndEachWayInLoads)
{
    const std::string folder = Folder(), other = folder + "other.rle";
    WriteText(folder + "bad.rle", "x = 3, y = 3\nbo$2b%$3o!");
    WriteText(other, "x = 3, y = 1, rule = B36/S23\n3o!");
    const struct { const char* file; int answer; const char* says; } cases[] = {
        {"bad.rle", IDOK, "could not be loaded.\n\nLine 2, column 6: "},
        {"missing.rle", IDOK, "could not be loaded.\n\n"},
        {"other.rle", IDNO, "This pattern was made for rule B36/S23"}};
    PlaceCells(kBlinker);
    ZoomBy(-4);
    Command(IDM_SPEED_200);
    const auto seen = [] { return std::make_tuple(TableCells(), viewport.cellSize, viewport.offsetX, platform.timer); };
    const auto before = seen();
    for (const auto& c : cases) {
        platform.shown.clear();
        platform.answer = c.answer;
        const std::string path = folder + c.file;
        LoadPatternFile(mainWindow, path.c_str());
        EXPECT_EQ(seen(), before) << c.file;
        EXPECT_TRUE(platform.shown.size() == 1 && Mentions(platform.shown[0], c.says) &&
                    (c.answer == IDNO || Mentions(platform.shown[0], path)))
            << ::testing::PrintToString(platform.shown);
    }
    const std::vector<Cell> row = {{0, 0}, {1, 0}, {2, 0}};
    platform.answer = IDYES;
    LoadPatternFile(mainWindow, other.c_str());
    PressKey(VK_LEFT);  // the load undone shows the old board as it was seen
    EXPECT_EQ(seen(), std::make_tuple(kBlinker, 11, std::get<2>(before), 0u));
    for (const std::string& line : {"  \"" + other + "\" ", other + " "}) {
        ClearCells();
        LoadCommandLinePattern(mainWindow, line.c_str());
        EXPECT_EQ(TableCells(), row) << line;
    }
    EXPECT_EQ(std::make_tuple(platform.timer, viewport.cellSize, CellColour(2, 0)), std::make_tuple(0u, 15, kLive));
    const std::string names = other + '\0' + folder + "missing.rle" + '\0' + '\0';
    auto* drop = static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + names.size()));
    drop->pFiles = sizeof(DROPFILES);
    memcpy(drop + 1, names.data(), names.size());
    ClearCells();
    Deliver(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(TableCells(), row);
}

// Each item loads its pattern; the board joins the list under its count (an empty one does not). Ctrl+C leaves
// the board and puts it on the clipboard as RLE text with the system's line ends; Ctrl+V brings it back.
TEST_F(PatternFiles, TheCommonListIsFilledAsItOpensEachItemLoadsAndTheBoardCanJoinIt)
{
    HMENU context = LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    HMENU common = GetSubMenu(GetSubMenu(GetSubMenu(context, 0), 10), 0);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
    EXPECT_TRUE(GetMenuState(common, IDM_PATTERN_ADD_CURRENT, MF_BYCOMMAND) & MF_GRAYED);
    Command(IDM_PATTERN_ADD_CURRENT);
    const std::vector<Cell> added = {{-3, 8}, {-2, 8}, {40, 9}};
    PlaceCells(added);
    Command(IDM_PATTERN_ADD_CURRENT);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));  // filled afresh, not twice
    std::string loaded;
    for (int i = 2; i < GetMenuItemCount(common); ++i) {
        char label[100] = "";
        GetMenuStringA(common, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
        Command(static_cast<int>(GetMenuItemID(common, i)));
        loaded += std::string(label) + " " + std::to_string(count) + ", ";
    }
    EXPECT_EQ(loaded, "Glider 5, Lightweight spaceship 9, Blinker 3, Pulsar 48, Pentadecathlon 12, "
                      "Gosper glider gun 36, R-pentomino 5, Acorn 7, Diehard 7, Pattern 1 (3 cells) 3, ");
    PressKey('C', {VK_CONTROL});
    EXPECT_EQ(TableCells(), added);  // the random actions seldom hold Ctrl with C on a live board
    OpenClipboard(mainWindow);
    HANDLE data = GetClipboardData(CF_TEXT);
    EXPECT_STREQ(data ? static_cast<const char*>(GlobalLock(data)) : "",
                 "#CXRLE Pos=-3,8\r\nx = 44, y = 2, rule = B3/S23\r\n2o$43bo!\r\n");
    GlobalUnlock(data);
    CloseClipboard();
    PressKey('C');
    PressKey('V', {VK_CONTROL});
    EXPECT_EQ(TableCells(), added);
    DestroyMenu(context);
}

}  // namespace
