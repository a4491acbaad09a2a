// Dates and times as the program counts them: a double of days since 1899-12-30 whose fraction
// is the time of day, with encoding, decoding, the FormatDateTime language and the text readers.
#pragma once

#include "platform/rtl/Locale.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Days since 1899-12-30 00:00. Before that day the whole part counts backwards while the fraction
// still counts forwards: -1.25 is 1899-12-29 06:00.
using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 0001-01-01 to 1899-12-30.
constexpr int DateDelta = 693594;
// The smallest and largest valid dates: 0001-01-01 and 9999-12-31 23:59:59.999.
constexpr double MinDateTime = -693593.0;
constexpr double MaxDateTime = 2958465.99999999;

bool IsLeapYear(int year);
// 28..31; 0 for a month outside 1..12.
int DaysInAMonth(int year, int month);

// Years 1..9999. Invalid arguments raise EConvertError "Invalid argument to date encode" /
// "Invalid argument to time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// A date plus a time of day, right also for dates before 1899-12-30.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// The time is taken to the nearest millisecond; a time that rounds to midnight belongs to the next day.
// A value outside the valid range (or NaN) decodes to all zeros.
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday … 7 = Saturday; 0 for a value outside the valid range.
int DayOfWeek(TDateTime dt);

// The current local date and time from the process clock (see Clock.h).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Specifiers (letters case-insensitive): c (short date, then long time unless the time is 00:00:00),
// d dd ddd dddd (day, 2-digit, short and long day name), ddddd (short date), dddddd (long date),
// m mm mmm mmmm (month, or minutes right after an hour), yy yyyy, h hh (12-hour when the format holds
// an am/pm specifier), n nn, s ss, z zzz, t (short time), tt (long time), am/pm, a/p, ampm (the locale's
// words), '/' date separator, ':' time separator, '…' and "…" literal text; anything else is literal.
// An empty format means "c".
std::string FormatDateTime(std::string_view fmt, TDateTime dt);
std::string FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs);
std::string DateTimeToStr(TDateTime dt);
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& fs);
std::string DateToStr(TDateTime dt);
std::string DateToStr(TDateTime dt, const TFormatSettings& fs);
std::string TimeToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt, const TFormatSettings& fs);

// Dates are read as two or three numbers separated by the date separator in the order of the short
// date format (a missing year is the current one, "05.03." included; a two-digit year follows the
// century window). Times
// are h[:n[:s[.z]]] with an optional am/pm word. Surrounding blanks are allowed. Errors raise
// EConvertError "'<text>' is not a valid date", "… valid time" or "… valid date and time".
bool TryStrToDate(std::string_view s, TDateTime& value);
bool TryStrToDate(std::string_view s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToTime(std::string_view s, TDateTime& value);
bool TryStrToTime(std::string_view s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToDateTime(std::string_view s, TDateTime& value);
bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDate(std::string_view s);
TDateTime StrToDate(std::string_view s, const TFormatSettings& fs);
TDateTime StrToTime(std::string_view s);
TDateTime StrToTime(std::string_view s, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view s);
TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs);

} // namespace plat
