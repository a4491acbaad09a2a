// The scroll bar control: a bar with two arrow buttons and a thumb that picks a position in a range;
// arrows and track clicks repeat while the button is held, the thumb follows a drag.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/Control.h"
#include "platform/ui/ScrollingWinControl.h" // TScrollBarKind
#include "platform/ui/Timer.h"

namespace plat {

enum TScrollCode {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TCustomControl {
    PLAT_CLASS(TScrollBar)
public:
    explicit TScrollBar(TComponent* AOwner);
    ~TScrollBar() override;

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    // Sets position and range at once; the position is kept within the range (less the page).
    void SetParams(int APosition, int AMin, int AMax);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    // The parts in client coordinates (for painting and tests).
    TRect ArrowRect(bool Forward) const;
    TRect ThumbRect() const;
    TRect TrackRect() const;

protected:
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    void Paint() override;
    virtual void PaintArrow(TCanvas& Canvas, const TRect& Rect, bool Forward, bool Pressed);
    virtual void PaintTrack(TCanvas& Canvas, const TRect& Rect, bool Pressed);
    virtual void PaintThumb(TCanvas& Canvas, const TRect& Rect);
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;

private:
    enum THitPart { hpNone, hpBackArrow, hpForwardArrow, hpBackTrack, hpForwardTrack, hpThumb };
    THitPart HitTest(TPoint P) const;
    void DoScroll(TScrollCode Code);
    void RepeatStep(TObject*);
    int MaxPosition() const;
    int Along(TPoint P) const { return FKind == sbVertical ? P.Y : P.X; }

    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
    int FSmallChange = 1, FLargeChange = 1;
    THitPart FPressed = hpNone;
    int FDragOffset = 0;
    int FDragPos = 0;
    TPoint FMousePos;
    TTimer* FRepeat = nullptr;
};

} // namespace plat
