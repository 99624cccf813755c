// A settings file in the INI form, read and changed key by key as the Win32 profile functions
// (GetPrivateProfileStringW / WritePrivateProfileStringW) do it: section and key names without
// regard to case, the first section of a name and the first key of a name in it are the ones
// read and written, and values lose the blanks around them and one pair of enclosing quotes.
// A changed key keeps its line; a missing key goes at the end of its section, a missing section
// at the end of the file; every other byte stays as it was (byte-order mark, comments, odd
// lines, line ends, other sections). On Windows the profile functions themselves do the work.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace sheetlift {

class ProfileFile {
  public:
    // Reads the file when it exists; throws Error when it exists but cannot be read (a folder,
    // no permission).
    explicit ProfileFile(std::filesystem::path file);

    // The value, "" for an empty one; nothing when the section or the key is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // `value` is one line without blanks around it, not enclosed in quotes: as the profile
    // functions read it back.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // Writes the changes through the safe replace (on Windows through the profile functions);
    // nothing when nothing changed. Throws Error.
    void Save();

  private:
    std::filesystem::path file_;
#ifdef _WIN32
    // Changes not yet handed to the profile functions: section, key, value.
    std::vector<std::tuple<std::string, std::string, std::string>> pending_;
#else
    std::string data_; // the file's bytes with the changes made so far
    bool changed_ = false;
#endif
};

} // namespace sheetlift
