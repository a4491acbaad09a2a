#include "platform/rtl/FormText.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

bool IsAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One pass over the text; every node remembers the line it started on.
class TTextParser {
public:
    explicit TTextParser(std::string_view text) : FText(text) {
        if (FText.substr(0, 3) == "\xEF\xBB\xBF")
            FPos = 3;
    }

    TFilerObject ParseRoot() {
        SkipSpace();
        TFilerObject root = ParseObject();
        SkipSpace();
        if (FPos < FText.size())
            Fail("Text after the end of the object");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw EParserError(what + " on line " + std::to_string(FLine));
    }

    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }

    void SkipSpace() {
        while (!AtEnd()) {
            const char c = FText[FPos];
            if (c == '\n')
                ++FLine;
            else if (c != ' ' && c != '\t' && c != '\r')
                break;
            ++FPos;
        }
    }

    void Expect(char c, const char* what) {
        SkipSpace();
        if (Peek() != c)
            Fail(std::string("Expected ") + what + Found());
        ++FPos;
    }

    std::string Found() const {
        if (AtEnd())
            return " but found the end of the text";
        const unsigned char c = static_cast<unsigned char>(FText[FPos]);
        if (c < 32 || c >= 127)
            return " but found character #" + std::to_string(c);
        return std::string(" but found '") + static_cast<char>(c) + "'";
    }

    // Identifiers may carry dots (dotted property names, references).
    std::string Ident(const char* what) {
        SkipSpace();
        if (!IsAlpha(Peek()))
            Fail(std::string("Expected ") + what + Found());
        const size_t start = FPos;
        while (!AtEnd() && (IsAlpha(FText[FPos]) || IsDigit(FText[FPos]) || FText[FPos] == '.'))
            ++FPos;
        // The binary form holds names of up to 255 bytes; what reads here must also save there.
        if (FPos - start > 255)
            Fail("Name too long");
        return std::string(FText.substr(start, FPos - start));
    }

    bool PeekKeyword(std::string_view word) {
        SkipSpace();
        if (FText.size() - FPos < word.size() || !SameText(FText.substr(FPos, word.size()), word))
            return false;
        const size_t after = FPos + word.size();
        return after >= FText.size() ||
               !(IsAlpha(FText[after]) || IsDigit(FText[after]) || FText[after] == '.');
    }

    // "end" and "object" are also property names a stream may hold ("end = True"): only a property name
    // is ever followed by '=', so that tells them apart.
    bool AtKeyword(std::string_view word) {
        if (!PeekKeyword(word))
            return false;
        size_t at = FPos + word.size();
        while (at < FText.size() &&
               (FText[at] == ' ' || FText[at] == '\t' || FText[at] == '\r' || FText[at] == '\n'))
            ++at;
        return at >= FText.size() || FText[at] != '=';
    }

    void Enter() {
        if (++FDepth > kMaxStreamDepth)
            Fail("Nesting too deep");
    }

    TFilerObject ParseObject() {
        Enter();
        if (!PeekKeyword("object"))
            Fail(std::string("Expected 'object'") + Found());
        TFilerObject obj;
        obj.Line = FLine;
        FPos += 6;
        std::string first = Ident("a class name");
        SkipSpace();
        if (Peek() == ':') {
            ++FPos;
            obj.Name = std::move(first);
            obj.ClassName = Ident("a class name");
        } else {
            obj.ClassName = std::move(first);
        }
        if (obj.ClassName.find('.') != std::string::npos || obj.Name.find('.') != std::string::npos)
            Fail("Invalid name '" + (obj.Name.empty() ? obj.ClassName : obj.Name) + "'");
        while (true) {
            if (AtKeyword("end")) {
                FPos += 3;
                break;
            }
            if (AtKeyword("object")) {
                obj.Children.push_back(ParseObject());
                continue;
            }
            if (AtEnd())
                Fail("Expected 'end' but found the end of the text");
            obj.Properties.push_back(ParseProperty());
        }
        --FDepth;
        return obj;
    }

    TFilerProperty ParseProperty() {
        TFilerProperty p;
        SkipSpace();
        p.Line = FLine;
        p.Name = Ident("a property name");
        Expect('=', "'='");
        p.Value = ParseValue();
        return p;
    }

    TFilerValue ParseValue() {
        SkipSpace();
        TFilerValue v;
        v.Line = FLine;
        const char c = Peek();
        if (c == '\'' || c == '#') {
            v.Kind = TFilerValue::String;
            v.Text = ParseString();
        } else if (IsDigit(c) || c == '-' || c == '$') {
            ParseNumber(v);
        } else if (IsAlpha(c)) {
            v.Text = Ident("a value");
            if (SameText(v.Text, "True")) {
                v.Kind = TFilerValue::True;
            } else if (SameText(v.Text, "False")) {
                v.Kind = TFilerValue::False;
            } else if (SameText(v.Text, "nil")) {
                v.Kind = TFilerValue::Nil;
            } else if (SameText(v.Text, "NAN") || SameText(v.Text, "INF")) {
                v.Kind = TFilerValue::Float;
                v.FloatValue = SameText(v.Text, "INF") ? std::numeric_limits<double>::infinity()
                                                       : std::numeric_limits<double>::quiet_NaN();
            } else {
                v.Kind = TFilerValue::Ident;
                return v;
            }
            v.Text.clear();
        } else if (c == '[') {
            ++FPos;
            v.Kind = TFilerValue::Set;
            SkipSpace();
            if (Peek() == ']') {
                ++FPos;
            } else {
                while (true) {
                    v.Elements.push_back(Ident("a set element"));
                    SkipSpace();
                    if (Peek() == ']') {
                        ++FPos;
                        break;
                    }
                    Expect(',', "',' or ']'");
                }
            }
        } else if (c == '(') {
            ++FPos;
            Enter();
            v.Kind = TFilerValue::List;
            while (true) {
                SkipSpace();
                if (Peek() == ')') {
                    ++FPos;
                    break;
                }
                if (AtEnd())
                    Fail("Expected ')' but found the end of the text");
                v.Items.push_back(ParseValue());
            }
            --FDepth;
        } else if (c == '{') {
            ++FPos;
            v.Kind = TFilerValue::Binary;
            ParseBinary(v.Bytes);
        } else if (c == '<') {
            ++FPos;
            Enter();
            v.Kind = TFilerValue::Collection;
            while (true) {
                SkipSpace();
                if (Peek() == '>') {
                    ++FPos;
                    break;
                }
                if (!PeekKeyword("item"))
                    Fail(std::string("Expected 'item' or '>'") + Found());
                TFilerValue item;
                item.Kind = TFilerValue::List;
                item.Line = FLine;
                FPos += 4;
                while (!AtKeyword("end")) {
                    if (AtEnd())
                        Fail("Expected 'end' but found the end of the text");
                    item.Properties.push_back(ParseProperty());
                }
                FPos += 3;
                v.Items.push_back(std::move(item));
            }
            --FDepth;
        } else {
            Fail(std::string("Expected a value") + Found());
        }
        return v;
    }

    void ParseNumber(TFilerValue& v) {
        const size_t start = FPos;
        bool negative = false;
        if (Peek() == '-') {
            negative = true;
            ++FPos;
            if (PeekKeyword("INF")) {
                FPos += 3;
                v.Kind = TFilerValue::Float;
                v.FloatValue = -std::numeric_limits<double>::infinity();
                return;
            }
        }
        if (Peek() == '$') {
            ++FPos;
            const size_t digits = FPos;
            uint64_t value = 0;
            while (!AtEnd() && HexValue(FText[FPos]) >= 0) {
                if (FPos - digits >= 16)
                    Fail("Number too large");
                value = value * 16 + static_cast<uint64_t>(HexValue(FText[FPos]));
                ++FPos;
            }
            if (FPos == digits || IsAlpha(Peek()))
                Fail("Invalid number '" + std::string(FText.substr(start, FPos + 1 - start)) + "'");
            v.Kind = TFilerValue::Int;
            v.IntValue = static_cast<int64_t>(negative ? uint64_t(0) - value : value);
            return;
        }
        bool isFloat = false;
        while (!AtEnd()) {
            const char c = FText[FPos];
            if (IsDigit(c)) {
                ++FPos;
            } else if (c == '.' || c == 'e' || c == 'E') {
                isFloat = true;
                ++FPos;
                if ((c == 'e' || c == 'E') && (Peek() == '+' || Peek() == '-'))
                    ++FPos;
            } else {
                break;
            }
        }
        const std::string_view token = FText.substr(start, FPos - start);
        const char* first = token.data();
        const char* last = token.data() + token.size();
        if (IsAlpha(Peek()) || token == "-" || token.empty())
            Fail("Invalid number '" + std::string(token) + (IsAlpha(Peek()) ? std::string(1, Peek()) : "") +
                 "'");
        if (isFloat) {
            double d = 0;
            auto [ptr, ec] = std::from_chars(first, last, d);
            if (ec != std::errc() || ptr != last)
                Fail("Invalid number '" + std::string(token) + "'");
            v.Kind = TFilerValue::Float;
            v.FloatValue = d;
        } else {
            int64_t i = 0;
            auto [ptr, ec] = std::from_chars(first, last, i);
            if (ec == std::errc::result_out_of_range)
                Fail("Number too large '" + std::string(token) + "'");
            if (ec != std::errc() || ptr != last)
                Fail("Invalid number '" + std::string(token) + "'");
            v.Kind = TFilerValue::Int;
            v.IntValue = i;
        }
    }

    // Quoted pieces and #nn codes written next to each other form one string; '+' continues it on the
    // next line.
    std::string ParseString() {
        std::string out;
        while (true) {
            const char c = Peek();
            if (c == '\'') {
                ++FPos;
                while (true) {
                    if (AtEnd() || FText[FPos] == '\n' || FText[FPos] == '\r')
                        Fail("Unterminated string");
                    const char d = FText[FPos++];
                    if (d == '\'') {
                        if (Peek() == '\'') {
                            out += '\'';
                            ++FPos;
                            continue;
                        }
                        break;
                    }
                    out += d;
                }
            } else if (c == '#') {
                ++FPos;
                uint64_t code = 0;
                const size_t digits = FPos;
                if (Peek() == '$') {
                    ++FPos;
                    while (!AtEnd() && HexValue(FText[FPos]) >= 0 && code <= 0x10FFFF)
                        code = code * 16 + static_cast<uint64_t>(HexValue(FText[FPos++]));
                } else {
                    while (!AtEnd() && IsDigit(FText[FPos]) && code <= 0x10FFFF)
                        code = code * 10 + static_cast<uint64_t>(FText[FPos++] - '0');
                }
                if (FPos == digits || (FText[digits] == '$' && FPos == digits + 1) || code > 0x10FFFF ||
                    (code >= 0xD800 && code <= 0xDFFF) || IsDigit(Peek()) || HexValue(Peek()) >= 0)
                    Fail("Invalid character code");
                AppendUtf8(out, static_cast<char32_t>(code));
            } else {
                // A '+' after blanks joins the next piece, which may start on a later line.
                const size_t savePos = FPos;
                const int saveLine = FLine;
                SkipSpace();
                if (Peek() == '+') {
                    ++FPos;
                    SkipSpace();
                    if (Peek() != '\'' && Peek() != '#')
                        Fail(std::string("Expected a string") + Found());
                    continue;
                }
                FPos = savePos;
                FLine = saveLine;
                return out;
            }
        }
    }

    void ParseBinary(std::vector<uint8_t>& bytes) {
        int high = -1;
        while (true) {
            SkipSpace();
            if (AtEnd())
                Fail("Expected '}' but found the end of the text");
            const char c = FText[FPos++];
            if (c == '}')
                break;
            const int h = HexValue(c);
            if (h < 0)
                Fail("Invalid binary value");
            if (high < 0) {
                high = h;
            } else {
                bytes.push_back(static_cast<uint8_t>(high * 16 + h));
                high = -1;
            }
        }
        if (high >= 0)
            Fail("Invalid binary value");
    }

    std::string_view FText;
    size_t FPos = 0;
    int FLine = 1;
    int FDepth = 0;
};

// ---- Writing

constexpr size_t kStringChunk = 64;
constexpr size_t kBinaryLine = 32;

void CheckName(const std::string& name, bool allowDots) {
    if (!IsStreamIdent(name) || (!allowDots && name.find('.') != std::string::npos))
        throw EWriteError("'" + name + "' cannot be written as a name");
}

// Printable text goes between quotes (UTF-8 kept); control characters become #nn. A byte that is not
// part of valid UTF-8 is written as its Latin-1 character.
void QuotePiece(std::string& out, std::string_view s) {
    bool open = false;
    auto openQuote = [&] {
        if (!open) {
            out += '\'';
            open = true;
        }
    };
    auto closeQuote = [&] {
        if (open) {
            out += '\'';
            open = false;
        }
    };
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const TUtf8Char u = Utf8DecodeAt(s, i);
        if (c >= 32 && c < 127) {
            openQuote();
            if (c == '\'')
                out += '\'';
            out += static_cast<char>(c);
            ++i;
        } else if (c >= 0x80 && u.Valid()) {
            openQuote();
            out.append(s.substr(i, u.Length));
            i += u.Length;
        } else {
            closeQuote();
            out += '#';
            out += std::to_string(c);
            ++i;
        }
    }
    if (s.empty())
        out += "''";
    closeQuote();
}

void WriteString(std::string& out, const std::string& s, const std::string& indent) {
    if (s.size() <= kStringChunk) {
        QuotePiece(out, s);
        return;
    }
    size_t i = 0;
    bool first = true;
    while (i < s.size()) {
        size_t end = std::min(s.size(), i + kStringChunk);
        // Keep UTF-8 sequences whole.
        while (end < s.size() && end > i + 1 && IsUtf8Continuation(s[end]))
            --end;
        if (!first)
            out += " +\n" + indent;
        QuotePiece(out, std::string_view(s).substr(i, end - i));
        first = false;
        i = end;
    }
}

void WriteFloat(std::string& out, double d) {
    if (std::isnan(d)) {
        out += "NAN";
        return;
    }
    if (std::isinf(d)) {
        out += d < 0 ? "-INF" : "INF";
        return;
    }
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, d);
    std::string s(buf, ptr);
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    out += s;
}

void WriteProperties(std::string& out, const std::vector<TFilerProperty>& props, const std::string& indent);

void WriteValue(std::string& out, const TFilerValue& v, const std::string& indent) {
    const std::string inner = indent + "  ";
    switch (v.Kind) {
    case TFilerValue::Int:
        out += std::to_string(v.IntValue);
        break;
    case TFilerValue::Float:
        WriteFloat(out, v.FloatValue);
        break;
    case TFilerValue::String:
        WriteString(out, v.Text, inner);
        break;
    case TFilerValue::Ident:
        CheckName(v.Text, true);
        out += v.Text;
        break;
    case TFilerValue::False:
        out += "False";
        break;
    case TFilerValue::True:
        out += "True";
        break;
    case TFilerValue::Nil:
        out += "nil";
        break;
    case TFilerValue::Set:
        out += '[';
        for (size_t i = 0; i < v.Elements.size(); ++i) {
            CheckName(v.Elements[i], false);
            if (i)
                out += ", ";
            out += v.Elements[i];
        }
        out += ']';
        break;
    case TFilerValue::Binary: {
        static const char* const kHex = "0123456789ABCDEF";
        out += '{';
        for (size_t i = 0; i < v.Bytes.size(); ++i) {
            if (i % kBinaryLine == 0)
                out += "\n" + inner;
            out += kHex[v.Bytes[i] >> 4];
            out += kHex[v.Bytes[i] & 15];
        }
        out += '}';
        break;
    }
    case TFilerValue::List:
        out += '(';
        for (const TFilerValue& item : v.Items) {
            out += "\n" + inner;
            WriteValue(out, item, inner);
        }
        out += ')';
        break;
    case TFilerValue::Collection:
        out += '<';
        for (const TFilerValue& item : v.Items) {
            out += "\n" + inner + "item\n";
            WriteProperties(out, item.Properties, inner + "  ");
            out += inner + "end";
        }
        out += '>';
        break;
    }
}

void WriteProperties(std::string& out, const std::vector<TFilerProperty>& props, const std::string& indent) {
    for (const TFilerProperty& p : props) {
        CheckName(p.Name, true);
        out += indent + p.Name + " = ";
        WriteValue(out, p.Value, indent);
        out += '\n';
    }
}

void WriteObject(std::string& out, const TFilerObject& obj, const std::string& indent, int depth) {
    if (depth >= kMaxStreamDepth)
        throw EWriteError("Components nested too deeply");
    CheckName(obj.ClassName, false);
    out += indent + "object ";
    if (!obj.Name.empty()) {
        CheckName(obj.Name, false);
        out += obj.Name + ": ";
    }
    out += obj.ClassName + "\n";
    WriteProperties(out, obj.Properties, indent + "  ");
    for (const TFilerObject& child : obj.Children)
        WriteObject(out, child, indent + "  ", depth + 1);
    out += indent + "end\n";
}

} // namespace

TFilerObject ParseObjectText(std::string_view Text) {
    return TTextParser(Text).ParseRoot();
}

std::string ObjectTreeToText(const TFilerObject& Tree) {
    std::string out;
    WriteObject(out, Tree, "", 0);
    return out;
}

TComponent* ReadComponentFromText(std::string_view Text, TComponent* Root) {
    const TFilerObject tree = ParseObjectText(Text);
    TReader reader;
    return reader.ReadRootComponent(tree, Root);
}

std::string WriteComponentToText(TComponent* Component, TComponent* Root) {
    TWriter writer(Root);
    return ObjectTreeToText(writer.WriteComponent(Component));
}

} // namespace plat
