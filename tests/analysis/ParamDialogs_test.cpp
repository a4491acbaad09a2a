#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "analysis/UnitIntegralOptions.h"
#include "analysis/UnitMemo.h"
#include "analysis/UnitMovingAvSettings.h"
#include "analysis/UnitNewTitle.h"
#include "analysis/UnitPeakSettings.h"
#include "analysis/UnitSGFilterParams.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/ControlsClasses.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/OfficeClasses.h"

using namespace plat;

namespace {

// The application's styler lives in the About box, which the program makes first; a stand-in of it
// named the same lets the dialogs' layouts find it.
class TfmAbout : public TForm {
    PLAT_CLASS(TfmAbout)
public:
    using TForm::TForm;
    ui::TKvxAppStyler* KvxAppStyler1 = nullptr;
};

} // namespace

PLAT_CLASS_INFO_CREATABLE(TfmAbout, TForm)
PLAT_PROPERTIES(TfmAbout) {
    props.Field("KvxAppStyler1", &TfmAbout::KvxAppStyler1);
}

namespace {

class ParamDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        ui::RegisterControlsClasses();
        ui::RegisterOfficeClasses();
        RegisterFormResource("TfmAbout", R"(object fmAbout: TfmAbout
  object KvxAppStyler1: TKvxAppStyler
    AutoThemeAdapt = False
    Style = tsWhidbey
  end
end
)");
        about = NewForm<TfmAbout>(Application);
    }

    // Shows the dialog modally; `answer` runs while it is up and ends it (Submit or Cancel).
    int Run(TForm* dialog, const std::function<void(TForm&)>& answer) {
        driver.AnswerNextModal([&](TCustomForm& form) {
            driver.Pump();
            answer(static_cast<TForm&>(form));
        });
        return dialog->ShowModal();
    }

    void SavePicture(TForm& form, const std::string& name) {
        TTestDriver::SavePng(*driver.Render(form.Handle()), TestOutputDir("app") + "/" + name);
    }

    TTestDriver driver;
    TfmAbout* about = nullptr;
};

// Puts text into an edit as a user would: click in, clear, type.
void TypeInto(TTestDriver& driver, TWinControl* edit, const std::string& text) {
    driver.Click(edit);
    edit->SetTextProp("");
    driver.Type(text);
}

} // namespace

TEST_F(ParamDialogs, EachDialogOpensWithItsCaptionButtonsAndStylerAndEndsAsAnswered) {
    struct TCase {
        const char* Picture;
        std::function<TfmParamDialog*()> Make;
        const char* Caption;
    };
    const TCase cases[] = {
        {"dlg-movingaverage.png", [] { return NewForm<Tfmmovingavsettings>(Application); }, "Moving Average"},
        {"dlg-peaksettings.png", [] { return NewForm<TfmPeakSettings>(Application); }, "Peak Settings"},
        {"dlg-sgfilter.png", [] { return NewForm<TfmSGFilterParams>(Application); }, "SG-Filter"},
        {"dlg-newtitle.png", [] { return NewForm<TfmNewTitle>(Application); }, "Options"},
        {"dlg-integral.png", [] { return NewForm<TfmIntegralOptions>(Application); }, "Integral Options"},
        {"dlg-memo.png", [] { return NewForm<TfmMemo>(Application); }, "TextBox"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Caption);
        TfmParamDialog* dialog = c.Make();
        EXPECT_EQ(dialog->Caption(), c.Caption);
        EXPECT_FALSE(dialog->Visible()) << "made hidden, shown by the commands";
        EXPECT_EQ(dialog->KvxFormStyler1->AppStyle(), about->KvxAppStyler1);
        EXPECT_EQ(Run(dialog,
                      [&](TForm& form) {
                          SavePicture(form, c.Picture);
                          driver.ClickButton(&form, "Submit");
                      }),
                  mrOk);
        EXPECT_EQ(Run(dialog, [&](TForm& form) { driver.ClickButton(&form, "Cancel"); }), mrCancel);
        EXPECT_FALSE(dialog->Visible());
        dialog->Free();
    }
}

TEST_F(ParamDialogs, ApplicationStyleReachesEveryDialog) {
    auto* peaks = NewForm<TfmPeakSettings>(Application);
    auto* title = NewForm<TfmNewTitle>(Application);
    about->KvxAppStyler1->SetStyle(ui::tsOffice2007Luna);
    EXPECT_EQ(peaks->KvxFormStyler1->Style(), ui::tsOffice2007Luna);
    EXPECT_EQ(title->KvxFormStyler1->Style(), ui::tsOffice2007Luna);
    peaks->Free();
    title->Free();
}

// The layouts' decimal defaults are numbers: whatever the user's separators, they read back as the
// same values and show with the user's decimal separator.
TEST_F(ParamDialogs, DecimalDefaultsAreNumbersInTheUsersLocale) {
    const TFormatSettings saved = FormatSettings();
    ScopeGuard restore([&] { FormatSettings() = saved; });
    const struct { char Decimal, Thousand; } locales[] = {{'.', ','}, {',', '.'}, {',', ' '}};
    for (const auto& l : locales) {
        SCOPED_TRACE(std::string("decimal '") + l.Decimal + "' thousands '" + l.Thousand + "'");
        FormatSettings().DecimalSeparator = l.Decimal;
        FormatSettings().ThousandSeparator = l.Thousand;
        auto* peaks = NewForm<TfmPeakSettings>(Application);
        auto* integral = NewForm<TfmIntegralOptions>(Application);
        auto* title = NewForm<TfmNewTitle>(Application);
        EXPECT_DOUBLE_EQ(peaks->ed_threshold->FloatValue(), 2000);
        EXPECT_EQ(peaks->ed_threshold->Text(), std::string("2000") + l.Decimal + "00");
        EXPECT_DOUBLE_EQ(peaks->ed_minpeak->FloatValue(), 1000);
        EXPECT_DOUBLE_EQ(peaks->ed_minpeakdistance->FloatValue(), 0);
        EXPECT_EQ(peaks->ed_nopeaks->IntegerValue(), 0);
        EXPECT_FALSE(peaks->cb_highestpeaks->Checked());
        EXPECT_DOUBLE_EQ(integral->ed_xstart->FloatValue(), 0);
        EXPECT_DOUBLE_EQ(integral->ed_xend->FloatValue(), 2047);
        EXPECT_EQ(integral->ed_xend->Text(), std::string("2047") + l.Decimal + "00");
        EXPECT_DOUBLE_EQ(integral->ed_stepsize->FloatValue(), 1e-6);
        EXPECT_EQ(integral->lb_multiplier->Caption(), "x1E0");
        EXPECT_DOUBLE_EQ(title->ed_constant->FloatValue(), 0);
        for (TForm* f :
             {static_cast<TForm*>(peaks), static_cast<TForm*>(integral), static_cast<TForm*>(title)})
            f->Free();
    }
}

TEST_F(ParamDialogs, ParametersTypedInAreReadOutAndKeptForTheNextUse) {
    auto* peaks = NewForm<TfmPeakSettings>(Application);
    EXPECT_EQ(Run(peaks,
                  [&](TForm& form) {
                      TypeInto(driver, peaks->ed_threshold, "500");
                      TypeInto(driver, peaks->ed_nopeaks, "7");
                      driver.Click(peaks->cb_highestpeaks);
                      driver.ClickButton(&form, "Submit");
                  }),
              mrOk);
    EXPECT_DOUBLE_EQ(peaks->ed_threshold->FloatValue(), 500);
    EXPECT_EQ(peaks->ed_nopeaks->IntegerValue(), 7);
    EXPECT_TRUE(peaks->cb_highestpeaks->Checked());
    double offered = 0;
    Run(peaks, [&](TForm& form) {
        offered = peaks->ed_threshold->FloatValue();
        driver.ClickButton(&form, "Cancel");
    });
    EXPECT_DOUBLE_EQ(offered, 500) << "the next Find Peaks offers the last threshold";
    peaks->Free();

    auto* sg = NewForm<TfmSGFilterParams>(Application);
    const struct {
        ui::TKvxEdit* Edit;
        int Default;
    } sgDefaults[] = {{sg->ed_nl, 16}, {sg->ed_nr, 16}, {sg->ed_ld, 0}, {sg->ed_m, 4}};
    for (const auto& d : sgDefaults)
        EXPECT_EQ(d.Edit->IntegerValue(), d.Default) << d.Edit->Name();
    EXPECT_EQ(sg->ed_samplename->Text(), "Frame");
    EXPECT_EQ(Run(sg,
                  [&](TForm& form) {
                      TypeInto(driver, sg->ed_nl, "8");
                      TypeInto(driver, sg->ed_m, "2");
                      driver.ClickButton(&form, "Submit");
                  }),
              mrOk);
    EXPECT_EQ(sg->ed_nl->IntegerValue(), 8);
    EXPECT_EQ(sg->ed_m->IntegerValue(), 2);
    sg->Free();
}

// Moving average and Savitzky-Golay take the name as typed, an empty one too: the command decides.
TEST_F(ParamDialogs, MovingAverageTakesAnEmptyNameAndLimitsItsWidth) {
    auto* ma = NewForm<Tfmmovingavsettings>(Application);
    EXPECT_EQ(ma->ed_smoothpxlcnt->Value(), 1);
    EXPECT_EQ(ma->ed_samplename->Text(), "Frame");
    const struct {
        int Given, Kept;
    } widths[] = {{0, 1}, {-5, 1}, {1, 1}, {500, 500}, {1000, 1000}, {1001, 1000}, {100000, 1000}};
    for (const auto& w : widths) {
        ma->ed_smoothpxlcnt->SetValue(w.Given);
        EXPECT_EQ(ma->ed_smoothpxlcnt->Value(), w.Kept) << w.Given;
    }
    ma->ed_samplename->SetTextProp("FRAME 4");
    EXPECT_EQ(Run(ma,
                  [&](TForm& form) {
                      TypeInto(driver, ma->ed_samplename, "");
                      driver.ClickButton(&form, "Submit");
                  }),
              mrOk);
    EXPECT_EQ(ma->ed_samplename->Text(), "");
    ma->Free();
}

TEST_F(ParamDialogs, TitleDialogLayoutsPlaceTheControlsAndResetTheChoices) {
    auto* title = NewForm<TfmNewTitle>(Application);
    auto buttonsTop = [&] { return title->bt_submit->Top(); };
    EXPECT_EQ(buttonsTop(), 54) << "title only after creation";
    EXPECT_FALSE(title->ed_constant->Visible());
    EXPECT_FALSE(title->cb_positivevalues->Visible());
    EXPECT_EQ(title->ClientHeight(), 54 + 35);

    const struct {
        const char* Name;
        void (TfmNewTitle::*Show)();
        int Buttons, Constant, CheckBox; // -1: hidden
    } layouts[] = {
        {"title and positive", &TfmNewTitle::ShowTitleAndPositive, 74, -1, 48},
        {"title, constant and positive", &TfmNewTitle::ShowTitleConstantAndPositive, 98, 48, 72},
        {"title and constant", &TfmNewTitle::ShowTitleAndConstant, 78, 48, -1},
        {"title only", &TfmNewTitle::ShowTitleOnly, 54, -1, -1},
    };
    for (const auto& l : layouts) {
        SCOPED_TRACE(l.Name);
        // What the last command left behind.
        title->cb_positivevalues->SetChecked(true);
        title->ed_constant->SetFloatValue(12.5);
        (title->*l.Show)();
        EXPECT_EQ(title->bt_submit->Top(), l.Buttons);
        EXPECT_EQ(title->bt_cancel->Top(), l.Buttons);
        EXPECT_EQ(title->ClientHeight(), l.Buttons + 35);
        EXPECT_EQ(title->ed_constant->Visible(), l.Constant >= 0);
        EXPECT_EQ(title->cb_positivevalues->Visible(), l.CheckBox >= 0);
        if (l.Constant >= 0) {
            EXPECT_EQ(title->ed_constant->Top(), l.Constant);
            EXPECT_DOUBLE_EQ(title->ed_constant->FloatValue(), 0) << "the constant starts at 0 every time";
        }
        if (l.CheckBox >= 0) {
            EXPECT_EQ(title->cb_positivevalues->Top(), l.CheckBox);
            EXPECT_FALSE(title->cb_positivevalues->Checked()) << "unticked whatever was used before";
        }
        Run(title, [&](TForm& form) {
            SavePicture(form, std::string("dlg-newtitle-") + std::to_string(l.Buttons) + ".png");
            driver.ClickButton(&form, "Cancel");
        });
    }

    title->ShowTitleConstantAndPositive();
    title->ed_samplename->SetTextProp("FRAME 3");
    EXPECT_EQ(Run(title,
                  [&](TForm& form) {
                      TypeInto(driver, title->ed_constant, "-2.5");
                      driver.Click(title->cb_positivevalues);
                      driver.ClickButton(&form, "Submit");
                  }),
              mrOk);
    EXPECT_EQ(title->ed_samplename->Text(), "FRAME 3");
    EXPECT_DOUBLE_EQ(title->ed_constant->FloatValue(), -2.5);
    EXPECT_TRUE(title->cb_positivevalues->Checked());
    title->Free();
}

TEST_F(ParamDialogs, TextBoxDialogStartsEmptyWithTheFocusInTheMemo) {
    auto* memo = NewForm<TfmMemo>(Application);
    memo->Memo->SetTextProp("left from last time");
    std::string shown = "?";
    TControl* focused = nullptr;
    EXPECT_EQ(Run(memo,
                  [&](TForm& form) {
                      shown = memo->Memo->Text();
                      focused = TTestDriver::FocusedControl();
                      driver.Type("Peak A");
                      driver.ClickButton(&form, "Submit");
                  }),
              mrOk);
    EXPECT_EQ(shown, "");
    EXPECT_EQ(focused, memo->Memo);
    EXPECT_EQ(memo->Memo->Text(), "Peak A");
    memo->Free();
}

// The dialogs follow the About box's styler, so the program makes the About box first. Out of that
// order a dialog is refused with an error naming what it missed, and no half-made form stays behind.
TEST_F(ParamDialogs, DialogMadeBeforeTheAboutBoxIsRefusedCleanly) {
    about->Free();
    about = nullptr;
    const int forms = Screen->FormCount();
    try {
        NewForm<TfmPeakSettings>(Application);
        ADD_FAILURE() << "made without the application's styler";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("fmAbout.KvxAppStyler1"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Screen->FormCount(), forms);
    about = NewForm<TfmAbout>(Application);
    auto* peaks = NewForm<TfmPeakSettings>(Application);
    EXPECT_EQ(peaks->KvxFormStyler1->AppStyle(), about->KvxAppStyler1);
    peaks->Free();
}

// The four questions: what the dialog offers (the proposal, an unticked box and 0 whatever the last
// command left) and what comes back for Submit, Submit with an emptied title, and Cancel.
TEST_F(ParamDialogs, TitleQuestionsOfferFreshChoicesAndAcceptOnlyASubmittedTitle) {
    auto* title = NewForm<TfmNewTitle>(Application);
    enum TAnswer { Submit, SubmitEmpty, Cancel };
    struct TOutcome {
        bool Accepted;
        std::string Title;
        bool OnlyPositive;
        double Constant;
    };
    using TAsk = std::function<bool(std::string&, bool&, double&)>;
    const struct {
        const char* Name;
        TAsk Ask;
        bool HasCheckBox, HasConstant;
    } questions[] = {
        {"title", [&](std::string& t, bool&, double&) { return title->AskTitle(t); }, false, false},
        {"title and positive",
         [&](std::string& t, bool& p, double&) { return title->AskTitleAndPositive(t, p); }, true, false},
        {"title and constant",
         [&](std::string& t, bool&, double& c) { return title->AskTitleAndConstant(t, c); }, false, true},
        {"title, constant and positive",
         [&](std::string& t, bool& p, double& c) { return title->AskTitleConstantAndPositive(t, p, c); },
         true, true},
    };
    for (const auto& q : questions) {
        for (TAnswer answer : {Submit, SubmitEmpty, Cancel}) {
            SCOPED_TRACE(std::string(q.Name) + " / answer " + std::to_string(answer));
            // Left behind by the command before.
            title->cb_positivevalues->SetChecked(true);
            title->ed_constant->SetFloatValue(7);
            std::string offeredTitle;
            bool offeredBox = true, boxShown = false, constantShown = false;
            double offeredConstant = -1;
            driver.AnswerNextModal([&](TCustomForm& form) {
                driver.Pump();
                offeredTitle = title->ed_samplename->Text();
                offeredBox = title->cb_positivevalues->Checked();
                offeredConstant = title->ed_constant->FloatValue();
                boxShown = title->cb_positivevalues->Visible();
                constantShown = title->ed_constant->Visible();
                if (answer == Cancel) {
                    driver.ClickButton(&form, "Cancel");
                    return;
                }
                TypeInto(driver, title->ed_samplename, answer == Submit ? "SUM" : "");
                if (q.HasCheckBox)
                    driver.Click(title->cb_positivevalues);
                if (q.HasConstant)
                    TypeInto(driver, title->ed_constant, "3");
                driver.ClickButton(&form, "Submit");
            });
            TOutcome out{false, "FRAME 5", false, 42};
            out.Accepted = q.Ask(out.Title, out.OnlyPositive, out.Constant);

            EXPECT_EQ(offeredTitle, "FRAME 5");
            EXPECT_EQ(boxShown, q.HasCheckBox);
            EXPECT_EQ(constantShown, q.HasConstant);
            if (q.HasCheckBox) {
                EXPECT_FALSE(offeredBox);
            }
            if (q.HasConstant) {
                EXPECT_DOUBLE_EQ(offeredConstant, 0);
            }

            EXPECT_EQ(out.Accepted, answer == Submit);
            EXPECT_EQ(out.Title, answer == Submit ? "SUM" : answer == SubmitEmpty ? "" : "FRAME 5");
            const bool submitted = answer != Cancel;
            EXPECT_EQ(out.OnlyPositive, submitted && q.HasCheckBox);
            EXPECT_DOUBLE_EQ(out.Constant, submitted && q.HasConstant ? 3 : 42);
        }
    }
    title->Free();
}
