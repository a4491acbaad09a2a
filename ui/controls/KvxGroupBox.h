// A group box that draws itself: its caption, with an optional image, sits at one of six places on a
// border of three styles with optional round corners, over the parent's background.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>

#include "platform/ui/ImageList.h"
#include "platform/ui/Panel.h"

namespace ui {

// The group box's own border styles, named apart from the platform's form border style so that code
// using both namespaces can name each; scoped for the same reason.
enum class TKvxBorderStyle { bsNone, bsSingle, bsDouble };
inline constexpr const char* kGroupBorderStyleNames[] = {"bsNone", "bsSingle", "bsDouble"};
static_assert(std::size(kGroupBorderStyleNames) == static_cast<int>(TKvxBorderStyle::bsDouble) + 1);

enum TCaptionPosition { cpTopLeft, cpTopRight, cpTopCenter, cpBottomLeft, cpBottomRight, cpBottomCenter };
inline constexpr const char* kCaptionPositionNames[] = {"cpTopLeft",    "cpTopRight",    "cpTopCenter",
                                                        "cpBottomLeft", "cpBottomRight", "cpBottomCenter"};
static_assert(std::size(kCaptionPositionNames) == cpBottomCenter + 1);

class TKvxCustomGroupBox : public plat::TCustomGroupBox {
    PLAT_CLASS(TKvxCustomGroupBox)
public:
    explicit TKvxCustomGroupBox(plat::TComponent* AOwner);

    virtual uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}

    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value);
    TKvxBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TKvxBorderStyle Value);
    TCaptionPosition CaptionPosition() const { return FCaptionPosition; }
    void SetCaptionPosition(TCaptionPosition Value);
    plat::TCustomImageList* Images() const { return FImages; }
    virtual void SetImages(plat::TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);

    void AdjustClientRect(plat::TRect& Rect) const override;

    // Geometry the painting and the children's area share.
    int EdgeWidth() const;
    plat::TRect CaptionBox() const;
    plat::TRect FrameRect() const;

protected:
    void Paint() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    bool HasCaptionContent() const;
    bool AtTop() const { return FCaptionPosition <= cpTopCenter; }
    void Relayout();

    plat::TColor FBorderColor = plat::clSilver;
    TKvxBorderStyle FBorderStyle = TKvxBorderStyle::bsSingle;
    TCaptionPosition FCaptionPosition = cpTopLeft;
    plat::TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
    bool FTransparent = true;
    bool FRoundEdges = false;
    bool FCtl3D = false;
};

class TKvxGroupBox : public TKvxCustomGroupBox {
    PLAT_CLASS(TKvxGroupBox)
public:
    explicit TKvxGroupBox(plat::TComponent* AOwner) : TKvxCustomGroupBox(AOwner) {}
};

} // namespace ui
