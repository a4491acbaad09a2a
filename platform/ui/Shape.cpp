#include "platform/ui/Shape.h"

#include <algorithm>

#include "platform/rtl/PropertyInfo.h"

namespace plat {

namespace {
const char* const kShapeTypeNames[] = {"stRectangle",   "stSquare",  "stRoundRect",
                                       "stRoundSquare", "stEllipse", "stCircle"};
static_assert(std::size(kShapeTypeNames) == stCircle + 1);
} // namespace

PLAT_CLASS_INFO_CREATABLE(TShape, TGraphicControl)

PLAT_PROPERTIES(TShape) {
    props.Enum("Shape", &TShape::Shape, &TShape::SetShape, kShapeTypeNames, stRectangle);
    props.Object("Pen", &TShape::Pen, &TShape::SetPen);
    props.Object("Brush", &TShape::Brush, &TShape::SetBrush);
}

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle |= csReplicatable;
    SetBounds(0, 0, 65, 65);
    FPen = std::make_unique<TPen>();
    FBrush = std::make_unique<TBrush>();
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() {
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TShape::SetShape(TShapeType Value) {
    FShape = Value;
    Invalidate();
}

void TShape::Paint() {
    TCanvas& c = *Canvas();
    c.SetPen(FPen.get());
    c.SetBrush(FBrush.get());
    int pw = FPen->Width();
    int half = pw / 2;
    int x = half, y = half;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        w--;
        h--;
    }
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        int s = std::min(w, h);
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare:
        c.Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare: {
        int r = std::min(w, h) / 4;
        c.RoundRect(x, y, x + w, y + h, r, r);
        break;
    }
    case stEllipse:
    case stCircle:
        c.Ellipse(x, y, x + w, y + h);
        break;
    }
}

} // namespace plat
