// libFuzzer target for the picture and metafile readers. The first byte chooses the reader, the rest is
// the file. A reader either loads the bytes or raises EInvalidGraphic; anything else (another
// exception, a crash, a read outside the buffer, a leak) is a fault. What loads is checked for the
// promises callers build on: pictures of the size they claim, frames and delays that match.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/CursorImage.h"
#include "platform/gfx/GifImage.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/PictureFormats.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Stream.h"

using namespace plat;

namespace {

[[noreturn]] void Die(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void CheckImage(const TPixelImage& image) {
    if (image.Width <= 0 || image.Height <= 0)
        Die("a loaded picture has no pixels");
    if (image.Pixels.size() != size_t(image.Width) * size_t(image.Height))
        Die("a loaded picture does not hold its pixels");
    // Touch the first and the last pixel so a short buffer shows up.
    volatile uint32_t sink = image.Row(0)[0] ^ image.Row(image.Height - 1)[image.Width - 1];
    (void)sink;
}

void CheckMetafile(const TMetafileContent& content) {
    for (const TMetaRecord& r : content.Records) {
        size_t counted = 0;
        for (int c : r.Counts) {
            if (c < 0)
                Die("a record holds a negative point count");
            counted += static_cast<size_t>(c);
        }
        if (!r.Counts.empty() && counted != r.Points.size())
            Die("a record's counts do not add up to its points");
        if (r.Image && r.Image->Pixels.size() != size_t(r.Image->Width) * size_t(r.Image->Height))
            Die("a record's image does not match its size");
    }
}

void Read(uint8_t kind, const uint8_t* data, size_t size) {
    switch (kind % 9) {
    case 0: {
        if (LoadGraphicFromBytes(data, size)->Empty())
            Die("a loaded graphic is empty");
        CheckImage(DecodeImageBytes(data, size));
        break;
    }
    case 1: {
        TDib dib = ReadBmp(data, size);
        if (dib.Width <= 0 || dib.Height <= 0)
            Die("a loaded bitmap has no pixels");
        volatile uint32_t sink = dib.GetPixel(dib.Width - 1, dib.Height - 1);
        (void)sink;
        break;
    }
    case 2: {
        TGifFrames gif = ReadGif(data, size);
        if (gif.Frames.empty() || gif.Frames.size() != gif.Delays.size())
            Die("frames and delays differ");
        for (const TPixelImage& frame : gif.Frames) {
            if (frame.Width != gif.Width || frame.Height != gif.Height)
                Die("a frame is not the size of the screen");
            CheckImage(frame);
        }
        break;
    }
    case 3: {
        TIcon icon;
        TMemoryStream stream;
        stream.WriteBuffer(data, static_cast<int64_t>(size));
        stream.SetPosition(0);
        icon.LoadFromStream(stream);
        for (int i = 0; i < icon.EntryCount(); ++i)
            CheckImage(icon.Entry(i).Image);
        break;
    }
    case 4: {
        for (const TCursorPicture& p : ReadCur(data, size)) {
            CheckImage(p.Image);
            if (p.HotSpot.X < 0 || p.HotSpot.Y < 0 || p.HotSpot.X >= p.Image.Width ||
                p.HotSpot.Y >= p.Image.Height)
                Die("a hot spot lies outside its picture");
        }
        break;
    }
    case 5:
        CheckImage(ReadPng(data, size));
        break;
    case 6:
        CheckImage(ReadJpeg(data, size));
        break;
    case 7:
        CheckMetafile(ReadEmf(data, size));
        break;
    case 8:
        CheckMetafile(ReadWmf(data, size));
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The file goes into a buffer of exactly its size, so a read past its end is caught.
    std::vector<uint8_t> file(data + 1, data + size);
    try {
        Read(data[0], file.data(), file.size());
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
