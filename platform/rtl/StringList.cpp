#include "platform/rtl/StringList.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/MergeSort.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

PLAT_CLASS_INFO(TStrings, TPersistent)
PLAT_CLASS_INFO(TStringList, TStrings)
PLAT_CLASS_INFO(THashedStringList, TStringList)

namespace {

const char* const kSortedListError = "Operation not allowed on sorted list";
const char* const kDuplicateError = "String list does not allow duplicates";

bool NeedsQuotes(const std::string& s, char delimiter, char quote, bool strict) {
    for (char c : s) {
        if (c == quote || c == delimiter || c == '\0' || (!strict && static_cast<unsigned char>(c) <= ' '))
            return true;
    }
    return false;
}

bool IsBlank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

} // namespace

// ---- TStrings

void TStrings::Error(const char* message, int64_t data) const {
    std::string text(message);
    const size_t at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(data));
    throw EStringListError(text);
}

void TStrings::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit)
        Error("List index out of bounds (%d)", index);
}

void TStrings::Put(int index, const std::string& s) {
    TObject* obj = GetObject(index);
    BeginUpdate();
    Delete(index);
    InsertObject(index, s, obj);
    EndUpdate();
}

TObject* TStrings::GetObject(int index) const {
    return nullptr;
}

void TStrings::PutObject(int index, TObject* obj) {}

void TStrings::InsertObject(int index, const std::string& s, TObject* obj) {
    Insert(index, s);
    PutObject(index, obj);
}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* obj) {
    const int index = Add(s);
    PutObject(index, obj);
    return index;
}

void TStrings::AddStrings(const TStrings& strings) {
    // Copied first: the source may be this list.
    std::vector<std::pair<std::string, TObject*>> items;
    items.reserve(static_cast<size_t>(strings.Count()));
    for (int i = 0; i < strings.Count(); ++i)
        items.emplace_back(strings.Get(i), strings.GetObject(i));
    BeginUpdate();
    ScopeGuard endUpdate([this] { EndUpdate(); });
    for (const auto& [s, obj] : items)
        AddObject(s, obj);
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this)
        return;
    BeginUpdate();
    ScopeGuard endUpdate([this] { EndUpdate(); });
    Clear();
    FNameValueSeparator = source.FNameValueSeparator;
    FDelimiter = source.FDelimiter;
    FQuoteChar = source.FQuoteChar;
    FStrictDelimiter = source.FStrictDelimiter;
    FLineBreak = source.FLineBreak;
    AddStrings(source);
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* strings = dynamic_cast<TStrings*>(Source)) {
        Assign(*strings);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::DefineProperties(TFiler& Filer) {
    TPersistent::DefineProperties(Filer);
    Filer.DefineProperty(
        "Strings",
        [this](TReader& reader) {
            // Read aside first: a damaged list leaves the lines as they were.
            std::vector<std::string> lines;
            reader.ReadListBegin();
            while (!reader.EndOfList())
                lines.push_back(reader.ReadString());
            reader.ReadListEnd();
            BeginUpdate();
            ScopeGuard endUpdate([this] { EndUpdate(); });
            Clear();
            for (const std::string& line : lines)
                Add(line);
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (int i = 0; i < Count(); ++i)
                writer.WriteString(Get(i));
            writer.WriteListEnd();
        },
        Count() > 0);
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i) {
        if (Get(i) != other.Get(i))
            return false;
    }
    return true;
}

void TStrings::Exchange(int index1, int index2) {
    const std::string s1 = Get(index1);
    const std::string s2 = Get(index2);
    TObject* o1 = GetObject(index1);
    TObject* o2 = GetObject(index2);
    BeginUpdate();
    Put(index1, s2);
    PutObject(index1, o2);
    Put(index2, s1);
    PutObject(index2, o1);
    EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    if (curIndex == newIndex)
        return;
    const std::string s = Get(curIndex);
    TObject* obj = GetObject(curIndex);
    BeginUpdate();
    Delete(curIndex);
    InsertObject(newIndex, s, obj);
    EndUpdate();
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return AnsiCompareText(a, b);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i) {
        if (CompareStrings(Get(i), s) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string line = Get(i);
        const size_t sep = line.find(FNameValueSeparator);
        if (sep != std::string::npos && CompareStrings(line.substr(0, sep), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* obj) const {
    for (int i = 0; i < Count(); ++i) {
        if (GetObject(i) == obj)
            return i;
    }
    return -1;
}

std::string TStrings::Names(int index) const {
    const std::string line = Get(index);
    const size_t sep = line.find(FNameValueSeparator);
    return sep == std::string::npos ? std::string() : line.substr(0, sep);
}

std::string TStrings::Values(const std::string& name) const {
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0)
            Delete(index);
    } else if (index < 0) {
        Add(name + FNameValueSeparator + value);
    } else {
        Put(index, name + FNameValueSeparator + value);
    }
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string line = Get(index);
    const size_t sep = line.find(FNameValueSeparator);
    return sep == std::string::npos ? std::string() : line.substr(sep + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
    CheckIndex(index, Count());
    if (value.empty())
        Delete(index);
    else
        Put(index, Names(index) + FNameValueSeparator + value);
}

std::string TStrings::JoinDelimited(char delimiter, char quote) const {
    const int n = Count();
    // A lone empty item is written as "" so that reading it back gives one item, not none.
    if (n == 1 && Get(0).empty())
        return std::string(2, quote);
    std::string text;
    for (int i = 0; i < n; ++i) {
        const std::string s = Get(i);
        text += NeedsQuotes(s, delimiter, quote, FStrictDelimiter) ? AnsiQuotedStr(s, quote) : s;
        if (i < n - 1)
            text += delimiter;
    }
    return text;
}

void TStrings::SplitDelimited(const std::string& text, char delimiter, char quote) {
    const size_t n = text.size();
    const bool strict = FStrictDelimiter;
    size_t p = 0;
    auto skipBlanks = [&] {
        if (!strict)
            while (p < n && IsBlank(text[p]))
                ++p;
    };
    BeginUpdate();
    ScopeGuard endUpdate([this] { EndUpdate(); });
    Clear();
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == quote) {
            ++p;
            while (p < n) {
                if (text[p] == quote) {
                    if (p + 1 < n && text[p + 1] == quote) {
                        item += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const size_t start = p;
            while (p < n && text[p] != delimiter && (strict || !IsBlank(text[p])))
                ++p;
            item.assign(text, start, p - start);
        }
        Add(item);
        skipBlanks();
        if (p < n && text[p] == delimiter) {
            ++p;
            if (p == n)
                Add(std::string());
            skipBlanks();
        }
    }
}

std::string TStrings::CommaText() const {
    return JoinDelimited(',', '"');
}

void TStrings::SetCommaText(const std::string& text) {
    SplitDelimited(text, ',', '"');
}

std::string TStrings::DelimitedText() const {
    return JoinDelimited(FDelimiter, FQuoteChar);
}

void TStrings::SetDelimitedText(const std::string& text) {
    SplitDelimited(text, FDelimiter, FQuoteChar);
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Get(i);
        text += FLineBreak;
    }
    return text;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
    ScopeGuard endUpdate([this] { EndUpdate(); });
    Clear();
    size_t start = 0;
    const size_t n = text.size();
    while (start < n) {
        size_t end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        Add(text.substr(start, end - start));
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::LoadFromStream(TStream& stream) {
    const int64_t size = stream.Size() - stream.Position();
    std::string text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
    if (!text.empty())
        stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    SetText(text);
}

void TStrings::LoadFromFile(const std::string& fileName) {
    std::string text = ReadAllText(fileName);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
    stream.WriteString(Text());
}

void TStrings::SaveToFile(const std::string& fileName) const {
    WriteFileAtomically(fileName, Text());
}

// ---- TStringList

TStringList::TStringList(bool ownsObjects) : FOwnsObjects(ownsObjects) {}

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects) {
        for (TItem& item : FItems)
            delete item.FObject;
    }
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

std::string TStringList::Get(int index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<size_t>(index)].FString;
}

void TStringList::Put(int index, const std::string& s) {
    if (FSorted)
        Error(kSortedListError, 0);
    CheckIndex(index, Count());
    Changing();
    FItems[static_cast<size_t>(index)].FString = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<size_t>(index)].FObject;
}

void TStringList::PutObject(int index, TObject* obj) {
    CheckIndex(index, Count());
    Changing();
    TObject*& slot = FItems[static_cast<size_t>(index)].FObject;
    if (FOwnsObjects && slot != obj)
        delete slot;
    slot = obj;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, TObject* obj) {
    if (FSorted)
        Error(kSortedListError, 0);
    CheckIndex(index, Count() + 1);
    InsertItem(index, s, obj);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* obj) {
    Changing();
    FItems.insert(FItems.begin() + index, TItem{s, obj});
    Changed();
}

int TStringList::Add(const std::string& s) {
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, TObject* obj) {
    int index = Count();
    if (FSorted && Find(s, index)) {
        switch (FDuplicates) {
        case dupIgnore:
            return index;
        case dupError:
            Error(kDuplicateError, 0);
        case dupAccept:
            // After the equal lines already there, so equal lines keep the order they came in.
            while (index < Count() && CompareStrings(FItems[static_cast<size_t>(index)].FString, s) == 0)
                ++index;
            break;
        }
    }
    InsertItem(index, s, obj);
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    Changing();
    TObject* obj = FItems[static_cast<size_t>(index)].FObject;
    FItems.erase(FItems.begin() + index);
    if (FOwnsObjects)
        delete obj;
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty())
        return;
    Changing();
    std::vector<TItem> old;
    old.swap(FItems);
    if (FOwnsObjects) {
        for (TItem& item : old)
            delete item.FObject;
    }
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    if (FSorted)
        Error(kSortedListError, 0);
    Changing();
    std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    if (curIndex == newIndex)
        return;
    if (FSorted)
        Error(kSortedListError, 0);
    Changing();
    auto first = FItems.begin();
    if (curIndex < newIndex)
        std::rotate(first + curIndex, first + curIndex + 1, first + newIndex + 1);
    else
        std::rotate(first + newIndex, first + curIndex, first + curIndex + 1);
    Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    return FCaseSensitive ? CompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(const std::string& s, int& index) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareStrings(FItems[static_cast<size_t>(mid)].FString, s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareStrings(FItems[static_cast<size_t>(lo)].FString, s) == 0;
}

int TStringList::IndexOf(const std::string& s) const {
    if (FSorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (CompareStrings(FItems[i].FString, s) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int TStringList::IndexOfName(const std::string& name) const {
    const char sep = NameValueSeparator();
    for (size_t i = 0; i < FItems.size(); ++i) {
        const std::string& line = FItems[i].FString;
        const size_t at = line.find(sep);
        if (at != std::string::npos && CompareStrings(line.substr(0, at), name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void TStringList::SortItems(const std::function<int(int, int)>& compare) {
    if (FItems.size() < 2)
        return;
    // Indices are sorted, not items, so the comparison sees the list unchanged while it runs.
    std::vector<int> order(FItems.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    detail::MergeSort(order, [&](int a, int b) { return compare(a, b) < 0; });
    Changing();
    std::vector<TItem> sorted;
    sorted.reserve(FItems.size());
    for (int i : order)
        sorted.push_back(std::move(FItems[static_cast<size_t>(i)]));
    FItems.swap(sorted);
    Changed();
}

void TStringList::SortByText() {
    SortItems([this](int a, int b) {
        return CompareStrings(FItems[static_cast<size_t>(a)].FString, FItems[static_cast<size_t>(b)].FString);
    });
}

void TStringList::Sort() {
    if (!FSorted)
        SortByText();
}

void TStringList::CustomSort(TStringListSortCompare compare) {
    if (FSorted)
        Error(kSortedListError, 0);
    if (compare)
        SortItems([this, compare](int a, int b) { return compare(*this, a, b); });
}

void TStringList::SetSorted(bool value) {
    if (value == FSorted)
        return;
    if (value)
        SortByText();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    if (FSorted)
        SortByText();
}

// ---- THashedStringList

std::string THashedStringList::Key(const std::string& s) const {
    return CaseSensitive() ? s : AnsiLowerCase(s);
}

void THashedStringList::Changed() {
    FValueHashValid = false;
    FNameHashValid = false;
    TStringList::Changed();
}

void THashedStringList::UpdateValueHash() const {
    if (FValueHashValid && FValueHashCaseSensitive == CaseSensitive())
        return;
    FValueHash.clear();
    FValueHashUsable = true;
    for (int i = 0; i < Count() && FValueHashUsable; ++i) {
        const std::string line = Get(i);
        FValueHashUsable = CaseSensitive() || IsValidUtf8(line);
        FValueHash.emplace(Key(line), i);
    }
    FValueHashValid = true;
    FValueHashCaseSensitive = CaseSensitive();
}

void THashedStringList::UpdateNameHash() const {
    if (FNameHashValid && FNameHashCaseSensitive == CaseSensitive() && FHashSeparator == NameValueSeparator())
        return;
    FNameHash.clear();
    FNameHashUsable = true;
    const char sep = NameValueSeparator();
    for (int i = 0; i < Count() && FNameHashUsable; ++i) {
        const std::string line = Get(i);
        const size_t at = line.find(sep);
        if (at == std::string::npos)
            continue;
        const std::string name = line.substr(0, at);
        FNameHashUsable = CaseSensitive() || IsValidUtf8(name);
        FNameHash.emplace(Key(name), i);
    }
    FNameHashValid = true;
    FNameHashCaseSensitive = CaseSensitive();
    FHashSeparator = sep;
}

int THashedStringList::IndexOf(const std::string& s) const {
    UpdateValueHash();
    if (!FValueHashUsable || (!CaseSensitive() && !IsValidUtf8(s)))
        return TStringList::IndexOf(s);
    const auto it = FValueHash.find(Key(s));
    return it == FValueHash.end() ? -1 : it->second;
}

int THashedStringList::IndexOfName(const std::string& name) const {
    UpdateNameHash();
    if (!FNameHashUsable || (!CaseSensitive() && !IsValidUtf8(name)))
        return TStringList::IndexOfName(name);
    const auto it = FNameHash.find(Key(name));
    return it == FNameHash.end() ? -1 : it->second;
}

} // namespace plat
