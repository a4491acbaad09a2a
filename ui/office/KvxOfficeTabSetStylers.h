// The tab set styler with its built-in colour sets, one per suite style, that the application's style
// reaches through the form stylers.
#pragma once

#include <cstdint>
#include <iterator>

#include "ui/drawing/KvxStyleIF.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficeTabSet.h"

namespace ui::tabset {

// The suite styles by ordinal.
enum TOfficeTabSetStyle : uint8_t {
    tsOffice2003Blue,
    tsOffice2003Silver,
    tsOffice2003Olive,
    tsOffice2003Classic,
    tsOffice2007Luna,
    tsOffice2007Obsidian,
    tsWindowsXP,
    tsWhidbey,
    tsCustom,
    tsOffice2007Silver,
};
inline constexpr const char* kOfficeTabSetStyleNames[] = {
    "tsOffice2003Blue", "tsOffice2003Silver",   "tsOffice2003Olive", "tsOffice2003Classic",
    "tsOffice2007Luna", "tsOffice2007Obsidian", "tsWindowsXP",       "tsWhidbey",
    "tsCustom",         "tsOffice2007Silver",
};
static_assert(std::size(kOfficeTabSetStyleNames) == tsOffice2007Silver + 1);
static_assert(std::size(kOfficeTabSetStyleNames) == std::size(kKVXStyleNames));

class TKvxOfficeTabSetOfficeStyler : public TCustomKvxOfficeTabSetStyler, public IStyleable {
    PLAT_CLASS(TKvxOfficeTabSetOfficeStyler)
public:
    explicit TKvxOfficeTabSetOfficeStyler(plat::TComponent* AOwner);

    TOfficeTabSetStyle Style() const { return FStyle; }
    // Writes the style's colour set (none for tsCustom), then tells the tab sets (code 2).
    void SetStyle(TOfficeTabSetStyle Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    void ApplyAutoThemeStyle();
    TThemeNotifierWindow* NotifierWindow() const { return FNotifierWindow; }

    void ApplyStyle(TKVXStyle Value) override { SetStyle(static_cast<TOfficeTabSetStyle>(Value)); }
    void Loaded() override;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TOfficeTabSetStyle FStyle = tsOffice2003Blue;
    bool FAutoThemeAdapt = false;
    TThemeNotifierWindow* FNotifierWindow = nullptr;
};

} // namespace ui::tabset
