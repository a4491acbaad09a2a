// The strip along one side of a form that holds toolbars in rows. It keeps its docked toolbars in rows
// (KvxDockRows), grows and shrinks with them, paints the background between them into a bitmap that
// the toolbars read for their rounded corners, and lends its styler to toolbars that use their parent's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Control.h"
#include "ui/toolbars/KvxDockRows.h"
#include "ui/toolbars/KvxToolBarStylers.h"

namespace ui {

class TKvxCustomToolBar;

class TKvxDockPanel : public plat::TCustomControl, public IDockRowsOwner, public IToolBarStylerClient {
    PLAT_CLASS(TKvxDockPanel)
public:
    explicit TKvxDockPanel(plat::TComponent* AOwner);
    ~TKvxDockPanel() override;

    toolbar::TDockAlign Align() const { return FAlign; }
    void SetAlign(toolbar::TDockAlign Value);
    int MinimumSize() const override { return FMinimumSize; }
    void SetMinimumSize(int Value);
    bool LockHeight() const override { return FLockHeight; }
    void SetLockHeight(bool Value) { FLockHeight = Value; }
    bool UseRunTimeHeight() const override { return FUseRunTimeHeight; }
    void SetUseRunTimeHeight(bool Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    TCustomKvxToolBarStyler* ToolBarStyler() const { return FToolBarStyler; }
    void SetToolBarStyler(TCustomKvxToolBarStyler* Value);
    // The assigned styler, else the panel's own.
    TCustomKvxToolBarStyler* CurrentStyler() const { return FCurrentStyler; }
    TCustomKvxToolBarStyler* InternalStyler() const { return FInternalStyler; }
    toolbar::TPersistence* Persistence() const { return FPersistence.get(); }
    void SetPersistence(plat::TPersistent* Value);
    void SetPopupMenu(plat::TComponent* Value);

    // IToolBarStylerClient
    void StylerChanged(int Code) override;
    void StylerDestroyed(TCustomKvxToolBarStyler* Styler) override;

    TRowCollection* Rows() const { return FRows.get(); }
    int RowCount() const { return FRows->Count(); }
    int ToolBarCount() const { return static_cast<int>(FToolBars.size()); }
    TKvxCustomToolBar* ToolBars(int Index) const { return FToolBars.at(Index); }
    const std::vector<TKvxCustomToolBar*>& HiddenToolBars() const { return FHiddenToolBars; }
    plat::TBitmap* BackgroundBitmap() const { return FBackgroundBitmap.get(); }
    bool PanelLoaded() const { return FLoaded; }

    // What the toolbars call.
    int AddToolBar(TKvxCustomToolBar* ToolBar);
    void RemoveToolBar(TKvxCustomToolBar* ToolBar);
    int FindRowWithRoom(TKvxCustomToolBar* ToolBar) const;
    void AdjustToolBarBounds(TKvxCustomToolBar* ToolBar, int& Left, int& Top, int& Width, int& Height);
    void ToolBarVisibilityChanged(TKvxCustomToolBar* ToolBar);
    void ToolBarFullSizeChanged(TKvxCustomToolBar* ToolBar);

    void SetParent(plat::TWinControl* AParent) override;

    // The arrangement of the toolbars, kept through Persistence: written when the panel goes, read at
    // the end of loading. Both do nothing unless Persistence is enabled with a key and a section.
    void SaveDockLayout();
    void LoadDockLayout();

    // IDockRowsOwner
    toolbar::TDockAlign DockAlign() const override { return FAlign; }
    bool Designing() const override;
    bool RowsLoaded() const override { return FLoaded; }
    plat::TRect PanelBounds() const override { return BoundsRect(); }
    void SetPanelBounds(int Left, int Top, int Width, int Height) override;
    plat::TPersistent* RowsPersistentOwner() const override { return const_cast<TKvxDockPanel*>(this); }

protected:
    void Loaded() override;
    void BeforeDestruction() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void Paint() override;
    void Resize() override;
    void PropagatePersistence();

private:
    bool Loading() const;
    bool RowChangesLocked() const;
    // Writes the layout while every toolbar is still in its row, before the children go.
    void SaveLayoutOnce();

    toolbar::TDockAlign FAlign = toolbar::daTop;
    int FMinimumSize = 3;
    bool FLockHeight = false;
    bool FUseRunTimeHeight = false;
    bool FLoaded = false;
    bool FLayingOut = false;
    bool FLayoutSaved = false;
    std::unique_ptr<TRowCollection> FRows;
    std::vector<TKvxCustomToolBar*> FToolBars;
    std::vector<TKvxCustomToolBar*> FHiddenToolBars;
    std::unique_ptr<plat::TBitmap> FBackgroundBitmap;
    // The picture changes only with the styler and the size; each paint copies it.
    bool FBackgroundValid = false;
    TCustomKvxToolBarStyler* FInternalStyler = nullptr; // owned as a component
    TCustomKvxToolBarStyler* FToolBarStyler = nullptr;
    TCustomKvxToolBarStyler* FCurrentStyler = nullptr;
    std::unique_ptr<toolbar::TPersistence> FPersistence;
};

} // namespace ui
