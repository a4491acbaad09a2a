// The look of the docking toolbar family in one component: dock panels, toolbars, their containers and
// the ribbon pager read their colours, fonts and pictures from the styler they use at paint time, and the
// styler passes a change code to each of them when something changes. Every such control keeps a private
// styler ("InternalStyler") until a styler component is assigned; the office styler adds built-in colour
// sets chosen by the suite style.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Component.h"
#include "platform/ui/Control.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/drawing/KvxStyleIF.h"
#include "ui/drawing/KvxThemeNotifier.h"
#include "ui/toolbars/KvxToolBarRecords.h"

namespace ui::toolbar {

class TCustomKvxToolBarStyler;

enum TBackGroundDisplay : uint8_t { bdTile, bdCenter, bdStretch };
inline constexpr const char* kBackGroundDisplayNames[] = {"bdTile", "bdCenter", "bdStretch"};
static_assert(std::size(kBackGroundDisplayNames) == bdStretch + 1);

enum TDragGripStyle : uint8_t { dsDots, dsSingleLine, dsDoubleLine, dsFlatDots, dsNone };
inline constexpr const char* kDragGripStyleNames[] = {"dsDots", "dsSingleLine", "dsDoubleLine", "dsFlatDots",
                                                      "dsNone"};
static_assert(std::size(kDragGripStyleNames) == dsNone + 1);

// The first ten values follow TKVXStyle's order, so the suite style maps by ordinal.
enum TToolBarStyle : uint8_t {
    bsOffice2003Blue,
    bsOffice2003Silver,
    bsOffice2003Olive,
    bsOffice2003Classic,
    bsOffice2007Luna,
    bsOffice2007Obsidian,
    bsWindowsXP,
    bsWhidbeyStyle,
    bsCustom,
    bsOffice2007Silver,
    bsOfficeXP,
};
inline constexpr const char* kToolBarStyleNames[] = {
    "bsOffice2003Blue", "bsOffice2003Silver",   "bsOffice2003Olive", "bsOffice2003Classic",
    "bsOffice2007Luna", "bsOffice2007Obsidian", "bsWindowsXP",       "bsWhidbeyStyle",
    "bsCustom",         "bsOffice2007Silver",   "bsOfficeXP",
};
static_assert(std::size(kToolBarStyleNames) == bsOfficeXP + 1);
static_assert(bsOffice2007Silver == static_cast<int>(tsOffice2007Silver) &&
              bsCustom == static_cast<int>(tsCustom));

// What the styler tells its clients. The codes say what changed; 3, 8 and 9 are not used.
enum TStylerChange : int {
    scBackGround = 1,  // background picture, its display, the font
    scColors = 2,      // colours, captions, frame; the end of every preset
    scContainer = 4,   // container appearance
    scDragGrip = 5,    // grip style: the toolbar lays itself out again
    scMenuStyler = 6,  // the menu styler in use
    scGlowButtons = 7, // glow button appearances
    scPagerTabs = 10,  // tab, page and group appearances
    scPagerCaption = 11,
    scQuickAccess = 12,
};

// A control that paints with a toolbar styler (a dock panel, toolbar or toolbar pager). It registers with
// the styler it uses and unregisters when it takes another or is destroyed.
class IToolBarStylerClient {
public:
    virtual void StylerChanged(int Code) = 0;
    // The styler the client uses is going away: the client goes back to its own internal styler.
    virtual void StylerDestroyed(TCustomKvxToolBarStyler* Styler) = 0;
    // A toolbar shown compacted in a popup hands the popup's toolbar, which hears each code first.
    virtual IToolBarStylerClient* CompactStylerClient() { return nullptr; }

protected:
    ~IToolBarStylerClient() = default;
};

// A control that paints with a toolbar styler: the assigned one or its own internal one. The status bar
// reads a toolbar pager's caption colour through it.
class IToolBarStylerUser {
public:
    virtual TCustomKvxToolBarStyler* CurrentToolBarStyler() const = 0;

protected:
    ~IToolBarStylerUser() = default;
};

// What the office status bar asks of the toolbar family: whether its parent is the family's office
// form (TKvxToolBarForm), and the caption text colour of the last toolbar pager on that form. Until those
// classes exist, no form is one and no pager answers.
bool IsToolBarForm(const plat::TWinControl* Control);
bool PagerCaptionTextColor(const plat::TWinControl* Form, plat::TColor& Colour);

class TCustomKvxToolBarStyler : public plat::TComponent {
    PLAT_CLASS(TCustomKvxToolBarStyler)
public:
    explicit TCustomKvxToolBarStyler(plat::TComponent* AOwner);
    // Clients still registered go back to their internal stylers, so none keeps a dangling styler.
    ~TCustomKvxToolBarStyler() override;

    void Assign(plat::TPersistent* Source) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    // Appends the control (no duplicate check: registered twice, told twice) and returns its index.
    int RegisterStylerClient(plat::TControl* Control);
    // Removes the first occurrence.
    void UnregisterStylerClient(plat::TControl* Control);
    void NotifyStylerClients(int Code);
    const TDbgList<plat::TControl>& Clients() const { return FClients; }

    TCustomKvxMenuStyler* KvxMenuStyler() const { return FKvxMenuStyler; }
    // Always notifies.
    void SetKvxMenuStyler(TCustomKvxMenuStyler* Value);
    // The assigned menu styler, else the internal one.
    TCustomKvxMenuStyler* CurrentMenuStyler() const { return FCurrentMenuStyler; }
    TKvxMenuStyler* InternalMenuStyler() const { return FInternalMenuStyler; }

    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    plat::TBitmap* BackGround() const { return FBackGround.get(); }
    void SetBackGround(plat::TBitmap* Value);
    bool BackGroundTransparent() const { return FBackGroundTransparent; }
    void SetBackGroundTransparent(bool Value) { Store(FBackGroundTransparent, Value, scBackGround); }
    TBackGroundDisplay BackGroundDisplay() const { return FBackGroundDisplay; }
    void SetBackGroundDisplay(TBackGroundDisplay Value) { Store(FBackGroundDisplay, Value, scBackGround); }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value) { Store(FBorderColor, Value, scColors); }
    plat::TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(plat::TColor Value) { Store(FBorderColorHot, Value, scColors); }
    TButtonAppearance* ButtonAppearance() const { return FButtonAppearance.get(); }
    void SetButtonAppearance(TButtonAppearance* Value) { FButtonAppearance->Assign(Value); }
    TCaptionAppearance* CaptionAppearance() const { return FCaptionAppearance.get(); }
    void SetCaptionAppearance(TCaptionAppearance* Value) { FCaptionAppearance->Assign(Value); }
    plat::TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(plat::TFont* Value);
    TContainerAppearance* ContainerAppearance() const { return FContainerAppearance.get(); }
    void SetContainerAppearance(TContainerAppearance* Value) { FContainerAppearance->Assign(Value); }
    TVistaGradientBackground* Color() const { return FColor.get(); }
    void SetColor(TVistaGradientBackground* Value) { FColor->Assign(Value); }
    TVistaGradientBackground* ColorHot() const { return FColorHot.get(); }
    void SetColorHot(TVistaGradientBackground* Value) { FColorHot->Assign(Value); }
    TGlowButtonAppearance* CompactGlowButtonAppearance() const { return FCompactGlowButtonAppearance.get(); }
    void SetCompactGlowButtonAppearance(TGlowButtonAppearance* Value) {
        FCompactGlowButtonAppearance->Assign(Value);
    }
    TGradientBackground* DockColor() const { return FDockColor.get(); }
    void SetDockColor(TGradientBackground* Value) { FDockColor->Assign(Value); }
    TDragGripStyle DragGripStyle() const { return FDragGripStyle; }
    void SetDragGripStyle(TDragGripStyle Value) { Store(FDragGripStyle, Value, scDragGrip); }
    plat::TBitmap* DragGripImage() const { return FDragGripImage.get(); }
    void SetDragGripImage(plat::TBitmap* Value) { FDragGripImage->Assign(Value); }
    plat::TColor FloatingWindowBorderColor() const { return FFloatingWindowBorderColor; }
    void SetFloatingWindowBorderColor(plat::TColor Value) {
        Store(FFloatingWindowBorderColor, Value, scColors);
    }
    int FloatingWindowBorderWidth() const { return FFloatingWindowBorderWidth; }
    void SetFloatingWindowBorderWidth(int Value) { Store(FFloatingWindowBorderWidth, Value, scColors); }
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value);
    TGlowButtonAppearance* GlowButtonAppearance() const { return FGlowButtonAppearance.get(); }
    void SetGlowButtonAppearance(TGlowButtonAppearance* Value) { FGlowButtonAppearance->Assign(Value); }
    TGroupAppearance* GroupAppearance() const { return FGroupAppearance.get(); }
    void SetGroupAppearance(TGroupAppearance* Value) { FGroupAppearance->Assign(Value); }
    TVistaPageBackground* PageAppearance() const { return FPageAppearance.get(); }
    void SetPageAppearance(TVistaPageBackground* Value) { FPageAppearance->Assign(Value); }
    TVistaTextBackground* PagerCaption() const { return FPagerCaption.get(); }
    void SetPagerCaption(TVistaTextBackground* Value) { FPagerCaption->Assign(Value); }
    TQATAppearance* QATAppearance() const { return FQATAppearance.get(); }
    void SetQATAppearance(TQATAppearance* Value) { FQATAppearance->Assign(Value); }
    plat::TBitmap* RightHandleImage() const { return FRightHandleImage.get(); }
    void SetRightHandleImage(plat::TBitmap* Value);
    plat::TColor RightHandleColor() const { return FRightHandleColor; }
    void SetRightHandleColor(plat::TColor Value) { Store(FRightHandleColor, Value, scColors); }
    plat::TColor RightHandleColorTo() const { return FRightHandleColorTo; }
    void SetRightHandleColorTo(plat::TColor Value) { Store(FRightHandleColorTo, Value, scColors); }
    plat::TColor RightHandleColorHot() const { return FRightHandleColorHot; }
    void SetRightHandleColorHot(plat::TColor Value) { Store(FRightHandleColorHot, Value, scColors); }
    plat::TColor RightHandleColorHotTo() const { return FRightHandleColorHotTo; }
    void SetRightHandleColorHotTo(plat::TColor Value) { Store(FRightHandleColorHotTo, Value, scColors); }
    plat::TColor RightHandleColorDown() const { return FRightHandleColorDown; }
    void SetRightHandleColorDown(plat::TColor Value) { Store(FRightHandleColorDown, Value, scColors); }
    plat::TColor RightHandleColorDownTo() const { return FRightHandleColorDownTo; }
    void SetRightHandleColorDownTo(plat::TColor Value) { Store(FRightHandleColorDownTo, Value, scColors); }
    TTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(TTabAppearance* Value) { FTabAppearance->Assign(Value); }
    bool SystemFont() const { return FSystemFont; }
    // Switching it on renames Font and CaptionFont to the system face; nobody is told.
    void SetSystemFont(bool Value);

    // Settings no form file stores.
    bool RoundedFrame() const { return FRoundedFrame; }
    // Always notifies.
    void SetRoundedFrame(bool Value);
    uint8_t FrameBevel() const { return FFrameBevel; }
    void SetFrameBevel(uint8_t Value) { Store(FFrameBevel, Value, scColors); }
    bool ShowFrameBevel() const { return FShowFrameBevel; }
    void SetShowFrameBevel(bool Value) { Store(FShowFrameBevel, Value, scColors); }
    // The suite style toolbars pass on to the styleable controls they hold; tsCustom passes nothing.
    TKVXStyle ChildStyle() const { return FChildStyle; }
    bool WideQATInset() const { return FWideQATInset; }

protected:
    template <class T> void Store(T& Field, T Value, int Code) {
        if (Field == Value)
            return;
        Field = Value;
        NotifyStylerClients(Code);
    }

    TDbgList<plat::TControl> FClients;
    TKVXStyle FChildStyle = tsOffice2003Blue;
    bool FWideQATInset = false;
    bool FAutoThemeAdapt = false;

private:
    std::unique_ptr<plat::TBitmap> FBackGround;
    std::unique_ptr<plat::TFont> FFont;
    std::unique_ptr<plat::TBitmap> FDragGripImage;
    std::unique_ptr<plat::TBitmap> FRightHandleImage;
    bool FBackGroundTransparent = true;
    TBackGroundDisplay FBackGroundDisplay = bdTile;
    TDragGripStyle FDragGripStyle = dsDots;
    bool FRoundedFrame = true;
    plat::TColor FRightHandleColor = 0x9E9E9E;
    // No preset has run on an internal styler: a solid face reads better than a gradient to black.
    plat::TColor FRightHandleColorTo = plat::clNone;
    plat::TColor FRightHandleColorHot = 0xD2BDB6;
    plat::TColor FRightHandleColorHotTo = plat::clNone;
    plat::TColor FRightHandleColorDown = 0x76C1FF;
    plat::TColor FRightHandleColorDownTo = 0x2DA0FF;
    plat::TColor FFloatingWindowBorderColor = 0x6D6D6D;
    int FFloatingWindowBorderWidth = 2;
    std::unique_ptr<TCaptionAppearance> FCaptionAppearance;
    uint8_t FFrameBevel = 0;
    bool FShowFrameBevel = false;
    std::unique_ptr<TVistaGradientBackground> FColor;
    std::unique_ptr<TGradientBackground> FDockColor;
    std::unique_ptr<TButtonAppearance> FButtonAppearance;
    TKvxMenuStyler* FInternalMenuStyler = nullptr; // owned as a component
    TCustomKvxMenuStyler* FKvxMenuStyler = nullptr;
    TCustomKvxMenuStyler* FCurrentMenuStyler = nullptr;
    plat::TColor FBorderColor = plat::clNone;
    plat::TColor FBorderColorHot = plat::clNone;
    std::unique_ptr<TVistaGradientBackground> FColorHot;
    std::unique_ptr<plat::TFont> FCaptionFont;
    std::unique_ptr<TContainerAppearance> FContainerAppearance;
    std::unique_ptr<TGlowButtonAppearance> FGlowButtonAppearance;
    std::unique_ptr<TGlowButtonAppearance> FCompactGlowButtonAppearance;
    std::unique_ptr<TVistaTextBackground> FPagerCaption;
    std::unique_ptr<TTabAppearance> FTabAppearance;
    std::unique_ptr<TVistaPageBackground> FPageAppearance;
    std::unique_ptr<TGroupAppearance> FGroupAppearance;
    std::unique_ptr<TQATAppearance> FQATAppearance;
    bool FSystemFont = true;
};

class TKvxToolBarOfficeStyler : public TCustomKvxToolBarStyler, public IStyleable {
    PLAT_CLASS(TKvxToolBarOfficeStyler)
public:
    explicit TKvxToolBarOfficeStyler(plat::TComponent* AOwner);
    ~TKvxToolBarOfficeStyler() override;

    TToolBarStyle Style() const { return FStyle; }
    // Writes the style's colour set (bsCustom keeps every colour), then tells the clients once more. The
    // current value again does nothing.
    void SetStyle(TToolBarStyle Value);
    // The suite style, by ordinal.
    void ApplyStyle(TKVXStyle Value) override { SetStyle(static_cast<TToolBarStyle>(Value)); }
    // Picks the style from the desktop's colour scheme when AutoThemeAdapt is on.
    void ApplyAutoThemeStyle();
    static void ApplySystemFontName(plat::TFont* Font, bool Enabled);
    TThemeNotifierWindow* NotifierWindow() const { return FNotifierWindow; }

    void Loaded() override;

private:
    TToolBarStyle FStyle = bsOffice2003Blue;
    TThemeNotifierWindow* FNotifierWindow = nullptr;
};

} // namespace ui::toolbar

namespace ui {
using toolbar::IToolBarStylerClient;
using toolbar::TCustomKvxToolBarStyler;
using toolbar::TKvxToolBarOfficeStyler;
using toolbar::TToolBarStyle;
} // namespace ui
