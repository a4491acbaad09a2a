// A windowed control whose children can lie beyond its client area: it shows its window's scroll bars
// for the extent of its children (AutoScroll) and moves them when the bars move. Scroll boxes and forms
// build on it.
#pragma once

#include <memory>

#include "platform/ui/Control.h"

namespace plat {

class TScrollingWinControl;

enum TScrollBarKind { sbHorizontal, sbVertical };

// One of the two scroll bars of a TScrollingWinControl: the extent it scrolls (Range, in pixels) and
// where it is (Position, 0 .. Range - client extent).
class TControlScrollBar : public TPersistent {
    PLAT_CLASS(TControlScrollBar)
public:
    TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind);

    TScrollBarKind Kind() const { return FKind; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value > 0 ? Value : 1; }
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Range() const { return FRange; }
    void SetRange(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Whether a thumb drag scrolls at once (true) or only when the thumb is released.
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value) { FTracking = Value; }
    // The position when the bar shows, 0 otherwise.
    int ScrollPos() const { return IsScrollBarVisible() ? FPosition : 0; }
    bool IsScrollBarVisible() const;
    void Assign(TPersistent* Source) override;

private:
    friend class TScrollingWinControl;
    int ControlExtent() const;
    void Update();
    void ScrollMessage(TMessage& Message);
    void SetAutoRange(int Value);

    TScrollingWinControl* FControl;
    TScrollBarKind FKind;
    int FIncrement = 8;
    int FMargin = 0;
    int FPosition = 0;
    int FRange = 0;
    bool FVisible = true;
    bool FTracking = false;
};

class TScrollingWinControl : public TWinControl {
    PLAT_CLASS(TScrollingWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(TControlScrollBar* Value) { FHorzScrollBar->Assign(Value); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(TControlScrollBar* Value) { FVertScrollBar->Assign(Value); }

    // Scrolls so that the child is wholly visible (its top-left corner when it is larger).
    void ScrollInView(TControl* AControl);
    // While disabled, the ranges do not follow the children (pairs nest).
    void DisableAutoRange();
    void EnableAutoRange();
    // Shows, hides and positions the window's scroll bars after the ranges or the size changed.
    void UpdateScrollBars();
    void AdjustClientRect(TRect& Rect) const override;

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    virtual bool AutoScrollEnabled() const { return true; }
    // Sets the ranges from the extent of the children (AutoScroll).
    void CalcAutoRange();

private:
    friend class TControlScrollBar;
    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
    bool FAutoScroll = true;
    int FAutoRangeCount = 0;
    bool FUpdatingScrollBars = false;
};

} // namespace plat
