#include "platform/ui/PrintDialog.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Printer.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Label.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/Panel.h"
#include "platform/ui/UpDown.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TPrintDialog, TCommonDialog)
PLAT_CLASS_INFO_CREATABLE(TPrinterSetupDialog, TCommonDialog)

namespace {

const char* const kPrintOptionNames[] = {"poPrintToFile", "poPageNums", "poSelection",
                                         "poWarning",     "poHelp",     "poDisablePrintToFile"};

static_assert(TPrintDialogOptions(1) << (std::size(kPrintOptionNames) - 1) == poDisablePrintToFile);
const char* const kPrintRangeNames[] = {"prAllPages", "prSelection", "prPageNums"};
static_assert(std::size(kPrintRangeNames) == prPageNums + 1);

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TPrintDialog::StaticClass(), &TPrinterSetupDialog::StaticClass()}); }
} registrar;

constexpr int kMaxCopies = 9999;

struct TPaper {
    const char* Name;
    double Width, Height; // points, portrait
};
const TPaper kPapers[] = {{"A4 (210 x 297 mm)", 595.276, 841.89},  {"A3 (297 x 420 mm)", 841.89, 1190.551},
                          {"A5 (148 x 210 mm)", 419.528, 595.276}, {"Letter (8.5 x 11 in)", 612, 792},
                          {"Legal (8.5 x 14 in)", 612, 1008},      {"Executive (7.25 x 10.5 in)", 522, 756},
                          {"Tabloid (11 x 17 in)", 792, 1224}};

bool IsPdfEntry(int Index) {
    TStrings* printers = Printer()->Printers();
    return Index >= 0 && Index == printers->Count() - 1 && printers->Get(Index) == PdfFilePrinterName;
}

// The printer box both dialogs start with: the printer list and what is known of the chosen one.
class TPrinterForm : public TDialogForm {
public:
    explicit TPrinterForm(TComponent* AOwner) : TDialogForm(AOwner) {}

protected:
    void AddPrinterGroup(int Width, int Height) {
        auto* group = Add<TGroupBox>("PrinterGroup", Bounds(8, 6, Width, Height));
        group->SetCaption("Printer");
        FPrinters = Add<TComboBox>("PrinterCombo", Bounds(70, 18, Width - 78 - 8, 21), group);
        FPrinters->SetStyle(csDropDownList);
        FPrinters->SetTabStop(true);
        FPrinters->SetDropDownCount(12);
        AddLabel("PrinterLabel", "&Name:", 10, 22, FPrinters, group);
        AddLabel("WhereCaption", "Where:", 10, 48, nullptr, group);
        FWhere = AddLabel("WhereLabel", "", 70, 48, nullptr, group);
        TStrings* names = Printer()->Printers();
        for (int i = 0; i < names->Count(); ++i)
            FPrinters->Items()->Add(names->Get(i));
        int index = Printer()->PrinterIndex();
        FPrinters->SetItemIndex(index >= 0 ? index : 0);
        FPrinters->OnSelect = [this](TObject*) { PrinterChanged(); };
        PrinterChanged();
    }
    virtual void PrinterChanged() {
        FWhere->SetCaption(IsPdfEntry(FPrinters->ItemIndex()) ? "A PDF file" : "Print queue");
    }

    TComboBox* FPrinters = nullptr;
    TLabel* FWhere = nullptr;
};

class TPrintForm : public TPrinterForm {
    PLAT_CLASS(TPrintForm)
public:
    explicit TPrintForm(TComponent* AOwner) : TPrinterForm(AOwner) {}

    void Build(const TPrintDialog& Dialog);

    // Answers, once confirmed.
    TPrintRange Range = prAllPages;
    int From = 0, To = 0, Copies = 1;
    bool Collate = false, ToFile = false;
    std::string FileName;
    int PrinterIndex() const { return FPrinters->ItemIndex(); }

private:
    void PrinterChanged() override;
    void Accept();
    void Warn(const std::string& Text) { MessageBox(WindowHandle(), Text, "Print", MB_OK | MB_ICONWARNING); }

    int FMinPage = 0, FMaxPage = 0;
    TRadioButton* FAll = nullptr;
    TRadioButton* FPages = nullptr;
    TRadioButton* FSelection = nullptr;
    TEdit* FFrom = nullptr;
    TEdit* FTo = nullptr;
    TEdit* FCopies = nullptr;
    TCheckBox* FCollate = nullptr;
    TCheckBox* FToFile = nullptr;
};

PLAT_CLASS_INFO(TPrintForm, TDialogForm)

void TPrintForm::Build(const TPrintDialog& Dialog) {
    SetCaption("Print");
    const int w = 424;
    const TPrintDialogOptions options = Dialog.Options();
    FMinPage = Dialog.MinPage();
    FMaxPage = Dialog.MaxPage();
    AddPrinterGroup(w - 16, 76);
    if (options & poPrintToFile) {
        FToFile = Add<TCheckBox>("PrintToFileCheck", Bounds(w - 16 - 110, 47, 100, 17),
                                 dynamic_cast<TWinControl*>(FindComponent("PrinterGroup")));
        FToFile->SetCaption("Print to fi&le");
        FToFile->SetTabStop(true);
        FToFile->SetChecked(Dialog.PrintToFile());
        FToFile->SetEnabled(!(options & poDisablePrintToFile));
    }

    auto* range = Add<TGroupBox>("RangeGroup", Bounds(8, 88, 200, 104));
    range->SetCaption("Print range");
    FAll = Add<TRadioButton>("AllRadio", Bounds(10, 20, 120, 17), range);
    FAll->SetCaption("&All");
    FPages = Add<TRadioButton>("PagesRadio", Bounds(10, 46, 56, 17), range);
    FPages->SetCaption("Pa&ges");
    FFrom = Add<TEdit>("FromEdit", Bounds(102, 44, 32, 21), range);
    AddLabel("FromLabel", "&from:", 70, 48, FFrom, range);
    FTo = Add<TEdit>("ToEdit", Bounds(160, 44, 32, 21), range);
    AddLabel("ToLabel", "&to:", 140, 48, FTo, range);
    FSelection = Add<TRadioButton>("SelectionRadio", Bounds(10, 74, 120, 17), range);
    FSelection->SetCaption("&Selection");
    for (TWinControl* c : std::initializer_list<TWinControl*>{FAll, FPages, FFrom, FTo, FSelection})
        c->SetTabStop(true);
    const bool pages = options & poPageNums, selection = options & poSelection;
    FPages->SetEnabled(pages);
    FFrom->SetEnabled(pages);
    FTo->SetEnabled(pages);
    FSelection->SetEnabled(selection);
    if (Dialog.FromPage() > 0)
        FFrom->SetTextProp(IntToStr(Dialog.FromPage()));
    if (Dialog.ToPage() > 0)
        FTo->SetTextProp(IntToStr(Dialog.ToPage()));
    TPrintRange initial = Dialog.PrintRange();
    if ((initial == prPageNums && !pages) || (initial == prSelection && !selection))
        initial = prAllPages;
    (initial == prPageNums ? FPages : initial == prSelection ? FSelection : FAll)->SetChecked(true);
    // Typing a page number chooses the page range.
    auto choosePages = [this](TObject*) {
        if (FFrom->Focused() || FTo->Focused())
            FPages->SetChecked(true);
    };
    FFrom->OnChange = choosePages;
    FTo->OnChange = choosePages;

    auto* copies = Add<TGroupBox>("CopiesGroup", Bounds(216, 88, w - 224, 104));
    copies->SetCaption("Copies");
    FCopies = Add<TEdit>("CopiesEdit", Bounds(120, 20, 46, 21), copies);
    FCopies->SetTabStop(true);
    FCopies->SetTextProp(IntToStr(std::clamp(Dialog.Copies(), 1, kMaxCopies)));
    auto* updown = Add<TUpDown>("CopiesUpDown", Bounds(166, 20, 16, 21), copies);
    updown->SetMin(1);
    updown->SetMax(kMaxCopies);
    updown->SetAssociate(FCopies);
    AddLabel("CopiesLabel", "Number of &copies:", 10, 24, FCopies, copies);
    FCollate = Add<TCheckBox>("CollateCheck", Bounds(10, 56, 120, 17), copies);
    FCollate->SetCaption("C&ollate");
    FCollate->SetTabStop(true);
    FCollate->SetChecked(Dialog.Collate());

    auto* ok = AddButton("OKButton", "OK", Bounds(w - 8 - 75 - 6 - 75, 202, 75, 25), mrNone);
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) { Accept(); };
    AddButton("CancelButton", "Cancel", Bounds(w - 8 - 75, 202, 75, 25), mrCancel)->SetCancel(true);
    SetClientWidth(w);
    SetClientHeight(236);
    SetActiveControl(ok);
    PrinterChanged();
}

void TPrintForm::PrinterChanged() {
    TPrinterForm::PrinterChanged();
    // The PDF entry always writes a file.
    if (FToFile && FPrinters)
        FToFile->SetVisible(!IsPdfEntry(FPrinters->ItemIndex()));
}

void TPrintForm::Accept() {
    int lo = std::max(1, FMinPage), hi = FMaxPage > 0 ? FMaxPage : 0x7FFFFFFF;
    Range = FPages->Checked() ? prPageNums : FSelection->Checked() ? prSelection : prAllPages;
    if (Range == prPageNums) {
        auto page = [&](TEdit* edit, int& value) {
            if (TryStrToInt(Trim(edit->Text()), value) && value >= lo && value <= hi)
                return true;
            Warn(FMaxPage > 0
                     ? Format("This value is not within the page range.\nEnter a number between %d and %d.",
                              {lo, hi})
                     : Format("Enter a page number of %d or more.", {lo}));
            edit->SetFocus();
            edit->SelectAll();
            return false;
        };
        if (!page(FFrom, From) || !page(FTo, To))
            return;
        if (From > To) {
            Warn("The first page to print comes after the last one.\nEnter a first page no greater than the "
                 "last.");
            FFrom->SetFocus();
            FFrom->SelectAll();
            return;
        }
    }
    if (!TryStrToInt(Trim(FCopies->Text()), Copies) || Copies < 1 || Copies > kMaxCopies) {
        Warn(Format("Enter a number of copies between 1 and %d.", {kMaxCopies}));
        FCopies->SetFocus();
        FCopies->SelectAll();
        return;
    }
    Collate = FCollate->Checked();
    ToFile = FToFile && FToFile->Visible() && FToFile->Checked();
    FileName.clear();
    if (IsPdfEntry(FPrinters->ItemIndex()) || ToFile) {
        TSaveDialog ask(nullptr);
        ask.SetTitle("Print to File");
        ask.SetFilter("PDF files (*.pdf)|*.pdf|All files|*");
        ask.SetDefaultExt("pdf");
        ask.SetOptions(ofOverwritePrompt | ofHideReadOnly | ofPathMustExist | ofNoChangeDir);
        if (!ask.Execute())
            return; // back to the print dialog
        FileName = ask.FileName();
    }
    SetModalResult(mrOk);
}

class TPrinterSetupForm : public TPrinterForm {
    PLAT_CLASS(TPrinterSetupForm)
public:
    explicit TPrinterSetupForm(TComponent* AOwner) : TPrinterForm(AOwner) {}

    void Build();
    void Apply();

private:
    TComboBox* FPaper = nullptr;
    std::vector<std::pair<double, double>> FPaperSizes;
    TRadioButton* FPortrait = nullptr;
    TRadioButton* FLandscape = nullptr;
};

PLAT_CLASS_INFO(TPrinterSetupForm, TDialogForm)

void TPrinterSetupForm::Build() {
    SetCaption("Print Setup");
    const int w = 424;
    AddPrinterGroup(w - 16, 76);

    auto* paper = Add<TGroupBox>("PaperGroup", Bounds(8, 88, 260, 64));
    paper->SetCaption("Paper");
    FPaper = Add<TComboBox>("PaperCombo", Bounds(58, 24, 190, 21), paper);
    FPaper->SetStyle(csDropDownList);
    FPaper->SetTabStop(true);
    AddLabel("PaperLabel", "Si&ze:", 10, 28, FPaper, paper);
    double pw = Printer()->PaperWidth(), ph = Printer()->PaperHeight();
    int current = -1;
    for (const TPaper& p : kPapers) {
        if (std::abs(p.Width - pw) < 1 && std::abs(p.Height - ph) < 1)
            current = static_cast<int>(FPaperSizes.size());
        FPaper->Items()->Add(p.Name);
        FPaperSizes.emplace_back(p.Width, p.Height);
    }
    if (current < 0) {
        // A size none of the list has stays available as it is.
        FPaper->Items()->Add(Format("Custom (%.0f x %.0f mm)", {pw * 25.4 / 72, ph * 25.4 / 72}));
        FPaperSizes.emplace_back(pw, ph);
        current = static_cast<int>(FPaperSizes.size()) - 1;
    }
    FPaper->SetItemIndex(current);

    auto* orientation = Add<TGroupBox>("OrientationGroup", Bounds(276, 88, w - 284, 64));
    orientation->SetCaption("Orientation");
    FPortrait = Add<TRadioButton>("PortraitRadio", Bounds(10, 18, 120, 17), orientation);
    FPortrait->SetCaption("P&ortrait");
    FLandscape = Add<TRadioButton>("LandscapeRadio", Bounds(10, 40, 120, 17), orientation);
    FLandscape->SetCaption("L&andscape");
    FPortrait->SetTabStop(true);
    FLandscape->SetTabStop(true);
    (Printer()->Orientation() == poLandscape ? FLandscape : FPortrait)->SetChecked(true);

    auto* ok = AddButton("OKButton", "OK", Bounds(w - 8 - 75 - 6 - 75, 162, 75, 25), mrOk);
    ok->SetDefault(true);
    AddButton("CancelButton", "Cancel", Bounds(w - 8 - 75, 162, 75, 25), mrCancel)->SetCancel(true);
    SetClientWidth(w);
    SetClientHeight(196);
    SetActiveControl(FPrinters);
}

void TPrinterSetupForm::Apply() {
    TPrinter* printer = Printer();
    if (FPrinters->ItemIndex() >= 0)
        printer->SetPrinterIndex(FPrinters->ItemIndex());
    int paper = FPaper->ItemIndex();
    if (paper >= 0)
        printer->SetPaperSize(FPaperSizes[paper].first, FPaperSizes[paper].second);
    printer->SetOrientation(FLandscape->Checked() ? poLandscape : poPortrait);
}

} // namespace

PLAT_PROPERTIES(TPrintDialog) {
    props.Boolean("Collate", &TPrintDialog::Collate, &TPrintDialog::SetCollate, false);
    props.Integer("Copies", &TPrintDialog::Copies, &TPrintDialog::SetCopies, 0);
    props.Integer("FromPage", &TPrintDialog::FromPage, &TPrintDialog::SetFromPage, 0);
    props.Integer("MinPage", &TPrintDialog::MinPage, &TPrintDialog::SetMinPage, 0);
    props.Integer("MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::SetMaxPage, 0);
    props.Set("Options", &TPrintDialog::Options, &TPrintDialog::SetOptions, kPrintOptionNames,
              TPrintDialogOptions(0));
    props.Enum("PrintRange", &TPrintDialog::PrintRange, &TPrintDialog::SetPrintRange, kPrintRangeNames,
               prAllPages);
    props.Boolean("PrintToFile", &TPrintDialog::PrintToFile, &TPrintDialog::SetPrintToFile, false);
    props.Integer("ToPage", &TPrintDialog::ToPage, &TPrintDialog::SetToPage, 0);
}

TPrintDialog::TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrintDialog::Execute() {
    auto form = MakeDialogForm<TPrintForm>(nullptr);
    form->Build(*this);
    if (RunModal(*form) != mrOk)
        return false;
    FPrintRange = form->Range;
    if (FPrintRange == prPageNums) {
        FFromPage = form->From;
        FToPage = form->To;
    }
    FCopies = form->Copies;
    FCollate = form->Collate;
    FPrintToFile = form->ToFile;
    TPrinter* printer = Printer();
    printer->SetPrinterIndex(form->PrinterIndex());
    printer->SetFileName(form->FileName);
    printer->SetCopies(FCopies);
    return true;
}

bool TPrinterSetupDialog::Execute() {
    auto form = MakeDialogForm<TPrinterSetupForm>(nullptr);
    form->Build();
    if (RunModal(*form) != mrOk)
        return false;
    form->Apply();
    return true;
}

} // namespace plat
