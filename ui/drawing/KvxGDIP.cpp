#include "ui/drawing/KvxGDIP.h"

#include <algorithm>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/StringUtils.h"

namespace ui {

using plat::TAAStatus;

namespace {

constexpr TGPStatus kNullHandle = TAAStatus::InvalidParameter;

plat::TAARectF ToAA(const TGdipRectF& r) {
    return {r.X, r.Y, r.Width, r.Height};
}

plat::TAAPointF ToAA(TGdipPoint p) {
    return {static_cast<float>(p.X), static_cast<float>(p.Y)};
}

// The bytes a text call draws: Length bytes at most, cut back so that no character is split.
std::string_view TextPart(std::string_view text, int length) {
    if (length < 0) {
        size_t zero = text.find('\0');
        return zero == std::string_view::npos ? text : text.substr(0, zero);
    }
    size_t n = std::min(text.size(), static_cast<size_t>(length));
    while (n > 0 && n < text.size() && plat::IsUtf8Continuation(text[n]))
        --n;
    return text.substr(0, n);
}

template <class W> auto HandleOf(const W* wrapper) -> decltype(wrapper->Handle()) {
    return wrapper ? wrapper->Handle() : nullptr;
}

} // namespace

TGPColor MakeGdipColor(plat::TColor Color) {
    const uint32_t rgb = static_cast<uint32_t>(plat::ColorToRGB(Color));
    const uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

TGdipPoint MakeGdipPoint(int X, int Y) {
    return {X, Y};
}

TGdipRectF MakeGdipRectF(float X, float Y, float Width, float Height) {
    return {X, Y, Width, Height};
}

// --- pen and brushes

TGPPen::TGPPen(TGPColor Color, float Width) : FHandle(std::make_unique<plat::TAAPen>(Color, Width)) {
    Created(FHandle);
}

void TGPPen::SetDashStyle(int DashStyle) {
    Keep(FHandle ? FHandle->SetDashStyle(DashStyle) : kNullHandle);
}

TGPSolidBrush::TGPSolidBrush(TGPColor Color) {
    Adopt(std::make_unique<plat::TAASolidBrush>(Color));
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGdipRectF& Rect, TGPColor Color1, TGPColor Color2,
                                               int Mode) {
    auto brush = std::make_unique<plat::TAALinearGradientBrush>(ToAA(Rect), Color1, Color2, Mode);
    if (brush->Valid())
        brush->SetWrapMode(plat::aawmTile);
    Adopt(std::move(brush));
}

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath* Path) {
    if (!HandleOf(Path)) {
        CreateFailed(kNullHandle);
        return;
    }
    Adopt(std::make_unique<plat::TAAPathGradientBrush>(Path->Handle()));
}

plat::TAAPathGradientBrush* TGPPathGradientBrush::Gradient() const {
    return static_cast<plat::TAAPathGradientBrush*>(FHandle.get());
}

TGPStatus TGPPathGradientBrush::SetCenterColor(TGPColor Color) {
    Keep(FHandle ? Gradient()->SetCenterColor(Color) : kNullHandle);
    return GetLastStatus();
}

int TGPPathGradientBrush::GetPointCount() {
    if (!FHandle) {
        Keep(kNullHandle);
        return 0;
    }
    return Gradient()->PointCount();
}

void TGPPathGradientBrush::SetSurroundColors(const TGPColor* Colors, int& Count) {
    const int points = GetPointCount();
    if (!Colors || points <= 0 || Count > points) {
        Keep(TAAStatus::InvalidParameter);
        return;
    }
    int taken = Count;
    Keep(Gradient()->SetSurroundColors(Colors, taken));
    if (GetLastStatus() == TAAStatus::Ok)
        Count = taken;
}

void TGPPathGradientBrush::SetCenterPoint(TGdipPoint Point) {
    Keep(FHandle ? Gradient()->SetCenterPoint(ToAA(Point)) : kNullHandle);
}

// --- path and region

TGPGraphicsPath::TGPGraphicsPath(int FillMode) : FHandle(std::make_unique<plat::TAAPath>(FillMode)) {
    Created(FHandle);
}

TGPStatus TGPGraphicsPath::CloseFigure() {
    return Keep(FHandle ? FHandle->CloseFigure() : kNullHandle);
}

TGPStatus TGPGraphicsPath::AddLine(float X1, float Y1, float X2, float Y2) {
    return Keep(FHandle ? FHandle->AddLine(X1, Y1, X2, Y2) : kNullHandle);
}

TGPStatus TGPGraphicsPath::AddArc(float X, float Y, float Width, float Height, float StartAngle,
                                  float SweepAngle) {
    return Keep(FHandle ? FHandle->AddArc(X, Y, Width, Height, StartAngle, SweepAngle) : kNullHandle);
}

TGPStatus TGPGraphicsPath::AddEllipse(float X, float Y, float Width, float Height) {
    return Keep(FHandle ? FHandle->AddEllipse(X, Y, Width, Height) : kNullHandle);
}

TGPStatus TGPGraphicsPath::AddCurve(const TGdipPoint* Points, int Count, float Tension) {
    if (!FHandle || !Points || Count < 0)
        return Keep(kNullHandle);
    std::vector<plat::TAAPointF> points(static_cast<size_t>(Count));
    for (int i = 0; i < Count; ++i)
        points[i] = ToAA(Points[i]);
    return Keep(FHandle->AddCurve(points.data(), Count, Tension));
}

TGPStatus TGPGraphicsPath::AddBezier(float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4,
                                     float Y4) {
    return Keep(FHandle ? FHandle->AddBezier(X1, Y1, X2, Y2, X3, Y3, X4, Y4) : kNullHandle);
}

TGPStatus TGPGraphicsPath::AddBezierPoints(TGdipPoint P1, TGdipPoint P2, TGdipPoint P3, TGdipPoint P4) {
    auto f = [](int32_t v) { return static_cast<float>(v); };
    return AddBezier(f(P1.X), f(P1.Y), f(P2.X), f(P2.Y), f(P3.X), f(P3.Y), f(P4.X), f(P4.Y));
}

TGPRegion::TGPRegion(const TGdipRectF& Rect) : FHandle(std::make_unique<plat::TAARegion>(ToAA(Rect))) {
    Created(FHandle);
}

TGPRegion::TGPRegion(const TGPGraphicsPath* Path) {
    if (!HandleOf(Path)) {
        CreateFailed(kNullHandle);
        return;
    }
    FHandle = std::make_unique<plat::TAARegion>(Path->Handle());
    Created(FHandle);
}

void TGPRegion::ExcludePath(const TGPGraphicsPath* Path) {
    Keep(FHandle && HandleOf(Path) ? FHandle->Combine(Path->Handle(), plat::aacmExclude) : kNullHandle);
}

void TGPRegion::UnionRegion(const TGPRegion* Region) {
    Keep(FHandle && HandleOf(Region) ? FHandle->Combine(Region->Handle(), plat::aacmUnion) : kNullHandle);
}

// --- text

TGPFontFamily::TGPFontFamily(const std::string& Name) : FHandle(std::make_unique<plat::TAAFontFamily>(Name)) {
    Created(FHandle);
}

std::unique_ptr<TGPFontFamily> CreateGdipFontFamily(const std::string& Name) {
    auto family = std::make_unique<TGPFontFamily>(Name);
    const TGPStatus st = family->GetLastStatus();
    if (st == TAAStatus::FontFamilyNotFound || st == TAAStatus::FontStyleNotFound)
        family = std::make_unique<TGPFontFamily>("Arial");
    return family;
}

TGPFont::TGPFont(const TGPFontFamily* Family, float EmSize, int Style, int Unit) {
    if (!HandleOf(Family)) {
        CreateFailed(kNullHandle);
        return;
    }
    FHandle = std::make_unique<plat::TAAFont>(Family->Handle(), EmSize, Style, Unit);
    Created(FHandle);
}

TGPStringFormat::TGPStringFormat(int FormatFlags, int Language)
    : FHandle(std::make_unique<plat::TAAStringFormat>(FormatFlags, Language)) {
    Created(FHandle);
}

void TGPStringFormat::SetAlign(int Align) {
    Keep(FHandle ? FHandle->SetAlignment(Align) : kNullHandle);
}

void TGPStringFormat::SetLineAlign(int Align) {
    Keep(FHandle ? FHandle->SetLineAlignment(Align) : kNullHandle);
}

void TGPStringFormat::SetTrimming(StringTrimming Trimming) {
    Keep(FHandle ? FHandle->SetTrimming(Trimming) : kNullHandle);
}

void TGPStringFormat::SetHotkeyPrefix(int Prefix) {
    Keep(FHandle ? FHandle->SetHotkeyPrefix(Prefix) : kNullHandle);
}

// --- image

TGPImage::TGPImage(plat::TStream& Stream, bool /*UseEmbeddedColorManagement*/)
    : FHandle(std::make_unique<plat::TAAImage>(Stream)) {
    Created(FHandle);
}

TGPImage::TGPImage(const uint8_t* Data, size_t Size) : FHandle(std::make_unique<plat::TAAImage>(Data, Size)) {
    Created(FHandle);
}

TGPImage::TGPImage(plat::TBitmap& Bitmap) : FHandle(std::make_unique<plat::TAAImage>(Bitmap)) {
    Created(FHandle);
}

TGPRawFormat TGPImage::GetFormat() {
    if (!FHandle) {
        Keep(kNullHandle);
        return rfUndefined;
    }
    switch (FHandle->RawFormat()) {
    case plat::aarfMemoryBMP:
        return rfMemoryBMP;
    case plat::aarfBMP:
        return rfBMP;
    case plat::aarfEMF:
        return rfEMF;
    case plat::aarfWMF:
        return rfWMF;
    case plat::aarfJPEG:
        return rfJPEG;
    case plat::aarfPNG:
        return rfPNG;
    case plat::aarfGIF:
        return rfGIF;
    case plat::aarfTIFF:
        return rfTIFF;
    case plat::aarfEXIF:
        return rfEXIF;
    case plat::aarfIcon:
        return rfIcon;
    default:
        return rfUndefined;
    }
}

int TGPImage::GetWidth() {
    if (!FHandle) {
        Keep(kNullHandle);
        return 0;
    }
    return FHandle->Width();
}

int TGPImage::GetHeight() {
    if (!FHandle) {
        Keep(kNullHandle);
        return 0;
    }
    return FHandle->Height();
}

// --- graphics

TGPGraphics::TGPGraphics(plat::TDeviceContext* DC) {
    if (!DC) {
        CreateFailed(kNullHandle);
        return;
    }
    FHandle = std::make_unique<plat::TAAGraphics>(DC);
    Created(FHandle);
}

TGPGraphics::TGPGraphics(plat::TCanvas& Canvas) : TGPGraphics(Canvas.Handle()) {}

void TGPGraphics::SetTextRenderingHint(int Hint) {
    Keep(FHandle ? FHandle->SetTextRenderingHint(Hint) : kNullHandle);
}

TGPStatus TGPGraphics::SetSmoothingMode(int Mode) {
    return Keep(FHandle ? FHandle->SetSmoothingMode(Mode) : kNullHandle);
}

TGPStatus TGPGraphics::DrawPath(const TGPPen* Pen, const TGPGraphicsPath* Path) {
    return Keep(FHandle ? FHandle->DrawPath(HandleOf(Pen), HandleOf(Path)) : kNullHandle);
}

TGPStatus TGPGraphics::FillPath(const TGPBrush* Brush, const TGPGraphicsPath* Path) {
    return Keep(FHandle ? FHandle->FillPath(HandleOf(Brush), HandleOf(Path)) : kNullHandle);
}

TGPStatus TGPGraphics::DrawLine(const TGPPen* Pen, float X1, float Y1, float X2, float Y2) {
    return Keep(FHandle ? FHandle->DrawLine(HandleOf(Pen), X1, Y1, X2, Y2) : kNullHandle);
}

TGPStatus TGPGraphics::FillRectF(const TGPBrush* Brush, const TGdipRectF& Rect) {
    return FillRectangle(Brush, Rect.X, Rect.Y, Rect.Width, Rect.Height);
}

TGPStatus TGPGraphics::FillRectangle(const TGPBrush* Brush, float X, float Y, float Width, float Height) {
    return Keep(FHandle ? FHandle->FillRectangle(HandleOf(Brush), X, Y, Width, Height) : kNullHandle);
}

TGPStatus TGPGraphics::DrawRectangle(const TGPPen* Pen, float X, float Y, float Width, float Height) {
    return Keep(FHandle ? FHandle->DrawRectangle(HandleOf(Pen), X, Y, Width, Height) : kNullHandle);
}

TGPStatus TGPGraphics::DrawString(std::string_view Text, int Length, const TGPFont* Font,
                                  const TGdipRectF& LayoutRect, const TGPStringFormat* Format,
                                  const TGPBrush* Brush) {
    if (!FHandle)
        return Keep(kNullHandle);
    return Keep(FHandle->DrawString(TextPart(Text, Length), HandleOf(Font), ToAA(LayoutRect),
                                    HandleOf(Format), HandleOf(Brush)));
}

TGPStatus TGPGraphics::MeasureString(std::string_view Text, int Length, const TGPFont* Font,
                                     const TGdipRectF& LayoutRect, const TGPStringFormat* Format,
                                     TGdipRectF& BoundingBox, int* CodepointsFitted, int* LinesFilled) {
    if (!FHandle)
        return Keep(kNullHandle);
    plat::TAARectF box;
    TGPStatus st = FHandle->MeasureString(TextPart(Text, Length), HandleOf(Font), ToAA(LayoutRect),
                                          HandleOf(Format), box, CodepointsFitted, LinesFilled);
    if (st == TAAStatus::Ok)
        BoundingBox = {box.X, box.Y, box.Width, box.Height};
    return Keep(st);
}

void TGPGraphics::DrawImageRect(TGPImage* Image, int X, int Y, int Width, int Height) {
    Keep(FHandle ? FHandle->DrawImage(HandleOf(Image), static_cast<float>(X), static_cast<float>(Y),
                                      static_cast<float>(Width), static_cast<float>(Height))
                 : kNullHandle);
}

void TGPGraphics::SetClipRegion(const TGPRegion* Region, int CombineMode) {
    Keep(FHandle && HandleOf(Region) ? FHandle->SetClip(Region->Handle(), CombineMode) : kNullHandle);
}

TGPStatus TGPGraphics::ResetClip() {
    return Keep(FHandle ? FHandle->ResetClip() : kNullHandle);
}

void ApplyAntiAlias(TGPGraphics& Graphics, TAntiAlias AntiAlias) {
    switch (AntiAlias) {
    case aaClearType:
        Graphics.SetTextRenderingHint(plat::aathClearTypeGridFit);
        break;
    case aaAntiAlias:
        Graphics.SetTextRenderingHint(plat::aathAntiAlias);
        break;
    case aaNone:
        break;
    }
}

} // namespace ui
