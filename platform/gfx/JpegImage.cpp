// libjpeg reports errors through an error manager that must not return; ours leaves by longjmp. The
// functions that call setjmp therefore hold only plain data: the pixels, row tables and output bytes
// live in the caller, which the jump never leaves, and are reached through a job record.
#include "platform/gfx/JpegImage.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

namespace plat {

static_assert(std::endian::native == std::endian::little, "pixels are read as little-endian BGRA words");

PLAT_CLASS_INFO(TJPEGImage, TGraphic)

namespace {

struct TJpegError {
    jpeg_error_mgr Pub;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void OnErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    longjmp(err->Jump, 1);
}

// Corrupt-data warnings are tolerated as decoders commonly do, but running out of data is not: the
// library would otherwise paint the missing part grey and call the picture good.
void OnEmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        OnErrorExit(cinfo);
}

TJpegError* InitError(TJpegError& err) {
    jpeg_std_error(&err.Pub);
    err.Pub.error_exit = OnErrorExit;
    err.Pub.emit_message = OnEmitMessage;
    err.Message[0] = 0;
    return &err;
}

struct TJpegRead {
    jpeg_decompress_struct Info{};
    TJpegError Err;
    bool Created = false;
    bool Cmyk = false;
    bool InvertedCmyk = false;
};

bool ReadHeader(TJpegRead& job, const uint8_t* data, size_t size) {
    job.Info.err = &InitError(job.Err)->Pub;
    if (setjmp(job.Err.Jump))
        return false;
    jpeg_create_decompress(&job.Info);
    job.Created = true;
    // Buffers of a legal picture stay well below this; a lying header fails instead of exhausting memory.
    job.Info.mem->max_memory_to_use = 1L << 30;
    jpeg_mem_src(&job.Info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&job.Info, TRUE);
    if (uint64_t(job.Info.image_width) * job.Info.image_height > uint64_t(TImageSurface::MaxPixels)) {
        std::snprintf(job.Err.Message, sizeof job.Err.Message, "the picture is too large");
        return false;
    }
    switch (job.Info.jpeg_color_space) {
    case JCS_CMYK:
    case JCS_YCCK:
        job.Info.out_color_space = JCS_CMYK;
        job.Cmyk = true;
        // Adobe's writers store the inks inverted.
        job.InvertedCmyk = job.Info.saw_Adobe_marker;
        break;
    default:
        job.Info.out_color_space = JCS_EXT_BGRA;
        break;
    }
    jpeg_start_decompress(&job.Info);
    if (job.Info.output_components != 4) {
        std::snprintf(job.Err.Message, sizeof job.Err.Message, "unsupported colour space");
        return false;
    }
    return true;
}

bool ReadRows(TJpegRead& job, JSAMPROW* rows) {
    if (setjmp(job.Err.Jump))
        return false;
    while (job.Info.output_scanline < job.Info.output_height) {
        JDIMENSION before = job.Info.output_scanline;
        jpeg_read_scanlines(&job.Info, rows + before, job.Info.output_height - before);
        if (job.Info.output_scanline == before) {
            std::snprintf(job.Err.Message, sizeof job.Err.Message, "the file is truncated");
            return false;
        }
    }
    jpeg_finish_decompress(&job.Info);
    return true;
}

// Compressed bytes go into a vector of the caller through a fixed buffer.
struct TJpegWrite {
    jpeg_compress_struct Info{};
    TJpegError Err;
    jpeg_destination_mgr Dest{};
    bool Created = false;
    bool OutOfMemory = false;
    std::vector<uint8_t>* Out = nullptr;
    JOCTET Buffer[16384];
};

TJpegWrite* WriteJob(j_compress_ptr cinfo) {
    return static_cast<TJpegWrite*>(cinfo->client_data);
}

bool Append(j_compress_ptr cinfo, size_t count) {
    TJpegWrite* job = WriteJob(cinfo);
    try {
        job->Out->insert(job->Out->end(), job->Buffer, job->Buffer + count);
    } catch (...) {
        job->OutOfMemory = true;
    }
    return !job->OutOfMemory;
}

void OnInitDestination(j_compress_ptr cinfo) {
    TJpegWrite* job = WriteJob(cinfo);
    job->Dest.next_output_byte = job->Buffer;
    job->Dest.free_in_buffer = sizeof job->Buffer;
}

boolean OnEmptyOutput(j_compress_ptr cinfo) {
    if (!Append(cinfo, sizeof WriteJob(cinfo)->Buffer))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    OnInitDestination(cinfo);
    return TRUE;
}

void OnTermDestination(j_compress_ptr cinfo) {
    TJpegWrite* job = WriteJob(cinfo);
    if (!Append(cinfo, sizeof job->Buffer - job->Dest.free_in_buffer))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
}

bool WriteRows(TJpegWrite& job, JSAMPROW* rows, int width, int height, int quality) {
    job.Info.err = &InitError(job.Err)->Pub;
    if (setjmp(job.Err.Jump))
        return false;
    jpeg_create_compress(&job.Info);
    job.Created = true;
    job.Info.client_data = &job;
    job.Dest.init_destination = OnInitDestination;
    job.Dest.empty_output_buffer = OnEmptyOutput;
    job.Dest.term_destination = OnTermDestination;
    job.Info.dest = &job.Dest;
    job.Info.image_width = static_cast<JDIMENSION>(width);
    job.Info.image_height = static_cast<JDIMENSION>(height);
    job.Info.input_components = 4;
    job.Info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&job.Info);
    jpeg_set_quality(&job.Info, quality, TRUE);
    jpeg_start_compress(&job.Info, TRUE);
    while (job.Info.next_scanline < job.Info.image_height)
        jpeg_write_scanlines(&job.Info, rows + job.Info.next_scanline,
                             job.Info.image_height - job.Info.next_scanline);
    jpeg_finish_compress(&job.Info);
    return true;
}

[[noreturn]] void Invalid(const std::string& why) {
    throw EInvalidGraphic("JPEG image is not valid: " + why);
}

} // namespace

bool IsJpegSignature(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

TPixelImage ReadJpeg(const uint8_t* data, size_t size) {
    if (!IsJpegSignature(data, size))
        Invalid("not a JPEG file");
    TJpegRead job;
    struct TCleanup {
        TJpegRead& Job;
        ~TCleanup() {
            if (Job.Created)
                jpeg_destroy_decompress(&Job.Info);
        }
    } cleanup{job};
    if (!ReadHeader(job, data, size))
        Invalid(job.Err.Message);
    TPixelImage image(static_cast<int>(job.Info.output_width), static_cast<int>(job.Info.output_height));
    std::vector<JSAMPROW> rows(image.Height);
    for (int y = 0; y < image.Height; ++y)
        rows[y] = reinterpret_cast<JSAMPROW>(image.Row(y));
    if (!ReadRows(job, rows.data()))
        Invalid(job.Err.Message);
    if (job.Cmyk) {
        for (uint32_t& p : image.Pixels) {
            uint32_t c = p & 0xFF, m = (p >> 8) & 0xFF, y = (p >> 16) & 0xFF, k = p >> 24;
            if (!job.InvertedCmyk) {
                c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
            }
            // Inverted inks: c, m, y and k now say how much of each light is left.
            auto mix = [k](uint32_t v) { return (v * k + 127) / 255; };
            p = 0xFF000000u | mix(c) << 16 | mix(m) << 8 | mix(y);
        }
    }
    return image;
}

std::vector<uint8_t> WriteJpeg(const TPixelImage& image, int quality) {
    if (image.Empty())
        throw EInvalidGraphicOperation("Cannot save an empty picture");
    std::vector<uint8_t> out;
    auto job = std::make_unique<TJpegWrite>();
    job->Out = &out;
    struct TCleanup {
        TJpegWrite& Job;
        ~TCleanup() {
            if (Job.Created)
                jpeg_destroy_compress(&Job.Info);
        }
    } cleanup{*job};
    // libjpeg does not write through the row pointers, but its interface takes them as non-const.
    std::vector<JSAMPROW> rows(image.Height);
    for (int y = 0; y < image.Height; ++y)
        rows[y] = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(image.Row(y)));
    if (!WriteRows(*job, rows.data(), image.Width, image.Height, std::clamp(quality, 1, 100))) {
        if (job->OutOfMemory)
            throw EOutOfResources("Out of system resources");
        throw EInvalidGraphicOperation(std::string("Cannot write the JPEG image: ") + job->Err.Message);
    }
    return out;
}

// ---- TJPEGImage ----

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
    DrawPixelImage(canvas, rect, FImage, false);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> data = ReadGraphicBytes(stream, "JPEG");
    FImage = ReadJpeg(data.data(), data.size());
    FData = std::move(data);
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) {
    if (FData.empty())
        FData = WriteJpeg(FImage, FCompressionQuality);
    stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TJPEGImage::SetCompressionQuality(int value) {
    value = std::clamp(value, 1, 100);
    if (value == FCompressionQuality)
        return;
    FCompressionQuality = value;
    FData.clear();
}

void TJPEGImage::Assign(TPersistent* source) {
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(source)) {
        if (jpeg != this) {
            FImage = jpeg->FImage;
            FData = jpeg->FData;
            FCompressionQuality = jpeg->FCompressionQuality;
            Changed();
        }
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        FImage = PixelImageFromBitmap(*bitmap);
        FData.clear();
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        PixelImageToBitmap(FImage, *bitmap);
        return;
    }
    TGraphic::AssignTo(dest);
}

} // namespace plat
