// Dates and times as Excel shows them through a format: the civil calendar with Excel's 1900
// leap day, the Japanese eras, and the ISO dates that cells of type "d" hold.
#include "excel/CellFormat.h"
#include "excel/FormatSection.h"

#include <array>
#include <charconv>
#include <cmath>
#include <tuple>

namespace sheetlift {

namespace format {

namespace {

struct Era {
    int year, month, day;
    const char* letter;
    const char* name;
    const char* first;
};

constexpr std::array<Era, 5> kEras{{{2019, 5, 1, "R", "令和", "令"},
                                    {1989, 1, 8, "H", "平成", "平"},
                                    {1926, 12, 25, "S", "昭和", "昭"},
                                    {1912, 7, 30, "T", "大正", "大"},
                                    {1868, 9, 8, "M", "明治", "明"}}};

constexpr std::array<const char*, 12> kMonths{"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kWeekdays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 7> kWeekdaysJa{"日", "月", "火", "水", "木", "金", "土"};

struct DateTime {
    int year, month, day, weekday, hour, minute, second;
    double subsecond; // fraction of a second, already rounded to what is shown
    long long totalSeconds;
};

// Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::optional<DateTime> ToDateTime(double serial, bool date1904, int subsecondDigits) {
    if (date1904)
        serial += 1462;
    if (!(serial >= 0 && serial < 2958466)) // Excel shows "#####" outside 1900-01-00..9999-12-31
        return std::nullopt;
    const double unit = std::pow(10.0, subsecondDigits);
    const long long ticks = std::llround(serial * 86400.0 * unit);
    const long long perDay = 86400LL * (long long)unit;
    const long long days = ticks / perDay;
    const long long inDay = ticks % perDay;
    DateTime t{};
    t.totalSeconds = ticks / (long long)unit;
    t.subsecond = double(ticks % (long long)unit) / unit;
    const long long seconds = inDay / (long long)unit;
    t.hour = int(seconds / 3600);
    t.minute = int(seconds / 60 % 60);
    t.second = int(seconds % 60);
    // Day 0 is "1900-01-00" and day 60 the 1900-02-29 that Lotus counted; Excel keeps both.
    if (days == 0) {
        t.year = 1900, t.month = 1, t.day = 0;
    } else if (days == 60) {
        t.year = 1900, t.month = 2, t.day = 29;
    } else {
        CivilFromDays(days - (days > 60 ? 25569 : 25568), t.year, t.month, t.day);
    }
    t.weekday = int((days + 6) % 7); // day 1 (1900-01-01) counts as a Sunday, as in Excel
    return t;
}

std::string Pad2(long long n) {
    char buffer[24];
    char* end = buffer;
    if (n >= 0 && n < 10)
        *end++ = '0';
    end = std::to_chars(end, buffer + sizeof buffer, n).ptr;
    return std::string(buffer, end);
}

} // namespace

std::optional<std::string> RenderDate(double value, const Section& section, bool date1904) {
    const auto& tokens = section.tokens;
    int subsecondDigits = 0;
    bool twelveHour = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == Kind::AmPm)
            twelveHour = true;
        if (tokens[i].kind == Kind::Point)
            for (std::size_t k = i + 1; k < tokens.size() && tokens[k].kind == Kind::Digit; ++k)
                ++subsecondDigits;
    }
    subsecondDigits = std::min(subsecondDigits, 3);
    const auto t = ToDateTime(value, date1904, subsecondDigits);
    if (!t)
        return std::nullopt;
    const Era* era = nullptr;
    for (const Era& e : kEras)
        if (std::tie(t->year, t->month, t->day) >= std::tie(e.year, e.month, e.day)) {
            era = &e;
            break;
        }
    // "m" means minutes right after an hour or right before a second.
    auto isMinute = [&](std::size_t i) {
        for (std::size_t k = i; k-- > 0;)
            if (tokens[k].kind == Kind::Date || tokens[k].kind == Kind::Elapsed)
                return tokens[k].letter == 'h';
        return false;
    };
    auto beforeSecond = [&](std::size_t i) {
        for (std::size_t k = i + 1; k < tokens.size(); ++k)
            if (tokens[k].kind == Kind::Date || tokens[k].kind == Kind::Elapsed)
                return tokens[k].letter == 's';
        return false;
    };
    std::string out;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        const int count = token.count;
        switch (token.kind) {
        case Kind::Literal:
        case Kind::Comma:
        case Kind::Percent:
            out += token.text;
            break;
        case Kind::Point:
            out += '.';
            if (subsecondDigits > 0) {
                char buffer[16];
                const auto end = std::to_chars(buffer, buffer + sizeof buffer, t->subsecond,
                                               std::chars_format::fixed, subsecondDigits)
                                     .ptr;
                out.append(buffer + 2, end);
                while (i + 1 < tokens.size() && tokens[i + 1].kind == Kind::Digit)
                    ++i;
            }
            break;
        case Kind::AmPm:
            if (section.japanese)
                out += t->hour < 12 ? "午前" : "午後";
            else if (token.text == "A/P")
                out += t->hour < 12 ? "A" : "P";
            else
                out += t->hour < 12 ? "AM" : "PM";
            break;
        case Kind::Elapsed: {
            const long long total = token.letter == 'h'   ? t->totalSeconds / 3600
                                    : token.letter == 'm' ? t->totalSeconds / 60
                                                          : t->totalSeconds;
            out += count >= 2 ? Pad2(total) : std::to_string(total);
            break;
        }
        case Kind::Date:
            switch (token.letter) {
            case 'y':
                out += count <= 2 ? Pad2(t->year % 100) : std::to_string(t->year);
                break;
            case 'm':
                if (count <= 2 && (isMinute(i) || beforeSecond(i)))
                    out += count == 2 ? Pad2(t->minute) : std::to_string(t->minute);
                else if (count <= 2)
                    out += count == 2 ? Pad2(t->month) : std::to_string(t->month);
                else if (count == 3)
                    out += std::string(kMonths[t->month - 1]).substr(0, 3);
                else if (count == 4)
                    out += kMonths[t->month - 1];
                else
                    out += kMonths[t->month - 1][0];
                break;
            case 'd':
                if (count <= 2)
                    out += count == 2 ? Pad2(t->day) : std::to_string(t->day);
                else
                    out += count == 3 ? std::string(kWeekdays[t->weekday]).substr(0, 3)
                                      : kWeekdays[t->weekday];
                break;
            case 'a':
                out += kWeekdaysJa[t->weekday];
                if (count >= 4)
                    out += "曜日";
                break;
            case 'h': {
                int hour = t->hour;
                if (twelveHour)
                    hour = hour % 12 == 0 ? 12 : hour % 12;
                out += count >= 2 ? Pad2(hour) : std::to_string(hour);
                break;
            }
            case 's':
                out += count >= 2 ? Pad2(t->second) : std::to_string(t->second);
                break;
            case 'e':
                if (!era)
                    return std::nullopt;
                out += count >= 2 ? Pad2(t->year - era->year + 1)
                                  : std::to_string(t->year - era->year + 1);
                break;
            case 'g':
                if (!era)
                    return std::nullopt;
                out += count == 1 ? era->letter : count == 2 ? era->first : era->name;
                break;
            }
            break;
        default:
            return std::nullopt; // digits, "@" or an exponent among date parts
        }
    }
    return out;
}

} // namespace format

namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A decimal integer of at most `width` characters (a sign counts, leading blanks do not) at
// `at`, which it advances: what scanf's "%2d" reads, without the C library.
bool ScanInt(std::string_view text, std::size_t& at, std::size_t width, int& value) {
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    std::size_t end = at;
    const bool negative = end < text.size() && text[end] == '-';
    if (end < text.size() && (text[end] == '-' || text[end] == '+'))
        ++end;
    const std::size_t digitsFrom = end;
    while (end < text.size() && end - at < width && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == digitsFrom)
        return false;
    value = 0;
    for (std::size_t i = digitsFrom; i < end; ++i)
        value = value * 10 + (text[i] - '0');
    if (negative)
        value = -value;
    at = end;
    return true;
}

bool ScanChar(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

} // namespace

std::optional<double> SerialFromIsoDate(std::string_view text, bool date1904) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    std::size_t at = 0;
    const bool hasDate = ScanInt(text, at, 4, year) && ScanChar(text, at, '-') &&
                         ScanInt(text, at, 2, month) && ScanChar(text, at, '-') &&
                         ScanInt(text, at, 2, day);
    std::size_t time = 0;
    if (hasDate) {
        if (month < 1 || month > 12 || day < 1 || day > 31)
            return std::nullopt;
        time = at;
        if (time < text.size() && text[time] == 'T')
            ++time;
    }
    const char next = time < text.size() ? text[time] : '\0';
    if (next && next != 'Z' && next != '+' && next != '-') {
        at = time;
        if (!(ScanInt(text, at, 2, hour) && ScanChar(text, at, ':') &&
              ScanInt(text, at, 2, minute)) ||
            hour > 24 || minute > 59 || hour < 0 || minute < 0)
            return std::nullopt;
        if (ScanChar(text, at, ':')) {
            while (at < text.size() && IsBlank(text[at]))
                ++at;
            if (at < text.size() && text[at] == '+')
                ++at;
            const auto read = std::from_chars(text.data() + at, text.data() + text.size(), second);
            if (read.ec != std::errc() || !(second >= 0) || second >= 61)
                return std::nullopt;
        }
    } else if (!hasDate) {
        return std::nullopt;
    }
    double days = 0;
    if (hasDate) {
        // Serial 1 is 1900-01-01 and 60 the 1900-02-29 that Excel counts; 1904 workbooks
        // count from 1904-01-01.
        const long long civil = format::DaysFromCivil(year, month, day);
        days = double(date1904 ? civil - format::DaysFromCivil(1904, 1, 1)
                               : civil - format::DaysFromCivil(1899, 12, 30));
        if (!date1904 && days < 61)
            --days;
        if (days < (date1904 ? 0 : 1))
            return std::nullopt;
    }
    return days + (hour * 3600 + minute * 60 + second) / 86400;
}

} // namespace sheetlift
