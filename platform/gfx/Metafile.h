// Metafiles: pictures kept as the drawing calls that made them. A TMetafileCanvas records calls into a
// TMetafile; the metafile plays them back onto any device context, scaled to a rectangle, and writes
// them as an enhanced metafile (.emf) or a placeable Windows metafile (.wmf) that other programs open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Graphic.h"

namespace plat {

// One recorded call. Coordinates are device pixels of the metafile's frame (96 per inch); the state
// records come before the drawing records that use them, so a record list is complete on its own.
enum class TMetaOp : uint8_t {
    // State
    SelectPen,         // Pen
    SelectBrush,       // Brush
    SelectFont,        // Font (heights in frame pixels)
    SetBkColor,        // Value
    SetBkMode,         // Value
    SetTextColor,      // Value
    SetTextAlign,      // Value (never TA_UPDATECP: text records carry their own position)
    SetROP2,           // Value
    SetPolyFillMode,   // Value
    SetStretchBltMode, // Value
    SetCharExtra,      // Value
    SetBrushOrg,       // Points[0]
    SelectClip,        // Clip, null for none
    MoveTo,            // Points[0]
    SetArcDirection,   // Value
    // Drawing
    LineTo,           // Points[0]
    Polyline,         // Points
    PolylineTo,       // Points
    PolyPolyline,     // Points, Counts
    Polygon,          // Points
    PolyPolygon,      // Points, Counts
    Rectangle,        // Rect
    RoundRect,        // Rect, Points[0] = corner size
    Ellipse,          // Rect
    Arc,              // Rect, Points[0] = start, Points[1] = end
    Pie,              // as Arc
    Chord,            // as Arc
    PolyBezier,       // Points
    PolyBezierTo,     // Points
    SetPixel,         // Points[0], Value = colour
    PatBlt,           // Rect (right and bottom outside), Value = raster operation with the brush, no source
    Text,             // Points[0] = reference point, Value = ETO_* options, Rect when HasRect, Text (UTF-8)
    StretchImage,     // Rect = destination (may be mirrored), Image, Value = raster operation
    TransparentImage, // Rect, Image, Value = the colour left out
    AlphaImage,       // Rect, Image (premultiplied when the blend says so), Blend
    GradientFill,     // Vertices, Gradients, Value = GRADIENT_FILL_RECT_H or _V
    ArcTo,            // as Arc
    // Paths: between BeginPath and EndPath the drawing records above build the path instead of drawing
    BeginPath,
    EndPath,
    AbortPath,
    CloseFigure,
    StrokePath,
    FillPath,
    StrokeAndFillPath,
    WidenPath,
    FlattenPath,
    SelectClipPath, // Value = RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY
};

// Pixels of a block transfer, 0xAARRGGBB, rows top-down.
struct TMetaImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

struct TMetaRecord {
    TMetaOp Op = TMetaOp::MoveTo;
    int Value = 0;
    TRect Rect;
    bool HasRect = false;
    std::vector<TPoint> Points;
    std::vector<int> Counts;
    std::string Text;
    HPEN Pen;
    HBRUSH Brush;
    HFONT Font;
    std::shared_ptr<const TRegion> Clip;
    std::shared_ptr<const TMetaImage> Image;
    TBlendFunction Blend;
    std::vector<TTriVertex> Vertices;
    std::vector<TGradientRect> Gradients;
};

// A recorded picture: the size of its frame in pixels and its calls.
struct TMetafileContent {
    int Width = 0;
    int Height = 0;
    std::vector<TMetaRecord> Records;
};

// The pixels a drawing record may touch (pen widths included, text only at its reference point);
// empty for state records.
TRect RecordBounds(const TMetaRecord& record);

// File forms. The readers take enhanced metafiles and Windows metafiles with or without the placeable
// header, and raise EInvalidGraphic "Metafile is not valid: ..." for anything truncated, inconsistent
// or of another kind; they never read outside the buffer. Records they do not know are skipped.
std::vector<uint8_t> WriteEmf(const TMetafileContent& content);
std::vector<uint8_t> WriteWmf(const TMetafileContent& content);
TMetafileContent ReadEmf(const uint8_t* data, size_t size);
TMetafileContent ReadWmf(const uint8_t* data, size_t size);
bool LooksLikeEmf(const uint8_t* data, size_t size);

// Plays the records onto dc so that the frame fills rect (logical units of dc); the context's state is
// as before afterwards, and its clip region also bounds the playback.
void PlayMetafile(const TMetafileContent& content, TDeviceContext& dc, const TRect& rect);

class TMetafile : public TGraphic {
    PLAT_CLASS(TMetafile)
public:
    TMetafile();
    ~TMetafile() override;

    // Size of the picture in screen pixels. Changing it scales what was recorded.
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool Empty() const override { return !FContent; }
    void Clear();

    // Whether SaveToStream writes an enhanced metafile (the default) or a placeable Windows metafile.
    bool Enhanced() const { return FEnhanced; }
    void SetEnhanced(bool value);

    void Draw(TCanvas& canvas, const TRect& rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    std::unique_ptr<TGraphic> CreateEmpty() const override { return std::make_unique<TMetafile>(); }
    void Assign(TPersistent* source) override;

    // The recorded calls at the current size; null while empty.
    std::shared_ptr<const TMetafileContent> Content() const;
    // Replaces the picture; the size becomes the content's.
    void SetContent(std::shared_ptr<const TMetafileContent> content);

private:
    std::shared_ptr<const TMetafileContent> FContent;
    int FWidth = 0;
    int FHeight = 0;
    bool FEnhanced = true;
};

class TMetafileRecorder;

// A canvas whose drawing is recorded into a metafile. What the metafile already holds is drawn first;
// destroying the canvas hands the recording to the metafile. A metafile of size 0 takes the size of
// what was drawn. The metafile must outlive the canvas.
class TMetafileCanvas : public TCanvas {
    PLAT_CLASS(TMetafileCanvas)
public:
    // The reference device is accepted for callers written against it; recording always measures
    // against the screen's 96 pixels per inch.
    explicit TMetafileCanvas(TMetafile* metafile, TDeviceContext* referenceDevice = nullptr);
    ~TMetafileCanvas() override;

private:
    TMetafile* FMetafile;
    std::unique_ptr<TMetafileRecorder> FRecorder;
    bool FSized;
};

// Makes pictures with the extensions emf and wmf load as metafiles; TPicture calls it before its first
// lookup.
void RegisterMetafileFormats();

} // namespace plat
