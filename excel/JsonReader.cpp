#include "excel/JsonReader.h"

#include "model/Error.h"
#include "textconv/Utf8.h"

#include <array>
#include <charconv>
#include <cstring>

namespace sheetlift {

namespace {

// What a byte means inside a string.
enum ByteClass : std::uint8_t {
    kPlain,
    kQuote,
    kBackslash,
    kControl,
    kLead2, // the first byte of a UTF-8 sequence of 2, 3 or 4 bytes
    kLead3,
    kLead4,
    kInvalid // a continuation byte where a character starts, or a byte UTF-8 never uses
};

constexpr std::array<std::uint8_t, 256> kClass = [] {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = c < 0x20    ? kControl
                   : c == '"'  ? kQuote
                   : c == '\\' ? kBackslash
                   : c < 0x80  ? kPlain
                   : c < 0xC2  ? kInvalid
                   : c < 0xE0  ? kLead2
                   : c < 0xF0  ? kLead3
                   : c < 0xF5  ? kLead4
                               : kInvalid;
    return table;
}();

// Whether none of the eight bytes at p is a quote, a backslash, a control or above 0x7F: one
// test for the common run of a text.
bool PlainEight(const char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    const std::uint64_t quote = w ^ (kOnes * '"');
    const std::uint64_t backslash = w ^ (kOnes * '\\');
    // (x - 0x0101...) & ~x sets the top bit of a byte that is 0 in x (less than 0x20 with
    // 0x2020...)
    const std::uint64_t special = ((quote - kOnes) & ~quote) | ((backslash - kOnes) & ~backslash) |
                                  ((w - kOnes * 0x20) & ~w) | w;
    return !(special & kHigh);
}

std::string Describe(int c) {
    if (c < 0)
        return "the end of the text";
    if (c >= 0x20 && c < 0x7F)
        return std::string("'") + char(c) + "'";
    constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("byte 0x") + kHex[c >> 4] + kHex[c & 15];
}

// The power of ten of a number's first significant digit, for a number (of JSON's grammar)
// outside a double's range: above 0 it was too large, below it too small.
long long LeadingExponent(std::string_view number) {
    long long digits = 0;  // mantissa digits seen
    long long integer = 0; // of them before the point
    long long first = -1;  // the index of the first that is not 0
    bool point = false;
    std::size_t i = number[0] == '-' ? 1 : 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        if (number[i] == '.') {
            point = true;
            continue;
        }
        if (first < 0 && number[i] != '0')
            first = digits;
        ++digits;
        integer += !point;
    }
    long long exponent = 0;
    bool negative = false;
    if (i < number.size()) {
        ++i;
        if (number[i] == '+' || number[i] == '-')
            negative = number[i++] == '-';
        for (; i < number.size(); ++i)
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (number[i] - '0');
    }
    return integer - 1 - first + (negative ? -exponent : exponent);
}

// Most numbers are short: up to 15 digits, with a point but no exponent. Their digits as an
// integer and the power of ten that scales them are both exact in a double, so one division
// gives the correctly rounded value. Others are left to from_chars.
std::optional<double> QuickNumber(std::string_view number) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = number[0] == '-';
    std::uint64_t digits = 0;
    int count = 0;
    int scale = -1; // digits after the point, -1 before it
    for (std::size_t i = negative; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '.') {
            scale = 0;
            continue;
        }
        if (c < '0' || c > '9' || ++count > 15)
            return std::nullopt;
        digits = digits * 10 + std::uint64_t(c - '0');
        scale += scale >= 0;
    }
    double value = double(digits);
    if (scale > 0)
        value /= kPowers[scale];
    return negative ? -value : value;
}

} // namespace

JsonReader::JsonReader(std::string name, Fill fill, std::size_t bufferSize)
    : name_(std::move(name)), fill_(std::move(fill)), buffer_(new char[bufferSize]),
      capacity_(bufferSize) {
    begin_ = pos_ = end_ = buffer_.get();
}

JsonReader::JsonReader(std::string name, std::string_view text)
    : name_(std::move(name)), begin_(text.data()), pos_(text.data()),
      end_(text.data() + text.size()) {}

JsonReader::Token JsonReader::Next() {
    return Read(true);
}

void JsonReader::Skip() {
    const int depth = Depth();
    Read(false);
    while (Depth() > depth)
        Read(false);
    text_ = {};
}

std::optional<double> JsonReader::Number() const {
    if (const auto quick = QuickNumber(text_))
        return quick;
    double value = 0;
    const auto [end, ec] = std::from_chars(text_.data(), text_.data() + text_.size(), value);
    if (ec == std::errc())
        return value;
    // Out of range: an overflow is refused; an underflow reads as zero, as strtod gives it.
    if (LeadingExponent(text_) > 0)
        return std::nullopt;
    return text_[0] == '-' ? -0.0 : 0.0;
}

bool JsonReader::Refill() {
    if (!fill_)
        return false;
    // Lines are counted only for messages, once per buffer.
    for (const char* p = begin_; p < end_; ++p) {
        p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end_ - p)));
        if (!p)
            break;
        ++lines_;
        lineStart_ = consumed_ + std::size_t(p - begin_) + 1;
    }
    consumed_ += std::size_t(end_ - begin_);
    const std::size_t got = fill_(buffer_.get(), capacity_);
    begin_ = pos_ = buffer_.get();
    end_ = begin_ + got;
    if (got == 0)
        fill_ = nullptr;
    return got != 0;
}

void JsonReader::Fail(const std::string& why) const {
    std::size_t line = lines_ + 1;
    std::size_t start = lineStart_;
    for (const char* p = begin_; p < pos_; ++p)
        if (*p == '\n') {
            ++line;
            start = consumed_ + std::size_t(p - begin_) + 1;
        }
    const std::size_t column = consumed_ + std::size_t(pos_ - begin_) - start + 1;
    throw Error(ErrorCode::SnapshotNotJson, {name_, "line " + std::to_string(line) + ", column " +
                                                        std::to_string(column) + ": " + why});
}

int JsonReader::PeekPastSpace() {
    for (;;) {
        for (; pos_ < end_; ++pos_) {
            const char c = *pos_;
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return static_cast<unsigned char>(c);
        }
        if (!Refill())
            return -1;
    }
}

JsonReader::Token JsonReader::Read(bool keep) {
    int c = PeekPastSpace();
    switch (expect_) {
    case Expect::End:
        if (c >= 0)
            Fail("unexpected " + Describe(c) + " after the end of the value");
        return Token::End;
    case Expect::Colon:
        if (c != ':')
            Fail("expected ':' after a key, found " + Describe(c));
        ++pos_;
        c = PeekPastSpace();
        break;
    case Expect::CommaOrEnd: {
        const bool object = open_.back();
        if (c == (object ? '}' : ']')) {
            ++pos_;
            return Close(object);
        }
        if (c != ',')
            Fail(std::string(object ? "expected ',' or '}'" : "expected ',' or ']'") + ", found " +
                 Describe(c));
        ++pos_;
        c = PeekPastSpace();
        if (!object)
            break;
        [[fallthrough]];
    }
    case Expect::FirstKey:
        if (c == '}' && expect_ == Expect::FirstKey) {
            ++pos_;
            return Close(true);
        }
        if (c != '"')
            Fail("expected a key in double quotes, found " + Describe(c));
        ++pos_;
        ReadString(keep);
        expect_ = Expect::Colon;
        return Token::Key;
    case Expect::FirstValue:
        if (c == ']') {
            ++pos_;
            return Close(false);
        }
        break;
    case Expect::Value:
        break;
    }
    const Token token = Scalar(static_cast<unsigned char>(c), keep);
    if (token != Token::BeginObject && token != Token::BeginArray)
        expect_ = open_.empty() ? Expect::End : Expect::CommaOrEnd;
    return token;
}

// A value that starts with c (not yet taken).
JsonReader::Token JsonReader::Scalar(unsigned char c, bool keep) {
    if (pos_ == end_)
        Fail("the text ends where a value belongs");
    switch (c) {
    case '{':
        ++pos_;
        return Open(true);
    case '[':
        ++pos_;
        return Open(false);
    case '"':
        ++pos_;
        ReadString(keep);
        return Token::String;
    case 't':
        ReadLiteral("true");
        return Token::True;
    case 'f':
        ReadLiteral("false");
        return Token::False;
    case 'n':
        ReadLiteral("null");
        return Token::Null;
    default:
        if (c == '-' || (c >= '0' && c <= '9')) {
            ReadNumber(keep);
            return Token::Number;
        }
        Fail("expected a value, found " + Describe(c));
    }
}

JsonReader::Token JsonReader::Open(bool object) {
    if (open_.size() >= std::size_t(kMaxDepth))
        Fail("nested deeper than " + std::to_string(kMaxDepth) + " levels");
    open_.push_back(object);
    expect_ = object ? Expect::FirstKey : Expect::FirstValue;
    return object ? Token::BeginObject : Token::BeginArray;
}

JsonReader::Token JsonReader::Close(bool object) {
    open_.pop_back();
    expect_ = open_.empty() ? Expect::End : Expect::CommaOrEnd;
    return object ? Token::EndObject : Token::EndArray;
}

void JsonReader::ReadLiteral(std::string_view word) {
    for (const char expected : word) {
        const int c = Take();
        if (c != static_cast<unsigned char>(expected)) {
            if (c >= 0)
                --pos_;
            Fail("expected a value, found " + Describe(c) + " in what reads as '" +
                 std::string(word) + "'");
        }
    }
}

// After the opening quote. The text is a view of the buffer while it has no escapes and does
// not cross the buffer's end, otherwise it is gathered in scratch_.
void JsonReader::ReadString(bool keep) {
    bool copied = false;
    const auto save = [&](const char* from, const char* to) {
        if (!keep)
            return;
        if (!copied)
            scratch_.clear();
        copied = true;
        scratch_.append(from, to);
    };
    for (;;) {
        const char* const start = pos_;
        const char* const end = end_;
        const char* p = start;
        std::uint8_t kind = kPlain;
        while (end - p >= 8 && PlainEight(p))
            p += 8;
        while (p < end) {
            kind = kClass[static_cast<unsigned char>(*p)];
            if (kind == kPlain) {
                ++p;
                continue;
            }
            if (kind >= kLead2 && kind <= kLead4) {
                const int n = kind - kLead2 + 2;
                if (end - p >= n) {
                    if (!IsUtf8Sequence(reinterpret_cast<const unsigned char*>(p), n)) {
                        pos_ = p;
                        Fail("invalid UTF-8 in a string");
                    }
                    p += n;
                    continue;
                }
            }
            break;
        }
        if (p == end) {
            save(start, p);
            pos_ = p;
            if (!Refill())
                Fail("the text ends inside a string");
            continue;
        }
        switch (kind) {
        case kQuote:
            if (copied) {
                save(start, p);
                text_ = scratch_;
            } else {
                text_ = std::string_view(start, std::size_t(p - start));
            }
            pos_ = p + 1;
            return;
        case kBackslash:
            save(start, p);
            pos_ = p + 1;
            ReadEscape(keep);
            break;
        case kControl:
            pos_ = p;
            Fail("a control character in a string (it must be written as an escape)");
        case kLead2:
        case kLead3:
        case kLead4: // a character that crosses the buffer's end
            save(start, p);
            pos_ = p + 1;
            ReadUtf8Slowly(static_cast<unsigned char>(*p), keep);
            break;
        default:
            pos_ = p;
            Fail("invalid UTF-8 in a string");
        }
    }
}

void JsonReader::ReadUtf8Slowly(unsigned char lead, bool keep) {
    const int n = kClass[lead] - kLead2 + 2;
    unsigned char bytes[4] = {lead};
    for (int i = 1; i < n; ++i) {
        const int c = Take();
        if (c < 0)
            Fail("the text ends inside a string");
        bytes[i] = static_cast<unsigned char>(c);
    }
    if (!IsUtf8Sequence(bytes, n))
        Fail("invalid UTF-8 in a string");
    if (keep)
        scratch_.append(reinterpret_cast<const char*>(bytes), std::size_t(n));
}

unsigned JsonReader::ReadHex4() {
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = Take();
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            if (c >= 0)
                --pos_;
            Fail("expected four hexadecimal digits after \\u, found " + Describe(c));
        }
        value = value * 16 + unsigned(digit);
    }
    return value;
}

// After the backslash; scratch_ holds the text so far when it is kept.
void JsonReader::ReadEscape(bool keep) {
    const int c = Take();
    char plain = 0;
    switch (c) {
    case '"':
    case '\\':
    case '/':
        plain = char(c);
        break;
    case 'b':
        plain = '\b';
        break;
    case 'f':
        plain = '\f';
        break;
    case 'n':
        plain = '\n';
        break;
    case 'r':
        plain = '\r';
        break;
    case 't':
        plain = '\t';
        break;
    case 'u': {
        unsigned u = ReadHex4();
        if (u >= 0xDC00 && u < 0xE000)
            Fail("a low surrogate \\u escape without a high one before it");
        if (u >= 0xD800 && u < 0xDC00) {
            if (Take() != '\\' || Take() != 'u')
                Fail("a high surrogate \\u escape without a low one after it");
            const unsigned low = ReadHex4();
            if (low < 0xDC00 || low >= 0xE000)
                Fail("a high surrogate \\u escape without a low one after it");
            u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        }
        if (keep)
            AppendUtf8(scratch_, char32_t(u));
        return;
    }
    case -1:
        Fail("the text ends inside a string");
    default:
        --pos_;
        Fail("an unknown escape \\" + Describe(c));
    }
    if (keep)
        scratch_ += plain;
}

// The number's grammar is followed byte by byte, across the buffer's end when it must be.
void JsonReader::ReadNumber(bool keep) {
    enum State : std::uint8_t {
        kStart,
        kMinus,
        kZero,
        kInteger,
        kPoint,
        kFraction,
        kE,
        kESign,
        kExponent
    };
    State state = kStart;
    bool copied = false;
    for (;;) {
        const char* const start = pos_;
        const char* p = start;
        bool done = false;
        for (; p < end_ && !done; ++p) {
            const char c = *p;
            const bool digit = c >= '0' && c <= '9';
            switch (state) {
            case kStart:
                state = c == '-' ? kMinus : c == '0' ? kZero : kInteger;
                break;
            case kMinus:
                if (!digit) {
                    pos_ = p;
                    Fail("expected a digit after '-', found " +
                         Describe(static_cast<unsigned char>(c)));
                }
                state = c == '0' ? kZero : kInteger;
                break;
            case kZero:
                if (digit) {
                    pos_ = p;
                    Fail("a number that starts with 0 and another digit");
                }
                [[fallthrough]];
            case kInteger:
                if (c == '.')
                    state = kPoint;
                else if (c == 'e' || c == 'E')
                    state = kE;
                else if (!digit)
                    done = true;
                break;
            case kPoint:
                if (!digit) {
                    pos_ = p;
                    Fail("expected a digit after '.', found " +
                         Describe(static_cast<unsigned char>(c)));
                }
                state = kFraction;
                break;
            case kFraction:
                if (c == 'e' || c == 'E')
                    state = kE;
                else if (!digit)
                    done = true;
                break;
            case kE:
                if (c == '+' || c == '-') {
                    state = kESign;
                    break;
                }
                [[fallthrough]];
            case kESign:
                if (!digit) {
                    pos_ = p;
                    Fail("expected a digit in the exponent, found " +
                         Describe(static_cast<unsigned char>(c)));
                }
                state = kExponent;
                break;
            case kExponent:
                if (!digit)
                    done = true;
                break;
            }
        }
        if (done) {
            --p; // the byte after the number is not part of it
        } else {
            // The buffer ended inside the number, or the input did.
            if (keep) {
                if (!copied)
                    scratch_.clear();
                scratch_.append(start, p);
            }
            copied = true;
            pos_ = p;
            if (Refill())
                continue;
            p = pos_;
        }
        if (state == kMinus || state == kPoint || state == kE || state == kESign) {
            pos_ = p;
            Fail("the number ends before its digits");
        }
        if (copied) {
            if (keep && done)
                scratch_.append(start, p);
            text_ = scratch_;
        } else {
            text_ = std::string_view(start, std::size_t(p - start));
        }
        pos_ = p;
        return;
    }
}

} // namespace sheetlift
