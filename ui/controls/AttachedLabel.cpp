#include "ui/controls/AttachedLabel.h"

#include "platform/gfx/Bitmap.h"

namespace ui {

plat::TPoint AttachedLabelOrigin(TLabelPosition Position, const plat::TRect& Bounds, plat::TSize LabelSize,
                                 int TextWidth, int Margin) {
    const int T = Bounds.Top, L = Bounds.Left, W = Bounds.Width(), H = Bounds.Height();
    const int lh = LabelSize.cy, lw = LabelSize.cx;
    switch (Position) {
    case lpLeftTop:
        return {L - TextWidth - Margin, T};
    case lpLeftCenter:
        return {L - TextWidth - Margin, T + (H - lh) / 2};
    case lpLeftBottom:
        return {L - TextWidth - Margin, T + H - lh};
    case lpTopLeft:
        return {L, T - lh - Margin};
    case lpBottomLeft:
        return {L, T + H + Margin};
    case lpLeftTopLeft:
        return {L - Margin, T};
    case lpLeftCenterLeft:
        return {L - Margin, T + (H - lh) / 2};
    case lpLeftBottomLeft:
        return {L - Margin, T + H - lh};
    case lpTopCenter:
        return {L + (W - lw) / 2, T - lh - Margin};
    case lpBottomCenter:
        return {L + (W - lw) / 2, T + H + Margin};
    }
    return {L, T};
}

void TAttachedLabel::SetCaption(const std::string& Value, plat::TFont* Font) {
    if (!FLabel) {
        FLabel = new plat::TLabel(FControl);
        FLabel->FreeNotification(FControl);
        FLabel->SetParent(FControl->Parent());
        FLabel->SetFocusControl(FControl);
        if (Font)
            FLabel->Font()->Assign(Font);
    }
    FLabel->SetCaption(Value);
}

int TAttachedLabel::TextWidth() const {
    if (!FLabel)
        return 0;
    plat::TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas()->Font()->Assign(FLabel->Font());
    return measure.Canvas()->TextWidth(FLabel->Caption());
}

void TAttachedLabel::Place(TLabelPosition Position, int Margin, bool Transparent) {
    if (!FLabel)
        return;
    FLabel->SetTransparent(Transparent);
    plat::TPoint p = AttachedLabelOrigin(Position, FControl->BoundsRect(),
                                         {FLabel->Width(), FLabel->Height()}, TextWidth(), Margin);
    FLabel->SetBounds(p.X, p.Y, FLabel->Width(), FLabel->Height());
}

void TAttachedLabel::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    if (Operation == plat::opRemove && AComponent == FLabel)
        FLabel = nullptr;
}

} // namespace ui
