#include <filesystem>
#include <fstream>

#include "pattern_commands.h"
#include "recent_files.h"
#include "settings.h"
#include "wide_text.h"
#include "window_harness.h"

namespace {

using std::filesystem::u8path;

RECT WindowRect()
{
    RECT r;
    GetWindowRect(mainWindow, &r);
    return r;
}

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void Reopen()
{
    Deliver(WM_CLOSE);
    CloseMainWindow();
    OpenMainWindow(true);
}

// The File menu's labels from its first separator on, as it opens.
std::vector<std::string> FileMenu()
{
    HMENU file = GetSubMenu(GetMenu(mainWindow), 0);
    Deliver(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file));
    std::vector<std::string> labels;
    for (int i = 2; i < GetMenuItemCount(file); ++i) {
        wchar_t label[200] = L"";
        GetMenuStringW(file, static_cast<UINT>(i), label, 200, MF_BYPOSITION);
        labels.push_back(Utf8(label));
    }
    return labels;
}

bool Labels(const std::string& label, const char* start, const char* end)
{
    const size_t length = strlen(end);
    return label.rfind(start, 0) == 0 && label.size() >= length && label.substr(label.size() - length) == end &&
           label.find("Neu && M") != std::string::npos;
}

using KeptSettings = MainWindowTest;

// The window's place, the speed chosen (not started) and the cell size come back in the next window; kept values
// that no window could have, and a mangled or binary file, give the first start's instead, with no box.
TEST_F(KeptSettings, ThePlaceSpeedAndCellSizeComeBackAndUnsoundOnesGiveTheFirstStart)
{
    const RECT first = WindowRect();
    EXPECT_FALSE(std::filesystem::exists(u8path(Utf8(SettingsFolder()))));
    SetWindowPos(mainWindow, nullptr, 37, 41, 640, 480, SWP_NOZORDER);
    Command(IDM_SPEED_200);
    Command(IDM_STOP);
    ZoomBy(+4);
    Reopen();
    EXPECT_TRUE((WindowRect() == RECT{37, 41, 37 + 640, 41 + 480}));
    EXPECT_EQ(std::make_tuple(viewport.cellSize, viewport.offsetX, platform.timer), std::make_tuple(19, 0, 0u));
    Command(IDM_PLAY);
    EXPECT_EQ(platform.timer, 200u);
    Command(IDM_SPEED_FASTEST);
    Reopen();
    EXPECT_FALSE(IsRunning());
    Command(IDM_PLAY);
    EXPECT_TRUE(IsFastest());
    Command(IDM_STOP);
    const char* unsound[] = {
        "[Window]\r\nLeft=-32000\r\nTop=-32000\r\nWidth=640\r\nHeight=480\r\n[View]\r\nCellSize=10000\r\n"
        "[Run]\r\nSpeed=7\r\n",
        "[Window]\nLeft=10\nTop=10\nWidth=1\nHeight=480\n[View]\nCellSize=0\n[Run]\nSpeed=fast\n",
        "[Window]\nLeft=30000\nTop=10\nWidth=640\nHeight=480\n[View]\nCellSize=\n[Recent]\n1=\n",
        "\x01\x02[Window]\nLeft=37\x7f\n\xff\xfe"};
    for (const char* text : unsound) {
        std::ofstream(u8path(Utf8(SettingsFolder()) + "settings.ini"), std::ios::binary) << text;
        CloseMainWindow();
        OpenMainWindow(true);
        Command(IDM_PLAY);
        EXPECT_EQ(std::make_tuple(WindowRect() == first, viewport.cellSize, platform.timer, platform.shown.size(),
                                  FileMenu()),
                  std::make_tuple(true, 15, 50u, size_t(0), std::vector<std::string>{"", "Quit"})) << text;
    }
}

// Files opened (by the dialog, a drop or the command line) or saved head the File menu, eight at most, numbered,
// a long path cut in its middle; the dialogs start in the last one's folder, in the next window too. An item loads
// its file; one that is gone is said so once and leaves the list.
TEST_F(KeptSettings, RecentFilesAreListedAboveQuitAndOneThatIsGoneLeavesTheList)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / u8path("Neu & Mönster");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    const std::string base = folder.u8string() + "\\";
    for (int i = 1; i <= 9; ++i) {
        std::ofstream(u8path(base + std::to_string(i) + ".rle")) << std::string(i, 'o') << "!";
        LoadPatternFile(mainWindow, Utf16(base + std::to_string(i) + ".rle").c_str());
    }
    PlaceCells(kBlinker);
    platform.chosenPath = base + "saved.rle";
    Command(IDM_FILE_SAVE_PATTERN);
    Reopen();
    std::vector<std::string> menu = FileMenu();
    ASSERT_EQ(menu.size(), 11u);
    EXPECT_TRUE(Labels(menu[1], "&1 ", "\\saved.rle") && Labels(menu[2], "&2 ", "\\9.rle") &&
                Labels(menu[8], "&8 ", "\\3.rle") && menu[9].empty() && menu[10] == "Quit")
        << ::testing::PrintToString(menu);
    Command(IDM_FILE_LOAD_PATTERN);
    EXPECT_EQ(platform.offeredFolder, base);
    std::filesystem::remove(u8path(base + "9.rle"));
    Command(kFirstRecentFileId + 1);
    Command(kFirstRecentFileId + 1);
    EXPECT_EQ(count, 8);  // 8.rle, now second
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0], "The Quillane 0.0.1|The file " + base + "9.rle is no longer there. It has been taken "
                                 "off the list of recent files.");
    menu = FileMenu();
    EXPECT_TRUE(menu.size() == 10 && Labels(menu[1], "&1 ", "\\8.rle") && Labels(menu[2], "&2 ", "\\saved.rle"))
        << ::testing::PrintToString(menu);
    EXPECT_EQ(ShortenedPath(L"C:\\Users\\someone\\Documents\\Life patterns\\oscillators\\period 3\\pulsar.rle", 60),
              L"C:\\Users\\...\\Life patterns\\oscillators\\period 3\\pulsar.rle");
    EXPECT_EQ(ShortenedPath(L"C:\\" + std::wstring(70, L'a') + L".rle", 20), L"C:\\aaaaa...aaaaa.rle");
}

}  // namespace
