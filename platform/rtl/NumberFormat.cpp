#include "platform/rtl/NumberFormat.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace plat {

namespace {

// A double never carries more than 15 reliable decimal digits; asking for more shows binary noise.
constexpr int kMaxPrecision = 15;
constexpr int kNoDecimals = 9999;
// Widths and precisions beyond this are mistakes, not layouts; refusing them keeps memory bounded.
constexpr int kMaxFieldWidth = 65535;

// A finite value as 0.d1d2d3… x 10^Exponent.
struct TDecimal {
    bool Negative = false;
    int Exponent = 0;
    std::string Digits; // no trailing zeros; empty for zero
    bool IsZero() const { return Digits.empty(); }
};

void StripTrailingZeros(std::string& digits) {
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

// Rounds half away from zero to `precision` significant digits and, unless kNoDecimals, to `decimals`
// digits after the decimal point.
void RoundDecimal(TDecimal& d, int precision, int decimals) {
    if (d.IsZero())
        return;
    long keep = precision;
    if (decimals != kNoDecimals)
        keep = std::min<long>(keep, static_cast<long>(d.Exponent) + decimals);
    if (keep < 0) {
        d.Digits.clear();
        return;
    }
    if (keep < static_cast<long>(d.Digits.size())) {
        bool up = d.Digits[static_cast<size_t>(keep)] >= '5';
        d.Digits.resize(static_cast<size_t>(keep));
        if (up) {
            long i = keep - 1;
            while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9')
                d.Digits[static_cast<size_t>(i--)] = '0';
            if (i < 0) {
                d.Digits.insert(d.Digits.begin(), '1');
                ++d.Exponent;
            } else {
                ++d.Digits[static_cast<size_t>(i)];
            }
        }
    }
    StripTrailingZeros(d.Digits);
}

TDecimal ToDecimal(double v, int precision, int decimals) {
    TDecimal d;
    d.Negative = std::signbit(v);
    double a = std::fabs(v);
    if (a == 0)
        return d;
    char buf[64];
    // The shortest text that reads back as the value is much cheaper to make than its 15-digit
    // rounding, and is that rounding whenever it has at most 15 digits: a normal double lies closer to
    // it than half a unit in the 15th digit. Subnormal values are too coarse for that.
    auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific); // "d.ddde+XX"
    std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    size_t e = text.find('e');
    if (a < std::numeric_limits<double>::min() || (e > 1 ? e - 1 : 1) > static_cast<size_t>(kMaxPrecision)) {
        res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, kMaxPrecision - 1);
        text = std::string_view(buf, static_cast<size_t>(res.ptr - buf)); // "d.dddddddddddddde+XX"
        e = text.find('e');
    }
    d.Digits += text[0];
    if (e > 1)
        d.Digits.append(text.substr(2, e - 2));
    int exp10 = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exp10);
    d.Exponent = exp10 + 1;
    StripTrailingZeros(d.Digits);
    RoundDecimal(d, std::clamp(precision, 1, kMaxPrecision), decimals);
    return d;
}

std::string ExponentDigits(int exp, int minDigits) {
    std::string s = IntToStr(exp < 0 ? -static_cast<int64_t>(exp) : exp);
    if (static_cast<int>(s.size()) < minDigits)
        s.insert(0, static_cast<size_t>(minDigits - static_cast<int>(s.size())), '0');
    return s;
}

std::string FormatGeneral(double v, int precision, int expDigits, const TFormatSettings& fs) {
    TDecimal d = ToDecimal(v, precision, kNoDecimals);
    if (d.IsZero())
        return "0";
    std::string out = d.Negative ? "-" : "";
    const int n = static_cast<int>(d.Digits.size());
    if (d.Exponent <= precision && d.Exponent >= -4) {
        if (d.Exponent <= 0) {
            out += '0';
            out += fs.DecimalSeparator;
            out.append(static_cast<size_t>(-d.Exponent), '0');
            out += d.Digits;
        } else if (d.Exponent >= n) {
            out += d.Digits;
            out.append(static_cast<size_t>(d.Exponent - n), '0');
        } else {
            out.append(d.Digits, 0, static_cast<size_t>(d.Exponent));
            out += fs.DecimalSeparator;
            out.append(d.Digits, static_cast<size_t>(d.Exponent));
        }
        return out;
    }
    out += d.Digits[0];
    if (n > 1) {
        out += fs.DecimalSeparator;
        out.append(d.Digits, 1);
    }
    int exp = d.Exponent - 1;
    out += 'E';
    if (exp < 0)
        out += '-';
    out += ExponentDigits(exp, expDigits);
    return out;
}

std::string FormatExponent(double v, int precision, int expDigits, const TFormatSettings& fs) {
    TDecimal d = ToDecimal(v, precision, kNoDecimals);
    std::string digits = d.Digits;
    digits.resize(static_cast<size_t>(precision), '0');
    int exp = d.IsZero() ? 0 : d.Exponent - 1;
    std::string out = d.Negative && !d.IsZero() ? "-" : "";
    out += digits[0];
    if (precision > 1) {
        out += fs.DecimalSeparator;
        out.append(digits, 1);
    }
    out += 'E';
    out += exp < 0 ? '-' : '+';
    out += ExponentDigits(exp, expDigits);
    return out;
}

// The whole-number digits of a rounded decimal ("" for values below 1).
std::string IntegerDigits(const TDecimal& d) {
    if (d.IsZero() || d.Exponent <= 0)
        return {};
    std::string s = d.Digits.substr(0, std::min(d.Digits.size(), static_cast<size_t>(d.Exponent)));
    s.append(static_cast<size_t>(d.Exponent) - s.size(), '0');
    return s;
}

// The digits after the decimal point, without trailing zeros.
std::string FractionDigits(const TDecimal& d) {
    if (d.IsZero())
        return {};
    if (d.Exponent >= 0)
        return static_cast<size_t>(d.Exponent) < d.Digits.size()
                   ? d.Digits.substr(static_cast<size_t>(d.Exponent))
                   : std::string();
    return std::string(static_cast<size_t>(-d.Exponent), '0') + d.Digits;
}

std::string GroupThousands(const std::string& digits, char separator) {
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        out += digits[i];
        size_t rest = digits.size() - 1 - i;
        if (rest > 0 && rest % 3 == 0)
            out += separator;
    }
    return out;
}

std::string ApplyCurrency(const std::string& body, bool negative, const TFormatSettings& fs) {
    static const char* const kPositive[] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const kNegative[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                            "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
    const char* pattern = negative ? kNegative[std::clamp(fs.NegCurrFormat, 0, 15)]
                                   : kPositive[std::clamp(fs.CurrencyFormat, 0, 3)];
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$')
            out += fs.CurrencyString;
        else if (*p == '1')
            out += body;
        else
            out += *p;
    }
    return out;
}

} // namespace

// --- Floats to text -------------------------------------------------------------------------------------

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& fs) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    // Up to 18 digits may be asked for; digits beyond the 15 a double holds come out as zeros.
    precision = std::clamp(precision, 1, 18);
    switch (format) {
    case ffGeneral:
        return FormatGeneral(value, std::min(precision, kMaxPrecision), std::clamp(digits, 0, 4), fs);
    case ffExponent:
        return FormatExponent(value, precision, std::clamp(digits, 0, 4), fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        digits = std::clamp(digits, 0, 18);
        TDecimal d = ToDecimal(value, precision, digits);
        if (d.Exponent > precision && !d.IsZero())
            return FormatExponent(value, precision, 3, fs);
        std::string integer = IntegerDigits(d);
        if (integer.empty())
            integer = "0";
        std::string body = format == ffFixed ? integer : GroupThousands(integer, fs.ThousandSeparator);
        if (digits > 0) {
            std::string fraction = FractionDigits(d);
            fraction.resize(static_cast<size_t>(digits), '0');
            body += fs.DecimalSeparator;
            body += fraction;
        }
        bool negative = d.Negative && !d.IsZero();
        if (format == ffCurrency)
            return ApplyCurrency(body, negative, fs);
        return negative ? "-" + body : body;
    }
    }
    return {};
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

std::string FloatToStr(double value, const TFormatSettings& fs) {
    // Whole numbers below 1E15 come out as their digits alone: no rounding, separator or exponent. They
    // are most of what files of counts and pixel positions hold, so they skip the decimal expansion.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        char buf[24];
        const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(value));
        return std::string(buf, res.ptr);
    }
    return FloatToStrF(value, ffGeneral, kMaxPrecision, 0, fs);
}

std::string FloatToStr(double value) {
    return FloatToStr(value, FormatSettings());
}

// --- FormatFloat ----------------------------------------------------------------------------------------

namespace {

// What one mask section asks for.
struct TMaskSection {
    std::string_view Text;
    int IntPlaceholders = 0;
    int MinIntDigits = 0; // placeholders from the first '0' up to the decimal point
    int FracPlaceholders = 0;
    int MinFracDigits = 0; // up to the last '0' after the decimal point
    bool Thousands = false;
    bool Scientific = false;
};

// Skips a quoted literal starting at s[i]; answers the position after it (the end when unterminated).
size_t SkipQuoted(std::string_view s, size_t i) {
    size_t close = s.find(s[i], i + 1);
    return close == std::string_view::npos ? s.size() : close + 1;
}

bool IsExponentAt(std::string_view s, size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

std::vector<std::string_view> SplitSections(std::string_view mask) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    for (size_t i = 0; i < mask.size();) {
        if (mask[i] == '\'' || mask[i] == '"') {
            i = SkipQuoted(mask, i);
        } else if (mask[i] == ';') {
            sections.push_back(mask.substr(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    sections.push_back(mask.substr(start));
    return sections;
}

TMaskSection ScanSection(std::string_view text) {
    TMaskSection sec;
    sec.Text = text;
    bool seenPoint = false;
    int firstIntZero = -1;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\'' || c == '"') {
            i = SkipQuoted(text, i);
            continue;
        }
        if (IsExponentAt(text, i)) {
            sec.Scientific = true;
            break; // the exponent's own digits and what follows are handled when writing
        }
        if (c == '0' || c == '#') {
            if (!seenPoint) {
                if (c == '0' && firstIntZero < 0)
                    firstIntZero = sec.IntPlaceholders;
                ++sec.IntPlaceholders;
            } else {
                ++sec.FracPlaceholders;
                if (c == '0')
                    sec.MinFracDigits = sec.FracPlaceholders;
            }
        } else if (c == '.') {
            seenPoint = true;
        } else if (c == ',') {
            sec.Thousands = true;
        }
        ++i;
    }
    sec.MinIntDigits = firstIntZero < 0 ? 0 : sec.IntPlaceholders - firstIntZero;
    return sec;
}

std::string WriteSection(const TMaskSection& sec, double value, bool withMinus, const TFormatSettings& fs) {
    std::string integer, fraction;
    int exponent = 0;
    bool zero;
    if (sec.Scientific) {
        int significant = std::clamp(sec.IntPlaceholders + sec.FracPlaceholders, 1, kMaxPrecision);
        TDecimal d = ToDecimal(value, significant, kNoDecimals);
        zero = d.IsZero();
        if (!zero) {
            std::string digits = d.Digits;
            digits.resize(static_cast<size_t>(std::max(significant, sec.IntPlaceholders)), '0');
            integer = digits.substr(0, static_cast<size_t>(sec.IntPlaceholders));
            fraction = digits.substr(static_cast<size_t>(sec.IntPlaceholders));
            StripTrailingZeros(fraction);
            exponent = d.Exponent - sec.IntPlaceholders;
        }
    } else {
        TDecimal d = ToDecimal(value, kMaxPrecision, sec.FracPlaceholders);
        zero = d.IsZero();
        integer = IntegerDigits(d);
        fraction = FractionDigits(d);
    }
    if (static_cast<int>(integer.size()) < sec.MinIntDigits)
        integer.insert(0, static_cast<size_t>(sec.MinIntDigits - static_cast<int>(integer.size())), '0');
    if (static_cast<int>(fraction.size()) < sec.MinFracDigits)
        fraction.resize(static_cast<size_t>(sec.MinFracDigits), '0');

    bool signPending = withMinus && !zero;
    std::string out;
    auto putSign = [&] {
        if (signPending) {
            out += '-';
            signPending = false;
        }
    };
    // Digits of the whole part: extra leading digits all go to the first placeholder.
    const int n = sec.IntPlaceholders;
    const int len = static_cast<int>(integer.size());
    int nextDigit = 0;
    auto putIntegerDigits = [&](int count) {
        for (int k = 0; k < count && nextDigit < len; ++k, ++nextDigit) {
            putSign();
            out += integer[static_cast<size_t>(nextDigit)];
            int rest = len - 1 - nextDigit;
            if (sec.Thousands && !sec.Scientific && rest > 0 && rest % 3 == 0)
                out += fs.ThousandSeparator;
        }
    };
    int intIndex = 0, fracIndex = 0;
    bool seenPoint = false;
    const std::string_view t = sec.Text;
    for (size_t i = 0; i < t.size();) {
        char c = t[i];
        if (c == '\'' || c == '"') {
            size_t close = t.find(c, i + 1);
            if (close == std::string_view::npos) { // unterminated: literal up to the end
                out.append(t.substr(i + 1));
                break;
            }
            out.append(t.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        if (IsExponentAt(t, i)) {
            putIntegerDigits(len); // no decimal point in the mask: the whole part still shows
            out += c;
            char signMode = t[i + 1];
            if (exponent < 0)
                out += '-';
            else if (signMode == '+')
                out += '+';
            i += 2;
            int minDigits = 0;
            while (i < t.size() && (t[i] == '0' || t[i] == '#')) {
                if (t[i] == '0' && minDigits < 4)
                    ++minDigits;
                ++i;
            }
            out += ExponentDigits(exponent, minDigits);
            out.append(t.substr(i)); // the rest is literal text
            return out;
        }
        if ((c == '0' || c == '#') && !seenPoint) {
            int count;
            if (intIndex == 0)
                count = len > n ? len - n + 1 : (n - len <= 0 ? 1 : 0);
            else
                count = intIndex >= n - len ? 1 : 0;
            putIntegerDigits(count);
            ++intIndex;
        } else if (c == '0' || c == '#') {
            if (fracIndex < static_cast<int>(fraction.size()))
                out += fraction[static_cast<size_t>(fracIndex)];
            ++fracIndex;
        } else if (c == '.') {
            if (!seenPoint) {
                seenPoint = true;
                putIntegerDigits(len); // a mask without whole-part placeholders still shows the whole part
                if (!fraction.empty()) {
                    putSign();
                    out += fs.DecimalSeparator;
                }
            }
        } else if (c != ',') {
            out += c;
        }
        ++i;
    }
    return out;
}

} // namespace

std::string FormatFloat(std::string_view mask, double value, const TFormatSettings& fs) {
    if (mask.empty() || !std::isfinite(value))
        return FloatToStr(value, fs);
    std::vector<std::string_view> sections = SplitSections(mask);
    auto present = [&](size_t k) { return k < sections.size() && k < 3 && !sections[k].empty(); };
    // Rounding to significant digits keeps every value but zero from becoming zero.
    const bool isZero = value == 0;
    size_t chosen = 0;
    if (isZero && present(2))
        chosen = 2;
    else if (!isZero && std::signbit(value) && present(1))
        chosen = 1;
    if (sections[chosen].empty())
        return FloatToStr(value, fs);
    // An explicit negative section writes its own sign (or brackets); the positive one gets a '-'.
    bool withMinus = chosen == 0 && std::signbit(value);
    return WriteSection(ScanSection(sections[chosen]), value, withMinus, fs);
}

std::string FormatFloat(std::string_view mask, double value) {
    return FormatFloat(mask, value, FormatSettings());
}

// --- Format ---------------------------------------------------------------------------------------------

namespace {

// The first `count` characters of a UTF-8 text.
std::string_view Utf8Prefix(std::string_view s, size_t count) {
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (!IsUtf8Continuation(s[i])) {
            if (chars == count)
                return s.substr(0, i);
            ++chars;
        }
    }
    return s;
}

std::string PadDigits(std::string digits, int minDigits) {
    bool negative = !digits.empty() && digits[0] == '-';
    size_t have = digits.size() - (negative ? 1 : 0);
    if (minDigits > 0 && have < static_cast<size_t>(minDigits))
        digits.insert(negative ? 1 : 0, static_cast<size_t>(minDigits) - have, '0');
    return digits;
}

[[noreturn]] void RaiseFormatError(std::string_view fmt) {
    throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

std::string FormatImpl(std::string_view fmt, const TVarRec* args, size_t count, const TFormatSettings& fs) {
    auto fail = [&] { RaiseFormatError(fmt); };
    std::string out;
    size_t argIndex = 0;
    auto nextArg = [&]() -> const TVarRec& {
        if (argIndex >= count)
            RaiseFormatError(fmt);
        return args[argIndex++];
    };
    size_t i = 0;
    // Reads digits or '*' (taken from the next integer argument); false when neither stands there.
    auto readNumber = [&](int& value) -> bool {
        if (i < fmt.size() && fmt[i] == '*') {
            ++i;
            const TVarRec& a = nextArg();
            if (a.Kind() != TVarRec::TKind::Integer)
                fail();
            int64_t v = a.AsInteger();
            if (v > kMaxFieldWidth || v < -kMaxFieldWidth)
                fail();
            value = static_cast<int>(v);
            return true;
        }
        if (i >= fmt.size() || fmt[i] < '0' || fmt[i] > '9')
            return false;
        int64_t v = 0;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
            v = v * 10 + (fmt[i++] - '0');
            if (v > kMaxFieldWidth)
                fail();
        }
        value = static_cast<int>(v);
        return true;
    };

    while (i < fmt.size()) {
        char c = fmt[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i >= fmt.size())
            fail();
        if (fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        int number = 0, width = 0, precision = -1;
        bool left = false;
        bool haveNumber = readNumber(number);
        if (haveNumber && i < fmt.size() && fmt[i] == ':') {
            ++i;
            if (number < 0)
                fail();
            argIndex = static_cast<size_t>(number);
            haveNumber = false;
        }
        if (haveNumber) {
            width = number;
        } else {
            if (i < fmt.size() && fmt[i] == '-') {
                left = true;
                ++i;
            }
            readNumber(width);
        }
        if (width < 0) {
            left = true;
            width = -width;
        }
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            precision = 0;
            readNumber(precision);
            if (precision < 0)
                precision = -1;
        }
        if (i >= fmt.size())
            fail();
        char type = fmt[i++];
        if (type >= 'a' && type <= 'z')
            type = static_cast<char>(type - 32);
        const TVarRec& arg = nextArg();
        using K = TVarRec::TKind;
        std::string field;
        switch (type) {
        case 'D':
            if (arg.Kind() != K::Integer)
                fail();
            field = PadDigits(IntToStr(arg.AsInteger()), precision);
            break;
        case 'U': {
            if (arg.Kind() != K::Integer)
                fail();
            uint64_t u = arg.IsWide() ? static_cast<uint64_t>(arg.AsInteger())
                                      : static_cast<uint32_t>(arg.AsInteger());
            char buf[24];
            auto r = std::to_chars(buf, buf + sizeof buf, u);
            field = PadDigits(std::string(buf, r.ptr), precision);
            break;
        }
        case 'X':
            if (arg.Kind() != K::Integer)
                fail();
            field = arg.IsWide() ? IntToHex(arg.AsInteger(), precision)
                                 : IntToHex(static_cast<int32_t>(arg.AsInteger()), precision);
            break;
        case 'E':
        case 'F':
        case 'G':
        case 'N':
        case 'M': {
            if (arg.Kind() != K::Float)
                fail();
            double v = arg.AsFloat();
            if (type == 'E' || type == 'G') {
                int p = precision < 0 || precision > kMaxPrecision ? kMaxPrecision : precision;
                field = FloatToStrF(v, type == 'E' ? ffExponent : ffGeneral, p, 3, fs);
            } else {
                int def = type == 'M' ? fs.CurrencyDecimals : 2;
                int digits = precision < 0 ? def : precision;
                TFloatFormat f = type == 'F' ? ffFixed : type == 'N' ? ffNumber : ffCurrency;
                field = FloatToStrF(v, f, 18, digits, fs);
            }
            break;
        }
        case 'P':
            if (arg.Kind() != K::Pointer)
                fail();
            field = HexDigits(reinterpret_cast<uintptr_t>(arg.AsPointer()), 16);
            break;
        case 'S':
            if (arg.Kind() != K::String)
                fail();
            field = precision >= 0 ? std::string(Utf8Prefix(arg.AsString(), static_cast<size_t>(precision)))
                                   : arg.AsString();
            break;
        default:
            fail();
        }
        size_t chars = Utf8CharCount(field);
        if (chars < static_cast<size_t>(width)) {
            std::string pad(static_cast<size_t>(width) - chars, ' ');
            field = left ? field + pad : pad + field;
        }
        out += field;
    }
    return out;
}

} // namespace

std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args, const TFormatSettings& fs) {
    return FormatImpl(fmt, args.begin(), args.size(), fs);
}

std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args) {
    return FormatImpl(fmt, args.begin(), args.size(), FormatSettings());
}

std::string Format(std::string_view fmt, const std::vector<TVarRec>& args, const TFormatSettings& fs) {
    return FormatImpl(fmt, args.data(), args.size(), fs);
}

std::string Format(std::string_view fmt, const std::vector<TVarRec>& args) {
    return FormatImpl(fmt, args.data(), args.size(), FormatSettings());
}

// --- Text to floats ---------------------------------------------------------------------------------------

namespace {

// Reads the number grammar of TextToFloat into a double or a long double. Answers the position where
// reading stopped (the text's end on success) and whether the text up to there was a number.
template <class TFloat>
bool ParseFloat(std::string_view s, char separator, bool trailingBlanks, TFloat& value, size_t& stop) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    // Text that from_chars reads as it stands (no '+', a digit first, any point a '.') is converted
    // in place: files hold a great many numbers, nearly all of that form. Anything else, and anything
    // from_chars does not take whole, is rewritten into that form below.
    {
        size_t end = s.size();
        if (trailingBlanks)
            while (end > i && s[end - 1] == ' ')
                --end;
        const size_t digit = i < end && s[i] == '-' ? i + 1 : i;
        if (digit < end && s[digit] >= '0' && s[digit] <= '9' &&
            (separator == '.' || s.substr(i, end - i).find('.') == std::string_view::npos)) {
            // Whole numbers of up to 15 digits (counts, pixel positions) are exact in a double.
            uint64_t whole = 0;
            size_t k = digit;
            while (k < end && k - digit < 15 && s[k] >= '0' && s[k] <= '9')
                whole = whole * 10 + static_cast<uint64_t>(s[k++] - '0');
            if (k == end) {
                value = digit > i ? -static_cast<TFloat>(whole) : static_cast<TFloat>(whole);
                stop = s.size();
                return true;
            }
            TFloat v = 0;
            const auto res = std::from_chars(s.data() + i, s.data() + end, v);
            if (res.ec == std::errc() && res.ptr == s.data() + end) {
                value = v;
                stop = s.size();
                return true;
            }
        }
    }
    std::string normal;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            normal += '-';
        ++i;
    }
    size_t intStart = normal.size();
    int intDigits = 0, fracDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        normal += s[i++];
        ++intDigits;
    }
    bool point = false;
    if (i < s.size() && s[i] == separator) {
        point = true;
        normal += '.';
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            normal += s[i++];
            ++fracDigits;
        }
    }
    if (intDigits == 0 && fracDigits == 0 && !point) {
        stop = i;
        return false;
    }
    if (intDigits == 0)
        normal.insert(intStart, "0"); // ".5" and a lone separator

    long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool negExp = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negExp = s[i] == '-';
            ++i;
        }
        if (i >= s.size() || s[i] < '0' || s[i] > '9') {
            stop = i;
            return false;
        }
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            if (exponent < 100000)
                exponent = exponent * 10 + (s[i] - '0');
            ++i;
        }
        if (negExp)
            exponent = -exponent;
        normal += 'e';
        normal += std::to_string(exponent);
    }
    if (trailingBlanks)
        while (i < s.size() && s[i] == ' ')
            ++i;
    stop = i;
    if (i != s.size())
        return false;
    TFloat v = 0;
    auto res = std::from_chars(normal.data(), normal.data() + normal.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large fails; too small is zero. Compare the leading digit's power of ten with 0.
        std::string_view digits(normal);
        size_t firstNonZero = digits.find_first_of("123456789");
        size_t dot = digits.find('.');
        if (dot == std::string_view::npos)
            dot = digits.find('e') == std::string_view::npos ? digits.size() : digits.find('e');
        long magnitude = firstNonZero < dot ? static_cast<long>(dot - firstNonZero) - 1
                                            : -static_cast<long>(firstNonZero - dot);
        if (magnitude + exponent > 0)
            return false;
        v = normal[0] == '-' ? -0.0 : 0.0;
    } else if (res.ec != std::errc() || res.ptr != normal.data() + normal.size()) {
        return false;
    }
    value = v;
    return true;
}

[[noreturn]] void RaiseNotFloat(std::string_view s) {
    throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
}

} // namespace

bool TextToFloat(std::string_view s, double& value, const TFormatSettings& fs) {
    size_t stop;
    return ParseFloat(s, fs.DecimalSeparator, true, value, stop);
}

bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& fs) {
    return TextToFloat(s, value, fs);
}

bool TryStrToFloat(std::string_view s, double& value) {
    return TextToFloat(s, value, FormatSettings());
}

bool TextToFloat(std::string_view s, long double& value, const TFormatSettings& fs) {
    size_t stop;
    return ParseFloat(s, fs.DecimalSeparator, true, value, stop);
}

bool TryStrToFloat(std::string_view s, long double& value) {
    return TextToFloat(s, value, FormatSettings());
}

double StrToFloat(std::string_view s, const TFormatSettings& fs) {
    double v;
    if (!TextToFloat(s, v, fs))
        RaiseNotFloat(s);
    return v;
}

double StrToFloat(std::string_view s) {
    return StrToFloat(s, FormatSettings());
}

double StrToFloatDef(std::string_view s, double def, const TFormatSettings& fs) {
    double v;
    return TextToFloat(s, v, fs) ? v : def;
}

double StrToFloatDef(std::string_view s, double def) {
    return StrToFloatDef(s, def, FormatSettings());
}

void Val(std::string_view s, double& value, int& code) {
    size_t stop = 0;
    double v = 0;
    if (ParseFloat(s, '.', false, v, stop)) {
        value = v;
        code = 0;
    } else {
        value = 0;
        code = static_cast<int>(std::min(stop, s.size()) + 1);
    }
}

} // namespace plat
