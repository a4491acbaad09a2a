#include "platform/gfx/Canvas.h"

#include <cmath>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/PropertyInfo.h"

namespace plat {

PLAT_CLASS_INFO(TPen, TPersistent)
PLAT_CLASS_INFO(TBrush, TPersistent)
PLAT_CLASS_INFO(TFont, TPersistent)
PLAT_CLASS_INFO(TCanvas, TPersistent)

// Defaults are the ones a new object has, so an untouched attribute writes nothing. Colour comes before
// style: setting a colour makes a clear brush solid again.
PLAT_PROPERTIES(TPen) {
    props.Color("Color", &TPen::Color, &TPen::SetColor, clBlack);
    props.Enum("Mode", &TPen::Mode, &TPen::SetMode, kPenModeNames, pmCopy);
    props.Enum("Style", &TPen::Style, &TPen::SetStyle, kPenStyleNames, psSolid);
    props.Integer("Width", &TPen::Width, &TPen::SetWidth, 1);
}

PLAT_PROPERTIES(TBrush) {
    props.Color("Color", &TBrush::Color, &TBrush::SetColor, clWhite);
    props.Enum("Style", &TBrush::Style, &TBrush::SetStyle, kBrushStyleNames, bsSolid);
}

// Size is read (layouts may give it) but never written: Height says the same without rounding.
PLAT_PROPERTIES(TFont) {
    // A stored font writes all of itself: a value equal to the class default may still differ from the
    // parent's font that the control would otherwise take on reading.
    props.Integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET).NoDefault();
    props.Color("Color", &TFont::Color, &TFont::SetColor, clWindowText).NoDefault();
    props.Integer("Height", &TFont::Height, &TFont::SetHeight, -11).NoDefault();
    props.String("Name", &TFont::Name, &TFont::SetName, "MS Sans Serif").NoDefault();
    props.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, kFontPitchNames, fpDefault);
    props.Integer("Size", &TFont::Size, &TFont::SetSize).Stored(false);
    props.Set("Style", &TFont::Style, &TFont::SetStyle, kFontStyleNames, TFontStyles(0)).NoDefault();
}

int PenModeToRop2(TPenMode mode) {
    static const int rops[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                               R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    static_assert(std::size(rops) == pmNotXor + 1);
    return mode >= pmBlack && mode <= pmNotXor ? rops[mode] : R2_COPYPEN;
}

// ---- TPen ----

TPen::TPen() = default;

void TPen::Changed() {
    FHandle.reset();
    if (OnChange)
        OnChange(this);
}

void TPen::SetColor(TColor value) {
    if (value != FColor) {
        FColor = value;
        Changed();
    }
}

void TPen::SetWidth(int value) {
    if (value >= 0 && value != FWidth) {
        FWidth = value;
        Changed();
    }
}

void TPen::SetStyle(TPenStyle value) {
    if (value != FStyle) {
        FStyle = value;
        Changed();
    }
}

void TPen::SetMode(TPenMode value) {
    if (value != FMode) {
        FMode = value;
        // The mode is a context setting, not part of the pen object: the handle stays.
        if (OnChange)
            OnChange(this);
    }
}

HPEN TPen::Handle() {
    if (!FHandle) {
        uint32_t style = FStyle == psClear ? PS_NULL : static_cast<uint32_t>(FStyle);
        if (FStyle == psAlternate) {
            FHandle = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, TLogBrush{BS_SOLID, FColor, 0});
        } else {
            FHandle = CreatePen(style, FWidth, FColor);
        }
    }
    return FHandle;
}

void TPen::SetHandle(HPEN pen) {
    FHandle = std::move(pen);
    if (OnChange)
        OnChange(this);
}

void TPen::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TPen*>(source)) {
        bool changed = p->FColor != FColor || p->FWidth != FWidth || p->FStyle != FStyle || p->FMode != FMode;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        if (changed)
            Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- TBrush ----

TBrush::TBrush() = default;

void TBrush::Changed() {
    FHandle.reset();
    if (OnChange)
        OnChange(this);
}

void TBrush::SetColor(TColor value) {
    if (value != FColor) {
        FColor = value;
        // Setting a colour on a clear brush makes it solid, as users of a canvas expect.
        if (FStyle == bsClear)
            FStyle = bsSolid;
        Changed();
    }
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value != FStyle) {
        FStyle = value;
        Changed();
    }
}

void TBrush::SetBitmap(TBitmap* value) {
    if (value != FBitmap) {
        FBitmap = value;
        Changed();
    }
}

HBRUSH TBrush::Handle() {
    if (!FHandle) {
        if (FBitmap && !FBitmap->Empty()) {
            FHandle = CreatePatternBrush(FBitmap->Surface(), FBitmap->Monochrome());
        } else {
            switch (FStyle) {
            case bsSolid:
                FHandle = CreateSolidBrush(FColor);
                break;
            case bsClear:
                FHandle = GetStockBrush(NULL_BRUSH);
                break;
            default:
                FHandle = CreateHatchBrush(static_cast<uint32_t>(FStyle - bsHorizontal), FColor);
                break;
            }
        }
    }
    return FHandle;
}

void TBrush::SetHandle(HBRUSH brush) {
    FHandle = std::move(brush);
    if (OnChange)
        OnChange(this);
}

void TBrush::Assign(TPersistent* source) {
    if (auto* b = dynamic_cast<TBrush*>(source)) {
        bool changed = b->FColor != FColor || b->FStyle != FStyle || b->FBitmap != FBitmap;
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        if (changed)
            Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- TFont ----

TFont::TFont() = default;

void TFont::Changed() {
    FHandle.reset();
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(const std::string& value) {
    if (!value.empty() && value != FName) {
        FName = value;
        Changed();
    }
}

int TFont::Size() const {
    return -static_cast<int>(std::lround(FHeight * 72.0 / FPixelsPerInch));
}

void TFont::SetSize(int value) {
    SetHeight(-static_cast<int>(std::lround(value * double(FPixelsPerInch) / 72.0)));
}

void TFont::SetHeight(int value) {
    if (value != FHeight) {
        FHeight = value;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles value) {
    if (value != FStyle) {
        FStyle = value;
        Changed();
    }
}

void TFont::SetColor(TColor value) {
    if (value != FColor) {
        FColor = value;
        // The colour is applied as the text colour; the font object stays.
        if (OnChange)
            OnChange(this);
    }
}

void TFont::SetOrientation(int value) {
    if (value != FOrientation) {
        FOrientation = value;
        Changed();
    }
}

void TFont::SetPitch(TFontPitch value) {
    if (value != FPitch) {
        FPitch = value;
        Changed();
    }
}

void TFont::SetCharset(uint8_t value) {
    if (value != FCharset) {
        FCharset = value;
        Changed();
    }
}

TLogFont TFont::LogFont() const {
    TLogFont lf;
    lf.Height = FHeight;
    lf.Escapement = FOrientation;
    lf.Orientation = FOrientation;
    lf.Weight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.Italic = FStyle & fsItalic;
    lf.Underline = FStyle & fsUnderline;
    lf.StrikeOut = FStyle & fsStrikeOut;
    lf.CharSet = FCharset;
    lf.PitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                        : FPitch == fpVariable ? VARIABLE_PITCH
                                               : DEFAULT_PITCH;
    lf.FaceName = FName;
    return lf;
}

HFONT TFont::Handle() {
    if (!FHandle)
        FHandle = CreateFontIndirect(LogFont());
    return FHandle;
}

void TFont::SetHandle(HFONT font) {
    if (!font)
        return;
    const TLogFont& lf = font->LogFont;
    FName = lf.FaceName.empty() ? FName : lf.FaceName;
    FHeight = lf.Height;
    FOrientation = lf.Escapement;
    FStyle = static_cast<TFontStyles>((lf.Weight >= 600 ? fsBold : 0) | (lf.Italic ? fsItalic : 0) |
                                      (lf.Underline ? fsUnderline : 0) | (lf.StrikeOut ? fsStrikeOut : 0));
    FCharset = lf.CharSet;
    int pitch = lf.PitchAndFamily & 3;
    FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    FHandle = std::move(font);
    if (OnChange)
        OnChange(this);
}

void TFont::Assign(TPersistent* source) {
    if (auto* f = dynamic_cast<TFont*>(source)) {
        bool changed = f->FName != FName || f->FHeight != FHeight || f->FStyle != FStyle ||
                       f->FColor != FColor || f->FOrientation != FOrientation || f->FPitch != FPitch ||
                       f->FCharset != FCharset;
        FName = f->FName;
        // The size in points carries over between resolutions.
        FHeight =
            f->FPixelsPerInch == FPixelsPerInch
                ? f->FHeight
                : static_cast<int>(std::lround(f->FHeight * double(FPixelsPerInch) / f->FPixelsPerInch));
        FStyle = f->FStyle;
        FColor = f->FColor;
        FOrientation = f->FOrientation;
        FPitch = f->FPitch;
        FCharset = f->FCharset;
        if (changed)
            Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- TCanvas ----

TCanvas::TCanvas(TDeviceContext* dc) : FHandle(dc) {
    if (dc)
        FState = csHandleValid;
    FPen.OnChange = [this](TObject*) { FState &= ~csPenValid; };
    FBrush.OnChange = [this](TObject*) { FState &= ~csBrushValid; };
    FFont.OnChange = [this](TObject*) { FState &= ~csFontValid; };
}

TCanvas::~TCanvas() = default;

void TCanvas::SetHandle(TDeviceContext* dc) {
    if (dc != FHandle) {
        FHandle = dc;
        FState = dc ? unsigned(csHandleValid) : 0u;
    }
}

void TCanvas::RequiredState(unsigned state) {
    unsigned need = state & ~FState;
    if (!need)
        return;
    if (need & csHandleValid) {
        CreateHandle();
        if (!FHandle)
            throw EInvalidOperation("Canvas does not allow drawing");
        FState |= csHandleValid;
    }
    if (need & csFontValid) {
        FHandle->SelectFont(FFont.Handle());
        FHandle->SetTextColor(ColorToRGB(FFont.Color()));
        FState |= csFontValid;
    }
    if (need & csPenValid) {
        FHandle->SelectPen(FPen.Handle());
        FHandle->SetROP2(PenModeToRop2(FPen.Mode()));
        FState |= csPenValid;
    }
    if (need & csBrushValid) {
        FHandle->SelectBrush(FBrush.Handle());
        if (FBrush.Style() == bsSolid && !FBrush.Bitmap()) {
            FHandle->SetBkColor(ColorToRGB(FBrush.Color()));
            FHandle->SetBkMode(OPAQUE);
        } else {
            FHandle->SetBkColor(~ColorToRGB(FBrush.Color()) & 0x00FFFFFF);
            FHandle->SetBkMode(TRANSPARENT);
        }
        FState |= csBrushValid;
    }
}

TDeviceContext* TCanvas::Handle() {
    Changing();
    RequiredState(csAllValid);
    return FHandle;
}

void TCanvas::Changing() {
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange)
        OnChange(this);
}

void TCanvas::Refresh() {
    FState &= csHandleValid;
}

void TCanvas::MoveTo(int x, int y) {
    RequiredState(csHandleValid);
    FHandle->MoveToEx(x, y);
    FPenPos = TPoint(x, y);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->MoveToEx(FPenPos.X, FPenPos.Y);
    FHandle->LineTo(x, y);
    FPenPos = TPoint(x, y);
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->Polyline(points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->Polygon(points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::PolyBezier(std::span<const TPoint> points) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->PolyBezier(points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->Rectangle(x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->RoundRect(x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->Ellipse(x1, y1, x2, y2);
    Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->Arc(x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->Pie(x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    FHandle->Chord(x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    FHandle->FillRect(r, FBrush.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    FHandle->FrameRect(r, FBrush.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    plat::DrawFocusRect(*FHandle, r);
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    FHandle->ExtTextOut(x, y, 0, nullptr, text);
    MoveTo(x + FHandle->TextExtent(text).cx, y);
    Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    uint32_t options = ETO_CLIPPED;
    if (FBrush.Style() != bsClear)
        options |= ETO_OPAQUE;
    FHandle->ExtTextOut(x, y, options, &rect, text);
    Changed();
}

void TCanvas::TextRect(TRect& rect, const std::string& text, TTextFormat format) {
    bool measuring = format & DT_CALCRECT;
    if (!measuring)
        Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    plat::DrawText(*FHandle, text, rect, format);
    if (!measuring)
        Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
    RequiredState(csHandleValid | csFontValid);
    return FHandle->TextExtent(text);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty())
        return;
    RequiredState(csHandleValid);
    graphic->Draw(*this, TRect(x, y, x + graphic->Width(), y + graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!graphic)
        return;
    RequiredState(csHandleValid);
    graphic->Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
    if (!canvas)
        return;
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    TDeviceContext* src = canvas->Handle();
    FHandle->StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top,
                        source.Width(), source.Height(), FCopyMode);
    Changed();
}

TColor TCanvas::Pixels(int x, int y) {
    RequiredState(csHandleValid);
    return FHandle->GetPixel(x, y);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    Changing();
    RequiredState(csHandleValid);
    FHandle->SetPixel(x, y, ColorToRGB(color));
    Changed();
}

TRect TCanvas::ClipRect() {
    RequiredState(csHandleValid);
    TRect r;
    FHandle->GetClipBox(r);
    return r;
}

void TCanvas::Lock() {
    FLock.lock();
    ++FLockCount;
}

void TCanvas::Unlock() {
    --FLockCount;
    FLock.unlock();
}

bool TCanvas::TryLock() {
    if (!FLock.try_lock())
        return false;
    ++FLockCount;
    return true;
}

} // namespace plat
