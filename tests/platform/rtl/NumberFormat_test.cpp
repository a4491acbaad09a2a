#include "platform/rtl/Exception.h"
#include "platform/rtl/NumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

using namespace plat;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TFormatSettings PointLocale() {
    return TFormatSettings{};
}

TFormatSettings CommaLocale() {
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    return fs;
}

} // namespace

TEST(FloatToStr, GeneralFormWithFifteenDigits) {
    struct Case {
        double in;
        const char* out;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1.5, "-1.5"},
        {100, "100"},
        {123.456, "123.456"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {999999999999999.0, "999999999999999"},
        {-999999999999999.0, "-999999999999999"},
        {-4096, "-4096"},
        {std::nextafter(100.0, 0.0), "100"}, // 16 digits in its shortest form, rounded to 15
        {9.5367431640625e-07, "9.5367431640625E-7"},
        {1e22, "1E22"},
        {DBL_MIN, "2.2250738585072E-308"},
        {999999999999999.9, "1E15"}, // rounds up into the exponent form
        {1e15, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1e20, "1E20"},
        {1e-5, "0.00001"},
        {-0.000012345, "-0.000012345"},
        {1e-6, "1E-6"},
        {1.5e-7, "1.5E-7"},
        {4.9406564584124654e-324, "4.94065645841247E-324"},
        {DBL_MAX, "1.79769313486232E308"},
        {kNaN, "NAN"},
        {kInf, "INF"},
        {-kInf, "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.in, PointLocale()), c.out) << c.in;
    EXPECT_EQ(FloatToStr(1.5, CommaLocale()), "1,5");
    EXPECT_EQ(FloatToStr(-1.25e-7, CommaLocale()), "-1,25E-7");
}

TEST(FloatToStr, UsesCurrentLocaleAndReadsBack) {
    TScopedFormatSettings scope(CommaLocale());
    EXPECT_EQ(FloatToStr(2.5), "2,5");
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mant(-10, 10);
    std::uniform_int_distribution<int> exp10(-300, 300);
    for (int i = 0; i < 2000; ++i) {
        double v = mant(rng) * std::pow(10.0, exp10(rng));
        double back = StrToFloat(FloatToStr(v));
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << FloatToStr(v);
    }
}

TEST(FloatToStrF, EachFormat) {
    TFormatSettings fs;
    struct Case {
        double in;
        TFloatFormat format;
        int precision, digits;
        const char* out;
    } cases[] = {
        {1234.5, ffGeneral, 15, 0, "1234.5"},
        {1234.5, ffGeneral, 3, 0, "1.23E3"},
        {1e-7, ffGeneral, 15, 3, "1E-007"},
        {1234.5, ffExponent, 4, 2, "1.235E+03"},
        {-0.00012, ffExponent, 3, 0, "-1.20E-4"},
        {0, ffExponent, 3, 2, "0.00E+00"},
        {1234.5, ffFixed, 15, 2, "1234.50"},
        {-0.004, ffFixed, 15, 2, "0.00"},
        {0.5, ffFixed, 15, 0, "1"},
        {1e20, ffFixed, 15, 2, "1.00000000000000E+020"},
        {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
        {-999.999, ffNumber, 15, 2, "-1,000.00"},
        {1234.5, ffCurrency, 15, 2, "$1,234.50"},
        {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
        {kNaN, ffFixed, 15, 2, "NAN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.in, c.format, c.precision, c.digits, fs), c.out) << c.in;
    fs.CurrencyString = "EUR";
    fs.CurrencyFormat = 3;
    fs.NegCurrFormat = 8;
    EXPECT_EQ(FloatToStrF(-5, ffCurrency, 15, 2, fs), "-5.00 EUR");
    EXPECT_EQ(FloatToStrF(5, ffCurrency, 15, 0, fs), "5 EUR");
}

TEST(FormatFloat, Masks) {
    struct Case {
        const char* mask;
        double in;
        const char* out;
    } cases[] = {
        // Rounding is half away from zero on the decimal digits the value shows.
        {"0", 0.5, "1"},
        {"0", 1.5, "2"},
        {"0", 2.5, "3"},
        {"0", -0.5, "-1"},
        {"0", -2.5, "-3"},
        {"0.00", 2.675, "2.68"},
        {"0.0", 9.96, "10.0"},
        {"0.###", 1.0005, "1.001"},
        // A negative value that rounds to zero shows no minus sign.
        {"0", -0.4, "0"},
        {"0.0", -0.04, "0.0"},
        {"#,##0.###", -0.0001, "0"},
        // Digit placeholders.
        {"00000", 42, "00042"},
        {"#.##", 0, ""},
        {"#.##", 0.5, ".5"},
        {"0.#", 3, "3"},
        {"0.#", 3.25, "3.3"},
        {"0.0#", 3, "3.0"},
        {"0", 1e20, "100000000000000000000"},
        {"00-00", 1234, "12-34"},
        {"0-0", 98765, "9876-5"},
        {".00", 12.5, "12.50"},
        // Thousands.
        {"#,##0.###", 1234.5, "1,234.5"},
        {"#,##0.###", 0, "0"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", -1234567, "-1,234,567"},
        {"0,000", 12, "0,012"},
        // Sections.
        {"#,##0.00;(#,##0.00)", -1234.5, "(1,234.50)"},
        {"#,##0.00;(#,##0.00)", 1234.5, "1,234.50"},
        {"#,##0.00;(#,##0.00)", -0.001, "(0.00)"},
        {"0;-0;'zero'", 0, "zero"},
        {"0;-0;'zero'", -0.0, "zero"},
        {"0;;'zero'", -5, "-5"},
        {"0;(0)", 0, "0"},
        {";(0)", 5, "5"},
        // Scientific.
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.00E+00", 0.00012345, "1.23E-04"},
        {"0.00E+00", -1234.5, "-1.23E+03"},
        {"0.00E+00", 9.999, "1.00E+01"},
        {"0.00E+00", 0, "0.00E+00"},
        {"0.0E-0", 12345, "1.2E4"},
        {"0.0e-0", 0.012345, "1.2e-2"},
        {"000E-0", 1234, "123E1"},
        {"00e-0", 1234, "12e2"},
        {"#.0 \"x10\" E+0", 1234, "1.2 x10 E+3"},
        // Unquoted, the 0 of "x10" is a digit placeholder like any other.
        {"#.# x10E-#", 1234, "1.2 x13E3"},
        {"#.# x10E-#", 0.00012, "1.2 x10E-4"},
        {"0E+0000", 5, "5E+0000"},
        // Literals.
        {"'Value: '0.0", 5, "Value: 5.0"},
        {"\"x\"0", -5, "x-5"},
        {"0 'kHz'", 2, "2 kHz"},
        {"0 \"a;b\"", 2, "2 a;b"},
        {"0 'E+0'", 2, "2 E+0"},
        {"0 'open", 2, "2 open"},
        {"[0]", 7, "[7]"},
        // Everything else.
        {"", 1.5, "1.5"},
        {"0", kNaN, "NAN"},
        {"0", -kInf, "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.mask, c.in, PointLocale()), c.out) << '"' << c.mask << "\" " << c.in;
}

TEST(FormatFloat, LocaleSeparators) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, CommaLocale()), "1.234.567,89");
    EXPECT_EQ(FormatFloat("0.00E+00", 1234.5, CommaLocale()), "1,23E+03");
    TScopedFormatSettings scope(CommaLocale());
    EXPECT_EQ(FormatFloat("0.0", 2.25), "2,3");
}

TEST(Format, Specifiers) {
    TFormatSettings fs;
    struct Case {
        const char* fmt;
        std::vector<TVarRec> args;
        const char* out;
    } cases[] = {
        {"%d", {42}, "42"},
        {"%D", {42}, "42"},
        {"%5d|", {42}, "   42|"},
        {"%-5d|", {42}, "42   |"},
        {"%.3d", {-7}, "-007"},
        {"%d", {int64_t(-9223372036854775807LL - 1)}, "-9223372036854775808"},
        {"%u", {-1}, "4294967295"},
        {"%u", {int64_t(-1)}, "18446744073709551615"},
        {"V%u.%2.2u", {1, 5}, "V1.05"},
        {"%x", {255}, "FF"},
        {"%.4x", {255}, "00FF"},
        {"%x", {-1}, "FFFFFFFF"},
        {"($%x)", {int64_t(-2)}, "($FFFFFFFFFFFFFFFE)"},
        {"%s and %s", {"a", std::string("b")}, "a and b"},
        {"%s", {'c'}, "c"},
        {"%.2s", {"abc"}, "ab"},
        {"%.1s", {"\xC3\xA9t\xC3\xA9"}, "\xC3\xA9"},
        {"%4s|%-4s|", {"\xC3\xA9", "ab"}, "   \xC3\xA9|ab  |"},
        {"%f", {1.5}, "1.50"},
        {"Gain: %.4f V/V", {6 / (42.0 / 63 * 5 + 1)}, "Gain: 1.3846 V/V"},
        {"%.1f mV", {-12.25}, "-12.3 mV"},
        {"%.0f", {2.5}, "3"},
        {"%8.2f|", {3.14159}, "    3.14|"},
        {"%e", {1234.5}, "1.23450000000000E+003"},
        {"%.3e", {-1234.5}, "-1.23E+003"},
        {"%g", {0.5}, "0.5"},
        {"%g", {1234567.0}, "1234567"},
        {"%g", {0.000001}, "1E-006"},
        {"%n", {1234567.891}, "1,234,567.89"},
        {"%.0n", {1234.5}, "1,235"},
        {"%m", {1234.5}, "$1,234.50"},
        {"%m", {-1234.5}, "($1,234.50)"},
        {"%p", {nullptr}, "0000000000000000"},
        {"100%%", {}, "100%"},
        {"%1:s %0:s %s", {"a", "b"}, "b a b"},
        {"%*d|%-*d|", {4, 7, 3, 8}, "   7|8  |"},
        {"%.*f", {1, 2.25}, "2.3"},
        {"no args", {}, "no args"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.fmt, c.args, fs), c.out) << c.fmt;
    EXPECT_EQ(Format("%.2f", {1.5}, CommaLocale()), "1,50");
    EXPECT_EQ(Format("%n", {1234.5}, CommaLocale()), "1.234,50");
    EXPECT_EQ(Format("%d of %s", {3, "x"}), "3 of x");
}

TEST(Format, BadSpecifiersRaise) {
    struct Case {
        const char* fmt;
        std::vector<TVarRec> args;
    } cases[] = {
        {"%d", {1.5}},  {"%f", {1}},         {"%s", {1}},    {"%x", {"a"}}, {"%p", {1}}, {"%d", {}},
        {"%d %d", {1}}, {"%", {}},           {"abc %", {1}}, {"%y", {1}},   {"%5", {1}}, {"%*d", {"x", 1}},
        {"%3:d", {1}},  {"%99999999d", {1}}, {"%.", {1.0}},  {"%-", {1}},
    };
    for (const auto& c : cases) {
        try {
            Format(c.fmt, c.args);
            ADD_FAILURE() << "no error for " << c.fmt;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(),
                      std::string("Format '") + c.fmt + "' invalid or incompatible with argument");
        }
    }
}

TEST(StrToFloat, AcceptsTheNumberGrammarOnly) {
    struct Good {
        const char* in;
        double out;
    } good[] = {
        {"1.5", 1.5},
        {" 1.5 ", 1.5},
        {"+2", 2},
        {"-2.5e3", -2500},
        {"1E-3", 0.001},
        {".5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-.", 0},
        {"00012", 12},
        {"-123456789012345", -123456789012345.0},
        {"12345678901234567", 12345678901234567.0},
        {"1e308", 1e308},
        {"1e-400", 0},
        {"1E+2", 100},
        {"4.94065645841247E-324", 4.9406564584124654e-324},
        {"1000000000000000000000e-330", 1e-309},
    };
    for (const auto& c : good) {
        double v = -99;
        EXPECT_TRUE(TryStrToFloat(c.in, v, PointLocale())) << c.in;
        EXPECT_EQ(v, c.out) << c.in;
    }
    const char* bad[] = {"",        " ",
                         "abc",     "1.5x",
                         "1,5",     "1.2.3",
                         "1e",      "1e+",
                         "+-1",     "--1",
                         "\t1",     "1\t",
                         "1e400",   "-1e400",
                         "INF",     "NAN",
                         "1 000",   "- 1",
                         "e5",      "0x10",
                         "1,000.5", "0.000000000000000000000000000000000000000000001e400" /* 1e355 */};
    for (const char* s : bad) {
        double v = 42;
        EXPECT_FALSE(TryStrToFloat(s, v, PointLocale())) << '"' << s << '"';
        EXPECT_EQ(v, 42) << "a failed read leaves the value alone: " << s;
    }
    double v;
    EXPECT_TRUE(TryStrToFloat("2,5", v, CommaLocale()));
    EXPECT_EQ(v, 2.5);
    EXPECT_FALSE(TryStrToFloat("2.5", v, CommaLocale()));
    EXPECT_TRUE(TryStrToFloat("-0", v, PointLocale()));
    EXPECT_TRUE(std::signbit(v));
    EXPECT_FALSE(TryStrToFloat("-2.5e1", v, CommaLocale()));
    EXPECT_TRUE(TryStrToFloat(" -2e3 ", v, CommaLocale()));
    EXPECT_EQ(v, -2000);
}

TEST(StrToFloat, RaisesOrDefaults) {
    try {
        StrToFloat("abc");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(StrToFloatDef("x", 7.5), 7.5);
    TScopedFormatSettings scope(CommaLocale());
    EXPECT_EQ(StrToFloat(" 2,5"), 2.5);
    EXPECT_EQ(StrToFloatDef("2.5", -1), -1);
}

TEST(Val, ReportsWhereReadingStopped) {
    struct Case {
        const char* in;
        double value;
        int code;
    } cases[] = {
        {"1.5", 1.5, 0}, {"  7", 7, 0},  {"-2e2", -200, 0}, {"1,5", 0, 2},
        {"", 0, 1},      {"1.5 ", 0, 4}, {"x", 0, 1},       {"1e", 0, 3},
    };
    for (const auto& c : cases) {
        double v = -1;
        int code = -1;
        Val(c.in, v, code);
        EXPECT_EQ(code, c.code) << c.in;
        EXPECT_EQ(v, c.value) << c.in;
    }
    TScopedFormatSettings scope(CommaLocale());
    double v;
    int code;
    Val("0.25", v, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(v, 0.25);
}

TEST(NumberText, RandomInputNeverCrashes) {
    std::mt19937 rng(12345);
    const std::string alphabet = "0#.,;'\"Ee+-%*:dusxfgnmp 123456789$-xX\t";
    std::uniform_int_distribution<size_t> len(0, 12), pick(0, alphabet.size() - 1);
    std::uniform_real_distribution<double> val(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        for (size_t n = len(rng); n > 0; --n)
            s += alphabet[pick(rng)];
        double v = val(rng);
        (void)FormatFloat(s, v);
        double out;
        (void)TryStrToFloat(s, out);
        int code;
        Val(s, out, code);
        try {
            (void)Format(s, {3, v, "txt"});
        } catch (const EConvertError&) {
        }
    }
}
