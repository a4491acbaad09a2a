// The suite's typed single-line edit: a value between a fixed prefix and suffix, filtered by an edit
// type as it is typed or pasted, read and written as numbers with the user's separators, with modified
// and error looks, a flat look, an empty-text hint, an error marker, a link look, an attached label, a
// lookup list and optional persistence of its text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "ui/controls/AttachedLabel.h"

namespace plat {
class TListBox;
}

namespace ui {

enum TKvxEditType {
    etString,
    etNumeric,
    etFloat,
    etUppercase,
    etMixedCase,
    etLowerCase,
    etPassword,
    etMoney,
    etRange,
    etHex,
    etAlphaNumeric,
    etValidChars
};
inline constexpr const char* kKvxEditTypeNames[] = {
    "etString",   "etNumeric", "etFloat", "etUppercase", "etMixedCase",    "etLowerCase",
    "etPassword", "etMoney",   "etRange", "etHex",       "etAlphaNumeric", "etValidChars"};
static_assert(std::size(kKvxEditTypeNames) == etValidChars + 1);

enum TEditAlign { eaLeft, eaRight, eaDefault, eaCenter };
inline constexpr const char* kEditAlignNames[] = {"eaLeft", "eaRight", "eaDefault", "eaCenter"};
static_assert(std::size(kEditAlignNames) == eaCenter + 1);

enum TPrecisionDisplay { pdNormal, pdShortest };
inline constexpr const char* kPrecisionDisplayNames[] = {"pdNormal", "pdShortest"};
static_assert(std::size(kPrecisionDisplayNames) == pdShortest + 1);

enum TPersistenceLocation { plInifile, plRegistry };
inline constexpr const char* kPersistenceLocationNames[] = {"plInifile", "plRegistry"};
static_assert(std::size(kPersistenceLocationNames) == plRegistry + 1);

class TKvxEdit;

// The auto-complete list of an edit: what it offers and how it matches.
class TLookupSettings : public plat::TPersistent {
    PLAT_CLASS(TLookupSettings)
public:
    TLookupSettings();
    ~TLookupSettings() override;

    plat::TStringList* DisplayList() const { return FDisplayList.get(); }
    void SetDisplayList(plat::TStringList* Value) { FDisplayList->Assign(*Value); }
    plat::TStringList* ValueList() const { return FValueList.get(); }
    void SetValueList(plat::TStringList* Value) { FValueList->Assign(*Value); }
    int DisplayCount() const { return FDisplayCount; }
    void SetDisplayCount(int Value) { FDisplayCount = Value; }
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value) { FColor = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    int NumChars() const { return FNumChars; }
    void SetNumChars(int Value) {
        if (Value > 0)
            FNumChars = Value;
    }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    bool History() const { return FHistory; }
    void SetHistory(bool Value) { FHistory = Value; }
    bool Multi() const { return FMulti; }
    void SetMulti(bool Value) { FMulti = Value; }
    char Separator() const { return FSeparator; }
    void SetSeparator(char Value) { FSeparator = Value; }

    void Assign(plat::TPersistent* Source) override;

private:
    std::unique_ptr<plat::TStringList> FDisplayList;
    std::unique_ptr<plat::TStringList> FValueList;
    int FDisplayCount = 4;
    plat::TColor FColor = plat::clWindow;
    bool FEnabled = false;
    int FNumChars = 2;
    bool FCaseSensitive = false;
    bool FHistory = false;
    bool FMulti = false;
    char FSeparator = ';';
};

// Where an edit keeps its text between runs (off unless enabled).
class TPersistence : public plat::TPersistent {
    PLAT_CLASS(TPersistence)
public:
    bool Enable() const { return FEnable; }
    void SetEnable(bool Value) { FEnable = Value; }
    const std::string& Key() const { return FKey; }
    void SetKey(const std::string& Value) { FKey = Value; }
    const std::string& Section() const { return FSection; }
    void SetSection(const std::string& Value) { FSection = Value; }
    TPersistenceLocation Location() const { return FLocation; }
    void SetLocation(TPersistenceLocation Value) { FLocation = Value; }

    void Assign(plat::TPersistent* Source) override;

private:
    bool FEnable = false;
    std::string FKey;
    std::string FSection;
    TPersistenceLocation FLocation = plInifile;
};

using TValueValidateEvent =
    std::function<void(plat::TObject* Sender, const std::string& Value, bool& IsValid)>;
using TClipboardEvent = std::function<void(plat::TObject* Sender, const std::string& Value, bool& Allow)>;
using TURLClickEvent = std::function<void(plat::TObject* Sender, const std::string& URL, bool& Show)>;
using TLookupSelectEvent = std::function<void(plat::TObject* Sender, std::string& Value)>;
using TLookupIndexSelectEvent = std::function<void(plat::TObject* Sender, int Index, std::string& Value)>;

class TKvxEdit : public plat::TCustomEdit {
    PLAT_CLASS(TKvxEdit)
public:
    explicit TKvxEdit(plat::TComponent* AOwner);
    ~TKvxEdit() override;
    void BeforeDestruction() override;

    // ---- The value ----
    // The value: the window text without Prefix and Suffix. Hides the window text of the base class.
    std::string Text() const;
    // Writes a value formatted by the edit type, between the affixes; clears the modified state.
    void SetTextProp(const std::string& Value);
    // The whole window text, affixes included.
    std::string WindowText() const { return plat::TCustomEdit::GetText(); }
    // Writes the window text as it is, without formatting.
    void SetWindowTextRaw(const std::string& Value);
    double FloatValue() const;
    void SetFloatValue(double Value);
    int IntegerValue() const;
    void SetIntegerValue(int Value);

    // Reading class of a text: 0 integer, 1 decimal, 5 hexadecimal, 2 anything else.
    static int ClassifyNumberText(const std::string& Text);
    // A text as a number with the locale's separators; thousand separators anywhere are ignored.
    static double ValueToFloat(const std::string& Text);
    static int HexTextToInt(const std::string& Text);
    static std::string ToMixedCase(const std::string& Text);

    std::string Version() const;
    virtual uint32_t PackedVersion() const;
    virtual bool ValidateValue(const std::string& Value);
    virtual void DoValueValidate(const std::string& Value, bool& IsValid);
    virtual bool IsURL() const;
    virtual void LoadPersistence();
    virtual void SavePersistence();

    bool ModifiedState() const { return FModifiedState; }
    void SetModifiedState(bool Value);
    bool ErrorState() const { return FErrorState; }
    void SetErrorState(bool Value);
    void SelectValue();
    void MoveCaretAfterDecimal();
    void FormatMoney();

    // ---- Published properties ----
    TKvxEditType EditType() const { return FEditType; }
    void SetEditType(TKvxEditType Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    bool IsPrecisionStored() const {
        return FEditType == etString || FEditType == etFloat || FEditType == etMoney;
    }
    TPrecisionDisplay PrecisionDisplay() const { return FPrecisionDisplay; }
    void SetPrecisionDisplay(TPrecisionDisplay Value);
    bool Signed() const { return FSigned; }
    void SetSigned(bool Value) { FSigned = Value; }
    bool AllowNumericNullValue() const { return FAllowNumericNullValue; }
    void SetAllowNumericNullValue(bool Value) { FAllowNumericNullValue = Value; }
    bool AutoThousandSeparator() const { return FAutoThousandSeparator; }
    void SetAutoThousandSeparator(bool Value);
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool Value) { FExcelStyleDecimalSeparator = Value; }
    const std::string& ValidChars() const { return FValidChars; }
    void SetValidChars(const std::string& Value) { FValidChars = Value; }
    const std::string& Prefix() const { return FPrefix; }
    void SetPrefix(const std::string& Value);
    const std::string& Suffix() const { return FSuffix; }
    void SetSuffix(const std::string& Value);
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int Value) { FLengthLimit = Value; }
    bool TabOnFullLength() const { return FTabOnFullLength; }
    void SetTabOnFullLength(bool Value) { FTabOnFullLength = Value; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
    bool CanUndo() const { return FCanUndo; }
    void SetCanUndo(bool Value);
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool Value) { FAutoFocus = Value; }
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign Value);
    TEditAlign FocusAlign() const { return FFocusAlign; }
    void SetFocusAlign(TEditAlign Value) { FFocusAlign = Value; }
    plat::TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(plat::TColor Value) { FFocusColor = Value; }
    plat::TColor FocusFontColor() const { return FFocusFontColor; }
    void SetFocusFontColor(plat::TColor Value) { FFocusFontColor = Value; }
    int FocusWidthInc() const { return FFocusWidthInc; }
    void SetFocusWidthInc(int Value) { FFocusWidthInc = Value; }
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool Value) { FFocusLabel = Value; }
    bool ShowModified() const { return FShowModified; }
    void SetShowModified(bool Value) { FShowModified = Value; }
    plat::TColor ModifiedColor() const { return FModifiedColor; }
    void SetModifiedColor(plat::TColor Value) { FModifiedColor = Value; }
    bool ShowError() const { return FShowError; }
    void SetShowError(bool Value) { FShowError = Value; }
    plat::TColor ErrorColor() const { return FErrorColor; }
    void SetErrorColor(plat::TColor Value) { FErrorColor = Value; }
    plat::TColor ErrorFontColor() const { return FErrorFontColor; }
    void SetErrorFontColor(plat::TColor Value) { FErrorFontColor = Value; }
    bool ShowURL() const { return FShowURL; }
    void SetShowURL(bool Value);
    plat::TColor URLColor() const { return FURLColor; }
    void SetURLColor(plat::TColor Value) { FURLColor = Value; }
    const std::string& EmptyText() const { return FEmptyText; }
    void SetEmptyText(const std::string& Value);
    int ErrorMarkerPos() const { return FErrorMarkerPos; }
    void SetErrorMarkerPos(int Value);
    int ErrorMarkerLen() const { return FErrorMarkerLen; }
    void SetErrorMarkerLen(int Value);
    bool Flat() const { return FFlat; }
    virtual void SetFlat(bool Value);
    plat::TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(plat::TColor Value);
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool Value) { FFlatParentColor = Value; }
    bool SoftBorder() const { return FSoftBorder; }
    void SetSoftBorder(bool Value);
    bool FocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool Value) { FFocusBorder = Value; }
    plat::TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(plat::TColor Value) { FFocusBorderColor = Value; }
    plat::TColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(plat::TColor Value) { FDisabledColor = Value; }
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool Value) { FDisabledBorder = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool HintShowLargeText() const { return FHintShowLargeText; }
    void SetHintShowLargeText(bool Value) { FHintShowLargeText = Value; }
    std::string LabelCaption() const;
    void SetLabelCaption(const std::string& Value);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value);
    plat::TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(plat::TFont* Value);
    TLookupSettings* Lookup() const { return FLookup.get(); }
    void SetLookup(TLookupSettings* Value) { FLookup->Assign(Value); }
    TPersistence* Persistence() const { return FPersistence.get(); }
    void SetPersistence(TPersistence* Value) { FPersistence->Assign(Value); }
    bool OleDropSource() const { return FOleDropSource; }
    void SetOleDropSource(bool Value) { FOleDropSource = Value; }
    bool OleDropTarget() const { return FOleDropTarget; }
    void SetOleDropTarget(bool Value);
    plat::TColor Color() const { return plat::TCustomEdit::Color(); }
    void SetColor(plat::TColor Value);
    void SetEnabled(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(plat::TWinControl* AParent) override;

    // The attached label (null until LabelCaption was first set).
    plat::TLabel* EditLabel() const { return FLabel.Label(); }
    // The lookup list, shown while typing (for tests and the list's own keys).
    plat::TWinControl* LookupWindow() const;
    plat::TListBox* LookupListBox() const { return FListBox; }
    bool LookupShown() const;
    // The drop caret of a drag over the edit, (-1,-1) when none.
    plat::TPoint DropCaretPos() const { return FDropCaretPos; }
    bool DropTargetRegistered() const { return FDropTargetRegistered; }

    TValueValidateEvent OnValueValidate;
    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardCut;
    TClipboardEvent OnClipboardPaste;
    plat::TNotifyEvent OnMouseEnter;
    plat::TNotifyEvent OnMouseLeave;
    TLookupSelectEvent OnLookupSelect;
    TLookupIndexSelectEvent OnLookupIndexSelect;
    plat::TNotifyEvent OnLabelClick;
    plat::TNotifyEvent OnLabelDblClick;
    TURLClickEvent OnURLClick;

    // ---- Used by the drag and drop of the edit ----
    // Shows the drop caret at the character under the screen point.
    void TrackDropCaret(plat::TPoint ScreenPoint);
    void HideDropCaret();
    // Inserts the first line of Text at the character under the screen point (a drop); a drag from
    // this edit moves its selection there unless Copy. False for a drop onto the own selection.
    bool DropText(plat::TPoint ScreenPoint, const std::string& Text, bool Copy);
    bool DragFromSelf() const { return FDragFromSelf; }

protected:
    void CreateParams(plat::TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(plat::TMessage& Message) override;
    void Change() override;
    void Paint() override;
    void PaintBackground(plat::TCanvas& Canvas, const plat::TRect& Rect) override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    // The painting after the platform's own (borders, drop caret, empty text, error marker).
    virtual void PaintExtras(plat::TCanvas& Canvas);
    virtual void UpdateEditRect(bool AFlat);
    void PlaceLabel();
    void UpdateLookupList();
    void SelectLookupItem();

    // Key and character handling of the typed edit; the derived edits call them from their own.
    void HandleChar(plat::TMessage& Message);
    void HandleKeyDown(plat::TMessage& Message);
    void HandlePaste();
    void HandleFocusEntry(plat::TMessage& Message);
    void HandleFocusExit(plat::TMessage& Message);
    bool HandleWantSpecialKey(plat::TMessage& Message);

    int Lp() const;
    int ValueLength() const;
    int IntegerPartLength(const std::string& Value) const;
    int IntegerPartLimit() const;
    bool IsSignKey(char32_t C) const;
    void SetURLLook(bool On);
    bool IsHot() const;
    void PaintBorder();
    void DrawBorder(plat::TCanvas& Canvas);
    void DrawErrorMarker(plat::TCanvas& Canvas, int Pos, int Len);

    // State that the derived edits use.
    int FRightReserve = 0;
    int FLeftReserve = 0;
    bool FSkipNextSpecialKey = false;
    bool FXPOrLater = true;
    bool FComCtl6 = true;

private:
    void ApplyFlat(bool Value);
    void RegisterDropTarget();
    void RevokeDropTarget();
    plat::TLabel* Lbl() const { return FLabel.Label(); }
    // True when the whole value was replaced by the sign alone.
    bool SignToggle(bool WholeValueRule);
    bool ValueIsNumberType() const {
        return FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney;
    }
    void RunTail();
    void RecreateWithNudge();
    void HandleMouseDown(plat::TMessage& Message, bool& Skip);
    void HandleMouseMove(plat::TMessage& Message);
    void HandleMouseUp(plat::TMessage& Message);
    void ClampCaretToAffixes();
    void AddHistory();
    plat::TControl* NextTabControl() const;

    TKvxEditType FEditType = etString;
    int FPrecision = 0;
    TPrecisionDisplay FPrecisionDisplay = pdNormal;
    bool FSigned = false;
    bool FAllowNumericNullValue = false;
    bool FAutoThousandSeparator = true;
    bool FExcelStyleDecimalSeparator = false;
    std::string FValidChars;
    std::string FPrefix, FSuffix;
    int FLengthLimit = 0;
    bool FTabOnFullLength = false;
    bool FReturnIsTab = false;
    bool FCanUndo = true;
    bool FAutoFocus = false;
    TEditAlign FEditAlign = eaLeft;
    TEditAlign FFocusAlign = eaDefault;
    plat::TColor FFocusColor = plat::clNone;
    plat::TColor FFocusFontColor = plat::clWindowText;
    int FFocusWidthInc = 0;
    bool FFocusLabel = false;
    bool FShowModified = false;
    plat::TColor FModifiedColor = plat::clHighlight;
    bool FShowError = false;
    plat::TColor FErrorColor = plat::clRed;
    plat::TColor FErrorFontColor = plat::clWhite;
    bool FShowURL = false;
    plat::TColor FURLColor = plat::clBlue;
    std::string FEmptyText;
    int FErrorMarkerPos = 0, FErrorMarkerLen = 0;
    bool FFlat = false;
    plat::TColor FFlatLineColor = plat::clBlack;
    bool FFlatParentColor = true;
    bool FSoftBorder = false;
    bool FFocusBorder = false;
    plat::TColor FFocusBorderColor = plat::clNone;
    plat::TColor FDisabledColor = plat::clSilver;
    bool FDisabledBorder = true;
    bool FTransparent = false;
    bool FHintShowLargeText = false;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    bool FLabelAlwaysEnabled = false;
    bool FOleDropSource = false;
    bool FOleDropTarget = false;

    bool FInFocusAlign = false;
    TAttachedLabel FLabel{this};
    std::unique_ptr<plat::TFont> FLabelFont;
    TEditAlign FSavedEditAlign = eaLeft;
    plat::TBorderStyle FSavedBorderStyle = plat::bsSingle;
    plat::TColor FNormalColor = plat::clWindow;
    bool FErrorState = false;
    plat::TColor FNormalFontColor = plat::clWindowText;
    bool FModifiedState = false;
    std::string FFocusEntryText;
    bool FURLLook = false;
    bool FMouseInside = false;
    bool FCutInProgress = false;
    plat::TPoint FDropCaretPos{-1, -1};
    bool FDropTargetRegistered = false;
    plat::HWND FDropWindow = nullptr;
    bool FDragFromSelf = false;
    bool FDragArmed = false;
    int FLoadedHeight = 0;
    plat::TWinControl* FListWindow = nullptr;
    plat::TListBox* FListBox = nullptr;
    bool FInValidation = false;
    bool FSuppressNextChange = false;
    bool FLabelUsesEditFont = false;
    std::unique_ptr<TLookupSettings> FLookup;
    std::unique_ptr<TPersistence> FPersistence;
    std::unique_ptr<class TEditDropTarget> FDropTarget;
};

} // namespace ui
