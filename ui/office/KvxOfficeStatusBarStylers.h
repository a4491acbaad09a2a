// The status bar's colours: a styler holds a light and a dark panel appearance and the bar's frame
// colour, and keeps the bars that use it so that a colour change repaints them. Every bar owns a plain
// styler; the office styler adds ten built-in colour sets picked by the suite style.
//
// The unit keeps its namesakes of the tab set and pager units (TVistaBackground, TDbgList, ...) in its own
// namespace; the classes the rest of the program names are exported into ui.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Persistent.h"
#include "ui/drawing/KvxStyleIF.h"
#include "ui/drawing/KvxThemeNotifier.h"

namespace ui::statusbar {

class TKvxOfficeStatusBar;

// A list of references that it does not own; reading past the end is a fault the list reports.
template <class T> class TDbgList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    T* operator[](int Index) const {
        if (Index >= Count())
            throw plat::EListError("Index out of bounds in list read access");
        return FItems.at(static_cast<size_t>(Index));
    }
    void Add(T* Item) { FItems.push_back(Item); }
    int IndexOf(const T* Item) const {
        for (int i = 0; i < Count(); ++i)
            if (FItems[static_cast<size_t>(i)] == Item)
                return i;
        return -1;
    }
    void Remove(const T* Item) {
        const int i = IndexOf(Item);
        if (i >= 0)
            FItems.erase(FItems.begin() + i);
    }

private:
    std::vector<T*> FItems;
};

// The stylers all use the one theme-notifier window of the component set.
using TNotifierWindow = TThemeNotifierWindow;

// The first ten values follow TKVXStyle's order, so the suite style maps by ordinal.
enum TOfficeStatusBarStyle : uint8_t {
    psOffice2003Blue,
    psOffice2003Silver,
    psOffice2003Olive,
    psOffice2003Classic,
    psOffice2007Luna,
    psOffice2007Obsidian,
    psWindowsXP,
    psWhidbey,
    psCustom,
    psOffice2007Silver,
};
inline constexpr const char* kOfficeStatusBarStyleNames[] = {
    "psOffice2003Blue", "psOffice2003Silver",   "psOffice2003Olive", "psOffice2003Classic",
    "psOffice2007Luna", "psOffice2007Obsidian", "psWindowsXP",       "psWhidbey",
    "psCustom",         "psOffice2007Silver",
};
static_assert(std::size(kOfficeStatusBarStyleNames) == psOffice2007Silver + 1);
static_assert(psOffice2007Silver == static_cast<int>(tsOffice2007Silver) &&
              psCustom == static_cast<int>(tsCustom));

// One panel appearance: an upper and a lower (mirror) gradient, frame and text, for the normal state and
// for Button panels under the mouse (hot) and pressed (down). The hot colours change without telling
// anyone; the next hover repaint shows them.
class TVistaBackground : public plat::TPersistent {
    PLAT_CLASS(TVistaBackground)
public:
    TVistaBackground() = default;

    void Assign(plat::TPersistent* Source) override;

    int Steps() const { return FSteps; }
    void SetSteps(int Value);
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value);
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value);
    plat::TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(plat::TColor Value);
    plat::TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(plat::TColor Value);
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value);
    plat::TColor TextColor() const { return FTextColor; }
    void SetTextColor(plat::TColor Value);
    plat::TFontStyles TextStyle() const { return FTextStyle; }
    void SetTextStyle(plat::TFontStyles Value);

    plat::TColor ColorHot() const { return FColorHot; }
    void SetColorHot(plat::TColor Value) { FColorHot = Value; }
    plat::TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(plat::TColor Value) { FColorHotTo = Value; }
    plat::TColor ColorMirrorHot() const { return FColorMirrorHot; }
    void SetColorMirrorHot(plat::TColor Value) { FColorMirrorHot = Value; }
    plat::TColor ColorMirrorHotTo() const { return FColorMirrorHotTo; }
    void SetColorMirrorHotTo(plat::TColor Value) { FColorMirrorHotTo = Value; }
    plat::TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(plat::TColor Value) { FBorderColorHot = Value; }
    plat::TColor TextColorHot() const { return FTextColorHot; }
    void SetTextColorHot(plat::TColor Value) { FTextColorHot = Value; }

    plat::TColor ColorDown() const { return FColorDown; }
    void SetColorDown(plat::TColor Value);
    plat::TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(plat::TColor Value);
    plat::TColor ColorMirrorDown() const { return FColorMirrorDown; }
    void SetColorMirrorDown(plat::TColor Value);
    plat::TColor ColorMirrorDownTo() const { return FColorMirrorDownTo; }
    void SetColorMirrorDownTo(plat::TColor Value);
    plat::TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(plat::TColor Value);
    plat::TColor TextColorDown() const { return FTextColorDown; }
    void SetTextColorDown(plat::TColor Value);

    plat::TNotifyEvent OnChange;

private:
    void SetColour(plat::TColor& Field, plat::TColor Value);
    void Changed();

    int FSteps = 64;
    plat::TColor FColor = plat::clWhite;
    plat::TColor FColorTo = plat::clWhite;
    plat::TColor FColorMirror = 0xC0C0C0;
    plat::TColor FColorMirrorTo = plat::clWhite;
    plat::TColor FBorderColor = plat::clNone;
    plat::TColor FTextColor = 0x000000;
    plat::TFontStyles FTextStyle = 0;
    plat::TColor FColorMirrorDownTo = plat::clWhite;
    plat::TColor FColorHot = plat::clWhite;
    plat::TColor FColorMirrorDown = 0xC0C0C0;
    plat::TColor FColorDownTo = plat::clWhite;
    plat::TColor FTextColorDown = 0x000000;
    plat::TColor FColorDown = plat::clWhite;
    plat::TColor FColorHotTo = plat::clWhite;
    plat::TColor FBorderColorDown = 0x808080;
    plat::TColor FColorMirrorHot = 0xC0C0C0;
    plat::TColor FBorderColorHot = 0x808080;
    plat::TColor FColorMirrorHotTo = plat::clWhite;
    plat::TColor FTextColorHot = 0x000000;
};

class TCustomKvxOfficeStatusBarStyler : public plat::TComponent {
    PLAT_CLASS(TCustomKvxOfficeStatusBarStyler)
public:
    explicit TCustomKvxOfficeStatusBarStyler(plat::TComponent* AOwner);
    ~TCustomKvxOfficeStatusBarStyler() override;

    void Assign(plat::TPersistent* Source) override;

    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    TVistaBackground* PanelAppearanceLight() const { return FPanelAppearanceLight.get(); }
    void SetPanelAppearanceLight(TVistaBackground* Value) { FPanelAppearanceLight->Assign(Value); }
    TVistaBackground* PanelAppearanceDark() const { return FPanelAppearanceDark.get(); }
    void SetPanelAppearanceDark(TVistaBackground* Value) { FPanelAppearanceDark->Assign(Value); }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value);

    // The bars that paint with this styler. A bar adds itself when it adopts the styler and leaves when
    // it takes another or goes.
    void AddClient(TKvxOfficeStatusBar* Bar) { FClients.Add(Bar); }
    void RemoveClient(TKvxOfficeStatusBar* Bar) { FClients.Remove(Bar); }
    const TDbgList<TKvxOfficeStatusBar>& Clients() const { return FClients; }
    // Marks every client bar for repainting.
    void NotifyClients();

    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

protected:
    TDbgList<TKvxOfficeStatusBar> FClients;
    bool FAutoThemeAdapt = false;

private:
    std::unique_ptr<TVistaBackground> FPanelAppearanceLight;
    std::unique_ptr<TVistaBackground> FPanelAppearanceDark;
    plat::TColor FBorderColor = 0x825A3B;
};

class TKvxOfficeStatusBarOfficeStyler : public TCustomKvxOfficeStatusBarStyler, public IStyleable {
    PLAT_CLASS(TKvxOfficeStatusBarOfficeStyler)
public:
    explicit TKvxOfficeStatusBarOfficeStyler(plat::TComponent* AOwner);
    ~TKvxOfficeStatusBarOfficeStyler() override;

    TOfficeStatusBarStyle Style() const { return FStyle; }
    // Writes the style's colour set (psCustom keeps every colour), then repaints the client bars. The
    // current value again does nothing.
    void SetStyle(TOfficeStatusBarStyle Value);
    // The suite style, by ordinal.
    void ApplyStyle(TKVXStyle Value) override { SetStyle(static_cast<TOfficeStatusBarStyle>(Value)); }
    // Picks the style from the desktop's colour scheme when AutoThemeAdapt is on.
    void ApplyAutoThemeStyle();
    TNotifierWindow* NotifierWindow() const { return FNotifierWindow; }

    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TOfficeStatusBarStyle FStyle = psOffice2003Blue;
    TNotifierWindow* FNotifierWindow = nullptr;
};

} // namespace ui::statusbar

namespace ui {
using statusbar::TCustomKvxOfficeStatusBarStyler;
using statusbar::TKvxOfficeStatusBarOfficeStyler;
using statusbar::TOfficeStatusBarStyle;
} // namespace ui
