// Patterns in and out of the real window: the file dialogs, drops, the command line, the clipboard
// keys and the "Common" list. What the text of each format means is the core tests' business.
#include <shlobj.h>

#include <fstream>
#include <sstream>
#include <tuple>

#include "pattern_commands.h"
#include "window_harness.h"

namespace {

const char kGliderRle[] = "#N Glider\nx = 3, y = 3, rule = B3/S23\nbob$2bo$3o!\n";
const std::vector<Cell> kGlider = {{1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};

// A folder with a space in its name, emptied for each test.
std::string Folder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "Quillane patterns\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        DeleteFileA((folder + found.cFileName).c_str());
    }
    FindClose(search);
    return folder;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

bool Mentions(const std::string& shown, const std::string& part) { return shown.find(part) != std::string::npos; }

using PatternFiles = MainWindowTest;

// Each save filter writes its format and the load dialog reads it back. A failed save says why and
// leaves the old file whole, with no temporary file beside it; an empty board is not saved at all.
TEST_F(PatternFiles, EachFormatSavesAndLoadsBackAndAFailedSaveKeepsTheOldFile)
{
    const std::string folder = Folder();
    const std::vector<Cell> cells = {{0, 0}, {1, 0}, {5, 2}, {3, 3}};  // as every format reads them back
    PlaceCells(cells);
    // A typed extension decides the format, whatever the filter; a bare name takes the filter's.
    const struct { const char* typed; DWORD filter; const char* saved; const char* start; } cases[] = {
        {"one", 1, "one.rle", "#N one"}, {"two", 2, "two.cells", "!Name: two"}, {"three", 3, "three.lif", "#Life 1.06"},
        {"four.cells", 1, "four.cells", "!Name: four"}, {"five.LIF", 2, "five.LIF", "#Life 1.06"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        platform.chosenPath = folder + c.typed;
        platform.chosenFilter = c.filter;
        Command(IDM_FILE_SAVE_PATTERN);
        EXPECT_TRUE(platform.dialogFlags & OFN_OVERWRITEPROMPT);
        EXPECT_EQ(ReadText(folder + c.saved).rfind(c.start, 0), 0u) << ReadText(folder + c.saved);
        ClearCells();
        platform.chosenPath = folder + c.saved;
        Command(IDM_PATTERN_LOAD);
        EXPECT_EQ(LiveCells(), cells);
    }
    ASSERT_TRUE(platform.shown.empty()) << platform.shown[0];
    const std::string path = folder + "one.rle", old = ReadText(path);
    platform.chosenPath = path;
    platform.writesFail = true;  // as on a full disk
    Command(IDM_PATTERN_SAVE);
    platform.writesFail = false;
    ASSERT_EQ(platform.shown.size(), 1u);
    // The system's own sentence follows, whatever words this system uses.
    EXPECT_TRUE(Mentions(platform.shown[0], "could not be saved to " + path + ".\n\n")) << platform.shown[0];
    EXPECT_GT(platform.shown[0].size(), platform.shown[0].find("\n\n") + 10) << platform.shown[0];
    ClearCells();
    Command(IDM_FILE_SAVE_PATTERN);
    EXPECT_EQ(platform.shown.back(), "The Quillane 0.0.1|The board is empty: there is no pattern to save.");
    EXPECT_EQ(ReadText(path), old);
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA((folder + "qln*").c_str(), &found), INVALID_HANDLE_VALUE) << found.cFileName;
}

TEST_F(PatternFiles, AnyFailureIsOneBoxNamingTheFileAndChangesNothingAndAnotherRuleAsksFirst)
{
    const std::string folder = Folder();
    WriteText(folder + "bad.rle", "x = 3, y = 3\nbo$2bq$3o!");
    WriteText(folder + "other.rle", "x = 3, y = 1, rule = B36/S23\n3o!");
    const struct { const char* file; int answer; const char* says; } cases[] = {
        {"bad.rle", IDOK, "could not be loaded.\n\nLine 2, column 6: "},
        {"missing.rle", IDOK, "could not be loaded"},
        {"other.rle", IDNO, "This pattern was made for rule B36/S23; The Quillane runs B3/S23. Load it anyway?"}};
    PlaceCells(kBlinker);
    ZoomBy(4);
    PanBy(3, -2);
    Command(IDM_SPEED_200);
    const auto seen = [] { return std::make_tuple(LiveCells(), viewport.cellSize, viewport.offsetX, platform.timer); };
    const auto before = seen();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        platform.shown.clear();
        platform.answer = c.answer;
        const std::string path = folder + c.file;
        EXPECT_FALSE(LoadPatternFile(window, path.c_str()));
        EXPECT_EQ(seen(), before);
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_TRUE(Mentions(platform.shown[0], c.says) && (c.answer == IDNO || Mentions(platform.shown[0], path)))
            << platform.shown[0];
    }
    // Yes loads it: the board replaced, the timer stopped, the pattern drawn and counted in the caption.
    platform.answer = IDYES;
    EXPECT_TRUE(LoadPatternFile(window, (folder + "other.rle").c_str()));
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(platform.timer, 0u);
    EXPECT_EQ(CellColour(2, 0), kLive);
    char caption[100];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "The Quillane (0.0.1) - generation 0, 3 cells");
}

// The command line takes one path, quoted or not, and a drop the first file. Ctrl+C puts the board
// on the clipboard as RLE text and leaves it; Ctrl+V brings it back.
TEST_F(PatternFiles, TheCommandLineADropAndTheClipboardKeys)
{
    const std::string folder = Folder(), path = folder + "my glider.rle";
    WriteText(path, kGliderRle);
    for (const std::string& line : {"\"" + path + "\"", "  \"" + path + "\" ", path + " "}) {
        SCOPED_TRACE(line);
        ClearCells();
        LoadCommandLinePattern(window, line.c_str());
        EXPECT_EQ(LiveCells(), kGlider);
    }
    const std::string names = path + '\0' + folder + "missing.rle" + '\0' + '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    memcpy(header + 1, names.data(), names.size());
    GlobalUnlock(drop);
    ClearCells();
    EXPECT_EQ(Deliver(WM_DROPFILES, reinterpret_cast<WPARAM>(drop)), TRUE);
    EXPECT_EQ(LiveCells(), kGlider);
    // Under Wine a hardware message still queued (the pointer's move) holds back the Ctrl key's state.
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageA(&message);
    }
    PressKey('C', {VK_CONTROL});
    EXPECT_EQ(LiveCells(), kGlider);
    OpenClipboard(window);
    HANDLE data = GetClipboardData(CF_TEXT);
    EXPECT_STREQ(data ? static_cast<const char*>(GlobalLock(data)) : "",
                 "#CXRLE Pos=0,0\r\nx = 3, y = 3, rule = B3/S23\r\nbo$2bo$3o!\r\n");
    GlobalUnlock(data);
    CloseClipboard();
    ClearCells();
    PressKey('V', {VK_CONTROL});
    EXPECT_EQ(LiveCells(), kGlider);
    EXPECT_TRUE(platform.shown.empty()) << platform.shown[0];
}

TEST_F(PatternFiles, TheCommonListIsFilledAsItOpensEachItemLoadsAndTheBoardCanJoinIt)
{
    HMENU context = LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    HMENU common = GetSubMenu(GetSubMenu(GetSubMenu(context, 0), 10), 0);
    const auto label = [common](int position) {
        char text[100] = "";
        GetMenuStringA(common, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        return std::string(text);
    };
    // Opening it twice lists each pattern once, after "Add current to list" and a separator.
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
    EXPECT_EQ(Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common)), TRUE);
    const int listed = GetMenuItemCount(common);
    std::string loaded;
    for (int i = 2; i < listed; ++i) {
        Command(static_cast<int>(GetMenuItemID(common, i)));
        loaded += label(i) + " " + std::to_string(count) + ", ";
    }
    EXPECT_EQ(loaded, "Glider 5, Lightweight spaceship 9, Blinker 3, Pulsar 48, Pentadecathlon 12, "
                      "Gosper glider gun 36, R-pentomino 5, Acorn 7, Diehard 7, ");
    // An empty board adds nothing; the current one is added under its count and loads back.
    ClearCells();
    Command(IDM_PATTERN_ADD_CURRENT);
    PlaceCells({{-3, 8}, {-2, 8}, {40, 9}});
    Command(IDM_PATTERN_ADD_CURRENT);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
    ASSERT_EQ(GetMenuItemCount(common), listed + 1);
    EXPECT_TRUE(Mentions(label(listed), "Pattern ") && Mentions(label(listed), " (3 cells)")) << label(listed);
    ClearCells();
    Command(static_cast<int>(GetMenuItemID(common, listed)));
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{-3, 8}, {-2, 8}, {40, 9}}));
    EXPECT_TRUE(platform.shown.empty());
    DestroyMenu(context);
}

}  // namespace
