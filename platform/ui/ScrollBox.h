// The scroll box: a container whose window scroll bars scroll its children when they reach beyond it.
#pragma once

#include "platform/ui/Form.h"
#include "platform/ui/ScrollingWinControl.h"

namespace plat {

class TScrollBox : public TScrollingWinControl {
    PLAT_CLASS(TScrollBox)
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
};

} // namespace plat
