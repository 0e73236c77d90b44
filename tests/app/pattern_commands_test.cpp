// Patterns in and out of the real window: dialogs, files, drops, the command line, the clipboard
// and the "Common" list.
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "pattern_commands.h"
#include "window_harness.h"

namespace {

const char kGliderRle[] = "#N Glider\nx = 3, y = 3, rule = B3/S23\nbob$2bo$3o!\n";
const std::vector<Cell> kGlider = {{1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    }
    FindClose(search);
    return names;
}

// A folder with a space in its name, emptied for each test.
std::string Folder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "Quillane patterns\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : FilesIn(folder)) {
        DeleteFileA((folder + name).c_str());
    }
    return folder;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// What the user sees of a board: its cells, where and how large they are drawn, and the timer.
auto Seen()
{
    return std::make_tuple(LiveCells(), viewport.cellSize, viewport.offsetX, viewport.offsetY, platform.timer);
}

bool Mentions(const std::string& shown, const std::string& part) { return shown.find(part) != std::string::npos; }

using PatternFiles = MainWindowTest;

TEST_F(PatternFiles, EachSaveFilterWritesItsFormatAndTheLoadDialogReadsItBack)
{
    const std::string folder = Folder();
    // In reading order from (0, 0), as every format reads them back.
    const std::vector<Cell> cells = {{0, 0}, {1, 0}, {5, 2}, {3, 3}};
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
        EXPECT_EQ(platform.dialogFilters, "RLE (*.rle)|*.rle|Plaintext (*.cells)|*.cells|Life 1.06 (*.lif)|*.lif|");
        EXPECT_TRUE(platform.dialogFlags & OFN_OVERWRITEPROMPT);
        EXPECT_EQ(ReadText(folder + c.saved).rfind(c.start, 0), 0u) << ReadText(folder + c.saved);
        ClearCells();
        platform.chosenPath = folder + c.saved;
        Command(IDM_PATTERN_LOAD);
        EXPECT_EQ(LiveCells(), cells);
    }
    EXPECT_EQ(platform.dialogFilters,
              "Life patterns (*.rle;*.cells;*.lif;*.life;*.txt)|*.rle;*.cells;*.lif;*.life;*.txt|All files (*.*)|*.*|");
    EXPECT_TRUE(platform.shown.empty()) << platform.shown[0];
}

TEST_F(PatternFiles, AFailedOrEmptySaveLeavesTheOldFileWholeAndNoTemporaryFileAndSaysWhy)
{
    const std::string folder = Folder();
    WriteText(folder + "kept.rle", kGliderRle);
    PlaceCells(kBlinker);
    const struct { std::string path; bool diskFull; } cases[] = {
        {folder + "kept.rle", true}, {folder + "gone\\new.rle", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        platform.shown.clear();
        platform.chosenPath = c.path;
        platform.writesFail = c.diskFull;
        Command(IDM_PATTERN_SAVE);
        platform.writesFail = false;
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_TRUE(Mentions(platform.shown[0], "could not be saved to " + c.path + ".\n\n")) << platform.shown[0];
        // The system's sentence follows, whatever words this system uses.
        EXPECT_GT(platform.shown[0].size(), platform.shown[0].find("\n\n") + 10) << platform.shown[0];
    }
    // An empty board is not saved over it either.
    ClearCells();
    platform.chosenPath = folder + "kept.rle";
    Command(IDM_FILE_SAVE_PATTERN);
    EXPECT_EQ(platform.shown.back(), "The Quillane 0.0.1|The board is empty: there is no pattern to save.");
    EXPECT_EQ(ReadText(folder + "kept.rle"), kGliderRle);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"kept.rle"});
}

TEST_F(PatternFiles, AnyFailureIsOneBoxNamingTheFileAndChangesNothingAndALoadStopsTheTimerAndShowsIt)
{
    const std::string folder = Folder();
    WriteText(folder + "bad.rle", "x = 3, y = 3\nbo$2bq$3o!");
    WriteText(folder + "other.rle", "x = 3, y = 1, rule = B36/S23\n3o!");
    HANDLE huge = CreateFileA((folder + "huge.rle").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    SetFilePointer(huge, (16 << 20) + 1, nullptr, FILE_BEGIN);
    SetEndOfFile(huge);
    CloseHandle(huge);
    const struct { const char* file; int answer; const char* says; } cases[] = {
        {"bad.rle", IDOK, "could not be loaded"}, {"huge.rle", IDOK, "larger than 16 MiB"},
        {"missing.rle", IDOK, "could not be loaded"},
        {"other.rle", IDNO, "This pattern was made for rule B36/S23; The Quillane runs B3/S23. Load it anyway?"}};
    PlaceCells(kBlinker);
    ZoomBy(4);
    PanBy(3, -2);
    Command(IDM_SPEED_200);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        platform.shown.clear();
        platform.answer = c.answer;
        const auto before = Seen();
        const std::string path = folder + c.file;
        EXPECT_FALSE(LoadPatternFile(window, path.c_str()));
        EXPECT_EQ(Seen(), before);
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_TRUE(Mentions(platform.shown[0], c.says)) << platform.shown[0];
        EXPECT_TRUE(c.answer == IDNO || Mentions(platform.shown[0], path)) << platform.shown[0];
    }
    // Yes loads it: the board replaced, the timer stopped, the pattern in view (as the view's own
    // fitting places it) and counted in the caption.
    platform.answer = IDYES;
    EXPECT_TRUE(LoadPatternFile(window, (folder + "other.rle").c_str()));
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(platform.timer, 0u);
    EXPECT_EQ(CellColour(0, 0), kLive);
    EXPECT_EQ(CellColour(2, 0), kLive);
    char caption[100];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "The Quillane (0.0.1) - generation 0, 3 cells");
}

TEST_F(PatternFiles, TheCommandLineTakesOnePathQuotedOrNotAndADropTheFirstFile)
{
    const std::string folder = Folder();
    const std::string path = folder + "my glider.rle";
    WriteText(path, kGliderRle);
    WriteText(folder + "blinker.rle", "3o!");
    for (const std::string& line : {"\"" + path + "\"", "  \"" + path + "\" ", path + " "}) {
        SCOPED_TRACE(line);
        ClearCells();
        LoadCommandLinePattern(window, line.c_str());
        EXPECT_EQ(LiveCells(), kGlider);
    }
    const std::string names = path + '\0' + folder + "blinker.rle" + '\0' + '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    memcpy(header + 1, names.data(), names.size());
    GlobalUnlock(drop);
    PlaceCells({{9, 9}});
    EXPECT_EQ(Deliver(WM_DROPFILES, reinterpret_cast<WPARAM>(drop)), TRUE);
    EXPECT_EQ(LiveCells(), kGlider);
    EXPECT_TRUE(platform.shown.empty());
}

std::string ClipboardText()
{
    OpenClipboard(mainWindow);
    HANDLE data = GetClipboardData(CF_TEXT);
    std::string text = data ? static_cast<const char*>(GlobalLock(data)) : "";
    GlobalUnlock(data);
    CloseClipboard();
    return text;
}

void SetClipboard(const std::string& text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    OpenClipboard(mainWindow);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

TEST_F(PatternFiles, TheBoardIsCopiedAsRleTextAndEachTextFormatPastes)
{
    PlaceCells({{-5, 3}, {-4, 3}, {7, 4}});
    CopyBoard(window);
    const std::string copied = ClipboardText();
    EXPECT_NE(copied.find("rule = B3/S23\r\n"), std::string::npos) << copied;
    const std::pair<std::string, std::vector<Cell>> pasted[] = {
        {copied, LiveCells()}, {"!Name: bar\r\n.O\r\n.O\r\n", {{1, 0}, {1, 1}}}, {"#Life 1.06\n-2 5\n", {{-2, 5}}}};
    for (const auto& [text, cells] : pasted) {
        SCOPED_TRACE(text);
        ClearCells();
        SetClipboard(text);
        PasteBoard(window);
        EXPECT_EQ(LiveCells(), cells);
    }
    EXPECT_TRUE(platform.shown.empty());
}

std::vector<std::string> CommonItems(HMENU menu)
{
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char label[100] = "";
        GetMenuStringA(menu, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
        items.push_back(label);
    }
    return items;
}

TEST_F(PatternFiles, TheCommonListIsFilledAsItOpensEachItemLoadsAndTheBoardCanJoinIt)
{
    HMENU context = LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    HMENU common = GetSubMenu(GetSubMenu(GetSubMenu(context, 0), 10), 0);
    const std::pair<const char*, int32_t> builtIn[] = {{"Glider", 5}, {"Lightweight spaceship", 9}, {"Blinker", 3},
        {"Pulsar", 48}, {"Pentadecathlon", 12}, {"Gosper glider gun", 36}, {"R-pentomino", 5}, {"Acorn", 7},
        {"Diehard", 7}};
    // Opening it twice lists each pattern once.
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
    EXPECT_EQ(Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common)), TRUE);
    std::vector<std::string> items = CommonItems(common);
    ASSERT_GE(items.size(), 11u);
    EXPECT_EQ(items[0], "Add current to list");
    for (size_t i = 0; i < std::size(builtIn); ++i) {
        SCOPED_TRACE(builtIn[i].first);
        EXPECT_EQ(items[i + 2], builtIn[i].first);
        Command(static_cast<int>(GetMenuItemID(common, static_cast<int>(i + 2))));
        EXPECT_EQ(count, builtIn[i].second);
    }

    // An empty board adds nothing; the current one is added under its count and loads back.
    ClearCells();
    Command(IDM_PATTERN_ADD_CURRENT);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
    EXPECT_EQ(CommonItems(common), items);
    PlaceCells({{-3, 8}, {-2, 8}, {40, 9}});
    Command(IDM_PATTERN_ADD_CURRENT);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
    const std::vector<std::string> grown = CommonItems(common);
    ASSERT_EQ(grown.size(), items.size() + 1);
    EXPECT_EQ(grown.back().rfind("Pattern ", 0), 0u);
    EXPECT_TRUE(Mentions(grown.back(), " (3 cells)")) << grown.back();
    ClearCells();
    Command(static_cast<int>(GetMenuItemID(common, static_cast<int>(grown.size() - 1))));
    EXPECT_EQ(LiveCells(), (std::vector<Cell>{{-3, 8}, {-2, 8}, {40, 9}}));
    EXPECT_TRUE(platform.shown.empty());
    DestroyMenu(context);
}

}  // namespace
