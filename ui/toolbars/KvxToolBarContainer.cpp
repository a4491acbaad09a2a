#include "ui/toolbars/KvxToolBarContainer.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/ParentBackground.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

namespace ui {

using plat::TColor;
using plat::TRect;

PLAT_CLASS_INFO_CREATABLE(TKvxToolBarContainer, plat::TCustomControl)

TKvxToolBarContainer::TKvxToolBarContainer(plat::TComponent* AOwner)
    : TCustomControl(AOwner), FColor(std::make_unique<toolbar::TGradientBackground>()) {
    SetControlStyle((ControlStyle() | plat::csAcceptsControls) & ~plat::csOpaque);
    SetDoubleBuffered(true);
    FColor->OnChange = [this](plat::TObject*) {
        TCustomControl::SetColor(FColor->Color());
        Invalidate();
    };
}

TKvxToolBarContainer::~TKvxToolBarContainer() {
    if (FToolBar)
        FToolBar->RemoveFreeNotification(this);
}

void TKvxToolBarContainer::SetKvxToolBar(TKvxCustomToolBar* Value) {
    if (Value == FToolBar)
        return;
    FToolBar = Value;
    PassToolBarToChildren();
    Invalidate();
}

void TKvxToolBarContainer::PassToolBarToChildren() {
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* c = dynamic_cast<TKvxCustomToolBarControl*>(Controls(i)))
            c->FToolBar = FToolBar;
}

void TKvxToolBarContainer::SetParent(plat::TWinControl* AParent) {
    TCustomControl::SetParent(AParent);
    if (auto* bar = dynamic_cast<TKvxCustomToolBar*>(AParent))
        SetKvxToolBar(bar);
}

void TKvxToolBarContainer::Loaded() {
    TCustomControl::Loaded();
    if (auto* bar = dynamic_cast<TKvxCustomToolBar*>(Parent()))
        SetKvxToolBar(bar);
    PassToolBarToChildren();
}

void TKvxToolBarContainer::Dispatch(plat::TMessage& Message) {
    TCustomControl::Dispatch(Message);
    switch (Message.Msg) {
    case plat::CM_CONTROLCHANGE:
        // A toolbar control dropped in here paints with the toolbar's styler.
        if (Message.LParam)
            if (auto* c = dynamic_cast<TKvxCustomToolBarControl*>(
                    reinterpret_cast<plat::TControl*>(Message.WParam)))
                c->FToolBar = FToolBar;
        break;
    case plat::CM_MOUSEENTER:
        Invalidate();
        break;
    default:
        break;
    }
}

void TKvxToolBarContainer::SetParentStyler(bool Value) {
    FParentStyler = Value;
    Invalidate();
}

void TKvxToolBarContainer::SetLine3D(bool Value) {
    FLine3D = Value;
    Invalidate();
}

void TKvxToolBarContainer::SetFrameCaption(const std::string& Value) {
    FCaption = Value;
    Invalidate();
}

void TKvxToolBarContainer::SetLineColor(TColor Value) {
    FLineColor = Value;
    Invalidate();
}

void TKvxToolBarContainer::SetColor(plat::TPersistent* Value) {
    FColor->Assign(Value);
    Invalidate();
}

TColor TKvxToolBarContainer::EffectiveLineColor() const {
    if (FToolBar && FParentStyler && FToolBar->CurrentStyler())
        return FToolBar->CurrentStyler()->ContainerAppearance()->LineColor();
    return FLineColor;
}

bool TKvxToolBarContainer::EffectiveLine3D() const {
    if (FToolBar && FParentStyler && FToolBar->CurrentStyler())
        return FToolBar->CurrentStyler()->ContainerAppearance()->Line3D();
    return FLine3D;
}

void TKvxToolBarContainer::Paint() {
    TCustomControl::Paint();
    plat::TCanvas* C = Canvas();
    plat::DrawParentBackground(this, C->Handle());
    const TColor line = EffectiveLineColor();
    if (line == plat::clNone)
        return;
    const TRect R = ClientRect();
    const int m = FFrameInset;
    const int y = R.Top + m + 2;
    auto stroke = [&](TColor color, int x1, int y1, int x2, int y2) {
        C->Pen()->SetColor(color);
        C->MoveTo(x1, y1);
        C->LineTo(x2, y2);
    };
    // The top line, broken under the caption.
    auto top = [&](TColor color, int at) {
        if (FCaption.empty()) {
            stroke(color, R.Left, at, R.Right - m, at);
            return;
        }
        const int end = R.Left + 10 + C->TextWidth(FCaption);
        stroke(color, R.Left, at, R.Left + 9, at);
        stroke(color, end + 1, at, R.Right - m, at);
    };
    if (!FCaption.empty()) {
        C->Brush()->SetStyle(plat::bsClear);
        C->Font()->SetColor(plat::clBlack);
        TRect text(R.Left + 10, R.Top, R.Right, R.Top + C->TextHeight(FCaption));
        plat::DrawText(*C->Handle(), FCaption, text, plat::DT_SINGLELINE | plat::DT_LEFT);
        C->Brush()->SetStyle(plat::bsSolid);
    }
    top(line, y);
    C->Pen()->SetColor(line);
    C->MoveTo(R.Left, y);
    C->LineTo(R.Left, R.Bottom - m);
    C->LineTo(R.Right - m, R.Bottom - m);
    C->LineTo(R.Right - m, y);
    if (!EffectiveLine3D())
        return;
    top(plat::clWhite, y + 1);
    stroke(plat::clWhite, R.Left + 1, y + 1, R.Left + 1, R.Bottom - m);
    stroke(plat::clWhite, R.Left + 1, R.Bottom - m + 1, R.Right - m + 1, R.Bottom - m + 1);
    stroke(plat::clWhite, R.Right - m + 1, R.Bottom - m + 1, R.Right - m + 1, y);
}

PLAT_PROPERTIES(TKvxToolBarContainer) {
    using C = TKvxToolBarContainer;
    props.Boolean("ParentStyler", &C::ParentStyler, &C::SetParentStyler, true);
    props.Boolean("Line3D", &C::Line3D, &C::SetLine3D);
    props.String("Caption", &C::FrameCaption, &C::SetFrameCaption);
    props.Color("LineColor", &C::LineColor, &C::SetLineColor);
    props.Object("Color", &C::Color, &C::SetColor);
}

} // namespace ui
