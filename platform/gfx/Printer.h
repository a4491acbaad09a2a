// The printer object: the list of print queues, the chosen one with its page (paper size, orientation,
// resolution), and print jobs drawn on a canvas page by page. A document becomes a PDF file that goes
// to a queue, or stays as the file when printing to a file, which works also with no printer at all.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/StringList.h"

namespace plat {

PLAT_EXCEPTION(EPrinter, Exception);

enum TPrinterOrientation { poPortrait, poLandscape };

struct TPrintJob {
    std::string Printer;  // queue name
    std::string FileName; // the PDF document
    std::string Title;
    int Copies = 1;
};

// Where finished documents go. The system's queues by default; tests put a fake in its place so that
// no real job is ever sent.
class TPrintSpooler {
public:
    virtual ~TPrintSpooler() = default;
    // Names of the queues, and the index of the default one (-1 when there is none).
    virtual std::vector<std::string> Printers(int& defaultIndex) = 0;
    // Hands the document to the queue; raises EPrinter when the queue refuses it.
    virtual void Submit(const TPrintJob& job) = 0;
};

// The queues of a CUPS server: the user's usual one, or the given one ("host:port" or a socket path).
// Without a reachable server there are no queues.
class TCupsSpooler : public TPrintSpooler {
public:
    explicit TCupsSpooler(std::string server = std::string());
    std::vector<std::string> Printers(int& defaultIndex) override;
    void Submit(const TPrintJob& job) override;

private:
    std::string FServer;
};

class TPdfSurface;
class TStream;

// The last entry of the printer list: documents become the PDF file set with SetFileName.
inline constexpr const char* PdfFilePrinterName = "Print to PDF file";

class TPrinter : public TObject {
    PLAT_CLASS(TPrinter)
public:
    // Without a spooler the printer uses the system's CUPS queues.
    explicit TPrinter(std::unique_ptr<TPrintSpooler> spooler = nullptr);
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The queue names, read on first use and again by Refresh, followed by PdfFilePrinterName.
    TStrings* Printers();
    void Refresh();
    // The chosen entry, -1 when there is none. Setting -1 chooses the default queue (there is none
    // without queues: the PDF entry is only ever chosen by hand); an index outside the list raises
    // EPrinter "Printer selected is not valid".
    int PrinterIndex();
    void SetPrinterIndex(int value);
    // The PDF entry is chosen; BeginDoc then needs a file name.
    bool PrintsToPdfFile();

    // While set, documents are written to this PDF file instead of going to a queue. EndDoc replaces the
    // file atomically (see WriteFileAtomically): a read-only file is refused with EFCreateError.
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value);

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation value);
    // The paper in portrait, in points (1/72 inch); A4 to begin with.
    double PaperWidth() const { return FPaperWidth; }
    double PaperHeight() const { return FPaperHeight; }
    void SetPaperSize(double widthPt, double heightPt);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value);
    // The page in printer pixels, orientation applied. Raise EPrinter when there is neither a queue
    // nor an output file.
    int PageWidth();
    int PageHeight();

    std::string Title;
    int Copies() const { return FCopies; }
    void SetCopies(int value) { FCopies = value < 1 ? 1 : value; }

    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // The canvas of the page being printed; drawing outside a document raises EInvalidOperation.
    TCanvas* Canvas() { return FCanvas.get(); }

    void BeginDoc();
    void NewPage();
    // Completes the document and sends it (or leaves the file); the job is over also when that fails.
    void EndDoc();
    // Drops the document: nothing is sent and no file is left.
    void Abort();

private:
    void CheckPrinting(bool printing) const;
    void CheckAvailable();
    double PageWidthPt() const;
    double PageHeightPt() const;
    void Release();

    std::unique_ptr<TPrintSpooler> FSpooler;
    std::unique_ptr<TStringList> FPrinters;
    int FDefaultIndex = -1;
    int FPrinterIndex = -1;
    std::string FFileName;
    TPrinterOrientation FOrientation = poPortrait;
    double FPaperWidth = 595.276, FPaperHeight = 841.89;
    int FPixelsPerInch = 600;
    int FCopies = 1;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
    std::unique_ptr<TCanvas> FCanvas;
    std::string FTempName;
    std::unique_ptr<TStream> FStream;
    std::unique_ptr<TPdfSurface> FSurface;
    std::unique_ptr<TDeviceContext> FDc;
};

// The program's printer object, made on first use.
TPrinter* Printer();
// Puts another printer object in its place and hands back the one it replaces.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer);

} // namespace plat
