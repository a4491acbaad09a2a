// One style value for the whole application: the application styler holds it and hands every change to
// the form stylers that follow it; a form styler offers it to every component of its form (or frame)
// that implements IStyleable. Both can follow the desktop's colour scheme through a hidden window that
// hears about theme changes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Control.h"
#include "ui/drawing/KvxStyleIF.h"

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

class TKvxFormStyler;

class TKvxAppStyler : public plat::TComponent {
    PLAT_CLASS(TKvxAppStyler)
public:
    explicit TKvxAppStyler(plat::TComponent* AOwner);
    ~TKvxAppStyler() override;

    TKVXStyle Style() const { return FStyle; }
    // A new value goes to every registered form styler (not while loading or designing), then OnChange.
    void SetStyle(TKVXStyle Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    virtual uint32_t GetVersionNr() const;

    void RegisterFormStyler(TKvxFormStyler* AStyler);
    void UnregisterFormStyler(TKvxFormStyler* AStyler);
    int FormStylerCount() const { return static_cast<int>(FFormStylers.size()); }

    // Picks the style from the desktop's colour scheme when AutoThemeAdapt is on.
    void ApplyAutoThemeStyle();
    // Null while designing, and once the window's parent took it away.
    TThemeNotifierWindow* NotifierWindow() const { return FNotifierWindow; }

    void Assign(plat::TPersistent* Source) override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    plat::TNotifyEvent OnChange;

private:
    std::vector<TKvxFormStyler*> FFormStylers;
    TKVXStyle FStyle = tsCustom;
    bool FAutoThemeAdapt = false;
    TThemeNotifierWindow* FNotifierWindow = nullptr;
};

// Asked before each component is styled; clearing Allow leaves that component alone.
using TApplyStyleEvent =
    std::function<void(plat::TObject* Sender, plat::TComponent* AComponent, bool& Allow)>;

class TKvxFormStyler : public plat::TComponent {
    PLAT_CLASS(TKvxFormStyler)
public:
    explicit TKvxFormStyler(plat::TComponent* AOwner);
    ~TKvxFormStyler() override;

    TKVXStyle Style() const { return FStyle; }
    // A new value other than tsCustom styles the owner's components, then OnChange fires.
    void SetStyle(TKVXStyle Value);
    TKvxAppStyler* AppStyle() const { return FAppStyle; }
    // Leaves the previous application styler and follows the new one (adopting its style).
    void SetAppStyle(TKvxAppStyler* Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    virtual uint32_t GetVersionNr() const;

    // Offers the current style to the owner's components: a form's own, or a frame's and those of the
    // frames inside it.
    void ApplyStyleToOwner();
    void ApplyAutoThemeStyle();
    TThemeNotifierWindow* NotifierWindow() const { return FNotifierWindow; }

    void Assign(plat::TPersistent* Source) override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    TApplyStyleEvent OnApplyStyle;
    plat::TNotifyEvent OnChange;

private:
    void ApplyStyleToComponents(plat::TComponent* Container, bool IntoFrames);
    void LeaveAppStyle();

    TKVXStyle FStyle = tsCustom;
    TKvxAppStyler* FAppStyle = nullptr;
    bool FAutoThemeAdapt = false;
    TThemeNotifierWindow* FNotifierWindow = nullptr;
};

} // namespace ui
