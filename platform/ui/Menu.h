// Menus: the main menu a form shows as its menu bar, popup (context) menus, and their items (captions
// with '&' accelerators, shortcuts, check marks and radio groups, images, sub-menus, owner drawing).
// Open menus are popup windows tracked in a loop of their own with full keyboard and mouse navigation.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/ActionList.h"
#include "platform/ui/Messages.h"
#include "platform/ui/OwnerDrawState.h"

namespace plat {

class TBitmap;
class TCustomImageList;
class TCustomForm;
class TMenu;
class TMenuItem;

// ---- Shortcuts -----------------------------------------------------------------------------------------

TShortCut ShortCut(uint16_t Key, uint16_t Shift); // Shift: ssShift, ssCtrl, ssAlt bits of TShiftState
void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, uint16_t& Shift);
// "Ctrl+S", "Shift+Ctrl+F5", "Alt+Enter"; empty for none.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText (without case); scNone for text it does not know.
TShortCut TextToShortCut(const std::string& Text);
// The caption without its '&' marks ("&&" stays one '&').
std::string StripHotkey(const std::string& Caption);

// ---- Owner drawing -------------------------------------------------------------------------------------

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuChangeEvent = std::function<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TMenuItemAutoFlag { maAutomatic, maManual, maParent };
enum TPopupAlignment { paLeft, paRight, paCenter };

// ---- Items ---------------------------------------------------------------------------------------------

class TMenuItem : public TComponent {
    PLAT_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    void BeforeDestruction() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group among its siblings.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Made on first use; an empty bitmap shows nothing.
    TBitmap* Bitmap();
    bool HasBitmap() const;
    void SetBitmap(TBitmap* Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    TMenuItemAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
    void SetAutoLineReduction(TMenuItemAutoFlag Value) { FAutoLineReduction = Value; }
    // The images of the item's sub-menu (instead of the menu's).
    TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(TCustomImageList* Value);
    // The action the item follows (caption, shortcut, state, image) and runs when clicked.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);

    // ---- The tree ----
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    void Add(TMenuItem* Item);
    // Raises EMenuError "Menu inserted twice" for an item that has a parent already.
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out without freeing it.
    void Remove(TMenuItem* Item);
    // Frees the item at Index, or all of them.
    void Delete(int Index);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The direct child with that caption (without '&' and case).
    TMenuItem* Find(const std::string& ACaption) const;
    // The menu the item belongs to (through its parents), or null.
    TMenu* GetParentMenu() const;
    // A separator ("-").
    bool IsLine() const { return FCaption == "-"; }
    // The image list the item draws from: its parent's sub-menu images, else the menu's.
    TCustomImageList* GetImageList() const;

    // Runs the action or OnClick (AutoCheck toggles first).
    virtual void Click();
    // Brings the linked action up to date.
    void InitiateAction();

    // ---- Painting (override to restyle; the events below win over them) ----
    // Width and Height come in as the default size; TopLevel for items of a menu bar.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height, bool TopLevel);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    // ---- Streaming ----
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // The classic look of an item.
    virtual void DrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);
    // Tells the menu that the item changed (Rebuild: the tree or the sizes changed).
    void MenuChanged(bool Rebuild);

private:
    friend class TMenu;
    friend class TMenuItemActionLink;
    void TurnSiblingsOff();
    std::string FCaption, FHint;
    TShortCut FShortCut = scNone;
    bool FChecked = false, FRadioItem = false, FEnabled = true, FVisible = true, FDefault = false;
    bool FAutoCheck = false;
    int FGroupIndex = 0, FImageIndex = -1;
    TMenuBreak FBreak = mbNone;
    TMenuItemAutoFlag FAutoLineReduction = maParent;
    std::unique_ptr<TBitmap> FBitmap;
    TCustomImageList* FSubMenuImages = nullptr;
    std::unique_ptr<TBasicActionLink> FActionLink;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item
};

// ---- Menus ---------------------------------------------------------------------------------------------

class TMenu : public TComponent {
    PLAT_CLASS(TMenu)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    void BeforeDestruction() override;

    // The root item; the menu's items are its children.
    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // An identifier of the menu for messages that answer one (never 0).
    intptr_t Handle() const { return reinterpret_cast<intptr_t>(this); }

    // Runs the enabled item whose shortcut the key message is; answers whether one ran.
    bool IsShortCut(TMessage& Message);
    // The item with that shortcut anywhere in the tree, or null.
    TMenuItem* FindItem(TShortCut ShortCut) const;
    // Re-measures and repaints every item of open menus and menu bars.
    void UpdateItems();
    // The menu's items changed (Source null: many); the menu bars and open menus follow.
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);

    // The frame of the menu's drop-downs. Items sit Width pixels in from the window's edges; with Paint
    // set the menu draws the frame itself (after the items; Parent is the item whose sub-items show,
    // Bounds the whole window), without it the classic raised edge is drawn.
    struct TDropDownFrame {
        int Width = 3;
        std::function<void(TMenuItem* Parent, TCanvas* ACanvas, const TRect& Bounds)> Paint;
    };
    const TDropDownFrame& DropDownFrame() const { return FDropDownFrame; }
    void SetDropDownFrame(TDropDownFrame Value);

    TMenuChangeEvent OnChange;
    // Components that follow the menu's changes beside the owner's OnChange (a toolbar showing the menu
    // as buttons). Key identifies the listener for its removal.
    void AddChangeListener(const void* Key, TMenuChangeEvent Handler);
    void RemoveChangeListener(const void* Key);

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    TDropDownFrame FDropDownFrame;
    std::vector<std::pair<const void*, TMenuChangeEvent>> FChangeListeners;
};

// The menu bar of the form it is set to (TForm::Menu). The bar lives in the form's frame above the
// client area; Alt, F10 and Alt+letter open it from the keyboard.
class TMainMenu : public TMenu {
    PLAT_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;
    // The forms showing this menu.
    std::vector<TCustomForm*> Forms() const;
};

class TPopupMenu : public TMenu {
    PLAT_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    // Shows the menu at a screen point and returns when it has closed (after the chosen item's click).
    // A menu without visible items shows nothing.
    virtual void Popup(int X, int Y);
    // The control whose context menu this is while it shows.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    TPoint PopupPoint() const { return FPopupPoint; }
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    virtual void DoPopup(TObject* Sender);

private:
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint{-1, -1};
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
};

PLAT_EXCEPTION(EMenuError, Exception);

// ---- Open menus ----------------------------------------------------------------------------------------

// True while a menu is open (tracked).
bool MenuTracking();
// The window of the open drop-down that shows the item, or null.
HWND MenuItemWindow(const TMenuItem* Item);
// The highlighted item of the innermost open drop-down, or null (a menu bar watching the keys of its
// open menu needs it).
TMenuItem* MenuSelectedItem();
// The screen rectangle of a visible item in an open drop-down or a menu bar; false when it shows nowhere.
bool GetMenuItemRect(const TMenuItem* Item, TRect& Rect);
// The size of the drop-down that shows Parent's sub-items, frame included, measured as it would open
// (a caller placing a menu beside or above something needs it before it opens).
TSize DropDownSize(TMenuItem* Parent);
// Closes every open menu (as Escape to the end would).
void CloseMenus();
// Tests run code inside each menu loop, first thing (as modal forms are answered).
using TMenuLoopHook = std::function<void(TMenu* Menu)>;
void SetMenuLoopHook(TMenuLoopHook Hook);
// The delay before a sub-menu opens under the pointer, in milliseconds.
inline constexpr unsigned MenuShowDelay = 400;

// Plugs the menus into the form layer (menu bars, shortcuts, context menus); the menu and action classes
// call it themselves.
void InstallFormMenuHooks();

// The MDI window list: items after the last item of the Window menu of an MDI frame, one per child
// ("&1 Caption"), the active one checked; rebuilt when the Window menu opens.
void UpdateWindowList(TCustomForm* Frame);

} // namespace plat
