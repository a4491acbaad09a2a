#include "chart/PlotProcsPanel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gfx/Printer.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Input.h"
#include "platform/ui/SystemMetrics.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TPlotEvent, TObject)
PLAT_CLASS_INFO(TPlotMouseEvent, TPlotEvent)
PLAT_CLASS_INFO(TPlotView3DEvent, TPlotEvent)
PLAT_CLASS_INFO(TZoomPanning, TPersistent)
PLAT_CLASS_INFO(TCustomPanelNoCaption, TCustomPanel)
PLAT_CLASS_INFO(TCustomPlotPanel, TCustomPanelNoCaption)

bool PlotClipWhenPrinting = true;
bool PlotClipWhenMetafiling = true;
bool PlotEraseBackground = false;
bool PlotPaintBackWhenPrinting = false;

namespace {

// The border pen of a panel: hidden, with flat ends also as its stored default.
class TPanelBorderPen : public TChartHiddenPen {
public:
    explicit TPanelBorderPen(TNotifyEvent ChangeHandler) : TChartHiddenPen(std::move(ChangeHandler)) {
        FEndStyle = esFlat;
        FDefaultEndStyle = esFlat;
    }
};

// a * b / c rounded to the nearest integer (halves away from zero); 0 for c = 0.
int MulDiv(int a, int b, int c) {
    if (c == 0)
        return 0;
    const long long n = static_cast<long long>(a) * b;
    long long q = n / c;
    const long long r = n % c;
    if (2 * std::llabs(r) >= std::llabs(c))
        q += ((n < 0) != (c < 0)) ? -1 : 1;
    return static_cast<int>(q);
}
} // namespace

// --- Listeners --------------------------------------------------------------------------------------

int TPlotEventListeners::AttachListener(IChartEventListener* Listener) {
    const int index = IndexOf(Listener);
    if (index >= 0)
        return index;
    FItems.push_back(Listener);
    return Count() - 1;
}

int TPlotEventListeners::DetachListener(IChartEventListener* Listener) {
    const int index = IndexOf(Listener);
    if (index >= 0)
        FItems.erase(FItems.begin() + index);
    return index;
}

int TPlotEventListeners::IndexOf(IChartEventListener* Listener) const {
    auto it = std::find(FItems.begin(), FItems.end(), Listener);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// --- Drag state -------------------------------------------------------------------------------------

void TZoomPanning::Activate(int X, int Y) {
    X0 = X1 = X;
    Y0 = Y1 = Y;
    FActive = true;
}

void TZoomPanning::Check() {
    if (X0 > X1)
        std::swap(X0, X1);
    if (Y0 > Y1)
        std::swap(Y0, Y1);
}

// --- Panels -----------------------------------------------------------------------------------------

TCustomPanelNoCaption::TCustomPanelNoCaption(TComponent* AOwner) : TCustomPanel(AOwner) {
    FControlStyle &= ~csSetCaption;
}

TCustomPlotPanel::TCustomPlotPanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner) {
    SetBounds(Left(), Top(), 400, 250);
    FView3DOptions = std::make_unique<TView3DOptions>([this] { Invalidate(); });
    FDrawCanvas = std::make_unique<TPlotCanvas3D>();
    FDrawCanvas->SetTargetCanvas(TCustomControl::Canvas());
    FPanning = std::make_unique<TZoomPanning>();
    FSavedCursor = Cursor();
    FShadow = std::make_unique<TPlotShadow>([this](TObject* s) { SubObjectChanged(s); });
    FBorder = std::make_unique<TPanelBorderPen>([this](TObject* s) { SubObjectChanged(s); });
    if (PlotEraseBackground && !(ComponentState() & csDesigning))
        PlotEraseBackground = false;
    FRepaintEnabled = true;
}

TCustomPlotPanel::~TCustomPlotPanel() {
    FRepaintEnabled = false;
    FListeners.Clear();
}

void TCustomPlotPanel::SetBorderRound(int Value) {
    if (FBorderRound == Value)
        return;
    FBorderRound = Value;
    Invalidate();
    if (!(ComponentState() & csLoading))
        ApplyRoundRegion();
}

void TCustomPlotPanel::SetMargin(int Index, int Value) {
    if (Index >= 0 && Index < 4)
        SetIntegerField(FMargins[Index], Value);
}

void TCustomPlotPanel::SetMarginUnits(TPlotUnits Value) {
    if (FMarginUnits == Value)
        return;
    FMarginUnits = Value;
    Invalidate();
}

bool TCustomPlotPanel::Monochrome() const {
    return FDrawCanvas->GetMonochrome();
}

void TCustomPlotPanel::SetMonochrome(bool Value) {
    if (Value == Monochrome())
        return;
    FDrawCanvas->SetMonochrome(Value);
    Invalidate();
}

bool TCustomPlotPanel::GetOffscreenBuffering() const {
    return FDrawCanvas->GetBuffered();
}

void TCustomPlotPanel::SetOffscreenBuffering(bool Value) {
    if (Value == GetOffscreenBuffering())
        return;
    FDrawCanvas->SetBuffered(Value);
    Invalidate();
}

void TCustomPlotPanel::SetView3D(bool Value) {
    SetBooleanField(FView3D, Value);
    TPlotView3DEvent event;
    BroadcastEvent(event);
}

// --- Drawing ----------------------------------------------------------------------------------------

TColor TCustomPlotPanel::GetBackColor() {
    return Color();
}

void TCustomPlotPanel::DrawChart(const TRect&) {}

bool TCustomPlotPanel::PaintsWholeBack() {
    return false;
}

void TCustomPlotPanel::Redraw() {
    Invalidate();
}

TRect TCustomPlotPanel::GetChartRect() {
    if (Parent() != nullptr)
        return ClientRect();
    return TRect(0, 0, Width(), Height());
}

void TCustomPlotPanel::Invalidate() {
    if (!FRepaintEnabled)
        return;
    if (FDrawCanvas)
        FDrawCanvas->MarkDirty();
    TCustomPanelNoCaption::Invalidate();
}

void TCustomPlotPanel::Paint() {
    if (FPrinting)
        return;
    // Without the off-screen picture there is nothing to reuse: the window needs the whole draw.
    if (GetOffscreenBuffering() && FDrawCanvas->EndDraw())
        return;
    try {
        DrawToCanvas(TCustomControl::Canvas(), ClientRect());
    } catch (...) {
        // A failing draw must not leave the window unpainted (it would be asked to paint forever): the
        // error goes to the application's handler and the next invalidation tries again.
        if (Application == nullptr)
            throw;
        Application->HandleException(this);
    }
}

void TCustomPlotPanel::DrawToCanvas(TCanvas* Canvas, const TRect& Rect) {
    TCanvas* window = TCustomControl::Canvas();
    // The buffer also hides what lies under a back that is not painted all over; only a chart that
    // covers its window can do without it.
    FDrawCanvas->SetBypassBuffer(Canvas == window && !FDrawCanvas->IsTrue3D() && PaintsWholeBack());
    FPanelRect = FDrawCanvas->InitWindow(Canvas, FView3DOptions.get(), Color(), FView3D, Rect);
    // A failed draw leaves the surface pointing at the window, unclipped, and the picture marked for a
    // redraw.
    ScopeGuard recover([this, window] {
        try {
            FDrawCanvas->UnClip();
        } catch (...) {
            // The draw's own failure is the one to report; the target is reset regardless.
        }
        FDrawCanvas->SetTargetCanvas(window);
        FDrawCanvas->MarkDirty();
    });
    ComputeChartRect();
    UpdateChartDimensions();
    DrawChart(FPanelRect);
    recover.Dismiss();
    FDrawCanvas->ShowImage(Canvas, window, Rect);
}

void TCustomPlotPanel::ComputeChartRect() {
    const int w = FPanelRect.Right - FPanelRect.Left;
    const int h = FPanelRect.Bottom - FPanelRect.Top;
    int b = BorderWidth();
    if (BevelInner() != bvNone)
        b += BevelWidth();
    if (BevelOuter() != bvNone)
        b += BevelWidth();
    if (FBorder->Visible())
        b += FBorder->Width();
    if (FCustomChartRect)
        return;
    int m[4];
    for (int i = 0; i < 4; ++i) {
        if (FMarginUnits == muPixels)
            m[i] = FMargins[i];
        else
            m[i] = FMargins[i] * ((i % 2 == 0) ? w : h) / 100;
    }
    FChartRect = TRect(FPanelRect.Left + m[0] + b, FPanelRect.Top + m[1] + b, FPanelRect.Right - m[2] - b,
                       FPanelRect.Bottom - m[3] - b);
}

void TCustomPlotPanel::UpdateChartDimensions() {
    if (!FCustomChartRect) {
        TRect& r = FChartRect;
        r.Left = std::max(r.Left, FPanelRect.Left);
        r.Top = std::max(r.Top, FPanelRect.Top);
        if (r.Right < r.Left)
            r.Right = r.Left + 1;
        else if (r.Right == r.Left)
            r.Right = r.Left + Width();
        if (r.Bottom < r.Top)
            r.Bottom = r.Top + 1;
        else if (r.Bottom == r.Top)
            r.Bottom = r.Top + Height();
    }
    FChartWidth = FChartRect.Right - FChartRect.Left;
    FChartHeight = FChartRect.Bottom - FChartRect.Top;
    FChartXCenter = (FChartRect.Left + FChartRect.Right) / 2;
    FChartYCenter = (FChartRect.Top + FChartRect.Bottom) / 2;
}

void TCustomPlotPanel::DrawBorderAndBevels(const TRect& Rect) {
    TPlotCanvas3D& c = *FDrawCanvas;
    TRect r = Rect;
    c.DisableRotation();
    ScopeGuard enableRotation([&c] { c.EnableRotation(); });
    c.Brush()->SetStyle(bsClear);
    if (FBorder->Visible()) {
        c.UseChartPen(FBorder.get());
        int i = 1;
        const bool dots = FBorder->SmallDots();
        if (!dots) {
            const int a = FBorder->Width() - 1;
            if (a > 0) {
                const int h = a / 2;
                r.Left += h + (a % 2 != 0 ? 1 : 0);
                r.Top += h + (a % 2 != 0 ? 1 : 0);
                i = h - (h % 2 != 0 ? 1 : 0);
                r.Right -= i;
                r.Bottom -= i;
            }
        }
        if (FBorderRound < 1) {
            c.DrawRectangle(r);
            if (!dots)
                ++i;
        } else {
            --r.Right;
            --r.Bottom;
            c.DrawRoundRect(r, FBorderRound, FBorderRound);
        }
        InflateRect(r, -i, -i);
    }
    if (!FPrinting || PlotPaintBackWhenPrinting) {
        c.Pen()->SetStyle(psSolid);
        c.Pen()->SetWidth(1);
        c.Pen()->SetMode(pmCopy);
        DrawBevel(BevelOuter(), r, BevelWidth(), FBorderRound);
        if (BorderWidth() > 0)
            c.Frame3D(r, Color(), Color(), BorderWidth());
        DrawBevel(BevelInner(), r, BevelWidth(), FBorderRound);
    }
}

void TCustomPlotPanel::DrawBevel(TBevelCut Kind, TRect& Rect, int Width, int Corner) {
    if (Kind == bvNone)
        return;
    TPlotCanvas3D& c = *FDrawCanvas;
    if (Corner < 1) {
        TColor topLeft = clBtnHighlight, bottomRight = clBtnShadow;
        if (Kind == bvLowered) {
            topLeft = clBtnShadow;
            bottomRight = clBtnHighlight;
        } else if (Kind == bvSpace) {
            bottomRight = clBtnHighlight;
        }
        c.Frame3D(Rect, topLeft, bottomRight, Width);
        return;
    }
    c.Pen()->SetColor(Kind == bvLowered ? clBtnShadow : clBtnHighlight);
    c.DrawRoundRect(Rect, Corner, Corner);
    InflateRect(Rect, -Width, -Width);
}

void TCustomPlotPanel::ApplyRoundRegion() {
    if (Parent() == nullptr || FApplyingRegion)
        return;
    TemporaryChange applying(FApplyingRegion, true);
    if (FBorderRound > 0) {
        TRegion region = CreateRoundRectRgn(0, 0, Width(), Height(), FBorderRound, FBorderRound);
        SetWindowRgn(Handle(), &region, true);
    } else {
        SetWindowRgn(Handle(), nullptr, true);
    }
}

void TCustomPlotPanel::SetStringField(std::string& Field, const std::string& Value) {
    if (Field != Value) {
        Field = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetDoubleField(double& Field, double Value) {
    if (Field != Value) {
        Field = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetColorField(TColor& Field, TColor Value) {
    if (Field != Value) {
        Field = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetBooleanField(bool& Field, bool Value) {
    if (Field != Value) {
        Field = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetIntegerField(int& Field, int Value) {
    if (Field != Value) {
        Field = Value;
        Invalidate();
    }
}

TPoint TCustomPlotPanel::CursorClientPos() const {
    TPoint p;
    GetCursorPos(p);
    return ScreenToClient(p);
}

void TCustomPlotPanel::SetCanvasBrush(TColor Colour, TChartBrush* Brush, TColor BackColor) {
    if (Brush->Style() != bsSolid && Colour == BackColor)
        Colour = BackColor == clBlack ? clWhite : clBlack;
    FDrawCanvas->UseChartBrushWithColor(Brush, Colour, BackColor);
}

double TCustomPlotPanel::DeviceAspectRatio(TCanvas*) {
    // Every device here has square pixels at the same resolution, so the ratio of the screen's physical
    // sizes is that of its pixel sizes.
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    return h == 0 ? 0 : static_cast<double>(w) / h;
}

bool TCustomPlotPanel::ClippingAllowed() {
    if (FDrawCanvas->IsTrue3D())
        return false;
    if (FPrinting)
        return PlotClipWhenPrinting;
    if (FDrawCanvas->Metafiling())
        return PlotClipWhenMetafiling;
    return true;
}

// --- Pictures ---------------------------------------------------------------------------------------

void TCustomPlotPanel::DrawUnbuffered(TCanvas* Canvas, const TRect& Rect) {
    const bool buffered = FDrawCanvas->GetBuffered();
    FDrawCanvas->SetKeepBitmap(true);
    FDrawCanvas->SetBuffered(false);
    ScopeGuard restore([&] {
        FDrawCanvas->SetBuffered(buffered);
        FDrawCanvas->SetKeepBitmap(false);
        FDrawCanvas->SetTargetCanvas(TCustomControl::Canvas());
        FDrawCanvas->MarkDirty();
        Invalidate();
    });
    DrawToCanvas(Canvas, Rect);
}

void TCustomPlotPanel::DrawToMetafileCanvas(TCanvas* Canvas, const TRect& Rect) {
    const bool old = FDrawCanvas->Metafiling();
    FDrawCanvas->SetMetafiling(true);
    ScopeGuard restore([this, old] { FDrawCanvas->SetMetafiling(old); });
    DrawUnbuffered(Canvas, Rect);
}

std::unique_ptr<TMetafile> TCustomPlotPanel::RenderToMetafile(bool Enhanced, const TRect& Rect) {
    auto metafile = std::make_unique<TMetafile>();
    metafile->SetWidth(std::max(1, Rect.Right - Rect.Left));
    metafile->SetHeight(std::max(1, Rect.Bottom - Rect.Top));
    metafile->SetEnhanced(Enhanced);
    {
        TMetafileCanvas canvas(metafile.get(), nullptr);
        DrawToMetafileCanvas(&canvas, Rect);
    }
    return metafile;
}

namespace {
void SaveMetafile(TMetafile& Metafile, const std::string& FileName) {
    TMemoryStream stream;
    Metafile.SaveToStream(stream);
    WriteFileAtomically(FileName, stream.Bytes());
}
} // namespace

void TCustomPlotPanel::SaveAsWMF(const std::string& FileName) {
    std::unique_ptr<TMetafile> metafile = RenderToMetafile(false, GetChartRect());
    SaveMetafile(*metafile, FileName);
}

void TCustomPlotPanel::SaveAsEMF(const std::string& FileName) {
    std::unique_ptr<TMetafile> metafile = RenderToMetafile(true, GetChartRect());
    SaveMetafile(*metafile, FileName);
}

std::unique_ptr<TBitmap> TCustomPlotPanel::RenderToBitmap(TColor BackColor, const TRect& Rect,
                                                          TPixelFormat Format) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(FDrawCanvas->IsTrue3D() ? pf24bit : Format);
    bitmap->SetSize(std::max(0, Rect.Right - Rect.Left), std::max(0, Rect.Bottom - Rect.Top));
    if (BackColor != clWhite && !bitmap->Empty()) {
        TCanvas* c = bitmap->Canvas();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(BackColor);
        c->FillRect(Rect);
    }
    DrawUnbuffered(bitmap->Canvas(), Rect);
    return bitmap;
}

std::unique_ptr<TBitmap> TCustomPlotPanel::CreateChartBitmap() {
    return RenderToBitmap(Color(), GetChartRect(), pfDevice);
}

void TCustomPlotPanel::SaveRectAsBMP(const std::string& FileName, const TRect& Rect) {
    // Drawing leaves a device bitmap's alpha bytes empty; a file of that format shows as transparent in
    // programs that read its alpha, so the file gets colours only.
    std::unique_ptr<TBitmap> bitmap = RenderToBitmap(clWhite, Rect, pf24bit);
    bitmap->SaveToFile(FileName);
}

void TCustomPlotPanel::PutBitmapRectOnClipboard(const TRect& Rect) {
    std::unique_ptr<TBitmap> bitmap = RenderToBitmap(clWhite, Rect, pfDevice);
    Clipboard()->Assign(bitmap.get());
}

void TCustomPlotPanel::PutMetafileRectOnClipboard(bool Enhanced, const TRect& Rect) {
    std::unique_ptr<TMetafile> metafile = RenderToMetafile(Enhanced, Rect);
    Clipboard()->Assign(metafile.get());
}

void TCustomPlotPanel::AssignTo(TPersistent* Dest) {
    if (dynamic_cast<TGraphic*>(Dest) != nullptr || dynamic_cast<TPicture*>(Dest) != nullptr) {
        std::unique_ptr<TBitmap> bitmap = CreateChartBitmap();
        Dest->Assign(bitmap.get());
        return;
    }
    TCustomPanelNoCaption::AssignTo(Dest);
}

// --- Printing ---------------------------------------------------------------------------------------

TRect TCustomPlotPanel::PrinterPageArea() {
    if (FPrintProportional)
        FPrintMargins = ProportionalPrintMargins();
    TPrinter* printer = Printer();
    const double pw = printer->PageWidth();
    const double ph = printer->PageHeight();
    return TRect(RoundToInt(FPrintMargins.Left * pw / 100), RoundToInt(FPrintMargins.Top * ph / 100),
                 RoundToInt(pw - FPrintMargins.Right * pw / 100),
                 RoundToInt(ph - FPrintMargins.Bottom * ph / 100));
}

TRect TCustomPlotPanel::ProportionalPrintMargins() {
    const TRect chart = GetChartRect();
    const int w = chart.Right - chart.Left;
    const int h = chart.Bottom - chart.Top;
    double pw = 0, ph = 0, f = 1;
    try {
        TPrinter* printer = Printer();
        pw = printer->PageWidth();
        ph = printer->PageHeight();
    } catch (const EPrinter&) {
        pw = GetSystemMetrics(SM_CXSCREEN);
        ph = GetSystemMetrics(SM_CYSCREEN);
        f = 1;
    }
    // A chart or page without area has no aspect ratio to keep.
    if (w <= 0 || h <= 0 || pw <= 0 || ph <= 0)
        return TRect(15, 15, 15, 15);
    auto margin = [f](double a, double b, double ratio) {
        const int n = RoundToInt((b - (a - a * 30 * 0.01) * ratio * f) * 100 / b);
        return n / 2;
    };
    int left = 15, top = 15;
    if (h < w)
        top = margin(pw, ph, static_cast<double>(h) / w);
    else
        left = margin(ph, pw, static_cast<double>(w) / h);
    return TRect(left, top, left, top);
}

void TCustomPlotPanel::PrintIntoRect(const TRect& Rect) {
    PrintToCanvas(Printer()->Canvas(), Rect);
}

void TCustomPlotPanel::ApplyPrintResolution(TRect& P, const TRect& C, int& OldWidth, int& OldHeight,
                                            int& ViewWidth, int& ViewHeight) {
    const int cw = C.Right - C.Left;
    const int ch = C.Bottom - C.Top;
    ViewWidth = cw - MulDiv(cw, FPrintResolution, 100);
    ViewHeight = ch - MulDiv(ch, FPrintResolution, 100);
    OldWidth = P.Right - P.Left;
    OldHeight = P.Bottom - P.Top;
    // An empty printing rectangle keeps its coordinates rather than dividing by its size.
    if (OldWidth != 0) {
        P.Left = MulDiv(P.Left, ViewWidth, OldWidth);
        P.Right = MulDiv(P.Right, ViewWidth, OldWidth);
    }
    if (OldHeight != 0) {
        P.Top = MulDiv(P.Top, ViewHeight, OldHeight);
        P.Bottom = MulDiv(P.Bottom, ViewHeight, OldHeight);
    }
}

void TCustomPlotPanel::PrintToCanvas(TCanvas* Canvas, const TRect& Rect) {
    TRect p = Rect;
    int oldW = 0, oldH = 0, vw = 0, vh = 0;
    ApplyPrintResolution(p, GetChartRect(), oldW, oldH, vw, vh);
    TDeviceContext* dc = Canvas->Handle();
    const int saved = dc->SaveDC();
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowOrgEx(0, 0);
    dc->SetWindowExtEx(std::max(1, vw), std::max(1, vh));
    dc->SetViewportExtEx(std::max(1, oldW), std::max(1, oldH));
    dc->SetViewportOrgEx(0, 0);
    FPrinting = true;
    bool clipped = false;
    ScopeGuard finish([&] {
        if (clipped)
            RestoreClipRegion(Canvas);
        FPrinting = false;
        dc->RestoreDC(saved);
    });
    if (ClippingAllowed()) {
        ClipCanvasToRect(Canvas, p);
        clipped = true;
    }
    if (OnBeforePrint)
        OnBeforePrint(this, Canvas, p);
    DrawToMetafileCanvas(Canvas, p);
}

// --- Listeners and mouse ----------------------------------------------------------------------------

TPlotEvent& TCustomPlotPanel::BroadcastEvent(TPlotEvent& Event) {
    if (ComponentState() & csDestroying)
        return Event;
    Event.Sender = this;
    const bool mouse = dynamic_cast<TPlotMouseEvent*>(&Event) != nullptr;
    // By index: a listener may detach itself (or another) while it handles the event.
    for (int i = 0; i < FListeners.Count(); ++i) {
        IChartEventListener* listener = FListeners.Items(i);
        listener->HandleChartEvent(Event);
        if (mouse && FCancelMouse)
            break;
        if (i < FListeners.Count() && FListeners.Items(i) != listener)
            --i;
    }
    return Event;
}

void TCustomPlotPanel::BroadcastMouseEvent(TPlotMouseEventKind Kind, TMouseButton Button, TShiftState Shift,
                                           int X, int Y) {
    if (FListeners.Count() == 0)
        return;
    TPlotMouseEvent event;
    event.Event = Kind;
    event.Button = Button;
    event.Shift = Shift;
    event.X = X;
    event.Y = Y;
    BroadcastEvent(event);
}

void TCustomPlotPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FCancelMouse = false;
    TCustomPanelNoCaption::MouseDown(Button, Shift, X, Y);
    BroadcastMouseEvent(meDown, Button, Shift, X, Y);
}

void TCustomPlotPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomPanelNoCaption::MouseUp(Button, Shift, X, Y);
    BroadcastMouseEvent(meUp, Button, Shift, X, Y);
}

void TCustomPlotPanel::MouseMove(TShiftState Shift, int X, int Y) {
    FCancelMouse = false;
    TCustomPanelNoCaption::MouseMove(Shift, X, Y);
    if (FListeners.Count() > 0 && !(ComponentState() & csDesigning))
        BroadcastMouseEvent(meMove, mbLeft, Shift, X, Y);
}

void TCustomPlotPanel::DblClick() {
    FCancelMouse = false;
    TCustomPanelNoCaption::DblClick();
    if (FCancelMouse)
        Abort();
}

void TCustomPlotPanel::MouseLeave() {
    SetCursor(FSavedCursor);
    FPanning->SetActive(false);
}

void TCustomPlotPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSELEAVE:
        MouseLeave();
        TCustomPanelNoCaption::Dispatch(Message);
        return;
    case CM_SYSCOLORCHANGE:
        TCustomPanelNoCaption::Dispatch(Message);
        Invalidate();
        return;
    case WM_GETDLGCODE:
        TCustomPanelNoCaption::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS;
        return;
    case WM_ERASEBKGND:
        if (PlotEraseBackground)
            TCustomPanelNoCaption::Dispatch(Message);
        Message.Result = 1;
        return;
    default:
        TCustomPanelNoCaption::Dispatch(Message);
    }
}

void TCustomPlotPanel::CreateParams(TCreateParams& Params) {
    TCustomPanelNoCaption::CreateParams(Params);
    if (Color() == clNone)
        Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TCustomPlotPanel::Loaded() {
    TCustomPanelNoCaption::Loaded();
    FSavedCursor = Cursor();
    if (FBorderRound > 0)
        ApplyRoundRegion();
}

void TCustomPlotPanel::Resize() {
    TCustomPanelNoCaption::Resize();
    if (!(ComponentState() & csLoading))
        ApplyRoundRegion();
    Invalidate();
}

// --- Copying and streaming --------------------------------------------------------------------------

void TCustomPlotPanel::Assign(TPersistent* Source) {
    auto* panel = dynamic_cast<TCustomPlotPanel*>(Source);
    if (panel == nullptr) {
        TCustomPanelNoCaption::Assign(Source);
        return;
    }
    FBorder->Assign(panel->FBorder.get());
    FBorderRound = panel->FBorderRound;
    SetOffscreenBuffering(panel->GetOffscreenBuffering());
    FPrintMargins = panel->FPrintMargins;
    FPrintProportional = panel->FPrintProportional;
    FPrintResolution = panel->FPrintResolution;
    for (int i = 0; i < 4; ++i)
        FMargins[i] = panel->FMargins[i];
    FMarginUnits = panel->FMarginUnits;
    SetMonochrome(panel->Monochrome());
    FShadow->Assign(panel->FShadow.get());
    FView3D = panel->FView3D;
    FView3DOptions->Assign(panel->FView3DOptions.get());
    SetColor(panel->Color());
    Invalidate();
}

void TCustomPlotPanel::ReadBorderStyle(TReader& Reader) {
    FBorder->SetVisible(Reader.ReadIdent() == "bsSingle");
}

void TCustomPlotPanel::DefineProperties(TFiler& Filer) {
    TCustomPanelNoCaption::DefineProperties(Filer);
    Filer.DefineProperty(
        "BorderStyle", [this](TReader& r) { ReadBorderStyle(r); }, nullptr, false);
}

PLAT_PROPERTIES(TCustomPlotPanel) {
    props.Hide("BorderStyle");
    props.Hide("Caption");
    props.Object("Border", &TCustomPlotPanel::Border, &TCustomPlotPanel::SetBorder);
    props.Integer("BorderRound", &TCustomPlotPanel::BorderRound, &TCustomPlotPanel::SetBorderRound, 0);
    props.Integer("MarginLeft", &TCustomPlotPanel::MarginLeft, &TCustomPlotPanel::SetMarginLeft, 3);
    props.Integer("MarginTop", &TCustomPlotPanel::MarginTop, &TCustomPlotPanel::SetMarginTop, 4);
    props.Integer("MarginRight", &TCustomPlotPanel::MarginRight, &TCustomPlotPanel::SetMarginRight, 3);
    props.Integer("MarginBottom", &TCustomPlotPanel::MarginBottom, &TCustomPlotPanel::SetMarginBottom, 4);
    props.Enum("MarginUnits", &TCustomPlotPanel::MarginUnits, &TCustomPlotPanel::SetMarginUnits,
               kPlotUnitsNames, muPercent);
    props.Boolean("Monochrome", &TCustomPlotPanel::Monochrome, &TCustomPlotPanel::SetMonochrome, false);
    props.Boolean("PrintProportional", &TCustomPlotPanel::PrintProportional,
                  &TCustomPlotPanel::SetPrintProportional, true);
    props.Object("Shadow", &TCustomPlotPanel::Shadow, &TCustomPlotPanel::SetShadow);
    props.Boolean("View3D", &TCustomPlotPanel::View3D, &TCustomPlotPanel::SetView3D, true);
    props.Object("View3DOptions", &TCustomPlotPanel::View3DOptions, &TCustomPlotPanel::SetView3DOptions);
    props.Default("BevelOuter", bvRaised);
    props.Default("Color", clBtnFace);
}

} // namespace chart
