// Text routines the whole program calls: integer conversion, trimming, case, comparison, quoting,
// replacing, file-name parts and UTF-8 / Latin-1 conversion. Strings are UTF-8.
#pragma once

#include <cassert>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace plat {

// --- Integers ---------------------------------------------------------------------------------------

std::string IntToStr(int64_t value);

// Accepted: leading blanks, an optional sign, then decimal digits or hexadecimal digits after "$", "0x"
// or "0X". Nothing may follow. Hexadecimal text may use the full unsigned width ("$FFFFFFFF" is -1 for
// a 32-bit value). Errors raise EConvertError "'<text>' is not a valid integer value".
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int def);
int64_t StrToInt64Def(std::string_view s, int64_t def);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);

// The value of a hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);

// Upper-case hexadecimal of the bits with at least `digits` digits.
std::string HexDigits(uint64_t bits, int digits);
// Negative values give their two's complement in the argument's own width (8 digits for a 32-bit
// value, 16 for a 64-bit one).
template <std::integral T> std::string IntToHex(T value, int digits) {
    return HexDigits(static_cast<std::make_unsigned_t<T>>(value), digits);
}

// --- Trimming and case ------------------------------------------------------------------------------

// Removes bytes <= ' ' (blanks and control characters).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// ASCII letters only; other bytes are kept.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Every letter of the UTF-8 text (accented letters included); invalid bytes are kept as they are.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);

// Comparisons answer < 0, 0 or > 0.
int CompareStr(std::string_view a, std::string_view b);  // byte by byte
int CompareText(std::string_view a, std::string_view b); // ASCII case-insensitive
bool SameText(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b); // case-insensitive for every letter
bool AnsiSameText(std::string_view a, std::string_view b);
// Equal for two texts exactly when AnsiSameText calls them the same (stray bytes included), so names
// that compare that way can be hashed.
std::string AnsiCaseKey(std::string_view s);

// --- Quoting and replacing --------------------------------------------------------------------------

// 'text' with every ' doubled.
std::string QuotedStr(std::string_view s);
std::string AnsiQuotedStr(std::string_view s, char quote);
// The inverse of AnsiQuotedStr; a text that is not quoted comes back unchanged.
std::string AnsiDequotedStr(std::string_view s, char quote);

enum TReplaceFlag : int { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = int;
// Replaces the first (or with rfReplaceAll every) occurrence; rfIgnoreCase matches ASCII letters
// case-insensitively. An empty pattern changes nothing.
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags = 0);

// --- File names ---------------------------------------------------------------------------------------

constexpr char PathDelim = '/';

std::string ExtractFileName(std::string_view path);                     // "/a/b.txt" -> "b.txt"
std::string ExtractFileExt(std::string_view path);                      // "/a/b.txt" -> ".txt", "" when none
std::string ExtractFilePath(std::string_view path);                     // "/a/b.txt" -> "/a/"
std::string ExtractFileDir(std::string_view path);                      // "/a/b.txt" -> "/a", "/b.txt" -> "/"
std::string ChangeFileExt(std::string_view path, std::string_view ext); // ext with its dot, or ""
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path); // keeps a lone "/"

// --- UTF-8 --------------------------------------------------------------------------------------------

// What is wrong with a UTF-8 sequence.
enum TUtf8Fault : uint8_t {
    ufNone,
    ufStrayByte,     // a continuation byte with no lead byte, or a byte that never occurs (0xF8 to 0xFF)
    ufTruncated,     // a lead byte whose sequence ends early: cut off by the end or by another byte
    ufOverlong,      // a longer form than the code point needs (0xC0 0xAF for '/')
    ufSurrogate,     // U+D800 to U+DFFF, which UTF-8 may not carry
    ufBeyondUnicode, // above U+10FFFF
};

// One character of UTF-8 text. A malformed sequence decodes to U+FFFD and says what is wrong: what it
// becomes is the caller's choice (replaced, refused, kept as a Latin-1 byte), so one decoder serves all.
struct TUtf8Char {
    char32_t CodePoint = 0;
    // Bytes the sequence takes: all of it when its bytes are well shaped (also when it is overlong, a
    // surrogate or beyond U+10FFFF), 1 for a stray byte or a truncated sequence.
    uint8_t Length = 1;
    TUtf8Fault Fault = ufNone;

    bool Valid() const { return Fault == ufNone; }
};

// Character steps for layout and cutting: a character is a byte that is not a continuation byte
// (0x80 to 0xBF) together with the continuation bytes after it, so that text, malformed or not, is
// never cut between the bytes of one sequence.
inline bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
// The position after the character that starts at text[pos].
inline size_t Utf8NextChar(std::string_view text, size_t pos) {
    ++pos;
    while (pos < text.size() && IsUtf8Continuation(text[pos]))
        ++pos;
    return pos;
}
inline size_t Utf8CharCount(std::string_view text) {
    size_t n = 0;
    for (char c : text)
        n += !IsUtf8Continuation(c);
    return n;
}

// Decodes the sequence that starts at text[at]; never reads past the end of text.
inline TUtf8Char Utf8DecodeAt(std::string_view text, size_t at) {
    assert(at < text.size() && "Utf8DecodeAt needs a byte to decode");
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, ufNone};
    uint8_t len;
    char32_t cp;
    if ((lead & 0xE0) == 0xC0) {
        len = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4;
        cp = lead & 0x07;
    } else {
        return {0xFFFD, 1, ufStrayByte};
    }
    if (text.size() - at < len)
        return {0xFFFD, 1, ufTruncated};
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[at + k]);
        if ((b & 0xC0) != 0x80)
            return {0xFFFD, 1, ufTruncated};
        cp = (cp << 6) | (b & 0x3F);
    }
    constexpr char32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[len])
        return {0xFFFD, len, ufOverlong};
    if (cp >= 0xD800 && cp <= 0xDFFF)
        return {0xFFFD, len, ufSurrogate};
    if (cp > 0x10FFFF)
        return {0xFFFD, len, ufBeyondUnicode};
    return {cp, len, ufNone};
}

std::string Latin1ToUtf8(std::string_view latin1);
// Characters above U+00FF (and invalid bytes) become '?'.
std::string Utf8ToLatin1(std::string_view utf8);
// Code points of the text; an invalid or truncated sequence gives U+FFFD for its first byte.
std::u32string Utf8Decode(std::string_view utf8);
std::string Utf8Encode(std::u32string_view codePoints);
// Appends one code point; surrogates and values above U+10FFFF append U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);
bool IsValidUtf8(std::string_view s);

} // namespace plat
