// The small window that shows a control's hint: a bordered pop-up in the hint colour that never takes
// the focus.
#pragma once

#include "platform/ui/Control.h"

namespace plat {

class THintWindow : public TCustomControl {
    PLAT_CLASS(THintWindow)
public:
    explicit THintWindow(TComponent* AOwner);

    // Shows the hint with its text in Rect (screen coordinates) above every other window.
    virtual void ActivateHint(TRect Rect, const std::string& AHint);
    // The size the text needs (at most MaxWidth wide), placed at (0, 0).
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
    void ReleaseHandle();
    bool IsHintShowing() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
};

} // namespace plat
