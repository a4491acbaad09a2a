// Bitmaps: TDib holds device-independent pixels in one of the classic formats (1, 4, 8, 15, 16, 24 or
// 32 bits per pixel, with a palette up to 8 bits); TBitmap is the picture with a canvas, which draws on
// a 32-bit surface and converts to and from its pixel format when its rows are read or written.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Graphic.h"
#include "platform/gfx/Surface.h"

namespace plat {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

int BitsPerPixel(TPixelFormat format);

// Rows are stored top-down, each padded to a multiple of four bytes. Palette entries are 0x00RRGGBB.
struct TDib {
    int Width = 0;
    int Height = 0;
    TPixelFormat Format = pf32bit;
    int Stride = 0;
    std::vector<uint8_t> Bits;
    std::vector<uint32_t> Palette;

    TDib() = default;
    // Raises EOutOfResources for sizes beyond what a surface may hold.
    TDib(int width, int height, TPixelFormat format);
    uint8_t* Row(int y) { return Bits.data() + static_cast<size_t>(y) * Stride; }
    const uint8_t* Row(int y) const { return Bits.data() + static_cast<size_t>(y) * Stride; }

    // Pixel (x, y) as 0x00RRGGBB, and stored from one (indexed formats take the nearest palette entry).
    uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t rgb);
    void FromSurface(const TImageSurface& surface);
    void ToSurface(TImageSurface& surface) const;

    static int RowBytes(int width, TPixelFormat format);
    // Black and white; the 16 classic colours; a 6x6x6 colour cube with greys for 8 bits.
    static std::vector<uint32_t> DefaultPalette(TPixelFormat format);
};

class TBitmapCanvas;
class TFont;

class TBitmap : public TGraphic {
    PLAT_CLASS(TBitmap)
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pfDevice);
    ~TBitmap() override;

    int Width() const override { return FSurface.Width(); }
    int Height() const override { return FSurface.Height(); }
    void SetWidth(int value) override { SetSize(value, Height()); }
    void SetHeight(int value) override { SetSize(Width(), value); }
    // The pixels that stay keep their place; new pixels are black.
    void SetSize(int width, int height);
    bool Empty() const override { return Width() == 0 || Height() == 0; }

    TPixelFormat PixelFormat() const { return FFormat; }
    // Converts the pixels: colours a smaller format cannot hold become the nearest it can.
    void SetPixelFormat(TPixelFormat format);
    bool Monochrome() const { return FFormat == pf1bit; }
    void SetMonochrome(bool value);
    // Entries of the palette of an indexed format (0x00RRGGBB); setting it keeps the pixel indices.
    std::vector<uint32_t> Palette();
    void SetPalette(const std::vector<uint32_t>& palette);

    // Row y in the bitmap's own format. Writing through it is seen by the next canvas operation.
    uint8_t* ScanLine(int y);

    TCanvas* Canvas();
    // The drawing surface, brought up to date with the rows.
    TImageSurface& Surface();

    TColor TransparentColor();
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    void Draw(TCanvas& canvas, const TRect& rect) override;
    std::unique_ptr<TGraphic> CreateEmpty() const override { return std::make_unique<TBitmap>(); }
    void Assign(TPersistent* source) override;

    // BMP files of every depth; reading also takes bottom-up and top-down rows, RLE4 and RLE8.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // Stored in layouts as the binary value "Data", the BMP file; an empty bitmap stores nothing.
    void DefineProperties(TFiler& Filer) override;

    // The rows in the bitmap's own format, brought up to date with the surface.
    const TDib& Dib();

private:
    friend class TBitmapCanvas;
    void SurfaceForDrawing();
    void DibFromSurface();
    void LoadDib(TDib dib);
    void NotifyChanged() { Changed(); }

    TImageSurface FSurface;
    TDib FDib;
    TPixelFormat FFormat = pfDevice;
    bool FDibStale = true;      // the rows lag behind the surface
    bool FSurfaceStale = false; // the surface lags behind the rows
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

// Reads a BMP file from memory; raises EInvalidGraphic for anything truncated, inconsistent or too large.
TDib ReadBmp(const uint8_t* data, size_t size);
// Writes a BMP file (bottom-up rows; 16-bit as 5-6-5 bit fields, 15-bit as plain 16-bit).
std::vector<uint8_t> WriteBmp(const TDib& dib);

// A canvas holding the font, for measuring text outside painting (GUI thread only; the canvas is shared
// and valid until the next call).
TCanvas& MeasuringCanvas(TFont* Font);

} // namespace plat
