// Character-level helpers shared by the parser, the writer and the tree: file encodings (Latin-1 or
// UTF-8 on disk, UTF-8 in memory) and name comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace xml {

inline bool HasHighBytes(const char* Data, size_t Size) {
    // Eight bytes at a time: chart documents are plain ASCII, so this is the common path.
    size_t i = 0;
    for (; i + 8 <= Size; i += 8) {
        uint64_t w;
        __builtin_memcpy(&w, Data + i, 8);
        if (w & 0x8080808080808080ull)
            return true;
    }
    for (; i < Size; ++i) {
        if (static_cast<unsigned char>(Data[i]) >= 0x80)
            return true;
    }
    return false;
}

// The number of bytes below 0x80 at the start of Data.
inline size_t AsciiPrefix(const char* Data, size_t Size) {
    size_t i = 0;
    for (; i + 8 <= Size; i += 8) {
        uint64_t w;
        __builtin_memcpy(&w, Data + i, 8);
        if (w & 0x8080808080808080ull)
            break;
    }
    while (i < Size && static_cast<unsigned char>(Data[i]) < 0x80)
        ++i;
    return i;
}

// The length of the valid UTF-8 sequence at Data (its code point in CodePoint), or 0 when the bytes
// there are no valid sequence: the runtime's decoder, over the parser's byte pointers.
int DecodeUtf8(const unsigned char* Data, const unsigned char* End, uint32_t& CodePoint);
void AppendCodePoint(std::string& Out, uint32_t CodePoint);

// File bytes as UTF-8: every byte from 0x80 is a Latin-1 character, or, for a UTF-8 file, valid
// sequences are kept and a byte that starts no valid sequence is taken as Latin-1.
void AppendFileText(std::string& Out, const char* Data, size_t Size, bool Utf8);
inline void AssignFileText(std::string& Out, const char* Data, size_t Size, bool Utf8) {
    if (!HasHighBytes(Data, Size)) {
        Out.assign(Data, Size);
        return;
    }
    Out.clear();
    AppendFileText(Out, Data, Size, Utf8);
}

// The writer's output: a growing byte buffer with the few std::string operations the writer uses, cheaper
// for the many short pieces a document is made of.
class TDomOutput {
public:
    TDomOutput() = default;
    ~TDomOutput() { std::free(FData); }
    TDomOutput(const TDomOutput&) = delete;
    TDomOutput& operator=(const TDomOutput&) = delete;

    const char* data() const { return FData; }
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    void clear() { FSize = 0; }
    void reserve(size_t extra) {
        if (FCapacity - FSize < extra)
            Grow(extra);
    }
    void push_back(char c) {
        reserve(1);
        FData[FSize++] = c;
    }
    void append(const char* s, size_t n) {
        reserve(n);
        char* d = FData + FSize;
        // Short pieces (names, numbers, indents) as two overlapping moves instead of a library call.
        if (n >= 8 && n <= 16) {
            std::memcpy(d, s, 8);
            std::memcpy(d + n - 8, s + n - 8, 8);
        } else if (n >= 4 && n < 8) {
            std::memcpy(d, s, 4);
            std::memcpy(d + n - 4, s + n - 4, 4);
        } else if (n < 4) {
            for (size_t i = 0; i < n; ++i)
                d[i] = s[i];
        } else {
            std::memcpy(d, s, n);
        }
        FSize += n;
    }
    void append(std::string_view s) { append(s.data(), s.size()); }
    // Direct writing: reserve room, write from Tail(), then SetTail() behind the last byte written.
    char* Tail() { return FData + FSize; }
    void SetTail(char* p) { FSize = static_cast<size_t>(p - FData); }
    TDomOutput& operator+=(char c) {
        push_back(c);
        return *this;
    }
    TDomOutput& operator+=(std::string_view s) {
        append(s);
        return *this;
    }

private:
    void Grow(size_t extra) {
        size_t capacity = FCapacity ? FCapacity * 2 : 4096;
        while (capacity - FSize < extra)
            capacity *= 2;
        // realloc: a large buffer grows by remapping its pages rather than by copying them.
        auto* data = static_cast<char*>(std::realloc(FData, capacity));
        if (!data)
            throw std::bad_alloc();
        FData = data;
        FCapacity = capacity;
    }
    char* FData = nullptr;
    size_t FSize = 0;
    size_t FCapacity = 0;
};

// UTF-8 text in the file's encoding. A Latin-1 file gets characters above U+00FF as "&#xH...;"; bytes
// that are no valid UTF-8 are taken as Latin-1 characters.
void AppendToFile(TDomOutput& Out, std::string_view Text, bool Utf8);

// Value escaped into the file: Mode 2 escapes the five markup characters and writes every character from
// U+0080 as a reference; Mode 1 escapes the five and writes other characters in the file's encoding;
// Mode 0 only converts to the file's encoding.
void AppendEscaped(TDomOutput& Out, std::string_view Value, int Mode, bool Utf8);

// Case-insensitive comparison in the user's locale, fast for ASCII names.
bool SameName(std::string_view A, std::string_view B);

// Unescapes s[0..n) in place (the five entities, and character references when References is set) and
// answers the new length.
size_t DecodeInPlace(char* s, size_t n, bool References);

// True for the encoding names of UTF-8.
bool IsUtf8EncodingName(std::string_view Name);

} // namespace xml
