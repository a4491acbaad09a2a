#include "platform/ui/RichEditLayout.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/FontManager.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {
bool IsBlank(char32_t c) {
    return c == ' ' || c == '\t' || c == 0x3000;
}
} // namespace

int TRichLine::XOf(int Pos) const {
    int k = std::clamp(Pos - Start, 0, static_cast<int>(Offsets->size()) - 1);
    return Left + (*Offsets)[k];
}

TRichLayout::TRichLayout(const TRichDocument& Doc, int PixelsPerInch)
    : FDoc(Doc), FPpi(PixelsPerInch > 0 ? PixelsPerInch : 96) {
    FParas.resize(Doc.ParagraphCount());
}

TRichLayout::~TRichLayout() = default;

void TRichLayout::SetWidth(int Width, bool Wrap) {
    Width = std::max(1, Width);
    if (Width == FWidth && Wrap == FWrap)
        return;
    FWidth = Width;
    FWrap = Wrap;
    InvalidateAll();
}

void TRichLayout::InvalidateAll() {
    FParas.assign(FDoc.ParagraphCount(), TParaLayout());
    FMetrics.clear();
    FFirstDirty = 0;
}

void TRichLayout::ParagraphsChanged(int First, int OldCount, int NewCount) {
    First = std::clamp(First, 0, static_cast<int>(FParas.size()));
    OldCount = std::clamp(OldCount, 0, static_cast<int>(FParas.size()) - First);
    FParas.erase(FParas.begin() + First, FParas.begin() + First + OldCount);
    FParas.insert(FParas.begin() + First, NewCount, TParaLayout());
    // Neighbours can change too: the height of an empty last paragraph follows the text before it.
    if (First > 0)
        FParas[First - 1].Valid = false;
    if (First + NewCount < static_cast<int>(FParas.size()))
        FParas[First + NewCount].Valid = false;
    FFirstDirty = std::min(FFirstDirty, std::max(0, First - 1));
}

void TRichLayout::SelectFont(TCanvas& Canvas, const TCharFormat& Format, int PixelsPerInch) {
    TFont* font = Canvas.Font();
    font->SetName(Format.Name);
    font->SetHeight(-std::max(1, static_cast<int>(std::lround(Format.HalfPoints * PixelsPerInch / 144.0))));
    font->SetStyle(Format.Style);
    font->SetColor(Format.Color);
    font->SetCharset(Format.Charset);
}

const TRichLayout::TFontMetrics& TRichLayout::Metrics(TCanvas& Canvas, const TCharFormat& Format) {
    for (const TFontMetrics& m : FMetrics)
        if (m.Format == Format)
            return m;
    SelectFont(Canvas, Format, FPpi);
    TTextMetric tm;
    Canvas.Handle()->GetTextMetrics(tm);
    FMetrics.push_back({Format, tm.tmAscent, tm.tmDescent});
    return FMetrics.back();
}

void TRichLayout::LayoutParagraph(int Para, TCanvas& Canvas) {
    TParaLayout& out = FParas[Para];
    out = TParaLayout();
    out.Valid = true;
    int s = FDoc.ParagraphStart(Para), e = FDoc.ParagraphEnd(Para);
    int n = e - s;
    bool hasBreak = e < FDoc.Length();
    const std::u32string& chars = FDoc.Chars();
    const TParaFormat& pf = FDoc.ParaFormat(Para);

    // Advance of every character, measured a run of one format at a time.
    std::vector<int> advance(n, 0);
    std::vector<TShapedGlyph> glyphs;
    for (int i = 0; i < n;) {
        int j = i + 1;
        while (j < n && FDoc.FormatIdAt(s + j) == FDoc.FormatIdAt(s + i))
            ++j;
        SelectFont(Canvas, FDoc.FormatAt(s + i), FPpi);
        std::string utf8;
        std::vector<int> byteToChar;
        for (int k = i; k < j; ++k) {
            size_t before = utf8.size();
            AppendUtf8(utf8, chars[s + k] == '\t' ? U' ' : chars[s + k]);
            byteToChar.resize(utf8.size(), -1);
            byteToChar[before] = k;
        }
        glyphs.clear();
        Canvas.Handle()->RealizedFont()->Shape(utf8, glyphs);
        for (const TShapedGlyph& g : glyphs) {
            int c = g.Cluster >= 0 && g.Cluster < static_cast<int>(byteToChar.size()) ? byteToChar[g.Cluster]
                                                                                      : -1;
            for (int b = g.Cluster; c < 0 && b > 0; --b)
                c = byteToChar[b - 1];
            if (c >= 0)
                advance[c] += g.Advance;
        }
        i = j;
    }

    int tabStop = std::max(1, FPpi / 2);
    int right = Px(pf.RightIndent);
    int top = 0;
    int lineStart = 0;
    while (true) {
        bool first = lineStart == 0;
        int indent = Px(pf.LeftIndent + (first ? pf.FirstIndent : 0));
        int avail = std::max(1, FWidth - indent - right);
        TParaLine line;
        line.Start = lineStart;
        line.Offsets.push_back(0);
        int x = 0;
        int i = lineStart;
        int blankEnd = -1; // a wrap may fall after a run of blanks
        int wrapAt = -1;
        while (i < n) {
            char32_t c = chars[s + i];
            int w = c == '\t' ? tabStop - ((indent + x) % tabStop) : advance[i];
            if (FWrap && i > lineStart && !IsBlank(c) && x + w > avail) {
                wrapAt = blankEnd > lineStart ? blankEnd : i;
                break;
            }
            x += w;
            line.Offsets.push_back(x);
            ++i;
            if (IsBlank(c))
                blankEnd = i;
        }
        if (wrapAt >= 0) {
            line.Offsets.resize(wrapAt - lineStart + 1);
            line.End = line.Next = wrapAt;
        } else {
            line.End = n;
            line.Next = hasBreak ? n + 1 : n;
            line.Offsets.push_back(line.Offsets.back() + BreakWidth());
        }
        int visibleEnd = line.End;
        while (visibleEnd > line.Start && IsBlank(chars[s + visibleEnd - 1]))
            --visibleEnd;
        line.Width = line.Offsets[visibleEnd - line.Start];
        int ascent = 0, descent = 0;
        for (int k = line.Start; k < line.End;) {
            int j = k + 1;
            while (j < line.End && FDoc.FormatIdAt(s + j) == FDoc.FormatIdAt(s + k))
                ++j;
            const TFontMetrics& m = Metrics(Canvas, FDoc.FormatAt(s + k));
            ascent = std::max(ascent, m.Ascent);
            descent = std::max(descent, m.Descent);
            k = j;
        }
        if (line.End == line.Start) {
            // An empty line is as high as its break, or as the text typed there.
            const TFontMetrics& m =
                Metrics(Canvas, hasBreak ? FDoc.FormatAt(e) : FDoc.FormatForInsertAt(FDoc.Length()));
            ascent = m.Ascent;
            descent = m.Descent;
        }
        line.Top = top;
        line.Height = std::max(1, ascent + descent);
        line.Baseline = ascent;
        int slack = avail - line.Width;
        line.Left = indent;
        if (slack > 0 && pf.Alignment == taRightJustify)
            line.Left += slack;
        else if (slack > 0 && pf.Alignment == taCenter)
            line.Left += slack / 2;
        top += line.Height;
        int next = line.Next;
        out.Lines.push_back(std::move(line));
        if (wrapAt < 0)
            break;
        lineStart = next;
    }
    out.Height = top;
}

void TRichLayout::Update(TCanvas& Measure) {
    int count = FDoc.ParagraphCount();
    if (static_cast<int>(FParas.size()) != count) {
        FParas.assign(count, TParaLayout());
        FFirstDirty = 0;
    }
    if (FFirstDirty >= count && static_cast<int>(FParaTop.size()) == count)
        return;
    // What lies before the first change stays as it is: appending costs only what was appended.
    int from = std::min({FFirstDirty, count, static_cast<int>(FParaTop.size())});
    FParaTop.resize(count);
    FParaFirstLine.resize(count);
    FWidestUpTo.resize(count);
    if (from == 0)
        FIndex.clear();
    else
        FIndex.resize(FParaFirstLine[from - 1] + FParas[from - 1].Lines.size());
    int top = from > 0 ? FParaTop[from - 1] + FParas[from - 1].Height : 0;
    int widest = from > 0 ? FWidestUpTo[from - 1] : 0;
    for (int p = from; p < count; ++p) {
        if (!FParas[p].Valid)
            LayoutParagraph(p, Measure);
        FParaTop[p] = top;
        FParaFirstLine[p] = static_cast<int>(FIndex.size());
        const TParaLayout& pl = FParas[p];
        int right = Px(FDoc.ParaFormat(p).RightIndent);
        for (int l = 0; l < static_cast<int>(pl.Lines.size()); ++l) {
            FIndex.emplace_back(p, l);
            widest = std::max(widest, pl.Lines[l].Left + pl.Lines[l].Width + right);
        }
        FWidestUpTo[p] = widest;
        top += pl.Height;
    }
    FHeight = top;
    FContentWidth = widest;
    FFirstDirty = kClean;
}

TRichLine TRichLayout::Line(int Index) const {
    Index = std::clamp(Index, 0, LineCount() - 1);
    auto [p, l] = FIndex[Index];
    const TParaLine& pl = FParas[p].Lines[l];
    int base = FDoc.ParagraphStart(p);
    TRichLine r;
    r.Para = p;
    r.Start = base + pl.Start;
    r.End = base + pl.End;
    r.Next = base + pl.Next;
    r.Top = FParaTop[p] + pl.Top;
    r.Height = pl.Height;
    r.Baseline = pl.Baseline;
    r.Left = pl.Left;
    r.Width = pl.Width;
    r.Offsets = &pl.Offsets;
    r.LastOfPara = l + 1 == static_cast<int>(FParas[p].Lines.size());
    return r;
}

int TRichLayout::LineOfPos(int Pos) const {
    int p = FDoc.ParagraphOf(Pos);
    int rel = Pos - FDoc.ParagraphStart(p);
    const auto& lines = FParas[p].Lines;
    int l = 0;
    while (l + 1 < static_cast<int>(lines.size()) && lines[l + 1].Start <= rel)
        ++l;
    return FParaFirstLine[p] + l;
}

int TRichLayout::LineAtY(int Y) const {
    if (FIndex.empty())
        return 0;
    auto it = std::upper_bound(FParaTop.begin(), FParaTop.end(), Y);
    int p = std::max(0, static_cast<int>(it - FParaTop.begin()) - 1);
    const auto& lines = FParas[p].Lines;
    int l = 0;
    while (l + 1 < static_cast<int>(lines.size()) && FParaTop[p] + lines[l + 1].Top <= Y)
        ++l;
    return FParaFirstLine[p] + l;
}

int TRichLayout::PosAt(int LineIndex, int X) const {
    TRichLine line = Line(LineIndex);
    // A wrapped line's own positions stop before the wrap, which is where the next line starts.
    int last = line.LastOfPara ? line.End : std::max(line.Start, line.Next - 1);
    int best = line.Start;
    for (int pos = line.Start + 1; pos <= last; ++pos) {
        int mid = (line.XOf(pos - 1) + line.XOf(pos) + 1) / 2;
        if (X < mid)
            break;
        best = pos;
    }
    return best;
}

void TRichLayout::DrawLine(TCanvas& Canvas, int LineIndex, int OriginX, int OriginY, int SelStart, int SelEnd,
                           const TDrawColors& Colors) {
    TRichLine line = Line(LineIndex);
    int y = OriginY + line.Top;
    const std::u32string& chars = FDoc.Chars();
    int a = std::max(SelStart, line.Start);
    int b = std::min(SelEnd, line.End);
    bool breakSelected = line.HasBreak() && SelStart <= line.End && SelEnd > line.End;
    if (a < b || breakSelected) {
        int x1 = OriginX + line.XOf(a);
        int x2 = OriginX + (breakSelected ? line.XOf(line.End) + BreakWidth() : line.XOf(b));
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(Colors.SelectionBack);
        Canvas.FillRect(TRect(x1, y, x2, y + line.Height));
    }
    Canvas.Brush()->SetStyle(bsClear);
    for (int k = line.Start; k < line.End;) {
        bool selected = k >= SelStart && k < SelEnd;
        int j = k + 1;
        while (j < line.End && FDoc.FormatIdAt(j) == FDoc.FormatIdAt(k) &&
               (j >= SelStart && j < SelEnd) == selected && chars[j] != '\t' && chars[k] != '\t')
            ++j;
        if (chars[k] != '\t') {
            const TCharFormat& f = FDoc.FormatAt(k);
            TColor color = selected                    ? Colors.SelectionText
                           : Colors.Disabled != clNone ? Colors.Disabled
                                                       : f.Color;
            int ascent = Metrics(Canvas, f).Ascent;
            SelectFont(Canvas, f, FPpi);
            Canvas.Font()->SetColor(color);
            std::string text = Utf8Encode(std::u32string_view(chars).substr(k, j - k));
            Canvas.TextOut(OriginX + line.XOf(k), y + line.Baseline - ascent, text);
        }
        k = j;
    }
    Canvas.Brush()->SetStyle(bsSolid);
}

} // namespace plat
