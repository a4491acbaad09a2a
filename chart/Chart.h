// The chart control the windows place on their forms: the axis panel (series, axes, tools, pages and the
// draw sequence) with four titles, the walls and the legend, and the mouse behaviour that turns clicks
// into events and drags into zoom and panning.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/ChartLegend.h"
#include "chart/ChartWalls.h"
#include "chart/PlotEngine.h"
#include "chart/PlotEngineTools.h"

namespace chart {

class TCustomChart;

// What the hit test found under a point.
enum TChartClickedPartStyle : uint8_t {
    cpNone,
    cpLegend,
    cpAxis,
    cpSeries,
    cpTitle,
    cpFoot,
    cpChartRect,
    cpSeriesMarks,
    cpSubTitle,
    cpSubFoot
};

struct TChartClickedPart {
    TChartClickedPartStyle Part = cpNone;
    int PointIndex = -1;
    TChartSeries* ASeries = nullptr;
    TChartAxis* AAxis = nullptr;
};

using TChartClick = std::function<void(TCustomChart* Sender, plat::TMouseButton Button,
                                       plat::TShiftState Shift, int X, int Y)>;
using TChartClickAxis = std::function<void(TCustomChart* Sender, TChartAxis* Axis, plat::TMouseButton Button,
                                           plat::TShiftState Shift, int X, int Y)>;
using TChartClickSeries =
    std::function<void(TCustomChart* Sender, TChartSeries* Series, int ValueIndex, plat::TMouseButton Button,
                       plat::TShiftState Shift, int X, int Y)>;
using TChartClickTitle =
    std::function<void(TCustomChart* Sender, TChartTitle* ATitle, plat::TMouseButton Button,
                       plat::TShiftState Shift, int X, int Y)>;
using TOnGetLegendPos = std::function<void(TCustomChart* Sender, int Index, int& X, int& Y, int& XColor)>;
using TOnGetLegendRect = std::function<void(TCustomChart* Sender, TRect& Rect)>;
using TOnGetLegendText = std::function<void(TCustomAxisPanel* Sender, TLegendStyle LegendStyle, int Index,
                                            std::string& LegendText)>;

// The wheel scrolls the vertical axes of every chart; on at start.
extern bool PlotMouseWheelScroll;
// Told about every chart created while it is designed; empty in the program.
extern std::function<void(TCustomChart* Chart)> PlotNewChartHook;

class TCustomChart : public TCustomAxisPanel {
    PLAT_CLASS(TCustomChart)
public:
    explicit TCustomChart(plat::TComponent* AOwner);
    ~TCustomChart() override;
    void BeforeDestruction() override;

    // --- Parts ---
    TChartTitle* Title() const { return FTitle.get(); }
    TChartTitle* SubTitle() const { return FSubTitle.get(); }
    TChartTitle* Foot() const { return FFoot.get(); }
    TChartTitle* SubFoot() const { return FSubFoot.get(); }
    void SetTitle(TChartTitle* Value) { FTitle->Assign(Value); }
    void SetSubTitle(TChartTitle* Value) { FSubTitle->Assign(Value); }
    void SetFoot(TChartTitle* Value) { FFoot->Assign(Value); }
    void SetSubFoot(TChartTitle* Value) { FSubFoot->Assign(Value); }
    TChartLegend* Legend() const { return FLegend.get(); }
    void SetLegend(TChartLegend* Value) { FLegend->Assign(Value); }
    TChartWalls* Walls() const { return FWalls.get(); }
    TChartBackWall* BackWall() const { return FWalls ? FWalls->Back() : nullptr; }
    TChartWall* BottomWall() const { return FWalls->Bottom(); }
    TChartWall* LeftWall() const { return FWalls->Left(); }
    TChartRightWall* RightWall() const { return FWalls->Right(); }
    void SetBackWall(TChartBackWall* Value) { FWalls->SetBack(Value); }
    void SetBottomWall(TChartWall* Value) { FWalls->SetBottom(Value); }
    void SetLeftWall(TChartWall* Value) { FWalls->SetLeft(Value); }
    void SetRightWall(TChartRightWall* Value) { FWalls->SetRight(Value); }
    // The back wall's pen; null without a back wall.
    TChartPen* Frame() const { return BackWall() != nullptr ? BackWall()->Pen() : nullptr; }
    void SetFrame(TChartPen* Value);

    // --- Events ---
    TChartClickAxis OnClickAxis;
    TChartClick OnClickBackground;
    TChartClick OnClickLegend;
    TChartClickSeries OnClickSeries;
    TChartClickTitle OnClickTitle;
    TOnGetLegendPos OnGetLegendPos;
    TOnGetLegendRect OnGetLegendRect;
    TOnGetLegendText OnGetLegendText;

    // --- Queries ---
    // The first match under the point: custom-positioned legend, series (last first), marks, axes,
    // legend, titles, plotting area. With SeriesWithEventsOnly a series takes part only when it or the
    // chart has click events.
    TChartClickedPart FindClickedPart(int X, int Y, bool SeriesWithEventsOnly);
    TChartClickedPart ClickedPartAt(int X, int Y) { return FindClickedPart(X, Y, false); }
    // The axis' title caption, or a default name for the axis.
    std::string GetAxisTitle(TChartAxis* Axis);
    TChartSeries* GetFirstActiveSeries() const;
    std::string LegendTextOf(TChartSeries* Series, int Index) override;
    // The legend's text of a row passed through OnGetLegendText.
    std::string DoGetLegendText(TLegendStyle Style, int Index, const std::string& Text);
    bool IsFreeSeriesColor(TColor Color, bool CheckPanelColors, TChartSeries* ExceptSeries) override;
    // The names of the value lists of a series' data source when that source is a series.
    void GetValueSourceNames(TChartSeries* Series, plat::TStrings* Names);

    // --- Drawing ---
    TColor GetBackColor() override;
    void CalcWallsRect() override;
    int WallSizeOf(TChartAxis* Axis) override;
    void DrawTitlesAndLegend(bool BeforeSeries) override;
    void DrawLegendSymbolRect(const TRect& Rect) override;
    void DrawBackWalls() override;
    // The facing test of the upright side of the 3D box at x (ChartRect.Left or Right): the left side
    // faces the viewer when it answers True, the right side when it answers False.
    bool WallFacesViewer(int X);
    void DrawLeftWall();
    void DrawRightWall();
    void DrawBottomWall();
    void DrawBackWall();

    void Assign(plat::TPersistent* Source) override;
    void DefineProperties(plat::TFiler& Filer) override;
    void GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

private:
    // Scrolls every vertical axis by Sign x 3 % of its range.
    void WheelScroll(int Sign);
    // Sends the mouse to the active tools until one sets CancelMouse; answers CancelMouse.
    bool ToolsMouseEvent(TChartMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y);
    bool ClickBackground(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The wall drawing brush, pen, blend and gradient set-up around one face.
    void PrepareWall(TCustomChartWall* Wall);
    // The grid of an axis drawn again over the series (in front of a 3D box).
    void DrawAxisGrid(TChartAxis* Axis);
    void ReadBackColor(plat::TReader& Reader);

    std::unique_ptr<TChartTitle> FFoot;
    std::unique_ptr<TChartLegend> FLegend;
    std::unique_ptr<TChartTitle> FSubFoot;
    std::unique_ptr<TChartTitle> FSubTitle;
    std::unique_ptr<TChartTitle> FTitle;
    std::unique_ptr<TChartWalls> FWalls;
};

// The chart as the forms place it.
class TChart : public TCustomChart {
    PLAT_CLASS(TChart)
public:
    explicit TChart(plat::TComponent* AOwner) : TCustomChart(AOwner) {}
};

} // namespace chart
