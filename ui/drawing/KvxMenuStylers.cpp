#include "ui/drawing/KvxMenuStylers.h"

#include <array>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/SystemServices.h"
#include "ui/drawing/KvxMenuStylerProperties.h"

using namespace plat;

namespace ui {

namespace {

using S = TKvxMenuOfficeStyler;
// A value the style leaves as it was.
constexpr TColor K = -1;
constexpr TColor N = clNone;

// The nine sets as columns, in this order; osCustom has none.
constexpr int kSetCount = 9;
constexpr int kColumn[] = {0, 1, 2, 3, 4, 5, -1, 6, 7, 8};
static_assert(std::size(kColumn) == osWhidbey + 1);

struct TColorRow {
    void (*Put)(S&, TColor);
    std::array<TColor, kSetCount> Values;
};

// Blue, Silver, Olive, XP, Luna, Obsidian, 2007 Silver, Vista, Whidbey.
const TColorRow kRows[] = {
    {[](S& s, TColor c) { s.Background()->SetColor(c); },
     {0xF6F6F6, 0xF6F6F6, 0xF6F6F6, clWindow, 0xF6F6F6, 0xF6F6F6, 0xFAFAFA, 0xEEEEEE, 0xF9FCFC}},
    {[](S& s, TColor c) { s.Background()->SetColorTo(c); },
     {0xF6F6F6, 0xF6F6F6, 0xF6F6F6, clWindow, 0xF6F6F6, 0xF6F6F6, 0xFAFAFA, N, 0xF9FCFC}},
    {[](S& s, TColor c) { s.SetMenuBorderColor(c); },
     {0x962D00, 0x5E8D75, 0x5E8D75, 0x808080, 0xC0C0C0, 0xC0C0C0, 0x868686, 0x979797, 0x7A868A}},
    {[](S& s, TColor c) { s.RootItem()->SetColor(c); },
     {0xF5BE9E, 0xE5D7D7, 0xA8D9D9, clBtnFace, 0xF2DAC2, 0xB8B8B6, 0xE5D7D7, 0xFFFFFF, 0xD9E6E7}},
    {[](S& s, TColor c) { s.RootItem()->SetColorTo(c); },
     {0xF7CDB2, 0xF7F3F3, 0xE4F0F2, clBtnFace, 0xF0D9C1, 0xA0A09E, 0xF7F3F3, 0xEEDBD4, 0xD9E6E7}},
    {[](S& s, TColor c) { s.RootItem()->SetSelectedColor(0, c); },
     {0xFFEFE3, 0xF1E9E8, 0xD5F0EC, clBtnFace, 0x76AFF1, 0x76AFF1, 0x76AFF1, 0xBBB8B6, 0xF4F9F9}},
    {[](S& s, TColor c) { s.RootItem()->SetSelectedColor(1, c); },
     {0xE7B593, 0xCDB9BA, 0x9FCEC2, N, 0x4190F3, 0x4190F3, 0x4190F3, 0xE1D0C9, N}},
    {[](S& s, TColor c) { s.RootItem()->SetSelectedColor(2, c); },
     {N, N, N, N, 0x0E72F1, 0x0E72F1, 0x0E72F1, 0xE1D0C9, K}},
    {[](S& s, TColor c) { s.RootItem()->SetSelectedColor(3, c); },
     {N, N, N, N, 0x4C9FFD, 0x4C9FFD, 0x4C9FFD, 0xE9DAD5, K}},
    {[](S& s, TColor c) { s.RootItem()->SetSelectedBorderColor(c); },
     {0x962D00, 0x947C7C, 0x5E8D75, 0x7A868A, 0x45667B, 0x45667B, 0x45667B, 0x534D4B, 0x7A868A}},
    {[](S& s, TColor c) { s.RootItem()->SetSelectedTextColor(c); }, {K, K, K, K, K, K, K, K, 0x000000}},
    {[](S& s, TColor c) { s.RootItem()->SetHoverColor(0, c); },
     {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xEFD3C6, 0xEBFDFF, 0xEBFDFF, 0xEBFDFF, 0xFFFFFF, 0xEFD3C6}},
    {[](S& s, TColor c) { s.RootItem()->SetHoverColor(1, c); },
     {0x9AD6FF, 0x9AD6FF, 0x9AD6FF, N, 0xABEBFF, 0xABEBFF, 0xABEBFF, 0xE7D9D3, N}},
    {[](S& s, TColor c) { s.RootItem()->SetHoverColor(2, c); },
     {N, N, N, N, 0x69D6FF, 0x69D6FF, 0x69D6FF, 0xE7D9D3, N}},
    {[](S& s, TColor c) { s.RootItem()->SetHoverColor(3, c); },
     {N, N, N, N, 0x96E4FF, 0x96E4FF, 0x96E4FF, 0xF9F1EF, N}},
    {[](S& s, TColor c) { s.RootItem()->SetHoverBorderColor(c); },
     {0x6F4B4B, 0x6F4B4B, 0x6F4B4B, 0xC66931, 0x99CEDB, 0x99CEDB, 0x99CEDB, 0xA79A95, 0xC66931}},
    {[](S& s, TColor c) { s.RootItem()->SetHoverTextColor(c); },
     {clMenuText, clMenuText, clMenuText, clMenuText, clMenuText, clMenuText, clMenuText, clMenuText,
      clMenuText}},
    {[](S& s, TColor c) { s.SelectedItem()->SetColor(c); },
     {0xC2EEFF, 0xC2EEFF, 0xC2EEFF, 0xEFD3C6, 0xEBFDFF, 0xEBFDFF, 0xEBFDFF, 0xF4F1EB, 0xEED2C1}},
    {[](S& s, TColor c) { s.SelectedItem()->SetColorTo(c); },
     {N, N, N, N, 0xABEBFF, 0xABEBFF, 0xABEBFF, 0xF3EBDA, N}},
    {[](S& s, TColor c) { s.SelectedItem()->SetColorMirror(c); },
     {N, N, N, N, 0x69D6FF, 0x69D6FF, 0x69D6FF, N, N}},
    {[](S& s, TColor c) { s.SelectedItem()->SetColorMirrorTo(c); },
     {N, N, N, N, 0x96E4FF, 0x96E4FF, 0x96E4FF, N, N}},
    {[](S& s, TColor c) { s.SelectedItem()->SetBorderColor(c); },
     {0x800000, 0x080000, 0x385D3F, 0xC66931, 0x99CEDB, 0x99CEDB, 0x99CEDB, 0xEBD8A8, 0xC56A31}},
    {[](S& s, TColor c) { s.SelectedItem()->SetCheckColor(0, c); },
     {0x3E80FE, 0x3E80FE, 0x3E80FE, 0xEFD3C6, 0x3E80FE, 0x3E80FE, 0x3E80FE, 0xF4EFE6, 0xC56A31}},
    {[](S& s, TColor c) { s.SelectedItem()->SetCheckColor(1, c); }, {N, N, N, N, N, N, N, N, N}},
    {[](S& s, TColor c) { s.SelectedItem()->SetCheckBorder(c); },
     {0x800000, 0x6F4B4B, 0x385D3F, 0xEFD3C6, 0x800000, 0x800000, 0x800000, 0xE6D3CD, 0x000000}},
    {[](S& s, TColor c) { s.SelectedItem()->SetRadioColor(0, c); },
     {0x3E80FE, 0x3E80FE, 0x3E80FE, 0xEFD3C6, 0x3E80FE, 0x3E80FE, 0x3E80FE, 0xF4EFE6, 0xC56A31}},
    {[](S& s, TColor c) { s.SelectedItem()->SetRadioColor(1, c); }, {N, N, N, N, N, N, N, N, N}},
    {[](S& s, TColor c) { s.SelectedItem()->SetRadioBorder(c); },
     {0x800000, 0x6F4B4B, 0x385D3F, 0xEFD3C6, 0x800000, 0x800000, 0x800000, 0xE6D3CD, 0x000000}},
    {[](S& s, TColor c) { s.IconBar()->SetColor(c); },
     {0xFFEFE3, 0xFFF9F9, 0xEDFFFF, clBtnFace, 0xEEEEE9, 0xEEEEE9, 0xEFEFEF, 0xEEEEEE, 0xFBFEFE}},
    {[](S& s, TColor c) { s.IconBar()->SetColorTo(c); },
     {0xE4AD87, 0xB99D9F, 0x92C7B8, N, 0xEEEEE9, 0xEEEEE9, 0xEFEFEF, N, 0xACC3C4}},
    {[](S& s, TColor c) { s.IconBar()->SetCheckColor(0, c); },
     {0x6FC0FF, 0x6FC0FF, 0x6FC0FF, clBtnFace, 0x6FC0FF, 0x6FC0FF, 0x6FC0FF, 0xF4EFE6, 0xE8E6E1}},
    {[](S& s, TColor c) { s.IconBar()->SetCheckColor(1, c); }, {N, N, N, N, N, N, N, N, N}},
    {[](S& s, TColor c) { s.IconBar()->SetCheckBorder(c); },
     {0x800000, 0x6F4B4B, 0x385D3F, clBtnFace, 0x800000, 0x800000, 0x800000, 0xE6D3CD, 0xC56A31}},
    {[](S& s, TColor c) { s.IconBar()->SetRadioColor(0, c); },
     {0x6FC0FF, 0x6FC0FF, 0x6FC0FF, K, 0x6FC0FF, 0x6FC0FF, 0x6FC0FF, 0xF4EFE6, K}},
    {[](S& s, TColor c) { s.IconBar()->SetRadioColor(1, c); }, {N, N, N, K, N, N, N, N, K}},
    {[](S& s, TColor c) { s.IconBar()->SetRadioBorder(c); },
     {0x800000, 0x6F4B4B, 0x385D3F, K, 0x800000, 0x800000, 0x800000, 0xE6D3CD, K}},
    {[](S& s, TColor c) { s.IconBar()->SetSeparatorColor(c); },
     {K, K, K, K, 0xC5C5C5, 0xC5C5C5, 0xC5C5C5, 0xC5C5C5, K}},
    {[](S& s, TColor c) { s.Separator()->SetColor(c); },
     {0xCB8C6A, 0x8F6D6E, 0x588060, 0x7A868A, 0xC5C5C5, 0xC5C5C5, 0xC5C5C5, 0xE0E0E0, 0xB8C2C5}},
    {[](S& s, TColor c) { s.Separator()->SetColorTo(c); }, {N, N, N, N, N, N, N, 0xFFFFFF, N}},
    {[](S& s, TColor c) { s.ButtonAppearance()->SetHoverColor(c); },
     {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xEFD3C6, 0xE0DEDD, 0xE0DEDD, 0xE0DEDD, 0xE0DEDD, K}},
    {[](S& s, TColor c) { s.ButtonAppearance()->SetHoverColorTo(c); },
     {0x91D0FF, 0x91D0FF, 0x91D0FF, N, 0xF4F2F1, 0xF4F2F1, 0xF4F2F1, 0xF4F2F1, K}},
    {[](S& s, TColor c) { s.ButtonAppearance()->SetHoverBorderColor(c); },
     {0x800000, 0x800000, 0x800000, 0xC66931, 0xB5AFA8, 0xB5AFA8, 0xB5AFA8, 0xB5AFA8, K}},
    {[](S& s, TColor c) { s.ButtonAppearance()->SetDownColor(c); },
     {0x4E91FE, 0x4E91FE, 0x4E91FE, 0xB59284, 0xCCCAC9, 0xCCCAC9, 0xCCCAC9, 0xCCCAC9, K}},
    {[](S& s, TColor c) { s.ButtonAppearance()->SetDownColorTo(c); },
     {0x91D3FF, 0x91D3FF, 0x91D3FF, N, 0xEAE8E7, 0xEAE8E7, 0xEAE8E7, 0xEAE8E7, K}},
    {[](S& s, TColor c) { s.ButtonAppearance()->SetDownBorderColor(c); },
     {0x800000, 0x800000, 0x800000, 0xC66931, 0xB5AFA8, 0xB5AFA8, 0xB5AFA8, 0xB5AFA8, K}},
};

// The bar's gradient direction; -1 keeps it.
constexpr int kRootDirection[kSetCount] = {gdHorizontal, gdHorizontal, gdHorizontal, -1, gdVertical,
                                           gdVertical,   gdHorizontal, gdVertical,   -1};

} // namespace

PLAT_CLASS_INFO_CREATABLE(TKvxMenuOfficeStyler, TCustomKvxMenuStyler)

namespace {
struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxMenuOfficeStyler::StaticClass()); }
} gRegistrar;
} // namespace

PLAT_PROPERTIES(TKvxMenuOfficeStyler) {
    props.Enum("Style", &TKvxMenuOfficeStyler::Style, &TKvxMenuOfficeStyler::SetStyle, kOfficeStyleNames);
    props.Boolean("AutoThemeAdapt", &TKvxMenuOfficeStyler::AutoThemeAdapt,
                  &TKvxMenuOfficeStyler::SetAutoThemeAdapt);
    PublishMenuStylerProperties(props);
}

TKvxMenuOfficeStyler::TKvxMenuOfficeStyler(TComponent* AOwner) : TCustomKvxMenuStyler(AOwner) {
    SetStyle(osOffice2003Blue);
    FNotifierWindow = new TThemeNotifierWindow(this);
    for (TComponent* c = AOwner; c; c = c->Owner()) {
        if (auto* windowed = dynamic_cast<TWinControl*>(c)) {
            FNotifierWindow->SetParent(windowed);
            break;
        }
    }
    FNotifierWindow->OnThemeChange = [this](TObject*) { ThemeChanged(); };
}

void TKvxMenuOfficeStyler::SetStyle(TOfficeStyle Value) {
    FStyle = Value;
    int column = kColumn[Value];
    if (column < 0)
        return;
    for (const TColorRow& row : kRows)
        if (row.Values[column] != K)
            row.Put(*this, row.Values[column]);
    if (kRootDirection[column] >= 0)
        RootItem()->SetGradientDirection(static_cast<TGradientDirection>(kRootDirection[column]));
    if (auto* main = Menu() ? dynamic_cast<TKvxMainMenu*>(Menu()->GetMenu()) : nullptr)
        main->RedrawBars();
}

void TKvxMenuOfficeStyler::ThemeChanged() {
    if (!FAutoThemeAdapt)
        return;
    switch (DetectXPColorScheme()) {
    case 1:
        SetStyle(osOffice2003Blue);
        break;
    case 2:
        SetStyle(osOffice2003Olive);
        break;
    case 3:
        SetStyle(osOffice2003Silver);
        break;
    default:
        SetStyle(osOfficeXP);
    }
}

void TKvxMenuOfficeStyler::ApplyStyle(TKVXStyle AStyle) {
    static constexpr int kMap[] = {
        osOffice2003Blue,     osOffice2003Silver, osOffice2003Olive, osOfficeXP, osOffice2007Luna,
        osOffice2007Obsidian, osOfficeXP,         osWhidbey,         -1,         osOffice2007Silver};
    static_assert(std::size(kMap) == tsOffice2007Silver + 1);
    if (kMap[AStyle] >= 0)
        SetStyle(static_cast<TOfficeStyle>(kMap[AStyle]));
}

void TKvxMenuOfficeStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomKvxMenuStyler::Notification(AComponent, Operation);
    // The window goes with its parent form when that form is freed first.
    if (Operation == opRemove && AComponent == FNotifierWindow)
        FNotifierWindow = nullptr;
}

void TKvxMenuOfficeStyler::Loaded() {
    TCustomKvxMenuStyler::Loaded();
    ThemeChanged();
}

} // namespace ui
