#include "ui/controls/KvxEdBtn.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemServices.h"
#include "ui/controls/XPVisualStyles.h"

using namespace plat;

namespace ui {

// ---- The speed button -------------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TKvxSpeedButton, TSpeedButton)
PLAT_PROPERTIES(TKvxSpeedButton) {
    props.Boolean("Etched", &TKvxSpeedButton::Etched, &TKvxSpeedButton::SetEtched, false);
    props.Boolean("Focused", &TKvxSpeedButton::Focused, &TKvxSpeedButton::SetFocused, false);
}

TKvxSpeedButton::TKvxSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {
    FComCtl6 = CommonControlsMajorVersion() >= 6;
}

void TKvxSpeedButton::SetEtched(bool Value) {
    if (FEtched == Value)
        return;
    FEtched = Value;
    Invalidate();
}

void TKvxSpeedButton::SetFocused(bool Value) {
    if (FFocused == Value)
        return;
    FFocused = Value;
    Invalidate();
}

void TKvxSpeedButton::Paint() {
    if (!Edit) {
        TSpeedButton::Paint();
        return;
    }
    TCanvas& c = *Canvas();
    bool disabled = Edit->ButtonDisabled();
    bool down = State() == bsDown || State() == bsExclusive;
    bool hot = Hot();
    const TThemeBinding& themes = AEBXPVS();
    bool themed = FComCtl6 && themes.UseThemes();
    int stateId = disabled ? TS_DISABLED : down ? TS_PRESSED : hot ? TS_HOT : TS_NORMAL;
    TRect client = ClientRect();
    HWND owner = Parent() ? Parent()->Handle() : nullptr;

    if (Edit->ButtonStyle() == edbtn::bsDropDown) {
        if (themed) {
            if (HTHEME theme = themes.Api().OpenThemeData(owner, "combobox")) {
                TRect r(client.Left - 1 + 2, client.Top - 1, client.Right + 1, client.Bottom + 1);
                themes.Api().DrawThemeBackground(theme, c.Handle(), CP_DROPDOWNBUTTON, stateId, r, nullptr);
                themes.Api().CloseThemeData(theme);
                return;
            }
        }
        TSpeedButton::Paint();
        int W = Width(), H = Height();
        if (!Glyph() || Glyph()->Empty()) {
            // Without a glyph of its own the button shows the drop-down arrow.
            TPoint tip[] = {{W / 2 - 3 + (down ? 1 : 0), H / 2 - 1 + (down ? 1 : 0)},
                            {W / 2 + 3 + (down ? 1 : 0), H / 2 - 1 + (down ? 1 : 0)},
                            {W / 2 + (down ? 1 : 0), H / 2 + 2 + (down ? 1 : 0)}};
            c.Pen()->SetColor(disabled ? clGray : clBlack);
            c.Brush()->SetColor(disabled ? clGray : clBlack);
            c.Polygon(tip);
        }
        c.Pen()->SetWidth(1);
        c.Pen()->SetColor(clBtnFace);
        c.MoveTo(W - 2, 0);
        c.LineTo(0, 0);
        c.LineTo(0, H - 1);
        c.Pen()->SetColor(clWhite);
        c.MoveTo(W - 3, 1);
        c.LineTo(1, 1);
        c.LineTo(1, H - 2);
        return;
    }
    c.Font()->Assign(Edit->Font());
    if (themed) {
        if (HTHEME theme = themes.Api().OpenThemeData(owner, "button")) {
            c.FillRect(client);
            themes.Api().DrawThemeBackground(theme, c.Handle(), 1, stateId,
                                             TRect(0, 0, Width() + 1, Height() + 1), nullptr);
            themes.Api().CloseThemeData(theme);
            PaintGlyphAndText(c, down, disabled, false);
            return;
        }
    }
    if (Edit->Flat()) {
        c.FillRect(client);
        c.Brush()->SetColor(clBtnFace);
        c.FillRect(client);
        TRect r(0, 0, Width() + 1, Height() + 1);
        if (c.Handle())
            DrawEdge(*c.Handle(), r, static_cast<uint32_t>(FEtched ? EDGE_ETCHED : EDGE_RAISED),
                     static_cast<uint32_t>(BF_RECT) | (down ? static_cast<uint32_t>(BF_FLAT) : 0u));
        PaintGlyphAndText(c, down, disabled, true);
        return;
    }
    TSpeedButton::Paint();
}

void TKvxSpeedButton::PaintGlyphAndText(TCanvas& c, bool Down, bool Disabled, bool Classic) {
    TBitmap* glyph = Glyph();
    TRect client = ClientRect();
    std::string caption = Caption();
    bool hasGlyph = glyph && !glyph->Empty();
    int offset = Down ? 1 : 0;
    int glyphRight = 0;
    if (hasGlyph) {
        TRect r = client;
        int shrink = Classic ? 3 : 2;
        InflateRect(r, -shrink, -shrink);
        int x = r.Left, y = r.Top;
        if (!Classic) {
            if (!caption.empty())
                x += 2;
            else if (glyph->Width() < r.Width())
                x += (r.Width() - glyph->Width()) / 2;
            if (glyph->Height() < r.Height())
                y += (r.Height() - glyph->Height()) / 2;
        }
        glyph->SetTransparent(true);
        c.Draw(x + offset, y + offset, glyph);
        glyphRight = x + glyph->Width();
    }
    if (caption.empty())
        return;
    c.Brush()->SetStyle(bsClear);
    if (Disabled && Classic)
        c.Font()->SetColor(clGray);
    if (!hasGlyph) {
        TRect r(client.Left + 3 + offset, client.Top + 1 + offset, client.Right - 3 + offset,
                client.Bottom - 1 + offset);
        c.TextRect(r, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        TRect r(glyphRight + 2, client.Top - 1, client.Right, client.Bottom - 1);
        c.TextRect(r, caption, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    c.Brush()->SetStyle(bsSolid);
}

// ---- The button holder --------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TEditButton, TWinControl)
PLAT_PROPERTIES(TEditButton) {
    props.Object("Glyph", &TEditButton::Glyph, &TEditButton::SetGlyph);
    props.Integer("NumGlyphs", &TEditButton::NumGlyphs, &TEditButton::SetNumGlyphs, 1);
    props.String("ButtonCaption", &TEditButton::ButtonCaption, &TEditButton::SetButtonCaption);
    props.Component("FocusControl", &TEditButton::FocusControl, &TEditButton::SetFocusControl);
    props.Event("OnClick", &TEditButton::OnClick);
    props.Default("TabStop", false);
}

TEditButton::TEditButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle((ControlStyle() & ~(csAcceptsControls | csSetCaption)) | csFramed | csOpaque);
    FButton = new TKvxSpeedButton(this);
    FButton->SetParent(this);
    FButton->SetVisible(true);
    FButton->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int, int) {
        ButtonMouseUp(Button);
    };
    SetBounds(0, 0, 16, 25);
    SetTabStop(false);
}

void TEditButton::SetFocusControl(TWinControl* Value) {
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TEditButton::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
    if (Operation == opRemove && AComponent == FButton)
        FButton = nullptr;
}

void TEditButton::SetButtonWidth(int Value) {
    FButtonWidth = Value;
    SetBounds(Left(), Top(), Value, Height());
}

void TEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!(ComponentState() & csLoading))
        AWidth = FButtonWidth;
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FButton && !(ComponentState() & csLoading))
        FButton->SetBounds(0, 0, FButtonWidth, AHeight);
}

void TEditButton::SetEnabled(bool Value) {
    TWinControl::SetEnabled(Value);
    if (FButton)
        FButton->SetEnabled(Value);
}

void TEditButton::ButtonMouseUp(TMouseButton Button) {
    if (Button != mbLeft)
        return;
    if (OnClick)
        OnClick(this);
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && CanFocus() && !Focused())
        SetFocus();
}

// ---- The edit with button -----------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TKvxEditBtn, TKvxEdit)

namespace {
// Layouts create the edits by name.
struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxEditBtn::StaticClass()); }
} registrar;
} // namespace
PLAT_PROPERTIES(TKvxEditBtn) {
    props.Enum("ButtonStyle", &TKvxEditBtn::ButtonStyle, &TKvxEditBtn::SetButtonStyle, edbtn::kButtonStyleNames,
               edbtn::bsButton);
    props.Integer("ButtonWidth", &TKvxEditBtn::ButtonWidth, &TKvxEditBtn::SetButtonWidth, 17);
    props.String("ButtonHint", &TKvxEditBtn::ButtonHint, &TKvxEditBtn::SetButtonHint);
    props.String("ButtonCaption", &TKvxEditBtn::ButtonCaption, &TKvxEditBtn::SetButtonCaption);
    props.Object("Glyph", &TKvxEditBtn::Glyph, &TKvxEditBtn::SetGlyph);
    props.Boolean("EditorEnabled", &TKvxEditBtn::EditorEnabled, &TKvxEditBtn::SetEditorEnabled, true);
    props.Boolean("Flat", &TKvxEditBtn::Flat, &TKvxEditBtn::SetFlat, false);
    props.Boolean("Etched", &TKvxEditBtn::Etched, &TKvxEditBtn::SetEtched, false);
    props.Boolean("ReadOnly", &TKvxEditBtn::ReadOnly, &TKvxEditBtn::SetReadOnly, false);
    props.Event("OnClickBtn", &TKvxEditBtn::OnClickBtn);
}

TKvxEditBtn::TKvxEditBtn(TComponent* AOwner) : TKvxEdit(AOwner) {
    FButton = new TEditButton(this);
    FButton->Button()->Edit = this;
    FButton->SetParent(this);
    FButton->SetBounds(0, 0, 17, 17);
    FButton->SetVisible(true);
    FButton->SetFocusControl(this);
    FButton->OnClick = [this](TObject*) { ButtonClick(); };
    SetTextProp("");
    SetControlStyle(ControlStyle() & ~csSetCaption);
    FEditorEnabled = true;
    FRightReserve = 18;
    FLeftReserve = 0;
}

TKvxEditBtn::~TKvxEditBtn() {
    // The owner frees the button; nothing may reach it through this edit meanwhile.
    FButton = nullptr;
}

uint32_t TKvxEditBtn::PackedVersion() const {
    return (1u << 24) | (3u << 16) | (2u << 8) | 3u;
}

void TKvxEditBtn::ButtonClick() {
    if (OnClickBtn)
        OnClickBtn(this);
}

void TKvxEditBtn::Notification(TComponent* AComponent, TOperation Operation) {
    TKvxEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FButton)
        FButton = nullptr;
}

void TKvxEditBtn::SetButtonStyle(edbtn::TButtonStyle Value) {
    if (FButtonStyle == Value)
        return;
    FButtonStyle = Value;
    if (FButton)
        FButton->Button()->Invalidate();
}

void TKvxEditBtn::SetButtonWidth(int Value) {
    if (!FButton)
        return;
    FButton->SetButtonWidth(Value);
    FRightReserve = Value + 1;
    if (FButton->HandleAllocated())
        Layout();
}

void TKvxEditBtn::SetButtonHint(const std::string& Value) {
    if (FButtonHint == Value)
        return;
    FButtonHint = Value;
    if (FButton) {
        FButton->Button()->SetHint(Value);
        FButton->Button()->SetShowHint(!Value.empty());
    }
}

void TKvxEditBtn::SetButtonCaption(const std::string& Value) {
    if (FButton)
        FButton->SetButtonCaption(Value);
}

void TKvxEditBtn::SetGlyph(TBitmap* Value) {
    if (FButton)
        FButton->SetGlyph(Value);
}

void TKvxEditBtn::SetFlat(bool Value) {
    if (ComponentState() & csLoading) {
        TKvxEdit::SetFlat(Value);
        return;
    }
    if (FButton)
        FButton->Button()->SetFlat(Value);
    TKvxEdit::SetFlat(Value);
    Layout();
}

void TKvxEditBtn::SetEtched(bool Value) {
    FEtched = Value;
    if (FButton)
        FButton->Button()->SetEtched(Value);
}

void TKvxEditBtn::SetReadOnly(bool Value) {
    TKvxEdit::SetReadOnly(Value);
    if (FButton)
        FButton->SetEnabled(Enabled() && !Value);
}

void TKvxEditBtn::SetEnabled(bool Value) {
    TKvxEdit::SetEnabled(Value);
    if (FButton)
        FButton->SetEnabled(Value && !ReadOnly());
}

void TKvxEditBtn::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TKvxEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!(ComponentState() & csLoading))
        Layout();
}

void TKvxEditBtn::CreateWnd() {
    TKvxEdit::CreateWnd();
    Layout();
}

void TKvxEditBtn::Loaded() {
    TKvxEdit::Loaded();
    Layout();
}

int TKvxEditBtn::MinHeight() const {
    TBitmap measure;
    measure.SetSize(1, 1);
    TCanvas& c = *measure.Canvas();
    c.Font()->Assign(Font());
    int fontHeight = c.TextHeight("Wg");
    TFont systemFont;
    c.Font()->Assign(&systemFont);
    int systemHeight = c.TextHeight("Wg");
    return fontHeight + std::min(fontHeight, systemHeight) / 4;
}

void TKvxEditBtn::Layout() {
    if (!FButton)
        return;
    if (int least = MinHeight(); Height() < least) {
        SetHeight(least); // lays out again from the resize
        return;
    }
    // The button fills the right end of the client area; the text keeps clear of it.
    int bw = FButton->ButtonWidth();
    int top = Flat() ? 2 : 0;
    int height = ClientHeight() - (Flat() ? 3 : 0);
    FButton->SetBounds(ClientWidth() - bw, top, bw, std::max(0, height));
    UpdateEditRect(Flat());
    Invalidate();
}

void TKvxEditBtn::UpdateEditRect(bool AFlat) {
    if (!HandleAllocated())
        return;
    if (!FButton) {
        TKvxEdit::UpdateEditRect(AFlat);
        return;
    }
    TRect r;
    Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    bool border = BorderStyle() == bsSingle;
    r.Bottom = ClientHeight() + 1;
    r.Right = ClientWidth() - FButton->ButtonWidth() - 4;
    r.Left = border ? 1 : 2;
    r.Top = border ? 1 : 4;
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TKvxEditBtn::UpdateButtonLook() {
    if (!Flat() || !FButton)
        return;
    bool focused =
        (ComponentState() & csDesigning) ? Enabled() : FHover || (Screen && Screen->ActiveControl() == this);
    FButton->Button()->SetFocused(focused);
}

void TKvxEditBtn::WndProc(TMessage& Message) {
    if (ComponentState() & csDesigning) {
        TKvxEdit::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CHAR:
        if (!FEditorEnabled)
            return;
        break;
    case WM_PASTE:
    case WM_CUT:
        if (!FEditorEnabled || ReadOnly())
            return;
        break;
    case WM_KEYDOWN: {
        uint16_t key = static_cast<uint16_t>(Message.WParam);
        bool ctrl = GetKeyState(VK_CONTROL) < 0;
        bool alt = GetKeyState(VK_MENU) < 0;
        TKvxEdit::WndProc(Message);
        if (key == VK_F4 && !ctrl && !alt)
            ButtonClick();
        if (key == VK_RETURN && ctrl && HandleAllocated())
            PostMessage(WindowHandle(), WM_KEYDOWN, VK_UP, 0);
        return;
    }
    case WM_SETFOCUS:
        if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0)
            SelectValue();
        TKvxEdit::WndProc(Message);
        UpdateButtonLook();
        if (FButton)
            UpdateEditRect(Flat());
        return;
    case WM_KILLFOCUS:
        TKvxEdit::WndProc(Message);
        UpdateButtonLook();
        return;
    case CM_MOUSEENTER:
        if (Enabled())
            FHover = true;
        TKvxEdit::WndProc(Message);
        UpdateButtonLook();
        return;
    case CM_MOUSELEAVE:
        if (Enabled())
            FHover = false;
        TKvxEdit::WndProc(Message);
        UpdateButtonLook();
        return;
    case WM_SIZE:
        TKvxEdit::WndProc(Message);
        Layout();
        return;
    }
    TKvxEdit::WndProc(Message);
}

} // namespace ui

namespace ui {

void TKvxEditBtn::GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) {
    TKvxEdit::GetChildren(
        [&](plat::TComponent* Child) {
            if (Child != FButton)
                Proc(Child);
        },
        Root);
}

} // namespace ui
