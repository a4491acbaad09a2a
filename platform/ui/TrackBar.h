// The track bar (slider): a thumb moved along a channel over Min..Max by mouse and keys, with tick
// marks, a selection range and OnChange on every change of the position.
#pragma once

#include <iterator>

#include "platform/ui/Control.h"

namespace plat {

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };
// Identifiers as layouts write them; other sliders publish the same enumerations.
inline constexpr const char* kTrackBarOrientationNames[] = {"trHorizontal", "trVertical"};
static_assert(std::size(kTrackBarOrientationNames) == trVertical + 1);
inline constexpr const char* kTickMarkNames[] = {"tmBottomRight", "tmTopLeft", "tmBoth"};
static_assert(std::size(kTickMarkNames) == tmBoth + 1);
inline constexpr const char* kTickStyleNames[] = {"tsNone", "tsAuto", "tsManual"};
static_assert(std::size(kTickStyleNames) == tsManual + 1);

class TTrackBar : public TCustomControl {
    PLAT_CLASS(TTrackBar)
public:
    explicit TTrackBar(TComponent* AOwner);

    int Min() const { return FMin; }
    // Raises (lowers) the position to the new limit through SetPosition, which fires OnChange.
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    // Clamps to Min..Max; fires OnChange when the position changed.
    void SetPosition(int Value);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int LineSize() const { return FLineSize; }
    void SetLineSize(int Value) { FLineSize = Value; }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value) { FPageSize = Value; }
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark Value);
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle Value);
    int SelStart() const { return FSelStart; }
    void SetSelStart(int Value);
    int SelEnd() const { return FSelEnd; }
    void SetSelEnd(int Value);
    bool SliderVisible() const { return FSliderVisible; }
    void SetSliderVisible(bool Value);
    int ThumbLength() const { return FThumbLength; }
    void SetThumbLength(int Value);
    // Ticks of tsManual besides the ends.
    void SetTick(int Value);
    void ClearTicks();

    TNotifyEvent OnChange;

    // Geometry in client coordinates.
    TRect ChannelRect() const;
    TRect ThumbRect() const;
    // Pixel along the channel of a value, and the value nearest a pixel.
    int ValueToPixel(int Value) const;
    int PixelToValue(int Pixel) const;

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    virtual void Changed();
    // Painting steps.
    virtual void PaintChannel(TCanvas& Canvas, const TRect& Channel);
    virtual void PaintTicks(TCanvas& Canvas);
    virtual void PaintThumb(TCanvas& Canvas, const TRect& Thumb);

private:
    bool Horizontal() const { return FOrientation == trHorizontal; }
    int ChannelStart() const;
    int ChannelLength() const;
    // Distance of the thumb's near edge from the control's edge, across the channel.
    int ThumbTop() const;
    void DrawTick(TCanvas& Canvas, int Value, bool Long);

    int FMin = 0, FMax = 10, FPosition = 0;
    int FFrequency = 1, FLineSize = 1, FPageSize = 2;
    TTrackBarOrientation FOrientation = trHorizontal;
    TTickMark FTickMarks = tmBottomRight;
    TTickStyle FTickStyle = tsAuto;
    int FSelStart = 0, FSelEnd = 0;
    bool FSliderVisible = true;
    int FThumbLength = 20;
    std::vector<int> FTicks;
    bool FDragging = false;
    int FGrab = 0;
};

} // namespace plat
