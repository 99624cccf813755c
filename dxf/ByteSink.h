// Where a writer puts the bytes of its file, piece by piece.
#pragma once

#include "model/FileIO.h"

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

// Streams the bytes into a file through the one safe replace; the caller commits.
class FileSink : public ByteSink {
  public:
    explicit FileSink(SafeFileWriter& file) : file_(file) {}
    void Write(std::string_view bytes) override { file_.Write(bytes); }

  private:
    SafeFileWriter& file_;
};

} // namespace sheetlift
