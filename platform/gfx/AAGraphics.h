// The anti-aliased graphics layer: a drawing object over a device context (or a bare surface) with pens,
// solid and gradient brushes, paths, regions, fonts, string formats and images, rasterised by Cairo.
//
// Conventions of the layer: coordinates are floats in world units (pixels unless a page unit or transform
// says otherwise) and name pixel centres, so a one-pixel line along y = 3 covers exactly row 3. Colours
// are ARGB (alpha in the top byte, then red, green, blue). No call raises: every call returns a status,
// and each object keeps the last failure it met (a later success never clears it). An object whose
// creation failed is unusable; passing it to a drawing call answers InvalidParameter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace plat {

class TDeviceContext;
class TDrawSurface;
class TStream;
class TBitmap;

enum class TAAStatus : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedVersion = 17,
    NotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

using TARGB = uint32_t;
constexpr TARGB MakeARGB(int a, int r, int g, int b) {
    return (uint32_t(a & 0xFF) << 24) | (uint32_t(r & 0xFF) << 16) | (uint32_t(g & 0xFF) << 8) |
           uint32_t(b & 0xFF);
}

struct TAAPointF {
    float X = 0;
    float Y = 0;
};

struct TAARectF {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
};

// Mode values travel as plain ints so that callers holding numbers from forms and tables can pass them
// through; a value outside its list answers InvalidParameter.
enum TAASmoothingMode : int {
    aasmDefault = 0,
    aasmHighSpeed = 1,
    aasmHighQuality = 2,
    aasmNone = 3,
    aasmAntiAlias = 4,
    aasmAntiAlias8x8 = 5,
};
enum TAATextRenderingHint : int {
    aathSystemDefault = 0,
    aathSingleBitPerPixelGridFit = 1,
    aathSingleBitPerPixel = 2,
    aathAntiAliasGridFit = 3,
    aathAntiAlias = 4,
    aathClearTypeGridFit = 5,
};
enum TAAInterpolationMode : int {
    aaimDefault = 0,
    aaimLowQuality = 1,
    aaimHighQuality = 2,
    aaimBilinear = 3,
    aaimBicubic = 4,
    aaimNearestNeighbor = 5,
    aaimHighQualityBilinear = 6,
    aaimHighQualityBicubic = 7,
};
enum TAAUnit : int {
    aauWorld = 0,
    aauDisplay = 1,
    aauPixel = 2,
    aauPoint = 3,
    aauInch = 4,
    aauDocument = 5,
    aauMillimeter = 6,
};
enum TAACombineMode : int {
    aacmReplace = 0,
    aacmIntersect = 1,
    aacmUnion = 2,
    aacmXor = 3,
    aacmExclude = 4,
    aacmComplement = 5,
};
enum TAAFillMode : int { aafmAlternate = 0, aafmWinding = 1 };
enum TAAWrapMode : int {
    aawmTile = 0,
    aawmTileFlipX = 1,
    aawmTileFlipY = 2,
    aawmTileFlipXY = 3,
    aawmClamp = 4,
};
enum TAALinearGradientMode : int {
    aalgHorizontal = 0,
    aalgVertical = 1,
    aalgForwardDiagonal = 2,
    aalgBackwardDiagonal = 3,
};
enum TAADashStyle : int {
    aadsSolid = 0,
    aadsDash = 1,
    aadsDot = 2,
    aadsDashDot = 3,
    aadsDashDotDot = 4,
    aadsCustom = 5,
};
enum TAAPenAlignment : int { aapaCenter = 0, aapaInset = 1 };
enum TAAFontStyle : int {
    aafsRegular = 0,
    aafsBold = 1,
    aafsItalic = 2,
    aafsUnderline = 4,
    aafsStrikeout = 8,
};
enum TAAStringAlignment : int { aasaNear = 0, aasaCenter = 1, aasaFar = 2 };
enum TAAStringTrimming : int {
    aastNone = 0,
    aastCharacter = 1,
    aastWord = 2,
    aastEllipsisCharacter = 3,
    aastEllipsisWord = 4,
    aastEllipsisPath = 5,
};
enum TAAHotkeyPrefix : int { aahpNone = 0, aahpShow = 1, aahpHide = 2 };
enum TAAStringFormatFlags : int {
    aasfDirectionRightToLeft = 0x0001,
    aasfDirectionVertical = 0x0002,
    aasfNoFitBlackBox = 0x0004,
    aasfDisplayFormatControl = 0x0020,
    aasfNoFontFallback = 0x0400,
    aasfMeasureTrailingSpaces = 0x0800,
    aasfNoWrap = 0x1000,
    aasfLineLimit = 0x2000,
    aasfNoClip = 0x4000,
};
// The container an image was decoded from; a bitmap made in memory is its own kind.
enum TAARawFormat : int {
    aarfUndefined = 0,
    aarfMemoryBMP = 1,
    aarfBMP = 2,
    aarfEMF = 3,
    aarfWMF = 4,
    aarfJPEG = 5,
    aarfPNG = 6,
    aarfGIF = 7,
    aarfTIFF = 8,
    aarfEXIF = 9,
    aarfIcon = 10,
};
// Point kinds of a path, and the flag that closes a figure at its point.
enum : uint8_t { aaptStart = 0, aaptLine = 1, aaptBezier = 3, aaptTypeMask = 0x07, aaptCloseSubpath = 0x80 };

// The common part of every object: its last status.
class TAAObject {
public:
    virtual ~TAAObject() = default;
    TAAObject(const TAAObject&) = delete;
    TAAObject& operator=(const TAAObject&) = delete;

    TAAStatus LastStatus() const { return FLastStatus; }
    // False when the object could not be created.
    bool Valid() const { return FValid; }

protected:
    TAAObject() = default;
    void Created(TAAStatus status) {
        FLastStatus = status;
        FValid = status == TAAStatus::Ok;
    }
    TAAStatus Keep(TAAStatus status) {
        if (status != TAAStatus::Ok)
            FLastStatus = status;
        return status;
    }

private:
    TAAStatus FLastStatus = TAAStatus::Ok;
    bool FValid = true;
};

struct TAAPathData;
struct TAARegionNode;
struct TAAPaint;

class TAAPen : public TAAObject {
public:
    // Width 0 draws the thinnest line, one device pixel. Unit is world or pixel.
    explicit TAAPen(TARGB color, float width = 1.0f, int unit = aauWorld);

    TARGB Color() const { return FColor; }
    TAAStatus SetColor(TARGB color);
    float Width() const { return FWidth; }
    TAAStatus SetWidth(float width);
    int Unit() const { return FUnit; }
    int DashStyle() const { return FDashStyle; }
    TAAStatus SetDashStyle(int style);
    // Dash and gap lengths in multiples of the pen width; sets the style to custom.
    TAAStatus SetDashPattern(const float* dashes, int count);
    std::vector<float> DashPattern() const;
    float DashOffset() const { return FDashOffset; }
    TAAStatus SetDashOffset(float offset);
    int Alignment() const { return FAlignment; }
    TAAStatus SetAlignment(int alignment);

private:
    friend class TAAGraphics;
    TARGB FColor;
    float FWidth;
    int FUnit;
    int FDashStyle = aadsSolid;
    std::vector<float> FCustomDashes;
    float FDashOffset = 0;
    int FAlignment = aapaCenter;
};

class TAABrush : public TAAObject {
public:
    enum TKind { bkSolid = 0, bkPathGradient = 3, bkLinearGradient = 4 };
    virtual TKind Kind() const = 0;

protected:
    friend class TAAGraphics;
    // Sets the brush as the source of cr, in the current user space (world units); a brush that paints
    // only inside a shape of its own also clips cr to that shape. Runs before the shape is built.
    virtual TAAStatus Apply(TAAPaint& paint) const = 0;
};

class TAASolidBrush : public TAABrush {
public:
    explicit TAASolidBrush(TARGB color);
    TKind Kind() const override { return bkSolid; }
    TARGB Color() const { return FColor; }
    TAAStatus SetColor(TARGB color);

protected:
    TAAStatus Apply(TAAPaint& paint) const override;

private:
    TARGB FColor;
};

// Colour 1 at the start of the gradient, colour 2 at its end, repeated beyond them by the wrap mode.
class TAALinearGradientBrush : public TAABrush {
public:
    // Horizontal, vertical or one of the diagonals of the rectangle (corner to opposite corner).
    TAALinearGradientBrush(const TAARectF& rect, TARGB color1, TARGB color2, int mode);
    // The gradient runs along angle degrees (clockwise from the x axis) across the rectangle; a scalable
    // angle is taken in the rectangle's own proportions.
    TAALinearGradientBrush(const TAARectF& rect, TARGB color1, TARGB color2, float angle,
                           bool angleIsScalable);
    // From point1 to point2.
    TAALinearGradientBrush(TAAPointF point1, TAAPointF point2, TARGB color1, TARGB color2);

    TKind Kind() const override { return bkLinearGradient; }
    TAARectF Rectangle() const { return FRect; }
    TARGB Color1() const { return FColor1; }
    TARGB Color2() const { return FColor2; }
    TAAStatus SetColors(TARGB color1, TARGB color2);
    int WrapMode() const { return FWrapMode; }
    // Tile or one of the flips; clamping is not a mode of this brush.
    TAAStatus SetWrapMode(int mode);
    // factors[i] is the share of colour 2 at positions[i]; positions rise from 0 to 1.
    TAAStatus SetBlend(const float* factors, const float* positions, int count);
    int BlendCount() const { return static_cast<int>(FBlendFactors.size()); }
    TAAStatus GetBlend(float* factors, float* positions, int count) const;
    bool GammaCorrection() const { return FGamma; }
    TAAStatus SetGammaCorrection(bool value);

protected:
    TAAStatus Apply(TAAPaint& paint) const override;

private:
    void Init(double a, double b, double c, const TAARectF& rect, TARGB color1, TARGB color2);
    // The gradient position t = A x + B y + C in world coordinates.
    double FA = 0, FB = 0, FC = 0;
    TAARectF FRect;
    TARGB FColor1 = 0, FColor2 = 0;
    int FWrapMode = aawmTile;
    std::vector<float> FBlendFactors{0.0f, 1.0f};
    std::vector<float> FBlendPositions{0.0f, 1.0f};
    bool FGamma = false;
};

// A glow: the centre colour at the centre point fading along straight rays to the colours of the
// path's points at its outline; outside the path nothing is painted unless a tiling wrap mode repeats
// the path's bounding box.
class TAAPathGradientBrush : public TAABrush {
public:
    explicit TAAPathGradientBrush(const class TAAPath* path);
    TAAPathGradientBrush(const TAAPointF* points, int count, int wrapMode = aawmClamp);
    ~TAAPathGradientBrush() override;

    TKind Kind() const override { return bkPathGradient; }
    TARGB CenterColor() const { return FCenterColor; }
    TAAStatus SetCenterColor(TARGB color);
    TAAPointF CenterPoint() const { return FCenter; }
    TAAStatus SetCenterPoint(TAAPointF point);
    // Points of the outline, each of which carries a surround colour.
    int PointCount() const;
    // Colours for the first count points; the last one also serves the points after it. On success
    // count is the number of colours set. Asking for more colours than points is refused.
    TAAStatus SetSurroundColors(const TARGB* colors, int& count);
    std::vector<TARGB> SurroundColors() const { return FSurround; }
    int WrapMode() const { return FWrapMode; }
    TAAStatus SetWrapMode(int mode);

protected:
    TAAStatus Apply(TAAPaint& paint) const override;

private:
    void Init(std::shared_ptr<const TAAPathData> data, int wrapMode);
    std::shared_ptr<const TAAPathData> FPath;
    TARGB FCenterColor = 0xFF000000;
    TAAPointF FCenter;
    std::vector<TARGB> FSurround;
    int FWrapMode = aawmClamp;
};

class TAAPath : public TAAObject {
public:
    explicit TAAPath(int fillMode = aafmAlternate);
    ~TAAPath() override;

    int FillMode() const;
    TAAStatus SetFillMode(int mode);
    TAAStatus Reset();
    // The next figure starts at the next point added, without joining the current one.
    TAAStatus StartFigure();
    // Closes the current figure back to its first point; the next point starts a new figure.
    TAAStatus CloseFigure();

    // Lines, arcs, Béziers and open curves continue the current figure: a line joins its last point to
    // the new start point.
    TAAStatus AddLine(float x1, float y1, float x2, float y2);
    TAAStatus AddLines(const TAAPointF* points, int count);
    // The part of the ellipse in the box from startAngle, sweeping sweepAngle degrees (clockwise).
    TAAStatus AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
    TAAStatus AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
    // 1 + 3n points: a start point and n cubic segments.
    TAAStatus AddBeziers(const TAAPointF* points, int count);
    // A cardinal spline through the points; tension 0 gives straight lines, 0.5 a smooth curve.
    TAAStatus AddCurve(const TAAPointF* points, int count, float tension = 0.5f);
    // Rectangles, ellipses, polygons and closed curves are figures of their own.
    TAAStatus AddClosedCurve(const TAAPointF* points, int count, float tension = 0.5f);
    TAAStatus AddRectangle(const TAARectF& rect);
    TAAStatus AddEllipse(float x, float y, float width, float height);
    TAAStatus AddPolygon(const TAAPointF* points, int count);

    int PointCount() const;
    std::vector<TAAPointF> Points() const;
    std::vector<uint8_t> Types() const;
    // The box of the outline (curves included); zero for an empty path.
    TAAStatus GetBounds(TAARectF& bounds) const;
    // Whether the point lies inside the filled path (by its fill mode).
    bool IsVisible(float x, float y) const;

private:
    friend class TAAGraphics;
    friend class TAARegion;
    friend class TAAPathGradientBrush;
    // Copy-on-write: regions and brushes made from the path keep the data as it was.
    TAAPathData& Mutable();
    std::shared_ptr<TAAPathData> FData;
};

// An area: rectangles and paths combined by intersection, union, exclusive or, exclusion and
// complement. A new region is infinite.
class TAARegion : public TAAObject {
public:
    TAARegion();
    explicit TAARegion(const TAARectF& rect);
    explicit TAARegion(const TAAPath* path);
    ~TAARegion() override;

    std::unique_ptr<TAARegion> Clone() const;
    TAAStatus MakeInfinite();
    TAAStatus MakeEmpty();
    TAAStatus Combine(const TAARectF& rect, int mode);
    TAAStatus Combine(const TAAPath* path, int mode);
    TAAStatus Combine(const TAARegion* region, int mode);
    // A box that holds the region (exact for rectangles and paths, may be larger for combinations).
    TAAStatus GetBounds(TAARectF& bounds) const;
    bool IsVisible(float x, float y) const;
    bool IsInfinite() const;

private:
    friend class TAAGraphics;
    TAAStatus CombineNode(std::shared_ptr<const TAARegionNode> node, int mode);
    std::shared_ptr<const TAARegionNode> FRoot;
};

class TAAFontFamily : public TAAObject {
public:
    // Found when the name is an installed family or one the font manager maps to an installed
    // family ("Arial", "Tahoma"...); otherwise the status is FontFamilyNotFound.
    explicit TAAFontFamily(const std::string& name);
    const std::string& Name() const { return FName; }
    // The installed family that draws it.
    const std::string& InstalledName() const { return FInstalled; }

private:
    std::string FName;
    std::string FInstalled;
};

class TAAFont : public TAAObject {
public:
    // emSize in the given unit (point, pixel, inch, document, millimetre or world units).
    TAAFont(const TAAFontFamily* family, float emSize, int style = aafsRegular, int unit = aauPoint);
    const std::string& FamilyName() const { return FFamily; }
    float Size() const { return FSize; }
    int Style() const { return FStyle; }
    int Unit() const { return FUnit; }
    // The em height in pixels at a resolution.
    double EmPixels(double dpi = 96) const;
    // The distance between two lines of text, in pixels at a resolution.
    double LineSpacing(double dpi = 96) const;

private:
    std::string FFamily;
    float FSize = 0;
    int FStyle = 0;
    int FUnit = aauPoint;
};

class TAAStringFormat : public TAAObject {
public:
    explicit TAAStringFormat(int flags = 0, int language = 0);
    int Flags() const { return FFlags; }
    TAAStatus SetFlags(int flags);
    int Alignment() const { return FAlign; }
    TAAStatus SetAlignment(int align);
    int LineAlignment() const { return FLineAlign; }
    TAAStatus SetLineAlignment(int align);
    int Trimming() const { return FTrimming; }
    TAAStatus SetTrimming(int trimming);
    int HotkeyPrefix() const { return FHotkey; }
    TAAStatus SetHotkeyPrefix(int prefix);

private:
    int FFlags = 0;
    int FAlign = aasaNear;
    int FLineAlign = aasaNear;
    int FTrimming = aastCharacter;
    int FHotkey = aahpNone;
};

// A decoded picture with straight alpha.
class TAAImage : public TAAObject {
public:
    // Encoded bytes of a PNG, JPEG, GIF, BMP or icon file (or a metafile when its picture class is
    // registered); the whole stream from its start is read.
    explicit TAAImage(TStream& stream);
    TAAImage(const uint8_t* data, size_t size);
    // A copy of a bitmap's pixels, opaque.
    explicit TAAImage(TBitmap& bitmap);
    ~TAAImage() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int RawFormat() const { return FFormat; }
    // Pixel (x, y) as straight ARGB, 0 outside.
    TARGB Pixel(int x, int y) const;

private:
    friend class TAAGraphics;
    void Decode(const uint8_t* data, size_t size);
    int FWidth = 0;
    int FHeight = 0;
    int FFormat = aarfUndefined;
    std::vector<uint32_t> FPixels;       // straight ARGB
    cairo_surface_t* FSurface = nullptr; // premultiplied, made on first drawing
};

class TAAGraphics : public TAAObject {
public:
    // Draws on the context's surface through its logical-to-device mapping and inside its clip region.
    explicit TAAGraphics(TDeviceContext* dc);
    // Draws on a surface directly (device coordinates, no clip).
    explicit TAAGraphics(TDrawSurface* surface);
    ~TAAGraphics() override;

    int SmoothingMode() const { return FSmoothing; }
    TAAStatus SetSmoothingMode(int mode);
    int TextRenderingHint() const { return FTextHint; }
    TAAStatus SetTextRenderingHint(int hint);
    int InterpolationMode() const { return FInterpolation; }
    TAAStatus SetInterpolationMode(int mode);
    int PageUnit() const { return FPageUnit; }
    TAAStatus SetPageUnit(int unit);
    double DpiX() const;

    // Transforms apply before the existing ones (to the coordinates given to later calls).
    TAAStatus TranslateTransform(float dx, float dy);
    TAAStatus ScaleTransform(float sx, float sy);
    TAAStatus RotateTransform(float angle);
    TAAStatus ResetTransform();

    // The clip is kept in device pixels: later transforms do not move it.
    TAAStatus SetClip(const TAARectF& rect, int mode = aacmReplace);
    TAAStatus SetClip(const TAAPath* path, int mode = aacmReplace);
    TAAStatus SetClip(const TAARegion* region, int mode = aacmReplace);
    TAAStatus IntersectClip(const TAARectF& rect) { return SetClip(rect, aacmIntersect); }
    TAAStatus ResetClip();
    bool IsClipInfinite() const { return !FClip; }

    TAAStatus Clear(TARGB color);

    TAAStatus DrawLine(const TAAPen* pen, float x1, float y1, float x2, float y2);
    TAAStatus DrawLines(const TAAPen* pen, const TAAPointF* points, int count);
    TAAStatus DrawRectangle(const TAAPen* pen, float x, float y, float width, float height);
    TAAStatus DrawEllipse(const TAAPen* pen, float x, float y, float width, float height);
    TAAStatus DrawArc(const TAAPen* pen, float x, float y, float width, float height, float startAngle,
                      float sweepAngle);
    TAAStatus DrawBezier(const TAAPen* pen, TAAPointF p1, TAAPointF p2, TAAPointF p3, TAAPointF p4);
    TAAStatus DrawBeziers(const TAAPen* pen, const TAAPointF* points, int count);
    TAAStatus DrawCurve(const TAAPen* pen, const TAAPointF* points, int count, float tension = 0.5f);
    TAAStatus DrawClosedCurve(const TAAPen* pen, const TAAPointF* points, int count, float tension = 0.5f);
    TAAStatus DrawPolygon(const TAAPen* pen, const TAAPointF* points, int count);
    TAAStatus DrawPath(const TAAPen* pen, const TAAPath* path);

    TAAStatus FillRectangle(const TAABrush* brush, float x, float y, float width, float height);
    TAAStatus FillRectangle(const TAABrush* brush, const TAARectF& rect) {
        return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
    }
    TAAStatus FillEllipse(const TAABrush* brush, float x, float y, float width, float height);
    TAAStatus FillPolygon(const TAABrush* brush, const TAAPointF* points, int count,
                          int fillMode = aafmAlternate);
    TAAStatus FillPath(const TAABrush* brush, const TAAPath* path);
    TAAStatus FillRegion(const TAABrush* brush, const TAARegion* region);

    // Text in the layout rectangle; a zero width or height leaves that direction unbounded, the
    // rectangle's corner then being the point the alignment refers to. A null format is the default.
    TAAStatus DrawString(std::string_view text, const TAAFont* font, const TAARectF& layout,
                         const TAAStringFormat* format, const TAABrush* brush);
    // The box the same call of DrawString would fill; the number of characters laid out and of lines.
    TAAStatus MeasureString(std::string_view text, const TAAFont* font, const TAARectF& layout,
                            const TAAStringFormat* format, TAARectF& bounds, int* charactersFitted = nullptr,
                            int* linesFilled = nullptr);

    // At its own size, scaled into a rectangle, or a part of it (pixels of the image) scaled into one.
    TAAStatus DrawImage(TAAImage* image, float x, float y);
    TAAStatus DrawImage(TAAImage* image, float x, float y, float width, float height);
    TAAStatus DrawImage(TAAImage* image, const TAARectF& dest, float srcX, float srcY, float srcWidth,
                        float srcHeight);

private:
    struct TOp;
    bool BeginOp(TOp& op, TAAStatus& status);
    void EndOp(TOp& op);
    TAAStatus StrokeData(const TAAPen* pen, const TAAPathData& data);
    TAAStatus FillData(const TAABrush* brush, const TAAPathData& data, int fillMode);
    TAAStatus CombineClip(std::shared_ptr<const TAARegionNode> node, int mode);
    void DeviceMatrix(double m[6], bool pixelCentres) const;
    // A region given in world coordinates, in the device pixels the clip is kept in.
    std::shared_ptr<const TAARegionNode>
    DeviceRegion(const std::shared_ptr<const TAARegionNode>& world) const;
    bool ClipMask(cairo_surface_t*& mask, int& ox, int& oy);
    void DropClipMask();

    TDeviceContext* FDc = nullptr;
    TDrawSurface* FSurface = nullptr;
    int FSmoothing = aasmDefault;
    int FTextHint = aathSystemDefault;
    int FInterpolation = aaimBilinear;
    int FPageUnit = aauDisplay;
    double FWorld[6] = {1, 0, 0, 1, 0, 0};
    std::shared_ptr<const TAARegionNode> FClip; // device space (pixel edges), null when infinite
    cairo_surface_t* FClipMask = nullptr;
    int FMaskX = 0, FMaskY = 0;
    unsigned FClipVersion = 0;   // changes with every change of the clip
    unsigned FMaskVersion = ~0u; // the clip version the mask was made for
    const void* FMaskSurface = nullptr;
    unsigned FMaskGeneration = 0;
};

} // namespace plat
