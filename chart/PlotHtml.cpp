// Layout of the chart text markup: tokens, tags, entities, fonts and pictures.
#include "chart/PlotHtml.h"

#include <algorithm>

#include "chart/PlotCanvas.h"
#include "platform/rtl/StringUtils.h"

namespace chart {

using namespace plat;

TMarkupGraphicHook MarkupGraphicForExtension;
TMarkupLoadPictureHook MarkupLoadPictureData;

std::unique_ptr<TGraphic> GraphicForFormatExtension(const std::string& Extension,
                                                    const std::vector<TMarkupPictureFormatClass>* Formats) {
    if (!Formats)
        return nullptr;
    const std::string wanted = UpperCase(Extension);
    for (const TMarkupPictureFormatClass& create : *Formats) {
        std::unique_ptr<IMarkupPictureFormat> format = create ? create() : nullptr;
        if (!format)
            continue;
        if ("." + UpperCase(format->FileExtension()) == wanted)
            return format->NewGraphic();
    }
    return nullptr;
}

TColor MarkupColor(const std::string& Value) {
    const std::string v = UpperCase(Trim(Value));
    static const struct {
        const char* Name;
        TColor Color;
    } names[] = {{"BLACK", 0},        {"RED", 0x0000FF},   {"BLUE", 0xFF0000}, {"YELLOW", 0x00FFFF},
                 {"WHITE", 0xFFFFFF}, {"GREEN", 0x008000}, {"LIME", 0x00FF00}};
    for (const auto& n : names)
        if (v == n.Name)
            return n.Color;
    if (!v.empty() && v[0] == '#') {
        if (v.size() != 7)
            throw EConvertError("'" + Value + "' is not a valid color value");
        const int red = StrToInt("$" + v.substr(1, 2));
        const int green = StrToInt("$" + v.substr(3, 2));
        const int blue = StrToInt("$" + v.substr(5, 2));
        return red + green * 256 + blue * 65536;
    }
    TColor c = 0;
    if (IdentToColor(v.c_str(), c))
        return c;
    return StrToInt(v);
}

namespace {

struct TAttribute {
    std::string Name;
    std::string Value;
};

// name=value pairs, one per "="; a value runs to the last blank before the next name, so it may
// hold blanks itself.
std::vector<TAttribute> SplitAttributes(const std::string& Text, bool Unquote) {
    std::vector<size_t> eq;
    for (size_t i = 0; i < Text.size(); ++i)
        if (Text[i] == '=')
            eq.push_back(i);
    std::vector<TAttribute> out;
    size_t nameStart = 0;
    for (size_t k = 0; k < eq.size(); ++k) {
        TAttribute a;
        a.Name = Trim(std::string_view(Text).substr(nameStart, eq[k] - nameStart));
        const size_t valueStart = eq[k] + 1;
        size_t valueEnd = Text.size();
        if (k + 1 < eq.size()) {
            const size_t blank = Text.find_last_of(' ', eq[k + 1]);
            valueEnd = blank != std::string::npos && blank >= valueStart ? blank : valueStart;
            nameStart = valueEnd;
        }
        a.Value = Trim(std::string_view(Text).substr(valueStart, valueEnd - valueStart));
        if (Unquote && a.Value.size() >= 2 && a.Value.front() == '"' && a.Value.back() == '"')
            a.Value = a.Value.substr(1, a.Value.size() - 2);
        out.push_back(std::move(a));
    }
    return out;
}

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
    size_t pos = 0;
    while ((pos = s.find(from, pos)) != std::string::npos) {
        s.replace(pos, from.size(), to);
        pos += to.size();
    }
    return s;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

const std::string kCrLf = "\r\n";

// The state of one layout call. The font and style stacks belong to the call, so an unbalanced text
// cannot leave saved fonts behind for the next one.
class TMarkupLayout {
public:
    TMarkupLayout(TPlotCanvas& Canvas, int X, int Y, bool Draw)
        : FCanvas(Canvas), FX(X), FY(Y), FTop(Y), FLeft(X), FDraw(Draw) {
        FLineHeight = Canvas.FontHeight();
    }

    TSize Run(std::string Text) {
        while (!Text.empty()) {
            std::string token = NextToken(Text);
            if (!token.empty())
                Handle(token);
        }
        return FSize;
    }

private:
    static std::string NextToken(std::string& Text) {
        const size_t lt = Text.find('<');
        std::string token;
        if (lt == std::string::npos) {
            token.swap(Text);
        } else if (lt == 0) {
            const size_t gt = Text.find('>', 1);
            if (gt == std::string::npos)
                throw HtmlParserException("Missing > at " + Text.substr(1));
            token = Text.substr(0, gt + 1);
            Text.erase(0, gt + 1);
        } else {
            token = Text.substr(0, lt);
            Text.erase(0, lt);
        }
        return token;
    }

    TFont& Font() { return *FCanvas.Font(); }

    void LineBreak() {
        FX = FLeft;
        FLineHeight = 0;
        FY += FCanvas.FontHeight();
    }

    void Handle(std::string Token) {
        FFontPushed = false;
        if (StartsWith(Token, "\r\n")) {
            FY += FCanvas.FontHeight();
            FX = FLeft;
            FLineHeight = 0;
            Token.erase(0, 2);
            if (Token.empty())
                return;
        }
        const std::string tag = UpperCase(Token);
        if (tag == "<BR>" || tag == "<P>") {
            LineBreak();
        } else if (tag == "<BIG>" || tag == "<SMALL>") {
            PushFont();
            Font().SetSize(Font().Size() + (tag == "<BIG>" ? 2 : -2));
        } else if (tag == "</BIG>" || tag == "</SMALL>" ||
                   (tag.size() == 5 && StartsWith(tag, "</H") && tag[3] >= '1' && tag[3] <= '6' &&
                    tag[4] == '>')) {
            // Closing a size tag brings back the font it saved.
            PopFont();
        } else if (tag == "<SUB>") {
            FScriptTops.push_back(FY);
            PushFont();
            Font().SetSize(Font().Size() / 2);
            FY += FCanvas.FontHeight();
        } else if (tag == "</SUB>") {
            PopFont();
            FY -= FCanvas.FontHeight();
            EndScript();
        } else if (tag == "<SUPER>") {
            FScriptTops.push_back(FY);
            PushFont();
            Font().SetSize(Font().Size() / 2);
            FY -= FCanvas.FontHeight() / 2;
        } else if (tag == "</SUPER>") {
            PopFont();
            FY += FCanvas.FontHeight() / 2;
            EndScript();
        } else if (tag.size() == 4 && StartsWith(tag, "<H") && tag[2] >= '1' && tag[2] <= '6' &&
                   tag[3] == '>') {
            static const int sizes[] = {48, 36, 24, 18, 12, 8};
            PushFont();
            Font().SetSize(sizes[tag[2] - '1']);
        } else if (tag == "<PRE>") {
            PushFont();
            ApplyFontTag("<FONT NAME=\"COURIER NEW\">");
        } else if (tag == "</PRE>") {
            PopFont();
        } else if (tag == "<CENTER>") {
            FCentered = true;
        } else if (tag == "</CENTER>") {
            FCentered = false;
        } else if (tag == "<B>" || tag == "<BOLD>" || tag == "<STRONG>") {
            AddStyle(fsBold, Token);
        } else if (tag == "<I>") {
            AddStyle(fsItalic, Token);
        } else if (tag == "<U>") {
            AddStyle(fsUnderline, Token);
        } else if (tag == "<STRIKE>") {
            AddStyle(fsStrikeOut, Token);
        } else if (tag == "</B>" || tag == "</BOLD>" || tag == "</STRONG>") {
            Font().SetStyle(Font().Style() & ~fsBold);
        } else if (tag == "</I>") {
            Font().SetStyle(Font().Style() & ~fsItalic);
        } else if (tag == "</U>") {
            Font().SetStyle(Font().Style() & ~fsUnderline);
        } else if (tag == "</STRIKE>") {
            Font().SetStyle(Font().Style() & ~fsStrikeOut);
        } else if (StartsWith(tag, "<IMG ")) {
            Picture(Token);
        } else if (StartsWith(tag, "</FONT")) {
            PopFont();
        } else if (StartsWith(tag, "<FONT ")) {
            PushFont();
            ApplyFontTag(Token);
        } else if (tag == "</>") {
            if (FPreviousPushed) {
                PopFont();
            } else {
                std::string last;
                if (!FStyleTags.empty()) {
                    last = FStyleTags.back();
                    FStyleTags.pop_back();
                }
                if (!last.empty())
                    last.erase(0, 1);
                Handle("</" + last);
                return;
            }
        } else if (tag == "<HR>") {
            FX = FLeft;
            if (FDraw) {
                TPen* pen = FCanvas.Pen();
                pen->SetStyle(psSolid);
                pen->SetWidth(1);
                pen->SetColor(0x808080);
                FCanvas.Line(FX, FY, FX + 100, FY);
            }
            FY += FCanvas.FontHeight();
        } else {
            // A text run leaves the record alone, so "</>" after <FONT ...>text still closes the font.
            TextRun(Token);
            return;
        }
        FPreviousPushed = FFontPushed;
    }

    // The small runs of a script are moved down to the bottom of the line; the text after the script
    // goes back to where the line was, so it does not drift below it.
    void EndScript() {
        if (!FScriptTops.empty()) {
            FY = FScriptTops.back();
            FScriptTops.pop_back();
        }
    }

    void AddStyle(TFontStyle Style, const std::string& Token) {
        Font().SetStyle(Font().Style() | Style);
        FStyleTags.push_back(Token);
    }

    void PushFont() {
        const TFontStyles s = Font().Style();
        std::string words;
        auto add = [&](TFontStyle bit, const char* word) {
            if (s & bit)
                words += (words.empty() ? "" : ", ") + std::string(word);
        };
        add(fsBold, "BOLD");
        add(fsItalic, "ITALIC");
        add(fsUnderline, "UNDERLINE");
        add(fsStrikeOut, "STRIKE");
        if (words.empty())
            words = "NORMAL";
        FFonts.push_back("<FONT size=" + IntToStr(Font().Size()) + " name=" + Font().Name() +
                         " color=" + IntToStr(Font().Color()) + " weight=" + words + ">");
        FFontPushed = true;
    }

    void PopFont() {
        std::string saved;
        if (!FFonts.empty()) {
            saved = FFonts.back();
            FFonts.pop_back();
        }
        ApplyFontTag(saved);
    }

    void ApplyFontTag(const std::string& Tag) {
        if (Tag.size() <= 7)
            return;
        const std::string body = Tag.substr(6, Tag.size() - 7);
        for (const TAttribute& a : SplitAttributes(body, true)) {
            const std::string name = UpperCase(a.Name);
            if (name == "NAME" || name == "FAMILY") {
                Font().SetName(a.Value);
            } else if (name == "SIZE") {
                const int v = StrToInt(a.Value);
                const bool relative = !a.Value.empty() && (a.Value[0] == '+' || a.Value[0] == '-');
                Font().SetSize(relative ? Font().Size() + v : v);
            } else if (name == "COLOR") {
                Font().SetColor(MarkupColor(a.Value));
            } else if (name == "WEIGHT") {
                Font().SetStyle(Weight(a.Value));
            } else {
                throw Exception("Unknown field in FONT: " + a.Name);
            }
        }
    }

    static TFontStyles Weight(const std::string& Value) {
        TFontStyles style = 0;
        size_t start = 0;
        while (start <= Value.size()) {
            size_t comma = Value.find(',', start);
            if (comma == std::string::npos)
                comma = Value.size();
            const std::string word = UpperCase(Trim(std::string_view(Value).substr(start, comma - start)));
            if (word == "BOLD")
                style |= fsBold;
            else if (word == "ITALIC")
                style |= fsItalic;
            else if (word == "UNDERLINE")
                style |= fsUnderline;
            else if (word == "STRIKE")
                style |= fsStrikeOut;
            else if (word != "NORMAL")
                throw Exception("Unknown field in FONT WEIGHT=" + Value);
            start = comma + 1;
        }
        return style;
    }

    void TextRun(std::string Text) {
        Text = ReplaceAll(std::move(Text), "&lt;", "<");
        Text = ReplaceAll(std::move(Text), "&gt;", ">");
        Text = ReplaceAll(std::move(Text), "&amp;", "&");
        Text = ReplaceAll(std::move(Text), "&quot;", "\"");
        bool breakAfter = false;
        if (Text.size() >= 2 && Text.compare(Text.size() - 2, 2, kCrLf) == 0) {
            Text.erase(Text.size() - 2);
            breakAfter = true;
        }
        if (!Text.empty()) {
            const int w = FCanvas.TextWidth(Text), h = FCanvas.TextHeight(Text);
            if (FCentered) {
                const TRect& b = FCanvas.Bounds();
                FX = (b.Left + b.Right) / 2 - w / 2;
            }
            if (FLineHeight == 0) {
                FLineHeight = FCanvas.FontHeight();
                FY += FLineHeight;
            } else if (h < FLineHeight && FScriptTops.empty()) {
                // Smaller text sits on the bottom of the line; sub- and superscripts keep the height
                // their tags gave them.
                FY += FLineHeight - h - 1;
            }
            if (FDraw)
                FCanvas.TextOut(FX, FY, Text);
            FX += w;
            FSize.cx = std::max(FSize.cx, FX);
            FLineHeight = std::max(FLineHeight, h);
            // The height covers every line drawn, not only the tallest one.
            FSize.cy = std::max({FSize.cy, FLineHeight, FY + h - FTop});
        }
        if (breakAfter) {
            FLineHeight = 0;
            FX = FLeft;
        }
    }

    void Picture(const std::string& Token) {
        std::string body = Token.substr(5);
        if (StartsWith(body, "\r\n"))
            body.erase(0, 2);
        if (!body.empty() && body.back() == '>')
            body.pop_back();
        int width = 0, height = 0;
        std::string src;
        for (const TAttribute& a : SplitAttributes(body, false)) {
            const std::string name = UpperCase(a.Name);
            if (name == "WIDTH")
                width = StrToInt(a.Value);
            else if (name == "HEIGHT")
                height = StrToInt(a.Value);
            else if (name == "SRC")
                src = a.Value;
        }
        if (src.empty())
            return;
        if (!src.empty() && src.front() == '"')
            src.erase(0, 1);
        if (!src.empty() && src.back() == '"')
            src.pop_back();

        std::unique_ptr<TGraphic> graphic =
            MarkupGraphicForExtension ? MarkupGraphicForExtension(UpperCase(ExtractFileExt(src))) : nullptr;
        TMemoryStream stream;
        bool shown = false;
        if (graphic && MarkupLoadPictureData && !MarkupLoadPictureData(src, stream) && stream.Size() > 0) {
            try {
                stream.SetPosition(0);
                graphic->LoadFromStream(stream);
                const int w = width ? width : graphic->Width();
                const int h = height ? height : graphic->Height();
                if (FDraw) {
                    if (graphic->Width() == w && graphic->Height() == h)
                        FCanvas.DrawGraphic(FX, FY, graphic.get());
                    else
                        FCanvas.StretchDraw(TRect(FX, FY, FX + w, FY + h), graphic.get());
                }
                FX += w;
                FY += h;
                shown = true;
            } catch (const std::exception&) {
                shown = false;
            }
        }
        if (!shown && FDraw)
            Placeholder(width ? width : 40, height ? height : 40);
    }

    void Placeholder(int w, int h) {
        TPen* pen = FCanvas.Pen();
        pen->SetStyle(psSolid);
        pen->SetColor(0x0000FF);
        pen->SetWidth(1);
        FCanvas.Brush()->SetStyle(bsSolid);
        FCanvas.Brush()->SetColor(clWhite);
        FCanvas.Rectangle(FX, FY, FX + w, FY + h);
        FCanvas.Line(FX, FY, FX + w - 1, FY + h - 1);
        FCanvas.Line(FX, FY + h - 1, FX + w - 1, FY);
    }

    TPlotCanvas& FCanvas;
    int FX, FY, FTop, FLeft;
    int FLineHeight = 0;
    bool FCentered = false;
    bool FFontPushed = false;
    bool FPreviousPushed = false;
    bool FDraw;
    TSize FSize;
    std::vector<std::string> FStyleTags;
    std::vector<std::string> FFonts;
    std::vector<int> FScriptTops;
};

} // namespace

TSize LayoutChartMarkup(TPlotCanvas& Canvas, int X, int Y, bool Draw, const std::string& Text) {
    TMarkupLayout layout(Canvas, X, Y, Draw);
    return layout.Run(Text);
}

void DrawChartMarkup(TPlotCanvas& Canvas, int X, int Y, const std::string& Text) {
    LayoutChartMarkup(Canvas, X, Y, true, Text);
}

TSize MeasureChartMarkup(TPlotCanvas& Canvas, const std::string& Text) {
    return LayoutChartMarkup(Canvas, 0, 0, false, Text);
}

} // namespace chart
