// The speed button: a tool button without a window. Buttons with the same GroupIndex in one parent act
// as a group: one is down at a time (all may be up with AllowAllUp). The glyph holds NumGlyphs images side
// by side: up, disabled, pressed, down.
#pragma once

#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Control.h"

namespace plat {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TSpeedButton : public TGraphicControl {
    PLAT_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    void Click() override;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
    void Paint() override;
    virtual void PaintFrame(TCanvas& Canvas, TRect& Rect, TButtonState State);
    virtual void PaintGlyphAndCaption(TCanvas& Canvas, const TRect& Rect, TButtonState State);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;
    TButtonState State() const;
    bool MouseInControl() const { return FMouseInControl; }

private:
    void UpdateExclusive();
    bool FAllowAllUp = false;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FFlat = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FDragging = false;
    bool FPressedLook = false;
    bool FMouseInControl = false;
};

} // namespace plat
