// String lists: the abstract TStrings interface that controls and settings code exchange lines
// through, the TStringList that stores them (sorted or not, with objects), and THashedStringList,
// which answers lookups by name from a hash index for long lists.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Persistent.h"

namespace plat {

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    PLAT_CLASS(TStrings)
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    ~TStrings() override = default;

    // Storage, supplied by each list.
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* obj);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* obj);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Add returns the index the line went to (sorted lists place it in order).
    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* obj);
    void Append(const std::string& s) { Add(s); }
    void AddStrings(const TStrings& strings);
    // Replaces the content (lines and objects) and the separators with another list's.
    void Assign(const TStrings& source);
    void Assign(TPersistent* Source) override;
    // Same lines in the same order (objects are not compared).
    bool Equals(const TStrings& other) const;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    virtual int IndexOf(const std::string& s) const;
    virtual int IndexOfName(const std::string& name) const;
    int IndexOfObject(const TObject* obj) const;

    std::string Strings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    std::string operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* obj) { PutObject(index, obj); }

    // Lines of the form Name=Value. Names(i) is empty for a line without the separator.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    // Setting an empty value deletes the line.
    void SetValues(const std::string& name, const std::string& value);
    std::string ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value);
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char c) { FNameValueSeparator = c; }

    // Items separated by commas; items with blanks, commas or quotes are double-quoted.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    // Like CommaText with Delimiter and QuoteChar; with StrictDelimiter only the delimiter separates
    // items and blanks belong to them.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char c) { FDelimiter = c; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char c) { FQuoteChar = c; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool value) { FStrictDelimiter = value; }

    // Every line followed by LineBreak. Setting splits on CR LF, LF or CR; a final line break does not
    // start another line.
    std::string Text() const;
    virtual void SetText(const std::string& text);
    const std::string& LineBreak() const { return FLineBreak; }
    void SetLineBreak(const std::string& s) { FLineBreak = s; }

    // Between BeginUpdate and the matching EndUpdate change notifications are held back: one
    // OnChanging at the start and one OnChange at the end.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // UTF-8 text; any line end is accepted when reading, LineBreak is written. SaveToFile replaces the
    // file through a temporary file, so a failed save leaves the old file as it was. Lists that keep
    // more than text (a rich edit's lines) save and load their own form, also when reached as TStrings.
    virtual void LoadFromFile(const std::string& fileName);
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToFile(const std::string& fileName) const;
    virtual void SaveToStream(TStream& stream) const;

    // Streams the lines as the list property "Strings" (Lines.Strings = ('a' 'b') in a layout).
    void DefineProperties(TFiler& Filer) override;

    // The comparison behind IndexOf, IndexOfName and Values: case-insensitive for every letter here.
    virtual int CompareStrings(const std::string& a, const std::string& b) const;

protected:
    // Called with true when the first BeginUpdate starts and false when the last EndUpdate ends.
    virtual void SetUpdateState(bool updating) {}
    [[noreturn]] void Error(const char* message, int64_t data) const;
    void CheckIndex(int index, int limit) const;

private:
    std::string JoinDelimited(char delimiter, char quote) const;
    void SplitDelimited(const std::string& text, char delimiter, char quote);

    char FNameValueSeparator = '=';
    char FDelimiter = ',';
    char FQuoteChar = '"';
    bool FStrictDelimiter = false;
    std::string FLineBreak = "\r\n";
    int FUpdateCount = 0;
};

class TStringList;
// Answers <0, 0 or >0 for the items at the two indices of the list.
using TStringListSortCompare = int (*)(TStringList& list, int index1, int index2);

class TStringList : public TStrings {
    PLAT_CLASS(TStringList)
public:
    // With ownsObjects the list frees the objects of lines it deletes, clears or replaces.
    explicit TStringList(bool ownsObjects = false);
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* obj) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* obj) override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const std::string& s) const override;
    int IndexOfName(const std::string& name) const override;
    int CompareStrings(const std::string& a, const std::string& b) const override;

    // Binary search of a sorted list: true when found; index is the first match or the place where s
    // belongs. Only meaningful when Sorted.
    bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    // Sorts with the given comparison (stable). Not allowed on a sorted list.
    virtual void CustomSort(TStringListSortCompare compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();

private:
    struct TItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* obj);
    void SortItems(const std::function<int(int, int)>& compare);
    void SortByText();

    std::vector<TItem> FItems;
    TDuplicates FDuplicates = dupIgnore;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
};

// A TStringList whose IndexOf and IndexOfName use a hash index; the index is rebuilt on the first
// lookup after a change.
class THashedStringList : public TStringList {
    PLAT_CLASS(THashedStringList)
public:
    explicit THashedStringList(bool ownsObjects = false) : TStringList(ownsObjects) {}
    int IndexOf(const std::string& s) const override;
    int IndexOfName(const std::string& name) const override;

protected:
    void Changed() override;

private:
    std::string Key(const std::string& s) const;
    void UpdateValueHash() const;
    void UpdateNameHash() const;

    // Key -> the first index with that key. Text that is not valid UTF-8 has no key that agrees with
    // the comparison, so while such a line is present the lookups search one by one.
    mutable std::unordered_map<std::string, int> FValueHash;
    mutable std::unordered_map<std::string, int> FNameHash;
    // Case sensitivity and separator are changed without a change notification, so each index
    // remembers what it was built with.
    mutable bool FValueHashValid = false;
    mutable bool FValueHashUsable = true;
    mutable bool FValueHashCaseSensitive = false;
    mutable bool FNameHashValid = false;
    mutable bool FNameHashUsable = true;
    mutable bool FNameHashCaseSensitive = false;
    mutable char FHashSeparator = '=';
};

} // namespace plat
