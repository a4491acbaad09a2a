#include "platform/ui/Bevel.h"

#include "platform/rtl/PropertyInfo.h"

namespace plat {

namespace {
const char* const kShapeNames[] = {"bsBox",      "bsFrame",     "bsTopLine", "bsBottomLine",
                                   "bsLeftLine", "bsRightLine", "bsSpacer"};
static_assert(std::size(kShapeNames) == bsSpacer + 1);
const char* const kStyleNames[] = {"bsLowered", "bsRaised"};
static_assert(std::size(kStyleNames) == bsRaised + 1);
} // namespace

PLAT_CLASS_INFO_CREATABLE(TBevel, TGraphicControl)

PLAT_PROPERTIES(TBevel) {
    props.Enum("Shape", &TBevel::Shape, &TBevel::SetShape, kShapeNames, bsBox);
    props.Enum("Style", &TBevel::Style, &TBevel::SetStyle, kStyleNames, bsLowered);
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle |= csReplicatable;
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas& c = *Canvas();
    TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    int w = Width(), h = Height();
    c.Pen()->SetWidth(1);
    c.Pen()->SetStyle(psSolid);
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c.Pen()->SetColor(color);
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    // An outline in `tl` on top and left, `br` on bottom and right.
    auto box = [&](int l, int t, int r, int b, TColor tl, TColor br) {
        line(tl, l, b - 1, l, t);
        line(tl, l, t, r, t);
        line(br, r - 1, t, r - 1, b);
        line(br, l, b - 1, r, b - 1);
    };
    switch (FShape) {
    case bsBox:
        box(0, 0, w, h, first, second);
        break;
    case bsFrame:
        box(0, 0, w - 1, h - 1, first, first);
        box(1, 1, w, h, second, second);
        break;
    case bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}

} // namespace plat
