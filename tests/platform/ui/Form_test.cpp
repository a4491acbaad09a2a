#include "platform/ui/Form.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/rtl/FormText.h"
#include "platform/rtl/Thread.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Panel.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/TestControls.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowScroll.h"
#include "platform/ui/WindowSystem.h"

using namespace plat;
using namespace uitest;

namespace {

// A form with a layout resource, published fields and a published handler, as the program's forms are.
class TfmLayout : public TForm {
    PLAT_CLASS(TfmLayout)
public:
    explicit TfmLayout(TComponent* AOwner) : TForm(AOwner) {}
    TButton* btn_ok = nullptr;
    TEdit* ed_name = nullptr;
    TPanel* pnl_bottom = nullptr;
    int Clicks = 0;
    std::vector<std::string> Events;
    void btn_okClick(TObject*) { ++Clicks; }
    void FormCreate(TObject*) { Events.push_back(btn_ok ? "create with controls" : "create"); }
    void FormShow(TObject*) { Events.push_back("show"); }
    void FormActivate(TObject*) { Events.push_back("activate"); }
    void FormDeactivate(TObject*) { Events.push_back("deactivate"); }
    void FormDestroy(TObject*) { Events.push_back("destroy"); }
};

PLAT_CLASS_INFO_CREATABLE(TfmLayout, TForm)

PLAT_PROPERTIES(TfmLayout) {
    props.Field("btn_ok", &TfmLayout::btn_ok);
    props.Field("ed_name", &TfmLayout::ed_name);
    props.Field("pnl_bottom", &TfmLayout::pnl_bottom);
    props.Method("btn_okClick", &TfmLayout::btn_okClick);
    props.Method("FormCreate", &TfmLayout::FormCreate);
    props.Method("FormShow", &TfmLayout::FormShow);
    props.Method("FormActivate", &TfmLayout::FormActivate);
    props.Method("FormDeactivate", &TfmLayout::FormDeactivate);
    props.Method("FormDestroy", &TfmLayout::FormDestroy);
}

const char* const LayoutText = R"(object fmLayout: TfmLayout
  Left = 200
  Top = 150
  BorderStyle = bsDialog
  Caption = 'Import'
  ClientHeight = 120
  ClientWidth = 300
  Color = clBtnFace
  Position = poScreenCenter
  OnActivate = FormActivate
  OnCreate = FormCreate
  OnDeactivate = FormDeactivate
  OnDestroy = FormDestroy
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object lbl_name: TLabel
    Left = 8
    Top = 12
    Width = 31
    Height = 13
    Caption = '&Name:'
    FocusControl = ed_name
  end
  object ed_name: TEdit
    Left = 48
    Top = 8
    Width = 200
    Height = 21
    TabOrder = 0
  end
  object pnl_bottom: TPanel
    Left = 0
    Top = 80
    Width = 300
    Height = 40
    Align = alBottom
    Caption = ''
    TabOrder = 1
    object btn_ok: TButton
      Left = 216
      Top = 8
      Width = 75
      Height = 25
      Anchors = [akTop, akRight]
      Caption = 'OK'
      Default = True
      ModalResult = 1
      TabOrder = 0
      OnClick = btn_okClick
    end
  end
end
)";

// A form whose creation and destruction handlers fail, as handlers with a bug would.
class TfmFailing : public TForm {
    PLAT_CLASS(TfmFailing)
public:
    explicit TfmFailing(TComponent* AOwner) : TForm(AOwner) {}
    void FormCreate(TObject*) { throw EInvalidOperation("create failed"); }
    void FormDestroy(TObject*) { throw EInvalidOperation("destroy failed"); }
};

PLAT_CLASS_INFO_CREATABLE(TfmFailing, TForm)

PLAT_PROPERTIES(TfmFailing) {
    props.Method("FormCreate", &TfmFailing::FormCreate);
    props.Method("FormDestroy", &TfmFailing::FormDestroy);
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControls();
        RegisterClasses({&TLabel::StaticClass(), &TEdit::StaticClass(), &TPanel::StaticClass(),
                         &TButton::StaticClass(), &TfmLayout::StaticClass()});
        RegisterFormResource("TfmLayout", LayoutText);
        RegisterClass(TfmFailing::StaticClass());
        RegisterFormResource("TfmFailing", "object fmFailing: TfmFailing\n"
                                           "  Caption = 'Failing'\n"
                                           "  OnCreate = FormCreate\n"
                                           "  OnDestroy = FormDestroy\n"
                                           "end\n");
    }
    TTestDriver Driver;
};

TForm* PlainForm(const char* caption, TRect bounds) {
    TForm* f = NewForm<TForm>(Application);
    f->SetCaption(caption);
    f->SetBoundsRect(bounds);
    return f;
}

} // namespace

TEST_F(FormTest, LayoutsBuildTheFormWithItsControlsFieldsAndHandlers) {
    auto* form = NewForm<TfmLayout>(Application);
    ASSERT_NE(form->btn_ok, nullptr);
    ASSERT_NE(form->ed_name, nullptr);
    EXPECT_EQ(form->btn_ok->Parent(), form->pnl_bottom);
    EXPECT_EQ(form->Caption(), "Import");
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 120);
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->Events, (std::vector<std::string>{"create with controls"}));
    EXPECT_FALSE(form->Visible());
    form->btn_ok->OnClick(form->btn_ok);
    EXPECT_EQ(form->Clicks, 1) << "the event is bound to the form's method";

    form->Show();
    Driver.Pump();
    EXPECT_EQ(form->Events, (std::vector<std::string>{"create with controls", "show", "activate"}));
    // Centred on the work area, same client size as in the layout.
    TRect work = Screen->WorkAreaRect();
    EXPECT_EQ(form->Left(), (work.Width() - form->Width()) / 2);
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(Driver.FocusedControl(), form->ed_name);
    // Widening the form keeps the anchored button at the same distance from the right.
    int gap = form->pnl_bottom->ClientWidth() - form->btn_ok->BoundsRect().Right;
    form->SetClientWidth(400);
    EXPECT_EQ(form->pnl_bottom->ClientWidth() - form->btn_ok->BoundsRect().Right, gap);
    // The controls of the layout paint themselves, so the picture shows the form as a user sees it.
    EXPECT_EQ(Driver.Pixel(form->ed_name, 100, 10), ColorToRGB(clWindow));
    auto image = Driver.Render(form);
    TTestDriver::SavePng(*image, "form-layout.png");
}

TEST_F(FormTest, FailingCreateAndDestroyHandlersReachTheApplication) {
    std::vector<std::string> errors;
    std::vector<TObject*> senders;
    Application->OnException = [&](TObject* sender, Exception& e) {
        errors.push_back(e.Message());
        senders.push_back(sender);
    };
    auto* form = NewForm<TfmFailing>(Application);
    EXPECT_EQ(form->Caption(), "Failing") << "the form is built all the same";
    form->Free();
    Application->OnException = nullptr;
    EXPECT_EQ(errors, (std::vector<std::string>{"create failed", "destroy failed"}));
    EXPECT_EQ(senders, (std::vector<TObject*>{form, form}));
}

TEST_F(FormTest, ActivationAndClosingRunTheirEventsInOrder) {
    auto* first = NewForm<TfmLayout>(Application);
    first->SetPosition(poDesigned);
    first->Show();
    Driver.Pump();
    TForm* second = PlainForm("second", Bounds(700, 100, 200, 150));
    second->Show();
    Driver.Pump();
    EXPECT_EQ(first->Events.back(), "deactivate");
    EXPECT_EQ(Screen->ActiveForm(), second);
    EXPECT_EQ(Screen->Forms(0), second) << "the focused form comes first";
    Driver.Click(TTestDriver::CenterOf(first->ed_name));
    EXPECT_EQ(first->Events.back(), "activate");
    EXPECT_EQ(Screen->ActiveForm(), first);

    // The program as a whole loses and regains activation.
    std::vector<std::string> app;
    auto* events = new TApplicationEvents(first);
    events->OnDeactivate = [&](TObject*) { app.push_back("deactivate"); };
    events->OnActivate = [&](TObject*) { app.push_back("activate"); };
    SetActiveWindow(nullptr);
    EXPECT_FALSE(Application->Active());
    SetActiveWindow(second->Handle());
    EXPECT_EQ(app, (std::vector<std::string>{"deactivate", "activate"}));
    delete events;

    // OnCloseQuery can refuse; OnClose chooses what closing does.
    bool allow = false;
    std::vector<std::string> closes;
    second->OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    second->OnClose = [&](TObject*, TCloseAction& action) {
        closes.push_back("close");
        action = caFree;
    };
    second->Close();
    EXPECT_TRUE(second->Visible());
    EXPECT_TRUE(closes.empty());
    allow = true;
    bool destroyed = false;
    second->OnDestroy = [&](TObject*) { destroyed = true; };
    second->Close();
    EXPECT_EQ(closes.size(), 1u);
    EXPECT_FALSE(destroyed) << "caFree releases once the current message is done";
    Driver.Pump();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Screen->FormCount(), 1);

    // The main form's closing ends the program; caHide (the default) only hides others.
    first->Close();
    EXPECT_FALSE(first->Visible());
    Application->SetMainForm(first);
    first->Show();
    first->Close();
    Driver.Pump();
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(FormTest, ModalFormsDisableTheOthersAndAnswerWithTheirModalResult) {
    TForm* owner = PlainForm("owner", Bounds(100, 100, 300, 200));
    owner->Show();
    Driver.Pump();
    auto* dialog = NewForm<TfmLayout>(Application);
    bool ownerEnabledInside = true;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        ownerEnabledInside = IsWindowEnabled(owner->Handle());
        EXPECT_EQ(&form, dialog);
        EXPECT_EQ(GetActiveWindow(), dialog->Handle());
        Driver.Type("xyz");
        Driver.PressKey(VK_RETURN); // the default button: ModalResult 1
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(dialog->ed_name->Text(), "xyz");
    EXPECT_EQ(dialog->Clicks, 1);
    EXPECT_EQ(GetActiveWindow(), owner->Handle()) << "the window that was active is active again";

    // Closing a modal form answers mrCancel; a visible form cannot go modal.
    Driver.AnswerNextModal([&](TCustomForm& form) { form.Close(); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    dialog->Show();
    EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
    dialog->Hide();

    // A modal form may open another; each loop ends with its own result.
    TForm* inner = PlainForm("inner", Bounds(300, 300, 100, 80));
    bool outerEnabledInside = true;
    Driver.AnswerNextModal([&](TCustomForm&) {
        Driver.AnswerNextModal([&](TCustomForm& f) {
            outerEnabledInside = IsWindowEnabled(dialog->Handle());
            f.SetModalResult(mrNo);
        });
        EXPECT_EQ(inner->ShowModal(), mrNo);
        EXPECT_TRUE(IsWindowEnabled(dialog->Handle()));
        dialog->SetModalResult(mrYes);
    });
    EXPECT_EQ(dialog->ShowModal(), mrYes);
    EXPECT_FALSE(outerEnabledInside) << "the outer modal form waits disabled";
    EXPECT_EQ(Driver.PendingModalAnswers(), 0);
}

TEST_F(FormTest, SynchronizedCallsRunWhileAModalLoopWaits) {
    TForm* modal = PlainForm("modal", Bounds(300, 300, 200, 100));
    std::atomic<TThreadID> ranOn{0};
    class TWorker : public TThread {
    public:
        TWorker(TForm* f, std::atomic<TThreadID>& r) : TThread(true), FForm(f), FRanOn(r) {}
        void Execute() override {
            Synchronize([this] {
                FRanOn = CurrentThreadId();
                FForm->SetModalResult(mrAbort);
            });
        }
        TForm* FForm;
        std::atomic<TThreadID>& FRanOn;
    };
    TWorker worker(modal, ranOn);
    Driver.AnswerNextModal([&](TCustomForm&) { worker.Start(); });
    EXPECT_EQ(modal->ShowModal(), mrAbort);
    worker.WaitFor();
    EXPECT_EQ(ranOn.load(), CurrentThreadId());
}

TEST_F(FormTest, TimersTickOnTheClockAndTheirExceptionsReachTheApplication) {
    TForm* form = PlainForm("timers", Bounds(0, 0, 100, 100));
    auto* timer = new TTimer(form);
    int ticks = 0;
    timer->SetInterval(250);
    timer->SetOnTimer([&](TObject*) {
        if (++ticks == 3)
            throw EInvalidOperation("tick three");
    });
    std::vector<std::string> errors;
    auto* events = new TApplicationEvents(form);
    events->OnException = [&](TObject* sender, Exception& e) {
        errors.push_back(e.Message() + (sender == timer ? " from the timer" : ""));
    };
    Driver.Advance(1000);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(errors, (std::vector<std::string>{"tick three from the timer"}));
    // Whatever is thrown, the events hear of it.
    timer->SetOnTimer([&](TObject*) {
        if (++ticks == 5)
            throw 42;
        if (ticks == 6)
            throw std::runtime_error("tick six");
    });
    Driver.Advance(500);
    EXPECT_EQ(errors,
              (std::vector<std::string>{"tick three from the timer", "Unknown exception from the timer",
                                        "tick six from the timer"}));
    timer->SetEnabled(false);
    Driver.Advance(1000);
    EXPECT_EQ(ticks, 6);
}

TEST_F(FormTest, TheApplicationIdlesFiltersMessagesAndEndsRun) {
    TForm* main = PlainForm("main", Bounds(0, 0, 200, 100));
    Application->SetMainForm(main);
    int idles = 0;
    int eaten = 0;
    Application->OnMessage = [&](TMsg& msg, bool& handled) {
        if (msg.message == WM_USER + 50) {
            ++eaten;
            handled = true;
        }
    };
    int reached = 0;
    TWndMethod old = main->WindowProc;
    main->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_USER + 50)
            ++reached;
        old(m);
    };
    PostMessage(main->Handle(), WM_USER + 50, 0, 0);
    // Idle steps only come when nothing is pending; a posted message per step keeps the loop going.
    Application->OnIdle = [&](TObject*, bool& done) {
        if (++idles < 3)
            PostMessage(main->Handle(), WM_USER + 51, 0, 0);
        else
            main->Close();
        done = true;
    };
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(eaten, 1);
    EXPECT_EQ(reached, 0);
    EXPECT_GE(idles, 3);
    Application->OnIdle = nullptr;
    Application->OnMessage = nullptr;
    main->WindowProc = old;
}

TEST_F(FormTest, ScreenCursorsIncludeCustomOnes) {
    TImageSurface picture(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture.Row(y)[x] = (x == y) ? 0xFF000000u : 0xFFFFFFFFu;
    HCURSOR hand = CreateCursorFromImage(picture, TPoint(8, 8), clWhite);
    ASSERT_NE(hand, nullptr);
    Screen->SetCursors(2020, hand);
    EXPECT_EQ(Screen->Cursors(2020), hand);
    EXPECT_EQ(hand->Image.Pixels[0] >> 24, 0xFFu);
    EXPECT_EQ(hand->Image.Pixels[1] >> 24, 0u) << "white is see-through";
    TForm* form = PlainForm("cursor", Bounds(0, 0, 200, 200));
    form->SetCursor(2020);
    form->Show();
    Driver.MoveTo(TTestDriver::CenterOf(form));
    EXPECT_EQ(GetCursor()->Image.Shape, csrCustom);
    EXPECT_EQ(GetCursor()->Image.HotSpot, TPoint(8, 8));
    EXPECT_EQ(Screen->Cursors(12345), LoadCursor(IDC_ARROW)) << "unknown numbers give the arrow";
    Screen->SetCursors(2020, nullptr);
}

TEST_F(FormTest, SystemParametersAnswerTheClassicValues) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CXHSCROLL), 16);
    TRect work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work));
    EXPECT_EQ(work, Screen->WorkAreaRect());
    bool animation = false;
    SystemParametersInfo(SPI_GETMENUANIMATION, 0, &animation);
    bool saved = animation;
    SystemParametersInfo(SPI_SETMENUANIMATION, 0, nullptr);
    SystemParametersInfo(SPI_GETMENUANIMATION, 0, &animation);
    EXPECT_FALSE(animation);
    SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(static_cast<intptr_t>(saved)));
    SystemParametersInfo(SPI_GETMENUANIMATION, 0, &animation);
    EXPECT_EQ(animation, saved);
    THighContrast hc;
    SystemParametersInfo(SPI_GETHIGHCONTRAST, 0, &hc);
    EXPECT_EQ(hc.dwFlags & HCF_HIGHCONTRASTON, 0u);
    EXPECT_EQ(GetSysColor(15), RGB(0xD4, 0xD0, 0xC8)) << "the classic button face";
}

namespace {

// A picture of one colour, for icons that are easy to tell apart.
TPixelImage Solid(int size, uint32_t argb) {
    TPixelImage img(size, size);
    std::fill(img.Pixels.begin(), img.Pixels.end(), argb);
    return img;
}

} // namespace

TEST_F(FormTest, FormsShowTheirIconOrTheApplicationsInTheirWindow) {
    TForm* form = PlainForm("icons", Bounds(100, 100, 300, 200));
    form->Show();
    Driver.Pump();
    HWND wnd = form->Handle();
    EXPECT_EQ(SendMessage(wnd, WM_GETICON, ICON_BIG, 0), 0) << "no icon anywhere yet";

    TIcon appIcon;
    appIcon.AddImage(Solid(32, 0xFF2040C0), true);
    Application->SetIcon(&appIcon);
    HICON app = Application->GetIconHandle();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(wnd, WM_GETICON, ICON_BIG, 0)), app);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(wnd, WM_GETICON, ICON_SMALL, 0)), app);

    // The form's own icon wins, and an empty one gives the application's back.
    TIcon own;
    own.AddImage(Solid(16, 0xFFC02020), true);
    own.AddImage(Solid(32, 0xFF20C020), true);
    form->SetIcon(&own);
    HICON mine = form->GetIconHandle();
    ASSERT_NE(mine, app);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(wnd, WM_GETICON, ICON_BIG, 0)), mine);
    if (Driver.IsHeadless()) {
        // The display gets both sizes, each from the matching picture.
        std::vector<TIconImage> shown = Driver.Backend().Icon(GetNativeWindow(wnd));
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].Width, 16);
        EXPECT_EQ(shown[0].Pixels[0], 0xFFC02020u);
        EXPECT_EQ(shown[1].Width, 32);
        EXPECT_EQ(shown[1].Pixels[0], 0xFF20C020u);
    }
    form->Icon()->Clear();
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(wnd, WM_GETICON, ICON_BIG, 0)), app);
    if (Driver.IsHeadless()) {
        std::vector<TIconImage> shown = Driver.Backend().Icon(GetNativeWindow(wnd));
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].Width, 16) << "scaled from the application's only picture";
        EXPECT_EQ(shown[0].Pixels[0], 0xFF2040C0u);
    }
    // A window made again (another border style) keeps showing the icon.
    form->SetBorderStyle(bsSingle);
    Driver.Pump();
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(form->Handle(), WM_GETICON, ICON_BIG, 0)), app);
    // A changed application icon reaches the form.
    appIcon.Clear();
    appIcon.AddImage(Solid(32, 0xFF808000), true);
    Application->SetIcon(&appIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(form->Handle(), WM_GETICON, ICON_BIG, 0)),
              Application->GetIconHandle());
}

TEST_F(FormTest, AutoScrollShowsScrollBarsForControlsBeyondTheClientArea) {
    TForm* form = PlainForm("scrolling", Bounds(100, 100, 300, 240));
    auto* near = new TTestPanel(form);
    near->SetParent(form);
    near->SetBounds(10, 10, 50, 30);
    auto* far = new TTestPanel(form);
    far->SetParent(form);
    far->SetBounds(20, 500, 60, 40);
    form->Show();
    Driver.Pump();
    EXPECT_FALSE(form->AutoScroll()) << "forms scroll only when asked";
    EXPECT_FALSE(GetWindowLongPtr(form->Handle(), GWL_STYLE) & WS_VSCROLL);

    form->SetAutoScroll(true);
    Driver.Pump();
    EXPECT_TRUE(form->VertScrollBar()->IsScrollBarVisible());
    EXPECT_FALSE(form->HorzScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(form->VertScrollBar()->Range(), 540);
    EXPECT_TRUE(GetWindowLongPtr(form->Handle(), GWL_STYLE) & WS_VSCROLL);
    int extent = form->ClientHeight();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(form->Handle(), SB_VERT, info));
    EXPECT_EQ(info.nMax, 539);
    EXPECT_EQ(static_cast<int>(info.nPage), extent);

    // The bar's arrow scrolls the controls; the far one is brought into view.
    TRect window;
    GetWindowRect(form->Handle(), window);
    TPoint client0 = form->ClientToScreen(TPoint(0, 0));
    TPoint downArrow(client0.X + form->ClientWidth() + 8, client0.Y + extent - 8);
    Driver.Click(downArrow);
    EXPECT_EQ(form->VertScrollBar()->Position(), 8);
    EXPECT_EQ(near->Top(), 2);
    form->ScrollInView(far);
    EXPECT_EQ(far->Top() + far->Height(), extent);
    EXPECT_EQ(GetScrollPos(form->Handle(), SB_VERT), 540 - extent);

    // A taller form has room for everything: the bar goes and the controls return home.
    form->SetBounds(100, 100, 300, 700);
    Driver.Pump();
    EXPECT_FALSE(form->VertScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(near->Top(), 10);
    EXPECT_EQ(far->Top(), 500);
    form->SetAutoScroll(false);
    form->SetBounds(100, 100, 300, 240);
    Driver.Pump();
    EXPECT_FALSE(GetWindowLongPtr(form->Handle(), GWL_STYLE) & WS_VSCROLL);
}

namespace {

// A captionless form that draws its own frame: its top strip moves it, its edges and corners size it.
class TCustomFrameForm : public TForm {
public:
    explicit TCustomFrameForm(TComponent* AOwner) : TForm(AOwner) { SetBorderStyle(bsNone); }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_NCHITTEST) {
            TPoint p = ScreenToClient(PointFromLParam(m.LParam));
            if (p.X >= Width() - 12 && p.Y >= Height() - 12)
                m.Result = HTBOTTOMRIGHT;
            else if (p.X < 4)
                m.Result = HTLEFT;
            else if (p.Y < 20)
                m.Result = HTCAPTION;
            else
                m.Result = HTCLIENT;
            return;
        }
        TForm::Dispatch(m);
    }
};

} // namespace

TEST_F(FormTest, CaptionlessFormsAreMovedAndSizedByTheirOwnHitTest) {
    auto* form = NewForm<TCustomFrameForm>(Application);
    form->SetBounds(300, 200, 400, 300);
    form->Show();
    Driver.Pump();
    EXPECT_FALSE(GetWindowLongPtr(form->Handle(), GWL_STYLE) & WS_CAPTION);
    std::vector<UINT> loop;
    auto old = form->WindowProc;
    form->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_ENTERSIZEMOVE || m.Msg == WM_EXITSIZEMOVE)
            loop.push_back(m.Msg);
        old(m);
    };
    // Dragging the top strip moves the window with the pointer until the button is released.
    Driver.Drag(TPoint(500, 210), TPoint(560, 250));
    EXPECT_EQ(form->BoundsRect(), Bounds(360, 240, 400, 300));
    EXPECT_EQ(loop, (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
    if (Driver.IsHeadless()) {
        EXPECT_EQ(Driver.Backend().NativeBounds(GetNativeWindow(form->Handle())), form->BoundsRect());
    }
    // The bottom-right corner sizes it; the left edge moves that edge only.
    Driver.Drag(TPoint(755, 535), TPoint(805, 575));
    EXPECT_EQ(form->BoundsRect(), Bounds(360, 240, 450, 340));
    Driver.Drag(TPoint(361, 400), TPoint(341, 400));
    EXPECT_EQ(form->BoundsRect(), Bounds(340, 240, 470, 340));
    // Moves after the release leave it where it is.
    Driver.MoveTo(TPoint(900, 900));
    EXPECT_EQ(form->BoundsRect(), Bounds(340, 240, 470, 340));
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    form->WindowProc = old;
}

TEST_F(FormTest, LayoutsNameComponentsOfOtherFormsByTheFormsName) {
    auto* layout = NewForm<TfmLayout>(Application);
    EXPECT_EQ(FindGlobalComponent("FMLAYOUT"), layout);
    EXPECT_EQ(FindGlobalComponent("fmNowhere"), nullptr);
    // A label of another form points at this form's edit, and the reference survives the text form.
    TForm* other = PlainForm("other", Bounds(10, 10, 200, 100));
    other->SetName("fmOther");
    auto* label = new TLabel(other);
    label->SetParent(other);
    label->SetName("lbl_far");
    label->SetFocusControl(layout->ed_name);
    const std::string text = WriteComponentToText(other);
    EXPECT_NE(text.find("FocusControl = fmLayout.ed_name"), std::string::npos) << text;
    other->Free();
    auto* back = new TForm(Application);
    ReadComponentFromText(text, back);
    EXPECT_EQ(static_cast<TLabel*>(back->FindComponent("lbl_far"))->FocusControl(), layout->ed_name);
    back->Free();
    layout->Free();
    EXPECT_EQ(FindGlobalComponent("fmLayout"), nullptr);
}

// A layout read into a form that exists already (not while the form is made) shows the form as the
// layout says, painted; one that says hidden leaves it hidden.
TEST_F(FormTest, ALayoutReadIntoAnExistingFormShowsItAsTheLayoutSays) {
    for (bool visible : {true, false}) {
        SCOPED_TRACE(visible);
        auto* form = new TForm(Application);
        ReadComponentFromText(std::string("object fmRead: TForm\n  Left = 20\n  Top = 30\n  Width = 200\n"
                                          "  Height = 100\n  Visible = ") +
                                  (visible ? "True" : "False") + "\nend\n",
                              form);
        Driver.Pump();
        EXPECT_EQ(form->Visible(), visible);
        EXPECT_EQ(form->HandleAllocated() && IsWindowVisible(form->Handle()), visible);
        if (visible) {
            EXPECT_EQ(Driver.Pixel(form, 50, 40), ColorToRGB(clBtnFace));
        }
        form->Free();
    }
}

// Most forms made at start are never shown: reading a layout makes no window, and labels sized before
// there is one measure as they would in it.
TEST_F(FormTest, ReadingALayoutMakesNoWindowAndLabelsMeasureAsInOne) {
    auto* form = NewForm<TfmLayout>(Application);
    EXPECT_FALSE(form->HandleAllocated());
    auto* label = dynamic_cast<TLabel*>(form->FindComponent("lbl_name"));
    ASSERT_NE(label, nullptr);
    auto* windowed = new TForm(Application);
    windowed->HandleNeeded();
    auto* inWindow = new TLabel(windowed);
    inWindow->SetParent(windowed);
    inWindow->SetBounds(label->Left(), label->Top(), 1, 1);
    for (const char* caption : {"&Name:", "A much longer caption\twith a tab", ""}) {
        SCOPED_TRACE(caption);
        inWindow->SetCaption(caption);
        label->SetCaption(caption);
        EXPECT_EQ(label->BoundsRect(), inWindow->BoundsRect());
    }
    windowed->Free();
    EXPECT_FALSE(form->HandleAllocated());
}
