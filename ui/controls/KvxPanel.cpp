#include "ui/controls/KvxPanel.h"

#include <algorithm>
#include <exception>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "ui/controls/KvxImage.h"
#include "ui/controls/KvxPanelStyler.h"
#include "ui/controls/XPVisualStyles.h"
#include "ui/markup/MarkupText.h"
#include "ui/markup/PictureContainer.h"

using namespace plat;

namespace ui {

using namespace kvxpanel;

PLAT_CLASS_INFO(TPanelCaption, TPersistent)
PLAT_CLASS_INFO(TPanelStatusBar, TPersistent)
PLAT_CLASS_INFO(TAutoSize, TPersistent)
PLAT_CLASS_INFO(TPanelPosition, TPersistent)
PLAT_CLASS_INFO(TCustomKvxPanel, TCustomPanel)
PLAT_CLASS_INFO_CREATABLE(TKvxPanel, TCustomKvxPanel)

namespace {

// Layouts create the panel by class name.
struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxPanel::StaticClass()); }
} registrar;

} // namespace

// ---- Caption --------------------------------------------------------------------------------------------

PLAT_PROPERTIES(TPanelCaption) {
    using C = TPanelCaption;
    props.Boolean("Visible", &C::Visible, &C::SetVisible, false);
    props.String("Text", &C::Text, &C::SetText);
    props.Integer("Height", &C::Height, &C::SetHeight, 20);
    props.Enum("Position", &C::Position, &C::SetPosition, kCaptionPositionNames, cpTop);
    props.Enum("ButtonPosition", &C::ButtonPosition, &C::SetButtonPosition, kCaptionButtonPositionNames,
               cbpRight);
    // Stored against crossed defaults, so both are written at their initial values and a form read
    // into a styled caption gets them back.
    props.Color("Color", &C::Color, &C::SetColor, clNone);
    props.Color("ColorTo", &C::ColorTo, &C::SetColorTo, clHighlight);
    props.Enum("GradientDirection", &C::GradientDirection, &C::SetGradientDirection, kGradientDirectionNames,
               gdHorizontal);
    props.Color("CloseColor", &C::CloseColor, &C::SetCloseColor, clBtnFace);
    props.Object("Font", &C::Font, &C::SetFont);
    props.Integer("Indent", &C::Indent, &C::SetIndent, 0);
    props.Integer("TopIndent", &C::TopIndent, &C::SetTopIndent, 0);
    props.Boolean("CloseButton", &C::CloseButton, &C::SetCloseButton, false);
    props.Color("CloseButtonColor", &C::CloseButtonColor, &C::SetCloseButtonColor, clWhite);
    props.Color("CloseButtonHoverColor", &C::CloseButtonHoverColor, &C::SetCloseButtonHoverColor, clNone);
    props.Object("CloseMinGlyph", &C::CloseMinGlyph, &C::SetCloseMinGlyph);
    props.Object("CloseMaxGlyph", &C::CloseMaxGlyph, &C::SetCloseMaxGlyph);
    props.Boolean("MinMaxButton", &C::MinMaxButton, &C::SetMinMaxButton, false);
    props.Color("MinMaxButtonColor", &C::MinMaxButtonColor, &C::SetMinMaxButtonColor, clWhite);
    props.Color("MinMaxButtonHoverColor", &C::MinMaxButtonHoverColor, &C::SetMinMaxButtonHoverColor, clNone);
    props.Object("MinGlyph", &C::MinGlyph, &C::SetMinGlyph);
    props.Object("MaxGlyph", &C::MaxGlyph, &C::SetMaxGlyph);
    props.Boolean("MinMaxCaption", &C::MinMaxCaption, &C::SetMinMaxCaption, false);
    props.Boolean("Flat", &C::Flat, &C::SetFlat, false);
    props.Enum("Shape", &C::Shape, &C::SetShape, kCaptionShapeNames, csRectangle);
    props.Enum("ShadeType", &C::ShadeType, &C::SetShadeType, kShadeTypeNames, stNormal);
    props.Integer("ShadeLight", &C::ShadeLight, &C::SetShadeLight, 200);
    props.Integer("ShadeGrain", &C::ShadeGrain, &C::SetShadeGrain, 32);
    props.Object("Background", &C::Background, &C::SetBackground);
}

TPanelCaption::TPanelCaption()
    : FFont(std::make_unique<TFont>()), FCloseMinGlyph(std::make_unique<TBitmap>()),
      FCloseMaxGlyph(std::make_unique<TBitmap>()), FMinGlyph(std::make_unique<TBitmap>()),
      FMaxGlyph(std::make_unique<TBitmap>()), FBackground(std::make_unique<TBitmap>()) {
    FFont->SetColor(clHighlightText);
    FFont->OnChange = [this](TObject*) { Changed(); };
    FBackground->OnChange = [this](TObject*) { ShadeChanged(); };
}

TPanelCaption::~TPanelCaption() = default;

void TPanelCaption::Changed() {
    if (OnChange)
        OnChange(this);
}

void TPanelCaption::ShadeChanged() {
    if (OnShadeChange)
        OnShadeChange(this);
    Changed();
}

void TPanelCaption::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TPanelCaption*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    FBackground->Assign(src->FBackground.get());
    FButtonPosition = src->FButtonPosition;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FCloseColor = src->FCloseColor;
    FCloseButton = src->FCloseButton;
    FCloseButtonColor = src->FCloseButtonColor;
    FCloseButtonHoverColor = src->FCloseButtonHoverColor;
    FCloseMinGlyph->Assign(src->FCloseMinGlyph.get());
    FCloseMaxGlyph->Assign(src->FCloseMaxGlyph.get());
    FFlat = src->FFlat;
    FFont->Assign(src->FFont.get());
    FHeight = src->FHeight;
    FIndent = src->FIndent;
    FMaxGlyph->Assign(src->FMaxGlyph.get());
    FMinGlyph->Assign(src->FMinGlyph.get());
    FMinMaxButton = src->FMinMaxButton;
    FMinMaxButtonColor = src->FMinMaxButtonColor;
    FMinMaxButtonHoverColor = src->FMinMaxButtonHoverColor;
    FShadeLight = src->FShadeLight;
    FShadeGrain = src->FShadeGrain;
    FShadeType = src->FShadeType;
    FShape = src->FShape;
    FGradientDirection = src->FGradientDirection;
    ShadeChanged();
}

void TPanelCaption::SetVisible(bool Value) {
    FVisible = Value;
    Changed();
    if (OnStateChange)
        OnStateChange(this);
}

void TPanelCaption::SetText(const std::string& Value) {
    FText = Value;
    Changed();
}

void TPanelCaption::SetHeight(int Value) {
    if (FHeight == Value)
        return;
    FHeight = Value;
    Changed();
}

void TPanelCaption::SetPosition(TCaptionPosition Value) {
    if (FPosition == Value)
        return;
    FPosition = Value;
    if (OnPositionChange)
        OnPositionChange(this);
}

void TPanelCaption::SetButtonPosition(TCaptionButtonPosition Value) {
    FButtonPosition = Value;
    Changed();
}

void TPanelCaption::SetColor(TColor Value) {
    if (FColor == Value)
        return;
    FColor = Value;
    ShadeChanged();
}

void TPanelCaption::SetColorTo(TColor Value) {
    if (FColorTo == Value)
        return;
    FColorTo = Value;
    Changed();
}

void TPanelCaption::SetGradientDirection(TGradientDirection Value) {
    FGradientDirection = Value;
    Changed();
}

void TPanelCaption::SetCloseColor(TColor Value) {
    if (FCloseColor == Value)
        return;
    FCloseColor = Value;
    Changed();
}

void TPanelCaption::SetIndent(int Value) {
    if (FIndent == Value)
        return;
    FIndent = Value;
    Changed();
}

void TPanelCaption::SetTopIndent(int Value) {
    if (FTopIndent == Value)
        return;
    FTopIndent = Value;
    Changed();
}

void TPanelCaption::SetCloseButton(bool Value) {
    FCloseButton = Value;
    Changed();
}

void TPanelCaption::SetCloseButtonColor(TColor Value) {
    if (FCloseButtonColor == Value)
        return;
    FCloseButtonColor = Value;
    Changed();
}

void TPanelCaption::SetCloseMinGlyph(TBitmap* Value) {
    FCloseMinGlyph->Assign(Value);
    Changed();
}

void TPanelCaption::SetCloseMaxGlyph(TBitmap* Value) {
    FCloseMaxGlyph->Assign(Value);
    Changed();
}

void TPanelCaption::SetMinMaxButton(bool Value) {
    FMinMaxButton = Value;
    Changed();
}

void TPanelCaption::SetMinMaxButtonColor(TColor Value) {
    if (FMinMaxButtonColor == Value)
        return;
    FMinMaxButtonColor = Value;
    Changed();
}

void TPanelCaption::SetFlat(bool Value) {
    FFlat = Value;
    ShadeChanged();
}

void TPanelCaption::SetShape(TCaptionShape Value) {
    FShape = Value;
    ShadeChanged();
}

void TPanelCaption::SetShadeType(TShadeType Value) {
    FShadeType = Value;
    ShadeChanged();
}

void TPanelCaption::SetShadeLight(int Value) {
    FShadeLight = std::max(Value, 200);
    ShadeChanged();
}

void TPanelCaption::SetShadeGrain(uint8_t Value) {
    FShadeGrain = Value;
    ShadeChanged();
}

void TPanelCaption::SetBackground(TBitmap* Value) {
    // The bitmap's own change event announces the new shade.
    FBackground->Assign(Value);
}

// ---- Status bar, auto size, position --------------------------------------------------------------------

PLAT_PROPERTIES(TPanelStatusBar) {
    using S = TPanelStatusBar;
    props.Boolean("Visible", &S::Visible, &S::SetVisible, false);
    props.String("Text", &S::Text, &S::SetText);
    props.Integer("Height", &S::Height, &S::SetHeight, 18);
    props.Color("Color", &S::Color, &S::SetColor, clBtnFace);
    props.Color("ColorTo", &S::ColorTo, &S::SetColorTo, clNone);
    props.Enum("GradientDirection", &S::GradientDirection, &S::SetGradientDirection, kGradientDirectionNames,
               gdHorizontal);
    props.Object("Font", &S::Font, &S::SetFont);
    props.Integer("ImageIndex", &S::ImageIndex, &S::SetImageIndex, -1);
    props.Enum("BorderStyle", &S::BorderStyle, &S::SetBorderStyle, kBorderStyleNames, bsNone);
    props.Color("BorderColor", &S::BorderColor, &S::SetBorderColor, clBlack);
    props.Boolean("BevelInner", &S::BevelInner, &S::SetBevelInner, false);
}

TPanelStatusBar::TPanelStatusBar() : FFont(std::make_unique<TFont>()) {
    FFont->SetName("Tahoma");
    FFont->OnChange = [this](TObject*) { Changed(); };
}

TPanelStatusBar::~TPanelStatusBar() = default;

void TPanelStatusBar::Changed() {
    if (OnChange)
        OnChange(this);
}

void TPanelStatusBar::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TPanelStatusBar*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FGradientDirection = src->FGradientDirection;
    FBorderStyle = src->FBorderStyle;
    FBorderColor = src->FBorderColor;
    FFont->Assign(src->FFont.get());
    Changed();
}

PLAT_PROPERTIES(TAutoSize) {
    props.Boolean("Enabled", &TAutoSize::Enabled, &TAutoSize::SetEnabled, false);
    props.Boolean("Height", &TAutoSize::Height, &TAutoSize::SetHeight, true);
    props.Boolean("Width", &TAutoSize::Width, &TAutoSize::SetWidth, true);
}

void TAutoSize::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TAutoSize*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FHeight = src->FHeight;
    FWidth = src->FWidth;
    SetEnabled(src->FEnabled);
}

void TAutoSize::SetEnabled(bool Value) {
    FEnabled = Value;
    if (Value && FPanel)
        FPanel->UpdateAutoSize();
}

PLAT_PROPERTIES(TPanelPosition) {
    props.Boolean("Save", &TPanelPosition::Save, &TPanelPosition::SetSave, false);
    props.String("Key", &TPanelPosition::Key, &TPanelPosition::SetKey);
    props.String("Section", &TPanelPosition::Section, &TPanelPosition::SetSection);
    props.Enum("Location", &TPanelPosition::Location, &TPanelPosition::SetLocation,
               kPanelPositionLocationNames, clRegistry);
}

void TPanelPosition::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TPanelPosition*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FSave = src->FSave;
    FKey = src->FKey;
    FSection = src->FSection;
    FLocation = src->FLocation;
}

// ---- Panel: properties ----------------------------------------------------------------------------------

PLAT_PROPERTIES(TCustomKvxPanel) {}

PLAT_PROPERTIES(TKvxPanel) {
    using P = TKvxPanel;
    props.Hide("Alignment");
    props.Boolean("AnchorHint", &P::AnchorHint, &P::SetAnchorHint, false);
    props.Object("AutoSize", &P::AutoSizing, &P::SetAutoSizing);
    props.Boolean("AutoHideChildren", &P::AutoHideChildren, &P::SetAutoHideChildren, true);
    props.Object("Background", &P::Background, &P::SetBackground);
    props.Enum("BackgroundPosition", &P::BackgroundPosition, &P::SetBackgroundPosition,
               kBackGroundPositionNames, bpTopLeft);
    props.Color("BorderColor", &P::BorderColor, &P::SetBorderColor, clBlack);
    props.Boolean("BorderShadow", &P::BorderShadow, &P::SetBorderShadow, false);
    props.Integer("BorderWidth", &P::BorderWidth, &P::SetBorderWidth, 0);
    props.Boolean("Buffered", &P::Buffered, &P::SetBuffered, true);
    props.Boolean("CanMove", &P::CanMove, &P::SetCanMove, false);
    props.Boolean("CanSize", &P::CanSize, &P::SetCanSize, false);
    props.Object("Caption", &P::PanelCaption, &P::SetPanelCaption);
    props.Boolean("Collaps", &P::Collaps, &P::SetCollaps, false);
    props.Color("CollapsColor", &P::CollapsColor, &P::SetCollapsColor, clGray);
    props.Integer("CollapsDelay", &P::CollapsDelay, &P::SetCollapsDelay, 20);
    props.Integer("CollapsSteps", &P::CollapsSteps, &P::SetCollapsSteps, 0);
    props.Color("ColorTo", &P::ColorTo, &P::SetColorTo, clNone);
    props.Color("ColorMirror", &P::ColorMirror, &P::SetColorMirror, clNone);
    props.Color("ColorMirrorTo", &P::ColorMirrorTo, &P::SetColorMirrorTo, clNone);
    props.Boolean("Ellipsis", &P::Ellipsis, &P::SetEllipsis, false);
    props.Boolean("FixedTop", &P::FixedTop, &P::SetFixedTop, false);
    props.Boolean("FixedLeft", &P::FixedLeft, &P::SetFixedLeft, false);
    props.Boolean("FixedHeight", &P::FixedHeight, &P::SetFixedHeight, false);
    props.Boolean("FixedWidth", &P::FixedWidth, &P::SetFixedWidth, false);
    props.Boolean("FreeOnClose", &P::FreeOnClose, &P::SetFreeOnClose, false);
    props.Enum("GradientDirection", &P::GradientDirection, &P::SetGradientDirection, kGradientDirectionNames,
               gdVertical);
    props.Boolean("Hover", &P::Hover, &P::SetHover, false);
    props.Color("HoverColor", &P::HoverColor, &P::SetHoverColor, clNone);
    props.Color("HoverFontColor", &P::HoverFontColor, &P::SetHoverFontColor, clNone);
    props.Component("Images", &P::Images, &P::SetImages);
    props.Integer("Indent", &P::Indent, &P::SetIndent, 0);
    props.Integer("TopIndent", &P::TopIndent, &P::SetTopIndent, 0);
    props.Integer("LineSpacing", &P::LineSpacing, &P::SetLineSpacing, 0);
    props.Component("PictureContainer", &P::PictureContainer, &P::SetPictureContainer);
    props.Object("Position", &P::PanelPosition, &P::SetPanelPosition);
    props.Color("ShadowColor", &P::ShadowColor, &P::SetShadowColor, clGray);
    props.Integer("ShadowOffset", &P::ShadowOffset, &P::SetShadowOffset, 2);
    props.Boolean("ShowMoveCursor", &P::ShowMoveCursor, &P::SetShowMoveCursor, false);
    props.Object("StatusBar", &P::StatusBar, &P::SetStatusBar);
    props.Component("Styler", &P::Styler, &P::SetStyler);
    props.String("Text", &P::BodyText, &P::SetBodyText);
    props.Enum("TextVAlign", &P::TextVAlign, &P::SetTextVAlign, kTextVAlignmentNames, tvaTop);
    props.Color("URLColor", &P::URLColor, &P::SetURLColor, clBlue);
    props.String("Version", &P::Version, &P::SetVersion).Stored(false);
    props.Event("OnCaptionClick", &P::OnCaptionClick);
    props.Event("OnCaptionDBlClick", &P::OnCaptionDBlClick);
    props.Event("OnClose", &P::OnClose);
    props.Event("OnMinimize", &P::OnMinimize);
    props.Event("OnMaximize", &P::OnMaximize);
    props.Event("OnEndCollapsExpand", &P::OnEndCollapsExpand);
    props.Event("OnEndMoveSize", &P::OnEndMoveSize);
    props.Event("OnMouseEnter", &P::OnMouseEnter);
    props.Event("OnMouseLeave", &P::OnMouseLeave);
    props.Event("OnAnchorClick", &P::OnAnchorClick);
    props.Event("OnAnchorEnter", &P::OnAnchorEnter);
    props.Event("OnAnchorExit", &P::OnAnchorExit);
    props.Event("OnAnchorHint", &P::OnAnchorHint);
    props.Event("OnPaint", &P::OnPaint);
}

TCustomKvxPanel::TCustomKvxPanel(TComponent* AOwner)
    : TCustomPanel(AOwner), FCaption(std::make_unique<TPanelCaption>()),
      FStatusBar(std::make_unique<TPanelStatusBar>()), FAutoSize(std::make_unique<TAutoSize>(this)),
      FPosition(std::make_unique<TPanelPosition>()), FBackground(std::make_unique<TKvxImage>()),
      FShade(std::make_unique<TBitmap>()), FCache(std::make_unique<THTMLPictureCache>()) {
    // The caption band and the status bar border the area aligned children share.
    FCaption->OnChange = [this](TObject*) {
        Realign();
        Changed();
    };
    FCaption->OnShadeChange = [this](TObject*) { UpdateShade(); };
    FCaption->OnStateChange = [this](TObject*) { StateChanged(); };
    FCaption->OnPositionChange = [this](TObject*) { CaptionPositionChanged(); };
    FStatusBar->OnChange = [this](TObject*) {
        Realign();
        Changed();
    };
    FBackground->OnChange = [this](TObject*) { Changed(); };
    // The same test as the binding's, taken once: later version changes need a new panel.
    FXP = IsWinXPOrLater();
    SetDoubleBuffered(true);
    FFullHeight = Height();
}

TCustomKvxPanel::~TCustomKvxPanel() {
    // A deferred free that has not run yet must not reach a panel freed with its form.
    RemoveQueuedCalls(this);
}

uint32_t TCustomKvxPanel::PackedVersion() const {
    return (1u << 24) | (7u << 16) | (8u << 8) | 0u;
}

std::string TCustomKvxPanel::Version() const {
    const uint32_t v = PackedVersion();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

bool TCustomKvxPanel::Loading() const {
    return (ComponentState() & csLoading) != 0;
}

bool TCustomKvxPanel::Designing() const {
    return (ComponentState() & csDesigning) != 0;
}

bool TCustomKvxPanel::IsThemed() const {
    return FXP && APXPVS().UseThemes();
}

void TCustomKvxPanel::Changed() {
    Invalidate();
}

void TCustomKvxPanel::CaptionPositionChanged() {
    Realign();
    UpdateAutoSize();
    UpdateShade();
    Invalidate();
}

void TCustomKvxPanel::DefineProperties(TFiler& Filer) {
    TCustomPanel::DefineProperties(Filer);
    // Written every time, so a form stored collapsed knows what to expand to.
    Filer.DefineProperty(
        "FullHeight", [this](TReader& Reader) { FFullHeight = Reader.ReadInteger(); },
        [this](TWriter& Writer) { Writer.WriteInteger(FFullHeight); }, true);
}

void TCustomKvxPanel::SetStyler(TKvxPanelStyler* Value) {
    if (FStyler)
        FStyler->RemoveFreeNotification(this);
    FStyler = Value;
    if (FStyler) {
        FStyler->FreeNotification(this);
        if (!Loading())
            ApplySettings(FStyler->Settings());
    }
}

void TCustomKvxPanel::ApplySettings(TKvxPanelSettings* Settings) {
    if (!Settings)
        return;
    TKvxPanelSettings& s = *Settings;
    FAnchorHint = s.AnchorHint();
    FAutoHideChildren = s.AutoHideChildren();
    SetBevelInner(s.BevelInner());
    SetBevelOuter(s.BevelOuter());
    SetBevelWidth(s.BevelWidth());
    FBorderColor = s.BorderColor();
    FBorderShadow = s.BorderShadow();
    SetBorderStyle(s.BorderStyle());
    SetBorderWidth(s.BorderWidth());
    FCanMove = s.CanMove();
    FCanSize = s.CanSize();
    FCaption->Assign(s.Caption());
    FCollapsColor = s.CollapsColor();
    FCollapsDelay = s.CollapsDelay();
    FCollapsSteps = s.CollapsSteps();
    SetColor(s.Color());
    FColorTo = s.ColorTo();
    FColorMirror = s.ColorMirror();
    FColorMirrorTo = s.ColorMirrorTo();
    SetCursor(s.Cursor());
    Font()->Assign(s.Font());
    FFixedTop = s.FixedTop();
    FFixedLeft = s.FixedLeft();
    FFixedHeight = s.FixedHeight();
    FFixedWidth = s.FixedWidth();
    FHover = s.Hover();
    FHoverColor = s.HoverColor();
    FHoverFontColor = s.HoverFontColor();
    FIndent = s.Indent();
    FShadowColor = s.ShadowColor();
    FShadowOffset = s.ShadowOffset();
    SetShowHint(s.ShowHint());
    FShowMoveCursor = s.ShowMoveCursor();
    FStatusBar->Assign(s.StatusBar());
    FTextVAlign = s.TextVAlign();
    FTopIndent = s.TopIndent();
    FURLColor = s.URLColor();
    Invalidate();
}

void TCustomKvxPanel::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomKvxPanel*>(Source);
    if (!src)
        throw EInvalidCast("Invalid class typecast");
    if (src == this)
        return;
    FAnchorHint = src->FAnchorHint;
    FAutoHideChildren = src->FAutoHideChildren;
    FBackground->Assign(src->FBackground.get());
    FBackgroundPosition = src->FBackgroundPosition;
    SetBevelInner(src->BevelInner());
    SetBevelOuter(src->BevelOuter());
    SetBevelWidth(src->BevelWidth());
    FBorderColor = src->FBorderColor;
    FBorderShadow = src->FBorderShadow;
    SetBorderStyle(src->BorderStyle());
    FCanMove = src->FCanMove;
    FCanSize = src->FCanSize;
    FCaption->Assign(src->FCaption.get());
    FCollapsColor = src->FCollapsColor;
    FCollapsDelay = src->FCollapsDelay;
    FCollapsSteps = src->FCollapsSteps;
    SetColor(src->Color());
    FColorTo = src->FColorTo;
    FColorMirror = src->FColorMirror;
    FColorMirrorTo = src->FColorMirrorTo;
    SetCursor(src->Cursor());
    SetEnabled(src->Enabled());
    Font()->Assign(src->Font());
    FFixedTop = src->FFixedTop;
    FFixedLeft = src->FFixedLeft;
    FFixedHeight = src->FFixedHeight;
    FFixedWidth = src->FFixedWidth;
    FFreeOnClose = src->FFreeOnClose;
    SetHeight(src->Height());
    SetHelpContext(src->HelpContext());
    SetHint(src->Hint());
    FHover = src->FHover;
    FHoverColor = src->FHoverColor;
    FHoverFontColor = src->FHoverFontColor;
    SetImages(src->FImages);
    SetParentColor(src->ParentColor());
    SetParentFont(src->ParentFont());
    SetParentShowHint(src->ParentShowHint());
    SetPictureContainer(src->FPictureContainer);
    SetPopupMenu(src->PopupMenu());
    FPosition->Assign(src->FPosition.get());
    FStatusBar->Assign(src->FStatusBar.get());
    FShadowColor = src->FShadowColor;
    FShadowOffset = src->FShadowOffset;
    SetShowHint(src->ShowHint());
    FShowMoveCursor = src->FShowMoveCursor;
    SetTabStop(src->TabStop());
    SetTag(src->Tag());
    FText = src->FText;
    FTextVAlign = src->FTextVAlign;
    FURLColor = src->FURLColor;
    SetVisible(src->Visible());
    Invalidate();
}

void TCustomKvxPanel::SetBackground(TKvxImage* Value) {
    FBackground->Assign(Value);
}

#define KVX_REPAINT_SETTER(Name, Type, Field)                                                                \
    void TCustomKvxPanel::Set##Name(Type Value) {                                                            \
        Field = Value;                                                                                       \
        Invalidate();                                                                                        \
    }
KVX_REPAINT_SETTER(BackgroundPosition, TBackGroundPosition, FBackgroundPosition)
KVX_REPAINT_SETTER(BorderColor, TColor, FBorderColor)
KVX_REPAINT_SETTER(BorderShadow, bool, FBorderShadow)
KVX_REPAINT_SETTER(CanSize, bool, FCanSize)
KVX_REPAINT_SETTER(Ellipsis, bool, FEllipsis)
KVX_REPAINT_SETTER(GradientDirection, TGradientDirection, FGradientDirection)
KVX_REPAINT_SETTER(Indent, int, FIndent)
KVX_REPAINT_SETTER(TopIndent, int, FTopIndent)
KVX_REPAINT_SETTER(LineSpacing, int, FLineSpacing)
KVX_REPAINT_SETTER(ShadowColor, TColor, FShadowColor)
KVX_REPAINT_SETTER(ShadowOffset, int, FShadowOffset)
KVX_REPAINT_SETTER(TextVAlign, TTextVAlignment, FTextVAlign)
KVX_REPAINT_SETTER(URLColor, TColor, FURLColor)
#undef KVX_REPAINT_SETTER

void TCustomKvxPanel::SetColorTo(TColor Value) {
    if (FColorTo == Value)
        return;
    FColorTo = Value;
    Invalidate();
}

void TCustomKvxPanel::SetColorMirror(TColor Value) {
    if (FColorMirror == Value)
        return;
    FColorMirror = Value;
    Invalidate();
}

void TCustomKvxPanel::SetColorMirrorTo(TColor Value) {
    if (FColorMirrorTo == Value)
        return;
    FColorMirrorTo = Value;
    Invalidate();
}

void TCustomKvxPanel::SetPanelCaption(TPanelCaption* Value) {
    FCaption->Assign(Value);
}

void TCustomKvxPanel::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    Invalidate();
}

void TCustomKvxPanel::SetPictureContainer(TPictureContainer* Value) {
    if (FPictureContainer)
        FPictureContainer->RemoveFreeNotification(this);
    FPictureContainer = Value;
    if (FPictureContainer)
        FPictureContainer->FreeNotification(this);
}

void TCustomKvxPanel::SetBodyText(const std::string& Value) {
    FText = Value;
    Invalidate();
    UpdateAutoSize();
}

void TCustomKvxPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FPictureContainer)
        FPictureContainer = nullptr;
    if (AComponent == FStyler)
        FStyler = nullptr;
    std::erase_if(FHiddenChildren, [AComponent](TControl* c) { return c == AComponent; });
}

// ---- Geometry -------------------------------------------------------------------------------------------

int TCustomKvxPanel::ButtonSize(bool ForHitTest) const {
    int w = 12;
    if (!FCaption->CloseMinGlyph()->Empty() && !FCaption->CloseMaxGlyph()->Empty())
        w = FCaption->CloseMinGlyph()->Width();
    if (!FCaption->MinGlyph()->Empty() && !FCaption->MaxGlyph()->Empty())
        w = ForHitTest ? FCaption->MinGlyph()->Width() : FCaption->MaxGlyph()->Width();
    if (FCaption->ShadeType() == stXPCaption && IsThemed())
        w = 16;
    return w;
}

void TCustomKvxPanel::ButtonSlots(TRect& CloseSlot, TRect& MinMaxSlot, TRect& Band, bool ForHitTest) const {
    const TRect client = ClientRect();
    TRect r = client;
    const int w = ButtonSize(ForHitTest);
    const bool top = FCaption->Position() == cpTop;
    const bool right = FCaption->ButtonPosition() == cbpRight;
    auto slot = [&](const TRect& q) {
        if (right && top)
            return TRect(q.Right - w - 2, q.Top + 2, q.Right - 2, q.Top + w + 2);
        if (right || top)
            return TRect(q.Left + 2, q.Top + 2, q.Left + w + 2, q.Top + w + 2);
        return TRect(q.Left + 2, q.Bottom - w - 2, q.Left + w + 2, q.Bottom - 2);
    };
    auto shrink = [&](TRect& q) {
        if (right && top)
            q.Right -= w;
        else if (right)
            q.Top += w;
        else if (top)
            q.Left += w;
        else
            q.Bottom -= w;
    };
    CloseSlot = TRect();
    if (FCaption->CloseButton()) {
        CloseSlot = slot(r);
        shrink(r);
    }
    MinMaxSlot = FCaption->MinMaxButton() ? slot(r) : TRect();
    Band = top ? TRect(r.Left, r.Top, r.Right - 2, r.Top + FCaption->Height())
               : TRect(r.Left, r.Top, r.Left + FCaption->Height(), r.Bottom);
}

TRect TCustomKvxPanel::CloseButtonRect() const {
    TRect c, m, b;
    ButtonSlots(c, m, b, true);
    return c;
}

TRect TCustomKvxPanel::MinMaxButtonRect() const {
    TRect c, m, b;
    ButtonSlots(c, m, b, true);
    return m;
}

void TCustomKvxPanel::AdjustClientRect(TRect& Rect) const {
    TCustomPanel::AdjustClientRect(Rect);
    if (FCaption->Visible()) {
        if (FCaption->Position() == cpTop)
            Rect.Top = std::max(Rect.Top, FCaption->Height());
        else
            Rect.Left = std::max(Rect.Left, FCaption->Height());
    }
    if (FStatusBar->Visible()) {
        if (FCaption->Position() == cpTop)
            Rect.Bottom = std::min(Rect.Bottom, Height() - FStatusBar->Height());
        else
            Rect.Right = std::min(Rect.Right, Width() - FStatusBar->Height());
    }
}

void TCustomKvxPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FCollaps && !FBusy) {
        if (FCaption->Position() == cpTop)
            FFullHeight = Height();
        else
            FFullHeight = Width();
    }
    if (Designing())
        NotifyGroup();
    if (Width() != FLastBoundsSize.cx || Height() != FLastBoundsSize.cy) {
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->Invalidate();
        Invalidate();
    }
    FLastBoundsSize = {Width(), Height()};
    // The shade runs along the caption: a top caption's follows the width, a left one's the height.
    if (FShade && FCaption &&
        (FCaption->Position() == cpTop ? FShadeSource.Width != Width() : FShadeSource.Height != Height()))
        UpdateShade();
}

void TCustomKvxPanel::Resize() {
    TCustomPanel::Resize();
    UpdateAutoSize();
}

void TCustomKvxPanel::NotifyGroup() {
    if (auto* group = dynamic_cast<TKvxPanelGroup*>(Parent()))
        group->UpdateGroup();
}

void TCustomKvxPanel::ShowChildren(bool Show) {
    if (!Show) {
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (!c->Visible() &&
                std::find(FHiddenChildren.begin(), FHiddenChildren.end(), c) == FHiddenChildren.end()) {
                FHiddenChildren.push_back(c);
                c->FreeNotification(this);
            }
        }
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetVisible(false);
        return;
    }
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (std::find(FHiddenChildren.begin(), FHiddenChildren.end(), c) == FHiddenChildren.end())
            c->SetVisible(true);
    }
    FHiddenChildren.clear();
}

// ---- Collapse and expand --------------------------------------------------------------------------------

void TCustomKvxPanel::CollapseStepSleep() {
    if (FCollapsDelay <= 0)
        return;
    // Under a test's clock the pause is that clock's time, so animations run without real waiting.
    if (auto* fake = dynamic_cast<TFakeClock*>(&SystemClock()))
        fake->Advance(static_cast<uint64_t>(FCollapsDelay));
    else
        plat::Sleep(static_cast<uint32_t>(FCollapsDelay));
}

void TCustomKvxPanel::SetCollaps(bool Value) {
    if (FCollaps && !Value && OnMaximize)
        OnMaximize(this);
    if (!FCollaps && Value && OnMinimize)
        OnMinimize(this);
    if (FBusy)
        return;
    if (Value != FCollaps)
        DoCollaps(Value);
    StateChanged();
    if (OnEndCollapsExpand)
        OnEndCollapsExpand(this);
}

void TCustomKvxPanel::DoCollaps(bool Value) {
    FBusy = true;
    ScopeGuard notBusy([this] {
        FBusy = false;
        if (FReleasePending && HandleAllocated()) {
            FReleasePending = false;
            PostMessage(WindowHandle(), CM_RELEASE, 0, 0);
        }
    });
    FCollaps = Value;
    if (Loading())
        return;
    const int extra = BorderWidth() != 0 && FBorderShadow ? BorderWidth() + 4 : 0;
    const bool top = FCaption->Position() == cpTop;
    const int status = FStatusBar->Visible() ? FStatusBar->Height() : 0;
    auto size = [&] { return top ? Height() : Width(); };
    auto setSize = [&](int v) {
        if (top)
            SetHeight(v);
        else
            SetWidth(v);
    };
    auto step = [&](int delta) {
        setSize(size() + delta);
        if (Application)
            Application->ProcessMessages();
        NotifyGroup();
        CollapseStepSleep();
    };
    if (Value) {
        FFullHeight = size();
        if (FAutoHideChildren)
            ShowChildren(false);
        FSavedColor = Color();
        if (FCollapsSteps > 0) {
            SetColor(FCollapsColor);
            const int d = top ? (Height() - FCaption->Height() - status - 2 * BorderWidth()) / FCollapsSteps
                              : (Width() - FCaption->Height() - status) / FCollapsSteps;
            for (int i = 0; i < FCollapsSteps; ++i)
                step(-d);
        }
        setSize(top ? FCaption->Height() + status - 2 + extra : FCaption->Height() + status + extra);
    } else {
        if (FCollapsSteps > 0) {
            SetColor(FSavedColor);
            const int d = (FFullHeight - FCaption->Height() - status) / FCollapsSteps;
            for (int i = 0; i < FCollapsSteps; ++i)
                step(d);
        }
        setSize(FFullHeight);
        if (FAutoHideChildren)
            ShowChildren(true);
    }
    NotifyGroup();
}

// ---- Mouse ----------------------------------------------------------------------------------------------

void TCustomKvxPanel::CloseClicked() {
    SetVisible(false);
    if (OnClose)
        OnClose(this);
    NotifyGroup();
    if (FFreeOnClose && !FClosing) {
        // Freed from the message queue, not here: the release handler and whatever called it still run
        // on this object when the click returns.
        FClosing = true;
        if (HandleAllocated())
            PostMessage(WindowHandle(), CM_RELEASE, 0, 0);
        else
            QueueInMainThread([this] { delete this; }, this);
    }
}

void TCustomKvxPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (Designing() || !FCaption->Visible() || FClosing)
        return;
    TRect closeSlot, minMaxSlot, band;
    ButtonSlots(closeSlot, minMaxSlot, band, false);
    const TPoint p{X, Y};
    if (FCaption->CloseButton() && closeSlot.Contains(p)) {
        CloseClicked();
        if (FFreeOnClose)
            return;
    }
    bool toggled = false;
    if (FCaption->MinMaxButton() && minMaxSlot.Contains(p)) {
        SetCollaps(!FCollaps);
        toggled = true;
    }
    if (band.Contains(p)) {
        if (FCaption->MinMaxCaption() && !toggled && !(FCaption->CloseButton() && closeSlot.Contains(p)))
            SetCollaps(!FCollaps);
        if (OnCaptionClick)
            OnCaptionClick(this);
    }
}

void TCustomKvxPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomPanel::MouseDown(Button, Shift, X, Y);
    AnchorClick(X, Y);
}

void TCustomKvxPanel::DblClick() {
    TCustomPanel::DblClick();
    if (!FCaption->Visible())
        return;
    const TPoint p = ScreenToClient(Mouse->CursorPos());
    const TRect client = ClientRect();
    const TRect band = FCaption->Position() == cpTop
                           ? TRect(client.Left, client.Top, client.Right - 2, client.Top + FCaption->Height())
                           : TRect(client.Left, client.Top, client.Left + FCaption->Height(), client.Bottom);
    if (band.Contains(p) && OnCaptionDBlClick)
        OnCaptionDBlClick(this);
}

void TCustomKvxPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomPanel::MouseMove(Shift, X, Y);
    TRect anchorRect;
    const std::string anchor = AnchorAt(X, Y, anchorRect);
    FMoving = false;
    if (FCaption->Visible() && !Designing()) {
        TRect closeSlot, minMaxSlot, band;
        ButtonSlots(closeSlot, minMaxSlot, band, false);
        const TPoint p{X, Y};
        bool changed = false;
        if (FCaption->CloseButtonHoverColor() != clNone) {
            const bool hot = FCaption->CloseButton() && closeSlot.Contains(p);
            changed |= hot != FCloseHot;
            FCloseHot = hot;
        }
        if (FCaption->MinMaxButtonHoverColor() != clNone) {
            const bool hot = FCaption->MinMaxButton() && minMaxSlot.Contains(p);
            changed |= hot != FMinMaxHot;
            FMinMaxHot = hot;
        }
        if (changed)
            Invalidate();
    }
    AnchorHover(X, Y, anchor, anchorRect);
}

void TCustomKvxPanel::BringAboveSiblings() {
    // Hit tests come with every mouse move; a panel already on top is left alone, so the z-order change
    // and its repaint happen once.
    HWND wnd = Handle();
    if (GetTopWindow(GetParent(wnd)) != wnd)
        SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomKvxPanel::NCHitTest(TMessage& Message) {
    if (Designing())
        return;
    TRect r = ClientRect();
    const int w = ButtonSize(true);
    const int zone = (FCaption->CloseButton() ? w : 0) + (FCaption->MinMaxButton() ? w : 0);
    const bool top = FCaption->Position() == cpTop;
    const bool right = FCaption->ButtonPosition() == cbpRight;
    if (top && right)
        r.Right -= zone;
    else if (top)
        r.Left += zone;
    else if (right)
        r.Top += zone;
    else
        r.Bottom -= zone;
    const TPoint screen{static_cast<int16_t>(Message.LParam & 0xFFFF),
                        static_cast<int16_t>((Message.LParam >> 16) & 0xFFFF)};
    const TPoint p = ScreenToClient(screen);
    const bool inBand = top ? p.Y < FCaption->Height() && p.X > r.Left && p.X < r.Right
                            : p.X < FCaption->Height() && p.Y > r.Top && p.Y < r.Bottom;
    if (FCaption->Visible() && inBand) {
        if (AnchorAt(p.X, p.Y).empty() && Message.Result == HTCLIENT && FCanMove) {
            MouseMove(0, p.X, p.Y);
            Message.Result = HTCAPTION;
            FMoving = true;
            BringAboveSiblings();
        }
    }
    if (p.Y > Height() - GetSystemMetrics(SM_CYHSCROLL) && p.X > Width() - GetSystemMetrics(SM_CXHSCROLL) &&
        Message.Result == HTCLIENT && FCanSize && !FCollaps) {
        BringAboveSiblings();
        Message.Result = HTBOTTOMRIGHT;
    }
}

void TCustomKvxPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_RELEASE:
        // A release that arrives while a collapse animation processes messages waits for its end: the
        // animation still runs on this panel.
        if (FBusy) {
            FReleasePending = true;
            return;
        }
        delete this;
        return;
    case WM_DESTROY:
        // Heard also when the window goes with its form's window.
        WindowDestroyed();
        break;
    case WM_NCHITTEST:
        TCustomPanel::Dispatch(Message);
        NCHitTest(Message);
        return;
    case WM_ERASEBKGND:
        // The paint that follows covers the background all over; drawing it (for a transparent parent,
        // the parent's whole picture) would only be painted over.
        if (PaintsWholeClient()) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_SETCURSOR:
        TCustomPanel::Dispatch(Message);
        if (FMoving && FShowMoveCursor)
            if (Screen)
                ::plat::SetCursor(Screen->Cursors(crSizeAll));
        return;
    case CM_MOUSEENTER:
        if (OnMouseEnter)
            OnMouseEnter(this);
        TCustomPanel::Dispatch(Message);
        return;
    case CM_MOUSELEAVE: {
        ReleaseHover();
        if (OnMouseLeave)
            OnMouseLeave(this);
        const bool wasHot = FCloseHot || FMinMaxHot;
        FCloseHot = FMinMaxHot = false;
        if (wasHot)
            Invalidate();
        TCustomPanel::Dispatch(Message);
        return;
    }
    case CM_HINTSHOW:
        TCustomPanel::Dispatch(Message);
        if (Message.LParam)
            HintShow(*reinterpret_cast<THintInfo*>(Message.LParam));
        return;
    case WM_SIZING:
        if (!Designing() && Message.LParam) {
            auto& r = *reinterpret_cast<TRect*>(Message.LParam);
            // A panel made in code has no load size; it keeps the size it has.
            if (FFixedWidth)
                r.Right = r.Left + (FLoadSize.cx >= 0 ? FLoadSize.cx : Width());
            if (FFixedHeight)
                r.Bottom = r.Top + (FLoadSize.cy >= 0 ? FLoadSize.cy : Height());
            FFullHeight = FCaption->Position() == cpTop ? r.Height() : r.Width();
            if (r.Width() != Width())
                UpdateShade();
            Message.Result = 0;
            return;
        }
        break;
    case WM_MOVING:
        if (!Designing() && Message.LParam) {
            auto& r = *reinterpret_cast<TRect*>(Message.LParam);
            FLoadOrigin = ClientOrigin();
            if (FFixedLeft)
                OffsetRect(r, FLoadOrigin.X - r.Left, 0);
            if (FFixedTop)
                OffsetRect(r, 0, FLoadOrigin.Y - r.Top);
            Message.Result = 0;
            return;
        }
        break;
    case WM_EXITSIZEMOVE:
        TCustomPanel::Dispatch(Message);
        if (!Designing()) {
            if (OnEndMoveSize)
                OnEndMoveSize(this);
            NotifyGroup();
        }
        return;
    default:
        break;
    }
    TCustomPanel::Dispatch(Message);
}

// ---- Anchors --------------------------------------------------------------------------------------------

std::string TCustomKvxPanel::AnchorAt(int X, int Y, TRect& AnchorRect) {
    AnchorRect = TRect();
    // Laid out on a canvas of its own: hit tests also come outside painting.
    TBitmap scratch(1, 1);
    TCanvas& canvas = *scratch.Canvas();
    TRect r = ClientRect();
    if (BevelInner() != bvNone || BevelOuter() != bvNone)
        InflateRect(r, -BevelWidth(), -BevelWidth());
    if (FBorderShadow) {
        r.Right -= 2;
        r.Bottom -= 2;
    }
    InflateRect(r, -BorderWidth(), -BorderWidth());
    InflateRect(r, -1, -1);
    r.Left += FIndent;
    r.Top += FTopIndent;
    canvas.Font()->Assign(Font());

    TMarkupOptions opt;
    opt.Images = FImages;
    opt.PictureContainer = FPictureContainer;
    opt.PictureCache = FCache.get();
    opt.LineSpacing = FLineSpacing;
    opt.URLColor = FURLColor;
    opt.NoDraw = true;
    opt.WordWrap = true;

    int textHeight = 0;
    if (FTextVAlign != tvaTop) {
        TMarkupOptions measure = opt;
        measure.HoverOnly = FHover;
        measure.HoverColor = FHoverColor;
        measure.HoverFontColor = FHoverFontColor;
        measure.ShadowColor = FShadowColor;
        measure.ShadowOffset = FShadowOffset;
        measure.HoverLinkNumber = FBodyHoverLink;
        TMarkupResult res;
        DrawMarkupText(canvas, FText, r, measure, res);
        textHeight = res.TotalHeight;
    }
    opt.X = X;
    opt.Y = Y;
    opt.ShadowColor = clGray;
    opt.HoverFontColor = clRed;
    opt.HoverColor = clBlue;
    opt.ShadowOffset = 2;

    const bool top = FCaption->Position() == cpTop;
    const bool inBand = top ? Y < FCaption->Height() : X < FCaption->Height();
    TMarkupResult res;
    bool found = false;
    if (FCaption->Visible() && inBand) {
        // A caption on the left is drawn as plain rotated text: it has no anchors.
        if (!top)
            return {};
        r.Bottom = r.Top + FCaption->Height();
        canvas.Font()->Assign(FCaption->Font());
        r.Left += FCaption->Indent();
        r.Top += FCaption->TopIndent();
        found = DrawMarkupText(canvas, FCaption->Text(), r, opt, res);
        FCaptionHoverLink = found ? res.LinkUnderPoint : -1;
    } else {
        if (FCaption->Visible()) {
            if (top)
                r.Top += FCaption->Height();
            else
                r.Left += FCaption->Height();
        }
        if (FTextVAlign != tvaTop && textHeight < r.Height())
            r.Top = FTextVAlign == tvaCenter ? r.Top + (r.Height() - textHeight) / 2 : r.Bottom - textHeight;
        canvas.Font()->Assign(Font());
        r.Bottom += 20;
        found = DrawMarkupText(canvas, FText, r, opt, res);
        FBodyHoverLink = found ? res.LinkUnderPoint : -1;
    }
    if (!found || res.LinkTarget.empty())
        return {};
    AnchorRect = res.LinkRect;
    return res.LinkTarget;
}

void TCustomKvxPanel::InvalidateArea(const TRect& R) {
    if (HandleAllocated() && FHover)
        InvalidateRect(WindowHandle(), &R, false);
}

void TCustomKvxPanel::AnchorHover(int X, int Y, const std::string& Anchor, const TRect& R) {
    const bool top = FCaption->Position() == cpTop;
    const bool inBand = top ? Y < FCaption->Height() : X < FCaption->Height();
    auto enter = [&] {
        if (FAnchorHint && Application)
            Application->CancelHint();
        SetCursor(crHandPoint);
        if (OnAnchorEnter)
            OnAnchorEnter(this, Anchor);
    };
    auto grown = [](TRect r) {
        InflateRect(r, 1, 1);
        return r;
    };
    if (FCaption->Visible() && inBand) {
        if (FBodyHoverLink >= 0 || FLastBodyHoverLink >= 0) {
            InvalidateArea(grown(FBodyHoverRect));
            FBodyHoverLink = FLastBodyHoverLink = -1;
        }
        if (!Anchor.empty()) {
            if (Anchor != FLastAnchor || !(R == FCaptionHoverRect) || FCaptionHoverLink == -1) {
                if (!FLastAnchor.empty())
                    InvalidateArea(FCaptionHoverRect);
                InvalidateArea(R);
            }
            if (Cursor() == FSavedCursor || Anchor != FLastAnchor) {
                enter();
                InvalidateArea(R);
            }
            FLastAnchor = Anchor;
            FCaptionHoverRect = R;
        } else if (Cursor() == crHandPoint) {
            SetCursor(FSavedCursor);
            if (OnAnchorExit)
                OnAnchorExit(this, "");
            FCaptionHoverLink = -1;
            InvalidateArea(FCaptionHoverRect);
            FLastAnchor.clear();
        }
        return;
    }
    if (FCaptionHoverLink >= 0) {
        FCaptionHoverLink = -1;
        InvalidateArea(FCaptionHoverRect);
    }
    if (!Anchor.empty()) {
        if (Anchor != FLastAnchor || !(R == FBodyHoverRect) || FBodyHoverLink == -1 ||
            FBodyHoverLink != FLastBodyHoverLink) {
            InvalidateArea(grown(FBodyHoverRect));
            InvalidateArea(R);
        }
        if (Cursor() == FSavedCursor || Anchor != FLastAnchor)
            enter();
        FLastAnchor = Anchor;
        FBodyHoverRect = R;
        FLastBodyHoverLink = FBodyHoverLink;
    } else if (Cursor() == crHandPoint) {
        SetCursor(FSavedCursor);
        if (OnAnchorExit)
            OnAnchorExit(this, "");
        InvalidateArea(grown(FBodyHoverRect));
        FBodyHoverLink = FLastBodyHoverLink = -1;
        FLastAnchor.clear();
    }
}

void TCustomKvxPanel::ReleaseHover() {
    if (FBodyHoverLink >= 0) {
        FBodyHoverLink = FLastBodyHoverLink = -1;
        TRect r = FBodyHoverRect;
        InflateRect(r, 1, 1);
        InvalidateArea(r);
    }
    if (FCaptionHoverLink >= 0) {
        FCaptionHoverLink = -1;
        TRect r = FCaptionHoverRect;
        InflateRect(r, 1, 1);
        InvalidateArea(r);
    }
}

void TCustomKvxPanel::AnchorClick(int X, int Y) {
    const std::string anchor = AnchorAt(X, Y);
    if (anchor.empty())
        return;
    if (anchor.find("://") != std::string::npos || anchor.find("mailto:") != std::string::npos)
        OpenLink(anchor); // refuses anything but web and mail links
    else if (OnAnchorClick)
        OnAnchorClick(this, anchor);
}

void TCustomKvxPanel::HintShow(THintInfo& Info) {
    if (!FAnchorHint)
        return;
    std::string anchor = AnchorAt(Info.CursorPos.X, Info.CursorPos.Y);
    if (anchor.empty())
        return;
    if (OnAnchorHint)
        OnAnchorHint(this, anchor);
    TPoint p = ClientToScreen(Info.CursorPos);
    Info.HintPos = TPoint(p.X + 10, p.Y - 10);
    Info.HintStr = anchor;
}

// ---- Auto size, loading, persistence --------------------------------------------------------------------

void TCustomKvxPanel::UpdateAutoSize() {
    if (!FAutoSize || !FAutoSize->Enabled() || Loading())
        return;
    const int bw = BevelWidth();
    const int w0 = FAutoSize->Width() ? 65535 : Width() - 2 * bw;
    const int h0 = FAutoSize->Height() ? 65535 : Height() - 2 * bw;
    TBitmap scratch(1, 1);
    TCanvas& canvas = *scratch.Canvas();
    canvas.Font()->Assign(Font());
    TMarkupOptions opt;
    opt.MeasureOnly = true;
    opt.WordWrap = true;
    opt.Images = FImages;
    opt.PictureContainer = FPictureContainer;
    opt.PictureCache = FCache.get();
    opt.LineSpacing = FLineSpacing;
    opt.URLColor = FURLColor;
    opt.ShadowColor = FShadowColor;
    opt.ShadowOffset = FShadowOffset;
    TMarkupResult res;
    DrawMarkupText(canvas, FText, TRect(0, 0, w0, h0), opt, res);
    const int tw = res.MaxLineWidth + 2 * BorderWidth();
    const int th = res.TotalHeight + 2 * BorderWidth();
    const bool top = FCaption->Position() == cpTop;
    const int status = FStatusBar->Visible() ? FStatusBar->Height() : 0;
    if (FAutoSize->Width()) {
        if (top)
            SetWidth(2 * bw + tw + FIndent);
        else
            SetWidth((FCaption->Visible() ? FCaption->Height() : 0) + tw + status + 2 * bw + FIndent);
    }
    if (FAutoSize->Height()) {
        if (!top)
            SetHeight(2 * bw + th + FTopIndent);
        else if (FCaption->Visible() && FStatusBar->Visible())
            SetHeight(FCaption->Height() + th + status + 2 * bw + FTopIndent + 2 * BorderWidth());
        else if (FCaption->Visible())
            SetHeight(FCaption->Height() + th + 2 * bw + FTopIndent);
        else
            SetHeight(status + th + 2 * bw + FTopIndent);
    }
    NotifyGroup();
}

void TCustomKvxPanel::Loaded() {
    TCustomPanel::Loaded();
    if (FPosition->Save())
        RestoreBounds();
    FLoadOrigin = Parent() ? ClientOrigin() : TPoint();
    FLoadSize = {Width(), Height()};
    FSavedCursor = Cursor();
    FSavedColor = Color();
    if (FStyler)
        ApplySettings(FStyler->Settings());
}

void TCustomKvxPanel::WindowDestroyed() {
    if (FPosition->Save()) {
        try {
            SaveBounds();
        } catch (const std::exception&) {
            // The window goes away while its form closes; bounds that could not be kept are not worth
            // an error there, and the next run starts from the form's own bounds.
        }
    }
}

namespace {

// The store of a panel's bounds: an INI file in the config folder (a relative name) or the settings
// registry below a key path.
std::unique_ptr<TCustomIniFile> OpenBoundsStore(const TPanelPosition& Position) {
    if (Position.Location() == clInifile) {
        std::string name = Position.Key();
        if (name.empty() || name[0] != '/')
            name = ConfigFolder() + name;
        return std::make_unique<TIniFile>(name);
    }
    return std::make_unique<TRegistryIniFile>(Position.Key());
}

} // namespace

void TCustomKvxPanel::SaveBounds() {
    if (FPosition->Key().empty() || FPosition->Section().empty() || Designing())
        return;
    auto store = OpenBoundsStore(*FPosition);
    const std::string& s = FPosition->Section();
    store->WriteInteger(s, "Top", Top());
    store->WriteInteger(s, "Left", Left());
    store->WriteInteger(s, "Height", Height());
    store->WriteInteger(s, "FullHeight", FFullHeight);
    store->WriteInteger(s, "Width", Width());
    store->WriteInteger(s, "Collaps", FCollaps ? 1 : 0);
    store->UpdateFile();
}

void TCustomKvxPanel::RestoreBounds() {
    if (FPosition->Key().empty() || FPosition->Section().empty() || Designing())
        return;
    auto store = OpenBoundsStore(*FPosition);
    const std::string& s = FPosition->Section();
    const int top = store->ReadInteger(s, "Top", Top());
    const int left = store->ReadInteger(s, "Left", Left());
    const int height = store->ReadInteger(s, "Height", Height());
    const int width = store->ReadInteger(s, "Width", Width());
    SetBounds(left, top, width, height);
    SetCollaps(store->ReadInteger(s, "Collaps", 0) == 1);
    FFullHeight = store->ReadInteger(s, "FullHeight", Height());
}

} // namespace ui
