#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "pattern_commands.h"
#include "settings.h"
#include "wide_text.h"
#include "window_harness.h"

namespace {

using std::filesystem::u8path;

// A folder with a space and a letter outside ASCII in its name, made empty for each test. Paths in UTF-8.
std::string Folder()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / u8path("Mönster ü");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    return folder.u8string() + "\\";
}

void WriteText(const std::string& path, const char* text) { std::ofstream(u8path(path), std::ios::binary) << text; }

std::string ReadText(const std::string& path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(u8path(path), std::ios::binary).rdbuf()), {});
}

bool Mentions(const std::string& shown, const std::string& part) { return shown.find(part) != std::string::npos; }

using PatternFiles = MainWindowTest;

// A typed extension, or else the filter, picks the format; the dialog starts at the file last saved. A failed
// save says why and leaves the old file whole with no temporary file beside it; a read-only file is not replaced;
// an empty board is not saved at all.
TEST_F(PatternFiles, EachFormatSavesAndLoadsBackAndAFailedSaveKeepsTheOldFile)
{
    const std::string folder = Folder();
    PlaceCells(kBlinker);
    const struct { const char* typed; DWORD filter; const char* saved; const char* start; } cases[] = {
        {"one", 1, "one.rle", "#N one"}, {"two", 2, "two.cells", "!Name: two"}, {"three", 3, "three.lif", "#Life 1.06"},
        {"four.cells", 1, "four.cells", "!Name: four"}, {"five.LIF", 2, "five.LIF", "#Life 1.06"},
        {"six.life", 1, "six.life", "#Life 1.06"}, {"保存 ü.rle", 2, "保存 ü.rle", "#N 保存 ü\n"}};
    std::string saved;
    for (const auto& c : cases) {
        platform.chosenPath = folder + c.typed;
        platform.chosenFilter = c.filter;
        Command(IDM_FILE_SAVE_PATTERN);
        EXPECT_TRUE(saved.empty() || platform.offeredPath == saved) << platform.offeredPath;
        saved = folder + c.saved;
        EXPECT_EQ(ReadText(saved).rfind(c.start, 0), 0u) << c.typed;
    }
    ClearCells();
    Command(IDM_PATTERN_LOAD);
    EXPECT_EQ(TableCells(), kBlinker);
    const std::string old = ReadText(saved);
    platform.writesFail = true;  // as on a full disk
    Command(IDM_PATTERN_SAVE);
    SetFileAttributesW(Utf16(saved).c_str(), FILE_ATTRIBUTE_READONLY);
    Command(IDM_PATTERN_SAVE);
    SetFileAttributesW(Utf16(saved).c_str(), FILE_ATTRIBUTE_NORMAL);
    ClearCells();
    Command(IDM_FILE_SAVE_PATTERN);
    ASSERT_EQ(platform.shown.size(), 3u) << ::testing::PrintToString(platform.shown);
    // The system's own reason follows, whatever words it uses.
    const std::string& said = platform.shown[0];
    EXPECT_TRUE(Mentions(said, "be saved to " + saved + ".\n\n") && said.size() > said.rfind('\n') + 9) << said;
    EXPECT_TRUE(Mentions(platform.shown[1], "read-only")) << platform.shown[1];
    EXPECT_EQ(platform.shown[2], "The Quillane 0.0.1|The board is empty: there is no pattern to save.");
    EXPECT_EQ(ReadText(saved), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(u8path(folder)), {}), 7);
}

// A failed or declined load is one box naming the file (or asking about its rule) and changes nothing. Of the
// command line's arguments the first loads, and the save dialog then starts at it; of a drop the first file loads.
TEST_F(PatternFiles, AFailedLoadChangesNothingAndEachWayInLoads)
{
    const std::string folder = Folder(), other = folder + "グライダー.rle";
    WriteText(folder + "bad.rle", "x = 3, y = 3\nbo$2b%$3o!");
    WriteText(other, "x = 3, y = 1, rule = B36/S23\n3o!");
    const struct { const char* file; int answer; const char* says; } cases[] = {
        {"bad.rle", IDOK, "could not be loaded.\n\nLine 2, column 6: "},
        {"missing.rle", IDOK, "could not be loaded.\n\n"},
        {"グライダー.rle", IDNO, "This pattern was made for rule B36/S23"}, {"", IDOK, "\n\nIt is a folder, not a file."}};
    PlaceCells(kBlinker);
    ZoomBy(-4);
    Command(IDM_SPEED_200);
    const auto seen = [] { return std::make_tuple(TableCells(), viewport.cellSize, viewport.offsetX, platform.timer); };
    const auto before = seen();
    for (const auto& c : cases) {
        platform.shown.clear();
        platform.answer = c.answer;
        const std::string path = folder + c.file;
        LoadPatternFile(mainWindow, Utf16(path).c_str());
        EXPECT_EQ(seen(), before) << c.file;
        EXPECT_TRUE(platform.shown.size() == 1 && Mentions(platform.shown[0], c.says) &&
                    (c.answer == IDNO || Mentions(platform.shown[0], path)))
            << ::testing::PrintToString(platform.shown);
    }
    const std::vector<Cell> row = {{0, 0}, {1, 0}, {2, 0}};
    platform.answer = IDYES;
    LoadPatternFile(mainWindow, Utf16(other).c_str());
    PressKey(VK_LEFT);  // the load undone shows the old board as it was seen
    EXPECT_EQ(seen(), std::make_tuple(kBlinker, 11, std::get<2>(before), 0u));
    ClearCells();
    LoadCommandLinePattern(mainWindow, Utf16("Quillane.exe \"" + other + "\" \"" + folder + "missing.rle\"").c_str());
    EXPECT_EQ(TableCells(), row);
    Command(IDM_PATTERN_SAVE);  // and cancel
    EXPECT_EQ(platform.offeredPath, other);
    EXPECT_EQ(std::make_tuple(platform.timer, viewport.cellSize, CellColour(2, 0)), std::make_tuple(0u, 15, kLive));
    const std::wstring names = Utf16(other + '\0' + folder + "missing.rle" + '\0' + '\0');
    auto* drop = static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + names.size() * sizeof(wchar_t)));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    ClearCells();
    Deliver(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(TableCells(), row);
}

// Each item loads its pattern; the board joins the list under its count (an empty one does not), as an RLE file in
// the settings folder, and is there again in the next window, after the built-in ones in the order added, until
// it is removed (asked first). Ctrl+C leaves
// the board and puts it on the clipboard as RLE text with the system's line ends (an empty board leaves the
// clipboard as it was); Ctrl+V brings it back, and reads wide text as such. A clipboard another program holds
// refuses a copy with a box naming what was copied, and then Ctrl+X keeps the cells.
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
    for (int i = 2; i < GetMenuItemCount(common) && GetMenuItemID(common, i) != 0; ++i) {
        char label[100] = "";
        GetMenuStringA(common, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
        Command(static_cast<int>(GetMenuItemID(common, i)));
        loaded += std::string(label) + " " + std::to_string(count) + ", ";
    }
    EXPECT_EQ(loaded, "Glider 5, Lightweight spaceship 9, Blinker 3, Pulsar 48, Pentadecathlon 12, "
                      "Gosper glider gun 36, R-pentomino 5, Acorn 7, Diehard 7, Pattern 1 (3 cells) 3, ");
    const std::string kept = Utf8(SettingsFolder()) + "Patterns\\";
    EXPECT_EQ(ReadText(kept + "0001 Pattern 1 (3 cells).rle"), "#N Pattern 1 (3 cells)\n#CXRLE Pos=-3,8\n"
                                                                 "x = 44, y = 2, rule = B3/S23\n2o$43bo!\n");
    PlaceCells(kBlinker);
    Command(IDM_PATTERN_ADD_CURRENT);
    // A user's own file, unnumbered, comes last; its & is a character, not a mnemonic.
    WriteText(kept + "cut & copied.rle", "bo$2bo$3o!");
    Deliver(WM_CLOSE);
    CloseMainWindow();
    OpenMainWindow(true);
    const auto labels = [&] {
        Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(common));
        std::string all;
        for (int i = 11; i < GetMenuItemCount(common); ++i) {
            char label[100] = "";
            GetMenuStringA(common, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
            all += std::string(label) + "|";
        }
        return all;
    };
    EXPECT_EQ(labels(), "Pattern 1 (3 cells)|Pattern 2 (3 cells)|cut && copied||Remove from list|");
    HMENU remove = GetSubMenu(common, GetMenuItemCount(common) - 1);
    platform.answer = IDNO;
    Command(static_cast<int>(GetMenuItemID(remove, 0)));
    platform.answer = IDYES;
    Command(static_cast<int>(GetMenuItemID(remove, 0)));
    EXPECT_EQ(platform.shown.size(), 2u);
    PlaceCells(added);
    Command(IDM_PATTERN_ADD_CURRENT);
    Deliver(WM_CLOSE);
    CloseMainWindow();
    OpenMainWindow(true);
    EXPECT_EQ(labels(), "Pattern 2 (3 cells)|Pattern 3 (3 cells)|cut && copied||Remove from list|");
    Command(static_cast<int>(GetMenuItemID(common, 11)));
    EXPECT_EQ(TableCells(), kBlinker);
    PlaceCells(added);
    PressKey('C', {VK_CONTROL});
    EXPECT_EQ(TableCells(), added);  // the random actions seldom hold Ctrl with C on a live board
    OpenClipboard(mainWindow);
    HANDLE data = GetClipboardData(CF_TEXT);
    EXPECT_STREQ(data ? static_cast<const char*>(GlobalLock(data)) : "",
                 "#CXRLE Pos=-3,8\r\nx = 44, y = 2, rule = B3/S23\r\n2o$43bo!\r\n");
    GlobalUnlock(data);
    CloseClipboard();
    HWND holder = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    OpenClipboard(holder);
    PressKey('C', {VK_CONTROL});
    PressKey('A', {VK_CONTROL});
    PressKey('X', {VK_CONTROL});
    CloseClipboard();
    DestroyWindow(holder);
    EXPECT_EQ(TableCells(), added);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_TRUE(Mentions(platform.shown[0], "|The board could not be copied.\n\n")) << platform.shown[0];
    EXPECT_TRUE(Mentions(platform.shown[1], "|The selection could not be copied.\n\n")) << platform.shown[1];
    PressKey('C');
    PressKey('C', {VK_CONTROL});
    PressKey('V', {VK_CONTROL});
    EXPECT_EQ(TableCells(), added);
    const wchar_t wide[] = L"x = 3, y = 1, rule = B36/S23 保\r\n3o!";
    OpenClipboard(mainWindow) && EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memcpy(GlobalAlloc(GPTR, sizeof wide), wide, sizeof wide)) && CloseClipboard();
    platform.answer = IDNO;
    PressKey('V', {VK_CONTROL});
    EXPECT_TRUE(!platform.shown.empty() && Mentions(platform.shown.back(), "rule B36/S23 保;")) << platform.shown.size();
    DestroyMenu(context);
}

}  // namespace
