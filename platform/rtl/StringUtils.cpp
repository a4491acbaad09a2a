#include "platform/rtl/StringUtils.h"

#include "platform/rtl/Exception.h"

#include <locale.h>
#include <wctype.h>

#include <charconv>

namespace plat {

// --- Integers ---------------------------------------------------------------------------------------

std::string IntToStr(int64_t value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

// Reads an integer of the given width in bits (32 or 64).
bool ParseInteger(std::string_view s, int bits, int64_t& out) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return false;
    const uint64_t unsignedMax = bits == 64 ? UINT64_MAX : UINT32_MAX;
    uint64_t value = 0;
    if (hex) {
        for (; i < s.size(); ++i) {
            int d = HexDigitValue(s[i]);
            if (d < 0 || value > (unsignedMax >> 4))
                return false;
            value = (value << 4) | static_cast<uint64_t>(d);
        }
        // Hexadecimal text covers the whole unsigned width and wraps into the negative half.
        int64_t v =
            bits == 64 ? static_cast<int64_t>(value) : static_cast<int32_t>(static_cast<uint32_t>(value));
        out = negative ? static_cast<int64_t>(0ull - static_cast<uint64_t>(v)) : v;
        if (bits == 32)
            out = static_cast<int32_t>(out);
        return true;
    }
    const uint64_t limit =
        (bits == 64 ? static_cast<uint64_t>(INT64_MAX) : static_cast<uint64_t>(INT32_MAX)) +
        (negative ? 1u : 0u);
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c < '0' || c > '9')
            return false;
        uint64_t d = static_cast<uint64_t>(c - '0');
        if (value > (limit - d) / 10)
            return false;
        value = value * 10 + d;
    }
    out = negative ? static_cast<int64_t>(0ull - value) : static_cast<int64_t>(value);
    return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view s) {
    throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

} // namespace

bool TryStrToInt(std::string_view s, int& value) {
    int64_t v;
    if (!ParseInteger(s, 32, v))
        return false;
    value = static_cast<int>(v);
    return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value) {
    return ParseInteger(s, 64, value);
}

int StrToInt(std::string_view s) {
    int v;
    if (!TryStrToInt(s, v))
        RaiseNotInteger(s);
    return v;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!TryStrToInt64(s, v))
        RaiseNotInteger(s);
    return v;
}

int StrToIntDef(std::string_view s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64Def(std::string_view s, int64_t def) {
    int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

std::string HexDigits(uint64_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    char buf[16];
    int n = 0;
    do {
        buf[n++] = kDigits[value & 15];
        value >>= 4;
    } while (value != 0);
    std::string out;
    if (digits > n)
        out.assign(static_cast<size_t>(digits - n), '0');
    while (n > 0)
        out += buf[--n];
    return out;
}

// --- Trimming and case ------------------------------------------------------------------------------

namespace {
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
} // namespace

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(0, e));
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one well-formed UTF-8 sequence at s[i]; answers its length, or 0 when the bytes there are no
// valid sequence.
size_t DecodeOne(std::string_view s, size_t i, char32_t& cp) {
    const TUtf8Char c = Utf8DecodeAt(s, i);
    cp = c.CodePoint;
    return c.Valid() ? c.Length : 0;
}

// The C library's Unicode case tables, without touching the process locale.
locale_t Utf8CaseLocale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
        if (!l)
            l = newlocale(LC_CTYPE_MASK, "C.utf8", nullptr);
        return l;
    }();
    return loc;
}

char32_t LatinUpper(char32_t c) {
    if (c < 0x80)
        return static_cast<char32_t>(AsciiUpper(static_cast<char>(c)));
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    return c;
}

char32_t LatinLower(char32_t c) {
    if (c < 0x80)
        return static_cast<char32_t>(AsciiLower(static_cast<char>(c)));
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 0x20;
    if (c == 0x178)
        return 0xFF;
    return c;
}

char32_t ToUpperCp(char32_t c) {
    if (locale_t l = Utf8CaseLocale())
        return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), l));
    return LatinUpper(c);
}

char32_t ToLowerCp(char32_t c) {
    if (locale_t l = Utf8CaseLocale())
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), l));
    return LatinLower(c);
}

template <class Map> std::string MapLetters(std::string_view s, Map map) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t cp;
        size_t len = DecodeOne(s, i, cp);
        if (len == 0) {
            out += s[i++];
            continue;
        }
        if (len == 1)
            out += static_cast<char>(map(cp));
        else
            AppendUtf8(out, map(cp));
        i += len;
    }
    return out;
}

} // namespace

std::string AnsiUpperCase(std::string_view s) {
    return MapLetters(s, ToUpperCp);
}
std::string AnsiLowerCase(std::string_view s) {
    return MapLetters(s, ToLowerCp);
}

int CompareStr(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(AsciiUpper(a[i]));
        auto y = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t x, y;
        size_t la = DecodeOne(a, i, x);
        size_t lb = DecodeOne(b, j, y);
        // A stray byte compares by its own value, above every ASCII character.
        x = la ? ToLowerCp(x) : static_cast<unsigned char>(a[i]);
        y = lb ? ToLowerCp(y) : static_cast<unsigned char>(b[j]);
        if (x != y)
            return x < y ? -1 : 1;
        i += la ? la : 1;
        j += lb ? lb : 1;
    }
    bool aDone = i >= a.size(), bDone = j >= b.size();
    return aDone && bDone ? 0 : aDone ? -1 : 1;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    return AnsiCompareText(a, b) == 0;
}

std::string AnsiCaseKey(std::string_view s) {
    std::string key;
    key.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t cp;
        const size_t len = DecodeOne(s, i, cp);
        // As AnsiCompareText: a letter by its lower case, a stray byte by its own value.
        AppendUtf8(key, len ? ToLowerCp(cp) : static_cast<unsigned char>(s[i]));
        i += len ? len : 1;
    }
    return key;
}

// --- Quoting and replacing --------------------------------------------------------------------------

std::string QuotedStr(std::string_view s) {
    return AnsiQuotedStr(s, '\'');
}

std::string AnsiQuotedStr(std::string_view s, char quote) {
    std::string out;
    out.reserve(s.size() + 2);
    out += quote;
    for (char c : s) {
        out += c;
        if (c == quote)
            out += quote;
    }
    out += quote;
    return out;
}

std::string AnsiDequotedStr(std::string_view s, char quote) {
    if (s.empty() || s[0] != quote)
        return std::string(s);
    std::string out;
    size_t i = 1;
    bool closed = false;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                out += quote;
                i += 2;
                continue;
            }
            closed = true;
            ++i;
            break;
        }
        out += s[i++];
    }
    // An unterminated quote, or nothing inside the quotes with text after them, is not a quoted text.
    if (!closed || (out.empty() && i < s.size()))
        return std::string(s);
    return out;
}

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags) {
    if (oldPattern.empty())
        return std::string(s);
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    auto matchAt = [&](size_t pos) {
        if (!ignoreCase)
            return s.compare(pos, oldPattern.size(), oldPattern) == 0;
        for (size_t k = 0; k < oldPattern.size(); ++k)
            if (AsciiUpper(s[pos + k]) != AsciiUpper(oldPattern[k]))
                return false;
        return true;
    };
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i + oldPattern.size() <= s.size()) {
        if (matchAt(i)) {
            out += newPattern;
            i += oldPattern.size();
            if (!(flags & rfReplaceAll))
                break;
        } else {
            out += s[i++];
        }
    }
    out.append(s.substr(i));
    return out;
}

// --- File names ---------------------------------------------------------------------------------------

namespace {
// Position just after the last '/', 0 when none.
size_t NameStart(std::string_view path) {
    size_t p = path.rfind(PathDelim);
    return p == std::string_view::npos ? 0 : p + 1;
}
// Position of the extension's dot, npos when the name part has none.
size_t ExtStart(std::string_view path) {
    size_t p = path.rfind('.');
    if (p == std::string_view::npos || p < NameStart(path))
        return std::string_view::npos;
    return p;
}
} // namespace

std::string ExtractFileName(std::string_view path) {
    return std::string(path.substr(NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
    size_t p = ExtStart(path);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(p));
}

std::string ExtractFilePath(std::string_view path) {
    return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileDir(std::string_view path) {
    size_t n = NameStart(path);
    if (n > 1)
        --n; // drop the delimiter unless it is the root itself
    return std::string(path.substr(0, n));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    size_t p = ExtStart(path);
    std::string out(path.substr(0, p == std::string_view::npos ? path.size() : p));
    out += ext;
    return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string out(path);
    if (out.empty() || out.back() != PathDelim)
        out += PathDelim;
    return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    std::string out(path);
    if (out.size() > 1 && out.back() == PathDelim)
        out.pop_back();
    return out;
}

// --- UTF-8 --------------------------------------------------------------------------------------------

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char c : latin1)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t len = DecodeOne(utf8, i, cp);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        out += cp <= 0xFF ? static_cast<char>(cp) : '?';
        i += len;
    }
    return out;
}

std::u32string Utf8Decode(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t len = DecodeOne(utf8, i, cp);
        out += len ? cp : kReplacement;
        i += len ? len : 1;
    }
    return out;
}

std::string Utf8Encode(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (char32_t cp : codePoints)
        AppendUtf8(out, cp);
    return out;
}

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        char32_t cp;
        size_t len = DecodeOne(s, i, cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

} // namespace plat
