#include "platform/ui/RichEditRtf.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>

#include "platform/rtl/Exception.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

// Windows-1252 for the bytes 0x80 to 0x9F; the other bytes are Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t FromCp1252(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b;
}

bool IsAutoColor(TColor c) {
    return c == clWindowText || c == clDefault || c == clNone;
}

// ---- Writer ----------------------------------------------------------------------------------------------

class TRtfWriter {
public:
    TRtfWriter(const TRichDocument& doc, int pos, int len) : FDoc(doc), FPos(pos), FLen(len) {}

    std::string Write() {
        CollectTables();
        std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1";
        out += "{\\fonttbl";
        for (size_t i = 0; i < FFonts.size(); ++i) {
            out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" +
                   std::to_string(FFontCharsets[i] == SYMBOL_CHARSET ? 2 : 0) + ' ';
            AppendText(out, Utf8Decode(FFonts[i]), true);
            out += ";}";
        }
        out += "}";
        out += "{\\colortbl ;";
        for (TColor c : FColors) {
            TColor rgb = ColorToRGB(c);
            out += "\\red" + std::to_string(rgb & 0xFF) + "\\green" + std::to_string((rgb >> 8) & 0xFF) +
                   "\\blue" + std::to_string((rgb >> 16) & 0xFF) + ';';
        }
        out += "}\r\n";

        const std::u32string& chars = FDoc.Chars();
        int end = FPos + FLen;
        int para = FDoc.ParagraphOf(FPos);
        ParagraphStart(out, para);
        bool first = true;
        uint32_t lastId = 0;
        TCharFormat current;
        for (int i = FPos; i < end; ++i) {
            if (first || FDoc.FormatIdAt(i) != lastId) {
                const TCharFormat& f = FDoc.FormatAt(i);
                FormatChange(out, first ? nullptr : &current, f);
                current = f;
                lastId = FDoc.FormatIdAt(i);
                first = false;
            }
            char32_t c = chars[i];
            if (c == RichParagraphBreak) {
                out += "\\par\r\n";
                FNeedSpace = false;
                // The empty paragraph after a final break has a format of its own too.
                if (i + 1 < end || end == FDoc.Length())
                    ParagraphStart(out, ++para);
            } else {
                AppendText(out, std::u32string_view(&chars[i], 1), false);
            }
        }
        out += "}\r\n";
        return out;
    }

private:
    void CollectTables() {
        auto addFont = [this](const TCharFormat& f) {
            if (FontIndex(f) == static_cast<int>(FFonts.size())) {
                FFonts.push_back(f.Name);
                FFontCharsets.push_back(TableCharset(f.Charset));
            }
        };
        auto addColor = [this](TColor c) {
            if (!IsAutoColor(c) && std::find(FColors.begin(), FColors.end(), c) == FColors.end())
                FColors.push_back(c);
        };
        int end = FPos + FLen;
        for (int i = FPos; i < end; ++i) {
            if (i > FPos && FDoc.FormatIdAt(i) == FDoc.FormatIdAt(i - 1))
                continue;
            addFont(FDoc.FormatAt(i));
            addColor(FDoc.FormatAt(i).Color);
        }
        if (FFonts.empty())
            addFont(FDoc.DefaultFormat());
    }

    // The table tells symbol fonts from the others, so one name may need two entries.
    static uint8_t TableCharset(uint8_t charset) {
        return charset == SYMBOL_CHARSET ? SYMBOL_CHARSET : DEFAULT_CHARSET;
    }
    int FontIndex(const TCharFormat& f) const {
        size_t i = 0;
        while (i < FFonts.size() && (FFonts[i] != f.Name || FFontCharsets[i] != TableCharset(f.Charset)))
            ++i;
        return static_cast<int>(i);
    }
    int ColorIndex(TColor c) const {
        if (IsAutoColor(c))
            return 0;
        return static_cast<int>(std::find(FColors.begin(), FColors.end(), c) - FColors.begin()) + 1;
    }

    void Word(std::string& out, const std::string& word) {
        out += '\\';
        out += word;
        FNeedSpace = true;
    }

    void ParagraphStart(std::string& out, int para) {
        const TParaFormat& p = FDoc.ParaFormat(para);
        Word(out, "pard");
        if (p.Alignment == taCenter)
            Word(out, "qc");
        else if (p.Alignment == taRightJustify)
            Word(out, "qr");
        if (p.LeftIndent)
            Word(out, "li" + std::to_string(p.LeftIndent * 20));
        if (p.FirstIndent)
            Word(out, "fi" + std::to_string(p.FirstIndent * 20));
        if (p.RightIndent)
            Word(out, "ri" + std::to_string(p.RightIndent * 20));
    }

    void FormatChange(std::string& out, const TCharFormat* was, const TCharFormat& now) {
        if (!was || FontIndex(*was) != FontIndex(now))
            Word(out, "f" + std::to_string(FontIndex(now)));
        if (!was || was->HalfPoints != now.HalfPoints)
            Word(out, "fs" + std::to_string(now.HalfPoints));
        if (!was || ColorIndex(was->Color) != ColorIndex(now.Color))
            Word(out, "cf" + std::to_string(ColorIndex(now.Color)));
        auto style = [&](TFontStyle bit, const char* on, const char* off) {
            bool before = was ? (was->Style & bit) != 0 : false;
            bool after = (now.Style & bit) != 0;
            if (before != after)
                Word(out, after ? on : off);
        };
        style(fsBold, "b", "b0");
        style(fsItalic, "i", "i0");
        style(fsUnderline, "ul", "ulnone");
        style(fsStrikeOut, "strike", "strike0");
    }

    void AppendText(std::string& out, std::u32string_view text, bool inTable) {
        for (char32_t c : text) {
            if (c == '\t' && !inTable) {
                Word(out, "tab");
                continue;
            }
            if (FNeedSpace) {
                out += ' ';
                FNeedSpace = false;
            }
            if (c == '\\' || c == '{' || c == '}') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                auto unit = [&](int u) { out += "\\u" + std::to_string(u > 32767 ? u - 65536 : u) + '?'; };
                if (c > 0xFFFF) {
                    char32_t v = c - 0x10000;
                    unit(static_cast<int>(0xD800 + (v >> 10)));
                    unit(static_cast<int>(0xDC00 + (v & 0x3FF)));
                } else {
                    unit(static_cast<int>(c));
                }
            }
        }
    }

    const TRichDocument& FDoc;
    int FPos, FLen;
    std::vector<std::string> FFonts;
    std::vector<uint8_t> FFontCharsets;
    std::vector<TColor> FColors;
    bool FNeedSpace = false;
};

// ---- Reader ----------------------------------------------------------------------------------------------

class TRtfReader {
public:
    TRtfReader(std::string_view rtf, const TCharFormat& defaults) : FIn(rtf), FDefaults(defaults) {}

    void Read(TRichDocument& out) {
        FOut = &out;
        size_t start = FIn.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos || FIn.substr(start, 5) != "{\\rtf")
            throw EParserError("The text is not in the Rich Text Format");
        FPos = start;
        while (FPos < FIn.size()) {
            char c = FIn[FPos++];
            if (FTooDeep > 0) {
                SkipTooDeep(c);
            } else if (c == '{' && FStack.size() >= kMaxGroupDepth) {
                FTooDeep = 1;
            } else if (c == '{') {
                FStack.push_back(FState); // a group starts with its parent's state and destination
                FState.GroupStart = true;
            } else if (c == '}') {
                EndGroupDestination();
                if (FStack.empty())
                    break;
                FState = FStack.back();
                FStack.pop_back();
                FState.GroupStart = false;
                FSkipChars = 0;
                if (FStack.empty())
                    break; // the document's own group is closed
            } else if (c == '\\') {
                ControlWord();
            } else if (c == '\r' || c == '\n') {
                continue;
            } else {
                Char(FromCp1252(static_cast<unsigned char>(c)));
            }
        }
        Flush();
        out.SetParaFormat(out.ParagraphCount() - 1, FTextPara);
    }

private:
    // Word processors nest groups a few levels deep; far deeper groups are skipped whole, so that a
    // file of braces cannot make the state stack grow with it.
    static constexpr size_t kMaxGroupDepth = 256;

    void SkipTooDeep(char c) {
        if (c == '{')
            ++FTooDeep;
        else if (c == '}')
            --FTooDeep;
        else if (c == '\\' && FPos < FIn.size())
            ++FPos; // an escaped brace does not count
    }

    enum TDest { dText, dSkip, dFontTable, dColorTable };
    struct TState {
        TDest Skip = dText;
        bool GroupStart = false;
        int Font = -1;
        int HalfPoints = 24;
        int Color = 0;
        TFontStyles Style = 0;
        TParaFormat Para;
        int Uc = 1;
    };

    static int Clamp(long long v, int lo, int hi) {
        return static_cast<int>(std::clamp<long long>(v, lo, hi));
    }

    void ControlWord() {
        if (FPos >= FIn.size())
            return;
        char c = FIn[FPos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++FPos;
            ControlSymbol(c);
            return;
        }
        size_t s = FPos;
        while (FPos < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FPos])) && FPos - s < 32)
            ++FPos;
        std::string word(FIn.substr(s, FPos - s));
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (FPos < FIn.size() && FIn[FPos] == '-' && FPos + 1 < FIn.size() &&
            std::isdigit(static_cast<unsigned char>(FIn[FPos + 1]))) {
            negative = true;
            ++FPos;
        }
        while (FPos < FIn.size() && std::isdigit(static_cast<unsigned char>(FIn[FPos]))) {
            hasParam = true;
            if (param < INT_MAX)
                param = param * 10 + (FIn[FPos] - '0');
            ++FPos;
        }
        if (negative)
            param = -param;
        if (FPos < FIn.size() && FIn[FPos] == ' ')
            ++FPos; // the delimiter belongs to the word
        bool groupStart = FState.GroupStart;
        FState.GroupStart = false;
        if (FSkipChars > 0) {
            --FSkipChars;
            return;
        }
        Word(word, hasParam, param, groupStart);
    }

    void ControlSymbol(char c) {
        bool groupStart = FState.GroupStart;
        FState.GroupStart = false;
        switch (c) {
        case '*':
            if (groupStart)
                FState.Skip = dSkip;
            return;
        case '\'': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && FPos < FIn.size() && std::isxdigit(static_cast<unsigned char>(FIn[FPos]))) {
                char h = static_cast<char>(std::tolower(static_cast<unsigned char>(FIn[FPos++])));
                value = value * 16 + (h >= 'a' ? h - 'a' + 10 : h - '0');
                ++digits;
            }
            Char(FromCp1252(static_cast<unsigned char>(value)));
            return;
        }
        case '\\':
        case '{':
        case '}':
            Char(static_cast<char32_t>(c));
            return;
        case '~':
            Char(0xA0);
            return;
        case '_':
            Char(0x2011);
            return;
        case '\r':
        case '\n':
            if (FSkipChars > 0)
                --FSkipChars;
            else
                Break();
            return;
        default: // "\-" (optional hyphen) and unknown symbols show nothing
            if (FSkipChars > 0)
                --FSkipChars;
            return;
        }
    }

    void Word(const std::string& w, bool hasParam, long long param, bool groupStart) {
        bool on = !hasParam || param != 0;
        // Destinations whose content is not text.
        static const char* const kSkipped[] = {"stylesheet",   "info",
                                               "pict",         "object",
                                               "header",       "headerl",
                                               "headerr",      "headerf",
                                               "footer",       "footerl",
                                               "footerr",      "footerf",
                                               "footnote",     "fldinst",
                                               "listtable",    "listoverridetable",
                                               "revtbl",       "rsidtbl",
                                               "xe",           "tc",
                                               "themedata",    "colorschememapping",
                                               "latentstyles", "datastore",
                                               "generator",    "bkmkstart",
                                               "bkmkend",      "annotation",
                                               "atnid",        "atnauthor",
                                               "private",      "nonshppict"};
        if (groupStart || FState.Skip == dText) {
            for (const char* s : kSkipped)
                if (w == s) {
                    FState.Skip = dSkip;
                    return;
                }
        }
        if (w == "fonttbl") {
            FState.Skip = dFontTable;
            return;
        }
        if (w == "colortbl") {
            FState.Skip = dColorTable;
            FColorHas = false;
            FRed = FGreen = FBlue = 0;
            return;
        }
        if (FState.Skip == dSkip)
            return;
        // Unicode escapes count in every destination that holds text: font names are written with them.
        if (w == "uc") {
            FState.Uc = Clamp(param, 0, 10);
            return;
        }
        if (w == "u") {
            long long v = param < 0 ? param + 65536 : param;
            UnicodeUnit(static_cast<char32_t>(Clamp(v, 0, 0xFFFF)));
            FSkipChars = FState.Uc;
            return;
        }
        if (FState.Skip == dFontTable) {
            if (w == "f") {
                FTableFont = Clamp(param, 0, 65535);
                FTableName.clear();
            } else if (w == "fcharset") {
                FTableCharset = Clamp(param, 0, 255);
            }
            return;
        }
        if (FState.Skip == dColorTable) {
            if (w == "red" || w == "green" || w == "blue") {
                int v = Clamp(param, 0, 255);
                (w == "red" ? FRed : w == "green" ? FGreen : FBlue) = v;
                FColorHas = true;
            }
            return;
        }
        if (w == "deff") {
            FDefaultFont = Clamp(param, 0, 65535);
        } else if (w == "par" || w == "line" || w == "row") {
            Break();
        } else if (w == "tab" || w == "cell") {
            Char('\t');
        } else if (w == "emdash") {
            Char(0x2014);
        } else if (w == "endash") {
            Char(0x2013);
        } else if (w == "bullet") {
            Char(0x2022);
        } else if (w == "lquote") {
            Char(0x2018);
        } else if (w == "rquote") {
            Char(0x2019);
        } else if (w == "ldblquote") {
            Char(0x201C);
        } else if (w == "rdblquote") {
            Char(0x201D);
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            Char(' ');
        } else if (w == "plain") {
            FState.Font = -1;
            FState.HalfPoints = 24;
            FState.Color = 0;
            FState.Style = 0;
        } else if (w == "f") {
            FState.Font = Clamp(param, 0, 65535);
        } else if (w == "fs") {
            FState.HalfPoints = Clamp(hasParam ? param : 24, 2, 3276);
        } else if (w == "cf") {
            FState.Color = Clamp(param, 0, 65535);
        } else if (w == "b") {
            SetStyle(fsBold, on);
        } else if (w == "i") {
            SetStyle(fsItalic, on);
        } else if (w == "strike" || w == "striked") {
            SetStyle(fsStrikeOut, on);
        } else if (w == "ulnone") {
            SetStyle(fsUnderline, false);
        } else if (w.size() >= 2 && w.compare(0, 2, "ul") == 0 && w != "ulc") {
            SetStyle(fsUnderline, on);
        } else if (IsParagraphWord(w)) {
            ParagraphWord(w, param);
            FTextPara = FState.Para;
        }
    }

    static bool IsParagraphWord(const std::string& w) {
        return w == "pard" || w == "ql" || w == "qj" || w == "qd" || w == "qr" || w == "qc" || w == "li" ||
               w == "fi" || w == "ri";
    }

    void ParagraphWord(const std::string& w, long long param) {
        if (w == "pard") {
            FState.Para = TParaFormat();
        } else if (w == "ql" || w == "qj" || w == "qd") {
            FState.Para.Alignment = taLeftJustify;
        } else if (w == "qr") {
            FState.Para.Alignment = taRightJustify;
        } else if (w == "qc") {
            FState.Para.Alignment = taCenter;
        } else if (w == "li") {
            FState.Para.LeftIndent = Clamp(param / 20, -10000, 10000);
        } else if (w == "fi") {
            FState.Para.FirstIndent = Clamp(param / 20, -10000, 10000);
        } else if (w == "ri") {
            FState.Para.RightIndent = Clamp(param / 20, -10000, 10000);
        }
    }

    void SetStyle(TFontStyle bit, bool on) {
        FState.Style = on ? (FState.Style | bit) : (FState.Style & ~bit);
    }

    void EndGroupDestination() {
        // A font entry may end with its group instead of a semicolon.
        if (FState.Skip == dFontTable && !FTableName.empty())
            CommitFont();
    }

    void CommitFont() {
        std::string name = Trim(FTableName);
        if (!name.empty())
            FFonts[FTableFont] = {
                name, static_cast<uint8_t>(FTableCharset == 2 ? SYMBOL_CHARSET : DEFAULT_CHARSET)};
        FTableName.clear();
    }

    void UnicodeUnit(char32_t u) {
        if (u >= 0xD800 && u <= 0xDBFF) {
            FHighSurrogate = u;
            return;
        }
        if (u >= 0xDC00 && u <= 0xDFFF) {
            if (FHighSurrogate)
                Emit(0x10000 + ((FHighSurrogate - 0xD800) << 10) + (u - 0xDC00));
            FHighSurrogate = 0;
            return;
        }
        FHighSurrogate = 0;
        Emit(u);
    }

    void Char(char32_t c) {
        if (FSkipChars > 0) {
            --FSkipChars;
            return;
        }
        Emit(c);
    }

    // A character of the current destination.
    void Emit(char32_t c) {
        FState.GroupStart = false;
        switch (FState.Skip) {
        case dSkip:
            return;
        case dFontTable:
            if (c == ';')
                CommitFont();
            else
                AppendUtf8(FTableName, c);
            return;
        case dColorTable:
            if (c == ';') {
                FColors.push_back(FColorHas ? static_cast<TColor>(FRed | (FGreen << 8) | (FBlue << 16))
                                            : clWindowText);
                FColorHas = false;
                FRed = FGreen = FBlue = 0;
            }
            return;
        case dText:
            Text(c);
            return;
        }
    }

    TCharFormat Resolve() const {
        TCharFormat f = FDefaults;
        int font = FState.Font >= 0 ? FState.Font : FDefaultFont;
        auto it = FFonts.find(font);
        if (it != FFonts.end()) {
            f.Name = it->second.first;
            f.Charset = it->second.second;
        }
        f.HalfPoints = FState.HalfPoints;
        f.Color = FState.Color < static_cast<int>(FColors.size()) ? FColors[FState.Color] : clWindowText;
        f.Style = FState.Style;
        return f;
    }

    void Text(char32_t c) {
        if (FState.Skip != dText)
            return;
        TCharFormat f = Resolve();
        if (!FPending.empty() && !(f == FPendingFormat))
            Flush();
        FPendingFormat = f;
        FPending.push_back(c);
        FTextPara = FState.Para;
    }

    void Break() {
        if (FState.Skip != dText)
            return;
        Text(RichParagraphBreak);
        // The paragraph the break ends takes the paragraph properties in force.
        Flush();
        int para = FOut->ParagraphCount() - 2;
        if (para >= 0)
            FOut->SetParaFormat(para, FState.Para);
        FTextPara = FState.Para;
    }

    void Flush() {
        if (FPending.empty())
            return;
        FOut->Insert(FOut->Length(), FPending, FPendingFormat);
        FPending.clear();
    }

    std::string_view FIn;
    size_t FPos = 0;
    TCharFormat FDefaults;
    TRichDocument* FOut = nullptr;
    TState FState;
    std::vector<TState> FStack;
    size_t FTooDeep = 0; // open groups beyond kMaxGroupDepth
    int FSkipChars = 0;
    char32_t FHighSurrogate = 0;
    int FDefaultFont = 0;
    std::map<int, std::pair<std::string, uint8_t>> FFonts;
    int FTableFont = 0;
    int FTableCharset = 0;
    std::string FTableName;
    std::vector<TColor> FColors;
    bool FColorHas = false;
    int FRed = 0, FGreen = 0, FBlue = 0;
    std::u32string FPending;
    TCharFormat FPendingFormat;
    TParaFormat FTextPara;
};

} // namespace

std::string WriteRtf(const TRichDocument& Doc, int Pos, int Len) {
    Pos = std::clamp(Pos, 0, Doc.Length());
    if (Len < 0 || Len > Doc.Length() - Pos)
        Len = Doc.Length() - Pos;
    return TRtfWriter(Doc, Pos, Len).Write();
}

bool IsRtf(std::string_view Bytes) {
    size_t start = Bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && Bytes.substr(start, 5) == "{\\rtf";
}

void ReadRtf(std::string_view Rtf, TRichDocument& Doc) {
    TRichDocument read;
    TRtfReader(Rtf, Doc.DefaultFormat()).Read(read);
    Doc.Clear();
    Doc.Insert(0, read);
}

} // namespace plat
