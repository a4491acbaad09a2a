#include "platform/rtl/FileUtils.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"

using namespace plat;

namespace {

void Touch(const std::string& path, const std::string& content = "x") {
    WriteFileAtomically(path, content);
}

// Files larger than the limit cannot be written while it holds: a disk that fills up half-way.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

} // namespace

class FileUtilsTest : public TempFolderTest {};

TEST_F(FileUtilsTest, ExistenceSizeAndRemoval) {
    Touch(Path("file.txt"), "12345");
    ::symlink("file.txt", Path("link").c_str());
    ::symlink("nowhere", Path("dangling").c_str());
    ASSERT_TRUE(CreateDir(Path("dir")));
    EXPECT_FALSE(CreateDir(Path("dir")));

    EXPECT_TRUE(FileExists(Path("file.txt")));
    EXPECT_TRUE(FileExists(Path("link")));
    EXPECT_FALSE(FileExists(Path("dangling")));
    EXPECT_FALSE(FileExists(Path("dir")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(DirectoryExists(Path("dir")));
    EXPECT_FALSE(DirectoryExists(Path("file.txt")));
    EXPECT_EQ(FileSize(Path("file.txt")), 5);
    EXPECT_EQ(FileSize(Path("dir")), -1);
    EXPECT_EQ(FileSize(Path("missing")), -1);

    EXPECT_FALSE(DeleteFile(Path("dir")));
    EXPECT_TRUE(DeleteFile(Path("dangling")));
    EXPECT_FALSE(DeleteFile(Path("missing")));
    EXPECT_TRUE(RemoveDir(Path("dir")));
    EXPECT_FALSE(DirectoryExists(Path("dir")));

    Touch(Path("other.txt"), "other");
    EXPECT_TRUE(RenameFile(Path("other.txt"), Path("file.txt"))); // replaces
    EXPECT_EQ(ReadAllText(Path("file.txt")), "other");
    EXPECT_FALSE(RenameFile(Path("other.txt"), Path("x")));
}

TEST_F(FileUtilsTest, ForceDirectoriesCreatesEveryLevel) {
    EXPECT_TRUE(ForceDirectories(Path("a/b/c/")));
    EXPECT_TRUE(DirectoryExists(Path("a/b/c")));
    EXPECT_TRUE(ForceDirectories(Path("a/b"))); // already there
    Touch(Path("a/file"));
    EXPECT_FALSE(ForceDirectories(Path("a/file/sub")));
    EXPECT_FALSE(ForceDirectories(""));

    const std::string cwd = GetCurrentDir();
    ASSERT_EQ(::chdir(FFolder.c_str()), 0);
    const bool relative = ForceDirectories("r1/r2");
    const std::string here = GetCurrentDir();
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
    EXPECT_TRUE(relative);
    EXPECT_TRUE(DirectoryExists(Path("r1/r2")));
    EXPECT_EQ(here + "/", ExpandFileName(FFolder)); // mkdtemp's folder has no links in it
}

TEST_F(FileUtilsTest, FileAgeIsLocalModificationTime) {
    Touch(Path("dated"));
    tm local{};
    local.tm_year = 2021 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 5;
    local.tm_min = 6;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    const timespec times[2] = {{mktime(&local), 250000000}, {mktime(&local), 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Path("dated").c_str(), times, 0), 0);
    // 2021-03-04 is day 44259 after 1899-12-30.
    EXPECT_NEAR(FileAge(Path("dated")), 44259 + (5 * 3600 + 6 * 60 + 7.25) / 86400.0, 1e-9);
    EXPECT_EQ(FileAge(Path("missing")), -1);
    EXPECT_EQ(FileAge(FFolder), -1);
}

TEST(FileUtils, ExpandFileNameResolvesByName) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"/a/./b/../c", "/a/c"},
        {"/../x", "/x"},
        {"//a///b/", "/a/b/"},
        {"/a/b/..", "/a"},
        {"/", "/"},
        {"rel/../file", GetCurrentDir() + "/file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandFileName(c.in), c.out) << c.in;
}

TEST(FileUtils, MasksMatchLikeTheFileDialogs) {
    const struct {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"X.INI", "*.ini", true},
        {"a.ini.bak", "*.ini", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"xxaxxb", "*a*b", true},
        {"", "", true},
        {"", "*", true},
        {"a", "", false},
        {"\xC3\xA9", "?", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "a*a*a*a*a*a*a*a*a*b", false},
        {"readme", "READ*", true},
        {"notes", "n*.*", true},
        {"notes", "x*.*", false},
        {"readme", "READ*", true},
        {"chart.plv", "*.*", true},
        {"noext", "*.*", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}

TEST_F(FileUtilsTest, FindFilesListsMatchingFilesOnly) {
    for (const char* name : {"b.txt", "a.TXT", "c.ini", ".hidden.txt"})
        Touch(Path(name));
    ASSERT_TRUE(CreateDir(Path("folder.txt")));
    ::symlink("c.ini", Path("link.txt").c_str());
    EXPECT_EQ(FindFiles(FFolder, "*.txt"),
              (std::vector<std::string>{".hidden.txt", "a.TXT", "b.txt", "link.txt"}));
    EXPECT_EQ(FindFiles(FFolder, "c.*"), (std::vector<std::string>{"c.ini"}));
    EXPECT_TRUE(FindFiles(Path("missing"), "*").empty());
}

TEST(FileUtils, ProgramFileAndFolders) {
    const std::string exe = ApplicationExeName();
    EXPECT_TRUE(FileExists(exe));
    // The name the program was started by (argv[0]) names the same file.
    EXPECT_EQ(exe.substr(exe.rfind('/') + 1), program_invocation_short_name) << exe;
    EXPECT_EQ(ParamStr(0), exe);
    EXPECT_EQ(ApplicationFolder() + exe.substr(exe.rfind('/') + 1), exe);
    EXPECT_GE(ParamCount(), 0);
    EXPECT_EQ(ParamStr(ParamCount() + 1), "");

    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(GetTempFolder(), "/var/tmp/");
    ::setenv("TMPDIR", "", 1);
    EXPECT_EQ(GetTempFolder(), "/tmp/");
    if (old)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST_F(FileUtilsTest, WritableFolderIsTriedNotGuessed) {
    EXPECT_TRUE(IsFolderWritable(FFolder));
    EXPECT_TRUE(Entries().empty()); // the probe is gone
    EXPECT_FALSE(IsFolderWritable(Path("missing")));
    if (::geteuid() != 0) {
        ::chmod(FFolder.c_str(), 0555);
        EXPECT_FALSE(IsFolderWritable(FFolder));
    }
}

TEST_F(FileUtilsTest, ReadAllBytesReadsEverything) {
    Touch(Path("bin"), std::string("a\0b\xFF", 4));
    EXPECT_EQ(ReadAllBytes(Path("bin")), (std::vector<uint8_t>{'a', 0, 'b', 0xFF}));
    EXPECT_TRUE(ReadAllBytes(Path("bin")).size() == 4);
    Touch(Path("empty"), "");
    EXPECT_TRUE(ReadAllBytes(Path("empty")).empty());
    EXPECT_FALSE(ReadAllText("/proc/self/status").empty()); // reports size 0
    EXPECT_THROW(ReadAllBytes(Path("missing")), EFOpenError);
}

TEST_F(FileUtilsTest, AtomicWriteReplacesAndKeepsPermissions) {
    WriteFileAtomically(Path("s.ini"), std::string("first"));
    WriteFileAtomically(Path("s.ini"), std::vector<uint8_t>{'2', 'n', 'd'});
    EXPECT_EQ(ReadAllText(Path("s.ini")), "2nd");
    ::chmod(Path("s.ini").c_str(), 0640);
    WriteFileAtomically(Path("s.ini"), std::string("third"));
    struct stat st {};
    ASSERT_EQ(::stat(Path("s.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A link stays a link; the file it points to is replaced.
    ::symlink("s.ini", Path("link.ini").c_str());
    WriteFileAtomically(Path("link.ini"), std::string("through link"));
    ASSERT_EQ(::lstat(Path("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadAllText(Path("s.ini")), "through link");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"link.ini", "s.ini"}));
}

// What the user protected, or what is no file at all, is never replaced: the write fails naming the
// reason and leaves everything as it was.
TEST_F(FileUtilsTest, AtomicWriteRefusesWhatItMustNotReplace) {
    Touch(Path("read-only.ini"), "keep");
    ::chmod(Path("read-only.ini").c_str(), 0444);
    ::symlink("read-only.ini", Path("link-to-read-only.ini").c_str());
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
    ASSERT_TRUE(CreateDir(Path("folder")));
    const struct {
        const char* Name;
        const char* Reason;
    } cases[] = {
        {"read-only.ini", "The file is read-only"},
        {"link-to-read-only.ini", "The file is read-only"},
        {"pipe", "It is not a regular file"},
        {"folder", "Is a directory"},
    };
    for (const auto& c : cases) {
        try {
            WriteFileAtomically(Path(c.Name), std::string("new"));
            ADD_FAILURE() << c.Name << " was replaced";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file \"" + Path(c.Name) + "\". " + c.Reason);
        }
    }
    EXPECT_EQ(ReadAllText(Path("read-only.ini")), "keep");
    struct stat st {};
    ASSERT_EQ(::lstat(Path("link-to-read-only.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(Path("pipe").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"folder", "link-to-read-only.ini", "pipe", "read-only.ini"}));
}

// A link whose file does not exist yet (or a chain of links, relative or absolute) leads to the file
// that is created; a name that fills a folder entry still gets its temporary file.
TEST_F(FileUtilsTest, AtomicWriteCreatesTheFileALinkNamesAndTakesLongNames) {
    ASSERT_TRUE(CreateDir(Path("real")));
    ::symlink("real/settings.ini", Path("first").c_str());
    ::symlink(Path("first").c_str(), Path("second").c_str());
    WriteFileAtomically(Path("second"), std::string("created"));
    EXPECT_EQ(ReadAllText(Path("real/settings.ini")), "created");
    struct stat st {};
    for (const char* link : {"first", "second"}) {
        ASSERT_EQ(::lstat(Path(link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"first", "real", "second"}));

    const std::string longName = std::string(250, 'n') + ".ini";
    WriteFileAtomically(Path(longName), std::string("long"));
    WriteFileAtomically(Path(longName), std::string("longer"));
    EXPECT_EQ(ReadAllText(Path(longName)), "longer");
    EXPECT_EQ(Entries().size(), 4u);
}

// Content written piece by piece lands whole; a writer that fails halfway leaves the old file and no
// temporary file behind.
TEST_F(FileUtilsTest, AtomicWriteThroughAStream) {
    WriteFileAtomically(Path("doc.xml"), [](TStream& out) {
        out.WriteString("first ");
        out.WriteString("and second");
        EXPECT_EQ(out.Position(), 16);
    });
    EXPECT_EQ(ReadAllText(Path("doc.xml")), "first and second");
    EXPECT_THROW(WriteFileAtomically(Path("doc.xml"),
                                     [](TStream& out) {
                                         out.WriteString("half");
                                         throw EConvertError("the writer gave up");
                                     }),
                 EConvertError);
    EXPECT_EQ(ReadAllText(Path("doc.xml")), "first and second");
    EXPECT_EQ(Entries(), std::vector<std::string>{"doc.xml"});
}

TEST_F(FileUtilsTest, FailedAtomicWriteKeepsTheOldFile) {
    WriteFileAtomically(Path("keep.ini"), std::string("old settings"));
    {
        TFileSizeLimit limit(8);
        try {
            WriteFileAtomically(Path("keep.ini"), std::string("new settings that do not fit"));
            ADD_FAILURE() << "write beyond the limit reported success";
        } catch (const EWriteError& e) {
            EXPECT_EQ(e.Message().rfind("Cannot write file \"" + Path("keep.ini") + "\". ", 0), 0u)
                << e.Message();
        }
    }
    EXPECT_EQ(ReadAllText(Path("keep.ini")), "old settings");
    EXPECT_EQ(Entries(), std::vector<std::string>{"keep.ini"});

    try {
        WriteFileAtomically(Path("none/x.ini"), std::string("x"));
        ADD_FAILURE() << "write into a missing folder reported success";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot create file \"" + Path("none/x.ini") + "\". No such file or directory");
    }
    ASSERT_TRUE(CreateDir(Path("adir")));
    EXPECT_THROW(WriteFileAtomically(Path("adir"), std::string("x")), EFCreateError);
    EXPECT_TRUE(DirectoryExists(Path("adir")));

    if (::geteuid() != 0) {
        ::chmod(FFolder.c_str(), 0555);
        EXPECT_THROW(WriteFileAtomically(Path("keep.ini"), std::string("y")), EFCreateError);
        ::chmod(FFolder.c_str(), 0755);
        EXPECT_EQ(ReadAllText(Path("keep.ini")), "old settings");
    }
}
