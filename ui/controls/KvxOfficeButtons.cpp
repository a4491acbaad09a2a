#include "ui/controls/KvxOfficeButtons.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GfxResources.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/ParentBackground.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/markup/MarkupText.h"
#include "ui/markup/PictureContainer.h"

namespace ui {

using namespace plat;

PLAT_CLASS_INFO(TKvxOfficeButtonControl, plat::TCustomControl)
PLAT_CLASS_INFO(TCustomKvxOfficeCheckBox, TKvxOfficeButtonControl)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficeCheckBox, TCustomKvxOfficeCheckBox)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficeRadioButton, TKvxOfficeButtonControl)
PLAT_CLASS_INFO(TKvxGroupButton, TKvxOfficeRadioButton)
PLAT_CLASS_INFO(TCustomKvxOfficeRadioGroup, TKvxGroupBox)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficeRadioGroup, TCustomKvxOfficeRadioGroup)

namespace {
struct TRegistrar {
    TRegistrar() {
        RegisterClass(TKvxOfficeCheckBox::StaticClass());
        RegisterClass(TKvxOfficeRadioButton::StaticClass());
        RegisterClass(TKvxOfficeRadioGroup::StaticClass());
    }
} registrar;

// The caption of a pressed control is hit-tested from here, whatever side the glyph is on.
constexpr int kHitTestIndent = 17;
constexpr int kCaptionTop = 4;
// What a press, a release or the focus repaints of the glyph.
constexpr int kPressColumn = 16;

// Points Field at Value, watching for the freeing of the component it points at; false when unchanged.
template <class T> bool ExchangeReference(TComponent* Self, T*& Field, T* Value) {
    if (Field == Value)
        return false;
    if (Field)
        Field->RemoveFreeNotification(Self);
    Field = Value;
    if (Field)
        Field->FreeNotification(Self);
    return true;
}
} // namespace

PLAT_PROPERTIES(TKvxOfficeButtonControl) {
    using C = TKvxOfficeButtonControl;
    props.String("Version", &C::Version, &C::SetVersion).Stored(false);
    props.String("Caption", &C::Caption, &C::SetCaption);
    props.Enum("Alignment", &C::Alignment, &C::SetAlignment, kAlignmentNames, taLeftJustify);
    props.Enum("ButtonVertAlign", &C::ButtonVertAlign, &C::SetButtonVertAlign, kTextLayoutNames, tlTop);
    props.Boolean("Down", &C::Down, &C::SetDown, false);
    props.Boolean("Ellipsis", &C::Ellipsis, &C::SetEllipsis, false);
    props.Component("Images", &C::Images, &C::SetImages);
    props.Component("PictureContainer", &C::PictureContainer, &C::SetPictureContainer);
    props.Color("ShadowColor", &C::ShadowColor, &C::SetShadowColor, clGray);
    props.Integer("ShadowOffset", &C::ShadowOffset, &C::SetShadowOffset, 1);
    props.Color("URLColor", &C::URLColor, &C::SetURLColor, clBlue);
    props.Boolean("ReturnIsTab", &C::ReturnIsTab, &C::SetReturnIsTab, false);
    props.Event("OnAnchorClick", &C::OnAnchorClick);
    props.Event("OnAnchorEnter", &C::OnAnchorEnter);
    props.Event("OnAnchorExit", &C::OnAnchorExit);
}

PLAT_PROPERTIES(TCustomKvxOfficeCheckBox) {
    using C = TCustomKvxOfficeCheckBox;
    props.Enum("State", &C::State, &C::SetState, kCheckBoxStateNames, cbUnchecked);
    props.Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false);
}

PLAT_PROPERTIES(TKvxOfficeCheckBox) {
    using C = TCustomKvxOfficeCheckBox;
    // Stored only when set, after State, so a layout that has both reads the same.
    props.Boolean("Checked", &C::Checked, &C::SetChecked, false);
}

PLAT_PROPERTIES(TKvxOfficeRadioButton) {
    using C = TKvxOfficeRadioButton;
    props.Boolean("Checked", &C::Checked, &C::SetChecked, false);
    props.Integer("GroupIndex", &C::GroupIndex, &C::SetGroupIndex, 0);
}

PLAT_PROPERTIES(TKvxGroupButton) {}

PLAT_PROPERTIES(TCustomKvxOfficeRadioGroup) {}

PLAT_PROPERTIES(TKvxOfficeRadioGroup) {
    using C = TCustomKvxOfficeRadioGroup;
    props.Object("Items", &C::Items, &C::SetItems);
    props.Integer("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1);
    props.Integer("Columns", &C::Columns, &C::SetColumns, 1);
    props.Enum("Alignment", &C::Alignment, &C::SetAlignment, kAlignmentNames, taLeftJustify);
    props.Enum("ButtonVertAlign", &C::ButtonVertAlign, &C::SetButtonVertAlign, kTextLayoutNames, tlTop);
    props.Boolean("Ellipsis", &C::Ellipsis, &C::SetEllipsis, false);
    props.Component("PictureContainer", &C::PictureContainer, &C::SetPictureContainer);
    props.Color("ShadowColor", &C::ShadowColor, &C::SetShadowColor, clSilver);
    props.Integer("ShadowOffset", &C::ShadowOffset, &C::SetShadowOffset, 1);
    props.Event("OnIsEnabled", &C::OnIsEnabled);
}

// ---- Shared by the check box and the radio button ----------------------------------------------------

TKvxOfficeButtonControl::TKvxOfficeButtonControl(TComponent* AOwner)
    : TCustomControl(AOwner), FCache(std::make_unique<THTMLPictureCache>()) {
    // The controls fire their own clicks, and keep the caption they were given when named.
    FControlStyle &= ~(csClickEvents | csSetCaption | csOpaque);
    SetColor(clWindow);
    SetParentColor(true);
}

TKvxOfficeButtonControl::~TKvxOfficeButtonControl() = default;

uint32_t TKvxOfficeButtonControl::PackedVersion() const {
    return PackVersion(1, 1, 1, 1);
}

std::string TKvxOfficeButtonControl::Version() const {
    return VersionText(PackedVersion());
}

void TKvxOfficeButtonControl::SetAlignment(TLeftRight Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TKvxOfficeButtonControl::SetButtonVertAlign(TTextLayout Value) {
    if (FButtonVertAlign == Value)
        return;
    FButtonVertAlign = Value;
    Invalidate();
}

void TKvxOfficeButtonControl::SetEllipsis(bool Value) {
    if (FEllipsis == Value)
        return;
    FEllipsis = Value;
    Invalidate();
}

void TKvxOfficeButtonControl::SetImages(TCustomImageList* Value) {
    if (ExchangeReference(this, FImages, Value))
        Invalidate();
}

void TKvxOfficeButtonControl::SetPictureContainer(TPictureContainer* Value) {
    if (ExchangeReference(this, FPictureContainer, Value))
        Invalidate();
}

void TKvxOfficeButtonControl::SetShadowColor(TColor Value) {
    if (FShadowColor == Value)
        return;
    FShadowColor = Value;
    Invalidate();
}

void TKvxOfficeButtonControl::SetShadowOffset(int Value) {
    if (FShadowOffset == Value)
        return;
    FShadowOffset = Value;
    Invalidate();
}

void TKvxOfficeButtonControl::SetURLColor(TColor Value) {
    if (FURLColor == Value)
        return;
    FURLColor = Value;
    Invalidate();
}

void TKvxOfficeButtonControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated())
        Repaint();
}

void TKvxOfficeButtonControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FPictureContainer)
        SetPictureContainer(nullptr);
}

void TKvxOfficeButtonControl::Loaded() {
    TCustomControl::Loaded();
    FRememberedCursor = Cursor();
}

bool TKvxOfficeButtonControl::Designing() const {
    return (ComponentState() & csDesigning) != 0;
}

void TKvxOfficeButtonControl::TakeFocus() {
    if (CanFocus() && !Designing())
        SetFocus();
}

void TKvxOfficeButtonControl::InvalidateGlyphColumn(int ColumnWidth, bool AtRight) {
    if (!HandleAllocated())
        return;
    TRect r = ClientRect();
    if (AtRight)
        r.Left = r.Right - ColumnWidth;
    else
        r.Right = ColumnWidth;
    InvalidateRect(Handle(), &r, false);
}

void TKvxOfficeButtonControl::DrawGlyph(TCanvas& Canvas) {
    // "KVXOF", the kind, checked or not, then pressed (which wins) or hot.
    std::string name = std::string("KVXOF") + GlyphKind() + (GlyphChecked() ? "C" : "U");
    if (FDown)
        name += "D";
    else if (FHot)
        name += "H";
    TBitmap glyph;
    LoadBitmapResource(glyph, name);
    glyph.SetTransparent(true);
    int y = kCaptionTop;
    switch (FButtonVertAlign) {
    case tlTop:
        break;
    case tlCenter:
        y = ClientHeight() / 2 - glyph.Height() / 2;
        break;
    case tlBottom:
        y = ClientRect().Bottom - glyph.Height() - BottomGlyphMargin();
        break;
    }
    const int x = GlyphAtRight() ? ClientRect().Right - glyph.Width() - 1 : 0;
    Canvas.Draw(x, y, &glyph);
}

TMarkupOptions TKvxOfficeButtonControl::CaptionOptions() const {
    TMarkupOptions o;
    o.Images = FImages;
    o.PictureContainer = FPictureContainer;
    o.PictureCache = FCache.get();
    o.ShadowOffset = FShadowOffset;
    o.ShadowColor = FShadowColor;
    o.WordWrap = !FEllipsis;
    return o;
}

void TKvxOfficeButtonControl::Paint() {
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    // A parent never paints beneath its child windows here, so every button, the radio group's too,
    // draws what its parent shows under it; otherwise the old caption and focus mark would stay.
    DrawParentBackground(this, c.Handle());
    DrawGlyph(c);

    TRect r = ClientRect();
    r.Top += kCaptionTop;
    if (GlyphAtRight()) {
        r.Left = 0;
        r.Right -= CaptionIndent();
    } else {
        r.Left += CaptionIndent();
    }

    TMarkupOptions o = CaptionOptions();
    o.NoDraw = true;
    const std::string caption = Caption();
    TMarkupResult layout;
    DrawMarkupText(c, caption, r, o, layout);
    const int textWidth = layout.MaxLineWidth;
    const int textHeight = layout.TotalHeight;

    if (CentersCaptionWithGlyph() && FButtonVertAlign != tlTop) {
        TMarkupOptions measure = o;
        measure.NoDraw = false;
        measure.MeasureOnly = true;
        TMarkupResult full;
        DrawMarkupText(c, caption, r, measure, full);
        if (FButtonVertAlign == tlCenter)
            r.Top = r.Top - 3 + (r.Bottom - r.Top - full.TotalHeight) / 2;
        else
            r.Top = r.Bottom - full.TotalHeight - 3;
    }

    o.NoDraw = false;
    if (Enabled()) {
        o.URLColor = FURLColor;
        DrawMarkupText(c, caption, r, o);
    } else {
        // Embossed: a white copy one pixel down and right, the gray text on top.
        const bool follow = LinksFollowDisabledText();
        TRect shifted = r;
        OffsetRect(shifted, 1, 1);
        c.Font()->SetColor(clWhite);
        o.URLColor = follow ? clWhite : clGray;
        DrawMarkupText(c, caption, shifted, o);
        c.Font()->SetColor(clGray);
        o.URLColor = follow ? clGray : clWhite;
        DrawMarkupText(c, caption, r, o);
    }

    if (FFocused) {
        c.Brush()->SetStyle(bsClear);
        c.Pen()->SetStyle(psAlternate);
        c.Pen()->SetWidth(1);
        c.Pen()->SetColor(clBlack);
        c.Rectangle(r.Left, r.Top, r.Left + textWidth + 3, r.Top + textHeight);
        c.Pen()->SetStyle(psSolid);
    }
}

std::string TKvxOfficeButtonControl::LinkAt(int X, int Y) {
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    TRect r = ClientRect();
    r.Left += kHitTestIndent;
    r.Top += kCaptionTop;
    TMarkupOptions o = CaptionOptions();
    o.NoDraw = true;
    o.X = X;
    o.Y = Y;
    TMarkupResult found;
    if (!DrawMarkupText(c, Caption(), r, o, found))
        return {};
    return found.LinkTarget;
}

void TKvxOfficeButtonControl::OpenOrReport(const std::string& Link) {
    if (Link.find("://") != std::string::npos || Link.find("mailto:") != std::string::npos) {
        // What the link service refuses (other schemes, local files) stays unopened.
        OpenLink(Link);
        return;
    }
    if (OnAnchorClick)
        OnAnchorClick(this, Link);
}

void TKvxOfficeButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FPressedHere = true;
    bool onLink = false;
    if (FFocused) {
        const std::string link = LinkAt(X, Y);
        if (!link.empty()) {
            onLink = true;
            OpenOrReport(link);
        }
    } else {
        TakeFocus();
        FFocused = true;
    }
    if (!onLink) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        SetMouseCapture(true);
        FDown = true;
    }
    InvalidateGlyphColumn(kPressColumn, false);
}

void TKvxOfficeButtonControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (MouseCapture())
        FDown = InsideControl(X, Y);
    if (FFocused) {
        const std::string link = LinkAt(X, Y);
        if (!link.empty()) {
            if (Cursor() == crDefault || link != FLastAnchor) {
                FLastAnchor = link;
                SetCursor(crHandPoint);
                if (OnAnchorEnter)
                    OnAnchorEnter(this, link);
            }
        } else if (Cursor() == crHandPoint) {
            SetCursor(FRememberedCursor);
            if (OnAnchorExit)
                OnAnchorExit(this, std::string());
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TKvxOfficeButtonControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_SPACE)
        FDown = true;
    TCustomControl::KeyDown(Key, Shift);
}

void TKvxOfficeButtonControl::KeyPress(char32_t& Key) {
    if (Key == U'\r' && FReturnIsTab) {
        Key = U'\t';
        PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    TCustomControl::KeyPress(Key);
}

void TKvxOfficeButtonControl::DoEnter() {
    FFocused = true;
    // The whole control, not only the glyph: the focus mark around the caption must show now, as
    // leaving takes it away at once.
    Invalidate();
    TCustomControl::DoEnter();
}

void TKvxOfficeButtonControl::DoExit() {
    FFocused = false;
    Repaint();
    TCustomControl::DoExit();
}

void TKvxOfficeButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // The paint covers the background itself.
        Message.Result = 1;
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        FHot = Message.Msg == CM_MOUSEENTER;
        if (HandleAllocated() && Showing())
            DrawGlyph(*Canvas());
        break;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
            AcceleratorPressed();
            if (TabStop())
                TakeFocus();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---- Check box ----------------------------------------------------------------------------------------

TCustomKvxOfficeCheckBox::TCustomKvxOfficeCheckBox(TComponent* AOwner) : TKvxOfficeButtonControl(AOwner) {
    SetBounds(Left(), Top(), 120, 20);
    SetCaption("TKvxOfficeCheckBox");
}

void TCustomKvxOfficeCheckBox::Toggle() {
    if (!FReadOnly)
        SetChecked(!GetChecked());
}

void TCustomKvxOfficeCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value)
        return;
    FState = Value;
    if (HandleAllocated() && Parent())
        InvalidateGlyphColumn(20, Alignment() == taRightJustify);
}

void TCustomKvxOfficeCheckBox::SetChecked(bool Value) {
    SetState(Value ? cbChecked : cbUnchecked);
    Invalidate();
}

void TCustomKvxOfficeCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetMouseCapture(false);
    SetDown(false);
    if (InsideControl(X, Y) && HasFocusMark() && PressedHere()) {
        Toggle();
        Click();
    }
    TKvxOfficeButtonControl::MouseUp(Button, Shift, X, Y);
    InvalidateGlyphColumn(kPressColumn, false);
    SetPressedHere(false);
}

void TCustomKvxOfficeCheckBox::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        SetDown(false);
        Toggle();
        Click();
    }
    TKvxOfficeButtonControl::KeyUp(Key, Shift);
}

void TCustomKvxOfficeCheckBox::AcceleratorPressed() {
    Toggle();
    Click();
}

// ---- Radio button -------------------------------------------------------------------------------------

TKvxOfficeRadioButton::TKvxOfficeRadioButton(TComponent* AOwner) : TKvxOfficeButtonControl(AOwner) {
    SetBounds(Left(), Top(), 135, 20);
    SetCaption("TKvxOfficeRadioButton");
}

void TKvxOfficeRadioButton::DoClick() {
    if (OnClick)
        OnClick(this);
}

void TKvxOfficeRadioButton::SetChecked(bool Value) {
    if (FChecked == Value)
        return;
    SetTabStop(Value);
    FChecked = Value;
    if (Value) {
        if (TWinControl* parent = Parent()) {
            for (int i = 0; i < parent->ControlCount(); ++i) {
                auto* sibling = dynamic_cast<TKvxOfficeRadioButton*>(parent->Controls(i));
                if (sibling && sibling != this && sibling->GroupIndex() == FGroupIndex)
                    sibling->SetChecked(false);
            }
        }
        if (!FSuppressClick)
            DoClick();
    }
    if (HandleAllocated() && Parent())
        InvalidateGlyphColumn(16, false);
}

void TKvxOfficeRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        // Taking the focus checks the button; the release reports the click.
        TemporaryChange<bool> quiet(FSuppressClick, true);
        TakeFocus();
    }
    TKvxOfficeButtonControl::MouseDown(Button, Shift, X, Y);
}

void TKvxOfficeRadioButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetMouseCapture(false);
    SetDown(false);
    if (InsideControl(X, Y) && !FChecked && PressedHere())
        SetChecked(true);
    TKvxOfficeButtonControl::MouseUp(Button, Shift, X, Y);
    SetPressedHere(false);
    InvalidateGlyphColumn(kPressColumn, false);
    DoClick();
}

void TKvxOfficeRadioButton::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        SetDown(false);
        if (!FChecked)
            SetChecked(true);
    }
    TKvxOfficeButtonControl::KeyUp(Key, Shift);
}

void TKvxOfficeRadioButton::DoEnter() {
    TKvxOfficeButtonControl::DoEnter();
    SetChecked(true);
}

void TKvxOfficeRadioButton::AcceleratorPressed() {
    SetChecked(true);
}

// ---- Group button -------------------------------------------------------------------------------------

TKvxGroupButton::TKvxGroupButton(TCustomKvxOfficeRadioGroup* Group)
    : TKvxOfficeRadioButton(Group), FGroup(Group) {
    SetVisible(false);
    SetParent(Group);
    FGroup->FButtons.push_back(this);
    SetEnabled(Group->Enabled());
    SetParentShowHint(false);
    OnClick = [Group](TObject* Sender) { Group->ButtonClick(Sender); };
}

TKvxGroupButton::~TKvxGroupButton() {
    // A button dropped from the group waits in the queue to be freed; the group may free it first.
    RemoveQueuedCalls(this);
    auto& list = FGroup->FButtons;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TKvxGroupButton::KeyPress(char32_t& Key) {
    TKvxOfficeRadioButton::KeyPress(Key);
    FGroup->GroupKeyPress(Key);
    if ((Key == U'\b' || Key == U' ') && !FGroup->CanModify())
        Key = 0;
}

void TKvxGroupButton::KeyDown(uint16_t& Key, TShiftState Shift) {
    TKvxOfficeRadioButton::KeyDown(Key, Shift);
    FGroup->GroupKeyDown(Key, Shift);
}

// ---- Radio group --------------------------------------------------------------------------------------

TCustomKvxOfficeRadioGroup::TCustomKvxOfficeRadioGroup(TComponent* AOwner)
    : TKvxGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomKvxOfficeRadioGroup::~TCustomKvxOfficeRadioGroup() {
    FItems->OnChange = nullptr;
    while (!FButtons.empty())
        FButtons.back()->Free();
    // Buttons dropped from the list and still waiting to be freed go now, while the list they would
    // leave exists.
    for (int i = ComponentCount() - 1; i >= 0; --i)
        if (auto* dropped = dynamic_cast<TKvxGroupButton*>(Components(i)))
            dropped->Free();
}

uint32_t TCustomKvxOfficeRadioGroup::PackedVersion() const {
    return PackVersion(1, 1, 1, 1);
}

void TCustomKvxOfficeRadioGroup::SetItemIndex(int Value) {
    if (FReading) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (Value == FItemIndex)
        return;
    if (FItemIndex >= 0 && FItemIndex < ButtonCount())
        FButtons[FItemIndex]->SetChecked(false);
    FItemIndex = Value;
    if (FItemIndex >= 0)
        FButtons[FItemIndex]->SetChecked(true);
}

void TCustomKvxOfficeRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (FColumns == Value)
        return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}

void TCustomKvxOfficeRadioGroup::SettingChanged() {
    ArrangeButtons();
}

void TCustomKvxOfficeRadioGroup::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    SettingChanged();
}

void TCustomKvxOfficeRadioGroup::SetButtonVertAlign(TTextLayout Value) {
    FButtonVertAlign = Value;
    SettingChanged();
}

void TCustomKvxOfficeRadioGroup::SetEllipsis(bool Value) {
    FEllipsis = Value;
    SettingChanged();
}

void TCustomKvxOfficeRadioGroup::SetImages(TCustomImageList* Value) {
    TKvxGroupBox::SetImages(Value);
    SettingChanged();
}

void TCustomKvxOfficeRadioGroup::SetPictureContainer(TPictureContainer* Value) {
    ExchangeReference(this, FPictureContainer, Value);
    SettingChanged();
}

void TCustomKvxOfficeRadioGroup::SetShadowColor(TColor Value) {
    FShadowColor = Value;
    SettingChanged();
}

void TCustomKvxOfficeRadioGroup::SetShadowOffset(int Value) {
    FShadowOffset = Value;
    SettingChanged();
}

void TCustomKvxOfficeRadioGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TKvxGroupBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPictureContainer)
        SetPictureContainer(nullptr);
}

void TCustomKvxOfficeRadioGroup::SetEnabled(bool Value) {
    TKvxGroupBox::SetEnabled(Value);
    for (TKvxGroupButton* b : FButtons)
        b->SetEnabled(Value);
}

void TCustomKvxOfficeRadioGroup::Resize() {
    TKvxGroupBox::Resize();
    ArrangeButtons();
}

void TCustomKvxOfficeRadioGroup::CreateWnd() {
    TKvxGroupBox::CreateWnd();
    ArrangeButtons();
}

void TCustomKvxOfficeRadioGroup::Dispatch(TMessage& Message) {
    TKvxGroupBox::Dispatch(Message);
    if (Message.Msg == CM_FONTCHANGED)
        ArrangeButtons();
}

void TCustomKvxOfficeRadioGroup::ReadState(TReader& Reader) {
    {
        TemporaryChange<bool> reading(FReading, true);
        TKvxGroupBox::ReadState(Reader);
    }
    UpdateButtons();
}

void TCustomKvxOfficeRadioGroup::Loaded() {
    TKvxGroupBox::Loaded();
    ArrangeButtons();
}

void TCustomKvxOfficeRadioGroup::GroupKeyPress(char32_t& Key) {
    TKvxGroupBox::KeyPress(Key);
}

void TCustomKvxOfficeRadioGroup::GroupKeyDown(uint16_t& Key, TShiftState Shift) {
    TKvxGroupBox::KeyDown(Key, Shift);
}

void TCustomKvxOfficeRadioGroup::ItemsChanged() {
    if (FReading)
        return;
    if (FItemIndex >= FItems->Count())
        FItemIndex = FItems->Count() - 1;
    UpdateButtons();
}

void TCustomKvxOfficeRadioGroup::UpdateButtons() {
    const int count = FItems->Count();
    while (ButtonCount() < count)
        new TKvxGroupButton(this);
    while (ButtonCount() > count) {
        // Dropped from the group at once but freed later: the button may be the one whose click made
        // its owner change the items, and it is still inside its own mouse or key handling.
        TKvxGroupButton* gone = FButtons.back();
        FButtons.pop_back();
        gone->OnClick = nullptr;
        gone->Hide();
        QueueInMainThread([gone] { gone->Free(); }, gone);
    }
    for (int i = 0; i < count; ++i)
        FButtons[i]->SetCaption(FItems->Strings(i));
    if (FItemIndex >= 0 && FItemIndex < count) {
        TemporaryChange<bool> checking(FChecking, true);
        FButtons[FItemIndex]->SetChecked(true);
    }
    ArrangeButtons();
    Invalidate();
}

void TCustomKvxOfficeRadioGroup::ArrangeButtons() {
    if ((ComponentState() & csLoading) || !HandleAllocated() || FButtons.empty() || FReading)
        return;
    const int n = ButtonCount();
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    const int t = c.TextHeight("0");
    const int rows = (n + FColumns - 1) / FColumns;
    const int cw = (Width() - 10) / FColumns;
    const int usable = Height() - t - 5;
    const int rh = usable / rows;
    const int top = (usable % rows) / 2 + t + 1;
    for (int i = 0; i < n; ++i) {
        TKvxGroupButton* b = FButtons[i];
        b->SetAlignment(FAlignment == taRightJustify ? taRightJustify : taLeftJustify);
        b->SetButtonVertAlign(FButtonVertAlign);
        b->SetImages(Images());
        b->SetPictureContainer(FPictureContainer);
        b->SetEllipsis(FEllipsis);
        b->SetShadowOffset(FShadowOffset);
        b->SetShadowColor(FShadowColor);
        bool enabled = Enabled() && b->Enabled();
        if (OnIsEnabled)
            OnIsEnabled(this, i, enabled);
        b->SetEnabled(enabled);
        const int column = i / rows, row = i % rows;
        b->SetBounds(column * cw + 8, row * rh + top, cw, rh);
        b->Show();
    }
}

void TCustomKvxOfficeRadioGroup::ButtonClick(TObject* Sender) {
    if (FChecking)
        return;
    auto it = std::find(FButtons.begin(), FButtons.end(), Sender);
    if (it == FButtons.end())
        return;
    FItemIndex = static_cast<int>(it - FButtons.begin());
    Click();
}

} // namespace ui
