// The gradient splitter: the platform splitter with a two-colour gradient bar that turns to hot colours
// under the mouse, a grip (or a glyph) in its middle, and a double click that gives the neighbouring
// control a fixed size.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Persistent.h"
#include "platform/ui/Splitter.h"
#include "ui/drawing/KvxStyleIF.h"

namespace ui {

namespace kvxsplitter {
enum TGradientDirection : uint8_t { gdHorizontal, gdVertical };
inline constexpr const char* kGradientDirectionNames[] = {"gdHorizontal", "gdVertical"};
static_assert(std::size(kGradientDirectionNames) == gdVertical + 1);

// dtFixed: Direction decides; dtAuto: the colour changes across the bar; dtAutoInvers: along it.
enum TDirectionType : uint8_t { dtFixed, dtAuto, dtAutoInvers };
inline constexpr const char* kDirectionTypeNames[] = {"dtFixed", "dtAuto", "dtAutoInvers"};
static_assert(std::size(kDirectionTypeNames) == dtAutoInvers + 1);

enum TSplitterGripStyle : uint8_t { sgDots, sgSingleLine, sgDoubleLine, sgFlatDots, sgNone };
inline constexpr const char* kSplitterGripStyleNames[] = {"sgDots", "sgSingleLine", "sgDoubleLine",
                                                          "sgFlatDots", "sgNone"};
static_assert(std::size(kSplitterGripStyleNames) == sgNone + 1);
} // namespace kvxsplitter

class TSplitterAppearance : public plat::TPersistent {
    PLAT_CLASS(TSplitterAppearance)
public:
    TSplitterAppearance() = default;
    // Copies everything but DirectionType, without notifying.
    void Assign(plat::TPersistent* Source) override;

    int Steps() const { return FSteps; }
    void SetSteps(int Value) { FSteps = Value; }
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value) { SetField(FColor, Value); }
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value) { SetField(FColorTo, Value); }
    kvxsplitter::TGradientDirection Direction() const { return FDirection; }
    void SetDirection(kvxsplitter::TGradientDirection Value) { SetField(FDirection, Value); }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value) { SetField(FBorderColor, Value); }
    plat::TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(plat::TColor Value) { SetField(FColorHotTo, Value); }
    plat::TColor ColorHot() const { return FColorHot; }
    void SetColorHot(plat::TColor Value) { SetField(FColorHot, Value); }
    plat::TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(plat::TColor Value) { SetField(FBorderColorHot, Value); }
    kvxsplitter::TDirectionType DirectionType() const { return FDirectionType; }
    void SetDirectionType(kvxsplitter::TDirectionType Value) { FDirectionType = Value; }

    plat::TNotifyEvent OnChange;

private:
    template <class T> void SetField(T& Field, T Value) {
        if (Field == Value)
            return;
        Field = Value;
        if (OnChange)
            OnChange(this);
    }

    int FSteps = 64;
    plat::TColor FColor = 0xFFFFFF;
    plat::TColor FColorTo = 0xC0C0C0;
    kvxsplitter::TGradientDirection FDirection = kvxsplitter::gdHorizontal;
    plat::TColor FBorderColor = plat::clNone;
    plat::TColor FColorHotTo = 0x808080;
    plat::TColor FColorHot = 0xFFFFFF;
    plat::TColor FBorderColorHot = plat::clNone;
    kvxsplitter::TDirectionType FDirectionType = kvxsplitter::dtAuto;
};

class TKvxCustomSplitter : public plat::TSplitter, public IStyleable {
    PLAT_CLASS(TKvxCustomSplitter)
public:
    explicit TKvxCustomSplitter(plat::TComponent* AOwner);
    ~TKvxCustomSplitter() override;

    void ApplyStyle(TKVXStyle Style) override;

    TSplitterAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TSplitterAppearance* Value);
    int DefaultSize() const { return FDefaultSize; }
    void SetDefaultSize(int Value) { FDefaultSize = Value; }
    plat::TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(plat::TBitmap* Value);
    kvxsplitter::TSplitterGripStyle GripStyle() const { return FGripStyle; }
    void SetGripStyle(kvxsplitter::TSplitterGripStyle Value);
    bool Hot() const { return FHot; }
    uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}

protected:
    void Paint() override;
    void DblClick() override;
    void WndProc(plat::TMessage& Message) override;

private:
    void DrawGrip(plat::TCanvas& Canvas, const plat::TRect& R);
    void AppearanceChanged(plat::TObject*) { Invalidate(); }

    std::unique_ptr<TSplitterAppearance> FAppearance;
    std::unique_ptr<plat::TBitmap> FGlyph;
    int FDefaultSize = 0;
    kvxsplitter::TSplitterGripStyle FGripStyle = kvxsplitter::sgDots;
    bool FHot = false;
};

class TKvxSplitter : public TKvxCustomSplitter {
    PLAT_CLASS(TKvxSplitter)
public:
    explicit TKvxSplitter(plat::TComponent* AOwner) : TKvxCustomSplitter(AOwner) {}
};

} // namespace ui
