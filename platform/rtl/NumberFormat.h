// Numbers to text and back: Format with printf-like specifiers, FormatFloat masks, FloatToStr's general
// form and the locale-aware text-to-float readers. Every routine has an overload with explicit settings
// for files that need a fixed decimal separator.
#pragma once

#include "platform/rtl/Locale.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// --- Format -------------------------------------------------------------------------------------------

// One argument of Format: an integer, a float, a text or a pointer.
class TVarRec {
public:
    enum class TKind { Integer, Float, String, Pointer };

    TVarRec(int v) : FKind(TKind::Integer), FInt(v), FWide(false) {}
    TVarRec(unsigned v) : FKind(TKind::Integer), FInt(static_cast<int32_t>(v)), FWide(false) {}
    TVarRec(long v) : FKind(TKind::Integer), FInt(v), FWide(true) {}
    TVarRec(unsigned long v) : FKind(TKind::Integer), FInt(static_cast<int64_t>(v)), FWide(true) {}
    TVarRec(long long v) : FKind(TKind::Integer), FInt(v), FWide(true) {}
    TVarRec(unsigned long long v) : FKind(TKind::Integer), FInt(static_cast<int64_t>(v)), FWide(true) {}
    TVarRec(short v) : TVarRec(static_cast<int>(v)) {}
    TVarRec(unsigned short v) : TVarRec(static_cast<int>(v)) {}
    TVarRec(double v) : FKind(TKind::Float), FFloat(v) {}
    TVarRec(float v) : FKind(TKind::Float), FFloat(v) {}
    TVarRec(char c) : FKind(TKind::String), FString(1, c) {}
    TVarRec(const char* s) : FKind(TKind::String), FString(s ? s : "") {}
    TVarRec(std::string s) : FKind(TKind::String), FString(std::move(s)) {}
    TVarRec(std::string_view s) : FKind(TKind::String), FString(s) {}
    TVarRec(const void* p) : FKind(TKind::Pointer), FPointer(p) {}
    TVarRec(std::nullptr_t) : FKind(TKind::Pointer), FPointer(nullptr) {}
    // A Boolean is no valid Format argument; refuse it at compile time rather than print 0 or 1.
    TVarRec(bool) = delete;

    TKind Kind() const { return FKind; }
    int64_t AsInteger() const { return FInt; }
    // True for 64-bit integers: %u and %x show negative values in 64 bits instead of 32.
    bool IsWide() const { return FWide; }
    double AsFloat() const { return FFloat; }
    const std::string& AsString() const { return FString; }
    const void* AsPointer() const { return FPointer; }

private:
    TKind FKind;
    int64_t FInt = 0;
    bool FWide = false;
    double FFloat = 0;
    std::string FString;
    const void* FPointer = nullptr;
};

// Specifiers: "%" ["<index>:"] ["-"] [width] ["." precision] type, where width and precision may be
// "*" (taken from the next integer argument) and type is one of (case-insensitive):
//   d  decimal integer; precision = minimum digits
//   u  unsigned decimal integer
//   x  upper-case hexadecimal integer; precision = minimum digits
//   e  scientific "d.dddE+ddd"; precision = significant digits (default 15)
//   f  fixed; precision = decimals (default 2)
//   g  FloatToStr's form with at least 3 exponent digits ("1E-006"); precision = significant
//      digits (default 15)
//   n  like f with thousands separators
//   m  currency with the locale's currency format (default CurrencyDecimals)
//   p  pointer as 16 hexadecimal digits
//   s  text (or a single character); precision = maximum characters
// "%%" gives "%". A missing argument, a wrong argument kind or a malformed specifier raises
// EConvertError "Format '<fmt>' invalid or incompatible with argument".
std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args);
std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args, const TFormatSettings& fs);
std::string Format(std::string_view fmt, const std::vector<TVarRec>& args);
std::string Format(std::string_view fmt, const std::vector<TVarRec>& args, const TFormatSettings& fs);

// --- Floats to text -------------------------------------------------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The shortest text with at most 15 significant digits: fixed notation for 1E-5 <= |v| < 1E15,
// otherwise "<mantissa>E<exponent>" with a '-' only for negative exponents ("1E20", "1.5E-7").
// NaN and infinities give "NAN", "INF" and "-INF"; -0 gives "0".
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& fs);

// precision: significant digits (at most 15); digits: minimum exponent digits (0..4) for ffGeneral and
// ffExponent, decimals (0..18) for ffFixed, ffNumber and ffCurrency. A fixed format whose integer part
// needs more than `precision` digits falls back to ffExponent.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& fs);

// Masks: up to three sections "positive;negative;zero". An empty or missing negative or zero section
// means the positive one (negatives then get a leading '-'). In a section: '0' digit or zero, '#' digit
// or nothing, the first '.' the decimal separator, ',' in the integer part turns on thousands
// separators, "E+", "E-", "e+", "e-" scientific form with '0's for minimum exponent digits
// ("E-" shows only negative signs), '…' and "…" literal text, everything else literal. Values are
// rounded half away from zero on their 15-digit decimal form. A negative value that rounds to zero is
// shown without its minus sign. An empty mask gives FloatToStr.
std::string FormatFloat(std::string_view mask, double value);
std::string FormatFloat(std::string_view mask, double value, const TFormatSettings& fs);

// --- Text to floats ---------------------------------------------------------------------------------------

// Blanks (' ' only) at both ends; an optional sign; digits with at most one decimal separator (a lone
// separator reads as 0); an optional exponent "E" or "e" with optional sign and digits. Nothing else;
// no thousands separators. Values beyond the double range fail; values too small become 0.
bool TextToFloat(std::string_view s, double& value, const TFormatSettings& fs);
bool TryStrToFloat(std::string_view s, double& value);
bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& fs);
// The same into the extended range of a long double ("1e400" is a value).
bool TextToFloat(std::string_view s, long double& value, const TFormatSettings& fs);
bool TryStrToFloat(std::string_view s, long double& value);
// Raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view s);
double StrToFloat(std::string_view s, const TFormatSettings& fs);
double StrToFloatDef(std::string_view s, double def);
double StrToFloatDef(std::string_view s, double def, const TFormatSettings& fs);

// The locale-free reader: '.' as decimal point, leading blanks allowed. `code` is 0 on success, else
// the 1-based position of the first byte that could not be read (value is then 0).
void Val(std::string_view s, double& value, int& code);

} // namespace plat
