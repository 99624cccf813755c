#include "excel/XmlPull.h"

#include "textconv/Utf8.h"

#include <cstring>
#include <stdexcept>

namespace sheetlift::workbook {

namespace {

constexpr std::size_t kChunk = 1 << 16;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool NameEnds(char c) {
    return IsSpace(c) || c == '/' || c == '>' || c == '=';
}

std::string_view LocalPart(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The character of a reference at `at` ("&amp;", "&#233;", "&#xE9;") and its length; nothing
// when it is none that XML defines (it then stays as written).
bool Reference(std::string_view raw, std::size_t at, char32_t& code, std::string_view& literal,
               std::size_t& length) {
    const std::size_t semicolon = raw.find(';', at);
    if (semicolon == std::string_view::npos || semicolon - at > 12)
        return false;
    const std::string_view name = raw.substr(at + 1, semicolon - at - 1);
    length = semicolon - at + 1;
    literal = {};
    static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
        {"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"apos", "'"}, {"quot", "\""}};
    for (const auto& [entity, text] : kNamed)
        if (name == entity) {
            literal = text;
            return true;
        }
    if (name.size() < 2 || name[0] != '#')
        return false;
    const bool hex = name[1] == 'x';
    std::uint32_t value = 0;
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
        return false;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        value = value * (hex ? 16 : 10) + std::uint32_t(d);
        if (value > 0x10FFFF)
            return false;
    }
    code = value;
    return true;
}

void AppendResolved(std::string& out, std::string_view raw) {
    std::size_t plain = 0; // start of the characters not yet copied
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c != '&' && c != '\r')
            continue;
        out.append(raw.data() + plain, i - plain);
        plain = i + 1;
        if (c == '\r') {
            // A CR LF pair is one line end; a CR alone is one too.
            out += '\n';
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                plain = ++i + 1;
        } else {
            char32_t code = 0;
            std::string_view literal;
            std::size_t length = 0;
            if (!Reference(raw, i, code, literal, length)) {
                out += '&';
                continue;
            }
            if (!literal.empty())
                out += literal;
            else
                AppendUtf8(out, code);
            i += length - 1;
            plain = i + 1;
        }
    }
    out.append(raw.data() + plain, raw.size() - plain);
}

} // namespace

XmlPull::XmlPull(Fill fill, Malformed malformed)
    : fill_(std::move(fill)), malformed_(std::move(malformed)), buffer_(2 * kChunk, '\0') {}

void XmlPull::Fail(const char* what) const {
    malformed_(what, offset_ + cursor_);
    throw std::runtime_error(what); // the handler throws; this only keeps the promise
}

bool XmlPull::Have(std::size_t count) {
    while (size_ - cursor_ < count) {
        if (atEnd_)
            return false;
        if (cursor_ > 0) { // move the unread bytes to the front
            std::memmove(buffer_.data(), buffer_.data() + cursor_, size_ - cursor_);
            offset_ += cursor_;
            size_ -= cursor_;
            cursor_ = 0;
        }
        if (buffer_.size() - size_ < kChunk)
            buffer_.resize(std::max(buffer_.size() * 2, size_ + kChunk));
        const std::size_t n = fill_(buffer_.data() + size_, buffer_.size() - size_);
        if (n == 0)
            atEnd_ = true;
        size_ += n;
    }
    return true;
}

std::size_t XmlPull::Find(std::string_view what) {
    std::size_t from = 0;
    for (;;) {
        const std::string_view window(buffer_.data() + cursor_, size_ - cursor_);
        const std::size_t at = window.find(what, from);
        if (at != std::string_view::npos)
            return at;
        from = window.size() >= what.size() ? window.size() - what.size() + 1 : 0;
        if (!Have(window.size() + 1))
            return std::string_view::npos;
    }
}

std::string_view XmlPull::Attribute(std::string_view name, std::string_view fallback) const {
    for (const Attr& a : attributes_)
        if (a.name == name)
            return a.value;
    return fallback;
}

bool XmlPull::HasAttribute(std::string_view name) const {
    for (const Attr& a : attributes_)
        if (a.name == name)
            return true;
    return false;
}

void XmlPull::AppendText(std::string& out, std::string_view raw) {
    AppendResolved(out, raw);
}

// A start tag at the cursor, up to its '>' (which may stand inside a quoted value).
bool XmlPull::ReadTag() {
    std::size_t i = 1;
    char quote = 0;
    for (bool found = false; !found;) {
        // Through what the buffer holds, then read on.
        const char* window = buffer_.data() + cursor_;
        const std::size_t held = size_ - cursor_;
        for (; i < held; ++i) {
            const char c = window[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                found = true;
                break;
            } else if (c == '<') {
                Fail("Error parsing start element tag");
            }
        }
        if (!found && !Have(held + 1))
            Fail("Error parsing start element tag");
    }
    const char* tag = buffer_.data() + cursor_;
    const std::size_t close = i; // index of '>'
    const bool selfClosing = buffer_[cursor_ + close - 1] == '/';
    const std::size_t bodyEnd = selfClosing ? close - 1 : close;
    std::size_t k = 1;
    while (k < bodyEnd && !NameEnds(tag[k]))
        ++k;
    if (k == 1)
        Fail("Error parsing start element tag");
    qualified_ = std::string_view(tag + 1, k - 1);
    local_ = LocalPart(qualified_);
    attributes_.clear();
    for (;;) {
        while (k < bodyEnd && IsSpace(tag[k]))
            ++k;
        if (k >= bodyEnd)
            break;
        const std::size_t nameStart = k;
        while (k < bodyEnd && !NameEnds(tag[k]))
            ++k;
        const std::string_view name(tag + nameStart, k - nameStart);
        while (k < bodyEnd && IsSpace(tag[k]))
            ++k;
        if (name.empty() || k >= bodyEnd || tag[k] != '=')
            Fail("Error parsing attribute name");
        ++k;
        while (k < bodyEnd && IsSpace(tag[k]))
            ++k;
        if (k >= bodyEnd || (tag[k] != '"' && tag[k] != '\''))
            Fail("Error parsing attribute value");
        const char q = tag[k++];
        const std::size_t valueStart = k;
        while (k < bodyEnd && tag[k] != q)
            ++k;
        if (k >= bodyEnd)
            Fail("Error parsing attribute value");
        attributes_.push_back({name, std::string_view(tag + valueStart, k - valueStart)});
        ++k;
    }
    open_.push_back(names_.size());
    names_ += qualified_;
    start_ = tag;
    end_ = tag + close + 1;
    cursor_ += close + 1;
    pendingEnd_ = selfClosing;
    return true;
}

XmlPull::Event XmlPull::Next() {
    if (pendingEnd_) {
        pendingEnd_ = false;
        names_.resize(open_.back());
        open_.pop_back();
        start_ = end_;
        return Event::End;
    }
    for (;;) {
        if (!Have(1)) {
            if (!open_.empty())
                Fail("Unexpected end of data");
            return Event::Done;
        }
        const char* here = buffer_.data() + cursor_;
        if (*here != '<') {
            std::size_t length = Find("<");
            if (length == std::string_view::npos)
                length = size_ - cursor_;
            start_ = buffer_.data() + cursor_;
            end_ = start_ + length;
            text_ = std::string_view(start_, length);
            cdata_ = false;
            cursor_ += length;
            return Event::Text;
        }
        if (!Have(2))
            Fail("Unexpected end of data");
        const char second = buffer_[cursor_ + 1];
        if (second == '?') {
            const std::size_t at = Find("?>");
            if (at == std::string_view::npos)
                Fail("Error parsing document declaration/processing instruction");
            cursor_ += at + 2;
            continue;
        }
        if (second == '!') {
            Have(9);
            const std::string_view head(buffer_.data() + cursor_,
                                        std::min<std::size_t>(9, size_ - cursor_));
            if (head.substr(0, 4) == "<!--") {
                const std::size_t at = Find("-->");
                if (at == std::string_view::npos)
                    Fail("Error parsing comment");
                cursor_ += at + 3;
                continue;
            }
            if (head == "<![CDATA[") {
                const std::size_t at = Find("]]>");
                if (at == std::string_view::npos)
                    Fail("Error parsing CDATA section");
                start_ = buffer_.data() + cursor_;
                end_ = start_ + at + 3;
                text_ = std::string_view(start_ + 9, at - 9);
                cdata_ = true;
                cursor_ += at + 3;
                return Event::Text;
            }
            if (head.substr(0, 9) == "<!DOCTYPE") {
                // Up to the '>' outside the internal subset's brackets; never expanded.
                int depth = 0;
                for (std::size_t i = 2;; ++i) {
                    if (!Have(i + 1))
                        Fail("Error parsing document type declaration");
                    const char c = buffer_[cursor_ + i];
                    if (c == '[')
                        ++depth;
                    else if (c == ']')
                        --depth;
                    else if (c == '>' && depth <= 0) {
                        cursor_ += i + 1;
                        break;
                    }
                }
                continue;
            }
            Fail("Unrecognized tag");
        }
        if (second == '/') {
            const std::size_t at = Find(">");
            if (at == std::string_view::npos)
                Fail("Error parsing end element tag");
            std::string_view name(buffer_.data() + cursor_ + 2, at - 2);
            while (!name.empty() && IsSpace(name.back()))
                name.remove_suffix(1);
            if (open_.empty() || name != std::string_view(names_).substr(open_.back()))
                Fail("Start-end tags mismatch");
            names_.resize(open_.back());
            open_.pop_back();
            start_ = buffer_.data() + cursor_;
            end_ = start_ + at + 1;
            qualified_ = std::string_view(start_ + 2, name.size());
            local_ = LocalPart(qualified_);
            cursor_ += at + 1;
            return Event::End;
        }
        ReadTag();
        return Event::Start;
    }
}

} // namespace sheetlift::workbook
