// The chart panel: the windowed control at the root of every chart. It owns the drawing surface, places
// the plotting rectangle (ChartRect) inside its margins, keeps the listeners that follow the chart, and
// renders the chart into bitmaps, metafiles, the clipboard and the printer. The extended panel adds the
// zoom and pan state machines and the painting of the panel background.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotCanvas.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Graphic.h"
#include "platform/gfx/Metafile.h"
#include "platform/ui/Control.h"
#include "platform/ui/Panel.h"

namespace chart {

using plat::TBevelCut;
using plat::TCursor;
using plat::TMouseButton;
using plat::TShiftState;

class TCustomPlotPanel;

enum TPlotUnits : uint8_t { muPercent, muPixels };
inline constexpr const char* kPlotUnitsNames[] = {"muPercent", "muPixels"};
static_assert(std::size(kPlotUnitsNames) == muPixels + 1);

// --- Events that follow a chart ----------------------------------------------------------------------

// Sent to a chart's listeners; the sender fills Sender before the broadcast.
class TPlotEvent : public plat::TObject {
    PLAT_CLASS(TPlotEvent)
public:
    TCustomPlotPanel* Sender = nullptr;
};

enum TPlotMouseEventKind : uint8_t { meDown, meUp, meMove };

class TPlotMouseEvent : public TPlotEvent {
    PLAT_CLASS(TPlotMouseEvent)
public:
    TPlotMouseEventKind Event = meDown;
    TMouseButton Button = plat::mbLeft;
    TShiftState Shift = 0;
    int X = 0;
    int Y = 0;
};

// The 3D switch of the panel changed.
class TPlotView3DEvent : public TPlotEvent {
    PLAT_CLASS(TPlotView3DEvent)
};

// A component that follows a chart (the series list box, the editors).
class IChartEventListener {
public:
    virtual void HandleChartEvent(TPlotEvent& Event) = 0;

protected:
    ~IChartEventListener() = default;
};

// Listeners in registration order; the panel does not own them.
class TPlotEventListeners {
public:
    // Adds the listener unless it is listed already; answers its index.
    int AttachListener(IChartEventListener* Listener);
    // Answers the index it had, -1 when it was not listed.
    int DetachListener(IChartEventListener* Listener);
    int IndexOf(IChartEventListener* Listener) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    IChartEventListener* Items(int Index) const { return FItems[Index]; }
    void Clear() { FItems.clear(); }

private:
    std::vector<IChartEventListener*> FItems;
};

// --- Mouse drag state --------------------------------------------------------------------------------

// A drag on the panel in client pixels: where it started (X0, Y0) and where it is now (X1, Y1).
class TZoomPanning : public plat::TPersistent {
    PLAT_CLASS(TZoomPanning)
public:
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;

    void Activate(int X, int Y);
    // Orders the corners so that X0 <= X1 and Y0 <= Y1.
    void Check();

private:
    bool FActive = false;
};

using TPlotPrintEvent = std::function<void(TCustomPlotPanel* Sender, plat::TCanvas* Canvas, TRect& R)>;

// --- Process-wide switches ---------------------------------------------------------------------------

extern bool PlotClipWhenPrinting;
extern bool PlotClipWhenMetafiling;
// The window background is erased before painting (the chart paints all of it anyway).
extern bool PlotEraseBackground;
// The panel colour, border and bevels are painted also on printouts.
extern bool PlotPaintBackWhenPrinting;

// --- Panels ------------------------------------------------------------------------------------------

// A panel whose component name never becomes a visible caption.
class TCustomPanelNoCaption : public plat::TCustomPanel {
    PLAT_CLASS(TCustomPanelNoCaption)
public:
    explicit TCustomPanelNoCaption(plat::TComponent* AOwner);
};

class TCustomPlotPanel : public TCustomPanelNoCaption {
    PLAT_CLASS(TCustomPlotPanel)
public:
    explicit TCustomPlotPanel(plat::TComponent* AOwner);
    ~TCustomPlotPanel() override;

    // --- Properties ---
    TChartHiddenPen* Border() const { return FBorder.get(); }
    void SetBorder(TChartHiddenPen* Value) { FBorder->Assign(Value); }
    int BorderRound() const { return FBorderRound; }
    void SetBorderRound(int Value);
    bool CancelMouse() const { return FCancelMouse; }
    void SetCancelMouse(bool Value) { FCancelMouse = Value; }
    int MarginLeft() const { return FMargins[0]; }
    int MarginTop() const { return FMargins[1]; }
    int MarginRight() const { return FMargins[2]; }
    int MarginBottom() const { return FMargins[3]; }
    void SetMarginLeft(int Value) { SetMargin(0, Value); }
    void SetMarginTop(int Value) { SetMargin(1, Value); }
    void SetMarginRight(int Value) { SetMargin(2, Value); }
    void SetMarginBottom(int Value) { SetMargin(3, Value); }
    // Index 0..3: left, top, right, bottom.
    int GetMargin(int Index) const { return FMargins[Index]; }
    void SetMargin(int Index, int Value);
    TPlotUnits MarginUnits() const { return FMarginUnits; }
    void SetMarginUnits(TPlotUnits Value);
    bool Monochrome() const;
    void SetMonochrome(bool Value);
    bool GetOffscreenBuffering() const;
    void SetOffscreenBuffering(bool Value);
    TCursor SavedCursor() const { return FSavedCursor; }
    void SetSavedCursor(TCursor Value) { FSavedCursor = Value; }
    TZoomPanning* Panning() const { return FPanning.get(); }
    bool Printing() const { return FPrinting; }
    void SetPrinting(bool Value) { FPrinting = Value; }
    // Left, top, right and bottom margins of a printout in percent of the page.
    const TRect& PrintMargins() const { return FPrintMargins; }
    void SetPrintMargins(const TRect& Value) { FPrintMargins = Value; }
    bool PrintProportional() const { return FPrintProportional; }
    void SetPrintProportional(bool Value) { FPrintProportional = Value; }
    int PrintResolution() const { return FPrintResolution; }
    void SetPrintResolution(int Value) { FPrintResolution = Value; }
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TPlotShadow* Value) { FShadow->Assign(Value); }
    bool View3D() const { return FView3D; }
    void SetView3D(bool Value);
    TView3DOptions* View3DOptions() const { return FView3DOptions.get(); }
    void SetView3DOptions(TView3DOptions* Value) { FView3DOptions->Assign(Value); }
    bool SeriesDepthFlag() const { return FSeriesDepthFlag; }
    void SetSeriesDepthFlag(bool Value) { FSeriesDepthFlag = Value; }
    // While off, Invalidate does nothing.
    bool RepaintEnabled() const { return FRepaintEnabled; }
    void SetRepaintEnabled(bool Value) { FRepaintEnabled = Value; }

    // The drawing surface of the chart (every chart part draws through it). Canvas() answers the same;
    // the window's own canvas is TCustomControl::Canvas().
    TPlotCanvas3D* DrawCanvas() const { return FDrawCanvas.get(); }
    TPlotCanvas3D* Canvas() const { return FDrawCanvas.get(); }

    // The plotting area and the rectangle of the last draw, in client pixels.
    const TRect& ChartRect() const { return FChartRect; }
    TRect& ChartRectRef() { return FChartRect; }
    void SetChartRect(const TRect& Value) { FChartRect = Value; }
    bool CustomChartRect() const { return FCustomChartRect; }
    void SetCustomChartRect(bool Value) { FCustomChartRect = Value; }
    const TRect& PanelRect() const { return FPanelRect; }
    int ChartWidth() const { return FChartWidth; }
    int ChartHeight() const { return FChartHeight; }
    int ChartXCenter() const { return FChartXCenter; }
    int ChartYCenter() const { return FChartYCenter; }
    int Width3D() const { return FWidth3D; }
    void SetWidth3D(int Value) { FWidth3D = Value; }
    int Height3D() const { return FHeight3D; }
    void SetHeight3D(int Value) { FHeight3D = Value; }

    TPlotPrintEvent OnBeforePrint;

    // --- Drawing ---
    virtual TColor GetBackColor();
    // Draws the chart into Rect of the drawing surface; the axis panel fills it in.
    virtual void DrawChart(const TRect& Rect);
    // True when every draw starts by covering the whole panel with opaque paint.
    virtual bool PaintsWholeBack();
    // The change handler of every sub-object.
    virtual void Redraw();
    virtual void DrawToCanvas(plat::TCanvas* Canvas, const TRect& Rect);
    // The client rectangle when the control has a parent window, else (0, 0, Width, Height).
    virtual TRect GetChartRect();
    void Invalidate() override;

    // The plotting rectangle from the margins, the border and the bevels (after the surface is set up).
    void ComputeChartRect();
    // Keeps ChartRect inside the panel and non-empty and derives its size and centre.
    void UpdateChartDimensions();
    virtual void DrawBorderAndBevels(const TRect& Rect);
    // One bevel ring of Width pixels in Rect (which shrinks by it); rounded when Corner >= 1.
    void DrawBevel(TBevelCut Kind, TRect& Rect, int Width, int Corner);
    void ApplyRoundRegion();

    // Store a changed value and repaint; every setter of a chart part goes through them.
    void SetStringField(std::string& Field, const std::string& Value);
    void SetDoubleField(double& Field, double Value);
    void SetColorField(TColor& Field, TColor Value);
    void SetBooleanField(bool& Field, bool Value);
    void SetIntegerField(int& Field, int Value);

    // The mouse pointer in client coordinates.
    TPoint CursorClientPos() const;
    // A patterned brush in the background colour would vanish: it turns black (white on black).
    void SetCanvasBrush(TColor Colour, TChartBrush* Brush, TColor BackColor);
    // Width over height of the device in millimetres; 0 when the height is 0.
    static double DeviceAspectRatio(plat::TCanvas* Canvas);
    bool ClippingAllowed();

    // --- Pictures (the rectangle defaults to GetChartRect) ---
    std::unique_ptr<plat::TMetafile> RenderToMetafile(bool Enhanced, const TRect& Rect);
    std::unique_ptr<plat::TMetafile> RenderToMetafile(bool Enhanced) {
        return RenderToMetafile(Enhanced, GetChartRect());
    }
    // The files are written to a temporary file and renamed, so a failed export leaves no broken file.
    void SaveAsWMF(const std::string& FileName);
    void SaveAsEMF(const std::string& FileName);
    std::unique_ptr<plat::TBitmap> RenderToBitmap(TColor BackColor, const TRect& Rect,
                                                  plat::TPixelFormat Format = plat::pfDevice);
    std::unique_ptr<plat::TBitmap> CreateChartBitmap();
    void SaveAsBMP(const std::string& FileName) { SaveRectAsBMP(FileName, GetChartRect()); }
    void SaveRectAsBMP(const std::string& FileName, const TRect& Rect);
    void PutBitmapOnClipboard() { PutBitmapRectOnClipboard(GetChartRect()); }
    void PutBitmapRectOnClipboard(const TRect& Rect);
    void PutMetafileOnClipboard(bool Enhanced) { PutMetafileRectOnClipboard(Enhanced, GetChartRect()); }
    void PutMetafileRectOnClipboard(bool Enhanced, const TRect& Rect);
    // Every export goes through here: draws without the off-screen buffer and rebuilds the screen
    // picture afterwards, also when the draw raises.
    void DrawUnbuffered(plat::TCanvas* Canvas, const TRect& Rect);
    void DrawToMetafileCanvas(plat::TCanvas* Canvas, const TRect& Rect);

    // --- Printing ---
    // The printing rectangle in printer pixels.
    TRect PrinterPageArea();
    // Margins (percent) that keep the chart's aspect ratio on the page.
    TRect ProportionalPrintMargins();
    void PrintIntoRect(const TRect& Rect);
    void PrintToCanvas(plat::TCanvas* Canvas, const TRect& Rect);
    // Shrinks the printer rectangle P by PrintResolution against the chart rectangle C.
    void ApplyPrintResolution(TRect& P, const TRect& C, int& OldWidth, int& OldHeight, int& ViewWidth,
                              int& ViewHeight);

    // --- Listeners ---
    TPlotEventListeners& Listeners() { return FListeners; }
    int AttachListener(IChartEventListener* Listener) { return FListeners.AttachListener(Listener); }
    int DetachListener(IChartEventListener* Listener) { return FListeners.DetachListener(Listener); }
    // Sends the event to every listener, first to last; a mouse event stops at a listener that sets
    // CancelMouse.
    TPlotEvent& BroadcastEvent(TPlotEvent& Event);
    void BroadcastMouseEvent(TPlotMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y);

    void Assign(plat::TPersistent* Source) override;
    void DefineProperties(plat::TFiler& Filer) override;

protected:
    void AssignTo(plat::TPersistent* Dest) override;
    void CreateParams(plat::TCreateParams& Params) override;
    void Loaded() override;
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void Dispatch(plat::TMessage& Message) override;
    // The control lost the mouse.
    virtual void MouseLeave();

private:
    void ReadBorderStyle(plat::TReader& Reader);
    void SubObjectChanged(plat::TObject*) { Redraw(); }

    bool FSeriesDepthFlag = true;
    bool FRepaintEnabled = false;
    std::unique_ptr<TChartHiddenPen> FBorder;
    int FBorderRound = 0;
    bool FCancelMouse = false;
    TRect FPanelRect;
    int FChartWidth = 0;
    int FChartHeight = 0;
    int FChartXCenter = 0;
    int FChartYCenter = 0;
    int FHeight3D = 0;
    int FMargins[4] = {3, 4, 3, 4};
    TPlotUnits FMarginUnits = muPercent;
    TCursor FSavedCursor = plat::crDefault;
    std::unique_ptr<TZoomPanning> FPanning;
    bool FPrinting = false;
    TRect FPrintMargins{15, 15, 15, 15};
    bool FPrintProportional = true;
    int FPrintResolution = 0;
    std::unique_ptr<TPlotShadow> FShadow;
    bool FView3D = true;
    std::unique_ptr<TView3DOptions> FView3DOptions;
    int FWidth3D = 0;
    TPlotEventListeners FListeners;
    bool FApplyingRegion = false;
    std::unique_ptr<TPlotCanvas3D> FDrawCanvas;
    bool FCustomChartRect = false;
    TRect FChartRect;
};

// --- Zoom, panning and the panel background ----------------------------------------------------------

enum TPanningMode : uint8_t { pmNone, pmHorizontal, pmVertical, pmBoth };
enum TPlotZoomDirection : uint8_t { tzdHorizontal, tzdVertical, tzdBoth };
enum TPlotBackImageMode : uint8_t { pbmStretch, pbmTile, pbmCenter, pbmCustom };

// The fill of the rubber band: white and clear.
class TPlotZoomBrush : public TChartBrush {
    PLAT_CLASS(TPlotZoomBrush)
public:
    explicit TPlotZoomBrush(TNotifyEvent ChangeHandler = nullptr);
};

// The outline of the rubber band: white.
class TPlotZoomPen : public TChartPen {
    PLAT_CLASS(TPlotZoomPen)
public:
    explicit TPlotZoomPen(TNotifyEvent ChangeHandler = nullptr);
};

// The settings and the state of a zoom by a dragged rectangle.
class TPlotZoom : public TZoomPanning {
    PLAT_CLASS(TPlotZoom)
public:
    TPlotZoom();
    ~TPlotZoom() override;

    bool Allow() const { return FAllow; }
    void SetAllow(bool Value) { FAllow = Value; }
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value) { FAnimated = Value; }
    int AnimatedSteps() const { return FAnimatedSteps; }
    void SetAnimatedSteps(int Value) { FAnimatedSteps = Value; }
    // Created on first read; the Has forms ask without creating. Null frees it.
    TPlotZoomBrush* Brush();
    bool HasBrush() const { return FBrush != nullptr; }
    void SetBrush(TPlotZoomBrush* Value);
    TPlotZoomPen* Pen();
    bool HasPen() const { return FPen != nullptr; }
    void SetPen(TPlotZoomPen* Value);
    TPlotZoomDirection Direction() const { return FDirection; }
    void SetDirection(TPlotZoomDirection Value) { FDirection = Value; }
    TShiftState KeyShift() const { return FKeyShift; }
    void SetKeyShift(TShiftState Value) { FKeyShift = Value; }
    int MinimumPixels() const { return FMinimumPixels; }
    void SetMinimumPixels(int Value) { FMinimumPixels = Value; }
    TMouseButton MouseButton() const { return FMouseButton; }
    void SetMouseButton(TMouseButton Value) { FMouseButton = Value; }
    bool UpLeftZooms() const { return FUpLeftZooms; }
    void SetUpLeftZooms(bool Value) { FUpLeftZooms = Value; }

    void Assign(plat::TPersistent* Source) override;

private:
    bool FAllow = true;
    bool FAnimated = false;
    int FAnimatedSteps = 8;
    std::unique_ptr<TPlotZoomBrush> FBrush;
    TPlotZoomDirection FDirection = tzdBoth;
    TShiftState FKeyShift = 0;
    int FMinimumPixels = 16;
    TMouseButton FMouseButton = plat::mbLeft;
    std::unique_ptr<TPlotZoomPen> FPen;
    bool FUpLeftZooms = false;
};

// A picture behind the panel or, Inside, on the back wall.
class TBackImage : public plat::TPicture {
    PLAT_CLASS(TBackImage)
public:
    bool Inside() const { return FInside; }
    void SetInside(bool Value);
    int Left() const { return FLeft; }
    void SetLeft(int Value);
    TPlotBackImageMode Mode() const { return FMode; }
    void SetMode(TPlotBackImageMode Value);
    int Top() const { return FTop; }
    void SetTop(int Value);

    void Assign(plat::TPersistent* Source) override;

private:
    void Changed();
    bool FInside = false;
    int FLeft = 0;
    TPlotBackImageMode FMode = pbmStretch;
    int FTop = 0;
};

// The keys that must be held to pan, for every chart; none at start.
extern TShiftState PlotPanKeyState;

class TCustomPlotPanelExtended : public TCustomPlotPanel {
    PLAT_CLASS(TCustomPlotPanelExtended)
public:
    explicit TCustomPlotPanelExtended(plat::TComponent* AOwner);
    ~TCustomPlotPanelExtended() override;

    TPanningMode AllowPanning() const { return FAllowPanning; }
    void SetAllowPanning(TPanningMode Value);
    // Created on first read (invisible); null frees it.
    TPlotGradient* Gradient();
    bool HasGradient() const { return FGradient != nullptr; }
    void SetGradient(TPlotGradient* Value);
    TPlotZoom* Zoom() const { return FZoom.get(); }
    void SetZoom(TPlotZoom* Value) { FZoom->Assign(Value); }
    bool Zoomed() const { return FZoomed; }
    void SetZoomed(bool Value) { FZoomed = Value; }
    // Created on first read; null frees it.
    TBackImage* BackImage();
    bool HasBackImage() const { return FBackImage != nullptr; }
    void SetBackImage(TBackImage* Value);
    bool BackImageInside() { return BackImage()->Inside(); }
    void SetBackImageInside(bool Value) { BackImage()->SetInside(Value); }
    TPlotBackImageMode BackImageMode() { return BackImage()->Mode(); }
    void SetBackImageMode(TPlotBackImageMode Value) { BackImage()->SetMode(Value); }
    bool BackImageTransp() const;
    void SetBackImageTransp(bool Value);
    // The button that pans.
    TMouseButton ScrollMouseButton() const { return FScrollMouseButton; }
    void SetScrollMouseButton(TMouseButton Value) { FScrollMouseButton = Value; }

    TNotifyEvent OnAfterDraw;
    TNotifyEvent OnScroll;
    TNotifyEvent OnUndoZoom;
    TNotifyEvent OnZoom;

    virtual void FillBackground(const TRect& Rect);
    bool PaintsWholeBack() override;
    // The first step of every draw: shadow, fill, background picture, border and bevels.
    virtual void DrawPanelBack(const TRect& Rect);
    void DrawBackImage(const TRect& Rect, int Depth);

    // The axis panel restores the saved axis ranges first.
    virtual void UndoZoom();
    // Turns the zoom rectangle into axis ranges; the axis panel fills it in.
    virtual void ZoomRect();
    // False when every active series ignores axes (pies); then there is no zoom and no panning.
    virtual bool SeriesUseAxes() { return true; }

    // The mouse side of zoom and panning, called by the chart's mouse handling. StartZoomOrPan answers
    // whether a zoom drag or a pan began.
    bool StartZoomOrPan(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Drawn in XOR: a second draw at the same place erases it.
    void DrawZoomRectangle();
    void ZoomDragMove(int X, int Y);
    // Ends the zoom drag started with Button: zooms, undoes or does nothing by the drag's size.
    void ZoomDragEnd(TMouseButton Button, int X, int Y);
    // One step of a pan to (X, Y); the axis panel moves the axes.
    virtual void PanStep(int X, int Y);

    void Assign(plat::TPersistent* Source) override;
    void DefineProperties(plat::TFiler& Filer) override;

private:
    TPanningMode FAllowPanning = pmBoth;
    std::unique_ptr<TPlotGradient> FGradient;
    std::unique_ptr<TPlotZoom> FZoom;
    bool FZoomed = false;
    std::unique_ptr<TBackImage> FBackImage;
    TMouseButton FScrollMouseButton = plat::mbRight;
};

} // namespace chart
