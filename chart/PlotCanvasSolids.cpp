// Depth-aware drawing: lines, planes and texts at a depth, and the solids (cube, cone and cylinder,
// pyramid, rounded solid, pie slice, arrow) drawn as projected faces with hidden faces left out.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "chart/PlotCanvas.h"
#include "platform/gfx/PixelLine.h"

namespace chart {

using namespace plat;

namespace {

constexpr double kPi = std::numbers::pi;

// Twice the signed area of a projected polygon; with y growing downward a face whose corners run
// clockwise on screen gives a positive value. 64-bit, so large coordinates do not overflow.
int64_t Area2(const std::vector<TPoint>& p) {
    int64_t sum = 0;
    for (size_t i = 0, n = p.size(); i < n; ++i) {
        const TPoint& a = p[i];
        const TPoint& b = p[(i + 1) % n];
        sum += int64_t(a.X) * b.Y - int64_t(b.X) * a.Y;
    }
    return sum;
}

// The facing value of a projected quadrilateral, from its corners 1, 2 and 3.
int64_t QuadFacing(const TPoint* q) {
    return (int64_t(q[3].X) - q[2].X) * (int64_t(q[1].Y) - q[2].Y) -
           (int64_t(q[1].X) - q[2].X) * (int64_t(q[3].Y) - q[2].Y);
}

// The same turn test as IsBackFacing, in 64-bit arithmetic.
bool BackFacing64(TPoint p0, TPoint p1, TPoint p2) {
    return (int64_t(p0.X) - p1.X) * (int64_t(p2.Y) - p1.Y) - (int64_t(p2.X) - p1.X) * (int64_t(p0.Y) - p1.Y) <
           0;
}

} // namespace

// ---- Helpers ----

TColor TPlotCanvas3D::BaseColor() {
    return FBrush->Style() == bsSolid ? FBrush->Color() : GetBackColor();
}

void TPlotCanvas3D::SetQuad(TPoint P0, TPoint P1, TPoint P2, TPoint P3) {
    FQuad[0] = P0;
    FQuad[1] = P1;
    FQuad[2] = P2;
    FQuad[3] = P3;
}

void TPlotCanvas3D::DrawQuad() {
    DC()->Polygon(FQuad, 4);
}

void TPlotCanvas3D::FillPolygon(const std::vector<TPoint>& Points) {
    if (!Points.empty())
        DC()->Polygon(Points.data(), static_cast<int>(Points.size()));
}

// ---- Points, lines and planes ----

TColor TPlotCanvas3D::GetPixel3D(int X, int Y, int Z) {
    const TPoint p = Calc3DPoint(X, Y, Z);
    return GetPixel(p.X, p.Y);
}

void TPlotCanvas3D::SetPixel3D(int X, int Y, int Z, TColor Color) {
    const TPoint p = Calc3DPoint(X, Y, Z);
    if (FPen->Width() <= 1) {
        SetPixel(p.X, p.Y, Color);
        return;
    }
    // A dot as wide as the pen.
    FPen->SetColor(Color);
    TDeviceContext* dc = DC();
    dc->MoveToEx(p.X, p.Y);
    dc->LineTo(p.X, p.Y);
}

void TPlotCanvas3D::HorizLine3D(int X0, int X1, int Y, int Z) {
    LineBetween(Calc3DPoint(X0, Y, Z), Calc3DPoint(X1, Y, Z));
}

void TPlotCanvas3D::VertLine3D(int X, int Y0, int Y1, int Z) {
    LineBetween(Calc3DPoint(X, Y0, Z), Calc3DPoint(X, Y1, Z));
}

void TPlotCanvas3D::ZLine3D(int X, int Y, int Z0, int Z1) {
    LineBetween(Calc3DPoint(X, Y, Z0), Calc3DPoint(X, Y, Z1));
}

void TPlotCanvas3D::LineWithZ(int X0, int Y0, int X1, int Y1, int Z) {
    LineBetween(Calc3DPoint(X0, Y0, Z), Calc3DPoint(X1, Y1, Z));
}

void TPlotCanvas3D::MoveTo3D(int X, int Y, int Z) {
    const TPoint p = Calc3DPoint(X, Y, Z);
    MoveTo(p.X, p.Y);
}

void TPlotCanvas3D::LineTo3D(int X, int Y, int Z) {
    const TPoint p = Calc3DPoint(X, Y, Z);
    LineTo(p.X, p.Y);
}

void TPlotCanvas3D::Plane(TPoint P0, TPoint P1, int Z0, int Z1) {
    SetQuad(CalcPoint3D(P0, Z0), CalcPoint3D(P1, Z0), CalcPoint3D(P1, Z1), CalcPoint3D(P0, Z1));
    DrawQuad();
}

void TPlotCanvas3D::QuadWithZ(TPoint P0, TPoint P1, TPoint P2, TPoint P3, int Z) {
    SetQuad(CalcPoint3D(P0, Z), CalcPoint3D(P1, Z), CalcPoint3D(P2, Z), CalcPoint3D(P3, Z));
    DrawQuad();
}

void TPlotCanvas3D::PlaneFourPoints(const TPoint* Points, int Z0, int Z1) {
    SetQuad(ProjectPointFloat(Points[0].X, Points[0].Y, Z0), ProjectPointFloat(Points[1].X, Points[1].Y, Z0),
            ProjectPointFloat(Points[2].X, Points[2].Y, Z1), ProjectPointFloat(Points[3].X, Points[3].Y, Z1));
    DrawQuad();
}

void TPlotCanvas3D::PolygonWithZ(const TPoint* Points, int HighIndex, int Z) {
    std::vector<TPoint> p;
    for (int i = 0; i <= HighIndex; ++i)
        p.push_back(CalcPoint3D(Points[i], Z));
    if (!p.empty())
        Polygon(p.data(), HighIndex);
}

void TPlotCanvas3D::PolylineWithZ(const TPoint* Points, int HighIndex, int Z) {
    std::vector<TPoint> p;
    for (int i = 0; i <= HighIndex; ++i)
        p.push_back(CalcPoint3D(Points[i], Z));
    if (!p.empty())
        Polyline(p.data(), HighIndex);
}

void TPlotCanvas3D::RectangleWithZ(const TRect& Rect, int Z) {
    SetQuad(Calc3DPoint(Rect.Left, Rect.Top, Z), Calc3DPoint(Rect.Right, Rect.Top, Z),
            Calc3DPoint(Rect.Right, Rect.Bottom, Z), Calc3DPoint(Rect.Left, Rect.Bottom, Z));
    DrawQuad();
}

void TPlotCanvas3D::HorizRectangle3D(int X0, int Y, int X1, int Z0, int Z1) {
    SetQuad(Calc3DPoint(X0, Y, Z0), Calc3DPoint(X1, Y, Z0), Calc3DPoint(X1, Y, Z1), Calc3DPoint(X0, Y, Z1));
    DrawQuad();
}

void TPlotCanvas3D::VertRectangle3D(int X, int Y0, int Y1, int Z0, int Z1) {
    SetQuad(Calc3DPoint(X, Y0, Z0), Calc3DPoint(X, Y0, Z1), Calc3DPoint(X, Y1, Z1), Calc3DPoint(X, Y1, Z0));
    DrawQuad();
}

void TPlotCanvas3D::Triangle3D(TPoint P0, int Z0, TPoint P1, int Z1, TPoint P2, int Z2, TColor Color) {
    if (FBrush->Style() != bsClear)
        FBrush->SetColor(Color);
    const TPoint p[3] = {CalcPoint3D(P0, Z0), CalcPoint3D(P1, Z1), CalcPoint3D(P2, Z2)};
    Polygon(p, 2);
}

void TPlotCanvas3D::TriangleWithZ(TPoint P0, TPoint P1, TPoint P2, int Z) {
    const TPoint p[3] = {CalcPoint3D(P0, Z), CalcPoint3D(P1, Z), CalcPoint3D(P2, Z)};
    Polygon(p, 2);
}

void TPlotCanvas3D::SphereWithZ(int X, int Y, int Z, double Radius) {
    const int r = RoundToInt(Radius);
    EllipseWithZ(X - r, Y - r, X + r, Y + r, Z);
}

void TPlotCanvas3D::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) {
    if (FIsOrthogonal) {
        const TPoint a = Calc3DPoint(X1, Y1, Z), b = Calc3DPoint(X2, Y2, Z);
        Ellipse(a.X, a.Y, b.X, b.Y);
        return;
    }
    if (!FIs3D) {
        Ellipse(X1, Y1, X2 + 1, Y2 + 1);
        return;
    }
    const double cx = (X1 + X2) * 0.5, cy = (Y1 + Y2) * 0.5;
    const int rx = (X2 - X1) / 2, ry = (Y1 - Y2) / 2;
    std::vector<TPoint> p(64);
    p[0] = ProjectPointFloat(cx, Y1, Z);
    for (int i = 1; i < 64; ++i) {
        const double a = i * 2 * kPi / 63;
        p[i] = ProjectPointFloat(cx + rx * std::sin(a), cy + ry * std::cos(a), Z);
    }
    if (FBrush->Style() != bsClear) {
        const TPenStyle style = FPen->Style();
        FPen->SetStyle(psClear);
        const TPoint center = ProjectPointFloat(cx, cy, Z);
        for (int i = 0; i < 63; ++i) {
            const TPoint t[3] = {center, p[i], p[i + 1]};
            Polygon(t, 2);
        }
        FPen->SetStyle(style);
    }
    if (FPen->Style() != psClear)
        Polyline(p.data(), 63);
}

void TCanvas3D::DrawPicture3D(const TRect& Rect, TGraphic* Graphic, int Z) {
    if (!Graphic || Graphic->Empty())
        return;
    std::unique_ptr<TBitmap> copy;
    TBitmap* bitmap = dynamic_cast<TBitmap*>(Graphic);
    if (!bitmap) {
        copy = std::make_unique<TBitmap>(Graphic->Width(), Graphic->Height());
        copy->Canvas()->Draw(0, 0, Graphic);
        bitmap = copy.get();
    }
    const int pw = bitmap->Width(), ph = bitmap->Height();
    const double cw = double(Rect.Right - Rect.Left) / pw, ch = double(Rect.Bottom - Rect.Top) / ph;
    FPen->SetStyle(psClear);
    const TImageSurface& pixels = bitmap->Surface();
    for (int y = 0; y < ph; ++y) {
        const int top = RoundToInt(Rect.Top + y * ch), bottom = RoundToInt(Rect.Top + (y + 1) * ch);
        for (int x = 0; x < pw; ++x) {
            const int left = RoundToInt(Rect.Left + x * cw), right = RoundToInt(Rect.Left + (x + 1) * cw);
            FBrush->SetColor(PixelToColor(pixels.Row(y)[x] & 0xFFFFFF));
            const TPoint cell[4] = {Calc3DPoint(left, top, Z), Calc3DPoint(right, top, Z),
                                    Calc3DPoint(right, bottom, Z), Calc3DPoint(left, bottom, Z)};
            Polygon(cell, 3);
        }
    }
}

// ---- Solids ----

void TPlotCanvas3D::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) {
    const TColor base = BaseColor();
    const bool clear = FBrush->Style() == bsClear;
    auto shade = [&](int amount) {
        if (DarkSides)
            ApplyDarkColor(base, amount);
    };
    auto quad = [&](TPoint a, TPoint b, TPoint c, TPoint d) { SetQuad(a, b, c, d); };
    auto P = [&](int x, int y, int z) { return Calc3DPoint(x, y, z); };

    // Front, or the back when the front turns away. A wire cube shows both.
    quad(P(Left, Top, Z0), P(Right, Top, Z0), P(Right, Bottom, Z0), P(Left, Bottom, Z0));
    const bool frontVisible = QuadFacing(FQuad) > 0;
    if (clear || !frontVisible) {
        quad(P(Left, Top, Z1), P(Right, Top, Z1), P(Right, Bottom, Z1), P(Left, Bottom, Z1));
        DrawQuad();
        quad(P(Left, Top, Z0), P(Right, Top, Z0), P(Right, Bottom, Z0), P(Left, Bottom, Z0));
    }
    if (clear || frontVisible)
        DrawQuad();

    quad(P(Right, Top, Z0), P(Right, Top, Z1), P(Right, Bottom, Z1), P(Right, Bottom, Z0));
    if (clear || QuadFacing(FQuad) > 0) {
        shade(SideShadeAmount);
        DrawQuad();
    }
    quad(P(Left, Top, Z0), P(Left, Top, Z1), P(Left, Bottom, Z1), P(Left, Bottom, Z0));
    const int64_t left = (int64_t(FQuad[3].X) - FQuad[0].X) * (int64_t(FQuad[1].Y) - FQuad[0].Y) -
                         (int64_t(FQuad[1].X) - FQuad[0].X) * (int64_t(FQuad[3].Y) - FQuad[0].Y);
    if (clear || left > 0) {
        shade(SideShadeAmount);
        DrawQuad();
    }
    const TPoint a = P(Left, Top, Z0), b = P(Right, Top, Z0), c = P(Right, Top, Z1);
    quad(a, b, c, P(Left, Top, Z1));
    const int64_t top =
        (int64_t(a.X) - b.X) * (int64_t(c.Y) - b.Y) - (int64_t(c.X) - b.X) * (int64_t(a.Y) - b.Y);
    if (clear || top > 0) {
        shade(TopShadeAmount);
        DrawQuad();
    }
    quad(P(Left, Bottom, Z0), P(Left, Bottom, Z1), P(Right, Bottom, Z1), P(Right, Bottom, Z0));
    if (clear || QuadFacing(FQuad) < 0) {
        shade(TopShadeAmount);
        DrawQuad();
    }
}

void TPlotCanvas3D::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                         bool DarkSides, int ConePercent) {
    if (ConePercent == 0)
        ConePercent = DefaultConePercent;
    const TColor base = BaseColor();
    const int n = std::max(3, SolidSideCount);
    const int zc = (Z0 + Z1) / 2, zr = (Z1 - Z0) / 2;
    // One centre and radius across the axis; the full-size end and the scaled end along it.
    int c, r, fullAt, scaledAt;
    if (Vertical) {
        c = (Left + Right) / 2;
        r = (Right - Left) / 2;
        fullAt = Top;
        scaledAt = Bottom;
    } else {
        c = (Top + Bottom) / 2;
        r = (Bottom - Top) / 2;
        fullAt = Right;
        scaledAt = Left;
    }
    const int rs = RoundToInt(r * ConePercent * 0.01), zs = RoundToInt(zr * ConePercent * 0.01);
    auto ring = [&](int at, int radius, int depthRadius) {
        std::vector<TPoint> p(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) {
            const double a = k * 2 * kPi / n;
            const int across = RoundToInt(c + std::sin(a) * radius);
            const int z = RoundToInt(zc - std::cos(a) * depthRadius);
            p[static_cast<size_t>(k)] = Vertical ? Calc3DPoint(across, at, z) : Calc3DPoint(at, across, z);
        }
        return p;
    };
    const std::vector<TPoint> full = ring(fullAt, r, zr), scaled = ring(scaledAt, rs, zs);
    // The faces turn the other way when the solid is given upside down (or right to left).
    const bool flipped = Vertical ? fullAt > scaledAt : fullAt < scaledAt;

    for (int k = 0; k < n; ++k) {
        const size_t a = static_cast<size_t>(k), b = static_cast<size_t>((k + 1) % n);
        bool back = BackFacing64(full[b], full[a], scaled[a]);
        if (flipped)
            back = !back;
        if (back)
            continue;
        // The closing side keeps the shade of the side before it.
        if (DarkSides && k < n - 1)
            ApplyDarkColor(base, k * (256 / (2 * n)));
        FillPolygon({full[b], full[a], scaled[a], scaled[b]});
    }
    // An end is drawn when it faces the viewer: the upper end of an upright solid seen from above, the
    // right end of a lying one seen from the right.
    auto drawEnd = [&](const std::vector<TPoint>& p, bool outwardUpOrRight) {
        const int64_t area = Area2(p);
        if (area == 0 || (outwardUpOrRight ? area > 0 : area < 0))
            return;
        if (DarkSides)
            ApplyDarkColor(base, TopShadeAmount);
        else if (FBrush->Style() == bsSolid)
            FBrush->SetColor(base);
        FillPolygon(p);
    };
    const bool fullIsUpperOrRight = Vertical ? fullAt < scaledAt : fullAt > scaledAt;
    drawEnd(full, fullIsUpperOrRight);
    if (rs != 0 || zs != 0)
        drawEnd(scaled, !fullIsUpperOrRight);
}

void TPlotCanvas3D::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                            bool DarkSides) {
    const TColor base = BaseColor();
    const int zm = (Z0 + Z1) / 2;
    TPoint apex;
    // Base corners: front pair at Z0 and back pair at Z1, listed so that every face runs clockwise on
    // screen when it faces the viewer of an upright pyramid.
    TPoint f0, f1, b1, b0;
    int direction;
    if (Vertical) {
        apex = Calc3DPoint((Left + Right) / 2, Top, zm);
        f0 = Calc3DPoint(Left, Bottom, Z0);
        f1 = Calc3DPoint(Right, Bottom, Z0);
        b1 = Calc3DPoint(Right, Bottom, Z1);
        b0 = Calc3DPoint(Left, Bottom, Z1);
        direction = Top <= Bottom ? 1 : -1;
    } else {
        apex = Calc3DPoint(Right, (Top + Bottom) / 2, zm);
        f0 = Calc3DPoint(Left, Top, Z0);
        f1 = Calc3DPoint(Left, Bottom, Z0);
        b1 = Calc3DPoint(Left, Bottom, Z1);
        b0 = Calc3DPoint(Left, Top, Z1);
        direction = Left <= Right ? 1 : -1;
    }
    auto visible = [&](const std::vector<TPoint>& face) { return Area2(face) * direction > 0; };
    auto side = [&](const std::vector<TPoint>& face) {
        if (!visible(face))
            return;
        if (DarkSides)
            ApplyDarkColor(base, SideShadeAmount);
        FillPolygon(face);
    };
    FillPolygon({f0, apex, f1});
    side({f1, apex, b1});
    side({b1, apex, b0});
    side({b0, apex, f0});
    const std::vector<TPoint> bottom = {f0, f1, b1, b0};
    if (visible(bottom)) {
        if (DarkSides)
            ApplyDarkColor(base, TopShadeAmount);
        FillPolygon(bottom);
    }
}

void TPlotCanvas3D::EllipseInDepth(const TRect& Rect, int Z0, int HalfDepth, int HalfWidth, int Z1) {
    const int cx = (Rect.Left + Rect.Right) / 2, cz = (Z0 + Z1) / 2;
    const int x0 = cx - HalfWidth, x1 = cx + HalfWidth, za = cz - HalfDepth, zb = cz + HalfDepth;
    auto P = [&](int x, int y, int z) { return Calc3DPoint(x, y, z); };
    // The upper face faces the viewer when it runs clockwise on screen (listed left-front, right-front,
    // right-back, left-back); the face turned away goes first so the other one covers it.
    const std::vector<TPoint> upper = {P(x0, Rect.Top, za), P(x1, Rect.Top, za), P(x1, Rect.Top, zb),
                                       P(x0, Rect.Top, zb)};
    const bool upperVisible = (Area2(upper) > 0) == (Rect.Top <= Rect.Bottom);
    const int first = upperVisible ? Rect.Bottom : Rect.Top, last = upperVisible ? Rect.Top : Rect.Bottom;
    HorizRectangle3D(x0, first, x1, za, zb);
    if (HalfWidth != 0 || Z0 != Z1) {
        const int t = Rect.Top, b = Rect.Bottom;
        const int sign = t <= b ? 1 : -1;
        const std::vector<std::vector<TPoint>> sides = {
            {P(x0, t, za), P(x1, t, za), P(x1, b, za), P(x0, b, za)}, // front
            {P(x1, t, za), P(x1, t, zb), P(x1, b, zb), P(x1, b, za)}, // right
            {P(x1, t, zb), P(x0, t, zb), P(x0, b, zb), P(x1, b, zb)}, // back
            {P(x0, t, zb), P(x0, t, za), P(x0, b, za), P(x0, b, zb)}, // left
        };
        for (const auto& s : sides)
            if (Area2(s) * sign > 0)
                FillPolygon(s);
    } else {
        Plane(TPoint(x0, Rect.Top), TPoint(x0, Rect.Bottom), za, zb);
    }
    HorizRectangle3D(x0, last, x1, za, zb);
}

void TPlotCanvas3D::PieSlice3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1,
                               double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
                               int DonutPercent, TPlotGradient* Gradient) {
    const int n = std::min(RoundToInt(std::abs(EndAngle - StartAngle) * 180 / kPi / 2), 94) + 2;
    const bool hole = DonutPercent > 0;
    const double ix = XRadius * DonutPercent * 0.01, iy = YRadius * DonutPercent * 0.01;
    std::vector<TPoint> front(n), back(n), innerFront(n), innerBack(n);
    for (int k = 0; k < n; ++k) {
        const double a = StartAngle + (EndAngle - StartAngle) * k / (n - 1);
        const double ox = XCenter + XRadius * std::cos(a), oy = YCenter - YRadius * std::sin(a);
        front[k] = ProjectPointFloat(ox, oy, Z0);
        back[k] = ProjectPointFloat(ox, oy, Z1);
        if (hole) {
            const double px = XCenter + ix * std::cos(a), py = YCenter - iy * std::sin(a);
            innerFront[k] = ProjectPointFloat(px, py, Z0);
            innerBack[k] = ProjectPointFloat(px, py, Z1);
        }
    }
    const TPoint center0 = Calc3DPoint(XCenter, YCenter, Z0), center1 = Calc3DPoint(XCenter, YCenter, Z1);
    const TColor base = BaseColor();
    auto shade = [&]() {
        if (DarkSides)
            ApplyDarkColor(base, 32);
    };
    // Paints a face in the brush, or through the gradient: clipped to the face, the gradient fills its
    // bounds (taken from the logical points) and the outline goes on top.
    auto paint = [&](const std::vector<TPoint>& face) {
        if (!Gradient) {
            FillPolygon(face);
            return;
        }
        std::vector<TPoint> device = face;
        ClipPolygon(device.data(), static_cast<int>(device.size()));
        Gradient->FillRectangle(*this, PolygonBounds(face.data(), static_cast<int>(face.size())), 0);
        UnClip();
        if (FPen->Style() != psClear) {
            const TBrushStyle style = FBrush->Style();
            FBrush->SetStyle(bsClear);
            FillPolygon(face);
            FBrush->SetStyle(style);
        }
    };
    // Runs of consecutive wall segments that face the viewer, each as one polygon.
    auto walls = [&](const std::vector<TPoint>& f, const std::vector<TPoint>& b, bool inner, bool gradient) {
        int k = 0;
        while (k < n - 1) {
            auto faces = [&](int i) {
                const std::vector<TPoint> q = inner ? std::vector<TPoint>{f[i], f[i + 1], b[i + 1], b[i]}
                                                    : std::vector<TPoint>{f[i + 1], f[i], b[i], b[i + 1]};
                return Area2(q) < 0;
            };
            if (!faces(k)) {
                ++k;
                continue;
            }
            int j = k;
            while (j < n - 1 && faces(j))
                ++j;
            std::vector<TPoint> poly(f.begin() + k, f.begin() + j + 1);
            for (int i = j; i >= k; --i)
                poly.push_back(b[i]);
            shade();
            if (gradient)
                paint(poly);
            else
                FillPolygon(poly);
            k = j;
        }
    };
    if (hole)
        walls(innerFront, innerBack, true, false);
    if (DrawSides) {
        const TPoint s0 = hole ? innerFront[0] : center0, s1 = hole ? innerBack[0] : center1;
        const TPoint e0 = hole ? innerFront[n - 1] : center0, e1 = hole ? innerBack[n - 1] : center1;
        const std::vector<TPoint> startWall = {s0, s1, back[0], front[0]};
        const std::vector<TPoint> endWall = {e0, front[n - 1], back[n - 1], e1};
        for (const auto* wall : {&startWall, &endWall})
            if (Area2(*wall) < 0) {
                shade();
                FillPolygon(*wall);
            }
    }
    walls(front, back, false, Gradient != nullptr);
    if (DarkSides)
        ApplyDarkColor(base, 0);
    std::vector<TPoint> top = front;
    if (hole)
        top.insert(top.end(), innerFront.rbegin(), innerFront.rend());
    else
        top.push_back(center0);
    paint(top);
}

void TPlotCanvas3D::Arrow3D(bool Filled, TPoint FromPoint, TPoint ToPoint, int HeadWidth, int HeadHeight,
                            int Z, double BodyPercent) {
    const double dx = ToPoint.X - FromPoint.X, dy = FromPoint.Y - ToPoint.Y;
    const double length = VectorLength(dy, dx);
    if (length == 0)
        return;
    const int head = std::min(HeadHeight, RoundToInt(length));
    const double sn = dy / length, cs = dx / length;
    // A point `along` pixels from From toward To and `across` pixels to its left, on screen.
    auto at = [&](double along, double across) {
        const double x = FromPoint.X + along * cs - across * sn;
        const double y = FromPoint.Y - along * sn - across * cs;
        return Calc3DPoint(RoundToInt(x), RoundToInt(y), Z);
    };
    const double base = length - head, half = HeadWidth / 2.0;
    const TPoint to = Calc3DPoint(ToPoint.X, ToPoint.Y, Z);
    const TPoint left = at(base, half), right = at(base, -half);
    if (!Filled) {
        LineBetween(Calc3DPoint(FromPoint.X, FromPoint.Y, Z), to);
        LineBetween(to, left);
        LineBetween(to, right);
        return;
    }
    const double body = HeadWidth * BodyPercent * 0.005;
    const TPoint p[7] = {at(0, body), at(0, -body), at(base, -body), right, to, left, at(base, body)};
    Polygon(p, 6);
}

} // namespace chart
