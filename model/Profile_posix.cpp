#include "model/Profile.h"

#include "model/FileIO.h"

#include <algorithm>

namespace sheetlift {

namespace {

bool IsBlank(char c) {
    // As the profile functions: white space, and the ^Z that old editors put at the end.
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

// One line of the file: [start, end) without its line end, `next` where the next one starts.
struct Line {
    std::size_t start, end, next;
};

std::vector<Line> Lines(std::string_view data) {
    std::vector<Line> lines;
    std::size_t at = data.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (at < data.size()) {
        const std::size_t lf = data.find('\n', at);
        const std::size_t next = lf == std::string_view::npos ? data.size() : lf + 1;
        lines.push_back({at, next, next});
        at = next;
    }
    for (Line& line : lines) {
        if (line.end > line.start && data[line.end - 1] == '\n')
            --line.end;
        if (line.end > line.start && data[line.end - 1] == '\r')
            --line.end;
    }
    return lines;
}

// The name of a section header line, or nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos)
        return std::nullopt; // a header without its ']' is an ordinary line
    return line.substr(1, close - 1);
}

// A key line: its name, and where its value (blanks around it removed) starts and ends. A line
// without '=' is a key without a value: it reads as missing, and hides a later key of its name.
struct KeyLine {
    std::string_view name;
    bool hasValue;
    std::size_t valueStart, valueEnd; // without a value: where "=value" goes
};

std::optional<KeyLine> KeyOf(std::string_view data, const Line& line) {
    const std::string_view text = data.substr(line.start, line.end - line.start);
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        const std::string_view name = Trim(text);
        if (name.empty())
            return std::nullopt;
        const std::size_t at = std::size_t(name.data() + name.size() - data.data());
        return KeyLine{name, false, at, at};
    }
    std::size_t valueStart = line.start + eq + 1, valueEnd = line.end;
    while (valueStart < valueEnd && IsBlank(data[valueStart]))
        ++valueStart;
    while (valueEnd > valueStart && IsBlank(data[valueEnd - 1]))
        --valueEnd;
    return KeyLine{Trim(text.substr(0, eq)), true, valueStart, valueEnd};
}

// Where a section and a key are in the file.
struct Place {
    std::vector<Line> lines;
    std::optional<std::size_t> header; // the section's header line
    std::size_t lastLine = 0;          // the section's last line that is not blank
    std::optional<KeyLine> key;
};

Place Find(std::string_view data, std::string_view section, std::string_view key) {
    Place place;
    place.lines = Lines(data);
    section = Trim(section);
    key = Trim(key);
    for (std::size_t i = 0; i < place.lines.size(); ++i) {
        const Line& line = place.lines[i];
        const std::string_view text = data.substr(line.start, line.end - line.start);
        if (const auto name = SectionName(text)) {
            if (place.header)
                break; // the first section of the name is the only one
            if (SameName(*name, section)) {
                place.header = i;
                place.lastLine = i;
            }
            continue;
        }
        if (!place.header)
            continue;
        if (!Trim(text).empty())
            place.lastLine = i;
        if (const auto found = KeyOf(data, line); found && !place.key && SameName(found->name, key))
            place.key = found;
    }
    return place;
}

// The file's own line end: that of its first line, else the system's.
std::string_view LineEnd(std::string_view data) {
    const std::size_t lf = data.find('\n');
    return lf != std::string_view::npos && lf > 0 && data[lf - 1] == '\r' ? "\r\n" : "\n";
}

} // namespace

ProfileFile::ProfileFile(std::filesystem::path file) : file_(std::move(file)) {
    std::error_code ec;
    if (std::filesystem::status(file_, ec).type() != std::filesystem::file_type::not_found)
        data_ = ReadWholeFile(file_);
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
    const Place place = Find(data_, section, key);
    if (!place.key || !place.key->hasValue)
        return std::nullopt;
    std::string_view value(data_.data() + place.key->valueStart,
                           place.key->valueEnd - place.key->valueStart);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    const Place place = Find(data_, section, key);
    std::string next = data_;
    const std::string_view eol = LineEnd(data_);
    if (place.key) {
        std::string text(place.key->hasValue ? "" : "=");
        text += value;
        next.replace(place.key->valueStart, place.key->valueEnd - place.key->valueStart, text);
    } else {
        std::string add;
        std::size_t at = data_.size();
        if (place.header) {
            const Line& last = place.lines[place.lastLine];
            at = last.next;
            if (data_[last.next - 1] != '\n') // the file's last line, without a line end
                add += eol;
        } else {
            if (!place.lines.empty() && data_.back() != '\n')
                add += eol;
            add.append("[").append(Trim(section)).append("]").append(eol);
        }
        add.append(Trim(key)).append("=").append(value).append(eol);
        next.insert(at, add);
    }
    if (next != data_) {
        data_ = std::move(next);
        changed_ = true;
    }
}

void ProfileFile::Save() {
    if (!changed_)
        return;
    WriteFileAtomic(file_, data_);
    changed_ = false;
}

} // namespace sheetlift
