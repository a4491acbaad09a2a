#include "ui/controls/KvxGroupBox.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/ParentBackground.h"
#include "ui/drawing/KvxVersion.h"

namespace ui {

using namespace plat;

PLAT_CLASS_INFO(TKvxCustomGroupBox, plat::TCustomGroupBox)
PLAT_CLASS_INFO_CREATABLE(TKvxGroupBox, TKvxCustomGroupBox)

namespace {
struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxGroupBox::StaticClass()); }
} registrar;

// The corner ellipse of round edges.
constexpr int kCornerSize = 6;
} // namespace

PLAT_PROPERTIES(TKvxCustomGroupBox) {}

PLAT_PROPERTIES(TKvxGroupBox) {
    using C = TKvxCustomGroupBox;
    props.String("Version", &C::Version, &C::SetVersion).Stored(false);
    props.Color("BorderColor", &C::BorderColor, &C::SetBorderColor, clSilver);
    props.Enum("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, kGroupBorderStyleNames,
               TKvxBorderStyle::bsSingle);
    props.Enum("CaptionPosition", &C::CaptionPosition, &C::SetCaptionPosition, kCaptionPositionNames,
               cpTopLeft);
    props.Component("Images", &C::Images, &C::SetImages);
    props.Integer("ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    props.Boolean("Transparent", &C::Transparent, &C::SetTransparent, true);
    props.Boolean("RoundEdges", &C::RoundEdges, &C::SetRoundEdges, false);
    props.Boolean("Ctl3D", &C::Ctl3D, &C::SetCtl3D, false);
    props.Default("Color", clWindow);
}

TKvxCustomGroupBox::TKvxCustomGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {
    FControlStyle &= ~csOpaque;
    SetParentColor(true);
}

uint32_t TKvxCustomGroupBox::PackedVersion() const {
    return PackVersion(1, 0, 0, 0);
}

std::string TKvxCustomGroupBox::Version() const {
    return VersionText(PackedVersion());
}

void TKvxCustomGroupBox::Relayout() {
    Invalidate();
    Realign();
}

void TKvxCustomGroupBox::SetBorderColor(TColor Value) {
    if (FBorderColor == Value)
        return;
    FBorderColor = Value;
    Invalidate();
}

void TKvxCustomGroupBox::SetBorderStyle(TKvxBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    Relayout();
}

void TKvxCustomGroupBox::SetCaptionPosition(TCaptionPosition Value) {
    if (FCaptionPosition == Value)
        return;
    FCaptionPosition = Value;
    Relayout();
}

void TKvxCustomGroupBox::SetImages(TCustomImageList* Value) {
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    else
        FImageIndex = -1;
    Relayout();
}

void TKvxCustomGroupBox::SetImageIndex(int Value) {
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Relayout();
}

void TKvxCustomGroupBox::SetTransparent(bool Value) {
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Invalidate();
}

void TKvxCustomGroupBox::SetRoundEdges(bool Value) {
    if (FRoundEdges == Value)
        return;
    FRoundEdges = Value;
    Invalidate();
}

void TKvxCustomGroupBox::SetCtl3D(bool Value) {
    if (FCtl3D == Value)
        return;
    FCtl3D = Value;
    // The border width follows the etched look, and with it the children's area.
    Relayout();
}

void TKvxCustomGroupBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGroupBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages && !(ComponentState() & csDestroying))
        SetImages(nullptr);
}

int TKvxCustomGroupBox::EdgeWidth() const {
    switch (FBorderStyle) {
    case TKvxBorderStyle::bsNone:
        return 1;
    case TKvxBorderStyle::bsSingle:
        return FCtl3D ? 2 : 1;
    case TKvxBorderStyle::bsDouble:
        return FCtl3D ? 4 : 2;
    }
    return 1;
}

TRect TKvxCustomGroupBox::CaptionBox() const {
    TSize text{0, 0};
    const std::string caption = Caption();
    if (!caption.empty()) {
        TCanvas& c = *const_cast<TKvxCustomGroupBox*>(this)->Canvas();
        c.Font()->Assign(Font());
        text = c.TextExtent(caption);
    }
    TSize image{0, 0};
    if (FImages && FImageIndex >= 0)
        image = {FImages->Width(), FImages->Height()};
    const int gap = text.cx > 0 && image.cx > 0 ? 3 : 0;
    const int w = image.cx + gap + text.cx;
    const int h = std::max(image.cy, text.cy) + 2;
    int left = 8;
    switch (FCaptionPosition) {
    case cpTopRight:
    case cpBottomRight:
        left = Width() - 8 - w;
        break;
    case cpTopCenter:
    case cpBottomCenter:
        left = (Width() - w) / 2;
        break;
    default:
        break;
    }
    const int top = AtTop() ? 0 : Height() - h;
    return TRect(left, top, left + w, top + h);
}

bool TKvxCustomGroupBox::HasCaptionContent() const {
    return !Caption().empty() || (FImages && FImageIndex >= 0);
}

TRect TKvxCustomGroupBox::FrameRect() const {
    const int ch = std::max(EdgeWidth(), CaptionBox().Height());
    TRect f = ClientRect();
    if (AtTop()) {
        f.Top += ch / 2;
    } else if (HasCaptionContent()) {
        f.Bottom -= ch / 2;
        if (FBorderStyle == TKvxBorderStyle::bsDouble)
            f.Bottom += 1;
    }
    return f;
}

void TKvxCustomGroupBox::AdjustClientRect(TRect& Rect) const {
    const int bw = EdgeWidth();
    const int band = std::max(bw, CaptionBox().Height());
    if (AtTop()) {
        Rect.Top += band;
        Rect.Left += bw;
        Rect.Right -= bw;
        Rect.Bottom -= bw;
    } else {
        Rect.Bottom -= band;
        Rect.Left += bw;
        Rect.Top += bw;
        Rect.Right -= bw;
    }
    InflateRect(Rect, -1, -1);
}

void TKvxCustomGroupBox::Paint() {
    TCanvas& c = *Canvas();
    if (FTransparent) {
        DrawParentBackground(this, c.Handle());
    } else {
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(Color());
        c.FillRect(ClientRect());
    }

    const TRect box = CaptionBox();
    int textLeft = box.Left;
    if (FImages && FImageIndex >= 0) {
        FImages->Draw(&c, box.Left, box.Top, FImageIndex, Enabled());
        textLeft = box.Left + FImages->Width() + 3;
    }
    const std::string caption = Caption();
    if (!caption.empty()) {
        c.Brush()->SetStyle(bsClear);
        c.Font()->Assign(Font());
        TRect t(textLeft, box.Top, box.Right, box.Bottom);
        TDeviceContext& dc = *c.Handle();
        dc.SetBkMode(TRANSPARENT);
        DrawText(dc, caption, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }

    // The caption box is saved and put back over the border, so the line stops at the caption.
    const TRect saved(box.Left - 1, box.Top, box.Right + 1, box.Bottom);
    TBitmap keep(saved.Width(), saved.Height(), pf32bit);
    keep.Canvas()->CopyRect(TRect(0, 0, saved.Width(), saved.Height()), &c, saved);

    const TRect f = FrameRect();
    c.Brush()->SetStyle(bsClear);
    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetWidth(1);
    auto frame = [&](const TRect& r, TColor colour) {
        c.Pen()->SetColor(colour);
        if (FRoundEdges)
            c.RoundRect(r.Left, r.Top, r.Right, r.Bottom, kCornerSize, kCornerSize);
        else
            c.Rectangle(r);
    };
    auto border = [&](const TRect& r) {
        if (FCtl3D) {
            frame(TRect(r.Left + 1, r.Top + 1, r.Right, r.Bottom), clWhite);
            frame(TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), clGray);
        } else {
            frame(r, FBorderColor);
        }
    };
    switch (FBorderStyle) {
    case TKvxBorderStyle::bsSingle:
        border(f);
        break;
    case TKvxBorderStyle::bsDouble:
        border(f);
        border(TRect(f.Left + 2, f.Top + 2, f.Right - 2, f.Bottom - 2));
        break;
    case TKvxBorderStyle::bsNone:
        break;
    }

    if (HasCaptionContent())
        c.CopyRect(saved, keep.Canvas(), TRect(0, 0, saved.Width(), saved.Height()));
}

} // namespace ui
