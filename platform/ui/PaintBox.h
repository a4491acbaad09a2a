// The paint box: an area its owner paints in OnPaint on the box's canvas.
#pragma once

#include "platform/ui/Control.h"

namespace plat {

class TPaintBox : public TGraphicControl {
    PLAT_CLASS(TPaintBox)
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

} // namespace plat
