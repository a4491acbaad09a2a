// The font dialog: the installed font families, the style, the size, the effects (strike-out,
// underline, colour) and a sample of the result.
#pragma once

#include <memory>

#include "platform/gfx/Canvas.h"
#include "platform/ui/Dialogs.h"

namespace plat {

using TFontDialogOptions = uint16_t;
inline constexpr TFontDialogOptions fdEffects = 1u << 2;        // strike-out, underline and colour offered
inline constexpr TFontDialogOptions fdForceFontExist = 1u << 4; // only a family of the list is taken
inline constexpr TFontDialogOptions fdLimitSize = 1u << 13;     // sizes between MinFontSize and MaxFontSize

class TFontDialog : public TCommonDialog {
    PLAT_CLASS(TFontDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;

    // True when confirmed; Font then holds the choice (a family name typed by the user is taken as it
    // is unless fdForceFontExist).
    bool Execute() override;

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TFontDialogOptions Options() const { return FOptions; }
    void SetOptions(TFontDialogOptions Value) { FOptions = Value; }
    // Limits of the size in points with fdLimitSize (0: no limit on that side).
    int MinFontSize() const { return FMinFontSize; }
    void SetMinFontSize(int Value) { FMinFontSize = Value; }
    int MaxFontSize() const { return FMaxFontSize; }
    void SetMaxFontSize(int Value) { FMaxFontSize = Value; }

private:
    std::unique_ptr<TFont> FFont;
    TFontDialogOptions FOptions = fdEffects;
    int FMinFontSize = 0;
    int FMaxFontSize = 0;
};

} // namespace plat
