#include "platform/ui/Control.h"
#include "platform/ui/Cursor.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/gfx/TextLayout.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlSupport.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/ParentBackground.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"

namespace plat {

namespace {

TControl* GCaptureControl = nullptr;
TPopupMenuHandler& PopupHandler() {
    static TPopupMenuHandler handler;
    return handler;
}

const char* const kAlignNames[] = {"alNone",  "alTop",    "alBottom", "alLeft",
                                   "alRight", "alClient", "alCustom"};

static_assert(std::size(kAlignNames) == alCustom + 1);
const char* const kAnchorNames[] = {"akLeft", "akTop", "akRight", "akBottom"};
static_assert(TAnchors(1) << (std::size(kAnchorNames) - 1) == akBottom);
const char* const kDragModeNames[] = {"dmManual", "dmAutomatic"};
static_assert(std::size(kDragModeNames) == dmAutomatic + 1);

struct TCursorName {
    TCursor Value;
    const char* Name;
};
const TCursorName kCursorNames[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},     {crSizeAll, "crSize"},
};

bool CursorFromName(const std::string& name, TCursor& value) {
    for (const TCursorName& c : kCursorNames)
        if (SameText(name, c.Name)) {
            value = c.Value;
            return true;
        }
    return false;
}

const char* CursorName(TCursor value) {
    for (const TCursorName& c : kCursorNames)
        if (c.Value == value)
            return c.Name;
    return nullptr;
}

} // namespace

TMouse* Mouse = new TMouse;

// ---- Helpers ------------------------------------------------------------------------------------------

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT)
        s |= ssShift;
    if (keys & MK_CONTROL)
        s |= ssCtrl;
    if (keys & MK_LBUTTON)
        s |= ssLeft;
    if (keys & MK_RBUTTON)
        s |= ssRight;
    if (keys & MK_MBUTTON)
        s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        s |= ssCtrl;
    if (keyData & KF_ALTDOWN_BIT)
        s |= ssAlt;
    return s;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0)
        s |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0)
        s |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0)
        s |= ssMiddle;
    return s;
}

bool IsAccel(char32_t VK, const std::string& Caption) {
    int offset = -1;
    std::string shown = StripPrefix(Caption, offset);
    if (offset < 0 || offset >= static_cast<int>(shown.size()))
        return false;
    unsigned char c = static_cast<unsigned char>(shown[offset]);
    if (c >= 0x80)
        return false;
    char32_t a = static_cast<char32_t>(std::toupper(c));
    char32_t b = VK < 0x80 ? static_cast<char32_t>(std::toupper(static_cast<int>(VK))) : VK;
    return a == b;
}

void SetPopupMenuHandler(TPopupMenuHandler Handler) {
    PopupHandler() = std::move(Handler);
}

TCustomForm* GetParentForm(TControl* Control) {
    while (Control && Control->Parent())
        Control = Control->Parent();
    if (Control && Control->Is<TCustomForm>())
        return static_cast<TCustomForm*>(Control);
    return nullptr;
}

TCustomForm* ValidParentForm(TControl* Control) {
    TCustomForm* form = GetParentForm(Control);
    if (!form)
        throw EInvalidOperation("Control '" + (Control ? Control->Name() : std::string()) +
                                "' has no parent window");
    return form;
}

TWinControl* FindControl(HWND Handle) {
    if (!Handle)
        return nullptr;
    TWndProc proc = GetWindowProc(Handle);
    (void)proc;
    return static_cast<TWinControl*>(GetWindowObject(Handle));
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
    HWND wnd = WindowFromPoint(Pos);
    TWinControl* control = FindControl(wnd);
    if (!control)
        return nullptr;
    TControl* child = control->ControlAtPos(control->ScreenToClient(Pos), AllowDisabled);
    return child ? child : control;
}

TControl* FindControlAtPos(TPoint Pos) {
    return FindControl(WindowFromPoint(Pos));
}

TControl* GetCaptureControl() {
    TControl* result = FindControl(GetCapture());
    if (result && GCaptureControl && GCaptureControl->Parent() == result)
        result = GCaptureControl;
    return result;
}

void SetCaptureControl(TControl* Control) {
    ReleaseCapture();
    GCaptureControl = nullptr;
    if (!Control)
        return;
    if (!Control->Is<TWinControl>()) {
        if (!Control->Parent())
            return;
        GCaptureControl = Control;
        Control = Control->Parent();
    }
    SetCapture(static_cast<TWinControl*>(Control)->Handle());
}

TPoint TMouse::CursorPos() const {
    TPoint p;
    GetCursorPos(p);
    return p;
}

void TMouse::SetCursorPos(TPoint Value) {
    plat::SetCursorPos(Value.X, Value.Y);
}

HWND TMouse::Capture() const {
    return GetCapture();
}

void TMouse::SetCapture(HWND Value) {
    if (Value)
        plat::SetCapture(Value);
    else
        ReleaseCapture();
}

// ---- TSizeConstraints -------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TSizeConstraints, TPersistent)

PLAT_PROPERTIES(TSizeConstraints) {
    props.Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0);
    props.Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0);
    props.Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0);
    props.Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0);
}

void TSizeConstraints::SetMaxHeight(int Value) {
    if (Value == FMaxHeight)
        return;
    FMaxHeight = std::max(0, Value);
    if (FMaxHeight > 0 && FMaxHeight < FMinHeight)
        FMinHeight = FMaxHeight;
    Change();
}

void TSizeConstraints::SetMaxWidth(int Value) {
    if (Value == FMaxWidth)
        return;
    FMaxWidth = std::max(0, Value);
    if (FMaxWidth > 0 && FMaxWidth < FMinWidth)
        FMinWidth = FMaxWidth;
    Change();
}

void TSizeConstraints::SetMinHeight(int Value) {
    if (Value == FMinHeight)
        return;
    FMinHeight = std::max(0, Value);
    if (FMaxHeight > 0 && FMinHeight > FMaxHeight)
        FMaxHeight = FMinHeight;
    Change();
}

void TSizeConstraints::SetMinWidth(int Value) {
    if (Value == FMinWidth)
        return;
    FMinWidth = std::max(0, Value);
    if (FMaxWidth > 0 && FMinWidth > FMaxWidth)
        FMaxWidth = FMinWidth;
    Change();
}

void TSizeConstraints::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
        FMinHeight = s->FMinHeight;
        FMaxHeight = s->FMaxHeight;
        FMinWidth = s->FMinWidth;
        FMaxWidth = s->FMaxWidth;
        Change();
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TSizeConstraints::GetOwner() const {
    return FControl;
}

void TSizeConstraints::Change() {
    if (OnChange)
        OnChange(this);
}

PLAT_CLASS_INFO(TDragObject, TObject)

// ---- TControl -----------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TControl, TComponent)

PLAT_PROPERTIES(TControl) {
    props.Integer("Left", &TControl::Left, &TControl::SetLeft);
    props.Integer("Top", &TControl::Top, &TControl::SetTop);
    props.Integer("Width", &TControl::Width, &TControl::SetWidth);
    props.Integer("Height", &TControl::Height, &TControl::SetHeight);
    props.Enum("Align", &TControl::Align, &TControl::SetAlign, kAlignNames, alNone);
    props.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, kAnchorNames, TAnchors(akLeft | akTop));
    props.Object("Constraints", &TControl::Constraints, &TControl::SetConstraints);
    props.Boolean("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, false);
    props.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
    props.Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true);
    props.Color("Color", &TControl::Color, &TControl::SetColor, clWindow).Stored(&TControl::IsColorStored);
    props.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true);
    props.Object("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
    props.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
    props.String("Hint", &TControl::Hint, &TControl::SetHint);
    props.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
        .Stored(&TControl::IsShowHintStored);
    props.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
    props.Integer("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext, 0);
    props.Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, kDragModeNames, dmManual);
    props.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    props.Event("OnClick", &TControl::OnClick);
    props.Event("OnDblClick", &TControl::OnDblClick);
    props.Event("OnResize", &TControl::OnResize);
    props.Event("OnMouseDown", &TControl::OnMouseDown);
    props.Event("OnMouseUp", &TControl::OnMouseUp);
    props.Event("OnMouseMove", &TControl::OnMouseMove);
    props.Event("OnMouseWheel", &TControl::OnMouseWheel);
    props.Event("OnMouseWheelDown", &TControl::OnMouseWheelDown);
    props.Event("OnMouseWheelUp", &TControl::OnMouseWheelUp);
    props.Event("OnContextPopup", &TControl::OnContextPopup);
    props.Event("OnCanResize", &TControl::OnCanResize);
    props.Event("OnConstrainedResize", &TControl::OnConstrainedResize);
    props.Event("OnDragOver", &TControl::OnDragOver);
    props.Event("OnDragDrop", &TControl::OnDragDrop);
    props.Event("OnEndDrag", &TControl::OnEndDrag);
    props.Event("OnStartDrag", &TControl::OnStartDrag);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    FFont = std::make_unique<TFont>();
    FFont->OnChange = [this](TObject* s) { FontChanged(s); };
    FConstraints = std::make_unique<TSizeConstraints>(this);
    FConstraints->OnChange = [this](TObject*) { ConstraintsChanged(); };
    FParentColor = true;
}

TControl::~TControl() {
    TControl::BeforeDestruction();
    if (GCaptureControl == this)
        GCaptureControl = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() {
    TComponent::BeforeDestruction();
}

bool TControl::AcceptBounds(int ALeft, int ATop, int& AWidth, int& AHeight) {
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return false;
    if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight))
        return false;
    ApplyConstraints(AWidth, AHeight);
    return ALeft != FLeft || ATop != FTop || AWidth != FWidth || AHeight != FHeight;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!AcceptBounds(ALeft, ATop, AWidth, AHeight))
        return;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    Invalidate();
    RequestAlign();
    if (sized && !(ComponentState() & csLoading))
        Resize();
}

TRect TControl::ClientRect() const {
    return TRect(0, 0, FWidth, FHeight);
}

void TControl::SetClientWidth(int Value) {
    SetClientSize(TSize(Value, ClientHeight()));
}

void TControl::SetClientHeight(int Value) {
    SetClientSize(TSize(ClientWidth(), Value));
}

void TControl::SetClientSize(TSize Value) {
    TRect c = ClientRect();
    SetBounds(FLeft, FTop, FWidth - c.Width() + Value.cx, FHeight - c.Height() + Value.cy);
}

TPoint TControl::ClientOrigin() const {
    if (!FParent)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    TPoint p = FParent->ClientOrigin();
    return TPoint(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(TPoint P) const {
    TPoint o = ClientOrigin();
    return TPoint(P.X + o.X, P.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint P) const {
    TPoint o = ClientOrigin();
    return TPoint(P.X - o.X, P.Y - o.Y);
}

TPoint TControl::ClientToParent(TPoint P, TWinControl* AParent) const {
    if (!AParent)
        AParent = FParent;
    if (!AParent)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    TPoint r = P;
    const TControl* c = this;
    while (c && c != AParent) {
        if (const auto* w = dynamic_cast<const TWinControl*>(c)) {
            TRect cr = w->ClientRect();
            (void)cr;
        }
        r.X += c->FLeft;
        r.Y += c->FTop;
        c = c->FParent;
    }
    if (!c)
        throw EInvalidOperation("'" + AParent->Name() + "' is not a parent of '" + Name() + "'");
    return r;
}

TPoint TControl::ParentToClient(TPoint P, TWinControl* AParent) const {
    TPoint zero = ClientToParent(TPoint(0, 0), AParent);
    return TPoint(P.X - zero.X, P.Y - zero.Y);
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value)
        return;
    TAlign old = FAlign;
    FAlign = Value;
    static const TAnchors anchorAlign[] = {akLeft | akTop,
                                           akLeft | akTop | akRight,
                                           akLeft | akRight | akBottom,
                                           akLeft | akTop | akBottom,
                                           akRight | akTop | akBottom,
                                           akLeft | akTop | akRight | akBottom,
                                           akLeft | akTop};
    FAnchors = anchorAlign[Value];
    if (!(ComponentState() & csLoading) && Value != alNone && Value != alCustom && old != alNone && FParent) {
        // Leaving one side for another: take the size the new side does not set from the old one.
    }
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value)
        return;
    FAnchors = Value;
    if (!(ComponentState() & csLoading))
        UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (ComponentState() & csLoading)
        return;
    if (FAnchors == (akLeft | akTop) || !FParent) {
        FAnchorsRecorded = false;
        return;
    }
    TRect pc = FParent->ClientRect();
    FAnchorParentSize = TSize(pc.Width(), pc.Height());
    FAnchorBounds = BoundsRect();
    FAnchorsRecorded = true;
}

void TControl::AnchorTo(TSize parentSize) {
    if (!FAnchorsRecorded || FAnchors == (akLeft | akTop))
        return;
    if (FAnchorParentSize.cx <= 0 && FAnchorParentSize.cy <= 0)
        return;
    TRect o = FAnchorBounds;
    int l = FLeft, t = FTop, w = FWidth, h = FHeight;
    int dx = parentSize.cx - FAnchorParentSize.cx, dy = parentSize.cy - FAnchorParentSize.cy;
    if (FAnchors & akRight) {
        if (FAnchors & akLeft)
            w = o.Width() + dx;
        else
            l = o.Left + dx;
    } else if (!(FAnchors & akLeft) && FAnchorParentSize.cx > 0) {
        l = (o.Left + o.Width() / 2) * parentSize.cx / FAnchorParentSize.cx - w / 2;
    }
    if (FAnchors & akBottom) {
        if (FAnchors & akTop)
            h = o.Height() + dy;
        else
            t = o.Top + dy;
    } else if (!(FAnchors & akTop) && FAnchorParentSize.cy > 0) {
        t = (o.Top + o.Height() / 2) * parentSize.cy / FAnchorParentSize.cy - h / 2;
    }
    // Moving by the anchors keeps the measure they were taken with.
    TSize keepSize = FAnchorParentSize;
    TRect keepBounds = FAnchorBounds;
    SetBounds(l, t, w, h);
    FAnchorParentSize = keepSize;
    FAnchorBounds = keepBounds;
    FAnchorsRecorded = true;
}

void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (Value)
        AdjustSize();
}

bool TControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    return false;
}

void TControl::AdjustSize() {
    if (!(ComponentState() & csLoading))
        SetBounds(FLeft, FTop, FWidth, FHeight);
    DoAutoSize();
}

void TControl::DoAutoSize() {
    if (!FAutoSize || (ComponentState() & csLoading))
        return;
    int w = FWidth, h = FHeight;
    if (CanAutoSize(w, h) && (w != FWidth || h != FHeight))
        SetBounds(FLeft, FTop, w, h);
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool resize = true;
    if (OnCanResize)
        OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    if (OnConstrainedResize)
        OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::ApplyConstraints(int& W, int& H) {
    int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
    int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
    ConstrainedResize(minW, minH, maxW, maxH);
    if (maxW > 0 && W > maxW)
        W = maxW;
    if (minW > 0 && W < minW)
        W = minW;
    if (maxH > 0 && H > maxH)
        H = maxH;
    if (minH > 0 && H < minH)
        H = minH;
}

void TControl::ConstraintsChanged() {
    if (!(ComponentState() & csLoading)) {
        int w = FWidth, h = FHeight;
        ApplyConstraints(w, h);
        if (w != FWidth || h != FHeight)
            SetBounds(FLeft, FTop, w, h);
    }
}

void TControl::RequestAlign() {
    if (FParent)
        FParent->AlignControl(this);
}

void TControl::Resize() {
    if (OnResize)
        OnResize(this);
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    VisibleChanging();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    RequestAlign();
}

void TControl::Show() {
    if (FParent)
        FParent->Show();
    if (!Is<TCustomForm>())
        SetVisible(true);
}

void TControl::Hide() {
    SetVisible(false);
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

bool TControl::Showing() const {
    return FVisible && FParent && FParent->Showing();
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* w = dynamic_cast<TWinControl*>(Value))
        SetParent(w);
}

void TControl::SetName(const std::string& NewName) {
    std::string old = Name();
    bool changeText = (FControlStyle & csSetCaption) && !(ComponentState() & csLoading) && GetText() == old &&
                      (!Owner() || !(Owner()->ComponentState() & csLoading));
    TComponent::SetName(NewName);
    if (changeText)
        SetText(NewName);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (FParent && Value)
        Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
    if (!FUpdatingFont)
        FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    // Choosing a colour ends taking the parent's, even when it is the colour the control has now (a
    // constructor setting its class's colour).
    FParentColor = false;
    if (FColor == Value)
        return;
    FColor = Value;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    if (FParent && Value)
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value)
        return;
    FParentShowHint = Value;
    if (FParent && Value)
        Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TComponent* Value) {
    FPopupMenu = Value;
    if (Value)
        FreeNotification(Value);
}

void TControl::SetText(const std::string& Value) {
    if (FText == Value)
        return;
    FText = Value;
    Perform(CM_TEXTCHANGED, 0, 0);
}

bool TControl::MouseCapture() const {
    return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value)
        return;
    SetCaptureControl(Value ? this : nullptr);
}

void TControl::Invalidate() {
    if ((FVisible || (ComponentState() & csDesigning)) && FParent && FParent->HandleAllocated()) {
        TRect r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r,
                       !((FControlStyle & csOpaque) || (FParent->ControlStyle() & csOpaque)));
    }
}

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->HandleAllocated())
        return;
    if (FControlStyle & csOpaque) {
        HDC dc = GetDC(FParent->Handle());
        dc->IntersectClipRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight);
        FParent->PaintControls(dc, this);
        ReleaseDC(FParent->Handle(), dc);
    } else {
        Invalidate();
        Update();
    }
}

void TControl::Update() {
    if (FParent)
        FParent->Update();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m;
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    m.Result = 0;
    if (WindowProc)
        WindowProc(m);
    return m.Result;
}

bool TControl::MoveInParentZOrder(bool TopMost) {
    if (!FParent)
        return false;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return false;
    list.erase(it);
    if (TopMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    return true;
}

void TControl::SetZOrder(bool TopMost) {
    if (MoveInParentZOrder(TopMost))
        Invalidate();
}

void TControl::UpdateBoundsRect(const TRect& R) {
    FLeft = R.Left;
    FTop = R.Top;
    FWidth = R.Width();
    FHeight = R.Height();
    UpdateAnchorRules();
}

void TControl::ReadState(TReader& Reader) {
    {
        TemporaryFlags reading(FControlState, csReadingState);
        if (auto* p = dynamic_cast<TWinControl*>(Reader.Parent()))
            SetParent(p);
        TComponent::ReadState(Reader);
    }
    if (FParent) {
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
        Perform(CM_PARENTFONTCHANGED, 0, 0);
        Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    }
}

void DefineCursorProperty(TFiler& Filer, const std::string& Name, TCursor Value,
                          const std::function<void(TCursor)>& Set) {
    // Cursors are written by name (crHandPoint) and, for the program's own ones, as numbers.
    Filer.DefineProperty(
        Name,
        [Set](TReader& r) {
            if (r.NextValue() == vaIdent) {
                std::string name = r.ReadIdent();
                TCursor c = crDefault;
                if (!CursorFromName(name, c))
                    throw EReadError("Invalid property value");
                Set(c);
            } else {
                Set(static_cast<TCursor>(r.ReadInteger()));
            }
        },
        [Value](TWriter& w) {
            if (const char* name = CursorName(Value))
                w.WriteIdent(name);
            else
                w.WriteInteger(Value);
        },
        Value != crDefault);
}

void TControl::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    DefineCursorProperty(Filer, "Cursor", FCursor, [this](TCursor c) { SetCursor(c); });
}

void TControl::Loaded() {
    TComponent::Loaded();
    UpdateAnchorRules();
    if (FAutoSize)
        DoAutoSize();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (FPopupMenu == AComponent)
            FPopupMenu = nullptr;
    }
}

void TControl::SendCancelMode(TControl* Sender) {
    for (TControl* c = this; c; c = c->FParent)
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            form->SendCancelMode(Sender);
}

// ---- Mouse ---------------------------------------------------------------------------------------------

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (!handled) {
        FWheelAccumulator += WheelDelta;
        while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
            bool down = FWheelAccumulator < 0;
            FWheelAccumulator += down ? WHEEL_DELTA : -WHEEL_DELTA;
            handled = down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
        }
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown)
        OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp)
        OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    if (FControlStyle & csNoStdEvents)
        return;
    TPoint p = PointFromLParam(Message.LParam);
    MouseDown(Button, KeysToShiftState(Message.WParam) | Shift, p.X, p.Y);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    if (FControlStyle & csNoStdEvents)
        return;
    TPoint p = PointFromLParam(Message.LParam);
    MouseUp(Button, KeysToShiftState(Message.WParam), p.X, p.Y);
}

void TControl::WMMouseMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        bool dbl = Message.Msg == WM_LBUTTONDBLCLK;
        SendCancelMode(this);
        DefaultHandler(Message);
        if (FControlStyle & csCaptureMouse)
            SetMouseCapture(true);
        if (FControlStyle & csClickEvents) {
            if (dbl)
                DblClick();
            else
                FControlState |= csClicked;
        }
        DoMouseDown(Message, mbLeft, dbl ? ssDouble : 0);
        break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        SendCancelMode(this);
        DefaultHandler(Message);
        DoMouseDown(Message, mbRight, Message.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        SendCancelMode(this);
        DefaultHandler(Message);
        DoMouseDown(Message, mbMiddle, Message.Msg == WM_MBUTTONDBLCLK ? ssDouble : 0);
        break;
    case WM_LBUTTONUP: {
        DefaultHandler(Message);
        if (FControlStyle & csCaptureMouse)
            SetMouseCapture(false);
        if (FControlState & csClicked) {
            FControlState &= ~csClicked;
            TPoint p = PointFromLParam(Message.LParam);
            if (ClientRect().Contains(p))
                Click();
        }
        DoMouseUp(Message, mbLeft);
        break;
    }
    case WM_RBUTTONUP:
        DoMouseUp(Message, mbRight);
        DefaultHandler(Message);
        break;
    case WM_MBUTTONUP:
        DefaultHandler(Message);
        DoMouseUp(Message, mbMiddle);
        break;
    case WM_MOUSEMOVE: {
        DefaultHandler(Message);
        if (!(FControlStyle & csNoStdEvents)) {
            TPoint p = PointFromLParam(Message.LParam);
            MouseMove(KeysToShiftState(Message.WParam), p.X, p.Y);
        }
        break;
    }
    }
}

void TControl::CMMouseWheel(TMessage& Message) {
    // wParam: shift state in the low word, delta in the high word; lParam: the screen point.
    TShiftState shift = static_cast<TShiftState>(Message.WParam & 0xFFFF);
    int delta = static_cast<int16_t>(HIWORD(Message.WParam));
    TPoint pos = PointFromLParam(Message.LParam);
    Message.Result = 0;
    if (DoMouseWheel(shift, delta, pos))
        Message.Result = 1;
    else if (FParent)
        Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0)
        return;
    TPoint screen = PointFromLParam(Message.LParam);
    TPoint local = screen;
    if (Message.LParam == -1) // from the keyboard: no point
        local = TPoint(-1, -1);
    else
        local = ScreenToClient(screen);
    bool handled = false;
    DoContextPopup(local, handled);
    Message.Result = handled ? 1 : 0;
    if (handled)
        return;
    TComponent* menu = GetPopupMenu();
    if (menu && PopupHandler()) {
        if (Message.LParam == -1)
            screen = ClientToScreen(TPoint(0, 0));
        if (PopupHandler()(this, menu, screen))
            Message.Result = 1;
    }
}

void TControl::CMHitTest(TMessage& Message) {
    Message.Result = HTCLIENT;
}

void TControl::CMParentFontChanged(TMessage& Message) {
    if (!FParentFont || !FParent)
        return;
    FUpdatingFont = true;
    if (Message.WParam)
        FFont->Assign(reinterpret_cast<TFont*>(Message.LParam));
    else
        FFont->Assign(FParent->Font());
    FUpdatingFont = false;
    FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& Message) {
    if (!FParentColor || !FParent)
        return;
    TColor c = Message.WParam ? static_cast<TColor>(Message.LParam) : FParent->Color();
    if (c != FColor) {
        FColor = c;
        Perform(CM_COLORCHANGED, 0, 0);
    }
    FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage& Message) {
    if (FParentShowHint && FParent) {
        FShowHint = FParent->ShowHint();
        FParentShowHint = true;
    }
}

void TControl::WndProc(TMessage& Message) {
    UINT msg = Message.Msg;
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
        if (TCustomForm* form = GetParentForm(this); form && form->WantChildKey(this, Message))
            return;
    } else if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL && msg != WM_MOUSEHWHEEL) {
        if (!(FControlStyle & csDoubleClicks) &&
            (msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK))
            Message.Msg = msg = msg - (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
        switch (msg) {
        case WM_MOUSEMOVE:
            if (Application)
                Application->HintMouseMessage(this, Message);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FDragMode == dmAutomatic) {
                BeginDrag(false);
                return;
            }
            FControlState |= csLButtonDown;
            break;
        case WM_LBUTTONUP:
            FControlState &= ~csLButtonDown;
            break;
        }
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        WMMouseMessage(Message);
        break;
    case WM_MOUSEWHEEL: {
        TShiftState shift = KeysToShiftState(LOWORD(Message.WParam));
        Message.Result = Perform(CM_MOUSEWHEEL, MAKEWPARAM(shift, HIWORD(Message.WParam)), Message.LParam);
        if (Message.Result == 0)
            DefaultHandler(Message);
        break;
    }
    case CM_MOUSEWHEEL:
        CMMouseWheel(Message);
        break;
    case WM_CONTEXTMENU:
        DefaultHandler(Message);
        WMContextMenu(Message);
        break;
    case WM_CANCELMODE:
        DefaultHandler(Message);
        if (MouseCapture()) {
            SetMouseCapture(false);
            if (FControlState & csLButtonDown)
                Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(0xFFFFFFFF));
        } else {
            FControlState &= ~csLButtonDown;
        }
        break;
    case CM_HITTEST:
        CMHitTest(Message);
        break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        Invalidate();
        break;
    case CM_VISIBLECHANGED:
        if (FParent && FParent->HandleAllocated()) {
            TRect r = BoundsRect();
            InvalidateRect(FParent->Handle(), &r, true);
        }
        break;
    case CM_PARENTFONTCHANGED:
        CMParentFontChanged(Message);
        break;
    case CM_PARENTCOLORCHANGED:
        CMParentColorChanged(Message);
        break;
    case CM_PARENTSHOWHINTCHANGED:
        CMParentShowHintChanged(Message);
        break;
    default:
        DefaultHandler(Message);
        break;
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETTEXT:
        if (Message.LParam)
            *reinterpret_cast<std::string*>(Message.LParam) = FText;
        Message.Result = static_cast<LRESULT>(FText.size());
        break;
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(FText.size());
        break;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        FText = text ? text : "";
        Perform(CM_TEXTCHANGED, 0, 0);
        Message.Result = 1;
        break;
    }
    default:
        break;
    }
}

// ---- Dragging
// ----------------------------------------------------------------------------------------------

namespace {
struct TDragRun {
    TControl* Source = nullptr;
    TDragObject* Object = nullptr;
    bool OwnObject = false;
    bool Active = false;
};
TDragRun GDrag;
} // namespace

bool TControl::Dragging() const {
    return GDrag.Active && GDrag.Source == this;
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::EndDrag(bool Drop) {
    if (!Dragging())
        return;
    // The drag loop looks at the flag after the handler that called this returns.
    GDrag.Active = false;
    GDrag.Object->Dropped = Drop;
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (GDrag.Active || !FParent)
        return;
    if (Threshold < 0)
        Threshold = Mouse->DragThreshold();
    TPoint start;
    GetCursorPos(start);
    HWND captureWnd = FParent->Handle();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        captureWnd = w->Handle();
    // Whatever ends the drag (the drop, Escape, a handler that raises or frees the source), the record
    // is cleared, the object we made is freed and the capture and cursor are given back.
    std::unique_ptr<TDragObject> ownObject;
    TModalLoop loop;
    loop.OnExit([] { GDrag = TDragRun(); });
    GCaptureControl = dynamic_cast<TWinControl*>(this) ? nullptr : this;
    loop.OnExit([] { GCaptureControl = nullptr; });
    loop.Capture(captureWnd);
    loop.Watch(this);
    bool started = Immediate;
    bool cancelled = false;
    TControl* target = nullptr;
    bool accepted = false;
    TPoint pos = start;
    auto begin = [&] {
        TDragObject* obj = nullptr;
        DoStartDrag(obj);
        if (!obj)
            ownObject = std::make_unique<TDragObject>();
        GDrag.Source = this;
        GDrag.OwnObject = obj == nullptr;
        GDrag.Object = obj ? obj : ownObject.get();
        GDrag.Object->Control = this;
        GDrag.Active = true;
        started = true;
    };
    auto sourceObject = [&]() -> TObject* {
        return GDrag.OwnObject ? static_cast<TObject*>(this) : GDrag.Object;
    };
    auto over = [&](TControl* t, TDragState state) -> bool {
        if (!t)
            return false;
        TPoint p = t->ScreenToClient(pos);
        bool accept = false;
        t->DragOver(sourceObject(), p.X, p.Y, state, accept);
        return accept;
    };
    if (started)
        begin();
    while (loop.HasCapture()) {
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            cancelled = true;
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            pos = msg.pt;
            if (!started &&
                (std::abs(pos.X - start.X) >= Threshold || std::abs(pos.Y - start.Y) >= Threshold))
                begin();
            if (!started)
                continue;
            TControl* now = FindDragTarget(pos, false);
            if (now != target) {
                over(target, dsDragLeave);
                target = now;
                loop.Track(target);
                accepted = over(target, dsDragEnter);
            } else {
                accepted = over(target, dsDragMove);
            }
            if (!loop.Alive())
                return;
            GDrag.Object->DragPos = pos;
            loop.SetCursor(LoadCursor(accepted ? IDC_DRAG : IDC_NODROP));
            continue;
        }
        if (msg.message == WM_LBUTTONUP) {
            pos = msg.pt;
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            cancelled = true;
            break;
        }
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_KEYDOWN || msg.message == WM_KEYUP ||
            msg.message == WM_CHAR)
            continue;
        if (!loop.Dispatch(msg))
            return;                           // the source went away with its drag
        if (GDrag.Active == false && started) // EndDrag from a handler
            break;
    }
    bool dropped = GDrag.Active ? !cancelled : (GDrag.Object && GDrag.Object->Dropped);
    loop.ReleaseCapture();
    GCaptureControl = nullptr;
    if (!started) {
        // Released before the threshold: an ordinary click.
        FControlState &= ~csLButtonDown;
        return;
    }
    TObject* dropTarget = nullptr;
    TPoint tp;
    if (dropped && target && accepted) {
        tp = target->ScreenToClient(pos);
        GDrag.Object->DragTarget = target;
        target->DragDrop(sourceObject(), tp.X, tp.Y);
        dropTarget = target;
    } else if (target) {
        over(target, dsDragLeave);
    }
    if (!loop.Alive())
        return;
    TPoint sp = dropTarget ? tp : TPoint(0, 0);
    GDrag = TDragRun();
    DoEndDrag(dropTarget, sp.X, sp.Y);
}

// ---- TWinControl ------------------------------------------------------------------------------------------

namespace {

LRESULT ControlWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(GetWindowObject(wnd));
    if (!control && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<TCreateStruct*>(lParam);
        control = static_cast<TWinControl*>(cs->lpCreateParams);
        if (control) {
            SetWindowObject(wnd, control);
            control->AttachHandle(wnd);
        }
    }
    if (!control)
        return DefWindowProc(wnd, msg, wParam, lParam);
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    control->MainWndProc(m);
    return m.Result;
}

} // namespace

PLAT_CLASS_INFO(TWinControl, TControl)

PLAT_PROPERTIES(TWinControl) {
    props.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1);
    props.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
    props.Integer("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth, 0);
    props.Boolean("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered, false);
    props.Event("OnEnter", &TWinControl::OnEnter);
    props.Event("OnExit", &TWinControl::OnExit);
    props.Event("OnKeyDown", &TWinControl::OnKeyDown);
    props.Event("OnKeyUp", &TWinControl::OnKeyUp);
    props.Event("OnKeyPress", &TWinControl::OnKeyPress);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    FBrush = std::make_unique<TBrush>();
    FBrush->SetColor(FColor);
    FDefWndProc = DefWindowProc;
}

TWinControl::~TWinControl() {
    TWinControl::BeforeDestruction();
    // While this is still a windowed control, so that the parent also drops it from its tab order.
    if (FParent)
        FParent->RemoveControl(this);
}

void TWinControl::BeforeDestruction() {
    if (!(ComponentState() & csDestroying)) {
        Destroying();
    }
    if (FParent) {
        if (TCustomForm* form = GetParentForm(this))
            form->DefocusControl(this, true);
    }
    if (FHandle)
        DestroyWindowHandle();
    // Children go with their parent, whoever owns them.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        if (c->Owner())
            c->Free();
        else
            delete c;
    }
    TControl::BeforeDestruction();
}

void TWinControl::AttachHandle(HWND Wnd) {
    FHandle = Wnd;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent || FParentWindow == Value)
        return;
    if (FHandle && FParentWindow && Value) {
        ::plat::SetParent(FHandle, Value);
        FParentWindow = Value;
        return;
    }
    DestroyHandle();
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::RecreateWnd() {
    if (FHandle)
        Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams();
    Params.Caption = TControl::GetText();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle & csAcceptsControls) {
        Params.Style |= WS_CLIPCHILDREN;
        Params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent)
        Params.WndParent = FParent->Handle();
    else
        Params.WndParent = FParentWindow;
    Params.WindowClass.Style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.WndProc = DefWindowProc;
    Params.WindowClass.Cursor = LoadCursor(IDC_ARROW);
    Params.WindowClass.Background = clNone;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X,
                            Params.Y, Params.Width, Params.Height, Params.WndParent, 0, this);
    if (h)
        FHandle = h;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    FDefWndProc = params.WindowClass.WndProc ? params.WindowClass.WndProc : DefWindowProc;
    TWndClass cls = params.WindowClass;
    cls.Name = params.WinClassName;
    cls.WndProc = ControlWindowProc;
    RegisterWindowClass(cls);
    {
        TemporaryFlags creating(FControlState, csCreating);
        CreateWindowHandle(params);
    }
    if (!FHandle)
        throw EOutOfResources("Error creating window for control '" + Name() + "'");
    if ((GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) && GetWindowLongPtr(FHandle, GWL_ID) == 0)
        SetWindowLongPtr(FHandle, GWL_ID, reinterpret_cast<LONG_PTR>(FHandle));
    TRect b = GetWindowBounds(FHandle);
    if (!IsIconic(FHandle))
        TControl::UpdateBoundsRect(b);
    if (AutoSize())
        DoAutoSize();
}

void TWinControl::CreateHandle() {
    if (FHandle)
        return;
    CreateWnd();
    if (FParent) {
        SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (TControl* c : FControls)
        c->UpdateAnchorRules();
    Realign();
}

void TWinControl::DestroyWnd() {
    TControl::FText = GetWindowText(FHandle);
    TControlCanvas::FreeDeviceContexts();
    DestroyWindowHandle();
}

void TWinControl::DestroyHandle() {
    if (!FHandle)
        return;
    for (TWinControl* w : WinControls())
        w->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWindowHandle() {
    FControlState |= csDestroyingHandle;
    HWND h = FHandle;
    DestroyWindow(h);
    FControlState &= ~csDestroyingHandle;
    FHandle = nullptr;
    FShowing = false;
    // Windowed children lost their windows with ours.
    for (TWinControl* w : WinControls()) {
        if (w->FHandle && !IsWindow(w->FHandle)) {
            w->FHandle = nullptr;
            w->FShowing = false;
        }
    }
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) const {
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it == FControls.end())
        return HWND_TOP;
    for (++it; it != FControls.end(); ++it)
        if (auto* w = dynamic_cast<TWinControl*>(*it); w && w->FHandle)
            return w->FHandle;
    return HWND_TOP;
}

std::vector<TWinControl*> TWinControl::WinControls() const {
    std::vector<TWinControl*> out;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            out.push_back(w);
    return out;
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || AControl->FParent == this)
        return;
    Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(AControl), 1);
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        FTabList.push_back(w);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    if (!(AControl->FControlState & csReadingState)) {
        AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
        AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
        AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
        if (auto* w = dynamic_cast<TWinControl*>(AControl))
            w->UpdateControlState();
        else if (FHandle)
            AControl->Invalidate();
        AlignControl(AControl);
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end())
        return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (TCustomForm* form = GetParentForm(this))
            form->DefocusControl(w, true);
        if (w->FHandle && !(ComponentState() & csDestroying))
            w->DestroyHandle();
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    } else if (FHandle) {
        AControl->Invalidate();
    }
    if (GCaptureControl == AControl)
        GCaptureControl = nullptr;
    it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it != FControls.end())
        FControls.erase(it);
    AControl->FParent = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (!(ComponentState() & csDestroying))
        Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
    while (Control && Control != this)
        Control = Control->FParent;
    return Control != nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(c))
            continue;
        if (!c->FVisible || !(c->FEnabled || AllowDisabled))
            continue;
        if (!c->BoundsRect().Contains(Pos))
            continue;
        if (c->Perform(CM_HITTEST, 0, PointToLParam(TPoint(Pos.X - c->FLeft, Pos.Y - c->FTop))) != 0)
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    std::vector<TControl*> list = FControls;
    for (TControl* c : list) {
        if (std::find(FControls.begin(), FControls.end(), c) == FControls.end())
            continue;
        if (c->WindowProc)
            c->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage m;
    m.Msg = Msg;
    std::vector<TControl*> list = FControls;
    for (TControl* c : list)
        if (std::find(FControls.begin(), FControls.end(), c) != FControls.end())
            c->Perform(Msg, 0, 0);
}

// ---- Layout ---------------------------------------------------------------------------------------------

void TWinControl::DisableAlign() {
    ++FAlignLevel;
}

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0 && (FControlState & csAlignmentNeeded))
        Realign();
}

void TWinControl::Realign() {
    AlignControl(nullptr);
}

void TWinControl::AlignControl(TControl* AControl) {
    if ((ComponentState() & csDestroying) || FInAlign)
        return;
    if (FAlignLevel != 0 || (ComponentState() & csLoading)) {
        FControlState |= csAlignmentNeeded;
        return;
    }
    DisableAlign();
    ScopeGuard aligned([this] {
        FInAlign = false;
        FControlState &= ~csAlignmentNeeded;
        --FAlignLevel;
    });
    FInAlign = true;
    DoAlignControls(AControl);
}

void TWinControl::DoAlignControls(TControl* AControl) {
    TRect rect = ClientRect();
    AlignControls(AControl, rect);
}

void TWinControl::AdjustClientRect(TRect& Rect) const {}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    bool work = false;
    for (TControl* c : FControls)
        if (c->FAlign != alNone || c->FAnchors != (akLeft | akTop))
            work = true;
    if (!work)
        return;
    AdjustClientRect(Rect);
    auto insertBefore = [](TControl* c1, TControl* c2, TAlign a) {
        switch (a) {
        case alTop:
            return c1->FTop < c2->FTop;
        case alBottom:
            return c1->FTop + c1->FHeight >= c2->FTop + c2->FHeight;
        case alLeft:
            return c1->FLeft < c2->FLeft;
        case alRight:
            return c1->FLeft + c1->FWidth >= c2->FLeft + c2->FWidth;
        default:
            return false;
        }
    };
    TRect full = ClientRect();
    TSize parentSize(full.Width(), full.Height());
    auto doAlign = [&](TAlign a) {
        std::vector<TControl*> list;
        if (AControl && AControl->FAlign == a && (a == alNone || AControl->FVisible) &&
            std::find(FControls.begin(), FControls.end(), AControl) != FControls.end())
            list.push_back(AControl);
        for (TControl* c : FControls) {
            if (c == AControl || c->FAlign != a || (a != alNone && !c->FVisible))
                continue;
            size_t j = 0;
            while (j < list.size() && !insertBefore(c, list[j], a))
                ++j;
            list.insert(list.begin() + j, c);
        }
        for (TControl* c : list) {
            if (a == alNone) {
                c->AnchorTo(parentSize);
                continue;
            }
            int w = Rect.Width(), h = Rect.Height();
            if (w < 0 || a == alLeft || a == alRight || a == alCustom)
                w = c->FWidth;
            if (h < 0 || a == alTop || a == alBottom || a == alCustom)
                h = c->FHeight;
            int l = Rect.Left, t = Rect.Top;
            switch (a) {
            case alTop:
                Rect.Top += h;
                break;
            case alBottom:
                Rect.Bottom -= h;
                t = Rect.Bottom;
                break;
            case alLeft:
                Rect.Left += w;
                break;
            case alRight:
                Rect.Right -= w;
                l = Rect.Right;
                break;
            case alCustom:
                l = c->FLeft;
                t = c->FTop;
                CustomAlignPosition(c, l, t, w, h, Rect);
                break;
            default:
                break;
            }
            c->SetBounds(l, t, w, h);
            // A control that kept another size (constraints) takes what it took.
            if (c->FWidth != w || c->FHeight != h) {
                switch (a) {
                case alTop:
                    Rect.Top -= h - c->FHeight;
                    break;
                case alBottom:
                    Rect.Bottom += h - c->FHeight;
                    break;
                case alLeft:
                    Rect.Left -= w - c->FWidth;
                    break;
                case alRight:
                    Rect.Right += w - c->FWidth;
                    break;
                default:
                    break;
                }
            }
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone})
        doAlign(a);
}

TRect TWinControl::ClientRect() const {
    if (FHandle) {
        TRect r;
        GetClientRect(FHandle, r);
        return r;
    }
    return TRect(0, 0, std::max(0, FWidth - 2 * FBorderWidth), std::max(0, FHeight - 2 * FBorderWidth));
}

TPoint TWinControl::ClientOrigin() const {
    if (FHandle) {
        TPoint p(0, 0);
        ::plat::ClientToScreen(FHandle, p);
        return p;
    }
    if (!FParent)
        return TPoint(FLeft + FBorderWidth, FTop + FBorderWidth);
    TPoint p = FParent->ClientOrigin();
    return TPoint(p.X + FLeft + FBorderWidth, p.Y + FTop + FBorderWidth);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!AcceptBounds(ALeft, ATop, AWidth, AHeight))
        return;
    if (FHandle && !IsIconic(FHandle)) {
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        bool sized = AWidth != FWidth || AHeight != FHeight;
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
        if (FHandle)
            SetRestoredBounds(FHandle, BoundsRect());
        if (sized)
            Realign();
    }
    UpdateAnchorRules();
    RequestAlign();
}

void TWinControl::UpdateBoundsRect(const TRect& R) {
    TControl::UpdateBoundsRect(R);
}

void TWinControl::SetBorderWidth(int Value) {
    Value = std::max(0, Value);
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Realign();
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
    if (FHandle && IsWindowVisible(FHandle))
        ScrollWindow(FHandle, DeltaX, DeltaY, nullptr, nullptr);
    for (TControl* c : FControls) {
        if (dynamic_cast<TWinControl*>(c) && FHandle)
            continue; // moved with the window scroll
        c->FLeft += DeltaX;
        c->FTop += DeltaY;
    }
    for (TWinControl* w : WinControls())
        if (w->FHandle)
            w->UpdateBoundsRect(GetWindowBounds(w->FHandle));
    Realign();
}

// ---- Focus ------------------------------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    if (!form)
        return false;
    for (const TControl* c = this; c && c != form; c = c->FParent)
        if (!c->FVisible || !c->FEnabled)
            return false;
    return true;
}

bool TWinControl::Focused() const {
    return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this)) {
        form->FocusControl(this);
    } else if (FParentWindow) {
        ::plat::SetFocus(Handle());
    } else {
        ValidParentForm(this);
    }
}

int TWinControl::TabOrder() const {
    if (!FParent)
        return -1;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent)
        return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    list.erase(it);
    int count = static_cast<int>(list.size());
    if (Value < 0 || Value > count)
        Value = count;
    list.insert(list.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG_PTR style = GetWindowLongPtr(FHandle, GWL_STYLE);
        SetWindowLongPtr(FHandle, GWL_STYLE,
                         Value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int count = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == count)
                i = 0;
        } else {
            if (i == 0)
                i = count;
            --i;
        }
        TWinControl* c = list[i];
        if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectFirst() {
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return;
    TWinControl* c = FindNextControl(nullptr, true, true, false);
    if (!c)
        c = FindNextControl(nullptr, true, false, false);
    if (c)
        form->SetActiveControl(c);
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (c)
        c->SetFocus();
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::CMEnter(TMessage&) {
    DoEnter();
}

void TWinControl::CMExit(TMessage&) {
    DoExit();
}

void TWinControl::CMFocusChanged(TMessage& Message) {
    Broadcast(Message);
}

// ---- Keyboard
// ------------------------------------------------------------------------------------------------

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDownUp(TMessage& Message, bool Down) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDownUp(Message, Down))
        return true;
    if (!(FControlStyle & csNoStdEvents)) {
        uint16_t key = static_cast<uint16_t>(Message.WParam);
        TShiftState shift = KeyDataToShiftState(Message.LParam);
        if (Down)
            KeyDown(key, shift);
        else
            KeyUp(key, shift);
        Message.WParam = key;
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message))
        return true;
    if (!(FControlStyle & csNoStdEvents)) {
        char32_t ch = static_cast<char32_t>(Message.WParam);
        KeyPress(ch);
        Message.WParam = ch;
        if (ch == 0)
            return true;
    }
    return false;
}

void TWinControl::WMKeyMessage(TMessage& Message) {
    bool handled = false;
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        handled = DoKeyDownUp(Message, true);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        handled = DoKeyDownUp(Message, false);
        break;
    case WM_CHAR:
        handled = DoKeyPress(Message);
        break;
    case WM_SYSCHAR: {
        // Alt with a letter: an accelerator of the form when one matches.
        TCustomForm* form = GetParentForm(this);
        if (form && Message.WParam != VK_SPACE &&
            form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) {
            handled = true;
        }
        break;
    }
    }
    if (!handled)
        DefaultHandler(Message);
}

bool TWinControl::IsMenuKey(TMessage& Message) {
    for (TControl* c = this; c; c = c->FParent)
        if (c->Perform(CM_ISSHORTCUT, Message.WParam, Message.LParam) != 0)
            return true;
    if (Application && Application->AppKeyDown(Message.WParam, Message.LParam))
        return true;
    return false;
}

void TWinControl::CNKeyDown(TMessage& Message) {
    Message.Result = 1;
    if (IsMenuKey(Message))
        return;
    if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0)
        return;
    int mask = 0;
    switch (Message.WParam) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, Message.WParam, 0) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
        if (TCustomForm* form = GetParentForm(this);
            form && form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam))
            return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
        if (TCustomForm* form = GetParentForm(this);
            form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam))
            return;
    }
    Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& Message) {
    Message.Result = IsMenuKey(Message) ? 1 : 0;
}

void TWinControl::CNSysChar(TMessage& Message) {
    Message.Result = 0;
    if (Message.WParam != VK_SPACE) {
        if (TCustomForm* form = GetParentForm(this))
            Message.Result = form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
    }
}

void TWinControl::CMDialogKey(TMessage& Message) {
    Broadcast(Message);
}

void TWinControl::CMDialogChar(TMessage& Message) {
    Broadcast(Message);
}

// ---- Showing --------------------------------------------------------------------------------------------

void TWinControl::UpdateShowing() {
    bool show = FVisible && !(FControlState & csReadingState);
    if (show) {
        if (!FHandle)
            CreateHandle();
        for (TWinControl* w : WinControls())
            w->UpdateShowing();
    }
    if (FHandle && FShowing != show) {
        FShowing = show;
        ScopeGuard undo([this, show] { FShowing = !show; });
        Perform(CM_SHOWINGCHANGED, 0, 0);
        undo.Dismiss();
    }
}

void TWinControl::UpdateControlState() {
    TWinControl* c = this;
    while (c->FParent) {
        c = c->FParent;
        if (!c->Showing())
            return;
    }
    if (dynamic_cast<TCustomForm*>(c) || c->FParentWindow)
        UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent)
        return;
    if (FHandle && AParent && AParent->HandleAllocated() && !(ComponentState() & csDestroying)) {
        // The window moves with the control, so a capture it holds survives.
        ::plat::SetParent(FHandle, AParent->Handle());
        TControl::SetParent(AParent);
        SetWindowPos(FHandle, AParent->PrecedingWindow(this), FLeft, FTop, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    if (FHandle && !AParent && !(ComponentState() & csDestroying))
        DestroyHandle();
    TControl::SetParent(AParent);
}

void TWinControl::SetEnabled(bool Value) {
    TControl::SetEnabled(Value);
}

void TWinControl::SetText(const std::string& Value) {
    if (TControl::GetText() == Value)
        return;
    if (FHandle) {
        SetWindowText(FHandle, Value); // WM_SETTEXT keeps the control's copy
    } else {
        TControl::SetText(Value);
    }
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

// ---- Painting ----------------------------------------------------------------------------------------

void TWinControl::Invalidate() {
    if (FHandle)
        InvalidateRect(FHandle, nullptr, !(FControlStyle & csOpaque));
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::Update() {
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::SetZOrder(bool TopMost) {
    // A top-level window has no parent list; it only moves among the other windows.
    if (FParent && !MoveInParentZOrder(TopMost))
        return;
    if (FHandle)
        SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage m;
    m.Msg = WM_PAINT;
    m.WParam = reinterpret_cast<WPARAM>(DC);
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    auto it = FControls.begin();
    if (First) {
        it = std::find(FControls.begin(), FControls.end(), First);
        if (it == FControls.end())
            it = FControls.begin();
    }
    for (; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->FVisible)
            continue;
        if (!DC->RectVisible(c->BoundsRect()))
            continue;
        int saved = DC->SaveDC();
        TPoint org = DC->GetWindowOrg();
        DC->SetWindowOrgEx(org.X - c->FLeft, org.Y - c->FTop);
        DC->IntersectClipRect(0, 0, c->FWidth, c->FHeight);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        DC->RestoreDC(saved);
    }
}

void TWinControl::PaintHandler(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    TPaintStruct ps;
    bool own = dc == nullptr;
    if (own)
        dc = BeginPaint(FHandle, ps);
    if (!dc)
        return;
    // A paint that raises must still give its device context back.
    struct TEndPaint {
        HWND Wnd;
        TPaintStruct* Ps;
        ~TEndPaint() {
            if (Ps)
                EndPaint(Wnd, *Ps);
        }
    } endPaint{FHandle, own ? &ps : nullptr};
    bool hasGraphic = std::any_of(FControls.begin(), FControls.end(),
                                  [](TControl* c) { return !dynamic_cast<TWinControl*>(c); });
    if (!hasGraphic) {
        PaintWindow(dc);
    } else {
        int saved = dc->SaveDC();
        for (TControl* c : FControls) {
            if (dynamic_cast<TWinControl*>(c) || !c->FVisible || !(c->FControlStyle & csOpaque))
                continue;
            TRect r = c->BoundsRect();
            dc->ExcludeClipRect(r.Left, r.Top, r.Right, r.Bottom);
        }
        TRect box;
        if (dc->GetClipBox(box) != NULLREGION)
            PaintWindow(dc);
        dc->RestoreDC(saved);
        PaintControls(dc, nullptr);
    }
}

void TWinControl::WMPaint(TMessage& Message) {
    bool hasGraphic = std::any_of(FControls.begin(), FControls.end(),
                                  [](TControl* c) { return !dynamic_cast<TWinControl*>(c); });
    if (!(FControlState & csCustomPaint) && !hasGraphic && Message.WParam == 0)
        DefaultHandler(Message);
    else
        PaintHandler(Message);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    if (ParentBackground() && FParent) {
        DrawParentBackground(this, dc, nullptr);
        Message.Result = 1;
        return;
    }
    TRect r = ClientRect();
    dc->FillRect(r, FBrush->Handle());
    Message.Result = 1;
}

void TWinControl::WMSetCursor(TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) == FHandle &&
        static_cast<int16_t>(LOWORD(Message.LParam)) == HTCLIENT) {
        TCursor cursor = Screen ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
            TPoint p;
            GetCursorPos(p);
            if (TControl* c = ControlAtPos(ScreenToClient(p), false))
                cursor = c->Cursor();
            if (cursor == crDefault)
                cursor = Cursor();
        }
        if (cursor != crDefault && Screen) {
            ::plat::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message) {
    if (FHandle) {
        TRect b = IsIconic(FHandle) ? TRect() : GetWindowBounds(FHandle);
        if (!IsIconic(FHandle))
            UpdateBoundsRect(b);
    }
    DefaultHandler(Message);
    // Every size message realigns, even one that leaves the client as it was: children added or
    // re-anchored since the last alignment are placed by it.
    Realign();
    if (!(ComponentState() & csLoading))
        Resize();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
    if (FHandle && !IsIconic(FHandle))
        UpdateBoundsRect(GetWindowBounds(FHandle));
    DefaultHandler(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
    TControl* control = nullptr;
    if (GetCapture() == FHandle) {
        if (GCaptureControl && GCaptureControl->FParent == this)
            control = GCaptureControl;
    } else {
        control = ControlAtPos(PointFromLParam(Message.LParam), false);
    }
    if (!control)
        return false;
    TPoint p = PointFromLParam(Message.LParam);
    p.X -= control->FLeft;
    p.Y -= control->FTop;
    Message.Result = control->Perform(Message.Msg, Message.WParam, PointToLParam(p));
    return true;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS: {
        TCustomForm* form = GetParentForm(this);
        if (form && !form->SetFocusedControl(this))
            return;
        break;
    }
    case WM_KILLFOCUS:
        if (FControlState & csFocusing)
            return;
        break;
    case WM_NCHITTEST: {
        TControl::WndProc(Message);
        if (Message.Result == HTTRANSPARENT && FHandle) {
            TPoint p = PointFromLParam(Message.LParam);
            ::plat::ScreenToClient(FHandle, p);
            if (ControlAtPos(p, false))
                Message.Result = HTCLIENT;
        }
        return;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        break;
    default:
        if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
            if (IsControlMouseMsg(Message)) {
                if (Message.Result == 0 && FHandle)
                    DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
                return;
            }
        } else if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
            if (GDrag.Active)
                return;
        } else if (Message.Msg == WM_CANCELMODE) {
            if (GetCapture() == FHandle && GCaptureControl && GCaptureControl->FParent == this)
                GCaptureControl->Perform(WM_CANCELMODE, 0, 0);
        }
        break;
    }
    if (Message.Msg == WM_MOUSEWHEEL && FHandle) {
        // The wheel reaches the graphic control under the pointer first.
        TPoint p = PointFromLParam(Message.LParam);
        ::plat::ScreenToClient(FHandle, p);
        if (TControl* c = ControlAtPos(p, false)) {
            TShiftState shift = KeysToShiftState(LOWORD(Message.WParam));
            Message.Result =
                c->Perform(CM_MOUSEWHEEL, MAKEWPARAM(shift, HIWORD(Message.WParam)), Message.LParam);
            if (Message.Result)
                return;
        }
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        break;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        break;
    case WM_PRINTCLIENT:
        // Only the control itself: its graphic children may be the ones asking (parent backgrounds).
        if (HDC dc = reinterpret_cast<HDC>(Message.WParam)) {
            if (Message.LParam & PRF_ERASEBKGND)
                Perform(WM_ERASEBKGND, Message.WParam, 0);
            if (Message.LParam & PRF_CLIENT)
                PaintWindow(dc);
        }
        break;
    case WM_NCCALCSIZE:
        DefaultHandler(Message);
        if (FBorderWidth > 0) {
            auto* params = reinterpret_cast<TNCCalcSizeParams*>(Message.LParam);
            InflateRect(params->rgrc[0], -FBorderWidth, -FBorderWidth);
        }
        break;
    case WM_NCPAINT:
        DefaultHandler(Message);
        if (FBorderWidth > 0 && FHandle) {
            HDC dc = GetWindowDC(FHandle);
            TRect inner = GetClientInWindow(FHandle);
            TRect outer = inner;
            InflateRect(outer, FBorderWidth, FBorderWidth);
            dc->SaveDC();
            dc->ExcludeClipRect(inner.Left, inner.Top, inner.Right, inner.Bottom);
            dc->FillRect(outer, FBrush->Handle());
            dc->RestoreDC(-1);
            ReleaseDC(FHandle, dc);
        }
        break;
    case WM_SETCURSOR:
        WMSetCursor(Message);
        break;
    case WM_SIZE:
        WMSize(Message);
        break;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(Message);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        WMKeyMessage(Message);
        break;
    case CN_KEYDOWN:
        CNKeyDown(Message);
        break;
    case CN_CHAR:
        CNChar(Message);
        break;
    case CN_SYSKEYDOWN:
        CNSysKeyDown(Message);
        break;
    case CN_SYSCHAR:
        CNSysChar(Message);
        break;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        break;
    case CM_DIALOGCHAR:
        CMDialogChar(Message);
        break;
    case CM_FOCUSCHANGED:
        CMFocusChanged(Message);
        break;
    case CM_SHOWINGCHANGED:
        CMShowingChanged(Message);
        break;
    case CM_ENTER:
        CMEnter(Message);
        break;
    case CM_EXIT:
        CMExit(Message);
        break;
    case CM_CHILDKEY:
        if (FParent)
            FParent->WindowProc(Message);
        break;
    case CM_VISIBLECHANGED:
        if (!FVisible && FParent) {
            if (TCustomForm* form = GetParentForm(this))
                form->DefocusControl(this, false);
        }
        UpdateControlState();
        break;
    case CM_ENABLEDCHANGED:
        if (!FEnabled && FParent) {
            if (TCustomForm* form = GetParentForm(this))
                form->DefocusControl(this, false);
        }
        if (FHandle)
            EnableWindow(FHandle, FEnabled);
        TControl::Dispatch(Message);
        break;
    case CM_COLORCHANGED:
        FBrush->SetColor(FColor);
        NotifyControls(CM_PARENTCOLORCHANGED);
        TControl::Dispatch(Message);
        break;
    case CM_FONTCHANGED:
        NotifyControls(CM_PARENTFONTCHANGED);
        TControl::Dispatch(Message);
        break;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        break;
    case CM_PARENTSHOWHINTCHANGED: {
        bool before = ShowHint();
        TControl::Dispatch(Message);
        if (ShowHint() != before)
            NotifyControls(CM_PARENTSHOWHINTCHANGED);
        break;
    }
    case CM_SYSCOLORCHANGE:
    case CM_SYSFONTCHANGED:
        NotifyControls(Message.Msg);
        break;
    case WM_SYSCOLORCHANGE:
        NotifyControls(CM_SYSCOLORCHANGE);
        DefaultHandler(Message);
        break;
    case CM_RECREATEWND:
        if (FHandle) {
            bool focused = Focused();
            DestroyHandle();
            UpdateControlState();
            if (focused && FHandle)
                ::plat::SetFocus(FHandle);
        }
        break;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        TControl::FText = text ? text : "";
        DefaultHandler(Message);
        Perform(CM_TEXTCHANGED, 0, 0);
        break;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (FHandle)
            DefaultHandler(Message);
        else
            TControl::DefaultHandler(Message);
        break;
    case WM_NCDESTROY:
        DefaultHandler(Message);
        FHandle = nullptr;
        FShowing = false;
        break;
    default:
        TControl::Dispatch(Message);
        break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (FHandle) {
        Message.Result = CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TControl::DefaultHandler(Message);
}

void TWinControl::MainWndProc(TMessage& Message) {
    try {
        if (WindowProc)
            WindowProc(Message);
        else
            WndProc(Message);
    } catch (...) {
        if (Application)
            Application->HandleException(this);
        else
            throw;
    }
}

// ---- TGraphicControl and TCustomControl ------------------------------------------------------------------

PLAT_CLASS_INFO(TGraphicControl, TControl)

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    FCanvas = std::make_unique<TControlCanvas>();
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
    FCanvas.reset();
}

TCanvas* TGraphicControl::Canvas() const {
    return FCanvas.get();
}

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        if (Message.WParam && !(ComponentState() & csDestroying)) {
            TCanvasPaintScope scope(*FCanvas, reinterpret_cast<HDC>(Message.WParam));
            Paint();
        }
        return;
    }
    TControl::Dispatch(Message);
}

PLAT_CLASS_INFO(TCustomControl, TWinControl)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    FCanvas = std::make_unique<TControlCanvas>();
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
    if (FCanvas)
        FCanvas->FreeHandle();
    TCustomControl::BeforeDestruction();
    FCanvas.reset();
}

TCanvas* TCustomControl::Canvas() const {
    return FCanvas.get();
}

void TCustomControl::Paint() {}

void TCustomControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        TemporaryFlags painting(FControlState, csCustomPaint);
        TWinControl::Dispatch(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
    TCanvasPaintScope scope(*FCanvas, DC);
    Paint();
}

// ---- TControlCanvas ---------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TControlCanvas, TCanvas)

namespace {
std::vector<TControlCanvas*>& CanvasList() {
    static std::vector<TControlCanvas*> list;
    return list;
}
} // namespace

TControlCanvas::~TControlCanvas() {
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value) {
    if (FControl == Value)
        return;
    FreeHandle();
    FControl = Value;
}

void TControlCanvas::CreateHandle() {
    if (!FControl)
        return;
    if (FDeviceContext) {
        // Kept from before a paint that lent the canvas its own context and took it back.
        SetHandle(FDeviceContext);
        return;
    }
    if (auto* w = dynamic_cast<TWinControl*>(FControl)) {
        FWindowHandle = w->Handle();
        FDeviceContext = GetDC(FWindowHandle);
    } else {
        TWinControl* parent = FControl->Parent();
        if (!parent)
            return;
        FWindowHandle = parent->Handle();
        FDeviceContext = GetDC(FWindowHandle);
        FDeviceContext->SetWindowOrgEx(-FControl->Left(), -FControl->Top());
        FDeviceContext->IntersectClipRect(0, 0, FControl->Width(), FControl->Height());
    }
    CanvasList().push_back(this);
    SetHandle(FDeviceContext);
}

void TControlCanvas::FreeHandle() {
    if (!FDeviceContext)
        return;
    if (FHandle == FDeviceContext)
        SetHandle(nullptr);
    ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
    auto& list = CanvasList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::FreeDeviceContexts() {
    std::vector<TControlCanvas*> list = CanvasList();
    for (TControlCanvas* c : list)
        if (c->TryLock()) {
            c->FreeHandle();
            c->Unlock();
        }
}

} // namespace plat
