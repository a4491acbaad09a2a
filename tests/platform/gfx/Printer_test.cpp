#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/gfx/Printer.h"
#include "platform/rtl/TempFolder.h"

using namespace plat;

namespace {

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int PageCount(const std::string& pdf) {
    std::regex page(R"(/Type\s*/Page\b)");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// Stands in for the print queues: keeps what would have been sent.
class TFakeSpooler : public TPrintSpooler {
public:
    std::vector<std::string> Names;
    int Default = -1;
    bool Refuse = false;
    std::vector<TPrintJob> Jobs;
    std::vector<std::string> Documents;

    std::vector<std::string> Printers(int& defaultIndex) override {
        defaultIndex = Default;
        return Names;
    }
    void Submit(const TPrintJob& job) override {
        if (Refuse)
            throw EPrinter("The queue is stopped");
        Jobs.push_back(job);
        Documents.push_back(ReadFile(job.FileName));
    }
};

// Print jobs keep their temporary documents in the test's own folder, so leftovers show.
class PrinterTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        const char* old = std::getenv("TMPDIR");
        FOldTmp = old ? old : "";
        setenv("TMPDIR", FFolder.c_str(), 1);
    }
    void TearDown() override {
        if (FOldTmp.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", FOldTmp.c_str(), 1);
        TempFolderTest::TearDown();
    }
    size_t FilesLeft() const { return Entries().size(); }

    std::string FOldTmp;
};

void DrawPage(TPrinter& p, const std::string& text) {
    p.Canvas()->Font()->SetName("Arial");
    p.Canvas()->Font()->SetSize(24);
    p.Canvas()->TextOut(p.PageWidth() / 10, p.PageHeight() / 10, text);
    p.Canvas()->Rectangle(p.PageWidth() / 10, p.PageHeight() / 5, p.PageWidth() / 2, p.PageHeight() / 2);
}

} // namespace

TEST_F(PrinterTest, WithoutCupsServerThereAreNoPrintersButPrintingToAFileWorks) {
    TPrinter printer(std::make_unique<TCupsSpooler>(Path("no-such-cups.sock")));
    ASSERT_EQ(printer.Printers()->Count(), 1);
    EXPECT_EQ(printer.Printers()->Get(0), "Print to PDF file");
    EXPECT_EQ(printer.PrinterIndex(), -1) << "the PDF entry is never chosen by itself";
    EXPECT_FALSE(printer.PrintsToPdfFile());
    try {
        printer.PageWidth();
        FAIL() << "a page size without a printer";
    } catch (const EPrinter& e) {
        EXPECT_STREQ(e.what(), "There is no default printer currently selected");
    }
    EXPECT_THROW(printer.BeginDoc(), EPrinter);

    const std::string out = Path("out.pdf");
    printer.SetFileName(out);
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(printer.PageWidth(), 7016); // A4 at 600 pixels per inch, on its side
    EXPECT_EQ(printer.PageHeight(), 4961);
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    DrawPage(printer, "Page one");
    printer.NewPage();
    EXPECT_EQ(printer.PageNumber(), 2);
    DrawPage(printer, "Page two");
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    std::string pdf = ReadFile(out);
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(PageCount(pdf), 2);
    EXPECT_EQ(FilesLeft(), 1u); // the document and nothing else
}

TEST_F(PrinterTest, JobGoesToTheChosenQueueWithTitleAndCopies) {
    auto spooler = std::make_unique<TFakeSpooler>();
    TFakeSpooler* fake = spooler.get();
    fake->Names = {"Office", "Lab"};
    fake->Default = 1;
    TPrinter printer(std::move(spooler));
    EXPECT_EQ(printer.PrinterIndex(), 1);
    EXPECT_EQ(printer.Printers()->Get(0), "Office");
    printer.SetPrinterIndex(0);
    printer.Title = "Spectrum 12";
    printer.SetCopies(3);
    printer.BeginDoc();
    DrawPage(printer, "Lamp lines");
    printer.EndDoc();
    ASSERT_EQ(fake->Jobs.size(), 1u);
    EXPECT_EQ(fake->Jobs[0].Printer, "Office");
    EXPECT_EQ(fake->Jobs[0].Title, "Spectrum 12");
    EXPECT_EQ(fake->Jobs[0].Copies, 3);
    EXPECT_EQ(PageCount(fake->Documents[0]), 1);
    EXPECT_NE(fake->Documents[0].find("Spectrum 12"), std::string::npos); // the document's title
    EXPECT_EQ(FilesLeft(), 0u); // the temporary document is gone once the queue has it
}

TEST_F(PrinterTest, StateErrorsAbortAndRefusedJobs) {
    auto spooler = std::make_unique<TFakeSpooler>();
    TFakeSpooler* fake = spooler.get();
    fake->Names = {"Lab"};
    TPrinter printer(std::move(spooler));
    EXPECT_EQ(printer.PrinterIndex(), 0); // no default: the first queue
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const EPrinter& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { printer.NewPage(); }), "Printer is not currently printing");
    EXPECT_EQ(message([&] { printer.EndDoc(); }), "Printer is not currently printing");
    EXPECT_EQ(message([&] { printer.SetPrinterIndex(2); }), "Printer selected is not valid");
    EXPECT_EQ(message([&] { printer.SetPrinterIndex(-2); }), "Printer selected is not valid");
    EXPECT_THROW(printer.Canvas()->Rectangle(0, 0, 10, 10), EInvalidOperation);

    printer.BeginDoc();
    EXPECT_EQ(message([&] { printer.BeginDoc(); }), "Printing in progress");
    EXPECT_EQ(message([&] { printer.SetOrientation(poLandscape); }), "Printing in progress");
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(fake->Jobs.empty());
    EXPECT_EQ(FilesLeft(), 0u);

    fake->Refuse = true;
    printer.BeginDoc();
    EXPECT_EQ(message([&] { printer.EndDoc(); }), "The queue is stopped");
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(PrinterTest, PdfEntryComesAfterTheQueuesAndWritesTheChosenFile) {
    auto spooler = std::make_unique<TFakeSpooler>();
    TFakeSpooler* fake = spooler.get();
    fake->Names = {"Office", "Lab"};
    fake->Default = 0;
    TPrinter printer(std::move(spooler));
    ASSERT_EQ(printer.Printers()->Count(), 3);
    EXPECT_EQ(printer.Printers()->Get(2), "Print to PDF file");
    EXPECT_EQ(printer.PrinterIndex(), 0);
    EXPECT_FALSE(printer.PrintsToPdfFile());

    printer.SetPrinterIndex(2);
    EXPECT_TRUE(printer.PrintsToPdfFile());
    EXPECT_EQ(printer.PageWidth(), 4961) << "the page is known before the file is";
    try {
        printer.BeginDoc();
        FAIL() << "a PDF document without a file name";
    } catch (const EPrinter& e) {
        EXPECT_STREQ(e.what(), "No file name was given for the PDF file");
    }
    EXPECT_FALSE(printer.Printing());

    const std::string out = Path("report.pdf");
    printer.SetFileName(out);
    printer.Title = "Results";
    printer.BeginDoc();
    DrawPage(printer, "One");
    printer.NewPage();
    DrawPage(printer, "Two");
    printer.EndDoc();
    EXPECT_TRUE(fake->Jobs.empty()) << "nothing goes to a queue";
    std::string pdf = ReadFile(out);
    EXPECT_EQ(PageCount(pdf), 2);
    EXPECT_NE(pdf.find("Results"), std::string::npos);
    EXPECT_EQ(FilesLeft(), 1u);

    printer.Refresh();
    EXPECT_TRUE(printer.PrintsToPdfFile()) << "the choice survives reading the queues again";
}

// A document printed to a file replaces it as a saved picture does: through a link, never over a
// read-only file, beside a user's file that looks like a temporary one.
TEST_F(PrinterTest, PrintingToAFileReplacesItSafely) {
    auto print = [](const std::string& name) {
        TPrinter printer(std::make_unique<TFakeSpooler>());
        printer.SetFileName(name);
        printer.BeginDoc();
        DrawPage(printer, "Page");
        printer.EndDoc();
    };
    std::ofstream(Path("target.pdf")) << "old";
    ASSERT_EQ(::symlink("target.pdf", Path("link.pdf").c_str()), 0);
    std::ofstream(Path("link.pdf.tmp~")) << "the user's own file";
    print(Path("link.pdf"));
    EXPECT_EQ(ReadFile(Path("target.pdf")).rfind("%PDF-", 0), 0u);
    EXPECT_EQ(ReadFile(Path("link.pdf.tmp~")), "the user's own file");
    struct stat st {};
    ASSERT_EQ(::lstat(Path("link.pdf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    std::ofstream(Path("read-only.pdf")) << "keep";
    ::chmod(Path("read-only.pdf").c_str(), 0444);
    try {
        print(Path("read-only.pdf"));
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + Path("read-only.pdf") + "\". The file is read-only");
    }
    EXPECT_EQ(ReadFile(Path("read-only.pdf")), "keep");
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"link.pdf", "link.pdf.tmp~", "read-only.pdf", "target.pdf"}));
}

TEST(PrinterGlobal, SetPrinterHandsBackTheOneItReplaces) {
    auto mine = std::make_unique<TPrinter>(std::make_unique<TFakeSpooler>());
    TPrinter* raw = mine.get();
    std::unique_ptr<TPrinter> old = SetPrinter(std::move(mine));
    EXPECT_EQ(Printer(), raw);
    std::unique_ptr<TPrinter> back = SetPrinter(std::move(old));
    EXPECT_EQ(back.get(), raw);
}
