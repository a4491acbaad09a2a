// The chart engine's drawing layer: the persistent drawing attributes of chart elements (pens, brushes,
// fonts, shadows, gradients), the drawing surface every chart element draws through (TPlotCanvas, its
// depth-aware extension TCanvas3D and the one implementation TPlotCanvas3D, which draws into an
// off-screen bitmap and projects depth coordinates), 3D view options, transparency blending and bitmap
// resampling.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotProcs.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Graphic.h"
#include "platform/gfx/Region.h"
#include "platform/rtl/Persistent.h"

namespace plat {
class TControl;
class TWinControl;
} // namespace plat

namespace chart {

using plat::TNotifyEvent;
using plat::TSize;

class TPlotCanvas;
class TCanvas3D;
class TPlotCanvas3D;
class TPlotBlend;

// --- Unit-wide settings -----------------------------------------------------------------------------

// The system offers constant-alpha blending of bitmaps; the per-pixel loop serves otherwise.
extern bool CanUseAlphaBlend;
// Shading of 3D solids: side faces darken by SideShadeAmount, top and bottom by TopShadeAmount; round
// solids have SolidSideCount sides; a cone of ConePercent 0 takes DefaultConePercent.
extern int SideShadeAmount;
extern int TopShadeAmount;
extern int SolidSideCount;
extern int DefaultConePercent;
extern int RotatedTextQuality;

// The default chart font, taken from the engine's message texts on first use.
const std::string& ChartDefaultFontName();
int ChartDefaultFontSize();
void SetupChartDefaultFont();

// --- Pens -------------------------------------------------------------------------------------------

enum TPenEndStyle : uint8_t { esRound, esSquare, esFlat };

// A pen of a chart element: the platform pen plus end style, single-pixel dots and visibility.
class TChartPen : public plat::TPen {
    PLAT_CLASS(TChartPen)
public:
    explicit TChartPen(TNotifyEvent ChangeHandler = nullptr);

    TPenEndStyle EndStyle() const { return FEndStyle; }
    void SetEndStyle(TPenEndStyle Value);
    bool SmallDots() const { return FSmallDots; }
    void SetSmallDots(bool Value);
    // 0 or less: every other pixel; N > 0: dots N + 1 pixels apart.
    int SmallSpace() const { return FSmallSpace; }
    void SetSmallSpace(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void MakeInvisible() { SetVisible(false); }
    void MakeVisible() { SetVisible(true); }

    bool DefaultVisible() const { return FDefaultVisible; }
    TPenEndStyle DefaultEndStyle() const { return FDefaultEndStyle; }
    bool IsVisibleStored() const { return FVisible != FDefaultVisible; }
    bool IsEndStyleStored() const { return FEndStyle != FDefaultEndStyle; }

    void Assign(plat::TPersistent* Source) override;

protected:
    TPenEndStyle FEndStyle = esRound;
    bool FSmallDots = false;
    int FSmallSpace = 0;
    bool FVisible = true;
    TPenEndStyle FDefaultEndStyle = esRound;
    bool FDefaultVisible = true;
};

class TChartHiddenPen : public TChartPen {
    PLAT_CLASS(TChartHiddenPen)
public:
    explicit TChartHiddenPen(TNotifyEvent ChangeHandler = nullptr);
};

// Grey dotted: the base of the axis grid pens.
class TDottedGrayPen : public TChartPen {
    PLAT_CLASS(TDottedGrayPen)
public:
    explicit TDottedGrayPen(TNotifyEvent ChangeHandler = nullptr);
};

class TDarkGrayPen : public TChartPen {
    PLAT_CLASS(TDarkGrayPen)
public:
    explicit TDarkGrayPen(TNotifyEvent ChangeHandler = nullptr);
};

class TWhitePen : public TChartPen {
    PLAT_CLASS(TWhitePen)
public:
    explicit TWhitePen(TNotifyEvent ChangeHandler = nullptr);
};

// A dotted pen of single pixels Space + 1 apart (every other pixel for Space <= 0).
plat::HPEN NewDottedPenHandle(TColor Colour, int Space);

// --- Brushes ----------------------------------------------------------------------------------------

// A brush of a chart element, with an optional picture that fills as a pattern.
class TChartBrush : public plat::TBrush {
    PLAT_CLASS(TChartBrush)
public:
    explicit TChartBrush(TNotifyEvent ChangeHandler = nullptr);
    ~TChartBrush() override;

    // Created on first read.
    plat::TPicture* Image();
    bool HasImage() const { return FImage != nullptr; }
    // Null frees the picture; otherwise its content is copied into the brush's own picture.
    void SetImage(plat::TPicture* Value);
    // The picture's graphic as a pattern bitmap, or null when the brush has no picture.
    plat::TBitmap* ImageBitmap();

    void Assign(plat::TPersistent* Source) override;

    // The colour an owner gives its brush at construction (a callout's black): the brush's colour is
    // stored only when it differs. Without one, the class's published default decides.
    void SetDefaultColor(TColor Value);
    bool IsColorStored() const;

private:
    void ImageChanged();
    bool FHasDefaultColor = false;
    TColor FDefaultColor = AutoColor;
    std::unique_ptr<plat::TPicture> FImage;
    // The picture drawn onto a bitmap when its graphic is not one already.
    std::unique_ptr<plat::TBitmap> FImageBitmap;
};

// --- Gradients --------------------------------------------------------------------------------------

enum TGradientDirection : uint8_t {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft,
    gdRadial,
    gdDiagonalUp,
    gdDiagonalDown
};

// Gradient settings and the fills that use them.
class TCustomPlotGradient : public plat::TPersistent {
    PLAT_CLASS(TCustomPlotGradient)
public:
    explicit TCustomPlotGradient(TNotifyEvent ChangeHandler = nullptr);

    int Balance() const { return FBalance; }
    void SetBalance(int Value);
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    // The stored middle colour while one is in use, clNone otherwise.
    TColor GetMidColor() const { return FUseMiddle ? FMidColor : plat::clNone; }
    void SetMidColor(TColor Value);
    // Brings back the stored middle colour.
    void EnableMidColor();
    bool UseMiddleColor() const { return FUseMiddle; }
    int RadialX() const { return FRadialX; }
    void SetRadialX(int Value);
    int RadialY() const { return FRadialY; }
    void SetRadialY(int Value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    void Assign(plat::TPersistent* Source) override;

    // Paints the gradient into Rect, clipped to a rounded rectangle when RoundSize > 0.
    void FillRectangle(TPlotCanvas& Canvas, const TRect& Rect, int RoundSize = 0);
    // The radial painting, clipped to Rect.
    void FillRadial(TPlotCanvas& Canvas, const TRect& Rect);

    TNotifyEvent OnChange;

protected:
    void Changed();
    int FBalance = 50;
    TGradientDirection FDirection = gdTopBottom;
    TColor FEndColor = plat::clYellow;
    TColor FMidColor = plat::clNone;
    int FRadialX = 0;
    int FRadialY = 0;
    TColor FStartColor = plat::clWhite;
    bool FVisible = false;
    bool FUseMiddle = false;
};

class TPlotGradient : public TCustomPlotGradient {
    PLAT_CLASS(TPlotGradient)
public:
    explicit TPlotGradient(TNotifyEvent ChangeHandler = nullptr)
        : TCustomPlotGradient(std::move(ChangeHandler)) {}
    // Paints the gradient inside the quadrilateral of the four points projected at depth Z.
    void FillPlane(TCanvas3D& Canvas, const TPoint* Points, int Z);
};

// The glyph fill of a chart font; with Outline it fills the widened outline of the glyphs instead.
class TPlotFontGradient : public TPlotGradient {
    PLAT_CLASS(TPlotFontGradient)
public:
    explicit TPlotFontGradient(TNotifyEvent ChangeHandler = nullptr)
        : TPlotGradient(std::move(ChangeHandler)) {}
    bool Outline() const { return FOutline; }
    void SetOutline(bool Value);

private:
    bool FOutline = false;
};

// --- Shadows ----------------------------------------------------------------------------------------

using TPlotTransparency = uint8_t; // percent, 0..100

// The shadow of a shape or a text, and the painting of shadows under rectangles and ellipses.
class TPlotShadow : public plat::TPersistent {
    PLAT_CLASS(TPlotShadow)
public:
    explicit TPlotShadow(TNotifyEvent ChangeHandler = nullptr);
    ~TPlotShadow() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int HorizSize() const { return FHorizSize; }
    void SetHorizSize(int Value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    TPlotTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TPlotTransparency Value);
    int VertSize() const { return FVertSize; }
    void SetVertSize(int Value);

    int MaxSize() const { return FHorizSize > FVertSize ? FHorizSize : FVertSize; }
    void SetBothSizes(int Value);

    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value) { FDefaultColor = Value; }
    int DefaultSize() const { return FDefaultSize; }
    void SetDefaultSize(int Value) { FDefaultSize = Value; }
    bool IsColorStored() const { return FColor != FDefaultColor; }
    bool IsHorizSizeStored() const { return FHorizSize != FDefaultSize; }
    bool IsVertSizeStored() const { return FVertSize != FDefaultSize; }

    void Assign(plat::TPersistent* Source) override;

    // False when there is nothing to paint; otherwise sets a solid brush in the shadow colour and a
    // clear pen and, for a transparent shadow, begins a blend over the shadow's area.
    bool PrepareDraw(TCanvas3D& Canvas, const TRect& Rect, int Z);
    void FinishDraw(TCanvas3D& Canvas);
    // Rect is the shape that casts the shadow (right and bottom edges outside).
    void DrawRect(TCanvas3D& Canvas, const TRect& Rect, int Z);
    void DrawForRect(TCanvas3D& Canvas, const TRect& Rect) { DrawRect(Canvas, Rect, 0); }
    void DrawEllipse(TCanvas3D& Canvas, const TRect& Rect, int Z);

    TNotifyEvent OnChange;

private:
    void Changed();
    TColor FColor = plat::clSilver;
    int FHorizSize = 0;
    bool FSmooth = true;
    TPlotTransparency FTransparency = 0;
    int FVertSize = 0;
    std::unique_ptr<TPlotBlend> FActiveBlend;
    TColor FDefaultColor = plat::clSilver;
    int FDefaultSize = 0;
};

// --- Fonts ------------------------------------------------------------------------------------------

// A font of a chart element, with glyph outline, glyph gradient, shadow and character spacing.
class TPlotFont : public plat::TFont {
    PLAT_CLASS(TPlotFont)
public:
    explicit TPlotFont(TNotifyEvent ChangeHandler = nullptr);
    ~TPlotFont() override;

    // The sub-objects are created on first read; the Has forms ask without creating.
    TPlotFontGradient* Gradient();
    bool HasGradient() const { return FGradient != nullptr; }
    void SetGradient(TPlotFontGradient* Value);
    TChartHiddenPen* OutLine();
    bool HasOutLine() const { return FOutLine != nullptr; }
    void SetOutLine(TChartHiddenPen* Value);
    TPlotShadow* Shadow();
    bool HasShadow() const { return FShadow != nullptr; }
    void SetShadow(TPlotShadow* Value);
    int InterCharSize() const { return FInterCharSize; }
    void SetInterCharSize(int Value);

    // The drawing surface that last applied this font.
    TPlotCanvas* LastCanvas() const { return FLastCanvas; }
    void SetLastCanvas(TPlotCanvas* Value) { FLastCanvas = Value; }

    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value) { FDefaultColor = Value; }
    plat::TFontStyles DefaultStyle() const { return FDefaultStyle; }
    void SetDefaultStyle(plat::TFontStyles Value) { FDefaultStyle = Value; }
    bool IsColorStored() const { return Color() != FDefaultColor; }
    bool IsStyleStored() const { return Style() != FDefaultStyle; }
    bool IsHeightStored() const { return Size() != ChartDefaultFontSize(); }
    bool IsNameStored() const { return Name() != ChartDefaultFontName(); }

    void Assign(plat::TPersistent* Source) override;

private:
    void SubObjectChanged();
    std::unique_ptr<TPlotFontGradient> FGradient;
    int FInterCharSize = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TPlotShadow> FShadow;
    TPlotCanvas* FLastCanvas = nullptr;
    TColor FDefaultColor = plat::clBlack;
    plat::TFontStyles FDefaultStyle = 0;
};

// --- 3D view options --------------------------------------------------------------------------------

// How a chart is seen in 3D: orthogonal slant or rotation with perspective, zoom and offsets.
class TView3DOptions : public plat::TPersistent {
    PLAT_CLASS(TView3DOptions)
public:
    // Repaint is the owner's repaint request, called after every change.
    explicit TView3DOptions(std::function<void()> Repaint = nullptr);

    int Elevation() const { return RoundToInt(FElevation); }
    void SetElevation(int Value);
    double ElevationFloat() const { return FElevation; }
    int FontZoom() const { return FFontZoom; }
    void SetFontZoom(int Value);
    int HorizOffset() const { return FHorizOffset; }
    void SetHorizOffset(int Value);
    bool Orthogonal() const { return FOrthogonal; }
    void SetOrthogonal(bool Value);
    int OrthoAngle() const { return FOrthoAngle; }
    void SetOrthoAngle(int Value);
    int Perspective() const { return FPerspective; }
    void SetPerspective(int Value);
    int Rotation() const { return RoundToInt(FRotation); }
    void SetRotation(int Value);
    double RotationFloat() const { return FRotation; }
    int Tilt() const { return FTilt; }
    void SetTilt(int Value);
    int VertOffset() const { return FVertOffset; }
    void SetVertOffset(int Value);
    int Zoom() const { return FZoom; }
    void SetZoom(int Value);
    bool ZoomText() const { return FZoomText; }
    void SetZoomText(bool Value);

    // 1 when not orthogonal, else the tangent of the slant angle (folded below 90 degrees).
    double OrthoTangent() const;
    void Repaint();
    void Assign(plat::TPersistent* Source) override;

    std::function<void(bool Horizontal)> OnScroll;
    std::function<void(int NewZoom)> OnZoom;

private:
    double FElevation = 345;
    int FFontZoom = 100;
    int FHorizOffset = 0;
    bool FOrthogonal = true;
    int FOrthoAngle = 45;
    int FPerspective = 15;
    double FRotation = 345;
    int FTilt = 0;
    int FVertOffset = 0;
    int FZoom = 100;
    bool FZoomText = true;
    std::function<void()> FRepaint;
};

// --- Blending ---------------------------------------------------------------------------------------

// The pixels under a rectangle saved before a transparent element is drawn, blended back afterwards.
class TPlotBlend : public plat::TObject {
    PLAT_CLASS(TPlotBlend)
public:
    TPlotBlend(TPlotCanvas* Canvas, const TRect& Rect, int Transparency = 0);
    ~TPlotBlend() override;

    // Clamps the rectangle to the surface and saves its pixels.
    void SetRectangle(const TRect& Rect);
    // Mixes the saved pixels back over the new drawing, Transparency percent of the way.
    void DoBlend(int Transparency);

    const TRect& Rectangle() const { return FRect; }
    bool ValidSize() const { return FValidSize; }
    // The transparency this blend was begun with.
    int Transparency() const { return FTransparency; }

private:
    std::unique_ptr<plat::TBitmap> FBitmap;
    TPlotCanvas* FCanvas;
    TRect FRect;
    bool FValidSize = false;
    int FTransparency;
};

// Mixes Source into the Target pixels at Origin: Target keeps Percent percent of its own colour and
// takes the rest from Source (100 leaves Target as it was, 0 makes it a copy of Source).
void BlendBitmapInto(plat::TBitmap* Source, plat::TBitmap* Target, TPoint Origin, double Percent);
// Resamples Source to Destination's size with a triangle (UseTriangle) or Lanczos filter.
void SmoothStretch(plat::TBitmap* Source, plat::TBitmap* Destination, bool UseTriangle);

// --- Clipping helpers -------------------------------------------------------------------------------

// Saves the device's clip and intersects it with Region (device coordinates).
void CombineClipRegion(plat::TDeviceContext* DC, const plat::TRegion& Region);
void ClipCanvasToRect(plat::TCanvas* Canvas, const TRect& Rect);
// Puts back the clip saved by the last CombineClipRegion, or removes the clip.
void RestoreClipRegion(plat::TCanvas* Canvas);

// --- The drawing surface ----------------------------------------------------------------------------

// The abstract surface every chart element draws through.
class TPlotCanvas : public plat::TObject {
    PLAT_CLASS(TPlotCanvas)
public:
    TPlotCanvas() = default;
    ~TPlotCanvas() override;

    virtual TColor GetBackColor() = 0;
    virtual int GetBackMode() = 0;
    virtual plat::TDeviceContext* GetHandle() = 0;
    virtual bool GetMonochrome() = 0;
    virtual TColor GetPixel(int X, int Y) = 0;
    virtual bool IsTrue3D() = 0;
    virtual uint32_t GetTextAlign() = 0;
    virtual bool GetBuffered() = 0;
    virtual void SetBackColor(TColor Color) = 0;
    virtual void SetBackMode(int Mode) = 0;
    virtual void SetMonochrome(bool Value) = 0;
    virtual void SetPixel(int X, int Y, TColor Color) = 0;
    virtual void SetTextAlign(uint32_t Align) = 0;
    virtual void SetBuffered(bool Value) = 0;
    virtual void UseChartPenWithColor(plat::TPen* Pen, TColor Color);
    // The returned blend remembers Transparency; hand it back to EndBlend.
    virtual std::unique_ptr<TPlotBlend> BeginBlend(const TRect& Rect, int Transparency);
    virtual void EndBlend(std::unique_ptr<TPlotBlend> Blend);
    virtual void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    // Angles in radians.
    virtual void DonutSlice(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle,
                            double EndAngle, double HolePercent) = 0;
    virtual void DrawGraphic(int X, int Y, plat::TGraphic* Graphic) = 0;
    virtual void Ellipse(int X1, int Y1, int X2, int Y2) = 0;
    virtual void FillRect(const TRect& Rect) = 0;
    // Draws Width nested frames; Rect comes back reduced by Width on every side.
    virtual void Frame3D(TRect& Rect, TColor TopLeft, TColor BottomRight, int Width);
    virtual void LineTo(int X, int Y) = 0;
    virtual void MoveTo(int X, int Y) = 0;
    virtual void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    virtual void Rectangle(int X0, int Y0, int X1, int Y1) = 0;
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight) = 0;
    virtual void StretchDraw(const TRect& Rect, plat::TGraphic* Graphic) = 0;
    virtual void TextOut(int X, int Y, const std::string& Text) = 0;
    // The extent grows by the size of the current chart font's shadow.
    virtual int TextWidth(const std::string& Text);
    virtual int TextHeight(const std::string& Text);
    virtual void ClipRectangle(const TRect& Rect) = 0;
    virtual void ClipRoundRectangle(const TRect& Rect, int CornerSize);
    virtual void ClipEllipse(const TRect& Rect, bool Inverted = false);
    // Converts the caller's points to device coordinates in place.
    virtual void ClipPolygon(TPoint* Points, int Count);
    virtual void HorizLine(int X0, int X1, int Y) = 0;
    virtual void VertLine(int X, int Y0, int Y1) = 0;
    virtual void FillArea(const TRect& Rect) = 0;
    virtual void GradientFill(const TRect& Rect, TColor Colour1, TColor Colour2, TGradientDirection Direction,
                              int Balance = 50) = 0;
    virtual void MarkDirty() = 0;
    virtual void Line(int X0, int Y0, int X1, int Y1) = 0;
    // Point arrays come with the index of their last point.
    virtual void Polyline(const TPoint* Points, int HighIndex) = 0;
    virtual void Polygon(const TPoint* Points, int HighIndex) = 0;
    // Angle in degrees, counter-clockwise.
    virtual void RotatedText(int X, int Y, const std::string& Text, double Angle) = 0;
    virtual void UnClip() = 0;

    void SetTargetCanvas(plat::TCanvas* Canvas);
    plat::TCanvas* TargetCanvas() const { return FCanvas; }
    plat::TPen* Pen() const { return FPen; }
    plat::TBrush* Brush() const { return FBrush; }
    plat::TFont* Font() const { return FFont; }

    void ResetToDefaults();
    void UseChartPen(plat::TPen* Pen);
    void UseChartBrush(TChartBrush* Brush, TColor BackColor = plat::clNone);
    void UseChartBrushWithColor(TChartBrush* Brush, TColor Color, TColor BackColor = plat::clNone);
    void UseFont(TPlotFont* Font);
    void ApplyDarkColor(TColor Color, int Amount);
    // The line height of the current font.
    int FontHeight() { return TextHeight("W"); }

    void DrawRectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void DrawEllipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void DrawRoundRect(const TRect& R, int CornerWidth, int CornerHeight) {
        RoundRect(R.Left, R.Top, R.Right, R.Bottom, CornerWidth, CornerHeight);
    }
    void LineBetween(TPoint P0, TPoint P1) { Line(P0.X, P0.Y, P1.X, P1.Y); }
    void TextOutFormatted(int X, int Y, const std::string& Text, bool IsHtml);

    bool Metafiling() const { return FMetafiling; }
    void SetMetafiling(bool Value) { FMetafiling = Value; }
    int CurrentTransparency() const { return FCurrentTransparency; }
    const TRect& Bounds() const { return FBounds; }
    TPlotFont* CurrentChartFont() const { return FChartFont; }
    double FontZoom() const { return FFontZoom; }
    void SetFontZoom(double Value) { FFontZoom = Value; }

protected:
    // The target's device context with the canvas attributes realised in it.
    plat::TDeviceContext* DC() { return FCanvas->Handle(); }
    void ExtendedPen(plat::TPen* CanvasPen, plat::TPen* Pen, TColor Colour);

    plat::TCanvas* FCanvas = nullptr;
    plat::TFont* FFont = nullptr;
    plat::TPen* FPen = nullptr;
    plat::TBrush* FBrush = nullptr;
    bool FMetafiling = false;
    int FCurrentTransparency = 0;
    TRect FBounds;
    TPlotFont* FChartFont = nullptr;
    double FFontZoom = 100;
};

// The drawing surface with depth: every operation takes a depth Z (0 at the front, growing backward).
class TCanvas3D : public TPlotCanvas {
    PLAT_CLASS(TCanvas3D)
public:
    virtual TColor GetPixel3D(int X, int Y, int Z) = 0;
    virtual bool DrawsText3D() { return false; }
    virtual void SetPixel3D(int X, int Y, int Z, TColor Color) = 0;
    // Turns a screen point back into chart coordinates on the plane of depth Z.
    virtual void PlaneToPoint(int& X, int& Y, int Z) = 0;
    virtual TPoint Calc3DPoint(int X, int Y, int Z) = 0;
    // Prepares a paint; returns the rectangle in which the chart is then drawn.
    virtual TRect InitWindow(plat::TCanvas* DestCanvas, TView3DOptions* Options, TColor BackColor, bool Is3D,
                             const TRect& UserRect) = 0;
    virtual void AssignSettings(TCanvas3D* Other) { SetMonochrome(Other->GetMonochrome()); }
    virtual void CalcCenter(int Depth, const TRect& Rect) = 0;
    virtual void ShowImage(plat::TCanvas* DestCanvas, plat::TCanvas* DefaultCanvas,
                           const TRect& UserRect) = 0;
    // True when the last picture was reused because nothing changed.
    virtual bool EndDraw() = 0;
    virtual void Arrow3D(bool Filled, TPoint FromPoint, TPoint ToPoint, int HeadWidth, int HeadHeight, int Z,
                         double BodyPercent) = 0;
    virtual void ClipCube(const TRect& Rect, int Z0, int Z1) = 0;
    virtual void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides,
                      int ConePercent) = 0;
    virtual void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) = 0;
    virtual void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                          bool DarkSides) {
        Cone(Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkSides, 100);
    }
    virtual void Disable3D() {}
    virtual void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) = 0;
    virtual void Enable3D() {}
    virtual void HorizLine3D(int X0, int X1, int Y, int Z) = 0;
    virtual void VertLine3D(int X, int Y0, int Y1, int Z) = 0;
    virtual void ZLine3D(int X, int Y, int Z0, int Z1) = 0;
    // Calls nest; 3D comes back with the last EnableRotation.
    virtual void DisableRotation();
    virtual void EnableRotation();
    virtual void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) = 0;
    virtual void MoveTo3D(int X, int Y, int Z) = 0;
    virtual void LineTo3D(int X, int Y, int Z) = 0;
    // Angles in radians; Gradient may be null.
    virtual void PieSlice3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1,
                            double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
                            int DonutPercent, TPlotGradient* Gradient) = 0;
    virtual void Plane(TPoint P0, TPoint P1, int Z0, int Z1) = 0;
    virtual void QuadWithZ(TPoint P0, TPoint P1, TPoint P2, TPoint P3, int Z) = 0;
    virtual void PlaneFourPoints(const TPoint* Points, int Z0, int Z1) = 0;
    virtual void PolygonWithZ(const TPoint* Points, int HighIndex, int Z) = 0;
    virtual void PolylineWithZ(const TPoint* Points, int HighIndex, int Z) = 0;
    virtual void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                         bool DarkSides) = 0;
    virtual void EllipseInDepth(const TRect& Rect, int Z0, int HalfDepth, int HalfWidth, int Z1) = 0;
    virtual void RectangleWithZ(const TRect& Rect, int Z) = 0;
    virtual void HorizRectangle3D(int X0, int Y, int X1, int Z0, int Z1) = 0;
    virtual void VertRectangle3D(int X, int Y0, int Y1, int Z0, int Z1) = 0;
    virtual void RotatedTextWithZ(int X, int Y, int Z, const std::string& Text, double Angle) = 0;
    virtual void SphereWithZ(int X, int Y, int Z, double Radius) = 0;
    virtual void TextOut3D(int X, int Y, int Z, const std::string& Text) = 0;
    virtual void Triangle3D(TPoint P0, int Z0, TPoint P1, int Z1, TPoint P2, int Z2, TColor Color) = 0;
    virtual void TriangleWithZ(TPoint P0, TPoint P1, TPoint P2, int Z) = 0;

    TPoint CalcPoint3D(TPoint P, int Z) { return Calc3DPoint(P.X, P.Y, Z); }
    TRect CalcRect3D(const TRect& Rect, int Z);
    // Projected top-left, top-right, bottom-right, bottom-left.
    void FourPointsFromRect(const TRect& Rect, int Z, TPoint* Points);
    TRect RectBounds3D(const TRect& Rect, int Z);
    void CubeRect(const TRect& Rect, int Z0, int Z1, bool DarkSides) {
        Cube(Rect.Left, Rect.Right, Rect.Top, Rect.Bottom, Z0, Z1, DarkSides);
    }
    void LineWithZPoints(TPoint P0, TPoint P1, int Z) { LineWithZ(P0.X, P0.Y, P1.X, P1.Y, Z); }
    void QuadWithZPoints(const TPoint* Points, int Z) {
        QuadWithZ(Points[0], Points[1], Points[2], Points[3], Z);
    }
    void RectangleWithZCoords(int Left, int Top, int Right, int Bottom, int Z) {
        RectangleWithZ(TRect(Left, Top, Right, Bottom), Z);
    }
    void DrawPicture3D(const TRect& Rect, plat::TGraphic* Graphic, int Z);
    // An arrow whose body is half as wide as its head.
    void Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, int HeadWidth, int HeadHeight, int Z) {
        Arrow3D(Filled, FromPoint, ToPoint, HeadWidth, HeadHeight, Z, 50);
    }

    TView3DOptions* View3DOptions() const { return FView3DOptions; }
    int RotationDisabled() const { return FRotationDisabled; }
    bool IsOrthogonal() const { return FIsOrthogonal; }
    int XCenter() const { return FXCenter; }
    int YCenter() const { return FYCenter; }
    int ZCenter() const { return FZCenter; }
    int GradientDepth() const { return FGradientDepth; }
    void SetGradientDepth(int Value) { FGradientDepth = Value; }
    void SetRotationCenter(double X, double Y, double Z) {
        FRotationCenterX = X;
        FRotationCenterY = Y;
        FRotationCenterZ = Z;
    }

protected:
    TView3DOptions* FView3DOptions = nullptr;
    int FRotationDisabled = 0;
    bool FIsOrthogonal = false;
    int FXCenter = 0;
    int FYCenter = 0;
    int FZCenter = 0;
    int FGradientDepth = 0;
    double FRotationCenterX = 0;
    double FRotationCenterY = 0;
    double FRotationCenterZ = 0;
};

// The surface of every chart: draws into the platform canvas of a window or, by default, into an
// off-screen bitmap, and projects depth coordinates orthogonally or by rotation with perspective.
class TPlotCanvas3D : public TCanvas3D {
    PLAT_CLASS(TPlotCanvas3D)
public:
    TPlotCanvas3D();
    ~TPlotCanvas3D() override;

    TColor GetBackColor() override;
    int GetBackMode() override;
    plat::TDeviceContext* GetHandle() override;
    bool GetMonochrome() override { return FMonochrome; }
    TColor GetPixel(int X, int Y) override;
    bool IsTrue3D() override { return false; }
    uint32_t GetTextAlign() override;
    bool GetBuffered() override { return FBuffered; }
    void SetBackColor(TColor Color) override;
    void SetBackMode(int Mode) override;
    void SetMonochrome(bool Value) override;
    void SetPixel(int X, int Y, TColor Color) override;
    void SetTextAlign(uint32_t Align) override;
    void SetBuffered(bool Value) override;
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void DonutSlice(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
                    double HolePercent) override;
    void DrawGraphic(int X, int Y, plat::TGraphic* Graphic) override;
    void Ellipse(int X1, int Y1, int X2, int Y2) override;
    void FillRect(const TRect& Rect) override;
    void LineTo(int X, int Y) override;
    void MoveTo(int X, int Y) override;
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Rectangle(int X0, int Y0, int X1, int Y1) override;
    void RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight) override;
    void StretchDraw(const TRect& Rect, plat::TGraphic* Graphic) override;
    void TextOut(int X, int Y, const std::string& Text) override;
    void ClipRectangle(const TRect& Rect) override;
    void HorizLine(int X0, int X1, int Y) override;
    void VertLine(int X, int Y0, int Y1) override;
    void FillArea(const TRect& Rect) override { FillRect(Rect); }
    void GradientFill(const TRect& Rect, TColor Colour1, TColor Colour2, TGradientDirection Direction,
                      int Balance = 50) override;
    void MarkDirty() override { FDirty = true; }
    void Line(int X0, int Y0, int X1, int Y1) override;
    void Polyline(const TPoint* Points, int HighIndex) override;
    void Polygon(const TPoint* Points, int HighIndex) override;
    void RotatedText(int X, int Y, const std::string& Text, double Angle) override;
    void UnClip() override;

    TColor GetPixel3D(int X, int Y, int Z) override;
    void SetPixel3D(int X, int Y, int Z, TColor Color) override;
    void PlaneToPoint(int& X, int& Y, int Z) override;
    TPoint Calc3DPoint(int X, int Y, int Z) override;
    TRect InitWindow(plat::TCanvas* DestCanvas, TView3DOptions* Options, TColor BackColor, bool Is3D,
                     const TRect& UserRect) override;
    void CalcCenter(int Depth, const TRect& Rect) override;
    void ShowImage(plat::TCanvas* DestCanvas, plat::TCanvas* DefaultCanvas, const TRect& UserRect) override;
    bool EndDraw() override;
    void Arrow3D(bool Filled, TPoint FromPoint, TPoint ToPoint, int HeadWidth, int HeadHeight, int Z,
                 double BodyPercent) override;
    void ClipCube(const TRect& Rect, int Z0, int Z1) override;
    void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides,
              int ConePercent) override;
    void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) override;
    void Disable3D() override;
    void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override;
    void Enable3D() override;
    void HorizLine3D(int X0, int X1, int Y, int Z) override;
    void VertLine3D(int X, int Y0, int Y1, int Z) override;
    void ZLine3D(int X, int Y, int Z0, int Z1) override;
    void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override;
    void MoveTo3D(int X, int Y, int Z) override;
    void LineTo3D(int X, int Y, int Z) override;
    void PieSlice3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                    double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent,
                    TPlotGradient* Gradient) override;
    void Plane(TPoint P0, TPoint P1, int Z0, int Z1) override;
    void QuadWithZ(TPoint P0, TPoint P1, TPoint P2, TPoint P3, int Z) override;
    void PlaneFourPoints(const TPoint* Points, int Z0, int Z1) override;
    void PolygonWithZ(const TPoint* Points, int HighIndex, int Z) override;
    void PolylineWithZ(const TPoint* Points, int HighIndex, int Z) override;
    void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                 bool DarkSides) override;
    void EllipseInDepth(const TRect& Rect, int Z0, int HalfDepth, int HalfWidth, int Z1) override;
    void RectangleWithZ(const TRect& Rect, int Z) override;
    void HorizRectangle3D(int X0, int Y, int X1, int Z0, int Z1) override;
    void VertRectangle3D(int X, int Y0, int Y1, int Z0, int Z1) override;
    void RotatedTextWithZ(int X, int Y, int Z, const std::string& Text, double Angle) override;
    void SphereWithZ(int X, int Y, int Z, double Radius) override;
    void TextOut3D(int X, int Y, int Z, const std::string& Text) override;
    void Triangle3D(TPoint P0, int Z0, TPoint P1, int Z1, TPoint P2, int Z2, TColor Color) override;
    void TriangleWithZ(TPoint P0, TPoint P1, TPoint P2, int Z) override;

    // Fills the four held quadrilateral points.
    virtual void DrawQuad();
    virtual void FreeBuffer();
    virtual void CopyBuffer(int X, int Y, plat::TCanvas* DestCanvas);

    // The projection of a point given with fractional X and Y.
    TPoint ProjectPointFloat(double X, double Y, double Z);
    // Where a text drawn at (X, Y) lies under the device's current alignment.
    TRect TextRect(int X, int Y, const std::string& Text);

    plat::TBitmap* Bitmap() const { return FBitmap.get(); }
    bool Dirty() const { return FDirty; }
    bool Is3D() const { return FIs3D; }
    bool KeepBitmap() const { return FKeepBitmap; }
    void SetKeepBitmap(bool Value) { FKeepBitmap = Value; }
    // The next draws go straight to their target though buffered: a window's backing already is an
    // off-screen picture, and drawing into a bitmap first would only copy every pixel once more.
    bool BypassBuffer() const { return FBypassBuffer; }
    void SetBypassBuffer(bool Value) { FBypassBuffer = Value; }
    bool ZoomTextOn() const { return FZoomText; }
    double ZoomFactor() const { return FZoomFactor; }
    double PerspectiveFactor() const { return FPerspectiveFactor; }
    double OrthoX() const { return FOrthoX; }
    double OrthoY() const { return FOrthoY; }

protected:
    void UpdateRotation();
    void UpdatePerspective(const TRect& Rect);

private:
    void SetQuad(TPoint P0, TPoint P1, TPoint P2, TPoint P3);
    TColor BaseColor();
    void PlainTextOut(int X, int Y, const std::string& Text);
    void FancyTextOut(int X, int Y, const std::string& Text);
    void FillPolygon(const std::vector<TPoint>& Points);

    int FScreenCenterX = 0;
    int FScreenCenterY = 0;
    double FS1 = 0, FS2 = 0, FS3 = 0, FC1 = 1, FC2 = 1, FC3 = 1;
    double FC2S3 = 0, FC2C3 = 1, FTXX = 1, FTYX = 0, FTXZ = 0, FTYZ = 0;
    bool FWas3D = false;
    std::unique_ptr<plat::TBitmap> FBitmap;
    bool FDirty = true;
    bool FMonochrome = false;
    bool FHasPerspective = false;
    bool FHasTilt = false;
    double FOrthoX = 1;
    double FOrthoY = 1;
    double FPerspectiveFactor = 0;
    double FZoomFactor = 1;
    bool FZoomText = true;
    bool FBuffered = true;
    bool FIs3D = false;
    bool FKeepBitmap = false;
    bool FBypassBuffer = false;
    TPoint FQuad[4];
};

// --- Questions the engine and its editors ask -----------------------------------------------------

// The colour dialog, owned by Owner, starting on Color and offering the custom colours chosen in
// earlier calls. True (and Color changed) only when confirmed with a different colour.
bool RunColorDialog(plat::TWinControl* Owner, plat::TColor& Color);
// A Yes/No confirmation; with an owner it opens 20 pixels right of and 30 below the owner's client
// origin. True for Yes.
bool ConfirmAtControl(const std::string& Message, plat::TControl* Owner);
// "Delete <name> ?" through ConfirmAtControl.
bool ConfirmDeletion(const std::string& Name, plat::TControl* Owner);

} // namespace chart
