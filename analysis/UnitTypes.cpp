#include "analysis/UnitTypes.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/NumberFormat.h"

namespace analysis {

PLAT_CLASS_INFO(TPeaksObject, plat::TObject)

namespace {

void DeleteAt(TIntArray& List, int32_t Position) {
    if (Position >= 0 && Position < static_cast<int32_t>(List.size()))
        List.erase(List.begin() + Position);
}

int32_t EntryAt(const TIntArray& List, int32_t Position) {
    if (Position < 0 || Position >= static_cast<int32_t>(List.size()))
        throw plat::EListError(plat::Format("List index out of bounds (%d)", {Position}));
    return List[Position];
}

void Truncate(TIntArray& List, int32_t N) {
    if (N < static_cast<int32_t>(List.size()))
        List.resize(static_cast<size_t>(std::max(N, 0)));
}

} // namespace

void TPeaksObject::ClearPeaks() {
    FPeaks.clear();
    FValleys.clear();
}

void TPeaksObject::DeletePeak(int32_t Position) {
    DeleteAt(FPeaks, Position);
}

void TPeaksObject::DeleteValley(int32_t Position) {
    DeleteAt(FValleys, Position);
}

int32_t TPeaksObject::PeakAt(int32_t Position) const {
    return EntryAt(FPeaks, Position);
}

int32_t TPeaksObject::ValleyAt(int32_t Position) const {
    return EntryAt(FValleys, Position);
}

void TPeaksObject::TruncatePeaks(int32_t N) {
    Truncate(FPeaks, N);
}

void TPeaksObject::TruncateValleys(int32_t N) {
    Truncate(FValleys, N);
}

} // namespace analysis
