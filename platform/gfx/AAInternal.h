// What the parts of the anti-aliased graphics layer share behind its public header: path storage and
// geometry, region trees, the paint context brushes work in, and colour helpers.
#pragma once

#include <cairo.h>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <new>
#include <vector>

#include "platform/gfx/AAGraphics.h"

namespace plat {

struct TAAPathData {
    std::vector<TAAPointF> Points;
    std::vector<uint8_t> Types;
    int FillMode = aafmAlternate;
    bool StartNew = true; // the next point added begins a figure

    void Clear() {
        Points.clear();
        Types.clear();
        StartNew = true;
    }
    // Continues the open figure from (x, y): a new figure starts there, or a line joins it unless the
    // figure already ends at that point.
    void Join(float x, float y);
    void LineTo(float x, float y);
    void BezierTo(TAAPointF c1, TAAPointF c2, TAAPointF p);
    void Close();
    void AddArc(double x, double y, double w, double h, double start, double sweep);
    void AddEllipse(double x, double y, double w, double h);
    // Cardinal spline segments from pts[0] (already in the path) through the rest.
    void AddCurveSegments(const TAAPointF* pts, int count, double tension, bool closed);
};

// One figure as a polygon: points with the parameter of the path point they came from (point index
// plus the fraction towards the next path point), used to spread surround colours along curves.
struct TFlatFigure {
    std::vector<double> X, Y;
    std::vector<double> Source;
    bool Closed = false;
};

// Flattens with the given tolerance (in the units of the path after the affine map m, which may be null).
std::vector<TFlatFigure> FlattenPath(const TAAPathData& data, double tolerance, const double* m = nullptr);
bool PointInFigures(const std::vector<TFlatFigure>& figures, double x, double y, int fillMode);
bool FlatBounds(const std::vector<TFlatFigure>& figures, double& x0, double& y0, double& x1, double& y1);

// Emits the path into cr's current path (in cr's user space).
void EmitPath(cairo_t* cr, const TAAPathData& data);

// Region tree. Leaves are immutable and shared between copies.
struct TAARegionNode {
    enum TKind { Empty, Infinite, Rect, Path, Combine } Kind = Infinite;
    double X = 0, Y = 0, W = 0, H = 0; // Rect
    std::shared_ptr<const TAAPathData> PathData;
    int Mode = aacmReplace;
    std::shared_ptr<const TAARegionNode> A, B;
};
using TRegionPtr = std::shared_ptr<const TAARegionNode>;

TRegionPtr MakeRegionRect(double x, double y, double w, double h);
TRegionPtr MakeRegionPath(std::shared_ptr<const TAAPathData> data);
TRegionPtr MakeRegionKind(TAARegionNode::TKind kind);
// a combined with b; replace gives b.
TRegionPtr CombineRegions(TRegionPtr a, TRegionPtr b, int mode);
// The region under an affine map {xx, yx, xy, yy, x0, y0} (Cairo's order).
TRegionPtr TransformRegion(const TRegionPtr& node, const double m[6]);
bool RegionContains(const TRegionPtr& node, double x, double y);
// Bounds that hold the region: 0 when it is empty, 1 when bounded, 2 when infinite.
int RegionBounds(const TRegionPtr& node, double& x0, double& y0, double& x1, double& y1);
// Pixels whose centres lie in the region, as an A8 mask of the box (x, y, w, h) of device pixels.
cairo_surface_t* RasterizeRegion(const TRegionPtr& node, int x, int y, int w, int h);
// Applies a region made only of intersections of rectangles and paths as a Cairo clip (in device
// space); false when the region needs a mask.
bool ClipToRegionDirect(cairo_t* cr, const TRegionPtr& node);

// What a brush needs to paint one operation.
struct TAAPaint {
    cairo_t* Cr = nullptr;
    double DeviceScale = 1; // device pixels per world unit
    bool Smooth = false;
    // The surface's area in world coordinates (a box around it when the transform rotates).
    double VisibleX0 = -1e300, VisibleY0 = -1e300, VisibleX1 = 1e300, VisibleY1 = 1e300;
};

// One drawing call's Cairo context: the surface's clip and the graphics object's clip applied, the
// transform set, and, for clips that need a mask, a group that EndOp composes through it.
struct TAAGraphics::TOp {
    cairo_t* Cr = nullptr;
    TDrawSurface* Surface = nullptr;
    TAAPaint Paint; // what brushes need, in the transform BeginOp sets
    double Scale = 1;
    bool Smooth = false;
    bool Group = false;
    cairo_surface_t* Mask = nullptr;
    int MaskX = 0, MaskY = 0;
    cairo_operator_t Operator = CAIRO_OPERATOR_OVER;
};

inline void SetSourceARGB(cairo_t* cr, TARGB c) {
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          (c >> 24) / 255.0);
}
inline bool Finite(double v) {
    return std::isfinite(v);
}
inline bool FiniteAll(std::initializer_list<double> vs) {
    for (double v : vs)
        if (!std::isfinite(v))
            return false;
    return true;
}
// Device pixels per unit of a page or font size at the given resolution; world, display and pixel
// units count as pixels.
inline double UnitPixels(int unit, double dpi) {
    switch (unit) {
    case aauPoint:
        return dpi / 72;
    case aauInch:
        return dpi;
    case aauDocument:
        return dpi / 300;
    case aauMillimeter:
        return dpi / 25.4;
    default:
        return 1;
    }
}
inline uint32_t Premultiply(TARGB c) {
    uint32_t a = c >> 24;
    if (a == 255)
        return c;
    auto ch = [a](uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (ch((c >> 16) & 0xFF) << 16) | (ch((c >> 8) & 0xFF) << 8) | ch(c & 0xFF);
}

// Runs body, turning what it may throw into a status: no call of the layer raises.
template <class F> TAAStatus Guarded(F&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return TAAStatus::OutOfMemory;
    } catch (...) {
        return TAAStatus::GenericError;
    }
}

} // namespace plat
