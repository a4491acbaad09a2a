#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/MetafileFormat.h"

using namespace plat::metafile;

namespace {

std::string FromUtf16(const std::vector<uint16_t>& units) {
    return Utf16ToUtf8(units.data(), units.size());
}

} // namespace

// Text records hold UTF-16 (EMF) or code page 1252 (WMF); both must come back as well-formed UTF-8.
TEST(MetafileFormat, Utf16ToUtf8PairsSurrogatesAndReplacesStrayOnes) {
    struct TCase {
        std::vector<uint16_t> Units;
        const char* Utf8;
    } cases[] = {
        {{}, ""},
        {{'A', 0x7F}, "A\x7F"},
        {{0x80, 0x7FF}, "\xC2\x80\xDF\xBF"},
        {{0x800, 0xFFFF}, "\xE0\xA0\x80\xEF\xBF\xBF"},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},         // a pair is one character
        {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},         // the last one there is
        {{0xD83D}, "\xEF\xBF\xBD"},                     // high half at the end
        {{0xD83D, 'x'}, "\xEF\xBF\xBDx"},               // high half before an ordinary unit
        {{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"}, // halves in the wrong order
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FromUtf16(c.Units), c.Utf8) << c.Utf8;
}

TEST(MetafileFormat, Utf16RoundTripAndMalformedUtf8) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    EXPECT_EQ(Utf8ToUtf16(text), (std::vector<uint16_t>{'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, 'z'}));
    EXPECT_EQ(FromUtf16(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf8ToAnsi("\xC3\xA9\xE2\x82\xAC"), "\xE9\x80");
    // Malformed text turns into U+FFFD, never into a stray surrogate unit (which would also shift the
    // character advances written with the text) nor into a character hidden in an overlong form.
    struct TBad {
        const char* Utf8;
        std::vector<uint16_t> Units;
    } bad[] = {
        {"\x80", {0xFFFD}},                                                 // stray continuation byte
        {"a\xE2\x82", {'a', 0xFFFD, 0xFFFD}},                               // cut off: each byte
        {"\xE2x", {0xFFFD, 'x'}},                                           // interrupted
        {"\xED\xA0\x80", {0xFFFD}},                                         // encoded high surrogate
        {"\xED\xB0\x80z", {0xFFFD, 'z'}},                                   // encoded low surrogate
        {"\xC0\xAF\xE0\x80\xAF\xF0\x80\x80\xAF", {0xFFFD, 0xFFFD, 0xFFFD}}, // overlong '/'
        {"\xF4\x90\x80\x80", {0xFFFD}},                                     // past U+10FFFF
    };
    for (const TBad& b : bad) {
        EXPECT_EQ(Utf8ToUtf16(b.Utf8), b.Units) << b.Utf8;
        EXPECT_EQ(Utf8ToAnsi(b.Utf8).find_first_not_of("?az x"), std::string::npos) << b.Utf8;
    }
}

TEST(MetafileFormat, AnsiConversionUsesCodePage1252) {
    struct TCase {
        const char* Ansi;
        const char* Utf8;
    } cases[] = {
        {"plain", "plain"},
        {"\x80", "\xE2\x82\xAC"}, // euro sign
        {"\x92", "\xE2\x80\x99"}, // right single quote
        {"\x81", "\xC2\x81"},     // a hole keeps its control-code value
        {"\xA0\xE9\xFF", "\xC2\xA0\xC3\xA9\xC3\xBF"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AnsiToUtf8(c.Ansi), c.Utf8) << c.Utf8;
        EXPECT_EQ(Utf8ToAnsi(c.Utf8), c.Ansi) << c.Utf8;
    }
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD"), "?"); // not in the code page
}
