// Where a writer puts the bytes of its file, piece by piece.
#pragma once

#include <string>
#include <string_view>

namespace sheetlift {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// Keeps the bytes in a string.
class StringSink : public ByteSink {
  public:
    explicit StringSink(std::string& bytes) : bytes_(bytes) {}
    void Write(std::string_view bytes) override { bytes_ += bytes; }

  private:
    std::string& bytes_;
};

} // namespace sheetlift
