#include "platform/ui/PrintDialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gfx/Printer.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

// Two queues, the second the default; nothing is ever sent anywhere.
class TTwoQueues : public TPrintSpooler {
public:
    std::vector<std::string> Printers(int& defaultIndex) override {
        defaultIndex = 1;
        return {"Office", "Lab"};
    }
    void Submit(const TPrintJob&) override {}
};

class PrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = SetPrinter(std::make_unique<TPrinter>(std::make_unique<TTwoQueues>()));
        Dir = (fs::temp_directory_path() / ("lumetra-printdialog-" + std::to_string(::getpid()))).string();
        fs::create_directories(Dir);
    }
    void TearDown() override {
        SetPrinter(std::move(Saved));
        fs::remove_all(Dir);
    }
    template <class T> static T* Find(TCustomForm& form, const char* name) {
        auto* c = dynamic_cast<T*>(form.FindComponent(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void SetEdit(TCustomForm& form, const char* name, const std::string& text) {
        auto* e = Find<TEdit>(form, name);
        e->SetFocus();
        e->SelectAll();
        Driver.Type(text);
    }
    // Chooses an entry of a drop-down list by its text with the keyboard.
    void Choose(TCustomForm& form, const char* combo, const std::string& text) {
        auto* c = Find<TComboBox>(form, combo);
        c->SetFocus();
        Driver.PressKey(VK_HOME);
        for (int i = 0; i < c->Items()->Count() && c->Text() != text; ++i)
            Driver.PressKey(VK_DOWN);
        EXPECT_EQ(c->Text(), text);
    }
    void AnswerMessage() {
        Driver.AnswerNextModal([this](TCustomForm& box) {
            Messages.push_back(dynamic_cast<TLabel*>(box.FindComponent("Message"))->Caption());
            Driver.PressKey(VK_RETURN);
        });
    }

    TTestDriver Driver;
    std::unique_ptr<TPrinter> Saved;
    std::string Dir;
    std::vector<std::string> Messages;
};

TEST_F(PrintDialogTest, AnswersThePageRangeCopiesAndPrinter) {
    TPrintDialog dialog(nullptr);
    dialog.SetOptions(poPageNums);
    dialog.SetMinPage(1);
    dialog.SetMaxPage(5);
    dialog.SetFromPage(1);
    dialog.SetToPage(5);
    dialog.SetPrintRange(prPageNums);
    std::string printer, from, to;
    bool selectionEnabled = true;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        printer = Find<TComboBox>(form, "PrinterCombo")->Text();
        from = Find<TEdit>(form, "FromEdit")->Text();
        to = Find<TEdit>(form, "ToEdit")->Text();
        selectionEnabled = Find<TControl>(form, "SelectionRadio")->Enabled();
        TTestDriver::SavePng(*Driver.RenderScreen(form.BoundsRect()), "print-dialog.png");
        SetEdit(form, "FromEdit", "2");
        SetEdit(form, "ToEdit", "4");
        SetEdit(form, "CopiesEdit", "3");
        Choose(form, "PrinterCombo", "Office");
        Driver.ClickButton(&form, "OK");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(printer, "Lab") << "the default queue is chosen at first";
    EXPECT_EQ(from, "1");
    EXPECT_EQ(to, "5");
    EXPECT_FALSE(selectionEnabled);
    EXPECT_EQ(dialog.PrintRange(), prPageNums);
    EXPECT_EQ(dialog.FromPage(), 2);
    EXPECT_EQ(dialog.ToPage(), 4);
    EXPECT_EQ(dialog.Copies(), 3);
    EXPECT_EQ(Printer()->PrinterIndex(), 0);
    EXPECT_EQ(Printer()->Copies(), 3);
    EXPECT_EQ(Printer()->FileName(), "");

    // "All" keeps the page numbers as they were.
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Click(Find<TControl>(form, "AllRadio"));
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.PrintRange(), prAllPages);
    EXPECT_EQ(dialog.FromPage(), 2);
}

TEST_F(PrintDialogTest, PagesOutsideTheRangeAndBadCopiesAreRefused) {
    TPrintDialog dialog(nullptr);
    dialog.SetOptions(poPageNums | poSelection);
    dialog.SetMinPage(1);
    dialog.SetMaxPage(5);
    bool pagesChosen = false;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        SetEdit(form, "FromEdit", "1");
        pagesChosen = dynamic_cast<TRadioButton*>(form.FindComponent("PagesRadio"))->Checked();
        SetEdit(form, "ToEdit", "9");
        Driver.PressKey(VK_RETURN);
        SetEdit(form, "FromEdit", "4");
        SetEdit(form, "ToEdit", "2");
        Driver.PressKey(VK_RETURN);
        SetEdit(form, "ToEdit", "5");
        SetEdit(form, "CopiesEdit", "0");
        Driver.PressKey(VK_RETURN);
        SetEdit(form, "CopiesEdit", "1");
        Driver.PressKey(VK_RETURN);
    });
    AnswerMessage();
    AnswerMessage();
    AnswerMessage();
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(pagesChosen) << "typing a page number chooses the page range";
    ASSERT_EQ(Messages.size(), 3u);
    EXPECT_EQ(Messages[0], "This value is not within the page range.\nEnter a number between 1 and 5.");
    EXPECT_EQ(
        Messages[1],
        "The first page to print comes after the last one.\nEnter a first page no greater than the last.");
    EXPECT_EQ(Messages[2], "Enter a number of copies between 1 and 9999.");
    EXPECT_EQ(dialog.FromPage(), 4);
    EXPECT_EQ(dialog.ToPage(), 5);
}

TEST_F(PrintDialogTest, ThePdfEntryAsksForTheFileName) {
    TPrintDialog dialog(nullptr);
    bool backInPrint = false;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Choose(form, "PrinterCombo", PdfFilePrinterName);
        Driver.PressKey(VK_RETURN); // the file dialog, cancelled
        backInPrint = form.ModalResult() == mrNone;
        Driver.ClickButton(&form, "OK"); // the file dialog again
    });
    Driver.AnswerNextModal([&](TCustomForm& save) { save.SetModalResult(mrCancel); });
    std::string caption;
    Driver.AnswerNextModal([&](TCustomForm& save) {
        caption = save.Caption();
        auto* name = Find<TEdit>(save, "FileNameEdit");
        name->SetFocus();
        name->SelectAll();
        Driver.Type(Dir + "/chart");
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(backInPrint) << "cancelling the file name returns to the print dialog";
    EXPECT_EQ(caption, "Print to File");
    EXPECT_TRUE(Printer()->PrintsToPdfFile());
    EXPECT_EQ(Printer()->FileName(), Dir + "/chart.pdf");

    // Choosing a queue again stops printing to the file.
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Choose(form, "PrinterCombo", "Lab");
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Printer()->PrinterIndex(), 1);
    EXPECT_EQ(Printer()->FileName(), "");
}

TEST_F(PrintDialogTest, PrintToFileWritesTheQueuesDocumentToAFile) {
    TPrintDialog dialog(nullptr);
    dialog.SetOptions(poPrintToFile);
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Click(Find<TControl>(form, "PrintToFileCheck"));
        Driver.PressKey(VK_RETURN);
    });
    Driver.AnswerNextModal([&](TCustomForm& save) {
        auto* name = Find<TEdit>(save, "FileNameEdit");
        name->SetFocus();
        Driver.Type(Dir + "/out.pdf");
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(dialog.PrintToFile());
    EXPECT_EQ(Printer()->PrinterIndex(), 1);
    EXPECT_EQ(Printer()->FileName(), Dir + "/out.pdf");

    // Disabled, the box cannot be changed.
    dialog.SetOptions(poPrintToFile | poDisablePrintToFile);
    bool enabled = true;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        enabled = Find<TControl>(form, "PrintToFileCheck")->Enabled();
        form.SetModalResult(mrCancel);
    });
    dialog.Execute();
    EXPECT_FALSE(enabled);
}

TEST_F(PrintDialogTest, PrinterSetupChoosesPrinterPaperAndOrientation) {
    TPrinterSetupDialog dialog(nullptr);
    std::string paper;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        paper = Find<TComboBox>(form, "PaperCombo")->Text();
        Choose(form, "PrinterCombo", "Office");
        Choose(form, "PaperCombo", "Letter (8.5 x 11 in)");
        Driver.Click(Find<TControl>(form, "LandscapeRadio"));
        TTestDriver::SavePng(*Driver.RenderScreen(form.BoundsRect()), "printer-setup-dialog.png");
        Driver.ClickButton(&form, "OK");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(paper, "A4 (210 x 297 mm)");
    EXPECT_EQ(Printer()->PrinterIndex(), 0);
    EXPECT_DOUBLE_EQ(Printer()->PaperWidth(), 612);
    EXPECT_DOUBLE_EQ(Printer()->PaperHeight(), 792);
    EXPECT_EQ(Printer()->Orientation(), poLandscape);

    // A paper size none of the list has is offered as it is; Cancel changes nothing.
    Printer()->SetPaperSize(300, 400);
    Driver.AnswerNextModal([&](TCustomForm& form) {
        paper = Find<TComboBox>(form, "PaperCombo")->Text();
        Choose(form, "PaperCombo", "A3 (297 x 420 mm)");
        Driver.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(paper, "Custom (106 x 141 mm)");
    EXPECT_DOUBLE_EQ(Printer()->PaperWidth(), 300);
}

} // namespace
