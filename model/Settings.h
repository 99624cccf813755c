// The scale settings and their settings file (one INI section, "Lumentab").
#pragma once

#include "model/NumberText.h"
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace sheetlift {

struct Settings {
    double colXsc = 20;   // grid pixels per unit of column width
    double rowYsc = 3;    // grid pixels per point of row height
    double cadXsc = 3;    // drawing units per unit of column width
    double cadYsc = 0.43; // drawing units per point of row height
    double cadTsc = 0.27; // drawing text height per point of font size
    double cadTof = 0.8;  // text inset from the cell edge, in text heights
    std::int32_t cellLineColor = 252;
    bool cellLineDraw = true; // the cell grid lines are drawn
    std::int32_t xlsVerNum = 16;
    bool declareCodepage = false; // $DWGCODEPAGE ANSI_932 in the drawing, for other readers
};

// The section of the settings file that holds them.
inline constexpr std::string_view kSettingsSection = "Lumentab";

// One key of the settings file. Its type is the member's: a number, a whole number, a flag
// (written 1 or 0; any whole number other than 0 reads as on). A value that does not
// convert reads as the member's default (Settings{}).
struct SettingKey {
    std::string_view name;
    std::variant<double Settings::*, std::int32_t Settings::*, bool Settings::*> member;
    // Always: every save writes it. OnceChanged: written only once it differs from its default
    // or stands in the file, so a file for IJCAD keeps the keys it always had.
    enum Write : std::uint8_t { Always, OnceChanged } write;
};

// Every key, in the order a new file gets them.
inline constexpr std::array<SettingKey, 10> kSettingKeys = {{
    {"colXsc", &Settings::colXsc, SettingKey::Always},
    {"rowYsc", &Settings::rowYsc, SettingKey::Always},
    {"cadXsc", &Settings::cadXsc, SettingKey::Always},
    {"cadYsc", &Settings::cadYsc, SettingKey::Always},
    {"cadTsc", &Settings::cadTsc, SettingKey::Always},
    {"cadTof", &Settings::cadTof, SettingKey::Always},
    {"cellLineColor", &Settings::cellLineColor, SettingKey::Always},
    {"cellLineDraw", &Settings::cellLineDraw, SettingKey::Always},
    {"xlsVerNum", &Settings::xlsVerNum, SettingKey::Always},
    {"declareCodepage", &Settings::declareCodepage, SettingKey::OnceChanged},
}};

// The key of that name in any case; nothing for an unknown name.
const SettingKey* FindSettingKey(std::string_view name);

// Reads the file into `settings` (defaults for anything missing or that does not convert). A
// missing file gives the defaults; one that exists but cannot be read throws Error, so that
// saving later cannot replace it.
void LoadSettings(const std::filesystem::path& path, Settings& settings, NumberLocale locale);

// Writes the keys one by one as kSettingKeys says, keeping every other byte of an existing
// file; an unchanged file is not written. Atomic: on failure it throws and the previous file is
// left as it was.
void SaveSettings(const std::filesystem::path& path, const Settings& settings, NumberLocale locale);

// Every key with its value as the file holds it, in the table's order.
std::vector<std::pair<std::string, std::string>> SettingsTexts(const Settings& settings,
                                                               NumberLocale locale);

// A value given for one key (its name in any case) as the file holds it: the key's own
// spelling and the value in the file's form. Throws Error for an unknown key or a value that
// does not convert to the key's type.
std::pair<std::string, std::string> SettingText(std::string_view key, std::string_view value,
                                                NumberLocale locale);

} // namespace sheetlift
