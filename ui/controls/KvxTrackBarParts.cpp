// The slider's persistent parts, its value hint window, the label formatter and the style presets.
#include <algorithm>
#include <iterator>

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemServices.h"
#include "platform/ui/Window.h"
#include "ui/controls/KvxTrackBar.h"

namespace ui {

using namespace plat;
using namespace trackbar;

PLAT_CLASS_INFO(TTrackBarPart, plat::TPersistent)
PLAT_CLASS_INFO(TTrackBarFace, TTrackBarPart)
PLAT_CLASS_INFO(TTrackBarThumb, TTrackBarFace)
PLAT_CLASS_INFO(TTrackBarSlider, TTrackBarPart)
PLAT_CLASS_INFO(TTrackBarTick, TTrackBarPart)
PLAT_CLASS_INFO(TTrackBarButtons, TTrackBarFace)
PLAT_CLASS_INFO(TTrackBarLabel, TTrackBarPart)
PLAT_CLASS_INFO(TTrackHintWindow, plat::THintWindow)

// ---- Label text ----------------------------------------------------------------------------------------

namespace trackbar {

std::string FormatTrackLabel(std::string_view Format, int Value) {
    std::string out;
    size_t i = 0;
    while (i < Format.size()) {
        const char c = Format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < Format.size() && Format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // %[flags][width]d; anything else is copied as it stands.
        size_t j = i + 1;
        bool left = false, plus = false, space = false, zero = false;
        for (; j < Format.size(); ++j) {
            const char f = Format[j];
            if (f == '-')
                left = true;
            else if (f == '+')
                plus = true;
            else if (f == ' ')
                space = true;
            else if (f == '0')
                zero = true;
            else
                break;
        }
        size_t width = 0;
        const size_t digitsAt = j;
        while (j < Format.size() && Format[j] >= '0' && Format[j] <= '9' && j - digitsAt < 4)
            width = width * 10 + static_cast<size_t>(Format[j++] - '0');
        if (j >= Format.size() || (Format[j] != 'd' && Format[j] != 'D')) {
            out += c;
            ++i;
            continue;
        }
        std::string digits = std::to_string(int64_t(Value) < 0 ? -int64_t(Value) : int64_t(Value));
        std::string sign = Value < 0 ? "-" : plus ? "+" : space ? " " : "";
        std::string body;
        if (zero && !left && sign.size() + digits.size() < width)
            body = sign + std::string(width - sign.size() - digits.size(), '0') + digits;
        else
            body = sign + digits;
        if (body.size() < width)
            body = left ? body + std::string(width - body.size(), ' ')
                        : std::string(width - body.size(), ' ') + body;
        out += body;
        i = j + 1;
    }
    return out;
}

} // namespace trackbar

// ---- Common --------------------------------------------------------------------------------------------

TPersistent* TTrackBarPart::GetOwner() const {
    return FOwner;
}

std::unique_ptr<TGDIPPicture> TTrackBarPart::NewPicture(TNotifyEvent Handler) {
    auto picture = std::make_unique<TGDIPPicture>();
    picture->OnChange = std::move(Handler);
    return picture;
}

bool TTrackBarPart::Vertical() const {
    return FOwner && FOwner->Orientation() == trVertical;
}

namespace {
// The standard font of the parts: Tahoma, otherwise the platform's defaults.
std::unique_ptr<TFont> NewPartFont(TNotifyEvent Handler) {
    auto font = std::make_unique<TFont>();
    font->SetName("Tahoma");
    font->OnChange = std::move(Handler);
    return font;
}
} // namespace

// ---- Faces ---------------------------------------------------------------------------------------------

namespace {
// The face colours both tables publish; the upper mirror colours and the gradients differ in their
// declared defaults and are declared by each.
template <class T> void DeclareFaceColours(TPropertyBuilder<T>& props) {
    props.Color("Color", &T::Color, &T::SetColor);
    props.Color("ColorTo", &T::ColorTo, &T::SetColorTo);
    props.Color("BorderColor", &T::BorderColor, &T::SetBorderColor);
    props.Color("ColorHot", &T::ColorHot, &T::SetColorHot);
    props.Color("ColorHotTo", &T::ColorHotTo, &T::SetColorHotTo);
    props.Color("ColorMirrorHot", &T::ColorMirrorHot, &T::SetColorMirrorHot);
    props.Color("ColorMirrorHotTo", &T::ColorMirrorHotTo, &T::SetColorMirrorHotTo);
    props.Color("BorderColorHot", &T::BorderColorHot, &T::SetBorderColorHot);
    props.Color("ColorDown", &T::ColorDown, &T::SetColorDown);
    props.Color("ColorDownTo", &T::ColorDownTo, &T::SetColorDownTo);
    props.Color("ColorMirrorDown", &T::ColorMirrorDown, &T::SetColorMirrorDown);
    props.Color("ColorMirrorDownTo", &T::ColorMirrorDownTo, &T::SetColorMirrorDownTo);
    props.Color("BorderColorDown", &T::BorderColorDown, &T::SetBorderColorDown);
}
} // namespace

void TTrackBarFace::AssignColours(const TTrackBarFace& Source) {
    FColor = Source.FColor;
    FColorTo = Source.FColorTo;
    FColorMirror = Source.FColorMirror;
    FColorMirrorTo = Source.FColorMirrorTo;
    FBorderColor = Source.FBorderColor;
    FColorHot = Source.FColorHot;
    FColorHotTo = Source.FColorHotTo;
    FColorMirrorHot = Source.FColorMirrorHot;
    FColorMirrorHotTo = Source.FColorMirrorHotTo;
    FBorderColorHot = Source.FBorderColorHot;
    FColorDown = Source.FColorDown;
    FColorDownTo = Source.FColorDownTo;
    FColorMirrorDown = Source.FColorMirrorDown;
    FColorMirrorDownTo = Source.FColorMirrorDownTo;
    FBorderColorDown = Source.FBorderColorDown;
}

// ---- Thumb ---------------------------------------------------------------------------------------------

PLAT_PROPERTIES(TTrackBarThumb) {
    using T = TTrackBarThumb;
    props.Enum("Shape", &T::Shape, &T::SetShape, kThumbShapeNames);
    props.Integer("Width", &T::Width, &T::SetWidth, 10);
    props.Integer("Size", &T::Size, &T::SetSize, 15);
    props.Boolean("ShowAtMinMax", &T::ShowAtMinMax, &T::SetShowAtMinMax, true);
    DeclareFaceColours(props);
    props.Color("ColorMirror", &T::ColorMirror, &T::SetColorMirror);
    props.Color("ColorMirrorTo", &T::ColorMirrorTo, &T::SetColorMirrorTo);
    props.Color("ColorDisabled", &T::ColorDisabled, &T::SetColorDisabled);
    props.Color("ColorDisabledTo", &T::ColorDisabledTo, &T::SetColorDisabledTo);
    props.Color("ColorMirrorDisabled", &T::ColorMirrorDisabled, &T::SetColorMirrorDisabled);
    props.Color("ColorMirrorDisabledTo", &T::ColorMirrorDisabledTo, &T::SetColorMirrorDisabledTo);
    props.Color("BorderColorDisabled", &T::BorderColorDisabled, &T::SetBorderColorDisabled);
    props.Enum("Gradient", &T::Gradient, &T::SetGradient, kGDIPGradientNames);
    props.Enum("GradientMirror", &T::GradientMirror, &T::SetGradientMirror, kGDIPGradientNames);
    props.Object("Picture", &T::Picture, &T::SetPicture);
    props.Object("PictureHot", &T::PictureHot, &T::SetPictureHot);
    props.Object("PictureDown", &T::PictureDown, &T::SetPictureDown);
    props.Object("PictureDisabled", &T::PictureDisabled, &T::SetPictureDisabled);
    props.Event("OnChange", &T::OnChange);
}

TTrackBarThumb::TTrackBarThumb(TCustomTrackBar* Owner) : TTrackBarFace(Owner, 0x9D6F40, ggRadial) {
    auto handler = [this](TObject* s) { PictureChanged(s); };
    FPicture = NewPicture(handler);
    FPictureHot = NewPicture(handler);
    FPictureDown = NewPicture(handler);
    FPictureDisabled = NewPicture(handler);
}

void TTrackBarThumb::SetWidth(int Value) {
    if (FPicture->Empty())
        Change(FWidth, Value);
}

void TTrackBarThumb::SetSize(int Value) {
    if (FPicture->Empty())
        Change(FSize, Value);
}

void TTrackBarThumb::AdoptPictureSize() {
    if (FPicture->Empty() || !FOwner)
        return;
    FPicture->MeasureImage();
    if (Vertical()) {
        FWidth = FPicture->Height();
        FSize = FPicture->Width();
    } else {
        FSize = FPicture->Height();
        FWidth = FPicture->Width();
    }
}

void TTrackBarThumb::PictureChanged(TObject*) {
    AdoptPictureSize();
    Changed();
}

void TTrackBarThumb::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTrackBarThumb*>(Source);
    if (!src) {
        TTrackBarPart::Assign(Source);
        return;
    }
    AssignColours(*src);
    FColorDisabled = src->FColorDisabled;
    FColorDisabledTo = src->FColorDisabledTo;
    FColorMirrorDisabled = src->FColorMirrorDisabled;
    FColorMirrorDisabledTo = src->FColorMirrorDisabledTo;
    FBorderColorDisabled = src->FBorderColorDisabled;
    FSteps = src->FSteps;
    FGradient = src->FGradient;
    FGradientMirror = src->FGradientMirror;
    FPicture->Assign(src->FPicture.get());
    FPictureHot->Assign(src->FPictureHot.get());
    FPictureDown->Assign(src->FPictureDown.get());
    FPictureDisabled->Assign(src->FPictureDisabled.get());
    SetWidth(src->FWidth);
    SetShape(src->FShape);
    FStyleValue = src->FStyleValue;
    SetSize(src->FSize);
    Changed();
}

// ---- Groove --------------------------------------------------------------------------------------------

PLAT_PROPERTIES(TTrackBarSlider) {
    using T = TTrackBarSlider;
    props.Boolean("Visible", &T::Visible, &T::SetVisible, true);
    props.Integer("Size", &T::Size, &T::SetSize, 2);
    props.Integer("Offset", &T::Offset, &T::SetOffset, 10);
    props.Boolean("Rounded", &T::Rounded, &T::SetRounded, false);
    props.Boolean("Border3D", &T::Border3D, &T::SetBorder3D, true);
    props.Color("Color", &T::Color, &T::SetColor);
    props.Color("ColorTo", &T::ColorTo, &T::SetColorTo);
    props.Enum("Direction", &T::Direction, &T::SetDirection, kGradientDirectionNames);
    props.Color("BorderColor", &T::BorderColor, &T::SetBorderColor);
    props.Color("ColorDisabled", &T::ColorDisabled, &T::SetColorDisabled);
    props.Color("ColorDisabledTo", &T::ColorDisabledTo, &T::SetColorDisabledTo);
    props.Color("BorderColorDisabled", &T::BorderColorDisabled, &T::SetBorderColorDisabled);
    props.Color("ColorCompleted", &T::ColorCompleted, &T::SetColorCompleted);
    props.Color("ColorCompletedTo", &T::ColorCompletedTo, &T::SetColorCompletedTo);
    props.Color("ColorCompletedDisabled", &T::ColorCompletedDisabled, &T::SetColorCompletedDisabled);
    props.Color("ColorCompletedDisabledTo", &T::ColorCompletedDisabledTo, &T::SetColorCompletedDisabledTo);
    props.Object("Picture", &T::Picture, &T::SetPicture);
    props.Object("PictureDisabled", &T::PictureDisabled, &T::SetPictureDisabled);
    props.Object("PictureCompleted", &T::PictureCompleted, &T::SetPictureCompleted);
    props.Object("PictureCompletedDisabled", &T::PictureCompletedDisabled, &T::SetPictureCompletedDisabled);
    props.Boolean("PictureStretched", &T::PictureStretched, &T::SetPictureStretched, false);
    props.Event("OnChange", &T::OnChange);
}

TTrackBarSlider::TTrackBarSlider(TCustomTrackBar* Owner) : TTrackBarPart(Owner) {
    auto handler = [this](TObject* s) { PictureChanged(s); };
    FPicture = NewPicture(handler);
    FPictureDisabled = NewPicture(handler);
    FPictureCompleted = NewPicture(handler);
    FPictureCompletedDisabled = NewPicture(handler);
}

void TTrackBarSlider::PictureChanged(TObject*) {
    if (!FPicture->Empty()) {
        FPicture->MeasureImage();
        FSize = Vertical() ? FPicture->Width() : FPicture->Height();
        SetBorderColor(clNone);
    }
    Changed();
}

void TTrackBarSlider::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTrackBarSlider*>(Source);
    if (!src) {
        TTrackBarPart::Assign(Source);
        return;
    }
    FVisible = src->FVisible;
    FSize = src->FSize;
    FOffset = src->FOffset;
    FRounded = src->FRounded;
    FBorder3D = src->FBorder3D;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FBorderColor = src->FBorderColor;
    FColorDisabled = src->FColorDisabled;
    FColorDisabledTo = src->FColorDisabledTo;
    FBorderColorDisabled = src->FBorderColorDisabled;
    FColorCompleted = src->FColorCompleted;
    FColorCompletedTo = src->FColorCompletedTo;
    FColorCompletedDisabled = src->FColorCompletedDisabled;
    FColorCompletedDisabledTo = src->FColorCompletedDisabledTo;
    FPictureStretched = src->FPictureStretched;
    // The pictures come last: a groove picture decides the size and clears the border colour.
    FPicture->Assign(src->FPicture.get());
    FPictureDisabled->Assign(src->FPictureDisabled.get());
    FPictureCompleted->Assign(src->FPictureCompleted.get());
    FPictureCompletedDisabled->Assign(src->FPictureCompletedDisabled.get());
    Changed();
}

// ---- Ticks ---------------------------------------------------------------------------------------------

PLAT_PROPERTIES(TTrackBarTick) {
    using T = TTrackBarTick;
    props.Enum("Style", &T::Style, &T::SetStyle, kTickStyleNames, tsAuto);
    props.Enum("Position", &T::Position, &T::SetPosition, kTickMarkNames, tmBottomRight);
    props.Integer("Size", &T::Size, &T::SetSize, 4);
    props.Integer("Spacing", &T::Spacing, &T::SetSpacing, 8);
    props.Color("Color", &T::Color, &T::SetColor);
    props.Color("ColorDisabled", &T::ColorDisabled, &T::SetColorDisabled);
    props.Boolean("ShowText", &T::ShowText, &T::SetShowText, false);
    props.Object("Font", &T::Font, &T::SetFont);
    props.Boolean("RotateFontVert", &T::RotateFontVert, &T::SetRotateFontVert, true);
    props.Boolean("Line3D", &T::Line3D, &T::SetLine3D, false);
    props.Boolean("ShowImageAtThumbOnly", &T::ShowImageAtThumbOnly, &T::SetShowImageAtThumbOnly, false);
    props.Integer("ShowImageAtSteps", &T::ShowImageAtSteps, &T::SetShowImageAtSteps, 1);
    props.Object("Picture", &T::Picture, &T::SetPicture);
    props.Object("PictureDisabled", &T::PictureDisabled, &T::SetPictureDisabled);
    props.Event("OnChange", &T::OnChange);
}

TTrackBarTick::TTrackBarTick(TCustomTrackBar* Owner) : TTrackBarPart(Owner) {
    auto handler = [this](TObject*) { Changed(); };
    FFont = NewPartFont(handler);
    FPicture = NewPicture(handler);
    FPictureDisabled = NewPicture(handler);
}

void TTrackBarTick::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTrackBarTick*>(Source);
    if (!src) {
        TTrackBarPart::Assign(Source);
        return;
    }
    FStyle = src->FStyle;
    FPosition = src->FPosition;
    FSize = src->FSize;
    FSpacing = src->FSpacing;
    FColor = src->FColor;
    FColorDisabled = src->FColorDisabled;
    FShowText = src->FShowText;
    FLine3D = src->FLine3D;
    FShowImageAtThumbOnly = src->FShowImageAtThumbOnly;
    FShowImageAtSteps = src->FShowImageAtSteps;
    FFont->Assign(src->FFont.get());
    FPicture->Assign(src->FPicture.get());
    FPictureDisabled->Assign(src->FPictureDisabled.get());
    Changed();
}

// ---- Step buttons --------------------------------------------------------------------------------------

PLAT_PROPERTIES(TTrackBarButtons) {
    using T = TTrackBarButtons;
    props.Boolean("Visible", &T::Visible, &T::SetVisible, false);
    props.Integer("Size", &T::Size, &T::SetSize, 20);
    props.Enum("Shape", &T::Shape, &T::SetShape, kTrackButtonShapeNames, bsRound);
    props.Integer("Spacing", &T::Spacing, &T::SetSpacing, 2);
    props.Boolean("RotateText", &T::RotateText, &T::SetRotateText, true);
    props.Boolean("RepeatClick", &T::RepeatClick, &T::SetRepeatClick, true);
    props.Integer("InitRepeatPause", &T::InitRepeatPause, &T::SetInitRepeatPause, 400);
    props.Integer("RepeatPause", &T::RepeatPause, &T::SetRepeatPause, 100);
    DeclareFaceColours(props);
    // The declared defaults differ from the creation values on purpose: layouts written with them read
    // back the way they always did (0xC0C0C0 and 0xFFFFFF are not stored and come back as created).
    props.Color("ColorMirror", &T::ColorMirror, &T::SetColorMirror, 0xC0C0C0);
    props.Color("ColorMirrorTo", &T::ColorMirrorTo, &T::SetColorMirrorTo, 0xFFFFFF);
    props.Enum("Gradient", &T::Gradient, &T::SetGradient, kGDIPGradientNames, ggVertical);
    props.Enum("GradientMirror", &T::GradientMirror, &T::SetGradientMirror, kGDIPGradientNames);
    props.Object("MinPicture", &T::MinPicture, &T::SetMinPicture);
    props.Object("MinPictureHot", &T::MinPictureHot, &T::SetMinPictureHot);
    props.Object("MinPictureDown", &T::MinPictureDown, &T::SetMinPictureDown);
    props.Object("MaxPicture", &T::MaxPicture, &T::SetMaxPicture);
    props.Object("MaxPictureHot", &T::MaxPictureHot, &T::SetMaxPictureHot);
    props.Object("MaxPictureDown", &T::MaxPictureDown, &T::SetMaxPictureDown);
    props.Event("OnChange", &T::OnChange);
}

TTrackBarButtons::TTrackBarButtons(TCustomTrackBar* Owner) : TTrackBarFace(Owner, 0x8D572F, ggVertical) {
    auto handler = [this](TObject* s) { PictureChanged(s); };
    FMinPicture = NewPicture(handler);
    FMaxPicture = NewPicture(handler);
    FMinPictureHot = NewPicture(nullptr);
    FMinPictureDown = NewPicture(nullptr);
    FMaxPictureHot = NewPicture(nullptr);
    FMaxPictureDown = NewPicture(nullptr);
}

void TTrackBarButtons::AdoptPictureSize() {
    if ((FMinPicture->Empty() && FMaxPicture->Empty()) || !FOwner)
        return;
    TGDIPPicture& picture = FMinPicture->Empty() ? *FMaxPicture : *FMinPicture;
    picture.MeasureImage();
    FSize = Vertical() ? picture.Height() : picture.Width();
}

void TTrackBarButtons::PictureChanged(TObject*) {
    AdoptPictureSize();
    Changed();
}

void TTrackBarButtons::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTrackBarButtons*>(Source);
    if (!src) {
        TTrackBarPart::Assign(Source);
        return;
    }
    FVisible = src->FVisible;
    FSize = src->FSize;
    FShape = src->FShape;
    FSpacing = src->FSpacing;
    FRotateText = src->FRotateText;
    FRepeatClick = src->FRepeatClick;
    FInitRepeatPause = src->FInitRepeatPause;
    FRepeatPause = src->FRepeatPause;
    AssignColours(*src);
    FMinPicture->Assign(src->FMinPicture.get());
    FMinPictureHot->Assign(src->FMinPictureHot.get());
    FMinPictureDown->Assign(src->FMinPictureDown.get());
    FMaxPicture->Assign(src->FMaxPicture.get());
    FMaxPictureHot->Assign(src->FMaxPictureHot.get());
    FMaxPictureDown->Assign(src->FMaxPictureDown.get());
    Changed();
}

// ---- Label ---------------------------------------------------------------------------------------------

PLAT_PROPERTIES(TTrackBarLabel) {
    using T = TTrackBarLabel;
    props.Boolean("Visible", &T::Visible, &T::SetVisible, false);
    props.String("Format", &T::Format, &T::SetFormat).NoDefault();
    props.Enum("Position", &T::Position, &T::SetPosition, kLabelPositionNames, lpTopCenter);
    props.Object("Font", &T::Font, &T::SetFont);
    props.Integer("Spacing", &T::Spacing, &T::SetSpacing, 4);
    props.Event("OnChange", &T::OnChange);
}

TTrackBarLabel::TTrackBarLabel(TCustomTrackBar* Owner) : TTrackBarPart(Owner) {
    FFont = NewPartFont([this](TObject*) { Changed(); });
}

void TTrackBarLabel::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTrackBarLabel*>(Source);
    if (!src) {
        TTrackBarPart::Assign(Source);
        return;
    }
    FVisible = src->FVisible;
    FFormat = src->FFormat;
    FFont->Assign(src->FFont.get());
    FPosition = src->FPosition;
    Changed();
}

// ---- Value hint ----------------------------------------------------------------------------------------

TTrackHintWindow::TTrackHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void TTrackHintWindow::CreateParams(TCreateParams& Params) {
    THintWindow::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    const TSystemVersion v = GetSystemVersion();
    if (v.Major > 5 || (v.Major == 5 && v.Minor > 0))
        Params.WindowClass.Style |= CS_DROPSHADOW;
}

TSize TTrackHintWindow::MeasureCaption() {
    Canvas()->Font()->Assign(Font());
    const TSize size = Canvas()->TextExtent(Caption());
    FTextWidth = size.cx;
    FTextHeight = size.cy;
    return size;
}

void TTrackHintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
    SetCaption(AHint);
    const TSize size = MeasureCaption();
    Rect.Right = Rect.Left + size.cx + 16;
    Rect.Bottom = Rect.Top + size.cy + 4;
    const int desktopWidth = Screen->DesktopWidth(), desktopHeight = Screen->DesktopHeight();
    if (Rect.Right > desktopWidth) {
        Rect.Left = desktopWidth - (size.cx + 16) - 2;
        Rect.Right = Rect.Left + size.cx + 16;
    }
    if (Rect.Bottom > desktopHeight) {
        Rect.Bottom = desktopHeight - 2;
        Rect.Top = desktopHeight - size.cy - 6;
    }
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.Left, Rect.Top, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    Invalidate();
}

TRect TTrackHintWindow::CalcHintRect(int, const std::string&, void*) {
    const TSize size = MeasureCaption();
    return TRect(0, 0, size.cx, size.cy);
}

void TTrackHintWindow::Dispatch(TMessage& Message) {
    THintWindow::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED)
        Invalidate();
}

void TTrackHintWindow::Paint() {
    TCanvas& c = *Canvas();
    const TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    c.Pen()->SetColor(cl3DLight);
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right - 1, r.Top);
    c.Pen()->SetColor(cl3DDkShadow);
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left - 1, r.Bottom - 1);
    c.Font()->Assign(Font());
    c.Brush()->SetStyle(bsClear);
    TRect text = r;
    c.TextRect(text, Caption(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// ---- Style presets -------------------------------------------------------------------------------------

namespace {

struct TFaceColours {
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, BorderColor;
};
struct THotDownColours {
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo, BorderColorHot;
    TColor ColorDown, ColorDownTo, ColorMirrorDown, ColorMirrorDownTo, BorderColorDown;
};
enum THotDownSet { hs2003, hs2007, hsXP, hsNone };
struct TStylePreset {
    TFaceColours Thumb;
    TFaceColours Buttons;
    TColor Groove;
    THotDownSet HotDown;
};

constexpr THotDownColours kHotDownSets[] = {
    {0xCCF4FF, 0xACECFF, 0x59DAFF, 0x91D0FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B},
    {0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B},
    {0xEFD3C6, 0xEFD3C6, 0xEFD3C6, 0xEFD3C6, clHighlight, 0xB59284, 0xB59284, 0xB59284, 0xB59284,
     clHighlight},
};
static_assert(std::size(kHotDownSets) == hsNone);

constexpr TFaceColours Face(TColor c, TColor to, TColor mirror, TColor mirrorTo, TColor border) {
    return {c, to, mirror, mirrorTo, border};
}

// By TKVXStyle; tsCustom sets no colours.
constexpr TStylePreset kStylePresets[] = {
    /* tsOffice2003Blue */ {Face(0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B),
                            Face(0xFEECDD, 0xF9DBC4, 0xFEECDD, 0xE2A981, 0x9C613B), 0xC29674, hs2003},
    /* tsOffice2003Silver */
    {Face(0xEDD4C0, 0xE6D8D8, 0xEDD4C0, 0xC8B2B3, 0x927476),
     Face(0xEDD4C0, 0xE6D8D8, 0xEDD4C0, 0xC8B2B3, 0x927476), 0x927476, hs2003},
    /* tsOffice2003Olive */
    {Face(0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1, 0x8CC0B1),
     Face(0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1, 0x8CC0B1), 0x8CC0B1, hs2003},
    /* tsOffice2003Classic */
    {Face(0xFFFFFF, 0xC9D1D5, 0xFFFFFF, 0xC9D1D5, 0x000000),
     Face(0xFFFFFF, 0xC9D1D5, 0xFFFFFF, 0xC9D1D5, 0x000000), 0x927476, hs2007},
    /* tsOffice2007Luna */
    {Face(0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B),
     Face(0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B), 0xC29674, hs2007},
    /* tsOffice2007Obsidian */
    {Face(0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0, 0xC0BCB2),
     Face(0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0, 0xC0BCB2), 0xC0BCB2, hs2007},
    /* tsWindowsXP */
    {Face(0xFFFFFF, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC),
     Face(0xFFFFFF, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC), 0x927476, hsXP},
    /* tsWhidbey */
    {Face(0xFFFFFF, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0, 0x99A8AC),
     Face(0xFFFFFF, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0, 0x99A8AC), 0x927476, hs2003},
    /* tsCustom */ {Face(0, 0, 0, 0, 0), Face(0, 0, 0, 0, 0), 0, hsNone},
    /* tsOffice2007Silver */
    {Face(0xF3F3F1, 0xF5F5F3, 0xEEEAE7, 0xF8F7F6, 0xCCCAC9),
     Face(0xF3F3F1, 0xF5F5F3, 0xEEEAE7, 0xF8F7F6, 0xCCCAC9), 0xCCCAC9, hs2007},
};
static_assert(std::size(kStylePresets) == tsOffice2007Silver + 1);

// Thumb and buttons have the same colour properties; one routine fills either.
template <class P> void ApplyFace(P& Part, const TFaceColours& Face, THotDownSet Set) {
    Part.SetColor(Face.Color);
    Part.SetColorTo(Face.ColorTo);
    Part.SetColorMirror(Face.ColorMirror);
    Part.SetColorMirrorTo(Face.ColorMirrorTo);
    Part.SetBorderColor(Face.BorderColor);
    Part.SetGradient(ggVertical);
    Part.SetGradientMirror(ggVertical);
    if (Set == hsNone)
        return;
    const THotDownColours& h = kHotDownSets[Set];
    Part.SetColorHot(h.ColorHot);
    Part.SetColorHotTo(h.ColorHotTo);
    Part.SetColorMirrorHot(h.ColorMirrorHot);
    Part.SetColorMirrorHotTo(h.ColorMirrorHotTo);
    Part.SetBorderColorHot(h.BorderColorHot);
    Part.SetColorDown(h.ColorDown);
    Part.SetColorDownTo(h.ColorDownTo);
    Part.SetColorMirrorDown(h.ColorMirrorDown);
    Part.SetColorMirrorDownTo(h.ColorMirrorDownTo);
    Part.SetBorderColorDown(h.BorderColorDown);
}

} // namespace

void TCustomTrackBar::ApplyStyle(TKVXStyle Style) {
    // Every style, tsCustom included, puts back the standard shape of the slider.
    FSlider->SetOffset(10);
    FSlider->SetPicture(nullptr);
    FSlider->SetPictureCompleted(nullptr);
    FSlider->SetPictureDisabled(nullptr);
    FSlider->SetPictureCompletedDisabled(nullptr);
    FSlider->SetPictureStretched(false);
    FTickMark->SetPicture(nullptr);
    FTickMark->SetPictureDisabled(nullptr);
    FTickMark->SetPosition(tmBottomRight);
    FThumb->SetPicture(nullptr);
    FThumb->SetPictureDown(nullptr);
    FThumb->SetPictureHot(nullptr);
    FThumb->SetPictureDisabled(nullptr);
    FThumb->SetShape(tsPointer);
    FButtons->SetSpacing(2);
    if (Style != tsCustom && Style <= tsOffice2007Silver) {
        const TStylePreset& preset = kStylePresets[Style];
        ApplyFace(*FThumb, preset.Thumb, preset.HotDown);
        ApplyFace(*FButtons, preset.Buttons, preset.HotDown);
        FSlider->SetBorderColor(preset.Groove);
        FTickMark->SetColor(FSlider->BorderColor());
    }
    Invalidate();
}

} // namespace ui
