#include "platform/rtl/Exception.h"
#include "platform/rtl/StringUtils.h"

#include <gtest/gtest.h>

#include <random>

using namespace plat;

TEST(IntegerText, ReadsDecimalAndHex) {
    struct Case {
        const char* in;
        int out;
    } good[] = {
        {"123", 123},
        {" 42", 42},
        {"-17", -17},
        {"+5", 5},
        {"$FF", 255},
        {"$ff", 255},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : good) {
        int v = 0;
        EXPECT_TRUE(TryStrToInt(c.in, v)) << c.in;
        EXPECT_EQ(v, c.out) << c.in;
        EXPECT_EQ(StrToInt(c.in), c.out);
    }
    const char* bad[] = {"",           " ",   "42 ", "1.5", "abc", "$",   "0x",  "2147483648", "-2147483649",
                         "$100000000", "--1", "+ 1", "12a", "\t1", "1e3", "0x-1"};
    for (const char* s : bad) {
        int v = 99;
        EXPECT_FALSE(TryStrToInt(s, v)) << '"' << s << '"';
        EXPECT_EQ(v, 99);
        EXPECT_EQ(StrToIntDef(s, -5), -5) << s;
    }
    try {
        StrToInt("abc");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
}

TEST(IntegerText, HexDigitValues) {
    struct Case {
        char C;
        int Value;
    } cases[] = {{'0', 0},  {'9', 9},  {'a', 10}, {'F', 15}, {'g', -1},
                 {'G', -1}, {'-', -1}, {' ', -1}, {'\0', -1}};
    for (const Case& c : cases)
        EXPECT_EQ(HexDigitValue(c.C), c.Value) << c.C;
}

TEST(IntegerText, SixtyFourBits) {
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
    EXPECT_EQ(StrToInt64Def("9223372036854775808", 3), 3);
    EXPECT_THROW(StrToInt64("$1FFFFFFFFFFFFFFFF"), EConvertError);
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x1234, 2), "1234");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(int32_t(-1), 0), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 0), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(int16_t(-2), 0), "FFFE");
    EXPECT_EQ(IntToHex(0xFFFFFFFFu, 0), "FFFFFFFF");
    EXPECT_EQ(IntToHex(size_t(1) << 40, 12), "010000000000");
}

TEST(TextCase, TrimAndCase) {
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(TrimLeft("\x01 a "), "a ");
    EXPECT_EQ(TrimRight(" a \x1f"), " a");
    EXPECT_EQ(Trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0"); // bytes above blank stay
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(UpperCase("ab\xC3\xA4z"), "AB\xC3\xA4Z");
    EXPECT_EQ(LowerCase("AB\xC3\x84Z"), "ab\xC3\x84z");
    EXPECT_EQ(AnsiUpperCase("stra\xC3\x9F"
                            "e \xC3\xA0\xC3\xA9\xC3\xBF"),
              "STRA\xC3\x9F"
              "E \xC3\x80\xC3\x89\xC5\xB8");
    EXPECT_EQ(AnsiLowerCase("\xC3\x80\xC3\x89\xC3\x8E\xCE\xA3"), "\xC3\xA0\xC3\xA9\xC3\xAE\xCF\x83");
    EXPECT_EQ(AnsiUpperCase("a\xFF"
                            "b\xC3"),
              "A\xFF"
              "B\xC3"); // stray bytes are kept
}

TEST(TextCase, Comparisons) {
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_EQ(CompareText("Frame", "fRAME"), 0);
    EXPECT_TRUE(SameText("Frame", "frame"));
    EXPECT_FALSE(SameText("Frame", "frames"));
    EXPECT_FALSE(SameText("\xC3\x84", "\xC3\xA4"));
    EXPECT_TRUE(AnsiSameText("\xC3\x84pfel", "\xC3\xA4PFEL"));
    EXPECT_LT(AnsiCompareText("a", "B"), 0);
    EXPECT_LT(AnsiCompareText("ab", "ABC"), 0);
    EXPECT_GT(CompareStr("a", "B"), 0);
    EXPECT_EQ(CompareStr("a", "a"), 0);
}

// Keys that hash case-insensitive names must agree with the comparison on every pair, letters beyond
// ASCII and bytes that are not UTF-8 included.
TEST(TextCase, CaseKeysAgreeWithAnsiSameText) {
    const char* const texts[] = {
        "",         "a",        "A",        "ab",     "AB",       "\xC3\x84pfel", "\xC3\xA4PFEL",
        "\xC3\xA4", "\xE4",     "\xC4",     "\xC3",   "\xC3\xA9", "\xC3\x89",     "\xE9",
        "\xC9",     "\xCE\xA3", "\xCF\x83", "x\xFFy", "X\xFFY",   "\x80",         "\xC2\x80",
    };
    for (const char* a : texts)
        for (const char* b : texts)
            EXPECT_EQ(AnsiCaseKey(a) == AnsiCaseKey(b), AnsiSameText(a, b))
                << ::testing::PrintToString(std::string(a)) << " "
                << ::testing::PrintToString(std::string(b));
}

TEST(Quoting, QuoteDequoteReplace) {
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
    struct Case {
        const char* in;
        const char* out;
    } dequote[] = {
        {"'a''b'", "a'b"}, {"abc", "abc"}, {"'abc", "'abc"}, {"''", ""}, {"'abc'def", "abc"}, {"", ""},
    };
    for (const auto& c : dequote)
        EXPECT_EQ(AnsiDequotedStr(c.in, '\''), c.out) << c.in;
    EXPECT_EQ(AnsiDequotedStr(QuotedStr("x''y'"), '\''), "x''y'");

    EXPECT_EQ(StringReplace("a.b.c", ".", ","), "a,b.c");
    EXPECT_EQ(StringReplace("a.b.c", ".", ",", rfReplaceAll), "a,b,c");
    EXPECT_EQ(StringReplace("Hello hello", "HELLO", "x", rfReplaceAll | rfIgnoreCase), "x x");
    EXPECT_EQ(StringReplace("Hello", "hello", "x"), "Hello");
    EXPECT_EQ(StringReplace("aa", "a", "aa", rfReplaceAll), "aaaa");
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
    EXPECT_EQ(StringReplace("abab", "ab", "", rfReplaceAll), "");
}

TEST(FileNames, Parts) {
    struct Case {
        const char* path;
        const char* name;
        const char* ext;
        const char* filePath;
        const char* dir;
    } cases[] = {
        {"/a/b.txt", "b.txt", ".txt", "/a/", "/a"},
        {"b.tar.gz", "b.tar.gz", ".gz", "", ""},
        {"/a.b/c", "c", "", "/a.b/", "/a.b"},
        {"/b", "b", "", "/", "/"},
        {"/a/", "", "", "/a/", "/a"},
        {"dir/.hidden", ".hidden", ".hidden", "dir/", "dir"},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
        EXPECT_EQ(ExtractFilePath(c.path), c.filePath) << c.path;
        EXPECT_EQ(ExtractFileDir(c.path), c.dir) << c.path;
    }
    EXPECT_EQ(ChangeFileExt("/a.b/c", ".ini"), "/a.b/c.ini");
    EXPECT_EQ(ChangeFileExt("x.txt", ""), "x");
    EXPECT_EQ(ChangeFileExt("/p/x.txt", ".bak"), "/p/x.bak");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(Utf8, ConversionsAndBadInput) {
    EXPECT_EQ(Latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Utf8ToLatin1("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 ?");
    EXPECT_EQ(Utf8ToLatin1("\xC3"), "?");
    for (int c = 0; c < 256; ++c) {
        std::string one(1, static_cast<char>(c));
        EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(one)), one);
    }
    EXPECT_EQ(Utf8Decode("a\xC3\xA9\xF0\x9F\x98\x80"), (std::u32string{U'a', 0xE9, 0x1F600}));
    struct Bad {
        const char* in;
        size_t replacements;
    } bad[] = {
        {"\xC3", 1}, {"\xC0\xAF", 2}, {"\xED\xA0\x80", 3}, {"\xF4\x90\x80\x80", 4},
        {"\x80", 1}, {"\xE2\x82", 2},
    };
    for (const auto& b : bad) {
        std::u32string cps = Utf8Decode(b.in);
        EXPECT_EQ(cps, std::u32string(b.replacements, 0xFFFD)) << b.in;
        EXPECT_FALSE(IsValidUtf8(b.in));
    }
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9\xF0\x9F\x98\x80"));
    std::u32string all = {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF};
    EXPECT_EQ(Utf8Decode(Utf8Encode(all)), all);
    std::string out;
    AppendUtf8(out, 0x110000);
    AppendUtf8(out, 0xD800);
    EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, DecoderNamesEveryKindOfMalformedSequence) {
    struct Case {
        std::string_view text; // the decoder sees only these bytes
        char32_t cp;
        int length;
        TUtf8Fault fault;
    } cases[] = {
        {"A", U'A', 1, ufNone},
        {"\xC3\xA9", 0xE9, 2, ufNone},
        {"\xE2\x82\xAC", 0x20AC, 3, ufNone},
        {"\xEF\xBF\xBF", 0xFFFF, 3, ufNone},
        {"\xF0\x9F\x98\x80", 0x1F600, 4, ufNone},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4, ufNone},
        // Stray continuation bytes and bytes that never occur.
        {"\x80", 0xFFFD, 1, ufStrayByte},
        {"\xBF\x80", 0xFFFD, 1, ufStrayByte},
        {"\xF8\x88\x80\x80\x80", 0xFFFD, 1, ufStrayByte},
        {"\xFF", 0xFFFD, 1, ufStrayByte},
        // Truncated: by the end of the text (the byte after it is never read) or by another byte.
        {std::string_view("\xC3\xA9", 1), 0xFFFD, 1, ufTruncated},
        {std::string_view("\xE2\x82\xAC", 2), 0xFFFD, 1, ufTruncated},
        {std::string_view("\xF0\x9F\x98\x80", 3), 0xFFFD, 1, ufTruncated},
        {"\xE2x\xAC", 0xFFFD, 1, ufTruncated},
        {"\xC3\xC3\xA9", 0xFFFD, 1, ufTruncated},
        {"\xF0\x9F\x98"
         "A",
         0xFFFD, 1, ufTruncated},
        // Overlong forms, the shortest ones for '/' and the longest that still need one byte less.
        {"\xC0\xAF", 0xFFFD, 2, ufOverlong},
        {"\xC1\xBF", 0xFFFD, 2, ufOverlong},
        {"\xE0\x80\xAF", 0xFFFD, 3, ufOverlong},
        {"\xE0\x9F\xBF", 0xFFFD, 3, ufOverlong},
        {"\xF0\x80\x80\xAF", 0xFFFD, 4, ufOverlong},
        {"\xF0\x8F\xBF\xBF", 0xFFFD, 4, ufOverlong},
        // Surrogates, high and low.
        {"\xED\xA0\x80", 0xFFFD, 3, ufSurrogate},
        {"\xED\xBF\xBF", 0xFFFD, 3, ufSurrogate},
        // Beyond U+10FFFF.
        {"\xF4\x90\x80\x80", 0xFFFD, 4, ufBeyondUnicode},
        {"\xF7\xBF\xBF\xBF", 0xFFFD, 4, ufBeyondUnicode},
    };
    for (const Case& c : cases) {
        const TUtf8Char u = Utf8DecodeAt(c.text, 0);
        std::string shown(c.text);
        EXPECT_EQ(u.CodePoint, c.cp) << shown;
        EXPECT_EQ(u.Length, c.length) << shown;
        EXPECT_EQ(u.Fault, c.fault) << shown;
        EXPECT_EQ(u.Valid(), c.fault == ufNone) << shown;
        // The text routines built on the decoder agree with it.
        EXPECT_EQ(IsValidUtf8(c.text.substr(0, c.length)), c.fault == ufNone) << shown;
    }
    // Stepping by characters keeps sequences whole, malformed ones too: a stray continuation byte stays
    // with the character before it.
    const std::string_view mixed("a\xC3\xA9\x80\xE2\x82\xAC");
    EXPECT_EQ(Utf8CharCount(mixed), 3u);
    EXPECT_EQ(Utf8NextChar(mixed, 0), 1u);
    EXPECT_EQ(Utf8NextChar(mixed, 1), 4u);
    EXPECT_EQ(Utf8NextChar(mixed, 4), 7u);
    // Decoding from inside a text stops at its end as well.
    const std::string_view cut("ab\xE2\x82\xAC", 4);
    EXPECT_EQ(Utf8DecodeAt(cut, 2).Fault, ufTruncated);
    EXPECT_EQ(Utf8Decode(cut), (std::u32string{U'a', U'b', 0xFFFD, 0xFFFD}));
}

TEST(StringUtils, RandomInputNeverCrashes) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> len(0, 10), byte(0, 255);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        for (int n = len(rng); n > 0; --n)
            s += static_cast<char>(byte(rng));
        int v;
        (void)TryStrToInt(s, v);
        (void)AnsiUpperCase(s);
        (void)AnsiCompareText(s, "abc");
        (void)Utf8ToLatin1(s);
        EXPECT_TRUE(IsValidUtf8(Utf8Encode(Utf8Decode(s))));
        (void)AnsiDequotedStr(s, '\'');
    }
}
