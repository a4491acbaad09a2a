// The recording device context behind metafile canvases and the metafile readers: it draws nothing and
// turns every call into metafile records in its device pixels, writing the pen, brush, font, modes,
// colours, clip and position that a call uses just before it whenever they changed. Within a path
// bracket the calls are recorded and also build the context's own path.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Metafile.h"

namespace plat {

class TMetafileRecorder : public TDeviceContext {
public:
    // The device is width by height pixels at 96 per inch; it bounds clip regions like a screen does.
    TMetafileRecorder(int width, int height);
    ~TMetafileRecorder() override;

    const std::vector<TMetaRecord>& Records() const { return FRecords; }
    std::vector<TMetaRecord> TakeRecords();

    // State changes are recorded lazily, when a drawing call needs them.
    int SelectClipRgn(const TRegion* region) override;
    int ExtSelectClipRgn(const TRegion* region, int mode) override;
    int OffsetClipRgn(int dx, int dy) override;
    bool RestoreDC(int level) override;

    bool LineTo(int x, int y) override;
    bool Polyline(const TPoint* points, int count) override;
    bool PolylineTo(const TPoint* points, int count) override;
    bool PolyPolyline(const TPoint* points, const int* counts, int polylines) override;
    bool Polygon(const TPoint* points, int count) override;
    bool PolyPolygon(const TPoint* points, const int* counts, int polygons) override;
    bool Rectangle(int left, int top, int right, int bottom) override;
    bool RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;
    bool Ellipse(int left, int top, int right, int bottom) override;
    bool Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
    bool Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
    bool Chord(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
    bool ArcTo(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
    bool PolyBezier(const TPoint* points, int count) override;
    bool PolyBezierTo(const TPoint* points, int count) override;
    bool MoveToEx(int x, int y, TPoint* old = nullptr) override;

    // Paths are recorded as calls and also kept here, so what uses them (the clip a path selects, the
    // region it gives) is known while recording.
    bool BeginPath() override;
    bool EndPath() override;
    bool AbortPath() override;
    bool CloseFigure() override;
    bool StrokePath() override;
    bool FillPath() override;
    bool StrokeAndFillPath() override;
    bool WidenPath() override;
    bool FlattenPath() override;
    bool SelectClipPath(int mode) override;
    bool PathToRegion(TRegion& region) override;

    bool FillRect(const TRect& r, const HBRUSH& brush) override;
    bool FrameRect(const TRect& r, const HBRUSH& brush) override;
    bool InvertRect(const TRect& r) override;
    bool FillRgn(const TRegion& region, const HBRUSH& brush) override;
    bool PatBlt(int x, int y, int width, int height, uint32_t rop) override;
    bool GradientFill(const TTriVertex* vertices, int vertexCount, const TGradientRect* rects, int rectCount,
                      int mode) override;
    TColor SetPixel(int x, int y, TColor color) override;
    void FillSolidRect(const TRect& r, TColor color) override;

    bool ExtTextOut(int x, int y, uint32_t options, const TRect* rect, std::string_view text) override;

    bool BitBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                uint32_t rop) override;
    bool StretchBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, uint32_t rop) override;
    bool TransparentBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                        int srcWidth, int srcHeight, TColor transparent) override;
    bool AlphaBlend(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, TBlendFunction blend) override;

private:
    class TReferenceSurface;
    // Values forced for one call (fills ignore the pen and the raster operation, for one).
    struct TForced {
        HBRUSH Brush;
    };
    struct TWritten {
        std::optional<TGdiPen> Pen;
        std::optional<TGdiBrush> Brush;
        std::optional<TLogFont> Font;
        std::optional<int> BkColor, BkMode, TextColor, TextAlign, Rop2, PolyFillMode, StretchMode, CharExtra,
            ArcDirection;
        std::optional<TPoint> BrushOrg, Pos;
        bool ClipKnown = false;
        std::optional<TRegion> Clip;
    };

    void Sync();
    void Sync(const TForced& forced);
    void SyncPos();
    void SyncArcDirection();
    bool UsePath(TMetaOp op);
    TMetaRecord& Add(TMetaOp op);
    std::vector<TPoint> Device(const TPoint* points, int count) const;
    // A rectangle of device pixels (right and bottom outside) filled by a raster operation with a brush.
    void DeviceFill(const TRect& d, const HBRUSH& brush, uint32_t rop);
    bool ShapeWithBox(TMetaOp op, int l, int t, int r, int b);
    bool ArcLike(TMetaOp op, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
    bool PointList(TMetaOp op, const TPoint* points, int count, int minimum);
    bool PolyList(TMetaOp op, const TPoint* points, const int* counts, int n, int minimum);
    bool Image(TMetaOp op, int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
               int srcWidth, int srcHeight, int value, TBlendFunction blend);

    std::unique_ptr<TReferenceSurface> FReference;
    std::vector<TMetaRecord> FRecords;
    TWritten FWritten;
    bool FClipDirty = true;
    bool FInBase = false; // the base class is calling back into calls already recorded
};

// The scale of a context's logical units to its device pixels, per axis.
double MapScaleX(const TDeviceContext& dc);
double MapScaleY(const TDeviceContext& dc);

// For targets without pixels of their own: copies the source rectangle of a block transfer (cut to the
// source surface) and gives the part of the destination (device pixels of dest, possibly mirrored) it
// covers. A monochrome source takes dest's text colour for black and background colour for white.
// False when the source has no pixels or nothing is left to draw.
bool CopyBlitSource(const TDeviceContext& dest, const TRect& destLogical, TDeviceContext* source, int xSrc,
                    int ySrc, int srcWidth, int srcHeight, TMetaImage& image, TRect& destDevice);

} // namespace plat
