#include "platform/ui/DateTimePicker.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/SystemMetrics.h"

namespace plat {

PLAT_CLASS_INFO(TDateTimePickerCalendar, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TDateTimePicker, TCustomControl)

namespace {

const char* const kKindNames[] = {"dtkDate", "dtkTime"};

static_assert(std::size(kKindNames) == dtkTime + 1);
const char* const kDateFormatNames[] = {"dfShort", "dfLong"};
static_assert(std::size(kDateFormatNames) == dfLong + 1);
constexpr int kCheckSize = 13;
constexpr int kMargin = 4;

struct TRegistrar {
    TRegistrar() { RegisterClass(TDateTimePicker::StaticClass()); }
} registrar;

// Whole days and the time of day of a value (days before 1899-12-30 count backwards while their
// fraction counts forwards).
double DatePart(TDateTime Value) {
    return std::trunc(Value);
}

double TimePart(TDateTime Value) {
    return std::fabs(Value - std::trunc(Value));
}

int Wrap(int Value, int Min, int Max) {
    int span = Max - Min + 1;
    return Min + ((Value - Min) % span + span) % span;
}

std::string Padded(int Value, int Digits) {
    std::string s = std::to_string(Value);
    while (static_cast<int>(s.size()) < Digits)
        s.insert(s.begin(), '0');
    return s;
}

struct TParts {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MSec = 0;
};

TParts Split(TDateTime Value) {
    TParts p;
    DecodeDate(Value, p.Year, p.Month, p.Day);
    DecodeTime(Value, p.Hour, p.Minute, p.Second, p.MSec);
    return p;
}

TDateTime Join(const TParts& p) {
    int day = std::min(p.Day, DaysInAMonth(p.Year, p.Month));
    return ComposeDateTime(EncodeDate(p.Year, p.Month, std::max(1, day)),
                           EncodeTime(p.Hour, p.Minute, p.Second, p.MSec));
}

bool SameDay(TDateTime A, TDateTime B) {
    return DatePart(A) == DatePart(B);
}

} // namespace

PLAT_PROPERTIES(TDateTimePicker) {
    props.Boolean("Checked", &TDateTimePicker::Checked, &TDateTimePicker::SetChecked, true);
    props.Float("Date", &TDateTimePicker::Date, &TDateTimePicker::SetDate);
    props.Enum("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat, kDateFormatNames,
               dfShort);
    props.Enum("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind, kKindNames, dtkDate);
    props.Float("MaxDate", &TDateTimePicker::MaxDate, &TDateTimePicker::SetMaxDate);
    props.Float("MinDate", &TDateTimePicker::MinDate, &TDateTimePicker::SetMinDate);
    props.Boolean("ShowCheckbox", &TDateTimePicker::ShowCheckbox, &TDateTimePicker::SetShowCheckbox, false);
    props.Boolean("TabStop", &TDateTimePicker::TabStop, &TDateTimePicker::SetTabStop, true);
    props.Float("Time", &TDateTimePicker::Time, &TDateTimePicker::SetTime);
    props.Event("OnChange", &TDateTimePicker::OnChange);
    props.Event("OnCloseUp", &TDateTimePicker::OnCloseUp);
    props.Event("OnDropDown", &TDateTimePicker::OnDropDown);
}

// ---- TDateTimePickerCalendar ----------------------------------------------------------------------------

TDateTimePickerCalendar::TDateTimePickerCalendar(TDateTimePicker* Picker)
    : TCustomControl(nullptr), FPicker(Picker),
      FPopup(
          *this, [this](TMessage& m, TPoint p) { CalendarMouse(m, p); },
          [Picker] { Picker->CloseCalendar(false); }) {
    FVisible = false;
    SetTabStop(false);
    FColor = clWindow;
    FControlStyle = csCaptureMouse | csSetCaption | csOpaque;
}

void TDateTimePickerCalendar::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    TPopupDispatch::AdjustParams(Params);
}

void TDateTimePickerCalendar::SetSelectedDate(TDateTime Value) {
    FSelected = Value;
    int y, m, d;
    DecodeDate(Value, y, m, d);
    FYear = y;
    FMonth = m;
    Invalidate();
}

void TDateTimePickerCalendar::MoveTo(TDateTime Day) {
    Day = FPicker->Clamp(ComposeDateTime(DatePart(Day), TimePart(FSelected)));
    if (Day < MinDateTime || Day > MaxDateTime)
        return;
    SetSelectedDate(Day);
}

void TDateTimePickerCalendar::ShiftMonth(int Delta) {
    TParts p = Split(FSelected);
    int months = p.Year * 12 + (p.Month - 1) + Delta;
    int year = months / 12, month = months % 12 + 1;
    if (year < 1 || year > 9999)
        return;
    p.Year = year;
    p.Month = month;
    p.Day = std::min(p.Day, DaysInAMonth(year, month));
    MoveTo(Join(p));
}

int TDateTimePickerCalendar::CellHeight() const {
    return MeasuringCanvas(Font()).TextHeight("Wg") + 4;
}

int TDateTimePickerCalendar::CellWidth() const {
    TCanvas& c = MeasuringCanvas(Font());
    int w = c.TextWidth("00");
    for (const std::string& name : FormatSettings().ShortDayNames)
        w = std::max(w, c.TextWidth(name));
    return std::max(w + 8, 22);
}

int TDateTimePickerCalendar::TitleHeight() const {
    return CellHeight() + 6;
}

TRect TDateTimePickerCalendar::TitleRect() const {
    return TRect(0, 0, 2 * kMargin + 7 * CellWidth(), TitleHeight());
}

TRect TDateTimePickerCalendar::PrevButtonRect() const {
    int h = TitleHeight();
    return TRect(kMargin, 3, kMargin + h - 6, h - 3);
}

TRect TDateTimePickerCalendar::NextButtonRect() const {
    int h = TitleHeight(), right = TitleRect().Right - kMargin;
    return TRect(right - (h - 6), 3, right, h - 3);
}

TRect TDateTimePickerCalendar::WeekdayRect() const {
    int top = TitleHeight() + 2;
    return TRect(kMargin, top, kMargin + 7 * CellWidth(), top + CellHeight());
}

TRect TDateTimePickerCalendar::GridRect() const {
    TRect w = WeekdayRect();
    return TRect(w.Left, w.Bottom + 2, w.Right, w.Bottom + 2 + 6 * CellHeight());
}

TRect TDateTimePickerCalendar::TodayRect() const {
    TRect g = GridRect();
    return TRect(g.Left, g.Bottom + 2, g.Right, g.Bottom + 4 + CellHeight());
}

TSize TDateTimePickerCalendar::PreferredSize() const {
    // The border of the pop-up takes a pixel on each side.
    return TSize{TitleRect().Right + 2, TodayRect().Bottom + kMargin + 2};
}

TDateTime TDateTimePickerCalendar::FirstShownDay() const {
    TDateTime first = EncodeDate(FYear, FMonth, 1);
    return first - (DayOfWeek(first) - 1);
}

TRect TDateTimePickerCalendar::DayRect(TDateTime Day) const {
    int index = static_cast<int>(DatePart(Day) - DatePart(FirstShownDay()));
    if (index < 0 || index >= 42)
        return TRect();
    TRect g = GridRect();
    int w = CellWidth(), h = CellHeight();
    int x = g.Left + (index % 7) * w, y = g.Top + (index / 7) * h;
    return TRect(x, y, x + w, y + h);
}

bool TDateTimePickerCalendar::HandleKey(uint16_t Key, TShiftState Shift) {
    TDateTime day = DatePart(FSelected);
    switch (Key) {
    case VK_LEFT:
        MoveTo(day - 1);
        return true;
    case VK_RIGHT:
        MoveTo(day + 1);
        return true;
    case VK_UP:
        MoveTo(day - 7);
        return true;
    case VK_DOWN:
        MoveTo(day + 7);
        return true;
    case VK_PRIOR:
        ShiftMonth((Shift & ssCtrl) ? -12 : -1);
        return true;
    case VK_NEXT:
        ShiftMonth((Shift & ssCtrl) ? 12 : 1);
        return true;
    case VK_HOME:
        MoveTo(EncodeDate(FYear, FMonth, 1));
        return true;
    case VK_END:
        MoveTo(EncodeDate(FYear, FMonth, DaysInAMonth(FYear, FMonth)));
        return true;
    }
    return false;
}

void TDateTimePickerCalendar::Dispatch(TMessage& Message) {
    if (!FPopup.Dispatch(Message))
        TCustomControl::Dispatch(Message);
}

void TDateTimePickerCalendar::CalendarMouse(TMessage& Message, TPoint P) {
    bool down = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK;
    bool held = (Message.WParam & MK_LBUTTON) != 0;
    if (Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN)
        return;
    if (down && PrevButtonRect().Contains(P)) {
        ShiftMonth(-1);
        return;
    }
    if (down && NextButtonRect().Contains(P)) {
        ShiftMonth(1);
        return;
    }
    // A press marks the day under it, moving with the button held; the release there picks it.
    TDateTime first = DatePart(FirstShownDay());
    for (int i = 0; i < 42; ++i) {
        TDateTime day = first + i;
        if (!DayRect(day).Contains(P))
            continue;
        bool enabled = SameDay(FPicker->Clamp(day), day);
        if (!enabled)
            return;
        if (down || (Message.Msg == WM_MOUSEMOVE && held)) {
            if (!SameDay(day, FSelected)) {
                FSelected = ComposeDateTime(day, TimePart(FSelected));
                Invalidate();
            }
        } else if (Message.Msg == WM_LBUTTONUP && SameDay(day, FSelected)) {
            int y, m, d;
            DecodeDate(day, y, m, d);
            if (y == FYear && m == FMonth) {
                FPicker->CloseCalendar(true);
            } else {
                // A day of the month before or after shows that month first.
                SetSelectedDate(FSelected);
            }
        }
        return;
    }
    if (Message.Msg == WM_LBUTTONUP && TodayRect().Contains(P)) {
        TDateTime today = plat::Date();
        if (SameDay(FPicker->Clamp(today), today)) {
            FSelected = ComposeDateTime(today, TimePart(FSelected));
            FPicker->CloseCalendar(true);
        }
    }
}

void TDateTimePickerCalendar::Paint() {
    TCanvas& c = *Canvas();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(ClientRect());
    c.Font()->Assign(Font());
    PaintTitle(c, TitleRect());

    const TFormatSettings& fs = FormatSettings();
    TRect w = WeekdayRect();
    int cw = CellWidth();
    c.Brush()->SetStyle(bsClear);
    c.Font()->SetColor(clActiveCaption);
    for (int i = 0; i < 7; ++i) {
        TRect r(w.Left + i * cw, w.Top, w.Left + (i + 1) * cw, w.Bottom);
        c.TextRect(r, fs.ShortDayNames[i], DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    c.Brush()->SetStyle(bsSolid);
    c.Pen()->SetColor(clGrayText);
    c.MoveTo(w.Left, w.Bottom);
    c.LineTo(w.Right, w.Bottom);

    TDateTime first = DatePart(FirstShownDay());
    TDateTime today = plat::Date();
    for (int i = 0; i < 42; ++i) {
        TDateTime day = first + i;
        int y, m, d;
        DecodeDate(day, y, m, d);
        bool enabled = SameDay(FPicker->Clamp(day), day);
        PaintDay(c, day, DayRect(day), y == FYear && m == FMonth, SameDay(day, FSelected),
                 SameDay(day, today), enabled);
    }
    PaintToday(c, TodayRect());
}

void TDateTimePickerCalendar::PaintTitle(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(clActiveCaption);
    Canvas.FillRect(Rect);
    TRect prev = PrevButtonRect(), next = NextButtonRect();
    DrawFrameControl(*Canvas.Handle(), prev, DFC_SCROLL, DFCS_SCROLLLEFT);
    DrawFrameControl(*Canvas.Handle(), next, DFC_SCROLL, DFCS_SCROLLRIGHT);
    Canvas.Font()->Assign(Font());
    Canvas.Font()->SetColor(clCaptionText);
    Canvas.Font()->SetStyle(Canvas.Font()->Style() | fsBold);
    Canvas.Brush()->SetStyle(bsClear);
    TRect text = Rect;
    std::string title = FormatSettings().LongMonthNames[FMonth - 1] + " " + std::to_string(FYear);
    Canvas.TextRect(text, title, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Font()->Assign(Font());
}

void TDateTimePickerCalendar::PaintDay(TCanvas& Canvas, TDateTime Day, const TRect& Rect, bool InMonth,
                                       bool Selected, bool Today, bool Enabled) {
    int y, m, d;
    DecodeDate(Day, y, m, d);
    Canvas.Brush()->SetStyle(bsSolid);
    if (Selected) {
        Canvas.Brush()->SetColor(clHighlight);
        Canvas.FillRect(Rect);
        Canvas.Font()->SetColor(clHighlightText);
    } else {
        Canvas.Font()->SetColor(InMonth && Enabled ? clWindowText : clGrayText);
    }
    if (Today) {
        Canvas.Brush()->SetColor(clRed);
        Canvas.FrameRect(Rect);
    }
    Canvas.Brush()->SetStyle(bsClear);
    TRect text = Rect;
    Canvas.TextRect(text, std::to_string(d), DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Canvas.Brush()->SetStyle(bsSolid);
}

void TDateTimePickerCalendar::PaintToday(TCanvas& Canvas, const TRect& Rect) {
    int h = Rect.Height();
    TRect mark(Rect.Left + 4, Rect.Top + 3, Rect.Left + 4 + 2 * h - 6, Rect.Bottom - 3);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(clRed);
    Canvas.FrameRect(mark);
    Canvas.Font()->SetColor(clWindowText);
    Canvas.Font()->SetStyle(Canvas.Font()->Style() | fsBold);
    Canvas.Brush()->SetStyle(bsClear);
    TRect text(mark.Right + 6, Rect.Top, Rect.Right, Rect.Bottom);
    Canvas.TextRect(text, "Today: " + DateToStr(plat::Date()),
                    DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Font()->Assign(Font());
}

// ---- TDateTimePicker ------------------------------------------------------------------------------------

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 186, 21);
    SetTabStop(true);
    SetParentColor(false);
    FColor = clWindow;
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque | csFixedHeight;
    FDateTime = Now();
    BuildFields();
}

TDateTimePicker::~TDateTimePicker() {
    FCalendar.reset();
}

void TDateTimePicker::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// ---- Value ----

TDateTime TDateTimePicker::Date() const {
    return DatePart(FDateTime);
}

TDateTime TDateTimePicker::Time() const {
    return TimePart(FDateTime);
}

void TDateTimePicker::SetDate(TDateTime Value) {
    SetDateTime(ComposeDateTime(DatePart(Value), Time()));
}

void TDateTimePicker::SetTime(TDateTime Value) {
    SetDateTime(ComposeDateTime(Date(), TimePart(Value)));
}

void TDateTimePicker::SetDateTime(TDateTime Value) {
    if (FMinDate != 0 && DatePart(Value) < DatePart(FMinDate))
        throw EDateTimeError(Format("Date exceeds minimum of %s", {DateToStr(FMinDate)}));
    if (FMaxDate != 0 && DatePart(Value) > DatePart(FMaxDate))
        throw EDateTimeError(Format("Date exceeds maximum of %s", {DateToStr(FMaxDate)}));
    if (Value < MinDateTime || Value > MaxDateTime || std::isnan(Value))
        throw EDateTimeError(Format("Invalid date (%s)", {FloatToStr(Value)}));
    FTyped.clear();
    if (FDateTime == Value)
        return;
    FDateTime = Value;
    if (FCalendar && DroppedDown())
        FCalendar->SetSelectedDate(Value);
    Invalidate();
}

TDateTime TDateTimePicker::Clamp(TDateTime Value) const {
    if (FMinDate != 0 && DatePart(Value) < DatePart(FMinDate))
        return ComposeDateTime(DatePart(FMinDate), TimePart(Value));
    if (FMaxDate != 0 && DatePart(Value) > DatePart(FMaxDate))
        return ComposeDateTime(DatePart(FMaxDate), TimePart(Value));
    return Value;
}

void TDateTimePicker::SetMinDate(TDateTime Value) {
    if (Value != 0 && FMaxDate != 0 && DatePart(Value) > DatePart(FMaxDate))
        throw EDateTimeError("Invalid date range");
    FMinDate = Value;
    FDateTime = Clamp(FDateTime);
    Invalidate();
}

void TDateTimePicker::SetMaxDate(TDateTime Value) {
    if (Value != 0 && FMinDate != 0 && DatePart(Value) < DatePart(FMinDate))
        throw EDateTimeError("Invalid date range");
    FMaxDate = Value;
    FDateTime = Clamp(FDateTime);
    Invalidate();
}

void TDateTimePicker::SetShowCheckbox(bool Value) {
    if (FShowCheckbox != Value) {
        FShowCheckbox = Value;
        Invalidate();
    }
}

void TDateTimePicker::SetChecked(bool Value) {
    if (FChecked != Value) {
        FChecked = Value;
        Invalidate();
    }
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
    if (FKind == Value)
        return;
    if (DroppedDown())
        CloseCalendar(false);
    FKind = Value;
    BuildFields();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value) {
    if (FDateFormat == Value)
        return;
    FDateFormat = Value;
    BuildFields();
}

void TDateTimePicker::UserSet(TDateTime Value) {
    Value = Clamp(Value);
    bool changed = Value != FDateTime || (FShowCheckbox && !FChecked);
    FDateTime = Value;
    if (FShowCheckbox)
        FChecked = true;
    Invalidate();
    if (changed)
        Change();
}

void TDateTimePicker::Change() {
    if (OnChange)
        OnChange(this);
}

void TDateTimePicker::DropDown() {
    if (OnDropDown)
        OnDropDown(this);
}

void TDateTimePicker::CloseUp() {
    if (OnCloseUp)
        OnCloseUp(this);
}

// ---- Fields ----

void TDateTimePicker::BuildFields() {
    const TFormatSettings& fs = FormatSettings();
    FFields.clear();
    FTyped.clear();
    ParseFormat(FKind == dtkTime        ? fs.LongTimeFormat
                : FDateFormat == dfLong ? fs.LongDateFormat
                                        : fs.ShortDateFormat,
                0);
    // Neighbouring literal pieces become one.
    std::vector<TField> merged;
    for (TField& f : FFields) {
        if (f.Kind == fkLiteral && !merged.empty() && merged.back().Kind == fkLiteral)
            merged.back().Literal += f.Literal;
        else
            merged.push_back(std::move(f));
    }
    FFields = std::move(merged);
    FActive = FirstEditable();
    Invalidate();
}

void TDateTimePicker::ParseFormat(const std::string& Fmt, int Depth) {
    const TFormatSettings& fs = FormatSettings();
    auto literal = [this](const std::string& s) {
        TField f;
        f.Kind = fkLiteral;
        f.Literal = s;
        FFields.push_back(f);
    };
    auto field = [this](TDTFieldKind kind, int width) {
        TField f;
        f.Kind = kind;
        f.Width = width;
        FFields.push_back(f);
    };
    auto lastFieldIsHour = [this]() {
        for (auto it = FFields.rbegin(); it != FFields.rend(); ++it)
            if (it->Kind != fkLiteral)
                return it->Kind == fkHour;
        return false;
    };
    size_t i = 0, n = Fmt.size();
    while (i < n) {
        char ch = Fmt[i];
        char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        size_t run = 1;
        while (i + run < n && std::tolower(static_cast<unsigned char>(Fmt[i + run])) == lower)
            ++run;
        if (ch == '"' || ch == '\'') {
            size_t end = Fmt.find(ch, i + 1);
            if (end == std::string::npos)
                end = n;
            literal(Fmt.substr(i + 1, end - i - 1));
            i = std::min(n, end + 1);
            continue;
        }
        switch (lower) {
        case 'd':
            if (run >= 6 && Depth < 2)
                ParseFormat(fs.LongDateFormat, Depth + 1);
            else if (run == 5 && Depth < 2)
                ParseFormat(fs.ShortDateFormat, Depth + 1);
            else if (run >= 3)
                field(fkDayName, run >= 4 ? 4 : 3);
            else
                field(fkDay, static_cast<int>(run));
            break;
        case 'm':
            if (run <= 2 && lastFieldIsHour())
                field(fkMinute, static_cast<int>(run));
            else if (run >= 3)
                field(fkMonthName, run >= 4 ? 4 : 3);
            else
                field(fkMonth, static_cast<int>(run));
            break;
        case 'y':
            field(fkYear, run <= 2 ? 2 : 4);
            break;
        case 'h':
            field(fkHour, std::min<int>(static_cast<int>(run), 2));
            break;
        case 'n':
            field(fkMinute, std::min<int>(static_cast<int>(run), 2));
            break;
        case 's':
            field(fkSecond, std::min<int>(static_cast<int>(run), 2));
            break;
        case 'z':
            break; // milliseconds are not shown
        case 't':
            if (Depth < 2)
                ParseFormat(run >= 2 ? fs.LongTimeFormat : fs.ShortTimeFormat, Depth + 1);
            break;
        case 'c':
            if (Depth < 2) {
                ParseFormat(fs.ShortDateFormat, Depth + 1);
                literal(" ");
                ParseFormat(fs.LongTimeFormat, Depth + 1);
            }
            break;
        case 'a': {
            std::string rest = LowerCase(Fmt.substr(i, 5));
            if (rest.rfind("am/pm", 0) == 0) {
                field(fkAmPm, 5);
                run = 5;
            } else if (rest.rfind("ampm", 0) == 0) {
                field(fkAmPm, 4);
                run = 4;
            } else if (rest.rfind("a/p", 0) == 0) {
                field(fkAmPm, 1);
                run = 3;
            } else {
                literal(Fmt.substr(i, run));
            }
            break;
        }
        case '/':
            literal(std::string(run, fs.DateSeparator));
            break;
        case ':':
            literal(std::string(run, fs.TimeSeparator));
            break;
        default:
            literal(Fmt.substr(i, run));
            break;
        }
        i += run;
    }
}

bool TDateTimePicker::TwelveHour() const {
    return std::any_of(FFields.begin(), FFields.end(), [](const TField& f) { return f.Kind == fkAmPm; });
}

TDTFieldKind TDateTimePicker::FieldKind(int Index) const {
    return Index >= 0 && Index < FieldCount() ? FFields[Index].Kind : fkLiteral;
}

bool TDateTimePicker::Editable(int Index) const {
    return FieldKind(Index) != fkLiteral;
}

int TDateTimePicker::FirstEditable() const {
    for (int i = 0; i < FieldCount(); ++i)
        if (Editable(i))
            return i;
    return -1;
}

std::string TDateTimePicker::FieldText(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        return {};
    const TField& f = FFields[Index];
    if (f.Kind == fkLiteral)
        return f.Literal;
    if (Index == FActive && !FTyped.empty())
        return FTyped;
    const TFormatSettings& fs = FormatSettings();
    TParts p = Split(FDateTime);
    switch (f.Kind) {
    case fkDay:
        return Padded(p.Day, f.Width);
    case fkDayName: {
        int dow = std::max(1, DayOfWeek(FDateTime));
        return f.Width >= 4 ? fs.LongDayNames[dow - 1] : fs.ShortDayNames[dow - 1];
    }
    case fkMonth:
        return Padded(p.Month, f.Width);
    case fkMonthName:
        return f.Width >= 4 ? fs.LongMonthNames[p.Month - 1] : fs.ShortMonthNames[p.Month - 1];
    case fkYear:
        return f.Width == 2 ? Padded(p.Year % 100, 2) : Padded(p.Year, 4);
    case fkHour: {
        int h = TwelveHour() ? (p.Hour % 12 == 0 ? 12 : p.Hour % 12) : p.Hour;
        return Padded(h, f.Width);
    }
    case fkMinute:
        return Padded(p.Minute, f.Width);
    case fkSecond:
        return Padded(p.Second, f.Width);
    case fkAmPm:
        if (f.Width == 1)
            return p.Hour < 12 ? "a" : "p";
        return p.Hour < 12 ? fs.TimeAMString : fs.TimePMString;
    case fkLiteral:
        break;
    }
    return {};
}

std::string TDateTimePicker::DisplayText() const {
    std::string s;
    for (int i = 0; i < FieldCount(); ++i)
        s += FieldText(i);
    return s;
}

void TDateTimePicker::SetActiveField(int Index) {
    if (!Editable(Index) || Index == FActive)
        return;
    CommitTyped();
    FActive = Index;
    Invalidate();
}

void TDateTimePicker::MoveField(int Delta) {
    CommitTyped();
    for (int i = FActive + Delta; i >= 0 && i < FieldCount(); i += Delta)
        if (Editable(i)) {
            FActive = i;
            break;
        }
    Invalidate();
}

void TDateTimePicker::StepField(int Delta) {
    CommitTyped();
    if (!Editable(FActive))
        return;
    TParts p = Split(FDateTime);
    switch (FFields[FActive].Kind) {
    case fkDay:
        p.Day = Wrap(p.Day + Delta, 1, DaysInAMonth(p.Year, p.Month));
        break;
    case fkDayName:
        UserSet(ComposeDateTime(Date() + Delta, Time()));
        return;
    case fkMonth:
    case fkMonthName:
        p.Month = Wrap(p.Month + Delta, 1, 12);
        break;
    case fkYear:
        p.Year = std::clamp(p.Year + Delta, 1, 9999);
        break;
    case fkHour:
        if (TwelveHour())
            p.Hour = Wrap(p.Hour % 12 + Delta, 0, 11) + (p.Hour >= 12 ? 12 : 0);
        else
            p.Hour = Wrap(p.Hour + Delta, 0, 23);
        break;
    case fkMinute:
        p.Minute = Wrap(p.Minute + Delta, 0, 59);
        break;
    case fkSecond:
        p.Second = Wrap(p.Second + Delta, 0, 59);
        break;
    case fkAmPm:
        p.Hour = (p.Hour + 12) % 24;
        break;
    case fkLiteral:
        return;
    }
    UserSet(Join(p));
}

void TDateTimePicker::TypeDigit(int Digit) {
    if (!Editable(FActive))
        return;
    TDTFieldKind kind = FFields[FActive].Kind;
    if (kind == fkDayName || kind == fkAmPm)
        return;
    TParts p = Split(FDateTime);
    bool twelve = TwelveHour();
    int lo = 0, hi = 59, digits = 2;
    switch (kind) {
    case fkDay:
        lo = 1;
        hi = DaysInAMonth(p.Year, p.Month);
        break;
    case fkMonth:
    case fkMonthName:
        lo = 1;
        hi = 12;
        break;
    case fkYear:
        lo = 1;
        hi = 9999;
        digits = 4;
        break;
    case fkHour:
        lo = twelve ? 1 : 0;
        hi = twelve ? 12 : 23;
        break;
    default:
        break;
    }
    std::string candidate = FTyped + static_cast<char>('0' + Digit);
    if (static_cast<int>(candidate.size()) > digits || (kind != fkYear && std::stoi(candidate) > hi))
        candidate = std::string(1, static_cast<char>('0' + Digit));
    FTyped = candidate;
    int value = std::stoi(FTyped);
    bool done;
    if (kind == fkYear) {
        done = static_cast<int>(FTyped.size()) >= digits;
        if (done)
            CommitTyped();
    } else {
        if (value >= lo) {
            switch (kind) {
            case fkDay:
                p.Day = value;
                break;
            case fkMonth:
            case fkMonthName:
                p.Month = value;
                break;
            case fkHour:
                p.Hour = twelve ? value % 12 + (p.Hour >= 12 ? 12 : 0) : value;
                break;
            case fkMinute:
                p.Minute = value;
                break;
            case fkSecond:
                p.Second = value;
                break;
            default:
                break;
            }
            std::string typed = FTyped;
            UserSet(Join(p));
            FTyped = typed;
        }
        done = static_cast<int>(FTyped.size()) >= digits || value * 10 > hi;
    }
    if (done) {
        FTyped.clear();
        MoveField(1);
    }
    Invalidate();
}

void TDateTimePicker::CommitTyped() {
    if (FTyped.empty())
        return;
    std::string typed = FTyped;
    FTyped.clear();
    if (FieldKind(FActive) != fkYear) {
        Invalidate();
        return;
    }
    int year = std::stoi(typed);
    if (typed.size() <= 2) {
        // Two digits: the century window places the year near the present.
        int now, m, d;
        DecodeDate(plat::Date(), now, m, d);
        int base = now - 100 + FormatSettings().TwoDigitYearCenturyWindow;
        year += base / 100 * 100;
        if (year < base)
            year += 100;
    }
    if (year < 1 || year > 9999) {
        Invalidate();
        return;
    }
    TParts p = Split(FDateTime);
    p.Year = year;
    UserSet(Join(p));
}

// ---- Geometry ----

TRect TDateTimePicker::CheckBoxRect() const {
    if (!FShowCheckbox)
        return TRect();
    int top = (ClientHeight() - kCheckSize) / 2;
    return TRect(2, top, 2 + kCheckSize, top + kCheckSize);
}

TRect TDateTimePicker::ButtonRect() const {
    int w = GetSystemMetrics(SM_CXVSCROLL);
    return TRect(ClientWidth() - w, 0, ClientWidth(), ClientHeight());
}

int TDateTimePicker::TextLeft() const {
    return FShowCheckbox ? 2 + kCheckSize + 4 : 2;
}

TRect TDateTimePicker::FieldRect(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        return TRect();
    TCanvas& c = MeasuringCanvas(Font());
    int x = TextLeft();
    for (int i = 0; i < Index; ++i)
        x += c.TextWidth(FieldText(i));
    int h = c.TextHeight("Wg");
    int top = (ClientHeight() - h) / 2;
    return TRect(x, top, x + c.TextWidth(FieldText(Index)), top + h);
}

// ---- Drop-down ----

bool TDateTimePicker::DroppedDown() const {
    return FCalendar && FCalendar->FPopup.Open();
}

TDateTimePickerCalendar* TDateTimePicker::Calendar() const {
    return DroppedDown() ? FCalendar.get() : nullptr;
}

void TDateTimePicker::SetDroppedDown(bool Value) {
    if (Value == DroppedDown())
        return;
    if (!Value) {
        CloseCalendar(false);
        return;
    }
    if (FKind != dtkDate)
        return;
    CommitTyped();
    DropDown();
    if (!FCalendar)
        FCalendar = std::make_unique<TDateTimePickerCalendar>(this);
    TDateTimePickerCalendar* cal = FCalendar.get();
    cal->Font()->Assign(Font());
    cal->SetSelectedDate(FDateTime);
    cal->FPopup.Show(*this, cal->PreferredSize());
    Invalidate();
}

void TDateTimePicker::CloseCalendar(bool Accept) {
    if (!DroppedDown())
        return;
    TDateTime chosen = FCalendar->SelectedDate();
    if (!FCalendar->FPopup.Hide())
        return;
    Invalidate();
    if (Accept)
        UserSet(ComposeDateTime(DatePart(chosen), Time()));
    CloseUp();
}

// ---- Painting ----

void TDateTimePicker::Paint() {
    TCanvas& c = *Canvas();
    PaintBackground(c, ClientRect());
    if (FShowCheckbox)
        PaintCheckBox(c, CheckBoxRect());
    PaintFields(c);
    PaintButton(c, ButtonRect());
}

void TDateTimePicker::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    Canvas.FillRect(Rect);
}

void TDateTimePicker::PaintCheckBox(TCanvas& Canvas, const TRect& Rect) {
    TRect r = Rect;
    uint32_t state = DFCS_BUTTONCHECK | (FChecked ? uint32_t{DFCS_CHECKED} : 0) |
                     (Enabled() ? 0 : uint32_t{DFCS_INACTIVE});
    DrawFrameControl(*Canvas.Handle(), r, DFC_BUTTON, state);
}

void TDateTimePicker::PaintFields(TCanvas& Canvas) {
    bool live = Enabled() && (FChecked || !FShowCheckbox);
    Canvas.Font()->Assign(Font());
    TRect clip(TextLeft(), 0, ButtonRect().Left, ClientHeight());
    for (int i = 0; i < FieldCount(); ++i) {
        TRect r = FieldRect(i);
        if (r.Left >= clip.Right)
            break;
        r.Right = std::min(r.Right, clip.Right);
        bool active = i == FActive && Focused() && live && !DroppedDown();
        if (active) {
            Canvas.Brush()->SetStyle(bsSolid);
            Canvas.Brush()->SetColor(clHighlight);
            Canvas.FillRect(r);
            Canvas.Font()->SetColor(clHighlightText);
        } else {
            Canvas.Font()->SetColor(live ? clWindowText : clGrayText);
        }
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.TextRect(r, FieldText(i), DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    Canvas.Brush()->SetStyle(bsSolid);
}

void TDateTimePicker::PaintButton(TCanvas& Canvas, const TRect& Rect) {
    uint32_t inactive = Enabled() ? 0 : uint32_t{DFCS_INACTIVE};
    if (FKind == dtkDate) {
        TRect r = Rect;
        uint32_t pushed = DroppedDown() ? DFCS_PUSHED | DFCS_FLAT : 0;
        DrawFrameControl(*Canvas.Handle(), r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | pushed | inactive);
        return;
    }
    int mid = (Rect.Top + Rect.Bottom) / 2;
    TRect up(Rect.Left, Rect.Top, Rect.Right, mid), down(Rect.Left, mid, Rect.Right, Rect.Bottom);
    DrawFrameControl(*Canvas.Handle(), up, DFC_SCROLL, DFCS_SCROLLUP | inactive);
    DrawFrameControl(*Canvas.Handle(), down, DFC_SCROLL, DFCS_SCROLLDOWN | inactive);
}

// ---- Input ----

void TDateTimePicker::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        // Enter and Escape belong to the calendar while it is open.
        if (DroppedDown())
            Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        // Another form or window taking the focus sends no exit, yet the calendar must not stay open
        // over it.
        if (DroppedDown() && reinterpret_cast<HWND>(Message.WParam) != FCalendar->WindowHandle())
            CloseCalendar(false);
        return;
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft) {
        TPoint p(X, Y);
        if (FShowCheckbox && CheckBoxRect().Contains(p)) {
            CommitTyped();
            FChecked = !FChecked;
            Invalidate();
            Change();
        } else if (ButtonRect().Contains(p)) {
            if (FKind == dtkDate) {
                SetMouseCapture(false);
                SetDroppedDown(!DroppedDown());
            } else {
                if (!Editable(FActive))
                    FActive = FirstEditable();
                StepField(Y < (ButtonRect().Top + ButtonRect().Bottom) / 2 ? 1 : -1);
            }
        } else {
            for (int i = 0; i < FieldCount(); ++i) {
                TRect r = FieldRect(i);
                if (X >= r.Left && X < r.Right) {
                    SetActiveField(i);
                    break;
                }
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDateTimePicker::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (DroppedDown()) {
        if (Key == VK_ESCAPE)
            CloseCalendar(false);
        else if (Key == VK_RETURN || Key == VK_F4 || ((Key == VK_UP || Key == VK_DOWN) && (Shift & ssAlt)))
            CloseCalendar(true);
        else if (!FCalendar->HandleKey(Key, Shift))
            return;
        Key = 0;
        return;
    }
    switch (Key) {
    case VK_LEFT:
        MoveField(-1);
        break;
    case VK_RIGHT:
        MoveField(1);
        break;
    case VK_UP:
    case VK_DOWN:
        if ((Shift & ssAlt) && Key == VK_DOWN)
            SetDroppedDown(true);
        else
            StepField(Key == VK_UP ? 1 : -1);
        break;
    case VK_F4:
        SetDroppedDown(true);
        break;
    case VK_BACK:
        if (!FTyped.empty()) {
            FTyped.pop_back();
            Invalidate();
        }
        break;
    case VK_SPACE:
        if (!FShowCheckbox)
            return;
        CommitTyped();
        FChecked = !FChecked;
        Invalidate();
        Change();
        break;
    default:
        return;
    }
    Key = 0;
}

void TDateTimePicker::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0 || DroppedDown())
        return;
    const TFormatSettings& fs = FormatSettings();
    if (Key >= U'0' && Key <= U'9') {
        TypeDigit(static_cast<int>(Key - U'0'));
    } else if (FieldKind(FActive) == fkAmPm && Key < 128 && std::isalpha(static_cast<int>(Key))) {
        char k = static_cast<char>(std::tolower(static_cast<int>(Key)));
        auto startsWith = [k](const std::string& s) {
            return !s.empty() && std::tolower(static_cast<unsigned char>(s[0])) == k;
        };
        TParts p = Split(FDateTime);
        if ((startsWith(fs.TimeAMString) || k == 'a') && p.Hour >= 12)
            StepField(1);
        else if ((startsWith(fs.TimePMString) || k == 'p') && p.Hour < 12)
            StepField(1);
    } else if (Key == static_cast<char32_t>(fs.DateSeparator) ||
               Key == static_cast<char32_t>(fs.TimeSeparator) || Key == U'/' || Key == U':' || Key == U'.' ||
               Key == U'-' || Key == U',') {
        // A separator ends the field, as typing a date from left to right expects.
        MoveField(1);
    } else {
        return;
    }
    Key = 0;
}

void TDateTimePicker::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TDateTimePicker::DoExit() {
    CommitTyped();
    if (DroppedDown())
        CloseCalendar(false);
    Invalidate();
    TCustomControl::DoExit();
}

} // namespace plat
