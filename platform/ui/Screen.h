// The screen: its size and work area, the monitor, the forms of the program, the active form and
// control, the cursors by number (with a screen-wide cursor that overrides every control's), and the
// installed font families.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/ui/Control.h"

namespace plat {

class TCustomForm;
class TForm;

class TMonitor {
public:
    int MonitorNum() const { return 0; }
    bool Primary() const { return true; }
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Width(); }
    int Height() const { return BoundsRect().Height(); }
};

class TScreen : public TComponent {
    PLAT_CLASS(TScreen)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int Width() const;
    int Height() const;
    int DesktopLeft() const { return 0; }
    int DesktopTop() const { return 0; }
    int DesktopWidth() const { return Width(); }
    int DesktopHeight() const { return Height(); }
    TRect DesktopRect() const { return TRect(0, 0, Width(), Height()); }
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const { return 96; }
    int MonitorCount() const { return 1; }
    TMonitor* Monitors(int Index) const;
    TMonitor* MonitorFromPoint(TPoint P) const { return FMonitor.get(); }
    TMonitor* MonitorFromWindow(HWND Wnd) const { return FMonitor.get(); }

    // Forms in focus order: the form that had the focus last comes first.
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TForm* Forms(int Index) const { return FForms.at(Index); }
    int CustomFormCount() const { return static_cast<int>(FCustomForms.size()); }
    TCustomForm* CustomForms(int Index) const { return FCustomForms.at(Index); }
    TForm* ActiveForm() const { return FActiveForm; }
    TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    TCustomForm* FocusedForm() const { return FFocusedForm; }

    // The cursor shown everywhere while it is not crDefault; setting it shows it at once.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The cursor handle of a number; unknown numbers give the arrow. Setting a handle replaces the
    // cursor of that number (the screen destroys the old custom one).
    HCURSOR Cursors(TCursor Index) const;
    void SetCursors(TCursor Index, HCURSOR Handle);

    TStrings* Fonts();
    TFont* HintFont() const { return FHintFont.get(); }
    TFont* MenuFont() const { return FMenuFont.get(); }
    TFont* IconFont() const { return FIconFont.get(); }

    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

    // Bookkeeping for the forms.
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void MoveFormToFocusFront(TCustomForm* Form);
    // Called by forms as the focus moves.
    void SetFocusState(TCustomForm* Form, TWinControl* Control);
    void SetFocusedForm(TCustomForm* Form) { FFocusedForm = Form; }
    std::vector<TCustomForm*>& SaveFocusedList() { return FSaveFocusedList; }
    int CursorCount() const { return FCursorCount; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TForm*> FForms;
    std::vector<TCustomForm*> FCustomForms;
    TForm* FActiveForm = nullptr;
    TCustomForm* FActiveCustomForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCustomForm* FFocusedForm = nullptr;
    std::vector<TCustomForm*> FSaveFocusedList;
    TCursor FCursor = crDefault;
    int FCursorCount = 0;
    std::map<TCursor, HCURSOR> FCursors;
    std::unique_ptr<TStringList> FFonts;
    std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont;
    std::unique_ptr<TMonitor> FMonitor;
};

extern TScreen* Screen;

} // namespace plat
