#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"

#include <gtest/gtest.h>

#include <locale.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "ExternalTool.h"
#include "TempFolder.h"

using namespace plat;

namespace {

void ExpectSame(const TFormatSettings& a, const TFormatSettings& b, const std::string& what) {
    EXPECT_EQ(a.DecimalSeparator, b.DecimalSeparator) << what;
    EXPECT_EQ(a.ThousandSeparator, b.ThousandSeparator) << what;
    EXPECT_EQ(a.DateSeparator, b.DateSeparator) << what;
    EXPECT_EQ(a.TimeSeparator, b.TimeSeparator) << what;
    EXPECT_EQ(a.ShortDateFormat, b.ShortDateFormat) << what;
    EXPECT_EQ(a.LongDateFormat, b.LongDateFormat) << what;
    EXPECT_EQ(a.ShortTimeFormat, b.ShortTimeFormat) << what;
    EXPECT_EQ(a.LongTimeFormat, b.LongTimeFormat) << what;
    EXPECT_EQ(a.TimeAMString, b.TimeAMString) << what;
    EXPECT_EQ(a.LongMonthNames, b.LongMonthNames) << what;
    EXPECT_EQ(a.ShortDayNames, b.ShortDayNames) << what;
    EXPECT_EQ(a.CurrencyString, b.CurrencyString) << what;
    EXPECT_EQ(a.CurrencyFormat, b.CurrencyFormat) << what;
    EXPECT_EQ(a.NegCurrFormat, b.NegCurrFormat) << what;
}

// Sets (or clears) an environment variable for one scope.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TScopedEnv() {
        if (FOld)
            setenv(FName, FOld->c_str(), 1);
        else
            unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

} // namespace

TEST(Locale, DefaultsAndPlainLocales) {
    TFormatSettings d;
    EXPECT_EQ(d.DecimalSeparator, '.');
    EXPECT_EQ(d.ThousandSeparator, ',');
    EXPECT_EQ(d.ShortDateFormat, "m/d/yyyy");
    EXPECT_EQ(d.LongTimeFormat, "hh:nn:ss");
    for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"})
        ExpectSame(FormatSettingsFromLocale(name), d, name);
    TScopedEnv all("LC_ALL", "C");
    ExpectSame(FormatSettingsFromLocale(), d, "LC_ALL=C");
}

TEST(Locale, ScopedSettingsRestore) {
    const TFormatSettings before = FormatSettings();
    {
        TScopedFormatSettings scope;
        FormatSettings().DecimalSeparator = ',';
        EXPECT_EQ(FloatToStr(0.5), "0,5");
    }
    ExpectSame(FormatSettings(), before, "after scope");
    EXPECT_EQ(FloatToStr(0.5), "0.5");
}

namespace {

// A locale compiled into the folder loads: localedef can fail half-way (without the character maps of
// the locales package it still leaves the locale's folder behind).
bool LocaleLoads(const std::filesystem::path& dir, const char* name) {
    TScopedEnv path("LOCPATH", dir.c_str());
    locale_t loaded = ::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (!loaded)
        return false;
    ::freelocale(loaded);
    return true;
}

using LocaleFiles = TempFolderTest;

} // namespace

// Real locales, compiled for the test into a private folder so no system set-up is needed.
TEST_F(LocaleFiles, ReadsRealLocalesFromTheEnvironment) {
    const std::filesystem::path dir = FFolder;
    std::string cmd = "(localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() +
                      "' & localedef -i en_US -f UTF-8 '" + (dir / "en_US.UTF-8").string() +
                      "' & wait) >/dev/null 2>&1";
    (void)std::system(cmd.c_str());
    if (!LocaleLoads(dir, "de_DE.UTF-8") || !LocaleLoads(dir, "en_US.UTF-8"))
        SKIP_WITHOUT_TOOL("localedef or the locale sources (package locales) are not available");
    TScopedEnv path("LOCPATH", dir.c_str());
    TScopedEnv all("LC_ALL", nullptr);
    TScopedEnv time("LC_TIME", nullptr);
    TScopedEnv monetary("LC_MONETARY", nullptr);
    TScopedEnv lang("LANG", "de_DE.UTF-8");
    TScopedEnv numeric("LC_NUMERIC", nullptr);

    TFormatSettings de = FormatSettingsFromLocale();
    EXPECT_EQ(de.DecimalSeparator, ',');
    EXPECT_EQ(de.ThousandSeparator, '.');
    EXPECT_EQ(de.DateSeparator, '.');
    EXPECT_EQ(de.ShortDateFormat, "dd/mm/yyyy");
    EXPECT_EQ(de.LongDateFormat, "dddd, d mmmm yyyy");
    EXPECT_EQ(de.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(de.ShortTimeFormat, "hh:nn");
    EXPECT_EQ(de.LongMonthNames[2], "M\xC3\xA4rz");
    EXPECT_EQ(de.ShortDayNames[0], "So");
    EXPECT_EQ(de.TimeAMString, "");
    EXPECT_EQ(de.CurrencyString, "\xE2\x82\xAC");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, de), "1.234,50");
    EXPECT_EQ(Format("%m", {-2.5}, de), "-2,50 \xE2\x82\xAC");
    TDateTime when = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    EXPECT_EQ(DateTimeToStr(when, de), "05.03.2024 14:07:09");
    EXPECT_EQ(StrToDateTime("05.03.2024 14:07:09", de), when);

    // Each category follows its own variable; the program's C locale stays as it was.
    TScopedEnv numbersOnly("LC_NUMERIC", "en_US.UTF-8");
    TScopedEnv timesUs("LC_TIME", "en_US.UTF-8");
    TFormatSettings mixed = FormatSettingsFromLocale();
    EXPECT_EQ(mixed.DecimalSeparator, '.');
    EXPECT_EQ(mixed.CurrencyString, "\xE2\x82\xAC");
    EXPECT_EQ(mixed.ShortDateFormat, "mm/dd/yyyy");
    EXPECT_EQ(mixed.LongTimeFormat, "hh:nn:ss ampm");
    EXPECT_EQ(mixed.ShortTimeFormat, "hh:nn ampm");
    EXPECT_EQ(TimeToStr(when, mixed), "02:07:09 PM");
    EXPECT_EQ(FormatSettingsFromLocale("de_DE.UTF-8").DecimalSeparator, ',');
    TScopedFormatSettings keep;
    LoadFormatSettingsFromEnvironment();
    EXPECT_EQ(FormatSettings().LongMonthNames[0], "January");
}
