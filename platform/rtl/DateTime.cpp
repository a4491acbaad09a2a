#include "platform/rtl/DateTime.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exception.h"

#include <cmath>

namespace plat {

namespace {

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kUnixEpochOffset = 25569;
constexpr int64_t kMinDay = -693593; // 0001-01-01
constexpr int64_t kMaxDay = 2958465; // 9999-12-31

// Proleptic Gregorian calendar arithmetic, days relative to 1970-01-01.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// A date-time split into its day number and the milliseconds of its time of day.
struct TSplit {
    bool Valid = false;
    int64_t Day = 0;
    int Msec = 0;
};

TSplit Split(TDateTime dt) {
    TSplit s;
    if (!std::isfinite(dt) || dt < static_cast<double>(kMinDay) - 1 || dt > static_cast<double>(kMaxDay) + 1)
        return s;
    double whole = std::trunc(dt);
    int64_t ms = std::llround(std::fabs(dt - whole) * MSecsPerDay);
    s.Day = static_cast<int64_t>(whole);
    if (ms >= MSecsPerDay) { // rounds up to midnight: that is the next calendar day
        ms -= MSecsPerDay;
        ++s.Day;
    }
    s.Msec = static_cast<int>(ms);
    s.Valid = s.Day >= kMinDay && s.Day <= kMaxDay;
    return s;
}

// Everything FormatDateTime may print, decoded once.
struct TDecoded {
    int Year = 0, Month = 0, Day = 0, DayOfWeek = 0;
    int Hour = 0, Min = 0, Sec = 0, Msec = 0;
};

TDecoded DecodeAll(TDateTime dt) {
    TDecoded t;
    TSplit s = Split(dt);
    if (!s.Valid)
        return t;
    CivilFromDays(s.Day - kUnixEpochOffset, t.Year, t.Month, t.Day);
    t.DayOfWeek = static_cast<int>((s.Day + DateDelta) % 7) + 1;
    t.Hour = s.Msec / 3600000;
    t.Min = s.Msec / 60000 % 60;
    t.Sec = s.Msec / 1000 % 60;
    t.Msec = s.Msec % 1000;
    return t;
}

} // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochOffset);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    time = ((hour * 3600000.0) + (min * 60000.0) + (sec * 1000.0) + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError("Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    // Before 1899-12-30 the fraction still counts forwards from the day's start.
    return date < 0 ? date - std::fabs(time) : date + std::fabs(time);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    TDecoded t = DecodeAll(dt);
    year = t.Year;
    month = t.Month;
    day = t.Day;
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
    TDecoded t = DecodeAll(dt);
    hour = t.Hour;
    min = t.Min;
    sec = t.Sec;
    msec = t.Msec;
}

int DayOfWeek(TDateTime dt) {
    return DecodeAll(dt).DayOfWeek;
}

TDateTime Now() {
    return SystemClock().LocalNow();
}

TDateTime Date() {
    return std::trunc(Now());
}

TDateTime Time() {
    TDateTime now = Now();
    return now - std::trunc(now);
}

// --- FormatDateTime ---------------------------------------------------------------------------------

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool MatchesAt(std::string_view s, size_t i, std::string_view word) {
    if (i + word.size() > s.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (Upper(s[i + k]) != Upper(word[k]))
            return false;
    return true;
}

// An am/pm specifier anywhere outside quotes switches the hours of that format to a 12-hour clock.
bool Uses12HourClock(std::string_view fmt) {
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c == '\'' || c == '"') {
            size_t close = fmt.find(c, i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (MatchesAt(fmt, i, "am/pm") || MatchesAt(fmt, i, "a/p") || MatchesAt(fmt, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void AppendNumber(std::string& out, int value, int digits) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < digits)
        out.append(static_cast<size_t>(digits) - s.size(), '0');
    out += s;
}

// Nested formats (c, ddddd, t …) may themselves name nested formats; two levels are enough and stop a
// format that names itself.
constexpr int kMaxNesting = 2;

void AppendFormat(std::string& out, std::string_view fmt, const TDecoded& t, const TFormatSettings& fs,
                  int level) {
    if (level > kMaxNesting)
        return;
    const bool twelveHour = Uses12HourClock(fmt);
    char lastToken = ' ';
    size_t i = 0;
    auto runLength = [&](char c) {
        size_t n = 0;
        while (i < fmt.size() && Upper(fmt[i]) == Upper(c)) {
            ++i;
            ++n;
        }
        return n;
    };
    while (i < fmt.size()) {
        const char c = fmt[i];
        char token = Upper(c);
        if (IsLetter(c)) {
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        switch (token) {
        case 'Y': {
            size_t n = runLength(c);
            if (n <= 2)
                AppendNumber(out, t.Year % 100, 2);
            else
                AppendNumber(out, t.Year, 4);
            break;
        }
        case 'M': {
            size_t n = runLength(c);
            if (n == 1)
                AppendNumber(out, t.Month, 1);
            else if (n == 2)
                AppendNumber(out, t.Month, 2);
            else if (t.Month >= 1)
                out += n == 3 ? fs.ShortMonthNames[t.Month - 1] : fs.LongMonthNames[t.Month - 1];
            break;
        }
        case 'D': {
            size_t n = runLength(c);
            if (n <= 2)
                AppendNumber(out, t.Day, static_cast<int>(n));
            else if (n <= 4 && t.DayOfWeek >= 1)
                out += n == 3 ? fs.ShortDayNames[t.DayOfWeek - 1] : fs.LongDayNames[t.DayOfWeek - 1];
            else if (n == 5)
                AppendFormat(out, fs.ShortDateFormat, t, fs, level + 1);
            else if (n >= 6)
                AppendFormat(out, fs.LongDateFormat, t, fs, level + 1);
            break;
        }
        case 'H': {
            size_t n = runLength(c);
            int h = t.Hour;
            if (twelveHour)
                h = h % 12 == 0 ? 12 : h % 12;
            AppendNumber(out, h, n == 1 ? 1 : 2);
            break;
        }
        case 'N':
            AppendNumber(out, t.Min, runLength(c) == 1 ? 1 : 2);
            break;
        case 'S':
            AppendNumber(out, t.Sec, runLength(c) == 1 ? 1 : 2);
            break;
        case 'Z':
            AppendNumber(out, t.Msec, runLength(c) <= 2 ? 1 : 3);
            break;
        case 'T':
            AppendFormat(out, runLength(c) == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, t, fs, level + 1);
            break;
        case 'C':
            runLength(c);
            AppendFormat(out, fs.ShortDateFormat, t, fs, level + 1);
            if (t.Hour != 0 || t.Min != 0 || t.Sec != 0 || t.Msec != 0) {
                out += ' ';
                AppendFormat(out, fs.LongTimeFormat, t, fs, level + 1);
            }
            break;
        case 'A':
            if (MatchesAt(fmt, i, "am/pm")) {
                // The word keeps the case it is written in.
                out.append(fmt.substr(t.Hour >= 12 ? i + 3 : i, 2));
                i += 5;
            } else if (MatchesAt(fmt, i, "a/p")) {
                out += fmt[t.Hour >= 12 ? i + 2 : i];
                i += 3;
            } else if (MatchesAt(fmt, i, "ampm")) {
                out += t.Hour >= 12 ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += c;
                ++i;
            }
            break;
        case '/':
            out += fs.DateSeparator;
            ++i;
            break;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            break;
        case '\'':
        case '"': {
            size_t close = fmt.find(c, i + 1);
            if (close == std::string_view::npos) {
                out.append(fmt.substr(i + 1));
                i = fmt.size();
            } else {
                out.append(fmt.substr(i + 1, close - i - 1));
                i = close + 1;
            }
            break;
        }
        default:
            out += c;
            ++i;
            break;
        }
    }
}

} // namespace

std::string FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs) {
    std::string out;
    AppendFormat(out, fmt.empty() ? std::string_view("c") : fmt, DecodeAll(dt), fs, 0);
    return out;
}

std::string FormatDateTime(std::string_view fmt, TDateTime dt) {
    return FormatDateTime(fmt, dt, FormatSettings());
}

std::string DateTimeToStr(TDateTime dt, const TFormatSettings& fs) {
    return FormatDateTime("c", dt, fs);
}
std::string DateTimeToStr(TDateTime dt) {
    return DateTimeToStr(dt, FormatSettings());
}
std::string DateToStr(TDateTime dt, const TFormatSettings& fs) {
    return FormatDateTime("ddddd", dt, fs);
}
std::string DateToStr(TDateTime dt) {
    return DateToStr(dt, FormatSettings());
}
std::string TimeToStr(TDateTime dt, const TFormatSettings& fs) {
    return FormatDateTime("tt", dt, fs);
}
std::string TimeToStr(TDateTime dt) {
    return TimeToStr(dt, FormatSettings());
}

// --- Reading dates and times ------------------------------------------------------------------------

namespace {

enum class TDateOrder { MDY, DMY, YMD };

TDateOrder DateOrderOf(std::string_view fmt) {
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = Upper(fmt[i]);
        if (fmt[i] == '\'' || fmt[i] == '"') {
            size_t close = fmt.find(fmt[i], i + 1);
            if (close == std::string_view::npos)
                break;
            i = close;
        } else if (c == 'D') {
            return TDateOrder::DMY;
        } else if (c == 'Y') {
            return TDateOrder::YMD;
        } else if (c == 'M') {
            return TDateOrder::MDY;
        }
    }
    return TDateOrder::MDY;
}

class TScanner {
public:
    explicit TScanner(std::string_view s) : FText(s) {}
    void SkipBlanks() {
        while (FPos < FText.size() && FText[FPos] == ' ')
            ++FPos;
    }
    bool AtEnd() const { return FPos >= FText.size(); }
    // Up to 9 digits after optional blanks.
    bool Number(int& value, int& digits) {
        SkipBlanks();
        value = 0;
        digits = 0;
        while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') {
            if (digits == 9)
                return false;
            value = value * 10 + (FText[FPos++] - '0');
            ++digits;
        }
        return digits > 0;
    }
    bool Char(char c) {
        SkipBlanks();
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word) {
        SkipBlanks();
        if (word.empty() || !MatchesAt(FText, FPos, word))
            return false;
        FPos += word.size();
        return true;
    }

private:
    std::string_view FText;
    size_t FPos = 0;
};

int CurrentYear() {
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    return y;
}

bool ScanDate(TScanner& sc, TDateTime& date, const TFormatSettings& fs) {
    int n[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
    if (!sc.Number(n[0], digits[0]) || !sc.Char(fs.DateSeparator) || !sc.Number(n[1], digits[1]))
        return false;
    int count = 2;
    // "05.03." (day and month with a closing separator) is a date in the current year.
    if (sc.Char(fs.DateSeparator) && sc.Number(n[2], digits[2]))
        count = 3;
    int year, month, day, yearDigits = 4;
    TDateOrder order = DateOrderOf(fs.ShortDateFormat);
    if (count == 2) {
        year = CurrentYear();
        if (order == TDateOrder::DMY) {
            day = n[0];
            month = n[1];
        } else {
            month = n[0];
            day = n[1];
        }
    } else if (order == TDateOrder::YMD) {
        year = n[0], yearDigits = digits[0], month = n[1], day = n[2];
    } else if (order == TDateOrder::DMY) {
        day = n[0], month = n[1], year = n[2], yearDigits = digits[2];
    } else {
        month = n[0], day = n[1], year = n[2], yearDigits = digits[2];
    }
    if (yearDigits <= 2 && year <= 99) {
        const int centuryBase = CurrentYear() - fs.TwoDigitYearCenturyWindow;
        year += centuryBase / 100 * 100;
        if (fs.TwoDigitYearCenturyWindow > 0 && year < centuryBase)
            year += 100;
    }
    return TryEncodeDate(year, month, day, date);
}

bool ScanTime(TScanner& sc, TDateTime& time, const TFormatSettings& fs) {
    int hour, min = 0, sec = 0, msec = 0, digits;
    if (!sc.Number(hour, digits))
        return false;
    bool separated = false;
    if (sc.Char(fs.TimeSeparator)) {
        separated = true;
        if (!sc.Number(min, digits))
            return false;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(sec, digits))
                return false;
            if (sc.Char(fs.DecimalSeparator) || sc.Char('.')) {
                int frac;
                if (!sc.Number(frac, digits) || digits > 3)
                    return false;
                msec = frac * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
            }
        }
    }
    int half = -1; // 0 am, 1 pm
    if (sc.Word(fs.TimeAMString) || sc.Word("AM"))
        half = 0;
    else if (sc.Word(fs.TimePMString) || sc.Word("PM"))
        half = 1;
    if (!separated && half < 0)
        return false;
    if (half >= 0) {
        if (hour > 12)
            return false;
        if (hour == 12)
            hour = 0;
        if (half == 1)
            hour += 12;
    }
    return TryEncodeTime(hour, min, sec, msec, time);
}

bool Finished(TScanner& sc) {
    sc.SkipBlanks();
    return sc.AtEnd();
}

} // namespace

bool TryStrToDate(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
    TScanner sc(s);
    TDateTime d;
    if (!ScanDate(sc, d, fs) || !Finished(sc))
        return false;
    value = d;
    return true;
}

bool TryStrToTime(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
    TScanner sc(s);
    TDateTime t;
    if (!ScanTime(sc, t, fs) || !Finished(sc))
        return false;
    value = t;
    return true;
}

bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
    TScanner sc(s);
    TDateTime d, t = 0;
    if (!ScanDate(sc, d, fs))
        return TryStrToTime(s, value, fs); // a time alone is a time on day 0
    if (!Finished(sc) && (!ScanTime(sc, t, fs) || !Finished(sc)))
        return false;
    value = ComposeDateTime(d, t);
    return true;
}

bool TryStrToDate(std::string_view s, TDateTime& value) {
    return TryStrToDate(s, value, FormatSettings());
}
bool TryStrToTime(std::string_view s, TDateTime& value) {
    return TryStrToTime(s, value, FormatSettings());
}
bool TryStrToDateTime(std::string_view s, TDateTime& value) {
    return TryStrToDateTime(s, value, FormatSettings());
}

namespace {
[[noreturn]] void RaiseNotA(std::string_view s, const char* what) {
    throw EConvertError("'" + std::string(s) + "' is not a valid " + what);
}
} // namespace

TDateTime StrToDate(std::string_view s, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToDate(s, v, fs))
        RaiseNotA(s, "date");
    return v;
}

TDateTime StrToTime(std::string_view s, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToTime(s, v, fs))
        RaiseNotA(s, "time");
    return v;
}

TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToDateTime(s, v, fs))
        RaiseNotA(s, "date and time");
    return v;
}

TDateTime StrToDate(std::string_view s) {
    return StrToDate(s, FormatSettings());
}
TDateTime StrToTime(std::string_view s) {
    return StrToTime(s, FormatSettings());
}
TDateTime StrToDateTime(std::string_view s) {
    return StrToDateTime(s, FormatSettings());
}

} // namespace plat
