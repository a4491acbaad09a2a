// The owner-drawn button of the emulated task dialog: as a command link a small arrow, a bold heading
// line and lines of notes below it; as the expand button only a round picture. A click sets the parent
// form's modal result first, so a command link closes a modal dialog like a push button does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Control.h"

namespace ui {

class TTaskDialogButton : public plat::TCustomControl {
    PLAT_CLASS(TTaskDialogButton)
public:
    explicit TTaskDialogButton(plat::TComponent* AOwner);
    ~TTaskDialogButton() override;

    plat::TBitmap* Picture() const { return FPicture.get(); }
    void SetPicture(plat::TBitmap* Value);
    plat::TBitmap* PictureDisabled() const { return FPictureDisabled.get(); }
    void SetPictureDisabled(plat::TBitmap* Value);
    plat::TBitmap* PictureDown() const { return FPictureDown.get(); }
    void SetPictureDown(plat::TBitmap* Value) { FPictureDown->Assign(Value); }
    plat::TBitmap* PictureHot() const { return FPictureHot.get(); }
    void SetPictureHot(plat::TBitmap* Value) { FPictureHot->Assign(Value); }
    plat::TFont* HeadingFont() const { return FHeadingFont.get(); }
    void SetHeadingFont(plat::TFont* Value) { FHeadingFont->Assign(Value); }

    // BorderColor is kept for callers that set it; only the hot and down borders are drawn.
    plat::TColor BorderColor = plat::clNone;
    plat::TColor BorderColorHot = plat::clNone;
    plat::TColor BorderColorDown = plat::clNone;
    plat::TModalResult ModalResult = plat::mrNone;
    bool FocusOnHover = false;

    bool Hot() const { return FHot; }
    bool Down() const { return FDown; }

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;
    void Dispatch(plat::TMessage& Message) override;

private:
    std::unique_ptr<plat::TBitmap> FPicture, FPictureDisabled, FPictureDown, FPictureHot;
    std::unique_ptr<plat::TFont> FHeadingFont;
    bool FHot = false;
    bool FDown = false;
};

// Cuts a caption at each "\n" escape (backslash and n) or line break, trimming blanks around each line.
void SplitCaptionRows(const std::string& Text, std::vector<std::string>& Lines);
std::string TrimBlanks(const std::string& Text);
// True when the caption has more than one line for a command link.
bool HasCaptionBreak(const std::string& Text);

// Size of a command link's caption: the first line in HeadingFont, further lines in Font (Padded adds the
// room the button draws around them). The canvas font is as before afterwards.
void MeasureCommandLinkText(plat::TCanvas& Canvas, const std::string& Text, plat::TFont* HeadingFont,
                            bool Padded, int& Height, int& Width, uint32_t Flags, plat::TFont* Font);

// The pictures the emulated dialog gives its buttons, by resource name ("TD_ARW", "TD_ARWHOT",
// "TD_ARWDOWN", "TD_ARWDIS", "TD_COLP", "TD_COLPHOT", "TD_COLPDOWN", "TD_EXP", "TD_EXPHOT",
// "TD_EXPDOWN"); transparent colour 0xFF00FF. Drawn here, so no picture file has to ship with them.
void LoadTaskDialogPicture(plat::TBitmap& Bitmap, const std::string& Name);

} // namespace ui
