#include "platform/rtl/Stream.h"

#include <cstring>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"

using namespace plat;

namespace {

std::string ReadAll(TStream& s) {
    std::string text(static_cast<size_t>(s.Size() - s.Position()), '\0');
    s.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    return text;
}

// Hands out at most a few bytes per call and can refuse writes, like a pipe or a full disk.
class TTrickleStream : public TMemoryStream {
public:
    int64_t Read(void* buffer, int64_t count) override {
        return TMemoryStream::Read(buffer, std::min<int64_t>(count, 3));
    }
    int64_t Write(const void* buffer, int64_t count) override {
        return FAcceptWrites ? TMemoryStream::Write(buffer, std::min<int64_t>(count, 3)) : 0;
    }
    bool FAcceptWrites = true;
};

} // namespace

TEST(TMemoryStream, SeekGrowAndReadPastEnd) {
    TMemoryStream s;
    s.WriteString("abc");
    EXPECT_EQ(s.Seek(5, soCurrent), 8);
    EXPECT_EQ(s.Size(), 3); // seeking alone does not grow
    char buf[4] = {};
    EXPECT_EQ(s.Read(buf, 4), 0);
    s.WriteString("Z");
    ASSERT_EQ(s.Size(), 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Memory()), 9), std::string("abc\0\0\0\0\0Z", 9));

    s.Seek(-2, soEnd);
    EXPECT_EQ(s.Read(buf, 4), 2);
    EXPECT_EQ(s.Position(), 9);
    EXPECT_THROW(s.Seek(-10, soEnd), EStreamError);
    EXPECT_EQ(s.Position(), 9);

    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    s.SetPosition(0);
    EXPECT_EQ(ReadAll(s), "ab");
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(TStream, BufferTransfersAreAllOrError) {
    TTrickleStream s;
    s.WriteBuffer("0123456789", 10); // many short writes add up
    s.SetPosition(0);
    char buf[16] = {};
    s.ReadBuffer(buf, 10);
    EXPECT_STREQ(buf, "0123456789");

    s.SetPosition(7);
    try {
        s.ReadBuffer(buf, 4);
        FAIL() << "short read not reported";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    s.FAcceptWrites = false;
    try {
        s.WriteBuffer("x", 1);
        FAIL() << "refused write not reported";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
}

TEST(TStream, CopyFromWholeSourceOrCount) {
    TStringStream source("hello world");
    source.SetPosition(6);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 0), 11); // rewinds and copies all
    source.SetPosition(6);
    EXPECT_EQ(dest.CopyFrom(source, 5), 5);
    dest.SetPosition(0);
    EXPECT_EQ(ReadAll(dest), "hello worldworld");
    source.SetPosition(8);
    EXPECT_THROW(dest.CopyFrom(source, 5), EReadError);

    // Large copies go through the buffer in pieces.
    TMemoryStream big;
    std::string data(200000, 'x');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>('a' + i % 26);
    big.WriteString(data);
    TMemoryStream copy;
    copy.CopyFrom(big, 0);
    copy.SetPosition(0);
    EXPECT_EQ(ReadAll(copy), data);

    TStringStream fixed("abc");
    EXPECT_THROW(static_cast<TStream&>(fixed).TStream::SetSize(1), EStreamError);
}

TEST(TStringStream, ReadsAndWritesText) {
    TStringStream s("abcdef");
    EXPECT_EQ(s.ReadString(2), "ab");
    EXPECT_EQ(s.ReadString(100), "cdef");
    EXPECT_EQ(s.ReadString(1), "");
    s.SetPosition(20);
    EXPECT_EQ(s.ReadString(1), "");
    s.SetPosition(3);
    s.WriteString("XYZW");
    EXPECT_EQ(s.DataString(), "abcXYZW");
}

class TFileStreamTest : public TempFolderTest {};

TEST_F(TFileStreamTest, CreateWriteReopenAndResize) {
    {
        TFileStream f(Path("data.bin"), fmCreate);
        f.WriteString("0123456789");
        EXPECT_EQ(f.Size(), 10);
        f.SetSize(4);
        EXPECT_EQ(f.Position(), 4);
    }
    {
        TFileStream f(Path("data.bin"), fmOpenReadWrite);
        EXPECT_EQ(ReadAll(f), "0123");
        f.Seek(6, soBeginning);
        f.WriteString("!");
        EXPECT_EQ(f.Size(), 7);
        f.SetPosition(0);
        EXPECT_EQ(ReadAll(f), std::string("0123\0\0!", 7));
        f.SetPosition(0);
        char buf[8];
        EXPECT_THROW(f.ReadBuffer(buf, 8), EReadError);
    }
    {
        TFileStream f(Path("data.bin"), fmOpenRead);
        EXPECT_THROW(f.WriteString("x"), EWriteError);
    }
    { TFileStream f(Path("data.bin"), fmCreate); } // truncates
    EXPECT_EQ(FileSize(Path("data.bin")), 0);
}

TEST_F(TFileStreamTest, OpenErrorsCarryTheSystemReason) {
    const struct {
        std::string name;
        uint16_t mode;
        std::string message;
    } cases[] = {
        {Path("missing.txt"), fmOpenRead,
         "Cannot open file \"" + Path("missing.txt") + "\". No such file or directory"},
        {Path("no/dir.txt"), fmCreate,
         "Cannot create file \"" + Path("no/dir.txt") + "\". No such file or directory"},
        {FFolder, fmOpenRead, "Cannot open file \"" + FFolder + "\". Is a directory"},
        {FFolder, fmCreate, "Cannot create file \"" + FFolder + "\". Is a directory"},
    };
    for (const auto& c : cases) {
        try {
            TFileStream f(c.name, c.mode);
            ADD_FAILURE() << "opened " << c.name;
        } catch (const EFileStreamError& e) {
            EXPECT_EQ(e.Message(), c.message);
            EXPECT_STREQ(e.ClassName(), c.mode == fmCreate ? "EFCreateError" : "EFOpenError");
        }
    }
}

TEST_F(TFileStreamTest, ShareModesLockAgainstEachOther) {
    {
        TFileStream f(Path("shared.txt"), fmCreate);
        f.WriteString("keep me");
    }
    {
        TFileStream reader1(Path("shared.txt"), fmOpenRead | fmShareDenyWrite);
        TFileStream reader2(Path("shared.txt"), fmOpenRead | fmShareDenyWrite);
        TFileStream unlocked(Path("shared.txt"), fmOpenRead | fmShareDenyNone);
        try {
            TFileStream writer(Path("shared.txt"), fmOpenReadWrite | fmShareExclusive);
            ADD_FAILURE() << "exclusive open granted while others read";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "Cannot open file \"" + Path("shared.txt") +
                                       "\". The file is in use by another process.");
        }
        // A refused create must not empty the file it could not lock.
        EXPECT_THROW(TFileStream(Path("shared.txt"), fmCreate | fmShareExclusive), EFCreateError);
        EXPECT_EQ(ReadAll(unlocked), "keep me");
    }
    TFileStream writer(Path("shared.txt"), fmOpenReadWrite | fmShareExclusive);
    EXPECT_THROW(TFileStream(Path("shared.txt"), fmOpenRead | fmShareDenyWrite), EFOpenError);
}

TEST_F(TFileStreamTest, MemoryStreamFilesRoundTrip) {
    TMemoryStream m;
    m.WriteString(std::string("bin\0ary", 7));
    m.SaveToFile(Path("m.bin"));
    TMemoryStream back;
    back.WriteString("stale content");
    back.LoadFromFile(Path("m.bin"));
    EXPECT_EQ(back.Position(), 0);
    EXPECT_EQ(ReadAll(back), std::string("bin\0ary", 7));
    EXPECT_THROW(back.LoadFromFile(Path("missing")), EFOpenError);
    EXPECT_EQ(back.Size(), 7);
    EXPECT_THROW(m.SaveToFile(Path("missing/m.bin")), EFCreateError);
}
