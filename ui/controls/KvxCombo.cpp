#include "ui/controls/KvxCombo.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Input.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/SystemServices.h"
#include "ui/controls/XPVisualStyles.h"

namespace ui {

using namespace plat;

PLAT_CLASS_INFO(TKvxCustomCombo, plat::TCustomComboBox)
PLAT_CLASS_INFO_CREATABLE(TKvxComboBox, TKvxCustomCombo)

namespace {
struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxComboBox::StaticClass()); }
} registrar;

// The frame of a disabled combo on a themed system that asked for no platform border.
constexpr TColor kDisabledFrame = 0xB99D7F;
} // namespace

PLAT_PROPERTIES(TKvxCustomCombo) {
    using C = TKvxCustomCombo;
    props.String("Version", &C::Version, &C::SetVersion).Stored(false);
    props.Color("Color", &C::ColorProp, &C::SetColorProp);
    props.Boolean("Flat", &C::Flat, &C::SetFlat, false);
    props.Color("FlatLineColor", &C::FlatLineColor, &C::SetFlatLineColor, clBlack);
    props.Boolean("FlatParentColor", &C::FlatParentColor, &C::SetFlatParentColor, true);
    props.Boolean("Etched", &C::Etched, &C::SetEtched, false);
    props.Integer("ButtonWidth", &C::ButtonWidth, &C::SetButtonWidth, 19);
    props.Integer("DropWidth", &C::DropWidth, &C::SetDropWidth, 0);
    props.Boolean("DisabledBorder", &C::DisabledBorder, &C::SetDisabledBorder, true);
    props.Boolean("FocusBorder", &C::FocusBorder, &C::SetFocusBorder, false);
    props.Color("FocusBorderColor", &C::FocusBorderColor, &C::SetFocusBorderColor, clNone);
    props.Color("FocusColor", &C::FocusColor, &C::SetFocusColor, clNone);
    props.Boolean("AutoFocus", &C::AutoFocus, &C::SetAutoFocus, false);
    props.String("LabelCaption", &C::LabelCaption, &C::SetLabelCaption);
    props.Enum("LabelPosition", &C::LabelPosition, &C::SetLabelPosition, kLabelPositionNames, lpLeftTop);
    props.Integer("LabelMargin", &C::LabelMargin, &C::SetLabelMargin, 4);
    props.Boolean("LabelTransparent", &C::LabelTransparent, &C::SetLabelTransparent, false);
    props.Object("LabelFont", &C::LabelFont, &C::SetLabelFont);
    props.Boolean("LabelAlwaysEnabled", &C::LabelAlwaysEnabled, &C::SetLabelAlwaysEnabled, false);
    props.Event("OnDropUp", &C::OnDropUp);
    // DropWidth carries the dropped width.
    props.Hide("DropDownWidth");
}

PLAT_PROPERTIES(TKvxComboBox) {}

TKvxCustomCombo::TKvxCustomCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FStyledPlatform(IsWinXPOrLater()),
      FThemesCapable(CommonControlsMajorVersion() >= 6), FLabelFont(std::make_unique<TFont>()) {
    FButtonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
    FLabelFont->OnChange = [this](TObject*) { LayoutLabel(); };
}

TKvxCustomCombo::~TKvxCustomCombo() {
    FLabelFont->OnChange = nullptr;
}

uint32_t TKvxCustomCombo::PackedVersion() const {
    return 0x01020501;
}

std::string TKvxCustomCombo::Version() const {
    uint32_t v = PackedVersion();
    return IntToStr(v >> 24) + "." + IntToStr((v >> 16) & 0xFF) + "." + IntToStr((v >> 8) & 0xFF) + "." +
           IntToStr(v & 0xFF);
}

bool TKvxCustomCombo::Loading() const {
    return (ComponentState() & csLoading) != 0;
}

bool TKvxCustomCombo::Themed() const {
    return FThemesCapable && ACXPVS().UseThemes();
}

bool TKvxCustomCombo::HoldsFocus() const {
    TWinControl* active = Screen ? Screen->ActiveControl() : nullptr;
    return active && (active == this || active == EditPart());
}

bool TKvxCustomCombo::Active() const {
    if (ComponentState() & csDesigning)
        return Enabled();
    return FHot || HoldsFocus();
}

int TKvxCustomCombo::BorderOffset() const {
    return std::max(0, (Width() - ClientWidth()) / 2);
}

bool TKvxCustomCombo::OwnFrame() const {
    return FFlat || (FFocusBorderColor != clNone && FFocused) || (!Enabled() && Themed() && !FDisabledBorder);
}

int TKvxCustomCombo::ButtonStripWidth() const {
    // The button is laid out on the whole window; the platform's border takes its share of it.
    return std::max(0, FButtonWidth - BorderOffset());
}

// ---- Properties -------------------------------------------------------------------------------------------

void TKvxCustomCombo::SetColorProp(TColor Value) {
    if (Loading())
        FDesignColor = Value;
    SetColor(Value);
}

void TKvxCustomCombo::SetFlat(bool Value) {
    if (Value == FFlat)
        return;
    FFlat = Value;
    if (FFlatParentColor && FFlat && Parent())
        SetColor(Parent()->Brush()->Color());
    else
        SetColor(FDesignColor);
    Redraw();
}

void TKvxCustomCombo::SetFlatLineColor(TColor Value) {
    FFlatLineColor = Value;
    Redraw();
}

void TKvxCustomCombo::SetFlatParentColor(bool Value) {
    FFlatParentColor = Value;
    Redraw();
}

void TKvxCustomCombo::SetEtched(bool Value) {
    FEtched = Value;
    Redraw();
}

void TKvxCustomCombo::SetButtonWidth(int Value) {
    if (Value < 14 || Value > 32)
        return;
    FButtonWidth = Value;
    SetBounds(Left(), Top(), Width(), Height()); // the text part makes room
    Redraw();
}

void TKvxCustomCombo::SetDropWidth(int Value) {
    FDropWidth = std::max(0, Value);
    // 0 gives the list back its own width.
    SetDropDownWidth(FDropWidth);
}

void TKvxCustomCombo::SetDisabledBorder(bool Value) {
    FDisabledBorder = Value;
    Redraw();
}

void TKvxCustomCombo::SetFocusBorder(bool Value) {
    FFocusBorder = Value;
    Redraw();
}

void TKvxCustomCombo::SetFocusBorderColor(TColor Value) {
    FFocusBorderColor = Value;
    Redraw();
}

// ---- Label ------------------------------------------------------------------------------------------------

void TKvxCustomCombo::LayoutLabel() {
    TLabel* label = FLabel.Label();
    if (!label)
        return;
    if (!ParentFont())
        label->Font()->Assign(FLabelFont.get());
    FLabel.Place(FLabelPosition, FLabelMargin, FLabelTransparent);
    label->SetVisible(Visible());
}

void TKvxCustomCombo::SetLabelCaption(const std::string& Value) {
    bool created = !FLabel.Label();
    FLabel.SetCaption(Value, ParentFont() ? Font() : FLabelFont.get());
    if (created)
        FLabel.Label()->SetParentFont(ParentFont());
    LayoutLabel();
}

void TKvxCustomCombo::SetLabelPosition(TLabelPosition Value) {
    FLabelPosition = Value;
    LayoutLabel();
}

void TKvxCustomCombo::SetLabelMargin(int Value) {
    FLabelMargin = Value;
    LayoutLabel();
}

void TKvxCustomCombo::SetLabelTransparent(bool Value) {
    FLabelTransparent = Value;
    LayoutLabel();
}

void TKvxCustomCombo::SetLabelAlwaysEnabled(bool Value) {
    FLabelAlwaysEnabled = Value;
    LayoutLabel();
}

void TKvxCustomCombo::SetEnabled(bool Value) {
    bool old = Enabled();
    TCustomComboBox::SetEnabled(Value);
    if (Loading() || (ComponentState() & csDesigning) || old == Value)
        return;
    if (FLabel.Label() && !FLabelAlwaysEnabled) {
        FLabel.Label()->SetEnabled(Value);
        LayoutLabel();
    }
}

void TKvxCustomCombo::SetParent(TWinControl* AParent) {
    TCustomComboBox::SetParent(AParent);
    if (FLabel.Label()) {
        FLabel.Label()->SetParent(AParent);
        LayoutLabel();
    }
}

void TKvxCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!(ComponentState() & csDestroying))
        LayoutLabel();
}

void TKvxCustomCombo::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomComboBox::Notification(AComponent, Operation);
    FLabel.Notification(AComponent, Operation);
}

// ---- Painting ---------------------------------------------------------------------------------------------

void TKvxCustomCombo::DrawButton(TDeviceContext& DC) {
    const int w = Width(), h = Height();
    TRect r(w - FButtonWidth, 0, w, h);
    InflateRect(r, -1, -1);
    if (Themed()) {
        const TThemeBinding& themes = ACXPVS();
        if (HTHEME theme = themes.Api().OpenThemeData(Handle(), "combobox")) {
            const bool held = GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0;
            int state = !Enabled()                              ? TS_DISABLED
                        : held && DroppedDown()                 ? TS_PRESSED
                        : !held && FButtonHot && !DroppedDown() ? TS_HOT
                                                                : TS_NORMAL;
            themes.Api().DrawThemeBackground(theme, &DC, CP_DROPDOWNBUTTON, state, r, nullptr);
            themes.Api().CloseThemeData(theme);
            return;
        }
    }
    DrawFrameControl(DC, r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
}

void TKvxCustomCombo::DrawFrameInto(TDeviceContext& DC) {
    if (Enabled() && !FFlat && FFocusBorderColor == clNone)
        return;
    const int w = Width(), h = Height();
    TRect r(0, 0, w, h);
    if (!Enabled() && Themed() && !FDisabledBorder) {
        DC.FrameRect(r, CreateSolidBrush(kDisabledFrame));
    } else if (FFocusBorderColor != clNone) {
        if (FFocused)
            DC.FrameRect(r, CreateSolidBrush(ColorToRGB(FFocusBorderColor)));
    } else {
        const bool active = !(ComponentState() & csDesigning) && (FHot || HoldsFocus()) && FFocusBorder;
        TColor outer = active ? ColorToRGB(clBtnFace)
                              : ColorToRGB(Parent() ? Parent()->Brush()->Color() : TColor(clBtnFace));
        TColor inner = ColorToRGB(Color());
        if (active) {
            DrawEdge(DC, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        } else {
            DC.FrameRect(r, CreateSolidBrush(outer));
            InflateRect(r, -1, -1);
        }
        DC.FrameRect(r, CreateSolidBrush(outer));
        InflateRect(r, -1, -1);
        DC.FrameRect(r, CreateSolidBrush(inner));
        if (FFlat && FFlatLineColor != clNone) {
            DC.FillRect(TRect(0, h - 1, w - 20, h), CreateSolidBrush(ColorToRGB(FFlatLineColor)));
        }
    }
    if (Style() == csSimple || (FStyledPlatform && Themed()))
        return;
    int saved = DC.SaveDC();
    ScopeGuard restore([&] { DC.RestoreDC(saved); });
    // Only the button's rim changes: the arrow inside stays as drawn.
    DC.ExcludeClipRect(w - FButtonWidth + 4, 4, w - 4, h - 4);
    TRect b(w - FButtonWidth - 2, 0, w, h);
    InflateRect(b, -2, -2);
    if (Active()) {
        DrawEdge(DC, b, FEtched ? EDGE_ETCHED : EDGE_RAISED,
                 BF_RECT | (DroppedDown() ? uint32_t(BF_FLAT) : 0u));
    } else {
        TRect f(b.Left, b.Top + 1, b.Right - 1, b.Bottom - 1);
        DC.FillRect(f, CreateSolidBrush(ColorToRGB(clBtnFace)));
    }
}

void TKvxCustomCombo::DrawFrame() {
    if (!HandleAllocated() || !Showing())
        return;
    HWND wnd = Handle();
    HDC dc = GetWindowDC(wnd);
    if (!dc)
        return;
    ScopeGuard release([&] { ReleaseDC(wnd, dc); });
    if (OwnFrame() && Style() != csSimple)
        DrawButton(*dc);
    DrawFrameInto(*dc);
}

void TKvxCustomCombo::Paint() {
    if (!OwnFrame()) {
        TCustomComboBox::Paint();
        return;
    }
    TCanvas& c = *Canvas();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(ClientRect());
    if (Style() != csSimple) {
        // The platform's own button is left out; ours is drawn over the window below.
        const int off = BorderOffset();
        c.Handle()->ExcludeClipRect(ClientWidth() - (FButtonWidth - off) - 4, 0, ClientWidth() + 2,
                                    ClientHeight());
    }
    PaintText(c, TextRect());
    DrawFrame();
}

void TKvxCustomCombo::Redraw() {
    // The frame lies partly outside the client area, so it is drawn again with the client.
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TKvxCustomCombo::InvalidateButton() {
    if (!HandleAllocated())
        return;
    TRect r = ButtonRect();
    InvalidateRect(Handle(), &r, false);
}

// ---- Mouse, focus and list --------------------------------------------------------------------------------

void TKvxCustomCombo::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomComboBox::MouseMove(Shift, X, Y);
    const int x = X + BorderOffset();
    const bool over = x > Width() - FButtonWidth && x < Width();
    if (over != FButtonHot) {
        FButtonHot = over;
        Redraw();
    }
}

void TKvxCustomCombo::DoEnter() {
    if (!(ComponentState() & csDesigning)) {
        FFocused = true;
        if (FFocusColor != clNone) {
            // What the combo shows now is what it returns to, also when its colour was set in code.
            FNormalColor = Color();
            SetColor(FFocusColor);
        }
    }
    TCustomComboBox::DoEnter();
    Redraw();
}

void TKvxCustomCombo::DoExit() {
    FFocused = false;
    if (FFocusColor != clNone && FNormalColor != clNone)
        SetColor(FNormalColor);
    TCustomComboBox::DoExit();
    Redraw();
}

void TKvxCustomCombo::DropDown() {
    InvalidateButton();
    TCustomComboBox::DropDown();
}

void TKvxCustomCombo::CloseUp() {
    InvalidateButton();
    TCustomComboBox::CloseUp();
    if (OnDropUp)
        OnDropUp(this);
}

void TKvxCustomCombo::ColorChanged() {
    // The edit part shows the combo's colour.
    if (EditPart())
        EditPart()->SetColor(Color());
}

void TKvxCustomCombo::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        TCustomComboBox::Dispatch(Message);
        if (!FHot && Enabled()) {
            FHot = true;
            if (FAutoFocus && CanFocus() && !HoldsFocus())
                SetFocus();
            Redraw();
        }
        return;
    case CM_MOUSELEAVE:
        TCustomComboBox::Dispatch(Message);
        if (FHot && Enabled()) {
            FHot = false;
            FButtonHot = false;
            Redraw();
        }
        return;
    case CM_COLORCHANGED:
        TCustomComboBox::Dispatch(Message);
        ColorChanged();
        return;
    case CM_ENABLEDCHANGED:
        if (FFlat && !Loading()) {
            if (!Enabled()) {
                FSavedColor = Color();
                FSavedParentColor = ParentColor();
                if (Parent())
                    SetColor(Parent()->Brush()->Color());
            } else {
                SetColor(FSavedColor);
                SetParentColor(FSavedParentColor);
            }
        }
        TCustomComboBox::Dispatch(Message);
        return;
    case CM_VISIBLECHANGED:
        TCustomComboBox::Dispatch(Message);
        if (FLabel.Label())
            FLabel.Label()->SetVisible(Visible());
        return;
    case CM_PARENTFONTCHANGED:
        TCustomComboBox::Dispatch(Message);
        if (ParentFont() && FLabel.Label())
            FLabel.Label()->Font()->Assign(Font());
        return;
    case WM_NCPAINT:
        TCustomComboBox::Dispatch(Message);
        if (OwnFrame())
            DrawFrame();
        return;
    }
    TCustomComboBox::Dispatch(Message);
}

void TKvxCustomCombo::Loaded() {
    TCustomComboBox::Loaded();
    LayoutLabel();
    if (FDropWidth > 0)
        SetDropDownWidth(FDropWidth);
    FSavedColor = FDesignColor;
    if (!FFlatParentColor || FFlat)
        SetColor(FDesignColor);
    if (!FLabelAlwaysEnabled && FLabel.Label())
        FLabel.Label()->SetEnabled(Enabled());
    FNormalColor = Color();
}

} // namespace ui
