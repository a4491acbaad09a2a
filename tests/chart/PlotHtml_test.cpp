#include <gtest/gtest.h>

#include <fstream>

#include "PlotCanvasTestUtil.h"
#include "chart/PlotHtml.h"
#include "platform/rtl/StringUtils.h"

namespace {

using namespace charttest;

// What one text output looked like.
struct TRun {
    int X, Y;
    std::string Text;
    int Size;
    TFontStyles Style;
    TColor Color;
    std::string Name;
};

class TRecordingCanvas : public TPlotCanvas3D {
public:
    std::vector<TRun> Runs;
    void TextOut(int X, int Y, const std::string& Text) override {
        Runs.push_back({X, Y, Text, Font()->Size(), Font()->Style(), Font()->Color(), Font()->Name()});
        TPlotCanvas3D::TextOut(X, Y, Text);
    }
};

struct TMarkup : ::testing::Test {
    TBitmap Target{300, 200};
    TRecordingCanvas Canvas;
    void SetUp() override {
        Canvas.SetBuffered(false);
        Canvas.InitWindow(Target.Canvas(), nullptr, clWhite, false, TRect(0, 0, 300, 200));
        Canvas.ResetToDefaults();
        Canvas.Brush()->SetColor(clWhite);
        Canvas.FillRect(TRect(0, 0, 300, 200));
    }
    // Line height and width of a text at a font size, measured on a scratch font.
    int HeightAt(int size) {
        TFont saved;
        saved.Assign(Canvas.Font());
        Canvas.Font()->SetSize(size);
        int h = Canvas.FontHeight();
        Canvas.Font()->Assign(&saved);
        return h;
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const TRun& r : Canvas.Runs)
            out.push_back(r.Text);
        return out;
    }
};

TEST_F(TMarkup, BreakMovesTwoLinesBecauseTheLineHeightWasReset) {
    const int fh = Canvas.FontHeight();
    DrawChartMarkup(Canvas, 10, 20, "A<BR>B");
    ASSERT_EQ(Canvas.Runs.size(), 2u);
    EXPECT_EQ(Canvas.Runs[0].X, 10);
    EXPECT_EQ(Canvas.Runs[0].Y, 20);
    EXPECT_EQ(Canvas.Runs[1].X, 10);
    EXPECT_EQ(Canvas.Runs[1].Y, 20 + 2 * fh);
}

TEST_F(TMarkup, TrailingLineBreakOfARunStartsTheNextLine) {
    const int fh = Canvas.FontHeight();
    DrawChartMarkup(Canvas, 0, 0, "ab\r\n<B>c");
    ASSERT_EQ(Texts(), (std::vector<std::string>{"ab", "c"}));
    EXPECT_EQ(Canvas.Runs[1].X, 0);
    EXPECT_EQ(Canvas.Runs[1].Y, fh);
    EXPECT_TRUE(Canvas.Runs[1].Style & fsBold);
}

TEST_F(TMarkup, SuperscriptUsesHalfTheSizeAndMovesBack) {
    const int size = Canvas.Font()->Size();
    const int small = HeightAt(size / 2);
    const int wx = Canvas.TextWidth("x");
    DrawChartMarkup(Canvas, 0, 50, "x<SUPER>2</SUPER>y");
    ASSERT_EQ(Texts(), (std::vector<std::string>{"x", "2", "y"}));
    EXPECT_EQ(Canvas.Runs[1].Size, size / 2);
    EXPECT_EQ(Canvas.Runs[1].X, wx);
    EXPECT_EQ(Canvas.Runs[1].Y, 50 - small / 2); // half the small line height higher
    // The text after the script goes on at the line's own height.
    EXPECT_EQ(Canvas.Runs[2].Size, size);
    EXPECT_EQ(Canvas.Runs[2].Y, 50);
}

TEST_F(TMarkup, SubscriptGoesDownAndTheLineGoesOn) {
    const int size = Canvas.Font()->Size();
    const int small = HeightAt(size / 2);
    DrawChartMarkup(Canvas, 0, 50, "H<SUB>2</SUB>O");
    ASSERT_EQ(Texts(), (std::vector<std::string>{"H", "2", "O"}));
    EXPECT_EQ(Canvas.Runs[1].Y, 50 + small); // one small line lower
    EXPECT_EQ(Canvas.Runs[2].Y, 50);
}

TEST_F(TMarkup, GenericCloseEndsTheLastStyleOrRestoresTheLastFont) {
    Canvas.Font()->SetColor(clGreen);
    DrawChartMarkup(Canvas, 0, 0, "<B>bold</>plain<FONT COLOR=RED>red</>after");
    ASSERT_EQ(Texts(), (std::vector<std::string>{"bold", "plain", "red", "after"}));
    EXPECT_TRUE(Canvas.Runs[0].Style & fsBold);
    EXPECT_FALSE(Canvas.Runs[1].Style & fsBold);
    EXPECT_EQ(Canvas.Runs[2].Color, clRed);
    EXPECT_EQ(Canvas.Runs[3].Color, clGreen);
}

TEST_F(TMarkup, GenericCloseWithNothingToCloseIsText) {
    DrawChartMarkup(Canvas, 0, 0, "</>x");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"</", "x"}));
}

TEST_F(TMarkup, SavedFontKeepsEveryStyleWord) {
    const int size = Canvas.Font()->Size();
    DrawChartMarkup(Canvas, 0, 0, "<B><I><BIG>x</BIG>y");
    ASSERT_EQ(Texts(), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(Canvas.Runs[0].Size, size + 2);
    EXPECT_EQ(Canvas.Runs[1].Size, size);
    EXPECT_EQ(Canvas.Runs[1].Style, fsBold | fsItalic);
}

TEST_F(TMarkup, EntitiesAreReplacedOnceInOrder) {
    DrawChartMarkup(Canvas, 0, 0, "&amp;lt; &quot;q&quot; &gt;");
    EXPECT_EQ(Texts(), std::vector<std::string>{"&lt; \"q\" >"});
}

TEST_F(TMarkup, FontTagsSetNameSizeColourAndWeight) {
    const int size = Canvas.Font()->Size();
    DrawChartMarkup(Canvas, 0, 0,
                    "<FONT NAME=\"Courier New\" SIZE=+4 COLOR=#FF8000 WEIGHT=bold, underline>a</FONT>"
                    "<PRE>b</PRE><SMALL>c");
    ASSERT_EQ(Canvas.Runs.size(), 3u);
    EXPECT_EQ(Canvas.Runs[0].Name, "Courier New");
    EXPECT_EQ(Canvas.Runs[0].Size, size + 4);
    EXPECT_EQ(Canvas.Runs[0].Color, 0x0080FF);
    EXPECT_EQ(Canvas.Runs[0].Style, fsBold | fsUnderline);
    EXPECT_EQ(Canvas.Runs[1].Name, "COURIER NEW");
    EXPECT_EQ(Canvas.Runs[2].Name, ChartDefaultFontName());
    EXPECT_EQ(Canvas.Runs[2].Size, size - 2);
}

TEST_F(TMarkup, BadMarkupRaisesItsFixedMessages) {
    struct {
        const char* Text;
        const char* Message;
    } cases[] = {{"x<FONT WEIGHT=HEAVY>y", "Unknown field in FONT WEIGHT=HEAVY"},
                 {"<FONT FACE=Arial>", "Unknown field in FONT: FACE"},
                 {"ab<B", "Missing > at B"}};
    for (const auto& c : cases) {
        try {
            DrawChartMarkup(Canvas, 0, 0, c.Text);
            ADD_FAILURE() << c.Text;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
    EXPECT_THROW(DrawChartMarkup(Canvas, 0, 0, "ab<B"), HtmlParserException);
    EXPECT_THROW(DrawChartMarkup(Canvas, 0, 0, "<FONT SIZE=big>"), EConvertError);
    EXPECT_THROW(DrawChartMarkup(Canvas, 0, 0, "<FONT COLOR=mauve>"), EConvertError);
}

TEST(MarkupColor, NamesHexConstantsAndNumbers) {
    EXPECT_EQ(MarkupColor(" red "), 0x0000FF);
    EXPECT_EQ(MarkupColor("Lime"), 0x00FF00);
    EXPECT_EQ(MarkupColor("#102030"), 0x302010);
    EXPECT_EQ(MarkupColor("clNavy"), clNavy);
    EXPECT_EQ(MarkupColor("4242"), 4242);
    EXPECT_THROW(MarkupColor("#12"), EConvertError);
}

TEST_F(TMarkup, MeasuringDrawsNothingAndLeavesTheHeadingFont) {
    Canvas.Font()->SetSize(48);
    const int w = Canvas.TextWidth("Title"), h = Canvas.FontHeight();
    Canvas.Font()->SetSize(ChartDefaultFontSize());
    const TSize size = MeasureChartMarkup(Canvas, "<H1>Title<HR><IMG SRC=\"x.png\">");
    EXPECT_EQ(size, TSize(w, h));
    EXPECT_EQ(Canvas.Font()->Size(), 48);
    EXPECT_TRUE(Canvas.Runs.empty());
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(PixelToColor(Target.Surface().Row(y)[x] & 0xFFFFFF), clWhite);
}

TEST_F(TMarkup, MeasuredHeightCoversEveryLine) {
    const int fh = Canvas.FontHeight();
    const TSize one = MeasureChartMarkup(Canvas, "Ab");
    EXPECT_EQ(one.cy, fh);
    const TSize three = MeasureChartMarkup(Canvas, "Ab<BR>c<P>Abc");
    EXPECT_EQ(three.cy, 5 * fh); // each break leaves an empty line
    EXPECT_EQ(three.cx, Canvas.TextWidth("Abc"));
}

TEST_F(TMarkup, CentredRunsSitOnTheMiddleOfTheBounds) {
    const int w = Canvas.TextWidth("mid");
    DrawChartMarkup(Canvas, 0, 0, "<CENTER>mid</CENTER>");
    ASSERT_EQ(Canvas.Runs.size(), 1u);
    EXPECT_EQ(Canvas.Runs[0].X, 150 - w / 2);
}

// Saved fonts and styles belong to one call: an unbalanced text does not leak into the next.
TEST_F(TMarkup, StacksDoNotCarryOverBetweenCalls) {
    DrawChartMarkup(Canvas, 0, 0, "<B><FONT SIZE=20>open");
    Canvas.Font()->SetSize(10);
    Canvas.Font()->SetStyle(0);
    Canvas.Runs.clear();
    DrawChartMarkup(Canvas, 0, 0, "</>a</FONT>b");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"</", "a", "b"}));
    EXPECT_EQ(Canvas.Runs[2].Size, 10);

    auto draw = [&] {
        Canvas.Runs.clear();
        Canvas.Font()->SetSize(10);
        DrawChartMarkup(Canvas, 0, 0, "<B>a</B><FONT SIZE=14>b</FONT><BIG>c</>d");
        return Canvas.Runs;
    };
    const auto first = draw();
    const auto second = draw();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].Size, second[i].Size);
        EXPECT_EQ(first[i].Style, second[i].Style);
        EXPECT_EQ(first[i].X, second[i].X);
    }
}

TEST_F(TMarkup, MissingPictureShowsAPlaceholderInPlace) {
    MarkupGraphicForExtension = nullptr;
    DrawChartMarkup(Canvas, 0, 0, "<IMG SRC=\"none.png\" WIDTH=20>x");
    auto at = [&](int x, int y) { return PixelToColor(Target.Surface().Row(y)[x] & 0xFFFFFF); };
    EXPECT_EQ(at(0, 0), clRed);
    EXPECT_EQ(at(19, 39), clRed);
    EXPECT_EQ(at(10, 5), clWhite);
    int reds = 0; // both sides and both diagonals
    for (int x = 0; x < 30; ++x)
        reds += at(x, 30) == clRed;
    EXPECT_EQ(reds, 4);
    ASSERT_EQ(Canvas.Runs.size(), 1u);
    EXPECT_EQ(Canvas.Runs[0].X, 0); // the placeholder does not move the position
}

struct TFakeFormat : IMarkupPictureFormat {
    static inline int Alive = 0;
    static inline int Made = 0;
    std::string Ext;
    bool HasGraphic;
    TFakeFormat(std::string e, bool g) : Ext(std::move(e)), HasGraphic(g) {
        ++Alive;
        ++Made;
    }
    ~TFakeFormat() override { --Alive; }
    std::string FileExtension() override { return Ext; }
    std::unique_ptr<TGraphic> NewGraphic() override {
        return HasGraphic ? std::make_unique<TPngImage>() : nullptr;
    }
};

TEST(MarkupPictureHook, FirstRegisteredFormatOfTheExtensionDecides) {
    std::vector<TMarkupPictureFormatClass> formats = {
        [] { return std::make_unique<TFakeFormat>("bmp", true); },
        [] { return std::make_unique<TFakeFormat>("emf", false); },
        [] { return std::make_unique<TFakeFormat>("png", true); },
        [] { return std::make_unique<TFakeFormat>("PNG", false); },
    };
    TFakeFormat::Made = 0;
    auto g = GraphicForFormatExtension(".png", &formats);
    ASSERT_NE(g, nullptr);
    EXPECT_NE(dynamic_cast<TPngImage*>(g.get()), nullptr);
    EXPECT_EQ(TFakeFormat::Made, 3);
    EXPECT_EQ(TFakeFormat::Alive, 0);
    EXPECT_EQ(GraphicForFormatExtension(".EMF", &formats), nullptr);
    EXPECT_EQ(GraphicForFormatExtension(".gif", &formats), nullptr);
    EXPECT_EQ(GraphicForFormatExtension(".png", nullptr), nullptr);
}

// A sample picture of the markup: several fonts, colours, sub- and superscripts and a picture.
TEST_F(TMarkup, PictureOfMarkupText) {
    // A small picture for the IMG tag, written as a PNG file.
    TBitmap icon(24, 24);
    TCanvas* ic = icon.Canvas();
    ic->Brush()->SetColor(clYellow);
    ic->FillRect(TRect(0, 0, 24, 24));
    ic->Brush()->SetColor(clBlue);
    ic->Ellipse(3, 3, 21, 21);
    TPngImage png;
    png.Assign(&icon);
    const std::string file = (OutputDir() / "markup-icon.png").string();
    png.SaveToFile(file);

    std::vector<TMarkupPictureFormatClass> formats = {
        [] { return std::make_unique<TFakeFormat>("png", true); }};
    MarkupGraphicForExtension = [&](const std::string& ext) {
        return GraphicForFormatExtension(ext, &formats);
    };
    MarkupLoadPictureData = [](const std::string& path, TStream& stream) {
        TMemoryStream m;
        m.LoadFromFile(path);
        m.SaveToStream(stream);
        return false;
    };
    Canvas.Font()->SetSize(10);
    DrawChartMarkup(
        Canvas, 8, 4,
        "<H4>Lumetra <FONT COLOR=RED>markup</FONT></H4><BR>"
        "<B>bold</B>, <I>italic</I>, <U>underline</U>, <FONT COLOR=#008000 SIZE=14>green 14</FONT>"
        "<BR>H<SUB>2</SUB>O and E = mc<SUPER>2</SUPER> &lt;tags&gt; &amp; "
        "<FONT NAME=\"Courier New\" COLOR=BLUE>courier</FONT><BR>"
        "<IMG SRC=\"" +
            file + "\"> picture, then <IMG SRC=\"" + file +
            "\" WIDTH=48 HEIGHT=12> stretched<BR><HR>after the rule");
    MarkupGraphicForExtension = nullptr;
    MarkupLoadPictureData = nullptr;
    // The picture was drawn: a blue pixel from its middle lies on the canvas.
    int blue = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            blue += PixelToColor(Target.Surface().Row(y)[x] & 0xFFFFFF) == clBlue;
    EXPECT_GT(blue, 100);
    SavePng(Target, "markup-text.png");
}

} // namespace
