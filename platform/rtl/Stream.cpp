#include "platform/rtl/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"

namespace plat {

PLAT_CLASS_INFO(TStream, TObject)
PLAT_CLASS_INFO(TFileStream, TStream)
PLAT_CLASS_INFO(TMemoryStream, TStream)
PLAT_CLASS_INFO(TStringStream, TMemoryStream)

namespace {

// One system call moves at most this much, which keeps counts inside ssize_t everywhere.
constexpr int64_t kMaxTransfer = int64_t(1) << 30;

std::string FileMessage(const char* action, const std::string& fileName, const std::string& reason) {
    return std::string(action) + " file \"" + fileName + "\". " + reason;
}

[[noreturn]] void OutOfMemory() {
    throw EStreamError("Out of memory while expanding memory stream");
}

} // namespace

// ---- TStream

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t newSize) {
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0)
        throw EReadError("Stream read error");
    auto* p = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const int64_t n = Read(p + done, count - done);
        if (n <= 0)
            throw EReadError("Stream read error");
        done += n;
    }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0)
        throw EWriteError("Stream write error");
    const auto* p = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const int64_t n = Write(p + done, count - done);
        if (n <= 0)
            throw EWriteError("Stream write error");
        done += n;
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count <= 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, 64 * 1024)));
    int64_t left = count;
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : FFileName(fileName) {
    const bool create = (mode & fmCreate) == fmCreate;
    auto fail = [&](const std::string& reason) {
        if (create)
            throw EFCreateError(FileMessage("Cannot create", fileName, reason));
        throw EFOpenError(FileMessage("Cannot open", fileName, reason));
    };
    auto failErrno = [&](int error) {
        if (FHandle >= 0)
            ::close(FHandle);
        FHandle = -1;
        fail(SysErrorMessage(error));
    };

    int flags = O_CLOEXEC;
    if (create) {
        // Not O_TRUNC: the file is emptied only once the share lock below is granted.
        flags |= O_RDWR | O_CREAT;
    } else {
        switch (mode & 0x3) {
        case fmOpenRead:
            flags |= O_RDONLY;
            break;
        case fmOpenWrite:
            flags |= O_WRONLY;
            break;
        case fmOpenReadWrite:
            flags |= O_RDWR;
            break;
        default:
            failErrno(EINVAL);
        }
    }
    if (fileName.empty())
        failErrno(ENOENT);
    do {
        FHandle = ::open(fileName.c_str(), flags, 0666);
    } while (FHandle < 0 && errno == EINTR);
    if (FHandle < 0)
        failErrno(errno);

    struct stat st {};
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode))
        failErrno(EISDIR);

    int lock = 0;
    switch (mode & 0xF0) {
    case fmShareExclusive:
    case fmShareDenyRead:
        lock = LOCK_EX;
        break;
    case fmShareDenyWrite:
        lock = LOCK_SH;
        break;
    default:
        break;
    }
    if (lock != 0) {
        int rc;
        do {
            rc = ::flock(FHandle, lock | LOCK_NB);
        } while (rc < 0 && errno == EINTR);
        if (rc < 0) {
            const int error = errno;
            ::close(FHandle);
            FHandle = -1;
            if (error == EWOULDBLOCK)
                fail("The file is in use by another process.");
            fail(SysErrorMessage(error));
        }
    }
    if (create) {
        int rc;
        do {
            rc = ::ftruncate(FHandle, 0);
        } while (rc < 0 && errno == EINTR);
        if (rc < 0)
            failErrno(errno);
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0)
        ::close(FHandle);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    auto* p = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::read(FHandle, p + done, static_cast<size_t>(std::min(count - done, kMaxTransfer)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EReadError(FileMessage("Cannot read", FFileName, SysErrorMessage(errno)));
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    const auto* p = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::write(FHandle, p + done, static_cast<size_t>(std::min(count - done, kMaxTransfer)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EWriteError(FileMessage("Cannot write", FFileName, SysErrorMessage(errno)));
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soBeginning ? SEEK_SET : (origin == soCurrent ? SEEK_CUR : SEEK_END);
    const off_t pos = ::lseek(FHandle, static_cast<off_t>(offset), whence);
    if (pos < 0)
        throw EStreamError(FileMessage("Cannot seek in", FFileName, SysErrorMessage(errno)));
    return pos;
}

int64_t TFileStream::Size() {
    struct stat st {};
    if (::fstat(FHandle, &st) != 0)
        throw EStreamError(FileMessage("Cannot read the size of", FFileName, SysErrorMessage(errno)));
    return static_cast<int64_t>(st.st_size);
}

void TFileStream::SetSize(int64_t newSize) {
    int rc;
    do {
        rc = newSize < 0 ? (errno = EINVAL, -1) : ::ftruncate(FHandle, static_cast<off_t>(newSize));
    } while (rc < 0 && errno == EINTR);
    if (rc < 0)
        throw EStreamError(FileMessage("Cannot change the size of", FFileName, SysErrorMessage(errno)));
    Seek(newSize, soBeginning);
}

// ---- TMemoryStream

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    const int64_t size = Size();
    if (count <= 0 || FPosition >= size)
        return 0;
    const int64_t n = std::min(count, size - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    if (count > std::numeric_limits<int64_t>::max() - FPosition)
        OutOfMemory();
    const int64_t end = FPosition + count;
    if (end > Size()) {
        // Writing past the end fills the gap with zeros.
        try {
            FData.resize(static_cast<size_t>(end));
        } catch (const std::bad_alloc&) {
            OutOfMemory();
        } catch (const std::length_error&) {
            OutOfMemory();
        }
    }
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soBeginning ? 0 : (origin == soCurrent ? FPosition : Size());
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0)
        throw EStreamError("Invalid stream position");
    // Beyond the end is allowed: the stream grows only when written there.
    FPosition = base + offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0)
        throw EStreamError("Invalid stream size");
    try {
        FData.resize(static_cast<size_t>(newSize));
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::length_error&) {
        OutOfMemory();
    }
    if (FPosition > newSize)
        FPosition = newSize;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t count = source.Size();
    std::vector<uint8_t> data;
    try {
        data.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::length_error&) {
        OutOfMemory();
    }
    // Read aside first, so a failed read leaves this stream as it was.
    if (count > 0)
        source.ReadBuffer(data.data(), count);
    FData.swap(data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    FData = ReadAllBytes(fileName);
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) {
    if (!FData.empty())
        dest.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
    WriteFileAtomically(fileName, FData);
}

// ---- TStringStream

TStringStream::TStringStream(const std::string& data) {
    FData.assign(data.begin(), data.end());
}

std::string TStringStream::ReadString(int64_t count) {
    const int64_t available = std::max<int64_t>(Size() - FPosition, 0);
    const int64_t n = std::clamp<int64_t>(count, 0, available);
    if (n == 0)
        return std::string();
    std::string s(reinterpret_cast<const char*>(FData.data()) + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return s;
}

} // namespace plat
