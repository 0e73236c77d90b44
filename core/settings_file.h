// The settings file: INI-style text a person can read and edit. Reading never fails: whatever
// cannot be read is simply absent, and the caller's default stands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Setting {
    std::string section, key, value;
};
// In the file's order; sections and keys are told apart without regard to ASCII case.
using Settings = std::vector<Setting>;

// Anything larger is not a settings file: it is read as empty.
constexpr size_t kMaxSettingsBytes = 1 << 20;

// "[Section]" lines and "key=value" lines, blanks trimmed; comments (';' or '#'), lines of
// neither kind, keys outside any readable section, values holding control characters and a second
// copy of a key are skipped. A UTF-8 byte-order mark and CR, LF or CRLF line ends are accepted.
Settings ReadSettings(std::string_view text);
// Sections in their first appearance's order, CRLF line ends, so Notepad shows it as written.
std::string WriteSettings(const Settings& settings);

// The value, or null when absent.
const std::string* FindSetting(const Settings& settings, std::string_view section, std::string_view key);
// Replaces the value, or adds the key at the end of its section. Names and values that could not
// be read back as written (line breaks, '=' or ']' in a name, blanks at the ends) are not stored.
void PutSetting(Settings& settings, std::string_view section, std::string_view key, std::string_view value);
void RemoveSection(Settings& settings, std::string_view section);
// A whole decimal number from `lowest` to `highest`; otherwise `fallback`.
int32_t SettingNumber(const Settings& settings, std::string_view section, std::string_view key, int32_t lowest,
                      int32_t highest, int32_t fallback);
