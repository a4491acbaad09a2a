// One picture of what captions can show, for people to look at: build/test-output/markup/markup.png.
#include <gtest/gtest.h>

#include <string>

#include "MarkupTestUtil.h"
#include "platform/gfx/PngImage.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/SystemIcons.h"
#include "ui/markup/MarkupText.h"
#include "ui/markup/PictureContainer.h"

using namespace plat;
using namespace ui;
using namespace markuptest;

namespace {

// A picture of a small sun: a yellow disc on blue, so the eye finds it.
std::vector<uint8_t> SunBytes() {
    TBitmap bitmap(24, 24, pf24bit);
    TCanvas& c = *bitmap.Canvas();
    c.Brush()->SetColor(RGB(90, 150, 230));
    c.FillRect(TRect(0, 0, 24, 24));
    c.Brush()->SetColor(clYellow);
    c.Pen()->SetColor(RGB(230, 140, 0));
    c.Ellipse(5, 5, 19, 19);
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

} // namespace

TEST(MarkupPicture, ShowsWhatCaptionsCanShow) {
    TPage page(760, 480);
    TCanvas& c = page.Canvas();
    const std::string sun = WriteFile("sun.bmp", SunBytes());
    THTMLPictureCache cache;
    TPictureContainer container(nullptr);
    TPictureItem* item = container.Items()->Add();
    item->SetName("tick");
    item->Picture()->LoadFromFile(WriteFile("tick.gif", GifBytes({1})));
    TImageList images(nullptr);
    images.AddImage(SystemIconImage(IDI_WARNING, 16));

    TMarkupOptions base;
    base.PictureCache = &cache;
    base.PictureContainer = &container;
    base.Images = &images;
    base.ShadowOffset = 1;

    int y = 8;
    auto row = [&](const char* label, const std::string& markup, int height, TMarkupOptions options) {
        c.Brush()->SetStyle(bsClear);
        c.Font()->SetColor(clGray);
        c.TextOut(8, y, label);
        c.Font()->SetColor(clBlack);
        c.Brush()->SetColor(clWhite);
        TMarkupResult result;
        DrawMarkupText(c, markup, TRect(130, y, 750, y + height), options, result);
        y += std::max(height, result.TotalHeight) + 10;
        return result;
    };

    row("Fonts",
        "<font face=\"Courier New\">Courier</font>, <font face=\"Times New Roman\" size=\"4\">Times "
        "14</font>, "
        "<b>bold</b>, <i>italic</i>, <u>underlined</u>, <s>struck out</s>, <font size=\"5\">size 5</font>",
        20, base);
    row("Colours",
        "<font color=\"clred\">red</font>, <font color=\"#008000\">green</font>, "
        "<font bgcolor=\"clyellow\">on yellow</font>, <hi>highlighted</hi>, <shad>shadowed</shad>, "
        "&euro; 5 &trade; &copy; &sect; &para;",
        20, base);
    row("Lists", "<ul><li>first item<li>second item<ul><li>nested item</ul><li>third item</ul>", 60, base);
    row("Sub, sup", "H<sub>2</sub>O and E = mc<sup>2</sup>, x<sub>i</sub><sup>n</sup>", 20, base);
    row("Pictures",
        "file <img src=\"FILE://" + sun + "\"> stretched <img src=\"FILE://" + sun +
            "\" width=\"40\" height=\"16\"> container <img src=\"tick\" width=\"12\" height=\"12\"> icons "
            "<img src=\"SSYS:32516\"> <img src=\"LSYS:32515\"> list <img src=\"IDX:0\"> top "
            "<img src=\"FILE://" +
            sun + "\" align=\"top\">",
        34, base);
    TMarkupOptions links = base;
    links.HoverColor = RGB(255, 240, 200);
    links.HoverFontColor = clRed;
    links.HoverOnly = true;
    links.HoverLinkNumber = 1;
    links.FocusLinkIndex = 1;
    row("Links",
        "<a href=\"https://hovered\">hovered link</a>, <a href=\"focused\">focused link</a>, "
        "<a href=\"plain\">plain link</a>",
        20, links);
    row("Error mark", "A <e>speling</e> mistake and <e>anothr</e> one.", 20, base);
    row("Body",
        "<body bgcolor=\"#3060C0\" bgcolorto=\"#E0F0FF\"><font color=\"clwhite\"><b>Gradient body</b></font> "
        "behind the text,<br><p align=\"right\">and a right-aligned line",
        40, base);
    row("Paragraph",
        "<p bgcolor=\"#FFE0C0\" bgcolorto=\"#FFFFFF\">A paragraph with a gradient<br>and its second line</p>"
        "<hr>after a rule",
        50, base);

    const std::string wrapped =
        "Wrapped <b>text</b> flows over as many lines as the <font color=\"clnavy\">width</font> needs; "
        "<a href=\"x\">links</a> wrap too.";
    const int top = y;
    for (int width : {110, 190, 300}) {
        static int x = 0;
        const int left = 130 + x;
        TMarkupResult r;
        c.Brush()->SetColor(clWhite);
        DrawMarkupText(c, wrapped, TRect(left, top, left + width, top + 120), base, r);
        c.Brush()->SetColor(clSilver);
        c.FrameRect(TRect(left - 2, top - 2, left + width + 2, top + r.TotalHeight + 2));
        x += width + 12;
    }
    c.Brush()->SetStyle(bsClear);
    c.Font()->SetColor(clGray);
    c.TextOut(8, top, "Three widths");

    std::vector<uint8_t> png = WritePng(PixelImageFromBitmap(page.Bitmap));
    TMemoryStream out;
    out.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
    out.SaveToFile(TestOutputDir("markup") + "/markup.png");

    // Not blank: the gradient body, the error marks and the picture are there.
    EXPECT_GT(page.Count(TRect(0, 0, 760, 480), clRed), 20);
    EXPECT_GT(page.Count(TRect(0, 0, 760, 480), clYellow), 50);
}
