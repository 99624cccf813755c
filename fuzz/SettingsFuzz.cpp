// libFuzzer target for the settings editor: any bytes as a settings file, then changes of keys
// drawn from the rest of the input. After every save the file reads back as it was changed,
// and the bytes outside the one changed value or the one added piece are the file's own.
// Seeds: fuzz/seeds/settings/*
#include "model/FileIO.h"
#include "model/Profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

namespace {

using namespace sheetlift;

const char* const kSections[] = {"Lumentab", "lumentab", "Other", "Window", "a]b"};
const char* const kKeys[] = {"colXsc", "COLXSC", "cadXsc", "k", "Kf", "x;y", "odd line"};

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "settings editor: %s\n", what);
    std::abort();
}

// A value as the profile functions read it back: one line, no blanks around it, no enclosing
// quotes.
std::string ValueFrom(const std::uint8_t*& at, const std::uint8_t* end) {
    std::string value;
    const std::size_t length = at < end ? *at++ % 12 : 0;
    for (std::size_t i = 0; i < length && at < end; ++i) {
        const char c = char(*at++);
        if (c != '\r' && c != '\n' && c != '\0')
            value += c;
    }
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
    };
    // Until nothing changes: dropping a closing quote can leave a blank at the end.
    for (bool changed = true; changed;) {
        changed = false;
        while (!value.empty() && blank(value.front())) {
            value.erase(value.begin());
            changed = true;
        }
        while (!value.empty() && blank(value.back())) {
            value.pop_back();
            changed = true;
        }
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value.pop_back();
            changed = true;
        }
    }
    return value;
}

// Only a line feed ends a line (a lone CR is part of it, as for the profile functions).
bool HasLineBreak(std::string_view text) {
    return text.find('\n') != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory where there is a memory file system: every save syncs the disk.
    static const std::filesystem::path file =
        (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path()) /
        ("sheetlift-fuzz-" + std::to_string(::getpid()));
    if (size < 2)
        return 0;
    const std::size_t fileSize = std::min<std::size_t>(size - 2, data[0] | data[1] << 8);
    const std::uint8_t* at = data + 2;
    const std::uint8_t* end = data + size;
    WriteFileAtomic(file, std::string_view(reinterpret_cast<const char*>(at), fileSize));
    at += fileSize;

    using Probe = std::pair<std::string, std::string>;
    std::map<Probe, std::optional<std::string>> expected;
    {
        const ProfileFile initial(file);
        for (const char* section : kSections)
            for (const char* key : kKeys)
                expected[{section, key}] = initial.Get(section, key);
    }
    for (int change = 0; change < 8 && end - at >= 2; ++change) {
        const std::string section = kSections[*at++ % std::size(kSections)];
        const std::string key = kKeys[*at++ % std::size(kKeys)];
        const std::string value = ValueFrom(at, end);
        const std::string before = ReadWholeFile(file);
        ProfileFile profile(file);
        profile.Set(section, key, value);
        profile.Save();
        const std::string after = ReadWholeFile(file);
        // Names are compared without regard to case: every spelling of the key changes.
        for (auto& [probe, want] : expected) {
            const auto lower = [](std::string s) {
                for (char& c : s)
                    c = char(std::tolower(static_cast<unsigned char>(c)));
                return s;
            };
            if (lower(probe.first) == lower(section) && lower(probe.second) == lower(key))
                want = value;
        }
        const ProfileFile reloaded(file);
        for (const auto& [probe, want] : expected)
            if (reloaded.Get(probe.first, probe.second) != want ||
                profile.Get(probe.first, probe.second) != want)
                Fault("a key does not read back as it was written");
        // One change in one place: a value within its line, or lines added whole.
        std::size_t prefix = 0;
        while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
            ++prefix;
        std::size_t suffix = 0;
        while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
               before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
            ++suffix;
        const std::string_view removed =
            std::string_view(before).substr(prefix, before.size() - prefix - suffix);
        const std::string_view added =
            std::string_view(after).substr(prefix, after.size() - prefix - suffix);
        if (HasLineBreak(removed) || (!removed.empty() && HasLineBreak(added)))
            Fault("bytes outside the changed key were changed");
    }
    return 0;
}
