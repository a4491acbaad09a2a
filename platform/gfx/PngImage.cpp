// libpng reports errors by longjmp. The functions that call setjmp therefore hold only plain data: every
// C++ object (the pixels, the row table, the output bytes) lives in the caller, which the jump never
// leaves, and is reached through a job record.
#include "platform/gfx/PngImage.h"

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

namespace plat {

static_assert(std::endian::native == std::endian::little, "pixels are read as little-endian BGRA words");

PLAT_CLASS_INFO(TPngImage, TGraphic)

namespace {

constexpr png_uint_32 kMaxSide = 1u << 20;

struct TPngJob {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    char Message[160] = "";
    // Reading
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    size_t Pos = 0;
    png_uint_32 Width = 0, Height = 0;
    // Writing
    std::vector<uint8_t>* Out = nullptr;
    bool OutOfMemory = false;
};

void OnError(png_structp png, png_const_charp message) {
    auto* job = static_cast<TPngJob*>(png_get_error_ptr(png));
    std::snprintf(job->Message, sizeof job->Message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, size_t count) {
    auto* job = static_cast<TPngJob*>(png_get_io_ptr(png));
    if (count > job->Size - job->Pos)
        png_error(png, "the file is truncated");
    std::memcpy(out, job->Data + job->Pos, count);
    job->Pos += count;
}

void OnWrite(png_structp png, png_bytep data, size_t count) {
    auto* job = static_cast<TPngJob*>(png_get_io_ptr(png));
    try {
        job->Out->insert(job->Out->end(), data, data + count);
    } catch (...) {
        job->OutOfMemory = true;
    }
    if (job->OutOfMemory)
        png_error(png, "out of memory");
}

void OnFlush(png_structp) {}

// Reads the header and sets up the conversion to 8-bit BGRA.
bool ReadHeader(TPngJob& job) {
    if (setjmp(png_jmpbuf(job.Png)))
        return false;
    png_set_read_fn(job.Png, &job, OnRead);
    png_set_user_limits(job.Png, kMaxSide, kMaxSide);
    png_read_info(job.Png, job.Info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(job.Png, job.Info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    if (uint64_t(width) * height > uint64_t(TImageSurface::MaxPixels))
        png_error(job.Png, "the picture is too large");
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(job.Png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(job.Png);
    bool trns = png_get_valid(job.Png, job.Info, PNG_INFO_tRNS) != 0;
    if (trns)
        png_set_tRNS_to_alpha(job.Png);
    if (depth == 16)
        png_set_scale_16(job.Png);
    if (!(colorType & PNG_COLOR_MASK_COLOR))
        png_set_gray_to_rgb(job.Png);
    png_set_bgr(job.Png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !trns)
        png_set_filler(job.Png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(job.Png);
    png_read_update_info(job.Png, job.Info);
    if (png_get_rowbytes(job.Png, job.Info) != size_t(width) * 4)
        png_error(job.Png, "unsupported pixel layout");
    job.Width = width;
    job.Height = height;
    return true;
}

bool ReadRows(TPngJob& job, png_bytep* rows) {
    if (setjmp(png_jmpbuf(job.Png)))
        return false;
    png_read_image(job.Png, rows);
    png_read_end(job.Png, nullptr);
    return true;
}

bool WriteRows(TPngJob& job, png_bytep* rows, png_uint_32 width, png_uint_32 height, bool alpha) {
    if (setjmp(png_jmpbuf(job.Png)))
        return false;
    png_set_write_fn(job.Png, &job, OnWrite, OnFlush);
    png_set_IHDR(job.Png, job.Info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(job.Png, job.Info);
    png_set_bgr(job.Png);
    if (!alpha)
        png_set_filler(job.Png, 0, PNG_FILLER_AFTER); // drops the fourth byte of every pixel
    png_write_image(job.Png, rows);
    png_write_end(job.Png, job.Info);
    return true;
}

[[noreturn]] void Invalid(const std::string& why) {
    throw EInvalidGraphic("PNG image is not valid: " + why);
}

} // namespace

bool IsPngSignature(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

TPixelImage ReadPng(const uint8_t* data, size_t size) {
    if (!IsPngSignature(data, size))
        Invalid("not a PNG file");
    TPngJob job;
    job.Data = data;
    job.Size = size;
    job.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
    if (job.Png)
        job.Info = png_create_info_struct(job.Png);
    struct TCleanup {
        TPngJob& Job;
        ~TCleanup() { png_destroy_read_struct(&Job.Png, Job.Info ? &Job.Info : nullptr, nullptr); }
    } cleanup{job};
    if (!job.Png || !job.Info)
        throw EOutOfResources("Out of system resources");
    if (!ReadHeader(job))
        Invalid(job.Message);
    TPixelImage image(static_cast<int>(job.Width), static_cast<int>(job.Height));
    std::vector<png_bytep> rows(job.Height);
    for (png_uint_32 y = 0; y < job.Height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(image.Row(static_cast<int>(y)));
    if (!ReadRows(job, rows.data()))
        Invalid(job.Message);
    return image;
}

std::vector<uint8_t> WritePng(const TPixelImage& image) {
    if (image.Empty())
        throw EInvalidGraphicOperation("Cannot save an empty picture");
    std::vector<uint8_t> out;
    TPngJob job;
    job.Out = &out;
    job.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
    if (job.Png)
        job.Info = png_create_info_struct(job.Png);
    struct TCleanup {
        TPngJob& Job;
        ~TCleanup() { png_destroy_write_struct(&Job.Png, Job.Info ? &Job.Info : nullptr); }
    } cleanup{job};
    if (!job.Png || !job.Info)
        throw EOutOfResources("Out of system resources");
    // libpng does not write through the row pointers, but its interface takes them as non-const.
    std::vector<png_bytep> rows(image.Height);
    for (int y = 0; y < image.Height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(const_cast<uint32_t*>(image.Row(y)));
    if (!WriteRows(job, rows.data(), image.Width, image.Height, image.HasAlpha())) {
        if (job.OutOfMemory)
            throw EOutOfResources("Out of system resources");
        throw EInvalidGraphicOperation(std::string("Cannot write the PNG image: ") + job.Message);
    }
    return out;
}

// ---- TPngImage ----

void TPngImage::SetImage(TPixelImage image) {
    FImage = std::move(image);
    FTransparent = FImage.HasAlpha();
    Changed();
}

void TPngImage::Draw(TCanvas& canvas, const TRect& rect) {
    DrawPixelImage(canvas, rect, FImage, Transparent() && FImage.HasAlpha());
}

void TPngImage::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> data = ReadGraphicBytes(stream, "PNG");
    SetImage(ReadPng(data.data(), data.size()));
}

void TPngImage::SaveToStream(TStream& stream) {
    std::vector<uint8_t> bytes = WritePng(FImage);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TPngImage::Assign(TPersistent* source) {
    if (auto* png = dynamic_cast<TPngImage*>(source)) {
        if (png != this) {
            FImage = png->FImage;
            FTransparent = png->FTransparent;
            Changed();
        }
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        SetImage(PixelImageFromBitmap(*bitmap));
        return;
    }
    TGraphic::Assign(source);
}

void TPngImage::AssignTo(TPersistent* dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        PixelImageToBitmap(FImage, *bitmap);
        return;
    }
    TGraphic::AssignTo(dest);
}

} // namespace plat
