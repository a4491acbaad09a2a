#include "platform/ui/RichEdit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "platform/gfx/Printer.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"
#include "platform/rtl/TempFolder.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/RichEditRtf.h"
#include "platform/ui/WindowScroll.h"

using namespace plat;

namespace {

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary);
    out << bytes;
}

int PdfPageCount(const std::string& pdf) {
    std::regex page(R"(/Type\s*/Page\b)");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// A printer with no queues of its own, so nothing can reach a real one.
class TNoQueues : public TPrintSpooler {
public:
    std::vector<std::string> Printers(int& defaultIndex) override {
        defaultIndex = -1;
        return {};
    }
    void Submit(const TPrintJob&) override { throw EPrinter("no queue here"); }
};

struct TRunView {
    std::string Text;
    TColor Color;
    TFontStyles Style;
};

class RichEditTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 420, 320);
        Rich = new TRichEdit(Form);
        Rich->SetParent(Form);
        Rich->SetBounds(10, 10, 380, 240);
        Rich->OnChange = [this](TObject*) { ++Changes; };
        Rich->OnSelectionChange = [this](TObject*) { ++SelectionChanges; };
        Form->Show();
        Driver.Pump();
        Rich->SetFocus();
        Driver.Pump();
    }

    // How the result report writes a styled line: caret to the end, the format of the text typed
    // there, then the line.
    void AddResultLine(const std::string& text, TColor color, TFontStyles style) {
        Rich->SetSelStart(Rich->GetTextLen());
        Rich->SelAttributes()->SetColor(color);
        Rich->SelAttributes()->SetStyle(style);
        Rich->Lines()->Add(text);
    }

    std::vector<TRunView> Runs(int line) const {
        std::vector<TRunView> out;
        for (const TRichRun& r : Rich->Document().Runs(line))
            out.push_back({Utf8Encode(r.Text), r.Format.Color, r.Format.Style});
        return out;
    }

    // A client point inside the line of a position, at the position's left edge.
    TPoint At(int pos) {
        LRESULT r = Rich->Perform(EM_POSFROMCHAR, pos, 0);
        return TPoint(GET_X_LPARAM(r), GET_Y_LPARAM(r) + 5);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TRichEdit* Rich = nullptr;
    int Changes = 0;
    int SelectionChanges = 0;
};

void ExpectRuns(const std::vector<TRunView>& actual, const std::vector<TRunView>& expected,
                const char* where) {
    ASSERT_EQ(actual.size(), expected.size()) << where;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].Text, expected[i].Text) << where << " run " << i;
        EXPECT_EQ(actual[i].Color, expected[i].Color) << where << " run " << i;
        EXPECT_EQ(actual[i].Style, expected[i].Style) << where << " run " << i;
    }
}

} // namespace

TEST_F(RichEditTest, AppendedLinesTakeTheCaretsFormatAndCarryItOn) {
    const TColor frame = 0x0000C0;
    AddResultLine("FRAME 1", frame, fsBold | fsUnderline);
    EXPECT_EQ(Rich->SelAttributes()->Color(), frame) << "the caret is at the end, in the line's format";
    Rich->Lines()->Add("X(Start)=400"); // plain lines continue in the format at the end
    Rich->Lines()->Add("X(End)=500");
    AddResultLine("trapeziodal rule:", clBlack, fsBold | fsItalic);
    Rich->Lines()->Add("Integral=12");
    if (Rich->Lines()->Count() > 0)
        Rich->Lines()->Add(""); // the separator before the next block
    AddResultLine("FRAME 2", clBlue, fsBold | fsUnderline);

    // A click somewhere else drops the chosen format; added text takes the format before the end.
    Rich->SetSelStart(2);
    Rich->Lines()->Add("after a click");

    ASSERT_EQ(Rich->Lines()->Count(), 8);
    EXPECT_EQ(Rich->Lines()->Get(0), "FRAME 1");
    EXPECT_EQ(Rich->Lines()->Get(5), "");
    EXPECT_EQ(Rich->Lines()->Get(7), "after a click");
    ExpectRuns(Runs(0), {{"FRAME 1", frame, fsBold | fsUnderline}}, "title");
    ExpectRuns(Runs(1), {{"X(Start)=400", frame, fsBold | fsUnderline}}, "first plain line");
    ExpectRuns(Runs(2), {{"X(End)=500", frame, fsBold | fsUnderline}}, "second plain line");
    ExpectRuns(Runs(3), {{"trapeziodal rule:", clBlack, fsBold | fsItalic}}, "styled line");
    ExpectRuns(Runs(4), {{"Integral=12", clBlack, fsBold | fsItalic}}, "line after it");
    ExpectRuns(Runs(6), {{"FRAME 2", clBlue, fsBold | fsUnderline}}, "second title");
    ExpectRuns(Runs(7), {{"after a click", clBlue, fsBold | fsUnderline}}, "line after a click");
    EXPECT_EQ(Rich->Text(),
              "FRAME 1\r\nX(Start)=400\r\nX(End)=500\r\ntrapeziodal rule:\r\nIntegral=12\r\n\r\n"
              "FRAME 2\r\nafter a click\r\n");
    EXPECT_EQ(Rich->SelStart(), Rich->Document().Length()) << "adding leaves the caret after the line";
    EXPECT_GT(Changes, 0);

    // The first line added to an empty area gets no separator and no leading break.
    Rich->Clear();
    EXPECT_EQ(Rich->Lines()->Count(), 0);
    AddResultLine("only", clRed, fsBold);
    EXPECT_EQ(Rich->Text(), "only\r\n");
}

TEST_F(RichEditTest, SelectionAttributesSplitAndReportRuns) {
    Rich->SetTextProp("Hello world");
    TColor plainColor = Rich->DefAttributes()->Color();
    Rich->SetSelStart(2);
    Rich->SetSelLength(5);
    EXPECT_EQ(Rich->SelText(), "llo w");
    Rich->SelAttributes()->SetStyle(fsBold);
    Rich->SetSelStart(4);
    Rich->SetSelLength(5);
    Rich->SelAttributes()->SetColor(clRed);
    ExpectRuns(Runs(0),
               {{"He", plainColor, 0},
                {"ll", plainColor, fsBold},
                {"o w", clRed, fsBold},
                {"or", clRed, 0},
                {"ld", plainColor, 0}},
               "after two changes");
    // A mixed selection reports its first character.
    Rich->SetSelStart(5);
    Rich->SetSelLength(4);
    EXPECT_EQ(Rich->SelAttributes()->Color(), clRed);
    EXPECT_EQ(Rich->SelAttributes()->Style(), fsBold);
    Rich->SelAttributes()->SetSize(14);
    Rich->SelAttributes()->SetName("Courier New");
    EXPECT_EQ(Rich->SelAttributes()->Size(), 14);
    EXPECT_EQ(Rich->Document().FormatAt(5).Name, "Courier New");
    EXPECT_EQ(Rich->Document().FormatAt(4).HalfPoints, Rich->DefAttributes()->Size() * 2);

    // Attributes set with nothing selected apply to what is typed next, until the caret moves.
    Rich->SetSelStart(Rich->Document().Length());
    Rich->SelAttributes()->SetStyle(fsItalic | fsStrikeOut);
    Driver.Type("xy");
    EXPECT_EQ(Rich->Document().FormatAt(11).Style, fsItalic | fsStrikeOut);
    EXPECT_EQ(Rich->Document().FormatAt(12).Style, fsItalic | fsStrikeOut);
    Driver.PressKey(VK_HOME);
    EXPECT_EQ(Rich->SelAttributes()->Style(), 0)
        << "at the start the caret takes the first character's format";
    Rich->SelAttributes()->SetStyle(fsUnderline);
    Driver.PressKey(VK_END);
    Driver.Type("z");
    EXPECT_EQ(Rich->Document().FormatAt(13).Style, fsItalic | fsStrikeOut)
        << "moving dropped the chosen format";

    // A font assigned to the attributes sets all of them at once.
    TFont font;
    font.SetName("Arial");
    font.SetSize(12);
    font.SetColor(clGreen);
    font.SetStyle(fsBold);
    Rich->SelectAll();
    Rich->SelAttributes()->Assign(&font);
    ExpectRuns(Runs(0), {{"Hello worldxyz", clGreen, fsBold}}, "after assigning a font");
    TFont back;
    back.Assign(Rich->SelAttributes());
    EXPECT_EQ(back.Name(), "Arial");
    EXPECT_EQ(back.Size(), 12);
    EXPECT_EQ(Rich->SelAttributes()->Height(), 16);

    // Paragraph attributes change the paragraphs the selection touches.
    Rich->SetTextProp("one\r\ntwo\r\nthree");
    Rich->SetSelStart(5);
    Rich->SetSelLength(5);
    Rich->Paragraph()->SetAlignment(taCenter);
    Rich->Paragraph()->SetLeftIndent(10);
    EXPECT_EQ(Rich->Document().ParaFormat(0).Alignment, taLeftJustify);
    EXPECT_EQ(Rich->Document().ParaFormat(1).Alignment, taCenter);
    EXPECT_EQ(Rich->Document().ParaFormat(2).Alignment, taCenter);
    EXPECT_EQ(Rich->Paragraph()->LeftIndent(), 10);
}

TEST_F(RichEditTest, SelectAllAndCopyPutPlainTextAndRtfOnTheClipboard) {
    AddResultLine("Peaks: 2", clRed, fsBold);
    AddResultLine("1.  3,50 @ 532 – µ", clBlack, fsItalic);
    Rich->SetReadOnly(true);
    Clipboard()->SetAsText("before");
    Rich->SetSelStart(0);
    Driver.PressKey('C', modControl);
    EXPECT_EQ(Clipboard()->AsText(), "before") << "nothing selected copies nothing";

    Driver.PressKey('A', modControl);
    EXPECT_EQ(Rich->SelLength(), Rich->Document().Length());
    Rich->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "Peaks: 2\r\n1.  3,50 @ 532 – µ\r\n");
    UINT rtfFormat = RegisterClipboardFormat("Rich Text Format");
    ASSERT_TRUE(Clipboard()->HasFormat(rtfFormat));
    auto bytes = GetClipboardData(rtfFormat);
    ASSERT_TRUE(bytes.has_value());
    TRichDocument pasted;
    ReadRtf(std::string(bytes->begin(), bytes->end()), pasted);
    ASSERT_EQ(pasted.Chars(), Rich->Document().Chars());
    for (int i = 0; i < pasted.Length(); ++i)
        EXPECT_EQ(pasted.FormatAt(i), Rich->Document().FormatAt(i)) << i;

    // Read-only: copying works, changing does not.
    Driver.PressKey('X', modControl);
    Driver.PressKey('V', modControl);
    Driver.Type("typed");
    Driver.PressKey(VK_DELETE);
    EXPECT_EQ(Rich->Lines()->Count(), 2);
    EXPECT_EQ(Rich->Lines()->Get(0), "Peaks: 2");
}

TEST_F(RichEditTest, KeyboardEditingLikeTheMemo) {
    Driver.Type("abc");
    Driver.PressKey(VK_RETURN);
    Driver.Type("def");
    EXPECT_EQ(Rich->Text(), "abc\r\ndef");
    EXPECT_EQ(Rich->Lines()->Count(), 2);
    EXPECT_EQ(Rich->CaretPos(), TPoint(3, 1));
    EXPECT_TRUE(Rich->Modified());

    Driver.PressKey(VK_HOME);
    Driver.PressKey(VK_BACK); // joins the lines
    EXPECT_EQ(Rich->Text(), "abcdef");
    Driver.PressKey(VK_RETURN);
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Rich->SelStart(), 0);
    Driver.PressKey(VK_END, modShift);
    EXPECT_EQ(Rich->SelText(), "abc");
    Driver.PressKey(VK_RIGHT, modShift);
    EXPECT_EQ(Rich->SelText(), "abc\r\n") << "a paragraph break is one character";
    EXPECT_EQ(Rich->SelLength(), 4);
    Driver.PressKey(VK_DELETE);
    EXPECT_EQ(Rich->Text(), "def");
    Driver.PressKey('Z', modControl);
    EXPECT_EQ(Rich->Text(), "abc\r\ndef");

    Driver.PressKey(VK_END, modControl);
    Driver.PressKey(VK_LEFT, modShift | modControl);
    EXPECT_EQ(Rich->SelText(), "def");
    Driver.PressKey('X', modControl);
    EXPECT_EQ(Rich->Text(), "abc\r\n");
    Clipboard()->SetAsText("x\r\ny");
    Driver.PressKey('V', modControl);
    EXPECT_EQ(Rich->Text(), "abc\r\nx\r\ny");

    Rich->SetMaxLength(9);
    Driver.Type("1234");
    EXPECT_EQ(Rich->Document().Length(), 9);
    EXPECT_EQ(Rich->Text(), "abc\r\nx\r\ny12");
}

TEST_F(RichEditTest, MouseClickDragAndDoubleClickSelect) {
    Rich->SetTextProp("alpha beta gamma\r\nsecond line");
    Driver.Click(Rich, At(3));
    EXPECT_EQ(Rich->SelStart(), 3);
    EXPECT_EQ(Rich->SelLength(), 0);
    Driver.Drag(Rich, At(6), At(10));
    EXPECT_EQ(Rich->SelText(), "beta");
    Driver.DoubleClick(Rich, At(13));
    EXPECT_EQ(Rich->SelText(), "gamma");
    Driver.Click(Rich, At(2));
    Driver.Click(Rich, At(20), tbLeft, modShift);
    EXPECT_EQ(Rich->SelText(), "pha beta gamma\r\nsec");
    EXPECT_GT(At(20).Y, At(2).Y);
    EXPECT_GT(SelectionChanges, 3);
    // Far right of a line puts the caret at its end; below the text, on the last line.
    Driver.Click(Rich, TPoint(370, At(0).Y));
    EXPECT_EQ(Rich->SelStart(), 16);
    Driver.Click(Rich, TPoint(370, 220));
    EXPECT_EQ(Rich->SelStart(), Rich->Document().Length());
    Driver.Click(Rich, TPoint(1, 220));
    EXPECT_EQ(Rich->SelStart(), 17);
}

TEST_F(RichEditTest, LinesInsertDeletePutAndText) {
    TRichEditStrings* lines = Rich->Lines();
    lines->Add("b");
    lines->Insert(0, "a");
    lines->Add("d");
    lines->Insert(2, "c");
    EXPECT_EQ(lines->Text(), "a\r\nb\r\nc\r\nd\r\n");
    lines->Put(1, "B2");
    lines->Delete(2);
    EXPECT_EQ(lines->Text(), "a\r\nB2\r\nd\r\n");
    EXPECT_THROW(lines->Get(3), EStringListError);
    EXPECT_THROW(lines->Insert(5, "x"), EStringListError);

    // A last line without a break: deleting it takes the break before it.
    lines->SetText("one\ntwo");
    EXPECT_EQ(lines->Count(), 2);
    lines->Delete(1);
    EXPECT_EQ(Rich->Text(), "one");
    lines->Add("three");
    EXPECT_EQ(Rich->Text(), "one\r\nthree");
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
    EXPECT_EQ(Rich->Text(), "");

    TStringList other;
    other.Add("x");
    other.Add("y");
    Rich->SetLines(&other);
    EXPECT_EQ(Rich->Text(), "x\r\ny\r\n");
}

TEST_F(RichEditTest, SavesRtfOrPlainTextAndLoadsBoth) {
    AddResultLine("Title", clRed, fsBold | fsUnderline);
    AddResultLine("Grüße {x} \\ €", clBlack, fsItalic);
    Rich->SetSelStart(0);
    Rich->Paragraph()->SetAlignment(taRightJustify);
    const std::string rtfName = Path("result.rtf");
    Rich->Lines()->SaveToFile(rtfName);
    std::string rtf = ReadFile(rtfName);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi", 0), 0u);
    EXPECT_NE(rtf.find("\\qr"), std::string::npos);
    EXPECT_EQ(Entries(), std::vector<std::string>{"result.rtf"}) << "no temporary file is left";

    TRichEdit* other = new TRichEdit(Form);
    other->SetParent(Form);
    other->Lines()->LoadFromFile(rtfName);
    ASSERT_EQ(other->Document().Chars(), Rich->Document().Chars());
    for (int i = 0; i < other->Document().Length(); ++i)
        EXPECT_EQ(other->Document().FormatAt(i), Rich->Document().FormatAt(i)) << i;
    EXPECT_EQ(other->Document().ParaFormat(0).Alignment, taRightJustify);
    EXPECT_FALSE(other->Modified());

    // Reached as a plain list of lines, they still save and load as RTF: a caller that keeps a TStrings
    // (an export routine taking any lines) must not lose the formatting.
    TStrings& asList = *Rich->Lines();
    const std::string listName = Path("list.rtf");
    asList.SaveToFile(listName);
    EXPECT_EQ(ReadFile(listName), rtf);
    TStringStream stream;
    asList.SaveToStream(stream);
    EXPECT_EQ(stream.DataString(), rtf);
    TStrings& otherList = *other->Lines();
    otherList.Clear();
    otherList.LoadFromFile(listName);
    EXPECT_EQ(other->Document().FormatAt(0), Rich->Document().FormatAt(0));

    Rich->SetPlainText(true);
    const std::string textName = Path("result.txt");
    Rich->Lines()->SaveToFile(textName);
    EXPECT_EQ(ReadFile(textName), "Title\r\nGrüße {x} \\ €\r\n");
    // Plain text loads as text even when it looks like RTF; a rich edit not set to plain text takes
    // text files that are not RTF as text, Latin-1 included.
    Rich->Lines()->LoadFromFile(rtfName);
    EXPECT_EQ(Rich->Lines()->Get(0).rfind("{\\rtf1", 0), 0u);
    WriteFile(textName, "caf\xE9\nline");
    other->Lines()->LoadFromFile(textName);
    EXPECT_EQ(other->Text(), "café\r\nline");

    // A failed save leaves the old file whole.
    EXPECT_THROW(Rich->Lines()->SaveToFile(Path("missing/folder/x.rtf")), Exception);
    EXPECT_THROW(Rich->Lines()->LoadFromFile(Path("none.rtf")), EFOpenError);
    EXPECT_EQ(ReadFile(rtfName), rtf);
}

TEST_F(RichEditTest, WrapsAlignsAndScrolls) {
    std::string longLine;
    for (int i = 0; i < 40; ++i)
        longLine += "word" + std::to_string(i) + " ";
    Rich->Lines()->Add(longLine);
    EXPECT_GT(At(static_cast<int>(longLine.size()) - 2).Y, At(0).Y) << "a long paragraph wraps";
    Rich->SetWordWrap(false);
    EXPECT_EQ(At(static_cast<int>(longLine.size()) - 2).Y, At(0).Y);
    Rich->SetWordWrap(true);

    Rich->Clear();
    Rich->Lines()->Add("left");
    Rich->Lines()->Add("centre");
    Rich->Lines()->Add("right");
    Rich->SetSelStart(6);
    Rich->Paragraph()->SetAlignment(taCenter);
    Rich->SetSelStart(13);
    Rich->Paragraph()->SetAlignment(taRightJustify);
    EXPECT_LT(At(0).X, At(5).X);
    EXPECT_LT(At(5).X, At(12).X);
    EXPECT_GT(At(12).X, 300);

    Rich->SetScrollBars(ssVertical);
    for (int i = 0; i < 100; ++i)
        Rich->Lines()->Add("line " + std::to_string(i));
    TScrollInfo info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Rich->Handle(), SB_VERT, info));
    EXPECT_GT(info.nMax, static_cast<int>(info.nPage));
    EXPECT_GT(info.nPos, 0) << "adding at the end keeps the end in view";
    EXPECT_LT(At(Rich->Document().Length()).Y, Rich->ClientHeight());
    int before = info.nPos;
    Driver.Wheel(Rich, TPoint(50, 50), 120);
    GetScrollInfo(Rich->Handle(), SB_VERT, info);
    EXPECT_LT(info.nPos, before);
    Driver.PressKey(VK_HOME, modControl);
    GetScrollInfo(Rich->Handle(), SB_VERT, info);
    EXPECT_EQ(info.nPos, 0);
}

TEST_F(RichEditTest, LayoutKeptAcrossEditsMatchesAFreshOne) {
    // Only changed paragraphs are measured again; after edits anywhere every position must sit where a
    // layout made from scratch puts it.
    for (int i = 0; i < 30; ++i)
        AddResultLine("line " + std::to_string(i) +
                          (i % 4 ? "" : " long enough to wrap around at this width ok"),
                      i % 2 ? clRed : clBlack, i % 3 ? 0 : fsBold);
    Rich->SetSelStart(40);
    Rich->SetSelText("inserted\r\nbreaks\r\n");
    Rich->Lines()->Delete(12);
    Rich->SetSelStart(100);
    Rich->SetSelLength(60);
    Rich->SelAttributes()->SetSize(16);
    Rich->Paragraph()->SetAlignment(taCenter);
    Rich->Lines()->Put(2, "replaced");
    Rich->SetSelStart(0);
    Rich->SetSelLength(3);
    Rich->SetSelText("");
    Rich->SetSelStart(0);

    std::vector<LRESULT> kept;
    for (int pos = 0; pos <= Rich->Document().Length(); ++pos)
        kept.push_back(Rich->Perform(EM_POSFROMCHAR, pos, 0));
    // A change of width lays everything out from scratch.
    Rich->SetWidth(Rich->Width() + 7);
    Rich->Perform(EM_POSFROMCHAR, 0, 0);
    Rich->SetWidth(Rich->Width() - 7);
    for (int pos = 0; pos <= Rich->Document().Length(); ++pos)
        ASSERT_EQ(kept[pos], Rich->Perform(EM_POSFROMCHAR, pos, 0)) << pos;
}

TEST_F(RichEditTest, PrintsPageByPageToAPdfFile) {
    auto printer = std::make_unique<TPrinter>(std::make_unique<TNoQueues>());
    TPrinter* p = printer.get();
    std::unique_ptr<TPrinter> saved = SetPrinter(std::move(printer));
    struct TRestore {
        std::unique_ptr<TPrinter>& Saved;
        ~TRestore() { SetPrinter(std::move(Saved)); }
    } restore{saved};

    for (int i = 0; i < 200; ++i)
        AddResultLine("Result line " + std::to_string(i), i % 2 ? clRed : clBlack, i % 3 ? 0 : fsBold);
    try {
        Rich->Print("Chart 1");
        FAIL() << "printing without a printer";
    } catch (const EPrinter& e) {
        EXPECT_STREQ(e.what(), "There is no default printer currently selected");
    }
    EXPECT_FALSE(p->Printing());

    p->SetPrinterIndex(p->Printers()->IndexOf("Print to PDF file"));
    const std::string out = Path("report.pdf");
    p->SetFileName(out);
    Rich->Print("Chart 1");
    EXPECT_FALSE(p->Printing());
    std::string pdf = ReadFile(out);
    ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_GE(PdfPageCount(pdf), 3) << "200 lines at 8 points do not fit on one or two pages";
    EXPECT_LE(PdfPageCount(pdf), 5);
    EXPECT_NE(pdf.find("Chart 1"), std::string::npos) << "the caption is the document's title";

    Rich->Clear();
    Rich->Print("Empty");
    EXPECT_EQ(PdfPageCount(ReadFile(out)), 1);
}

TEST_F(RichEditTest, ShowsMixedFormatting) {
    UI_HEADLESS_ONLY(Driver);
    AddResultLine("FRAME 1", clRed, fsBold | fsUnderline);
    Rich->Lines()->Add("X(Start)=400");
    AddResultLine("trapeziodal rule:", clBlack, fsBold | fsItalic);
    Rich->Lines()->Add("Integral=12,5");
    Rich->SelAttributes()->SetSize(14);
    Rich->SelAttributes()->SetColor(clBlue);
    Rich->SelAttributes()->SetStyle(fsStrikeOut);
    Rich->Lines()->Add("Big blue struck out");
    Rich->SelAttributes()->SetSize(8);
    Rich->SelAttributes()->SetColor(clGreen);
    Rich->SelAttributes()->SetStyle(0);
    Rich->Lines()->Add("centred green");
    Rich->SetSelStart(Rich->Document().Length() - 3);
    Rich->Paragraph()->SetAlignment(taCenter);
    Rich->SetSelStart(8);
    Rich->SetSelLength(12);
    auto image = Driver.Render(Rich);
    TTestDriver::SavePng(*image, "richedit.png");

    auto count = [&](TColor color, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image->Width(); ++x)
                n += TTestDriver::PixelOf(*image, x, y) == color;
        return n;
    };
    TPoint first = At(0), second = At(8), green = At(Rich->Document().Length() - 3);
    EXPECT_GT(count(clRed, first.Y - 5, second.Y - 5), 10) << "the title is red";
    EXPECT_GT(count(ColorToRGB(clHighlight), second.Y - 5, second.Y + 8), 50) << "the selection shows";
    EXPECT_GT(count(clGreen, green.Y - 5, green.Y + 8), 5);
    EXPECT_GT(green.X, 100) << "the last line is centred";
}
