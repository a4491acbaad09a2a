// The borderless stay-on-top window a torn-off toolbar lives in. It draws a frame around the toolbar and
// lets the user drag its edges to wrap the toolbar into more or fewer rows.
#pragma once

#include <cstdint>

#include "platform/ui/Form.h"

namespace ui {

class TKvxCustomToolBar;

class TFloatingWindow : public plat::TForm {
    PLAT_CLASS(TFloatingWindow)
public:
    explicit TFloatingWindow(plat::TComponent* AOwner);
    ~TFloatingWindow() override;

    TKvxCustomToolBar* KvxCustomToolBar() const { return FToolBar; }
    void SetKvxCustomToolBar(TKvxCustomToolBar* Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    plat::TColor BorderColor() const { return FBorderColor; }
    // Seen at the next paint.
    void SetBorderColor(plat::TColor Value) { FBorderColor = Value; }

    // Wraps the window around its toolbar: the frame, a pixel of gap, then the toolbar.
    void FitToToolBar();

protected:
    void Loaded() override;
    void Paint() override;
    void DoClose(plat::TCloseAction& Action) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;

private:
    enum TEdge : uint8_t { eLeft, eTop, eRight, eBottom };
    // Steps the toolbar's rows by Delta, keeping the edge opposite the dragged one in place; answers
    // whether the row count changed.
    bool StepRows(int Delta);

    TKvxCustomToolBar* FToolBar = nullptr;
    int FBorderWidth = 2;
    plat::TColor FBorderColor = 0x6D6D6D;
    plat::TCursor FSavedCursor = plat::crDefault;
    bool FResizing = false;
    TEdge FEdge = eLeft;
    uint8_t FDirection = 0; // 0 none, 1 outwards, 2 inwards: the last step of this drag
    int FAnchorX = 0, FAnchorY = 0;
};

} // namespace ui
