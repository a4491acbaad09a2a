#include "chart/PlotLisB.h"

#include <vector>

#include "chart/PlotCanvas.h"
#include "chart/PlotConst.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineSeries.h"
#include "chart/SeriesUtils.h"
#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageDialog.h"

namespace chart {

PLAT_CLASS_INFO_CREATABLE(TChartListBox, plat::TCustomListBox)

PLAT_PROPERTIES(TChartListBox) {
    using L = TChartListBox;
    props.Boolean("AllowAddSeries", &L::AllowAddSeries, &L::SetAllowAddSeries, true);
    props.Boolean("AllowDeleteSeries", &L::AllowDeleteSeries, &L::SetAllowDeleteSeries, true);
    props.Boolean("AskDelete", &L::AskDelete, &L::SetAskDelete, true);
    props.Component("Chart", &L::Chart, &L::SetChart);
    props.Enum("CheckStyle", &L::CheckStyle, &L::SetCheckStyle, kCheckBoxesStyleNames, cbsCheck);
    props.Boolean("EnableChangeColor", &L::EnableChangeColor, &L::SetEnableChangeColor, true);
    props.Boolean("EnableDragSeries", &L::EnableDragSeries, &L::SetEnableDragSeries, true);
    props.Boolean("EnableChangeType", &L::EnableChangeType, &L::SetEnableChangeType, true);
    props.Boolean("ShowActiveCheck", &L::ShowActiveCheck, &L::SetShowActiveCheck, true);
    props.Boolean("ShowSeriesColor", &L::ShowSeriesColor, &L::SetShowSeriesColor, true);
    props.Boolean("ShowSeriesIcon", &L::ShowSeriesIcon, &L::SetShowSeriesIcon, true);
    props.Boolean("ShowSeriesTitle", &L::ShowSeriesTitle, &L::SetShowSeriesTitle, true);
    props.Default("MultiSelect", true);
    props.Default("Style", plat::lbOwnerDrawFixed);
    props.Default("ItemHeight", 24);
    props.Event("OnChangeActive", &L::OnChangeActive);
    props.Event("OnChangeColor", &L::OnChangeColor);
    props.Event("OnChangeOrder", &L::OnChangeOrder);
    props.Event("OnDblClickSeries", &L::OnDblClickSeries);
    props.Event("OnOtherItemsChange", &L::OnOtherItemsChange);
    props.Event("OnRefresh", &L::OnRefresh);
    props.Event("OnRemovedSeries", &L::OnRemovedSeries);
}

namespace {
struct TRegistrar {
    TRegistrar() { plat::RegisterClass(TChartListBox::StaticClass()); }
} registrar;
} // namespace

TChartListBoxGalleryHook ChartListBoxGalleryHook;
TChartListBoxTypeHook ChartListBoxTypeHook;

TChartListBox::TChartListBox(plat::TComponent* AOwner) : plat::TCustomListBox(AOwner) {
    SetStyle(plat::lbOwnerDrawFixed);
    SetMultiSelect(true);
    SetSorted(false);
    SetItemHeight(24);
    OnClick = [this](plat::TObject*) { Refresh(); };
}

TChartListBox::~TChartListBox() {
    if (FChart)
        FChart->DetachListener(this);
}

// --- Chart and rows -----------------------------------------------------------------------------------

void TChartListBox::SetChart(TCustomAxisPanel* Value) {
    if (FChart == Value)
        return;
    if (FChart) {
        FChart->DetachListener(this);
        FChart->RemoveFreeNotification(this);
    }
    FChart = Value;
    if (!FChart) {
        Items()->Clear();
        if (FOtherItems)
            FOtherItems->Clear();
        return;
    }
    FChart->FreeNotification(this);
    FChart->AttachListener(this);
    FillSeries(nullptr);
}

void TChartListBox::SetSeriesGroup(TSeriesGroup* Value) {
    if (FSeriesGroup == Value)
        return;
    FSeriesGroup = Value;
    RefillKeepingCurrent();
}

void TChartListBox::SetShowSeriesNames(bool Value) {
    if (FShowSeriesNames == Value)
        return;
    FShowSeriesNames = Value;
    RefillKeepingCurrent();
}

void TChartListBox::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    plat::TCustomListBox::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == FChart) {
        // The chart is on its way out: it must not be asked to drop our listener any more.
        FChart = nullptr;
        Items()->Clear();
        if (FOtherItems)
            FOtherItems->Clear();
    }
}

void TChartListBox::SetParent(plat::TWinControl* AParent) {
    plat::TCustomListBox::SetParent(AParent);
    if (AParent && Count() == 0)
        SetItemIndex(-1);
}

plat::TStrings* TChartListBox::OtherItems() {
    if (!FOtherItems) {
        FOtherItems = std::make_unique<plat::TStringList>();
        FOtherItems->Assign(Items());
    }
    return FOtherItems.get();
}

TChartSeries* TChartListBox::SeriesAtIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        return nullptr;
    return static_cast<TChartSeries*>(Items()->Objects(Index));
}

TChartSeries* TChartListBox::CurrentSeries() const {
    return SeriesAtIndex(ItemIndex());
}

void TChartListBox::SelectRow(int Index) {
    if (MultiSelect())
        SetSelected(Index, true);
    SetItemIndex(Index);
}

void TChartListBox::FocusSeries(TChartSeries* Series) {
    const int row = Items()->IndexOfObject(Series);
    SetItemIndex(row);
    if (row >= 0)
        SelectRow(row);
}

bool TChartListBox::HasSelection() {
    if (!MultiSelect())
        return ItemIndex() != -1;
    if (SelCount() > 0)
        return true;
    if (Count() > 0 && ItemIndex() != -1) {
        SetSelected(ItemIndex(), true);
        return true;
    }
    return false;
}

void TChartListBox::UnselectAll() {
    if (MultiSelect())
        ClearSelection();
    else
        SetItemIndex(-1);
}

void TChartListBox::FillSeries(TChartSeries* Series) {
    if (!(ComponentState() & plat::csDestroying)) {
        Items()->Clear();
        if (FOtherItems)
            FOtherItems->Clear();
    }
    if (FChart) {
        TCustomSeriesList* list = FSeriesGroup ? &FSeriesGroup->Series() : FChart->SeriesList();
        FillSeriesItems(Items(), list, !FShowSeriesNames);
    }
    if (FOtherItems)
        FOtherItems->Assign(Items());
    const int row = Items()->IndexOfObject(Series);
    if (row >= 0)
        SelectRow(row);
    else if (Count() > 0)
        SelectRow(0);
    if (OnOtherItemsChange)
        OnOtherItemsChange(this);
    Refresh();
}

void TChartListBox::RefillKeepingCurrent() {
    FillSeries(CurrentSeries());
}

void TChartListBox::Refresh() {
    if (OnRefresh)
        OnRefresh(this);
}

void TChartListBox::SelectionChanged() {
    plat::TCustomListBox::SelectionChanged();
}

void TChartListBox::HandleChartEvent(TPlotEvent& Event) {
    if (ComponentState() & plat::csDestroying)
        return;
    if (auto* e = dynamic_cast<TPlotSeriesEvent*>(&Event)) {
        switch (e->Event) {
        case seAdd:
        case seSwap:
            RefillKeepingCurrent();
            break;
        case seRemove: {
            const int row = Items()->IndexOfObject(e->Series);
            if (row >= 0) {
                Items()->Delete(row);
                if (FOtherItems && row < FOtherItems->Count())
                    FOtherItems->Delete(row);
            }
            if (OnRemovedSeries)
                OnRemovedSeries(this, e->Series);
            break;
        }
        case seChangeTitle: {
            const int row = Items()->IndexOfObject(e->Series);
            auto* series = dynamic_cast<TChartSeries*>(e->Series);
            if (row >= 0 && series)
                Items()->SetStrings(row, FShowSeriesNames ? series->Name() : GetSeriesTitle(series));
            break;
        }
        case seChangeColor:
        case seChangeActive:
            Invalidate();
            break;
        default:
            break;
        }
    } else if (dynamic_cast<TPlotView3DEvent*>(&Event)) {
        Invalidate();
    }
}

// --- Commands -----------------------------------------------------------------------------------------

bool TChartListBox::RemoveSelectedSeries() {
    if (!HasSelection())
        return false;
    if (FAskDelete) {
        const std::string name =
            MultiSelect() && SelCount() > 1 ? ChartTextSelectedSeries : GetSeriesTitle(CurrentSeries());
        if (!ConfirmDeletion(name, this))
            return false;
    }
    // Every removal deletes a row through the chart's event, so the series are collected first.
    std::vector<TChartSeries*> doomed;
    if (MultiSelect()) {
        for (int i = 0; i < Count(); ++i)
            if (Selected(i))
                doomed.push_back(SeriesAtIndex(i));
    } else if (TChartSeries* current = CurrentSeries()) {
        doomed.push_back(current);
    }
    for (TChartSeries* series : doomed)
        delete series;
    if (Count() > 0)
        SelectRow(0);
    Refresh();
    return true;
}

void TChartListBox::SwapSeries(int A, int B) {
    if (A < 0 || B < 0 || A >= Count() || B >= Count() || A == B)
        return;
    TChartSeries* seriesA = SeriesAtIndex(A);
    TChartSeries* seriesB = SeriesAtIndex(B);
    Items()->Exchange(A, B);
    if (FOtherItems && A < FOtherItems->Count() && B < FOtherItems->Count())
        FOtherItems->Exchange(A, B);
    if (FChart) {
        FChart->ExchangeSeries(seriesA, seriesB);
        if (OnChangeOrder)
            OnChangeOrder(this, seriesA, seriesB);
    }
    if (CanFocus())
        SetFocus();
    UnselectAll();
    SelectRow(Items()->IndexOfObject(seriesA));
    Refresh();
}

void TChartListBox::MoveCurrentUp() {
    const int row = ItemIndex();
    if (row > 0)
        SwapSeries(row, row - 1);
}

void TChartListBox::MoveCurrentDown() {
    const int row = ItemIndex();
    if (row >= 0 && row < Count() - 1)
        SwapSeries(row, row + 1);
}

void TChartListBox::CloneCurrentSeries() {
    if (TChartSeries* current = CurrentSeries())
        CloneSeries(current, current->Owner(), FChart);
}

bool TChartListBox::ApplyNewText(TChartSeries* Series, const std::string& Text) {
    if (!FShowSeriesNames) {
        // A title that only repeats the name is no title of its own.
        Series->SetTitle(Text == Series->Name() ? std::string() : Text);
        return true;
    }
    if (Text == Series->Name())
        return false;
    plat::TComponent* owner = Series->Owner();
    if (!plat::IsValidIdent(Text) || (owner && owner->FindComponent(Text))) {
        plat::ShowMessage("\"" + Text + "\" is not a valid, unused component name.");
        return false;
    }
    Series->SetName(Text);
    const int row = Items()->IndexOfObject(Series);
    if (row >= 0)
        Items()->SetStrings(row, Text);
    if (FChart)
        FChart->Invalidate();
    return true;
}

bool TChartListBox::RenameCurrentSeries() {
    TChartSeries* series = CurrentSeries();
    if (!series)
        return false;
    const std::string shown = FShowSeriesNames ? series->Name() : GetSeriesTitle(series);
    std::string text = shown;
    bool changed = false;
    if (plat::InputQuery(ChartTextChangeSeriesTitle, ChartTextNewSeriesTitle, text) && !text.empty())
        changed = ApplyNewText(series, text) && text != shown;
    SelectRow(Items()->IndexOfObject(series));
    return changed;
}

TChartSeries* TChartListBox::AddSeriesFromGallery() {
    if (!ChartListBoxGalleryHook || !FChart)
        return nullptr;
    TChartSeries* series = ChartListBoxGalleryHook(FChart->Owner(), FChart, CurrentSeries());
    if (series) {
        UnselectAll();
        FocusSeries(series);
        Refresh();
    }
    return series;
}

void TChartListBox::ChangeSelectedSeriesType() {
    if (!FChart || !ChartListBoxTypeHook || !HasSelection())
        return;
    std::vector<TChartSeries*> selected;
    for (int i = 0; i < Count(); ++i)
        if (Selected(i) || (!MultiSelect() && i == ItemIndex()))
            selected.push_back(SeriesAtIndex(i));
    if (selected.empty())
        return;
    const plat::TClassInfo* newClass = ChartListBoxTypeHook(selected.front());
    if (!newClass)
        return;
    for (TChartSeries*& series : selected)
        ChangeSeriesClass(series, *newClass);
    UnselectAll();
    for (TChartSeries* series : selected)
        FocusSeries(series);
    Refresh();
}

// --- In-place title editor ----------------------------------------------------------------------------

void TChartListBox::StartTitleEdit() {
    TChartSeries* series = CurrentSeries();
    if (!series || !SectionVisible(lbsTitle))
        return;
    if (!FEditor) {
        FEditor = new plat::TEdit(this);
        FEditor->SetVisible(false);
        FEditor->SetParent(this);
        FEditor->OnKeyDown = [this](plat::TObject*, uint16_t& Key, plat::TShiftState) {
            switch (Key) {
            case plat::VK_RETURN:
            case plat::VK_UP:
            case plat::VK_DOWN:
            case plat::VK_F2:
                Key = 0;
                CloseTitleEdit(true);
                break;
            case plat::VK_ESCAPE:
                Key = 0;
                CloseTitleEdit(false);
                break;
            default:
                break;
            }
        };
    }
    const TRect row = ItemRect(ItemIndex());
    const int left = SectionLeft(lbsTitle) - 2;
    FEditor->SetBounds(left, row.Top, SectionWidth(lbsTitle), row.Height() + 1);
    FEditor->SetTextProp(FShowSeriesNames ? series->Name() : GetSeriesTitle(series));
    FEditor->SetVisible(true);
    FEditor->SelectAll();
    if (FEditor->CanFocus())
        FEditor->SetFocus();
}

void TChartListBox::CloseTitleEdit(bool Store) {
    if (!FEditor || !FEditor->Visible())
        return;
    FEditor->SetVisible(false);
    if (Store)
        if (TChartSeries* series = CurrentSeries())
            ApplyNewText(series, FEditor->Text());
    if (CanFocus())
        SetFocus();
}

void TChartListBox::CommitTitleEdit() {
    CloseTitleEdit(true);
}

// --- Columns ------------------------------------------------------------------------------------------

int TChartListBox::SectionLeft(TListBoxSection Section) const {
    if (!FSections[Section].Visible)
        return -1;
    int left = 0;
    for (int s = 0; s < Section; ++s)
        if (FSections[s].Visible)
            left += FSections[s].Width;
    return left;
}

void TChartListBox::SetSectionVisible(TListBoxSection Section, bool Value) {
    FSections[Section].Visible = Value;
    Invalidate();
}

TListBoxSection TChartListBox::SectionAt(int X) const {
    for (int s = 0; s < lbsCount; ++s) {
        const auto section = static_cast<TListBoxSection>(s);
        const int left = SectionLeft(section);
        if (left >= 0 && X > left && X < left + FSections[s].Width)
            return section;
    }
    return lbsCount;
}

void TChartListBox::SetCheckStyle(TCheckBoxesStyle Value) {
    if (FCheckStyle == Value)
        return;
    FCheckStyle = Value;
    if (FCheckStyle == cbsRadio) {
        bool seen = false;
        for (int i = 0; i < Count(); ++i)
            if (TChartSeries* series = SeriesAtIndex(i); series && series->Active()) {
                if (seen)
                    series->SetActive(false);
                seen = true;
            }
    }
    Invalidate();
}

// --- Drawing ------------------------------------------------------------------------------------------

void TChartListBox::DrawItem(int Index, TRect Rect, plat::TOwnerDrawState State) {
    plat::TCanvas* canvas = Canvas();
    TChartSeries* series = SeriesAtIndex(Index);
    const bool focused = Focused();
    const bool selected = (State & plat::odSelected) || (!focused && Index == ItemIndex());
    TColor back = Color();
    if (selected)
        back = focused ? plat::clHighlight
                       : (Index == ItemIndex() ? plat::clInactiveCaption : plat::clHighlight);
    else if (State & plat::odFocused)
        back = plat::clInactiveCaption;
    canvas->Brush()->SetStyle(plat::bsSolid);
    canvas->Brush()->SetColor(back);
    canvas->FillRect(Rect);
    // Only the title column shows the selection.
    if (const int titleLeft = SectionLeft(lbsTitle); titleLeft > 2) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(TRect(Rect.Left, Rect.Top, Rect.Left + titleLeft - 2, Rect.Bottom));
    }
    if (!series)
        return;
    if (const int x = SectionLeft(lbsIcon); x >= 0)
        DrawSeriesClassBitmap(canvas, series, Rect.Left + x, Rect.Top);
    if (const int x = SectionLeft(lbsColor); x >= 0 && series->SeriesColor() != plat::clNone) {
        TRect cell(Rect.Left + x - 2, Rect.Top, Rect.Left + x - 2 + 26, Rect.Bottom);
        cell.Left += 4;
        cell.Top += 4;
        cell.Right -= 4;
        cell.Bottom -= 4;
        DrawSeriesSymbol(series, canvas, cell, FChart);
    }
    if (const int x = SectionLeft(lbsCheck); x >= 0) {
        const int top = Rect.Top + (Rect.Height() - 13) / 2;
        TRect box(Rect.Left + x + 2, top, Rect.Left + x + 15, top + 13);
        uint32_t state = FCheckStyle == cbsCheck ? plat::DFCS_BUTTONCHECK : plat::DFCS_BUTTONRADIO;
        if (series->Active())
            state |= plat::DFCS_CHECKED;
        if (plat::TDeviceContext* dc = canvas->Handle())
            plat::DrawFrameControl(*dc, box, plat::DFC_BUTTON, state);
    }
    if (const int x = SectionLeft(lbsTitle); x >= 0) {
        canvas->Brush()->SetStyle(plat::bsClear);
        canvas->Font()->SetColor(selected ? plat::clHighlightText : Font()->Color());
        const int textHeight = canvas->TextHeight("W");
        canvas->TextOut(Rect.Left + x + 1, Rect.Top + (Rect.Height() - textHeight) / 2,
                        Items()->Strings(Index));
        canvas->Brush()->SetStyle(plat::bsSolid);
    }
}

// --- Mouse and keys -----------------------------------------------------------------------------------

void TChartListBox::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    CommitTitleEdit();
    FMousePoint = TPoint(X, Y);
    const int row = ItemAtPos(FMousePoint, true);
    const TListBoxSection section = SectionAt(X);
    TChartSeries* series = SeriesAtIndex(row);
    if (series && section == lbsCheck) {
        // The check toggles the series without touching the selection.
        if (FCheckStyle == cbsCheck) {
            series->SetActive(!series->Active());
        } else {
            for (int i = 0; i < Count(); ++i)
                if (TChartSeries* other = SeriesAtIndex(i))
                    other->SetActive(other == series);
        }
        if (!series->ParentChart())
            Invalidate();
        Invalidate();
        if (OnChangeActive)
            OnChangeActive(this, series);
    } else {
        plat::TCustomListBox::MouseDown(Button, Shift, X, Y);
        if (series && FEnableDragSeries && section == lbsTitle && !FDblClicked && Button == plat::mbLeft &&
            !(Shift & (plat::ssShift | plat::ssCtrl)))
            BeginDrag(false);
    }
    FDblClicked = false;
    if (OnOtherItemsChange)
        OnOtherItemsChange(this);
}

void TChartListBox::MouseMove(plat::TShiftState Shift, int X, int Y) {
    plat::TCustomListBox::MouseMove(Shift, X, Y);
    const int row = ItemAtPos(TPoint(X, Y), true);
    const TListBoxSection section = SectionAt(X);
    const bool hand = row >= 0 && ((section == lbsIcon && FEnableChangeType) ||
                                   (section == lbsColor && FEnableChangeColor));
    if (!(ComponentState() & plat::csDesigning))
        SetCursor(hand ? plat::crHandPoint : plat::crDefault);
}

void TChartListBox::DblClick() {
    FDblClicked = true;
    const int row = ItemAtPos(FMousePoint, true);
    if (row < 0 || !(Selected(row) || row == ItemIndex()))
        return;
    TChartSeries* series = SeriesAtIndex(row);
    const TListBoxSection section = SectionAt(FMousePoint.X);
    if (section == lbsIcon && FEnableChangeType) {
        ChangeSelectedSeriesType();
    } else if (section == lbsColor && FEnableChangeColor && series && series->SeriesColor() != plat::clNone) {
        TColor color = series->SeriesColor();
        if (RunColorDialog(this, color)) {
            series->SetSeriesColor(color);
            series->SetColorEachPoint(false);
            if (OnChangeColor)
                OnChangeColor(this, series);
        }
    } else if (section == lbsTitle && OnDblClickSeries) {
        OnDblClickSeries(this, row);
    }
}

void TChartListBox::KeyUp(uint16_t& Key, plat::TShiftState Shift) {
    plat::TCustomListBox::KeyUp(Key, Shift);
    if (Key == plat::VK_INSERT && FAllowAdd)
        AddSeriesFromGallery();
    else if (Key == plat::VK_DELETE && FAllowDelete)
        RemoveSelectedSeries();
    else if (Key == plat::VK_F2 && CurrentSeries())
        StartTitleEdit();
}

void TChartListBox::DragOver(plat::TObject* Source, int X, int Y, plat::TDragState State, bool& Accept) {
    plat::TCustomListBox::DragOver(Source, X, Y, State, Accept);
    Accept = FEnableDragSeries && Source == this;
}

void TChartListBox::DragDrop(plat::TObject* Source, int X, int Y) {
    plat::TCustomListBox::DragDrop(Source, X, Y);
    const int target = ItemAtPos(TPoint(X, Y), true);
    if (ItemIndex() != -1 && target != -1 && target != ItemIndex())
        SwapSeries(ItemIndex(), target);
}

} // namespace chart
