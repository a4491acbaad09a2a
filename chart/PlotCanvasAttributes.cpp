// Pens, brushes, fonts and shadows of chart elements, with their published properties.
#include <algorithm>
#include <cmath>

#include "chart/PlotCanvas.h"
#include "chart/PlotConst.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TChartPen, TPen)
PLAT_CLASS_INFO(TChartHiddenPen, TChartPen)
PLAT_CLASS_INFO(TDottedGrayPen, TChartPen)
PLAT_CLASS_INFO(TDarkGrayPen, TChartPen)
PLAT_CLASS_INFO(TWhitePen, TChartPen)
PLAT_CLASS_INFO(TChartBrush, TBrush)
PLAT_CLASS_INFO(TPlotFont, TFont)
PLAT_CLASS_INFO(TPlotShadow, TPersistent)

namespace {

const char* const kEndStyleNames[] = {"esRound", "esSquare", "esFlat"};

static_assert(std::size(kEndStyleNames) == esFlat + 1);

std::string DefaultFontName;
int DefaultFontSize = 8;
bool DefaultFontReady = false;

} // namespace

// ---- Unit-wide settings ----

bool CanUseAlphaBlend = true;
int SideShadeAmount = 128;
int TopShadeAmount = 64;
int SolidSideCount = 16;
int DefaultConePercent = 0;
int RotatedTextQuality = 4;

void SetupChartDefaultFont() {
    // The message texts are filled by their own unit at start; an empty table means "not yet".
    int size = 8;
    if (!TryStrToInt(ChartTextDefaultFontSize, size))
        size = 8;
    DefaultFontSize = size;
    DefaultFontName = ChartTextDefaultFontName.empty() ? std::string("Arial") : ChartTextDefaultFontName;
    DefaultFontReady = !ChartTextDefaultFontName.empty();
}

const std::string& ChartDefaultFontName() {
    if (!DefaultFontReady)
        SetupChartDefaultFont();
    return DefaultFontName;
}

int ChartDefaultFontSize() {
    if (!DefaultFontReady)
        SetupChartDefaultFont();
    return DefaultFontSize;
}

// ---- TChartPen ----

TChartPen::TChartPen(TNotifyEvent ChangeHandler) {
    OnChange = std::move(ChangeHandler);
}

void TChartPen::SetEndStyle(TPenEndStyle Value) {
    if (Value != FEndStyle) {
        FEndStyle = Value;
        Changed();
    }
}

void TChartPen::SetSmallDots(bool Value) {
    if (Value != FSmallDots) {
        FSmallDots = Value;
        Changed();
    }
}

void TChartPen::SetSmallSpace(int Value) {
    if (Value != FSmallSpace) {
        FSmallSpace = Value;
        Changed();
    }
}

void TChartPen::SetVisible(bool Value) {
    if (Value != FVisible) {
        FVisible = Value;
        Changed();
    }
}

void TChartPen::Assign(TPersistent* Source) {
    bool own = false;
    if (auto* p = dynamic_cast<TChartPen*>(Source)) {
        own = p->FVisible != FVisible || p->FSmallDots != FSmallDots || p->FSmallSpace != FSmallSpace ||
              p->FEndStyle != FEndStyle;
        FVisible = p->FVisible;
        FSmallDots = p->FSmallDots;
        FSmallSpace = p->FSmallSpace;
        FEndStyle = p->FEndStyle;
    }
    TPen::Assign(Source);
    if (own)
        Changed();
}

TChartHiddenPen::TChartHiddenPen(TNotifyEvent ChangeHandler) : TChartPen(nullptr) {
    FVisible = false;
    FDefaultVisible = false;
    OnChange = std::move(ChangeHandler);
}

TDottedGrayPen::TDottedGrayPen(TNotifyEvent ChangeHandler) : TChartPen(nullptr) {
    SetColor(clGray);
    SetStyle(psDot);
    OnChange = std::move(ChangeHandler);
}

TDarkGrayPen::TDarkGrayPen(TNotifyEvent ChangeHandler) : TChartPen(nullptr) {
    SetColor(clGray);
    OnChange = std::move(ChangeHandler);
}

TWhitePen::TWhitePen(TNotifyEvent ChangeHandler) : TChartPen(nullptr) {
    SetColor(clWhite);
    OnChange = std::move(ChangeHandler);
}

PLAT_PROPERTIES(TChartPen) {
    props.Color("Color", &TPen::Color, &TPen::SetColor, clBlack);
    props.Enum("Mode", &TPen::Mode, &TPen::SetMode, kPenModeNames, pmCopy);
    props.Enum("Style", &TPen::Style, &TPen::SetStyle, kPenStyleNames, psSolid);
    props.Integer("Width", &TPen::Width, &TPen::SetWidth, 1);
    props.Enum("EndStyle", &TChartPen::EndStyle, &TChartPen::SetEndStyle, kEndStyleNames)
        .Stored(&TChartPen::IsEndStyleStored);
    props.Boolean("SmallDots", &TChartPen::SmallDots, &TChartPen::SetSmallDots, false);
    props.Integer("SmallSpace", &TChartPen::SmallSpace, &TChartPen::SetSmallSpace, 0);
    props.Boolean("Visible", &TChartPen::Visible, &TChartPen::SetVisible).Stored(&TChartPen::IsVisibleStored);
}

PLAT_PROPERTIES(TDottedGrayPen) {
    props.Default("Color", clGray);
    props.Default("Style", psDot);
}

PLAT_PROPERTIES(TDarkGrayPen) {
    props.Default("Color", clGray);
}

PLAT_PROPERTIES(TWhitePen) {
    props.Default("Color", clWhite);
}

HPEN NewDottedPenHandle(TColor Colour, int Space) {
    TLogBrush brush{BS_SOLID, ColorToRGB(Colour), 0};
    if (Space <= 0)
        return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, brush);
    // Zero-length dashes with round caps are single dots, Space + 1 apart.
    const int dashes[] = {0, Space + 1};
    return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_ROUND, 1, brush, dashes);
}

// ---- TChartBrush ----

TChartBrush::TChartBrush(TNotifyEvent ChangeHandler) {
    SetColor(AutoColor);
    OnChange = std::move(ChangeHandler);
}

TChartBrush::~TChartBrush() = default;

void TChartBrush::ImageChanged() {
    FImageBitmap.reset();
    Changed();
}

TPicture* TChartBrush::Image() {
    if (!FImage) {
        FImage = std::make_unique<TPicture>();
        FImage->OnChange = [this](TObject*) { ImageChanged(); };
    }
    return FImage.get();
}

void TChartBrush::SetImage(TPicture* Value) {
    if (!Value) {
        FImage.reset();
    } else if (Value != FImage.get()) {
        TPicture* own = Image();
        own->OnChange = nullptr;
        own->Assign(Value);
        own->OnChange = [this](TObject*) { ImageChanged(); };
    }
    ImageChanged();
}

TBitmap* TChartBrush::ImageBitmap() {
    if (!FImage || !FImage->Graphic() || FImage->Graphic()->Empty())
        return nullptr;
    TGraphic* g = FImage->Graphic();
    if (auto* b = dynamic_cast<TBitmap*>(g))
        return b;
    if (!FImageBitmap) {
        FImageBitmap = std::make_unique<TBitmap>(g->Width(), g->Height());
        TCanvas* c = FImageBitmap->Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, g->Width(), g->Height()));
        c->Draw(0, 0, g);
    }
    return FImageBitmap.get();
}

void TChartBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TChartBrush*>(Source))
        SetImage(b->FImage.get());
    TBrush::Assign(Source);
}

void TChartBrush::SetDefaultColor(TColor Value) {
    FHasDefaultColor = true;
    FDefaultColor = Value;
}

bool TChartBrush::IsColorStored() const {
    if (FHasDefaultColor)
        return Color() != FDefaultColor;
    // A brush class may declare a default of its own (the zoom band's white).
    const TPropInfo* p = GetPropInfo(ClassType(), "Color");
    return Color() != (p && p->HasDefault ? static_cast<TColor>(p->OrdDefault) : AutoColor);
}

// The colour has no class-wide default: it is stored by IsColorStored, against the owner's default.
PLAT_PROPERTIES(TChartBrush) {
    props.Color("Color", &TBrush::Color, &TBrush::SetColor).Stored(&TChartBrush::IsColorStored);
    props.Object("Image", &TChartBrush::Image, &TChartBrush::SetImage).Stored(&TChartBrush::HasImage);
    props.Enum("Style", &TBrush::Style, &TBrush::SetStyle, kBrushStyleNames, bsSolid);
}

// ---- TPlotFont ----

TPlotFont::TPlotFont(TNotifyEvent ChangeHandler) {
    SetColor(clBlack);
    if (Charset() != DEFAULT_CHARSET)
        SetCharset(DEFAULT_CHARSET);
    SetName(ChartDefaultFontName());
    if (Size() != ChartDefaultFontSize())
        SetSize(ChartDefaultFontSize());
    OnChange = std::move(ChangeHandler);
}

TPlotFont::~TPlotFont() = default;

void TPlotFont::SubObjectChanged() {
    if (OnChange)
        OnChange(this);
}

TPlotFontGradient* TPlotFont::Gradient() {
    if (!FGradient)
        FGradient = std::make_unique<TPlotFontGradient>([this](TObject*) { SubObjectChanged(); });
    return FGradient.get();
}

void TPlotFont::SetGradient(TPlotFontGradient* Value) {
    if (!Value) {
        if (FGradient) {
            FGradient.reset();
            SubObjectChanged();
        }
    } else if (Value != FGradient.get()) {
        Gradient()->Assign(Value);
        SubObjectChanged();
    }
}

TChartHiddenPen* TPlotFont::OutLine() {
    if (!FOutLine)
        FOutLine = std::make_unique<TChartHiddenPen>([this](TObject*) { SubObjectChanged(); });
    return FOutLine.get();
}

void TPlotFont::SetOutLine(TChartHiddenPen* Value) {
    if (!Value) {
        if (FOutLine) {
            FOutLine.reset();
            SubObjectChanged();
        }
    } else if (Value != FOutLine.get()) {
        OutLine()->Assign(Value);
    }
}

TPlotShadow* TPlotFont::Shadow() {
    if (!FShadow)
        FShadow = std::make_unique<TPlotShadow>([this](TObject*) { SubObjectChanged(); });
    return FShadow.get();
}

void TPlotFont::SetShadow(TPlotShadow* Value) {
    if (!Value) {
        if (FShadow) {
            FShadow.reset();
            SubObjectChanged();
        }
    } else if (Value != FShadow.get()) {
        Shadow()->Assign(Value);
    }
}

void TPlotFont::SetInterCharSize(int Value) {
    if (Value != FInterCharSize) {
        FInterCharSize = Value;
        SubObjectChanged();
    }
}

void TPlotFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TPlotFont*>(Source)) {
        SetGradient(f->FGradient.get());
        SetInterCharSize(f->FInterCharSize);
        SetOutLine(f->FOutLine.get());
        SetShadow(f->FShadow.get());
    }
    TFont::Assign(Source);
}

PLAT_PROPERTIES(TPlotFont) {
    props.Integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET);
    props.Color("Color", &TFont::Color, &TFont::SetColor).Stored(&TPlotFont::IsColorStored);
    props.Object("Gradient", &TPlotFont::Gradient, &TPlotFont::SetGradient).Stored(&TPlotFont::HasGradient);
    props.Integer("Height", &TFont::Height, &TFont::SetHeight).Stored(&TPlotFont::IsHeightStored);
    props.Integer("InterCharSize", &TPlotFont::InterCharSize, &TPlotFont::SetInterCharSize, 0);
    props.String("Name", &TFont::Name, &TFont::SetName).Stored(&TPlotFont::IsNameStored);
    props.Object("OutLine", &TPlotFont::OutLine, &TPlotFont::SetOutLine).Stored(&TPlotFont::HasOutLine);
    props.Object("Shadow", &TPlotFont::Shadow, &TPlotFont::SetShadow).Stored(&TPlotFont::HasShadow);
    props.Set("Style", &TFont::Style, &TFont::SetStyle, kFontStyleNames).Stored(&TPlotFont::IsStyleStored);
}

// ---- TPlotShadow ----

TPlotShadow::TPlotShadow(TNotifyEvent ChangeHandler) : OnChange(std::move(ChangeHandler)) {}

TPlotShadow::~TPlotShadow() = default;

void TPlotShadow::Changed() {
    if (OnChange)
        OnChange(this);
}

void TPlotShadow::SetColor(TColor Value) {
    if (Value != FColor) {
        FColor = Value;
        Changed();
    }
}

void TPlotShadow::SetHorizSize(int Value) {
    if (Value != FHorizSize) {
        FHorizSize = Value;
        Changed();
    }
}

void TPlotShadow::SetVertSize(int Value) {
    if (Value != FVertSize) {
        FVertSize = Value;
        Changed();
    }
}

void TPlotShadow::SetSmooth(bool Value) {
    if (Value != FSmooth) {
        FSmooth = Value;
        Changed();
    }
}

void TPlotShadow::SetTransparency(TPlotTransparency Value) {
    Value = std::min<TPlotTransparency>(Value, 100);
    if (Value != FTransparency) {
        FTransparency = Value;
        Changed();
    }
}

void TPlotShadow::SetBothSizes(int Value) {
    SetHorizSize(Value);
    SetVertSize(Value);
}

void TPlotShadow::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPlotShadow*>(Source)) {
        SetColor(s->FColor);
        SetHorizSize(s->FHorizSize);
        SetSmooth(s->FSmooth);
        SetTransparency(s->FTransparency);
        SetVertSize(s->FVertSize);
        return;
    }
    TPersistent::Assign(Source);
}

bool TPlotShadow::PrepareDraw(TCanvas3D& Canvas, const TRect& Rect, int Z) {
    if (FColor == clNone || (FHorizSize == 0 && FVertSize == 0))
        return false;
    Canvas.Brush()->SetColor(FColor);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Pen()->SetStyle(psClear);
    if (FTransparency != 0) {
        TRect r = Rect;
        OffsetRect(r, FHorizSize, FVertSize);
        FActiveBlend = Canvas.BeginBlend(Canvas.RectBounds3D(r, Z), FTransparency);
    }
    return true;
}

void TPlotShadow::FinishDraw(TCanvas3D& Canvas) {
    if (FTransparency != 0 && FActiveBlend)
        Canvas.EndBlend(std::move(FActiveBlend));
    FActiveBlend.reset();
}

void TPlotShadow::DrawRect(TCanvas3D& Canvas, const TRect& Rect, int Z) {
    if (!PrepareDraw(Canvas, Rect, Z))
        return;
    const int H = FHorizSize, V = FVertSize;
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
    const bool flat = Canvas.RotationDisabled() != 0;
    if (FSmooth && MaxSize() > 1) {
        Canvas.Pen()->SetStyle(psSolid);
        TColor rgb = ColorToRGB(FColor);
        double grey = (GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3.0;
        auto step = [grey](int n) { return RoundToInt((255 - grey) / n); };
        if (V > 0) {
            int s = step(V);
            Canvas.Pen()->SetColor(FColor);
            for (int i = 1; i <= V; ++i) {
                int x1 = R + H + i - V - 1, y = B + i - 1;
                if (flat)
                    Canvas.HorizLine(L + H, x1, y);
                else
                    Canvas.HorizLine3D(L + H, x1, y, Z);
                Canvas.Pen()->SetColor(LighterColor(Canvas.Pen()->Color(), s));
            }
        }
        if (H > 0) {
            int s = step(H);
            Canvas.Pen()->SetColor(FColor);
            for (int i = 0; i < H; ++i) {
                int x = R + i, y1 = B + i + V - H;
                TColor c = Canvas.Pen()->Color();
                if (flat) {
                    Canvas.VertLine(x, T + V, y1);
                    Canvas.SetPixel(x - 1, y1 - 1, c);
                } else {
                    Canvas.VertLine3D(x, T + V, y1, Z);
                    Canvas.SetPixel3D(x - 1, y1 - 1, Z, c);
                }
                Canvas.Pen()->SetColor(LighterColor(c, s));
            }
        }
    } else if (flat) {
        if (V > 0)
            Canvas.Rectangle(L + H, B, R + H, B + 1 + V);
        else if (V < 0)
            Canvas.Rectangle(L + H, T + 1, R + H, T + V);
        if (H > 0)
            Canvas.Rectangle(R, T + V, R + 1 + H, B + V + 1);
        else if (H < 0)
            Canvas.Rectangle(L + 1, T + V, L + H, B + V + 1);
    } else {
        Canvas.RectangleWithZCoords(L + H, B, R + H, B + V, Z);
        Canvas.RectangleWithZCoords(R, T + V, R + H, B + V, Z);
    }
    FinishDraw(Canvas);
}

void TPlotShadow::DrawEllipse(TCanvas3D& Canvas, const TRect& Rect, int Z) {
    if (!PrepareDraw(Canvas, Rect, Z))
        return;
    TRect r(Rect.Left + FHorizSize, Rect.Top + FVertSize, Rect.Right + FHorizSize, Rect.Bottom + FVertSize);
    if (FSmooth) {
        TRect p = Canvas.CalcRect3D(r, Z);
        Canvas.ClipEllipse(p, false);
        TPlotGradient g;
        g.SetDirection(gdRadial);
        g.SetStartColor(DarkerColor(FColor, 128));
        g.SetEndColor(LighterColor(FColor, 32));
        g.FillRadial(Canvas, p);
        Canvas.UnClip();
    } else {
        Canvas.EllipseWithZ(r.Left, r.Top, r.Right, r.Bottom, Z);
    }
    FinishDraw(Canvas);
}

PLAT_PROPERTIES(TPlotShadow) {
    props.Color("Color", &TPlotShadow::Color, &TPlotShadow::SetColor).Stored(&TPlotShadow::IsColorStored);
    props.Integer("HorizSize", &TPlotShadow::HorizSize, &TPlotShadow::SetHorizSize)
        .Stored(&TPlotShadow::IsHorizSizeStored);
    props.Boolean("Smooth", &TPlotShadow::Smooth, &TPlotShadow::SetSmooth, true);
    props.Integer("Transparency", &TPlotShadow::Transparency, &TPlotShadow::SetTransparency, 0);
    props.Integer("VertSize", &TPlotShadow::VertSize, &TPlotShadow::SetVertSize)
        .Stored(&TPlotShadow::IsVertSizeStored);
}

} // namespace chart
