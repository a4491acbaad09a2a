#include "platform/ui/Cursor.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/gfx/CursorImage.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/Resources.h"
#include "platform/ui/Input.h"

namespace plat {

namespace {

struct TStandard {
    int Id;
    TCursorShape Shape;
};

const TStandard Standards[] = {
    {IDC_ARROW, csrArrow},
    {IDC_IBEAM, csrIBeam},
    {IDC_WAIT, csrWait},
    {IDC_CROSS, csrCross},
    {IDC_UPARROW, csrUpArrow},
    {IDC_SIZENWSE, csrSizeNWSE},
    {IDC_SIZENESW, csrSizeNESW},
    {IDC_SIZEWE, csrSizeWE},
    {IDC_SIZENS, csrSizeNS},
    {IDC_SIZEALL, csrSizeAll},
    {IDC_NO, csrNo},
    {IDC_HAND, csrHandPoint},
    {IDC_APPSTARTING, csrAppStarting},
    {IDC_HELP, csrHelp},
    {IDC_HSPLIT, csrHSplit},
    {IDC_VSPLIT, csrVSplit},
    {IDC_DRAG, csrDrag},
    {IDC_NODROP, csrNoDrop},
    {IDC_NONE, csrNone},
};

std::map<int, TCursorHandle>& StandardHandles() {
    static auto* handles = [] {
        auto* m = new std::map<int, TCursorHandle>;
        for (const TStandard& s : Standards)
            (*m)[s.Id].Image.Shape = s.Shape;
        return m;
    }();
    return *handles;
}

bool IsStandard(HCURSOR cursor) {
    for (auto& [id, handle] : StandardHandles())
        if (&handle == cursor)
            return true;
    return false;
}

} // namespace

HCURSOR LoadCursor(int id) {
    auto& handles = StandardHandles();
    auto it = handles.find(id);
    return it == handles.end() ? nullptr : &it->second;
}

HCURSOR CreateCursorFromPixels(int width, int height, const uint32_t* argb, TPoint hotSpot) {
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || !argb)
        return nullptr;
    auto* cursor = new TCursorHandle;
    cursor->Image.Shape = csrCustom;
    cursor->Image.Width = width;
    cursor->Image.Height = height;
    cursor->Image.HotSpot = TPoint(std::clamp(hotSpot.X, 0, width - 1), std::clamp(hotSpot.Y, 0, height - 1));
    cursor->Image.Pixels.assign(argb, argb + static_cast<size_t>(width) * height);
    return cursor;
}

HCURSOR CreateCursorFromImage(const TImageSurface& image, TPoint hotSpot, TColor transparent) {
    int w = image.Width(), h = image.Height();
    if (w <= 0 || h <= 0)
        return nullptr;
    // Without a colour named, the bottom-left pixel's colour is see-through, as for transparent bitmaps.
    uint32_t key = transparent == clNone
                       ? (image.Row(h - 1)[0] & 0xFFFFFF)
                       : static_cast<uint32_t>((GetRValue(transparent) << 16) |
                                               (GetGValue(transparent) << 8) | GetBValue(transparent));
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t rgb = image.Row(y)[x] & 0xFFFFFF;
            px[static_cast<size_t>(y) * w + x] = rgb == key ? 0 : (0xFF000000u | rgb);
        }
    return CreateCursorFromPixels(w, h, px.data(), hotSpot);
}

static HCURSOR FromResource(const TEmbeddedResource* r) {
    if (!r)
        return nullptr;
    TCursorPicture picture = DecodeCursor(r->Data, r->Size);
    return CreateCursorFromPixels(picture.Image.Width, picture.Image.Height, picture.Image.Pixels.data(),
                                  picture.HotSpot);
}

HCURSOR LoadCursorResource(const std::string& name) {
    return FromResource(FindResource(name, RT_CURSOR));
}

HCURSOR LoadCursorResource(int id) {
    return FromResource(FindResource(id, RT_CURSOR));
}

bool DestroyCursor(HCURSOR cursor) {
    if (!cursor || IsStandard(cursor))
        return false;
    if (GetCursor() == cursor)
        SetCursor(LoadCursor(IDC_ARROW));
    delete cursor;
    return true;
}

} // namespace plat
