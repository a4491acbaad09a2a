#include "chart/Chart.h"

#include <algorithm>

#include "chart/PlotConst.h"
#include "chart/PlotEngineMarks.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TCustomChart, TCustomAxisPanel)
PLAT_CLASS_INFO_CREATABLE(TChart, TCustomChart)

bool PlotMouseWheelScroll = true;
std::function<void(TCustomChart* Chart)> PlotNewChartHook;

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClass(TChart::StaticClass()); }
} registrar;
} // namespace

// --- Construction -----------------------------------------------------------------------------------

TCustomChart::TCustomChart(TComponent* AOwner) : TCustomAxisPanel(AOwner) {
    SetRepaintEnabled(false);
    FTitle = std::make_unique<TChartTitle>(this);
    if (ComponentState() & csDesigning)
        FTitle->Text()->Add(ClassName());
    SetScrollMouseButton(mbRight);
    FSubTitle = std::make_unique<TChartTitle>(this);
    FFoot = std::make_unique<TChartFootTitle>(this);
    FSubFoot = std::make_unique<TChartFootTitle>(this);
    FWalls = std::make_unique<TChartWalls>(this);
    FLegend = std::make_unique<TChartLegend>(this);
    SetRepaintEnabled(true);
    if ((ComponentState() & csDesigning) && PlotNewChartHook &&
        (AOwner == nullptr || (AOwner->ComponentState() & csLoading) == 0))
        PlotNewChartHook(this);
}

TCustomChart::~TCustomChart() {
    BeforeDestruction();
}

void TCustomChart::BeforeDestruction() {
    if (!FLegend) {
        TCustomAxisPanel::BeforeDestruction();
        return;
    }
    SetRepaintEnabled(false);
    // Series and tools leave first: they may still ask the chart about its parts while they go.
    TCustomAxisPanel::BeforeDestruction();
    FSubTitle.reset();
    FTitle.reset();
    FSubFoot.reset();
    FFoot.reset();
    FWalls.reset();
    FLegend.reset();
}

void TCustomChart::SetFrame(TChartPen* Value) {
    if (BackWall() != nullptr)
        BackWall()->SetPen(Value);
}

// --- Queries ----------------------------------------------------------------------------------------

TChartSeries* TCustomChart::GetFirstActiveSeries() const {
    for (int i = 0; i < SeriesCount(); ++i)
        if (SeriesAt(i)->Active())
            return SeriesAt(i);
    return nullptr;
}

std::string TCustomChart::GetAxisTitle(TChartAxis* Axis) {
    if (Axis == nullptr)
        return std::string();
    const std::string& caption = Axis->Title()->Caption();
    if (!caption.empty())
        return caption;
    if (Axis == DepthAxis())
        return ChartTextDepthRight;
    if (Axis == DepthTopAxis())
        return ChartTextDepthTop;
    if (Axis->Horizontal())
        return Axis->OtherSide() ? ChartTextTopAxis : ChartTextBottomAxis;
    return Axis->OtherSide() ? ChartTextRightAxis : ChartTextLeftAxis;
}

std::string TCustomChart::LegendTextOf(TChartSeries* Series, int Index) {
    if (Series == nullptr || Index < 0 || Index >= Series->Count())
        return std::string();
    TCustomChartLegend* legend = Series->CustomLegend();
    if (legend == nullptr)
        legend = FLegend.get();
    std::string text = Series->LegendItemText(Index, legend != nullptr ? legend->TextStyle() : ltsLeftValue);
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

std::string TCustomChart::DoGetLegendText(TLegendStyle Style, int Index, const std::string& Text) {
    std::string text = Text;
    if (OnGetLegendText)
        OnGetLegendText(this, Style, Index, text);
    return text;
}

bool TCustomChart::IsFreeSeriesColor(TColor Color, bool CheckPanelColors, TChartSeries* ExceptSeries) {
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (s != ExceptSeries && s->SeriesColor() == Color)
            return false;
    }
    if (CheckPanelColors &&
        (Color == this->Color() || (BackWall() != nullptr && Color == BackWall()->Color())))
        return false;
    return true;
}

void TCustomChart::GetValueSourceNames(TChartSeries* Series, TStrings* Names) {
    if (Series == nullptr || Names == nullptr)
        return;
    auto* source = dynamic_cast<TChartSeries*>(Series->DataSource());
    if (source == nullptr)
        return;
    TChartValueLists& lists = source->ValuesList();
    for (int i = 0; i < lists.Count(); ++i)
        Names->Add(lists.ValueListAt(i)->Name());
}

TChartClickedPart TCustomChart::FindClickedPart(int X, int Y, bool SeriesWithEventsOnly) {
    TChartClickedPart result;
    if (!FLegend)
        return result;
    // A legend that is not drawn keeps the rows of its last layout: they are not there to click.
    const bool legendShown = FLegend->Visible() && FLegend->WillDraw();
    if (legendShown && FLegend->CustomPosition()) {
        const int row = FLegend->RowAtPoint(X, Y);
        if (row >= 0) {
            result.Part = cpLegend;
            result.PointIndex = row;
            return result;
        }
    }
    for (int i = SeriesCount() - 1; i >= 0; --i) {
        TChartSeries* s = SeriesAt(i);
        if (!s->Active())
            continue;
        if (SeriesWithEventsOnly && !s->HasClickEvents() && !OnClickSeries)
            continue;
        int index = s->PointAtPixel(X, Y);
        if (index >= 0) {
            result.Part = cpSeries;
            result.PointIndex = index;
            result.ASeries = s;
            return result;
        }
        if (s->Marks() != nullptr && s->Marks()->Visible()) {
            index = s->Marks()->Clicked(X, Y);
            if (index >= 0) {
                result.Part = cpSeriesMarks;
                result.PointIndex = index;
                result.ASeries = s;
                return result;
            }
        }
    }
    for (int i = 0; i < Axes()->Count(); ++i) {
        TChartAxis* axis = Axes()->AxisAt(i);
        if (axis->Clicked(X, Y)) {
            result.Part = cpAxis;
            result.AAxis = axis;
            return result;
        }
    }
    if (legendShown && !FLegend->CustomPosition()) {
        const int row = FLegend->RowAtPoint(X, Y);
        if (row >= 0) {
            result.Part = cpLegend;
            result.PointIndex = row;
            return result;
        }
    }
    const std::pair<TChartTitle*, TChartClickedPartStyle> titles[4] = {{FTitle.get(), cpTitle},
                                                                       {FSubTitle.get(), cpSubTitle},
                                                                       {FFoot.get(), cpFoot},
                                                                       {FSubFoot.get(), cpSubFoot}};
    for (const auto& [title, part] : titles) {
        if (title->TitleClicked(X, Y)) {
            result.Part = part;
            return result;
        }
    }
    if (RectContainsXY(ChartRect(), X, Y) && ActiveSeriesCount() > 0)
        result.Part = cpChartRect;
    return result;
}

// --- Mouse ------------------------------------------------------------------------------------------

bool TCustomChart::ToolsMouseEvent(TChartMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                   int Y) {
    TChartTools* tools = Tools();
    for (int i = 0; i < tools->Count() && !CancelMouse(); ++i) {
        TPlotCustomTool* tool = tools->Items(i);
        if (tool->Active())
            tool->ChartMouseEvent(Kind, Button, Shift, X, Y);
    }
    return CancelMouse();
}

bool TCustomChart::ClickBackground(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!OnClickBackground)
        return false;
    SetCancelMouse(true);
    OnClickBackground(this, Button, Shift, X, Y);
    return CancelMouse();
}

void TCustomChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomAxisPanel::MouseDown(Button, Shift, X, Y);
    if (CancelMouse() || Zoom()->Active() || Panning()->Active())
        return;
    SetCancelMouse(false);
    if (ToolsMouseEvent(cmeDown, Button, Shift, X, Y)) {
        SetCancelMouse(false);
        return;
    }
    const TChartClickedPart part = FindClickedPart(X, Y, true);
    bool handled = false;
    switch (part.Part) {
    case cpLegend:
        handled = FLegend->CheckBoxClick(part.PointIndex);
        if (OnClickLegend) {
            SetCancelMouse(true);
            OnClickLegend(this, Button, Shift, X, Y);
            handled = CancelMouse();
        }
        break;
    case cpAxis:
        if (OnClickAxis) {
            SetCancelMouse(true);
            OnClickAxis(this, part.AAxis, Button, Shift, X, Y);
            handled = CancelMouse();
        }
        if (!handled)
            StartZoomOrPan(Button, Shift, X, Y);
        break;
    case cpSeries: {
        TChartSeries* series = part.ASeries;
        SetCancelMouse(false);
        if (Shift & ssDouble) {
            if (series->OnDblClick)
                series->OnDblClick(series, part.PointIndex, Button, Shift, X, Y);
        } else if (series->OnClick) {
            series->OnClick(series, part.PointIndex, Button, Shift, X, Y);
        }
        handled = CancelMouse();
        if (OnClickSeries) {
            SetCancelMouse(true);
            OnClickSeries(this, series, part.PointIndex, Button, Shift, X, Y);
            handled = CancelMouse();
        }
        if (!handled)
            StartZoomOrPan(Button, Shift, X, Y);
        break;
    }
    case cpTitle:
    case cpSubTitle:
    case cpFoot:
    case cpSubFoot: {
        TChartTitle* title = part.Part == cpTitle      ? FTitle.get()
                             : part.Part == cpSubTitle ? FSubTitle.get()
                             : part.Part == cpFoot     ? FFoot.get()
                                                       : FSubFoot.get();
        if (OnClickTitle) {
            SetCancelMouse(true);
            OnClickTitle(this, title, Button, Shift, X, Y);
            handled = CancelMouse();
        }
        if (!handled)
            StartZoomOrPan(Button, Shift, X, Y);
        break;
    }
    case cpChartRect:
        handled = ClickBackground(Button, Shift, X, Y);
        if (!handled)
            StartZoomOrPan(Button, Shift, X, Y);
        break;
    default:
        break;
    }
    if (!handled)
        ClickBackground(Button, Shift, X, Y);
    SetCancelMouse(false);
}

void TCustomChart::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomAxisPanel::MouseMove(Shift, X, Y);
    // A listener that set CancelMouse stops the tools and the drag as well.
    if ((ComponentState() & csDesigning) == 0 && ToolsMouseEvent(cmeMove, mbLeft, Shift, X, Y))
        return;
    if (Zoom()->Active()) {
        ZoomDragMove(X, Y);
    } else if (Panning()->Active()) {
        PanStep(X, Y);
    } else if (!CheckMouseOverSeries(X, Y)) {
        SetCursor(SavedCursor());
    }
}

void TCustomChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetCancelMouse(false);
    TCustomAxisPanel::MouseUp(Button, Shift, X, Y);
    // A drag always ends with its button, whatever the listeners said.
    ZoomDragEnd(Button, X, Y);
    Panning()->SetActive(false);
    ToolsMouseEvent(cmeUp, Button, Shift, X, Y);
}

bool TCustomChart::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    return TCustomAxisPanel::DoMouseWheel(Shift, WheelDelta, MousePos);
}

bool TCustomChart::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    const bool handled = TCustomAxisPanel::DoMouseWheelDown(Shift, MousePos);
    if (PlotMouseWheelScroll)
        WheelScroll(1);
    return handled;
}

bool TCustomChart::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    const bool handled = TCustomAxisPanel::DoMouseWheelUp(Shift, MousePos);
    if (PlotMouseWheelScroll)
        WheelScroll(-1);
    return handled;
}

void TCustomChart::WheelScroll(int Sign) {
    for (int i = 0; i < Axes()->Count(); ++i) {
        TChartAxis* axis = Axes()->AxisAt(i);
        // The depth axes run into the screen, not up and down.
        if (axis->Horizontal() || axis->IsDepthAxis())
            continue;
        axis->ScrollBy(Sign * (axis->Maximum() - axis->Minimum()) * 3 * 0.01, false);
    }
}

// --- Drawing ----------------------------------------------------------------------------------------

TColor TCustomChart::GetBackColor() {
    TChartBackWall* wall = BackWall();
    if (wall == nullptr || wall->Transparent())
        return Color();
    return wall->Color();
}

void TCustomChart::CalcWallsRect() {
    TCustomAxisPanel::CalcWallsRect();
    if (!FWalls || !View3D() || !View3DOptions()->Orthogonal())
        return;
    const int s = SeriesUseAxes() ? BackWall()->Size() : 0;
    if (!CustomChartRect()) {
        TRect& r = ChartRectRef();
        if (View3DOptions()->OrthoAngle() <= 90) {
            r.Right -= std::abs(Width3D()) + s;
            if (RightWall()->Visible())
                r.Right -= RightWall()->Size() + 1;
        } else {
            r.Left += std::abs(Width3D()) + s;
            if (LeftWall()->Visible())
                r.Left += LeftWall()->Size() + 1;
        }
        r.Top += s + std::abs(Height3D());
    }
    UpdateChartDimensions();
}

int TCustomChart::WallSizeOf(TChartAxis* Axis) {
    if (!FWalls || !View3D() || !View3DWalls())
        return 0;
    TCustomChartWall* wall = BackWall();
    if (Axis == LeftAxis())
        wall = LeftWall();
    else if (Axis == BottomAxis())
        wall = BottomWall();
    else if (Axis == RightAxis())
        wall = RightWall();
    return wall->Visible() ? wall->Size() : 0;
}

void TCustomChart::DrawLegendSymbolRect(const TRect& Rect) {
    TLegendSymbol* symbol = FLegend ? FLegend->Symbol() : nullptr;
    if (symbol != nullptr && symbol->DrawsItself())
        symbol->Draw(DrawCanvas()->Brush()->Color(), Rect);
    else
        TCustomAxisPanel::DrawLegendSymbolRect(Rect);
}

// --- Copying and streaming --------------------------------------------------------------------------

void TCustomChart::Assign(TPersistent* Source) {
    if (auto* chart = dynamic_cast<TCustomChart*>(Source)) {
        SetColorPaletteIndex(chart->ColorPaletteIndex());
        FFoot->Assign(chart->FFoot.get());
        FLegend->Assign(chart->FLegend.get());
        SetScrollMouseButton(chart->ScrollMouseButton());
        FSubFoot->Assign(chart->FSubFoot.get());
        FSubTitle->Assign(chart->FSubTitle.get());
        FTitle->Assign(chart->FTitle.get());
        FWalls->Assign(chart->FWalls.get());
    }
    TCustomAxisPanel::Assign(Source);
}

void TCustomChart::ReadBackColor(TReader& Reader) {
    TColor colour = clSilver;
    if (Reader.NextValue() == vaIdent) {
        const std::string ident = Reader.ReadIdent();
        if (!IdentToColor(ident.c_str(), colour))
            return;
    } else {
        colour = static_cast<TColor>(Reader.ReadInteger());
    }
    BackWall()->SetColor(colour);
    if (Parent() != nullptr && (ComponentState() & csLoading) == 0)
        BackWall()->Brush()->SetStyle(bsSolid);
}

void TCustomChart::DefineProperties(TFiler& Filer) {
    TCustomAxisPanel::DefineProperties(Filer);
    Filer.DefineProperty(
        "BackColor", [this](TReader& r) { ReadBackColor(r); }, nullptr, false);
    Filer.DefineProperty(
        "ColorPaletteIndex",
        [this](TReader& r) {
            const int index = r.ReadInteger();
            SetColorPaletteIndex(index);
            if (index > 0)
                ApplyColorPalette(*this, index);
        },
        [this](TWriter& w) { w.WriteInteger(ColorPaletteIndex()); }, ColorPaletteIndex() > 0);
}

void TCustomChart::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    TCustomAxisPanel::GetChildren(
        [&](TComponent* Child) {
            // Tools come after the series, in tool order.
            if (dynamic_cast<TPlotCustomTool*>(Child) == nullptr)
                Proc(Child);
        },
        Root);
    for (int i = 0; i < Tools()->Count(); ++i)
        Proc(Tools()->Items(i));
}

PLAT_PROPERTIES(TCustomChart) {}

PLAT_PROPERTIES(TChart) {
    props.Object("BackWall", &TChart::BackWall, &TChart::SetBackWall);
    props.Object("BottomWall", &TChart::BottomWall, &TChart::SetBottomWall);
    props.Object("Foot", &TChart::Foot, &TChart::SetFoot);
    // The back wall's pen under a second name; the back wall streams it.
    props.Object("Frame", &TChart::Frame, &TChart::SetFrame).Stored(false);
    props.Object("LeftWall", &TChart::LeftWall, &TChart::SetLeftWall);
    props.Object("Legend", &TChart::Legend, &TChart::SetLegend);
    props.Object("RightWall", &TChart::RightWall, &TChart::SetRightWall);
    props.Enum("ScrollMouseButton", &TChart::ScrollMouseButton, &TChart::SetScrollMouseButton,
               kMouseButtonNames, mbRight);
    props.Object("SubFoot", &TChart::SubFoot, &TChart::SetSubFoot);
    props.Object("SubTitle", &TChart::SubTitle, &TChart::SetSubTitle);
    props.Object("Title", &TChart::Title, &TChart::SetTitle);
    props.Event("OnAllowScroll", &TChart::OnAllowScroll);
    props.Event("OnClickAxis", &TChart::OnClickAxis);
    props.Event("OnClickBackground", &TChart::OnClickBackground);
    props.Event("OnClickLegend", &TChart::OnClickLegend);
    props.Event("OnClickSeries", &TChart::OnClickSeries);
    props.Event("OnClickTitle", &TChart::OnClickTitle);
    props.Event("OnGetLegendPos", &TChart::OnGetLegendPos);
    props.Event("OnGetLegendRect", &TChart::OnGetLegendRect);
    props.Event("OnGetLegendText", &TChart::OnGetLegendText);
}

} // namespace chart
