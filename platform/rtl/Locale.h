// The user's number and date conventions (separators, date and time formats, names), one current set
// for the whole process. Every text conversion that shows or reads numbers and dates on screen or in
// settings uses it unless the caller hands it a fixed set.
#pragma once

#include <array>
#include <string>

namespace plat {

// Separators are single bytes: a locale whose separator is a multi-byte character (a narrow no-break
// space as thousands separator, say) is mapped to the nearest single byte (a blank).
//
// Date and time formats use the FormatDateTime language: '/' stands for DateSeparator and ':' for
// TimeSeparator when formatting, so a format needs no change when only the separators do.
//
// Defaults (a default-constructed value, and the current set until the environment is read) are
// English/US-like with a 24-hour clock: '.' decimal, ',' thousands, "m/d/yyyy" short date,
// "dddd, mmmm d, yyyy" long date, "hh:nn" and "hh:nn:ss" times, "$" currency with 2 decimals.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string ShortDateFormat = "m/d/yyyy";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    // Index 0 is January.
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    // Index 0 is Sunday.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::string CurrencyString = "$";
    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    int CurrencyFormat = 0;
    // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1",
    // 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;
    // A two-digit year read from text is placed within this many years after (now - 100 + window).
    int TwoDigitYearCenturyWindow = 50;
};

// The process-wide current settings. Any thread may read them; change them only at start-up or in
// tests, while no other thread formats.
TFormatSettings& FormatSettings();

// Settings of a named locale ("de_DE.UTF-8"); an empty name means the user's environment (LC_ALL,
// LC_NUMERIC, LC_TIME, LC_MONETARY, LANG). Unknown locales and the C/POSIX locale give the defaults.
// The process's C locale is left untouched.
TFormatSettings FormatSettingsFromLocale(const std::string& localeName = {});

// Called once at program start: the current settings become the user's.
void LoadFormatSettingsFromEnvironment();

// Replaces the current settings for its lifetime and restores the old ones afterwards (tests).
class TScopedFormatSettings {
public:
    // Keeps the current settings so the scope may change fields of FormatSettings() freely.
    TScopedFormatSettings();
    explicit TScopedFormatSettings(const TFormatSettings& replacement);
    ~TScopedFormatSettings();
    TScopedFormatSettings(const TScopedFormatSettings&) = delete;
    TScopedFormatSettings& operator=(const TScopedFormatSettings&) = delete;

private:
    TFormatSettings FSaved;
};

} // namespace plat
