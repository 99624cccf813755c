// The scale settings and their settings file (one INI section, "Lumentab").
#pragma once

#include "model/NumberFormat.h"
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    std::int32_t xlsVerNum = 16;
    bool declareCodepage = false; // $DWGCODEPAGE ANSI_932 in the drawing, for other readers
};

// The section of the settings file that holds them.
inline constexpr std::string_view kSettingsSection = "Lumentab";

// The nine keys in the order the file is written.
inline constexpr std::array<std::string_view, 9> kSettingKeys = {
    "colXsc", "rowYsc",        "cadXsc",       "cadYsc",   "cadTsc",
    "cadTof", "cellLineColor", "cellLineDraw", "xlsVerNum"};

// Reads the file into `settings` (defaults for anything missing or that does not convert) and
// returns cellLineDraw. A missing file gives the defaults; one that exists but cannot be read
// throws Error, so that saving later cannot replace it.
bool LoadSettings(const std::filesystem::path& path, Settings& settings, NumberLocale locale);

// Writes the nine keys one by one (declareCodepage too once it is on or in the file), keeping
// every other byte of an existing file; an unchanged file is not written. Atomic: on failure it
// throws and the previous file is left as it was.
void SaveSettings(const std::filesystem::path& path, const Settings& settings, bool cellLineDraw,
                  NumberLocale locale);

// The nine keys with their values as the file holds them, in file order.
std::vector<std::pair<std::string, std::string>>
SettingsTexts(const Settings& settings, bool cellLineDraw, NumberLocale locale);

// A value given for one key (its name in any case) as the file holds it: the key's own
// spelling and the value in the file's form. Throws Error for an unknown key or a value that
// does not convert to the key's type.
std::pair<std::string, std::string> SettingText(std::string_view key, std::string_view value,
                                                NumberLocale locale);

} // namespace sheetlift
