// The pop-ups behind a toolbar's option indicator: the option window with the controls that did not fit
// and its "Add or Remove Buttons" and "Options" entries, and the cascading check list that shows and
// hides the toolbar's controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Form.h"
#include "platform/ui/Panel.h"
#include "ui/toolbars/KvxToolBarRecords.h"

namespace plat {
class TTimer;
class TPopupMenu;
} // namespace plat

namespace ui {

class TKvxCustomToolBar;
class TKvxToolBarSeparator;
class TCustomKvxMenuStyler;
class TKvxToolBarCustomizer;

// A borderless pop-up that hides itself one tick after it lost the activation.
class TKvxPopupForm : public plat::TForm {
    PLAT_CLASS(TKvxPopupForm)
public:
    explicit TKvxPopupForm(plat::TComponent* AOwner);
    ~TKvxPopupForm() override;
    TKvxCustomToolBar* KvxToolBar() const { return FToolBar; }
    void SetKvxToolBar(TKvxCustomToolBar* Value) { FToolBar = Value; }
    bool HideOnDeactivate() const { return FHideOnDeactivate; }
    void SetHideOnDeactivate(bool Value) { FHideOnDeactivate = Value; }
    // Fired when the window hid because it lost the activation.
    plat::TNotifyEvent OnDeActivateHide;

protected:
    void Deactivate() override;
    virtual void DeactivateHide();

    TKvxCustomToolBar* FToolBar = nullptr;
    bool FHideOnDeactivate = true;
    std::unique_ptr<plat::TTimer> FHideTimer;
};

// A panel with an optional gradient and a one-pixel frame.
class TOptionSelectorPanel : public plat::TCustomPanel {
    PLAT_CLASS(TOptionSelectorPanel)
public:
    explicit TOptionSelectorPanel(plat::TComponent* AOwner);
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value) { FColorTo = Value; }
    toolbar::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(toolbar::TGradientDirection Value) { FGradientDirection = Value; }
    plat::TColor WindowBorderColor() const { return FWindowBorderColor; }
    void SetWindowBorderColor(plat::TColor Value) { FWindowBorderColor = Value; }
    TKvxCustomToolBar* KvxToolBar() const { return FToolBar; }
    void SetKvxToolBar(TKvxCustomToolBar* Value) { FToolBar = Value; }
    virtual int VisibleHeight() const { return Height(); }
    virtual void Hidden() {}

protected:
    void Paint() override;

    plat::TColor FColorTo;
    toolbar::TGradientDirection FGradientDirection = toolbar::gdHorizontal;
    plat::TColor FWindowBorderColor;
    int FMargin = 3;
    TKvxCustomToolBar* FToolBar = nullptr;
};

class TOptionSelectorWindow : public TKvxPopupForm {
    PLAT_CLASS(TOptionSelectorWindow)
public:
    explicit TOptionSelectorWindow(plat::TComponent* AOwner);
    TOptionSelectorPanel* OptionsPanel() const { return FPanel; }
    void SetOptionsPanel(TOptionSelectorPanel* Value) { FPanel = Value; }
    void SizeToPanel();

protected:
    void DoHide() override;

private:
    TOptionSelectorPanel* FPanel = nullptr;
};

// ---- The "Add or Remove Buttons" check list ----

class TKTBMenuItem {
public:
    TKTBMenuItem* Add();
    void Clear() { FChildren.clear(); }
    int Count() const { return static_cast<int>(FChildren.size()); }
    TKTBMenuItem* Items(int Index) const { return FChildren[static_cast<size_t>(Index)].get(); }
    bool HasChildren() const { return !FChildren.empty(); }
    TKTBMenuItem* Parent() const { return FParent; }

    std::string Caption;
    bool Checked = false;
    bool AutoCheck = false;
    bool Enabled = true;
    plat::TControl* Object = nullptr;
    plat::TRect Bounds;

private:
    TKTBMenuItem* FParent = nullptr;
    std::vector<std::unique_ptr<TKTBMenuItem>> FChildren;
};

class TKTBPopupWindow;

class TKTBPopupPanel : public TOptionSelectorPanel {
    PLAT_CLASS(TKTBPopupPanel)
public:
    explicit TKTBPopupPanel(plat::TComponent* AOwner);
    TKTBMenuItem* RootItem() const { return FRoot; }
    void SetRootItem(TKTBMenuItem* Value);
    TCustomKvxMenuStyler* MenuStyler() const { return FMenuStyler; }
    void SetMenuStyler(TCustomKvxMenuStyler* Value) { FMenuStyler = Value; }
    void SetIconBar(bool Value) { FIconBar = Value; }
    void Arrange();
    int ItemAt(int X, int Y) const;
    int HotIndex() const { return FHotIndex; }
    void SetHotIndex(int Index);
    int OpenIndex() const { return FOpenIndex; }
    // Some entry's control shows an image: the list gets a column for them.
    bool ImageColumn() const { return FImageColumn; }
    void Toggle(int Index);
    void Reset();
    // The next level's window, once an entry with children opened it.
    TKTBPopupWindow* SubMenuWindow() const { return FSubWindow; }
    void OpenSubMenu();
    void CloseSubMenu();

protected:
    void Paint() override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void Dispatch(plat::TMessage& Message) override;

private:
    plat::TRect EntryRect(int Index) const;
    void InvalidatePart(const plat::TRect& R);
    int IconBarWidth() const;
    void DrawEntryImage(plat::TCanvas* C, const TKTBMenuItem* Item, const plat::TRect& Cell);
    TKTBMenuItem* FRoot = nullptr;
    bool FImageColumn = false;
    int FImageColumnWidth = 20;
    TCustomKvxMenuStyler* FMenuStyler = nullptr;
    int FItemHeight = 24;
    int FHotIndex = -1;
    int FOpenIndex = -1;
    bool FIconBar = false;
    TKTBPopupWindow* FSubWindow = nullptr;
};

class TKTBPopupWindow : public TKvxPopupForm {
    PLAT_CLASS(TKTBPopupWindow)
public:
    explicit TKTBPopupWindow(plat::TComponent* AOwner);
    TKTBPopupPanel* PopupPanel() const { return FPanel; }
    TKTBMenuItem* CreateRoot();
    TKTBMenuItem* RootItem() const { return FRoot.get(); }
    void SizeToPanel();
    void CloseWindow();

private:
    TKTBPopupPanel* FPanel = nullptr;
    std::unique_ptr<TKTBMenuItem> FRoot;
};

// ---- The option panel ----

// The one entry of the window the "Options" entry opens when the toolbar has a customizer but no option
// menu: a click on it opens the customizer's dialog.
class TCustomizeOption : public TOptionSelectorPanel {
    PLAT_CLASS(TCustomizeOption)
public:
    explicit TCustomizeOption(plat::TComponent* AOwner);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) override { FText = Value; }
    void SizeToText();
    bool Down() const { return FDown; }

protected:
    void Paint() override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void Dispatch(plat::TMessage& Message) override;

private:
    plat::TRect InnerRect() const;
    void SetState(bool Value);
    bool FHot = false, FDown = false;
    std::string FText = "Customize";
};

class TControlSelectorPanel : public TOptionSelectorPanel {
    PLAT_CLASS(TControlSelectorPanel)
public:
    explicit TControlSelectorPanel(plat::TComponent* AOwner);
    ~TControlSelectorPanel() override;

    void SetShowAddRemove(bool Value) { FShowAddRemove = Value; }
    bool ShowAddRemove() const { return FShowAddRemove; }
    void SetOptionMenu(plat::TPopupMenu* Value) { FOptionMenu = Value; }
    TKvxToolBarCustomizer* Customizer() const { return FCustomizer; }
    void SetCustomizer(TKvxToolBarCustomizer* Value);
    void SetAddRemoveCaption(const std::string& Value);
    void SetOptionsCaption(const std::string& Value);
    void SetColors(plat::TColor Down, plat::TColor DownTo, plat::TColor Hot, plat::TColor HotTo,
                   plat::TColor Text, plat::TColor HotText, plat::TColor DownText);
    plat::TColor HotColor() const { return FHotColor; }
    plat::TColor DownColor() const { return FDownColor; }
    void ClearControls();
    int AddControl(plat::TControl* Control);
    void AddSeparator(TKvxToolBarSeparator* Separator);
    const std::vector<plat::TControl*>& Controls() const { return FControls; }
    bool HasOptions() const { return FOptionMenu != nullptr || FCustomizer != nullptr; }
    bool IsEmpty() const { return FControls.empty() && !FShowAddRemove && !HasOptions(); }
    void Arrange();
    void Hidden() override;

    plat::TRect AddRemoveRect() const { return FAddRemoveRect; }
    plat::TRect OptionsRect() const { return FOptionsRect; }
    int EntryWidth() const { return FEntryWidth; }
    // Shows the check list of the toolbar's controls beside the "Add or Remove Buttons" entry.
    void OpenCheckList();
    TKTBPopupWindow* CheckListWindow() const { return FCheckList; }
    // The window of the "Customize" entry, once the options entry opened it.
    TOptionSelectorWindow* CustomizeWindow() const { return FCustomizeWindow; }
    // Opens what the "Options" entry leads to: the option menu, or the "Customize" entry.
    void OpenOptions();

protected:
    void Paint() override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void Dispatch(plat::TMessage& Message) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    void UpdateEntryWidths();
    void PaintEntry(plat::TCanvas* C, const plat::TRect& R, const std::string& Caption, bool Hot, bool Down);
    void HideCustomizeWindow();
    void AutoClickTick();

    std::vector<plat::TControl*> FControls;
    std::vector<TKvxToolBarSeparator*> FSeparatorCopies;
    std::string FAddRemoveCaption = "Add or Remove Buttons";
    std::string FOptionsCaption = "Options";
    int FEntryWidth = 130;
    int FEntryHeight = 20;
    int FSpacing = 8;
    plat::TRect FAddRemoveRect, FOptionsRect;
    bool FAddRemoveHot = false, FAddRemoveDown = false;
    bool FOptionsHot = false, FOptionsDown = false;
    bool FShowAddRemove = true;
    plat::TPopupMenu* FOptionMenu = nullptr;
    plat::TColor FDownColor, FDownColorTo, FHotColor, FHotColorTo, FTextColor, FHotTextColor, FDownTextColor;
    TKTBPopupWindow* FCheckList = nullptr;
    TKvxToolBarCustomizer* FCustomizer = nullptr;
    TOptionSelectorWindow* FCustomizeWindow = nullptr;
    TCustomizeOption* FCustomizeOption = nullptr;
    bool FSuppressHide = false;
    // While the option menu is open, watches for the pointer reaching "Add or Remove Buttons".
    std::unique_ptr<plat::TTimer> FAutoClickTimer;
};

} // namespace ui
