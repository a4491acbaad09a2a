// Small encoded pictures for the drawing tests, made by the platform's own encoders.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/GifImage.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Stream.h"

namespace drawingtest {

using TBytes = std::vector<uint8_t>;

// A 24-bit bitmap filled with fill, whose pixel (x, y) is then set by paint when given.
inline std::unique_ptr<plat::TBitmap> MakeBitmap(int width, int height, plat::TColor fill,
                                                 const std::function<void(plat::TCanvas&)>& paint = {}) {
    auto bmp = std::make_unique<plat::TBitmap>(width, height, plat::pf24bit);
    plat::TCanvas& c = *bmp->Canvas();
    c.Brush()->SetColor(fill);
    c.FillRect(plat::TRect(0, 0, width, height));
    if (paint)
        paint(c);
    return bmp;
}

inline TBytes Saved(plat::TGraphic& graphic) {
    plat::TMemoryStream s;
    graphic.SaveToStream(s);
    return s.Bytes();
}

// The bitmap in the file format of the graphic class G.
template <class G> TBytes Encoded(plat::TBitmap& bmp) {
    G graphic;
    graphic.Assign(&bmp);
    return Saved(graphic);
}

} // namespace drawingtest
