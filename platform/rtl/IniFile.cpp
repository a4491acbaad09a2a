#include "platform/rtl/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

PLAT_CLASS_INFO(TCustomIniFile, TObject)
PLAT_CLASS_INFO(TIniFile, TCustomIniFile)

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// The value as the file holds it: one pair of enclosing quotes is taken off when reading, so a value that
// would lose blanks or quotes on the way back gets an extra pair.
std::string EncodeValue(std::string_view value) {
    if (value.empty())
        return std::string();
    const bool blankEdge =
        static_cast<unsigned char>(value.front()) <= ' ' || static_cast<unsigned char>(value.back()) <= ' ';
    const bool quoted = value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
    if (blankEdge || quoted)
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

std::string DecodeValue(std::string_view raw) {
    std::string_view v = Trimmed(raw);
    if (v.size() >= 2 && IsQuote(v.front()) && v.front() == v.back())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

// ---- TIniDocument ----

TIniDocument::TLine TIniDocument::ParseLine(std::string_view raw) {
    TLine line;
    line.Raw = std::string(raw);
    const std::string_view t = Trimmed(raw);
    if (t.empty() || t.front() == ';')
        return line;
    if (t.front() == '[') {
        const size_t close = t.find(']');
        if (close == std::string_view::npos) {
            line.Kind = TLineKind::BrokenSection;
            return line;
        }
        line.Kind = TLineKind::Section;
        line.Name = std::string(Trimmed(t.substr(1, close - 1)));
        line.Key = AnsiCaseKey(line.Name);
        return line;
    }
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return line;
    const std::string_view name = Trimmed(t.substr(0, eq));
    if (name.empty())
        return line;
    line.Kind = TLineKind::Entry;
    line.Name = std::string(name);
    line.Key = AnsiCaseKey(line.Name);
    line.Value = DecodeValue(t.substr(eq + 1));
    return line;
}

void TIniDocument::Parse(std::string_view text) {
    FLines.clear();
    FIndexed = false;
    FBom = text.substr(0, kBom.size()) == kBom;
    if (FBom)
        text.remove_prefix(kBom.size());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        FLines.push_back(ParseLine(text.substr(pos, end - pos)));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
}

std::string TIniDocument::Serialize() const {
    std::string out;
    if (FBom)
        out += kBom;
    for (const TLine& line : FLines) {
        out += line.Raw;
        out += "\r\n";
    }
    return out;
}

template <class F> void TIniDocument::ForEachEntry(std::string_view section, F&& f) const {
    const std::string key = AnsiCaseKey(Trimmed(section));
    bool inside = false;
    for (size_t i = 0; i < FLines.size(); ++i) {
        const TLine& line = FLines[i];
        if (line.Kind == TLineKind::Section)
            inside = line.Key == key;
        else if (line.Kind == TLineKind::BrokenSection)
            inside = false;
        else if (inside && line.Kind == TLineKind::Entry)
            f(i);
    }
}

void TIniDocument::BuildIndex() const {
    if (FIndexed)
        return;
    FSections.clear();
    FSectionOrder.clear();
    TSectionIndex* current = nullptr;
    for (size_t i = 0; i < FLines.size(); ++i) {
        const TLine& line = FLines[i];
        if (line.Kind == TLineKind::Section) {
            const auto [it, added] = FSections.try_emplace(line.Key);
            if (added) {
                it->second.Header = i;
                FSectionOrder.push_back(i);
            }
            current = &it->second;
        } else if (line.Kind == TLineKind::BrokenSection) {
            current = nullptr;
        } else if (current && line.Kind == TLineKind::Entry) {
            if (current->ByKey.try_emplace(line.Key, i).second)
                current->Keys.push_back(i);
        }
    }
    FIndexed = true;
}

const TIniDocument::TSectionIndex* TIniDocument::FindSection(std::string_view section) const {
    BuildIndex();
    const auto it = FSections.find(AnsiCaseKey(Trimmed(section)));
    return it == FSections.end() ? nullptr : &it->second;
}

const TIniDocument::TLine* TIniDocument::FindEntry(std::string_view section, std::string_view ident) const {
    const TSectionIndex* index = FindSection(section);
    if (!index)
        return nullptr;
    const auto it = index->ByKey.find(AnsiCaseKey(Trimmed(ident)));
    return it == index->ByKey.end() ? nullptr : &FLines[it->second];
}

bool TIniDocument::ReadValue(std::string_view section, std::string_view ident, std::string& value) const {
    const TLine* entry = FindEntry(section, ident);
    if (entry)
        value = entry->Value;
    return entry != nullptr;
}

bool TIniDocument::ValueExists(std::string_view section, std::string_view ident) const {
    return FindEntry(section, ident) != nullptr;
}

bool TIniDocument::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

std::vector<std::string> TIniDocument::SectionNames() const {
    BuildIndex();
    std::vector<std::string> names;
    names.reserve(FSectionOrder.size());
    for (size_t i : FSectionOrder)
        names.push_back(FLines[i].Name);
    return names;
}

std::vector<std::pair<std::string, std::string>> TIniDocument::Values(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> values;
    if (const TSectionIndex* index = FindSection(section)) {
        values.reserve(index->Keys.size());
        for (size_t i : index->Keys)
            values.emplace_back(FLines[i].Name, FLines[i].Value);
    }
    return values;
}

std::vector<std::string> TIniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (const TSectionIndex* index = FindSection(section)) {
        names.reserve(index->Keys.size());
        for (size_t i : index->Keys)
            names.push_back(FLines[i].Name);
    }
    return names;
}

int TIniDocument::InsertionPoint(std::string_view section) const {
    const TSectionIndex* index = FindSection(section);
    if (!index)
        return -1;
    // The block runs to the next header; new entries go after its last non-blank line, so blank lines
    // that separate it from the next section stay where they are.
    size_t last = index->Header;
    for (size_t j = last + 1; j < FLines.size(); ++j) {
        if (FLines[j].Kind == TLineKind::Section || FLines[j].Kind == TLineKind::BrokenSection)
            break;
        if (!Trimmed(FLines[j].Raw).empty())
            last = j;
    }
    return static_cast<int>(last);
}

std::string TIniDocument::CheckSection(std::string_view section) {
    if (HasLineBreak(section))
        return "a section name cannot hold a line break";
    if (section.find(']') != std::string_view::npos)
        return "a section name cannot hold ']'";
    return std::string();
}

std::string TIniDocument::CheckKey(std::string_view ident) {
    const std::string_view t = Trimmed(ident);
    if (t.empty())
        return "a key name cannot be empty";
    if (HasLineBreak(t))
        return "a key name cannot hold a line break";
    if (t.find('=') != std::string_view::npos)
        return "a key name cannot hold '='";
    if (t.front() == ';' || t.front() == '[')
        return "a key name cannot start with ';' or '['";
    return std::string();
}

std::string TIniDocument::CheckValue(std::string_view value) {
    if (HasLineBreak(value))
        return "a value cannot hold a line break";
    return std::string();
}

void TIniDocument::AddSection(std::string_view section) {
    if (SectionExists(section))
        return;
    if (!FLines.empty() && !Trimmed(FLines.back().Raw).empty())
        FLines.push_back(TLine{});
    FLines.push_back(ParseLine("[" + std::string(Trimmed(section)) + "]"));
    FIndexed = false;
}

void TIniDocument::WriteValue(std::string_view section, std::string_view ident, std::string_view value) {
    const std::string encoded = EncodeValue(value);
    if (const TLine* found = FindEntry(section, ident)) {
        // Name and place stay, so the index does too.
        TLine& line = FLines[static_cast<size_t>(found - FLines.data())];
        line.Raw = line.Name + "=" + encoded;
        line.Value = std::string(value);
        return;
    }
    AddSection(section);
    const int at = InsertionPoint(section);
    FLines.insert(FLines.begin() + at + 1, ParseLine(std::string(Trimmed(ident)) + "=" + encoded));
    FIndexed = false;
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view ident) {
    std::vector<size_t> doomed;
    const std::string key = AnsiCaseKey(Trimmed(ident));
    ForEachEntry(section, [&](size_t i) {
        if (FLines[i].Key == key)
            doomed.push_back(i);
    });
    if (doomed.empty())
        return false;
    // One pass, so that deleting a key that occurs many times costs no more than one rewrite.
    size_t next = 0, kept = 0;
    for (size_t i = 0; i < FLines.size(); ++i) {
        if (next < doomed.size() && doomed[next] == i) {
            ++next;
            continue;
        }
        if (kept != i)
            FLines[kept] = std::move(FLines[i]);
        ++kept;
    }
    FLines.resize(kept);
    FIndexed = false;
    return true;
}

bool TIniDocument::EraseSection(std::string_view section) {
    std::vector<TLine> kept;
    kept.reserve(FLines.size());
    const std::string key = AnsiCaseKey(Trimmed(section));
    bool inside = false, erased = false;
    for (TLine& line : FLines) {
        if (line.Kind == TLineKind::Section)
            inside = line.Key == key;
        else if (line.Kind == TLineKind::BrokenSection)
            inside = false;
        if (inside)
            erased = true;
        else
            kept.push_back(std::move(line));
    }
    FLines = std::move(kept);
    FIndexed = false;
    return erased;
}

// ---- TCustomIniFile ----

bool TCustomIniFile::TryParseInteger(const std::string& rawText, int& value) {
    const std::string text = Trim(rawText);
    int64_t v = 0;
    if (text.empty() || !TryStrToInt64(text, v))
        return false;
    const bool hex =
        text[0] == '$' || (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'));
    // Hexadecimal settings such as colours may use all 32 bits.
    if (hex && v > INT32_MAX && v <= UINT32_MAX) {
        value = static_cast<int>(static_cast<uint32_t>(v));
        return true;
    }
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    int value = 0;
    return TryParseInteger(ReadString(section, ident, std::string()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double defaultValue) {
    const std::string text = Trim(ReadString(section, ident, std::string()));
    double value = 0;
    if (text.empty() || !TryStrToFloat(text, value))
        return defaultValue;
    return value;
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident, double value) {
    WriteString(section, ident, FloatToStr(value));
}

// ---- TIniFile ----

namespace {

// How long after a file's time stamps a change may still leave them as they were. Stamps with a fraction
// of a second come from file systems that stamp in steps of at most 10 ms, on a clock that advances in
// kernel ticks of a few milliseconds; whole seconds may mean steps of one or two seconds (FAT, ext3).
int64_t StampStep(int64_t modified, int64_t changed) {
    constexpr int64_t kSecond = 1'000'000'000;
    return modified % kSecond != 0 || changed % kSecond != 0 ? kSecond / 10 : 3 * kSecond;
}

int64_t Nanoseconds(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

int64_t WallClockNs() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return Nanoseconds(t);
}

// Reads a whole file; returns 0 or the errno of the failure. before and after are the file's state when
// the read began and ended.
int ReadWholeFile(const std::string& fileName, std::string& data, struct stat& before, struct stat& after) {
    data.clear();
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = 0;
    if (::fstat(fd, &before) != 0) {
        err = errno;
    } else if (S_ISDIR(before.st_mode)) {
        err = EISDIR;
    } else {
        if (S_ISREG(before.st_mode) && before.st_size > 0)
            data.reserve(static_cast<size_t>(before.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                data.append(buffer, static_cast<size_t>(n));
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                err = errno;
                break;
            }
        }
        if (err == 0 && ::fstat(fd, &after) != 0)
            err = errno;
    }
    ::close(fd);
    return err;
}

} // namespace

TIniFile::TFileStamp TIniFile::StampOf(const struct ::stat& st) {
    return TFileStamp{st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
}

int TIniFile::Refresh() const {
    struct stat st {};
    if (FKnown && ::stat(FileName().c_str(), &st) == 0 && StampOf(st) == FStamp &&
        std::max(FStamp.Modified, FStamp.Changed) + StampStep(FStamp.Modified, FStamp.Changed) < FVerifiedAt)
        return 0;

    // Taken before reading: whatever changes the file later gets stamps less than one step before it.
    const int64_t readAt = WallClockNs();
    std::string data;
    struct stat before {};
    struct stat after {};
    const int err = ReadWholeFile(FileName(), data, before, after);
    if (err != 0) {
        FKnown = false;
        FDocument = TIniDocument();
        FText.clear();
        return err;
    }
    if (!FKnown || data != FText) {
        FDocument.Parse(data);
        FText = std::move(data);
    }
    FKnown = true;
    FStamp = StampOf(before);
    // Changed while being read: what was read may be torn, so it is read again next time.
    FVerifiedAt = StampOf(after) == FStamp ? readAt : INT64_MIN;
    return 0;
}

void TIniFile::RefreshForUpdate() const {
    const int err = Refresh();
    if (err != 0 && err != ENOENT && err != ENOTDIR)
        WriteError(std::string("the file cannot be read (") + std::strerror(err) + ")");
}

void TIniFile::Store() const {
    const std::string text = FDocument.Serialize();
    try {
        // Replaces the file a symbolic link points to, not the link.
        WriteFileAtomically(FileName(), text);
    } catch (const Exception& e) {
        WriteError(e.Message());
    }
    // Another program may write between the rename and this look, so the kept text counts as what the
    // file holds only once a read has seen it there.
    struct stat st {};
    FKnown = ::stat(FileName().c_str(), &st) == 0;
    FText = text;
    FStamp = StampOf(st);
    FVerifiedAt = INT64_MIN;
}

TIniDocument TIniFile::LoadDocument() const {
    Refresh();
    return FDocument;
}

TIniDocument TIniFile::LoadDocumentForUpdate() const {
    RefreshForUpdate();
    return FDocument;
}

void TIniFile::WriteError(const std::string& reason) const {
    throw EIniFileException("Unable to write to " + FileName() + ": " + reason);
}

void TIniFile::SaveDocument(const TIniDocument& doc) const {
    // Until the write succeeds the kept document no longer stands for the file.
    FKnown = false;
    FDocument = doc;
    Store();
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
    Refresh();
    std::string value;
    return FDocument.ReadValue(section, ident, value) ? value : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    for (const std::string& reason : {TIniDocument::CheckSection(section), TIniDocument::CheckKey(ident),
                                      TIniDocument::CheckValue(value)})
        if (!reason.empty())
            WriteError(reason);
    RefreshForUpdate();
    FKnown = false;
    FDocument.WriteValue(section, ident, value);
    Store();
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings) {
    Refresh();
    strings.BeginUpdate();
    strings.Clear();
    for (const std::string& name : FDocument.KeyNames(section))
        strings.Add(name);
    strings.EndUpdate();
}

void TIniFile::ReadSections(TStrings& strings) {
    Refresh();
    strings.BeginUpdate();
    strings.Clear();
    for (const std::string& name : FDocument.SectionNames())
        strings.Add(name);
    strings.EndUpdate();
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
    Refresh();
    strings.BeginUpdate();
    strings.Clear();
    for (const auto& [name, value] : FDocument.Values(section))
        strings.Add(name + "=" + value);
    strings.EndUpdate();
}

void TIniFile::EraseSection(const std::string& section) {
    RefreshForUpdate();
    FKnown = false;
    if (FDocument.EraseSection(section))
        Store();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    RefreshForUpdate();
    FKnown = false;
    if (FDocument.DeleteKey(section, ident))
        Store();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) {
    Refresh();
    return FDocument.ValueExists(section, ident);
}

bool TIniFile::SectionExists(const std::string& section) {
    Refresh();
    return FDocument.SectionExists(section);
}

} // namespace plat
