#include "platform/rtl/FileUtils.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// 1899-12-30 is day 0 of TDateTime and day -25569 from 1970-01-01.
constexpr int64_t kUnixEpochDays = 25569;

std::string FolderOf(const std::string& fileName) {
    const size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string ReadLink(const char* path) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(path, buffer.data(), buffer.size());
        if (n < 0)
            return std::string();
        if (static_cast<size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<std::string> CommandLine() {
    std::vector<std::string> args;
    try {
        const std::string text = ReadAllText("/proc/self/cmdline");
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\0', start);
            if (end == std::string::npos)
                end = text.size();
            args.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    } catch (const Exception&) {
    }
    return args;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of the UTF-8 sequence starting at s[i], so '?' stands for one character, not one byte.
size_t CharLength(const std::string& s, size_t i) {
    return Utf8NextChar(s, i) - i;
}

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    const uint64_t value = (static_cast<uint64_t>(::getpid()) << 32) ^ static_cast<uint64_t>(ts.tv_nsec) ^
                           (static_cast<uint64_t>(counter.fetch_add(1)) * 0x9E3779B97F4A7C15ull);
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string s;
    uint64_t v = value;
    for (int i = 0; i < 8; ++i, v /= 36)
        s += digits[v % 36];
    return s;
}

} // namespace

std::string SysErrorMessage(int errorCode) {
    char buffer[256];
    // The GNU strerror_r returns the text, which may or may not be the buffer.
    const char* text = ::strerror_r(errorCode, buffer, sizeof buffer);
    return text ? std::string(text) : std::string("Error ") + std::to_string(errorCode);
}

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return !fileName.empty() && ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& dir) {
    struct stat st {};
    return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& dir) {
    return !dir.empty() && ::mkdir(dir.c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& dir) {
    if (dir.empty())
        return false;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        const std::string level = dir.substr(0, pos);
        if (level.empty() || DirectoryExists(level))
            continue;
        if (::mkdir(level.c_str(), 0777) != 0 && !(errno == EEXIST && DirectoryExists(level)))
            return false;
    }
    return DirectoryExists(dir);
}

bool RemoveDir(const std::string& dir) {
    return !dir.empty() && ::rmdir(dir.c_str()) == 0;
}

bool DeleteFile(const std::string& fileName) {
    struct stat st {};
    if (fileName.empty() || ::lstat(fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    return !oldName.empty() && !newName.empty() && ::rename(oldName.c_str(), newName.c_str()) == 0;
}

TDateTime FileAge(const std::string& fileName) {
    struct stat st {};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    tm local{};
    const time_t seconds = st.st_mtim.tv_sec;
    if (!::localtime_r(&seconds, &local))
        return -1;
    const int64_t days = DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                                       static_cast<unsigned>(local.tm_mday)) +
                         kUnixEpochDays;
    const double secondOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + std::min(local.tm_sec, 59) +
                               static_cast<double>(st.st_mtim.tv_nsec / 1000000) / 1000.0;
    return static_cast<double>(days) + secondOfDay / 86400.0;
}

int64_t FileSize(const std::string& fileName) {
    struct stat st {};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<int64_t>(st.st_size);
}

std::string GetCurrentDir() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()))
            return std::string(buffer.data());
        if (errno != ERANGE)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExpandFileName(const std::string& fileName) {
    if (fileName.empty())
        return std::string();
    const std::string path = fileName[0] == '/' ? fileName : WithSlash(GetCurrentDir()) + fileName;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += '/' + part;
    if (result.empty())
        return "/";
    if (fileName.back() == '/')
        result += '/';
    return result;
}

namespace {
bool MatchWildcards(const std::string& name, const std::string& pattern) {
    // Greedy matching that backtracks only to the last '*': linear in practice, never exponential.
    size_t n = 0, p = 0;
    size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += CharLength(name, n);
        } else if (p < pattern.size() && FoldAscii(pattern[p]) == FoldAscii(name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            starN += CharLength(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}
} // namespace

bool MatchesMask(const std::string& name, const std::string& pattern) {
    if (MatchWildcards(name, pattern))
        return true;
    // "*.*" means every file, also those without an extension.
    const size_t n = pattern.size();
    return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 && name.find('.') == std::string::npos &&
           MatchWildcards(name, pattern.substr(0, n - 2));
}

std::vector<std::string> FindFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    const std::string dir = folder.empty() ? std::string(".") : folder;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return names;
    while (const dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !MatchesMask(name, pattern))
            continue;
        if (entry->d_type == DT_REG || (entry->d_type != DT_DIR && FileExists(WithSlash(dir) + name)))
            names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ApplicationExeName() {
    return ReadLink("/proc/self/exe");
}

std::string ParamStr(int index) {
    if (index == 0)
        return ApplicationExeName();
    const std::vector<std::string> args = CommandLine();
    return index > 0 && static_cast<size_t>(index) < args.size() ? args[static_cast<size_t>(index)]
                                                                 : std::string();
}

int ParamCount() {
    const size_t n = CommandLine().size();
    return n > 0 ? static_cast<int>(n - 1) : 0;
}

std::string ApplicationFolder() {
    const std::string exe = ApplicationExeName();
    return exe.empty() ? std::string() : WithSlash(FolderOf(exe));
}

std::string GetTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return WithSlash(tmp && *tmp ? std::string(tmp) : std::string("/tmp"));
}

bool IsFolderWritable(const std::string& folder) {
    if (!DirectoryExists(folder))
        return false;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string probe = WithSlash(folder) + ".lumetra-probe-" + UniqueSuffix();
        int fd;
        do {
            fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

std::vector<uint8_t> ReadAllBytes(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    std::vector<uint8_t> data;
    // Read to the end rather than trusting the size: files under /proc report none.
    size_t used = 0;
    data.resize(static_cast<size_t>(std::max<int64_t>(stream.Size(), 0)) + 1);
    for (;;) {
        if (used == data.size())
            data.resize(data.size() * 2);
        const int64_t n = stream.Read(data.data() + used, static_cast<int64_t>(data.size() - used));
        if (n <= 0)
            break;
        used += static_cast<size_t>(n);
    }
    data.resize(used);
    return data;
}

std::string ReadAllText(const std::string& fileName) {
    const std::vector<uint8_t> data = ReadAllBytes(fileName);
    return std::string(data.begin(), data.end());
}

namespace {

// The file a chain of symbolic links ends at, whether it exists or not, so that saving through a link
// (even one whose target is still missing) writes the target and keeps the link. A loop or an unreadable
// link gives the last name reached; creating the file there then fails with the system's reason.
std::string LinkTarget(const std::string& fileName) {
    std::string path = fileName;
    struct stat st {};
    for (int hop = 0; hop < 40 && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++hop) {
        const std::string link = ReadLink(path.c_str());
        if (link.empty())
            break;
        path = link[0] == '/' ? link : WithSlash(FolderOf(path)) + link;
    }
    return path;
}

// Why the existing file at target may not be replaced, or an empty text. A file the user has marked
// read-only (no write permission for anyone) is refused even where the system would let the folder's
// owner, or root, replace it.
std::string ReplaceRefusal(const std::string& target, const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return SysErrorMessage(EISDIR);
    if (!S_ISREG(st.st_mode))
        return "It is not a regular file";
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return "The file is read-only";
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return SysErrorMessage(errno);
    return std::string();
}

} // namespace

namespace {

// The temporary file of an atomic write, written straight through; a failure raises the write error of
// the file being replaced.
class TAtomicWriteStream : public TStream {
public:
    TAtomicWriteStream(int fd, const std::string& fileName) : FFd(fd), FFileName(fileName) {}
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* buffer, int64_t count) override {
        const auto* p = static_cast<const uint8_t*>(buffer);
        int64_t done = 0;
        while (done < count) {
            const ssize_t n =
                ::write(FFd, p + done, std::min<size_t>(static_cast<size_t>(count - done), size_t(1) << 30));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw EWriteError("Cannot write file \"" + FFileName + "\". " +
                                  SysErrorMessage(n < 0 ? errno : EIO));
            done += n;
        }
        FPosition += count;
        return count;
    }
    // Only where the writing stands can be asked: the file is written in one pass.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        const int64_t base = origin == soBeginning ? 0 : FPosition;
        if (base + offset != FPosition)
            throw EStreamError("Invalid stream position");
        return FPosition;
    }

private:
    int FFd;
    const std::string& FFileName;
    int64_t FPosition = 0;
};

} // namespace

void WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& Write) {
    auto createError = [&](const std::string& reason) {
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
    };
    if (fileName.empty())
        createError(SysErrorMessage(ENOENT));

    const std::string target = LinkTarget(fileName);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        const std::string refusal = ReplaceRefusal(target, st);
        if (!refusal.empty())
            createError(refusal);
    }

    const std::string folder = FolderOf(target);
    std::string base = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    // The temporary name must fit in a folder entry even when the file's own name nearly fills one.
    base.resize(std::min<size_t>(base.size(), 200));
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = WithSlash(folder) + "." + base + "." + UniqueSuffix() + ".tmp";
        do {
            fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0 && errno != EEXIST)
            createError(SysErrorMessage(errno));
    }
    if (fd < 0)
        createError(SysErrorMessage(EEXIST));

    auto writeError = [&](int error) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        throw EWriteError("Cannot write file \"" + fileName + "\". " + SysErrorMessage(error));
    };
    if (exists) {
        // Best effort: the replacement keeps the old file's owner and permissions.
        [[maybe_unused]] int ignored = ::fchown(fd, st.st_uid, st.st_gid);
        ::fchmod(fd, st.st_mode & 07777);
    }
    {
        // The temporary file goes whenever the content cannot be written whole; its stream raises.
        ScopeGuard removeTemp([&] {
            ::close(fd);
            ::unlink(temp.c_str());
        });
        TAtomicWriteStream stream(fd, fileName);
        Write(stream);
        removeTemp.Dismiss();
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        writeError(errno);
    const int closed = ::close(fd);
    const int closeError = errno;
    fd = -1;
    if (closed != 0 && closeError != EINTR)
        writeError(closeError);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        writeError(errno);
    // Makes the rename itself durable; failure here loses nothing already written.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

void WriteFileAtomically(const std::string& fileName, const void* data, size_t size) {
    WriteFileAtomically(fileName, [&](TStream& stream) {
        if (size > 0)
            stream.WriteBuffer(data, static_cast<int64_t>(size));
    });
}

void WriteFileAtomically(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    WriteFileAtomically(fileName, bytes.data(), bytes.size());
}

void WriteFileAtomically(const std::string& fileName, const std::string& text) {
    WriteFileAtomically(fileName, text.data(), text.size());
}

} // namespace plat
