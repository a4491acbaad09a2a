// The selection gradient of the list controls: two colours across the row, optionally mirrored by a
// second pair in the other half, and a one-pixel border. Also the banded gradient fills the component
// set paints its bars and rows with.
#pragma once

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Types.h"

namespace ui {

class TGradientStyle : public plat::TPersistent {
    PLAT_CLASS(TGradientStyle)
public:
    TGradientStyle() = default;

    // Copies the colours (not Direction) from another gradient style and notifies once; anything else
    // is ignored.
    void Assign(plat::TPersistent* Source) override;

    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value) { SetColorField(FColorTo, Value); }
    plat::TColor ColorFrom() const { return FColorFrom; }
    void SetColorFrom(plat::TColor Value) { SetColorField(FColorFrom, Value); }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value) { SetColorField(FBorderColor, Value); }
    plat::TColor ColorMirrorFrom() const { return FColorMirrorFrom; }
    void SetColorMirrorFrom(plat::TColor Value) { SetColorField(FColorMirrorFrom, Value); }
    plat::TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(plat::TColor Value) { SetColorField(FColorMirrorTo, Value); }
    // False: left to right; True: top to bottom. Stored without notification.
    bool Direction() const { return FDirection; }
    void SetDirection(bool Value) { FDirection = Value; }

    plat::TNotifyEvent OnChange;

private:
    void SetColorField(plat::TColor& Field, plat::TColor Value);
    void Changed();

    plat::TColor FColorTo = plat::clNone;
    plat::TColor FColorFrom = plat::clHighlight;
    plat::TColor FBorderColor = plat::clHighlight;
    bool FDirection = false;
    plat::TColor FColorMirrorFrom = plat::clNone;
    plat::TColor FColorMirrorTo = plat::clNone;
};

// How the bands of GradientFill are laid: list rows clip each band (trunc(step) + 1 wide) to the
// rectangle; splitter bars stop one pixel short of the far edge and use round(step) + 1 unclipped bands.
enum TGradientBands { gbClipped, gbBar };

// Steps bands (0 counts as 1) from Color1 to Color2, each channel interpolated per band; Horizontal
// changes colour from left to right. A clNone end counts as white.
void GradientFill(plat::TCanvas& Canvas, plat::TColor Color1, plat::TColor Color2, bool Horizontal,
                  const plat::TRect& Rect, int Steps = 128, TGradientBands Bands = gbClipped);

// The selected-row look: one gradient (Direction True: top to bottom), or with a mirror pair the two
// halves (Direction True: left and right halves) each changing top to bottom; then the border.
void DrawSelectionGradient(plat::TCanvas& Canvas, const plat::TRect& Rect, plat::TColor ColorFrom,
                           plat::TColor ColorTo, plat::TColor MirrorFrom, plat::TColor MirrorTo,
                           bool Direction, plat::TColor BorderColor);

} // namespace ui
