// The scale settings and their settings file (one INI section, "Lumentab").
#pragma once

#include "model/NumberFormat.h"
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

// Reads the file into `settings` (defaults for anything missing or unreadable) and returns
// cellLineDraw.
bool LoadSettings(const std::filesystem::path& path, Settings& settings, NumberLocale locale);

// Writes the nine keys (declareCodepage too once it is on or in the file), keeping every other
// line of an existing file. Atomic: on failure it throws and the previous file is left as it was.
void SaveSettings(const std::filesystem::path& path, const Settings& settings, bool cellLineDraw,
                  NumberLocale locale);

// A key of another section (what the window keeps of itself); none when the file or the key is
// missing or unreadable.
std::optional<std::string> LoadSettingsKey(const std::filesystem::path& path,
                                           std::string_view section, std::string_view key);

// Sets keys of `section`, keeping every other line; atomic like SaveSettings.
void SaveSettingsKeys(const std::filesystem::path& path, std::string_view section,
                      const std::vector<std::pair<std::string, std::string>>& keys);

} // namespace sheetlift
