// The settings file read and changed as the profile functions do. The same tables run against
// our own editor and, on Windows, against GetPrivateProfileStringW/WritePrivateProfileStringW.
#include "model/Profile.h"
#include "TempDir.h"
#include "model/Error.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

class Profile : public test::TempDirTest {
  protected:
    Profile() : TempDirTest("sheetlift-profile-") {}
    fs::path Ini() const { return dir_ / "sheetlift.ini"; }
};

struct ReadCase {
    const char* file;
    const char* section;
    const char* key;
    std::optional<std::string> value;
};

const ReadCase kReads[] = {
    {"[Lumentab]\ncolXsc=5\n", "Lumentab", "colXsc", "5"},
    {"[lumentab]\nCOLXSC=5\n", "Lumentab", "colXsc", "5"},            // names in any case
    {"[Lumentab]\nk=1\nk=2\n", "Lumentab", "k", "1"},                 // the first key wins
    {"[Lumentab]\nk=1\n[Other]\nk=2\n", "Other", "k", "2"},           //
    {"[Lumentab]\n  k  =  v w  \n", "Lumentab", "k", "v w"},          // blanks around go
    {"[Lumentab]\nk=\"0.5\"\n", "Lumentab", "k", "0.5"},              // one pair of quotes goes
    {"[Lumentab]\nk='x y'\n", "Lumentab", "k", "x y"},                //
    {"[Lumentab]\nk=\"\n", "Lumentab", "k", "\""},                    // a lone quote stays
    {"[Lumentab]\r\nk=1\r\n", "Lumentab", "k", "1"},                  // CR LF
    {"\xEF\xBB\xBF[Lumentab]\nk=1\n", "Lumentab", "k", "1"},          // UTF-8 byte-order mark
    {"[Lumentab]\nk=1\n[Other\nKf=.\n", "Lumentab", "Kf", "."},       // no ']': not a header
    {"[Lumentab]\nk=1\n[Other\nKf=.\n", "Other", "Kf", std::nullopt}, //
    {"[Lumentab]\nk=\n", "Lumentab", "k", ""},                        // empty, not missing
    {"[Lumentab]\nk=1\n", "Lumentab", "j", std::nullopt},             //
    {"[Lumentab]\nk=1\n", "Other", "k", std::nullopt},                //
    {"k=1\n[Lumentab]\n", "Lumentab", "k", std::nullopt},             // before every section
    {"[Lumentab]\n;k=1\nk=2\n", "Lumentab", "k", "2"},                // a comment is no key
    {"[Lumentab]\nk\nk=2\n", "Lumentab", "k", std::nullopt}, // a line without = hides the key
    {"", "Lumentab", "k", std::nullopt},                     //
};

TEST_F(Profile, ReadsAsTheProfileFunctions) {
    for (const ReadCase& c : kReads) {
        WriteFileAtomic(Ini(), c.file);
        EXPECT_EQ(ProfileFile(Ini()).Get(c.section, c.key), c.value)
            << c.file << " [" << c.section << "] " << c.key;
    }
    EXPECT_EQ(ProfileFile(dir_ / "missing.ini").Get("Lumentab", "k"), std::nullopt);
}

struct WriteCase {
    const char* file;
    const char* section;
    const char* key;
    const char* value;
    const char* written; // the file afterwards, byte for byte (our own editor)
};

const WriteCase kWrites[] = {
    // A header without its ']' stays one line, however often the file is saved.
    {"[Lumentab]\ncolXsc=1\n[Other\nKf=.\n", "Lumentab", "colXsc", "2",
     "[Lumentab]\ncolXsc=2\n[Other\nKf=.\n"},
    // Byte-order mark, CR LF, comments, blank and odd lines: a missing key goes after the
    // section's last line.
    {"\xEF\xBB\xBF; mine\r\n[Lumentab]\r\n\r\ncolXsc=1\r\nodd line\r\n\r\n[Other]\r\nx=1\r\n",
     "Lumentab", "cadXsc", "3",
     "\xEF\xBB\xBF; mine\r\n[Lumentab]\r\n\r\ncolXsc=1\r\nodd line\r\ncadXsc=3\r\n\r\n[Other]\r\n"
     "x=1\r\n"},
    {"[Lumentab]\nk=1\nk=2\n", "Lumentab", "k", "9", "[Lumentab]\nk=9\nk=2\n"},
    {"[lumentab]\nCOLXSC=1\n", "Lumentab", "colXsc", "2", "[lumentab]\nCOLXSC=2\n"},
    {"[Lumentab]\nk=1\n[lumentab]\nj=1\n", "Lumentab", "j", "2",
     "[Lumentab]\nk=1\nj=2\n[lumentab]\nj=1\n"},
    {"[Other]\nx=1", "Lumentab", "k", "v", "[Other]\nx=1\n[Lumentab]\nk=v\n"},
    {"[Lumentab]\na=1", "Lumentab", "k", "v", "[Lumentab]\na=1\nk=v\n"},
    {"", "Lumentab", "k", "v", "[Lumentab]\nk=v\n"},
    {"[Lumentab]\nk = 1  \n", "Lumentab", "k", "0.43", "[Lumentab]\nk = 0.43  \n"},
    {"[Lumentab]\nk=\"1\"\n", "Lumentab", "k", "2", "[Lumentab]\nk=2\n"},
    {"[Lumentab]\nk=1\n", "Lumentab", "k", "", "[Lumentab]\nk=\n"},
    {"[Lumentab]\n k \nk=2\n", "Lumentab", "k", "3", "[Lumentab]\n k=3 \nk=2\n"},
};

TEST_F(Profile, WritesOneKeyAndKeepsTheRest) {
    for (const WriteCase& c : kWrites) {
        WriteFileAtomic(Ini(), c.file);
        const char* probes[][2] = {{"Lumentab", "colXsc"}, {"Lumentab", "k"}, {"Lumentab", "j"},
                                   {"Lumentab", "a"},      {"Other", "x"},    {"Lumentab", "Kf"}};
        std::vector<std::optional<std::string>> before;
        for (const auto& p : probes)
            before.push_back(ProfileFile(Ini()).Get(p[0], p[1]));
        for (int save = 0; save < 2; ++save) {
            ProfileFile file(Ini());
            file.Set(c.section, c.key, c.value);
            EXPECT_EQ(file.Get(c.section, c.key), c.value) << c.file;
            file.Save();
        }
        const ProfileFile after(Ini());
        EXPECT_EQ(after.Get(c.section, c.key), c.value) << c.file;
        for (std::size_t i = 0; i < std::size(probes); ++i) {
            if (probes[i][0] == std::string_view(c.section) &&
                probes[i][1] == std::string_view(c.key))
                continue;
            EXPECT_EQ(after.Get(probes[i][0], probes[i][1]), before[i])
                << c.file << " [" << probes[i][0] << "] " << probes[i][1];
        }
#ifndef _WIN32 // Windows writes the file its own way
        EXPECT_EQ(ReadWholeFile(Ini()), c.written) << c.file;
#endif
    }
}

TEST_F(Profile, AFileThatExistsButCannotBeReadIsAnError) {
    fs::create_directory(Ini());
    EXPECT_THROW(ProfileFile{Ini()}, Error);
}

#ifndef _WIN32
TEST_F(Profile, AnUnchangedFileIsNotWritten) {
    WriteFileAtomic(Ini(), "[Lumentab]\nk=1\n");
    struct stat before {};
    ASSERT_EQ(::stat(Ini().c_str(), &before), 0);
    ProfileFile file(Ini());
    file.Set("lumentab", "K", "1");
    file.Save();
    struct stat after {};
    ASSERT_EQ(::stat(Ini().c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino); // the safe replace would have given a new file
}
#endif

} // namespace
} // namespace sheetlift
