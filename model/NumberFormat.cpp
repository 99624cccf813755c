#include "model/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sheetlift {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

void AppendGeneralWith(std::string& out, double value, char sep) {
    if (value == 0 || !std::isfinite(value)) {
        out += '0';
        return;
    }
    // 15 significant digits: d.dddddddddddddde±x
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string_view sci(buf, std::size_t(res.ptr - buf));
    const bool negative = sci.front() == '-';
    if (negative)
        sci.remove_prefix(1);
    const std::size_t ePos = sci.find('e');
    int exp10 = 0;
    std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exp10);
    char digits[16];
    std::size_t n = 0;
    for (std::size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.')
            digits[n++] = sci[i];
    while (n > 1 && digits[n - 1] == '0')
        --n;
    const int e = exp10 + 1; // exponent of the 0.d1d2... form
    if (negative)
        out += '-';
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            out += '0';
            out += sep;
            out.append(std::size_t(-e), '0');
            out.append(digits, n);
        } else {
            for (int i = 0; i < e; ++i)
                out += std::size_t(i) < n ? digits[i] : '0';
            if (std::size_t(e) < n) {
                out += sep;
                out.append(digits + e, n - std::size_t(e));
            }
        }
    } else {
        out += digits[0];
        if (n > 1) {
            out += sep;
            out.append(digits + 1, n - 1);
        }
        out += 'E';
        const int shown = e - 1;
        if (shown < 0)
            out += '-';
        out += std::to_string(std::abs(shown));
    }
}

} // namespace

std::string FormatGeneral(double value, char decimalSeparator) {
    std::string out;
    AppendGeneralWith(out, value, decimalSeparator);
    return out;
}

void AppendGeneral(std::string& out, double value) {
    AppendGeneralWith(out, value, '.');
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
