#include "ui/drawing/KvxTaskDialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/PngImage.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timer.h"
#include "ui/drawing/TaskDialog.h"

using namespace plat;
using namespace ui;

namespace {

constexpr TCommonButtons Buttons(std::initializer_list<TCommonButton> list) {
    TCommonButtons bits = 0;
    for (TCommonButton b : list)
        bits |= CommonButtonBit(b);
    return bits;
}

class TaskDialogTest : public ::testing::Test {
protected:
    TaskDialogTest() { Dialog = std::make_unique<TKvxTaskDialog>(nullptr); }

    // Runs the dialog; `answer` acts on the shown form.
    int Run(TCustomKvxTaskDialog& dialog, std::function<void(TKvxMessageForm&)> answer) {
        Driver.AnswerNextModal([answer](TCustomForm& form) {
            auto* message = dynamic_cast<TKvxMessageForm*>(&form);
            ASSERT_NE(message, nullptr);
            answer(*message);
        });
        return dialog.Execute();
    }
    int Run(std::function<void(TKvxMessageForm&)> answer) { return Run(*Dialog, std::move(answer)); }

    // Names of the buttons that are the default, the cancel button and tab stops.
    static std::string Flags(TKvxMessageForm& form) {
        std::string out;
        for (TWinControl* c : form.CommonButtonList()) {
            auto* b = dynamic_cast<TButton*>(c);
            out += b->Name() + (b->Default() ? "+default" : "") + (b->Cancel() ? "+cancel" : "") +
                   (b->TabStop() ? "" : "+notab") + " ";
        }
        for (TWinControl* c : form.CustomButtonList())
            out += c->Name() + (c->TabStop() ? "" : "+notab") + " ";
        return out;
    }

    // A client point on the first link found along the top line of the rectangle; (-1, -1) for none.
    static TPoint LinkPoint(TKvxMessageForm& form, const TRect& r) {
        for (int x = r.Left; x < r.Right; ++x)
            if (!form.AnchorAt(x, r.Top + 4).empty())
                return TPoint(x + 3, r.Top + 4);
        return TPoint(-1, -1);
    }

    void SavePicture(TKvxMessageForm& form, const std::string& name) {
        auto image = Driver.Render(&form);
        ASSERT_TRUE(image);
        TTestDriver::SavePng(*image, TestOutputDir("dialogs") + "/" + name + ".png");
    }

    TTestDriver Driver;
    std::unique_ptr<TKvxTaskDialog> Dialog;
};

TEST_F(TaskDialogTest, EachButtonReturnsItsIdentifier) {
    struct TCase {
        TCommonButtons Common;
        std::vector<std::string> Custom;
        const char* Click;
        int Expected;
    };
    const TCase cases[] = {
        {Buttons({cbOK}), {}, "OK", 1},
        {Buttons({cbOK, cbCancel}), {}, "Cancel", 2},
        {Buttons({cbClose}), {}, "&Abort", 3},
        {Buttons({cbRetry, cbCancel}), {}, "&Retry", 4},
        {Buttons({cbYes, cbNo}), {}, "&Yes", 6},
        {Buttons({cbYes, cbNo}), {}, "&No", 7},
        {Buttons({cbOK}), {"First", "Second"}, "Second", 101},
        {0, {"Only"}, "Only", 100},
    };
    for (const TCase& c : cases) {
        Dialog->SetCommonButtons(c.Common);
        Dialog->CustomButtons()->Clear();
        for (const std::string& s : c.Custom)
            Dialog->CustomButtons()->Add(s);
        std::vector<int> clicked;
        Dialog->OnDialogButtonClick = [&](TObject*, int id) { clicked.push_back(id); };
        EXPECT_EQ(Run([&](TKvxMessageForm& form) { Driver.ClickButton(&form, c.Click); }), c.Expected)
            << c.Click;
        // Only custom buttons report their click; common ones just close.
        EXPECT_EQ(clicked, c.Expected >= 100 ? std::vector<int>{c.Expected} : std::vector<int>{}) << c.Click;
        EXPECT_EQ(Dialog->MessageForm, nullptr);
    }
}

TEST_F(TaskDialogTest, WithoutButtonsOneDefaultOKReturnsOne) {
    std::string shown;
    EXPECT_EQ(Run([&](TKvxMessageForm& form) {
                  shown = Flags(form);
                  Driver.PressKey(VK_RETURN);
              }),
              1);
    EXPECT_EQ(shown, "OK+default ");
}

TEST_F(TaskDialogTest, DefaultButtonChoosesDefaultAndCancelButtons) {
    struct TCase {
        int DefaultButton;
        TCommonButtons Common;
        std::vector<std::string> Custom;
        const char* Expected;
        int Enter; // what Enter answers; 0: not tried
    };
    const TCase cases[] = {
        {0, Buttons({cbYes, cbNo}), {}, "Yes+default No+cancel ", 6},
        {0, Buttons({cbOK, cbCancel}), {}, "OK+default Cancel+cancel ", 1},
        {4, Buttons({cbOK, cbRetry}), {}, "OK+default+cancel Retry ", 1},
        {7, Buttons({cbYes, cbNo}), {}, "Yes No+default ", 7},
        {2, Buttons({cbOK, cbCancel}), {}, "OK+cancel Cancel+default+cancel ", 2},
        {-1, Buttons({cbOK, cbCancel}), {"Custom"}, "OK+cancel+notab Cancel+cancel+notab Button0+notab ", 0},
        {101, Buttons({cbOK}), {"A", "B"}, "OK+default+cancel Button0 Button1 ", 101},
    };
    for (const TCase& c : cases) {
        Dialog->SetDefaultButton(c.DefaultButton);
        Dialog->SetCommonButtons(c.Common);
        Dialog->SetOptions(OptionBit(doAllowDialogCancel));
        Dialog->CustomButtons()->Clear();
        for (const std::string& s : c.Custom)
            Dialog->CustomButtons()->Add(s);
        std::string shown;
        int result = Run([&](TKvxMessageForm& form) {
            shown = Flags(form);
            if (c.Enter)
                Driver.PressKey(VK_RETURN);
            else
                form.SetModalResult(mrCancel);
        });
        EXPECT_EQ(shown, c.Expected) << c.DefaultButton;
        if (c.Enter) {
            EXPECT_EQ(result, c.Enter) << c.DefaultButton;
        }
    }
}

TEST_F(TaskDialogTest, EscapeClosesThroughTheOKButtonOnlyWhenCancelIsAllowed) {
    Dialog->SetCommonButtons(Buttons({cbOK}));
    Dialog->SetOptions(OptionBit(doAllowDialogCancel));
    EXPECT_EQ(Run([&](TKvxMessageForm&) { Driver.PressKey(VK_ESCAPE); }), 1);

    // Without a cancel button the Escape character closes the form as cancelled.
    Dialog->SetCommonButtons(Buttons({cbYes}));
    EXPECT_EQ(Run([&](TKvxMessageForm&) { Driver.PressKey(VK_ESCAPE); }), 2);

    Dialog->SetCommonButtons(Buttons({cbOK}));
    Dialog->SetOptions(0);
    bool stillShown = false;
    EXPECT_EQ(Run([&](TKvxMessageForm& form) {
                  Driver.PressKey(VK_ESCAPE);
                  stillShown = form.Visible() && form.ModalResult() == mrNone;
                  Driver.ClickButton(&form, "OK");
              }),
              1);
    EXPECT_TRUE(stillShown);
}

TEST_F(TaskDialogTest, CtrlCBeepsAndCopiesTheTexts) {
    UI_HEADLESS_ONLY(Driver);
    Dialog->SetTitle("Lumetra");
    Dialog->SetInstruction("Camera lost");
    Dialog->SetContent("The camera stopped answering.");
    int bells = Driver.Backend().Bells();
    Run([&](TKvxMessageForm& form) {
        Driver.PressKey('C', modControl);
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(Driver.Backend().Bells(), bells + 1);
    EXPECT_EQ(Clipboard()->AsText(), "Lumetra\r\nCamera lost\r\nThe camera stopped answering.");
}

TEST_F(TaskDialogTest, RadioChoiceIsReportedAndSurvivesATextUpdate) {
    Dialog->RadioButtons()->Add("Keep");
    Dialog->RadioButtons()->Add("Replace");
    Dialog->RadioButtons()->Add("Merge");
    std::vector<int> reported;
    Dialog->OnDialogRadioClick = [&](TObject*, int id) { reported.push_back(id); };
    int during = 0;
    EXPECT_EQ(Run([&](TKvxMessageForm& form) {
                  EXPECT_EQ(Dialog->RadioButtonResult, 200);
                  Driver.Click(form.RadioButtonList()[2]);
                  Dialog->SetContent("Changed while shown");
                  during = Dialog->RadioButtonResult;
                  Driver.ClickButton(&form, "OK");
              }),
              1);
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), 202);
    EXPECT_EQ(during, 202);
    EXPECT_EQ(Dialog->RadioButtonResult, 202);

    // Without a default radio button nothing is chosen at first.
    Dialog->SetOptions(OptionBit(doNoDefaultRadioButton));
    Run([&](TKvxMessageForm& form) {
        for (TWinControl* r : form.RadioButtonList())
            EXPECT_FALSE(dynamic_cast<TRadioButton*>(r)->Checked());
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(Dialog->RadioButtonResult, 0);
}

TEST_F(TaskDialogTest, VerificationBoxReportsItsState) {
    Dialog->SetVerificationText("Don't ask again\\n");
    std::vector<bool> reported;
    Dialog->OnDialogVerifyClick = [&](TObject*, bool checked) { reported.push_back(checked); };
    std::string caption;
    Run([&](TKvxMessageForm& form) {
        auto* box = dynamic_cast<TCheckBox*>(form.FindComponent("Verification"));
        ASSERT_NE(box, nullptr);
        caption = box->Caption();
        Driver.Click(box);
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(reported, std::vector<bool>{true});
    EXPECT_TRUE(Dialog->VerifyResult);
    EXPECT_EQ(caption, "Don't ask again\\n") << "the verification text keeps its escapes";

    // A box checked from the start reports so without a click.
    Dialog->SetOptions(OptionBit(doVerifyChecked));
    Dialog->VerifyResult = false;
    Run([&](TKvxMessageForm& form) { form.SetModalResult(mrOk); });
    EXPECT_TRUE(Dialog->VerifyResult);
}

TEST_F(TaskDialogTest, ProgressTimerRunsOnTheClock) {
    Dialog->SetOptions(OptionBit(doProgressBar));
    Dialog->SetProgressBarMax(50);
    int ticks = 0;
    Dialog->OnDialogTimer = [&](TObject*) { ++ticks; };
    Dialog->OnDialogProgress = [&](TObject*, int& pos, TTaskDialogProgressState&) { pos += 5; };
    int position = 0, max = 0;
    Run([&](TKvxMessageForm& form) {
        ASSERT_NE(form.Timer(), nullptr);
        EXPECT_EQ(form.Timer()->Interval(), 100u);
        Driver.Advance(350, 10);
        position = form.ProgressBar()->Position();
        max = form.ProgressBar()->Max();
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(position, 15);
    EXPECT_EQ(max, 100) << "without OnDialogCreated the bar keeps its own range";

    Dialog->OnDialogCreated = [](TObject*) {};
    Run([&](TKvxMessageForm& form) {
        max = form.ProgressBar()->Max();
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(max, 50);
}

TEST_F(TaskDialogTest, AVetoKeepsTheDialogAndItsInputControl) {
    auto* host = NewForm<TForm>(nullptr);
    auto* custom = new TEdit(host);
    custom->SetParent(host);
    TKvxInputTaskDialog dialog(nullptr);
    dialog.SetCommonButtons(Buttons({cbOK, cbCancel}));
    dialog.SetInputType(itCustom);
    dialog.SetInputControl(custom);
    dialog.SetInputText("first");
    bool openAfterVeto = false;
    TWinControl* parentAfterVeto = nullptr;
    std::string textAfterVeto;
    int closes = 0;
    dialog.OnDialogClose = [&](TObject*, bool& canClose) {
        if (++closes > 1)
            return;
        canClose = false;
        // Once the refused close is done, look at the dialog and press OK again.
        QueueInMainThread([&] {
            TKvxMessageForm* form = dialog.MessageForm;
            ASSERT_NE(form, nullptr);
            openAfterVeto = form->Visible() && form->ModalResult() == mrNone;
            parentAfterVeto = custom->Parent();
            textAfterVeto = dialog.InputText();
            Driver.ClickButton(form, "OK");
        });
    };
    int result = Run(dialog, [&](TKvxMessageForm& form) {
        EXPECT_EQ(custom->Parent(), &form);
        EXPECT_EQ(custom->Text(), "first");
        custom->SetTextProp("second");
        Driver.ClickButton(&form, "OK");
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(openAfterVeto);
    EXPECT_NE(parentAfterVeto, host) << "a refused close keeps the control on the dialog";
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(textAfterVeto, "second");
    EXPECT_EQ(custom->Parent(), host);
    EXPECT_FALSE(custom->Visible());
    EXPECT_EQ(dialog.InputText(), "second");
    host->Free();
    EXPECT_EQ(dialog.InputControl(), nullptr) << "a freed input control is forgotten";
}

TEST_F(TaskDialogTest, InputControlsGiveTheirTextBack) {
    TKvxInputTaskDialog dialog(nullptr);
    dialog.SetCommonButtons(Buttons({cbOK}));
    dialog.SetInputText("old");
    Run(dialog, [&](TKvxMessageForm& form) {
        auto* edit = dynamic_cast<TEdit*>(TTestDriver::FocusedControl());
        ASSERT_NE(edit, nullptr) << "the edit has the focus";
        EXPECT_EQ(edit->Text(), "old");
        edit->SetTextProp("new title");
        Driver.ClickButton(&form, "OK");
    });
    EXPECT_EQ(dialog.InputText(), "new title");

    dialog.SetInputType(itComboList);
    dialog.InputItems()->Add("alpha");
    dialog.InputItems()->Add("beta");
    dialog.SetInputText("beta");
    Run(dialog, [&](TKvxMessageForm& form) {
        auto* combo = dynamic_cast<TComboBox*>(TTestDriver::FocusedControl());
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->ItemIndex(), 1);
        combo->SetItemIndex(0);
        Driver.ClickButton(&form, "OK");
    });
    EXPECT_EQ(dialog.InputText(), "alpha");
}

TEST_F(TaskDialogTest, LinksOpenThroughTheLinkServiceOrTheHandler) {
    std::vector<std::string> launched;
    TLinkLauncher old = SetLinkLauncher([&](const std::string&, const std::vector<std::string>& args) {
        launched.push_back(args.empty() ? std::string() : args.back());
        return true;
    });
    struct TCase {
        const char* Href;
        bool Handler;
        const char* Launched; // what reached the desktop's handler
        const char* Handled;  // what reached OnDialogHyperlinkClick
    };
    const TCase cases[] = {
        {"http://x", false, "http://x", ""},
        {"mailto:y", false, "", ""}, // only targets with "://" are opened
        {"file:///etc/passwd", false, "", ""},
        {"local", false, "", ""},
        {"http://x", true, "", "http://x"},
        {"local", true, "", "local"},
    };
    for (const TCase& c : cases) {
        launched.clear();
        std::string handled;
        Dialog->OnDialogHyperlinkClick = nullptr;
        if (c.Handler)
            Dialog->OnDialogHyperlinkClick = [&](TObject*, const std::string& href) { handled = href; };
        Dialog->SetFooter(std::string("See <a href=\"") + c.Href + "\">the help page</a>.");
        Run([&](TKvxMessageForm& form) {
            TPoint hit = LinkPoint(form, form.FooterRect());
            ASSERT_GE(hit.X, 0) << c.Href;
            EXPECT_EQ(form.AnchorAt(hit.X, hit.Y), c.Href);
            Driver.Click(&form, hit);
            form.SetModalResult(mrOk);
        });
        EXPECT_EQ(launched.empty() ? std::string() : launched.front(), c.Launched) << c.Href;
        EXPECT_EQ(handled, c.Handled) << c.Href;
    }
    SetLinkLauncher(old);
}

TEST_F(TaskDialogTest, LayoutFollowsTheMessageFont) {
    Dialog->SetCommonButtons(Buttons({cbOK}));
    Dialog->SetIcon(tiError);
    Dialog->SetInstruction("Short");
    TRect bounds;
    int clientWidth = 0, hm = 0, vm = 0, bh = 0;
    TPoint instr;
    Run([&](TKvxMessageForm& form) {
        bounds = form.BoundsRect();
        clientWidth = form.ClientWidth();
        hm = form.HorzMargin();
        vm = form.VertMargin();
        bh = form.ButtonHeight();
        auto* label = dynamic_cast<TLabel*>(form.FindComponent("Instr"));
        instr = TPoint(label->Left(), label->Top());
        form.SetModalResult(mrOk);
    });
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Screen->MenuFont());
    TSize extent = measure.Canvas()->TextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int ave = extent.cx / 52;
    EXPECT_EQ(hm, (8 * ave + 2) / 4);
    EXPECT_EQ(vm, (8 * extent.cy + 4) / 8);
    EXPECT_EQ(bh, (14 * extent.cy + 4) / 8);
    EXPECT_EQ(clientWidth, 350) << "a short dialog keeps the minimum width";
    EXPECT_EQ(instr, TPoint(hm + (10 * ave + 2) / 4 + 32, vm)) << "the instruction stands beside the icon";
    EXPECT_EQ(bounds.Left, Screen->Width() / 2 - bounds.Width() / 2);
    EXPECT_EQ(bounds.Top, Screen->Height() / 2 - bounds.Height() / 2);

    // A caption wider than the screen is held to the screen.
    Dialog->SetTitle(std::string(600, 'W'));
    Run([&](TKvxMessageForm& form) {
        clientWidth = form.ClientWidth();
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(clientWidth, Screen->Width() - 2 * GetSystemMetrics(SM_CYEDGE));
}

TEST_F(TaskDialogTest, CommandLinksCloseWithTheirIdentifierAndAccelerator) {
    Dialog->SetOptions(OptionBit(doCommandLinks));
    Dialog->SetIcon(tiQuestion);
    Dialog->CustomButtons()->Add("&Save the frames\\nWrites them to the chosen file");
    Dialog->CustomButtons()->Add("&Discard\\nThe frames are lost");
    std::vector<int> clicked;
    Dialog->OnDialogButtonClick = [&](TObject*, int id) { clicked.push_back(id); };
    int left = -1, contentLeft = -2;
    EXPECT_EQ(Run([&](TKvxMessageForm& form) {
                  left = form.CustomButtonList()[0]->Left();
                  contentLeft = form.FindComponent("Instr")
                                    ? static_cast<TControl*>(form.FindComponent("Instr"))->Left()
                                    : -1;
                  Driver.Click(form.CustomButtonList()[1]);
              }),
              101);
    EXPECT_EQ(clicked, std::vector<int>{101});
    EXPECT_EQ(left, contentLeft) << "links start at the content's left edge beside an icon";

    clicked.clear();
    EXPECT_EQ(Run([&](TKvxMessageForm&) { Driver.PressKey('S'); }), 100);
    EXPECT_EQ(clicked, std::vector<int>{100});
}

TEST(TaskDialogCaption, SplitsAtEscapesAndLineBreaks) {
    struct TCase {
        const char* Text;
        std::vector<std::string> Lines;
    };
    const TCase cases[] = {
        {"One line", {"One line"}},
        {"Head\\nnote", {"Head", "note"}},
        {"Head \\n  note  \\nmore", {"Head", "note", "more"}},
        {"Head\r\nnote", {"Head", "note"}},
        {"Head\nnote", {"Head", "note"}},
        {"Head\\n", {"Head", ""}},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> lines;
        SplitCaptionRows(c.Text, lines);
        EXPECT_EQ(lines, c.Lines) << c.Text;
    }
}

TEST(TaskDialogComponent, PublishesItsPropertiesWithTheirDefaults) {
    TKvxTaskDialog dialog(nullptr);
    EXPECT_EQ(GetStrProp(&dialog, "Version"), "1.5.0.6");
    SetStrProp(&dialog, "Version", "9.9");
    EXPECT_EQ(dialog.Version(), "1.5.0.6");
    EXPECT_EQ(dialog.DefaultRadioButton(), 200);
    EXPECT_EQ(dialog.NonNativeMinFormWidth(), 350);
    EXPECT_TRUE(IsPublishedProp(&dialog, "RadioButtons"));
    TKvxInputTaskDialog input(nullptr);
    EXPECT_EQ(input.InputType(), itEdit);
    EXPECT_EQ(input.Options(), OptionBit(doAllowDialogCancel));
    EXPECT_FALSE(IsPublishedProp(&input, "RadioButtons"));
    EXPECT_FALSE(IsPublishedProp(&input, "OnDialogTimer"));
    EXPECT_TRUE(IsPublishedProp(&input, "OnDialogInputGetText"));
}

} // namespace

namespace {

// Pictures for people: each kind of dialog rendered while it shows, with a few pixels that show it was
// drawn at all (the grey band under the buttons, the blue instruction).
TEST_F(TaskDialogTest, PicturesOfTheDialogs) {
    UI_HEADLESS_ONLY(Driver);
    struct TCase {
        const char* Name;
        std::function<void(TCustomKvxTaskDialog&)> Setup;
        bool Band;
    };
    const TCase cases[] = {
        {"taskdialog-error",
         [](TCustomKvxTaskDialog& d) {
             d.SetTitle("Error");
             d.SetIcon(tiError);
             d.SetCommonButtons(Buttons({cbOK}));
             d.SetInstruction("The frame file could not be read");
             d.SetContent("The file ends in the middle of a frame.\\nOpen another file or record again.");
         },
         true},
        {"taskdialog-question",
         [](TCustomKvxTaskDialog& d) {
             d.SetTitle("Confirm");
             d.SetIcon(tiQuestion);
             d.SetCommonButtons(Buttons({cbYes, cbNo}));
             d.SetInstruction("Delete the selected series?");
             d.SetContent("The series and their marks are removed from the chart.");
         },
         true},
        {"taskdialog-commandlinks",
         [](TCustomKvxTaskDialog& d) {
             d.SetTitle("Unsaved frames");
             d.SetIcon(tiWarning);
             d.SetOptions(OptionBit(doCommandLinks));
             d.SetCommonButtons(Buttons({cbCancel}));
             d.SetInstruction("The recorded frames are not saved");
             d.CustomButtons()->Add("&Save the frames\\nWrites them to the file chosen next");
             d.CustomButtons()->Add("&Discard them\\nThe frames of this run are lost");
         },
         true},
        {"taskdialog-radio-verify-expanded-footer",
         [](TCustomKvxTaskDialog& d) {
             d.SetTitle("Import");
             d.SetIcon(tiInformation);
             d.SetOptions(OptionBit(doExpandedDefault) | OptionBit(doHyperlinks));
             d.SetCommonButtons(Buttons({cbOK, cbCancel}));
             d.SetInstruction("How should the frames be imported?");
             d.SetContent("Frames with the same number <b>already exist</b>.");
             d.RadioButtons()->Add("Keep the existing frames");
             d.RadioButtons()->Add("Replace them");
             d.SetDefaultRadioButton(201);
             d.SetVerificationText("Do this for all conflicts");
             d.SetExpandedText("12 frames of 40 have numbers that are taken.");
             d.SetExpandControlText("Hide details");
             d.SetCollapsControlText("Show details");
             d.SetFooter("See <a href=\"https://example.org/import\">importing frames</a>.");
             d.SetFooterIcon(tfiInformation);
         },
         true},
        {"taskdialog-progress",
         [](TCustomKvxTaskDialog& d) {
             d.SetTitle("Export");
             d.SetIcon(tiInformation);
             d.SetOptions(OptionBit(doProgressBar));
             d.SetCommonButtons(Buttons({cbCancel}));
             d.SetInstruction("Exporting frames");
             d.SetContent("Frame 40 of 100");
             d.OnDialogProgress = [](TObject*, int& pos, TTaskDialogProgressState&) { pos = 40; };
         },
         true},
    };
    for (const TCase& c : cases) {
        TKvxTaskDialog dialog(nullptr);
        c.Setup(dialog);
        Run(dialog, [&](TKvxMessageForm& form) {
            Driver.Advance(100, 10);
            SavePicture(form, c.Name);
            auto image = Driver.Render(&form);
            TPoint origin = form.ScreenToClient(TPoint(form.Left(), form.Top()));
            // The client area starts inside the frame: find the pixel of a client point in the image.
            auto at = [&](int x, int y) { return TTestDriver::PixelOf(*image, x - origin.X, y - origin.Y); };
            EXPECT_EQ(at(form.ClientWidth() - 3, form.BandTop()), TColor(0xF0F0F0)) << c.Name << " band";
            EXPECT_EQ(at(form.ClientWidth() / 2, 2), clWhite) << c.Name << " face";
            bool blue = false;
            auto* instr = static_cast<TControl*>(form.FindComponent("Instr"));
            for (int x = instr->Left(); x < instr->Left() + instr->Width() && !blue; ++x)
                for (int y = instr->Top(); y < instr->Top() + instr->Height() && !blue; ++y)
                    blue = at(x, y) == TColor(0xC45300);
            EXPECT_TRUE(blue) << c.Name << " instruction";
            form.SetModalResult(mrCancel);
        });
    }

    const TInputType inputs[] = {itEdit, itComboEdit, itDate};
    const char* names[] = {"taskdialog-input-edit", "taskdialog-input-combo", "taskdialog-input-date"};
    for (int i = 0; i < 3; ++i) {
        TKvxInputTaskDialog dialog(nullptr);
        dialog.SetTitle("Options");
        dialog.SetIcon(tiQuestion);
        dialog.SetCommonButtons(Buttons({cbOK, cbCancel}));
        dialog.SetInstruction("Sample Title");
        dialog.SetContent("Please input a new Title:");
        dialog.SetVerificationText("Only positive Values");
        dialog.SetInputType(inputs[i]);
        dialog.InputItems()->Add("Intensity");
        dialog.InputItems()->Add("Position");
        dialog.SetInputText("Intensity");
        Run(dialog, [&](TKvxMessageForm& form) {
            SavePicture(form, names[i]);
            form.SetModalResult(mrCancel);
        });
    }
}

} // namespace

namespace {

// The chart window's two dialogs as its layout stores them come back with those values, and a written
// layout reads back to the same text.
TEST(TaskDialogLayout, ChartWindowDialogsRoundTrip) {
    TTestDriver driver;
    const std::string text = "object Form1: TForm\n"
                             "  object KvxTaskDialog1: TKvxTaskDialog\n"
                             "    CommonButtons = [cbOK]\n"
                             "    DefaultButton = 0\n"
                             "    DefaultRadioButton = 200\n"
                             "    Icon = tiError\n"
                             "    Title = 'Error'\n"
                             "    Options = [doAllowDialogCancel]\n"
                             "  end\n"
                             "  object KvxInputTaskDialog1: TKvxInputTaskDialog\n"
                             "    CommonButtons = [cbOK, cbCancel]\n"
                             "    Icon = tiQuestion\n"
                             "    InputType = itEdit\n"
                             "    Title = 'Options'\n"
                             "    Instruction = 'Sample Title'\n"
                             "    Content = 'Please input a new Title:'\n"
                             "    VerificationText = 'Only positive Values'\n"
                             "  end\n"
                             "end\n";
    auto load = [](const std::string& t) {
        auto* form = NewForm<TForm>(Application);
        ReadComponentFromText(t, form);
        return form;
    };
    TForm* first = load(text);
    auto* plain = dynamic_cast<TKvxTaskDialog*>(first->FindComponent("KvxTaskDialog1"));
    auto* input = dynamic_cast<TKvxInputTaskDialog*>(first->FindComponent("KvxInputTaskDialog1"));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(plain->CommonButtons(), Buttons({cbOK}));
    EXPECT_EQ(plain->Icon(), tiError);
    EXPECT_EQ(plain->Title(), "Error");
    EXPECT_EQ(plain->Options(), OptionBit(doAllowDialogCancel));
    EXPECT_EQ(input->CommonButtons(), Buttons({cbOK, cbCancel}));
    EXPECT_EQ(input->InputType(), itEdit);
    EXPECT_EQ(input->Instruction(), "Sample Title");
    EXPECT_EQ(input->VerificationText(), "Only positive Values");
    const std::string saved = WriteComponentToText(first);
    // Layouts always carry the two default identifiers, whatever their value.
    EXPECT_NE(saved.find("DefaultButton = 0"), std::string::npos) << saved;
    EXPECT_NE(saved.find("DefaultRadioButton = 200"), std::string::npos) << saved;
    delete first;
    TForm* second = load(saved);
    EXPECT_EQ(WriteComponentToText(second), saved);
    delete second;
}

TEST(TaskDialogOwner, ANonFormOwnerWithoutTheApplicationAsParentIsRefused) {
    TTestDriver driver;
    TComponent owner(nullptr);
    auto* dialog = new TKvxTaskDialog(&owner);
    dialog->SetApplicationIsParent(false);
    EXPECT_THROW(dialog->Execute(), EInvalidCast);
    EXPECT_EQ(dialog->MessageForm, nullptr);
}

} // namespace

namespace {

TEST_F(TaskDialogTest, AltF4DoesNotCloseTheDialog) {
    Dialog->SetCommonButtons(Buttons({cbOK, cbCancel}));
    Dialog->SetOptions(OptionBit(doAllowDialogCancel));
    bool stillShown = false;
    EXPECT_EQ(Run([&](TKvxMessageForm& form) {
                  Driver.PressKey(VK_F4, modAlt);
                  stillShown = form.Visible() && form.ModalResult() == mrNone;
                  form.SetModalResult(mrOk);
              }),
              1);
    EXPECT_TRUE(stillShown);
}

TEST_F(TaskDialogTest, TheIconKindDecidesWhereTheTextStarts) {
    struct TCase {
        TTaskDialogIcon Icon;
        bool Image;
    };
    const TCase cases[] = {{tiError, true}, {tiBlank, true}, {tiShield, true}, {tiNotUsed, false}};
    for (const TCase& c : cases) {
        Dialog->SetIcon(c.Icon);
        Dialog->SetInstruction("Instruction");
        Dialog->SetContent("Content");
        int instrLeft = 0, contentLeft = 0, hm = 0, hs = 0;
        bool image = false;
        Run([&](TKvxMessageForm& form) {
            image = form.FindComponent("Image") != nullptr;
            instrLeft = static_cast<TControl*>(form.FindComponent("Instr"))->Left();
            contentLeft = form.ContentRect().Left;
            hm = form.HorzMargin();
            hs = form.HorzSpacing();
            form.SetModalResult(mrOk);
        });
        EXPECT_EQ(image, c.Image) << c.Icon;
        EXPECT_EQ(instrLeft, c.Image ? hm + hs + 32 : hm) << c.Icon;
        EXPECT_EQ(contentLeft, instrLeft) << c.Icon;
    }
}

TEST_F(TaskDialogTest, CommandLinksStartBesideTheIconOrAtTheEdge) {
    struct TCase {
        TTaskDialogIcon Icon;
        TTaskDialogOptions Options;
        bool Arrow;
    };
    const TCase cases[] = {
        {tiWarning, OptionBit(doCommandLinks), true},
        {tiNotUsed, OptionBit(doCommandLinks), true},
        {tiWarning, OptionBit(doCommandLinks) | OptionBit(doCommandLinksNoIcon), false},
    };
    Dialog->CustomButtons()->Add("Save\\nWrites the frames");
    for (const TCase& c : cases) {
        Dialog->SetIcon(c.Icon);
        Dialog->SetOptions(c.Options);
        int left = -1, contentLeft = -1;
        bool arrow = false;
        Run([&](TKvxMessageForm& form) {
            auto* link = dynamic_cast<TTaskDialogButton*>(form.CustomButtonList().at(0));
            ASSERT_NE(link, nullptr);
            left = link->Left();
            contentLeft = form.ContentRect().Left;
            arrow = !link->Picture()->Empty();
            form.SetModalResult(mrOk);
        });
        EXPECT_EQ(left, c.Icon == tiNotUsed ? 0 : contentLeft) << c.Icon;
        EXPECT_EQ(arrow, c.Arrow) << c.Options;
    }
}

TEST_F(TaskDialogTest, ExpandedTextFoldsByButtonAndAccelerator) {
    Dialog->SetContent("Content");
    Dialog->SetExpandedText("Details of the run");
    Dialog->SetExpandControlText("&Hide details");
    Dialog->SetCollapsControlText("&Show details");
    std::vector<std::pair<bool, int>> states;
    Run([&](TKvxMessageForm& form) {
        auto note = [&] { states.emplace_back(form.Expanded(), form.ClientHeight()); };
        note();
        Driver.Click(static_cast<TControl*>(form.FindComponent("ExpandButton")));
        note();
        Driver.PressKey('S'); // the collapsed caption's accelerator does nothing while expanded
        note();
        Driver.PressKey('H');
        note();
        form.SetModalResult(mrOk);
    });
    ASSERT_EQ(states.size(), 4u);
    EXPECT_FALSE(states[0].first) << "collapsed unless expanded by default";
    EXPECT_TRUE(states[1].first);
    EXPECT_GT(states[1].second, states[0].second) << "the text takes room";
    EXPECT_TRUE(states[2].first);
    EXPECT_FALSE(states[3].first);
    EXPECT_EQ(states[3].second, states[0].second);
}

TEST_F(TaskDialogTest, TextsChangedWhileShownRelayTheForm) {
    Dialog->SetInstruction("Short");
    Dialog->SetContent("One line");
    int before = 0, after = 0, widthBefore = 0, widthAfter = 0;
    std::string instr;
    Run([&](TKvxMessageForm& form) {
        before = form.ClientHeight();
        widthBefore = form.ClientWidth();
        Dialog->SetInstruction("A much longer instruction that needs far more room than before");
        Dialog->SetFooter("A footer line");
        after = form.ClientHeight();
        widthAfter = form.ClientWidth();
        instr = static_cast<TControl*>(form.FindComponent("Instr"))->Caption();
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(instr, "A much longer instruction that needs far more room than before");
    EXPECT_GT(widthAfter, widthBefore);
    EXPECT_GT(after, before) << "the footer adds a line";
}

} // namespace

namespace {

TEST_F(TaskDialogTest, TheDefaultCommandLinkHasTheFocusAndTakesEnter) {
    Dialog->SetOptions(OptionBit(doCommandLinks));
    Dialog->SetCommonButtons(Buttons({cbCancel}));
    Dialog->CustomButtons()->Add("First");
    Dialog->CustomButtons()->Add("Second");
    Dialog->SetDefaultButton(101);
    std::string focused;
    EXPECT_EQ(Run([&](TKvxMessageForm&) {
                  TControl* f = TTestDriver::FocusedControl();
                  focused = f ? f->Name() : std::string();
                  Driver.PressKey(VK_RETURN);
              }),
              101);
    EXPECT_EQ(focused, "Button1");
}

TEST_F(TaskDialogTest, OwnerFormCentreIsHonoured) {
    auto* owner = NewForm<TForm>(nullptr);
    owner->SetBounds(100, 80, 900, 700);
    auto* dialog = new TKvxTaskDialog(owner);
    dialog->SetApplicationIsParent(false);
    dialog->SetDialogPosition(dpOwnerFormCenter);
    TRect shown;
    Run(*dialog, [&](TKvxMessageForm& form) {
        shown = form.BoundsRect();
        form.SetModalResult(mrOk);
    });
    EXPECT_NEAR(shown.Left + shown.Width() / 2, 100 + 900 / 2, 1);
    EXPECT_NEAR(shown.Top + shown.Height() / 2, 80 + 700 / 2, 1);
    owner->Free();
}

} // namespace

namespace {

TEST_F(TaskDialogTest, ContentLinksNeedHyperlinksAndShowTheHandCursor) {
    Dialog->SetContent("Read <a href=\"https://example.org\">the manual</a> first.");
    TPoint plain{0, 0}, linked{0, 0};
    TCursor over = crDefault, away = crHandPoint;
    Run([&](TKvxMessageForm& form) {
        plain = LinkPoint(form, form.ContentRect());
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(plain, TPoint(-1, -1)) << "without doHyperlinks the content is plain text";

    Dialog->SetOptions(OptionBit(doHyperlinks));
    Run([&](TKvxMessageForm& form) {
        linked = LinkPoint(form, form.ContentRect());
        Driver.MoveTo(TTestDriver::ScreenPoint(&form, linked));
        over = form.Cursor();
        Driver.MoveTo(TTestDriver::ScreenPoint(&form, TPoint(2, 2)));
        away = form.Cursor();
        form.SetModalResult(mrOk);
    });
    EXPECT_GE(linked.X, 0);
    EXPECT_EQ(over, crHandPoint);
    EXPECT_EQ(away, crDefault);
}

} // namespace
