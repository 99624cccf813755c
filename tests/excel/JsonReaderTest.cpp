#include "excel/JsonReader.h"
#include "model/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace sheetlift {
namespace {

using Token = JsonReader::Token;

// Reads `text` through a buffer of `buffer` bytes (0: straight from memory), so that small sizes
// put every token across a buffer's end somewhere.
struct Input {
    std::string text;
    std::size_t offset = 0;
    std::unique_ptr<JsonReader> reader;

    Input(std::string json, std::size_t buffer) : text(std::move(json)) {
        if (buffer == 0) {
            reader = std::make_unique<JsonReader>("t.json", std::string_view(text));
            return;
        }
        reader = std::make_unique<JsonReader>(
            "t.json",
            [this](char* data, std::size_t size) {
                const std::size_t n = std::min(size, text.size() - offset);
                std::memcpy(data, text.data() + offset, n);
                offset += n;
                return n;
            },
            buffer);
    }
};

// The tokens as one line: {, }, [, ], K:key, S:text, N:number as written, true, false, null.
std::string Tokens(JsonReader& json) {
    std::string out;
    for (;;) {
        const Token t = json.Next();
        switch (t) {
        case Token::BeginObject:
            out += "{ ";
            break;
        case Token::EndObject:
            out += "} ";
            break;
        case Token::BeginArray:
            out += "[ ";
            break;
        case Token::EndArray:
            out += "] ";
            break;
        case Token::Key:
            out += "K:" + std::string(json.Text()) + " ";
            break;
        case Token::String:
            out += "S:" + std::string(json.Text()) + " ";
            break;
        case Token::Number:
            out += "N:" + std::string(json.Text()) + " ";
            break;
        case Token::True:
            out += "true ";
            break;
        case Token::False:
            out += "false ";
            break;
        case Token::Null:
            out += "null ";
            break;
        case Token::End:
            return out;
        }
    }
}

constexpr std::size_t kBuffers[] = {0, 1, 2, 3, 4, 5, 7, 16, 64 * 1024};

TEST(JsonReader, ReadsEveryTokenAcrossAnyBufferEnd) {
    const std::pair<std::string, std::string> cases[] = {
        {R"( {"a" : [1, -0.5e+3, true,false , null, "x"], "b":{}, "c":[]} )",
         "{ K:a [ N:1 N:-0.5e+3 true false null S:x ] K:b { } K:c [ ] } "},
        {"\t\r\n\"top\"\n", "S:top "},
        {"0", "N:0 "},
        {"-0", "N:-0 "},
        {"12345678901234567890123", "N:12345678901234567890123 "},
        {"[0.0,1E5,2e-3,3E+0]", "[ N:0.0 N:1E5 N:2e-3 N:3E+0 ] "},
        {R"(["\n\"\\\/\b\f\r\t"])", "[ S:\n\"\\/\b\f\r\t ] "},
        // \u escapes: ASCII, two and three bytes, a surrogate pair, upper and lower case hex
        {R"(["\u0041\u00e9\u65E5\ud83d\uDE00"])", "[ S:Aé日😀 ] "},
        {"[\"部品 \xF0\x9F\x98\x80 end\"]", "[ S:部品 😀 end ] "},
        // the largest code point, the last before the surrogates, the first after them
        {"[\"\xF4\x8F\xBF\xBF\xED\x9F\xBF\xEE\x80\x80\"]",
         "[ S:\xF4\x8F\xBF\xBF\xED\x9F\xBF\xEE\x80\x80 ] "},
        {R"({"":""})", "{ K: S: } "},
        {R"({"k\u0000":"a\"b"})", std::string("{ K:k") + '\0' + " S:a\"b } "},
    };
    for (const auto& [json, tokens] : cases)
        for (const std::size_t buffer : kBuffers) {
            Input in(json, buffer);
            EXPECT_EQ(Tokens(*in.reader), tokens) << json << " buffer " << buffer;
        }
}

TEST(JsonReader, RefusesWhatIsNotJsonWithItsPlace) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "line 1, column 1: the text ends where a value belongs"},
        {"{", "line 1, column 2: expected a key in double quotes, found the end of the text"},
        {"[1,]", "line 1, column 4: expected a value, found ']'"},
        {R"({"a":1,})", "expected a key in double quotes, found '}'"},
        {R"({"a" 1})", "expected ':' after a key, found '1'"},
        {R"({a:1})", "expected a key in double quotes, found 'a'"},
        {"[1 2]", "expected ',' or ']', found '2'"},
        {R"({"a":1 "b":2})", "expected ',' or '}', found '\"'"},
        {"[1]]", "unexpected ']' after the end of the value"},
        {"{}\n\n  x", "line 3, column 3: unexpected 'x' after the end of the value"},
        {"[tru]", "in what reads as 'true'"},
        {"[nul", "found the end of the text in what reads as 'null'"},
        {"[True]", "expected a value, found 'T'"},
        {"['a']", "expected a value, found '''"},
        // numbers outside the grammar
        {"[01]", "starts with 0 and another digit"},
        {"[-]", "expected a digit after '-'"},
        {"[+1]", "expected a value, found '+'"},
        {"[.5]", "expected a value, found '.'"},
        {"[1.]", "expected a digit after '.'"},
        {"[1.e5]", "expected a digit after '.'"},
        {"[1e]", "expected a digit in the exponent"},
        {"[1e+]", "expected a digit in the exponent"},
        {"1e", "the number ends before its digits"},
        {"-", "the number ends before its digits"},
        {"[NaN]", "expected a value, found 'N'"},
        {"[Infinity]", "expected a value, found 'I'"},
        {"[-Infinity]", "expected a digit after '-', found 'I'"},
        {"[0x10]", "expected ',' or ']', found 'x'"},
        // strings
        {"[\"a", "the text ends inside a string"},
        {"[\"a\\", "the text ends inside a string"},
        {"[\"tab\there\"]", "a control character in a string"},
        {"[\"\\x\"]", "an unknown escape \\'x'"},
        {"[\"\\u12G4\"]", "expected four hexadecimal digits after \\u, found 'G'"},
        {"[\"\\u12\"]", "expected four hexadecimal digits after \\u, found '\"'"},
        {R"(["\udc00"])", "a low surrogate"},
        {R"(["\ud800"])", "a high surrogate \\u escape without a low one"},
        {R"(["\ud800\n"])", "a high surrogate \\u escape without a low one"},
        {R"(["\ud800\u0041"])", "a high surrogate \\u escape without a low one"},
        {R"(["\ud800\ud800"])", "a high surrogate \\u escape without a low one"},
        // UTF-8: a lone continuation byte, bytes never used, truncated, overlong, surrogates,
        // beyond U+10FFFF, a continuation that is not one
        {"[\"\x80\"]", "invalid UTF-8"},
        {"[\"\xFF\"]", "invalid UTF-8"},
        {"[\"\xC3\"]", "invalid UTF-8"},
        {"[\"\xC0\xAF\"]", "invalid UTF-8"},
        {"[\"\xC1\xBF\"]", "invalid UTF-8"},
        {"[\"\xE0\x9F\xBF\"]", "invalid UTF-8"},
        {"[\"\xF0\x8F\xBF\xBF\"]", "invalid UTF-8"},
        {"[\"\xED\xA0\x80\"]", "invalid UTF-8"},
        {"[\"\xED\xBF\xBF\"]", "invalid UTF-8"},
        {"[\"\xF4\x90\x80\x80\"]", "invalid UTF-8"},
        {"[\"\xF5\x80\x80\x80\"]", "invalid UTF-8"},
        {"[\"\xE6\x97\"]", "invalid UTF-8"},
        {"[\"\xE6\x97", "the text ends inside a string"},
        {"[\"\xE6(\xA5\"]", "invalid UTF-8"},
        {"{\"\xFF\":1}", "invalid UTF-8"},
        // outside strings, only JSON's own white space and tokens
        {"\xEF\xBB\xBF{}", "expected a value, found byte 0xEF"},
        {"[1,\v2]", "expected a value, found byte 0x0B"},
    };
    for (const auto& [json, message] : cases)
        for (const std::size_t buffer : kBuffers) {
            Input in(json, buffer);
            try {
                Tokens(*in.reader);
                ADD_FAILURE() << "accepted " << json;
            } catch (const Error& e) {
                const std::string what = e.what();
                EXPECT_EQ(e.code(), ErrorCode::SnapshotNotJson);
                EXPECT_EQ(what.rfind("t.json: not valid JSON (line ", 0), 0u) << what;
                EXPECT_NE(what.find(message), std::string::npos)
                    << json << " buffer " << buffer << ": " << what;
            }
        }
}

// Every prefix of a document is refused, wherever the buffer ends.
TEST(JsonReader, RefusesATruncatedDocumentAtEveryByte) {
    const std::string json = "{\"a\":[1.5e3,-2,\"x\\u00e9\\n\xE6\x97\xA5\xF0\x9F\x98\x80\"],"
                             "\"b\":{\"c\":true,\"d\":false,\"e\":null}}";
    for (std::size_t size = 0; size < json.size(); ++size)
        for (const std::size_t buffer : {0, 1, 2, 3, 5}) {
            Input in(json.substr(0, size), buffer);
            EXPECT_THROW(Tokens(*in.reader), Error) << size << " bytes, buffer " << buffer;
        }
}

TEST(JsonReader, NumbersAreRoundedExactly) {
    constexpr double kMax = std::numeric_limits<double>::max();
    const std::pair<std::string, std::optional<double>> cases[] = {
        {"0", 0.0},
        {"-0", -0.0},
        {"-0.0", -0.0},
        {"0.1", 0.1},
        {"0.3", 0.3},
        {"1.005", 1.005},
        {"2.675", 2.675},
        {"56.25", 56.25},
        {"123456789012345", 123456789012345.0},
        {"12345678.9012345", 12345678.9012345},
        {"0.000000000000001", 0.000000000000001},
        {"999999999999999.9", 999999999999999.9},
        {"1234567890123456789", 1234567890123456789.0},
        {"18.75", 18.75},
        {"-4142", -4142.0},
        {"9007199254740993", 9007199254740992.0}, // 2^53 + 1 rounds to even
        {"12345678901234567890123", 12345678901234567890123.0},
        {"1.7976931348623157e308", kMax},
        {"17976931348623157" + std::string(292, '0'), kMax}, // all 309 digits written out
        {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
        {"2.2250738585072014E-308", std::numeric_limits<double>::min()},
        {"1e400", std::nullopt},
        {"-1e999", std::nullopt},
        {"1.8e308", std::nullopt},
        {"0.000001e309", 1e303},
        {"100000e-5", 1.0},
        // too small for a double: zero, keeping the sign
        {"1e-400", 0.0},
        {"-1e-400", -0.0},
        {"0.0000000000000000000001e-310", 0.0},
        {"123456e-99999999999999999999", 0.0},
        {"1e99999999999999999999", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        for (const std::size_t buffer : {0, 1, 3}) {
            Input in("[" + text + "]", buffer);
            ASSERT_EQ(in.reader->Next(), Token::BeginArray);
            ASSERT_EQ(in.reader->Next(), Token::Number) << text;
            EXPECT_EQ(in.reader->Text(), text);
            const std::optional<double> got = in.reader->Number();
            ASSERT_EQ(got.has_value(), expected.has_value()) << text;
            if (got) {
                EXPECT_EQ(*got, *expected) << text;
                EXPECT_EQ(std::signbit(*got), std::signbit(*expected)) << text;
            }
        }
}

TEST(JsonReader, NestingIsBounded) {
    const int most = JsonReader::kMaxDepth;
    const std::string deepest = std::string(most, '[') + std::string(most, ']');
    for (const std::size_t buffer : {0, 7}) {
        Input ok(deepest, buffer);
        EXPECT_EQ(Tokens(*ok.reader).size(), std::size_t(most) * 4);
        for (const std::string& json :
             {"[" + deepest + "]", std::string(100000, '['),
              "{\"a\":" + std::string(most, '[') + std::string(most, ']') + "}"}) {
            Input deep(json, buffer);
            try {
                Tokens(*deep.reader);
                ADD_FAILURE() << "accepted";
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find("nested deeper than 512 levels"),
                          std::string::npos)
                    << e.what();
            }
        }
    }
}

// Skip passes over a whole value, nested or not, and still checks it.
TEST(JsonReader, SkipPassesOverAWholeValue) {
    const std::string json = R"({"skip":{"a":[1,{"b":"\u00e9"}],"c":"x"},"n":2,"s":"t","keep":3})";
    for (const std::size_t buffer : {0, 1, 4}) {
        Input in(json, buffer);
        JsonReader& reader = *in.reader;
        std::string seen;
        ASSERT_EQ(reader.Next(), Token::BeginObject);
        while (reader.Next() == Token::Key) {
            const std::string key(reader.Text());
            if (key == "keep") {
                ASSERT_EQ(reader.Next(), Token::Number);
                seen += key + "=" + std::string(reader.Text());
            } else {
                reader.Skip();
                seen += key + " ";
            }
            EXPECT_EQ(reader.Depth(), 1);
        }
        EXPECT_EQ(reader.Next(), Token::End);
        EXPECT_EQ(seen, "skip n s keep=3");
    }
    Input bad(R"({"skip":{"a":["\xFF"]}})", 0);
    ASSERT_EQ(bad.reader->Next(), Token::BeginObject);
    ASSERT_EQ(bad.reader->Next(), Token::Key);
    EXPECT_THROW(bad.reader->Skip(), Error);
}

// Line and column count the bytes of earlier buffers too.
TEST(JsonReader, PlaceOfAnErrorCountsEveryBuffer) {
    const std::string json = "{\"a\":1,\n\"b\":[1,\n2,\n  3 4]}";
    for (const std::size_t buffer : {0, 1, 2, 5, 64}) {
        Input in(json, buffer);
        try {
            Tokens(*in.reader);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "t.json: not valid JSON (line 4, column 5: expected ',' or "
                                   "']', found '4')")
                << buffer;
        }
    }
}

} // namespace
} // namespace sheetlift
