#include <random>

#include <gtest/gtest.h>

#include "settings_file.h"

namespace {

const char kWritten[] = "[Window]\r\nLeft=-1200\r\nWidth=800\r\n\r\n[Recent]\r\n1=C:\\Mönster\\a b.rle\r\n";

int32_t Width(const Settings& s) { return SettingNumber(s, "window", "WIDTH", 200, 30000, -1); }

// Written, read back and written again, the text is the same; a value a reader could not take back is not stored.
TEST(SettingsFile, WrittenSettingsReadBackAsTheyWere)
{
    Settings s;
    PutSetting(s, "Window", "Left", "0");
    PutSetting(s, "Recent", "1", "C:\\Mönster\\a b.rle");
    PutSetting(s, "WINDOW", "left", "-1200");
    PutSetting(s, "Window", "Width", "800");
    using namespace std::string_view_literals;
    for (std::string_view bad : {"two\nlines"sv, " padded"sv, "nul\0 byte"sv}) {
        PutSetting(s, "Window", "Top", bad);
    }
    PutSetting(s, "Window", "a=b", "1");
    PutSetting(s, "Win]dow", "Top", "1");
    EXPECT_EQ(WriteSettings(s), kWritten);
    EXPECT_EQ(WriteSettings(ReadSettings(WriteSettings(s))), kWritten);
    RemoveSection(s, "recent");
    EXPECT_EQ(WriteSettings(s), "[Window]\r\nLeft=-1200\r\nWidth=800\r\n");
}

// A hand-edited or damaged file gives what can still be read, and defaults for the rest.
TEST(SettingsFile, AMangledFileGivesWhatItCanAndNumbersOutOfRangeAreIgnored)
{
    const struct { const char* text; int32_t width; } cases[] = {
        {"", -1},
        {"\xEF\xBB\xBF[Window]\nWidth=640", 640},
        {"  [ window ] \r\n\t width =  640  \r\n", 640},
        {"[Window]\rWidth=640\rWidth=700", 640},
        {"; a comment\n# another\n[Window]\nnonsense line\nWidth=640\n", 640},
        {"Width=640\n[Window]", -1},
        {"[Window\nWidth=640", -1},
        {"[View]\n[Window]\n[Other]\nWidth=640", -1},
        {"[Window]\nWidth=6", -1},
        {"[Window]\nWidth=0", -1},
        {"[Window]\nWidth=10000000000", -1},
        {"[Window]\nWidth=-640", -1},
        {"[Window]\nWidth=640px", -1},
        {"[Window]\nWidth=", -1},
        {"[Window]\nWidth=-", -1},
        {"[Window]\nWidth=6\x01" "40", -1},
        {"[Window]\nWidth=64", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Width(ReadSettings(c.text)), c.width) << c.text;
    }
    EXPECT_EQ(SettingNumber(ReadSettings("[A]\nB=-32000"), "A", "B", -30000, 30000, 7), 7);
    EXPECT_EQ(SettingNumber(ReadSettings("[A]\nB=-2147483648"), "A", "B", INT32_MIN, INT32_MAX, 7), INT32_MIN);
    EXPECT_TRUE(ReadSettings(std::string(kMaxSettingsBytes + 1, '\n')).empty());
    // Truncated anywhere, or with bytes overwritten, a file reads without fault (the sanitizers watch) and never
    // gives a setting it did not hold.
    std::mt19937 rng(1);
    for (int round = 0; round < 2000; ++round) {
        std::string text = kWritten;
        text.resize(rng() % (text.size() + 1));
        for (uint32_t edits = rng() % 3; edits > 0 && !text.empty(); --edits) {
            text[rng() % text.size()] = static_cast<char>(rng());
        }
        for (const Setting& s : ReadSettings(text)) {
            EXPECT_EQ(s.value.find_first_of("\r\n"), std::string::npos) << text;
        }
        const int32_t width = Width(ReadSettings(text));
        EXPECT_TRUE(width == -1 || width == 800 || (width >= 200 && width <= 30000)) << text;
    }
}

}  // namespace
