#include "ui/controls/KvxSpin.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/ParentBackground.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/SystemServices.h"
#include "ui/controls/XPVisualStyles.h"

namespace ui {

using namespace plat;

namespace {

// Posted to itself so that the Enter character still reaches the edit before the focus moves on.
constexpr UINT kSelectNextMessage = WM_USER + 0x0B01;

constexpr TColor kGlyphGround = 0x00008080; // olive: red 128, green 128, blue 0

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TKvxSpinEdit::StaticClass(), &TKvxSpinButton::StaticClass()}); }
} registrar;

int ClampToInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// The 1-based position of the first Sep at or after the 1-based position From; 0 when none.
int FindSep(const std::u32string& s, char Sep, int From) {
    for (int i = std::max(From, 1); i <= static_cast<int>(s.size()); ++i)
        if (s[i - 1] == static_cast<char32_t>(static_cast<unsigned char>(Sep)))
            return i;
    return 0;
}

// Which of the up to three separator-delimited parts the caret is in: a caret right before a separator
// belongs to the part on its left.
int PartAtCaret(const std::u32string& s, char Sep, int Caret) {
    int p1 = FindSep(s, Sep, 1);
    int p2 = p1 ? FindSep(s, Sep, p1 + 1) : 0;
    if (Caret < p1)
        return 1;
    if (p2 && Caret < p2)
        return 2;
    return 3;
}

bool IsHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexDigitValue(char32_t c) {
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    return static_cast<int>(c - 'A' + 10);
}

std::string WithoutChar(std::string s, char c) {
    s.erase(std::remove(s.begin(), s.end(), c), s.end());
    return s;
}

// A frame around a whole window, non-client area included.
void FrameWindow(TWinControl* Control, TColor Color) {
    if (!Control->HandleAllocated())
        return;
    HWND wnd = Control->Handle();
    HDC dc = GetWindowDC(wnd);
    if (!dc)
        return;
    ScopeGuard release([&] { ReleaseDC(wnd, dc); });
    dc->FrameRect(TRect(0, 0, Control->Width(), Control->Height()), CreateSolidBrush(ColorToRGB(Color)));
}

} // namespace

void LoadSpinGlyph(TBitmap& Bitmap, bool Up) {
    Bitmap.SetSize(9, 6);
    TCanvas& c = *Bitmap.Canvas();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(kGlyphGround);
    c.FillRect(TRect(0, 0, 9, 6));
    // Rows 1..4 hold the triangle, 1, 3, 5 and 7 pixels wide, centred on column 4.
    for (int row = 0; row < 4; ++row) {
        int y = Up ? 1 + row : 4 - row;
        for (int x = 4 - row; x <= 4 + row; ++x)
            c.Handle()->SetPixel(x, y, clBlack);
    }
    Bitmap.SetTransparent(true);
}

// ---- TKvxTimerSpeedButton ---------------------------------------------------------------------------------

PLAT_CLASS_INFO(TKvxTimerSpeedButton, plat::TSpeedButton)

TKvxTimerSpeedButton::TKvxTimerSpeedButton(TComponent* AOwner)
    : TSpeedButton(AOwner), FStyledPlatform(IsWinXPOrLater()) {}

void TKvxTimerSpeedButton::SetArrow(TSpinArrow Value) {
    FArrow = Value;
    Invalidate();
}

void TKvxTimerSpeedButton::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TKvxTimerSpeedButton::InvalidateParent() {
    if (Parent())
        Parent()->Invalidate();
}

void TKvxTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (FRepeatAllowed) {
        if (!FRepeatTimer) {
            FRepeatTimer = new TTimer(this);
            FRepeatTimer->SetEnabled(false);
            FRepeatTimer->OnTimer = [this](TObject*) { TimerExpired(); };
        }
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
    InvalidateParent();
}

void TKvxTimerSpeedButton::TimerExpired() {
    FRepeatTimer->SetInterval(100);
    if (State() == bsDown && MouseCapture()) {
        // A failing click must not keep firing every 100 ms behind the error report.
        ScopeGuard stop([this] { FRepeatTimer->SetEnabled(false); });
        Click();
        stop.Dismiss();
    }
}

void TKvxTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
    InvalidateParent();
}

void TKvxTimerSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        FHot = true;
        Invalidate();
        break;
    case CM_MOUSELEAVE:
        FHot = false;
        Invalidate();
        break;
    }
    TSpeedButton::Dispatch(Message);
}

void TKvxTimerSpeedButton::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    TButtonState state = State();
    const TThemeBinding& themes = ASXPVS();
    auto* owner = dynamic_cast<TWinControl*>(Owner());
    if (FStyledPlatform && owner && themes.UseThemes()) {
        HTHEME theme = themes.Api().OpenThemeData(owner->Handle(), "spin");
        if (theme) {
            static constexpr int kParts[] = {SPNP_UP, SPNP_DOWN, SPNP_DOWNHORZ, SPNP_UPHORZ};
            static_assert(std::size(kParts) == saRight + 1);
            int stateId = !Enabled() ? TS_DISABLED : state == bsDown ? TS_PRESSED : FHot ? TS_HOT : TS_NORMAL;
            themes.Api().DrawThemeBackground(theme, c.Handle(), kParts[FArrow], stateId, r, nullptr);
            themes.Api().CloseThemeData(theme);
            return;
        }
    }
    if (FArrow == saLeft || FArrow == saRight) {
        uint32_t flags = FArrow == saLeft ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
        if (!Enabled())
            flags |= DFCS_INACTIVE;
        if (state == bsDown)
            flags |= DFCS_PUSHED;
        if (Flat())
            flags |= DFCS_FLAT;
        DrawFrameControl(*c.Handle(), r, DFC_SCROLL, flags);
        return;
    }
    if (!FTransparent) {
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(Color());
        c.FillRect(r);
    }
    PaintFrame(c, r, state);
    PaintGlyphAndCaption(c, r, state);
}

// ---- TKvxSpinButton ---------------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TKvxSpinButton, plat::TWinControl)

PLAT_PROPERTIES(TKvxSpinButton) {
    props.Enum("Direction", &TKvxSpinButton::Direction, &TKvxSpinButton::SetDirection, kSpinDirectionNames,
               spVertical);
    props.Object("UpGlyph", &TKvxSpinButton::UpGlyph, &TKvxSpinButton::SetUpGlyph);
    props.Object("DownGlyph", &TKvxSpinButton::DownGlyph, &TKvxSpinButton::SetDownGlyph);
    props.Integer("UpNumGlyphs", &TKvxSpinButton::UpNumGlyphs, &TKvxSpinButton::SetUpNumGlyphs, 1);
    props.Integer("DownNumGlyphs", &TKvxSpinButton::DownNumGlyphs, &TKvxSpinButton::SetDownNumGlyphs, 1);
    props.Component("FocusControl", &TKvxSpinButton::FocusControl, &TKvxSpinButton::SetFocusControl);
    props.Event("OnUpClick", &TKvxSpinButton::OnUpClick);
    props.Event("OnDownClick", &TKvxSpinButton::OnDownClick);
    props.Default("TabStop", false);
}

TKvxSpinButton::TKvxSpinButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = (FControlStyle & ~(csAcceptsControls | csSetCaption)) | csOpaque;
    FUpButton = CreateButton();
    FDownButton = CreateButton();
    LoadSpinGlyph(*FUpButton->Glyph(), true);
    LoadSpinGlyph(*FDownButton->Glyph(), false);
    FUpButton->SetNumGlyphs(1);
    FDownButton->SetNumGlyphs(1);
    FUpButton->SetArrow(saUp);
    FDownButton->SetArrow(saDown);
    SetBounds(0, 0, 15, 25);
    FFocusedButton = FUpButton;
}

TKvxSpinButton::~TKvxSpinButton() = default;

TKvxTimerSpeedButton* TKvxSpinButton::CreateButton() {
    auto* b = new TKvxTimerSpeedButton(this);
    b->SetParent(this);
    b->SetVisible(true);
    b->SetEnabled(true);
    b->SetRepeatAllowed(true);
    b->OnClick = [this](TObject* s) { BtnClick(s); };
    b->OnMouseDown = [this](TObject* s, TMouseButton button, TShiftState, int, int) {
        BtnMouseDown(s, button);
    };
    return b;
}

void TKvxSpinButton::BtnClick(TObject* Sender) {
    if (Sender == FUpButton) {
        if (OnUpClick)
            OnUpClick(this);
    } else if (OnDownClick) {
        OnDownClick(this);
    }
}

void TKvxSpinButton::SetFocusBtn(TKvxTimerSpeedButton* Btn) {
    if (TabStop() && CanFocus())
        FFocusedButton = Btn;
}

void TKvxSpinButton::BtnMouseDown(TObject* Sender, TMouseButton Button) {
    if (Button != mbLeft)
        return;
    SetFocusBtn(static_cast<TKvxTimerSpeedButton*>(Sender));
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TKvxSpinButton::KeyDown(uint16_t& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_UP:
        FFocusedButton = FUpButton;
        FUpButton->Click();
        break;
    case VK_DOWN:
        FFocusedButton = FDownButton;
        FDownButton->Click();
        break;
    case VK_SPACE:
        if (FFocusedButton)
            FFocusedButton->Click();
        break;
    }
}

void TKvxSpinButton::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS;
        return;
    }
    TWinControl::Dispatch(Message);
}

void TKvxSpinButton::SetUpGlyph(TBitmap* Value) {
    if (Value) {
        FUpButton->SetGlyph(Value);
        return;
    }
    LoadSpinGlyph(*FUpButton->Glyph(), true);
    FUpButton->SetNumGlyphs(1);
    FUpButton->Invalidate();
}

void TKvxSpinButton::SetDownGlyph(TBitmap* Value) {
    if (Value) {
        FDownButton->SetGlyph(Value);
        return;
    }
    LoadSpinGlyph(*FDownButton->Glyph(), false);
    FDownButton->SetNumGlyphs(1);
    FDownButton->Invalidate();
}

void TKvxSpinButton::SetDirection(TSpinDirection Value) {
    if (Value == FDirection)
        return;
    FDirection = Value;
    if (FDirection == spHorizontal) {
        FUpButton->SetArrow(saRight);
        FDownButton->SetArrow(saLeft);
        SetWidth(20);
    } else {
        FUpButton->SetArrow(saUp);
        FDownButton->SetArrow(saDown);
        SetWidth(15);
    }
    if (HandleAllocated())
        RecreateWnd();
}

void TKvxSpinButton::SetFocusControl(TWinControl* Value) {
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKvxSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFocusControl)
        FFocusControl = nullptr;
    if (AComponent == FFocusedButton)
        FFocusedButton = nullptr;
    if (AComponent == FUpButton)
        FUpButton = nullptr;
    if (AComponent == FDownButton)
        FDownButton = nullptr;
}

void TKvxSpinButton::AdjustButtonSize(int& W, int H) {
    if (!FUpButton || !FDownButton || (ComponentState() & csLoading))
        return;
    if (FDirection == spVertical) {
        W = std::max(W, 15);
        FUpButton->SetBounds(0, 0, W, H / 2);
        FDownButton->SetBounds(0, FUpButton->Height(), W, H / 2);
    } else {
        W = std::max(W, 20);
        int w = W / 2;
        FDownButton->SetBounds(0, 0, w, H);
        FUpButton->SetBounds(w + 1, 0, w, H);
    }
}

void TKvxSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AdjustButtonSize(AWidth, AHeight);
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TKvxSpinButton::Loaded() {
    TWinControl::Loaded();
    int w = Width();
    AdjustButtonSize(w, Height());
    if (w != Width())
        SetBounds(Left(), Top(), w, Height());
}

// ---- TKvxSpinEdit -----------------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TKvxSpinEdit, plat::TCustomEdit)

PLAT_PROPERTIES(TKvxSpinEdit) {
    using E = TKvxSpinEdit;
    props.String("Version", &E::Version, &E::SetVersion).Stored(false);
    props.Enum("SpinType", &E::SpinType, &E::SetSpinType, kKvxSpinTypeNames, sptNormal);
    props.Integer("Value", &E::Value, &E::SetValue);
    props.Float("FloatValue", &E::FloatValue, &E::SetFloatValue).NoDefault();
    props.Float("DateValue", &E::DateValue, &E::SetDateValue).NoDefault();
    props.Float("TimeValue", &E::TimeValue, &E::SetTimeValue).NoDefault();
    props.Integer("HexValue", &E::HexValue, &E::SetHexValue);
    props.Integer("MinValue", &E::MinValue, &E::SetMinValue, 0);
    props.Integer("MaxValue", &E::MaxValue, &E::SetMaxValue, 0);
    props.Float("MinFloatValue", &E::MinFloatValue, &E::SetMinFloatValue, 0.0);
    props.Float("MaxFloatValue", &E::MaxFloatValue, &E::SetMaxFloatValue, 0.0);
    props.Float("MinDateValue", &E::MinDateValue, &E::SetMinDateValue, 0.0);
    props.Float("MaxDateValue", &E::MaxDateValue, &E::SetMaxDateValue, 0.0);
    props.Integer("Increment", &E::Increment, &E::SetIncrement, 1);
    props.Integer("IncrementPage", &E::IncrementPage, &E::SetIncrementPage, 10);
    props.Float("IncrementFloat", &E::IncrementFloat, &E::SetIncrementFloat, 0.1);
    props.Float("IncrementFloatPage", &E::IncrementFloatPage, &E::SetIncrementFloatPage, 1.0);
    props.Boolean("IncrementSmart", &E::IncrementSmart, &E::SetIncrementSmart, false);
    props.Integer("IncrementHours", &E::IncrementHours, &E::SetIncrementHours, 1);
    props.Integer("IncrementMinutes", &E::IncrementMinutes, &E::SetIncrementMinutes, 1);
    props.Integer("Precision", &E::Precision, &E::SetPrecision, 0);
    props.Boolean("ShowSeconds", &E::ShowSeconds, &E::SetShowSeconds, true);
    props.Boolean("Signed", &E::Signed, &E::SetSigned, false);
    props.Boolean("EditorEnabled", &E::EditorEnabled, &E::SetEditorEnabled, true);
    props.Boolean("AllowNullValue", &E::AllowNullValue, &E::SetAllowNullValue, true);
    props.Boolean("ReturnIsTab", &E::ReturnIsTab, &E::SetReturnIsTab, false);
    props.Boolean("AutoFocus", &E::AutoFocus, &E::SetAutoFocus, false);
    props.Enum("Direction", &E::Direction, &E::SetDirection, kSpinDirectionNames, spVertical);
    props.Enum("EditAlign", &E::EditAlign, &E::SetEditAlign, spin::kEditAlignNames, spin::eaLeft);
    props.Boolean("Flat", &E::Flat, &E::SetFlat, false);
    props.Color("FlatLineColor", &E::FlatLineColor, &E::SetFlatLineColor, clBlack);
    props.Boolean("SpinFlat", &E::SpinFlat, &E::SetSpinFlat, false);
    props.Boolean("SpinTransparent", &E::SpinTransparent, &E::SetSpinTransparent, false);
    props.Boolean("Transparent", &E::Transparent, &E::SetTransparent, false);
    props.Color("FocusColor", &E::FocusColor, &E::SetFocusColor, clWindow);
    props.Color("FocusBorderColor", &E::FocusBorderColor, &E::SetFocusBorderColor, clNone);
    props.String("LabelCaption", &E::LabelCaption, &E::SetLabelCaption);
    props.Enum("LabelPosition", &E::LabelPosition, &E::SetLabelPosition, kLabelPositionNames, lpLeftTop);
    props.Integer("LabelMargin", &E::LabelMargin, &E::SetLabelMargin, 4);
    props.Boolean("LabelTransparent", &E::LabelTransparent, &E::SetLabelTransparent, false);
    props.Object("LabelFont", &E::LabelFont, &E::SetLabelFont);
    props.Boolean("LabelAlwaysEnabled", &E::LabelAlwaysEnabled, &E::SetLabelAlwaysEnabled, false);
    props.Event("OnUpClick", &E::OnUpClick);
    props.Event("OnDownClick", &E::OnDownClick);
    props.Default("AutoSize", true);
    // The value properties carry the text.
    props.Hide("Text");
}

TKvxSpinEdit::TKvxSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner), FLabelFont(std::make_unique<TFont>()) {
    FControlStyle &= ~csSetCaption;
    FLabelFont->OnChange = [this](TObject*) { LayoutLabel(); };
    FButton = new TKvxSpinButton(this);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject*) { UpClick(this); };
    FButton->OnDownClick = [this](TObject*) { DownClick(this); };
    SetTextProp("0");
    SetAutoSize(true);
    FNormalColor = Color();
}

TKvxSpinEdit::~TKvxSpinEdit() {
    FLabelFont->OnChange = nullptr;
}

uint32_t TKvxSpinEdit::PackedVersion() const {
    return 0x01040404;
}

std::string TKvxSpinEdit::Version() const {
    uint32_t v = PackedVersion();
    return IntToStr(v >> 24) + "." + IntToStr((v >> 16) & 0xFF) + "." + IntToStr((v >> 8) & 0xFF) + "." +
           IntToStr(v & 0xFF);
}

bool TKvxSpinEdit::Loading() const {
    return (ComponentState() & csLoading) != 0;
}

void TKvxSpinEdit::WriteText(const std::string& Value) {
    SetTextProp(Value);
}

// ---- Ranges and text forms --------------------------------------------------------------------------------

int TKvxSpinEdit::CheckValue(int Value) const {
    if (Loading() || !IntegerRangeActive())
        return Value;
    if (Value < FMinValue)
        return FMinValue;
    if (Value > FMaxValue)
        return FMaxValue;
    return Value;
}

double TKvxSpinEdit::CheckFloatValue(double Value) const {
    if (Loading() || FMinFloatValue == FMaxFloatValue)
        return Value;
    if (Value < FMinFloatValue)
        return FMinFloatValue;
    if (Value > FMaxFloatValue)
        return FMaxFloatValue;
    return Value;
}

TDateTime TKvxSpinEdit::CheckDateValue(TDateTime Value) const {
    if (Loading() || FMinDateValue == FMaxDateValue)
        return Value;
    if (Value < FMinDateValue)
        return FMinDateValue;
    if (Value > FMaxDateValue)
        return FMaxDateValue;
    return Value;
}

std::string TKvxSpinEdit::FloatText(double Value) const {
    if (FPrecision < 0)
        return FloatToStrF(Value, ffGeneral, 4, 0);
    if (FPrecision == 0)
        return FloatToStr(Value);
    return FloatToStrF(Value, ffFixed, 15, FPrecision);
}

std::string TKvxSpinEdit::TimeText(TDateTime Value) const {
    return FormatDateTime(FShowSeconds ? "h:nn:ss" : "h:nn", Value);
}

std::string TKvxSpinEdit::HexText(int Value) const {
    return "0x" + HexDigits(static_cast<uint32_t>(Value), 1);
}

// ---- Values -----------------------------------------------------------------------------------------------

int TKvxSpinEdit::Value() const {
    const TFormatSettings& fs = FormatSettings();
    std::string s = Trim(WithoutChar(Text(), fs.ThousandSeparator));
    if (s.empty())
        return 0;
    // Decimal only: the general integer reader would also take "$1F" and "0x1F".
    size_t digits = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    bool decimal = s.size() > digits &&
                   std::all_of(s.begin() + digits, s.end(), [](char c) { return c >= '0' && c <= '9'; });
    int v = 0;
    if (decimal && TryStrToInt(s, v))
        return v;
    return FMinValue;
}

void TKvxSpinEdit::SetValue(int Value) {
    WriteText(IntToStr(CheckValue(Value)));
    if (!FEditorEnabled && AutoSelect())
        SelectAll();
}

double TKvxSpinEdit::FloatValue() const {
    const TFormatSettings& fs = FormatSettings();
    std::string s = Text();
    if (fs.ThousandSeparator != fs.DecimalSeparator)
        s = WithoutChar(s, fs.ThousandSeparator);
    double v = 0;
    if (!Trim(s).empty() && TextToFloat(s, v, fs))
        return v;
    return FMinValue; // the integer minimum, as stored forms expect
}

void TKvxSpinEdit::SetFloatValue(double Value) {
    WriteText(FloatText(CheckFloatValue(Value)));
}

TDateTime TKvxSpinEdit::DateValue() const {
    std::string s = Text();
    if (s == "0" || s.empty())
        return Now();
    TDateTime d = 0;
    if (!TryStrToDate(s, d))
        return FMinDateValue;
    return d + std::fabs(FDateValue - std::trunc(FDateValue));
}

void TKvxSpinEdit::SetDateValue(TDateTime Value) {
    FDateValue = Value;
    if (Loading())
        return;
    FDateValue = CheckDateValue(Value);
    int caret = SelStart();
    WriteText(DateToStr(FDateValue));
    SetSelStart(caret);
}

TDateTime TKvxSpinEdit::TimeValue() const {
    std::string s = Text();
    if (!FShowSeconds)
        s += std::string(1, FormatSettings().TimeSeparator) + "00";
    TDateTime t = 0;
    if (!TryStrToTime(s, t))
        return 0;
    return std::trunc(FTimeValue) + t;
}

void TKvxSpinEdit::SetTimeValue(TDateTime Value) {
    FTimeValue = Value;
    if (Loading())
        return;
    int caret = SelStart();
    WriteText(TimeText(Value));
    SetSelStart(caret);
}

int TKvxSpinEdit::HexValue() const {
    const std::u32string& s = Chars();
    uint32_t v = 0;
    size_t i = 2;
    // Pairs of digits are bytes; a last odd digit is one more nibble.
    for (; i + 1 < s.size(); i += 2) {
        if (!IsHexDigit(s[i]) || !IsHexDigit(s[i + 1]))
            return static_cast<int32_t>(v);
        v = v * 256 + static_cast<uint32_t>(HexDigitValue(s[i]) * 16 + HexDigitValue(s[i + 1]));
    }
    if (i < s.size() && IsHexDigit(s[i]))
        v = v * 16 + static_cast<uint32_t>(HexDigitValue(s[i]));
    return static_cast<int32_t>(v);
}

void TKvxSpinEdit::SetHexValue(int Value) {
    FHexValue = Value;
    if (!Loading())
        WriteText(HexText(Value));
}

void TKvxSpinEdit::SetSpinType(TKvxSpinType Value) {
    FSpinType = Value;
    if (Loading())
        return;
    switch (FSpinType) {
    case sptNormal:
        SetValue(this->Value());
        break;
    case sptFloat:
        SetFloatValue(FloatValue());
        break;
    case sptDate:
        SetDateValue(DateValue());
        break;
    case sptTime:
        SetTimeValue(TimeValue());
        break;
    case sptHex:
        SetHexValue(HexValue());
        break;
    }
}

void TKvxSpinEdit::SetPrecision(int Value) {
    FPrecision = Value;
    if (FSpinType == sptFloat && !Loading())
        SetFloatValue(FloatValue());
}

void TKvxSpinEdit::SetShowSeconds(bool Value) {
    if (FSpinType != sptTime)
        return;
    FShowSeconds = Value;
    if (!Loading())
        SetTimeValue(FTimeValue);
}

// ---- Stepping ---------------------------------------------------------------------------------------------

void TKvxSpinEdit::ComputeMonthFirst() {
    std::string f = UpperCase(FormatSettings().ShortDateFormat);
    size_t m = f.find('M'), d = f.find('D');
    FMonthFirst = m != std::string::npos && (d == std::string::npos || m < d);
}

double TKvxSpinEdit::SmartStep(bool IsFloat) const {
    const std::u32string& s = Chars();
    int c = SelStart();
    if (c == 0 || (c == 1 && !s.empty() && s[0] == U'-'))
        return IsFloat ? FIncrementFloat : FIncrement;
    int L = static_cast<int>(s.size());
    int sep = FindSep(s, FormatSettings().DecimalSeparator, 1);
    int F = sep ? L - sep : -1;
    int R = L - c;
    if (IsFloat && R < F)
        return std::pow(10.0, -(F - R));
    double step = 1;
    for (int i = 0; i < R - F - 1; ++i)
        step *= 10;
    return step;
}

void TKvxSpinEdit::StepSmart(int Sign) {
    if (FSpinType == sptFloat)
        SetFloatValue(FloatValue() + Sign * SmartStep(true));
    else
        SetValue(ClampToInt(static_cast<int64_t>(Value()) +
                            Sign * static_cast<int64_t>(std::min(SmartStep(false), 1e12))));
}

void TKvxSpinEdit::StepDate(int Sign, int Caret) {
    int part = PartAtCaret(Chars(), FormatSettings().DateSeparator, Caret);
    enum { Day, Month, Year } unit = part == 3 ? Year : ((part == 1) == FMonthFirst ? Month : Day);
    TDateTime d = DateValue();
    TDateTime timeOfDay = std::fabs(d - std::trunc(d));
    if (unit == Day) {
        SetDateValue(d + Sign);
        return;
    }
    int y, m, day;
    DecodeDate(d, y, m, day);
    if (unit == Month) {
        m += Sign;
        if (m > 12) {
            m = 1;
            ++y;
        } else if (m < 1) {
            m = 12;
            --y;
        }
    } else {
        y += Sign;
    }
    if (y < 1 || y > 9999)
        return; // beyond the calendar the value stays as it is
    // A day the new month or year lacks (31 January plus a month, 29 February plus a year) becomes its last.
    day = std::min(day, DaysInAMonth(y, m));
    TDateTime next = EncodeDate(y, m, day);
    SetDateValue(next + (next >= 0 ? timeOfDay : -timeOfDay));
}

void TKvxSpinEdit::StepTime(int Sign, int Caret) {
    const std::u32string& s = Chars();
    char sep = FormatSettings().TimeSeparator;
    int part = PartAtCaret(s, sep, Caret);
    TDateTime step;
    if (part == 1)
        step = FIncrementHours != 0 ? EncodeTime(FIncrementHours, 0, 0, 0)
                                    : EncodeTime(0, FIncrementMinutes, 0, 0);
    else if (part == 3 && FShowSeconds && FindSep(s, sep, FindSep(s, sep, 1) + 1))
        step = EncodeTime(0, 0, 1, 0);
    else
        step = EncodeTime(0, FIncrementMinutes, 0, 0);
    TDateTime t = TimeValue();
    if (Sign > 0)
        SetTimeValue(t + step);
    else if (t >= step)
        SetTimeValue(t - step);
}

void TKvxSpinEdit::Step(int Sign) {
    int caret = SelStart();
    int selLength = SelLength();
    std::string old = Text();
    ComputeMonthFirst();
    if (ReadOnly()) {
        MessageBeep(0);
    } else {
        switch (FSpinType) {
        case sptNormal:
            if (FIncrementSmart)
                StepSmart(Sign);
            else
                SetValue(ClampToInt(static_cast<int64_t>(Value()) + Sign * static_cast<int64_t>(FIncrement)));
            break;
        case sptFloat:
            if (FIncrementSmart)
                StepSmart(Sign);
            else
                SetFloatValue(FloatValue() + Sign * FIncrementFloat);
            break;
        case sptDate:
            StepDate(Sign, caret);
            break;
        case sptTime:
            StepTime(Sign, caret);
            break;
        case sptHex:
            // Wraps like the 32-bit value it shows; the range applies when the control is left.
            SetHexValue(static_cast<int32_t>(static_cast<uint32_t>(HexValue()) +
                                             static_cast<uint32_t>(Sign * FIncrement)));
            break;
        }
    }
    std::string now = Text();
    bool hadMinus = old.find('-') != std::string::npos, hasMinus = now.find('-') != std::string::npos;
    if (hadMinus && !hasMinus)
        caret = std::max(0, caret - 1);
    else if (!hadMinus && hasMinus)
        ++caret;
    SetSelStart(caret);
    SetSelLength(selLength);
    if (Sign > 0 && now.size() != old.size() && FSpinType != sptDate && FSpinType != sptTime)
        SetSelLength(CharCount());
    if (now != old)
        SetModified(true);
}

void TKvxSpinEdit::UpClick(TObject*) {
    Step(+1);
    if (OnUpClick)
        OnUpClick(this);
}

void TKvxSpinEdit::DownClick(TObject*) {
    Step(-1);
    if (OnDownClick)
        OnDownClick(this);
}

// ---- Keyboard ---------------------------------------------------------------------------------------------

void TKvxSpinEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    const int caret = SelStart(), selLength = SelLength();
    const std::string old = Text();
    const bool smart = FIncrementSmart && selLength == 0 && (FSpinType == sptNormal || FSpinType == sptFloat);
    bool restore = true;
    switch (Key) {
    case VK_RETURN:
        if (FReturnIsTab) {
            Key = VK_TAB;
            PostMessage(Handle(), kSelectNextMessage, (Shift & ssShift) ? 0 : 1, 0);
            restore = false;
        } else if (Shift & ssCtrl) {
            // The same as the Up key.
            if (smart)
                StepSmart(+1);
            else
                UpClick(this);
        }
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        int sign = Key == VK_PRIOR ? 1 : -1;
        if (smart)
            StepSmart(sign);
        else if (FSpinType == sptNormal)
            SetValue(ClampToInt(static_cast<int64_t>(Value()) + sign * static_cast<int64_t>(FIncrementPage)));
        else if (FSpinType == sptFloat)
            SetFloatValue(FloatValue() + sign * FIncrementFloatPage);
        Key = 0;
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        int sign = Key == VK_UP ? 1 : -1;
        if (smart)
            StepSmart(sign);
        else if (sign > 0)
            UpClick(this);
        else
            DownClick(this);
        Key = 0;
        break;
    }
    case VK_DELETE:
        if (!FEditorEnabled || (FSpinType == sptHex && caret < 2)) {
            Key = 0;
            restore = false;
        }
        break;
    default:
        restore = false;
        break;
    }
    if (restore) {
        SetSelStart(caret);
        SetSelLength(selLength);
    }
    if (Text() != old)
        SetModified(true);
}

void TKvxSpinEdit::KeyPress(char32_t& Key) {
    const TFormatSettings& fs = FormatSettings();
    if (Key == U'+') {
        Key = 0;
        return;
    }
    if (Key == U'-' && !(FSpinType == sptDate && fs.DateSeparator == '-')) {
        Key = 0;
        if (!FSigned)
            return;
        int caret = SelStart(), selLength = SelLength();
        std::string s = Text();
        if (!s.empty() && s[0] == '-') {
            s.erase(0, 1);
            caret = std::max(0, caret - 1);
        } else {
            s.insert(0, 1, '-');
            ++caret;
        }
        WriteText(s);
        SetSelStart(caret);
        SetSelLength(selLength);
        return;
    }
    if (Key == U'\r') {
        TCustomEdit::KeyPress(Key);
        Key = 0;
        return;
    }
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    TCustomEdit::KeyPress(Key);
}

bool TKvxSpinEdit::IsValidChar(char32_t& Key) {
    const TFormatSettings& fs = FormatSettings();
    auto is = [&](char c) { return Key == static_cast<char32_t>(static_cast<unsigned char>(c)); };
    const bool isSeparator =
        is(fs.DecimalSeparator) || is(fs.ThousandSeparator) || is(fs.TimeSeparator) || is(fs.DateSeparator);
    const bool control = Key < 32 && Key != U'\r';
    bool valid = isSeparator || Key == U'+' || Key == U'-' || (Key >= U'0' && Key <= U'9') || control;
    if (FSpinType == sptNormal && isSeparator)
        valid = false;
    // A separator of another kind is refused, unless it doubles as a character the kind takes anyway.
    auto otherSeparator = [&](char sep) {
        return sep == fs.DecimalSeparator || sep == fs.ThousandSeparator || sep == '-' || sep == '+';
    };
    if (is(fs.TimeSeparator) && FSpinType != sptTime) {
        if (!otherSeparator(fs.TimeSeparator) || FSpinType == sptDate || FSpinType == sptHex)
            valid = false;
    }
    if (is(fs.DateSeparator) && FSpinType != sptDate) {
        if (!otherSeparator(fs.DateSeparator) || FSpinType == sptDate || FSpinType == sptHex)
            valid = false;
    }
    const std::u32string& text = Chars();
    const int caret = SelStart(), selLength = SelLength();
    const char32_t decimal = static_cast<unsigned char>(fs.DecimalSeparator);
    if (FSpinType == sptFloat && Key != 27 && Key != U'\r' && Key != 8) {
        if (is(fs.ThousandSeparator))
            Key = decimal;
        const int sep = FindSep(text, fs.DecimalSeparator, 1);
        if (Key == decimal) {
            if (selLength != CharCount() && (sep != 0 || FPrecision == 0))
                valid = false;
        }
        if (FPrecision > 0 && sep != 0 && caret >= sep && selLength == 0 &&
            static_cast<int>(text.size()) >= sep + FPrecision)
            valid = false;
    }
    if (FSpinType == sptTime) {
        const char32_t timeSep = static_cast<unsigned char>(fs.TimeSeparator);
        if ((Key == U',' || Key == U'.') && Key != timeSep)
            Key = timeSep;
        if (Key == timeSep && text.find(timeSep) != std::u32string::npos)
            valid = false;
    }
    if (FSpinType == sptHex) {
        valid = (IsHexDigit(Key) || control) && caret >= 2;
        if (valid && Key == 8 && caret == 2)
            valid = false;
    }
    if (!FEditorEnabled && valid && (Key >= 32 || Key == 8))
        valid = false;
    return valid;
}

// ---- Focus ------------------------------------------------------------------------------------------------

void TKvxSpinEdit::DoEnter() {
    if (AutoSelect() && (GetKeyState(VK_LBUTTON) >= 0 || !FEditorEnabled))
        SelectAll();
    TCustomEdit::DoEnter();
}

void TKvxSpinEdit::FillEmptyText() {
    if (FAllowNullValue || !Text().empty())
        return;
    switch (FSpinType) {
    case sptNormal:
        if (FMinValue != FMaxValue)
            SetValue(FMinValue);
        break;
    case sptFloat:
        if (FMinFloatValue != FMaxFloatValue)
            SetFloatValue(FMinFloatValue);
        break;
    case sptDate:
        if (FMinDateValue != FMaxDateValue)
            SetDateValue(FMinDateValue);
        break;
    case sptTime:
        if (FMinDateValue != FMaxDateValue)
            SetTimeValue(FMinDateValue);
        break;
    case sptHex:
        if (FMinValue != FMaxValue)
            SetHexValue(FMinValue);
        break;
    }
}

void TKvxSpinEdit::DoExit() {
    TCustomEdit::DoExit();
    if (FAllowNullValue && Text().empty())
        return;
    switch (FSpinType) {
    case sptNormal: {
        int v = Value();
        if (CheckValue(v) != v)
            SetValue(v);
        break;
    }
    case sptFloat:
        SetFloatValue(FloatValue());
        break;
    case sptDate: {
        TDateTime d = DateValue();
        if (CheckDateValue(d) != d)
            SetDateValue(d);
        break;
    }
    case sptTime: {
        TDateTime t = TimeValue();
        if (CheckDateValue(t) != t)
            WriteText(TimeText(t));
        break;
    }
    case sptHex:
        SetHexValue(CheckValue(HexValue()));
        break;
    }
}

void TKvxSpinEdit::SetFocusBorderColor(TColor Value) {
    if (Value == FFocusBorderColor)
        return;
    FFocusBorderColor = Value;
    RedrawWithFrame();
}

void TKvxSpinEdit::RedrawWithFrame() {
    // The focus frame lies on the border too.
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TKvxSpinEdit::WindowFocusLost() {
    if (FFocusColor != clNone && FNormalColor != clNone)
        SetColor(FNormalColor);
    FillEmptyText();
    if (IsWinXPOrLater())
        NudgeWidth();
    RedrawWithFrame();
}

// ---- Look -------------------------------------------------------------------------------------------------

void TKvxSpinEdit::NudgeWidth() {
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

int TKvxSpinEdit::MinHeight() const {
    TBitmap measure;
    measure.SetSize(1, 1);
    TDeviceContext& dc = *measure.Canvas()->Handle();
    TTextMetric system, own;
    dc.SelectFont(GetStockFont(SYSTEM_FONT));
    dc.GetTextMetrics(system);
    measure.Canvas()->Font()->Assign(Font());
    measure.Canvas()->Handle();
    measure.Canvas()->TextWidth("0"); // realises the font
    measure.Canvas()->Handle()->GetTextMetrics(own);
    int i = std::min(system.tmHeight, own.tmHeight);
    if (BorderStyle() == bsSingle)
        return own.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER) + i / 4 + 2;
    return own.tmHeight + i / 4 + 2;
}

void TKvxSpinEdit::LayoutButton() {
    if (!FButton)
        return;
    int bw = FButton->Width();
    int e = BorderStyle() == bsSingle ? 5 : 1;
    FButton->SetBounds(Width() - bw - e, 0, bw, Height() - e);
}

void TKvxSpinEdit::ApplyFormatRect() {
    if (!FButton)
        return;
    int bw = FButton->Width();
    TRect c = ClientRect();
    TRect r;
    if (FFlat) {
        r = TRect(2, 4, c.Right - bw - 4, c.Bottom - 4);
    } else {
        int a = BorderStyle() == bsSingle ? 0 : 2;
        r = TRect(a, a, c.Width() - bw - 2 - a, c.Height() + 1);
    }
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TKvxSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FButton && !Loading() && AHeight < MinHeight())
        AHeight = MinHeight();
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    LayoutButton();
    ApplyFormatRect();
    if (FLabel.Label() && !(ComponentState() & csDestroying))
        LayoutLabel();
}

void TKvxSpinEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
    if (FEditAlign == spin::eaRight)
        Params.Style |= ES_RIGHT;
    else if (FEditAlign == spin::eaCenter)
        Params.Style |= ES_CENTER;
}

void TKvxSpinEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    LayoutButton();
    ApplyFormatRect();
}

void TKvxSpinEdit::SetDirection(TSpinDirection Value) {
    if (Value == FDirection)
        return;
    FDirection = Value;
    if (FButton)
        FButton->SetDirection(Value);
    NudgeWidth();
}

void TKvxSpinEdit::SetEditAlign(spin::TEditAlign Value) {
    FEditAlign = Value;
    SetEditStyle((EditStyle() & ~(ES_RIGHT | ES_CENTER)) | (Value == spin::eaRight    ? ES_RIGHT
                                                            : Value == spin::eaCenter ? ES_CENTER
                                                                                : 0));
    if (HandleAllocated())
        RecreateWnd();
}

void TKvxSpinEdit::SetFlat(bool Value) {
    FFlat = Value;
    if (Loading())
        return;
    if (FFlat) {
        FNormalColor = Color();
        SetBorderStyle(bsNone);
    } else {
        if (FNormalColor != clNone)
            SetColor(FNormalColor);
        SetBorderStyle(bsSingle);
    }
    LayoutButton();
    ApplyFormatRect();
    Invalidate();
}

void TKvxSpinEdit::SetFlatLineColor(TColor Value) {
    FFlatLineColor = Value;
    Invalidate();
}

template <class F> void TKvxSpinEdit::ForEachArrow(F Action) {
    if (!FButton)
        return;
    for (TKvxTimerSpeedButton* b : {FButton->UpButton(), FButton->DownButton()})
        if (b)
            Action(b);
}

void TKvxSpinEdit::SetSpinFlat(bool Value) {
    FSpinFlat = Value;
    ForEachArrow([&](TKvxTimerSpeedButton* b) { b->SetFlat(Value); });
}

void TKvxSpinEdit::SetSpinTransparent(bool Value) {
    FSpinTransparent = Value;
    ForEachArrow([&](TKvxTimerSpeedButton* b) { b->SetTransparent(Value); });
    NudgeWidth();
}

void TKvxSpinEdit::SetTransparent(bool Value) {
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Invalidate();
}

void TKvxSpinEdit::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    if (FTransparent && Parent()) {
        DrawParentBackground(this, Canvas.Handle(), &Rect);
        return;
    }
    TCustomEdit::PaintBackground(Canvas, Rect);
}

void TKvxSpinEdit::Paint() {
    TCustomEdit::Paint();
    if (FFlat) {
        TRect r = FormatRect();
        TCanvas& c = *Canvas();
        c.Pen()->SetStyle(psSolid);
        c.Pen()->SetWidth(1);
        c.Pen()->SetColor(FFlatLineColor);
        c.MoveTo(r.Left, Height() - 1);
        c.LineTo(r.Right, Height() - 1);
    }
    DrawFocusBorder();
}

void TKvxSpinEdit::DrawFocusBorder() {
    if (FFocusBorderColor != clNone && Focused())
        FrameWindow(this, FFocusBorderColor);
}

void TKvxSpinEdit::Change() {
    if (FUpdating)
        return;
    if (FTransparent)
        Invalidate();
    TCustomEdit::Change();
}

// ---- Label ------------------------------------------------------------------------------------------------

void TKvxSpinEdit::LayoutLabel() {
    if (!FLabel.Label())
        return;
    FLabel.Place(FLabelPosition, FLabelMargin, FLabelTransparent);
    FLabel.Label()->Font()->Assign(FLabelFont.get());
}

void TKvxSpinEdit::SetLabelCaption(const std::string& Value) {
    FLabel.SetCaption(Value, Font());
    LayoutLabel();
}

void TKvxSpinEdit::SetLabelPosition(TLabelPosition Value) {
    FLabelPosition = Value;
    LayoutLabel();
}

void TKvxSpinEdit::SetLabelMargin(int Value) {
    FLabelMargin = Value;
    LayoutLabel();
}

void TKvxSpinEdit::SetLabelTransparent(bool Value) {
    FLabelTransparent = Value;
    LayoutLabel();
}

void TKvxSpinEdit::SetLabelAlwaysEnabled(bool Value) {
    FLabelAlwaysEnabled = Value;
    if (Value && FLabel.Label())
        FLabel.Label()->SetEnabled(true);
    Invalidate();
}

void TKvxSpinEdit::SetEnabled(bool Value) {
    bool old = Enabled();
    TCustomEdit::SetEnabled(Value);
    if (!Loading() && !(ComponentState() & csDesigning) && old != Value && FLabel.Label() &&
        !FLabelAlwaysEnabled)
        FLabel.Label()->SetEnabled(Value);
}

void TKvxSpinEdit::SetParent(TWinControl* AParent) {
    TCustomEdit::SetParent(AParent);
    if (FLabel.Label()) {
        FLabel.Label()->SetParent(AParent);
        LayoutLabel();
    }
}

void TKvxSpinEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    FLabel.Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FButton)
        FButton = nullptr;
}

void TKvxSpinEdit::Loaded() {
    TCustomEdit::Loaded();
    TemporaryChange updating(FUpdating, true);
    FNormalColor = Color();
    switch (FSpinType) {
    case sptDate:
        WriteText(DateToStr(FDateValue));
        break;
    case sptTime:
        WriteText(TimeText(FTimeValue));
        break;
    case sptHex:
        WriteText(HexText(FHexValue));
        break;
    default:
        break;
    }
    SetSpinType(FSpinType);
    SetFlat(FFlat);
    ComputeMonthFirst();
    if (FLabel.Label() && !Enabled() && !FLabelAlwaysEnabled)
        FLabel.Label()->SetEnabled(false);
    SetBounds(Left(), Top(), Width(), Height());
}

// ---- Messages ---------------------------------------------------------------------------------------------

void TKvxSpinEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PASTE:
    case WM_CUT:
        if (!FEditorEnabled || ReadOnly())
            return;
        break;
    case kSelectNextMessage:
        if (TWinControl* parent = Parent())
            parent->SelectNext(this, Message.WParam != 0, true);
        return;
    case WM_SETFOCUS:
        TCustomEdit::Dispatch(Message);
        if (FFocusBorderColor != clNone)
            RedrawWithFrame();
        if (FFocusColor != clNone) {
            // What the edit shows now is what it returns to, also when its colour was set in code.
            if (Color() != FFocusColor)
                FNormalColor = Color();
            SetColor(FFocusColor);
            if (IsWinXPOrLater())
                NudgeWidth();
        }
        return;
    case WM_KILLFOCUS:
        TCustomEdit::Dispatch(Message);
        WindowFocusLost();
        return;
    case WM_NCPAINT:
        TCustomEdit::Dispatch(Message);
        DrawFocusBorder();
        return;
    case CM_ENABLEDCHANGED:
        TCustomEdit::Dispatch(Message);
        if (FButton)
            FButton->SetEnabled(Enabled());
        ForEachArrow([&](TKvxTimerSpeedButton* b) { b->SetEnabled(Enabled()); });
        return;
    case CM_VISIBLECHANGED:
    case CM_SHOWINGCHANGED:
        TCustomEdit::Dispatch(Message);
        if (FLabel.Label())
            FLabel.Label()->SetVisible(Visible());
        return;
    case CM_FONTCHANGED:
        TCustomEdit::Dispatch(Message);
        if (FLabel.Label() && (Loading() || (ComponentState() & csDesigning)))
            FLabel.Label()->Font()->Assign(Font());
        ApplyFormatRect();
        return;
    case CM_MOUSEENTER:
        if (FAutoFocus && CanFocus() && !Focused())
            SetFocus();
        break;
    }
    TCustomEdit::Dispatch(Message);
}

} // namespace ui

namespace ui {

void TKvxSpinButton::GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) {
    plat::TWinControl::GetChildren(
        [&](plat::TComponent* Child) {
            if (Child != FUpButton && Child != FDownButton)
                Proc(Child);
        },
        Root);
}

} // namespace ui
