#include "model/Settings.h"

#include "model/Error.h"
#include "model/FileIO.h"

// Keys and values are taken as bytes: the file may be UTF-8 or an old ANSI one.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace sheetlift {

namespace {

constexpr const char* kSection = "Lumentab";

double ReadDouble(const CSimpleIniA& ini, const char* key, double fallback, NumberLocale locale) {
    const char* text = ini.GetValue(kSection, key, nullptr);
    if (!text)
        return fallback;
    return ParseNumber(text, locale.decimalSeparator).value_or(fallback);
}

int ReadInt(const CSimpleIniA& ini, const char* key, int fallback) {
    const char* text = ini.GetValue(kSection, key, nullptr);
    if (!text)
        return fallback;
    return ParseInteger(text).value_or(fallback);
}

void LoadInto(CSimpleIniA& ini, const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return;
    const std::string data = ReadWholeFile(path);
    if (ini.LoadData(data.data(), data.size()) < 0)
        throw Error("Cannot read the settings file \"" + DisplayPath(path) + "\": out of memory");
}

} // namespace

bool LoadSettings(const std::filesystem::path& path, Settings& settings, NumberLocale locale) {
    CSimpleIniA ini;
    const Settings defaults;
    try {
        LoadInto(ini, path);
    } catch (const Error&) {
        // An unreadable file counts as a missing one: the defaults, silently.
        ini.Reset();
    }
    settings.colXsc = ReadDouble(ini, "colXsc", defaults.colXsc, locale);
    settings.rowYsc = ReadDouble(ini, "rowYsc", defaults.rowYsc, locale);
    settings.cadXsc = ReadDouble(ini, "cadXsc", defaults.cadXsc, locale);
    settings.cadYsc = ReadDouble(ini, "cadYsc", defaults.cadYsc, locale);
    settings.cadTsc = ReadDouble(ini, "cadTsc", defaults.cadTsc, locale);
    settings.cadTof = ReadDouble(ini, "cadTof", defaults.cadTof, locale);
    settings.cellLineColor = ReadInt(ini, "cellLineColor", defaults.cellLineColor);
    // Any non-zero integer, and anything that is not an integer, means checked.
    const bool cellLineDraw = ReadInt(ini, "cellLineDraw", 1) != 0;
    settings.xlsVerNum = ReadInt(ini, "xlsVerNum", defaults.xlsVerNum);
    settings.declareCodepage = ReadInt(ini, "declareCodepage", 0) != 0;
    return cellLineDraw;
}

void SaveSettings(const std::filesystem::path& path, const Settings& settings, bool cellLineDraw,
                  NumberLocale locale) {
    CSimpleIniA ini;
    ini.SetSpaces(false);
    LoadInto(ini, path); // keep other sections, keys and comments
    const auto put = [&](const char* key, const std::string& value) {
        ini.SetValue(kSection, key, value.c_str());
    };
    const char sep = locale.decimalSeparator;
    put("colXsc", FormatGeneral(settings.colXsc, sep));
    put("rowYsc", FormatGeneral(settings.rowYsc, sep));
    put("cadXsc", FormatGeneral(settings.cadXsc, sep));
    put("cadYsc", FormatGeneral(settings.cadYsc, sep));
    put("cadTsc", FormatGeneral(settings.cadTsc, sep));
    put("cadTof", FormatGeneral(settings.cadTof, sep));
    put("cellLineColor", std::to_string(settings.cellLineColor));
    put("cellLineDraw", cellLineDraw ? "1" : "0");
    put("xlsVerNum", std::to_string(settings.xlsVerNum));
    // Left out until it is first set, so a file for IJCAD keeps the keys it always had.
    if (settings.declareCodepage || ini.GetValue(kSection, "declareCodepage", nullptr))
        put("declareCodepage", settings.declareCodepage ? "1" : "0");
    std::string data;
    if (ini.Save(data, false) < 0)
        throw Error("Cannot write the settings file \"" + DisplayPath(path) + "\": out of memory");
    WriteFileAtomic(path, data);
}

std::optional<std::string> LoadSettingsKey(const std::filesystem::path& path,
                                           std::string_view section, std::string_view key) {
    CSimpleIniA ini;
    try {
        LoadInto(ini, path);
    } catch (const Error&) {
        return std::nullopt;
    }
    const char* value = ini.GetValue(std::string(section).c_str(), std::string(key).c_str());
    if (!value)
        return std::nullopt;
    return std::string(value);
}

void SaveSettingsKeys(const std::filesystem::path& path, std::string_view section,
                      const std::vector<std::pair<std::string, std::string>>& keys) {
    CSimpleIniA ini;
    ini.SetSpaces(false);
    LoadInto(ini, path);
    for (const auto& [key, value] : keys)
        ini.SetValue(std::string(section).c_str(), key.c_str(), value.c_str());
    std::string data;
    if (ini.Save(data, false) < 0)
        throw Error("Cannot write the settings file \"" + DisplayPath(path) + "\": out of memory");
    WriteFileAtomic(path, data);
}

} // namespace sheetlift
