#include "platform/ui/Control.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Form.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TestControls.h"

using namespace plat;
using namespace uitest;

namespace {

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControls();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetCaption("Controls");
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
};

template <class T> T* Make(TWinControl* parent, TRect bounds) {
    T* c = new T(parent->Owner() ? parent->Owner() : parent);
    c->SetParent(parent);
    c->SetBoundsRect(bounds);
    return c;
}

} // namespace

// Freed (or deleted) while parented, a windowed control leaves its parent's tab order too: walking the
// tab order when the form is shown must not meet it.
TEST_F(ControlTest, AFreedWindowedChildLeavesTheTabOrder) {
    auto* panel = Make<TTestEdit>(Form, Bounds(10, 10, 100, 21));
    auto* freed = Make<TTestEdit>(Form, Bounds(10, 40, 100, 21));
    auto* deleted = Make<TTestEdit>(Form, Bounds(10, 70, 100, 21));
    freed->Free();
    delete deleted;
    std::vector<TWinControl*> order;
    Form->GetTabOrderList(order);
    EXPECT_EQ(order, std::vector<TWinControl*>{panel});
    Form->Show();
    Driver.Pump();
    EXPECT_EQ(Form->ActiveControl(), panel);
}

TEST_F(ControlTest, AlignedChildrenShareTheClientArea) {
    auto* top = Make<TTestPanel>(Form, Bounds(0, 0, 50, 30));
    auto* bottom = Make<TTestPanel>(Form, Bounds(0, 0, 50, 20));
    auto* left = Make<TTestPanel>(Form, Bounds(0, 0, 40, 50));
    auto* client = Make<TTestPanel>(Form, Bounds(0, 0, 10, 10));
    auto* top2 = Make<TTestPanel>(Form, Bounds(0, 100, 50, 10));
    top->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    left->SetAlign(alLeft);
    client->SetAlign(alClient);
    top2->SetAlign(alTop);
    TRect c = Form->ClientRect();
    EXPECT_EQ(top->BoundsRect(), TRect(0, 0, c.Right, 30));
    EXPECT_EQ(top2->BoundsRect(), TRect(0, 30, c.Right, 40))
        << "aligned controls keep their order by position";
    EXPECT_EQ(bottom->BoundsRect(), TRect(0, c.Bottom - 20, c.Right, c.Bottom));
    EXPECT_EQ(left->BoundsRect(), TRect(0, 40, 40, c.Bottom - 20));
    EXPECT_EQ(client->BoundsRect(), TRect(40, 40, c.Right, c.Bottom - 20));
    // Resizing the form realigns; hiding a control gives its room to the others.
    Form->SetBounds(100, 100, 500, 400);
    c = Form->ClientRect();
    EXPECT_EQ(client->BoundsRect(), TRect(40, 40, c.Right, c.Bottom - 20));
    top2->SetVisible(false);
    EXPECT_EQ(client->Top(), 30);
    // Constraints hold also against alignment.
    left->Constraints()->SetMaxWidth(25);
    EXPECT_EQ(left->Width(), 25);
    Form->Realign();
    EXPECT_EQ(client->Left(), 25) << "the room is what the constrained control took";
}

TEST_F(ControlTest, AnchorsKeepDistancesWhenTheParentGrows) {
    auto* right = Make<TTestPanel>(Form, Bounds(300, 10, 50, 20));
    auto* stretch = Make<TTestPanel>(Form, Bounds(10, 200, 100, 30));
    auto* centre = Make<TTestPanel>(Form, Bounds(100, 100, 40, 40));
    right->SetAnchors(akTop | akRight);
    stretch->SetAnchors(akLeft | akRight | akBottom);
    centre->SetAnchors(0);
    TRect before = Form->ClientRect();
    Form->SetBounds(100, 100, 500, 340);
    TRect after = Form->ClientRect();
    int dx = after.Width() - before.Width(), dy = after.Height() - before.Height();
    EXPECT_EQ(dx, 100);
    EXPECT_EQ(right->BoundsRect(), Bounds(300 + dx, 10, 50, 20));
    EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 200 + dy, 100 + dx, 30));
    EXPECT_EQ(centre->Left() + centre->Width() / 2, (120 * after.Width()) / before.Width());
    // Shrinking back returns everything to where it was.
    Form->SetBounds(100, 100, 400, 300);
    EXPECT_EQ(right->BoundsRect(), Bounds(300, 10, 50, 20));
    EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 200, 100, 30));
}

TEST_F(ControlTest, MouseEventsClicksAndCaptureOnWindowedAndGraphicControls) {
    auto* button = Make<TTestButton>(Form, Bounds(10, 10, 80, 30));
    auto* box = Make<TTestBox>(Form, Bounds(150, 10, 40, 40));
    std::vector<std::string> log;
    button->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y) + ((s & ssLeft) ? " left" : ""));
    };
    button->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    button->OnClick = [&](TObject*) { log.push_back("click"); };
    button->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
    button->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
        if (button->MouseCapture())
            log.push_back("captured move " + std::to_string(x));
    };
    Form->Show();
    Driver.Pump();
    Driver.Click(button, TPoint(5, 6));
    EXPECT_EQ(log, (std::vector<std::string>{"down 5,6 left", "click", "up 5,6"}));
    log.clear();
    // Released outside: no click, but the control kept the mouse during the drag.
    Driver.Advance(1000);
    Driver.Drag(button, TPoint(5, 5), TPoint(300, 5), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"down 5,5 left", "captured move 300", "up 300,5"}));
    log.clear();
    Driver.Advance(1000);
    Driver.DoubleClick(button, TPoint(5, 5));
    EXPECT_EQ(log, (std::vector<std::string>{"down 5,5 left", "click", "up 5,5", "dblclick", "down 5,5 left",
                                             "up 5,5"}));

    // The graphic control gets its mouse through its parent, in its own coordinates.
    std::vector<TPoint> boxDowns;
    box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        boxDowns.push_back(TPoint(x, y));
    };
    int boxClicks = 0;
    box->OnClick = [&](TObject*) { ++boxClicks; };
    Driver.Advance(1000);
    Driver.Click(box, TPoint(3, 4));
    EXPECT_EQ(boxDowns, (std::vector<TPoint>{TPoint(3, 4)}));
    EXPECT_EQ(boxClicks, 1);
    // Its colour comes from the parent's paint.
    box->SetColor(clRed);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(box, 20, 20), clRed);
    EXPECT_EQ(Driver.Pixel(Form, 145, 20), ColorToRGB(clBtnFace));
}

TEST_F(ControlTest, MouseEnterAndLeaveFollowThePointer) {
    auto* box = Make<TTestBox>(Form, Bounds(150, 10, 40, 40));
    auto* other = Make<TTestBox>(Form, Bounds(250, 10, 40, 40));
    Form->Show();
    Driver.MoveTo(Driver.CenterOf(box));
    EXPECT_EQ(box->Enters, 1);
    Driver.MoveTo(Driver.CenterOf(other));
    EXPECT_EQ(box->Leaves, 1);
    EXPECT_EQ(other->Enters, 1);
    Driver.MoveTo(TPoint(5, 5)); // off the form
    EXPECT_EQ(other->Leaves, 1);
    EXPECT_EQ(Application->MouseControl(), nullptr);
}

TEST_F(ControlTest, TabOrderFocusAndEnterExitEvents) {
    auto* a = Make<TTestEdit>(Form, Bounds(10, 10, 100, 21));
    auto* b = Make<TTestEdit>(Form, Bounds(10, 40, 100, 21));
    auto* c = Make<TTestEdit>(Form, Bounds(10, 70, 100, 21));
    auto* skipped = Make<TTestEdit>(Form, Bounds(10, 100, 100, 21));
    skipped->SetTabStop(false);
    c->SetTabOrder(0); // c, a, b, skipped
    EXPECT_EQ(c->TabOrder(), 0);
    EXPECT_EQ(a->TabOrder(), 1);
    std::vector<std::string> log;
    for (auto* e : {a, b, c}) {
        std::string n = e == a ? "a" : e == b ? "b" : "c";
        e->OnEnter = [&log, n](TObject*) { log.push_back("enter " + n); };
        e->OnExit = [&log, n](TObject*) { log.push_back("exit " + n); };
    }
    Form->Show();
    Driver.Pump();
    EXPECT_EQ(Form->ActiveControl(), c) << "the first in tab order takes the focus";
    EXPECT_EQ(Driver.FocusedControl(), c);
    Driver.PressKey(VK_TAB);
    Driver.PressKey(VK_TAB);
    EXPECT_EQ(Driver.FocusedControl(), b);
    Driver.PressKey(VK_TAB);
    EXPECT_EQ(Driver.FocusedControl(), c) << "wraps around, skipping the one without a tab stop";
    Driver.PressKey(VK_TAB, modShift);
    EXPECT_EQ(Driver.FocusedControl(), b);
    EXPECT_EQ(log, (std::vector<std::string>{"enter c", "exit c", "enter a", "exit a", "enter b", "exit b",
                                             "enter c", "exit c", "enter b"}));
    // Disabled and hidden controls are passed over; a click focuses a control that can take the focus.
    a->SetEnabled(false);
    c->SetVisible(false);
    Driver.PressKey(VK_TAB);
    EXPECT_EQ(Driver.FocusedControl(), b);
    EXPECT_THROW(a->SetFocus(), EInvalidOperation);
    skipped->SetFocus();
    EXPECT_TRUE(skipped->Focused());
}

TEST_F(ControlTest, DialogKeysReachDefaultAndCancelButtonsAndAccelerators) {
    auto* edit = Make<TTestEdit>(Form, Bounds(10, 10, 100, 21));
    auto* ok = Make<TTestButton>(Form, Bounds(10, 50, 75, 25));
    auto* cancel = Make<TTestButton>(Form, Bounds(100, 50, 75, 25));
    auto* other = Make<TTestButton>(Form, Bounds(190, 50, 75, 25));
    ok->SetDefault(true);
    cancel->SetCancel(true);
    other->SetCaption("&Options");
    std::vector<std::string> clicks;
    ok->OnClick = [&](TObject*) { clicks.push_back("ok"); };
    cancel->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
    other->OnClick = [&](TObject*) { clicks.push_back("options"); };
    Form->Show();
    Driver.Pump();
    ASSERT_EQ(Driver.FocusedControl(), edit);
    Driver.Type("ab");
    Driver.PressKey(VK_RETURN);
    Driver.PressKey(VK_ESCAPE);
    Driver.PressKey('O', modAlt);
    EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel", "options"}));
    EXPECT_EQ(edit->Typed, U"ab") << "the edit got its characters but not Enter or Escape";
    // The arrows stay with a control that wants them; in a button they move the focus.
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Driver.FocusedControl(), edit);
    ok->SetFocus();
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Driver.FocusedControl(), cancel);
}

TEST_F(ControlTest, KeyPreviewLetsTheFormSeeKeysFirst) {
    auto* edit = Make<TTestEdit>(Form, Bounds(10, 10, 100, 21));
    std::vector<uint16_t> formKeys, formUps;
    std::vector<uint16_t> editKeys, editUps;
    Form->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
        formKeys.push_back(key);
        if (key == VK_F2)
            key = 0; // eaten
    };
    // Releasing a key is previewed the same way, and the form can eat a different key there.
    Form->OnKeyUp = [&](TObject*, uint16_t& key, TShiftState) {
        formUps.push_back(key);
        if (key == VK_F3)
            key = 0;
    };
    edit->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { editKeys.push_back(key); };
    edit->OnKeyUp = [&](TObject*, uint16_t& key, TShiftState) { editUps.push_back(key); };
    Form->Show();
    Driver.Pump();
    Driver.PressKey(VK_F3);
    EXPECT_TRUE(formKeys.empty());
    EXPECT_TRUE(formUps.empty());
    Form->SetKeyPreview(true);
    Driver.PressKey(VK_F2);
    Driver.PressKey(VK_F3);
    EXPECT_EQ(formKeys, (std::vector<uint16_t>{VK_F2, VK_F3}));
    EXPECT_EQ(editKeys, (std::vector<uint16_t>{VK_F3, VK_F3}));
    EXPECT_EQ(formUps, (std::vector<uint16_t>{VK_F2, VK_F3}));
    EXPECT_EQ(editUps, (std::vector<uint16_t>{VK_F3, VK_F2}));
}

TEST_F(ControlTest, NewBoundsAreClampedAskedForAndConstrainedAlike) {
    // Graphic and windowed controls take new bounds by the same rules.
    TControl* controls[] = {Make<TTestBox>(Form, Bounds(10, 10, 50, 40)),
                            Make<TTestPanel>(Form, Bounds(10, 10, 50, 40))};
    Form->Show();
    Driver.Pump();
    struct Step {
        TRect Asked, Expected;
        int Resizes;
        const char* What;
    } steps[] = {
        {Bounds(20, 10, 50, 40), Bounds(20, 10, 50, 40), 0, "a move is no resize"},
        {Bounds(20, 10, -5, 40), Bounds(20, 10, 0, 40), 1, "a negative width is none"},
        {Bounds(30, 30, 60, 99), Bounds(20, 10, 0, 40), 1, "a refused resize does not move either"},
        {Bounds(30, 30, 200, 50), Bounds(30, 30, 80, 50), 2, "the constraints hold"},
        {Bounds(30, 30, 90, 50), Bounds(30, 30, 80, 50), 2, "constrained back to the same bounds: no change"},
    };
    for (TControl* c : controls) {
        int resizes = 0;
        c->OnResize = [&](TObject*) { ++resizes; };
        c->OnCanResize = [](TObject*, int&, int& height, bool& resize) { resize = height != 99; };
        c->Constraints()->SetMaxWidth(80);
        for (const Step& s : steps) {
            c->SetBoundsRect(s.Asked);
            EXPECT_EQ(c->BoundsRect(), s.Expected) << c->ClassName() << ": " << s.What;
            EXPECT_EQ(resizes, s.Resizes) << c->ClassName() << ": " << s.What;
        }
        c->OnResize = nullptr;
    }
}

TEST_F(ControlTest, BringToFrontAndSendToBackReorderSiblingsAndTheirWindows) {
    auto* lowBox = Make<TTestBox>(Form, Bounds(10, 10, 40, 40));
    auto* highBox = Make<TTestBox>(Form, Bounds(30, 30, 40, 40));
    auto* leftPanel = Make<TTestPanel>(Form, Bounds(100, 10, 60, 60));
    auto* rightPanel = Make<TTestPanel>(Form, Bounds(130, 30, 60, 60));
    lowBox->SetColor(clRed);
    highBox->SetColor(clBlue);
    Form->Show();
    Driver.Pump();
    auto order = [&] {
        std::vector<TControl*> list;
        for (int i = 0; i < Form->ControlCount(); ++i)
            list.push_back(Form->Controls(i));
        return list;
    };
    const TPoint boxesOverlap(35, 35), panelsOverlap(140, 40);
    EXPECT_EQ(Driver.Pixel(Form, boxesOverlap.X, boxesOverlap.Y), clBlue);

    lowBox->BringToFront();
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Form, boxesOverlap.X, boxesOverlap.Y), clRed) << "painted last, over its sibling";
    lowBox->SendToBack();
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Form, boxesOverlap.X, boxesOverlap.Y), clBlue);

    rightPanel->SendToBack();
    EXPECT_EQ(ChildWindowFromPoint(Form->Handle(), panelsOverlap), leftPanel->Handle());
    rightPanel->BringToFront();
    EXPECT_EQ(ChildWindowFromPoint(Form->Handle(), panelsOverlap), rightPanel->Handle());
    EXPECT_EQ(order(), (std::vector<TControl*>{lowBox, highBox, leftPanel, rightPanel}));

    // A control without a parent has no siblings to pass.
    auto* loose = new TTestBox(Form);
    loose->BringToFront();
    loose->SendToBack();
    EXPECT_EQ(loose->Parent(), nullptr);
    EXPECT_EQ(order().size(), 4u);
}

TEST_F(ControlTest, TheWheelGoesToTheControlUnderThePointerThenToItsParents) {
    auto* panel = Make<TTestPanel>(Form, Bounds(10, 10, 200, 150));
    auto* box = Make<TTestBox>(panel, Bounds(10, 10, 50, 50));
    int downs = 0, ups = 0, panelWheels = 0;
    box->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
        ++downs;
        handled = true;
    };
    box->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool&) { ++ups; };
    panel->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        ++panelWheels;
        handled = true;
    };
    Form->Show();
    Driver.Pump();
    Driver.Wheel(box, TPoint(5, 5), -2 * WHEEL_DELTA);
    EXPECT_EQ(downs, 2) << "two notches, two steps";
    EXPECT_EQ(panelWheels, 0);
    Driver.Wheel(box, TPoint(5, 5), WHEEL_DELTA);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(panelWheels, 1) << "not handled by the box: the parent gets it";
}

TEST_F(ControlTest, FontsAndColoursComeFromTheParentUntilSetOwnUp) {
    auto* panel = Make<TTestPanel>(Form, Bounds(10, 10, 200, 150));
    auto* box = Make<TTestBox>(panel, Bounds(10, 10, 50, 50));
    panel->Font()->SetName("Arial");
    EXPECT_EQ(box->Font()->Name(), "Arial");
    EXPECT_TRUE(box->ParentFont());
    box->Font()->SetSize(14);
    EXPECT_FALSE(box->ParentFont());
    panel->Font()->SetName("Courier New");
    EXPECT_EQ(box->Font()->Name(), "Arial");
    panel->SetColor(clYellow);
    EXPECT_EQ(box->Color(), clYellow);
    box->SetColor(clRed);
    panel->SetColor(clAqua);
    EXPECT_EQ(box->Color(), clRed);
    box->SetParentColor(true);
    EXPECT_EQ(box->Color(), clAqua);
    // A colour chosen in a constructor holds even when it is the control's colour already.
    struct TWhiteBox : TTestBox {
        explicit TWhiteBox(TComponent* owner) : TTestBox(owner) { SetColor(Color()); }
    };
    auto* own = new TWhiteBox(Form);
    own->SetParent(panel);
    EXPECT_FALSE(own->ParentColor());
    EXPECT_NE(own->Color(), clAqua);
}

TEST_F(ControlTest, ExceptionsOfHandlersReachTheApplicationWithTheirSender) {
    auto* button = Make<TTestButton>(Form, Bounds(10, 10, 80, 30));
    button->SetName("Failing");
    button->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    std::string seen;
    TObject* sender = nullptr;
    Application->OnException = [&](TObject* s, Exception& e) {
        seen = std::string(e.ClassName()) + ": " + e.Message();
        sender = s;
    };
    Form->Show();
    Driver.Click(button);
    EXPECT_EQ(seen, "EConvertError: 'x' is not a valid integer value");
    EXPECT_EQ(sender, button);
    // A quiet abort is not reported.
    seen.clear();
    button->OnClick = [](TObject*) { Abort(); };
    Driver.Click(button);
    EXPECT_TRUE(seen.empty());
    Application->OnException = nullptr;
}

TEST_F(ControlTest, AReplacedWindowProcSeesMessagesAndPassesThemOn) {
    auto* button = Make<TTestButton>(Form, Bounds(10, 10, 80, 30));
    TWndMethod old = button->WindowProc;
    int downs = 0;
    button->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_LBUTTONDOWN)
            ++downs;
        old(m);
    };
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    Form->Show();
    Driver.Click(button);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(clicks, 1);
    button->WindowProc = old;
}

TEST_F(ControlTest, HintsShowAfterThePauseAndHideAgain) {
    auto* button = Make<TTestButton>(Form, Bounds(10, 10, 80, 30));
    button->SetHint("Start|Starts the acquisition");
    button->SetShowHint(true);
    std::string longHint;
    Application->OnHint = [&](TObject*) { longHint = Application->Hint(); };
    Form->Show();
    Driver.MoveTo(Driver.CenterOf(button));
    EXPECT_EQ(longHint, "Starts the acquisition");
    EXPECT_TRUE(!Application->HintWindow() || !Application->HintWindow()->IsHintShowing());
    Driver.Advance(Application->HintPause());
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_TRUE(Application->HintWindow()->IsHintShowing());
    EXPECT_EQ(Application->HintWindow()->Caption(), "Start");
    Driver.Advance(Application->HintHidePause());
    EXPECT_FALSE(Application->HintWindow()->IsHintShowing());
    Application->OnHint = nullptr;
}

// A hint window of another class, as a component set installs its own.
class TOtherHintWindow : public THintWindow {
public:
    using THintWindow::THintWindow;
};

TEST_F(ControlTest, HintsShowInWindowsOfTheInstalledClass) {
    auto* button = Make<TTestButton>(Form, Bounds(10, 10, 80, 30));
    button->SetHint("Start");
    button->SetShowHint(true);
    Form->Show();
    int made = 0;
    Application->SetHintWindowClass([&](TComponent* owner) {
        ++made;
        return new TOtherHintWindow(owner);
    });
    Driver.MoveTo(Driver.CenterOf(button));
    Driver.Advance(Application->HintPause());
    EXPECT_EQ(made, 1);
    ASSERT_NE(dynamic_cast<TOtherHintWindow*>(Application->HintWindow()), nullptr);
    EXPECT_TRUE(Application->HintWindow()->IsHintShowing());

    // Going back hides and frees the installed window; the next hint is a plain one.
    Application->SetHintWindowClass(nullptr);
    EXPECT_EQ(Application->HintWindow(), nullptr);
    Driver.MoveTo(Driver.CenterOf(Form));
    Driver.MoveTo(Driver.CenterOf(button));
    Driver.Advance(Application->HintPause());
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(dynamic_cast<TOtherHintWindow*>(Application->HintWindow()), nullptr);
    EXPECT_EQ(made, 1);
}

TEST_F(ControlTest, CursorsComeFromTheControlUnlessTheScreenOverrides) {
    auto* box = Make<TTestBox>(Form, Bounds(150, 10, 40, 40));
    box->SetCursor(crHandPoint);
    Form->Show();
    Driver.MoveTo(Driver.CenterOf(box));
    EXPECT_EQ(GetCursor()->Image.Shape, csrHandPoint);
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor()->Image.Shape, csrWait);
    Driver.MoveTo(TPoint(Driver.CenterOf(box).X + 1, Driver.CenterOf(box).Y));
    EXPECT_EQ(GetCursor()->Image.Shape, csrWait);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(GetCursor()->Image.Shape, csrHandPoint);
}

TEST_F(ControlTest, ControlsDragAndDropInsideTheProgram) {
    auto* source = Make<TTestBox>(Form, Bounds(10, 10, 40, 40));
    auto* target = Make<TTestPanel>(Form, Bounds(200, 10, 100, 100));
    source->SetDragMode(dmAutomatic);
    std::vector<std::string> log;
    target->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState state, bool& accept) {
        accept = src == source;
        if (state == dsDragEnter)
            log.push_back("enter");
    };
    target->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
        log.push_back("drop " + std::to_string(x) + "," + std::to_string(y) +
                      (src == source ? " from source" : ""));
    };
    source->OnEndDrag = [&](TObject*, TObject* t, int, int) {
        log.push_back(t == target ? "end on target" : "end");
    };
    Form->Show();
    Driver.Pump();
    Driver.Drag(Driver.CenterOf(source), target->ClientToScreen(TPoint(30, 40)), 4);
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "drop 30,40 from source", "end on target"}));
    // A short press is no drag.
    log.clear();
    Driver.Advance(1000);
    Driver.Click(source);
    EXPECT_TRUE(log.empty());
}

namespace {
// Raises from every paint, as a control with a broken drawing routine would.
class TFailingPaint : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        throw Exception("cannot draw");
    }
};
} // namespace

TEST_F(ControlTest, APaintThatRaisesStillValidatesTheWindow) {
    auto* failing = new TFailingPaint(Form);
    failing->SetParent(Form);
    failing->SetBoundsRect(Bounds(10, 10, 100, 60));
    int reported = 0;
    Application->OnException = [&](TObject*, Exception&) { ++reported; };
    Form->Show();
    Driver.Pump();
    EXPECT_EQ(failing->Paints, 1) << "the failed paint is not asked for again and again";
    EXPECT_EQ(reported, 1);
    TRect pending;
    EXPECT_FALSE(GetUpdateRect(failing->Handle(), &pending, false));
    Application->OnException = nullptr;
}
