#include "ui/markup/MarkupText.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <exception>
#include <utility>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/PixelImage.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/SystemIcons.h"
#include "ui/markup/PictureContainer.h"

namespace ui {

using namespace plat;

namespace {

constexpr size_t npos = std::string_view::npos;

// Single bottom-aligned lines: each run is laid out on its own and the runs of a line share a baseline.
constexpr uint32_t kTextFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING;
constexpr int kListIndent = 12;
constexpr int kGradientSteps = 64;
constexpr size_t kWholeSegmentBytes = 256;

struct TNamedColor {
    std::string_view Name;
    TColor Color;
};

constexpr TNamedColor kColorNames[] = {
    {"clred", clRed},
    {"clblack", clBlack},
    {"clblue", clBlue},
    {"clgreen", clGreen},
    {"claqua", clAqua},
    {"clyellow", clYellow},
    {"clfuchsia", clFuchsia},
    {"clwhite", clWhite},
    {"cllime", clLime},
    {"clsilver", clSilver},
    {"clgray", clGray},
    {"clolive", clOlive},
    {"clnavy", clNavy},
    {"clpurple", clPurple},
    {"clteal", clTeal},
    {"clmaroon", clMaroon},
    {"clbackground", SystemColor(1)},
    {"clactivecaption", SystemColor(2)},
    {"clinactivecaption", SystemColor(3)},
    {"clmenu", SystemColor(4)},
    {"clwindow", SystemColor(5)},
    {"clwindowframe", SystemColor(6)},
    {"clmenutext", SystemColor(7)},
    {"clwindowtext", SystemColor(8)},
    {"clcaptiontext", SystemColor(9)},
    {"clactiveborder", SystemColor(10)},
    {"clinactiveborder", SystemColor(11)},
    {"clappworkspace", SystemColor(12)},
    {"clhighlight", SystemColor(13)},
    {"clhighlighttext", SystemColor(14)},
    {"clbtnface", SystemColor(15)},
    {"clbtnshadow", SystemColor(16)},
    {"clgraytext", SystemColor(17)},
    {"clbtntext", SystemColor(18)},
    {"clinactivecaptiontext", SystemColor(19)},
    {"clbtnhighlight", SystemColor(20)},
    {"cl3ddkshadow", SystemColor(21)},
    {"cl3dlight", SystemColor(22)},
    {"clinfotext", SystemColor(23)},
    {"clinfobk", SystemColor(24)},
};

// Entities replaced in the whole text before layout (letters in any case). "&amp;" stays a doubled
// ampersand so that prefix processing shows one.
constexpr std::pair<std::string_view, std::string_view> kTextEntities[] = {
    {"&amp;", "&&"},        {"&quot;", "\""},      {"&sect;", "\u00A7"},
    {"&permil;", "\u2030"}, {"&reg;", "\u00AE"},   {"&copy;", "\u00A9"},
    {"&para;", "\u00B6"},   {"&trade;", "\u2122"}, {"&euro;", "\u20AC"},
};

// "&nbsp;", "&lt;" and "&gt;" inside one run, after the tags were split off (lower case only).
std::string RunText(std::string_view raw) {
    if (raw.find('&') == npos)
        return std::string(raw);
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size();) {
        if (raw.compare(i, 6, "&nbsp;") == 0) {
            out += ' ';
            i += 6;
        } else if (raw.compare(i, 4, "&lt;") == 0) {
            out += '<';
            i += 4;
        } else if (raw.compare(i, 4, "&gt;") == 0) {
            out += '>';
            i += 4;
        } else {
            out += raw[i++];
        }
    }
    return out;
}

// An integer as the markup reads numbers: blanks skipped, a sign, "$", "x" or "0x" for hexadecimal,
// and the value read so far at the first character that does not belong.
int ValInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            d = (c | 0x20) - 'a' + 10;
        if (d < 0)
            break;
        value = std::min<int64_t>(value * base + d, INT_MAX);
    }
    return static_cast<int>(negative ? -value : value);
}

bool IsPlainInteger(std::string_view s) {
    size_t i = !s.empty() && (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i >= s.size() || s.size() - i > 9)
        return false;
    return std::all_of(s.begin() + i, s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The text between the first two double quotes from `from` on; empty when there are not two.
std::string_view QuotedFrom(std::string_view tag, size_t from) {
    size_t open = tag.find('"', from);
    if (open == npos)
        return {};
    size_t close = tag.find('"', open + 1);
    if (close == npos)
        return {};
    return tag.substr(open + 1, close - open - 1);
}

// An attribute of a tag: where its name stands in the upper-cased tag, and its double-quoted value
// (from the tag as written, so that sources and link targets keep their case).
struct TAttr {
    bool Found = false;
    std::string_view Value;
};

TAttr Attr(std::string_view upper, std::string_view tag, std::string_view name) {
    size_t at = upper.find(name);
    if (at == npos)
        return {};
    return {true, QuotedFrom(tag, at + name.size())};
}

int HexDigit(char c) {
    const int u = static_cast<unsigned char>(c);
    return u < 65 ? u - 48 : u - 55;
}

int HexByte(std::string_view value, size_t at) {
    if (at + 2 > value.size())
        return 0;
    return (16 * HexDigit(value[at]) + HexDigit(value[at + 1])) & 0xFF;
}

// Stretches or places a decoded image into r, blended by its alpha.
void DrawImage(TCanvas& canvas, const TRect& r, const TPixelImage& image) {
    if (!image.Empty())
        DrawPixelImage(canvas, r, image, image.HasAlpha());
}

void FrameSolid(TDeviceContext& dc, const TRect& r, TColor color) {
    dc.FillSolidRect(TRect(r.Left, r.Top, r.Right, r.Top + 1), color);
    dc.FillSolidRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), color);
    dc.FillSolidRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom), color);
    dc.FillSolidRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom), color);
}

// Bands of colour from `from` to `to` across r; the colour of the last band.
TColor DrawGradient(TDeviceContext& dc, TColor from, TColor to, TColor frame, int steps, const TRect& r,
                    bool horizontal) {
    steps = std::max(steps, 1);
    const TColor a = ColorToRGB(from), b = ColorToRGB(to);
    const double dr = (GetRValue(b) - GetRValue(a)) / double(steps);
    const double dg = (GetGValue(b) - GetGValue(a)) / double(steps);
    const double db = (GetBValue(b) - GetBValue(a)) / double(steps);
    const double band = (horizontal ? r.Width() : r.Height()) / double(steps);
    TColor last = a;
    for (int i = 0; i < steps; ++i) {
        last = RGB(int(Round(GetRValue(a) + i * dr)), int(Round(GetGValue(a) + i * dg)),
                   int(Round(GetBValue(a) + i * db)));
        const int start = int(Round(i * band));
        const int end = start + int(band) + 1;
        if (horizontal)
            dc.FillSolidRect(TRect(r.Left + start, r.Top, std::min(r.Left + end, r.Right), r.Bottom), last);
        else
            dc.FillSolidRect(TRect(r.Left, r.Top + start, r.Right, std::min(r.Top + end, r.Bottom)), last);
    }
    if (frame != clNone)
        FrameSolid(dc, r, ColorToRGB(frame));
    return last;
}

// A picture a source names, as far as layout and painting need it.
struct TPictureRef {
    enum TKind { pkNone, pkImageList, pkImage, pkPicture } Kind = pkNone;
    int Index = 0;
    TPixelImage Image;
    THTMLPicture* Picture = nullptr;
    int Width = 0; // at 96 pixels per inch
    int Height = 0;
};

// Markup state that carries from line to line. Each line is measured first and then painted from the
// same state, so the measuring pass works on a copy.
struct TCarried {
    bool LinkOpen = false;
    bool LinkStyled = false;
    std::string LinkTarget;
    int LinkCounter = 0;
    int ListLevel = 0;
    int PictureCounter = 0;
    bool Hidden = false;
    bool Shadow = false;
    bool Error = false;
    bool Sub = false;
    bool Sup = false;
    bool ParaBg = false;
    TColor ParaColor = clNone;
    TColor ParaColorTo = clNone;
    int Alignment = 0; // 0 left, 1 right, 2 centred
    int Indent = 0;
    bool FontBgSet = false;
    TColor FontSavedBg = clNone;
    bool HiOn = false;
    TColor HiSavedText = clNone;
    TColor HiSavedBg = clNone;
    TColor HoverSavedBg = clNone;
    TColor HoverSavedText = clNone;
    bool Rotated = false;
    int SavedOrientation = 0;
};

struct TLine {
    int Width = 0;
    int Height = 0;
    int SubDepth = 0;
    int SupRise = 0;
    int TextRaise = 0;
    bool TextHit = false;
    bool PictureHit = false;
    int Offset = 0; // the offset the following lines start at
};

class TMarkupRenderer {
public:
    TMarkupRenderer(TCanvas& canvas, const TMarkupOptions& options, TMarkupResult& result)
        : C(canvas), O(options), R(result) {}

    bool Run(std::string_view text, const TRect& rect);

private:
    void RenderLine(std::string_view& text, const TRect& rect, bool measure, bool firstPass, TLine& L,
                    std::string& source);
    // Interprets the tag (without its angle brackets). Sets `ended` for tags that end the line and
    // `stop` when the tag belongs to the next line.
    void Tag(std::string_view tag, bool measure, bool firstPass, TLine& L, const TRect& line, TRect& box,
             bool& ended, bool& stop, bool& listItem, const std::string& source);
    void OpenLink(std::string_view tag, bool measure, bool firstPass, const TRect& line, const TRect& box,
                  const TLine& L);
    void CloseLink(bool measure, bool firstPass, const TRect& line, const TRect& box, const TLine& L);
    void Font(std::string_view upper, bool draw);
    void Paragraph(std::string_view upper, std::string_view tag, bool draw, const TRect& line);
    void Body(std::string_view upper, std::string_view tag, const TRect& box);
    void Image(std::string_view upper, std::string_view tag, bool measure, bool firstPass, TLine& L,
               const TRect& line, TRect& box, bool& ended, bool& stop, const std::string& source);
    void DrawRun(const std::string& run, TSize size, TRect& box, const TRect& line, const TLine& L);

    // Runs without prefixes or tabs are measured and drawn directly, without formatted-text layout.
    bool IsPlain(const std::string& run) const;
    TSize Measure(const std::string& run);
    void TextOut(TRect& r, const std::string& run, int width, uint32_t flags);
    // The size the measuring pass found for the next rawLength bytes of the line.
    TSize CachedSize(size_t rawLength, const std::string& run);
    int SpaceWidth();
    // The height of "gh": the font's cell height, which does not depend on the letters.
    int TextHeightGh() {
        TTextMetric tm;
        C.Handle()->GetTextMetrics(tm);
        return tm.tmHeight;
    }
    TColor CurrentBg() { return C.Brush()->Style() == bsClear ? clNone : C.Brush()->Color(); }
    void SetBg(TColor color);
    bool IsFocusLink() const { return O.FocusLinkIndex >= 0 && Car.LinkCounter == O.FocusLinkIndex + 1; }
    void DrawFocus(const TRect& box, int bottom);

    TPictureRef ResolvePicture(std::string_view source);
    void DrawPicture(const TPictureRef& picture, const TRect& r, bool stretch);
    int Device(int v) const { return ScaleFrom96(v, FPixelsPerInch); }

    TCanvas& C;
    const TMarkupOptions& O;
    TMarkupResult& R;
    TFont FBase, FMeasureFont, FPaintFont;
    TColor FBackground = clNone;
    uint32_t FFlags = kTextFlags;
    TRect FRect;
    int FPixelsPerInch = 96;
    TCarried Car;
    int FCarriedOffset = 0;
    // The link under the hit point, while its rectangle is being found.
    bool FCandidate = false;
    TRect FCandidateRect;
    int FLinkLine = 0; // line where the open link began
    int FLineNumber = 0;
    // The focus frame under construction.
    bool FFocusOpen = false;
    TPoint FFocusStart;
    // Sizes of the runs of the line being laid out, in order, for the painting pass.
    struct TRunSize {
        size_t RawLength;
        TSize Size;
    };
    std::vector<TRunSize> FRunSizes;
    size_t FRunIndex = 0;
    struct TSpaceWidth {
        std::string Name;
        int Height;
        TFontStyles Style;
        int Width;
    };
    std::vector<TSpaceWidth> FSpaceWidths;
};

void TMarkupRenderer::SetBg(TColor color) {
    if (color == clNone) {
        C.Brush()->SetStyle(bsClear);
    } else {
        C.Brush()->SetColor(color);
        C.Brush()->SetStyle(bsSolid);
    }
}

bool TMarkupRenderer::IsPlain(const std::string& run) const {
    return run.find('\t') == npos && ((FFlags & DT_NOPREFIX) || run.find('&') == npos);
}

TSize TMarkupRenderer::Measure(const std::string& run) {
    if (IsPlain(run)) {
        // What formatted output would find for one line without prefixes or tabs, without laying it out.
        const int width = C.TextWidth(run);
        TTextMetric tm;
        C.Handle()->GetTextMetrics(tm);
        return TSize(width, tm.tmHeight + tm.tmExternalLeading);
    }
    TRect r(0, 0, SHRT_MAX, SHRT_MAX);
    C.TextRect(r, run, FFlags | DT_CALCRECT);
    return TSize(r.Width(), r.Height());
}

void TMarkupRenderer::TextOut(TRect& r, const std::string& run, int width, uint32_t flags) {
    if (IsPlain(run) && !(flags & DT_END_ELLIPSIS)) {
        TDeviceContext& dc = *C.Handle();
        TTextMetric tm;
        dc.GetTextMetrics(tm);
        const uint32_t oldAlign = dc.SetTextAlign(TA_LEFT | TA_TOP);
        // A run inside its box needs no clip, and clipping costs as much as the glyphs.
        const int top = r.Bottom - tm.tmHeight;
        const bool inside = top >= r.Top && r.Left + width <= r.Right;
        dc.ExtTextOut(r.Left, top, inside ? 0u : uint32_t(ETO_CLIPPED), inside ? nullptr : &r, run);
        dc.SetTextAlign(oldAlign);
        return;
    }
    C.TextRect(r, run, flags);
}

TSize TMarkupRenderer::CachedSize(size_t rawLength, const std::string& run) {
    size_t covered = 0, i = FRunIndex;
    TSize size(0, 0);
    for (; i < FRunSizes.size() && covered < rawLength; ++i) {
        covered += FRunSizes[i].RawLength;
        size.cx += FRunSizes[i].Size.cx;
        size.cy = std::max(size.cy, FRunSizes[i].Size.cy);
    }
    if (covered != rawLength)
        return Measure(run);
    FRunIndex = i;
    return size;
}

int TMarkupRenderer::SpaceWidth() {
    const TFont& f = *C.Font();
    for (const TSpaceWidth& known : FSpaceWidths)
        if (known.Height == f.Height() && known.Style == f.Style() && known.Name == f.Name())
            return known.Width;
    FSpaceWidths.push_back({f.Name(), f.Height(), f.Style(), C.TextWidth(" ")});
    return FSpaceWidths.back().Width;
}

TPictureRef TMarkupRenderer::ResolvePicture(std::string_view source) {
    TPictureRef ref;
    if (source.empty())
        return ref;
    try {
        const std::string upper = UpperCase(source);
        if (size_t at = upper.find("IDX:"); at != npos) {
            const int index = ValInt(source.substr(at + 4));
            if (O.Images && index >= 0 && index < O.Images->Count()) {
                ref.Kind = TPictureRef::pkImageList;
                ref.Index = index;
                ref.Width = O.Images->Width();
                ref.Height = O.Images->Height();
            }
        } else if (size_t sys = upper.find("SSYS:"), large = upper.find("LSYS:");
                   sys != npos || large != npos) {
            // The platform's system icons stand in for the shell's icon list: a number names one of
            // them, any file or folder name shows the application icon.
            const std::string_view rest = source.substr((sys != npos ? sys : large) + 5);
            const int size = sys != npos ? 16 : 32;
            const int id = rest.empty() || !IsPlainInteger(rest) ? IDI_APPLICATION : ValInt(rest);
            ref.Image = SystemIconImage(id, size);
            if (!ref.Image.Empty()) {
                ref.Kind = TPictureRef::pkImage;
                ref.Width = ref.Height = size;
            }
        } else if (source.find(':') == npos) {
            if (O.PictureContainer)
                ref.Picture = O.PictureContainer->PictureByName(std::string(source));
        } else if (source.find("://") != npos && O.PictureCache) {
            const std::string key(source);
            ref.Picture = O.PictureCache->FindPicture(key);
            if (!ref.Picture) {
                ref.Picture = O.PictureCache->AddPicture();
                ref.Picture->SetAllowDownload(false);
                ref.Picture->LoadFromSource(key);
            }
        }
        if (ref.Kind == TPictureRef::pkNone && ref.Picture && !ref.Picture->Empty()) {
            ref.Kind = TPictureRef::pkPicture;
            ref.Width = ref.Picture->LogicalWidth();
            ref.Height = ref.Picture->LogicalHeight();
        }
        if ((ref.Kind == TPictureRef::pkImageList || ref.Kind == TPictureRef::pkImage) && O.ScaleImages) {
            ref.Width = int(Round(ref.Width * O.Scale));
            ref.Height = int(Round(ref.Height * O.Scale));
        }
    } catch (const std::exception&) {
        // A picture that does not load is no picture: the caption still draws, without it.
        ref = TPictureRef();
    }
    if (ref.Width <= 0 || ref.Height <= 0)
        ref = TPictureRef();
    return ref;
}

void TMarkupRenderer::DrawPicture(const TPictureRef& picture, const TRect& r, bool stretch) {
    try {
        switch (picture.Kind) {
        case TPictureRef::pkNone:
            break;
        case TPictureRef::pkImageList:
            if (r.Width() == O.Images->Width() && r.Height() == O.Images->Height())
                O.Images->Draw(&C, r.Left, r.Top, picture.Index);
            else
                DrawImage(C, r, O.Images->GetImage(picture.Index));
            break;
        case TPictureRef::pkImage:
            DrawImage(C, r, picture.Image);
            break;
        case TPictureRef::pkPicture: {
            const bool oldStretch = picture.Picture->Stretch();
            picture.Picture->SetStretch(stretch);
            ScopeGuard restore([&] { picture.Picture->SetStretch(oldStretch); });
            picture.Picture->Draw(C, r);
            break;
        }
        }
    } catch (const std::exception&) {
        // As when loading: a picture that cannot be drawn leaves its place empty.
    }
}

void TMarkupRenderer::DrawFocus(const TRect& box, int bottom) {
    TRect r(FFocusStart.X, bottom - TextHeightGh(), box.Left, bottom);
    InflateRect(r, 1, 0);
    C.DrawFocusRect(r);
    FFocusOpen = false;
}

void TMarkupRenderer::DrawRun(const std::string& run, TSize size, TRect& box, const TRect& line,
                              const TLine& L) {
    const uint32_t flags = FFlags & ~DT_EXTERNALLEADING;
    TRect r = box;
    r.Top = line.Top;
    r.Bottom = line.Bottom;
    if (Car.Sup)
        r.Bottom -= L.SupRise;
    if (Car.Sub)
        r.Bottom += L.SubDepth;
    r.Bottom -= L.TextRaise;
    if (Car.Shadow) {
        const TColor color = C.Font()->Color();
        TRect shadow = r;
        OffsetRect(shadow, O.ShadowOffset, O.ShadowOffset);
        C.Font()->SetColor(O.ShadowColor);
        TextOut(shadow, run, size.cx, flags);
        C.Font()->SetColor(color);
    }
    TextOut(r, run, size.cx, flags);
    const int right = std::min(r.Left + size.cx, r.Right);
    if (Car.LinkOpen && IsFocusLink())
        R.FocusTarget = Car.LinkTarget;
    if (Car.Error) {
        // A red zig-zag two pixels high under the run, in step with even columns so that adjacent runs
        // join.
        int x = r.Left & ~1;
        int offset = x % 4 == 0 ? 2 : 0;
        const int base = line.Bottom - 1;
        C.Pen()->SetColor(clRed);
        C.Pen()->SetWidth(1);
        C.Pen()->SetStyle(psSolid);
        C.MoveTo(x, base + offset);
        while (x < right) {
            offset = 2 - offset;
            C.LineTo(x + 2, base + offset);
            x += 2;
        }
    }
    box.Left = right;
}

void TMarkupRenderer::OpenLink(std::string_view tag, bool measure, bool firstPass, const TRect& line,
                               const TRect& box, const TLine& L) {
    ++Car.LinkCounter;
    Car.LinkOpen = true;
    Car.LinkTarget = std::string(QuotedFrom(tag, 0));
    const bool hovered = Car.LinkCounter == O.HoverLinkNumber;
    Car.LinkStyled = !O.HoverOnly || hovered;
    if (!measure && Car.LinkStyled) {
        C.Font()->SetStyle(C.Font()->Style() | fsUnderline);
        if (O.HoverColor != clNone) {
            Car.HoverSavedBg = CurrentBg();
            SetBg(O.HoverColor);
        }
        if (O.HoverFontColor != clNone) {
            Car.HoverSavedText = C.Font()->Color();
            C.Font()->SetColor(O.HoverFontColor);
        }
    }
    if (!O.Selected && !(O.HoverFontColor != clNone && O.HoverOnly && hovered))
        C.Font()->SetColor(O.URLColor);
    if (measure && !firstPass) {
        FCandidate = false;
        FCandidateRect.Left = line.Left + FCarriedOffset + L.Width;
        FCandidateRect.Top = line.Top;
        FLinkLine = FLineNumber;
    }
    if (!measure && IsFocusLink()) {
        FFocusOpen = true;
        FFocusStart = TPoint(box.Left, line.Top);
    }
}

void TMarkupRenderer::CloseLink(bool measure, bool firstPass, const TRect& line, const TRect& box,
                                const TLine& L) {
    if (!Car.LinkOpen)
        return;
    if (!measure && Car.LinkStyled) {
        C.Font()->SetStyle(C.Font()->Style() & ~fsUnderline);
        if (O.HoverColor != clNone)
            SetBg(Car.HoverSavedBg);
        if (O.HoverFontColor != clNone)
            C.Font()->SetColor(Car.HoverSavedText);
    }
    if (!O.Selected)
        C.Font()->SetColor(FBase.Color());
    if (measure && !firstPass && FCandidate) {
        TRect r = FCandidateRect;
        r.Right = line.Left + FCarriedOffset + L.Width;
        r.Bottom = line.Bottom;
        if (FLinkLine != FLineNumber) {
            r.Left = line.Left;
            r.Top = line.Top;
        }
        R.LinkRect = r;
        R.LinkUnderPoint = Car.LinkCounter;
        FCandidate = false;
    }
    if (!measure && FFocusOpen && IsFocusLink())
        DrawFocus(box, line.Bottom - L.TextRaise);
    Car.LinkOpen = false;
}

void TMarkupRenderer::Font(std::string_view upper, bool draw) {
    if (TAttr face = Attr(upper, upper, "FACE"); face.Found && !face.Value.empty())
        C.Font()->SetName(std::string(face.Value));
    if (TAttr color = Attr(upper, upper, " COLOR"); color.Found && !O.Selected)
        C.Font()->SetColor(MarkupColor(color.Value));
    if (TAttr bg = Attr(upper, upper, "BGCOLOR"); bg.Found && draw && !O.Selected) {
        Car.FontSavedBg = CurrentBg();
        Car.FontBgSet = true;
        SetBg(MarkupColor(bg.Value));
    }
    if (size_t at = upper.find("SIZE"); at != npos) {
        std::string_view rest = upper.substr(at + 4);
        size_t eq = rest.find('=');
        if (eq != npos) {
            rest = rest.substr(eq + 1);
            while (!rest.empty() && rest[0] == ' ')
                rest.remove_prefix(1);
            if (!rest.empty() && rest[0] == '"')
                rest.remove_prefix(1);
            static constexpr int kSizes[] = {8, 10, 12, 14, 16};
            const int n = ValInt(rest);
            const int points = n >= 1 && n <= 5 ? kSizes[n - 1] : n;
            if (points > 0)
                C.Font()->SetSize(points);
        }
    }
}

void TMarkupRenderer::Paragraph(std::string_view upper, std::string_view tag, bool draw, const TRect& line) {
    if (TAttr align = Attr(upper, tag, "ALIGN"); align.Found) {
        const std::string value = UpperCase(align.Value);
        if (value.find("RIGHT") != npos)
            Car.Alignment = 1;
        if (value.find("LEFT") != npos)
            Car.Alignment = 0;
        if (value.find("CENTER") != npos)
            Car.Alignment = 2;
    }
    if (TAttr indent = Attr(upper, tag, "INDENT"); indent.Found)
        Car.Indent = ValInt(indent.Value);
    TAttr bg = Attr(upper, upper, "BGCOLOR");
    if (!bg.Found || !draw)
        return;
    TAttr bgTo = Attr(upper, upper, "BGCOLORTO");
    Car.ParaBg = true;
    Car.ParaColor = MarkupColor(bg.Value);
    TRect area(FRect.Left, line.Top, FRect.Right, line.Bottom);
    TDeviceContext& dc = *C.Handle();
    if (bgTo.Found) {
        area.Bottom += 2;
        const TColor last =
            DrawGradient(dc, Car.ParaColor, MarkupColor(bgTo.Value), clNone, kGradientSteps, area, true);
        // The rest of the paragraph is framed in the gradient's end colour.
        Car.ParaColorTo = last;
    } else {
        Car.ParaColorTo = clNone;
        dc.FillSolidRect(area, ColorToRGB(Car.ParaColor));
    }
}

void TMarkupRenderer::Body(std::string_view upper, std::string_view tag, const TRect& box) {
    TDeviceContext& dc = *C.Handle();
    if (TAttr bg = Attr(upper, upper, "BGCOLOR"); bg.Found) {
        TAttr to = Attr(upper, upper, "BGCOLORTO");
        if (to.Found) {
            TAttr dir = Attr(upper, upper, "DIR");
            const bool horizontal = !dir.Found || dir.Value == "H";
            DrawGradient(dc, MarkupColor(bg.Value), MarkupColor(to.Value), clNone, kGradientSteps, FRect,
                         horizontal);
        } else {
            dc.FillSolidRect(TRect(FRect.Left - 2, FRect.Top, FRect.Right, FRect.Bottom),
                             ColorToRGB(MarkupColor(bg.Value)));
        }
    }
    auto placed = [&](std::string_view source, bool tile, bool right) {
        TPictureRef picture = ResolvePicture(source);
        if (picture.Kind == TPictureRef::pkNone)
            return;
        const int w = Device(picture.Width), h = Device(picture.Height);
        if (picture.Kind != TPictureRef::pkPicture) {
            // Image-list pictures and icons go where the text stands.
            const int x = right ? box.Right - (O.Images ? O.Images->Width() : w) : box.Left;
            DrawPicture(picture, TRect(x, box.Top, x + w, box.Top + h), O.ScaleImages);
            return;
        }
        const int saved = dc.SaveDC();
        ScopeGuard restore([&] { dc.RestoreDC(saved); });
        dc.IntersectClipRect(FRect.Left, FRect.Top, FRect.Right, FRect.Bottom);
        if (tile) {
            for (int y = FRect.Top; y < FRect.Bottom; y += h)
                for (int x = FRect.Left; x < FRect.Right; x += w)
                    DrawPicture(picture, TRect(x, y, x + w, y + h), false);
        } else {
            const int x = right ? FRect.Right - w : FRect.Left;
            DrawPicture(picture, TRect(x, FRect.Top, x + w, FRect.Top + h), false);
        }
    };
    if (TAttr a = Attr(upper, tag, "BACKGROUND"); a.Found)
        placed(a.Value, true, false);
    if (TAttr a = Attr(upper, tag, "BGTOPLEFT"); a.Found)
        placed(a.Value, false, false);
    if (TAttr a = Attr(upper, tag, "BGTOPRIGHT"); a.Found)
        placed(a.Value, false, true);
}

void TMarkupRenderer::Image(std::string_view upper, std::string_view tag, bool measure, bool firstPass,
                            TLine& L, const TRect& line, TRect& box, bool& ended, bool& stop,
                            const std::string& source) {
    ++Car.PictureCounter;
    TPictureRef picture = ResolvePicture(Attr(upper, tag, "SRC").Value);
    if (picture.Kind == TPictureRef::pkNone)
        return;
    const int givenW = ValInt(Attr(upper, upper, "WIDTH").Value);
    const int givenH = ValInt(Attr(upper, upper, "HEIGHT").Value);
    const bool stretch = givenW >= 1 && givenH >= 1;
    const int w = Device(stretch ? givenW : picture.Width);
    const int h = Device(stretch ? givenH : picture.Height);
    const int x = measure ? line.Left + FCarriedOffset + L.Width : box.Left;
    if (firstPass && L.Width + w > line.Width() && w < line.Width() && !source.empty()) {
        // The picture does not fit after what the line holds: it starts the next line.
        stop = ended = true;
        return;
    }
    bool hit = false;
    if (!firstPass && Car.LinkOpen && O.X > x && O.X < x + w && O.Y > line.Top && O.Y < line.Top + h) {
        hit = true;
        L.PictureHit = true;
        R.LinkTarget = Car.LinkTarget;
    }
    if (!measure) {
        // Over a linked picture the mouse sees its ALT picture.
        TAttr alt = Attr(upper, tag, "ALT");
        if (hit && !alt.Value.empty())
            if (TPictureRef other = ResolvePicture(alt.Value); other.Kind != TPictureRef::pkNone)
                picture = std::move(other);
        const bool scaled = picture.Kind != TPictureRef::pkPicture && O.ScaleImages;
        DrawPicture(picture, TRect(box.Left, line.Top, box.Left + w, line.Top + h), stretch || scaled);
        box.Left += w;
    }
    L.Width += w;
    if (firstPass) {
        L.Height = std::max(L.Height, h);
        const int textHeight = TextHeightGh();
        if (upper.find("\"TOP") != npos)
            L.TextRaise = L.Height - textHeight;
        else if (upper.find("\"MIDDLE") != npos)
            L.TextRaise = (L.Height - textHeight) / 2;
        if (upper.find("WRAP") != npos)
            L.Height = textHeight;
    }
}

void TMarkupRenderer::Tag(std::string_view tag, bool measure, bool firstPass, TLine& L, const TRect& line,
                          TRect& box, bool& ended, bool& stop, bool& listItem, const std::string& source) {
    const std::string up = UpperCase(tag);
    const std::string_view upper = up;
    const bool draw = !measure;
    const bool closing = !upper.empty() && upper[0] == '/';
    const std::string_view name = closing ? upper.substr(1) : upper;
    const char c1 = name.empty() ? '\0' : name[0];
    const char c2 = name.size() > 1 ? name[1] : '\0';
    TFont& font = *C.Font();
    auto style = [&](TFontStyles bit, bool on) {
        font.SetStyle(on ? font.Style() | bit : font.Style() & ~bit);
    };

    if (closing) {
        switch (c1) {
        case 'A':
            CloseLink(measure, firstPass, line, box, L);
            break;
        case 'B':
            if (name == "B")
                style(fsBold, false);
            else
                font.SetColor(FBase.Color());
            break;
        case 'E':
            Car.Error = false;
            break;
        case 'F':
            font.SetName(FBase.Name());
            font.SetSize(FBase.Size());
            if (draw && !O.Selected) {
                font.SetColor(FBase.Color());
                if (Car.FontBgSet)
                    SetBg(Car.FontSavedBg);
                Car.FontBgSet = false;
            }
            break;
        case 'H':
            if (draw && Car.HiOn) {
                font.SetColor(Car.HiSavedText);
                SetBg(Car.HiSavedBg);
                Car.HiOn = false;
            }
            break;
        case 'I':
            style(fsItalic, false);
            break;
        case 'L':
            ended = true;
            break;
        case 'O':
            L.Offset = 0;
            break;
        case 'P':
            ended = true;
            Car.ParaBg = false;
            break;
        case 'R':
            if (Car.Rotated) {
                font.SetOrientation(Car.SavedOrientation);
                Car.Rotated = false;
            }
            break;
        case 'S':
            if (c2 == 'U')
                Car.Sub = Car.Sup = false;
            else if (c2 == 'H')
                Car.Shadow = false;
            else
                style(fsStrikeOut, false);
            break;
        case 'U':
            if (name == "U")
                style(fsUnderline, false);
            else if (Car.ListLevel > 0)
                --Car.ListLevel;
            else
                style(fsUnderline, false);
            break;
        case 'Z':
            Car.Hidden = false;
            break;
        default:
            break;
        }
        return;
    }

    switch (c1) {
    case 'A':
        OpenLink(tag, measure, firstPass, line, box, L);
        break;
    case 'B':
        if (name == "B") {
            style(fsBold, true);
        } else if (c2 == 'L') {
            if (!O.BlinkOn)
                font.SetColor(FBackground);
        } else if (c2 == 'O') {
            if (draw && !O.Selected)
                Body(upper, tag, box);
        } else if (c2 == 'R') {
            ended = true;
            R.PlainText += '\r';
        }
        break;
    case 'E':
        Car.Error = true;
        break;
    case 'F':
        Font(upper, draw);
        break;
    case 'H':
        if (c2 == 'I') {
            if (draw && !Car.HiOn) {
                Car.HiSavedText = font.Color();
                Car.HiSavedBg = CurrentBg();
                Car.HiOn = true;
                SetBg(clHighlight);
                font.SetColor(clHighlightText);
            }
        } else if (c2 == 'R') {
            ended = true;
            if (draw) {
                const int y = line.Bottom;
                C.Handle()->FillSolidRect(TRect(line.Left, y, FRect.Right, y + 1), clBlack);
            }
        }
        break;
    case 'I':
        if (name == "I") {
            style(fsItalic, true);
        } else if (c2 == 'N') {
            std::string_view value = Attr(upper, upper, "X").Value;
            if (IsPlainInteger(value)) {
                const int n = ValInt(value);
                if (measure)
                    L.Width = std::max(L.Width, n);
                else
                    box.Left = std::max(box.Left, line.Left + n);
            }
        } else if (c2 == 'M') {
            Image(upper, tag, measure, firstPass, L, line, box, ended, stop, source);
        }
        break;
    case 'L': {
        if (listItem && firstPass && !source.empty()) {
            // A second item on one line begins the next line.
            stop = ended = true;
            break;
        }
        listItem = true;
        const int level = Car.ListLevel;
        if (measure) {
            L.Width += level * kListIndent;
        } else {
            box.Left += (level - 1) * kListIndent;
            if (!Car.Hidden) {
                const std::string oldName = font.Name();
                font.SetName("Symbol");
                TRect r(box.Left, line.Top, line.Right, line.Bottom - L.TextRaise);
                C.TextRect(r, level % 2 == 1 ? "\u2022" : "\u03BF", FFlags & ~DT_EXTERNALLEADING);
                font.SetName(oldName);
            }
            box.Left += kListIndent;
        }
        break;
    }
    case 'O':
        if (c2 == 'F') {
            const int n = ValInt(Attr(upper, upper, "X").Value);
            L.Offset = n;
            if (measure)
                L.Width = std::max(L.Width, n);
            else
                box.Left = std::max(box.Left, line.Left + n);
        }
        break;
    case 'P':
        Paragraph(upper, tag, draw, line);
        break;
    case 'R':
        if (size_t a = upper.find('A'); a != npos) {
            if (!Car.Rotated) {
                Car.SavedOrientation = font.Orientation();
                Car.Rotated = true;
            }
            font.SetOrientation(ValInt(QuotedFrom(upper, a + 1)) * 10);
        }
        break;
    case 'S':
        if (name == "S")
            style(fsStrikeOut, true);
        else if (c2 == 'H')
            Car.Shadow = true;
        else if (name == "SUB")
            Car.Sub = true;
        else if (name == "SUP")
            Car.Sup = true;
        break;
    case 'U':
        if (name == "U") {
            style(fsUnderline, true);
        } else {
            ++Car.ListLevel;
            ended = true;
        }
        break;
    case 'Z':
        Car.Hidden = true;
        break;
    default:
        break;
    }
}

void TMarkupRenderer::RenderLine(std::string_view& text, const TRect& rect, bool measure, bool firstPass,
                                 TLine& L, std::string& source) {
    source.clear();
    TRect line = rect;
    line.Bottom -= L.SubDepth;
    L.Width = 0;
    L.TextHit = L.PictureHit = false;
    L.Offset = FCarriedOffset;
    int trailing = 0;
    bool ended = false, stop = false, listItem = false;
    // The line holds text that does not end with a space, so a word that goes on after a tag stays whole.
    bool continuing = false;
    bool segmentTried = false;
    TRect box = line;
    if (!measure) {
        box.Left += FCarriedOffset;
        if (Car.ParaBg) {
            const TRect area(FRect.Left, line.Top, FRect.Right, rect.Bottom);
            if (Car.ParaColorTo != clNone)
                FrameSolid(*C.Handle(), area, ColorToRGB(Car.ParaColorTo));
            else
                C.Handle()->FillSolidRect(area, ColorToRGB(Car.ParaColor));
        }
        if (Car.LinkOpen && IsFocusLink()) {
            FFocusOpen = true;
            FFocusStart = TPoint(line.Left + 1, line.Top);
        }
    }
    FRunIndex = 0;
    if (firstPass)
        FRunSizes.clear();

    while (!text.empty() && !ended && !stop) {
        // The measuring pass breaks lines at spaces; the painting pass takes what lies between two tags
        // at once, as the line is already decided. Searches look no further than they must, so a long
        // text is read once, not once per word.
        size_t rawLength;
        std::string run;
        TSize size;
        bool sized = false;
        if (firstPass && O.WordWrap) {
            const size_t cut = text.find_first_of("< ");
            if (cut == npos || text[cut] == '<') {
                rawLength = cut == npos ? text.size() : cut;
            } else {
                rawLength = cut + 1;
                const size_t window = std::min(text.size(), kWholeSegmentBytes + 1);
                size_t segment = text.substr(0, window).find('<');
                if (segment == npos && text.size() <= kWholeSegmentBytes)
                    segment = text.size();
                if (segment != npos && rawLength < segment && !Car.Hidden && !segmentTried) {
                    // Most segments fit whole: one measurement instead of one per word; each is tried
                    // once.
                    segmentTried = true;
                    run = RunText(text.substr(0, segment));
                    size = Measure(run);
                    const int available = line.Right - (line.Left + FCarriedOffset);
                    const int spaceWidth = text[segment - 1] == ' ' ? SpaceWidth() : 0;
                    if (L.Width + size.cx - spaceWidth <= available) {
                        rawLength = segment;
                        sized = true;
                    }
                }
            }
        } else {
            rawLength = std::min(text.find('<'), text.size());
        }
        if (rawLength > 0) {
            const std::string_view raw = text.substr(0, rawLength);
            if (!sized) {
                run = RunText(raw);
                size = firstPass ? Measure(run) : CachedSize(rawLength, run);
            }
            if (firstPass) {
                const int h = size.cy;
                if (Car.Sub)
                    L.SubDepth = std::max(L.SubDepth, h / 4);
                if (Car.Sup)
                    L.SupRise = std::max(L.SupRise, h / 4);
                L.Height = std::max(L.Height, h);
            }
            R.PlainText += run;
            if (Car.Hidden) {
                text.remove_prefix(rawLength);
            } else {
                const int w = size.cx;
                if (measure) {
                    L.Width += w;
                    if (!firstPass && Car.LinkOpen) {
                        const int hx = O.X - (line.Left + FCarriedOffset);
                        if (hx >= L.Width - w && hx <= L.Width) {
                            L.TextHit = true;
                            if (line.Top < O.Y) {
                                R.LinkTarget = Car.LinkTarget;
                                FCandidate = true;
                            }
                        }
                    }
                } else {
                    DrawRun(run, size, box, line, L);
                }
                const bool endsInSpace = raw.back() == ' ';
                bool fits = true;
                if (firstPass && O.WordWrap) {
                    const int available = line.Right - (line.Left + FCarriedOffset);
                    fits = L.Width <= available || w >= available || continuing || source.empty() ||
                           (endsInSpace && L.Width - SpaceWidth() <= available);
                }
                if (fits) {
                    source.append(raw);
                    text.remove_prefix(rawLength);
                    trailing = endsInSpace ? SpaceWidth() : 0;
                    continuing = !endsInSpace;
                    if (firstPass)
                        FRunSizes.push_back({rawLength, size});
                } else {
                    ended = true;
                    L.Width -= w;
                }
            }
        }
        if (!text.empty() && text[0] == '<' && text.size() <= 2)
            text = {};
        if (ended || text.empty() || text[0] != '<' || text.size() < 3)
            continue;
        const size_t gt = text.find('>');
        if (gt == npos) {
            text = {};
            continue;
        }
        segmentTried = false;
        Tag(text.substr(1, gt - 1), measure, firstPass, L, line, box, ended, stop, listItem, source);
        if (!stop) {
            source.append(text.substr(0, gt + 1));
            text.remove_prefix(gt + 1);
        }
    }
    L.Width -= trailing;
    if (R.MaxLineWidth < L.Width)
        R.MaxLineWidth = L.Width + 2;
    if (!measure && FFocusOpen)
        DrawFocus(box, line.Bottom);
}

bool TMarkupRenderer::Run(std::string_view input, const TRect& rect) {
    R.PlainText.clear();
    R.FocusTarget.clear();
    R.MaxLineWidth = R.TotalHeight = R.LinkCount = 0;
    R.LinkUnderPoint = -1;

    TBrush& brush = *C.Brush();
    TPen& pen = *C.Pen();
    const TColor savedBrushColor = brush.Color();
    const TBrushStyle savedBrushStyle = brush.Style();
    const TColor savedPenColor = pen.Color();
    const int savedPenWidth = pen.Width();
    const TPenStyle savedPenStyle = pen.Style();
    FBase.Assign(C.Font());
    FMeasureFont.Assign(C.Font());
    FPaintFont.Assign(C.Font());
    FPixelsPerInch = C.Font()->PixelsPerInch();
    FBackground = savedBrushColor;
    ScopeGuard restore([&] {
        C.Font()->Assign(&FBase);
        brush.SetColor(savedBrushColor);
        brush.SetStyle(savedBrushStyle);
        pen.SetColor(savedPenColor);
        pen.SetWidth(savedPenWidth);
        pen.SetStyle(savedPenStyle);
        C.Handle()->SetBkMode(TRANSPARENT);
    });
    SetBg(clNone);
    C.Handle()->SetBkMode(TRANSPARENT);

    if (input.find(" & ") != npos)
        FFlags |= DT_NOPREFIX;
    if (!O.WordWrap)
        FFlags |= DT_END_ELLIPSIS;

    std::string prepared(input);
    if (prepared.find('&') != npos)
        for (bool again = true; again;) {
            again = false;
            for (const auto& [entity, with] : kTextEntities) {
                std::string replaced = StringReplace(prepared, entity, with, rfReplaceAll | rfIgnoreCase);
                if (replaced != prepared) {
                    prepared = std::move(replaced);
                    again = true;
                }
            }
        }
    // "<#word>" shows as "#word".
    if (size_t hash = prepared.find("<#"); hash != npos) {
        prepared.erase(hash, 1);
        if (size_t gt = prepared.find('>', hash); gt != npos)
            prepared.erase(gt, 1);
    }
    if (prepared.find_first_of("\r\n") != npos) {
        std::string out;
        out.reserve(prepared.size() + 16);
        for (char c : prepared)
            if (c == '\r')
                out += "<BR>";
            else if (c != '\n')
                out += c;
        prepared = std::move(out);
    }

    FRect = rect;
    TRect work = rect;
    work.Left += 1;
    std::string_view text = prepared;
    std::string source;
    bool result = false;
    while (!text.empty()) {
        C.Font()->Assign(&FMeasureFont);
        Car.Sub = Car.Sup = false;
        const TCarried before = Car;
        const int minHeight = TextHeightGh();
        TLine L;
        L.Height = minHeight;
        RenderLine(text, work, true, true, L, source);
        FMeasureFont.Assign(C.Font());
        const int alignment = Car.Alignment, indent = Car.Indent;
        L.Height += O.LineSpacing;
        const int pitch = L.Height + L.SubDepth + L.SupRise;

        TRect paint = work;
        if (alignment == 1 && work.Right - L.Width > work.Left)
            paint.Left = work.Right - L.Width;
        else if (alignment == 2 && work.Width() - L.Width > 0)
            paint.Left += (work.Width() - L.Width) / 2;
        paint.Left += indent;
        paint.Bottom = work.Top + pitch;

        if (O.MeasureOnly) {
            // No painting pass follows to carry the state on, so the measured state does.
            FCarriedOffset = L.Offset;
        } else {
            Car = before;
            C.Font()->Assign(&FPaintFont);
            std::string_view lineText = source;
            std::string painted;
            TLine P = L;
            RenderLine(lineText, paint, O.NoDraw, false, P, painted);
            const int bottom = paint.Bottom - P.TextRaise;
            if ((P.TextHit && O.Y > bottom - minHeight && O.Y < bottom) || P.PictureHit)
                result = true;
            FCarriedOffset = P.Offset;
            FPaintFont.Assign(C.Font());
        }
        ++FLineNumber;
        work.Top += pitch;
        R.TotalHeight += pitch;
        if (!O.MeasureOnly && minHeight + work.Top > work.Bottom)
            break;
    }
    R.LinkCount = Car.LinkCounter;
    if (R.TotalHeight == 0) {
        C.Font()->Assign(&FBase);
        R.TotalHeight = TextHeightGh();
    }
    return result;
}

} // namespace

TColor MarkupColor(std::string_view value) {
    if (!value.empty() && value[0] == '#') {
        const std::string hex = UpperCase(value);
        return RGB(HexByte(hex, 1), HexByte(hex, 3), HexByte(hex, 5));
    }
    const std::string name = LowerCase(value);
    for (const TNamedColor& entry : kColorNames)
        if (entry.Name == name)
            return entry.Color;
    return clBlack;
}

bool DrawMarkupText(TCanvas& Canvas, std::string_view Text, const TRect& Rect, const TMarkupOptions& Options,
                    TMarkupResult& Result) {
    TMarkupRenderer renderer(Canvas, Options, Result);
    return renderer.Run(Text, Rect);
}

} // namespace ui
