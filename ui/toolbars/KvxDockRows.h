// The rows of a dock panel: which docked toolbar sits where. Every add, remove, show, hide, resize and
// drag step of a toolbar passes through here and comes out as a consistent layout of rows, which also
// sets the panel's thickness. The rows see toolbars and the panel only through the two small interfaces
// below, so the geometry is the same for the real controls and for anything else that docks.
#pragma once

#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Types.h"

namespace ui {

// The toolbar family's own enumerations, apart from like-named ones of other controls.
namespace toolbar {

enum TDockAlign : uint8_t { daLeft, daTop, daRight, daBottom };
inline constexpr const char* kDockAlignNames[] = {"daLeft", "daTop", "daRight", "daBottom"};
static_assert(std::size(kDockAlignNames) == daBottom + 1);

} // namespace toolbar

// What the rows need of a docked toolbar. Bounds set through SetDockBounds while the positioning flag is
// set are applied as they are and not sent back through the rows.
class IDockRowClient {
public:
    virtual ~IDockRowClient() = default;
    virtual plat::TRect DockBounds() const = 0; // Left, Top, Right, Bottom in panel client coordinates
    virtual void SetDockBounds(int Left, int Top, int Width, int Height) = 0;
    virtual bool DockVisible() const = 0;
    virtual bool DockFullSize() const = 0;
    virtual bool DockLoading() const = 0;
    // Minimum and maximum width and height; the toolbar's own size computation sets them.
    virtual plat::TRect DockConstraints() const = 0; // Left = min width, Top = min height, Right = max
                                                     // width, Bottom = max height
    virtual void SetDockConstraints(int MinWidth, int MinHeight, int MaxWidth, int MaxHeight) = 0;
    virtual int RowIndex() const = 0;
    virtual void SetRowIndex(int Value) = 0;
    virtual bool Positioning() const = 0;
    virtual void SetPositioning(bool Value) = 0;
    // Lays the toolbar's own buttons out again after its size was forced.
    virtual void ArrangeDockedControls() = 0;
};

// What the rows need of their panel.
class IDockRowsOwner {
public:
    virtual ~IDockRowsOwner() = default;
    virtual toolbar::TDockAlign DockAlign() const = 0;
    virtual bool LockHeight() const = 0;
    virtual int MinimumSize() const = 0;
    virtual bool UseRunTimeHeight() const = 0;
    virtual bool Designing() const = 0;
    // Set at the end of the panel's after-load step.
    virtual bool RowsLoaded() const = 0;
    virtual plat::TRect PanelBounds() const = 0; // in the parent's coordinates
    virtual void SetPanelBounds(int Left, int Top, int Width, int Height) = 0;
    virtual plat::TPersistent* RowsPersistentOwner() const { return nullptr; }
};

class TRowCollection;

class TRowCollectionItem : public plat::TCollectionItem {
    PLAT_CLASS(TRowCollectionItem)
public:
    explicit TRowCollectionItem(plat::TCollection* Collection);

    int Count() const { return static_cast<int>(FToolBars.size()); }
    IDockRowClient* ToolBars(int Index) const { return FToolBars.at(Index); }
    int IndexOf(const IDockRowClient* ToolBar) const;

    // The toolbar's index in the row, or -1 when it is already here or the row refuses it.
    int AddToolBar(IDockRowClient* ToolBar);
    void RemoveToolBar(IDockRowClient* ToolBar, bool DeleteWhenEmpty);
    bool CanAcceptToolBar(const IDockRowClient* ToolBar) const;
    void ArrangeRow();
    // Turns a requested position and length along the row into one that fits the row; raises
    // "Invalid ToolBar Index" for a toolbar of another row.
    void ResolveBoundsInRow(IDockRowClient* ToolBar, int& Left, int& Width);

    const plat::TRect& RowRect() const { return FRowRect; }
    void SetRowRect(const plat::TRect& Value) { FRowRect = Value; }
    int RowThickness() const;
    // The gap between toolbars A and B of the row (-1 / Count() for none); negative means overlap.
    int FreeSpace(int A, int B) const;

private:
    TRowCollection& Rows() const;
    bool Horizontal() const;
    int RowStart() const;
    int RowEnd() const;
    int Pos(int Index) const;
    int Len(int Index) const;
    int GrowRoom(int Index) const;
    int ShrinkRoom(int Index) const;
    void SetAlong(int Index, int Pos, int Len);
    void MoveRange(int First, int Last, int Delta);
    void Widen(int Index, int Delta);
    void FillRow(int Index);
    void TakeFreeSpaceBefore(int Last, int& Need);
    void ShrinkBefore(int Last, int& Need);

    std::vector<IDockRowClient*> FToolBars;
    plat::TRect FRowRect;
};

class TRowCollection : public plat::TCollection {
    PLAT_CLASS(TRowCollection)
public:
    explicit TRowCollection(IDockRowsOwner* Owner);

    IDockRowsOwner* DockOwner() const { return FOwner; }
    TRowCollectionItem* Rows(int Index) const { return static_cast<TRowCollectionItem*>(Items(Index)); }
    int RowGap() const { return FRowGap; }
    int ToolBarGap() const { return FToolBarGap; }

    TRowCollectionItem* AddRow();
    TRowCollectionItem* InsertRow(int Index);
    void DeleteRowIfEmpty(TRowCollectionItem* Row);
    int FindRowOf(const IDockRowClient* ToolBar) const;
    void MoveToRow(IDockRowClient* ToolBar, int Index);
    void UpdateRows();
    void UpdatePanelSize();
    void IsolateToolBar(IDockRowClient* ToolBar);
    void ToolBarVisibilityChanged(IDockRowClient* ToolBar);
    // Turns a requested position and thickness across the rows into a row for the toolbar.
    void ResolveRowChange(IDockRowClient* ToolBar, int& Top, int& Height);
    // A docked toolbar asks for new bounds: across the rows first, then along its row. The four values
    // come back as the toolbar is to apply them. Nothing changes for a hidden toolbar.
    void AdjustToolBarBounds(IDockRowClient* ToolBar, int& Left, int& Top, int& Width, int& Height);
    // After loading: the toolbars, sorted by where they were designed, each open a row of their own and
    // then ask for their designed position again, which merges them into the rows they were designed in.
    void LoadRows(const std::vector<IDockRowClient*>& ToolBars);

    bool Horizontal() const;
    bool RowChangesAllowed() const;

    // Panel margins the layout reads: along both row ends (beyond the last row of a vertical panel), and
    // beyond the last row of a horizontal panel.
    static constexpr int kSideMargin = 1;
    static constexpr int kEndMargin = 0;

protected:
    plat::TPersistent* GetOwner() const override;

private:
    void PutIntoNewRowAfter(IDockRowClient* ToolBar, int Row);

    IDockRowsOwner* FOwner;
    int FRowGap = 1;
    int FToolBarGap = 2;
};

} // namespace ui
