#include "ui/markup/MarkupText.h"

#include <gtest/gtest.h>

#include "MarkupTestUtil.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Stream.h"
#include "ui/markup/PictureContainer.h"

using namespace plat;
using namespace ui;
using namespace markuptest;

TEST(MarkupText, ColourValues) {
    struct TCase {
        const char* Value;
        TColor Expected;
    } cases[] = {
        {"#FF0000", clRed},       {"#ff0000", clRed}, {"#0000FF", clBlue}, {"#123456", RGB(0x12, 0x34, 0x56)},
        {"#12", RGB(0x12, 0, 0)}, {"clred", clRed},   {"CLNAVY", clNavy},  {"clBtnFace", clBtnFace},
        {"clInfoBk", clInfoBk},   {"", clBlack},      {"red", clBlack},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(MarkupColor(c.Value), c.Expected) << c.Value;
}

TEST(MarkupText, PlainTextOfTagsEntitiesAndBrokenTags) {
    TPage page;
    struct TCase {
        const char* Markup;
        const char* Plain;
    } cases[] = {
        {"<b>bold</b> and <i>italic</i>", "bold and italic"},
        {"&euro;&trade;&sect;&copy;&reg;&para;&permil;", "€™§©®¶‰"},
        {"&EURO; &Quot;q&quot;", "€ \"q\""},
        {"a&lt;b&gt;c&nbsp;d", "a<b>c d"},
        {"a<unknown>b", "ab"},
        {"a< space>b", "ab"},
        {"a< no end", "a"},
        {"text<", "text"},
        {"text<b", "text"},
        {"see <#tag> here", "see #tag here"},
        {"one<br>two", "one\rtwo"},
        {"one\r\ntwo", "one\rtwo"},
        {"in<z>visible</z>side", "invisibleside"},
        {"ünïcödé <b>ok</b>", "ünïcödé ok"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Measure(page.Canvas(), c.Markup, TRect(0, 0, 400, 200)).PlainText, c.Plain) << c.Markup;
}

TEST(MarkupText, HiddenAndBrokenTextTakesNoWidth) {
    TPage page;
    const int ab = Measure(page.Canvas(), "ab", TRect(0, 0, 400, 200)).MaxLineWidth;
    EXPECT_EQ(ab, page.Width("ab") + 2);
    for (const char* markup : {"a<z>hidden</z>b", "a<xyz>b", "ab<", "ab<x", "a<img src=\"http://x/y.png\">b"})
        EXPECT_EQ(Measure(page.Canvas(), markup, TRect(0, 0, 400, 200)).MaxLineWidth, ab) << markup;
}

TEST(MarkupText, AmpersandsFollowPrefixRulesUnlessTheTextHasASpacedOne) {
    TPage page;
    const TRect r(0, 0, 400, 200);
    // "&amp;" becomes a doubled ampersand: one shows, unless " & " turns prefix processing off.
    EXPECT_EQ(Measure(page.Canvas(), "a&amp;b", r).MaxLineWidth, page.Width("a&b") + 2);
    EXPECT_EQ(Measure(page.Canvas(), "x & a&amp;b", r).MaxLineWidth, page.Width("x & a&&b") + 2);
}

TEST(MarkupText, EmptyTextAndLineHeights) {
    TPage page;
    const int gh = page.Gh();
    TMarkupResult empty = Measure(page.Canvas(), "", TRect(0, 0, 100, 100));
    EXPECT_EQ(empty.TotalHeight, gh);
    EXPECT_EQ(empty.MaxLineWidth, 0);
    EXPECT_EQ(empty.LinkCount, 0);

    TMarkupOptions spaced;
    spaced.LineSpacing = 4;
    EXPECT_EQ(Measure(page.Canvas(), "a<br>b<br>c", TRect(0, 0, 100, 100), spaced).TotalHeight, 3 * (gh + 4));

    // Sub- and superscript make their line deeper and taller.
    const int plain = Measure(page.Canvas(), "H2O", TRect(0, 0, 100, 100)).TotalHeight;
    EXPECT_GT(Measure(page.Canvas(), "H<SUB>2</SUB>O", TRect(0, 0, 100, 100)).TotalHeight, plain);
    EXPECT_GT(Measure(page.Canvas(), "x<SUP>2</SUP>", TRect(0, 0, 100, 100)).TotalHeight, plain);

    // A text taller than the rectangle: measuring gives all of it, painting stops before a line that
    // does not fit.
    TMarkupResult painted;
    DrawMarkupText(page.Canvas(), "a<br>b<br>c", TRect(0, 0, 100, gh + gh / 2), {}, painted);
    EXPECT_EQ(painted.TotalHeight, gh);
    EXPECT_EQ(Measure(page.Canvas(), "a<br>b<br>c", TRect(0, 0, 100, gh + gh / 2)).TotalHeight, 3 * gh);
}

TEST(MarkupText, FontSizes) {
    TPage page;
    auto heightAt = [&](int points) {
        TPage other;
        other.Canvas().Font()->SetSize(points);
        return Measure(other.Canvas(), "x", TRect(0, 0, 400, 200)).TotalHeight;
    };
    struct TCase {
        const char* Markup;
        int Points;
    } cases[] = {{"<font size=\"1\">x</font>", 8},
                 {"<font size=\"3\">x</font>", 12},
                 {"<font size=\"5\">x</font>", 16},
                 {"<font size=\"20\">x</font>", 20},
                 {"<font size=3>x</font>", 12}};
    for (const TCase& c : cases)
        EXPECT_EQ(Measure(page.Canvas(), c.Markup, TRect(0, 0, 400, 200)).TotalHeight,
                  std::max(heightAt(c.Points), page.Gh()))
            << c.Markup;
}

TEST(MarkupText, WordWrapping) {
    TPage page;
    const int abc = page.Width("abc"), gh = page.Gh();
    const TRect oneWord(0, 0, abc + 4, 200);
    TMarkupResult two = Measure(page.Canvas(), "abc def", oneWord);
    EXPECT_EQ(two.TotalHeight, 2 * gh);
    EXPECT_EQ(two.MaxLineWidth, abc + 2);

    // A word split by tags stays whole; a word wider than the line stays on its line.
    const TRect narrow(0, 0, page.Width("bo"), 200);
    EXPECT_EQ(Measure(page.Canvas(), "<b>b</b>old", narrow).TotalHeight, gh);
    EXPECT_EQ(Measure(page.Canvas(), "enormously", TRect(0, 0, 20, 200)).TotalHeight, gh);

    // Without word wrap the line is one run, cut with an ellipsis when it is too long.
    TMarkupOptions single;
    single.WordWrap = false;
    EXPECT_EQ(Measure(page.Canvas(), "abc def ghi", oneWord, single).TotalHeight, gh);
    TPage drawn;
    DrawMarkupText(drawn.Canvas(), "abcdefghijklmnopqrstuvwxyz", TRect(0, 0, 60, 40), single);
    EXPECT_LE(drawn.Ink(TRect(0, 0, 400, 200)).Right, 60);
    EXPECT_GT(drawn.Ink(TRect(0, 0, 400, 200)).Right, 40);
}

TEST(MarkupText, ParagraphAlignmentCarriesToLaterLines) {
    TPage page;
    const int gh = page.Gh();
    DrawMarkupText(page.Canvas(), "<p align=\"right\">one</p>two<br><p align=\"center\">three",
                   TRect(0, 0, 300, 200));
    EXPECT_NEAR(page.Ink(TRect(0, 0, 400, gh)).Right, 300, 3);
    EXPECT_NEAR(page.Ink(TRect(0, gh, 400, 2 * gh)).Right, 300, 3);
    const TRect centred = page.Ink(TRect(0, 2 * gh, 400, 3 * gh));
    EXPECT_NEAR((centred.Left + centred.Right) / 2, 150, 4);
}

TEST(MarkupText, ListsPutBulletsAtTheLeftAndTextTwelvePixelsIn) {
    TPage page;
    const int gh = page.Gh();
    TMarkupResult result;
    DrawMarkupText(page.Canvas(), "<ul><li>one<li>two</ul>", TRect(0, 0, 300, 200), {}, result);
    EXPECT_EQ(result.TotalHeight, 3 * gh);
    for (int line : {1, 2}) {
        const TRect bullet = page.Ink(TRect(0, line * gh, 13, (line + 1) * gh));
        const TRect text = page.Ink(TRect(13, line * gh, 300, (line + 1) * gh));
        EXPECT_FALSE(bullet.IsEmpty()) << line;
        EXPECT_LT(bullet.Left, 8) << line;
        EXPECT_GE(text.Left, 13) << line;
        EXPECT_LT(text.Left, 17) << line;
    }
}

TEST(MarkupText, LinksUnderThePointAreFoundWithThePaintedLayout) {
    TPage page;
    const std::string markup = "go <a href=\"x://one\">first</a> and <a href=\"mailto:two\">second</a>";
    const int gh = page.Gh();
    const int secondX = 1 + page.Width("go first and ") + page.Width("sec") / 2;
    TMarkupOptions hit;
    hit.NoDraw = true;
    hit.X = secondX;
    hit.Y = gh / 2;
    TMarkupResult result;
    EXPECT_TRUE(DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 400, 100), hit, result));
    EXPECT_EQ(result.LinkTarget, "mailto:two");
    EXPECT_EQ(result.LinkUnderPoint, 2);
    EXPECT_EQ(result.LinkCount, 2);
    EXPECT_NEAR(result.LinkRect.Left, 1 + page.Width("go first and "), 2);
    EXPECT_NEAR(result.LinkRect.Right, 1 + page.Width("go first and second"), 2);
    EXPECT_EQ(page.Ink(TRect(0, 0, 400, 100)), TRect()) << "a hit test draws nothing";

    // The same layout centred: the link moves with it.
    TMarkupOptions centred = hit;
    const int shift = (399 - page.Width(std::string("go first and second"))) / 2;
    centred.X = secondX + shift;
    TMarkupResult moved;
    EXPECT_TRUE(DrawMarkupText(page.Canvas(), "<p align=\"center\">" + markup, TRect(0, 0, 400, 100), centred,
                               moved));
    EXPECT_EQ(moved.LinkUnderPoint, 2);

    TMarkupOptions miss = hit;
    miss.X = 2;
    TMarkupResult none;
    EXPECT_FALSE(DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 400, 100), miss, none));
    EXPECT_EQ(none.LinkUnderPoint, -1);

    TMarkupOptions painting = hit;
    painting.NoDraw = false;
    TMarkupResult painted;
    EXPECT_FALSE(DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 400, 100), painting, painted))
        << "text links are found by hit tests, not by painting";
}

TEST(MarkupText, HoverOnlyUnderlinesTheHoveredLinkAndFocusNamesItsTarget) {
    const std::string markup = "<a href=\"one\">aaaa</a> <a href=\"two\">aaaa</a>";
    auto underlineRows = [&](TPage& page, int x0, int x1) {
        // Rows below the letters' baseline that hold a run of blue as wide as the word.
        int rows = 0;
        for (int y = 0; y < page.Gh() + 2; ++y)
            rows += page.Count(TRect(x0, y, x1, y + 1), clBlue) >= (x1 - x0) * 3 / 4;
        return rows;
    };
    TPage page;
    const int word = page.Width("aaaa"), gap = page.Width(" ");
    TMarkupOptions options;
    options.HoverOnly = true;
    options.HoverLinkNumber = 2;
    options.FocusLinkIndex = 0;
    TMarkupResult result;
    DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 300, 100), options, result);
    EXPECT_EQ(result.FocusTarget, "one");
    EXPECT_EQ(underlineRows(page, 2, 1 + word - 1), 0);
    EXPECT_GE(underlineRows(page, 2 + word + gap, 1 + 2 * word + gap - 1), 1);
}

TEST(MarkupText, CanvasStateIsKeptAcrossACall) {
    TPage page;
    TCanvas& c = page.Canvas();
    c.Brush()->SetColor(clYellow);
    const std::string fontName = c.Font()->Name();
    DrawMarkupText(c,
                   "<font face=\"Courier New\" size=\"5\" color=\"clred\" bgcolor=\"#00ff00\"><b>x<e>y</e>"
                   "<a href=\"z\">l</a><p bgcolor=\"clblue\">p",
                   TRect(0, 0, 300, 200));
    EXPECT_EQ(c.Font()->Name(), fontName);
    EXPECT_EQ(c.Font()->Size(), 10);
    EXPECT_EQ(c.Font()->Style(), 0);
    EXPECT_EQ(c.Font()->Color(), clBlack);
    EXPECT_EQ(c.Brush()->Color(), clYellow);
    EXPECT_EQ(c.Brush()->Style(), bsSolid);
}

TEST(MarkupText, BrokenAndForeignPicturesDrawAndMeasureWithoutThem) {
    const std::string broken = WriteFile("not_a_picture.bmp", {'B', 'M', 0, 0, 0, 0});
    THTMLPictureCache cache;
    TPictureContainer container(nullptr);
    TPictureItem* bad = container.Items()->Add();
    bad->SetName("bad");
    TMemoryStream bytes;
    bytes.WriteBuffer("GIF89a garbage", 14);
    bytes.SetPosition(0);
    EXPECT_ANY_THROW(bad->Picture()->LoadFromStream(bytes));

    TMarkupOptions options;
    options.PictureCache = &cache;
    options.PictureContainer = &container;
    TPage page;
    const int ab = page.Width("ab") + 2;
    for (std::string src :
         {"FILE://" + broken, "FILE://" + broken + ".missing", std::string("FILE:///dev/zero"),
          std::string("RES://NO_SUCH_PICTURE"), std::string("bad"), std::string("missing"),
          std::string("https://example.com/x.png"), std::string("IDX:3"), std::string("")}) {
        SCOPED_TRACE(src);
        const std::string markup = "a<img src=\"" + src + "\">b<body background=\"" + src + "\">";
        EXPECT_EQ(Measure(page.Canvas(), markup, TRect(0, 0, 300, 100), options).MaxLineWidth, ab);
        page.Clear();
        EXPECT_NO_THROW(DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 300, 100), options));
        EXPECT_NEAR(page.Ink(TRect(0, 0, 300, 100)).Right, ab, 2);
    }
    // The web picture is remembered, never fetched.
    THTMLPicture* web = cache.FindPicture("https://example.com/x.png");
    ASSERT_NE(web, nullptr);
    EXPECT_TRUE(web->Bytes().empty());
}

TEST(MarkupText, PicturesFromFilesAndContainersTakeTheirPlace) {
    const std::string red = WriteFile("red20.bmp", BmpBytes(20, 30, clRed));
    THTMLPictureCache cache;
    TPictureContainer container(nullptr);
    TPictureItem* item = container.Items()->Add();
    item->SetName("Green");
    item->Picture()->LoadFromFile(WriteFile("green.bmp", BmpBytes(10, 10, clLime)));
    TMarkupOptions options;
    options.PictureCache = &cache;
    options.PictureContainer = &container;

    TPage page;
    const std::string markup =
        "a<img src=\"FILE://" + red + "\">b<img src=\"green\" width=\"5\" height=\"4\">";
    TMarkupResult measured = Measure(page.Canvas(), markup, TRect(0, 0, 300, 100), options);
    EXPECT_EQ(measured.MaxLineWidth, page.Width("ab") + 20 + 5 + 2);
    EXPECT_EQ(measured.TotalHeight, 30);
    DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 300, 100), options);
    const int x = 1 + page.Width("a");
    EXPECT_EQ(page.Count(TRect(x, 0, x + 20, 30), clRed), 20 * 30);
    const int g = 1 + page.Width("ab") + 20;
    EXPECT_EQ(page.Count(TRect(g, 0, g + 5, 4), clLime), 5 * 4);
    EXPECT_EQ(cache.Count(), 1) << "the file is read once and kept";
}

TEST(MarkupText, LinkedPictureIsFoundByPaintingAndShowsItsAltPicture) {
    const std::string red = WriteFile("red10.bmp", BmpBytes(10, 10, clRed));
    const std::string blue = WriteFile("blue10.bmp", BmpBytes(10, 10, clBlue));
    THTMLPictureCache cache;
    TMarkupOptions options;
    options.PictureCache = &cache;
    options.X = 5;
    options.Y = 5;
    const std::string markup =
        "<a href=\"pic\"><img src=\"FILE://" + red + "\" alt=\"FILE://" + blue + "\"></a>";
    TPage page;
    TMarkupResult result;
    EXPECT_TRUE(DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 100, 100), options, result));
    EXPECT_EQ(result.LinkTarget, "pic");
    EXPECT_EQ(result.LinkUnderPoint, -1) << "a picture reports its target only";
    EXPECT_EQ(page.At(5, 5), clBlue);
    options.X = 50;
    EXPECT_FALSE(DrawMarkupText(page.Canvas(), markup, TRect(0, 0, 100, 100), options, result));
    EXPECT_EQ(page.At(5, 5), clRed);
}

TEST(MarkupText, PaintedMarksAndBackgrounds) {
    const TColor highlight = ColorToRGB(clHighlight);
    struct TCase {
        const char* Markup;
        bool Selected;
        bool BlinkOn;
        TColor Colour;
        int AtLeast; // pixels of that colour; 0: none at all
    } cases[] = {
        {"<e>mistake</e>", false, true, clRed, 10},
        {"<font color=\"clred\">red</font>", false, true, clRed, 10},
        {"<font color=\"clred\">red</font>", true, true, clRed, 0},
        {"<font bgcolor=\"#00FF00\">on green</font>", false, true, clLime, 200},
        {"<hi>marked</hi>", false, true, highlight, 200},
        {"<body bgcolor=\"clyellow\">text", false, true, clYellow, 300 * 100 - 2000},
        {"<body bgcolor=\"clyellow\">text", true, true, clYellow, 0},
        {"<p bgcolor=\"clyellow\">one<br>two</p><br>three", false, true, clYellow, 2 * 280 * 14},
        {"plain <blink>blinking</blink>", false, true, clBlack, 100},
        {"<blink>blinking</blink>", false, false, clBlack, 0},
        {"<shad>shadow</shad>", false, true, clGray, 5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Markup);
        TPage page;
        TMarkupOptions options;
        options.Selected = c.Selected;
        options.BlinkOn = c.BlinkOn;
        options.ShadowOffset = 2;
        DrawMarkupText(page.Canvas(), c.Markup, TRect(0, 0, 300, 100), options);
        const int count = page.Count(TRect(0, 0, 400, 200), c.Colour);
        if (c.AtLeast == 0)
            EXPECT_EQ(count, 0);
        else
            EXPECT_GE(count, c.AtLeast);
    }
}

TEST(MarkupText, HiddenTextAcrossALineBreakHidesExactlyItsPart) {
    TPage page;
    TMarkupResult r = Measure(page.Canvas(), "ab<z>cd<br>ef</z>g", TRect(0, 0, 400, 200));
    EXPECT_EQ(r.PlainText, "abcd\refg");
    EXPECT_EQ(r.MaxLineWidth, page.Width("ab") + 2);
    EXPECT_EQ(r.TotalHeight, 2 * page.Gh());
    TPage drawn;
    DrawMarkupText(drawn.Canvas(), "ab<z>cd<br>ef</z>g", TRect(0, 0, 400, 200));
    const int gh = drawn.Gh();
    EXPECT_NEAR(drawn.Ink(TRect(0, 0, 400, gh)).Right, 1 + page.Width("ab"), 2);
    EXPECT_NEAR(drawn.Ink(TRect(0, gh, 400, 2 * gh)).Right, 1 + page.Width("g"), 2);
}
