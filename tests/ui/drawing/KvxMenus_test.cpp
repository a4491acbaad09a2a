// The owner-drawn menus: their stylers, item handlers, measuring, the look of open drop-downs and of
// the bar, the MDI window list and layouts that carry them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StandardClasses.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "ui/drawing/KvxMenuStylers.h"
#include "ui/drawing/KvxMenus.h"

using namespace plat;
using namespace ui;

namespace {

TMenuItem* Add(TComponent* Owner, TMenuItem* Parent, const std::string& Caption) {
    auto* it = new TMenuItem(Owner);
    it->SetCaption(Caption);
    Parent->Add(it);
    return it;
}

std::string SavePicture(const TImageSurface& Image, const std::string& Name) {
    return TTestDriver::SavePng(Image, TestOutputDir("drawing") + "/" + Name);
}

class KvxMenusTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 480, 320);
        Form->SetCaption("Menus");
        Form->Show();
        Driver.Pump();
    }
    void TearDown() override { SetMenuLoopHook(nullptr); }

    // A popup with everything a drop-down can show.
    TKvxPopupMenu* RichPopup() {
        auto* p = new TKvxPopupMenu(Form);
        Open = Add(Form, p->Items(), "&Open\\nRecent files");
        Save = Add(Form, p->Items(), "&Save");
        Save->SetShortCut(TShortCut(scCtrl | 'S'));
        Check = Add(Form, p->Items(), "&Grid lines");
        Check->SetChecked(true);
        Add(Form, p->Items(), "-");
        Radio = Add(Form, p->Items(), "&Linear scale");
        Radio->SetRadioItem(true);
        Radio->SetChecked(true);
        Add(Form, p->Items(), "Lo&g scale")->SetRadioItem(true);
        Sub = Add(Form, p->Items(), "&Export");
        SubA = Add(Form, Sub, "As &PNG");
        SubB = Add(Form, Sub, "As &CSV");
        return p;
    }

    // Shows the popup at Where and runs Inside in its loop.
    void RunPopup(TPopupMenu* Menu, TPoint Where, std::function<void()> Inside) {
        SetMenuLoopHook([Inside](TMenu*) { Inside(); });
        Menu->Popup(Where.X, Where.Y);
        SetMenuLoopHook(nullptr);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TMenuItem *Open = nullptr, *Save = nullptr, *Check = nullptr, *Radio = nullptr, *Sub = nullptr;
    TMenuItem *SubA = nullptr, *SubB = nullptr;
};

TEST_F(KvxMenusTest, MenusKeepAStylerFromConstructionToDestruction) {
    auto* main = new TKvxMainMenu(Form);
    auto* popup = new TKvxPopupMenu(Form);
    for (IKvxMenu* m : std::initializer_list<IKvxMenu*>{main, popup}) {
        TMenu* menu = m->GetMenu();
        EXPECT_TRUE(menu->OwnerDraw());
        EXPECT_EQ(GetStrProp(menu, "Version"), "2.5.2.1");
        SetStrProp(menu, "Version", "9.9");
        EXPECT_EQ(GetStrProp(menu, "Version"), "2.5.2.1") << "writing the version does nothing";
        ASSERT_NE(m->GetStylerInUse(), nullptr);
        EXPECT_EQ(m->GetMenuStyler(), nullptr);
        EXPECT_EQ(m->GetStylerInUse()->Name(), "InternalMenuStyler");
        EXPECT_EQ(m->GetStylerInUse()->Menu(), m);

        auto* styler = new TKvxMenuOfficeStyler(Form);
        m->SetMenuStyler(styler);
        EXPECT_EQ(m->GetStylerInUse(), styler);
        EXPECT_EQ(menu->FindComponent("InternalMenuStyler"), nullptr) << "the internal styler went";
        EXPECT_EQ(styler->Menu(), m);
        delete styler;
        ASSERT_NE(m->GetStylerInUse(), nullptr) << "a removed styler makes way for a fresh internal one";
        EXPECT_EQ(m->GetMenuStyler(), nullptr);
        EXPECT_EQ(m->GetStylerInUse()->IconBar()->Color(), 0xFFF9F9) << "in the default look";
    }
    EXPECT_TRUE(dynamic_cast<TKvxMenuStyler*>(main->GetStylerInUse()));
    EXPECT_FALSE(dynamic_cast<TKvxMenuStyler*>(popup->GetStylerInUse()));

    auto* shared = new TKvxMenuStyler(Form);
    popup->SetMenuStyler(shared);
    delete popup;
    EXPECT_EQ(shared->Menu(), nullptr) << "the styler forgets a menu that went";
    shared->IconBar()->SetSize(40); // reaches no menu
    main->SetMenuStyler(shared);
    delete main;
    EXPECT_EQ(shared->Menu(), nullptr);
    shared->Font()->SetSize(14); // a main menu follows its styler's font while it lives, not after
    bool on = true;
    SystemParametersInfo(SPI_GETMENUANIMATION, 0, &on);
    EXPECT_FALSE(on) << "menu animation is off while the menus are in use";
}

TEST_F(KvxMenusTest, ItemsGetTheHandlersButKeepTheUsersOwn) {
    auto* popup = new TKvxPopupMenu(Form);
    TMenuItem* plain = Add(Form, popup->Items(), "Plain");
    auto* mine = new TMenuItem(Form);
    int measured = 0;
    mine->OnMeasureItem = [&](TObject*, TCanvas*, int&, int&) { ++measured; };
    mine->OnDrawItem = [](TObject*, TCanvas*, TRect, bool) {};
    popup->Items()->Add(mine);
    TMenuItem* later = Add(Form, plain, "Added later under an item");
    EXPECT_TRUE(plain->OnMeasureItem && plain->OnAdvancedDrawItem);
    EXPECT_TRUE(later->OnMeasureItem && later->OnAdvancedDrawItem);
    EXPECT_FALSE(mine->OnAdvancedDrawItem) << "a plain painting handler of the user's stays in charge";
    int w = 0, h = 0;
    TBitmap bmp(1, 1);
    mine->MeasureItem(bmp.Canvas(), w, h, false);
    EXPECT_EQ(measured, 1);

    TPopupMenu foreign(nullptr);
    TMenuItem* other = Add(nullptr, foreign.Items(), "Other");
    EXPECT_FALSE(other->OnMeasureItem) << "other menus are left alone";
    int ow = 5, oh = 5;
    MeasureKvxMenuItem(other, bmp.Canvas(), ow, oh, false);
    EXPECT_EQ(ow, 5);
    EXPECT_EQ(oh, 5);
}

TEST_F(KvxMenusTest, MeasuringFollowsTheStyler) {
    auto* popup = new TKvxPopupMenu(Form);
    TMenuItem* line = Add(Form, popup->Items(), "-");
    TMenuItem* item = Add(Form, popup->Items(), "Properties");
    TMenuItem* notes = Add(Form, popup->Items(), "Open\\nRecent files");
    TBitmap bmp(1, 1);
    TCanvas* c = bmp.Canvas();
    if (Screen && Screen->MenuFont())
        c->Font()->Assign(Screen->MenuFont());

    int w = 100, h = 20;
    MeasureKvxMenuItem(line, c, w, h, false);
    EXPECT_EQ(w, -2);
    EXPECT_EQ(h, 3);

    TRect text;
    DrawText(*c->Handle(), "Properties", text, DT_SINGLELINE | DT_CALCRECT);
    struct Case {
        int Proposed, Height;
    } heights[] = {{15, 18}, {16, 18}, {20, 22}};
    for (const Case& k : heights) {
        w = 0;
        h = k.Proposed;
        MeasureKvxMenuItem(item, c, w, h, false);
        EXPECT_EQ(w, 63 + text.Right) << "icon column, margins and the arrow strip";
        EXPECT_EQ(h, k.Height) << k.Proposed;
    }
    popup->GetStylerInUse()->SideBar()->SetVisible(true);
    w = 0;
    h = 16;
    MeasureKvxMenuItem(item, c, w, h, true);
    EXPECT_EQ(w, 63 + text.Right + 24 + 1) << "the side bar and its splitter";

    w = 0;
    h = 16;
    MeasureKvxMenuItem(notes, c, w, h, false);
    int withNotes = h;
    popup->SetShowNotes(false);
    int wLiteral = 0, hLiteral = 16;
    MeasureKvxMenuItem(notes, c, wLiteral, hLiteral, false);
    EXPECT_GT(withNotes, hLiteral) << "a note line adds a line";
    EXPECT_GT(wLiteral, 63 + text.Right) << "the whole caption, backslash and n included, is one line";
}

TEST(KvxMenuShortCuts, TextsInBothForms) {
    struct Case {
        TShortCut ShortCut;
        bool International;
        const char* Text;
    } cases[] = {
        {TShortCut(scCtrl | 'S'), false, "Ctrl+S"},
        {TShortCut(scCtrl | 'S' | 0x0200), false, "Win+Ctrl+S"},
        {TShortCut(scCtrl | scShift | scAlt | 'S'), true, "Alt+Ctrl+Shift+S"},
        {TShortCut(scShift | VK_F5), true, "Shift+F5"},
        {TShortCut(scCtrl | 'S' | 0x0200), true, "Ctrl+S"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuShortCutText(c.ShortCut, c.International), c.Text);
}

TEST_F(KvxMenusTest, SideBarShowsWhereItsSettingSays) {
    TKvxPopupMenu* popup = RichPopup();
    TSideBar* bar = popup->GetStylerInUse()->SideBar();
    struct Case {
        bool Visible;
        TSideBarVisibleIn In;
        bool FirstLevel, SubLevel;
    } cases[] = {
        {false, viAnyLevel, false, false},
        {true, viFirstVisible, false, false},
        {true, viFirstLevel, true, false},
        {true, viAnyLevel, true, true},
    };
    for (const Case& c : cases) {
        bar->SetVisible(c.Visible);
        bar->SetVisibleIn(c.In);
        EXPECT_EQ(SideBarShownFor(Save), c.FirstLevel) << kSideBarVisibleInNames[c.In];
        EXPECT_EQ(SideBarShownFor(SubA), c.SubLevel) << kSideBarVisibleInNames[c.In];
    }
}

TEST_F(KvxMenusTest, PopupWithoutItemsShowsNothing) {
    auto* popup = new TKvxPopupMenu(Form);
    bool looped = false;
    RunPopup(popup, TPoint(200, 200), [&] { looped = true; });
    EXPECT_FALSE(looped);
}

TEST_F(KvxMenusTest, KeyboardWalksAStyledPopupAndItsSubMenu) {
    UI_HEADLESS_ONLY(Driver);
    TKvxPopupMenu* popup = RichPopup();
    std::vector<std::string> clicks;
    for (TMenuItem* it : {Save, SubA, SubB})
        it->OnClick = [&clicks](TObject* s) { clicks.push_back(static_cast<TMenuItem*>(s)->Caption()); };
    TCustomKvxMenuStyler* s = popup->GetStylerInUse();
    RunPopup(popup, TPoint(200, 150), [&] {
        Driver.PressKey(VK_DOWN); // Open
        Driver.PressKey(VK_DOWN); // Save
        HWND wnd = MenuItemWindow(Save);
        ASSERT_NE(wnd, nullptr);
        TRect item;
        TRect wr;
        ASSERT_TRUE(GetMenuItemRect(Save, item));
        GetWindowRect(wnd, wr);
        OffsetRect(item, -wr.Left, -wr.Top);
        EXPECT_EQ(Driver.Pixel(wnd, 0, 0), s->MenuBorderColor()) << "one-pixel frame";
        EXPECT_EQ(Driver.Pixel(wnd, 1, wr.Height() / 2), s->Background()->Color()) << "inside the frame";
        int rowMid = (item.Top + item.Bottom) / 2;
        EXPECT_EQ(Driver.Pixel(wnd, item.Right - 20, rowMid), s->SelectedItem()->Color()) << "selection box";
        EXPECT_EQ(Driver.Pixel(wnd, item.Left, rowMid), s->SelectedItem()->BorderColor());
        TRect check;
        ASSERT_TRUE(GetMenuItemRect(Check, check));
        OffsetRect(check, -wr.Left, -wr.Top);
        const int side = std::min(s->IconBar()->Size(), check.Height() - 2);
        TRect box =
            CenterBox(TRect(check.Left, check.Top + 1, check.Left + s->IconBar()->Size(), check.Bottom - 1),
                      side, side);
        EXPECT_EQ(Driver.Pixel(wnd, box.Left, box.Top + side / 2), s->IconBar()->CheckBorder());
        EXPECT_EQ(Driver.Pixel(wnd, box.Left + 1, box.Top + 1), s->IconBar()->CheckColor())
            << "checked box in the icon column";

        for (int i = 0; i < 4; ++i)
            Driver.PressKey(VK_DOWN); // Grid lines, Linear, Log, Export (the separator is skipped)
        Driver.PressKey(VK_RIGHT);
        ASSERT_NE(MenuItemWindow(SubA), nullptr) << "Right opens the sub-menu";
        Driver.PressKey(VK_DOWN); // from the first item of the sub-menu to the second
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_EQ(clicks, (std::vector<std::string>{"As &CSV"}));
    EXPECT_FALSE(MenuTracking());
}

TEST_F(KvxMenusTest, PopupPicturesInTwoStyles) {
    UI_HEADLESS_ONLY(Driver);
    TKvxPopupMenu* popup = RichPopup();
    auto* styler = new TKvxMenuOfficeStyler(Form);
    styler->SideBar()->SetVisible(true);
    styler->SideBar()->SetVisibleIn(viFirstLevel);
    styler->SideBar()->SetCaption("Lumetra");
    styler->SideBar()->Background()->SetColor(0x8F6D6E);
    styler->SideBar()->Background()->SetColorTo(0xD8BDAF);
    styler->SideBar()->Image()->SetColor(clNone); // no picture layer over the gradient
    popup->SetMenuStyler(styler);
    for (TOfficeStyle style : {osOffice2003Blue, osOffice2007Luna}) {
        styler->SetStyle(style);
        // The second picture shows the anti-aliased captions.
        styler->SetAntiAlias(style == osOffice2007Luna ? aaAntiAlias : aaNone);
        RunPopup(popup, TPoint(200, 150), [&] {
            for (int i = 0; i < 6; ++i)
                Driver.PressKey(VK_DOWN); // to Export
            Driver.PressKey(VK_RIGHT);
            HWND top = MenuItemWindow(Save);
            ASSERT_NE(top, nullptr);
            TRect wr;
            GetWindowRect(top, wr);
            TRect sub;
            ASSERT_TRUE(GetWindowRect(MenuItemWindow(SubA), sub));
            auto shot =
                Driver.RenderScreen(TRect(wr.Left - 10, wr.Top - 10, sub.Right + 10, sub.Bottom + 10));
            SavePicture(*shot, std::string("kvx-popup-menu-") + kOfficeStyleNames[style] + ".png");
            // The side bar's gradient starts at its top in its own colour.
            EXPECT_EQ(Driver.Pixel(top, 3, 3), 0x8F6D6E);
            Driver.PressKey(VK_ESCAPE);
            Driver.PressKey(VK_ESCAPE);
        });
    }
}

TEST_F(KvxMenusTest, SubMenuArrowSitsOnTheSideAwayFromTheText) {
    UI_HEADLESS_ONLY(Driver);
    TKvxPopupMenu* popup = RichPopup();
    for (TPopupAlignment align : {paLeft, paRight}) {
        popup->SetAlignment(align);
        RunPopup(popup, TPoint(400, 150), [&] {
            HWND wnd = MenuItemWindow(Sub);
            ASSERT_NE(wnd, nullptr);
            TRect wr, r;
            GetWindowRect(wnd, wr);
            ASSERT_TRUE(GetMenuItemRect(Sub, r));
            OffsetRect(r, -wr.Left, -wr.Top);
            // The arrow's flat side: a column of seven ink pixels left of its cell's centre.
            const int y = (r.Top + r.Bottom - 5) / 2 + 2;
            const int left = r.Left + 4, right = r.Right - 9;
            EXPECT_EQ(Driver.Pixel(wnd, align == paRight ? left : right, y), clBlack) << "arrow side";
            EXPECT_NE(Driver.Pixel(wnd, align == paRight ? right : left, y), clBlack) << "other side";
            Driver.PressKey(VK_ESCAPE);
        });
    }
}

TEST_F(KvxMenusTest, BackgroundPictureShowsBesideTheIconColumnAndFollowsChanges) {
    UI_HEADLESS_ONLY(Driver);
    TKvxPopupMenu* popup = RichPopup();
    TCustomKvxMenuStyler* s = popup->GetStylerInUse();
    s->Background()->SetPosition(bpTopLeft);
    for (TColor colour : {TColor(clRed), TColor(clBlue)}) {
        TBitmap strip(200, 6, pf24bit);
        strip.Canvas()->Brush()->SetColor(colour);
        strip.Canvas()->FillRect(TRect(0, 0, 200, 6));
        // The see-through colour is the bottom-left pixel's; row 1 is all see-through.
        strip.Canvas()->Brush()->SetColor(clWhite);
        strip.Canvas()->FillRect(TRect(0, 1, 200, 2));
        strip.Canvas()->SetPixels(0, 5, clWhite);
        TPicture picture;
        picture.SetGraphic(&strip);
        s->Background()->SetImage(&picture);
        RunPopup(popup, TPoint(200, 150), [&] {
            HWND wnd = MenuItemWindow(Open);
            ASSERT_NE(wnd, nullptr);
            TRect wr, first;
            GetWindowRect(wnd, wr);
            ASSERT_TRUE(GetMenuItemRect(Open, first));
            OffsetRect(first, -wr.Left, -wr.Top);
            const int y = first.Top + 2;
            EXPECT_EQ(Driver.Pixel(wnd, first.Right - 4, y), colour);
            EXPECT_NE(Driver.Pixel(wnd, first.Left + 2, y), colour) << "the icon column keeps its gradient";
            EXPECT_EQ(Driver.Pixel(wnd, first.Right - 4, y + 8), s->Background()->Color())
                << "below the picture the background colour shows";
            EXPECT_EQ(Driver.Pixel(wnd, first.Right - 4, first.Top + 1), s->Background()->Color())
                << "and through the picture's transparent colour";
            Driver.PressKey(VK_ESCAPE);
        });
    }
}

TEST_F(KvxMenusTest, BarDropDownIsAttachedToItsItem) {
    UI_HEADLESS_ONLY(Driver);
    auto* styler = new TKvxMenuOfficeStyler(Form);
    styler->SetStyle(osOffice2007Luna);
    auto* main = new TKvxMainMenu(Form);
    main->SetMenuStyler(styler);
    TMenuItem* file = Add(Form, main->Items(), "&File");
    Add(Form, file, "&New chart");
    Add(Form, file, "&Open...")->SetShortCut(TShortCut(scCtrl | 'O'));
    Add(Form, file, "-");
    Add(Form, file, "E&xit");
    TMenuItem* view = Add(Form, main->Items(), "&View");
    Add(Form, view, "&Toolbar")->SetChecked(true);
    Form->SetMenu(main);
    Driver.Pump();
    TRect bar;
    ASSERT_TRUE(GetMenuItemRect(file, bar));
    bool ran = false;
    SetMenuLoopHook([&](TMenu*) {
        ran = true;
        HWND drop = MenuItemWindow(file->Items(0));
        ASSERT_NE(drop, nullptr);
        TRect wr;
        GetWindowRect(drop, wr);
        EXPECT_EQ(wr.Left, bar.Left);
        EXPECT_EQ(wr.Top, bar.Bottom);
        auto shot = Driver.RenderScreen(TRect(Form->Left(), Form->Top(), Form->Left() + 320, wr.Bottom + 10));
        SavePicture(*shot, "kvx-menu-bar-drop-down.png");
        // Under the bar item the drop-down has no top border; beside it it has.
        EXPECT_EQ(Driver.Pixel(drop, 3, 0), styler->Background()->Color());
        if (wr.Width() > bar.Width() + 2) {
            EXPECT_EQ(Driver.Pixel(drop, bar.Width() + 1, 0), styler->MenuBorderColor());
        }
        Driver.PressKey(VK_ESCAPE);
        Driver.PressKey(VK_ESCAPE);
    });
    Driver.Click(TPoint((bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2));
    Driver.Pump();
    SetMenuLoopHook(nullptr);
    EXPECT_TRUE(ran);
}

TEST_F(KvxMenusTest, WindowListIsSortedAndRebuiltInPlace) {
    TForm* frame = NewForm<TForm>(Application);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(50, 50, 800, 600);
    auto* main = new TKvxMainMenu(frame);
    TMenuItem* window = Add(frame, main->Items(), "&Window");
    Add(frame, window, "&Cascade");
    frame->SetMenu(main);
    frame->SetWindowMenu(window);
    frame->Show();
    Driver.Pump();
    std::vector<TForm*> children;
    for (const char* caption : {"b", "a", "a"}) {
        TForm* c = NewForm<TForm>(frame);
        c->SetFormStyle(fsMDIChild);
        c->SetCaption(caption);
        c->Show();
        Driver.Pump();
        children.push_back(c);
    }
    for (int round = 0; round < 2; ++round) {
        LRESULT answer = SendMessage(frame->ClientHandle(), WM_MDIREFRESHMENU, 0, 0);
        EXPECT_EQ(answer, static_cast<LRESULT>(main->Handle()));
    }
    std::vector<std::string> captions;
    int markers = 0;
    for (int i = 0; i < window->Count(); ++i) {
        TMenuItem* it = window->Items(i);
        if (it->ShortCut() == 0xABCD) {
            ++markers;
            EXPECT_TRUE(it->IsLine());
            continue;
        }
        if (it->GroupIndex() != 205)
            continue;
        captions.push_back(it->Caption());
        EXPECT_TRUE(it->RadioItem());
        auto* child = reinterpret_cast<HWND>(it->Tag());
        EXPECT_EQ(it->Checked(), frame->ActiveMDIChild()->Handle() == child) << it->Caption();
        EXPECT_TRUE(it->OnAdvancedDrawItem) << "list items are drawn like the rest";
    }
    EXPECT_EQ(markers, 1) << "a second refresh keeps one marker";
    EXPECT_EQ(captions, (std::vector<std::string>{"1 a", "2 a", "3 b"}));
    EXPECT_EQ(window->Items(0)->Caption(), "&Cascade");

    // Choosing an entry activates its window.
    TMenuItem* third = window->Items(window->Count() - 1);
    ASSERT_EQ(third->Caption(), "3 b");
    third->Click();
    Driver.Pump();
    EXPECT_EQ(frame->ActiveMDIChild(), children[0]);
    EXPECT_TRUE(third->Checked());
}

TEST_F(KvxMenusTest, LayoutWithMenusAndStylerLoadsSavesAndComparesEqual) {
    auto* styler = new TKvxMenuOfficeStyler(Form);
    styler->SetName("MenuStyler1");
    styler->SetStyle(osOffice2007Luna);
    styler->SideBar()->SetCaption("Lumetra");
    styler->SetAntiAlias(aaClearType);
    styler->IconBar()->SetColor(0x123456); // typed over the Luna set
    auto* main = new TKvxMainMenu(Form);
    main->SetName("MainMenu1");
    main->SetMenuStyler(styler);
    TMenuItem* file = Add(Form, main->Items(), "&File");
    file->SetName("File1");
    auto* popup = new TKvxPopupMenu(Form);
    popup->SetName("Popup1");
    popup->SetShowNotes(false);
    auto* plainStyler = new TKvxMenuStyler(Form);
    plainStyler->SetName("Plain1");
    popup->SetMenuStyler(plainStyler);

    std::string text = WriteComponentToText(Form);
    EXPECT_NE(text.find("Style = osOffice2007Luna"), std::string::npos) << text;
    EXPECT_NE(text.find("AutoThemeAdapt = False"), std::string::npos) << "always written";
    EXPECT_NE(text.find("SplitterColorTo = clBlack"), std::string::npos) << "differs from its stream default";

    TForm* copy = NewForm<TForm>(Application);
    ReadComponentFromText(text, copy);
    auto* main2 = dynamic_cast<TKvxMainMenu*>(copy->FindComponent("MainMenu1"));
    auto* popup2 = dynamic_cast<TKvxPopupMenu*>(copy->FindComponent("Popup1"));
    ASSERT_NE(main2, nullptr);
    ASSERT_NE(popup2, nullptr);
    EXPECT_EQ(main2->GetStylerInUse(), copy->FindComponent("MenuStyler1"));
    EXPECT_EQ(main2->FindComponent("InternalMenuStyler"), nullptr);
    EXPECT_EQ(popup2->GetStylerInUse(), copy->FindComponent("Plain1"));
    EXPECT_FALSE(popup2->ShowNotes());
    auto* styler2 = static_cast<TKvxMenuOfficeStyler*>(copy->FindComponent("MenuStyler1"));
    EXPECT_EQ(styler2->Style(), osOffice2007Luna);
    EXPECT_EQ(styler2->SideBar()->Caption(), "Lumetra");
    EXPECT_EQ(styler2->IconBar()->Color(), 0x123456) << "a stored colour wins over the streamed style's set";
    EXPECT_EQ(WriteComponentToText(copy), text);
}

} // namespace

namespace {

// The red channel of each row (vertical) or column (horizontal) of a strip.
std::vector<int> Reds(TBitmap& Bmp, bool Rows) {
    std::vector<int> out;
    int n = Rows ? Bmp.Height() : Bmp.Width();
    for (int i = 0; i < n; ++i)
        out.push_back(ColorToRGB(Rows ? Bmp.Canvas()->Pixels(0, i) : Bmp.Canvas()->Pixels(i, 0)) & 0xFF);
    return out;
}

TEST(KvxMenuGradients, FillsInterpolatePerChannelAndClipsContinueTheWhole) {
    TTestDriver driver;
    TBitmap bmp(1, 10, pf24bit);
    DrawGradient(bmp.Canvas(), TRect(0, 0, 1, 10), gdVertical, RGB(100, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(Reds(bmp, true), (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));

    TBitmap clipped(1, 10, pf24bit);
    DrawGradient(clipped.Canvas(), TRect(0, 0, 1, 10), gdVertical, RGB(7, 7, 7), RGB(7, 7, 7));
    DrawClippedGradient(clipped.Canvas(), TRect(0, 0, 1, 10), gdVertical, RGB(100, 0, 0), RGB(0, 0, 0),
                        TRect(0, 5, 1, 10));
    EXPECT_EQ(Reds(clipped, true), (std::vector<int>{7, 7, 7, 7, 7, 50, 60, 70, 80, 90}))
        << "the clipped part carries on the gradient of the whole";

    TBitmap solid(4, 1, pf24bit);
    DrawGradient(solid.Canvas(), TRect(0, 0, 4, 1), gdHorizontal, clNone, RGB(33, 0, 0));
    EXPECT_EQ(Reds(solid, false), (std::vector<int>{33, 33, 33, 33})) << "clNone as the end colour";

    struct Case {
        TGradientType Type;
        int Width;
        std::vector<int> Reds;
    } lines[] = {
        // Margin 1 on a 12-pixel strip: ten pixels of line; fades from the end colour (200) to the colour
        // (0).
        {gtBoth, 4, {9, 200, 100, 0, 0, 0, 0, 0, 0, 0, 100, 9}},
        {gtLeft, 4, {9, 0, 50, 100, 150, 200, 200, 200, 200, 200, 200, 9}},
        {gtRight, 4, {9, 200, 200, 200, 200, 200, 200, 200, 150, 100, 50, 9}},
        {gtBoth, 0, {9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}},
    };
    for (const Case& c : lines) {
        TBitmap line(12, 1, pf24bit);
        DrawGradient(line.Canvas(), TRect(0, 0, 12, 1), gdHorizontal, RGB(9, 9, 9), RGB(9, 9, 9));
        DrawGradientLine(line.Canvas(), TRect(0, 0, 12, 1), 1, c.Width, c.Type, gdHorizontal, RGB(200, 0, 0),
                         RGB(0, 0, 0));
        EXPECT_EQ(Reds(line, false), c.Reds) << kGradientTypeNames[c.Type] << " " << c.Width;
    }
}

} // namespace

namespace {

// Every enumeration the menus and stylers publish, directly or in their appearance objects, at every
// value, survives a layout written and read back: name tables, setters and readers agree.
void CheckEnums(TComponent* Root, TObject* Holder, const std::function<TComponent*()>& Fresh,
                std::vector<const TPropInfo*>& Path) {
    for (const TPropInfo* p : GetPropList(Holder->ClassType())) {
        if (p->Kind == pkObject) {
            if (TPersistent* sub = GetObjectProp(Holder, p); sub && Path.size() < 2) {
                Path.push_back(p);
                CheckEnums(Root, sub, Fresh, Path);
                Path.pop_back();
            }
            continue;
        }
        if (p->Kind != pkEnum || !p->IsWritable())
            continue;
        for (int64_t v = 0; v < static_cast<int64_t>(p->Names.size()); ++v) {
            SetOrdProp(Holder, p, v);
            std::unique_ptr<TComponent> back(Fresh());
            ReadComponentFromText(WriteComponentToText(Root), back.get());
            TObject* o = back.get();
            for (const TPropInfo* step : Path)
                o = GetObjectProp(o, step);
            EXPECT_EQ(GetOrdProp(o, p), v) << Root->ClassName() << " " << p->Name << " = " << p->Names[v];
        }
    }
}

TEST(KvxMenuLayouts, EveryPublishedEnumerationRoundTrips) {
    TTestDriver driver;
    const std::vector<std::function<TComponent*()>> makers = {
        [] { return new TKvxMenuOfficeStyler(nullptr); },
        [] { return new TKvxMenuStyler(nullptr); },
        [] { return new TKvxMainMenu(nullptr); },
        [] { return new TKvxPopupMenu(nullptr); },
    };
    for (const auto& make : makers) {
        std::unique_ptr<TComponent> c(make());
        c->SetName("Subject");
        std::vector<const TPropInfo*> path;
        CheckEnums(c.get(), c.get(), make, path);
    }
}

} // namespace
