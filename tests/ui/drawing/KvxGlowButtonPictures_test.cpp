// Pictures of glow buttons for people to look at: every suite style in every look and form, the key
// tips, and the glow of the default colours at a large size. Each picture is also checked for the
// faults a person would see (blank cells, missing glyphs or captions).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "ui/drawing/DBKvxGlowButton.h"
#include "ui/drawing/KvxGlowButton.h"

namespace {

using plat::TColor;
using plat::TPoint;
using plat::TRect;

// A 16×16 glyph: a green disc on magenta, which the list takes as transparent.
void AddDiscGlyph(plat::TImageList& list) {
    plat::TBitmap glyph;
    glyph.SetSize(16, 16);
    plat::TCanvas* c = glyph.Canvas();
    c->Brush()->SetColor(plat::clFuchsia);
    c->FillRect(TRect(0, 0, 16, 16));
    c->Brush()->SetColor(0x30A030);
    c->Pen()->SetColor(0x206020);
    c->Ellipse(2, 2, 14, 14);
    list.AddMasked(&glyph, plat::clFuchsia);
}

// Within a few steps per channel: the glow is sampled a pixel away from its exact centre.
bool Near(TColor a, TColor b) {
    return std::abs(plat::GetRValue(a) - plat::GetRValue(b)) <= 6 &&
           std::abs(plat::GetGValue(a) - plat::GetGValue(b)) <= 6 &&
           std::abs(plat::GetBValue(a) - plat::GetBValue(b)) <= 6;
}

std::string SaveBitmap(plat::TBitmap& bmp, const std::string& name) {
    return plat::TTestDriver::SavePng(bmp.Surface(), plat::TestOutputDir("drawing") + "/" + name);
}

// The cell shows something besides the face colours: a dark caption or glyph pixel (grey ones when
// disabled).
bool HasInk(plat::TBitmap& bmp, const TRect& cell, int darkest) {
    for (int y = cell.Top + 3; y < cell.Bottom - 3; ++y)
        for (int x = cell.Left + 3; x < cell.Right - 16; ++x) {
            const TColor c = bmp.Canvas()->Pixels(x, y);
            if (plat::GetRValue(c) + plat::GetGValue(c) + plat::GetBValue(c) < darkest)
                return true;
        }
    return false;
}

TEST(GlowButtonPictures, EveryStyleInEveryLookAndForm) {
    plat::TTestDriver driver;
    plat::TImageList images(nullptr);
    AddDiscGlyph(images);
    plat::TStringList notes;
    notes.Add("notes");
    plat::TFont font;
    font.SetName("Tahoma");
    font.SetSize(8);
    plat::TFont notesFont;
    notesFont.Assign(&font);
    notesFont.SetColor(0x505050);

    const ui::TGlowLookKind looks[] = {ui::glNormal, ui::glHot, ui::glDown, ui::glChecked, ui::glDisabled};
    struct Form {
        bool DropDown;
        bool Split;
        ui::TDropDownPosition Where;
    };
    const Form forms[] = {
        {false, false, ui::dpRight}, {true, true, ui::dpRight}, {true, false, ui::dpBottom}};
    const int cellW = 112, cellH = 56, gap = 4, labelW = 130;
    const int rows = ui::tsOffice2007Silver + 1;
    plat::TBitmap sheet;
    sheet.SetSize(labelW + int(std::size(forms) * std::size(looks)) * (cellW + gap),
                  rows * (cellH + gap) + gap);
    plat::TCanvas* c = sheet.Canvas();
    c->Brush()->SetColor(0xF0F0F0);
    c->FillRect(TRect(0, 0, sheet.Width(), sheet.Height()));

    for (int style = 0; style < rows; ++style) {
        ui::TKvxGlowButton styled(nullptr);
        styled.ApplyStyle(static_cast<ui::TKVXStyle>(style));
        const int top = gap + style * (cellH + gap);
        c->Font()->Assign(&font);
        c->Brush()->SetStyle(plat::bsClear);
        c->TextOut(4, top + cellH / 2 - 6, ui::kKVXStyleNames[style]);
        int column = 0;
        for (const Form& form : forms)
            for (ui::TGlowLookKind look : looks) {
                ui::TGlowFaceParams p;
                const int left = labelW + column++ * (cellW + gap);
                p.R = TRect(0, 0, cellW, cellH);
                p.Look = styled.Appearance()->Look(look);
                p.Caption = "Glow";
                p.Font = &font;
                p.Notes = &notes;
                p.NotesFont = &notesFont;
                p.Images = &images;
                p.ImageIndex = 0;
                p.EnabledImage = look != ui::glDisabled;
                p.Enabled = look != ui::glDisabled;
                p.DropDownButton = form.DropDown;
                p.DropDownSplit = form.Split;
                p.DropDownPosition = form.Where;
                p.SplitLook = look == ui::glHot || look == ui::glDown;
                p.DropDownState = look == ui::glHot ? 1 : look == ui::glDown ? 2 : 0;
                p.FocusBorder = look == ui::glNormal && column == 1;
                // Faces paint from their own origin, as a button's client area does.
                plat::TBitmap cell;
                cell.SetSize(cellW, cellH);
                ui::DrawGlowButtonFace(cell.Canvas(), p);
                c->Draw(left, top, &cell);
                EXPECT_TRUE(
                    HasInk(sheet, plat::Bounds(left, top, cellW, cellH), look == ui::glDisabled ? 400 : 200))
                    << ui::kKVXStyleNames[style] << " cell " << column;
            }
    }
    SaveBitmap(sheet, "glow-buttons.png");
}

TEST(GlowButtonPictures, GlowReference) {
    plat::TTestDriver driver;
    const ui::TGlowButtonAppearance defaults;
    const ui::TGlowLookKind looks[] = {ui::glNormal, ui::glHot, ui::glDown, ui::glChecked, ui::glDisabled};
    const int w = 200, h = 80;
    plat::TBitmap sheet;
    sheet.SetSize(std::size(looks) * (w + 8) + 8, h + 16);
    sheet.Canvas()->Brush()->SetColor(plat::clWhite);
    sheet.Canvas()->FillRect(TRect(0, 0, sheet.Width(), sheet.Height()));
    int i = 0;
    for (ui::TGlowLookKind look : looks) {
        ui::TGlowFaceParams p;
        p.R = TRect(0, 0, w, h);
        p.Look = defaults.Look(look);
        plat::TBitmap cell;
        cell.SetSize(w, h);
        ui::DrawGlowButtonFace(cell.Canvas(), p);
        // A radial half glows: its centre colour at the middle of its outer edge.
        if (p.Look.Gradient == ui::ggRadial) {
            EXPECT_TRUE(Near(cell.Canvas()->Pixels(w / 2, 1), p.Look.ColorTo)) << "look " << look;
        }
        if (p.Look.GradientMirror == ui::ggRadial) {
            EXPECT_TRUE(Near(cell.Canvas()->Pixels(w / 2, h - 2), p.Look.ColorMirrorTo)) << "look " << look;
        }
        sheet.Canvas()->Draw(8 + i++ * (w + 8), 8, &cell);
    }
    SaveBitmap(sheet, "glow-reference.png");
}

TEST(GlowButtonPictures, KeyTips) {
    plat::TTestDriver driver;
    auto* form = plat::NewForm<plat::TForm>(plat::Application);
    form->SetBoundsRect(TRect(100, 100, 460, 220));
    const char* tips[] = {"S", "O", "FX"};
    ui::TKvxGlowButton* buttons[3];
    for (int i = 0; i < 3; ++i) {
        auto* b = new ui::TKvxGlowButton(form);
        b->SetParent(form);
        b->SetBoundsRect(plat::Bounds(16 + i * 110, 30, 100, 41));
        b->SetCaption(std::string("Button ") + tips[i]);
        b->SetShortCutHint(tips[i]);
        b->SetShortCutHintPos(i == 0 ? ui::shpTop : i == 1 ? ui::shpBottom : ui::shpCenter);
        b->ApplyStyle(ui::tsOffice2007Luna);
        buttons[i] = b;
    }
    form->Show();
    driver.Pump();
    for (auto* b : buttons)
        b->ShowShortCutHint();
    driver.Pump();
    auto image = driver.RenderScreen(TRect(100, 100, 460, 220));
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("drawing") + "/key-tips.png");
    // The tip of the first button sits over its top edge and shows its gradient and text.
    const TRect tip = buttons[0]->ShortCutHintWindow()->BoundsRect();
    EXPECT_LT(tip.Top, buttons[0]->ClientOrigin().Y);
    EXPECT_GT(tip.Bottom, buttons[0]->ClientOrigin().Y);
    EXPECT_EQ(plat::TTestDriver::PixelOf(*image, tip.Left - 100, tip.Top - 100), 0x808080) << "the outline";
}

// Every layout of glyph and caption, in anti-aliased text (top row) and in plain text (bottom row).
TEST(GlowButtonPictures, Layouts) {
    plat::TTestDriver driver;
    plat::TImageList images(nullptr);
    AddDiscGlyph(images);
    plat::TFont font;
    font.SetName("Tahoma");
    font.SetSize(8);
    const int w = 120, h = 56, n = ui::blGlyphBottomAdjusted + 1;
    plat::TBitmap sheet;
    sheet.SetSize(n * (w + 6) + 6, 2 * (h + 6) + 6);
    sheet.Canvas()->Brush()->SetColor(plat::clWhite);
    sheet.Canvas()->FillRect(TRect(0, 0, sheet.Width(), sheet.Height()));
    for (int row = 0; row < 2; ++row)
        for (int layout = 0; layout < n; ++layout) {
            ui::TGlowFaceParams p;
            p.R = TRect(0, 0, w, h);
            p.Look = ui::TGlowButtonAppearance().Look(ui::glNormal);
            p.Caption = "&Layout";
            p.Font = &font;
            p.Images = &images;
            p.ImageIndex = 0;
            p.Layout = static_cast<ui::TButtonLayout>(layout);
            p.AntiAlias = row == 0 ? ui::aaClearType : ui::aaNone;
            plat::TBitmap cell;
            cell.SetSize(w, h);
            ui::DrawGlowButtonFace(cell.Canvas(), p);
            const TRect at = plat::Bounds(6 + layout * (w + 6), 6 + row * (h + 6), w, h);
            sheet.Canvas()->Draw(at.Left, at.Top, &cell);
            EXPECT_TRUE(HasInk(sheet, at, 200)) << ui::kButtonLayoutNames[layout] << " row " << row;
        }
    SaveBitmap(sheet, "glow-layouts.png");
}

// Every action of the data-aware button with its glyph, enabled (top row) and disabled (bottom row).
TEST(GlowButtonPictures, DataAwareGlyphs) {
    plat::TTestDriver driver;
    auto* form = plat::NewForm<plat::TForm>(plat::Application);
    form->SetBoundsRect(TRect(0, 0, 11 * 44 + 24, 140));
    for (int row = 0; row < 2; ++row)
        for (int type = ui::dbFirst; type <= ui::dbRefresh; ++type) {
            auto* b = new ui::TDBKvxGlowButton(form);
            b->SetParent(form);
            b->SetBoundsRect(plat::Bounds(8 + (type - 1) * 44, 8 + row * 48, 40, 40));
            b->SetAutoDisable(false);
            b->SetDBButtonType(static_cast<ui::TDBGlowButtonType>(type));
            b->SetEnabled(row == 0);
            b->LoadActionGlyph();
            ASSERT_NE(b->InternalGlyphs(), nullptr);
            EXPECT_EQ(b->InternalGlyphs()->Count(), 1);
        }
    form->Show();
    driver.Pump();
    auto image = driver.Render(form);
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("drawing") + "/glow-data-aware.png");
}

} // namespace
