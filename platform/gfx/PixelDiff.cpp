#include "platform/gfx/PixelDiff.h"

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

// A block is a few cache lines wide and a few rows high: small enough that a thin curve marks little,
// large enough that the rectangles stay few and each comparison runs over whole lines.
constexpr int kBlockWidth = 64;
constexpr int kBlockRows = 16;

// Runs are nearly always equal, so both are read whole and judged once: no call and no early exit per word,
// which for runs this short cost more than the reading.
bool SameRun(const uint32_t* A, const uint32_t* B, int Count) {
    typedef uint32_t TQuad __attribute__((vector_size(16)));
    TQuad diff = {0, 0, 0, 0};
    int i = 0;
    for (; i + 4 <= Count; i += 4) {
        TQuad a, b;
        std::memcpy(&a, A + i, sizeof a);
        std::memcpy(&b, B + i, sizeof b);
        diff |= a ^ b;
    }
    uint32_t rest = diff[0] | diff[1] | diff[2] | diff[3];
    for (; i < Count; ++i)
        rest |= A[i] ^ B[i];
    return rest == 0;
}

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
        // One pass over the band: a block's rows are compared until one differs, and from there on copied;
        // the rows above it are equal already. So every pixel is read once and only changes are written.
        for (int y = top; y < bottom; ++y) {
            const uint32_t* s = Source + static_cast<size_t>(y) * SourceStride;
            uint32_t* m = Mirror + static_cast<size_t>(y) * MirrorStride;
            for (int c = 0; c < columns; ++c) {
                const int x0 = Area.Left + c * kBlockWidth, x1 = std::min(x0 + kBlockWidth, Area.Right);
                if (changed[c] || !SameRun(s + x0, m + x0, x1 - x0)) {
                    changed[c] = 1;
                    std::memcpy(m + x0, s + x0, static_cast<size_t>(x1 - x0) * 4);
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
