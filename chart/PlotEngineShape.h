// The framed boxes every boxed chart part is made of (titles, legend, axis labels, marks, annotations,
// walls): brush, frame pen, fill colour or gradient, bevel, shadow, font, rounded outline and partial
// transparency. The owner of a shape draws the text inside it.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>

#include "chart/PlotCanvas.h"
#include "platform/ui/Panel.h"

namespace chart {

class TCustomPlotPanel;
using plat::TBevelCut;

enum TChartObjectShapeStyle : uint8_t { fosRectangle, fosRoundRectangle };
inline constexpr const char* kShapeStyleNames[] = {"fosRectangle", "fosRoundRectangle"};
static_assert(std::size(kShapeStyleNames) == fosRoundRectangle + 1);
enum TTextFormat : uint8_t { ttfNormal, ttfHtml };

// Brush, pen, visibility and the panel that repaints when they change; also the base of the series
// pointer.
class TPlotCustomShapeBrushPen : public plat::TPersistent {
    PLAT_CLASS(TPlotCustomShapeBrushPen)
public:
    // A descendant may hand in a brush of its own class.
    explicit TPlotCustomShapeBrushPen(TCustomPlotPanel* Parent, std::unique_ptr<TChartBrush> Brush = nullptr);
    ~TPlotCustomShapeBrushPen() override;

    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TChartBrush* Value) { FBrush->Assign(Value); }
    // Published as Frame by the shapes and as Pen by the walls.
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    TChartPen* Frame() const { return FPen.get(); }
    void SetFrame(TChartPen* Value) { FPen->Assign(Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void MakeInvisible() { SetVisible(false); }
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    TCustomPlotPanel* ParentChart() const { return FParent; }
    TCustomPlotPanel* Parent() const { return FParent; }
    virtual void SetParent(TCustomPlotPanel* Value);

    void Assign(plat::TPersistent* Source) override;

protected:
    // Repaints the parent; the change handler of brush, pen and the other sub-objects.
    virtual void CanvasChanged(plat::TObject* Sender);
    // Repaints the parent when there is one.
    void Repaint();

    std::unique_ptr<TChartBrush> FBrush;
    TCustomPlotPanel* FParent = nullptr;
    std::unique_ptr<TChartPen> FPen;
    bool FVisible = true;
};

class TPlotCustomShape : public TPlotCustomShapeBrushPen {
    PLAT_CLASS(TPlotCustomShape)
public:
    explicit TPlotCustomShape(TCustomPlotPanel* Parent, std::unique_ptr<TChartBrush> Brush = nullptr);
    ~TPlotCustomShape() override;

    TBevelCut Bevel() const { return FBevel; }
    void SetBevel(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPlotFont* Font() const { return FFont.get(); }
    void SetFont(TPlotFont* Value) { FFont->Assign(Value); }
    // Null frees the gradient or the shadow; reading Gradient creates it (invisible).
    TPlotGradient* Gradient();
    bool HasGradient() const { return FGradient != nullptr; }
    void SetGradient(TPlotGradient* Value);
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TPlotShadow* Value);
    TChartObjectShapeStyle ShapeStyle() const { return FShapeStyle; }
    void SetShapeStyle(TChartObjectShapeStyle Value);
    TTextFormat TextFormat() const { return FTextFormat; }
    void SetTextFormat(TTextFormat Value);
    // The box is not drawn at all.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool DefaultTransparent() const { return FDefaultTransparent; }
    void SetDefaultTransparent(bool Value) { FDefaultTransparent = Value; }
    bool IsTransparentStored() const { return FTransparent != FDefaultTransparent; }
    // Percent of see-through of the box, 0..100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

    // Where the owner laid the shape out, in panel pixels (right and bottom inclusive for the sizes).
    TRect& ShapeBounds() { return FShapeBounds; }
    const TRect& ShapeBounds() const { return FShapeBounds; }
    void SetShapeBounds(const TRect& Value) { FShapeBounds = Value; }
    int BoundsWidth() const { return FShapeBounds.Right - FShapeBounds.Left + 1; }
    int BoundsHeight() const { return FShapeBounds.Bottom - FShapeBounds.Top + 1; }
    void SetBoundsWidth(int Value) { FShapeBounds.Right = FShapeBounds.Left + Value - 1; }
    void SetBoundsHeight(int Value) { FShapeBounds.Bottom = FShapeBounds.Top + Value - 1; }

    void Draw() { DrawShapeRect(FShapeBounds, 0, 0); }
    // Angle in degrees (rotated about the rectangle's centre), Z the depth on a true-3D surface.
    void DrawShapeRect(const TRect& Rect, int Angle = 0, int Z = 0);

    void Assign(plat::TPersistent* Source) override;
    void DefineProperties(plat::TFiler& Filer) override;

    // The four corners of Rect rotated by Angle degrees about its centre, in the order top-left,
    // top-right, bottom-right, bottom-left.
    static void RotatedCorners(const TRect& Rect, int Angle, TPoint* Corners);

protected:
    // The shadow's colour and size as values and as stored defaults: black, 3.
    virtual void InitShadow(TPlotShadow* Shadow);
    // The class of the gradient made on first read.
    virtual std::unique_ptr<TPlotGradient> CreateGradient();

private:
    void DrawShadow(TCanvas3D& Canvas, const TRect& Rect, int Angle, int Z);
    void DrawOutline(TCanvas3D& Canvas, const TRect& Rect, int Angle, int Z, const TPoint* Corners);

    TBevelCut FBevel = plat::bvNone;
    int FBevelWidth = 2;
    TColor FColor = plat::clWhite;
    std::unique_ptr<TPlotFont> FFont;
    std::unique_ptr<TPlotShadow> FShadow;
    TChartObjectShapeStyle FShapeStyle = fosRectangle;
    TTextFormat FTextFormat = ttfNormal;
    bool FTransparent = false;
    bool FDefaultTransparent = false;
    std::unique_ptr<TPlotGradient> FGradient;
    int FTransparency = 0;
    TRect FShapeBounds;
};

class TPlotShape : public TPlotCustomShape {
    PLAT_CLASS(TPlotShape)
public:
    explicit TPlotShape(TCustomPlotPanel* Parent) : TPlotCustomShape(Parent) {}
};

// A shape the user may place: setting Left or Top switches CustomPosition on.
class TPlotCustomShapePosition : public TPlotCustomShape {
    PLAT_CLASS(TPlotCustomShapePosition)
public:
    explicit TPlotCustomShapePosition(TCustomPlotPanel* Parent, std::unique_ptr<TChartBrush> Brush = nullptr)
        : TPlotCustomShape(Parent, std::move(Brush)) {}

    bool CustomPosition() const { return FCustomPosition; }
    void SetCustomPosition(bool Value);
    bool DefaultCustomPosition() const { return FDefaultCustomPosition; }
    void SetDefaultCustomPosition(bool Value) { FDefaultCustomPosition = Value; }
    bool IsCustomPositionStored() const { return FCustomPosition != FDefaultCustomPosition; }
    // The opposite edges stay: the owner recomputes Right and Bottom when it lays the shape out.
    int Left() const { return ShapeBounds().Left; }
    void SetLeft(int Value);
    int Top() const { return ShapeBounds().Top; }
    void SetTop(int Value);

    void Assign(plat::TPersistent* Source) override;

private:
    bool FCustomPosition = false;
    bool FDefaultCustomPosition = false;
};

} // namespace chart
