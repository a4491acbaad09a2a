// Text routines the whole program calls: integer conversion, trimming, case, comparison, quoting,
// replacing, file-name parts and UTF-8 / Latin-1 conversion. Strings are UTF-8.
#pragma once

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
