// The office check box and radio button: a small glyph in normal, hot and pressed looks and a caption in
// the component set's markup, with links that open or report; and the radio group that arranges one
// such radio button per item in columns on a self-drawn group box.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TextAlignment.h"
#include "ui/controls/KvxGroupBox.h"
#include "ui/markup/MarkupText.h"

namespace ui {

class THTMLPictureCache;
class TPictureContainer;

using TAnchorClick = std::function<void(plat::TObject* Sender, const std::string& Anchor)>;
using TEnabledEvent = std::function<void(plat::TObject* Sender, int ItemIndex, bool& Enabled)>;

// Only left and right: the glyph sits at one side of the caption.
using TLeftRight = plat::TAlignment;

// What the check box and the radio button share: the caption and its links, the glyph's looks, the
// mouse and the focus. The two differ in how a press and release change their state.
class TKvxOfficeButtonControl : public plat::TCustomControl {
    PLAT_CLASS(TKvxOfficeButtonControl)
public:
    explicit TKvxOfficeButtonControl(plat::TComponent* AOwner);
    ~TKvxOfficeButtonControl() override;

    virtual uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}

    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);
    plat::TTextLayout ButtonVertAlign() const { return FButtonVertAlign; }
    void SetButtonVertAlign(plat::TTextLayout Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value) { FDown = Value; }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value);
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    plat::TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(plat::TColor Value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value);
    plat::TColor URLColor() const { return FURLColor; }
    void SetURLColor(plat::TColor Value);
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }

    bool Hot() const { return FHot; }
    bool HasFocusMark() const { return FFocused; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TAnchorClick OnAnchorClick;
    TAnchorClick OnAnchorEnter;
    TAnchorClick OnAnchorExit;

protected:
    // Per kind: the letter that names its glyph pictures, the state they show, and the room the caption
    // leaves for the glyph.
    virtual char GlyphKind() const = 0;
    virtual bool GlyphChecked() const = 0;
    virtual int CaptionIndent() const = 0;
    virtual int GlyphColumn() const = 0;
    virtual int BottomGlyphMargin() const { return 0; }
    virtual bool CentersCaptionWithGlyph() const { return false; }
    // Links keep the pass's font colour (true) or take the other pass's colour (false) when disabled.
    virtual bool LinksFollowDisabledText() const { return true; }

    void Paint() override;
    void Dispatch(plat::TMessage& Message) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    // What the accelerator and the space key do to the state.
    virtual void AcceleratorPressed() = 0;

    bool Designing() const;
    void TakeFocus();
    void InvalidateGlyphColumn(int Width, bool AtRight);
    void DrawGlyph(plat::TCanvas& Canvas);
    bool PressedHere() const { return FPressedHere; }
    void SetPressedHere(bool Value) { FPressedHere = Value; }
    bool InsideControl(int X, int Y) const { return X >= 0 && X <= Width() && Y >= 0 && Y <= Height(); }

private:
    // What every layout of the caption passes to the markup renderer.
    TMarkupOptions CaptionOptions() const;
    // The link under a client point of the caption, found by laying it out without drawing.
    std::string LinkAt(int X, int Y);
    void OpenOrReport(const std::string& Link);
    bool GlyphAtRight() const { return FAlignment == plat::taRightJustify; }

    std::unique_ptr<THTMLPictureCache> FCache;
    TLeftRight FAlignment = plat::taLeftJustify;
    plat::TTextLayout FButtonVertAlign = plat::tlTop;
    bool FDown = false;
    bool FEllipsis = false;
    plat::TCustomImageList* FImages = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    plat::TColor FShadowColor = plat::clGray;
    int FShadowOffset = 1;
    plat::TColor FURLColor = plat::clBlue;
    bool FReturnIsTab = false;

    bool FFocused = false;
    bool FHot = false;
    bool FPressedHere = false;
    std::string FLastAnchor;
    plat::TCursor FRememberedCursor = plat::crDefault;
};

class TCustomKvxOfficeCheckBox : public TKvxOfficeButtonControl {
    PLAT_CLASS(TCustomKvxOfficeCheckBox)
public:
    explicit TCustomKvxOfficeCheckBox(plat::TComponent* AOwner);

    // Unless ReadOnly, Checked := not Checked.
    virtual void Toggle();

    plat::TCheckBoxState State() const { return FState; }
    void SetState(plat::TCheckBoxState Value);
    bool GetChecked() const { return FState == plat::cbChecked; }
    // Fires no OnClick.
    void SetChecked(bool Value);
    bool Checked() const { return GetChecked(); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

protected:
    char GlyphKind() const override { return 'C'; }
    bool GlyphChecked() const override { return GetChecked(); }
    int CaptionIndent() const override { return 16; }
    int GlyphColumn() const override { return 20; }
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void KeyUp(uint16_t& Key, plat::TShiftState Shift) override;
    void AcceleratorPressed() override;

private:
    plat::TCheckBoxState FState = plat::cbUnchecked;
    bool FReadOnly = false;
};

class TKvxOfficeCheckBox : public TCustomKvxOfficeCheckBox {
    PLAT_CLASS(TKvxOfficeCheckBox)
public:
    explicit TKvxOfficeCheckBox(plat::TComponent* AOwner) : TCustomKvxOfficeCheckBox(AOwner) {}
};

class TKvxOfficeRadioButton : public TKvxOfficeButtonControl {
    PLAT_CLASS(TKvxOfficeRadioButton)
public:
    explicit TKvxOfficeRadioButton(plat::TComponent* AOwner);

    // Fires OnClick; the only way the radio button's OnClick fires.
    virtual void DoClick();

    bool Checked() const { return FChecked; }
    // Checking unchecks the siblings of the same GroupIndex and, unless a mouse press is taking the
    // focus, clicks.
    void SetChecked(bool Value);
    uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(uint8_t Value) { FGroupIndex = Value; }

protected:
    char GlyphKind() const override { return 'R'; }
    bool GlyphChecked() const override { return FChecked; }
    int CaptionIndent() const override { return 18; }
    int GlyphColumn() const override { return 16; }
    int BottomGlyphMargin() const override { return 2; }
    bool CentersCaptionWithGlyph() const override { return true; }
    bool LinksFollowDisabledText() const override { return false; }
    void Click() override {}
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void KeyUp(uint16_t& Key, plat::TShiftState Shift) override;
    void DoEnter() override;
    void AcceleratorPressed() override;

private:
    bool FChecked = false;
    uint8_t FGroupIndex = 0;
    bool FSuppressClick = false;
};

class TCustomKvxOfficeRadioGroup;

// One radio button of a radio group, made and owned by the group.
class TKvxGroupButton : public TKvxOfficeRadioButton {
    PLAT_CLASS(TKvxGroupButton)
public:
    explicit TKvxGroupButton(TCustomKvxOfficeRadioGroup* Group);
    ~TKvxGroupButton() override;

protected:
    void KeyPress(char32_t& Key) override;
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;

private:
    TCustomKvxOfficeRadioGroup* FGroup;
};

class TCustomKvxOfficeRadioGroup : public TKvxGroupBox {
    PLAT_CLASS(TCustomKvxOfficeRadioGroup)
public:
    explicit TCustomKvxOfficeRadioGroup(plat::TComponent* AOwner);
    ~TCustomKvxOfficeRadioGroup() override;

    uint32_t PackedVersion() const override;
    virtual bool CanModify() const { return true; }

    plat::TStrings* Items() const { return FItems.get(); }
    void SetItems(plat::TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);

    plat::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(plat::TAlignment Value);
    plat::TTextLayout ButtonVertAlign() const { return FButtonVertAlign; }
    void SetButtonVertAlign(plat::TTextLayout Value);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value);
    // The same list serves the group box's caption image.
    void SetImages(plat::TCustomImageList* Value) override;
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    plat::TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(plat::TColor Value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value);

    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TKvxGroupButton* Buttons(int Index) const { return FButtons.at(Index); }

    void SetEnabled(bool Value) override;
    // The buttons are the group's own; a layout holds only the items.
    void GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) override {}

    TEnabledEvent OnIsEnabled;

protected:
    friend class TKvxGroupButton;
    void ReadState(plat::TReader& Reader) override;
    void Loaded() override;
    void Resize() override;
    void CreateWnd() override;
    void Dispatch(plat::TMessage& Message) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    // The keys the buttons pass on.
    virtual void GroupKeyPress(char32_t& Key);
    virtual void GroupKeyDown(uint16_t& Key, plat::TShiftState Shift);

    void ArrangeButtons();

private:
    void ItemsChanged();
    void UpdateButtons();
    void ButtonClick(plat::TObject* Sender);
    void SettingChanged();

    std::unique_ptr<plat::TStringList> FItems;
    std::vector<TKvxGroupButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FReading = false;
    bool FChecking = false;
    plat::TAlignment FAlignment = plat::taLeftJustify;
    plat::TTextLayout FButtonVertAlign = plat::tlTop;
    bool FEllipsis = false;
    TPictureContainer* FPictureContainer = nullptr;
    plat::TColor FShadowColor = plat::clSilver;
    int FShadowOffset = 1;
};

class TKvxOfficeRadioGroup : public TCustomKvxOfficeRadioGroup {
    PLAT_CLASS(TKvxOfficeRadioGroup)
public:
    explicit TKvxOfficeRadioGroup(plat::TComponent* AOwner) : TCustomKvxOfficeRadioGroup(AOwner) {}
};

} // namespace ui
