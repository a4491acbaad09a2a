#include "platform/rtl/Locale.h"

#include "platform/rtl/StringUtils.h"

#include <langinfo.h>
#include <locale.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace plat {

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

void LoadFormatSettingsFromEnvironment() {
    FormatSettings() = FormatSettingsFromLocale();
}

TScopedFormatSettings::TScopedFormatSettings() : FSaved(FormatSettings()) {}

TScopedFormatSettings::TScopedFormatSettings(const TFormatSettings& replacement) : FSaved(FormatSettings()) {
    FormatSettings() = replacement;
}

TScopedFormatSettings::~TScopedFormatSettings() {
    FormatSettings() = FSaved;
}

namespace {

// The locale name the C library would pick for one category.
std::string EnvironmentLocaleName(const char* categoryVariable) {
    for (const char* var : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v)
            return v;
    }
    return {};
}

bool IsPlainCLocale(const std::string& name) {
    return name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

// A locale object for one category, or null when the defaults apply.
class TCategoryLocale {
public:
    TCategoryLocale(int mask, const char* categoryVariable, const std::string& explicitName) {
        std::string name = explicitName.empty() ? EnvironmentLocaleName(categoryVariable) : explicitName;
        if (!IsPlainCLocale(name))
            FLocale = newlocale(mask, name.c_str(), nullptr);
    }
    ~TCategoryLocale() {
        if (FLocale)
            freelocale(FLocale);
    }
    TCategoryLocale(const TCategoryLocale&) = delete;
    TCategoryLocale& operator=(const TCategoryLocale&) = delete;
    locale_t Get() const { return FLocale; }

private:
    locale_t FLocale = nullptr;
};

// Texts from the C library come in the locale's own character set.
std::string ToUtf8(const char* text, const char* codeset) {
    std::string s = text ? text : "";
    if (IsValidUtf8(s))
        return s;
    if (codeset && (strcasecmp(codeset, "ISO-8859-1") == 0 || strcasecmp(codeset, "ISO8859-1") == 0))
        return Latin1ToUtf8(s);
    return {};
}

// A separator the locale spells as one or more bytes, as the single byte we keep.
char SeparatorByte(const char* text, char fallback, bool blankForOthers) {
    if (!text || !*text)
        return fallback;
    auto c = static_cast<unsigned char>(text[0]);
    if (text[1] == '\0' && c < 0x80)
        return static_cast<char>(c);
    // No-break spaces and the like: a blank reads and looks closest.
    return blankForOthers ? ' ' : fallback;
}

// Turns a strftime pattern into the FormatDateTime language. The first separator met between fields
// becomes `separator` and is written as `placeholder` ('/' or ':').
std::string ConvertStrftime(const std::string& pattern, char& separator, char placeholder) {
    std::string out;
    std::string literal;
    auto flushLiteral = [&] {
        if (literal.empty())
            return;
        bool hasLetter = false;
        for (char c : literal)
            hasLetter |= (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (hasLetter)
            out += '"' + literal + '"';
        else
            out += literal;
        literal.clear();
    };
    auto field = [&](const char* f) {
        flushLiteral();
        out += f;
    };
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c != '%') {
            bool sepCandidate = !out.empty() && c != ' ' && static_cast<unsigned char>(c) < 0x80 &&
                                !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
            if (sepCandidate && (separator == '\0' || c == separator) && literal.empty()) {
                separator = c;
                out += placeholder;
            } else {
                literal += c;
            }
            continue;
        }
        if (++i >= pattern.size())
            break;
        c = pattern[i];
        if ((c == 'E' || c == 'O') && i + 1 < pattern.size())
            c = pattern[++i];
        switch (c) {
        case 'd':
            field("dd");
            break;
        case 'e':
            field("d");
            break;
        case 'm':
            field("mm");
            break;
        case 'y':
            field("yy");
            break;
        case 'Y':
            field("yyyy");
            break;
        case 'b':
        case 'h':
            field("mmm");
            break;
        case 'B':
            field("mmmm");
            break;
        case 'a':
            field("ddd");
            break;
        case 'A':
            field("dddd");
            break;
        case 'H':
        case 'I':
            field("hh");
            break;
        case 'k':
        case 'l':
            field("h");
            break;
        case 'M':
            field("nn");
            break;
        case 'S':
            field("ss");
            break;
        case 'p':
        case 'P':
            field("ampm");
            break;
        case 'T':
            field(ConvertStrftime("%H:%M:%S", separator, placeholder).c_str());
            break;
        case 'R':
            field(ConvertStrftime("%H:%M", separator, placeholder).c_str());
            break;
        case 'r':
            field(ConvertStrftime("%I:%M:%S %p", separator, placeholder).c_str());
            break;
        case 'D':
            field(ConvertStrftime("%m/%d/%y", separator, placeholder).c_str());
            break;
        case 'F':
            field(ConvertStrftime("%Y-%m-%d", separator, placeholder).c_str());
            break;
        case 'n':
        case 't':
            literal += ' ';
            break;
        case '%':
            literal += '%';
            break;
        default:
            break; // time zones and the like have no counterpart
        }
    }
    flushLiteral();
    // Fields dropped above may leave blanks at the ends.
    return Trim(out);
}

void ReadNumbers(TFormatSettings& fs, const std::string& name) {
    TCategoryLocale numeric(LC_NUMERIC_MASK, "LC_NUMERIC", name);
    if (numeric.Get()) {
        locale_t old = uselocale(numeric.Get());
        const lconv* lc = localeconv();
        fs.DecimalSeparator = SeparatorByte(lc->decimal_point, '.', false);
        char fallbackThousands = fs.DecimalSeparator == ',' ? '.' : ',';
        fs.ThousandSeparator = SeparatorByte(lc->thousands_sep, fallbackThousands, true);
        uselocale(old);
        fs.ListSeparator = fs.DecimalSeparator == ',' ? ';' : ',';
    }
    TCategoryLocale monetary(LC_MONETARY_MASK, "LC_MONETARY", name);
    if (monetary.Get()) {
        locale_t old = uselocale(monetary.Get());
        const lconv* lc = localeconv();
        std::string symbol = ToUtf8(lc->currency_symbol, nl_langinfo_l(CODESET, monetary.Get()));
        if (!symbol.empty())
            fs.CurrencyString = symbol;
        if (lc->frac_digits != CHAR_MAX)
            fs.CurrencyDecimals = lc->frac_digits;
        if (lc->p_cs_precedes != CHAR_MAX && lc->p_sep_by_space != CHAR_MAX) {
            bool before = lc->p_cs_precedes, space = lc->p_sep_by_space;
            fs.CurrencyFormat = before ? (space ? 2 : 0) : (space ? 3 : 1);
        }
        if (lc->n_cs_precedes != CHAR_MAX && lc->n_sep_by_space != CHAR_MAX && lc->n_sign_posn != CHAR_MAX) {
            bool before = lc->n_cs_precedes, space = lc->n_sep_by_space;
            switch (lc->n_sign_posn) {
            case 0:
                fs.NegCurrFormat = before ? (space ? 14 : 0) : (space ? 15 : 4);
                break;
            case 1:
            case 3:
                fs.NegCurrFormat = before ? (space ? 9 : 1) : (space ? 8 : (lc->n_sign_posn == 1 ? 5 : 6));
                break;
            case 2:
                fs.NegCurrFormat = before ? (space ? 11 : 3) : (space ? 10 : 7);
                break;
            case 4:
                fs.NegCurrFormat = before ? (space ? 12 : 2) : (space ? 13 : 7);
                break;
            default:
                break;
            }
        }
        uselocale(old);
    }
}

void ReadTimes(TFormatSettings& fs, const std::string& name) {
    TCategoryLocale time(LC_TIME_MASK, "LC_TIME", name);
    locale_t l = time.Get();
    if (!l)
        return;
    const char* codeset = nl_langinfo_l(CODESET, l);
    auto text = [&](nl_item item) { return ToUtf8(nl_langinfo_l(item, l), codeset); };
    auto setIfAny = [](std::string& field, std::string value) {
        if (!value.empty())
            field = std::move(value);
    };
    for (int i = 0; i < 12; ++i) {
        setIfAny(fs.ShortMonthNames[i], text(static_cast<nl_item>(ABMON_1 + i)));
        setIfAny(fs.LongMonthNames[i], text(static_cast<nl_item>(MON_1 + i)));
    }
    for (int i = 0; i < 7; ++i) {
        setIfAny(fs.ShortDayNames[i], text(static_cast<nl_item>(ABDAY_1 + i)));
        setIfAny(fs.LongDayNames[i], text(static_cast<nl_item>(DAY_1 + i)));
    }
    // Locales with a 24-hour clock have no words for the halves of the day; that is kept.
    fs.TimeAMString = text(AM_STR);
    fs.TimePMString = text(PM_STR);

    char dateSep = '\0';
    std::string shortDate = ConvertStrftime(text(D_FMT), dateSep, '/');
    if (!shortDate.empty()) {
        fs.ShortDateFormat = shortDate;
        fs.DateSeparator = dateSep ? dateSep : '/';
        size_t d = shortDate.find('d'), m = shortDate.find('m'), y = shortDate.find('y');
        if (y < d && y < m)
            fs.LongDateFormat = "dddd, yyyy mmmm d";
        else if (d < m)
            fs.LongDateFormat = "dddd, d mmmm yyyy";
        else
            fs.LongDateFormat = "dddd, mmmm d, yyyy";
    }
    char timeSep = '\0';
    std::string longTime = ConvertStrftime(text(T_FMT), timeSep, ':');
    if (!longTime.empty()) {
        fs.LongTimeFormat = longTime;
        fs.TimeSeparator = timeSep ? timeSep : ':';
        std::string shortTime = longTime;
        size_t s = shortTime.find(":ss");
        if (s != std::string::npos)
            shortTime.erase(s, 3);
        fs.ShortTimeFormat = shortTime;
    }
}

} // namespace

TFormatSettings FormatSettingsFromLocale(const std::string& localeName) {
    TFormatSettings fs;
    ReadNumbers(fs, localeName);
    ReadTimes(fs, localeName);
    return fs;
}

} // namespace plat
