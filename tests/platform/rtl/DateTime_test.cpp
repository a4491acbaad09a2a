#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace plat;

TEST(DateEncoding, KnownDays) {
    struct Case {
        int y, m, d;
        double serial;
    } cases[] = {
        {1899, 12, 30, 0},  {1899, 12, 31, 1},       {1899, 12, 29, -1},   {1900, 1, 1, 2},
        {1900, 3, 1, 61},   {2000, 1, 1, 36526},     {2000, 2, 29, 36585}, {2024, 1, 1, 45292},
        {1, 1, 1, -693593}, {9999, 12, 31, 2958465}, {1800, 1, 1, -36522},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << '-' << c.m << '-' << c.d;
        int y, m, d;
        DecodeDate(c.serial, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.serial;
    }
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2); // a Monday
    EXPECT_EQ(DayOfWeek(0), 7);                      // 1899-12-30 was a Saturday
    EXPECT_EQ(DayOfWeek(-693593), 2);
}

TEST(DateEncoding, EveryDayRoundTrips) {
    int prevY = 0, prevM = 12, prevD = 31;
    for (int serial = -693593; serial <= 2958465; ++serial) {
        int y, m, d;
        DecodeDate(serial, y, m, d);
        bool next = (d == prevD + 1 && m == prevM && y == prevY) ||
                    (d == 1 && m == prevM + 1 && y == prevY) ||
                    (d == 1 && m == 1 && prevM == 12 && y == prevY + 1);
        ASSERT_TRUE(next) << serial;
        ASSERT_EQ(EncodeDate(y, m, d), serial);
        prevY = y, prevM = m, prevD = d;
    }
}

TEST(DateEncoding, InvalidArgumentsRaise) {
    int bad[][3] = {{2023, 2, 29}, {0, 1, 1},    {10000, 1, 1}, {2024, 13, 1},
                    {2024, 4, 31}, {2024, 0, 1}, {2024, 1, 0}};
    for (auto& b : bad) {
        TDateTime d = 5;
        EXPECT_FALSE(TryEncodeDate(b[0], b[1], b[2], d));
        EXPECT_EQ(d, 5);
        try {
            EncodeDate(b[0], b[1], b[2]);
            ADD_FAILURE();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
    int badTimes[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (auto& t : badTimes) {
        try {
            EncodeTime(t[0], t[1], t[2], t[3]);
            ADD_FAILURE();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to time encode");
        }
    }
}

TEST(TimeEncoding, MillisecondsAndDaysBefore1899) {
    int h, n, s, z, y, m, d;
    for (int ms : {0, 1, 999, 43200000, 86399999}) {
        TDateTime t = EncodeTime(ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
        DecodeTime(t, h, n, s, z);
        EXPECT_EQ(((h * 60 + n) * 60 + s) * 1000 + z, ms);
    }
    // Before 1899-12-30 the whole part counts back, the fraction forward.
    TDateTime early = ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0));
    EXPECT_EQ(early, -1.25);
    DecodeDate(early, y, m, d);
    DecodeTime(early, h, n, s, z);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(ComposeDateTime(EncodeDate(2024, 1, 1), 0.5), 45292.5);
    // A time a hair before midnight rounds to the next day's midnight, consistently in both halves.
    TDateTime almost = EncodeDate(2024, 2, 28) + 0.9999999999;
    DecodeDate(almost, y, m, d);
    DecodeTime(almost, h, n, s, z);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_EQ(h + n + s + z, 0);
    // Values outside the calendar decode to zeros instead of garbage.
    for (double v : {std::numeric_limits<double>::quiet_NaN(), 1e300, -1e9}) {
        DecodeDate(v, y, m, d);
        EXPECT_EQ(y + m + d, 0) << v;
        EXPECT_EQ(DayOfWeek(v), 0);
    }
}

namespace {
TDateTime Sample() {
    return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
}
} // namespace

TEST(FormatDateTime, Specifiers) {
    TFormatSettings fs;
    struct Case {
        const char* fmt;
        const char* out;
    } cases[] = {
        {"yymmdd_hhmmss", "240305_140709"},
        {"yyyy-mm-dd hh:nn:ss.zzz", "2024-03-05 14:07:09.045"},
        {"d/m/yy", "5/3/24"},
        {"y", "24"},
        {"ddd dddd", "Tue Tuesday"},
        {"mmm mmmm", "Mar March"},
        {"MMM", "Mar"},
        {"mm", "03"},
        {"h:n:s", "14:7:9"},
        {"hh:mm", "14:07"},
        {"h 'x' m", "14 x 7"},
        {"hh:nn am/pm", "02:07 pm"},
        {"h AM/PM", "2 PM"},
        {"h a/p", "2 p"},
        {"h ampm", "2 PM"},
        {"z", "45"},
        {"c", "3/5/2024 14:07:09"},
        {"", "3/5/2024 14:07:09"},
        {"ddddd", "3/5/2024"},
        {"dddddd", "Tuesday, March 5, 2024"},
        {"t", "14:07"},
        {"tt", "14:07:09"},
        {"'day' d", "day 5"},
        {"\"h\"h", "h14"},
        {"'open", "open"},
        {"x#!", "x#!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.fmt, Sample(), fs), c.out) << c.fmt;
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5), fs), "3/5/2024");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(0, 30, 0, 0), fs), "12:30 am");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(12, 30, 0, 0), fs), "12:30 pm");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", -1.25, fs), "29/12/1899");
}

TEST(FormatDateTime, LocaleSeparatorsNamesAndNesting) {
    TFormatSettings fs;
    fs.DateSeparator = '.';
    fs.TimeSeparator = '.';
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.LongMonthNames[2] = "M\xC3\xA4rz";
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", Sample(), fs), "05.03.2024 14.07");
    EXPECT_EQ(FormatDateTime("d. mmmm", Sample(), fs), "5. M\xC3\xA4rz");
    EXPECT_EQ(DateToStr(Sample(), fs), "05.03.2024");
    EXPECT_EQ(TimeToStr(Sample(), fs), "14.07.09");
    EXPECT_EQ(DateTimeToStr(Sample(), fs), "05.03.2024 14.07.09");
    // A format that names itself stops instead of recursing forever.
    fs.ShortDateFormat = "c";
    EXPECT_NO_THROW(FormatDateTime("c", Sample(), fs));
    TScopedFormatSettings scope(fs);
    EXPECT_EQ(TimeToStr(Sample()), "14.07.09");
}

class DateReading : public ::testing::Test {
protected:
    TFakeClock FClock{0, EncodeDate(2024, 6, 15)};
    TScopedClock FScope{FClock};
    TFormatSettings FUs;
};

TEST_F(DateReading, Dates) {
    struct Case {
        const char* in;
        int y, m, d;
    } cases[] = {
        {"3/5/2024", 2024, 3, 5},   {" 3/5/24 ", 2024, 3, 5}, {"3 / 5 / 2024", 2024, 3, 5},
        {"3/5/74", 1974, 3, 5},     {"3/5/73", 2073, 3, 5},   {"3/5", 2024, 3, 5},
        {"12/31/0099", 99, 12, 31},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToDate(c.in, FUs), EncodeDate(c.y, c.m, c.d)) << c.in;
    TFormatSettings de = FUs;
    de.DateSeparator = '.';
    de.ShortDateFormat = "dd/mm/yyyy";
    EXPECT_EQ(StrToDate("05.03.2024", de), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate("05.03.", de), EncodeDate(2024, 3, 5));
    TFormatSettings iso = FUs;
    iso.DateSeparator = '-';
    iso.ShortDateFormat = "yyyy/mm/dd";
    EXPECT_EQ(StrToDate("2024-03-05", iso), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(DateToStr(Sample(), iso), iso), EncodeDate(2024, 3, 5));

    for (const char* s : {"", "13/5/2024", "2/30/2024", "3/5/2024x", "3", "3/", "/5/2024", "3-5-2024",
                          "a/b/c", "3/5/99999999999"}) {
        TDateTime v = 7;
        EXPECT_FALSE(TryStrToDate(s, v, FUs)) << s;
        EXPECT_EQ(v, 7);
    }
    try {
        StrToDate("x", FUs);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid date");
    }
}

TEST_F(DateReading, TimesAndDateTimes) {
    struct Case {
        const char* in;
        int h, n, s, z;
    } cases[] = {
        {"14:07:09", 14, 7, 9, 0}, {"2:07 PM", 14, 7, 0, 0}, {"12:00 AM", 0, 0, 0, 0},
        {"12:00 pm", 12, 0, 0, 0}, {"2 PM", 14, 0, 0, 0},    {"1:02:03.5", 1, 2, 3, 500},
        {" 0:00 ", 0, 0, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToTime(c.in, FUs), EncodeTime(c.h, c.n, c.s, c.z)) << c.in;
    for (const char* s : {"25:00", "14", "13:00 PM", "1:60", "1:", "1:2:3.4567", "", "pm"})
        EXPECT_THROW(StrToTime(s, FUs), EConvertError) << s;

    EXPECT_EQ(StrToDateTime("3/5/2024 14:07:09", FUs), EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    EXPECT_EQ(StrToDateTime("3/5/2024", FUs), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDateTime("14:07", FUs), EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToDateTime("12/29/1899 06:00", FUs), -1.25);
    TDateTime sample = std::round(Sample() * SecsPerDay) / SecsPerDay; // no milliseconds
    EXPECT_NEAR(StrToDateTime(DateTimeToStr(sample, FUs), FUs), sample, 1e-9);
    try {
        StrToDateTime("3/5/2024 xx", FUs);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'3/5/2024 xx' is not a valid date and time");
    }
}

TEST_F(DateReading, RandomInputNeverCrashes) {
    std::mt19937 rng(5);
    const std::string alphabet = "0123456789/: .apmAPMdmyhnsztc'\"";
    std::uniform_int_distribution<size_t> len(0, 14), pick(0, alphabet.size() - 1);
    std::uniform_real_distribution<double> when(-800000, 3000000);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        for (size_t n = len(rng); n > 0; --n)
            s += alphabet[pick(rng)];
        TDateTime v;
        (void)TryStrToDateTime(s, v, FUs);
        (void)FormatDateTime(s, when(rng), FUs);
    }
}
