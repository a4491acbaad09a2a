// Scrolling of a control's children with its window's scroll bars.
#include "platform/ui/ScrollingWinControl.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

PLAT_CLASS_INFO(TControlScrollBar, TPersistent)
PLAT_CLASS_INFO(TScrollingWinControl, TWinControl)

// ---- TControlScrollBar ------------------------------------------------------------------------------------

TControlScrollBar::TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind)
    : FControl(Control), FKind(Kind) {}

int TControlScrollBar::ControlExtent() const {
    TRect r = FControl->ClientRect();
    return FKind == sbHorizontal ? r.Width() : r.Height();
}

bool TControlScrollBar::IsScrollBarVisible() const {
    return FVisible && FRange > ControlExtent();
}

void TControlScrollBar::SetMargin(int Value) {
    if (FMargin == Value)
        return;
    FMargin = std::max(0, Value);
    FControl->Realign();
}

void TControlScrollBar::SetRange(int Value) {
    // A range set by hand replaces the automatic one.
    FControl->FAutoScroll = false;
    SetAutoRange(std::max(0, Value));
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetAutoRange(int Value) {
    FRange = std::max(0, Value);
}

void TControlScrollBar::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    FVisible = Value;
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value) {
    int limit = IsScrollBarVisible() ? FRange - ControlExtent() : 0;
    Value = std::clamp(Value, 0, std::max(0, limit));
    if (Value == FPosition)
        return;
    int delta = FPosition - Value;
    FPosition = Value;
    if (FKind == sbHorizontal)
        FControl->ScrollBy(delta, 0);
    else
        FControl->ScrollBy(0, delta);
    if (FControl->HandleAllocated())
        SetScrollPos(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, FPosition, true);
}

void TControlScrollBar::Update() {
    if (!FControl->HandleAllocated())
        return;
    int extent = ControlExtent();
    bool show = FVisible && FRange > extent;
    int limit = show ? FRange - extent : 0;
    if (FPosition > limit) {
        int delta = FPosition - limit;
        FPosition = limit;
        if (FKind == sbHorizontal)
            FControl->ScrollBy(delta, 0);
        else
            FControl->ScrollBy(0, delta);
    }
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = show ? FRange - 1 : 0;
    info.nPage = show ? static_cast<uint32_t>(extent) : 0;
    info.nPos = FPosition;
    SetScrollInfo(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, info, true);
}

void TControlScrollBar::ScrollMessage(TMessage& Message) {
    int extent = std::max(ControlExtent(), 1);
    auto trackPos = [&] {
        TScrollInfo info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, info);
        return info.nTrackPos;
    };
    switch (Message.WParamLo()) {
    case SB_LINEUP:
        SetPosition(FPosition - FIncrement);
        break;
    case SB_LINEDOWN:
        SetPosition(FPosition + FIncrement);
        break;
    case SB_PAGEUP:
        SetPosition(FPosition - extent);
        break;
    case SB_PAGEDOWN:
        SetPosition(FPosition + extent);
        break;
    case SB_THUMBPOSITION:
        SetPosition(trackPos());
        break;
    case SB_THUMBTRACK:
        if (FTracking)
            SetPosition(trackPos());
        break;
    case SB_TOP:
        SetPosition(0);
        break;
    case SB_BOTTOM:
        SetPosition(FRange);
        break;
    default:
        break;
    }
    Message.Result = 0;
}

void TControlScrollBar::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TControlScrollBar*>(Source)) {
        FIncrement = s->FIncrement;
        FMargin = s->FMargin;
        FTracking = s->FTracking;
        FVisible = s->FVisible;
        SetAutoRange(s->FRange);
        FControl->UpdateScrollBars();
        SetPosition(s->FPosition);
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TScrollingWinControl ---------------------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner), FHorzScrollBar(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
    if (FAutoScroll == Value)
        return;
    FAutoScroll = Value;
    if (Value) {
        CalcAutoRange();
    } else {
        FHorzScrollBar->SetAutoRange(0);
        FVertScrollBar->SetAutoRange(0);
        UpdateScrollBars();
    }
}

void TScrollingWinControl::DisableAutoRange() {
    ++FAutoRangeCount;
}

void TScrollingWinControl::EnableAutoRange() {
    if (FAutoRangeCount > 0 && --FAutoRangeCount == 0)
        CalcAutoRange();
}

void TScrollingWinControl::AdjustClientRect(TRect& Rect) const {
    TWinControl::AdjustClientRect(Rect);
    // Aligned children are laid out in the scrolled area, so they move with it.
    OffsetRect(Rect, -FHorzScrollBar->ScrollPos(), -FVertScrollBar->ScrollPos());
}

void TScrollingWinControl::CalcAutoRange() {
    if (FAutoRangeCount > 0 || (ComponentState() & csDestroying))
        return;
    if (FAutoScroll && AutoScrollEnabled()) {
        int horz = 0, vert = 0;
        int hpos = FHorzScrollBar->ScrollPos(), vpos = FVertScrollBar->ScrollPos();
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (!c->Visible())
                continue;
            // Children stretched along a side follow the client size and so give no extent that way.
            if (c->Align() == alNone || c->Align() == alLeft)
                horz = std::max(horz, c->Left() + c->Width() + hpos);
            if (c->Align() == alNone || c->Align() == alTop)
                vert = std::max(vert, c->Top() + c->Height() + vpos);
        }
        FHorzScrollBar->SetAutoRange(horz > 0 ? horz + FHorzScrollBar->Margin() : 0);
        FVertScrollBar->SetAutoRange(vert > 0 ? vert + FVertScrollBar->Margin() : 0);
    }
    UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
    if (FUpdatingScrollBars || !HandleAllocated() || (ComponentState() & csDestroying))
        return;
    TemporaryChange updating(FUpdatingScrollBars, true);
    // Twice: showing one bar narrows the other's extent and may make it needed.
    for (int round = 0; round < 2; ++round) {
        FHorzScrollBar->Update();
        FVertScrollBar->Update();
    }
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
    if (!AControl || !ContainsControl(AControl))
        return;
    TRect r = AControl->BoundsRect();
    if (AControl->Parent() != this) {
        TPoint p = AControl->Parent()->ClientToParent(TPoint(0, 0), this);
        OffsetRect(r, p.X, p.Y);
    }
    TRect client = ClientRect();
    auto bring = [](TControlScrollBar* bar, int start, int end, int extent) {
        if (start < 0)
            bar->SetPosition(bar->Position() + start);
        else if (end > extent)
            bar->SetPosition(bar->Position() + std::min(start, end - extent));
    };
    bring(FHorzScrollBar.get(), r.Left, r.Right, client.Width());
    bring(FVertScrollBar.get(), r.Top, r.Bottom, client.Height());
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    CalcAutoRange();
}

void TScrollingWinControl::CreateWnd() {
    TWinControl::CreateWnd();
    CalcAutoRange();
}

void TScrollingWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_HSCROLL:
        if (Message.LParam == 0) {
            FHorzScrollBar->ScrollMessage(Message);
            return;
        }
        break;
    case WM_VSCROLL:
        if (Message.LParam == 0) {
            FVertScrollBar->ScrollMessage(Message);
            return;
        }
        break;
    case WM_SIZE:
        TWinControl::Dispatch(Message);
        CalcAutoRange();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

} // namespace plat
