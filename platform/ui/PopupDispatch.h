// What a drop-down pop-up (a combo box's list, a date picker's calendar) does with the mouse: it opens
// next to its owner without taking the focus and holds the mouse while open; a press outside it or a lost
// capture dismisses it, and hiding it lets the mouse go.
#pragma once

#include <functional>

#include "platform/ui/Control.h"

namespace plat {

class TPopupDispatch {
public:
    // Mouse gets the pop-up's mouse messages that fall inside it, with the point in client coordinates;
    // Dismiss closes the pop-up without a choice (the owner's close, which ends in Hide).
    TPopupDispatch(TWinControl& Popup, std::function<void(TMessage&, TPoint)> Mouse,
                   std::function<void()> Dismiss);

    // The window of a pop-up: no parent, no task-bar button, above the others, never activated.
    static void AdjustParams(TCreateParams& Params);

    bool Open() const;
    // Shows the pop-up below Owner (above it where the screen ends below, inside the screen sideways)
    // and captures the mouse.
    void Show(TWinControl& Owner, TSize Size);
    // Hides the pop-up and releases the mouse; false when it was not open or is being hidden already.
    bool Hide();
    // Handles the pop-up's mouse, capture and activation messages; false for the others, which belong
    // to the pop-up's own class.
    bool Dispatch(TMessage& Message);

private:
    TWinControl& FPopup;
    std::function<void(TMessage&, TPoint)> FMouse;
    std::function<void()> FDismiss;
    bool FHiding = false;
};

} // namespace plat
