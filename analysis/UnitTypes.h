// The arrays the numerical routines pass around, and the peak list each frame of a chart window
// carries: the point indices where the peak finder found peaks and valleys.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/Object.h"

namespace analysis {

using TIntArray = std::vector<int32_t>;
using TDoubleArray = std::vector<double>;
// Rows of doubles; a square matrix is n rows of n doubles.
using TDoubleMatrixArray = std::vector<TDoubleArray>;

// Peaks and valleys of one frame, as 0-based point indices in the order found. Positions passed to
// these operations are places in the lists, not point indices.
class TPeaksObject : public plat::TObject {
    PLAT_CLASS(TPeaksObject)
public:
    TPeaksObject() = default;
    ~TPeaksObject() override = default;

    void AddPeak(int32_t Index) { FPeaks.push_back(Index); }
    void AddValley(int32_t Index) { FValleys.push_back(Index); }
    void ClearPeaks();
    // A position outside the list changes nothing.
    void DeletePeak(int32_t Position);
    void DeleteValley(int32_t Position);
    int32_t PeakCount() const { return static_cast<int32_t>(FPeaks.size()); }
    int32_t ValleyCount() const { return static_cast<int32_t>(FValleys.size()); }
    // Raise EListError for a position outside the list.
    int32_t PeakAt(int32_t Position) const;
    int32_t ValleyAt(int32_t Position) const;
    // Keep the first N entries; nothing when the list is not longer. A negative N keeps none.
    void TruncatePeaks(int32_t N);
    void TruncateValleys(int32_t N);

private:
    TIntArray FPeaks;
    TIntArray FValleys;
};

// The power of ten of a calibrated x axis: beyond these a scale or a report overflows to infinity or
// to zero, so every place an exponent enters holds it to them.
constexpr int MinXExponent = -30;
constexpr int MaxXExponent = 30;

} // namespace analysis
