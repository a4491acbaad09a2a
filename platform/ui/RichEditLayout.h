// Lays a rich document out in lines for one device: the screen at 96 pixels per inch or a printer
// page. Paragraphs are measured once and kept until they change, so appending to a long document
// measures only what was appended. Also draws laid-out lines.
#pragma once

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/ui/RichEditDocument.h"

namespace plat {

// One laid-out line, in document positions and layout pixels.
struct TRichLine {
    int Para = 0;
    int Start = 0; // first character
    int End = 0;   // after the last character on the line (wrapped blanks included, a break not)
    int Next = 0;  // first character of the next line
    int Top = 0;   // from the top of the document
    int Height = 0;
    int Baseline = 0; // from Top
    int Left = 0;     // x of the first character: indents and alignment applied
    int Width = 0;    // without trailing blanks
    bool LastOfPara = false;
    const std::vector<int>* Offsets = nullptr; // Offsets[k]: x of character Start + k from Left

    // x of a position on the line (clamped to it).
    int XOf(int Pos) const;
    // The line ends with a paragraph break (at End).
    bool HasBreak() const { return Next > End; }
};

class TRichLayout {
public:
    TRichLayout(const TRichDocument& Doc, int PixelsPerInch);
    ~TRichLayout();
    TRichLayout(const TRichLayout&) = delete;
    TRichLayout& operator=(const TRichLayout&) = delete;

    int PixelsPerInch() const { return FPpi; }
    // The width lines are laid out to; without Wrap paragraphs stay one line each.
    void SetWidth(int Width, bool Wrap);
    int Width() const { return FWidth; }
    // Passes on the document's change notifications.
    void ParagraphsChanged(int First, int OldCount, int NewCount);
    void InvalidateAll();
    bool Valid() const { return FFirstDirty == kClean; }

    // Measures what changed; the canvas is used for its fonts and left with one of them selected.
    void Update(TCanvas& Measure);

    int LineCount() const { return static_cast<int>(FIndex.size()); }
    TRichLine Line(int Index) const;
    int Height() const { return FHeight; }
    // The widest line, indents included.
    int ContentWidth() const { return FContentWidth; }
    int LineOfPos(int Pos) const;
    // The line at a y (the first or the last one beyond the document).
    int LineAtY(int Y) const;
    // The position nearest to x on a line.
    int PosAt(int LineIndex, int X) const;
    // Width shown for a selected paragraph break.
    int BreakWidth() const { return std::max(1, FPpi / 24); }

    // Puts a character format into a canvas's font at this layout's resolution.
    static void SelectFont(TCanvas& Canvas, const TCharFormat& Format, int PixelsPerInch);

    struct TDrawColors {
        TColor SelectionBack = clHighlight;
        TColor SelectionText = clHighlightText;
        TColor Disabled = clNone; // when set, every character is drawn in this colour
    };
    // Draws a line with its top-left corner of the text area at (OriginX, OriginY) (document y 0 at
    // OriginY); [SelStart, SelEnd) is shown selected.
    void DrawLine(TCanvas& Canvas, int LineIndex, int OriginX, int OriginY, int SelStart, int SelEnd,
                  const TDrawColors& Colors);

private:
    struct TParaLine {
        int Start = 0, End = 0, Next = 0; // from the paragraph's start
        int Top = 0, Height = 0, Baseline = 0, Left = 0, Width = 0;
        std::vector<int> Offsets;
    };
    struct TParaLayout {
        bool Valid = false;
        std::vector<TParaLine> Lines;
        int Height = 0;
    };
    struct TFontMetrics {
        TCharFormat Format;
        int Ascent = 0, Descent = 0;
    };
    const TFontMetrics& Metrics(TCanvas& Canvas, const TCharFormat& Format);
    void LayoutParagraph(int Para, TCanvas& Canvas);
    int Px(int Points) const { return Points * FPpi / 72; }

    const TRichDocument& FDoc;
    int FPpi;
    int FWidth = 1;
    bool FWrap = true;
    // The first paragraph from which the lines, tops and widths are to be worked out again.
    static constexpr int kClean = INT_MAX;
    int FFirstDirty = 0;
    std::vector<TParaLayout> FParas;
    std::vector<std::pair<int, int>> FIndex; // (paragraph, line) of every line
    std::vector<int> FParaTop;
    std::vector<int> FParaFirstLine;
    std::vector<int> FWidestUpTo; // the widest line of the paragraphs up to each one
    std::vector<TFontMetrics> FMetrics;
    int FHeight = 0;
    int FContentWidth = 0;
};

} // namespace plat
