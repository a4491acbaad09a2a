#include "platform/ui/Panel.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/PropertyInfo.h"

namespace plat {

namespace {

// A raised or lowered ring one pixel wide per step, as Frame3D draws it.
void Frame3D(TCanvas& c, TRect& r, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width; ++i) {
        c.Pen()->SetColor(topLeft);
        c.MoveTo(r.Left, r.Bottom - 1);
        c.LineTo(r.Left, r.Top);
        c.LineTo(r.Right - 1, r.Top);
        c.Pen()->SetColor(bottomRight);
        c.LineTo(r.Right - 1, r.Bottom - 1);
        c.LineTo(r.Left - 1, r.Bottom - 1);
        InflateRect(r, -1, -1);
    }
}
} // namespace

PLAT_CLASS_INFO(TCustomPanel, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TPanel, TCustomPanel)
PLAT_CLASS_INFO(TCustomGroupBox, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TGroupBox, TCustomGroupBox)
PLAT_CLASS_INFO(TCustomRadioGroup, TCustomGroupBox)
PLAT_CLASS_INFO_CREATABLE(TRadioGroup, TCustomRadioGroup)

PLAT_PROPERTIES(TCustomPanel) {
    props.String("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption);
    props.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, kAlignmentNames, taCenter);
    props.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, kBevelCutNames, bvNone);
    props.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, kBevelCutNames,
               bvRaised);
    props.Integer("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1);
    props.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, kBorderStyleNames,
               bsNone);
    props.Boolean("ParentBackground", &TCustomPanel::GetParentBackground, &TCustomPanel::SetParentBackground,
                  true);
    props.Default("Color", clBtnFace);
}
PLAT_PROPERTIES(TPanel) {}

PLAT_PROPERTIES(TCustomGroupBox) {
    props.String("Caption", &TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption);
    props.Default("Color", clBtnFace);
}
PLAT_PROPERTIES(TGroupBox) {}

PLAT_PROPERTIES(TCustomRadioGroup) {
    props.Object("Items", &TCustomRadioGroup::Items, &TCustomRadioGroup::SetItems);
    props.Integer("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex, -1);
    props.Integer("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns, 1);
}
PLAT_PROPERTIES(TRadioGroup) {}

// ---- Panel ----------------------------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                    csDoubleClicks | csReplicatable | csParentBackground;
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    FBevelWidth = std::max(1, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomPanel::SetParentBackground(bool Value) {
    if (Value)
        FControlStyle |= csParentBackground;
    else
        FControlStyle &= ~csParentBackground;
    Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TCustomPanel::BevelSize() const {
    int size = 0;
    if (FBevelOuter != bvNone)
        size += FBevelWidth;
    if (FBevelInner != bvNone)
        size += FBevelWidth;
    return size;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) const {
    TCustomControl::AdjustClientRect(Rect);
    int b = BevelSize();
    InflateRect(Rect, -b, -b);
}

void TCustomPanel::PaintBevel(TCanvas& Canvas, TRect& Rect, TBevelCut Cut) {
    if (Cut == bvNone)
        return;
    if (Cut == bvSpace) {
        InflateRect(Rect, -FBevelWidth, -FBevelWidth);
        return;
    }
    TColor light = clBtnHighlight, dark = clBtnShadow;
    Frame3D(Canvas, Rect, Cut == bvRaised ? light : dark, Cut == bvRaised ? dark : light, FBevelWidth);
}

void TCustomPanel::PaintCaption(TCanvas& Canvas, const TRect& Rect) {
    std::string text = Caption();
    if (text.empty())
        return;
    TRect r = Rect;
    Canvas.Font()->Assign(Font());
    TDeviceContext& dc = *Canvas.Handle();
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(Enabled() ? Font()->Color() : clGrayText);
    uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS |
                     (FAlignment == taLeftJustify    ? DT_LEFT
                      : FAlignment == taRightJustify ? DT_RIGHT
                                                     : DT_CENTER);
    DrawText(dc, text, r, flags);
}

void TCustomPanel::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    PaintBevel(c, r, FBevelOuter);
    PaintBevel(c, r, FBevelInner);
    PaintCaption(c, r);
}

void TCustomPanel::Dispatch(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == WM_SIZE)
        Invalidate();
}

// ---- Group box ------------------------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks |
                    csReplicatable | csParentBackground;
    SetBounds(0, 0, 185, 105);
    SetColor(clBtnFace);
}

int TCustomGroupBox::CaptionHeight() const {
    TCanvas& c = *const_cast<TCustomGroupBox*>(this)->Canvas();
    c.Font()->Assign(Font());
    return c.TextHeight("0");
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) const {
    TCustomControl::AdjustClientRect(Rect);
    Rect.Top += CaptionHeight();
    InflateRect(Rect, -2, -2);
}

void TCustomGroupBox::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    int h = CaptionHeight();
    TRect frame(0, h / 2, r.Right, r.Bottom);
    DrawEdge(*c.Handle(), frame, EDGE_ETCHED, BF_RECT);
    std::string text = Caption();
    if (!text.empty()) {
        TRect t(8, 0, 0, h);
        TDeviceContext& dc = *c.Handle();
        DrawText(dc, text, t, DT_CALCRECT | DT_SINGLELINE);
        t.Left -= 2;
        t.Right += 2;
        c.FillRect(t);
        t.Left += 2;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(Enabled() ? Font()->Color() : clGrayText);
        DrawText(dc, text, t, DT_SINGLELINE);
    }
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
            SelectFirst();
            Message.Result = 1;
            return;
        }
        break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        Realign();
        Invalidate();
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---- Radio group ----------------------------------------------------------------------------------------

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner) {
    FControlStyle &= ~csAcceptsControls;
    FItems = std::make_unique<TStringList>();
    FItems->OnChange = [this](TObject*) {
        if (!FUpdating)
            UpdateButtons();
    };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    FItems->OnChange = nullptr;
}

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (ComponentState() & csLoading) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, static_cast<int>(FButtons.size()) - 1);
    if (FItemIndex == Value)
        return;
    FUpdating = true;
    if (FItemIndex >= 0 && FItemIndex < static_cast<int>(FButtons.size()))
        FButtons[FItemIndex]->SetChecked(false);
    FItemIndex = Value;
    if (Value >= 0)
        FButtons[Value]->SetChecked(true);
    FUpdating = false;
}

void TCustomRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (FColumns == Value)
        return;
    FColumns = Value;
    ArrangeButtons();
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
    if (FUpdating)
        return;
    for (size_t i = 0; i < FButtons.size(); ++i)
        if (FButtons[i] == Sender && FButtons[i]->Checked()) {
            FItemIndex = static_cast<int>(i);
            Click();
        }
}

void TCustomRadioGroup::UpdateButtons() {
    FUpdating = true;
    int count = FItems->Count();
    while (static_cast<int>(FButtons.size()) > count) {
        delete FButtons.back();
        FButtons.pop_back();
    }
    while (static_cast<int>(FButtons.size()) < count) {
        auto* b = new TRadioButton(nullptr);
        b->OnClick = [this](TObject* s) { ButtonClick(s); };
        b->SetParent(this);
        FButtons.push_back(b);
    }
    for (int i = 0; i < count; ++i) {
        FButtons[i]->SetCaption(FItems->Get(i));
        FButtons[i]->SetChecked(i == FItemIndex);
        FButtons[i]->SetEnabled(Enabled());
    }
    if (FItemIndex >= count)
        FItemIndex = -1;
    FUpdating = false;
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty())
        return;
    TRect area = ClientRect();
    area.Top += CaptionHeight();
    InflateRect(area, -8, -2);
    int count = static_cast<int>(FButtons.size());
    int perColumn = (count + FColumns - 1) / FColumns;
    int colWidth = area.Width() / FColumns;
    int rowHeight = std::max(1, area.Height() / std::max(perColumn, 1));
    for (int i = 0; i < count; ++i) {
        int col = i / perColumn, row = i % perColumn;
        int h = std::min(rowHeight, 17 + 4);
        FButtons[i]->SetBounds(area.Left + col * colWidth, area.Top + row * rowHeight + (rowHeight - h) / 2,
                               colWidth, h);
    }
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    int index = FItemIndex;
    FItemIndex = -1;
    UpdateButtons();
    SetItemIndex(index);
}

void TCustomRadioGroup::Dispatch(TMessage& Message) {
    TCustomGroupBox::Dispatch(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case CM_FONTCHANGED:
        ArrangeButtons();
        break;
    case CM_ENABLEDCHANGED:
        for (TRadioButton* b : FButtons)
            b->SetEnabled(Enabled());
        break;
    }
}

} // namespace plat
