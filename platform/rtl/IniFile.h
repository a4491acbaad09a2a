// INI settings files: case-insensitive sections and keys, read again whenever the file has changed on
// disk and rewritten through a temporary file on every change, so settings shared with other programs
// stay current and a failed write never destroys them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Object.h"

namespace plat {

class TStrings;

// The in-memory form of one INI file. Every line is kept as it was read, so a rewrite changes only the
// lines a write touches: comments (';'), blank lines and malformed lines (text without '=', text before
// the first section, a '[' without ']') survive but take no part in lookups.
//
// Reading rules: names and values are trimmed; a value enclosed in one pair of matching quotes ("..." or
// '...') gives the text inside; the first of duplicate keys wins; sections of the same name count as one.
// Writing rules: "Key=Value" with CR LF line ends; a value that would change when read back (surrounding
// blanks, or enclosing quotes) is written inside an extra pair of double quotes, so every value read back
// is the value written.
class TIniDocument {
public:
    // Accepts LF, CR LF and CR line ends. Bytes are kept as they are; a UTF-8 byte order mark is kept.
    void Parse(std::string_view text);
    std::string Serialize() const;

    bool ReadValue(std::string_view section, std::string_view ident, std::string& value) const;
    bool ValueExists(std::string_view section, std::string_view ident) const;
    bool SectionExists(std::string_view section) const;
    // Names in file order, each once, in the spelling first met.
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;
    std::vector<std::pair<std::string, std::string>> Values(std::string_view section) const;

    // The first key of that name keeps its line and spelling; a new key goes after the last entry of its
    // section, a new section at the end of the file. Names and value must pass the checks below.
    void WriteValue(std::string_view section, std::string_view ident, std::string_view value);
    // Adds an empty section unless one of that name exists.
    void AddSection(std::string_view section);
    // Both remove every occurrence; they return whether anything was removed.
    bool DeleteKey(std::string_view section, std::string_view ident);
    bool EraseSection(std::string_view section);

    // What can be stored so that it reads back unchanged: no line breaks anywhere; a section name without
    // ']'; a key name that is not empty, holds no '=' and does not start with ';' or '['. Names are
    // compared after trimming. Each returns an empty text when fine, otherwise the reason.
    static std::string CheckSection(std::string_view section);
    static std::string CheckKey(std::string_view ident);
    static std::string CheckValue(std::string_view value);

private:
    enum class TLineKind { Other, Section, BrokenSection, Entry };
    struct TLine {
        TLineKind Kind = TLineKind::Other;
        std::string Raw;   // the line as it stands in the file, without its line end
        std::string Name;  // section or key name, trimmed
        std::string Key;   // Name as names are compared (AnsiCaseKey)
        std::string Value; // decoded value of an entry
    };
    // Where a section's lines are, so that reads cost one lookup whatever the size of the file.
    struct TSectionIndex {
        size_t Header = 0;                             // the first header of that name
        std::vector<size_t> Keys;                      // the first entry of each key, in file order
        std::unordered_map<std::string, size_t> ByKey; // key's Key -> that entry
    };
    static TLine ParseLine(std::string_view raw);
    // Calls f(index) for every entry line of the named section, in file order.
    template <class F> void ForEachEntry(std::string_view section, F&& f) const;
    // The line after which a new entry of the section's first block belongs; -1 when the section is absent.
    int InsertionPoint(std::string_view section) const;
    // Built on first use after a change of the lines; edits that move lines drop it.
    const TSectionIndex* FindSection(std::string_view section) const;
    const TLine* FindEntry(std::string_view section, std::string_view ident) const;
    void BuildIndex() const;

    bool FBom = false;
    std::vector<TLine> FLines;
    mutable bool FIndexed = false;
    mutable std::unordered_map<std::string, TSectionIndex> FSections;
    mutable std::vector<size_t> FSectionOrder; // the first header of each section, in file order
};

// The operations settings code calls, shared by INI files and the registry-backed adaptor, so a caller
// can keep its values in either through one pointer.
class TCustomIniFile : public TObject {
    PLAT_CLASS(TCustomIniFile)
public:
    explicit TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}
    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& section, const std::string& ident,
                                   const std::string& defaultValue) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident,
                             const std::string& value) = 0;
    // Decimal or hexadecimal ("0x..." or "$..."); blanks around the number are allowed. An empty, non-numeric
    // or out-of-range value gives the default.
    virtual int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
    virtual void WriteInteger(const std::string& section, const std::string& ident, int value);
    // Read as an integer: 0 is false, any other integer true, anything else the default. Written as 1 or 0.
    virtual bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    virtual void WriteBool(const std::string& section, const std::string& ident, bool value);
    // With the current locale's decimal separator; an empty or non-numeric value gives the default.
    virtual double ReadFloat(const std::string& section, const std::string& ident, double defaultValue);
    virtual void WriteFloat(const std::string& section, const std::string& ident, double value);

    // Key names of a section, section names, and "Name=Value" lines of a section; each list is cleared first.
    virtual void ReadSection(const std::string& section, TStrings& strings) = 0;
    virtual void ReadSections(TStrings& strings) = 0;
    virtual void ReadSectionValues(const std::string& section, TStrings& strings) = 0;
    virtual void EraseSection(const std::string& section) = 0;
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    virtual bool ValueExists(const std::string& section, const std::string& ident) = 0;
    virtual bool SectionExists(const std::string& section) = 0;
    // Every change is on disk when its call returns; nothing is left to flush.
    virtual void UpdateFile() {}

    // The integer reading rule of ReadInteger: false for text that is no 32-bit integer.
    static bool TryParseInteger(const std::string& text, int& value);

private:
    std::string FFileName;
};

// An INI file on disk. A missing or unreadable file reads as empty (every read gives its default). The
// file is parsed once and kept; it is read again only when it has changed on disk (another inode, size,
// modification or change time), and while its time stamps are too recent to tell a change within the
// same clock tick apart, its bytes are compared on every access. A write changes the kept document and
// writes it whole to a temporary file in the same folder, which then replaces the old file. One object
// is used by one thread at a time. A write raises EIniFileException "Unable to write to <file>: <reason>"
// when the folder is missing or not writable, when the existing file cannot be read (it is left as it is
// rather than replaced by a file holding only the new value), or when a name or value cannot be stored.
class TIniFile : public TCustomIniFile {
    PLAT_CLASS(TIniFile)
public:
    explicit TIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {}

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const std::string& section, TStrings& strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    bool ValueExists(const std::string& section, const std::string& ident) override;
    bool SectionExists(const std::string& section) override;

    // The whole file at once, for stores that make several changes in one rewrite. LoadDocument reads a
    // missing or unreadable file as empty; LoadDocumentForUpdate raises for an unreadable one (a missing
    // one is empty); SaveDocument replaces the file. Both raising ones raise EIniFileException.
    TIniDocument LoadDocument() const;
    TIniDocument LoadDocumentForUpdate() const;
    void SaveDocument(const TIniDocument& doc) const;

private:
    struct TFileStamp {
        dev_t Device = 0;
        ino_t Inode = 0;
        off_t Size = -1;
        int64_t Modified = 0, Changed = 0; // nanoseconds since 1970
        bool operator==(const TFileStamp&) const = default;
    };
    static TFileStamp StampOf(const struct ::stat& st);
    [[noreturn]] void WriteError(const std::string& reason) const;
    // Brings FDocument in step with the file; 0, or the errno of a missing or unreadable file (FDocument
    // is empty then).
    int Refresh() const;
    // Refresh for a change: raises when the file exists but cannot be read.
    void RefreshForUpdate() const;
    // Writes FDocument; the kept copy counts as unverified until the file has been read back.
    void Store() const;

    mutable TIniDocument FDocument;
    mutable std::string FText; // the bytes FDocument stands for
    mutable TFileStamp FStamp;
    mutable bool FKnown = false;             // FDocument, FText and FStamp describe the file
    mutable int64_t FVerifiedAt = INT64_MIN; // when the file last held FText, nanoseconds since 1970
};

} // namespace plat
