#include "platform/ui/StatusBar.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/SystemMetrics.h"

namespace plat {

PLAT_CLASS_INFO(TStatusPanel, TCollectionItem)
PLAT_CLASS_INFO(TStatusPanels, TOwnedCollection)
PLAT_CLASS_INFO_CREATABLE(TStatusBar, TCustomControl)

namespace {
const char* const kBevelNames[] = {"pbNone", "pbLowered", "pbRaised"};
static_assert(std::size(kBevelNames) == pbRaised + 1);
const char* const kPanelStyleNames[] = {"psText", "psOwnerDraw"};
static_assert(std::size(kPanelStyleNames) == psOwnerDraw + 1);
// Room above the panels and between two of them.
constexpr int kTopGap = 2;
constexpr int kPanelGap = 2;
// Sizing code of the bottom-right corner for a window's size command.
constexpr WPARAM kSizeBottomRight = 8;
struct TRegistrar {
    TRegistrar() { RegisterClass(TStatusBar::StaticClass()); }
} registrar;
} // namespace

PLAT_PROPERTIES(TStatusPanel) {
    props.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, kAlignmentNames,
               taLeftJustify);
    props.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel, kBevelNames, pbLowered);
    props.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, kPanelStyleNames, psText);
    props.String("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    props.Integer("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

PLAT_PROPERTIES(TStatusBar) {
    props.Default("Align", static_cast<int>(alBottom));
    props.Collection("Panels", &TStatusBar::Panels);
    props.Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, false);
    props.String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    props.Boolean("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip, true);
    props.Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
}

// ---- TStatusPanel ----

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const std::string& Value) {
    if (FText != Value) {
        FText = Value;
        Changed(false);
    }
}

void TStatusPanel::SetWidth(int Value) {
    Value = std::max(0, Value);
    if (FWidth != Value) {
        FWidth = Value;
        Changed(true);
    }
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    if (FAlignment != Value) {
        FAlignment = Value;
        Changed(false);
    }
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    if (FBevel != Value) {
        FBevel = Value;
        Changed(false);
    }
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Changed(false);
    }
}

std::string TStatusPanel::DisplayName() const {
    return FText.empty() ? TCollectionItem::DisplayName() : FText;
}

void TStatusPanel::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TStatusPanel*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    FText = src->FText;
    FWidth = src->FWidth;
    FAlignment = src->FAlignment;
    FBevel = src->FBevel;
    FStyle = src->FStyle;
    Changed(false);
}

// ---- TStatusPanels ----

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TOwnedCollection(StatusBar, TCollectionItemClass::Of<TStatusPanel>()), FStatusBar(StatusBar) {}

void TStatusPanels::Update(TCollectionItem*) {
    if (FStatusBar)
        FStatusBar->Invalidate();
}

// ---- TStatusBar ----

TStatusBar::TStatusBar(TComponent* AOwner)
    : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
    FColor = clBtnFace;
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
}

TStatusBar::~TStatusBar() {
    FPanels.reset();
}

void TStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel != Value) {
        FSimplePanel = Value;
        Invalidate();
    }
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    if (FSimpleText != Value) {
        FSimpleText = Value;
        if (FSimplePanel)
            Invalidate();
    }
}

void TStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip != Value) {
        FSizeGrip = Value;
        Invalidate();
    }
}

bool TStatusBar::SizeGripShown() const {
    if (!FSizeGrip)
        return false;
    TCustomForm* form = GetParentForm(const_cast<TStatusBar*>(this));
    if (!form)
        return false;
    TFormBorderStyle style = form->BorderStyle();
    return (style == bsSizeable || style == bsSizeToolWin) && form->WindowState() != wsMaximized;
}

TRect TStatusBar::SizeGripRect() const {
    if (!SizeGripShown())
        return TRect();
    int h = ClientHeight();
    int w = std::min(h, GetSystemMetrics(SM_CXVSCROLL));
    return TRect(ClientWidth() - w, h - std::min(h, w), ClientWidth(), h);
}

TRect TStatusBar::PanelRect(int Index) const {
    int right = ClientWidth();
    TRect grip = SizeGripRect();
    if (!grip.IsEmpty())
        right = grip.Left;
    if (FSimplePanel)
        return Index == 0 ? TRect(0, kTopGap, right, ClientHeight()) : TRect();
    if (Index < 0 || Index >= FPanels->Count())
        return TRect();
    int x = 0;
    for (int i = 0; i < Index; ++i)
        x += FPanels->Items(i)->Width();
    bool last = Index == FPanels->Count() - 1;
    int r = last ? std::max(right, x) : x + FPanels->Items(Index)->Width() - kPanelGap;
    return TRect(x, kTopGap, std::max(x, r), ClientHeight());
}

int TStatusBar::PanelAt(TPoint P) const {
    int count = FSimplePanel ? 1 : FPanels->Count();
    for (int i = 0; i < count; ++i)
        if (PanelRect(i).Contains(P))
            return i;
    return -1;
}

void TStatusBar::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_SIZE) {
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TStatusBar::MouseMove(TShiftState Shift, int X, int Y) {
    TCursor want = SizeGripRect().Contains(TPoint(X, Y)) ? crSizeNWSE : crDefault;
    if (Cursor() != want && (Cursor() == crDefault || Cursor() == crSizeNWSE))
        SetCursor(want);
    TCustomControl::MouseMove(Shift, X, Y);
}

void TStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !SizeGripRect().Contains(TPoint(X, Y)))
        return;
    // The grip sizes the form as its own corner would.
    TCustomForm* form = GetParentForm(this);
    if (!form || !form->HandleAllocated())
        return;
    SetMouseCapture(false);
    SendMessage(form->Handle(), WM_SYSCOMMAND, SC_SIZE + kSizeBottomRight,
                PointToLParam(ClientToScreen(TPoint(X, Y))));
}

void TStatusBar::Paint() {
    TCanvas& c = *Canvas();
    PaintBackground(c, ClientRect());
    if (FSimplePanel) {
        PaintPanel(c, PanelRect(0), FSimpleText, taLeftJustify, pbLowered);
    } else {
        for (int i = 0; i < FPanels->Count(); ++i) {
            TStatusPanel* p = FPanels->Items(i);
            TRect r = PanelRect(i);
            if (r.IsEmpty())
                continue;
            if (p->Style() == psOwnerDraw) {
                PaintPanel(c, r, std::string(), p->Alignment(), p->Bevel());
                DrawPanel(p, r);
            } else {
                PaintPanel(c, r, p->Text(), p->Alignment(), p->Bevel());
            }
        }
    }
    TRect grip = SizeGripRect();
    if (!grip.IsEmpty())
        PaintSizeGrip(c, grip);
}

void TStatusBar::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(Rect);
}

void TStatusBar::PaintPanel(TCanvas& Canvas, const TRect& Rect, const std::string& Text, TAlignment Alignment,
                            TStatusPanelBevel Bevel) {
    TRect inner = Rect;
    if (Bevel == pbLowered)
        DrawEdge(*Canvas.Handle(), inner, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    else if (Bevel == pbRaised)
        DrawEdge(*Canvas.Handle(), inner, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    if (Text.empty())
        return;
    TRect text(inner.Left + 2, inner.Top, inner.Right - 2, inner.Bottom);
    uint32_t align = Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    Canvas.Font()->Assign(Font());
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.TextRect(text, Text, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Canvas.Brush()->SetStyle(bsSolid);
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
    if (!OnDrawPanel)
        return;
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    OnDrawPanel(this, Panel, Rect);
}

void TStatusBar::PaintSizeGrip(TCanvas& Canvas, const TRect& Rect) {
    TRect r = Rect;
    DrawFrameControl(*Canvas.Handle(), r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

} // namespace plat
