#include "platform/ui/ProgressBar.h"

#include <algorithm>

#include "platform/rtl/PropertyInfo.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TProgressBar, TCustomControl)

PLAT_PROPERTIES(TProgressBar) {
    props.Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin, 0);
    props.Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax, 100);
    props.Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition, 0);
    props.Integer("Step", &TProgressBar::Step, &TProgressBar::SetStep, 10);
}

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 150, 16);
    SetColor(clBtnFace);
}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_STATICEDGE;
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    if (FMax < FMin && !(ComponentState() & csLoading))
        FMax = FMin;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetMax(int Value) {
    FMax = Value;
    if (FMin > FMax && !(ComponentState() & csLoading))
        FMin = FMax;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetPosition(int Value) {
    if (!(ComponentState() & csLoading))
        Value = std::clamp(Value, FMin, std::max(FMin, FMax));
    if (Value == FPosition)
        return;
    FPosition = Value;
    Invalidate();
}

void TProgressBar::StepBy(int Delta) {
    SetPosition(FPosition + Delta);
}

void TProgressBar::StepIt() {
    int next = FPosition + FStep;
    if (next > FMax)
        next = FMin + (next - FMax - 1) % std::max(1, FMax - FMin + 1);
    else if (next < FMin)
        next = FMax;
    SetPosition(next);
}

void TProgressBar::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    if (FMax <= FMin)
        return;
    InflateRect(r, -1, -1);
    bool vertical = r.Height() > r.Width();
    int len = vertical ? r.Height() : r.Width();
    int filled = static_cast<int>(int64_t(len) * (FPosition - FMin) / (FMax - FMin));
    int breadth = vertical ? r.Width() : r.Height();
    int block = std::max(2, breadth * 2 / 3);
    c.Brush()->SetColor(clHighlight);
    for (int at = 0; at < filled; at += block + 2) {
        int end = std::min(at + block, len);
        if (at + block > filled && filled < len)
            end = std::min(end, filled + block); // the last block shows whole
        TRect b = vertical ? TRect(r.Left, r.Bottom - end, r.Right, r.Bottom - at)
                           : TRect(r.Left + at, r.Top, r.Left + end, r.Bottom);
        c.FillRect(b);
    }
}

} // namespace plat
