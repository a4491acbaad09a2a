#include "ui/toolbars/KvxFloatingWindow.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/PropertyInfo.h"
#include "ui/toolbars/KvxToolBarControl.h"

namespace ui {

PLAT_CLASS_INFO_CREATABLE(TFloatingWindow, plat::TForm)

TFloatingWindow::TFloatingWindow(plat::TComponent* AOwner) : TForm(AOwner) {}

TFloatingWindow::~TFloatingWindow() = default;

void TFloatingWindow::SetKvxCustomToolBar(TKvxCustomToolBar* Value) {
    if (FToolBar)
        FToolBar->RemoveFreeNotification(this);
    FToolBar = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TFloatingWindow::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == FToolBar)
        FToolBar = nullptr;
}

void TFloatingWindow::SetBorderWidth(int Value) {
    if (Value == FBorderWidth)
        return;
    FBorderWidth = Value;
    FitToToolBar();
}

void TFloatingWindow::FitToToolBar() {
    if (!FToolBar)
        return;
    const int B = FBorderWidth;
    SetBounds(Left(), Top(), FToolBar->Width() + 2 * B + 2, FToolBar->Height() + 2 * B + 2);
    FToolBar->SetBounds(B + 1, B + 1, FToolBar->Width(), FToolBar->Height());
    Invalidate();
}

void TFloatingWindow::Loaded() {
    TForm::Loaded();
    FSavedCursor = Cursor();
}

void TFloatingWindow::Paint() {
    TForm::Paint();
    if (FBorderColor == plat::clNone)
        return;
    plat::TCanvas* C = Canvas();
    const int B = FBorderWidth, W = Width(), H = Height();
    C->Pen()->SetColor(FBorderColor);
    C->Pen()->SetWidth(B);
    C->Brush()->SetStyle(plat::bsClear);
    C->Rectangle(plat::TRect(1, 1, W, H));
    C->SetPixels(B, B, FBorderColor);
    C->SetPixels(W - B - 1, B, FBorderColor);
    C->SetPixels(B, H - B - 1, FBorderColor);
    C->SetPixels(W - B - 1, H - B - 1, FBorderColor);
}

void TFloatingWindow::DoClose(plat::TCloseAction& Action) {
    TForm::DoClose(Action);
    // Closed from outside (the window system, the program ending): remember where the toolbar floated.
    if (FToolBar && FToolBar->FloatingPersistence()->Enabled())
        FToolBar->SaveFloatingState();
}

void TFloatingWindow::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TForm::MouseDown(Button, Shift, X, Y);
    if (Button != plat::mbLeft)
        return;
    const int W = Width(), H = Height();
    FResizing = true;
    if (X >= W - 5 && X <= W) {
        FEdge = eRight;
        FAnchorX = W;
        FAnchorY = Y;
    } else if (Y >= H - 5 && Y <= H) {
        FEdge = eBottom;
        FAnchorX = X;
        FAnchorY = H;
    } else if (X >= 0 && X <= 5) {
        FEdge = eLeft;
        FAnchorX = 0;
        FAnchorY = Y;
    } else if (Y >= 0 && Y <= 5) {
        FEdge = eTop;
        FAnchorX = X;
        FAnchorY = 0;
    } else {
        FResizing = false;
    }
    FDirection = 0;
}

bool TFloatingWindow::StepRows(int Delta) {
    const int before = FToolBar->FloatingRows();
    const int oldW = Width(), oldH = Height();
    FToolBar->SetFloatingRows(before + Delta);
    if (FToolBar->FloatingRows() == before)
        return false;
    switch (FEdge) {
    case eLeft:
        SetLeft(Left() - (Width() - oldW));
        FAnchorX = 0;
        break;
    case eTop:
        SetTop(Top() - (Height() - oldH));
        FAnchorY = 0;
        break;
    case eRight:
        FAnchorX = Width();
        break;
    case eBottom:
        FAnchorY = Height();
        break;
    }
    Invalidate();
    return true;
}

void TFloatingWindow::MouseMove(plat::TShiftState Shift, int X, int Y) {
    TForm::MouseMove(Shift, X, Y);
    const int W = Width(), H = Height();
    if ((X >= 0 && X <= 5) || (X >= W - 5 && X <= W))
        SetCursor(plat::crSizeWE);
    else if ((Y >= 0 && Y <= 5) || (Y >= H - 5 && Y <= H))
        SetCursor(plat::crSizeNS);
    else
        SetCursor(FSavedCursor);
    if (!FResizing || !(Shift & plat::ssLeft) || !FToolBar)
        return;

    const bool across = FEdge == eLeft || FEdge == eRight;
    const int d = across ? X - FAnchorX : Y - FAnchorY;
    const bool outwards = FEdge == eLeft || FEdge == eTop ? d < 0 : d > 0;
    const int size = std::abs(d);
    const bool counts = (size > 5 && FDirection == 0) || (size >= 3 && FDirection == (outwards ? 1 : 2));
    if (d != 0 && counts) {
        // Pulling a side edge out makes the toolbar wider and lower; pulling the top or bottom out, taller.
        const int delta = across == outwards ? -1 : 1;
        if (StepRows(delta))
            FDirection = outwards ? 1 : 2;
        return;
    }
    if (FDirection == 0)
        return;
    // Back inside the size of the neighbouring row count: undo the last step.
    const int B = FBorderWidth;
    const int rows = FToolBar->FloatingRows();
    const bool out = FDirection == 1;
    switch (FEdge) {
    case eLeft: {
        const int w = FToolBar->FloatingSizeFor(out ? rows + 1 : rows - 1).X;
        if (out ? X >= W - 2 * B - w : X <= W - 2 * B - w)
            StepRows(out ? 1 : -1);
        break;
    }
    case eRight: {
        const int w = FToolBar->FloatingSizeFor(out ? rows + 1 : rows - 1).X;
        if (out ? X <= 2 * B + w : X >= 2 * B + w)
            StepRows(out ? 1 : -1);
        break;
    }
    case eTop: {
        const int h = FToolBar->FloatingSizeFor(out ? rows - 1 : rows + 1).Y;
        if (out ? Y >= H - 2 * B - h - 2 : Y <= H - 2 * B - h)
            StepRows(out ? -1 : 1);
        break;
    }
    case eBottom: {
        const int h = FToolBar->FloatingSizeFor(out ? rows - 1 : rows + 1).Y;
        if (out ? Y <= 2 * B + h + 2 : Y >= 2 * B + h)
            StepRows(out ? -1 : 1);
        break;
    }
    }
}

void TFloatingWindow::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TForm::MouseUp(Button, Shift, X, Y);
    FResizing = false;
    FDirection = 0;
    FAnchorX = FAnchorY = 0;
}

PLAT_PROPERTIES(TFloatingWindow) {
    using W = TFloatingWindow;
    props.Integer("BorderWidth", &W::BorderWidth, &W::SetBorderWidth, 2);
    props.Color("BorderColor", &W::BorderColor, &W::SetBorderColor, 8421504);
}

} // namespace ui
