#include "platform/rtl/IniFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

bool SameName(std::string_view a, std::string_view b) {
    return AnsiSameText(Trimmed(a), Trimmed(b));
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
    line.Value = DecodeValue(t.substr(eq + 1));
    return line;
}

void TIniDocument::Parse(std::string_view text) {
    FLines.clear();
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
    bool inside = false;
    for (size_t i = 0; i < FLines.size(); ++i) {
        const TLine& line = FLines[i];
        if (line.Kind == TLineKind::Section)
            inside = SameName(line.Name, section);
        else if (line.Kind == TLineKind::BrokenSection)
            inside = false;
        else if (inside && line.Kind == TLineKind::Entry)
            f(i);
    }
}

bool TIniDocument::ReadValue(std::string_view section, std::string_view ident, std::string& value) const {
    bool found = false;
    ForEachEntry(section, [&](size_t i) {
        if (!found && SameName(FLines[i].Name, ident)) {
            value = FLines[i].Value;
            found = true;
        }
    });
    return found;
}

bool TIniDocument::ValueExists(std::string_view section, std::string_view ident) const {
    std::string ignored;
    return ReadValue(section, ident, ignored);
}

bool TIniDocument::SectionExists(std::string_view section) const {
    for (const TLine& line : FLines)
        if (line.Kind == TLineKind::Section && SameName(line.Name, section))
            return true;
    return false;
}

std::vector<std::string> TIniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const TLine& line : FLines) {
        if (line.Kind != TLineKind::Section)
            continue;
        bool seen = false;
        for (const std::string& n : names)
            seen = seen || SameName(n, line.Name);
        if (!seen)
            names.push_back(line.Name);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> TIniDocument::Values(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> values;
    ForEachEntry(section, [&](size_t i) {
        for (const auto& v : values)
            if (SameName(v.first, FLines[i].Name))
                return;
        values.emplace_back(FLines[i].Name, FLines[i].Value);
    });
    return values;
}

std::vector<std::string> TIniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    for (auto& v : Values(section))
        names.push_back(std::move(v.first));
    return names;
}

int TIniDocument::InsertionPoint(std::string_view section) const {
    for (size_t i = 0; i < FLines.size(); ++i) {
        if (FLines[i].Kind != TLineKind::Section || !SameName(FLines[i].Name, section))
            continue;
        // The block runs to the next header; new entries go after its last non-blank line, so blank lines
        // that separate it from the next section stay where they are.
        size_t last = i;
        for (size_t j = i + 1; j < FLines.size(); ++j) {
            if (FLines[j].Kind == TLineKind::Section || FLines[j].Kind == TLineKind::BrokenSection)
                break;
            if (!Trimmed(FLines[j].Raw).empty())
                last = j;
        }
        return static_cast<int>(last);
    }
    return -1;
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
}

void TIniDocument::WriteValue(std::string_view section, std::string_view ident, std::string_view value) {
    const std::string encoded = EncodeValue(value);
    bool replaced = false;
    ForEachEntry(section, [&](size_t i) {
        if (replaced || !SameName(FLines[i].Name, ident))
            return;
        TLine& line = FLines[i];
        line.Raw = line.Name + "=" + encoded;
        line.Value = std::string(value);
        replaced = true;
    });
    if (replaced)
        return;
    AddSection(section);
    const int at = InsertionPoint(section);
    FLines.insert(FLines.begin() + at + 1, ParseLine(std::string(Trimmed(ident)) + "=" + encoded));
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view ident) {
    std::vector<size_t> doomed;
    ForEachEntry(section, [&](size_t i) {
        if (SameName(FLines[i].Name, ident))
            doomed.push_back(i);
    });
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(*it));
    return !doomed.empty();
}

bool TIniDocument::EraseSection(std::string_view section) {
    std::vector<TLine> kept;
    kept.reserve(FLines.size());
    bool inside = false, erased = false;
    for (TLine& line : FLines) {
        if (line.Kind == TLineKind::Section)
            inside = SameName(line.Name, section);
        else if (line.Kind == TLineKind::BrokenSection)
            inside = false;
        if (inside)
            erased = true;
        else
            kept.push_back(std::move(line));
    }
    FLines = std::move(kept);
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

// Reads a whole file; returns 0 or the errno of the failure.
int ReadWholeFile(const std::string& fileName, std::string& data) {
    data.clear();
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = 0;
    char buffer[16384];
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
    ::close(fd);
    return err;
}

} // namespace

TIniDocument TIniFile::LoadDocument() const {
    TIniDocument doc;
    std::string data;
    if (ReadWholeFile(FileName(), data) == 0)
        doc.Parse(data);
    return doc;
}

TIniDocument TIniFile::LoadDocumentForUpdate() const {
    TIniDocument doc;
    std::string data;
    const int err = ReadWholeFile(FileName(), data);
    if (err == ENOENT || err == ENOTDIR)
        return doc;
    if (err != 0)
        WriteError(std::string("the file cannot be read (") + std::strerror(err) + ")");
    doc.Parse(data);
    return doc;
}

void TIniFile::WriteError(const std::string& reason) const {
    throw EIniFileException("Unable to write to " + FileName() + ": " + reason);
}

void TIniFile::SaveDocument(const TIniDocument& doc) const {
    try {
        // Replaces the file a symbolic link points to, not the link.
        WriteFileAtomically(FileName(), doc.Serialize());
    } catch (const Exception& e) {
        WriteError(e.Message());
    }
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
    std::string value;
    return LoadDocument().ReadValue(section, ident, value) ? value : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    for (const std::string& reason : {TIniDocument::CheckSection(section), TIniDocument::CheckKey(ident),
                                      TIniDocument::CheckValue(value)})
        if (!reason.empty())
            WriteError(reason);
    TIniDocument doc = LoadDocumentForUpdate();
    doc.WriteValue(section, ident, value);
    SaveDocument(doc);
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings) {
    strings.BeginUpdate();
    strings.Clear();
    for (const std::string& name : LoadDocument().KeyNames(section))
        strings.Add(name);
    strings.EndUpdate();
}

void TIniFile::ReadSections(TStrings& strings) {
    strings.BeginUpdate();
    strings.Clear();
    for (const std::string& name : LoadDocument().SectionNames())
        strings.Add(name);
    strings.EndUpdate();
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
    strings.BeginUpdate();
    strings.Clear();
    for (const auto& [name, value] : LoadDocument().Values(section))
        strings.Add(name + "=" + value);
    strings.EndUpdate();
}

void TIniFile::EraseSection(const std::string& section) {
    TIniDocument doc = LoadDocumentForUpdate();
    if (doc.EraseSection(section))
        SaveDocument(doc);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    TIniDocument doc = LoadDocumentForUpdate();
    if (doc.DeleteKey(section, ident))
        SaveDocument(doc);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) {
    return LoadDocument().ValueExists(section, ident);
}

bool TIniFile::SectionExists(const std::string& section) {
    return LoadDocument().SectionExists(section);
}

} // namespace plat
