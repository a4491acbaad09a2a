#include "platform/ui/Form.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Edit.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/MdiClient.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Panel.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/TestControls.h"
#include "platform/ui/WindowSystem.h"

using namespace plat;
using namespace uitest;

namespace {

class MdiTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControls();
        Frame = NewForm<TForm>(Application);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetCaption("Lumetra");
        Frame->SetBounds(50, 50, 800, 600);
        auto* bar = new TTestPanel(Frame);
        bar->SetParent(Frame);
        bar->SetHeight(27);
        bar->SetAlign(alTop);
        bar->SetColor(clSilver);
        Application->SetMainForm(Frame);
        Frame->Show();
        Driver.Pump();
    }

    TForm* Child(const std::string& caption) {
        TForm* c = NewForm<TForm>(Frame);
        c->SetFormStyle(fsMDIChild);
        c->SetCaption(caption);
        c->SetBounds(10 + 40 * FCount, 10 + 30 * FCount, 300, 200);
        ++FCount;
        c->Show();
        Driver.Pump();
        return c;
    }

    TRect ClientArea() {
        TRect r;
        GetClientRect(Frame->ClientHandle(), r);
        return r;
    }

    TTestDriver Driver;
    TForm* Frame = nullptr;
    int FCount = 0;
};

} // namespace

TEST_F(MdiTest, ChildrenLiveInTheClientAndTheLastShownIsActive) {
    ASSERT_NE(Frame->ClientHandle(), nullptr);
    // The client fills what the aligned bar leaves.
    TRect cb = GetWindowBounds(Frame->ClientHandle());
    EXPECT_EQ(cb.Top, 27);
    EXPECT_EQ(cb.Bottom, Frame->ClientHeight());
    std::vector<std::string> activations;
    TForm* a = Child("a");
    a->OnActivate = [&](TObject*) { activations.push_back("a"); };
    TForm* b = Child("b");
    b->OnActivate = [&](TObject*) { activations.push_back("b"); };
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_EQ(Frame->ActiveMDIChild(), b);
    EXPECT_EQ(GetParent(a->Handle()), Frame->ClientHandle());
    EXPECT_EQ(Frame->MDIChildren(0), b) << "the most recently active child comes first";
    // A click on the other child activates it and runs its OnActivate.
    Driver.Click(a->ClientToScreen(TPoint(5, 5)));
    EXPECT_EQ(Frame->ActiveMDIChild(), a);
    EXPECT_EQ(activations, (std::vector<std::string>{"a"}));
    EXPECT_EQ(GetWindow(a->Handle(), GW_HWNDNEXT), b->Handle());
    // WM_MDINEXT with a child activates the window behind it.
    SendMessage(Frame->ClientHandle(), WM_MDINEXT, reinterpret_cast<WPARAM>(a->Handle()), 0);
    EXPECT_EQ(Frame->ActiveMDIChild(), b);
    EXPECT_EQ(activations.back(), "b");
}

TEST_F(MdiTest, MaximisedChildrenFillTheClientAndPassTheStateOn) {
    TForm* a = Child("a");
    TForm* b = Child("b");
    b->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(b->Handle()));
    EXPECT_EQ(b->WindowState(), wsMaximized);
    TPoint origin = b->ClientToScreen(TPoint(0, 0));
    TPoint clientOrigin(0, 0);
    ClientToScreen(Frame->ClientHandle(), clientOrigin);
    EXPECT_EQ(origin, clientOrigin) << "the caption lies outside the client";
    EXPECT_EQ(b->ClientWidth(), ClientArea().Width());
    EXPECT_EQ(b->ClientHeight(), ClientArea().Height());
    // Activating the other child maximises it instead.
    SendMessage(Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    Driver.Pump();
    EXPECT_TRUE(IsZoomed(a->Handle()));
    EXPECT_FALSE(IsZoomed(b->Handle()));
    // The frame growing keeps the maximised child filling it.
    Frame->SetBounds(50, 50, 900, 650);
    EXPECT_EQ(a->ClientWidth(), ClientArea().Width());
    a->SetWindowState(wsNormal);
    EXPECT_EQ(a->BoundsRect(), Bounds(10, 10, 300, 200));
    EXPECT_EQ(b->BoundsRect(), Bounds(50, 40, 300, 200));
}

TEST_F(MdiTest, ClosingWithCaFreeFreesTheChildAndActivatesTheNext) {
    TForm* a = Child("a");
    TForm* b = Child("b");
    TForm* c = Child("c");
    bool destroyed = false;
    c->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    c->OnDestroy = [&](TObject*) { destroyed = true; };
    // Without a handler an MDI child minimises.
    b->Close();
    EXPECT_TRUE(IsIconic(b->Handle()));
    c->Close();
    Driver.Pump();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_EQ(Frame->ActiveMDIChild(), a) << "the next child that is not minimised";
    (void)a;
}

TEST_F(MdiTest, CascadeTileAndArrangeGiveTheirGeometry) {
    std::vector<TForm*> kids = {Child("1"), Child("2"), Child("3")};
    TRect area = ClientArea();
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    Frame->Cascade();
    // Bottom of the z-order first, the active one last and on top.
    EXPECT_EQ(kids[0]->BoundsRect(), Bounds(0, 0, area.Width() * 3 / 4, area.Height() * 3 / 4));
    EXPECT_EQ(kids[1]->BoundsRect().TopLeft(), TPoint(step, step));
    EXPECT_EQ(kids[2]->BoundsRect().TopLeft(), TPoint(2 * step, 2 * step));
    EXPECT_EQ(Frame->ActiveMDIChild(), kids[2]);

    Frame->SetTileMode(tbHorizontal);
    Frame->Tile();
    // Rows, the active window first.
    EXPECT_EQ(kids[2]->BoundsRect(), TRect(0, 0, area.Width(), area.Height() / 3));
    EXPECT_EQ(kids[1]->BoundsRect(), TRect(0, area.Height() / 3, area.Width(), area.Height() * 2 / 3));
    EXPECT_EQ(kids[0]->BoundsRect(), TRect(0, area.Height() * 2 / 3, area.Width(), area.Height()));
    Frame->SetTileMode(tbVertical);
    Frame->Tile();
    EXPECT_EQ(kids[2]->BoundsRect(), TRect(0, 0, area.Width() / 3, area.Height()));
    EXPECT_EQ(kids[0]->BoundsRect(), TRect(area.Width() * 2 / 3, 0, area.Width(), area.Height()));

    // Four windows tile as a grid of two by two.
    kids.push_back(Child("4"));
    Frame->Tile();
    EXPECT_EQ(kids[3]->BoundsRect(), TRect(0, 0, area.Width() / 2, area.Height() / 2));
    EXPECT_EQ(kids[0]->BoundsRect(), TRect(area.Width() / 2, area.Height() / 2, area.Width(), area.Height()));

    // Minimised windows line up at the bottom and leave that row out of the tiling.
    for (TForm* k : kids)
        k->SetWindowState(wsMinimized);
    Frame->ArrangeIcons();
    int iconW = GetSystemMetrics(SM_CXMINIMIZED), iconH = GetSystemMetrics(SM_CYMINIMIZED);
    std::vector<TPoint> places;
    for (HWND h : MdiChildWindows(Frame->ClientHandle()))
        places.push_back(GetWindowBounds(h).TopLeft());
    std::sort(places.begin(), places.end(), [](TPoint a, TPoint b) { return a.X < b.X; });
    ASSERT_EQ(places.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(places[i], TPoint(i * iconW, area.Height() - iconH));
}

TEST_F(MdiTest, ScreenshotsOfTheFrameAModalFormAndAPopup) {
    TForm* a = Child("Zevi Zezaru");
    a->SetColor(clWhite);
    TForm* b = Child("Chart 1");
    b->SetColor(clMoneyGreen);
    b->SetWindowState(wsMaximized);
    Driver.Pump();
    auto frame = Driver.RenderScreen(Frame->BoundsRect());
    TTestDriver::SavePng(*frame, "mdi-frame-maximised.png");
    // The maximised child fills the client area with its colour.
    TPoint inside = b->ClientToScreen(TPoint(20, 20));
    EXPECT_EQ(TTestDriver::PixelOf(*frame, inside.X - Frame->Left(), inside.Y - Frame->Top()), clMoneyGreen);

    b->SetWindowState(wsNormal);
    Frame->Cascade();
    TForm* dialog = NewForm<TForm>(Application);
    dialog->SetBorderStyle(bsDialog);
    dialog->SetCaption("About");
    dialog->SetBounds(0, 0, 280, 150);
    dialog->SetPosition(poMainFormCenter);
    auto* close = new TTestButton(dialog);
    close->SetParent(dialog);
    close->SetBounds(100, 80, 75, 25);
    close->SetModalResult(mrCancel);
    Driver.AnswerNextModal([&](TCustomForm&) {
        auto shot = Driver.RenderScreen(Frame->BoundsRect());
        TTestDriver::SavePng(*shot, "mdi-modal.png");
        TPoint centre = TTestDriver::CenterOf(dialog);
        TPoint frameCentre = TTestDriver::CenterOf(Frame);
        EXPECT_NEAR(centre.X, Frame->Left() + Frame->Width() / 2, 2);
        (void)frameCentre;
        Driver.Click(close);
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);

    // A popup (hint) above everything.
    auto* button = new TTestButton(a);
    button->SetParent(a);
    button->SetBounds(10, 10, 80, 25);
    button->SetHint("Start the acquisition");
    button->SetShowHint(true);
    SendMessage(Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    Driver.MoveTo(TTestDriver::CenterOf(button));
    Driver.Advance(Application->HintPause());
    ASSERT_NE(Application->HintWindow(), nullptr);
    ASSERT_TRUE(Application->HintWindow()->IsHintShowing());
    auto popup = Driver.RenderScreen(Frame->BoundsRect());
    TTestDriver::SavePng(*popup, "mdi-popup.png");
    TRect hint = Application->HintWindow()->BoundsRect();
    EXPECT_EQ(TTestDriver::PixelOf(*popup, hint.Left + 2 - Frame->Left(),
                                   hint.Top + hint.Height() - 2 - Frame->Top()),
              ColorToRGB(clInfoBk));
}

TEST_F(MdiTest, TheFrameTitleNamesAMaximisedChildUntilItIsRestoredOrClosed) {
    UI_HEADLESS_ONLY(Driver);
    auto title = [&] { return Driver.Backend().Title(GetNativeWindow(Frame->Handle())); };
    TForm* a = Child("Zevi Zezaru");
    TForm* b = Child("Chart 1");
    EXPECT_EQ(title(), "Lumetra");
    b->SetWindowState(wsMaximized);
    Driver.Pump();
    EXPECT_EQ(title(), "Lumetra - [Chart 1]");
    EXPECT_EQ(Frame->Caption(), "Lumetra") << "the frame's own text is unchanged";
    // The title follows the child's caption, the frame's caption and the maximised state passing on.
    b->SetCaption("Chart 2");
    EXPECT_EQ(title(), "Lumetra - [Chart 2]");
    Frame->SetCaption("Lumetra 1.0");
    EXPECT_EQ(title(), "Lumetra 1.0 - [Chart 2]");
    Frame->SetCaption("Lumetra");
    SendMessage(Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    Driver.Pump();
    EXPECT_EQ(title(), "Lumetra - [Zevi Zezaru]");
    // Hidden, a maximised child no longer counts; shown again, it does.
    a->Hide();
    Driver.Pump();
    EXPECT_EQ(title(), "Lumetra");
    a->Show();
    Driver.Pump();
    EXPECT_EQ(title(), "Lumetra - [Zevi Zezaru]");
    a->SetWindowState(wsNormal);
    Driver.Pump();
    EXPECT_EQ(title(), "Lumetra");
    // Closing a maximised child (freed) gives the plain title back.
    b->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    b->SetWindowState(wsMaximized);
    Driver.Pump();
    EXPECT_EQ(title(), "Lumetra - [Chart 2]");
    b->Close();
    Driver.Pump();
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(title(), "Lumetra");
}

TEST_F(MdiTest, ChildFramesDrawTheirIcon) {
    TForm* a = Child("Chart 1");
    TPixelImage picture(16, 16);
    std::fill(picture.Pixels.begin(), picture.Pixels.end(), 0xFFE00000u);
    TIcon icon;
    icon.AddImage(picture, true);
    a->SetIcon(&icon);
    Driver.Pump();
    // The icon sits at the left of the caption, where the system menu opens.
    auto shot = Driver.Render(a->Handle());
    TTestDriver::SavePng(*shot, "mdi-child-icon.png");
    int border = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(TTestDriver::PixelOf(*shot, border + 2 + 8, border + 1 + 8), RGB(0xE0, 0, 0));
    // Without an icon of its own it shows the application's.
    TIcon appIcon;
    TPixelImage blue(32, 32);
    std::fill(blue.Pixels.begin(), blue.Pixels.end(), 0xFF0000E0u);
    appIcon.AddImage(blue, true);
    Application->SetIcon(&appIcon);
    a->Icon()->Clear();
    Driver.Pump();
    shot = Driver.Render(a->Handle());
    EXPECT_EQ(TTestDriver::PixelOf(*shot, border + 2 + 8, border + 1 + 8), RGB(0, 0, 0xE0));
}

namespace {

// The frame's own controls (a toolbar's, say) take the focus when asked, with or without document
// windows; once the focus went into a document window, the frame activated again gives it back there.
TEST_F(MdiTest, TheFramesOwnControlsTakeTheFocusAndTheDocumentWindowGetsItBack) {
    auto* panel = new TPanel(Frame);
    panel->SetParent(Frame);
    panel->SetAlign(alTop);
    auto* edit = new TEdit(Frame);
    edit->SetParent(panel);
    Driver.Pump();
    edit->SetFocus();
    Driver.Pump();
    EXPECT_EQ(TTestDriver::FocusedControl(), edit);
    panel->SetFocus();
    Driver.Pump();
    EXPECT_EQ(TTestDriver::FocusedControl(), panel);

    TForm* child = Child("one");
    auto* childEdit = new TEdit(child);
    childEdit->SetParent(child);
    edit->SetFocus();
    Driver.Pump();
    EXPECT_EQ(TTestDriver::FocusedControl(), edit);
    childEdit->SetFocus();
    Driver.Pump();
    EXPECT_EQ(TTestDriver::FocusedControl(), childEdit);

    TForm* other = NewForm<TForm>(Application);
    other->SetBounds(300, 300, 200, 100);
    other->Show();
    Driver.Pump();
    ASSERT_FALSE(Frame->Active());
    Frame->SetFocus();
    Driver.Pump();
    EXPECT_EQ(GetParentForm(TTestDriver::FocusedControl()), child);
    other->Free();
}

} // namespace
