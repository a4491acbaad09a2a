// Escaping and unescaping of values, file encodings and the typed readings of value texts.
#include "xml/DomSimpleXmlText.h"

#include <array>
#include <cstring>

#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/StringUtils.h"
#include "xml/DomSimpleXml.h"

namespace xml {

namespace {

template <class TOut> void AppendHexReference(TOut& out, uint32_t codePoint) {
    static const char digits[] = "0123456789ABCDEF";
    char buf[16];
    int n = 0;
    do {
        buf[n++] = digits[codePoint & 15];
        codePoint >>= 4;
    } while (codePoint != 0);
    if (n < 2)
        buf[n++] = '0';
    out.append("&#x", 3);
    while (n > 0)
        out.push_back(buf[--n]);
    out.push_back(';');
}

// The entity that stands for one of the five markup characters; empty for any other byte.
inline std::string_view MarkupEntity(unsigned char c) {
    switch (c) {
    case '"':
        return {"&quot;", 6};
    case '&':
        return {"&amp;", 5};
    case '\'':
        return {"&apos;", 6};
    case '<':
        return {"&lt;", 4};
    case '>':
        return {"&gt;", 4};
    default:
        return {};
    }
}

bool IsValidCodePoint(int64_t v) {
    return v > 0 && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF);
}

// The entity at the start of s ('&' there), in any letter case; its length and character, or 0.
size_t MatchEntity(std::string_view s, char& ch) {
    struct TEntity {
        const char* Text;
        size_t Length;
        char Char;
    };
    static const TEntity entities[] = {
        {"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'},
    };
    for (const TEntity& e : entities) {
        if (s.size() >= e.Length && plat::SameText(s.substr(0, e.Length), e.Text)) {
            ch = e.Char;
            return e.Length;
        }
    }
    return 0;
}

} // namespace

size_t DecodeInPlace(char* s, size_t n, bool references) {
    auto* amp = static_cast<char*>(std::memchr(s, '&', n));
    if (!amp)
        return n;
    size_t r = static_cast<size_t>(amp - s);
    size_t w = r;
    // Where the next ';' lies: found once and reused, so text full of "&#" without ';' stays linear.
    size_t semicolon = 0;
    bool semicolonKnown = false;
    auto findSemicolon = [&](size_t from) -> size_t {
        auto* p = static_cast<char*>(std::memchr(s + from, ';', n - from));
        return p ? static_cast<size_t>(p - s) : n;
    };
    while (r < n) {
        char c = s[r];
        if (c != '&') {
            s[w++] = c;
            ++r;
            continue;
        }
        if (references && r + 1 < n && s[r + 1] == '#') {
            if (!semicolonKnown || (semicolon < n && semicolon < r + 2)) {
                semicolon = r + 2 <= n ? findSemicolon(r + 2) : n;
                semicolonKnown = true;
            }
            if (semicolon < n) {
                size_t digits = r + 2;
                bool hex = digits < semicolon && (s[digits] == 'x' || s[digits] == 'X');
                if (hex)
                    ++digits;
                int64_t value = 0;
                std::string_view text(s + digits, semicolon - digits);
                bool ok = hex ? TryTextToInt64("$" + std::string(text), value) : TryTextToInt64(text, value);
                if (ok && IsValidCodePoint(value)) {
                    // A reference is never shorter than the UTF-8 form of its character, so the
                    // result fits behind the reading position.
                    std::string utf8;
                    AppendCodePoint(utf8, static_cast<uint32_t>(value));
                    std::memcpy(s + w, utf8.data(), utf8.size());
                    w += utf8.size();
                    r = semicolon + 1;
                    continue;
                }
            }
            // A reference that gives no character ends the decoding: it and everything after it stay
            // as they are.
            std::memmove(s + w, s + r, n - r);
            return w + (n - r);
        }
        char ch;
        if (size_t len = MatchEntity(std::string_view(s + r, n - r), ch)) {
            s[w++] = ch;
            r += len;
            continue;
        }
        s[w++] = '&';
        ++r;
    }
    return w;
}

namespace {

void Decode(std::string& s, bool references) {
    if (s.find('&') == std::string::npos)
        return;
    s.resize(DecodeInPlace(s.data(), s.size(), references));
}

} // namespace

int DecodeUtf8(const unsigned char* p, const unsigned char* end, uint32_t& cp) {
    const plat::TUtf8Char c = plat::Utf8DecodeAt(
        std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(end - p)), 0);
    cp = c.CodePoint;
    return c.Valid() ? c.Length : 0;
}

// Surrogates and values beyond U+10FFFF would become U+FFFD; the callers here pass only valid ones.
void AppendCodePoint(std::string& out, uint32_t cp) {
    plat::AppendUtf8(out, static_cast<char32_t>(cp));
}

void AppendFileText(std::string& out, const char* data, size_t size, bool utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + size;
    out.reserve(out.size() + size + 8);
    while (p < end) {
        const auto* run = p;
        while (p < end && *p < 0x80)
            ++p;
        out.append(reinterpret_cast<const char*>(run), p - run);
        if (p == end)
            break;
        uint32_t cp;
        int len = utf8 ? DecodeUtf8(p, end, cp) : 0;
        if (len > 0) {
            out.append(reinterpret_cast<const char*>(p), len);
            p += len;
        } else {
            AppendCodePoint(out, *p);
            ++p;
        }
    }
}

void AppendToFile(TDomOutput& out, std::string_view text, bool utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    // The common case, plain ASCII, goes in one copy.
    const size_t ascii = AsciiPrefix(text.data(), text.size());
    out.append(text.data(), ascii);
    p += ascii;
    while (p < end) {
        const auto* run = p;
        while (p < end && *p < 0x80)
            ++p;
        out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
        if (p == end)
            break;
        uint32_t cp;
        int len = DecodeUtf8(p, end, cp);
        if (len == 0) {
            if (utf8) {
                // The byte as the Latin-1 character it would be, in UTF-8.
                out.push_back(static_cast<char>(0xC0 | (*p >> 6)));
                out.push_back(static_cast<char>(0x80 | (*p & 0x3F)));
            } else {
                out.push_back(static_cast<char>(*p));
            }
            ++p;
            continue;
        }
        if (utf8)
            out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(len));
        else if (cp <= 0xFF)
            out.push_back(static_cast<char>(cp));
        else
            AppendHexReference(out, cp);
        p += len;
    }
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() == b.size()) {
        size_t i = 0;
        for (; i < a.size(); ++i) {
            unsigned char x = a[i], y = b[i];
            if (x >= 0x80 || y >= 0x80)
                break;
            if (x != y) {
                if (x >= 'A' && x <= 'Z')
                    x += 32;
                if (y >= 'A' && y <= 'Z')
                    y += 32;
                if (x != y)
                    return false;
            }
        }
        if (i == a.size())
            return true;
    } else if (!HasHighBytes(a.data(), a.size()) && !HasHighBytes(b.data(), b.size())) {
        return false;
    }
    return plat::AnsiSameText(a, b);
}

bool IsUtf8EncodingName(std::string_view name) {
    return plat::SameText(name, "utf-8") || plat::SameText(name, "utf8");
}

namespace {
constexpr size_t kDirectEscapeLimit = 4096;
} // namespace

void AppendEscaped(TDomOutput& out, std::string_view value, int mode, bool utf8) {
    if (mode == 0) {
        AppendToFile(out, value, utf8);
        return;
    }
    // Bytes that need more than a copy: the five markup characters and everything from 0x80.
    static constexpr auto special = [] {
        std::array<bool, 256> t{};
        for (unsigned char c : {'"', '&', '\'', '<', '>'})
            t[c] = true;
        for (int c = 0x80; c < 256; ++c)
            t[c] = true;
        return t;
    }();
    const auto* p = reinterpret_cast<const unsigned char*>(value.data());
    const auto* end = p + value.size();
    // Values of ordinary size: written straight into reserved room (a reference is at most six bytes
    // for each byte it stands for) until the first character that needs the general path.
    if (value.size() <= kDirectEscapeLimit) {
        out.reserve(value.size() * 6);
        char* d = out.Tail();
        for (; p < end; ++p) {
            const unsigned char c = *p;
            if (!special[c]) {
                *d++ = static_cast<char>(c);
                continue;
            }
            const std::string_view entity = MarkupEntity(c);
            if (entity.empty())
                break;
            std::memcpy(d, entity.data(), entity.size());
            d += entity.size();
        }
        out.SetTail(d);
    }
    while (p < end) {
        const auto* run = p;
        while (p < end && !special[*p])
            ++p;
        out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
        if (p == end)
            break;
        const unsigned char c = *p;
        if (const std::string_view entity = MarkupEntity(c); !entity.empty()) {
            out.append(entity.data(), entity.size());
            ++p;
            continue;
        }
        uint32_t cp;
        int len = DecodeUtf8(p, end, cp);
        if (mode == 2) {
            if (len == 0) {
                cp = c;
                len = 1;
            }
            AppendHexReference(out, cp);
        } else {
            AppendToFile(out, std::string_view(reinterpret_cast<const char*>(p), len == 0 ? 1 : len), utf8);
            if (len == 0)
                len = 1;
        }
        p += len;
    }
}

std::string EncodeXmlText(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 16);
    const auto* p = reinterpret_cast<const unsigned char*>(value.data());
    const auto* end = p + value.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            const std::string_view entity = MarkupEntity(c);
            if (entity.empty())
                out += static_cast<char>(c);
            else
                out += entity;
            ++p;
            continue;
        }
        uint32_t cp;
        int len = DecodeUtf8(p, end, cp);
        if (len == 0) {
            cp = c;
            len = 1;
        }
        AppendHexReference(out, cp);
        p += len;
    }
    return out;
}

std::string EncodeEntities(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 16);
    for (char c : value) {
        const std::string_view entity = MarkupEntity(static_cast<unsigned char>(c));
        if (entity.empty())
            out += c;
        else
            out += entity;
    }
    return out;
}

void DecodeXmlText(std::string& value) {
    Decode(value, true);
}
void DecodeEntities(std::string& value) {
    Decode(value, false);
}

bool TryTextToInt64(std::string_view s, int64_t& result) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size())
        return false;
    const uint64_t limit = negative ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        unsigned char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (v > (limit - d) / base)
            return false;
        v = v * base + d;
    }
    result = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

bool TryTextToExtended(std::string_view value, long double& result) {
    return plat::TryStrToFloat(value, result);
}

bool TryTextToBoolean(std::string_view value, bool& result) {
    long double number;
    if (TryTextToExtended(value, number)) {
        result = number != 0;
        return true;
    }
    if (plat::AnsiSameText(value, "True")) {
        result = true;
        return true;
    }
    if (plat::AnsiSameText(value, "False")) {
        result = false;
        return true;
    }
    return false;
}

bool TextToBoolean(std::string_view value, bool def) {
    bool result;
    return TryTextToBoolean(value, result) ? result : def;
}

std::string BooleanToText(bool value) {
    return value ? "-1" : "0";
}

} // namespace xml
