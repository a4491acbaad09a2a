// The office-style toolbar and the windowless controls it arranges. A toolbar lays its controls out
// along its orientation, sizes itself to them, moves trailing controls (by keep-visible priority) into an
// overflow list when its row is too short, and docks into a TKvxDockPanel's rows.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"
#include "platform/ui/WindowFilter.h"
#include "ui/drawing/GDIPicture.h"
#include "ui/drawing/KvxHintInfo.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxDockRows.h"

namespace plat {
class TCustomImageList;
class TTimer;
class TPopupMenu;
class TMenuItem;
class TMainMenu;
class TCustomForm;
} // namespace plat

namespace ui {

class TKvxCustomToolBar;
class TKvxCustomToolBarButton;
class TOptionSelectorWindow;
class TControlSelectorPanel;
class TFloatingWindow;
class TKvxToolBarCustomizer;

namespace toolbar {

enum TToolBarState : uint8_t { tbsDocked, tbsFloating, tbsPlaced };

enum TCaptionPosition : uint8_t { cpTop, cpBottom };
inline constexpr const char* kCaptionPositionNames[] = {"cpTop", "cpBottom"};
static_assert(std::size(kCaptionPositionNames) == cpBottom + 1);

enum TKvxToolButtonStyle : uint8_t { tasButton, tasCheck };
inline constexpr const char* kToolButtonStyleNames[] = {"tasButton", "tasCheck"};
static_assert(std::size(kToolButtonStyleNames) == tasCheck + 1);

enum TGlyphPosition : uint8_t { gpLeft, gpTop, gpRight, gpBottom };
inline constexpr const char* kGlyphPositionNames[] = {"gpLeft", "gpTop", "gpRight", "gpBottom"};
static_assert(std::size(kGlyphPositionNames) == gpBottom + 1);

enum TKvxSeparatorStyle : uint8_t { ssOffice2003, ssBlank };
inline constexpr const char* kSeparatorStyleNames[] = {"ssOffice2003", "ssBlank"};
static_assert(std::size(kSeparatorStyleNames) == ssBlank + 1);

// Where a dragged toolbar may dock: on every dock panel of its form, on the panels beside its own, or
// only on the panel it came from.
enum TDockMode : uint8_t { dmAll, dmAllParentDockPanels, dmParentDockPanelOnly };
inline constexpr const char* kDockModeNames[] = {"dmAll", "dmAllParentDockPanels", "dmParentDockPanelOnly"};
static_assert(std::size(kDockModeNames) == dmParentDockPanelOnly + 1);

// The panel sides a toolbar accepts, one bit per TDockAlign.
using TDockableTo = uint8_t;
inline constexpr TDockableTo DockSide(TDockAlign Align) {
    return static_cast<TDockableTo>(1u << Align);
}
inline constexpr TDockableTo kAllDockSides = 0x0F;

// The look a button paints.
enum TButtonDrawState : uint8_t { dsNormal, dsDisabled, dsDown, dsDropped, dsChecked };

inline bool IsHorizontal(TDockAlign Position) {
    return Position == daTop || Position == daBottom;
}

} // namespace toolbar

// ---- The windowless controls of a toolbar ----

class TKvxCustomToolBarControl : public plat::TGraphicControl {
    PLAT_CLASS(TKvxCustomToolBarControl)
public:
    explicit TKvxCustomToolBarControl(plat::TComponent* AOwner);

    TKvxCustomToolBar* KvxToolBar() const { return FToolBar; }
    // Moves the control onto a toolbar (or off any); raises "KvxToolBar not set" when the toolbar did
    // not take it.
    virtual void SetKvxToolBar(TKvxCustomToolBar* Value);
    toolbar::TDockAlign Position() const { return FPosition; }
    void SetPosition(toolbar::TDockAlign Value);
    // Re-measures the control for its toolbar.
    virtual void CalcSize() {}

    // Pager pages hold controls instead of toolbars; until they exist no control is on one.
    bool OnQuickAccessToolBar() const { return false; }

protected:
    friend class TKvxCustomToolBar;
    friend class TKvxToolBarContainer; // lends its toolbar to the controls inside it
    bool Horizontal() const { return toolbar::IsHorizontal(FPosition); }

    TKvxCustomToolBar* FToolBar = nullptr;
    toolbar::TDockAlign FPosition = toolbar::daTop;
};

class TKvxToolBarSeparator : public TKvxCustomToolBarControl {
    PLAT_CLASS(TKvxToolBarSeparator)
public:
    explicit TKvxToolBarSeparator(plat::TComponent* AOwner);
    toolbar::TKvxSeparatorStyle SeparatorStyle() const { return FSeparatorStyle; }
    void SetSeparatorStyle(toolbar::TKvxSeparatorStyle Value);
    plat::TColor LineColor() const { return FLineColor; }
    void SetLineColor(plat::TColor Value);
    void Assign(plat::TPersistent* Source) override;
    void CalcSize() override { AdjustSize(); }

protected:
    void AdjustSize() override;
    void Paint() override;

private:
    toolbar::TKvxSeparatorStyle FSeparatorStyle = toolbar::ssOffice2003;
    plat::TColor FLineColor;
};

// Explicit places for a button's image and caption, used instead of the layout when enabled.
class TKvxToolBarButtonDrawPosition : public toolbar::TToolBarRecord {
    PLAT_CLASS(TKvxToolBarButtonDrawPosition)
public:
    // Copies the places silently; other sources are ignored.
    void Assign(plat::TPersistent* Source) override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { Store(FEnabled, Value); }
    int TextX() const { return FTextX; }
    void SetTextX(int Value) { Store(FTextX, Value); }
    int TextY() const { return FTextY; }
    void SetTextY(int Value) { Store(FTextY, Value); }
    int ImageX() const { return FImageX; }
    void SetImageX(int Value) { Store(FImageX, Value); }
    int ImageY() const { return FImageY; }
    void SetImageY(int Value) { Store(FImageY, Value); }

private:
    bool FEnabled = false;
    int FTextX = 0, FTextY = 0, FImageX = 0, FImageY = 0;
};

class TKvxCustomToolBarButton : public TKvxCustomToolBarControl {
    PLAT_CLASS(TKvxCustomToolBarButton)
public:
    explicit TKvxCustomToolBarButton(plat::TComponent* AOwner);
    ~TKvxCustomToolBarButton() override;

    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    toolbar::TKvxToolButtonStyle Style() const { return FStyle; }
    void SetStyle(toolbar::TKvxToolButtonStyle Value) { FStyle = Value; }
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool Value);
    bool DropDownSplit() const { return FDropDownSplit; }
    void SetDropDownSplit(bool Value) { FDropDownSplit = Value; }
    // The popup opened by the drop-down part (a TKvxPopupMenu in the application).
    plat::TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(plat::TPopupMenu* Value);
    toolbar::TGlyphPosition GlyphPosition() const { return FGlyphPosition; }
    void SetGlyphPosition(toolbar::TGlyphPosition Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool AutoSize() const { return FAutoSizeButton; }
    void SetAutoSize(bool Value) override;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Shaded() const { return FShaded; }
    void SetShaded(bool Value);
    bool ParentStyler() const { return FParentStyler; }
    void SetParentStyler(bool Value);
    plat::TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(plat::TBitmap* Value);
    plat::TBitmap* GlyphDisabled() const { return FGlyphDisabled.get(); }
    void SetGlyphDisabled(plat::TBitmap* Value);
    plat::TBitmap* GlyphHot() const { return FGlyphHot.get(); }
    void SetGlyphHot(plat::TBitmap* Value) { FGlyphHot->Assign(Value); }
    plat::TBitmap* GlyphDown() const { return FGlyphDown.get(); }
    void SetGlyphDown(plat::TBitmap* Value) { FGlyphDown->Assign(Value); }
    plat::TBitmap* GlyphChecked() const { return FGlyphChecked.get(); }
    void SetGlyphChecked(plat::TBitmap* Value) { FGlyphChecked->Assign(Value); }
    std::string Version() const;
    void SetVersion(const std::string&) {}
    TKvxToolBarButtonDrawPosition* DrawPosition() const { return FDrawPosition.get(); }
    // The copy is silent, so the button repaints here.
    void SetDrawPosition(TKvxToolBarButtonDrawPosition* Value) {
        FDrawPosition->Assign(Value);
        Invalidate();
    }
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    // Images of any graphic format, used when neither an image list nor a glyph gives one.
    plat::TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(plat::TPicture* Value);
    plat::TPicture* PictureDisabled() const { return FPictureDisabled.get(); }
    void SetPictureDisabled(plat::TPicture* Value);
    toolbar::TButtonAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(toolbar::TButtonAppearance* Value) { FAppearance->Assign(Value); }
    // The colours in use: the toolbar styler's with ParentStyler, else the button's own.
    const toolbar::TButtonAppearance* ColorSource() const;

    plat::TNotifyEvent OnDropDown;
    plat::TNotifyEvent OnMouseEnter;
    plat::TNotifyEvent OnMouseLeave;

    toolbar::TButtonDrawState DrawState() const { return FDrawState; }
    void SetDrawState(toolbar::TButtonDrawState Value) { FDrawState = Value; }
    void ResetButtonState();
    bool Hot() const { return FHot; }
    void SetHot(bool Value);
    bool MouseInside() const { return FMouseInside; }
    bool Pressed() const { return FPressed; }
    bool MenuShowing() const { return FMenuShowing; }
    virtual bool IsMenuButton() const { return false; }
    // Shows the button dropped and drops its menu through the toolbar.
    void OpenButtonMenu();
    int IndexInToolBar() const;
    plat::TMenuItem* MenuItem() const { return FMenuItem; }
    void SetMenuItem(plat::TMenuItem* Value);
    void CalcSize() override { CalcButtonSize(); }
    void CalcButtonSize();
    // The grey silhouette drawn behind the image of a hot, shaded button.
    void BuildShadowGlyph();
    plat::TBitmap* ShadowGlyph() const { return FShadowGlyph.get(); }
    void Click() override;

    // Set by the toolbar's menu tracking on menu buttons.
    bool ReDropRequested = false;
    // Made by the toolbar from its Menu, and freed by it when the Menu changes.
    bool AutoCreated = false;
    // Added or taken over by a merged child menu.
    bool Merged = false;
    bool ClosingPress = false;
    bool MenuDropped = false;

protected:
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void Dispatch(plat::TMessage& Message) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void Paint() override;
    // The colours, direction and glyph of the look the button shows now.
    struct TButtonLook {
        plat::TColor Fill = plat::clNone, FillTo = plat::clNone, Border = plat::clNone;
        plat::TColor Part = plat::clNone, PartTo = plat::clNone; // the drop-down part
        plat::TColor Caption = 0;
        toolbar::TGradientDirection Direction = toolbar::gdVertical;
        plat::TBitmap* Glyph = nullptr;
    };
    virtual TButtonLook ChooseLook() const;
    TButtonLook LookOf(const toolbar::TButtonAppearance* Appearance, toolbar::TButtonDrawState State) const;
    virtual void DrawButtonFrame(plat::TCanvas* Canvas);
    virtual void DrawButtonContent(plat::TCanvas* Canvas, const plat::TRect& Content, plat::TBitmap* Glyph,
                                   plat::TColor CaptionColor);
    void DoDropDown();
    void ReleaseGroupSiblings();
    virtual bool TrackButtonMenu();
    void MouseEntered();
    void MouseLeft(bool FireEvent);
    void SyncHotWithCursor();
    // The look the paint step shows, after reconciling the state with Enabled and Style.
    void ReconcileDrawState();
    plat::TSize ImageSize() const;

    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FHotTrack = true;
    bool FMouseInside = false;
    bool FMenuShowing = false;
    bool FShaded = true;
    toolbar::TKvxToolButtonStyle FStyle = toolbar::tasButton;
    bool FDropDownButton = false;
    plat::TPopupMenu* FDropDownMenu = nullptr;
    bool FParentStyler = true;
    toolbar::TButtonDrawState FDrawState = toolbar::dsNormal;
    toolbar::TGlyphPosition FGlyphPosition = toolbar::gpLeft;
    bool FPressed = false;
    int FDropDownWidth = 12;
    int FImageIndex = -1;
    bool FTracking = false;
    bool FShowCaption = false;
    bool FHot = false;
    bool FStreamedDown = false;
    bool FDropDownSplit = true;
    bool FAutoSizeButton = true;
    int FSpacing = 4;
    int FMargin = 4;
    std::unique_ptr<plat::TBitmap> FGlyph, FGlyphDisabled, FGlyphHot, FGlyphDown, FGlyphChecked;
    std::unique_ptr<plat::TBitmap> FShadowGlyph;
    bool FShadowFromList = false;
    plat::TMenuItem* FMenuItem = nullptr;
    std::unique_ptr<toolbar::TButtonAppearance> FAppearance;
    std::unique_ptr<TKvxToolBarButtonDrawPosition> FDrawPosition;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    std::unique_ptr<plat::TPicture> FPicture, FPictureDisabled;
    std::unique_ptr<plat::TTimer> FLeaveTimer;
};

class TKvxToolBarButton : public TKvxCustomToolBarButton {
    PLAT_CLASS(TKvxToolBarButton)
public:
    using TKvxCustomToolBarButton::TKvxCustomToolBarButton;
};

// A menu-bar item; without a menu it is a plain push button.
class TKvxToolBarMenuButton : public TKvxCustomToolBarButton {
    PLAT_CLASS(TKvxToolBarMenuButton)
public:
    explicit TKvxToolBarMenuButton(plat::TComponent* AOwner);
    bool IsMenuButton() const override { return true; }

protected:
    TButtonLook ChooseLook() const override;
};

// ---- The toolbar ----

class TKvxCustomToolBar : public plat::TCustomControl, public IDockRowClient, public IToolBarStylerClient {
    PLAT_CLASS(TKvxCustomToolBar)
public:
    explicit TKvxCustomToolBar(plat::TComponent* AOwner);
    ~TKvxCustomToolBar() override;
    void BeforeDestruction() override;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(plat::TWinControl* AParent) override;

    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    int CaptionHeight() const { return FCaptionHeight; }
    void SetCaptionHeight(int Value);
    toolbar::TCaptionPosition CaptionPosition() const { return FCaptionPosition; }
    void SetCaptionPosition(toolbar::TCaptionPosition Value);
    bool ShowRightHandle() const { return FShowRightHandle; }
    void SetShowRightHandle(bool Value);
    bool FullSize() const { return FFullSize; }
    void SetFullSize(bool Value);
    bool AutoArrangeButtons() const { return FAutoArrangeButtons; }
    void SetAutoArrangeButtons(bool Value);
    bool AutoSize() const { return FAutoSizeBar; }
    void SetAutoSize(bool Value) override;
    bool AutoPositionControls() const { return FAutoPositionControls; }
    void SetAutoPositionControls(bool Value);
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    plat::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(plat::TCustomImageList* Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}

    toolbar::TDockAlign Position() const { return FPosition; }
    void SetPosition(toolbar::TDockAlign Value);
    toolbar::TToolBarState State() const { return FState; }
    int GripSize() const { return FGripSize; }
    int RightHandleSize() const { return FRightHandleSize; }
    int RowSize() const { return FRowSize; }
    int MinLength() const { return FMinLength; }
    int FullLength() const { return FFullLength; }
    int FloatingRows() const { return FFloatingRows; }
    TKvxDockPanel* DockPanel() const { return FDockPanel; }
    TKvxDockPanel* LastDockPanel() const { return FLastDockPanel; }
    void SetDockPanel(TKvxDockPanel* Value);

    const std::vector<plat::TControl*>& OrderedControls() const { return FOrderedControls; }
    const std::vector<plat::TControl*>& ArrangeOrder() const { return FArrangeOrder; }
    const std::vector<plat::TControl*>& OverflowControls() const { return FOverflowControls; }
    int IndexOfControl(const plat::TControl* Control) const;
    // The toolbar's controls in their order; none for an index outside the list.
    int ToolBarControlCount() const { return static_cast<int>(FOrderedControls.size()); }
    plat::TControl* ToolBarControl(int Index) const;
    int IndexOfToolBarControl(const plat::TControl* Control) const { return IndexOfControl(Control); }
    // Moves a control to another place in the order; out-of-range or equal positions change nothing.
    void MoveToolBarControl(int From, int To);
    bool InOverflow(const plat::TControl* Control) const;

    void ArrangeControls(bool UpdateSize = true);
    void UpdateToolBarSize();
    void UpdateOverflow();
    void RestoreOverflow();
    void PromoteOverflowButton(plat::TControl* Control);
    int ComputeFullLength() const;
    int ComputeRowSize(bool Floating) const;
    // Whether the drag grip is drawn; the offset of the first control follows from it.
    bool GripDrawn() const;
    int GripOffset() const { return GripDrawn() ? FGripSize + 2 : 2; }

    // Registry of the controls; buttons call these through SetKvxToolBar.
    void AddToolBarControl(TKvxCustomToolBarControl* Control);
    void RemoveToolBarControl(TKvxCustomToolBarControl* Control);

    // The one hot button of the toolbar.
    TKvxCustomToolBarButton* HotButton() const { return FHotButton; }
    void HotButtonChanged(TKvxCustomToolBarButton* Button);
    // Menu tracking belongs to the menu bar; a plain toolbar never has a menu dropped.
    virtual bool MenuDropped() const { return FMenuDropped; }
    virtual bool InMenuMode() const { return FMenuMode; }
    // Drops the button's menu: its own drop-down menu, or the sub-items of its menu item lent to a
    // temporary popup menu for as long as it shows. Returns when the menu (and any menu the user moved
    // on to with the arrows or the pointer) has closed.
    virtual bool DropMenuButton(TKvxCustomToolBarButton* Button);
    // The popup that holds the dropped item's sub-items while it shows, or null.
    plat::TPopupMenu* TemporaryMenu() const { return FTempMenu; }
    virtual void HideOptionWindow();
    // Ribbon pager pages are not built yet: no toolbar sits on a page.
    bool OnPagerPage() const { return false; }

    plat::TNotifyEvent OnClose;
    std::function<void(plat::TObject* Sender, TKvxDockPanel* Panel)> OnDocked;
    plat::TNotifyEvent OnUnDocked;

    // ---- Floating and dragging ----
    bool AllowFloating() const { return FAllowFloating; }
    void SetAllowFloating(bool Value);
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value);
    bool AutoDockOnClose() const { return FAutoDockOnClose; }
    void SetAutoDockOnClose(bool Value) { FAutoDockOnClose = Value; }
    toolbar::TDockMode DockMode() const { return FDockMode; }
    void SetDockMode(toolbar::TDockMode Value) { FDockMode = Value; }
    toolbar::TDockableTo DockableTo() const { return FDockableTo; }
    void SetDockableTo(toolbar::TDockableTo Value) { FDockableTo = Value; }
    TFloatingWindow* FloatingWindow() const { return FFloatingWindow; }
    bool Dragging() const { return FDragging; }
    // Tears the toolbar off into a floating window with its top-left corner at the screen point (the
    // pointer's position without one).
    void MakeFloating();
    void MakeFloating(plat::TPoint Screen);
    // The close button of the caption: back to the last dock panel, or hidden.
    void CloseFloatingToolBar();
    bool CanDockOn(const TKvxDockPanel* Panel) const;
    // The floating toolbar wraps its controls into this many rows.
    void SetFloatingRows(int Value);
    int MaxFloatingRows() const;
    // Width and height of the floating toolbar in that many rows.
    plat::TPoint FloatingSizeFor(int Rows) const;
    // Whether the toolbar floated, where and what was shown, kept through FloatingPersistence.
    void LoadFloatingState();
    void SaveFloatingState();

    // ---- Option menu ----
    bool AutoOptionMenu() const { return FAutoOptionMenu; }
    void SetAutoOptionMenu(bool Value) { FAutoOptionMenu = Value; }
    plat::TPopupMenu* OptionMenu() const { return FOptionMenu; }
    void SetOptionMenu(plat::TPopupMenu* Value);
    const std::string& TextAutoOptionMenu() const { return FTextAutoOptionMenu; }
    void SetTextAutoOptionMenu(const std::string& Value) { FTextAutoOptionMenu = Value; }
    const std::string& TextOptionMenu() const { return FTextOptionMenu; }
    void SetTextOptionMenu(const std::string& Value) { FTextOptionMenu = Value; }
    // The customizer that edits this toolbar; it registers itself when it is pointed at the toolbar.
    TKvxToolBarCustomizer* Customizer() const { return FCustomizer; }
    void SetCustomizer(TKvxToolBarCustomizer* Value);
    // The option window's "Customize" entry asks for the customizer's dialog.
    void CustomizeRequest();
    // The click on the option indicator.
    void OptionClick();
    // Fills the option window with the controls that did not fit and its entries; does not show it.
    void BuildOptionWindow();
    void ShowOptionWindow(int X = 0, int Y = 0, bool AtPosition = false);
    TOptionSelectorWindow* OptionWindow() const { return FOptionWindow; }
    TControlSelectorPanel* OptionPanel() const { return FOptionPanel; }

    // The first and last windowed controls in the toolbar's tab order, leaving out hint windows and
    // toolbars; with FocusableOnly only those that can take the focus now.
    plat::TWinControl* FirstFocusableControl(bool FocusableOnly) const;
    plat::TWinControl* LastFocusableControl(bool FocusableOnly) const;

    // ---- Menu bar ----
    plat::TMainMenu* Menu() const { return FMenu; }
    // One menu button per top-level item; the buttons made for the previous menu go.
    void SetMenu(plat::TMainMenu* Value);
    // Highlights the n-th eligible menu button (n < 0: none); false when there is no such button.
    // Merges an MDI child's main menu into the bar by group index; none unmerges.
    void MergeMenu(plat::TMainMenu* ChildMenu);
    plat::TMainMenu* MergedMenu() const { return FMergedMenu; }
    // Refreshes the menu buttons from the top-level items, rebuilding them when one is missing.
    void RelinkMenuButtons();
    bool SelectMenuButton(int N);
    bool SelectButton(TKvxCustomToolBarButton* Button);
    // The hot button's place among the eligible menu buttons, or -1.
    int HotMenuButtonOrdinal() const;
    bool IsEligibleMenuButton(const plat::TControl* Control) const;
    // Alt (Key 0) or Alt+letter: enters keyboard menu mode; false when nothing answered the key.
    bool TrackMenu(TKvxCustomToolBarButton* Button);
    bool EnterMenuMode(TKvxCustomToolBarButton* Button);
    virtual void ExitMenuMode();
    bool MenuMode() const { return FMenuMode; }
    bool BarNavigation() const { return FBarNavigation; }
    // The toolbar in keyboard menu mode, if any.
    static TKvxCustomToolBar* MenuModeToolBar();

    // Window list shown at the end of the form's Window menu while it is dropped.
    struct TWindowListEntry {
        std::string Caption;
        plat::TCustomForm* Form;
    };
    void RegisterMDIChild(plat::TCustomForm* Form, const std::string& Caption = {});
    // Removes the control's first entry, whatever caption it was registered under.
    void UnregisterMDIChild(plat::TControl* Control, const std::string& Caption = {});
    const std::vector<TWindowListEntry>& WindowList() const { return FWindowList; }
    void AddWindowListItems(plat::TMenuItem* WindowMenu);
    void RemoveWindowListItems();

    // MDI child buttons at the end of a full-size menu bar.
    bool AutoMDIButtons() const { return FAutoMDIButtons; }
    void SetAutoMDIButtons(bool Value);
    bool MDIHookInstalled() const { return FMDIFilter.Installed(); }
    plat::TCustomForm* GetToolBarForm() const;
    plat::TRect GetMDICloseRect();
    plat::TRect GetMDIRestoreRect();
    plat::TRect GetMDIMinimizeRect();
    bool IsOnMDIClose(const plat::TPoint& P);
    bool IsOnMDIRestore(const plat::TPoint& P);
    bool IsOnMDIMinimize(const plat::TPoint& P);
    void DrawMDIButtons();
    bool MDIButtonsShown() const { return FMDIButtonsShown; }
    void MDIChildClose();
    void MDIChildRestore();
    void MDIChildMinimize();

    // Styler: the assigned one, or with ParentStyler the dock panel's, else the toolbar's own.
    TCustomKvxToolBarStyler* ToolBarStyler() const { return FToolBarStyler; }
    void SetToolBarStyler(TCustomKvxToolBarStyler* Value);
    bool ParentStyler() const { return FParentStyler; }
    void SetParentStyler(bool Value);
    TCustomKvxToolBarStyler* CurrentStyler() const { return FCurrentStyler; }
    TCustomKvxToolBarStyler* InternalStyler() const { return FInternalStyler; }
    void StylerChanged(int Code) override;
    void StylerDestroyed(TCustomKvxToolBarStyler* Styler) override;
    // The floating state's storage; a dock panel hands down its Enabled, Key and Location.
    toolbar::TPersistence* FloatingPersistence() const { return FPersistence.get(); }
    void CopyDockPersistence(const toolbar::TPersistence* From);

    plat::TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(plat::TAlignment Value);
    const std::string& HintOptionButton() const { return FHintOptionButton; }
    void SetHintOptionButton(const std::string& Value) { FHintOptionButton = Value; }
    const std::string& HintCloseButton() const { return FHintCloseButton; }
    void SetHintCloseButton(const std::string& Value) { FHintCloseButton = Value; }
    bool ShowOptionIndicator() const { return FShowOptionIndicator; }
    void SetShowOptionIndicator(bool Value);
    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    // The close button and option indicator in a floating toolbar's caption; empty when not shown.
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value);
    plat::TRect FloatingCloseRect() const;
    plat::TRect FloatingOptionRect() const;
    bool FloatingCloseHot() const { return FFloatCloseHot; }
    bool FloatingOptionHot() const { return FFloatOptionHot; }
    // What the toolbar's button shows while the toolbar is compacted into one button.
    const std::string& CompactCaption() const { return FCompactCaption; }
    void SetCompactCaption(const std::string& Value) { FCompactCaption = Value; }
    TGDIPPicture* CompactPicture() const { return FCompactPicture.get(); }
    void SetCompactPicture(TGDIPPicture* Value) { FCompactPicture->Assign(Value); }
    int CompactImageIndex() const { return FCompactImageIndex; }
    void SetCompactImageIndex(int Value);
    const std::string& CompactShortCutHint() const { return FCompactShortCutHint; }
    void SetCompactShortCutHint(const std::string& Value) { FCompactShortCutHint = Value; }
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    // Buttons measure themselves again after the styler or its fonts changed; with MenuButtonsOnly off
    // every button does, not only the menu bar's.
    void ReadjustButtons(bool MenuButtonsOnly = true);
    // The option button was pressed: the point below the toolbar's far end, in the parent's coordinates
    // and on the screen.
    std::function<void(plat::TObject* Sender, plat::TPoint ClientPoint, plat::TPoint ScreenPoint)>
        OnOptionClick;

    // Hot and pressed parts of the toolbar itself.
    bool RightHandleHot() const { return FRightHandleHot; }
    // The option button in the caption strip of a toolbar without a right handle.
    plat::TRect CaptionOptionRect() const;
    bool CaptionOptionHot() const { return FCaptionOptionHot; }
    bool CaptionOptionDown() const { return FCaptionOptionDown; }
    int CaptionOptionHotFade() const { return FHotFade; }
    bool CaptionOptionFading() const { return FHotStep != 0 || FDownStep != 0; }
    plat::TRect RightHandleRect() const;
    plat::TRect GripRect() const;
    plat::TRect CaptionRect() const;
    plat::TRect ContentRect() const;
    // The pixels the toolbar painted so far, each paint counted by its clip box; a hover repaints only
    // under the buttons whose look changed.
    int64_t PaintedArea() const { return FPaintedArea; }

    // IDockRowClient
    plat::TRect DockBounds() const override { return BoundsRect(); }
    void SetDockBounds(int Left, int Top, int Width, int Height) override;
    bool DockVisible() const override { return Visible(); }
    bool DockFullSize() const override { return FFullSize; }
    bool DockLoading() const override;
    plat::TRect DockConstraints() const override;
    void SetDockConstraints(int MinWidth, int MinHeight, int MaxWidth, int MaxHeight) override;
    int RowIndex() const override { return FRowIndex; }
    void SetRowIndex(int Value) override { FRowIndex = Value; }
    bool Positioning() const override { return FInternalResize; }
    void SetPositioning(bool Value) override { FInternalResize = Value; }
    void ArrangeDockedControls() override { ArrangeControls(false); }

protected:
    void Loaded() override;
    void CreateWnd() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void Dispatch(plat::TMessage& Message) override;
    void AlignControls(plat::TControl* AControl, plat::TRect& Rect) override;
    void Paint() override;
    void Resize() override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void DestroyWnd() override;
    // Saves the floating state once, while the floating window still stands (part of BeforeDestruction).
    void SaveFloatingStateBeforeDestruction();
    // The drag started by a press of Button at the client point; runs until that button is released.
    void DragLoop(plat::TMouseButton Button, int X, int Y);
    void DragMoveStep(int X, int Y);
    void CollectDockTargets();
    void MeasureDockTargets();
    void FloatingTimerTick();
    void PaintCaption(plat::TCanvas* C);
    void PaintFloatingCaption(plat::TCanvas* C);
    void PaintVerticalCaption(plat::TCanvas* C, const plat::TRect& Strip, const std::string& Caption);
    void PaintFloatingButtons(plat::TCanvas* C);
    void PaintBackground(plat::TCanvas* C);
    void PaintGrip(plat::TCanvas* C);
    void PaintRightHandle(plat::TCanvas* C, bool Hot, bool Down);
    void PaintRoundedCorners(plat::TCanvas* C);
    // The colour of a pixel of the dock panel's background under the toolbar, or none outside it.
    bool PanelPixel(int X, int Y, plat::TColor& Color) const;
    void ApplyStylerToControls();
    void InvalidatePart(const plat::TRect& R);
    // Menu-bar parts of the message and mouse handling; true when the message was handled.
    bool MenuBarDispatch(plat::TMessage& Message);
    bool DropOneMenu(TKvxCustomToolBarButton* Button);
    void ClearTemporaryMenu();
    plat::TMenuItem* FormWindowMenu() const;
    TKvxCustomToolBarButton* NeighbourMenuButton(TKvxCustomToolBarButton* From, int Step) const;
    plat::LRESULT MenuTrackFilter(int Code, plat::WPARAM wParam, plat::LPARAM lParam);
    void FreeMenuButtons();
    void HookFormKeys();
    // The first visible, enabled button whose caption marks Key as its accelerator.
    TKvxCustomToolBarButton* FindAccelButton(int Key) const;
    void MenuBarNotification(plat::TComponent* AComponent);
    void MDIMouseDown(int X, int Y);
    void MDIMouseMove(int X, int Y);
    void MDIMouseUp(int X, int Y);
    void MDIMouseLeave();
    void DrawMDIButtonsOn(plat::TCanvas* C);
    void RemoveMDIHook();
    plat::TCustomForm* MaximizedChild();
    plat::TRect MDIRect(int Step);
    void PaintCaptionOption(plat::TCanvas* C);
    void StartFade(int& Step, int Value);
    void FadeTick();
    // The caption strip, background, bevel and grip change only with the styler, size and settings;
    // they are kept in a picture that each paint copies.
    void BackgroundChanged() { FBackgroundValid = false; }

    void RebuildControlLists();
    void ControlInserted(plat::TControl* Control);
    void ControlRemoved(plat::TControl* Control);
    void ControlMoved(plat::TControl* Control);
    bool Horizontal() const { return toolbar::IsHorizontal(FPosition); }
    bool Floating() const { return FState == toolbar::tbsFloating; }
    bool Docked() const { return FState == toolbar::tbsDocked && FDockPanel; }
    bool Loading() const;
    bool Designing() const;
    // Placed on an ordinary parent: only then may size and control positions be left to the program.
    bool FreelyPlaced() const;
    bool IsSeparator(const plat::TControl* Control) const;
    bool Shown(const plat::TControl* Control) const;
    int PosOf(const plat::TControl* Control) const;
    int LenOf(const plat::TControl* Control) const;
    int Length() const { return Horizontal() ? Width() : Height(); }
    void GroupAround(plat::TControl* Control, int& First, int& Last, bool PassOverflowed) const;
    plat::TControl* GroupSeparator(int First, int Last) const;
    bool GroupHasShown(int First, int Last) const;
    void ReturnFromOverflow(plat::TControl* Control);
    void ParkControl(plat::TControl* Control);

    toolbar::TDockAlign FPosition = toolbar::daTop;
    toolbar::TToolBarState FState = toolbar::tbsPlaced;
    bool FShowCaption = false;
    int FCaptionHeight = 16;
    toolbar::TCaptionPosition FCaptionPosition = toolbar::cpTop;
    bool FShowRightHandle = true;
    bool FFullSize = false;
    bool FAutoArrangeButtons = true;
    bool FAutoSizeBar = true;
    bool FAutoPositionControls = true;
    int FGripSize = 7;
    int FRightHandleSize = 14;
    int FRowSize = 26;
    int FMinLength = 60;
    int FFullLength = 60;
    int FFloatingRows = 1;
    int FRowIndex = -1;
    bool FInternalResize = false;
    bool FArranging = false;
    bool FReparenting = false;
    bool FLoadedFlag = false;
    TKvxDockPanel* FDockPanel = nullptr;
    TKvxDockPanel* FLastDockPanel = nullptr;
    plat::TCustomImageList* FImages = nullptr;
    plat::TCustomImageList* FDisabledImages = nullptr;
    TKvxCustomToolBarButton* FHotButton = nullptr;
    std::vector<plat::TControl*> FOrderedControls;
    std::vector<plat::TControl*> FArrangeOrder;
    std::vector<plat::TControl*> FOverflowControls;
    TCustomKvxToolBarStyler* FInternalStyler = nullptr; // owned as a component
    TCustomKvxToolBarStyler* FToolBarStyler = nullptr;
    TCustomKvxToolBarStyler* FCurrentStyler = nullptr;
    bool FParentStyler = true;
    std::unique_ptr<toolbar::TPersistence> FPersistence;
    bool FRightHandleHot = false;
    bool FRightHandleDown = false;
    int64_t FPaintedArea = 0;

    bool FAutoOptionMenu = false;
    bool FBuildingOptions = false;
    plat::TPopupMenu* FOptionMenu = nullptr;
    TKvxToolBarCustomizer* FCustomizer = nullptr;
    std::string FTextAutoOptionMenu = "Add or Remove Buttons";
    std::string FTextOptionMenu = "Options";
    TOptionSelectorWindow* FOptionWindow = nullptr; // owned as a component
    TControlSelectorPanel* FOptionPanel = nullptr;  // owned by the window
    plat::TPoint OptionAnchor() const;
    void TakeBackOverflow();
    // An open option window shows the overflow as it is now.
    void OptionOverflowChanged();
    plat::TMainMenu* FMenu = nullptr;
    plat::TMainMenu* FMergedMenu = nullptr;
    void Unmerge();
    void FreeMergedButtons();
    bool FMenuMode = false;
    bool FBarNavigation = false;
    bool FMenuResult = false;
    std::vector<TWindowListEntry> FWindowList;
    std::vector<plat::TMenuItem*> FWindowListItems;
    bool FAutoMDIButtons = false;
    bool FMDIButtonsShown = false;
    bool FCloseDown = false, FCloseHot = false;
    bool FRestoreDown = false, FRestoreHot = false;
    bool FMinimizeDown = false, FMinimizeHot = false;
    plat::TCustomForm* FActiveChild = nullptr; // looked up afresh each time, never owned
    // Our own link in the form window's filter chain: it goes with the toolbar, whatever else filters.
    plat::TWindowSubclass FMDIFilter;
    // The same on the frame's client window: a child maximized, restored, activated or closed there
    // changes what the buttons show.
    plat::TWindowSubclass FMDIClientFilter;
    // Alt and Alt+letter reach the form as a key-menu command; with a Menu the bar answers it.
    plat::TWindowSubclass FFormKeyFilter;
    // Hands the keys to the bar while it is in menu mode and no menu is dropped.
    plat::TMessageHook FMenuKeyHook;
    // Watches the keys and the pointer of a dropped menu-bar menu to move on to the neighbouring menu.
    plat::TMessageHook FMenuTrackHook;
    bool FMenuDropped = false;
    bool FStayInMenuMode = false;          // Escape closed the menu: the bar keeps the keyboard
    plat::TPopupMenu* FTempMenu = nullptr; // owned as a component while it exists
    plat::TMenuItem* FDroppedItem = nullptr;
    TKvxCustomToolBarButton* FTrackedButton = nullptr;
    TKvxCustomToolBarButton* FSwitchTarget = nullptr;
    // An arrow key moved on to a menu button without a menu: it becomes hot once the open menu closed.
    TKvxCustomToolBarButton* FDelayedHotButton = nullptr;
    std::unique_ptr<plat::TTimer> FMenuTimer;
    void DelayedHotTick();
    // The menu changed after its buttons were made: they follow it.
    void MenuItemsChanged(plat::TMenuItem* Source);
    void SyncMenuButtons();
    bool FMenuSyncPending = false;
    plat::TPoint FLastMenuPointer;
    std::unique_ptr<plat::TBitmap> FBackground;
    bool FBackgroundValid = false;

    struct TDockTarget {
        TKvxDockPanel* Panel;
        plat::TRect Zone; // screen rectangle, widened on the panel's inner side
    };
    bool FAllowFloating = true;
    bool FLocked = false;
    bool FAutoDockOnClose = false;
    toolbar::TDockMode FDockMode = toolbar::dmAll;
    toolbar::TDockableTo FDockableTo = toolbar::kAllDockSides;
    TFloatingWindow* FFloatingWindow = nullptr;
    plat::TCustomForm* FHostForm = nullptr;
    bool FHiddenWithForm = false;
    bool FFloatingTimer = false;
    bool FDragging = false;
    plat::TPoint FDragAnchor;
    std::vector<TDockTarget> FDockTargets;
    bool FFloatingStateLoaded = false;
    bool FFloatingStateSaved = false;
    bool FChangingVisibility = false;
    static constexpr uintptr_t kFloatingTimerId = 500;
    bool FBackgroundChevron = false;
    bool FShowOptionIndicator = true;
    plat::TAlignment FCaptionAlignment = plat::taLeftJustify;
    std::string FHintOptionButton, FHintCloseButton;
    TAntiAlias FAntiAlias = aaClearType;
    bool FShowClose = true;
    bool FFloatCloseHot = false, FFloatCloseDown = false;
    bool FFloatOptionHot = false, FFloatOptionDown = false;
    std::string FCompactCaption, FCompactShortCutHint;
    std::unique_ptr<TGDIPPicture> FCompactPicture;
    int FCompactImageIndex = -1;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    bool FCaptionOptionHot = false;
    bool FCaptionOptionDown = false;
    // Fade positions 0..100 and their running steps (+20, -20, or 0 when still).
    int FHotFade = 0, FDownFade = 0;
    int FHotStep = 0, FDownStep = 0;
    std::unique_ptr<plat::TTimer> FFadeTimer;
};

class TKvxToolBar : public TKvxCustomToolBar {
    PLAT_CLASS(TKvxToolBar)
public:
    using TKvxCustomToolBar::TKvxCustomToolBar;
};

} // namespace ui
