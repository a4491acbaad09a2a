// A scroll bar a control draws inside its own client area (list box, tree view, grid, drop-down list):
// arrows, page areas and a draggable thumb over a range Min..Max with a page size.
#pragma once

#include <functional>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Types.h"

namespace plat {

class TEmbeddedScrollBar {
public:
    explicit TEmbeddedScrollBar(bool Vertical) : FVertical(Vertical) {}

    bool Vertical() const { return FVertical; }
    // Sets the range; the position is kept inside Min..Max - Page + 1.
    void SetRange(int Min, int Max, int Page);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Page() const { return FPage; }
    int Position() const { return FPosition; }
    // Moves the position (clamped); answers whether it changed. Does not call OnScroll.
    bool SetPosition(int Value);
    int MaxPosition() const;
    // Shown when the range exceeds a page.
    bool Needed() const { return FMax - FMin + 1 > FPage && FPage > 0; }

    TRect Bounds() const { return FBounds; }
    void SetBounds(const TRect& R) { FBounds = R; }

    virtual ~TEmbeddedScrollBar() = default;
    virtual void Paint(TCanvas& Canvas);

    // Mouse handling in the owner's client coordinates; MouseDown answers whether the point was on the
    // bar (then the owner captures the mouse and passes moves and the release here).
    bool MouseDown(TPoint P);
    void MouseMove(TPoint P);
    void MouseUp(TPoint P);
    bool Tracking() const { return FTrack != tkNone; }

    // The position moved by the user; the owner scrolls its content.
    std::function<void(int Position)> OnScroll;

protected:
    enum TTrack { tkNone, tkLineBack, tkLineForward, tkPageBack, tkPageForward, tkThumb };
    TRect ArrowRect(bool Back) const;
    TRect ThumbRect() const;
    int ArrowSize() const;
    void Step(int Delta);

    bool FVertical;
    int FMin = 0, FMax = 0, FPage = 1, FPosition = 0;
    TRect FBounds;
    TTrack FTrack = tkNone;
    int FThumbGrab = 0;
};

} // namespace plat
