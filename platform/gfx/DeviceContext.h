// The device context: drawing state (pen, brush, font, colours, modes, mapping, clip) and the classic
// drawing operations over one drawing surface.
//
// Pixel rules: a rectangle covers left <= x < right; a line stops before its end point; pens of width 0
// and 1 are one pixel wide and not anti-aliased; with no pen, filled shapes are one pixel smaller on the
// right and bottom. Raster operations are applied on the pixels, so XOR drawing is exact.
//
// Paths: between BeginPath and EndPath the line, shape and text calls add figures to the context's path
// (in device pixels, curves flattened) instead of drawing; StrokePath, FillPath, StrokeAndFillPath,
// SelectClipPath and PathToRegion then use the path and discard it. A path follows the same pixel rules
// as the shapes it was made of.
//
// How other targets plug in: every drawing operation is virtual. A metafile recorder derives from
// TDeviceContext and overrides the operations to append records (calling the base as well when it
// also keeps a picture); state changes are plain calls whose current values the recorder reads when
// it writes a record, or it overrides the Select/Set calls that are virtual too. A vector target (a PDF
// page) is a TDrawSurface without pixel memory: the context then draws lines, fills, text and pictures
// through Cairo instead of writing pixels, with the pen's dashes, caps and joins and the brush's hatch
// or pattern, sized for the surface's resolution as they look on the screen. There are no pixels to
// combine with, so a raster operation shows what it would leave on white paper (or, where that is the
// paper itself, on black: a mask drawn first), and nothing where it leaves the paper as it is.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/FontManager.h"
#include "platform/gfx/GdiObjects.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Surface.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_pattern cairo_pattern_t;

namespace plat {

class TDeviceContext;
using HDC = TDeviceContext*;

// Returned by GetPixel for a point outside the surface or the clip.
constexpr TColor CLR_INVALID = static_cast<TColor>(0xFFFFFFFF);

class TDeviceContext {
public:
    // The surface is not owned; it must outlive the context (or be replaced with SetSurface first).
    explicit TDeviceContext(TDrawSurface* surface = nullptr);
    virtual ~TDeviceContext();
    TDeviceContext(const TDeviceContext&) = delete;
    TDeviceContext& operator=(const TDeviceContext&) = delete;

    TDrawSurface* Surface() const { return FSurface; }
    // Changing the surface drops the clip region, like selecting another bitmap.
    void SetSurface(TDrawSurface* surface);

    // ---- Selected objects and modes ----
    virtual HPEN SelectPen(HPEN pen);
    virtual HBRUSH SelectBrush(HBRUSH brush);
    virtual HFONT SelectFont(HFONT font);
    HPEN CurrentPen() const { return FState.Pen; }
    HBRUSH CurrentBrush() const { return FState.Brush; }
    HFONT CurrentFont() const { return FState.Font; }

    virtual TColor SetBkColor(TColor color);
    TColor GetBkColor() const { return FState.BkColor; }
    virtual int SetBkMode(int mode);
    int GetBkMode() const { return FState.BkMode; }
    virtual TColor SetTextColor(TColor color);
    TColor GetTextColor() const { return FState.TextColor; }
    virtual uint32_t SetTextAlign(uint32_t align);
    uint32_t GetTextAlign() const { return FState.TextAlign; }
    virtual int SetROP2(int rop2);
    int GetROP2() const { return FState.Rop2; }
    virtual int SetPolyFillMode(int mode);
    int GetPolyFillMode() const { return FState.PolyFillMode; }
    virtual int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return FState.StretchMode; }
    virtual int SetTextCharacterExtra(int extra);
    int GetTextCharacterExtra() const { return FState.CharExtra; }
    // AD_COUNTERCLOCKWISE or AD_CLOCKWISE for Arc, ArcTo, Pie and Chord; returns 0 for any other value.
    virtual int SetArcDirection(int direction);
    int GetArcDirection() const { return FState.ArcDirection; }
    TPoint SetBrushOrg(TPoint org);
    TPoint GetBrushOrg() const { return FState.BrushOrg; }

    // ---- Current position ----
    virtual bool MoveToEx(int x, int y, TPoint* old = nullptr);
    TPoint GetCurrentPosition() const { return FState.Pos; }

    // ---- Coordinate mapping (logical -> device) ----
    virtual int SetMapMode(int mode);
    int GetMapMode() const { return FState.MapMode; }
    virtual TPoint SetWindowOrgEx(int x, int y);
    virtual TPoint SetViewportOrgEx(int x, int y);
    // Extents count in MM_ANISOTROPIC only; zero extents are refused.
    virtual bool SetWindowExtEx(int cx, int cy, TSize* old = nullptr);
    virtual bool SetViewportExtEx(int cx, int cy, TSize* old = nullptr);
    TPoint GetWindowOrg() const { return FState.WindowOrg; }
    TPoint GetViewportOrg() const { return FState.ViewportOrg; }
    TSize GetWindowExt() const { return FState.WindowExt; }
    TSize GetViewportExt() const { return FState.ViewportExt; }
    void LPtoDP(TPoint* points, int count) const;
    void DPtoLP(TPoint* points, int count) const;
    TPoint LPtoDP(TPoint p) const;
    TRect LPtoDP(const TRect& r) const;

    // ---- Clipping (regions in device coordinates, rectangles in logical ones) ----
    virtual int SelectClipRgn(const TRegion* region);
    virtual int ExtSelectClipRgn(const TRegion* region, int mode);
    virtual int IntersectClipRect(int left, int top, int right, int bottom);
    virtual int ExcludeClipRect(int left, int top, int right, int bottom);
    virtual int OffsetClipRgn(int dx, int dy);
    // The visible box in logical coordinates and the kind of the visible area.
    int GetClipBox(TRect& box) const;
    // 1 and a copy of the clip region when one is selected; 0 when none is. The copy counts from the
    // surface's corner, regions selected count from DeviceOrigin().
    int GetClipRgn(TRegion& region) const;
    // Where device point 0,0 of selected regions lies on the surface: a window's context draws into its
    // top-level window's image, at the window's place in it, while its regions count from the window.
    virtual TPoint DeviceOrigin() const { return TPoint(); }
    bool PtVisible(int x, int y) const;
    bool RectVisible(const TRect& r) const;

    // ---- Saved states ----
    virtual int SaveDC();
    // A positive level restores that saved state; a negative one counts back from the last save.
    virtual bool RestoreDC(int level);

    // ---- Lines and shapes ----
    virtual bool LineTo(int x, int y);
    virtual bool Polyline(const TPoint* points, int count);
    virtual bool PolylineTo(const TPoint* points, int count);
    virtual bool PolyPolyline(const TPoint* points, const int* counts, int polylines);
    virtual bool Polygon(const TPoint* points, int count);
    virtual bool PolyPolygon(const TPoint* points, const int* counts, int polygons);
    virtual bool Rectangle(int left, int top, int right, int bottom);
    virtual bool RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    virtual bool Ellipse(int left, int top, int right, int bottom);
    // Bounding box, then the start and end points that give the angles; drawn counter-clockwise.
    virtual bool Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
    virtual bool Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
    virtual bool Chord(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
    // A line from the current position to the start of the arc, then the arc; the current position
    // moves to the end of the arc.
    virtual bool ArcTo(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
    // 1 + 3n points: a start point and n cubic segments.
    virtual bool PolyBezier(const TPoint* points, int count);
    virtual bool PolyBezierTo(const TPoint* points, int count);

    // ---- Areas ----
    virtual bool FillRect(const TRect& r, const HBRUSH& brush);
    virtual bool FrameRect(const TRect& r, const HBRUSH& brush);
    virtual bool InvertRect(const TRect& r);
    virtual bool FillRgn(const TRegion& region, const HBRUSH& brush);
    // Fills with the selected brush combined by a ternary raster operation that uses no source.
    virtual bool PatBlt(int x, int y, int width, int height, uint32_t rop);
    virtual bool GradientFill(const TTriVertex* vertices, int vertexCount, const TGradientRect* rects,
                              int rectCount, int mode);
    virtual TColor SetPixel(int x, int y, TColor color);
    TColor GetPixel(int x, int y) const;

    // ---- Text ----
    virtual bool TextOut(int x, int y, std::string_view text);
    virtual bool ExtTextOut(int x, int y, uint32_t options, const TRect* rect, std::string_view text);
    bool GetTextExtentPoint(std::string_view text, TSize& size);
    TSize TextExtent(std::string_view text) {
        TSize s;
        GetTextExtentPoint(text, s);
        return s;
    }
    bool GetTextMetrics(TTextMetric& metrics);
    std::string GetTextFace();
    // The realised selected font (device pixels), for layout code.
    std::shared_ptr<const TFontInstance> RealizedFont();

    // ---- Paths ----
    // Opens a path bracket, discarding any earlier path.
    virtual bool BeginPath();
    // Closes the bracket; false when none is open.
    virtual bool EndPath();
    // Discards the path and closes any open bracket.
    virtual bool AbortPath();
    // Closes the figure being drawn with a line back to its first point; false when there is none.
    virtual bool CloseFigure();
    // The drawing calls need a closed bracket; they return false and keep the path when there is none.
    // FillPath closes open figures and fills with the brush under the poly-fill mode.
    virtual bool StrokePath();
    virtual bool FillPath();
    virtual bool StrokeAndFillPath();
    // Replaces the path with the outline of the area the selected pen would cover when stroking it
    // (width, end caps, joins and dashes); false with a null pen.
    virtual bool WidenPath();
    // Curves are flattened as they enter the path, so this only checks that there is a closed path.
    virtual bool FlattenPath();
    // Combines the area of the path with the clip region (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY)
    // and discards the path.
    virtual bool SelectClipPath(int mode);
    // The area of the path in device pixels under the poly-fill mode; discards the path.
    virtual bool PathToRegion(TRegion& region);
    // The points of the closed path in logical coordinates and their PT_ kinds; the point count, or -1
    // when there is no closed path.
    int GetPath(std::vector<TPoint>& points, std::vector<uint8_t>& types) const;
    // The same in device pixels, as precise as the path keeps them.
    int GetPathDevice(std::vector<TPointF>& points, std::vector<uint8_t>& types) const;
    bool InPathBracket() const { return FPathState == TPathState::Open; }
    // Whether a closed path waits for the calls that use it.
    bool PathClosed() const { return FPathState == TPathState::Closed; }

    // ---- Block transfers ----
    virtual bool BitBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                        uint32_t rop);
    virtual bool StretchBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                            int srcWidth, int srcHeight, uint32_t rop);
    // Copies all source pixels except those of the transparent colour.
    virtual bool TransparentBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                int ySrc, int srcWidth, int srcHeight, TColor transparent);
    virtual bool AlphaBlend(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                            int srcWidth, int srcHeight, TBlendFunction blend);

    // ---- Helpers for the layers above (edges, frame controls, formatted text) ----
    // Solid fill of a logical rectangle with a colour, ignoring the raster operation.
    virtual void FillSolidRect(const TRect& r, TColor color);

protected:
    struct TState {
        HPEN Pen;
        HBRUSH Brush;
        HFONT Font;
        TColor BkColor = clWhite;
        int BkMode = OPAQUE;
        TColor TextColor = clBlack;
        uint32_t TextAlign = TA_LEFT | TA_TOP;
        int Rop2 = R2_COPYPEN;
        int PolyFillMode = ALTERNATE;
        int StretchMode = BLACKONWHITE;
        int CharExtra = 0;
        int ArcDirection = AD_COUNTERCLOCKWISE;
        TPoint BrushOrg;
        TPoint Pos;
        int MapMode = MM_TEXT;
        TPoint WindowOrg, ViewportOrg;
        TSize WindowExt{1, 1}, ViewportExt{1, 1};
        std::optional<TRegion> Clip; // device coordinates
    };

    // Device-space geometry of one shape: outlines through pixel centres.
    struct TShape {
        std::vector<TPointF> Points;
        std::vector<int> Counts; // points per figure
        bool Closed = true;
        std::vector<uint8_t> FigureClosed; // per figure, overriding Closed when not empty
        bool Fill = true;                  // with the brush; every figure counts as closed
        bool Stroke = true;                // with the pen
        bool Continues = false;            // in a path, extends the open figure that ends where it starts
        int FillMode = ALTERNATE;
        bool IsClosed(size_t figure) const {
            return figure < FigureClosed.size() ? FigureClosed[figure] != 0 : Closed;
        }
    };
    void DrawShape(const TShape& shape);

private:
    struct TSpan {
        int Y, X0, X1;
    };
    struct TCoverage;

    TPointF ToDeviceF(double x, double y) const;
    double ScaleX() const;
    double ScaleY() const;
    int DevicePenWidth() const;
    TRect DeviceBounds() const;
    TRect VisibleBox() const; // device clip box intersected with the surface
    const TRegion* ClipRegionForPixels() const;

    // Calls fn(x0, x1) for the clipped parts of span [x0, x1) on row y.
    template <class Fn> void ForClipped(int y, int x0, int x1, Fn&& fn) const;
    void PaintSpans(const std::vector<TRegion::TSpan>& spans, const TGdiBrush* brush, int rop2);
    // Copies pixel (alpha kept) into the clipped part of a device box.
    void FillBox(const TRect& box, uint32_t pixel);
    // A rectangle drawn with rows of one colour where its pen and brush allow it; false leaves it
    // to the general shape painter.
    bool PlainRectangle(const TRect& device);
    uint32_t MapPixel(uint32_t pixel) const;
    uint32_t BrushPixel(const TGdiBrush& brush, int x, int y, bool& draw) const;
    void StrokeOnePixel(const std::vector<TPoint>& pts, bool closed, TCoverage* coverage);
    void StrokeWide(const TShape& shape, TCoverage& coverage);
    // The selected pen's stroke of the shape as an A8 mask of the device box, rows stride bytes apart.
    std::vector<uint8_t> StrokeMask(const TShape& shape, const TRect& box, int& stride) const;
    // Adds the shape's figures to cr's path, moved by offset; closeAll closes open figures as well.
    static void ShapeToCairo(cairo_t* cr, const TShape& shape, double offset, bool closeAll);
    // Fills the shape with the brush (when given) and strokes it with the selected pen (when asked),
    // combined by a ternary raster code that uses no source.
    void VectorShape(const TShape& shape, const TGdiBrush* brush, bool stroke, uint8_t rop3);
    // Device rectangles (right and bottom outside) as the figures of one shape.
    static TShape RectShape(const std::vector<TRect>& rects);
    // The brush as a Cairo source on a vector surface; null when it leaves the page as it is.
    cairo_pattern_t* VectorBrush(const TGdiBrush& brush, uint8_t rop3) const;
    bool VectorBlit(TPointF d0, TPointF d1, TPointF s0, TPointF s1, TDeviceContext* source, uint8_t rop3,
                    int mode, TColor transparent, TBlendFunction blend);
    // Device pixels of a vector surface per screen pixel, for hatches, patterns and one-pixel dashes.
    double ScreenScale() const;
    // What pixel a raster code leaves on paper, where there is no destination pixel to read; none when
    // the paper stays as it is.
    std::optional<uint32_t> PaperPixel(uint8_t rop3, uint32_t pattern, uint32_t source) const;
    // Width, end caps, joins and dashes of the selected pen for a Cairo stroke in device pixels.
    void SetCairoPen(cairo_t* cr) const;
    // Cairo dashes a path over its whole length, also far off the surface: a line of 2^31 pixels with a
    // dashed pen (a damaged metafile) would keep it busy for minutes. A path that large is drawn solid.
    static void LimitDashes(cairo_t* cr);
    std::vector<int> PixelDashes() const;

    cairo_t* CreateCairo(const TRect* extraClip = nullptr);
    void DestroyCairo(cairo_t* cr);
    void DrawGlyphRun(double x, double y, std::string_view text, const TRect* clip);
    enum TBlitMode : int { kBlit, kTransparent, kAlpha };
    bool BlitCore(const TRect& dst, TDeviceContext* source, int xSrc, int ySrc, int srcW, int srcH,
                  uint32_t rop, int mode, TColor transparent, TBlendFunction blend);

    void BuildEllipse(double cx, double cy, double rx, double ry, double a0, double a1,
                      std::vector<TPointF>& out, bool full) const;
    bool ArcShape(int l, int t, int r, int b, int xs, int ys, int xe, int ye, int kind);
    bool PolylineShape(const TPoint* points, int count, bool continues);
    bool BezierShape(const TPoint* points, int count, bool continues);

    struct TPathFigure {
        std::vector<TPointF> Points;
        bool Closed = false;
    };
    enum class TPathState { None, Open, Closed };
    void AddToPath(const TShape& shape);
    void AddFigure(std::vector<TPointF> points, bool closed);
    // The closed path as a shape to draw (figures of fewer than two points left out).
    bool PathShape(TShape& shape) const;
    void DiscardPath();
    bool DrawPath(bool fill, bool stroke);

    TDrawSurface* FSurface;
    TState FState;
    std::vector<TState> FSaved;
    TPathState FPathState = TPathState::None;
    std::vector<TPathFigure> FPath;
    bool FPathNewFigure = true; // the next continuing call starts a figure of its own
    std::shared_ptr<const TFontInstance> FRealized;
    HFONT FRealizedFor;
    double FRealizedScale = 0;
};

template <class Fn> inline void TDeviceContext::ForClipped(int y, int x0, int x1, Fn&& fn) const {
    TRect box = VisibleBox();
    if (y < box.Top || y >= box.Bottom)
        return;
    x0 = std::max(x0, box.Left);
    x1 = std::min(x1, box.Right);
    if (x0 >= x1)
        return;
    const TRegion* rgn = ClipRegionForPixels();
    if (!rgn) {
        fn(x0, x1);
        return;
    }
    const auto& rects = rgn->Rects();
    auto it = std::partition_point(rects.begin(), rects.end(), [y](const TRect& r) { return r.Bottom <= y; });
    for (; it != rects.end() && it->Top <= y; ++it) {
        int a = std::max(x0, it->Left), b = std::min(x1, it->Right);
        if (a < b)
            fn(a, b);
    }
}

// Block-transfer operations with a raster code, exposed for callers that combine pixels themselves.
uint32_t ApplyRop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dest);
// The ternary raster code (pattern and destination only) that does what a binary one (R2_*) does.
uint8_t Rop2ToRop3(int rop2);

} // namespace plat
