// How the stylers would follow the desktop's colour scheme: a hidden window that hears the system's
// theme-change message, and the scheme detection they ask afterwards. Every styler with AutoThemeAdapt
// keeps one such window.
#pragma once

#include "platform/ui/Control.h"

namespace ui {

// True on the desktop generation that introduced colour schemes and later (reported version 5.1 on).
bool IsWindowsXPOrLater();

// The desktop's colour scheme: 1 blue, 2 olive green, 3 silver, 0 none recognised.
int DetectXPColorScheme();

// A windowed control that exists only to hear the system's theme-change message.
class TThemeNotifierWindow : public plat::TWinControl {
    PLAT_CLASS(TThemeNotifierWindow)
public:
    explicit TThemeNotifierWindow(plat::TComponent* AOwner) : plat::TWinControl(AOwner) {}

    plat::TNotifyEvent OnThemeChange;

protected:
    void WndProc(plat::TMessage& Message) override;
};

} // namespace ui
