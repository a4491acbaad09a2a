// The progress bar: a sunken bar filled in blocks to show Position within Min..Max.
#pragma once

#include "platform/ui/Control.h"

namespace plat {

class TProgressBar : public TCustomControl {
    PLAT_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    // Moves by Step; past Max it starts again from Min, as the classic bar does.
    void StepIt();
    void StepBy(int Delta);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
};

} // namespace plat
