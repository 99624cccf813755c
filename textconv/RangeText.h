// The grid's range text commands, without a window.
#pragma once

#include "model/TextGrid.h"

#include <string>
#include <string_view>

namespace sheetlift {

using TextRoutine = std::string (*)(std::string_view);

// Applies `routine` to every non-empty text in the rectangle, row by row.
void ConvertRange(TextGrid& texts, const GridRect& rect, TextRoutine routine);

// Replaces the first occurrence of `search` in every non-empty text of the rectangle and
// returns how many non-empty texts were visited.
int ReplaceFirstInRange(TextGrid& texts, const GridRect& rect, std::string_view search,
                        std::string_view replacement);

// The rectangle's texts as spreadsheets copy them: cells separated by tabs, rows ended by line
// feeds; a text holding a tab, line break or double quote is quoted with its quotes doubled.
std::string RangeAsTabText(const TextGrid& texts, const GridRect& rect);

} // namespace sheetlift
