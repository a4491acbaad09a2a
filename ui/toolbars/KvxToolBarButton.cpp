#include <algorithm>

#include "platform/gfx/GdiTypes.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/ControlSupport.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Timer.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarDraw.h"

namespace ui {

using namespace toolbar;
using plat::TColor;
using plat::TRect;

PLAT_CLASS_INFO(TKvxCustomToolBarControl, plat::TGraphicControl)
PLAT_CLASS_INFO_CREATABLE(TKvxToolBarSeparator, TKvxCustomToolBarControl)
PLAT_CLASS_INFO(TKvxCustomToolBarButton, TKvxCustomToolBarControl)
PLAT_CLASS_INFO_CREATABLE(TKvxToolBarButton, TKvxCustomToolBarButton)
PLAT_CLASS_INFO_CREATABLE(TKvxToolBarMenuButton, TKvxCustomToolBarButton)

// ---- TKvxCustomToolBarControl ----

TKvxCustomToolBarControl::TKvxCustomToolBarControl(plat::TComponent* AOwner) : TGraphicControl(AOwner) {}

void TKvxCustomToolBarControl::SetKvxToolBar(TKvxCustomToolBar* Value) {
    if (Value == FToolBar)
        return;
    if (FToolBar)
        FToolBar->RemoveToolBarControl(this);
    if (!Value) {
        SetParent(nullptr);
        return;
    }
    Value->AddToolBarControl(this);
    if (FToolBar != Value)
        throw plat::Exception("KvxToolBar not set");
}

void TKvxCustomToolBarControl::SetPosition(TDockAlign Value) {
    if (Value == FPosition)
        return;
    FPosition = Value;
    CalcSize();
    Invalidate();
}

// ---- TKvxToolBarSeparator ----

TKvxToolBarSeparator::TKvxToolBarSeparator(plat::TComponent* AOwner)
    : TKvxCustomToolBarControl(AOwner), FLineColor(plat::clBtnShadow) {
    TControl::SetAutoSize(true);
    SetBounds(0, 0, 10, 22);
}

void TKvxToolBarSeparator::SetSeparatorStyle(TKvxSeparatorStyle Value) {
    if (Value == FSeparatorStyle)
        return;
    FSeparatorStyle = Value;
    Invalidate();
}

void TKvxToolBarSeparator::SetLineColor(plat::TColor Value) {
    if (Value == FLineColor)
        return;
    FLineColor = Value;
    Invalidate();
}

void TKvxToolBarSeparator::Assign(plat::TPersistent* Source) {
    if (auto* other = dynamic_cast<TKvxToolBarSeparator*>(Source)) {
        SetSeparatorStyle(other->FSeparatorStyle);
        SetLineColor(other->FLineColor);
        return;
    }
    TKvxCustomToolBarControl::Assign(Source);
}

void TKvxToolBarSeparator::AdjustSize() {
    if (!TControl::AutoSize())
        return;
    if (Horizontal())
        SetBounds(Left(), Top(), 10, FToolBar ? FToolBar->Height() - 4 : Height());
    else
        SetBounds(Left(), Top(), FToolBar ? FToolBar->Width() - 4 : Width(), 10);
}

void TKvxToolBarSeparator::Paint() {
    if (FSeparatorStyle == ssBlank)
        return;
    plat::TCanvas* c = Canvas();
    const TRect r = ClientRect();
    // An etched line: the line colour with a white one beside it.
    if (Horizontal()) {
        const int x = r.Left + r.Width() / 2;
        c->Pen()->SetColor(FLineColor);
        c->MoveTo(x, r.Top + 3);
        c->LineTo(x, r.Bottom - 3);
        c->Pen()->SetColor(plat::clWhite);
        c->MoveTo(x + 1, r.Top + 4);
        c->LineTo(x + 1, r.Bottom - 2);
    } else {
        const int y = r.Top + r.Height() / 2;
        c->Pen()->SetColor(FLineColor);
        c->MoveTo(r.Left + 3, y);
        c->LineTo(r.Right - 3, y);
        c->Pen()->SetColor(plat::clWhite);
        c->MoveTo(r.Left + 4, y + 1);
        c->LineTo(r.Right - 2, y + 1);
    }
}

// ---- TKvxCustomToolBarButton ----

TKvxCustomToolBarButton::TKvxCustomToolBarButton(plat::TComponent* AOwner)
    : TKvxCustomToolBarControl(AOwner), FGlyph(std::make_unique<plat::TBitmap>()),
      FGlyphDisabled(std::make_unique<plat::TBitmap>()), FGlyphHot(std::make_unique<plat::TBitmap>()),
      FGlyphDown(std::make_unique<plat::TBitmap>()), FGlyphChecked(std::make_unique<plat::TBitmap>()),
      FShadowGlyph(std::make_unique<plat::TBitmap>()),
      FAppearance(std::make_unique<toolbar::TButtonAppearance>()),
      FDrawPosition(std::make_unique<TKvxToolBarButtonDrawPosition>()),
      FOfficeHint(std::make_unique<TKvxHintInfo>()), FPicture(std::make_unique<plat::TPicture>()),
      FPictureDisabled(std::make_unique<plat::TPicture>()),
      FLeaveTimer(std::make_unique<plat::TTimer>(nullptr)) {
    FAppearance->OnChange = [this](plat::TObject*) { Invalidate(); };
    FDrawPosition->OnChange = [this](plat::TObject*) { Invalidate(); };
    // A new picture may change the button's size.
    FPicture->OnChange = FPictureDisabled->OnChange = [this](plat::TObject*) {
        CalcSize();
        Invalidate();
    };
    SetBounds(0, 0, 23, 22);
    // Clicks come from the release handling, not from the platform.
    SetControlStyle(plat::csCaptureMouse | plat::csDoubleClicks);
    SetParentFont(true);
    Font()->SetName("Tahoma");
    FLeaveTimer->SetEnabled(false);
    FLeaveTimer->SetInterval(1);
    FLeaveTimer->OnTimer = [this](plat::TObject*) {
        plat::TPoint p;
        if (!plat::GetCursorPos(p))
            return;
        const bool inside = ClientRect().Contains(ScreenToClient(p));
        const bool droppedMenu =
            FDropDownButton && IsMenuButton() && FMenuShowing && (FDropDownMenu || FMenuItem);
        if (inside && !droppedMenu)
            return;
        MouseLeft(false);
    };
}

TKvxCustomToolBarButton::~TKvxCustomToolBarButton() = default;

std::string TKvxCustomToolBarButton::Version() const {
    return VersionText(PackVersion(3, 1, 1, 0));
}

int TKvxCustomToolBarButton::IndexInToolBar() const {
    return FToolBar ? FToolBar->IndexOfControl(this) : -1;
}

void TKvxCustomToolBarButton::SetDown(bool Value) {
    if (ComponentState() & plat::csLoading)
        FStreamedDown = Value;
    if (FGroupIndex == 0 && FStyle == tasButton)
        Value = false;
    if (FStyle == tasCheck) {
        FDown = Value;
        FDrawState = Value ? dsDown : dsNormal;
        Repaint();
        return;
    }
    if (Value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = Value;
    if (Value) {
        if (FDrawState == dsNormal)
            Invalidate();
        FDrawState = dsChecked;
        ReleaseGroupSiblings();
    } else {
        FDrawState = dsNormal;
        Repaint();
    }
}

void TKvxCustomToolBarButton::SetGroupIndex(int Value) {
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    ReleaseGroupSiblings();
}

void TKvxCustomToolBarButton::SetAllowAllUp(bool Value) {
    if (Value == FAllowAllUp)
        return;
    FAllowAllUp = Value;
    ReleaseGroupSiblings();
}

void TKvxCustomToolBarButton::ReleaseGroupSiblings() {
    if (FGroupIndex == 0 || !Parent())
        return;
    plat::TMessage m;
    m.Msg = plat::CM_BUTTONPRESSED;
    m.WParam = static_cast<plat::WPARAM>(FGroupIndex);
    m.LParam = reinterpret_cast<plat::LPARAM>(this);
    Parent()->Broadcast(m);
    // Members moved into the toolbar's option panel are told there as well; until that panel exists
    // only a button outside its toolbar tells the toolbar.
    if (FToolBar && Parent() != FToolBar)
        FToolBar->Broadcast(m);
}

void TKvxCustomToolBarButton::Dispatch(plat::TMessage& Message) {
    switch (Message.Msg) {
    case plat::CM_BUTTONPRESSED: {
        auto* sender = reinterpret_cast<TKvxCustomToolBarButton*>(Message.LParam);
        if (static_cast<int>(Message.WParam) != FGroupIndex || !sender || sender == this)
            return;
        if (sender->FDown && FDown) {
            FDown = false;
            FDrawState = dsNormal;
            Invalidate();
        }
        FAllowAllUp = sender->FAllowAllUp;
        return;
    }
    case plat::CM_MOUSEENTER:
        TKvxCustomToolBarControl::Dispatch(Message);
        MouseEntered();
        return;
    case plat::CM_MOUSELEAVE:
        TKvxCustomToolBarControl::Dispatch(Message);
        MouseLeft(true);
        return;
    case plat::CM_TEXTCHANGED:
        TKvxCustomToolBarControl::Dispatch(Message);
        CalcButtonSize();
        Invalidate();
        return;
    default:
        TKvxCustomToolBarControl::Dispatch(Message);
    }
}

void TKvxCustomToolBarButton::SetDropDownButton(bool Value) {
    if (Value == FDropDownButton)
        return;
    FDropDownButton = Value;
    CalcButtonSize();
    Invalidate();
}

void TKvxCustomToolBarButton::SetDropDownMenu(plat::TPopupMenu* Value) {
    if (Value == FDropDownMenu)
        return;
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKvxCustomToolBarButton::SetGlyphPosition(TGlyphPosition Value) {
    if (Value == FGlyphPosition)
        return;
    FGlyphPosition = Value;
    CalcButtonSize();
    Invalidate();
}

void TKvxCustomToolBarButton::SetShowCaption(bool Value) {
    FShowCaption = Value;
    CalcButtonSize();
    Invalidate();
}

void TKvxCustomToolBarButton::SetAutoSize(bool Value) {
    FAutoSizeButton = Value;
    if (Value)
        CalcButtonSize();
}

void TKvxCustomToolBarButton::SetImageIndex(int Value) {
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    if (FShaded)
        BuildShadowGlyph();
    CalcButtonSize();
    Invalidate();
}

void TKvxCustomToolBarButton::SetShaded(bool Value) {
    FShaded = Value;
    if (Value && !(ComponentState() & plat::csLoading))
        BuildShadowGlyph();
}

void TKvxCustomToolBarButton::BuildShadowGlyph() {
    plat::TBitmap source;
    plat::TCustomImageList* list = FToolBar ? FToolBar->Images() : nullptr;
    if (list && FImageIndex >= 0) {
        source.SetSize(list->Width(), list->Height());
        list->Draw(source.Canvas(), 0, 0, FImageIndex, true);
        FShadowFromList = true;
    } else if (!FGlyph->Empty()) {
        source.Assign(FGlyph.get());
        FShadowFromList = false;
    } else {
        return;
    }
    const int w = source.Width(), h = source.Height();
    plat::TCanvas* in = source.Canvas();
    const TColor key = in->Pixels(0, h - 1);
    FShadowGlyph->SetSize(w, h);
    plat::TCanvas* out = FShadowGlyph->Canvas();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out->SetPixels(x, y, in->Pixels(x, y) != key ? plat::RGB(128, 128, 128) : key);
    FShadowGlyph->SetTransparent(true);
}

void TKvxToolBarButtonDrawPosition::Assign(plat::TPersistent* Source) {
    auto* other = dynamic_cast<TKvxToolBarButtonDrawPosition*>(Source);
    if (!other)
        return;
    FEnabled = other->FEnabled;
    FTextX = other->FTextX;
    FTextY = other->FTextY;
    FImageX = other->FImageX;
    FImageY = other->FImageY;
}

void TKvxCustomToolBarButton::SetPicture(plat::TPicture* Value) {
    FPicture->Assign(Value);
    Invalidate();
}

void TKvxCustomToolBarButton::SetPictureDisabled(plat::TPicture* Value) {
    FPictureDisabled->Assign(Value);
    Invalidate();
}

void TKvxCustomToolBarButton::SetParentStyler(bool Value) {
    if (Value == FParentStyler)
        return;
    FParentStyler = Value;
    Invalidate();
}

void TKvxCustomToolBarButton::SetGlyph(plat::TBitmap* Value) {
    FGlyph->Assign(Value);
    if (FGlyphDisabled->Empty() && !FGlyph->Empty()) {
        // A grey copy: every pixel, the background included, maps to 96..223.
        FGlyphDisabled->Assign(FGlyph.get());
        plat::TCanvas* c = FGlyphDisabled->Canvas();
        for (int y = 0; y < FGlyphDisabled->Height(); ++y)
            for (int x = 0; x < FGlyphDisabled->Width(); ++x) {
                const plat::TColor p = c->Pixels(x, y);
                const int v = ((plat::GetRValue(p) + plat::GetGValue(p) + plat::GetBValue(p)) / 3) / 2 + 96;
                c->SetPixels(x, y, plat::RGB(v, v, v));
            }
    }
    if (FShaded)
        BuildShadowGlyph();
    CalcButtonSize();
    Invalidate();
}

void TKvxCustomToolBarButton::SetGlyphDisabled(plat::TBitmap* Value) {
    FGlyphDisabled->Assign(Value);
}

void TKvxCustomToolBarButton::SetMenuItem(plat::TMenuItem* Value) {
    if (Value && Value != FMenuItem) {
        if (FMenuItem)
            FMenuItem->RemoveFreeNotification(this);
        Value->FreeNotification(this);
    }
    FMenuItem = Value;
    if (!Value)
        return;
    SetCaption(Value->Caption());
    SetDown(Value->Checked());
    SetEnabled(Value->Enabled());
    SetHint(Value->Hint());
    SetImageIndex(Value->ImageIndex());
    SetVisible(Value->Visible());
}

void TKvxCustomToolBarButton::Loaded() {
    TKvxCustomToolBarControl::Loaded();
    if (FStreamedDown != FDown)
        SetDown(FStreamedDown);
    if (FShaded)
        BuildShadowGlyph();
    CalcButtonSize();
}

void TKvxCustomToolBarButton::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    TKvxCustomToolBarControl::Notification(AComponent, Operation);
    if (Operation != plat::opRemove || (ComponentState() & plat::csDestroying))
        return;
    if (AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
    if (AComponent == FMenuItem)
        FMenuItem = nullptr;
}

// ---- Click, press, move, release ----

void TKvxCustomToolBarButton::Click() {
    if (FToolBar)
        FToolBar->HideOptionWindow();
    TKvxCustomToolBarControl::Click();
    if (FToolBar)
        FToolBar->PromoteOverflowButton(this);
}

void TKvxCustomToolBarButton::DoDropDown() {
    Invalidate();
    if (OnDropDown)
        OnDropDown(this);
}

void TKvxCustomToolBarButton::OpenButtonMenu() {
    if (!IsMenuButton())
        return;
    FDrawState = dsDropped;
    Repaint();
    TrackButtonMenu();
}

bool TKvxCustomToolBarButton::TrackButtonMenu() {
    if (ComponentState() & plat::csDesigning)
        return false;
    if (((FDropDownMenu && FDropDownMenu->AutoPopup()) || FMenuItem) && FToolBar)
        return FToolBar->DropMenuButton(this);
    return false;
}

void TKvxCustomToolBarButton::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TKvxCustomToolBarControl::MouseDown(Button, Shift, X, Y);
    if (Button != plat::mbLeft || !Enabled() || (ComponentState() & plat::csDesigning))
        return;
    FPressed = true;
    if (IsMenuButton() && !FDropDownButton && (FDropDownMenu || FMenuItem)) {
        Invalidate();
        const bool toolbarDropped = FToolBar && FToolBar->MenuDropped();
        if ((!toolbarDropped && !ClosingPress && !MenuDropped) || ReDropRequested) {
            ReDropRequested = false;
            OpenButtonMenu();
        } else if (ClosingPress) {
            ClosingPress = false;
        }
        return;
    }
    const bool partHit = Horizontal() ? X > Width() - 13 : Y > Height() - 13;
    if (!FDropDownButton || (!partHit && FDropDownSplit)) {
        if (!FDown) {
            FDrawState = dsDown;
            Invalidate();
        }
        if (FStyle == tasCheck) {
            FDrawState = dsDown;
            Repaint();
        }
        FTracking = true;
        return;
    }
    FDrawState = dsNormal;
    FMouseInside = false;
    FPressed = false;
    DoDropDown();
    if (FDropDownMenu) {
        if (FStyle == tasButton)
            FDown = false;
        FMenuShowing = true;
        Repaint();
        const plat::TPoint corner = Parent()
                                        ? Parent()->ClientToScreen(plat::TPoint(Left(), Top() + Height()))
                                        : ClientToScreen(plat::TPoint(0, Height()));
        FDropDownMenu->Popup(corner.X, corner.Y);
        FMenuShowing = false;
        Repaint();
    }
    Invalidate();
}

void TKvxCustomToolBarButton::MouseMove(plat::TShiftState Shift, int X, int Y) {
    TKvxCustomToolBarControl::MouseMove(Shift, X, Y);
    if (ComponentState() & plat::csDesigning)
        return;
    if (FTracking) {
        TButtonDrawState want = FDown ? dsChecked : dsNormal;
        if (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight())
            want = FDown ? dsChecked : dsDown;
        if (FStyle == tasCheck && FDown)
            want = dsDown;
        if (want != FDrawState) {
            FDrawState = want;
            Invalidate();
        }
    } else if (!FMouseInside) {
        SyncHotWithCursor();
    }
}

void TKvxCustomToolBarButton::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    ClosingPress = false;
    MenuDropped = false;
    TKvxCustomToolBarControl::MouseUp(Button, Shift, X, Y);
    if (ComponentState() & plat::csDesigning)
        return;
    FPressed = false;
    Invalidate();
    const bool menuCase = IsMenuButton() && !FDropDownButton && (FDropDownMenu || FMenuItem);
    if (menuCase || !FTracking)
        return;
    FTracking = false;
    const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex != 0) {
        if (inside) {
            SetDown(!FDown);
            if (FDown)
                Repaint();
        } else if (FDown) {
            FDrawState = dsChecked;
        }
        Repaint();
    } else {
        FDrawState = dsNormal;
        FMouseInside = false;
        if (FStyle == tasCheck)
            SetDown(!FDown);
        if (inside && FDrawState != dsDown && FDrawState != dsChecked)
            Invalidate();
    }
    if (inside)
        Click();
    SyncHotWithCursor();
}

// ---- Hot tracking ----

void TKvxCustomToolBarButton::SetHot(bool Value) {
    const bool old = FHot;
    FHot = Value && FDrawState == dsNormal && FToolBar;
    if (FToolBar && FHot != old)
        FToolBar->HotButtonChanged(this);
    if (FHot != old)
        Invalidate();
}

void TKvxCustomToolBarButton::MouseEntered() {
    // The platform's entry message and the button's own pointer check may both report one entry.
    if ((ComponentState() & plat::csDesigning) || FMouseInside)
        return;
    FMouseInside = true;
    if (Enabled() && FToolBar)
        SetHot(true);
    FLeaveTimer->SetEnabled(true);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TKvxCustomToolBarButton::MouseLeft(bool FireEvent) {
    if ((ComponentState() & plat::csDesigning) || !FMouseInside)
        return;
    FLeaveTimer->SetEnabled(false);
    FMouseInside = false;
    if (FToolBar && !(FToolBar->InMenuMode() && FToolBar->MouseCapture()))
        SetHot(false);
    if (FireEvent && OnMouseLeave)
        OnMouseLeave(this);
}

void TKvxCustomToolBarButton::SyncHotWithCursor() {
    if (!FHotTrack || !Enabled())
        return;
    plat::TPoint p;
    if (!plat::GetCursorPos(p))
        return;
    if (plat::FindDragTarget(p, true) == this) {
        if (!FMouseInside)
            Perform(plat::CM_MOUSEENTER, 0, 0);
    } else if (FMouseInside) {
        Perform(plat::CM_MOUSELEAVE, 0, 0);
    }
}

void TKvxCustomToolBarButton::ResetButtonState() {
    FPressed = false;
    FMouseInside = false;
    FHot = false;
    FDrawState = dsNormal;
    Invalidate();
}

// ---- Size and paint ----

plat::TSize TKvxCustomToolBarButton::ImageSize() const {
    if (FToolBar && FToolBar->Images() && FImageIndex >= 0)
        return plat::TSize(FToolBar->Images()->Width(), FToolBar->Images()->Height());
    int w = 0, h = 0;
    for (const auto* g :
         {FGlyph.get(), FGlyphHot.get(), FGlyphDown.get(), FGlyphChecked.get(), FGlyphDisabled.get()})
        if (!g->Empty()) {
            w = std::max(w, g->Width());
            h = std::max(h, g->Height());
        }
    if (w == 0 && h == 0 && FPicture->Graphic() && !FPicture->Graphic()->Empty())
        return plat::TSize(FPicture->Width(), FPicture->Height());
    return plat::TSize(w, h);
}

void TKvxCustomToolBarButton::CalcButtonSize() {
    if (!Parent() || !FAutoSizeButton)
        return;
    const plat::TSize image = ImageSize();
    plat::TMeasuringCanvas c(*Canvas(), Parent());
    c->Font()->Assign(Font());
    const std::string caption = Caption();
    const int tw = FShowCaption && !caption.empty() ? c->TextWidth(caption) : 0;
    const int lh = c->TextHeight("gh");
    const int gw = image.cx, gh = image.cy;
    const int m = FMargin;
    int along, across;
    if (FGlyphPosition == gpLeft || FGlyphPosition == gpRight) {
        const int content = gw > 0 && tw > 0 ? gw + FSpacing + tw : std::max(gw, tw);
        along = content + 2 * m;
        across = std::max(gh, lh) + 2 * m;
    } else {
        along = std::max(gw, tw) + 2 * m;
        across = lh + gh + FSpacing + 2 * m;
    }
    along = std::max(along, 15) + (FDropDownButton ? FDropDownWidth : 0);
    bool setAcross = false;
    if (FToolBar) {
        const bool floating = FToolBar->State() == tbsFloating;
        const int thickness = Horizontal() ? FToolBar->Height() : FToolBar->Width();
        int least = thickness - 4;
        if (floating)
            least = FToolBar->RowSize() - 4;
        else if (FToolBar->ShowCaption())
            least = thickness - FToolBar->CaptionHeight() - 4;
        across = std::max(across, least);
        setAcross = FToolBar->AutoPositionControls() || floating;
    } else if (!Horizontal()) {
        setAcross = true;
    }
    if (Horizontal())
        SetBounds(Left(), Top(), along, setAcross ? across : Height());
    else
        SetBounds(Left(), Top(), setAcross ? across : Width(), along);
}

void TKvxCustomToolBarButton::ReconcileDrawState() {
    if (!Enabled()) {
        FDrawState = dsDisabled;
        FTracking = false;
    } else if (FDrawState == dsDisabled) {
        FDrawState = FDown && FGroupIndex != 0 ? dsChecked : dsNormal;
    }
    if (FStyle == tasCheck && FDown)
        FDrawState = dsDown;
}

const toolbar::TButtonAppearance* TKvxCustomToolBarButton::ColorSource() const {
    if (FParentStyler && FToolBar && FToolBar->CurrentStyler())
        return FToolBar->CurrentStyler()->ButtonAppearance();
    return FAppearance.get();
}

void TKvxCustomToolBarButton::Paint() {
    ReconcileDrawState();
    DrawButtonFrame(Canvas());
}

// Values of one look: the values of a button appearance for that look.
TKvxCustomToolBarButton::TButtonLook TKvxCustomToolBarButton::LookOf(const toolbar::TButtonAppearance* A,
                                                                     TButtonDrawState State) const {
    TButtonLook l;
    l.Caption = A->CaptionTextColor();
    l.Direction = FAppearance->GradientDirection();
    l.Glyph = FGlyph.get();
    switch (State) {
    case dsDown:
        l = {A->ColorDown(),  A->ColorDownTo(),          A->BorderDownColor(),       A->ColorHot(),
             A->ColorHotTo(), A->CaptionTextColorDown(), A->GradientDirectionDown(), FGlyphDown.get()};
        break;
    case dsChecked:
        l = {A->ColorChecked(),
             A->ColorCheckedTo(),
             A->BorderCheckedColor(),
             A->ColorChecked(),
             A->ColorCheckedTo(),
             A->CaptionTextColorChecked(),
             A->GradientDirectionChecked(),
             FGlyphChecked.get()};
        break;
    case dsDropped: // the hot look
        l = {A->ColorHot(),   A->ColorHotTo(),          A->BorderHotColor(),       A->ColorHot(),
             A->ColorHotTo(), A->CaptionTextColorHot(), A->GradientDirectionHot(), FGlyphHot.get()};
        break;
    case dsDisabled:
        l.Caption = FAppearance->CaptionTextColor();
        l.Glyph = FGlyphDisabled.get();
        break;
    case dsNormal:
        break;
    }
    return l;
}

TKvxCustomToolBarButton::TButtonLook TKvxCustomToolBarButton::ChooseLook() const {
    const toolbar::TButtonAppearance* src = ColorSource();
    const bool checkDown = FStyle == tasCheck && FDrawState == dsDown;
    if (FDrawState == dsDisabled || !Enabled())
        return LookOf(src, dsDisabled);
    if ((FDrawState == dsDown || (FHot && FDrawState == dsChecked) || FPressed) && !checkDown)
        return LookOf(src, dsDown);
    if (FDrawState == dsChecked || checkDown)
        return LookOf(src, dsChecked);
    if (FHot)
        return LookOf(src, dsDropped);
    return LookOf(src, dsNormal);
}

// A menu button: dropped counts as down, the checked look is always its own, and the normal caption
// colour is its own too.
TKvxCustomToolBarButton::TButtonLook TKvxToolBarMenuButton::ChooseLook() const {
    const toolbar::TButtonAppearance* src = ColorSource();
    if (FDrawState == dsDisabled || !Enabled())
        return LookOf(Appearance(), dsDisabled);
    if (FDrawState == dsDown || FDrawState == dsDropped || (FHot && FDrawState == dsChecked) || FPressed)
        return LookOf(src, dsDown);
    if (FDrawState == dsChecked)
        return LookOf(Appearance(), dsChecked);
    if (FHot)
        return LookOf(src, dsDropped);
    return LookOf(Appearance(), dsNormal);
}

void TKvxCustomToolBarButton::DrawButtonFrame(plat::TCanvas* C) {
    const TRect R = ClientRect();
    const bool horizontal = Horizontal();
    const TRect D = horizontal ? TRect(R.Right - FDropDownWidth, R.Top, R.Right, R.Bottom)
                               : TRect(R.Left, R.Bottom - FDropDownWidth, R.Right, R.Bottom);
    TRect Cr = R;
    if (FDropDownButton) {
        if (horizontal)
            Cr.Right = D.Left;
        else
            Cr.Bottom = D.Top;
    }
    const TButtonLook look = ChooseLook();
    const TColor fill = look.Fill, fillTo = look.FillTo, border = look.Border, part = look.Part,
                 partTo = look.PartTo, caption = look.Caption;
    const toolbar::TGradientDirection dir = look.Direction;
    plat::TBitmap* glyph = look.Glyph;
    if (fill != plat::clNone) {
        if (fillTo != plat::clNone) {
            if (FDropDownButton)
                DrawBandGradient(*C, part, partTo, 40, R, dir == toolbar::gdHorizontal);
            DrawBandGradient(*C, fill, fillTo, 40, Cr, dir == toolbar::gdHorizontal);
        } else {
            if (FDropDownButton) {
                C->Brush()->SetColor(part);
                C->Pen()->SetColor(part);
                C->Rectangle(R);
            }
            C->Brush()->SetColor(fill);
            C->Pen()->SetColor(fill);
            C->Rectangle(Cr);
        }
    }
    if (border != plat::clNone) {
        C->Brush()->SetStyle(plat::bsClear);
        C->Pen()->SetColor(border);
        if (FDropDownButton && FDropDownSplit) {
            C->Rectangle(R);
            C->Rectangle(Cr);
        } else if (FDropDownButton) {
            C->Rectangle(TRect(Cr.Left, Cr.Top, R.Right, horizontal ? Cr.Bottom : R.Bottom));
        } else {
            C->Rectangle(Cr);
        }
        C->Brush()->SetStyle(plat::bsSolid);
    }
    if (FMenuShowing && FDropDownSplit) {
        const int top = horizontal ? D.Top : Cr.Top;
        C->Pen()->SetColor(0x800000);
        C->MoveTo(Cr.Left, D.Bottom);
        C->LineTo(Cr.Left, top);
        C->LineTo(D.Right - 1, top);
        C->LineTo(D.Right - 1, D.Bottom);
    }
    if (FDropDownButton) {
        C->Pen()->SetColor(plat::clBlack);
        if (horizontal) {
            const int x = D.Left + (D.Width() - 5) / 2, y = D.Top + (D.Height() - 3) / 2 + 1;
            C->MoveTo(x, y);
            C->LineTo(x + 5, y);
            C->MoveTo(x + 1, y + 1);
            C->LineTo(x + 4, y + 1);
            C->SetPixels(x + 2, y + 2, plat::clBlack);
        } else {
            const int x = D.Left + (D.Width() - 3) / 2 + 1, y = D.Top + (D.Height() - 5) / 2;
            C->MoveTo(x, y);
            C->LineTo(x, y + 5);
            C->MoveTo(x - 1, y + 1);
            C->LineTo(x - 1, y + 4);
            C->SetPixels(x - 2, y + 2, plat::clBlack);
        }
    }
    if (glyph->Empty() && !FGlyph->Empty())
        glyph = FGlyph.get();
    DrawButtonContent(C, Cr, glyph, caption);
}

void TKvxCustomToolBarButton::DrawButtonContent(plat::TCanvas* C, const TRect& Content, plat::TBitmap* Glyph,
                                                TColor CaptionColor) {
    const int W = Content.Width(), H = Height();
    if (FShowCaption)
        C->Font()->Assign(FParentStyler && FToolBar && FToolBar->CurrentStyler()
                              ? FToolBar->CurrentStyler()->ButtonAppearance()->CaptionFont()
                              : Font());
    const std::string caption = Caption();
    const int tw = FShowCaption ? C->TextWidth(caption) : 0;
    const int th = FShowCaption ? C->TextHeight(caption) : 0;
    const int s = tw >= 1 && th >= 1 ? FSpacing : 0;
    plat::TCustomImageList* list = FToolBar ? FToolBar->Images() : nullptr;
    if (list && !Enabled() && FToolBar->DisabledImages())
        list = FToolBar->DisabledImages();
    int gw = 0, gh = 0;
    const bool useList = list && FImageIndex >= 0;
    if (useList) {
        gw = list->Width();
        gh = list->Height();
    } else if (Glyph && !Glyph->Empty()) {
        gw = Glyph->Width();
        gh = Glyph->Height();
    }
    plat::TGraphic* picture = nullptr;
    if (!useList && (!Glyph || Glyph->Empty()) && FPicture->Graphic() && !FPicture->Graphic()->Empty()) {
        picture = FPicture->Graphic();
        gw = picture->Width();
        gh = picture->Height();
        if (!Enabled() && FPictureDisabled->Graphic() && !FPictureDisabled->Graphic()->Empty())
            picture = FPictureDisabled->Graphic();
    }
    int x = 0, y = 0;
    TRect text = Content;
    uint32_t align = plat::DT_SINGLELINE;
    // On a vertical toolbar the caption turns a quarter clockwise: its width runs down the button, its
    // height across it, and it starts at the top-right corner of its band.
    const bool horizontal = Horizontal();
    plat::TPoint textAt;
    if (horizontal) {
        switch (FGlyphPosition) {
        case gpLeft:
            x = (W - (tw + gw + s)) / 2;
            y = (H - gh) / 2;
            text = TRect(x + gw + s, Content.Top, Content.Right, Content.Bottom);
            align |= plat::DT_LEFT | plat::DT_VCENTER;
            break;
        case gpTop:
            x = (W - gw) / 2;
            y = (H - (th + gh + s)) / 2;
            text = TRect(Content.Left, y + gh + s, Content.Right, Content.Bottom);
            align |= plat::DT_CENTER | plat::DT_TOP;
            break;
        case gpRight:
            x = W - (W - (gw + s + tw)) / 2 - gw;
            y = (H - gh) / 2;
            text = TRect((W - (tw + gw + s)) / 2, Content.Top, x - s, Content.Bottom);
            align |= plat::DT_RIGHT | plat::DT_VCENTER;
            break;
        case gpBottom:
            x = (W - gw) / 2;
            y = H - (H - (gh + s + th)) / 2 - gh;
            text = TRect(Content.Left, y - s - th, Content.Right, y);
            align |= plat::DT_CENTER | plat::DT_VCENTER;
            break;
        }
        if (!FAutoSizeButton && x < 0) {
            text.Left += 1 - x;
            x = 1;
            align |= plat::DT_END_ELLIPSIS;
        }
    } else {
        const int across = Width(), along = Content.Height();
        int band = (across - th) / 2; // left edge of the caption's band
        int start = (along - tw) / 2; // where the caption starts down the button
        switch (FGlyphPosition) {
        case gpLeft: // image above the caption
            y = (along - (tw + gh + s)) / 2;
            x = (across - gw) / 2;
            start = y + gh + s;
            break;
        case gpRight: // image below the caption
            start = (along - (tw + gh + s)) / 2;
            y = along - (along - (gh + s + tw)) / 2 - gh;
            x = (across - gw) / 2;
            break;
        case gpTop: // image right of the caption, on the side its top faces
            band = (across - (th + s + gw)) / 2;
            x = across - (across - (th + s + gw)) / 2 - gw;
            y = (along - gh) / 2;
            break;
        case gpBottom: // image left of the caption
            x = (across - (gw + s + th)) / 2;
            band = x + gw + s;
            y = (along - gh) / 2;
            break;
        }
        if (!FAutoSizeButton && y < 0) {
            start += 1 - y;
            y = 1;
        }
        if (!FAutoSizeButton && start < 0)
            start = 1;
        textAt = plat::TPoint(band + th, start);
    }
    if (FDrawPosition->Enabled()) {
        x = FDrawPosition->ImageX();
        y = FDrawPosition->ImageY();
        text = TRect(FDrawPosition->TextX(), FDrawPosition->TextY(), Width(), Height());
        textAt = plat::TPoint(FDrawPosition->TextX() + th, FDrawPosition->TextY());
        align = plat::DT_SINGLELINE | plat::DT_LEFT | plat::DT_TOP | plat::DT_END_ELLIPSIS;
    }
    if (FMouseInside && FHot && FShaded && Enabled() && FDrawState == dsNormal && !FPressed &&
        !FShadowGlyph->Empty()) {
        if (FShadowFromList != useList)
            BuildShadowGlyph();
        C->Draw(x + 2, y + 2, FShadowGlyph.get());
    }
    if (useList) {
        list->Draw(C, x, y, FImageIndex, Enabled() || list == FToolBar->DisabledImages());
    } else if (picture) {
        picture->SetTransparent(true);
        C->Draw(x, y, picture);
    } else if (Glyph && !Glyph->Empty()) {
        Glyph->SetTransparent(true);
        C->Draw(x, y, Glyph);
    }
    if (FShowCaption && !caption.empty()) {
        C->Brush()->SetStyle(plat::bsClear);
        if (horizontal) {
            if (FDrawState == dsDisabled) {
                TRect shifted = text;
                plat::OffsetRect(shifted, 1, 1);
                C->Font()->SetColor(plat::clBtnHighlight);
                C->TextRect(shifted, caption, align);
                C->Font()->SetColor(plat::clBtnShadow);
            } else {
                C->Font()->SetColor(CaptionColor);
            }
            C->TextRect(text, caption, align);
        } else {
            C->Font()->SetOrientation(2700);
            if (FDrawState == dsDisabled) {
                C->Font()->SetColor(plat::clBtnHighlight);
                DrawHotkeyText(*C, caption, textAt);
                C->Font()->SetColor(plat::clBtnShadow);
                textAt = plat::TPoint(textAt.X - 1, textAt.Y - 1);
            } else {
                C->Font()->SetColor(CaptionColor);
            }
            DrawHotkeyText(*C, caption, textAt);
            C->Font()->SetOrientation(0);
        }
        C->Brush()->SetStyle(plat::bsSolid);
    }
}

// ---- TKvxToolBarMenuButton ----

TKvxToolBarMenuButton::TKvxToolBarMenuButton(plat::TComponent* AOwner) : TKvxCustomToolBarButton(AOwner) {
    SetParentStyler(true);
}

} // namespace ui
