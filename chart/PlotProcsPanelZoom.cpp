// The extended chart panel: zoom and pan state machines, the rubber band, and the panel background.
#include <algorithm>
#include <cstdlib>

#include "chart/PlotProcsPanel.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TPlotZoomBrush, TChartBrush)
PLAT_CLASS_INFO(TPlotZoomPen, TChartPen)
PLAT_CLASS_INFO(TPlotZoom, TZoomPanning)
PLAT_CLASS_INFO(TBackImage, TPicture)
PLAT_CLASS_INFO(TCustomPlotPanelExtended, TCustomPlotPanel)

TShiftState PlotPanKeyState = 0;

namespace {
const char* const kPanningModeNames[] = {"pmNone", "pmHorizontal", "pmVertical", "pmBoth"};
static_assert(std::size(kPanningModeNames) == pmBoth + 1);
const char* const kZoomDirectionNames[] = {"tzdHorizontal", "tzdVertical", "tzdBoth"};
static_assert(std::size(kZoomDirectionNames) == tzdBoth + 1);
const char* const kBackImageModeNames[] = {"pbmStretch", "pbmTile", "pbmCenter", "pbmCustom"};
static_assert(std::size(kBackImageModeNames) == pbmCustom + 1);
const char* const kShiftNames[] = {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"};
static_assert(TShiftState(1) << (std::size(kShiftNames) - 1) == ssDouble);
} // namespace

// --- Zoom settings ----------------------------------------------------------------------------------

TPlotZoomBrush::TPlotZoomBrush(TNotifyEvent ChangeHandler) : TChartBrush(nullptr) {
    SetColor(clWhite);
    SetStyle(bsClear);
    OnChange = std::move(ChangeHandler);
}

PLAT_PROPERTIES(TPlotZoomBrush) {
    props.Default("Color", clWhite);
    props.Default("Style", bsClear);
}

TPlotZoomPen::TPlotZoomPen(TNotifyEvent ChangeHandler) : TChartPen(nullptr) {
    SetColor(clWhite);
    OnChange = std::move(ChangeHandler);
}

PLAT_PROPERTIES(TPlotZoomPen) {
    props.Default("Color", clWhite);
}

TPlotZoom::TPlotZoom() = default;
TPlotZoom::~TPlotZoom() = default;

TPlotZoomBrush* TPlotZoom::Brush() {
    if (!FBrush)
        FBrush = std::make_unique<TPlotZoomBrush>();
    return FBrush.get();
}

void TPlotZoom::SetBrush(TPlotZoomBrush* Value) {
    if (Value == nullptr)
        FBrush.reset();
    else
        Brush()->Assign(Value);
}

TPlotZoomPen* TPlotZoom::Pen() {
    if (!FPen)
        FPen = std::make_unique<TPlotZoomPen>();
    return FPen.get();
}

void TPlotZoom::SetPen(TPlotZoomPen* Value) {
    if (Value == nullptr)
        FPen.reset();
    else
        Pen()->Assign(Value);
}

void TPlotZoom::Assign(TPersistent* Source) {
    auto* zoom = dynamic_cast<TPlotZoom*>(Source);
    if (zoom == nullptr) {
        TZoomPanning::Assign(Source);
        return;
    }
    FAllow = zoom->FAllow;
    FAnimated = zoom->FAnimated;
    FAnimatedSteps = zoom->FAnimatedSteps;
    SetBrush(zoom->FBrush.get());
    FDirection = zoom->FDirection;
    FKeyShift = zoom->FKeyShift;
    FMouseButton = zoom->FMouseButton;
    SetPen(zoom->FPen.get());
}

PLAT_PROPERTIES(TPlotZoom) {
    props.Boolean("Allow", &TPlotZoom::Allow, &TPlotZoom::SetAllow, true);
    props.Boolean("Animated", &TPlotZoom::Animated, &TPlotZoom::SetAnimated, false);
    props.Integer("AnimatedSteps", &TPlotZoom::AnimatedSteps, &TPlotZoom::SetAnimatedSteps, 8);
    props.Object("Brush", &TPlotZoom::Brush, &TPlotZoom::SetBrush).Stored(&TPlotZoom::HasBrush);
    props.Enum("Direction", &TPlotZoom::Direction, &TPlotZoom::SetDirection, kZoomDirectionNames, tzdBoth);
    props.Set("KeyShift", &TPlotZoom::KeyShift, &TPlotZoom::SetKeyShift, kShiftNames, TShiftState(0));
    props.Integer("MinimumPixels", &TPlotZoom::MinimumPixels, &TPlotZoom::SetMinimumPixels, 16);
    props.Enum("MouseButton", &TPlotZoom::MouseButton, &TPlotZoom::SetMouseButton, kMouseButtonNames, mbLeft);
    props.Object("Pen", &TPlotZoom::Pen, &TPlotZoom::SetPen).Stored(&TPlotZoom::HasPen);
    props.Boolean("UpLeftZooms", &TPlotZoom::UpLeftZooms, &TPlotZoom::SetUpLeftZooms, false);
}

// --- Background picture -----------------------------------------------------------------------------

void TBackImage::Changed() {
    if (OnChange)
        OnChange(this);
}

void TBackImage::SetInside(bool Value) {
    if (FInside != Value) {
        FInside = Value;
        Changed();
    }
}

void TBackImage::SetLeft(int Value) {
    if (FLeft != Value) {
        FLeft = Value;
        Changed();
    }
}

void TBackImage::SetMode(TPlotBackImageMode Value) {
    if (FMode != Value) {
        FMode = Value;
        Changed();
    }
}

void TBackImage::SetTop(int Value) {
    if (FTop != Value) {
        FTop = Value;
        Changed();
    }
}

void TBackImage::Assign(TPersistent* Source) {
    if (auto* image = dynamic_cast<TBackImage*>(Source)) {
        FInside = image->FInside;
        FLeft = image->FLeft;
        FMode = image->FMode;
        FTop = image->FTop;
    }
    TPicture::Assign(Source);
}

PLAT_PROPERTIES(TBackImage) {
    props.Boolean("Inside", &TBackImage::Inside, &TBackImage::SetInside, false);
    props.Integer("Left", &TBackImage::Left, &TBackImage::SetLeft, 0);
    props.Enum("Mode", &TBackImage::Mode, &TBackImage::SetMode, kBackImageModeNames, pbmStretch);
    props.Integer("Top", &TBackImage::Top, &TBackImage::SetTop, 0);
}

// --- Extended panel ---------------------------------------------------------------------------------

TCustomPlotPanelExtended::TCustomPlotPanelExtended(TComponent* AOwner)
    : TCustomPlotPanel(AOwner), FZoom(std::make_unique<TPlotZoom>()) {}

TCustomPlotPanelExtended::~TCustomPlotPanelExtended() = default;

void TCustomPlotPanelExtended::SetAllowPanning(TPanningMode Value) {
    if (FAllowPanning != Value) {
        FAllowPanning = Value;
        Invalidate();
    }
}

TPlotGradient* TCustomPlotPanelExtended::Gradient() {
    if (!FGradient)
        FGradient = std::make_unique<TPlotGradient>([this](TObject*) { Redraw(); });
    return FGradient.get();
}

void TCustomPlotPanelExtended::SetGradient(TPlotGradient* Value) {
    if (Value == nullptr) {
        FGradient.reset();
        Invalidate();
    } else {
        Gradient()->Assign(Value);
    }
}

TBackImage* TCustomPlotPanelExtended::BackImage() {
    if (!FBackImage) {
        FBackImage = std::make_unique<TBackImage>();
        FBackImage->OnChange = [this](TObject*) { Redraw(); };
    }
    return FBackImage.get();
}

void TCustomPlotPanelExtended::SetBackImage(TBackImage* Value) {
    if (Value == nullptr) {
        FBackImage.reset();
        Invalidate();
    } else {
        BackImage()->Assign(Value);
    }
}

bool TCustomPlotPanelExtended::BackImageTransp() const {
    return FBackImage && FBackImage->Graphic() != nullptr && FBackImage->Graphic()->Transparent();
}

void TCustomPlotPanelExtended::SetBackImageTransp(bool Value) {
    if (FBackImage && FBackImage->Graphic() != nullptr)
        FBackImage->Graphic()->SetTransparent(Value);
}

// --- Background -------------------------------------------------------------------------------------

void TCustomPlotPanelExtended::FillBackground(const TRect& Rect) {
    TPlotCanvas3D& c = *DrawCanvas();
    if (FGradient && FGradient->Visible()) {
        FGradient->FillRectangle(c, Rect);
        return;
    }
    if ((!Printing() || PlotPaintBackWhenPrinting) && Color() != clNone) {
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(Color());
        c.FillRect(Rect);
    }
}

bool TCustomPlotPanelExtended::PaintsWholeBack() {
    // A gradient may leave rounded corners or blend; only the plain solid fill is known to cover all.
    return !(FGradient && FGradient->Visible()) && !Printing() && Color() != clNone;
}

void TCustomPlotPanelExtended::DrawPanelBack(const TRect& Rect) {
    TPlotCanvas3D& c = *DrawCanvas();
    TRect r = Rect;
    c.DisableRotation();
    ScopeGuard enableRotation([&c] { c.EnableRotation(); });
    TPlotShadow* shadow = Shadow();
    if (shadow->MaxSize() > 0) {
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(Parent() != nullptr ? Parent()->Brush()->Color() : Color());
        c.FillRect(r);
        r.Right -= shadow->HorizSize();
        r.Bottom -= shadow->VertSize();
        shadow->DrawForRect(c, r);
    }
    FillBackground(r);
    if (FBackImage && FBackImage->Graphic() != nullptr && !FBackImage->Inside())
        DrawBackImage(r, 0);
    DrawBorderAndBevels(r);
}

void TCustomPlotPanelExtended::DrawBackImage(const TRect& Rect, int Depth) {
    if (!FBackImage || FBackImage->Graphic() == nullptr)
        return;
    TGraphic* graphic = FBackImage->Graphic();
    TPlotCanvas3D& c = *DrawCanvas();
    const bool orthogonal = View3DOptions()->Orthogonal();
    auto projected = [&](const TRect& R) {
        TRect p = c.CalcRect3D(R, Depth);
        if (!View3D()) {
            ++p.Top;
            ++p.Bottom;
        }
        return p;
    };
    if (FBackImage->Mode() == pbmStretch) {
        if (Depth < 1)
            c.StretchDraw(Rect, graphic);
        else if (orthogonal)
            c.StretchDraw(projected(Rect), graphic);
        else
            c.DrawPicture3D(Rect, graphic, Depth);
        return;
    }
    const bool clip = ClippingAllowed();
    if (clip) {
        if (Depth == 0)
            c.ClipRectangle(Rect);
        else
            c.ClipCube(Rect, 0, Width3D());
    }
    ScopeGuard unclip([&c, clip] {
        if (clip)
            c.UnClip();
    });
    TRect r = Rect;
    if (Depth > 0 && orthogonal)
        r = projected(Rect);
    const int w = r.Right - r.Left;
    const int h = r.Bottom - r.Top;
    const int iw = graphic->Width();
    const int ih = graphic->Height();
    switch (FBackImage->Mode()) {
    case pbmTile:
        if (iw > 0 && ih > 0)
            for (int y = 0; y < h; y += ih)
                for (int x = 0; x < w; x += iw) {
                    if (Depth > 0 && !orthogonal)
                        c.DrawPicture3D(TRect(r.Left + x, r.Top + y, r.Left + x + iw, r.Top + y + ih),
                                        graphic, Depth);
                    else
                        c.DrawGraphic(r.Left + x, r.Top + y, graphic);
                }
        break;
    case pbmCustom:
        FillBackground(Rect);
        c.DrawGraphic(Rect.Left + FBackImage->Left(), Rect.Top + FBackImage->Top(), graphic);
        break;
    case pbmCenter: {
        FillBackground(Rect);
        const int dx = (iw - w) / 2;
        const int dy = (ih - h) / 2;
        r.Left -= dx;
        r.Right += dx;
        r.Top -= dy;
        r.Bottom += dy;
        if (Depth < 1 || orthogonal)
            c.DrawGraphic(r.Left, r.Top, graphic);
        else
            c.DrawPicture3D(r, graphic, Depth);
        break;
    }
    default:
        break;
    }
}

// --- Zoom and panning -------------------------------------------------------------------------------

void TCustomPlotPanelExtended::UndoZoom() {
    if (OnUndoZoom)
        OnUndoZoom(this);
    Invalidate();
    FZoomed = false;
}

void TCustomPlotPanelExtended::ZoomRect() {}

bool TCustomPlotPanelExtended::StartZoomOrPan(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!SeriesUseAxes())
        return false;
    bool started = false;
    TPlotZoom& zoom = *FZoom;
    const TRect& chart = ChartRect();
    if (zoom.Allow() && Button == zoom.MouseButton() && (Shift & zoom.KeyShift()) == zoom.KeyShift()) {
        if (zoom.Direction() == tzdVertical)
            X = chart.Left;
        if (zoom.Direction() == tzdHorizontal)
            Y = chart.Top;
        zoom.Activate(X, Y);
        if (zoom.Direction() == tzdVertical)
            zoom.X1 = chart.Right;
        if (zoom.Direction() == tzdHorizontal)
            zoom.Y1 = chart.Bottom;
        DrawZoomRectangle();
        started = true;
    }
    if (FAllowPanning != pmNone && Button == FScrollMouseButton &&
        (Shift & PlotPanKeyState) == PlotPanKeyState) {
        Panning()->Activate(X, Y);
        started = true;
    }
    if (started)
        SetCursor(SavedCursor());
    return started;
}

void TCustomPlotPanelExtended::DrawZoomRectangle() {
    TPlotCanvas3D& c = *DrawCanvas();
    TPlotZoom& zoom = *FZoom;
    const TColor back = ColorToRGB(GetBackColor()) & 0xFFFFFF;
    const TColor mask = 0xFFFFFF - back;
    const bool clearBrush = !zoom.HasBrush() || zoom.Brush()->Style() == bsClear;
    if (zoom.HasBrush())
        SetCanvasBrush((ColorToRGB(zoom.Brush()->Color()) & 0xFFFFFF) ^ mask, zoom.Brush(), back);
    else
        c.Brush()->SetStyle(bsClear);
    TPlotZoomPen* pen = zoom.Pen();
    // Drawn twice at the same place the band erases itself.
    pen->SetMode(pmNotXor);
    c.UseChartPenWithColor(pen, (ColorToRGB(pen->Color()) & 0xFFFFFF) ^ mask);
    if (clearBrush)
        c.SetBackMode(TRANSPARENT);
    c.Rectangle(zoom.X0, zoom.Y0, zoom.X1, zoom.Y1);
}

void TCustomPlotPanelExtended::ZoomDragMove(int X, int Y) {
    TPlotZoom& zoom = *FZoom;
    if (!zoom.Active())
        return;
    if (zoom.Direction() == tzdVertical)
        X = ChartRect().Right;
    if (zoom.Direction() == tzdHorizontal)
        Y = ChartRect().Bottom;
    if (X == zoom.X1 && Y == zoom.Y1)
        return;
    DrawZoomRectangle();
    zoom.X1 = X;
    zoom.Y1 = Y;
    DrawZoomRectangle();
}

void TCustomPlotPanelExtended::ZoomDragEnd(TMouseButton Button, int X, int Y) {
    TPlotZoom& zoom = *FZoom;
    if (!zoom.Active() || Button != zoom.MouseButton())
        return;
    zoom.SetActive(false);
    DrawZoomRectangle();
    DrawCanvas()->Pen()->SetMode(pmCopy);
    if (zoom.Direction() != tzdVertical)
        zoom.X1 = X;
    if (zoom.Direction() != tzdHorizontal)
        zoom.Y1 = Y;
    const int minimum = zoom.MinimumPixels();
    const bool counts = (zoom.Direction() == tzdVertical || std::abs(zoom.X1 - zoom.X0) > minimum) &&
                        (zoom.Direction() == tzdHorizontal || std::abs(zoom.Y1 - zoom.Y0) > minimum);
    if (counts) {
        const bool forward = zoom.Direction() == tzdVertical ? zoom.Y1 > zoom.Y0 : zoom.X1 > zoom.X0;
        if (zoom.UpLeftZooms() || forward)
            ZoomRect();
        else
            UndoZoom();
    }
    Invalidate();
}

void TCustomPlotPanelExtended::PanStep(int X, int Y) {
    TZoomPanning& pan = *Panning();
    if (!pan.Active())
        return;
    if (!RectContainsXY(ChartRect(), X, Y)) {
        pan.SetActive(false);
        return;
    }
    pan.X1 = X;
    pan.Y1 = Y;
}

// --- Copying and streaming --------------------------------------------------------------------------

void TCustomPlotPanelExtended::Assign(TPersistent* Source) {
    if (auto* panel = dynamic_cast<TCustomPlotPanelExtended*>(Source)) {
        SetBackImage(panel->FBackImage.get());
        SetGradient(panel->FGradient.get());
        FAllowPanning = panel->FAllowPanning;
        FZoom->Assign(panel->FZoom.get());
    }
    TCustomPlotPanel::Assign(Source);
}

void TCustomPlotPanelExtended::DefineProperties(TFiler& Filer) {
    TCustomPlotPanel::DefineProperties(Filer);
    Filer.DefineProperty(
        "AllowZoom", [this](TReader& r) { FZoom->SetAllow(r.ReadBoolean()); }, nullptr, false);
    Filer.DefineProperty(
        "AnimatedZoom", [this](TReader& r) { FZoom->SetAnimated(r.ReadBoolean()); }, nullptr, false);
    Filer.DefineProperty(
        "AnimatedZoomSteps", [this](TReader& r) { FZoom->SetAnimatedSteps(r.ReadInteger()); }, nullptr,
        false);
    const TRect& m = PrintMargins();
    const bool differs = m.Left != 15 || m.Top != 15 || m.Right != 15 || m.Bottom != 15;
    Filer.DefineProperty(
        "PrintMargins",
        [this](TReader& r) {
            int v[4] = {15, 15, 15, 15};
            r.ReadListBegin();
            for (int i = 0; i < 4 && !r.EndOfList(); ++i)
                v[i] = r.ReadInteger();
            while (!r.EndOfList())
                r.SkipValue();
            r.ReadListEnd();
            SetPrintMargins(TRect(v[0], v[1], v[2], v[3]));
        },
        [this](TWriter& w) {
            const TRect& pm = PrintMargins();
            w.WriteListBegin();
            w.WriteInteger(pm.Left);
            w.WriteInteger(pm.Top);
            w.WriteInteger(pm.Right);
            w.WriteInteger(pm.Bottom);
            w.WriteListEnd();
        },
        differs);
}

PLAT_PROPERTIES(TCustomPlotPanelExtended) {
    props.Enum("AllowPanning", &TCustomPlotPanelExtended::AllowPanning,
               &TCustomPlotPanelExtended::SetAllowPanning, kPanningModeNames, pmBoth);
    props.Object("BackImage", &TCustomPlotPanelExtended::BackImage, &TCustomPlotPanelExtended::SetBackImage)
        .Stored(&TCustomPlotPanelExtended::HasBackImage);
    // BackImage streams these two; reading them would also create the picture while writing.
    props
        .Boolean("BackImageInside", &TCustomPlotPanelExtended::BackImageInside,
                 &TCustomPlotPanelExtended::SetBackImageInside, false)
        .Stored(false);
    props
        .Enum("BackImageMode", &TCustomPlotPanelExtended::BackImageMode,
              &TCustomPlotPanelExtended::SetBackImageMode, kBackImageModeNames, pbmStretch)
        .Stored(false);
    props.Boolean("BackImageTransp", &TCustomPlotPanelExtended::BackImageTransp,
                  &TCustomPlotPanelExtended::SetBackImageTransp, false);
    props.Object("Gradient", &TCustomPlotPanelExtended::Gradient, &TCustomPlotPanelExtended::SetGradient)
        .Stored(&TCustomPlotPanelExtended::HasGradient);
    props.Object("Zoom", &TCustomPlotPanelExtended::Zoom, &TCustomPlotPanelExtended::SetZoom);
    props.Event("OnAfterDraw", &TCustomPlotPanelExtended::OnAfterDraw);
    props.Event("OnScroll", &TCustomPlotPanelExtended::OnScroll);
    props.Event("OnUndoZoom", &TCustomPlotPanelExtended::OnUndoZoom);
    props.Event("OnZoom", &TCustomPlotPanelExtended::OnZoom);
}

} // namespace chart
