// The registries of series, function and tool classes that the chart editor's galleries list.
#include <algorithm>

#include "chart/PlotConst.h"
#include "chart/PlotProcs.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/NumberFormat.h"

namespace chart {

namespace {

[[noreturn]] void IndexError(int Index) {
    throw plat::EListError(plat::Format("List index out of bounds (%d)", {Index}));
}

} // namespace

const TPlotSeriesType* TPlotSeriesTypes::SeriesTypeAt(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return FItems[Index].get();
}

const TPlotSeriesType* TPlotSeriesTypes::Find(const plat::TClassInfo* SeriesClass,
                                              const plat::TClassInfo* FunctionClass) const {
    for (const auto& item : FItems)
        if (item->SeriesClass == SeriesClass && item->FunctionClass == FunctionClass)
            return item.get();
    return nullptr;
}

const TPlotSeriesType* TPlotSeriesTypes::FindSeriesClass(const plat::TClassInfo* SeriesClass) const {
    return Find(SeriesClass, nullptr);
}

void TPlotSeriesTypes::Add(const TPlotSeriesType& Type) {
    FItems.push_back(std::make_unique<TPlotSeriesType>(Type));
}

const plat::TClassInfo* TPlotToolTypes::ToolClassAt(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return FItems[Index];
}

int TPlotToolTypes::IndexOf(const plat::TClassInfo* ToolClass) const {
    auto it = std::find(FItems.begin(), FItems.end(), ToolClass);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TPlotToolTypes::Remove(const plat::TClassInfo* ToolClass) {
    auto it = std::find(FItems.begin(), FItems.end(), ToolClass);
    if (it != FItems.end())
        FItems.erase(it);
}

// Made on first use, so that series and tool units may register from their own start-up code whatever
// order the program starts its units in.
TPlotSeriesTypes& PlotSeriesTypes() {
    static TPlotSeriesTypes types;
    return types;
}

TPlotToolTypes& PlotToolTypes() {
    static TPlotToolTypes types;
    return types;
}

void RegisterPlotSeriesFunction(const plat::TClassInfo* SeriesClass, const plat::TClassInfo* FunctionClass,
                                const std::string* Description, const std::string* GalleryPage,
                                int NumGallerySeries) {
    if (SeriesClass)
        plat::RegisterClass(*SeriesClass);
    if (FunctionClass)
        plat::RegisterClass(*FunctionClass);
    TPlotSeriesTypes& types = PlotSeriesTypes();
    if (types.Find(SeriesClass, FunctionClass))
        return;
    types.Add({SeriesClass, FunctionClass, Description, GalleryPage, NumGallerySeries});
}

void RegisterPlotSeries(const plat::TClassInfo* SeriesClass, const std::string* Description,
                        const std::string* GalleryPage, int NumGallerySeries) {
    RegisterPlotSeriesFunction(SeriesClass, nullptr, Description, GalleryPage, NumGallerySeries);
}

void RegisterPlotSeries(const plat::TClassInfo* SeriesClass, const std::string* Description) {
    RegisterPlotSeries(SeriesClass, Description, &ChartTextStandard, 2);
}

void RegisterPlotFunction(const plat::TClassInfo* FunctionClass, const std::string* Description,
                          const std::string* GalleryPage, int NumGallerySeries) {
    RegisterPlotSeriesFunction(nullptr, FunctionClass, Description, GalleryPage, NumGallerySeries);
}

void RegisterPlotFunction(const plat::TClassInfo* FunctionClass, const std::string* Description) {
    RegisterPlotFunction(FunctionClass, Description, &ChartTextStandard, 2);
}

std::string GetGallerySeriesName(const plat::TObject* Series) {
    if (!Series)
        return {};
    if (const TPlotSeriesType* type = PlotSeriesTypes().FindSeriesClass(&Series->ClassType()))
        return type->DescriptionText();
    return Series->ClassName();
}

void RegisterPlotTools(std::initializer_list<const plat::TClassInfo*> ToolClasses) {
    TPlotToolTypes& tools = PlotToolTypes();
    for (const plat::TClassInfo* cls : ToolClasses) {
        if (!cls || tools.IndexOf(cls) >= 0)
            continue;
        plat::RegisterClass(*cls);
        tools.Add(cls);
    }
}

void UnRegisterPlotTools(std::initializer_list<const plat::TClassInfo*> ToolClasses) {
    TPlotToolTypes& tools = PlotToolTypes();
    for (const plat::TClassInfo* cls : ToolClasses)
        tools.Remove(cls);
}

} // namespace chart
