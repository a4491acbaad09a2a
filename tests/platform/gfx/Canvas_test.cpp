#include "platform/gfx/Canvas.h"

#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/GfxTestUtil.h"
#include "platform/rtl/PropertyInfo.h"

using namespace plat;

TEST(Canvas, AttributeObjectsReportOnlyRealChanges) {
    TPen pen;
    TBrush brush;
    TFont font;
    int changes = 0;
    auto count = [&](TObject*) { ++changes; };
    pen.OnChange = brush.OnChange = font.OnChange = count;
    pen.SetColor(clBlack); // unchanged
    pen.SetColor(clRed);
    pen.SetWidth(3);
    pen.SetStyle(psDot);
    pen.SetMode(pmXor);
    brush.SetStyle(bsClear);
    brush.SetColor(clBlue); // a colour on a clear brush makes it solid
    EXPECT_EQ(brush.Style(), bsSolid);
    font.SetSize(10);
    font.SetSize(10);
    font.SetStyle(fsBold | fsItalic);
    font.SetName("Arial");
    EXPECT_EQ(changes, 9);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Size(), 10);
    TLogFont lf = font.LogFont();
    EXPECT_EQ(lf.Weight, FW_BOLD);
    EXPECT_TRUE(lf.Italic);
    TFont other;
    other.Assign(&font);
    EXPECT_EQ(other.Name(), "Arial");
    EXPECT_EQ(other.Style(), fsBold | fsItalic);
    EXPECT_THROW(pen.Assign(&font), EConvertError);
}

// Layouts set pens, brushes and fonts through their published properties; a new object holds every
// default, so nothing of an untouched attribute is written.
TEST(Canvas, AttributeObjectsPublishTheirPropertiesWithTheDefaultsTheyStartWith) {
    TPen pen;
    TBrush brush;
    TFont font;
    struct Case {
        TPersistent* object;
        std::vector<std::string> names;
    };
    for (const Case& c : {Case{&pen, {"Color", "Mode", "Style", "Width"}}, Case{&brush, {"Color", "Style"}},
                          Case{&font, {"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}}}) {
        SCOPED_TRACE(c.object->ClassName());
        std::vector<std::string> names;
        for (const TPropInfo* p : GetPropList(c.object->ClassType())) {
            names.emplace_back(p->Name);
            // A stored font writes all of itself, so a control's font never falls back to its parent's.
            const bool fontValue = c.object == &font && p->Name != std::string("Pitch");
            if (fontValue)
                EXPECT_FALSE(p->IsStored(c.object) && IsDefaultPropValue(c.object, p)) << p->Name;
            else
                EXPECT_TRUE(!p->IsStored(c.object) || IsDefaultPropValue(c.object, p)) << p->Name;
        }
        EXPECT_EQ(names, c.names);
    }

    SetEnumProp(&pen, "Mode", "pmXor");
    SetOrdProp(&pen, "Width", 3);
    EXPECT_EQ(pen.Mode(), pmXor);
    EXPECT_EQ(pen.Width(), 3);
    SetEnumProp(&brush, "Style", "bsClear");
    EXPECT_EQ(brush.Style(), bsClear);
    EXPECT_FALSE(IsDefaultPropValue(&brush, GetPropInfo(&brush, "Style")));
    EXPECT_THROW(SetEnumProp(&brush, "Style", "bsPlaid"), EPropertyError);

    // Size is taken from layouts but written as Height, which keeps sizes between whole points.
    SetOrdProp(&font, "Size", 10);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_FALSE(GetPropInfo(&font, "Size")->IsStored(&font));
    SetOrdProp(&font, "Style", fsBold | fsStrikeOut);
    EXPECT_EQ(font.Style(), fsBold | fsStrikeOut);
    SetStrProp(&font, "Name", "Tahoma");
    EXPECT_EQ(GetStrProp(&font, "Name"), "Tahoma");
}

TEST(Canvas, DrawsThroughItsContextWithPenModeAndBrush) {
    TBitmap b(40, 30);
    TCanvas* c = b.Canvas();
    int changing = 0, changed = 0;
    c->OnChanging = [&](TObject*) { ++changing; };
    c->OnChange = [&](TObject*) { ++changed; };
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, 40, 30));
    c->Pen()->SetColor(clRed);
    c->MoveTo(2, 2);
    c->LineTo(12, 2);
    EXPECT_EQ(c->PenPos(), TPoint(12, 2));
    EXPECT_EQ(c->Pixels(11, 2), clRed);
    EXPECT_EQ(c->Pixels(12, 2), clWhite);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);

    // An XOR rubber band drawn twice leaves nothing behind.
    c->Pen()->SetMode(pmNotXor);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(5, 5, 30, 25);
    EXPECT_EQ(c->Pixels(5, 5), clBlack);
    c->Rectangle(5, 5, 30, 25);
    EXPECT_EQ(c->Pixels(5, 5), clWhite);
    c->Pen()->SetMode(pmCopy);

    // Text moves the pen position to its end; a solid brush paints the text background.
    c->Brush()->SetColor(clYellow);
    c->Font()->SetName("Arial");
    c->Font()->SetColor(clBlack);
    int w = c->TextWidth("Hi");
    c->TextOut(1, 10, "Hi");
    EXPECT_EQ(c->PenPos(), TPoint(1 + w, 10));
    EXPECT_EQ(c->Pixels(1, 10), clYellow);
    EXPECT_EQ(c->TextHeight("Hi"), c->TextExtent("Hi").cy);

    // Clip rectangle and copying between canvases.
    EXPECT_EQ(c->ClipRect(), TRect(0, 0, 40, 30));
    TBitmap small(2, 2);
    small.Canvas()->Brush()->SetColor(clGreen);
    small.Canvas()->FillRect(TRect(0, 0, 2, 2));
    c->CopyRect(TRect(30, 20, 34, 24), small.Canvas(), TRect(0, 0, 2, 2));
    EXPECT_EQ(c->Pixels(33, 23), clGreen);
    c->SetCopyMode(SRCINVERT);
    c->CopyRect(TRect(30, 20, 34, 24), small.Canvas(), TRect(0, 0, 2, 2));
    EXPECT_EQ(c->Pixels(33, 23), clBlack);
    c->SetCopyMode(SRCCOPY);
    c->StretchDraw(TRect(0, 0, 4, 4), &small);
    EXPECT_EQ(c->Pixels(3, 3), clGreen);
    EXPECT_EQ(c->Pixels(4, 4), clWhite);

    c->Lock();
    c->Lock();
    EXPECT_EQ(c->LockCount(), 2);
    c->Unlock();
    c->Unlock();
    EXPECT_EQ(c->LockCount(), 0);
}

TEST(Canvas, EdgesAndFrameControlsUseTheClassicColours) {
    gfxtest::TScene s(40, 40, clBlack);
    TRect r(0, 0, 20, 20);
    DrawEdge(s.Dc, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(r, TRect(2, 2, 18, 18));
    EXPECT_EQ(s.At(0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(s.At(19, 19), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(s.At(1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(s.At(18, 18), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.At(10, 10), ColorToRGB(clBtnFace));

    s.Clear(ColorToRGB(clBtnFace));
    TRect box(0, 0, 13, 13);
    DrawFrameControl(s.Dc, box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(s.InkBox(ColorToRGB(clBtnFace)), TRect(0, 0, 13, 13));
    EXPECT_EQ(s.At(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.At(2, 2), ColorToRGB(clWindow));
    int marks = 0;
    for (int y = 2; y < 11; ++y)
        for (int x = 2; x < 11; ++x)
            marks += s.At(x, y) == ColorToRGB(clWindowText);
    EXPECT_EQ(marks, 21);

    // Focus rectangles invert alternate pixels and vanish when drawn again.
    s.Clear(clWhite);
    DrawFocusRect(s.Dc, TRect(2, 2, 10, 8));
    EXPECT_EQ(s.RowMask(2, 2, 10, clBlack), "#.#.#.#.");
    DrawFocusRect(s.Dc, TRect(2, 2, 10, 8));
    EXPECT_EQ(s.InkBox(clWhite), TRect());
}
