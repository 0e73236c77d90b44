#include "settings_file.h"

namespace {

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Tabs aside, a control character is no part of a value anyone wrote: a mangled or binary file.
bool IsReadable(std::string_view text)
{
    for (char c : text) {
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) {
            return false;
        }
    }
    return true;
}

bool IsStorable(std::string_view text, bool name)
{
    return IsReadable(text) && text == Trimmed(text) &&
           (!name || (!text.empty() && text.find_first_of("=[];#") == std::string_view::npos));
}

}  // namespace

Settings ReadSettings(std::string_view text)
{
    Settings settings;
    if (text.size() > kMaxSettingsBytes) {
        return settings;
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::string section;
    bool inSection = false;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            // A mangled header makes the keys under it nobody's, rather than the previous section's.
            const std::string_view name = Trimmed(line.substr(1, line.size() - 2));
            inSection = line.back() == ']' && IsStorable(name, true);
            section = inSection ? std::string(name) : std::string();
            continue;
        }
        const size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trimmed(line.substr(0, equals)), value = Trimmed(line.substr(equals + 1));
        if (IsStorable(key, true) && IsReadable(value) && !FindSetting(settings, section, key)) {
            settings.push_back({section, std::string(key), std::string(value)});
        }
    }
    return settings;
}

std::string WriteSettings(const Settings& settings)
{
    std::string text;
    std::vector<std::string_view> written;
    for (const Setting& first : settings) {
        bool done = false;
        for (std::string_view name : written) {
            done = done || SameName(name, first.section);
        }
        if (done) {
            continue;
        }
        written.push_back(first.section);
        text += (text.empty() ? "[" : "\r\n[") + first.section + "]\r\n";
        for (const Setting& s : settings) {
            if (SameName(s.section, first.section)) {
                text += s.key + "=" + s.value + "\r\n";
            }
        }
    }
    return text;
}

const std::string* FindSetting(const Settings& settings, std::string_view section, std::string_view key)
{
    for (const Setting& s : settings) {
        if (SameName(s.section, section) && SameName(s.key, key)) {
            return &s.value;
        }
    }
    return nullptr;
}

void PutSetting(Settings& settings, std::string_view section, std::string_view key, std::string_view value)
{
    if (!IsStorable(section, true) || !IsStorable(key, true) || !IsStorable(value, false)) {
        return;
    }
    for (Setting& s : settings) {
        if (SameName(s.section, section) && SameName(s.key, key)) {
            s.value = value;
            return;
        }
    }
    settings.push_back({std::string(section), std::string(key), std::string(value)});
}

void RemoveSection(Settings& settings, std::string_view section)
{
    Settings kept;
    for (Setting& s : settings) {
        if (!SameName(s.section, section)) {
            kept.push_back(std::move(s));
        }
    }
    settings.swap(kept);
}

int32_t SettingNumber(const Settings& settings, std::string_view section, std::string_view key, int32_t lowest,
                      int32_t highest, int32_t fallback)
{
    const std::string* text = FindSetting(settings, section, key);
    if (!text || text->empty()) {
        return fallback;
    }
    const bool negative = (*text)[0] == '-';
    const size_t digits = text->size() - negative;
    if (digits == 0 || digits > 10) {
        return fallback;
    }
    int64_t number = 0;
    for (size_t i = negative; i < text->size(); ++i) {
        const char c = (*text)[i];
        if (c < '0' || c > '9') {
            return fallback;
        }
        number = number * 10 + (c - '0');
    }
    number = negative ? -number : number;
    return number >= lowest && number <= highest ? static_cast<int32_t>(number) : fallback;
}
