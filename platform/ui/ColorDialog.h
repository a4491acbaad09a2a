// The colour dialog: 48 basic colours, 16 custom colours kept by the dialog object between runs, and,
// opened fully, a hue and saturation field with a luminance bar, hue/saturation/luminance and
// red/green/blue edits and "Add to Custom Colors".
#pragma once

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"

namespace plat {

using TColorDialogOptions = uint8_t;
inline constexpr TColorDialogOptions cdFullOpen = 1;        // opened with the custom colour part shown
inline constexpr TColorDialogOptions cdPreventFullOpen = 2; // "Define Custom Colors" disabled
inline constexpr TColorDialogOptions cdSolidColor = 8;
inline constexpr TColorDialogOptions cdAnyColor = 16;

class TColorDialog : public TCommonDialog {
    PLAT_CLASS(TColorDialog)
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;

    // True when confirmed: Color holds the colour chosen and CustomColors the 16 custom colours.
    bool Execute() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    // "ColorA=FFFFFF" … "ColorP=…": each custom colour as its colour value in six hexadecimal digits
    // (0xBBGGRR, as TColor holds it); missing entries are white.
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }
    TColorDialogOptions Options() const { return FOptions; }
    void SetOptions(TColorDialogOptions Value) { FOptions = Value; }

private:
    TColor FColor = clBlack;
    std::unique_ptr<TStringList> FCustomColors;
    TColorDialogOptions FOptions = 0;
};

// Hue (0..239), luminance and saturation (0..240) of a colour, and back, as the colour dialog shows them.
void ColorToHLS(TColor Color, int& Hue, int& Luminance, int& Saturation);
TColor ColorHLSToRGB(int Hue, int Luminance, int Saturation);

} // namespace plat
