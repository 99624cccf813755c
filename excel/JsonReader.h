// A pull reader of strict JSON (RFC 8259), read through a buffer of fixed size: a large file is
// never held whole, and tokens come straight from the buffer. Anything that is not JSON (bad
// UTF-8, a bad escape, a number outside the grammar, nesting deeper than kMaxDepth) is an Error
// naming the file and the line and column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetlift {

class JsonReader {
  public:
    enum class Token : std::uint8_t {
        BeginObject,
        EndObject,
        BeginArray,
        EndArray,
        Key,
        String,
        Number,
        True,
        False,
        Null,
        End // after the one top-level value and the white space that follows it
    };
    // Puts up to `size` bytes at `data` and says how many; 0 at the end of the input.
    using Fill = std::function<std::size_t(char* data, std::size_t size)>;

    static constexpr std::size_t kBufferSize = 64 * 1024;
    static constexpr int kMaxDepth = 512;

    // `name` stands for the input in messages.
    JsonReader(std::string name, Fill fill, std::size_t bufferSize = kBufferSize);
    // Reads text that is already in memory, without copying it.
    JsonReader(std::string name, std::string_view text);

    Token Next();
    // Skips the value that comes next (after a Key, or in an array), keeping none of its texts.
    void Skip();
    // A Key's or String's text, unescaped, or a Number as written; valid until Next or Skip.
    std::string_view Text() const { return text_; }
    // The Number just read, correctly rounded; nullopt when it is too large for a double (one too
    // small for the least one reads as zero).
    std::optional<double> Number() const;
    // Objects and arrays open around the reader.
    int Depth() const { return int(open_.size()); }

  private:
    enum class Expect : std::uint8_t { Value, FirstValue, FirstKey, Colon, CommaOrEnd, End };

    Token Read(bool keep);
    Token Scalar(unsigned char c, bool keep);
    Token Open(bool object);
    Token Close(bool object);
    void ReadString(bool keep);
    void ReadEscape(bool keep);
    void ReadUtf8Slowly(unsigned char lead, bool keep);
    unsigned ReadHex4();
    void ReadNumber(bool keep);
    void ReadLiteral(std::string_view rest);
    // The next byte that is not white space, without taking it; -1 at the end.
    int PeekPastSpace();
    // The next byte, taken; -1 at the end.
    int Take() {
        if (pos_ == end_ && !Refill())
            return -1;
        return static_cast<unsigned char>(*pos_++);
    }
    bool Refill();
    [[noreturn]] void Fail(const std::string& why) const;

    std::string name_;
    Fill fill_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    const char* begin_ = nullptr; // the buffer's bytes, [begin_, end_)
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    // For messages: lines ended and where the current line starts, counted over the bytes of
    // buffers already left behind.
    std::size_t consumed_ = 0; // bytes before begin_
    std::size_t lines_ = 0;
    std::size_t lineStart_ = 0;

    std::vector<bool> open_; // true for an object
    Expect expect_ = Expect::Value;
    std::string_view text_;
    std::string scratch_; // a text that crossed the buffer's end or had escapes
};

} // namespace sheetlift
