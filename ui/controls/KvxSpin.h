// The spin edit: a one-line edit holding an integer, a float, a date, a time or a hexadecimal value,
// stepped by a pair of auto-repeating arrow buttons at its right edge, by the arrow and page keys and by
// Ctrl+Enter, with an optional flat look, focus colours and an attached label.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/ui/Edit.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/Timer.h"
#include "ui/controls/AttachedLabel.h"

namespace ui {

enum TSpinDirection : uint8_t { spVertical, spHorizontal };
inline constexpr const char* kSpinDirectionNames[] = {"spVertical", "spHorizontal"};
static_assert(std::size(kSpinDirectionNames) == spHorizontal + 1);

enum TSpinArrow : uint8_t { saUp, saDown, saLeft, saRight };

// A flat push button that repeats its click while held (first after 400 ms, then every 100 ms while the
// pointer stays on it) and draws a themed spin arrow when a visual style is active.
class TKvxTimerSpeedButton : public plat::TSpeedButton {
    PLAT_CLASS(TKvxTimerSpeedButton)
public:
    explicit TKvxTimerSpeedButton(plat::TComponent* AOwner);

    TSpinArrow Arrow() const { return FArrow; }
    void SetArrow(TSpinArrow Value);
    bool RepeatAllowed() const { return FRepeatAllowed; }
    void SetRepeatAllowed(bool Value) { FRepeatAllowed = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool Hot() const { return FHot; }
    // The repeat timer; null until the first press.
    plat::TTimer* RepeatTimer() const { return FRepeatTimer; }

protected:
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void Paint() override;
    void Dispatch(plat::TMessage& Message) override;

private:
    void TimerExpired();
    void InvalidateParent();

    TSpinArrow FArrow = saUp;
    bool FRepeatAllowed = false;
    bool FStyledPlatform = false;
    bool FHot = false;
    bool FTransparent = false;
    plat::TTimer* FRepeatTimer = nullptr;
};

// The pair of arrow buttons: laid out one over the other (or side by side), Space and the arrow keys
// click them, and a press hands the focus to FocusControl.
class TKvxSpinButton : public plat::TWinControl {
    PLAT_CLASS(TKvxSpinButton)
public:
    explicit TKvxSpinButton(plat::TComponent* AOwner);
    ~TKvxSpinButton() override;

    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection Value);
    plat::TBitmap* UpGlyph() const { return FUpButton->Glyph(); }
    void SetUpGlyph(plat::TBitmap* Value);
    plat::TBitmap* DownGlyph() const { return FDownButton->Glyph(); }
    void SetDownGlyph(plat::TBitmap* Value);
    int UpNumGlyphs() const { return FUpButton->NumGlyphs(); }
    void SetUpNumGlyphs(int Value) { FUpButton->SetNumGlyphs(Value); }
    int DownNumGlyphs() const { return FDownButton->NumGlyphs(); }
    void SetDownNumGlyphs(int Value) { FDownButton->SetNumGlyphs(Value); }
    plat::TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(plat::TWinControl* Value);

    TKvxTimerSpeedButton* UpButton() const { return FUpButton; }
    TKvxTimerSpeedButton* DownButton() const { return FDownButton; }
    // The button Space clicks.
    TKvxTimerSpeedButton* FocusedButton() const { return FFocusedButton; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    plat::TNotifyEvent OnUpClick;
    plat::TNotifyEvent OnDownClick;

protected:
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;
    void Dispatch(plat::TMessage& Message) override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    // The arrow buttons are part of the control, made by its constructor: never written as children.
    void GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) override;

private:
    TKvxTimerSpeedButton* CreateButton();
    void BtnClick(plat::TObject* Sender);
    void BtnMouseDown(plat::TObject* Sender, plat::TMouseButton Button);
    void SetFocusBtn(TKvxTimerSpeedButton* Btn);
    // Widens W to the direction's minimum and places the buttons for W by H.
    void AdjustButtonSize(int& W, int H);

    TKvxTimerSpeedButton* FUpButton = nullptr;
    TKvxTimerSpeedButton* FDownButton = nullptr;
    TKvxTimerSpeedButton* FFocusedButton = nullptr;
    TSpinDirection FDirection = spVertical;
    plat::TWinControl* FFocusControl = nullptr;
};

// The built-in 9 by 6 arrow glyph: a black triangle on an olive ground that drawing treats as
// transparent.
void LoadSpinGlyph(plat::TBitmap& Bitmap, bool Up);

enum TKvxSpinType : uint8_t { sptNormal, sptFloat, sptDate, sptTime, sptHex };
inline constexpr const char* kKvxSpinTypeNames[] = {"sptNormal", "sptFloat", "sptDate", "sptTime", "sptHex"};
static_assert(std::size(kKvxSpinTypeNames) == sptHex + 1);

// The typed edit has an alignment of the same name with one value more; each unit keeps its own.
namespace spin {
enum TEditAlign : uint8_t { eaLeft, eaRight, eaCenter };
inline constexpr const char* kEditAlignNames[] = {"eaLeft", "eaRight", "eaCenter"};
static_assert(std::size(kEditAlignNames) == eaCenter + 1);
} // namespace spin

class TKvxSpinEdit : public plat::TCustomEdit {
    PLAT_CLASS(TKvxSpinEdit)
public:
    explicit TKvxSpinEdit(plat::TComponent* AOwner);
    ~TKvxSpinEdit() override;

    virtual uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}
    // The character filter; may replace Key.
    virtual bool IsValidChar(char32_t& Key);
    virtual void UpClick(plat::TObject* Sender);
    virtual void DownClick(plat::TObject* Sender);

    // ---- Values ----
    TKvxSpinType SpinType() const { return FSpinType; }
    void SetSpinType(TKvxSpinType Value);
    int Value() const;
    void SetValue(int Value);
    double FloatValue() const;
    void SetFloatValue(double Value);
    plat::TDateTime DateValue() const;
    void SetDateValue(plat::TDateTime Value);
    plat::TDateTime TimeValue() const;
    void SetTimeValue(plat::TDateTime Value);
    int HexValue() const;
    void SetHexValue(int Value);

    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    double MinFloatValue() const { return FMinFloatValue; }
    void SetMinFloatValue(double Value) { FMinFloatValue = Value; }
    double MaxFloatValue() const { return FMaxFloatValue; }
    void SetMaxFloatValue(double Value) { FMaxFloatValue = Value; }
    plat::TDateTime MinDateValue() const { return FMinDateValue; }
    void SetMinDateValue(plat::TDateTime Value) { FMinDateValue = Value; }
    plat::TDateTime MaxDateValue() const { return FMaxDateValue; }
    void SetMaxDateValue(plat::TDateTime Value) { FMaxDateValue = Value; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    int IncrementPage() const { return FIncrementPage; }
    void SetIncrementPage(int Value) { FIncrementPage = Value; }
    double IncrementFloat() const { return FIncrementFloat; }
    void SetIncrementFloat(double Value) { FIncrementFloat = Value; }
    double IncrementFloatPage() const { return FIncrementFloatPage; }
    void SetIncrementFloatPage(double Value) { FIncrementFloatPage = Value; }
    bool IncrementSmart() const { return FIncrementSmart; }
    void SetIncrementSmart(bool Value) { FIncrementSmart = Value; }
    int IncrementHours() const { return FIncrementHours; }
    void SetIncrementHours(int Value) { FIncrementHours = Value; }
    int IncrementMinutes() const { return FIncrementMinutes; }
    void SetIncrementMinutes(int Value) { FIncrementMinutes = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool Value);
    bool Signed() const { return FSigned; }
    void SetSigned(bool Value) { FSigned = Value; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    bool AllowNullValue() const { return FAllowNullValue; }
    void SetAllowNullValue(bool Value) { FAllowNullValue = Value; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool Value) { FAutoFocus = Value; }

    // ---- Look ----
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection Value);
    spin::TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(spin::TEditAlign Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    plat::TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(plat::TColor Value);
    bool SpinFlat() const { return FSpinFlat; }
    void SetSpinFlat(bool Value);
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    plat::TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(plat::TColor Value) { FFocusColor = Value; }
    plat::TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(plat::TColor Value);
    plat::TColor NormalColor() const { return FNormalColor; }

    // ---- Label ----
    std::string LabelCaption() const { return FLabel.Caption(); }
    void SetLabelCaption(const std::string& Value);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value);
    plat::TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(plat::TFont* Value) { FLabelFont->Assign(Value); }
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value);
    plat::TLabel* EditLabel() const { return FLabel.Label(); }

    TKvxSpinButton* Button() const { return FButton; }
    void SetEnabled(bool Value) override;
    void SetParent(plat::TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The smallest height the font allows.
    int MinHeight() const;

    plat::TNotifyEvent OnUpClick;
    plat::TNotifyEvent OnDownClick;

protected:
    void CreateParams(plat::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(plat::TMessage& Message) override;
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Change() override;
    void Loaded() override;
    void Paint() override;
    void PaintBackground(plat::TCanvas& Canvas, const plat::TRect& Rect) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    bool Loading() const;
    int CheckValue(int Value) const;
    double CheckFloatValue(double Value) const;
    plat::TDateTime CheckDateValue(plat::TDateTime Value) const;
    bool IntegerRangeActive() const { return FMinValue != 0 || FMaxValue != 0; }
    std::string TimeText(plat::TDateTime Value) const;
    std::string FloatText(double Value) const;
    std::string HexText(int Value) const;
    void WriteText(const std::string& Value);
    // The place value of the digit left of the caret; the plain increment when the caret is at the start
    // (or right behind a leading minus).
    double SmartStep(bool IsFloat) const;
    void StepSmart(int Sign);
    void StepDate(int Sign, int Caret);
    void StepTime(int Sign, int Caret);
    void Step(int Sign);
    void ComputeMonthFirst();
    void ApplyFormatRect();
    void LayoutButton();
    void LayoutLabel();
    void NudgeWidth();
    template <class F> void ForEachArrow(F Action);
    void DrawFocusBorder();
    void RedrawWithFrame();
    void WindowFocusLost();
    void FillEmptyText();

    TKvxSpinButton* FButton = nullptr;
    TKvxSpinType FSpinType = sptNormal;
    plat::TDateTime FDateValue = 0;
    plat::TDateTime FTimeValue = 0;
    int FHexValue = 0;
    bool FMonthFirst = true;
    bool FUpdating = false;
    int FMinValue = 0, FMaxValue = 0;
    double FMinFloatValue = 0, FMaxFloatValue = 0;
    plat::TDateTime FMinDateValue = 0, FMaxDateValue = 0;
    int FIncrement = 1;
    int FIncrementPage = 10;
    double FIncrementFloat = 0.1;
    double FIncrementFloatPage = 1.0;
    bool FIncrementSmart = false;
    int FIncrementHours = 1;
    int FIncrementMinutes = 1;
    int FPrecision = 0;
    bool FShowSeconds = true;
    bool FSigned = false;
    bool FEditorEnabled = true;
    bool FAllowNullValue = true;
    bool FReturnIsTab = false;
    bool FAutoFocus = false;

    TSpinDirection FDirection = spVertical;
    spin::TEditAlign FEditAlign = spin::eaLeft;
    bool FFlat = false;
    plat::TColor FFlatLineColor = plat::clBlack;
    bool FSpinFlat = false;
    bool FSpinTransparent = false;
    bool FTransparent = false;
    plat::TColor FFocusColor = plat::clWindow;
    plat::TColor FFocusBorderColor = plat::clNone;
    plat::TColor FNormalColor = plat::clWindow;

    TAttachedLabel FLabel{this};
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    std::unique_ptr<plat::TFont> FLabelFont;
    bool FLabelAlwaysEnabled = false;
};

} // namespace ui
