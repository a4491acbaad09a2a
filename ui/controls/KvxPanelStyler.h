// The panel styler (one set of panel settings and a built-in colour scheme, pushed to every panel of its
// form that points to it) and the panel group (a panel that stacks its child panels in columns or a row
// and scrolls them).
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/ui/ScrollBar.h"
#include "ui/controls/KvxPanel.h"
#include "ui/drawing/KvxStyleIF.h"

namespace ui {

namespace kvxpanel {

enum TKvxPanelStyle : uint8_t {
    psXP,
    psFlat,
    psKVX,
    psClassic,
    psOffice2003Blue,
    psOffice2003Olive,
    psOffice2003Silver,
    psOffice2003Classic,
    psOffice2007Luna,
    psOffice2007Obsidian,
    psWhidbey,
    psWindowsXP,
    psCustom,
    psOffice2007Silver
};
inline constexpr const char* kKvxPanelStyleNames[] = {"psXP",
                                                      "psFlat",
                                                      "psKVX",
                                                      "psClassic",
                                                      "psOffice2003Blue",
                                                      "psOffice2003Olive",
                                                      "psOffice2003Silver",
                                                      "psOffice2003Classic",
                                                      "psOffice2007Luna",
                                                      "psOffice2007Obsidian",
                                                      "psWhidbey",
                                                      "psWindowsXP",
                                                      "psCustom",
                                                      "psOffice2007Silver"};
static_assert(std::size(kKvxPanelStyleNames) == psOffice2007Silver + 1);

} // namespace kvxpanel

// What a styler hands its panels. Every property is written to the form.
class TKvxPanelSettings : public plat::TPersistent {
    PLAT_CLASS(TKvxPanelSettings)
public:
    TKvxPanelSettings();
    ~TKvxPanelSettings() override;
    // Settings are filled by their styler, never copied from other settings.
    void Assign(plat::TPersistent*) override {}

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

#define KVX_SETTING(Type, Name, Init)                                                                        \
public:                                                                                                      \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        Notify(F##Name, Value);                                                                              \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Init;
#define KVX_SILENT_SETTING(Type, Name, Init)                                                                 \
public:                                                                                                      \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        F##Name = Value;                                                                                     \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Init;

    KVX_SETTING(bool, AnchorHint, false)
    KVX_SETTING(bool, AutoHideChildren, true)
    KVX_SETTING(plat::TBevelCut, BevelInner, plat::bvNone)
    KVX_SETTING(plat::TBevelCut, BevelOuter, plat::bvNone)
    KVX_SETTING(int, BevelWidth, 1)
    KVX_SETTING(plat::TColor, BorderColor, plat::clBlack)
    KVX_SETTING(bool, BorderShadow, false)
    KVX_SETTING(plat::TBorderStyle, BorderStyle, plat::bsSingle)
    KVX_SETTING(int, BorderWidth, 0)
    KVX_SETTING(bool, CanMove, false)
    KVX_SETTING(bool, CanSize, false)
    KVX_SETTING(bool, Collaps, false)
    KVX_SETTING(plat::TColor, CollapsColor, plat::clBtnFace)
    KVX_SETTING(int, CollapsDelay, 0)
    KVX_SETTING(int, CollapsSteps, 0)
    KVX_SILENT_SETTING(plat::TColor, Color, plat::clBtnFace)
    KVX_SETTING(plat::TCursor, Cursor, plat::crDefault)
    KVX_SILENT_SETTING(bool, FixedTop, false)
    KVX_SILENT_SETTING(bool, FixedLeft, false)
    KVX_SILENT_SETTING(bool, FixedHeight, false)
    KVX_SILENT_SETTING(bool, FixedWidth, false)
    KVX_SILENT_SETTING(int, Height, 120)
    KVX_SILENT_SETTING(std::string, Hint, {})
    KVX_SETTING(bool, Hover, false)
    KVX_SETTING(plat::TColor, HoverColor, plat::clNone)
    KVX_SETTING(plat::TColor, HoverFontColor, plat::clNone)
    KVX_SETTING(int, Indent, 0)
    KVX_SETTING(int, TopIndent, 0)
    KVX_SILENT_SETTING(plat::TColor, ShadowColor, plat::clBlack)
    KVX_SILENT_SETTING(int, ShadowOffset, 0)
    KVX_SILENT_SETTING(bool, ShowHint, false)
    KVX_SILENT_SETTING(bool, ShowMoveCursor, false)
    KVX_SETTING(std::string, Text, {})
    KVX_SETTING(kvxpanel::TTextVAlignment, TextVAlign, kvxpanel::tvaTop)
    KVX_SETTING(plat::TColor, URLColor, plat::clBlue)
    KVX_SILENT_SETTING(int, Width, 0)
#undef KVX_SETTING
#undef KVX_SILENT_SETTING

public:
    plat::TColor ColorTo() const {
        return FColorTo;
    }
    void SetColorTo(plat::TColor Value) {
        NotifyIfChanged(FColorTo, Value);
    }
    plat::TColor ColorMirror() const {
        return FColorMirror;
    }
    void SetColorMirror(plat::TColor Value) {
        NotifyIfChanged(FColorMirror, Value);
    }
    plat::TColor ColorMirrorTo() const {
        return FColorMirrorTo;
    }
    void SetColorMirrorTo(plat::TColor Value) {
        NotifyIfChanged(FColorMirrorTo, Value);
    }
    TPanelCaption* Caption() const {
        return FCaption.get();
    }
    void SetCaption(TPanelCaption* Value);
    plat::TFont* Font() const {
        return FFont.get();
    }
    void SetFont(plat::TFont* Value);
    TPanelStatusBar* StatusBar() const {
        return FStatusBar.get();
    }
    void SetStatusBar(TPanelStatusBar* Value);

    plat::TNotifyEvent OnChange;

private:
    template <class T> void Notify(T& Field, const T& Value) {
        Field = Value;
        Changed();
    }
    template <class T> void NotifyIfChanged(T& Field, const T& Value) {
        if (Field == Value)
            return;
        Notify(Field, Value);
    }
    void Changed();

    int FUpdateCount = 0;
    plat::TColor FColorTo = plat::clNone;
    plat::TColor FColorMirror = plat::clNone;
    plat::TColor FColorMirrorTo = plat::clNone;
    std::unique_ptr<TPanelCaption> FCaption;
    std::unique_ptr<plat::TFont> FFont;
    std::unique_ptr<TPanelStatusBar> FStatusBar;
};

class TKvxPanelStyler : public plat::TComponent, public IStyleable {
    PLAT_CLASS(TKvxPanelStyler)
public:
    explicit TKvxPanelStyler(plat::TComponent* AOwner);
    ~TKvxPanelStyler() override;

    // Suite styles map to their presets; tsCustom leaves the settings as they are.
    void ApplyStyle(TKVXStyle Style) override;
    void Assign(plat::TPersistent* Source) override;

    kvxpanel::TKvxPanelStyle Style() const { return FStyle; }
    void SetStyle(kvxpanel::TKvxPanelStyle Value);
    // Filled through its properties (forms, presets); settings are never copied onto settings.
    TKvxPanelSettings* Settings() const { return FSettings.get(); }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    const std::string& Comments() const { return FComments; }
    void SetComments(const std::string& Value) { FComments = Value; }

    // Pushes the settings to every panel of the owner that points here.
    void UpdatePanels();
    void ApplyAutoThemeStyle();
    // The desktop's colour scheme: 1 blue, 2 olive, 3 silver; 0 when none of them is active.

protected:
    void Loaded() override;

private:
    kvxpanel::TKvxPanelStyle FStyle = kvxpanel::psXP;
    std::unique_ptr<TKvxPanelSettings> FSettings;
    bool FAutoThemeAdapt = false;
    std::string FComments;
    // Hears the system's visual-style changes.
    plat::TWinControl* FNotifier = nullptr;
};

namespace kvxpanel {

enum TGroupStyle : uint8_t { gsVertical, gsHorizontal };
inline constexpr const char* kGroupStyleNames[] = {"gsVertical", "gsHorizontal"};
static_assert(std::size(kGroupStyleNames) == gsHorizontal + 1);

} // namespace kvxpanel

class TKvxPanelGroup : public TKvxPanel {
    PLAT_CLASS(TKvxPanelGroup)
public:
    explicit TKvxPanelGroup(plat::TComponent* AOwner);
    ~TKvxPanelGroup() override;

    kvxpanel::TGroupStyle GroupStyle() const { return FGroupStyle; }
    void SetGroupStyle(kvxpanel::TGroupStyle Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int HorzPadding() const { return FHorzPadding; }
    void SetHorzPadding(int Value);
    int VertPadding() const { return FVertPadding; }
    void SetVertPadding(int Value);
    bool ScrollSmooth() const { return FScrollSmooth; }
    void SetScrollSmooth(bool Value) { FScrollSmooth = Value; }
    // Stored with the form; nothing reads it.
    TKvxPanelSettings* DefaultPanel() const { return FDefaultPanel.get(); }
    plat::TScrollBar* ScrollBar() const { return FScrollBar; }

    void Arrange();
    void UpdateScrollBar();
    void UpdateGroup();
    void StateChanged() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    bool DoMouseWheel(plat::TShiftState Shift, int WheelDelta, plat::TPoint MousePos) override;

private:
    std::vector<TCustomKvxPanel*> Panels(bool ByLeft) const;
    void ScrollChanged();

    kvxpanel::TGroupStyle FGroupStyle = kvxpanel::gsVertical;
    int FColumns = 1;
    int FHorzPadding = 8;
    int FVertPadding = 8;
    bool FScrollSmooth = false;
    std::unique_ptr<TKvxPanelSettings> FDefaultPanel;
    plat::TScrollBar* FScrollBar = nullptr;
    int FUpdateCount = 0;
    bool FArranging = false;
    plat::TSize FLastSize{-1, -1};
    // The panels present when the group was loaded; the group frees them with itself.
    std::vector<TCustomKvxPanel*> FLoadedPanels;
};

} // namespace ui
