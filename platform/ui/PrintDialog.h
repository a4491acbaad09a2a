// The print dialog (printer, page range, copies) and the printer setup dialog (printer, paper size,
// orientation), both over the program's printer object. Choosing the "Print to PDF file" entry, or
// printing to a file, asks for the PDF file's name.
#pragma once

#include "platform/ui/Dialogs.h"

namespace plat {

enum TPrintRange { prAllPages, prSelection, prPageNums };

using TPrintDialogOptions = uint8_t;
inline constexpr TPrintDialogOptions poPrintToFile = 1;         // the "Print to file" box is shown
inline constexpr TPrintDialogOptions poPageNums = 2;            // a page range can be given
inline constexpr TPrintDialogOptions poSelection = 4;           // "Selection" can be chosen
inline constexpr TPrintDialogOptions poDisablePrintToFile = 32; // the "Print to file" box is disabled

class TPrintDialog : public TCommonDialog {
    PLAT_CLASS(TPrintDialog)
public:
    explicit TPrintDialog(TComponent* AOwner);

    // True when confirmed: the printer object has the chosen printer, copies and output file; this
    // dialog the range and copies.
    bool Execute() override;

    bool Collate() const { return FCollate; }
    void SetCollate(bool Value) { FCollate = Value; }
    int Copies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value; }
    int FromPage() const { return FFromPage; }
    void SetFromPage(int Value) { FFromPage = Value; }
    int ToPage() const { return FToPage; }
    void SetToPage(int Value) { FToPage = Value; }
    // The pages that can be asked for (MaxPage 0: no upper limit).
    int MinPage() const { return FMinPage; }
    void SetMinPage(int Value) { FMinPage = Value; }
    int MaxPage() const { return FMaxPage; }
    void SetMaxPage(int Value) { FMaxPage = Value; }
    TPrintDialogOptions Options() const { return FOptions; }
    void SetOptions(TPrintDialogOptions Value) { FOptions = Value; }
    TPrintRange PrintRange() const { return FPrintRange; }
    void SetPrintRange(TPrintRange Value) { FPrintRange = Value; }
    bool PrintToFile() const { return FPrintToFile; }
    void SetPrintToFile(bool Value) { FPrintToFile = Value; }

private:
    bool FCollate = false;
    int FCopies = 0;
    int FFromPage = 0;
    int FToPage = 0;
    int FMinPage = 0;
    int FMaxPage = 0;
    TPrintDialogOptions FOptions = 0;
    TPrintRange FPrintRange = prAllPages;
    bool FPrintToFile = false;
};

class TPrinterSetupDialog : public TCommonDialog {
    PLAT_CLASS(TPrinterSetupDialog)
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    // True when confirmed: the printer object has the chosen printer, paper and orientation.
    bool Execute() override;
};

} // namespace plat
