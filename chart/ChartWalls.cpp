// Walls and titles, and the chart's steps that draw them: the titles and legend around the plotting
// area, the walls behind the series and those in front of them.
#include "chart/ChartWalls.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/Chart.h"
#include "chart/PlotHtml.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TCustomChartWall, TPlotCustomShape)
PLAT_CLASS_INFO(TChartWall, TCustomChartWall)
PLAT_CLASS_INFO(TChartBackWall, TChartWall)
PLAT_CLASS_INFO(TChartRightWall, TChartWall)
PLAT_CLASS_INFO(TChartWalls, TPersistent)
PLAT_CLASS_INFO(TChartTitle, TPlotCustomShapePosition)
PLAT_CLASS_INFO(TChartFootTitle, TChartTitle)

int ChartTitleDistance = 5;

namespace {

// Draws flat (rotation off) until the scope ends, also when it ends by an exception.
class TFlatDrawing {
public:
    explicit TFlatDrawing(TCanvas3D& Canvas) : FCanvas(Canvas) { Canvas.DisableRotation(); }
    ~TFlatDrawing() { FCanvas.EnableRotation(); }
    TFlatDrawing(const TFlatDrawing&) = delete;
    TFlatDrawing& operator=(const TFlatDrawing&) = delete;

private:
    TCanvas3D& FCanvas;
};

// Ends a blend when the scope ends.
class TWallBlend {
public:
    TWallBlend(TPlotCanvas& Canvas, const TRect& Rect, int Transparency) : FCanvas(Canvas) {
        if (Transparency > 0)
            FBlend = Canvas.BeginBlend(Rect, Transparency);
    }
    ~TWallBlend() {
        if (FBlend)
            FCanvas.EndBlend(std::move(FBlend));
    }
    TWallBlend(const TWallBlend&) = delete;
    TWallBlend& operator=(const TWallBlend&) = delete;

private:
    TPlotCanvas& FCanvas;
    std::unique_ptr<TPlotBlend> FBlend;
};

TRect BoundsOfPoints(const TPoint* Points, int Count) {
    TRect r(Points[0].X, Points[0].Y, Points[0].X, Points[0].Y);
    for (int i = 1; i < Count; ++i) {
        r.Left = std::min(r.Left, Points[i].X);
        r.Top = std::min(r.Top, Points[i].Y);
        r.Right = std::max(r.Right, Points[i].X);
        r.Bottom = std::max(r.Bottom, Points[i].Y);
    }
    return r;
}

std::vector<std::string> LinesOf(const TStrings& Text) {
    std::vector<std::string> lines;
    lines.reserve(Text.Count());
    for (int i = 0; i < Text.Count(); ++i)
        lines.push_back(Text.Strings(i));
    return lines;
}

std::string MarkupOf(const std::vector<std::string>& Lines) {
    std::string text;
    for (size_t i = 0; i < Lines.size(); ++i) {
        if (i > 0)
            text += "<br>";
        text += Lines[i];
    }
    return text;
}
} // namespace

// --- Walls ------------------------------------------------------------------------------------------

TCustomChartWall::TCustomChartWall(TCustomPlotPanel* Parent) : TPlotCustomShape(Parent) {
    InitColor(AutoColor);
}

void TCustomChartWall::InitColor(TColor Value) {
    SetColor(Value);
    FDefaultColor = Value;
}

void TCustomChartWall::SetAutoHide(bool Value) {
    if (FParent != nullptr)
        FParent->SetBooleanField(FAutoHide, Value);
    else
        FAutoHide = Value;
}

void TCustomChartWall::SetDark3D(bool Value) {
    if (FParent != nullptr)
        FParent->SetBooleanField(FDark3D, Value);
    else
        FDark3D = Value;
}

void TCustomChartWall::SetSize(int Value) {
    if (FParent != nullptr)
        FParent->SetIntegerField(FSize, Value);
    else
        FSize = Value;
}

void TCustomChartWall::Assign(TPersistent* Source) {
    if (auto* wall = dynamic_cast<TCustomChartWall*>(Source)) {
        FAutoHide = wall->FAutoHide;
        FDark3D = wall->FDark3D;
        FSize = wall->FSize;
    }
    TPlotCustomShape::Assign(Source);
}

PLAT_PROPERTIES(TCustomChartWall) {
    props.Hide("Frame");
    props.Hide("Bevel");
    props.Hide("BevelWidth");
    props.Hide("Font");
    props.Hide("Shadow");
    props.Hide("ShapeStyle");
    props.Hide("TextFormat");
    props.Boolean("AutoHide", &TCustomChartWall::AutoHide, &TCustomChartWall::SetAutoHide, false);
    props.Color("Color", &TCustomChartWall::Color, &TCustomChartWall::SetColor)
        .Stored(&TCustomChartWall::IsColorStored);
    props.Boolean("Dark3D", &TCustomChartWall::Dark3D, &TCustomChartWall::SetDark3D, true);
    props.Object("Pen", &TCustomChartWall::Pen, &TCustomChartWall::SetPen);
    props.Integer("Size", &TCustomChartWall::Size, &TCustomChartWall::SetSize, 0);
    props.Boolean("Visible", &TCustomChartWall::Visible, &TCustomChartWall::SetVisible)
        .Stored(&TCustomChartWall::IsVisibleStored);
}

PLAT_PROPERTIES(TChartWall) {}

TChartBackWall::TChartBackWall(TCustomPlotPanel* Parent) : TChartWall(Parent) {
    InitColor(clSilver);
    SetTransparent(true);
    SetDefaultTransparent(true);
}

PLAT_PROPERTIES(TChartBackWall) {}

TChartRightWall::TChartRightWall(TCustomPlotPanel* Parent) : TChartWall(Parent) {
    InitColor(clSilver);
    SetVisible(false);
    SetDefaultVisible(false);
}

PLAT_PROPERTIES(TChartRightWall) {}

TChartWalls::TChartWalls(TCustomPlotPanel* Chart)
    : FChart(Chart), FBack(std::make_unique<TChartBackWall>(Chart)),
      FBottom(std::make_unique<TChartWall>(Chart)), FLeft(std::make_unique<TChartWall>(Chart)),
      FRight(std::make_unique<TChartRightWall>(Chart)) {
    FBottom->InitColor(clWhite);
    FLeft->InitColor(0x80FFFF);
}

TChartWalls::~TChartWalls() = default;

void TChartWalls::SetSize(int Value) {
    FLeft->SetSize(Value);
    FRight->SetSize(Value);
    FBack->SetSize(Value);
    FBottom->SetSize(Value);
}

void TChartWalls::Assign(TPersistent* Source) {
    auto* walls = dynamic_cast<TChartWalls*>(Source);
    if (walls == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FBack->Assign(walls->FBack.get());
    FBottom->Assign(walls->FBottom.get());
    FLeft->Assign(walls->FLeft.get());
    FRight->Assign(walls->FRight.get());
}

PLAT_PROPERTIES(TChartWalls) {
    props.Object("Back", &TChartWalls::Back, &TChartWalls::SetBack);
    props.Object("Bottom", &TChartWalls::Bottom, &TChartWalls::SetBottom);
    props.Object("Left", &TChartWalls::Left, &TChartWalls::SetLeft);
    props.Object("Right", &TChartWalls::Right, &TChartWalls::SetRight);
}

// --- Titles -----------------------------------------------------------------------------------------

TChartTitle::TChartTitle(TCustomPlotPanel* Parent)
    : TPlotCustomShapePosition(Parent), FText(std::make_unique<TStringList>()) {
    FText->OnChange = [this](TObject*) { Repaint(); };
    SetTransparent(true);
    SetDefaultTransparent(true);
    Font()->SetColor(clBlue);
    Font()->SetDefaultColor(clBlue);
}

TChartTitle::~TChartTitle() {
    FText->OnChange = nullptr;
}

void TChartTitle::SetAdjustFrame(bool Value) {
    if (FParent != nullptr)
        FParent->SetBooleanField(FAdjustFrame, Value);
    else
        FAdjustFrame = Value;
}

void TChartTitle::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Repaint();
}

void TChartTitle::SetText(TStrings* Value) {
    if (Value == nullptr)
        FText->Clear();
    else
        FText->Assign(*Value);
    Repaint();
}

void TChartTitle::SetCaption(const std::string& Value) {
    std::string text = Value;
    std::replace(text.begin(), text.end(), '\r', '\n');
    FText->SetText(text);
}

std::string TChartTitle::Caption() const {
    std::string text;
    for (int i = 0; i < FText->Count(); ++i) {
        if (i > 0)
            text += '\n';
        text += FText->Strings(i);
    }
    return text;
}

bool TChartTitle::TitleClicked(int X, int Y) const {
    // A title without lines was never laid out: its box is stale or empty.
    if (!Visible() || FText->Count() == 0)
        return false;
    const TRect& r = ShapeBounds();
    return X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom;
}

void TChartTitle::DrawTitle() {
    if (!Visible() || FText->Count() == 0 || FParent == nullptr)
        return;
    TCustomPlotPanel& chart = *FParent;
    TPlotCanvas3D& canvas = *chart.DrawCanvas();
    TChartPen* frame = Frame();
    int fw = frame->Visible() && frame->Color() != AutoColor ? frame->Width() : 0;
    if (Bevel() != bvNone)
        fw = BevelWidth();
    const bool custom = CustomPosition();
    TRect& r = ShapeBounds();
    if (!custom) {
        r = chart.ChartRect();
        if (FOnTop)
            r.Top += fw;
    }
    canvas.UseFont(Font());
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const int lh = canvas.FontHeight();
    const std::vector<std::string> lines = LinesOf(*FText);
    const int n = static_cast<int>(lines.size());
    if (FOnTop || custom)
        r.Bottom = r.Top + n * lh;
    else
        r.Top = r.Bottom - n * lh;
    if (!custom)
        r = TRect(r.Left - fw, r.Top - fw, r.Right + fw, r.Bottom + fw);
    const int wW = canvas.TextWidth("W");
    if (FAdjustFrame) {
        int widest = 0;
        for (const std::string& line : lines)
            widest = std::max(widest, canvas.TextWidth(line));
        const int a = wW + fw + widest;
        switch (FAlignment) {
        case taLeftJustify:
            r.Right = r.Left + a;
            break;
        case taRightJustify:
            r.Left = r.Right - a;
            break;
        case taCenter: {
            if (custom)
                r.Right = r.Left + a;
            const int c = (r.Left + r.Right) / 2;
            const int h = a / 2;
            r.Left = c - h;
            r.Right = c + h;
            break;
        }
        }
    }
    Draw();
    canvas.SetBackMode(TRANSPARENT);
    // The box may have changed the font through a markup; the lines use the title font.
    canvas.UseFont(Font());
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    auto lineY = [&](int i) { return FOnTop ? r.Top + i * lh + fw : r.Bottom - lh - i * lh - fw; };
    if (TextFormat() == ttfHtml) {
        DrawChartMarkup(canvas, r.Left + wW / 2, lineY(0), MarkupOf(lines));
    } else {
        for (int i = 0; i < n; ++i) {
            const std::string& line = lines[i];
            int x = 0;
            switch (FAlignment) {
            case taLeftJustify:
                x = r.Left + wW / 2;
                break;
            case taRightJustify:
                x = r.Right - canvas.TextWidth(line) - wW / 2;
                break;
            case taCenter:
                x = (r.Left + r.Right) / 2 - canvas.TextWidth(line) / 2;
                break;
            }
            canvas.TextOut(x, lineY(i), line);
        }
    }
    if (custom)
        return;
    int gap = ChartTitleDistance + fw;
    if (!Transparent())
        gap += Shadow()->VertSize();
    if (!chart.CustomChartRect()) {
        if (FOnTop)
            chart.ChartRectRef().Top = r.Bottom + gap;
        else
            chart.ChartRectRef().Bottom = r.Bottom - gap - n * lh;
    }
    chart.UpdateChartDimensions();
}

void TChartTitle::Assign(TPersistent* Source) {
    if (auto* title = dynamic_cast<TChartTitle*>(Source)) {
        FAdjustFrame = title->FAdjustFrame;
        FAlignment = title->FAlignment;
        FText->Assign(*title->FText);
    }
    TPlotCustomShapePosition::Assign(Source);
}

PLAT_PROPERTIES(TChartTitle) {
    props.Boolean("AdjustFrame", &TChartTitle::AdjustFrame, &TChartTitle::SetAdjustFrame, true);
    props.Enum("Alignment", &TChartTitle::Alignment, &TChartTitle::SetAlignment, kAlignmentNames, taCenter);
    props.Object("Text", &TChartTitle::Text, &TChartTitle::SetText);
}

TChartFootTitle::TChartFootTitle(TCustomPlotPanel* Parent) : TChartTitle(Parent) {
    FOnTop = false;
    Font()->SetColor(clRed);
    Font()->SetDefaultColor(clRed);
    Font()->SetStyle(fsItalic);
    Font()->SetDefaultStyle(fsItalic);
}

PLAT_PROPERTIES(TChartFootTitle) {}

// --- The chart's steps ------------------------------------------------------------------------------

void TCustomChart::DrawTitlesAndLegend(bool BeforeSeries) {
    if (!FLegend)
        return; // the parts are gone already
    TChartTitle* titles[4] = {FTitle.get(), FSubTitle.get(), FFoot.get(), FSubFoot.get()};
    {
        TFlatDrawing flat(*DrawCanvas());
        if (BeforeSeries) {
            auto drawTitles = [&] {
                for (TChartTitle* t : titles)
                    if (!t->CustomPosition())
                        t->DrawTitle();
            };
            if (FLegend->CustomPosition() || !FLegend->WillDraw()) {
                drawTitles();
            } else if (FLegend->IsVertical()) {
                FLegend->Draw();
                drawTitles();
            } else {
                drawTitles();
                FLegend->Draw();
            }
        } else {
            if (FLegend->CustomPosition() && FLegend->WillDraw())
                FLegend->Draw();
            for (TChartTitle* t : titles)
                if (t->CustomPosition())
                    t->DrawTitle();
        }
    }
    if (BeforeSeries || !View3D() || !SeriesUseAxes())
        return;

    // The walls and grids that stand in front of the series.
    auto wallInFront = [&](TCustomChartWall* Wall) {
        return Wall->Visible() && View3DWalls() && !Wall->AutoHide();
    };
    const TRect& cr = ChartRect();
    if (!WallFacesViewer(cr.Right)) {
        if (wallInFront(RightWall()))
            DrawRightWall();
        DrawAxisGrid(RightAxis());
    }
    if (WallFacesViewer(cr.Left)) {
        if (wallInFront(LeftWall()))
            DrawLeftWall();
        DrawAxisGrid(LeftAxis());
    }
    if (IsFaceHidden(Width3D())) {
        DrawAxisGrid(TopAxis());
        DrawAxisGrid(BottomAxis());
        if (wallInFront(BackWall()))
            DrawBackWall();
    }
}

void TCustomChart::DrawAxisGrid(TChartAxis* Axis) {
    if (Axis == nullptr || !Axis->IsShown() || !Axis->Grid()->Visible())
        return;
    DrawCanvas()->UseChartPen(Axis->Grid());
    DrawCanvas()->Brush()->SetStyle(bsClear);
    for (int pixel : Axis->TickPositions())
        Axis->DrawGridLine(pixel);
}

void TCustomChart::DrawBackWalls() {
    if (!FWalls || !SeriesUseAxes())
        return;
    const TRect& cr = ChartRect();
    if (View3D() && View3DWalls() && RightWall()->Visible() && WallFacesViewer(cr.Right))
        DrawRightWall();
    if (View3DWalls() && BackWall()->Visible() && !IsFaceHidden(Width3D()))
        DrawBackWall();
    if (View3D() && View3DWalls()) {
        if (LeftWall()->Visible() && !WallFacesViewer(cr.Left))
            DrawLeftWall();
        if (BottomWall()->Visible())
            DrawBottomWall();
        if (IsFaceHidden(0)) {
            DrawAxisGrid(DepthAxis());
            DrawAxisGrid(DepthTopAxis());
        }
    }
}

bool TCustomChart::WallFacesViewer(int X) {
    TPlotCanvas3D& c = *DrawCanvas();
    if (c.IsTrue3D())
        return true;
    const TRect& cr = ChartRect();
    const int bottom = cr.Bottom + WallSizeOf(BottomAxis());
    const TPoint p0 = c.Calc3DPoint(X, cr.Top, 0);
    const TPoint p1 = c.Calc3DPoint(X, bottom, 0);
    const TPoint p2 = c.Calc3DPoint(X, bottom, BackWall()->Size() + Width3D());
    return IsBackFacing(p0, p1, p2);
}

void TCustomChart::PrepareWall(TCustomChartWall* Wall) {
    TPlotCanvas3D& c = *DrawCanvas();
    c.UseChartPen(Wall->Pen());
    if (Wall->Transparent())
        c.Brush()->SetStyle(bsClear);
    else
        SetCanvasBrush(Wall->Color(), Wall->Brush(), GetBackColor());
}

namespace {
// Dark 3D shading applies to a filled wall without a picture.
bool WallShaded(TCustomChartWall* Wall, TPlotCanvas& Canvas) {
    return Wall->Dark3D() && Canvas.Brush()->Style() != bsClear && !Wall->Brush()->HasImage();
}

bool WallGradient(TCustomChartWall* Wall) {
    return Wall->HasGradient() && Wall->Gradient()->Visible() && !Wall->Transparent();
}
} // namespace

void TCustomChart::DrawBackWall() {
    TCustomChartWall* wall = BackWall();
    TPlotCanvas3D& c = *DrawCanvas();
    const TRect& cr = ChartRect();
    if (!View3D()) {
        const TRect r(cr.Left, cr.Top, cr.Right + 1, cr.Bottom + 1);
        TWallBlend blend(c, r, wall->Transparency());
        if (WallGradient(wall))
            wall->Gradient()->FillRectangle(c, r);
        PrepareWall(wall);
        if (WallGradient(wall))
            c.Brush()->SetStyle(bsClear);
        c.DrawRectangle(r);
    } else if (View3DWalls()) {
        const int w3 = Width3D();
        if (wall->Size() < 1) {
            const TPoint face[4] = {TPoint(cr.Left, cr.Top), TPoint(cr.Right, cr.Top),
                                    TPoint(cr.Right, cr.Bottom), TPoint(cr.Left, cr.Bottom)};
            TWallBlend blend(c, c.RectBounds3D(cr, w3), wall->Transparency());
            if (WallGradient(wall))
                wall->Gradient()->FillPlane(c, face, w3);
            PrepareWall(wall);
            if (WallGradient(wall))
                c.Brush()->SetStyle(bsClear);
            c.RectangleWithZ(cr, w3);
        } else {
            const int size = w3 < 0 ? -wall->Size() : wall->Size();
            const TRect box(cr.Left - WallSizeOf(LeftAxis()), cr.Top, cr.Right,
                            cr.Bottom + WallSizeOf(BottomAxis()));
            TWallBlend blend(c, c.RectBounds3D(box, w3), wall->Transparency());
            PrepareWall(wall);
            c.Cube(box.Left, box.Right, box.Top, box.Bottom, w3, w3 + size, WallShaded(wall, c));
        }
    }
    if (HasBackImage() && BackImage()->Inside() && BackImage()->Graphic() != nullptr) {
        TRect r = cr;
        if (wall->Pen()->Visible()) {
            ++r.Left;
            ++r.Top;
        }
        DrawBackImage(r, Width3D());
    }
}

void TCustomChart::DrawLeftWall() {
    TCustomChartWall* wall = LeftWall();
    TPlotCanvas3D& c = *DrawCanvas();
    const TRect& cr = ChartRect();
    const int bottom = cr.Bottom + WallSizeOf(BottomAxis());
    const int w3 = Width3D();
    if (wall->Size() <= 0) {
        TPoint face[4] = {c.Calc3DPoint(cr.Left, cr.Top, 0), c.Calc3DPoint(cr.Left, cr.Top, w3),
                          c.Calc3DPoint(cr.Left, bottom, w3), c.Calc3DPoint(cr.Left, bottom, 0)};
        TWallBlend blend(c, BoundsOfPoints(face, 4), wall->Transparency());
        PrepareWall(wall);
        c.VertRectangle3D(cr.Left, cr.Top, bottom, 0, w3);
    } else {
        const TRect box(cr.Left - wall->Size(), cr.Top, cr.Left, bottom);
        TWallBlend blend(c, c.RectBounds3D(box, 0), wall->Transparency());
        PrepareWall(wall);
        c.Cube(box.Left, box.Right, box.Top, box.Bottom, 0, w3, WallShaded(wall, c));
    }
}

void TCustomChart::DrawRightWall() {
    if (!SeriesUseAxes())
        return;
    TCustomChartWall* wall = RightWall();
    TPlotCanvas3D& c = *DrawCanvas();
    const TRect& cr = ChartRect();
    const int bottom = cr.Bottom + WallSizeOf(BottomAxis());
    const int w3 = Width3D();
    if (wall->Size() <= 0) {
        TPoint face[4] = {c.Calc3DPoint(cr.Right, cr.Top, 0), c.Calc3DPoint(cr.Right, cr.Top, w3 + 1),
                          c.Calc3DPoint(cr.Right, bottom, w3 + 1), c.Calc3DPoint(cr.Right, bottom, 0)};
        TWallBlend blend(c, BoundsOfPoints(face, 4), wall->Transparency());
        PrepareWall(wall);
        c.VertRectangle3D(cr.Right, cr.Top, bottom, 0, w3 + 1);
    } else {
        const int depth = w3 + (BackWall()->Visible() ? BackWall()->Size() : 0);
        const TRect box(cr.Right, cr.Top, cr.Right + wall->Size(), bottom);
        TWallBlend blend(c, c.RectBounds3D(box, 0), wall->Transparency());
        PrepareWall(wall);
        c.Cube(box.Left, box.Right, box.Top, box.Bottom, 0, depth, WallShaded(wall, c));
    }
}

void TCustomChart::DrawBottomWall() {
    TCustomChartWall* wall = BottomWall();
    TPlotCanvas3D& c = *DrawCanvas();
    const TRect& cr = ChartRect();
    const int w3 = Width3D();
    int left = cr.Left;
    if (LeftWall()->Visible() && LeftWall()->AutoHide() && WallFacesViewer(cr.Left))
        left -= WallSizeOf(LeftAxis());
    const int y = cr.Bottom + (c.IsTrue3D() ? 1 : 0);
    if (wall->Size() < 1) {
        TPoint face[4] = {c.Calc3DPoint(left, y, 0), c.Calc3DPoint(cr.Right, y, 0),
                          c.Calc3DPoint(cr.Right, y, w3), c.Calc3DPoint(left, y, w3)};
        TWallBlend blend(c, BoundsOfPoints(face, 4), wall->Transparency());
        PrepareWall(wall);
        c.HorizRectangle3D(left, y, cr.Right, 0, w3);
    } else {
        const TRect box(left, y, cr.Right, y + wall->Size());
        TWallBlend blend(c, c.RectBounds3D(box, 0), wall->Transparency());
        PrepareWall(wall);
        c.Cube(box.Left, box.Right, box.Top, box.Bottom, 0, w3, WallShaded(wall, c));
    }
}

} // namespace chart
