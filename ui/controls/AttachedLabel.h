// The plain label that the spin edit and the combo box (and any other control) may carry beside them:
// where it goes for each LabelPosition, and the label's life as a component owned by the control.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>

#include "platform/ui/Label.h"

namespace ui {

enum TLabelPosition : uint8_t {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
};
inline constexpr const char* kLabelPositionNames[] = {
    "lpLeftTop",     "lpLeftCenter",     "lpLeftBottom",     "lpTopLeft",   "lpBottomLeft",
    "lpLeftTopLeft", "lpLeftCenterLeft", "lpLeftBottomLeft", "lpTopCenter", "lpBottomCenter",
};
static_assert(std::size(kLabelPositionNames) == lpBottomCenter + 1);

// The label's top-left for a control at Bounds (parent coordinates). Centring halves signed
// differences toward zero, so a label larger than the control overhangs both edges alike.
plat::TPoint AttachedLabelOrigin(TLabelPosition Position, const plat::TRect& Bounds, plat::TSize LabelSize,
                                 int TextWidth, int Margin);

// The label of one control: made on the first caption, owned by the control (which frees it), placed on
// the control's parent, focusing the control on its accelerator. The control forwards its free
// notifications so that a label freed elsewhere is forgotten.
class TAttachedLabel {
public:
    explicit TAttachedLabel(plat::TWinControl* Control) : FControl(Control) {}
    TAttachedLabel(const TAttachedLabel&) = delete;
    TAttachedLabel& operator=(const TAttachedLabel&) = delete;

    plat::TLabel* Label() const { return FLabel; }
    std::string Caption() const { return FLabel ? FLabel->Caption() : std::string(); }
    // Makes the label when there is none yet (its font starts as Font) and sets its text.
    void SetCaption(const std::string& Value, plat::TFont* Font);
    // Moves the label to its place beside the control after setting its transparency.
    void Place(TLabelPosition Position, int Margin, bool Transparent);
    // The width of the caption in the label's own font.
    int TextWidth() const;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation);

private:
    plat::TWinControl* FControl;
    plat::TLabel* FLabel = nullptr;
};

} // namespace ui
