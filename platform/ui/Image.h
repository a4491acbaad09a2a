// The image control: shows a picture as it is, centred, stretched or scaled in proportion.
#pragma once

#include <memory>

#include "platform/gfx/Graphic.h"
#include "platform/ui/Control.h"

namespace plat {

class TImage : public TGraphicControl {
    PLAT_CLASS(TImage)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Where the picture is drawn in the client area.
    TRect DestRect() const;

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false, FCenter = false, FProportional = false, FTransparent = false;
};

} // namespace plat
