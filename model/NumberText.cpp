#include "model/NumberText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sheetlift {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The value rounded to 15 significant digits (or to the shortest form that reads back, up to
// 17).
using Decimal15 = Digits15;

// "d.dddddddddddddde+XX" from to_chars: the digits and the exponent of the d.ddd form.
Decimal15 ReadScientific(std::string_view sci) {
    Decimal15 d;
    const std::size_t ePos = sci.find('e');
    d.count = 0;
    for (std::size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.')
            d.digits[d.count++] = sci[i];
    int exp10 = 0;
    for (std::size_t i = ePos + 2; i < sci.size(); ++i)
        exp10 = exp10 * 10 + (sci[i] - '0');
    d.exponent = (sci[ePos + 1] == '-' ? -exp10 : exp10) + 1;
    return d;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233"
    "34353637383940414243444546474849505152535455565758596061626364656667"
    "6869707172737475767778798081828384858687888990919293949596979899";

constexpr double kPow10[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22}; // all exact

// The drawing's coordinates and sizes lie between 1E-7 and 1E15, where the value times a power
// of ten that is exact in a double lands in [1E14, 1E15): rounding that product to an integer
// gives the 15 digits. The product is taken exactly as hi + lo (fma gives the rounding error),
// so the rounding, ties to even included, is that of the exact value, as to_chars rounds.
bool ScaledDigits(double magnitude, Decimal15& d) {
    if (!(magnitude >= 1e-7 && magnitude < 1e15))
        return false;
    // magnitude = f 2^binary with f in [1, 2); e = floor(binary log10 2) + 1 is its decimal
    // exponent or one below it.
    const int binary = int(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
    int e = ((binary * 78913) >> 18) + 1;
    for (;;) {
        const int scale = 15 - e;
        if (scale < 0 || scale > 22)
            return false;
        const double hi = magnitude * kPow10[scale];
        const double lo = std::fma(magnitude, kPow10[scale], -hi);
        double m = std::floor(hi);
        if (m >= 1e15) {
            ++e;
            continue;
        }
        const double frac = hi - m; // exact: hi and m are close and hi's unit is at most 1/8
        if (frac > 0.5 || (frac == 0.5 && (lo > 0 || (lo == 0 && std::fmod(m, 2) != 0))))
            m += 1;
        if (m < 1e14)
            return false; // not with that estimate; should it happen, the slow way is right
        auto digits = std::uint64_t(m);
        if (digits == 1'000'000'000'000'000) { // 999999999999999.5 and up
            digits /= 10;
            ++e;
        }
        // Seven digits, then eight, two at a time.
        auto high = std::uint32_t(digits / 100'000'000);
        auto low = std::uint32_t(digits % 100'000'000);
        for (int i = 13; i >= 7; i -= 2) {
            std::memcpy(d.digits + i, kDigitPairs + 2 * (low % 100), 2);
            low /= 100;
        }
        for (int i = 5; i >= 1; i -= 2) {
            std::memcpy(d.digits + i, kDigitPairs + 2 * (high % 100), 2);
            high /= 100;
        }
        d.digits[0] = char('0' + high);
        d.count = 15;
        d.exponent = e;
        return true;
    }
}

Decimal15 ToDecimal15(double magnitude) {
    Decimal15 d;
    if (!ScaledDigits(magnitude, d)) {
        char buf[40];
        const auto res =
            std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
        d = ReadScientific(std::string_view(buf, std::size_t(res.ptr - buf)));
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

char* Put(char* out, const char* from, std::size_t count) {
    std::memcpy(out, from, count);
    return out + count;
}

// The fewest digits that read back as the same double.
Decimal15 ShortestDecimal(double magnitude) {
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    Decimal15 d = ReadScientific(std::string_view(buf, std::size_t(res.ptr - buf)));
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

// Whole thousandths, the values a drawing meets most (sizes in points times scales like
// 0.75 or 2.5): when the value is the double nearest to m / 1000 for an integer m below 1E15,
// its 15 digits are those of m / 1000 (no 15-digit decimal is lost on its way to a double and
// back), so the text comes straight from m. Nothing when the value is no such number.
char* WriteThousandths(char* out, double magnitude, char sep) {
    if (!(magnitude < 1e12))
        return nullptr;
    const double m = std::nearbyint(magnitude * 1000);
    if (m / 1000 != magnitude)
        return nullptr;
    const auto thousandths = std::uint64_t(m);
    out = std::to_chars(out, out + 16, thousandths / 1000).ptr;
    if (unsigned fraction = unsigned(thousandths % 1000)) {
        *out++ = sep;
        *out++ = char('0' + fraction / 100);
        fraction %= 100;
        if (fraction != 0) {
            *out++ = char('0' + fraction / 10);
            if (fraction % 10 != 0)
                *out++ = char('0' + fraction % 10);
        }
    }
    return out;
}

char* WriteGeneralWith(char* out, double value, char sep, bool shortest = false) {
    if (value == 0 || !std::isfinite(value)) {
        *out++ = '0';
        return out;
    }
    if (value < 0)
        *out++ = '-';
    if (!shortest)
        if (char* end = WriteThousandths(out, std::fabs(value), sep))
            return end;
    const Decimal15 d =
        shortest ? ShortestDecimal(std::fabs(value)) : ToDecimal15(std::fabs(value));
    const int n = d.count, e = d.exponent;
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            *out++ = '0';
            *out++ = sep;
            for (int i = 0; i < -e; ++i)
                *out++ = '0';
            return Put(out, d.digits, std::size_t(n));
        }
        for (int i = 0; i < e; ++i)
            *out++ = i < n ? d.digits[i] : '0';
        if (e < n) {
            *out++ = sep;
            out = Put(out, d.digits + e, std::size_t(n - e));
        }
        return out;
    }
    *out++ = d.digits[0];
    if (n > 1) {
        *out++ = sep;
        out = Put(out, d.digits + 1, std::size_t(n - 1));
    }
    *out++ = 'E';
    const int shown = e - 1;
    if (shown < 0)
        *out++ = '-';
    return std::to_chars(out, out + 4, std::abs(shown)).ptr;
}

void AppendGeneralWith(std::string& out, double value, char sep) {
    char buf[kMaxGeneralLength];
    out.append(buf, std::size_t(WriteGeneralWith(buf, value, sep) - buf));
}

} // namespace

Digits15 SignificantDigits15(double magnitude) {
    return ToDecimal15(magnitude);
}

std::string FormatGeneral(double value, char decimalSeparator) {
    std::string out;
    AppendGeneralWith(out, value, decimalSeparator);
    return out;
}

std::string FormatGeneralExact(double value, char decimalSeparator) {
    std::string out = FormatGeneral(value, decimalSeparator);
    if (ParseNumber(out, decimalSeparator) != value && std::isfinite(value)) {
        char buf[kMaxGeneralLength + 8]; // two more digits, and the fixed form's zeros
        out.assign(buf, WriteGeneralWith(buf, value, decimalSeparator, true));
    }
    return out;
}

void AppendGeneral(std::string& out, double value) {
    AppendGeneralWith(out, value, '.');
}

char* WriteGeneral(char* out, double value) {
    return WriteGeneralWith(out, value, '.');
}

std::string FormatFixed3(double value, char decimalSeparator) {
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 3);
    std::string text(buf, res.ptr);
    if (decimalSeparator != '.')
        if (auto dot = text.find('.'); dot != std::string::npos)
            text[dot] = decimalSeparator;
    return text;
}

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator) {
    text = Trim(text);
    std::string normal;
    std::size_t i = 0;
    const auto digitsAt = [&](std::size_t from) {
        std::size_t k = from;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9')
            ++k;
        return k - from;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            normal += '-';
        ++i;
    }
    const std::size_t intDigits = digitsAt(i);
    normal.append(text.substr(i, intDigits));
    i += intDigits;
    std::size_t fracDigits = 0;
    if (i < text.size() && text[i] == decimalSeparator) {
        ++i;
        fracDigits = digitsAt(i);
        normal += '.';
        normal.append(text.substr(i, fracDigits));
        i += fracDigits;
    }
    if (intDigits + fracDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            normal += text[i++];
        const std::size_t expDigits = digitsAt(i);
        if (expDigits == 0)
            return std::nullopt;
        normal.append(text.substr(i, expDigits));
        i += expDigits;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const auto res = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (res.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace sheetlift
