// Task dialogs: a non-visual component that shows a window title, a main instruction, content, an icon,
// common and custom buttons or command links, radio buttons, an expandable text, a verification box, a
// progress bar and a footer, and returns the button that closed it. This platform has no task dialog of
// its own, so Execute always builds the emulated form (TKvxMessageForm). TKvxInputTaskDialog adds an
// input control (edit, memo, combo box, date picker or the caller's own control).
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Icon.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Form.h"

namespace plat {
class TButton;
class TCheckBox;
class TComboBox;
class TDateTimePicker;
class TEdit;
class TLabel;
class TMemo;
class TProgressBar;
class TRadioButton;
class TTimer;
} // namespace plat

namespace ui {

class TTaskDialogButton;
class TKvxMessageForm;

enum TCommonButton { cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose };
inline constexpr const char* kCommonButtonNames[] = {"cbOK",     "cbYes",   "cbNo",
                                                     "cbCancel", "cbRetry", "cbClose"};
static_assert(std::size(kCommonButtonNames) == cbClose + 1);
using TCommonButtons = uint8_t; // bit i: TCommonButton i
constexpr TCommonButtons CommonButtonBit(TCommonButton b) {
    return static_cast<TCommonButtons>(1u << b);
}

enum TTaskDialogOption {
    doHyperlinks,
    doCommandLinks,
    doCommandLinksNoIcon,
    doExpandedDefault,
    doExpandedFooter,
    doAllowMinimize,
    doVerifyChecked,
    doProgressBar,
    doProgressBarMarquee,
    doTimer,
    doNoDefaultRadioButton,
    doAllowDialogCancel
};
inline constexpr const char* kTaskDialogOptionNames[] = {
    "doHyperlinks",         "doCommandLinks",  "doCommandLinksNoIcon",   "doExpandedDefault",
    "doExpandedFooter",     "doAllowMinimize", "doVerifyChecked",        "doProgressBar",
    "doProgressBarMarquee", "doTimer",         "doNoDefaultRadioButton", "doAllowDialogCancel"};
static_assert(std::size(kTaskDialogOptionNames) == doAllowDialogCancel + 1);
using TTaskDialogOptions = uint16_t; // bit i: TTaskDialogOption i
constexpr TTaskDialogOptions OptionBit(TTaskDialogOption o) {
    return static_cast<TTaskDialogOptions>(1u << o);
}

enum TTaskDialogIcon { tiBlank, tiWarning, tiQuestion, tiError, tiInformation, tiNotUsed, tiShield };
inline constexpr const char* kTaskDialogIconNames[] = {"tiBlank",       "tiWarning", "tiQuestion", "tiError",
                                                       "tiInformation", "tiNotUsed", "tiShield"};
static_assert(std::size(kTaskDialogIconNames) == tiShield + 1);

enum TTaskDialogFooterIcon { tfiBlank, tfiWarning, tfiQuestion, tfiError, tfiInformation, tfiShield };
inline constexpr const char* kTaskDialogFooterIconNames[] = {"tfiBlank", "tfiWarning",     "tfiQuestion",
                                                             "tfiError", "tfiInformation", "tfiShield"};
static_assert(std::size(kTaskDialogFooterIconNames) == tfiShield + 1);

enum TTaskDialogPosition { dpScreenCenter, dpOwnerFormCenter };
inline constexpr const char* kTaskDialogPositionNames[] = {"dpScreenCenter", "dpOwnerFormCenter"};
static_assert(std::size(kTaskDialogPositionNames) == dpOwnerFormCenter + 1);

enum TNonNativeDialog { nndAuto, nndAlways };
inline constexpr const char* kNonNativeDialogNames[] = {"nndAuto", "nndAlways"};
static_assert(std::size(kNonNativeDialogNames) == nndAlways + 1);

enum TInputType { itEdit, itMemo, itComboEdit, itComboList, itDate, itCustom, itNone };
inline constexpr const char* kInputTypeNames[] = {"itEdit", "itMemo",   "itComboEdit", "itComboList",
                                                  "itDate", "itCustom", "itNone"};
static_assert(std::size(kInputTypeNames) == itNone + 1);

enum TTaskDialogProgressState { tpsNormal, tpsError, tpsPaused };

using TDialogCloseEvent = std::function<void(plat::TObject* Sender, bool& CanClose)>;
using TDialogButtonClickEvent = std::function<void(plat::TObject* Sender, int ButtonID)>;
using TDialogHyperlinkClickEvent = std::function<void(plat::TObject* Sender, const std::string& HRef)>;
using TDialogVerifyClickEvent = std::function<void(plat::TObject* Sender, bool Checked)>;
using TDialogProgressEvent =
    std::function<void(plat::TObject* Sender, int& Pos, TTaskDialogProgressState& State)>;
using TDialogInputSetTextEvent = std::function<void(plat::TObject* Sender, const std::string& Text)>;
using TDialogInputGetTextEvent = std::function<void(plat::TObject* Sender, std::string& Text)>;

// Opens a link of a dialog text the way the desktop does (web and mail links only), never elevated.
void OpenHyperlink(const std::string& Url);

class TCustomKvxTaskDialog : public plat::TComponent {
    PLAT_CLASS(TCustomKvxTaskDialog)
public:
    explicit TCustomKvxTaskDialog(plat::TComponent* AOwner);
    ~TCustomKvxTaskDialog() override;

    // Shows the dialog modally; the identifier of the button that closed it (OK 1, Cancel 2, Close 3,
    // Retry 4, Yes 6, No 7, custom 100 + index).
    virtual int Execute();

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    const std::string& Instruction() const { return FInstruction; }
    void SetInstruction(const std::string& Value);
    const std::string& Content() const { return FContent; }
    void SetContent(const std::string& Value);
    TTaskDialogIcon Icon() const { return FIcon; }
    void SetIcon(TTaskDialogIcon Value) { FIcon = Value; }
    plat::TIcon* CustomIcon() const { return FCustomIcon.get(); }
    void SetCustomIcon(plat::TIcon* Value) { FCustomIcon->Assign(Value); }
    TCommonButtons CommonButtons() const { return FCommonButtons; }
    void SetCommonButtons(TCommonButtons Value) { FCommonButtons = Value; }
    int DefaultButton() const { return FDefaultButton; }
    void SetDefaultButton(int Value) { FDefaultButton = Value; }
    plat::TStringList* CustomButtons() const { return FCustomButtons.get(); }
    void SetCustomButtons(plat::TStrings* Value) { FCustomButtons->Assign(Value); }
    plat::TStringList* RadioButtons() const { return FRadioButtons.get(); }
    void SetRadioButtons(plat::TStrings* Value) { FRadioButtons->Assign(Value); }
    int DefaultRadioButton() const { return FDefaultRadioButton; }
    void SetDefaultRadioButton(int Value) { FDefaultRadioButton = Value; }
    TTaskDialogPosition DialogPosition() const { return FDialogPosition; }
    void SetDialogPosition(TTaskDialogPosition Value) { FDialogPosition = Value; }
    const std::string& ExpandedText() const { return FExpandedText; }
    void SetExpandedText(const std::string& Value);
    const std::string& ExpandControlText() const { return FExpandControlText; }
    void SetExpandControlText(const std::string& Value) { FExpandControlText = Value; }
    const std::string& CollapsControlText() const { return FCollapsControlText; }
    void SetCollapsControlText(const std::string& Value) { FCollapsControlText = Value; }
    const std::string& Footer() const { return FFooter; }
    void SetFooter(const std::string& Value);
    TTaskDialogFooterIcon FooterIcon() const { return FFooterIcon; }
    void SetFooterIcon(TTaskDialogFooterIcon Value) { FFooterIcon = Value; }
    const std::string& VerificationText() const { return FVerificationText; }
    void SetVerificationText(const std::string& Value) { FVerificationText = Value; }
    TTaskDialogOptions Options() const { return FOptions; }
    void SetOptions(TTaskDialogOptions Value) { FOptions = Value; }
    bool HasOption(TTaskDialogOption O) const { return (FOptions & OptionBit(O)) != 0; }
    bool ApplicationIsParent() const { return FApplicationIsParent; }
    void SetApplicationIsParent(bool Value) { FApplicationIsParent = Value; }
    TNonNativeDialog NonNativeDialog() const { return FNonNativeDialog; }
    void SetNonNativeDialog(TNonNativeDialog Value) { FNonNativeDialog = Value; }
    int NonNativeMinFormWidth() const { return FNonNativeMinFormWidth; }
    void SetNonNativeMinFormWidth(int Value) { FNonNativeMinFormWidth = Value; }
    int ProgressBarMin() const { return FProgressBarMin; }
    void SetProgressBarMin(int Value) { FProgressBarMin = Value; }
    int ProgressBarMax() const { return FProgressBarMax; }
    void SetProgressBarMax(int Value) { FProgressBarMax = Value; }
    TInputType InputType() const { return FInputType; }
    void SetInputType(TInputType Value) { FInputType = Value; }
    const std::string& InputText() const { return FInputText; }
    void SetInputText(const std::string& Value) { FInputText = Value; }
    plat::TStringList* InputItems() const { return FInputItems.get(); }
    void SetInputItems(plat::TStrings* Value) { FInputItems->Assign(Value); }
    plat::TWinControl* InputControl() const { return FInputControl; }
    void SetInputControl(plat::TWinControl* Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}

    // Results and state that are not streamed.
    int RadioButtonResult = 0;
    bool VerifyResult = false;
    uintptr_t DialogHandle = 0; // a native dialog's window; there is none here
    plat::HWND ParentHandle = nullptr;
    TKvxMessageForm* MessageForm = nullptr;

    plat::TNotifyEvent OnDialogCreated;
    TDialogCloseEvent OnDialogClose;
    TDialogButtonClickEvent OnDialogButtonClick;
    TDialogButtonClickEvent OnDialogRadioClick;
    TDialogHyperlinkClickEvent OnDialogHyperlinkClick;
    plat::TNotifyEvent OnDialogTimer;
    TDialogVerifyClickEvent OnDialogVerifyClick;
    TDialogProgressEvent OnDialogProgress;
    TDialogInputSetTextEvent OnDialogInputSetText;
    TDialogInputGetTextEvent OnDialogInputGetText;

    // What the emulation builds its controls with; a descendant may use other button classes. Each
    // acts only on a plat::TButton (or radio button) where a button is expected.
    virtual plat::TWinControl* CreateButton(plat::TComponent* AOwner);
    virtual plat::TWinControl* CreateRadioButton(plat::TComponent* AOwner);
    virtual void InitRadioButton(plat::TCustomForm* Form, plat::TWinControl* Radio,
                                 plat::TNotifyEvent OnClick, int Index);
    virtual void SetRadioChecked(plat::TWinControl* Radio, bool Checked);
    virtual void SetControlText(plat::TWinControl* Control, const std::string& Text);
    virtual void SetButtonCaption(plat::TWinControl* Button, const std::string& Caption);
    virtual void SetButtonCancel(plat::TWinControl* Button, bool Cancel);
    virtual void SetButtonDefault(plat::TWinControl* Button, bool Default);
    virtual void SetButtonModalResult(plat::TWinControl* Button, int Result);
    virtual int GetButtonModalResult(plat::TWinControl* Button);

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    void TextChanged();

    std::string FTitle, FInstruction, FContent;
    TTaskDialogIcon FIcon = tiBlank;
    std::unique_ptr<plat::TIcon> FCustomIcon;
    TCommonButtons FCommonButtons = 0;
    int FDefaultButton = 0;
    std::unique_ptr<plat::TStringList> FCustomButtons, FRadioButtons, FInputItems;
    int FDefaultRadioButton = 200;
    TTaskDialogPosition FDialogPosition = dpScreenCenter;
    std::string FExpandedText, FExpandControlText, FCollapsControlText, FFooter, FVerificationText;
    TTaskDialogFooterIcon FFooterIcon = tfiBlank;
    TTaskDialogOptions FOptions = 0;
    bool FApplicationIsParent = true;
    TNonNativeDialog FNonNativeDialog = nndAuto;
    int FNonNativeMinFormWidth = 350;
    int FProgressBarMin = 0, FProgressBarMax = 100;
    TInputType FInputType = itNone;
    std::string FInputText;
    plat::TWinControl* FInputControl = nullptr;
};

class TKvxTaskDialog : public TCustomKvxTaskDialog {
    PLAT_CLASS(TKvxTaskDialog)
public:
    explicit TKvxTaskDialog(plat::TComponent* AOwner) : TCustomKvxTaskDialog(AOwner) {}
};

class TKvxInputTaskDialog : public TCustomKvxTaskDialog {
    PLAT_CLASS(TKvxInputTaskDialog)
public:
    explicit TKvxInputTaskDialog(plat::TComponent* AOwner);
    int Execute() override;
};

// Builds the emulated form for the dialog, shows it modally at (X, Y) (centred where negative) and
// answers its modal result; -1 for a null dialog.
int ShowEmulatedTaskDialog(TCustomKvxTaskDialog* Dialog, int X, int Y);

// The emulated task dialog: a white form with the instruction beside a 32-pixel icon, the content, an
// input control, a progress bar, radio buttons, an expandable text, command links or push buttons in a
// grey band, a verification box and a footer with a 16-pixel icon.
class TKvxMessageForm : public plat::TForm {
    PLAT_CLASS(TKvxMessageForm)
public:
    explicit TKvxMessageForm(plat::TComponent* AOwner);
    ~TKvxMessageForm() override;

    void BuildDialog(TCustomKvxTaskDialog* Dialog);
    void ArrangeControls();
    void UpdateDialog();
    void SetExpanded(bool Value);
    void ToggleExpanded();
    bool Expanded() const { return FExpanded; }
    int MinFormWidth = 350;

    // Layout results tests and painting read.
    int HorzMargin() const { return FHorzMargin; }
    int VertMargin() const { return FVertMargin; }
    int HorzSpacing() const { return FHorzSpacing; }
    int VertSpacing() const { return FVertSpacing; }
    int ButtonHeight() const { return FButtonHeight; }
    int BandTop() const { return FBandTop; }
    plat::TRect ContentRect() const;
    plat::TRect ExpandedTextRect() const;
    plat::TRect FooterRect() const;
    const std::vector<plat::TWinControl*>& CommonButtonList() const { return FCommonButtons; }
    const std::vector<plat::TWinControl*>& CustomButtonList() const { return FCustomButtons; }
    const std::vector<plat::TWinControl*>& RadioButtonList() const { return FRadioButtons; }
    plat::TTimer* Timer() const { return FTimer; }
    plat::TProgressBar* ProgressBar() const { return FProgressBar; }
    // The link target under a client point, empty for none.
    std::string AnchorAt(int X, int Y);
    // Width and height of a plain text as the dialog draws it (word-wrapped in Width, 1000 when 0).
    void MeasureText(const std::string& Text, int& Height, int& Width);

protected:
    void Paint() override;
    void DoShow() override;
    void DoClose(plat::TCloseAction& Action) override;
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void Dispatch(plat::TMessage& Message) override;

private:
    void ComputeMetrics();
    void FormKeyDown(plat::TObject* Sender, uint16_t& Key, plat::TShiftState Shift);
    void CommandLinkClick(plat::TObject* Sender);
    void RadioClick(plat::TObject* Sender);
    void VerificationClick(plat::TObject* Sender);
    void TimerTick(plat::TObject* Sender);
    void CMDialogChar(plat::TMessage& Message);
    // Measures a text shown through the markup renderer (or plainly) in Rect.
    void MeasureDialogText(const std::string& Text, bool Markup, const plat::TRect& Rect, int& Width,
                           int& Height);
    void DrawDialogText(const std::string& Text, bool Markup, const plat::TRect& Rect);
    int MeasureSingleLine(const std::string& Text);
    bool HasImage() const { return FImage != nullptr; }

    TCustomKvxTaskDialog* FDialog = nullptr;
    plat::TLabel* FInstr = nullptr;
    int FHorzMargin = 0, FVertMargin = 0, FHorzSpacing = 0, FVertSpacing = 0;
    int FButtonHeight = 0, FButtonSpacing = 0;
    TTaskDialogButton* FExpandButton = nullptr;
    bool FExpanded = true;
    std::vector<plat::TWinControl*> FCommonButtons, FCustomButtons, FRadioButtons;
    plat::TControl* FFooterImage = nullptr;
    int FFooterIconId = 0;
    plat::TCheckBox* FVerification = nullptr;
    plat::TProgressBar* FProgressBar = nullptr;
    plat::TControl* FImage = nullptr;
    int FFooterWidth = 0, FFooterHeight = 0;
    int FContentWidth = 0, FContentHeight = 0;
    int FExpandedWidth = 0, FExpandedHeight = 0, FExpandedTop = 0;
    std::string FAnchor;
    plat::TTimer* FTimer = nullptr;
    int FBandTop = 0;
    int FContentLeft = 0;
    plat::TEdit* FEdit = nullptr;
    plat::TComboBox* FCombo = nullptr;
    plat::TDateTimePicker* FDatePicker = nullptr;
    plat::TMemo* FMemo = nullptr;
    plat::TWinControl* FOldParent = nullptr;
    std::unique_ptr<plat::TBitmap> FMeasure; // a canvas for measuring before the window exists
};

} // namespace ui
