// Byte streams: the abstract stream and the file, memory and string streams built on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/Object.h"

namespace plat {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
    PLAT_CLASS(TStream)
public:
    // Read and Write move at most count bytes and return how many moved. Seeking before the start
    // raises EStreamError.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    // Streams that cannot change their size raise EStreamError.
    virtual void SetSize(int64_t newSize);

    // The whole count or an exception: EReadError "Stream read error", EWriteError "Stream write error".
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source (the whole source from its start when count is 0 or less); returns the
    // count.
    int64_t CopyFrom(TStream& source, int64_t count);

    void WriteString(const std::string& s) { WriteBuffer(s.data(), static_cast<int64_t>(s.size())); }
};

// File open modes: one access mode ORed with one share mode; fmCreate creates or truncates.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A file opened with the system's open(2). Share modes become advisory flock(2) locks, taken without
// waiting: fmShareExclusive and fmShareDenyRead an exclusive lock, fmShareDenyWrite a shared one,
// fmShareDenyNone and fmShareCompat none. So two readers that deny writing coexist, and an exclusive
// opener is refused while anyone holds a lock (and the other way round); opens that ask for no share
// mode are never refused. fmCreate empties an existing file only once its lock is granted. Read and
// write failures of the system raise EReadError / EWriteError naming the file.
class TFileStream : public TStream {
    PLAT_CLASS(TFileStream)
public:
    // Raises EFCreateError "Cannot create file \"%s\". %s" or EFOpenError "Cannot open file \"%s\". %s".
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    // Truncates or extends the file and moves the position to the new end.
    void SetSize(int64_t newSize) override;
    const std::string& FileName() const { return FFileName; }
    int Handle() const { return FHandle; }

private:
    std::string FFileName;
    int FHandle = -1;
};

class TMemoryStream : public TStream {
    PLAT_CLASS(TMemoryStream)
public:
    TMemoryStream() = default;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t newSize) override;
    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& dest);
    void SaveToFile(const std::string& fileName);
    uint8_t* Memory() { return FData.data(); }
    const std::vector<uint8_t>& Bytes() const { return FData; }

protected:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

// A memory stream whose content is read and written as a string.
class TStringStream : public TMemoryStream {
    PLAT_CLASS(TStringStream)
public:
    explicit TStringStream(const std::string& data = std::string());
    std::string DataString() const { return std::string(FData.begin(), FData.end()); }
    std::string ReadString(int64_t count);
};

} // namespace plat
