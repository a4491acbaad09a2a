// The small data-access layer data-aware components bind to: a dataset (an abstract cursor over records
// with a state, navigation and editing), a data source that connects one dataset to any number of data
// links, and the data link through which a component hears about the dataset.
#pragma once

#include <vector>

#include "platform/rtl/Component.h"

namespace ui {

class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TKvxDataSet {
public:
    TKvxDataSet() = default;
    // A dataset that goes leaves its sources without one.
    virtual ~TKvxDataSet();
    TKvxDataSet(const TKvxDataSet&) = delete;
    TKvxDataSet& operator=(const TKvxDataSet&) = delete;
    virtual TDataSetState State() const = 0;
    bool Active() const { return State() != dsInactive; }
    // At the first record (or before any), after the last one (or on the last when moving further fails).
    virtual bool Bof() const = 0;
    virtual bool Eof() const = 0;
    virtual bool CanModify() const = 0;
    virtual void First() = 0;
    virtual void Prior() = 0;
    virtual void Next() = 0;
    virtual void Last() = 0;
    virtual void Insert() = 0;
    virtual void Append() = 0;
    virtual void Delete() = 0;
    virtual void Edit() = 0;
    virtual void Post() = 0;
    virtual void Cancel() = 0;
    virtual void Refresh() = 0;

    // The sources that show this dataset; an implementation calls the notifications below after each
    // change so that they tell their links.
    void AttachSource(TDataSource* Source);
    void DetachSource(TDataSource* Source);

protected:
    void NotifyActiveChanged();
    void NotifyDataSetChanged();
    void NotifyStateChanged();

private:
    std::vector<TDataSource*> FSources;
};

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TKvxDataSet* DataSet() const;
    bool Active() const;
    bool Editing() const;

protected:
    friend class TDataSource;
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() {}
    virtual void EditingChanged() {}

private:
    TDataSource* FDataSource = nullptr;
    bool FEditing = false;
};

class TDataSource : public plat::TComponent {
    PLAT_CLASS(TDataSource)
public:
    explicit TDataSource(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
    ~TDataSource() override;
    TKvxDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TKvxDataSet* Value);
    TDataSetState State() const { return FDataSet ? FDataSet->State() : dsInactive; }

private:
    friend class TKvxDataSet;
    friend class TDataLink;
    void ActiveChanged();
    void DataSetChanged();
    void StateChanged();
    TKvxDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FLinks;
};

} // namespace ui
