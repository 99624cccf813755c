// The package of a saved workbook: its zip archive, its parts read under the limits against
// hostile files, the relationships between the parts, and the XML helpers every part's reader
// shares.
#pragma once

#include "model/Error.h"

#include <pugixml.hpp>
#include <zip.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sheetlift::workbook {

// --- XML helpers: element names compared without their namespace prefix ---

inline std::string_view Local(const char* name) {
    const std::string_view s(name);
    const std::size_t colon = s.rfind(':');
    return colon == std::string_view::npos ? s : s.substr(colon + 1);
}

inline pugi::xml_node Child(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_node child : node.children())
        if (Local(child.name()) == name)
            return child;
    return {};
}

template <typename F> inline void ForEach(pugi::xml_node node, std::string_view name, F&& f) {
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && Local(child.name()) == name)
            f(child);
}

// The relationship id attribute (r:id under whatever prefix).
inline const char* RelationshipId(pugi::xml_node node) {
    for (pugi::xml_attribute a : node.attributes())
        if (std::strchr(a.name(), ':') && Local(a.name()) == "id")
            return a.value();
    return "";
}

// The number at the start of a text as files write it (blanks and a plus sign allowed before
// it), whatever the C library's locale: `fallback` when there is none.
double LeadingDouble(std::string_view text, double fallback = 0);
long long LeadingInteger(std::string_view text, long long fallback = 0);

// An attribute's number; pugixml's own as_double would follow the locale's decimal separator.
inline double Number(pugi::xml_attribute a, double fallback = 0) {
    return a ? LeadingDouble(a.value(), fallback) : fallback;
}

inline bool IsTrue(pugi::xml_attribute a) {
    const std::string_view v = a.value();
    return v == "1" || v == "true";
}

class Package;

// One part read as it is inflated, under the package's limits (each overstep an Error).
class PartStream {
  public:
    PartStream(Package& package, std::string name, zip_file_t* file, const zip_stat_t& stat);
    ~PartStream();
    PartStream(const PartStream&) = delete;
    PartStream& operator=(const PartStream&) = delete;

    // Up to `room` further bytes into `buffer`; 0 at the end of the part.
    std::size_t Read(char* buffer, std::size_t room);
    // The unpacked size the entry states, where the limits allow it (a hint, no promise).
    std::size_t SizeHint() const;
    const std::string& name() const { return name_; }

  private:
    Package& package_;
    std::string name_;
    zip_file_t* file_;
    zip_stat_t stat_;
    std::uint64_t read_ = 0;
};

class Package {
  public:
    Package(const std::string& bytes, std::string file);
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // Throws the Error `code` about this workbook: the file goes before `args`.
    [[noreturn]] void Fail(ErrorCode code, std::vector<std::string> args = {}) const;

    // The part as a stream; nothing when the package has no such part. Part names are
    // matched without regard to case or to the backslashes some Windows zip tools write.
    std::unique_ptr<PartStream> Open(const std::string& name);
    // The part's bytes; nothing when the package has no such part.
    std::optional<std::string> Read(const std::string& name);
    // The part's bytes, or the Error `missing` naming the part.
    std::string Require(const std::string& name, ErrorCode missing);
    // Parses `data` in place: the document points into it, so it must outlive the document.
    void Parse(pugi::xml_document& doc, std::string& data, const std::string& name) const;

  private:
    friend class PartStream;
    static std::string PartKey(std::string_view name);

    std::string file_;
    zip_t* zip_ = nullptr;
    std::unordered_map<std::string, zip_uint64_t> index_;
    std::uint64_t total_ = 0;
};

struct Relationship {
    std::string type; // the last segment of the type URI: "worksheet", "styles", ...
    std::string target;
};

std::unordered_map<std::string, Relationship> ReadRelationships(Package& package,
                                                                const std::string& partPath);

} // namespace sheetlift::workbook
