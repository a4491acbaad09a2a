#include "platform/gfx/PixelDiff.h"

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

// A block is a few cache lines wide and a few rows high: small enough that a thin curve marks little,
// large enough that the rectangles stay few and each comparison runs over whole lines.
constexpr int kBlockWidth = 64;
constexpr int kBlockRows = 16;

} // namespace

std::vector<TRect> CopyChangedBlocks(const uint32_t* Source, int SourceStride, uint32_t* Mirror,
                                     int MirrorStride, const TRect& Area) {
    std::vector<TRect> out;
    if (Area.IsEmpty())
        return out;
    const int columns = (Area.Width() + kBlockWidth - 1) / kBlockWidth;
    std::vector<uint8_t> changed(static_cast<size_t>(columns));
    for (int top = Area.Top; top < Area.Bottom; top += kBlockRows) {
        const int bottom = std::min(top + kBlockRows, Area.Bottom);
        std::fill(changed.begin(), changed.end(), uint8_t(0));
        int unchanged = columns;
        // A block found changed is not compared further down: it is copied whole anyway.
        for (int y = top; y < bottom && unchanged; ++y) {
            const uint32_t* s = Source + static_cast<size_t>(y) * SourceStride;
            const uint32_t* m = Mirror + static_cast<size_t>(y) * MirrorStride;
            for (int c = 0; c < columns; ++c) {
                if (changed[c])
                    continue;
                const int x0 = Area.Left + c * kBlockWidth, x1 = std::min(x0 + kBlockWidth, Area.Right);
                if (std::memcmp(s + x0, m + x0, static_cast<size_t>(x1 - x0) * 4) != 0) {
                    changed[c] = 1;
                    --unchanged;
                }
            }
        }
        const size_t thisBand = out.size(); // rectangles before it end at most at this band's top
        for (int c = 0; c < columns;) {
            if (!changed[c]) {
                ++c;
                continue;
            }
            int e = c;
            while (e < columns && changed[e])
                ++e;
            const int x0 = Area.Left + c * kBlockWidth,
                      x1 = std::min(Area.Left + e * kBlockWidth, Area.Right);
            for (int y = top; y < bottom; ++y)
                std::memcpy(Mirror + static_cast<size_t>(y) * MirrorStride + x0,
                            Source + static_cast<size_t>(y) * SourceStride + x0,
                            static_cast<size_t>(x1 - x0) * 4);
            const auto bandStart = out.begin() + static_cast<std::ptrdiff_t>(thisBand);
            auto above = std::find_if(out.begin(), bandStart, [&](const TRect& r) {
                return r.Left == x0 && r.Right == x1 && r.Bottom == top;
            });
            if (above != bandStart)
                above->Bottom = bottom;
            else
                out.push_back(TRect(x0, top, x1, bottom));
            c = e;
        }
    }
    return out;
}

} // namespace plat
