// The menu styler the program's windows place on their forms: built-in office colour sets chosen by
// one Style value, which the suite-wide style reaches through IStyleable.
#pragma once

#include <cstdint>
#include <iterator>

#include "ui/drawing/KvxMenus.h"
#include "ui/drawing/KvxStyleIF.h"
#include "ui/drawing/KvxThemeNotifier.h"

namespace ui {

enum TOfficeStyle : uint8_t {
    osOffice2003Blue,
    osOffice2003Silver,
    osOffice2003Olive,
    osOfficeXP,
    osOffice2007Luna,
    osOffice2007Obsidian,
    osCustom,
    osOffice2007Silver,
    osVista,
    osWhidbey,
};
inline constexpr const char* kOfficeStyleNames[] = {
    "osOffice2003Blue",     "osOffice2003Silver", "osOffice2003Olive",  "osOfficeXP", "osOffice2007Luna",
    "osOffice2007Obsidian", "osCustom",           "osOffice2007Silver", "osVista",    "osWhidbey",
};
static_assert(std::size(kOfficeStyleNames) == osWhidbey + 1);

class TKvxMenuOfficeStyler : public TCustomKvxMenuStyler, public IStyleable {
    PLAT_CLASS(TKvxMenuOfficeStyler)
public:
    explicit TKvxMenuOfficeStyler(plat::TComponent* AOwner);

    TOfficeStyle Style() const { return FStyle; }
    // Writes the whole colour set of the style every time, also when it is the current one; osCustom
    // writes nothing.
    void SetStyle(TOfficeStyle Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    // With AutoThemeAdapt the system's colour scheme picks the style.
    void ThemeChanged();

    // tsCustom leaves the colours alone.
    void ApplyStyle(TKVXStyle AStyle) override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    TThemeNotifierWindow* NotifierWindow() const { return FNotifierWindow; }

private:
    TThemeNotifierWindow* FNotifierWindow = nullptr;
    TOfficeStyle FStyle = osOffice2003Blue;
    bool FAutoThemeAdapt = false;
};

} // namespace ui
