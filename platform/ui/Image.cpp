#include "platform/ui/Image.h"

#include <algorithm>

#include "platform/rtl/PropertyInfo.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TImage, TGraphicControl)

PLAT_PROPERTIES(TImage) {
    props.Object("Picture", &TImage::Picture, &TImage::SetPicture);
    props.Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false);
    props.Boolean("Center", &TImage::Center, &TImage::SetCenter, false);
    props.Boolean("Proportional", &TImage::Proportional, &TImage::SetProportional, false);
    props.Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent, false);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
    FPicture = std::make_unique<TPicture>();
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    FProportional = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    FTransparent = Value;
    if (TGraphic* g = FPicture->Graphic())
        g->SetTransparent(Value);
    Invalidate();
}

void TImage::PictureChanged() {
    if (TGraphic* g = FPicture->Graphic(); g && FTransparent)
        g->SetTransparent(true);
    if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
    if (FPicture->Width() > 0 && FPicture->Height() > 0) {
        NewWidth = FPicture->Width();
        NewHeight = FPicture->Height();
    }
    return true;
}

TRect TImage::DestRect() const {
    int w = FPicture->Width(), h = FPicture->Height();
    int cw = Width(), ch = Height();
    if (w <= 0 || h <= 0)
        return TRect(0, 0, 0, 0);
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional) {
            // Fit while keeping the aspect ratio.
            if (int64_t(cw) * h > int64_t(ch) * w) {
                w = static_cast<int>(int64_t(w) * ch / h);
                h = ch;
            } else {
                h = static_cast<int>(int64_t(h) * cw / w);
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return TRect(x, y, x + w, y + h);
}

void TImage::Paint() {
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty())
        return;
    TRect r = DestRect();
    TCanvas& c = *Canvas();
    if (r.Width() == g->Width() && r.Height() == g->Height())
        c.Draw(r.Left, r.Top, g);
    else
        c.StretchDraw(r, g);
}

} // namespace plat
