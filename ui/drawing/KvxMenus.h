// Office-style owner-drawn menus: the main menu and the popup menu, the menu styler that gives them their
// look (icon column, side bar, background, selection, separators, check and radio boxes, notes under
// captions) and the routines that measure and paint their items.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Graphic.h"
#include "platform/rtl/Component.h"
#include "platform/ui/Menu.h"
#include "platform/ui/TextAlignment.h"
#include "platform/ui/WindowFilter.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxMenuUtil.h"

namespace plat {
class TCustomImageList;
}

namespace ui {

enum TGradientDirection : uint8_t { gdVertical, gdHorizontal };
enum TGradientType : uint8_t { gtLeft, gtRight, gtBoth };
enum TSideBarVisibleIn : uint8_t { viFirstVisible, viFirstLevel, viAnyLevel };
enum TDirection : uint8_t { dDownToUp, dUpToDown };
enum TBackgroundPosition : uint8_t {
    bpTopLeft,
    bpTopRight,
    bpBottomLeft,
    bpBottomRight,
    bpTopCenter,
    bpBottomCenter,
    bpTiled,
    bpStretched,
    bpCenter,
    bpXY,
};

inline constexpr const char* kGradientDirectionNames[] = {"gdVertical", "gdHorizontal"};
static_assert(std::size(kGradientDirectionNames) == gdHorizontal + 1);
inline constexpr const char* kGradientTypeNames[] = {"gtLeft", "gtRight", "gtBoth"};
static_assert(std::size(kGradientTypeNames) == gtBoth + 1);
inline constexpr const char* kSideBarVisibleInNames[] = {"viFirstVisible", "viFirstLevel", "viAnyLevel"};
static_assert(std::size(kSideBarVisibleInNames) == viAnyLevel + 1);
inline constexpr const char* kDirectionNames[] = {"dDownToUp", "dUpToDown"};
static_assert(std::size(kDirectionNames) == dUpToDown + 1);
inline constexpr const char* kBackgroundPositionNames[] = {
    "bpTopLeft",      "bpTopRight", "bpBottomLeft", "bpBottomRight", "bpTopCenter",
    "bpBottomCenter", "bpTiled",    "bpStretched",  "bpCenter",      "bpXY",
};
static_assert(std::size(kBackgroundPositionNames) == bpXY + 1);

class TCustomKvxMenuStyler;

// What the painting code and the stylers need of either menu class. References are not counted: a menu
// lives as long as its component.
class IKvxMenu {
public:
    // Makes open menus re-measure and repaint every item.
    virtual void UpdateItems() = 0;
    virtual plat::TMenu* GetMenu() = 0;
    // The styler the user assigned; null while the internal one is in use.
    virtual TCustomKvxMenuStyler* GetMenuStyler() = 0;
    // Never null while the menu lives.
    virtual TCustomKvxMenuStyler* GetStylerInUse() = 0;
    virtual void SetMenuStyler(TCustomKvxMenuStyler* Value) = 0;
    virtual bool GetShowNotes() = 0;
    virtual void SetShowNotes(bool Value) = 0;
    virtual bool GetIntlKeybShortCuts() = 0;
    virtual void SetIntlKeybShortCuts(bool Value) = 0;
    virtual plat::TCustomImageList* GetDisabledImages() = 0;

protected:
    ~IKvxMenu() = default;
};

// The menu of an item (its parent menu, or for an item without one its owner) as IKvxMenu; null for any
// other menu class.
IKvxMenu* KvxMenuOf(const plat::TMenuItem* Item);

// Called by the styler's setters: with either flag the menu re-measures and repaints its items; a main
// menu also makes sure it watches its form's MDI client. A null menu is ignored.
void RefreshKvxMenu(IKvxMenu* Menu, bool RebuildItems, bool Remeasure);

// ---- Appearance objects ----------------------------------------------------------------------------------

// A colour pair with a direction; the base of most appearance objects. Index 0 is Color, 1 ColorTo.
class TGradientBar : public plat::TPersistent {
    PLAT_CLASS(TGradientBar)
public:
    explicit TGradientBar(IKvxMenu* Menu);
    plat::TColor GetColor(int Index) const;
    void SetColor(int Index, plat::TColor Value);
    plat::TColor Color() const { return FColor[0]; }
    void SetColor(plat::TColor Value) { SetColor(0, Value); }
    plat::TColor ColorTo() const { return FColor[1]; }
    void SetColorTo(plat::TColor Value) { SetColor(1, Value); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { FGradientDirection = Value; }
    IKvxMenu* Menu() const { return FMenu; }
    virtual void SetMenu(IKvxMenu* Value) { FMenu = Value; }
    void Assign(plat::TPersistent* Source) override;

protected:
    void Refresh(bool RebuildItems, bool Remeasure) { RefreshKvxMenu(FMenu, RebuildItems, Remeasure); }
    IKvxMenu* FMenu = nullptr;
    plat::TColor FColor[2] = {0xD8BDAF, plat::clNone};
    TGradientDirection FGradientDirection = gdVertical;
};

// The colours of a check or radio box: fill pair (indexed 0, 1), border and direction.
struct TBoxColors {
    plat::TColor Color[2];
    plat::TColor Border;
    TGradientDirection Direction = gdVertical;
};

// The icon column along the left edge and the boxes of checked items that are not selected.
class TIconBar : public TGradientBar {
    PLAT_CLASS(TIconBar)
public:
    explicit TIconBar(IKvxMenu* Menu);
    plat::TColor GetCheckColor(int Index) const;
    void SetCheckColor(int Index, plat::TColor Value);
    plat::TColor GetRadioColor(int Index) const;
    void SetRadioColor(int Index, plat::TColor Value);
    plat::TColor CheckColor() const { return FCheck.Color[0]; }
    void SetCheckColor(plat::TColor Value) { SetCheckColor(0, Value); }
    plat::TColor CheckColorTo() const { return FCheck.Color[1]; }
    void SetCheckColorTo(plat::TColor Value) { SetCheckColor(1, Value); }
    plat::TColor RadioColor() const { return FRadio.Color[0]; }
    void SetRadioColor(plat::TColor Value) { SetRadioColor(0, Value); }
    plat::TColor RadioColorTo() const { return FRadio.Color[1]; }
    void SetRadioColorTo(plat::TColor Value) { SetRadioColor(1, Value); }
    const TBoxColors& Check() const { return FCheck; }
    const TBoxColors& Radio() const { return FRadio; }
    plat::TColor CheckBorder() const { return FCheck.Border; }
    void SetCheckBorder(plat::TColor Value) { FCheck.Border = Value; }
    TGradientDirection CheckGradientDirection() const { return FCheck.Direction; }
    void SetCheckGradientDirection(TGradientDirection Value) { FCheck.Direction = Value; }
    plat::TColor RadioBorder() const { return FRadio.Border; }
    void SetRadioBorder(plat::TColor Value) { FRadio.Border = Value; }
    TGradientDirection RadioGradientDirection() const { return FRadio.Direction; }
    void SetRadioGradientDirection(TGradientDirection Value) { FRadio.Direction = Value; }
    plat::TColor SeparatorColor() const { return FSeparatorColor; }
    void SetSeparatorColor(plat::TColor Value) { FSeparatorColor = Value; }
    int Size() const { return FSize; }
    // Never below 16: the glyphs need that much.
    void SetSize(int Value);
    void Assign(plat::TPersistent* Source) override;

private:
    TBoxColors FCheck{{0x6FC0FF, plat::clNone}, 0x6F4B4B};
    TBoxColors FRadio{{0x6FC0FF, plat::clNone}, 0x6F4B4B};
    plat::TColor FSeparatorColor = plat::clNone;
    int FSize = 24;
};

// The selected drop-down item, and the boxes of a selected checked item.
class TSelectedItem : public TGradientBar {
    PLAT_CLASS(TSelectedItem)
public:
    explicit TSelectedItem(IKvxMenu* Menu);
    ~TSelectedItem() override;
    plat::TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(plat::TColor Value) { FColorMirror = Value; }
    plat::TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(plat::TColor Value) { FColorMirrorTo = Value; }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value) { FBorderColor = Value; }
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value);
    plat::TFont* NotesFont() const { return FNotesFont.get(); }
    void SetNotesFont(plat::TFont* Value);
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value);
    plat::TColor GetCheckColor(int Index) const;
    void SetCheckColor(int Index, plat::TColor Value);
    plat::TColor GetRadioColor(int Index) const;
    void SetRadioColor(int Index, plat::TColor Value);
    plat::TColor CheckColor() const { return FCheck.Color[0]; }
    void SetCheckColor(plat::TColor Value) { SetCheckColor(0, Value); }
    plat::TColor CheckColorTo() const { return FCheck.Color[1]; }
    void SetCheckColorTo(plat::TColor Value) { SetCheckColor(1, Value); }
    plat::TColor RadioColor() const { return FRadio.Color[0]; }
    void SetRadioColor(plat::TColor Value) { SetRadioColor(0, Value); }
    plat::TColor RadioColorTo() const { return FRadio.Color[1]; }
    void SetRadioColorTo(plat::TColor Value) { SetRadioColor(1, Value); }
    const TBoxColors& Check() const { return FCheck; }
    const TBoxColors& Radio() const { return FRadio; }
    plat::TColor CheckBorder() const { return FCheck.Border; }
    void SetCheckBorder(plat::TColor Value) { FCheck.Border = Value; }
    TGradientDirection CheckGradientDirection() const { return FCheck.Direction; }
    void SetCheckGradientDirection(TGradientDirection Value) { FCheck.Direction = Value; }
    plat::TColor RadioBorder() const { return FRadio.Border; }
    void SetRadioBorder(plat::TColor Value) { FRadio.Border = Value; }
    TGradientDirection RadioGradientDirection() const { return FRadio.Direction; }
    void SetRadioGradientDirection(TGradientDirection Value) { FRadio.Direction = Value; }
    void Assign(plat::TPersistent* Source) override;

private:
    plat::TColor FColorMirror = plat::clNone, FColorMirrorTo = plat::clNone;
    plat::TColor FBorderColor = 0x6F4B4B;
    std::unique_ptr<plat::TFont> FFont, FNotesFont;
    bool FUseSystemFont = true;
    TBoxColors FCheck{{0x3E80FE, plat::clNone}, 0x6F4B4B};
    TBoxColors FRadio{{0x3E80FE, plat::clNone}, 0x6F4B4B};
};

// The bar items of a main menu; the toolbars paint their menu buttons from it too. Hover and selected
// colours are indexed 0-3: colour, colour to, mirror, mirror to.
class TRootItem : public TGradientBar {
    PLAT_CLASS(TRootItem)
public:
    explicit TRootItem(IKvxMenu* Menu);
    ~TRootItem() override;
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value);
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value);
    plat::TColor GetHoverColor(int Index) const;
    void SetHoverColor(int Index, plat::TColor Value);
    plat::TColor GetSelectedColor(int Index) const;
    void SetSelectedColor(int Index, plat::TColor Value);
    plat::TColor SelectedColor() const { return FSelected[0]; }
    void SetSelectedColor(plat::TColor Value) { SetSelectedColor(0, Value); }
    plat::TColor SelectedColorTo() const { return FSelected[1]; }
    void SetSelectedColorTo(plat::TColor Value) { SetSelectedColor(1, Value); }
    plat::TColor SelectedColorMirror() const { return FSelected[2]; }
    void SetSelectedColorMirror(plat::TColor Value) { SetSelectedColor(2, Value); }
    plat::TColor SelectedColorMirrorTo() const { return FSelected[3]; }
    void SetSelectedColorMirrorTo(plat::TColor Value) { SetSelectedColor(3, Value); }
    plat::TColor HoverColor() const { return FHover[0]; }
    void SetHoverColor(plat::TColor Value) { SetHoverColor(0, Value); }
    plat::TColor HoverColorTo() const { return FHover[1]; }
    void SetHoverColorTo(plat::TColor Value) { SetHoverColor(1, Value); }
    plat::TColor HoverColorMirror() const { return FHover[2]; }
    void SetHoverColorMirror(plat::TColor Value) { SetHoverColor(2, Value); }
    plat::TColor HoverColorMirrorTo() const { return FHover[3]; }
    void SetHoverColorMirrorTo(plat::TColor Value) { SetHoverColor(3, Value); }
    TGradientDirection SelectedGradientDirection() const { return FSelectedDirection; }
    void SetSelectedGradientDirection(TGradientDirection Value) { FSelectedDirection = Value; }
    plat::TColor SelectedBorderColor() const { return FSelectedBorderColor; }
    void SetSelectedBorderColor(plat::TColor Value) { FSelectedBorderColor = Value; }
    plat::TColor SelectedTextColor() const { return FSelectedTextColor; }
    void SetSelectedTextColor(plat::TColor Value) { FSelectedTextColor = Value; }
    TGradientDirection HoverGradientDirection() const { return FHoverDirection; }
    void SetHoverGradientDirection(TGradientDirection Value) { FHoverDirection = Value; }
    plat::TColor HoverBorderColor() const { return FHoverBorderColor; }
    void SetHoverBorderColor(plat::TColor Value) { FHoverBorderColor = Value; }
    plat::TColor HoverTextColor() const { return FHoverTextColor; }
    void SetHoverTextColor(plat::TColor Value) { FHoverTextColor = Value; }
    void Assign(plat::TPersistent* Source) override;

private:
    std::unique_ptr<plat::TFont> FFont;
    bool FUseSystemFont = true;
    plat::TColor FSelected[4] = {0xF2E8E8, 0xCDB8B9, plat::clNone, plat::clNone};
    plat::TColor FHover[4] = {0xCFF6FF, 0x9DD8FF, plat::clNone, plat::clNone};
    TGradientDirection FSelectedDirection = gdVertical, FHoverDirection = gdVertical;
    plat::TColor FSelectedBorderColor = 0x947C7C, FSelectedTextColor = plat::clMenuText;
    plat::TColor FHoverBorderColor = 0x6F4B4B, FHoverTextColor = plat::clMenuText;
};

// A gradient with an optional picture: the menu background, the side bar's background and its image.
class TBackground : public TGradientBar {
    PLAT_CLASS(TBackground)
public:
    explicit TBackground(IKvxMenu* Menu);
    ~TBackground() override;
    // A bitmap picture is made transparent (automatic colour) whenever it is read.
    plat::TPicture* Image();
    const plat::TPicture* ImageIfAny() const { return FImage.get(); }
    // Null clears the picture.
    void SetImage(plat::TPicture* Value);
    TBackgroundPosition Position() const { return FPosition; }
    void SetPosition(TBackgroundPosition Value) { FPosition = Value; }
    int OffsetX() const { return FOffsetX; }
    void SetOffsetX(int Value) { FOffsetX = Value; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetY(int Value) { FOffsetY = Value; }
    int MarginX() const { return FMarginX; }
    void SetMarginX(int Value) { FMarginX = Value; }
    int MarginY() const { return FMarginY; }
    void SetMarginY(int Value) { FMarginY = Value; }
    bool HasPicture() const;
    // Renders the background into Rect of the canvas, through its own cache bitmap; with GradientFirst the
    // gradient goes under a picture that does not cover the area.
    void Paint(plat::TCanvas* Canvas, plat::TRect Rect, bool GradientFirst);
    void Assign(plat::TPersistent* Source) override;

private:
    std::unique_ptr<plat::TPicture> FImage;
    std::unique_ptr<plat::TBitmap> FCache;
    TBackgroundPosition FPosition = bpCenter;
    int FOffsetX = 0, FOffsetY = 0, FMarginX = 0, FMarginY = 0;
};

class TSeparator : public TGradientBar {
    PLAT_CLASS(TSeparator)
public:
    explicit TSeparator(IKvxMenu* Menu);
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    TGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TGradientType Value) { FGradientType = Value; }
    int GradientWidth() const { return FGradientWidth; }
    void SetGradientWidth(int Value) { FGradientWidth = Value; }
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; }
    void Assign(plat::TPersistent* Source) override;

private:
    int FWidth = 1;
    TGradientType FGradientType = gtBoth;
    int FGradientWidth = 0, FMargin = 2;
};

// The rotated caption of the side bar.
class TBarCaption : public plat::TPersistent {
    PLAT_CLASS(TBarCaption)
public:
    explicit TBarCaption(IKvxMenu* Menu);
    ~TBarCaption() override;
    plat::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(plat::TAlignment Value) { FAlignment = Value; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value);
    plat::TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(plat::TColor Value) { FShadowColor = Value; }
    int Depth() const { return FDepth; }
    void SetDepth(int Value) { FDepth = Value; }
    TDirection Direction() const { return FDirection; }
    void SetDirection(TDirection Value) { FDirection = Value; }
    int VerticalOffset() const { return FVerticalOffset; }
    IKvxMenu* Menu() const { return FMenu; }
    virtual void SetMenu(IKvxMenu* Value) { FMenu = Value; }
    void Assign(plat::TPersistent* Source) override;

protected:
    IKvxMenu* FMenu = nullptr;

private:
    std::string FCaption;
    std::unique_ptr<plat::TFont> FFont;
    int FVerticalOffset = 6;
    TDirection FDirection = dDownToUp;
    plat::TColor FShadowColor = plat::clNone;
    int FDepth = 1;
    plat::TAlignment FAlignment = plat::taLeftJustify;
};

class TSideBar : public TBarCaption {
    PLAT_CLASS(TSideBar)
public:
    explicit TSideBar(IKvxMenu* Menu);
    ~TSideBar() override;
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TSideBarVisibleIn VisibleIn() const { return FVisibleIn; }
    void SetVisibleIn(TSideBarVisibleIn Value) { FVisibleIn = Value; }
    TBackground* Image() const { return FImage.get(); }
    void SetImage(TBackground* Value);
    TBackground* Background() const { return FBackground.get(); }
    void SetBackground(TBackground* Value);
    int Size() const { return FSize; }
    void SetSize(int Value) { FSize = Value; }
    plat::TColor SplitterColor() const { return FSplitterColor; }
    void SetSplitterColor(plat::TColor Value) { FSplitterColor = Value; }
    plat::TColor SplitterColorTo() const { return FSplitterColorTo; }
    void SetSplitterColorTo(plat::TColor Value) { FSplitterColorTo = Value; }
    int SplitterWidth() const { return FSplitterWidth; }
    void SetSplitterWidth(int Value) { FSplitterWidth = Value; }
    int SplitterMargin() const { return FSplitterMargin; }
    void SetSplitterMargin(int Value) { FSplitterMargin = Value; }
    int SplitterGradientWidth() const { return FSplitterGradientWidth; }
    void SetSplitterGradientWidth(int Value) { FSplitterGradientWidth = Value; }
    TGradientType SplitterGradientType() const { return FSplitterGradientType; }
    void SetSplitterGradientType(TGradientType Value) { FSplitterGradientType = Value; }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value) { FBorderColor = Value; }
    void Assign(plat::TPersistent* Source) override;

private:
    bool FVisible = false;
    TSideBarVisibleIn FVisibleIn = viFirstVisible;
    // Made before the side bar knows its menu; attaching a styler does not reach them.
    std::unique_ptr<TBackground> FImage, FBackground;
    int FSize = 24;
    plat::TColor FSplitterColor = 0x808080, FSplitterColorTo = 0;
    int FSplitterWidth = 1, FSplitterMargin = 0, FSplitterGradientWidth = 0;
    TGradientType FSplitterGradientType = gtBoth;
    plat::TColor FBorderColor = 0xA19D9D;
};

// The check, radio and sub-menu arrow pictures.
class TMenuGlyphs : public plat::TPersistent {
    PLAT_CLASS(TMenuGlyphs)
public:
    explicit TMenuGlyphs(IKvxMenu* Menu);
    ~TMenuGlyphs() override;
    plat::TBitmap* SubMenu() const { return FSubMenu.get(); }
    void SetSubMenu(plat::TBitmap* Value);
    plat::TBitmap* Check() const { return FCheck.get(); }
    void SetCheck(plat::TBitmap* Value);
    plat::TBitmap* Radio() const { return FRadio.get(); }
    void SetRadio(plat::TBitmap* Value);
    IKvxMenu* Menu() const { return FMenu; }
    void SetMenu(IKvxMenu* Value) { FMenu = Value; }
    void Assign(plat::TPersistent* Source) override;

private:
    void Put(std::unique_ptr<plat::TBitmap>& Glyph, plat::TBitmap* Value);
    IKvxMenu* FMenu = nullptr;
    std::unique_ptr<plat::TBitmap> FSubMenu, FCheck, FRadio;
};

// Colours and caption font of buttons that live in menus (not the toolbar class of the same name).
class TButtonAppearance : public plat::TPersistent {
    PLAT_CLASS(TButtonAppearance)
public:
    TButtonAppearance();
    ~TButtonAppearance() override;
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value) { Change(FColor, Value); }
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value) { Change(FColorTo, Value); }
    plat::TColor HoverColor() const { return FHoverColor; }
    void SetHoverColor(plat::TColor Value) { Change(FHoverColor, Value); }
    plat::TColor HoverColorTo() const { return FHoverColorTo; }
    void SetHoverColorTo(plat::TColor Value) { Change(FHoverColorTo, Value); }
    plat::TColor DownColor() const { return FDownColor; }
    void SetDownColor(plat::TColor Value) { Change(FDownColor, Value); }
    plat::TColor DownColorTo() const { return FDownColorTo; }
    void SetDownColorTo(plat::TColor Value) { Change(FDownColorTo, Value); }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value) { Change(FBorderColor, Value); }
    plat::TColor DownBorderColor() const { return FDownBorderColor; }
    void SetDownBorderColor(plat::TColor Value) { FDownBorderColor = Value; }
    plat::TColor HoverBorderColor() const { return FHoverBorderColor; }
    void SetHoverBorderColor(plat::TColor Value) { FHoverBorderColor = Value; }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value);
    plat::TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(plat::TFont* Value);
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value);
    void Assign(plat::TPersistent* Source) override;

    plat::TNotifyEvent OnChange;

private:
    void Change(plat::TColor& Field, plat::TColor Value);
    void Changed();
    plat::TColor FHoverColor = 0xD2BDB6, FColorTo = plat::clNone, FColor = plat::clNone;
    plat::TColor FHoverColorTo = plat::clNone, FDownColorTo = plat::clNone, FDownColor = 0xB59285;
    plat::TColor FDownBorderColor = 0x6A240A, FBorderColor = plat::clNone, FHoverBorderColor = 0x6A240A;
    TGradientDirection FGradientDirection = gdVertical;
    std::unique_ptr<plat::TFont> FCaptionFont;
    bool FUseSystemFont = true;
};

// ---- Stylers
// -----------------------------------------------------------------------------------------------

class TCustomKvxMenuStyler : public plat::TComponent {
    PLAT_CLASS(TCustomKvxMenuStyler)
public:
    explicit TCustomKvxMenuStyler(plat::TComponent* AOwner);
    ~TCustomKvxMenuStyler() override;

    TSideBar* SideBar() const { return FSideBar.get(); }
    void SetSideBar(TSideBar* Value);
    TBackground* Background() const { return FBackground.get(); }
    void SetBackground(TBackground* Value);
    TIconBar* IconBar() const { return FIconBar.get(); }
    void SetIconBar(TIconBar* Value);
    TSelectedItem* SelectedItem() const { return FSelectedItem.get(); }
    void SetSelectedItem(TSelectedItem* Value);
    TRootItem* RootItem() const { return FRootItem.get(); }
    void SetRootItem(TRootItem* Value);
    TMenuGlyphs* Glyphs() const { return FGlyphs.get(); }
    void SetGlyphs(TMenuGlyphs* Value);
    TSeparator* Separator() const { return FSeparator.get(); }
    void SetSeparator(TSeparator* Value);
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value);
    plat::TFont* NotesFont() const { return FNotesFont.get(); }
    void SetNotesFont(plat::TFont* Value);
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value);
    plat::TColor MenuBorderColor() const { return FMenuBorderColor; }
    void SetMenuBorderColor(plat::TColor Value) { FMenuBorderColor = Value; }
    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    TButtonAppearance* ButtonAppearance() const { return FButtonAppearance.get(); }
    void SetButtonAppearance(TButtonAppearance* Value);

    // The menu that paints with this styler (null: none); the appearance objects learn it too.
    IKvxMenu* Menu() const { return FMenu; }
    void AttachMenu(IKvxMenu* Value);
    // The background picture rendered at the size of the open drop-down.
    plat::TBitmap* CacheBitmap() const { return FCache.get(); }

    void Assign(plat::TPersistent* Source) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    bool FUseSystemFont = true;
    std::unique_ptr<TSeparator> FSeparator;
    std::unique_ptr<TBackground> FBackground;
    std::unique_ptr<plat::TFont> FFont;
    std::unique_ptr<TIconBar> FIconBar;
    std::unique_ptr<TMenuGlyphs> FGlyphs;
    std::unique_ptr<TRootItem> FRootItem;
    std::unique_ptr<TSelectedItem> FSelectedItem;
    std::unique_ptr<TSideBar> FSideBar;
    plat::TColor FMenuBorderColor = 0x7C7C94;
    IKvxMenu* FMenu = nullptr;
    std::unique_ptr<plat::TBitmap> FCache;
    std::unique_ptr<plat::TFont> FNotesFont;
    TAntiAlias FAntiAlias = aaNone;
    std::unique_ptr<TButtonAppearance> FButtonAppearance;
};

// The styler as the form designer shows it.
class TKvxMenuStyler : public TCustomKvxMenuStyler {
    PLAT_CLASS(TKvxMenuStyler)
public:
    explicit TKvxMenuStyler(plat::TComponent* AOwner) : TCustomKvxMenuStyler(AOwner) {}
};

// ---- Menus
// -------------------------------------------------------------------------------------------------

// The styler bookkeeping both menus share: an internal styler until one is assigned, a fresh internal
// one when the assigned styler goes.
class TKvxMenuCore {
public:
    // Self is the menu; MainMenu picks the class of the internal styler.
    TKvxMenuCore(plat::TMenu* Menu, IKvxMenu* Self, bool MainMenu);
    // Called from the menu's constructor and destructor, while the menu is whole.
    void Start();
    void Stop();
    void SetMenuStyler(TCustomKvxMenuStyler* Value);
    // The menu's removal notification: the assigned styler going makes way for an internal one.
    void ComponentGone(plat::TComponent* AComponent);
    // After loading: an internal styler that a streamed assignment replaced is not needed.
    void DropUnusedInternal();
    TCustomKvxMenuStyler* Assigned() const { return FAssigned; }
    TCustomKvxMenuStyler* InUse() const { return FInUse; }
    // Runs after a styler was attached (the main menu follows its font from there).
    std::function<void(TCustomKvxMenuStyler*)> OnAttached;

private:
    void MakeInternal();
    void Attach();
    void Detach(TCustomKvxMenuStyler* Styler);
    plat::TMenu* FMenu;
    IKvxMenu* FSelf;
    bool FMainMenu;
    TCustomKvxMenuStyler* FAssigned = nullptr;
    TCustomKvxMenuStyler* FInternal = nullptr;
    TCustomKvxMenuStyler* FInUse = nullptr;
};

class TKvxMainMenu : public plat::TMainMenu, public IKvxMenu {
    PLAT_CLASS(TKvxMainMenu)
public:
    explicit TKvxMainMenu(plat::TComponent* AOwner);
    ~TKvxMainMenu() override;

    virtual uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}
    TCustomKvxMenuStyler* MenuStyler() const { return FCore.Assigned(); }
    plat::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(plat::TCustomImageList* Value);
    bool ShowNotes() const { return FShowNotes; }
    bool IntlKeybShortCuts() const { return FIntlKeybShortCuts; }
    // True while the window list is being rebuilt.
    bool Updating() const { return FUpdating; }

    // IKvxMenu
    void UpdateItems() override { plat::TMainMenu::UpdateItems(); }
    plat::TMenu* GetMenu() override { return this; }
    TCustomKvxMenuStyler* GetMenuStyler() override { return FCore.Assigned(); }
    TCustomKvxMenuStyler* GetStylerInUse() override { return FCore.InUse(); }
    void SetMenuStyler(TCustomKvxMenuStyler* Value) override { FCore.SetMenuStyler(Value); }
    bool GetShowNotes() override { return FShowNotes; }
    void SetShowNotes(bool Value) override;
    bool GetIntlKeybShortCuts() override { return FIntlKeybShortCuts; }
    void SetIntlKeybShortCuts(bool Value) override;
    plat::TCustomImageList* GetDisabledImages() override { return FDisabledImages; }

    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void MenuChanged(plat::TObject* Sender, plat::TMenuItem* Source, bool Rebuild) override;

    // Repaints the menu bars that show the menu.
    void RedrawBars() { plat::TMainMenu::MenuChanged(this, nullptr, false); }
    // Watches the MDI client of the menu's form so that its window list is ours.
    void WatchMdiClient();
    // The MDI client's answer to the refresh-menu message.
    plat::LRESULT RefreshWindowList(plat::HWND Client);

private:
    void BeginUpdate();
    void EndUpdate();
    TKvxMenuCore FCore;
    bool FShowNotes = true;
    bool FUpdating = false;
    int FUpdateCount = 0;
    // The MDI client of the menu's form, whose refresh-menu message builds our window list.
    plat::TWindowSubclass FMdiFilter;
    plat::TCustomImageList* FDisabledImages = nullptr;
    bool FIntlKeybShortCuts = false;
};

class TKvxPopupMenu : public plat::TPopupMenu, public IKvxMenu {
    PLAT_CLASS(TKvxPopupMenu)
public:
    explicit TKvxPopupMenu(plat::TComponent* AOwner);
    ~TKvxPopupMenu() override;

    virtual uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}
    TCustomKvxMenuStyler* MenuStyler() const { return FCore.Assigned(); }
    plat::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(plat::TCustomImageList* Value);
    bool ShowNotes() const { return FShowNotes; }
    bool IntlKeybShortCuts() const { return FIntlKeybShortCuts; }

    void Popup(int X, int Y) override;
    virtual void PopupAtPoint(plat::TPoint P) { Popup(P.X, P.Y); }

    // IKvxMenu
    void UpdateItems() override { plat::TPopupMenu::UpdateItems(); }
    plat::TMenu* GetMenu() override { return this; }
    TCustomKvxMenuStyler* GetMenuStyler() override { return FCore.Assigned(); }
    TCustomKvxMenuStyler* GetStylerInUse() override { return FCore.InUse(); }
    void SetMenuStyler(TCustomKvxMenuStyler* Value) override { FCore.SetMenuStyler(Value); }
    bool GetShowNotes() override { return FShowNotes; }
    void SetShowNotes(bool Value) override;
    bool GetIntlKeybShortCuts() override { return FIntlKeybShortCuts; }
    void SetIntlKeybShortCuts(bool Value) override;
    plat::TCustomImageList* GetDisabledImages() override { return FDisabledImages; }

    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void MenuChanged(plat::TObject* Sender, plat::TMenuItem* Source, bool Rebuild) override;

private:
    TKvxMenuCore FCore;
    bool FShowNotes = true;
    plat::TCustomImageList* FDisabledImages = nullptr;
    bool FIntlKeybShortCuts = false;
};

// ---- Routines
// ----------------------------------------------------------------------------------------------

// The frame of a drop-down of the menu: border colour outside, background colour inside, open towards
// the bar item that dropped it.
void DrawKvxDropDownFrame(IKvxMenu* Menu, plat::TMenuItem* Parent, plat::TCanvas* Canvas,
                          const plat::TRect& Bounds);

// Gives every item under Item (Item included) the measuring and painting handlers, leaving handlers of the
// user's own in place.
void HookKvxMenuItems(IKvxMenu* Menu, plat::TMenuItem* Item);

// "Ctrl+S", "Win+Ctrl+S"; with International the keyboard's own key names, modifiers Alt, Ctrl, Shift.
std::string MenuShortCutText(plat::TShortCut ShortCut, bool International);

// Whether the side bar shows beside the item (before column breaks are considered).
bool SideBarShownFor(const plat::TMenuItem* Item);

void MeasureKvxMenuItem(plat::TMenuItem* Item, plat::TCanvas* Canvas, int& Width, int& Height,
                        bool SideBarShown);
void DrawKvxMenuItem(plat::TMenuItem* Item, plat::TCanvas* Canvas, plat::TRect Rect, bool SideBarShown,
                     plat::TOwnerDrawState State);

// Draws, or with DT_CALCRECT measures into Rect, a caption with its note lines.
void DrawMenuCaption(plat::TMenuItem* Item, plat::TCanvas* Canvas, const std::string& Text, uint32_t Format,
                     plat::TOwnerDrawState State, plat::TRect& Rect);

// Fills, colours interpolated per channel from Color to ColorTo (clNone: Color alone).
void DrawGradient(plat::TCanvas* Canvas, const plat::TRect& R, TGradientDirection Direction,
                  plat::TColor ColorTo, plat::TColor Color);
// The part of the gradient over Full that falls inside Clip.
void DrawClippedGradient(plat::TCanvas* Canvas, const plat::TRect& Full, TGradientDirection Direction,
                         plat::TColor ColorTo, plat::TColor Color, const plat::TRect& Clip);
void DrawGradientBox(plat::TCanvas* Canvas, const plat::TRect& R, bool Fill, plat::TColor Border,
                     TGradientDirection Direction, plat::TColor ColorTo, plat::TColor Color);
void DrawMirrorBox(plat::TCanvas* Canvas, const plat::TRect& R, bool Fill, plat::TColor Border,
                   TGradientDirection Direction, plat::TColor MirrorTo, plat::TColor Mirror,
                   plat::TColor ColorTo, plat::TColor Color);
void DrawGradientLine(plat::TCanvas* Canvas, plat::TRect R, int Margin, int GradientWidth, TGradientType Type,
                      TGradientDirection Direction, plat::TColor ColorTo, plat::TColor Color);

// The system-wide menu animation is off while the menus are in use; Restore puts back what Disable found.
void DisableMenuAnimation();
void RestoreMenuAnimation();

} // namespace ui
