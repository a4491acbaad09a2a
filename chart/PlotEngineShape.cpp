#include "chart/PlotEngineShape.h"

#include <algorithm>
#include <cmath>

#include "chart/PlotProcsPanel.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TPlotCustomShapeBrushPen, TPersistent)
PLAT_CLASS_INFO(TPlotCustomShape, TPlotCustomShapeBrushPen)
PLAT_CLASS_INFO(TPlotShape, TPlotCustomShape)
PLAT_CLASS_INFO(TPlotCustomShapePosition, TPlotCustomShape)

namespace {
const char* const kTextFormatNames[] = {"ttfNormal", "ttfHtml"};
static_assert(std::size(kTextFormatNames) == ttfHtml + 1);
constexpr int RoundCornerSize = 16;
} // namespace

// --- Brush and pen ----------------------------------------------------------------------------------

TPlotCustomShapeBrushPen::TPlotCustomShapeBrushPen(TCustomPlotPanel* Parent,
                                                   std::unique_ptr<TChartBrush> Brush)
    : FBrush(std::move(Brush)) {
    SetParent(Parent);
    TNotifyEvent changed = [this](TObject* s) { CanvasChanged(s); };
    if (!FBrush)
        FBrush = std::make_unique<TChartBrush>();
    FBrush->OnChange = changed;
    FPen = std::make_unique<TChartPen>(changed);
}

TPlotCustomShapeBrushPen::~TPlotCustomShapeBrushPen() = default;

void TPlotCustomShapeBrushPen::SetParent(TCustomPlotPanel* Value) {
    FParent = Value;
}

void TPlotCustomShapeBrushPen::SetVisible(bool Value) {
    if (FParent != nullptr)
        FParent->SetBooleanField(FVisible, Value);
    else
        FVisible = Value;
}

void TPlotCustomShapeBrushPen::CanvasChanged(TObject*) {
    Repaint();
}

void TPlotCustomShapeBrushPen::Repaint() {
    if (FParent != nullptr)
        FParent->Invalidate();
}

void TPlotCustomShapeBrushPen::Assign(TPersistent* Source) {
    auto* shape = dynamic_cast<TPlotCustomShapeBrushPen*>(Source);
    if (shape == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FBrush->Assign(shape->FBrush.get());
    FPen->Assign(shape->FPen.get());
    SetVisible(shape->FVisible);
}

PLAT_PROPERTIES(TPlotCustomShapeBrushPen) {}

// --- Shape ------------------------------------------------------------------------------------------

TPlotCustomShape::TPlotCustomShape(TCustomPlotPanel* Parent, std::unique_ptr<TChartBrush> Brush)
    : TPlotCustomShapeBrushPen(Parent, std::move(Brush)) {
    TNotifyEvent changed = [this](TObject* s) { CanvasChanged(s); };
    FShadow = std::make_unique<TPlotShadow>(changed);
    InitShadow(FShadow.get());
    FFont = std::make_unique<TPlotFont>(changed);
}

TPlotCustomShape::~TPlotCustomShape() = default;

void TPlotCustomShape::InitShadow(TPlotShadow* Shadow) {
    Shadow->SetColor(clBlack);
    Shadow->SetBothSizes(3);
    Shadow->SetDefaultColor(clBlack);
    Shadow->SetDefaultSize(3);
}

std::unique_ptr<TPlotGradient> TPlotCustomShape::CreateGradient() {
    return std::make_unique<TPlotGradient>();
}

void TPlotCustomShape::SetBevel(TBevelCut Value) {
    if (FBevel != Value) {
        FBevel = Value;
        Repaint();
    }
}

void TPlotCustomShape::SetBevelWidth(int Value) {
    if (FBevelWidth != Value) {
        FBevelWidth = Value;
        Repaint();
    }
}

void TPlotCustomShape::SetColor(TColor Value) {
    if (FParent != nullptr)
        FParent->SetColorField(FColor, Value);
    else
        FColor = Value;
}

TPlotGradient* TPlotCustomShape::Gradient() {
    if (!FGradient) {
        FGradient = CreateGradient();
        FGradient->OnChange = [this](TObject* s) { CanvasChanged(s); };
    }
    return FGradient.get();
}

void TPlotCustomShape::SetGradient(TPlotGradient* Value) {
    if (Value == nullptr) {
        if (FGradient) {
            FGradient.reset();
            Repaint();
        }
        return;
    }
    Gradient()->Assign(Value);
}

void TPlotCustomShape::SetShadow(TPlotShadow* Value) {
    if (Value == nullptr) {
        if (FShadow) {
            FShadow.reset();
            Repaint();
        }
        return;
    }
    if (!FShadow) {
        FShadow = std::make_unique<TPlotShadow>([this](TObject* s) { CanvasChanged(s); });
        InitShadow(FShadow.get());
    }
    FShadow->Assign(Value);
}

void TPlotCustomShape::SetShapeStyle(TChartObjectShapeStyle Value) {
    if (FShapeStyle != Value) {
        FShapeStyle = Value;
        Repaint();
    }
}

void TPlotCustomShape::SetTextFormat(TTextFormat Value) {
    if (FTextFormat != Value) {
        FTextFormat = Value;
        Repaint();
    }
}

void TPlotCustomShape::SetTransparent(bool Value) {
    if (FParent != nullptr)
        FParent->SetBooleanField(FTransparent, Value);
    else
        FTransparent = Value;
}

void TPlotCustomShape::SetTransparency(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (FTransparency != Value) {
        FTransparency = Value;
        Repaint();
    }
}

void TPlotCustomShape::RotatedCorners(const TRect& Rect, int Angle, TPoint* Corners) {
    const int cx = (Rect.Left + Rect.Right) / 2;
    const int cy = (Rect.Top + Rect.Bottom) / 2;
    const double a = Angle * 0.017453292519943295;
    const double s = std::sin(a), c = std::cos(a);
    const TPoint in[4] = {TPoint(Rect.Left, Rect.Top), TPoint(Rect.Right, Rect.Top),
                          TPoint(Rect.Right, Rect.Bottom), TPoint(Rect.Left, Rect.Bottom)};
    for (int i = 0; i < 4; ++i) {
        const double dx = in[i].X - cx, dy = in[i].Y - cy;
        Corners[i] = TPoint(cx + RoundToInt(dx * c + dy * s), cy + RoundToInt(-dx * s + dy * c));
    }
}

void TPlotCustomShape::DrawOutline(TCanvas3D& Canvas, const TRect& Rect, int Angle, int Z,
                                   const TPoint* Corners) {
    if (Angle < 1) {
        if (Canvas.IsTrue3D())
            Canvas.RectangleWithZ(Rect, Z);
        else if (FShapeStyle == fosRoundRectangle)
            Canvas.DrawRoundRect(Rect, RoundCornerSize, RoundCornerSize);
        else
            Canvas.DrawRectangle(Rect);
    } else {
        Canvas.Polygon(Corners, 3);
    }
}

void TPlotCustomShape::DrawShadow(TCanvas3D& Canvas, const TRect& Rect, int Angle, int Z) {
    if (Angle == 0 && FShapeStyle == fosRectangle) {
        const bool flat = !Canvas.IsTrue3D();
        if (flat)
            Canvas.DisableRotation();
        ScopeGuard enableRotation([&Canvas, flat] {
            if (flat)
                Canvas.EnableRotation();
        });
        FShadow->DrawRect(Canvas, Rect, Z);
    }
    if (FTransparency <= 0)
        return;
    int h = FShadow->HorizSize();
    int v = FShadow->VertSize();
    if (std::max(h, v) > 0 && Pen()->Visible()) {
        h += Pen()->Width();
        v += Pen()->Width();
    }
    TRect moved = Rect;
    OffsetRect(moved, h, v);
    Canvas.Pen()->SetStyle(psClear);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(FShadow->Color());
    std::unique_ptr<TPlotBlend> blend;
    if (FShadow->Transparency() > 0)
        blend = Canvas.BeginBlend(moved, FShadow->Transparency());
    TPoint corners[4];
    if (Angle >= 1)
        RotatedCorners(moved, Angle, corners);
    DrawOutline(Canvas, moved, Angle, Z, corners);
    if (blend)
        Canvas.EndBlend(std::move(blend));
}

void TPlotCustomShape::DrawShapeRect(const TRect& Rect, int Angle, int Z) {
    if (FTransparent || FParent == nullptr)
        return;
    TCanvas3D& canvas = *FParent->DrawCanvas();
    TPoint corners[4];
    if (Angle != 0)
        RotatedCorners(Rect, Angle, corners);
    std::unique_ptr<TPlotBlend> blend;
    if (FTransparency > 0)
        blend = canvas.BeginBlend(Angle == 0 ? Rect : PolygonBounds(corners, 4), FTransparency);
    ScopeGuard endBlend([&] {
        if (blend)
            canvas.EndBlend(std::move(blend));
    });
    if (FShadow && (FShadow->HorizSize() != 0 || FShadow->VertSize() != 0) && Brush()->Style() != bsClear)
        DrawShadow(canvas, Rect, Angle, Z);
    if (FGradient && FGradient->Visible()) {
        if (Angle < 1) {
            FGradient->FillRectangle(canvas, Rect, FShapeStyle == fosRoundRectangle ? RoundCornerSize : 0);
        } else {
            TPoint clip[4] = {corners[0], corners[1], corners[2], corners[3]};
            canvas.ClipPolygon(clip, 4);
            FGradient->FillRectangle(canvas, PolygonBounds(corners, 4));
            canvas.UnClip();
        }
        canvas.Brush()->SetStyle(bsClear);
    } else {
        canvas.UseChartBrushWithColor(Brush(), FColor);
    }
    canvas.UseChartPen(Pen());
    DrawOutline(canvas, Rect, Angle, Z, corners);
    if (Angle == 0) {
        TRect bevel = Rect;
        FParent->DrawBevel(FBevel, bevel, FBevelWidth, 0);
    }
}

void TPlotCustomShape::Assign(TPersistent* Source) {
    if (auto* shape = dynamic_cast<TPlotCustomShape*>(Source)) {
        FBevel = shape->FBevel;
        FBevelWidth = shape->FBevelWidth;
        FColor = shape->FColor;
        FFont->Assign(shape->FFont.get());
        SetGradient(shape->FGradient.get());
        FShapeStyle = shape->FShapeStyle;
        SetShadow(shape->FShadow.get());
        FTextFormat = shape->FTextFormat;
        FTransparent = shape->FTransparent;
        FTransparency = shape->FTransparency;
    }
    TPlotCustomShapeBrushPen::Assign(Source);
}

void TPlotCustomShape::DefineProperties(TFiler& Filer) {
    TPlotCustomShapeBrushPen::DefineProperties(Filer);
    Filer.DefineProperty(
        "ShadowColor",
        [this](TReader& r) {
            TColor colour = clBlack;
            if (r.NextValue() == vaIdent) {
                const std::string ident = r.ReadIdent();
                if (!IdentToColor(ident.c_str(), colour))
                    return;
            } else {
                colour = static_cast<TColor>(r.ReadInteger());
            }
            if (FShadow)
                FShadow->SetColor(colour);
        },
        nullptr, false);
    Filer.DefineProperty(
        "ShadowSize",
        [this](TReader& r) {
            const int size = r.ReadInteger();
            if (FShadow)
                FShadow->SetBothSizes(size);
        },
        nullptr, false);
}

PLAT_PROPERTIES(TPlotCustomShape) {
    props.Object("Brush", &TPlotCustomShape::Brush, &TPlotCustomShape::SetBrush);
    props.Object("Frame", &TPlotCustomShape::Frame, &TPlotCustomShape::SetFrame);
    props.Boolean("Visible", &TPlotCustomShape::Visible, &TPlotCustomShape::SetVisible, true);
    props.Enum("Bevel", &TPlotCustomShape::Bevel, &TPlotCustomShape::SetBevel, kBevelCutNames, bvNone);
    props.Integer("BevelWidth", &TPlotCustomShape::BevelWidth, &TPlotCustomShape::SetBevelWidth, 2);
    props.Color("Color", &TPlotCustomShape::Color, &TPlotCustomShape::SetColor, clWhite);
    props.Object("Font", &TPlotCustomShape::Font, &TPlotCustomShape::SetFont);
    props.Object("Gradient", &TPlotCustomShape::Gradient, &TPlotCustomShape::SetGradient)
        .Stored(&TPlotCustomShape::HasGradient);
    props.Object("Shadow", &TPlotCustomShape::Shadow, &TPlotCustomShape::SetShadow);
    props.Enum("ShapeStyle", &TPlotCustomShape::ShapeStyle, &TPlotCustomShape::SetShapeStyle,
               kShapeStyleNames, fosRectangle);
    props.Enum("TextFormat", &TPlotCustomShape::TextFormat, &TPlotCustomShape::SetTextFormat,
               kTextFormatNames, ttfNormal);
    props.Boolean("Transparent", &TPlotCustomShape::Transparent, &TPlotCustomShape::SetTransparent)
        .Stored(&TPlotCustomShape::IsTransparentStored);
    props.Integer("Transparency", &TPlotCustomShape::Transparency, &TPlotCustomShape::SetTransparency, 0);
}

PLAT_PROPERTIES(TPlotShape) {}

// --- Position ---------------------------------------------------------------------------------------

void TPlotCustomShapePosition::SetCustomPosition(bool Value) {
    if (FParent != nullptr)
        FParent->SetBooleanField(FCustomPosition, Value);
    else
        FCustomPosition = Value;
}

void TPlotCustomShapePosition::SetLeft(int Value) {
    SetCustomPosition(true);
    if (FParent != nullptr)
        FParent->SetIntegerField(ShapeBounds().Left, Value);
    else
        ShapeBounds().Left = Value;
}

void TPlotCustomShapePosition::SetTop(int Value) {
    SetCustomPosition(true);
    if (FParent != nullptr)
        FParent->SetIntegerField(ShapeBounds().Top, Value);
    else
        ShapeBounds().Top = Value;
}

void TPlotCustomShapePosition::Assign(TPersistent* Source) {
    if (auto* shape = dynamic_cast<TPlotCustomShapePosition*>(Source)) {
        FCustomPosition = shape->FCustomPosition;
        if (FCustomPosition) {
            ShapeBounds().Left = shape->ShapeBounds().Left;
            ShapeBounds().Top = shape->ShapeBounds().Top;
        }
    }
    TPlotCustomShape::Assign(Source);
}

PLAT_PROPERTIES(TPlotCustomShapePosition) {
    props
        .Boolean("CustomPosition", &TPlotCustomShapePosition::CustomPosition,
                 &TPlotCustomShapePosition::SetCustomPosition)
        .Stored(&TPlotCustomShapePosition::IsCustomPositionStored);
    // A laid-out box has no place of its own: writing it would read back as a custom position.
    props.Integer("Left", &TPlotCustomShapePosition::Left, &TPlotCustomShapePosition::SetLeft, 0)
        .Stored(&TPlotCustomShapePosition::CustomPosition);
    props.Integer("Top", &TPlotCustomShapePosition::Top, &TPlotCustomShapePosition::SetTop, 0)
        .Stored(&TPlotCustomShapePosition::CustomPosition);
}

} // namespace chart
