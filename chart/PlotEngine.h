// The chart engine: value lists (one growable array of doubles per value dimension of a series, with
// its order and cached statistics) and the list of a series' value lists, the engine's exception class,
// and, at the end, the headers of the rest of the engine core (shapes, axes, series, marks, axis panel,
// tools), so that code using the engine includes this one header.
//
// Headers of the engine core include this header with CHART_PLOTENGINE_NO_UMBRELLA defined, which gives
// them the value lists without pulling in the other core headers half-way through their own.
#ifndef CHART_PLOTENGINE_H
#define CHART_PLOTENGINE_H

#include <span>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/List.h"
#include "platform/rtl/Persistent.h"

namespace chart {

// Raised by series, pages and functions with the engine's message texts.
class ChartException : public plat::Exception {
public:
    using plat::Exception::Exception;
    const char* ClassName() const override { return "ChartException"; }
};

class TChartValueList;

enum TChartListOrder { loNone, loAscending, loDescending };

// Kinds of change a series passes on to the series that take their points from it.
enum TValueEvent { veClear, veAdd, veDelete, veRefresh, veModify };

// The value lists of one series: X first, Y second, extra lists after them in creation order. Owns its
// lists.
class TChartValueLists : public plat::TList {
    PLAT_CLASS(TChartValueLists)
public:
    TChartValueLists() = default;
    ~TChartValueLists() override;
    // Callers pass an index in 0 .. Count() - 1.
    TChartValueList* ValueListAt(int Index) const { return static_cast<TChartValueList*>(Get(Index)); }
    // Frees every list.
    void Clear();
};

// What a value list needs of the series that owns it.
class IChartValueListOwner {
public:
    // The series' value lists; a new list adds itself there.
    virtual TChartValueLists& ValuesList() = 0;
    // Passes a change on to the series that depend on this one.
    virtual void NotifyDependents(TValueEvent Kind, int ValueIndex) = 0;
    // Exchanges two points in every value list, with their colours and labels.
    virtual void ExchangePoints(int Index1, int Index2) = 0;
    virtual void InvalidateParentChart() = 0;
    // Reloads the series from its data source.
    virtual void RefreshFromSource() = 0;

protected:
    ~IChartValueListOwner() = default;
};

// One value dimension of a series. Values live in one contiguous array that callers may read and write
// by index; whoever writes the array directly must stay within Count() and call SetModified(true)
// afterwards, or the statistics stay stale. Reads by index are not checked; operations that insert,
// delete or exchange raise EListError for an index out of range.
class TChartValueList : public plat::TPersistent {
    PLAT_CLASS(TChartValueList)
public:
    // Capacity grows by this many entries at a time.
    static constexpr int GrowthStep = 1000;

    // Adds itself to the owner's value lists (a null owner is allowed for a list of its own).
    TChartValueList(IChartValueListOwner* Owner, const std::string& Name);
    ~TChartValueList() override;

    // Copies Order, DateTime and ValueSource of another value list; not the values, not the name.
    void Assign(plat::TPersistent* Source) override;
    // Reads the obsolete "Multiplier" property of old streams.
    void DefineProperties(plat::TFiler& Filer) override;

    // Inserts the value where the list's order puts it (after equal values); returns its index.
    virtual int AddValue(double Value);
    virtual void ClearValues();
    virtual void InsertValue(int Index, double Value);
    virtual void DeleteValue(int Index);
    // Deletes up to Quantity values from Start on.
    void DeleteRange(int Start, int Quantity);
    // Inserts TempValue where the list's order puts it; the series sets TempValue of every list first.
    int AddTempValue();
    // Appends the values as they stand, whatever the order: for a caller that has checked it.
    void AppendValues(std::span<const double> Values);

    int Count() const { return FCount; }
    // Entries allocated; Value().size().
    int Capacity() const { return static_cast<int>(FValue.size()); }
    // The storage; entries from Count() on are unused.
    std::vector<double>& Value() { return FValue; }
    const std::vector<double>& Value() const { return FValue; }
    double operator[](int Index) const { return FValue[Index]; }
    double Items(int Index) const { return FValue[Index]; }
    void SetItems(int Index, double Value);
    // Callers ask only a list that is not empty.
    double First() const { return FValue[0]; }
    double Last() const { return FValue[FCount - 1]; }

    // Statistics, recomputed once after any change. Recomputing also takes Count() back to the array's
    // length when a direct writer shortened the array.
    double MaxValue() const;
    double MinValue() const;
    double Total() const;
    double TotalABS() const;
    double Range() const;
    void RecomputeStatistics() const;

    // The first index in First..Last (clipped to the list) holding exactly the value, or -1.
    int Locate(double Value) const;
    int Locate(double Value, int First, int Last) const;
    void Exchange(int Index1, int Index2);
    // Entry i := i.
    void FillWithIndexes();
    // Moves every value one place down, the first becoming the last; the statistics stay valid.
    void Scroll();
    // -1, 0 or 1 by the values at the two indexes; inverted for a descending list.
    int CompareValues(int A, int B) const;
    // Sorts by the list's order, exchanging whole points through the owner; nothing for loNone.
    void Sort();

    bool DateTime() const { return FDateTime; }
    // Repaints the owner's chart when it changes.
    void SetDateTime(bool Value);
    bool DefaultDateTime() const { return FDefaultDateTime; }
    // For series kinds whose list starts as date-time: sets DateTime and the value not streamed.
    void SetDefaultDateTime(bool Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TChartListOrder Order() const { return FOrder; }
    void SetOrder(TChartListOrder Value) { FOrder = Value; }
    const std::string& ValueSource() const { return FValueSource; }
    // Reloads the owner from its data source when it changes.
    void SetValueSource(const std::string& Value);
    double TempValue() const { return FTempValue; }
    void SetTempValue(double Value) { FTempValue = Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    IChartValueListOwner* Owner() const { return FOwner; }

    bool IsDateTimeStored() const { return FDateTime != FDefaultDateTime; }

private:
    void CheckIndex(int Index, int Limit) const;
    void ReadMultiplier(double Value);

    IChartValueListOwner* FOwner;
    TChartValueLists* FLists = nullptr; // the owner's lists, which this list is in
    bool FDateTime = false;
    bool FDefaultDateTime = false;
    std::string FName;
    TChartListOrder FOrder = loNone;
    std::string FValueSource;
    double FTempValue = 0;
    std::vector<double> FValue;
    mutable int FCount = 0;
    mutable bool FModified = true;
    mutable double FMaxValue = 0;
    mutable double FMinValue = 0;
    mutable double FTotal = 0;
    mutable double FTotalABS = 0;
};

} // namespace chart

#endif // CHART_PLOTENGINE_H

#ifndef CHART_PLOTENGINE_NO_UMBRELLA
#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"
#include "chart/PlotEngineShape.h"
#include "chart/PlotEngineTools.h"
#endif
