// The shape: a rectangle, square, rounded rectangle, ellipse or circle drawn with a pen and a brush.
#pragma once

#include <memory>

#include "platform/ui/Control.h"

namespace plat {

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
    PLAT_CLASS(TShape)
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

} // namespace plat
