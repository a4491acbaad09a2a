// The walls around a chart's plotting area (back, left, bottom, right) and the four chart titles (Title
// and SubTitle above it, Foot and SubFoot below it). A title takes its height away from ChartRect unless
// it is custom-positioned; the chart control draws walls and titles in its fixed order.
#pragma once

#include <memory>
#include <string>

#include "chart/PlotEngineShape.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/TextAlignment.h"

namespace chart {

class TCustomChart;
using plat::TAlignment;

// Pixels between a title and the plotting area, for every chart.
extern int ChartTitleDistance;

// A wall: a framed plane (Size 0) or a box Size pixels thick along one side of the plotting area.
class TCustomChartWall : public TPlotCustomShape {
    PLAT_CLASS(TCustomChartWall)
public:
    explicit TCustomChartWall(TCustomPlotPanel* Parent);

    // Hidden whenever its side faces the viewer.
    bool AutoHide() const { return FAutoHide; }
    void SetAutoHide(bool Value);
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    // Color is streamed only when it differs from the wall's own default.
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value) { FDefaultColor = Value; }
    bool IsColorStored() const { return Color() != FDefaultColor; }
    bool IsVisibleStored() const { return Visible() != FDefaultVisible; }
    void SetDefaultVisible(bool Value) { FDefaultVisible = Value; }
    // Sets Color and its stored default together.
    void InitColor(TColor Value);

    void Assign(plat::TPersistent* Source) override;

private:
    bool FAutoHide = false;
    bool FDark3D = true;
    int FSize = 0;
    TColor FDefaultColor = AutoColor;
    bool FDefaultVisible = true;
};

class TChartWall : public TCustomChartWall {
    PLAT_CLASS(TChartWall)
public:
    explicit TChartWall(TCustomPlotPanel* Parent) : TCustomChartWall(Parent) {}
};

// Silver and transparent.
class TChartBackWall : public TChartWall {
    PLAT_CLASS(TChartBackWall)
public:
    explicit TChartBackWall(TCustomPlotPanel* Parent);
};

// Silver and hidden.
class TChartRightWall : public TChartWall {
    PLAT_CLASS(TChartRightWall)
public:
    explicit TChartRightWall(TCustomPlotPanel* Parent);
};

// The four walls of one chart; owns them.
class TChartWalls : public plat::TPersistent {
    PLAT_CLASS(TChartWalls)
public:
    explicit TChartWalls(TCustomPlotPanel* Chart);
    ~TChartWalls() override;

    TChartBackWall* Back() const { return FBack.get(); }
    TChartWall* Bottom() const { return FBottom.get(); }
    TChartWall* Left() const { return FLeft.get(); }
    TChartRightWall* Right() const { return FRight.get(); }
    void SetBack(TChartBackWall* Value) { FBack->Assign(Value); }
    void SetBottom(TChartWall* Value) { FBottom->Assign(Value); }
    void SetLeft(TChartWall* Value) { FLeft->Assign(Value); }
    void SetRight(TChartRightWall* Value) { FRight->Assign(Value); }
    // Size of the left, right, back and bottom walls.
    void SetSize(int Value);
    TCustomPlotPanel* Chart() const { return FChart; }

    void Assign(plat::TPersistent* Source) override;

private:
    TCustomPlotPanel* FChart;
    std::unique_ptr<TChartBackWall> FBack;
    std::unique_ptr<TChartWall> FBottom;
    std::unique_ptr<TChartWall> FLeft;
    std::unique_ptr<TChartRightWall> FRight;
};

// A chart title: lines of text in a framed box above (OnTop) or below the plotting area.
class TChartTitle : public TPlotCustomShapePosition {
    PLAT_CLASS(TChartTitle)
public:
    explicit TChartTitle(TCustomPlotPanel* Parent);
    ~TChartTitle() override;

    // The box fits the text; off, it spans the whole plotting width.
    bool AdjustFrame() const { return FAdjustFrame; }
    void SetAdjustFrame(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    plat::TStrings* Text() const { return FText.get(); }
    // Copies the lines.
    void SetText(plat::TStrings* Value);
    // Replaces the lines by one text split at line breaks.
    void SetCaption(const std::string& Value);
    std::string Caption() const;
    bool OnTop() const { return FOnTop; }

    // Lays the title out against ChartRect (or at its own position), draws it, and takes its room from
    // ChartRect unless it is custom-positioned.
    void DrawTitle();
    // Visible and the point inside its box, edges included.
    bool TitleClicked(int X, int Y) const;
    TRect GetShapeRect() const { return ShapeBounds(); }

    void Assign(plat::TPersistent* Source) override;

protected:
    bool FOnTop = true;

private:
    bool FAdjustFrame = true;
    TAlignment FAlignment = plat::taCenter;
    std::unique_ptr<plat::TStringList> FText;
};

// Foot and SubFoot: below the plotting area, red italic.
class TChartFootTitle : public TChartTitle {
    PLAT_CLASS(TChartFootTitle)
public:
    explicit TChartFootTitle(TCustomPlotPanel* Parent);
};

} // namespace chart
