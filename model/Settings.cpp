#include "model/Settings.h"

#include "model/Error.h"
#include "model/Profile.h"

#include <algorithm>
#include <cctype>

namespace sheetlift {

namespace {

double ReadDouble(const ProfileFile& file, std::string_view key, double fallback,
                  NumberLocale locale) {
    const auto text = file.Get(kSettingsSection, key);
    if (!text)
        return fallback;
    return ParseNumber(*text, locale.decimalSeparator).value_or(fallback);
}

int ReadInt(const ProfileFile& file, std::string_view key, int fallback) {
    const auto text = file.Get(kSettingsSection, key);
    if (!text)
        return fallback;
    return ParseInteger(*text).value_or(fallback);
}

bool IsIntegerKey(std::string_view key) {
    return key == "cellLineColor" || key == "cellLineDraw" || key == "xlsVerNum";
}

} // namespace

bool LoadSettings(const std::filesystem::path& path, Settings& settings, NumberLocale locale) {
    const ProfileFile file(path);
    const Settings defaults;
    settings.colXsc = ReadDouble(file, "colXsc", defaults.colXsc, locale);
    settings.rowYsc = ReadDouble(file, "rowYsc", defaults.rowYsc, locale);
    settings.cadXsc = ReadDouble(file, "cadXsc", defaults.cadXsc, locale);
    settings.cadYsc = ReadDouble(file, "cadYsc", defaults.cadYsc, locale);
    settings.cadTsc = ReadDouble(file, "cadTsc", defaults.cadTsc, locale);
    settings.cadTof = ReadDouble(file, "cadTof", defaults.cadTof, locale);
    settings.cellLineColor = ReadInt(file, "cellLineColor", defaults.cellLineColor);
    // Any non-zero integer, and anything that is not an integer, means checked.
    const bool cellLineDraw = ReadInt(file, "cellLineDraw", 1) != 0;
    settings.xlsVerNum = ReadInt(file, "xlsVerNum", defaults.xlsVerNum);
    settings.declareCodepage = ReadInt(file, "declareCodepage", 0) != 0;
    return cellLineDraw;
}

std::vector<std::pair<std::string, std::string>>
SettingsTexts(const Settings& settings, bool cellLineDraw, NumberLocale locale) {
    const char sep = locale.decimalSeparator;
    return {
        {"colXsc", FormatGeneralExact(settings.colXsc, sep)},
        {"rowYsc", FormatGeneralExact(settings.rowYsc, sep)},
        {"cadXsc", FormatGeneralExact(settings.cadXsc, sep)},
        {"cadYsc", FormatGeneralExact(settings.cadYsc, sep)},
        {"cadTsc", FormatGeneralExact(settings.cadTsc, sep)},
        {"cadTof", FormatGeneralExact(settings.cadTof, sep)},
        {"cellLineColor", std::to_string(settings.cellLineColor)},
        {"cellLineDraw", cellLineDraw ? "1" : "0"},
        {"xlsVerNum", std::to_string(settings.xlsVerNum)},
    };
}

void SaveSettings(const std::filesystem::path& path, const Settings& settings, bool cellLineDraw,
                  NumberLocale locale) {
    ProfileFile file(path);
    for (const auto& [key, value] : SettingsTexts(settings, cellLineDraw, locale))
        file.Set(kSettingsSection, key, value);
    // Left out until it is first set, so a file for IJCAD keeps the keys it always had.
    if (settings.declareCodepage || file.Get(kSettingsSection, "declareCodepage"))
        file.Set(kSettingsSection, "declareCodepage", settings.declareCodepage ? "1" : "0");
    file.Save();
}

std::pair<std::string, std::string> SettingText(std::string_view key, std::string_view value,
                                                NumberLocale locale) {
    const auto known = std::find_if(kSettingKeys.begin(), kSettingKeys.end(), [&](auto name) {
        return std::equal(
            name.begin(), name.end(), key.begin(), key.end(),
            [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
    });
    if (known == kSettingKeys.end())
        throw Error(ErrorCode::SettingUnknownKey, {std::string(key)});
    const std::string name(*known);
    if (IsIntegerKey(name)) {
        const auto number = ParseInteger(value);
        if (!number)
            throw Error(ErrorCode::SettingNotInteger, {name, std::string(value)});
        return {name, std::to_string(*number)};
    }
    const auto number = ParseNumber(value, locale.decimalSeparator);
    if (!number)
        throw Error(ErrorCode::SettingNotNumber, {name, std::string(value)});
    return {name, FormatGeneralExact(*number, locale.decimalSeparator)};
}

} // namespace sheetlift
