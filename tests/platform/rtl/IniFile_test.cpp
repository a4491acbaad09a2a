#include "platform/rtl/IniFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Locale.h"
#include "platform/rtl/StringList.h"

using namespace plat;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lumetra-ini-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        FDir = tmpl;
        FFile = FDir + "/lumcam.Ini";
    }
    void TearDown() override { fs::remove_all(FDir); }

    void Put(const std::string& content) const { std::ofstream(FFile, std::ios::binary) << content; }
    std::string Get() const {
        std::ifstream in(FFile, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::string Lines(const TStrings& list) {
        std::string s;
        for (int i = 0; i < list.Count(); ++i)
            s += (i ? "|" : "") + list[i];
        return s;
    }

    std::string FDir;
    std::string FFile;
};

// A file with everything a hand-edited or foreign settings file may hold; LF, CR LF and CR line ends mixed.
const char* const kMessyFile = "stray text before any section\n"
                               "Orphan=not in a section\r\n"
                               "[Sensor]\r\n"
                               "; Type=99 is a comment\r\n"
                               "  Type = 3  \r\n"
                               "garbage line without equals\n"
                               "=no key\n"
                               "type=4\n"
                               "Empty=\r"
                               "Quoted=\"  padded  \"\n"
                               "Single='x'\n"
                               "HalfQuote=\"abc\n"
                               "Eq=a=b\n"
                               "Utf=Grüße\n"
                               "[Broken\n"
                               "Hidden=1\n"
                               "[ USB ]\n"
                               "EPTimeOut=100\n"
                               "[sensor]\n"
                               "PixelCount=2048\n";

TEST_F(IniFileTest, ReadsValuesByLookupRules) {
    Put(kMessyFile);
    TIniFile ini(FFile);
    struct Case {
        const char* section;
        const char* key;
        const char* expected; // nullptr: the default
    } cases[] = {
        {"Sensor", "Type", "3"},            // blanks around name and value; the comment above is ignored
        {"SENSOR", "TYPE", "3"},            // case-insensitive; the first of duplicate keys wins
        {"Sensor", "Empty", ""},            // present but empty: not the default
        {"Sensor", "Quoted", "  padded  "}, // one pair of quotes is taken off
        {"Sensor", "Single", "x"},
        {"Sensor", "HalfQuote", "\"abc"},
        {"Sensor", "Eq", "a=b"},          // the first '=' splits
        {"Sensor", "Utf", "Grüße"},       // bytes kept
        {"Sensor", "PixelCount", "2048"}, // a second section of the same name counts too
        {"USB", "EPTimeOut", "100"},      // blanks inside the brackets
        {"Sensor", "garbage line without equals", nullptr},
        {"Sensor", "", nullptr},
        {"", "Orphan", nullptr},       // text before the first section belongs to none
        {"Broken", "Hidden", nullptr}, // under a header without ']'
        {"Sensor", "Hidden", nullptr},
        {"Missing", "Type", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.expected ? c.expected : "<def>");
        EXPECT_EQ(ini.ValueExists(c.section, c.key), c.expected != nullptr);
    }
    EXPECT_TRUE(ini.SectionExists("usb"));
    EXPECT_FALSE(ini.SectionExists("Broken"));
}

TEST_F(IniFileTest, ReadIntegerAndReadBoolFollowTheIntegerRule) {
    struct Case {
        const char* text;
        int integer; // with default -7
        bool asBool; // with default true; false where the default must not show
        bool boolDefault;
    } cases[] = {
        {"12", 12, true, false},         {" -5 ", -5, true, false},
        {"0", 0, false, false},          {"0x1F", 31, true, false},
        {"$10", 16, true, false},        {"0XfF", 255, true, false},
        {"0xFFFFFFFF", -1, true, false}, {"2", 2, true, false},
        {"\"  7  \"", 7, true, false},   {"", -7, true, true},
        {"abc", -7, true, true},         {"yes", -7, true, true},
        {"12abc", -7, true, true},       {"1.5", -7, true, true},
        {"99999999999", -7, true, true}, {"0x", -7, true, true},
    };
    std::string content = "[S]\r\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        content += "K" + std::to_string(i) + "=" + cases[i].text + "\r\n";
    Put(content);
    TIniFile ini(FFile);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string key = "K" + std::to_string(i);
        SCOPED_TRACE(cases[i].text);
        EXPECT_EQ(ini.ReadInteger("S", key, -7), cases[i].integer);
        EXPECT_EQ(ini.ReadBool("S", key, true), cases[i].asBool);
        // Text that is no integer gives the default whichever it is.
        EXPECT_EQ(ini.ReadBool("S", key, false), cases[i].boolDefault ? false : cases[i].asBool);
    }
    EXPECT_EQ(ini.ReadInteger("S", "Missing", 7), 7);
}

TEST_F(IniFileTest, WritesNumbersBooleansAndFloatsInTheirForms) {
    TIniFile ini(FFile);
    ini.WriteInteger("Options", "Style", -12);
    ini.WriteBool("Sensor", "Mode16Bit", true);
    ini.WriteBool("Sensor", "IMGNUM", false);
    ini.WriteFloat("XAxis", "XMax", 1.1E-6);
    EXPECT_EQ(Get(), "[Options]\r\nStyle=-12\r\n\r\n"
                     "[Sensor]\r\nMode16Bit=1\r\nIMGNUM=0\r\n\r\n"
                     "[XAxis]\r\nXMax=1.1E-6\r\n");
    EXPECT_EQ(ini.ReadInteger("Options", "Style", 0), -12);
    EXPECT_TRUE(ini.ReadBool("Sensor", "Mode16Bit", false));
    EXPECT_FALSE(ini.ReadBool("Sensor", "IMGNUM", true));

    for (double v : {0.0, -2048.5, 4E-7, 1.1E-6, 1E20, 0.1, 123456789.125}) {
        ini.WriteFloat("XAxis", "V", v);
        EXPECT_EQ(ini.ReadFloat("XAxis", "V", -1), v) << v;
    }
}

TEST_F(IniFileTest, FloatsUseTheLocaleDecimalSeparator) {
    TScopedFormatSettings scope;
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '.';
    Put("[XAxis]\nComma=1,5\nPoint=1.5\nGarbage=x1\nBlank=\nSpaced= -2,25 \n");
    TIniFile ini(FFile);
    EXPECT_EQ(ini.ReadFloat("XAxis", "Comma", 9), 1.5);
    EXPECT_EQ(ini.ReadFloat("XAxis", "Spaced", 9), -2.25);
    EXPECT_EQ(ini.ReadFloat("XAxis", "Point", 9), 9);
    EXPECT_EQ(ini.ReadFloat("XAxis", "Garbage", 9), 9);
    EXPECT_EQ(ini.ReadFloat("XAxis", "Blank", 9), 9);
    EXPECT_EQ(ini.ReadFloat("XAxis", "Missing", 9), 9);
    ini.WriteFloat("XAxis", "XMin", 2048.75);
    EXPECT_THAT(Get(), HasSubstr("XMin=2048,75\r\n"));
    EXPECT_EQ(ini.ReadFloat("XAxis", "XMin", 0), 2048.75);
}

TEST_F(IniFileTest, RewriteChangesOnlyTheTouchedLines) {
    Put("; settings\n"
        "stray\n"
        "[Sensor]\n"
        "Type=1\n"
        "junk line\n"
        "Type=2\n"
        "\n"
        "[USB]\n"
        "PacketMultiplier=1\n");
    TIniFile ini(FFile);
    ini.WriteString("SENSOR", "TYPE", "5");         // the first spelling stays, the duplicate too
    ini.WriteString("sensor", "PixelCount", "512"); // after the section's last entry, before the blank
    ini.WriteString("YAxis", "Title", "Counts");    // a new section at the end
    EXPECT_EQ(Get(), "; settings\r\n"
                     "stray\r\n"
                     "[Sensor]\r\n"
                     "Type=5\r\n"
                     "junk line\r\n"
                     "Type=2\r\n"
                     "PixelCount=512\r\n"
                     "\r\n"
                     "[USB]\r\n"
                     "PacketMultiplier=1\r\n"
                     "\r\n"
                     "[YAxis]\r\n"
                     "Title=Counts\r\n");
    EXPECT_EQ(ini.ReadString("Sensor", "Type", ""), "5");
}

TEST_F(IniFileTest, EveryWrittenValueReadsBackUnchanged) {
    TIniFile ini(FFile);
    const std::string values[] = {
        "",       "plain", " lead",           "trail ", "  both  ", "\"q\"",       "'q'",          "\"",
        "\"half", "a=b=c", "; not a comment", "[not]",  "Grüße €",  "tab\tinside", "\"x\" y \"z\""};
    for (size_t i = 0; i < std::size(values); ++i)
        ini.WriteString("Values", "K" + std::to_string(i), values[i]);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(ini.ReadString("Values", "K" + std::to_string(i), "<def>"), values[i]) << values[i];
    // Windows programs reading the file see the same values: the extra quotes are theirs to strip too.
    EXPECT_THAT(Get(), HasSubstr("K4=\"  both  \"\r\n"));
    EXPECT_THAT(Get(), HasSubstr("K1=plain\r\n"));
}

TEST_F(IniFileTest, NamesAndValuesThatCannotBeStoredRaiseAndLeaveTheFile) {
    Put("[A]\r\nK=1\r\n");
    TIniFile ini(FFile);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"A", "", "v"},   {"A", "  ", "v"},  {"A", "a=b", "v"},  {"A", ";c", "v"},
        {"A", "[x", "v"}, {"a]b", "K", "v"}, {"A\nB", "K", "v"}, {"A", "K", "two\r\nlines"},
    };
    for (const Case& c : cases) {
        try {
            ini.WriteString(c.section, c.key, c.value);
            ADD_FAILURE() << "no exception for " << c.section << "/" << c.key;
        } catch (const EIniFileException& e) {
            EXPECT_THAT(e.Message(), HasSubstr("Unable to write to " + FFile));
        }
    }
    EXPECT_EQ(Get(), "[A]\r\nK=1\r\n");
}

TEST_F(IniFileTest, SectionListsAreInFileOrderEachNameOnce) {
    Put("[Sensor]\nType=1\nMode16Bit=1\ntype=9\n[USB]\nEPTimeOut=100\n[SENSOR]\nPixelCount=2048\nmode16bit="
        "0\n");
    TIniFile ini(FFile);
    TStringList list;
    list.Add("left over");
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), "Sensor|USB");
    ini.ReadSection("sensor", list);
    EXPECT_EQ(Lines(list), "Type|Mode16Bit|PixelCount");
    ini.ReadSectionValues("Sensor", list);
    EXPECT_EQ(Lines(list), "Type=1|Mode16Bit=1|PixelCount=2048");
    ini.ReadSection("Missing", list);
    EXPECT_EQ(list.Count(), 0);
}

// A large settings file: every key and every section is found by name, in any letter case, and the lists
// keep file order with each name once.
TEST_F(IniFileTest, ReadsEveryKeyAndSectionOfALargeFile) {
    constexpr int kCount = 20000;
    std::string content = "[Keys]\r\n";
    for (int i = 0; i < kCount; ++i)
        content += "Key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
    for (int i = 0; i < kCount; ++i)
        content += "[Section" + std::to_string(i) + "]\r\nK=" + std::to_string(i) + "\r\n";
    // The same names again in other letter cases: they add to their sections, never new ones.
    content += "[KEYS]\r\nkey0=ignored\r\nExtra=1\r\n[sECTION5]\r\nL=5\r\n";
    Put(content);

    TIniFile ini(FFile);
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(ini.ReadString(i % 2 ? "keys" : "Keys", "KEY" + std::to_string(i), ""),
                  std::to_string(i * 7))
            << i;
    TStringList list;
    ini.ReadSection("Keys", list);
    ASSERT_EQ(list.Count(), kCount + 1);
    EXPECT_EQ(list[kCount - 1], "Key" + std::to_string(kCount - 1));
    EXPECT_EQ(list[kCount], "Extra");
    ini.ReadSections(list);
    ASSERT_EQ(list.Count(), kCount + 1);
    EXPECT_EQ(list[0], "Keys");
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(list[i + 1], "Section" + std::to_string(i));
    EXPECT_EQ(ini.ReadString("section5", "L", ""), "5");
    EXPECT_EQ(ini.ReadString("Section19999", "k", ""), "19999");

    // A write among them changes one line and is seen by the next read.
    ini.WriteString("Section7", "K", "seven");
    EXPECT_EQ(ini.ReadString("SECTION7", "K", ""), "seven");
    EXPECT_EQ(Get().size(), content.size() + 4);
}

// Whatever another program does to the file between two reads, the second read sees it: also a change
// of the same size, at once after the first read or with the old modification time put back.
TEST_F(IniFileTest, ChangesByOtherProgramsAreSeen) {
    auto setTimes = [&](const timespec& modified) {
        const timespec times[2] = {modified, modified};
        ASSERT_EQ(::utimensat(AT_FDCWD, FFile.c_str(), times, 0), 0);
    };
    auto modifiedTime = [&] {
        struct stat st {};
        ::stat(FFile.c_str(), &st);
        return st.st_mtim;
    };
    auto inPlace = [&](const std::string& content) {
        const int fd = ::open(FFile.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, content.data(), content.size(), 0), static_cast<ssize_t>(content.size()));
        ::close(fd);
    };
    auto replaced = [&](const std::string& content) {
        const std::string other = FDir + "/other.ini";
        std::ofstream(other, std::ios::binary) << content;
        fs::rename(other, FFile);
    };
    const struct {
        const char* What;
        bool Settled; // the file was last written long ago
        std::function<void(const std::string&)> Change;
    } ways[] = {
        {"in place", false, inPlace},
        {"in place, settled", true, inPlace},
        {"in place, time put back", false,
         [&](const std::string& c) {
             const timespec old = modifiedTime();
             inPlace(c);
             setTimes(old);
         }},
        {"in place, settled, time put back", true,
         [&](const std::string& c) {
             const timespec old = modifiedTime();
             inPlace(c);
             setTimes(old);
         }},
        {"replaced", false, replaced},
        {"replaced, settled, same time", true,
         [&](const std::string& c) {
             const timespec old = modifiedTime();
             replaced(c);
             setTimes(old);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.What);
        // Many rounds, so that where the kernel stamps files by its clock tick some changes fall within
        // the tick of the read before them.
        for (int round = 0; round < 10; ++round) {
            TIniFile ini(FFile);
            ini.WriteString("A", "K", "1");
            if (way.Settled) {
                timespec past{};
                ::clock_gettime(CLOCK_REALTIME, &past);
                past.tv_sec -= 3600;
                setTimes(past);
            }
            ASSERT_EQ(ini.ReadString("A", "K", ""), "1");
            way.Change("[A]\r\nK=2\r\n");
            ASSERT_EQ(ini.ReadString("A", "K", ""), "2") << round;
            way.Change("[A]\r\nK=3\r\n");
            ASSERT_EQ(ini.ReadString("A", "K", ""), "3") << round;
            // A write starts from what the file holds now, not from what was read before.
            ini.WriteString("A", "L", "x");
            ASSERT_EQ(Get(), "[A]\r\nK=3\r\nL=x\r\n") << round;
        }
        fs::remove(FFile);
    }
    // Removed: reads give the defaults again.
    TIniFile ini(FFile);
    ini.WriteString("A", "K", "1");
    ASSERT_EQ(ini.ReadString("A", "K", ""), "1");
    fs::remove(FFile);
    EXPECT_EQ(ini.ReadString("A", "K", "gone"), "gone");
    EXPECT_FALSE(ini.SectionExists("A"));
}

TEST_F(IniFileTest, EraseSectionAndDeleteKeyRemoveEveryOccurrence) {
    Put("[A]\nK=1\n[B]\n; about B\nK=2\nK=3\nL=4\n\n[C]\nK=5\n[b]\nM=6\n");
    TIniFile ini(FFile);
    ini.DeleteKey("B", "k");
    EXPECT_FALSE(ini.ValueExists("B", "K"));
    EXPECT_EQ(ini.ReadString("B", "L", ""), "4");
    ini.EraseSection("b");
    EXPECT_FALSE(ini.SectionExists("B"));
    EXPECT_EQ(Get(), "[A]\r\nK=1\r\n[C]\r\nK=5\r\n");
    // Nothing to remove: the file is not touched.
    const auto stamp = fs::last_write_time(FFile);
    ini.EraseSection("Missing");
    ini.DeleteKey("A", "Missing");
    EXPECT_EQ(fs::last_write_time(FFile), stamp);
}

TEST_F(IniFileTest, AMissingFileGivesDefaultsAndIsNotCreatedByReads) {
    TIniFile ini(FFile);
    TStringList list;
    EXPECT_EQ(ini.ReadString("Options", "Style", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("Options", "Style", 7), 7);
    EXPECT_FALSE(ini.SectionExists("Options"));
    ini.ReadSections(list);
    ini.EraseSection("Options");
    ini.DeleteKey("Options", "Style");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(fs::exists(FFile));
    EXPECT_EQ(ini.FileName(), FFile);
}

TEST_F(IniFileTest, AFailedWriteKeepsTheOldFileWhole) {
    Put("[Options]\r\nStyle=3\r\n");
    TIniFile ini(FFile);
    // Writes beyond the size limit fail (root included); the signal the kernel sends then is ignored.
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(ini.WriteString("Options", "Big", std::string(1000, 'x')), EIniFileException);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(Get(), "[Options]\r\nStyle=3\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()), 1)
        << "temporary file left";
}

TEST_F(IniFileTest, WritesThatCannotReachTheFileRaiseNamingIt) {
    Put("not a folder");
    const std::string underFile = FFile + "/settings.ini";
    const std::string missingFolder = FDir + "/missing/settings.ini";
    for (const std::string& name : {underFile, missingFolder}) {
        TIniFile ini(name);
        EXPECT_EQ(ini.ReadString("A", "B", "d"), "d");
        try {
            ini.WriteString("A", "B", "c");
            ADD_FAILURE() << name;
        } catch (const EIniFileException& e) {
            EXPECT_THAT(e.Message(), HasSubstr("Unable to write to " + name));
        }
    }
    EXPECT_FALSE(fs::exists(FDir + "/missing"));
}

TEST_F(IniFileTest, AnUnreadableFileIsNotReplacedByAWrite) {
    // A folder in the file's place cannot be read: reads give defaults, a write must not replace it
    // with a file holding only the new value.
    fs::create_directory(FFile);
    TIniFile ini(FFile);
    EXPECT_EQ(ini.ReadString("A", "B", "d"), "d");
    EXPECT_THROW(ini.WriteString("A", "B", "c"), EIniFileException);
    EXPECT_THROW(ini.EraseSection("A"), EIniFileException);
    EXPECT_TRUE(fs::is_directory(FFile));
}

TEST_F(IniFileTest, ALinkedFileStaysLinked) {
    const std::string real = FDir + "/real.ini";
    std::ofstream(real) << "[A]\nK=1\n";
    fs::create_symlink(real, FFile);
    TIniFile(FFile).WriteString("A", "K", "2");
    EXPECT_TRUE(fs::is_symlink(FFile));
    EXPECT_EQ(TIniFile(real).ReadString("A", "K", ""), "2");
}

TEST_F(IniFileTest, AByteOrderMarkIsKeptAndDoesNotHideTheFirstSection) {
    Put("\xEF\xBB\xBF[Options]\nStyle=2\n");
    TIniFile ini(FFile);
    EXPECT_EQ(ini.ReadInteger("Options", "Style", 7), 2);
    ini.WriteInteger("Options", "Style", 4);
    EXPECT_EQ(Get(), "\xEF\xBB\xBF[Options]\r\nStyle=4\r\n");
}

TEST_F(IniFileTest, RandomBytesNeverBreakReadingOrWriting) {
    std::mt19937 rng(12345);
    const std::string alphabet = "[]=;\"' \t\r\nabcAB\x01\xC3\xBF";
    for (int round = 0; round < 200; ++round) {
        std::string content;
        const int length = static_cast<int>(rng() % 200);
        for (int i = 0; i < length; ++i)
            content += rng() % 4 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng());
        Put(content);
        TIniFile ini(FFile);
        TStringList sections, keys;
        ini.ReadSections(sections);
        for (int i = 0; i < sections.Count(); ++i)
            ini.ReadSectionValues(sections[i], keys);
        ini.WriteString("Z", "Key", "value");
        ASSERT_EQ(ini.ReadString("Z", "Key", ""), "value") << round;
        ini.ReadSections(keys);
        // Every section found before is still there: a write never drops what it did not touch.
        for (int i = 0; i < sections.Count(); ++i)
            EXPECT_TRUE(ini.SectionExists(sections[i])) << round;
    }
}

} // namespace
