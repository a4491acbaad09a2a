// The pager styler with its built-in colour sets, one per suite style, that the application's style
// reaches through the form stylers.
#pragma once

#include <cstdint>
#include <iterator>

#include "ui/drawing/KvxStyleIF.h"
#include "ui/drawing/KvxThemeNotifier.h"
#include "ui/office/KvxOfficePager.h"

namespace ui::pager {

// The suite styles by ordinal.
enum TOfficePagerStyle : uint8_t {
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
inline constexpr const char* kOfficePagerStyleNames[] = {
    "psOffice2003Blue", "psOffice2003Silver",   "psOffice2003Olive", "psOffice2003Classic",
    "psOffice2007Luna", "psOffice2007Obsidian", "psWindowsXP",       "psWhidbey",
    "psCustom",         "psOffice2007Silver",
};
static_assert(std::size(kOfficePagerStyleNames) == psOffice2007Silver + 1);
static_assert(std::size(kOfficePagerStyleNames) == std::size(kKVXStyleNames));

class TKvxOfficePagerOfficeStyler : public TCustomKvxOfficePagerStyler, public IStyleable {
    PLAT_CLASS(TKvxOfficePagerOfficeStyler)
public:
    explicit TKvxOfficePagerOfficeStyler(plat::TComponent* AOwner);

    TOfficePagerStyle Style() const { return FStyle; }
    // Writes the style's colour set (none for psCustom), then tells the pagers (code 2).
    void SetStyle(TOfficePagerStyle Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    void ApplyAutoThemeStyle();
    TThemeNotifierWindow* NotifierWindow() const { return FNotifierWindow; }

    void ApplyStyle(TKVXStyle Value) override { SetStyle(static_cast<TOfficePagerStyle>(Value)); }
    void Loaded() override;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TOfficePagerStyle FStyle = psOffice2003Blue;
    bool FAutoThemeAdapt = false;
    TThemeNotifierWindow* FNotifierWindow = nullptr;
};

} // namespace ui::pager
