#include "platform/gfx/GifImage.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

namespace plat {

PLAT_CLASS_INFO(TGIFImage, TGraphic)

namespace {

// All composited frames together may hold this many pixels (a gigabyte of 32-bit words): a small file
// can describe a long animation on a large screen, and memory must not follow it blindly. Tiny frames
// count as 64 pixels each for what every frame costs besides its pixels.
constexpr int64_t kMaxAnimationPixels = int64_t(1) << 28;

[[noreturn]] void Invalid(const std::string& why) {
    throw EInvalidGraphic("GIF image is not valid: " + why);
}

struct TSource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
};

int OnRead(GifFileType* gif, GifByteType* out, int count) {
    auto* src = static_cast<TSource*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(std::max(count, 0)), src->Size - src->Pos);
    std::memcpy(out, src->Data + src->Pos, n);
    src->Pos += n;
    return static_cast<int>(n);
}

struct TCloseGif {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

[[noreturn]] void Fail(GifFileType* gif) {
    const char* text = GifErrorString(gif->Error);
    if (gif->Error == D_GIF_ERR_READ_FAILED)
        Invalid("the file is truncated");
    Invalid(text ? text : "unknown error");
}

struct TControl {
    int Disposal = DISPOSAL_UNSPECIFIED;
    int Delay = 0; // hundredths of a second
    int Transparent = NO_TRANSPARENT_COLOR;
};

} // namespace

bool IsGifSignature(const uint8_t* data, size_t size) {
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

TGifFrames ReadGif(const uint8_t* data, size_t size) {
    if (!IsGifSignature(data, size))
        Invalid("not a GIF file");
    TSource source{data, size};
    int error = 0;
    std::unique_ptr<GifFileType, TCloseGif> gif(DGifOpen(&source, OnRead, &error));
    if (!gif) {
        if (error == D_GIF_ERR_READ_FAILED)
            Invalid("the file is truncated");
        if (error == D_GIF_ERR_NOT_ENOUGH_MEM)
            throw EOutOfResources("Out of system resources");
        const char* text = GifErrorString(error);
        Invalid(text ? text : "unknown error");
    }

    TGifFrames out;
    out.Width = gif->SWidth;
    out.Height = gif->SHeight;
    // The picture being composed. Each finished frame is moved into the list and the next one starts
    // from a copy of it with the last frame's disposal applied, so at most the frames and the saved
    // area live at a time.
    TPixelImage canvas;
    TControl control;
    int disposal = DISPOSAL_UNSPECIFIED; // of the last frame
    TRect area;                          // the last frame's area on the screen
    std::vector<uint32_t> saved;         // what that area held before, to put back
    std::vector<GifPixelType> line;
    while (true) {
        GifRecordType record;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            Fail(gif.get());
        if (record == TERMINATE_RECORD_TYPE)
            break;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                Fail(gif.get());
            if (code == GRAPHICS_EXT_FUNC_CODE && block) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_ERROR)
                    Invalid("bad graphic control block");
                control = {gcb.DisposalMode, gcb.DelayTime, gcb.TransparentColor};
            }
            while (block) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    Fail(gif.get());
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            Invalid("unknown record");

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            Fail(gif.get());
        const GifImageDesc& desc = gif->Image;
        if (desc.Width <= 0 || desc.Height <= 0)
            Invalid("bad frame dimensions");
        if (int64_t(desc.Width) * desc.Height > TImageSurface::MaxPixels)
            Invalid("the picture is too large");
        if (out.Frames.empty()) {
            // A screen of no size takes the size of the first frame's area.
            if (out.Width <= 0 || out.Height <= 0) {
                out.Width = desc.Left + desc.Width;
                out.Height = desc.Top + desc.Height;
            }
            if (int64_t(out.Width) * out.Height > TImageSurface::MaxPixels)
                Invalid("the picture is too large");
        }
        TRect next; // the frame's area on the screen
        {
            const int x0 = std::clamp(desc.Left, 0, out.Width), y0 = std::clamp(desc.Top, 0, out.Height);
            next = TRect(x0, y0, std::clamp(desc.Left + desc.Width, x0, out.Width),
                         std::clamp(desc.Top + desc.Height, y0, out.Height));
        }
        // The frames, the one being composed, and what it covers when that must be put back.
        const int64_t keep =
            control.Disposal == DISPOSE_PREVIOUS ? int64_t(next.Width()) * next.Height() : int64_t(0);
        if (int64_t(out.Frames.size() + 1) * std::max<int64_t>(int64_t(out.Width) * out.Height, 64) + keep >
            kMaxAnimationPixels)
            Invalid("the animation is too large");
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map || !map->Colors)
            Invalid("a frame has no colour table");

        if (out.Frames.empty()) {
            canvas = TPixelImage(out.Width, out.Height);
        } else {
            canvas = out.Frames.back();
            const int w = std::max(area.Right - area.Left, 0);
            for (int y = area.Top; y < area.Bottom; ++y) {
                uint32_t* row = canvas.Row(y) + area.Left;
                if (disposal == DISPOSE_BACKGROUND) // viewers restore to transparency, not the colour
                    std::fill(row, row + w, 0u);
                else if (disposal == DISPOSE_PREVIOUS)
                    std::copy_n(saved.data() + size_t(y - area.Top) * w, w, row);
            }
        }
        area = next;
        saved.clear();
        saved.shrink_to_fit();
        saved.reserve(static_cast<size_t>(keep));
        if (keep > 0)
            for (int y = area.Top; y < area.Bottom; ++y)
                saved.insert(saved.end(), canvas.Row(y) + area.Left, canvas.Row(y) + area.Right);
        uint32_t colors[256] = {};
        bool opaque[256] = {};
        for (int i = 0; i < std::min(map->ColorCount, 256); ++i) {
            const GifColorType& c = map->Colors[i];
            colors[i] = 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
            opaque[i] = i != control.Transparent;
        }
        // Interlaced frames send every eighth row from 0, every eighth from 4, every fourth from 2,
        // then every second from 1.
        static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        int passes = desc.Interlace ? 4 : 1;
        line.resize(static_cast<size_t>(desc.Width));
        for (int pass = 0; pass < passes; ++pass) {
            for (int r = desc.Interlace ? kStart[pass] : 0; r < desc.Height;
                 r += desc.Interlace ? kStep[pass] : 1) {
                if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR)
                    Fail(gif.get());
                int y = desc.Top + r;
                if (y < 0 || y >= out.Height)
                    continue;
                uint32_t* row = canvas.Row(y);
                int x0 = std::max(desc.Left, 0), x1 = std::min(desc.Left + desc.Width, out.Width);
                for (int x = x0; x < x1; ++x) {
                    GifPixelType index = line[static_cast<size_t>(x - desc.Left)];
                    // Indices past the colour table draw nothing, like the transparent one.
                    if (opaque[index])
                        row[x] = colors[index];
                }
            }
        }
        out.Frames.push_back(std::move(canvas));
        out.Delays.push_back(control.Delay * 10);
        disposal = control.Disposal;
        // A control block applies to the one frame that follows it.
        control = TControl();
    }
    if (out.Frames.empty())
        Invalid("the file holds no picture");
    return out;
}

// ---- TGIFImage ----

void TGIFImage::CheckIndex(int index) const {
    if (index < 0 || index >= FrameCount())
        throw EInvalidGraphicOperation("Frame index out of range (" + std::to_string(index) + ")");
}

const TPixelImage& TGIFImage::Frame(int index) const {
    CheckIndex(index);
    return FGif.Frames[static_cast<size_t>(index)];
}

int TGIFImage::Delay(int index) const {
    CheckIndex(index);
    return FGif.Delays[static_cast<size_t>(index)];
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty())
        return;
    const TPixelImage& first = FGif.Frames.front();
    DrawPixelImage(canvas, rect, first, Transparent() && first.HasAlpha());
}

void TGIFImage::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> data = ReadGraphicBytes(stream, "GIF");
    FGif = ReadGif(data.data(), data.size());
    FData = std::move(data);
    FTransparent = FGif.Frames.front().HasAlpha();
    Changed();
}

void TGIFImage::SaveToStream(TStream& stream) {
    if (FData.empty())
        throw EInvalidGraphicOperation("Cannot save an empty picture");
    stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TGIFImage::Assign(TPersistent* source) {
    if (auto* gif = dynamic_cast<TGIFImage*>(source)) {
        if (gif != this) {
            FGif = gif->FGif;
            FData = gif->FData;
            FTransparent = gif->FTransparent;
            Changed();
        }
        return;
    }
    TGraphic::Assign(source);
}

void TGIFImage::AssignTo(TPersistent* dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        PixelImageToBitmap(Empty() ? TPixelImage() : FGif.Frames.front(), *bitmap);
        return;
    }
    TGraphic::AssignTo(dest);
}

} // namespace plat
