// 3D view options and the projection of depth coordinates (forward and back).
#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/PlotCanvas.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TView3DOptions, TPersistent)

namespace {
constexpr double kDegToRad = std::numbers::pi / 180.0;
}

// ---- TView3DOptions ----

TView3DOptions::TView3DOptions(std::function<void()> Repaint) : FRepaint(std::move(Repaint)) {}

void TView3DOptions::Repaint() {
    if (FRepaint)
        FRepaint();
}

void TView3DOptions::SetElevation(int Value) {
    if (Value != FElevation) {
        FElevation = Value;
        Repaint();
    }
}

void TView3DOptions::SetRotation(int Value) {
    if (Value != FRotation) {
        FRotation = Value;
        Repaint();
    }
}

void TView3DOptions::SetFontZoom(int Value) {
    if (Value != FFontZoom) {
        FFontZoom = Value;
        Repaint();
    }
}

void TView3DOptions::SetHorizOffset(int Value) {
    if (Value != FHorizOffset) {
        FHorizOffset = Value;
        Repaint();
        if (OnScroll)
            OnScroll(true);
    }
}

void TView3DOptions::SetVertOffset(int Value) {
    if (Value != FVertOffset) {
        FVertOffset = Value;
        Repaint();
        if (OnScroll)
            OnScroll(false);
    }
}

void TView3DOptions::SetOrthogonal(bool Value) {
    if (Value != FOrthogonal) {
        FOrthogonal = Value;
        Repaint();
    }
}

void TView3DOptions::SetOrthoAngle(int Value) {
    if (Value != FOrthoAngle) {
        FOrthoAngle = Value;
        Repaint();
    }
}

void TView3DOptions::SetPerspective(int Value) {
    if (Value != FPerspective) {
        FPerspective = Value;
        Repaint();
    }
}

void TView3DOptions::SetTilt(int Value) {
    if (Value != FTilt) {
        FTilt = Value;
        Repaint();
    }
}

void TView3DOptions::SetZoom(int Value) {
    if (Value != FZoom) {
        if (OnZoom)
            OnZoom(Value);
        FZoom = Value;
        Repaint();
    }
}

void TView3DOptions::SetZoomText(bool Value) {
    if (Value != FZoomText) {
        FZoomText = Value;
        Repaint();
    }
}

double TView3DOptions::OrthoTangent() const {
    if (!FOrthogonal)
        return 1;
    int a = FOrthoAngle > 90 ? 180 - FOrthoAngle : FOrthoAngle;
    return std::tan(a * kDegToRad);
}

void TView3DOptions::Assign(TPersistent* Source) {
    auto* o = dynamic_cast<TView3DOptions*>(Source);
    if (!o)
        return;
    FElevation = o->FElevation;
    FFontZoom = o->FFontZoom;
    FHorizOffset = o->FHorizOffset;
    FOrthoAngle = o->FOrthoAngle;
    FOrthogonal = o->FOrthogonal;
    FPerspective = o->FPerspective;
    FRotation = o->FRotation;
    FTilt = o->FTilt;
    FVertOffset = o->FVertOffset;
    FZoom = o->FZoom;
    FZoomText = o->FZoomText;
}

PLAT_PROPERTIES(TView3DOptions) {
    props.Integer("Elevation", &TView3DOptions::Elevation, &TView3DOptions::SetElevation, 345);
    props.Integer("FontZoom", &TView3DOptions::FontZoom, &TView3DOptions::SetFontZoom, 100);
    props.Integer("HorizOffset", &TView3DOptions::HorizOffset, &TView3DOptions::SetHorizOffset, 0);
    props.Integer("OrthoAngle", &TView3DOptions::OrthoAngle, &TView3DOptions::SetOrthoAngle, 45);
    props.Boolean("Orthogonal", &TView3DOptions::Orthogonal, &TView3DOptions::SetOrthogonal, true);
    props.Integer("Perspective", &TView3DOptions::Perspective, &TView3DOptions::SetPerspective, 15);
    props.Integer("Rotation", &TView3DOptions::Rotation, &TView3DOptions::SetRotation, 345);
    props.Integer("Tilt", &TView3DOptions::Tilt, &TView3DOptions::SetTilt, 0);
    props.Integer("VertOffset", &TView3DOptions::VertOffset, &TView3DOptions::SetVertOffset, 0);
    props.Integer("Zoom", &TView3DOptions::Zoom, &TView3DOptions::SetZoom, 100);
    props.Boolean("ZoomText", &TView3DOptions::ZoomText, &TView3DOptions::SetZoomText, true);
}

// ---- Projection ----

void TPlotCanvas3D::UpdateRotation() {
    if (FIsOrthogonal)
        return;
    double e = 0, r = 0, t = 0;
    if (FView3DOptions) {
        e = -FView3DOptions->ElevationFloat();
        r = -FView3DOptions->RotationFloat();
        t = FView3DOptions->Tilt();
    }
    FHasPerspective = false;
    FPerspectiveFactor = 0;
    FS1 = std::sin(e * kDegToRad);
    FC1 = std::cos(e * kDegToRad);
    FS2 = std::sin(r * kDegToRad);
    FC2 = std::cos(r * kDegToRad);
    FS3 = std::sin(t * kDegToRad);
    FC3 = std::cos(t * kDegToRad);
    FHasTilt = t != 0;
    FC2S3 = FC2 * FS3;
    FC2C3 = std::max(FC2 * FC3, 0.00001);
    FTXX = std::max(FS1 * FS2 * FS3 + FC1 * FC3, 0.00001);
    FTYX = FC3 * FS1 * FS2 - FC1 * FS3;
    FTXZ = FC1 * FS2 * FS3 - FC3 * FS1;
    FTYZ = FC1 * FC3 * FS2 + FS1 * FS3;
}

void TPlotCanvas3D::UpdatePerspective(const TRect& Rect) {
    FHasPerspective = FView3DOptions && FView3DOptions->Perspective() > 0;
    int w = Rect.Right - Rect.Left;
    if (w < 1)
        w = 1;
    FPerspectiveFactor = (FView3DOptions ? FView3DOptions->Perspective() : 0) * FZoomFactor * (1.0 / 150) / w;
}

void TPlotCanvas3D::CalcCenter(int Depth, const TRect& Rect) {
    int x = 0, y = 0;
    RectCenter(Rect, x, y);
    FXCenter = x + RoundToInt(FRotationCenterX);
    FYCenter = y + RoundToInt(FRotationCenterY);
    FZCenter = RoundToInt(Depth * 0.5 + FRotationCenterZ);
    FScreenCenterX = FXCenter;
    FScreenCenterY = FYCenter;
    if (FView3DOptions) {
        FScreenCenterX += FView3DOptions->HorizOffset();
        FScreenCenterY += FView3DOptions->VertOffset();
        UpdatePerspective(Rect);
    }
}

TPoint TPlotCanvas3D::ProjectPointFloat(double X, double Y, double Z) {
    if (FIsOrthogonal)
        return TPoint(RoundToInt((X - FXCenter + Z * FOrthoX) * FZoomFactor + FScreenCenterX),
                      RoundToInt((Y - FYCenter - Z * FOrthoY) * FZoomFactor + FScreenCenterY));
    if (!FIs3D)
        return TPoint(RoundToInt(X), RoundToInt(Y));
    const double x = X - FXCenter, y = Y - FYCenter, z = Z - FZCenter;
    const double a = z * FC2 - x * FS2;
    double f = FZoomFactor;
    if (FHasPerspective)
        f = FZoomFactor / ((FC1 * a + y * FS1) * FPerspectiveFactor + 1);
    const double b = x * FC2 + z * FS2;
    const double c = y * FC1 - FS1 * a;
    return TPoint(RoundToInt((FC3 * b - FS3 * c) * f + FScreenCenterX),
                  RoundToInt((FC3 * c + FS3 * b) * f + FScreenCenterY));
}

TPoint TPlotCanvas3D::Calc3DPoint(int X, int Y, int Z) {
    if (FIsOrthogonal)
        return TPoint(RoundToInt((double(X) - FXCenter + Z * FOrthoX) * FZoomFactor + FScreenCenterX),
                      RoundToInt((double(Y) - FYCenter - Z * FOrthoY) * FZoomFactor + FScreenCenterY));
    if (!FIs3D)
        return TPoint(X, Y);
    const double x = double(X) - FXCenter, y = double(Y) - FYCenter, z = double(Z) - FZCenter;
    const double a = z * FC2 - x * FS2;
    double f = FZoomFactor;
    if (FHasPerspective)
        f = FZoomFactor / ((FC1 * a + y * FS1) * FPerspectiveFactor + 1);
    if (FHasTilt) {
        const double b = x * FC2 + z * FS2;
        const double c = y * FC1 - FS1 * a;
        return TPoint(RoundToInt((FC3 * b - FS3 * c) * f + FScreenCenterX),
                      RoundToInt((FC3 * c + FS3 * b) * f + FScreenCenterY));
    }
    return TPoint(RoundToInt((x * FC2 + z * FS2) * f + FScreenCenterX),
                  RoundToInt((y * FC1 - FS1 * a) * f + FScreenCenterY));
}

void TPlotCanvas3D::PlaneToPoint(int& X, int& Y, int Z) {
    if (FZoomFactor == 0)
        return;
    const double inv = 1 / FZoomFactor;
    if (FIsOrthogonal) {
        X = RoundToInt(inv * (X - FScreenCenterX) - Z * FOrthoX) + FXCenter;
        Y = RoundToInt(inv * (Y - FScreenCenterY) + Z * FOrthoY) + FYCenter;
        return;
    }
    if (!FIs3D)
        return;
    // Solves the forward projection (tilt, rotation, elevation and perspective) for the point of the
    // plane at depth Z, so that a projected point comes back where it was.
    const double K = FZoomFactor, P = FHasPerspective ? FPerspectiveFactor : 0;
    const double z = double(Z) - FZCenter;
    const double u = X - FScreenCenterX, v = Y - FScreenCenterY;
    const double b = FC3 * u + FS3 * v; // B * K / D
    const double c = FC3 * v - FS3 * u; // C * K / D
    // K (c2 x + s2 z) = b (P (c1 c2 z - c1 s2 x + s1 y) + 1)
    // K (c1 y - s1 c2 z + s1 s2 x) = c (P (c1 c2 z - c1 s2 x + s1 y) + 1)
    const double a11 = K * FC2 + b * P * FC1 * FS2, a12 = -b * P * FS1;
    const double r1 = b * (P * FC1 * FC2 * z + 1) - K * FS2 * z;
    const double a21 = K * FS1 * FS2 + c * P * FC1 * FS2, a22 = K * FC1 - c * P * FS1;
    const double r2 = c * (P * FC1 * FC2 * z + 1) + K * FS1 * FC2 * z;
    const double det = a11 * a22 - a12 * a21;
    if (std::abs(det) < 1e-12)
        return;
    X = RoundToInt((r1 * a22 - a12 * r2) / det + FXCenter);
    Y = RoundToInt((a11 * r2 - r1 * a21) / det + FYCenter);
}

void TPlotCanvas3D::Disable3D() {
    FWas3D = FIs3D;
    FIs3D = false;
}

void TPlotCanvas3D::Enable3D() {
    FIs3D = FWas3D;
}

} // namespace chart
