#include "ui/drawing/KvxDataSet.h"

#include <algorithm>

namespace ui {

// ---- Dataset ---------------------------------------------------------------------------------------------

TKvxDataSet::~TKvxDataSet() {
    for (TDataSource* s : std::vector<TDataSource*>(FSources))
        s->SetDataSet(nullptr);
}

void TKvxDataSet::AttachSource(TDataSource* Source) {
    if (std::find(FSources.begin(), FSources.end(), Source) == FSources.end())
        FSources.push_back(Source);
}

void TKvxDataSet::DetachSource(TDataSource* Source) {
    std::erase(FSources, Source);
}

void TKvxDataSet::NotifyActiveChanged() {
    for (TDataSource* s : std::vector<TDataSource*>(FSources))
        s->ActiveChanged();
}

void TKvxDataSet::NotifyDataSetChanged() {
    for (TDataSource* s : std::vector<TDataSource*>(FSources))
        s->DataSetChanged();
}

void TKvxDataSet::NotifyStateChanged() {
    for (TDataSource* s : std::vector<TDataSource*>(FSources))
        s->StateChanged();
}

// ---- Data link -------------------------------------------------------------------------------------------

TDataLink::~TDataLink() {
    SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* Value) {
    if (FDataSource == Value)
        return;
    if (FDataSource)
        std::erase(FDataSource->FLinks, this);
    FDataSource = Value;
    if (FDataSource)
        FDataSource->FLinks.push_back(this);
    FEditing = Editing();
    ActiveChanged();
}

TKvxDataSet* TDataLink::DataSet() const {
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

bool TDataLink::Active() const {
    return DataSet() && DataSet()->Active();
}

bool TDataLink::Editing() const {
    const TDataSetState s = FDataSource ? FDataSource->State() : dsInactive;
    return s == dsEdit || s == dsInsert;
}

// ---- Data source -----------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TDataSource, plat::TComponent)

TDataSource::~TDataSource() {
    SetDataSet(nullptr);
    for (TDataLink* l : std::vector<TDataLink*>(FLinks))
        l->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TKvxDataSet* Value) {
    if (FDataSet == Value)
        return;
    if (FDataSet)
        FDataSet->DetachSource(this);
    FDataSet = Value;
    if (FDataSet)
        FDataSet->AttachSource(this);
    ActiveChanged();
}

void TDataSource::ActiveChanged() {
    for (TDataLink* l : std::vector<TDataLink*>(FLinks)) {
        l->FEditing = l->Editing();
        l->ActiveChanged();
    }
}

void TDataSource::DataSetChanged() {
    for (TDataLink* l : std::vector<TDataLink*>(FLinks))
        l->DataSetChanged();
}

void TDataSource::StateChanged() {
    for (TDataLink* l : std::vector<TDataLink*>(FLinks)) {
        const bool editing = l->Editing();
        if (editing != l->FEditing) {
            l->FEditing = editing;
            l->EditingChanged();
        }
    }
}

} // namespace ui
