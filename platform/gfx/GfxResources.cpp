#include "platform/gfx/GfxResources.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Resources.h"

namespace plat {

namespace {

// The stream holds the same bytes as data; BMP decoding goes through it, so the bitmap's own reader
// decides what a valid file is.
void LoadBitmap(TBitmap& bitmap, TStream& stream, const uint8_t* data, size_t size) {
    if (IsPngSignature(data, size))
        PixelImageToBitmap(ReadPng(data, size), bitmap);
    else if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        bitmap.LoadFromStream(stream);
    else
        throw EInvalidGraphic("Bitmap image is not valid: neither a BMP nor a PNG picture");
}

void LoadFromResource(TBitmap& bitmap, TResourceStream&& stream) {
    LoadBitmap(bitmap, stream, stream.Memory(), static_cast<size_t>(stream.Size()));
}

} // namespace

void LoadBitmapFromBytes(TBitmap& bitmap, const uint8_t* data, size_t size) {
    TStringStream stream(size ? std::string(reinterpret_cast<const char*>(data), size) : std::string());
    LoadBitmap(bitmap, stream, data, size);
}

void LoadBitmapResource(TBitmap& bitmap, const std::string& name) {
    LoadFromResource(bitmap, TResourceStream(name, RT_BITMAP));
}

void LoadBitmapResource(TBitmap& bitmap, int id) {
    LoadFromResource(bitmap, TResourceStream(id, RT_BITMAP));
}

void LoadIconResource(TIcon& icon, const std::string& name) {
    TResourceStream stream(name, RT_ICON);
    icon.LoadFromStream(stream);
}

void LoadIconResource(TIcon& icon, int id) {
    TResourceStream stream(id, RT_ICON);
    icon.LoadFromStream(stream);
}

} // namespace plat
