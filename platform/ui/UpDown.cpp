#include "platform/ui/UpDown.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Timer.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TUpDown, TCustomControl)

namespace {
const char* const kAlignButtonNames[] = {"udLeft", "udRight"};
static_assert(std::size(kAlignButtonNames) == udRight + 1);
const char* const kOrientationNames[] = {"udHorizontal", "udVertical"};
static_assert(std::size(kOrientationNames) == udVertical + 1);
constexpr uint32_t kFirstRepeatDelay = 400;
constexpr uint32_t kRepeatInterval = 100;
int Clamp16(int v) {
    return std::clamp(v, -32768, 32767);
}
struct TRegistrar {
    TRegistrar() { RegisterClass(TUpDown::StaticClass()); }
} registrar;
} // namespace

PLAT_PROPERTIES(TUpDown) {
    props.Component("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
    props.Enum("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton, kAlignButtonNames, udRight);
    props.Integer("Min", &TUpDown::Min, &TUpDown::SetMin, 0);
    props.Integer("Max", &TUpDown::Max, &TUpDown::SetMax, 100);
    props.Integer("Increment", &TUpDown::Increment, &TUpDown::SetIncrement, 1);
    props.Integer("Position", &TUpDown::Position, &TUpDown::SetPosition, 0);
    props.Boolean("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap, false);
    props.Boolean("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys, true);
    props.Boolean("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands, true);
    props.Enum("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation, kOrientationNames, udVertical);
    props.Event("OnClick", &TUpDown::OnClick);
    props.Event("OnChanging", &TUpDown::OnChanging);
    props.Event("OnChangingEx", &TUpDown::OnChangingEx);
}

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 17, 21);
    FColor = clBtnFace;
    FControlStyle = csCaptureMouse | csSetCaption | csOpaque;
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = [this](TObject* s) { RepeatTimer(s); };
}

TUpDown::~TUpDown() {
    UnhookAssociate();
}

void TUpDown::SetMin(int Value) {
    FMin = Clamp16(Value);
    if (FPosition < std::min(FMin, FMax))
        FPosition = std::min(FMin, FMax);
}

void TUpDown::SetMax(int Value) {
    FMax = Clamp16(Value);
    if (FPosition > std::max(FMin, FMax))
        FPosition = std::max(FMin, FMax);
}

int TUpDown::Position() {
    // A number typed into the associate counts as the position (separators of thousands allowed).
    if (FAssociate && !(ComponentState() & csLoading)) {
        std::string text = FAssociate->Text();
        std::string digits;
        char sep = FormatSettings().ThousandSeparator;
        for (char ch : Trim(text))
            if (ch != sep)
                digits += ch;
        int v;
        if (TryStrToInt(digits, v))
            FPosition = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
    }
    return FPosition;
}

void TUpDown::SetPosition(int Value) {
    FPosition = std::clamp(Clamp16(Value), std::min(FMin, FMax), std::max(FMin, FMax));
    UpdateAssociateText();
}

void TUpDown::SetThousands(bool Value) {
    FThousands = Value;
    UpdateAssociateText();
}

void TUpDown::SetArrowKeys(bool Value) {
    FArrowKeys = Value;
}

void TUpDown::SetOrientation(TUDOrientation Value) {
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    if (!(ComponentState() & csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TUpDown::SetAlignButton(TUDAlignButton Value) {
    FAlignButton = Value;
    PlaceBesideAssociate();
}

void TUpDown::UpdateAssociateText() {
    if (!FAssociate || (ComponentState() & csLoading))
        return;
    std::string text = FThousands ? FormatFloat("#,##0", FPosition) : IntToStr(FPosition);
    if (FAssociate->Text() != text)
        FAssociate->SetTextProp(text);
}

void TUpDown::PlaceBesideAssociate() {
    if (!FAssociate || (ComponentState() & csLoading))
        return;
    if (FAssociate->Parent() && Parent() != FAssociate->Parent())
        SetParent(FAssociate->Parent());
    int w = Width();
    TRect a = FAssociate->BoundsRect();
    if (FAlignButton == udRight)
        SetBounds(a.Right, a.Top, w, a.Height());
    else
        SetBounds(a.Left - w, a.Top, w, a.Height());
}

void TUpDown::HookAssociate() {
    if (!FAssociate)
        return;
    FAssociateProc = FAssociate->WindowProc;
    FAssociate->WindowProc = [this](TMessage& m) {
        if (FArrowKeys && m.Msg == WM_KEYDOWN && (m.WParam == VK_UP || m.WParam == VK_DOWN)) {
            Step(m.WParam == VK_UP ? btNext : btPrev);
            m.Result = 0;
            return;
        }
        TWndMethod saved = FAssociateProc;
        saved(m);
    };
}

void TUpDown::UnhookAssociate() {
    if (FAssociate && FAssociateProc) {
        FAssociate->WindowProc = FAssociateProc;
        FAssociateProc = nullptr;
    }
}

void TUpDown::SetAssociate(TWinControl* Value) {
    if (Value == FAssociate)
        return;
    UnhookAssociate();
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = Value;
    if (!FAssociate)
        return;
    FAssociate->FreeNotification(this);
    HookAssociate();
    PlaceBesideAssociate();
    UpdateAssociateText();
}

void TUpDown::Loaded() {
    TCustomControl::Loaded();
    PlaceBesideAssociate();
    UpdateAssociateText();
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) {
        // The associate is going away: its procedure is left to it.
        FAssociateProc = nullptr;
        FAssociate = nullptr;
    }
}

bool TUpDown::CanChange(int16_t NewValue, TUpDownDirection Direction) {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (OnChangingEx)
        OnChangingEx(this, allow, NewValue, Direction);
    return allow;
}

void TUpDown::DoClick(TUDBtnType Button) {
    if (OnClick)
        OnClick(this, Button);
}

void TUpDown::Step(TUDBtnType Button) {
    int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    int cur = Position();
    // With Min above Max the arrows run the other way.
    int delta = (Button == btNext ? FIncrement : -FIncrement) * (FMin > FMax ? -1 : 1);
    int next = cur + delta;
    if (next > hi)
        next = FWrap ? lo : hi;
    else if (next < lo)
        next = FWrap ? hi : lo;
    if (next != cur) {
        if (!CanChange(static_cast<int16_t>(next), Button == btNext ? updUp : updDown))
            return;
        FPosition = next;
        UpdateAssociateText();
    }
    DoClick(Button);
}

TRect TUpDown::ButtonRect(TUDBtnType Button) const {
    TRect c = ClientRect();
    if (FOrientation == udVertical) {
        int mid = c.Height() / 2;
        return Button == btNext ? TRect(0, 0, c.Right, mid) : TRect(0, mid, c.Right, c.Bottom);
    }
    int mid = c.Width() / 2;
    return Button == btNext ? TRect(mid, 0, c.Right, c.Bottom) : TRect(0, 0, mid, c.Bottom);
}

void TUpDown::PaintButton(TCanvas& Canvas, TRect Rect, TUDBtnType Button, bool Pressed) {
    uint32_t part = FOrientation == udVertical ? (Button == btNext ? DFCS_SCROLLUP : DFCS_SCROLLDOWN)
                                               : (Button == btNext ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT);
    uint32_t state = part | (Pressed ? uint32_t{DFCS_PUSHED} : 0) | (Enabled() ? 0 : uint32_t{DFCS_INACTIVE});
    DrawFrameControl(*Canvas.Handle(), Rect, DFC_SCROLL, state);
}

void TUpDown::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    PaintButton(*c, ButtonRect(btNext), btNext, FPressed == btNext);
    PaintButton(*c, ButtonRect(btPrev), btPrev, FPressed == btPrev);
}

void TUpDown::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_ENABLEDCHANGED)
        Invalidate();
    TCustomControl::Dispatch(Message);
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    TUDBtnType b = ButtonRect(btNext).Contains(TPoint(X, Y)) ? btNext : btPrev;
    if (FAssociate && FAssociate->CanFocus() && !FAssociate->Focused())
        FAssociate->SetFocus();
    FPressed = b;
    Invalidate();
    Step(b);
    FTimer->SetInterval(kFirstRepeatDelay);
    FTimer->SetEnabled(true);
}

void TUpDown::RepeatTimer(TObject*) {
    if (FPressed < 0) {
        FTimer->SetEnabled(false);
        return;
    }
    if (FTimer->Interval() != kRepeatInterval)
        FTimer->SetInterval(kRepeatInterval);
    // Only while the pointer stays over the held button.
    TPoint p = ScreenToClient(Mouse->CursorPos());
    if (ButtonRect(static_cast<TUDBtnType>(FPressed)).Contains(p))
        Step(static_cast<TUDBtnType>(FPressed));
}

void TUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FTimer->SetEnabled(false);
    if (FPressed >= 0) {
        FPressed = -1;
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

} // namespace plat
