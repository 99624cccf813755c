// Cell values as Excel displays them through a number format (Range.Text without the "####"
// of a column too narrow for its number).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sheetlift {

// The format text of one of Excel's built-in number formats as a Japanese Excel shows them, or
// "" (General) for an id it does not define.
std::string BuiltinNumberFormat(int id);

// Excel's General format in a cell of standard width: at most 11 characters besides a minus
// sign, switching to the "1.23457E+11" form when the fixed form would not fit or would show
// fewer digits.
std::string FormatGeneralNumber(double value);

// A number format parsed once, for the many cells that share it.
class DisplayFormat {
  public:
    explicit DisplayFormat(std::string_view format);
    // FormatNumber and FormatText below, through this format.
    std::string Number(double value, bool date1904 = false) const;
    std::string Text(std::string_view text) const;

  private:
    struct Parsed;
    std::shared_ptr<const Parsed> parsed_;
};

// `value` through `format` (sections, fixed, thousands, percent, scientific, literals, dates and
// times with the Japanese era forms). A format it does not handle gives the General text.
// `date1904`: the workbook counts days from 1904-01-01.
std::string FormatNumber(double value, std::string_view format, bool date1904 = false);

// The date serial of an ISO 8601 date and time as a cell of type "d" holds it
// ("2023-02-11", "2023-02-11T13:05:00Z", "13:05:00"); the zone is ignored, as Excel ignores
// it. Nothing when the text is no such date or lies before the workbook's first day.
std::optional<double> SerialFromIsoDate(std::string_view text, bool date1904 = false);

// A text value through `format`: its text section ("@") when there is one, else as it stands.
std::string FormatText(std::string_view text, std::string_view format);

} // namespace sheetlift
