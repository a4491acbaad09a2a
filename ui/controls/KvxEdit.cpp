#include "ui/controls/KvxEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Form.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/ParentBackground.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/SystemServices.h"
#include "ui/controls/KvxEddd.h"

using namespace plat;

namespace ui {

namespace {

std::u32string U(std::string_view s) {
    return Utf8Decode(s);
}

std::string S(std::u32string_view s) {
    return Utf8Encode(s);
}

int Len(std::string_view s) {
    return static_cast<int>(U(s).size());
}

char DecSep() {
    return FormatSettings().DecimalSeparator;
}

char ThouSep() {
    return FormatSettings().ThousandSeparator;
}

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool Contains(std::string_view s, char c) {
    return s.find(c) != std::string_view::npos;
}

std::string Without(std::string_view s, char c) {
    std::string out;
    for (char ch : s)
        if (ch != c)
            out += ch;
    return out;
}

// The 1-based position of c in s (code points), 0 when absent.
int PosOf(const std::u32string& s, char32_t c) {
    size_t p = s.find(c);
    return p == std::u32string::npos ? 0 : static_cast<int>(p) + 1;
}

// The integer reader of the value: leading blanks, a sign, decimal digits or hexadecimal ones after
// '$', 'x' or "0x". Text that does not fit throughout gives the digits read before it, without the sign.
int ReadIntegerPrefix(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    uint32_t v = 0;
    for (; i < s.size(); ++i) {
        int d = HexDigitValue(s[i]);
        if (d >= base)
            d = -1;
        if (d < 0)
            return static_cast<int>(v);
        v = v * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
    }
    return negative ? static_cast<int>(0u - v) : static_cast<int>(v);
}

bool IsRangeSeparator(char32_t c) {
    return c == ',' || c == '-' || c == ';';
}

// The list window of the lookup: a bordered pop-up with a list box that never takes the focus itself.
class TListHintWindow : public THintWindow {
    PLAT_CLASS(TListHintWindow)
public:
    explicit TListHintWindow(TComponent* AOwner) : THintWindow(AOwner) {
        List = new TListBox(this);
        List->SetParent(this);
        List->SetAlign(alClient);
        List->SetBorderStyle(bsNone);
        List->SetItemHeight(12);
        List->SetTabStop(true);
    }
    TListBox* List = nullptr;

    // A hint shows without updating its children; the list box must show with it.
    void ActivateHint(TRect Rect, const std::string& AHint) override {
        THintWindow::ActivateHint(Rect, AHint);
        UpdateShowing();
    }

protected:
    void Paint() override {}
    // Unlike a hint, the list takes the mouse; its bottom-right corner sizes it.
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == WM_NCHITTEST) {
            TPoint p = ScreenToClient(PointFromLParam(Message.LParam));
            Message.Result = p.X >= Width() - 10 && p.Y >= Height() - 10 ? HTBOTTOMRIGHT : HTCLIENT;
            return;
        }
        THintWindow::Dispatch(Message);
    }
};

PLAT_CLASS_INFO(TListHintWindow, THintWindow)

} // namespace

// ---- Lookup settings and persistence ------------------------------------------------------------------

PLAT_CLASS_INFO(TLookupSettings, TPersistent)
PLAT_CLASS_INFO(TPersistence, TPersistent)

PLAT_PROPERTIES(TLookupSettings) {
    props.Object("DisplayList", &TLookupSettings::DisplayList, &TLookupSettings::SetDisplayList);
    props.Object("ValueList", &TLookupSettings::ValueList, &TLookupSettings::SetValueList);
    props.Integer("DisplayCount", &TLookupSettings::DisplayCount, &TLookupSettings::SetDisplayCount, 4);
    props.Color("Color", &TLookupSettings::Color, &TLookupSettings::SetColor, clWindow);
    props.Boolean("Enabled", &TLookupSettings::Enabled, &TLookupSettings::SetEnabled, false);
    props.Integer("NumChars", &TLookupSettings::NumChars, &TLookupSettings::SetNumChars, 2);
    props.Boolean("CaseSensitive", &TLookupSettings::CaseSensitive, &TLookupSettings::SetCaseSensitive,
                  false);
    props.Boolean("History", &TLookupSettings::History, &TLookupSettings::SetHistory, false);
    props.Boolean("Multi", &TLookupSettings::Multi, &TLookupSettings::SetMulti, false);
    props.Char("Separator", &TLookupSettings::Separator, &TLookupSettings::SetSeparator, ';');
}

PLAT_PROPERTIES(TPersistence) {
    props.Boolean("Enable", &TPersistence::Enable, &TPersistence::SetEnable, false);
    props.String("Key", &TPersistence::Key, &TPersistence::SetKey);
    props.String("Section", &TPersistence::Section, &TPersistence::SetSection);
    props.Enum("Location", &TPersistence::Location, &TPersistence::SetLocation, kPersistenceLocationNames,
               plInifile);
}

TLookupSettings::TLookupSettings()
    : FDisplayList(std::make_unique<TStringList>()), FValueList(std::make_unique<TStringList>()) {}

TLookupSettings::~TLookupSettings() = default;

void TLookupSettings::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TLookupSettings*>(Source);
    if (!s)
        return;
    FDisplayList->Assign(*s->FDisplayList);
    FValueList->Assign(*s->FValueList);
    FDisplayCount = s->FDisplayCount;
    FColor = s->FColor;
    FEnabled = s->FEnabled;
    FNumChars = s->FNumChars;
    FCaseSensitive = s->FCaseSensitive;
    FHistory = s->FHistory;
    FMulti = s->FMulti;
    FSeparator = s->FSeparator;
}

void TPersistence::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TPersistence*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FEnable = s->FEnable;
    FKey = s->FKey;
    FSection = s->FSection;
    FLocation = s->FLocation;
}

// ---- The edit -------------------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TKvxEdit, TCustomEdit)

namespace {
// Layouts create the edits by name.
struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxEdit::StaticClass()); }
} registrar;
} // namespace

PLAT_PROPERTIES(TKvxEdit) {
    props.Enum("EditType", &TKvxEdit::EditType, &TKvxEdit::SetEditType, kKvxEditTypeNames, etString);
    props.Integer("Precision", &TKvxEdit::Precision, &TKvxEdit::SetPrecision, 0)
        .Stored(&TKvxEdit::IsPrecisionStored);
    props.Enum("PrecisionDisplay", &TKvxEdit::PrecisionDisplay, &TKvxEdit::SetPrecisionDisplay,
               kPrecisionDisplayNames, pdNormal);
    props.Boolean("Signed", &TKvxEdit::Signed, &TKvxEdit::SetSigned, false);
    props.Boolean("AllowNumericNullValue", &TKvxEdit::AllowNumericNullValue,
                  &TKvxEdit::SetAllowNumericNullValue, false);
    props.Boolean("AutoThousandSeparator", &TKvxEdit::AutoThousandSeparator,
                  &TKvxEdit::SetAutoThousandSeparator, true);
    props.Boolean("ExcelStyleDecimalSeparator", &TKvxEdit::ExcelStyleDecimalSeparator,
                  &TKvxEdit::SetExcelStyleDecimalSeparator, false);
    props.String("ValidChars", &TKvxEdit::ValidChars, &TKvxEdit::SetValidChars);
    props.String("Prefix", &TKvxEdit::Prefix, &TKvxEdit::SetPrefix);
    props.String("Suffix", &TKvxEdit::Suffix, &TKvxEdit::SetSuffix);
    props.Integer("LengthLimit", &TKvxEdit::LengthLimit, &TKvxEdit::SetLengthLimit, 0);
    props.Boolean("TabOnFullLength", &TKvxEdit::TabOnFullLength, &TKvxEdit::SetTabOnFullLength, false);
    props.Boolean("ReturnIsTab", &TKvxEdit::ReturnIsTab, &TKvxEdit::SetReturnIsTab, false);
    props.Boolean("CanUndo", &TKvxEdit::CanUndo, &TKvxEdit::SetCanUndo, true);
    props.Boolean("AutoFocus", &TKvxEdit::AutoFocus, &TKvxEdit::SetAutoFocus, false);
    props.Enum("EditAlign", &TKvxEdit::EditAlign, &TKvxEdit::SetEditAlign, kEditAlignNames, eaLeft);
    props.Enum("FocusAlign", &TKvxEdit::FocusAlign, &TKvxEdit::SetFocusAlign, kEditAlignNames, eaDefault);
    props.Color("FocusColor", &TKvxEdit::FocusColor, &TKvxEdit::SetFocusColor, clNone);
    props.Color("FocusFontColor", &TKvxEdit::FocusFontColor, &TKvxEdit::SetFocusFontColor, clWindowText);
    props.Integer("FocusWidthInc", &TKvxEdit::FocusWidthInc, &TKvxEdit::SetFocusWidthInc, 0);
    props.Boolean("FocusLabel", &TKvxEdit::FocusLabel, &TKvxEdit::SetFocusLabel, false);
    props.Boolean("ShowModified", &TKvxEdit::ShowModified, &TKvxEdit::SetShowModified, false);
    props.Color("ModifiedColor", &TKvxEdit::ModifiedColor, &TKvxEdit::SetModifiedColor, clHighlight);
    props.Boolean("ShowError", &TKvxEdit::ShowError, &TKvxEdit::SetShowError, false);
    props.Color("ErrorColor", &TKvxEdit::ErrorColor, &TKvxEdit::SetErrorColor, clRed);
    props.Color("ErrorFontColor", &TKvxEdit::ErrorFontColor, &TKvxEdit::SetErrorFontColor, clWhite);
    props.Boolean("ShowURL", &TKvxEdit::ShowURL, &TKvxEdit::SetShowURL, false);
    props.Color("URLColor", &TKvxEdit::URLColor, &TKvxEdit::SetURLColor, clBlue);
    props.String("EmptyText", &TKvxEdit::EmptyText, &TKvxEdit::SetEmptyText);
    props.Integer("ErrorMarkerPos", &TKvxEdit::ErrorMarkerPos, &TKvxEdit::SetErrorMarkerPos, 0);
    props.Integer("ErrorMarkerLen", &TKvxEdit::ErrorMarkerLen, &TKvxEdit::SetErrorMarkerLen, 0);
    props.Boolean("Flat", &TKvxEdit::Flat, &TKvxEdit::SetFlat, false);
    props.Color("FlatLineColor", &TKvxEdit::FlatLineColor, &TKvxEdit::SetFlatLineColor, clBlack);
    props.Boolean("FlatParentColor", &TKvxEdit::FlatParentColor, &TKvxEdit::SetFlatParentColor, true);
    props.Boolean("SoftBorder", &TKvxEdit::SoftBorder, &TKvxEdit::SetSoftBorder, false);
    props.Boolean("FocusBorder", &TKvxEdit::FocusBorder, &TKvxEdit::SetFocusBorder, false);
    props.Color("FocusBorderColor", &TKvxEdit::FocusBorderColor, &TKvxEdit::SetFocusBorderColor, clNone);
    props.Color("DisabledColor", &TKvxEdit::DisabledColor, &TKvxEdit::SetDisabledColor, clSilver);
    props.Boolean("DisabledBorder", &TKvxEdit::DisabledBorder, &TKvxEdit::SetDisabledBorder, true);
    props.Boolean("Transparent", &TKvxEdit::Transparent, &TKvxEdit::SetTransparent, false);
    props.Boolean("HintShowLargeText", &TKvxEdit::HintShowLargeText, &TKvxEdit::SetHintShowLargeText, false);
    props.String("LabelCaption", &TKvxEdit::LabelCaption, &TKvxEdit::SetLabelCaption);
    props.Enum("LabelPosition", &TKvxEdit::LabelPosition, &TKvxEdit::SetLabelPosition, kLabelPositionNames,
               lpLeftTop);
    props.Integer("LabelMargin", &TKvxEdit::LabelMargin, &TKvxEdit::SetLabelMargin, 4);
    props.Boolean("LabelTransparent", &TKvxEdit::LabelTransparent, &TKvxEdit::SetLabelTransparent, false);
    props.Boolean("LabelAlwaysEnabled", &TKvxEdit::LabelAlwaysEnabled, &TKvxEdit::SetLabelAlwaysEnabled,
                  false);
    props.Object("LabelFont", &TKvxEdit::LabelFont, &TKvxEdit::SetLabelFont);
    props.Object("Lookup", &TKvxEdit::Lookup, &TKvxEdit::SetLookup);
    props.Object("Persistence", &TKvxEdit::Persistence, &TKvxEdit::SetPersistence);
    props.Boolean("OleDropSource", &TKvxEdit::OleDropSource, &TKvxEdit::SetOleDropSource, false);
    props.Boolean("OleDropTarget", &TKvxEdit::OleDropTarget, &TKvxEdit::SetOleDropTarget, false);
    props.Color("Color", &TKvxEdit::Color, &TKvxEdit::SetColor, clWindow);
    props.String("Text", &TKvxEdit::Text, &TKvxEdit::SetTextProp);
    props.String("Version", &TKvxEdit::Version, nullptr);
    props.Event("OnValueValidate", &TKvxEdit::OnValueValidate);
    props.Event("OnClipboardCopy", &TKvxEdit::OnClipboardCopy);
    props.Event("OnClipboardCut", &TKvxEdit::OnClipboardCut);
    props.Event("OnClipboardPaste", &TKvxEdit::OnClipboardPaste);
    props.Event("OnMouseEnter", &TKvxEdit::OnMouseEnter);
    props.Event("OnMouseLeave", &TKvxEdit::OnMouseLeave);
    props.Event("OnLookupSelect", &TKvxEdit::OnLookupSelect);
    props.Event("OnLookupIndexSelect", &TKvxEdit::OnLookupIndexSelect);
    props.Event("OnLabelClick", &TKvxEdit::OnLabelClick);
    props.Event("OnLabelDblClick", &TKvxEdit::OnLabelDblClick);
    props.Event("OnURLClick", &TKvxEdit::OnURLClick);
}

TKvxEdit::TKvxEdit(TComponent* AOwner)
    : TCustomEdit(AOwner), FLabelFont(std::make_unique<TFont>()),
      FLookup(std::make_unique<TLookupSettings>()), FPersistence(std::make_unique<TPersistence>()) {
    FNormalFontColor = Font()->Color();
    TSystemVersion v = GetSystemVersion();
    FXPOrLater = v.Major > 5 || (v.Major == 5 && v.Minor != 0);
    FComCtl6 = CommonControlsMajorVersion() >= 6;
    FLabelFont->OnChange = [this](TObject*) {
        if (Lbl() && !FLabelUsesEditFont)
            Lbl()->Font()->Assign(FLabelFont.get());
        PlaceLabel();
    };
    if (!(ComponentState() & csDesigning)) {
        auto* window = new TListHintWindow(this);
        FListWindow = window;
        FListBox = window->List;
        FListBox->OnKeyPress = [this](TObject*, char32_t& Key) {
            if (Key == '\r')
                SelectLookupItem();
        };
        FListBox->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { SelectLookupItem(); };
    }
}

TKvxEdit::~TKvxEdit() {
    TKvxEdit::BeforeDestruction();
}

// The window goes with the edit without passing DestroyWnd: the text is stored before that.
void TKvxEdit::BeforeDestruction() {
    if (!(ComponentState() & csDestroying)) {
        if (HandleAllocated() && !(ComponentState() & csDesigning))
            SavePersistence();
        RevokeDropTarget();
    }
    TCustomEdit::BeforeDestruction();
}

uint32_t TKvxEdit::PackedVersion() const {
    return (2u << 24) | (8u << 16) | (1u << 8) | 8u;
}

std::string TKvxEdit::Version() const {
    uint32_t v = PackedVersion();
    return IntToStr(v >> 24) + "." + IntToStr((v >> 16) & 0xFF) + "." + IntToStr((v >> 8) & 0xFF) + "." +
           IntToStr(v & 0xFF);
}

// ---- The value ------------------------------------------------------------------------------------------

int TKvxEdit::Lp() const {
    return Len(FPrefix);
}

std::string TKvxEdit::Text() const {
    std::u32string w = U(WindowText());
    std::u32string p = U(FPrefix), s = U(FSuffix);
    if (!p.empty() && w.compare(0, p.size(), p) == 0)
        w.erase(0, p.size());
    if (!s.empty())
        w.erase(w.size() - std::min(w.size(), s.size()));
    return S(w);
}

int TKvxEdit::ValueLength() const {
    return Len(Text());
}

void TKvxEdit::SetWindowTextRaw(const std::string& Value) {
    TCustomEdit::SetText(Value);
}

void TKvxEdit::SetTextProp(const std::string& Value) {
    std::string v = Value;
    bool number =
        FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney || FEditType == etHex;
    if (v.empty() && number)
        v = "0";
    if (FPrecisionDisplay == pdShortest && (FEditType == etFloat || FEditType == etMoney))
        v = Format("%g", {ValueToFloat(v)});
    else if (FPrecision > 0 && !v.empty() && FEditType == etMoney)
        v = Format("%.*n", {FPrecision, ValueToFloat(v)});
    else if (FPrecision > 0 && !v.empty() && FEditType == etFloat)
        v = Format("%.*f", {FPrecision, ValueToFloat(v)});
    if (FEditType == etHex)
        v = AnsiUpperCase(v);
    SetWindowTextRaw(FPrefix + v + FSuffix);
    SetModifiedState(false);
    if (FShowURL)
        SetURLLook(IsURL());
}

int TKvxEdit::ClassifyNumberText(const std::string& Text) {
    std::u32string t = U(Text);
    bool integerLike = !t.empty(), decimalLike = !t.empty(), hexLike = !t.empty();
    int decimals = 0, minus = 0, lastThousand = -1;
    char32_t dec = static_cast<unsigned char>(DecSep()), thou = static_cast<unsigned char>(ThouSep());
    for (size_t k = 0; k < t.size(); ++k) {
        char32_t c = t[k];
        int i = static_cast<int>(k) + 1;
        integerLike = integerLike && (c == '-' || IsDigit(c));
        decimalLike = decimalLike && (c == ',' || c == '-' || c == '.' || IsDigit(c));
        hexLike = hexLike && (c == '-' || IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'));
        if (c == thou) {
            if (i - lastThousand < 3)
                decimalLike = false;
            lastThousand = i;
        }
        if (c == dec)
            ++decimals;
        if (c == '-')
            ++minus;
    }
    int cls = 2;
    if (hexLike && !integerLike)
        cls = 5;
    if (integerLike)
        cls = 0;
    else if (decimalLike)
        cls = 1;
    if (minus > 1 || decimals > 1)
        cls = 2;
    return cls;
}

double TKvxEdit::ValueToFloat(const std::string& Text) {
    std::string t = Contains(Text, ThouSep()) ? Without(Text, ThouSep()) : Text;
    double v = 0;
    if (!TextToFloat(t, v, FormatSettings()))
        return 0;
    return v;
}

int TKvxEdit::HexTextToInt(const std::string& Text) {
    uint32_t sum = 0, weight = 1;
    for (auto it = Text.rbegin(); it != Text.rend(); ++it) {
        uint32_t d = static_cast<uint32_t>(std::max(0, HexDigitValue(*it)));
        sum += d * weight;
        weight *= 16;
    }
    return static_cast<int>(sum);
}

double TKvxEdit::FloatValue() const {
    std::string v = Text();
    switch (FEditType) {
    case etString: {
        double d = 0;
        int code = 0;
        Val(v, d, code);
        if (code > 1)
            Val(v.substr(0, static_cast<size_t>(code - 1)), d, code);
        return code == 0 ? d : 0;
    }
    case etNumeric:
    case etFloat:
        return v.empty() || v == "-" ? 0 : ValueToFloat(v);
    case etMoney: {
        v = Without(v, ThouSep());
        if (!v.empty() && v.back() == DecSep())
            v.pop_back();
        return v.empty() || v == "-" ? 0 : ValueToFloat(v);
    }
    case etHex:
        return v.empty() ? 0 : HexTextToInt(v);
    default:
        return 0;
    }
}

int TKvxEdit::IntegerValue() const {
    std::string v = Text();
    switch (FEditType) {
    case etNumeric:
    case etMoney:
        // Written numbers carry thousand separators: read past them.
        return ReadIntegerPrefix(Without(v, ThouSep()));
    case etFloat:
        return ReadIntegerPrefix(v);
    case etHex:
        return v.empty() ? 0 : HexTextToInt(v);
    default:
        return 0;
    }
}

void TKvxEdit::SetFloatValue(double Value) {
    switch (FEditType) {
    case etString:
    case etFloat:
    case etMoney:
        SetTextProp(FPrecision < 0 ? Format("%g", {Value}) : Format("%.*f", {FPrecision, Value}));
        if (FEditType == etMoney)
            FormatMoney();
        break;
    case etNumeric:
        SetTextProp(FPrecision < 0 ? Format("%g", {Value}) : Format("%.*n", {FPrecision, Value}));
        break;
    case etHex: {
        double t = std::trunc(Value);
        int64_t i = std::isfinite(t) && std::fabs(t) < 9.2e18 ? static_cast<int64_t>(t) : 0;
        SetTextProp(IntToHex(i, 0));
        break;
    }
    default:
        break;
    }
    SetModifiedState(true);
}

void TKvxEdit::SetIntegerValue(int Value) {
    switch (FEditType) {
    case etNumeric:
    case etFloat:
    case etMoney:
        SetTextProp(IntToStr(Value));
        if (FEditType == etMoney)
            FormatMoney();
        break;
    case etHex:
        SetTextProp(IntToHex(Value, 0));
        break;
    default:
        break;
    }
    SetModifiedState(true);
}

void TKvxEdit::FormatMoney() {
    std::string v = Text();
    if (v.empty())
        return;
    int n = Len(v);
    int c = SelStart();
    std::string sign;
    std::string rest = v;
    if (rest[0] == '-') {
        sign = "-";
        rest.erase(0, 1);
    }
    std::string fraction;
    if (size_t p = rest.find(DecSep()); p != std::string::npos)
        fraction = S(U(rest.substr(p)).substr(0, 255));
    double whole = std::trunc(std::fabs(FloatValue()));
    std::string integer = Format(FAutoThousandSeparator ? "%.0n" : "%.0f", {whole});
    std::string value = sign + integer + fraction;
    std::string text = FPrefix + value + FSuffix;
    if (text != WindowText()) {
        FSuppressNextChange = true;
        ScopeGuard clear([this] { FSuppressNextChange = false; });
        SetWindowTextRaw(text);
    }
    SetSelStart(std::max(0, c + (Len(value) - n)));
    SetSelLength(0);
}

std::string TKvxEdit::ToMixedCase(const std::string& Text) {
    static const std::u32string kDelimiters = U" \"$()*,-./:[\\]";
    std::u32string in = U(Text), out = in;
    size_t n = in.size();
    bool capitalise = true;
    for (size_t k = 0; k < n; ++k) {
        size_t i = k + 1;
        char32_t c = in[k];
        if (kDelimiters.find(c) != std::u32string::npos) {
            capitalise = true;
        } else if (capitalise) {
            if (c >= 'a' && c <= 'z')
                out[k] = c - 32;
            capitalise = false;
        } else if (c >= 'A' && c <= 'Z') {
            out[k] = c + 32;
        }
        std::u32string head = out.substr(0, i);
        size_t mc = out.find(U" Mc");
        if (head == U"Mc" || head == U"Mac" || (i > 2 && mc != std::u32string::npos && mc + 1 == i - 2))
            capitalise = true;
        if (n >= 3 && i > n - 3) {
            if ((i >= 2 && out.compare(i - 2, 2, U" I") == 0) ||
                (i >= 3 && out.compare(i - 3, 3, U" II") == 0))
                capitalise = true;
        }
    }
    return S(out);
}

bool TKvxEdit::IsURL() const {
    std::string v = Text();
    size_t at = v.find('@');
    return v.find("://") != std::string::npos || (at != std::string::npos && at > 0) ||
           LowerCase(v).rfind("www.", 0) == 0;
}

bool TKvxEdit::ValidateValue(const std::string& Value) {
    if (FInValidation)
        return true;
    FInValidation = true;
    ScopeGuard reset([this] { FInValidation = false; });
    bool valid = true;
    DoValueValidate(Value, valid);
    return valid;
}

void TKvxEdit::DoValueValidate(const std::string& Value, bool& IsValid) {
    if (OnValueValidate)
        OnValueValidate(this, Value, IsValid);
}

void TKvxEdit::SetModifiedState(bool Value) {
    if ((ComponentState() & csLoading) || ReadOnly())
        return;
    if (FShowModified)
        Font()->SetColor(Value ? FModifiedColor : FNormalFontColor);
    SetModified(Value);
    FModifiedState = Value;
}

void TKvxEdit::SetErrorState(bool Value) {
    if ((ComponentState() & (csDesigning | csLoading)) || FErrorState == Value)
        return;
    FErrorState = Value;
    if (!FShowError)
        return;
    if (Value) {
        TCustomEdit::SetColor(FErrorColor);
        Font()->SetColor(FErrorFontColor);
    } else if (Focused()) {
        SetColor(FFocusColor == clNone ? FNormalColor : FFocusColor);
        if (FFocusFontColor != clNone)
            Font()->SetColor(FFocusFontColor);
    } else {
        TCustomEdit::SetColor(FNormalColor);
        Font()->SetColor(FNormalFontColor);
    }
}

void TKvxEdit::SelectValue() {
    int lp = Lp(), len = ValueLength();
    std::string v = Text();
    int start = 0;
    if (!FPrefix.empty() && SelStart() < lp)
        start = lp;
    if (!FSuffix.empty())
        start = lp;
    if (FShowURL) {
        std::u32string u = U(v);
        if (size_t p = u.find(U"://"); p != std::u32string::npos)
            start = static_cast<int>(p) + 3;
        if (size_t p = u.find(U"mailto:"); p != std::u32string::npos)
            start = static_cast<int>(p) + 7;
    }
    int total = CharCount();
    start = std::min(start, total);
    SetSelStart(start);
    SetSelLength(std::min(len, total - start));
}

void TKvxEdit::MoveCaretAfterDecimal() {
    int p = PosOf(U(Text()), static_cast<unsigned char>(DecSep()));
    SetSelStart(Lp() + p);
    SetSelLength(0);
}

// ---- Setters ----------------------------------------------------------------------------------------------

void TKvxEdit::SetEditType(TKvxEditType Value) {
    if (FEditType == Value)
        return;
    FEditType = Value;
    if (Value == etPassword) {
        SetPasswordChar('*');
        FCanUndo = false;
        RecreateWnd();
    } else {
        SetPasswordChar(0);
    }
    std::string v = Text();
    if (!(v.empty() && FAllowNumericNullValue)) {
        int cls = ClassifyNumberText(v);
        if (Value == etNumeric && cls != 0)
            SetIntegerValue(0);
        else if ((Value == etFloat || Value == etMoney) && cls > 1)
            SetFloatValue(0);
        else if (Value == etHex && cls != 0 && cls != 5)
            SetIntegerValue(0);
    }
    if ((ComponentState() & csDesigning) && Value == etFloat && FPrecision == 0)
        SetPrecision(2);
}

void TKvxEdit::SetPrecision(int Value) {
    if (FPrecision == Value || !(FEditType == etString || FEditType == etFloat || FEditType == etMoney))
        return;
    FPrecision = Value;
    if (ComponentState() & csLoading)
        return;
    std::string v = Text();
    if (v.empty() && FAllowNumericNullValue)
        return;
    SetFloatValue(ClassifyNumberText(v) > 1 ? 0 : FloatValue());
}

void TKvxEdit::SetPrecisionDisplay(TPrecisionDisplay Value) {
    if (FPrecisionDisplay == Value)
        return;
    FPrecisionDisplay = Value;
    if (!(ComponentState() & csLoading))
        SetFloatValue(FloatValue());
}

void TKvxEdit::SetAutoThousandSeparator(bool Value) {
    FAutoThousandSeparator = Value;
    if (FEditType == etFloat || FEditType == etMoney)
        FormatMoney();
}

void TKvxEdit::SetPrefix(const std::string& Value) {
    if (FPrefix == Value)
        return;
    std::string v = Text();
    FPrefix = Value;
    SetTextProp(v);
}

void TKvxEdit::SetSuffix(const std::string& Value) {
    if (FSuffix == Value)
        return;
    std::string v = Text();
    FSuffix = Value;
    SetTextProp(v);
}

void TKvxEdit::SetCanUndo(bool Value) {
    if (FEditType == etPassword)
        Value = false;
    if (FCanUndo == Value)
        return;
    FCanUndo = Value;
    RecreateWithNudge();
}

void TKvxEdit::SetEditAlign(TEditAlign Value) {
    if (FEditAlign == Value)
        return;
    FEditAlign = Value;
    RecreateWithNudge();
}

void TKvxEdit::RecreateWithNudge() {
    if (HandleAllocated())
        RecreateWnd();
}

void TKvxEdit::SetShowURL(bool Value) {
    FShowURL = Value;
    SetURLLook(Value && IsURL());
}

void TKvxEdit::SetEmptyText(const std::string& Value) {
    FEmptyText = Value;
    Invalidate();
}

void TKvxEdit::SetErrorMarkerPos(int Value) {
    FErrorMarkerPos = Value;
    Invalidate();
}

void TKvxEdit::SetErrorMarkerLen(int Value) {
    FErrorMarkerLen = Value;
    Invalidate();
}

void TKvxEdit::SetFlatLineColor(TColor Value) {
    FFlatLineColor = Value;
    Invalidate();
}

void TKvxEdit::SetSoftBorder(bool Value) {
    FSoftBorder = Value;
    Invalidate();
}

void TKvxEdit::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TKvxEdit::SetColor(TColor Value) {
    TCustomEdit::SetColor(Value);
    FNormalColor = Value;
}

void TKvxEdit::SetEnabled(bool Value) {
    bool changed = Enabled() != Value;
    TCustomEdit::SetEnabled(Value);
    if (!changed || (ComponentState() & (csLoading | csDesigning)))
        return;
    if (Value) {
        TCustomEdit::SetColor(FNormalColor);
    } else {
        TColor keep = FNormalColor;
        SetColor(FDisabledColor);
        FNormalColor = keep;
    }
    if (Lbl() && !FLabelAlwaysEnabled)
        Lbl()->SetEnabled(Value);
}

void TKvxEdit::SetFlat(bool Value) {
    if (ComponentState() & csLoading) {
        FFlat = Value;
        return;
    }
    if (FFlat == Value)
        return;
    ApplyFlat(Value);
}

void TKvxEdit::ApplyFlat(bool Value) {
    FFlat = Value;
    if (Value) {
        TColor c = Color();
        if (FFlatParentColor && Parent()) {
            SetColor(Parent()->Brush()->Color());
            FFocusColor = Parent()->Brush()->Color();
        } else {
            SetColor(FNormalColor);
        }
        FNormalColor = c;
        SetBorderStyle(bsNone);
        UpdateEditRect(true);
    } else {
        SetColor(FNormalColor);
        SetBorderStyle(FSavedBorderStyle);
        UpdateEditRect(false);
    }
    Invalidate();
}

void TKvxEdit::SetOleDropTarget(bool Value) {
    FOleDropTarget = Value;
    if (ComponentState() & csDesigning)
        return;
    if (Value) {
        if (HandleAllocated())
            RegisterDropTarget();
    } else {
        RevokeDropTarget();
    }
}

void TKvxEdit::RegisterDropTarget() {
    if (FDropTargetRegistered)
        return;
    if (!FDropTarget)
        FDropTarget = std::make_unique<TEditDropTarget>(this);
    FDropTargetRegistered = RegisterDragDrop(WindowHandle(), FDropTarget.get());
    if (FDropTargetRegistered)
        FDropWindow = WindowHandle();
}

// The registration goes with the window it was made for, however that window ends.
void TKvxEdit::RevokeDropTarget() {
    if (FDropTargetRegistered)
        RevokeDragDrop(FDropWindow);
    FDropTargetRegistered = false;
    FDropWindow = nullptr;
}

// ---- Attached label ----------------------------------------------------------------------------------

std::string TKvxEdit::LabelCaption() const {
    return FLabel.Caption();
}

void TKvxEdit::SetLabelCaption(const std::string& Value) {
    bool first = !Lbl();
    FLabel.SetCaption(Value, FLabelFont.get());
    if (first) {
        Lbl()->SetParentFont(ParentFont());
        Lbl()->OnClick = [this](TObject*) {
            if (OnLabelClick)
                OnLabelClick(this);
        };
        Lbl()->OnDblClick = [this](TObject*) {
            if (OnLabelDblClick)
                OnLabelDblClick(this);
        };
    }
    PlaceLabel();
}

void TKvxEdit::SetLabelPosition(TLabelPosition Value) {
    FLabelPosition = Value;
    PlaceLabel();
}

void TKvxEdit::SetLabelMargin(int Value) {
    FLabelMargin = Value;
    PlaceLabel();
}

void TKvxEdit::SetLabelTransparent(bool Value) {
    FLabelTransparent = Value;
    PlaceLabel();
}

void TKvxEdit::SetLabelAlwaysEnabled(bool Value) {
    FLabelAlwaysEnabled = Value;
    if (Lbl() && Value)
        Lbl()->SetEnabled(true);
}

void TKvxEdit::SetLabelFont(TFont* Value) {
    FLabelFont->Assign(Value);
}

void TKvxEdit::PlaceLabel() {
    if (!Lbl() || !Lbl()->Parent())
        return;
    Lbl()->Font()->Assign(FLabelUsesEditFont ? Font() : FLabelFont.get());
    // Re-placing while focused (a focus width increase does) keeps the focus label bold.
    if (FFocusLabel && Focused())
        Lbl()->Font()->SetStyle(Lbl()->Font()->Style() | fsBold);
    FLabel.Place(FLabelPosition, FLabelMargin, FLabelTransparent);
    Lbl()->SetVisible(Visible());
}

void TKvxEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ComponentState() & csLoading)
        FLoadedHeight = AHeight;
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Lbl() && Lbl()->Parent())
        PlaceLabel();
    if (HandleAllocated())
        UpdateEditRect(FFlat);
}

void TKvxEdit::SetParent(TWinControl* AParent) {
    TCustomEdit::SetParent(AParent);
    if (Lbl()) {
        Lbl()->SetParent(AParent);
        PlaceLabel();
    }
}

void TKvxEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    FLabel.Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FListWindow) {
        FListWindow = nullptr;
        FListBox = nullptr;
    }
}

// ---- Window ----------------------------------------------------------------------------------------------

void TKvxEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    if (FEditAlign == eaRight)
        Params.Style = (Params.Style & ~ES_CENTER) | ES_RIGHT;
    else if (FEditAlign == eaCenter)
        Params.Style = (Params.Style & ~ES_RIGHT) | ES_CENTER;
}

void TKvxEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    UpdateEditRect(FFlat);
    if (FOleDropTarget && !(ComponentState() & csDesigning))
        RegisterDropTarget();
}

void TKvxEdit::DestroyWnd() {
    if (!(ComponentState() & csDesigning))
        SavePersistence();
    RevokeDropTarget();
    TCustomEdit::DestroyWnd();
}

void TKvxEdit::UpdateEditRect(bool AFlat) {
    if (!HandleAllocated())
        return;
    int a = 0; // the platform's edits are always drawn 3D
    int W = ClientWidth(), H = ClientHeight();
    TRect r = AFlat ? TRect(a + 4 + FLeftReserve, 3, W - 4 - FRightReserve, H - 4)
                    : TRect(a + FLeftReserve, 0, W - FRightReserve, H);
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TKvxEdit::Loaded() {
    TCustomEdit::Loaded();
    bool designing = ComponentState() & csDesigning;
    if (!designing) {
        FNormalColor = Color();
        FNormalFontColor = Font()->Color();
        FSavedBorderStyle = BorderStyle();
        if (FFlat)
            ApplyFlat(true);
        PlaceLabel();
        if (!Enabled()) {
            TColor keep = FNormalColor;
            TCustomEdit::SetColor(FDisabledColor);
            FNormalColor = keep;
        }
    }
    if (FLoadedHeight > 0)
        SetBounds(Left(), Top(), Width(), FLoadedHeight);
    if (!designing)
        LoadPersistence();
    if (Lbl()) {
        if (!FLabelAlwaysEnabled)
            Lbl()->SetEnabled(Enabled());
        if (ParentFont())
            Lbl()->Font()->Assign(Font());
    }
    FLabelUsesEditFont = ParentFont();
    PlaceLabel();
}

void TKvxEdit::Change() {
    if (FSuppressNextChange) {
        FSuppressNextChange = false;
        return;
    }
    if (FTransparent)
        Invalidate();
    if (FShowURL) {
        bool url = IsURL();
        if (url != FURLLook)
            SetURLLook(url);
    }
    TCustomEdit::Change();
    if (!(ComponentState() & csLoading) && FShowError)
        SetErrorState(!ValidateValue(Text()));
}

void TKvxEdit::SetURLLook(bool On) {
    if (On) {
        Font()->SetStyle(Font()->Style() | fsUnderline);
        Font()->SetColor(FURLColor);
        FURLLook = true;
        SetCursor(crHandPoint);
    } else {
        Font()->SetStyle(Font()->Style() & ~fsUnderline);
        if (FURLLook)
            Font()->SetColor(FNormalFontColor);
        FURLLook = false;
        SetCursor(crIBeam);
    }
    Invalidate();
}

// ---- Messages --------------------------------------------------------------------------------------------

void TKvxEdit::WndProc(TMessage& Message) {
    if (ComponentState() & csDesigning) {
        TCustomEdit::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CHAR:
        HandleChar(Message);
        return;
    case WM_KEYDOWN:
        HandleKeyDown(Message);
        return;
    case CM_WANTSPECIALKEY:
        if (HandleWantSpecialKey(Message))
            return;
        break;
    case WM_COPY:
        if (OnClipboardCopy && !FCutInProgress) {
            bool allow = true;
            std::u32string v = U(Text());
            int from = std::clamp(SelStart() - Lp(), 0, static_cast<int>(v.size()));
            OnClipboardCopy(this, S(v.substr(from, SelLength())), allow);
            FCutInProgress = false;
            if (!allow)
                return;
        }
        FCutInProgress = false;
        break;
    case WM_CUT: {
        FCutInProgress = true;
        ScopeGuard done([this] { FCutInProgress = false; });
        bool allow = true;
        if (OnClipboardCut) {
            std::u32string v = U(Text());
            int from = std::clamp(SelStart() - Lp(), 0, static_cast<int>(v.size()));
            OnClipboardCut(this, S(v.substr(from, SelLength())), allow);
        }
        if (allow)
            TCustomEdit::WndProc(Message);
        return;
    }
    case WM_PASTE:
        HandlePaste();
        return;
    case WM_SETFOCUS:
        if (ComponentState() & csLoading)
            break;
        HandleFocusEntry(Message);
        return;
    case WM_KILLFOCUS:
        if (ComponentState() & csLoading)
            break;
        HandleFocusExit(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        bool skip = false;
        HandleMouseDown(Message, skip);
        if (skip)
            return;
        break;
    }
    case WM_MOUSEMOVE:
        TCustomEdit::WndProc(Message);
        HandleMouseMove(Message);
        return;
    case WM_LBUTTONUP:
        HandleMouseUp(Message);
        return;
    case CM_MOUSEENTER:
        TCustomEdit::WndProc(Message);
        if (FAutoFocus && CanFocus())
            SetFocus();
        if (Enabled()) {
            FMouseInside = true;
            if (FFocusBorder)
                PaintBorder();
        }
        if (OnMouseEnter)
            OnMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        TCustomEdit::WndProc(Message);
        if (FMouseInside && Enabled()) {
            FMouseInside = false;
            if (FFocusBorder)
                Invalidate();
        }
        if (OnMouseLeave)
            OnMouseLeave(this);
        return;
    case CM_HINTSHOW:
        if (FHintShowLargeText) {
            TCanvas* c = Canvas();
            c->Font()->Assign(Font());
            if (c->TextWidth(Text()) > Width()) {
                if (auto* info = reinterpret_cast<THintInfo*>(Message.LParam)) {
                    info->HintStr = Text();
                    info->HintPos = ClientToScreen(TPoint(0, 0));
                }
            }
        }
        break;
    case CM_CANCELMODE:
        TCustomEdit::WndProc(Message);
        if (LookupShown())
            static_cast<THintWindow*>(FListWindow)->ReleaseHandle();
        return;
    case CM_SHOWINGCHANGED:
    case CM_VISIBLECHANGED: // the label shows and hides with the edit
        TCustomEdit::WndProc(Message);
        if (Lbl())
            Lbl()->SetVisible(Visible());
        return;
    case CM_ENABLEDCHANGED:
        TCustomEdit::WndProc(Message);
        return;
    case CM_FONTCHANGED:
        TCustomEdit::WndProc(Message);
        if (Lbl() && ParentFont() && (ComponentState() & (csLoading | csDesigning)))
            Lbl()->Font()->Assign(Font());
        UpdateEditRect(FFlat);
        return;
    case CM_PARENTFONTCHANGED:
        TCustomEdit::WndProc(Message);
        if (Lbl() && ParentFont())
            Lbl()->Font()->Assign(Font());
        return;
    case WM_DESTROY:
        RevokeDropTarget();
        break;
    case WM_NCPAINT:
        TCustomEdit::WndProc(Message);
        if (FFocusBorderColor != clNone || (!Enabled() && FDisabledBorder))
            PaintBorder();
        return;
    }
    TCustomEdit::WndProc(Message);
}

// ---- Typing ----------------------------------------------------------------------------------------------

int TKvxEdit::IntegerPartLength(const std::string& Value) const {
    std::u32string t = U(Without(Value, ThouSep()));
    int p = PosOf(t, static_cast<unsigned char>(DecSep()));
    int r = p ? p : static_cast<int>(t.size()) + 1;
    if (FSigned && ValueIsNumberType() && Contains(Value, '-'))
        --r;
    return r;
}

int TKvxEdit::IntegerPartLimit() const {
    std::u32string v = U(Text());
    int p = PosOf(v, static_cast<unsigned char>(DecSep()));
    return p ? Lp() + p : static_cast<int>(v.size()) + Lp() + Len(FSuffix) + 1;
}

bool TKvxEdit::IsSignKey(char32_t C) const {
    return FSigned && ValueIsNumberType() && C == '-';
}

namespace {

bool DecimalsFull(const std::u32string& Value, int Caret, int Lp, int Precision) {
    int d = Caret - Lp;
    int p = PosOf(Value, static_cast<unsigned char>(DecSep()));
    int n = static_cast<int>(Value.size());
    if (Precision <= 0 || n - d > Precision || p == 0 || d < p || n - p < Precision)
        return false;
    return true;
}

bool ThousandSeparatorMisplaced(std::u32string Value, int Caret, int Lp) {
    char32_t thou = static_cast<unsigned char>(ThouSep());
    int d = Caret - Lp;
    int best = static_cast<int>(Value.size());
    if (Value.find(thou) == std::u32string::npos)
        return false;
    while (true) {
        size_t at = Value.find(thou);
        if (at == std::u32string::npos)
            break;
        int p = static_cast<int>(at) + 1;
        int e = std::abs(p - d);
        if (e < best)
            best = e;
        if (e < 3)
            return true;
        if (d > p)
            d -= p;
        Value.erase(0, static_cast<size_t>(p));
    }
    return best > 3;
}

} // namespace

bool TKvxEdit::SignToggle(bool WholeValueRule) {
    std::string v = Text();
    int lp = Lp();
    if (WholeValueRule && SelLength() == Len(v)) {
        SetWindowTextRaw(FPrefix + "-" + FSuffix);
        SetSelStart(lp + 1);
        SetSelLength(0);
        return true;
    }
    int caret = SelStart();
    if (Contains(v, '-')) {
        std::u32string u = U(v);
        u.erase(0, 1);
        SetWindowTextRaw(FPrefix + S(u) + FSuffix);
        SetSelStart(caret <= lp ? lp : caret - 1);
        SetSelLength(0);
        if (FEditType != etNumeric)
            SetModifiedState(true);
    } else {
        SetWindowTextRaw(FPrefix + "-" + v + FSuffix);
        SetSelStart(caret + 1);
        SetSelLength(0);
        SetModifiedState(true);
    }
    return false;
}

void TKvxEdit::RunTail() {
    if (FTabOnFullLength && FLengthLimit > 0 && IntegerPartLength(Text()) > FLengthLimit &&
        SelLength() == 0 && SelStart() == FLengthLimit) {
        if (TControl* next = NextTabControl(); next && HandleAllocated())
            PostMessage(WindowHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Modified())
        SetModifiedState(true);
    UpdateLookupList();
}

TControl* TKvxEdit::NextTabControl() const {
    return Parent() ? Parent()->FindNextControl(const_cast<TKvxEdit*>(this), true, true, false) : nullptr;
}

void TKvxEdit::HandleChar(TMessage& Message) {
    char32_t c = static_cast<char32_t>(Message.WParam);
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    std::string value = Text();
    int valueLen = Len(value);
    int lp = Lp();
    bool wholeSelected = SelLength() == valueLen && !value.empty();
    // Replacing the whole value swallows its change notification, but only for a character that is
    // taken: a refused one must not eat the next real change.
    ScopeGuard clearSuppress([this] { FSuppressNextChange = false; });
    auto accept = [&] { FSuppressNextChange = wholeSelected; };
    auto standard = [&] {
        accept();
        Message.WParam = c;
        TCustomEdit::WndProc(Message);
    };
    const char32_t dec = static_cast<unsigned char>(DecSep());
    const char32_t thou = static_cast<unsigned char>(ThouSep());

    if (c == '\r') {
        if (ctrl) {
            Message.Result = 1;
            return;
        }
        char32_t copy = '\r';
        if (OnKeyPress)
            OnKeyPress(this, copy);
        return;
    }
    if (c == 27) {
        // With CanUndo the key-down already put the value back; the character itself must not mark
        // the restored value modified again.
        if (!FCanUndo)
            standard();
        return;
    }
    if (ctrl && (c == 3 || c == 22 || c == 24)) {
        standard();
        return;
    }
    if (FExcelStyleDecimalSeparator && (c == '.' || c == ',') && (Message.LParam & KF_KEYPAD_BIT))
        c = dec;
    if (c == 8 && !FPrefix.empty() && SelStart() <= lp && SelLength() == 0)
        return;
    if (FLengthLimit > 0 && IntegerPartLength(value) > FLengthLimit && SelLength() == 0 &&
        SelStart() < IntegerPartLimit() && !(c == 8 || c == dec || IsSignKey(c)))
        return;
    if (c == 8) {
        std::u32string expected = U(value);
        int at = SelStart() - lp; // 0-based deletion start is at - 1 for a plain backspace
        int count = SelLength() > 0 ? SelLength() : 1;
        int from = SelLength() > 0 ? at : at - 1;
        if (at > 0 || SelLength() > 0) {
            if (from >= 0 && from < static_cast<int>(expected.size()) && !(SelLength() > 0 && at == 0))
                expected.erase(static_cast<size_t>(from), static_cast<size_t>(count));
        }
        standard();
        if (Text().empty() && !expected.empty()) {
            FSuppressNextChange = false;
            if (FTransparent)
                Invalidate();
            TCustomEdit::Change();
            if (!(ComponentState() & csLoading) && FShowError)
                SetErrorState(!ValidateValue(Text()));
        }
        return;
    }
    if (ctrl && c == 10)
        return;
    if (c == '-' && ValueIsNumberType() && !FSigned)
        return;

    auto inSet = [&](std::u32string_view set) { return set.find(c) != std::u32string_view::npos; };
    bool basic = c == 8 || c == 9 || c == 13;
    bool nothingSelected = SelLength() == 0;
    std::u32string selected = U(SelText());
    std::u32string v = U(value);

    // The decimals, an empty value and the sign of the float and money types; true when they ended the
    // handling of the character.
    auto decimalRules = [&] {
        if (DecimalsFull(v, SelStart(), lp, FPrecision) && (IsDigit(c) || c == dec) && nothingSelected) {
            int p = PosOf(v, dec);
            if (SelStart() - lp < p || !IsDigit(c) || SelStart() - lp >= static_cast<int>(v.size()))
                return true;
            SetSelLength(1); // the typed digit replaces the next decimal
        }
        if (v.empty() && SelStart() <= lp && c == dec) {
            accept();
            SetWindowTextRaw(FPrefix + "0" + S(std::u32string(1, dec)) + FSuffix);
            SetSelStart(lp + 2);
            SetSelLength(0);
            SetModifiedState(true);
            return true;
        }
        if (c == '-' && nothingSelected) {
            accept();
            SignToggle(false);
            return true;
        }
        return false;
    };
    switch (FEditType) {
    case etString:
    case etPassword:
        SetModifiedState(true);
        standard();
        break;
    case etNumeric:
        if (c == '-') {
            accept();
            if (SignToggle(true))
                return; // the whole value became the sign: nothing else
            break;
        }
        if (basic || IsDigit(c) || ctrl)
            standard();
        break;
    case etFloat: {
        if ((c == ',' || c == '.') && c != dec && c != thou)
            return;
        if (!(basic || c == ',' || c == '-' || c == '.' || IsDigit(c)))
            break;
        if (c == dec && selected.find(dec) == std::u32string::npos) {
            if (v.find(dec) != std::u32string::npos) {
                if (FPrecision > 0)
                    MoveCaretAfterDecimal();
                return;
            }
            if (FPrecision == 0)
                return;
        }
        if (c == ',' && v.find(',') != std::u32string::npos && selected.find(',') == std::u32string::npos &&
            thou != ',')
            return;
        if ((c == thou || c == dec) && ThousandSeparatorMisplaced(v, SelStart(), lp))
            return;
        if (decimalRules())
            return;
        standard();
        break;
    }
    case etMoney: {
        if (c == dec && (v.find(dec) != std::u32string::npos || FPrecision == 0)) {
            if (FPrecision <= 0)
                return;
            if (SelLength() == valueLen && valueLen > 0) {
                accept();
                SetTextProp("0,0");
            }
            MoveCaretAfterDecimal();
            return;
        }
        if (!(basic || c == '-' || IsDigit(c) || c == dec))
            break;
        if (c == dec && ThousandSeparatorMisplaced(v, SelStart(), lp))
            return;
        if (decimalRules())
            return;
        standard();
        std::string now = Text();
        if (!now.empty() && now != "-" && c != dec) {
            if (Modified())
                SetModifiedState(true);
            FormatMoney();
        }
        break;
    }
    case etUppercase:
        c = U(AnsiUpperCase(S(std::u32string(1, c))))[0];
        standard();
        break;
    case etLowerCase:
        c = U(AnsiLowerCase(S(std::u32string(1, c))))[0];
        standard();
        break;
    case etMixedCase: {
        int caret = SelStart();
        standard();
        if (c >= 0x20) {
            SetWindowTextRaw(FPrefix + ToMixedCase(Text()) + FSuffix);
            SetSelStart(caret + 1);
            SetSelLength(0);
        }
        break;
    }
    case etRange: {
        SetModifiedState(true);
        if (!(basic || c == ',' || c == '-' || IsDigit(c) || c == ';'))
            break;
        if (IsRangeSeparator(c)) {
            std::u32string s = U(WindowText()) + U" ";
            int at = SelStart();
            if (at <= lp)
                return;
            if (at >= 1 && at - 1 < static_cast<int>(s.size()) &&
                IsRangeSeparator(s[static_cast<size_t>(at - 1)]))
                return;
            if (at < static_cast<int>(s.size()) && IsRangeSeparator(s[static_cast<size_t>(at)]))
                return;
        }
        standard();
        break;
    }
    case etHex:
        SetModifiedState(true);
        if (basic || c == '-' || IsDigit(c) || inSet(U"ABCDEFabcdef"))
            standard();
        break;
    case etAlphaNumeric:
        SetModifiedState(true);
        if (basic || IsDigit(c) || IsAsciiLetter(c))
            standard();
        break;
    case etValidChars:
        SetModifiedState(true);
        if (U(FValidChars).find(c) != std::u32string::npos)
            standard();
        break;
    }
    RunTail();
}

void TKvxEdit::HandleKeyDown(TMessage& Message) {
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    int lp = Lp(), len = ValueLength();
    // The end of the value as a window position.
    int valueEnd = lp + len;
    int selEnd = SelStart() + SelLength();
    bool listShown = LookupShown();
    auto consume = [&] { Message.Result = 0; };
    auto move = [&](int delta) {
        if (!FListBox || FListBox->Count() == 0)
            return;
        FListBox->SetItemIndex(std::clamp(FListBox->ItemIndex() + delta, 0, FListBox->Count() - 1));
    };

    if (key == VK_RETURN && listShown) {
        SelectLookupItem();
        return consume();
    }
    if ((key == VK_TAB || key == VK_RETURN) && ctrl) {
        TCustomEdit::WndProc(Message);
        return;
    }
    if (listShown && (key == VK_HOME || key == VK_END || key == VK_NEXT || key == VK_PRIOR)) {
        int count = FListBox->Count(), i = FListBox->ItemIndex(), page = FLookup->DisplayCount();
        if (key == VK_HOME)
            FListBox->SetItemIndex(0);
        else if (key == VK_END)
            FListBox->SetItemIndex(count - 1);
        else if (key == VK_NEXT)
            FListBox->SetItemIndex(i + page < count ? i + page : count - 1);
        else
            FListBox->SetItemIndex(i > page ? i - page : 0);
        Message.Result = 1;
        return;
    }
    if (key == VK_RETURN && FReturnIsTab) {
        key = VK_TAB;
        Message.WParam = VK_TAB;
        if (IsWindowVisible(WindowHandle()))
            PostMessage(WindowHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (key == VK_RIGHT && !FSuffix.empty() && selEnd >= valueEnd)
        return consume();
    if (key == VK_DELETE && !FSuffix.empty()) {
        if (selEnd >= valueEnd && SelLength() == 0)
            return consume();
        SetModifiedState(true);
    }
    if (key == VK_LEFT && !FPrefix.empty() && selEnd <= lp && !shift)
        return consume();
    if (key == VK_END && !FSuffix.empty()) {
        if (shift) {
            SetSelLength(valueEnd - SelStart());
        } else {
            SetSelStart(valueEnd);
            SetSelLength(0);
        }
        return consume();
    }
    if (key == VK_HOME && !FPrefix.empty()) {
        if (shift)
            Perform(EM_SETSEL, static_cast<WPARAM>(valueEnd), lp);
        else {
            SetSelStart(lp);
            SetSelLength(0);
        }
        return consume();
    }
    if (key == VK_BACK && !FPrefix.empty()) {
        if (SelStart() <= lp + 1)
            return consume();
        SetModifiedState(true);
    }
    if (key == VK_DELETE && SelStart() >= lp) {
        std::u32string expected = U(Text());
        int at = SelStart() - lp;
        int count = SelLength() > 0 ? SelLength() : 1;
        if (at < static_cast<int>(expected.size()))
            expected.erase(static_cast<size_t>(at), static_cast<size_t>(count));
        if (FLengthLimit > 0 && IntegerPartLength(S(expected)) - 1 > FLengthLimit)
            return consume();
        SetModifiedState(true);
    }
    if (listShown && (key == VK_UP || key == VK_DOWN)) {
        move(key == VK_UP ? -1 : 1);
        return consume();
    }
    TCustomEdit::WndProc(Message);
    if (key == VK_DELETE && FEditType == etMoney)
        FormatMoney();
    ClampCaretToAffixes();
}

void TKvxEdit::ClampCaretToAffixes() {
    if (!FPrefix.empty() && SelStart() < Lp() && SelLength() == 0) {
        SetSelStart(Lp());
        SetSelLength(0);
    }
}

bool TKvxEdit::HandleWantSpecialKey(TMessage& Message) {
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return false;
    if (FSkipNextSpecialKey) {
        FSkipNextSpecialKey = false;
        return false;
    }
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    if (key == VK_ESCAPE && FCanUndo && !form->KeyPreview()) {
        SetTextProp(FFocusEntryText);
        if (FFocusFontColor != clNone)
            Font()->SetColor(FFocusFontColor);
        SelectValue();
        SetModifiedState(false);
        Message.Result = 1;
        if (Parent() && Parent()->HandleAllocated()) {
            PostMessage(Parent()->WindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessage(Parent()->WindowHandle(), WM_KEYUP, VK_ESCAPE, KF_UP_BIT | KF_REPEAT_BIT);
        }
        return true;
    }
    if (key == VK_RETURN && !form->KeyPreview() && Parent() && Parent()->Focused()) {
        PostMessage(Parent()->WindowHandle(), WM_KEYDOWN, VK_RETURN, 0);
        PostMessage(Parent()->WindowHandle(), WM_KEYUP, VK_RETURN, KF_UP_BIT | KF_REPEAT_BIT);
    }
    return false;
}

// ---- Clipboard
// ---------------------------------------------------------------------------------------------

void TKvxEdit::HandlePaste() {
    if (ReadOnly())
        return;
    auto finish = [this] {
        UpdateLookupList();
        if (FTabOnFullLength && FLengthLimit > 0 && ValueLength() == FLengthLimit)
            if (Parent())
                Parent()->SelectNext(this, true, true);
    };
    if (!Clipboard()->HasFormat(CF_TEXT)) {
        finish();
        return;
    }
    std::string clip = Clipboard()->AsText();
    std::u32string v = U(Text()), cu = U(clip);
    int lp = Lp();
    int at = std::clamp(SelStart() - lp, 0, static_cast<int>(v.size()));
    int sel = std::min(SelLength(), static_cast<int>(v.size()) - at);
    std::u32string nv = v.substr(0, static_cast<size_t>(at)) + cu + v.substr(static_cast<size_t>(at + sel));
    std::string newValue = S(nv);
    bool allow = true;
    if (OnClipboardPaste)
        OnClipboardPaste(this, newValue, allow);
    if (!allow)
        return;
    if (MaxLength() > 0 &&
        static_cast<int>(cu.size()) + static_cast<int>(v.size()) - SelLength() > MaxLength())
        return;
    bool hasMinus = Contains(newValue, '-');
    switch (FEditType) {
    case etString:
    case etPassword:
        SetTextProp(newValue);
        break;
    case etNumeric:
        if (ClassifyNumberText(newValue) != 0 || !(FSigned || !hasMinus))
            return;
        SetTextProp(newValue);
        SetModifiedState(true);
        break;
    case etFloat:
    case etMoney:
        if (ClassifyNumberText(newValue) > 1 || (FPrecision == 0 && Contains(clip, DecSep())))
            return;
        if (!(FSigned || !hasMinus))
            return;
        SetTextProp(newValue);
        SetFloatValue(FloatValue());
        SetModifiedState(true);
        break;
    case etUppercase:
        SetTextProp(AnsiUpperCase(newValue));
        break;
    case etLowerCase:
        SetTextProp(AnsiLowerCase(newValue));
        break;
    case etMixedCase:
        SetTextProp(ToMixedCase(newValue));
        break;
    case etAlphaNumeric:
        if (!std::all_of(nv.begin(), nv.end(), [](char32_t ch) { return IsDigit(ch) || IsAsciiLetter(ch); }))
            return;
        SetTextProp(newValue);
        SetModifiedState(true);
        break;
    case etValidChars: {
        std::u32string valid = U(FValidChars);
        if (!std::all_of(nv.begin(), nv.end(),
                         [&](char32_t ch) { return valid.find(ch) != std::u32string::npos; }))
            return;
        SetTextProp(newValue);
        SetModifiedState(true);
        break;
    }
    case etRange:
    case etHex:
        return;
    }
    if (FEditType == etMoney && ValueLength() > 3) {
        SelectValue();
    } else if (sel > 0) {
        SetSelStart(lp + at);
        SetSelLength(static_cast<int>(cu.size()));
    } else {
        SetSelStart(lp + at + static_cast<int>(cu.size()));
        SetSelLength(0);
    }
    if (FEditType == etString || FEditType == etUppercase || FEditType == etMixedCase ||
        FEditType == etLowerCase || FEditType == etPassword)
        SetModifiedState(true);
    finish();
}

// ---- Focus ---------------------------------------------------------------------------------------------

void TKvxEdit::HandleFocusEntry(TMessage& Message) {
    TCustomEdit::WndProc(Message);
    FFocusEntryText = Text();
    if (FFocusColor != clNone)
        TCustomEdit::SetColor(FFocusColor);
    if (!((FErrorState && FShowError) || FShowModified)) {
        if (Font()->Color() != FNormalFontColor && !FURLLook)
            FNormalFontColor = Font()->Color();
        if (!(IsURL() && FShowURL) && FFocusFontColor != clNone)
            Font()->SetColor(FFocusFontColor);
    }
    if (AutoSelect())
        SelectValue();
    if (FFocusLabel && Lbl())
        Lbl()->Font()->SetStyle(Lbl()->Font()->Style() | fsBold);
    if (FFocusWidthInc > 0 && !FInFocusAlign)
        SetWidth(Width() + FFocusWidthInc);
    // Recreating the window for the focus alignment may hand the focus back to it: that second entry
    // must not take the focus alignment for the one to restore.
    if (FInFocusAlign)
        return;
    FSavedEditAlign = FEditAlign;
    if (FFocusAlign != eaDefault && FFocusAlign != FEditAlign) {
        FInFocusAlign = true;
        ScopeGuard done([this] { FInFocusAlign = false; });
        SetEditAlign(FFocusAlign);
    }
    if ((!FEmptyText.empty() && Text().empty()) || FFocusBorder || FFocusBorderColor != clNone) {
        if (BorderStyle() == bsNone)
            UpdateEditRect(true);
        Invalidate();
    }
}

void TKvxEdit::HandleFocusExit(TMessage& Message) {
    HWND gaining = reinterpret_cast<HWND>(Message.WParam);
    if (LookupShown() && !(FListWindow->HandleAllocated() && gaining == FListWindow->WindowHandle()) &&
        !(FListBox && FListBox->HandleAllocated() && gaining == FListBox->WindowHandle()))
        static_cast<THintWindow*>(FListWindow)->ReleaseHandle();
    if (!FErrorState && Color() != FNormalColor)
        TCustomEdit::SetColor(FNormalColor);
    if (!((FErrorState && FShowError) || FShowModified || (IsURL() && FShowURL)))
        Font()->SetColor(FNormalFontColor);
    if (FFocusLabel && Lbl())
        Lbl()->Font()->SetStyle(Lbl()->Font()->Style() & ~fsBold);
    std::string v = Text();
    if ((FEditType == etFloat || FEditType == etMoney) && FPrecision > 0 &&
        !(v.empty() && FAllowNumericNullValue)) {
        bool modified = FModifiedState;
        SetFloatValue(FloatValue());
        SetModifiedState(modified);
    }
    if (Text().empty() && !FAllowNumericNullValue) {
        if (FEditType == etNumeric)
            SetTextProp("0");
        else if (FEditType == etFloat || FEditType == etMoney)
            SetFloatValue(0);
    }
    if (!ValidateValue(Text()))
        Message.Result = 0;
    TCustomEdit::WndProc(Message);
    if (FFocusBorder)
        Invalidate();
    if (!FInFocusAlign) {
        if (FFocusWidthInc > 0)
            SetWidth(Width() - FFocusWidthInc);
        if (FFocusAlign != eaDefault && FEditAlign != FSavedEditAlign) {
            FInFocusAlign = true;
            ScopeGuard done([this] { FInFocusAlign = false; });
            SetEditAlign(FSavedEditAlign);
        }
        if (!FEmptyText.empty() && Text().empty())
            Invalidate();
        AddHistory();
        if (FFocusBorderColor != clNone && HandleAllocated())
            RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        if (FErrorMarkerLen > 0)
            Invalidate();
    }
}

void TKvxEdit::AddHistory() {
    if (!FLookup->Enabled() || !FLookup->History())
        return;
    std::string t = Trim(Text());
    if (t.empty())
        return;
    TStringList* list = FLookup->DisplayList();
    for (int i = 0; i < list->Count(); ++i)
        if (list->Get(i) == t)
            return;
    list->Add(t);
}

// ---- Mouse ------------------------------------------------------------------------------------------------

void TKvxEdit::HandleMouseDown(TMessage& Message, bool& Skip) {
    TPoint p = PointFromLParam(Message.LParam);
    if (FURLLook && FShowURL && Focused()) {
        bool show = true;
        std::string v = Text();
        if (OnURLClick)
            OnURLClick(this, v, show);
        if (show)
            OpenLink(v);
    }
    int c = LOWORD(Perform(EM_CHARFROMPOS, 0, MAKELPARAM(p.X, p.Y)));
    if (SelLength() > 0 && Focused() && c >= SelStart() && c <= SelStart() + SelLength() &&
        Message.Msg == WM_LBUTTONDOWN) {
        FDragArmed = true;
        Skip = true;
        // The standard handling that would capture the mouse is skipped; the moves that may start a
        // drag must still reach this edit.
        SetCapture(Handle());
    }
}

void TKvxEdit::HandleMouseMove(TMessage& Message) {
    if (SelLength() > 0 && FDragArmed && FOleDropSource && (Message.WParam & MK_LBUTTON)) {
        std::string text =
            S(U(WindowText()).substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength())));
        FDragFromSelf = true;
        HRESULT result = 0;
        uint32_t effect = DROPEFFECT_NONE;
        {
            ScopeGuard done([this] { FDragFromSelf = false; });
            result = StartTextDrag(Handle(), text, std::string(), effect);
        }
        if (effect == DROPEFFECT_MOVE && result == DRAGDROP_S_DROP) {
            SetSelText("");
            HideDropCaret();
            Invalidate();
        }
        FDragArmed = false;
    }
}

void TKvxEdit::HandleMouseUp(TMessage& Message) {
    if (FDragArmed) {
        if (GetCapture() == WindowHandle())
            ReleaseCapture();
        TPoint p = PointFromLParam(Message.LParam);
        int c = LOWORD(Perform(EM_CHARFROMPOS, 0, MAKELPARAM(p.X, p.Y)));
        SetSelStart(c);
        SetSelLength(0);
    }
    FDragArmed = false;
    TCustomEdit::WndProc(Message);
    int lp = Lp(), end = lp + ValueLength();
    if (!FPrefix.empty() && SelStart() < lp) {
        SetSelStart(lp);
        SetSelLength(ValueLength());
    }
    if (!FSuffix.empty()) {
        if (SelLength() == 0 && SelStart() > end) {
            SetSelStart(end);
            SetSelLength(0);
        } else if (SelStart() + SelLength() > end) {
            SetSelLength(std::max(0, end - SelStart()));
        }
    }
}

// ---- Drag and drop target side ------------------------------------------------------------------------

void TKvxEdit::TrackDropCaret(TPoint ScreenPoint) {
    TPoint p = ScreenToClient(ScreenPoint);
    int c = LOWORD(Perform(EM_CHARFROMPOS, 0, MAKELPARAM(p.X, p.Y)));
    LRESULT r = Perform(EM_POSFROMCHAR, static_cast<WPARAM>(c), 0);
    TPoint q(static_cast<int16_t>(LOWORD(r)), static_cast<int16_t>(HIWORD(r)));
    if (c >= CharCount() && CharCount() > 0) {
        // Behind the last character the edit reports no position: estimate it from the last one.
        LRESULT last = Perform(EM_POSFROMCHAR, static_cast<WPARAM>(CharCount() - 1), 0);
        TCanvas* cv = Canvas();
        cv->Font()->Assign(Font());
        q = TPoint(static_cast<int16_t>(LOWORD(last)) +
                       cv->TextWidth(S(U(WindowText()).substr(CharCount() - 1))),
                   static_cast<int16_t>(HIWORD(last)));
    }
    if (q != FDropCaretPos) {
        Invalidate();
        FDropCaretPos = q;
    }
}

void TKvxEdit::HideDropCaret() {
    if (FDropCaretPos != TPoint(-1, -1))
        Invalidate();
    FDropCaretPos = TPoint(-1, -1);
}

bool TKvxEdit::DropText(TPoint ScreenPoint, const std::string& Text, bool Copy) {
    std::string t = Text;
    if (size_t p = t.find('\r'); p != std::string::npos)
        t.erase(p);
    if (size_t p = t.find('\n'); p != std::string::npos)
        t.erase(p);
    TPoint client = ScreenToClient(ScreenPoint);
    int c = LOWORD(Perform(EM_CHARFROMPOS, 0, MAKELPARAM(client.X, client.Y)));
    if (FDragFromSelf && c >= SelStart() && c <= SelStart() + SelLength())
        return false;
    if (FDragFromSelf && !Copy) {
        int start = SelStart(), len = SelLength();
        SetSelText("");
        if (c > start)
            c -= std::min(len, c - start);
    }
    HideDropCaret();
    SetSelStart(c);
    SetSelLength(0);
    SetSelText(t);
    Invalidate();
    return true;
}

// ---- Painting --------------------------------------------------------------------------------------------

void TKvxEdit::Paint() {
    TCustomEdit::Paint();
    PaintExtras(*Canvas());
}

// The edit's colour holds its disabled colour too; a transparent edit shows what its parent paints.
void TKvxEdit::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    if (FTransparent && Parent() && Canvas.Handle()) {
        DrawParentBackground(this, Canvas.Handle(), &Rect);
        return;
    }
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(Rect);
}

void TKvxEdit::PaintExtras(TCanvas& Canvas) {
    if (FFlat) {
        if (FFocusBorder) {
            DrawBorder(Canvas);
        } else {
            TRect R;
            Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
            Canvas.Pen()->SetStyle(psSolid);
            Canvas.Pen()->SetWidth(1);
            Canvas.Pen()->SetColor(Enabled() ? FFlatLineColor : clGray);
            int W = ClientWidth(), H = ClientHeight();
            if (FSoftBorder) {
                TPoint pts[] = {{R.Left + FLeftReserve - 4, H - 1},
                                {W - 1, H - 1},
                                {W - 1, R.Top - 3},
                                {R.Left + FLeftReserve - 4, R.Top - 3},
                                {R.Left + FLeftReserve - 4, H - 1}};
                Canvas.Polyline(pts);
            } else {
                Canvas.MoveTo(R.Left + FLeftReserve - 2, H - 1);
                Canvas.LineTo(W - FRightReserve, H - 1);
            }
        }
    }
    if (FDropCaretPos != TPoint(-1, -1)) {
        int h = std::abs(Font()->Height());
        Canvas.Brush()->SetColor(clBlack);
        Canvas.FillRect(TRect(FDropCaretPos.X, FDropCaretPos.Y, FDropCaretPos.X + 1, FDropCaretPos.Y + h));
    }
    bool focused = Focused();
    if (Text().empty() && !focused && !FEmptyText.empty()) {
        TFont plain;
        Canvas.Font()->Assign(&plain);
        Canvas.Font()->SetColor(clGray);
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.TextOut(2, 2, FEmptyText);
        Canvas.Brush()->SetStyle(bsSolid);
    }
    if (!focused && FErrorMarkerLen > 0)
        DrawErrorMarker(Canvas, FErrorMarkerPos, FErrorMarkerLen);
    if (FFocusBorderColor != clNone || (!Enabled() && FDisabledBorder))
        PaintBorder();
}

void TKvxEdit::DrawErrorMarker(TCanvas& Canvas, int Pos, int Len) {
    int n = ValueLength();
    auto pos = [this](int ch) {
        LRESULT r = Perform(EM_POSFROMCHAR, static_cast<WPARAM>(std::max(0, ch)), 0);
        return TPoint(static_cast<int16_t>(LOWORD(r)), static_cast<int16_t>(HIWORD(r)));
    };
    int lp = Lp();
    TPoint endOfValue = n > 0 ? pos(lp + n - 1) : pos(lp);
    if (n > 0) {
        Canvas.Font()->Assign(Font());
        endOfValue.X += Canvas.TextWidth(S(U(Text()).substr(static_cast<size_t>(n - 1), 1)));
    }
    TPoint a = Pos < n ? pos(lp + Pos) : TPoint(endOfValue.X + 4, endOfValue.Y);
    TPoint b = Pos + Len < n ? pos(lp + Pos + Len - 1) : TPoint(endOfValue.X + 4, a.Y);
    Canvas.Font()->Assign(Font());
    int h = Canvas.TextHeight("gh") - 1;
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetColor(clRed);
    Canvas.Pen()->SetWidth(2);
    Canvas.MoveTo(a.X, a.Y + h + 3);
    int d = 0;
    int x = a.X;
    for (; x <= b.X; x += 3) {
        Canvas.LineTo(x + 3, b.Y + h + d);
        d = d == 0 ? 3 : 0;
    }
    Canvas.LineTo(x + 3, b.Y + h + d);
    Canvas.Pen()->SetWidth(1);
}

bool TKvxEdit::IsHot() const {
    if (ComponentState() & csDesigning)
        return Enabled();
    return FFocusBorder && (FMouseInside || (Screen && Screen->ActiveControl() == this));
}

void TKvxEdit::PaintBorder() {
    if (!HandleAllocated() || (ComponentState() & csDesigning))
        return;
    if (!(!Enabled() || FFlat || IsHot() || FFocusBorderColor != clNone))
        return;
    HDC dc = GetWindowDC(WindowHandle());
    if (!dc)
        return;
    ScopeGuard release([this, dc] { ReleaseDC(WindowHandle(), dc); });
    TCanvas c;
    c.SetHandle(dc);
    DrawBorder(c);
    c.SetHandle(nullptr);
}

void TKvxEdit::DrawBorder(TCanvas& Canvas) {
    if (ComponentState() & csDesigning)
        return;
    TRect r(0, 0, Width(), Height());
    Canvas.Brush()->SetStyle(bsSolid);
    if (!Enabled() && FComCtl6 && FDisabledBorder) {
        Canvas.Brush()->SetColor(clSilver);
        Canvas.FrameRect(r);
        return;
    }
    if (FFocusBorderColor == clNone) {
        if (!Enabled())
            return;
        if (IsHot()) {
            if (Canvas.Handle())
                DrawEdge(*Canvas.Handle(), r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            Canvas.Brush()->SetColor(clBtnFace);
            Canvas.FrameRect(r);
        } else {
            TColor parent = Parent() ? Parent()->Brush()->Color() : clBtnFace;
            Canvas.Brush()->SetColor(parent);
            Canvas.FrameRect(r);
            InflateRect(r, -1, -1);
            Canvas.FrameRect(r);
        }
    } else if (Focused()) {
        Canvas.Brush()->SetColor(FFocusBorderColor);
        Canvas.FrameRect(r);
    }
}

// ---- Lookup list -------------------------------------------------------------------------------------

TWinControl* TKvxEdit::LookupWindow() const {
    return FListWindow;
}

bool TKvxEdit::LookupShown() const {
    return FListWindow && FListWindow->HandleAllocated() && IsWindowVisible(FListWindow->WindowHandle());
}

void TKvxEdit::UpdateLookupList() {
    if (!FLookup->Enabled() || !FListWindow)
        return;
    auto* window = static_cast<THintWindow*>(FListWindow);
    std::string t = Text();
    int o = 0;
    if (FLookup->Multi()) {
        size_t p = t.rfind(FLookup->Separator());
        if (p != std::string::npos) {
            o = Len(t.substr(0, p + 1));
            t = t.substr(p + 1);
        }
    }
    if (Len(t) < FLookup->NumChars()) {
        window->ReleaseHandle();
        return;
    }
    TPoint origin = ClientOrigin();
    window->SetColor(FLookup->Color());
    FListBox->SetColor(FLookup->Color());
    FListBox->Font()->SetName("Arial");
    FListBox->Font()->SetSize(8);
    int height = FLookup->DisplayCount() * 12 + 4;
    int top = origin.Y + Height() - 6;
    LRESULT pos = Perform(EM_POSFROMCHAR, static_cast<WPARAM>(Lp() + o), 0);
    int left = origin.X + static_cast<int16_t>(LOWORD(pos)) + 8;
    TStrings* items = FListBox->Items();
    items->BeginUpdate();
    items->Clear();
    TStringList* display = FLookup->DisplayList();
    std::string key = FLookup->CaseSensitive() ? t : AnsiUpperCase(t);
    std::vector<std::pair<std::string, int>> matches;
    for (int i = 0; i < display->Count(); ++i) {
        std::string entry = display->Get(i);
        std::string cmp = FLookup->CaseSensitive() ? entry : AnsiUpperCase(entry);
        if (cmp.rfind(key, 0) == 0)
            matches.emplace_back(entry, i);
    }
    std::stable_sort(matches.begin(), matches.end(),
                     [](const auto& a, const auto& b) { return AnsiCompareText(a.first, b.first) < 0; });
    for (const auto& [entry, index] : matches)
        items->AddObject(entry, reinterpret_cast<TObject*>(static_cast<intptr_t>(index)));
    items->EndUpdate();
    int m = static_cast<int>(matches.size());
    if (display->Count() > 0 && m > 0)
        FListBox->SetItemIndex(0);
    if (m < FLookup->DisplayCount())
        height = m * 12 + 4;
    int w = 50;
    TCanvas* c = Canvas();
    c->Font()->Assign(FListBox->Font());
    for (const auto& match : matches)
        w = std::max(w, c->TextWidth(match.first));
    if (m > FLookup->DisplayCount())
        w += GetSystemMetrics(SM_CXHSCROLL);
    int width = LookupShown() ? FListWindow->Width() : w + 10;
    if (m > 0)
        window->ActivateHint(TRect(left, top, left + width, top + height), "  ");
    else
        window->ReleaseHandle();
}

void TKvxEdit::SelectLookupItem() {
    if (!FListBox || FListBox->ItemIndex() < 0)
        return;
    if (HandleAllocated() && CanFocus() && !Focused())
        SetFocus();
    static_cast<THintWindow*>(FListWindow)->ReleaseHandle();
    int row = FListBox->ItemIndex();
    int i = static_cast<int>(reinterpret_cast<intptr_t>(FListBox->Items()->GetObject(row)));
    std::string value = i >= 0 && i < FLookup->ValueList()->Count() ? FLookup->ValueList()->Get(i)
                                                                    : FListBox->Items()->Get(row);
    if (OnLookupSelect)
        OnLookupSelect(this, value);
    if (OnLookupIndexSelect)
        OnLookupIndexSelect(this, i, value);
    if (FLookup->Multi()) {
        std::string t = Text();
        size_t p = t.rfind(FLookup->Separator());
        std::string front = p == std::string::npos ? std::string() : t.substr(0, p + 1);
        value += FLookup->Separator();
        SetTextProp(front + value);
        SetSelStart(Len(front + value));
        SetSelLength(0);
    } else {
        SetTextProp(value);
        SelectValue();
    }
    SetModifiedState(true);
}

// ---- Persistence ---------------------------------------------------------------------------------------

namespace {

// The store of a persistent edit: an INI file (by default the program's, in the config folder), or the
// settings registry with keys as sections.
std::unique_ptr<TCustomIniFile> OpenStore(TPersistence& P) {
    if (P.Location() == plRegistry)
        return std::make_unique<TRegistryIniFile>(P.Key());
    if (P.Key().empty())
        P.SetKey(ConfigFolder() + ChangeFileExt(ExtractFileName(ApplicationExeName()), ".INI"));
    return std::make_unique<TIniFile>(P.Key());
}

} // namespace

void TKvxEdit::LoadPersistence() {
    if (!FPersistence->Enable() || FPersistence->Section().empty())
        return;
    std::unique_ptr<TCustomIniFile> store = OpenStore(*FPersistence);
    const std::string& section = FPersistence->Section();
    if (FLookup->Enabled() && FLookup->History()) {
        int n = store->ReadInteger(section, "LOOKUPCOUNT", 0);
        for (int i = 1; i <= n; ++i) {
            std::string v = store->ReadString(section, "LOOKUPVAL" + IntToStr(i), "");
            if (!v.empty())
                FLookup->ValueList()->Add(v);
            std::string d = store->ReadString(section, "LOOKUPDISPL" + IntToStr(i), "");
            if (!d.empty())
                FLookup->DisplayList()->Add(d);
        }
    }
    std::string text = store->ReadString(section, Name(), "@");
    if (text != "@")
        SetWindowTextRaw(text);
}

void TKvxEdit::SavePersistence() {
    if (!FPersistence->Enable())
        return;
    if (FPersistence->Location() == plInifile && FPersistence->Section().empty())
        FPersistence->SetSection(Name());
    std::unique_ptr<TCustomIniFile> store = OpenStore(*FPersistence);
    const std::string& section = FPersistence->Section();
    store->WriteString(section, Name(), WindowText());
    if (FLookup->Enabled() && FLookup->History()) {
        TStringList* display = FLookup->DisplayList();
        TStringList* values = FLookup->ValueList();
        store->WriteInteger(section, "LOOKUPCOUNT", display->Count());
        for (int i = 1; i <= display->Count(); ++i) {
            store->WriteString(section, "LOOKUPDISPL" + IntToStr(i), display->Get(i - 1));
            if (i - 1 < values->Count())
                store->WriteString(section, "LOOKUPVAL" + IntToStr(i), values->Get(i - 1));
        }
    }
    store->UpdateFile();
}

} // namespace ui
