// INI settings files: case-insensitive sections and keys, read afresh on every access and rewritten
// through a temporary file on every change, so settings shared with other programs stay current and a
// failed write never destroys them.
#pragma once

#include <string>
#include <string_view>
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
        std::string Value; // decoded value of an entry
    };
    static TLine ParseLine(std::string_view raw);
    // Calls f(index) for every entry line of the named section, in file order.
    template <class F> void ForEachEntry(std::string_view section, F&& f) const;
    // The line after which a new entry of the section's first block belongs; -1 when the section is absent.
    int InsertionPoint(std::string_view section) const;

    bool FBom = false;
    std::vector<TLine> FLines;
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

// An INI file on disk. A missing or unreadable file reads as empty (every read gives its default). A write
// reads the file, changes it and writes it whole to a temporary file in the same folder, which then
// replaces the old file. A write raises EIniFileException "Unable to write to <file>: <reason>" when the
// folder is missing or not writable, when the existing file cannot be read (it is left as it is rather
// than replaced by a file holding only the new value), or when a name or value cannot be stored.
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
    [[noreturn]] void WriteError(const std::string& reason) const;
};

} // namespace plat
