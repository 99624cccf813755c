// A pull parser for the large parts of a workbook: it reads the part in chunks as they are
// inflated, so a sheet of millions of cells is never held whole nor built into a tree. It
// checks what a reader needs checked (tags closed in order, nothing cut off) and skips
// declarations, comments, processing instructions and a DTD, whose entities it never expands.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetlift::workbook {

class XmlPull {
  public:
    // Fills `buffer` with up to `room` further bytes of the part; 0 at its end.
    using Fill = std::function<std::size_t(char* buffer, std::size_t room)>;
    // Called with pugixml-like wording of what is wrong and the byte where it was found.
    using Malformed = std::function<void(const char* what, std::size_t offset)>;

    enum class Event { Start, End, Text, Done };

    XmlPull(Fill fill, Malformed malformed);

    // The next event. A self-closing element gives Start, then End. The views below stay
    // valid until the next call.
    Event Next();

    // Start and End: the element's name without its namespace prefix.
    std::string_view Name() const { return local_; }
    // Start: the raw value of the attribute `name` (matched whole, prefix included);
    // `fallback` when there is none. Values keep their entity references, which the numbers,
    // addresses and type codes read from them never hold.
    std::string_view Attribute(std::string_view name, std::string_view fallback = {}) const;
    bool HasAttribute(std::string_view name) const;
    // Text: the raw characters (a CDATA section's are literal: IsCData).
    std::string_view Text() const { return text_; }
    bool IsCData() const { return cdata_; }
    // The current event's bytes exactly as written, for copying a piece of the part.
    std::string_view Raw() const { return {start_, std::size_t(end_ - start_)}; }
    // How many elements are open around the current event.
    int Depth() const { return int(open_.size()); }

    // Appends the raw text with its references (&amp;, &#x41;, ...) resolved and line ends
    // made "\n", as pugixml reads character data; unknown entities stay as written.
    static void AppendText(std::string& out, std::string_view raw);

  private:
    // Makes sure bytes up to `at` + `count` are in the buffer (the window moves, not the
    // content); false at the part's end.
    bool Have(std::size_t count);
    // Finds `what` at or after the cursor, reading on as needed; its index from the cursor.
    std::size_t Find(std::string_view what);
    void Fail(const char* what) const;
    bool ReadTag();

    Fill fill_;
    Malformed malformed_;
    std::string buffer_;
    std::size_t size_ = 0;   // bytes of buffer_ in use
    std::size_t offset_ = 0; // the part's byte at buffer_[0]
    const char* start_ = nullptr;
    const char* end_ = nullptr;
    std::size_t cursor_ = 0; // index in buffer_ where the next event begins
    bool atEnd_ = false;
    bool pendingEnd_ = false; // a self-closing element still owes its End
    bool cdata_ = false;
    std::string_view local_, qualified_, text_;
    struct Attr {
        std::string_view name, value;
    };
    std::vector<Attr> attributes_;
    std::string names_;             // the open elements' qualified names, one after another
    std::vector<std::size_t> open_; // where each begins in names_
};

} // namespace sheetlift::workbook
