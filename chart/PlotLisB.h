// The series list box: one row per series of a chart (type icon, active check, colour, title). It follows
// the chart's series events and lets the user select several series, switch them on and off, reorder
// them by dragging, rename them in place, recolour and delete them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "chart/ChartLegend.h"
#include "chart/PlotProcsPanel.h"
#include "platform/ui/ListBox.h"

namespace plat {
class TEdit;
class TStringList;
} // namespace plat

namespace chart {

class TChartSeries;
class TCustomAxisPanel;
class TSeriesGroup;

// The columns of a row, left to right.
enum TListBoxSection : uint8_t { lbsIcon, lbsCheck, lbsColor, lbsTitle, lbsCount };

using TChartListBoxSeriesEvent = std::function<void(plat::TObject* Sender, TCustomChartSeries* Series)>;
using TChartListBoxOrderEvent =
    std::function<void(plat::TObject* Sender, TCustomChartSeries* Series1, TCustomChartSeries* Series2)>;
using TChartListBoxRowEvent = std::function<void(plat::TObject* Sender, int Index)>;
// Creates a series of a class the user picks in a gallery; null when nothing was chosen.
using TChartListBoxGalleryHook =
    std::function<TChartSeries*(plat::TComponent* Owner, TCustomAxisPanel* Chart, TChartSeries* Current)>;
// Offers series classes; null when nothing was chosen.
using TChartListBoxTypeHook = std::function<const plat::TClassInfo*(TChartSeries* Series)>;

// Installed by the gallery and the type dialog when they are linked in.
extern TChartListBoxGalleryHook ChartListBoxGalleryHook;
extern TChartListBoxTypeHook ChartListBoxTypeHook;

class TChartListBox : public plat::TCustomListBox, public IChartEventListener {
    PLAT_CLASS(TChartListBox)
public:
    explicit TChartListBox(plat::TComponent* AOwner);
    ~TChartListBox() override;

    void HandleChartEvent(TPlotEvent& Event) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void SetParent(plat::TWinControl* AParent) override;

    TCustomAxisPanel* Chart() const { return FChart; }
    void SetChart(TCustomAxisPanel* Value);
    TSeriesGroup* SeriesGroup() const { return FSeriesGroup; }
    void SetSeriesGroup(TSeriesGroup* Value);
    bool ShowSeriesNames() const { return FShowSeriesNames; }
    void SetShowSeriesNames(bool Value);

    // The series of the row at the item index; null without one.
    TChartSeries* CurrentSeries() const;
    // Null for -1 or a row beyond the count.
    TChartSeries* SeriesAtIndex(int Index) const;
    void FocusSeries(TChartSeries* Series);
    bool HasSelection();
    void UnselectAll();
    // Rebuilds the rows and selects the row of Series (else row 0).
    void FillSeries(TChartSeries* Series);
    // Asks (AskDelete), then frees every selected series; False when nothing was deleted.
    bool RemoveSelectedSeries();
    void MoveCurrentUp();
    void MoveCurrentDown();
    void CloneCurrentSeries();
    // The input box; True when the shown text changed.
    bool RenameCurrentSeries();
    TChartSeries* AddSeriesFromGallery();
    void ChangeSelectedSeriesType();
    // Rows a and b (and their series in the chart) change places.
    void SwapSeries(int A, int B);
    // The in-place title editor over the current row.
    void StartTitleEdit();
    plat::TEdit* TitleEditor() const { return FEditor; }
    // The second string list kept identical to the rows; null until asked for.
    plat::TStrings* OtherItems();

    // Where a column starts, with the visible columns before it; -1 when it is hidden.
    int SectionLeft(TListBoxSection Section) const;
    int SectionWidth(TListBoxSection Section) const { return FSections[Section].Width; }
    bool SectionVisible(TListBoxSection Section) const { return FSections[Section].Visible; }
    void SetSectionVisible(TListBoxSection Section, bool Value);
    // The column under a client x; lbsCount for none.
    TListBoxSection SectionAt(int X) const;

    bool AllowAddSeries() const { return FAllowAdd; }
    void SetAllowAddSeries(bool Value) { FAllowAdd = Value; }
    bool AllowDeleteSeries() const { return FAllowDelete; }
    void SetAllowDeleteSeries(bool Value) { FAllowDelete = Value; }
    bool AskDelete() const { return FAskDelete; }
    void SetAskDelete(bool Value) { FAskDelete = Value; }
    TCheckBoxesStyle CheckStyle() const { return FCheckStyle; }
    // Radio style keeps only the first active series active.
    void SetCheckStyle(TCheckBoxesStyle Value);
    bool EnableChangeColor() const { return FEnableChangeColor; }
    void SetEnableChangeColor(bool Value) { FEnableChangeColor = Value; }
    bool EnableDragSeries() const { return FEnableDragSeries; }
    void SetEnableDragSeries(bool Value) { FEnableDragSeries = Value; }
    bool EnableChangeType() const { return FEnableChangeType; }
    void SetEnableChangeType(bool Value) { FEnableChangeType = Value; }
    bool ShowActiveCheck() const { return SectionVisible(lbsCheck); }
    void SetShowActiveCheck(bool Value) { SetSectionVisible(lbsCheck, Value); }
    bool ShowSeriesColor() const { return SectionVisible(lbsColor); }
    void SetShowSeriesColor(bool Value) { SetSectionVisible(lbsColor, Value); }
    bool ShowSeriesIcon() const { return SectionVisible(lbsIcon); }
    void SetShowSeriesIcon(bool Value) { SetSectionVisible(lbsIcon, Value); }
    bool ShowSeriesTitle() const { return SectionVisible(lbsTitle); }
    void SetShowSeriesTitle(bool Value) { SetSectionVisible(lbsTitle, Value); }

    TChartListBoxSeriesEvent OnChangeActive;
    TChartListBoxSeriesEvent OnChangeColor;
    TChartListBoxOrderEvent OnChangeOrder;
    TChartListBoxRowEvent OnDblClickSeries;
    plat::TNotifyEvent OnOtherItemsChange;
    plat::TNotifyEvent OnRefresh;
    TChartListBoxSeriesEvent OnRemovedSeries;

protected:
    void DrawItem(int Index, TRect Rect, plat::TOwnerDrawState State) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void KeyUp(uint16_t& Key, plat::TShiftState Shift) override;
    void DragOver(plat::TObject* Source, int X, int Y, plat::TDragState State, bool& Accept) override;
    void DragDrop(plat::TObject* Source, int X, int Y) override;
    void SelectionChanged() override;

private:
    struct TSection {
        int Width;
        bool Visible;
    };

    void SelectRow(int Index);
    void RefillKeepingCurrent();
    void Refresh();
    void CommitTitleEdit();
    void CloseTitleEdit(bool Store);
    // A name or title the user typed: a name must be a valid component name no other component of
    // the series' owner has; a refused name is told and the old one stays.
    bool ApplyNewText(TChartSeries* Series, const std::string& Text);

    TCustomAxisPanel* FChart = nullptr;
    TSeriesGroup* FSeriesGroup = nullptr;
    bool FShowSeriesNames = false;
    TSection FSections[lbsCount] = {{26, true}, {16, true}, {26, true}, {216, true}};
    plat::TEdit* FEditor = nullptr;
    std::unique_ptr<plat::TStringList> FOtherItems;
    bool FDblClicked = false;
    TPoint FMousePoint;
    bool FAllowAdd = true;
    bool FAllowDelete = true;
    bool FAskDelete = true;
    bool FEnableChangeColor = true;
    bool FEnableDragSeries = true;
    bool FEnableChangeType = true;
    TCheckBoxesStyle FCheckStyle = cbsCheck;
};

} // namespace chart
