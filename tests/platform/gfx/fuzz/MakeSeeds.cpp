// Writes the seed corpus of the picture fuzz target: a few small files of every kind, made by our own
// writers (GIF through the library that reads them, as we write none). Each file starts with the byte
// that picks its reader in PictureFuzz.cpp.
// Usage: picture_seeds <directory>
#include <cstdint>
#include <cstdio>
#include <gif_lib.h>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/CursorImage.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Stream.h"

using namespace plat;
using TBytes = std::vector<uint8_t>;

namespace {

enum : uint8_t { kAny, kBmp, kGif, kIco, kCur, kPng, kJpeg, kEmf, kWmf };

std::string gDir;

void Save(uint8_t kind, const std::string& name, const TBytes& bytes) {
    const std::string path = gDir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fputc(kind, f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (bytes.size() >= 4096)
        std::fprintf(stderr, "%s: %zu bytes, over 4 KiB\n", name.c_str(), bytes.size());
}

TPixelImage Pattern(int w, int h, bool alpha) {
    TPixelImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.Row(y)[x] = (alpha ? uint32_t((x * 37 + y * 11) & 0xFF) << 24 : 0xFF000000u) |
                              uint32_t(x * 40) << 16 | uint32_t(y * 40) << 8 | uint32_t((x ^ y) * 30);
    return image;
}

TDib PatternDib(int w, int h, TPixelFormat format) {
    TDib dib(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dib.SetPixel(x, y, (x + y) & 1 ? 0xFF0000 : 0x00FF80);
    return dib;
}

// An 8-bit BMP whose pixels are run-length coded: runs, an absolute run, a delta and both ends.
TBytes Rle8Bmp() {
    TBytes file = WriteBmp(PatternDib(6, 3, pf8bit));
    const uint32_t offBits = file[10] | file[11] << 8;
    file.resize(offBits);
    const uint8_t runs[] = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 2, 5, 0, 1};
    file.insert(file.end(), std::begin(runs), std::end(runs));
    file[30] = 1; // compression
    const uint32_t size = static_cast<uint32_t>(file.size());
    for (int i = 0; i < 4; ++i)
        file[2 + i] = uint8_t(size >> (8 * i));
    return file;
}

int GifOut(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<TBytes*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

// Two frames on a global palette: the second placed, interlaced, with a transparent index and disposal.
TBytes AnimatedGif() {
    TBytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, GifOut, &error);
    EGifSetGifVersion(gif, true);
    GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifPutScreenDesc(gif, 8, 8, 2, 0, map);
    for (int frame = 0; frame < 2; ++frame) {
        GraphicsControlBlock gcb{frame ? DISPOSE_PREVIOUS : DISPOSE_BACKGROUND, false, 7, frame ? 3 : -1};
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        const int left = frame * 2, size = 8 - frame * 3;
        EGifPutImageDesc(gif, left, left, size, size, frame == 1, nullptr);
        static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < (frame ? 4 : 1); ++pass) {
            for (int y = frame ? kStart[pass] : 0; y < size; y += frame ? kStep[pass] : 1) {
                GifPixelType line[8];
                for (int x = 0; x < size; ++x)
                    line[x] = GifPixelType((x + y + frame) & 3);
                EGifPutLine(gif, line, size);
            }
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

TBytes IconFile(bool png) {
    TIcon icon;
    icon.AddImage(Pattern(16, 16, true), png);
    icon.AddImage(Pattern(8, 8, false), false);
    TMemoryStream stream;
    icon.SaveToStream(stream);
    const auto* p = static_cast<const uint8_t*>(stream.Memory());
    return TBytes(p, p + stream.Size());
}

TMetafileContent Drawing() {
    TMetafile metafile;
    metafile.SetWidth(64);
    metafile.SetHeight(48);
    {
        TMetafileCanvas c(&metafile);
        c.Pen()->SetColor(clNavy);
        c.Pen()->SetWidth(2);
        c.MoveTo(2, 2);
        c.LineTo(60, 40);
        c.Brush()->SetColor(clRed);
        c.Rectangle(4, 4, 20, 16);
        c.Brush()->SetStyle(bsDiagCross);
        c.Ellipse(24, 4, 40, 20);
        c.Brush()->SetStyle(bsSolid);
        const TPoint points[] = {{4, 40}, {14, 24}, {24, 40}};
        c.Polygon(points);
        c.Arc(30, 24, 50, 44, 50, 34, 30, 34);
        c.Font()->SetSize(8);
        c.TextOut(40, 2, "Ab");
        TBitmap bitmap;
        bitmap.SetSize(3, 2);
        bitmap.Canvas()->SetPixels(1, 1, clLime);
        c.StretchDraw(TRect(44, 30, 60, 46), &bitmap);
    }
    return *metafile.Content();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    gDir = argv[1];
    const TBytes png = WritePng(Pattern(5, 4, true));
    const TBytes jpeg = WriteJpeg(Pattern(9, 7, false), 75);
    const TBytes gif = AnimatedGif();
    const TBytes ico = IconFile(true);
    const TBytes bmp = WriteBmp(PatternDib(5, 3, pf24bit));

    Save(kAny, "any-bmp", bmp);
    Save(kAny, "any-png", png);
    Save(kAny, "any-jpeg", jpeg);
    Save(kAny, "any-gif", gif);
    Save(kAny, "any-ico", ico);
    const std::pair<TPixelFormat, const char*> formats[] = {{pf1bit, "1"},   {pf4bit, "4"},   {pf8bit, "8"},
                                                            {pf15bit, "15"}, {pf16bit, "16"}, {pf24bit, "24"},
                                                            {pf32bit, "32"}};
    for (auto [format, bits] : formats)
        Save(kBmp, std::string("bmp-") + bits + "bit", WriteBmp(PatternDib(5, 3, format)));
    Save(kBmp, "bmp-rle8", Rle8Bmp());
    Save(kGif, "gif-animated", gif);
    Save(kIco, "ico-png", ico);
    Save(kIco, "ico-bmp", IconFile(false));
    Save(kCur, "cur", WriteCur({{Pattern(8, 8, true), TPoint(3, 5)}, {Pattern(4, 4, true), TPoint(0, 0)}}));
    Save(kPng, "png-rgba", png);
    Save(kPng, "png-rgb", WritePng(Pattern(6, 2, false)));
    Save(kJpeg, "jpeg", jpeg);
    const TMetafileContent drawing = Drawing();
    Save(kEmf, "emf", WriteEmf(drawing));
    Save(kWmf, "wmf", WriteWmf(drawing));
    return 0;
}
