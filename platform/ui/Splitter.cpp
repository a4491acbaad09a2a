#include "platform/ui/Splitter.h"

#include <algorithm>

#include "platform/rtl/PropertyInfo.h"

namespace plat {

namespace {
const char* const kResizeStyleNames[] = {"rsNone", "rsLine", "rsUpdate", "rsPattern"};
static_assert(std::size(kResizeStyleNames) == rsPattern + 1);
} // namespace

PLAT_CLASS_INFO_CREATABLE(TSplitter, TGraphicControl)

PLAT_PROPERTIES(TSplitter) {
    props.Integer("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize, 30);
    props.Enum("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle, kResizeStyleNames,
               rsPattern);
    props.Boolean("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap, true);
    props.Event("OnMoved", &TSplitter::OnMoved);
    props.Event("OnCanResize", &TSplitter::OnCanResize);
    props.Default("Align", static_cast<int>(alLeft));
    props.Default("Width", 3);
}

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
    SetParentColor(true);
}

void TSplitter::RequestAlign() {
    TGraphicControl::RequestAlign();
    SetCursor(Horizontal() ? crVSplit : crHSplit);
}

TControl* TSplitter::FindControl() const {
    TWinControl* parent = Parent();
    if (!parent || Align() == alNone || Align() == alClient || Align() == alCustom)
        return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align())
            continue;
        bool touches = false;
        switch (Align()) {
        case alLeft:
            touches = c->Left() + c->Width() == Left();
            break;
        case alRight:
            touches = c->Left() == Left() + Width();
            break;
        case alTop:
            touches = c->Top() + c->Height() == Top();
            break;
        case alBottom:
            touches = c->Top() == Top() + Height();
            break;
        default:
            break;
        }
        if (touches)
            return c;
    }
    return nullptr;
}

int TSplitter::Clamp(int NewSize) const {
    return std::clamp(NewSize, FMinSize, std::max(FMinSize, FMaxSize));
}

bool TSplitter::CanResize(int& NewSize) {
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, NewSize, accept);
    return accept;
}

void TSplitter::ApplySize(int NewSize) {
    if (!FControl || NewSize == SizeOf(FControl))
        return;
    if (Horizontal())
        FControl->SetHeight(NewSize);
    else
        FControl->SetWidth(NewSize);
    if (TWinControl* parent = Parent())
        parent->Realign();
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FControl = FindControl();
    if (!FControl)
        return;
    FDownPos = ClientToParent(TPoint(X, Y));
    FStartSize = FNewSize = SizeOf(FControl);
    // The room: the splitter may move until the rest of the parent's side is MinSize wide.
    TWinControl* parent = Parent();
    TRect area = parent->ClientRect();
    parent->AdjustClientRect(area);
    int far = Horizontal() ? area.Bottom : area.Right;
    int nearEdge = Horizontal() ? area.Top : area.Left;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible() || c == this || c == FControl)
            continue;
        switch (Align()) {
        case alLeft:
            if (c->Align() == alRight)
                far = std::min(far, c->Left());
            break;
        case alRight:
            if (c->Align() == alLeft)
                nearEdge = std::max(nearEdge, c->Left() + c->Width());
            break;
        case alTop:
            if (c->Align() == alBottom)
                far = std::min(far, c->Top());
            break;
        case alBottom:
            if (c->Align() == alTop)
                nearEdge = std::max(nearEdge, c->Top() + c->Height());
            break;
        default:
            break;
        }
    }
    int room = (Align() == alLeft)    ? far - (Left() + Width())
               : (Align() == alTop)   ? far - (Top() + Height())
               : (Align() == alRight) ? Left() - nearEdge
                                      : Top() - nearEdge;
    FMaxSize = FStartSize + room - FMinSize;
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FControl || !(Shift & ssLeft))
        return;
    TPoint p = ClientToParent(TPoint(X, Y));
    int delta = Horizontal() ? p.Y - FDownPos.Y : p.X - FDownPos.X;
    if (Align() == alRight || Align() == alBottom)
        delta = -delta;
    int size = Clamp(FStartSize + delta);
    if (!CanResize(size))
        return;
    FNewSize = size;
    if (FResizeStyle == rsUpdate)
        ApplySize(FNewSize);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FControl)
        return;
    ApplySize(FNewSize);
    FControl = nullptr;
}

void TSplitter::Paint() {
    TCanvas& c = *Canvas();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(ClientRect());
}

} // namespace plat
