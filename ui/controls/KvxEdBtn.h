// The typed edit with a small button inside its right border: clicking the button or pressing F4 runs
// ButtonClick, which descendants fill with a dialog. The button looks like a push button or a combo
// box's drop-down button, themed when the visual styles are on.
#pragma once

#include <string>

#include "platform/ui/SpeedButton.h"
#include "ui/controls/KvxEdit.h"

namespace ui {

// The glow button has a button style of its own with a like-named value; each unit keeps its own.
namespace edbtn {
enum TButtonStyle { bsButton, bsDropDown };
inline constexpr const char* kButtonStyleNames[] = {"bsButton", "bsDropDown"};
static_assert(std::size(kButtonStyleNames) == bsDropDown + 1);
} // namespace edbtn

class TKvxEditBtn;

// The speed button of the edit: paints itself by the owning edit's ButtonStyle and flat look.
class TKvxSpeedButton : public plat::TSpeedButton {
    PLAT_CLASS(TKvxSpeedButton)
public:
    explicit TKvxSpeedButton(plat::TComponent* AOwner);

    bool Etched() const { return FEtched; }
    void SetEtched(bool Value);
    bool Focused() const { return FFocused; }
    void SetFocused(bool Value);
    bool Hot() const { return MouseInControl(); }
    // The edit whose look the button follows (null: a plain speed button).
    TKvxEditBtn* Edit = nullptr;

protected:
    void Paint() override;

private:
    void PaintGlyphAndText(plat::TCanvas& Canvas, bool Down, bool Disabled, bool Classic);
    bool FEtched = false;
    bool FFocused = false;
    bool FComCtl6 = true;
};

// The windowed holder of the speed button; its width is the button width.
class TEditButton : public plat::TWinControl {
    PLAT_CLASS(TEditButton)
public:
    explicit TEditButton(plat::TComponent* AOwner);

    TKvxSpeedButton* Button() const { return FButton; }
    plat::TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(plat::TWinControl* Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    plat::TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(plat::TBitmap* Value) { FButton->SetGlyph(Value); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int Value) { FButton->SetNumGlyphs(Value); }
    std::string ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const std::string& Value) { FButton->SetCaption(Value); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetEnabled(bool Value) override;

    plat::TNotifyEvent OnClick;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    void ButtonMouseUp(plat::TMouseButton Button);
    TKvxSpeedButton* FButton = nullptr;
    plat::TWinControl* FFocusControl = nullptr;
    int FButtonWidth = 16;
};

class TKvxEditBtn : public TKvxEdit {
    PLAT_CLASS(TKvxEditBtn)
public:
    explicit TKvxEditBtn(plat::TComponent* AOwner);
    ~TKvxEditBtn() override;

    uint32_t PackedVersion() const override;
    // Fires OnClickBtn; descendants show their dialog here.
    virtual void ButtonClick();

    edbtn::TButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(edbtn::TButtonStyle Value);
    int ButtonWidth() const { return FButton ? FButton->ButtonWidth() : 17; }
    void SetButtonWidth(int Value);
    const std::string& ButtonHint() const { return FButtonHint; }
    void SetButtonHint(const std::string& Value);
    std::string ButtonCaption() const { return FButton ? FButton->ButtonCaption() : std::string(); }
    void SetButtonCaption(const std::string& Value);
    plat::TBitmap* Glyph() const { return FButton ? FButton->Glyph() : nullptr; }
    void SetGlyph(plat::TBitmap* Value);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    void SetFlat(bool Value) override;
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value);
    void SetReadOnly(bool Value);
    void SetEnabled(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TEditButton* Button() const { return FButton; }
    // The button counts as disabled while the edit is disabled or read-only.
    bool ButtonDisabled() const { return !Enabled() || ReadOnly(); }
    // The least height that shows the font: lower edits are raised to it.
    int MinHeight() const;

    plat::TNotifyEvent OnClickBtn;

protected:
    void CreateWnd() override;
    void WndProc(plat::TMessage& Message) override;
    void UpdateEditRect(bool AFlat) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void Loaded() override;
    // The button is part of the edit, made by its constructor: it is never written as a child.
    void GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) override;

private:
    void Layout();
    void UpdateButtonLook();
    TEditButton* FButton = nullptr;
    edbtn::TButtonStyle FButtonStyle = edbtn::bsButton;
    std::string FButtonHint;
    bool FEditorEnabled = true;
    bool FEtched = false;
    bool FHover = false;
};

} // namespace ui
