// The safe replace on POSIX: links, non-regular targets, permissions, owners, kills.
#include "TempDir.h"
#include "model/Error.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

class SafeReplace : public test::TempDirTest {
  protected:
    SafeReplace() : TempDirTest("sheetlift-replace-") {}
    // The names in the folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static mode_t Mode(const fs::path& path) {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st.st_mode;
    }
};

TEST_F(SafeReplace, StreamsPiecesOfAnySizeIntoANewFile) {
    const fs::path file = dir_ / "new.dxf";
    const std::string big(200000, 'x');
    {
        SafeFileWriter writer(file);
        writer.Write("head\r\n");
        writer.Write(big);
        writer.Write("");
        writer.Write(std::string_view("\0tail", 5));
        EXPECT_EQ(Names(), std::vector<std::string>{}); // nothing shows before the commit
        writer.Commit();
    }
    EXPECT_EQ(ReadWholeFile(file), "head\r\n" + big + std::string("\0tail", 5));
    EXPECT_EQ(Names(), std::vector<std::string>{"new.dxf"});
    WriteFileAtomic(file, "");
    EXPECT_EQ(ReadWholeFile(file), "");
}

TEST_F(SafeReplace, WithoutCommitTheOldFileStaysAndNothingElse) {
    const fs::path file = dir_ / "prev.dxf";
    WriteFileAtomic(file, "old");
    {
        SafeFileWriter writer(file);
        writer.Write(std::string(300000, 'n'));
    }
    EXPECT_EQ(ReadWholeFile(file), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"prev.dxf"});
    {
        SafeFileWriter writer(dir_ / "never.dxf");
        writer.Write("x");
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"prev.dxf"});
}

TEST_F(SafeReplace, AKillMidWriteLeavesTheOldFileWholeAndNoStrayFile) {
    const fs::path file = dir_ / "prev.dxf";
    WriteFileAtomic(file, "old drawing");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SafeFileWriter writer(file);
        const std::string chunk(1 << 20, 'n');
        writer.Write(chunk);
        (void)!::write(ready[1], "w", 1);
        for (;;)
            writer.Write(chunk);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadWholeFile(file), "old drawing");
    EXPECT_EQ(Names(), std::vector<std::string>{"prev.dxf"});
}

TEST_F(SafeReplace, ALinkIsFollowedAndKept) {
    fs::create_directory(dir_ / "real");
    WriteFileAtomic(dir_ / "real" / "t.dxf", "old");
    struct Case {
        const char* link;
        fs::path to;
    };
    const Case cases[] = {
        {"relative.dxf", "real/t.dxf"},
        {"absolute.dxf", dir_ / "real" / "t.dxf"},
        {"twice.dxf", "relative.dxf"},
    };
    for (const Case& c : cases) {
        fs::create_symlink(c.to, dir_ / c.link);
        WriteFileAtomic(dir_ / c.link, c.link);
        EXPECT_TRUE(fs::is_symlink(dir_ / c.link)) << c.link;
        EXPECT_EQ(fs::read_symlink(dir_ / c.link), c.to) << c.link;
        EXPECT_EQ(ReadWholeFile(dir_ / "real" / "t.dxf"), c.link);
    }
    // A link to a file not yet there creates that file.
    fs::create_symlink("real/later.dxf", dir_ / "dangling.dxf");
    WriteFileAtomic(dir_ / "dangling.dxf", "new");
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.dxf"));
    EXPECT_EQ(ReadWholeFile(dir_ / "real" / "later.dxf"), "new");
    EXPECT_EQ(Names(), (std::vector<std::string>{"absolute.dxf", "dangling.dxf", "real",
                                                 "relative.dxf", "twice.dxf"}));
    // A loop of links is an error naming the file.
    fs::create_symlink("loop-b", dir_ / "loop-a");
    fs::create_symlink("loop-a", dir_ / "loop-b");
    EXPECT_THROW(WriteFileAtomic(dir_ / "loop-a", "x"), Error);
}

TEST_F(SafeReplace, ATargetThatIsNoRegularFileIsRefusedAndLeftAlone) {
    struct Case {
        const char* name;
        std::function<fs::path(const fs::path&)> make;
        mode_t type;
    };
    const Case cases[] = {
        {"folder",
         [](const fs::path& p) {
             fs::create_directory(p);
             return p;
         },
         S_IFDIR},
        {"fifo",
         [](const fs::path& p) {
             EXPECT_EQ(::mkfifo(p.c_str(), 0644), 0);
             return p;
         },
         S_IFIFO},
        {"socket",
         [](const fs::path& p) {
             const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::snprintf(address.sun_path, sizeof address.sun_path, "%s", p.c_str());
             EXPECT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
             ::close(s);
             return p;
         },
         S_IFSOCK},
        {"device", // a node of its own as root, else the system's /dev/null
         [](const fs::path& p) {
             if (::geteuid() == 0 && ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
                 return p;
             return fs::path("/dev/null");
         },
         S_IFCHR},
        {"link-to-fifo",
         [](const fs::path& p) {
             EXPECT_EQ(::mkfifo((p.string() + "-target").c_str(), 0644), 0);
             fs::create_symlink(p.filename().string() + "-target", p);
             return p;
         },
         S_IFLNK},
    };
    for (const Case& c : cases) {
        const fs::path path = c.make(dir_ / c.name);
        const auto before = Names();
        try {
            WriteFileAtomic(path, "data");
            ADD_FAILURE() << c.name << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.code(), ErrorCode::NotRegularFile) << c.name;
            EXPECT_NE(std::string(e.what()).find(DisplayPath(path)), std::string::npos) << e.what();
        }
        EXPECT_EQ(Mode(path) & S_IFMT, c.type) << c.name;
        EXPECT_EQ(Names(), before) << c.name;
    }
}

TEST_F(SafeReplace, KeepsThePermissionBits) {
    const fs::path file = dir_ / "private.ini";
    for (const mode_t mode : {0600, 0640, 0755, 0444}) {
        WriteFileAtomic(file, "old");
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        WriteFileAtomic(file, "new");
        EXPECT_EQ(Mode(file) & 07777, mode) << std::oct << mode;
        EXPECT_EQ(ReadWholeFile(file), "new");
        ::chmod(file.c_str(), 0644);
    }
}

TEST_F(SafeReplace, RootKeepsTheOwner) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give files away";
    const fs::path file = dir_ / "theirs.dxf";
    WriteFileAtomic(file, "old");
    ASSERT_EQ(::chown(file.c_str(), 1234, 5678), 0);
    WriteFileAtomic(file, "new");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
}

TEST_F(SafeReplace, AMissingFolderNamesTheFileAndTheReason) {
    const fs::path file = dir_ / "missing" / "out.dxf";
    try {
        SafeFileWriter writer(file);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::FileWrite);
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write \"" + DisplayPath(file) + "\": No such file or directory");
    }
}

} // namespace
} // namespace sheetlift
